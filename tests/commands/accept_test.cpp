// Identification on accept: the type checks and derived points of picked
// objects, the selection boxes, and the selection steps in a real window
// (a click picks, a drag or Shift and a second click select by frame,
// Escape drops the selection).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/system.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/object_ident.h"
#include "database/object_types.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/frame.h"
#include "geometry/pick_objects.h"
#include "language/language.h"

namespace {

constexpr double EPS = 1e-9;

std::vector<std::string> s_Alerts;
uint32_t RecordAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    s_Alerts.push_back(text ? text : "");
    return code1;
}

class Accept : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        SystemInitDrawingSettings(&g_DrawingSettings);
        UndoReset();
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
    // Command `command` with its first pick on the unit, at (x, y).
    int AcceptPick(int command, Unit *u, double x, double y)
    {
        TestStartCommand(command, command);
        UndoAssignIdent(u);
        g_InputPoints[0].ident = u->ident;
        g_InputPoints[0].x = x, g_InputPoints[0].y = y;
        return InputAccept(0, x, y);
    }
    static Unit *Arc(int32_t type, const std::vector<double> &xy)
    {
        Unit *u = TestNewObject(0, type, xy);
        return u;
    }
    AlertAnswerHook savedHook_ = nullptr;
};

TEST_F(Accept, CuttingCommandsCheckThePickedType)
{
    struct Case {
        int command;
        int32_t type;
        std::vector<double> xy;
        int code;
        int alert; // eAlertTextSM entry, 0 none
    } cases[] = {
        {706, OBJTYPE_CIRCLE, {0, 0, 5, 0}, INPUT_REFUSED, 60},
        {706, OBJTYPE_ELLIPSE, {0, 0, 5, 0, 0, 3}, INPUT_REFUSED, 60},
        {704, OBJTYPE_ELLI_ARC, {0, 0, 5, 0, 0, 3, 5, 0, 0, 3}, INPUT_REFUSED, 60},
        {701, OBJTYPE_SPLINE, {0, 0, 5, 0, 5, 5}, INPUT_REFUSED, 60},
        {701, OBJTYPE_CIRCLE, {0, 0, 5, 0}, INPUT_CONTINUE, 0},
        {706, OBJTYPE_LINE, {0, 0, 5, 0}, INPUT_CONTINUE, 0},
        {704, OBJTYPE_CIRCLE, {0, 0, 5, 0}, INPUT_CONTINUE, 0},
    };
    for (const Case &c : cases) {
        s_Alerts.clear();
        Unit *u = TestNewObject(0, c.type, c.xy);
        ASSERT_NE(u, nullptr);
        EXPECT_EQ(AcceptPick(c.command, u, 1, 0), c.code) << c.command << " on type " << c.type;
        if (c.alert) {
            ASSERT_EQ(s_Alerts.size(), 1u);
            EXPECT_EQ(s_Alerts[0], eAlertTextSM[c.alert]);
        } else {
            EXPECT_TRUE(s_Alerts.empty());
        }
    }
    // An ident that names nothing: alert 5.
    TestStartCommand(701, 701);
    g_InputPoints[0].ident = 123456;
    EXPECT_EQ(InputAccept(0, 0, 0), INPUT_REFUSED);
    ASSERT_FALSE(s_Alerts.empty());
    EXPECT_EQ(s_Alerts.back(), eAlertTextSM[5]);
}

TEST_F(Accept, APathIsLocatedOnItsNearestContour)
{
    std::vector<PathStep> steps = PickSquare(0, 0, 10, 10);
    for (const PathStep &s : PickSquare(20, 0, 30, 10))
        steps.push_back(s);
    Unit *curve = PickNewPath(OBJTYPE_CURVE, steps);
    EXPECT_EQ(AcceptPick(701, curve, 31, 5), INPUT_CONTINUE);
    EXPECT_EQ(g_CommandState->pickedObject, curve);
    EXPECT_EQ(g_CommandState->pickedElement, static_cast<int32_t>(4 * ELEM_SIZE_POINT));
}

TEST_F(Accept, TheEndsOfAPickedElement)
{
    TestStartCommand(842, 842);
    GeoObject &g = g_CommandState->elementGeo[0];
    g = GeoObject{};
    g.type = GEO_LINE;
    g.d[0] = 0, g.d[1] = 0, g.d[2] = 10, g.d[3] = 0;
    g_InputPoints[0].x = 5, g_InputPoints[0].y = 0;
    EXPECT_EQ(InputAccept(0, 5, 0), INPUT_CONTINUE);
    EXPECT_EQ(g_ConstructionPoints[0].x, 0.0) << "a tie: the end point comes second";
    EXPECT_EQ(g_ConstructionPoints[1].x, 10.0);
    g_InputPoints[0].x = 1;
    InputAccept(0, 1, 0);
    EXPECT_EQ(g_ConstructionPoints[0].x, 10.0);
    EXPECT_EQ(g_ConstructionPoints[1].x, 0.0) << "the end nearer to the pick second";
}

