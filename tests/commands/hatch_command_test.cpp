// The hatch commands of the Draw menu: 577 hatches the selection in one
// undo step, 578 the areas around the entered points.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/system.h"
#include "app/system_defs.h"
#include "command_fixture.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/menu.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/frame.h"
#include "geometry/pick_objects.h"

namespace {

int s_Alerts = 0;
uint32_t CountAlert(const char *, uint32_t code1, uint32_t, uint32_t)
{
    ++s_Alerts;
    return code1;
}

class HatchCommand : public CommandTest {
protected:
    AlertAnswerHook savedHook_ = nullptr;
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = CountAlert;
        s_Alerts = 0;
        g_CurrentHatch = 0;
        g_HatchDefs[0].family1 = {1, 0, 0};
        g_HatchDefs[0].family2.on = 0;
        g_HatchDefs[0].baseAngle = 0;
        g_MultiLineDefs[0].lines[0].on = 1;
        g_MultiLineDefs[0].lines[0].offset = 10;
        g_HatchOrigin[0] = 0, g_HatchOrigin[1] = 5;
        g_LocalData.surfaceTolerance = 0.01;
    }
    void TearDown() override
    {
        g_AlertAnswerHook = savedHook_;
        FreeStorage();
        CommandTest::TearDown();
    }
    static Unit *Selected(Unit *u)
    {
        FrameCalcObject(u, 0);
        u->flags |= UNIT_SELECTED;
        return u;
    }
    static std::vector<Unit *> OfType(int32_t type)
    {
        std::vector<Unit *> out;
        for (Unit *u : TestAliveUnits())
            if (u->object.type == type)
                out.push_back(u);
        return out;
    }
    static int Pieces(Unit *u)
    {
        int n = 0;
        UnitForEachElement(u, [&](Element *e) { n += e->kind == POINT_START; });
        return n;
    }
};

TEST_F(HatchCommand, HatchingTheSelectionCountsEachObjectByItselfInOneStep)
{
    const int step = g_UndoStep;
    MenuDrawCommand(main_, 577);
    EXPECT_EQ(g_UndoStep, step) << "nothing selected: no step";
    // An island drawn as an object of its own lies inside the outer one and is hatched.
    Selected(PickNewPath(OBJTYPE_SURFACE, PickSquare(0, 0, 100, 100)));
    Selected(PickNewPath(OBJTYPE_SURFACE, PickSquare(30, 30, 70, 70)));
    MenuDrawCommand(main_, 577);
    EXPECT_EQ(s_Alerts, 0);
    ASSERT_EQ(OfType(OBJTYPE_HATCH).size(), 1u);
    EXPECT_EQ(Pieces(OfType(OBJTYPE_HATCH)[0]), 10) << "35 .. 65 whole";
    for (Unit *u : TestAliveUnits())
        EXPECT_FALSE(u->flags & UNIT_SELECTED) << "the selection is cleared";
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_TRUE(OfType(OBJTYPE_HATCH).empty());
}

TEST_F(HatchCommand, HatchingAroundPointsUsesTemporarySurfaces)
{
    Selected(TestNewLine(-5, 0, 105, 0));
    Selected(TestNewLine(-5, 100, 105, 100));
    Selected(TestNewLine(0, -5, 0, 105));
    Selected(TestNewLine(100, -5, 100, 105));
    const size_t before = TestAliveUnits().size();
    g_CommandState->pointIndex = 2;
    g_ConstructionPoints[1].x = 50, g_ConstructionPoints[1].y = 50;
    MenuDrawCommand(main_, 578);
    EXPECT_EQ(s_Alerts, 0);
    ASSERT_EQ(OfType(OBJTYPE_HATCH).size(), 1u);
    EXPECT_EQ(Pieces(OfType(OBJTYPE_HATCH)[0]), 10);
    EXPECT_TRUE(OfType(OBJTYPE_SURFACE).empty()) << "the surfaces served and went";
    EXPECT_EQ(TestAliveUnits().size(), before + 1);
    // Two crossing lines close no area: the whole command fails.
    std::vector<Unit *> lines = OfType(OBJTYPE_LINE);
    lines[0]->flags |= UNIT_SELECTED;
    lines[2]->flags |= UNIT_SELECTED;
    const int step = g_UndoStep;
    g_CommandState->pointIndex = 3;
    g_ConstructionPoints[2].x = 20, g_ConstructionPoints[2].y = 20;
    MenuDrawCommand(main_, 578);
    EXPECT_EQ(s_Alerts, 1);
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(OfType(OBJTYPE_HATCH).size(), 1u);
}

TEST_F(HatchCommand, HatchingAroundAPointLeavesTheHolesOfItsAreaEmpty)
{
    // The plate: four lines and two holes; the point lies between the holes.
    Selected(TestNewLine(-60, -40, 60, -40));
    Selected(TestNewLine(60, -40, 60, 40));
    Selected(TestNewLine(60, 40, -60, 40));
    Selected(TestNewLine(-60, 40, -60, -40));
    Selected(TestNewObject(0, OBJTYPE_CIRCLE, {-30, 0, -20, 0}));
    Selected(TestNewObject(0, OBJTYPE_CIRCLE, {30, 0, 40, 0}));
    g_HatchOrigin[0] = 0, g_HatchOrigin[1] = 5;
    g_CommandState->pointIndex = 2;
    g_ConstructionPoints[1].x = -49, g_ConstructionPoints[1].y = -5;
    MenuDrawCommand(main_, 578);
    EXPECT_EQ(s_Alerts, 0);
    ASSERT_EQ(OfType(OBJTYPE_HATCH).size(), 1u);
    // y = 5 crosses both holes: three pieces; y = -35, 35 and 25 one each.
    std::vector<std::pair<double, double>> at5;
    int pieces = 0;
    UnitForEachElement(OfType(OBJTYPE_HATCH)[0], [&](Element *e) {
        if (e->kind != POINT_START)
            return;
        ++pieces;
        const double *p = static_cast<const double *>(ElementPayload(e));
        if (std::fabs(p[1] - 5) < 1e-9)
            at5.push_back({p[0], p[1]});
    });
    EXPECT_EQ(pieces, 8 + 2 * 2) << "8 lines from -35 to 35, the two through the holes cut in three";
    EXPECT_EQ(at5.size(), 3u);
    EXPECT_TRUE(OfType(OBJTYPE_SURFACE).empty());
    // A point in a hole hatches that hole only.
    std::vector<Unit *> hatches = OfType(OBJTYPE_HATCH);
    hatches[0]->flags &= ~UNIT_SELECTED;
    for (Unit *u : TestAliveUnits())
        if (u->object.type != OBJTYPE_HATCH)
            u->flags |= UNIT_SELECTED;
    g_ConstructionPoints[1].x = 30, g_ConstructionPoints[1].y = 0;
    MenuDrawCommand(main_, 578);
    ASSERT_EQ(OfType(OBJTYPE_HATCH).size(), 2u);
    EXPECT_EQ(Pieces(OfType(OBJTYPE_HATCH)[1]), 2) << "y = -5 and 5 within the circle";
}

} // namespace
