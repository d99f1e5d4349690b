// The Change menu's cutting commands end to end through the input machine,
// and the fetch, store and type conversions they rest on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/menu.h"
#include "commands/transform.h"
#include "commands/trim.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/init.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"
#include "geometry/calc_candidate.h"
#include "geometry/frame.h"

namespace {

std::vector<uint32_t> s_Alerts;
uint32_t RecordAlert(const char *, uint32_t code1, uint32_t, uint32_t)
{
    s_Alerts.push_back(code1);
    return code1;
}

struct Pt {
    double x, y;
};

class Change : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = RecordAlert;
        s_Alerts.clear();
    }
    void TearDown() override
    {
        g_AlertAnswerHook = savedHook_;
        FreeStorage();
        CommandTest::TearDown();
    }

    // Picks at the first point, places the others, and runs the command.
    void Run(int command, const std::vector<Pt> &points)
    {
        TestStartCommand(command, command);
        int code = INPUT_CONTINUE;
        for (const Pt &p : points)
            code = InputPoint(p.x, p.y, 1);
        ASSERT_EQ(code, INPUT_COMPLETE);
        CommandRun(command);
    }
    static Unit *Circle(double cx, double cy, double r)
    {
        Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {cx, cy, cx + r, cy});
        FrameCalcObject(u, 0);
        return u;
    }
    static std::vector<Pt> Points(const Unit *u)
    {
        std::vector<Pt> out;
        for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (ElementIsPoint(e))
                out.push_back({reinterpret_cast<const ElementPoint *>(e)->x,
                               reinterpret_cast<const ElementPoint *>(e)->y});
        return out;
    }
    static std::vector<int> Kinds(const Unit *u)
    {
        std::vector<int> kinds;
        for (const Element *e = UnitFirstElement(u);; e = ElementNext(e)) {
            kinds.push_back(e->kind);
            if (e->kind == ELEM_END || kinds.size() > 64)
                break;
        }
        return kinds;
    }
    static double Orientation(const Unit *u)
    {
        for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (e->kind == ELEM_ORIENT)
                return *static_cast<const double *>(ElementPayload(e));
        return 0.0;
    }
    static void ExpectLine(const Unit *u, double x1, double x2)
    {
        ASSERT_EQ(u->object.type, OBJTYPE_LINE);
        const std::vector<Pt> p = Points(u);
        ASSERT_EQ(p.size(), 2u);
        EXPECT_NEAR(p[0].x, x1, 1e-9);
        EXPECT_NEAR(p[1].x, x2, 1e-9);
        EXPECT_NEAR(p[0].y, 0.0, 1e-9);
        EXPECT_NEAR(p[1].y, 0.0, 1e-9);
    }

    AlertAnswerHook savedHook_ = nullptr;
};

TEST_F(Change, CutOutOfALineDependsOnWhereItWasPickedAndUndoesInOneStep)
{
    struct Case {
        double pick;
        std::vector<std::pair<double, double>> pieces;
    };
    const Case cases[] = {{50.0, {{0.0, 30.0}, {70.0, 100.0}}}, {10.0, {{30.0, 70.0}}}, {90.0, {{30.0, 70.0}}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pick);
        FreeStorage();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        UndoReset();
        ASSERT_NE(TestNewLine(0, 0, 100, 0), nullptr);
        const int32_t step = g_UndoStep;
        Run(701, {{c.pick, 0.05}, {30, 5}, {70, -5}});
        const std::vector<Unit *> alive = TestAliveUnits();
        ASSERT_EQ(alive.size(), c.pieces.size());
        for (size_t i = 0; i < alive.size(); ++i)
            ExpectLine(alive[i], c.pieces[i].first, c.pieces[i].second);
        EXPECT_EQ(g_UndoStep, step + 1);
        ASSERT_EQ(UndoStepBack(), 1);
        ASSERT_EQ(TestAliveUnits().size(), 1u);
        ExpectLine(TestAliveUnits()[0], 0.0, 100.0);
        EXPECT_TRUE(s_Alerts.empty());
    }
}

TEST_F(Change, CutWithOneEndBeyondTheLineRemovesThePickedSide)
{
    ASSERT_NE(TestNewLine(0, 0, 100, 0), nullptr);
    Run(701, {{80, 0.05}, {30, 5}, {150, 0}});
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    ExpectLine(TestAliveUnits()[0], 0.0, 30.0);
}

TEST_F(Change, CutWithoutAPointInsideIsRefusedAndLeavesNoStep)
{
    ASSERT_NE(TestNewLine(0, 0, 100, 0), nullptr);
    const int32_t step = g_UndoStep;
    Run(701, {{50, 0.05}, {-10, 5}, {150, 5}});
    EXPECT_EQ(s_Alerts.size(), 1u) << "alert 8";
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    ExpectLine(TestAliveUnits()[0], 0.0, 100.0);
    EXPECT_EQ(g_UndoStep, step);
}

TEST_F(Change, CopyModeKeepsTheOldObject)
{
    g_DrawingSettings.displayDuplicate = 1;
    ASSERT_NE(TestNewLine(0, 0, 100, 0), nullptr);
    Run(702, {{50, 0.05}, {40, 5}, {40, 5}});
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 3u);
    ExpectLine(alive[0], 0.0, 100.0);
    ExpectLine(alive[1], 0.0, 40.0);
    ExpectLine(alive[2], 40.0, 100.0);
}

