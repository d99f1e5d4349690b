// Corners of the Change menu end to end through the input machine: between
// two picked objects and at the vertices of polylines, one undo step each.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/system.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/trim_corner.h"
#include "common/test_alerts.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "geometry/calc.h"
#include "geometry/frame.h"
#include "geometry/pick_objects.h"
#include "language/language.h"

namespace {

struct Pt {
    double x, y;
};

std::vector<Pt> Points(const Unit *u)
{
    std::vector<Pt> out;
    for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (ElementIsPoint(e))
            out.push_back({reinterpret_cast<const ElementPoint *>(e)->x, reinterpret_cast<const ElementPoint *>(e)->y});
    return out;
}

std::vector<int> Kinds(const Unit *u)
{
    std::vector<int> kinds;
    for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        kinds.push_back(e->kind);
    return kinds;
}

int Count(const std::vector<Unit *> &units, int32_t type)
{
    int n = 0;
    for (const Unit *u : units)
        n += u->object.type == type;
    return n;
}

class Corner : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        g_CommandDefaults.distances[COMMAND_DISTANCE_FILLET] = 2;
        g_CommandDefaults.distances[COMMAND_DISTANCE_CHAMFER] = 2;
        g_CommandDefaults.angle = CALC_PI / 4;
    }
    void TearDown() override
    {
        FreeStorage();
        CommandTest::TearDown();
    }
    void Run(int command, const std::vector<Pt> &picks)
    {
        TestStartCommand(command, command);
        int code = INPUT_CONTINUE;
        for (const Pt &p : picks)
            code = InputPoint(p.x, p.y, 1);
        ASSERT_EQ(code, INPUT_COMPLETE);
        CommandRun(command);
    }
    TestAlerts alerts_;
};

