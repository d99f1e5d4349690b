// Curve primitives through the path buffer, the marker of device marks, and
// the drawers of the object types that read their own element chain.
#include <cmath>
#include <cstring>

#include "app/init_gdi.h"
#include "app/system.h"
#include "database/storage.h"
#include "display/clip.h"
#include "display/clip_object.h"
#include "display/output.h"
#include "geometry/flat.h"

namespace {

constexpr double HALF_DIAGONAL = 0.7071067811865;

WorkPoint *Pts() { return g_WorkArrays.pathPoints; }
uint32_t *Codes() { return g_WorkArrays.pathTypes; }

// Begin, one figure, then stroke (open) or fill (closed).
int OutputFigure(HDC hdc, int32_t count, int closed, int clip, uint32_t flags)
{
    if (count < 1)
        return count;
    if (!ClipPathBegin())
        return 0;
    if (!ClipPathPrepare(count, closed, clip))
        return 0;
    return closed ? ClipPathFill(hdc, flags) : ClipPathStroke(hdc, flags);
}

int ArcFamily(HDC hdc, double cx, double cy, double sx, double sy, double ex, double ey, double sweep, int kind,
              int clip, uint32_t flags)
{
    Pts()[0] = {sx, sy};
    Pts()[1] = {ex, ey};
    Pts()[2] = {cx, cy};
    int32_t count = FlatAddArc(Pts(), Codes(), 0, sweep);
    if (count < 1)
        return count;
    if (kind == 1) { // sector
        Pts()[count] = {cx, cy};
        Codes()[count++] = PATH_LINE;
    }
    return OutputFigure(hdc, count, kind != 0, clip, flags);
}

int EllipseArcFamily(HDC hdc, const double v[10], double startParameter, double sweep, int kind, int clip,
                     uint32_t flags)
{
    // v: centre, axis 1, axis 2, start, end.
    Pts()[0] = {v[6], v[7]};
    Pts()[1] = {v[8], v[9]};
    Pts()[2] = {v[0], v[1]};
    Pts()[3] = {v[2], v[3]};
    Pts()[4] = {v[4], v[5]};
    int32_t count = FlatAddEllipseArc(Pts(), Codes(), 0, startParameter, sweep);
    if (count < 1)
        return count;
    if (kind == 1) {
        Pts()[count] = {v[0], v[1]};
        Codes()[count++] = PATH_LINE;
    }
    return OutputFigure(hdc, count, kind != 0, clip, flags);
}

bool ChainValid(const Unit *object, const Element *e)
{
    const uint8_t *end = reinterpret_cast<const uint8_t *>(object) + object->bytes;
    return reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END &&
           e->size >= ELEMENT_HEADER_SIZE;
}

const ElementPoint *AsPoint(const Element *e) { return reinterpret_cast<const ElementPoint *>(e); }

} // namespace

int ClipDrawBezier(HDC hdc, double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                   int clip, uint32_t flags)
{
    Pts()[0] = {x0, y0};
    Pts()[1] = {x1, y1};
    Pts()[2] = {x2, y2};
    Pts()[3] = {x3, y3};
    Codes()[0] = PATH_START;
    Codes()[1] = PATH_CONTROL1;
    Codes()[2] = PATH_CONTROL2;
    Codes()[3] = PATH_LINE;
    return OutputFigure(hdc, 4, 0, clip, flags);
}

int ClipDrawCircle(HDC hdc, double cx, double cy, double px, double py, int clip, uint32_t flags)
{
    Pts()[0] = {cx, cy};
    Pts()[1] = {px, py};
    return OutputFigure(hdc, FlatAddCircle(Pts(), Codes(), 0), 1, clip, flags);
}

int ClipDrawCircleArc(HDC hdc, double cx, double cy, double sx, double sy, double ex, double ey, double sweep, int clip,
                      uint32_t flags)
{
    return ArcFamily(hdc, cx, cy, sx, sy, ex, ey, sweep, 0, clip, flags);
}

int ClipDrawCircleSector(HDC hdc, double cx, double cy, double sx, double sy, double ex, double ey, double sweep,
                         int clip, uint32_t flags)
{
    return ArcFamily(hdc, cx, cy, sx, sy, ex, ey, sweep, 1, clip, flags);
}

