// The result buffer, directions, distances, arcs, ellipse parameters and the
// cubic Bezier toolkit of the geometry library.
#include "geometry/calc.h"

#include <algorithm>
#include <cmath>

#include "geometry/calc_internal.h"

CalcPoint g_CalcPoints[CALC_POINT_SLOTS];

void CalcClearPoints()
{
    for (CalcPoint &slot : g_CalcPoints)
        slot = CalcPoint{CALC_NO_VALUE, CALC_NO_VALUE};
}

int CalcFinish(int count, int slots)
{
    slots = std::min(slots, CALC_POINT_SLOTS);
    for (int k = 0; k < slots; ++k)
        if (!std::isfinite(g_CalcPoints[k].x) || !std::isfinite(g_CalcPoints[k].y))
            return CalcReject();
    return count;
}

// ---- Directions and distances -------------------------------------------------

double CalcAngleOfVector(double dx, double dy)
{
    // A vector may be the difference of two far coordinates, so only
    // finiteness is required here.
    if (!std::isfinite(dx) || !std::isfinite(dy) || (dx == 0.0 && dy == 0.0))
        return 0.0;
    double a = std::atan2(dy, dx);
    if (a < 0.0)
        a += CALC_TWO_PI;
    // A direction a hair below 0 would round to a full turn.
    a = CalcRound(a) + 0.0;
    return a >= CALC_TWO_PI ? 0.0 : a;
}

double CalcDistance(const CalcPoint *p, const CalcPoint *q)
{
    if (!p || !q || !CalcValidArgs(p->x, p->y, q->x, q->y))
        return CALC_NO_VALUE;
    return std::sqrt(CalcSquare(q->x - p->x) + CalcSquare(q->y - p->y));
}

int CalcSameDirection(double dx1, double dy1, double dx2, double dy2)
{
    if (!std::isfinite(dx1) || !std::isfinite(dy1) || !std::isfinite(dx2) || !std::isfinite(dy2))
        return 0;
    const double d = std::fabs(CalcAngleOfVector(dx1, dy1) - CalcAngleOfVector(dx2, dy2));
    return (d >= CALC_HALF_PI && d <= CALC_THREE_HALF_PI) ? 0 : 1;
}

double CalcDistancePointLine(double x1, double y1, double x2, double y2, double px, double py)
{
    if (!CalcValidArgs(x1, y1, x2, y2, px, py))
        return CALC_NO_VALUE;
    const double dx = x2 - x1, dy = y2 - y1;
    const double wx = px - x1, wy = py - y1;
    const double l2 = dx * dx + dy * dy;
    if (l2 == 0.0)
        return std::sqrt(wx * wx + wy * wy);
    const double wd = wx * dx + wy * dy;
    return std::sqrt(std::fabs(wx * wx + wy * wy - wd * wd / l2));
}

// ---- Circular arcs ---------------------------------------------------------------

namespace {

struct ArcAngles {
    double a1, a2, a3;
};

ArcAngles ArcDirections(double cx, double cy, double x1, double y1, double x2, double y2,
                        double x3, double y3)
{
    return ArcAngles{CalcAngleOfVector(x1 - cx, y1 - cy), CalcAngleOfVector(x2 - cx, y2 - cy),
                     CalcAngleOfVector(x3 - cx, y3 - cy)};
}

// Signed sweep between two direction angles in the given sense.
double SweepOfAngles(double a1, double a2, int ccw)
{
    if (a1 == a2)
        return 0.0;
    double s = a2 - a1;
    if (a1 < a2) {
        if (!ccw)
            s -= CALC_TWO_PI;
    } else if (ccw) {
        s += CALC_TWO_PI;
    }
    return s;
}

}  // namespace

