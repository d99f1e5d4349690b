// The text and name dialogs (template EDITSTRING).
#include "dialogs/box02.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"

namespace {

constexpr int ID_PROMPT = 350;
constexpr int ID_TEXT = 200;
constexpr int ID_CHECK = 250;
constexpr int STRING_SIZE = 1032;
constexpr int PROMPT_SIZE = 516;
constexpr uint32_t RULES_NAME = 0xF;         // any of bits 0 to 3: the naming rules apply
constexpr uint32_t RULES_EMPTY_ALLOWED = 0x2;
constexpr uint32_t RULES_CHECK_BOX = 0x10;

struct StringRecord {
    DialogHeader header;
    uint32_t maxLen;
    uint32_t rules;
    char prompt[PROMPT_SIZE];
    char text[STRING_SIZE];
    char caption[PROMPT_SIZE];
    char checkLabel[PROMPT_SIZE];
    uint32_t check;
};

INT_PTR CALLBACK StringProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *record = reinterpret_cast<StringRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, record->caption);
        SetDlgItemTextA(dialog, ID_PROMPT, record->prompt);
        SendDlgItemMessageA(dialog, ID_TEXT, EM_LIMITTEXT, record->maxLen - 1, 0);
        SetDlgItemTextA(dialog, ID_TEXT, record->text);
        const bool withCheck = (record->rules & RULES_CHECK_BOX) != 0;
        Box01DialogShowItem(dialog, ID_CHECK, withCheck);
        if (withCheck) {
            SetDlgItemTextA(dialog, ID_CHECK, record->checkLabel);
            Box01DialogCheck(dialog, ID_CHECK, record->check);
        }
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
        record->check = IsDlgButtonChecked(dialog, ID_CHECK) == BST_CHECKED;
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX02_HELP_CONTEXT);
}

int RunString(HWND owner, const char *caption, const char *prompt, char *text, int maxLen, uint32_t rules,
              const char *checkLabel = nullptr, uint32_t *check = nullptr)
{
    StringRecord record = {};
    if (checkLabel && check) {
        lstrcpynA(record.checkLabel, checkLabel, PROMPT_SIZE);
        record.check = *check ? 1 : 0;
    }
    record.maxLen = static_cast<uint32_t>(std::clamp(maxLen, 1, STRING_SIZE));
    record.rules = rules;
    lstrcpynA(record.caption, caption ? caption : "", PROMPT_SIZE);
    lstrcpynA(record.prompt, prompt ? prompt : "", PROMPT_SIZE);
    lstrcpynA(record.text, text, static_cast<int>(record.maxLen));
    if (!Box01DialogEdit(owner, "EDITSTRING", StringProc, record))
        return 0;
    lstrcpynA(text, record.text, static_cast<int>(record.maxLen));
    if (checkLabel && check)
        *check = record.check;
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

int Box02EditStringCheck(HWND owner, const char *caption, const char *prompt, char *text, int maxLen,
                         const char *checkLabel, uint32_t *check)
{
    return RunString(owner, caption, prompt, text, maxLen, RULES_NAME | RULES_EMPTY_ALLOWED | RULES_CHECK_BOX,
                     checkLabel, check);
}

// --- The list filter (template LISTBOXFILTER) ------------------------------------

namespace {

constexpr int ID_KEEP = 250, ID_DESELECT = 251, ID_CASE = 252, ID_EVERY = 300, ID_ANY = 301;

struct FilterRecord {
    DialogHeader header;
    char caption[PROMPT_SIZE];
    NameFilter work;
};

INT_PTR CALLBACK FilterProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<FilterRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        CheckRadioButton(dialog, ID_EVERY, ID_ANY, r->work.choice ? ID_EVERY : ID_ANY);
        Box01DialogCheck(dialog, ID_KEEP, r->work.keep);
        Box01DialogCheck(dialog, ID_DESELECT, r->work.deselect);
        Box01DialogCheck(dialog, ID_CASE, r->work.matchCase);
        EnableWindow(GetDlgItem(dialog, ID_DESELECT), r->work.keep != 0);
        SendDlgItemMessageA(dialog, ID_TEXT, EM_LIMITTEXT, NAME_FILTER_PATTERN_EDIT, 0);
        SetDlgItemTextA(dialog, ID_TEXT, r->work.pattern);
        Box01DialogFocusEdit(dialog, ID_TEXT);
        return 0;
    }
    auto *r = Box01DialogRecordOf<FilterRecord>(dialog);
    if (message != WM_COMMAND || !r)
        return Box01DialogDefault(dialog, message, wParam, lParam, BOX02_LIST_FILTER_HELP);
    NameFilter &f = r->work;
    switch (LOWORD(wParam)) {
    case ID_KEEP:
        f.keep = !f.keep;
        Box01DialogCheck(dialog, ID_KEEP, f.keep);
        EnableWindow(GetDlgItem(dialog, ID_DESELECT), f.keep != 0);
        return 1;
    case ID_DESELECT:
        f.deselect = !f.deselect;
        Box01DialogCheck(dialog, ID_DESELECT, f.deselect);
        return 1;
    case ID_CASE:
        f.matchCase = !f.matchCase;
        Box01DialogCheck(dialog, ID_CASE, f.matchCase);
        return 1;
    case ID_EVERY:
    case ID_ANY:
        f.choice = LOWORD(wParam) == ID_EVERY;
        CheckRadioButton(dialog, ID_EVERY, ID_ANY, LOWORD(wParam));
        return 1;
    case IDOK:
        GetDlgItemTextA(dialog, ID_TEXT, f.pattern, NAME_FILTER_PATTERN_EDIT + 1);
        f.all = 0;
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    case NAME_FILTER_ALL:
        f.all = 1;
        Box01DialogEnd(dialog, NAME_FILTER_ALL);
        return 1;
    default:
        return Box01DialogDefault(dialog, message, wParam, lParam, BOX02_LIST_FILTER_HELP);
    }
}

} // namespace

int Box02ListFilter(HWND owner, const char *caption, NameFilter *filter)
{
    return Box01EditValue<FilterRecord>(owner, "LISTBOXFILTER", FilterProc, caption, filter);
}
