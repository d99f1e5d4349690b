// The block dialogs: typed block names in folders, the attribute list's
// limits, and Cancel leaving the caller's attributes as they were.
#include "language_dialogs.h"

#include <cstring>
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
        MemFreeChunks();
        MemInitLists();
        ASSERT_EQ(MemEnlargeList(), 1);
        g_OwnBlockIndex.count = 0;
        for (const char *name : {"Abc", "abd", "Mech\\Bolt"})
            ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, name), nullptr);
        SymbolRebuildOwnIndex();
        SymbolBrowseFree();
    }
    void TearDown() override
    {
        SymbolBrowseFree();
        g_OwnBlockIndex.count = 0;
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
