// Picking and selection: 100 picks among 1,000,000 lines (the median time of
// one pick against a plain filtered walk of the list), and a rectangle
// selection over 200,000 lines against the same walk over them. The time
// from a key press to the stop of a redraw is in bench_windows.cpp.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "app/system.h"
#include "app/window.h"
#include "bench/bench_common.h"
#include "database/object_ident.h"
#include "database/object_select.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/box05.h"

namespace {

constexpr int PICK_OBJECTS = 1000000;
constexpr int RECT_OBJECTS = 200000;
constexpr int PICKS = 100;
constexpr double WORLD = 20000.0; // mm
constexpr double LINE_SIZE = 10.0;

uint32_t TakeFirst(const char *, int32_t, int32_t) { return MULTIPLE_IDENT_TAKE; }

} // namespace

bool BenchBuildLines(int count, std::mt19937 &random, double world)
{
    std::uniform_real_distribution<double> pos(0.0, world), size(-LINE_SIZE, LINE_SIZE);
    const ObjectChainShape shape{2, nullptr};
    const uint32_t bytes = ObjectChainSize(OBJTYPE_LINE, shape);
    for (int i = 0; i < count; ++i) {
        Unit *u = MemListNewObject(LIST_DRAWING, bytes, nullptr);
        if (!u)
            return false;
        u->flags = 0;
        u->birth = UNIT_BIRTH_ALWAYS;
        u->death = UNIT_DEATH_ALIVE;
        u->property = XPropertyDefault();
        ObjectWriteChain(u, bytes, OBJTYPE_LINE, shape);
        const double x = pos(random), y = pos(random), x2 = x + size(random), y2 = y + size(random);
        double xy[4] = {x, y, x2, y2};
        int k = 0;
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e)) {
            auto *p = reinterpret_cast<ElementPoint *>(e);
            p->x = xy[k++];
            p->y = xy[k++];
        }
        u->frame[0] = std::fmin(x, x2), u->frame[1] = std::fmin(y, y2);
        u->frame[2] = std::fmax(x, x2), u->frame[3] = std::fmax(y, y2);
        ObjectIndexNoteFrame(u);
    }
    return true;
}

double BenchFilteredWalk()
{
    const double t0 = BenchSeconds();
    volatile int hits = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, 1); u; u = MemListNext(u))
        if (u->frame[0] <= 10.0 && u->frame[2] >= 0.0 && u->frame[1] <= 10.0 && u->frame[3] >= 0.0)
            hits = hits + 1;
    return BenchSeconds() - t0;
}

namespace {

void Reset()
{
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    UndoReset();
}

} // namespace

void BenchSelect()
{
    if (!BenchPrepareDrawing("select"))
        return;
    UndoReset();
    std::mt19937 random(19990224);
    if (!BenchBuildLines(PICK_OBJECTS, random, WORLD)) {
        std::printf("select: out of memory\n");
        Reset();
        return;
    }
    g_DrawWindows[0].pixelsPerMm = 1.0;
    g_LocalData.snap.pickAperture = 10;
    g_LocalData.snap.ambiguityAperture = 1;
    const Box05MultipleIdentHook savedHook = g_Box05MultipleIdentHook;
    g_Box05MultipleIdentHook = TakeFirst;
    std::uniform_real_distribution<double> pos(0.0, WORLD);
    std::vector<double> times;
    int picked = 0;
    // The first pick after a change builds the pick index.
    const double b0 = BenchSeconds();
    ObjectIdentifyAny(0, pos(random), pos(random), 0);
    const double firstPick = BenchSeconds() - b0;
    for (int i = 0; i < PICKS; ++i) {
        const double x = pos(random), y = pos(random);
        const double t0 = BenchSeconds();
        picked += ObjectIdentifyAny(0, x, y, 0);
        times.push_back(BenchSeconds() - t0);
    }
    g_Box05MultipleIdentHook = savedHook;
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const double walk = BenchFilteredWalk();
    std::printf("%-48s %8.4f   (median pick %6.3f ms, filtered walk %6.2f ms, %d of %d hit)\n",
                "select.pick_1M_median_vs_filtered_walk", median / walk, median * 1000, walk * 1000, picked, PICKS);
    std::printf("%-48s %8.3f   (first pick with the index build %6.1f ms)\n", "select.pick_1M_first_vs_filtered_walk",
                firstPick / walk, firstPick * 1000);

    Reset();
    if (!BenchBuildLines(RECT_OBJECTS, random, WORLD)) {
        std::printf("select: out of memory\n");
        Reset();
        return;
    }
    // Settles the purge's bookkeeping of the loaded lines, so that the
    // selection notes what it selects, as after any edit.
    UndoInitProcess();
    UndoFinishProcess();
    const double rectWalk = BenchFilteredWalk();
    const double t0 = BenchSeconds();
    ObjectSelectByRectangle(WORLD * 0.25, WORLD * 0.25, WORLD * 0.75, WORLD * 0.75, -1, 0);
    const double rect = BenchSeconds() - t0;
    std::printf("%-48s %8.3f   (rectangle %6.2f ms, filtered walk %6.2f ms)\n",
                "select.rectangle_200k_vs_filtered_walk", rect / rectWalk, rect * 1000, rectWalk * 1000);
    Reset();
}
