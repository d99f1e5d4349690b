// The coordinate-system definitions editor (EDITSYSTEMDEF) and its pages
// SYSTEMDISPLAY, SYSTEMORIGIN, SYSTEMUNIT, SYSTEMNUMBER and SYSTEMGRID.
#include "dialogs/box03_systems.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/convert.h"
#include "app/system_changes.h"
#include "app/system_defs.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box05_table.h"
#include "language/language.h"

namespace {

constexpr int ID_LIST = 170, ID_SUMMARY = 350, ID_COMBO1 = 180, ID_COMBO2 = 181, ID_COMBO3 = 182;
constexpr int ID_FIELD1 = 200, ID_FIELD2 = 201, ID_FIELD3 = 202, ID_LABEL1 = 650, ID_LABEL2 = 651;
constexpr int ID_PAGE_FIRST = 550, PAGES = 6;
constexpr int ID_NEW = 14, ID_RENAME = 15, ID_DELETE = 13, ID_TAKE = BOX03_TAKEN;
constexpr int ID_PRESET_FIRST = 400, ID_PRESET2_FIRST = 500, ID_GRID_FIRST = 800, GRID_KINDS = 5;
constexpr int HELP_LIST = 15023, HELP_DISPLAY = 15024, HELP_ORIGIN = 15025, HELP_UNIT = 15026, HELP_NUMBER = 15027,
              HELP_GRID1 = 15028, HELP_GRID2 = 15029;
constexpr int MSG_FULL = 0, MSG_DELETE = 1, MSG_SELECT_FIRST = 3, MSG_SCALE = 4, MSG_NOT_INTEGER = 7,
              MSG_RANGE = 8;                                          // eAlertTextOK
constexpr int CAPTION_PAGE_FIRST = 17, CAPTION_NEW = 48, CAPTION_RENAME = 49; // eCaptionTexts
constexpr double SCALE_MIN = 1e-10, SCALE_MAX = 1e10, COORD_LIMIT = 1e100, SPACING_MAX = 1e10;
constexpr int DECIMALS_MAX = 9;
constexpr int LENGTH_UNITS = 15, ANGLE_UNITS = 4;
constexpr int FIELD_TEXT_SIZE = 251;
constexpr int TEXT_SIZE = 128;
constexpr int NO_ENTRY = -1;
constexpr char TABLE_END = 4;
// Scale presets: a : b for buttons 400 to 411.
constexpr double SCALE_PRESETS[][2] = {{50, 1}, {20, 1}, {10, 1}, {5, 1}, {2, 1}, {1, 1},
                                       {1, 1},  {1, 2},  {1, 5},  {1, 10}, {1, 20}, {1, 50}};
constexpr int SCALE_PRESET_COUNT = sizeof SCALE_PRESETS / sizeof SCALE_PRESETS[0];
constexpr double GRID_PRESETS[] = {0, 0.01, 0.05, 0.1, 0.25, 0.5, 1, 2, 2.5, 5, 10};
constexpr int GRID_PRESET_COUNT = sizeof GRID_PRESETS / sizeof GRID_PRESETS[0];

double LengthFactor(const SystemDef &s)
{
    return s.lengthUnit >= 0 && s.lengthUnit < LENGTH_UNITS ? g_ConvertLengthUnits[s.lengthUnit].factor : 1.0;
}

double AngleFactor(const SystemDef &s)
{
    return s.angleUnit >= 0 && s.angleUnit < ANGLE_UNITS ? g_ConvertAngleUnits[s.angleUnit].factor : 1.0;
}

void UnitLabel(char *out, const ConvertUnit *units, int count, int index)
{
    snprintf(out, TEXT_SIZE, "[%s]", index >= 0 && index < count ? units[index].name : "");
}

const char *TableText(const char *const *table, int index)
{
    for (int i = 0; i <= index; ++i)
        if (!table[i] || table[i][0] == TABLE_END)
            return "";
    return index >= 0 ? table[index] : "";
}

void FillComboFromTable(HWND dialog, int id, const char *const *table, int select)
{
    for (int i = 0; table[i] && table[i][0] != TABLE_END; ++i)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(table[i]));
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, select, 0);
    Box01DialogComboboxAdjust(dialog, id);
}

