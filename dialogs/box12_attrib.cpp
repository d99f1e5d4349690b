// "BLOCKATTRIB": the attributes of a block (definitions and values) or of an
// instance (values; its block's definitions are shown but kept).
#include "dialogs/box12.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "app/convert.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box02.h"
#include "language/language.h"
#include "geometry/calc.h"
#include "language/language_entries.h"

namespace {

constexpr int ID_LIST = 170, ID_EDIT = 20, ID_NEW = 14, ID_RENAME = 15, ID_DELETE = 13, ID_FIRST = 350,
              ID_SECOND = 351;
constexpr int HELP_BLOCKATTRIB = 15067;
constexpr int kSelectFirst = 3, kNameInUse = 25, kFull = 67, kDeleteQuestion = 75; // eAlertTextOK
constexpr int kAttribute = 39, kNewAttribute = 60, kRenameAttribute = 61;          // eCaptionTexts
constexpr int kNamePrompt = 54, kOwnBlocks = 7, kSeparator = 38;                   // eUniTexts
constexpr int ROW_SIZE = 400;
constexpr int MESSAGE_SIZE = 512;

struct AttribDialog {
    DialogHeader header;
    const char *caption;
    const char *first;
    const char *second;
    std::vector<AttributeEntry> *entries; // the copy the dialog edits
    int count;
    int mode;
};

bool Shown(const AttributeEntry &e)
{
    return e.head.kind == 300 || e.head.kind == 301 || e.head.kind == 400 || e.head.kind == 401;
}

bool Locked(const AttribDialog *d, const AttributeEntry &e)
{
    return d->mode == 0 && AttributeIsDefinition(e.head.kind);
}

void RowText(const AttributeEntry &e, char *row)
{
    const char *kind = AttributeIsDefinition(e.head.kind) ? LANG(eUniTexts, AttribDefinition)
                                                          : LANG(eUniTexts, AttribValue);
    std::snprintf(row, ROW_SIZE, "%s\t%s%s%s", kind, e.name, eUniTexts[kSeparator], e.value);
}

// The entry of the selected row (rows follow the shown entries), or -1.
int Selected(HWND dialog, AttribDialog *d, bool tell)
{
    const int row = int(SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0));
    if (row < 0) {
        if (tell)
            AlertOk(dialog, eAlertTextOK[kSelectFirst]);
        return -1;
    }
    return int(SendDlgItemMessageA(dialog, ID_LIST, LB_GETITEMDATA, WPARAM(row), 0));
}

void Enable(HWND dialog, AttribDialog *d)
{
    const int i = Selected(dialog, d, false);
    const bool editable = i >= 0 && !Locked(d, (*d->entries)[size_t(i)]);
    for (int id : {ID_EDIT, ID_RENAME, ID_DELETE})
        EnableWindow(GetDlgItem(dialog, id), editable);
}

void Paint(HWND dialog, AttribDialog *d, int select)
{
    HWND list = GetDlgItem(dialog, ID_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const int stops[1] = {40};
    SendMessageA(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops));
    for (int i = 0; i < d->count; ++i) {
        const AttributeEntry &e = (*d->entries)[size_t(i)];
        if (!Shown(e))
            continue;
        char row[ROW_SIZE];
        RowText(e, row);
        const int at = int(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row)));
        SendMessageA(list, LB_SETITEMDATA, WPARAM(at), LPARAM(i));
        if (i == select)
            SendMessageA(list, LB_SETCURSEL, WPARAM(at), 0);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    Enable(dialog, d);
}

bool NameInUse(const AttribDialog *d, const char *name)
{
    for (int i = 0; i < d->count; ++i)
        if (std::strcmp((*d->entries)[size_t(i)].name, name) == 0)
            return true;
    return false;
}

void Refuse(HWND dialog, int entry, const char *name)
{
    char text[MESSAGE_SIZE];
    std::snprintf(text, sizeof text, eAlertTextOK[entry], name);
    AlertOk(dialog, text);
}

bool AskName(HWND dialog, int caption, char *name)
{
    return Box02EditName(dialog, eCaptionTexts[caption], eUniTexts[kNamePrompt], name, ATTRIBUTE_NAME_SIZE) != 0;
}

