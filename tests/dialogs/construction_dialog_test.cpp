// CONSTRUCTION: the list of proportions and its limits, the checks on OK,
// and the rule chosen by the field being typed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "commands/copy.h"
#include "common/dialog_driver.h"
#include "dialogs/box04_construction.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_GEO_COUNT = 205, ID_LIST_VALUE = 209, ID_LIST = 170, ID_SUM = 350, ID_ROTATE = 250;
constexpr int ID_DELETE = 550, ID_INSERT = 551, ID_CHANGE = 552, ID_ADD = 553;

class ConstructionDialog : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        CopyInitConstructionSettings(&s_);
    }
    ConstructionSettings s_;
};

double Number(HWND d, int id) { return std::atof(TestItemText(d, id).c_str()); }

// A list command with the value typed beforehand (null: none typed).
DialogStep ListCommand(int id, const char *value = nullptr)
{
    return [id, value](HWND d) {
        if (value)
            SetDlgItemTextA(d, ID_LIST_VALUE, value);
        TestClickButton(d, id);
    };
}

TEST_F(ConstructionDialog, AnEmptyListShowsOneAndSumZeroAndIsAccepted)
{
    s_.mode = CONSTRUCT_LIST;
    double shown = 0, sum = -1;
    HWND focus = nullptr, valueField = nullptr;
    DialogDriver driver({[&](HWND d) {
        shown = Number(d, ID_LIST_VALUE);
        sum = Number(d, ID_SUM);
        focus = GetFocus();
        valueField = GetDlgItem(d, ID_LIST_VALUE);
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box04EditConstruction(nullptr, "Divide", &s_, 1), 1);
    EXPECT_EQ(shown, 1.0);
    EXPECT_EQ(sum, 0.0);
    EXPECT_EQ(focus, valueField);
    EXPECT_EQ(s_.listLength, 0);
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(ConstructionDialog, ListCommandsEditTheProportions)
{
    s_.listLength = 3;
    s_.list[0] = 1, s_.list[1] = 2, s_.list[2] = 3;
    double sum = 0;
    DialogDriver driver({ListCommand(ID_ADD, "-3"),     // 1 2 3 1: a value not above 0 counts 1
                         ListCommand(ID_DELETE),        // the added one: 1 2 3
                         [&](HWND d) {                  // choose the first row
                             SendDlgItemMessageA(d, ID_LIST, LB_SETCURSEL, 0, 0);
                             SendMessageA(d, WM_COMMAND, MAKEWPARAM(ID_LIST, LBN_SELCHANGE),
                                          reinterpret_cast<LPARAM>(GetDlgItem(d, ID_LIST)));
                         },
                         ListCommand(ID_INSERT, "5"),   // 5 1 2 3, selection stays on row 0
                         ListCommand(ID_CHANGE, "4"),   // 4 1 2 3
                         ListCommand(ID_DELETE),        // 1 2 3, selection stays 0
                         [&](HWND d) {
                             sum = Number(d, ID_SUM);
                             TestClickButton(d, IDOK);
                         }});
    ASSERT_EQ(Box04EditConstruction(nullptr, "Divide", &s_, 1), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    ASSERT_EQ(s_.listLength, 3);
    EXPECT_EQ(s_.list[0], 1.0);
    EXPECT_EQ(s_.list[1], 2.0);
    EXPECT_EQ(s_.list[2], 3.0);
    EXPECT_EQ(s_.listRow, 0);
    EXPECT_EQ(sum, 6.0);
    EXPECT_EQ(s_.mode, CONSTRUCT_LIST);
}

TEST_F(ConstructionDialog, AFullListRefusesAddAndInsertOnly)
{
    s_.listLength = CONSTRUCTION_LIST_SIZE;
    for (double &v : s_.list)
        v = 1.0;
    DialogDriver driver({ListCommand(ID_ADD, "2"), ListCommand(ID_INSERT, "2"), ListCommand(ID_CHANGE, "7"),
                         ListCommand(ID_DELETE), [](HWND d) { TestClickButton(d, IDOK); }});
    ASSERT_EQ(Box04EditConstruction(nullptr, "Divide", &s_, 1), 1);
    ASSERT_EQ(Alerts().size(), 2u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[61]);
    EXPECT_EQ(Alerts()[1], eAlertTextOK[61]);
    EXPECT_EQ(s_.listLength, CONSTRUCTION_LIST_SIZE - 1);
    EXPECT_EQ(s_.list[0], 1.0) << "the changed first value was deleted";
}

TEST_F(ConstructionDialog, AWrongFieldKeepsTheDialogWhateverTheMode)
{
    const struct {
        int field;
        const char *text;
        int message;
    } rows[] = {
        {ID_GEO_COUNT, "1", 66}, // even while the ratio is used
        {200, "1000", 63},
        {201, "x", 7},
        {203, "0", 6},
    };
    for (const auto &row : rows) {
        CopyInitConstructionSettings(&s_);
        s_.mode = CONSTRUCT_GEOMETRIC;
        const ConstructionSettings before = s_;
        HWND focus = nullptr, field = nullptr;
        DialogDriver driver({[&](HWND d) {
                                 SetDlgItemTextA(d, row.field, row.text);
                                 TestClickButton(d, IDOK);
                             },
                             [&](HWND d) {
                                 focus = GetFocus();
                                 field = GetDlgItem(d, row.field);
                                 TestClickButton(d, IDCANCEL);
                             }});
        Alerts().clear();
        EXPECT_EQ(Box04EditConstruction(nullptr, "Divide", &s_, 1), 0) << row.text;
        ASSERT_EQ(Alerts().size(), 1u) << row.text;
        EXPECT_EQ(Alerts()[0], eAlertTextOK[row.message]) << row.text;
        EXPECT_EQ(focus, field) << row.text;
        EXPECT_EQ(std::memcmp(&s_, &before, sizeof s_), 0) << "the caller's record is untouched";
    }
}

TEST_F(ConstructionDialog, TheFieldBeingTypedChoosesTheRule)
{
    bool countShown = false, geometricShown = false, rotateEnabled = true;
    DialogDriver driver({[&](HWND d) {
        rotateEnabled = IsWindowEnabled(GetDlgItem(d, ID_ROTATE));
        SetFocus(GetDlgItem(d, ID_GEO_COUNT));
        countShown = IsDlgButtonChecked(d, 301) == BST_CHECKED;
        geometricShown = IsDlgButtonChecked(d, 403) == BST_CHECKED;
        SetDlgItemTextA(d, ID_GEO_COUNT, "7");
        TestClickButton(d, ID_ROTATE);
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box04EditConstruction(nullptr, "Divide", &s_, 0), 1);
    EXPECT_FALSE(rotateEnabled);
    EXPECT_TRUE(countShown);
    EXPECT_TRUE(geometricShown);
    EXPECT_EQ(s_.mode, CONSTRUCT_GEOMETRIC);
    EXPECT_EQ(s_.geometricCounted, 1);
    EXPECT_EQ(s_.geometricCount, 7);
    EXPECT_EQ(s_.rotateCopies, 1) << "not offered: the switch stays";
}

} // namespace