void WriteDouble(HWND dialog, int id, double value, int decimals)
{
    char text[64];
    ConvertDoubleToString(text, value, 0, decimals);
    SetDlgItemTextA(dialog, id, text);
}

// The page record: a caption and the system edited.
struct PageRecord {
    DialogHeader header;
    char caption[256];
    SystemDef work;
};

SystemDef &Work(HWND dialog)
{
    return Box01DialogRecordOf<PageRecord>(dialog)->work;
}

void InitPage(HWND dialog, LPARAM lParam)
{
    auto *r = reinterpret_cast<PageRecord *>(Box01DialogInit(dialog, lParam));
    SetWindowTextA(dialog, r->caption);
}

int ComboSelection(HWND dialog, int id)
{
    const LRESULT at = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR)
        AlertOk(dialog, eAlertTextOK[MSG_SELECT_FIRST]);
    return at == CB_ERR ? NO_ENTRY : static_cast<int>(at);
}

// --- SYSTEMDISPLAY -----------------------------------------------------------------------

void ShowRatio(HWND dialog, double a, double b)
{
    WriteDouble(dialog, ID_FIELD2, a, 2);
    WriteDouble(dialog, ID_FIELD3, b, 2);
}

INT_PTR CALLBACK DisplayProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitPage(dialog, lParam);
        const SystemDef &s = Work(dialog);
        FillComboFromTable(dialog, ID_COMBO1, eSysOptionNames, s.axisMode);
        char text[64], label[TEXT_SIZE];
        ConvertWidthAngleToString(text, s.angle, 0, s.format2, s.decimals, AngleFactor(s));
        SetDlgItemTextA(dialog, ID_FIELD1, text);
        UnitLabel(label, g_ConvertAngleUnits, ANGLE_UNITS, s.angleUnit);
        SetDlgItemTextA(dialog, ID_LABEL1, label);
        if (s.scale < 1)
            ShowRatio(dialog, 1, 1 / s.scale);
        else
            ShowRatio(dialog, s.scale, 1);
        return 1;
    }
    if (message == WM_COMMAND && Box01DialogRecord(dialog)) {
        const int id = LOWORD(wParam);
        if (id >= ID_PRESET_FIRST && id < ID_PRESET_FIRST + SCALE_PRESET_COUNT) {
            ShowRatio(dialog, SCALE_PRESETS[id - ID_PRESET_FIRST][0], SCALE_PRESETS[id - ID_PRESET_FIRST][1]);
            return 1;
        }
        if (id == IDOK) {
            SystemDef &s = Work(dialog);
            const int mode = ComboSelection(dialog, ID_COMBO1);
            if (mode == NO_ENTRY)
                return 1;
            char text[FIELD_TEXT_SIZE];
            double angle = 0, a = 0, b = 0;
            GetDlgItemTextA(dialog, ID_FIELD1, text, FIELD_TEXT_SIZE);
            if (!AlertCheckInputAngleEx(dialog, LengthFactor(s), AngleFactor(s), text, &angle, AngleFactor(s),
                                        ID_FIELD1))
                return 1;
            GetDlgItemTextA(dialog, ID_FIELD2, text, FIELD_TEXT_SIZE);
            if (!AlertCheckInputDoubleRange(dialog, text, &a, ID_FIELD2, SCALE_MIN, SCALE_MAX, nullptr))
                return 1;
            GetDlgItemTextA(dialog, ID_FIELD3, text, FIELD_TEXT_SIZE);
            if (!AlertCheckInputDoubleRange(dialog, text, &b, ID_FIELD3, SCALE_MIN, SCALE_MAX, nullptr))
                return 1;
            const double scale = a / b;
            if (!(scale >= SCALE_MIN && scale <= SCALE_MAX)) {
                AlertOk(dialog, eAlertTextOK[MSG_SCALE]);
                return 1;
            }
            s.axisMode = mode;
            s.angle = angle;
            s.scale = scale;
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_DISPLAY);
}

// --- SYSTEMORIGIN ----------------------------------------------------------------------------

