#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/system.h"
#include "common/test_objects.h"
#include "database/create_fixture.h"
#include "database/undo.h"
#include "geometry/frame.h"
#include "geometry/hatch.h"
#include "geometry/poly.h"
#include "language/language.h"

namespace {

std::vector<int16_t> ElementKinds(Unit *u)
{
    std::vector<int16_t> out;
    UnitForEachElement(u, [&](Element *e) { out.push_back(e->kind); });
    return out;
}

class SurfaceTest : public CreateTest {
protected:
    double savedTolerance_ = 0;
    void SetUp() override
    {
        CreateTest::SetUp();
        savedTolerance_ = g_LocalData.surfaceTolerance;
        g_LocalData.surfaceTolerance = 0.01;
    }
    void TearDown() override
    {
        g_LocalData.surfaceTolerance = savedTolerance_;
        CreateTest::TearDown();
    }
    static Unit *Selected(Unit *u)
    {
        u->flags |= UNIT_SELECTED;
        FrameCalcObject(u, 0);
        return u;
    }
    static std::vector<Unit *> Surfaces()
    {
        std::vector<Unit *> out;
        for (Unit *u : TestAliveUnits())
            if (u->object.type == OBJTYPE_SURFACE)
                out.push_back(u);
        return out;
    }
    static bool Alerted(int entry)
    {
        for (const std::string &t : Alerts().texts)
            if (t == eAlertTextSM[entry])
                return true;
        return false;
    }
};

TEST_F(SurfaceTest, FourCrossingLinesGiveTheSquareBetweenThem)
{
    Selected(TestNewLine(-5, 0, 15, 0));
    Selected(TestNewLine(-5, 10, 15, 10));
    Selected(TestNewLine(0, -5, 0, 15));
    Selected(TestNewLine(10, -5, 10, 15));
    UndoInitProcess();
    ASSERT_EQ(PolyGenerateSurface(UNIT_SELECTED, 4, 6), 1);
    EXPECT_TRUE(Alerts().texts.empty());
    ASSERT_EQ(Surfaces().size(), 1u);
    Unit *s = Surfaces()[0];
    EXPECT_EQ(ElementKinds(s), (std::vector<int16_t>{POINT_START, POINT_LINE, POINT_LINE, POINT_LINE, POINT_LINE}));
    EXPECT_TRUE(s->flags & UNIT_TEMPORARY);
    EXPECT_NEAR(s->frame[0], 0, 1e-9);
    EXPECT_NEAR(s->frame[1], 0, 1e-9);
    EXPECT_NEAR(s->frame[2], 10, 1e-9);
    EXPECT_NEAR(s->frame[3], 10, 1e-9);
    // The last point returns to the first.
    EXPECT_NEAR(UnitPointAt(s, 0)->x, UnitPointAt(s, 4)->x, 1e-9);
    EXPECT_NEAR(UnitPointAt(s, 0)->y, UnitPointAt(s, 4)->y, 1e-9);
    // The command's temporary surfaces go for good within its step.
    UndoDeleteTemporary();
    UndoFinishProcess();
    EXPECT_TRUE(Surfaces().empty());
}

TEST_F(SurfaceTest, OpenFiguresAndEmptySelectionsAreRefused)
{
    EXPECT_EQ(PolyGenerateSurface(UNIT_SELECTED, 0, 0), 0);
    EXPECT_TRUE(Alerted(22));
    Alerts() = AlertLog{};
    Selected(TestNewLine(-5, 0, 5, 0));
    Selected(TestNewLine(0, -5, 0, 5));
    EXPECT_EQ(PolyGenerateSurface(UNIT_SELECTED, 1, 1), 0);
    EXPECT_TRUE(Alerted(48));
    EXPECT_TRUE(Surfaces().size() == 0);
}

TEST_F(SurfaceTest, CirclesStayInTwoArcsAndLinesCutThem)
{
    // A circle picked inside: its two half arcs are not joined into a full turn.
    Unit *circle = TestNewObject(0, OBJTYPE_CIRCLE, {0, 0, 5, 0});
    Selected(circle);
    ASSERT_EQ(PolyGenerateSurface(UNIT_SELECTED, 1, 1), 1);
    ASSERT_EQ(Surfaces().size(), 1u);
    EXPECT_EQ(ElementKinds(Surfaces()[0]),
              (std::vector<int16_t>{POINT_START, POINT_ARC_PIECE_END, ELEM_CURVE, POINT_ARC_PIECE_END, ELEM_CURVE}));
    UndoDeleteTemporary();
    // A line through the centre: the upper half is an arc and the line between the crossings.
    Selected(TestNewLine(-10, 0, 10, 0));
    ASSERT_EQ(PolyGenerateSurface(UNIT_SELECTED, 1, 2), 1);
    ASSERT_EQ(Surfaces().size(), 1u);
    Unit *half = Surfaces()[0];
    std::vector<int16_t> kinds = ElementKinds(half);
    EXPECT_EQ(kinds.size(), 4u);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), POINT_LINE), 1);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), ELEM_CURVE), 1);
    EXPECT_NEAR(half->frame[1], 0, 1e-9);
    EXPECT_NEAR(half->frame[3], 5, 1e-6);
}

