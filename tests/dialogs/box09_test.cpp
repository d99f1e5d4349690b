// The start screen, opened for real with the tour and tutorial files made
// present or absent in a temporary server folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/system.h"
#include "common/dialog_driver.h"
#include "dialogs/box09.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

class StartScreenTest : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        memcpy(savedServer_, g_PathServer, sizeof savedServer_);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        snprintf(folder_, sizeof folder_, "%sstartscreen%lu\\", temp, GetCurrentProcessId());
        CreateDirectoryA(folder_, nullptr);
        snprintf(g_PathServer, sizeof g_PathServer, "%s", folder_);
    }
    void TearDown() override
    {
        DeleteFileA((std::string(folder_) + BOX09_TUTORIAL_FILE).c_str());
        RemoveDirectoryA(folder_);
        memcpy(g_PathServer, savedServer_, sizeof savedServer_);
        LanguageDialogTest::TearDown();
    }
    void MakeTutorial()
    {
        FILE *f = fopen((std::string(folder_) + BOX09_TUTORIAL_FILE).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fclose(f);
    }
    char folder_[MAX_PATH] = "";
    char savedServer_[sizeof g_PathServer] = "";
};

TEST_F(StartScreenTest, TourWithoutItsProgramIsRefusedAndTheTutorialChosen)
{
    MakeTutorial();
    uint32_t show = 1;
    DialogDriver driver({
        [](HWND dialog) { TestClickButton(dialog, BOX09_TOUR); },
        [](HWND dialog) { TestClickButton(dialog, 501); }, // the tutorial's mnemonic button
    });
    EXPECT_EQ(Box09Startup(nullptr, "", &show), BOX09_TUTORIAL);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[126]}));
    EXPECT_EQ(show, 1u);
}

TEST_F(StartScreenTest, EscapeReturns27AndStillStoresTheSwitch)
{
    uint32_t show = 1;
    bool focusOnSwitch = false;
    DialogDriver driver({
        [&](HWND dialog) {
            focusOnSwitch = GetFocus() == GetDlgItem(dialog, 250);
            CheckDlgButton(dialog, 250, BST_UNCHECKED);
            TestClickButton(dialog, 250);
        },
        [](HWND dialog) { TestClickButton(dialog, IDCANCEL); },
    });
    EXPECT_EQ(Box09Startup(nullptr, "", &show), BOX09_CLOSED);
    EXPECT_TRUE(focusOnSwitch);
    EXPECT_EQ(show, 0u);
}

TEST_F(StartScreenTest, HelpRequestAndMissingTutorial)
{
    uint32_t show = 0;
    DialogDriver driver({
        [](HWND dialog) { TestClickButton(dialog, BOX09_TUTORIAL); },
        [](HWND dialog) {
            HELPINFO info = {};
            info.cbSize = sizeof info;
            info.iContextType = HELPINFO_WINDOW;
            SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        },
    });
    EXPECT_EQ(Box09Startup(nullptr, "", &show), BOX09_HELP);
    EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[126]}));
}

} // namespace
