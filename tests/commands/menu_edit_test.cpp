// The Edit menu's commands by their numbers.
#include "command_fixture.h"

#include "common/test_objects.h"
#include "common/test_commands.h"
#include "commands/command.h"
#include "commands/menu.h"
#include "database/storage.h"
#include "database/undo.h"

namespace {

class MenuEdit : public CommandTest {};

int VisibleLines(const std::vector<Unit *> &lines)
{
    int n = 0;
    for (const Unit *u : lines)
        n += UndoIsVisible(u, g_UndoStep) ? 1 : 0;
    return n;
}

TEST_F(MenuEdit, UndoTwiceRedoOnceLeavesTwoOfThreeLines)
{
    ASSERT_NO_FATAL_FAILURE(PrepareStorage());
    UndoReset();
    std::vector<Unit *> lines;
    for (int i = 0; i < 3; ++i) {
        UndoInitProcess();
        Unit *line = TestNewLine(0, i, 10, i);
        ASSERT_NE(line, nullptr);
        UndoStampCreated(line);
        UndoFinishProcess();
        lines.push_back(line);
    }
    MenuEditCommand(main_, 200);
    MenuEditCommand(main_, 200);
    EXPECT_EQ(VisibleLines(lines), 1);
    MenuEditCommand(main_, 201);
    EXPECT_EQ(VisibleLines(lines), 2);
    // The third comes back; after that nothing is left to redo: a beep.
    MenuEditCommand(main_, 201);
    TestBeeps beeps;
    MenuEditCommand(main_, 201);
    EXPECT_EQ(beeps.count(), 1u);
    EXPECT_EQ(VisibleLines(lines), 3);
    FreeStorage();
}

} // namespace
