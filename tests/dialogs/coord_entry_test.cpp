// The coordinate calculator, driven through its editor: relative and polar
// entry against the references, Tab stepping over absent fields, status-bar
// clicks, the names a reference kind allows, and Ctrl+Enter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/darad4.h"
#include "common/dialog_driver.h"
#include "dialogs/box08_editterm.h"
#include "dialogs/box08_term.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_TERM = 200;
constexpr double DEG = 3.14159265358979323846 / 180.0;

class CoordEntry : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        if (!g_MsgClick)
            g_MsgClick = RegisterWindowMessageA("DARAD4_CLICK");
        record_ = new CoordEntryRecord{};
        for (CoordEntrySlot &s : record_->slots) {
            s.present = 1;
            s.box = RECT{10, 10, 90, 30};
        }
    }
    void TearDown() override
    {
        delete record_;
        EXPECT_EQ(g_TermState.busy, 0u);
        EXPECT_EQ(g_CoordEntryWnd, nullptr);
        EXPECT_EQ(Box08TermWorkBlocksOutstanding(), 0);
        LanguageDialogTest::TearDown();
    }
    // Sets a point of the record from coordinates in the current system.
    static void SetSystemPoint(double *point, double x, double y)
    {
        point[0] = ConvertSystemToWorldX(g_ActiveWindow, x, y);
        point[1] = ConvertSystemToWorldY(g_ActiveWindow, x, y);
    }
    void ExpectSystemResult(double x, double y)
    {
        const double *r = record_->result;
        EXPECT_NEAR(ConvertWorldToSystemX(g_ActiveWindow, r[0], r[1]), x, 1e-9);
        EXPECT_NEAR(ConvertWorldToSystemY(g_ActiveWindow, r[0], r[1]), y, 1e-9);
    }
    CoordEntryRecord *record_ = nullptr;
};

DialogStep Type(const char *text, WORD key)
{
    return [text, key](HWND d) {
        SetDlgItemTextA(d, ID_TERM, text);
        if (key == VK_RETURN)
            TestClickButton(d, IDOK);
        else
            TestPressKey(d, key);
    };
}

