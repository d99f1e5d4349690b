// Small modal dialogs that ask for one to three values: a free text or a
// name (box02.cpp), numbers, lengths and angles, and how an outline goes on
// (box02_values.cpp). Every opener returns 1 when the dialog was closed with
// OK, the values then written back, and 0 on cancel or when the dialog cannot
// be shown; the caller's values are then unchanged.
#pragma once

#include <windows.h>

#include <cstdint>

#include "geometry/calc.h"

constexpr int BOX02_HELP_CONTEXT = 15081;

// Asks for a free text of at most maxLen - 1 characters. 1 on OK with text
// replaced, 0 on cancel or when the dialog cannot be shown.
int Box02EditString(HWND owner, const char *caption, const char *prompt, char *text, int maxLen);
// Asks for a name: the naming rules apply and an empty name is refused.
int Box02EditName(HWND owner, const char *caption, const char *prompt, char *name, int maxLen);
// A name (an empty one allowed) and a check box with its label and value.
int Box02EditStringCheck(HWND owner, const char *caption, const char *prompt, char *text, int maxLen,
                         const char *checkLabel, uint32_t *check);

// A name pattern and its options, as the pen and layer tables apply it.
constexpr int NAME_FILTER_PATTERN_SIZE = 256;
constexpr int NAME_FILTER_PATTERN_EDIT = 249;
constexpr uint32_t NAME_FILTER_ALL = 550; // the dialog's "all entries" button
struct NameFilter {
    uint32_t all;        // 1: closed with the all-entries button
    uint32_t keep;       // add to the selection instead of replacing it
    uint32_t deselect;   // deselect the matches (only with keep)
    uint32_t matchCase;
    uint32_t choice;     // 1 every term must hit, 0 one hit is enough
    char pattern[NAME_FILTER_PATTERN_SIZE]; // terms separated by ";"
};
static_assert(sizeof(NameFilter) == 276);

constexpr int BOX02_LIST_FILTER_HELP = 15089;
// 1 when closed with OK or the all-entries button (the record copied back,
// with the pattern it had when closed by that button), 0 on cancel.
int Box02ListFilter(HWND owner, const char *caption, NameFilter *filter);

// --- Numbers, lengths and angles (box02_values.cpp)
int Box02EditDouble(HWND owner, const char *caption, const char *prompt, double *value);
int Box02EditAngle(HWND owner, const char *caption, const char *prompt, double *angle);
int Box02EditLength(HWND owner, const char *caption, const char *prompt, double *length);
int Box02EditWidth(HWND owner, const char *caption, const char *prompt, double *width);
// A length of an object property (its own help page).
int Box02EditLengthProp(HWND owner, const char *caption, const char *prompt, double *length);
// "EDITDOUBLECHECK": a length and a check box with the caller's label.
int Box02EditLengthCheck(HWND owner, const char *caption, const char *prompt, double *length,
                         const char *checkLabel, uint32_t *check);
// "EDITDOUBLEFLAG": a length and check box 500 showing bit 0 of flags;
// entering the field sets the bit.
int Box02EditLengthFlag(HWND owner, const char *caption, const char *prompt, double *length, uint32_t *flags);
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

// ---------------------------------------------------------------------------
// The measured-value box (box02_showvalue.cpp): values in the active
// window's coordinate system and units. 1 when shown, 0 when the dialog
// cannot be created.

int Box02ShowValuePoint(HWND owner, const char *caption, CalcPoint p);
int Box02ShowValueTwoPoints(HWND owner, const char *caption, CalcPoint p1, CalcPoint p2);
int Box02ShowValueTwoPointsAlt(HWND owner, const char *caption, CalcPoint p1, CalcPoint p2);
// The angle at p1 from the direction of p2 to that of p3 (direction 0) or
// back (direction 1), in [0, 2pi).
int Box02ShowValueThreePoints(HWND owner, const char *caption, CalcPoint p1, CalcPoint p2, CalcPoint p3,
                              uint32_t direction);
double Box02MeasuredAngle(CalcPoint p1, CalcPoint p2, CalcPoint p3, uint32_t direction);