int CalcAngleInArc(double cx, double cy, double x1, double y1, double x2, double y2, double x3,
                   double y3, int ccw)
{
    if (!CalcValidArgs(cx, cy, x1, y1, x2, y2, x3, y3))
        return 0;
    const ArcAngles a = ArcDirections(cx, cy, x1, y1, x2, y2, x3, y3);
    if (ccw) {
        if (a.a2 < a.a1)
            return (a.a3 <= a.a2 || a.a3 >= a.a1) ? 1 : 0;
        return (a.a1 <= a.a3 && a.a3 <= a.a2) ? 1 : 0;
    }
    if (a.a1 < a.a2)
        return (a.a3 <= a.a1 || a.a3 >= a.a2) ? 1 : 0;
    return (a.a2 <= a.a3 && a.a3 <= a.a1) ? 1 : 0;
}

double CalcArcSweep(double cx, double cy, double x1, double y1, double x2, double y2, int ccw)
{
    if (!CalcValidArgs(cx, cy, x1, y1, x2, y2))
        return 0.0;
    return SweepOfAngles(CalcAngleOfVector(x1 - cx, y1 - cy), CalcAngleOfVector(x2 - cx, y2 - cy),
                         ccw);
}

double CalcArcFraction(double cx, double cy, double x1, double y1, double x2, double y2,
                       double x3, double y3, int ccw)
{
    if (!CalcValidArgs(cx, cy, x1, y1, x2, y2, x3, y3))
        return CALC_NO_VALUE;
    const double sweep = std::fabs(CalcArcSweep(cx, cy, x1, y1, x2, y2, ccw));
    if (sweep < CALC_ZERO)
        return CALC_NO_VALUE;
    const double f = std::fabs(CalcArcSweep(cx, cy, x1, y1, x3, y3, ccw)) / sweep;
    const double turns = CALC_TWO_PI / sweep;
    // Beyond the middle of the gap the direction counts as before the start.
    if (f > (turns + 1.0) / 2.0)
        return f - turns;
    return f;
}

double CalcArcParameter(double cx, double cy, double x1, double y1, double x2, double y2,
                        double x3, double y3, int ccw)
{
    if (!CalcValidArgs(cx, cy, x1, y1, x2, y2, x3, y3))
        return 0.0;
    const ArcAngles a = ArcDirections(cx, cy, x1, y1, x2, y2, x3, y3);
    double sweep = a.a2 - a.a1;
    if (a.a1 < a.a2) {
        if (!ccw)
            sweep -= CALC_TWO_PI;
    } else if (ccw) {
        sweep += CALC_TWO_PI;
    }
    if (std::fabs(sweep) < CALC_ZERO)
        return 0.0;
    double e, d;
    if (ccw) {
        e = a.a2 - a.a1;
        if (a.a2 < a.a1)
            e += CALC_TWO_PI;
        d = a.a3 - a.a1;
        if (a.a3 < a.a1)
            d += CALC_TWO_PI;
        // A counter-clockwise arc whose ends share one direction is a full
        // turn: its end lies a whole turn after its start, so every direction
        // reads from 0 to 1 along it.
        if (a.a1 == a.a2)
            e = CALC_TWO_PI;
    } else {
        e = a.a1 - a.a2;
        if (a.a1 < a.a2)
            e += CALC_TWO_PI;
        d = a.a1 - a.a3;
        if (a.a1 < a.a3)
            d += CALC_TWO_PI;
    }
    const double span = std::fabs(sweep);
    if (d <= e)
        return d / span;
    const double gapMiddle = e + (CALC_TWO_PI - span) / 2.0;
    if (d >= gapMiddle)
        return (d - CALC_TWO_PI) / span;
    return d / span;
}

double CalcCurvature(double x, double y, double x1, double y1, double x2, double y2)
{
    if (!CalcValidArgs(x, y, x1, y1, x2, y2))
        return 0.0;
    const double dx = x2 - x1, dy = y2 - y1;
    const double wx = x - x1, wy = y - y1;
    const bool hasX = std::fabs(dx) > CALC_ZERO;
    const bool hasY = std::fabs(dy) > CALC_ZERO;
    if (hasX && hasY) {
        const double t = (wx * dx + wy * dy) / (dx * dx + dy * dy);
        // The mean of the factor read from each component of the offset.
        return ((wy - t * dy) / dx - (wx - t * dx) / dy) * 0.5;
    }
    if (hasX)
        return wy / dx;
    if (hasY)
        return -wx / dy;
    return 0.0;
}

