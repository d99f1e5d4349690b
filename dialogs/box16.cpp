// The options and settings property sheets.
#include "dialogs/box16.h"

#include <commctrl.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/convert.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/object_attributes.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box04_color.h"
#include "dialogs/box05_table.h"
#include "dialogs/box14.h"
#include "dialogs/box15.h"
#include "files/file.h"
#include "language/language.h"

namespace {

// ---------------------------------------------------------------------------
// Control tables: check boxes, bits and radio groups mapped onto a record
// ---------------------------------------------------------------------------

enum FieldKind : uint8_t {
    FIELD_CHECK,        // a uint32_t switch
    FIELD_BIT,          // one bit (arg) of a uint32_t
    FIELD_RADIO,        // radios id .. id + arg - 1 set the int32_t to their position
    FIELD_RADIO_FLIPPED // two radios: the first sets 1, the second 0
};

struct Field {
    int id;
    FieldKind kind;
    size_t offset;
    uint32_t arg;
};

struct IntField {
    int id;
    size_t offset;
    int32_t min, max;
    int notNumber, outOfRange; // eAlertTextOK entries
};

template <typename T>
T &At(void *base, size_t offset)
{
    return *reinterpret_cast<T *>(static_cast<char *>(base) + offset);
}

int RadioCount(const Field &f)
{
    return f.kind == FIELD_RADIO_FLIPPED ? 2 : static_cast<int>(f.arg);
}

void FillFields(HWND page, const Field *fields, int count, void *base)
{
    for (int i = 0; i < count; ++i) {
        const Field &f = fields[i];
        switch (f.kind) {
        case FIELD_CHECK:
            CheckDlgButton(page, f.id, At<uint32_t>(base, f.offset) ? BST_CHECKED : BST_UNCHECKED);
            break;
        case FIELD_BIT:
            CheckDlgButton(page, f.id, (At<uint32_t>(base, f.offset) & f.arg) ? BST_CHECKED : BST_UNCHECKED);
            break;
        case FIELD_RADIO:
        case FIELD_RADIO_FLIPPED: {
            int32_t value = At<int32_t>(base, f.offset);
            if (f.kind == FIELD_RADIO_FLIPPED)
                value = value ? 0 : 1;
            const int last = f.id + RadioCount(f) - 1;
            CheckRadioButton(page, f.id, last, value >= 0 && f.id + value <= last ? f.id + value : 0);
            break;
        }
        }
    }
}

// Takes a click on a control of the table at once; 1 when it was one.
int ClickField(HWND page, int id, const Field *fields, int count, void *base)
{
    for (int i = 0; i < count; ++i) {
        const Field &f = fields[i];
        const bool checked = IsDlgButtonChecked(page, id) == BST_CHECKED;
        switch (f.kind) {
        case FIELD_CHECK:
            if (id != f.id)
                continue;
            At<uint32_t>(base, f.offset) = checked ? 1 : 0;
            return 1;
        case FIELD_BIT:
            if (id != f.id)
                continue;
            if (checked)
                At<uint32_t>(base, f.offset) |= f.arg;
            else
                At<uint32_t>(base, f.offset) &= ~f.arg;
            return 1;
        case FIELD_RADIO:
        case FIELD_RADIO_FLIPPED:
            if (id < f.id || id >= f.id + RadioCount(f))
                continue;
            At<int32_t>(base, f.offset) = f.kind == FIELD_RADIO_FLIPPED ? (id == f.id ? 1 : 0) : id - f.id;
            return 1;
        }
    }
    return 0;
}

constexpr int FIELD_TEXT_SIZE = 256;

void SetInt(HWND page, int id, int32_t value)
{
    SetDlgItemInt(page, id, static_cast<UINT>(value), TRUE);
}

void SetDouble(HWND page, int id, double value, int digits)
{
    char text[FIELD_TEXT_SIZE];
    ConvertDoubleToString(text, value, 0, digits);
    SetDlgItemTextA(page, id, text);
}

int Refuse(HWND page, int id, int message)
{
    // A plain acknowledgement: the page stays open with the field to mend,
    // so nothing is cancelled.
    AlertButton1(page, eAlertTextOK[message]);
    Box01DialogFocusEdit(page, id);
    return 0;
}

// A plain number term of a field; 0 when the text is no term.
int ReadNumber(HWND page, int id, double *out)
{
    char text[FIELD_TEXT_SIZE] = "";
    GetDlgItemTextA(page, id, text, FIELD_TEXT_SIZE);
    return AlertCheckInputDouble(nullptr, text, out, -1);
}

// An integer term within min .. max; the value is stored even when out of
// range, so that the copy holds what was typed.
int ReadInt(HWND page, const IntField &f, void *base)
{
    double value = 0;
    if (!ReadNumber(page, f.id, &value) || value != std::floor(value) || std::fabs(value) > 2e9)
        return Refuse(page, f.id, f.notNumber);
    At<int32_t>(base, f.offset) = static_cast<int32_t>(value);
    if (value < f.min || value > f.max)
        return Refuse(page, f.id, f.outOfRange);
    return 1;
}

int ReadInts(HWND page, const IntField *fields, int count, void *base)
{
    for (int i = 0; i < count; ++i)
        if (!ReadInt(page, fields[i], base))
            return 0;
    return 1;
}

void FillInts(HWND page, const IntField *fields, int count, void *base)
{
    for (int i = 0; i < count; ++i)
        SetInt(page, fields[i].id, At<int32_t>(base, fields[i].offset));
}

// The lines of a language table up to its end entry into a list or combo box.
void FillFromTable(HWND page, int id, const char *const *table, bool combo)
{
    SendDlgItemMessageA(page, id, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    for (int i = 0; table[i] && table[i][0] != 4; ++i)
        SendDlgItemMessageA(page, id, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(table[i]));
}

// What one page needs: its help context, the record its switches edit,
// how it fills and checks, and what it does with other commands and
// owner-drawn controls (each may be null).
struct PageKind {
    int help;
    const Field *fields;
    int fieldCount;
    void *(*record)(HWND page);
    void (*fill)(HWND page);
    int (*check)(HWND page);
    int (*command)(HWND page, WPARAM wParam); // 1 when it took the command
    int (*drawItem)(HWND page, const DRAWITEMSTRUCT *item);
};

INT_PTR PageProcedure(const PageKind &kind, HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        Box14PageInit(page, lParam);
        return 1;
    case WM_DRAWITEM:
        return kind.drawItem ? kind.drawItem(page, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam)) : 0;
    case WM_COMMAND:
        if (kind.command && kind.command(page, wParam))
            return 0;
        if (HIWORD(wParam) == BN_CLICKED && kind.fields)
            ClickField(page, LOWORD(wParam), kind.fields, kind.fieldCount, kind.record(page));
        return 0;
    case WM_NOTIFY:
        return Box14PageNotify(page, lParam, kind.help, kind.fill, kind.check);
    case WM_HELP:
        Box01DialogHelp(page, kind.help);
        return 1;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------
// Options sheet
// ---------------------------------------------------------------------------

constexpr int CAPTION_OPTIONS = 93;  // eCaptionTexts
constexpr int CAPTION_SETTINGS = 8;
constexpr int CAPTION_STD_COLOR = 12;
constexpr int MSG_SELECT = 3, MSG_NOT_WHOLE = 7, MSG_UNDO_RANGE = 32, MSG_MONITOR = 47, MSG_FONT_SIZE = 55,
              MSG_THRESHOLD = 90, MSG_BITMAPS = 128, MSG_RESTART = 140, MSG_ACCURACY = 31;

struct OptionsBlock {
    uint32_t result;
    uint32_t unitInch;          // the general page's monitor unit
    int32_t folderButton;       // the paths page's button that opened the menu
    uint32_t objectSizeChanged; // the general page's object size was chosen
    ProgramOptions *copy;
    const ProgramOptions *caller;
};

OptionsBlock *Options(HWND page)
{
    return reinterpret_cast<OptionsBlock *>(Box14PageBlock(page));
}

void *OptionsCopy(HWND page)
{
    return Options(page)->copy;
}

#define OPT(member) offsetof(ProgramOptions, member)

// Tool windows page.
constexpr int HELP_OPT_WINDOWS = 15086, HELP_OPT_GENERAL = 15037, HELP_OPT_PATHS = 15038,
              HELP_OPT_FILES = 15012, HELP_OPT_TIME = 15088, HELP_OPT_MOUSE = 15045, HELP_OPT_SYMBOLS = 15076,
              HELP_OPT_KEYS = 15044;
constexpr int WINDOW_ARRANGEMENTS = 8;

const Field WINDOWS_FIELDS[] = {
    {300, FIELD_RADIO, OPT(panelButton), 2},
    {302, FIELD_RADIO, OPT(propertyButton), 2},
    {250, FIELD_CHECK, OPT(rulerVisible), 0},
    {251, FIELD_CHECK, OPT(buttonVisible), 0},
    {252, FIELD_CHECK, OPT(pageVisible), 0},
    {253, FIELD_CHECK, OPT(originVisible), 0},
    {254, FIELD_CHECK, OPT(scrollVisible), 0},
    {400, FIELD_CHECK, OPT(statusVisible), 0},
    {401, FIELD_CHECK, OPT(statusPlacement.keep), 0},
    {402, FIELD_CHECK, OPT(statusMoveable), 0},
    {403, FIELD_CHECK, OPT(toolboxVisible), 0},
    {404, FIELD_CHECK, OPT(toolboxPlacement.keep), 0},
    {405, FIELD_CHECK, OPT(toolboxMoveable), 0},
    {406, FIELD_CHECK, OPT(symbolVisible), 0},
    {407, FIELD_CHECK, OPT(symbolPlacement.keep), 0},
    {408, FIELD_CHECK, OPT(viewVisible), 0},
    {409, FIELD_CHECK, OPT(viewPlacement.keep), 0},
    {410, FIELD_CHECK, OPT(viewUpdate), 0},
    {411, FIELD_CHECK, OPT(viewSimple), 0},
    {412, FIELD_CHECK, OPT(panelVisible), 0},
    {413, FIELD_CHECK, OPT(panelPlacement.keep), 0},
    {414, FIELD_CHECK, OPT(panelMoveable), 0},
    {415, FIELD_CHECK, OPT(penVisible), 0},
    {416, FIELD_CHECK, OPT(penPlacement.keep), 0},
    {417, FIELD_CHECK, OPT(layerVisible), 0},
    {418, FIELD_CHECK, OPT(layerPlacement.keep), 0},
    {419, FIELD_CHECK, OPT(guideVisible), 0},
    {420, FIELD_CHECK, OPT(guidePlacement.keep), 0},
    {421, FIELD_CHECK, OPT(propertyVisible), 0},
    {422, FIELD_CHECK, OPT(propertyPlacement.keep), 0},
    {423, FIELD_CHECK, OPT(propertyMoveable), 0},
    {424, FIELD_CHECK, OPT(tooltipVisible), 0},
};
constexpr int FONT_SIZE_MIN = 10, FONT_SIZE_MAX = 13;
const IntField WINDOWS_INTS[] = {
    {200, OPT(panelFontSize), FONT_SIZE_MIN, FONT_SIZE_MAX, MSG_NOT_WHOLE, MSG_FONT_SIZE},
    {201, OPT(statusFontSize), FONT_SIZE_MIN, FONT_SIZE_MAX, MSG_NOT_WHOLE, MSG_FONT_SIZE},
};

template <size_t N>
constexpr int Count(const Field (&)[N])
{
    return static_cast<int>(N);
}
template <size_t N>
constexpr int Count(const IntField (&)[N])
{
    return static_cast<int>(N);
}

// A page made only of switches, radios and integer fields.
struct TablePage {
    const Field *fields;
    int fieldCount;
    const IntField *ints;
    int intCount;
};

void FillTablePage(HWND page, const TablePage &t, void *base)
{
    FillFields(page, t.fields, t.fieldCount, base);
    FillInts(page, t.ints, t.intCount, base);
}

constexpr int ID_ARRANGEMENT = 800;

// The arrangement buttons show which one is current: all are redrawn.
void RepaintArrangements(HWND page)
{
    for (int i = 0; i < WINDOW_ARRANGEMENTS; ++i)
        if (HWND button = GetDlgItem(page, ID_ARRANGEMENT + i))
            InvalidateRect(button, nullptr, FALSE);
}

void WindowsFill(HWND page)
{
    FillTablePage(page, {WINDOWS_FIELDS, Count(WINDOWS_FIELDS), WINDOWS_INTS, Count(WINDOWS_INTS)},
                  Options(page)->copy);
    RepaintArrangements(page);
}

int WindowsCommand(HWND page, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED || id < ID_ARRANGEMENT || id >= ID_ARRANGEMENT + WINDOW_ARRANGEMENTS)
        return 0;
    Options(page)->copy->windowArrangement = id - ID_ARRANGEMENT;
    RepaintArrangements(page);
    return 1;
}

int WindowsDrawItem(HWND page, const DRAWITEMSTRUCT *item)
{
    const int id = int(item->CtlID);
    if (id < ID_ARRANGEMENT || id >= ID_ARRANGEMENT + WINDOW_ARRANGEMENTS)
        return 0;
    Box01DrawItemNumberedIcon(item, "IDI_WINMODE%d", ID_ARRANGEMENT, Options(page)->copy->windowArrangement);
    return 1;
}

int WindowsCheck(HWND page)
{
    return ReadInts(page, WINDOWS_INTS, Count(WINDOWS_INTS), Options(page)->copy);
}

INT_PTR CALLBACK WindowsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_OPT_WINDOWS, WINDOWS_FIELDS, Count(WINDOWS_FIELDS), OptionsCopy,
                                  WindowsFill, WindowsCheck, WindowsCommand, WindowsDrawItem};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// General page.