void New(HWND dialog, AttribDialog *d)
{
    AttributeEntry e;
    SymbolMakeAttribute(&e, 400, "", "");
    const int i = Selected(dialog, d, false);
    if (i >= 0 && !Locked(d, (*d->entries)[size_t(i)]))
        e = (*d->entries)[size_t(i)];
    if (d->mode == 0 && !AttributeIsValue(e.head.kind))
        e.head.kind = 400;
    char name[ATTRIBUTE_NAME_SIZE] = "";
    if (!AskName(dialog, kNewAttribute, name) || !name[0])
        return;
    lstrcpynA(e.name, name, ATTRIBUTE_NAME_SIZE);
    if (const int refused = Box12AttribAdd(d->entries->data(), &d->count, &e)) {
        Refuse(dialog, refused, name);
        return;
    }
    Paint(dialog, d, d->count - 1);
}

void Rename(HWND dialog, AttribDialog *d)
{
    const int i = Selected(dialog, d, true);
    if (i < 0 || Locked(d, (*d->entries)[size_t(i)]))
        return;
    AttributeEntry &e = (*d->entries)[size_t(i)];
    char name[ATTRIBUTE_NAME_SIZE];
    lstrcpynA(name, e.name, sizeof name);
    if (!AskName(dialog, kRenameAttribute, name) || !name[0])
        return;
    if (NameInUse(d, name)) {
        Refuse(dialog, kNameInUse, name);
        return;
    }
    lstrcpynA(e.name, name, ATTRIBUTE_NAME_SIZE);
    Paint(dialog, d, i);
}

void Edit(HWND dialog, AttribDialog *d)
{
    const int i = Selected(dialog, d, true);
    if (i < 0 || Locked(d, (*d->entries)[size_t(i)]))
        return;
    AttributeEntry &e = (*d->entries)[size_t(i)];
    char caption[MESSAGE_SIZE];
    std::snprintf(caption, sizeof caption, eCaptionTexts[kAttribute], e.name);
    if (Box12AttribEdit(dialog, caption, &e, d->mode))
        Paint(dialog, d, i);
}

void Delete(HWND dialog, AttribDialog *d)
{
    const int i = Selected(dialog, d, true);
    if (i < 0 || Locked(d, (*d->entries)[size_t(i)]))
        return;
    char text[MESSAGE_SIZE];
    std::snprintf(text, sizeof text, eAlertTextOK[kDeleteQuestion], (*d->entries)[size_t(i)].name);
    if (AlertYesNo(dialog, text) != ALERT_YES)
        return;
    d->entries->erase(d->entries->begin() + i);
    d->entries->resize(ATTRIBUTE_ENTRIES_MAX);
    --d->count;
    Paint(dialog, d, i > 0 ? i - 1 : 0);
}

INT_PTR CALLBACK AttribDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    AttribDialog *d = Box01DialogRecordOf<AttribDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<AttribDialog *>(Box01DialogInit(dialog, lParam));
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        SetDlgItemTextA(dialog, ID_FIRST,
                        d->first && std::strcmp(d->first, SYMBOL_OWN_LIBRARY) == 0 ? eUniTexts[kOwnBlocks] : d->first);
        SetDlgItemTextA(dialog, ID_SECOND, d->second ? d->second : "");
        Paint(dialog, d, 0);
        return TRUE;
    }
    if (message == WM_COMMAND && d) {
        switch (LOWORD(wParam)) {
        case ID_EDIT: Edit(dialog, d); return TRUE;
        case ID_NEW: New(dialog, d); return TRUE;
        case ID_RENAME: Rename(dialog, d); return TRUE;
        case ID_DELETE: Delete(dialog, d); return TRUE;
        case ID_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK)
                Edit(dialog, d);
            else if (HIWORD(wParam) == LBN_SELCHANGE)
                Enable(dialog, d);
            return TRUE;
        case IDOK: Box01DialogEnd(dialog, DIALOG_OK); return TRUE;
        default: break;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_BLOCKATTRIB);
}

// --- ATTRIBEDIT ---------------------------------------------------------------------

constexpr int ID_VALUE = 200, ID_TEXT = 300, ID_NUMBER = 301, ID_DEFINITION = 302, ID_INSTANCE_VALUE = 303;
constexpr int HELP_ATTRIBEDIT = 15068;
constexpr int kNotANumber = 8; // eAlertTextOK
// The edit shows line breaks as CR LF: room for every character doubled.
constexpr int MULTILINE_SIZE = ATTRIBUTE_TEXT_SIZE * 2;

struct EditDialog {
    DialogHeader header;
    const char *caption;
    AttributeEntry entry;
    int mode;
};

// The kind from the two radio pairs: definitions only where the mode allows them.
int16_t KindOf(HWND dialog, int mode)
{
    const bool number = IsDlgButtonChecked(dialog, ID_NUMBER) == BST_CHECKED;
    const bool definition = mode != 0 && IsDlgButtonChecked(dialog, ID_DEFINITION) == BST_CHECKED;
    return int16_t((definition ? 300 : 400) + (number ? 1 : 0));
}

