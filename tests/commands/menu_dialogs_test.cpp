// Menu numbers that open their dialogs: each opens for real, driven here.
#include "command_fixture.h"

#include <cstring>
#include <functional>

#include "app/darad4.h"
#include "app/system.h"
#include "common/dialog_driver.h"
#include "common/test_support.h"
#include "commands/command.h"
#include "commands/menu.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "commands/input_prepare_dialogs.h"
#include "common/test_alerts.h"
#include "common/test_commands.h"
#include "app/init_menulayout.h"
#include "app/init_menus.h"
#include "app/window.h"
#include "app/write_refresh.h"
#include "dialogs/box12.h"
#include "language/language.h"
#include <vector>

namespace {

class MenuDialogs : public CommandTest {
protected:
    TestLanguageModule language_; // the dialog templates
};

// Opens the dialog of `run` and presses `button`; whether one dialog came.
void ExpectOneDialog(const std::function<void()> &run, int button)
{
    DialogDriver driver({[button](HWND box) { TestClickButton(box, button); }});
    run();
    EXPECT_EQ(driver.stepsDone(), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
}

TEST_F(MenuDialogs, AboutVariablesSystemsAndSelectionFilterOpenFromTheirNumbers)
{
    ExpectOneDialog([&] { MenuHelpCommand(main_, 1106); }, IDOK);
    ExpectOneDialog([&] { MenuEditCommand(main_, 211); }, IDCANCEL);
    ExpectOneDialog([&] { MenuPageOptionsCommand(main_, 330); }, IDCANCEL); // through 5611 + system
    const SelectionFilter before = g_CommandDefaults.filter;
    ExpectOneDialog([&] { MenuInputAidCommand(main_, 1043); }, IDCANCEL);
    EXPECT_EQ(std::memcmp(&before, &g_CommandDefaults.filter, sizeof before), 0) << "cancel keeps the filter";
}

TEST_F(MenuDialogs, TheFilterSwitchInvertsTheFilter)
{
    const uint32_t before = g_CommandDefaults.filter.enabled;
    MenuInputAidCommand(main_, 1042);
    EXPECT_NE(g_CommandDefaults.filter.enabled, before);
    MenuInputAidCommand(main_, 1042);
    EXPECT_EQ(g_CommandDefaults.filter.enabled, before);
}

// Every prompt of a value dialog says what its field is for.
void ExpectLabels(HWND dialog, std::initializer_list<int> ids)
{
    for (int id : ids) {
        char text[256] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        EXPECT_NE(text[0], '\0') << "control " << id << " has no text";
    }
}

// Shift+Escape (1010) asks the running command's values: the group options
// of 445, the copy-properties defaults of 452, the sketch values of 572
// (a shift beyond 100 percent is refused and asked again) and the surface
// tolerance with its check box of 711; none of them restarts the command.
TEST_F(MenuDialogs, ShiftEscapeAsksTheValuesOfTheRunningCommand)
{
    struct KeepLocalData {
        std::vector<uint8_t> saved = std::vector<uint8_t>(reinterpret_cast<uint8_t *>(&g_LocalData),
                                                          reinterpret_cast<uint8_t *>(&g_LocalData + 1));
        ~KeepLocalData() { std::memcpy(&g_LocalData, saved.data(), saved.size()); }
    } keep;
    auto atGroupOptions = [](HWND d) {
        TestClickButton(d, 252); // pass the property to the members
        TestClickButton(d, IDOK);
    };
    GroupInfo before{};
    uint8_t *stored = reinterpret_cast<uint8_t *>(&g_LocalData) + LOCAL_OFS_GROUP_INFO;
    std::memcpy(&before, stored, sizeof before);
    TestStartCommand(445, 445);
    {
        DialogDriver driver({atGroupOptions});
        MenuInputAidCommand(main_, 1010);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    GroupInfo after{};
    std::memcpy(&after, stored, sizeof after);
    EXPECT_NE(after.pushProperty, before.pushProperty);
    EXPECT_EQ(after.editProperty, before.editProperty);
    std::memcpy(stored, &before, sizeof before);

    TestStartCommand(452, 452);
    ExpectOneDialog([&] { MenuInputAidCommand(main_, 1010); }, IDCANCEL);

    TestStartCommand(572, 572);
    g_LocalData.further[LOCAL_SKETCH_JITTER] = 50;
    {
        TestAlerts alerts;
        DialogDriver driver({[](HWND d) {
                                 ExpectLabels(d, {350, 351});
                                 SetDlgItemTextA(d, 200, "101");
                                 TestClickButton(d, IDOK);
                             },
                             [](HWND d) {
                                 SetDlgItemTextA(d, 200, "100");
                                 SetDlgItemTextA(d, 201, "2");
                                 TestClickButton(d, IDOK);
                             }});
        MenuInputAidCommand(main_, 1010);
        EXPECT_EQ(driver.stepsDone(), 2);
        ASSERT_EQ(alerts.texts().size(), 1u);
        EXPECT_EQ(alerts.texts()[0], eAlertTextSM[103]);
    }
    EXPECT_EQ(g_LocalData.further[LOCAL_SKETCH_JITTER], 100);
    EXPECT_DOUBLE_EQ(g_LocalData.sketchStep, 2.0);
    EXPECT_EQ(g_CommandState->commandId, 572);

    TestStartCommand(711, 711);
    const uint32_t check = g_LocalData.further[LOCAL_SURFACE_CHECK];
    {
        DialogDriver driver({[](HWND d) {
            ExpectLabels(d, {350, 250});
            TestClickButton(d, 250);
            SetDlgItemTextA(d, 200, "0.5");
            TestClickButton(d, IDOK);
        }});
        EXPECT_EQ(InputParameterDialog2(main_, 711), 1) << "the dialog's result";
    }
    EXPECT_DOUBLE_EQ(g_LocalData.surfaceTolerance, 0.5);
    EXPECT_NE(uint32_t(g_LocalData.further[LOCAL_SURFACE_CHECK]), check);
}

// The guide's hints: 0x10 for a command with values to ask, 0x400 for one
// that honours the copy mode.
TEST_F(MenuDialogs, TheGuideTellsOfTheValuesAndTheCopyMode)
{
    struct Case {
        int command;
        bool values, copyMode;
    };
    for (const Case &c : {Case{445, true, true}, Case{508, true, false}, Case{405, false, true},
                          Case{501, false, false}, Case{572, true, false}}) {
        TestStartCommand(c.command, c.command);
        const uint32_t state = WriteComputeGuideState(WRITE_GUIDE_COMPUTE);
        EXPECT_EQ((state & 0x10) != 0, c.values) << c.command;
        EXPECT_EQ(InputUsesCopyMode(c.command) != 0, c.copyMode) << c.command;
    }
}

// 334 switches the window's print grid and is ticked by it; 1042 is ticked
// while the selection filter is on.
TEST_F(MenuDialogs, PrintGridAndFilterSwitchAreTicked)
{
    DrawWindow *w = WindowGetRecord(g_ActiveWindow);
    ASSERT_NE(w, nullptr);
    const uint32_t grid = w->catchGrid;
    auto ticked = [](int command) {
        CommandFlagTable table{};
        CommandGetFlags(&table);
        return (table.flags[command] & 8) != 0;
    };
    MenuPageOptionsCommand(main_, 334);
    EXPECT_NE(w->catchGrid, grid);
    EXPECT_EQ(g_CurrentSystem.catchGrid, w->catchGrid);
    EXPECT_EQ(ticked(334), w->catchGrid != 0);
    MenuPageOptionsCommand(main_, 334);
    EXPECT_EQ(w->catchGrid, grid);
    EXPECT_EQ(ticked(334), grid != 0);
    MenuInputAidCommand(main_, 1042);
    EXPECT_EQ(ticked(1042), g_CommandDefaults.filter.enabled != 0);
    MenuInputAidCommand(main_, 1042);
    EXPECT_EQ(ticked(1042), g_CommandDefaults.filter.enabled != 0);
}

// A submenu number typed or sent by a plug-in shows its submenu.
TEST_F(MenuDialogs, SubmenuNumbersShowTheirSubmenu)
{
    // The layout is put back afterwards: the other tests run without menus.
    const std::vector<uint32_t> layout(g_MenuLayout, g_MenuLayout + MENU_LAYOUT_SIZE);
    ASSERT_EQ(InitBuildMenuLayout(g_MenuTemplate, g_MenuLayout, MENU_LAYOUT_SIZE), 1u);
    HMENU saved = g_ContextMenu;
    g_ContextMenu = CreatePopupMenu();
    ASSERT_TRUE(InitBuildMainMenu(g_ContextMenu, 1));
    for (int n : {515, 562, 576, 1003, 1014, 1027}) {
        TestPopupAnswer answer(0);
        TestBeeps beeps;
        CommandExecute(n, 0);
        EXPECT_EQ(beeps.count(), 0u) << n;
        EXPECT_EQ(answer.asked(), 1) << n;
    }
    DestroyMenu(g_ContextMenu);
    g_ContextMenu = saved;
    std::copy(layout.begin(), layout.end(), g_MenuLayout);
}

} // namespace
