// Perpendicular feet, extreme points and tangents.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "geometry/calc.h"
#include "geometry_expect.h"

namespace {

const double R3 = std::sqrt(3.0) / 2;

struct Ellipse {
    double cx, cy, a1x, a1y, a2x, a2y;

    CalcPoint At(double t) const  // axis-1 form
    {
        return CalcPoint{cx + std::cos(t) * (a1x - cx) + std::sin(t) * (a2x - cx),
                         cy + std::cos(t) * (a1y - cy) + std::sin(t) * (a2y - cy)};
    }

    // The point in the ellipse's unit frame.
    CalcPoint Unit(CalcPoint p) const
    {
        const double ux = a1x - cx, uy = a1y - cy, vx = a2x - cx, vy = a2y - cy;
        const double det = ux * vy - uy * vx;
        const double dx = p.x - cx, dy = p.y - cy;
        return CalcPoint{(vy * dx - vx * dy) / det, (-uy * dx + ux * dy) / det};
    }
};

Ellipse CircleAsEllipse(double cx, double cy, double r)
{
    return Ellipse{cx, cy, cx + r, cy, cx, cy + r};
}

double LineDistance(CalcPoint p, CalcPoint q, CalcPoint c)
{
    const double dx = q.x - p.x, dy = q.y - p.y;
    return std::fabs((c.x - p.x) * dy - (c.y - p.y) * dx) / std::hypot(dx, dy);
}

// The line through p and q touches the ellipse at p (or q): p lies on it and
// the line, seen in the unit frame, is 1 away from the centre.
::testing::AssertionResult TouchesAt(const Ellipse &e, CalcPoint p, CalcPoint q, double tolerance)
{
    const CalcPoint up = e.Unit(p), uq = e.Unit(q);
    const double onFigure = std::hypot(up.x, up.y);
    const double distance = LineDistance(up, uq, {0, 0});
    if (std::fabs(onFigure - 1) <= tolerance && std::fabs(distance - 1) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << p.x << ", " << p.y << ") lies at " << onFigure
                                         << " and the line at " << distance << " in the unit frame";
}

// Every pair of the slots is a common tangent of both figures.
void ExpectCommonTangents(const char *name, int slots, const Ellipse &first, const Ellipse &second,
                          double tolerance)
{
    for (int k = 0; k + 1 < slots; k += 2) {
        const CalcPoint p = g_CalcPoints[k], q = g_CalcPoints[k + 1];
        EXPECT_TRUE(TouchesAt(first, p, q, tolerance)) << name << " pair " << k / 2;
        EXPECT_TRUE(TouchesAt(second, q, p, tolerance)) << name << " pair " << k / 2;
    }
}

GeoObject Geo(int type, std::initializer_list<double> values)
{
    GeoObject g;
    std::memset(&g, 0, sizeof g);
    g.type = type;
    int i = 0;
    for (double v : values)
        g.d[i++] = v;
    return g;
}

}  // namespace

TEST(CalcPerpendicular, CircleFeet)
{
    struct Case {
        double cx, cy, x1, y1, px, py;
        int result;
        CalcPoint nearer, opposite;
    };
    const Case cases[] = {
        {0, 0, 2, 0, 0, 5, 2, {0, 2}, {0, -2}},
        {1, 1, 1, 3, 4, 5, 2, {2.2, 2.6}, {-0.2, -0.6}},
        {1, 1, 1, 3, 1.5, 1, 2, {3, 1}, {-1, 1}},  // from inside
        {0, 0, 2, 0, 0, 0, 0, {0, 0}, {0, 0}},     // from the centre
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcCirclePerpendicularFeet(c.cx, c.cy, c.x1, c.y1, c.px, c.py), c.result);
        EXPECT_TRUE(SlotIs(0, c.nearer));
        EXPECT_TRUE(SlotIs(1, c.opposite));
    }
}