TEST_F(Change, SplittingACircleGivesTwoArcsThatMakeTheCircle)
{
    ASSERT_NE(Circle(0, 0, 10), nullptr);
    Run(702, {{10.05, 0}, {0, 20}, {0, -20}});
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    double sweep = 0;
    for (const Unit *u : alive) {
        ASSERT_EQ(u->object.type, OBJTYPE_CIRC_ARC);
        const std::vector<Pt> p = Points(u);
        ASSERT_EQ(p.size(), 4u);
        EXPECT_NEAR(p[2].y, 10.0, 1e-9);
        EXPECT_NEAR(p[3].y, -10.0, 1e-9);
        sweep += std::fabs(CalcArcSweep(0, 0, p[2].x, p[2].y, p[3].x, p[3].y, Orientation(u) >= 0));
    }
    EXPECT_NEAR(sweep, CALC_TWO_PI, 1e-9);
    EXPECT_NE(Orientation(alive[0]), Orientation(alive[1]));
}

TEST_F(Change, CutOutOfACircleKeepsTheArcWithoutThePick)
{
    // Picked on the right: the left half remains, whichever order the points came in.
    for (const double first : {10.0, -10.0}) {
        FreeStorage();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        UndoReset();
        ASSERT_NE(Circle(0, 0, 10), nullptr);
        Run(701, {{10.05, 0}, {0, first * 2}, {0, -first * 2}});
        const std::vector<Unit *> alive = TestAliveUnits();
        ASSERT_EQ(alive.size(), 1u);
        const std::vector<Pt> p = Points(alive[0]);
        ASSERT_EQ(p.size(), 4u);
        const double mid = CalcArcSweep(0, 0, p[2].x, p[2].y, p[3].x, p[3].y, Orientation(alive[0]) >= 0);
        EXPECT_NEAR(std::fabs(mid), CALC_PI, 1e-9);
        EXPECT_FALSE(CalcAngleInArc(0, 0, p[2].x, p[2].y, p[3].x, p[3].y, 10, 0, Orientation(alive[0]) >= 0));
    }
}

TEST_F(Change, NothingSurvivingIsRefusedInsteadOfDeleting)
{
    Unit *line = TestNewLine(0, 0, 100, 0);
    UndoAssignIdent(line);
    GeoObject g{};
    g.type = GEO_LINE; // zero length
    g_CalcCandidates[0] = g;
    UndoInitProcess();
    EXPECT_EQ(TrimReplaceByCandidates(line->ident, 1), 0);
    UndoCancelProcess();
    EXPECT_EQ(s_Alerts.size(), 1u);
    EXPECT_EQ(TestAliveUnits().size(), 1u);
}

TEST_F(Change, FetchAndStoreReplaceAnObjectKeepingItsUserMark)
{
    Unit *line = TestNewLine(0, 0, 10, 0);
    line->flags |= UNIT_USER_MARK;
    UndoAssignIdent(line);
    const int32_t ident = line->ident;
    UndoInitProcess();
    ScratchUni1 scratch(__FILE__, __LINE__);
    ASSERT_TRUE(scratch);
    Unit *copy = TransformFetchUnit(ident);
    ASSERT_NE(copy, nullptr);
    reinterpret_cast<ElementPoint *>(ElementNext(UnitFirstElement(copy)))->x = 20;
    ASSERT_EQ(TransformStoreUnit(ident, 0), 1);
    UndoFinishProcess();
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->flags & UNIT_USER_MARK, UNIT_USER_MARK);
    EXPECT_NEAR(Points(alive[0])[1].x, 20.0, 1e-12);
    EXPECT_EQ(TransformFetchUnit(-5), nullptr);
    EXPECT_EQ(s_Alerts.size(), 1u) << "alert 5";
}

TEST_F(Change, CircleToCurveIsTwoCounterClockwiseSemicircles)
{
    Unit *circle = Circle(5, 5, 10);
    std::vector<uint8_t> buffer(g_ObjectLimits.scratchSize);
    Unit *target = reinterpret_cast<Unit *>(buffer.data());
    ASSERT_EQ(TransformObjectType(circle, target, OBJTYPE_CURVE), 1);
    EXPECT_EQ(target->object.type, OBJTYPE_CURVE);
    EXPECT_EQ(Kinds(target), (std::vector<int>{1, 9, 102, 9, 102, 999}));
    const std::vector<Pt> p = Points(target);
    EXPECT_NEAR(p[0].x, 15, 1e-12);
    EXPECT_NEAR(p[1].x, -5, 1e-12);
    EXPECT_NEAR(p[2].x, 15, 1e-12);
    for (const Element *e = UnitFirstElement(target); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_CURVE)
            EXPECT_EQ(static_cast<const double *>(ElementPayload(e))[0], 1.0);
    // As a Surface and back: the contour already ends where it began.
    ASSERT_EQ(TransformObjectType(circle, target, OBJTYPE_SURFACE), 1);
    ASSERT_EQ(TransformObjectType(target, target, OBJTYPE_CURVE), 1);
    EXPECT_EQ(Kinds(target), (std::vector<int>{1, 9, 102, 9, 102, 999}));
}

