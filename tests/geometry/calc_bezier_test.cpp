// Bezier pieces: splitting, sub-ranges, circles and ellipses as pieces,
// nearest points and perpendicular feet.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/calc.h"
#include "geometry_expect.h"

namespace {

CalcPoint Eval(const BezierPiece &b, double t)
{
    const double s = 1 - t;
    const double w0 = s * s * s, w1 = 3 * s * s * t, w2 = 3 * s * t * t, w3 = t * t * t;
    return CalcPoint{w0 * b.p[0].x + w1 * b.p[1].x + w2 * b.p[2].x + w3 * b.p[3].x,
                     w0 * b.p[0].y + w1 * b.p[1].y + w2 * b.p[2].y + w3 * b.p[3].y};
}

// An S-shaped curve over a range of a larger curve.
const BezierPiece S_CURVE{{{0, 0}, {1, 2}, {3, -2}, {4, 0}}, 0.2, 0.6};

}  // namespace

TEST(CalcBezier, SplitsKeepTheCurveAndItsParameterRange)
{
    struct Case {
        const char *name;
        double t;           // split parameter (0.5 for CalcBezierSplit)
        bool middleSplit;
        double rangeMiddle; // parameter of the whole curve at the split
    };
    const Case cases[] = {
        {"middle", 0.5, true, 0.4},
        {"at 0.5", 0.5, false, 0.4},
        {"at 0.25", 0.25, false, 0.3},
        {"at 0.9", 0.9, false, 0.56},
    };
    for (const Case &c : cases) {
        BezierPiece left, right;
        if (c.middleSplit)
            CalcBezierSplit(&S_CURVE, &left, &right);
        else
            CalcBezierSplitAt(&S_CURVE, c.t, &left, &right);
        EXPECT_NEAR(left.t0, 0.2, TIGHT) << c.name;
        EXPECT_NEAR(left.t1, c.rangeMiddle, TIGHT) << c.name;
        EXPECT_NEAR(right.t0, c.rangeMiddle, TIGHT) << c.name;
        EXPECT_NEAR(right.t1, 0.6, TIGHT) << c.name;
        for (double s : {0.0, 0.3, 0.7, 1.0}) {
            EXPECT_TRUE(Near(Eval(left, s), Eval(S_CURVE, s * c.t), TIGHT)) << c.name << " left " << s;
            EXPECT_TRUE(Near(Eval(right, s), Eval(S_CURVE, c.t + s * (1 - c.t)), TIGHT)) << c.name << " right " << s;
        }
    }
}

TEST(CalcBezier, SplitOutsideThePieceCollapsesOneSide)
{
    struct Case {
        double t;
        bool leftCollapsed;
    };
    for (const Case &c : {Case{-1, true}, Case{0, true}, Case{1, false}, Case{2.5, false}}) {
        BezierPiece left, right;
        CalcBezierSplitAt(&S_CURVE, c.t, &left, &right);
        const BezierPiece &collapsed = c.leftCollapsed ? left : right;
        const BezierPiece &copy = c.leftCollapsed ? right : left;
        const CalcPoint end = c.leftCollapsed ? S_CURVE.p[0] : S_CURVE.p[3];
        const double at = c.leftCollapsed ? S_CURVE.t0 : S_CURVE.t1;
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(Near(collapsed.p[i], end, 0)) << "t " << c.t;
            EXPECT_TRUE(Near(copy.p[i], S_CURVE.p[i], 0)) << "t " << c.t;
        }
        EXPECT_EQ(collapsed.t0, at);
        EXPECT_EQ(collapsed.t1, at);
        EXPECT_EQ(copy.t0, S_CURVE.t0);
        EXPECT_EQ(copy.t1, S_CURVE.t1);
    }
    // A null output is not written.
    BezierPiece right;
    CalcBezierSplitAt(&S_CURVE, 0.5, nullptr, &right);
    EXPECT_NEAR(right.t0, 0.4, TIGHT);
}

