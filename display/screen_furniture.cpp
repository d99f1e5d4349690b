// Everything on a drawing window besides the drawing: rulers, the corner box
// with the window number, margin icons, page sheets, the origin icon, the
// info lines and the dot grid (pixels on the screen, markers on devices).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/darad4.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/command_mouse.h"
#include "display/clip.h"
#include "display/output.h"
#include "display/screen.h"
#include "language/language.h"
#include "language/language_entries.h"

namespace {

constexpr int32_t UNIT_INCH = 7;
constexpr double RULER_VALUE_LIMIT = 1e9;
constexpr int32_t RULER_LABEL_LIMIT = 100000;
constexpr int RULER_MIN_TICK_DISTANCE = 2;
constexpr int MARGIN_ICON_ORDER[] = {6, 5, 7, 9, 10, 13, 8, 11, 12};
constexpr int ORIGIN_ICON_HALF = 15;
constexpr double ZOOM_PERCENT = 100.0;

int Round(double v) { return static_cast<int>(std::floor(v + 0.5)); }

const SystemDef &SystemOf(const DrawWindow &w)
{
    return g_SystemDefs[w.system >= 0 && w.system < SYSTEM_SLOTS ? w.system : 0];
}

void SlantOf(int32_t kind, double *c, double *s)
{
    switch (kind) {
    case 2: *c = 0.8660254037844, *s = 0.5; break;
    case 3: *c = 0.9925461516413, *s = -0.1218693434051; break;
    case 4: *c = 0.9925461516413, *s = 0.1218693434051; break;
    default: *c = 0.0, *s = 0.0; break;
    }
}

// The ruler font turned by 90 degrees for the vertical ruler, made once.
HFONT MiniFontY()
{
    static HFONT font;
    if (!font)
        font = InitCreateMiniFont(-11, 900);
    return font;
}

int RulerWidth() { return g_WindowLayout.rulerWidth > 0 ? g_WindowLayout.rulerWidth : 16; }

// Width of "-999" in the ruler font plus 5 pixels.
int RulerLabelWidth(HDC dc)
{
    HGDIOBJ old = SelectObject(dc, g_SharedGdi.miniFontX ? g_SharedGdi.miniFontX : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32A(dc, "-999", 4, &size);
    SelectObject(dc, old);
    return size.cx + 5;
}

COLORREF RulerColour(int window) { return GetSysColor(window == g_ActiveWindow ? COLOR_BTNTEXT : COLOR_GRAYTEXT); }

// A window DC released at the end of a scope.
struct WindowDc {
    explicit WindowDc(HWND h) : hwnd(h), dc(h ? GetDC(h) : nullptr) {}
    ~WindowDc()
    {
        if (dc)
            ReleaseDC(hwnd, dc);
    }
    WindowDc(const WindowDc &) = delete;
    WindowDc &operator=(const WindowDc &) = delete;
    HWND hwnd;
    HDC dc;
};

// The ticks of one ruler: first value t (in tenths or sixteenths), its
// exact pixel position, and the distance between ticks.
struct RulerWalk {
    ScreenRulerSteps steps;
    int64_t t;
    double position, distance;
};

// Values of the ruler along one axis, or 0 when nothing is drawn.
int PlanRuler(double p, int labelWidth, bool inch, double v, double e, bool ascending, RulerWalk *walk)
{
    if (std::fabs(std::ceil(v)) >= RULER_VALUE_LIMIT || std::fabs(std::floor(e)) >= RULER_VALUE_LIMIT)
        return 0;
    if (!ScreenRulerChooseSteps(p, labelWidth, inch, &walk->steps))
        return 0;
    const int64_t T = walk->steps.tick;
    const double factor = inch ? 0.0625 : 0.1;
    int64_t t;
    if (ascending) {
        t = static_cast<int64_t>(std::ceil(v));
        const int64_t r = t % T;
        if (r > 0)
            t += T - r;
        else if (r < 0)
            t -= r;
        walk->position = (t - v) * p * factor;
    } else {
        t = static_cast<int64_t>(std::floor(v));
        const int64_t r = t % T;
        if (r > 0)
            t -= r;
        else if (r < 0)
            t -= T + r;
        walk->position = (v - t) * p * factor;
    }
    walk->t = t;
    walk->distance = T * p * factor;
    return walk->distance >= RULER_MIN_TICK_DISTANCE ? 1 : 0;
}

void DrawRulerAxis(int window, bool vertical, bool inch)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    WindowDc wdc(w->hwnd);
    HDC dc = wdc.dc;
    if (!dc)
        return;
    const int labelWidth = RulerLabelWidth(dc);
    const RECT R = vertical ? w->rulerLeftRect : w->rulerTopRect;
    const double units = inch ? 16.0 : 10.0;
    double v, e, p;
    if (!vertical) {
        double x, y;
        MatrixApply(w->MatrixPixelToSystem, w->areaRect.left, w->areaRect.top, &x, &y);
        v = units * x;
        MatrixApply(w->MatrixPixelToSystem, R.right - 2, w->areaRect.top, &x, &y);
        e = units * x;
        p = w->pixelsPerUnitX;
    } else {
        double x, y;
        MatrixApply(w->MatrixPixelToSystem, w->areaRect.left, w->areaRect.top, &x, &y);
        v = units * y;
        MatrixApply(w->MatrixPixelToSystem, w->areaRect.left, R.bottom - 2, &x, &y);
        e = units * y;
        p = w->pixelsPerUnitY;
    }
    RulerWalk walk;
    if (!PlanRuler(p, labelWidth, inch, v, e, !vertical, &walk))
        return;
    const int64_t L = walk.steps.label, M = walk.steps.medium, T = walk.steps.tick;
    const int saved = SaveDC(dc);
    if (vertical)
        IntersectClipRect(dc, R.left + 1, R.top, R.right - 2, R.bottom - 1);
    else
        IntersectClipRect(dc, R.left, R.top + 1, R.right - 1, R.bottom - 2);
    const COLORREF colour = RulerColour(window);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    SelectObject(dc, pen);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, vertical ? MiniFontY() : g_SharedGdi.miniFontX);
    SetTextAlign(dc, vertical ? TA_RIGHT : TA_LEFT | TA_TOP);
    const int64_t divisor = inch ? 16 : 10;
    char label[24];
    int64_t t = walk.t;
    int pos = (vertical ? R.top : R.left) + Round(walk.position);
    double exact = walk.position;
    const int end = (vertical ? R.bottom : R.right) - 1;
    while (pos < end) {
        const bool long_ = t % L == 0, medium = !long_ && t % M == 0;
        const int from = long_ ? 5 : medium ? 6 : 4; // from the near edge for long ticks, else the far edge
        if (!vertical) {
            MoveToEx(dc, pos, long_ ? R.top + from : R.bottom - from, nullptr);
            LineTo(dc, pos, R.bottom - 2);
            if (long_ && t > -RULER_LABEL_LIMIT && t < RULER_LABEL_LIMIT && pos < R.right - labelWidth) {
                const int n = std::snprintf(label, sizeof label, "%lld", static_cast<long long>(t / divisor));
                TextOutA(dc, pos + 2, R.top, label, n);
            }
        } else {
            MoveToEx(dc, long_ ? R.left + from : R.right - from, pos, nullptr);
            LineTo(dc, R.right - 2, pos);
            if (long_ && t > -RULER_LABEL_LIMIT && t < RULER_LABEL_LIMIT && pos < R.bottom - labelWidth) {
                const int n = std::snprintf(label, sizeof label, "%lld", static_cast<long long>(t / divisor));
                TextOutA(dc, R.left + 1, pos + 2, label, n);
            }
        }
        t += vertical ? -T : T;
        exact += walk.distance;
        pos = (vertical ? R.top : R.left) + Round(exact);
    }
    RestoreDC(dc, saved);
    DeleteObject(pen);
}

