// The Block menu: a new block from the selection through BLOCKREAD, its
// explosion, purging, and a new library made in the library slots dialog.
#include "command_fixture.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/system.h"
#include "common/dialog_driver.h"
#include "common/test_files.h"
#include "common/test_objects.h"
#include "common/test_support.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_points.h"
#include "commands/menu.h"
#include "commands/menu_block.h"
#include "database/object_rects.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "dialogs/alert.h"
#include "dialogs/box15.h"
#include "files/file_library.h"
#include "files/zvi.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

std::vector<std::string> s_Alerts;
uint32_t s_Answer = 0;
uint32_t RecordAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    s_Alerts.push_back(text ? text : "");
    return s_Answer ? s_Answer : code1;
}

std::string s_ChosenPath;
int ChooseTempPath(const char *, FileDialogState *state, const FileTypeSelection &)
{
    lstrcpynA(state->current, s_ChosenPath.c_str(), sizeof state->current);
    return 1;
}

class BlockCommands : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        ASSERT_EQ(ZVI_InitFileBuffers(), 1);
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = RecordAlert;
        savedChooser_ = g_Box15ChooserHook;
        g_Box15ChooserHook = ChooseTempPath;
        s_Alerts.clear();
        s_Answer = 0;
        ResetLibraries();
    }
    void TearDown() override
    {
        while (g_LibrarySlots.count)
            FileRemoveLibrary(g_LibrarySlots.count - 1);
        ResetLibraries();
        g_AlertAnswerHook = savedHook_;
        g_Box15ChooserHook = savedChooser_;
        FreeStorage();
        CommandTest::TearDown();
    }
    static void ResetLibraries()
    {
        g_LibrarySlots.count = 0;
        for (LibrarySlot &s : g_LibrarySlots.slots)
            SymbolFreeLibrarySlot(&s);
        g_LibraryBlockIndex.count = 0;
    }
    static Unit *SelectedLine(double x1, double y1, double x2, double y2)
    {
        Unit *u = TestNewLine(x1, y1, x2, y2);
        u->flags |= UNIT_SELECTED;
        return u;
    }
    TestLanguageModule language_;
    AlertAnswerHook savedHook_ = nullptr;
    Box15ChooserHook savedChooser_ = nullptr;
};

TEST_F(BlockCommands, NewBlockReplacesTheSelectionAndExplodesBackInPlace)
{
    SelectedLine(10, 10, 20, 10);
    SelectedLine(10, 10, 10, 30);
    g_ConstructionPoints[1].x = 10;
    g_ConstructionPoints[1].y = 10;
    std::strcpy(g_BlockRead.library, "*");
    g_BlockRead.block[0] = 0;
    g_BlockRead.replaceSelection = 0;
    {
        DialogDriver driver({[](HWND d) {
            SetDlgItemTextA(d, 200, "Mech\\Corner");
            TestClickButton(d, 250); // replace the selection
            TestClickButton(d, IDOK);
        }});
        MenuBlockCommand(main_, 902);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    Unit *block = SymbolFindBlock("*", "Mech\\Corner");
    ASSERT_NE(block, nullptr);
    EXPECT_DOUBLE_EQ(block->frame[0], 0);
    EXPECT_DOUBLE_EQ(block->frame[3], 20);
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->kind, UNIT_KIND_INSTANCE);
    EXPECT_DOUBLE_EQ(alive[0]->instance.placement.tx, 10);

    // Purging keeps a block in use, without marking the drawing changed.
    s_Answer = ALERT_YES;
    g_DrawingInfo.modified = 0;
    MenuBlockCommand(main_, 910);
    EXPECT_NE(SymbolFindBlock("*", "Mech\\Corner"), nullptr);
    EXPECT_EQ(g_DrawingInfo.modified, 0u);

    alive[0]->flags |= UNIT_SELECTED;
    MenuBlockCommand(main_, 912);
    alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    EXPECT_EQ(alive[0]->kind, UNIT_KIND_OBJECT);
    EXPECT_DOUBLE_EQ(alive[0]->frame[0], 10);
    EXPECT_DOUBLE_EQ(alive[0]->frame[2], 20);

    // Nothing uses the block now: a purge answered yes deletes it.
    MenuBlockCommand(main_, 910);
    EXPECT_EQ(SymbolFindBlock("*", "Mech\\Corner"), nullptr);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
}

