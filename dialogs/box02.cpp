// The text and name dialogs (template EDITSTRING).
#include "dialogs/box02.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dialogs/alert_check.h"
#include "dialogs/box01.h"

namespace {

constexpr int ID_PROMPT = 350;
constexpr int ID_TEXT = 200;
constexpr int ID_CHECK = 250;
constexpr int STRING_SIZE = 1032;
constexpr int PROMPT_SIZE = 516;
constexpr uint32_t RULES_NAME = 0xF;         // any of bits 0 to 3: the naming rules apply
constexpr uint32_t RULES_EMPTY_ALLOWED = 0x2;

struct StringRecord {
    DialogHeader header;
    uint32_t maxLen;
    uint32_t rules;
    char prompt[PROMPT_SIZE];
    char text[STRING_SIZE];
    char caption[PROMPT_SIZE];
};

INT_PTR CALLBACK StringProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *record = reinterpret_cast<StringRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, record->caption);
        SetDlgItemTextA(dialog, ID_PROMPT, record->prompt);
        SendDlgItemMessageA(dialog, ID_TEXT, EM_LIMITTEXT, record->maxLen - 1, 0);
        SetDlgItemTextA(dialog, ID_TEXT, record->text);
        Box01DialogShowItem(dialog, ID_CHECK, 0);
        Box01DialogFocusEdit(dialog, ID_TEXT);
        return 0;
    }
    auto *record = Box01DialogRecordOf<StringRecord>(dialog);
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && record) {
        char text[STRING_SIZE] = "";
        GetDlgItemTextA(dialog, ID_TEXT, text, static_cast<int>(record->maxLen));
        if ((record->rules & RULES_NAME) &&
            !AlertCheckInputName(dialog, ID_TEXT, text, (record->rules & RULES_EMPTY_ALLOWED) != 0))
            return 1;
        strcpy(record->text, text);
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX02_HELP_CONTEXT);
}

int RunString(HWND owner, const char *caption, const char *prompt, char *text, int maxLen, uint32_t rules)
{
    StringRecord record = {};
    record.maxLen = static_cast<uint32_t>(std::clamp(maxLen, 1, STRING_SIZE));
    record.rules = rules;
    lstrcpynA(record.caption, caption ? caption : "", PROMPT_SIZE);
    lstrcpynA(record.prompt, prompt ? prompt : "", PROMPT_SIZE);
    lstrcpynA(record.text, text, static_cast<int>(record.maxLen));
    if (!Box01DialogEdit(owner, "EDITSTRING", StringProc, record))
        return 0;
    lstrcpynA(text, record.text, static_cast<int>(record.maxLen));
    return 1;
}

} // namespace

int Box02EditString(HWND owner, const char *caption, const char *prompt, char *text, int maxLen)
{
    return RunString(owner, caption, prompt, text, maxLen, 0);
}

int Box02EditName(HWND owner, const char *caption, const char *prompt, char *name, int maxLen)
{
    return RunString(owner, caption, prompt, name, maxLen, RULES_NAME & ~RULES_EMPTY_ALLOWED);
}
