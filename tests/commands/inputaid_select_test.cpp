// The input aids that complete a selection step (every object, the previous
// selection, the marked objects) and that set, clear or invert the user mark
// of the selection.
#include <gtest/gtest.h>

#include "app/system.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/menu.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/unit.h"

namespace {

constexpr uint32_t MARK = 0x1, SELECTED = 0x4, PREVIOUS = 0x40;
constexpr int SELECTING_COMMAND = 400; // one selection step of kind 140

class InputAidSelect : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareStorage());
        SystemInitDrawingSettings(&g_DrawingSettings);
        for (double v : {1.0, 2.0, 3.0})
            lines_.push_back(TestNewLine(v - 0.5, v, v + 0.5, v));
        Record(SELECTING_COMMAND);
    }
    void TearDown() override
    {
        FreeStorage();
        CommandTest::TearDown();
    }
    std::vector<uint32_t> Flags(uint32_t mask)
    {
        std::vector<uint32_t> out;
        for (Unit *u : lines_)
            out.push_back(u->flags & mask);
        return out;
    }
    std::vector<Unit *> lines_;
};

TEST_F(InputAidSelect, EachAidCompletesTheStepWithItsObjects)
{
    const struct {
        int command;
        uint32_t carriedBySecond; // the flag the second line carries beforehand
        std::vector<uint32_t> selected;
    } rows[] = {
        {1000, 0, {SELECTED, SELECTED, SELECTED}},
        {1001, PREVIOUS, {0, SELECTED, 0}},
        {1002, MARK, {0, SELECTED, 0}},
    };
    for (const auto &row : rows) {
        for (bool ctrl : {true, false}) {
            // With Ctrl held the selection stays open and shows what was
            // chosen; without it the step completes and the command runs.
            for (Unit *u : lines_)
                u->flags &= ~(MARK | SELECTED | PREVIOUS);
            lines_[1]->flags |= row.carriedBySecond;
            Calls().clear();
            CommandExecute(SELECTING_COMMAND, 1);
            TestKeys keys(ctrl ? std::set<int>{VK_CONTROL} : std::set<int>{});
            TestBeeps beeps;
            MenuInputAidCommand(main_, row.command);
            EXPECT_EQ(beeps.count(), 0u) << row.command;
            if (ctrl) {
                EXPECT_EQ(Flags(SELECTED), row.selected) << row.command;
                EXPECT_TRUE(Calls().empty()) << row.command;
            } else {
                ASSERT_EQ(Calls().size(), 1u) << row.command;
                EXPECT_EQ(Calls()[0].command, SELECTING_COMMAND);
            }
        }
    }
}

TEST_F(InputAidSelect, NothingToSelectOrNoSelectionStepBeeps)
{
    for (int command : {1001, 1002}) { // no previous selection, no mark
        CommandExecute(SELECTING_COMMAND, 1);
        TestBeeps beeps;
        MenuInputAidCommand(main_, command);
        EXPECT_EQ(beeps.count(), 1u) << command;
    }
    CommandExecute(501, 1); // the line command enters points
    TestBeeps beeps;
    MenuInputAidCommand(main_, 1000);
    EXPECT_EQ(beeps.count(), 1u);
    EXPECT_EQ(Flags(SELECTED), (std::vector<uint32_t>{0, 0, 0}));
    EXPECT_TRUE(Calls().empty());
}

TEST_F(InputAidSelect, TheMarkOfTheSelectionIsSetClearedAndInverted)
{
    const struct {
        int command;
        std::vector<uint32_t> marks; // after it, on a selection of the first two
        uint32_t beeps;
    } rows[] = {
        {1004, {MARK, MARK, 0}, 0},
        {1004, {MARK, MARK, 0}, 1}, // nothing changes
        {1006, {0, 0, 0}, 0},
        {1006, {MARK, MARK, 0}, 0},
        {1005, {0, 0, 0}, 0},
    };
    for (const auto &row : rows) {
        lines_[0]->flags |= SELECTED;
        lines_[1]->flags |= SELECTED;
        TestBeeps beeps;
        MenuInputAidCommand(main_, row.command);
        EXPECT_EQ(beeps.count(), row.beeps) << row.command;
        EXPECT_EQ(Flags(MARK), row.marks) << row.command;
        if (!row.beeps)
            EXPECT_EQ(Flags(SELECTED), (std::vector<uint32_t>{0, 0, 0})) << "the selection is dropped";
        for (Unit *u : lines_)
            u->flags &= ~SELECTED;
    }
}

TEST_F(InputAidSelect, TheAreaDisplaySwitches)
{
    const uint32_t areas = g_DrawingSettings.displayAreas;
    MenuInputAidCommand(main_, 1007);
    EXPECT_EQ(g_DrawingSettings.displayAreas, areas ? 0u : 1u);
    MenuInputAidCommand(main_, 1007);
    EXPECT_EQ(g_DrawingSettings.displayAreas, areas);
}

} // namespace