constexpr int UNDO_MIN = 1, UNDO_MAX = 100, BITMAPS_MIN = 50, BITMAPS_MAX = 1000;
const IntField GENERAL_UNDO = {200, OPT(undoSteps), UNDO_MIN, UNDO_MAX, MSG_NOT_WHOLE, MSG_UNDO_RANGE};
const IntField GENERAL_BITMAPS = {205, OPT(bitmapCount), BITMAPS_MIN, BITMAPS_MAX, MSG_NOT_WHOLE, MSG_BITMAPS};
const Field GENERAL_FIELDS[] = {
    {250, FIELD_CHECK, OPT(startUpDisplay), 0},
    {251, FIELD_CHECK, OPT(outputRotatedBitmap), 0},
    {252, FIELD_CHECK, OPT(displayRotatedBitmap), 0},
    {253, FIELD_CHECK, OPT(usePolyDraw), 0},
};
constexpr int OBJECT_SIZES = 4;
constexpr uint32_t OBJECT_SIZE_BYTES[OBJECT_SIZES] = {0x20000, 0x40000, 0x80000, 0x100000};
constexpr int OBJECT_SIZE_NAMES = 95; // eUniTexts
constexpr double MM_PER_INCH = 25.4;
constexpr double MONITOR_MIN_MM = 100, MONITOR_MAX_MM = 1000;
constexpr int MONITOR_PRESETS = 7;
constexpr int MONITOR_PRESET_MM[MONITOR_PRESETS][2] = {{256, 192}, {276, 207}, {292, 219}, {312, 234},
                                                        {352, 264}, {368, 276}, {384, 288}};