TEST_F(Change, TypeConversionsOfferedAndRefused)
{
    Unit *line = TestNewLine(0, 0, 10, 0);
    std::vector<uint8_t> buffer(g_ObjectLimits.scratchSize);
    Unit *target = reinterpret_cast<Unit *>(buffer.data());
    EXPECT_EQ(TransformObjectType(line, target, OBJTYPE_SURFACE), 0);
    EXPECT_EQ(target->object.type, OBJTYPE_LINE) << "a plain copy";
    ASSERT_EQ(TransformObjectType(line, target, OBJTYPE_ZIGZAG), 1);
    EXPECT_EQ(Kinds(target), (std::vector<int>{1, 2, ELEM_CONSTANT, 999}));
    Unit *arc = TestNewObject(LIST_DRAWING, OBJTYPE_CIRC_SEGM, {0, 0, 10, 0, 10, 0, 0, 10});
    ASSERT_EQ(TransformObjectType(arc, target, OBJTYPE_CIRC_ARC), 1);
    EXPECT_EQ(target->object.type, OBJTYPE_CIRC_ARC);
    EXPECT_EQ(TransformObjectType(arc, target, OBJTYPE_CIRC_SEGM), 0) << "already that type";
    ASSERT_EQ(TransformObjectType(arc, target, OBJTYPE_CIRCLE), 1);
    EXPECT_EQ(Kinds(target), (std::vector<int>{3, 4, 999}));
    // A Surface square as a Curve gets its closing line written out.
    Unit *square = TestNewObject(LIST_DRAWING, OBJTYPE_SURFACE, {0, 0, 10, 0, 10, 10});
    ASSERT_EQ(TransformObjectType(square, target, OBJTYPE_CURVE), 1);
    const std::vector<Pt> p = Points(target);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[3].x, 0.0);
    EXPECT_EQ(p[3].y, 0.0);
}

// A Surface square of side 10 at the zero point and, when asked, a second
// contour (a triangle) to its right.
Unit *Square(bool second)
{
    std::vector<double> xy{0, 0, 10, 0, 10, 10, 0, 10};
    if (second)
        xy.insert(xy.end(), {20, 0, 30, 0, 30, 10});
    Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_SURFACE, xy);
    int i = 0;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (ElementIsPoint(e))
            e->kind = (i++ % 4 == 0 && i <= 5) ? POINT_START : POINT_LINE;
    FrameCalcObject(u, 0);
    return u;
}

TEST_F(Change, SplittingASurfaceGivesTwoOpenCurves)
{
    ASSERT_NE(Square(false), nullptr);
    Run(702, {{10.05, 5}, {5, -1}, {5, 11}});
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    const std::vector<std::vector<double>> expected{{5, 10, 0, 10, 0, 0, 5, 0}, {5, 0, 10, 0, 10, 10, 5, 10}};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(alive[i]->object.type, OBJTYPE_CURVE);
        EXPECT_EQ(Kinds(alive[i]), (std::vector<int>{1, 2, 2, 2, 999}));
        const std::vector<Pt> p = Points(alive[i]);
        ASSERT_EQ(p.size(), 4u);
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_NEAR(p[k].x, expected[i][2 * k], 1e-9) << i << " " << k;
            EXPECT_NEAR(p[k].y, expected[i][2 * k + 1], 1e-9) << i << " " << k;
        }
    }
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(TestAliveUnits().size(), 1u);
}

TEST_F(Change, CutOutOfASurfaceLeavesTheCurveThroughItsStartAndTheOtherContours)
{
    ASSERT_NE(Square(true), nullptr);
    Run(701, {{10.05, 5}, {5, 11}, {5, -1}});
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    EXPECT_EQ(alive[0]->object.type, OBJTYPE_CURVE);
    const std::vector<Pt> p = Points(alive[0]);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_NEAR(p[0].x, 5, 1e-9);
    EXPECT_NEAR(p[0].y, 10, 1e-9);
    EXPECT_NEAR(p[3].x, 5, 1e-9);
    EXPECT_NEAR(p[3].y, 0, 1e-9);
    EXPECT_EQ(alive[1]->object.type, OBJTYPE_SURFACE) << "the triangle stays a surface of its own";
    EXPECT_EQ(Kinds(alive[1]), (std::vector<int>{1, 2, 2, 999}));
}

TEST_F(Change, CutOutOfAnOpenCurve)
{
    // Picked between the cuts: the two outer stretches; outside: the middle one.
    struct Case {
        Pt pick;
        std::vector<size_t> points;
    };
    for (const Case &c : {Case{{10.05, 5}, {3, 2}}, Case{{0.05, 5}, {3}}}) {
        FreeStorage();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        UndoReset();
        Unit *curve = TestNewObject(LIST_DRAWING, OBJTYPE_CURVE, {0, 10, 0, 0, 10, 0, 10, 10});
        FrameCalcObject(curve, 0);
        Run(701, {c.pick, {5, -1}, {11, 8}});
        const std::vector<Unit *> alive = TestAliveUnits();
        ASSERT_EQ(alive.size(), c.points.size());
        for (size_t i = 0; i < alive.size(); ++i) {
            EXPECT_EQ(alive[i]->object.type, OBJTYPE_CURVE);
            EXPECT_EQ(Points(alive[i]).size(), c.points[i]);
        }
    }
}

