// The snap search of a click and the intersections of geometry records.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/system.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "commands/snap.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "files/file.h"
#include "files/file_records.h"
#include "files/image_list.h"
#include "files/zvi.h"
#include "geometry/distance.h"
#include "geometry/frame_dim.h"
#include "geometry/pick_objects.h"
#include "geometry/matrix.h"

namespace {

class Snap : public DrawingWindowTest {
protected:
    void SetUp() override
    {
        DrawingWindowTest::SetUp();
        g_LocalData.snap.switches[0] = 1;
        g_LocalData.snap.pickAperture = 10;
        W().pixelsPerMm = 1.0; // capture radius 10 mm
    }

    SnapResult Find(uint32_t modes, double x, double y)
    {
        g_LocalData.snap.snapModes = static_cast<int32_t>(modes);
        SnapResult r;
        SnapFindPoint(0, x, y, &r);
        ExpectNothingLeft();
        return r;
    }

    // What every search must leave: no object marked, both scratch buffers free.
    static void ExpectNothingLeft()
    {
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            EXPECT_EQ(u->flags & UNIT_TRANSFORM, 0u);
        EXPECT_EQ(mem_lock_uni1(__FILE__, __LINE__), 1);
        EXPECT_EQ(mem_lock_uni2(__FILE__, __LINE__), 1);
        mem_unlock_uni2(__FILE__, __LINE__);
        mem_unlock_uni1(__FILE__, __LINE__);
    }

    static Unit *Object(int32_t type, const std::vector<double> &xy)
    {
        Unit *u = TestNewObject(LIST_DRAWING, type, xy);
        EXPECT_NE(u, nullptr);
        return u;
    }

    // A block "B" of two crossing lines and an instance of it moved by (tx, ty).
    static Unit *InstanceOfCross(double tx, double ty)
    {
        Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, "B");
        for (const std::vector<double> &xy : {std::vector<double>{0, 0, 10, 10}, std::vector<double>{0, 10, 10, 0}}) {
            Unit *line = TestNewObject(LIST_DRAWING, OBJTYPE_LINE, xy);
            SymbolAddMember(LIST_OWN_BLOCKS, block, line);
            MemListDelete(LIST_DRAWING, line);
        }
        SymbolRebuildOwnIndex();
        Matrix m;
        MatrixInit(&m);
        MatrixMove(&m, tx, ty);
        alignas(8) static uint8_t buffer[2048];
        const uint32_t bytes =
            SymbolMakeInstance(reinterpret_cast<Unit *>(buffer), sizeof buffer, "*", "B", &m);
        EXPECT_GT(bytes, 0u);
        Unit *instance = MemListNewCopyAfter(LIST_DRAWING, buffer, bytes, g_ObjectLists[LIST_DRAWING].tail);
        TestInitUnitHeader(instance);
        SymbolRecalcFrames();
        return instance;
    }
};

void ExpectAt(const SnapResult &r, double x, double y, uint32_t kind)
{
    EXPECT_NEAR(r.x, x, 1e-6);
    EXPECT_NEAR(r.y, y, 1e-6);
    EXPECT_EQ(r.kind, kind);
    EXPECT_LT(r.distance, SNAP_NOTHING);
}

TEST_F(Snap, EndPointsWithinTheRadiusOnly)
{
    TestNewLine(0, 0, 100, 0);
    ExpectAt(Find(SNAP_ENDPOINTS, 2, 1), 0, 0, SNAP_ENDPOINTS);
    const SnapResult away = Find(SNAP_ENDPOINTS, 50, 30);
    EXPECT_EQ(away.distance, SNAP_NOTHING);
    EXPECT_EQ(away.kind, 0u);
}

TEST_F(Snap, OffOrNoSearchModeFindsNothing)
{
    TestNewLine(0, 0, 100, 0);
    g_LocalData.snap.switches[0] = 0;
    EXPECT_EQ(Find(SNAP_ENDPOINTS, 1, 0).distance, SNAP_NOTHING);
    g_LocalData.snap.switches[0] = 1;
    EXPECT_EQ(Find(256, 1, 0).distance, SNAP_NOTHING);
}

TEST_F(Snap, CrossingDiagonals)
{
    TestNewLine(0, 0, 100, 100);
    TestNewLine(0, 100, 100, 0);
    ExpectAt(Find(SNAP_INTERSECTIONS, 53, 48), 50, 50, SNAP_INTERSECTIONS);
}