TEST(CalcPerpendicular, EllipseNearestAndFarthestPoints)
{
    struct Case {
        const char *name;
        Ellipse e;
        CalcPoint p;
    };
    const Case cases[] = {
        {"on the major axis", {0, 0, 3, 0, 0, 1}, {10, 0}},
        {"above the minor vertex", {0, 0, 3, 0, 0, 1}, {0, 5}},
        {"inside", {0, 0, 3, 0, 0, 1}, {1, 0.2}},
        {"oblique conjugate axes", {1, 1, 4, 1, 2, 2}, {-3, 4}},
        {"turned", {2, -1, 3, 0, 0.5, 0.5}, {6, 6}},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(CalcEllipsePerpendicularFeet(c.e.cx, c.e.cy, c.e.a1x, c.e.a1y, c.e.a2x, c.e.a2y, c.p.x, c.p.y), 2);
        const CalcPoint nearest = g_CalcPoints[0], farthest = g_CalcPoints[1];
        // Compared with a dense walk round the ellipse.
        double lo = CALC_NO_VALUE, hi = 0;
        for (int i = 0; i < 100000; ++i) {
            const CalcPoint q = c.e.At(i * CALC_TWO_PI / 100000);
            const double d = std::hypot(q.x - c.p.x, q.y - c.p.y);
            lo = std::min(lo, d);
            hi = std::max(hi, d);
        }
        EXPECT_NEAR(std::hypot(nearest.x - c.p.x, nearest.y - c.p.y), lo, 1e-6) << c.name;
        EXPECT_NEAR(std::hypot(farthest.x - c.p.x, farthest.y - c.p.y), hi, 1e-6) << c.name;
        const CalcPoint un = c.e.Unit(nearest), uf = c.e.Unit(farthest);
        EXPECT_NEAR(std::hypot(un.x, un.y), 1, 1e-9) << c.name;
        EXPECT_NEAR(std::hypot(uf.x, uf.y), 1, 1e-9) << c.name;
    }
    ASSERT_EQ(CalcEllipsePerpendicularFeet(0, 0, 3, 0, 0, 1, 10, 0), 2);
    EXPECT_TRUE(SlotIs(0, {3, 0}, 1e-6));
    EXPECT_TRUE(SlotIs(1, {-3, 0}, 1e-6));
    // A zero ellipse gives its centre twice.
    EXPECT_EQ(CalcEllipsePerpendicularFeet(4, 5, 4, 5, 4, 5, 0, 0), 2);
    EXPECT_TRUE(SlotIs(0, {4, 5}));
    EXPECT_TRUE(SlotIs(1, {4, 5}));
}

TEST(CalcPerpendicular, GeometryRecordsByType)
{
    struct Case {
        const char *name;
        GeoObject g;
        int result;
        CalcPoint foot;
    };
    const CalcPoint p{1, 3};
    const Case cases[] = {
        {"line", Geo(GEO_LINE, {0, 0, 4, 0}), 1, {1, 0}},
        {"endless line", Geo(GEO_GEOLINE, {0, 0, 4, 0}), 1, {1, 0}},
        {"circle", Geo(GEO_CIRCLE, {1, 0, 1, 1}), 2, {1, 1}},
        {"construction circle", Geo(GEO_GEOCIRCLE, {1, 0, 1, 1}), 2, {1, 1}},
        // Curve: P0 = d0,d1; P3 = d2,d3; P1 = d6,d7; P2 = d8,d9.
        {"curve", Geo(GEO_CURVE, {-2, 0, 4, 0, 0, 0, 0, 0, 2, 0}), 1, {1, 0}},
        {"ellipse", Geo(GEO_ELLIPSE, {1, 0, 3, 0, 1, 1}), 2, {1, 1}},
        {"construction ellipse", Geo(GEO_GEOELLI, {1, 0, 3, 0, 1, 1}), 2, {1, 1}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcGeoPerpendicular(&c.g, p.x, p.y), c.result) << c.name;
        EXPECT_TRUE(SlotIs(0, c.foot, 1e-6)) << c.name;
    }
    // Arcs and other types give nothing and leave the buffer alone.
    for (int type : {int{GEO_CIRC_ARC}, int{GEO_CIRC_SEC}, int{GEO_ELLI_ARC}, int{GEO_MARK}, 99}) {
        FillBuffer(-7);
        const GeoObject arc = Geo(type, {0, 0, 1, 0, 0, 0, 1, 0, 0, 1});
        EXPECT_EQ(CalcGeoPerpendicular(&arc, p.x, p.y), 0) << type;
        EXPECT_TRUE(SlotIs(0, {-7, -7}, 0)) << type;
    }
}

