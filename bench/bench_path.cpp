// Mouse moves during the closed-path command with arcs through three
// points: 1,000 moves with 1,900 arc points entered against the same with
// 190. A move rebuilds the path back to the last plain vertex and redraws
// only the segment at the cursor, so the ratio must stay far below the 100
// that a cost quadratic in the points would give.
#include <windows.h>

#include <cstdio>

#include "app/darad4.h"
#include "app/darad4_draw.h"
#include "app/system.h"
#include "app/window.h"
#include "bench/bench_common.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_path.h"
#include "database/storage.h"

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr int MOVES = 1000;
constexpr int MANY = 1900;
constexpr int FEW = 190;

// The path entered up to point count n: a start, then arcs through three
// points along a wave, the step at n waiting for the cursor.
void EnterPath(int n)
{
    CommandResetStates();
    InputStart(575);
    InputPolylineApplySegment(1, PATH_SEGMENT_THREE_POINT_ARC, 0.0);
    for (int i = 0; i < n; ++i) {
        g_InputPoints[i].x = -120.0 + 0.12 * i;
        g_InputPoints[i].y = i % 2 ? 3.0 : -3.0;
    }
    InputSetIndex(n);
    InputPolylineVertices(n);
}

double Moves(HWND hwnd)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    InputFeedbackShow(4);
    const double t0 = BenchSeconds();
    for (int i = 0; i < MOVES; ++i) {
        const int x = 100 + (i * 7) % (WIDTH - 200), y = 100 + (i * 13) % (HEIGHT - 200);
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    GdiFlush();
    const double seconds = BenchSeconds() - t0;
    InputFeedbackHide(4);
    return seconds;
}

} // namespace

void BenchPath()
{
    if (!BenchPrepareDrawing("path"))
        return;
    HWND hwnd = BenchMakeDrawingWindow("path", "DARAD4_BenchPathDrawWClass", WIDTH, HEIGHT);
    if (!hwnd)
        return;

    EnterPath(FEW);
    const double few = Moves(hwnd);
    EnterPath(MANY);
    const double many = Moves(hwnd);
    std::printf("%-48s %6.3f   (1900 points %7.3f ms, 190 points %7.3f ms per move)\n",
                "path.1000_moves_1900_vs_190_arc_points", many / few, many * 1e3 / MOVES, few * 1e3 / MOVES);

    CommandResetStates();
    BenchFreeDrawingWindow(hwnd);
}
