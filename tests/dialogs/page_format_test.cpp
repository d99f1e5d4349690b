// PAGEFORMAT: the size list and the orientation buttons stay consistent,
// the stored size is the shown one, and the sides are bounded.
#include <gtest/gtest.h>

#include "common/dialog_driver.h"
#include "dialogs/box09_page.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_SIZE = 180, ID_ANCHOR = 181, ID_WIDTH = 200, ID_HEIGHT = 201, ID_ORIENTATION = 800;

class PageFormatDialog : public LanguageDialogTest {
protected:
    PageDef FreePage(double width, double height)
    {
        PageDef p{};
        p.anchor = 1;
        p.width = width;
        p.height = height;
        return p;
    }
};

DialogStep ChooseSize(int index)
{
    return [index](HWND d) {
        SendDlgItemMessageA(d, ID_SIZE, CB_SETCURSEL, WPARAM(index), 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(ID_SIZE, CBN_SELCHANGE), LPARAM(GetDlgItem(d, ID_SIZE)));
    };
}

DialogStep Click(int id) { return [id](HWND d) { TestClickButton(d, id); }; }

double Field(HWND d, int id) { return std::atof(TestItemText(d, id).c_str()); }

TEST_F(PageFormatDialog, A4TurnedAcrossStores297By210)
{
    PageDef p = FreePage(100, 100);
    double shownW = 0, shownH = 0, turnedW = 0, turnedH = 0;
    DialogDriver driver({ChooseSize(1),
                         [&](HWND d) {
                             shownW = Field(d, ID_WIDTH);
                             shownH = Field(d, ID_HEIGHT);
                             TestClickButton(d, ID_ORIENTATION + 2);
                         },
                         [&](HWND d) {
                             turnedW = Field(d, ID_WIDTH);
                             turnedH = Field(d, ID_HEIGHT);
                             TestClickButton(d, IDOK);
                         }});
    ASSERT_EQ(Box09PageFormat(nullptr, "Page", &p), 1);
    EXPECT_EQ(shownW, 210);
    EXPECT_EQ(shownH, 297);
    EXPECT_EQ(turnedW, 297);
    EXPECT_EQ(turnedH, 210);
    EXPECT_EQ(p.format, 1);
    EXPECT_EQ(p.orientation, 2);
    EXPECT_EQ(p.width, 297);
    EXPECT_EQ(p.height, 210);
}

TEST_F(PageFormatDialog, FreeOrientationOrTypingKeepsTheShownSizeAsAFreeOne)
{
    PageDef a4 = FreePage(1, 1);
    a4.format = 1;
    a4.orientation = 2;
    for (const DialogStep &makeFree : {Click(ID_ORIENTATION), DialogStep([](HWND d) {
                                           SendMessageA(d, WM_COMMAND, MAKEWPARAM(ID_HEIGHT, EN_SETFOCUS), 0);
                                       })}) {
        PageDef p = a4;
        LRESULT listed = -1;
        DialogDriver driver({makeFree, [&](HWND d) {
                                 listed = SendDlgItemMessageA(d, ID_SIZE, CB_GETCURSEL, 0, 0);
                                 TestClickButton(d, IDOK);
                             }});
        ASSERT_EQ(Box09PageFormat(nullptr, "Page", &p), 1);
        EXPECT_EQ(listed, 0);
        EXPECT_EQ(p.format, 0);
        EXPECT_EQ(p.orientation, 0);
        EXPECT_EQ(p.width, 297);
        EXPECT_EQ(p.height, 210);
    }
}

TEST_F(PageFormatDialog, SidesOutsideOneTo25000AreRefused)
{
    struct Case {
        const char *width;
        bool taken;
    } cases[] = {{"0.5", false}, {"25001", false}, {"1", true}, {"25000", true}};
    for (const Case &c : cases) {
        Alerts().clear();
        PageDef p = FreePage(100, 100);
        DialogDriver driver({[&](HWND d) {
                                 SetDlgItemTextA(d, ID_WIDTH, c.width);
                                 TestClickButton(d, IDOK);
                             },
                             Click(IDCANCEL)});
        EXPECT_EQ(Box09PageFormat(nullptr, "Page", &p), c.taken ? 1 : 0) << c.width;
        if (c.taken) {
            EXPECT_EQ(p.width, std::atof(c.width));
            EXPECT_TRUE(Alerts().empty());
        } else {
            ASSERT_EQ(Alerts().size(), 1u) << c.width;
            EXPECT_EQ(Alerts()[0], eAlertTextOK[100]);
            EXPECT_EQ(p.width, 100) << "cancel keeps the record";
        }
    }
}

TEST_F(PageFormatDialog, AnAnchorBelowOneOpensOnTheFirstAndIsStoredAsOne)
{
    PageDef p = FreePage(100, 100);
    p.anchor = 0;
    LRESULT selected = -1;
    DialogDriver driver({[&](HWND d) {
        selected = SendDlgItemMessageA(d, ID_ANCHOR, CB_GETCURSEL, 0, 0);
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box09PageFormat(nullptr, "Page", &p), 1);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(p.anchor, 1);
}

} // namespace
