// The generic value dialogs (one to three numbers with a caption and a
// prompt each) and the outline segment dialog. Every opener returns 1 when
// the dialog was closed with OK, the values then written back, and 0 on
// cancel or when the dialog cannot be shown; the caller's values are then
// unchanged.
#pragma once

#include <windows.h>

#include <cstdint>

int Box02EditDouble(HWND owner, const char *caption, const char *prompt, double *value);
int Box02EditAngle(HWND owner, const char *caption, const char *prompt, double *angle);
int Box02EditLength(HWND owner, const char *caption, const char *prompt, double *length);
int Box02EditWidth(HWND owner, const char *caption, const char *prompt, double *width);
int Box02EditInt(HWND owner, const char *caption, const char *prompt, int32_t *value);
int Box02EditIntInt(HWND owner, const char *caption, const char *prompt1, int32_t *value1, const char *prompt2,
                    int32_t *value2);
int Box02EditIntLength(HWND owner, const char *caption, const char *prompt1, int32_t *value, const char *prompt2,
                       double *length);
int Box02EditAngleLength(HWND owner, const char *caption, const char *prompt1, double *angle, const char *prompt2,
                         double *length);
int Box02EditAngleLengthAngle(HWND owner, const char *caption, const char *prompt1, double *angle1,
                              const char *prompt2, double *length, const char *prompt3, double *angle2);

// The outline segment dialog: offered is a mask of the buttons 400 + k
// (k = 0 to 8); choice receives 1 << k, or the finish and go-on codes.
constexpr uint32_t OUTLINE_CHOICE_FINISH = 4096; // button 16
constexpr uint32_t OUTLINE_CHOICE_GO_ON = 8192;  // button 8
constexpr int OUTLINE_OPTIONS = 9;
struct OutlineRecord {
    uint32_t offered;
    uint32_t choice;
    double angle; // radians, in and out
};
static_assert(sizeof(OutlineRecord) == 16);
int Box02Outline(HWND owner, const char *caption, OutlineRecord *record);