void DrawNumberText(HDC dc, int window)
{
    char text[16];
    const int n = std::snprintf(text, sizeof text, "[%d]", window == WINDOW_VIEW ? 0 : window + 1);
    SelectObject(dc, g_SharedGdi.miniFontX);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RulerColour(window));
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    TextOutA(dc, RulerWidth() / 2, 1, text, n);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

void PolylineColour(HDC dc, int sysColour, const POINT *points, int count)
{
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(sysColour));
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points, count);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// Screen pixels of the grid along one axis, from the first at or after lo
// up to hi: 0 when there are more than the limit (nothing is drawn then).
int CollectAxis(double first, double step, double lo, double hi, int limit, int *out)
{
    while (first < lo)
        first += step;
    int n = 0;
    for (double v = first; v <= hi; v += step) {
        if (n == limit)
            return -1;
        out[n++] = Round(v);
    }
    return n;
}

} // namespace

int ScreenRulerChooseSteps(double p, int labelWidth, bool inch, ScreenRulerSteps *out)
{
    if (!(p > 0.0))
        return 0;
    if (!inch) {
        if (p >= 2.0 * labelWidth) {
            out->label = 10;
            out->medium = p < 40 ? 10 : 5;
            out->tick = p < 20 ? 5 : p < 40 ? 2 : 1;
            return 1;
        }
        const double n = std::ceil(20.0 * labelWidth / p);
        if (std::fabs(n) > 1e9)
            return 0;
        // Rows by decades: 2, 5, 10, 25, 50, 100, 250, 500, 1000, ...
        static const int64_t firstRows[][3] = {{20, 10, 2}, {50, 10, 5}};
        for (const auto &row : firstRows)
            if (n <= row[0]) {
                out->label = row[0], out->medium = row[1], out->tick = row[2];
                return 1;
            }
        for (int64_t decade = 100; decade <= 1000000000; decade *= 10) {
            if (n <= decade) {
                out->label = decade, out->medium = decade / 2, out->tick = decade / 10;
                return 1;
            }
            if (decade == 1000000000)
                break;
            const int64_t quarter = decade * 5 / 2, half = decade * 5;
            if (n <= quarter) {
                out->label = quarter, out->medium = quarter / 5, out->tick = quarter / 10;
                return 1;
            }
            if (n <= half) {
                out->label = half, out->medium = half / 5, out->tick = half / 10;
                return 1;
            }
        }
        out->label = 1000000000, out->medium = 500000000, out->tick = 100000000;
        return 1;
    }
    if (p >= 2.0 * labelWidth) {
        out->label = 16, out->medium = 8;
        out->tick = p < 32 ? 4 : p < 64 ? 2 : 1;
        return 1;
    }
    const double n = std::ceil(32.0 * labelWidth / p);
    if (n <= 32) {
        out->label = 32, out->medium = 16, out->tick = 4;
        return 1;
    }
    if (n <= 64) {
        out->label = 64, out->medium = 16, out->tick = 8;
        return 1;
    }
    for (int64_t l = 256; l <= 268435456; l *= 4)
        if (n <= l) {
            out->label = l, out->medium = l / 4, out->tick = l / 8;
            return 1;
        }
    out->label = 1073741824, out->medium = 268435456, out->tick = 134217728;
    return 1;
}

