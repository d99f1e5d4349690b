// Divisions and multiple copies: the spacing rules as one table, points along
// shapes, arrays, marker points, and copying the selection to placements.
#include "../database/create_fixture.h"

#include <cmath>

#include "app/system.h"
#include "commands/copy.h"
#include "database/object_rects.h"
#include "common/test_objects.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

ConstructionSettings Rule(int32_t mode)
{
    ConstructionSettings s;
    CopyInitConstructionSettings(&s);
    s.mode = mode;
    return s;
}

struct DivideCase {
    const char *name;
    ConstructionSettings rule;
    double length;
    int count;
    std::vector<double> distances; // the first ones
};

std::vector<DivideCase> DivideCases()
{
    std::vector<DivideCase> cases;
    ConstructionSettings s = Rule(CONSTRUCT_EQUAL);
    s.equalParts = 4;
    cases.push_back({"equal 4", s, 100, 5, {0, 25, 50, 75, 100}});
    s = Rule(CONSTRUCT_LOGARITHMIC);
    cases.push_back({"one decade", s, 100, 10, {0, 100 * std::log10(2.0), 100 * std::log10(3.0)}});
    s = Rule(CONSTRUCT_GOLDEN);
    cases.push_back({"golden 1", s, 100, 3, {0, 38.196601125, 100}});
    s = Rule(CONSTRUCT_GEOMETRIC);
    s.geometricCounted = 1, s.geometricCount = 3, s.geometricFirst = 10;
    cases.push_back({"geometric counted", s, 100, 3, {0, 10, 19}});
    s.geometricCounted = 0, s.geometricFactor = 0.5;
    cases.push_back({"geometric never reaching the length", s, 100, -1, {}});
    s.geometricFirst = 100;
    cases.push_back({"geometric first at the length", s, 100, -1, {}});
    s = Rule(CONSTRUCT_ARITHMETIC);
    s.arithmeticCounted = 1, s.arithmeticCount = 2, s.arithmeticFirst = 10;
    cases.push_back({"arithmetic counted", s, 100, 2, {0, 10}});
    s = Rule(CONSTRUCT_LIST);
    s.listLength = 3, s.list[0] = 1, s.list[1] = 2, s.list[2] = 1;
    cases.push_back({"list 1 2 1", s, 100, 4, {0, 25, 75, 100}});
    s.list[0] = s.list[1] = s.list[2] = 0;
    cases.push_back({"list of zeros", s, 100, -1, {}});
    s = Rule(CONSTRUCT_EQUAL);
    cases.push_back({"zero length", s, 0, -1, {}});
    s.mode = 9;
    cases.push_back({"unknown mode", s, 100, 0, {}});
    return cases;
}

TEST(CopyDivide, TheSpacingRules)
{
    std::vector<CopyPair> pairs(COPY_DIVISION_MAX);
    for (const DivideCase &c : DivideCases()) {
        const int n = CopyDivideLength(c.length, &c.rule, pairs.data());
        ASSERT_EQ(n, c.count) << c.name;
        for (size_t i = 0; i < c.distances.size(); ++i)
            EXPECT_NEAR(pairs[i].distance, c.distances[i], 1e-9) << c.name << " " << i;
    }
    ConstructionSettings s = Rule(CONSTRUCT_LOGARITHMIC);
    ASSERT_EQ(CopyDivideLength(100, &s, pairs.data()), 10);
    EXPECT_DOUBLE_EQ(pairs[9].fraction, 1.0) << "the last decade ends at the length";
}

class CopyTest : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        SystemInitCommandDefaults(&g_CommandDefaults);
    }
};

