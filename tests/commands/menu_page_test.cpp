// The Page and Options menu by its numbers: pages, show-all and restore,
// views and the window exchange.
#include "command_fixture.h"

#include <cstring>

#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "dialogs/box08_editterm.h"
#include "commands/command_state.h"
#include "commands/menu.h"
#include "common/dialog_driver.h"
#include "common/test_alerts.h"
#include "commands/command.h"
#include "commands/input.h"
#include <string>
#include "common/test_commands.h"
#include "common/test_support.h"
#include "language/language.h"

namespace {

class MenuPage : public DrawingWindowTest {
protected:
    // `count` pages, each marked with its 1-based number, the one of index
    // `active` current.
    static void MakePages(int count, int active)
    {
        PageDef page = g_PageDefs.count > 0 ? g_PageDefs.pages[0] : g_CommandDefaults.page;
        for (int i = 0; i < count; ++i) {
            g_PageDefs.pages[i] = page;
            g_PageDefs.pages[i].reserved = i + 1;
        }
        g_PageDefs.count = count;
        g_PageDefs.active = active;
    }
    static std::vector<int> Order()
    {
        std::vector<int> marks;
        for (int i = 0; i < g_PageDefs.count; ++i)
            marks.push_back(g_PageDefs.pages[i].reserved);
        return marks;
    }
    TestLanguageModule language_; // the dialogs' templates
};

TEST_F(MenuPage, PageCommandsAtTheirLimits)
{
    struct Case {
        const char *what;
        int pages, active, command;
        int expectPages, expectActive;
    };
    const Case cases[] = {
        {"a new page beyond the last slot", PAGE_SLOTS, 5, 301, PAGE_SLOTS, 5},
        {"a new page", 2, 1, 301, 3, 1},
        {"deleting the only page", 1, 0, 306, 1, 0},
        {"the current page of a single page", 1, 0, 304, 1, 0},
        {"the order of a single page", 1, 0, 305, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MakePages(c.pages, c.active);
        g_ConstructionPoints[0] = {7.0, 8.0, 0, 0};
        DialogDriver driver({}); // no dialog may open
        MenuPageOptionsCommand(main_, c.command);
        EXPECT_EQ(driver.stepsDone(), 0);
        EXPECT_EQ(g_PageDefs.count, c.expectPages);
        EXPECT_EQ(g_PageDefs.active, c.expectActive);
    }
    EXPECT_EQ(g_PageDefs.pages[2].refX, 7.0) << "the new page's origin is the entered point";
}

// The order dialog opens from its number; an out-of-range answer is refused
// and asked again.
TEST_F(MenuPage, MovingTheCurrentFirstPageToTheEndKeepsItCurrent)
{
    MakePages(3, 0);
    auto answer = [](const char *from, const char *to) {
        return [from, to](HWND d) {
            SetDlgItemTextA(d, 200, from);
            SetDlgItemTextA(d, 201, to);
            TestClickButton(d, IDOK);
        };
    };
    DialogDriver driver({answer("1", "4"), [](HWND box) { TestClickButton(box, IDOK); }, answer("1", "3")});
    MenuPageOptionsCommand(main_, 305);
    EXPECT_EQ(driver.stepsDone(), 3);
    EXPECT_EQ(Order(), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(g_PageDefs.active, 2);
}

TEST_F(MenuPage, DeletingThePageAskedForMovesTheOthersUp)
{
    MakePages(3, 2);
    DialogDriver driver({[](HWND d) {
        SetDlgItemTextA(d, 200, "3");
        TestClickButton(d, IDOK);
    }});
    MenuPageOptionsCommand(main_, 306);
    EXPECT_EQ(driver.stepsDone(), 1);
    EXPECT_EQ(Order(), (std::vector<int>{1, 2}));
    EXPECT_EQ(g_PageDefs.active, 1) << "the current page was beyond the last";
}

TEST_F(MenuPage, RestoreBeforeShowAllBeepsAndShowAllComesBack)
{
    {
        TestBeeps beeps;
        MenuPageOptionsCommand(main_, 389); // pens: no show-all yet in this run
        EXPECT_EQ(beeps.count(), 1u);
    }
    const uint32_t hidden = g_LayerDefs[0].state & ~DEF_STATE_DEFAULT;
    g_LayerDefs[0].state = hidden;
    MenuPageOptionsCommand(main_, 311);
    EXPECT_EQ(g_LayerDefs[0].state, DEF_STATE_DEFAULT);
    TestBeeps beeps;
    MenuPageOptionsCommand(main_, 312);
    EXPECT_EQ(beeps.count(), 0u);
    EXPECT_EQ(g_LayerDefs[0].state, hidden);
}

// Show-all twice, then restore: the states from before the first come back.
TEST_F(MenuPage, ASecondShowAllKeepsTheFirstSavedStates)
{
    const uint32_t hidden = g_LayerDefs[0].state & ~DEF_STATE_DEFAULT;
    g_LayerDefs[0].state = hidden;
    MenuPageOptionsCommand(main_, 311);
    MenuPageOptionsCommand(main_, 311);
    MenuPageOptionsCommand(main_, 312);
    EXPECT_EQ(g_LayerDefs[0].state, hidden);
    TestBeeps beeps;
    MenuPageOptionsCommand(main_, 312);
    EXPECT_EQ(beeps.count(), 1u) << "the saved states were used up";
}

// 302 asks for the page when there are several and edits that one.
TEST_F(MenuPage, PageFormatEditsTheAskedPage)
{
    MakePages(2, 0);
    g_PageDefs.pages[1].format = 1;
    g_PageDefs.pages[1].orientation = 1;
    const PageDef first = g_PageDefs.pages[0];
    DialogDriver driver({[](HWND d) {
                             SetDlgItemTextA(d, 200, "2");
                             TestClickButton(d, IDOK);
                         },
                         [](HWND d) { TestClickButton(d, 802); }, [](HWND d) { TestClickButton(d, IDOK); }});
    MenuPageOptionsCommand(main_, 302);
    EXPECT_EQ(driver.stepsDone(), 3);
    EXPECT_EQ(g_PageDefs.pages[1].orientation, 2);
    EXPECT_EQ(g_PageDefs.pages[1].width, 297);
    EXPECT_EQ(g_PageDefs.pages[1].height, 210);
    EXPECT_EQ(g_PageDefs.pages[0].width, first.width);
    EXPECT_EQ(g_PageDefs.pages[0].orientation, first.orientation);
}

// New Page asks for the format, starting from the active page's; the frame
// that follows the cursor has the page's size about its reference point.
TEST_F(MenuPage, NewPageAsksForItsFormatAndPlacesItsFrame)
{
    MakePages(1, 0);
    PageDef &active = g_PageDefs.pages[0];
    active.format = 1, active.orientation = 2, active.anchor = 7;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDOK); }});
        CommandExecute(301, 1);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    ASSERT_EQ(g_CommandState->commandId, 301);
    EXPECT_EQ(g_CommandDefaults.page.width, 297);
    EXPECT_EQ(g_CommandDefaults.page.height, 210);
    const double *r = g_CommandState->rect;
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(r[2], 297);
    EXPECT_EQ(r[3], 210);
    EXPECT_EQ(InputPoint(40, 30, 1), INPUT_COMPLETE);
    MenuPageOptionsCommand(main_, 301);
    ASSERT_EQ(g_PageDefs.count, 2);
    EXPECT_EQ(g_PageDefs.pages[1].refX, 40);
    EXPECT_EQ(g_PageDefs.pages[1].width, 297);

    // A user size is kept within 10 and 25000.
    CommandCancel();
    active.format = 0, active.orientation = 0, active.anchor = 0, active.width = 5, active.height = 300;
    g_PageDefs.active = 0;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDOK); }});
        CommandExecute(301, 1);
    }
    EXPECT_EQ(g_CommandDefaults.page.width, 10);
    EXPECT_EQ(g_CommandDefaults.page.height, 300);
}