constexpr double MONITOR_PRESET_INCH[MONITOR_PRESETS][2] = {{10.08, 7.56}, {10.87, 8.15}, {11.5, 8.62},
                                                             {12.28, 9.21}, {13.86, 10.39}, {14.49, 10.87},
                                                             {15.12, 11.34}};
constexpr int ID_OBJECT_SIZE = 181, ID_MONITOR_PRESETS = 180, ID_MONITOR_W = 203, ID_MONITOR_H = 204,
              ID_UNIT_MM = 300, ID_UNIT_INCH = 301, ID_ROTATED_OUTPUT = 251, ID_ROTATED_DISPLAY = 252,
              ID_ROTATED_LABEL = 350;

void GeneralShowMonitor(HWND page)
{
    const OptionsBlock *b = Options(page);
    CheckRadioButton(page, ID_UNIT_MM, ID_UNIT_INCH, b->unitInch ? ID_UNIT_INCH : ID_UNIT_MM);
    if (b->unitInch) {
        SetDouble(page, ID_MONITOR_W, g_MonitorWidth / MM_PER_INCH, 2);
        SetDouble(page, ID_MONITOR_H, g_MonitorHeight / MM_PER_INCH, 2);
    } else {
        SetInt(page, ID_MONITOR_W, g_MonitorWidth);
        SetInt(page, ID_MONITOR_H, g_MonitorHeight);
    }
}

void GeneralEnableRotated(HWND page)
{
    const BOOL on = Options(page)->copy->outputRotatedBitmap ? TRUE : FALSE;
    EnableWindow(GetDlgItem(page, ID_ROTATED_DISPLAY), on);
    EnableWindow(GetDlgItem(page, ID_ROTATED_LABEL), on);
}

void GeneralFill(HWND page)
{
    ProgramOptions *o = Options(page)->copy;
    SetInt(page, GENERAL_UNDO.id, o->undoSteps);
    SetInt(page, GENERAL_BITMAPS.id, o->bitmapCount);
    FillFields(page, GENERAL_FIELDS, Count(GENERAL_FIELDS), o);
    SendDlgItemMessageA(page, ID_OBJECT_SIZE, CB_RESETCONTENT, 0, 0);
    int shown = OBJECT_SIZES - 1;
    for (int i = 0; i < OBJECT_SIZES; ++i) {
        SendDlgItemMessageA(page, ID_OBJECT_SIZE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(eUniTexts[OBJECT_SIZE_NAMES + i]));
        if (shown == OBJECT_SIZES - 1 && i < shown && o->objectSize <= OBJECT_SIZE_BYTES[i])
            shown = i;
    }
    SendDlgItemMessageA(page, ID_OBJECT_SIZE, CB_SETCURSEL, shown, 0);
    FillFromTable(page, ID_MONITOR_PRESETS, eMonitorSizes, true);
    GeneralShowMonitor(page);
    GeneralEnableRotated(page);
}

// Reads one monitor field into millimetres (rounded).
int GeneralReadMonitor(HWND page, int id, int32_t *out)
{
    double value = 0;
    if (!ReadNumber(page, id, &value))
        return Refuse(page, id, MSG_MONITOR);
    if (Options(page)->unitInch)
        value *= MM_PER_INCH;
    if (value < MONITOR_MIN_MM || value > MONITOR_MAX_MM)
        return Refuse(page, id, MSG_MONITOR);
    *out = static_cast<int32_t>(std::lround(value));
    return 1;
}

int GeneralCheck(HWND page)
{
    OptionsBlock *b = Options(page);
    int32_t width = 0, height = 0;
    if (!ReadInt(page, GENERAL_UNDO, b->copy) || !GeneralReadMonitor(page, ID_MONITOR_W, &width) ||
        !GeneralReadMonitor(page, ID_MONITOR_H, &height) || !ReadInt(page, GENERAL_BITMAPS, b->copy))
        return 0;
    // The monitor size takes effect at once, whatever ends the sheet.
    g_MonitorWidth = width;
    g_MonitorHeight = height;
    if (b->objectSizeChanged) {
        b->objectSizeChanged = 0;
        AlertButton1(page, eAlertTextOK[MSG_RESTART]);
    }
    return 1;
}

void GeneralPreset(HWND page, int item)
{
    OptionsBlock *b = Options(page);
    if (item <= 0 || item > MONITOR_PRESETS) {
        b->unitInch = 0;
        GeneralShowMonitor(page);
        return;
    }
    if (b->unitInch) {
        SetDouble(page, ID_MONITOR_W, MONITOR_PRESET_INCH[item - 1][0], 2);
        SetDouble(page, ID_MONITOR_H, MONITOR_PRESET_INCH[item - 1][1], 2);
    } else {
        SetInt(page, ID_MONITOR_W, MONITOR_PRESET_MM[item - 1][0]);
        SetInt(page, ID_MONITOR_H, MONITOR_PRESET_MM[item - 1][1]);
    }
}

