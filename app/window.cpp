// Drawing-window records, coordinate systems, page rectangles and views.
#include "app/window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/system.h"
#include "app/system_current.h"
#include "app/system_defs.h"
#include "geometry/calc.h"

DrawWindow g_DrawWindows[WINDOW_DRAW_COUNT];
DrawWindow g_ViewWindow;
int32_t g_DrawWindowCount = 1;
int32_t g_ActiveWindow = 0;
int32_t g_PanelWindow = 0;
CurrentSystem g_CurrentSystem;
ConvertState g_ConvertState = {&g_DrawWindows[0], nullptr, 3, 0, 0, "[mm]", "[mm]", "[deg]"};
ScreenMetrics g_ScreenMetrics = {1024, 768, 312.0, 234.0, 1024.0 / 312.0, 768.0 / 234.0,
                                 (1024.0 / 312.0 + 768.0 / 234.0) * 0.5, 1.0, 1.0};
uint32_t g_RelayoutPending = 0;

const double g_PaperSizes[WINDOW_PAPER_FORMATS][2] = {
    {25000, 25000}, {210, 297},     {297, 420},     {297, 594},     {297, 841},     {297, 1189},
    {420, 594},     {420, 841},     {420, 1189},    {594, 841},     {594, 1189},    {841, 1189},
    {1189, 1682},   {297, 630},     {297, 841},     {297, 1051},    {297, 1261},    {420, 891},
    {420, 1189},    {584, 1261},    {176, 250},     {250, 353},     {353, 500},     {500, 707},
    {707, 1000},    {1000, 1414},   {162, 229},     {229, 324},     {324, 458},     {458, 648},
    {648, 917},     {917, 1297},    {139.7, 215.9}, {215.9, 279.4}, {279.4, 431.8}, {431.8, 558.8},
    {558.8, 863.6}, {863.6, 1117.6}, {215.9, 355.6},
};

namespace {

constexpr double FREE_PAGE_MIN = 10.0;
constexpr double ROTATION_ZERO = 1e-10;
constexpr int LENGTH_UNIT_CODES = 15; // the length and width units a system may use
constexpr int ANGLE_UNIT_CODES = 4;

double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

// A given argument is clamped; "not given" stays as it is.
double ClampGiven(double v, double lo, double hi) { return v == CALC_NO_VALUE ? v : Clamp(v, lo, hi); }

double LengthUnitFactor(int32_t code)
{
    return code >= 0 && code < LENGTH_UNIT_CODES ? g_ConvertLengthUnits[code].factor : 1.0;
}

double AngleUnitFactor(int32_t code)
{
    return code >= 0 && code < ANGLE_UNIT_CODES ? g_ConvertAngleUnits[code].factor : CONVERT_DEGREE_FACTOR;
}

void UnitLabel(char *out, const char *name)
{
    std::snprintf(out, WINDOW_UNIT_LABEL_SIZE, "[%s]", name);
}

const SystemDef &SystemOf(const DrawWindow &w)
{
    const int s = w.system >= 0 && w.system < SYSTEM_SLOTS ? w.system : 0;
    return g_SystemDefs[s];
}

const double *ActivePageRect()
{
    const int active = g_PageDefs.active >= 0 && g_PageDefs.active < PAGE_SLOTS ? g_PageDefs.active : 0;
    return g_PageDefs.frames[active];
}

// The number of the record, for the functions that take a window number.
int NumberOf(const DrawWindow *w)
{
    if (w == &g_ViewWindow)
        return WINDOW_VIEW;
    return static_cast<int>(w - g_DrawWindows);
}

void ResetButtons(DrawWindow *w)
{
    for (RECT &r : w->buttonRects)
        r = RECT{-1, -1, -1, -1};
}

} // namespace

DrawWindow *WindowGetRecord(int window)
{
    if (window == WINDOW_VIEW)
        return &g_ViewWindow;
    if (window >= 0 && window < WINDOW_DRAW_COUNT)
        return &g_DrawWindows[window];
    return nullptr;
}

void WindowResetUnits(DrawWindow *window)
{
    window->angleFactor = CONVERT_DEGREE_FACTOR;
    window->widthFactor = 1.0;
    window->lengthFactor = 1.0;
    window->mmPerUnit = 1.0;
    MatrixInit(&window->MatrixMMToSystem);
    MatrixInit(&window->MatrixSystemToMM);
}

