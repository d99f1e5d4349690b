// Bad and degenerate input: a count of 0 or the documented result, and never
// anything undefined left in the result buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "geometry/calc.h"
#include "geometry/matrix.h"
#include "geometry_expect.h"

namespace {

const double BAD_VALUES[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), 1e101, -1e101};

struct Solver {
    const char *name;
    int (*solve)(double bad);
};

// Every solver with one coordinate replaced by the bad value.
const Solver SOLVERS[] = {
    {"LineLine", [](double b) { return CalcIntersectLineLine(0, 0, 1, 0, 2, -1, 2, b); }},
    {"LineCircle", [](double b) { return CalcIntersectLineCircle(-1, 0, 1, 0, 0, 0, b, 0); }},
    {"LineEllipse", [](double b) { return CalcIntersectLineEllipse(-5, 0, 5, 0, b, 0, 2, 0, 0, 1); }},
    {"CircleCircle", [](double b) { return CalcIntersectCircleCircle(0, 0, 1, 0, 1, 0, 2, b); }},
    {"CircleEllipse", [](double b) { return CalcIntersectCircleEllipse(0, 0, 1.5, 0, 0, 0, 2, 0, 0, b); }},
    {"EllipseEllipse", [](double b) { return CalcIntersectEllipseEllipse(0, 0, 2, 0, 0, 1, 0, 0, 1, 0, b, 2); }},
    {"BezierLine", [](double b) { return CalcIntersectBezierLine(0, 0, 1, 1, 2, 1, 3, 0, 0, 0.5, b, 0.5, 0); }},
    {"BezierLine endless", [](double b) { return CalcIntersectBezierLine(0, 0, 1, b, 2, 1, 3, 0, 0, 0.5, 3, 0.5, 1); }},
    {"BezierBezier", [](double b) { return CalcIntersectBezierBezier(0, 0, 1, 2, 2, 2, 3, 0, 0, 1, 1, 1, 2, 1, 3, b); }},
    {"CircleBezier", [](double b) { return CalcIntersectCircleBezier(-2, 0.5, -1, 0.5, 1, 0.5, 2, 0.5, b, 0, 1, 0); }},
    {"EllipseBezier", [](double b) { return CalcIntersectEllipseBezier(-3, 0.5, -1, 0.5, 1, 0.5, 3, 0.5, 0, 0, 2, b, 0, 1); }},
    {"BisectorPoint", [](double b) { return CalcBisectorPoint(0, 0, b, 0, 0, 2); }},
    {"Circumcircle", [](double b) { return CalcGeoCircumcircle(0, 0, 2, 0, 0, b); }},
    {"Incircle", [](double b) { return CalcGeoIncircle(0, 0, 4, 0, b, 3); }},
    {"BisectorOfLines", [](double b) {
         const CalcPoint p0{0, 0}, p1{1, 0}, p2{5, 1}, p3{0, 0}, p4{0, 1}, p5{1, b};
         return CalcBisectorOfLines(&p0, &p1, &p2, &p3, &p4, &p5);
     }},
    {"PerpendicularFootLine", [](double b) { return CalcPerpendicularFootLine(0, 0, 1, 0, b, 1); }},
    {"PerpendicularFootBezier", [](double b) { return CalcPerpendicularFootBezier(0, 0, 1, 0, 2, 0, 3, 0, 1, b); }},
    {"CirclePerpendicularFeet", [](double b) { return CalcCirclePerpendicularFeet(0, 0, 2, 0, 0, b); }},
    {"EllipsePerpendicularFeet", [](double b) { return CalcEllipsePerpendicularFeet(0, 0, 3, 0, 0, b, 10, 0); }},
    {"CircleTopBottom", [](double b) { return CalcCircleTopBottom(0, b, 1, 0); }},
    {"CircleLeftRight", [](double b) { return CalcCircleLeftRight(b, 0, 1, 0); }},
    {"CircleExtremesAtAngle", [](double b) { return CalcCircleExtremesAtAngle(0, 0, 1, 0, b); }},
    {"EllipseTopBottom", [](double b) { return CalcEllipseTopBottom(0, 0, 2, 0, 0, b); }},
    {"EllipseLeftRight", [](double b) { return CalcEllipseLeftRight(0, 0, b, 0, 0, 1); }},
    {"EllipseExtremesAtAngle", [](double b) { return CalcEllipseExtremesAtAngle(0, 0, 2, 0, 0, 1, b); }},
    {"TangentPointsCircle", [](double b) { return CalcTangentPointsCircle(0, 0, 1, 0, b, 0); }},
    {"TangentPointsEllipse", [](double b) { return CalcTangentPointsEllipse(0, 0, 2, 0, 0, 1, 4, b); }},
    {"NormalVector", [](double b) { return CalcNormalVector(0, 0, b, 1); }},
    {"EllipseConjugateVector", [](double b) { return CalcEllipseConjugateVector(0, 0, 2, 0, 0, 1, b, 0); }},
    {"TangentsCircleCircle", [](double b) { return CalcTangentsCircleCircle(0, 0, 1, 0, 4, 0, b, 0); }},
    {"TangentsCircleEllipse", [](double b) { return CalcTangentsCircleEllipse(0, 0, 1, 0, 5, 0, 7, b, 5, 1); }},
    {"TangentsEllipseCircle", [](double b) { return CalcTangentsEllipseCircle(5, 0, 7, 0, 5, 1, 0, b, 1, 0); }},
    {"TangentsEllipseEllipse", [](double b) { return CalcTangentsEllipseEllipse(0, 0, 2, 0, 0, 1, 6, 1, 6, 3, b, 1); }},
    {"GeoPerpendicular", [](double b) {
         GeoObject g;
         std::memset(&g, 0, sizeof g);
         g.type = GEO_CIRCLE;
         g.d[2] = b;
         return CalcGeoPerpendicular(&g, 3, 3);
     }},
    {"GeoTangent", [](double b) {
         GeoObject c, p;
         std::memset(&c, 0, sizeof c);
         std::memset(&p, 0, sizeof p);
         c.type = GEO_CIRCLE;
         c.d[2] = 1;
         p.type = GEO_MARK;
         p.d[0] = b;
         return CalcGeoTangent(&c, &p);
     }},
};

}  // namespace

