#include "commands/copy.h"

#include <cmath>
#include <functional>

#include "app/darad4.h"
#include "app/system.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"
#include "geometry/frame.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kGoldenFirst = 0.38196601125;
constexpr double kGoldenRatio = 0.61803398875;

// The common logarithms of 2 to 10.
const double kLog10[9] = {0.30102999566398120, 0.47712125471966244, 0.60205999132796240,
                          0.69897000433601886, 0.77815125038364363, 0.84509804001425681,
                          0.90308998699194354, 0.95424250943932487, 1.0};

// A division in tracked temporary memory, released with the scope.
struct Division {
    TempBlock<CopyPair> pairs{COPY_DIVISION_MAX, __FILE_NAME__, __LINE__};
    int count = 0;
    // Divides length by rule s; false when no memory (count 0) or the rule
    // gave nothing or failed (count 0 or -1).
    bool Divide(double length, const ConstructionSettings &s)
    {
        count = pairs ? CopyDivideLength(length, &s, pairs.get()) : 0;
        return count > 0;
    }
    const CopyPair &operator[](int i) const { return pairs.get()[i]; }
};

const ConstructionSettings &Rule(int which) { return g_CommandDefaults.construction[which]; }

// The ellipse point at parameter t: C + sin t u + cos t v.
CopyPoint EllipseAt(CopyPoint c, CopyPoint u, CopyPoint v, double t)
{
    return {c.x + std::sin(t) * u.x + std::cos(t) * v.x, c.y + std::sin(t) * u.y + std::cos(t) * v.y};
}

// The angle of the tangent at t turned a quarter clockwise.
double EllipseRotation(CopyPoint u, CopyPoint v, double t)
{
    const double tx = std::cos(t) * u.x - std::sin(t) * v.x, ty = std::cos(t) * u.y - std::sin(t) * v.y;
    return CalcAngleOfVector(ty, -tx);
}

double EllipsePerimeterFactor(CopyPoint u, CopyPoint v)
{
    const double a = std::hypot(u.x, u.y), b = std::hypot(v.x, v.y);
    return 1.5 * (a + b) - std::sqrt(a * b);
}

// Walks the division of one shape; emit(fraction) writes one entry.
// skipLast drops the last pair of closed shapes (it repeats the first).
template <typename Emit>
int Walk(double length, bool skipLast, Emit emit)
{
    Division d;
    if (!d.Divide(length, Rule(0)))
        return d.count;
    const int n = skipLast ? d.count - 1 : d.count;
    for (int i = 0; i < n; ++i)
        emit(i, d[i].fraction);
    return n;
}

CopyPoint Minus(CopyPoint a, CopyPoint b) { return {a.x - b.x, a.y - b.y}; }

// A shape to divide: its length, whether it is closed (the last division
// point repeats the first) and the position and rotation at a fraction
// (placing: for a placement, which turns a clockwise circle differently).
struct Shape {
    double length;
    bool closed;
    std::function<CopyPlacement(double fraction, bool placing)> at;
};

int ToPoints(const Shape &shape, CopyPoint *out)
{
    return Walk(shape.length, shape.closed, [&](int i, double f) {
        const CopyPlacement p = shape.at(f, false);
        out[i] = {p.x, p.y};
    });
}

int ToPlacements(const Shape &shape, CopyPlacement *out)
{
    return Walk(shape.length, shape.closed, [&](int i, double f) { out[i] = shape.at(f, true); });
}

Shape LineShape(CopyPoint p, CopyPoint q)
{
    return {std::hypot(q.x - p.x, q.y - p.y), false,
            [=](double f, bool) { return CopyPlacement{p.x + f * (q.x - p.x), p.y + f * (q.y - p.y), 0.0}; }};
}

Shape CircleShape(CopyPoint c, CopyPoint on, int ccw)
{
    const double r = std::hypot(on.x - c.x, on.y - c.y);
    return {kTwoPi * r, true, [=](double f, bool placing) {
                const double a = ccw ? kTwoPi * f : (placing ? (1 - f) * kTwoPi : -kTwoPi * f);
                return CopyPlacement{c.x + r * std::cos(a), c.y + r * std::sin(a), a};
            }};
}

