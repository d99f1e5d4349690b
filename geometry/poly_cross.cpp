// Crossings of unit-buffer pieces: lines, endless lines, arcs, full circles
// and cubic Beziers, with their parameters on both pieces.
#include <cmath>

#include "geometry/poly.h"

namespace {

constexpr double CROSS_EPS = 1e-10;
constexpr double TWO_PI = 6.283185307179586;
constexpr double BEZIER_LINE_SLACK = 0.001; // a line accepts Bezier crossings strictly within -0.001 .. 1.001
constexpr double CIRCLE_TOUCH_BAND = 0.001; // circles missing each other by this fraction of d^2 touch

bool IsLineKind(int32_t t) { return t == POLY_ITEM_LINE || t == POLY_ITEM_ENDLESS; }
bool IsCircleKind(int32_t t) { return t == POLY_ITEM_ARC || t == POLY_ITEM_CIRCLE; }

bool LineAccepts(const BufferSegment *s, double t, double tol)
{
    return s->type == POLY_ITEM_ENDLESS || (t >= -tol && t <= 1 + tol);
}

bool CircleAccepts(const BufferSegment *s, double angle, double tol)
{
    return s->type == POLY_ITEM_CIRCLE || PolyAngleInArc(s->startAngle, s->endAngle, angle, tol * TWO_PI, s->direction);
}

struct Output {
    int slots = 0;
    bool swap;
    void Put(double x, double y, double pa, double pb)
    {
        if (slots + 2 > CALC_POINT_SLOTS)
            return;
        g_CalcPoints[slots] = {x, y};
        g_CalcPoints[slots + 1] = swap ? CalcPoint{pb, pa} : CalcPoint{pa, pb};
        slots += 2;
    }
};

int LineLine(const BufferSegment *a, const BufferSegment *b, double tol)
{
    const double d1x = a->x2 - a->x1, d1y = a->y2 - a->y1;
    const double d2x = b->x2 - b->x1, d2y = b->y2 - b->y1;
    const double wx = a->x1 - b->x1, wy = a->y1 - b->y1;
    const double cross = d2x * d1y - d2y * d1x;
    if (std::fabs(cross) <= CROSS_EPS)
        return 0;
    const double t1 = (d2y * wx - d2x * wy) / cross;
    const double t2 = (d1y * wx - d1x * wy) / cross;
    if (!LineAccepts(a, t1, tol) || !LineAccepts(b, t2, tol))
        return 0;
    Output out{0, false};
    out.Put(b->x1 + t2 * d2x, b->y1 + t2 * d2y, t1, t2);
    return out.slots;
}

// line is the line kind, circle the circle kind; swap when the circle came first.
int LineCircle(const BufferSegment *line, const BufferSegment *circle, double tol, int32_t touch, bool swap)
{
    const double ax = line->x1, ay = line->y1;
    const double dx = line->x2 - ax, dy = line->y2 - ay;
    const double len2 = dx * dx + dy * dy;
    const double r = circle->length, r2 = r * r;
    const double u = ((circle->cx - ax) * dx + (circle->cy - ay) * dy) / len2;
    const double fx = ax + u * dx, fy = ay + u * dy;
    const double q = (fx - circle->cx) * (fx - circle->cx) + (fy - circle->cy) * (fy - circle->cy);
    Output out{0, swap};
    auto test = [&](double t) {
        const double px = ax + t * dx, py = ay + t * dy;
        const double angle = CalcAngleOfVector(px - circle->cx, py - circle->cy);
        if (LineAccepts(line, t, tol) && CircleAccepts(circle, angle, tol))
            out.Put(px, py, t, angle);
    };
    if (q < r2) {
        const double h = std::sqrt(std::fabs(r2 - q)) / std::sqrt(len2);
        test(u - h);
        test(u + h);
    } else if (touch && q < (1 + tol) * r2) {
        test(u);
    }
    return out.slots;
}

int CircleCircle(const BufferSegment *a, const BufferSegment *b, double tol, int32_t touch)
{
    const double Dx = a->cx - b->cx, Dy = a->cy - b->cy;
    const double d = std::hypot(Dx, Dy);
    if (d == 0)
        return 0;
    const double r1 = a->length, r2 = b->length;
    const double along = (r2 * r2 - r1 * r1 + d * d) / (2 * d);
    const double h2 = r2 * r2 - along * along;
    const double fx = b->cx + Dx * along / d, fy = b->cy + Dy * along / d;
    Output out{0, false};
    auto test = [&](double px, double py) {
        const double a1 = CalcAngleOfVector(px - a->cx, py - a->cy);
        const double a2 = CalcAngleOfVector(px - b->cx, py - b->cy);
        if (CircleAccepts(a, a1, tol) && CircleAccepts(b, a2, tol))
            out.Put(px, py, a1, a2);
    };
    if (h2 >= 0) {
        const double k = std::sqrt(h2) / d;
        test(fx - k * Dy, fy + k * Dx);
        test(fx + k * Dy, fy - k * Dx);
    } else if (touch && h2 > -CIRCLE_TOUCH_BAND * d * d) {
        test(fx, fy);
    }
    return out.slots;
}

// bez is the Bezier; swap when it came second.
int BezierOther(const BufferSegment *bez, const BufferSegment *other, double tol, bool swap)
{
    int found;
    if (IsLineKind(other->type))
        found = CalcIntersectBezierLine(bez->x1, bez->y1, bez->c1x, bez->c1y, bez->c2x, bez->c2y, bez->x2, bez->y2,
                                        other->x1, other->y1, other->x2, other->y2,
                                        other->type == POLY_ITEM_ENDLESS ? 1 : 0);
    else if (other->type == POLY_ITEM_BEZIER)
        found = CalcIntersectBezierBezier(bez->x1, bez->y1, bez->c1x, bez->c1y, bez->c2x, bez->c2y, bez->x2, bez->y2,
                                          other->x1, other->y1, other->c1x, other->c1y, other->c2x, other->c2y,
                                          other->x2, other->y2);
    else
        found = CalcIntersectCircleBezier(bez->x1, bez->y1, bez->c1x, bez->c1y, bez->c2x, bez->c2y, bez->x2,
                                          bez->y2, other->cx, other->cy, other->x1, other->y1);
    // Pack the crossings that count to the front, the first piece's parameter first.
    Output out{0, swap};
    for (int k = 0; k + 1 < found && k + 1 < CALC_POINT_SLOTS; k += 2) {
        const CalcPoint p = g_CalcPoints[k];
        const double t = g_CalcPoints[k + 1].x;
        double other_t = g_CalcPoints[k + 1].y;
        if (other->type == POLY_ITEM_LINE &&
            !(other_t > -BEZIER_LINE_SLACK && other_t < 1 + BEZIER_LINE_SLACK))
            continue;
        if (IsCircleKind(other->type)) {
            other_t = CalcAngleOfVector(p.x - other->cx, p.y - other->cy);
            if (!CircleAccepts(other, other_t, tol))
                continue;
        }
        out.Put(p.x, p.y, t, other_t);
    }
    return out.slots;
}

bool KnownType(int32_t t)
{
    return IsLineKind(t) || IsCircleKind(t) || t == POLY_ITEM_BEZIER;
}

} // namespace

