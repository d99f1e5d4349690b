// The colour choosers (templates CHOOSESTDCOLOR and CHOOSECOLOR).
#include "dialogs/box04_color.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box02.h"
#include "language/language.h"

namespace {

constexpr int ID_LIST = 170;
constexpr int ID_PATCH = 700;
constexpr int ID_SORT = 250;
constexpr int ID_MODEL_FIRST = 300;          // 300 RGB, 301 CMY
constexpr int ID_FIELD_FIRST = 200;          // 200-202 model fields, 203-205 hue fields
constexpr int ID_HUE_FIELD = 203;
constexpr int ID_LABEL_FIRST = 350;
constexpr int ID_NAME_TEXT = 356;
constexpr int ID_SPIN_FIRST = 190;           // 190-192 model, 193-195 hue
constexpr int ID_NEW = 14, ID_RENAME = 15, ID_DELETE = 13, ID_CHANGE = 29;
constexpr int FIELD_COUNT = 3;
constexpr int FIELD_TEXT_SIZE = 251;
constexpr int FIELD_WIDTH = 8, FIELD_DECIMALS = 1;
constexpr double PERCENT_MAX = 100, HUE_LIMIT = 360, HUE_SPIN_MAX = 359, SPIN_STEP = 1;
constexpr int LABEL_RGB = 0, LABEL_CMY = 3;  // eUniTexts
constexpr int TEXT_COLOUR = 71, PROMPT_NAME = 54; // eUniTexts
constexpr int MSG_TABLE_FULL = 9, MSG_SAME_VALUE = 11, MSG_DELETE = 13, MSG_REPLACE = 99; // eAlertTextOK
constexpr int CAPTION_NEW = 27, CAPTION_RENAME = 50; // eCaptionTexts
constexpr int MESSAGE_SIZE = 600;
constexpr int NO_ENTRY = -1;

// --- The standard colours ---------------------------------------------------------

struct StdColorRecord {
    DialogHeader header;
    char caption[256];
    int32_t work; // the standard colour's index
};

// Selects the list row named after the first of entries 0 to 31 of the
// colour table that has the standard colour's value (none when none has).
void SelectStdName(HWND dialog, int32_t index)
{
    HWND list = GetDlgItem(dialog, ID_LIST);
    SendMessageA(list, LB_SETCURSEL, WPARAM(-1), 0);
    for (int i = 0; i < STANDARD_COLORS; ++i) {
        if (g_ColorDefs[i].color != g_StandardColors[index])
            continue;
        // The exact name: a prefix search would stop at a longer name that begins with it.
        const int row = Box01ListFindExact(dialog, ID_LIST, g_ColorDefs[i].name);
        SendMessageA(list, LB_SETCURSEL, WPARAM(row), 0);
        return;
    }
}

bool IsColorButton(int id)
{
    return id >= BOX04_COLOR_BUTTON_FIRST && id < BOX04_COLOR_BUTTON_FIRST + STANDARD_COLORS;
}

INT_PTR CALLBACK StdColorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *record = reinterpret_cast<StdColorRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, record->caption);
        for (int i = 0; i < STANDARD_COLORS; ++i)
            SendDlgItemMessageA(dialog, ID_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(eColorNames[i]));
        SelectStdName(dialog, record->work);
        return 1;
    }
    auto *record = Box01DialogRecordOf<StdColorRecord>(dialog);
    if (!record)
        return 0;
    switch (message) {
    case WM_PAINT:
        // The dialog paints itself first; the patch goes on top.
        PostMessageA(dialog, WM_APP, 0, 0);
        return 0;
    case WM_APP:
        Box01PaintColorPreview(GetDlgItem(dialog, ID_PATCH), g_StandardColors[record->work]);
        return 1;
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (!IsColorButton(static_cast<int>(item->CtlID)))
            return 0;
        Box01DialogCustomButtonColor(item, g_StandardColors[item->CtlID - BOX04_COLOR_BUTTON_FIRST], 0);
        return 1;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (IsColorButton(id)) {
            record->work = id - BOX04_COLOR_BUTTON_FIRST;
            Box01PaintColorPreview(GetDlgItem(dialog, ID_PATCH), g_StandardColors[record->work]);
            SelectStdName(dialog, record->work);
            return 1;
        }
        if (id == ID_LIST && HIWORD(wParam) == LBN_SELCHANGE) {
            char text[DEF_NAME_SHORT * 2] = "";
            const LRESULT row = SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0);
            if (row != LB_ERR && SendDlgItemMessageA(dialog, ID_LIST, LB_GETTEXTLEN, row, 0) < LRESULT(sizeof text))
                SendDlgItemMessageA(dialog, ID_LIST, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
            for (int i = 0; i < STANDARD_COLORS; ++i)
                if (strcmp(text, eColorNames[i]) == 0) {
                    record->work = i;
                    break;
                }
            Box01PaintColorPreview(GetDlgItem(dialog, ID_PATCH), g_StandardColors[record->work]);
            return 1;
        }
        if ((id == ID_LIST && HIWORD(wParam) == LBN_DBLCLK) || id == IDOK) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
        break;
    }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX04_STD_COLOR_HELP);
}