TEST_F(Change, EllipsesBecomeBezierSurfacesAndSectorsCloseThroughTheCentre)
{
    Unit *ellipse = TestNewObject(LIST_DRAWING, OBJTYPE_ELLIPSE, {0, 0, 20, 0, 0, 10});
    std::vector<uint8_t> buffer(g_ObjectLimits.scratchSize);
    Unit *target = reinterpret_cast<Unit *>(buffer.data());
    ASSERT_EQ(TransformObjectType(ellipse, target, OBJTYPE_SURFACE), 1);
    EXPECT_EQ(target->object.type, OBJTYPE_SURFACE);
    const std::vector<int> kinds = Kinds(target);
    ASSERT_EQ(kinds.size(), 14u) << "a start and four Bezier quarters";
    EXPECT_EQ(kinds[0], 1);
    EXPECT_EQ((std::vector<int>(kinds.begin() + 1, kinds.begin() + 4)), (std::vector<int>{7, 8, 2}));
    const std::vector<Pt> p = Points(target);
    // The quarters run through the four axis ends and back to the first point.
    for (const size_t k : {3u, 6u, 9u, 12u})
        EXPECT_NEAR(std::hypot(p[k].x / 20, p[k].y / 10), 1.0, 1e-9) << k;
    EXPECT_NEAR(std::fabs(p[0].x) + std::fabs(p[3].x), 20, 1e-9);
    EXPECT_NEAR(p.back().x, p[0].x, 1e-12);
    EXPECT_NEAR(p.back().y, p[0].y, 1e-12);

    // A quarter sector: its frame step fills the start parameter and sweep.
    Unit *sector = TestNewObject(LIST_DRAWING, OBJTYPE_ELLI_SEC, {0, 0, 20, 0, 0, 10, 20, 0, 0, 10});
    FrameCalcObject(sector, 1);
    ASSERT_EQ(TransformObjectType(sector, target, OBJTYPE_SURFACE), 1);
    const std::vector<Pt> q = Points(target);
    ASSERT_EQ(q.size(), 5u);
    EXPECT_NEAR(q[0].x, 20, 1e-9);
    EXPECT_NEAR(q[3].x, 0, 1e-9);
    EXPECT_NEAR(q[3].y, 10, 1e-9);
    EXPECT_NEAR(q[4].x, 0, 1e-12);
    EXPECT_NEAR(q[4].y, 0, 1e-12) << "closed through the centre";
}

TEST_F(Change, DistortablePathsHaveBezierArcsAndTooLongOnesAreRefused)
{
    // A circle as a Surface: two semicircles become four Bezier quarters.
    Unit *circle = Circle(0, 0, 10);
    std::vector<uint8_t> a(g_ObjectLimits.scratchSize), b(g_ObjectLimits.scratchSize);
    Unit *surface = reinterpret_cast<Unit *>(a.data());
    Unit *target = reinterpret_cast<Unit *>(b.data());
    ASSERT_EQ(TransformObjectType(circle, surface, OBJTYPE_SURFACE), 1);
    ASSERT_EQ(TransformDistortable(surface, target), 1);
    EXPECT_EQ(target->object.type, OBJTYPE_SURFACE);
    EXPECT_EQ(Kinds(target), (std::vector<int>{1, 7, 8, 2, 7, 8, 2, 7, 8, 2, 7, 8, 2, 999}));
    for (const Pt &p : Points(target))
        if (std::fabs(std::fabs(p.x) - 10) < 1e-9 || std::fabs(std::fabs(p.y) - 10) < 1e-9)
            continue;
        else
            EXPECT_GT(std::hypot(p.x, p.y), 10.0) << "only control points lie off the circle";

    // A path of arcs whose Bezier form outgrows one object stays as it was.
    ChainWriter w;
    std::memcpy(surface, circle, UNIT_ELEMENTS_OBJECT);
    surface->object.type = OBJTYPE_CURVE;
    InitChainBegin(&w, surface, g_ObjectLimits.scratchSize);
    InitChainPoint(&w, POINT_START, 10, 0);
    for (uint32_t i = 0; (i + 4) * 64 < g_ObjectLimits.maxUnitData; ++i)
        InitChainPoint(&w, POINT_ARC_PIECE_END, i % 2 ? 10 : -10, 0), InitChainCurve(&w, 1.0, 0.0);
    ASSERT_GT(InitChainEnd(&w), 0u);
    EXPECT_EQ(TransformDistortable(surface, target), 0);
    EXPECT_EQ(target->bytes, surface->bytes);
    EXPECT_EQ(std::memcmp(target, surface, surface->bytes), 0) << "a plain copy";
}


// ---------------------------------------------------------------------------
// Lengths and angles.

TEST_F(Change, LengthToAPointMovesThePickedEndAndNothingLeftIsRefused)
{
    ASSERT_NE(TestNewLine(0, 0, 100, 0), nullptr);
    const int32_t step = g_UndoStep;
    Run(704, {{10, 0.05}, {-20, 5}});
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    ExpectLine(TestAliveUnits()[0], 100.0, -20.0); // from the fixed end
    EXPECT_EQ(g_UndoStep, step + 1);
    // The cursor on the fixed end leaves nothing: refused, the line stays.
    Run(704, {{-10, 0.05}, {100, 3}});
    EXPECT_EQ(s_Alerts.size(), 1u) << "alert 8";
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    ExpectLine(TestAliveUnits()[0], 100.0, -20.0);
    EXPECT_EQ(g_UndoStep, step + 1);
}

