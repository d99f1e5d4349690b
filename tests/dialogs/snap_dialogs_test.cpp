// SNAPEDIT and SNAPTOGGLE: what they show, what they store, and that a wrong
// value keeps the dialog open with the field selected.
#include <gtest/gtest.h>

#include "app/system.h"
#include "common/dialog_driver.h"
#include "dialogs/box03_snap.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_RADIUS = 200, ID_TOLERANCE = 201, ID_FLAG = 202, ID_CHECK = 250;

LocalSnap Snap(int32_t modes, uint32_t exclusive)
{
    LocalSnap s{};
    s.switches[1] = exclusive;
    s.snapModes = modes;
    s.pickAperture = 10;
    s.ambiguityAperture = 1;
    s.flagDuration = 1250;
    return s;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

class SnapDialogs : public LanguageDialogTest {};

TEST_F(SnapDialogs, ValuesShowTenthsAndStoreMilliseconds)
{
    LocalSnap s = Snap(8, 0);
    std::string flag, radius;
    bool ortho = true;
    DialogDriver driver({[&](HWND d) {
        flag = TestItemText(d, ID_FLAG);
        radius = TestItemText(d, ID_RADIUS);
        ortho = Checked(d, ID_CHECK + 1);
        TestClickButton(d, ID_CHECK + 1); // ortho while snapping
        SetDlgItemTextA(d, ID_RADIUS, "20");
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box03EditSnapValues(nullptr, "Snap", &s), 1);
    EXPECT_EQ(flag, "13");
    EXPECT_EQ(radius, "10");
    EXPECT_FALSE(ortho);
    EXPECT_EQ(s.flagDuration, 1300);
    EXPECT_EQ(s.pickAperture, 20);
    EXPECT_EQ(s.switches[2], 1u);
}

TEST_F(SnapDialogs, AWrongValueKeepsTheDialogAndCancelKeepsTheRecord)
{
    const struct {
        int field;
        const char *text;
    } bad[] = {{ID_RADIUS, "4"}, {ID_RADIUS, "x"}, {ID_TOLERANCE, "11"}, {ID_FLAG, "101"}};
    for (const auto &b : bad) {
        LocalSnap s = Snap(8, 0);
        HWND focus = nullptr;
        DialogDriver driver({[&](HWND d) {
                                 SetDlgItemTextA(d, b.field, b.text);
                                 TestClickButton(d, IDOK);
                             },
                             [&](HWND d) {
                                 focus = GetFocus();
                                 EXPECT_EQ(focus, GetDlgItem(d, b.field)) << b.text;
                                 TestClickButton(d, IDCANCEL);
                             }});
        Alerts().clear();
        EXPECT_EQ(Box03EditSnapValues(nullptr, "Snap", &s), 0) << b.text;
        EXPECT_EQ(Alerts().size(), 1u) << b.text;
        EXPECT_EQ(s.pickAperture, 10);
        EXPECT_EQ(s.flagDuration, 1250);
    }
}

TEST_F(SnapDialogs, ToggleWithSingleModeSwitching)
{
    LocalSnap s = Snap(8 | 16, 1);
    bool middleShown = true;
    DialogDriver driver({[&](HWND d) {
        TestClickButton(d, ID_CHECK + 0); // middle alone, the group remembered
        PostMessageA(d, WM_NULL, 0, 0);
    },
                         [&](HWND d) {
                             middleShown = Checked(d, ID_CHECK + 0) && !Checked(d, ID_CHECK + 3);
                             TestClickButton(d, ID_CHECK + 4); // a remembered group mode brings the group back
                             TestClickButton(d, IDOK);
                         }});
    ASSERT_EQ(Box03ToggleSnapModes(nullptr, "Snap", &s), 1);
    EXPECT_TRUE(middleShown);
    EXPECT_EQ(s.snapModes, 8 | 16);
    EXPECT_EQ(s.reserved1, 8 | 16);
}

TEST(SnapTogglePress, Rules)
{
    const struct {
        int32_t modes, group;
        uint32_t exclusive;
        int k;
        int32_t expected;
    } cases[] = {
        {8, 0, 0, 0, 9},            // free switching toggles
        {9, 0, 0, 3, 1},
        {8 | 16, 0, 1, 1, 2},       // a single mode stands alone
        {2, 8 | 16, 1, 5, 32},      // a group mode not remembered comes alone
        {2, 8 | 16, 1, 3, 8 | 16},  // a remembered one brings its group
        {8 | 16, 0, 1, 6, 8 | 16 | 64}, // within the group a bit toggles
        {8, 0, 1, 8, 256},          // bit 8 is a single mode
    };
    for (const auto &c : cases) {
        LocalSnap s = Snap(c.modes, c.exclusive);
        s.reserved1 = c.group;
        Box03SnapTogglePress(&s, c.k);
        EXPECT_EQ(s.snapModes, c.expected) << c.modes << " bit " << c.k;
    }
}

} // namespace
