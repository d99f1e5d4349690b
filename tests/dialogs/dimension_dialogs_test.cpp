// The dimension attribute and text dialogs and the measured-value box,
// driven from the language module's templates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/dialog_driver.h"
#include "common/test_alerts.h"
#include "app/system.h"
#include "database/object_attributes.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box02.h"
#include "dialogs/box10_dim.h"
#include "dialogs/box11_dimtext.h"
#include "files/file_drawinginfo.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

using DimensionDialogs = LanguageDialogTest;

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

// The coordinate-system popup, answered by posting the scripted choice
// (-1: the "none" item at the top) as the real popup's menu would.
struct SystemPopup {
    int choice = 0, current = -2, top = -2;
};
SystemPopup g_SystemPopup;
void ScriptedSystemPopup(Box01ListPopupKind kind, HWND owner, const RECT *, int current, int first, int top)
{
    EXPECT_EQ(kind, BOX01_POPUP_SYSTEMS);
    g_SystemPopup.current = current;
    g_SystemPopup.top = top;
    PostMessageA(owner, WM_COMMAND, g_SystemPopup.choice < 0 ? top : first + g_SystemPopup.choice, 0);
}

TEST_F(DimensionDialogs, TheFieldMaskDisablesTheOrientationAndTheDimensionLineForms)
{
    struct Case {
        uint32_t mask;
        bool orientation, lineForm;
    } cases[] = {{0xFFFFFF, true, true}, {0xFFF7FF, false, true}, {0xFFE7FF, false, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mask);
        ObjectAttributes a{};
        ObjectAttributesInit(&a);
        a.fieldEnable = c.mask;
        a.dimLarge.distance = 5.0;
        uint32_t editText = 1;
        DialogDriver driver({[&](HWND d) {
            for (int id = 817; id <= 820; ++id)
                EXPECT_EQ(Enabled(d, id), c.orientation) << id;
            for (int id = 814; id <= 816; ++id)
                EXPECT_EQ(Enabled(d, id), c.lineForm) << id;
            EXPECT_TRUE(Enabled(d, 821)) << "the distance modes stay";
            EXPECT_TRUE(Enabled(d, 256)) << "the edit-text switch of the defaults";
            TestClickButton(d, IDCANCEL);
        }});
        EXPECT_EQ(Box10DimensionParam1(nullptr, "Dimension", &a, &editText, 1), 0u);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
}

TEST_F(DimensionDialogs, TheLargeDimensionDialogStoresTheClickedFormsAndChecksItsLengths)
{
    ObjectAttributes a{};
    ObjectAttributesInit(&a);
    a.dimLarge.distance = 5.0;
    a.dimLarge.further = 1.0;
    uint32_t editText = 0;
    {
        DialogDriver driver({[](HWND d) {
                                 TestClickButton(d, 819); // orientation 2
                                 TestClickButton(d, 823); // distance mode 2
                                 TestClickButton(d, 256);
                                 SetDlgItemTextA(d, 201, "-1");
                                 TestClickButton(d, IDOK);
                             },
                             [](HWND d) {
                                 SetDlgItemTextA(d, 201, "2");
                                 TestClickButton(d, IDOK);
                             }});
        EXPECT_EQ(Box10DimensionParam1(nullptr, "Dimension", &a, &editText, 1), 1u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(Alerts().size(), 1u) << "a negative second length is refused";
    EXPECT_EQ(a.dimLarge.words[11], 2);
    EXPECT_EQ(a.dimLarge.words[13], 2);
    EXPECT_DOUBLE_EQ(a.dimLarge.further, 2.0);
    EXPECT_EQ(editText, 1u);
}

TEST_F(DimensionDialogs, ALongDimensionTextComesBackCutTo250AndTheHiddenTextsStay)
{
    DimensionText t;
    std::memset(&t, 0, sizeof t);
    std::memset(t.text[1], 'x', 255);
    std::strcpy(t.text[5], "kept");
    {
        DialogDriver driver({[](HWND d) {
            EXPECT_EQ(TestItemText(d, 201).size(), 255u) << "shown whole";
            TestClickButton(d, 551); // the degree sign into the first field, which has the focus
            TestClickButton(d, 250);
        },
                             [](HWND d) { TestClickButton(d, IDOK); }});
        ASSERT_EQ(Box11EditDimensionText1(nullptr, "Texts", &t), 1u);
    }
    EXPECT_EQ(std::strlen(t.text[1]), 250u);
    EXPECT_STREQ(t.text[0], "\xB0");
    EXPECT_STREQ(t.text[5], "kept") << "the first dialog does not show texts 5 and 6";
    EXPECT_EQ(t.automatic, 1u);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDCANCEL); }});
        EXPECT_EQ(Box11EditDimensionText2(nullptr, "Texts", &t), 0u);
    }
}

