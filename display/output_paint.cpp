// Window paint in passes, interruptible by the user, and the repaint requests.
#include "display/output_paint.h"

#include <algorithm>
#include <cmath>

#include "app/darad4.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "database/object_ident.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "display/output.h"
#include "display/output_select.h"
#include "display/screen.h"
#include "display/symbol.h"
#include "geometry/calc.h"

uint32_t g_OutputPainting = 0;
OutputPaintHook g_OutputPaintHook = nullptr;

namespace {

constexpr int INVALIDATE_MARGIN = 5;
constexpr double TWO_AREAS_RATIO = 1.2;
constexpr int LIST_DRAWING = 0;

uint32_t s_LastOfBatch = 0;

RECT Union(const RECT &a, const RECT &b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool ValidWindow(int window)
{
    return window == WINDOW_VIEW || (window >= 0 && window < g_DrawWindowCount && window < WINDOW_DRAW_COUNT);
}

// Whether an object may draw in a pass with this mask (the renderer's pass
// filter, tested here before its set-up); instances and plug-in objects may
// hold objects of every pass.
bool MayDrawInPass(const Unit *u, uint32_t passMask)
{
    if (u->kind != UNIT_KIND_OBJECT)
        return true;
    const int32_t type = u->object.type;
    const uint32_t pass = type == OBJTYPE_COMMENT                                     ? PASS_COMMENTS
                          : type >= OBJTYPE_GEO_LINE && type <= OBJTYPE_GEO_ELLI ? PASS_GEOMETRY
                                                                                 : PASS_OBJECTS;
    return (passMask & pass) != 0;
}

// One pass over the drawing's objects whose frames may meet the painted
// area, in list order; false when the abort check fired.
bool PaintPass(HDC hdc, uint32_t passMask)
{
    g_OutputContext.passMask = passMask;
    return ObjectForEachNear(g_OutputContext.visibleRect, PAINT_FLAG_HIDDEN, [&](Unit *u) {
        u->flags &= ~PAINT_FLAG_REDRAW_BITS;
        if (!MayDrawInPass(u, passMask))
            return true;
        {
            ListFilterKeeper keep; // drawers may walk lists of their own
            OutputDrawObject(hdc, u);
        }
        return !OutputAborted();
    });
}

// Cursor tracking is suspended while a repaint request runs, so that the
// XOR crosshair is never drawn into a half-painted window.
struct TrackingPause {
    uint32_t saved;
    TrackingPause() : saved(g_AppActive) { g_AppActive = 0; }
    ~TrackingPause() { g_AppActive = saved; }
    TrackingPause(const TrackingPause &) = delete;
    TrackingPause &operator=(const TrackingPause &) = delete;
};

void RepaintNow(HWND hwnd)
{
    if (!hwnd)
        return;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

// Paints that arrived while a paint ran are asked for again once it ended,
// so that no window stays partly unpainted until something else repaints it.
void RequestPendingPaints()
{
    auto request = [](DrawWindow &w) {
        if (w.paintPending && w.hwnd)
            InvalidateRect(w.hwnd, &w.pendingRect, FALSE);
    };
    for (DrawWindow &w : g_DrawWindows)
        request(w);
    request(g_ViewWindow);
}

bool ViewUpdates() { return g_Options.viewVisible && g_Options.viewUpdate && g_ViewWindow.hwnd; }

void Limit(const double *in, double out[4])
{
    out[0] = std::max(in[0], -CALC_COORD_LIMIT);
    out[1] = std::max(in[1], -CALC_COORD_LIMIT);
    out[2] = std::min(in[2], CALC_COORD_LIMIT);
    out[3] = std::min(in[3], CALC_COORD_LIMIT);
}

} // namespace

int OutputPaintWindow(int window, const RECT *update)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd || !update)
        return 0;
    if (g_OutputPainting) {
        w->pendingRect = w->paintPending ? Union(w->pendingRect, *update) : *update;
        w->paintPending = 1;
        return 0;
    }
    g_OutputPainting = 1;
    OutputResetAbort();
    const RECT rect = w->paintPending ? Union(w->pendingRect, *update) : *update;
    w->paintPending = 0;

    HDC hdc = GetDC(w->hwnd);
    ScreenSetupOutput(hdc, window, &rect, OUTPUT_SCREEN);
    SymbolReleaseFont();
    g_OutputContext.palette = nullptr;
    g_OutputContext.lastOfBatch = static_cast<int32_t>(s_LastOfBatch);

