// Intersections of every pair of lines, circles, ellipses and Bezier curves.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/calc.h"
#include "geometry_expect.h"

namespace {

const double R3 = std::sqrt(3.0) / 2;  // sin 60 degrees

}  // namespace

TEST(CalcIntersectLines, LineLine)
{
    struct Case {
        const char *name;
        double x1, y1, x2, y2, x3, y3, x4, y4;
        int result;
        CalcPoint point, parameters;
    };
    const Case cases[] = {
        {"crossing", 0, 0, 1, 0, 2, -1, 2, 1, 1, {2, 0}, {2, 0.5}},
        {"slanted", 0, 0, 2, 2, 0, 2, 2, 0, 1, {1, 1}, {0.5, 0.5}},
        {"parallel", 0, 0, 1, 0, 0, 1, 5, 1, 0, {0, 0}, {CALC_NO_VALUE, CALC_NO_VALUE}},
        {"coincident", 0, 0, 1, 1, 2, 2, 3, 3, 0, {0, 0}, {CALC_NO_VALUE, CALC_NO_VALUE}},
        {"line of one point", 4, 4, 4, 4, 0, 0, 0, 1, 0, {4, 4}, {CALC_NO_VALUE, CALC_NO_VALUE}},
        // The parallel test is absolute on the cross product of the direction
        // vectors: just inside and just outside 1e-10.
        {"cross product 0.5e-10", 0, 0, 1, 0, 0, 1, 1, 1 + 0.5e-10, 0, {0, 0}, {CALC_NO_VALUE, CALC_NO_VALUE}},
        {"cross product 2e-10", 0, 0, 1, 0, 0, 1, 1, 1 + 2e-10, 1, {-0.5e10, 0}, {-0.5e10, -0.5e10}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcIntersectLineLine(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4), c.result) << c.name;
        const double tolerance = std::fabs(c.point.x) > 1e6 ? 1e3 : TIGHT;
        EXPECT_TRUE(SlotIs(0, c.point, tolerance)) << c.name;
        EXPECT_TRUE(SlotIs(1, c.parameters, tolerance)) << c.name;
    }
}

TEST(CalcIntersectLines, LineCircleWithItsTouchingBand)
{
    struct Case {
        const char *name;
        double x1, y1, x2, y2, cx, cy, px, py;
        int result;
        CalcPoint first, second, parameters;
    };
    const double N = CALC_NO_VALUE;
    const Case cases[] = {
        {"through the centre", -1, 0, 1, 0, 0, 0, 1, 0, 2, {-1, 0}, {1, 0}, {0, 1}},
        {"x axis, parameters", 0, 0, 1, 0, 0, 0, 0, 1, 2, {-1, 0}, {1, 0}, {-1, 1}},
        {"reversed line, ordered by parameter", 2, 0.5, -2, 0.5, 0, 0, 1, 0, 2, {R3, 0.5}, {-R3, 0.5}, {0.5 - R3 / 4, 0.5 + R3 / 4}},
        {"tangent", -1, 1, 1, 1, 0, 0, 1, 0, 1, {0, 1}, {0, 1}, {0.5, 0.5}},
        {"misses by 0.0009: inside the band", -1, 1.0009, 1, 1.0009, 0, 0, 1, 0, 1, {0, 1.0009}, {0, 1.0009}, {0.5, 0.5}},
        {"misses by 0.001: outside the band", -1, 1.001, 1, 1.001, 0, 0, 1, 0, 0, {0, 1.001}, {0, 1.001}, {N, N}},
        {"far away", 0, 5, 1, 5, 0, 0, 1, 0, 0, {0, 5}, {0, 5}, {N, N}},
        {"line of one point", 0.5, 0, 0.5, 0, 0, 0, 1, 0, 0, {0, 0}, {0, 0}, {N, N}},
        {"circle of radius 0", -1, 0, 1, 0, 0, 0, 0, 0, 0, {0, 0}, {0, 0}, {N, N}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcIntersectLineCircle(c.x1, c.y1, c.x2, c.y2, c.cx, c.cy, c.px, c.py), c.result) << c.name;
        EXPECT_TRUE(SlotIs(0, c.first)) << c.name;
        EXPECT_TRUE(SlotIs(1, c.second)) << c.name;
        EXPECT_TRUE(SlotIs(2, c.parameters)) << c.name;
    }
}