TEST_F(DimensionDialogs, TheValueBoxShowsAPointInTheCurrentUnits)
{
    std::string x, distance;
    bool fourthShown = false;
    DialogDriver driver({[&](HWND d) {
        x = TestItemText(d, 200);
        distance = TestItemText(d, 202);
        fourthShown = IsWindowEnabled(GetDlgItem(d, 203)) != 0;
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box02ShowValuePoint(nullptr, "Point", {3.0, 4.0}), 1);
    EXPECT_EQ(std::atof(x.c_str()), 3.0);
    EXPECT_EQ(std::atof(distance.c_str()), 5.0);
    EXPECT_TRUE(fourthShown);
    DialogDriver angle({[&](HWND d) {
        fourthShown = IsWindowEnabled(GetDlgItem(d, 203)) != 0;
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box02ShowValueThreePoints(nullptr, "Angle", {0, 0}, {1, 0}, {0, 1}, 1), 1);
    EXPECT_FALSE(fourthShown) << "one row only";
}

} // namespace

namespace {

TEST_F(DimensionDialogs, TheNumberFormatDialogChoosesTheCoordinateSystemFromItsPopup)
{
    const Box01ListPopupProc realPopup = g_Box01ListPopup;
    g_Box01ListPopup = ScriptedSystemPopup;
    struct Case {
        uint32_t defaults;
        int choice, expected, top;
    } cases[] = {{0, 3, 3, 0}, {1, -1, -1, 13716}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.defaults);
        ObjectAttributes a{};
        ObjectAttributesInit(&a);
        a.dimParameter.system = 1;
        a.dimParameter.textHeight = 5.0;
        a.dimParameter.toleranceHeight = 3.5;
        g_SystemPopup = SystemPopup{c.choice};
        char shown[64] = {};
        DialogDriver driver({[](HWND d) { TestClickButton(d, 750); },
                             [&](HWND d) {
                                 GetDlgItemTextA(d, 750, shown, sizeof shown);
                                 // The font and its style as a user would pick them.
                                 SendDlgItemMessageA(d, 180, CB_SETCURSEL, 0, 0);
                                 SendMessageA(d, WM_COMMAND, MAKEWPARAM(180, CBN_SELCHANGE),
                                              reinterpret_cast<LPARAM>(GetDlgItem(d, 180)));
                                 SendDlgItemMessageA(d, 181, CB_SETCURSEL, 0, 0);
                                 TestClickButton(d, IDOK);
                             }});
        TestAlerts alerts;
        EXPECT_EQ(Box10DimensionData(nullptr, "Numbers", &a, c.defaults), 1u);
        for (const char *t : alerts.texts())
            ADD_FAILURE() << t;
        EXPECT_EQ(a.dimParameter.system, c.expected);
        EXPECT_EQ(g_SystemPopup.current, 1) << "the popup opens on the stored system";
        EXPECT_EQ(g_SystemPopup.top, c.top) << "only the defaults offer no system";
        if (c.expected < 0)
            EXPECT_STRNE(shown, "") << "the button says that no system is chosen";
    }
    g_Box01ListPopup = realPopup;
}

} // namespace

namespace {

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The several-objects variants write only what the user touched: merely
// entering a field marks it, as do clicks on its icons or switches, and the
// change boxes say so and can take it back.
TEST_F(DimensionDialogs, TheSeveralObjectsLayoutMarksTheTouchedFields)
{
    ObjectAttributes a{};
    ObjectAttributesInit(&a);
    a.present[ATTR_DIM_LARGE] = 1;
    a.dimLarge.mask = 0x2; // the centred text was ticked before
    a.dimLarge.distance = 5.0;
    bool editTextEnabled = true, centredShown = false, distanceMarked = false;
    std::string moreLabel;
    {
        DialogDriver driver({[&](HWND d) {
            editTextEnabled = Enabled(d, 256);
            moreLabel = TestItemText(d, 550);
            centredShown = Checked(d, 501);
            SetFocus(GetDlgItem(d, 200)); // into the distance: box 514
            distanceMarked = Checked(d, 514);
            TestClickButton(d, 819);      // orientation 2: box 511
            TestClickButton(d, 250);      // first extension line: box 508
            TestClickButton(d, 508);      // ... taken back
            TestClickButton(d, 501);      // the centred text no longer
            TestClickButton(d, IDOK);
        }});
        ASSERT_EQ(Box10DimensionParam1Multi(nullptr, "Dimensions", &a), 1u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_FALSE(editTextEnabled) << "the switch of new dimensions has no place here";
    EXPECT_EQ(moreLabel, eButtonText[19]);
    EXPECT_TRUE(centredShown) << "the boxes show the mask the dialog got";
    EXPECT_TRUE(distanceMarked);
    EXPECT_EQ(a.dimLarge.mask, (1u << 14) | (1u << 11));
    EXPECT_EQ(a.dimLarge.words[11], 2);
    EXPECT_DOUBLE_EQ(a.dimLarge.distance, 5.0);
}

TEST_F(DimensionDialogs, TheSeveralObjectsVariantsOfTheLineEndsAndSwitchesMarkTheirFields)
{
    ObjectAttributes a{};
    ObjectAttributesInit(&a);
    {
        DialogDriver driver({[](HWND d) {
            TestClickButton(d, 809); // second end form 2: bit 2
            SendDlgItemMessageA(d, 180, CB_SETCURSEL, 1, 0);
            SendMessageA(d, WM_COMMAND, MAKEWPARAM(180, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(d, 180)));
            TestClickButton(d, IDOK);
        }});
        ASSERT_EQ(Box10DimensionParam0Multi(nullptr, "Lines", &a), 1u);
    }
    EXPECT_EQ(a.lineEnd.mask, 0x6u) << "the first mode and the second form";
    EXPECT_EQ(a.lineEnd.words[2], 2);
    EXPECT_EQ(a.lineEnd.words[1], 1);
    {
        DialogDriver driver({[](HWND d) {
            TestClickButton(d, 255); // text direction by point: bit 1
            TestClickButton(d, IDOK);
        }});
        ASSERT_EQ(Box10DimensionParam2Multi(nullptr, "Radii", &a), 1u);
    }
    EXPECT_EQ(a.dimSmall.mask, 0x2u);
    EXPECT_EQ(a.dimSmall.byPoint, 1);
    DialogDriver cancel({[](HWND d) {
        TestClickButton(d, 253);
        TestClickButton(d, IDCANCEL);
    }});
    EXPECT_EQ(Box10DimensionParam2Multi(nullptr, "Radii", &a), 0u);
    EXPECT_EQ(a.dimSmall.mask, 0x2u) << "Cancel leaves the record";
}

TEST_F(DimensionDialogs, TheSeveralObjectsNumberFormatMarksItsFieldsAndOffersNoLayoutOrEmptySystem)
{
    const Box01ListPopupProc realPopup = g_Box01ListPopup;
    g_Box01ListPopup = ScriptedSystemPopup;
    g_SystemPopup = SystemPopup{2};
    ObjectAttributes a{};
    ObjectAttributesInit(&a);
    a.dimParameter.system = 0;
    a.dimParameter.textHeight = 5.0;
    a.dimParameter.toleranceHeight = 3.5;
    bool layoutShown = true;
    {
        DialogDriver driver({[&](HWND d) {
                                 layoutShown = IsWindowVisible(GetDlgItem(d, 550)) != 0;
                                 SetFocus(GetDlgItem(d, 202)); // the decimal places: bit 3
                                 TestClickButton(d, 750);
                             },
                             [](HWND d) {
                                 TestClickButton(d, 801); // text mode 1: bit 7
                                 // A font as a user would pick it: bit 0.
                                 SendDlgItemMessageA(d, 180, CB_SETCURSEL, 0, 0);
                                 SendMessageA(d, WM_COMMAND, MAKEWPARAM(180, CBN_SELCHANGE),
                                              reinterpret_cast<LPARAM>(GetDlgItem(d, 180)));
                                 SendDlgItemMessageA(d, 181, CB_SETCURSEL, 0, 0);
                                 TestClickButton(d, IDOK);
                             }});
        TestAlerts alerts;
        ASSERT_EQ(Box10DimensionDataMulti(nullptr, "Numbers", &a), 1u);
        for (const char *t : alerts.texts())
            ADD_FAILURE() << t;
    }
    g_Box01ListPopup = realPopup;
    EXPECT_FALSE(layoutShown);
    EXPECT_EQ(g_SystemPopup.top, 0) << "several objects always have a system";
    EXPECT_EQ(a.dimParameter.system, 2);
    EXPECT_EQ(a.dimParameter.alignment, 1);
    EXPECT_EQ(a.dimParameter.mask, (1u << 0) | (1u << 3) | (1u << 4) | (1u << 7));
}

// The number format of new dimensions opens the drawing's layout, which
// takes effect at once, whatever the number format's dialog does after.
TEST_F(DimensionDialogs, TheLayoutDialogChecksItsSizesAndWritesTheDrawingsLayout)
{
    DrawingSettings &s = g_DrawingSettings;
    s.dimLayoutArrows[0] = 0.1;
    s.dimLayoutArrows[1] = 1.0;
    s.dimLayoutDimMode = 0;
    s.dimLayoutLineMode = 0;
    s.dimLayoutEditText = 1;
    g_DrawingInfo.modified = 0;
    ObjectAttributes a{};
    ObjectAttributesInit(&a);
    a.dimParameter.textHeight = 5.0;
    a.dimParameter.toleranceHeight = 3.5;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 550); },
                             [](HWND d) {
                                 SetDlgItemTextA(d, 200, "2");
                                 SetDlgItemTextA(d, 201, "-1");
                                 TestClickButton(d, 802);
                                 TestClickButton(d, 804);
                                 TestClickButton(d, IDOK);
                             },
                             [](HWND d) {
                                 SetDlgItemTextA(d, 201, "0.5");
                                 TestClickButton(d, IDOK);
                             },
                             [](HWND d) { TestClickButton(d, IDCANCEL); }});
        EXPECT_EQ(Box10DimensionData(nullptr, "Numbers", &a, 1), 0u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    ASSERT_EQ(Alerts().size(), 1u) << "a negative minimum is refused";
    EXPECT_EQ(Alerts()[0], eAlertTextOK[113]);
    EXPECT_DOUBLE_EQ(s.dimLayoutArrows[1], 2.0);
    EXPECT_DOUBLE_EQ(s.dimLayoutArrows[0], 0.5);
    EXPECT_EQ(s.dimLayoutDimMode, 2);
    EXPECT_EQ(s.dimLayoutLineMode, 1);
    EXPECT_EQ(s.dimLayoutEditText, 1u) << "kept";
    EXPECT_NE(g_DrawingInfo.modified, 0u);
}

} // namespace