TEST(CalcBezier, SubrangeCutsThreePieces)
{
    struct Case {
        double t1, t2, lo, hi;
    };
    const Case cases[] = {
        {0.25, 0.75, 0.25, 0.75},
        {0.75, 0.25, 0.25, 0.75},  // order does not matter
        {-1, 0.5, 0, 0.5},         // clamped to the piece
        {0.5, 3, 0.5, 1},
    };
    for (const Case &c : cases) {
        BezierPiece before, middle, after;
        CalcBezierSubrange(&S_CURVE, c.t1, c.t2, &before, &middle, &after);
        EXPECT_TRUE(Near(middle.p[0], Eval(S_CURVE, c.lo), TIGHT)) << c.t1 << ".." << c.t2;
        EXPECT_TRUE(Near(middle.p[3], Eval(S_CURVE, c.hi), TIGHT)) << c.t1 << ".." << c.t2;
        EXPECT_TRUE(Near(Eval(middle, 0.5), Eval(S_CURVE, (c.lo + c.hi) / 2), TIGHT));
        EXPECT_NEAR(middle.t0, 0.2 + 0.4 * c.lo, TIGHT);
        EXPECT_NEAR(middle.t1, 0.2 + 0.4 * c.hi, TIGHT);
        EXPECT_TRUE(Near(before.p[3], middle.p[0], TIGHT));
        EXPECT_TRUE(Near(after.p[0], middle.p[3], TIGHT));
        EXPECT_TRUE(Near(after.p[3], S_CURVE.p[3], TIGHT));
    }
}

TEST(CalcBezier, CirclesAndEllipsesAsFourPieces)
{
    struct Case {
        const char *name;
        bool circle;
        double cx, cy, a1x, a1y, a2x, a2y;  // circle: centre and circle point
        double r1, r2;                       // semi-axes, for the check of points
    };
    const Case cases[] = {
        {"circle", true, 1, 2, 4, 6, 0, 0, 5, 5},
        {"ellipse", false, 1, 2, 4, 2, 1, 3, 3, 1},
    };
    for (const Case &c : cases) {
        BezierPiece pieces[4];
        if (c.circle)
            ASSERT_EQ(CalcCircleToBezier(c.cx, c.cy, c.a1x, c.a1y, pieces), 1);
        else
            ASSERT_EQ(CalcEllipseToBezier(c.cx, c.cy, c.a1x, c.a1y, c.a2x, c.a2y, pieces), 1);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(pieces[i].t0, 0.0);
            EXPECT_EQ(pieces[i].t1, 1.0);
            EXPECT_TRUE(Near(pieces[i].p[3], pieces[(i + 1) % 4].p[0], TIGHT)) << c.name << " joint " << i;
            // Every point of a piece lies on the figure within the cubic's
            // approximation error (below 0.03 percent of the radius).
            for (double s : {0.0, 0.25, 0.5, 0.75}) {
                const CalcPoint p = Eval(pieces[i], s);
                const double e = std::hypot((p.x - c.cx) / c.r1, (p.y - c.cy) / c.r2);
                EXPECT_NEAR(e, 1.0, 3e-4) << c.name << " piece " << i << " at " << s;
            }
        }
        // Counter-clockwise from the first point (circle: from (cx + r, cy)).
        EXPECT_TRUE(Near(pieces[0].p[0], c.circle ? CalcPoint{c.cx + 5, c.cy} : CalcPoint{4, 2}, TIGHT));
        EXPECT_TRUE(Near(pieces[1].p[0], c.circle ? CalcPoint{c.cx, c.cy + 5} : CalcPoint{1, 3}, TIGHT));
    }
    // A circle of radius 0 collapses onto its centre.
    BezierPiece pieces[4];
    CalcCircleToBezier(3, 4, 3, 4, pieces);
    for (const BezierPiece &piece : pieces)
        for (const CalcPoint &p : piece.p)
            EXPECT_TRUE(Near(p, {3, 4}, 0));
}

TEST(CalcBezier, NearestPointDistanceAndSide)
{
    struct Case {
        const char *name;
        double px, py;
        double distance;  // negative: not checked
        int side;
    };
    // The arch (0,0) (1,1) (2,1) (3,0): y = 3t(1-t) along x = 3t; its top is (1.5, 0.75).
    const Case cases[] = {
        {"on the curve", 1.5, 0.75, 0, 0},
        {"straight below the top", 1.5, 0.5, 0.25, 0},
        {"just above, left of the curve", 1.2, 0.73, -1, 1},
        {"below, right of the curve", 1.2, 0.3, -1, 0},
        {"beyond the start", -3, -4, 5, 0},
        {"beyond the end", 6, -4, 5, 0},
        // The nearest point is an end point and no chord improved on it: 0.
        {"above the top, nearest at a joint", 1.5, 2, 1.25, 0},
    };
    for (const Case &c : cases) {
        if (c.distance >= 0) {
            EXPECT_NEAR(CalcDistancePointBezier(0, 0, 1, 1, 2, 1, 3, 0, c.px, c.py), c.distance, 1e-4) << c.name;
        }
        EXPECT_EQ(CalcBezierPointSide(0, 0, 1, 1, 2, 1, 3, 0, c.px, c.py), c.side) << c.name;
    }
}

