// Bisectors, circumcircle and incircle.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/calc.h"
#include "geometry_expect.h"

TEST(CalcConstruct, BisectorPoint)
{
    struct Case {
        const char *name;
        double vx, vy, x1, y1, x2, y2;
        int result;
        CalcPoint point;
    };
    const Case cases[] = {
        {"right angle", 0, 0, 5, 0, 0, 2, 1, {128, 128}},
        {"straight angle", 1, 1, 3, 1, -4, 1, 1, {1, 1}},
        {"moved vertex", 10, 10, 20, 10, 10, 30, 1, {138, 138}},
        {"first point on the vertex", 3, 4, 3, 4, 0, 0, 0, {131, 4}},
        {"second point on the vertex", 3, 4, 0, 0, 3, 4, 0, {131, 4}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcBisectorPoint(c.vx, c.vy, c.x1, c.y1, c.x2, c.y2), c.result) << c.name;
        EXPECT_TRUE(SlotIs(0, c.point)) << c.name;
    }
}

TEST(CalcConstruct, Circumcircle)
{
    struct Case {
        const char *name;
        double x1, y1, x2, y2, x3, y3;
        int result;
        CalcPoint centre;
    };
    const Case cases[] = {
        {"right triangle", 0, 0, 2, 0, 0, 2, 1, {1, 1}},
        {"round the origin", 1, 0, 0, 1, -1, 0, 1, {0, 0}},
        {"obtuse", 0, 0, 4, 0, 1, 1, 1, {2, -1}},
        {"far from the origin", 1000, 1000, 1002, 1000, 1000, 1002, 1, {1001, 1001}},
        {"collinear: centroid", 0, 0, 1, 0, 2, 0, 0, {1, 0}},
        {"first two equal", 0, 0, 0, 0, 4, 0, 0, {2, 0}},
        {"first and last equal", 0, 0, 4, 0, 0, 0, 0, {2, 0}},
        {"last two equal", 0, 0, 4, 0, 4, 0, 0, {2, 0}},
        {"all equal", 3, 3, 3, 3, 3, 3, 0, {3, 3}},
        // The collinearity limit is absolute on the unnormalised cross product.
        {"nearly collinear, cross 0.0008", 0, 0, 1, 0, 2, 0.0008, 0, {1, 0.0008 / 3}},
        {"nearly collinear, cross 0.002", 0, 0, 1, 0, 2, 0.002, 1, {0.5, 500.001}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcGeoCircumcircle(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3), c.result) << c.name;
        EXPECT_TRUE(SlotIs(0, c.centre, 1e-6)) << c.name;
        if (c.result) {
            const CalcPoint m = g_CalcPoints[0];
            const double r = std::hypot(c.x1 - m.x, c.y1 - m.y);
            EXPECT_NEAR(std::hypot(c.x2 - m.x, c.y2 - m.y), r, 1e-9 * (1 + r)) << c.name;
            EXPECT_NEAR(std::hypot(c.x3 - m.x, c.y3 - m.y), r, 1e-9 * (1 + r)) << c.name;
        }
    }
}

TEST(CalcConstruct, Incircle)
{
    struct Case {
        const char *name;
        double x1, y1, x2, y2, x3, y3;
        int result;
        CalcPoint centre, touch;
    };
    const double r = 2 - std::sqrt(2.0);  // inradius of the right isosceles triangle with legs 2
    const Case cases[] = {
        {"3-4-5 triangle", 0, 0, 4, 0, 0, 3, 1, {1, 1}, {1, 0}},
        {"order of the corners does not matter", 0, 3, 0, 0, 4, 0, 1, {1, 1}, {0, 1}},
        {"right isosceles", 0, 0, 2, 0, 0, 2, 1, {r, r}, {r, 0}},
        {"two corners equal", 0, 0, 0, 0, 4, 0, 0, {}, {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcGeoIncircle(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3), c.result) << c.name;
        if (!c.result)
            continue;
        EXPECT_TRUE(SlotIs(0, c.centre)) << c.name;
        EXPECT_TRUE(SlotIs(1, c.touch)) << c.name;
    }
    // Collinear corners: the two bisectors are parallel.
    EXPECT_EQ(CalcGeoIncircle(0, 0, 1, 0, 2, 0), 0);
    EXPECT_TRUE(BufferIsClean());
}

TEST(CalcConstruct, BisectorOfLinesPickedByPoints)
{
    struct Case {
        const char *name;
        CalcPoint p0, p1, pick1, p3, p4, pick2;
        int result;
        CalcPoint first, second;
    };
    const Case cases[] = {
        {"picks in the first quadrant", {0, 0}, {1, 0}, {5, 1}, {0, 0}, {0, 1}, {1, 5}, 2, {0, 0}, {128, 128}},
        {"pick on the other half of line 1", {0, 0}, {1, 0}, {-5, 1}, {0, 0}, {0, 1}, {1, 5}, 2, {0, 0}, {-128, 128}},
        {"crossing away from the origin", {0, 2}, {4, 2}, {10, 2}, {3, 0}, {3, 1}, {3, 9}, 2, {3, 2}, {131, 130}},
        {"parallel: the middle line", {0, 0}, {1, 0}, {5, 0}, {0, 2}, {1, 2}, {5, 2}, 2, {0, 1}, {1, 1}},
        {"pick on the intersection", {0, 0}, {1, 0}, {0, 3}, {0, 0}, {0, 1}, {1, 5}, 0, {0, 0}, {}},
        {"line of one point", {0, 0}, {0, 0}, {1, 1}, {0, 0}, {0, 1}, {1, 5}, 0, {0, 0}, {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcBisectorOfLines(&c.p0, &c.p1, &c.pick1, &c.p3, &c.p4, &c.pick2), c.result) << c.name;
        EXPECT_TRUE(SlotIs(0, c.first)) << c.name;
        if (c.result) {
            EXPECT_TRUE(SlotIs(1, c.second)) << c.name;
        }
        EXPECT_TRUE(BufferIsClean()) << c.name;
    }
}
