// Snapping: 200 snap clicks with every search mode on 100,000 lines plus
// 2,000 instances of a block of 200 lines, at 1 pixel per millimetre (a
// capture radius of 10 mm) and at a zoom where the radius is 200 mm. The
// median click against a plain filtered walk of the list.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "app/system.h"
#include "app/window.h"
#include "bench/bench_common.h"
#include "commands/snap.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/undo.h"
#include "dialogs/box05.h"

namespace {

constexpr int LINES = 100000;
constexpr int INSTANCES = 2000;
constexpr int BLOCK_MEMBERS = 200;
constexpr int CLICKS = 200;
constexpr double WORLD = 20000.0;    // mm
constexpr double BLOCK_SIZE = 100.0; // mm
constexpr int32_t ALL_MODES = 0xFF;

uint32_t TakeFirst(const char *, int32_t, int32_t) { return MULTIPLE_IDENT_TAKE; }

// The block's members are made as lines of list 0 and moved into it.
bool BuildInstances(std::mt19937 &random)
{
    Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, "bench");
    if (!block)
        return false;
    const uint32_t before = g_ObjectLists[LIST_DRAWING].count;
    if (!BenchBuildLines(BLOCK_MEMBERS, random, BLOCK_SIZE))
        return false;
    while (g_ObjectLists[LIST_DRAWING].count > before) {
        Unit *line = g_ObjectLists[LIST_DRAWING].tail;
        if (!SymbolAddMember(LIST_OWN_BLOCKS, block, line))
            return false;
        MemListDelete(LIST_DRAWING, line);
    }
    SymbolRebuildOwnIndex();
    std::uniform_real_distribution<double> pos(0.0, WORLD), turn(0.0, CALC_TWO_PI);
    alignas(8) static uint8_t buffer[1024];
    for (int i = 0; i < INSTANCES; ++i) {
        Matrix m;
        MatrixInit(&m);
        MatrixRotate(&m, turn(random));
        MatrixMove(&m, pos(random), pos(random));
        const uint32_t bytes = SymbolMakeInstance(reinterpret_cast<Unit *>(buffer), sizeof buffer, "*", "bench", &m);
        Unit *u = bytes ? MemListNewCopyAfter(LIST_DRAWING, buffer, bytes, g_ObjectLists[LIST_DRAWING].tail) : nullptr;
        if (!u)
            return false;
        u->flags = 0;
        u->birth = UNIT_BIRTH_ALWAYS;
        u->death = UNIT_DEATH_ALIVE;
    }
    SymbolRecalcFrames();
    return true;
}

double MedianClick(double pixelsPerMm, std::mt19937 &random, int *found)
{
    g_DrawWindows[0].pixelsPerMm = pixelsPerMm;
    std::uniform_real_distribution<double> pos(0.0, WORLD);
    std::vector<double> times;
    SnapResult r;
    SnapFindPoint(0, pos(random), pos(random), &r); // builds the pick index
    for (int i = 0; i < CLICKS; ++i) {
        const double x = pos(random), y = pos(random);
        const double t0 = BenchSeconds();
        SnapFindPoint(0, x, y, &r);
        times.push_back(BenchSeconds() - t0);
        *found += r.distance < SNAP_NOTHING;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

void BenchSnap()
{
    if (!BenchPrepareDrawing("snap"))
        return;
    UndoReset();
    std::mt19937 random(20261210);
    if (!BenchBuildLines(LINES, random, WORLD) || !BuildInstances(random)) {
        std::printf("snap: out of memory\n");
    } else {
        const LocalSnap saved = g_LocalData.snap;
        g_LocalData.snap.switches[0] = 1;
        g_LocalData.snap.snapModes = ALL_MODES;
        g_LocalData.snap.pickAperture = 10;
        const Box05MultipleIdentHook savedHook = g_Box05MultipleIdentHook;
        g_Box05MultipleIdentHook = TakeFirst;
        int caughtNear = 0, caughtWide = 0;
        const double atOne = MedianClick(1.0, random, &caughtNear);
        const double atWide = MedianClick(0.05, random, &caughtWide); // radius 200 mm
        g_Box05MultipleIdentHook = savedHook;
        g_LocalData.snap = saved;
        g_DrawWindows[0].pixelsPerMm = 1.0;
        const double walk = BenchFilteredWalk();
        std::printf("%-48s %8.3f   (median click %6.3f ms, filtered walk %6.2f ms, %d of %d caught)\n",
                    "snap.click_radius_10mm_vs_filtered_walk", atOne / walk, atOne * 1000, walk * 1000, caughtNear, CLICKS);
        std::printf("%-48s %8.3f   (median click %6.3f ms, %d of %d caught)\n",
                    "snap.click_radius_200mm_vs_filtered_walk", atWide / walk, atWide * 1000, caughtWide, CLICKS);
    }
    SymbolClearBlocks(LIST_OWN_BLOCKS);
    SymbolRebuildOwnIndex();
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    UndoReset();
}