int GeneralCommand(HWND page, WPARAM wParam)
{
    OptionsBlock *b = Options(page);
    const int id = LOWORD(wParam);
    if (id == ID_OBJECT_SIZE && HIWORD(wParam) == CBN_SELCHANGE) {
        const LRESULT item = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
        if (item >= 0 && item < OBJECT_SIZES) {
            b->copy->objectSize = OBJECT_SIZE_BYTES[item];
            b->objectSizeChanged = 1;
        }
        return 1;
    }
    if (id == ID_MONITOR_PRESETS && HIWORD(wParam) == CBN_SELCHANGE) {
        GeneralPreset(page, static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0)));
        return 1;
    }
    if (HIWORD(wParam) != BN_CLICKED)
        return 0;
    if (id == ID_UNIT_MM || id == ID_UNIT_INCH) {
        const uint32_t inch = id == ID_UNIT_INCH;
        if (inch != b->unitInch) {
            b->unitInch = inch;
            SetDlgItemTextA(page, ID_MONITOR_W, "0");
            SetDlgItemTextA(page, ID_MONITOR_H, "0");
        }
        return 1;
    }
    if (id == ID_ROTATED_OUTPUT) {
        ClickField(page, id, GENERAL_FIELDS, Count(GENERAL_FIELDS), b->copy);
        GeneralEnableRotated(page);
        return 1;
    }
    return 0;
}

INT_PTR CALLBACK GeneralProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_OPT_GENERAL, GENERAL_FIELDS, Count(GENERAL_FIELDS), OptionsCopy,
                                  GeneralFill, GeneralCheck, GeneralCommand, nullptr};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// Paths page: the first folder of each file chooser purpose.
constexpr int PATH_BUTTONS = 7, ID_PATH_FIRST = 750;
constexpr int PATH_PURPOSE[PATH_BUTTONS] = {FD_INF, FD_ZVD, FD_ZVL, FD_EMF, FD_WMF, FD_BMP, FD_FLT};
const char *const PATH_PATTERN[PATH_BUTTONS] = {"*.*", "*.zvd", "*.zvl", "*.emf", "*.wmf", "*.bmp", "*.*"};
const char *const PATH_EXTENSION[PATH_BUTTONS] = {"zvd", "zvd", "zvl", "emf", "wmf", "bmp", "*"};
constexpr int PATH_UNTITLED = 4; // eDefaultPaths
constexpr int PATH_MENU_CLEAR = BOX01_MENU_RECENT + FILE_DIALOG_FOLDERS;
// The folder chooser of each button: the kinds it lists, the kind it
// falls back to and its caption (eCaptionTexts).
constexpr uint32_t PATH_KINDS[PATH_BUTTONS] = {0x1, 0x8B, 0x111, 0x201, 0x401, 0x801, 0x1};
constexpr int32_t PATH_FALLBACK[PATH_BUTTONS] = {0, 1, 4, 9, 10, 11, 0};
constexpr int PATH_CAPTION[PATH_BUTTONS] = {23, 25, 26, 24, 37, 38, 69};

void PathsFill(HWND page)
{
    for (int i = 0; i < PATH_BUTTONS; ++i)
        Box01DialogRedrawItem(page, ID_PATH_FIRST + i);
    SetFocus(GetDlgItem(page, ID_PATH_FIRST));
}

int PathsCheck(HWND page)
{
    OptionsBlock *b = Options(page);
    if (memcmp(b->copy, b->caller, sizeof(ProgramOptions)) == 0)
        return 1;
    for (int i = 0; i < PATH_BUTTONS; ++i) {
        FileDialogState &s = b->copy->fileDialogs[PATH_PURPOSE[i]];
        snprintf(s.current, sizeof s.current, "%s%s%s", s.folders[0], eDefaultPaths[PATH_UNTITLED],
                 PATH_EXTENSION[i]);
    }
    return 1;
}

// Folder n of the button's record, chosen in the file chooser's folder mode
// starting from that folder (or folder 0 while it is empty).
void PathsChooseFolder(HWND page, int index, int n)
{
    FileDialogState &s = Options(page)->copy->fileDialogs[PATH_PURPOSE[index]];
    FileDialogState working = s;
    snprintf(working.current, sizeof working.current, "%s", s.folders[n][0] ? s.folders[n] : s.folders[0]);
    ConvertAppendBackslash(working.current);
    working.option = 0;
    const FileTypeSelection selection{PATH_KINDS[index], 0, 0, PATH_FALLBACK[index], -1, CHOOSER_FOLDER};
    if (!Box15FileGetName(page, eCaptionTexts[PATH_CAPTION[index]], &working, selection))
        return;
    snprintf(s.folders[n], sizeof s.folders[n], "%s", working.current);
    if (n == 0)
        Box01DialogRedrawItem(page, ID_PATH_FIRST + index);
}

void PathsMenu(HWND page, int index)
{
    OptionsBlock *b = Options(page);
    b->folderButton = ID_PATH_FIRST + index;
    FileDialogState &s = b->copy->fileDialogs[PATH_PURPOSE[index]];
    HMENU menu = Box01MenuRecentPaths(page, s.folders, 1);
    if (!menu)
        return;
    RECT r;
    GetWindowRect(GetDlgItem(page, b->folderButton), &r);
    const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_VCENTERALIGN, r.right,
                                       (r.top + r.bottom) / 2, 0, page, nullptr);
    DestroyMenu(menu);
    if (command >= BOX01_MENU_RECENT && command < PATH_MENU_CLEAR)
        PathsChooseFolder(page, index, command - BOX01_MENU_RECENT);
    else if (command > PATH_MENU_CLEAR && command < PATH_MENU_CLEAR + FILE_DIALOG_FOLDERS)
        s.folders[command - PATH_MENU_CLEAR][0] = 0; // folder 0 stays
}

int PathsDrawItem(HWND page, const DRAWITEMSTRUCT *item)
{
    const int index = static_cast<int>(item->CtlID) - ID_PATH_FIRST;
    if (index < 0 || index >= PATH_BUTTONS)
        return 0;
    char text[SYSTEM_PATH_SIZE + 8];
    snprintf(text, sizeof text, "%s%s", Options(page)->copy->fileDialogs[PATH_PURPOSE[index]].folders[0],
             PATH_PATTERN[index]);
    Box01DialogCustomButtonText(item, text, GetFocus() == item->hwndItem);
    return 1;
}

