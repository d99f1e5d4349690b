// Radius fits and corner constructions. Every result is a complete record in
// g_CalcCandidates; the intersection solvers underneath use g_CalcPoints, so
// their points are copied out before the next solver call.
#include "geometry/calc_fit.h"

#include <cmath>
#include <utility>

#include "geometry/calc_candidate.h"
#include "geometry/calc_internal.h"

namespace {

struct Pt {
    double x, y;
};

bool IsArcType(int type) { return type == GEO_CIRC_ARC || type == GEO_CIRC_SEC || type == GEO_CIRC_SEGM; }

double Dist(Pt a, Pt b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The foot of p on the line a b and its parameter (0 at a, 1 at b).
Pt Foot(Pt a, Pt b, Pt p, double *t = nullptr)
{
    CalcPerpendicularFootLine(a.x, a.y, b.x, b.y, p.x, p.y);
    if (t)
        *t = g_CalcPoints[1].x;
    return {g_CalcPoints[0].x, g_CalcPoints[0].y};
}

bool InUnit(double t) { return t >= -CALC_ZERO && t <= 1.0 + CALC_ZERO; }

void PutLine(int slot, Pt a, Pt b)
{
    GeoObject &g = g_CalcCandidates[slot];
    g.type = GEO_LINE;
    g.d[0] = a.x, g.d[1] = a.y, g.d[2] = b.x, g.d[3] = b.y;
}

void PutCircle(int slot, int type, Pt c, Pt on)
{
    GeoObject &g = g_CalcCandidates[slot];
    g.type = type;
    g.d[0] = c.x, g.d[1] = c.y, g.d[2] = on.x, g.d[3] = on.y;
}

void PutArc(int slot, int type, Pt c, Pt on, Pt s, Pt e, int ccw)
{
    PutCircle(slot, type, c, on);
    GeoObject &g = g_CalcCandidates[slot];
    g.d[6] = s.x, g.d[7] = s.y, g.d[8] = e.x, g.d[9] = e.y;
    g.direction = ccw;
}

// Writes the arc pair (counter-clockwise, then clockwise) or one circle;
// returns the next free slot. A full array ends the writing.
int PutFit(int slot, int type, Pt c, Pt on, Pt s, Pt e)
{
    if (IsArcType(type)) {
        if (slot + 2 > CALC_CANDIDATE_SLOTS)
            return slot;
        PutArc(slot, type, c, on, s, e, 1);
        PutArc(slot + 1, type, c, on, s, e, 0);
        return slot + 2;
    }
    if (slot + 1 > CALC_CANDIDATE_SLOTS)
        return slot;
    PutCircle(slot, type, c, on);
    return slot + 1;
}

// Line a b moved by r to its right (side -1) or left (side +1).
void OffsetLine(Pt a, Pt b, double r, int side, Pt *oa, Pt *ob)
{
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    const double nx = -dy / len * side * r, ny = dx / len * side * r;
    *oa = {a.x + nx, a.y + ny};
    *ob = {b.x + nx, b.y + ny};
}

// The intersections of a circle solver, both slots of a success.
int TwoPoints(int count, Pt out[2])
{
    if (count <= 0)
        return 0;
    out[0] = {g_CalcPoints[0].x, g_CalcPoints[0].y};
    out[1] = {g_CalcPoints[1].x, g_CalcPoints[1].y};
    return 2;
}

// Where the fitted circle (centre m, radius r) touches the circle c through p:
// of the two points on the line through both centres, the one whose distance
// from m is nearer r; on equal closeness the farther one.
Pt TouchOnCircle(Pt c, Pt p, Pt m, double r)
{
    if (!CalcCirclePerpendicularFeet(c.x, c.y, p.x, p.y, m.x, m.y))
        return p;
    const Pt nearer = {g_CalcPoints[0].x, g_CalcPoints[0].y}, farther = {g_CalcPoints[1].x, g_CalcPoints[1].y};
    const double dn = std::fabs(Dist(nearer, m) - std::fabs(r)), df = std::fabs(Dist(farther, m) - std::fabs(r));
    return dn < df ? nearer : farther;
}

bool ZeroLength(Pt a, Pt b) { return a.x == b.x && a.y == b.y; }

// The forward tangent of an arc about c at q.
Pt ArcTangent(Pt c, Pt q, int ccw)
{
    return ccw ? Pt{c.y - q.y, q.x - c.x} : Pt{q.y - c.y, c.x - q.x};
}

// The ends of a line (d0..d3) or arc (d6..d9).
Pt StartOf(const GeoObject &g) { return g.type == GEO_LINE ? Pt{g.d[0], g.d[1]} : Pt{g.d[6], g.d[7]}; }
Pt EndOf(const GeoObject &g) { return g.type == GEO_LINE ? Pt{g.d[2], g.d[3]} : Pt{g.d[8], g.d[9]}; }

// 1 when the end (d2, d3 or d8, d9) moves: it lies nearer the pick, or as near.
bool EndMoves(const GeoObject &g, const CalcPoint *pick)
{
    const Pt p = {pick->x, pick->y};
    return Dist(EndOf(g), p) <= Dist(StartOf(g), p);
}

void MoveEnd(GeoObject *g, bool end, Pt to)
{
    const int k = g->type == GEO_LINE ? (end ? 2 : 0) : (end ? 8 : 6);
    g->d[k] = to.x, g->d[k + 1] = to.y;
}

// The direction in which the object arrives at p from its fixed end.
Pt Arrival(const GeoObject &g, bool endMoves, Pt p)
{
    if (g.type == GEO_LINE) {
        const Pt fixed = endMoves ? StartOf(g) : EndOf(g);
        return {p.x - fixed.x, p.y - fixed.y};
    }
    const Pt t = ArcTangent({g.d[0], g.d[1]}, p, g.direction);
    return endMoves ? t : Pt{-t.x, -t.y};
}

// 1 when p lies on the object: a line's foot parameter in [0, 1], within an arc.
bool OnObject(const GeoObject &g, Pt p)
{
    if (g.type == GEO_LINE) {
        double t;
        Foot(StartOf(g), EndOf(g), p, &t);
        return InUnit(t);
    }
    return CalcAngleInArc(g.d[0], g.d[1], g.d[6], g.d[7], g.d[8], g.d[9], p.x, p.y, g.direction) != 0;
}

bool LineOrArc(const GeoObject &g) { return g.type == GEO_LINE || IsArcType(g.type); }

// The legs of a two-line corner: fixed end 1, corner, fixed end 2. 0 when
// either record is not a line.
int LineCornerLegs(const GeoObject &g1, const GeoObject &g2, const CalcPoint *pick1,
                   const CalcPoint *pick2, Pt *k1, Pt *v, Pt *k2)
{
    if (g1.type != GEO_LINE || g2.type != GEO_LINE)
        return 0;
    const Pt a1 = StartOf(g1), b1 = EndOf(g1), a2 = StartOf(g2), b2 = EndOf(g2);
    if (!CalcIntersectLineLine(a1.x, a1.y, b1.x, b1.y, a2.x, a2.y, b2.x, b2.y)) {
        *v = b1, *k1 = a1, *k2 = b2;
        return 1;
    }
    *v = {g_CalcPoints[0].x, g_CalcPoints[0].y};
    if (pick1 && pick2) {
        const Pt p1 = {pick1->x, pick1->y}, p2 = {pick2->x, pick2->y};
        *k1 = Dist(b1, p1) > Dist(a1, p1) ? b1 : a1;
        *k2 = Dist(a2, p2) > Dist(b2, p2) ? a2 : b2;
    } else {
        *k1 = a1, *k2 = b2;
    }
    return 1;
}

} // namespace

int CalcCirclesTangentThreeLines(double x1, double y1, double x2, double y2, double x3, double y3,
                                 double x4, double y4, double x5, double y5, double x6, double y6,
                                 int type)
{
    if (!CalcValidArgs(x1, y1, x2, y2, x3, y3, x4, y4, x5, y5, x6, y6))
        return 0;
    const Pt l[3][2] = {{{x1, y1}, {x2, y2}}, {{x3, y3}, {x4, y4}}, {{x5, y5}, {x6, y6}}};
    Pt u[3];
    for (int i = 0; i < 3; ++i) {
        const double len = Dist(l[i][0], l[i][1]);
        if (len == 0.0)
            return 0;
        u[i] = {(l[i][1].x - l[i][0].x) / len, (l[i][1].y - l[i][0].y) / len};
    }
    // Vertex and bisector of lines i and j; false when they are parallel.
    auto vertex = [&](int i, int j, Pt *at, Pt *bis) {
        if (!CalcIntersectLineLine(l[i][0].x, l[i][0].y, l[i][1].x, l[i][1].y, l[j][0].x, l[j][0].y,
                                   l[j][1].x, l[j][1].y))
            return false;
        *at = {g_CalcPoints[0].x, g_CalcPoints[0].y};
        *bis = {u[i].x + u[j].x, u[i].y + u[j].y};
        return true;
    };
    Pt A, a, B, b;
    if (vertex(0, 1, &A, &a)) {
        if (!vertex(1, 2, &B, &b) && !vertex(2, 0, &B, &b))
            return 0;
    } else if (!vertex(1, 2, &A, &a) || !vertex(2, 0, &B, &b)) {
        return 0;
    }
    const Pt a2 = {-a.y, a.x}, b2 = {-b.y, b.x};
    const Pt pairs[4][2] = {{a, b}, {a2, b}, {a2, b2}, {a, b2}};
    int n = 0;
    for (const auto &pr : pairs) {
        if (!CalcIntersectLineLine(A.x, A.y, A.x + pr[0].x, A.y + pr[0].y, B.x, B.y, B.x + pr[1].x,
                                   B.y + pr[1].y))
            continue;
        const Pt centre = {g_CalcPoints[0].x, g_CalcPoints[0].y};
        PutCircle(n++, type, centre, Foot(l[0][0], l[0][1], centre));
    }
    return n;
}

int CalcRadiusFitPointPoint(double x1, double y1, double x2, double y2, double r, int type)
{
    if (!CalcValidArgs(x1, y1, x2, y2, r))
        return 0;
    Pt centres[2];
    if (!TwoPoints(CalcIntersectCircleCircle(x1, y1, x1 + r, y1, x2, y2, x2 + r, y2), centres))
        return 0;
    int n = 0;
    for (const Pt &c : centres)
        n = PutFit(n, type, c, {x1, y1}, {x1, y1}, {x2, y2});
    return n;
}

int CalcRadiusFitLineLine(double x1, double y1, double x2, double y2, double x3, double y3,
                          double x4, double y4, double r, int type)
{
    if (!CalcValidArgs(x1, y1, x2, y2, x3, y3, x4, y4, r))
        return 0;
    const Pt p1 = {x1, y1}, p2 = {x2, y2}, p3 = {x3, y3}, p4 = {x4, y4};
    const bool zero1 = ZeroLength(p1, p2), zero2 = ZeroLength(p3, p4);
    if (zero1 && zero2)
        return CalcRadiusFitPointPoint(x1, y1, x3, y3, r, type);
    if (zero1)
        return CalcRadiusFitCircleLine(x1, y1, x1, y1, x3, y3, x4, y4, r, type);
    if (zero2)
        return CalcRadiusFitLineCircle(x1, y1, x2, y2, x3, y3, x3, y3, r, type);
    const int sides[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    int n = 0;
    for (const auto &s : sides) {
        Pt a1, b1, a2, b2;
        OffsetLine(p1, p2, r, s[0], &a1, &b1);
        OffsetLine(p3, p4, r, s[1], &a2, &b2);
        if (!CalcIntersectLineLine(a1.x, a1.y, b1.x, b1.y, a2.x, a2.y, b2.x, b2.y))
            continue;
        const Pt c = {g_CalcPoints[0].x, g_CalcPoints[0].y};
        const Pt f1 = Foot(p1, p2, c), f2 = Foot(p3, p4, c);
        n = PutFit(n, type, c, f1, f1, f2);
    }
    return n;
}

int CalcRadiusFitLineCircle(double x1, double y1, double x2, double y2, double cx, double cy,
                            double px, double py, double r, int type)
{
    if (!CalcValidArgs(x1, y1, x2, y2, cx, cy, px, py, r))
        return 0;
    const Pt p1 = {x1, y1}, p2 = {x2, y2}, c = {cx, cy}, p = {px, py};
    if (ZeroLength(p1, p2))
        return CalcRadiusFitCircleCircle(x1, y1, x1, y1, cx, cy, px, py, r, type);
    const double R = Dist(c, p);
    const int sides[2] = {1, -1};
    const double radii[2] = {R + r, r - R};
    int n = 0;
    for (int side : sides) {
        Pt a, b;
        OffsetLine(p1, p2, r, side, &a, &b);
        for (double rho : radii) {
            Pt centres[2];
            if (!TwoPoints(CalcIntersectLineCircle(a.x, a.y, b.x, b.y, cx, cy, cx + rho, cy), centres))
                continue;
            for (const Pt &m : centres) {
                const Pt foot = Foot(p1, p2, m);
                if (IsArcType(type))
                    n = PutFit(n, type, m, {m.x + r, m.y}, foot, TouchOnCircle(c, p, m, r));
                else
                    n = PutFit(n, type, m, foot, foot, foot);
            }
        }
    }
    return n;
}

int CalcRadiusFitCircleLine(double cx, double cy, double px, double py, double x1, double y1,
                            double x2, double y2, double r, int type)
{
    const int n = CalcRadiusFitLineCircle(x1, y1, x2, y2, cx, cy, px, py, r, type);
    for (int i = 0; i < n; ++i) {
        GeoObject &g = g_CalcCandidates[i];
        std::swap(g.d[6], g.d[8]);
        std::swap(g.d[7], g.d[9]);
    }
    return n;
}

int CalcRadiusFitCircleCircle(double c1x, double c1y, double p1x, double p1y, double c2x,
                              double c2y, double p2x, double p2y, double r, int type)
{
    if (!CalcValidArgs(c1x, c1y, p1x, p1y, c2x, c2y, p2x, p2y, r))
        return 0;
    const Pt c1 = {c1x, c1y}, c2 = {c2x, c2y}, q1 = {p1x, p1y}, q2 = {p2x, p2y};
    const double R1 = Dist(c1, q1), R2 = Dist(c2, q2);
    const double pairs[4][2] = {{R1 + r, R2 + r}, {r - R1, r - R2}, {R1 + r, r - R2}, {r - R1, R2 + r}};
    int n = 0;
    for (const auto &pr : pairs) {
        Pt centres[2];
        if (!TwoPoints(CalcIntersectCircleCircle(c1x, c1y, c1x + pr[0], c1y, c2x, c2y, c2x + pr[1], c2y),
                       centres))
            continue;
        for (const Pt &m : centres) {
            const Pt on = {m.x + r, m.y};
            if (IsArcType(type))
                n = PutFit(n, type, m, on, TouchOnCircle(c1, q1, m, r), TouchOnCircle(c2, q2, m, r));
            else
                n = PutFit(n, type, m, on, on, on);
        }
    }
    return n;
}

int CalcGeoRadiusFit(const GeoObject *g1, const GeoObject *g2, double r, int type)
{
    if (!g1 || !g2)
        return 0;
    // 0 line, 1 circle, 2 point (a circle of radius 0); -1 not handled.
    auto kind = [](const GeoObject &g) {
        switch (g.type) {
        case GEO_LINE: case GEO_GEOLINE: return 0;
        case GEO_CIRCLE: case GEO_CIRC_ARC: case GEO_CIRC_SEC: case GEO_CIRC_SEGM: case GEO_GEOCIRCLE: return 1;
        case GEO_MARK: return 2;
        default: return -1;
        }
    };
    const int k1 = kind(*g1), k2 = kind(*g2);
    if (k1 < 0 || k2 < 0)
        return 0;
    const double *a = g1->d, *b = g2->d;
    // A point's circle point is its centre.
    const double a2 = k1 == 2 ? a[0] : a[2], a3 = k1 == 2 ? a[1] : a[3];
    const double b2 = k2 == 2 ? b[0] : b[2], b3 = k2 == 2 ? b[1] : b[3];
    if (k1 == 0 && k2 == 0)
        return CalcRadiusFitLineLine(a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3], r, type);
    if (k1 == 0)
        return CalcRadiusFitLineCircle(a[0], a[1], a[2], a[3], b[0], b[1], b2, b3, r, type);
    if (k2 == 0)
        return CalcRadiusFitCircleLine(a[0], a[1], a2, a3, b[0], b[1], b[2], b[3], r, type);
    if (k1 == 2 && k2 == 2)
        return CalcRadiusFitPointPoint(a[0], a[1], b[0], b[1], r, type);
    return CalcRadiusFitCircleCircle(a[0], a[1], a2, a3, b[0], b[1], b2, b3, r, type);
}

int CalcCornerChamferAngle(double x1, double y1, double vx, double vy, double x2, double y2,
                           double length, double angle)
{
    if (!CalcValidArgs(x1, y1, vx, vy, x2, y2, length, angle))
        return 0;
    const double dx = x1 - vx, dy = y1 - vy, len = std::hypot(dx, dy);
    if (len == 0.0 || len <= length)
        return 0;
    const Pt q = {vx + dx * length / len, vy + dy * length / len};
    const double c = std::cos(angle), s = std::sin(angle);
    const Pt turns[2] = {{c * dx - s * dy, s * dx + c * dy}, {c * dx + s * dy, -s * dx + c * dy}};
    for (const Pt &w : turns) {
        if (!CalcIntersectLineLine(q.x, q.y, q.x + w.x, q.y + w.y, x2, y2, vx, vy))
            continue;
        const Pt hit = {g_CalcPoints[0].x, g_CalcPoints[0].y};
        if (!InUnit(g_CalcPoints[1].y))
            continue;
        PutLine(0, q, hit);
        PutLine(1, {x1, y1}, q);
        PutLine(2, {x2, y2}, hit);
        return 3;
    }
    return 0;
}

int CalcCornerRoundVertex(double x1, double y1, double vx, double vy, double x2, double y2, double r)
{
    const Pt p1 = {x1, y1}, v = {vx, vy}, p2 = {x2, y2};
    const int n = CalcRadiusFitLineLine(x1, y1, vx, vy, x2, y2, vx, vy, r, GEO_CIRC_ARC);
    for (int i = 0; i < n; ++i) {
        const GeoObject g = g_CalcCandidates[i];
        const Pt s = {g.d[6], g.d[7]}, e = {g.d[8], g.d[9]};
        double ts, te;
        Foot(p1, v, s, &ts);
        Foot(p2, v, e, &te);
        const double turn = (s.x - p1.x) * (e.y - p2.y) - (s.y - p1.y) * (e.x - p2.x);
        if (!InUnit(ts) || !InUnit(te) || (g.direction == 1) != (turn < 0))
            continue;
        g_CalcCandidates[0] = g;
        PutLine(1, p1, s);
        PutLine(2, p2, e);
        return 3;
    }
    return 0;
}

int CalcCornerArcVertex(double x1, double y1, double vx, double vy, double x2, double y2, double r)
{
    if (!CalcValidArgs(x1, y1, vx, vy, x2, y2, r))
        return 0;
    const Pt p1 = {x1, y1}, v = {vx, vy}, p2 = {x2, y2};
    const double l1 = Dist(p1, v), l2 = Dist(p2, v);
    if (l1 == 0.0 || l2 == 0.0 || l1 <= r || l2 <= r)
        return 0;
    const Pt q1 = {vx + r * (x1 - vx) / l1, vy + r * (y1 - vy) / l1};
    const Pt q2 = {vx + r * (x2 - vx) / l2, vy + r * (y2 - vy) / l2};
    const Pt mid = {(x1 + x2) / 2, (y1 + y2) / 2};
    const int ccw = CalcAngleInArc(vx, vy, q1.x, q1.y, q2.x, q2.y, mid.x, mid.y, 1);
    PutArc(0, GEO_CIRC_ARC, v, q1, q1, q2, ccw);
    PutLine(1, p1, q1);
    PutLine(2, p2, q2);
    return 3;
}

int CalcCornerChamferObjects(const GeoObject *g1, const GeoObject *g2, const CalcPoint *pick1,
                             const CalcPoint *pick2, double length, double angle)
{
    Pt k1, v, k2;
    if (!g1 || !g2 || !LineCornerLegs(*g1, *g2, pick1, pick2, &k1, &v, &k2))
        return 0;
    return CalcCornerChamferAngle(k1.x, k1.y, v.x, v.y, k2.x, k2.y, length, angle);
}

int CalcCornerArcObjects(const GeoObject *g1, const GeoObject *g2, const CalcPoint *pick1,
                         const CalcPoint *pick2, double r)
{
    Pt k1, v, k2;
    if (!g1 || !g2 || !LineCornerLegs(*g1, *g2, pick1, pick2, &k1, &v, &k2))
        return 0;
    return CalcCornerArcVertex(k1.x, k1.y, v.x, v.y, k2.x, k2.y, r);
}

int CalcCornerExtendObjects(const GeoObject *g1, const GeoObject *g2, const CalcPoint *pick1,
                            const CalcPoint *pick2)
{
    if (!g1 || !g2 || !pick1 || !pick2 || !LineOrArc(*g1) || !LineOrArc(*g2))
        return 0;
    const double *a = g1->d, *b = g2->d;
    int count;
    if (g1->type == GEO_LINE && g2->type == GEO_LINE)
        count = CalcIntersectLineLine(a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3]);
    else if (g1->type == GEO_LINE)
        count = CalcIntersectLineCircle(a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3]);
    else if (g2->type == GEO_LINE)
        count = CalcIntersectLineCircle(b[0], b[1], b[2], b[3], a[0], a[1], a[2], a[3]);
    else
        count = CalcIntersectCircleCircle(a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3]);
    if (count <= 0)
        return 0;
    const int points = g1->type == GEO_LINE && g2->type == GEO_LINE ? 1 : 2;
    const bool end1 = EndMoves(*g1, pick1), end2 = EndMoves(*g2, pick2);
    const Pt m1 = end1 ? EndOf(*g1) : StartOf(*g1), m2 = end2 ? EndOf(*g2) : StartOf(*g2);
    Pt best = {g_CalcPoints[0].x, g_CalcPoints[0].y};
    double bestSum = CALC_NO_VALUE;
    for (int i = 0; i < points; ++i) {
        const Pt p = {g_CalcPoints[i].x, g_CalcPoints[i].y};
        const double sum = Dist(p, m1) + Dist(p, m2);
        if (sum < bestSum)
            bestSum = sum, best = p;
    }
    g_CalcCandidates[0] = *g1;
    g_CalcCandidates[1] = *g2;
    MoveEnd(&g_CalcCandidates[0], end1, best);
    MoveEnd(&g_CalcCandidates[1], end2, best);
    return 2;
}