TEST(CalcExtremes, CircleExtremes)
{
    struct Case {
        const char *name;
        int (*solve)();
        CalcPoint first, second;
    };
    const Case cases[] = {
        {"top and bottom", [] { return CalcCircleTopBottom(1, 1, 4, 5); }, {1, -4}, {1, 6}},
        {"left and right", [] { return CalcCircleLeftRight(1, 1, 4, 5); }, {-4, 1}, {6, 1}},
        {"at angle 0", [] { return CalcCircleExtremesAtAngle(0, 0, 1, 0, 0); }, {0, -1}, {0, 1}},
        {"at angle 90", [] { return CalcCircleExtremesAtAngle(0, 0, 1, 0, CALC_PI / 2); }, {1, 0}, {-1, 0}},
        {"at angle 45", [] { return CalcCircleExtremesAtAngle(2, 0, 4, 0, CALC_PI / 4); }, {2 + std::sqrt(2.0), -std::sqrt(2.0)}, {2 - std::sqrt(2.0), std::sqrt(2.0)}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.solve(), 2) << c.name;
        EXPECT_TRUE(SlotIs(0, c.first)) << c.name;
        EXPECT_TRUE(SlotIs(1, c.second)) << c.name;
    }
}

TEST(CalcExtremes, EllipseExtremesFollowTheCubicPieces)
{
    struct Case {
        const char *name;
        Ellipse e;
        double angle;
    };
    const Case cases[] = {
        {"axis-parallel", {0, 0, 2, 0, 0, 1}, 0},
        {"turned", {1, 2, 3, 3, 0.5, 3}, 0},
        {"turned, at 30 degrees", {1, 2, 3, 3, 0.5, 3}, CALC_PI / 6},
        {"axis-parallel, at 90 degrees", {0, 0, 2, 0, 0, 1}, CALC_PI / 2},
    };
    for (const Case &c : cases) {
        const Ellipse &e = c.e;
        // Support of the ellipse across the direction: the extreme offsets
        // along the normal n = (-sin, cos) are +-|(u.n, v.n)|.
        const double nx = -std::sin(c.angle), ny = std::cos(c.angle);
        const double un = (e.a1x - e.cx) * nx + (e.a1y - e.cy) * ny;
        const double vn = (e.a2x - e.cx) * nx + (e.a2y - e.cy) * ny;
        const double reach = std::hypot(un, vn);
        ASSERT_EQ(CalcEllipseExtremesAtAngle(e.cx, e.cy, e.a1x, e.a1y, e.a2x, e.a2y, c.angle), 2) << c.name;
        const CalcPoint right = g_CalcPoints[0], left = g_CalcPoints[1];
        EXPECT_NEAR((right.x - e.cx) * nx + (right.y - e.cy) * ny, -reach, 3e-4 * reach) << c.name;
        EXPECT_NEAR((left.x - e.cx) * nx + (left.y - e.cy) * ny, reach, 3e-4 * reach) << c.name;
        if (c.angle == 0) {
            ASSERT_EQ(CalcEllipseTopBottom(e.cx, e.cy, e.a1x, e.a1y, e.a2x, e.a2y), 2);
            EXPECT_TRUE(SlotIs(0, right, 1e-9)) << c.name;
            EXPECT_TRUE(SlotIs(1, left, 1e-9)) << c.name;
        }
    }
    ASSERT_EQ(CalcEllipseTopBottom(0, 0, 2, 0, 0, 1), 2);
    EXPECT_TRUE(SlotIs(0, {0, -1}));
    EXPECT_TRUE(SlotIs(1, {0, 1}));
    ASSERT_EQ(CalcEllipseLeftRight(0, 0, 2, 0, 0, 1), 2);
    EXPECT_TRUE(SlotIs(0, {-2, 0}));
    EXPECT_TRUE(SlotIs(1, {2, 0}));
}

