// Printing: the layout arithmetic on set device values, and whole print jobs
// on a PostScript printer that writes files, read back with Ghostscript.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/init.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "app/window_progress.h"
#include "common/test_objects.h"
#include "common/test_printer.h"
#include "common/test_support.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "dialogs/box11.h"
#include "display/output.h"
#include "display/print.h"
#include "display_setup.h"
#include "language/language.h"

namespace {

constexpr double PT_PER_MM = 72.0 / 25.4;

// An A4 printer of 600 dpi with 3 mm (71 pixels) unprintable edges.
void SetA4Device(PrintGeometry *g)
{
    g->logPixelsX = g->logPixelsY = 600;
    g->physicalWidth = 4961;
    g->physicalHeight = 7016;
    g->physicalOffsetX = g->physicalOffsetY = 71;
    g->horzRes = 4961 - 2 * 71;
    g->vertRes = 7016 - 2 * 71;
}

// A device whose printable area is `mm` millimetres square at 100 dpi.
void SetSquareDevice(PrintGeometry *g, double mm)
{
    const int pixels = int(std::lround(mm / 25.4 * 100));
    g->logPixelsX = g->logPixelsY = 100;
    g->physicalWidth = g->physicalHeight = g->horzRes = g->vertRes = pixels;
    g->physicalOffsetX = g->physicalOffsetY = 0;
}

std::vector<std::string> g_Alerts;
uint32_t RecordAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    g_Alerts.push_back(text ? text : "");
    return code1;
}

uint32_t ConfirmWithoutDialog(HWND, const char *) { return 1; }

class PrintTest : public testing::Test {
protected:
    void SetUp() override
    {
        DisplayResetDrawing();
        ASSERT_NO_FATAL_FAILURE(DisplayPrepareStorageAndGdi());
        g_Options.coordRangeDRV = 30720;
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = RecordAlert;
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        g_Alerts.clear();
        // One A3 landscape page from (0, 0).
        g_PageDefs.count = 1;
        g_PageDefs.active = 0;
        const double a3[4] = {0, 0, 420, 297};
        std::memcpy(g_PageDefs.frames[0], a3, sizeof a3);
        PrintSettings &p = g_DrawingSettings.print;
        std::memset(p.border, 0, sizeof p.border);
        g_DrawingSettings.outputFrame.on = 0;
        g_DrawingSettings.outputGrid.on = 0;
        g_ActiveWindow = 0;
        WindowResetUnits(&g_DrawWindows[0]);
        WindowSelectCurrent();
    }
    void TearDown() override
    {
        g_AlertAnswerHook = savedHook_;
        g_LanguageModule = savedModule_;
        g_PrintLayoutDialog = Box11PrintLayout;
    }
    AlertAnswerHook savedHook_ = nullptr;
    HMODULE savedModule_ = nullptr;
};

TEST_F(PrintTest, MarginsAreLimitedToHalfThePrintableSizeAndClampedToTheDevice)
{
    PrintGeometry &g = g_PrintGeometry;
    SetA4Device(&g);
    PrintSettings s = g_DrawingSettings.print;
    const double borders[4] = {1000, 0, 0, 0}; // left, bottom, right, top
    std::memcpy(s.border, borders, sizeof borders);
    ASSERT_EQ(PrintComputeLayout(&s, 0), 1);
    EXPECT_EQ(g.printable[0], -71 + g.horzRes / 2) << "left margin at most half of HORZRES";
    EXPECT_EQ(g.printable[1], 0) << "the unprintable edge is clamped to the device";
    EXPECT_EQ(g.printable[2], g.horzRes - 1);
    EXPECT_EQ(g.grown[0], g.printable[0] - 2);
    EXPECT_EQ(g.grown[3], g.printable[3] + 2);
}

TEST_F(PrintTest, MappingModeSwitchesAt762mmAndLayoutsOf3072mmAreRefused)
{
    struct Case {
        double mm;
        int tiles;
        int32_t mode;
    } cases[] = {{761.0, 1, MM_HIENGLISH}, {763.0, 1, MM_LOMETRIC}, {3071.0, 1, MM_LOMETRIC}, {3073.0, 0, -1}};
    for (const Case &c : cases) {
        SetSquareDevice(&g_PrintGeometry, c.mm);
        g_OutputContext.printMapMode = -1;
        PrintSettings s = g_DrawingSettings.print;
        EXPECT_EQ(PrintComputeLayout(&s, 0), c.tiles) << c.mm << " mm";
        EXPECT_EQ(g_OutputContext.printMapMode, c.mode) << c.mm << " mm";
    }
}