TEST(CalcBadInput, SolversRejectValuesThatAreNotCoordinates)
{
    for (const Solver &s : SOLVERS) {
        for (double bad : BAD_VALUES) {
            FillBuffer(std::numeric_limits<double>::quiet_NaN());
            EXPECT_EQ(s.solve(bad), 0) << s.name << " with " << bad;
            EXPECT_TRUE(BufferIsClean()) << s.name << " with " << bad;
        }
        // The same call with a usable value still works (the table is sound).
        FillBuffer(0);
        s.solve(1.0);
        EXPECT_TRUE(BufferIsClean()) << s.name;
    }
}

TEST(CalcBadInput, MeasuringFunctionsGiveTheirNothingValue)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double bad : BAD_VALUES) {
        const CalcPoint p{bad, 0}, q{1, 1};
        EXPECT_EQ(CalcDistance(&p, &q), CALC_NO_VALUE);
        EXPECT_EQ(CalcDistancePointLine(0, 0, 1, 0, bad, 1), CALC_NO_VALUE);
        EXPECT_EQ(CalcDistancePointBezier(0, 0, 1, 1, 2, 1, 3, bad, 1, 1), CALC_NO_VALUE);
        EXPECT_EQ(CalcArcSweep(0, 0, 1, 0, 0, bad, 1), 0.0);
        EXPECT_EQ(CalcArcFraction(0, 0, 1, 0, 0, 1, bad, 1, 1), CALC_NO_VALUE);
        EXPECT_EQ(CalcArcParameter(0, 0, 1, 0, 0, 1, bad, 1, 1), 0.0);
        EXPECT_EQ(CalcAngleInArc(0, 0, 1, 0, 0, 1, bad, 1, 1), 0);
        EXPECT_EQ(CalcCurvature(1, bad, 0, 0, 2, 0), 0.0);
        EXPECT_EQ(CalcEllipseArcSweep(0, 0, 0, 1, 2, 0, 2, 0, bad, 1, 1), 0.0);
        EXPECT_EQ(CalcBezierPointSide(0, 0, 1, 1, 2, 1, 3, 0, bad, 2), 0);
        FillBuffer(nan);
        EXPECT_EQ(CalcCirclePointTowards(0, 0, 1, 0, bad, 1), 0.0);
        EXPECT_TRUE(BufferIsClean());
        FillBuffer(nan);
        EXPECT_EQ(CalcEllipsePointTowards(0, 0, 0, 1, 2, 0, bad, 1), 0.0);
        EXPECT_TRUE(BufferIsClean());
    }
    // Vectors may be differences of far coordinates: only NaN and infinity
    // have no direction.
    EXPECT_EQ(CalcAngleOfVector(nan, 1), 0.0);
    EXPECT_EQ(CalcAngleOfVector(std::numeric_limits<double>::infinity(), 1), 0.0);
    EXPECT_NEAR(CalcAngleOfVector(-2e100, 0), CALC_PI, TIGHT);
    EXPECT_EQ(CalcSameDirection(nan, 0, 1, 0), 0);
}