TEST_F(Snap, ConstructionLinesTakePartOnlyWithTheirMode)
{
    TestNewLine(0, 0, 100, 0);
    Object(OBJTYPE_GEO_LINE, {40, -10, 40, 10});
    EXPECT_EQ(Find(SNAP_INTERSECTIONS, 42, 3).distance, SNAP_NOTHING);
    ExpectAt(Find(SNAP_INTERSECTIONS | SNAP_CONSTRUCTION, 42, 3), 40, 0, SNAP_INTERSECTIONS);
}

TEST_F(Snap, InstancesAreSearchedThroughTheirMembers)
{
    InstanceOfCross(200, 100);
    ExpectAt(Find(SNAP_INTERSECTIONS, 206, 104), 205, 105, SNAP_INTERSECTIONS);
    ExpectAt(Find(SNAP_ENDPOINTS, 211, 98), 210, 100, SNAP_ENDPOINTS);
}

TEST_F(Snap, ReferenceGeometryOfTheCommandCrossesObjects)
{
    TestNewLine(0, 0, 100, 0);
    GeoObject &ref = g_CommandState->referenceGeo;
    ref = GeoObject{};
    ref.type = GEO_CIRCLE;
    ref.d[0] = 50, ref.d[1] = 0, ref.d[2] = 60, ref.d[3] = 0;
    ExpectAt(Find(SNAP_INTERSECTIONS, 58, 2), 60, 0, SNAP_INTERSECTIONS);
    ref.type = -1;
}

TEST_F(Snap, ABufferHeldElsewhereSkipsTheIntersectionsAndStaysHeld)
{
    TestNewLine(0, 0, 100, 100);
    TestNewLine(0, 100, 100, 0);
    for (int which : {1, 2}) {
        ASSERT_EQ(which == 1 ? mem_lock_uni1("other", 1) : mem_lock_uni2("other", 1), 1);
        g_LocalData.snap.snapModes = SNAP_INTERSECTIONS;
        SnapResult r;
        SnapFindPoint(0, 53, 48, &r);
        EXPECT_EQ(r.distance, SNAP_NOTHING);
        // The other holder keeps its buffer; the free one was given back.
        EXPECT_EQ(which == 1 ? g_Universal1Owner.locked : g_Uni2Owner.locked, 1u);
        EXPECT_EQ(which == 1 ? g_Uni2Owner.locked : g_Universal1Owner.locked, 0u);
        which == 1 ? mem_unlock_uni1("other", 1) : mem_unlock_uni2("other", 1);
        ExpectNothingLeft();
    }
}

TEST_F(Snap, MarksSpecialPointsAndEnteredPoints)
{
    Object(OBJTYPE_MARK, {30, 30});
    ExpectAt(Find(SNAP_MARKS, 32, 31), 30, 30, SNAP_MARKS);
    Object(OBJTYPE_CIRCLE, {0, 0, 5, 0});
    ExpectAt(Find(SNAP_SPECIAL, 1, 1), 0, 0, SNAP_SPECIAL);
    // A point entered earlier in the running command is a special point too.
    g_InputPoints[0] = InputPointEntry{70, 70, 0, nullptr, 2, 0, 0};
    g_CommandState->pointIndex = 1;
    ExpectAt(Find(SNAP_SPECIAL, 72, 69), 70, 70, SNAP_SPECIAL);
    g_CommandState->pointIndex = 0;
}

TEST_F(Snap, ElementModesOnThePickedElement)
{
    TestNewLine(0, 0, 100, 0);
    TestSetFrameFromPoints(Object(OBJTYPE_CIRCLE, {0, 200, 20, 200}), {-20, 180, 20, 220});
    // The middle is taken however far away, when nothing else lies within the radius.
    ExpectAt(Find(SNAP_MIDDLE, 90, 1), 50, 0, SNAP_MIDDLE);
    ExpectAt(Find(SNAP_NEAREST, 30, 2), 30, 0, SNAP_NEAREST);
    // Middle and end point: the element modes come first.
    ExpectAt(Find(SNAP_MIDDLE | SNAP_ENDPOINTS, 53, 1), 50, 0, SNAP_MIDDLE);
    ExpectAt(Find(SNAP_MIDDLE, 21, 201), 0, 200, SNAP_MIDDLE);
    // On the diagonal above and right of the centre: the top point.
    ExpectAt(Find(SNAP_QUADRANT, 14, 214), 0, 220, SNAP_QUADRANT);
    ExpectAt(Find(SNAP_QUADRANT, 19, 203), 20, 200, SNAP_QUADRANT);
}

