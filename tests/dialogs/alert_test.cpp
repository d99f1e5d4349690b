// The message box: buttons, keys, default button, layout and the wrappers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/init_dialogs.h"
#include "app/system.h"
#include "common/dialog_driver.h"
#include "common/test_files.h"
#include "common/test_support.h"
#include "dialogs/alert.h"
#include "database/symbol_library.h"
#include "files/file_drawinginfo.h"
#include "language/language.h"

namespace {

constexpr int ID_TEXT = 700;
constexpr int ID_BUTTON1 = 551;
constexpr int ID_BUTTON2 = 552;
constexpr int ID_BUTTON3 = 553;

// Shows real boxes from the language module for the time of a test.
class AlertBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedHook = g_AlertAnswerHook;
        g_AlertAnswerHook = nullptr;
        savedModule = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        ASSERT_NE(g_LanguageModule, nullptr);
        InitReadScreenSize();
    }
    void TearDown() override
    {
        g_AlertAnswerHook = savedHook;
        g_LanguageModule = savedModule;
    }
    AlertAnswerHook savedHook = nullptr;
    HMODULE savedModule = nullptr;
};

// What a step saw of the box before it pressed anything.
struct BoxView {
    std::string caption;
    std::string labels[3];
    bool visible[3] = {};
    bool isDefault[3] = {};
    int focusId = 0;
    RECT window = {};
    RECT textArea = {};
    uint32_t depth = 0;
};

BoxView LookAt(HWND box)
{
    BoxView view;
    char caption[256] = "";
    GetWindowTextA(box, caption, sizeof caption);
    view.caption = caption;
    const int ids[3] = {ID_BUTTON1, ID_BUTTON2, ID_BUTTON3};
    for (int i = 0; i < 3; ++i) {
        view.labels[i] = TestItemText(box, ids[i]);
        view.visible[i] = IsWindowVisible(GetDlgItem(box, ids[i])) != 0;
        view.isDefault[i] = TestIsDefaultButton(box, ids[i]);
    }
    view.focusId = GetDlgCtrlID(GetFocus());
    GetWindowRect(box, &view.window);
    GetWindowRect(GetDlgItem(box, ID_TEXT), &view.textArea);
    view.depth = g_ModalDepth;
    return view;
}

enum class Input { Escape, Enter, Button1, Button2, Button3, CloseBox };