TEST(CalcIntersectLines, LineEllipseInTheUnitFrame)
{
    struct Case {
        const char *name;
        double x1, y1, x2, y2;
        double cx, cy, a1x, a1y, a2x, a2y;
        int result;
        CalcPoint first, second, parameters;
    };
    const double N = CALC_NO_VALUE;
    const double s = std::sqrt(0.5);
    const Case cases[] = {
        {"major axis", -5, 0, 5, 0, 0, 0, 2, 0, 0, 1, 2, {-2, 0}, {2, 0}, {0.3, 0.7}},
        {"conjugate axes given the other way", -5, 0, 5, 0, 0, 0, 0, 1, 2, 0, 2, {-2, 0}, {2, 0}, {0.3, 0.7}},
        {"tangent at the minor vertex", -1, 1, 1, 1, 0, 0, 2, 0, 0, 1, 1, {0, 1}, {0, 1}, {0.5, 0.5}},
        {"inside the band", -1, 1.0009, 1, 1.0009, 0, 0, 2, 0, 0, 1, 1, {0, 1.0009}, {0, 1.0009}, {0.5, 0.5}},
        {"outside the band", -1, 1.001, 1, 1.001, 0, 0, 2, 0, 0, 1, 0, {0, 1.001}, {0, 1.001}, {N, N}},
        {"turned by 45 degrees", 0, 0, 1, 1, 1, 1, 1 + 2 * s, 1 + 2 * s, 1 - s, 1 + s, 2, {1 - 2 * s, 1 - 2 * s}, {1 + 2 * s, 1 + 2 * s}, {1 - 2 * s, 1 + 2 * s}},
        {"degenerate ellipse", -5, 0, 5, 0, 1, 1, 2, 2, 3, 3, 0, {1, 1}, {1, 1}, {N, N}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcIntersectLineEllipse(c.x1, c.y1, c.x2, c.y2, c.cx, c.cy, c.a1x, c.a1y, c.a2x, c.a2y),
                  c.result) << c.name;
        EXPECT_TRUE(SlotIs(0, c.first)) << c.name;
        EXPECT_TRUE(SlotIs(1, c.second)) << c.name;
        EXPECT_TRUE(SlotIs(2, c.parameters)) << c.name;
    }
}

TEST(CalcIntersectCircles, CircleCircleWithItsTouchingBand)
{
    struct Case {
        const char *name;
        double c1x, c1y, p1x, p1y, c2x, c2y, p2x, p2y;
        int result;
        CalcPoint first, second;
    };
    const Case cases[] = {
        {"unit circles 1 apart", 0, 0, 1, 0, 1, 0, 2, 0, 2, {0.5, -R3}, {0.5, R3}},
        {"the other way round", 1, 0, 2, 0, 0, 0, 1, 0, 2, {0.5, R3}, {0.5, -R3}},
        {"touching from outside", 0, 0, 1, 0, 2, 0, 3, 0, 2, {1, 0}, {1, 0}},
        {"touching from inside", 0, 0, 2, 0, 1, 0, 2, 0, 2, {2, 0}, {2, 0}},
        {"apart by 0.000009: inside the band", 0, 0, 1, 0, 2.000009, 0, 3.000009, 0, 1, {1.0000045, 0}, {1.0000045, 0}},
        {"apart by 0.00002: outside the band", 0, 0, 1, 0, 2.00002, 0, 3.00002, 0, 0, {0, 0}, {0, 0}},
        {"radius 0 on the circle", 3, 0, 3, 0, 0, 0, 3, 0, 2, {3, 0}, {3, 0}},
        {"radius 0 just off the circle", 3.0001, 0, 3.0001, 0, 0, 0, 3, 0, 0, {3.0001, 0}, {3.0001, 0}},
        {"concentric", 1, 1, 2, 1, 1, 1, 4, 1, 0, {1, 1}, {1, 1}},
        {"equal", 1, 1, 2, 1, 1, 1, 2, 1, 0, {1, 1}, {1, 1}},
        {"one inside the other", 0, 0, 5, 0, 1, 0, 2, 0, 0, {0, 0}, {0, 0}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcIntersectCircleCircle(c.c1x, c.c1y, c.p1x, c.p1y, c.c2x, c.c2y, c.p2x, c.p2y), c.result)
            << c.name;
        EXPECT_TRUE(SlotIs(0, c.first, 1e-6)) << c.name;
        EXPECT_TRUE(SlotIs(1, c.second, 1e-6)) << c.name;
    }
}