// An arc from s to e about c; an empty sweep is a full turn.
Shape CircArcShape(CopyPoint c, CopyPoint on, CopyPoint s, CopyPoint e, int ccw)
{
    const double r = std::hypot(on.x - c.x, on.y - c.y);
    const double a0 = CalcAngleOfVector(s.x - c.x, s.y - c.y);
    double sweep = CalcAngleOfVector(e.x - c.x, e.y - c.y) - a0;
    if (sweep <= 0)
        sweep += kTwoPi;
    return {sweep * r, false, [=](double f, bool) {
                const double a = ccw ? a0 + f * sweep : a0 + sweep - f * sweep;
                return CopyPlacement{c.x + r * std::cos(a), c.y + r * std::sin(a), a};
            }};
}

Shape EllipseArcShape(CopyPoint c, CopyPoint u, CopyPoint v, double length, double t0, double sweep, int ccw)
{
    return {length, false, [=](double f, bool) {
                const double t = ccw ? t0 + f * sweep : t0 + sweep - f * sweep;
                const CopyPoint p = EllipseAt(c, u, v, t);
                return CopyPlacement{p.x, p.y, EllipseRotation(u, v, t)};
            }};
}

Shape EllipseShape(CopyPoint c, CopyPoint p1, CopyPoint p2, int ccw)
{
    const CopyPoint u = Minus(p1, c), v = Minus(p2, c);
    Shape shape = EllipseArcShape(c, u, v, 3.141592653589793 * EllipsePerimeterFactor(u, v), 0.0,
                                  ccw ? kTwoPi : -kTwoPi, 1);
    shape.closed = true;
    return shape;
}

// From the parameter of s to that of e; an empty sweep is a full turn.
Shape ElliArcShape(CopyPoint c, CopyPoint p1, CopyPoint p2, CopyPoint s, CopyPoint e, int ccw)
{
    const CopyPoint u = Minus(p1, c), v = Minus(p2, c);
    const double t0 = CalcEllipsePointTowards(c.x, c.y, p1.x, p1.y, p2.x, p2.y, s.x, s.y);
    double sweep = CalcEllipsePointTowards(c.x, c.y, p1.x, p1.y, p2.x, p2.y, e.x, e.y) - t0;
    if (sweep <= 0)
        sweep += kTwoPi;
    return EllipseArcShape(c, u, v, EllipsePerimeterFactor(u, v) * sweep * 0.5, t0, sweep, ccw);
}

// Grid walk: for each fraction of v (outer) and of u (inner); -1 at capacity.
template <typename Emit>
int Grid(CopyPoint k, CopyPoint q1, CopyPoint q2, int capacity, Emit emit)
{
    const CopyPoint u = Minus(q1, k), v = Minus(q2, q1);
    Division du, dv;
    if (!du.Divide(std::hypot(u.x, u.y), Rule(0)))
        return du.count;
    if (!dv.Divide(std::hypot(v.x, v.y), Rule(1)))
        return dv.count;
    int n = 0;
    for (int j = 0; j < dv.count; ++j)
        for (int i = 0; i < du.count; ++i) {
            if (n >= capacity)
                return -1;
            const double f = du[i].fraction, g = dv[j].fraction;
            emit(n++, CopyPoint{k.x + f * u.x + g * v.x, k.y + f * u.y + g * v.y});
        }
    return n;
}

} // namespace

void CopyInitConstructionSettings(ConstructionSettings *s)
{
    *s = ConstructionSettings{};
    s->equalParts = 2;
    s->decades = 1;
    s->goldenSteps = 1;
    s->geometricCount = 2;
    s->arithmeticCount = 2;
    s->geometricFirst = 1.0;
    s->geometricFactor = 2.0;
    s->arithmeticFirst = 1.0;
    s->arithmeticIncrement = 1.0;
    s->rotateCopies = 1;
}