TEST(CalcExtremes, BezierExtremesExtendAFrame)
{
    const BezierPiece arch{{{0, 0}, {1, 1}, {2, 1}, {3, 0}}, 0, 1};
    double frame[4] = {CALC_NO_VALUE, CALC_NO_VALUE, -CALC_NO_VALUE, -CALC_NO_VALUE};
    CalcPoint points[4] = {};
    CalcBezierExtremes(&arch, frame, points, 0);
    EXPECT_NEAR(frame[0], 0, TIGHT);
    EXPECT_NEAR(frame[1], 0, TIGHT);
    EXPECT_NEAR(frame[2], 3, TIGHT);
    EXPECT_NEAR(frame[3], 0.75, 1e-6);
    EXPECT_TRUE(Near(points[0], {0, 0}, TIGHT));
    EXPECT_TRUE(Near(points[1], {3, 0}, TIGHT));
    EXPECT_TRUE(Near(points[2], {0, 0}, TIGHT));
    EXPECT_TRUE(Near(points[3], {1.5, 0.75}, 1e-3));
    // A frame that already holds the piece is left as it is.
    double big[4] = {-10, -10, 10, 10};
    CalcPoint untouched[4] = {{7, 7}, {7, 7}, {7, 7}, {7, 7}};
    CalcBezierExtremes(&arch, big, untouched, 0);
    EXPECT_EQ(big[0], -10);
    EXPECT_EQ(big[3], 10);
    EXPECT_TRUE(Near(untouched[3], {7, 7}, 0));
}

TEST(CalcTangentPoints, FromAPoint)
{
    struct Case {
        const char *name;
        int (*solve)();
        int result;
        CalcPoint first, second;
    };
    const Case cases[] = {
        {"circle, outside", [] { return CalcTangentPointsCircle(0, 0, 1, 0, 2, 0); }, 2, {0.5, -R3}, {0.5, R3}},
        {"circle, on it", [] { return CalcTangentPointsCircle(0, 0, 1, 0, 1, 0); }, 2, {1, 0}, {1, 0}},
        {"circle, just inside the band", [] { return CalcTangentPointsCircle(0, 0, 1, 0, 1 - 1e-6, 0); }, 1, {1, 0}, {1, 0}},
        {"circle, inside beyond the band", [] { return CalcTangentPointsCircle(0, 0, 1, 0, 1 - 1.5e-6, 0); }, 0, {0, 0}, {0, 0}},
        {"circle, well inside", [] { return CalcTangentPointsCircle(0, 0, 1, 0, 0.5, 0); }, 0, {0, 0}, {0, 0}},
        {"circle, at the centre", [] { return CalcTangentPointsCircle(0, 0, 1, 0, 0, 0); }, 0, {0, 0}, {0, 0}},
        {"ellipse, outside", [] { return CalcTangentPointsEllipse(0, 0, 2, 0, 0, 1, 4, 0); }, 2, {1, -R3}, {1, R3}},
        {"ellipse, inside", [] { return CalcTangentPointsEllipse(0, 0, 2, 0, 0, 1, 1, 0); }, 0, {0, 0}, {0, 0}},
        {"ellipse, degenerate", [] { return CalcTangentPointsEllipse(0, 0, 2, 0, 4, 0, 1, 5); }, 0, {1, 5}, {1, 5}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.solve(), c.result) << c.name;
        EXPECT_TRUE(SlotIs(0, c.first, 1e-5)) << c.name;
        if (c.result) {
            EXPECT_TRUE(SlotIs(1, c.second, 1e-5)) << c.name;
        }
    }
}