// The curve solvers work on cubic pieces: results lie within the cubic
// approximation of circles and ellipses, and a crossing may be reported twice.
TEST(CalcIntersectCurves, PairsOfCurves)
{
    struct Case {
        const char *name;
        int (*solve)();
        std::vector<CalcPoint> points;
        int minSlots, maxSlots;
    };
    const double ce = std::sqrt(5.0 / 3), se = std::sqrt(7.0 / 12);  // circle 1.5 / ellipse 2x1
    const double ee = std::sqrt(0.8);                                 // ellipses 2x1 / 1x2
    const double t1 = (1 - std::sqrt(1.0 / 3)) / 2, t2 = (1 + std::sqrt(1.0 / 3)) / 2;
    const Case cases[] = {
        {"circle, ellipse: four crossings",
         [] { return CalcIntersectCircleEllipse(0, 0, 1.5, 0, 0, 0, 2, 0, 0, 1); },
         {{ce, se}, {-ce, se}, {-ce, -se}, {ce, -se}}, 8, 16},
        {"circle inside the ellipse", [] { return CalcIntersectCircleEllipse(0, 0, 0.9, 0, 0, 0, 2, 0, 0, 1); }, {}, 0, 0},
        {"circle around the ellipse", [] { return CalcIntersectCircleEllipse(0, 0, 2.5, 0, 0, 0, 2, 0, 0, 1); }, {}, 0, 0},
        {"circle and the same circle as an ellipse",
         [] { return CalcIntersectCircleEllipse(1, 2, 4, 2, 1, 2, 1, 5, -2, 2); }, {}, 0, 0},
        {"ellipse, ellipse: four crossings",
         [] { return CalcIntersectEllipseEllipse(0, 0, 2, 0, 0, 1, 0, 0, 1, 0, 0, 2); },
         {{ee, ee}, {-ee, ee}, {-ee, -ee}, {ee, -ee}}, 8, 16},
        {"the same ellipse twice", [] { return CalcIntersectEllipseEllipse(1, 1, 3, 1, 1, 2, 1, 1, 3, 1, 1, 2); }, {}, 0, 0},
        {"the same ellipse, axis points exchanged",
         [] { return CalcIntersectEllipseEllipse(1, 1, 3, 1, 1, 2, 1, 1, 1, 2, 3, 1); }, {}, 0, 0},
        {"the same ellipse by other conjugate semi-diameters",
         [] { return CalcIntersectEllipseEllipse(1, 1, 3, 1, 1, 2, 1, 1, -1, 1, 1, 0); }, {}, 0, 0},
        {"ellipses apart", [] { return CalcIntersectEllipseEllipse(0, 0, 2, 0, 0, 1, 10, 0, 12, 0, 10, 1); }, {}, 0, 0},
        {"Bezier, segment", [] { return CalcIntersectBezierLine(0, 0, 1, 1, 2, 1, 3, 0, 0, 0.5, 3, 0.5, 0); },
         {{3 * t1, 0.5}, {3 * t2, 0.5}}, 4, 4},
        {"Bezier, short segment: one crossing", [] { return CalcIntersectBezierLine(0, 0, 1, 1, 2, 1, 3, 0, 0, 0.5, 1, 0.5, 0); },
         {{3 * t1, 0.5}}, 2, 2},
        {"Bezier, endless line through the same segment",
         [] { return CalcIntersectBezierLine(0, 0, 1, 1, 2, 1, 3, 0, 0, 0.5, 1, 0.5, 1); },
         {{3 * t1, 0.5}, {3 * t2, 0.5}}, 4, 4},
        {"Bezier, tangent line", [] { return CalcIntersectBezierLine(0, 0, 1, 1, 2, 1, 3, 0, 0, 0.75, 3, 0.75, 0); },
         {{1.5, 0.75}}, 2, 4},
        {"Bezier, line just above the top", [] { return CalcIntersectBezierLine(0, 0, 1, 1, 2, 1, 3, 0, 0, 0.751, 3, 0.751, 0); },
         {}, 0, 0},
        {"Bezier, line of one point", [] { return CalcIntersectBezierLine(0, 0, 1, 1, 2, 1, 3, 0, 1, 0.5, 1, 0.5, 1); }, {}, 0, 0},
        {"Bezier, Bezier", [] { return CalcIntersectBezierBezier(0, 0, 1, 2, 2, 2, 3, 0, 0, 1, 1, 1, 2, 1, 3, 1); },
         {{3 * t1, 1}, {3 * t2, 1}}, 4, 8},
        {"the same Bezier twice", [] { return CalcIntersectBezierBezier(0, 0, 1, 2, 2, 2, 3, 0, 0, 0, 1, 2, 2, 2, 3, 0); }, {}, 0, 0},
        {"the same Bezier reversed", [] { return CalcIntersectBezierBezier(0, 0, 1, 2, 2, 2, 3, 0, 3, 0, 2, 2, 1, 2, 0, 0); }, {}, 0, 0},
        {"Beziers joined end to start", [] { return CalcIntersectBezierBezier(0, 0, 1, 1, 2, 1, 3, 0, 3, 0, 4, -1, 5, -1, 6, 0); }, {}, 0, 0},
        {"Bezier, circle", [] { return CalcIntersectCircleBezier(-2, 0.5, -1, 0.5, 1, 0.5, 2, 0.5, 0, 0, 1, 0); },
         {{-R3, 0.5}, {R3, 0.5}}, 4, 8},
        {"Bezier, ellipse", [] { return CalcIntersectEllipseBezier(-3, 0.5, -1, 0.5, 1, 0.5, 3, 0.5, 0, 0, 2, 0, 0, 1); },
         {{-2 * R3, 0.5}, {2 * R3, 0.5}}, 4, 8},
        {"Bezier beside the circle", [] { return CalcIntersectCircleBezier(-2, 2, -1, 2, 1, 2, 2, 2, 0, 0, 1, 0); }, {}, 0, 0},
    };
    for (const Case &c : cases) {
        FillBuffer(-7);
        const int slots = c.solve();
        EXPECT_GE(slots, c.minSlots) << c.name;
        EXPECT_LE(slots, c.maxSlots) << c.name;
        EXPECT_EQ(slots % 2, 0) << c.name;
        EXPECT_TRUE(SamePointSet(CurvePoints(slots), c.points, 1e-3)) << c.name;
    }
}

