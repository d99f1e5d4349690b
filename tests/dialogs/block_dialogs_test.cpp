// The block dialogs: typed block names in folders, the attribute list's
// limits, and Cancel leaving the caller's attributes as they were.
#include "language_dialogs.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "common/dialog_driver.h"
#include "database/symbol_block.h"
#include "app/system.h"
#include "database/storage.h"
#include "database/symbol_browse.h"
#include "database/symbol_index.h"
#include "database/symbol_find.h"
#include "database/object_attributes.h"
#include "app/system_defs.h"
#include "dialogs/box05_hatch.h"
#include "dialogs/box06_instance.h"
#include "dialogs/box08_blockcopy.h"
#include "dialogs/box12.h"
#include "dialogs/box15.h"
#include "database/object_property.h"
#include "database/undo.h"
#include "common/test_objects.h"
#include "language/language.h"

namespace {

class BlockDialogs : public LanguageDialogTest {};

TEST_F(BlockDialogs, TypedNamesAreComposedWithTheirFolder)
{
    char full[BLOCK_NAME_SIZE];
    EXPECT_EQ(Box12ComposeBlockName("a\\", "\\x", full), 0);
    EXPECT_STREQ(full, "a\\x");
    EXPECT_EQ(Box12ComposeBlockName("a\\", "x\\\\b", full), 92);
    EXPECT_EQ(Box12ComposeBlockName("", "a\\\\b", full), 92);
    EXPECT_EQ(Box12ComposeBlockName(std::string(40, 'f').c_str(), std::string(24, 'n').c_str(), full), 42);
    EXPECT_EQ(Box12ComposeBlockName(std::string(40, 'f').c_str(), std::string(23, 'n').c_str(), full), 0);

    char leaf[BLOCK_NAME_SIZE], folder[BLOCK_NAME_SIZE];
    Box12PathSplit("name", leaf, folder);
    EXPECT_STREQ(leaf, "name");
    EXPECT_STREQ(folder, "");
    Box12PathSplit("a\\b\\", leaf, folder);
    EXPECT_STREQ(leaf, "");
    EXPECT_STREQ(folder, "a\\b\\");
}

TEST_F(BlockDialogs, ATypedLeafTakesTheExactNameElseTheFirstBeginningWithIt)
{
    const char *rows[] = {"Abc", "abd", "ab", "x"};
    EXPECT_EQ(Box12MatchBlockName(rows, 4, "ab"), 2);
    EXPECT_EQ(Box12MatchBlockName(rows, 2, "ab"), 0); // "Abc" comes first, case aside
    EXPECT_EQ(Box12MatchBlockName(rows, 4, "abz"), -1);
    EXPECT_EQ(Box12MatchBlockName(rows, 4, "x"), 3);
}

TEST_F(BlockDialogs, TheAttributeListHoldsTwoHundredUniqueNames)
{
    std::vector<AttributeEntry> entries(ATTRIBUTE_ENTRIES_MAX);
    int count = 0;
    AttributeEntry e;
    for (int i = 0; i < ATTRIBUTE_ENTRIES_MAX; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "n%d", i);
        SymbolMakeAttribute(&e, 400, name, "");
        ASSERT_EQ(Box12AttribAdd(entries.data(), &count, &e), 0) << i;
    }
    EXPECT_EQ(count, 200);
    SymbolMakeAttribute(&e, 400, "one more", "");
    EXPECT_EQ(Box12AttribAdd(entries.data(), &count, &e), 67);
    SymbolMakeAttribute(&e, 400, "n7", "");
    EXPECT_EQ(Box12AttribAdd(entries.data(), &count, &e), 25);
    EXPECT_EQ(count, 200);
}

