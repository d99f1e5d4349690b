// Drawing-window paint: a full repaint of a 1920 x 1080 window showing
// 100,000 mixed objects, and the time from a key press to the end of the
// repaint it interrupts. Prints named figures as ratios of times measured in
// this one run, with the times themselves in brackets.
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "app/darad4.h"
#include "app/init.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "bench/bench_common.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "display/output.h"
#include "display/output_paint.h"

namespace {

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;
constexpr int OBJECTS = 100000;
constexpr int POLY_POINTS = 6;
constexpr double WORLD_HALF = 200.0; // objects lie within +-200 mm of the centre
constexpr int REPEATS = 3;
constexpr double KEY_SHARE = 0.3;    // the key comes after this share of a full repaint
// The line colours objects are drawn in, and the fill of the surfaces.
constexpr COLORREF COLOURS[] = {RGB(0, 0, 0), RGB(200, 0, 0), RGB(0, 120, 0), RGB(0, 0, 200)};
constexpr int COLOUR_COUNT = int(sizeof COLOURS / sizeof COLOURS[0]);
constexpr COLORREF SURFACE_FILL = RGB(200, 220, 255);

Unit *NewObject(int32_t type, const std::vector<double> &xy)
{
    const ObjectChainShape shape{static_cast<uint32_t>(xy.size() / 2), nullptr};
    const uint32_t bytes = ObjectChainSize(type, shape);
    Unit *u = MemListNewObject(0, bytes, nullptr);
    if (!u)
        return nullptr;
    u->birth = UNIT_BIRTH_ALWAYS;
    u->death = UNIT_DEATH_ALIVE;
    u->property = XPropertyDefault();
    ObjectWriteChain(u, bytes, type, shape);
    size_t i = 0;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END && i + 1 < xy.size(); e = ElementNext(e))
        if (ElementIsPoint(e)) {
            auto *p = reinterpret_cast<ElementPoint *>(e);
            p->x = xy[i];
            p->y = xy[i + 1];
            i += 2;
        }
    u->frame[0] = u->frame[1] = 1e300;
    u->frame[2] = u->frame[3] = -1e300;
    for (size_t k = 0; k + 1 < xy.size(); k += 2) {
        u->frame[0] = std::fmin(u->frame[0], xy[k]);
        u->frame[1] = std::fmin(u->frame[1], xy[k + 1]);
        u->frame[2] = std::fmax(u->frame[2], xy[k]);
        u->frame[3] = std::fmax(u->frame[3], xy[k + 1]);
    }
    // Own line colours in turn; surfaces filled and outlined.
    static int next = 0;
    u->property.ownFlags = XPROP_OWN_COLOR2;
    u->property.color2 = COLOURS[next++ % COLOUR_COUNT];
    if (type == OBJTYPE_SURFACE) {
        u->property.ownFlags |= XPROP_OWN_FILL | XPROP_OWN_COLOR1;
        u->property.fillMode = FILL_SOLID_OUTLINE;
        u->property.color1 = SURFACE_FILL;
    }
    if (type == OBJTYPE_CIRCLE) {
        const double r = std::hypot(xy[2] - xy[0], xy[3] - xy[1]);
        u->frame[0] = xy[0] - r, u->frame[1] = xy[1] - r, u->frame[2] = xy[0] + r, u->frame[3] = xy[1] + r;
    }
    return u;
}

} // namespace

// Lines, circles, open polylines and filled surfaces in equal shares, in four
// line colours.
void BenchMakeDrawing(std::mt19937 &random, int objects)
{
    std::uniform_real_distribution<double> position(-WORLD_HALF, WORLD_HALF);
    std::uniform_real_distribution<double> step(-5.0, 5.0);
    for (int i = 0; i < objects; ++i) {
        const double x = position(random), y = position(random);
        switch (i % 4) {
        case 0: NewObject(OBJTYPE_LINE, {x, y, x + step(random), y + step(random)}); break;
        case 1: NewObject(OBJTYPE_CIRCLE, {x, y, x + std::fabs(step(random)) + 0.5, y}); break;
        default: {
            std::vector<double> xy;
            double px = x, py = y;
            for (int k = 0; k < POLY_POINTS; ++k) {
                xy.push_back(px);
                xy.push_back(py);
                px += step(random);
                py += step(random);
            }
            NewObject(i % 4 == 2 ? OBJTYPE_CURVE : OBJTYPE_SURFACE, xy);
            break;
        }
        }
    }
}

