// Intersections of lines, circles, ellipses and cubic Bezier curves, and the
// constructions on points and lines (bisectors, circumcircle, incircle).
#include <algorithm>
#include <cmath>

#include "geometry/calc.h"
#include "geometry/calc_internal.h"

namespace {

// A line that misses a circle by less than this factor on the squared
// distance (about a thousandth of the radius) still touches it.
constexpr double LINE_TOUCH_FACTOR = 1.002;
// Two circles whose chord height squared is negative by less than these
// still touch: relative to each radius squared, and absolute.
constexpr double CIRCLE_TOUCH_RELATIVE = 1e-5;
constexpr double CIRCLE_TOUCH_ABSOLUTE = 0.1;
// Curve subdivision: leaves are 1/4096 of a curve, and a leaf chord accepts
// crossings slightly beyond its ends.
constexpr int CURVE_DEPTH = 12;
constexpr double CHORD_SLACK = 0.001;
// Control points closer than this share (relative to the coordinates) make
// two pieces the same piece.
constexpr double SAME_PIECE_RELATIVE = 1e-12;
// Two ellipses are the same figure when one, seen in the other's unit
// frame, is the unit circle within this tolerance.
constexpr double SAME_FIGURE_TOLERANCE = 1e-9;
// Collinearity limit of the circumcircle (on the unnormalised cross product).
constexpr double CIRCUMCIRCLE_COLLINEAR = 0.001;

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

BezierPiece WholeCurve(double x0, double y0, double x1, double y1, double x2, double y2,
                       double x3, double y3)
{
    return BezierPiece{{{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}}, 0.0, 1.0};
}

struct Box {
    double xmin, ymin, xmax, ymax;
};

Box BoxOf(const BezierPiece &b)
{
    Box box{b.p[0].x, b.p[0].y, b.p[0].x, b.p[0].y};
    for (int i = 1; i < 4; ++i) {
        box.xmin = std::min(box.xmin, b.p[i].x);
        box.ymin = std::min(box.ymin, b.p[i].y);
        box.xmax = std::max(box.xmax, b.p[i].x);
        box.ymax = std::max(box.ymax, b.p[i].y);
    }
    return box;
}

bool SamePoint(const CalcPoint &p, const CalcPoint &q, double tolerance)
{
    return std::fabs(p.x - q.x) <= tolerance && std::fabs(p.y - q.y) <= tolerance;
}

// The same piece, or the same piece run backwards: such a pair overlaps along
// its whole length and would only yield a stream of crossings.
bool SamePiece(const BezierPiece &a, const BezierPiece &b)
{
    double scale = 1.0;
    for (int i = 0; i < 4; ++i)
        scale = std::max({scale, std::fabs(a.p[i].x), std::fabs(a.p[i].y), std::fabs(b.p[i].x),
                          std::fabs(b.p[i].y)});
    const double tolerance = scale * SAME_PIECE_RELATIVE;
    bool forward = true, backward = true;
    for (int i = 0; i < 4; ++i) {
        forward = forward && SamePoint(a.p[i], b.p[i], tolerance);
        backward = backward && SamePoint(a.p[i], b.p[3 - i], tolerance);
    }
    return forward || backward;
}

bool Exactly(const CalcPoint &p, const CalcPoint &q)
{
    return p.x == q.x && p.y == q.y;
}

// Whether the ellipse m2 is the ellipse m1 (both map the unit circle onto
// their ellipse): in m1's unit frame m2 must be the unit circle.
bool SameFigure(const Matrix &m1, const Matrix &m2)
{
    Matrix inverse;
    if (!MatrixInvert(&m1, &inverse))
        return false;
    Matrix g = m2;
    MatrixMultiply(&g, &inverse);
    return std::fabs(g.a * g.a + g.b * g.b - 1.0) < SAME_FIGURE_TOLERANCE &&
           std::fabs(g.c * g.c + g.d * g.d - 1.0) < SAME_FIGURE_TOLERANCE &&
           std::fabs(g.a * g.c + g.b * g.d) < SAME_FIGURE_TOLERANCE &&
           std::fabs(g.tx) < SAME_FIGURE_TOLERANCE && std::fabs(g.ty) < SAME_FIGURE_TOLERANCE;
}

// Pairs every piece of the first figure with every piece of the second.
int IntersectPieces(const BezierPiece *first, int firstCount, const BezierPiece *second,
                    int secondCount)
{
    int used = 0;
    for (int i = 0; i < firstCount; ++i)
        for (int j = 0; j < secondCount; ++j)
            used = CalcIntersectBezierBezierCore(&first[i], &second[j], used, 0);
    return CalcFinish(used, used);
}

}  // namespace