INT_PTR CALLBACK OriginProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitPage(dialog, lParam);
        const SystemDef &s = Work(dialog);
        FillComboFromTable(dialog, ID_COMBO1, eSysOrgModeNames, s.anchor);
        char text[64], label[TEXT_SIZE];
        ConvertWidthAngleToString(text, s.originX, 0, s.format1, s.decimals, LengthFactor(s));
        SetDlgItemTextA(dialog, ID_FIELD1, text);
        ConvertWidthAngleToString(text, s.originY, 0, s.format1, s.decimals, LengthFactor(s));
        SetDlgItemTextA(dialog, ID_FIELD2, text);
        UnitLabel(label, g_ConvertLengthUnits, LENGTH_UNITS, s.lengthUnit);
        SetDlgItemTextA(dialog, ID_LABEL1, label);
        SetDlgItemTextA(dialog, ID_LABEL2, label);
        return 1;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && Box01DialogRecord(dialog)) {
        SystemDef &s = Work(dialog);
        const int mode = ComboSelection(dialog, ID_COMBO1);
        if (mode == NO_ENTRY)
            return 1;
        double xy[2];
        for (int i = 0; i < 2; ++i) {
            char text[FIELD_TEXT_SIZE];
            GetDlgItemTextA(dialog, ID_FIELD1 + i, text, FIELD_TEXT_SIZE);
            if (!AlertCheckInputValueEx(dialog, LengthFactor(s), AngleFactor(s), text, &xy[i], LengthFactor(s),
                                        -COORD_LIMIT, COORD_LIMIT, nullptr, ID_FIELD1 + i))
                return 1;
        }
        s.anchor = mode;
        s.originX = xy[0];
        s.originY = xy[1];
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_ORIGIN);
}

// --- SYSTEMUNIT ---------------------------------------------------------------------------------

void AddUnits(HWND dialog, int id, const char *const *names, const ConvertUnit *units, int count)
{
    for (int i = 0; i < count; ++i) {
        const char *name = TableText(names, i);
        if (!name[0])
            continue;
        char text[TEXT_SIZE];
        snprintf(text, sizeof text, "%s [%s]", name, units[i].name);
        const LRESULT at = SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendDlgItemMessageA(dialog, id, CB_SETITEMDATA, at, i);
    }
}

void SelectUnit(HWND dialog, int id, int unit)
{
    const int n = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i)
        if (SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, i, 0) == unit)
            SendDlgItemMessageA(dialog, id, CB_SETCURSEL, i, 0);
    Box01DialogComboboxAdjust(dialog, id);
}

// The unit of the selected item, or `keep` when none is selected.
int SelectedUnit(HWND dialog, int id, int keep)
{
    const LRESULT at = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? keep : static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, at, 0));
}

INT_PTR CALLBACK UnitProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitPage(dialog, lParam);
        const SystemDef &s = Work(dialog);
        AddUnits(dialog, ID_COMBO1, eLenUnitNames, g_ConvertLengthUnits, LENGTH_UNITS);
        AddUnits(dialog, ID_COMBO2, eLineUnitNames, g_ConvertLengthUnits, LENGTH_UNITS);
        AddUnits(dialog, ID_COMBO3, eAngleUnitNames, g_ConvertAngleUnits, ANGLE_UNITS);
        SelectUnit(dialog, ID_COMBO1, s.lengthUnit);
        SelectUnit(dialog, ID_COMBO2, s.widthUnit);
        SelectUnit(dialog, ID_COMBO3, s.angleUnit);
        return 1;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && Box01DialogRecord(dialog)) {
        SystemDef &s = Work(dialog);
        s.lengthUnit = SelectedUnit(dialog, ID_COMBO1, s.lengthUnit);
        s.widthUnit = SelectedUnit(dialog, ID_COMBO2, s.widthUnit); // a unit without a name is kept
        s.angleUnit = SelectedUnit(dialog, ID_COMBO3, s.angleUnit);
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_UNIT);
}

// --- SYSTEMNUMBER -------------------------------------------------------------------------------