double CalcCirclePointTowards(double cx, double cy, double x1, double y1, double x2, double y2)
{
    if (!CalcValidArgs(cx, cy, x1, y1, x2, y2))
        return CalcReject();
    const double r = std::hypot(x1 - cx, y1 - cy);
    const double vx = x2 - cx, vy = y2 - cy;
    const double len = std::hypot(vx, vy);
    if (len == 0.0)
        CalcSetSlot(0, cx + r, cy);
    else
        CalcSetSlot(0, cx + r * vx / len, cy + r * vy / len);
    if (!CalcFinish(1, 1))
        return 0.0;
    return CalcAngleOfVector(vx, vy);
}

// ---- Ellipses in the axis-2 parameter space ------------------------------------

namespace {

// The matrix that maps the unit circle onto the ellipse about the origin in
// the axis-2 form: parameter 0 at A2, pi/2 at A1.
Matrix Axis2Matrix(double cx, double cy, double a1x, double a1y, double a2x, double a2y)
{
    return Matrix{a2x - cx, a2y - cy, a1x - cx, a1y - cy, 0.0, 0.0};
}

double Axis2Parameter(const Matrix &inverse, double vx, double vy)
{
    double ux, uy;
    MatrixApply(inverse, vx, vy, &ux, &uy);
    return CalcAngleOfVector(ux, uy);
}

}  // namespace

double CalcEllipseArcSweep(double cx, double cy, double a1x, double a1y, double a2x, double a2y,
                           double q1x, double q1y, double q2x, double q2y, int ccw)
{
    if (!CalcValidArgs(cx, cy, a1x, a1y, a2x, a2y, q1x, q1y, q2x, q2y))
        return 0.0;
    const Matrix m = Axis2Matrix(cx, cy, a1x, a1y, a2x, a2y);
    Matrix inverse;
    if (!MatrixInvert(&m, &inverse))
        return 0.0;
    const double t1 = Axis2Parameter(inverse, q1x - cx, q1y - cy);
    const double t2 = Axis2Parameter(inverse, q2x - cx, q2y - cy);
    // When the parameter runs clockwise in the drawing, the flag is turned
    // round so that it keeps its meaning in the drawing.
    const double cross = m.a * m.d - m.b * m.c;
    const int sense = cross < 0.0 ? !ccw : (ccw != 0);
    return SweepOfAngles(t1, t2, sense);
}

double CalcEllipsePointTowards(double cx, double cy, double a1x, double a1y, double a2x,
                               double a2y, double px, double py)
{
    if (!CalcValidArgs(cx, cy, a1x, a1y, a2x, a2y, px, py))
        return CalcReject();
    const Matrix m = Axis2Matrix(cx, cy, a1x, a1y, a2x, a2y);
    Matrix inverse;
    if (!MatrixInvert(&m, &inverse)) {
        CalcSetSlot(0, a2x, a2y);
        return 0.0;
    }
    const double t = Axis2Parameter(inverse, px - cx, py - cy);
    const double c = std::cos(t), s = std::sin(t);
    CalcSetSlot(0, cx + c * (a2x - cx) + s * (a1x - cx), cy + c * (a2y - cy) + s * (a1y - cy));
    if (!CalcFinish(1, 1))
        return 0.0;
    return t;
}

// ---- Cubic Bezier pieces ------------------------------------------------------

namespace {

CalcPoint Mix(const CalcPoint &p, const CalcPoint &q, double s, double t)
{
    return CalcPoint{s * p.x + t * q.x, s * p.y + t * q.y};
}

BezierPiece CollapsedPiece(const CalcPoint &p, double t)
{
    return BezierPiece{{p, p, p, p}, t, t};
}

}  // namespace