int AcceptValue(HWND dialog, EditDialog *d)
{
    char shown[MULTILINE_SIZE] = {}, value[ATTRIBUTE_TEXT_SIZE] = {};
    GetDlgItemTextA(dialog, ID_VALUE, shown, sizeof shown);
    Box01MultilineToText(value, shown, ATTRIBUTE_VALUE_MAX);
    const int16_t kind = KindOf(dialog, d->mode);
    if ((kind == 301 || kind == 401) && value[0]) {
        const double number = ConvertStringToDouble(value);
        if (number == CALC_NO_VALUE) {
            AlertOk(dialog, eAlertTextOK[kNotANumber]);
            return 0;
        }
        if (!AlertCheckDoubleRange(dialog, number))
            return 0;
    }
    d->entry.head.kind = kind;
    lstrcpynA(d->entry.value, value, ATTRIBUTE_VALUE_MAX + 1);
    return 1;
}

INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditDialog *d = Box01DialogRecordOf<EditDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<EditDialog *>(Box01DialogInit(dialog, lParam));
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        char shown[MULTILINE_SIZE];
        Box01TextToMultiline(shown, d->entry.value, sizeof shown);
        SendDlgItemMessageA(dialog, ID_VALUE, EM_LIMITTEXT, WPARAM(sizeof shown - 1), 0);
        SetDlgItemTextA(dialog, ID_VALUE, shown);
        const int16_t kind = d->entry.head.kind;
        const bool number = kind == 301 || kind == 401;
        const bool definition = d->mode != 0 && AttributeIsDefinition(kind);
        CheckRadioButton(dialog, ID_TEXT, ID_NUMBER, number ? ID_NUMBER : ID_TEXT);
        CheckRadioButton(dialog, ID_DEFINITION, ID_INSTANCE_VALUE, definition ? ID_DEFINITION : ID_INSTANCE_VALUE);
        EnableWindow(GetDlgItem(dialog, ID_DEFINITION), d->mode != 0);
        Box01DialogFocusEdit(dialog, ID_VALUE);
        return FALSE;
    }
    if (message == WM_COMMAND && d) {
        const int id = LOWORD(wParam);
        if (id >= ID_TEXT && id <= ID_INSTANCE_VALUE) {
            const int first = id <= ID_NUMBER ? ID_TEXT : ID_DEFINITION;
            CheckRadioButton(dialog, first, first + 1, id);
            SetFocus(GetDlgItem(dialog, ID_VALUE));
            return TRUE;
        }
        if (id == IDOK) {
            if (AcceptValue(dialog, d))
                Box01DialogEnd(dialog, DIALOG_OK);
            else
                Box01DialogFocusEdit(dialog, ID_VALUE);
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_ATTRIBEDIT);
}

} // namespace

uint32_t Box12AttribEdit(HWND owner, const char *caption, AttributeEntry *entry, int mode)
{
    EditDialog d{};
    d.caption = caption;
    d.entry = *entry;
    d.mode = mode;
    if (!Box01DialogEdit(owner, "ATTRIBEDIT", EditDialogProc, d))
        return 0;
    *entry = d.entry;
    return 1;
}

int Box12AttribAdd(AttributeEntry *entries, int *count, const AttributeEntry *entry)
{
    for (int i = 0; i < *count; ++i)
        if (std::strcmp(entries[i].name, entry->name) == 0)
            return kNameInUse;
    if (*count >= ATTRIBUTE_ENTRIES_MAX)
        return kFull;
    entries[(*count)++] = *entry;
    return 0;
}

uint32_t Box12BlockAttrib(HWND owner, const char *caption, const char *first, const char *second,
                          AttributeEntry *entries, int *count, int mode)
{
    // The dialog edits a copy: Cancel leaves the caller's array as it was.
    std::vector<AttributeEntry> copy(ATTRIBUTE_ENTRIES_MAX);
    const int n = *count < 0 ? 0 : (*count > ATTRIBUTE_ENTRIES_MAX ? ATTRIBUTE_ENTRIES_MAX : *count);
    std::copy(entries, entries + n, copy.begin());
    AttribDialog d{};
    d.caption = caption;
    d.first = first;
    d.second = second;
    d.entries = &copy;
    d.count = n;
    d.mode = mode;
    if (!Box01DialogEdit(owner, "BLOCKATTRIB", AttribDialogProc, d))
        return 0;
    std::copy(copy.begin(), copy.begin() + d.count, entries);
    *count = d.count;
    return 1;
}