// ---- Lines and circles ---------------------------------------------------------

int CalcIntersectLineLine(double x1, double y1, double x2, double y2, double x3, double y3,
                          double x4, double y4)
{
    if (!CalcValidArgs(x1, y1, x2, y2, x3, y3, x4, y4))
        return CalcReject();
    const double d1x = x2 - x1, d1y = y2 - y1;
    const double d2x = x4 - x3, d2y = y4 - y3;
    const double den = d2x * d1y - d2y * d1x;
    if (std::fabs(den) <= CALC_ZERO) {
        CalcSetSlot(0, x1, y1);
        CalcSetSlot(1, CALC_NO_VALUE, CALC_NO_VALUE);
        return 0;
    }
    const double wx = x1 - x3, wy = y1 - y3;
    const double s = (d1y * wx - d1x * wy) / den;
    const double t = (d2y * wx - d2x * wy) / den;
    CalcSetSlot(0, x3 + s * d2x, y3 + s * d2y);
    CalcSetSlot(1, t, s);
    return CalcFinish(1, 2);
}

int CalcIntersectLineCircle(double x1, double y1, double x2, double y2, double cx, double cy,
                            double px, double py)
{
    if (!CalcValidArgs(x1, y1, x2, y2, cx, cy, px, py))
        return CalcReject();
    CalcPerpendicularFootLine(x1, y1, x2, y2, cx, cy);
    const CalcPoint foot = g_CalcPoints[0];
    const double tFoot = g_CalcPoints[1].x;
    const double r2 = CalcSquare(px - cx) + CalcSquare(py - cy);
    const double h2 = CalcSquare(foot.x - cx) + CalcSquare(foot.y - cy);
    if (h2 < r2) {
        const double dx = x2 - x1, dy = y2 - y1;
        const double len = std::sqrt(dx * dx + dy * dy);
        if (len != 0.0) {
            const double k = std::sqrt(std::fabs(r2 - h2)) / len;
            CalcSetSlot(0, foot.x - k * dx, foot.y - k * dy);
            CalcSetSlot(1, foot.x + k * dx, foot.y + k * dy);
            CalcSetSlot(2, tFoot - k, tFoot + k);
            return CalcFinish(2, 3);
        }
    } else if (h2 < LINE_TOUCH_FACTOR * r2) {
        g_CalcPoints[0] = foot;
        g_CalcPoints[1] = foot;
        CalcSetSlot(2, tFoot, tFoot);
        return CalcFinish(1, 3);
    }
    g_CalcPoints[0] = foot;
    g_CalcPoints[1] = foot;
    CalcSetSlot(2, CALC_NO_VALUE, CALC_NO_VALUE);
    return CalcFinish(0, 3);
}

int CalcIntersectLineEllipse(double x1, double y1, double x2, double y2, double cx, double cy,
                             double a1x, double a1y, double a2x, double a2y)
{
    if (!CalcValidArgs(x1, y1, x2, y2, cx, cy, a1x, a1y, a2x, a2y))
        return CalcReject();
    const Matrix m = Axis1Matrix(cx, cy, a1x, a1y, a2x, a2y);
    Matrix inverse;
    if (!MatrixInvert(&m, &inverse)) {
        CalcSetSlot(0, cx, cy);
        CalcSetSlot(1, cx, cy);
        CalcSetSlot(2, CALC_NO_VALUE, CALC_NO_VALUE);
        return 0;
    }
    const CalcPoint q1 = Apply(inverse, x1, y1), q2 = Apply(inverse, x2, y2);
    if (!CalcValidArgs(q1.x, q1.y, q2.x, q2.y))
        return CalcReject();
    const int count = CalcIntersectLineCircle(q1.x, q1.y, q2.x, q2.y, 0.0, 0.0, 1.0, 0.0);
    // Both point slots are mapped back, whatever the count, so that none is
    // left in the unit frame; the line parameters survive the affine map.
    for (int k = 0; k < 2; ++k)
        g_CalcPoints[k] = Apply(m, g_CalcPoints[k].x, g_CalcPoints[k].y);
    return CalcFinish(count, 3);
}