void CalcBezierSplit(const BezierPiece *src, BezierPiece *left, BezierPiece *right)
{
    if (!src || !left || !right)
        return;
    const BezierPiece s = *src;
    const CalcPoint &p0 = s.p[0], &p1 = s.p[1], &p2 = s.p[2], &p3 = s.p[3];
    const CalcPoint mid{(p0.x + 3 * p1.x + 3 * p2.x + p3.x) / 8, (p0.y + 3 * p1.y + 3 * p2.y + p3.y) / 8};
    const double tm = (s.t0 + s.t1) / 2;
    *left = BezierPiece{{p0,
                         {(p0.x + p1.x) / 2, (p0.y + p1.y) / 2},
                         {(p0.x + 2 * p1.x + p2.x) / 4, (p0.y + 2 * p1.y + p2.y) / 4},
                         mid},
                        s.t0,
                        tm};
    *right = BezierPiece{{mid,
                          {(p1.x + 2 * p2.x + p3.x) / 4, (p1.y + 2 * p2.y + p3.y) / 4},
                          {(p2.x + p3.x) / 2, (p2.y + p3.y) / 2},
                          p3},
                         tm,
                         s.t1};
}

void CalcBezierSplitAt(const BezierPiece *src, double t, BezierPiece *before, BezierPiece *after)
{
    if (!src)
        return;
    const BezierPiece s = *src;
    // NaN counts as the start.
    if (!(t > 0.0)) {
        if (before)
            *before = CollapsedPiece(s.p[0], s.t0);
        if (after)
            *after = s;
        return;
    }
    if (t >= 1.0) {
        if (before)
            *before = s;
        if (after)
            *after = CollapsedPiece(s.p[3], s.t1);
        return;
    }
    const double u = 1.0 - t;
    const CalcPoint a = Mix(s.p[0], s.p[1], u, t);
    const CalcPoint b = Mix(s.p[1], s.p[2], u, t);
    const CalcPoint c = Mix(s.p[2], s.p[3], u, t);
    const CalcPoint d = Mix(a, b, u, t);
    const CalcPoint e = Mix(b, c, u, t);
    const CalcPoint f = Mix(d, e, u, t);
    const double tm = u * s.t0 + t * s.t1;
    if (before)
        *before = BezierPiece{{s.p[0], a, d, f}, s.t0, tm};
    if (after)
        *after = BezierPiece{{f, e, c, s.p[3]}, tm, s.t1};
}

void CalcBezierSubrange(const BezierPiece *src, double t1, double t2, BezierPiece *before,
                        BezierPiece *middle, BezierPiece *after)
{
    if (!src)
        return;
    if (std::isnan(t1))
        t1 = 0.0;
    if (std::isnan(t2))
        t2 = 0.0;
    const double lo = std::max(0.0, std::min(t1, t2));
    const double hi = std::min(1.0, std::max(t1, t2));
    BezierPiece head, rest, mid, tail;
    CalcBezierSplitAt(src, lo, &head, &rest);
    const double u = lo >= 1.0 ? 1.0 : (hi - lo) / (1.0 - lo);
    CalcBezierSplitAt(&rest, u, &mid, &tail);
    if (before)
        *before = head;
    if (middle)
        *middle = mid;
    if (after)
        *after = tail;
}

int CalcCircleToBezier(double cx, double cy, double px, double py, BezierPiece out[4])
{
    if (!out)
        return 0;
    if (!CalcValidArgs(cx, cy, px, py)) {
        for (int i = 0; i < 4; ++i)
            out[i] = CollapsedPiece(CalcPoint{0.0, 0.0}, 0.0);
        return 0;
    }
    const double r = std::sqrt(CalcSquare(px - cx) + CalcSquare(py - cy));
    const double k = r * CALC_CIRCLE_KAPPA3 / 3;
    out[0] = BezierPiece{{{cx + r, cy}, {cx + r, cy + k}, {cx + k, cy + r}, {cx, cy + r}}, 0, 1};
    out[1] = BezierPiece{{{cx, cy + r}, {cx - k, cy + r}, {cx - r, cy + k}, {cx - r, cy}}, 0, 1};
    out[2] = BezierPiece{{{cx - r, cy}, {cx - r, cy - k}, {cx - k, cy - r}, {cx, cy - r}}, 0, 1};
    out[3] = BezierPiece{{{cx, cy - r}, {cx + k, cy - r}, {cx + r, cy - k}, {cx + r, cy}}, 0, 1};
    return 1;
}