int PathsCommand(HWND page, WPARAM wParam)
{
    const int index = LOWORD(wParam) - ID_PATH_FIRST;
    if (HIWORD(wParam) != BN_CLICKED || index < 0 || index >= PATH_BUTTONS)
        return 0;
    PathsMenu(page, index);
    return 1;
}

INT_PTR CALLBACK PathsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_OPT_PATHS, nullptr, 0, OptionsCopy, PathsFill, PathsCheck, PathsCommand,
                                  PathsDrawItem};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// File options page.
constexpr uint32_t FILE_MODE_PASSWORD = 0x2000000;
constexpr int ID_PASSWORD = 200, ID_AUTHOR = 201, ID_USE_PASSWORD = 250, ID_DEFAULT_MODES = 550;
constexpr int FILE_TEXT_MAX = 63;
const Field FILE_FIELDS[] = {{ID_USE_PASSWORD, FIELD_BIT, OPT(fileModeLoad), FILE_MODE_PASSWORD}};

void FilesFill(HWND page)
{
    ProgramOptions *o = Options(page)->copy;
    FillFromTable(page, 170, eFileOptions, false);
    FillFields(page, FILE_FIELDS, Count(FILE_FIELDS), o);
    SendDlgItemMessageA(page, ID_PASSWORD, EM_LIMITTEXT, FILE_TEXT_MAX, 0);
    SendDlgItemMessageA(page, ID_AUTHOR, EM_LIMITTEXT, FILE_TEXT_MAX, 0);
    SetDlgItemTextA(page, ID_PASSWORD, o->filePassword);
    SetDlgItemTextA(page, ID_AUTHOR, o->authorName);
}

int FilesCheck(HWND page)
{
    ProgramOptions *o = Options(page)->copy;
    GetDlgItemTextA(page, ID_PASSWORD, o->filePassword, FILE_TEXT_MAX + 1);
    GetDlgItemTextA(page, ID_AUTHOR, o->authorName, FILE_TEXT_MAX + 1);
    return 1;
}

int FilesCommand(HWND page, WPARAM wParam)
{
    if (HIWORD(wParam) != BN_CLICKED || LOWORD(wParam) != ID_DEFAULT_MODES)
        return 0;
    ProgramOptions *o = Options(page)->copy;
    o->fileModeLoad = o->fileModeSave = o->fileModeNew = BOX16_FILE_MODES_DEFAULT;
    o->fileModeLoadTemplate = o->fileModeSaveTemplate = BOX16_TEMPLATE_MODES_DEFAULT;
    FillFields(page, FILE_FIELDS, Count(FILE_FIELDS), o);
    return 1;
}

INT_PTR CALLBACK FilesProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_OPT_FILES, FILE_FIELDS, Count(FILE_FIELDS), OptionsCopy, FilesFill, FilesCheck,
                                  FilesCommand, nullptr};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// Date format page: each format shown with the current time.
constexpr int ID_LIST = 170;

void TimeFill(HWND page)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    SendDlgItemMessageA(page, ID_LIST, LB_RESETCONTENT, 0, 0);
    for (int i = 0; eDateTimeFormats[i] && eDateTimeFormats[i][0] != 4; ++i) {
        char text[256];
        ConvertDateTimeToString(&now, eDateTimeFormats[i], text);
        SendDlgItemMessageA(page, ID_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageA(page, ID_LIST, LB_SETCURSEL, Options(page)->copy->dateTimeFormat, 0);
}

int TimeCheck(HWND page)
{
    const LRESULT row = SendDlgItemMessageA(page, ID_LIST, LB_GETCURSEL, 0, 0);
    if (row < 0)
        return Refuse(page, ID_LIST, MSG_SELECT);
    Options(page)->copy->dateTimeFormat = static_cast<int32_t>(row);
    return 1;
}

INT_PTR CALLBACK TimeProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_OPT_TIME, nullptr, 0, OptionsCopy, TimeFill, TimeCheck, nullptr, nullptr};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// Mouse page.
constexpr int ID_MBUTTON_COMMAND = 750;
const Field MOUSE_FIELDS[] = {
    {300, FIELD_RADIO, OPT(rButtonMode), 2},
    {400, FIELD_RADIO, OPT(mButtonMode), 5},
};

void MouseFill(HWND page)
{
    FillFields(page, MOUSE_FIELDS, Count(MOUSE_FIELDS), Options(page)->copy);
    Box01DialogRedrawItem(page, ID_MBUTTON_COMMAND);
}

int MouseDrawItem(HWND page, const DRAWITEMSTRUCT *item)
{
    if (item->CtlID != ID_MBUTTON_COMMAND)
        return 0;
    char title[FIELD_TEXT_SIZE] = "";
    ConvertGetCommandTitle(title, Options(page)->copy->mButtonCommand);
    Box01DialogCustomButtonText(item, title, GetFocus() == item->hwndItem);
    return 1;
}

INT_PTR CALLBACK MouseProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_OPT_MOUSE, MOUSE_FIELDS, Count(MOUSE_FIELDS), OptionsCopy, MouseFill, nullptr,
                                  nullptr, MouseDrawItem};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// Symbol window page.
constexpr int ID_SORT_MODE = 180;
const Field SYMBOL_FIELDS[] = {
    {250, FIELD_CHECK, OPT(symbolIndex), 0},   {251, FIELD_CHECK, OPT(symbolScale), 0},
    {252, FIELD_CHECK, OPT(symbolRotate), 0},  {253, FIELD_CHECK, OPT(symbolLibrary), 0},
    {254, FIELD_CHECK, OPT(symbolBlock), 0},   {255, FIELD_CHECK, OPT(symbolPreview), 0},
};

void SymbolsFill(HWND page)
{
    ProgramOptions *o = Options(page)->copy;
    FillFields(page, SYMBOL_FIELDS, Count(SYMBOL_FIELDS), o);
    FillFromTable(page, ID_SORT_MODE, eBlockWinSortMode, true);
    SendDlgItemMessageA(page, ID_SORT_MODE, CB_SETCURSEL, o->symbolSortMode, 0);
}

int SymbolsCheck(HWND page)
{
    const LRESULT item = SendDlgItemMessageA(page, ID_SORT_MODE, CB_GETCURSEL, 0, 0);
    if (item < 0)
        return Refuse(page, ID_SORT_MODE, MSG_SELECT);
    Options(page)->copy->symbolSortMode = static_cast<int32_t>(item);
    return 1;
}

INT_PTR CALLBACK SymbolsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_OPT_SYMBOLS, SYMBOL_FIELDS, Count(SYMBOL_FIELDS), OptionsCopy, SymbolsFill,
                                  SymbolsCheck, nullptr, nullptr};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// Keyboard page.
