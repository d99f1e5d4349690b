// The Draw menu end to end through the input machine: the points entered
// for a command become one object in one undo step, built from the
// construction points its construction computed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_construct_shapes.h"
#include "commands/input_path.h"
#include "commands/menu.h"
#include "common/dialog_driver.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/object.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "files/file_drawinginfo.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"

namespace {

uint32_t s_AlertAnswer = 0;
int s_AlertCount = 0;
uint32_t AnswerAlert(const char *, uint32_t code1, uint32_t, uint32_t)
{
    ++s_AlertCount;
    return s_AlertAnswer ? s_AlertAnswer : code1;
}

struct Pt {
    double x, y;
};

class Draw : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = AnswerAlert;
        s_AlertAnswer = 0;
        s_AlertCount = 0;
        g_DrawingInfo.modified = 0;
        savedWindow_ = g_ConvertState.window;
    }
    void TearDown() override
    {
        g_AlertAnswerHook = savedHook_;
        g_ConvertState.window = savedWindow_;
        FreeStorage();
        CommandTest::TearDown();
    }

    // Starts the command and clicks the points; the code of the last click.
    int Enter(int command, const std::vector<Pt> &points)
    {
        TestStartCommand(command, command);
        int code = INPUT_CONTINUE;
        for (const Pt &p : points) {
            code = InputPoint(p.x, p.y, 1);
            if (code != INPUT_CONTINUE)
                break;
        }
        return code;
    }
    // Enters the points and runs the command when its input completes.
    int Run(int command, const std::vector<Pt> &points)
    {
        const int code = Enter(command, points);
        if (code == INPUT_COMPLETE)
            CommandRun(command);
        return code;
    }
    static std::vector<Unit *> Alive()
    {
        std::vector<Unit *> out;
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
            out.push_back(u);
        return out;
    }
    static std::vector<int> Kinds(Unit *u)
    {
        std::vector<int> kinds;
        for (Element *e = UnitFirstElement(u);; e = ElementNext(e)) {
            kinds.push_back(e->kind);
            if (e->kind == ELEM_END || kinds.size() > 64)
                break;
        }
        return kinds;
    }
    static std::vector<Pt> Points(Unit *u)
    {
        std::vector<Pt> out;
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (ElementIsPoint(e))
                out.push_back({reinterpret_cast<ElementPoint *>(e)->x, reinterpret_cast<ElementPoint *>(e)->y});
        return out;
    }
    static double Orientation(Unit *u)
    {
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (e->kind == ELEM_ORIENT)
                return *static_cast<const double *>(ElementPayload(e));
        return 0.0;
    }
    static const ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }

    AlertAnswerHook savedHook_ = nullptr;
    DrawWindow *savedWindow_ = nullptr;
};

TEST_F(Draw, TwoClicksMakeOneLineAndUndoTakesItBack)
{
    const int32_t step = g_UndoStep;
    ASSERT_EQ(Run(501, {{0, 0}, {10, 0}}), INPUT_COMPLETE);
    const std::vector<Unit *> alive = Alive();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->object.type, OBJTYPE_LINE);
    EXPECT_EQ(Kinds(alive[0]), (std::vector<int>{1, 2, 999}));
    EXPECT_EQ(Points(alive[0])[1].x, 10.0);
    EXPECT_EQ(g_UndoStep, step + 1) << "one undo step";
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_TRUE(Alive().empty());
}