void Give(HWND box, Input input)
{
    switch (input) {
    case Input::Escape: TestPressKey(box, VK_ESCAPE); break;
    case Input::Enter: TestPressKey(box, VK_RETURN); break;
    case Input::Button1: TestClickButton(box, ID_BUTTON1); break;
    case Input::Button2: TestClickButton(box, ID_BUTTON2); break;
    case Input::Button3: TestClickButton(box, ID_BUTTON3); break;
    case Input::CloseBox: PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
}

using Wrapper = uint32_t (*)(HWND, const char *);

struct WrapperCase {
    const char *name;
    Wrapper wrapper;
    uint32_t codes[3];   // label of code c is eButtonText entry c - 1
    int defaultButton;   // 1 to 3
    Input input;
    uint32_t expected;
};

const WrapperCase WRAPPER_CASES[] = {
    {"Button1 Escape", AlertButton1, {1, 0, 0}, 1, Input::Escape, ALERT_CANCEL},
    {"Button1 Enter", AlertButton1, {1, 0, 0}, 1, Input::Enter, 1},
    {"Button1 click", AlertButton1, {1, 0, 0}, 1, Input::Button1, 1},
    {"Ok Escape", AlertOk, {2, 0, 0}, 1, Input::Escape, ALERT_CANCEL},
    {"Ok Enter", AlertOk, {2, 0, 0}, 1, Input::Enter, ALERT_CANCEL},
    {"Ok close box", AlertOk, {2, 0, 0}, 1, Input::CloseBox, ALERT_CANCEL},
    {"Buttons12 first", AlertButtons12, {1, 2, 0}, 1, Input::Button1, 1},
    {"Buttons12 Escape", AlertButtons12, {1, 2, 0}, 1, Input::Escape, ALERT_CANCEL},
    {"Button6 Escape", AlertButton6, {6, 0, 0}, 1, Input::Escape, ALERT_CANCEL},
    {"Buttons62 Enter", AlertButtons62, {6, 2, 0}, 1, Input::Enter, 6},
    {"Buttons62 second", AlertButtons62, {6, 2, 0}, 1, Input::Button2, ALERT_CANCEL},
    {"YesNo Enter", AlertYesNo, {3, 4, 0}, 1, Input::Enter, ALERT_YES},
    {"YesNo second", AlertYesNo, {3, 4, 0}, 1, Input::Button2, ALERT_NO},
    {"YesNoDefNo Enter", AlertYesNoDefNo, {3, 4, 0}, 2, Input::Enter, ALERT_NO},
    {"YesNoCancel Escape", AlertYesNoCancel, {3, 4, 2}, 1, Input::Escape, ALERT_CANCEL},
    {"YesNoCancel Enter", AlertYesNoCancel, {3, 4, 2}, 1, Input::Enter, ALERT_YES},
    {"YesNoCancel third", AlertYesNoCancel, {3, 4, 2}, 1, Input::Button3, ALERT_CANCEL},
    {"YesNoCancel second", AlertYesNoCancel, {3, 4, 2}, 1, Input::Button2, ALERT_NO},
    {"YesNoCancelDefNo Enter", AlertYesNoCancelDefNo, {3, 4, 2}, 2, Input::Enter, ALERT_NO},
};

TEST_F(AlertBoxTest, EveryWrapperShowsItsButtonsAndAnswersWithTheirCodes)
{
    for (const WrapperCase &c : WRAPPER_CASES) {
        SCOPED_TRACE(c.name);
        BoxView view;
        const uint32_t depthBefore = g_ModalDepth;
        DialogDriver driver({[&](HWND box) {
            view = LookAt(box);
            Give(box, c.input);
        }});
        const uint32_t pressed = c.wrapper(nullptr, "Line one\nLine two");
        EXPECT_EQ(driver.stuckDialogs(), 0);
        EXPECT_EQ(pressed, c.expected);
        EXPECT_EQ(g_ModalDepth, depthBefore);
        EXPECT_EQ(view.depth, depthBefore + 1);
        EXPECT_EQ(view.caption, eCaptionTexts[35]);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            const bool present = c.codes[i] != 0;
            EXPECT_EQ(view.visible[i], present);
            if (present) {
                EXPECT_EQ(view.labels[i], eButtonText[c.codes[i] - 1]);
            }
            EXPECT_EQ(view.isDefault[i], i + 1 == c.defaultButton);
        }
        EXPECT_EQ(view.focusId, ID_BUTTON1 + c.defaultButton - 1);
    }
}

// Escape and the close box are no answer to a question without a cancel button.
TEST_F(AlertBoxTest, YesNoIgnoresEscapeAndTheCloseBox)
{
    int stillOpen = 0;
    DialogDriver driver({
        [](HWND box) { Give(box, Input::Escape); },
        [](HWND box) { Give(box, Input::CloseBox); },
        [&](HWND box) {
            stillOpen = IsWindowVisible(box) ? 1 : 0;
            Give(box, Input::Button2);
        },
    });
    EXPECT_EQ(AlertYesNo(nullptr, "Really?"), ALERT_NO);
    EXPECT_EQ(stillOpen, 1);
    EXPECT_EQ(driver.stepsDone(), 3);
    EXPECT_EQ(driver.stuckDialogs(), 0);
}

