// Screen output set-up, cursor position with grid and ortho catch, and the
// crosshair drawn in an inverting raster operation.
#include "display/screen.h"

#include <cmath>

#include "app/darad4.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_points.h"
#include "display/output.h"
#include "geometry/calc.h"
#include "plugin/zvi_hooks.h"

CursorPos g_CursorPos = {0, 0, 0, 0, 0.0, 0.0, 0.0, 0.0};

namespace {

// The switches of the snap record.
constexpr int SNAP_SWITCH_ON = 0;
constexpr int SNAP_SWITCH_KEEP_ORTHO = 1;
constexpr int SNAP_SWITCH_KEEP_GRID = 2;

constexpr double ORTHO_NO_TOLERANCE = 1e-10;
constexpr double ORTHO_RAY_LENGTH = 128.0;
constexpr int ORTHO_MAX_ANGLES = 8;
constexpr double ORTHO_STEPS[] = {0.0,          1.5707963267946, 0.7853981633973, 0.5235987755982,
                                  0.39269908169865, 0.2617993877991, 0.0872664625997};

constexpr double TAN30 = 0.5773502691896;
constexpr double TAN41_5 = 0.8847252645559;
constexpr double TAN7 = 0.1227845609029;

HBRUSH s_OwnBackgroundBrush;
COLORREF s_OwnBackgroundColour;

int Round(double v) { return static_cast<int>(std::floor(v + 0.5)); }

bool SnappingOn() { return g_LocalData.snap.switches[SNAP_SWITCH_ON] != 0; }

const SystemDef &SystemOfWindow(const DrawWindow &w)
{
    return g_SystemDefs[w.system >= 0 && w.system < SYSTEM_SLOTS ? w.system : 0];
}

COLORREF BackgroundColour() { return InitStandardColor(g_DrawingSettings.colorDrawArea); }

bool InsideArea(const RECT &a, int x, int y) { return x >= a.left && x < a.right && y >= a.top && y < a.bottom; }

// The catch grid's column direction by grid kind.
void SlantOfGrid(int32_t kind, double *c, double *s)
{
    switch (kind) {
    case 2: *c = 0.8660254037844, *s = 0.5; break;
    case 3: *c = 0.9925461516413, *s = -0.1218693434051; break;
    case 4: *c = 0.9925461516413, *s = 0.1218693434051; break;
    default: *c = 1.0, *s = 0.0; break;
    }
}

// Steps v onto the grid and then inwards between lo and hi.
double CatchAxis(double v, double spacing, double lo, double hi)
{
    v = std::floor(v / spacing + 0.5) * spacing;
    while (v < lo)
        v += spacing;
    while (v > hi)
        v -= spacing;
    return v;
}

// A device context of the window for XOR drawing: inverting pen mix,
// transparent background, and without rulers the corner square left alone.
struct XorDc {
    HWND hwnd;
    HDC dc;
    HPEN pen;
    HGDIOBJ oldPen;
    XorDc(int window, const DrawWindow &w, COLORREF colour)
        : hwnd(w.hwnd), dc(GetDC(w.hwnd)), pen(CreatePen(PS_SOLID, 1, colour)), oldPen(nullptr)
    {
        if (!dc)
            return;
        SetROP2(dc, R2_NOTXORPEN);
        SetBkMode(dc, TRANSPARENT);
        oldPen = SelectObject(dc, pen);
        if (!WindowHasRulers(window)) {
            const int rw = g_WindowLayout.rulerWidth;
            ExcludeClipRect(dc, 0, 0, rw, rw);
        }
    }
    ~XorDc()
    {
        if (dc) {
            SelectObject(dc, oldPen);
            ReleaseDC(hwnd, dc);
        }
        DeleteObject(pen);
    }
    XorDc(const XorDc &) = delete;
    XorDc &operator=(const XorDc &) = delete;
    void Line(int x1, int y1, int x2, int y2) const
    {
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    }
};

// Stores one crosshair coordinate when it lies inside the area.
int32_t CrossCoordinate(double v, LONG lo, LONG hi)
{
    if (!(std::fabs(v) < SCREEN_CROSS_LIMIT))
        return -1;
    const int r = Round(v);
    return r >= lo && r <= hi ? r : -1;
}

void ComputeCrossPixels(DrawWindow &w)
{
    double cx, cy, rx, ry;
    MatrixApply(w.MatrixMMToPixel, g_CursorPos.x, g_CursorPos.y, &cx, &cy);
    MatrixApply(w.MatrixMMToPixel, g_CursorPos.rawX, g_CursorPos.rawY, &rx, &ry);
    const RECT &a = w.areaRect;
    w.crossCaughtX = CrossCoordinate(cx, a.left, a.right);
    w.crossCaughtY = CrossCoordinate(cy, a.top, a.bottom);
    w.crossRawX = CrossCoordinate(rx, a.left, a.right);
    w.crossRawY = CrossCoordinate(ry, a.top, a.bottom);
}

// Every window that carries crosshair marks, view window first.
template <typename F> void ForEachCrossWindow(bool viewAlways, F f)
{
    if (g_ViewWindow.hwnd && (viewAlways || g_Options.viewVisible))
        f(WINDOW_VIEW);
    for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i)
        if (g_DrawWindows[i].hwnd)
            f(i);
}