// --- Any colour and the named colours ---------------------------------------------

struct ColorRecord {
    DialogHeader header;
    char caption[256];
    uint32_t fieldsReady;
    uint32_t sortByName;
    int32_t initialEntry;
    int32_t model;
    COLORREF colour;
    std::vector<ColorDef> *table;
};

ColorRecord *Record(HWND dialog)
{
    return Box01DialogRecordOf<ColorRecord>(dialog);
}

bool IsUsed(const ColorDef &c)
{
    return c.name[0] != 0 && c.name[0] != '*';
}

void WriteNumber(HWND dialog, int id, double value)
{
    char text[64];
    ConvertDoubleToString(text, value, FIELD_WIDTH, FIELD_DECIMALS);
    // The field shows the number without the padding of the width.
    const char *start = text;
    while (*start == ' ')
        ++start;
    SetDlgItemTextA(dialog, id, start);
}

void ShowValues(HWND dialog)
{
    ColorRecord *r = Record(dialog);
    double v[FIELD_COUNT];
    if (r->model == 0)
        ConvertColorToPercent(r->colour, &v[0], &v[1], &v[2]);
    else
        ConvertColorToCMY(r->colour, &v[0], &v[1], &v[2]);
    const uint32_t ready = r->fieldsReady;
    r->fieldsReady = 0;
    for (int i = 0; i < FIELD_COUNT; ++i) {
        WriteNumber(dialog, ID_FIELD_FIRST + i, v[i]);
        SetDlgItemTextA(dialog, ID_LABEL_FIRST + i, eUniTexts[(r->model == 0 ? LABEL_RGB : LABEL_CMY) + i]);
    }
    r->fieldsReady = ready;
}

void ShowHue(HWND dialog)
{
    ColorRecord *r = Record(dialog);
    double v[FIELD_COUNT];
    ConvertColorToHSB(r->colour, &v[0], &v[1], &v[2]);
    const uint32_t ready = r->fieldsReady;
    r->fieldsReady = 0;
    for (int i = 0; i < FIELD_COUNT; ++i)
        WriteNumber(dialog, ID_HUE_FIELD + i, v[i]);
    r->fieldsReady = ready;
}

// Reads one field; a text that is no number counts as 0, values are kept
// within min .. limit (a value at or above an exclusive limit counts as 0).
double ReadField(HWND dialog, int id, double max, bool exclusive, bool correct)
{
    char text[FIELD_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, id, text, FIELD_TEXT_SIZE);
    double value = 0;
    bool replaced = false;
    if (!AlertCheckInputDouble(nullptr, text, &value, -1)) {
        value = 0;
        replaced = true;
    } else if (value < 0) {
        value = 0;
        replaced = true;
    } else if (exclusive ? value >= max : value > max) {
        value = exclusive ? 0 : max;
        replaced = true;
    }
    if (replaced && correct) {
        ColorRecord *r = Record(dialog);
        const uint32_t ready = r->fieldsReady;
        r->fieldsReady = 0;
        WriteNumber(dialog, id, value);
        r->fieldsReady = ready;
    }
    return value;
}

void ReadEdits(HWND dialog, bool correct)
{
    double v[FIELD_COUNT];
    for (int i = 0; i < FIELD_COUNT; ++i)
        v[i] = ReadField(dialog, ID_FIELD_FIRST + i, PERCENT_MAX, false, correct);
    ColorRecord *r = Record(dialog);
    r->colour = r->model == 0 ? ConvertPercentToColor(v[0], v[1], v[2]) : ConvertCMYToColor(v[0], v[1], v[2]);
}

void ReadEdits2(HWND dialog, bool correct)
{
    const double hue = ReadField(dialog, ID_HUE_FIELD, HUE_LIMIT, true, correct);
    const double saturation = ReadField(dialog, ID_HUE_FIELD + 1, PERCENT_MAX, false, correct);
    const double brightness = ReadField(dialog, ID_HUE_FIELD + 2, PERCENT_MAX, false, correct);
    Record(dialog)->colour = ConvertHSBToColor(hue, saturation, brightness);
}

