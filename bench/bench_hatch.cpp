// Hatching large boundaries: a star of 10,000 vertices against one of 1,000,
// and a square with 1,000 square islands against one with 100. Each run
// collects the selected outlines, generates the lines 1 mm apart and stores
// the Hatch objects. A cost close to n log n keeps the ratios near 10 to 13;
// every line tested against every boundary piece would give about 100.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/system_defs.h"
#include "bench/bench_common.h"
#include "database/object.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "geometry/hatch.h"

namespace {

constexpr double PI = 3.141592653589793;

void SelectAll()
{
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
        u->flags |= UNIT_SELECTED;
}

void Star(int vertices)
{
    std::vector<double> xy;
    for (int i = 0; i < vertices; ++i) {
        const double a = 2 * PI * i / vertices, r = i % 2 ? 60.0 : 100.0;
        xy.push_back(r * std::cos(a));
        xy.push_back(r * std::sin(a));
    }
    ObjectNewPolylineFromArray(OBJTYPE_SURFACE, xy.data(), vertices);
}

void SquareOf(double x0, double y0, double side)
{
    const double xy[] = {x0, y0, x0 + side, y0, x0 + side, y0 + side, x0, y0 + side};
    ObjectNewPolylineFromArray(OBJTYPE_SURFACE, xy, 4);
}

// A 400 mm square with islands in a grid of columns x rows cells of 10 mm.
void Islands(int columns, int rows)
{
    SquareOf(0, 0, 400);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            SquareOf(c * 10 + 3, r * 10 + 3, 4);
}

// Seconds of one hatch over the drawing the builder makes, and the pieces.
double Hatch(void (*build)(int, int), int a, int b, int *objects)
{
    if (!BenchPrepareDrawing("hatch"))
        return 0;
    UndoInitProcess();
    build(a, b);
    UndoFinishProcess();
    SelectAll();
    const HatchDef def = BenchPlainHatch();
    UndoInitProcess();
    const double t0 = BenchSeconds();
    const int ok = HatchCreate(&def, UNIT_SELECTED);
    const double seconds = BenchSeconds() - t0;
    UndoFinishProcess();
    *objects = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
        *objects += u->object.type == OBJTYPE_HATCH;
    if (!ok)
        std::printf("hatch: HatchCreate failed\n");
    return seconds;
}

void StarOf(int vertices, int) { Star(vertices); }

} // namespace

HatchDef BenchPlainHatch()
{
    MultiLineDef &m = g_MultiLineDefs[0];
    m.lines[0].on = 1;
    m.lines[0].offset = 1.0;
    for (int i = 1; i < MULTILINE_LINES; ++i)
        m.lines[i].on = 0;
    HatchDef def{};
    def.family1 = {1, 0, PI / 6};
    return def;
}

void BenchHatch()
{
    // A boundary of 10,000 vertices needs the largest units, and scratch
    // buffers of their size: the drawing goes first, its chunks were cut for
    // the old size.
    MemFreeChunks();
    MemInitLists();
    if (!MemResizeWork(OBJECT_SIZE_MAX)) {
        std::printf("hatch: no work memory\n");
        MemResizeWork(OBJECT_SIZE_DEFAULT);
        return;
    }
    int objectsSmall = 0, objectsLarge = 0;
    const double starSmall = Hatch(StarOf, 1000, 0, &objectsSmall);
    const double starLarge = Hatch(StarOf, 10000, 0, &objectsLarge);
    std::printf("%-48s %6.3f   (10,000 vertices %7.3f s, 1,000 %7.3f s, %d hatch objects)\n",
                "hatch.star_10000_vs_1000_vertices", starLarge / starSmall, starLarge, starSmall, objectsLarge);
    const double islandsSmall = Hatch(Islands, 10, 10, &objectsSmall);
    const double islandsLarge = Hatch(Islands, 40, 25, &objectsLarge);
    std::printf("%-48s %6.3f   (1,000 islands %7.3f s, 100 %7.3f s, %d hatch objects)\n",
                "hatch.square_1000_vs_100_islands", islandsLarge / islandsSmall, islandsLarge, islandsSmall,
                objectsLarge);
    // The work memory is left as the other parts expect it.
    MemFreeChunks();
    MemInitLists();
    MemResizeWork(OBJECT_SIZE_DEFAULT);
}