constexpr int KEYS_PLAIN = KEYBOARD_KEYS / 2, KEY_DIGITS = 10, KEY_LETTERS = 26;
constexpr int KEY_SPECIAL_NAMES = 41; // eUniTexts
constexpr int ID_KEY_REMOVE = 13, ID_KEY_DEFAULTS = 550;

// "<key>\t" of a key table entry.
void KeyLabel(char *out, size_t size, int entry)
{
    const char *shift = entry >= KEYS_PLAIN ? "+" : "";
    const int key = entry % KEYS_PLAIN;
    if (key < KEY_DIGITS)
        snprintf(out, size, "%s%c\t", shift, '0' + key);
    else if (key < KEY_DIGITS + KEY_LETTERS)
        snprintf(out, size, "%s%c\t", shift, 'A' + key - KEY_DIGITS);
    else
        snprintf(out, size, "%s%s\t", shift, eUniTexts[KEY_SPECIAL_NAMES + key - KEY_DIGITS - KEY_LETTERS]);
}

// The row of an assigned entry: label and command title.
void KeyRow(char *out, size_t size, int entry, int32_t command)
{
    char label[64], title[FIELD_TEXT_SIZE] = "";
    KeyLabel(label, sizeof label, entry);
    ConvertGetCommandTitle(title, command);
    snprintf(out, size, "%s%s", label, title);
}

void KeysFill(HWND page)
{
    Box16KeyListFill(GetDlgItem(page, ID_LIST), Options(page)->copy->keyboard);
}

void KeysRemove(HWND page)
{
    const LRESULT row = SendDlgItemMessageA(page, ID_LIST, LB_GETCURSEL, 0, 0);
    if (row < 0) {
        Refuse(page, ID_LIST, MSG_SELECT);
        return;
    }
    int32_t *keys = Options(page)->copy->keyboard;
    for (int entry = 0, n = 0; entry < KEYBOARD_KEYS; ++entry) {
        if (keys[entry] < 0)
            continue;
        if (n++ == row) {
            keys[entry] = -1;
            break;
        }
    }
    SendDlgItemMessageA(page, ID_LIST, LB_DELETESTRING, row, 0);
    SendDlgItemMessageA(page, ID_LIST, LB_SETCURSEL, row, 0);
}

int KeysCommand(HWND page, WPARAM wParam)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return 0;
    if (LOWORD(wParam) == ID_KEY_REMOVE) {
        KeysRemove(page);
    } else if (LOWORD(wParam) == ID_KEY_DEFAULTS) {
        SystemDefaultKeyboard(Options(page)->copy->keyboard);
        KeysFill(page);
    }
    return 1;
}

INT_PTR CALLBACK KeysProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_OPT_KEYS, nullptr, 0, OptionsCopy, KeysFill, nullptr, KeysCommand, nullptr};
    return PageProcedure(kind, page, message, wParam, lParam);
}

#undef OPT

// ---------------------------------------------------------------------------
// Settings sheet
// ---------------------------------------------------------------------------

struct SettingsBlock {
    uint32_t result;
    DrawingSettings *copy;
};

DrawingSettings *Settings(HWND page)
{
    return reinterpret_cast<SettingsBlock *>(Box14PageBlock(page))->copy;
}

void *SettingsCopy(HWND page)
{
    return Settings(page);
}

#define SET(member) offsetof(DrawingSettings, member)

constexpr int HELP_SET_SCREEN = 15040, HELP_SET_OUTPUT = 15042, HELP_SET_ACCURACY = 15041,
              HELP_SET_COLORS = 15043;

const Field SCREEN_FIELDS[] = {
    {250, FIELD_CHECK, SET(displaySelection[0]), 0},
    {251, FIELD_CHECK, SET(displaySelection[1]), 0},
    {400, FIELD_CHECK, SET(displayDrawing), 0},
    {401, FIELD_CHECK, SET(displayObjects), 0},
    {402, FIELD_CHECK, SET(displayLines), 0},
    {500, FIELD_RADIO, SET(displayLinesMode), 4},
    {403, FIELD_CHECK, SET(displayFills), 0},
    {404, FIELD_CHECK, SET(displayTexts), 0},
    {405, FIELD_CHECK, SET(displayBlocks), 0},
    {406, FIELD_CHECK, SET(displayErasers), 0},
    {407, FIELD_CHECK, SET(displayFrames), 0},
    {408, FIELD_CHECK, SET(displayVariables), 0},
    {409, FIELD_CHECK, SET(displayPoints), 0},
    {410, FIELD_CHECK, SET(displayBitmaps), 0},
    {411, FIELD_CHECK, SET(displayMarks), 0},
    {412, FIELD_CHECK, SET(displayArrows), 0},
    {413, FIELD_CHECK, SET(displayNumbers), 0},
    {300, FIELD_RADIO_FLIPPED, SET(displayDecimal), 0},
    {302, FIELD_RADIO, SET(displaySelOnly), 2},
    {252, FIELD_CHECK, SET(displayPalette), 0},
    {253, FIELD_CHECK, SET(displayTrueType), 0},
    {254, FIELD_CHECK, SET(displayExtern), 0},
};
constexpr int THRESHOLD_MAX = 99, ID_PALETTE = 252, PALETTE_BITS = 8;
const IntField SCREEN_INTS[] = {{200, SET(displayThreshold), 0, THRESHOLD_MAX, MSG_THRESHOLD, MSG_THRESHOLD}};

void ScreenFill(HWND page)
{
    FillTablePage(page, {SCREEN_FIELDS, Count(SCREEN_FIELDS), SCREEN_INTS, Count(SCREEN_INTS)}, Settings(page));
    HDC dc = GetDC(nullptr);
    const int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    EnableWindow(GetDlgItem(page, ID_PALETTE), bits == PALETTE_BITS);
}

int ScreenCheck(HWND page)
{
    return ReadInts(page, SCREEN_INTS, Count(SCREEN_INTS), Settings(page));
}

INT_PTR CALLBACK ScreenProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_SET_SCREEN, SCREEN_FIELDS, Count(SCREEN_FIELDS), SettingsCopy, ScreenFill,
                                  ScreenCheck, nullptr, nullptr};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// Output page.
