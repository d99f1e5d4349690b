// Perpendicular feet, extreme points and tangents of circles, ellipses and
// Bezier pieces.
#include <algorithm>
#include <cmath>

#include "geometry/calc.h"
#include "geometry/calc_internal.h"

namespace {

// Sampled search for the nearest and farthest point of an ellipse: first step
// pi/16, each pass eight times finer, the last one pi/65536.
constexpr int FEET_FIRST_STEPS = 16;
constexpr int FEET_STEP_LIMIT = 131072;
// Subdivision depth of the extreme-point search (pieces of 1/4096).
constexpr int EXTREMES_DEPTH = 12;
// Circle-ellipse tangents: first step pi/64, passes while finer than
// pi/524288; at most this many candidate windows; a window counts as a
// touching when the tangent misses the unit circle by less than the limit.
constexpr int TANGENT_FIRST_STEPS = 64;
constexpr int TANGENT_STEP_LIMIT = 524288;
constexpr int TANGENT_MAX_WINDOWS = 8;
constexpr double TANGENT_TOUCH_LIMIT = 0.001;
// Step of the last tangent pass; tangents whose circle points lie closer in
// angle than a few such steps are the same tangent found twice.
constexpr double TANGENT_FINAL_STEP = CALC_PI / (TANGENT_STEP_LIMIT / 2);
constexpr double TANGENT_SAME_ANGLE = 4 * TANGENT_FINAL_STEP;
// Equal radii of two circles, relative to the first.
constexpr double TANGENT_EQUAL_RADII = 1e-5;

// Maps the unit circle onto the ellipse in the axis-1 form.
Matrix Axis1Matrix(double cx, double cy, double a1x, double a1y, double a2x, double a2y)
{
    return Matrix{a1x - cx, a1y - cy, a2x - cx, a2y - cy, cx, cy};
}

CalcPoint Apply(const Matrix &m, double x, double y)
{
    CalcPoint r;
    MatrixApply(m, x, y, &r.x, &r.y);
    return r;
}

void MapSlots(const Matrix &m, int first, int count)
{
    for (int k = first; k < first + count && k < CALC_POINT_SLOTS; ++k)
        g_CalcPoints[k] = Apply(m, g_CalcPoints[k].x, g_CalcPoints[k].y);
}

// Number of samples after the first in a window of the sampled searches.
int StepsIn(double lo, double hi, double h)
{
    return static_cast<int>(std::floor((hi - lo) / h + 1e-6));
}

struct Window {
    double lo, hi;
};

}  // namespace

// ---- Perpendicular feet ---------------------------------------------------------

int CalcCirclePerpendicularFeet(double cx, double cy, double x1, double y1, double px, double py)
{
    if (!CalcValidArgs(cx, cy, x1, y1, px, py))
        return CalcReject();
    const double r = std::hypot(x1 - cx, y1 - cy);
    const double len = std::hypot(px - cx, py - cy);
    if (len == 0.0) {
        CalcSetSlot(0, px, py);
        CalcSetSlot(1, px, py);
        return 0;
    }
    const double ux = (px - cx) / len, uy = (py - cy) / len;
    CalcSetSlot(0, cx + r * ux, cy + r * uy);
    CalcSetSlot(1, cx - r * ux, cy - r * uy);
    return CalcFinish(2, 2);
}

int CalcEllipsePerpendicularFeet(double cx, double cy, double a1x, double a1y, double a2x,
                                 double a2y, double px, double py)
{
    if (!CalcValidArgs(cx, cy, a1x, a1y, a2x, a2y, px, py))
        return CalcReject();
    const double ux = a1x - cx, uy = a1y - cy, vx = a2x - cx, vy = a2y - cy;
    auto distance2 = [&](double c, double s) {
        return CalcSquare(cx + c * ux + s * vx - px) + CalcSquare(cy + c * uy + s * vy - py);
    };
    // Walks one window and returns the window around its best sample; the
    // first sample wins ties. A window without a better sample is kept.
    auto walk = [&](Window w, double h, bool wantMin) {
        const int steps = StepsIn(w.lo, w.hi, h);
        const double ch = std::cos(h), sh = std::sin(h);
        double c = std::cos(w.lo), s = std::sin(w.lo);
        double best = wantMin ? CALC_NO_VALUE : 0.0;
        Window found = w;
        for (int i = 0; i <= steps; ++i) {
            const double t = w.lo + i * h;
            const double g = distance2(c, s);
            if (wantMin ? g < best : g > best) {
                best = g;
                found = Window{t - h, t + h};
            }
            const double nc = c * ch - s * sh;
            s = s * ch + c * sh;
            c = nc;
        }
        return found;
    };
    Window nearest{0.0, CALC_TWO_PI}, farthest{0.0, CALC_TWO_PI};
    for (int n = FEET_FIRST_STEPS; n < FEET_STEP_LIMIT; n *= 8) {
        const double h = CALC_PI / n;
        nearest = walk(nearest, h, true);
        farthest = walk(farthest, h, false);
    }
    const double tn = (nearest.lo + nearest.hi) / 2, tf = (farthest.lo + farthest.hi) / 2;
    CalcSetSlot(0, cx + std::cos(tn) * ux + std::sin(tn) * vx, cy + std::cos(tn) * uy + std::sin(tn) * vy);
    CalcSetSlot(1, cx + std::cos(tf) * ux + std::sin(tf) * vx, cy + std::cos(tf) * uy + std::sin(tf) * vy);
    return CalcFinish(2, 2);
}