int CalcCornerRoundObjects(const GeoObject *g1, const GeoObject *g2, const CalcPoint *pick1,
                           const CalcPoint *pick2, double r)
{
    if (!g1 || !g2 || !pick1 || !pick2 || !LineOrArc(*g1) || !LineOrArc(*g2))
        return 0;
    const GeoObject o1 = *g1, o2 = *g2;
    const int n = CalcGeoRadiusFit(&o1, &o2, r, GEO_CIRC_ARC);
    if (n <= 0)
        return 0;
    const bool end1 = EndMoves(o1, pick1), end2 = EndMoves(o2, pick2);
    const Pt m1 = end1 ? EndOf(o1) : StartOf(o1), m2 = end2 ? EndOf(o2) : StartOf(o2);
    double bestScore = CALC_NO_VALUE;
    int best = -1;
    for (int i = 0; i < n; ++i) {
        const GeoObject &g = g_CalcCandidates[i];
        const Pt c = {g.d[0], g.d[1]}, s = {g.d[6], g.d[7]}, e = {g.d[8], g.d[9]};
        double score = Dist(s, m1) + Dist(e, m2);
        score += OnObject(o1, s) ? 1.0 : 0.0;
        score += OnObject(o2, e) ? 1.0 : 0.0;
        score += IsArcType(o1.type) && o1.direction == g.direction ? 0.1 : 0.0;
        score += IsArcType(o2.type) && o2.direction == g.direction ? 0.1 : 0.0;
        if (score >= bestScore)
            continue;
        const Pt ts = ArcTangent(c, s, g.direction), te = ArcTangent(c, e, g.direction);
        const Pt a1 = Arrival(o1, end1, s), a2 = Arrival(o2, end2, e);
        if (!CalcSameDirection(ts.x, ts.y, a1.x, a1.y) || !CalcSameDirection(-te.x, -te.y, a2.x, a2.y))
            continue;
        if (std::fabs(CalcArcSweep(c.x, c.y, s.x, s.y, e.x, e.y, g.direction)) >= CALC_PI)
            continue;
        bestScore = score;
        best = i;
    }
    if (best < 0)
        return 0;
    g_CalcCandidates[0] = g_CalcCandidates[best];
    const Pt s = {g_CalcCandidates[0].d[6], g_CalcCandidates[0].d[7]};
    const Pt e = {g_CalcCandidates[0].d[8], g_CalcCandidates[0].d[9]};
    g_CalcCandidates[1] = o1;
    g_CalcCandidates[2] = o2;
    MoveEnd(&g_CalcCandidates[1], end1, s);
    MoveEnd(&g_CalcCandidates[2], end2, e);
    return 3;
}