double ScreenGridEnlarge(double spacing)
{
    if (spacing < 0.5)
        return 0.0;
    if (spacing < 1.0)
        return spacing * 10;
    if (spacing < 2.5)
        return spacing * 5;
    if (spacing < 5.0)
        return spacing * 2;
    return spacing;
}

void ScreenDrawSheets(HDC hdc)
{
    const COLORREF frame = InitStandardColor(g_DrawingSettings.colorPageFrame);
    const COLORREF area = InitStandardColor(g_DrawingSettings.colorDrawArea);
    HPEN dotted = CreatePen(PS_DOT, 1, frame);
    HGDIOBJ oldFont = SelectObject(hdc, g_SharedGdi.miniFontX);
    HGDIOBJ oldPen = SelectObject(hdc, dotted);
    SetTextAlign(hdc, TA_LEFT | TA_TOP);
    for (int32_t i = 0; i < g_PageDefs.count && i < PAGE_SLOTS; ++i) {
        const double *f = g_PageDefs.frames[i];
        const bool active = i == g_PageDefs.active;
        SetBkMode(hdc, OPAQUE);
        SetBkColor(hdc, active ? frame : area);
        SetTextColor(hdc, active ? area : frame);
        char text[16];
        std::snprintf(text, sizeof text, " %d ", i + 1);
        ClipDrawText(hdc, f[0], f[3], text);
        SetBkMode(hdc, TRANSPARENT);
        ClipDrawWorldFrame(hdc, f[0], f[1], f[2], f[3]);
    }
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldFont);
    DeleteObject(dotted);
}