TEST_F(Change, LengthToABoundaryExtendsOrCutsOnThePickedSide)
{
    struct Case {
        double boundaryX, pick;
        double x1, x2;
    };
    // Beyond the end: extended; across the line: the picked side goes.
    for (const Case &c : {Case{150, 90, 0, 150}, Case{60, 90, 0, 60}, Case{60, 10, 60, 100}}) {
        SCOPED_TRACE(c.boundaryX + c.pick);
        FreeStorage();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        UndoReset();
        ASSERT_NE(TestNewLine(0, 0, 100, 0), nullptr);
        Unit *boundary = TestNewLine(c.boundaryX, -50, c.boundaryX, 50);
        ASSERT_NE(boundary, nullptr);
        Run(705, {{c.pick, 0.05}, {c.boundaryX + 0.05, 30}});
        const std::vector<Unit *> alive = TestAliveUnits();
        ASSERT_EQ(alive.size(), 2u);
        ExpectLine(alive[0], c.x1, c.x2);
    }
}

TEST_F(Change, RadiusToABoundaryLineTouchesIt)
{
    ASSERT_NE(Circle(0, 0, 10), nullptr);
    ASSERT_NE(TestNewLine(-50, 30, 50, 30), nullptr);
    Run(705, {{10.05, 0}, {20, 30.05}});
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    EXPECT_EQ(alive[0]->object.type, OBJTYPE_CIRCLE);
    const std::vector<Pt> p = Points(alive[0]);
    EXPECT_NEAR(std::hypot(p[1].x - p[0].x, p[1].y - p[0].y), 30.0, 1e-9);
}

TEST_F(Change, AngleCommandsTurnALineAboutItsFarEndKeepingItsLength)
{
    ASSERT_NE(TestNewLine(0, 0, 100, 0), nullptr);
    Run(706, {{90, 0.05}, {0, 50}});
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    std::vector<Pt> p = Points(TestAliveUnits()[0]);
    EXPECT_NEAR(p[0].x, 0, 1e-9);
    EXPECT_NEAR(p[1].x, 0, 1e-9);
    EXPECT_NEAR(p[1].y, 100, 1e-9);
    // To a boundary circle: tangent from the far end, length kept.
    ASSERT_NE(Circle(100, 100, 50), nullptr);
    Run(707, {{0.05, 90}, {100, 150.05}});
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    ASSERT_EQ(alive[0]->object.type, OBJTYPE_LINE) << "in the old line's place";
    p = Points(alive[0]);
    EXPECT_NEAR(p[0].x, 0, 1e-9);
    EXPECT_NEAR(p[0].y, 0, 1e-9);
    EXPECT_NEAR(std::hypot(p[1].x, p[1].y), 100, 1e-9);
    // The direction touches the circle: its distance from the centre is the radius.
    EXPECT_NEAR(std::fabs(p[1].x * 100 - p[1].y * 100) / 100, 50, 1e-6);
}

// ---------------------------------------------------------------------------
// Restructuring.

int32_t WithIdent(Unit *u)
{
    UndoAssignIdent(u);
    return u->ident;
}

Unit *Polyline(int32_t type, const std::vector<double> &xy)
{
    Unit *u = TestNewObject(LIST_DRAWING, type, xy);
    FrameCalcObject(u, 0);
    return u;
}

TEST_F(Change, ReversingACurveTwiceRestoresItAndACircleBecomesAClockwiseSurface)
{
    Unit *curve = Polyline(OBJTYPE_CURVE, {0, 0, 10, 0, 10, 10});
    ASSERT_NE(curve, nullptr);
    // An arc and a Bezier piece after the first line.
    ChainWriter w;
    std::vector<uint8_t> buffer(g_ObjectLimits.scratchSize);
    Unit *source = reinterpret_cast<Unit *>(buffer.data());
    std::memcpy(source, curve, UNIT_ELEMENTS_OBJECT);
    InitChainBegin(&w, source, g_ObjectLimits.scratchSize);
    InitChainPoint(&w, POINT_START, 0, 0);
    InitChainPoint(&w, POINT_LINE, 10, 0);
    InitChainPoint(&w, POINT_ARC_PIECE_END, 20, 0);
    InitChainCurve(&w, 1.0, 0.25);
    InitChainPoint(&w, POINT_CONTROL1, 22, 5);
    InitChainPoint(&w, POINT_CONTROL2, 25, 7);
    InitChainPoint(&w, POINT_LINE, 30, 0);
    InitChainPoint(&w, POINT_START, 50, 0);
    InitChainPoint(&w, POINT_LINE, 60, 0);
    ASSERT_GT(InitChainEnd(&w), 0u);
    std::vector<uint8_t> once(g_ObjectLimits.scratchSize), twice(g_ObjectLimits.scratchSize);
    Unit *a = reinterpret_cast<Unit *>(once.data()), *b = reinterpret_cast<Unit *>(twice.data());
    ASSERT_EQ(TransformReversePath(source, a), 1);
    EXPECT_EQ(Kinds(a), (std::vector<int>{1, 2, 1, 7, 8, 2, 9, 102, 2, 999}));
    EXPECT_EQ(Points(a)[0].x, 60);
    ASSERT_EQ(TransformReversePath(a, b), 1);
    ASSERT_EQ(b->bytes, source->bytes);
    EXPECT_EQ(std::memcmp(b, source, source->bytes), 0);

    // Through the command, one undo step.
    Unit *circle = Circle(100, 0, 10);
    const int32_t step = g_UndoStep;
    Run(708, {{100, 10.05}});
    EXPECT_EQ(g_UndoStep, step + 1);
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    (void)circle;
    const Unit *surface = alive[1];
    EXPECT_EQ(surface->object.type, OBJTYPE_SURFACE);
    EXPECT_EQ(Kinds(surface), (std::vector<int>{1, 9, 102, 9, 102, 999}));
    const std::vector<Pt> p = Points(surface);
    EXPECT_NEAR(p[0].x, 110, 1e-9);
    EXPECT_NEAR(p[1].x, 90, 1e-9);
    for (const Element *e = UnitFirstElement(surface); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_CURVE)
            EXPECT_LT(static_cast<const double *>(ElementPayload(e))[0], 0.0) << "clockwise";
}