TEST_F(PrintTest, TilesOverlapBy1mmAndCoverTheArea)
{
    SetSquareDevice(&g_PrintGeometry, 101.0); // the printable side comes out just below 101 mm
    TestNewLine(0, 0, 300, 150);
    PrintSettings s = g_DrawingSettings.print;
    s.mode = PRINT_MODE_TILES;
    s.scale = 1.0;
    const int tiles = PrintComputeLayout(&s, 0);
    const PrintGeometry &g = g_PrintGeometry;
    const double printableMm = (g.printable[2] - g.printable[0]) / (100 / 25.4);
    EXPECT_NEAR(g.tileWidth, printableMm - 1.0, 1e-9) << "tiles overlap by 1 mm";
    EXPECT_EQ(g.columns, int(std::floor(300 / g.tileWidth)) + 1);
    EXPECT_EQ(g.rows, int(std::floor(150 / g.tileHeight)) + 1);
    EXPECT_EQ(tiles, g.rows * g.columns);
    EXPECT_GE(g.gridWidth, 300.0);
    EXPECT_DOUBLE_EQ(g.gridOrigin[0], -0.5);
    EXPECT_DOUBLE_EQ(g.gridOrigin[1], 150.5);
}

TEST_F(PrintTest, TilesOf1mmOrLessAreRefusedAndTheTileCountIsCapped)
{
    TestNewLine(0, 0, 300, 150);
    SetA4Device(&g_PrintGeometry);
    PrintSettings s = g_DrawingSettings.print;
    s.mode = PRINT_MODE_TILES;
    s.scale = 1000.0; // 0.2 mm of the drawing across the paper
    EXPECT_EQ(PrintComputeLayout(&s, 0), 0) << "a tile no longer than the overlap never advances";
    s.scale = 100.0; // about 1.9 mm tiles: 0.9 mm each after the overlap, far over the cap
    EXPECT_EQ(PrintComputeLayout(&s, 0), 0) << "more than " << PRINT_TILES_MAX << " tiles";
    s.scale = 1.0;
    EXPECT_GT(PrintComputeLayout(&s, 0), 0);
}

TEST_F(PrintTest, FitUsesTheWidthAloneForAFlatAreaAndSheetCentresThePageOnThePaper)
{
    SetA4Device(&g_PrintGeometry);
    TestNewLine(10, 50, 110, 50);
    PrintSettings s = g_DrawingSettings.print;
    s.mode = PRINT_MODE_FIT;
    ASSERT_EQ(PrintComputeLayout(&s, 0), 1);
    const double W = (g_PrintGeometry.printable[2] - g_PrintGeometry.printable[0]) / (600 * 0.03937007874016);
    EXPECT_NEAR(s.scale, W * 0.98 / 100.0, 1e-9) << "the scale is written back into the settings";

    s.mode = PRINT_MODE_SHEET;
    s.scale = 1.0;
    const double unequal[4] = {20, 0, 0, 5};
    std::memcpy(s.border, unequal, sizeof unequal);
    ASSERT_EQ(PrintComputeLayout(&s, 0), 1);
    const PrintGeometry &g = g_PrintGeometry;
    const double px = 600 * 0.03937007874016;
    EXPECT_NEAR(g.gridOrigin[0], (g.centre[0] - (g.printable[0] + g.printable[2]) / 2) / px + 210, 1e-9);
}

TEST_F(PrintTest, HeaderTextsExpandPageVariablesAndStopAtTheBuffer)
{
    g_OutputContext.pageNumber = 3;
    g_OutputContext.pageCount = 7;
    char out[64];
    EXPECT_STREQ(Box11PrintHeaderText("Sheet %P2", out, sizeof out), " Sheet 3 ");
    EXPECT_STREQ(Box11PrintHeaderText("", out, sizeof out), "  ");
    EXPECT_STREQ(Box11PrintHeaderText("100%%", out, sizeof out), " 100% ");
    EXPECT_STREQ(Box11PrintHeaderText("Sheet %P2", out, 9), " Sheet 3") << "no closing blank without room";
    EXPECT_STREQ(Box11PrintHeaderText("Sheet %P2", out, 8), " Sheet ") << "the variable does not fit";
}