void ShowName(HWND dialog)
{
    ColorRecord *r = Record(dialog);
    char text[MESSAGE_SIZE];
    lstrcpynA(text, eUniTexts[TEXT_COLOUR], sizeof text);
    for (const ColorDef &c : *r->table)
        if (IsUsed(c) && c.color == r->colour) {
            snprintf(text, sizeof text, "%s (%s)", eUniTexts[TEXT_COLOUR], c.name);
            break;
        }
    SetDlgItemTextA(dialog, ID_NAME_TEXT, text);
}

void RefreshPatchAndName(HWND dialog)
{
    Box01PaintColorPreview(GetDlgItem(dialog, ID_PATCH), Record(dialog)->colour);
    ShowName(dialog);
}

void RefreshAll(HWND dialog)
{
    ShowValues(dialog);
    ShowHue(dialog);
    RefreshPatchAndName(dialog);
}

int SelectedEntry(HWND dialog)
{
    const LRESULT row = SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR)
        return NO_ENTRY;
    return static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETITEMDATA, row, 0));
}

int RowOfEntry(HWND dialog, int entry)
{
    const int rows = static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row)
        if (SendDlgItemMessageA(dialog, ID_LIST, LB_GETITEMDATA, row, 0) == entry)
            return row;
    return NO_ENTRY;
}