INT_PTR CALLBACK NumberProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitPage(dialog, lParam);
        const SystemDef &s = Work(dialog);
        FillComboFromTable(dialog, ID_COMBO1, eSysFractionNames, s.format1);
        FillComboFromTable(dialog, ID_COMBO2, eSysFractionNames, s.format2);
        SetDlgItemInt(dialog, ID_FIELD1, static_cast<UINT>(s.decimals), TRUE);
        return 1;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && Box01DialogRecord(dialog)) {
        SystemDef &s = Work(dialog);
        char text[FIELD_TEXT_SIZE];
        GetDlgItemTextA(dialog, ID_FIELD1, text, FIELD_TEXT_SIZE);
        const int decimals = ConvertStringToInt(text);
        if (decimals == CONVERT_NO_INT) {
            AlertOk(dialog, eAlertTextOK[MSG_NOT_INTEGER]);
            return 1;
        }
        if (decimals < 0 || decimals > DECIMALS_MAX) {
            AlertOk(dialog, eAlertTextOK[MSG_RANGE]);
            return 1;
        }
        const LRESULT f1 = SendDlgItemMessageA(dialog, ID_COMBO1, CB_GETCURSEL, 0, 0);
        const LRESULT f2 = SendDlgItemMessageA(dialog, ID_COMBO2, CB_GETCURSEL, 0, 0);
        if (f1 != CB_ERR)
            s.format1 = static_cast<uint16_t>(f1);
        if (f2 != CB_ERR)
            s.format2 = static_cast<uint16_t>(f2);
        s.decimals = decimals;
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_NUMBER);
}

// --- SYSTEMGRID ---------------------------------------------------------------------------------

struct GridRecord {
    DialogHeader header;
    char caption[256];
    SystemDef work;
    int grid; // 1 or 2
};

int32_t &GridKind(HWND dialog)
{
    auto *r = Box01DialogRecordOf<GridRecord>(dialog);
    return r->grid == 1 ? r->work.displayGridKind : r->work.catchGridKind;
}

double *GridSpacing(HWND dialog)
{
    auto *r = Box01DialogRecordOf<GridRecord>(dialog);
    return r->grid == 1 ? &r->work.displayGridX : &r->work.catchGridX;
}

INT_PTR CALLBACK GridProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<GridRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        const double *spacing = GridSpacing(dialog);
        WriteDouble(dialog, ID_FIELD1, spacing[0], r->work.decimals);
        WriteDouble(dialog, ID_FIELD2, spacing[1], r->work.decimals);
        char label[TEXT_SIZE];
        UnitLabel(label, g_ConvertLengthUnits, LENGTH_UNITS, r->work.lengthUnit);
        SetDlgItemTextA(dialog, ID_LABEL1, label);
        SetDlgItemTextA(dialog, ID_LABEL2, label);
        for (int i = 1; i < GRID_PRESET_COUNT; ++i)
            for (int base : {ID_PRESET_FIRST, ID_PRESET2_FIRST}) {
                char text[32];
                ConvertDoubleToString(text, GRID_PRESETS[i], 0, 2);
                SetDlgItemTextA(dialog, base + i, text);
            }
        return 1;
    }
    auto *r = Box01DialogRecordOf<GridRecord>(dialog);
    if (!r)
        return 0;
    const int help = r->grid == 1 ? HELP_GRID1 : HELP_GRID2;
    if (message == WM_DRAWITEM) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->CtlID < ID_GRID_FIRST || item->CtlID >= ID_GRID_FIRST + GRID_KINDS)
            return 0;
        Box01DrawItemNumberedIcon(item, "IDI_GRIDMOD%d", ID_GRID_FIRST, GridKind(dialog));
        return 1;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id >= ID_GRID_FIRST && id < ID_GRID_FIRST + GRID_KINDS) {
            GridKind(dialog) = id - ID_GRID_FIRST;
            Box01DialogRedrawItems(dialog, ID_GRID_FIRST, ID_GRID_FIRST + GRID_KINDS - 1);
            return 1;
        }
        for (int base : {ID_PRESET_FIRST, ID_PRESET2_FIRST})
            if (id >= base && id < base + GRID_PRESET_COUNT) {
                WriteDouble(dialog, base == ID_PRESET_FIRST ? ID_FIELD1 : ID_FIELD2, GRID_PRESETS[id - base], 2);
                return 1;
            }
        if (id == IDOK) {
            double xy[2];
            for (int i = 0; i < 2; ++i) {
                char text[FIELD_TEXT_SIZE];
                GetDlgItemTextA(dialog, ID_FIELD1 + i, text, FIELD_TEXT_SIZE);
                if (!AlertCheckInputDoubleRange(dialog, text, &xy[i], ID_FIELD1 + i, 0, SPACING_MAX, nullptr))
                    return 1;
            }
            GridSpacing(dialog)[0] = xy[0];
            GridSpacing(dialog)[1] = xy[1];
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, help);
}