namespace {

bool GeoValid(const GeoObject &g, int doubles)
{
    for (int i = 0; i < doubles; ++i)
        if (!CalcValid(g.d[i]))
            return false;
    return true;
}

}  // namespace

int CalcGeoPerpendicular(const GeoObject *g, double px, double py)
{
    if (!g)
        return 0;
    const double *d = g->d;
    switch (g->type) {
    case GEO_LINE:
    case GEO_GEOLINE:
        if (!GeoValid(*g, 4))
            return CalcReject();
        return CalcPerpendicularFootLine(d[0], d[1], d[2], d[3], px, py);
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE:
        if (!GeoValid(*g, 4))
            return CalcReject();
        return CalcCirclePerpendicularFeet(d[0], d[1], d[2], d[3], px, py);
    case GEO_CURVE:
        if (!GeoValid(*g, 10))
            return CalcReject();
        return CalcPerpendicularFootBezier(d[0], d[1], d[6], d[7], d[8], d[9], d[2], d[3], px, py);
    case GEO_ELLIPSE:
    case GEO_GEOELLI:
        if (!GeoValid(*g, 6))
            return CalcReject();
        return CalcEllipsePerpendicularFeet(d[0], d[1], d[2], d[3], d[4], d[5], px, py);
    default:
        return 0;
    }
}

// ---- Extremes --------------------------------------------------------------------

int CalcCircleTopBottom(double cx, double cy, double px, double py)
{
    if (!CalcValidArgs(cx, cy, px, py))
        return CalcReject();
    const double r = std::hypot(px - cx, py - cy);
    CalcSetSlot(0, cx, cy - r);
    CalcSetSlot(1, cx, cy + r);
    return CalcFinish(2, 2);
}

int CalcCircleLeftRight(double cx, double cy, double px, double py)
{
    if (!CalcValidArgs(cx, cy, px, py))
        return CalcReject();
    const double r = std::hypot(px - cx, py - cy);
    CalcSetSlot(0, cx - r, cy);
    CalcSetSlot(1, cx + r, cy);
    return CalcFinish(2, 2);
}

int CalcCircleExtremesAtAngle(double cx, double cy, double px, double py, double angle)
{
    if (!CalcValidArgs(cx, cy, px, py, angle))
        return CalcReject();
    const double r = std::hypot(px - cx, py - cy);
    const double ox = r * std::sin(angle), oy = -r * std::cos(angle);
    CalcSetSlot(0, cx + ox, cy + oy);
    CalcSetSlot(1, cx - ox, cy - oy);
    return CalcFinish(2, 2);
}

