// The program status dialog and the about box, opened for real.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/system.h"
#include "common/dialog_driver.h"
#include "database/symbol_charlib.h"
#include "database/symbol_library.h"
#include "dialogs/box07.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

class StatusDialogTest : public LanguageDialogTest {};

TEST_F(StatusDialogTest, ProgramStatusShowsLibrariesScreenAndMonitor)
{
    ASSERT_EQ(g_LibrarySlots.count, 0);
    ASSERT_EQ(g_CharLibrarySlots.count, 0);
    const int32_t savedWidth = g_MonitorWidth;
    g_MonitorWidth = 254;
    std::string symbols, chars, symbolCount, charKb, width, inches, colours, depth, caption;
    DialogDriver driver({[&](HWND dialog) {
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        symbols = TestItemText(dialog, 372);
        chars = TestItemText(dialog, 373);
        symbolCount = TestItemText(dialog, 362);
        charKb = TestItemText(dialog, 365);
        width = TestItemText(dialog, 367);
        inches = TestItemText(dialog, 368);
        depth = TestItemText(dialog, 374);
        colours = TestItemText(dialog, 375);
        TestPressKey(dialog, VK_ESCAPE);
    }});
    EXPECT_EQ(Box07ProgramStatus(nullptr, "Program Status"), 1u);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(caption, "Program Status");
    char expected[256];
    snprintf(expected, sizeof expected, eUniTexts[15], 0);
    EXPECT_EQ(symbols, expected);
    snprintf(expected, sizeof expected, eUniTexts[16], 0);
    EXPECT_EQ(chars, expected);
    EXPECT_EQ(symbolCount, "0");
    EXPECT_EQ(charKb, "0");
    EXPECT_EQ(width, "254.00");
    EXPECT_EQ(inches, "10.00");
    const int bits = std::stoi(depth);
    EXPECT_EQ(colours, std::to_string(1L << (bits < 24 ? bits : 24)));
    g_MonitorWidth = savedWidth;
}

TEST_F(StatusDialogTest, AboutBoxShowsItsCaptionAndPaintsOverItsAreas)
{
    std::string caption;
    bool areasShown = true;
    DialogDriver driver({[&](HWND dialog) {
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        // The area statics would paint their empty background over the text.
        areasShown = IsWindowVisible(GetDlgItem(dialog, 350)) || IsWindowVisible(GetDlgItem(dialog, 351));
        TestClickButton(dialog, IDOK);
    }});
    EXPECT_EQ(Box07About(nullptr, "About darad4"), 1u);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(caption, "About darad4");
    EXPECT_FALSE(areasShown);
}

} // namespace