int CalcEllipseToBezier(double cx, double cy, double a1x, double a1y, double a2x, double a2y,
                        BezierPiece out[4])
{
    if (!out)
        return 0;
    if (!CalcValidArgs(cx, cy, a1x, a1y, a2x, a2y)) {
        for (int i = 0; i < 4; ++i)
            out[i] = CollapsedPiece(CalcPoint{0.0, 0.0}, 0.0);
        return 0;
    }
    const double ux = a1x - cx, uy = a1y - cy;
    const double vx = a2x - cx, vy = a2y - cy;
    const double k = CALC_ELLIPSE_KAPPA;
    auto at = [cx, cy](double x, double y) { return CalcPoint{cx + x, cy + y}; };
    out[0] = BezierPiece{{at(ux, uy), at(ux + k * vx, uy + k * vy), at(vx + k * ux, vy + k * uy), at(vx, vy)}, 0, 1};
    out[1] = BezierPiece{{at(vx, vy), at(vx - k * ux, vy - k * uy), at(-ux + k * vx, -uy + k * vy), at(-ux, -uy)}, 0, 1};
    out[2] = BezierPiece{{at(-ux, -uy), at(-ux - k * vx, -uy - k * vy), at(-vx - k * ux, -vy - k * uy), at(-vx, -vy)}, 0, 1};
    out[3] = BezierPiece{{at(-vx, -vy), at(-vx + k * ux, -vy + k * uy), at(ux - k * vx, uy - k * vy), at(ux, uy)}, 0, 1};
    return 1;
}

// ---- Nearest point of a cubic ---------------------------------------------------

namespace {

// Leaves of the nearest-point search are chords of 1/256 of the curve.
constexpr int NEAREST_DEPTH = 8;

}  // namespace

void CalcBezierNearest(const BezierPiece *piece, double px, double py, double *best, double *t,
                       int *side, int depth)
{
    if (!piece || !best || !t || !side || !CalcValidArgs(px, py))
        return;
    depth = std::max(depth, 0);
    const BezierPiece &b = *piece;
    const double d0 = CalcSquare(px - b.p[0].x) + CalcSquare(py - b.p[0].y);
    if (d0 < *best) {
        *best = d0;
        *t = b.t0;
    }
    const double d3 = CalcSquare(px - b.p[3].x) + CalcSquare(py - b.p[3].y);
    if (d3 < *best) {
        *best = d3;
        *t = b.t1;
    }
    const double r = std::sqrt(*best);
    double xmin = b.p[0].x, xmax = xmin, ymin = b.p[0].y, ymax = ymin;
    for (int i = 1; i < 4; ++i) {
        xmin = std::min(xmin, b.p[i].x);
        xmax = std::max(xmax, b.p[i].x);
        ymin = std::min(ymin, b.p[i].y);
        ymax = std::max(ymax, b.p[i].y);
    }
    if (!(xmin < px + r && px - r < xmax && ymin < py + r && py - r < ymax))
        return;
    if (depth < NEAREST_DEPTH) {
        BezierPiece left, right;
        CalcBezierSplit(&b, &left, &right);
        CalcBezierNearest(&left, px, py, best, t, side, depth + 1);
        CalcBezierNearest(&right, px, py, best, t, side, depth + 1);
        return;
    }
    const double dx = b.p[3].x - b.p[0].x, dy = b.p[3].y - b.p[0].y;
    const double wx = px - b.p[0].x, wy = py - b.p[0].y;
    const double l2 = dx * dx + dy * dy;
    const double wd = wx * dx + wy * dy;
    if (l2 == 0.0 || wd < 0.0 || wd > l2)
        return;
    const double q = std::fabs(wx * wx + wy * wy - wd * wd / l2);
    if (q < *best) {
        *best = q;
        *t = b.t0 + (wd / l2) * (b.t1 - b.t0);
        *side = (wy * dx - wx * dy > 0.0) ? 1 : 0;
    }
}

