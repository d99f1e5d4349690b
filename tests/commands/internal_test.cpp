// The internal commands run from their numbers; numbers that refer to
// something absent beep instead of acting. Also the steps taken without a
// click and the step back of the pointer command.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/status.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/menu.h"
#include "common/test_commands.h"
#include "common/test_files.h"
#include "common/test_objects.h"
#include "common/test_support.h"
#include "dialogs/alert.h"
#include "common/dialog_driver.h"
#include "database/undo.h"
#include "database/unit.h"

namespace {

using Internal = DrawingWindowTest;

uint32_t s_AlertAnswer = ALERT_YES;
int s_Alerts = 0;
uint32_t Answer(const char *, uint32_t, uint32_t, uint32_t)
{
    ++s_Alerts;
    return s_AlertAnswer;
}

// Answers the alerts while alive.
struct ScriptedAlerts {
    AlertAnswerHook saved = g_AlertAnswerHook;
    explicit ScriptedAlerts(uint32_t answer)
    {
        s_AlertAnswer = answer;
        s_Alerts = 0;
        g_AlertAnswerHook = Answer;
    }
    ~ScriptedAlerts() { g_AlertAnswerHook = saved; }
};

TEST_F(Internal, ViewCommandsOnWindowsThatAreNotThereBeep)
{
    for (int n : {7899, 7902, 7874, 7894}) { // window 1 not shown, the view window hidden
        TestBeeps beeps;
        CommandExecute(n, 1);
        EXPECT_EQ(beeps.count(), 1u) << n;
    }
}

TEST_F(Internal, PreviousViewAndScaleOne)
{
    TestBeeps beeps;
    const int history = W().historyCount;
    CommandExecute(7898, 0);
    EXPECT_EQ(beeps.count(), 1u) << "an empty history only beeps";
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 3.0);
    CommandExecute(7888, 0);
    EXPECT_NEAR(W().zoom, 1.0, 1e-12);
    EXPECT_EQ(W().historyCount, history + 1);
    CommandExecute(7898, 0);
    EXPECT_NEAR(W().zoom, 3.0, 1e-12);
    EXPECT_EQ(beeps.count(), 1u);
}

TEST_F(Internal, FitsOfPagesAndOfTheVisibleObjects)
{
    const int32_t pages = g_PageDefs.count;
    g_PageDefs.count = 0;
    TestBeeps beeps;
    CommandExecute(7883, 0);
    CommandExecute(7878, 0);
    EXPECT_EQ(beeps.count(), 2u) << "no pages: nothing to fit";
    CommandExecute(7873, 0);
    EXPECT_EQ(beeps.count(), 3u) << "no objects falls back to the pages";

    g_PageDefs.count = pages > 0 ? pages : 1;
    g_PageDefs.active = 0;
    const double frame[4] = {0.0, 0.0, 400.0, 300.0};
    std::memcpy(g_PageDefs.frames[0], frame, sizeof frame);
    CommandExecute(7883, 0);
    EXPECT_EQ(beeps.count(), 3u);
    EXPECT_NEAR(W().centreX, 200.0, 1e-6);
    EXPECT_NEAR(W().centreY, 150.0, 1e-6);
    g_PageDefs.count = pages;
}

// The scale typed into the view popup's dialog; Cancel keeps the view.
TEST_F(Internal, ScaleByDialog)
{
    TestLanguageModule language;
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 3.0);
    const int history = W().historyCount;
    std::string shown;
    {
        DialogDriver driver({[&shown](HWND d) {
            char text[64] = "";
            for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                char cls[16] = "";
                GetClassNameA(c, cls, sizeof cls);
                if (!lstrcmpiA(cls, "Edit")) {
                    GetWindowTextA(c, text, sizeof text);
                    SetWindowTextA(c, "0.5");
                    break;
                }
            }
            shown = text;
            TestClickButton(d, IDOK);
        }});
        CommandExecute(7893, 0);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(shown.substr(0, 1), "3") << "it starts at the window's scale";
    EXPECT_NEAR(W().zoom, 0.5, 1e-12);
    EXPECT_EQ(W().historyCount, history + 1);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDCANCEL); }});
        CommandExecute(7893, 0);
    }
    EXPECT_NEAR(W().zoom, 0.5, 1e-12);
    EXPECT_EQ(W().historyCount, history + 1);
}

