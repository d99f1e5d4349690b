#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "app/system.h"
#include "display/clip.h"
#include "display/output.h"
#include "geometry/flat.h"
#include "geometry/calc.h"

namespace {

constexpr double kEps = 1e-9;

// A path array of g_MaxPathPoints + 1 entries like the shared one, followed by
// guard entries that no adder may touch.
class FlatTest : public ::testing::Test {
protected:
    static constexpr int32_t kGuard = 64;
    static constexpr double kSentinel = 12345.678;
    uint32_t savedMax = 0;
    uint32_t savedMode = 0;
    double savedScale = 0;
    DrawingSettings savedSettings{};
    std::vector<PathPoint> pts;
    std::vector<uint32_t> codes;

    void SetUp() override
    {
        savedMax = g_MaxPathPoints;
        savedMode = g_OutputContext.outputMode;
        savedScale = g_OutputContext.scale;
        savedSettings = g_DrawingSettings;
        g_OutputContext.outputMode = OUTPUT_MEASURE; // 16 + sqrt(r) steps per circle
        g_OutputContext.scale = 1.0;
        Resize(1000);
    }
    void TearDown() override
    {
        g_MaxPathPoints = savedMax;
        g_OutputContext.outputMode = savedMode;
        g_OutputContext.scale = savedScale;
        g_DrawingSettings = savedSettings;
    }
    void Resize(int32_t max)
    {
        g_MaxPathPoints = max;
        pts.assign(max + 1 + kGuard, PathPoint{kSentinel, kSentinel});
        codes.assign(max + 1 + kGuard, 0xDEAD);
    }
    bool GuardsIntact() const
    {
        for (size_t i = (size_t)g_MaxPathPoints + 1; i < pts.size(); ++i)
            if (pts[i].x != kSentinel || codes[i] != 0xDEAD)
                return false;
        return true;
    }
    void Put(int32_t n, std::initializer_list<PathPoint> in)
    {
        for (const PathPoint &p : in)
            pts[n++] = p;
    }
};

double Dist(PathPoint a, PathPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

PathPoint BezierAt(PathPoint p0, PathPoint p1, PathPoint p2, PathPoint p3, double t)
{
    const double s = 1 - t;
    return {s * s * s * p0.x + 3 * s * s * t * p1.x + 3 * s * t * t * p2.x + t * t * t * p3.x,
            s * s * s * p0.y + 3 * s * s * t * p1.y + 3 * s * t * t * p2.y + t * t * t * p3.y};
}

// Every Bezier piece of a coded path stays on the circle (r around c) within tol.
void ExpectPiecesOnCircle(const PathPoint *p, const uint32_t *c, int32_t count, PathPoint centre, double r,
                          double tol)
{
    for (int32_t i = 1; i < count; ++i) {
        if (c[i] != PATH_CONTROL1)
            continue;
        ASSERT_LT(i + 2, count);
        for (double t = 0; t <= 1.0; t += 0.125)
            EXPECT_NEAR(Dist(BezierAt(p[i - 1], p[i], p[i + 1], p[i + 2], t), centre), r, tol) << "entry " << i;
        i += 2;
    }
}

TEST_F(FlatTest, ZigzagShortZeroAndHeight)
{
    // A segment not longer than one step: p0 and p1.
    Put(5, {{0, 0}, {1.9, 0}});
    EXPECT_EQ(FlatAddZigzag(pts.data(), 5, 0.5, 0.05), 2);
    EXPECT_NEAR(pts[6].x, 1.9, kEps);
    // Zero length: 1, nothing written.
    Put(5, {{3, 3}, {3, 3}});
    EXPECT_EQ(FlatAddZigzag(pts.data(), 5, 0.5, 0.05), 1);
    // Width 0.05 gives height 1 mm (not 0.5) and step 2 mm: 10 mm make 4 groups.
    Put(0, {{0, 0}, {10, 0}});
    const int32_t n = FlatAddZigzag(pts.data(), 0, 0.5, 0.05);
    ASSERT_EQ(n, 1 + 4 * 4 + 1);
    EXPECT_NEAR(pts[1].x, 1.0, kEps); // first group starts half a step in
    double lowest = 0;
    for (int32_t i = 0; i < n; ++i)
        lowest = std::min(lowest, pts[i].y);
    EXPECT_NEAR(lowest, -0.9659258262891, 1e-9); // h cos 15 to the right
    EXPECT_NEAR(pts[4].x, 1.0 + 4 * 0.2588190451025, 1e-9); // back on the axis 4 h sin 15 further
    EXPECT_NEAR(pts[4].y, 0.0, 1e-12);
    EXPECT_NEAR(pts[n - 1].x, 10.0, kEps);
}

TEST_F(FlatTest, PolygonCornersFromDirection)
{
    Put(0, {{1, 1}, {3, 1}, {1, 5}});
    ASSERT_EQ(FlatAddPolygon(pts.data(), 0, 4), 4);
    const PathPoint want[4] = {{1, 3}, {-1, 1}, {1, -1}, {3, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(pts[i].x, want[i].x, 1e-12) << i;
        EXPECT_NEAR(pts[i].y, want[i].y, 1e-12) << i;
    }
    Put(0, {{1, 1}, {1, 1}, {2, 2}});
    EXPECT_EQ(FlatAddPolygon(pts.data(), 0, 6), 1);
    Put(0, {{0, 0}, {2, 0}, {0, 0}}); // direction point on the centre: start at (cx + r, cy)
    ASSERT_EQ(FlatAddPolygon(pts.data(), 0, 3), 3);
    EXPECT_NEAR(pts[0].x, 2, 1e-12);
    EXPECT_NEAR(pts[0].y, 0, 1e-12);
}

TEST_F(FlatTest, CircleBezierEntries)
{
    Put(3, {{2, 1}, {5, 1}});
    ASSERT_EQ(FlatAddCircle(pts.data(), codes.data(), 3), 13);
    const uint32_t want[13] = {1, 7, 8, 2, 7, 8, 2, 7, 8, 2, 7, 8, 2};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(codes[3 + i], want[i]) << i;
    EXPECT_EQ(pts[3].x, 5);
    EXPECT_EQ(pts[3].y, 1);
    EXPECT_EQ(pts[15].x, 5);
    EXPECT_EQ(pts[15].y, 1);
    EXPECT_NEAR(pts[6].x, 2, kEps); // top
    EXPECT_NEAR(pts[6].y, 4, kEps);
    ExpectPiecesOnCircle(&pts[3], &codes[3], 13, {2, 1}, 3, 3 * 3e-4);
}

struct ArcCase {
    double sweep;
    int32_t entries;
    std::vector<uint32_t> codes;
};

TEST_F(FlatTest, ArcEntryCountsBySweep)
{
    const ArcCase cases[] = {
        {CALC_PI / 2, 4, {1, 7, 8, 2}},
        {-CALC_PI / 2, 4, {1, 7, 8, 2}},
        {CALC_PI, 7, {1, 7, 8, 2, 7, 8, 2}},
        {2 * CALC_PI, 13, {1, 7, 8, 2, 7, 8, 2, 7, 8, 2, 7, 8, 2}},
        {-2 * CALC_PI, 13, {1, 7, 8, 2, 7, 8, 2, 7, 8, 2, 7, 8, 2}},
        {0.001, 2, {1, 2}},
        {-0.0005, 2, {1, 2}},
        // Beyond a full turn: clamped, never more than 13 entries.
        {2 * CALC_PI + 1e-12, 13, {}},
        {3 * CALC_PI, 13, {}},
        {-7.5, 13, {}},
    };
    for (const ArcCase &c : cases) {
        const double r = 2.0;
        const PathPoint centre = {1, 1};
        const PathPoint start = {centre.x + r, centre.y};
        const PathPoint end = {centre.x + r * std::cos(c.sweep), centre.y + r * std::sin(c.sweep)};
        // The caller's own 13-entry arrays suffice for any sweep.
        PathPoint local[13];
        uint32_t localCodes[13];
        local[0] = start;
        local[1] = end;
        local[2] = centre;
        const int32_t got = FlatAddArc(local, localCodes, 0, c.sweep);
        ASSERT_EQ(got, c.entries) << "sweep " << c.sweep;
        for (size_t i = 0; i < c.codes.size(); ++i)
            EXPECT_EQ(localCodes[i], c.codes[i]) << "sweep " << c.sweep << " entry " << i;
        EXPECT_EQ(local[got - 1].x, end.x);
        EXPECT_EQ(local[got - 1].y, end.y);
        // (A sweep beyond a full turn no longer ends where the arc would.)
        if (std::fabs(c.sweep) > 0.01 && std::fabs(c.sweep) <= 2 * CALC_PI + 1e-9)
            ExpectPiecesOnCircle(local, localCodes, got, centre, r, r * 3e-4);
    }
}

TEST_F(FlatTest, ArcTinyRadiusGivesStartAndEnd)
{
    Put(0, {{1, 1}, {4, 4}, {1, 1}});
    ASSERT_EQ(FlatAddArc(pts.data(), codes.data(), 0, 1.0), 2);
    EXPECT_EQ(codes[0], PATH_START);
    EXPECT_EQ(codes[1], PATH_LINE);
    EXPECT_EQ(pts[1].x, 4);
}

TEST_F(FlatTest, ArcBulge)
{
    // Straight: end keeps its place and gets code 2, start keeps its code.
    Put(0, {{0, 0}, {4, 0}});
    codes[0] = 2;
    EXPECT_EQ(FlatAddArcBulge(pts.data(), codes.data(), 0, 1.0, 1e300), 2);
    EXPECT_EQ(codes[0], 2u);
    EXPECT_EQ(codes[1], PATH_LINE);
    EXPECT_EQ(pts[1].x, 4);
    // f = 0: a half circle around the chord midpoint, counter-clockwise.
    Put(0, {{0, 0}, {4, 0}});
    codes[0] = 2;
    const int32_t got = FlatAddArcBulge(pts.data(), codes.data(), 0, 1.0, 0.0);
    ASSERT_EQ(got, 7);
    EXPECT_EQ(codes[0], 2u); // continues the caller's figure
    EXPECT_NEAR(pts[3].x, 2, kEps);
    EXPECT_NEAR(pts[3].y, -2, kEps); // counter-clockwise from (0,0) around (2,0) passes below
    ExpectPiecesOnCircle(pts.data(), codes.data(), got, {2, 0}, 2, 2 * 3e-4);
    // Clockwise passes above.
    Put(0, {{0, 0}, {4, 0}});
    ASSERT_EQ(FlatAddArcBulge(pts.data(), codes.data(), 0, -1.0, 0.0), 7);
    EXPECT_NEAR(pts[3].y, 2, kEps);
}

TEST_F(FlatTest, BulgeStepsFollowArc)
{
    Put(0, {{0, 0}, {4, 0}});
    const int32_t got = FlatAddArcBulgeSteps(pts.data(), 0, 1.0, 0.0);
    ASSERT_GT(got, 3);
    for (int32_t i = 0; i < got; ++i) {
        EXPECT_NEAR(Dist(pts[i], {2, 0}), 2, 1e-9);
        EXPECT_LE(pts[i].y, 1e-12);
    }
    EXPECT_EQ(pts[got - 1].x, 4);
    Put(0, {{0, 0}, {4, 0}});
    EXPECT_EQ(FlatAddArcBulgeSteps(pts.data(), 0, 1.0, -2e100), 2);
}

TEST_F(FlatTest, EllipseStartsAtSecondAxisAndPassesFirst)
{
    const PathPoint c = {1, 2}, a1 = {1, 4}, a2 = {6, 2};
    // Bezier form: entry 3 is the quarter.
    Put(0, {c, a1, a2});
    ASSERT_EQ(FlatAddEllipse(pts.data(), codes.data(), 0), 13);
    EXPECT_NEAR(Dist(pts[0], a2), 0, kEps);
    EXPECT_NEAR(Dist(pts[3], a1), 0, kEps);
    EXPECT_NEAR(Dist(pts[12], a2), 0, kEps);
    // Steps: a quarter of the count later.
    Put(0, {c, a1, a2});
    const int32_t count = FlatAddEllipseSteps(pts.data(), 0);
    ASSERT_EQ(count % 4, 0);
    EXPECT_NEAR(Dist(pts[0], a2), 0, kEps);
    EXPECT_NEAR(Dist(pts[count / 4], a1), 0, 1e-9);
    // Elliptic arc over a quarter from parameter 0, both forms.
    Put(0, {{99, 99}, {98, 98}, c, a1, a2});
    ASSERT_EQ(FlatAddEllipseArc(pts.data(), codes.data(), 0, 0.0, CALC_PI / 2), 4);
    EXPECT_NEAR(Dist(pts[0], a2), 0, kEps);
    EXPECT_NEAR(Dist(pts[3], a1), 0, kEps);
    Put(0, {a2, a1, c, a1, a2});
    const int32_t steps = FlatAddEllipseArcSteps(pts.data(), 0, 0.0, CALC_PI / 2);
    ASSERT_GE(steps, 3);
    EXPECT_EQ(pts[0].x, a2.x);
    EXPECT_EQ(pts[steps - 1].x, a1.x);
    for (int32_t i = 0; i < steps; ++i) {
        const double u = (pts[i].x - c.x) / 5, v = (pts[i].y - c.y) / 2;
        EXPECT_NEAR(u * u + v * v, 1.0, 1e-9);
    }
}

TEST_F(FlatTest, CircleAndArcSteps)
{
    Put(0, {{0, 0}, {100, 0}});
    const int32_t count = FlatAddCircleSteps(pts.data(), 0);
    EXPECT_EQ(count, ClipArcSegmentCount(100) / 4 * 4);
    EXPECT_NEAR(pts[count / 4].y, 100, 1e-9);
    // Quarter arc: start, count/4 - 1 steps, end.
    Put(0, {{100, 0}, {0, 100}, {0, 0}});
    const int32_t arc = FlatAddArcSteps(pts.data(), 0, CALC_PI / 2);
    const int32_t full = ClipArcSegmentCount(100);
    EXPECT_EQ(arc, (int32_t)std::ceil(full / 4.0 - 0.001 * full / (2 * CALC_PI)) + 1);
    EXPECT_EQ(pts[arc - 1].y, 100);
    // Clockwise and clamped: a sweep of 5 turns writes at most count + 1 entries.
    Put(0, {{100, 0}, {100, 0}, {0, 0}});
    EXPECT_LE(FlatAddArcSteps(pts.data(), 0, -10 * CALC_PI), full + 1);
    EXPECT_LT(pts[1].y, 0);
    // Zero radius.
    Put(0, {{1, 1}, {2, 2}, {1, 1}});
    EXPECT_EQ(FlatAddArcSteps(pts.data(), 0, 1.0), 2);
}

TEST_F(FlatTest, BezierSteps)
{
    Put(0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    const int32_t got = FlatAddBezierSteps(pts.data(), 0, 15);
    const int32_t steps = std::max(ClipArcSegmentCountEx(6.0), 15);
    ASSERT_EQ(got, steps + 1);
    for (int32_t i = 1; i < got; ++i) {
        EXPECT_GT(pts[i].x, pts[i - 1].x);
        EXPECT_NEAR(pts[i].x, 3.0 * i / steps, 1e-9);
    }
    EXPECT_EQ(pts[got - 1].x, 3);
}

TEST_F(FlatTest, SplineShortInputUnchanged)
{
    Put(0, {{0, 0}, {5, 5}});
    EXPECT_EQ(FlatAddSpline(pts.data(), 0, 2), 2);
    EXPECT_EQ(pts[1].x, 5);
}

TEST_F(FlatTest, SplinePassesThroughItsPoints)
{
    const PathPoint q[3] = {{0, 0}, {10, 5}, {20, 0}};
    Put(4, {q[0], q[1], q[2]});
    const int32_t got = FlatAddSpline(pts.data(), 4, 3);
    ASSERT_GT(got, 4);
    const PathPoint *out = &pts[4];
    EXPECT_EQ(out[0].x, 0);
    for (const PathPoint &p : q) {
        double best = 1e300;
        for (int32_t i = 0; i < got; ++i)
            best = std::min(best, Dist(out[i], p));
        EXPECT_LT(best, 1e-9);
    }
    EXPECT_NEAR(Dist(out[got - 2], q[2]), 0, 1e-9); // final sample
    EXPECT_EQ(out[got - 1].x, q[2].x);              // the exact last point
    EXPECT_EQ(out[got - 1].y, q[2].y);
    // Smooth through the middle point: no step turns sharply there.
    for (int32_t i = 1; i + 1 < got - 1; ++i) {
        const double ax = out[i].x - out[i - 1].x, ay = out[i].y - out[i - 1].y;
        const double bx = out[i + 1].x - out[i].x, by = out[i + 1].y - out[i].y;
        if (std::hypot(ax, ay) < 1e-12 || std::hypot(bx, by) < 1e-12)
            continue;
        EXPECT_GT((ax * bx + ay * by) / (std::hypot(ax, ay) * std::hypot(bx, by)), 0.9) << i;
    }
}

TEST_F(FlatTest, SplineDoubledPointMakesCorner)
{
    const PathPoint q[6] = {{0, 0}, {10, 10}, {20, 0}, {20, 0}, {30, 10}, {40, 0}};
    for (int i = 0; i < 6; ++i)
        pts[i] = q[i];
    const int32_t got = FlatAddSpline(pts.data(), 0, 6);
    ASSERT_GT(got, 6);
    int32_t corner = -1;
    for (int32_t i = 0; i < got; ++i)
        if (Dist(pts[i], q[2]) < 1e-9)
            corner = i;
    ASSERT_GT(corner, 0);
    ASSERT_LT(corner, got - 1);
    // The curve arrives going down and leaves going up: a corner.
    EXPECT_LT(pts[corner].y - pts[corner - 1].y, 0);
    EXPECT_GT(pts[corner + 1].y - pts[corner].y, 0);
    EXPECT_EQ(pts[got - 1].x, 40);
}

TEST_F(FlatTest, SplineRefusesWhenScratchWouldPassLimit)
{
    Resize(400);
    // Input fits, but the two scratch areas behind it would not.
    Put(300, {{0, 0}, {10, 5}, {20, 0}});
    EXPECT_EQ(FlatAddSpline(pts.data(), 300, 3), FLAT_REFUSED);
    EXPECT_TRUE(GuardsIntact());
    // Staged output beyond the limit: refused, guards intact.
    Put(100, {{0, 0}, {10, 5}, {20, 0}});
    const int32_t r = FlatAddSpline(pts.data(), 100, 3);
    EXPECT_TRUE(GuardsIntact());
    Put(0, {{0, 0}, {10, 5}, {20, 0}});
    const int32_t atZero = FlatAddSpline(pts.data(), 0, 3);
    ASSERT_GT(atZero, 0);
    if (100 + 3 + 256 + atZero >= 400)
        EXPECT_EQ(r, FLAT_REFUSED);
    else
        EXPECT_EQ(r, atZero);
}

TEST_F(FlatTest, SketchWithoutJitterIsTheFlattenedCurve)
{
    auto saved = g_LocalData;
    g_LocalData.further[LOCAL_SKETCH_JITTER] = 0;
    g_LocalData.sketchStep = 2.0;
    const PathPoint q[4] = {{0, 0}, {10, 5}, {20, 0}, {30, 5}};
    for (int i = 0; i < 4; ++i)
        pts[i] = q[i];
    const int32_t got = FlatAddSketch(pts.data(), 4);
    ASSERT_GT(got, 4);
    std::vector<PathPoint> sketch(pts.begin(), pts.begin() + got);
    // The same spline flattened coarsely with the sketch step.
    for (int i = 0; i < 4; ++i)
        pts[i] = q[i];
    g_DrawingSettings.displayQuality[2] = 2.0;
    const int32_t spline = FlatAddSpline(pts.data(), 0, 4);
    EXPECT_EQ(got, spline - 1);
    for (int32_t i = 0; i < got; ++i) {
        EXPECT_EQ(sketch[i].x, pts[i].x);
        EXPECT_EQ(sketch[i].y, pts[i].y);
    }
    EXPECT_EQ(g_OutputContext.outputMode, OUTPUT_COARSE);
    g_LocalData = saved;
}

TEST_F(FlatTest, SketchJitterKeepsEnds)
{
    auto saved = g_LocalData;
    g_LocalData.further[LOCAL_SKETCH_JITTER] = 100;
    g_LocalData.sketchStep = 1.0;
    const double quality = g_DrawingSettings.displayQuality[2];
    Put(0, {{0, 0}, {50, 0}});
    const int32_t got = FlatAddSketch(pts.data(), 2);
    ASSERT_GT(got, 3);
    EXPECT_EQ(pts[0].x, 0);
    EXPECT_EQ(pts[0].y, 0);
    EXPECT_EQ(pts[got - 1].x, 50);
    EXPECT_EQ(pts[got - 1].y, 0);
    EXPECT_EQ(g_DrawingSettings.displayQuality[2], quality); // restored
    g_LocalData = saved;
}

// Each adder refuses at index `refuseAt` and succeeds one index earlier; the
// guard entries behind the array are never touched.
struct CapacityCase {
    const char *name;
    std::function<void(std::vector<PathPoint> &, int32_t)> place;
    std::function<int32_t(PathPoint *, uint32_t *, int32_t)> add;
    std::function<int32_t()> refuseAt;
};

TEST_F(FlatTest, EveryAdderRefusesAtItsMargin)
{
    Resize(300);
    const int32_t max = (int32_t)g_MaxPathPoints;
    auto two = [](PathPoint a, PathPoint b) {
        return [a, b](std::vector<PathPoint> &p, int32_t n) { p[n] = a, p[n + 1] = b; };
    };
    auto three = [](PathPoint a, PathPoint b, PathPoint c) {
        return [a, b, c](std::vector<PathPoint> &p, int32_t n) { p[n] = a, p[n + 1] = b, p[n + 2] = c; };
    };
    auto five = [](std::vector<PathPoint> &p, int32_t n) {
        p[n] = {5, 0}, p[n + 1] = {0, 2}, p[n + 2] = {0, 0}, p[n + 3] = {0, 2}, p[n + 4] = {5, 0};
    };
    const int32_t circleSteps = ClipArcSegmentCount(10) / 4 * 4;
    const int32_t arcSteps = ClipArcSegmentCount(10);
    const int32_t ellipseSteps = ClipArcSegmentCount(3.5);
    const int32_t bezierSteps = std::max(ClipArcSegmentCountEx(6.0), 0);
    const CapacityCase cases[] = {
        {"zigzag", two({0, 0}, {1, 0}), [](PathPoint *p, uint32_t *, int32_t n) { return FlatAddZigzag(p, n, 5, 0.1); },
         [=] { return max - 2; }},
        {"polygon", three({0, 0}, {5, 0}, {5, 5}), [](PathPoint *p, uint32_t *, int32_t n) { return FlatAddPolygon(p, n, 6); },
         [=] { return max - 2 - 6; }},
        {"circle steps", two({0, 0}, {10, 0}), [](PathPoint *p, uint32_t *, int32_t n) { return FlatAddCircleSteps(p, n); },
         [=] { return max - 2 - circleSteps; }},
        {"arc steps", three({10, 0}, {0, 10}, {0, 0}), [](PathPoint *p, uint32_t *, int32_t n) { return FlatAddArcSteps(p, n, 1.0); },
         [=] { return max - 2 - arcSteps; }},
        {"bulge steps", two({-10, 0}, {10, 0}), [](PathPoint *p, uint32_t *, int32_t n) { return FlatAddArcBulgeSteps(p, n, 1.0, 0.0); },
         [=] { return max - 2 - arcSteps; }},
        {"ellipse steps", three({0, 0}, {0, 2}, {5, 0}), [](PathPoint *p, uint32_t *, int32_t n) { return FlatAddEllipseSteps(p, n); },
         [=] { return max - ellipseSteps / 4 * 4; }},
        {"ellipse arc steps", five, [](PathPoint *p, uint32_t *, int32_t n) { return FlatAddEllipseArcSteps(p, n, 0, 1.0); },
         [=] { return max - 3 - ellipseSteps; }},
        {"bezier steps", [](std::vector<PathPoint> &p, int32_t n) { p[n] = {0, 0}, p[n + 1] = {1, 0}, p[n + 2] = {2, 0}, p[n + 3] = {3, 0}; },
         [](PathPoint *p, uint32_t *, int32_t n) { return FlatAddBezierSteps(p, n, 0); },
         [=] { return max - 1 - bezierSteps; }},
        {"circle", two({0, 0}, {10, 0}), [](PathPoint *p, uint32_t *c, int32_t n) { return FlatAddCircle(p, c, n); },
         [=] { return max - 13; }},
        {"arc", three({10, 0}, {0, 10}, {0, 0}), [](PathPoint *p, uint32_t *c, int32_t n) { return FlatAddArc(p, c, n, CALC_PI / 2); },
         [=] { return max - 13; }},
        {"bulge", two({-10, 0}, {10, 0}), [](PathPoint *p, uint32_t *c, int32_t n) { return FlatAddArcBulge(p, c, n, 1.0, 0.0); },
         [=] { return max - 13; }},
        {"ellipse", three({0, 0}, {0, 2}, {5, 0}), [](PathPoint *p, uint32_t *c, int32_t n) { return FlatAddEllipse(p, c, n); },
         [=] { return max - 13; }},
        {"ellipse arc", five, [](PathPoint *p, uint32_t *c, int32_t n) { return FlatAddEllipseArc(p, c, n, 0, 1.0); },
         [=] { return max - 13; }},
    };
    for (const CapacityCase &c : cases) {
        const int32_t at = c.refuseAt();
        c.place(pts, at);
        EXPECT_EQ(c.add(pts.data(), codes.data(), at), FLAT_REFUSED) << c.name;
        c.place(pts, at - 1);
        EXPECT_GT(c.add(pts.data(), codes.data(), at - 1), 0) << c.name;
        EXPECT_TRUE(GuardsIntact()) << c.name;
    }
}

TEST_F(FlatTest, SegmentCountsFollowTheOutput)
{
    g_DrawingSettings.displayQuality[0] = 2.0;
    g_DrawingSettings.displayQuality[1] = 1.0;
    g_DrawingSettings.displayQuality[2] = 2.0;
    g_OutputContext.scale = 4.0;
    struct {
        uint32_t mode;
        double r;
        int32_t circle;
        int32_t piece;
    } cases[] = {
        {OUTPUT_SCREEN, 8.0, (int32_t)std::floor(4 + 2 * CALC_PI * 4 + 0.5), (int32_t)std::floor(3 + 4 + 0.5)},
        {OUTPUT_COARSE, 8.0, (int32_t)std::floor(16 + 2 * CALC_PI * 2 + 0.5), (int32_t)std::floor(6 + 2 + 0.5)},
        {OUTPUT_METAFILE, 1.0, (int32_t)std::floor(16 + 2 * CALC_PI * 2 + 0.5), 11},
        {OUTPUT_PRINTER, 1.0, (int32_t)std::floor(16 + 4 * CALC_PI * 2 + 0.5), 13},
        {OUTPUT_MEASURE, 16.0, 20, 7},
        {OUTPUT_SCREEN, 1e9, 360, 100},
        {OUTPUT_MEASURE, 1e9, 60, 50},
    };
    for (const auto &c : cases) {
        g_OutputContext.outputMode = c.mode;
        EXPECT_EQ(ClipArcSegmentCount(c.r), c.circle) << c.mode;
        EXPECT_EQ(ClipArcSegmentCountEx(c.r), c.piece) << c.mode;
    }
    g_DrawingSettings.displayQuality[0] = 0.0; // never divides by zero
    g_OutputContext.outputMode = OUTPUT_SCREEN;
    EXPECT_EQ(ClipArcSegmentCount(1.0), 360);
}

} // namespace
