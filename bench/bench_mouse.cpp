// Mouse moves over a drawing window while the line command runs with its
// first point entered: 1,000 moves over an empty drawing against the same
// over a drawing of 100,000 objects. A move recomputes the construction and
// the XOR feedback only, so the ratio should stay near 1.
#include <windows.h>

#include <cstdio>
#include <random>

#include "app/darad4.h"
#include "app/darad4_draw.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "bench/bench_common.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "database/storage.h"
#include "display/screen.h"

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr int MOVES = 1000;
constexpr int LARGE_DRAWING = 100000;

// The seconds of MOVES mouse moves along a zigzag in the window.
double Moves(HWND hwnd)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    const double t0 = BenchSeconds();
    for (int i = 0; i < MOVES; ++i) {
        const int x = 100 + (i * 7) % (WIDTH - 200), y = 100 + (i * 13) % (HEIGHT - 200);
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    GdiFlush();
    return BenchSeconds() - t0;
}

} // namespace

void BenchMouse()
{
    if (!BenchPrepareDrawing("mouse"))
        return;
    HWND hwnd = BenchMakeDrawingWindow("mouse", "DARAD4_BenchMouseDrawWClass", WIDTH, HEIGHT);
    if (!hwnd)
        return;
    CommandResetStates();
    InputStart(COMMAND_START_ID);
    InputPoint(0.0, 0.0, 1); // the rubber band runs from here

    const double empty = Moves(hwnd);
    std::mt19937 random(20261210);
    BenchMakeDrawing(random, LARGE_DRAWING);
    const double large = Moves(hwnd);
    std::printf("%-48s %6.3f   (100k objects %7.2f us, empty %7.2f us per move)\n",
                "mouse.1000_moves_100k_drawing_vs_empty", large / empty, large * 1e6 / MOVES, empty * 1e6 / MOVES);

    BenchFreeDrawingWindow(hwnd);
}
