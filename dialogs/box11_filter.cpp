// The selection filter dialog (template SELECTIONFILTER).
#include "dialogs/box11_filter.h"

#include <cstdio>
#include <cstring>

#include "app/init_dialogs.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box02.h"
#include "dialogs/box04_color.h"
#include "dialogs/box05_defs.h"
#include "dialogs/box05_table.h"
#include "dialogs/box06_defaults.h"
#include "display/output_paint.h"
#include "language/language.h"

namespace {

constexpr int ID_LIST = 170, ID_WIDTH = 200, ID_UNIT = 650, ID_PREVIEW = 700;
constexpr int ID_MASK_FIRST = 250, MASK_BITS = 8;
constexpr int ID_CLASS_FIRST = 260, CLASS_BITS = 5;
constexpr int ID_STORED = 550, ID_ALL_TYPES = 551, ID_RESET = 552;
constexpr int ID_LAYER = 750, ID_PEN = 751, ID_LINE = 752;
constexpr int ID_FILL_FIRST = 800, FILL_MODES = 5;
constexpr int ID_COLOR1 = 10000, ID_COLOR2 = 10001;
constexpr double WIDTH_MIN = 0.0, WIDTH_MAX = 100.0;
// Property-mask bits.
constexpr uint32_t MASK_PEN = 1, MASK_FILL = 2, MASK_COLOR1 = 4, MASK_COLOR2 = 8, MASK_WIDTH = 16, MASK_LINE = 32,
                   MASK_LAYER = 64, MASK_STYLE = 128;
constexpr uint32_t CLASS_PLAIN = 1;
constexpr int FIELD_TEXT_SIZE = 251;
constexpr char TABLE_END = 4;
constexpr int MSG_WIDTH = 17;                                   // eAlertTextOK
constexpr int CAPTION_TITLE = 67, CAPTION_COLOUR = 1, CAPTION_STORE = 78; // eCaptionTexts
constexpr int PROMPT_NAME = 54, TEXT_CURRENT = 30;              // eUniTexts

struct FilterRecord {
    DialogHeader header;
    SelectionFilter current;
    SelectionFilter stored[BOX11_FILTER_STORED];
};

FilterRecord *Record(HWND dialog)
{
    return Box01DialogRecordOf<FilterRecord>(dialog);
}

// Whether type code t has a name in the list (the name table ends at its end entry).
bool Listed(int t)
{
    for (int i = 0; i <= t; ++i)
        if (!eObjectNames[i] || eObjectNames[i][0] == TABLE_END)
            return false;
    return eObjectNames[t][0] != 0;
}

void SetMaskBit(HWND dialog, uint32_t bit)
{
    Record(dialog)->current.propertyMask |= bit;
    for (int b = 0; b < MASK_BITS; ++b)
        Box01DialogCheck(dialog, ID_MASK_FIRST + b, (Record(dialog)->current.propertyMask >> b) & 1);
}

void ShowMask1(HWND dialog)
{
    SetMaskBit(dialog, 0);
}

void ShowMask2(HWND dialog)
{
    const uint32_t classes = Record(dialog)->current.classFlags;
    for (int b = 0; b < CLASS_BITS; ++b)
        Box01DialogCheck(dialog, ID_CLASS_FIRST + b, (classes >> b) & 1);
    const bool plain = (classes & CLASS_PLAIN) != 0;
    EnableWindow(GetDlgItem(dialog, ID_LIST), plain);
    EnableWindow(GetDlgItem(dialog, ID_ALL_TYPES), plain);
}

void FillObjectList(HWND dialog)
{
    const SelectionFilter &f = Record(dialog)->current;
    HWND list = GetDlgItem(dialog, ID_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int t = 0; t < SELECTION_FILTER_TYPES; ++t) {
        if (!Listed(t))
            continue;
        const LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(eObjectNames[t]));
        if (f.typeFlags[t])
            SendMessageA(list, LB_SETSEL, TRUE, row);
    }
    SendMessageA(list, LB_SETTOPINDEX, f.firstVisibleType, 0);
}