TEST_F(Corner, TwoLinesGetAFilletChamferArcOrExtensionInOneUndoStep)
{
    struct Case {
        int command;
        int32_t pieceType; // -1: no corner piece
        Pt pieceStart, pieceEnd;
    };
    const Case cases[] = {
        {CMD_CORNER_FILLET, OBJTYPE_CIRC_ARC, {2, 0}, {0, 2}},
        {CMD_CORNER_CHAMFER, OBJTYPE_LINE, {2, 0}, {0, 2}},
        {CMD_CORNER_ARC, OBJTYPE_CIRC_ARC, {2, 0}, {0, 2}},
        {CMD_CORNER_EXTEND, -1, {0, 0}, {0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        FreeStorage();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        UndoReset();
        ASSERT_NE(TestNewLine(10, 0, 1, 0), nullptr);
        ASSERT_NE(TestNewLine(0, 10, 0, 1), nullptr);
        const int32_t step = g_UndoStep;
        Run(c.command, {{1.5, 0.05}, {0.05, 1.5}});
        EXPECT_TRUE(alerts_.texts().empty());
        const std::vector<Unit *> alive = TestAliveUnits();
        ASSERT_EQ(alive.size(), c.pieceType < 0 ? 2u : 3u);
        // Line 1 keeps its far end, line 2 likewise; their near ends meet the piece.
        const Pt end1 = c.pieceType < 0 ? Pt{0, 0} : c.pieceStart, end2 = c.pieceType < 0 ? Pt{0, 0} : c.pieceEnd;
        bool first = false, second = false;
        for (const Unit *u : alive) {
            const std::vector<Pt> p = Points(u);
            if (u->object.type == OBJTYPE_LINE && p[0].x == 10) {
                first = true;
                EXPECT_NEAR(p[1].x, end1.x, 1e-9);
                EXPECT_NEAR(p[1].y, end1.y, 1e-9);
            } else if (u->object.type == OBJTYPE_LINE && p[0].y == 10) {
                second = true;
                EXPECT_NEAR(p[1].x, end2.x, 1e-9);
                EXPECT_NEAR(p[1].y, end2.y, 1e-9);
            } else {
                ASSERT_EQ(u->object.type, c.pieceType);
                const size_t s = c.pieceType == OBJTYPE_LINE ? 0 : 2;
                EXPECT_NEAR(p[s].x, c.pieceStart.x, 1e-9);
                EXPECT_NEAR(p[s].y, c.pieceStart.y, 1e-9);
                EXPECT_NEAR(p[s + 1].x, c.pieceEnd.x, 1e-9);
                EXPECT_NEAR(p[s + 1].y, c.pieceEnd.y, 1e-9);
            }
        }
        EXPECT_TRUE(first && second);
        EXPECT_EQ(g_UndoStep, step + 1);
        ASSERT_EQ(UndoStepBack(), 1);
        EXPECT_EQ(TestAliveUnits().size(), 2u);
        EXPECT_EQ(Count(TestAliveUnits(), OBJTYPE_LINE), 2);
    }
}

TEST_F(Corner, ALineExtendedToAnArcMovesTheArcsEndToo)
{
    // The arc about (0, 5) from (0, 0) counter-clockwise up to (0, 10); the
    // line from (20, 5) stops short of it at (8, 5).
    Unit *arc = TestNewObject(LIST_DRAWING, OBJTYPE_CIRC_ARC, {0, 5, 5, 5, 0, 0, 0, 10});
    ASSERT_NE(arc, nullptr);
    FrameCalcObject(arc, 0);
    ASSERT_NE(TestNewLine(20, 5, 8, 5), nullptr);
    Run(CMD_CORNER_EXTEND, {{9, 5.05}, {4.9, 6}});
    EXPECT_TRUE(alerts_.texts().empty());
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    for (const Unit *u : alive) {
        const std::vector<Pt> p = Points(u);
        if (u->object.type == OBJTYPE_LINE) {
            EXPECT_NEAR(p[1].x, 5, 1e-9);
            EXPECT_NEAR(p[1].y, 5, 1e-9);
        } else {
            ASSERT_EQ(u->object.type, OBJTYPE_CIRC_ARC);
            EXPECT_NEAR(p[2].x, 0, 1e-9) << "the start stays";
            EXPECT_NEAR(p[3].x, 5, 1e-9) << "the end moves to the meeting point";
            EXPECT_NEAR(p[3].y, 5, 1e-9);
        }
    }
}

TEST_F(Corner, CopyModeKeepsBothLines)
{
    g_DrawingSettings.displayDuplicate = 1;
    ASSERT_NE(TestNewLine(10, 0, 1, 0), nullptr);
    ASSERT_NE(TestNewLine(0, 10, 0, 1), nullptr);
    Run(CMD_CORNER_FILLET, {{1.5, 0.05}, {0.05, 1.5}});
    const std::vector<Unit *> alive = TestAliveUnits();
    EXPECT_EQ(alive.size(), 5u);
    EXPECT_EQ(Count(alive, OBJTYPE_CIRC_ARC), 1);
}

TEST_F(Corner, ImpossibleCornersAndCirclesAreRefusedWithoutAStep)
{
    // Parallel lines have no fillet; a circle has no end to move.
    ASSERT_NE(TestNewLine(0, 0, 10, 0), nullptr);
    ASSERT_NE(TestNewLine(0, 20, 10, 20), nullptr);
    Unit *circle = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {30, 0, 35, 0});
    ASSERT_NE(circle, nullptr);
    FrameCalcObject(circle, 0);
    const int32_t step = g_UndoStep;
    Run(CMD_CORNER_FILLET, {{5, 0.05}, {5, 20.05}});
    Run(CMD_CORNER_EXTEND, {{5, 0.05}, {35.02, 0}});
    Run(CMD_CORNER_FILLET, {{5, 0.05}, {5, 0.05}});
    ASSERT_EQ(alerts_.texts().size(), 3u);
    EXPECT_EQ(alerts_.texts()[0], eAlertTextSM[8]);
    EXPECT_EQ(alerts_.texts()[1], eAlertTextSM[60]);
    EXPECT_TRUE(alerts_.texts()[2] == eAlertTextSM[5] || alerts_.texts()[2] == eAlertTextSM[8]) << "one line picked twice";
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(TestAliveUnits().size(), 3u);
}

// A square Surface, or an open polyline, as a path object of list 0.
Unit *Polyline(int32_t type, const std::vector<Pt> &points)
{
    std::vector<PathStep> steps;
    for (size_t i = 0; i < points.size(); ++i)
        steps.push_back({int16_t(i ? POINT_LINE : POINT_START), points[i].x, points[i].y});
    Unit *u = PickNewPath(type, steps);
    FrameCalcObject(u, 0);
    return u;
}

TEST_F(Corner, FilletAtEveryVertexOfASquareGivesFourArcsInOneStep)
{
    ASSERT_NE(Polyline(OBJTYPE_SURFACE, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}), nullptr);
    const int32_t step = g_UndoStep;
    Run(CMD_VERTICES_FILLET, {{5, 0.05}});
    EXPECT_TRUE(alerts_.texts().empty());
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    const std::vector<int> kinds = Kinds(alive[0]);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), POINT_ARC_PIECE_END), 4);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), POINT_LINE), 4);
    // Every point lies on the rounded square: sides shortened by the radius 2.
    for (const Pt &p : Points(alive[0]))
        EXPECT_TRUE(std::fabs(std::fabs(p.x - 5) - 5) < 1e-9 || std::fabs(std::fabs(p.y - 5) - 5) < 1e-9);
    for (const Pt &p : Points(alive[0]))
        EXPECT_LE(std::fabs(p.x - 5) + std::fabs(p.y - 5), 8 + 1e-9) << "no point left at a corner";
    EXPECT_EQ(g_UndoStep, step + 1);
    ASSERT_EQ(UndoStepBack(), 1);
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    EXPECT_EQ(Points(TestAliveUnits()[0]).size(), 4u);
}