void WindowInitRecord(DrawWindow *record, HWND window, int32_t system)
{
    *record = DrawWindow{};
    record->hwnd = window;
    record->zoom = 1.0;
    record->system = system;
    record->hoverButton = record->pressedButton = -1;
    record->crossCaughtX = record->crossCaughtY = record->crossRawX = record->crossRawY = -1;
    WindowResetUnits(record);
    for (Matrix *m : {&record->MatrixMMToPixel, &record->MatrixPixelToMM, &record->MatrixPixelToSystem,
                      &record->MatrixSystemToPixel, &record->MatrixOrient, &record->MatrixOrientInverse})
        MatrixInit(m);
    ResetButtons(record);
    if (window)
        WindowComputeAreas(NumberOf(record));
}

// Until a drawing sets its systems up, every window works in millimetres and degrees.
static int ResetAllWindows()
{
    for (DrawWindow &w : g_DrawWindows)
        WindowInitRecord(&w, nullptr, 0);
    WindowInitRecord(&g_ViewWindow, nullptr, 0);
    return 1;
}
static const int s_WindowsReset = ResetAllWindows();

void WindowSelectCurrent()
{
    DrawWindow *w = WindowGetRecord(g_ActiveWindow);
    if (!w)
        w = &g_DrawWindows[0];
    ConvertState &c = g_ConvertState;
    c.window = w;
    const int s = w->system >= 0 && w->system < SYSTEM_SLOTS ? w->system : 0;
    SystemDef &def = g_SystemDefs[s];
    c.systemDef = &def;
    // A system that was never set up keeps the conversions' defaults.
    if (!def.name[0])
        return;
    c.decimals = static_cast<uint32_t>(def.decimals);
    c.lengthFormat = def.format1;
    c.angleFormat = def.format2;
    const int32_t width = def.widthUnit >= 0 && def.widthUnit < LENGTH_UNIT_CODES ? def.widthUnit : 1;
    const int32_t length = def.lengthUnit >= 0 && def.lengthUnit < LENGTH_UNIT_CODES ? def.lengthUnit : 1;
    const int32_t angle = def.angleUnit >= 0 && def.angleUnit < ANGLE_UNIT_CODES ? def.angleUnit : 0;
    UnitLabel(c.widthLabel, g_ConvertLengthUnits[width].name);
    UnitLabel(c.lengthLabel, g_ConvertLengthUnits[length].name);
    UnitLabel(c.angleLabel, g_ConvertAngleUnits[angle].name);
}

void WindowSetActive(int window, int force)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    g_CurrentSystem.system = w->system;
    g_CurrentSystem.displayGrid = w->displayGrid;
    g_CurrentSystem.catchGrid = w->catchGrid;
    if (g_PanelWindow == window && !force)
        return;
    g_PanelWindow = window;
    // The panel shows the window's system and grid switches.
    if (hGlobalPanel)
        InvalidateRect(hGlobalPanel, nullptr, FALSE);
}

int WindowAppendAxisMode(Matrix *m, int32_t axisMode)
{
    constexpr double TAN30 = 0.5773502691896;
    constexpr double TAN7 = 0.1227845609029;
    constexpr double TAN41_5 = 0.8847252645559;
    constexpr double ISO_SCALE = 1.1547005383793032;
    constexpr double DIM7_SCALE = 1.0075098254588708;
    constexpr double DIM41_SCALE = 2.6703853667161273;
    constexpr double ANGLE30 = 0.5235987755982;
    constexpr double ANGLE7 = 0.12217304763957999;
    switch (axisMode) {
    case 1: MatrixShearY(m, TAN30); MatrixScale(m, ISO_SCALE, 1.0); return 1;
    case 2: MatrixShearY(m, -TAN30); MatrixScale(m, ISO_SCALE, 1.0); return 1;
    case 3: MatrixRotate(m, ANGLE30); MatrixShearX(m, -TAN30); MatrixScale(m, 1.0, ISO_SCALE); return 1;
    case 4: MatrixShearY(m, TAN7); MatrixScale(m, DIM7_SCALE, 1.0); return 1;
    case 5: MatrixShearY(m, -TAN41_5); MatrixScale(m, DIM41_SCALE, 1.0); return 1;
    case 6: MatrixRotate(m, ANGLE7); MatrixShearX(m, -TAN41_5); MatrixScale(m, 1.0, DIM41_SCALE); return 1;
    case 7: MatrixShearY(m, TAN41_5); MatrixScale(m, DIM41_SCALE, 1.0); return 1;
    case 8: MatrixShearY(m, -TAN7); MatrixScale(m, DIM7_SCALE, 1.0); return 1;
    case 9: MatrixRotate(m, -ANGLE7); MatrixShearX(m, TAN41_5); MatrixScale(m, 1.0, DIM41_SCALE); return 1;
    default: return 0;
    }
}