// The annotation kinds of the shared pick fixture: a line, a spline crossing
// it, a distance dimension, a reference text and a bitmap.
class SnapKinds : public Snap {
protected:
    void SetUp() override
    {
        Snap::SetUp();
        PickLoadKinds("../geometry/fixtures/pick_kinds.zvd");
        g_DrawingSettings.displayDrawing = g_DrawingSettings.displayObjects = 1;
        g_DrawingSettings.displayFrames = 1;
    }
    void TearDown() override
    {
        FileClearDrawing();
        Snap::TearDown();
    }
    static Unit *OfType(int32_t type) { return PickObjectOfType(type); }
    static void BitmapCorners(double c[4][2])
    {
        Unit *bitmap = OfType(OBJTYPE_BITMAP);
        ASSERT_NE(bitmap, nullptr);
        ASSERT_EQ(ImagePlacedCorners(static_cast<const BitmapRefData *>(ElementPayload(UnitFirstElement(bitmap))), 1, c),
                  1);
    }
};

TEST_F(SnapKinds, ComputedPointsOfDimensionsReferenceTextsAndBitmaps)
{
    DimLines l;
    ASSERT_EQ(FrameDimensionLines(OfType(OBJTYPE_DIM_DIST), &l), 1);
    ASSERT_TRUE(l.extension[0] && l.extension[1]);
    const RefTextGeometry *g = FrameRefTextGeometry(OfType(OBJTYPE_REF_TEXT));
    ASSERT_NE(g, nullptr);
    double c[4][2];
    BitmapCorners(c);
    struct Case {
        const char *what;
        CalcPoint at;
    } cases[] = {
        {"first extension-line foot", l.foot[0]},      {"second extension-line foot", l.foot[1]},
        {"first dimension-line end", l.end[0]},        {"second dimension-line end", l.end[1]},
        {"reference-text frame corner", g->frame[2]},  {"bitmap corner", {c[2][0], c[2][1]}},
    };
    for (const Case &k : cases) {
        const SnapResult r = Find(SNAP_ENDPOINTS, k.at.x + 0.7, k.at.y - 0.4);
        EXPECT_NEAR(r.x, k.at.x, 1e-6) << k.what;
        EXPECT_NEAR(r.y, k.at.y, 1e-6) << k.what;
        EXPECT_EQ(r.kind, SNAP_ENDPOINTS) << k.what;
    }
    // Without frames shown a bitmap has no corners to snap to.
    g_DrawingSettings.displayFrames = 0;
    const SnapResult r = Find(SNAP_ENDPOINTS, c[2][0] + 0.7, c[2][1] - 0.4);
    EXPECT_FALSE(std::fabs(r.x - c[2][0]) < 1e-6 && std::fabs(r.y - c[2][1]) < 1e-6);
}