int CopyDivideLength(double length, const ConstructionSettings *s, CopyPair *out)
{
    if (!(length > 0))
        return -1;
    int n = 0;
    auto put = [&](double fraction) {
        out[n++] = {fraction, fraction * length};
    };
    switch (s->mode) {
    case CONSTRUCT_EQUAL: {
        if (s->equalParts < 1 || s->equalParts > COPY_DIVISION_MAX - 1)
            return -1;
        const double d = 1.0 / s->equalParts;
        for (int i = 0; i * d < 1 - d / 2; ++i)
            put(i * d);
        put(1.0);
        return n;
    }
    case CONSTRUCT_LOGARITHMIC: {
        if (s->decades < 1 || 1 + 9 * s->decades > COPY_DIVISION_MAX)
            return -1;
        const double d = 1.0 / s->decades;
        put(0.0);
        for (int i = 0; i * d < 1 - d / 2; ++i)
            for (double l : kLog10)
                put(i * d + d * l);
        return n;
    }
    case CONSTRUCT_GOLDEN: {
        if (s->goldenSteps < 0 || s->goldenSteps + 2 > COPY_DIVISION_MAX)
            return -1;
        double fraction = 0, step = kGoldenFirst;
        put(0.0);
        for (int i = 0; i < s->goldenSteps; ++i) {
            fraction += step;
            step *= kGoldenRatio;
            put(fraction);
        }
        put(1.0);
        return n;
    }
    case CONSTRUCT_GEOMETRIC: {
        const double first = s->geometricFirst;
        if (!(first < length))
            return -1;
        const bool counted = s->geometricCounted != 0;
        const int limit = counted ? s->geometricCount : COPY_SERIES_LIMIT + 1; // by factor: no count
        const double factor = counted ? 1 - first / length : s->geometricFactor;
        double c = 0, step = first;
        for (;;) {
            if (n >= COPY_SERIES_LIMIT)
                return -1;
            out[n++] = {c / length, c};
            c += step;
            step *= factor;
            if (c >= length || n >= limit)
                return n;
        }
    }
    case CONSTRUCT_ARITHMETIC: {
        const double first = s->arithmeticFirst;
        if (!(first < length))
            return -1;
        const int count = s->arithmeticCount;
        const double increment = s->arithmeticCounted && count > 1
                                     ? 2 * (length - count * first) / (double(count) * count - count)
                                     : s->arithmeticIncrement;
        double c = 0, step = first;
        for (;;) {
            if (n >= COPY_SERIES_LIMIT)
                return -1;
            out[n++] = {c / length, c};
            c += step;
            step += increment;
            if (c >= length || step <= 0)
                return n;
        }
    }
    case CONSTRUCT_LIST: {
        const int entries = s->listLength;
        if (entries <= 0 || entries > CONSTRUCTION_LIST_SIZE)
            return -1;
        double sum = 0;
        for (int i = 0; i < entries; ++i)
            sum += s->list[i];
        if (sum == 0)
            return -1;
        double running = 0;
        for (int i = 0; i < entries; ++i) {
            out[n++] = {running / sum, running * length / sum};
            running += s->list[i];
        }
        put(1.0);
        return n;
    }
    default: return 0;
    }
}

int CopyDivideLine(CopyPoint p, CopyPoint q, CopyPoint *out) { return ToPoints(LineShape(p, q), out); }

int CopyPlaceLine(CopyPoint p, CopyPoint q, CopyPlacement *out) { return ToPlacements(LineShape(p, q), out); }

int CopyDivideCircle(CopyPoint c, CopyPoint on, int ccw, CopyPoint *out)
{
    return ToPoints(CircleShape(c, on, ccw), out);
}

int CopyPlaceCircle(CopyPoint c, CopyPoint on, int ccw, CopyPlacement *out)
{
    return ToPlacements(CircleShape(c, on, ccw), out);
}

int CopyDivideCircArc(CopyPoint c, CopyPoint on, CopyPoint s, CopyPoint e, int ccw, CopyPoint *out)
{
    return ToPoints(CircArcShape(c, on, s, e, ccw), out);
}

int CopyPlaceCircArc(CopyPoint c, CopyPoint on, CopyPoint s, CopyPoint e, int ccw, CopyPlacement *out)
{
    return ToPlacements(CircArcShape(c, on, s, e, ccw), out);
}