TEST_F(CopyTest, PointsAlongShapes)
{
    g_CommandDefaults.construction[0].equalParts = 4;
    std::vector<CopyPoint> points(COPY_DIVISION_MAX);
    ASSERT_EQ(CopyDivideLine({0, 0}, {100, 0}, points.data()), 5);
    EXPECT_DOUBLE_EQ(points[3].x, 75.0);
    ASSERT_EQ(CopyDivideCircle({0, 0}, {2, 0}, 1, points.data()), 4) << "the fifth repeats the first";
    EXPECT_NEAR(points[1].x, 0.0, 1e-12);
    EXPECT_NEAR(points[1].y, 2.0, 1e-12);
    ASSERT_EQ(CopyDivideCircle({0, 0}, {2, 0}, 0, points.data()), 4);
    EXPECT_NEAR(points[1].y, -2.0, 1e-12);
    ASSERT_EQ(CopyDivideCircArc({0, 0}, {1, 0}, {1, 0}, {1, 0}, 1, points.data()), 5);
    EXPECT_NEAR(points[2].x, -1.0, 1e-12) << "an arc ending where it starts is a full turn";
    ASSERT_EQ(CopyDivideEllipse({0, 0}, {0, 1}, {2, 0}, 1, points.data()), 4);
    EXPECT_NEAR(points[0].x, 2.0, 1e-12);
    EXPECT_NEAR(points[1].y, 1.0, 1e-12);

    std::vector<CopyPlacement> places(COPY_DIVISION_MAX);
    ASSERT_EQ(CopyPlaceCircle({0, 0}, {2, 0}, 0, places.data()), 4);
    EXPECT_NEAR(places[1].rotation, 1.5 * kPi, 1e-12);
    g_CommandDefaults.construction[1].equalParts = 2;
    ASSERT_EQ(CopyPlaceGrid({0, 0}, {4, 0}, {4, 2}, places.data(), 100), 15);
    EXPECT_DOUBLE_EQ(places[14].x, 4.0);
    EXPECT_DOUBLE_EQ(places[14].y, 2.0);
    EXPECT_EQ(CopyPlaceGrid({0, 0}, {4, 0}, {4, 2}, places.data(), 14), -1);
}

TEST_F(CopyTest, PolarArrayOfFourTurnsThreeCopies)
{
    Unit *line = TestNewLine(1, 0, 2, 0);
    FrameCalcObject(line, 1);
    line->flags |= UNIT_SELECTED;
    CopyPlacement places[8];
    ASSERT_EQ(CopyPolarArrayPositions({0, 0}, 4, places), 3);
    UndoInitProcess();
    ASSERT_EQ(CopySelectionToPoints(places, 3, {0, 0}, UNIT_SELECTED, 1), 1);
    UndoFinishProcess();
    std::vector<std::pair<double, double>> starts;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
        const auto *p = reinterpret_cast<const ElementPoint *>(UnitFirstElement(u));
        starts.push_back({std::round(p->x * 1e9) / 1e9, std::round(p->y * 1e9) / 1e9});
        if (u != line)
            EXPECT_EQ(u->flags & (UNIT_SELECTED | UNIT_TRANSFORM), 0u);
    }
    std::sort(starts.begin(), starts.end());
    EXPECT_EQ(starts, (std::vector<std::pair<double, double>>{{-1, 0}, {0, -1}, {0, 1}, {1, 0}}));
    EXPECT_DOUBLE_EQ(g_ChangedRect[0], -2.0);
    ASSERT_EQ(UndoStepBack(), 1);
    int alive = 0;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        alive += UndoIsVisible(u, g_UndoStep);
    EXPECT_EQ(alive, 1) << "all copies in one step";
}

TEST_F(CopyTest, LinearArrayAndMarkPoints)
{
    CopyPlacement places[4];
    ASSERT_EQ(CopyLinearArrayPositions({1, 1}, {2, 3}, 3, places), 3);
    EXPECT_DOUBLE_EQ(places[2].x, 4.0);
    EXPECT_DOUBLE_EQ(places[2].y, 7.0);
    Unit *mark = TestNewObject(LIST_DRAWING, OBJTYPE_MARK, {1, 2, 3, 4, 5, 6});
    mark->flags |= UNIT_SELECTED;
    EXPECT_EQ(CopyCollectMarkPoints(places, 4, UNIT_SELECTED), 3);
    EXPECT_DOUBLE_EQ(places[2].y, 6.0);
    EXPECT_EQ(CopyCollectMarkPoints(places, 2, UNIT_SELECTED), -1);
}

} // namespace