TEST_F(SnapKinds, CrossingsWithSplinesDimensionsReferenceTextsAndBitmaps)
{
    // The spline crosses the line y = 0 left of its middle point.
    const SnapResult spline = Find(SNAP_INTERSECTIONS, 25, 1);
    ASSERT_LT(spline.distance, SNAP_NOTHING);
    EXPECT_NEAR(spline.y, 0, 1e-6);
    EXPECT_NEAR(DistancePointSpline(OfType(OBJTYPE_SPLINE), spline.x, spline.y, nullptr), 0, 1e-6);

    DimLines l;
    ASSERT_EQ(FrameDimensionLines(OfType(OBJTYPE_DIM_DIST), &l), 1);
    const RefTextGeometry *g = FrameRefTextGeometry(OfType(OBJTYPE_REF_TEXT));
    ASSERT_NE(g, nullptr);
    double c[4][2];
    BitmapCorners(c);
    const double ey = (l.end[0].y + l.foot[0].y) / 2;
    const double dx = l.end[0].x + (l.end[1].x - l.end[0].x) / 4;
    const CalcPoint side = {(g->frame[0].x + g->frame[1].x) / 2, (g->frame[0].y + g->frame[1].y) / 2};
    const double bx = (c[0][0] + c[1][0]) / 2;
    struct Case {
        const char *what;
        double x1, y1, x2, y2; // a line across the object
        CalcPoint crossing;
    } cases[] = {
        {"extension line", l.end[0].x - 5, ey, l.end[0].x + 5, ey, {l.end[0].x, ey}},
        {"dimension line", dx, l.end[0].y - 4, dx, l.end[0].y + 4, {dx, l.end[0].y}},
        {"reference-text frame", side.x - 3 * (g->frame[1].y - g->frame[0].y) / 10,
         side.y + 3 * (g->frame[1].x - g->frame[0].x) / 10, side.x + 3 * (g->frame[1].y - g->frame[0].y) / 10,
         side.y - 3 * (g->frame[1].x - g->frame[0].x) / 10, side},
        {"bitmap frame", bx, c[0][1] - 3, bx, c[0][1] + 3, {bx, c[0][1]}},
    };
    for (const Case &k : cases) {
        Unit *line = TestNewLine(k.x1, k.y1, k.x2, k.y2);
        const SnapResult r = Find(SNAP_INTERSECTIONS, k.crossing.x + 0.6, k.crossing.y + 0.3);
        EXPECT_NEAR(r.x, k.crossing.x, 1e-6) << k.what;
        EXPECT_NEAR(r.y, k.crossing.y, 1e-6) << k.what;
        EXPECT_EQ(r.kind, SNAP_INTERSECTIONS) << k.what;
        MemListDelete(LIST_DRAWING, line);
    }
}

TEST_F(Snap, TheClickHandlerUsesTheSearch)
{
    SnapInstall();
    ASSERT_NE(g_CommandSnapFinder, nullptr);
    TestNewLine(0, 0, 100, 0);
    g_LocalData.snap.snapModes = SNAP_ENDPOINTS;
    double p[2];
    int kind = 0;
    ASSERT_EQ(g_CommandSnapFinder(0, 99, 2, p, &kind), 1);
    EXPECT_EQ(p[0], 100.0);
    EXPECT_EQ(p[1], 0.0);
    EXPECT_EQ(kind, static_cast<int>(SNAP_ENDPOINTS));
    EXPECT_EQ(g_CommandSnapFinder(0, 50, 30, p, &kind), 0);
    g_CommandSnapFinder = nullptr;
}

// ---- Intersections of records --------------------------------------------------

GeoObject Seg(double x0, double y0, double x1, double y1, int32_t type = GEO_LINE)
{
    GeoObject g{};
    g.type = type;
    g.d[0] = x0, g.d[1] = y0, g.d[2] = x1, g.d[3] = y1;
    return g;
}

GeoObject Circ(double cx, double cy, double r)
{
    GeoObject g{};
    g.type = GEO_CIRCLE;
    g.d[0] = cx, g.d[1] = cy, g.d[2] = cx + r, g.d[3] = cy;
    return g;
}

GeoObject Arc(double cx, double cy, double r, double a0, double a1, int ccw = 1)
{
    GeoObject g = Circ(cx, cy, r);
    g.type = GEO_CIRC_ARC;
    g.d[6] = cx + r * std::cos(a0), g.d[7] = cy + r * std::sin(a0);
    g.d[8] = cx + r * std::cos(a1), g.d[9] = cy + r * std::sin(a1);
    g.direction = ccw;
    return g;
}

GeoObject Elli(double cx, double cy, double a, double b)
{
    GeoObject g{};
    g.type = GEO_ELLIPSE;
    g.d[0] = cx, g.d[1] = cy, g.d[2] = cx + a, g.d[3] = cy, g.d[4] = cx, g.d[5] = cy + b;
    return g;
}

GeoObject ElliArc(double cx, double cy, double a, double b, double t0, double t1)
{
    GeoObject g = Elli(cx, cy, a, b);
    g.type = GEO_ELLI_ARC;
    g.d[6] = cx + a * std::cos(t0), g.d[7] = cy + b * std::sin(t0);
    g.d[8] = cx + a * std::cos(t1), g.d[9] = cy + b * std::sin(t1);
    g.direction = 1;
    return g;
}

GeoObject Bez(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3)
{
    GeoObject g{};
    g.type = GEO_CURVE;
    g.d[0] = x0, g.d[1] = y0, g.d[6] = x1, g.d[7] = y1, g.d[8] = x2, g.d[9] = y2, g.d[2] = x3, g.d[3] = y3;
    return g;
}

