// The running program draws what the user clicks: with the line command
// (running at start) two clicks in the drawing window leave a line at the
// pixels the window's matrix gives, and the rubber band shows it first.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/system.h"
#include "common/test_files.h"
#include "program_run.h"

namespace {

constexpr DWORD START_WAIT_MS = 10000;

LPARAM At(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

bool WhiteAt(HWND window, HDC screen, POINT p)
{
    ClientToScreen(window, &p);
    return GetPixel(screen, p.x, p.y) == RGB(255, 255, 255);
}

TEST(DrawProgram, TwoClicksDrawALineWhereTheMatrixPutsIt)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    StartTestDrawing(); // an empty A3 page centred on the zero point
    const TestTempFile drawing("darad4-draw-fixture.zvd");
    ASSERT_TRUE(WriteTestDrawing(drawing.Path()));
    Program p;
    ASSERT_TRUE(p.Start(std::string("\"") + drawing.Path() + "\""));
    ASSERT_TRUE(p.WaitReady());
    HWND draw = FindWindowExA(p.main, nullptr, "DARAD4_DrawWClass1", nullptr);
    ASSERT_NE(draw, nullptr);
    const FittedPage page = FitA3Page(draw);
    // The probes lie away from the crosshair through the cursor.
    const POINT start = page.Pixel(-120.0, -60.0), end = page.Pixel(120.0, 60.0);
    const POINT middle = page.Pixel(0.0, 0.0), quarter = page.Pixel(-60.0, -30.0), off = page.Pixel(0.0, -40.0);
    HDC screen = GetDC(nullptr);
    // Until the window shows its page: the probes visible and white.
    bool ready = false;
    for (DWORD t0 = GetTickCount(); !ready && GetTickCount() - t0 < START_WAIT_MS; Sleep(100)) {
        WaitForInputIdle(p.process.hProcess, START_WAIT_MS);
        ready = true;
        for (POINT q : {middle, quarter, off})
            ready = ready && ClientPointVisible(draw, q.x, q.y) && WhiteAt(draw, screen, q);
    }
    if (!ready) {
        ReleaseDC(nullptr, screen);
        GTEST_SKIP() << "a tool window or box lies over the probes: " << ProgramBoxText(p);
    }

    // The user works in the program: it is the active application.
    SendMessageA(p.main, WM_ACTIVATEAPP, TRUE, 0);
    SendMessageA(draw, WM_MOUSEMOVE, 0, At(start));
    SendMessageA(draw, WM_LBUTTONDOWN, MK_LBUTTON, At(start));
    SendMessageA(draw, WM_LBUTTONUP, 0, At(start));
    SendMessageA(draw, WM_MOUSEMOVE, 0, At(end));
    // The X server shows what the window drew a little later: under load
    // the first look can come before the rubber band reached the screen.
    int marked = 0;
    for (DWORD t0 = GetTickCount(); !marked && GetTickCount() - t0 < START_WAIT_MS; Sleep(marked ? 0 : 50))
        for (LONG dx = -1; dx <= 1; ++dx)
            for (LONG dy = -1; dy <= 1; ++dy)
                marked += !WhiteAt(draw, screen, {middle.x + dx, middle.y + dy});
    EXPECT_GT(marked, 0) << "the rubber band runs to the cursor";
    SendMessageA(draw, WM_LBUTTONDOWN, MK_LBUTTON, At(end));
    SendMessageA(draw, WM_LBUTTONUP, 0, At(end));

    EXPECT_TRUE(ScreenBlackNear(draw, screen, middle.x, middle.y)) << "the new line";
    EXPECT_TRUE(ScreenBlackNear(draw, screen, quarter.x, quarter.y));
    EXPECT_FALSE(ScreenBlackNear(draw, screen, off.x, off.y)) << "and nothing beside it";
    ReleaseDC(nullptr, screen);
    EXPECT_FALSE(p.Exited());
    EXPECT_EQ(p.CloseWithoutSaving(), 0);
}

} // namespace