TEST_F(Change, ExplodingASectorGivesTwoLinesAndAnArcInOneStep)
{
    Unit *sector = TestNewObject(LIST_DRAWING, OBJTYPE_CIRC_SEC, {0, 0, 10, 0, 10, 0, 0, 10});
    ASSERT_NE(sector, nullptr);
    FrameCalcObject(sector, 0);
    sector->flags |= UNIT_SELECTED;
    const int32_t step = g_UndoStep;
    MenuChangeCommand(g_MainWnd, 703);
    EXPECT_EQ(g_UndoStep, step + 1);
    std::vector<int32_t> types;
    for (const Unit *u : TestAliveUnits())
        types.push_back(u->object.type);
    EXPECT_EQ(types, (std::vector<int32_t>{OBJTYPE_LINE, OBJTYPE_CIRC_ARC, OBJTYPE_LINE}));
    ASSERT_EQ(UndoStepBack(), 1);
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    EXPECT_EQ(TestAliveUnits()[0]->object.type, OBJTYPE_CIRC_SEC);
}

TEST_F(Change, SplittingIntoContoursRepaintsTheWholeSourceAndCopyModeKeepsIt)
{
    for (const int copy : {0, 1}) {
        SCOPED_TRACE(copy);
        FreeStorage();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        UndoReset();
        g_DrawingSettings.displayDuplicate = copy;
        Unit *two = Square(true);
        two->flags |= UNIT_SELECTED;
        double frame[4];
        std::memcpy(frame, two->frame, sizeof frame);
        MenuChangeCommand(g_MainWnd, 719);
        const std::vector<Unit *> alive = TestAliveUnits();
        ASSERT_EQ(alive.size(), 2u + copy);
        for (size_t i = copy; i < alive.size(); ++i)
            EXPECT_EQ(alive[i]->object.type, OBJTYPE_SURFACE);
        // The parts stand behind the source in reverse order.
        EXPECT_EQ(Kinds(alive[copy]), (std::vector<int>{1, 2, 2, 999}));
        EXPECT_EQ(Kinds(alive[copy + 1]), (std::vector<int>{1, 2, 2, 2, 999}));
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(g_ChangedRect[k], frame[k]) << "not only the last part's frame";
    }
}

TEST_F(Change, JoiningACircleAndASurfaceGivesOneSurfaceOfTwoContours)
{
    Unit *circle = Circle(50, 0, 10);
    Unit *square = Square(false);
    Unit *line = TestNewLine(0, 50, 10, 50);
    for (Unit *u : {circle, square, line})
        u->flags |= UNIT_SELECTED;
    MenuChangeCommand(g_MainWnd, 718);
    EXPECT_EQ(s_Alerts.size(), 1u) << "asked once about the line";
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    EXPECT_EQ(alive[0]->object.type, OBJTYPE_LINE);
    EXPECT_EQ(alive[1]->object.type, OBJTYPE_SURFACE);
    EXPECT_EQ(Kinds(alive[1]), (std::vector<int>{1, 9, 102, 9, 102, 1, 2, 2, 2, 999}));
}

TEST_F(Change, CuttingAtAVertex)
{
    Unit *polyline = Polyline(OBJTYPE_CURVE, {0, 0, 10, 0, 10, 10});
    g_InputPoints[0].ident = WithIdent(polyline);
    g_InputPoints[0].x = 9, g_InputPoints[0].y = 1;
    MenuChangeCommand(g_MainWnd, 712);
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    EXPECT_EQ(Kinds(alive[0]), (std::vector<int>{1, 2, 999}));
    EXPECT_EQ(Points(alive[0])[0].x, 10);
    EXPECT_EQ(Points(alive[0])[1].y, 10);
    EXPECT_EQ(Kinds(alive[1]), (std::vector<int>{1, 2, 999}));
    EXPECT_EQ(Points(alive[1])[1].x, 10);
    // Nearest the last vertex: nothing to do.
    g_InputPoints[0].ident = WithIdent(alive[0]);
    g_InputPoints[0].x = 10, g_InputPoints[0].y = 11;
    MenuChangeCommand(g_MainWnd, 712);
    EXPECT_EQ(s_Alerts.size(), 1u);
    EXPECT_EQ(TestAliveUnits().size(), 2u);
}