int EditGrid(HWND owner, const char *caption, SystemDef *system, int grid)
{
    GridRecord record = {};
    lstrcpynA(record.caption, caption ? caption : "", sizeof record.caption);
    record.work = *system;
    record.grid = grid;
    if (!Box01DialogEdit(owner, "SYSTEMGRID", GridProc, record))
        return 0;
    *system = record.work;
    return 1;
}

// --- The list editor ----------------------------------------------------------------------------

struct ListRecord {
    DialogHeader header;
    char caption[256];
    int32_t chosen;
    std::vector<SystemDef> *copy;
};

std::vector<SystemDef> &Systems(HWND dialog)
{
    return *Box01DialogRecordOf<ListRecord>(dialog)->copy;
}

int FindSystem(const std::vector<SystemDef> &table, const char *name)
{
    for (int i = 0; i < SYSTEM_SLOTS; ++i)
        if (table[i].name[0] && strcmp(table[i].name, name) == 0)
            return i;
    return NO_ENTRY;
}

int SelectedSystem(HWND dialog)
{
    const int row = static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0));
    char text[DEF_NAME_SHORT * 2] = "";
    if (!Box01ListRowName(dialog, ID_LIST, row, text, sizeof text))
        return NO_ENTRY;
    return FindSystem(Systems(dialog), text);
}

void ShowSelected(HWND dialog)
{
    const int system = SelectedSystem(dialog);
    char summary[TABLE_SUMMARY_SIZE] = "";
    if (system != NO_ENTRY)
        Box03FormatSystemSummary(&Systems(dialog)[system], summary);
    SetDlgItemTextA(dialog, ID_SUMMARY, summary);
    const bool editable = system > 0;
    for (int id = ID_PAGE_FIRST; id < ID_PAGE_FIRST + PAGES; ++id)
        EnableWindow(GetDlgItem(dialog, id), editable);
    EnableWindow(GetDlgItem(dialog, ID_RENAME), editable);
    EnableWindow(GetDlgItem(dialog, ID_DELETE), editable);
}

void FillSystems(HWND dialog, int select)
{
    HWND list = GetDlgItem(dialog, ID_LIST);
    const std::vector<SystemDef> &table = Systems(dialog);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const SystemDef &s : table)
        if (s.name[0])
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.name));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    int row = -1;
    if (select >= 0 && select < SYSTEM_SLOTS && table[select].name[0])
        row = Box01ListFindExact(dialog, ID_LIST, table[select].name);
    SendMessageA(list, LB_SETCURSEL, row < 0 ? 0 : row, 0);
    ShowSelected(dialog);
}

typedef int (*PageOpener)(HWND, const char *, SystemDef *);
const PageOpener PAGE_OPENERS[PAGES] = {Box03EditSystemDisplay, Box03EditSystemOrigin, Box03EditSystemUnit,
                                        Box03EditSystemNumber,  Box03EditSystemGrid,   Box03EditSystemGrid2};