int CopyDivideEllipse(CopyPoint c, CopyPoint p1, CopyPoint p2, int ccw, CopyPoint *out)
{
    return ToPoints(EllipseShape(c, p1, p2, ccw), out);
}

int CopyPlaceEllipse(CopyPoint c, CopyPoint p1, CopyPoint p2, int ccw, CopyPlacement *out)
{
    return ToPlacements(EllipseShape(c, p1, p2, ccw), out);
}

int CopyDivideElliArc(CopyPoint c, CopyPoint p1, CopyPoint p2, CopyPoint s, CopyPoint e, int ccw, CopyPoint *out)
{
    return ToPoints(ElliArcShape(c, p1, p2, s, e, ccw), out);
}

int CopyPlaceElliArc(CopyPoint c, CopyPoint p1, CopyPoint p2, CopyPoint s, CopyPoint e, int ccw, CopyPlacement *out)
{
    return ToPlacements(ElliArcShape(c, p1, p2, s, e, ccw), out);
}

int CopyDivideGrid(CopyPoint k, CopyPoint q1, CopyPoint q2, CopyPoint *out)
{
    return Grid(k, q1, q2, int(g_ObjectLimits.maxUnitPoints), [&](int i, CopyPoint p) { out[i] = p; });
}

int CopyPlaceGrid(CopyPoint k, CopyPoint q1, CopyPoint q2, CopyPlacement *out, int capacity)
{
    return Grid(k, q1, q2, capacity, [&](int i, CopyPoint p) { out[i] = {p.x, p.y, 0.0}; });
}

int CopyPolarArrayPositions(CopyPoint c, int n, CopyPlacement *out)
{
    const int m = n < 2 ? 2 : n;
    const double step = kTwoPi / m;
    for (int k = 1; k < n; ++k)
        out[k - 1] = {c.x, c.y, k * step};
    return n > 1 ? n - 1 : 0;
}

int CopyLinearArrayPositions(CopyPoint b, CopyPoint s, int n, CopyPlacement *out)
{
    for (int k = 1; k <= n; ++k)
        out[k - 1] = {b.x + k * (s.x - b.x), b.y + k * (s.y - b.y), 0.0};
    return n > 0 ? n : 0;
}

int CopyCollectMarkPoints(CopyPlacement *out, int capacity, uint32_t mask)
{
    int n = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, mask, mask, 1); u; u = MemListNext(u)) {
        if (u->kind != UNIT_KIND_OBJECT || u->object.type != OBJTYPE_MARK)
            continue;
        bool full = false;
        UnitForEachElement(u, [&](Element *e) {
            if (e->kind != POINT_MARK || full)
                return;
            full = n >= capacity;
            if (!full) {
                const auto *p = reinterpret_cast<const ElementPoint *>(e);
                out[n++] = {p->x, p->y, 0.0};
            }
        });
        if (full)
            return -1;
    }
    return n;
}

int CopyDuplicateSelection(uint32_t mask)
{
    for (Unit *u = MemListFirst(LIST_DRAWING, mask, mask, 1); u; u = MemListNext(u)) {
        Unit *copy = MemListDuplicate(LIST_DRAWING, u);
        if (!copy)
            return 0;
        UndoStampCreated(copy);
        copy->flags = UNIT_TRANSFORM;
    }
    return 1;
}

int CopySelectionToPoints(const CopyPlacement *placements, int count, CopyPoint reference, uint32_t mask,
                          int rotate)
{
    double rect[4];
    FrameSetEmpty(rect);
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        Matrix m;
        MatrixInit(&m);
        MatrixMove(&m, -reference.x, -reference.y);
        if (rotate)
            MatrixRotate(&m, placements[i].rotation);
        MatrixMove(&m, placements[i].x, placements[i].y);
        ok = CopyDuplicateSelection(mask) != 0;
        for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_TRANSFORM, UNIT_TRANSFORM, 1); u; u = MemListNext(u)) {
            ObjectTransform(u, &m, 0);
            FrameUnion(rect, u->frame);
        }
    }
    for (int i = 0; i < 4; ++i)
        g_ChangedRect[i] = rect[i];
    if (!ok) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    return 1;
}