void RestoreCursor()
{
    const bool help = CommandMode() == TEMPLATE_HELP_PICK;
    SetCursor(LoadCursorA(nullptr, help ? IDC_HELP : IDC_ARROW));
}

} // namespace

HBRUSH ScreenBackgroundBrush()
{
    if (g_SharedGdi.drawAreaBrush)
        return g_SharedGdi.drawAreaBrush;
    const COLORREF colour = BackgroundColour();
    if (!s_OwnBackgroundBrush || s_OwnBackgroundColour != colour) {
        if (s_OwnBackgroundBrush)
            DeleteObject(s_OwnBackgroundBrush);
        s_OwnBackgroundBrush = CreateSolidBrush(colour);
        s_OwnBackgroundColour = colour;
    }
    return s_OwnBackgroundBrush;
}

void ScreenSetupOutput(HDC hdc, int window, const RECT *update, uint32_t mode)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    OutputResetAbort(); // a stop of an earlier output never carries into this one
    OutputContext &o = g_OutputContext;
    if (o.backgroundPenOwned && o.backgroundPen)
        DeleteObject(o.backgroundPen);
    if (o.backgroundBrushOwned && o.backgroundBrush)
        DeleteObject(o.backgroundBrush);
    o.backgroundPenOwned = o.backgroundBrushOwned = 0;
    o.backgroundPen = g_SharedGdi.drawAreaPen;
    o.backgroundBrush = ScreenBackgroundBrush();
    o.backgroundColour = BackgroundColour();
    o.zoom = o.widthZoom = w->pixelsPerMm;
    o.scale = o.widthScale = std::fabs(w->zoom);
    o.window = window;
    o.palette = nullptr;
    o.pageNumber = o.pageCount = 1;
    o.outlineOnly = o.lastOfBatch = 0;
    o.mode = mode;

    const RECT &a = w->areaRect;
    if (!update) {
        o.pixelClipRect[0] = a.left;
        o.pixelClipRect[1] = a.top;
        o.pixelClipRect[2] = a.right;
        o.pixelClipRect[3] = a.bottom;
        for (int i = 0; i < 4; ++i)
            o.visibleRect[i] = w->visibleRect[i];
    } else {
        o.pixelClipRect[0] = std::max(a.left, update->left);
        o.pixelClipRect[1] = std::max(a.top, update->top);
        o.pixelClipRect[2] = std::min(a.right, update->right);
        o.pixelClipRect[3] = std::min(a.bottom, update->bottom);
        const double r[4] = {o.pixelClipRect[0] - 0.5, o.pixelClipRect[1] - 0.5, o.pixelClipRect[2] + 0.5,
                             o.pixelClipRect[3] + 0.5};
        MatrixTransformRect(&w->MatrixPixelToMM, r, o.visibleRect);
    }
    o.base = o.current = w->MatrixMMToPixel;
    for (int i = 0; i < 4; ++i) {
        o.safePixelRect[i] = w->safePixelRect[i];
        o.noClipRect[i] = w->safeRect[i];
    }
    if (!hdc)
        return;
    IntersectClipRect(hdc, o.pixelClipRect[0], o.pixelClipRect[1], o.pixelClipRect[2], o.pixelClipRect[3]);
    if (!WindowHasRulers(window)) {
        const int rw = g_WindowLayout.rulerWidth;
        ExcludeClipRect(hdc, 0, 0, rw, rw);
        if (WindowHasButtons(window))
            ExcludeClipRect(hdc, 0, w->buttonRects[0].top, rw, a.bottom);
        if (window == 0)
            ExcludeClipRect(hdc, w->buttonRects[WINDOW_FIRST_TOGGLE + 1].left, 0, a.right, rw);
    }
}