TEST(CalcBadInput, PiecesFromBadInputAreEmpty)
{
    BezierPiece pieces[4];
    EXPECT_EQ(CalcCircleToBezier(std::numeric_limits<double>::quiet_NaN(), 0, 1, 0, pieces), 0);
    for (const BezierPiece &piece : pieces)
        for (const CalcPoint &p : piece.p)
            EXPECT_TRUE(Near(p, {0, 0}, 0));
    EXPECT_EQ(CalcEllipseToBezier(0, 0, 1e101, 0, 0, 1, pieces), 0);
    EXPECT_EQ(CalcCircleToBezier(0, 0, 1, 0, nullptr), 0);

    // NaN parameters of the splits count as 0.
    const BezierPiece arch{{{0, 0}, {1, 1}, {2, 1}, {3, 0}}, 0, 1};
    BezierPiece before, middle, after;
    CalcBezierSplitAt(&arch, std::numeric_limits<double>::quiet_NaN(), &before, &after);
    EXPECT_TRUE(Near(before.p[3], {0, 0}, 0));
    EXPECT_TRUE(Near(after.p[1], {1, 1}, 0));
    CalcBezierSubrange(&arch, std::numeric_limits<double>::quiet_NaN(), 0.5, &before, &middle, &after);
    EXPECT_TRUE(Near(middle.p[0], {0, 0}, TIGHT));
    EXPECT_TRUE(Near(middle.p[3], {1.5, 0.75}, TIGHT));
}