void FillList(HWND dialog, int select)
{
    HWND list = GetDlgItem(dialog, ID_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const std::vector<ColorDef> &table = *Record(dialog)->table;
    for (int i = 0; i < COLOR_SLOTS; ++i)
        if (IsUsed(table[i]))
            SendMessageA(list, LB_ADDSTRING, 0, i);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (select != NO_ENTRY) {
        const int row = RowOfEntry(dialog, select);
        if (row != NO_ENTRY)
            SendMessageA(list, LB_SETCURSEL, row, 0);
    }
}

int CompareRows(HWND dialog, const COMPAREITEMSTRUCT *items)
{
    ColorRecord *r = Record(dialog);
    const ColorDef &a = (*r->table)[items->itemData1];
    const ColorDef &b = (*r->table)[items->itemData2];
    if (r->sortByName) {
        const int c = strcmp(a.name, b.name);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const double ka = ConvertColorSortKey(a.color), kb = ConvertColorSortKey(b.color);
    return ka < kb ? -1 : ka > kb ? 1 : 0;
}

// Another used entry with the current colour asks whether to go on.
bool SameValueAccepted(HWND dialog, int except)
{
    ColorRecord *r = Record(dialog);
    for (int i = 0; i < COLOR_SLOTS; ++i) {
        const ColorDef &c = (*r->table)[i];
        if (i == except || !IsUsed(c) || c.color != r->colour)
            continue;
        return Box01AskName(dialog, MSG_SAME_VALUE, c.name) == ALERT_YES;
    }
    return true;
}

int FindName(const std::vector<ColorDef> &table, const char *name)
{
    for (int i = 0; i < COLOR_SLOTS; ++i)
        if (strcmp(table[i].name, name) == 0 && name[0])
            return i;
    return NO_ENTRY;
}

void NewColour(HWND dialog)
{
    ColorRecord *r = Record(dialog);
    std::vector<ColorDef> &table = *r->table;
    char name[DEF_NAME_SHORT] = "";
    const int selected = SelectedEntry(dialog);
    if (selected != NO_ENTRY)
        strcpy(name, table[selected].name);
    ReadEdits(dialog, true);
    if (!SameValueAccepted(dialog, NO_ENTRY))
        return;
    if (!Box02EditName(dialog, eCaptionTexts[CAPTION_NEW], eUniTexts[PROMPT_NAME], name, DEF_NAME_SHORT))
        return;
    int entry = FindName(table, name);
    if (entry != NO_ENTRY) {
        if (Box01AskName(dialog, MSG_REPLACE, name) != ALERT_YES)
            return;
    } else {
        for (int i = 0; i < COLOR_SLOTS && entry == NO_ENTRY; ++i)
            if (!table[i].name[0])
                entry = i;
        if (entry == NO_ENTRY) {
            AlertOk(dialog, eAlertTextOK[MSG_TABLE_FULL]);
            return;
        }
    }
    strcpy(table[entry].name, name);
    table[entry].color = r->colour;
    FillList(dialog, entry);
    ShowName(dialog);
}

void RenameColour(HWND dialog)
{
    std::vector<ColorDef> &table = *Record(dialog)->table;
    const int entry = Box01NeedEntry(dialog, SelectedEntry(dialog));
    if (entry == NO_ENTRY)
        return;
    char name[DEF_NAME_SHORT];
    strcpy(name, table[entry].name);
    if (!Box01AskFreeName(dialog, eCaptionTexts[CAPTION_RENAME], name, DEF_NAME_SHORT,
                          [&table](const char *n) { return FindName(table, n); }, entry))
        return;
    strcpy(table[entry].name, name);
    FillList(dialog, entry);
    ShowName(dialog);
}

void DeleteColour(HWND dialog)
{
    std::vector<ColorDef> &table = *Record(dialog)->table;
    const int entry = Box01NeedEntry(dialog, SelectedEntry(dialog));
    if (entry == NO_ENTRY || Box01AskName(dialog, MSG_DELETE, table[entry].name) != ALERT_YES)
        return;
    table[entry] = ColorDef{};
    Box01ListDeleteSelection(dialog, ID_LIST);
    ShowName(dialog);
}

void ChangeColour(HWND dialog)
{
    ColorRecord *r = Record(dialog);
    const int entry = Box01NeedEntry(dialog, SelectedEntry(dialog));
    if (entry == NO_ENTRY)
        return;
    ReadEdits(dialog, true);
    if (!SameValueAccepted(dialog, entry))
        return;
    (*r->table)[entry].color = r->colour;
    FillList(dialog, entry);
    ShowName(dialog);
}

void Spin(HWND dialog, int code, HWND bar)
{
    const int id = GetDlgCtrlID(bar);
    if (id >= ID_SPIN_FIRST && id < ID_SPIN_FIRST + FIELD_COUNT) {
        Box01DialogSpinEdit(dialog, code, bar, 0, PERCENT_MAX, SPIN_STEP);
        ReadEdits(dialog, true);
        ShowHue(dialog);
    } else if (id >= ID_SPIN_FIRST + FIELD_COUNT && id < ID_SPIN_FIRST + 2 * FIELD_COUNT) {
        const double max = id == ID_SPIN_FIRST + FIELD_COUNT ? HUE_SPIN_MAX : PERCENT_MAX;
        Box01DialogSpinEdit(dialog, code, bar, 0, max, SPIN_STEP);
        ReadEdits2(dialog, true);
        ShowValues(dialog);
    } else {
        return;
    }
    RefreshPatchAndName(dialog);
}

// Edit notifications of the two field groups.
void FieldNotice(HWND dialog, int id, int code)
{
    ColorRecord *r = Record(dialog);
    const bool model = id < ID_HUE_FIELD;
    if (code == EN_CHANGE && r->fieldsReady) {
        if (model) {
            ReadEdits(dialog, false);
            ShowHue(dialog);
        } else {
            ReadEdits2(dialog, false);
            ShowValues(dialog);
        }
        RefreshPatchAndName(dialog);
    } else if (code == EN_KILLFOCUS && r->fieldsReady) {
        const HWND next = GetFocus();
        if (model) {
            ReadEdits(dialog, true);
            ShowHue(dialog);
            if (next == GetDlgItem(dialog, ID_HUE_FIELD))
                Box01DialogFocusEdit(dialog, ID_HUE_FIELD);
        } else {
            ReadEdits2(dialog, true);
            ShowValues(dialog);
            if (next == GetDlgItem(dialog, ID_FIELD_FIRST + 2))
                Box01DialogFocusEdit(dialog, ID_FIELD_FIRST + 2);
        }
        RefreshPatchAndName(dialog);
    }
}

INT_PTR ColorCommand(HWND dialog, int id, int code)
{
    ColorRecord *r = Record(dialog);
    if (id >= ID_FIELD_FIRST && id < ID_FIELD_FIRST + 2 * FIELD_COUNT) {
        FieldNotice(dialog, id, code);
        return 1;
    }
    if (IsColorButton(id)) {
        r->colour = g_StandardColors[id - BOX04_COLOR_BUTTON_FIRST];
        RefreshAll(dialog);
        Box01DialogFocusEdit(dialog, ID_FIELD_FIRST);
        return 1;
    }
    switch (id) {
    case ID_MODEL_FIRST:
    case ID_MODEL_FIRST + 1:
        r->model = id - ID_MODEL_FIRST;
        ShowValues(dialog);
        return 1;
    case ID_SORT: {
        const int selected = SelectedEntry(dialog);
        r->sortByName = !r->sortByName;
        CheckDlgButton(dialog, ID_SORT, r->sortByName ? BST_CHECKED : BST_UNCHECKED);
        FillList(dialog, selected);
        return 1;
    }
    case ID_LIST:
        if (code == LBN_SELCHANGE) {
            const int entry = SelectedEntry(dialog);
            if (entry != NO_ENTRY) {
                r->colour = (*r->table)[entry].color;
                RefreshAll(dialog);
            }
        } else if (code == LBN_DBLCLK) {
            ReadEdits(dialog, true);
            Box01DialogEnd(dialog, DIALOG_OK);
        }
        return 1;
    case ID_NEW:
        NewColour(dialog);
        return 1;
    case ID_RENAME:
        RenameColour(dialog);
        return 1;
    case ID_DELETE:
        DeleteColour(dialog);
        return 1;
    case ID_CHANGE:
        ChangeColour(dialog);
        return 1;
    case IDOK:
        ReadEdits(dialog, true);
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    default:
        return 0;
    }
}


INT_PTR CALLBACK ColorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MEASUREITEM) {
        auto *measure = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        if (measure->CtlID == ID_LIST)
            measure->itemHeight = static_cast<UINT>(std::max(1, Box01TextHeight(dialog)));
        return 1;
    }
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<ColorRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        r->fieldsReady = 0;
        CheckRadioButton(dialog, ID_MODEL_FIRST, ID_MODEL_FIRST + 1, ID_MODEL_FIRST + r->model);
        ShowValues(dialog);
        ShowHue(dialog);
        CheckDlgButton(dialog, ID_SORT, r->sortByName ? BST_CHECKED : BST_UNCHECKED);
        FillList(dialog, r->initialEntry);
        ShowName(dialog);
        r->fieldsReady = 1;
        Box01DialogFocusEdit(dialog, ID_FIELD_FIRST);
        return 0;
    }
    ColorRecord *r = Record(dialog);
    if (!r)
        return 0;
    switch (message) {
    case WM_PAINT:
        PostMessageA(dialog, WM_APP, 0, 0);
        return 0;
    case WM_APP:
        Box01PaintColorPreview(GetDlgItem(dialog, ID_PATCH), r->colour);
        return 1;
    case WM_COMPAREITEM:
        // A dialog procedure answers WM_COMPAREITEM with its return value.
        return CompareRows(dialog, reinterpret_cast<COMPAREITEMSTRUCT *>(lParam));
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (IsColorButton(static_cast<int>(item->CtlID))) {
            Box01DialogCustomButtonColor(item, g_StandardColors[item->CtlID - BOX04_COLOR_BUTTON_FIRST], 0);
            return 1;
        }
        if (item->CtlID == ID_LIST && item->itemID != UINT(-1)) {
            const ColorDef &c = (*r->table)[item->itemData];
            Box01DialogCustomListboxColor(item, c.color, c.name);
            return 1;
        }
        return 0;
    }
    case WM_VSCROLL:
        if (LOWORD(wParam) == SB_LINEUP || LOWORD(wParam) == SB_LINEDOWN)
            Spin(dialog, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 1;
    case WM_COMMAND:
        if (ColorCommand(dialog, LOWORD(wParam), HIWORD(wParam)))
            return 1;
        break;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX04_COLOR_HELP);
}

} // namespace