int CalcIntersectCircleCircle(double c1x, double c1y, double p1x, double p1y, double c2x,
                              double c2y, double p2x, double p2y)
{
    if (!CalcValidArgs(c1x, c1y, p1x, p1y, c2x, c2y, p2x, p2y))
        return CalcReject();
    const double r1sq = CalcSquare(p1x - c1x) + CalcSquare(p1y - c1y);
    const double r2sq = CalcSquare(p2x - c2x) + CalcSquare(p2y - c2y);
    const double ex = c1x - c2x, ey = c1y - c2y;
    const double dist = std::sqrt(ex * ex + ey * ey);
    if (dist == 0.0) {
        CalcSetSlot(0, c1x, c1y);
        CalcSetSlot(1, c1x, c1y);
        return 0;
    }
    const double a = (r2sq - r1sq + dist * dist) / (2 * dist);
    const double h2 = r2sq - a * a;
    const double mx = c2x + (a / dist) * ex, my = c2y + (a / dist) * ey;
    if (h2 >= 0.0) {
        const double k = std::sqrt(h2) / dist;
        CalcSetSlot(0, mx - k * ey, my + k * ex);
        CalcSetSlot(1, mx + k * ey, my - k * ex);
        return CalcFinish(2, 2);
    }
    if (h2 > -CIRCLE_TOUCH_RELATIVE * r1sq && h2 > -CIRCLE_TOUCH_RELATIVE * r2sq &&
        h2 > -CIRCLE_TOUCH_ABSOLUTE) {
        CalcSetSlot(0, mx, my);
        CalcSetSlot(1, mx, my);
        return CalcFinish(1, 2);
    }
    CalcSetSlot(0, c1x, c1y);
    CalcSetSlot(1, c1x, c1y);
    return 0;
}

// ---- Curves by subdivision --------------------------------------------------------

int CalcIntersectBezierBezierCore(const BezierPiece *a, const BezierPiece *b, int used, int depth)
{
    if (!a || !b || used < 0 || used > CALC_CURVE_SLOT_LIMIT)
        return used;
    depth = std::max(depth, 0);
    if (SamePiece(*a, *b))
        return used;
    const Box boxA = BoxOf(*a), boxB = BoxOf(*b);
    if (!(boxB.xmin <= boxA.xmax && boxA.xmin <= boxB.xmax && boxB.ymin <= boxA.ymax &&
          boxA.ymin <= boxB.ymax))
        return used;
    if (depth < CURVE_DEPTH) {
        BezierPiece a1, a2, b1, b2;
        CalcBezierSplit(a, &a1, &a2);
        CalcBezierSplit(b, &b1, &b2);
        used = CalcIntersectBezierBezierCore(&a1, &b1, used, depth + 1);
        used = CalcIntersectBezierBezierCore(&a2, &b1, used, depth + 1);
        used = CalcIntersectBezierBezierCore(&a1, &b2, used, depth + 1);
        used = CalcIntersectBezierBezierCore(&a2, &b2, used, depth + 1);
        return used;
    }
    // Adjacent pieces of one path do not report their joint.
    if (Exactly(a->p[0], b->p[3]) || Exactly(a->p[3], b->p[0]))
        return used;
    const double dax = a->p[3].x - a->p[0].x, day = a->p[3].y - a->p[0].y;
    const double dbx = b->p[3].x - b->p[0].x, dby = b->p[3].y - b->p[0].y;
    const double den = dbx * day - dby * dax;
    if (std::fabs(den) <= CALC_ZERO)
        return used;
    const double wx = a->p[0].x - b->p[0].x, wy = a->p[0].y - b->p[0].y;
    const double s = (dby * wx - dbx * wy) / den;
    const double u = (day * wx - dax * wy) / den;
    if (!(s > -CHORD_SLACK && s < 1 + CHORD_SLACK && u > -CHORD_SLACK && u < 1 + CHORD_SLACK))
        return used;
    CalcSetSlot(used, b->p[0].x + u * dbx, b->p[0].y + u * dby);
    CalcSetSlot(used + 1, (1 - s) * a->t0 + s * a->t1, (1 - u) * b->t0 + u * b->t1);
    return used + 2;
}

