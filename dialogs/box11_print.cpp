// The print layout dialog: printer, header and footer, page mode, scale,
// margins, orientation, copies, page range and output file of the drawing's
// print settings, on a copy with a live preview; and the expansion of a
// header or footer format for the page being printed.
#include "dialogs/box11.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "display/print.h"
#include "display/symbol.h"
#include "language/language.h"

namespace {

constexpr int ID_COPIES = 200, ID_SCALE = 201, ID_HEADER = 202, ID_FOOTER = 203;
constexpr int ID_MARGIN_TOP = 204, ID_MARGIN_BOTTOM = 205, ID_MARGIN_LEFT = 206, ID_MARGIN_RIGHT = 207;
constexpr int ID_FROM = 208, ID_TO = 209, ID_FILE = 210;
constexpr int ID_HEADER_COMBO = 180, ID_FOOTER_COMBO = 181, ID_MODE = 182;
constexpr int ID_SELONLY = 250, ID_DRAFT = 251, ID_CENTERED = 252, ID_EDGES = 253, ID_TOFILE = 254,
              ID_COLLATE = 255, ID_SCALEWIDTHS = 256;
constexpr int ID_PAGES_FIRST = 300, ID_PAGES_RANGE = 302;
constexpr int ID_PRINTER = 350, ID_COLLATE_LABEL = 351, ID_RANGE_LABEL = 352;
constexpr int ID_SETUP = 550, ID_SETTINGS = 551, ID_CHOOSE_FILE = 552;
constexpr int ID_UNIT_LABEL = 650, ID_PREVIEW = 700, ID_PORTRAIT = 800, ID_LANDSCAPE = 801;
constexpr int HELP_PRINT_LAYOUT = 15011;
constexpr int TEXT_MAX = 250;
constexpr double SCALE_MIN = 1e-10, SCALE_MAX = 1e10;
constexpr double MARGIN_MAX = 1e10;
// eAlertTextOK entries.
constexpr int MSG_SELECT = 3, MSG_NUMBER = 7, MSG_RANGE = 8, MSG_SCALE = 37, MSG_COPIES = 38, MSG_MARGINS = 78,
              MSG_NO_LAYOUT = 79;
constexpr int CAPTION_PRINT_FILE = 34; // eCaptionTexts

// The margin edits in the order the check reads them, and the margin each fills.
constexpr int MARGIN_IDS[4] = {ID_MARGIN_TOP, ID_MARGIN_BOTTOM, ID_MARGIN_LEFT, ID_MARGIN_RIGHT};
constexpr int MARGIN_INDEX[4] = {3, 1, 0, 2}; // border: left, bottom, right, top

struct PrintLayoutBlock {
    DialogHeader header;
    const char *caption;
    PrintSettings *copy;
    uint32_t ready;
};

// `ready` cleared while a handler checks or recomputes, so that the focus
// changes its message boxes cause trigger nothing.
struct Busy {
    explicit Busy(PrintLayoutBlock *b) : block(b) { block->ready = 0; }
    ~Busy() { block->ready = 1; }
    PrintLayoutBlock *block;
};

double WidthFactor()
{
    const DrawWindow *w = g_ConvertState.window;
    return w && w->widthFactor > 0.0 ? w->widthFactor : 1.0;
}

void SetDouble(HWND dialog, int id, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", value);
    SetDlgItemTextA(dialog, id, text);
}

void SetInt(HWND dialog, int id, int32_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(dialog, id, text);
}

void GetText(HWND dialog, int id, char *out, int size) { GetDlgItemTextA(dialog, id, out, size); }

void FillCombo(HWND dialog, int id, const char *const *table, int selection)
{
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (int i = 0; table[i] && table[i][0] != 4; ++i)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, LPARAM(table[i]));
    Box01DialogComboboxAdjust(dialog, id);
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, WPARAM(selection), 0);
}

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