TEST_F(BlockDialogs, CancelledAttributeDialogLeavesTheCallersArray)
{
    std::vector<AttributeEntry> entries(ATTRIBUTE_ENTRIES_MAX);
    SymbolMakeAttribute(&entries[0], 400, "size", "M8");
    SymbolMakeAttribute(&entries[1], 300, "kind", "bolt");
    int count = 2;
    {
        // Deletes the first row (answered yes), then cancels.
        DialogDriver driver({[](HWND d) {
                                 SendDlgItemMessageA(d, 170, LB_SETCURSEL, 0, 0);
                                 TestClickButton(d, 13);
                             },
                             [](HWND d) { TestClickButton(d, IDCANCEL); }});
        AlertAnswer() = ALERT_YES;
        EXPECT_EQ(Box12BlockAttrib(nullptr, "t", "*", "B", entries.data(), &count, 1), 0u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(count, 2);
    EXPECT_STREQ(entries[0].name, "size");
    EXPECT_STREQ(entries[1].name, "kind");
    {
        DialogDriver driver({[](HWND d) {
                                 SendDlgItemMessageA(d, 170, LB_SETCURSEL, 0, 0);
                                 TestClickButton(d, 13);
                             },
                             [](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_EQ(Box12BlockAttrib(nullptr, "t", "*", "B", entries.data(), &count, 1), 1u);
    }
    AlertAnswer() = 0;
    EXPECT_EQ(count, 1);
    EXPECT_STREQ(entries[0].name, "kind");
}

TEST_F(BlockDialogs, TheAttributeEditorSetsValueAndKind)
{
    AttributeEntry e;
    SymbolMakeAttribute(&e, 400, "note", "one\xB6two");
    std::string shown;
    bool definitionEnabled = true;
    {
        // Mode 0: a value; a number of 1e101 is refused, 12 taken.
        DialogDriver driver({[&](HWND d) {
                                 shown = TestItemText(d, 200);
                                 definitionEnabled = IsWindowEnabled(GetDlgItem(d, 302)) != 0;
                                 TestClickButton(d, 301);
                                 SetDlgItemTextA(d, 200, "1e101");
                                 TestClickButton(d, IDOK);
                             },
                             [](HWND d) {
                                 SetDlgItemTextA(d, 200, "12");
                                 TestClickButton(d, IDOK);
                             }});
        EXPECT_EQ(Box12AttribEdit(nullptr, "edit", &e, 0), 1u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(shown, "one\r\ntwo");
    EXPECT_FALSE(definitionEnabled);
    EXPECT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(e.head.kind, 401);
    EXPECT_STREQ(e.value, "12");
    {
        // Mode 1: a text definition on two lines; an empty number is accepted first.
        DialogDriver driver({[](HWND d) {
            TestClickButton(d, 300);
            TestClickButton(d, 302);
            SetDlgItemTextA(d, 200, "a\r\nb");
            TestClickButton(d, IDOK);
        }});
        EXPECT_EQ(Box12AttribEdit(nullptr, "edit", &e, 1), 1u);
    }
    EXPECT_EQ(e.head.kind, 300);
    EXPECT_STREQ(e.value, "a\xB6" "b");
    {
        DialogDriver driver({[](HWND d) {
            SetDlgItemTextA(d, 200, "");
            TestClickButton(d, 301);
            TestClickButton(d, IDOK);
        }});
        EXPECT_EQ(Box12AttribEdit(nullptr, "edit", &e, 1), 1u);
    }
    EXPECT_EQ(e.head.kind, 301);
    EXPECT_STREQ(e.value, "");
    EXPECT_EQ(Alerts().size(), 1u);
}

} // namespace

namespace {

class BlockInsertDialog : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        ASSERT_TRUE(TestFreshObjectLists());
        for (const char *name : {"Abc", "abd", "Mech\\Bolt"})
            ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, name), nullptr);
        SymbolRebuildOwnIndex();
        SymbolBrowseFree();
    }
    void TearDown() override
    {
        SymbolBrowseFree();
        MemFreeChunks();
        MemInitLists();
        LanguageDialogTest::TearDown();
    }
    // Types the leaf and confirms; the slot as the dialog left it.
    static BlockInsertSlot Insert(const char *typed, uint32_t *result)
    {
        BlockInsertSlot slot{};
        std::strcpy(slot.nameLibrary, "*");
        slot.scale = 2.0;
        DialogDriver driver({[typed](HWND d) {
            SetDlgItemTextA(d, 200, typed);
            TestClickButton(d, IDOK);
        }});
        *result = Box12BlockInsert(nullptr, "insert", &slot, 1);
        return slot;
    }
};

TEST_F(BlockInsertDialog, ATypedBeginningTakesTheFirstBlockExactNamesWin)
{
    uint32_t result = 0;
    EXPECT_STREQ(Insert("ab", &result).nameBlock, "Abc");
    EXPECT_EQ(result, 1u);
    ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, "ab"), nullptr);
    SymbolRebuildOwnIndex();
    SymbolBrowseFree();
    const BlockInsertSlot exact = Insert("ab", &result);
    EXPECT_STREQ(exact.nameBlock, "ab");
    EXPECT_DOUBLE_EQ(exact.scale, 2.0);
    // A name that begins no block: entry 44, the dialog stays until cancelled.
    BlockInsertSlot slot{};
    std::strcpy(slot.nameLibrary, "*");
    {
        DialogDriver driver({[](HWND d) {
                                 SetDlgItemTextA(d, 200, "zz");
                                 TestClickButton(d, IDOK);
                             },
                             [](HWND d) { TestClickButton(d, IDCANCEL); }});
        EXPECT_EQ(Box12BlockInsert(nullptr, "insert", &slot, 1), 0u);
    }
    ASSERT_FALSE(Alerts().empty());
    char text[256];
    std::snprintf(text, sizeof text, eAlertTextOK[44], "zz");
    EXPECT_EQ(Alerts().back(), text);
    // A typed folder path: "\x" in the folder is taken from the folder.
    EXPECT_STREQ(Insert("Mech\\Bolt", &result).nameBlock, "Mech\\Bolt");
}

} // namespace

