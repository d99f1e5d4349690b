// The print layout dialog, driven for real from the language module's
// template on the PostScript printer that prints to files.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "common/dialog_driver.h"
#include "common/test_printer.h"
#include "common/test_support.h"
#include "dialogs/alert.h"
#include "dialogs/box11.h"
#include "display/print.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_COPIES = 200, ID_FROM = 208, ID_TO = 209, ID_MODE = 182, ID_SCALE = 201, ID_RANGE = 302;
constexpr int ID_CENTERED = 252;

class PrintLayoutDialog : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        if (HasFatalFailure())
            return;
        SystemInitDrawingSettings(&g_DrawingSettings);
        g_Options.coordRangeDRV = 30720;
        g_PageDefs.count = 2;
        g_PageDefs.active = 0;
        const double a4[4] = {0, 0, 210, 297};
        std::memcpy(g_PageDefs.frames[0], a4, sizeof a4);
        std::memcpy(g_PageDefs.frames[1], a4, sizeof a4);
        ASSERT_EQ(TestAddPostScriptPrinter(), 1);
        PrintInit();
        ASSERT_EQ(PrintSelectPrinter(TEST_PRINTER_NAME), 1);
    }
    void TearDown() override
    {
        PrintFreeDevMode();
        LanguageDialogTest::TearDown();
    }
};

HWND FocusedOf(HWND dialog)
{
    HWND focus = GetFocus();
    return focus && (focus == dialog || IsChild(dialog, focus)) ? focus : nullptr;
}

TEST_F(PrintLayoutDialog, CopiesOutsideOneTo10000AreRefusedAndOkKeepsTheCopy)
{
    int copiesFocused = 0;
    DialogDriver driver({[&](HWND d) {
                             SetDlgItemTextA(d, ID_COPIES, "10001");
                             TestClickButton(d, IDOK);
                         },
                         [&](HWND d) {
                             copiesFocused = FocusedOf(d) == GetDlgItem(d, ID_COPIES);
                             SetDlgItemTextA(d, ID_COPIES, "4");
                             TestClickButton(d, IDOK);
                         }});
    EXPECT_EQ(Box11PrintLayout(nullptr, "Print"), 1u);
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[38]);
    EXPECT_TRUE(copiesFocused);
    EXPECT_EQ(g_DrawingSettings.print.copies, 4);
}

TEST_F(PrintLayoutDialog, ThePageRangeIsCheckedOnlyWhenItPrintsWithTheFocusOnTheWrongField)
{
    g_DrawingSettings.print.pages[0] = PRINT_PAGES_ALL;
    g_DrawingSettings.print.pages[1] = 0; // not a page, but not printed either
    {
        DialogDriver driver({[&](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_EQ(Box11PrintLayout(nullptr, "Print"), 1u);
        EXPECT_TRUE(Alerts().empty()) << "all pages: from and to are not read";
    }
    int toFocused = 0;
    DialogDriver driver({[&](HWND d) {
                             TestClickButton(d, ID_RANGE);
                             SetDlgItemTextA(d, ID_FROM, "2");
                             SetDlgItemTextA(d, ID_TO, "1");
                         },
                         [&](HWND d) { TestClickButton(d, IDOK); },
                         [&](HWND d) {
                             toFocused = FocusedOf(d) == GetDlgItem(d, ID_TO);
                             SetDlgItemTextA(d, ID_TO, "2");
                             TestClickButton(d, IDOK);
                         }});
    EXPECT_EQ(Box11PrintLayout(nullptr, "Print"), 1u);
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[8]);
    EXPECT_TRUE(toFocused) << "the focus goes to the field that is wrong";
    EXPECT_EQ(g_DrawingSettings.print.pages[0], PRINT_PAGES_RANGE);
    EXPECT_EQ(g_DrawingSettings.print.pages[1], 2);
    EXPECT_EQ(g_DrawingSettings.print.pages[2], 2);
}

TEST_F(PrintLayoutDialog, TilesSetTheScaleToOneAndEnableCentringCancelKeepsTheSettings)
{
    g_DrawingSettings.print.scale = 2.5;
    std::string scale;
    bool centredEnabled = false;
    DialogDriver driver({[&](HWND d) {
                             SendDlgItemMessageA(d, ID_MODE, CB_SETCURSEL, PRINT_MODE_TILES, 0);
                             SendMessageA(d, WM_COMMAND, MAKEWPARAM(ID_MODE, CBN_SELCHANGE),
                                          LPARAM(GetDlgItem(d, ID_MODE)));
                         },
                         [&](HWND d) {
                             scale = TestItemText(d, ID_SCALE);
                             centredEnabled = IsWindowEnabled(GetDlgItem(d, ID_CENTERED)) != 0;
                             TestClickButton(d, IDCANCEL);
                         }});
    EXPECT_EQ(Box11PrintLayout(nullptr, "Print"), 0u);
    EXPECT_EQ(scale, "1");
    EXPECT_TRUE(centredEnabled);
    EXPECT_EQ(g_DrawingSettings.print.scale, 2.5) << "the drawing's settings change only on OK";
    EXPECT_EQ(g_DrawingSettings.print.mode, PRINT_MODE_SHEET);
}

TEST_F(PrintLayoutDialog, WithoutAPrinterTheDialogClosesWithTheLayoutMessage)
{
    lstrcpynA(g_Printer.device, "no such printer", PRINT_NAME_SIZE);
    DialogDriver driver({});
    EXPECT_EQ(Box11PrintLayout(nullptr, "Print"), 0u);
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[79]);
    EXPECT_EQ(driver.stuckDialogs(), 0);
}

} // namespace