TEST(CalcIntersectCurves, ParametersOnBothCurves)
{
    // The straight cubic from (-2, 0.5) to (2, 0.5) runs evenly: parameter
    // (x + 2) / 4. The circle's parameters are local to its quarter pieces.
    const int slots = CalcIntersectCircleBezier(-2, 0.5, -2.0 / 3, 0.5, 2.0 / 3, 0.5, 2, 0.5, 0, 0, 1, 0);
    ASSERT_GE(slots, 4);
    for (int k = 0; k < slots; k += 2) {
        const CalcPoint p = g_CalcPoints[k], t = g_CalcPoints[k + 1];
        EXPECT_NEAR(t.x, (p.x + 2) / 4, 1e-3);
        EXPECT_GT(t.y, -0.01);
        EXPECT_LT(t.y, 1.01);
    }
    // Bezier and segment: the line parameter is the second number; the
    // first crossing comes first along the Bezier.
    ASSERT_EQ(CalcIntersectBezierLine(0, 0, 1, 1, 2, 1, 3, 0, 0, 0.5, 3, 0.5, 0), 4);
    const double t1 = (1 - std::sqrt(1.0 / 3)) / 2, t2 = (1 + std::sqrt(1.0 / 3)) / 2;
    EXPECT_TRUE(SlotIs(1, {t1, t1}, 1e-3));
    EXPECT_TRUE(SlotIs(3, {t2, t2}, 1e-3));
    // Endless: the line parameter is not limited to the segment.
    ASSERT_EQ(CalcIntersectBezierLine(0, 0, 1, 1, 2, 1, 3, 0, 0, 0.5, 1, 0.5, 1), 4);
    EXPECT_NEAR(g_CalcPoints[3].y, 3 * t2, 1e-3);
}

