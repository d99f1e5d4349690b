// The variable definitions editor (template VARIABLEDEFEDIT): a list of
// "name<TAB>value" rows over a working copy of the drawing's variables.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/system_defs.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box02.h"
#include "dialogs/box05_defs.h"
#include "language/language.h"

namespace {

constexpr int ID_LIST = 170;
constexpr int ID_VALUE = 350;
constexpr int ID_NEW = 14, ID_RENAME = 15, ID_DELETE = 13, ID_EDIT_VALUE = 20;
constexpr int LIST_TAB_STOP = 128;           // dialog units
constexpr int ROW_SIZE = DEF_NAME_SHORT + VARIABLE_VALUE_SIZE + 2;
constexpr int NO_ENTRY = -1;
constexpr int MSG_TABLE_FULL = 141, MSG_DELETE = 142; // eAlertTextOK
constexpr int CAPTION_VALUE = 75, CAPTION_RENAME = 76, CAPTION_NEW = 77;                     // eCaptionTexts
constexpr int PROMPT_VALUE = 94;                                                             // eUniTexts

struct VariableRecord {
    DialogHeader header;
    char caption[256];
    std::vector<VariableDef> *copy;
};

std::vector<VariableDef> &Table(HWND dialog)
{
    return *Box01DialogRecordOf<VariableRecord>(dialog)->copy;
}

int FindName(const std::vector<VariableDef> &table, const char *name)
{
    for (int i = 0; i < VARIABLE_SLOTS; ++i)
        if (table[i].name[0] && strcmp(table[i].name, name) == 0)
            return i;
    return NO_ENTRY;
}

// The entry of the selected row: its text up to the first tab, found exactly.
int SelectedEntry(HWND dialog)
{
    const int row = static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0));
    char text[ROW_SIZE] = "";
    if (!Box01ListRowName(dialog, ID_LIST, row, text, ROW_SIZE))
        return NO_ENTRY;
    return FindName(Table(dialog), text);
}

void ShowSelection(HWND dialog, int entry)
{
    const bool any = entry != NO_ENTRY;
    SetDlgItemTextA(dialog, ID_VALUE, any ? Table(dialog)[entry].value : "");
    for (int id : {ID_EDIT_VALUE, ID_RENAME, ID_DELETE})
        EnableWindow(GetDlgItem(dialog, id), any);
}

// Refills the list and selects the row of `entry` (the first row when there
// is none or it is not found).
void FillList(HWND dialog, int entry)
{
    HWND list = GetDlgItem(dialog, ID_LIST);
    const std::vector<VariableDef> &table = Table(dialog);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const VariableDef &v : table) {
        if (!v.name[0])
            continue;
        char row[ROW_SIZE];
        snprintf(row, sizeof row, "%s\t%s", v.name, v.value);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    const int row = entry != NO_ENTRY ? Box01ListFindExact(dialog, ID_LIST, table[entry].name) : -1;
    if (row >= 0) {
        SendMessageA(list, LB_SETCURSEL, row, 0);
        ShowSelection(dialog, entry);
    } else {
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        ShowSelection(dialog, NO_ENTRY);
    }
}

int FindIn(HWND dialog, const char *name)
{
    return FindName(Table(dialog), name);
}

void NewVariable(HWND dialog)
{
    std::vector<VariableDef> &table = Table(dialog);
    const int model = SelectedEntry(dialog);
    char name[DEF_NAME_SHORT] = "";
    if (model != NO_ENTRY)
        strcpy(name, table[model].name);
    if (!Box01AskFreeName(dialog, eCaptionTexts[CAPTION_NEW], name, DEF_NAME_SHORT,
                          [dialog](const char *n) { return FindIn(dialog, n); }, NO_ENTRY))
        return;
    for (int i = 0; i < VARIABLE_SLOTS; ++i) {
        if (table[i].name[0])
            continue;
        table[i] = model != NO_ENTRY ? table[model] : VariableDef{};
        strcpy(table[i].name, name);
        FillList(dialog, i);
        return;
    }
    AlertOk(dialog, eAlertTextOK[MSG_TABLE_FULL]);
}

