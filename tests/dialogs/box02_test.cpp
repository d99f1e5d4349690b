// The generic value dialogs and the outline segment dialog: terms with
// units are accepted, bad input keeps the dialog open with its message, and
// cancel leaves the caller's values alone.
#include <cstdlib>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/init_dialogs.h"
#include "app/window.h"
#include "common/dialog_driver.h"
#include "dialogs/alert.h"
#include "dialogs/box02.h"
#include "geometry/calc.h"
#include "language/language.h"

namespace {

std::vector<std::string> s_Alerts;
uint32_t RecordAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    s_Alerts.push_back(text ? text : "");
    return code1;
}

class ValueDialogs : public testing::Test {
protected:
    void SetUp() override
    {
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = RecordAlert;
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        ASSERT_NE(g_LanguageModule, nullptr);
        g_ActiveWindow = 0;
        WindowResetUnits(&g_DrawWindows[0]);
        WindowSelectCurrent();
        s_Alerts.clear();
    }
    void TearDown() override
    {
        g_AlertAnswerHook = savedHook_;
        g_LanguageModule = savedModule_;
    }
    // A step typing texts into fields (control id, text) and then pressing a button.
    static DialogStep Type(std::vector<std::pair<int, const char *>> texts, int button = IDOK)
    {
        return [texts, button](HWND dialog) {
            for (const auto &t : texts)
                SetDlgItemTextA(dialog, t.first, t.second);
            TestClickButton(dialog, button);
        };
    }
    AlertAnswerHook savedHook_ = nullptr;
    HMODULE savedModule_ = nullptr;
};