void CalcBezierExtremes(const BezierPiece *piece, double frame[4], CalcPoint points[4], int depth)
{
    if (!piece || !frame || !points || !CalcPieceValid(*piece))
        return;
    depth = std::max(depth, 0);
    const BezierPiece &b = *piece;
    double xmin = b.p[0].x, xmax = xmin, ymin = b.p[0].y, ymax = ymin;
    for (int i = 1; i < 4; ++i) {
        xmin = std::min(xmin, b.p[i].x);
        xmax = std::max(xmax, b.p[i].x);
        ymin = std::min(ymin, b.p[i].y);
        ymax = std::max(ymax, b.p[i].y);
    }
    if (xmin >= frame[0] && ymin >= frame[1] && xmax <= frame[2] && ymax <= frame[3])
        return;
    if (depth < EXTREMES_DEPTH) {
        BezierPiece left, right;
        CalcBezierSplit(&b, &left, &right);
        CalcBezierExtremes(&left, frame, points, depth + 1);
        CalcBezierExtremes(&right, frame, points, depth + 1);
        return;
    }
    const CalcPoint &p0 = b.p[0], &p3 = b.p[3];
    if (xmin < frame[0]) {
        frame[0] = xmin;
        points[0] = p0.x <= p3.x ? p0 : p3;
    }
    if (xmax > frame[2]) {
        frame[2] = xmax;
        points[1] = p3.x <= p0.x ? p0 : p3;
    }
    if (ymin < frame[1]) {
        frame[1] = ymin;
        points[2] = p0.y <= p3.y ? p0 : p3;
    }
    if (ymax > frame[3]) {
        frame[3] = ymax;
        points[3] = p3.y <= p0.y ? p0 : p3;
    }
}

namespace {

// Extreme points {min x, max x, min y, max y} of the ellipse's four pieces.
void EllipseExtremes(double cx, double cy, double a1x, double a1y, double a2x, double a2y,
                     CalcPoint points[4])
{
    BezierPiece pieces[4];
    CalcEllipseToBezier(cx, cy, a1x, a1y, a2x, a2y, pieces);
    double frame[4] = {CALC_NO_VALUE, CALC_NO_VALUE, -CALC_NO_VALUE, -CALC_NO_VALUE};
    for (int i = 0; i < 4; ++i)
        points[i] = CalcPoint{cx, cy};
    for (const BezierPiece &piece : pieces)
        CalcBezierExtremes(&piece, frame, points, 0);
}

}  // namespace

int CalcEllipseTopBottom(double cx, double cy, double a1x, double a1y, double a2x, double a2y)
{
    if (!CalcValidArgs(cx, cy, a1x, a1y, a2x, a2y))
        return CalcReject();
    CalcPoint points[4];
    EllipseExtremes(cx, cy, a1x, a1y, a2x, a2y, points);
    g_CalcPoints[0] = points[2];
    g_CalcPoints[1] = points[3];
    return CalcFinish(2, 2);
}

int CalcEllipseLeftRight(double cx, double cy, double a1x, double a1y, double a2x, double a2y)
{
    if (!CalcValidArgs(cx, cy, a1x, a1y, a2x, a2y))
        return CalcReject();
    CalcPoint points[4];
    EllipseExtremes(cx, cy, a1x, a1y, a2x, a2y, points);
    g_CalcPoints[0] = points[0];
    g_CalcPoints[1] = points[1];
    return CalcFinish(2, 2);
}

int CalcEllipseExtremesAtAngle(double cx, double cy, double a1x, double a1y, double a2x,
                               double a2y, double angle)
{
    if (!CalcValidArgs(cx, cy, a1x, a1y, a2x, a2y, angle))
        return CalcReject();
    // Turn the direction onto the x axis about the centre; the lowest and
    // highest points there are the wanted ones.
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, -cx, -cy);
    MatrixRotate(&m, -angle);
    Matrix back;
    if (!MatrixInvert(&m, &back)) {
        CalcSetSlot(0, cx, cy);
        CalcSetSlot(1, cx, cy);
        return 0;
    }
    const CalcPoint a1 = Apply(m, a1x, a1y), a2 = Apply(m, a2x, a2y);
    CalcPoint points[4];
    EllipseExtremes(0.0, 0.0, a1.x, a1.y, a2.x, a2.y, points);
    g_CalcPoints[0] = Apply(back, points[2].x, points[2].y);
    g_CalcPoints[1] = Apply(back, points[3].x, points[3].y);
    return CalcFinish(2, 2);
}

// ---- Tangent points from a point ----------------------------------------------------

int CalcTangentPointsCircle(double cx, double cy, double x1, double y1, double px, double py)
{
    if (!CalcValidArgs(cx, cy, x1, y1, px, py))
        return CalcReject();
    // The circle over the diameter c-p cuts the circle in the tangent points.
    return CalcIntersectCircleCircle(cx, cy, x1, y1, (cx + px) / 2, (cy + py) / 2, px, py);
}