TEST(CalcTangentPoints, NormalAndConjugateVectors)
{
    EXPECT_EQ(CalcNormalVector(1, 2, 4, 6), 1);
    EXPECT_TRUE(SlotIs(0, {-4, 3}));
    struct Case {
        double qx, qy;
        CalcPoint direction;
    };
    // C (1, 1), A1 (3, 1), A2 (1, 2): E'(t) = -sin t (2, 0) + cos t (0, 1).
    const double s = std::sqrt(0.5);
    const Case cases[] = {
        {3, 1, {0, 1}}, {1, 2, {-2, 0}}, {-1, 1, {0, -1}}, {1 + 2 * s, 1 + s, {-2 * s, s}},
        {5, 1, {0, 2}},  // off the ellipse: scaled with the distance in the unit frame
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcEllipseConjugateVector(1, 1, 3, 1, 1, 2, c.qx, c.qy), 1);
        EXPECT_TRUE(SlotIs(0, c.direction)) << c.qx << ", " << c.qy;
    }
    EXPECT_EQ(CalcEllipseConjugateVector(0, 0, 1, 1, 2, 2, 1, 1), 0);
    EXPECT_TRUE(SlotIs(0, {0, 0}));
}

TEST(CalcTangents, TwoCircles)
{
    struct Case {
        const char *name;
        double c1x, c1y, r1, c2x, c2y, r2;
        int slots;
        std::vector<CalcPoint> expected;  // empty: only the tangency is checked
    };
    const double h = R3;
    const Case cases[] = {
        {"equal circles apart", 0, 0, 1, 4, 0, 1, 8,
         {{0, -1}, {4, -1}, {0, 1}, {4, 1}, {0.5, -h}, {3.5, h}, {0.5, h}, {3.5, -h}}},
        {"equal circles touching", 0, 0, 1, 2, 0, 1, 4, {{0, -1}, {2, -1}, {0, 1}, {2, 1}}},
        {"equal circles crossing", 0, 0, 1, 1, 0, 1, 4, {}},
        {"different radii apart", 0, 0, 1, 6, 1, 2, 8, {}},
        {"different radii crossing", 0, 0, 1, 2, 0, 2, 4, {}},
        {"concentric", 1, 1, 1, 1, 1, 2, 0, {}},
        {"one inside the other", 0, 0, 5, 1, 0, 1, 0, {}},
        {"touching from inside", 0, 0, 2, 1, 0, 1, 0, {}},
    };
    for (const Case &c : cases) {
        const int slots = CalcTangentsCircleCircle(c.c1x, c.c1y, c.c1x + c.r1, c.c1y, c.c2x, c.c2y, c.c2x, c.c2y + c.r2);
        EXPECT_EQ(slots, c.slots) << c.name;
        for (size_t k = 0; k < c.expected.size(); ++k)
            EXPECT_TRUE(SlotIs(static_cast<int>(k), c.expected[k])) << c.name;
        ExpectCommonTangents(c.name, slots, CircleAsEllipse(c.c1x, c.c1y, c.r1), CircleAsEllipse(c.c2x, c.c2y, c.r2), 1e-9);
    }
    // A circle of radius 0 is a point: the tangents from it.
    EXPECT_EQ(CalcTangentsCircleCircle(2, 0, 2, 0, 0, 0, 1, 0), 4);
    EXPECT_TRUE(SlotIs(0, {2, 0}));
    EXPECT_TRUE(SlotIs(1, {0.5, -R3}));
    EXPECT_TRUE(SlotIs(2, {2, 0}));
    EXPECT_TRUE(SlotIs(3, {0.5, R3}));
    EXPECT_EQ(CalcTangentsCircleCircle(0, 0, 1, 0, 2, 0, 2, 0), 4);
    EXPECT_TRUE(SlotIs(0, {0.5, -R3}));
    EXPECT_TRUE(SlotIs(1, {2, 0}));
}