void ScreenDrawOrigin(HDC hdc, int window)
{
    if (window == WINDOW_VIEW && g_Options.viewSimple)
        return;
    DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    const SystemDef &s = SystemOf(*w);
    double x, y;
    MatrixApply(g_OutputContext.current, s.originX, s.originY, &x, &y);
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "IDI_ORIGIN");
    if (icon && std::fabs(x) < SCREEN_CROSS_LIMIT && std::fabs(y) < SCREEN_CROSS_LIMIT)
        DrawIcon(hdc, Round(x) - ORIGIN_ICON_HALF, Round(y) - ORIGIN_ICON_HALF, icon);
}

void ScreenDrawActiveInfo(HDC hdc, int window, int erase)
{
    if (window == WINDOW_VIEW && g_Options.viewSimple)
        return;
    DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    const COLORREF area = InitStandardColor(g_DrawingSettings.colorDrawArea);
    HGDIOBJ oldFont = SelectObject(hdc, g_SharedGdi.panelFont ? g_SharedGdi.panelFont : g_SharedGdi.miniFontX);
    SetBkMode(hdc, OPAQUE);
    SetBkColor(hdc, area);
    SetTextColor(hdc, erase ? area : InitStandardColor(g_DrawingSettings.colorPageFrame));
    SetTextAlign(hdc, TA_LEFT | TA_TOP);
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    const int lineHeight = tm.tmHeight;
    int y = w->areaRect.bottom - lineHeight;
    char line[256];
    auto write = [&](const char *text) {
        TextOutA(hdc, RulerWidth(), y, text, lstrlenA(text));
        y -= lineHeight;
    };
    auto name = [](const char *entry, const char *fallback) { return entry && entry[0] ? entry : fallback; };
    if (window == 0) {
        const int32_t layer = g_ActiveLayer >= 0 && g_ActiveLayer < LAYER_SLOTS ? g_ActiveLayer : 0;
        const int32_t pen = g_ActivePen >= 0 && g_ActivePen < PEN_SLOTS ? g_ActivePen : 0;
        const int32_t hatch = 0; // no hatch is chosen before the hatch commands exist
        std::snprintf(line, sizeof line, LANG_FORMAT(eDialogText, InfoLayer, "%s"),
                      name(g_LayerDefs[layer].name, g_LayerDefs[0].name));
        write(line);
        std::snprintf(line, sizeof line, LANG_FORMAT(eDialogText, InfoPen, "%s"),
                      name(g_PenDefs[pen].name, g_PenDefs[0].name));
        write(line);
        std::snprintf(line, sizeof line, LANG_FORMAT(eDialogText, InfoHatch, "%s"),
                      name(g_HatchDefs[hatch].name, g_HatchDefs[0].name));
        write(line);
    }
    std::snprintf(line, sizeof line, LANG_FORMAT(eDialogText, InfoSystem, "%s"),
                  name(SystemOf(*w).name, g_SystemDefs[0].name));
    write(line);
    char zoom[64];
    std::snprintf(zoom, sizeof zoom, "%.2f", std::fabs(w->zoom) * ZOOM_PERCENT);
    std::snprintf(line, sizeof line, LANG_FORMAT(eDialogText, InfoZoom, "%s"), zoom);
    write(line);
    SelectObject(hdc, oldFont);
}

void ScreenDrawOverlays(HDC hdc, int window)
{
    if (g_Options.pageVisible)
        ScreenDrawSheets(hdc);
    if (g_Options.originVisible)
        ScreenDrawOrigin(hdc, window);
    if (WindowHasButtons(window))
        ScreenDrawActiveInfo(hdc, window, 0);
    if (!WindowHasRulers(window)) {
        ScreenDrawWindowNumber(window);
        ScreenDrawMarginIcons(window);
    }
    g_OutputContext.outlineOnly = 0;
}