TEST_F(Corner, ARadiusLargerThanASideFailsThatVertexOnly)
{
    // The short side of 3 cannot take two fillets of radius 2: its two
    // vertices fail with alert 46, the two others are rounded.
    ASSERT_NE(Polyline(OBJTYPE_SURFACE, {{0, 0}, {20, 0}, {20, 3}, {0, 3}}), nullptr);
    Run(CMD_VERTICES_FILLET, {{5, 0.05}});
    ASSERT_EQ(alerts_.texts().size(), 1u);
    EXPECT_EQ(alerts_.texts()[0], eAlertTextSM[46]);
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    const std::vector<int> kinds = Kinds(alive[0]);
    EXPECT_GE(std::count(kinds.begin(), kinds.end(), POINT_ARC_PIECE_END), 1);
    EXPECT_LT(std::count(kinds.begin(), kinds.end(), POINT_ARC_PIECE_END), 4);
}

TEST_F(Corner, OpenPolylineVertexCorners)
{
    // An open L: the one inner vertex is the only corner; its ends get none.
    ASSERT_NE(Polyline(OBJTYPE_CURVE, {{10, 0}, {0, 0}, {0, 10}}), nullptr);
    Run(CMD_VERTICES_CHAMFER, {{5, 0.05}});
    ASSERT_EQ(alerts_.texts().size(), 1u) << "only the chamfer question";
    EXPECT_EQ(alerts_.texts()[0], eAlertTextSM[12]);
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    const std::vector<Pt> p = Points(alive[0]);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_NEAR(p[1].x, 2, 1e-9);
    EXPECT_NEAR(p[2].y, 2, 1e-9);

    // Laid off along the leaving segment with a steeper angle: the chamfer
    // meets the arriving leg farther from the vertex.
    UndoStepBack();
    alerts_.clear();
    alerts_.answer(17);
    g_CommandDefaults.angle = CALC_PI / 3;
    Run(CMD_VERTEX_CHAMFER, {{0.05, 1}});
    alerts_.answer(0);
    ASSERT_EQ(alerts_.texts().size(), 1u);
    const std::vector<Pt> leaving = Points(TestAliveUnits()[0]);
    ASSERT_EQ(leaving.size(), 4u);
    EXPECT_NEAR(leaving[1].x, 2 * std::tan(CALC_PI / 3), 1e-9) << "on the arriving leg";
    EXPECT_NEAR(leaving[2].y, 2, 1e-9) << "the length along the leaving leg";

    // The arc about the vertex nearest the pick.
    UndoStepBack();
    alerts_.clear();
    Run(CMD_VERTEX_ARC, {{0.05, 1}});
    EXPECT_TRUE(alerts_.texts().empty());
    const std::vector<int> kinds = Kinds(TestAliveUnits()[0]);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), POINT_ARC_PIECE_END), 1);

    // Cancelling the chamfer question changes nothing and leaves no step.
    UndoStepBack();
    const int32_t step = g_UndoStep;
    alerts_.answer(2);
    Run(CMD_VERTEX_CHAMFER, {{0.05, 1}});
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(Points(TestAliveUnits()[0]).size(), 3u);
}

