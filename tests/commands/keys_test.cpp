// Keyboard command entry: typed numbers, Space, Shift and Ctrl, and the keys
// that post commands.
#include <gtest/gtest.h>

#include "app/system.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_keys.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "common/test_commands.h"

namespace {

using Keys = CommandTest;

void Type(std::initializer_list<int> keys)
{
    for (int k : keys) {
        CommandKeyDown(k, 0);
        CommandKeyUp(k, 0);
    }
}

TEST_F(Keys, TabDigitsTabRunsTheNumber)
{
    CommandExecute(640, 1);
    Type({VK_TAB, '5', '0', '1', VK_TAB});
    EXPECT_EQ(g_CommandState->commandId, 501);
    EXPECT_EQ(g_CommandDefaults.lastCommands[0], 501);

    CommandExecute(640, 1);
    Type({VK_TAB, '1', '2', '3', '4', VK_NUMPAD0, '5', '0', '1', VK_TAB});
    EXPECT_EQ(g_CommandState->commandId, 501) << "only the last four digits count";
}

TEST_F(Keys, NumbersOutsideTheSpaceBeepAndTabTabDoesNothing)
{
    TestBeeps beeps;
    Type({VK_TAB, '9', '9', VK_TAB});
    EXPECT_EQ(beeps.count(), 1u);
    Type({VK_TAB, VK_TAB});
    EXPECT_EQ(beeps.count(), 1u);
    EXPECT_EQ(g_CommandState->commandId, 501);
    EXPECT_TRUE(Posted().empty());
}

TEST_F(Keys, ALetterEndsDigitEntryAndRunsItsAssignment)
{
    Type({VK_TAB, '5', 'A'});
    EXPECT_EQ(g_CommandDigitEntry, 0);
    EXPECT_EQ(g_CommandState->commandId, 501);
    const std::vector<int> posted = Posted();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], g_Options.keyboard['A' - 'A' + 10]);
    {
        TestKeys keys({VK_SHIFT});
        CommandKeyDown('A', 0);
    }
    const std::vector<int> shifted = Posted();
    ASSERT_EQ(shifted.size(), 1u);
    EXPECT_EQ(shifted[0], g_Options.keyboard[38 + 10]);
    g_Options.keyboard[1] = -1;
    CommandKeyDown('1', 0);
    EXPECT_TRUE(Posted().empty()) << "a key without an assignment does nothing";
}

TEST_F(Keys, NavigationKeysPostTheirCommands)
{
    const struct {
        int key, command;
    } rows[] = {{VK_PRIOR, 1039}, {VK_NEXT, 1040}, {VK_END, 1038},     {VK_HOME, 1037},
                {VK_LEFT, 1033},  {VK_UP, 1035},   {VK_RIGHT, 1034},   {VK_DOWN, 1036},
                {VK_MULTIPLY, 349}, {VK_ADD, 350}, {VK_SUBTRACT, 351}, {VK_DIVIDE, 348}, {VK_ESCAPE, 1009}};
    for (const auto &r : rows) {
        CommandKeyDown(r.key, 0);
        const std::vector<int> posted = Posted();
        ASSERT_EQ(posted.size(), 1u) << r.key;
        EXPECT_EQ(posted[0], r.command) << r.key;
    }
}

TEST_F(Keys, SpaceWithoutAZoomClickPostsTheRedraw)
{
    CommandKeyDown(VK_SPACE, 0);
    EXPECT_EQ(g_CommandSpaceZoom, SPACE_ZOOM_HELD);
    CommandKeyDown(VK_SPACE, LPARAM(1) << 30); // repeated: no change
    CommandKeyUp(VK_SPACE, 0);
    EXPECT_EQ(Posted(), std::vector<int>{1028});
    CommandKeyDown(VK_SPACE, 0);
    g_CommandSpaceZoom = SPACE_ZOOM_CLICKED; // a zoom click happened
    CommandKeyUp(VK_SPACE, 0);
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(g_CommandSpaceZoom, SPACE_ZOOM_IDLE);
}

TEST_F(Keys, ShiftInvertsSnappingWhileHeldInCoordinateSteps)
{
    uint32_t &snapping = g_LocalData.snap.switches[0];
    snapping = 0;
    CommandKeyDown(VK_SHIFT, 0);
    EXPECT_EQ(snapping, 1u);
    CommandKeyDown(VK_SHIFT, LPARAM(1) << 30);
    EXPECT_EQ(snapping, 1u) << "toggled once per press";
    CommandKeyUp(VK_SHIFT, 0);
    EXPECT_EQ(snapping, 0u);

    g_LocalData.snap.snapModes = 0;
    CommandKeyDown(VK_SHIFT, 0);
    EXPECT_EQ(snapping, 0u) << "all snap modes off";
    CommandKeyUp(VK_SHIFT, 0);
    g_LocalData.snap.snapModes = 120;

    g_CommandState->pointKind = 45; // an element pick
    CommandKeyDown(VK_SHIFT, 0);
    EXPECT_EQ(snapping, 0u);
    CommandKeyUp(VK_SHIFT, 0);
}

TEST_F(Keys, CtrlInvertsTheCopyModeAndTheTimerResetsAMissedRelease)
{
    uint32_t &copy = g_DrawingSettings.displayDuplicate;
    copy = 0;
    TestKeys keys({VK_CONTROL});
    CommandKeyDown(VK_CONTROL, 0);
    EXPECT_EQ(copy, 1u);
    CommandKeyTimer();
    EXPECT_EQ(copy, 1u) << "still held";
    keys.Release(VK_CONTROL);
    CommandKeyTimer(); // the release went to another window
    EXPECT_EQ(copy, 0u);
    EXPECT_EQ(g_CommandState->ctrlToggled, 0);
}

} // namespace