// A layer or pen chosen while the pointer holds a selection goes to the
// selected objects in one undo step and leaves the active one alone.
TEST_F(Internal, ALayerOrPenChosenWithASelectionGoesToTheSelection)
{
    ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
    std::snprintf(g_LayerDefs[37].name, sizeof g_LayerDefs[37].name, "walls");
    g_LayerDefs[37].state = g_LayerDefs[0].state;
    std::snprintf(g_PenDefs[3].name, sizeof g_PenDefs[3].name, "thick");
    g_PenDefs[3].state = g_PenDefs[0].state;
    g_PenDefs[3].layer = 0;
    g_ActiveLayer = 0;
    g_ActivePen = 0;
    Unit *chosen = TestNewLine(0, 0, 10, 0);
    TestNewLine(0, 5, 10, 5);
    CommandExecute(403, 0);
    chosen->flags |= UNIT_SELECTED;
    g_CommandState->pointIndex = 1;
    CommandExecute(5864 + 37, 0);
    CommandExecute(6866 + 3, 0);
    EXPECT_EQ(g_ActiveLayer, 0);
    EXPECT_EQ(g_ActivePen, 0);
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u) << "the changed object replaces the old one";
    int changed = 0;
    for (Unit *u : alive)
        if (u->property.layer == 37 && u->property.pen == 3)
            ++changed;
    EXPECT_EQ(changed, 1);
    ASSERT_EQ(UndoStepBack(), 1) << "the pen is one step";
    ASSERT_EQ(UndoStepBack(), 1) << "the layer another";
    for (Unit *u : TestAliveUnits())
        EXPECT_EQ(u->property.layer, 0);

    // Without a selection the layer becomes the active one.
    g_CommandState->pointIndex = 0;
    CommandExecute(5864 + 37, 0);
    EXPECT_EQ(g_ActiveLayer, 37);
    FreeStorage();
}