TEST_F(Change, SettingAContourStart)
{
    Unit *square = Square(false);
    TestStartCommand(720, 720);
    ASSERT_EQ(InputPoint(0.05, 5, 1), INPUT_CONTINUE);
    ASSERT_EQ(InputPoint(10.5, 10.5, 1), INPUT_COMPLETE);
    CommandRun(720);
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    ASSERT_NE(alive[0], square);
    EXPECT_EQ(Kinds(alive[0]), (std::vector<int>{1, 2, 2, 2, 999}));
    const std::vector<Pt> p = Points(alive[0]);
    const std::vector<Pt> expected{{10, 10}, {0, 10}, {0, 0}, {10, 0}};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(p[k].x, expected[k].x) << k;
        EXPECT_EQ(p[k].y, expected[k].y) << k;
    }
}

TEST_F(Change, CuttingAndSplittingEllipses)
{
    // Cut out of an ellipse: the elliptic arc without the pick remains.
    Unit *ellipse = TestNewObject(LIST_DRAWING, OBJTYPE_ELLIPSE, {0, 0, 20, 0, 0, 10});
    FrameCalcObject(ellipse, 0);
    Run(701, {{20.05, 0}, {0, 20}, {0, -20}});
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    ASSERT_EQ(alive[0]->object.type, OBJTYPE_ELLI_ARC);
    std::vector<Pt> p = Points(alive[0]);
    ASSERT_EQ(p.size(), 5u);
    EXPECT_NEAR(std::fabs(p[3].y), 10, 1e-9);
    EXPECT_NEAR(p[3].y, -p[4].y, 1e-9);
    // Split that arc at its left end's quadrant: two elliptic arcs.
    Run(702, {{-20.05, 0}, {-30, 0}, {-30, 0}});
    alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    for (const Unit *u : alive)
        EXPECT_EQ(u->object.type, OBJTYPE_ELLI_ARC);
    EXPECT_NEAR(Points(alive[0])[4].x, -20, 1e-9);
    EXPECT_NEAR(Points(alive[1])[3].x, -20, 1e-9);
}


TEST_F(Change, ExplodingAnEllipseAsksAndAnswerNoGivesLines)
{
    struct Answer {
        uint32_t code;
        int32_t type;
    };
    for (const Answer a : {Answer{ALERT_NO, OBJTYPE_LINE}, Answer{ALERT_YES, OBJTYPE_CURVE}}) {
        FreeStorage();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        UndoReset();
        static uint32_t s_Answer;
        s_Answer = a.code;
        g_AlertAnswerHook = [](const char *, uint32_t, uint32_t, uint32_t) { return s_Answer; };
        Unit *ellipse = TestNewObject(LIST_DRAWING, OBJTYPE_ELLIPSE, {0, 0, 20, 0, 0, 10});
        FrameCalcObject(ellipse, 0);
        ellipse->flags |= UNIT_SELECTED;
        MenuChangeCommand(g_MainWnd, 703);
        const std::vector<Unit *> alive = TestAliveUnits();
        ASSERT_GE(alive.size(), 4u);
        for (const Unit *u : alive)
            EXPECT_EQ(u->object.type, a.type);
        if (a.code == ALERT_YES)
            EXPECT_EQ(alive.size(), 4u) << "one Bezier curve per quarter";
    }
    // Cancel: nothing happens and no step remains.
    g_AlertAnswerHook = [](const char *, uint32_t, uint32_t, uint32_t) { return ALERT_CANCEL; };
    const int32_t step = g_UndoStep;
    const size_t before = TestAliveUnits().size();
    for (Unit *u : TestAliveUnits())
        u->flags &= ~UNIT_SELECTED;
    Unit *ellipse = TestNewObject(LIST_DRAWING, OBJTYPE_ELLIPSE, {0, 0, 20, 0, 0, 10});
    ellipse->flags |= UNIT_SELECTED;
    MenuChangeCommand(g_MainWnd, 703);
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(TestAliveUnits().size(), before + 1);
}