TEST_F(MenuPage, NewPageWithAllPagesInUseIsRefusedWithAMessage)
{
    MakePages(PAGE_SLOTS, 0);
    TestAlerts alerts;
    DialogDriver driver({});
    CommandExecute(301, 1);
    EXPECT_EQ(driver.stepsDone(), 0);
    EXPECT_NE(g_CommandState->commandId, 301);
    ASSERT_EQ(alerts.texts().size(), 1u);
    EXPECT_EQ(alerts.texts()[0], eAlertTextSM[31]);
}

// Page Origin asks which page (not with a single page) and refuses numbers
// outside the pages; the page asked for moves, not the active one.
TEST_F(MenuPage, PageOriginAsksWhichPage)
{
    MakePages(1, 0);
    {
        DialogDriver driver({});
        CommandExecute(303, 1);
        EXPECT_EQ(driver.stepsDone(), 0);
    }
    EXPECT_EQ(g_CommandDefaults.chosenPage, 0);
    CommandCancel();
    MakePages(3, 0);
    g_PageDefs.pages[1].anchor = 7;
    std::string shown;
    {
        TestAlerts alerts;
        DialogDriver driver({[&shown](HWND d) {
                                 shown = TestItemText(d, 200);
                                 SetDlgItemTextA(d, 200, "4");
                                 TestClickButton(d, IDOK);
                             },
                             [](HWND d) {
                                 SetDlgItemTextA(d, 200, "2");
                                 TestClickButton(d, IDOK);
                             }});
        CommandExecute(303, 1);
        EXPECT_EQ(alerts.texts().size(), 1u) << "4 of 3 pages";
    }
    EXPECT_EQ(shown, "1") << "it starts at the active page";
    ASSERT_EQ(g_CommandState->commandId, 303);
    EXPECT_EQ(g_CommandDefaults.chosenPage, 1);
    EXPECT_EQ(g_CommandState->rect[0], 0) << "anchor 7: the lower left corner at the cursor";
    EXPECT_EQ(InputPoint(70, 80, 1), INPUT_COMPLETE);
    MenuPageOptionsCommand(main_, 303);
    EXPECT_EQ(g_PageDefs.pages[1].refX, 70);
    EXPECT_EQ(g_PageDefs.pages[0].refX, 0);
}