void WindowCacheSystem(int window, int system)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || w->system != system)
        return;
    const SystemDef &s = SystemOf(*w);
    const ScreenMetrics &sm = g_ScreenMetrics;
    w->distorted = 0;
    w->repaint = 1;
    w->angleFactor = AngleUnitFactor(s.angleUnit);
    w->widthFactor = LengthUnitFactor(s.widthUnit);
    w->lengthFactor = LengthUnitFactor(s.lengthUnit);
    w->pixelsPerMm = sm.pixelsPerMm * w->zoom;
    w->mmPerUnit = s.scale * w->lengthFactor;
    w->pixelsPerUnitX = sm.pixelsPerMmX * w->mmPerUnit * w->zoom;
    w->pixelsPerUnitY = sm.pixelsPerMmY * w->mmPerUnit * w->zoom;

    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, -w->centreX, -w->centreY);
    WindowAppendAxisMode(&m, s.axisMode);
    MatrixRotate(&m, -s.angle);
    MatrixMirrorY(&m);
    MatrixScale(&m, sm.pixelsPerMmX * w->zoom, sm.pixelsPerMmY * w->zoom);
    const RECT &a = w->areaRect;
    MatrixMove(&m, static_cast<double>(a.left + a.right) * 0.5, static_cast<double>(a.top + a.bottom) * 0.5);
    w->MatrixMMToPixel = m;
    MatrixInvert(&m, &w->MatrixPixelToMM);

    w->MatrixMMToSystem = s.toSystem;
    w->MatrixSystemToMM = s.fromSystem;
    w->MatrixPixelToSystem = w->MatrixPixelToMM;
    MatrixMultiply(&w->MatrixPixelToSystem, &w->MatrixMMToSystem);
    MatrixInvert(&w->MatrixPixelToSystem, &w->MatrixSystemToPixel);

    const double area[4] = {a.left - 0.5, a.top - 0.5, a.right + 0.5, a.bottom + 0.5};
    MatrixTransformRect(&w->MatrixPixelToMM, area, w->visibleRect);
    MatrixTransformRect(&w->MatrixMMToSystem, ActivePageRect(), w->pageRectSystem);
    const int32_t sw = sm.widthPixels, sh = sm.heightPixels;
    w->safePixelRect[0] = -sw;
    w->safePixelRect[1] = -sh;
    w->safePixelRect[2] = 2 * sw;
    w->safePixelRect[3] = 2 * sh;
    const double safe[4] = {static_cast<double>(-sw), static_cast<double>(-sh), 2.0 * sw, 2.0 * sh};
    MatrixTransformRect(&w->MatrixPixelToMM, safe, w->safeRect);

    Matrix o;
    MatrixInit(&o);
    if (WindowAppendAxisMode(&o, s.axisMode))
        w->distorted = 1;
    if (std::fabs(s.angle) > ROTATION_ZERO)
        w->distorted = 1;
    MatrixRotate(&o, -s.angle);
    w->MatrixOrient = o;
    MatrixInvert(&o, &w->MatrixOrientInverse);
}

