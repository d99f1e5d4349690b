// The command palettes' geometry and the keyboard assignment.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include <algorithm>

#include "app/convert.h"
#include "app/init_menulayout.h"
#include "app/system.h"
#include "common/dialog_driver.h"
#include "dialogs/alert.h"
#include "dialogs/box13.h"
#include "language/language.h"
#include "language_dialogs.h"
#include "term_alert_counter.h"

namespace {

// A layout of `groups` menus, the first with `items` commands, the second
// item a popup head with `members` members.
std::vector<uint32_t> Layout(int groups, int items, int members)
{
    std::vector<uint32_t> out;
    for (int g = 0; g < groups; ++g) {
        out.push_back(MENU_TOP_HEADER | uint32_t(g));
        out.push_back(MENU_TOP_ITEM | 100);
        if (g == 0) {
            out.push_back(MENU_POPUP_HEADER | 105);
            for (int m = 0; m < members; ++m)
                out.push_back(MENU_POPUP_ITEM | uint32_t(106 + m));
            out.push_back(MENU_TOP_ITEM | MENU_SEPARATOR);
            for (int i = 2; i < items; ++i)
                out.push_back(MENU_TOP_ITEM | uint32_t(200 + i));
        }
    }
    out.push_back(MENU_END);
    return out;
}

uint32_t s_Answer = ALERT_YES;
std::vector<std::string> s_Questions;
uint32_t Answer(const char *text, uint32_t, uint32_t, uint32_t)
{
    s_Questions.push_back(text);
    return s_Answer;
}

} // namespace

TEST(Box13Palette, CellsPerRowFollowTheGroupsAndLargeGroupsAreRefused)
{
    AlertCounter alerts;
    Box13PaletteLayout l{};
    ASSERT_EQ(Box13PopupLayout(Layout(12, 3, 2).data(), &l), 1);
    EXPECT_EQ(l.groups, 12);
    EXPECT_EQ(l.cellsPerRow, 8);
    EXPECT_EQ(l.itemRows, 1);
    EXPECT_EQ(l.memberRows, 1);
    EXPECT_EQ(l.width, 8 * 46);
    EXPECT_EQ(l.height, 44 + 2 * 46);
    ASSERT_EQ(Box13PopupLayout(Layout(5, 60, 40).data(), &l), 1);
    EXPECT_EQ(l.cellsPerRow, 7);
    EXPECT_EQ(l.itemRows, 9);
    EXPECT_EQ(alerts.Count(), 0u);
    EXPECT_EQ(Box13PopupLayout(Layout(5, 61, 2).data(), &l), 0);
    EXPECT_EQ(Box13PopupLayout(Layout(5, 3, 41).data(), &l), 0);
    ASSERT_EQ(alerts.Count(), 2u);
    EXPECT_EQ(alerts.Texts()[0], eAlertTextOK[80]);
    EXPECT_EQ(Box13PopupGroupMembers(Layout(3, 4, 9).data(), 107), 9);
    EXPECT_EQ(Box13PopupGroupMembers(Layout(3, 4, 9).data(), 105), 9);
}

TEST(Box13Palette, FlyoutLines)
{
    const struct {
        int members, lines, cells;
    } rows[] = {{3, 1, 7}, {7, 1, 7}, {8, 2, 7}, {14, 2, 7}, {15, 3, 7}, {40, 3, 14}};
    for (const auto &r : rows) {
        Box13FlyoutLayout l{};
        ASSERT_EQ(Box13Popup2Layout(r.members, &l), 1);
        EXPECT_EQ(l.lines, r.lines) << r.members;
        EXPECT_EQ(l.cellsPerLine, r.cells) << r.members;
        EXPECT_EQ(l.height, 46 * r.lines);
    }
    AlertCounter alerts;
    Box13FlyoutLayout l{};
    EXPECT_EQ(Box13Popup2Layout(41, &l), 0);
    EXPECT_EQ(alerts.Count(), 1u);
}