namespace {

struct NearestResult {
    double best;
    double t;
    int side;
};

NearestResult SearchNearest(double x0, double y0, double x1, double y1, double x2, double y2,
                            double x3, double y3, double px, double py)
{
    const BezierPiece piece{{{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}}, 0.0, 1.0};
    NearestResult r{CALC_NO_VALUE, 0.0, 0};
    CalcBezierNearest(&piece, px, py, &r.best, &r.t, &r.side, 0);
    return r;
}

}  // namespace

double CalcDistancePointBezier(double x0, double y0, double x1, double y1, double x2, double y2,
                               double x3, double y3, double px, double py)
{
    if (!CalcValidArgs(x0, y0, x1, y1, x2, y2, x3, y3, px, py))
        return CALC_NO_VALUE;
    return std::sqrt(std::fabs(SearchNearest(x0, y0, x1, y1, x2, y2, x3, y3, px, py).best));
}

int CalcBezierPointSide(double x0, double y0, double x1, double y1, double x2, double y2,
                        double x3, double y3, double px, double py)
{
    if (!CalcValidArgs(x0, y0, x1, y1, x2, y2, x3, y3, px, py))
        return 0;
    return SearchNearest(x0, y0, x1, y1, x2, y2, x3, y3, px, py).side;
}

int CalcPerpendicularFootLine(double x1, double y1, double x2, double y2, double px, double py)
{
    if (!CalcValidArgs(x1, y1, x2, y2, px, py))
        return CalcReject();
    const double dx = x2 - x1, dy = y2 - y1;
    const double l2 = dx * dx + dy * dy;
    if (l2 == 0.0) {
        CalcSetSlot(0, px, py);
        g_CalcPoints[1].x = 0.0;
        return 0;
    }
    const double t = ((px - x1) * dx + (py - y1) * dy) / l2;
    CalcSetSlot(0, x1 + t * dx, y1 + t * dy);
    g_CalcPoints[1].x = t;
    // Slot 1 y is not part of the result, so only x is checked there.
    if (!std::isfinite(g_CalcPoints[0].x) || !std::isfinite(g_CalcPoints[0].y) ||
        !std::isfinite(t))
        return CalcReject();
    return 1;
}

int CalcPerpendicularFootBezier(double x0, double y0, double x1, double y1, double x2, double y2,
                                double x3, double y3, double px, double py)
{
    if (!CalcValidArgs(x0, y0, x1, y1, x2, y2, x3, y3, px, py))
        return CalcReject();
    const double t = SearchNearest(x0, y0, x1, y1, x2, y2, x3, y3, px, py).t;
    if (t > 0.0 && t < 1.0) {
        const double ax = 3 * (x1 - x0), ay = 3 * (y1 - y0);
        const double bx = 3 * (x2 - x1) - ax, by = 3 * (y2 - y1) - ay;
        const double cx = x3 - x0 + 3 * (x1 - x2), cy = y3 - y0 + 3 * (y1 - y2);
        CalcSetSlot(0, x0 + t * (ax + t * (bx + t * cx)), y0 + t * (ay + t * (by + t * cy)));
        g_CalcPoints[1].x = t;
        return 1;
    }
    // Beyond the ends the foot lies on the extended end tangents; the start
    // is tried first.
    if (CalcPerpendicularFootLine(x0, y0, 2 * x0 - x1, 2 * y0 - y1, px, py) &&
        g_CalcPoints[1].x > 0.0) {
        g_CalcPoints[1].x = -g_CalcPoints[1].x;
        return 1;
    }
    if (CalcPerpendicularFootLine(x3, y3, 2 * x3 - x2, 2 * y3 - y2, px, py) &&
        g_CalcPoints[1].x > 0.0) {
        g_CalcPoints[1].x += 1.0;
        return 1;
    }
    CalcSetSlot(0, (x0 + x3) / 2, (y0 + y3) / 2);
    g_CalcPoints[1].x = 0.5;
    return 0;
}