void ScreenRefreshRulers(int window)
{
    WindowSetView(window, WINDOW_VIEW_ABSOLUTE, CALC_NO_VALUE, CALC_NO_VALUE, CALC_NO_VALUE);
    if (WindowHasRulers(window)) {
        ScreenDrawRulerCorner(window);
        ScreenDrawRulers(window);
    } else {
        ScreenDrawWindowNumber(window);
    }
    ScreenDrawMarginIcons(window);
}

void ScreenDrawRulers(int window)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    if (SystemOf(*w).lengthUnit == UNIT_INCH) {
        ScreenDrawRulerInch(window);
        ScreenDrawRulerVerticalInch(window);
    } else {
        ScreenDrawRuler(window);
        ScreenDrawRulerVertical(window);
    }
}

void ScreenDrawRuler(int window) { DrawRulerAxis(window, false, false); }
void ScreenDrawRulerVertical(int window) { DrawRulerAxis(window, true, false); }
void ScreenDrawRulerInch(int window) { DrawRulerAxis(window, false, true); }
void ScreenDrawRulerVerticalInch(int window) { DrawRulerAxis(window, true, true); }

void ScreenDrawRulerCorner(int window)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    WindowDc wdc(w->hwnd);
    HDC dc = wdc.dc;
    if (!dc)
        return;
    const RECT V = w->rulerLeftRect, H = w->rulerTopRect;
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, face);
    Rectangle(dc, 0, 0, V.right, V.bottom + 1);
    Rectangle(dc, 0, 0, H.right + 1, H.bottom);
    const POINT dark[] = {{V.left, V.bottom}, {V.right - 1, V.bottom}, {V.right - 1, H.bottom - 1},
                          {H.right, H.bottom - 1}, {H.right, H.top}};
    const POINT light[] = {{V.left, V.bottom - 1}, {V.left, H.top}, {H.right, H.top}};
    const POINT shadow[] = {{V.left, V.bottom - 1}, {V.right - 2, V.bottom - 1}, {V.right - 2, H.bottom - 2},
                            {H.right - 1, H.bottom - 2}, {H.right - 1, H.top}};
    PolylineColour(dc, COLOR_BTNTEXT, dark, 5);
    PolylineColour(dc, COLOR_BTNHIGHLIGHT, light, 3);
    PolylineColour(dc, COLOR_BTNSHADOW, shadow, 5);
    DrawNumberText(dc, window);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void ScreenDrawWindowNumber(int window)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    WindowDc wdc(w->hwnd);
    HDC dc = wdc.dc;
    if (!dc)
        return;
    const int rw = RulerWidth();
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNFACE));
    Rectangle(dc, 0, 0, rw, rw);
    RECT raised = {0, 0, rw - 1, rw - 1};
    DrawEdge(dc, &raised, BDR_RAISEDINNER, BF_RECT);
    DrawNumberText(dc, window);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
}

void ScreenDrawMarginIcons(int window)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    const int rw = RulerWidth();
    if (window == 0) {
        for (int icon : MARGIN_ICON_ORDER)
            CommandDrawWindowButton(0, icon);
        if (w->buttonRects[WINDOW_FIRST_TOGGLE].left >= 0) {
            WindowDc wdc(w->hwnd);
            if (wdc.dc) {
                const int x = w->buttonRects[WINDOW_FIRST_TOGGLE].left - 1;
                const POINT line[] = {{x, 0}, {x, rw - 1}, {w->areaRect.right, rw - 1}};
                PolylineColour(wdc.dc, COLOR_BTNTEXT, line, 3);
            }
        }
    }
    if (!WindowHasButtons(window))
        return;
    if (window == 0)
        for (int b = 4; b >= 2; --b)
            CommandDrawWindowButton(0, b);
    CommandDrawWindowButton(window, 1);
    CommandDrawWindowButton(window, 0);
    WindowDc wdc(w->hwnd);
    if (wdc.dc) {
        const int y = w->buttonRects[0].top - 1;
        const POINT line[] = {{0, y}, {rw - 1, y}, {rw - 1, w->areaRect.bottom}};
        PolylineColour(wdc.dc, COLOR_BTNTEXT, line, 3);
    }
}

