// The multiline definitions editor and the lines dialog of one multiline.
#include "dialogs/box14_multiline.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "app/system_changes.h"
#include "app/system_defs.h"
#include "database/object_attributes.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box01_slotlist.h"
#include "dialogs/box14.h"
#include "language/language.h"
#include "plugin/zvi.h"

namespace {

constexpr int ID_LIST = 170, ID_OFFSET = 200, ID_UNIT = 650, ID_USED = 250, ID_SET_OFFSET = 251,
              ID_PROPERTIES = 20, ID_EXTRA = 550;
constexpr int MSG_NONE_USED = 62, MSG_FULL = 21, MSG_DELETE = 22;                     // eAlertTextOK
constexpr int CAPTION_NEW = 9, CAPTION_RENAME = 10, CAPTION_LINES = 5, CAPTION_PROPERTIES = 2; // eCaptionTexts
constexpr int TEXT_ROW = 21, TEXT_USED = 8;                                            // eUniTexts
constexpr int PROPERTY_MODE = 1;
constexpr double OFFSET_LIMIT = 1e10;
constexpr int TEXT_SIZE = 128;

struct LinesRecord {
    DialogHeader header;
    char caption[256];
    MultiLineDef work;
    int flag;
    int selected[MULTILINE_LINES]; // the lines the controls show
    int count;
};

LinesRecord &Lines(HWND dialog) { return *Box01DialogRecordOf<LinesRecord>(dialog); }

void FillRows(HWND dialog)
{
    LinesRecord &r = Lines(dialog);
    HWND list = GetDlgItem(dialog, ID_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < MULTILINE_LINES; ++i) {
        char offset[TEXT_SIZE] = "", unit[TEXT_SIZE] = "", row[TEXT_SIZE * 3];
        ZVI_ConvertLengthString(offset, r.work.lines[i].offset, unit);
        std::snprintf(row, sizeof row, eUniTexts[TEXT_ROW], i + 1, offset, r.work.lines[i].on ? eUniTexts[TEXT_USED] : "");
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
        SetDlgItemTextA(dialog, ID_UNIT, unit);
    }
    for (int k = 0; k < r.count; ++k)
        SendMessageA(list, LB_SETSEL, TRUE, r.selected[k]);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// The controls for the selected lines: none, one or several.
void ShowControls(HWND dialog)
{
    LinesRecord &r = Lines(dialog);
    EnableWindow(GetDlgItem(dialog, ID_USED), r.count > 0);
    EnableWindow(GetDlgItem(dialog, ID_PROPERTIES), r.count > 0);
    ShowWindow(GetDlgItem(dialog, ID_SET_OFFSET), r.count > 1 ? SW_SHOW : SW_HIDE);
    CheckDlgButton(dialog, ID_SET_OFFSET, BST_UNCHECKED);
    if (r.count == 1) {
        const MultiLineLine &l = r.work.lines[r.selected[0]];
        CheckDlgButton(dialog, ID_USED, l.on ? BST_CHECKED : BST_UNCHECKED);
        char text[TEXT_SIZE] = "", unit[TEXT_SIZE] = "";
        ZVI_ConvertLengthString(text, l.offset, unit);
        SetDlgItemTextA(dialog, ID_OFFSET, text);
    } else {
        CheckDlgButton(dialog, ID_USED, r.count > 1 ? BST_INDETERMINATE : BST_UNCHECKED);
    }
}

// The offset field as a length; an unreadable text counts as 0 and is rewritten.
double ReadOffset(HWND dialog)
{
    char text[TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, ID_OFFSET, text, sizeof text);
    double mm = 0;
    if (!ZVI_ConvertStringLength(&mm, text, nullptr) || mm < -OFFSET_LIMIT || mm > OFFSET_LIMIT) {
        mm = 0;
        char zero[TEXT_SIZE] = "", unit[TEXT_SIZE] = "";
        ZVI_ConvertLengthString(zero, 0.0, unit);
        SetDlgItemTextA(dialog, ID_OFFSET, zero);
    }
    return mm;
}

// Writes the controls into the lines they show: the used state unless
// indeterminate, the offset for one line, or for several when 251 is ticked.
void ApplyControls(HWND dialog)
{
    LinesRecord &r = Lines(dialog);
    if (r.count == 0)
        return;
    const UINT used = IsDlgButtonChecked(dialog, ID_USED);
    const bool setOffset = r.count == 1 || IsDlgButtonChecked(dialog, ID_SET_OFFSET) == BST_CHECKED;
    const double offset = setOffset ? ReadOffset(dialog) : 0;
    for (int k = 0; k < r.count; ++k) {
        MultiLineLine &l = r.work.lines[r.selected[k]];
        if (used != BST_INDETERMINATE)
            l.on = used == BST_CHECKED;
        if (setOffset)
            l.offset = offset;
    }
}

void ReadSelection(HWND dialog)
{
    LinesRecord &r = Lines(dialog);
    r.count = static_cast<int>(
        SendDlgItemMessageA(dialog, ID_LIST, LB_GETSELITEMS, MULTILINE_LINES, reinterpret_cast<LPARAM>(r.selected)));
    if (r.count < 0)
        r.count = 0;
}

void SelectionChanged(HWND dialog)
{
    ApplyControls(dialog);
    ReadSelection(dialog);
    FillRows(dialog);
    ShowControls(dialog);
}

void ToggleUsed(HWND dialog)
{
    const UINT state = IsDlgButtonChecked(dialog, ID_USED);
    UINT next = state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    if (Lines(dialog).count > 1)
        next = state == BST_UNCHECKED ? BST_CHECKED : state == BST_CHECKED ? BST_INDETERMINATE : BST_UNCHECKED;
    CheckDlgButton(dialog, ID_USED, next);
}

void EditProperties(HWND dialog)
{
    LinesRecord &r = Lines(dialog);
    if (r.count == 0)
        return;
    ApplyControls(dialog);
    std::unique_ptr<ObjectAttributes> attributes(new (std::nothrow) ObjectAttributes());
    if (!attributes)
        return;
    ObjectAttributesInit(attributes.get());
    attributes->present[ATTR_GENERAL] = 1;
    attributes->general.ownMask = attributes->general.fieldMask = 0;
    attributes->general.values = r.work.lines[r.selected[0]].property;
    if (r.count == 1) {
        if (Box14ObjInfoSingle(dialog, eCaptionTexts[CAPTION_PROPERTIES], attributes.get(), PROPERTY_MODE, nullptr,
                               nullptr, 1, 1, nullptr))
            r.work.lines[r.selected[0]].property = attributes->general.values;
    } else if (Box14ObjInfoMulti(dialog, eCaptionTexts[CAPTION_PROPERTIES], attributes.get(), 0, nullptr)) {
        for (int k = 0; k < r.count; ++k)
            ObjectPropertyApplyMasked(&r.work.lines[r.selected[k]].property, &attributes->general, 0);
    }
}

bool AnyUsed(const MultiLineDef &d)
{
    for (const MultiLineLine &l : d.lines)
        if (l.on)
            return true;
    return false;
}

INT_PTR CALLBACK LinesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<LinesRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        const UINT tabs[2] = {40, 90};
        SendDlgItemMessageA(dialog, ID_LIST, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(tabs));
        ShowWindow(GetDlgItem(dialog, ID_EXTRA), r->flag ? SW_SHOW : SW_HIDE);
        r->count = 1;
        r->selected[0] = 0;
        FillRows(dialog);
        ShowControls(dialog);
        return 1;
    }
    if (!Box01DialogRecord(dialog))
        return 0;
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        switch (id) {
        case ID_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                SelectionChanged(dialog);
            return 1;
        case ID_OFFSET:
            if (HIWORD(wParam) == EN_SETFOCUS && Lines(dialog).count > 1)
                CheckDlgButton(dialog, ID_SET_OFFSET, BST_CHECKED);
            return 1;
        case ID_USED: ToggleUsed(dialog); return 1;
        case ID_PROPERTIES: EditProperties(dialog); return 1;
        case IDOK:
            ApplyControls(dialog);
            if (!AnyUsed(Lines(dialog).work)) {
                AlertOk(dialog, eAlertTextOK[MSG_NONE_USED]);
                FillRows(dialog);
                ShowControls(dialog);
                return 1;
            }
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        default: break;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX14_MULTILINE_PARAM_HELP);
}