void ApplyEnableTable(HWND dialog, int32_t mode)
{
    const bool sheet = mode == PRINT_MODE_SHEET, tiles = mode == PRINT_MODE_TILES, fit = mode == PRINT_MODE_FIT;
    Enable(dialog, ID_CENTERED, tiles);
    Enable(dialog, ID_COLLATE, !fit);
    Enable(dialog, ID_COLLATE_LABEL, !fit);
    Enable(dialog, ID_SCALE, !fit);
    Enable(dialog, ID_PORTRAIT, !sheet);
    Enable(dialog, ID_LANDSCAPE, !sheet);
    for (int id = ID_PAGES_FIRST; id <= ID_PAGES_RANGE; ++id)
        Enable(dialog, id, sheet);
    Enable(dialog, ID_FROM, sheet);
    Enable(dialog, ID_TO, sheet);
    Enable(dialog, ID_RANGE_LABEL, sheet);
}

int32_t ActivePage() { return g_PageDefs.active >= 0 && g_PageDefs.active < PAGE_SLOTS ? g_PageDefs.active : 0; }

// Device values and layout for the current sheet: the tile count, 0 when the
// printer cannot be read or the page cannot be mapped.
int Layout(PrintSettings *copy)
{
    if (!PrintReadDeviceCaps(nullptr, copy))
        return 0;
    return PrintComputeLayout(copy, ActivePage());
}

// Recomputation after a change; `report` shows entry 79 when it fails.
int Recompute(HWND dialog, PrintLayoutBlock *b, bool report)
{
    Busy busy(b);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const int tiles = Layout(b->copy);
    if (tiles < 1) {
        if (report)
            AlertOk(dialog, eAlertTextOK[MSG_NO_LAYOUT]);
        return 0;
    }
    PrintPreviewPaint(GetDlgItem(dialog, ID_PREVIEW), ActivePage());
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    if (b->copy->mode != PRINT_MODE_TILES)
        SetDouble(dialog, ID_SCALE, b->copy->scale);
    return tiles;
}

int ReadMode(HWND dialog, PrintSettings *copy)
{
    const LRESULT mode = SendDlgItemMessageA(dialog, ID_MODE, CB_GETCURSEL, 0, 0);
    if (mode == CB_ERR) {
        AlertOk(dialog, eAlertTextOK[MSG_SELECT]);
        return 0;
    }
    copy->mode = int32_t(mode);
    return 1;
}

int ReadScale(HWND dialog, PrintSettings *copy, bool report)
{
    char text[64];
    GetText(dialog, ID_SCALE, text, sizeof text);
    double value = 0.0;
    if (!AlertCheckInputDouble(report ? dialog : nullptr, text, &value, report ? ID_SCALE : -1))
        return 0;
    if (value < SCALE_MIN || value > SCALE_MAX) {
        if (report) {
            AlertOk(dialog, eAlertTextOK[MSG_SCALE]);
            Box01DialogFocusEdit(dialog, ID_SCALE);
        }
        return 0;
    }
    copy->scale = value;
    return 1;
}

// Reads an integer field; 0 with the message of `failure` for a value outside
// [min, max] or entry 7 for an unreadable text, the focus on the field.
int ReadInt(HWND dialog, int id, int32_t min, int32_t max, int failure, int32_t *out)
{
    char text[64];
    GetText(dialog, id, text, sizeof text);
    const int value = ConvertStringToInt(text);
    const int message = value == CONVERT_NO_INT ? MSG_NUMBER : value < min || value > max ? failure : 0;
    if (message) {
        AlertOk(dialog, eAlertTextOK[message]);
        Box01DialogFocusEdit(dialog, id);
        return 0;
    }
    *out = value;
    return 1;
}

void ReadHeader(HWND dialog, int comboId, PrintHeaderSetting *setting, LRESULT entry)
{
    (void)dialog;
    (void)comboId;
    setting->on = entry > 0 ? 1 : 0;
    setting->alignment = entry > 0 ? int32_t(entry - 1) : 0;
}

void ChooseFile(HWND dialog)
{
    char path[MAX_PATH];
    GetText(dialog, ID_FILE, path, sizeof path);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.lpstrFilter = "*.*\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = eCaptionTexts[CAPTION_PRINT_FILE];
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameA(&ofn))
        return;
    SetDlgItemTextA(dialog, ID_FILE, path);
    Box01DialogFocusEdit(dialog, ID_FILE);
}