void WindowUpdateSystem(int system)
{
    if (system < 0 || system >= SYSTEM_SLOTS)
        return;
    SystemDef &s = g_SystemDefs[system];
    if (!s.name[0])
        return;
    WindowSelectCurrent();
    const double *p = g_PageDefs.frames[0];
    const double xmin = p[0], ymin = p[1], xmax = p[2], ymax = p[3];
    const double midX = (xmin + xmax) / 2, midY = (ymin + ymax) / 2;
    switch (s.anchor) {
    case 1: s.originX = xmin; s.originY = ymax; break;
    case 2: s.originX = midX; s.originY = ymax; break;
    case 3: s.originX = xmax; s.originY = ymax; break;
    case 4: s.originX = xmin; s.originY = midY; break;
    case 5: s.originX = 0.0; s.originY = 0.0; break;
    case 6: s.originX = xmax; s.originY = midY; break;
    case 7: s.originX = xmin; s.originY = ymin; break;
    case 8: s.originX = midX; s.originY = ymin; break;
    case 9: s.originX = xmax; s.originY = ymin; break;
    default: break;
    }
    Matrix a;
    MatrixInit(&a);
    MatrixMove(&a, -s.originX, -s.originY);
    WindowAppendAxisMode(&a, s.axisMode);
    MatrixRotate(&a, -s.angle);
    const double f = 1.0 / (LengthUnitFactor(s.lengthUnit) * s.scale);
    MatrixScale(&a, f, f);
    Matrix inverse = s.fromSystem;
    MatrixInvert(&a, &inverse);
    s.toSystem = a;
    s.fromSystem = inverse;

    for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i)
        WindowCacheSystem(i, system);
    if (g_Options.viewVisible)
        WindowCacheSystem(WINDOW_VIEW, system);
}

void WindowComputePageRect(PageDef *page, double out[4])
{
    double width = page->width, height = page->height;
    if (page->format > 0 && page->format < WINDOW_PAPER_FORMATS) {
        width = g_PaperSizes[page->format][0];
        height = g_PaperSizes[page->format][1];
        if (page->orientation == PAGE_LANDSCAPE)
            std::swap(width, height);
    } else {
        width = Clamp(width, FREE_PAGE_MIN, g_PaperSizes[0][0]);
        height = Clamp(height, FREE_PAGE_MIN, g_PaperSizes[0][1]);
        page->width = width;
        page->height = height;
    }
    double xmin, ymin;
    switch (page->anchor) {
    case 1: case 4: case 7: xmin = page->refX; break;
    case 3: case 6: case 9: xmin = page->refX - width; break;
    default: xmin = page->refX - width / 2; break;
    }
    switch (page->anchor) {
    case 1: case 2: case 3: ymin = page->refY - height; break;
    case 7: case 8: case 9: ymin = page->refY; break;
    default: ymin = page->refY - height / 2; break;
    }
    out[0] = xmin;
    out[1] = ymin;
    out[2] = xmin + width;
    out[3] = ymin + height;
}

void WindowUpdateAllSystems()
{
    const int count = std::clamp(g_PageDefs.count, 0, PAGE_SLOTS);
    for (int i = 0; i < count; ++i) {
        WindowComputePageRect(&g_PageDefs.pages[i], g_PageDefs.frames[i]);
        // The conversions read the page frames through their own table.
        const double *f = g_PageDefs.frames[i];
        g_PageFrames[i] = PageFrame{f[0], f[1], f[2], f[3]};
    }
    g_ActivePage = g_PageDefs.active;
    for (int s = 0; s < SYSTEM_SLOTS; ++s)
        WindowUpdateSystem(s);
    WindowSelectCurrent();
    WindowSetActive(g_PanelWindow, 0);
}