namespace {

// Double-clicks a row of a list as the user would.
void DoubleClickRow(HWND dialog, int list, int row)
{
    SendDlgItemMessageA(dialog, list, LB_SETCURSEL, WPARAM(row), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(list, LBN_DBLCLK), LPARAM(GetDlgItem(dialog, list)));
}

// Pixels of the preview control that differ from its top-left corner.
int DrawnPreviewPixels(HWND dialog)
{
    HWND preview = GetDlgItem(dialog, 700);
    if (!preview)
        return -1;
    InvalidateRect(preview, nullptr, FALSE);
    UpdateWindow(preview);
    RECT r{};
    GetClientRect(preview, &r);
    HDC dc = GetDC(preview);
    const COLORREF background = GetPixel(dc, 1, 1);
    int drawn = 0;
    for (int y = 1; y < r.bottom - 1; ++y)
        for (int x = 1; x < r.right - 1; ++x)
            drawn += GetPixel(dc, x, y) != background;
    ReleaseDC(preview, dc);
    return drawn;
}

// The insert dialog shows the block the user points at, and nothing with the
// preview switched off.
TEST_F(BlockInsertDialog, ThePreviewShowsTheChosenBlockWhileSwitchedOn)
{
    Unit *abc = SymbolFindBlock("*", "Abc");
    ASSERT_NE(abc, nullptr);
    ASSERT_TRUE(TestAddLineToBlock(abc, 0, 0, 40, 20));
    BlockInsertSlot slot{};
    std::strcpy(slot.nameLibrary, "*");
    std::strcpy(slot.nameBlock, "abd");
    slot.scale = 1.0;
    slot.display = 1;
    int empty = -1, chosen = -1, switchedOff = -1;
    DialogDriver driver({[&](HWND d) {
        empty = DrawnPreviewPixels(d); // "abd" has no members
        const int row = int(SendDlgItemMessageA(d, 170, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Abc")));
        SendDlgItemMessageA(d, 170, LB_SETCURSEL, WPARAM(row), 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(170, LBN_SELCHANGE), LPARAM(GetDlgItem(d, 170)));
        chosen = DrawnPreviewPixels(d);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(250, BN_CLICKED), LPARAM(GetDlgItem(d, 250)));
        switchedOff = DrawnPreviewPixels(d);
        TestClickButton(d, IDCANCEL);
    }});
    EXPECT_EQ(Box12BlockInsert(nullptr, "insert", &slot, 1), 0u);
    EXPECT_EQ(empty, 0);
    EXPECT_GT(chosen, 20) << "the line of the block is drawn";
    EXPECT_EQ(switchedOff, 0);
}

TEST_F(BlockInsertDialog, TheChooserWalksFoldersAndTakesANameThatDoesNotExist)
{
    BlockSelect choice{}; // an empty library stands for the own blocks
    bool comboEnabled = true;
    std::string folderText;
    DialogDriver driver({[&](HWND d) {
        comboEnabled = IsWindowEnabled(GetDlgItem(d, 180)) != 0;
        DoubleClickRow(d, 171, 0); // "Mech"
        folderText = TestItemText(d, 350);
        SetDlgItemTextA(d, 200, "Nut");
        TestClickButton(d, IDOK);
    }});
    EXPECT_EQ(Box12BlockSelect(nullptr, "choose", &choice, 0), 1u);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_FALSE(comboEnabled);
    EXPECT_EQ(folderText, "Mech\\");
    EXPECT_STREQ(choice.library, "*");
    EXPECT_STREQ(choice.block, "Mech\\Nut");

    // Up again, and a double click on a block chooses it; Cancel keeps the record.
    DialogDriver pick({[&](HWND d) {
        comboEnabled = IsWindowEnabled(GetDlgItem(d, 180)) != 0;
        DoubleClickRow(d, 171, 0); // the up entry
        const int row = int(SendDlgItemMessageA(d, 170, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("abd")));
        DoubleClickRow(d, 170, row);
    }});
    EXPECT_EQ(Box12BlockSelect(nullptr, "choose", &choice, 1), 1u);
    EXPECT_TRUE(comboEnabled);
    EXPECT_STREQ(choice.block, "abd");
    DialogDriver cancel({[](HWND d) {
        SetDlgItemTextA(d, 200, "Abc");
        TestClickButton(d, IDCANCEL);
    }});
    EXPECT_EQ(Box12BlockSelect(nullptr, "choose", &choice, 1), 0u);
    EXPECT_STREQ(choice.block, "abd");
}

TEST_F(BlockInsertDialog, TheHatchPatternBlockIsChosenWithTheChooser)
{
    HatchDef def{};
    std::strcpy(def.name, "blocks");
    def.family1 = {1, 0, 0.5};
    def.placement[1] = 1;
    std::string shown;
    DialogDriver driver({[](HWND d) { TestClickButton(d, 550); },
                         [](HWND d) {
                             SetDlgItemTextA(d, 200, "Abc");
                             TestClickButton(d, IDOK);
                         },
                         [&](HWND d) {
                             shown = TestItemText(d, 350) + "|" + TestItemText(d, 351);
                             TestClickButton(d, IDOK);
                         }});
    ASSERT_EQ(Box05EditHatchParam(nullptr, "Hatch", &def), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(shown, std::string(eUniTexts[7]) + "|Abc");
    EXPECT_STREQ(def.blockLibrary, "*");
    EXPECT_STREQ(def.blockName, "Abc");
}

// Types a name into the name box and confirms it.
DialogStep TypeName(const char *name)
{
    return [name](HWND d) {
        SetDlgItemTextA(d, 200, name);
        TestClickButton(d, IDOK);
    };
}

DialogStep TypeLeafAndClick(const char *leaf, int button)
{
    return [leaf, button](HWND d) {
        SetDlgItemTextA(d, 200, leaf);
        TestClickButton(d, button);
    };
}

std::string AlertText(int entry, const char *name)
{
    char text[512];
    std::snprintf(text, sizeof text, eAlertTextOK[entry], name);
    return text;
}

TEST_F(BlockInsertDialog, TheManagerRenamesBlocksButNotOntoAnExistingName)
{
    BlockSelect record{};
    std::strcpy(record.library, "*");
    DialogDriver driver({TypeLeafAndClick("abd", 550), TypeName("Abc"), // refused: 93
                         TypeLeafAndClick("abd", 550), TypeName("Washer"),
                         [](HWND d) { TestClickButton(d, IDOK); }});
    EXPECT_EQ(Box12BlockEdit(nullptr, "manager", &record), 1u);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    ASSERT_FALSE(Alerts().empty());
    EXPECT_EQ(Alerts().front(), AlertText(93, "Abc"));
    EXPECT_EQ(SymbolFindBlock("*", "abd"), nullptr);
    EXPECT_NE(SymbolFindBlock("*", "Washer"), nullptr);
    EXPECT_NE(SymbolFindBlock("*", "Abc"), nullptr);
    EXPECT_STREQ(record.block, "Washer");
}

TEST_F(BlockInsertDialog, DeletingTheLastBlockOfAFolderGoesOneFolderUp)
{
    BlockSelect record{};
    std::strcpy(record.library, "*");
    std::strcpy(record.block, "Mech\\Bolt");
    std::string folderBefore, folderAfter;
    AlertAnswer() = ALERT_YES;
    DialogDriver driver({[&](HWND d) {
                             folderBefore = TestItemText(d, 350);
                             TestClickButton(d, 551);
                         },
                         [&](HWND d) {
                             folderAfter = TestItemText(d, 350);
                             TestClickButton(d, IDCANCEL);
                         }});
    EXPECT_EQ(Box12BlockEdit(nullptr, "manager", &record), 0u); // cancelled: the record stays
    AlertAnswer() = 0;
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(folderBefore, "Mech\\");
    EXPECT_EQ(folderAfter, "");
    EXPECT_EQ(SymbolFindBlock("*", "Mech\\Bolt"), nullptr); // done at once, Cancel does not undo it
    EXPECT_STREQ(record.block, "Mech\\Bolt");
}

TEST_F(BlockInsertDialog, TheManagerMakesAndRenamesFolders)
{
    BlockSelect record{};
    std::strcpy(record.library, "*");
    DialogDriver driver({[](HWND d) { TestClickButton(d, 554); }, TypeName("Parts\\"),
                         [](HWND d) {
                             const int row = int(SendDlgItemMessageA(d, 171, LB_FINDSTRINGEXACT, WPARAM(-1),
                                                                     LPARAM("Mech")));
                             SendDlgItemMessageA(d, 171, LB_SETCURSEL, WPARAM(row), 0);
                             TestClickButton(d, 555);
                         },
                         TypeName("Tools"), [](HWND d) { TestClickButton(d, IDOK); }});
    EXPECT_EQ(Box12BlockEdit(nullptr, "manager", &record), 1u);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_TRUE(Alerts().empty()) << Alerts().front();
    EXPECT_NE(SymbolFindBlock("*", "Parts\\"), nullptr);
    EXPECT_NE(SymbolFindBlock("*", "Tools\\Bolt"), nullptr);
    EXPECT_EQ(SymbolFindBlock("*", "Mech\\Bolt"), nullptr);
}

TEST_F(BlockInsertDialog, AFolderCopyAnsweredNoCopiesOnlyTheMissingBlocks)
{
    for (const char *n : {"Src\\1", "Src\\2", "Src\\3", "Src\\4", "Src\\5", "Dst\\2", "Dst\\4"})
        ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, n), nullptr);
    SymbolRebuildOwnIndex();
    Unit *kept = SymbolFindBlock("*", "Dst\\2");
    AlertAnswer() = ALERT_NO;
    EXPECT_EQ(Box08CopyFolder(nullptr, "*", "Src\\1", "*", "Dst\\x"), 3);
    AlertAnswer() = 0;
    EXPECT_EQ(Alerts().size(), 1u); // asked once
    EXPECT_EQ(SymbolFindBlock("*", "Dst\\2"), kept);
    for (const char *n : {"Dst\\1", "Dst\\3", "Dst\\5"})
        EXPECT_NE(SymbolFindBlock("*", n), nullptr) << n;
}

TEST_F(BlockInsertDialog, TheCopyDialogCountsWhatItCopiedAlsoWhenCancelled)
{
    for (const char *n : {"Src\\1", "Src\\2", "Src\\3", "Src\\4", "Src\\5", "Dst\\2", "Dst\\4", "a\\b\\c"})
        ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, n), nullptr);
    SymbolRebuildOwnIndex();
    BlockFolderCopy record{"*", "Src\\1", "*", "Dst\\x", 1, 1};
    int copied = -1;
    AlertAnswer() = ALERT_NO;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 553); }, [](HWND d) { TestClickButton(d, IDCANCEL); }});
        EXPECT_EQ(Box08BlockFolderCopy(nullptr, "copy", &record, &copied), 0u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    AlertAnswer() = 0;
    EXPECT_EQ(copied, 3);
    EXPECT_STREQ(record.targetBlock, "Dst\\x"); // Cancel keeps the record
    for (const char *n : {"Dst\\1", "Dst\\3", "Dst\\5"})
        EXPECT_NE(SymbolFindBlock("*", n), nullptr) << n;

    // Choosing the source again gives the target the source's leaf in its own folder.
    std::strcpy(record.sourceBlock, "a\\b\\c");
    std::strcpy(record.targetBlock, "x\\y");
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 550); }, [](HWND d) { TestClickButton(d, IDOK); },
                             [](HWND d) { TestClickButton(d, 552); }, [](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_EQ(Box08BlockFolderCopy(nullptr, "copy", &record, &copied), 1u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(copied, 1);
    EXPECT_STREQ(record.targetBlock, "x\\c");
    EXPECT_NE(SymbolFindBlock("*", "x\\c"), nullptr);
}

} // namespace

