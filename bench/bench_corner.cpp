// Offsets and corners of long paths: a star of 5,000 vertices and a curve of
// 500 Bezier pieces offset, and a fillet at every vertex of a 5,000-vertex
// polyline, each against the same with a tenth of the size. A cost that grew
// with the square of the pieces would show as a ratio near 100; a linear one
// stays near 10.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/bench_common.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/trim_corner.h"
#include "commands/trim_offset.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "database/init.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "geometry/calc.h"
#include "geometry/frame.h"

namespace {

constexpr uint32_t BENCH_OBJECT_SIZE = 1u << 20;

struct Step {
    int16_t kind;
    double x, y;
};

// A path object of list 0 from its steps (points and, for Beziers, control points).
Unit *NewPath(int32_t type, const std::vector<Step> &steps)
{
    const uint32_t bytes = UNIT_ELEMENTS_OBJECT + ELEM_SIZE_END + uint32_t(steps.size()) * ELEM_SIZE_POINT;
    Unit *u = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    if (!u)
        return nullptr;
    u->birth = UNIT_BIRTH_ALWAYS;
    u->death = UNIT_DEATH_ALIVE;
    u->property = XPropertyDefault();
    u->kind = UNIT_KIND_OBJECT;
    u->object.type = type;
    u->object.reserved = OBJTYPE_RESERVED;
    ChainWriter w;
    InitChainBegin(&w, u, bytes);
    for (const Step &s : steps)
        InitChainPoint(&w, s.kind, s.x, s.y);
    return InitChainEnd(&w) ? u : nullptr;
}

// A closed star of n vertices alternating between radius 100 and 80.
std::vector<Step> Star(int n)
{
    std::vector<Step> steps;
    for (int i = 0; i < n; ++i) {
        const double a = CALC_TWO_PI * i / n, r = i % 2 ? 80.0 : 100.0;
        steps.push_back({int16_t(i ? POINT_LINE : POINT_START), r * std::cos(a), r * std::sin(a)});
    }
    return steps;
}

// A closed comb of n vertices with the star's spikes (0.126 mm apart, 20 mm
// high) along a line: longer with n at the same density.
std::vector<Step> Comb(int n)
{
    std::vector<Step> steps;
    const int teeth = n - 2;
    for (int i = 0; i < teeth; ++i)
        steps.push_back({int16_t(i ? POINT_LINE : POINT_START), 0.126 * i, i % 2 ? 0.0 : 20.0});
    steps.push_back({POINT_LINE, 0.126 * (teeth - 1), -10});
    steps.push_back({POINT_LINE, 0, -10});
    return steps;
}

// An open wave of n Bezier pieces.
std::vector<Step> Wave(int n)
{
    std::vector<Step> steps{{POINT_START, 0, 0}};
    for (int i = 0; i < n; ++i) {
        const double x = 10.0 * i;
        steps.push_back({POINT_CONTROL1, x + 3, 5});
        steps.push_back({POINT_CONTROL2, x + 7, -5});
        steps.push_back({POINT_LINE, x + 10, 0});
    }
    return steps;
}

// Seconds of one offset (the median of three), and its result.
double TimeOffset(const Unit *source, Unit *target, double d, int arcs, CalcPoint ref, int *result)
{
    std::vector<double> times;
    for (int k = 0; k < 3; ++k) {
        const double t0 = BenchSeconds();
        *result = TrimEquidistant(source, target, d, arcs, &ref);
        times.push_back(BenchSeconds() - t0);
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

void Figure(const char *name, const std::vector<Step> &big, const std::vector<Step> &small, int32_t type, double d,
            int arcs, CalcPoint ref, Unit *target)
{
    Unit *a = NewPath(type, big), *b = NewPath(type, small);
    if (!a || !b) {
        std::printf("%-48s (the paths could not be stored)\n", name);
        return;
    }
    int ra = 0, rb = 0;
    const double tb = TimeOffset(a, target, d, arcs, ref, &ra);
    const double ts = TimeOffset(b, target, d, arcs, ref, &rb);
    std::printf("%-48s %6.1f   (large %7.1f ms, small %7.3f ms, results %d %d)\n", name, tb / ts, tb * 1e3,
                ts * 1e3, ra, rb);
}

// Seconds of a fillet at every vertex of a closed polyline of n vertices,
// undone afterwards; the vertices that failed or the store give result 0.
double TimeFillets(int n, int *result)
{
    Unit *u = NewPath(OBJTYPE_SURFACE, Star(n));
    *result = -1;
    if (!u)
        return 0;
    FrameCalcObject(u, 0);
    UndoAssignIdent(u);
    CommandResetStates();
    InputStart(CMD_VERTICES_FILLET);
    g_InputPoints[0].ident = u->ident;
    g_InputPoints[0].x = 100, g_InputPoints[0].y = 0;
    g_CommandDefaults.distances[COMMAND_DISTANCE_FILLET] = 0.01;
    const double t0 = BenchSeconds();
    UndoInitProcess();
    *result = TrimVertexCommand(CMD_VERTICES_FILLET, 0);
    if (*result)
        UndoFinishProcess();
    else
        UndoCancelProcess();
    const double seconds = BenchSeconds() - t0;
    CommandResetStates();
    return seconds;
}

uint32_t SilentAlert(const char *, uint32_t code1, uint32_t, uint32_t) { return code1; }

} // namespace

void BenchCorner()
{
    // A 5,000-vertex object needs a large object size, and scratch buffers
    // of its size; the default comes back at the end. The drawing goes
    // first: its chunks were cut for the old size.
    MemFreeChunks();
    MemInitLists();
    if (!MemResizeWork(BENCH_OBJECT_SIZE) || !BenchPrepareDrawing("corner")) {
        std::printf("corner: no work memory\n");
        MemResizeWork(OBJECT_SIZE_DEFAULT);
        return;
    }
    std::vector<double> buffer(g_ObjectLimits.objectSize / sizeof(double) + 1);
    Unit *target = reinterpret_cast<Unit *>(buffer.data());
    Figure("corner.offset_star_5000_vs_500_out", Star(5000), Star(500), OBJTYPE_SURFACE, 2, 0, {150, 0}, target);
    // Inward the spikes are 0.13 mm wide at 5,000 vertices: a larger distance eats them.
    Figure("corner.offset_star_5000_vs_500_in", Star(5000), Star(500), OBJTYPE_SURFACE, 0.02, 0, {0, 0}, target);
    // The same spikes at the same density in a comb whose length grows with
    // the vertices: n log n would give 13.6, a linear cost 10.
    Figure("corner.offset_comb_6000_vs_600_same_density", Comb(6000), Comb(600), OBJTYPE_SURFACE, 2, 0, {10, 100},
           target);
    Figure("corner.offset_star_2000_vs_200_arc_joins", Star(2000), Star(200), OBJTYPE_SURFACE, 2, 1, {150, 0}, target);
    // Each Bezier is read as 9 lines; with arc joins 500 of them pass the piece limit.
    Figure("corner.offset_curve_500_vs_50_beziers", Wave(500), Wave(50), OBJTYPE_CURVE, 1, 0, {5, 20}, target);
    g_AlertAnswerHook = SilentAlert;
    int big = 0, small = 0;
    const double tb = TimeFillets(5000, &big), ts = TimeFillets(500, &small);
    g_AlertAnswerHook = nullptr;
    std::printf("%-48s %6.1f   (large %7.1f ms, small %7.3f ms, results %d %d)\n", "corner.fillet_every_vertex_5000_vs_500",
                ts > 0 ? tb / ts : 0.0, tb * 1e3, ts * 1e3, big, small);
    MemFreeChunks();
    MemInitLists();
    MemResizeWork(OBJECT_SIZE_DEFAULT);
}
