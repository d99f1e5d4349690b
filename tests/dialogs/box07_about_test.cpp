// The program status dialog and the about box, opened for real.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

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

// The box sizes itself from its dialog units: the picture at its own size,
// the text column beside it, OK in the bottom right corner.
TEST_F(StatusDialogTest, AboutBoxLaysOutItsAreasInPixels)
{
    RECT client{}, picture{}, text{}, ok{}, units = {0, 0, 2, 2};
    auto itemRect = [](HWND dialog, int id) {
        RECT r{};
        GetWindowRect(GetDlgItem(dialog, id), &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
        return r;
    };
    DialogDriver driver({[&](HWND dialog) {
        MapDialogRect(dialog, &units);
        GetClientRect(dialog, &client);
        picture = itemRect(dialog, 350);
        text = itemRect(dialog, 351);
        ok = itemRect(dialog, IDOK);
        TestClickButton(dialog, IDOK);
    }});
    EXPECT_EQ(Box07About(nullptr, "About"), 1u);
    const int bx = units.right, by = units.bottom;
    ASSERT_GT(bx, 0);
    EXPECT_EQ(client.right, 7 * bx + 528);
    EXPECT_EQ(client.bottom, 4 * by + 308);
    EXPECT_EQ(picture.left, 2 * bx);
    EXPECT_EQ(picture.top, 2 * by);
    EXPECT_EQ(picture.right - picture.left, 308);
    EXPECT_EQ(picture.bottom - picture.top, 308);
    EXPECT_EQ(text.left, 5 * bx + 308);
    EXPECT_EQ(text.right - text.left, 220);
    EXPECT_EQ(text.bottom - text.top, 308 - 2 * by - (ok.bottom - ok.top));
    EXPECT_EQ(ok.right, client.right - bx);
    EXPECT_EQ(ok.bottom, client.bottom - by);
}

// The credits run from the box's idle timer. Escape stops them and leaves
// the box open; OK while they run closes the box once they have ended.
TEST_F(StatusDialogTest, AboutCreditsStopOnEscapeAndCloseOnOk)
{
    struct Case {
        WORD key;        // pressed while the credits run
        int extraSteps;  // steps after the stop before the box is gone
    };
    for (const Case c : {Case{IDCANCEL, 1}, Case{IDOK, 0}}) {
        SCOPED_TRACE(c.key);
        bool runningSeen = false, stoppedOpen = false;
        std::vector<DialogStep> steps = {
            [](HWND dialog) { PostMessageA(dialog, WM_TIMER, 12345, 0); },
            [&](HWND dialog) {
                runningSeen = Box07AboutRunning(dialog) != 0;
                PostMessageA(dialog, WM_COMMAND, c.key, 0);
            }};
        if (c.extraSteps)
            steps.push_back([&](HWND dialog) {
                stoppedOpen = !Box07AboutRunning(dialog);
                TestClickButton(dialog, IDOK);
            });
        DialogDriver driver(steps);
        EXPECT_EQ(Box07About(nullptr, "About"), 1u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
        EXPECT_EQ(driver.stepsDone(), int(steps.size()));
        EXPECT_TRUE(runningSeen);
        if (c.extraSteps)
            EXPECT_TRUE(stoppedOpen) << "Escape only ends the credits";
    }
}

} // namespace