TEST(CalcBadInput, RecursiveCoresTolerateBadArguments)
{
    const BezierPiece chord{{{0, 0}, {1.0 / 3, 0}, {2.0 / 3, 0}, {1, 0}}, 0, 1};
    const BezierPiece vertical{{{0.5, -1}, {0.5, -0.5}, {0.5, 0.5}, {0.5, 1}}, 0, 1};
    const CalcLineRecord line{{0.5, -1}, {0.5, 1}, {0, 2}, 0.5, -1, 0.5, 1};
    FillBuffer(-7);
    // A negative slot count would write before the buffer: nothing happens.
    EXPECT_EQ(CalcIntersectBezierBezierCore(&chord, &vertical, -2, 12), -2);
    EXPECT_EQ(CalcIntersectBezierLineCore(&chord, &line, -2, 12, 1), -2);
    EXPECT_EQ(CalcIntersectBezierBezierCore(nullptr, &vertical, 0, 0), 0);
    EXPECT_EQ(CalcIntersectBezierLineCore(&chord, nullptr, 0, 0, 1), 0);
    EXPECT_TRUE(SlotIs(0, {-7, -7}, 0));
    // A negative depth counts as the top level, not as a deeper recursion.
    const CalcLineRecord off{{0.3, -1}, {0.3, 1}, {0, 2}, 0.3, -1, 0.3, 1};
    EXPECT_EQ(CalcIntersectBezierLineCore(&chord, &off, 0, -1000, 1), 2);
    EXPECT_TRUE(SlotIs(0, {0.3, 0}));
    double best = CALC_NO_VALUE, t = 0;
    int side = 0;
    CalcBezierNearest(&chord, 0.5, 1, &best, &t, &side, -1000);
    EXPECT_NEAR(best, 1, 1e-9);
    CalcBezierNearest(nullptr, 0.5, 1, &best, &t, &side, 0);
    double frame[4] = {CALC_NO_VALUE, CALC_NO_VALUE, -CALC_NO_VALUE, -CALC_NO_VALUE};
    CalcPoint points[4] = {};
    CalcBezierExtremes(&chord, frame, points, -1000);
    EXPECT_NEAR(frame[2], 1, TIGHT);
    EXPECT_EQ(CalcGeoPerpendicular(nullptr, 0, 0), 0);
    EXPECT_EQ(CalcGeoTangent(nullptr, nullptr), 0);
    EXPECT_EQ(CalcBisectorOfLines(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

// Degenerate but usable figures give their documented result, and whatever
// a solver writes is a number.
TEST(CalcBadInput, DegenerateFiguresGiveTheDocumentedResult)
{
    struct Case {
        const char *name;
        int (*solve)();
        int result;
    };
    const Case cases[] = {
        {"zero-length lines", [] { return CalcIntersectLineLine(1, 1, 1, 1, 2, 2, 2, 2); }, 0},
        {"zero-length line and circle", [] { return CalcIntersectLineCircle(0, 0, 0, 0, 0, 0, 1, 0); }, 0},
        {"line through a circle of radius 0", [] { return CalcIntersectLineCircle(-1, 0, 1, 0, 0, 0, 0, 0); }, 0},
        {"ellipse of size 0", [] { return CalcIntersectLineEllipse(-1, 0, 1, 0, 0, 0, 0, 0, 0, 0); }, 0},
        {"circles of radius 0, same centre", [] { return CalcIntersectCircleCircle(1, 1, 1, 1, 1, 1, 1, 1); }, 0},
        {"circles of radius 0 apart", [] { return CalcIntersectCircleCircle(0, 0, 0, 0, 1, 0, 1, 0); }, 0},
        {"circle of radius 0 and ellipse", [] { return CalcIntersectCircleEllipse(0, 0, 0, 0, 0, 0, 2, 0, 0, 1); }, 0},
        {"ellipses of size 0", [] { return CalcIntersectEllipseEllipse(0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1); }, 0},
        {"flat ellipses apart", [] { return CalcIntersectEllipseEllipse(0, 0, 2, 0, 4, 0, 10, 10, 10, 12, 10, 14); }, 0},
        {"Bezier of one point and a line", [] { return CalcIntersectBezierLine(1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 2, 2, 1); }, 0},
        {"Beziers of one point", [] { return CalcIntersectBezierBezier(1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1); }, 0},
        {"Bezier and a circle of radius 0", [] { return CalcIntersectCircleBezier(-1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0); }, 0},
        {"all corners equal", [] { return CalcGeoCircumcircle(1, 1, 1, 1, 1, 1); }, 0},
        {"incircle of one point", [] { return CalcGeoIncircle(1, 1, 1, 1, 1, 1); }, 0},
        {"bisector of one point", [] { return CalcBisectorPoint(1, 1, 1, 1, 1, 1); }, 0},
        {"feet on a circle of radius 0", [] { return CalcCirclePerpendicularFeet(0, 0, 0, 0, 1, 1); }, 2},
        {"feet from the centre", [] { return CalcCirclePerpendicularFeet(0, 0, 1, 0, 0, 0); }, 0},
        {"tangent points on a circle of radius 0", [] { return CalcTangentPointsCircle(0, 0, 0, 0, 2, 0); }, 2},
        {"tangent points on a flat ellipse", [] { return CalcTangentPointsEllipse(0, 0, 1, 0, 2, 0, 5, 5); }, 0},
        {"tangents of circles of radius 0", [] { return CalcTangentsCircleCircle(0, 0, 0, 0, 3, 0, 3, 0); }, 4},
        {"tangents of equal points", [] { return CalcTangentsCircleCircle(0, 0, 0, 0, 0, 0, 0, 0); }, 0},
        {"tangents of a flat ellipse", [] { return CalcTangentsCircleEllipse(0, 0, 1, 0, 5, 0, 6, 0, 7, 0); }, 0},
        {"tangents of flat ellipses", [] { return CalcTangentsEllipseEllipse(0, 0, 1, 0, 2, 0, 5, 0, 6, 1, 7, 2); }, 0},
        {"extremes of a flat ellipse", [] { return CalcEllipseExtremesAtAngle(0, 0, 1, 0, 2, 0, 0.3); }, 2},
        {"conjugate of a flat ellipse", [] { return CalcEllipseConjugateVector(0, 0, 1, 1, 2, 2, 1, 1); }, 0},
        {"nearly flat ellipse seen from far away", [] { return CalcIntersectLineEllipse(-1e100, 1, 1e100, 1, 0, 0, 1e-100, 0, 0, 1e-100); }, 0},
    };
    for (const Case &c : cases) {
        FillBuffer(0);
        EXPECT_EQ(c.solve(), c.result) << c.name;
        EXPECT_TRUE(BufferIsClean()) << c.name;
    }
}

TEST(CalcBadInput, MatricesWithBadValues)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Matrix bad{nan, 0, 0, 1, 5, nan};
    double sy = -1, ratio = -1, rot = -1, dist = -1, mx = -1, my = -1;
    EXPECT_EQ(MatrixSeparate(&bad, &sy, &ratio, &rot, &dist, &mx, &my), 0);
    EXPECT_EQ(sy, 0.0);
    EXPECT_EQ(ratio, 1.0);
    EXPECT_EQ(rot, 0.0);
    EXPECT_EQ(dist, 0.0);
    EXPECT_EQ(mx, 5.0);
    EXPECT_EQ(my, 0.0);
    Matrix out{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(MatrixInvert(&bad, &out), 0);
    EXPECT_EQ(out.a, 1.0);
    EXPECT_EQ(MatrixInvert(nullptr, &out), 0);
    // Null records are ignored.
    MatrixInit(nullptr);
    MatrixRotate(nullptr, 1);
    MatrixMultiply(nullptr, &out);
    MatrixTransformRect(nullptr, nullptr, nullptr);
    EXPECT_EQ(MatrixIsDistorted(nullptr), 0);
}