int ScreenEraseBackground(HDC hdc, const RECT *rect)
{
    if (g_ScreenColorBits == 8 && g_DrawingSettings.displayPalette) {
        HPALETTE palette = CreateHalftonePalette(hdc);
        if (palette) {
            SelectPalette(hdc, palette, FALSE);
            RealizePalette(hdc);
            SelectPalette(hdc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
            DeleteObject(palette);
        }
    }
    return FillRect(hdc, rect, ScreenBackgroundBrush());
}

void ScreenGridCatch(int window, double point[2])
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    const SystemDef &s = SystemOfWindow(*w);
    const CommandState &cs = *g_CommandState;
    if (s.catchGridKind == 0 || !w->catchGrid)
        return;
    if (SnappingOn() && !g_LocalData.snap.switches[SNAP_SWITCH_KEEP_GRID])
        return;
    if (cs.pointKind >= POINT_KIND_FIRST_PICK || !InputIsNotTransparent(cs.commandId))
        return;
    double dx = std::fabs(s.catchGridX);
    const double dy = std::fabs(s.catchGridY);
    double X, Y;
    MatrixApply(w->MatrixMMToSystem, point[0], point[1], &X, &Y);
    const Matrix &p = w->MatrixPixelToSystem;
    const RECT &a = w->areaRect;
    const double left = p.a * a.left + p.tx, right = p.a * a.right + p.tx;
    const double bottom = p.d * a.bottom + p.ty, top = p.d * a.top + p.ty;
    if (s.catchGridKind == 1) {
        if (dx != 0)
            X = CatchAxis(X, dx, left, right);
        if (dy != 0)
            Y = CatchAxis(Y, dy, bottom, top);
    } else {
        double c, sn;
        SlantOfGrid(s.catchGridKind, &c, &sn);
        double k;
        if (dx == 0) {
            dx = 1;
            k = X / c;
        } else {
            const double step = c * dx;
            k = std::floor(X / step + 0.5);
            X = c * k * dx;
            while (X < left)
                X += step, k += 1;
            while (X > right)
                X -= step, k -= 1;
        }
        if (dy != 0) {
            const double offset = sn * k * dx;
            Y = std::floor((Y - offset) / dy + 0.5) * dy + offset;
            while (Y < bottom)
                Y += dy;
            while (Y > top)
                Y -= dy;
        }
    }
    MatrixApply(w->MatrixSystemToMM, X, Y, &point[0], &point[1]);
}

void ScreenOrthoCatch(int window, double point[2])
{
    (void)window;
    const CommandState &cs = *g_CommandState;
    const DrawingSettings &ds = g_DrawingSettings;
    if (!ds.displayOrtho || cs.pointIndex < 1 || cs.referenceIndex == -1)
        return;
    if (SnappingOn() && !g_LocalData.snap.switches[SNAP_SWITCH_KEEP_ORTHO])
        return;
    if (!InputIsNotTransparent(cs.commandId))
        return;
    if (cs.referenceIndex < 0 || cs.referenceIndex >= g_InputPointLimit)
        return;
    const ConstructionPoint &r = g_ConstructionPoints[cs.referenceIndex];
    const double px = point[0], py = point[1];
    const double tolerance = ds.orthoExtra;
    double angles[64];
    int count = 0;
    const int32_t kind = ds.orthoModes[0];
    if (kind == 0) {
        count = std::max(0, std::min(ds.orthoModes[1], ORTHO_MAX_ANGLES));
        for (int i = 0; i < count; ++i)
            angles[i] = ds.orthoAngles[i];
    } else if (kind >= 1 && kind <= 6) {
        for (double a = 0.0; a < CALC_PI && count < 64; a += ORTHO_STEPS[kind])
            angles[count++] = a;
    } else {
        angles[count++] = 0.0;
        angles[count++] = CALC_HALF_PI;
    }
    double best = 1e300;
    double outX = px, outY = py;
    const double direction = CalcAngleOfVector(px - r.x, py - r.y);
    for (int i = 0; i < count; ++i) {
        const double a = angles[i];
        if (std::fabs(tolerance) > ORTHO_NO_TOLERANCE) {
            double d = direction - a;
            while (d > CALC_HALF_PI)
                d -= CALC_PI;
            while (d < -CALC_HALF_PI)
                d += CALC_PI;
            if (std::fabs(d) > tolerance)
                continue;
        }
        CalcPerpendicularFootLine(r.x, r.y, r.x + ORTHO_RAY_LENGTH * std::cos(a),
                                  r.y + ORTHO_RAY_LENGTH * std::sin(a), px, py);
        const double fx = g_CalcPoints[0].x, fy = g_CalcPoints[0].y;
        const double dist = std::hypot(fx - px, fy - py);
        if (dist < best) {
            best = dist;
            outX = fx;
            outY = fy;
        }
    }
    point[0] = outX;
    point[1] = outY;
}