int EditLines(HWND owner, const char *caption, void *record)
{
    return Box14MultilineParam(owner, caption, static_cast<MultiLineDef *>(record), 0);
}

const SlotListTexts MULTILINE_TEXTS = {CAPTION_NEW, CAPTION_RENAME, MSG_FULL, MSG_DELETE, CAPTION_LINES,
                                       BOX14_MULTILINE_DEFS_HELP};

} // namespace

int Box14MultilineParam(HWND owner, const char *caption, MultiLineDef *def, int flag)
{
    LinesRecord record = {};
    lstrcpynA(record.caption, caption ? caption : "", sizeof record.caption);
    record.work = *def;
    record.flag = flag;
    if (!Box01DialogEdit(owner, "MULTILINEPARAM", LinesProc, record))
        return 0;
    *def = record.work;
    return 1;
}

int Box14EditMultilineDef(HWND owner, const char *caption, MultiLineDef *table, int32_t current)
{
    std::vector<MultiLineDef> copy(table, table + MULTILINE_SLOTS);
    SlotListRecord record = Box01SlotListOf(caption, copy, DEF_NAME_SHORT, current, &MULTILINE_TEXTS, EditLines);
    if (!Box01EditSlotList(owner, "EDITMULTILINEDEF", record))
        return 0;
    for (int i = 0; i < MULTILINE_SLOTS; ++i) {
        const bool changed = std::memcmp(&table[i], &copy[i], sizeof(MultiLineDef)) != 0;
        g_DefChangeFlags.multiLine[i] = changed ? 1 : 0;
        if (changed) {
            table[i] = copy[i];
            g_DefChangeFlags.multiLines = 1;
        }
    }
    return 1;
}