int CalcTangentPointsEllipse(double cx, double cy, double a1x, double a1y, double a2x, double a2y,
                             double px, double py)
{
    if (!CalcValidArgs(cx, cy, a1x, a1y, a2x, a2y, px, py))
        return CalcReject();
    const Matrix m = Axis1Matrix(cx, cy, a1x, a1y, a2x, a2y);
    Matrix inverse;
    if (!MatrixInvert(&m, &inverse)) {
        CalcSetSlot(0, px, py);
        return 0;
    }
    const CalcPoint q = Apply(inverse, px, py);
    if (!CalcValidArgs(q.x, q.y))
        return CalcReject();
    const int count = CalcTangentPointsCircle(0.0, 0.0, 1.0, 0.0, q.x, q.y);
    // Both point slots hold points (or the fallback) in the unit frame.
    MapSlots(m, 0, 2);
    return CalcFinish(count, 2);
}

int CalcNormalVector(double x1, double y1, double x2, double y2)
{
    if (!CalcValidArgs(x1, y1, x2, y2))
        return CalcReject();
    CalcSetSlot(0, y1 - y2, x2 - x1);
    return 1;
}

int CalcEllipseConjugateVector(double cx, double cy, double a1x, double a1y, double a2x,
                               double a2y, double qx, double qy)
{
    if (!CalcValidArgs(cx, cy, a1x, a1y, a2x, a2y, qx, qy))
        return CalcReject();
    const Matrix m = Axis1Matrix(cx, cy, a1x, a1y, a2x, a2y);
    Matrix inverse;
    if (!MatrixInvert(&m, &inverse)) {
        CalcSetSlot(0, 0.0, 0.0);
        return 0;
    }
    const CalcPoint q = Apply(inverse, qx, qy);
    // The normal (-q.y, q.x) in the unit frame, mapped by the linear part.
    CalcSetSlot(0, -q.y * m.a + q.x * m.c, -q.y * m.b + q.x * m.d);
    return CalcFinish(1, 1);
}

// ---- Common tangents -------------------------------------------------------------------

namespace {

// Up to eight tangents, collected locally and copied to the buffer at the end.
struct TangentPairs {
    CalcPoint slots[2 * TANGENT_MAX_WINDOWS];
    int used = 0;

    void Add(const CalcPoint &first, const CalcPoint &second)
    {
        if (used + 2 > 2 * TANGENT_MAX_WINDOWS)
            return;
        slots[used++] = first;
        slots[used++] = second;
    }

    int Publish(int count) const
    {
        for (int k = 0; k < used; ++k)
            g_CalcPoints[k] = slots[k];
        return CalcFinish(count, used);
    }
};

// The tangent points on circle (c, p) seen from h, when there are any.
bool TangentPointsFrom(double cx, double cy, double px, double py, const CalcPoint &h,
                       CalcPoint out[2])
{
    if (!CalcTangentPointsCircle(cx, cy, px, py, h.x, h.y))
        return false;
    out[0] = g_CalcPoints[0];
    out[1] = g_CalcPoints[1];
    return true;
}

// The tangents of both circles through the centre of similitude h.
void TangentsThrough(double c1x, double c1y, double p1x, double p1y, double c2x, double c2y,
                     double p2x, double p2y, const CalcPoint &h, TangentPairs &pairs)
{
    CalcPoint u[2], v[2];
    if (!TangentPointsFrom(c2x, c2y, p2x, p2y, h, u) || !TangentPointsFrom(c1x, c1y, p1x, p1y, h, v))
        return;
    pairs.Add(v[0], u[0]);
    pairs.Add(v[1], u[1]);
}

}  // namespace

