// The start screen, opened for real with the tour and tutorial files made
// present or absent in a temporary server folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/system.h"
#include "common/dialog_driver.h"
#include "common/test_support.h"
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

TEST_F(StartScreenTest, NewOpenAndARecentDrawing)
{
    const ProfileLists saved = g_ProfileLists;
    g_ProfileLists.recentCount = 2;
    snprintf(g_ProfileLists.recent[0], sizeof g_ProfileLists.recent[0], "C:\\a.zvd");
    snprintf(g_ProfileLists.recent[1], sizeof g_ProfileLists.recent[1], "C:\\b.zvd");
    uint32_t show = 1;
    int recent = -1;
    for (int id : {BOX09_NEW, BOX09_OPEN}) {
        DialogDriver driver({[id](HWND dialog) { TestClickButton(dialog, id); }});
        EXPECT_EQ(Box09Startup(nullptr, "", &show, &recent), id);
        EXPECT_EQ(recent, -1);
    }
    int listed = 0;
    std::string caption;
    DialogDriver driver({[&](HWND dialog) {
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        listed = int(SendDlgItemMessageA(dialog, 170, LB_GETCOUNT, 0, 0));
        SendDlgItemMessageA(dialog, 170, LB_SETCURSEL, 1, 0);
        TestClickButton(dialog, BOX09_RECENT);
    }});
    EXPECT_EQ(Box09Startup(nullptr, "Welcome", &show, &recent), BOX09_RECENT);
    EXPECT_EQ(listed, 2);
    EXPECT_EQ(recent, 1);
    EXPECT_EQ(caption, "Welcome");
    g_ProfileLists = saved;
}

// The start-up command's side: the choice becomes a posted command, and the
// environment switch keeps the screen away.
int s_StartAnswer = BOX09_CLOSED, s_StartAsked = 0;
int AnswerStart(HWND, const char *, uint32_t *, int *recent)
{
    ++s_StartAsked;
    *recent = 3;
    return s_StartAnswer;
}

TEST_F(StartScreenTest, TheChoiceIsPostedToTheMainWindow)
{
    HWND main = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(main, nullptr);
    const auto saved = g_Box09StartScreenSink;
    g_Box09StartScreenSink = AnswerStart;
    s_StartAsked = 0;
    for (const auto &[answer, command] : {std::pair{BOX09_NEW, 100}, std::pair{BOX09_OPEN, 101},
                                          std::pair{BOX09_RECENT, 5543}}) {
        s_StartAnswer = answer;
        Box09RunStartScreen(main);
        MSG msg{};
        ASSERT_TRUE(PeekMessageA(&msg, main, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << answer;
        EXPECT_EQ(int(msg.wParam), command);
    }
    // The tutorial opens from the folder where its presence was tested.
    s_StartAnswer = BOX09_TUTORIAL;
    Box09RunStartScreen(main);
    EXPECT_EQ(g_TestHelp.file, std::string(folder_) + BOX09_TUTORIAL_FILE);
    EXPECT_EQ(g_TestHelp.command, UINT(HELP_CONTENTS));
    SetEnvironmentVariableA("DARAD4_NO_START_SCREEN", "1");
    Box09RunStartScreen(main);
    SetEnvironmentVariableA("DARAD4_NO_START_SCREEN", nullptr);
    EXPECT_EQ(s_StartAsked, 4);
    g_Box09StartScreenSink = saved;
    DestroyWindow(main);
}

} // namespace
