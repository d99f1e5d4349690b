// A group is one undo step with its block, and group blocks that nothing
// uses any more are not carried into a saved or loaded drawing.
#include <gtest/gtest.h>

#include <string>

#include "command_fixture.h"
#include "commands/menu_block.h"
#include "common/test_files.h"
#include "common/test_objects.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/undo.h"
#include "dialogs/box15.h"
#include "files/file.h"
#include "files/file_commands.h"
#include "files/zvi.h"

namespace {

constexpr int COMMAND_GROUP = 445;

class GroupUndo : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        ASSERT_EQ(ZVI_InitFileBuffers(), 1);
    }
    void TearDown() override
    {
        FreeStorage();
        CommandTest::TearDown();
    }
    // The names of the drawing's own blocks that are alive.
    static std::vector<std::string> OwnBlocks()
    {
        std::vector<std::string> names;
        for (Unit *b = MemListFirst(LIST_OWN_BLOCKS, 0, 0, 1); b; b = MemListNext(b))
            names.push_back(b->block.name);
        return names;
    }
    static void SelectAll()
    {
        for (Unit *u : TestAliveUnits())
            u->flags |= UNIT_SELECTED;
    }
};

TEST_F(GroupUndo, AnUndoneGroupTakesItsBlockAlongAndARedoneOneBringsItBack)
{
    ASSERT_NE(TestNewLine(0, 0, 10, 0), nullptr);
    ASSERT_NE(TestNewLine(0, 0, 0, 10), nullptr);
    SelectAll();
    MenuBlockMakeGroup(main_, COMMAND_GROUP);
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    ASSERT_EQ(OwnBlocks().size(), 1u);
    const std::string group = OwnBlocks()[0];
    EXPECT_EQ(group.compare(0, 3, "#G\\"), 0);

    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(TestAliveUnits().size(), 2u);
    EXPECT_TRUE(OwnBlocks().empty()) << "the group's block went with its step";

    ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(TestAliveUnits().size(), 1u);
    EXPECT_EQ(OwnBlocks(), std::vector<std::string>{group});
}

TEST_F(GroupUndo, GroupBlocksNothingUsesAreNeitherSavedNorLoaded)
{
    ASSERT_EQ(SymbolCreateEmptyBlock(SYMBOL_OWN_LIBRARY, "#G\\orphan", nullptr), 1);
    ASSERT_EQ(SymbolCreateEmptyBlock(SYMBOL_OWN_LIBRARY, "plain", nullptr), 1);
    ASSERT_NE(TestNewLine(0, 0, 10, 0), nullptr);

    // Written with the purge, as Save does: the unused group is left out,
    // an ordinary block stays, used or not.
    TestTempFile saved("group_undo_saved.zvd");
    ASSERT_EQ(FileSaveDrawing(&g_DrawingInfo.info, saved.Path(), FILE_KIND_DRAWING, FILE_SECTIONS_ALL, 1), 1);
    EXPECT_EQ(saved.Contents().find("orphan"), std::string::npos);
    EXPECT_NE(saved.Contents().find("plain"), std::string::npos);

    // Written without it (as an older file could hold it), then opened.
    ASSERT_EQ(SymbolCreateEmptyBlock(SYMBOL_OWN_LIBRARY, "#G\\orphan", nullptr), 1);
    TestTempFile older("group_undo_older.zvd");
    ASSERT_EQ(FileWriteDrawing(&g_DrawingInfo.info, older.Path(), FILE_SECTIONS_ALL | FILE_MODE_QUIET), 1);
    ASSERT_NE(older.Contents().find("orphan"), std::string::npos);
    ASSERT_EQ(FileOpenDrawing(older.Path(), 0, FILE_SECTIONS_ALL, 1, 0), FILE_OPEN_DONE);
    EXPECT_EQ(OwnBlocks(), std::vector<std::string>{"plain"});
}

} // namespace