// 901 asks for the block first; the frame that follows the cursor is the
// block's, turned and scaled as the dialog says, and each click inserts it.
TEST_F(BlockCommands, InsertAsksForTheBlockAndPlacesItsFrame)
{
    SelectedLine(0, 0, 10, 20);
    ASSERT_EQ(SymbolCreateBlock("*", "Door", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 1);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDCANCEL); }});
        CommandExecute(901, 1);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    EXPECT_NE(g_CommandState->commandId, 901) << "cancelled: the command does not start";
    {
        DialogDriver driver({[](HWND d) {
            SetDlgItemTextA(d, 200, "Door");
            SetDlgItemTextA(d, 201, "2");
            TestClickButton(d, IDOK);
        }});
        CommandExecute(901, 1);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    ASSERT_EQ(g_CommandState->commandId, 901);
    const double *r = g_CommandState->rect;
    EXPECT_DOUBLE_EQ(r[0], 0);
    EXPECT_DOUBLE_EQ(r[1], 0);
    EXPECT_DOUBLE_EQ(r[2], 10);
    EXPECT_DOUBLE_EQ(r[3], 20);
    EXPECT_DOUBLE_EQ(g_CommandState->matrix.a, 2);
    EXPECT_DOUBLE_EQ(g_CommandState->matrix.d, 2);
    InputMove(100, 50);
    EXPECT_DOUBLE_EQ(g_CommandState->corners[4], 120) << "the far corner follows the cursor";
    EXPECT_DOUBLE_EQ(g_CommandState->corners[5], 90);
    CommandHandleCode(InputPoint(100, 50, 1));
    EXPECT_DOUBLE_EQ(g_ChangedRect[0], 100);
    EXPECT_DOUBLE_EQ(g_ChangedRect[3], 90);
    EXPECT_EQ(g_CommandState->commandId, 901) << "the insertion repeats";
}

// A symbol slot's block: its frame, or nothing for an empty block; the slot
// dialog opened during its own insertion changes the running matrix.
TEST_F(BlockCommands, SymbolSlotsPrepareTheirFrameAndFollowTheirDialog)
{
    SelectedLine(-5, -5, 5, 5);
    ASSERT_EQ(SymbolCreateBlock("*", "Cross", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 1);
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "Empty", nullptr), 1);
    BlockInsertSlot &slot = g_Options.insertSlots[5];
    std::strcpy(slot.nameLibrary, "*");
    std::strcpy(slot.nameBlock, "Empty");
    slot.scale = 1, slot.rotation = 0;
    CommandExecute(5345, 0);
    ASSERT_EQ(g_CommandState->commandId, 5345) << "an empty block still starts";
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(g_CommandState->rect[k], 0.0);
    std::strcpy(slot.nameBlock, "Cross");
    CommandExecute(5345, 0);
    EXPECT_DOUBLE_EQ(g_CommandState->rect[0], -5);
    EXPECT_DOUBLE_EQ(g_CommandState->rect[2], 5);
    {
        DialogDriver driver({[](HWND d) {
            SetDlgItemTextA(d, 201, "3");
            TestClickButton(d, IDOK);
        }});
        CommandExecute(5445, 0);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_DOUBLE_EQ(slot.scale, 3);
    EXPECT_DOUBLE_EQ(g_CommandState->matrix.a, 3) << "the running insertion of this slot follows";
    EXPECT_EQ(g_CommandState->commandId, 5345);
    slot.nameLibrary[0] = slot.nameBlock[0] = 0;
}

TEST_F(BlockCommands, ANewLibraryIsWrittenAndOpenedAndAFiftyFirstIsRefused)
{
    TestTempFile file("made.zvl");
    s_ChosenPath = file.Path();
    {
        // New, its details confirmed, then OK.
        DialogDriver driver({[](HWND d) { TestClickButton(d, 550); }, [](HWND d) { TestClickButton(d, IDOK); },
                             [](HWND d) { TestClickButton(d, IDOK); }});
        MenuBlockCommand(main_, 915);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    ASSERT_EQ(g_LibrarySlots.count, 1) << (s_Alerts.empty() ? "" : s_Alerts.back());
    EXPECT_STREQ(g_LibrarySlots.slots[0].info.title, "made");
    EXPECT_NE(file.Contents().find("=LIBRARY="), std::string::npos);
    // A block saved into it, the library saved, closed and opened again.
    SelectedLine(0, 0, 5, 5);
    ASSERT_EQ(SymbolCreateBlock("made", "B", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 1);
    ASSERT_EQ(FileSaveLibrary(0), 1);
    FileRemoveLibrary(0);
    ASSERT_EQ(FileOpenLibrary(file.Path(), 0, 1, 1), 0);
    EXPECT_NE(SymbolFindBlock("made", "B"), nullptr);

    // The same file for a second new library is refused (entry 96).
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 550); }, [](HWND d) { TestClickButton(d, IDOK); }});
        MenuBlockCommand(main_, 915);
    }
    EXPECT_EQ(g_LibrarySlots.count, 1);
    ASSERT_FALSE(s_Alerts.empty());
    EXPECT_NE(s_Alerts.back().find("made.zvl"), std::string::npos);

    // With 50 libraries open a 51st is refused with entry 71.
    for (int i = 1; i < SYMBOL_LIBRARY_SLOTS; ++i)
        std::snprintf(g_LibrarySlots.slots[i].info.title, DRAWING_INFO_FIELD, "L%02d", i);
    g_LibrarySlots.count = SYMBOL_LIBRARY_SLOTS;
    s_Alerts.clear();
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 550); }, [](HWND d) { TestClickButton(d, IDOK); }});
        MenuBlockCommand(main_, 915);
    }
    ASSERT_FALSE(s_Alerts.empty());
    EXPECT_EQ(s_Alerts[0], eAlertTextOK[71]);
    g_LibrarySlots.count = 1;
}

} // namespace
