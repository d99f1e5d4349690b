// ORTHOLAYOUT: the angle list in the current unit, its limit of eight, the
// mode chosen by the radio buttons or by typing an angle.
#include <gtest/gtest.h>

#include <cstring>

#include "common/dialog_driver.h"
#include "dialogs/box03_ortho.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int ID_ANGLE = 200, ID_TOLERANCE = 201, ID_LIST = 170;
constexpr int ID_ADD = 550, ID_INSERT = 551, ID_DELETE = 552;

class OrthoDialog : public LanguageDialogTest {
protected:
    OrthoLayout Layout(int count)
    {
        OrthoLayout o = {};
        o.mode = 2;
        o.count = count;
        for (int i = 0; i < count; ++i)
            o.angles[i] = i * PI / 8;
        return o;
    }
};

DialogStep ListCommand(int id, const char *angle = nullptr)
{
    return [id, angle](HWND d) {
        if (angle)
            SetDlgItemTextA(d, ID_ANGLE, angle);
        TestClickButton(d, id);
    };
}

TEST_F(OrthoDialog, AnglesAreAddedAndInsertedInTheCurrentUnit)
{
    ASSERT_NEAR(g_ConvertState.window->angleFactor, PI / 180, 1e-12) << "degrees";
    OrthoLayout o = Layout(2); // 0 and 22.5 degrees
    long rows = 0;
    HWND focus = nullptr, tolerance = nullptr;
    DialogDriver driver({[&](HWND d) {
                             rows = (long)SendDlgItemMessageA(d, ID_LIST, LB_GETCOUNT, 0, 0);
                             focus = GetFocus();
                             tolerance = GetDlgItem(d, ID_TOLERANCE);
                             SetDlgItemTextA(d, ID_TOLERANCE, "1");
                             ListCommand(ID_ADD, "45")(d); // 0 22.5 45, row 2 selected
                         },
                         ListCommand(ID_INSERT, "90"),     // 0 22.5 90 45
                         [](HWND d) { TestClickButton(d, IDOK); }});
    ASSERT_EQ(Box03EditOrthoLayout(nullptr, "Ortho", &o), 1);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(focus, tolerance);
    EXPECT_EQ(o.mode, 0) << "typing an angle chooses the list";
    ASSERT_EQ(o.count, 4);
    const double expected[] = {0, 22.5, 90, 45};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(o.angles[i], expected[i] * PI / 180, 1e-9) << i;
    EXPECT_NEAR(o.tolerance, PI / 180, 1e-12);
}

TEST_F(OrthoDialog, EightAnglesRefuseAddAndInsertButDeleteWorks)
{
    OrthoLayout o = Layout(ORTHO_ANGLE_LIMIT);
    DialogDriver driver({ListCommand(ID_ADD, "5"), ListCommand(ID_INSERT, "5"), ListCommand(ID_DELETE),
                         [](HWND d) { TestClickButton(d, IDOK); }});
    ASSERT_EQ(Box03EditOrthoLayout(nullptr, "Ortho", &o), 1);
    ASSERT_EQ(Alerts().size(), 2u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[81]);
    EXPECT_EQ(Alerts()[1], eAlertTextOK[81]);
    EXPECT_EQ(o.count, ORTHO_ANGLE_LIMIT - 1);
    EXPECT_NEAR(o.angles[0], PI / 8, 1e-9) << "the first row was deleted";
}

TEST_F(OrthoDialog, ARadioButtonSetsTheModeAndCancelKeepsTheRecord)
{
    OrthoLayout o = Layout(1);
    DialogDriver driver({[](HWND d) {
        TestClickButton(d, 305);
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box03EditOrthoLayout(nullptr, "Ortho", &o), 1);
    EXPECT_EQ(o.mode, 5);

    const OrthoLayout before = o;
    DialogDriver cancelled({ListCommand(ID_ADD, "x"), [](HWND d) { TestClickButton(d, IDCANCEL); }});
    EXPECT_EQ(Box03EditOrthoLayout(nullptr, "Ortho", &o), 0);
    EXPECT_EQ(Alerts().size(), 1u) << "the unreadable angle was reported";
    EXPECT_EQ(std::memcmp(&o, &before, sizeof o), 0);
}

} // namespace