int ScreenGridPoints(int window, const RECT *rect, POINT *out, int room)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->displayGrid)
        return 0;
    const SystemDef &sys = SystemOf(*w);
    const double gx = sys.displayGridX, gy = sys.displayGridY;
    if (sys.displayGridKind == 0 || std::fabs(gx) < 1e-10 || std::fabs(gy) < 1e-10)
        return 0;
    const RECT r = rect ? *rect : w->areaRect;
    const Matrix &toPixel = w->MatrixSystemToPixel;
    double sx = ScreenGridEnlarge(std::fabs(toPixel.a * gx)), sy = ScreenGridEnlarge(std::fabs(toPixel.d * gy));
    if (sx == 0.0 || sy == 0.0)
        return 0;
    // The same enlargement in system units keeps the grid on its origin.
    const double kx = sx / std::fabs(toPixel.a * gx), ky = sy / std::fabs(toPixel.d * gy);
    double leftX, topY, ignored;
    MatrixApply(w->MatrixPixelToSystem, r.left, r.top, &leftX, &topY);
    int count = 0;
    auto add = [&](int x, int y) {
        if (count < room)
            out[count] = {x, y};
        ++count;
    };
    if (sys.displayGridKind == 1) {
        const double X0 = std::floor(leftX / (gx * kx)) * gx * kx, Y0 = std::ceil(topY / (gy * ky)) * gy * ky;
        double px, py;
        MatrixApply(toPixel, X0, Y0, &px, &py);
        static int columns[SCREEN_GRID_MAX_LINES], rows[SCREEN_GRID_MAX_LINES];
        const int nc = CollectAxis(px, sx, r.left, r.right, SCREEN_GRID_MAX_LINES, columns);
        const int nr = CollectAxis(py, sy, r.top, r.bottom, SCREEN_GRID_MAX_LINES, rows);
        if (nc <= 0 || nr <= 0)
            return 0;
        for (int j = 0; j < nr; ++j)
            for (int i = 0; i < nc; ++i)
                add(columns[i], rows[j]);
        return count;
    }
    double c, s;
    SlantOf(sys.displayGridKind, &c, &s);
    if (c == 0.0)
        return 0;
    const double colStep = c * gx * kx;
    int64_t k = static_cast<int64_t>(std::ceil(leftX / colStep));
    double x, y0;
    MatrixApply(toPixel, k * colStep, 0.0, &x, &ignored);
    const double pixelStep = c * sx;
    while (x < r.left) {
        x += pixelStep;
        ++k;
    }
    if (x > r.right)
        return 0;
    // A slanted grid has the same bound as a rectangular one: no more than
    // the line limit of columns and of dots per column in one paint.
    if ((r.right - x) / pixelStep + 1 > SCREEN_GRID_MAX_LINES || (r.bottom - r.top) / sy + 1 > SCREEN_GRID_MAX_LINES)
        return 0;
    const double offset = s * k * gx * kx;
    MatrixApply(toPixel, 0.0, std::floor((topY - offset) / (gy * ky)) * gy * ky + offset, &ignored, &y0);
    while (y0 < r.top)
        y0 += sy;
    if (y0 > r.bottom)
        return 0;
    for (; x <= r.right; x += pixelStep) {
        for (double y = y0; y <= r.bottom; y += sy)
            add(Round(x), Round(y));
        y0 -= s * sx;
        while (y0 < r.top)
            y0 += sy;
        while (y0 >= r.top + sy)
            y0 -= sy;
    }
    return count;
}

void ScreenDrawGrid(int window, const RECT *rect)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    static POINT points[SCREEN_GRID_MAX_POINTS];
    const int n = std::min(ScreenGridPoints(window, rect, points, SCREEN_GRID_MAX_POINTS), SCREEN_GRID_MAX_POINTS);
    if (n <= 0)
        return;
    WindowDc wdc(w->hwnd);
    HDC dc = wdc.dc;
    if (!dc)
        return;
    if (!WindowHasRulers(window)) {
        const int rw = RulerWidth();
        ExcludeClipRect(dc, 0, 0, rw, rw);
    }
    ShowCursor(FALSE);
    const int oldRop = SetROP2(dc, R2_XORPEN);
    for (int i = 0; i < n; ++i)
        SetPixel(dc, points[i].x, points[i].y, RGB(255, 255, 255));
    SetROP2(dc, oldRop);
    ShowCursor(TRUE);
}