int CalcIntersectBezierLineCore(const BezierPiece *piece, const CalcLineRecord *line, int used,
                                int depth, int endless)
{
    if (!piece || !line || used < 0 || used > CALC_CURVE_SLOT_LIMIT)
        return used;
    depth = std::max(depth, 0);
    if (!endless) {
        const Box box = BoxOf(*piece);
        if (box.xmax < line->xmin || line->xmax < box.xmin || box.ymax < line->ymin ||
            line->ymax < box.ymin)
            return used;
    }
    if (depth < CURVE_DEPTH) {
        BezierPiece left, right;
        CalcBezierSplit(piece, &left, &right);
        used = CalcIntersectBezierLineCore(&left, line, used, depth + 1, endless);
        return CalcIntersectBezierLineCore(&right, line, used, depth + 1, endless);
    }
    const CalcPoint &p0 = piece->p[0];
    const double dax = piece->p[3].x - p0.x, day = piece->p[3].y - p0.y;
    const double dx = line->d.x, dy = line->d.y;
    const double den = dx * day - dy * dax;
    if (std::fabs(den) <= CALC_ZERO)
        return used;
    const double wx = p0.x - line->l1.x, wy = p0.y - line->l1.y;
    const double s = (dy * wx - dx * wy) / den;
    const double u = (day * wx - dax * wy) / den;
    if (!(s > -CHORD_SLACK && s < 1 + CHORD_SLACK))
        return used;
    // u is left open: a segment's caller tests it against [0, 1] itself.
    CalcSetSlot(used, line->l1.x + u * dx, line->l1.y + u * dy);
    CalcSetSlot(used + 1, (1 - s) * piece->t0 + s * piece->t1, u);
    return used + 2;
}

int CalcIntersectBezierLine(double x0, double y0, double x1, double y1, double x2, double y2,
                            double x3, double y3, double l1x, double l1y, double l2x, double l2y,
                            int endless)
{
    if (!CalcValidArgs(x0, y0, x1, y1, x2, y2, x3, y3, l1x, l1y, l2x, l2y))
        return CalcReject();
    const BezierPiece piece = WholeCurve(x0, y0, x1, y1, x2, y2, x3, y3);
    const CalcLineRecord line{{l1x, l1y},
                              {l2x, l2y},
                              {l2x - l1x, l2y - l1y},
                              std::min(l1x, l2x),
                              std::min(l1y, l2y),
                              std::max(l1x, l2x),
                              std::max(l1y, l2y)};
    const int used = CalcIntersectBezierLineCore(&piece, &line, 0, 0, endless);
    return CalcFinish(used, used);
}

int CalcIntersectBezierBezier(double ax0, double ay0, double ax1, double ay1, double ax2,
                              double ay2, double ax3, double ay3, double bx0, double by0,
                              double bx1, double by1, double bx2, double by2, double bx3,
                              double by3)
{
    if (!CalcValidArgs(ax0, ay0, ax1, ay1, ax2, ay2, ax3, ay3, bx0, by0, bx1, by1, bx2, by2, bx3,
                       by3))
        return CalcReject();
    const BezierPiece a = WholeCurve(ax0, ay0, ax1, ay1, ax2, ay2, ax3, ay3);
    const BezierPiece b = WholeCurve(bx0, by0, bx1, by1, bx2, by2, bx3, by3);
    return IntersectPieces(&a, 1, &b, 1);
}

int CalcIntersectCircleBezier(double x0, double y0, double x1, double y1, double x2, double y2,
                              double x3, double y3, double cx, double cy, double px, double py)
{
    if (!CalcValidArgs(x0, y0, x1, y1, x2, y2, x3, y3, cx, cy, px, py))
        return CalcReject();
    const BezierPiece curve = WholeCurve(x0, y0, x1, y1, x2, y2, x3, y3);
    BezierPiece circle[4];
    CalcCircleToBezier(cx, cy, px, py, circle);
    return IntersectPieces(&curve, 1, circle, 4);
}