    const DrawingSettings &ds = g_DrawingSettings;
    const bool geometryPass = ds.displayGeometry[2] != 0;
    const bool commentPass = ds.commentDisplay[1] != 0;
    auto stop = [&]() {
        OutputResetAbort(); // the stop belongs to this paint alone
        OutputFreeGdiCache();
        ReleaseDC(w->hwnd, hdc);
        g_OutputPainting = 0;
        g_OutputContext.passMask = PASS_ALL;
        RequestPendingPaints();
        return 0;
    };
    if (geometryPass && !PaintPass(hdc, PASS_GEOMETRY))
        return stop();
    if (g_OutputPaintHook)
        g_OutputPaintHook(window);
    uint32_t mask = PASS_ALL;
    if (geometryPass)
        mask &= ~PASS_GEOMETRY;
    if (commentPass)
        mask &= ~PASS_COMMENTS;
    if (!PaintPass(hdc, mask))
        return stop();
    if (commentPass && !PaintPass(hdc, PASS_COMMENTS))
        return stop();
    g_OutputContext.passMask = PASS_ALL;
    OutputPaintSelection(hdc);
    OutputFreeGdiCache();
    ScreenDrawOverlays(hdc, window);
    ReleaseDC(w->hwnd, hdc);
    ScreenDrawGrid(window, &rect);
    OutputResetAbort();
    g_OutputPainting = 0;
    RequestPendingPaints();
    return 1;
}

void OutputRedrawWindow(int window)
{
    TrackingPause pause;
    if (ValidWindow(window)) {
        DrawWindow *w = WindowGetRecord(window);
        RepaintNow(w->hwnd);
        w->repaint = 0;
    }
    s_LastOfBatch = 0;
}

void OutputRedrawAll(int all)
{
    TrackingPause pause;
    int last = -1;
    for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i)
        if (all || g_DrawWindows[i].repaint)
            last = i;
    const bool view = ViewUpdates() && (all || g_ViewWindow.repaint);
    if (view)
        last = WINDOW_VIEW;
    for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i) {
        DrawWindow &w = g_DrawWindows[i];
        if (!all && !w.repaint)
            continue;
        s_LastOfBatch = i == last;
        RepaintNow(w.hwnd);
        w.repaint = 0;
    }
    if (view) {
        s_LastOfBatch = 1;
        RepaintNow(g_ViewWindow.hwnd);
        g_ViewWindow.repaint = 0;
    }
    s_LastOfBatch = 0;
}

int OutputAreaToPixels(int window, const double rect[4], RECT *out)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return 0;
    double box[4];
    MatrixTransformRect(&w->MatrixMMToPixel, rect, box);
    box[0] -= INVALIDATE_MARGIN;
    box[1] -= INVALIDATE_MARGIN;
    box[2] += INVALIDATE_MARGIN;
    box[3] += INVALIDATE_MARGIN;
    const RECT &a = w->areaRect;
    if (box[0] > a.right || box[1] > a.bottom || box[2] < a.left || box[3] < a.top)
        return 0;
    box[0] = std::max<double>(box[0], a.left);
    box[1] = std::max<double>(box[1], a.top);
    box[2] = std::min<double>(box[2], a.right);
    box[3] = std::min<double>(box[3], a.bottom);
    // A RECT leaves out its right and bottom edge: one more pixel there, so
    // that the margin reaches as far on those sides as on the others (the
    // pointer's handle boxes end exactly at it, and a repaint of the frame
    // left their right and bottom edges on screen).
    *out = RECT{static_cast<LONG>(std::floor(box[0] + 0.5)), static_cast<LONG>(std::floor(box[1] + 0.5)),
                std::min<LONG>(static_cast<LONG>(std::floor(box[2] + 0.5)) + 1, a.right),
                std::min<LONG>(static_cast<LONG>(std::floor(box[3] + 0.5)) + 1, a.bottom)};
    return 1;
}

void OutputInvalidateArea(int window, const double *rect)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    if (!rect || rect[0] == CALC_NO_VALUE) {
        RepaintNow(w->hwnd);
        return;
    }
    RECT pixels;
    if (!OutputAreaToPixels(window, rect, &pixels))
        return;
    InvalidateRect(w->hwnd, &pixels, FALSE);
    UpdateWindow(w->hwnd);
}

void OutputInvalidateAreaAll(const double *rect)
{
    TrackingPause pause;
    for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i)
        OutputInvalidateArea(i, rect);
    if (ViewUpdates())
        OutputInvalidateArea(WINDOW_VIEW, rect);
}

void OutputInvalidateTwoAreas(const double *oldRect, const double *newRect)
{
    const bool hasOld = oldRect && oldRect[0] != CALC_NO_VALUE, hasNew = newRect && newRect[0] != CALC_NO_VALUE;
    if (!hasOld && !hasNew)
        return;
    double a[4], b[4];
    if (hasOld)
        Limit(oldRect, a);
    if (hasNew)
        Limit(newRect, b);
    if (!hasOld || !hasNew) {
        OutputInvalidateAreaAll(hasOld ? a : b);
        return;
    }
    const double combined = std::fabs((a[2] - a[0]) * (a[3] - a[1])) + std::fabs((b[2] - b[0]) * (b[3] - b[1]));
    const double u[4] = {std::min(a[0], b[0]), std::min(a[1], b[1]), std::max(a[2], b[2]), std::max(a[3], b[3])};
    const double unionArea = (u[2] - u[0]) * (u[3] - u[1]);
    if (unionArea > TWO_AREAS_RATIO * combined) {
        TrackingPause pause;
        for (const double *r : {a, b}) {
            for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i)
                OutputInvalidateArea(i, r);
            if (ViewUpdates())
                OutputInvalidateArea(WINDOW_VIEW, r);
        }
    } else {
        OutputInvalidateAreaAll(u);
    }
}

