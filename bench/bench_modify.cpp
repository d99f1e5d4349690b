// Modification: rotating every object of a drawing in one undo step, then
// undoing and redoing it, per object in 10,000 against 100,000 objects. Each
// figure near 1 says that the operation grows linearly with the selection.
#include <cstdio>

#include "bench/bench_common.h"
#include "database/object_modify.h"
#include "database/storage.h"
#include "database/undo.h"

namespace {

struct ModifyTimes {
    double rotate, undo, redo; // seconds per object
};

ModifyTimes RotateAll(int objects)
{
    ModifyTimes t{};
    if (!BenchPrepareDrawing("modify"))
        return t;
    UndoReset();
    std::mt19937 random(7);
    BenchMakeDrawing(random, objects);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        u->flags |= UNIT_SELECTED;
    UndoInitProcess(); // settles the purge's bookkeeping of the loaded units
    UndoFinishProcess();
    Matrix m;
    MatrixInit(&m);
    MatrixRotate(&m, 0.3);
    const double t0 = BenchSeconds();
    ObjectTransformSelection(&m, 0, 0, 1);
    const double t1 = BenchSeconds();
    UndoStepBack();
    const double t2 = BenchSeconds();
    UndoStepForward();
    const double t3 = BenchSeconds();
    t.rotate = (t1 - t0) / objects;
    t.undo = (t2 - t1) / objects;
    t.redo = (t3 - t2) / objects;
    return t;
}

} // namespace

void BenchModify()
{
    constexpr int SMALL = 10000, LARGE = 100000;
    const ModifyTimes small = RotateAll(SMALL);
    const ModifyTimes large = RotateAll(LARGE);
    if (small.rotate <= 0 || small.undo <= 0 || small.redo <= 0)
        return;
    std::printf("%-44s %8.3f   (%7.2f us per object in 100,000)\n", "modify.rotate_per_object_100k_vs_10k",
                large.rotate / small.rotate, large.rotate * 1e6);
    std::printf("%-44s %8.3f   (%7.2f us per object in 100,000)\n", "modify.undo_per_object_100k_vs_10k",
                large.undo / small.undo, large.undo * 1e6);
    std::printf("%-44s %8.3f   (%7.2f us per object in 100,000)\n", "modify.redo_per_object_100k_vs_10k",
                large.redo / small.redo, large.redo * 1e6);
    MemFreeChunks();
}