TEST_F(AlertBoxTest, NoCodesGiveOneCancelButton)
{
    BoxView view;
    DialogDriver driver({[&](HWND box) {
        view = LookAt(box);
        Give(box, Input::Enter);
    }});
    EXPECT_EQ(AlertBox(nullptr, "Nothing to choose", 0, 0, 0, 1), ALERT_CANCEL);
    EXPECT_EQ(view.labels[0], eButtonText[1]);
    EXPECT_TRUE(view.visible[0]);
    EXPECT_FALSE(view.visible[1]);
    EXPECT_FALSE(view.visible[2]);
}

TEST_F(AlertBoxTest, DefaultOnAnAbsentButtonLeavesTheStylesAndFocusesTheFirst)
{
    BoxView view;
    DialogDriver driver({[&](HWND box) {
        view = LookAt(box);
        Give(box, Input::Button1);
    }});
    EXPECT_EQ(AlertBox(nullptr, "Two buttons", 3, 4, 0, 3), ALERT_YES);
    EXPECT_FALSE(view.isDefault[0]);
    EXPECT_FALSE(view.isDefault[1]);
    EXPECT_FALSE(view.isDefault[2]);
    EXPECT_EQ(view.focusId, ID_BUTTON1);
}

TEST_F(AlertBoxTest, GivenLabelsReplaceTheTableAndNullLabelsDropButtons)
{
    BoxView view;
    DialogDriver driver({[&](HWND box) {
        view = LookAt(box);
        Give(box, Input::Button1);
    }});
    EXPECT_EQ(AlertBoxTexts(nullptr, "Which way?", 16, 17, 2, 1, "Left", nullptr, "Back"), 16u);
    EXPECT_EQ(view.labels[0], "Left");
    EXPECT_EQ(view.labels[2], "Back");
    // Without a second label the box has one row of two buttons at most; the
    // third is then not shown either.
    EXPECT_FALSE(view.visible[1]);

    DialogDriver second({[&](HWND box) {
        view = LookAt(box);
        Give(box, Input::Escape);
    }});
    EXPECT_EQ(AlertBoxTexts(nullptr, "Only the default", 16, 17, 0, 1, nullptr, nullptr, nullptr), ALERT_CANCEL);
    EXPECT_EQ(view.labels[0], eButtonText[1]);
}

TEST_F(AlertBoxTest, ALineWiderThanTheScreenIsClampedToTheScreen)
{
    const std::string line(3000, 'W');
    BoxView view;
    DialogDriver driver({[&](HWND box) {
        view = LookAt(box);
        Give(box, Input::Enter);
    }});
    AlertOk(nullptr, line.c_str());
    EXPECT_EQ(view.window.right - view.window.left, g_ScreenWidth - 20);
    EXPECT_GE(view.window.left, 0);
    EXPECT_LT(view.textArea.right - view.textArea.left, g_ScreenWidth - 20);
}

TEST_F(AlertBoxTest, TheBoxGrowsWithItsLines)
{
    auto heightFor = [&](const char *text) {
        BoxView view;
        DialogDriver driver({[&](HWND box) {
            view = LookAt(box);
            Give(box, Input::Enter);
        }});
        AlertOk(nullptr, text);
        return view.textArea.bottom - view.textArea.top;
    };
    const int one = heightFor("one");
    const int three = heightFor("one\ntwo\nthree");
    EXPECT_GT(three, 2 * one);
}