int ClipDrawCircleSegment(HDC hdc, double cx, double cy, double sx, double sy, double ex, double ey, double sweep,
                          int clip, uint32_t flags)
{
    return ArcFamily(hdc, cx, cy, sx, sy, ex, ey, sweep, 2, clip, flags);
}

int ClipDrawEllipse(HDC hdc, double cx, double cy, double ax, double ay, double bx, double by, int clip, uint32_t flags)
{
    Pts()[0] = {cx, cy};
    Pts()[1] = {ax, ay};
    Pts()[2] = {bx, by};
    return OutputFigure(hdc, FlatAddEllipse(Pts(), Codes(), 0), 1, clip, flags);
}

int ClipDrawEllipseArc(HDC hdc, double cx, double cy, double ax, double ay, double bx, double by, double sx, double sy,
                       double ex, double ey, double startParameter, double sweep, int clip, uint32_t flags)
{
    const double v[10] = {cx, cy, ax, ay, bx, by, sx, sy, ex, ey};
    return EllipseArcFamily(hdc, v, startParameter, sweep, 0, clip, flags);
}

int ClipDrawEllipseSector(HDC hdc, double cx, double cy, double ax, double ay, double bx, double by, double sx,
                          double sy, double ex, double ey, double startParameter, double sweep, int clip,
                          uint32_t flags)
{
    const double v[10] = {cx, cy, ax, ay, bx, by, sx, sy, ex, ey};
    return EllipseArcFamily(hdc, v, startParameter, sweep, 1, clip, flags);
}

int ClipDrawEllipseSegment(HDC hdc, double cx, double cy, double ax, double ay, double bx, double by, double sx,
                           double sy, double ex, double ey, double startParameter, double sweep, int clip,
                           uint32_t flags)
{
    const double v[10] = {cx, cy, ax, ay, bx, by, sx, sy, ex, ey};
    return EllipseArcFamily(hdc, v, startParameter, sweep, 2, clip, flags);
}

void ClipDrawMarker(HDC hdc, double x, double y, int32_t shapeMask, double size, int clip, uint32_t flags)
{
    Matrix &current = g_OutputContext.current;
    const Matrix saved = current;
    current.a = g_OutputContext.base.a;
    current.b = g_OutputContext.base.b;
    current.c = g_OutputContext.base.c;
    current.d = g_OutputContext.base.d;
    if (shapeMask & 1) {
        ClipDrawLineStyled(hdc, x - size, y, x + size, y, clip, flags);
        ClipDrawLineStyled(hdc, x, y - size, x, y + size, clip, flags);
    }
    if (shapeMask & 2) {
        const double h = HALF_DIAGONAL * size;
        ClipDrawLineStyled(hdc, x - h, y - h, x + h, y + h, clip, flags);
        ClipDrawLineStyled(hdc, x + h, y - h, x - h, y + h, clip, flags);
    }
    if (shapeMask & 4)
        ClipDrawCircle(hdc, x, y, x + 0.5 * size, y, clip, flags);
    current = saved;
}

// ---------------------------------------------------------------------------
// Object-type drawers.

int ClipDrawZigzag(HDC hdc, double x1, double y1, double x2, double y2, double size, int clip, uint32_t flags)
{
    Pts()[0] = {x1, y1};
    Pts()[1] = {x2, y2};
    const int32_t count = FlatAddZigzag(Pts(), 0, size, g_OutputContext.lineWidth);
    if (count < 1)
        return count;
    ClipPathSetLineCodes(count);
    return OutputFigure(hdc, count, 0, clip, flags);
}

int ClipDrawSpline(HDC hdc, Unit *object, int clip, uint32_t flags)
{
    int32_t m = 0;
    const int32_t capacity = static_cast<int32_t>(g_MaxPathPoints);
    for (const Element *e = UnitFirstElement(object); ChainValid(object, e); e = ElementNext(e))
        if ((e->kind == POINT_START || e->kind == POINT_LINE) && m < capacity)
            Pts()[m++] = {AsPoint(e)->x, AsPoint(e)->y};
    const int32_t count = FlatAddSpline(Pts(), 0, m);
    if (count < 1)
        return count;
    ClipPathSetLineCodes(count);
    return OutputFigure(hdc, count, 0, clip, flags);
}

