// Printing: the chosen printer, its device mode and capabilities, the print
// command, its jobs and the pages, tiles and copies inside a job.
#include "display/print.h"

#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/init.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "app/window_progress.h"
#include "database/storage.h"
#include "database/unit.h"
#include "dialogs/alert.h"
#include "dialogs/box11.h"
#include "display/output.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "display/symbol.h"
#include "files/file_drawinginfo.h"
#include "files/zvi.h"
#include "language/language.h"
#include "language/language_entries.h"

PrinterState g_Printer;
PrintLayoutDialog g_PrintLayoutDialog = Box11PrintLayout;

namespace {

constexpr DWORD PRINTDLG_SIZE = 66;
constexpr double LOMETRIC_PER_MM = 10.0;
constexpr double HIENGLISH_PER_MM = 39.37007874016;
constexpr int HEADER_HEIGHT_LOMETRIC = 32; // about 3.2 mm in each mode
constexpr int HEADER_HEIGHT_HIENGLISH = 125;
constexpr int HEADER_HEIGHT_OTHER = 318;
constexpr double EDGE_LENGTH_MM = 2.0;
constexpr double EDGE_INSET_TILES_MM = 0.5;
constexpr int HEADER_FONT_NAME = 8; // eDefaultNames
constexpr int PROGRESS_LINE_SIZE = 256;
constexpr DWORD FIELDS_BASE = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_FORMNAME;

int Round(double v) { return static_cast<int>(std::floor(v + 0.5)); }

// Device failures go to the diagnostic box; the print command tells the
// user that nothing was printed.
#define PRINT_FAIL(message) InitErrorBox(__FILE_NAME__, __LINE__, message)

void CopyName(char *out, const char *in)
{
    lstrcpynA(out, in ? in : "", PRINT_NAME_SIZE);
}

void StoreDevMode(const DEVMODEA *mode)
{
    PrintFreeDevMode();
    if (!mode)
        return;
    const int32_t size = mode->dmSize + mode->dmDriverExtra;
    void *copy = mem_alloc_temp(size, __FILE_NAME__, __LINE__);
    if (!copy)
        return;
    std::memcpy(copy, mode, size);
    g_Printer.devMode = static_cast<DEVMODEA *>(copy);
    g_Printer.devModeSize = size;
}

// Names and device mode from the handles the common dialog returned.
void TakeOver(const PRINTDLGA &pd)
{
    if (pd.hDevNames) {
        const auto *names = static_cast<const DEVNAMES *>(GlobalLock(pd.hDevNames));
        if (names) {
            const char *base = reinterpret_cast<const char *>(names);
            CopyName(g_Printer.driver, base + names->wDriverOffset);
            CopyName(g_Printer.device, base + names->wDeviceOffset);
            CopyName(g_Printer.port, base + names->wOutputOffset);
            GlobalUnlock(pd.hDevNames);
        }
    }
    if (pd.hDevMode) {
        const auto *mode = static_cast<const DEVMODEA *>(GlobalLock(pd.hDevMode));
        if (mode) {
            StoreDevMode(mode);
            GlobalUnlock(pd.hDevMode);
        }
    }
}

struct DlgError {
    DWORD code;
    const char *name;
};
constexpr DlgError DLG_ERRORS[] = {
    {0x1001, "PDERR_SETUPFAILURE"},    {0x1002, "PDERR_PARSEFAILURE"},    {0x1003, "PDERR_RETDEFFAILURE"},
    {0x1004, "PDERR_LOADDRVFAILURE"},  {0x1005, "PDERR_GETDEVMODEFAIL"},  {0x1006, "PDERR_INITFAILURE"},
    {0x1007, "PDERR_NODEVICES"},       {0x1008, "PDERR_NODEFAULTPRN"},    {0x1009, "PDERR_DNDMMISMATCH"},
    {0x100A, "PDERR_CREATEICFAILURE"}, {0x100B, "PDERR_PRINTERNOTFOUND"}, {0x100C, "PDERR_DEFAULTDIFFERENT"},
};

// The progress line of one pass, from the language module's formats.
void ProgressPass(int32_t first, int32_t copies, int32_t deviceCopies, int32_t tile, int32_t tiles)
{
    char line[PROGRESS_LINE_SIZE];
    const int32_t last = first + deviceCopies - 1;
    if (tiles < 2) {
        if (deviceCopies > 1)
            std::snprintf(line, sizeof line, LANG_FORMAT(eDialogText, PrintCopies, "%d %d %d"), first, last, copies);
        else
            std::snprintf(line, sizeof line, LANG_FORMAT(eDialogText, PrintCopy, "%d %d"), first, copies);
    } else if (deviceCopies > 1) {
        std::snprintf(line, sizeof line, LANG_FORMAT(eDialogText, PrintTileCopies, "%d %d %d %d %d"), first, last,
                      copies, tile, tiles);
    } else {
        std::snprintf(line, sizeof line, LANG_FORMAT(eDialogText, PrintTileCopy, "%d %d %d %d"), first, copies, tile,
                      tiles);
    }
    WindowUpdateProgress(nullptr, line, 0, 1);
}

// A header or footer line: at the top (header) or above the bottom edge.
void PrintHeaderLine(HDC dc, const PrintHeaderSetting &setting, bool header)
{
    if (!setting.on)
        return;
    const int32_t mapMode = g_OutputContext.printMapMode;
    const int height = mapMode == MM_LOMETRIC    ? HEADER_HEIGHT_LOMETRIC
                       : mapMode == MM_HIENGLISH ? HEADER_HEIGHT_HIENGLISH
                                                 : HEADER_HEIGHT_OTHER;
    HFONT font = InitCreateFont(eDefaultNames[HEADER_FONT_NAME], height);
    if (!font)
        return;
    HGDIOBJ old = SelectObject(dc, font);
    auto text = std::make_unique<char[]>(PRINT_HEADER_TEXT_SIZE);
    Box11PrintHeaderText(setting.text, text.get(), PRINT_HEADER_TEXT_SIZE);
    const int length = lstrlenA(text.get());
    SIZE size{};
    GetTextExtentPoint32A(dc, text.get(), length, &size);
    const int32_t *p = g_PrintGeometry.printable;
    int x;
    if (setting.alignment == 0)
        x = p[0];
    else if (setting.alignment == 2)
        x = p[2] - size.cx - 1;
    else
        x = (p[2] - size.cx) / 2;
    const int y = header ? p[1] - size.cy : p[3] + 2 * size.cy;
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    TextOutA(dc, x, y, text.get(), length);
    SelectObject(dc, old);
    DeleteObject(font);
}

void SelectGrownClip(HDC dc)
{
    const int32_t *g = g_PrintGeometry.grown;
    HRGN region = CreateRectRgn(g[0], g[1], g[2], g[3]);
    SelectClipRgn(dc, region);
    DeleteObject(region);
}

// The clip region of a page: the user area through the context's matrix
// within the grown printable rectangle, or the grown rectangle alone.
void SelectPageClip(HDC dc, const PrintSettings &s)
{
    if (!s.userArea) {
        SelectGrownClip(dc);
        return;
    }
    POINT corners[2];
    double x, y;
    MatrixApply(g_OutputContext.current, s.userRect[0], s.userRect[3], &x, &y);
    corners[0] = {Round(x), Round(y)};
    MatrixApply(g_OutputContext.current, s.userRect[2], s.userRect[1], &x, &y);
    corners[1] = {Round(x), Round(y)};
    LPtoDP(dc, corners, 2);
    const int32_t *g = g_PrintGeometry.grown;
    const int left = std::max<int>(std::min(corners[0].x, corners[1].x), g[0]);
    const int top = std::max<int>(std::min(corners[0].y, corners[1].y), g[1]);
    const int right = std::min<int>(std::max(corners[0].x, corners[1].x), g[2]);
    const int bottom = std::min<int>(std::max(corners[0].y, corners[1].y), g[3]);
    HRGN region = CreateRectRgn(left, top, std::max(left, right), std::max(top, bottom));
    SelectClipRgn(dc, region);
    DeleteObject(region);
}

void EdgeMarks(HDC dc, bool tiles)
{
    const OutputContext &c = g_OutputContext;
    const double perMm = c.zoom / g_PrintGeometry.scale;
    const int n = Round(EDGE_LENGTH_MM * perMm);
    const int i = tiles ? Round(EDGE_INSET_TILES_MM * perMm) : 1;
    const int32_t *p = g_PrintGeometry.printable;
    const int L = p[0], T = p[1], R = p[2], B = p[3];
    HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
    const POINT marks[4][3] = {
        {{L + i + n, T - i}, {L + i, T - i}, {L + i, T - n - i}},
        {{R - n - i, T - i}, {R - i, T - i}, {R - i, T - n - i}},
        {{L + i + n, B + i}, {L + i, B + i}, {L + i, B + n + i}},
        {{R - n - i, B + i}, {R - i, B + i}, {R - i, B + n + i}},
    };
    for (const auto &mark : marks)
        Polyline(dc, mark, 3);
    SelectObject(dc, old);
}

// The device mode of the running job, for passes that change its copies.
std::unique_ptr<BYTE[]> s_JobMode;
int32_t s_JobCopies;

// 1 when the unit is printed on this page.
bool Printable(const Unit *u) { return (u->flags & UNIT_NOT_PRINTABLE) == 0; }

} // namespace

