// What a user feels in a large drawing: the same few objects in view, in
// drawings of 10,000, 100,000 and 1,000,000 lines at constant density (one
// line of up to 10 mm per 100 square millimetres). Eight operations, each
// through the program's own path: a pick that follows an edit, a snap click
// with every mode, the repaint of a zoomed-in window, the repaint of a
// 100 x 100 pixel rectangle (what follows an edit), the rotation of one
// object and its undo, a click that selects an object followed by the
// deselection of all, the redraws of a selection and deselection with a
// quiet reset, and a small rectangle that selects a few lines and back. Each
// figure is the median time in the larger drawing against the median time in
// the drawing of 10,000 lines of the same run: a figure near 1 says that the
// cost does not grow with the drawing.
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
#include "database/object_ident.h"
#include "database/object_modify.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/box05.h"
#include "display/output.h"
#include "display/output_paint.h"
#include "display/output_select.h"

namespace {

constexpr int SIZES[] = {10000, 100000, 1000000};
constexpr const char *SIZE_NAMES[] = {"10k", "100k", "1M"};
constexpr int SIZE_COUNT = 3;
constexpr double AREA_PER_LINE = 100.0; // square millimetres
constexpr int WIDTH = 800, HEIGHT = 600;
constexpr double VIEW_ZOOM = 1.5;       // about 220 lines in view
constexpr int REPEATS = 15;
constexpr int SNAP_MODES_ALL = 0xFF;

enum Figure {
    PICK_AFTER_EDIT,
    SNAP_CLICK,
    ZOOMED_REPAINT,
    SMALL_REPAINT,
    ROTATE_UNDO,
    CLICK_SELECT,
    SELECTION_REDRAW,
    RECTANGLE_SELECT,
    FIGURES
};
constexpr const char *FIGURE_NAMES[FIGURES] = {"pick_after_edit",        "snap_click_all_modes",
                                               "zoomed_repaint",         "repaint_100x100_pixels",
                                               "rotate_undo_one_object", "click_select_and_deselect",
                                               "select_redraw_and_reset", "rectangle_select_few_and_back"};

uint32_t TakeFirst(const char *, int32_t, int32_t) { return MULTIPLE_IDENT_TAKE; }
int NeverAbort() { return 0; }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A line near the point: the unit the pick there names, or null.
Unit *PickedAt(double x, double y)
{
    const int32_t counter = g_IdentCounter;
    if (ObjectIdentifyAny(0, x, y, 0) != 1)
        return nullptr;
    std::vector<Unit *> nearby;
    const double box[4] = {x - 20, y - 20, x + 20, y + 20};
    ObjectForEachNear(box, 0, [&](Unit *u) {
        nearby.push_back(u);
        return true;
    });
    for (Unit *u : nearby)
        if (u->ident == counter)
            return u;
    return nullptr;
}

// Seconds of the five operations (medians) in a drawing of `lines` lines.
bool Measure(int lines, double out[FIGURES])
{
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    UndoReset();
    const double world = std::sqrt(lines * AREA_PER_LINE);
    std::mt19937 random(20261211);
    if (!BenchBuildLines(lines, random, world)) {
        std::printf("scale: out of memory at %d lines\n", lines);
        MemFreeChunks();
        MemInitLists();
        return false;
    }
    UndoInitProcess(); // settles the purge's bookkeeping of the loaded units
    UndoFinishProcess();
    const double cx = world / 2, cy = world / 2;
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, cx, cy, VIEW_ZOOM);
    g_LocalData.snap.pickAperture = 10;
    g_LocalData.snap.ambiguityAperture = 1;
    const LocalSnap savedSnap = g_LocalData.snap;
    g_LocalData.snap.switches[0] = 1;
    g_LocalData.snap.snapModes = SNAP_MODES_ALL;
    const Box05MultipleIdentHook savedHook = g_Box05MultipleIdentHook;
    g_Box05MultipleIdentHook = TakeFirst;
    const OutputAbortHook savedAbort = g_OutputAbortHook;
    g_OutputAbortHook = NeverAbort;