void Init(HWND dialog, PrintLayoutBlock *b)
{
    PrintSettings &s = *b->copy;
    if (s.userArea && s.mode == PRINT_MODE_SHEET)
        s.mode = PRINT_MODE_TILES;
    char device[PRINT_NAME_SIZE];
    PrintGetDeviceName(device);
    SetDlgItemTextA(dialog, ID_PRINTER, device);
    SendDlgItemMessageA(dialog, ID_HEADER, EM_LIMITTEXT, TEXT_MAX, 0);
    SendDlgItemMessageA(dialog, ID_FOOTER, EM_LIMITTEXT, TEXT_MAX, 0);
    SetDlgItemTextA(dialog, ID_HEADER, s.header.text);
    SetDlgItemTextA(dialog, ID_FOOTER, s.footer.text);
    FillCombo(dialog, ID_HEADER_COMBO, eHeaderFormats, s.header.on ? s.header.alignment + 1 : 0);
    FillCombo(dialog, ID_FOOTER_COMBO, eHeaderFormats, s.footer.on ? s.footer.alignment + 1 : 0);
    FillCombo(dialog, ID_MODE, ePageMode, s.mode);
    Box01DialogCheck(dialog, ID_SELONLY, s.selOnly);
    Box01DialogCheck(dialog, ID_DRAFT, s.draft);
    Box01DialogCheck(dialog, ID_CENTERED, s.centered);
    Box01DialogCheck(dialog, ID_EDGES, s.edges);
    Box01DialogCheck(dialog, ID_TOFILE, s.toFile);
    Box01DialogCheck(dialog, ID_COLLATE, s.pagesSwitch);
    Box01DialogCheck(dialog, ID_SCALEWIDTHS, s.scaleWidths);
    SetDouble(dialog, ID_SCALE, s.scale);
    for (int i = 0; i < 4; ++i)
        SetDouble(dialog, MARGIN_IDS[i], s.border[MARGIN_INDEX[i]] / WidthFactor());
    SetDlgItemTextA(dialog, ID_UNIT_LABEL, g_ConvertState.widthLabel);
    const int32_t pages = s.pages[0] >= 0 && s.pages[0] <= 2 ? s.pages[0] : 0;
    CheckRadioButton(dialog, ID_PAGES_FIRST, ID_PAGES_RANGE, ID_PAGES_FIRST + pages);
    SetInt(dialog, ID_FROM, s.pages[1]);
    SetInt(dialog, ID_TO, s.pages[2]);
    SetInt(dialog, ID_COPIES, s.copies);
    SetDlgItemTextA(dialog, ID_FILE, s.fileName);
    // The orientation buttons show the upright and the lying page.
    static const char *const ORIENTATION_ICONS[2] = {"IDI_PAGEMOD1", "IDI_PAGEMOD2"};
    for (int i = 0; i < 2; ++i)
        if (HICON icon = LoadIconA(g_Instance, ORIENTATION_ICONS[i]))
            SendDlgItemMessageA(dialog, ID_PORTRAIT + i, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

void Confirm(HWND dialog, PrintLayoutBlock *b)
{
    Busy busy(b);
    PrintSettings &s = *b->copy;
    GetText(dialog, ID_HEADER, s.header.text, TEXT_MAX + 1);
    GetText(dialog, ID_FOOTER, s.footer.text, TEXT_MAX + 1);
    const LRESULT header = SendDlgItemMessageA(dialog, ID_HEADER_COMBO, CB_GETCURSEL, 0, 0);
    const LRESULT footer = SendDlgItemMessageA(dialog, ID_FOOTER_COMBO, CB_GETCURSEL, 0, 0);
    if (header == CB_ERR || footer == CB_ERR) {
        AlertOk(dialog, eAlertTextOK[MSG_SELECT]);
        return;
    }
    ReadHeader(dialog, ID_HEADER_COMBO, &s.header, header);
    ReadHeader(dialog, ID_FOOTER_COMBO, &s.footer, footer);
    if (!ReadMode(dialog, &s) || !ReadScale(dialog, &s, true))
        return;
    if (!ReadInt(dialog, ID_COPIES, 1, PRINT_COPIES_MAX, MSG_COPIES, &s.copies))
        return;
    if (!Box11PrintLayoutCheck(dialog, b->copy))
        return;
    // The range is read only when it is what prints.
    if (s.pages[0] == PRINT_PAGES_RANGE) {
        const int32_t sheets = g_PageDefs.count > 0 ? g_PageDefs.count : 1;
        if (!ReadInt(dialog, ID_FROM, 1, sheets, MSG_RANGE, &s.pages[1]))
            return;
        if (!ReadInt(dialog, ID_TO, s.pages[1], INT32_MAX, MSG_RANGE, &s.pages[2]))
            return;
    }
    GetText(dialog, ID_FILE, s.fileName, SYSTEM_PATH_SIZE);
    Box01DialogEnd(dialog, DIALOG_OK);
}

void Toggle(uint32_t *value) { *value = *value ? 0 : 1; }

INT_PTR CALLBACK PrintLayoutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    PrintLayoutBlock *b = Box01DialogRecordOf<PrintLayoutBlock>(dialog);
    switch (message) {
    case WM_INITDIALOG:
        b = reinterpret_cast<PrintLayoutBlock *>(Box01DialogInit(dialog, lParam));
        if (b->caption)
            SetWindowTextA(dialog, b->caption);
        Init(dialog, b);
        if (Layout(b->copy) < 1) {
            AlertOk(dialog, eAlertTextOK[MSG_NO_LAYOUT]);
            Box01DialogEnd(dialog, DIALOG_CANCELLED);
            return TRUE;
        }
        ApplyEnableTable(dialog, b->copy->mode);
        b->ready = 1;
        Box01DialogFocusEdit(dialog, ID_COPIES);
        return FALSE;
    case WM_PAINT:
        if (b && b->ready)
            PostMessageA(dialog, WM_APP, 0, 0);
        break;
    case WM_APP:
        if (b)
            PrintPreviewPaint(GetDlgItem(dialog, ID_PREVIEW), ActivePage());
        return TRUE;
    case WM_COMMAND: {
        if (!b)
            break;
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        PrintSettings &s = *b->copy;
        switch (id) {
        case IDOK: Confirm(dialog, b); return TRUE;
        case ID_MODE:
            if (code == CBN_SELCHANGE) {
                if (!ReadMode(dialog, &s))
                    return TRUE;
                if (s.mode == PRINT_MODE_TILES) {
                    s.scale = 1.0;
                    SetDouble(dialog, ID_SCALE, 1.0);
                }
                Recompute(dialog, b, true);
                ApplyEnableTable(dialog, s.mode);
            }
            return TRUE;
        case ID_SCALE:
            if (code == EN_KILLFOCUS && b->ready) {
                double value = 0.0;
                char text[64];
                GetText(dialog, ID_SCALE, text, sizeof text);
                {
                    Busy busy(b);
                    if (!AlertCheckInputDouble(dialog, text, &value, ID_SCALE) || value < SCALE_MIN ||
                        value > SCALE_MAX)
                        return TRUE;
                }
                s.scale = value;
                Recompute(dialog, b, false);
            }
            return TRUE;
        case ID_MARGIN_TOP:
        case ID_MARGIN_BOTTOM:
        case ID_MARGIN_LEFT:
        case ID_MARGIN_RIGHT:
            if (code == EN_KILLFOCUS && b->ready && GetFocus() != GetDlgItem(dialog, IDCANCEL)) {
                int ok;
                {
                    Busy busy(b);
                    ok = Box11PrintLayoutCheck(dialog, b->copy);
                }
                if (ok)
                    Recompute(dialog, b, false);
            }
            return TRUE;
        case ID_FROM:
        case ID_TO:
            if (code == EN_SETFOCUS) {
                s.pages[0] = PRINT_PAGES_RANGE;
                CheckRadioButton(dialog, ID_PAGES_FIRST, ID_PAGES_RANGE, ID_PAGES_RANGE);
            }
            return TRUE;
        case ID_SELONLY:
            Toggle(&s.selOnly);
            Recompute(dialog, b, true);
            return TRUE;
        case ID_DRAFT: Toggle(&s.draft); return TRUE;
        case ID_EDGES: Toggle(&s.edges); return TRUE;
        case ID_TOFILE: Toggle(&s.toFile); return TRUE;
        case ID_COLLATE: Toggle(&s.pagesSwitch); return TRUE;
        case ID_SCALEWIDTHS: Toggle(&s.scaleWidths); return TRUE;
        case ID_CENTERED:
            Toggle(&s.centered);
            Recompute(dialog, b, true);
            return TRUE;
        case ID_SETUP: {
            PrintSetupDialog(dialog);
            char device[PRINT_NAME_SIZE];
            PrintGetDeviceName(device);
            SetDlgItemTextA(dialog, ID_PRINTER, device);
            int ok;
            {
                Busy busy(b);
                ok = ReadMode(dialog, &s) && ReadScale(dialog, &s, true) && Box11PrintLayoutCheck(dialog, b->copy);
            }
            if (ok)
                Recompute(dialog, b, true);
            return TRUE;
        }
        case ID_SETTINGS:
            // The settings sheet comes with the option dialogs.
            MessageBeep(0);
            return TRUE;
        case ID_CHOOSE_FILE: ChooseFile(dialog); return TRUE;
        case ID_PORTRAIT:
        case ID_LANDSCAPE:
            s.orient = id - ID_PORTRAIT;
            Recompute(dialog, b, true);
            return TRUE;
        default:
            if (id >= ID_PAGES_FIRST && id <= ID_PAGES_RANGE) {
                s.pages[0] = id - ID_PAGES_FIRST;
                if (id == ID_PAGES_RANGE)
                    Box01DialogFocusEdit(dialog, ID_FROM);
                return TRUE;
            }
            break;
        }
        break;
    }
    default:
        break;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_PRINT_LAYOUT);
}

} // namespace