// The property bar's presets and line-type choice go to the selected objects
// while the pointer holds a selection (kept selected, one undo step each);
// without one they become pen 0's values for what is drawn next. The line
// colour is the second colour, the fill colour the first.
TEST_F(Internal, PropertyBarPresetsGoToTheSelectionOrElseToPenZero)
{
    ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
    g_Options.propertyVisible = 1;
    g_Options.propertyMoveable = 1;
    g_Options.propertyButton = 1;
    WNDCLASSA c{};
    c.lpfnWndProc = AppPropWndProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "InternalTestProperty";
    RegisterClassA(&c);
    HWND bar = CreateWindowExA(0, c.lpszClassName, "", WS_POPUP, 0, 0, 700, 160, g_MainWnd, nullptr, c.hInstance,
                               nullptr);
    ASSERT_TRUE(bar);
    hGlobalProp = bar;
    StatusLayoutPropertyFields(bar);
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 255, 0);
    g_DrawingSettings.propLineColor[1] = red;
    g_DrawingSettings.propLineColor[2] = blue;
    g_DrawingSettings.propFillColor[3] = green;
    g_DrawingSettings.propLineWidth[4] = 0.7;
    auto click = [&](int cell) {
        const RECT &r = g_ToolCells[cell];
        ASSERT_LT(r.left, r.right) << "cell " << cell << " is shown";
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(bar, WM_LBUTTONUP, 0, at);
    };

    // No selection: pen 0's sets take the values.
    CommandExecute(403, 0);
    ASSERT_EQ(g_CommandState->pointIndex, 0);
    ASSERT_NO_FATAL_FAILURE(click(CELL_PROP_LINE_COLOURS + 1));
    ASSERT_NO_FATAL_FAILURE(click(CELL_PROP_FILL_COLOURS + 3));
    SendMessageA(bar, WM_COMMAND, 6000 + 2, 0);
    for (const Property *p : {&g_PenDefs[0].setA, &g_PenDefs[0].setB}) {
        EXPECT_EQ(p->color2, red) << "the line colour";
        EXPECT_EQ(p->color1, green) << "the fill colour";
        EXPECT_EQ(p->lineType, 2);
    }

    // A selection: the values go to it and pen 0 stays as it was.
    const Property pen0 = g_PenDefs[0].setB;
    g_UndoSteps = 10;
    Unit *chosen = TestNewLine(0, 0, 10, 0);
    TestNewLine(0, 5, 10, 5);
    TestSelect(chosen);
    g_CommandState->pointIndex = 1;
    ASSERT_NO_FATAL_FAILURE(click(CELL_PROP_LINE_COLOURS + 2));
    ASSERT_NO_FATAL_FAILURE(click(CELL_PROP_WIDTHS + 4));
    ASSERT_NO_FATAL_FAILURE(click(CELL_PROP_FILL_MODES + 2));
    SendMessageA(bar, WM_COMMAND, 6000 + 3, 0);
    EXPECT_EQ(std::memcmp(&g_PenDefs[0].setB, &pen0, sizeof pen0), 0) << "pen 0 is left alone";
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    const Unit *changed = nullptr;
    for (const Unit *u : alive)
        if (u->flags & UNIT_SELECTED)
            changed = u;
    ASSERT_TRUE(changed) << "the changed object stays selected";
    const XProperty &x = changed->property;
    EXPECT_EQ(x.ownFlags & (XPROP_OWN_COLOR2 | XPROP_OWN_WIDTH | XPROP_OWN_FILL | XPROP_OWN_LINETYPE),
              XPROP_OWN_COLOR2 | XPROP_OWN_WIDTH | XPROP_OWN_FILL | XPROP_OWN_LINETYPE);
    EXPECT_EQ(x.color2, blue);
    EXPECT_DOUBLE_EQ(x.width, 0.7);
    EXPECT_EQ(x.fillMode, 2);
    EXPECT_EQ(x.lineType, 3);
    for (int step = 0; step < 4; ++step)
        ASSERT_EQ(UndoStepBack(), 1) << "each choice is one step";
    for (const Unit *u : TestAliveUnits())
        EXPECT_EQ(u->property.ownFlags & (XPROP_OWN_COLOR2 | XPROP_OWN_WIDTH), 0u);
    DestroyWindow(bar);
    hGlobalProp = nullptr;
    FreeStorage();
}

TEST_F(Internal, RecentFilesByNumber)
{
    g_ProfileLists.recentCount = 1;
    std::snprintf(g_ProfileLists.recent[0], sizeof g_ProfileLists.recent[0], "C:\\no\\such\\drawing.zvd");
    TestBeeps beeps;
    CommandExecute(5541, 0);
    EXPECT_EQ(beeps.count(), 1u) << "beyond the list";
    {
        ScriptedAlerts alerts(ALERT_BUTTON1);
        CommandExecute(5540, 0);
        EXPECT_EQ(s_Alerts, 1) << "the missing file is named";
    }
    EXPECT_EQ(g_ProfileLists.recentCount, 0) << "and leaves the list";
}

TEST_F(Internal, LayersPensAndHatchesBecomeActive)
{
    SystemInitDrawing(0);
    CommandExecute(5864 + 37, 0);
    EXPECT_EQ(g_ActiveLayer, 0) << "an undefined layer becomes layer 0";
    std::snprintf(g_LayerDefs[37].name, sizeof g_LayerDefs[37].name, "walls");
    g_LayerDefs[37].state = g_LayerDefs[0].state;
    CommandExecute(5864 + 37, 0);
    EXPECT_EQ(g_ActiveLayer, 37);

    std::snprintf(g_LayerDefs[38].name, sizeof g_LayerDefs[38].name, "locked");
    g_LayerDefs[38].state = g_LayerDefs[0].state | DEF_STATE_LOCKED;
    {
        ScriptedAlerts alerts(ALERT_NO);
        CommandExecute(5864 + 38, 0);
        EXPECT_EQ(s_Alerts, 1);
        EXPECT_EQ(g_ActiveLayer, 37) << "No keeps the usable active layer";
    }
    {
        ScriptedAlerts alerts(ALERT_YES);
        CommandExecute(5864 + 38, 0);
        EXPECT_EQ(g_ActiveLayer, 38);
    }
    CommandExecute(5662 + 99, 0);
    EXPECT_EQ(g_CurrentHatch, 0) << "an undefined hatch becomes hatch 0";
    CommandExecute(6866 + 400, 0);
    EXPECT_EQ(g_ActivePen, 0);
}