namespace {

class InstanceDialogTest : public LanguageDialogTest {};

TEST_F(InstanceDialogTest, ConfirmedWithoutEditsTheMatrixComesBack)
{
    ObjectAttributes set{};
    std::strcpy(set.placement.library, "*");
    std::strcpy(set.placement.block, "B");
    Box06AssemblePlacement(&set.placement.placement, 2.0, 3.0, 0.5235987755982988, 0.1, 5.125, -7.75);
    const Matrix before = set.placement.placement;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_EQ(Box06EditBlockInstance(nullptr, "t", &set), 1u);
    }
    const double *a = &before.a, *b = &set.placement.placement.a;
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-12) << i;
    // A new rotation typed: 90 degrees turns the unit x vector onto y.
    {
        DialogDriver driver({[](HWND d) {
            SetDlgItemTextA(d, 202, "1");
            SetDlgItemTextA(d, 203, "1");
            SetDlgItemTextA(d, 204, "90");
            SetDlgItemTextA(d, 205, "0");
            TestClickButton(d, IDOK);
        }});
        EXPECT_EQ(Box06EditBlockInstance(nullptr, "t", &set), 1u);
    }
    EXPECT_NEAR(set.placement.placement.a, 0, 1e-12);
    EXPECT_NEAR(set.placement.placement.b, 1, 1e-12);
    EXPECT_NEAR(set.placement.placement.tx, 5.125, 1e-12);
    // Cancel leaves the record as it was.
    const Matrix kept = set.placement.placement;
    {
        DialogDriver driver({[](HWND d) {
            SetDlgItemTextA(d, 200, "100");
            TestClickButton(d, IDCANCEL);
        }});
        EXPECT_EQ(Box06EditBlockInstance(nullptr, "t", &set), 0u);
    }
    EXPECT_EQ(set.placement.placement.tx, kept.tx);
}

} // namespace