int Box04ChooseStdColor(HWND owner, const char *caption, int32_t *index)
{
    int32_t chosen = *index >= 0 && *index < STANDARD_COLORS ? *index : 0;
    if (!Box01EditValue<StdColorRecord>(owner, "CHOOSESTDCOLOR", StdColorProc, caption, &chosen))
        return 0;
    *index = chosen;
    return 1;
}

int Box04ChooseColor(HWND owner, const char *caption, COLORREF *colour)
{
    std::vector<ColorDef> copy(g_ColorDefs, g_ColorDefs + COLOR_SLOTS);
    ColorRecord record = {};
    lstrcpynA(record.caption, caption ? caption : "", sizeof record.caption);
    record.fieldsReady = 1;
    record.sortByName = g_Options.colorSortByName ? 1 : 0;
    record.model = g_Options.colorDefinition ? 1 : 0;
    record.colour = *colour;
    record.table = &copy;
    record.initialEntry = NO_ENTRY;
    for (int i = 0; i < COLOR_SLOTS; ++i)
        if (IsUsed(copy[i]) && copy[i].color == *colour)
            record.initialEntry = i; // the last one
    if (!Box01DialogEdit(owner, "CHOOSECOLOR", ColorProc, record))
        return 0;
    *colour = record.colour;
    std::copy(copy.begin(), copy.end(), g_ColorDefs);
    g_Options.colorSortByName = record.sortByName;
    g_Options.colorDefinition = record.model;
    return 1;
}