void ScreenSetCursorPos(int window, int x, int y)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    MatrixApply(w->MatrixPixelToMM, x, y, &g_CursorPos.rawX, &g_CursorPos.rawY);
    double p[2] = {g_CursorPos.rawX, g_CursorPos.rawY};
    ScreenGridCatch(window, p);
    ScreenOrthoCatch(window, p);
    ZVI_HookPositionEnd(window, p);
    g_CursorPos.xChanged = g_CursorPos.x != p[0];
    g_CursorPos.yChanged = g_CursorPos.y != p[1];
    g_CursorPos.x = p[0];
    g_CursorPos.y = p[1];
}

namespace {

// The window under the screen point whose drawing area holds it; -1 none.
// With update set, the cursor position follows on the way.
int FindCursorWindow(bool update, bool requireTracking)
{
    POINT screen;
    if (!GetCursorPos(&screen))
        return -1;
    auto test = [&](int index) -> int {
        const DrawWindow *w = WindowGetRecord(index);
        if (!w->hwnd || !IsWindowVisible(w->hwnd))
            return 0;
        POINT p = screen;
        ScreenToClient(w->hwnd, &p);
        if (!InsideArea(w->areaRect, p.x, p.y))
            return 0;
        if (update)
            ScreenSetCursorPos(index, p.x, p.y);
        return !requireTracking || CommandTracksCursor() ? 1 : 0;
    };
    if (g_Options.viewVisible && test(WINDOW_VIEW))
        return WINDOW_VIEW;
    for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i)
        if (test(i))
            return i;
    return -1;
}

} // namespace

int ScreenTrackCursor() { return FindCursorWindow(true, true); }

int ScreenWindowFromCursor()
{
    const int w = FindCursorWindow(false, false);
    return w >= 0 ? w : g_ActiveWindow;
}

int ScreenHitTestMargin(int window, int x, int y)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return SCREEN_HIT_ELSEWHERE;
    auto inside = [&](const RECT &r) { return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom; };
    if (WindowHasButtons(window))
        for (int i = 0; i < WINDOW_CORNER_BUTTONS; ++i)
            if (w->buttonRects[i].left >= 0 && inside(w->buttonRects[i]))
                return i;
    for (int i = WINDOW_FIRST_TOGGLE; i < WINDOW_BUTTONS; ++i)
        if (w->buttonRects[i].left >= 0 && inside(w->buttonRects[i]))
            return i;
    if (!InsideArea(w->areaRect, x, y))
        return SCREEN_HIT_ELSEWHERE;
    const int rw = g_WindowLayout.rulerWidth;
    if (!WindowHasRulers(window) && x < rw && y < rw)
        return SCREEN_HIT_ELSEWHERE;
    ScreenSetCursorPos(window, x, y);
    return CommandTracksCursor() ? SCREEN_HIT_AREA_TRACKING : SCREEN_HIT_AREA;
}

void ScreenCrosshairDraw(int window)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    const int cx = w->crossCaughtX, cy = w->crossCaughtY, rx = w->crossRawX, ry = w->crossRawY;
    const RECT &area = w->areaRect;
    {
        XorDc x(window, *w, InitStandardColor(g_DrawingSettings.colorCross[0]));
        if (!x.dc)
            return;
        if (cx >= 0 && cy >= 0) {
            x.Line(cx, w->rulerTopRect.top, cx, area.bottom);
            x.Line(w->rulerLeftRect.left, cy, area.right, cy);
            const CommandState &cs = *g_CommandState;
            const double r = g_LocalData.snap.pickAperture;
            const ScreenMetrics &m = g_ScreenMetrics;
            if (cs.pointKind < POINT_KIND_FIRST_PICK) {
                if (SnappingOn() && InputIsNotTransparent(cs.commandId)) {
                    const int hx = Round(m.aspectX * r), hy = Round(m.aspectY * r);
                    const int t = std::max(2, Round(0.2 * r));
                    x.Line(cx - hx, cy - t, cx - hx, cy + t + 1);
                    x.Line(cx + hx, cy - t, cx + hx, cy + t + 1);
                    x.Line(cx - t, cy - hy, cx + t + 1, cy - hy);
                    x.Line(cx - t, cy + hy, cx + t + 1, cy + hy);
                }
            } else {
                const int hx = Round(m.aspectX * r * 0.8), hy = Round(m.aspectY * r * 0.8);
                const int t = std::max(1, Round(0.2 * r));
                // A stroke through each corner, at right angles to the diagonal.
                for (int sx = -1; sx <= 1; sx += 2)
                    for (int sy = -1; sy <= 1; sy += 2) {
                        const int px = cx + sx * hx, py = cy + sy * hy;
                        x.Line(px + sy * t, py - sx * t, px - sy * (t + 1), py + sx * (t + 1));
                    }
            }
            double k1 = 0, k2 = 0;
            switch (SystemOfWindow(*w).displayGridKind) {
            case 2: k1 = k2 = TAN30; break;
            case 3: k1 = TAN41_5, k2 = TAN7; break;
            case 4: k1 = TAN7, k2 = TAN41_5; break;
            default: break;
            }
            if (k1 != 0) {
                const int L = w->rulerLeftRect.left, R = area.right;
                x.Line(L, cy + Round((cx - L) * k1), R, cy + Round((cx - R) * k1));
                x.Line(L, cy + Round((L - cx) * k2), R, cy + Round((R - cx) * k2));
            }
        }
    }
    XorDc mark(window, *w, InitStandardColor(g_DrawingSettings.colorCross[1]));
    if (!mark.dc)
        return;
    if (std::abs(rx - cx) > 1 && rx >= 0)
        mark.Line(rx, ry - 2, rx, ry + 3);
    if (std::abs(ry - cy) > 1 && ry >= 0)
        mark.Line(rx - 2, ry, rx + 3, ry);
}

