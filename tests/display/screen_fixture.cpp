#include "screen_fixture.h"

#include <cmath>

#include "app/darad4.h"
#include "app/init.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "commands/command_state.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "display/output.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "display_setup.h"
#include "test_dib.h"

namespace {

const char *const TEST_CLASS = "DARAD4_TestDrawWClass1";

ATOM RegisterTestClass()
{
    static ATOM atom = 0;
    if (atom)
        return atom;
    WNDCLASSA wc{};
    wc.lpfnWndProc = AppDrawWndProc1;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = TEST_CLASS;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    atom = RegisterClassA(&wc);
    return atom;
}

} // namespace

void ScreenWindowTest::SetUp()
{
    g_Debugging = 0;
    savedAppActive_ = g_AppActive;
    g_AppActive = 0;
    g_StartScreen = 0;
    g_Closing = 0;
    DisplayResetDrawing();
    g_DrawingSettings.colorCross[0] = 7; // black
    g_DrawingSettings.colorCross[1] = 8;
    ASSERT_NO_FATAL_FAILURE(DisplayPrepareStorageAndGdi());
    g_OutputPaintHook = nullptr;
    g_Options.rulerVisible = 0;
    g_Options.buttonVisible = 0;
    g_Options.scrollVisible = 0;
    g_Options.viewVisible = 0;
    CommandResetStates();
    g_LocalData.snap.switches[0] = 0;
    g_CursorPos = CursorPos{0, 0, 0, 0, 0.0, 0.0, 0.0, 0.0};

    WindowComputeScreenMetrics(1600, 1200, 400.0, 300.0, &g_ScreenMetrics);
    ASSERT_NE(RegisterTestClass(), 0);
    g_DrawWindowCount = 1;
    g_ActiveWindow = 0;
    g_PanelWindow = 0;
    RECT r{0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT};
    AdjustWindowRect(&r, WS_POPUP, FALSE);
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST, TEST_CLASS, "drawing", WS_POPUP, 0, 0, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hwnd_, nullptr);
    WindowInitRecord(&g_DrawWindows[0], hwnd_, 0);
    WindowUpdateAllSystems();
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 1.0);
    g_RelayoutPending = 0;
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
}

void ScreenWindowTest::TearDown()
{
    ScreenHideCrosshairs();
    g_OutputPaintHook = nullptr;
    g_OutputAbortHook = nullptr;
    if (hwnd_)
        DestroyWindow(hwnd_);
    WindowInitRecord(&g_DrawWindows[0], nullptr, 0);
    MemFreeChunks();
    MemInitLists();
    g_AppActive = savedAppActive_;
}

POINT ScreenWindowTest::Pixel(double x, double y)
{
    double px, py;
    MatrixApply(W().MatrixMMToPixel, x, y, &px, &py);
    return POINT{static_cast<LONG>(std::floor(px + 0.5)), static_cast<LONG>(std::floor(py + 0.5))};
}

std::vector<uint32_t> ScreenWindowTest::Grab()
{
    GdiFlush();
    HDC window = GetDC(hwnd_);
    std::vector<uint32_t> out;
    {
        TestDib memory(TEST_AREA_WIDTH, TEST_AREA_HEIGHT, window);
        BitBlt(memory.dc, 0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT, window, 0, 0, SRCCOPY);
        GdiFlush();
        out.assign(memory.bits, memory.bits + TEST_AREA_WIDTH * TEST_AREA_HEIGHT);
    }
    for (uint32_t &v : out)
        v &= 0xFFFFFF;
    ReleaseDC(hwnd_, window);
    return out;
}

COLORREF ScreenWindowTest::PixelColour(int x, int y)
{
    GdiFlush();
    HDC dc = GetDC(hwnd_);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd_, dc);
    return c;
}

void ScreenWindowTest::PaintNow()
{
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}