TEST_F(Internal, PrintAtStartKeepsTheStartDialogAwayForThisRunOnly)
{
    g_StartFileExists = 0;
    g_StartPrint = 1;
    g_Options.startUpDisplay = 1;
    g_StartDialogSuppressed = 0;
    const int screens = g_TestStartScreens;
    MenuInternalCommand(main_, 7903);
    EXPECT_EQ(Posted(), std::vector<int>{123}) << "the print command runs after the start-up";
    EXPECT_EQ(g_StartDialogSuppressed, 1u);
    EXPECT_EQ(g_TestStartScreens, screens) << "no start screen before printing";
    EXPECT_EQ(g_Options.startUpDisplay, 1u) << "the stored option is not cleared";

    // A command-line drawing that cannot be read drops the print request.
    const std::string bad = TestTempPath("cmd_bad.zvd");
    FILE *f = std::fopen(bad.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a drawing", f);
    std::fclose(f);
    std::snprintf(g_StartFile, sizeof g_StartFile, "%s", bad.c_str());
    g_StartFileExists = 1;
    g_StartPrint = 1;
    g_StartDialogSuppressed = 0;
    {
        ScriptedAlerts alerts(ALERT_BUTTON1);
        MenuInternalCommand(main_, 7903);
    }
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(g_StartDialogSuppressed, 0u);
    EXPECT_EQ(g_TestStartScreens, screens + 1) << "nothing to print: the start screen shows";
    g_Options.startUpDisplay = 0;
    g_StartFileExists = 0;
    MenuInternalCommand(main_, 7903);
    EXPECT_EQ(g_TestStartScreens, screens + 1) << "switched off";
    g_Options.startUpDisplay = 1;
    std::remove(bad.c_str());
    g_StartFileExists = 0;
    g_StartPrint = 0;
}

TEST_F(Internal, StepsTakenWithoutAClick)
{
    TestStartCommand(811, 811);
    EXPECT_EQ(g_CommandState->variant, 2);
    g_DrawingSettings.dimLargeLines[2].modes[0] = 3;
    g_CommandState->pointIndex = 2;
    EXPECT_EQ(InputStepIsAutomatic(), 1);
    EXPECT_EQ(g_DrawingSettings.dimLargeLines[2].modes[0], 0) << "L3 of its record is set to 0";
    g_CommandState->pointIndex = 1;
    EXPECT_EQ(InputStepIsAutomatic(), 0);

    TestStartCommand(810, 810);
    g_CommandState->pointIndex = 1;
    EXPECT_EQ(InputStepIsAutomatic(), 1);

    TestStartCommand(574, 574);
    EXPECT_EQ(g_CommandState->stepCount, 1);
    EXPECT_EQ(g_InputPoints[0].kind, 6);
}

TEST_F(Internal, ThePointerCommandStepsBackInPairs)
{
    // The first click selects: an object lies under it.
    ASSERT_NO_FATAL_FAILURE(PrepareStorage());
    SystemInitDrawingSettings(&g_DrawingSettings);
    TestNewLine(-1.0, -1.0, 1.0, 1.0);
    TestStartCommand(403, 403);
    // Select, pick inside the frame, drag by nothing.
    for (int i = 0; i < 3; ++i)
        InputPoint(0, 0, 1);
    ASSERT_EQ(g_CommandState->pointIndex, 3);
    InputStepBack();
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "odd: the command starts again";
    InputPoint(0, 0, 1);
    InputPoint(0, 0, 1);
    ASSERT_EQ(g_CommandState->pointIndex, 2);
    InputStepBack();
    EXPECT_EQ(g_CommandState->pointIndex, 1) << "even: back to step 1";
    FreeStorage();
}

} // namespace
