// The Edit menu's commands by their numbers.
#include "command_fixture.h"

#include <thread>

#include "common/test_alerts.h"
#include "common/test_objects.h"
#include "common/test_commands.h"
#include "commands/command.h"
#include "commands/menu.h"
#include "database/storage.h"
#include "database/undo.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "common/dialog_driver.h"
#include "database/object.h"
#include "database/object_types.h"
#include "dialogs/box09_comment.h"
#include "files/file_records.h"
#include "language/language.h"

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

// Cut while another program holds the clipboard open: the user is told
// and the selection stays in the drawing.
TEST_F(MenuEdit, CutKeepsTheSelectionWhenTheClipboardRefusesIt)
{
    ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
    UndoInitProcess();
    Unit *line = TestNewLine(0, 0, 10, 10);
    ASSERT_NE(line, nullptr);
    UndoStampCreated(line);
    UndoFinishProcess();
    line->flags |= UNIT_SELECTED;
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr), release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        const BOOL open = OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, INFINITE);
        if (open)
            CloseClipboard();
    });
    WaitForSingleObject(opened, INFINITE);
    TestAlerts alerts;
    MenuEditCommand(main_, 203);
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_TRUE(UndoIsVisible(line, g_UndoStep));
    ASSERT_FALSE(alerts.texts().empty());
    EXPECT_EQ(alerts.texts().back(), eAlertTextSM[3]);
    FreeStorage();
}

// The comments of the drawing: alive Comment objects, oldest first.
std::vector<Unit *> Comments()
{
    std::vector<Unit *> found;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (u->kind == UNIT_KIND_OBJECT && u->object.type == OBJTYPE_COMMENT && UndoIsVisible(u, g_UndoStep))
            found.push_back(u);
    return found;
}

// 207 opens the dialog with the signature line only, the status list off;
// 227 edits the one selected comment in one undo step.
TEST_F(MenuEdit, ANewCommentIsSignedAndEditingItCanBeUndone)
{
    ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
    HMODULE savedModule = g_LanguageModule;
    g_LanguageModule = GetModuleHandleA("language.dll");
    ASSERT_NE(g_LanguageModule, nullptr);
    std::snprintf(g_Options.authorName, sizeof g_Options.authorName, "%s", "Ann");
    g_ConstructionPoints[0] = {10, 10, 0, 0};
    g_ConstructionPoints[1] = {20, 15, 0, 0};
    std::string shown;
    BOOL statusOn = TRUE;
    DialogDriver add({[&](HWND d) {
        shown = TestItemText(d, 201);
        statusOn = IsWindowEnabled(GetDlgItem(d, 181));
        SetDlgItemTextA(d, 200, "First");
        TestClickButton(d, IDOK);
    }});
    // The signature carries the minute: the clock may turn while the command runs.
    char before[256], after[256];
    Box09InsertDateTime(before, sizeof before);
    MenuEditCommand(main_, 207);
    Box09InsertDateTime(after, sizeof after);
    EXPECT_TRUE(shown == before || shown == after) << shown;
    const char *signature = shown.c_str();
    EXPECT_EQ(shown.rfind("Ann, ", 0), 0u);
    EXPECT_FALSE(statusOn);
    ASSERT_EQ(Comments().size(), 1u);
    char text[LOCAL_TEXT_SIZE];
    CommentDataRecord data{};
    ASSERT_EQ(ObjectCommentOf(Comments()[0], text, sizeof text, &data), 1);
    EXPECT_STREQ(text, signature);
    EXPECT_STREQ(data.name, "First");

    Comments()[0]->flags |= UNIT_SELECTED;
    DialogDriver edit({[](HWND d) {
        SetDlgItemTextA(d, 200, "Second");
        TestClickButton(d, IDOK);
    }});
    MenuEditCommand(main_, 227);
    ASSERT_EQ(Comments().size(), 1u);
    ObjectCommentOf(Comments()[0], text, sizeof text, &data);
    EXPECT_STREQ(data.name, "Second");
    EXPECT_STREQ(text, signature);
    MenuEditCommand(main_, 200);
    ASSERT_EQ(Comments().size(), 1u);
    ObjectCommentOf(Comments()[0], nullptr, 0, &data);
    EXPECT_STREQ(data.name, "First");
    g_LanguageModule = savedModule;
    FreeStorage();
}

TEST_F(MenuEdit, TheCommentsFileIsNeverTheDrawingItself)
{
    struct Case {
        const char *drawing, *expected;
    } cases[] = {
        {"C:\\plans\\plan.zvd", "C:\\plans\\plan-notes.zvd"},
        {"C:\\plans\\plan-notes.zvd", "C:\\plans\\plan-notes-notes.zvd"},
        {"C:\\plans.v2\\plan", "C:\\plans.v2\\plan-notes"},
        {"*Untitled", "C:\\work\\untitled-notes.zvd"},
    };
    for (const Case &c : cases) {
        char out[MAX_PATH];
        MenuEditCommentsFileName(c.drawing, "C:\\work\\", out, sizeof out);
        EXPECT_STREQ(out, c.expected) << c.drawing;
    }
}

} // namespace