void RenameVariable(HWND dialog)
{
    std::vector<VariableDef> &table = Table(dialog);
    const int entry = Box01NeedEntry(dialog, SelectedEntry(dialog));
    if (entry == NO_ENTRY)
        return;
    char name[DEF_NAME_SHORT];
    strcpy(name, table[entry].name);
    if (!Box01AskFreeName(dialog, eCaptionTexts[CAPTION_RENAME], name, DEF_NAME_SHORT,
                          [dialog](const char *n) { return FindIn(dialog, n); }, entry))
        return;
    strcpy(table[entry].name, name);
    FillList(dialog, entry);
}

void EditValue(HWND dialog)
{
    std::vector<VariableDef> &table = Table(dialog);
    const int entry = Box01NeedEntry(dialog, SelectedEntry(dialog));
    if (entry == NO_ENTRY)
        return;
    if (Box02EditString(dialog, eCaptionTexts[CAPTION_VALUE], eUniTexts[PROMPT_VALUE], table[entry].value,
                        VARIABLE_VALUE_EDIT))
        FillList(dialog, entry);
}

void DeleteVariable(HWND dialog)
{
    std::vector<VariableDef> &table = Table(dialog);
    const int entry = Box01NeedEntry(dialog, SelectedEntry(dialog));
    if (entry == NO_ENTRY || Box01AskName(dialog, MSG_DELETE, table[entry].name) != ALERT_YES)
        return;
    table[entry] = VariableDef{};
    Box01ListDeleteSelection(dialog, ID_LIST);
    FillList(dialog, SelectedEntry(dialog));
}

INT_PTR CALLBACK VariablesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *record = reinterpret_cast<VariableRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, record->caption);
        const UINT tabs[1] = {LIST_TAB_STOP};
        SendDlgItemMessageA(dialog, ID_LIST, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(tabs));
        int first = NO_ENTRY;
        for (int i = 0; i < VARIABLE_SLOTS && first == NO_ENTRY; ++i)
            if ((*record->copy)[i].name[0])
                first = i;
        FillList(dialog, first);
        SetFocus(GetDlgItem(dialog, ID_LIST));
        return 0;
    }
    if (message != WM_COMMAND)
        return Box01DialogDefault(dialog, message, wParam, lParam, BOX05_VARIABLES_HELP);
    switch (LOWORD(wParam)) {
    case ID_LIST:
        if (HIWORD(wParam) == LBN_SELCHANGE)
            ShowSelection(dialog, SelectedEntry(dialog));
        else if (HIWORD(wParam) == LBN_DBLCLK)
            NewVariable(dialog);
        return 1;
    case ID_NEW:
        NewVariable(dialog);
        return 1;
    case ID_RENAME:
        RenameVariable(dialog);
        return 1;
    case ID_EDIT_VALUE:
        EditValue(dialog);
        return 1;
    case ID_DELETE:
        DeleteVariable(dialog);
        return 1;
    case IDOK:
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    default:
        return Box01DialogDefault(dialog, message, wParam, lParam, BOX05_VARIABLES_HELP);
    }
}

} // namespace

int Box05EditVariableDefs(HWND owner, const char *caption, VariableDef *table)
{
    Box01SortVariables(table);
    std::vector<VariableDef> copy(table, table + VARIABLE_SLOTS);
    VariableRecord record = {};
    lstrcpynA(record.caption, caption ? caption : "", sizeof record.caption);
    record.copy = &copy;
    if (!Box01DialogEdit(owner, "VARIABLEDEFEDIT", VariablesProc, record))
        return 0;
    Box01SortVariables(copy.data());
    std::copy(copy.begin(), copy.end(), table);
    return 1;
}
