// Radius fits and corner constructions: the circles and arcs they leave in
// the candidate array.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/calc_candidate.h"
#include "geometry/calc_fit.h"
#include "geometry_expect.h"

namespace {

constexpr double EPS = 1e-9;

double Radius(const GeoObject &g) { return std::hypot(g.d[2] - g.d[0], g.d[3] - g.d[1]); }
double Distance(double x1, double y1, double x2, double y2) { return std::hypot(x1 - x2, y1 - y2); }
// Distance of p from the endless line a b.
double LineDistance(double ax, double ay, double bx, double by, double px, double py)
{
    return std::fabs((bx - ax) * (py - ay) - (by - ay) * (px - ax)) / Distance(ax, ay, bx, by);
}

GeoObject Line(double x1, double y1, double x2, double y2)
{
    GeoObject g{};
    g.type = GEO_LINE;
    g.d[0] = x1, g.d[1] = y1, g.d[2] = x2, g.d[3] = y2;
    return g;
}

GeoObject Arc(double cx, double cy, double r, double sx, double sy, double ex, double ey, int ccw)
{
    GeoObject g{};
    g.type = GEO_CIRC_ARC;
    g.d[0] = cx, g.d[1] = cy, g.d[2] = cx + r, g.d[3] = cy;
    g.d[6] = sx, g.d[7] = sy, g.d[8] = ex, g.d[9] = ey;
    g.direction = ccw;
    return g;
}

void ExpectPoint(const GeoObject &g, int k, double x, double y, const char *what)
{
    EXPECT_NEAR(g.d[k], x, 1e-7) << what;
    EXPECT_NEAR(g.d[k + 1], y, 1e-7) << what;
}

} // namespace

TEST(CalcFit, ThreeLinesGiveTheIncircleAndExcircles)
{
    // The triangle (0,0) (4,0) (0,3): every circle touches all three lines.
    ASSERT_EQ(CalcCirclesTangentThreeLines(0, 0, 4, 0, 4, 0, 0, 3, 0, 3, 0, 0, GEO_CIRCLE), 4);
    bool incircle = false;
    for (int i = 0; i < 4; ++i) {
        const GeoObject &g = g_CalcCandidates[i];
        const double r = Radius(g);
        EXPECT_NEAR(g.d[3], 0, EPS) << "the circle point lies on line 1";
        EXPECT_NEAR(LineDistance(4, 0, 0, 3, g.d[0], g.d[1]), r, EPS);
        EXPECT_NEAR(LineDistance(0, 3, 0, 0, g.d[0], g.d[1]), r, EPS);
        incircle |= std::fabs(r - 1) < EPS && std::fabs(g.d[0] - 1) < EPS && std::fabs(g.d[1] - 1) < EPS;
    }
    EXPECT_TRUE(incircle);
    EXPECT_EQ(CalcCirclesTangentThreeLines(0, 0, 0, 0, 4, 0, 0, 3, 0, 3, 0, 0, GEO_CIRCLE), 0) << "zero length";
    // Two parallel lines and a transversal.
    EXPECT_EQ(CalcCirclesTangentThreeLines(0, 0, 1, 0, 0, 2, 1, 2, 0, 0, 0, 1, GEO_CIRCLE), 2);
}

TEST(CalcFit, TwoLinesGiveFourCirclesOrEightArcs)
{
    ASSERT_EQ(CalcRadiusFitLineLine(-10, 0, 10, 0, 0, -10, 0, 10, 2, GEO_CIRCLE), 4);
    for (int i = 0; i < 4; ++i) {
        const GeoObject &g = g_CalcCandidates[i];
        EXPECT_NEAR(std::fabs(g.d[0]), 2, EPS);
        EXPECT_NEAR(std::fabs(g.d[1]), 2, EPS);
        EXPECT_NEAR(Radius(g), 2, EPS);
    }
    ASSERT_EQ(CalcRadiusFitLineLine(-10, 0, 10, 0, 0, -10, 0, 10, 2, GEO_CIRC_ARC), 8);
    for (int i = 0; i < 8; i += 2) {
        const GeoObject &a = g_CalcCandidates[i], &b = g_CalcCandidates[i + 1];
        EXPECT_EQ(a.direction, 1);
        EXPECT_EQ(b.direction, 0);
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(a.d[k], b.d[k]) << "the pair differs only in its direction";
        EXPECT_NEAR(a.d[7], 0, EPS) << "starts on line 1";
        EXPECT_NEAR(a.d[8], 0, EPS) << "ends on line 2";
    }
}