struct Case {
    const char *name;
    GeoObject a, b;
    int flags;
    std::vector<double> expected; // x, y pairs in any order; duplicates of one crossing allowed
};

// The subdivision solvers of curves stop at this precision.
constexpr double CURVE_TOLERANCE = 0.01;

// Every expected point is found, every point found is expected.
void Check(const Case &c, const GeoObject &a, const GeoObject &b)
{
    const int n = SnapIntersectObjects(&a, &b, c.flags);
    ASSERT_GE(n, 0);
    ASSERT_LE(n, SNAP_MAX_CROSSINGS);
    std::vector<bool> seen(c.expected.size() / 2, false);
    for (int i = 0; i < n; ++i) {
        const WorkPoint p = g_WorkArrays.pathPoints[i];
        bool known = false;
        for (size_t k = 0; k < seen.size(); ++k)
            if (std::fabs(p.x - c.expected[2 * k]) < CURVE_TOLERANCE && std::fabs(p.y - c.expected[2 * k + 1]) < CURVE_TOLERANCE)
                known = seen[k] = true;
        EXPECT_TRUE(known) << c.name << ": unexpected point " << p.x << ", " << p.y;
    }
    for (size_t k = 0; k < seen.size(); ++k)
        EXPECT_TRUE(seen[k]) << c.name << ": missing " << c.expected[2 * k] << ", " << c.expected[2 * k + 1];
}

