// The message box and its wrappers.
//
// Provisional: shows a system message box until the ALERTBOX template of the
// language module is in place.
#include "dialogs/alert.h"

#include "language/language.h"

AlertAnswerHook g_AlertAnswerHook = nullptr;

uint32_t AlertBox(HWND owner, const char *text, uint32_t code1, uint32_t code2, uint32_t code3,
                  uint32_t defaultIndex)
{
    if (code1 == 0)
        code1 = ALERT_CANCEL;
    if (g_AlertAnswerHook)
        return g_AlertAnswerHook(text, code1, code2, code3);
    UINT type = code2 == 0 ? MB_OK : (code3 == 0 ? MB_OKCANCEL : MB_YESNOCANCEL);
    int pressed = MessageBoxA(owner, text, "darad4", type | MB_TASKMODAL);
    switch (pressed) {
    case IDOK:
    case IDYES: return code1;
    case IDNO: return code2;
    case IDCANCEL: return code2 && !code3 ? code2 : (code3 ? code3 : code1);
    default: return 0;
    }
}

uint32_t AlertBoxTexts(HWND owner, const char *text, uint32_t code1, uint32_t code2, uint32_t code3,
                       uint32_t defaultIndex, const char *label1, const char *label2, const char *label3)
{
    if (!label1)
        code1 = ALERT_CANCEL;
    if (!label2)
        code2 = 0;
    if (!label3)
        code3 = 0;
    return AlertBox(owner, text, code1, code2, code3, defaultIndex);
}

uint32_t AlertButton1(HWND owner, const char *text) { return AlertBox(owner, text, 1, 0, 0, 1); }
uint32_t AlertOk(HWND owner, const char *text) { return AlertBox(owner, text, 2, 0, 0, 1); }
uint32_t AlertButtons12(HWND owner, const char *text) { return AlertBox(owner, text, 1, 2, 0, 1); }
uint32_t AlertButton6(HWND owner, const char *text) { return AlertBox(owner, text, 6, 0, 0, 1); }
uint32_t AlertButtons62(HWND owner, const char *text) { return AlertBox(owner, text, 6, 2, 0, 1); }
uint32_t AlertYesNo(HWND owner, const char *text) { return AlertBox(owner, text, 3, 4, 0, 1); }
uint32_t AlertYesNoDefNo(HWND owner, const char *text) { return AlertBox(owner, text, 3, 4, 0, 2); }
uint32_t AlertYesNoCancel(HWND owner, const char *text) { return AlertBox(owner, text, 3, 4, 2, 1); }
uint32_t AlertYesNoCancelDefNo(HWND owner, const char *text) { return AlertBox(owner, text, 3, 4, 2, 2); }

uint32_t AlertSM2(HWND owner) { return AlertOk(owner, eAlertTextSM[2]); }
uint32_t AlertSM52(HWND owner) { return AlertOk(owner, eAlertTextSM[52]); }
uint32_t AlertSM5(HWND owner) { return AlertButton1(owner, eAlertTextSM[5]); }
uint32_t AlertSM60(HWND owner) { return AlertButton1(owner, eAlertTextSM[60]); }
uint32_t AlertSM6(HWND owner) { return AlertOk(owner, eAlertTextSM[6]); }
uint32_t AlertSM7(HWND owner) { return AlertButton1(owner, eAlertTextSM[7]); }
uint32_t AlertSM8(HWND owner) { return AlertButton1(owner, eAlertTextSM[8]); }
uint32_t AlertSM13(HWND owner) { return AlertButton1(owner, eAlertTextSM[13]); }
uint32_t AlertSM14(HWND owner) { return AlertButton1(owner, eAlertTextSM[14]); }
uint32_t AlertSM27(HWND owner) { return AlertOk(owner, eAlertTextSM[27]); }
uint32_t AlertNoDialog(HWND owner) { return AlertOk(owner, eAlertTextOK[46]); }
uint32_t AlertSM48(HWND owner) { return AlertOk(owner, eAlertTextSM[48]); }

uint32_t AlertFileError(HWND owner, const char *fileName, uint32_t code)
{
    if (code >= 13)
        return code;
    return AlertOk(owner, eAlertErrorText[code > 0 ? code - 1 : 0]);
}
