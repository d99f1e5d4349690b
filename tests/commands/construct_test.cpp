// The Construct menu through its handler: divisions into marker points,
// arrays and grids of copies, and the deletion of construction objects, the
// dialogs answered by the driver and every change one undo step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "app/convert.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command_state.h"
#include "commands/menu.h"
#include "common/dialog_driver.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "database/unit.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

constexpr int ID_PARTS = 200;    // the construction dialog's equal parts
constexpr int ID_VALUE = 200;    // the count dialog's field
constexpr int ID_MODE_EQUAL = 400;

int s_Alerts = 0;
uint32_t CountAlert(const char *, uint32_t code1, uint32_t, uint32_t)
{
    ++s_Alerts;
    return code1;
}

using Points = std::vector<std::pair<double, double>>;

class Construct : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        SystemInitCommandDefaults(&g_CommandDefaults);
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = CountAlert;
        s_Alerts = 0;
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        savedWindow_ = g_ConvertState.window;
        WindowResetUnits(&g_DrawWindows[0]);
        g_ConvertState.window = &g_DrawWindows[0];
    }
    void TearDown() override
    {
        g_LanguageModule = savedModule_;
        g_ConvertState.window = savedWindow_;
        g_AlertAnswerHook = savedHook_;
        FreeStorage();
        CommandTest::TearDown();
    }

    static DialogStep Parts(const char *parts)
    {
        return [parts](HWND d) {
            CheckRadioButton(d, ID_MODE_EQUAL, ID_MODE_EQUAL + 5, ID_MODE_EQUAL);
            SetDlgItemTextA(d, ID_PARTS, parts);
            TestClickButton(d, IDOK);
        };
    }
    static DialogStep Count(const char *count)
    {
        return [count](HWND d) {
            SetDlgItemTextA(d, ID_VALUE, count);
            TestClickButton(d, IDOK);
        };
    }
    // Runs the command with the dialogs answered by the steps.
    void Run(int command, std::vector<DialogStep> steps)
    {
        const size_t n = steps.size();
        DialogDriver driver(std::move(steps));
        MenuConstructCommand(main_, command);
        EXPECT_EQ(driver.stuckDialogs(), 0) << command;
        EXPECT_EQ(driver.stepsDone(), static_cast<int>(n)) << command;
    }
    static void SetCp(int i, double x, double y)
    {
        g_ConstructionPoints[i].x = x;
        g_ConstructionPoints[i].y = y;
    }
    static void Pick(int which, int32_t type, std::vector<double> d, int32_t direction = 1)
    {
        GeoObject &g = g_CommandState->elementGeo[which];
        g = GeoObject{};
        g.type = type;
        std::copy(d.begin(), d.end(), g.d);
        g.direction = direction;
    }
    static Unit *SelectedLine(double x1, double y1, double x2, double y2)
    {
        Unit *u = TestNewLine(x1, y1, x2, y2);
        FrameCalcObject(u, 1);
        u->flags |= UNIT_SELECTED;
        return u;
    }
    // The first point of every alive object, rounded, sorted.
    static Points Starts()
    {
        Points starts;
        for (Unit *u : TestAliveUnits()) {
            const ElementPoint *p = UnitPointAt(u, 0);
            starts.push_back({std::round(p->x * 1e9) / 1e9 + 0.0, std::round(p->y * 1e9) / 1e9 + 0.0});
        }
        std::sort(starts.begin(), starts.end());
        return starts;
    }

    AlertAnswerHook savedHook_ = nullptr;
    HMODULE savedModule_ = nullptr;
    DrawWindow *savedWindow_ = nullptr;
};

TEST_F(Construct, ACircleInSixPartsGivesOneMarkOfSixPoints)
{
    for (int ccw : {1, 0}) {
        g_DrawingSettings.displayArcs = ccw;
        Pick(0, GEO_CIRCLE, {0, 0, 10, 0});
        Run(641, {Parts("6")});
        const std::vector<Unit *> units = TestAliveUnits();
        ASSERT_EQ(units.size(), 1u);
        EXPECT_EQ(units[0]->object.type, OBJTYPE_MARK);
        int points = 0;
        while (UnitPointAt(units[0], points))
            ++points;
        EXPECT_EQ(points, 6);
        EXPECT_NEAR(UnitPointAt(units[0], 0)->x, 10.0, 1e-9) << "the first at angle 0";
        EXPECT_NEAR(UnitPointAt(units[0], 1)->x, 5.0, 1e-9);
        EXPECT_NEAR(UnitPointAt(units[0], 1)->y, ccw ? 10 * std::sqrt(0.75) : -10 * std::sqrt(0.75), 1e-9);
        ASSERT_EQ(UndoStepBack(), 1);
        EXPECT_TRUE(TestAliveUnits().empty()) << "one undo removes the mark";
    }
    EXPECT_EQ(s_Alerts, 0);
}