TEST(SnapIntersect, EveryPairOfRecordKinds)
{
    ASSERT_TRUE(g_WorkArrays.pathPoints || MemInitWork());
    const double pi = CALC_PI;
    const Case cases[] = {
        {"segments crossing", Seg(0, 0, 10, 10), Seg(0, 10, 10, 0), 0, {5, 5}},
        {"segments at a corner", Seg(0, 0, 10, 0), Seg(10, 0, 10, 10), 0, {}},
        {"segments at a corner, filter", Seg(0, 0, 10, 0), Seg(10, 0, 10, 10), 1, {}},
        {"crossing just beyond an end", Seg(0, 0, 10, 0), Seg(10.005, -5, 10.005, 5), 0, {10.005, 0}},
        {"crossing well beyond an end", Seg(0, 0, 10, 0), Seg(10.02, -5, 10.02, 5), 0, {}},
        {"parallel segments", Seg(0, 0, 10, 0), Seg(0, 1, 10, 1), 0, {}},
        {"segment and endless line", Seg(0, 0, 10, 0), Seg(5, 100, 5, 101, GEO_GEOLINE), 0, {5, 0}},
        {"endless lines", Seg(0, 0, 1, 0, GEO_GEOLINE), Seg(50, 1, 50, 2, GEO_GEOLINE), 0, {50, 0}},
        {"parallel endless lines", Seg(0, 0, 1, 0, GEO_GEOLINE), Seg(0, 1, 1, 1, GEO_GEOLINE), 0, {}},
        {"segment through a circle", Seg(-20, 0, 20, 0), Circ(0, 0, 10), 0, {-10, 0, 10, 0}},
        {"segment ending on a circle", Seg(0, 0, 10, 0), Circ(0, 0, 10), 0, {10, 0}},
        {"tangent line", Seg(-20, 10, 20, 10), Circ(0, 0, 10), 0, {0, 10}},
        {"segment and ellipse", Seg(-30, 0, 30, 0), Elli(0, 0, 20, 10), 0, {-20, 0, 20, 0}},
        {"segment and arc", Seg(-20, 0, 20, 0), Arc(0, 0, 10, 0, pi / 2), 0, {10, 0}},
        {"segment outside the arc", Seg(-20, -5, 20, -5), Arc(0, 0, 10, 0, pi), 0, {}},
        {"segment and elliptic arc", Seg(-30, 0, 30, 0), ElliArc(0, 0, 20, 10, -pi / 2, pi / 2), 0, {20, 0}},
        {"segment and Bezier", Seg(5, -10, 5, 10), Bez(0, 0, 3, 0, 7, 0, 10, 0), 0, {5, 0}},
        {"Bezier and segment at P3, filter", Bez(0, 0, 3, 3, 7, 3, 10, 0), Seg(10, 0, 10, 10), 1, {}},
        {"endless line and circle", Seg(0, 0, 1, 0, GEO_GEOLINE), Circ(0, 0, 10), 0, {-10, 0, 10, 0}},
        {"endless line and ellipse", Seg(0, -1, 0, 1, GEO_GEOLINE), Elli(0, 0, 20, 10), 0, {0, -10, 0, 10}},
        {"endless line and arc", Seg(0, -1, 0, 1, GEO_GEOLINE), Arc(0, 0, 10, 0, pi), 0, {0, 10}},
        {"endless line and elliptic arc", Seg(0, -1, 0, 1, GEO_GEOLINE), ElliArc(0, 0, 20, 10, 0, pi), 0, {0, 10}},
        {"endless line far from a Bezier's points", Seg(5, 1000, 5, 1001, GEO_GEOLINE), Bez(0, 0, 3, 0, 7, 0, 10, 0),
         0, {5, 0}},
        {"circles", Circ(0, 0, 10), Circ(10, 0, 10), 0, {5, 8.660254, 5, -8.660254}},
        {"touching circles", Circ(0, 0, 10), Circ(20, 0, 10), 0, {10, 0}},
        {"concentric circles", Circ(0, 0, 10), Circ(0, 0, 5), 0, {}},
        {"concentric arcs", Arc(0, 0, 10, 0, pi), Arc(0, 0, 10, pi / 2, 3 * pi / 2), 0, {}},
        {"circle and arc", Circ(0, 0, 10), Arc(10, 0, 10, 0, pi), 0, {5, 8.660254}},
        {"arcs of a chain, junction", Arc(0, 0, 10, 0, pi / 2), Arc(0, 20, 10, 3 * pi / 2, 2 * pi), 0, {0, 10}},
        {"arcs of a chain, filter", Arc(0, 0, 10, 0, pi / 2), Arc(0, 20, 10, 3 * pi / 2, 2 * pi), 1, {}},
        {"circle and Bezier", Circ(5, 0, 3), Bez(0, 0, 3, 0, 7, 0, 10, 0), 0, {2, 0, 8, 0}},
        {"arc and Bezier", Arc(5, 0, 3, -pi / 2, pi / 2), Bez(0, 0, 3, 0, 7, 0, 10, 0), 0, {8, 0}},
        {"Beziers", Bez(0, 0, 3, 0, 7, 0, 10, 0), Bez(5, -5, 5, -2, 5, 2, 5, 5), 0, {5, 0}},
        {"circle inside an ellipse", Circ(0, 0, 4), Elli(0, 0, 20, 5), 0, {}},
        {"circle and flat ellipse", Circ(0, 0, 10), Elli(0, 0, 20, 5), 0,
         {std::sqrt(80.0), std::sqrt(20.0), -std::sqrt(80.0), std::sqrt(20.0), -std::sqrt(80.0), -std::sqrt(20.0),
          std::sqrt(80.0), -std::sqrt(20.0)}},
        {"circle and ellipse crossing", Circ(0, 0, 10), Elli(0, 0, 20, 10), 0, {0, 10, 0, -10}},
        {"circle and elliptic arc", Circ(0, 0, 10), ElliArc(0, 0, 20, 10, 0, pi), 0, {0, 10}},
        {"arc and ellipse", Arc(0, 0, 10, pi, 2 * pi), Elli(0, 0, 20, 10), 0, {0, -10}},
        {"ellipse and Bezier", Elli(0, 0, 5, 2), Bez(0, -5, 0, -2, 0, 2, 0, 5), 0, {0, -2, 0, 2}},
        {"equal ellipses", Elli(0, 0, 20, 10), Elli(0, 0, 20, 10), 0, {}},
        {"other type", Seg(0, 0, 10, 10, GEO_MARK), Seg(0, 10, 10, 0), 0, {}},
    };
    for (const Case &c : cases) {
        Check(c, c.a, c.b);
        Check(c, c.b, c.a);
    }
    // Two ellipses crossing in four points: x = y = +-20/sqrt(5).
    const double q = 20.0 / std::sqrt(5.0);
    const Case four{"ellipses", Elli(0, 0, 20, 10), Elli(0, 0, 10, 20), 0, {q, q, -q, q, -q, -q, q, -q}};
    Check(four, four.a, four.b);
}

} // namespace