namespace {

// The several-objects placement dialogs: what the boxes mark, and that only
// OK reaches the record.
class PlacementDialogs : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        ASSERT_TRUE(TestFreshObjectLists());
        SymbolBrowseFree();
        savedChooser_ = g_Box15ChooserHook;
        set_ = std::make_unique<ObjectAttributes>();
        ObjectAttributesInit(set_.get());
        std::strcpy(set_->placement.library, "*");
        std::strcpy(set_->placement.block, "B");
        Box06AssemblePlacement(&set_->placement.placement, 2.0, 3.0, 0.5, 0.1, 5.0, -7.0);
        std::strcpy(set_->bitmap.name, "C:\\pictures\\a.bmp");
        Box06AssemblePlacement(&set_->bitmap.placement, 1.0, 1.0, 0.0, 0.0, 1.0, 2.0);
        set_->bitmap.pixelWidth = -1;
    }
    void TearDown() override
    {
        g_Box15ChooserHook = savedChooser_;
        SymbolBrowseFree();
        MemFreeChunks();
        MemInitLists();
        LanguageDialogTest::TearDown();
    }
    static std::string &ChosenPath()
    {
        static std::string path;
        return path;
    }
    static int Choose(const char *, FileDialogState *state, const FileTypeSelection &)
    {
        lstrcpynA(state->current, ChosenPath().c_str(), sizeof state->current);
        return 1;
    }
    std::unique_ptr<ObjectAttributes> set_;
    Box15ChooserHook savedChooser_ = nullptr;
};