TEST_F(Construct, WhatCannotBeDividedIsAnsweredWithAnAlert)
{
    const int stepBefore = g_UndoStep;
    for (int32_t type : {int32_t(GEO_GEOLINE), int32_t(GEO_CURVE)}) {
        Pick(0, type, {0, 0, 10, 0});
        Run(641, {Parts("6")});
    }
    EXPECT_EQ(s_Alerts, 2);
    EXPECT_TRUE(TestAliveUnits().empty());
    EXPECT_EQ(g_UndoStep, stepBefore) << "no undo step";
    // Two points divide the line between them.
    SetCp(0, 0, 0);
    SetCp(1, 30, 0);
    Run(640, {Parts("3")});
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    EXPECT_NEAR(UnitPointAt(TestAliveUnits()[0], 3)->x, 30.0, 1e-9);
}

TEST_F(Construct, PolarArrayOfFourTurnsThreeCopies)
{
    SelectedLine(1, 0, 2, 0);
    SetCp(1, 0, 0);
    Run(645, {Count("4")});
    EXPECT_EQ(s_Alerts, 0);
    EXPECT_EQ(Starts(), (Points{{-1, 0}, {0, -1}, {0, 1}, {1, 0}}));
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(TestAliveUnits().size(), 1u) << "all copies in one step";
}

TEST_F(Construct, ArrayCountsOutOfRangeAreRefusedAndRemembered)
{
    SelectedLine(1, 0, 2, 0);
    SetCp(1, 0, 0);
    const int stepBefore = g_UndoStep;
    for (const char *count : {"1", "251"}) {
        Run(645, {Count(count)});
        EXPECT_EQ(TestAliveUnits().size(), 1u) << count;
    }
    EXPECT_EQ(s_Alerts, 2);
    EXPECT_EQ(g_UndoStep, stepBefore);
    EXPECT_EQ(g_CommandDefaults.counts[1], 251) << "the entered count stays remembered";
    // Cancel ends the command.
    Run(645, {[](HWND d) { TestClickButton(d, IDCANCEL); }});
    EXPECT_EQ(TestAliveUnits().size(), 1u);
}

TEST_F(Construct, LinearArrayOfOneMovesOneCopyByTheStep)
{
    SelectedLine(1, 0, 2, 0);
    SetCp(1, 0, 0);
    SetCp(2, 3, 4);
    Run(646, {Count("1")});
    EXPECT_EQ(Starts(), (Points{{1, 0}, {4, 4}}));
    // Nothing selected: the command ends without asking.
    for (Unit *u : TestAliveUnits())
        u->flags &= ~UNIT_SELECTED;
    Run(646, {});
    EXPECT_EQ(TestAliveUnits().size(), 2u);
}

TEST_F(Construct, CopiesAlongACircleTurnOnlyWithTheSwitch)
{
    g_DrawingSettings.displayArcs = 1;
    SelectedLine(0, 0, 1, 0);
    SetCp(1, 0, 0);
    auto copyAt = [](double x, double y) -> const ElementPoint * {
        for (Unit *u : TestAliveUnits()) {
            const ElementPoint *p = UnitPointAt(u, 0);
            if (std::fabs(p->x - x) < 1e-9 && std::fabs(p->y - y) < 1e-9)
                return UnitPointAt(u, 1);
        }
        return nullptr;
    };
    for (int rotate : {1, 0}) {
        g_CommandDefaults.construction[0].rotateCopies = rotate;
        Pick(2, GEO_CIRCLE, {0, 0, 10, 0});
        Run(648, {Parts("4")});
        ASSERT_EQ(TestAliveUnits().size(), 5u) << rotate;
        const ElementPoint *end = copyAt(0, 10);
        ASSERT_NE(end, nullptr);
        EXPECT_NEAR(end->x, rotate ? 0.0 : 1.0, 1e-9) << "turned by the polar angle only with the switch";
        EXPECT_NEAR(end->y, rotate ? 11.0 : 10.0, 1e-9);
        ASSERT_EQ(UndoStepBack(), 1);
    }
    // Along a line the copies are only moved, whatever the switch says.
    g_CommandDefaults.construction[0].rotateCopies = 1;
    SetCp(2, 0, 10);
    SetCp(3, 0, 20);
    Run(647, {Parts("1")});
    const ElementPoint *end = copyAt(0, 20);
    ASSERT_NE(end, nullptr);
    EXPECT_NEAR(end->x, 1.0, 1e-9);
    EXPECT_NEAR(end->y, 20.0, 1e-9);
}

