// The library slots dialog on the live table: marks stay when the dialog is
// closed, button 8 brings back the table as it was, a pending entry marked
// for closing goes at once, the close question is asked once, and a 51st
// library is refused.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/dialog_driver.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box06_library.h"
#include "dialogs/box15.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_LIST = 170, ID_NEW = 550, ID_CLOSE = 552, ID_SAVE = 556, ID_RESTORE = 8;

class LibrarySlots : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        Reset();
        savedChooser_ = g_Box15ChooserHook;
    }
    void TearDown() override
    {
        g_Box15ChooserHook = savedChooser_;
        Reset();
        LanguageDialogTest::TearDown();
    }
    static void Reset()
    {
        for (LibrarySlot &s : g_LibrarySlots.slots)
            SymbolFreeLibrarySlot(&s);
        g_LibrarySlots.count = 0;
        g_LibraryBlockIndex.count = 0;
    }
    // Libraries as the table holds them after loading; their titles sort as named.
    static void Open(std::initializer_list<const char *> titles)
    {
        for (const char *title : titles) {
            LibrarySlot &s = g_LibrarySlots.slots[g_LibrarySlots.count++];
            std::snprintf(s.info.title, sizeof s.info.title, "%s", title);
            std::snprintf(s.path, sizeof s.path, "C:\\libraries\\%s.zvl", title);
        }
    }
    static uint32_t Marks(int slot) { return g_LibrarySlots.slots[slot].further[LIBRARY_MARK_WORD]; }
    static void SelectAll(HWND d)
    {
        SendDlgItemMessageA(d, ID_LIST, LB_SETSEL, TRUE, -1);
    }
    static void Press(HWND d, int id)
    {
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(d, id));
    }
    Box15ChooserHook savedChooser_ = nullptr;
};

TEST_F(LibrarySlots, CloseKeepsTheMarksAndRestoreGoesBack)
{
    Open({"Bolts", "Nuts"});
    DialogDriver keep({[](HWND d) {
        SelectAll(d);
        Press(d, ID_SAVE);
        TestClickButton(d, IDCANCEL); // the Close button: no cancel
    }});
    EXPECT_EQ(Box06LibraryHandling(nullptr, "Libraries"), 1u);
    EXPECT_EQ(Marks(0), LIBRARY_MARK_SAVE);
    EXPECT_EQ(Marks(1), LIBRARY_MARK_SAVE);

    DialogDriver restore({[](HWND d) {
        SelectAll(d);
        Press(d, ID_SAVE);     // off again ...
        Press(d, ID_SAVE);     // ... and on
        Press(d, ID_CLOSE);
        Press(d, ID_RESTORE);  // everything as at the opening
        TestClickButton(d, IDOK);
    }});
    EXPECT_EQ(Box06LibraryHandling(nullptr, "Libraries"), 1u);
    EXPECT_EQ(Marks(0), LIBRARY_MARK_SAVE);
    EXPECT_EQ(Marks(1), LIBRARY_MARK_SAVE);
    EXPECT_EQ(g_LibrarySlots.count, 2);
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(LibrarySlots, TheCloseQuestionIsAskedOnceAndYesMarksTheChangedForSaving)
{
    Open({"Bolts", "Nuts", "Pins"});
    g_LibrarySlots.slots[0].modified = 1;
    g_LibrarySlots.slots[2].modified = 1;
    AlertAnswer() = ALERT_YES;
    DialogDriver driver({[](HWND d) {
        SelectAll(d);
        Press(d, ID_CLOSE);
        TestClickButton(d, IDOK);
    }});
    EXPECT_EQ(Box06LibraryHandling(nullptr, "Libraries"), 1u);
    EXPECT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(Marks(0), LIBRARY_MARK_CLOSE | LIBRARY_MARK_SAVE);
    EXPECT_EQ(Marks(1), LIBRARY_MARK_CLOSE);
    EXPECT_EQ(Marks(2), LIBRARY_MARK_CLOSE | LIBRARY_MARK_SAVE);
    EXPECT_EQ(g_LibrarySlots.count, 3) << "loaded libraries are only marked";
}

// The chooser answers with a new library's file.
int ChooseNewFile(const char *, FileDialogState *state, const FileTypeSelection &)
{
    std::snprintf(state->current, sizeof state->current, "%s", "C:\\libraries\\Fresh.zvl");
    return 1;
}

TEST_F(LibrarySlots, ANewLibraryCountsOnlyWithItsDetailsAndGoesAtOnceWhenClosed)
{
    Open({"Bolts"});
    g_Box15ChooserHook = ChooseNewFile;
    int afterCancel = -1, afterOk = -1, afterClose = -1;
    DialogDriver driver({
        [](HWND d) { TestClickButton(d, ID_NEW); },
        [](HWND details) { TestClickButton(details, IDCANCEL); },
        [&](HWND d) {
            afterCancel = g_LibrarySlots.count;
            TestClickButton(d, ID_NEW);
        },
        [](HWND details) { TestClickButton(details, IDOK); },
        [&](HWND d) {
            afterOk = g_LibrarySlots.count;
            // The new entry is selected; marking it for closing drops it.
            Press(d, ID_CLOSE);
            afterClose = g_LibrarySlots.count;
            TestClickButton(d, IDOK);
        },
    });
    EXPECT_EQ(Box06LibraryHandling(nullptr, "Libraries"), 1u);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(afterCancel, 1) << "cancelled details leave the table";
    EXPECT_EQ(afterOk, 2);
    EXPECT_EQ(afterClose, 1);
    EXPECT_STREQ(g_LibrarySlots.slots[0].info.title, "Bolts");
    EXPECT_EQ(Marks(0), 0u);
}

TEST_F(LibrarySlots, AFiftyFirstLibraryIsRefused)
{
    for (int i = 0; i < SYMBOL_LIBRARY_SLOTS; ++i) {
        char title[16];
        std::snprintf(title, sizeof title, "L%02d", i);
        Open({title});
    }
    g_Box15ChooserHook = ChooseNewFile;
    DialogDriver driver({[](HWND d) {
        Press(d, ID_NEW);
        TestClickButton(d, IDOK);
    }});
    EXPECT_EQ(Box06LibraryHandling(nullptr, "Libraries"), 1u);
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[71]);
    EXPECT_EQ(g_LibrarySlots.count, SYMBOL_LIBRARY_SLOTS);
}

} // namespace