TEST_F(AlertBoxTest, HelpOpensTheBoxContext)
{
    const int before = g_TestHelp.count;
    snprintf(g_PathServer, sizeof g_PathServer, "C:\\shared\\");
    DialogDriver driver({
        [](HWND box) {
            HELPINFO info = {sizeof info};
            SendMessageA(box, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        },
        [](HWND box) { Give(box, Input::Enter); },
    });
    AlertOk(nullptr, "Help?");
    g_PathServer[0] = 0;
    EXPECT_EQ(g_TestHelp.count, before + 1);
    EXPECT_EQ(g_TestHelp.file, "C:\\shared\\darad4.hlp");
    EXPECT_EQ(g_TestHelp.command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(g_TestHelp.data, 15079u);
}

TEST_F(AlertBoxTest, AMissingTemplateGivesZeroAndLeavesTheDepth)
{
    g_LanguageModule = GetModuleHandleA(nullptr); // holds no ALERTBOX
    const uint32_t depthBefore = g_ModalDepth;
    EXPECT_EQ(AlertYesNo(nullptr, "Nobody sees this"), 0u);
    EXPECT_EQ(g_ModalDepth, depthBefore);
}

// The file-error messages, answered through the seam.
struct Seen {
    int calls = 0;
    std::string text;
    uint32_t codes[3] = {};
    bool fileExisted = false;
};
Seen g_Seen;
std::string g_WatchedFile;

uint32_t RecordAlert(const char *text, uint32_t code1, uint32_t code2, uint32_t code3)
{
    ++g_Seen.calls;
    g_Seen.text = text;
    g_Seen.codes[0] = code1;
    g_Seen.codes[1] = code2;
    g_Seen.codes[2] = code3;
    g_Seen.fileExisted = !g_WatchedFile.empty() && GetFileAttributesA(g_WatchedFile.c_str()) != INVALID_FILE_ATTRIBUTES;
    return code1;
}

class AlertSeamTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved = g_AlertAnswerHook;
        g_AlertAnswerHook = RecordAlert;
        g_Seen = Seen();
        g_WatchedFile.clear();
    }
    void TearDown() override { g_AlertAnswerHook = saved; }
    AlertAnswerHook saved = nullptr;
};

std::string Formatted(const char *format, const char *name)
{
    char text[600];
    snprintf(text, sizeof text, format, name);
    return text;
}