void ShowWidth(HWND dialog)
{
    char text[64];
    Box05FormatWidth(text, Record(dialog)->current.values.width);
    SetDlgItemTextA(dialog, ID_WIDTH, text);
}

void ShowAll(HWND dialog)
{
    ShowWidth(dialog);
    SetDlgItemTextA(dialog, ID_UNIT, g_ConvertState.widthLabel);
    FillObjectList(dialog);
    ShowMask1(dialog);
    ShowMask2(dialog);
    InvalidateRect(dialog, nullptr, TRUE);
}

// Width and type list into the current filter, as on OK. 0 when the width is refused.
int TakeFields(HWND dialog)
{
    SelectionFilter &f = Record(dialog)->current;
    char text[FIELD_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, ID_WIDTH, text, FIELD_TEXT_SIZE);
    double width = 0;
    if (!AlertCheckInputWidthRange(dialog, text, &width, ID_WIDTH, WIDTH_MIN, WIDTH_MAX, eAlertTextOK[MSG_WIDTH]))
        return 0;
    f.values.width = width;
    int rows[SELECTION_FILTER_TYPES];
    const LRESULT n = SendDlgItemMessageA(dialog, ID_LIST, LB_GETSELITEMS, SELECTION_FILTER_TYPES,
                                          reinterpret_cast<LPARAM>(rows));
    memset(f.typeFlags, 0, sizeof f.typeFlags);
    for (int i = 0; i < n; ++i) {
        const int type = Box11ObjectTypeFromListIndex(rows[i]);
        if (type < SELECTION_FILTER_TYPES) // a row without a type marks nothing
            f.typeFlags[type] = 1;
    }
    f.firstVisibleType = static_cast<uint32_t>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETTOPINDEX, 0, 0));
    return 1;
}

void StoredMenu(HWND dialog)
{
    HMENU menu = Box01MenuStoredFilters(dialog, Record(dialog)->stored);
    if (!menu)
        return;
    RECT r;
    GetWindowRect(GetDlgItem(dialog, ID_STORED), &r);
    g_PopupByRightButton = 1;
    const int height = GetMenuItemCount(menu) * GetSystemMetrics(SM_CYMENU);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.right - 1, (r.top + r.bottom - height) / 2, 0, dialog,
                   nullptr);
    DestroyMenu(menu);
}

void StoredCommand(HWND dialog, int id)
{
    FilterRecord *r = Record(dialog);
    if (id < BOX01_MENU_FILTERS + BOX11_FILTER_STORED) {
        const SelectionFilter &s = r->stored[id - BOX01_MENU_FILTERS];
        if (!s.name[0])
            return;
        r->current = s;
        r->current.name[0] = 0;
        ShowAll(dialog);
    } else if (id < BOX01_MENU_FILTERS + 2 * BOX11_FILTER_STORED) {
        r->stored[id - BOX01_MENU_FILTERS - BOX11_FILTER_STORED].name[0] = 0;
    } else {
        SelectionFilter &s = r->stored[id - BOX01_MENU_FILTERS - 2 * BOX11_FILTER_STORED];
        char name[SELECTION_FILTER_NAME_SIZE];
        lstrcpynA(name, s.name, sizeof name);
        if (!Box02EditName(dialog, eCaptionTexts[CAPTION_STORE], eUniTexts[PROMPT_NAME], name, sizeof name))
            return;
        if (!TakeFields(dialog))
            return;
        s = r->current;
        lstrcpynA(s.name, name, sizeof s.name);
    }
}