void ListCommand(HWND dialog, int id)
{
    std::vector<SystemDef> &table = Systems(dialog);
    const int system = Box01NeedEntry(dialog, SelectedSystem(dialog));
    if (system == NO_ENTRY)
        return;
    auto find = [&table](const char *n) { return FindSystem(table, n); };
    char name[DEF_NAME_SHORT];
    if (id >= ID_PAGE_FIRST && id < ID_PAGE_FIRST + PAGES) {
        if (system > 0 && PAGE_OPENERS[id - ID_PAGE_FIRST](dialog, eCaptionTexts[CAPTION_PAGE_FIRST + id - ID_PAGE_FIRST],
                                                           &table[system]))
            ShowSelected(dialog);
    } else if (id == ID_NEW) {
        strcpy(name, system == 0 ? "" : table[system].name);
        if (!Box01AskFreeName(dialog, eCaptionTexts[CAPTION_NEW], name, DEF_NAME_SHORT, find, NO_ENTRY))
            return;
        for (int i = 1; i < SYSTEM_SLOTS; ++i)
            if (!table[i].name[0]) {
                table[i] = table[system];
                strcpy(table[i].name, name);
                FillSystems(dialog, i);
                return;
            }
        AlertOk(dialog, eAlertTextOK[MSG_FULL]);
    } else if (id == ID_RENAME && system > 0) {
        strcpy(name, table[system].name);
        if (!Box01AskFreeName(dialog, eCaptionTexts[CAPTION_RENAME], name, DEF_NAME_SHORT, find, system))
            return;
        strcpy(table[system].name, name);
        FillSystems(dialog, system);
    } else if (id == ID_DELETE && system > 0) {
        if (Box01AskName(dialog, MSG_DELETE, table[system].name) != ALERT_YES)
            return;
        table[system].name[0] = 0;
        Box01ListDeleteSelection(dialog, ID_LIST);
        ShowSelected(dialog);
    } else if (id == ID_TAKE) {
        Box01DialogRecordOf<ListRecord>(dialog)->chosen = system;
        Box01DialogEnd(dialog, BOX03_TAKEN);
    }
}

INT_PTR CALLBACK ListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<ListRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        FillSystems(dialog, r->chosen);
        SetFocus(GetDlgItem(dialog, ID_LIST));
        return 0;
    }
    if (message == WM_COMMAND && Box01DialogRecord(dialog)) {
        const int id = LOWORD(wParam);
        if (id == ID_LIST) {
            if (HIWORD(wParam) == LBN_SELCHANGE)
                ShowSelected(dialog);
            else if (HIWORD(wParam) == LBN_DBLCLK)
                ListCommand(dialog, ID_TAKE);
            return 1;
        }
        if ((id >= ID_PAGE_FIRST && id < ID_PAGE_FIRST + PAGES) || id == ID_NEW || id == ID_RENAME ||
            id == ID_DELETE || id == ID_TAKE) {
            ListCommand(dialog, id);
            return 1;
        }
        if (id == IDOK) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_LIST);
}

void AppendValue(char *out, double value, double factor)
{
    char text[64];
    ConvertWidthAngleToString(text, value, 0, 0, 2, factor);
    Box05TableAppend(out, text);
}

void AppendGrid(char *out, const SystemDef &s, int kind, double x, double y)
{
    char text[TEXT_SIZE], label[TEXT_SIZE];
    Box05TableAppend(out, " / ");
    Box05TableAppend(out, TableText(eSysGridNames, kind));
    Box05TableAppend(out, "; ");
    ConvertDoubleToString(text, x, 0, s.decimals);
    Box05TableAppend(out, text);
    Box05TableAppend(out, " ");
    ConvertDoubleToString(text, y, 0, s.decimals);
    Box05TableAppend(out, text);
    UnitLabel(label, g_ConvertLengthUnits, LENGTH_UNITS, s.lengthUnit);
    Box05TableAppend(out, " ");
    Box05TableAppend(out, label);
}

} // namespace