TEST(CalcFit, PointsAndCircles)
{
    EXPECT_EQ(CalcRadiusFitPointPoint(0, 0, 2, 0, 2, GEO_CIRCLE), 2);
    EXPECT_EQ(CalcRadiusFitPointPoint(0, 0, 2, 0, 2, GEO_CIRC_ARC), 4);
    EXPECT_EQ(CalcRadiusFitPointPoint(0, 0, 10, 0, 2, GEO_CIRCLE), 0) << "too far apart";

    // A point and a line: every circle twice (the two centres above the line).
    GeoObject point{}, line = Line(-10, 0, 10, 0);
    point.type = GEO_MARK;
    point.d[0] = 0, point.d[1] = 1;
    const int n = CalcGeoRadiusFit(&point, &line, 2, GEO_CIRCLE);
    ASSERT_EQ(n, 4);
    EXPECT_NEAR(g_CalcCandidates[0].d[0], g_CalcCandidates[2].d[0], EPS);
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(Distance(g_CalcCandidates[i].d[0], g_CalcCandidates[i].d[1], 0, 1), 2, EPS);
        EXPECT_NEAR(std::fabs(g_CalcCandidates[i].d[1]), 2, EPS);
    }

    // Arcs from a circle to a line start on the circle and end on the line.
    GeoObject circle{};
    circle.type = GEO_CIRCLE;
    circle.d[0] = 0, circle.d[1] = 5, circle.d[2] = 3, circle.d[3] = 5;
    const int arcs = CalcGeoRadiusFit(&circle, &line, 1, GEO_CIRC_ARC);
    ASSERT_GT(arcs, 0);
    for (int i = 0; i < arcs; ++i) {
        const GeoObject &g = g_CalcCandidates[i];
        EXPECT_NEAR(Distance(g.d[6], g.d[7], 0, 5), 3, 1e-7) << i;
        EXPECT_NEAR(g.d[9], 0, 1e-7) << i;
        EXPECT_NEAR(Distance(g.d[6], g.d[7], g.d[0], g.d[1]), 1, 1e-7) << i;
    }
    // Two circles too far apart for the radius give nothing.
    GeoObject apart = circle;
    apart.d[0] = 100, apart.d[2] = 103;
    EXPECT_EQ(CalcGeoRadiusFit(&circle, &apart, 1, GEO_CIRCLE), 0);
    // Two circles that can be joined: every touching point lies on its circle.
    GeoObject close = circle;
    close.d[0] = 8, close.d[2] = 11;
    const int joined = CalcGeoRadiusFit(&circle, &close, 2, GEO_CIRC_ARC);
    ASSERT_GT(joined, 0);
    ASSERT_LE(joined, 16);
    for (int i = 0; i < joined; ++i) {
        EXPECT_NEAR(Distance(g_CalcCandidates[i].d[6], g_CalcCandidates[i].d[7], 0, 5), 3, 1e-7) << i;
        EXPECT_NEAR(Distance(g_CalcCandidates[i].d[8], g_CalcCandidates[i].d[9], 8, 5), 3, 1e-7) << i;
    }
    GeoObject text{};
    text.type = 35;
    EXPECT_EQ(CalcGeoRadiusFit(&text, &line, 1, GEO_CIRCLE), 0);
}

TEST(CalcFit, VertexCorners)
{
    ASSERT_EQ(CalcCornerChamferAngle(10, 0, 0, 0, 0, 10, 2, CALC_PI / 4), 3);
    ExpectPoint(g_CalcCandidates[0], 0, 2, 0, "chamfer start");
    ExpectPoint(g_CalcCandidates[0], 2, 0, 2, "chamfer end");
    ExpectPoint(g_CalcCandidates[1], 2, 2, 0, "first leg ends at the chamfer");
    ExpectPoint(g_CalcCandidates[2], 2, 0, 2, "second leg ends at the chamfer");
    EXPECT_EQ(CalcCornerChamferAngle(1, 0, 0, 0, 0, 10, 2, CALC_PI / 4), 0) << "leg too short";

    ASSERT_EQ(CalcCornerRoundVertex(10, 0, 0, 0, 0, 10, 2), 3);
    const GeoObject &arc = g_CalcCandidates[0];
    EXPECT_EQ(arc.type, GEO_CIRC_ARC);
    ExpectPoint(arc, 0, 2, 2, "centre");
    ExpectPoint(arc, 6, 2, 0, "start");
    ExpectPoint(arc, 8, 0, 2, "end");
    EXPECT_EQ(arc.direction, 0) << "the corner turns left, the arc from (2,0) to (0,2) clockwise";
    EXPECT_NEAR(std::fabs(CalcArcSweep(2, 2, 2, 0, 0, 2, arc.direction)), CALC_HALF_PI, EPS);
    EXPECT_EQ(CalcCornerRoundVertex(1, 0, 0, 0, 0, 1, 2), 0) << "legs shorter than the tangent distance";

    ASSERT_EQ(CalcCornerArcVertex(10, 0, 0, 0, 0, 10, 2), 3);
    ExpectPoint(g_CalcCandidates[0], 0, 0, 0, "centred on the vertex");
    ExpectPoint(g_CalcCandidates[0], 6, 2, 0, "start");
    ExpectPoint(g_CalcCandidates[0], 8, 0, 2, "end");
    EXPECT_EQ(g_CalcCandidates[0].direction, 1) << "through the inside of the corner";
    EXPECT_EQ(CalcCornerArcVertex(10, 0, 0, 0, 0, 2, 2), 0) << "leg not longer than the radius";
}

