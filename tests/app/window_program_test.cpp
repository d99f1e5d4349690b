// The program started with a drawing on its command line shows it: the
// drawing's lines lie at the pixels that the first drawing window's matrix
// gives for the active page fitted into the window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/init.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "common/test_files.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "files/file.h"
#include "files/zvi.h"
#include "program_run.h"

namespace {

constexpr int MIN_VISIBLE_POINTS = 4; // points on the lines that no tool window hides

// The text of a box the program shows, for the failure message.
std::string BoxText(const Program &run)
{
    HWND box = run.Find("#32770", true);
    if (!box)
        return "";
    char text[512] = "";
    GetDlgItemTextA(box, 700, text, sizeof text);
    return text;
}

// Whether the screen shows the drawing window at a client point: tool
// windows of the program may lie over it.
bool Visible(HWND window, LONG x, LONG y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    return WindowFromPoint(p) == window;
}

// The screen's pixel at a client point of the window: another process's
// window surface is read where the screen shows it. A line may fall on
// either of two pixels where its position rounds at .5.
bool IsBlack(HWND window, HDC screen, LONG x, LONG y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    for (LONG dx = -1; dx <= 1; ++dx)
        for (LONG dy = -1; dy <= 1; ++dy)
            if (GetPixel(screen, p.x + dx, p.y + dy) == RGB(0, 0, 0))
                return true;
    return false;
}

TEST(WindowProgram, ShowsTheDrawingNamedOnTheCommandLine)
{
    // The fixture: a fresh drawing (A3 landscape page centred on the zero
    // point) with two lines, written as a drawing file.
    g_Debugging = 0;
    ASSERT_EQ(ZVI_InitFileBuffers(), 1);
    MemFreeChunks();
    MemInitLists();
    ASSERT_EQ(MemEnlargeList(), 1);
    if (!g_Universal1) {
        ASSERT_EQ(MemInitWork(), 1);
    }
    g_ListFilter = {0, 0, 0};
    FileClearDrawing();
    TestNewLine(-150.0, -100.0, 150.0, -100.0);
    TestNewLine(100.0, -120.0, 100.0, 120.0);
    const TestTempFile drawing("darad4-window-fixture.zvd");
    const std::string path = drawing.Path();
    ASSERT_EQ(FileWriteDrawing(nullptr, path.c_str(), FILE_SECTIONS_ALL | FILE_MODE_QUIET), 1);
    FileClearDrawing();
    MemFreeChunks();
    MemInitLists();

    Program run;
    ASSERT_TRUE(run.Start("\"" + path + "\""));

    HWND main = nullptr, draw = nullptr;
    const DWORD start = GetTickCount();
    bool shown = false;
    std::string detail;
    while (GetTickCount() - start < START_TIMEOUT_MS && !shown) {
        Sleep(100);
        main = run.Find("DARAD4_MainWClass");
        draw = main ? FindWindowExA(main, nullptr, "DARAD4_DrawWClass1", nullptr) : nullptr;
        if (!draw || !IsWindowVisible(draw))
            continue;
        WaitForInputIdle(run.process.hProcess, START_TIMEOUT_MS);
        // The window's matrix: the active page fitted into the drawing area
        // (square pixels: the monitor size cancels out).
        SystemReadProfile();
        RECT client;
        GetClientRect(draw, &client);
        g_DrawWindows[0].hwnd = nullptr;
        WindowComputeAreasFrom(0, client);
        const RECT a = g_DrawWindows[0].areaRect;
        const double s1 = (a.right - a.left) * WINDOW_FIT_SHARE / 420.0;
        const double s2 = (a.bottom - a.top) * WINDOW_FIT_SHARE / 297.0;
        const double scale = std::fmin(s1, s2);
        const double cx = (a.left + a.right) * 0.5, cy = (a.top + a.bottom) * 0.5;
        auto pixel = [&](double x, double y) {
            return POINT{static_cast<LONG>(std::floor(cx + x * scale + 0.5)),
                         static_cast<LONG>(std::floor(cy - y * scale + 0.5))};
        };
        HDC dc = GetDC(nullptr);
        int black = 0, total = 0;
        std::vector<POINT> onLines;
        for (double x : {-140.0, -100.0, -50.0, 0.0, 60.0, 140.0})
            onLines.push_back(pixel(x, -100.0));
        for (double y : {-110.0, -40.0, 30.0, 80.0, 110.0})
            onLines.push_back(pixel(100.0, y));
        for (const POINT &p : onLines) {
            if (!Visible(draw, p.x, p.y))
                continue;
            black += IsBlack(draw, dc, p.x, p.y);
            ++total;
        }
        // Away from the lines the drawing area is empty.
        const POINT empty = pixel(-20.0, 50.0);
        const bool clear = !Visible(draw, empty.x, empty.y) || !IsBlack(draw, dc, empty.x, empty.y);
        ReleaseDC(nullptr, dc);
        shown = total >= MIN_VISIBLE_POINTS && black == total && clear;
        detail = "area " + std::to_string(a.left) + "," + std::to_string(a.top) + "," + std::to_string(a.right) + "," +
                 std::to_string(a.bottom) + " scale " + std::to_string(scale) + " black " + std::to_string(black) +
                 "/" + std::to_string(total) + " rulers " + std::to_string(g_Options.rulerVisible);
    }
    EXPECT_TRUE(shown) << "the drawing's lines were not found where the window's matrix puts them"
                       << "; box: " << BoxText(run) << "; " << detail;
    if (main)
        PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(run.process.hProcess, EXIT_TIMEOUT_MS) != WAIT_OBJECT_0)
        TerminateProcess(run.process.hProcess, 98);
}

} // namespace
