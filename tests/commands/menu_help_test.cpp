// The Help menu's about box by its number.
#include "command_fixture.h"

#include "app/darad4.h"
#include "common/dialog_driver.h"
#include "commands/menu.h"

namespace {

class MenuHelp : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        // The dialog templates come from the language module.
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
    }
    void TearDown() override
    {
        g_LanguageModule = savedModule_;
        CommandTest::TearDown();
    }
    HMODULE savedModule_ = nullptr;
};

TEST_F(MenuHelp, TheAboutCommandOpensTheAboutBox)
{
    DialogDriver driver({[](HWND box) { TestClickButton(box, IDOK); }});
    MenuHelpCommand(main_, 1106);
    EXPECT_EQ(driver.stepsDone(), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
}

} // namespace