TEST(CalcFit, CornersOfTwoObjects)
{
    const GeoObject a = Line(10, 0, 3, 0), b = Line(0, 10, 0, 4);
    const CalcPoint pa = {4, 0}, pb = {0, 5};
    // Extension: the near ends move to the intersection.
    ASSERT_EQ(CalcCornerExtendObjects(&a, &b, &pa, &pb), 2);
    ExpectPoint(g_CalcCandidates[0], 0, 10, 0, "far end stays");
    ExpectPoint(g_CalcCandidates[0], 2, 0, 0, "near end at the corner");
    ExpectPoint(g_CalcCandidates[1], 2, 0, 0, "near end at the corner");

    ASSERT_EQ(CalcCornerRoundObjects(&a, &b, &pa, &pb, 2), 3);
    ExpectPoint(g_CalcCandidates[0], 0, 2, 2, "fillet centre");
    ExpectPoint(g_CalcCandidates[1], 0, 10, 0, "line 1 keeps its far end");
    ExpectPoint(g_CalcCandidates[1], 2, 2, 0, "line 1 ends at the fillet");
    ExpectPoint(g_CalcCandidates[2], 2, 0, 2, "line 2 ends at the fillet");

    ASSERT_EQ(CalcCornerChamferObjects(&a, &b, &pa, &pb, 2, CALC_PI / 4), 3);
    ExpectPoint(g_CalcCandidates[0], 0, 2, 0, "chamfer start");
    ExpectPoint(g_CalcCandidates[0], 2, 0, 2, "chamfer end");
    ASSERT_EQ(CalcCornerArcObjects(&a, &b, &pa, &pb, 2), 3);
    ExpectPoint(g_CalcCandidates[0], 0, 0, 0, "arc about the intersection");

    // A line and an arc of radius 5 about (0, 5) from (0, 0) up to (0, 10):
    // the line's near end moves onto the circle.
    const GeoObject arc = Arc(0, 5, 5, 0, 0, 0, 10, 1);
    const GeoObject l = Line(20, 5, 8, 5);
    const CalcPoint pl = {9, 5}, parc = {4, 8};
    ASSERT_EQ(CalcCornerExtendObjects(&l, &arc, &pl, &parc), 2);
    ExpectPoint(g_CalcCandidates[0], 2, 5, 5, "line reaches the arc");
    ExpectPoint(g_CalcCandidates[1], 8, 5, 5, "the arc's end moves to the meeting point");
    EXPECT_EQ(g_CalcCandidates[1].direction, 1) << "the arc keeps its direction";

    ASSERT_EQ(CalcCornerRoundObjects(&l, &arc, &pl, &parc, 1), 3);
    const GeoObject &f = g_CalcCandidates[0];
    EXPECT_NEAR(std::fabs(f.d[1] - 5), 1, 1e-7) << "the fillet touches the line";
    EXPECT_NEAR(Distance(f.d[0], f.d[1], 0, 5), 6, 1e-7) << "and the arc from outside";

    const GeoObject parallel = Line(0, 3, 10, 3);
    EXPECT_EQ(CalcCornerExtendObjects(&a, &parallel, &pa, &pb), 0) << "parallel lines never meet";
    EXPECT_EQ(CalcCornerChamferObjects(&a, &arc, &pa, &parc, 2, 1), 0) << "chamfers join lines only";
}