int CalcIntersectEllipseBezier(double x0, double y0, double x1, double y1, double x2, double y2,
                               double x3, double y3, double cx, double cy, double a1x,
                               double a1y, double a2x, double a2y)
{
    if (!CalcValidArgs(x0, y0, x1, y1, x2, y2, x3, y3, cx, cy, a1x, a1y, a2x, a2y))
        return CalcReject();
    const BezierPiece curve = WholeCurve(x0, y0, x1, y1, x2, y2, x3, y3);
    BezierPiece ellipse[4];
    CalcEllipseToBezier(cx, cy, a1x, a1y, a2x, a2y, ellipse);
    return IntersectPieces(&curve, 1, ellipse, 4);
}

int CalcIntersectCircleEllipse(double cx, double cy, double px, double py, double ex, double ey,
                               double a1x, double a1y, double a2x, double a2y)
{
    if (!CalcValidArgs(cx, cy, px, py, ex, ey, a1x, a1y, a2x, a2y))
        return CalcReject();
    // A circle given a second time as an ellipse has no crossings.
    const double r = std::hypot(px - cx, py - cy);
    if (SameFigure(Matrix{r, 0.0, 0.0, r, cx, cy}, Axis1Matrix(ex, ey, a1x, a1y, a2x, a2y)))
        return 0;
    BezierPiece circle[4], ellipse[4];
    CalcCircleToBezier(cx, cy, px, py, circle);
    CalcEllipseToBezier(ex, ey, a1x, a1y, a2x, a2y, ellipse);
    return IntersectPieces(circle, 4, ellipse, 4);
}

int CalcIntersectEllipseEllipse(double c1x, double c1y, double a1x, double a1y, double b1x,
                                double b1y, double c2x, double c2y, double a2x, double a2y,
                                double b2x, double b2y)
{
    if (!CalcValidArgs(c1x, c1y, a1x, a1y, b1x, b1y, c2x, c2y, a2x, a2y, b2x, b2y))
        return CalcReject();
    auto near = [](double p, double q) { return std::fabs(p - q) < CALC_ZERO; };
    const bool sameCentre = near(c1x, c2x) && near(c1y, c2y);
    const bool sameAxes = near(a1x, a2x) && near(a1y, a2y) && near(b1x, b2x) && near(b1y, b2y);
    const bool swappedAxes = near(a1x, b2x) && near(a1y, b2y) && near(b1x, a2x) && near(b1y, a2y);
    if (sameCentre && (sameAxes || swappedAxes))
        return 0;
    // The same ellipse by other conjugate semi-diameters is the same figure too.
    if (SameFigure(Axis1Matrix(c1x, c1y, a1x, a1y, b1x, b1y), Axis1Matrix(c2x, c2y, a2x, a2y, b2x, b2y)))
        return 0;
    BezierPiece first[4], second[4];
    CalcEllipseToBezier(c1x, c1y, a1x, a1y, b1x, b1y, first);
    CalcEllipseToBezier(c2x, c2y, a2x, a2y, b2x, b2y, second);
    return IntersectPieces(first, 4, second, 4);
}

// ---- Constructions -------------------------------------------------------------------

int CalcBisectorPoint(double vx, double vy, double x1, double y1, double x2, double y2)
{
    if (!CalcValidArgs(vx, vy, x1, y1, x2, y2))
        return CalcReject();
    const double l1 = std::hypot(x1 - vx, y1 - vy) / CALC_AUX_LENGTH;
    const double l2 = std::hypot(x2 - vx, y2 - vy) / CALC_AUX_LENGTH;
    if (l1 == 0.0 || l2 == 0.0) {
        CalcSetSlot(0, vx + CALC_AUX_LENGTH, vy);
        return 0;
    }
    CalcSetSlot(0, vx + (x1 - vx) / l1 + (x2 - vx) / l2, vy + (y1 - vy) / l1 + (y2 - vy) / l2);
    return CalcFinish(1, 1);
}

