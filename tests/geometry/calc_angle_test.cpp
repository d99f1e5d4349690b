// Directions, distances, arcs and ellipse parameters.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/calc.h"
#include "geometry_expect.h"

namespace {

CalcPoint Dir(double degrees, double r = 1.0)
{
    return CalcPoint{r * std::cos(degrees * CALC_PI / 180), r * std::sin(degrees * CALC_PI / 180)};
}

}  // namespace

TEST(CalcDirections, AngleOfVectorLiesInOneTurn)
{
    struct Case {
        double dx, dy, angle;
    };
    const Case cases[] = {
        {0, 0, 0},           {1, 0, 0},          {0, 1, CALC_PI / 2},       {-1, 0, CALC_PI},
        {0, -1, 3 * CALC_PI / 2}, {1, -1, 7 * CALC_PI / 4}, {-1, -1e-30, CALC_PI},     {1e-300, 0, 0},
        {3, 4, std::atan2(4.0, 3.0)},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(CalcAngleOfVector(c.dx, c.dy), c.angle, TIGHT) << c.dx << ", " << c.dy;
    // A direction a hair below 0 stays inside [0, 2pi).
    const double a = CalcAngleOfVector(1, -1e-18);
    EXPECT_GE(a, 0.0);
    EXPECT_LT(a, CALC_TWO_PI);
}

TEST(CalcDirections, SameDirectionMeansLessThanARightAngleApart)
{
    struct Case {
        double dx1, dy1, dx2, dy2;
        int same;
    };
    const Case cases[] = {
        {1, 0, 0, 1, 0},       // exactly a right angle
        {1, 0, 1, 0.999, 1},   // just under
        {1, 0, -1, 0, 0},      // opposite
        {1, 0, 1, 0, 1},       // equal
        {1, -0.1, 1, 0.1, 1},  // across angle 0
        {0, 1, 0, -1, 0},
        {1, 0, 0, -1, 0},      // right angle the other way (3pi/2 apart in angles)
    };
    for (const Case &c : cases)
        EXPECT_EQ(CalcSameDirection(c.dx1, c.dy1, c.dx2, c.dy2), c.same)
            << c.dx1 << "," << c.dy1 << " / " << c.dx2 << "," << c.dy2;
}

TEST(CalcDirections, DistancesToPointsAndEndlessLines)
{
    const CalcPoint p{1, 2}, q{4, 6};
    EXPECT_NEAR(CalcDistance(&p, &q), 5, TIGHT);
    EXPECT_NEAR(CalcDistance(&p, &p), 0, TIGHT);

    struct Case {
        double x1, y1, x2, y2, px, py, distance;
    };
    const Case cases[] = {
        {0, 0, 1, 0, 5, 3, 3},    // beyond the second point: the line is endless
        {0, 0, 1, 1, 1, 0, std::sqrt(0.5)},
        {2, 2, 2, 2, 5, 6, 5},    // a line of one point: distance to it
        {0, 0, 4, 0, 2, 0, 0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(CalcDistancePointLine(c.x1, c.y1, c.x2, c.y2, c.px, c.py), c.distance, TIGHT);
}

// One table over the arc functions: a quarter from 0 to 90 degrees
// counter-clockwise, and the same ends clockwise (the other 270 degrees).
TEST(CalcArcs, PositionsAlongArcsInBothSenses)
{
    struct Case {
        const char *name;
        double startDeg, endDeg;
        int ccw;
        double probeDeg;
        int inArc;
        double fraction, parameter;
    };
    const Case cases[] = {
        {"ccw quarter, start", 0, 90, 1, 0, 1, 0, 0},
        {"ccw quarter, middle", 0, 90, 1, 45, 1, 0.5, 0.5},
        {"ccw quarter, end", 0, 90, 1, 90, 1, 1, 1},
        {"ccw quarter, beyond the end", 0, 90, 1, 135, 0, 1.5, 1.5},
        {"ccw quarter, far beyond the end", 0, 90, 1, 180, 0, 2, 2},
        {"ccw quarter, before the start", 0, 90, 1, 315, 0, -0.5, -0.5},
        {"cw three quarters, start", 0, 90, 0, 0, 1, 0, 0},
        {"cw three quarters, through 270", 0, 90, 0, 270, 1, 1.0 / 3, 1.0 / 3},
        {"cw three quarters, near the end", 0, 90, 0, 135, 1, 5.0 / 6, 5.0 / 6},
        {"cw three quarters, in the gap before the start", 0, 90, 0, 30, 0, -1.0 / 9, -1.0 / 9},
        {"cw three quarters, in the gap beyond the end", 0, 90, 0, 60, 0, 10.0 / 9, 10.0 / 9},
        {"ccw through angle 0, direction 0", 270, 90, 1, 0, 1, 0.5, 0.5},
        {"ccw through angle 0, start", 270, 90, 1, 270, 1, 0, 0},
        {"ccw through angle 0, end", 270, 90, 1, 90, 1, 1, 1},
        {"ccw through angle 0, direction 180", 270, 90, 1, 180, 0, 1.5, -0.5},
        {"cw half, probe at the start", 180, 0, 0, 90, 1, 0.5, 0.5},
    };
    const double c0x = 10, c0y = -5;  // the centre, away from the origin
    for (const Case &c : cases) {
        const CalcPoint s = Dir(c.startDeg, 2), e = Dir(c.endDeg, 3), p = Dir(c.probeDeg, 0.5);
        const double args[] = {c0x, c0y, c0x + s.x, c0y + s.y, c0x + e.x, c0y + e.y, c0x + p.x, c0y + p.y};
        EXPECT_EQ(CalcAngleInArc(args[0], args[1], args[2], args[3], args[4], args[5], args[6], args[7], c.ccw),
                  c.inArc) << c.name;
        EXPECT_NEAR(CalcArcFraction(args[0], args[1], args[2], args[3], args[4], args[5], args[6], args[7], c.ccw),
                    c.fraction, 1e-9) << c.name;
        EXPECT_NEAR(CalcArcParameter(args[0], args[1], args[2], args[3], args[4], args[5], args[6], args[7], c.ccw),
                    c.parameter, 1e-9) << c.name;
    }
}

TEST(CalcArcs, SweepsInBothSenses)
{
    struct Case {
        double startDeg, endDeg;
        int ccw;
        double sweepDeg;
    };
    const Case cases[] = {
        {0, 90, 1, 90},    {0, 90, 0, -270},  {90, 0, 1, 270}, {90, 0, 0, -90},
        {350, 10, 1, 20},  {10, 350, 0, -20},
    };
    for (const Case &c : cases) {
        const CalcPoint s = Dir(c.startDeg), e = Dir(c.endDeg, 7);
        EXPECT_NEAR(CalcArcSweep(0, 0, s.x, s.y, e.x, e.y, c.ccw), c.sweepDeg * CALC_PI / 180, 1e-9)
            << c.startDeg << " -> " << c.endDeg << (c.ccw ? " ccw" : " cw");
    }
    // Equal directions sweep nothing, in either sense.
    EXPECT_EQ(CalcArcSweep(0, 0, 1, 1, 7, 7, 1), 0.0);
    EXPECT_EQ(CalcArcSweep(0, 0, 1, 1, 7, 7, 0), 0.0);
}

TEST(CalcArcs, ArcsWhoseEndsShareOneDirection)
{
    // Both ends in one direction: no sweep, so no fraction; the clockwise
    // parameter is 0 and the counter-clockwise arc reads as a full turn.
    EXPECT_EQ(CalcArcFraction(0, 0, 1, 0, 2, 0, 0, 1, 1), CALC_NO_VALUE);
    EXPECT_EQ(CalcArcFraction(0, 0, 1, 0, 2, 0, 0, 1, 0), CALC_NO_VALUE);
    EXPECT_EQ(CalcArcParameter(0, 0, 1, 0, 2, 0, 0, 1, 0), 0.0);
    EXPECT_NEAR(CalcArcParameter(0, 0, 1, 0, 2, 0, 0, 1, 1), 0.25, 1e-9);
    EXPECT_NEAR(CalcArcParameter(0, 0, 1, 0, 2, 0, 0, -1, 1), 0.75, 1e-9);
    // Only that direction is in the arc.
    EXPECT_EQ(CalcAngleInArc(0, 0, 1, 0, 2, 0, 3, 0, 1), 1);
    EXPECT_EQ(CalcAngleInArc(0, 0, 1, 0, 2, 0, 0, 1, 0), 0);
}

// The centre-offset factor of a path's arc element and its inverse reading.
TEST(CalcArcs, CurvatureIsTheCentreOffsetFactor)
{
    struct Case {
        double x, y, x1, y1, x2, y2, factor;
    };
    const Case cases[] = {
        {1, 1, 0, 0, 2, 0, 0.5},     // centre left of the chord
        {1, -1, 0, 0, 2, 0, -0.5},   // right of it
        {1, 0, 0, 0, 2, 0, 0},       // on the chord
        {-1, 1, 0, 0, 0, 2, 0.5},    // vertical chord
        {5, 5, 0, 0, 0, 0, 0},       // no chord
        {0, 2, 0, 0, 2, 2, 0.5},     // slanted chord, foot at its middle
        {-1, 3, 0, 0, 2, 2, 1},      // the same factor wherever the foot lies
    };
    for (const Case &c : cases)
        EXPECT_NEAR(CalcCurvature(c.x, c.y, c.x1, c.y1, c.x2, c.y2), c.factor, 1e-9)
            << c.x << ", " << c.y;
    // An element from S to E with factor h has its centre at M + h (-dy, dx).
    const double sx = 3, sy = 1, ex = -1, ey = 4, h = 0.3;
    const double cx = (sx + ex) / 2 + h * -(ey - sy), cy = (sy + ey) / 2 + h * (ex - sx);
    EXPECT_NEAR(CalcCurvature(cx, cy, sx, sy, ex, ey), h, 1e-9);
}

TEST(CalcArcs, CirclePointTowards)
{
    struct Case {
        double cx, cy, x1, y1, x2, y2;
        CalcPoint point;
        double angle;
    };
    const Case cases[] = {
        {0, 0, 2, 0, 0, 5, {0, 2}, CALC_PI / 2},
        {1, 1, 1, 4, -9, 1, {-2, 1}, CALC_PI},
        {1, 1, 1, 4, 1, 1, {4, 1}, 0},  // towards the centre itself
    };
    for (const Case &c : cases) {
        EXPECT_NEAR(CalcCirclePointTowards(c.cx, c.cy, c.x1, c.y1, c.x2, c.y2), c.angle, TIGHT);
        EXPECT_TRUE(SlotIs(0, c.point));
    }
}

// The two parameterisations of one ellipse: the axis-2 form starts at A2,
// the axis-1 form (pieces, solvers) at A1.
TEST(CalcEllipseParameters, BothParameterisations)
{
    const double cx = 0, cy = 0, a1x = 2, a1y = 0, a2x = 0, a2y = 1;
    // Axis-2: parameter 0 at A2, pi/2 at A1.
    EXPECT_NEAR(CalcEllipsePointTowards(cx, cy, a1x, a1y, a2x, a2y, 0, 5), 0, TIGHT);
    EXPECT_TRUE(SlotIs(0, {0, 1}));
    EXPECT_NEAR(CalcEllipsePointTowards(cx, cy, a1x, a1y, a2x, a2y, 5, 0), CALC_PI / 2, TIGHT);
    EXPECT_TRUE(SlotIs(0, {2, 0}));
    // Axis-1: the first piece runs from A1 (parameter 0) to A2 (pi/2), and
    // the tangent direction at A1 is A2 - C.
    BezierPiece pieces[4];
    ASSERT_EQ(CalcEllipseToBezier(cx, cy, a1x, a1y, a2x, a2y, pieces), 1);
    EXPECT_TRUE(Near(pieces[0].p[0], {2, 0}, TIGHT));
    EXPECT_TRUE(Near(pieces[0].p[3], {0, 1}, TIGHT));
    ASSERT_EQ(CalcEllipseConjugateVector(cx, cy, a1x, a1y, a2x, a2y, 2, 0), 1);
    EXPECT_TRUE(SlotIs(0, {0, 1}));
}

TEST(CalcEllipseParameters, PointTowardsFollowsTheDirectionInTheUnitFrame)
{
    struct Case {
        const char *name;
        double cx, cy, a1x, a1y, a2x, a2y, px, py, t;
        CalcPoint point;
        double result;
    };
    const double r = std::sqrt(0.5);
    const Case cases[] = {
        {"towards A2", 0, 0, 0, 1, 2, 0, 5, 0, 0, {2, 0}, 0},
        {"towards A1", 0, 0, 0, 1, 2, 0, 0, 5, CALC_PI / 2, {0, 1}, 0},
        {"diagonal in the unit frame", 1, 1, 1, 2, 3, 1, 3, 2, CALC_PI / 4, {1 + 2 * r, 1 + r}, 0},
        {"behind the centre", 0, 0, 0, 1, 2, 0, -4, 0, CALC_PI, {-2, 0}, 0},
    };
    for (const Case &c : cases) {
        EXPECT_NEAR(CalcEllipsePointTowards(c.cx, c.cy, c.a1x, c.a1y, c.a2x, c.a2y, c.px, c.py), c.t, TIGHT)
            << c.name;
        EXPECT_TRUE(SlotIs(0, c.point)) << c.name;
    }
    // A degenerate ellipse falls back to A2 and parameter 0.
    EXPECT_EQ(CalcEllipsePointTowards(0, 0, 1, 1, 2, 2, 5, 0), 0.0);
    EXPECT_TRUE(SlotIs(0, {2, 2}));
}

TEST(CalcEllipseParameters, ArcSweepKeepsTheSenseOfTheDrawing)
{
    struct Case {
        const char *name;
        double a1x, a1y, a2x, a2y;  // centre at the origin
        double q1x, q1y, q2x, q2y;
        int ccw;
        double sweep;
    };
    const Case cases[] = {
        // A1 = (0, 1), A2 = (2, 0): the axis-2 parameter runs counter-clockwise.
        {"quarter ccw", 0, 1, 2, 0, 2, 0, 0, 1, 1, CALC_PI / 2},
        {"quarter cw", 0, 1, 2, 0, 2, 0, 0, 1, 0, -3 * CALC_PI / 2},
        {"equal parameters", 0, 1, 2, 0, 2, 0, 4, 0, 1, 0},
        // A1 = (0, -1): the parameter runs clockwise, so the flag turns round.
        // A quarter counter-clockwise in the drawing, a decreasing parameter.
        {"mirrored, ccw in the drawing", 0, -1, 2, 0, 2, 0, 0, 1, 1, -CALC_PI / 2},
        {"mirrored, cw in the drawing", 0, -1, 2, 0, 2, 0, 0, 1, 0, 3 * CALC_PI / 2},
        {"degenerate", 1, 0, 2, 0, 2, 0, 0, 1, 1, 0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(CalcEllipseArcSweep(0, 0, c.a1x, c.a1y, c.a2x, c.a2y, c.q1x, c.q1y, c.q2x, c.q2y, c.ccw),
                    c.sweep, 1e-9) << c.name;
}