void PrintInit()
{
    g_Printer.devMode = nullptr;
    g_Printer.devModeSize = 0;
}

void PrintFreeDevMode()
{
    if (g_Printer.devMode)
        mem_free_temp(g_Printer.devMode, __FILE_NAME__, __LINE__);
    g_Printer.devMode = nullptr;
    g_Printer.devModeSize = 0;
}

int PrintGetDefaultPrinter(HWND owner)
{
    std::memset(&g_Printer.dialog, 0, sizeof g_Printer.dialog);
    g_Printer.driver[0] = g_Printer.device[0] = g_Printer.port[0] = 0;
    PRINTDLGA &pd = g_Printer.dialog;
    pd.lStructSize = PRINTDLG_SIZE;
    pd.hwndOwner = owner;
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&pd))
        PrintReportDlgError();
    else
        TakeOver(pd);
    return 1;
}

int PrintSetupDialog(HWND owner)
{
    PRINTDLGA &pd = g_Printer.dialog;
    pd.hwndOwner = owner;
    pd.lStructSize = PRINTDLG_SIZE;
    pd.Flags = PD_PRINTSETUP;
    if (pd.hDevMode && g_Printer.devMode) {
        auto *mode = static_cast<DEVMODEA *>(GlobalLock(pd.hDevMode));
        if (mode) {
            const SIZE_T room = GlobalSize(pd.hDevMode);
            std::memcpy(mode, g_Printer.devMode, std::min<SIZE_T>(room, g_Printer.devModeSize));
            GlobalUnlock(pd.hDevMode);
        }
    }
    if (!PrintDlgA(&pd))
        PrintReportDlgError();
    else
        TakeOver(pd);
    return 1;
}