INT_PTR DrawItem(HWND dialog, const DRAWITEMSTRUCT *item)
{
    const XProperty &v = Record(dialog)->current.values;
    const int id = static_cast<int>(item->CtlID);
    if (id == ID_LAYER || id == ID_PEN) {
        const bool layer = id == ID_LAYER;
        const bool named = layer ? LayerIsDefined(v.layer) : PenIsDefined(v.pen);
        if (named)
            Box01DialogCustomButtonLayer(item, layer ? g_LayerDefs[v.layer].state : g_PenDefs[v.pen].state,
                                         layer ? g_LayerDefs[v.layer].name : g_PenDefs[v.pen].name, 0);
        else
            Box01DialogCustomButtonText(item, eUniTexts[TEXT_CURRENT], 0);
    } else if (id == ID_LINE) {
        Box01DialogCustomButtonText(item, v.lineType >= 0 && v.lineType < LINE_SLOTS ? g_LineDefs[v.lineType].name : "",
                                    0);
    } else if (id >= ID_FILL_FIRST && id < ID_FILL_FIRST + FILL_MODES) {
        Box01DrawItemNumberedIcon(item, "IDI_FILLMOD%d", ID_FILL_FIRST, v.fillMode);
    } else if (id == ID_COLOR1 || id == ID_COLOR2) {
        Box01DialogCustomButtonColor(item, id == ID_COLOR1 ? v.color1 : v.color2, 0);
    } else if (id >= BOX05_STYLE_FIRST && id <= BOX05_STYLE_LAST) {
        Box05DrawStyleButton(item, v.capJoin);
    } else {
        return 0;
    }
    return 1;
}

INT_PTR Command(HWND dialog, int id, int code)
{
    FilterRecord *r = Record(dialog);
    XProperty &v = r->current.values;
    if (id >= ID_MASK_FIRST && id < ID_MASK_FIRST + MASK_BITS) {
        r->current.propertyMask ^= 1u << (id - ID_MASK_FIRST);
        ShowMask1(dialog);
    } else if (id >= ID_CLASS_FIRST && id < ID_CLASS_FIRST + CLASS_BITS) {
        r->current.classFlags ^= 1u << (id - ID_CLASS_FIRST);
        ShowMask2(dialog);
    } else if (id == ID_WIDTH) {
        if (code == EN_SETFOCUS)
            SetMaskBit(dialog, MASK_WIDTH);
    } else if (id >= BOX05_PRESET_FIRST && id <= BOX05_PRESET_LAST) {
        Box05PressWidthPreset(dialog, id, ID_WIDTH);
        SetMaskBit(dialog, MASK_WIDTH);
    } else if (id >= BOX05_STYLE_FIRST && id <= BOX05_STYLE_LAST) {
        Box05PressStyleButton(dialog, id, &v.capJoin);
        SetMaskBit(dialog, MASK_STYLE);
    } else if (id == ID_LAYER) {
        Box01OpenListPopup(BOX01_POPUP_LAYERS, dialog, GetDlgItem(dialog, id), v.layer, BOX06_LAYER_CHOICE_FIRST, 0);
    } else if (id == ID_PEN) {
        Box01OpenListPopup(BOX01_POPUP_PENS, dialog, GetDlgItem(dialog, id), v.pen, BOX06_PEN_CHOICE_FIRST, 0);
    } else if (id == ID_LINE) {
        Box01OpenListPopup(BOX01_POPUP_LINES, dialog, GetDlgItem(dialog, id), v.lineType, BOX05_LINE_CHOICE_FIRST, 0);
    } else if (id >= BOX06_LAYER_CHOICE_FIRST && id < BOX06_LAYER_CHOICE_TOP) {
        v.layer = id - BOX06_LAYER_CHOICE_FIRST;
        Box01DialogRedrawItem(dialog, ID_LAYER);
        SetMaskBit(dialog, MASK_LAYER);
    } else if (id >= BOX06_PEN_CHOICE_FIRST && id < BOX06_PEN_CHOICE_TOP) {
        v.pen = id - BOX06_PEN_CHOICE_FIRST;
        Box01DialogRedrawItem(dialog, ID_PEN);
        SetMaskBit(dialog, MASK_PEN);
    } else if (id >= BOX05_LINE_CHOICE_FIRST && id < BOX05_LINE_CHOICE_FIRST + LINE_SLOTS) {
        v.lineType = id - BOX05_LINE_CHOICE_FIRST;
        Box01DialogRedrawItem(dialog, ID_LINE);
        InvalidateRect(dialog, nullptr, FALSE);
        SetMaskBit(dialog, MASK_LINE);
    } else if (id >= ID_FILL_FIRST && id < ID_FILL_FIRST + FILL_MODES) {
        v.fillMode = id - ID_FILL_FIRST;
        Box01DialogRedrawItems(dialog, ID_FILL_FIRST, ID_FILL_FIRST + FILL_MODES - 1);
        SetMaskBit(dialog, MASK_FILL);
    } else if (id == ID_COLOR1 || id == ID_COLOR2) {
        COLORREF &colour = id == ID_COLOR1 ? v.color1 : v.color2;
        if (Box04ChooseColor(dialog, eCaptionTexts[CAPTION_COLOUR], &colour)) {
            Box01DialogRedrawItem(dialog, id);
            SetMaskBit(dialog, id == ID_COLOR1 ? MASK_COLOR1 : MASK_COLOR2);
        }
    } else if (id == ID_ALL_TYPES) {
        SendDlgItemMessageA(dialog, ID_LIST, LB_SETSEL, TRUE, -1);
    } else if (id == ID_RESET) {
        Box11FilterReset(&r->current);
        ShowAll(dialog);
    } else if (id == ID_STORED) {
        StoredMenu(dialog);
    } else if (id >= BOX01_MENU_FILTERS && id < BOX01_MENU_FILTERS + 3 * BOX11_FILTER_STORED) {
        StoredCommand(dialog, id);
    } else if (id == IDOK) {
        if (TakeFields(dialog))
            Box01DialogEnd(dialog, DIALOG_OK);
    } else {
        return 0;
    }
    return 1;
}