// The boxes 500 to 504 as a string of 0 and 1.
std::string Boxes(HWND d)
{
    std::string out;
    for (int id = 500; id <= 504; ++id)
        out += IsDlgButtonChecked(d, id) == BST_CHECKED ? '1' : '0';
    return out;
}

TEST_F(PlacementDialogs, EnteringAFieldMarksOnlyItsValueForEveryInstance)
{
    std::string atOpen, afterY;
    bool okHasFocus = false;
    {
        DialogDriver driver({[&](HWND d) {
            atOpen = Boxes(d);
            okHasFocus = GetFocus() == GetDlgItem(d, IDOK);
            SetFocus(GetDlgItem(d, 201));
            SetDlgItemTextA(d, 201, "9");
            afterY = Boxes(d);
            TestClickButton(d, IDOK);
        }});
        EXPECT_EQ(Box06EditBlockInstanceMulti(nullptr, "t", set_.get()), 1u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(atOpen, "00000");
    EXPECT_TRUE(okHasFocus);
    EXPECT_EQ(afterY, "00010");
    EXPECT_EQ(set_->placement.mask, 0x80u) << "y alone";
    EXPECT_NEAR(set_->placement.placement.ty, 9.0, 1e-9);
    EXPECT_NEAR(set_->placement.placement.tx, 5.0, 1e-9);
    // Reset marks the scales and angles; bits set before stay set.
    {
        DialogDriver driver({[](HWND d) {
            TestClickButton(d, 551);
        }, [](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_EQ(Box06EditBlockInstanceMulti(nullptr, "t", set_.get()), 1u);
    }
    EXPECT_EQ(set_->placement.mask, 0xBCu);
    EXPECT_NEAR(set_->placement.placement.a, 1.0, 1e-12);
    EXPECT_NEAR(set_->placement.placement.d, 1.0, 1e-12);
    // Cancel: the record as it was, whatever was marked.
    const ObjectAttributes before = *set_;
    {
        DialogDriver driver({[](HWND d) {
            SetFocus(GetDlgItem(d, 200));
            SetDlgItemTextA(d, 200, "100");
            CheckDlgButton(d, 500, BST_CHECKED);
            TestClickButton(d, IDCANCEL);
        }});
        EXPECT_EQ(Box06EditBlockInstanceMulti(nullptr, "t", set_.get()), 0u);
    }
    EXPECT_EQ(std::memcmp(&before, set_.get(), sizeof before), 0);
}

TEST_F(PlacementDialogs, AChosenBlockIsShownAndMarkedForEveryInstance)
{
    ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, "Other"), nullptr);
    SymbolRebuildOwnIndex();
    std::string shown[2], marks;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, 550); },
                             [](HWND d) { // the block chooser
                                 SetDlgItemTextA(d, 200, "Other");
                                 TestClickButton(d, IDOK);
                             },
                             [&](HWND d) {
                                 shown[0] = TestItemText(d, 350);
                                 shown[1] = TestItemText(d, 351);
                                 marks = Boxes(d);
                                 TestClickButton(d, IDOK);
                             }});
        EXPECT_EQ(Box06EditBlockInstanceMulti(nullptr, "t", set_.get()), 1u);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(shown[0], eUniTexts[7]) << "the own blocks by their name";
    EXPECT_EQ(shown[1], "Other");
    EXPECT_EQ(marks, "11000");
    EXPECT_EQ(set_->placement.mask, 0x3u);
    EXPECT_STREQ(set_->placement.library, "*");
    EXPECT_STREQ(set_->placement.block, "Other");
}

