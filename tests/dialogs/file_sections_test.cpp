// FILESECTIONS: OK returns bit 0 and exactly the chosen sections with the
// modes kept; a stored default survives Cancel, the mask does not change.
#include <gtest/gtest.h>

#include "common/dialog_driver.h"
#include "dialogs/box15.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_LIST = 170, ID_REPLACE = 300, ID_STORE = 550, ID_ALL = 552, ID_NONE = 553;

class FileSectionsDialog : public LanguageDialogTest {};

DialogStep Click(int id) { return [id](HWND d) { TestClickButton(d, id); }; }

TEST_F(FileSectionsDialog, OkSetsBitZeroAndOnlyTheChosenSections)
{
    // Bit 0 clear, bit 27 set (no section of that number), bit 2 chosen, bit 31 a mode.
    uint32_t mask = 0x88000004u;
    int rows = 0, selected = 0;
    DialogDriver driver({[&](HWND d) {
        rows = int(SendDlgItemMessageA(d, ID_LIST, LB_GETCOUNT, 0, 0));
        selected = int(SendDlgItemMessageA(d, ID_LIST, LB_GETSELCOUNT, 0, 0));
        SendDlgItemMessageA(d, ID_LIST, LB_SETSEL, TRUE, 4); // bit 5
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box15FileSections(nullptr, "Sections", &mask, nullptr, 0), 1);
    EXPECT_EQ(rows, 23);
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(mask, 0x80000000u | 0x1u | 0x4u | 0x20u);
}

TEST_F(FileSectionsDialog, NoneStillGivesBitZero)
{
    uint32_t mask = 0xFFFEu;
    DialogDriver driver({Click(ID_NONE), Click(IDOK)});
    ASSERT_EQ(Box15FileSections(nullptr, "Sections", &mask, nullptr, 0), 1);
    EXPECT_EQ(mask, 0x1u);
}

TEST_F(FileSectionsDialog, AStoredDefaultSurvivesCancelButTheMaskDoesNot)
{
    uint32_t mask = 0x40000002u, stored = 0x6u;
    DialogDriver driver({Click(ID_ALL), Click(ID_STORE), Click(IDCANCEL)});
    EXPECT_EQ(Box15FileSections(nullptr, "Sections", &mask, &stored, 1), 0);
    EXPECT_EQ(mask, 0x40000002u);
    EXPECT_EQ(stored, 0x40000000u | 0x00FFFFFFu);
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[30]);
}

TEST_F(FileSectionsDialog, TheRadiosSetAndClearReplace)
{
    uint32_t mask = 0x2u;
    DialogDriver driver({Click(ID_REPLACE), Click(IDOK)});
    ASSERT_EQ(Box15FileSections(nullptr, "Sections", &mask, nullptr, 1), 1);
    EXPECT_EQ(mask & 0x40000000u, 0x40000000u);
}

} // namespace