TEST_F(ValueDialogs, IntegersRoundAndRefuseText)
{
    int32_t value = 4;
    std::string shown;
    DialogDriver driver({[&](HWND d) {
                             shown = TestItemText(d, 200);
                             Type({{200, "abc"}})(d);
                         },
                         [&](HWND d) {
                             EXPECT_EQ(s_Alerts.size(), 1u) << "the dialog stays open after its message";
                             Type({{200, "12.6"}})(d);
                         }});
    EXPECT_EQ(Box02EditInt(nullptr, "caption", "Corners:", &value), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(shown, "4");
    EXPECT_EQ(value, 13);
    ASSERT_EQ(s_Alerts.size(), 1u);
    EXPECT_EQ(s_Alerts[0], eAlertTextOK[7]);
}

TEST_F(ValueDialogs, TermsWithUnitsAndCancel)
{
    double length = 1.0, angle = 0.0;
    {
        DialogDriver driver({Type({{200, "90"}, {201, "2cm+5"}})});
        ASSERT_EQ(Box02EditAngleLength(nullptr, "caption", "Angle:", &angle, "Length:", &length), 1);
    }
    EXPECT_NEAR(angle, CALC_HALF_PI, 1e-12);
    EXPECT_NEAR(length, 25.0, 1e-9) << "2 cm and 5 mm";
    {
        DialogDriver driver({Type({{200, "7"}}, IDCANCEL)});
        EXPECT_EQ(Box02EditLength(nullptr, "caption", "Length:", &length), 0);
    }
    EXPECT_NEAR(length, 25.0, 1e-9) << "cancel changes nothing";
    {
        // A bad term shows the evaluator's message and keeps the dialog.
        DialogDriver driver({Type({{200, "3*("}}), Type({{200, "3*(2)"}})});
        ASSERT_EQ(Box02EditDouble(nullptr, "caption", "Value:", &length), 1);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(length, 6.0);
    EXPECT_EQ(s_Alerts.size(), 1u);
}

TEST_F(ValueDialogs, StoredAngleShowsInDegreesAndSurvivesOk)
{
    // 45 degrees are stored as radians; OK without retyping must give them back unchanged.
    double angle = CALC_HALF_PI / 2, length = 3.0;
    std::string shown;
    DialogDriver driver({[&](HWND d) {
        shown = TestItemText(d, 200);
        Type({})(d);
    }});
    ASSERT_EQ(Box02EditAngleLength(nullptr, "caption", "Angle:", &angle, "Length:", &length), 1);
    EXPECT_NEAR(std::atof(shown.c_str()), 45.0, 1e-6) << shown;
    EXPECT_NEAR(angle, CALC_HALF_PI / 2, 1e-9);
    EXPECT_NEAR(length, 3.0, 1e-9);
}

// EDITDOUBLECHECK: the check box shows the caller's label and value, a click
// inverts it; Cancel leaves both values alone.
TEST_F(ValueDialogs, LengthWithACheckBox)
{
    double length = 2.0;
    uint32_t check = 1;
    std::string label;
    {
        DialogDriver driver({[&label](HWND d) {
            label = TestItemText(d, 250);
            EXPECT_EQ(IsDlgButtonChecked(d, 250), BST_CHECKED);
            SendMessageA(d, WM_COMMAND, MAKEWPARAM(250, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, 250)));
            EXPECT_EQ(IsDlgButtonChecked(d, 250), BST_UNCHECKED);
            SetDlgItemTextA(d, 200, "7.5");
            TestClickButton(d, IDOK);
        }});
        EXPECT_EQ(Box02EditLengthCheck(nullptr, "tolerance", "Tolerance:", &length, "Check the result", &check), 1);
    }
    EXPECT_EQ(label, "Check the result");
    EXPECT_DOUBLE_EQ(length, 7.5);
    EXPECT_EQ(check, 0u);
    {
        DialogDriver driver({Type({{200, "9"}}, IDCANCEL)});
        EXPECT_EQ(Box02EditLengthCheck(nullptr, "tolerance", "Tolerance:", &length, "Check", &check), 0);
    }
    EXPECT_DOUBLE_EQ(length, 7.5);
}

// EDITDOUBLEFLAG: the focus starts on OK; entering the field ticks box 500
// (bit 0 of the flags), a click on the box clears it again; the other bits
// stay as they were.
TEST_F(ValueDialogs, LengthWhoseFieldSelectsItsOption)
{
    double length = 1.0;
    uint32_t flags = 0x10;
    bool focusOnOk = false, tickedByField = false;
    {
        DialogDriver driver({[&](HWND d) {
            focusOnOk = GetFocus() == GetDlgItem(d, IDOK);
            SetFocus(GetDlgItem(d, 200));
            tickedByField = IsDlgButtonChecked(d, 500) == BST_CHECKED;
            SetDlgItemTextA(d, 200, "3");
            TestClickButton(d, IDOK);
        }});
        EXPECT_EQ(Box02EditLengthFlag(nullptr, "width", "Width:", &length, &flags), 1);
        EXPECT_EQ(driver.stepsDone(), 1);
        EXPECT_EQ(driver.stuckDialogs(), 0);
        EXPECT_TRUE(s_Alerts.empty()) << (s_Alerts.empty() ? "" : s_Alerts[0]);
    }
    EXPECT_TRUE(focusOnOk);
    EXPECT_TRUE(tickedByField);
    EXPECT_EQ(flags, 0x11u);
    EXPECT_DOUBLE_EQ(length, 3.0);
    {
        DialogDriver driver({[](HWND d) {
            SendMessageA(d, WM_COMMAND, MAKEWPARAM(500, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, 500)));
            TestClickButton(d, IDOK);
        }});
        EXPECT_EQ(Box02EditLengthFlag(nullptr, "width", "Width:", &length, &flags), 1);
    }
    EXPECT_EQ(flags, 0x10u);
}

TEST_F(ValueDialogs, OutlineOffersItsButtonsAndReturnsTheChoice)
{
    OutlineRecord record{0xFF, 0, 0.0};
    bool contourEnabled = true, arcEnabled = false;
    DialogDriver driver({[&](HWND d) {
                             contourEnabled = IsWindowEnabled(GetDlgItem(d, 408)) != 0;
                             arcEnabled = IsWindowEnabled(GetDlgItem(d, 407)) != 0;
                             Type({{200, "abc"}}, 404)(d);
                         },
                         Type({{200, "45"}}, 404)});
    ASSERT_EQ(Box02Outline(nullptr, "caption", &record), 1);
    EXPECT_FALSE(contourEnabled) << "mask 255 leaves the new contour out";
    EXPECT_TRUE(arcEnabled);
    EXPECT_EQ(record.choice, 16u);
    EXPECT_NEAR(record.angle, CALC_PI / 4, 1e-12);
    EXPECT_EQ(s_Alerts.size(), 1u) << "the bad angle was refused first";

    OutlineRecord kept{0x1FF, 0, 1.0};
    DialogDriver cancel({Type({}, IDCANCEL)});
    EXPECT_EQ(Box02Outline(nullptr, "caption", &kept), 0);
    EXPECT_EQ(kept.angle, 1.0);
    EXPECT_EQ(kept.choice, 0u);
}