int ScreenDrawGridDevice(HDC hdc, int window, uint32_t selectionOnly)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->displayGrid)
        return 0;
    const SystemDef &sys = SystemOf(*w);
    if (sys.displayGridKind == 0 || sys.displayGridX == 0.0 || sys.displayGridY == 0.0)
        return 0;
    const double gx = std::fabs(w->MatrixSystemToMM.a * sys.displayGridX);
    const double gy = std::fabs(w->MatrixSystemToMM.d * sys.displayGridY);
    if (gx < SCREEN_DEVICE_GRID_MIN_MM || gy < SCREEN_DEVICE_GRID_MIN_MM)
        return 0;
    const OutputMarkSetting &mark = g_DrawingSettings.outputGrid;
    Matrix identity;
    MatrixInit(&identity);
    if (!OutputSetAttributes(hdc, &mark.property, &identity, selectionOnly ? UNIT_SELECTED : 0))
        return 0;
    OutputContext &c = g_OutputContext;
    int32_t savedSafe[4];
    std::memcpy(savedSafe, c.safePixelRect, sizeof savedSafe);
    double box[4];
    MatrixTransformRect(&c.current, c.outputRect, box);
    c.safePixelRect[0] = std::max(c.safePixelRect[0], Round(box[0]));
    c.safePixelRect[1] = std::max(c.safePixelRect[1], Round(box[1]));
    c.safePixelRect[2] = std::min(c.safePixelRect[2], Round(box[2]));
    c.safePixelRect[3] = std::min(c.safePixelRect[3], Round(box[3]));
    const double ox = sys.originX, oy = sys.originY;
    const double *n = c.noClipRect;
    int drawn = 0;
    auto marker = [&](double x, double y) {
        ClipDrawMarker(hdc, x, y, mark.kind, mark.size, 1, c.drawFlags);
        ++drawn;
    };
    if (sys.displayGridKind == 1) {
        double x0 = std::floor((n[0] - ox) / gx) * gx + ox, y0 = std::floor((n[1] - oy) / gy) * gy + oy;
        while (x0 < n[0])
            x0 += gx;
        while (y0 < n[1])
            y0 += gy;
        const double columns = std::floor((n[2] - x0) / gx) + 1, rows = std::floor((n[3] - y0) / gy) + 1;
        if (x0 <= n[2] && y0 <= n[3] && columns <= SCREEN_DEVICE_GRID_MAX_LINES && rows <= SCREEN_DEVICE_GRID_MAX_LINES)
            for (double y = y0; y <= n[3]; y += gy)
                for (double x = x0; x <= n[2]; x += gx)
                    marker(x, y);
    } else {
        double cs, sn;
        SlantOf(sys.displayGridKind, &cs, &sn);
        if (cs != 0.0) {
            const double step = cs * gx;
            double k = std::ceil((n[0] - ox) / step);
            double x = k * step + ox;
            while (x < n[0]) {
                x += step;
                k += 1;
            }
            const double columns = std::floor((n[2] - x) / step) + 1, rows = std::floor((n[3] - n[1]) / gy) + 1;
            if (x <= n[2] && columns <= SCREEN_DEVICE_GRID_MAX_LINES && rows <= SCREEN_DEVICE_GRID_MAX_LINES) {
                const double shift = sn * k * gx + oy;
                double y0 = std::floor((n[1] - shift) / gy) * gy + shift;
                while (y0 < n[1])
                    y0 += gy;
                for (; x <= n[2]; x += step) {
                    for (double y = y0; y <= n[3]; y += gy)
                        marker(x, y);
                    y0 += sn * gx;
                    while (y0 < n[1])
                        y0 += gy;
                    while (y0 >= n[1] + gy)
                        y0 -= gy;
                }
            }
        }
    }
    std::memcpy(c.safePixelRect, savedSafe, sizeof savedSafe);
    OutputRestoreAttributes(hdc);
    return drawn;
}