const Field OUTPUT_FIELDS[] = {
    {300, FIELD_RADIO, SET(outputFrame.kind), 2},
    {253, FIELD_CHECK, SET(outputFrame.on), 0},
    {250, FIELD_CHECK, SET(outputGeometry), 0},
    {251, FIELD_CHECK, SET(outputGrid.on), 0},
    {400, FIELD_BIT, SET(outputGrid.kind), 0x1},
    {401, FIELD_BIT, SET(outputGrid.kind), 0x2},
    {402, FIELD_BIT, SET(outputGrid.kind), 0x4},
    {252, FIELD_CHECK, SET(outputMark.on), 0},
    {403, FIELD_BIT, SET(outputMark.kind), 0x1},
    {404, FIELD_BIT, SET(outputMark.kind), 0x2},
    {405, FIELD_BIT, SET(outputMark.kind), 0x4},
    {254, FIELD_CHECK, SET(outputBitmap), 0},
    {255, FIELD_CHECK, SET(outputTrueType), 0},
    {256, FIELD_CHECK, SET(outputIntern), 0},
};
constexpr int ID_GRID_PROPERTY = 551, ID_MARK_PROPERTY = 552, ID_FRAME_PROPERTY = 553;
constexpr int CAPTION_PROPERTY = 3, PROPERTY_MODE = 1;
constexpr int OUTPUT_WIDTHS = 4, ID_WIDTH_FIRST = 200, ID_WIDTH_LABEL_FIRST = 650;
constexpr double FRAME_WIDTH_MAX = 1e10;
const size_t OUTPUT_WIDTH_OFFSETS[OUTPUT_WIDTHS] = {SET(outputFrame.size), SET(outputFrameDistance),
                                                   SET(outputGrid.size), SET(outputMark.size)};

void OutputFill(HWND page)
{
    DrawingSettings *s = Settings(page);
    FillFields(page, OUTPUT_FIELDS, Count(OUTPUT_FIELDS), s);
    for (int i = 0; i < OUTPUT_WIDTHS; ++i) {
        char text[FIELD_TEXT_SIZE];
        Box05FormatWidth(text, At<double>(s, OUTPUT_WIDTH_OFFSETS[i]));
        SetDlgItemTextA(page, ID_WIDTH_FIRST + i, text);
        SetDlgItemTextA(page, ID_WIDTH_LABEL_FIRST + i, g_ConvertState.widthLabel);
    }
}

int OutputCheck(HWND page)
{
    DrawingSettings *s = Settings(page);
    double values[OUTPUT_WIDTHS];
    for (int i = 0; i < OUTPUT_WIDTHS; ++i) {
        char text[FIELD_TEXT_SIZE] = "";
        const int id = ID_WIDTH_FIRST + i;
        GetDlgItemTextA(page, id, text, FIELD_TEXT_SIZE);
        const int ok = i < 2 ? AlertCheckInputWidthRange(page, text, &values[i], id, 0.0, FRAME_WIDTH_MAX, nullptr)
                             : AlertCheckInputWidth(page, text, &values[i], id);
        if (!ok)
            return 0;
    }
    for (int i = 0; i < OUTPUT_WIDTHS; ++i)
        At<double>(s, OUTPUT_WIDTH_OFFSETS[i]) = values[i];
    return 1;
}

// The pen buttons: each property goes through the property sheet of one
// object and comes back into the copy only after its OK.
int OutputCommand(HWND page, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED || id < ID_GRID_PROPERTY || id > ID_FRAME_PROPERTY)
        return 0;
    DrawingSettings *s = Settings(page);
    XProperty &property = id == ID_GRID_PROPERTY   ? s->outputGrid.property
                          : id == ID_MARK_PROPERTY ? s->outputMark.property
                                                   : s->outputFrame.property;
    std::unique_ptr<ObjectAttributes> attributes(new (std::nothrow) ObjectAttributes());
    if (!attributes)
        return 1;
    ObjectAttributesInit(attributes.get());
    attributes->present[ATTR_GENERAL] = 1;
    attributes->general.ownMask = attributes->general.fieldMask = 0;
    attributes->general.values = property;
    if (Box14ObjInfoSingle(page, eCaptionTexts[CAPTION_PROPERTY], attributes.get(), PROPERTY_MODE, nullptr, nullptr,
                           1, 1, nullptr))
        property = attributes->general.values;
    return 1;
}

INT_PTR CALLBACK OutputProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_SET_OUTPUT, OUTPUT_FIELDS, Count(OUTPUT_FIELDS), SettingsCopy, OutputFill,
                                  OutputCheck, OutputCommand, nullptr};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// Accuracy page.
constexpr int QUALITY_VALUES = 3, ID_QUALITY_FIRST = 200, ID_PRESET_FIRST = 550, QUALITY_PRESETS = 3;
constexpr double QUALITY_MIN = 0.001, QUALITY_MAX = 1000;
constexpr double QUALITY_PRESET[QUALITY_VALUES][QUALITY_PRESETS] = {{3.0, 2.0, 1.0}, {2.0, 1.0, 0.5},
                                                                    {3.0, 2.0, 1.0}};
constexpr int QUALITY_DIGITS = 3;

void AccuracyFill(HWND page)
{
    const DrawingSettings *s = Settings(page);
    for (int i = 0; i < QUALITY_VALUES; ++i)
        SetDouble(page, ID_QUALITY_FIRST + i, s->displayQuality[i], QUALITY_DIGITS);
}

int AccuracyCheck(HWND page)
{
    double values[QUALITY_VALUES];
    for (int i = 0; i < QUALITY_VALUES; ++i) {
        char text[FIELD_TEXT_SIZE] = "";
        GetDlgItemTextA(page, ID_QUALITY_FIRST + i, text, FIELD_TEXT_SIZE);
        if (!AlertCheckInputDoubleRange(page, text, &values[i], ID_QUALITY_FIRST + i, QUALITY_MIN, QUALITY_MAX,
                                        eAlertTextOK[MSG_ACCURACY]))
            return 0;
    }
    memcpy(Settings(page)->displayQuality, values, sizeof values);
    return 1;
}

int AccuracyCommand(HWND page, WPARAM wParam)
{
    const int preset = LOWORD(wParam) - ID_PRESET_FIRST;
    if (HIWORD(wParam) != BN_CLICKED || preset < 0 || preset >= QUALITY_VALUES * QUALITY_PRESETS)
        return 0;
    SetDouble(page, ID_QUALITY_FIRST + preset / QUALITY_PRESETS,
              QUALITY_PRESET[preset / QUALITY_PRESETS][preset % QUALITY_PRESETS], QUALITY_DIGITS);
    return 1;
}

INT_PTR CALLBACK AccuracyProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_SET_ACCURACY, nullptr, 0, SettingsCopy, AccuracyFill, AccuracyCheck,
                                  AccuracyCommand, nullptr};
    return PageProcedure(kind, page, message, wParam, lParam);
}