namespace {

double FullRepaint()
{
    const RECT all{0, 0, WIDTH, HEIGHT};
    const double t0 = BenchSeconds();
    OutputPaintWindow(0, &all);
    GdiFlush();
    return BenchSeconds() - t0;
}

POINT Pixel(const Matrix &m, double x, double y)
{
    MatrixApply(m, x, y, &x, &y);
    return POINT{static_cast<LONG>(std::floor(x + 0.5)), static_cast<LONG>(std::floor(y + 0.5))};
}

// The baseline: a plain GDI loop drawing the same primitives with the same
// pens and fills, made once: lines as lines, circles as circles, polylines,
// and surfaces as filled polygons; without the renderer's attribute
// resolution, culling and clipping.
double PlainGdiLoop(HWND hwnd)
{
    HDC dc = GetDC(hwnd);
    const Matrix &m = g_DrawWindows[0].MatrixMMToPixel;
    HPEN pens[COLOUR_COUNT];
    for (int i = 0; i < COLOUR_COUNT; ++i)
        pens[i] = CreatePen(PS_SOLID, 1, COLOURS[i]);
    HBRUSH fill = CreateSolidBrush(SURFACE_FILL);
    HGDIOBJ nullBrush = GetStockObject(NULL_BRUSH);
    std::vector<POINT> points;
    const double t0 = BenchSeconds();
    for (Unit *u = MemListFirst(0, 0, 0, 1); u; u = MemListNext(u)) {
        points.clear();
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (ElementIsPoint(e)) {
                const auto *p = reinterpret_cast<const ElementPoint *>(e);
                points.push_back(Pixel(m, p->x, p->y));
            }
        if (points.size() < 2)
            continue;
        int colour = 0;
        while (colour + 1 < COLOUR_COUNT && COLOURS[colour] != u->property.color2)
            ++colour;
        SelectObject(dc, pens[colour]);
        switch (u->object.type) {
        case OBJTYPE_LINE:
            MoveToEx(dc, points[0].x, points[0].y, nullptr);
            LineTo(dc, points[1].x, points[1].y);
            break;
        case OBJTYPE_CIRCLE: {
            const LONG r = static_cast<LONG>(std::hypot(double(points[1].x - points[0].x), double(points[1].y - points[0].y)));
            SelectObject(dc, nullBrush);
            Ellipse(dc, points[0].x - r, points[0].y - r, points[0].x + r + 1, points[0].y + r + 1);
            break;
        }
        case OBJTYPE_SURFACE:
            SelectObject(dc, fill);
            Polygon(dc, points.data(), static_cast<int>(points.size()));
            break;
        default: Polyline(dc, points.data(), static_cast<int>(points.size())); break;
        }
    }
    GdiFlush();
    const double t = BenchSeconds() - t0;
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    for (HPEN p : pens)
        DeleteObject(p);
    DeleteObject(fill);
    ReleaseDC(hwnd, dc);
    return t;
}

struct KeyPress {
    HWND hwnd;
    DWORD delayMs;
    double postedAt;
};

DWORD WINAPI PressKeyLater(void *argument)
{
    auto *k = static_cast<KeyPress *>(argument);
    Sleep(k->delayMs);
    k->postedAt = BenchSeconds();
    PostMessageA(k->hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
}

// The time from the key press to the end of the paint it interrupts.
double KeyToInterrupted(HWND hwnd, double fullRepaint, int *stopped)
{
    KeyPress k{hwnd, static_cast<DWORD>(fullRepaint * KEY_SHARE * 1000.0), 0.0};
    HANDLE thread = CreateThread(nullptr, 0, PressKeyLater, &k, 0, nullptr);
    const RECT all{0, 0, WIDTH, HEIGHT};
    const int painted = OutputPaintWindow(0, &all);
    const double end = BenchSeconds();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    *stopped = painted == 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
    }
    return end - k.postedAt;
}

} // namespace

void BenchWindows()
{
    if (!BenchPrepareDrawing("windows"))
        return;
    g_DrawingSettings.colorDrawArea = 0;
    std::mt19937 random(20261210);
    BenchMakeDrawing(random, OBJECTS);

    HWND hwnd = BenchMakeWindow(DefWindowProcA, "DARAD4_BenchDrawWClass", WIDTH, HEIGHT);
    if (!hwnd) {
        std::printf("windows: no window\n");
        return;
    }
    WindowComputeScreenMetrics(WIDTH, HEIGHT, 508.0, 286.0, &g_ScreenMetrics);
    g_DrawWindowCount = 1;
    WindowInitRecord(&g_DrawWindows[0], hwnd, 0);
    WindowUpdateAllSystems();
    WindowSetViewRect(0, -WORLD_HALF, -WORLD_HALF, WORLD_HALF, WORLD_HALF);

    RECT client{};
    GetClientRect(hwnd, &client);
    if (client.right < WIDTH || client.bottom < HEIGHT || GetSystemMetrics(SM_CXSCREEN) < WIDTH ||
        GetSystemMetrics(SM_CYSCREEN) < HEIGHT)
        std::printf("windows: the screen is smaller than %d x %d: figures measure a clipped window\n", WIDTH, HEIGHT);
    double full = 1e300, bare = 1e300;
    for (int i = 0; i < REPEATS; ++i) {
        full = std::fmin(full, FullRepaint());
        bare = std::fmin(bare, PlainGdiLoop(hwnd));
    }
    std::printf("ratio = measured time / reference time of the same run\n");
    std::printf("%-48s %8.3f   (repaint %7.1f ms, plain GDI loop %7.1f ms)\n",
                "windows.full_repaint_100k_1920x1080_vs_plain_gdi", full / bare, full * 1000, bare * 1000);
    int stopped = 0;
    const double latency = KeyToInterrupted(hwnd, full, &stopped);
    std::printf("%-48s %8.4f   (key to end %7.2f ms, full repaint %7.1f ms%s)\n",
                "windows.key_to_interrupted_repaint_vs_full", latency / full, latency * 1000, full * 1000,
                stopped ? "" : ", NOT interrupted");
    DestroyWindow(hwnd);
    WindowInitRecord(&g_DrawWindows[0], nullptr, 0);
    MemFreeChunks();
    MemInitLists();
}