TEST(Box13Keyboard, DefaultKeysAndAStoredAssignment)
{
    SystemReadProfileFrom("Software\\darad4-tests\\keyboard-none");
    EXPECT_EQ(Box13KeyCommand('S', 0), 344);
    EXPECT_EQ(Box13KeyCommand('S', 1), 371);
    EXPECT_EQ(Box13KeyCommand('1', 1), -1);
    EXPECT_EQ(Box13KeyCommand(VK_F5, 0), -1);
    char text[32];
    Box13KeyDescription(text, sizeof text, 38);
    EXPECT_STREQ(text, "\"+0\"");
    Box13KeyDescription(text, sizeof text, 75);
    EXPECT_EQ(std::string(text), std::string("\"+") + eUniTexts[42] + "\"");

    // Command 342 sits on A: putting it on B asks, naming A.
    const AlertAnswerHook previous = g_AlertAnswerHook;
    g_AlertAnswerHook = Answer;
    s_Questions.clear();
    s_Answer = ALERT_NO;
    EXPECT_EQ(Box13AssignKey(nullptr, 11, 342), 0);
    ASSERT_EQ(s_Questions.size(), 1u);
    EXPECT_NE(s_Questions[0].find("\"A\""), std::string::npos);
    EXPECT_EQ(Box13KeyCommand('B', 0), 343);
    s_Answer = ALERT_YES;
    EXPECT_EQ(Box13AssignKey(nullptr, 11, 342), 1);
    EXPECT_EQ(Box13KeyCommand('A', 0), 342);
    EXPECT_EQ(Box13KeyCommand('B', 0), 342);
    // A free command is assigned without a question, and survives the registry.
    s_Questions.clear();
    EXPECT_EQ(Box13AssignKey(nullptr, 38 + 1, 501), 1);
    EXPECT_TRUE(s_Questions.empty());
    g_AlertAnswerHook = previous;

    const char *key = "Software\\darad4-tests\\keyboard";
    SystemWriteProfileTo(key);
    SystemReadProfileFrom("Software\\darad4-tests\\keyboard-none");
    EXPECT_EQ(Box13KeyCommand('1', 1), -1);
    SystemReadProfileFrom(key);
    EXPECT_EQ(Box13KeyCommand('1', 1), 501);
    EXPECT_EQ(Box13KeyCommand('B', 0), 342);
    SystemDeleteKeyTree(HKEY_CURRENT_USER, key);
    SystemReadProfileFrom("Software\\darad4-tests\\keyboard-none");
}

// ---------------------------------------------------------------------------
// The palette and flyout windows, opened for real over the built menu layout.

namespace {

class PaletteWindow : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        ASSERT_TRUE(InitBuildMenuLayout(g_MenuTemplate, g_MenuLayout, MENU_LAYOUT_SIZE));
        ASSERT_EQ(Box13PopupLayout(g_MenuLayout, &layout_), 1);
    }
    // The entries of the n-th group's items, and of a popup head's members.
    static std::vector<int> Items(int group)
    {
        std::vector<int> out;
        int g = -1;
        for (int i = 0; !(g_MenuLayout[i] & MENU_END); ++i) {
            const uint32_t e = g_MenuLayout[i];
            if (e & MENU_TOP_HEADER)
                ++g;
            else if (g == group && (e & (MENU_TOP_ITEM | MENU_POPUP_HEADER)) && !(e & MENU_SEPARATOR))
                out.push_back(i);
        }
        return out;
    }
    static std::vector<int> Members(int head)
    {
        std::vector<int> out;
        for (int i = head + 1; g_MenuLayout[i] & MENU_POPUP_ITEM; ++i)
            if (!(g_MenuLayout[i] & MENU_SEPARATOR))
                out.push_back(i);
        return out;
    }
    static int Id(int entry) { return int(g_MenuLayout[entry] & MENU_ID_MASK); }
    static void Click(HWND window, int x, int y)
    {
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    void ClickGroup(HWND window, int g) const { Click(window, BOX13_GROUP_CELL * g + 14, 14); }
    void ClickItem(HWND window, int n) const
    {
        const int per = layout_.cellsPerRow;
        Click(window, BOX13_COMMAND_CELL * (n % per) + 23, 36 + BOX13_COMMAND_CELL * (n / per) + 23);
    }
    void ClickMember(HWND window, int m) const
    {
        const int per = layout_.cellsPerRow;
        Click(window, BOX13_COMMAND_CELL * (m % per) + 23,
              44 + BOX13_COMMAND_CELL * (layout_.itemRows + m / per) + 23);
    }
    Box13PaletteLayout layout_{};
};

} // namespace

TEST_F(PaletteWindow, AChoiceKeepsTheNewMarksAndACancelRestoresThem)
{
    // Group 1's first item: a plain command is chosen at once, a popup head
    // shows its members and its first member is chosen.
    const int item = Items(1).at(0);
    const bool head = (g_MenuLayout[item] & MENU_POPUP_HEADER) != 0;
    const int expected = head ? Id(Members(item).at(0)) : Id(item);
    RECT client{};
    std::string title;
    std::vector<DialogStep> steps = {
        [&](HWND w) {
            GetClientRect(w, &client);
            ClickGroup(w, 1);
        },
        [&](HWND w) { ClickItem(w, 0); },
    };
    if (head)
        steps.push_back([&](HWND w) { ClickMember(w, 0); });
    {
        DialogDriver driver(steps);
        EXPECT_EQ(Box13Popup(nullptr, 0), expected);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(client.right, layout_.width);
    EXPECT_EQ(client.bottom, layout_.height);
    EXPECT_EQ(Box13PopupCurrentItem(), 1) << "the next palette opens on the chosen group";

    // Group 2 chosen, then Escape: the marks are those of before.
    const std::vector<uint32_t> before(g_MenuLayout, g_MenuLayout + 2000);
    {
        DialogDriver driver({[&](HWND w) { ClickGroup(w, 2); },
                             [](HWND w) { PostMessageA(w, WM_COMMAND, IDCANCEL, 0); }});
        EXPECT_EQ(Box13Popup(nullptr, 0), -1);
    }
    EXPECT_EQ(Box13PopupCurrentItem(), 1);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), g_MenuLayout));
}