TEST_F(PlacementDialogs, SeveralBitmapsHaveNoBlockBoxAndTheirOwnBits)
{
    ChosenPath() = "C:\\pictures\\b.bmp";
    g_Box15ChooserHook = Choose;
    bool blockBoxShown = true;
    std::string label, details;
    {
        DialogDriver driver({[&](HWND d) {
                                 blockBoxShown = IsWindowVisible(GetDlgItem(d, 501)) != FALSE;
                                 label = TestItemText(d, 352);
                                 SetFocus(GetDlgItem(d, 200));
                                 SetFocus(GetDlgItem(d, 204));
                                 TestClickButton(d, 550);
                             },
                             [&](HWND d) {
                                 details = TestItemText(d, 351);
                                 TestClickButton(d, IDOK);
                             }});
        EXPECT_EQ(Box06EditBitmapInstanceMulti(nullptr, "t", set_.get()), 1u);
    }
    EXPECT_FALSE(blockBoxShown);
    EXPECT_EQ(label, eUniTexts[85]);
    EXPECT_EQ(details, "");
    EXPECT_EQ(set_->bitmap.mask, 0x1u | 0x20u | 0x1Eu) << "file, x, scales and angles";
    EXPECT_STREQ(set_->bitmap.name, "C:\\pictures\\b.bmp");
    EXPECT_EQ(set_->placement.mask, 0u) << "the instance group is not touched";
}