// The leaves accept crossings up to 0.001 beyond the ends of their chords.
TEST(CalcIntersectCurves, LeafChordsAcceptASmallSlack)
{
    struct Case {
        double x;  // where a vertical line crosses the chord (0,0)-(1,0)
        bool hit;
    };
    const Case cases[] = {{0.5, true}, {1.0009, true}, {1.0011, false}, {-0.0009, true}, {-0.0011, false}};
    const BezierPiece chord{{{0, 0}, {1.0 / 3, 0}, {2.0 / 3, 0}, {1, 0}}, 0.25, 0.5};
    const int leaf = 12;
    for (const Case &c : cases) {
        const CalcLineRecord line{{c.x, -1}, {c.x, 1}, {0, 2}, c.x, -1, c.x, 1};
        EXPECT_EQ(CalcIntersectBezierLineCore(&chord, &line, 0, leaf, 1), c.hit ? 2 : 0) << c.x;
        if (c.hit) {
            EXPECT_TRUE(SlotIs(0, {c.x, 0})) << c.x;
            EXPECT_TRUE(SlotIs(1, {0.25 + 0.25 * c.x, 0.5})) << c.x;
        }
        // A slanted piece through (x, 0) whose box overlaps the chord's box.
        const BezierPiece slanted{{{c.x - 1, -1}, {c.x - 1.0 / 3, -1.0 / 3}, {c.x + 1.0 / 3, 1.0 / 3}, {c.x + 1, 1}}, 0, 1};
        EXPECT_EQ(CalcIntersectBezierBezierCore(&chord, &slanted, 0, leaf), c.hit ? 2 : 0) << c.x;
        if (c.hit) {
            EXPECT_TRUE(SlotIs(1, {0.25 + 0.25 * c.x, 0.5})) << c.x;
        }
    }
}

// No curve solver writes beyond the 32 slots of the buffer.
TEST(CalcIntersectCurves, ResultBufferHoldsAtMostSixteenCrossings)
{
    const BezierPiece chord{{{0, 0}, {1.0 / 3, 0}, {2.0 / 3, 0}, {1, 0}}, 0, 1};
    const BezierPiece vertical{{{0.5, -1}, {0.5, -0.5}, {0.5, 0.5}, {0.5, 1}}, 0, 1};
    const CalcLineRecord line{{0.5, -1}, {0.5, 1}, {0, 2}, 0.5, -1, 0.5, 1};
    struct Case {
        int used, after;
    };
    for (const Case &c : {Case{28, 30}, Case{29, 31}, Case{30, 32}, Case{31, 31}, Case{32, 32}}) {
        FillBuffer(-7);
        EXPECT_EQ(CalcIntersectBezierBezierCore(&chord, &vertical, c.used, 12), c.after) << c.used;
        EXPECT_EQ(CalcIntersectBezierLineCore(&chord, &line, c.used, 12, 0), c.after) << c.used;
    }
    // Two nearly equal ellipses cross at many leaves: the report stops at 32
    // slots (16 crossings), every one of them a point of both figures.
    const int slots = CalcIntersectEllipseEllipse(0, 0, 2, 0, 0, 1, 0, 0, 2, 0, 0, 1 + 1e-7);
    EXPECT_EQ(slots, CALC_POINT_SLOTS);
    for (const CalcPoint &p : CurvePoints(slots))
        EXPECT_NEAR(std::hypot(p.x / 2, p.y), 1.0, 3e-4);
}