TEST_F(AlertSeamTest, FileErrorCodesPickTheirMessageAndButtons)
{
    struct Case {
        uint32_t code, entry, code1, code2;
    };
    const Case cases[] = {{0, 0, 2, 0},  {1, 0, 6, 0}, {2, 1, 6, 2},   {3, 2, 2, 0},   {4, 3, 2, 0},
                          {5, 4, 7, 2},  {6, 5, 2, 0}, {7, 6, 3, 4},   {8, 7, 8, 2},   {10, 9, 3, 4},
                          {11, 10, 2, 0}, {12, 11, 2, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        g_Seen = Seen();
        EXPECT_EQ(AlertFileError(nullptr, "C:\\data\\plan.zvd", c.code), c.code1);
        EXPECT_EQ(g_Seen.text, Formatted(eAlertErrorText[c.entry], "C:\\data\\plan.zvd"));
        EXPECT_EQ(g_Seen.codes[0], c.code1);
        EXPECT_EQ(g_Seen.codes[1], c.code2);
        EXPECT_EQ(g_Seen.codes[2], 0u);
    }
}

TEST_F(AlertSeamTest, FileErrorFrom13OnShowsNothing)
{
    for (uint32_t code : {13u, 14u, 100u}) {
        EXPECT_EQ(AlertFileError(nullptr, "x.zvd", code), code);
    }
    EXPECT_EQ(g_Seen.calls, 0);
}

TEST_F(AlertSeamTest, FileErrorCannotWriteDeletesTheFileFirst)
{
    g_WatchedFile = TestTempPath("alert_test_partial.zvd");
    HANDLE file = CreateFileA(g_WatchedFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    AlertFileError(nullptr, g_WatchedFile.c_str(), 9);
    EXPECT_EQ(g_Seen.calls, 1);
    EXPECT_FALSE(g_Seen.fileExisted);
}

TEST_F(AlertSeamTest, FixedMessagesShowTheirEntryWithTheirButtons)
{
    struct Case {
        uint32_t (*show)(HWND);
        const char *text;
        uint32_t code1;
    };
    const Case cases[] = {
        {AlertSM2, eAlertTextSM[2], 2},   {AlertSM52, eAlertTextSM[52], 2}, {AlertSM5, eAlertTextSM[5], 1},
        {AlertSM60, eAlertTextSM[60], 1}, {AlertSM6, eAlertTextSM[6], 2},   {AlertSM7, eAlertTextSM[7], 1},
        {AlertSM8, eAlertTextSM[8], 1},   {AlertSM13, eAlertTextSM[13], 1}, {AlertSM14, eAlertTextSM[14], 1},
        {AlertSM27, eAlertTextSM[27], 2}, {AlertNoDialog, eAlertTextOK[46], 2}, {AlertSM48, eAlertTextSM[48], 2},
    };
    for (const Case &c : cases) {
        g_Seen = Seen();
        EXPECT_EQ(c.show(nullptr), c.code1);
        EXPECT_EQ(g_Seen.text, c.text);
        EXPECT_EQ(g_Seen.codes[1], 0u);
    }
}


} // namespace

// The save question names a never-saved drawing by its title only, a saved one
// by title and path; an empty title is shown as one blank.
TEST_F(AlertSeamTest, SaveDrawingAsksWithTitleAndPath)
{
    const CurrentDrawing saved = g_DrawingInfo;
    struct Case {
        const char *title, *path;
        std::string expected;
    };
    char withPath[600], neverSaved[600], untitled[600];
    snprintf(withPath, sizeof withPath, eAlertTextSM[38], "Plan", "C:\\data\\plan.zvd");
    snprintf(neverSaved, sizeof neverSaved, eAlertTextSM[39], "Sketch");
    snprintf(untitled, sizeof untitled, eAlertTextSM[39], " ");
    const Case cases[] = {{"Plan", "C:\\data\\plan.zvd", withPath},
                          {"Sketch", "*Untitled", neverSaved},
                          {"", "*Untitled", untitled}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        snprintf(g_DrawingInfo.info.title, sizeof g_DrawingInfo.info.title, "%s", c.title);
        snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "%s", c.path);
        g_Seen = Seen();
        EXPECT_EQ(AlertSaveDrawing(nullptr), ALERT_YES);
        EXPECT_EQ(g_Seen.text, c.expected);
        EXPECT_EQ(g_Seen.codes[0], ALERT_YES);
        EXPECT_EQ(g_Seen.codes[1], ALERT_NO);
        EXPECT_EQ(g_Seen.codes[2], ALERT_CANCEL);
    }
    g_DrawingInfo = saved;
}

TEST_F(AlertSeamTest, SaveLibraryAsksWithTheLibrarysNameAndPath)
{
    LibrarySlot &slot = g_LibrarySlots.slots[3];
    const LibrarySlot saved = slot;
    snprintf(slot.info.title, sizeof slot.info.title, "%s", "Valves");
    snprintf(slot.path, sizeof slot.path, "%s", "C:\\lib\\valves.zvl");
    char expected[600];
    snprintf(expected, sizeof expected, eAlertTextSM[40], "Valves", "C:\\lib\\valves.zvl");
    EXPECT_EQ(AlertSaveLibrary(nullptr, 3), ALERT_YES);
    EXPECT_EQ(g_Seen.text, expected);
    EXPECT_EQ(g_Seen.codes[2], ALERT_CANCEL);

    slot.info.title[0] = 0; // an unnamed library is shown as one blank
    snprintf(expected, sizeof expected, eAlertTextSM[40], " ", "C:\\lib\\valves.zvl");
    AlertSaveLibrary(nullptr, 3);
    EXPECT_EQ(g_Seen.text, expected);

    g_Seen = Seen();
    EXPECT_EQ(AlertSaveLibrary(nullptr, SYMBOL_LIBRARY_SLOTS), 0u);
    EXPECT_EQ(g_Seen.calls, 0);
    slot = saved;
}