TEST_F(PlacementDialogs, OneBitmapShowsItsImageAndRefusesAPathItCannotHold)
{
    set_->bitmap.pixelWidth = 640;
    set_->bitmap.pixelHeight = 480;
    set_->bitmap.bitsPerPixel = 24;
    set_->bitmap.resolutionX = set_->bitmap.resolutionY = 96.0;
    ChosenPath() = "C:\\" + std::string(300, 'p') + ".bmp";
    g_Box15ChooserHook = Choose;
    std::string details;
    {
        DialogDriver driver({[&](HWND d) {
                                 details = TestItemText(d, 351);
                                 TestClickButton(d, 550);
                             },
                             [](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_EQ(Box06EditBitmapInstance(nullptr, "t", set_.get()), 1u);
    }
    char expected[256];
    std::snprintf(expected, sizeof expected, eUniTexts[6], 24, 640, 480, 96, 96);
    EXPECT_EQ(details, expected);
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_STREQ(set_->bitmap.name, "C:\\pictures\\a.bmp") << "the old file stays";
}

// Two instances of one block, both selected, edited from the property sheet
// of several objects as the Object menu does it.
class PlacementEdit : public PlacementDialogs {
protected:
    void SetUp() override
    {
        PlacementDialogs::SetUp();
        if (!g_WorkArrays.pathPoints) {
            ASSERT_EQ(MemInitWork(), 1); // the scratch buffers
        }
        UndoReset();
        Unit *line = TestNewLine(0, 0, 10, 0);
        ASSERT_NE(line, nullptr);
        line->flags |= UNIT_SELECTED;
        int replaced = 0;
        ASSERT_EQ(SymbolCreateBlock("*", "Box", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, &replaced), 1);
        MemListDelete(LIST_DRAWING, line);
        BlockInsertSlot entry{};
        std::strcpy(entry.nameLibrary, "*");
        std::strcpy(entry.nameBlock, "Box");
        entry.scale = 1.0;
        for (double x : {10.0, 50.0}) {
            const Matrix m{1, 0, 0, 1, x, 20};
            ASSERT_EQ(SymbolInsert(&entry, &m), 1);
        }
        UndoReset();
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
            UndoStampPermanent(u);
            u->flags |= UNIT_SELECTED;
        }
        ASSERT_EQ(TestAliveUnits().size(), 2u);
        step_ = g_UndoStep;
    }
    // Opens the sheet, the instance dialog from its special button, types
    // the scales there and closes both with the buttons given.
    int Edit(int placementButton, int sheetButton)
    {
        DialogDriver driver({
            [](HWND sheet) {
                HWND page = PropSheet_GetCurrentPageHwnd(sheet);
                PostMessageA(page, WM_COMMAND, MAKEWPARAM(550, BN_CLICKED), LPARAM(GetDlgItem(page, 550)));
            },
            [placementButton](HWND d) {
                SetFocus(GetDlgItem(d, 202));
                SetDlgItemTextA(d, 202, "2");
                SetDlgItemTextA(d, 203, "2");
                TestClickButton(d, placementButton);
            },
            [sheetButton](HWND sheet) { PropSheet_PressButton(sheet, sheetButton); },
        });
        ObjectAttributes set;
        const int result = ObjectEditPropertiesMulti(&set, UNIT_SELECTED);
        EXPECT_EQ(driver.stepsDone(), 3);
        EXPECT_EQ(driver.stuckDialogs(), 0);
        return result;
    }
    static std::vector<Matrix> Placements()
    {
        std::vector<Matrix> out;
        for (Unit *u : TestAliveUnits())
            out.push_back(u->instance.placement);
        return out;
    }
    int32_t step_ = 0;
};

TEST_F(PlacementEdit, NewScalesReachEveryInstanceInOneUndoStep)
{
    ASSERT_EQ(Edit(IDOK, PSBTN_OK), 1);
    EXPECT_EQ(g_UndoStep, step_ + 1);
    std::vector<Matrix> now = Placements();
    ASSERT_EQ(now.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(now[i].a, 2.0, 1e-12) << i;
        EXPECT_NEAR(now[i].d, 2.0, 1e-12) << i;
        EXPECT_NEAR(now[i].ty, 20.0, 1e-12) << "each keeps its place";
    }
    EXPECT_NEAR(now[0].tx, 10.0, 1e-12);
    EXPECT_NEAR(now[1].tx, 50.0, 1e-12);
    for (Unit *u : TestAliveUnits())
        EXPECT_NEAR(u->frame[2] - u->frame[0], 20.0, 1e-9) << "the frame follows the scale";
    ASSERT_EQ(UndoStepBack(), 1);
    now = Placements();
    ASSERT_EQ(now.size(), 2u);
    for (const Matrix &m : now)
        EXPECT_NEAR(m.a, 1.0, 1e-12);
}

TEST_F(PlacementEdit, CancelChangesNothing)
{
    const std::vector<Matrix> before = Placements();
    for (auto [placement, sheet] : {std::pair{IDCANCEL, PSBTN_CANCEL}, std::pair{IDOK, PSBTN_CANCEL}}) {
        EXPECT_EQ(Edit(placement, sheet), 0);
        EXPECT_EQ(g_UndoStep, step_);
        const std::vector<Matrix> now = Placements();
        ASSERT_EQ(now.size(), before.size());
        for (size_t i = 0; i < now.size(); ++i)
            EXPECT_EQ(std::memcmp(&now[i], &before[i], sizeof(Matrix)), 0);
    }
}

} // namespace