int Box11PrintLayoutCheck(HWND dialog, PrintSettings *copy)
{
    for (int i = 0; i < 4; ++i) {
        char text[64];
        GetText(dialog, MARGIN_IDS[i], text, sizeof text);
        double value = 0.0;
        if (!AlertCheckInputWidthRange(dialog, text, &value, MARGIN_IDS[i], 0.0, MARGIN_MAX,
                                       eAlertTextOK[MSG_MARGINS]))
            return 0;
        copy->border[MARGIN_INDEX[i]] = value;
    }
    return 1;
}

uint32_t Box11PrintLayout(HWND owner, const char *caption)
{
    auto copy = std::make_unique<PrintSettings>(g_DrawingSettings.print);
    PrintLayoutBlock block{};
    block.caption = caption;
    block.copy = copy.get();
    if (Box01DialogRun(owner, "PRINTLAYOUT", PrintLayoutProc, &block.header) == -1 ||
        block.header.result != DIALOG_OK)
        return 0;
    g_DrawingSettings.print = *copy;
    return 1;
}

char *Box11PrintHeaderText(const char *format, char *out, int outSize)
{
    if (!out || outSize < 1)
        return out;
    int n = 0;
    auto fits = [&](int length) { return n + length < outSize; };
    auto put = [&](const char *text, int length) {
        std::memcpy(out + n, text, length);
        n += length;
    };
    out[0] = 0;
    if (!fits(1))
        return out;
    put(" ", 1);
    const char *p = format ? format : "";
    while (*p) {
        if (*p == '%') {
            char value[TEXT_VALUE_SIZE];
            int used = 1;
            SymbolExpandSystemVariable(p, value, &used);
            const int length = lstrlenA(value);
            if (!fits(length))
                break;
            put(value, length);
            p += used > 0 ? used : 1;
            continue;
        }
        if (!fits(1))
            break;
        put(p, 1);
        ++p;
    }
    if (!*p && fits(1))
        put(" ", 1);
    out[n] = 0;
    return out;
}