int CalcTangentsCircleCircle(double c1x, double c1y, double p1x, double p1y, double c2x,
                             double c2y, double p2x, double p2y)
{
    if (!CalcValidArgs(c1x, c1y, p1x, p1y, c2x, c2y, p2x, p2y))
        return CalcReject();
    const double r1 = std::hypot(p1x - c1x, p1y - c1y);
    const double r2 = std::hypot(p2x - c2x, p2y - c2y);
    const double ex = c1x - c2x, ey = c1y - c2y;
    const double dist = std::hypot(ex, ey);
    if (std::fabs(r2 - r1) >= dist)
        return 0;
    TangentPairs pairs;
    CalcPoint t[2];
    if (r1 == 0.0) {
        if (!TangentPointsFrom(c2x, c2y, p2x, p2y, CalcPoint{c1x, c1y}, t))
            return 0;
        pairs.Add(CalcPoint{c1x, c1y}, t[0]);
        pairs.Add(CalcPoint{c1x, c1y}, t[1]);
        return pairs.Publish(4);
    }
    if (r2 == 0.0) {
        if (!TangentPointsFrom(c1x, c1y, p1x, p1y, CalcPoint{c2x, c2y}, t))
            return 0;
        pairs.Add(t[0], CalcPoint{c2x, c2y});
        pairs.Add(t[1], CalcPoint{c2x, c2y});
        return pairs.Publish(4);
    }
    if (std::fabs(r1 - r2) < r1 * TANGENT_EQUAL_RADII) {
        const double nx = -ey / dist, ny = ex / dist;
        pairs.Add(CalcPoint{c1x + r1 * nx, c1y + r1 * ny}, CalcPoint{c2x + r2 * nx, c2y + r2 * ny});
        pairs.Add(CalcPoint{c1x - r1 * nx, c1y - r1 * ny}, CalcPoint{c2x - r2 * nx, c2y - r2 * ny});
    } else {
        const double k = r2 / (r2 - r1);
        TangentsThrough(c1x, c1y, p1x, p1y, c2x, c2y, p2x, p2y, CalcPoint{c2x + k * ex, c2y + k * ey},
                        pairs);
    }
    if (r1 + r2 < dist) {
        const double k = r2 / (r1 + r2);
        TangentsThrough(c1x, c1y, p1x, p1y, c2x, c2y, p2x, p2y, CalcPoint{c2x + k * ex, c2y + k * ey},
                        pairs);
    }
    return pairs.Publish(pairs.used);
}

namespace {

// The tangent of the circle at angle theta, seen in the ellipse's unit frame.
struct CircleTangentInFrame {
    CalcPoint q;   // circle point, unit frame
    CalcPoint r;   // second point of its tangent, unit frame
};

struct CircleEllipseSearch {
    double cx, cy, radius;
    Matrix inverse;

    CircleTangentInFrame TangentAt(double c, double s) const
    {
        const double qx = cx + radius * c, qy = cy + radius * s;
        const double rx = qx - CALC_AUX_LENGTH * s, ry = qy + CALC_AUX_LENGTH * c;
        return CircleTangentInFrame{Apply(inverse, qx, qy), Apply(inverse, rx, ry)};
    }

    // How far the circle's tangent at theta misses touching the unit circle.
    double Miss(double c, double s) const
    {
        const CircleTangentInFrame t = TangentAt(c, s);
        const double dx = t.r.x - t.q.x, dy = t.r.y - t.q.y;
        const double wx = -t.q.x, wy = -t.q.y;
        const double l2 = dx * dx + dy * dy;
        double distance;
        if (l2 == 0.0) {
            distance = std::sqrt(wx * wx + wy * wy);
        } else {
            const double wd = wx * dx + wy * dy;
            distance = std::sqrt(std::fabs(wx * wx + wy * wy - wd * wd / l2));
        }
        return std::fabs(distance - 1.0);
    }
};

}  // namespace

