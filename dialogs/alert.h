// The one message box of the program and its wrappers.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Button codes: the label of code c is eButtonText entry c - 1; 0 = no button.
constexpr uint32_t ALERT_BUTTON1 = 1;  // plain acknowledgement
constexpr uint32_t ALERT_CANCEL = 2;   // close or cancel; also the answer to Escape
constexpr uint32_t ALERT_YES = 3;
constexpr uint32_t ALERT_NO = 4;
constexpr uint32_t ALERT_GO_ON_6 = 6;  // 6, 7, 8: the affirmative answer of a question
constexpr uint32_t ALERT_GO_ON_7 = 7;  // whose other answer is ALERT_CANCEL
constexpr uint32_t ALERT_GO_ON_8 = 8;

uint32_t AlertBox(HWND owner, const char *text, uint32_t code1, uint32_t code2, uint32_t code3,
                  uint32_t defaultIndex);
uint32_t AlertBoxTexts(HWND owner, const char *text, uint32_t code1, uint32_t code2, uint32_t code3,
                       uint32_t defaultIndex, const char *label1, const char *label2, const char *label3);

uint32_t AlertButton1(HWND owner, const char *text);
uint32_t AlertOk(HWND owner, const char *text);
uint32_t AlertButtons12(HWND owner, const char *text);
uint32_t AlertButton6(HWND owner, const char *text);
uint32_t AlertButtons62(HWND owner, const char *text);
uint32_t AlertYesNo(HWND owner, const char *text);
uint32_t AlertYesNoDefNo(HWND owner, const char *text);
uint32_t AlertYesNoCancel(HWND owner, const char *text);
uint32_t AlertYesNoCancelDefNo(HWND owner, const char *text);

// Fixed messages.
uint32_t AlertSM2(HWND owner); // a new object, block or copy cannot be stored
uint32_t AlertSM52(HWND owner);
uint32_t AlertSM5(HWND owner);
uint32_t AlertSM60(HWND owner);
uint32_t AlertSM6(HWND owner);
uint32_t AlertSM7(HWND owner);
uint32_t AlertSM8(HWND owner);
uint32_t AlertSM13(HWND owner);
uint32_t AlertSM14(HWND owner);
uint32_t AlertSM27(HWND owner);
uint32_t AlertNoDialog(HWND owner); // a dialog template or popup menu could not be created
uint32_t AlertSM48(HWND owner);

// A file-operation code turned into its message with the file's display
// name; code 9 (cannot write) first deletes the file. Codes 13 and more show
// nothing and are returned unchanged.
uint32_t AlertFileError(HWND owner, const char *fileName, uint32_t code);

// Asks whether to save the changed current drawing: ALERT_YES (save),
// ALERT_NO (do not save) or ALERT_CANCEL.
uint32_t AlertSaveDrawing(HWND owner);
// The same question for the symbol library in the given slot.
uint32_t AlertSaveLibrary(HWND owner, int slot);


// Test seam: when set, every box is answered by this function instead of
// being shown. It receives the text and the three codes; its result is the
// pressed code.
typedef uint32_t (*AlertAnswerHook)(const char *text, uint32_t code1, uint32_t code2, uint32_t code3);
extern AlertAnswerHook g_AlertAnswerHook;