void Box03FormatSystemSummary(const SystemDef *system, char *out)
{
    const SystemDef &s = *system;
    char text[TEXT_SIZE], label[TEXT_SIZE];
    out[0] = 0;
    Box05TableAppend(out, TableText(eSysOptionNames, s.axisMode));
    Box05TableAppend(out, "; ");
    ConvertWidthAngleToString(text, s.angle, 0, s.format2, s.decimals, AngleFactor(s));
    Box05TableAppend(out, text);
    UnitLabel(label, g_ConvertAngleUnits, ANGLE_UNITS, s.angleUnit);
    Box05TableAppend(out, " ");
    Box05TableAppend(out, label);
    Box05TableAppend(out, "; ");
    const double a = s.scale < 1 ? 1 : s.scale, b = s.scale < 1 ? 1 / s.scale : 1;
    ConvertDoubleToString(text, a, 0, 2);
    Box05TableAppend(out, text);
    Box05TableAppend(out, ":");
    ConvertDoubleToString(text, b, 0, 2);
    Box05TableAppend(out, text);
    Box05TableAppend(out, " / ");
    Box05TableAppend(out, TableText(eSysOrgModeNames, s.anchor));
    UnitLabel(label, g_ConvertLengthUnits, LENGTH_UNITS, s.lengthUnit);
    if (s.anchor == 0) {
        Box05TableAppend(out, "; (");
        AppendValue(out, s.originX, LengthFactor(s));
        Box05TableAppend(out, " ");
        AppendValue(out, s.originY, LengthFactor(s));
        Box05TableAppend(out, ") ");
        Box05TableAppend(out, label);
    }
    Box05TableAppend(out, " / ");
    Box05TableAppend(out, label);
    Box05TableAppend(out, "; ");
    UnitLabel(text, g_ConvertLengthUnits, LENGTH_UNITS, s.widthUnit);
    Box05TableAppend(out, text);
    Box05TableAppend(out, "; ");
    UnitLabel(text, g_ConvertAngleUnits, ANGLE_UNITS, s.angleUnit);
    Box05TableAppend(out, text);
    Box05TableAppend(out, " / ");
    Box05TableAppend(out, TableText(eSysFractionNames, s.format1));
    Box05TableAppend(out, "; ");
    Box05TableAppend(out, TableText(eSysFractionNames, s.format2));
    snprintf(text, sizeof text, "; %d", s.decimals);
    Box05TableAppend(out, text);
    AppendGrid(out, s, s.displayGridKind, s.displayGridX, s.displayGridY);
    AppendGrid(out, s, s.catchGridKind, s.catchGridX, s.catchGridY);
}

int Box03EditSystemDisplay(HWND owner, const char *caption, SystemDef *system)
{
    return Box01EditValue<PageRecord>(owner, "SYSTEMDISPLAY", DisplayProc, caption, system);
}

int Box03EditSystemOrigin(HWND owner, const char *caption, SystemDef *system)
{
    return Box01EditValue<PageRecord>(owner, "SYSTEMORIGIN", OriginProc, caption, system);
}

int Box03EditSystemUnit(HWND owner, const char *caption, SystemDef *system)
{
    return Box01EditValue<PageRecord>(owner, "SYSTEMUNIT", UnitProc, caption, system);
}

int Box03EditSystemNumber(HWND owner, const char *caption, SystemDef *system)
{
    return Box01EditValue<PageRecord>(owner, "SYSTEMNUMBER", NumberProc, caption, system);
}

int Box03EditSystemGrid(HWND owner, const char *caption, SystemDef *system)
{
    return EditGrid(owner, caption, system, 1);
}

int Box03EditSystemGrid2(HWND owner, const char *caption, SystemDef *system)
{
    return EditGrid(owner, caption, system, 2);
}

int Box03EditSystemDefs(HWND owner, const char *caption, SystemDef *table, int32_t *index)
{
    std::vector<SystemDef> copy(table, table + SYSTEM_SLOTS);
    ListRecord record = {};
    lstrcpynA(record.caption, caption ? caption : "", sizeof record.caption);
    record.chosen = *index;
    record.copy = &copy;
    const uint32_t result = Box01DialogEdit(owner, "EDITSYSTEMDEF", ListProc, record);
    if (result != DIALOG_OK && result != BOX03_TAKEN)
        return 0;
    for (int i = 0; i < SYSTEM_SLOTS; ++i) {
        const bool changed = memcmp(&table[i], &copy[i], sizeof(SystemDef)) != 0;
        g_DefChangeFlags.system[i] = changed ? 1 : 0;
        if (changed) {
            table[i] = copy[i];
            g_DefChangeFlags.systems = 1;
        }
    }
    *index = result == BOX03_TAKEN ? record.chosen : -1;
    return 1;
}