int CalcTangentsCircleEllipse(double cx, double cy, double px, double py, double ex, double ey,
                              double a1x, double a1y, double a2x, double a2y)
{
    if (!CalcValidArgs(cx, cy, px, py, ex, ey, a1x, a1y, a2x, a2y))
        return CalcReject();
    const double r2 = CalcSquare(px - cx) + CalcSquare(py - cy);
    const double ux = a1x - ex, uy = a1y - ey, vx = a2x - ex, vy = a2y - ey;
    const bool circleIsPoint = r2 < CALC_ZERO;
    const bool ellipseIsPoint = ux * ux + uy * uy < CALC_ZERO && vx * vx + vy * vy < CALC_ZERO;
    TangentPairs pairs;
    if (circleIsPoint && ellipseIsPoint) {
        pairs.Add(CalcPoint{cx, cy}, CalcPoint{ex, ey});
        return pairs.Publish(2);
    }
    if (circleIsPoint) {
        if (!CalcTangentPointsEllipse(ex, ey, a1x, a1y, a2x, a2y, cx, cy))
            return 0;
        const CalcPoint t0 = g_CalcPoints[0], t1 = g_CalcPoints[1];
        pairs.Add(CalcPoint{cx, cy}, t0);
        pairs.Add(CalcPoint{cx, cy}, t1);
        return pairs.Publish(4);
    }
    if (ellipseIsPoint) {
        if (!CalcTangentPointsCircle(cx, cy, px, py, ex, ey))
            return 0;
        const CalcPoint t0 = g_CalcPoints[0], t1 = g_CalcPoints[1];
        pairs.Add(t0, CalcPoint{ex, ey});
        pairs.Add(t1, CalcPoint{ex, ey});
        return pairs.Publish(4);
    }
    const Matrix m = Axis1Matrix(ex, ey, a1x, a1y, a2x, a2y);
    CircleEllipseSearch search{cx, cy, std::sqrt(r2), {}};
    if (!MatrixInvert(&m, &search.inverse))
        return 0;

    // Windows around the local minima of the miss, refined pass by pass.
    Window windows[TANGENT_MAX_WINDOWS] = {{0.0, CALC_TWO_PI}};
    int windowCount = 1;
    for (int n = TANGENT_FIRST_STEPS; n < TANGENT_STEP_LIMIT; n *= 8) {
        const double h = CALC_PI / n;
        const double ch = std::cos(h), sh = std::sin(h);
        Window next[TANGENT_MAX_WINDOWS];
        int nextCount = 0;
        for (int w = 0; w < windowCount; ++w) {
            const double lo = windows[w].lo;
            const int steps = StepsIn(lo, windows[w].hi, h);
            double prev2 = search.Miss(std::cos(lo - h), std::sin(lo - h));
            double prev1 = search.Miss(std::cos(lo), std::sin(lo));
            // Cosine and sine of the sample ahead, advanced by rotation.
            double c = std::cos(lo + h), s = std::sin(lo + h);
            for (int i = 0; i <= steps; ++i) {
                const double theta = lo + i * h;
                const double cur = search.Miss(c, s);
                if (cur >= prev1 && prev1 <= prev2) {
                    if (nextCount == TANGENT_MAX_WINDOWS)
                        return 0;
                    next[nextCount++] = Window{theta - h, theta + h};
                }
                prev2 = prev1;
                prev1 = cur;
                const double nc = c * ch - s * sh;
                s = s * ch + c * sh;
                c = nc;
            }
        }
        if (nextCount == 0)
            return 0;
        std::copy(next, next + nextCount, windows);
        windowCount = nextCount;
    }

    double kept[TANGENT_MAX_WINDOWS];
    int keptCount = 0;
    for (int w = 0; w < windowCount; ++w) {
        const double theta = (windows[w].lo + windows[w].hi) / 2;
        const double c = std::cos(theta), s = std::sin(theta);
        if (search.Miss(c, s) >= TANGENT_TOUCH_LIMIT)
            continue;
        // The same tangent reached from two windows (near angle 0 from both
        // ends of the first pass, or a flat minimum) is reported once.
        bool seen = false;
        for (int k = 0; k < keptCount; ++k) {
            const double gap = std::fabs(std::remainder(theta - kept[k], CALC_TWO_PI));
            if (gap < TANGENT_SAME_ANGLE)
                seen = true;
        }
        if (seen)
            continue;
        kept[keptCount++] = theta;
        const CircleTangentInFrame t = search.TangentAt(c, s);
        // Foot of the perpendicular from the ellipse's centre on the tangent.
        const double dx = t.r.x - t.q.x, dy = t.r.y - t.q.y;
        const double along = -(t.q.x * dx + t.q.y * dy) / (dx * dx + dy * dy);
        const CalcPoint foot = Apply(m, t.q.x + along * dx, t.q.y + along * dy);
        pairs.Add(CalcPoint{cx + search.radius * c, cy + search.radius * s}, foot);
    }
    return pairs.Publish(pairs.used);
}

int CalcTangentsEllipseCircle(double ex, double ey, double a1x, double a1y, double a2x,
                              double a2y, double cx, double cy, double px, double py)
{
    const int count = CalcTangentsCircleEllipse(cx, cy, px, py, ex, ey, a1x, a1y, a2x, a2y);
    for (int k = 0; k + 1 < count; k += 2)
        std::swap(g_CalcPoints[k], g_CalcPoints[k + 1]);
    return count;
}