int PolyAngleInArc(double start, double end, double angle, double tolerance, int32_t ccw)
{
    if (ccw) {
        if (end >= start)
            return start - tolerance <= angle && angle <= end + tolerance;
        return angle <= end + tolerance || angle >= start - tolerance;
    }
    if (start >= end)
        return end - tolerance <= angle && angle <= start + tolerance;
    return angle <= start + tolerance || angle >= end - tolerance;
}

int PolyIntersectItems(const BufferSegment *a, const BufferSegment *b, double tolerance, int32_t touch)
{
    if (!a || !b || !(a->columnMask & b->columnMask) || !(a->rowMask & b->rowMask))
        return 0;
    if (a->length < CROSS_EPS || b->length < CROSS_EPS || !KnownType(a->type) || !KnownType(b->type))
        return 0;
    if (a->type == POLY_ITEM_BEZIER)
        return BezierOther(a, b, tolerance, false);
    if (b->type == POLY_ITEM_BEZIER)
        return BezierOther(b, a, tolerance, true);
    if (IsLineKind(a->type) && IsLineKind(b->type))
        return LineLine(a, b, tolerance);
    if (IsLineKind(a->type))
        return LineCircle(a, b, tolerance, touch, false);
    if (IsLineKind(b->type))
        return LineCircle(b, a, tolerance, touch, true);
    return CircleCircle(a, b, tolerance, touch);
}
