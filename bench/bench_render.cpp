// Rendering: 100,000 mixed objects (lines, circles, arcs, polylines and
// filled surfaces) drawn into a 1920 x 1080 memory DIB, once with the whole
// drawing fitted and once at 20 times that zoom. Prints the time per object
// and the ratio of the zoomed to the fitted pass.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "bench/bench_common.h"
#include "database/init.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "display/output.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"

namespace {

constexpr int OBJECT_COUNT = 100000;
constexpr int DIB_WIDTH = 1920;
constexpr int DIB_HEIGHT = 1080;
constexpr double WORLD = 1000.0; // mm
constexpr double ZOOM_FACTOR = 20.0;

void Frame(Unit *u, double x0, double y0, double x1, double y1)
{
    u->frame[0] = std::fmin(x0, x1), u->frame[1] = std::fmin(y0, y1);
    u->frame[2] = std::fmax(x0, x1), u->frame[3] = std::fmax(y0, y1);
}

Unit *MakeObject(int32_t type, uint32_t points)
{
    const ObjectChainShape shape{points, nullptr};
    const uint32_t bytes = ObjectChainSize(type, shape);
    Unit *u = bytes ? MemListNewObject(LIST_DRAWING, bytes, nullptr) : nullptr;
    if (!u)
        return nullptr;
    u->birth = UNIT_BIRTH_ALWAYS;
    u->death = UNIT_DEATH_ALIVE;
    u->property = XPropertyDefault();
    u->property.ownFlags = XPROP_OWN_FILL | XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2;
    ObjectWriteChain(u, bytes, type, shape);
    return u;
}

ElementPoint *PointAt(Unit *u, int index)
{
    int i = 0;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (ElementIsPoint(e) && i++ == index)
            return reinterpret_cast<ElementPoint *>(e);
    return nullptr;
}

bool BuildDrawing(std::mt19937 &random)
{
    std::uniform_real_distribution<double> pos(0.0, WORLD), size(0.5, 15.0), angle(0.0, CALC_TWO_PI);
    for (int i = 0; i < OBJECT_COUNT; ++i) {
        const double x = pos(random), y = pos(random), s = size(random), a = angle(random);
        Unit *u = nullptr;
        switch (i % 5) {
        case 0: // line
            u = MakeObject(OBJTYPE_LINE, 2);
            if (!u) return false;
            *PointAt(u, 0) = {PointAt(u, 0)->head, x, y};
            *PointAt(u, 1) = {PointAt(u, 1)->head, x + s * std::cos(a), y + s * std::sin(a)};
            Frame(u, x, y, x + s * std::cos(a), y + s * std::sin(a));
            break;
        case 1: // circle
            u = MakeObject(OBJTYPE_CIRCLE, 2);
            if (!u) return false;
            *PointAt(u, 0) = {PointAt(u, 0)->head, x, y};
            *PointAt(u, 1) = {PointAt(u, 1)->head, x + s, y};
            Frame(u, x - s, y - s, x + s, y + s);
            break;
        case 2: { // arc
            u = MakeObject(OBJTYPE_CIRC_ARC, 2);
            if (!u) return false;
            *PointAt(u, 0) = {PointAt(u, 0)->head, x, y};
            *PointAt(u, 1) = {PointAt(u, 1)->head, x + s, y};
            *PointAt(u, 2) = {PointAt(u, 2)->head, x + s * std::cos(a), y + s * std::sin(a)};
            *PointAt(u, 3) = {PointAt(u, 3)->head, x + s * std::cos(a + 2.0), y + s * std::sin(a + 2.0)};
            for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
                if (e->kind == ELEM_SUB_CIRCLE_ARC)
                    *static_cast<double *>(ElementPayload(e)) = 2.0;
            Frame(u, x - s, y - s, x + s, y + s);
            break;
        }
        case 3: // polyline of 8 points
        case 4: { // filled surface of 6 corners
            const bool surface = i % 5 == 4;
            const uint32_t n = surface ? 7 : 8;
            u = MakeObject(surface ? OBJTYPE_SURFACE : OBJTYPE_CURVE, n);
            if (!u) return false;
            for (uint32_t k = 0; k < n; ++k) {
                const double t = a + CALC_TWO_PI * (surface ? k % 6 : k) / 6.0;
                const double r = surface ? s : s * (k + 1) / n;
                ElementPoint *p = PointAt(u, static_cast<int>(k));
                p->x = x + r * std::cos(t);
                p->y = y + r * std::sin(t);
            }
            Frame(u, x - s, y - s, x + s, y + s);
            if (surface) {
                u->property.fillMode = FILL_SOLID_OUTLINE;
                u->property.color1 = RGB(200, 220, 255);
            }
            break;
        }
        }
    }
    return true;
}

double RenderWorld(HDC dc, const double world[4])
{
    OutputResetContext(OUTPUT_SCREEN);
    OutputSetupView(DIB_WIDTH, DIB_HEIGHT, world, 100);
    // The visible rectangle of the whole DIB, wider than the fitted square.
    Matrix inverse;
    const double pixels[4] = {0, 0, DIB_WIDTH, DIB_HEIGHT};
    MatrixInvert(&g_OutputContext.base, &inverse);
    MatrixTransformRect(&inverse, pixels, g_OutputContext.visibleRect);
    std::memcpy(g_OutputContext.noClipRect, g_OutputContext.visibleRect, sizeof g_OutputContext.visibleRect);
    PatBlt(dc, 0, 0, DIB_WIDTH, DIB_HEIGHT, WHITENESS);
    const double t0 = BenchSeconds();
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
        OutputDrawObject(dc, u);
    GdiFlush();
    return BenchSeconds() - t0;
}

double RenderPass(HDC dc, double zoomFactor)
{
    const double half = WORLD / 2.0 / zoomFactor;
    const double world[4] = {WORLD / 2.0 - half, WORLD / 2.0 - half, WORLD / 2.0 + half, WORLD / 2.0 + half};
    return RenderWorld(dc, world);
}

} // namespace

double BenchRenderDrawing(const double world[4])
{
    BenchDib dib = BenchMakeDib(DIB_WIDTH, DIB_HEIGHT);
    const double t = RenderWorld(dib.dc, world);
    OutputResetContext(OUTPUT_SCREEN);
    BenchFreeDib(&dib);
    return t;
}

void BenchRender()
{
    if (!BenchPrepareDrawing("render"))
        return;
    g_DrawingSettings.displayLinesMode = 0;
    std::mt19937 random(19990224);
    if (!BuildDrawing(random)) {
        printf("render: out of memory\n");
        return;
    }
    BenchDib dib = BenchMakeDib(DIB_WIDTH, DIB_HEIGHT);
    const double fitted = RenderPass(dib.dc, 1.0);
    const double zoomed = RenderPass(dib.dc, ZOOM_FACTOR);
    printf("%-44s %8.3f   (fitted %6.2f us, 20x zoom %6.2f us per object)\n", "render.100k_mixed_20x_zoom_vs_fitted",
           zoomed / fitted, fitted * 1e6 / OBJECT_COUNT, zoomed * 1e6 / OBJECT_COUNT);
    OutputResetContext(OUTPUT_SCREEN);
    BenchFreeDib(&dib);
    MemFreeChunks();
    MemInitLists();
}