int CalcTangentsEllipseEllipse(double c1x, double c1y, double a1x, double a1y, double b1x,
                               double b1y, double c2x, double c2y, double a2x, double a2y,
                               double b2x, double b2y)
{
    if (!CalcValidArgs(c1x, c1y, a1x, a1y, b1x, b1y, c2x, c2y, a2x, a2y, b2x, b2y))
        return CalcReject();
    const Matrix m = Axis1Matrix(c1x, c1y, a1x, a1y, b1x, b1y);
    Matrix inverse;
    if (!MatrixInvert(&m, &inverse)) {
        CalcSetSlot(0, b1x, b1y);
        return 0;
    }
    // In the first ellipse's unit frame it is the unit circle; the image of
    // the second ellipse's conjugate pair is again a conjugate pair.
    const CalcPoint c = Apply(inverse, c2x, c2y), a = Apply(inverse, a2x, a2y),
                    b = Apply(inverse, b2x, b2y);
    const int count = CalcTangentsCircleEllipse(0.0, 0.0, 1.0, 0.0, c.x, c.y, a.x, a.y, b.x, b.y);
    MapSlots(m, 0, count);
    return CalcFinish(count, count);
}

// ---- Tangents of geometry records -------------------------------------------------------

namespace {

enum class TangentGroup { None, Circle, Ellipse, Point };

TangentGroup GroupOf(const GeoObject &g)
{
    switch (g.type) {
    case GEO_CIRCLE:
    case GEO_CIRC_ARC:
    case GEO_GEOCIRCLE:
        return TangentGroup::Circle;
    case GEO_ELLIPSE:
    case GEO_ELLI_ARC:
    case GEO_GEOELLI:
        return TangentGroup::Ellipse;
    case GEO_MARK:
        return TangentGroup::Point;
    default:
        return TangentGroup::None;
    }
}

// The doubles a record of the group carries.
bool GroupValid(const GeoObject &g, TangentGroup group)
{
    switch (group) {
    case TangentGroup::Circle:
        return GeoValid(g, 4);
    case TangentGroup::Ellipse:
        return GeoValid(g, 6);
    case TangentGroup::Point:
        return GeoValid(g, 2);
    default:
        return false;
    }
}

// Tangent points on a circle or an ellipse seen from a point, as pairs in the
// order of the records (pointFirst: the point is the first record).
int TangentsFromPoint(const GeoObject &figure, TangentGroup group, const CalcPoint &p,
                      bool pointFirst)
{
    const double *d = figure.d;
    const int count = group == TangentGroup::Circle
                          ? CalcTangentPointsCircle(d[0], d[1], d[2], d[3], p.x, p.y)
                          : CalcTangentPointsEllipse(d[0], d[1], d[2], d[3], d[4], d[5], p.x, p.y);
    if (count == 0)
        return 0;
    const CalcPoint t0 = g_CalcPoints[0], t1 = g_CalcPoints[1];
    TangentPairs pairs;
    if (pointFirst) {
        pairs.Add(p, t0);
        pairs.Add(p, t1);
    } else {
        pairs.Add(t0, p);
        pairs.Add(t1, p);
    }
    return pairs.Publish(2 * count);
}

}  // namespace

int CalcGeoTangent(const GeoObject *g1, const GeoObject *g2)
{
    if (!g1 || !g2)
        return 0;
    const TangentGroup k1 = GroupOf(*g1), k2 = GroupOf(*g2);
    if (k1 == TangentGroup::None || k2 == TangentGroup::None)
        return 0;
    if (!GroupValid(*g1, k1) || !GroupValid(*g2, k2))
        return CalcReject();
    const double *a = g1->d;
    const double *b = g2->d;
    if (k1 == TangentGroup::Point && k2 == TangentGroup::Point) {
        CalcSetSlot(0, a[0], a[1]);
        CalcSetSlot(1, b[0], b[1]);
        return 2;
    }
    if (k1 == TangentGroup::Point)
        return TangentsFromPoint(*g2, k2, CalcPoint{a[0], a[1]}, true);
    if (k2 == TangentGroup::Point)
        return TangentsFromPoint(*g1, k1, CalcPoint{b[0], b[1]}, false);
    if (k1 == TangentGroup::Circle && k2 == TangentGroup::Circle)
        return CalcTangentsCircleCircle(a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3]);
    if (k1 == TangentGroup::Circle)
        return CalcTangentsCircleEllipse(a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3], b[4], b[5]);
    if (k2 == TangentGroup::Circle)
        return CalcTangentsEllipseCircle(a[0], a[1], a[2], a[3], a[4], a[5], b[0], b[1], b[2], b[3]);
    return CalcTangentsEllipseEllipse(a[0], a[1], a[2], a[3], a[4], a[5], b[0], b[1], b[2], b[3],
                                      b[4], b[5]);
}