TEST_F(Corner, CornersThatOverfillTheSegmentArrayAreRefused)
{
    // A polygon of three quarters of the most points one object holds: a
    // fillet at every vertex would double its segments beyond that.
    const int n = int(g_ObjectLimits.maxUnitPoints) * 3 / 4;
    std::vector<Pt> points;
    for (int i = 0; i < n; ++i) {
        const double a = CALC_TWO_PI * i / n, r = i % 2 ? 80.0 : 100.0;
        points.push_back({r * std::cos(a), r * std::sin(a)});
    }
    Unit *star = Polyline(OBJTYPE_SURFACE, points);
    ASSERT_NE(star, nullptr);
    g_CommandDefaults.distances[COMMAND_DISTANCE_FILLET] = 0.001;
    const int32_t step = g_UndoStep;
    Run(CMD_VERTICES_FILLET, {{100, 0}});
    ASSERT_EQ(alerts_.texts().size(), 1u);
    EXPECT_EQ(alerts_.texts()[0], eAlertTextSM[84]);
    EXPECT_EQ(g_UndoStep, step);
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    EXPECT_EQ(TestAliveUnits()[0], star);
}

TEST_F(Corner, VertexCommandsTakeOnlyPaths)
{
    // The pick step takes only paths; the command refuses other objects too.
    Unit *line = TestNewLine(0, 0, 10, 0);
    ASSERT_NE(line, nullptr);
    UndoAssignIdent(line);
    TestStartCommand(CMD_VERTICES_FILLET, CMD_VERTICES_FILLET);
    g_InputPoints[0].ident = line->ident;
    EXPECT_EQ(TrimVertexCommand(CMD_VERTICES_FILLET, 0), 0);
    ASSERT_EQ(alerts_.texts().size(), 1u);
    EXPECT_EQ(alerts_.texts()[0], eAlertTextSM[60]);
}

TEST_F(Corner, NearestVertexIsTheNearestSegmentEnd)
{
    GeoObject s[3]{};
    const double ends[3][2] = {{10, 0}, {10, 10}, {0, 10}};
    for (int i = 0; i < 3; ++i)
        s[i].type = GEO_LINE, s[i].d[2] = ends[i][0], s[i].d[3] = ends[i][1];
    const CalcPoint p = {9, 9}, q = {0, 0};
    EXPECT_EQ(TrimNearestVertex(s, 3, &p), 1);
    EXPECT_EQ(TrimNearestVertex(s, 3, &q), 0) << "the first of equal distances";
    EXPECT_EQ(TrimNearestVertex(s, 0, &p), -1);
}

} // namespace
