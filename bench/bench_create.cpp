// Object creation and frame computation per object, against a bare copy of
// the same units into the object store (the floor any creator pays).

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/system_defs.h"
#include "bench/bench_common.h"
#include "commands/input_points.h"
#include "database/object.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "geometry/frame.h"

namespace {

constexpr int kObjects = 200000;
constexpr int kKinds = 10;
constexpr int FRAME_REPEATS = 4; // frames per object in the by-kind figures (clock resolution)

void SetCp(int i, double x, double y, int32_t type = 0) { g_ConstructionPoints[i] = {x, y, type, 0}; }

// One object of kind k at offset (x, y).
int CreateOne(int k, double x, double y)
{
    switch (k) {
    case 0: SetCp(0, x, y), SetCp(1, x + 10, y + 5); return ObjectNewLine(OBJTYPE_LINE, 0, 1);
    case 1: SetCp(0, x, y), SetCp(1, x + 3, y); return ObjectNewCircle(OBJTYPE_CIRCLE, 0, 1);
    case 2:
        SetCp(0, x, y), SetCp(1, x + 2, y), SetCp(2, x + 2, y), SetCp(3, x, y + 2), SetCp(4, 1, 0);
        return ObjectNewCircleArc(OBJTYPE_CIRC_ARC, 0, 1, 2, 3, 4);
    case 3: SetCp(0, x, y), SetCp(1, x, y + 2), SetCp(2, x + 5, y); return ObjectNewEllipse(OBJTYPE_ELLIPSE, 0, 1, 2);
    case 4:
        SetCp(0, x, y), SetCp(1, x, y + 2), SetCp(2, x + 5, y), SetCp(3, x + 5, y), SetCp(4, x, y + 2), SetCp(5, 1, 0);
        return ObjectNewEllipseArc(OBJTYPE_ELLI_ARC, 0, 1, 2, 3, 4, 5);
    case 5:
        for (int i = 0; i < 5; ++i)
            SetCp(i, x + 4 * i, y + (i % 2) * 3);
        return ObjectNewPolyline(OBJTYPE_SPLINE, 5);
    case 6: SetCp(0, x, y), SetCp(1, x + 20, y), SetCp(2, 3, 0); return ObjectNewZigzag(0, 1, 2);
    case 7: SetCp(0, x, y), SetCp(1, x + 2, y), SetCp(2, x, y + 1); return ObjectNewPolygon(0, 1, 2, 6);
    case 8:
        SetCp(0, x, y, 1), SetCp(1, x + 10, y, 2), SetCp(2, x + 10, y + 10, 7), SetCp(3, x, y + 10, 8),
            SetCp(4, x, y, 2);
        return ObjectNewPath(OBJTYPE_CURVE, 5);
    default: {
        const double pts[] = {x, y, x + 1, y + 1, x + 2, y};
        return ObjectNewMarks(pts, 3);
    }
    }
}

void FreshDrawing()
{
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    if (!g_WorkArrays.pathPoints)
        MemInitWork();
    UndoReset();
    SystemInitDrawing(0);
}

} // namespace

void BenchCreate()
{
    FreshDrawing();
    // The units the creators store, copied whole: the bare cost of storing them.
    std::vector<std::vector<uint8_t>> samples;
    UndoInitProcess();
    for (int k = 0; k < kKinds; ++k) {
        CreateOne(k, 0, 0);
        Unit *u = g_ObjectLists[LIST_DRAWING].tail;
        samples.emplace_back(reinterpret_cast<uint8_t *>(u), reinterpret_cast<uint8_t *>(u) + u->bytes);
    }
    UndoFinishProcess();
    FreshDrawing();
    double t0 = BenchSeconds();
    for (int i = 0; i < kObjects; ++i) {
        const std::vector<uint8_t> &s = samples[i % kKinds];
        MemListNewCopyAfter(LIST_DRAWING, s.data(), (uint32_t)s.size(), nullptr);
    }
    const double bare = BenchSeconds() - t0;

    FreshDrawing();
    int created = 0;
    t0 = BenchSeconds();
    UndoInitProcess();
    for (int i = 0; i < kObjects; ++i)
        created += CreateOne(i % kKinds, (i % 1000) * 25.0, (i / 1000) * 25.0);
    UndoFinishProcess();
    const double create = BenchSeconds() - t0;

    t0 = BenchSeconds();
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        FrameCalcObject(u, 0);
    const double frames = BenchSeconds() - t0;
    // Frames by kind: circles, arcs and ellipses against lines.
    double kindSeconds[kKinds] = {};
    int kindCount[kKinds] = {};
    {
        int i = 0;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next, ++i) {
            const int k = i % kKinds;
            const double k0 = BenchSeconds();
            for (int r = 0; r < FRAME_REPEATS; ++r)
                FrameCalcObject(u, 0);
            kindSeconds[k] += BenchSeconds() - k0;
            ++kindCount[k];
        }
    }

    // The way a user works: one undo step per object.
    FreshDrawing();
    int createdSteps = 0;
    t0 = BenchSeconds();
    for (int i = 0; i < kObjects; ++i) {
        UndoInitProcess();
        createdSteps += CreateOne(i % kKinds, (i % 1000) * 25.0, (i / 1000) * 25.0);
        UndoFinishProcess();
    }
    const double createSteps = BenchSeconds() - t0;

    const double perBare = bare / kObjects * 1e6;
    const double perCreate = create / created * 1e6;
    const double perFrame = frames / created * 1e6;
    printf("%-44s %8.3f   (%7.3f us per object, bare store %7.3f us)\n", "create.200k_mixed_one_step_vs_bare_store",
           perCreate / perBare, perCreate, perBare);
    printf("%-44s %8.3f   (%7.3f us per object)\n", "create.frames_200k_mixed_vs_bare_store", perFrame / perBare,
           perFrame);
    const double perStep = createSteps / createdSteps * 1e6;
    printf("%-44s %8.3f   (%7.3f us per object)\n", "create.200k_mixed_step_each_vs_bare_store", perStep / perBare,
           perStep);
    const double perLine = kindSeconds[0] / kindCount[0];
    const char *const curveNames[] = {"circle", "arc", "ellipse", "ellipse_arc"};
    for (int k = 1; k <= 4; ++k) {
        const double perKind = kindSeconds[k] / kindCount[k];
        printf("%-44s %8.3f   (%7.3f us, line %7.3f us per frame)\n",
               (std::string("create.frame_") + curveNames[k - 1] + "_vs_line").c_str(), perKind / perLine,
               perKind / FRAME_REPEATS * 1e6, perLine / FRAME_REPEATS * 1e6);
    }
    if (created != kObjects || createdSteps != kObjects)
        printf("create: only %d of %d objects were created\n", created, kObjects);
    MemFreeChunks();
}