TEST_F(CoordEntry, RelativeEntryAddsToTheReferencePoint)
{
    SetSystemPoint(record_->point1, 10, 20);
    SetSystemPoint(record_->point2, 10, 20);
    record_->mode = 2;
    record_->currentField = COORD_DX;
    std::string dyShown = "?";
    HWND window = nullptr;
    DialogDriver driver({Type("5", VK_TAB), [&](HWND d) {
                             dyShown = TestItemText(d, ID_TERM);
                             window = g_CoordEntryWnd;
                             Type("0", VK_RETURN)(d);
                         }});
    ASSERT_EQ(Box08EditTerm(nullptr, record_), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(dyShown, "");
    EXPECT_NE(window, nullptr);
    EXPECT_STREQ(record_->slots[COORD_DX].term, "5");
    EXPECT_EQ(record_->currentField, (uint32_t)COORD_DY);
    EXPECT_TRUE(record_->slots[COORD_DX].marked && record_->slots[COORD_DY].marked);
    EXPECT_FALSE(record_->slots[COORD_X].marked);
    ExpectSystemResult(15, 20);
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(CoordEntry, PolarEntryUsesTheSegmentLengthAndDirection)
{
    ASSERT_NEAR(g_ConvertState.window->angleFactor, DEG, 1e-12); // terms in degrees
    SetSystemPoint(record_->point1, 10, 20);
    SetSystemPoint(record_->point2, 13, 24); // length 5
    record_->mode = 2;
    record_->currentField = COORD_LENGTH;
    DialogDriver driver({Type("l*2", VK_TAB), Type("a+90", VK_RETURN)});
    ASSERT_EQ(Box08EditTerm(nullptr, record_), 1);
    ExpectSystemResult(10 - 8, 20 + 6);
}

TEST_F(CoordEntry, AbsentFieldsTakeWhatTheReferenceKindGives)
{
    const struct {
        int mode;
        int absent;
        const char *typed;
        double x, y;
    } rows[] = {
        {5, COORD_LENGTH, "90", 10, 20 + 128}, // an absent length counts 128
        {4, COORD_ANGLE, "2", 10, 22},         // an absent angle is the reference direction
        {3, COORD_DY, "1", 11, 20},            // an absent dy counts 0
    };
    for (const auto &row : rows) {
        SetSystemPoint(record_->point1, 10, 20);
        SetSystemPoint(record_->point2, 10, 25); // direction 90 degrees
        record_->mode = row.mode;
        record_->slots[row.absent].present = 0;
        record_->currentField = row.absent ^ 1;
        DialogDriver driver({Type(row.typed, VK_RETURN)});
        ASSERT_EQ(Box08EditTerm(nullptr, record_), 1) << row.mode;
        ExpectSystemResult(row.x, row.y);
        record_->slots[row.absent].present = 1;
    }
}

TEST_F(CoordEntry, TabSkipsAbsentFieldsAndWrapsBothWays)
{
    record_->slots[COORD_X].present = 0;
    record_->slots[COORD_LENGTH].present = 0;
    record_->currentField = COORD_ANGLE;
    std::vector<uint32_t> fields;
    auto note = [&](HWND) { fields.push_back(record_->currentField); };
    DialogDriver driver({[&](HWND d) { note(d); TestPressKey(d, VK_TAB); },
                         [&](HWND d) { note(d); PostMessageA(d, WM_NEXTDLGCTL, 1, 0); }, // Shift+Tab
                         [&](HWND d) { note(d); PostMessageA(d, WM_NEXTDLGCTL, 1, 0); },
                         [&](HWND d) { note(d); TestClickButton(d, IDCANCEL); }});
    EXPECT_EQ(Box08EditTerm(nullptr, record_), 0);
    EXPECT_EQ(fields, (std::vector<uint32_t>{COORD_ANGLE, COORD_Y, COORD_ANGLE, COORD_DY}));
}

TEST_F(CoordEntry, AStatusClickKeepsTheTextAndReopensOnTheClickedField)
{
    std::strcpy(record_->slots[COORD_DY].term, "3");
    record_->currentField = COORD_X;
    std::string shown;
    DialogDriver driver({[&](HWND d) {
                             SetDlgItemTextA(d, ID_TERM, "7");
                             PostMessageA(g_CoordEntryWnd, g_MsgClick, COORD_DY, 0);
                         },
                         [&](HWND d) {
                             shown = TestItemText(d, ID_TERM);
                             TestClickButton(d, IDCANCEL);
                         }});
    EXPECT_EQ(Box08EditTerm(nullptr, record_), 0);
    EXPECT_EQ(shown, "3");
    EXPECT_STREQ(record_->slots[COORD_X].term, "7");
}

TEST_F(CoordEntry, ANameTheKindDoesNotOfferFailsAndReopensTheField)
{
    record_->mode = 3;
    std::strcpy(record_->slots[COORD_X].term, "1");
    record_->currentField = COORD_Y;
    std::string shown;
    uint32_t field = 99;
    DialogDriver driver({Type("w", VK_RETURN), [&](HWND d) {
                             shown = TestItemText(d, ID_TERM);
                             field = record_->currentField;
                             TestClickButton(d, IDCANCEL);
                         }});
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(Box08EditTerm(owner, record_), 0);
    DestroyWindow(owner);
    char expected[512];
    std::snprintf(expected, sizeof expected, eAlertTextOK[91], "w");
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(Alerts()[0], expected);
    EXPECT_EQ(shown, "w");
    EXPECT_EQ(field, (uint32_t)COORD_Y);
}

TEST_F(CoordEntry, CtrlEnterInvertsTheAlternateFlag)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE saved = keys[VK_CONTROL];
    DialogDriver driver({[&](HWND d) {
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        Type("1", VK_RETURN)(d);
    }});
    record_->currentField = COORD_X;
    std::strcpy(record_->slots[COORD_Y].term, "2");
    const int ok = Box08EditTerm(nullptr, record_);
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    ASSERT_EQ(ok, 1);
    EXPECT_EQ(record_->alternate, 1u);
    ExpectSystemResult(1, 2);
}

TEST_F(CoordEntry, ABusyEvaluatorRefuses)
{
    g_TermState.busy = 1;
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(Box08EditTerm(owner, record_), 0);
    DestroyWindow(owner);
    g_TermState.busy = 0;
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[130]);
}

} // namespace