INT_PTR CALLBACK FilterProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Box01DialogInit(dialog, lParam);
        SetWindowTextA(dialog, eCaptionTexts[CAPTION_TITLE]);
        ShowAll(dialog);
        SetFocus(dialog);
        return 0;
    }
    if (!Record(dialog))
        return 0;
    switch (message) {
    case WM_PAINT:
        PostMessageA(dialog, WM_APP, 0, 0);
        return 0;
    case WM_APP: {
        const int32_t type = Record(dialog)->current.values.lineType;
        if (type >= 0 && type < LINE_SLOTS)
            OutputDrawLineDefPreview(GetDlgItem(dialog, ID_PREVIEW), &g_LineDefs[type]);
        return 1;
    }
    case WM_DRAWITEM:
        return DrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
    case WM_COMMAND:
        if (Command(dialog, LOWORD(wParam), HIWORD(wParam)))
            return 1;
        break;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX11_FILTER_HELP);
}

} // namespace

int Box11ObjectTypeFromListIndex(int row)
{
    int seen = 0;
    for (int t = 0; t < SELECTION_FILTER_TYPES; ++t)
        if (Listed(t) && seen++ == row)
            return t;
    return SELECTION_FILTER_TYPES;
}

int Box11ListIndexFromObjectType(int type)
{
    int row = 0;
    for (int t = 0; t < type && t < SELECTION_FILTER_TYPES; ++t)
        if (Listed(t))
            ++row;
    return row;
}

void Box11FilterReset(SelectionFilter *filter)
{
    const uint32_t enabled = filter->enabled;
    *filter = SelectionFilter{};
    filter->enabled = enabled;
    filter->classFlags = 0xFFFFFFFFu;
    for (uint32_t &t : filter->typeFlags)
        t = 1;
    filter->values.color1 = RGB(255, 255, 255);
    filter->values.width = PROPERTY_DEFAULT_WIDTH;
    filter->values.capJoin = PROPERTY_DEFAULT_CAPJOIN;
}

int Box11SelectionFilter(HWND owner, const char *, SelectionFilter *current, SelectionFilter stored[BOX11_FILTER_STORED])
{
    FilterRecord record = {};
    record.current = *current;
    memcpy(record.stored, stored, sizeof record.stored);
    if (!Box01DialogEdit(owner, "SELECTIONFILTER", FilterProc, record))
        return 0;
    *current = record.current;
    memcpy(stored, record.stored, sizeof record.stored);
    return 1;
}
