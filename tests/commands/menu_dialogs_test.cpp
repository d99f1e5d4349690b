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

} // namespace
