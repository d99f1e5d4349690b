// The transform parameter dialogs, the group options and the copy-properties
// defaults, driven from the language module's templates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/init_dialogs.h"
#include "app/window.h"
#include "common/dialog_driver.h"
#include "dialogs/alert.h"
#include "dialogs/box10.h"
#include "dialogs/box12.h"
#include "dialogs/box14.h"
#include "language/language.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class TransformDialogs : public testing::Test {
protected:
    void SetUp() override
    {
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        ASSERT_NE(g_LanguageModule, nullptr);
        InitReadScreenSize();
        g_ActiveWindow = 0;
        WindowResetUnits(&g_DrawWindows[0]);
        WindowSelectCurrent();
    }
    void TearDown() override { g_LanguageModule = savedModule_; }
    HMODULE savedModule_ = nullptr;
};

void SetText(HWND dialog, int id, const char *text) { SetDlgItemTextA(dialog, id, text); }

TEST_F(TransformDialogs, ScaleFactorsPresetZeroAndCopySwitch)
{
    double sx = 1, sy = 1;
    uint32_t copy = 0;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 551); },
                             [](HWND d) {
                                 EXPECT_EQ(TestItemText(d, 200).substr(0, 8), "0.707106");
                                 EXPECT_EQ(TestItemText(d, 201).substr(0, 8), "0.707106");
                                 TestClickButton(d, 250);
                             },
                             [](HWND d) { TestClickButton(d, IDOK); }});
        ASSERT_EQ(Box10ScaleFactor(nullptr, "Scale", &sx, &sy, &copy), 1u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_NEAR(sx, 0.7071067811865, 1e-9);
    EXPECT_EQ(copy, 1u);
    {
        DialogDriver driver({[](HWND d) {
                                 SetText(d, 200, "0");
                                 SetText(d, 201, "-1");
                             },
                             [](HWND d) { TestClickButton(d, IDOK); }});
        ASSERT_EQ(Box10ScaleFactor(nullptr, "Scale", &sx, &sy, &copy), 1u);
    }
    EXPECT_EQ(sx, 0.0) << "the dialog accepts a zero factor; the command refuses it";
    EXPECT_EQ(sy, -1.0);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 250); }, [](HWND d) { TestClickButton(d, IDCANCEL); }});
        EXPECT_EQ(Box10ScaleFactor(nullptr, "Scale", &sx, &sy, &copy), 0u);
    }
    EXPECT_EQ(copy, 1u) << "cancel keeps the switch";
}

TEST_F(TransformDialogs, RotationReducedAndMoveInLengths)
{
    double angle = 0;
    uint32_t copy = 0;
    {
        DialogDriver driver({[](HWND d) { SetText(d, 200, "400"); }, [](HWND d) { TestClickButton(d, IDOK); }});
        ASSERT_EQ(Box10RotateMidpoint(nullptr, "Rotate", &angle, &copy), 1u);
    }
    EXPECT_NEAR(angle, 40 * kPi / 180, 1e-9);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 552); },
                             [](HWND d) {
                                 EXPECT_EQ(TestItemText(d, 200).substr(0, 2), "90");
                                 TestClickButton(d, IDOK);
                             }});
        ASSERT_EQ(Box10RotateMidpoint(nullptr, "Rotate", &angle, &copy), 1u);
    }
    EXPECT_NEAR(angle, kPi / 2, 1e-9);
    double dx = 1, dy = 2;
    {
        DialogDriver driver({[](HWND d) {
                                 EXPECT_EQ(TestItemText(d, 200).substr(0, 1), "1");
                                 SetText(d, 200, "5");
                                 SetText(d, 201, "-3");
                             },
                             [](HWND d) { TestClickButton(d, IDOK); }});
        ASSERT_EQ(Box10MoveRelative(nullptr, "Move", &dx, &dy, &copy), 1u);
    }
    EXPECT_DOUBLE_EQ(dx, 5.0);
    EXPECT_DOUBLE_EQ(dy, -3.0);
}

TEST_F(TransformDialogs, GroupOptionsAndCopyDefaults)
{
    GroupInfo info{1, 0, 0};
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 252); }, [](HWND d) { TestClickButton(d, IDOK); }});
        ASSERT_EQ(Box12GroupInfo(nullptr, "Group", &info), 1u);
    }
    EXPECT_EQ(info.editAttributes, 1u);
    EXPECT_EQ(info.pushProperty, 1u);
    EXPECT_EQ(info.editProperty, 0u);

    uint32_t words[COPY_PROPERTY_WORDS] = {0x8004, 1};
    {
        DialogDriver driver({[](HWND d) {
                                 EXPECT_EQ(IsDlgButtonChecked(d, 252), BST_CHECKED);
                                 EXPECT_EQ(IsDlgButtonChecked(d, 400), BST_CHECKED);
                                 TestClickButton(d, 250);
                             },
                             [](HWND d) { TestClickButton(d, 509); },
                             [](HWND d) { TestClickButton(d, IDCANCEL); }});
        EXPECT_EQ(Box14CopyPropDefault(nullptr, "Defaults", words), 0u);
    }
    EXPECT_EQ(words[0], 0x8004u) << "cancel leaves all eleven words";
    EXPECT_EQ(words[10], 0u);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 250); }, [](HWND d) { TestClickButton(d, 509); },
                             [](HWND d) { TestClickButton(d, IDOK); }});
        ASSERT_EQ(Box14CopyPropDefault(nullptr, "Defaults", words), 1u);
    }
    EXPECT_EQ(words[0], 0x8005u) << "bit 0x8000 is kept apart from the eight fields";
    EXPECT_EQ(words[10], 1u);
}

} // namespace
