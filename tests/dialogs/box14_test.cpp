// The property sheet of one object, driven for real: what the page marks as
// set by the object, the width check, and that only OK reaches the record.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/dialog_driver.h"
#include "database/object_attributes.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box14.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

class ObjectSheetTest : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        realPopup_ = g_Box01ListPopup;
        g_Box01ListPopup = PenFour;
        attributes_ = std::make_unique<ObjectAttributes>();
        memset(attributes_.get(), 0, sizeof(ObjectAttributes));
        ObjectAttributesInit(attributes_.get());
        attributes_->general.values.width = 0.25;
        attributes_->general.values.pen = 1;
    }
    void TearDown() override
    {
        g_Box01ListPopup = realPopup_;
        LanguageDialogTest::TearDown();
    }
    // The pen popup always answers pen 4.
    static void PenFour(Box01ListPopupKind, HWND owner, const RECT *, int, int first, int)
    {
        PostMessageA(owner, WM_COMMAND, first + 4, 0);
    }
    std::unique_ptr<ObjectAttributes> attributes_;
    Box01ListPopupProc realPopup_ = nullptr;
};

HWND Page(HWND sheet)
{
    return PropSheet_GetCurrentPageHwnd(sheet);
}

TEST_F(ObjectSheetTest, EnteringTheWidthAndChoosingAPenMarkThemAsTheObjectsOwn)
{
    int extra = 0;
    bool extraShown = false;
    DialogDriver driver({
        [&](HWND sheet) {
            HWND page = Page(sheet);
            extraShown = IsWindowVisible(GetDlgItem(page, 258)) != 0;
            SetFocus(GetDlgItem(page, 200));
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(751, BN_CLICKED), 0);
        },
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "150");
            PropSheet_PressButton(sheet, PSBTN_OK);
        },
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "0.5");
            CheckDlgButton(Page(sheet), 258, BST_CHECKED);
            SendMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(258, BN_CLICKED), 0);
            PropSheet_PressButton(sheet, PSBTN_OK);
        },
    });
    ASSERT_EQ(Box14ObjInfoSingle(nullptr, "", attributes_.get(), 0, nullptr, nullptr, 1, 1, &extra), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_TRUE(extraShown);
    EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[17]}));
    const XProperty &p = attributes_->general.values;
    EXPECT_EQ(p.ownFlags, 0x11u) << "pen and width";
    EXPECT_EQ(p.pen, 4);
    EXPECT_DOUBLE_EQ(p.width, 0.5);
    EXPECT_EQ(extra, 1);
}

TEST_F(ObjectSheetTest, CancelAfterAPageChangeLeavesTheRecordUntouched)
{
    const ObjectAttributes before = *attributes_;
    DialogDriver driver({
        [](HWND sheet) {
            SendMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(802, BN_CLICKED), 0);
            PropSheet_SetCurSel(sheet, nullptr, 1);
        },
        [](HWND sheet) {
            SendMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(404, BN_CLICKED), 0);
            PropSheet_PressButton(sheet, PSBTN_CANCEL);
        },
    });
    EXPECT_EQ(Box14ObjInfoSingle(nullptr, "", attributes_.get(), 1, "Object", "Text", 0, 0, nullptr), 0);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(memcmp(&before, attributes_.get(), sizeof before), 0);
}

TEST_F(ObjectSheetTest, EachPageEditsItsOwnPropertySet)
{
    int iconButtons = 0;
    DialogDriver driver({
        [&](HWND sheet) {
            // Fill modes, line ends and joins are icon buttons drawn by the page.
            for (int id : {800, 801, 802, 803, 804, 450, 451, 452, 453, 454, 455})
                if ((GetWindowLongA(GetDlgItem(Page(sheet), id), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW)
                    ++iconButtons;
            SendMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(802, BN_CLICKED), 0);
            PropSheet_SetCurSel(sheet, nullptr, 1);
        },
        [](HWND sheet) {
            SendMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(452, BN_CLICKED), 0);
            PropSheet_PressButton(sheet, PSBTN_OK);
        },
    });
    ASSERT_EQ(Box14ObjInfoSingle(nullptr, "", attributes_.get(), 1, "Object", "Text", 1, 1, nullptr), 1);
    EXPECT_EQ(attributes_->general.values.fillMode, 2);
    EXPECT_EQ(attributes_->general.values.ownFlags, 0x2u);
    EXPECT_EQ(attributes_->annotation.values.capJoin, 0x200u);
    EXPECT_EQ(attributes_->annotation.values.ownFlags, 0x80u);
    EXPECT_EQ(iconButtons, 11);
}

TEST_F(ObjectSheetTest, SeveralObjectsChoosingAPenMarksItsChangeAndApplyBoxes)
{
    attributes_->present[ATTR_GENERAL] = 1;
    UINT afterPen[2] = {}, afterClear[2] = {};
    DialogDriver driver({
        [](HWND sheet) { SendMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(751, BN_CLICKED), 0); },
        [&](HWND sheet) {
            HWND page = Page(sheet);
            afterPen[0] = IsDlgButtonChecked(page, 250);
            afterPen[1] = IsDlgButtonChecked(page, 258);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(250, BN_CLICKED), 0);
            afterClear[0] = IsDlgButtonChecked(page, 250);
            afterClear[1] = IsDlgButtonChecked(page, 258);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(751, BN_CLICKED), 0);
        },
        [](HWND sheet) {
            SendMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(259, BN_CLICKED), 0); // fill: unchecked
            PropSheet_PressButton(sheet, PSBTN_OK);
        },
    });
    ASSERT_EQ(Box14ObjInfoMulti(nullptr, "", attributes_.get(), 1, nullptr), 1);
    EXPECT_EQ(afterPen[0], (UINT)BST_CHECKED);
    EXPECT_EQ(afterPen[1], (UINT)BST_CHECKED);
    EXPECT_EQ(afterClear[0], (UINT)BST_UNCHECKED);
    EXPECT_EQ(afterClear[1], (UINT)BST_INDETERMINATE);
    const AttrPropertyGroup &g = attributes_->general;
    EXPECT_EQ(g.fieldMask, 0x1u) << "only the pen is written into the objects";
    EXPECT_EQ(g.ownMask, 0x3u) << "the pen's own-flag and the cleared fill flag are applied";
    EXPECT_EQ(g.values.ownFlags, 0x1u);
    EXPECT_EQ(g.values.pen, 4);
}

TEST_F(ObjectSheetTest, SeveralObjectsCancelAfterAPageChangeLeavesTheRecordUntouched)
{
    attributes_->present[ATTR_GENERAL] = 1;
    attributes_->present[ATTR_ANNOTATION] = 1;
    const ObjectAttributes before = *attributes_;
    int pages = 0;
    DialogDriver driver({
        [&](HWND sheet) {
            pages = TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet));
            SendMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(751, BN_CLICKED), 0);
            PropSheet_SetCurSel(sheet, nullptr, 1);
        },
        [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_CANCEL); },
    });
    EXPECT_EQ(Box14ObjInfoMulti(nullptr, "", attributes_.get(), 1, nullptr), 0);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(memcmp(&before, attributes_.get(), sizeof before), 0);
}

} // namespace