// Near tangency the curve solvers see the figures as their leaf chords: a
// crossing by 1e-4 is found (in the right place), a miss by 1e-4 is not.
TEST(CalcIntersectCurves, JustCrossingAndJustApart)
{
    struct Case {
        const char *name;
        int (*crossing)();
        int (*apart)();
        std::vector<CalcPoint> points;
    };
    const double xc = std::sqrt(1.0001 * 1.0001 - 1) / std::sqrt(0.75);  // circle 1.0001 / ellipse 2x1
    const double xl = std::sqrt(1 - 0.9999 * 0.9999);                     // unit circle / line y = 0.9999
    const Case cases[] = {
        {"circle and ellipse touching inside",
         [] { return CalcIntersectCircleEllipse(0, 0, 1.0001, 0, 0, 0, 2, 0, 0, 1); },
         [] { return CalcIntersectCircleEllipse(0, 0, 0.9999, 0, 0, 0, 2, 0, 0, 1); },
         {{xc, 1}, {-xc, 1}, {xc, -1}, {-xc, -1}}},
        {"ellipses touching outside",
         [] { return CalcIntersectEllipseEllipse(0, 0, 2, 0, 0, 1, 3.9999, 0, 5.9999, 0, 3.9999, 1); },
         [] { return CalcIntersectEllipseEllipse(0, 0, 2, 0, 0, 1, 4.0001, 0, 6.0001, 0, 4.0001, 1); },
         {{1.99995, 0.00714}, {1.99995, -0.00714}}},
        {"circle and straight Bezier",
         [] { return CalcIntersectCircleBezier(-2, 0.9999, -2.0 / 3, 0.9999, 2.0 / 3, 0.9999, 2, 0.9999, 0, 0, 1, 0); },
         [] { return CalcIntersectCircleBezier(-2, 1.0001, -2.0 / 3, 1.0001, 2.0 / 3, 1.0001, 2, 1.0001, 0, 0, 1, 0); },
         {{xl, 0.9999}, {-xl, 0.9999}}},
        {"ellipse and straight Bezier",
         [] { return CalcIntersectEllipseBezier(-3, 0.9999, -1, 0.9999, 1, 0.9999, 3, 0.9999, 0, 0, 2, 0, 0, 1); },
         [] { return CalcIntersectEllipseBezier(-3, 1.0001, -1, 1.0001, 1, 1.0001, 3, 1.0001, 0, 0, 2, 0, 0, 1); },
         {{2 * xl, 0.9999}, {-2 * xl, 0.9999}}},
        {"arches touching at their tops",
         [] { return CalcIntersectBezierBezier(0, 0, 1, 1, 2, 1, 3, 0, 0, 1.4999, 1, 0.4999, 2, 0.4999, 3, 1.4999); },
         [] { return CalcIntersectBezierBezier(0, 0, 1, 1, 2, 1, 3, 0, 0, 1.5001, 1, 0.5001, 2, 0.5001, 3, 1.5001); },
         {{1.5 - 0.01224, 0.74995}, {1.5 + 0.01224, 0.74995}}},
    };
    for (const Case &c : cases) {
        const int slots = c.crossing();
        EXPECT_EQ(slots, 2 * static_cast<int>(c.points.size())) << c.name;
        EXPECT_TRUE(SamePointSet(CurvePoints(slots), c.points, 1e-3)) << c.name;
        EXPECT_EQ(c.apart(), 0) << c.name;
    }
}