TEST_F(Change, AContourStartAtAnArcEndWritesTheArcExplicitly)
{
    // Contour 1 (a line) stays; contour 2: 1 (0,0), 2 (10,0), 9 (10,10) arc, 2 back at the start.
    Unit *u = Square(false);
    std::vector<uint8_t> a(g_ObjectLimits.scratchSize), b(g_ObjectLimits.scratchSize);
    Unit *source = reinterpret_cast<Unit *>(a.data()), *target = reinterpret_cast<Unit *>(b.data());
    std::memcpy(source, u, UNIT_ELEMENTS_OBJECT);
    ChainWriter w;
    InitChainBegin(&w, source, g_ObjectLimits.scratchSize);
    InitChainPoint(&w, POINT_START, 50, 0);
    InitChainPoint(&w, POINT_LINE, 60, 0);
    InitChainPoint(&w, POINT_START, 0, 0);
    InitChainPoint(&w, POINT_LINE, 10, 0);
    InitChainPoint(&w, POINT_ARC_PIECE_END, 10, 10);
    InitChainCurve(&w, 1.0, 0.5);
    InitChainPoint(&w, POINT_LINE, 0, 0);
    ASSERT_GT(InitChainEnd(&w), 0u);
    const double at[2] = {11, 11};
    ASSERT_EQ(TransformSetContourStart(source, target, at), 1);
    // Ends exactly at its start: no extra closing element; the arc comes last.
    EXPECT_EQ(Kinds(target), (std::vector<int>{1, 2, 1, 2, 2, 9, 102, 999}));
    const std::vector<Pt> p = Points(target);
    EXPECT_EQ(p[2].x, 10);
    EXPECT_EQ(p[2].y, 10);
    EXPECT_EQ(p[5].y, 10);
    for (const Element *e = UnitFirstElement(target); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_CURVE)
            EXPECT_EQ(static_cast<const double *>(ElementPayload(e))[1], 0.5);
    // The start vertex itself: unchanged.
    const double start[2] = {0, 0};
    ASSERT_EQ(TransformSetContourStart(source, target, start), 1);
    EXPECT_EQ(std::memcmp(target, source, source->bytes), 0);
}


TEST_F(Change, RefusalsLeaveNoUndoStep)
{
    const int32_t step = g_UndoStep;
    // Nothing selected: the selection commands end silently.
    ASSERT_NE(TestNewLine(0, 0, 100, 0), nullptr);
    for (const int command : {718, 719, 703})
        MenuChangeCommand(g_MainWnd, command);
    EXPECT_TRUE(s_Alerts.empty());
    // A spline has no direction to reverse; a line has no inner vertex.
    Unit *spline = Polyline(OBJTYPE_SPLINE, {0, 50, 50, 80, 100, 50});
    ASSERT_NE(spline, nullptr);
    Run(708, {{50, 80.05}});
    EXPECT_EQ(s_Alerts.size(), 1u) << "alert 60";
    g_InputPoints[0].ident = WithIdent(TestAliveUnits()[0]);
    g_InputPoints[0].x = 50, g_InputPoints[0].y = 0;
    MenuChangeCommand(g_MainWnd, 712);
    EXPECT_EQ(s_Alerts.size(), 2u) << "alert 8";
    // Only Curves and Surfaces split into contours.
    TestSelect(TestAliveUnits()[0]);
    MenuChangeCommand(g_MainWnd, 719);
    EXPECT_EQ(s_Alerts.size(), 3u) << "alert 8";
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(TestAliveUnits().size(), 2u);
}


TEST_F(Change, AnArcEndMovesOntoABoundaryOrTowardsAPoint)
{
    Unit *arc = Polyline(OBJTYPE_CIRC_ARC, {0, 0, 10, 0, 10, 0, 0, 10});
    ASSERT_NE(arc, nullptr);
    ASSERT_NE(TestNewLine(-6, -50, -6, 50), nullptr);
    // Picked near its end: the end goes to the crossing nearest the boundary click.
    Run(707, {{1.75, 9.9}, {-6.05, 7}});
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    ASSERT_EQ(alive[0]->object.type, OBJTYPE_CIRC_ARC);
    std::vector<Pt> p = Points(alive[0]);
    EXPECT_NEAR(p[2].x, 10, 1e-9);
    EXPECT_NEAR(p[3].x, -6, 1e-9);
    EXPECT_NEAR(p[3].y, 8, 1e-9);
    // 706 picked near the start: the start follows the cursor's direction.
    Run(706, {{9.9, 1.0}, {0, -30}});
    alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    p = Points(alive[0]);
    EXPECT_NEAR(p[2].x, 0, 1e-9);
    EXPECT_NEAR(p[2].y, -10, 1e-9);
    EXPECT_NEAR(p[3].x, -6, 1e-9);
}


TEST_F(Change, SurfaceAroundAPointInsideFourLines)
{
    const double square[4][4] = {{0, 0, 10, 0}, {10, 0, 10, 10}, {10, 10, 0, 10}, {0, 10, 0, 0}};
    for (const auto &l : square)
        TestNewLine(l[0], l[1], l[2], l[3])->flags |= UNIT_SELECTED;
    const int32_t step = g_UndoStep;
    // Only the selection step: nothing is built and no step remains.
    g_CommandState->pointIndex = 1;
    MenuChangeCommand(g_MainWnd, 714);
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(TestAliveUnits().size(), 4u);
    for (Unit *u : TestAliveUnits())
        u->flags |= UNIT_SELECTED;
    g_CommandState->pointIndex = 2;
    g_ConstructionPoints[1].x = 4, g_ConstructionPoints[1].y = 6;
    MenuChangeCommand(g_MainWnd, 714);
    EXPECT_EQ(g_UndoStep, step + 1);
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 5u) << "the lines stay";
    const Unit *surface = alive[4];
    EXPECT_EQ(surface->object.type, OBJTYPE_SURFACE);
    EXPECT_EQ(surface->flags & UNIT_TEMPORARY, 0u);
    const double box[4] = {0, 0, 10, 10};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(surface->frame[k], box[k], 1e-6) << "the square around the point";
    for (const Unit *u : alive)
        EXPECT_EQ(u->flags & UNIT_SELECTED, 0u);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(TestAliveUnits().size(), 4u);
}

} // namespace