TEST_F(Accept, TheDistanceBetweenTwoElements)
{
    TestStartCommand(841, 841);
    GeoObject &a = g_CommandState->elementGeo[0], &b = g_CommandState->elementGeo[1];
    a = GeoObject{}, b = GeoObject{};
    // Concentric circles: both points on the line through the centre and the first pick.
    a.type = b.type = GEO_CIRCLE;
    a.d[2] = 5, b.d[2] = 10;
    g_InputPoints[0].x = 0, g_InputPoints[0].y = 3;
    g_InputPoints[1].x = 0, g_InputPoints[1].y = -12;
    EXPECT_EQ(InputAccept(1, 0, -12), INPUT_CONTINUE);
    EXPECT_NEAR(g_ConstructionPoints[0].y, 5, EPS) << "on the side of the first pick";
    EXPECT_NEAR(g_ConstructionPoints[1].y, -10, EPS) << "nearer to the second pick";
    // A first pick at the centre: no solution.
    g_InputPoints[0].y = 0;
    EXPECT_EQ(InputAccept(1, 0, -12), INPUT_CANCEL);
    ASSERT_FALSE(s_Alerts.empty());
    EXPECT_EQ(s_Alerts.back(), eAlertTextSM[8]);
    // A line and a circle: the foot from the centre, and the circle point towards the second pick.
    a.type = GEO_LINE;
    a.d[0] = -20, a.d[1] = 20, a.d[2] = 20, a.d[3] = 20;
    b.d[0] = 3, b.d[1] = 0, b.d[2] = 13, b.d[3] = 0;
    g_InputPoints[1].x = 3, g_InputPoints[1].y = -11;
    EXPECT_EQ(InputAccept(1, 3, -11), INPUT_CONTINUE);
    EXPECT_NEAR(g_ConstructionPoints[0].x, 3, EPS);
    EXPECT_NEAR(g_ConstructionPoints[0].y, 20, EPS);
    EXPECT_NEAR(g_ConstructionPoints[1].y, -10, EPS);
}

TEST_F(Accept, TheSelectionBoxAtTheBasePoint)
{
    TestStartCommand(405, 405);
    g_InputPoints[1].x = 1, g_InputPoints[1].y = 2;
    EXPECT_EQ(InputAccept(1, 1, 2), INPUT_CANCEL) << "nothing selected: the command ends silently";
    EXPECT_TRUE(s_Alerts.empty());
    Unit *line = TestNewLine(3, 4, 7, 9);
    line->flags |= UNIT_SELECTED;
    EXPECT_EQ(InputAccept(1, 1, 2), INPUT_CONTINUE);
    EXPECT_EQ(g_CommandState->rect[0], 2.0);
    EXPECT_EQ(g_CommandState->rect[3], 7.0);
    line->frame[0] = line->frame[1] = -FRAME_INFINITE; // no finite extent: the box collapses
    line->frame[2] = line->frame[3] = FRAME_INFINITE;
    EXPECT_EQ(InputAccept(1, 1, 2), INPUT_CONTINUE);
    EXPECT_EQ(g_CommandState->rect[0], 0.0);
    EXPECT_EQ(g_CommandState->rect[2], 0.0);
}

// ---------------------------------------------------------------------------
// The pointer in a real window.

class Pointer : public DrawingWindowTest {
protected:
    void SetUp() override
    {
        DrawingWindowTest::SetUp();
        UndoReset();
        a_ = TestNewLine(-20, 10, 20, 10);
        b_ = TestNewLine(-20, -10, 20, -10);
        TestStartCommand(COMMAND_POINTER, COMMAND_POINTER);
    }
    void Drag(double x0, double y0, double x1, double y1)
    {
        const POINT p = Pixel(x0, y0), q = Pixel(x1, y1);
        Send(WM_MOUSEMOVE, p.x, p.y);
        Send(WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
        Send(WM_MOUSEMOVE, q.x, q.y, MK_LBUTTON);
        Send(WM_LBUTTONUP, q.x, q.y);
    }
    static bool Selected(const Unit *u) { return (u->flags & UNIT_SELECTED) != 0; }
    Unit *a_ = nullptr, *b_ = nullptr;
};

TEST_F(Pointer, AClickPicksTheNearestObject)
{
    ClickAt(0, 9.5);
    EXPECT_TRUE(Selected(a_));
    EXPECT_FALSE(Selected(b_));
    EXPECT_EQ(g_CommandState->pointIndex, 1) << "the selection step is done";
    EXPECT_EQ(g_CommandState->objectsSelected, 1);
    EXPECT_EQ(g_CommandState->selectionDrawn, 1) << "the highlight was drawn";
    EXPECT_EQ(g_CommandState->rect[1], a_->frame[1]) << "the frame around the selection";
    // Escape steps back to the start: the selection is dropped.
    CommandExecute(1009, 0);
    EXPECT_FALSE(Selected(a_));
    EXPECT_EQ(g_CommandState->pointIndex, 0);
    EXPECT_EQ(g_CommandState->objectsSelected, 0);
}

TEST_F(Pointer, ADragOnNothingSelectsByFrame)
{
    TestBeeps beeps;
    Drag(-30, 20, 30, 0);
    EXPECT_TRUE(Selected(a_));
    EXPECT_FALSE(Selected(b_));
    EXPECT_EQ(g_CommandState->pointIndex, 1);
    EXPECT_EQ(beeps.count(), 0u) << "pressing on nothing is quiet";
    // A press and release on nothing without moving: refused with a beep.
    CommandExecute(1009, 0);
    ClickAt(0, 0);
    EXPECT_EQ(g_CommandState->pointIndex, 0);
    EXPECT_EQ(g_CommandState->rectanglePending, 0);
    EXPECT_EQ(beeps.count(), 1u);
}

TEST_F(Pointer, ShiftAndASecondClickSelectByFrameCtrlAdds)
{
    {
        TestKeys shift({VK_SHIFT});
        ClickAt(-30, -30);
        EXPECT_EQ(g_CommandState->rectanglePending, 1);
    }
    ClickAt(30, 0);
    EXPECT_TRUE(Selected(b_));
    EXPECT_FALSE(Selected(a_));
    CommandExecute(1009, 0);
    TestKeys ctrl({VK_CONTROL});
    ClickAt(0, 10);
    ClickAt(0, -10);
    EXPECT_TRUE(Selected(a_));
    EXPECT_TRUE(Selected(b_));
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "an additive selection keeps the step open";
    EXPECT_EQ(g_CommandState->additive, 1);
}

} // namespace