int PrintSelectPrinter(const char *device)
{
    HANDLE printer = nullptr;
    if (!device || !OpenPrinterA(const_cast<char *>(device), &printer, nullptr))
        return 0;
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    auto info = std::make_unique<BYTE[]>(needed ? needed : 1);
    int done = 0;
    if (needed && GetPrinterA(printer, 2, info.get(), needed, &needed)) {
        const auto *p2 = reinterpret_cast<const PRINTER_INFO_2A *>(info.get());
        CopyName(g_Printer.driver, "WINSPOOL");
        CopyName(g_Printer.device, p2->pPrinterName);
        CopyName(g_Printer.port, p2->pPortName);
        StoreDevMode(p2->pDevMode);
        done = 1;
    }
    ClosePrinter(printer);
    return done;
}

void PrintGetDeviceName(char *out)
{
    lstrcpynA(out, g_Printer.device, PRINT_NAME_SIZE);
}

void PrintReportDlgError()
{
    const DWORD code = CommDlgExtendedError();
    for (const DlgError &e : DLG_ERRORS)
        if (e.code == code)
            InitErrorBox(__FILE_NAME__, __LINE__, e.name);
}

int PrintReadDeviceCaps(DEVMODEA *out, PrintSettings *settings)
{
    HANDLE printer = nullptr;
    if (!g_Printer.device[0] || !OpenPrinterA(g_Printer.device, &printer, nullptr)) {
        InitErrorBox(__FILE_NAME__, __LINE__, "OpenPrinter() failure.");
        return 0;
    }
    const LONG n = DocumentPropertiesA(nullptr, printer, g_Printer.device, nullptr, nullptr, 0);
    HGLOBAL memory = n > 0 ? GlobalAlloc(GPTR, 2 * n) : nullptr;
    if (!memory) {
        ClosePrinter(printer);
        InitErrorBox(__FILE_NAME__, __LINE__, "GlobalAlloc() failure.");
        return 0;
    }
    auto *first = static_cast<DEVMODEA *>(static_cast<void *>(memory));
    auto *merged = reinterpret_cast<DEVMODEA *>(reinterpret_cast<BYTE *>(memory) + n);
    DocumentPropertiesA(nullptr, printer, g_Printer.device, first, nullptr, DM_OUT_BUFFER);
    if (g_Printer.devMode)
        std::memcpy(first, g_Printer.devMode, std::min<LONG>(n, g_Printer.devModeSize));
    first->dmFields = FIELDS_BASE;
    first->dmCopies = static_cast<short>(std::clamp<int32_t>(settings->copies, 1, PRINT_COPIES_MAX));
    first->dmOrientation = settings->orient == 1 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (settings->draft) {
        first->dmPrintQuality = DMRES_DRAFT;
        first->dmFields |= DM_PRINTQUALITY;
    }
    if (DocumentPropertiesA(nullptr, printer, g_Printer.device, merged, first, DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK &&
        g_Printer.devMode)
        std::memcpy(g_Printer.devMode, merged, std::min<LONG>(n, g_Printer.devModeSize));
    if (out)
        std::memcpy(out, merged, n);
    ClosePrinter(printer);
    HDC dc = CreateDCA(g_Printer.driver, g_Printer.device, nullptr, merged);
    if (!dc) {
        GlobalFree(memory);
        InitErrorBox(__FILE_NAME__, __LINE__, "CreateDC() failure.");
        return 0;
    }
    PrintGeometry &g = g_PrintGeometry;
    g.logPixelsX = GetDeviceCaps(dc, LOGPIXELSX);
    g.logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    g.horzRes = GetDeviceCaps(dc, HORZRES);
    g.vertRes = GetDeviceCaps(dc, VERTRES);
    g.physicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
    g.physicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
    g.physicalOffsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    g.physicalOffsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    GlobalFree(memory);
    DeleteDC(dc);
    return 1;
}

BOOL CALLBACK PrintAbortProc(HDC, int)
{
    MSG msg;
    while (!WindowIsCancelled() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The program is asked to end: keep the request for the message
            // loop and stop the job.
            PostQuitMessage(static_cast<int>(msg.wParam));
            g_Progress.cancelled = 1;
            break;
        }
        {
            // The message may paint a drawing window.
            OutputContextKeeper keep;
            ListFilterKeeper filter;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        WindowUpdateProgress(nullptr, nullptr, -1, -1);
    }
    return WindowIsCancelled() ? FALSE : TRUE;
}

int PrintSetDeviceCopies(HDC dc, int32_t copies)
{
    if (!s_JobMode || copies == s_JobCopies)
        return 1;
    auto *mode = reinterpret_cast<DEVMODEA *>(s_JobMode.get());
    mode->dmCopies = static_cast<short>(copies);
    mode->dmFields |= DM_COPIES;
    if (!ResetDCA(dc, mode)) {
        PRINT_FAIL("ResetDC() failure.");
        return 0;
    }
    s_JobCopies = copies;
    return 1;
}

int PrintSheet(HDC dc, int32_t objectCount, uint32_t selectionOnly, int32_t copies, int32_t deviceCopies,
               int32_t tile, int32_t tiles, double x1, double y1, double x2, double y2)
{
    const PrintSettings &s = g_DrawingSettings.print;
    if (deviceCopies < 1)
        deviceCopies = 1;
    // Untiled pages count as page 1 of 1 for the header's page variables.
    const int32_t pageNumber = tiles > 0 ? tile : 1, pageCount = tiles > 0 ? tiles : 1;
    const uint32_t mask = selectionOnly ? UNIT_SELECTED : 0;
    for (int32_t first = 1; first <= copies; first += deviceCopies) {
        // The last pass makes only the copies still missing.
        const int32_t pass = std::min(deviceCopies, copies - first + 1);
        if (!PrintSetDeviceCopies(dc, pass))
            return -1;
        if (!PrintSetupPage(x1, y1, x2, y2))
            return 0;
        if (StartPage(dc) <= 0) {
            PRINT_FAIL("StartPage() failure.");
            return -1;
        }
        SetMapMode(dc, g_OutputContext.printMapMode);
        ProgressPass(first, copies, pass, tile, tiles);
        g_OutputContext.pageNumber = pageNumber;
        g_OutputContext.pageCount = pageCount;
        PrintHeaderLine(dc, s.header, true);
        PrintHeaderLine(dc, s.footer, false);
        SelectPageClip(dc, s);
        if (g_DrawingSettings.outputFrame.on)
            WindowUpdateProgress(eDialogText[44], nullptr, -1, -1);
        OutputBeginDevicePage(dc, mask, g_DrawingSettings.outputFrame.on);
        g_OutputContext.pageNumber = pageNumber;
        g_OutputContext.pageCount = pageCount;
        int32_t counted = 0;
        {
            ListFilterKeeper keep;
            for (Unit *u = MemListFirst(LIST_DRAWING, mask, mask, 1); u; u = MemListNext(u)) {
                if (!Printable(u))
                    continue;
                ++counted;
                char line[PROGRESS_LINE_SIZE];
                std::snprintf(line, sizeof line, eDialogText[3], counted, objectCount);
                WindowUpdateProgress(line, nullptr, counted, objectCount);
                OutputDrawObject(dc, u);
                if (WindowIsCancelled())
                    return 0;
            }
        }
        WindowUpdateProgress(nullptr, nullptr, 1, 1);
        if (s.userArea)
            SelectGrownClip(dc);
        if (g_DrawingSettings.outputGrid.on) {
            WindowUpdateProgress(eDialogText[37], nullptr, -1, -1);
            ScreenDrawGridDevice(dc, g_ActiveWindow, selectionOnly);
        }
        if (s.edges)
            EdgeMarks(dc, tiles > 0);
        g_OutputContext.pageNumber = g_OutputContext.pageCount = 1;
        WindowUpdateProgress(eDialogText[2], nullptr, 1, 1);
        OutputFreeGdiCache();
        if (EndPage(dc) <= 0) {
            PRINT_FAIL("EndPage() failure.");
            return -1;
        }
        if (WindowIsCancelled())
            return 0;
    }
    return 1;
}

int PrintJob(HWND owner, const char *title, int32_t page, int32_t objectCount, uint32_t selectionOnly)
{
    (void)owner;
    PrintSettings &s = g_DrawingSettings.print;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (s.mode == PRINT_MODE_SHEET) {
        const int32_t p = page >= 0 && page < PAGE_SLOTS ? page : 0;
        const double *f = g_PageDefs.frames[p];
        s.orient = (f[2] - f[0]) > (f[3] - f[1]) ? 1 : 0;
    }
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    auto *work = reinterpret_cast<DEVMODEA *>(g_Universal1);
    if (!PrintReadDeviceCaps(work, &s)) {
        PRINT_FAIL(g_Printer.device[0] ? g_Printer.device : "-");
        return 0;
    }
    int32_t deviceCopies = work->dmCopies;
    const int capability = DeviceCapabilitiesA(g_Printer.device, g_Printer.port, DC_COPIES, nullptr, nullptr);
    if (capability >= 0)
        deviceCopies = std::min<int32_t>(deviceCopies, capability);
    const int32_t tiles = PrintComputeLayout(&s, page);
    if (tiles < 1) {
        AlertOk(nullptr, eAlertTextOK[79]);
        return 0;
    }
    HDC dc = CreateDCA(g_Printer.driver, g_Printer.device, nullptr, work);
    const size_t modeSize = work->dmSize + work->dmDriverExtra;
    s_JobMode = std::make_unique<BYTE[]>(modeSize);
    std::memcpy(s_JobMode.get(), work, modeSize);
    s_JobCopies = work->dmCopies;
    scratch.Release();
    if (!dc) {
        PRINT_FAIL("CreateDC() failure.");
        return 0;
    }
    if (SetAbortProc(dc, PrintAbortProc) <= 0) {
        DeleteDC(dc);
        PRINT_FAIL("SetAbortProc() failure.");
        return 0;
    }
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = title;
    info.lpszOutput = s.toFile ? s.fileName : nullptr;
    if (StartDocA(dc, &info) <= 0) {
        DeleteDC(dc);
        PRINT_FAIL("StartDoc() failure.");
        return 0;
    }
    SetMapMode(dc, g_OutputContext.printMapMode);
    PrintGeometry &g = g_PrintGeometry;
    DPtoLP(dc, reinterpret_cast<POINT *>(g.centre), 1);
    DPtoLP(dc, reinterpret_cast<POINT *>(g.printable), 2);

    int result = 1;
    const int32_t copies = std::max<int32_t>(s.copies, 1);
    if (g.mode == PRINT_MODE_TILES) {
        int32_t tile = 0;
        double y = g.gridOrigin[1];
        for (int32_t row = 0; row < g.rows && result > 0; ++row, y -= g.tileHeight) {
            double x = g.gridOrigin[0];
            for (int32_t column = 0; column < g.columns && result > 0; ++column, x += g.tileWidth)
                result = PrintSheet(dc, objectCount, selectionOnly, copies, deviceCopies, ++tile, tiles, x,
                                    y - g.tileHeight, x + g.tileWidth, y);
        }
    } else {
        double r[4];
        if (g.mode == PRINT_MODE_FIT) {
            std::memcpy(r, g.area, sizeof r);
        } else {
            const int32_t p = page >= 0 && page < PAGE_SLOTS ? page : 0;
            std::memcpy(r, g_PageDefs.frames[p], sizeof r);
        }
        result = PrintSheet(dc, objectCount, selectionOnly, copies, deviceCopies, 0, 0, r[0], r[1], r[2], r[3]);
    }
    s_JobMode.reset();
    if (result > 0) {
        if (EndDoc(dc) <= 0)
            InitErrorBox(__FILE_NAME__, __LINE__, "EndDoc() failure.");
        DeleteDC(dc);
        return 1;
    }
    if (result == 0)
        AbortDoc(dc);
    DeleteDC(dc);
    return 0;
}

int PrintCommand(HWND owner, const char *fileName)
{
    PrintSettings &s = g_DrawingSettings.print;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const int32_t active = g_PageDefs.active >= 0 && g_PageDefs.active < PAGE_SLOTS ? g_PageDefs.active : 0;
    if (s.mode == PRINT_MODE_SHEET) {
        const double *f = g_PageDefs.frames[active];
        s.orient = (f[2] - f[0]) > (f[3] - f[1]) ? 1 : 0;
    }
    const char *caption = eHeadlineText[17];
    if (!g_PrintLayoutDialog(owner, caption))
        return 1;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const uint32_t selectionOnly = s.selOnly;
    const int32_t objectCount = OutputGetRectangle(g_OutputContext.outputRect, selectionOnly ? UNIT_SELECTED : 0);
    if (objectCount < 1) {
        AlertSM7(owner);
        return 1;
    }
    char folder[MAX_PATH], name[MAX_PATH];
    name[0] = 0;
    ZVI_FileSplitName(fileName ? fileName : "", folder, name);
    char text[PROGRESS_LINE_SIZE];
    std::snprintf(text, sizeof text,
                  selectionOnly ? LANG_FORMAT(eDialogText, PrintSelection, "%s") : LANG_FORMAT(eDialogText, PrintDrawing, "%s"),
                  name);
    const int shown = WindowShowProgress(eHeadlineText[17], text, 1);

    const int32_t copies = s.copies;
    const int32_t repeats = s.pagesSwitch ? std::max<int32_t>(copies, 1) : 1;
    if (s.pagesSwitch)
        s.copies = 1;
    char title[PROGRESS_LINE_SIZE];
    std::snprintf(title, sizeof title, "%s - %s", name, eStatusTexts[12]);

    int ok = 1;
    for (int32_t repeat = 0; repeat < repeats && ok; ++repeat) {
        if (s.userArea || s.mode != PRINT_MODE_SHEET || s.pages[0] == PRINT_PAGES_ACTIVE) {
            ok = PrintJob(owner, title, active, objectCount, selectionOnly);
            continue;
        }
        int32_t first = 0, last = g_PageDefs.count;
        if (s.pages[0] == PRINT_PAGES_RANGE) {
            first = std::max<int32_t>(s.pages[1] - 1, 0);
            last = std::min<int32_t>(s.pages[2], g_PageDefs.count);
        }
        for (int32_t page = first; page < last && ok; ++page)
            ok = PrintJob(owner, title, page, objectCount, selectionOnly);
    }
    if (shown)
        WindowHideProgress();
    s.copies = copies;
    return ok;
}