TEST_F(MenuPage, AllObjectsOfAnEmptyDrawingShowsAllPages)
{
    MakePages(2, 0);
    const double a[4] = {0, 0, 100, 50}, b[4] = {200, 100, 300, 150};
    std::memcpy(g_PageDefs.frames[0], a, sizeof a);
    std::memcpy(g_PageDefs.frames[1], b, sizeof b);
    MenuPageOptionsCommand(main_, 343);
    EXPECT_NEAR(W().centreX, 150.0, 1e-6);
    EXPECT_NEAR(W().centreY, 75.0, 1e-6);
    EXPECT_LE(W().visibleRect[0], 0.0);
    EXPECT_GE(W().visibleRect[2], 300.0);
    EXPECT_EQ(W().historyCount, 1) << "the old view can be gone back to";
}

TEST_F(MenuPage, ImpossibleWindowCommandsBeepAndChangeNothing)
{
    ASSERT_EQ(g_DrawWindowCount, 1);
    const HWND before = W().hwnd;
    const HWND savedEntry = g_CoordEntryWnd;
    g_Options.statusVisible = 1;
    g_CoordEntryWnd = hwnd_; // a coordinate entry is open
    for (int command : {364, 366, 371}) {
        SCOPED_TRACE(command);
        TestBeeps beeps;
        MenuPageOptionsCommand(main_, command);
        EXPECT_EQ(beeps.count(), 1u);
    }
    g_CoordEntryWnd = savedEntry;
    EXPECT_EQ(W().hwnd, before);
    EXPECT_EQ(g_Options.statusVisible, 1u) << "the status bar stays while the entry is open";
}

} // namespace

namespace {

// The settings and options sheets and the program status open from their
// numbers; cancel keeps the records as they were.
TEST_F(MenuPage, SheetsOpenFromTheirNumbersAndCancelKeepsTheRecords)
{
    for (int command : {353, 356, 377, 385, 361}) {
        SCOPED_TRACE(command);
        const DrawingSettings settings = g_DrawingSettings;
        const ProgramOptions options = g_Options;
        DialogDriver driver({[](HWND box) {
            if (GetDlgItem(box, IDCANCEL))
                TestClickButton(box, IDCANCEL);
            else
                TestPressKey(box, VK_ESCAPE);
        }});
        MenuPageOptionsCommand(main_, command);
        EXPECT_EQ(driver.stepsDone(), 1);
        EXPECT_EQ(driver.stuckDialogs(), 0);
        EXPECT_EQ(std::memcmp(&settings, &g_DrawingSettings, sizeof settings), 0);
        EXPECT_EQ(std::memcmp(&options, &g_Options, sizeof options), 0);
    }
}

} // namespace