// A whole job into a PostScript file, read back by Ghostscript.
class PrintJobTest : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        if (HasFatalFailure())
            return;
        if (TestGhostscriptPath().empty())
            GTEST_SKIP() << "Ghostscript (/usr/bin/gs) is not installed: the printed PostScript is not checked";
        ASSERT_EQ(TestAddPostScriptPrinter(), 1);
        PrintInit();
        PrintGetDefaultPrinter(nullptr);
        ASSERT_STREQ(g_Printer.device, TEST_PRINTER_NAME);
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        GetTempFileNameA(dir, "prt", 0, file_);
        PrintSettings &p = g_DrawingSettings.print;
        p.toFile = 1;
        lstrcpynA(p.fileName, file_, SYSTEM_PATH_SIZE);
        p.copies = 1;
        p.orient = 0;
        g_PrintLayoutDialog = ConfirmWithoutDialog;
    }
    void TearDown() override
    {
        DeleteFileA(file_);
        PrintFreeDevMode();
        PrintTest::TearDown();
    }
    std::vector<TestPageBox> Pages()
    {
        std::vector<TestPageBox> boxes;
        std::string log;
        EXPECT_EQ(TestGhostscriptBoxes(file_, &log, &boxes), 1) << log;
        return boxes;
    }
    char file_[MAX_PATH] = "";
};

TEST_F(PrintJobTest, SheetModePutsTheLineWhereThePageFrameCentredOnThePaperHasIt)
{
    // An A4 portrait page; the line 50 mm to 150 mm across, 100 mm up.
    const double a4[4] = {0, 0, 210, 297};
    std::memcpy(g_PageDefs.frames[0], a4, sizeof a4);
    TestNewLine(50, 100, 150, 100);
    g_DrawingSettings.print.mode = PRINT_MODE_SHEET;
    g_DrawingSettings.print.scale = 1.0;
    g_DrawingSettings.print.pages[0] = PRINT_PAGES_ALL;
    ASSERT_EQ(PrintCommand(nullptr, "C:\\drawings\\line.zvd"), 1);
    EXPECT_TRUE(g_Alerts.empty()) << g_Alerts.front();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    const double tolerance = 1.5; // points: the line's width and rounding
    EXPECT_NEAR(pages[0].x1, 50 * PT_PER_MM, tolerance);
    EXPECT_NEAR(pages[0].x2, 150 * PT_PER_MM, tolerance);
    EXPECT_NEAR((pages[0].y1 + pages[0].y2) / 2, 100 * PT_PER_MM, tolerance);
}

TEST_F(PrintJobTest, AnA3DrawingInTilesOnA4GivesOnePagePerTile)
{
    TestNewLine(0, 0, 420, 297);
    TestNewLine(0, 297, 420, 0);
    PrintSettings &p = g_DrawingSettings.print;
    p.mode = PRINT_MODE_TILES;
    p.scale = 1.0;
    p.edges = 1;
    ASSERT_EQ(PrintCommand(nullptr, "C:\\drawings\\a3.zvd"), 1);
    const int32_t tiles = g_PrintGeometry.rows * g_PrintGeometry.columns;
    EXPECT_EQ(tiles, 6) << "3 columns of A4 width and 2 rows of A4 height";
    EXPECT_EQ(Pages().size(), size_t(tiles));
}

TEST_F(PrintJobTest, CollatedCopiesRepeatTheWholeJob)
{
    TestNewLine(10, 10, 100, 100);
    PrintSettings &p = g_DrawingSettings.print;
    p.mode = PRINT_MODE_FIT;
    p.copies = 3;
    p.pagesSwitch = 1;
    ASSERT_EQ(PrintCommand(nullptr, "C:\\drawings\\copies.zvd"), 1);
    EXPECT_EQ(p.copies, 3) << "the copies value is restored";
    // The file holds the last of the three jobs, each of one copy.
    EXPECT_EQ(Pages().size(), 1u);
}