// The list filter: 251 follows 250, the all-entries button keeps the old
// pattern, Cancel keeps the whole record.
TEST_F(ValueDialogs, TheListFilterEditsItsRecordAndTheAllButtonKeepsThePattern)
{
    constexpr int ID_PATTERN = 200, ID_KEEP = 250, ID_DESELECT = 251, ID_CASE = 252, ID_EVERY = 300, ID_ANY = 301;
    auto press = [](HWND d, int id) { SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(d, id)); };
    auto checked = [](HWND d, int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; };
    auto enabled = [](HWND d, int id) { return IsWindowEnabled(GetDlgItem(d, id)) != 0; };

    NameFilter filter{};
    filter.keep = 1;
    filter.deselect = 1;
    filter.choice = 1;
    std::strcpy(filter.pattern, "Wall*;Door?");
    std::string shownPattern;
    bool deselectAtStart = false, deselectCleared = true, deselectBack = false, deselectKept = false,
         everyAtStart = false;
    DialogDriver all({[&](HWND d) {
        shownPattern = TestItemText(d, ID_PATTERN);
        deselectAtStart = enabled(d, ID_DESELECT) && checked(d, ID_DESELECT);
        everyAtStart = checked(d, ID_EVERY) && !checked(d, ID_ANY);
        press(d, ID_KEEP); // off: 251 greyed at once
        deselectCleared = enabled(d, ID_DESELECT);
        press(d, ID_KEEP); // on again, with its previous state
        deselectBack = enabled(d, ID_DESELECT);
        deselectKept = checked(d, ID_DESELECT);
        press(d, ID_CASE);
        press(d, ID_ANY);
        SetDlgItemTextA(d, ID_PATTERN, "typed but not taken");
        TestClickButton(d, NAME_FILTER_ALL);
    }});
    EXPECT_EQ(Box02ListFilter(nullptr, "Filter", &filter), 1);
    EXPECT_EQ(shownPattern, "Wall*;Door?");
    EXPECT_TRUE(deselectAtStart);
    EXPECT_TRUE(everyAtStart);
    EXPECT_FALSE(deselectCleared);
    EXPECT_TRUE(deselectBack);
    EXPECT_TRUE(deselectKept);
    EXPECT_EQ(filter.all, 1u);
    EXPECT_STREQ(filter.pattern, "Wall*;Door?") << "the all-entries button keeps the old pattern";
    EXPECT_EQ(filter.keep, 1u);
    EXPECT_EQ(filter.matchCase, 1u);
    EXPECT_EQ(filter.choice, 0u);

    // OK takes the pattern, at most 249 characters, and clears the first word.
    const std::string longPattern(300, 'p');
    DialogDriver ok({Type({{ID_PATTERN, longPattern.c_str()}})});
    EXPECT_EQ(Box02ListFilter(nullptr, "Filter", &filter), 1);
    EXPECT_EQ(filter.all, 0u);
    EXPECT_EQ(std::string(filter.pattern), std::string(NAME_FILTER_PATTERN_EDIT, 'p'));

    // Cancel leaves the record as it was.
    const NameFilter before = filter;
    DialogDriver cancel({[&](HWND d) {
        press(d, ID_KEEP);
        press(d, ID_CASE);
        SetDlgItemTextA(d, ID_PATTERN, "x");
        TestClickButton(d, IDCANCEL);
    }});
    EXPECT_EQ(Box02ListFilter(nullptr, "Filter", &filter), 0);
    EXPECT_EQ(std::memcmp(&before, &filter, sizeof filter), 0);
}

} // namespace
