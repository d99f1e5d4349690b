// The hatch and multiline definition editors, driven from the language
// module's templates.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/system_changes.h"
#include "app/system_defs.h"
#include "common/dialog_driver.h"
#include "dialogs/box05_hatch.h"
#include "dialogs/box14_multiline.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_LIST = 170, ID_FIELD = 200, ID_NEW = 14, ID_EDIT = 20, ID_TAKE = 28;
constexpr int ID_FAMILY1 = 250, ID_FAMILY2 = 251, ID_BLOCKS = 252, ID_SCALE = 202;
constexpr int ID_USED = 250;

class HatchDialogs : public LanguageDialogTest {
protected:
    bool Alerted(int entry) const
    {
        for (const std::string &t : Alerts())
            if (t == eAlertTextOK[entry])
                return true;
        return false;
    }
    static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    static bool OkEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != 0; }
};

HatchDef Lines()
{
    HatchDef d{};
    std::strcpy(d.name, "lines");
    d.family1 = {1, 0, 0.5};
    d.placement[1] = 1;
    return d;
}

TEST_F(HatchDialogs, OkNeedsASwitchOnAndABlockForThePattern)
{
    HatchDef def = Lines();
    std::vector<bool> ok;
    DialogDriver driver({[&](HWND dialog) {
                             ok.push_back(OkEnabled(dialog));
                             Click(dialog, ID_FAMILY1); // all three off
                             ok.push_back(OkEnabled(dialog));
                             Click(dialog, ID_BLOCKS);
                             ok.push_back(OkEnabled(dialog));
                             TestClickButton(dialog, IDOK); // no library, no block
                         },
                         [&](HWND dialog) {
                             Click(dialog, ID_BLOCKS);
                             Click(dialog, ID_FAMILY2);
                             SetDlgItemTextA(dialog, ID_SCALE, "0");
                             TestClickButton(dialog, IDOK); // scale 0
                         },
                         [&](HWND dialog) {
                             SetDlgItemTextA(dialog, ID_SCALE, "2");
                             TestClickButton(dialog, IDOK);
                         }});
    ASSERT_EQ(Box05EditHatchParam(nullptr, "Hatch", &def), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(ok, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(Alerted(68));
    EXPECT_TRUE(Alerted(70));
    EXPECT_EQ(def.family1.on, 0);
    EXPECT_EQ(def.family2.on, 1);
    EXPECT_EQ(def.blockOn, 0);
    EXPECT_DOUBLE_EQ(def.placement[1], 2);
    EXPECT_NEAR(def.family1.angle, 0.5, 1e-4) << "the angle comes back from its text";
}

TEST_F(HatchDialogs, TheListEditorCopiesTakesAndCancels)
{
    std::vector<HatchDef> table(HATCH_SLOTS);
    table[0] = Lines();
    std::strcpy(table[0].name, "Standard");
    int32_t index = 0;
    DialogDriver driver({[&](HWND dialog) {
                             EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, ID_EDIT))) << "slot 0 is fixed";
                             TestClickButton(dialog, ID_NEW);
                         },
                         [&](HWND dialog) {
                             SetDlgItemTextA(dialog, ID_FIELD, "Bricks");
                             TestClickButton(dialog, IDOK);
                         },
                         [&](HWND dialog) {
                             EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ID_EDIT)));
                             TestClickButton(dialog, ID_TAKE);
                         }});
    ASSERT_EQ(Box05EditHatchDefs(nullptr, "Hatches", table.data(), &index), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(index, 1);
    EXPECT_STREQ(table[1].name, "Bricks");
    EXPECT_EQ(table[1].family1.on, 1) << "a copy of the model";

    DialogDriver cancel({[&](HWND dialog) { TestClickButton(dialog, ID_NEW); },
                         [&](HWND dialog) {
                             SetDlgItemTextA(dialog, ID_FIELD, "Gone");
                             TestClickButton(dialog, IDOK);
                         },
                         [&](HWND dialog) { TestClickButton(dialog, IDCANCEL); }});
    EXPECT_EQ(Box05EditHatchDefs(nullptr, "Hatches", table.data(), &index), 0);
    EXPECT_EQ(table[2].name[0], 0);
}

TEST_F(HatchDialogs, AMultilineNeedsAUsedLine)
{
    MultiLineDef def{};
    std::strcpy(def.name, "double");
    def.lines[0].on = 1;
    def.lines[0].offset = 2;
    DialogDriver driver({[&](HWND dialog) {
                             EXPECT_EQ(IsDlgButtonChecked(dialog, ID_USED), static_cast<UINT>(BST_CHECKED));
                             Click(dialog, ID_USED); // line 1 no longer used
                             TestClickButton(dialog, IDOK);
                         },
                         [&](HWND dialog) {
                             EXPECT_TRUE(IsWindow(dialog));
                             Click(dialog, ID_USED);
                             SetDlgItemTextA(dialog, ID_FIELD, "5");
                             TestClickButton(dialog, IDOK);
                         }});
    ASSERT_EQ(Box14MultilineParam(nullptr, "Lines", &def, 0), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_TRUE(Alerted(62));
    EXPECT_EQ(def.lines[0].on, 1);
    EXPECT_NEAR(def.lines[0].offset, 5, 1e-9);
}

TEST_F(HatchDialogs, TheMultilineEditorFlagsOnlyWhatChanged)
{
    std::vector<MultiLineDef> table(MULTILINE_SLOTS);
    std::strcpy(table[0].name, "Standard");
    table[0].lines[0].on = 1;
    std::strcpy(table[3].name, "kept");
    g_DefChangeFlags = DefChangeFlags{};
    DialogDriver driver({[&](HWND dialog) { TestClickButton(dialog, ID_NEW); },
                         [&](HWND dialog) {
                             SetDlgItemTextA(dialog, ID_FIELD, "triple");
                             TestClickButton(dialog, IDOK);
                         },
                         [&](HWND dialog) { TestClickButton(dialog, IDOK); }});
    ASSERT_EQ(Box14EditMultilineDef(nullptr, "Multilines", table.data(), 0), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_STREQ(table[1].name, "triple");
    EXPECT_EQ(table[1].lines[0].on, 1);
    EXPECT_EQ(g_DefChangeFlags.multiLines, 1u);
    EXPECT_EQ(g_DefChangeFlags.multiLine[1], 1u);
    EXPECT_EQ(g_DefChangeFlags.multiLine[3], 0u);
}

} // namespace
