// The command palettes' geometry and the keyboard assignment.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/init_menulayout.h"
#include "app/system.h"
#include "dialogs/alert.h"
#include "dialogs/box13.h"
#include "language/language.h"
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