TEST_F(PaletteWindow, TheOpeningRightReleaseIsIgnoredAndTheNextCancels)
{
    bool openAfterFirst = false;
    DialogDriver driver({
        [](HWND w) { PostMessageA(w, WM_RBUTTONUP, 0, MAKELPARAM(5, 5)); },
        [&](HWND w) {
            openAfterFirst = IsWindow(w) && IsWindowVisible(w);
            PostMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
            PostMessageA(w, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
        },
    });
    EXPECT_EQ(Box13Popup(nullptr, 1), -1);
    EXPECT_TRUE(openAfterFirst);
    EXPECT_EQ(driver.stuckDialogs(), 0);
}

TEST_F(PaletteWindow, TheFlyoutShowsOnePopupsMembersBesideTheButton)
{
    int head = -1;
    for (int i = 0; !(g_MenuLayout[i] & MENU_END) && head < 0; ++i)
        if ((g_MenuLayout[i] & MENU_POPUP_HEADER) && Members(i).size() >= 2)
            head = i;
    ASSERT_GE(head, 0);
    const std::vector<int> members = Members(head);
    Box13FlyoutLayout fly{};
    ASSERT_EQ(Box13Popup2Layout(int(members.size()), &fly), 1);
    // A button at the screen's right edge: the flyout opens to its left.
    const int screen = GetSystemMetrics(SM_CXSCREEN);
    const RECT button{screen - 46, 100, screen, 146};
    RECT window{}, client{};
    HWND published = nullptr;
    DialogDriver driver({[&](HWND w) {
        published = g_Box13FlyoutWindow;
        GetWindowRect(w, &window);
        GetClientRect(w, &client);
        Click(w, BOX13_COMMAND_CELL + 23, 23);
    }});
    EXPECT_EQ(Box13PopupGroup(nullptr, Id(head), Id(members[0]), &button), Id(members[1]));
    EXPECT_NE(published, nullptr);
    EXPECT_EQ(g_Box13FlyoutWindow, nullptr) << "cleared when it closes";
    EXPECT_EQ(client.right, fly.width);
    EXPECT_EQ(client.bottom, fly.height);
    EXPECT_EQ(window.right, button.left);
}

TEST_F(PaletteWindow, KeyboardDialogAssignsWithShiftAndShowsWhatAKeyDoes)
{
    SystemReadProfileFrom("Software\\darad4-tests\\keyboard-none");
    // Shift, then V: Shift+V (index 38 + 31) runs 640 afterwards.
    DialogDriver driver({[](HWND w) {
        TestClickButton(w, 251);
        TestClickButton(w, 'V');
    }});
    EXPECT_EQ(Box13Keyboard(nullptr, "Key", 640), 1);
    EXPECT_EQ(g_Options.keyboard[38 + 31], 640);
    EXPECT_EQ(Box13KeyCommand('V', 1), 640);

    // Information mode: S shows command 344's title; Cancel changes nothing.
    std::string shown, none;
    char title[256] = "";
    ConvertGetCommandTitle(title, 344);
    DialogDriver info({
        [](HWND w) {
            TestClickButton(w, 250);
            TestClickButton(w, 'S');
        },
        [&](HWND w) {
            shown = TestItemText(w, 352);
            TestClickButton(w, IDOK);
        },
        [](HWND w) { TestClickButton(w, 'I'); }, // plain I has no command
        [&](HWND w) {
            none = TestItemText(w, 352);
            TestClickButton(w, IDOK);
        },
        [](HWND w) { TestClickButton(w, IDCANCEL); },
    });
    EXPECT_EQ(Box13Keyboard(nullptr, "Key", 501), 1);
    EXPECT_EQ(info.stuckDialogs(), 0);
    EXPECT_EQ(shown, title);
    EXPECT_EQ(none, eUniTexts[28]);
    EXPECT_EQ(Box13KeyCommand('S', 0), 344);
    SystemReadProfileFrom("Software\\darad4-tests\\keyboard-none");
}