// The area a point gets among the selected outlines: the outline around it
// and the outlines of the islands within that outline as holes.
class SurfaceAreaTest : public SurfaceTest {
protected:
    static Unit *Circle(double cx, double cy, double r) { return Selected(TestNewObject(0, OBJTYPE_CIRCLE, {cx, cy, cx + r, cy})); }
    static void Plate()
    {
        Selected(TestNewLine(-60, -40, 60, -40));
        Selected(TestNewLine(60, -40, 60, 40));
        Selected(TestNewLine(60, 40, -60, 40));
        Selected(TestNewLine(-60, 40, -60, -40));
    }
    static int Loops(Unit *u)
    {
        int n = 0;
        UnitForEachElement(u, [&](Element *e) { n += e->kind == POINT_START; });
        return n;
    }
    // Whether the generated surface holds (x, y), by its own even-odd count.
    static bool Holds(double x, double y)
    {
        BufferData b{};
        EXPECT_EQ(PolyBufferAlloc(&b, -2, 1), 1);
        EXPECT_EQ(PolyBufferAddSelected(&b, UNIT_TEMPORARY, 2), 1);
        PolyBufferPrepare(&b, 0.001);
        const bool inside = HatchPointInside(x, y, b.items, b.used, 0) != 0;
        PolyBufferFree(&b);
        return inside;
    }
    struct Case {
        double x, y;           // the entered point
        int loops;             // 0: no area
        std::vector<std::pair<double, double>> in, out; // probes
        const char *what;
    };
    void Check(const std::vector<Case> &cases)
    {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.what);
            Alerts() = AlertLog{};
            UndoInitProcess();
            const int made = PolyGenerateSurface(UNIT_SELECTED, c.x, c.y);
            if (c.loops == 0) {
                EXPECT_EQ(made, 0);
                EXPECT_TRUE(Alerted(8)) << "the user is told";
                EXPECT_TRUE(Surfaces().empty());
            } else {
                ASSERT_EQ(made, 1);
                ASSERT_EQ(Surfaces().size(), 1u);
                EXPECT_EQ(Loops(Surfaces()[0]), c.loops);
                for (auto [x, y] : c.in)
                    EXPECT_TRUE(Holds(x, y)) << x << " " << y;
                for (auto [x, y] : c.out)
                    EXPECT_FALSE(Holds(x, y)) << x << " " << y;
            }
            UndoDeleteTemporary();
            UndoFinishProcess();
        }
    }
};

TEST_F(SurfaceAreaTest, APlateWithTwoHoles)
{
    Plate();
    Circle(-30, 0, 10);
    Circle(30, 0, 10);
    const std::vector<std::pair<double, double>> ring{{0, 25}, {0, -30}, {-49, -5}, {55, 35}};
    const std::vector<std::pair<double, double>> holes{{-30, 0}, {30, 0}, {-35, 5}};
    Check({
        {0, 25, 3, ring, holes, "in the ring above"},
        {0, -30, 3, ring, holes, "in the ring below"},
        {-49, -5, 3, ring, holes, "in the ring, nearer the hole than the edge"},
        {-30, 0, 1, {{-30, 0}, {-35, 5}}, {{0, 25}, {30, 0}}, "in a hole"},
        {100, 100, 0, {}, {}, "outside everything"},
        {0, 40, 3, ring, holes, "on the outer outline"},
        {-20, 0, 1, {{-30, 0}}, {{0, 25}}, "on a hole's outline"},
    });
}

TEST_F(SurfaceAreaTest, IslandsTouchingTheOutlineAndNestedIslands)
{
    Plate();
    Circle(55, 0, 10);  // crosses the right edge: a bay of the outline, no hole
    Circle(0, 0, 30);   // an island ...
    Circle(0, 0, 10);   // ... with an island of its own
    Check({
        {-50, 30, 2, {{-50, 30}, {45, 30}}, {{52, 0}, {58, 0}, {0, 20}, {0, 0}}, "between the outline and the islands"},
        {0, 20, 2, {{0, 20}, {-20, 0}}, {{0, 0}, {-50, 30}}, "in the ring of the nested islands"},
        {0, 0, 1, {{0, 0}}, {{0, 20}}, "in the innermost island"},
        {58, 0, 1, {{58, 0}, {50, 5}}, {{62, 0}, {0, 35}}, "in the island's part within the plate"},
        {62, 0, 1, {{62, 0}}, {{58, 0}, {0, 35}}, "in the island's part outside the plate"},
    });
}

TEST_F(SurfaceTest, TheSplitKeepsASlotForItsSentinel)
{
    // Two lines crossing: four pieces; an output of exactly four slots has
    // no room behind them and is refused instead of written past.
    BufferData in{}, out{};
    ASSERT_EQ(PolyBufferAlloc(&in, 4, 0), 1);
    in.xmin = in.ymin = -10, in.xmax = in.ymax = 10;
    in.used = 2;
    in.items[0].type = POLY_ITEM_LINE, in.items[0].x1 = -5, in.items[0].x2 = 5;
    in.items[1].type = POLY_ITEM_LINE, in.items[1].y1 = -5, in.items[1].y2 = 5;
    in.items[1].contour = 1;
    PolyBufferPrepare(&in, 0.01);
    ASSERT_EQ(PolyBufferAlloc(&out, 4, 0), 1);
    EXPECT_EQ(PolySplitItems(&in, &out, 0.01), 0);
    PolyBufferFree(&out);
    ASSERT_EQ(PolyBufferAlloc(&out, 5, 0), 1);
    ASSERT_EQ(PolySplitItems(&in, &out, 0.01), 1);
    EXPECT_EQ(out.used, 4);
    EXPECT_EQ(out.items[4].contour, -1);
    EXPECT_EQ(out.items[0].contourEnd, 1); // start free
    EXPECT_EQ(out.items[0].reserved, 0);   // ends at the crossing
    EXPECT_DOUBLE_EQ(out.items[1].x1, 0);
    PolyBufferFree(&out);
    PolyBufferFree(&in);
}

} // namespace