namespace {

void ChooseCursor()
{
    WindowSetActive(g_ActiveWindow, 0);
    const bool help = CommandMode() == TEMPLATE_HELP_PICK;
    SetCursor(LoadCursorA(nullptr, help ? IDC_HELP : IDC_ARROW));
}

} // namespace

void OutputShowCrosshair()
{
    const int window = ScreenTrackCursor();
    if (window >= 0 && g_AppActive && g_ModalDepth == 0 && !GetCapture()) {
        WindowSetActive(window, 0);
        SetCursor(nullptr);
        InputMove(g_CursorPos.x, g_CursorPos.y);
        InputFeedbackShow(4);
        ScreenShowCrosshairs();
        return;
    }
    ChooseCursor();
}

void OutputHideCrosshair()
{
    ScreenHideCrosshairs();
    InputFeedbackHide(4);
    ChooseCursor();
}

// ---------------------------------------------------------------------------
// Line-type previews.

namespace {

constexpr double PREVIEW_UNIT = 0.02;      // pixels per stored length unit in the control
constexpr double SAMPLE_SHARE = 0.75;      // the sample's pattern spans this share of the width
constexpr int MAX_DASH_ENTRIES = 2 * LINE_MAX_PAIRS;

void Row(HDC hdc, int x1, int x2, int y)
{
    MoveToEx(hdc, x1, y, nullptr);
    LineTo(hdc, x2, y);
}

// Dashes and gaps alternate from the first dash, cyclically, over the width;
// the last piece is cut at the end. A pattern of zero total length draws
// nothing rather than walking forever.
void WalkDashes(HDC hdc, double x, double width, const int rows[2], const double *lengths, int n)
{
    double total = 0.0;
    for (int i = 0; i < n; ++i)
        total += std::fabs(lengths[i]);
    if (!(total > 0.0))
        return;
    const double end = x + width;
    for (int i = 0; x < end; i = (i + 1) % n) {
        const double length = std::fabs(lengths[i]);
        const double stop = std::min(x + length, end);
        if (i % 2 == 0) {
            const int from = static_cast<int>(std::floor(x + 0.5)), to = static_cast<int>(std::floor(stop + 0.5));
            Row(hdc, from, to, rows[0]);
            Row(hdc, from, to, rows[1]);
        }
        x = stop;
    }
}

int PatternEntries(const LineDef *line)
{
    const int n = 2 * line->pairs;
    return n >= 1 && n <= MAX_DASH_ENTRIES ? n : 0;
}

} // namespace

void OutputDrawLineDefPreview(HWND control, const LineDef *line)
{
    if (!control || !line)
        return;
    InvalidateRect(control, nullptr, FALSE);
    UpdateWindow(control);
    RECT r;
    GetClientRect(control, &r);
    HDC hdc = GetDC(control);
    if (!hdc)
        return;
    IntersectClipRect(hdc, r.left, r.top, r.right, r.bottom);
    HPEN frame = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME));
    HGDIOBJ oldPen = SelectObject(hdc, frame);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(WHITE_BRUSH));
    Rectangle(hdc, r.left, r.top, r.right, r.bottom);
    SelectObject(hdc, GetStockObject(BLACK_PEN));
    DeleteObject(frame);
    const int mid = (r.top + r.bottom) / 2;
    const int rows[2] = {mid, mid + 1};
    const int n = PatternEntries(line);
    if (n == 0) {
        Row(hdc, r.left + 1, r.right - 1, rows[0]);
        Row(hdc, r.left + 1, r.right - 1, rows[1]);
    } else {
        double lengths[MAX_DASH_ENTRIES];
        for (int i = 0; i < n; ++i)
            lengths[i] = line->lengths[i] * PREVIEW_UNIT;
        WalkDashes(hdc, r.left + 1, (r.right - r.left) - 2, rows, lengths, n);
    }
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    ReleaseDC(control, hdc);
}

void OutputDrawLineDefSample(HDC hdc, const RECT *rect, const LineDef *line)
{
    if (!hdc || !rect || !line)
        return;
    const RECT &r = *rect;
    const int mid = (r.top + r.bottom) / 2;
    const int rows[2] = {mid, mid - 1};
    const int n = PatternEntries(line);
    if (n == 0) {
        Row(hdc, r.left, r.right, rows[0]);
        Row(hdc, r.left, r.right, rows[1]);
        return;
    }
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += std::fabs(static_cast<double>(line->lengths[i]));
    const double width = r.right - r.left;
    const double scale = SAMPLE_SHARE * width / (1.0 + sum);
    double lengths[MAX_DASH_ENTRIES];
    for (int i = 0; i < n; ++i)
        lengths[i] = line->lengths[i] * scale;
    WalkDashes(hdc, r.left, width, rows, lengths, n);
}