void ScreenCrosshairDrawInactive(int window)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    XorDc x(window, *w, InitStandardColor(g_DrawingSettings.colorCross[1]));
    if (!x.dc)
        return;
    const int cx = w->crossCaughtX, cy = w->crossCaughtY;
    if (WindowHasRulers(window)) {
        if (cx >= 0)
            x.Line(cx, w->rulerTopRect.top, cx, w->rulerTopRect.bottom - 1);
        if (cy >= 0)
            x.Line(w->rulerLeftRect.left, cy, w->rulerLeftRect.right - 1, cy);
    }
    if (cx >= 0 && cy >= 0) {
        x.Line(cx, cy - 6, cx, cy + 7);
        x.Line(cx - 6, cy, cx + 7, cy);
    }
}

void ScreenShowCrosshairs()
{
    ScreenHideCrosshairs();
    ForEachCrossWindow(false, [](int index) {
        DrawWindow &w = *WindowGetRecord(index);
        ComputeCrossPixels(w);
        if (index == g_PanelWindow) {
            ScreenCrosshairDraw(index);
            g_CursorPos.window = index;
        } else {
            ScreenCrosshairDrawInactive(index);
        }
    });
    g_CursorPos.shown = 1;
}

void ScreenHideCrosshairs()
{
    if (!g_CursorPos.shown)
        return;
    ForEachCrossWindow(true, [](int index) {
        if (index == g_CursorPos.window)
            ScreenCrosshairDraw(index);
        else
            ScreenCrosshairDrawInactive(index);
    });
    g_CursorPos.shown = 0;
}

void ScreenCrosshairOn(int window)
{
    WindowSetActive(window, 0);
    SetCursor(nullptr);
    InputMove(g_CursorPos.x, g_CursorPos.y);
    InputFeedbackShow(4);
    ScreenShowCrosshairs();
}

void ScreenCrosshairOff()
{
    ScreenHideCrosshairs();
    InputFeedbackHide(4);
    RestoreCursor();
}

void ScreenScrollPositions(int window, int *horizontal, int *vertical)
{
    const DrawWindow *w = WindowGetRecord(window);
    *horizontal = *vertical = 0;
    if (!w)
        return;
    double sx, sy;
    MatrixApply(w->MatrixMMToSystem, w->centreX, w->centreY, &sx, &sy);
    const double *e = w->pageRectSystem;
    auto position = [](double v) {
        if (!(v >= 0))
            return 0;
        if (v > WINDOW_SCROLL_RANGE)
            return WINDOW_SCROLL_RANGE;
        return static_cast<int32_t>(std::floor(v + 0.5));
    };
    const double width = e[2] - e[0], height = e[3] - e[1];
    *horizontal = width != 0 ? position((sx - e[0]) * WINDOW_SCROLL_RANGE / width) : 0;
    *vertical = height != 0 ? position((e[3] - sy) * WINDOW_SCROLL_RANGE / height) : 0;
}

void ScreenSetScrollPos(int window)
{
    if (window < 0 || window >= WINDOW_DRAW_COUNT || !g_Options.scrollVisible)
        return;
    int h, v;
    ScreenScrollPositions(window, &h, &v);
    SetScrollPos(g_DrawWindows[window].hwnd, SB_HORZ, h, TRUE);
    SetScrollPos(g_DrawWindows[window].hwnd, SB_VERT, v, TRUE);
}