TEST_F(Construct, GridOfCopiesAndItsRefusedRows)
{
    SelectedLine(0, 0, 1, 0);
    SetCp(1, 0, 0);
    SetCp(2, 0, 0);
    SetCp(3, 20, 0);
    SetCp(4, 20, 10);
    Run(649, {Parts("2"), Parts("1")});
    EXPECT_EQ(TestAliveUnits().size(), 1u + 6u) << "3 by 2 copies beside the original";
    ASSERT_EQ(UndoStepBack(), 1);
    ASSERT_EQ(TestAliveUnits().size(), 1u);

    // No rows: the dialog refuses the count and keeps asking; cancel ends.
    const int stepBefore = g_UndoStep;
    Run(649, {Parts("2"), Parts("0"), [](HWND d) { TestClickButton(d, IDCANCEL); }});
    EXPECT_EQ(s_Alerts, 1);
    EXPECT_EQ(TestAliveUnits().size(), 1u);
    EXPECT_EQ(g_UndoStep, stepBefore);
}

TEST_F(Construct, DeletingConstructionObjects)
{
    const int stepBefore = g_UndoStep;
    MenuConstructCommand(main_, 650);
    EXPECT_EQ(g_UndoStep, stepBefore) << "nothing to delete: no step";

    Unit *line = TestNewLine(0, 0, 1, 0);
    Unit *g1 = TestNewObject(LIST_DRAWING, OBJTYPE_GEO_LINE, {0, 0, 5, 5});
    Unit *g2 = TestNewObject(LIST_DRAWING, OBJTYPE_GEO_LINE, {0, 1, 5, 6});
    for (Unit *u : {line, g1, g2})
        FrameCalcObject(u, 1);
    g2->flags |= UNIT_SELECTED;
    MenuConstructCommand(main_, 653);
    EXPECT_EQ(TestAliveUnits(), (std::vector<Unit *>{line, g1})) << "only the selected one";
    MenuConstructCommand(main_, 650);
    EXPECT_EQ(TestAliveUnits(), (std::vector<Unit *>{line}));
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(TestAliveUnits(), (std::vector<Unit *>{line, g1}));
}

} // namespace

namespace {

TEST_F(Construct, MarkersAsGridAndAsCopyTargets)
{
    SetCp(0, 0, 0);
    SetCp(1, 10, 0);
    SetCp(2, 10, 10);
    Run(642, {Parts("2"), Parts("1")});
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    Unit *grid = TestAliveUnits()[0];
    int points = 0;
    while (UnitPointAt(grid, points))
        ++points;
    EXPECT_EQ(points, 6) << "3 by 2 marker points in one object";

    // Copies go to the points of the user-marked markers only.
    SelectedLine(0, 0, 1, 0);
    SetCp(1, 0, 0);
    Run(644, {});
    EXPECT_EQ(s_Alerts, 1) << "no marker carries the user bit";
    grid->flags |= 0x1;
    Run(644, {});
    EXPECT_EQ(TestAliveUnits().size(), 2u + 6u);
}

TEST_F(Construct, DisplaySwitchesOfConstructionObjects)
{
    const uint32_t shown = g_DrawingSettings.displayGeometry[0], first = g_DrawingSettings.displayGeometry[2];
    MenuConstructCommand(main_, 637);
    EXPECT_EQ(g_DrawingSettings.displayGeometry[2], !first);
    EXPECT_EQ(g_DrawingSettings.displayGeometry[0], shown) << "637 changes only its own switch";
    MenuConstructCommand(main_, 635);
    EXPECT_EQ(g_DrawingSettings.displayGeometry[0], !shown);
}

} // namespace