    const double *v = g_DrawWindows[0].visibleRect;
    std::uniform_real_distribution<double> px(v[0], v[2]), py(v[1], v[3]);
    std::vector<double> t[FIGURES];
    const RECT all{0, 0, WIDTH, HEIGHT}, small{350, 250, 450, 350};
    OutputPaintWindow(0, &all); // the first question builds the pick index
    for (int r = 0; r < REPEATS; ++r) {
        // One line in view rotated about its frame's middle and undone, by
        // the selection's transformation and the undo step, as the commands do.
        Unit *line = nullptr;
        while (!line)
            line = PickedAt(px(random), py(random));
        line->flags |= UNIT_SELECTED;
        UndoNoteUnit(line); // as the selection commands note what they select
        Matrix m;
        MatrixInit(&m);
        const double mx = (line->frame[0] + line->frame[2]) / 2, my = (line->frame[1] + line->frame[3]) / 2;
        MatrixMove(&m, -mx, -my);
        MatrixRotate(&m, 0.3);
        MatrixMove(&m, mx, my);
        double t0 = BenchSeconds();
        ObjectTransformSelection(&m, 0, 0, 0);
        UndoStepBack();
        t[ROTATE_UNDO].push_back(BenchSeconds() - t0);
        for (Unit *u : {line, line->prev})
            if (u)
                u->flags &= ~UNIT_SELECTED;

        const double x = px(random), y = py(random);
        t0 = BenchSeconds();
        ObjectIdentifyAny(0, x, y, 0);
        t[PICK_AFTER_EDIT].push_back(BenchSeconds() - t0);

        SnapResult s;
        t0 = BenchSeconds();
        SnapFindPoint(0, px(random), py(random), &s);
        t[SNAP_CLICK].push_back(BenchSeconds() - t0);

        t0 = BenchSeconds();
        OutputPaintWindow(0, &all);
        t[ZOOMED_REPAINT].push_back(BenchSeconds() - t0);

        t0 = BenchSeconds();
        OutputPaintWindow(0, &small);
        t[SMALL_REPAINT].push_back(BenchSeconds() - t0);

        // A click that selects the object under the pointer, the count of
        // the selection that follows it, and the deselection of all.
        const int32_t ident = g_IdentCounter;
        const double cx2 = px(random), cy2 = py(random);
        t0 = BenchSeconds();
        if (ObjectIdentifyAny(0, cx2, cy2, 0) == 1)
            ObjectSelectByIdent(ident);
        ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED);
        ObjectDeselectAll();
        t[CLICK_SELECT].push_back(BenchSeconds() - t0);

        // The picked object selected and its highlight drawn, deselected and
        // drawn plain again, then selected once more and dropped quietly, as
        // the input machine does when the selection is not on the screen.
        OutputRedrawSelection(); // what the deselection above left to redraw
        const int32_t picked = g_IdentCounter;
        if (ObjectIdentifyAny(0, px(random), py(random), 0) == 1) {
            t0 = BenchSeconds();
            ObjectSelectByIdent(picked);
            OutputRedrawSelection();
            ObjectDeselectAll();
            OutputRedrawSelection();
            ObjectSelectByIdent(picked);
            ObjectSelectionReset();
            t[SELECTION_REDRAW].push_back(BenchSeconds() - t0);
        }

        // A rectangle of 40 x 40 mm that selects the few lines it crosses,
        // their highlight drawn, then all deselected and drawn plain again.
        const double rx = px(random), ry = py(random);
        t0 = BenchSeconds();
        ObjectSelectByRectangle(rx, ry, rx + 40.0, ry + 40.0, -1, 0);
        OutputRedrawSelection();
        ObjectDeselectAll();
        OutputRedrawSelection();
        t[RECTANGLE_SELECT].push_back(BenchSeconds() - t0);
    }
    for (int f = 0; f < FIGURES; ++f)
        out[f] = t[f].empty() ? 0.0 : Median(t[f]);

    g_OutputAbortHook = savedAbort;
    g_Box05MultipleIdentHook = savedHook;
    g_LocalData.snap = savedSnap;
    UndoReset();
    return true;
}

} // namespace

void BenchScale()
{
    if (!BenchPrepareDrawing("scale"))
        return;
    // The paints are asked for directly: the window needs no procedure of its own.
    HWND hwnd = BenchMakeWindow(DefWindowProcA, "DARAD4_BenchScaleWClass", WIDTH, HEIGHT);
    if (!hwnd) {
        std::printf("scale: no window\n");
        return;
    }
    g_Options.rulerVisible = g_Options.buttonVisible = g_Options.scrollVisible = g_Options.viewVisible = 0;
    WindowComputeScreenMetrics(WIDTH, HEIGHT, 254.0, 190.5, &g_ScreenMetrics);
    g_DrawWindowCount = 1;
    g_ActiveWindow = g_PanelWindow = 0;
    WindowInitRecord(&g_DrawWindows[0], hwnd, 0);
    WindowUpdateAllSystems();
    double seconds[SIZE_COUNT][FIGURES] = {};
    bool measured = true;
    for (int s = 0; s < SIZE_COUNT && measured; ++s)
        measured = Measure(SIZES[s], seconds[s]);
    BenchFreeDrawingWindow(hwnd);
    if (!measured)
        return;
    std::printf("ratio = median time in the larger drawing / median time in 10,000 lines, same density\n");
    for (int f = 0; f < FIGURES; ++f)
        for (int s = 1; s < SIZE_COUNT; ++s) {
            char label[96];
            std::snprintf(label, sizeof label, "scale.%s_%s_vs_10k", FIGURE_NAMES[f], SIZE_NAMES[s]);
            std::printf("%-48s %8.3f   (%8.3f ms in %s, %8.3f ms in 10k)\n", label, seconds[s][f] / seconds[0][f],
                        seconds[s][f] * 1000, SIZE_NAMES[s], seconds[0][f] * 1000);
        }
}