TEST(CalcBezier, NearestSearchMapsPieceParametersToTheCurve)
{
    // The right half of the arch, over [0.5, 1] of the whole curve, finds the
    // same nearest point as the whole curve.
    const BezierPiece whole{{{0, 0}, {1, 1}, {2, 1}, {3, 0}}, 0.0, 1.0};
    BezierPiece left, right;
    CalcBezierSplit(&whole, &left, &right);
    for (const CalcPoint p : {CalcPoint{3, 0.1}, CalcPoint{2.5, 1}, CalcPoint{2, 0}}) {
        double bestWhole = CALC_NO_VALUE, tWhole = 0, bestHalf = CALC_NO_VALUE, tHalf = 0;
        int sideWhole = 0, sideHalf = 0;
        CalcBezierNearest(&whole, p.x, p.y, &bestWhole, &tWhole, &sideWhole, 0);
        CalcBezierNearest(&right, p.x, p.y, &bestHalf, &tHalf, &sideHalf, 0);
        EXPECT_NEAR(std::sqrt(bestHalf), std::sqrt(bestWhole), 1e-4) << p.x << ", " << p.y;
        EXPECT_NEAR(tHalf, tWhole, 4.0 / 256) << p.x << ", " << p.y;
        EXPECT_GE(tHalf, 0.5);
        EXPECT_TRUE(Near(Eval(whole, tHalf), p, std::sqrt(bestHalf) + 1e-3));
    }
}

TEST(CalcBezier, PerpendicularFootOnTheCurveOrItsEndTangents)
{
    struct Case {
        const char *name;
        double x1, y1, x2, y2;  // inner control points; the curve runs (0,0) .. (3,0)
        double px, py;
        int result;
        CalcPoint foot;
        double parameter;
    };
    const Case cases[] = {
        {"straight, inside", 1, 0, 2, 0, 1.5, 2, 1, {1.5, 0}, 0.5},
        {"straight, before the start", 1, 0, 2, 0, -2, 1, 1, {-2, 0}, -2},
        {"straight, beyond the end", 1, 0, 2, 0, 5, 1, 1, {5, 0}, 3},
        {"arch, at the top", 1, 1, 2, 1, 1.5, 3, 1, {1.5, 0.75}, 0.5},
        {"arch, below the start", 1, 1, 2, 1, 1.5, -5, 1, {-1.75, -1.75}, -1.75},
        // p on the normal at P0, outside the arch: P0 is nearest, and neither
        // extended end tangent has a foot beyond its end: the chord middle.
        {"arch, on the normal at the start", 1, 1, 2, 1, -1, 1, 0, {1.5, 0}, 0.5},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcPerpendicularFootBezier(0, 0, c.x1, c.y1, c.x2, c.y2, 3, 0, c.px, c.py), c.result)
            << c.name;
        EXPECT_TRUE(SlotIs(0, c.foot, 1e-3)) << c.name;
        EXPECT_NEAR(g_CalcPoints[1].x, c.parameter, 1e-3) << c.name;
    }
}

TEST(CalcBezier, PerpendicularFootOnALine)
{
    struct Case {
        double x1, y1, x2, y2, px, py;
        int result;
        CalcPoint foot;
        double parameter;
    };
    const Case cases[] = {
        {0, 0, 4, 0, 1, 3, 1, {1, 0}, 0.25},
        {0, 0, 4, 0, -4, 3, 1, {-4, 0}, -1},
        {1, 1, 3, 3, 3, 1, 1, {2, 2}, 0.5},
        {2, 2, 2, 2, 5, 6, 0, {5, 6}, 0},  // a line of one point
    };
    for (const Case &c : cases) {
        g_CalcPoints[1].y = 77;
        EXPECT_EQ(CalcPerpendicularFootLine(c.x1, c.y1, c.x2, c.y2, c.px, c.py), c.result);
        EXPECT_TRUE(SlotIs(0, c.foot));
        EXPECT_NEAR(g_CalcPoints[1].x, c.parameter, TIGHT);
        EXPECT_EQ(g_CalcPoints[1].y, 77);  // not part of the result
    }
}