TEST_F(PrintJobTest, PassesOfDeviceCopiesMakeExactlyTheCopiesAsked)
{
    TestNewLine(10, 10, 100, 100);
    g_DrawingSettings.print.mode = PRINT_MODE_FIT;
    g_DrawingSettings.print.copies = 5;
    // Count the pages the passes start, and the copies asked of the driver.
    ASSERT_EQ(PrintReadDeviceCaps(nullptr, &g_DrawingSettings.print), 1);
    ASSERT_GE(PrintComputeLayout(&g_DrawingSettings.print, 0), 1);
    HDC dc = CreateDCA(g_Printer.driver, g_Printer.device, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = "copies";
    info.lpszOutput = file_;
    ASSERT_GT(StartDocA(dc, &info), 0);
    SetMapMode(dc, g_OutputContext.printMapMode);
    const double *a = g_PrintGeometry.area;
    EXPECT_EQ(PrintSheet(dc, 1, 0, 5, 2, 0, 0, a[0], a[1], a[2], a[3]), 1);
    EndDoc(dc);
    DeleteDC(dc);
    EXPECT_EQ(Pages().size(), 3u) << "passes of 2, 2 and 1 copies";
}

TEST_F(PrintJobTest, NothingSelectedGivesTheNothingToPrintAlertAndNoFile)
{
    TestNewLine(10, 10, 100, 100);
    DeleteFileA(file_);
    g_DrawingSettings.print.selOnly = 1;
    ASSERT_EQ(PrintCommand(nullptr, "C:\\drawings\\none.zvd"), 1);
    ASSERT_EQ(g_Alerts.size(), 1u);
    EXPECT_EQ(g_Alerts[0], eAlertTextSM[7]);
    EXPECT_EQ(GetFileAttributesA(file_), INVALID_FILE_ATTRIBUTES);
}

// The job reports the device's failure in the diagnostic box and leaves the
// message to the print command, which says that nothing was printed.
TEST_F(PrintJobTest, APrinterThatCannotBeOpenedEndsTheJobWithADiagnostic)
{
    TestNewLine(10, 10, 100, 100);
    lstrcpynA(g_Printer.device, "no such printer", PRINT_NAME_SIZE);
    const InitErrorBoxSink savedSink = g_InitErrorBoxSink;
    const uint32_t savedDebugging = g_Debugging;
    g_InitErrorBoxSink = TestCaptureDiagnostic;
    g_Debugging = DEBUG_INTERNAL;
    TestCapturedDiagnostics().clear();
    EXPECT_EQ(PrintJob(nullptr, "job", 0, 1, 0), 0);
    g_InitErrorBoxSink = savedSink;
    g_Debugging = savedDebugging;
    EXPECT_TRUE(g_Alerts.empty());
    // The device-capability reader reports the failed open, the job names the printer.
    ASSERT_FALSE(TestCapturedDiagnostics().empty());
    EXPECT_NE(TestCapturedDiagnostics().back().find("no such printer"), std::string::npos);
}

TEST_F(PrintJobTest, TheAbortProcedureDispatchesWhatItTakesAndKeepsAQuitRequest)
{
    static int received;
    received = 0;
    struct Local {
        static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
        {
            if (m == WM_USER + 7)
                ++received;
            return DefWindowProcA(h, m, w, l);
        }
    };
    WNDCLASSA wc{};
    wc.lpfnWndProc = Local::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PrintAbortProbe";
    RegisterClassA(&wc);
    HWND probe = CreateWindowA("PrintAbortProbe", "", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(probe, nullptr);
    WindowClearCancel();
    PostMessageA(probe, WM_USER + 7, 0, 0);
    EXPECT_EQ(PrintAbortProc(nullptr, 0), TRUE);
    EXPECT_EQ(received, 1) << "the message taken off the queue reached its window";

    PostQuitMessage(3);
    EXPECT_EQ(PrintAbortProc(nullptr, 0), FALSE) << "a quit request stops the job";
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "and stays for the message loop";
    EXPECT_EQ(msg.wParam, 3u);
    WindowClearCancel();
    DestroyWindow(probe);
    UnregisterClassA("PrintAbortProbe", wc.hInstance);
}

} // namespace