// Colours page.
constexpr int ID_COLOR_FIRST = 10000, ID_COLOR_DEFAULTS = 550;
struct ColorButton {
    size_t offset;
    int32_t defaultIndex;
};
const ColorButton COLOR_BUTTONS[BOX16_COLOR_BUTTONS] = {
    {SET(colorPopup[0]), 26}, {SET(colorPopup[1]), 10}, {SET(colorColorText), 10}, {SET(colorFlag[0]), 8},
    {SET(colorFlag[1]), 24},  {SET(colorFlag[2]), 30},  {SET(colorFlag[3]), 24},   {SET(colorPoints), 26},
    {SET(colorMarks), 10},    {SET(colorInput), 8},     {SET(colorDrawArea), 0},   {SET(colorCross[0]), 24},
    {SET(colorCross[1]), 8},  {SET(colorPageFrame), 28}, {SET(colorBlocks), 22},  {SET(colorErasers), 14},
    {SET(colorGeometry), 3},  {SET(colorLayers), 3},
};

COLORREF StandardColor(int32_t index)
{
    return index >= 0 && index < STANDARD_COLORS ? g_StandardColors[index] : RGB(0, 0, 0);
}

void ColorsFill(HWND page)
{
    Box01DialogRedrawItems(page, ID_COLOR_FIRST, ID_COLOR_FIRST + BOX16_COLOR_BUTTONS - 1);
    SetFocus(GetDlgItem(page, ID_COLOR_FIRST));
}

int ColorsDrawItem(HWND page, const DRAWITEMSTRUCT *item)
{
    const int index = static_cast<int>(item->CtlID) - ID_COLOR_FIRST;
    if (index < 0 || index >= BOX16_COLOR_BUTTONS)
        return 0;
    Box01DialogCustomButtonColor(item, StandardColor(At<int32_t>(Settings(page), COLOR_BUTTONS[index].offset)),
                                 GetFocus() == item->hwndItem);
    return 1;
}

int ColorsCommand(HWND page, WPARAM wParam)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return 0;
    const int id = LOWORD(wParam);
    if (id == ID_COLOR_DEFAULTS) {
        Box16SettingsDefaultColors(Settings(page));
        InvalidateRect(page, nullptr, TRUE);
        ColorsFill(page);
    } else if (id >= ID_COLOR_FIRST && id < ID_COLOR_FIRST + BOX16_COLOR_BUTTONS) {
        int32_t &index = At<int32_t>(Settings(page), COLOR_BUTTONS[id - ID_COLOR_FIRST].offset);
        if (Box04ChooseStdColor(page, eCaptionTexts[CAPTION_STD_COLOR], &index))
            Box01DialogRedrawItem(page, id);
    }
    return 1;
}

INT_PTR CALLBACK ColorsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageKind kind = {HELP_SET_COLORS, nullptr, 0, SettingsCopy, ColorsFill, nullptr, ColorsCommand,
                                  ColorsDrawItem};
    return PageProcedure(kind, page, message, wParam, lParam);
}

#undef SET

// Runs a sheet on a temporary copy of `record` and copies it back after OK
// when it differs byte for byte.
template <typename Record, typename Block>
int EditCopy(HWND parent, const char *caption, Record *record, const Box14Page *pages, int count,
             int startPage, Block &block)
{
    std::unique_ptr<Record> copy(new (std::nothrow) Record(*record));
    if (!copy)
        return 0;
    block.copy = copy.get();
    if (!Box14RunSheet(parent, caption, pages, count, startPage, &block.result))
        return 0;
    if (block.result != SHEET_PAGE_OK || memcmp(copy.get(), record, sizeof(Record)) == 0)
        return 0;
    *record = *copy;
    return 1;
}

} // namespace

void Box16SettingsDefaultColors(DrawingSettings *settings)
{
    for (const ColorButton &b : COLOR_BUTTONS)
        At<int32_t>(settings, b.offset) = b.defaultIndex;
}

void Box16KeyListFill(HWND list, const int32_t *keys)
{
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int entry = 0; entry < KEYBOARD_KEYS; ++entry) {
        if (keys[entry] < 0)
            continue;
        char row[FIELD_TEXT_SIZE + 64];
        KeyRow(row, sizeof row, entry, keys[entry]);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

int Box16KeyListWrite(HWND, const char *fileName, const int32_t *keys)
{
    std::string text;
    for (int entry = 0; entry < KEYBOARD_KEYS; ++entry) {
        if (keys[entry] < 0)
            continue;
        char row[FIELD_TEXT_SIZE + 64];
        KeyRow(row, sizeof row, entry, keys[entry]);
        text += row;
        text += "\r\n";
    }
    // Written beside the file and moved over it only when whole, as every
    // other file the program writes; a failure is told naming the file.
    return FileReplaceWithData(fileName, FILE_REPLACE_EXPORT, nullptr, 0, text.data(), uint32_t(text.size()));
}

int Box16Options(HWND parent, const char *, ProgramOptions *options, int startPage)
{
    const Box14Page pages[BOX16_OPT_PAGES] = {
        {"OPTIONS_WINDOWS", WindowsProc, ePropSheetOptPageTitles[0]},
        {"OPTIONS_GENERAL", GeneralProc, ePropSheetOptPageTitles[1]},
        {"OPTIONS_PATHS", PathsProc, ePropSheetOptPageTitles[2]},
        {"OPTIONS_FILEOPTIONS", FilesProc, ePropSheetOptPageTitles[3]},
        {"OPTIONS_TIMEFORMAT", TimeProc, ePropSheetOptPageTitles[4]},
        {"OPTIONS_MOUSE", MouseProc, ePropSheetOptPageTitles[5]},
        {"OPTIONS_BLOCKLIST", SymbolsProc, ePropSheetOptPageTitles[6]},
        {"OPTIONS_KEYBOARD", KeysProc, ePropSheetOptPageTitles[7]},
    };
    OptionsBlock block = {};
    block.caller = options;
    block.folderButton = -1;
    return EditCopy(parent, eCaptionTexts[CAPTION_OPTIONS], options, pages, BOX16_OPT_PAGES, startPage, block);
}

int Box16Settings(HWND parent, const char *, DrawingSettings *settings, int pageMask, int startPage)
{
    const Box14Page all[] = {
        {"SETTINGS_SCREEN", ScreenProc, ePropSheetSetPageTitles[0]},
        {"SETTINGS_OUTPUT", OutputProc, ePropSheetSetPageTitles[1]},
        {"SETTINGS_ACCURACY", AccuracyProc, ePropSheetSetPageTitles[2]},
        {"SETTINGS_COLORS", ColorsProc, ePropSheetSetPageTitles[3]},
    };
    Box14Page pages[4];
    int count = 0;
    for (int i = 0; i < 4; ++i)
        if (pageMask & (1 << i))
            pages[count++] = all[i];
    SettingsBlock block = {};
    return EditCopy(parent, eCaptionTexts[CAPTION_SETTINGS], settings, pages, count, startPage, block);
}
