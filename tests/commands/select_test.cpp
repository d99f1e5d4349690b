// Selection steps: Ctrl held adds, Shift held starts a rectangle, and the
// step completes on a click without Ctrl or when Ctrl is released.
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_keys.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "app/system.h"
#include "common/test_commands.h"
#include "common/test_objects.h"

namespace {

// Lines through the points the tests click, so that every click selects.
class Selection : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        SystemInitDrawingSettings(&g_DrawingSettings);
        for (double v : {1.0, 2.0, 3.0})
            TestNewLine(v - 0.5, v, v + 0.5, v);
    }
    void TearDown() override
    {
        FreeStorage();
        CommandTest::TearDown();
    }
};

TEST_F(Selection, APlainClickCompletesTheStep)
{
    Record(400);
    CommandExecute(400, 1); // template 74: one selection step of kind 140
    EXPECT_EQ(g_CommandState->pointKind, 140);
    CommandHandleCode(InputPoint(1.0, 1.0, 1));
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].command, 400);
}

TEST_F(Selection, CtrlHeldAddsUntilAClickWithoutIt)
{
    Record(400);
    CommandExecute(400, 1);
    TestKeys keys({VK_CONTROL});
    EXPECT_EQ(InputPoint(1.0, 1.0, 1), INPUT_REFUSED) << "the step stays open";
    EXPECT_EQ(g_CommandState->additive, 1);
    EXPECT_EQ(InputPoint(2.0, 2.0, 1), INPUT_REFUSED);
    keys.Release(VK_CONTROL);
    const int code = InputPoint(3.0, 3.0, 1);
    EXPECT_EQ(code, INPUT_COMPLETE);
    EXPECT_EQ(g_CommandState->additive, 0);
    CommandHandleCode(code);
    EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(Selection, ReleasingCtrlCompletesTheStep)
{
    Record(400);
    CommandExecute(400, 1);
    {
        TestKeys keys({VK_CONTROL});
        CommandKeyDown(VK_CONTROL, 0);
        EXPECT_EQ(InputPoint(1.0, 1.0, 1), INPUT_REFUSED);
        keys.Release(VK_CONTROL);
        CommandKeyUp(VK_CONTROL, 0);
    }
    ASSERT_EQ(Calls().size(), 1u) << "the selection made so far is the step's result";
    EXPECT_EQ(g_CommandState->additive, 0);
    EXPECT_EQ(g_CommandState->ctrlToggled, 0);
}

TEST_F(Selection, ShiftClickAndASecondClickSelectByRectangle)
{
    Record(400);
    CommandExecute(400, 1);
    {
        TestKeys keys({VK_SHIFT});
        EXPECT_EQ(InputPoint(1.0, 2.0, 1), INPUT_REFUSED) << "the first corner";
        EXPECT_EQ(g_CommandState->rectanglePending, 1);
    }
    CommandHandleCode(InputPoint(7.0, 9.0, 1));
    const CommandState &cs = *g_CommandState;
    EXPECT_EQ(cs.rect[0], 1.0);
    EXPECT_EQ(cs.rect[1], 2.0);
    EXPECT_EQ(cs.rect[2], 7.0);
    EXPECT_EQ(cs.rect[3], 9.0);
    EXPECT_EQ(cs.rectanglePending, 0);
    EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(Selection, TheMenuSelectionOutsideASelectionStepDoesNothing)
{
    EXPECT_EQ(InputSelectionCommand(0x1), 0) << "the line command has no selection step";
    CommandExecute(400, 1);
    TestBeeps beeps;
    EXPECT_EQ(InputSelectionCommand(0x1), 0) << "nothing to select";
    EXPECT_EQ(beeps.count(), 1u);
}

} // namespace