TEST(CalcTangents, CirclesAndEllipses)
{
    struct Case {
        const char *name;
        int (*solve)();
        Ellipse first, second;
        int slots;
    };
    const Case cases[] = {
        {"circle, ellipse apart", [] { return CalcTangentsCircleEllipse(0, 0, 1, 0, 5, 0, 7, 0, 5, 1); },
         CircleAsEllipse(0, 0, 1), {5, 0, 7, 0, 5, 1}, 8},
        {"ellipse, circle apart", [] { return CalcTangentsEllipseCircle(5, 0, 7, 0, 5, 1, 0, 0, 1, 0); },
         {5, 0, 7, 0, 5, 1}, CircleAsEllipse(0, 0, 1), 8},
        {"circle, turned ellipse", [] { return CalcTangentsCircleEllipse(0, 0, 0, 2, 6, 3, 8, 4, 5.5, 4); },
         CircleAsEllipse(0, 0, 2), {6, 3, 8, 4, 5.5, 4}, 8},
        {"circle crossing the ellipse", [] { return CalcTangentsCircleEllipse(2, 0, 3, 0, 0, 0, 2, 0, 0, 1); },
         CircleAsEllipse(2, 0, 1), {0, 0, 2, 0, 0, 1}, 4},
        {"circle inside the ellipse", [] { return CalcTangentsCircleEllipse(0, 0, 0.5, 0, 0, 0, 2, 0, 0, 1); },
         CircleAsEllipse(0, 0, 0.5), {0, 0, 2, 0, 0, 1}, 0},
        {"circle and the same circle as an ellipse", [] { return CalcTangentsCircleEllipse(0, 0, 1, 0, 0, 0, 0, 1, -1, 0); },
         CircleAsEllipse(0, 0, 1), CircleAsEllipse(0, 0, 1), 0},
        // One inner tangent, x = 1, touches the circle at angle 0, where the
        // first pass finds it at both ends of its range: reported once.
        {"tangent at the circle's angle 0", [] { return CalcTangentsCircleEllipse(0, 0, 1, 0, 2, 5, 3, 5, 2, 6); },
         CircleAsEllipse(0, 0, 1), CircleAsEllipse(2, 5, 1), 8},
        {"two ellipses apart", [] { return CalcTangentsEllipseEllipse(0, 0, 2, 0, 0, 1, 6, 1, 6, 3, 5, 1); },
         {0, 0, 2, 0, 0, 1}, {6, 1, 6, 3, 5, 1}, 8},
        {"two ellipses crossing", [] { return CalcTangentsEllipseEllipse(0, 0, 2, 0, 0, 1, 0, 0, 1, 0, 0, 2); },
         {0, 0, 2, 0, 0, 1}, {0, 0, 1, 0, 0, 2}, 8},
    };
    for (const Case &c : cases) {
        const int slots = c.solve();
        EXPECT_EQ(slots, c.slots) << c.name;
        ExpectCommonTangents(c.name, slots, c.first, c.second, 1e-4);
    }
    // The pairs come in the order of the circle point's angle.
    const int slots = CalcTangentsCircleEllipse(0, 0, 1, 0, 5, 0, 7, 0, 5, 1);
    ASSERT_EQ(slots, 8);
    double previous = -1;
    for (int k = 0; k < slots; k += 2) {
        const double a = CalcAngleOfVector(g_CalcPoints[k].x, g_CalcPoints[k].y);
        EXPECT_GT(a, previous);
        previous = a;
    }
    EXPECT_TRUE(SlotIs(2, {0, 1}, 1e-4));
    EXPECT_TRUE(SlotIs(3, {5, 1}, 1e-4));
    ASSERT_EQ(CalcTangentsCircleEllipse(0, 0, 1, 0, 2, 5, 3, 5, 2, 6), 8);
    EXPECT_TRUE(SlotIs(0, {1, 0}, 1e-4));
    EXPECT_TRUE(SlotIs(1, {1, 5}, 1e-4));
}