int ClipDrawPathObject(HDC hdc, Unit *object, int clip, uint32_t flags)
{
    const int32_t type = object->object.type;
    const int closed = type == 13 || type == 42;
    if (!ClipPathBegin())
        return 0;
    const int32_t limit = static_cast<int32_t>(g_MaxPathPoints) - 3;
    int32_t n = 0;
    for (const Element *e = UnitFirstElement(object); ChainValid(object, e); e = ElementNext(e)) {
        if (n >= limit) {
            ClipPathAbandon();
            return 0;
        }
        if (e->kind == POINT_START) {
            if (n > 0 && !ClipPathPrepare(n, closed, clip))
                return 0;
            n = 0;
            Pts()[n] = {AsPoint(e)->x, AsPoint(e)->y};
            Codes()[n++] = PATH_START;
        } else if (e->kind == POINT_LINE) {
            Pts()[n] = {AsPoint(e)->x, AsPoint(e)->y};
            Codes()[n] = n == 0 ? PATH_START : PATH_LINE;
            ++n;
        } else if (e->kind == POINT_CONTROL1) {
            const Element *e8 = ElementNext(e);
            if (!ChainValid(object, e8) || e8->kind != POINT_CONTROL2)
                continue;
            const Element *e2 = ElementNext(e8);
            if (!ChainValid(object, e2) || e2->kind != POINT_LINE)
                continue;
            Pts()[n] = {AsPoint(e)->x, AsPoint(e)->y};
            Codes()[n++] = PATH_CONTROL1;
            Pts()[n] = {AsPoint(e8)->x, AsPoint(e8)->y};
            Codes()[n++] = PATH_CONTROL2;
            Pts()[n] = {AsPoint(e2)->x, AsPoint(e2)->y};
            Codes()[n++] = PATH_LINE;
            e = e2;
        } else if (e->kind == POINT_ARC_PIECE_END) {
            const Element *curve = ElementNext(e);
            if (!ChainValid(object, curve) || curve->kind != ELEM_CURVE)
                continue;
            Pts()[n] = {AsPoint(e)->x, AsPoint(e)->y};
            Codes()[n] = PATH_LINE;
            if (n == 0) {
                Codes()[n++] = PATH_START;
            } else {
                const double *v = static_cast<const double *>(ElementPayload(curve));
                const int32_t added = FlatAddArcBulge(Pts(), Codes(), n - 1, v[0], v[1]);
                if (added < 0) {
                    ClipPathAbandon();
                    return 0;
                }
                n = n - 1 + added;
            }
            e = curve;
        }
    }
    if (n > 0 && !ClipPathPrepare(n, closed, clip))
        return 0;
    return closed ? ClipPathFill(hdc, flags) : ClipPathStroke(hdc, flags);
}

int ClipDrawMark(HDC hdc, Unit *object, int clip, uint32_t flags)
{
    const uint32_t mode = g_OutputContext.mode;
    if (g_OutputContext.window == OUTPUT_WINDOW_VIEW && g_Options.viewSimple)
        return 1;
    const bool screen = OutputIsScreenType(mode);
    if (screen && !g_DrawingSettings.displayMarks)
        return 1;
    if (!screen && !g_DrawingSettings.outputMark.on)
        return 1;
    // On the screen: a cross with a small box in the background colour, in
    // the screen mark pen.
    HGDIOBJ oldPen = screen && g_SharedGdi.marksPen ? SelectObject(hdc, g_SharedGdi.marksPen) : nullptr;
    HGDIOBJ oldBrush = screen && g_OutputContext.backgroundBrush
                           ? SelectObject(hdc, g_OutputContext.backgroundBrush)
                           : nullptr;
    for (const Element *e = UnitFirstElement(object); ChainValid(object, e); e = ElementNext(e)) {
        if (e->kind != POINT_MARK)
            continue;
        if (screen) {
            ClipDrawPoint(hdc, AsPoint(e)->x, AsPoint(e)->y);
        } else {
            const OutputMarkSetting &mark = g_DrawingSettings.outputMark;
            ClipDrawMarker(hdc, AsPoint(e)->x, AsPoint(e)->y, mark.kind, mark.size, clip, flags);
        }
    }
    if (oldBrush)
        SelectObject(hdc, oldBrush);
    if (oldPen)
        SelectObject(hdc, oldPen);
    return 1;
}