void WindowSetView(int window, int mode, double a, double b, double c)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    c = ClampGiven(c, WINDOW_ZOOM_MIN, WINDOW_ZOOM_MAX);
    a = ClampGiven(a, -CALC_COORD_LIMIT, CALC_COORD_LIMIT);
    b = ClampGiven(b, -CALC_COORD_LIMIT, CALC_COORD_LIMIT);
    const bool hasA = a != CALC_NO_VALUE, hasB = b != CALC_NO_VALUE, hasC = c != CALC_NO_VALUE;
    switch (mode) {
    case WINDOW_VIEW_RELATIVE: {
        const RECT &r = w->areaRect;
        const double n = std::min(r.right - r.left, r.bottom - r.top);
        const Matrix p = w->MatrixPixelToMM;
        if (hasC)
            w->zoom *= c;
        if (hasA) {
            w->centreX += p.a * n * a;
            w->centreY += p.b * n * a;
        }
        if (hasB) {
            w->centreX -= p.c * n * b;
            w->centreY -= p.d * n * b;
        }
        break;
    }
    case WINDOW_VIEW_ABSOLUTE:
        if (hasC)
            w->zoom = c;
        if (hasA)
            w->centreX = a;
        if (hasB)
            w->centreY = b;
        break;
    case WINDOW_VIEW_SCROLL: {
        const double *e = w->pageRectSystem;
        double sx, sy;
        MatrixApply(w->MatrixMMToSystem, w->centreX, w->centreY, &sx, &sy);
        if (hasA) {
            sx = e[0] + (e[2] - e[0]) * a / WINDOW_SCROLL_RANGE;
            MatrixApply(w->MatrixSystemToMM, sx, sy, &w->centreX, &w->centreY);
        }
        if (hasB) {
            sy = e[3] - (e[3] - e[1]) * b / WINDOW_SCROLL_RANGE;
            MatrixApply(w->MatrixSystemToMM, sx, sy, &w->centreX, &w->centreY);
        }
        break;
    }
    case WINDOW_VIEW_ZOOM_ABOUT:
        if (hasA && hasB && hasC) {
            w->centreX = (w->centreX - a) / c + a;
            w->centreY = (w->centreY - b) / c + b;
            w->zoom *= c;
        }
        break;
    default:
        break;
    }
    w->zoom = Clamp(w->zoom, WINDOW_ZOOM_MIN, WINDOW_ZOOM_MAX);
    w->centreX = Clamp(w->centreX, -CALC_COORD_LIMIT, CALC_COORD_LIMIT);
    w->centreY = Clamp(w->centreY, -CALC_COORD_LIMIT, CALC_COORD_LIMIT);
    const int system = w->system;
    if (g_SystemDefs[system >= 0 && system < SYSTEM_SLOTS ? system : 0].name[0])
        WindowUpdateSystem(system);
    else
        WindowCacheSystem(window, system); // a system never set up still maps the view
    WindowSelectCurrent();
    WindowSetActive(g_PanelWindow, 0);
}

void WindowSetViewRect(int window, double x1, double y1, double x2, double y2)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    x1 = Clamp(x1, -CALC_COORD_LIMIT, CALC_COORD_LIMIT);
    y1 = Clamp(y1, -CALC_COORD_LIMIT, CALC_COORD_LIMIT);
    x2 = Clamp(x2, -CALC_COORD_LIMIT, CALC_COORD_LIMIT);
    y2 = Clamp(y2, -CALC_COORD_LIMIT, CALC_COORD_LIMIT);
    const RECT &r = w->areaRect;
    const double dx = std::fabs(x2 - x1) * g_ScreenMetrics.pixelsPerMmX;
    const double dy = std::fabs(y2 - y1) * g_ScreenMetrics.pixelsPerMmY;
    const double zx = dx != 0.0 ? (r.right - r.left) * WINDOW_FIT_SHARE / dx : WINDOW_ZOOM_MAX;
    const double zy = dy != 0.0 ? (r.bottom - r.top) * WINDOW_FIT_SHARE / dy : WINDOW_ZOOM_MAX;
    WindowSetView(window, WINDOW_VIEW_ABSOLUTE, (x1 + x2) * 0.5, (y1 + y2) * 0.5, std::min(zx, zy));
}

void WindowPushView(int window)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    if (w->historyCount >= VIEW_HISTORY_SIZE) {
        for (int i = 1; i < VIEW_HISTORY_SIZE; ++i) {
            w->historyCentre[i - 1][0] = w->historyCentre[i][0];
            w->historyCentre[i - 1][1] = w->historyCentre[i][1];
            w->historyZoom[i - 1] = w->historyZoom[i];
        }
        w->historyCount = VIEW_HISTORY_SIZE - 1;
    }
    const int n = w->historyCount++;
    w->historyCentre[n][0] = w->centreX;
    w->historyCentre[n][1] = w->centreY;
    w->historyZoom[n] = w->zoom;
}

int WindowPopView(int window)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || w->historyCount <= 0)
        return 0;
    const int n = --w->historyCount;
    WindowSetView(window, WINDOW_VIEW_ABSOLUTE, w->historyCentre[n][0], w->historyCentre[n][1], w->historyZoom[n]);
    return 1;
}

void WindowClearViewHistory()
{
    for (DrawWindow &w : g_DrawWindows)
        w.historyCount = 0;
    g_ViewWindow.historyCount = 0;
}