TEST(CalcTangents, PointsAmongCirclesAndEllipses)
{
    struct Case {
        const char *name;
        int (*solve)();
        int slots;
        std::vector<CalcPoint> expected;
    };
    const Case cases[] = {
        {"circle of radius 0 and ellipse", [] { return CalcTangentsCircleEllipse(4, 0, 4, 0, 0, 0, 2, 0, 0, 1); }, 4,
         {{4, 0}, {1, -R3}, {4, 0}, {1, R3}}},
        {"circle and ellipse of size 0", [] { return CalcTangentsCircleEllipse(0, 0, 1, 0, 2, 0, 2, 0, 2, 0); }, 4,
         {{0.5, -R3}, {2, 0}, {0.5, R3}, {2, 0}}},
        {"both points", [] { return CalcTangentsCircleEllipse(1, 1, 1, 1, 3, 4, 3, 4, 3, 4); }, 2, {{1, 1}, {3, 4}}},
        {"point inside the ellipse", [] { return CalcTangentsCircleEllipse(0.5, 0, 0.5, 0, 0, 0, 2, 0, 0, 1); }, 0, {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.solve(), c.slots) << c.name;
        for (size_t k = 0; k < c.expected.size(); ++k)
            EXPECT_TRUE(SlotIs(static_cast<int>(k), c.expected[k], 1e-6)) << c.name;
    }
}

TEST(CalcTangents, GeometryRecords)
{
    struct Case {
        const char *name;
        GeoObject g1, g2;
        int slots;
        std::vector<CalcPoint> expected;
    };
    const GeoObject circle = Geo(GEO_CIRCLE, {0, 0, 1, 0});
    const GeoObject arc = Geo(GEO_CIRC_ARC, {0, 0, 1, 0, 0, 0, 0, 1, -1, 0});
    const GeoObject sector = Geo(GEO_CIRC_SEC, {0, 0, 1, 0, 0, 0, 0, 1, -1, 0});
    const GeoObject point = Geo(GEO_MARK, {2, 0});
    const GeoObject other = Geo(GEO_MARK, {5, 6});
    const GeoObject far = Geo(GEO_GEOCIRCLE, {4, 0, 5, 0});
    const GeoObject ellipse = Geo(GEO_ELLIPSE, {0, 0, 2, 0, 0, 1});
    const GeoObject farPoint = Geo(GEO_MARK, {4, 0});
    const GeoObject line = Geo(GEO_LINE, {0, 0, 1, 1});
    const Case cases[] = {
        {"circle, point", circle, point, 4, {{0.5, -R3}, {2, 0}, {0.5, R3}, {2, 0}}},
        {"point, circle", point, circle, 4, {{2, 0}, {0.5, -R3}, {2, 0}, {0.5, R3}}},
        {"arc counts as its circle", arc, point, 4, {{0.5, -R3}, {2, 0}, {0.5, R3}, {2, 0}}},
        {"point, point", point, other, 2, {{2, 0}, {5, 6}}},
        {"circle, circle", circle, far, 8, {{0, -1}, {4, -1}, {0, 1}, {4, 1}}},
        {"ellipse, point", ellipse, farPoint, 4, {{1, -R3}, {4, 0}, {1, R3}, {4, 0}}},
        {"point, ellipse", farPoint, ellipse, 4, {{4, 0}, {1, -R3}, {4, 0}, {1, R3}}},
        {"point inside the circle", circle, Geo(GEO_MARK, {0.2, 0.2}), 0, {}},
        {"sector is not a circle", sector, point, 0, {}},
        {"line is not a figure with tangents", line, point, 0, {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcGeoTangent(&c.g1, &c.g2), c.slots) << c.name;
        for (size_t k = 0; k < c.expected.size(); ++k)
            EXPECT_TRUE(SlotIs(static_cast<int>(k), c.expected[k], 1e-6)) << c.name;
    }
    // Circle and ellipse records reach the sampled solvers in both orders.
    const GeoObject farEllipse = Geo(GEO_GEOELLI, {5, 0, 7, 0, 5, 1});
    EXPECT_EQ(CalcGeoTangent(&circle, &farEllipse), 8);
    EXPECT_EQ(CalcGeoTangent(&farEllipse, &circle), 8);
    EXPECT_TRUE(TouchesAt({5, 0, 7, 0, 5, 1}, g_CalcPoints[0], g_CalcPoints[1], 1e-4));
    EXPECT_EQ(CalcGeoTangent(&ellipse, &farEllipse), 8);
}