TEST_F(Draw, ShapesFollowTheirConstructions)
{
    struct Case {
        int command;
        std::vector<Pt> points;
        int32_t type;
        size_t pointElements;
    };
    const Case cases[] = {
        {512, {{0, 0}, {5, 0}, {5, 5}}, OBJTYPE_CURVE, 0}, // open-ended: only the first two of three
        {514, {{0, 0}, {10, 0}}, OBJTYPE_ZIGZAG, 2},
        {523, {{0, 0}, {10, 0}, {0, 10}}, OBJTYPE_SURFACE, 3},
        {525, {{0, 0}, {10, 0}, {12, 5}}, OBJTYPE_SURFACE, 4},
        {526, {{0, 0}, {10, 5}}, OBJTYPE_SURFACE, 4},
        {536, {{0, 0}, {3, 4}}, OBJTYPE_CIRCLE, 2},
        {538, {{-5, 0}, {5, 0}, {0, 5}}, OBJTYPE_CIRCLE, 2},
        {540, {{0, 0}, {10, 0}, {0, 10}}, OBJTYPE_CIRCLE, 2},
        {558, {{0, 0}, {4, 2}}, OBJTYPE_ELLIPSE, 3},
        {559, {{0, 0}, {4, 2}, {0, 5}}, OBJTYPE_ELLIPSE, 3},
        {560, {{0, 0}, {4, 0}, {0, 2}}, OBJTYPE_ELLIPSE, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        const size_t before = Alive().size();
        if (c.pointElements == 0)
            continue; // open-ended commands are tested by themselves
        ASSERT_EQ(Run(c.command, c.points), INPUT_COMPLETE);
        const std::vector<Unit *> alive = Alive();
        ASSERT_EQ(alive.size(), before + 1);
        EXPECT_EQ(alive.back()->object.type, c.type);
        EXPECT_EQ(Points(alive.back()).size(), c.pointElements);
    }
    // The parallelogram's fourth corner is P0 + P2 - P1; the circle through
    // three points has its centre in cp 3.
    ASSERT_EQ(Run(525, {{0, 0}, {10, 0}, {12, 5}}), INPUT_COMPLETE);
    EXPECT_EQ(Points(Alive().back())[3].x, 2.0);
    EXPECT_EQ(Points(Alive().back())[3].y, 5.0);
    ASSERT_EQ(Run(538, {{-5, 0}, {5, 0}, {0, 5}}), INPUT_COMPLETE);
    EXPECT_NEAR(Cp(3).x, 0.0, 1e-12);
    EXPECT_NEAR(Cp(3).y, 0.0, 1e-12);
    // The turned ellipse: the box of step 1 turned towards P2 (90 degrees).
    ASSERT_EQ(Run(559, {{0, 0}, {4, 2}, {0, 5}}), INPUT_COMPLETE);
    EXPECT_NEAR(Cp(1).x, 0.0, 1e-12);
    EXPECT_NEAR(Cp(1).y, 4.0, 1e-12);
    EXPECT_NEAR(Cp(2).x, -2.0, 1e-12);
}

TEST_F(Draw, ArcModeAndOrientationDecideTheArc)
{
    g_DrawingSettings.displayArcs = 1; // counter-clockwise
    g_DrawingSettings.displayArcsMode = 0;
    for (int i = 0; i < 3; ++i)
        MenuDrawCommand(main_, 570);
    EXPECT_EQ(g_DrawingSettings.displayArcsMode, 0) << "570 three times comes back";
    MenuDrawCommand(main_, 568);
    ASSERT_EQ(g_DrawingSettings.displayArcsMode, 1);
    ASSERT_EQ(Run(548, {{0, 0}, {10, 0}, {20, 0}, {0, 10}}), INPUT_COMPLETE);
    Unit *sector = Alive().back();
    EXPECT_EQ(sector->object.type, OBJTYPE_CIRC_SEC);
    EXPECT_EQ(Orientation(sector), 1.0);
    EXPECT_NEAR(Cp(5).x, CALC_HALF_PI, 1e-9) << "a quarter counter-clockwise";
    EXPECT_NEAR(Cp(2).x, 10.0, 1e-9) << "the start lies on the circle";

    MenuDrawCommand(main_, 571);
    EXPECT_EQ(g_DrawingSettings.displayArcs, 0u);
    MenuDrawCommand(main_, 567);
    ASSERT_EQ(Run(548, {{0, 0}, {10, 0}, {20, 0}, {0, 10}}), INPUT_COMPLETE);
    EXPECT_EQ(Alive().back()->object.type, OBJTYPE_CIRC_ARC);
    EXPECT_EQ(Orientation(Alive().back()), -1.0);
    EXPECT_NEAR(Cp(5).x, -3 * CALC_HALF_PI, 1e-9) << "the complementary arc, clockwise";
}

TEST_F(Draw, ThreePointArcRunsThroughTheThirdPoint)
{
    g_DrawingSettings.displayArcs = 1;
    g_DrawingSettings.displayArcsMode = 0;
    ASSERT_EQ(Run(550, {{0, 0}, {10, 0}, {5, 5}}), INPUT_COMPLETE);
    EXPECT_NEAR(Cp(3).x, 5.0, 1e-12);
    EXPECT_NEAR(Cp(3).y, 0.0, 1e-12);
    EXPECT_EQ(Cp(4).x, -1.0);
    EXPECT_NEAR(Cp(5).x, -CALC_PI, 1e-9);
    EXPECT_EQ(Orientation(Alive().back()), -1.0);
    // Below the chord the arc turns the other way, whatever the switch says.
    ASSERT_EQ(Run(550, {{0, 0}, {10, 0}, {5, -5}}), INPUT_COMPLETE);
    EXPECT_EQ(Cp(4).x, 1.0);
    // Collinear points have no circle: the click is refused.
    const size_t count = Alive().size();
    EXPECT_EQ(Enter(550, {{0, 0}, {10, 0}, {20, 0}}), INPUT_REFUSED);
    EXPECT_EQ(Alive().size(), count);
}

TEST_F(Draw, RectangleFollowsATurnedUserSystem)
{
    DrawWindow w{};
    w.system = 1;
    MatrixInit(&w.MatrixMMToSystem);
    MatrixRotate(&w.MatrixMMToSystem, -CALC_PI / 6);
    ASSERT_EQ(MatrixInvert(&w.MatrixMMToSystem, &w.MatrixSystemToMM), 1);
    g_ConvertState.window = &w;
    const double c = std::cos(CALC_PI / 6), s = std::sin(CALC_PI / 6);
    // Opposite corners 10 along the system's x and 5 along its y apart.
    const Pt opposite = {10 * c - 5 * s, 10 * s + 5 * c};
    ASSERT_EQ(Run(526, {{0, 0}, opposite}), INPUT_COMPLETE);
    const std::vector<Pt> q = Points(Alive().back());
    ASSERT_EQ(q.size(), 4u);
    EXPECT_NEAR(q[1].x, -5 * s, 1e-9) << "(x0, y1) in the system";
    EXPECT_NEAR(q[1].y, 5 * c, 1e-9);
    EXPECT_NEAR(q[3].x, 10 * c, 1e-9) << "(x1, y0) in the system";
    EXPECT_NEAR(q[3].y, 10 * s, 1e-9);
}

TEST_F(Draw, TangentFromInsideACircleIsInvalid)
{
    TestStartCommand(516, 516);
    GeoObject &g1 = g_CommandState->elementGeo[0];
    g1 = GeoObject{};
    g1.type = GEO_CIRCLE;
    g1.d[2] = 5.0; // centre (0, 0), radius 5
    g_InputPoints[0].x = 0.0, g_InputPoints[0].y = 5.0; // picked at the top
    g_InputPoints[1].x = 1.0, g_InputPoints[1].y = 1.0;
    g_CommandState->pointIndex = 1;
    EXPECT_EQ(InputConstructLine(1, 1.0, 1.0), 0);
    g_InputPoints[1].x = 10.0, g_InputPoints[1].y = 0.0;
    ASSERT_EQ(InputConstructLine(1, 10.0, 0.0), 1);
    EXPECT_NEAR(Cp(0).x, 2.5, 1e-9) << "the touching point nearer the pick";
    EXPECT_NEAR(Cp(0).y, 5 * std::sqrt(3.0) / 2, 1e-9);
}

TEST_F(Draw, RefusalsLeaveNoObjectAndNoUndoStep)
{
    // The layer question answered No.
    // The active layer is locked (layer 0 never is).
    LayerDef &layer = g_LayerDefs[2];
    std::snprintf(layer.name, sizeof layer.name, "locked");
    layer.state = DEF_STATE_DEFAULT | DEF_STATE_LOCKED;
    g_ActiveLayer = 2;
    s_AlertAnswer = ALERT_CANCEL;
    const int32_t step = g_UndoStep;
    ASSERT_EQ(Run(501, {{0, 0}, {10, 0}}), INPUT_COMPLETE);
    EXPECT_EQ(s_AlertCount, 1);
    EXPECT_TRUE(Alive().empty());
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(UndoStepBack(), 0) << "nothing to undo";
    g_ActiveLayer = 0;

    // A polyline ended after one point.
    TestStartCommand(512, 512);
    ASSERT_EQ(InputPoint(0, 0, 1), INPUT_CONTINUE);
    CommandRun(512);
    EXPECT_TRUE(Alive().empty());
    EXPECT_EQ(g_UndoStep, step);

    // Numbers without a template build nothing from the points left behind.
    TestBeeps beeps;
    for (int n : {502, 505, 517, 518, 583, 584})
        MenuDrawCommand(main_, n);
    EXPECT_TRUE(Alive().empty());
    EXPECT_EQ(beeps.count(), 6u);
}

TEST_F(Draw, PolylineTakesEveryPointTheRightButtonEnds)
{
    TestStartCommand(512, 512);
    for (Pt p : {Pt{0, 0}, Pt{5, 0}, Pt{5, 5}})
        ASSERT_EQ(InputPoint(p.x, p.y, 1), INPUT_CONTINUE);
    EXPECT_EQ(InputNextAction(), INPUT_COMPLETE);
    CommandRun(512);
    ASSERT_EQ(Alive().size(), 1u);
    EXPECT_EQ(Kinds(Alive()[0]), (std::vector<int>{1, 2, 2, 999}));
}

TEST_F(Draw, PolygonByLengthUsesOnlyPointsItSet)
{
    g_CommandDefaults.counts[COMMAND_COUNT_CORNERS] = 6;
    g_CommandDefaults.distances[COMMAND_DISTANCE_POLYGON_LENGTH] = 10.0;
    g_ConstructionPoints[2] = {1e6, 1e6, 0, 0}; // left over from earlier input
    ASSERT_EQ(Run(533, {{0, 0}, {0, 3}}), INPUT_COMPLETE);
    const std::vector<Pt> q = Points(Alive().back());
    ASSERT_EQ(q.size(), 6u);
    EXPECT_NEAR(q[0].x, 0.0, 1e-9) << "the first corner towards the direction point";
    EXPECT_NEAR(q[0].y, 10.0, 1e-9) << "a hexagon of side 10 has circumradius 10";
    EXPECT_NEAR(std::hypot(q[1].x - q[0].x, q[1].y - q[0].y), 10.0, 1e-9);
    double corner[2];
    const double centre[2] = {0, 0}, toward[2] = {1, 0};
    EXPECT_EQ(InputPolygonCornerFromLength(centre, toward, 2, 10.0, corner), 0);
    EXPECT_EQ(InputPolygonCornerFromLength(centre, toward, 4, 0.0, corner), 0);
}

TEST_F(Draw, HatchOriginChangesTheDrawingWithoutAnUndoStep)
{
    const int32_t step = g_UndoStep;
    g_ConstructionPoints[0] = {3.0, 4.0, 0, 0};
    MenuDrawCommand(main_, 582);
    EXPECT_EQ(g_HatchOrigin[0], 3.0);
    EXPECT_EQ(g_HatchOrigin[1], 4.0);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
    EXPECT_EQ(g_UndoStep, step);
}

// The path commands ask how the path goes on in the segment dialog.
class PathDraw : public Draw {
protected:
    void SetUp() override
    {
        Draw::SetUp();
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        WindowResetUnits(&g_DrawWindows[0]);
        g_ConvertState.window = &g_DrawWindows[0];
    }
    void TearDown() override
    {
        g_LanguageModule = savedModule_;
        Draw::TearDown();
    }
    static DialogStep Press(int button)
    {
        return [button](HWND dialog) { TestClickButton(dialog, button); };
    }
    HMODULE savedModule_ = nullptr;
};

TEST_F(PathDraw, StraightSegmentsUntilTheDialogFinishes)
{
    DialogDriver driver({Press(400), Press(16)});
    TestStartCommand(574, 574);
    ASSERT_EQ(InputPoint(0, 0, 1), INPUT_CONTINUE) << "the start, then lines";
    ASSERT_EQ(g_InputPoints[1].kind, PATH_KIND_LINE_END);
    ASSERT_EQ(InputPoint(10, 0, 1), INPUT_CONTINUE);
    ASSERT_EQ(InputPoint(10, 10, 1), INPUT_CONTINUE);
    EXPECT_NEAR(g_InputPoints[3].value, CALC_HALF_PI, 1e-12) << "the direction handed on";
    const int code = InputNextAction();
    ASSERT_EQ(code, INPUT_COMPLETE);
    CommandRun(574);
    EXPECT_EQ(driver.stepsDone(), 2);
    ASSERT_EQ(Alive().size(), 1u);
    EXPECT_EQ(Alive()[0]->object.type, OBJTYPE_CURVE);
    EXPECT_EQ(Kinds(Alive()[0]), (std::vector<int>{1, 2, 2, 999}));
}

TEST_F(PathDraw, ANumericArcWithoutSweepEndsAtItsStart)
{
    DialogDriver driver({Press(407),
                         [](HWND d) {
                             SetDlgItemTextA(d, 200, "0");
                             SetDlgItemTextA(d, 201, "5");
                             SetDlgItemTextA(d, 202, "0");
                             TestClickButton(d, IDOK);
                         },
                         Press(16)});
    TestStartCommand(575, 575);
    const int code = InputPoint(3, 4, 1);
    EXPECT_EQ(driver.stepsDone(), 3);
    ASSERT_EQ(code, INPUT_COMPLETE);
    ASSERT_EQ(g_CommandState->pointIndex, 3);
    EXPECT_EQ(Cp(1).type, CPOINT_ARC_END);
    EXPECT_EQ(Cp(2).type, CPOINT_ARC_PARAMETER);
    EXPECT_NEAR(Cp(1).x, 3.0, 1e-12) << "both coordinates of the end";
    EXPECT_NEAR(Cp(1).y, 4.0, 1e-12);
    EXPECT_EQ(Cp(2).x, 1.0) << "a sweep of 0 counts as counter-clockwise";
}

TEST_F(PathDraw, RewritesStopAtThePointLimit)
{
    TestStartCommand(574, 574);
    const int limit = g_InputPointLimit;
    g_InputPoints[limit - 1].kind = -7; // a marker behind the last step that fits
    EXPECT_EQ(InputPolylineApplySegment(limit - 2, PATH_SEGMENT_BEZIER, 0.0), INPUT_CONTINUE);
    EXPECT_EQ(g_CommandState->stepCount, limit - 2) << "no triple fits: nothing written";
    EXPECT_EQ(g_InputPoints[limit - 1].kind, -7);
    EXPECT_EQ(InputPolylineApplySegment(limit - 1, PATH_SEGMENT_NUMERIC_ARC, 0.0), INPUT_LIMIT);
    EXPECT_EQ(InputPolylineApplySegment(limit, PATH_SEGMENT_LINES, 0.0), INPUT_LIMIT);
    EXPECT_EQ(InputPolylineApplySegment(limit - 3, PATH_SEGMENT_THREE_POINT_ARC, 0.0), INPUT_CONTINUE);
    EXPECT_EQ(g_CommandState->stepCount, limit - 1);
    EXPECT_EQ(g_InputPoints[limit - 1].kind, -7);
}

TEST_F(Draw, ParallelThroughAPointOnAPickedLine)
{
    ASSERT_NE(TestNewLine(0.0, 0.0, 10.0, 0.0), nullptr);
    TestStartCommand(507, 507);
    ASSERT_EQ(InputPoint(5.0, 0.05, 1), INPUT_CONTINUE) << "the line is picked";
    ASSERT_EQ(g_CommandState->elementGeo[0].type, GEO_LINE);
    ASSERT_EQ(InputPoint(0.0, 5.0, 1), INPUT_CONTINUE);
    ASSERT_EQ(InputPoint(2.0, 7.0, 1), INPUT_CONTINUE);
    ASSERT_EQ(InputPoint(8.0, 3.0, 1), INPUT_COMPLETE);
    CommandRun(507);
    const std::vector<Pt> q = Points(Alive().back());
    ASSERT_EQ(q.size(), 2u);
    EXPECT_NEAR(q[0].x, 2.0, 1e-9) << "start and end projected onto the parallel";
    EXPECT_NEAR(q[0].y, 5.0, 1e-9);
    EXPECT_NEAR(q[1].x, 8.0, 1e-9);
    EXPECT_NEAR(q[1].y, 5.0, 1e-9);
}

TEST_F(PathDraw, AskingTheParametersAgainRestartsTheCommand)
{
    g_CommandDefaults.counts[COMMAND_COUNT_CORNERS] = 6;
    TestStartCommand(529, 529);
    ASSERT_EQ(InputPoint(0, 0, 1), INPUT_CONTINUE);
    {
        DialogDriver driver({[](HWND d) {
                                 SetDlgItemTextA(d, 200, "2");
                                 TestClickButton(d, IDOK);
                             },
                             [](HWND d) {
                                 SetDlgItemTextA(d, 200, "5");
                                 TestClickButton(d, IDOK);
                             }});
        MenuInputAidCommand(main_, 1010);
        EXPECT_EQ(driver.stuckDialogs(), 0);
        EXPECT_EQ(driver.stepsDone(), 2);
    }
    EXPECT_EQ(s_AlertCount, 1) << "the count of 2 was answered with its alert, then asked again";
    EXPECT_EQ(g_CommandDefaults.counts[COMMAND_COUNT_CORNERS], 5) << "2 was refused, 5 taken";
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "the command starts again";
    TestStartCommand(501, 501);
    TestBeeps beeps;
    MenuInputAidCommand(main_, 1010);
    EXPECT_EQ(beeps.count(), 1u) << "the line command has nothing to ask";
}

} // namespace
