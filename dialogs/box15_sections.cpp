// FILESECTIONS: the sections a drawing file operation reads or writes. List
// position p stands for the p-th section that has a name; bit 0 is always
// set, bits 28 to 31 are modes that pass through.
#include <windows.h>

#include <cstdio>
#include <initializer_list>

#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box15.h"
#include "language/language.h"

namespace {

constexpr char TEMPLATE_NAME[] = "FILESECTIONS";
constexpr int SECTIONS_HELP = 15013;
constexpr int ID_LIST = 170, ID_REPLACE = 300, ID_MERGE = 301, ID_MODE_LABEL = 350;
constexpr int ID_STORE = 550, ID_RESTORE = 551, ID_ALL = 552, ID_NONE = 553;
constexpr int MSG_STORE_DEFAULT = 30; // eAlertTextOK
constexpr int FIRST_SECTION = 1, LAST_SECTION = 23;
constexpr int MAX_SELECTED = 24;
constexpr uint32_t MODE_BITS = 0xF0000000u;
constexpr uint32_t REPLACE_BIT = 0x40000000u;
constexpr char TABLE_END = 4;

struct SectionsDialog {
    DialogHeader header;
    char caption[256];
    uint32_t mask;
    uint32_t defaultMask;
    bool hasDefault;
    int flags;
    int bitOfRow[LAST_SECTION + 1]; // the section bit of each list row
    int rows;
};

SectionsDialog &Work(HWND dialog) { return *Box01DialogRecordOf<SectionsDialog>(dialog); }

LRESULT List(HWND dialog, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendDlgItemMessageA(dialog, ID_LIST, message, wParam, lParam);
}

void ShowMask(HWND dialog, uint32_t mask)
{
    const SectionsDialog &d = Work(dialog);
    for (int row = 0; row < d.rows; ++row)
        List(dialog, LB_SETSEL, (mask >> d.bitOfRow[row]) & 1, row);
    if (d.flags)
        CheckRadioButton(dialog, ID_REPLACE, ID_MERGE, (mask & REPLACE_BIT) ? ID_REPLACE : ID_MERGE);
}

// The bits of the selected rows (at most 24 are read).
uint32_t SelectedBits(HWND dialog)
{
    const SectionsDialog &d = Work(dialog);
    int rows[MAX_SELECTED];
    const LRESULT n = List(dialog, LB_GETSELITEMS, MAX_SELECTED, reinterpret_cast<LPARAM>(rows));
    uint32_t bits = 0;
    for (LRESULT i = 0; i < n; ++i)
        if (rows[i] >= 0 && rows[i] < d.rows)
            bits |= 1u << d.bitOfRow[rows[i]];
    return bits;
}

uint32_t Chosen(HWND dialog, uint32_t modes)
{
    return (modes & MODE_BITS) | FILE_SECTIONS_ALWAYS | SelectedBits(dialog);
}

void Init(HWND dialog, LPARAM lParam)
{
    auto *d = reinterpret_cast<SectionsDialog *>(Box01DialogInit(dialog, lParam));
    SetWindowTextA(dialog, d->caption);
    d->rows = 0;
    for (int bit = FIRST_SECTION; bit <= LAST_SECTION; ++bit) {
        const char *name = eSectionNames[bit];
        if (!name || name[0] == TABLE_END)
            break;
        if (!name[0])
            continue;
        List(dialog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        d->bitOfRow[d->rows++] = bit;
    }
    for (int id : {ID_REPLACE, ID_MERGE, ID_MODE_LABEL})
        Box01DialogShowItem(dialog, id, d->flags != 0);
    const bool withDefault = d->hasDefault && d->defaultMask != 0;
    EnableWindow(GetDlgItem(dialog, ID_STORE), withDefault);
    EnableWindow(GetDlgItem(dialog, ID_RESTORE), withDefault);
    ShowMask(dialog, d->mask);
    SetFocus(GetDlgItem(dialog, ID_LIST));
}

INT_PTR CALLBACK SectionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Init(dialog, lParam);
        return FALSE;
    }
    if (message != WM_COMMAND)
        return Box01DialogDefault(dialog, message, wParam, lParam, SECTIONS_HELP);
    SectionsDialog &d = Work(dialog);
    switch (LOWORD(wParam)) {
    case ID_REPLACE: d.mask |= REPLACE_BIT; return TRUE;
    case ID_MERGE: d.mask &= ~REPLACE_BIT; return TRUE;
    case ID_STORE:
        if (AlertButtons62(dialog, eAlertTextOK[MSG_STORE_DEFAULT]) != ALERT_CANCEL)
            d.defaultMask = Chosen(dialog, d.mask);
        return TRUE;
    case ID_RESTORE:
        d.mask = d.defaultMask;
        ShowMask(dialog, d.mask);
        return TRUE;
    case ID_ALL: List(dialog, LB_SETSEL, TRUE, -1); return TRUE;
    case ID_NONE: List(dialog, LB_SETSEL, FALSE, -1); return TRUE;
    case IDOK:
        // Bits 1 to 27 come only from the selected rows.
        d.mask = Chosen(dialog, d.mask);
        Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    default: return Box01DialogDefault(dialog, message, wParam, lParam, SECTIONS_HELP);
    }
}

} // namespace

int Box15FileSections(HWND owner, const char *caption, uint32_t *mask, uint32_t *defaultMask, int flags)
{
    if (!mask)
        return 0;
    SectionsDialog d = {};
    std::snprintf(d.caption, sizeof d.caption, "%s", caption ? caption : "");
    d.mask = *mask;
    d.hasDefault = defaultMask != nullptr;
    d.defaultMask = defaultMask ? *defaultMask : 0;
    d.flags = flags;
    if (Box01DialogRun(owner, TEMPLATE_NAME, SectionsProc, &d.header) == -1)
        return 0;
    if (defaultMask)
        *defaultMask = d.defaultMask; // also after Cancel
    if (d.header.result != DIALOG_OK)
        return 0;
    *mask = d.mask;
    return 1;
}