int CalcGeoCircumcircle(double x1, double y1, double x2, double y2, double x3, double y3)
{
    if (!CalcValidArgs(x1, y1, x2, y2, x3, y3))
        return CalcReject();
    const double den = (x3 - x2) * (y1 - y2) - (y2 - y3) * (x2 - x1);
    if (std::fabs(den) > CIRCUMCIRCLE_COLLINEAR) {
        const double m1x = (x1 + x2) / 2, m1y = (y1 + y2) / 2;
        const double m2x = (x2 + x3) / 2, m2y = (y2 + y3) / 2;
        const double k = ((m2x - m1x) * (x2 - x1) + (m1y - m2y) * (y1 - y2)) / den;
        CalcSetSlot(0, m2x + k * (y2 - y3), m2y + k * (x3 - x2));
        return CalcFinish(1, 1);
    }
    if (x1 == x2 && y1 == y2)
        CalcSetSlot(0, (x1 + x3) / 2, (y1 + y3) / 2);
    else if (x1 == x3 && y1 == y3)
        CalcSetSlot(0, (x2 + x3) / 2, (y2 + y3) / 2);
    else if (x2 == x3 && y2 == y3)
        CalcSetSlot(0, (x1 + x2) / 2, (y1 + y2) / 2);
    else
        CalcSetSlot(0, (x1 + x2 + x3) / 3, (y1 + y2 + y3) / 3);
    return 0;
}

int CalcGeoIncircle(double x1, double y1, double x2, double y2, double x3, double y3)
{
    if (!CalcValidArgs(x1, y1, x2, y2, x3, y3))
        return CalcReject();
    const int ok1 = CalcBisectorPoint(x1, y1, x2, y2, x3, y3);
    const CalcPoint b1 = g_CalcPoints[0];
    const int ok2 = CalcBisectorPoint(x2, y2, x1, y1, x3, y3);
    const CalcPoint b2 = g_CalcPoints[0];
    const int ok3 = CalcIntersectLineLine(x1, y1, b1.x, b1.y, x2, y2, b2.x, b2.y);
    const CalcPoint centre = g_CalcPoints[0];
    const int ok4 = CalcPerpendicularFootLine(x1, y1, x2, y2, centre.x, centre.y);
    const CalcPoint touch = g_CalcPoints[0];
    g_CalcPoints[0] = centre;
    g_CalcPoints[1] = touch;
    return CalcFinish(ok1 && ok2 && ok3 && ok4 ? 1 : 0, 2);
}

int CalcBisectorOfLines(const CalcPoint *p0, const CalcPoint *p1, const CalcPoint *p2,
                        const CalcPoint *p3, const CalcPoint *p4, const CalcPoint *p5)
{
    if (!p0 || !p1 || !p2 || !p3 || !p4 || !p5)
        return 0;
    if (!CalcValidArgs(p0->x, p0->y, p1->x, p1->y, p2->x, p2->y, p3->x, p3->y, p4->x, p4->y, p5->x,
                       p5->y))
        return CalcReject();
    // A line of one point has no direction to bisect.
    if (Exactly(*p0, *p1) || Exactly(*p3, *p4)) {
        CalcSetSlot(0, p0->x, p0->y);
        CalcSetSlot(1, CALC_NO_VALUE, CALC_NO_VALUE);
        return 0;
    }
    if (!CalcIntersectLineLine(p0->x, p0->y, p1->x, p1->y, p3->x, p3->y, p4->x, p4->y)) {
        // Parallel lines: the middle line, in the direction of line 1.
        const double mx = (p0->x + p3->x) / 2, my = (p0->y + p3->y) / 2;
        CalcSetSlot(0, mx, my);
        CalcSetSlot(1, mx + p1->x - p0->x, my + p1->y - p0->y);
        return CalcFinish(2, 2);
    }
    const CalcPoint cross = g_CalcPoints[0];
    const int ok1 = CalcPerpendicularFootLine(p0->x, p0->y, p1->x, p1->y, p2->x, p2->y);
    const CalcPoint f1 = g_CalcPoints[0];
    const int ok2 = CalcPerpendicularFootLine(p3->x, p3->y, p4->x, p4->y, p5->x, p5->y);
    const CalcPoint f2 = g_CalcPoints[0];
    const int ok3 = CalcBisectorPoint(cross.x, cross.y, f1.x, f1.y, f2.x, f2.y);
    const CalcPoint second = g_CalcPoints[0];
    g_CalcPoints[0] = cross;
    g_CalcPoints[1] = second;
    return CalcFinish(ok1 && ok2 && ok3 ? 2 : 0, 2);
}
