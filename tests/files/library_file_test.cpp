// Symbol-library files: written and read back byte for byte, damaged files
// refused, the "$$$" update of a caching library, and the block names of a
// caching library's file browsed without loading its blocks.
#include "drawfile_fixture.h"

#include "database/symbol_block.h"
#include "database/symbol_browse.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "files/file_library.h"
#include "tests/common/test_files.h"

namespace {

class LibraryFileTest : public DrawFileTest {
protected:
    void SetUp() override
    {
        DrawFileTest::SetUp();
        ResetTable();
    }
    void TearDown() override
    {
        while (g_LibrarySlots.count)
            FileRemoveLibrary(g_LibrarySlots.count - 1);
        ResetTable();
        DrawFileTest::TearDown();
    }
    static void ResetTable()
    {
        g_LibrarySlots.count = 0;
        for (LibrarySlot &s : g_LibrarySlots.slots)
            SymbolFreeLibrarySlot(&s);
        g_LibraryBlockIndex.count = 0;
    }
    // A library "Parts" with folders, members, attributes and a nested
    // reference into itself.
    static void BuildLibrary()
    {
        g_LibrarySlots.count = 1;
        LibrarySlot &s = g_LibrarySlots.slots[0];
        std::strcpy(s.info.title, "Parts");
        std::strcpy(s.info.author, "Ann");
        s.caching = 0;
        const int list = LIST_SYMBOL_LIBRARY_FIRST;
        Unit *bolt = SymbolNewBlock(list, "Mech\\Bolt");
        ASSERT_NE(bolt, nullptr);
        ASSERT_NE(SymbolAddMember(list, bolt, MakeTyped(OBJTYPE_LINE, 1)), nullptr);
        ASSERT_NE(SymbolAddMember(list, bolt, MakeTyped(OBJTYPE_CIRCLE, 2)), nullptr);
        Unit *nut = SymbolNewBlock(list, "Mech\\Nut\\M8");
        ASSERT_NE(nut, nullptr);
        const Matrix m{1, 0, 0, 1, 5, 5};
        Unit *instance = reinterpret_cast<Unit *>(Buffer().data());
        ASSERT_NE(SymbolMakeInstance(instance, 4096, "*", "Mech\\Bolt", &m), 0u);
        ASSERT_NE(SymbolAddMember(list, nut, instance), nullptr);
        SymbolRebuildLibraryIndex();
        AttributeEntry a[2];
        SymbolMakeAttribute(&a[0], 300, "NUMBER", "A-1");
        SymbolMakeAttribute(&a[1], 400, "MAKER", "Quirn");
        ASSERT_EQ(SymbolSetLibraryAttributes("Parts", a, 2), 1);
        ASSERT_EQ(SymbolSetBlockAttributes("Parts", "Mech\\Bolt", a, 1), 1);
    }
    static constexpr uint32_t kLibrary = FILE_SECTION_DRAWING | FILE_SECTION_ATTRIB | FILE_SECTION_BLOCK;
};

TEST_F(LibraryFileTest, WrittenLibraryReadsBackByteIdentical)
{
    BuildLibrary();
    TestTempFile first("lib1.zvl"), second("lib2.zvl");
    ASSERT_EQ(FileWriteLibrary(first.Path(), 0, kLibrary), 1);
    FileRemoveLibrary(0);
    ASSERT_EQ(g_LibrarySlots.count, 0);
    const int slot = FileOpenLibrary(first.Path(), 0, 1, 1);
    ASSERT_EQ(slot, 0);
    EXPECT_STREQ(g_LibrarySlots.slots[0].info.title, "Parts");
    Unit *nut = SymbolFindBlock("Parts", "Mech\\Nut\\M8");
    ASSERT_NE(nut, nullptr);
    EXPECT_EQ(SymbolGetInstanceBlock(nut->block.firstMember), SymbolFindBlock("Parts", "Mech\\Bolt"));
    std::vector<AttributeEntry> got(ATTRIBUTE_ENTRIES_MAX);
    EXPECT_EQ(SymbolGetLibraryAttributes("Parts", got.data()), 2);
    ASSERT_EQ(FileWriteLibrary(second.Path(), 0, kLibrary), 1);
    const std::string a = first.Contents(), b = second.Contents();
    EXPECT_NE(a.find("=LIBRARY="), std::string::npos);
    EXPECT_NE(a.find("=ATTRIB="), std::string::npos);
    EXPECT_EQ(a, b);
}

TEST_F(LibraryFileTest, DamagedLibraryIsRefusedAndLeavesNoSlot)
{
    BuildLibrary();
    TestTempFile good("good.zvl"), cut("cut.zvl"), bad("bad.zvl");
    ASSERT_EQ(FileWriteLibrary(good.Path(), 0, kLibrary), 1);
    FileRemoveLibrary(0);
    const std::string bytes = good.Contents();
    TestWriteFile(cut.Path(), bytes.substr(0, bytes.size() * 2 / 3));
    std::string garbled = bytes;
    const size_t at = garbled.find("Nut\\\\M8");
    ASSERT_NE(at, std::string::npos);
    garbled.replace(at + 20, 6, "@@@@@@");
    TestWriteFile(bad.Path(), garbled);
    for (const char *path : {cut.Path(), bad.Path()}) {
        DrawLog() = DrawFileLog{};
        EXPECT_EQ(FileOpenLibrary(path, 0, 1, 1), -1) << path;
        EXPECT_EQ(g_LibrarySlots.count, 0);
        EXPECT_EQ(g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST].count, 0u);
        EXPECT_FALSE(DrawLog().alerts.empty());
    }
    // A drawing is not a library.
    TestTempFile drawing("drawing.zvl");
    TestWriteFile(drawing.Path(), "Quirn++Valsev CAD 4.60;\r\n=DRAWING=\r\n\"\";\r\n=END=\r\n=EXIT=\r\n");
    EXPECT_EQ(FileOpenLibrary(drawing.Path(), 0, 1, 1), -1);
}

TEST_F(LibraryFileTest, UpdateKeepsTheBlocksNotLoadedAndDropsDeletedOnes)
{
    BuildLibrary();
    TestTempFile file("cache.zvl");
    ASSERT_EQ(FileWriteLibrary(file.Path(), 0, kLibrary), 1);
    FileRemoveLibrary(0);
    const int slot = FileOpenLibrary(file.Path(), 1, 1, 1);
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST].count, 0u); // nothing read yet
    ASSERT_EQ(SymbolCreateEmptyBlock("Parts", "New", nullptr), 1);
    // A stub of Mech\Nut\M8: deleted in memory, so the update leaves it out.
    ASSERT_EQ(SymbolPrepareInsert("Parts", "Mech\\Nut\\M8"), 1);
    Unit *nut = SymbolFindBlock("Parts", "Mech\\Nut\\M8");
    ASSERT_NE(nut, nullptr);
    SymbolIndexRemoveLibrary(0, nut);
    SymbolEmptyBlock(LIST_SYMBOL_LIBRARY_FIRST, nut);
    ASSERT_EQ(FileUpdateLibrary(file.Path(), nullptr, 0), 1);
    std::string dollars = file.Path();
    dollars.replace(dollars.size() - 3, 3, "$$$");
    EXPECT_EQ(GetFileAttributesA(dollars.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string text = file.Contents();
    EXPECT_NE(text.find("Mech\\\\Bolt"), std::string::npos);
    EXPECT_NE(text.find("\"New\""), std::string::npos);
    EXPECT_EQ(text.find("Mech\\\\Nut"), std::string::npos);
}

// Blocks that instances need are read from caching libraries in rounds of
// at most 1000 names, one library a round; other libraries are never read.
TEST_F(LibraryFileTest, MissingBlocksAreLoadedInRoundsFromCachingLibrariesOnly)
{
    constexpr int kBlocks = 1500;
    auto name = [](int i) {
        char n[16];
        std::snprintf(n, sizeof n, "B%04d", i);
        return std::string(n);
    };
    TestTempFile big("big.zvl"), other("other.zvl");
    g_LibrarySlots.count = 1;
    std::strcpy(g_LibrarySlots.slots[0].info.title, "Big");
    for (int i = 0; i < kBlocks; ++i)
        ASSERT_NE(SymbolNewBlock(LIST_SYMBOL_LIBRARY_FIRST, name(i).c_str()), nullptr);
    ASSERT_EQ(FileWriteLibrary(big.Path(), 0, kLibrary), 1);
    std::strcpy(g_LibrarySlots.slots[0].info.title, "Other");
    ASSERT_EQ(FileWriteLibrary(other.Path(), 0, kLibrary), 1);
    FileRemoveLibrary(0);
    ASSERT_EQ(FileOpenLibrary(big.Path(), 1, 1, 1), 0);
    ASSERT_EQ(FileOpenLibrary(other.Path(), 1, 0, 1), 1); // caching, but not loading
    const Matrix m{1, 0, 0, 1, 0, 0};
    Unit *record = reinterpret_cast<Unit *>(Buffer().data());
    for (int i = 0; i < kBlocks; ++i) {
        ASSERT_NE(SymbolMakeInstance(record, 4096, "Big", name(i).c_str(), &m), 0u);
        ASSERT_NE(StoreObject(record), nullptr);
    }
    ASSERT_NE(SymbolMakeInstance(record, 4096, "Other", "B0000", &m), 0u);
    Unit *elsewhere = StoreObject(record);
    ASSERT_NE(elsewhere, nullptr);
    SymbolLoadAllMissing();
    EXPECT_EQ(g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST].count, uint32_t(kBlocks));
    EXPECT_EQ(g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST + 1].count, 0u);
    int linked = 0;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        linked += u != elsewhere && SymbolGetInstanceBlock(u) ? 1 : 0;
    EXPECT_EQ(linked, kBlocks);
    EXPECT_EQ(SymbolGetInstanceBlock(elsewhere), nullptr);
    EXPECT_TRUE(DrawLog().alerts.empty());
}

// Closing a library in the middle moves the last one into its slot with
// its blocks; the freed slot is ready for any library.
TEST_F(LibraryFileTest, RemovingASlotMovesTheLastLibraryWithItsBlocks)
{
    g_LibrarySlots.count = 3;
    for (int i = 0; i < 3; ++i) {
        LibrarySlot &s = g_LibrarySlots.slots[i];
        std::snprintf(s.info.title, sizeof s.info.title, "L%d", i);
        char block[8];
        std::snprintf(block, sizeof block, "K%d", i);
        ASSERT_NE(SymbolNewBlock(LIST_SYMBOL_LIBRARY_FIRST + i, block), nullptr);
    }
    g_LibrarySlots.slots[2].caching = 0;
    SymbolRebuildLibraryIndex();
    FileRemoveLibrary(1);
    ASSERT_EQ(g_LibrarySlots.count, 2);
    EXPECT_STREQ(g_LibrarySlots.slots[1].info.title, "L2");
    EXPECT_EQ(g_LibrarySlots.slots[1].caching, 0u);
    const Unit *moved = g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST + 1].head;
    ASSERT_NE(moved, nullptr);
    EXPECT_STREQ(moved->block.name, "K2");
    EXPECT_NE(SymbolFindBlock("L2", "K2"), nullptr);
    EXPECT_EQ(SymbolFindBlock("L1", "K1"), nullptr);
    const LibrarySlot &freed = g_LibrarySlots.slots[2];
    EXPECT_EQ(freed.info.title[0], 0);
    EXPECT_EQ(freed.caching + freed.load + freed.save, 3u);
    EXPECT_EQ(g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST + 2].count, 0u);
}

// The folder and block lists the browser holds, "|"-joined.
std::string BrowseLists()
{
    std::string out;
    for (int i = 0; i < SymbolBrowseFolderCount(); ++i)
        out += std::string(SymbolBrowseFolderName(i)) + "|";
    out += "/";
    for (int i = 0; i < SymbolBrowseBlockCount(); ++i)
        out += std::string("|") + SymbolBrowseBlockName(i);
    return out;
}

class CachedNamesTest : public LibraryFileTest {
protected:
    void SetUp() override
    {
        LibraryFileTest::SetUp();
        SymbolBrowseFree();
        BuildLibrary();
        for (const char *name : {"P1", "P2"})
            ASSERT_NE(SymbolNewBlock(LIST_SYMBOL_LIBRARY_FIRST, name), nullptr);
        SymbolRebuildLibraryIndex();
        ASSERT_EQ(FileWriteLibrary(file_.Path(), 0, kLibrary), 1);
        FileRemoveLibrary(0);
    }
    void TearDown() override
    {
        SymbolBrowseFree();
        LibraryFileTest::TearDown();
    }
    // Opened as a caching library: only its description is read.
    void OpenCaching()
    {
        ASSERT_EQ(FileOpenLibrary(file_.Path(), 1, 1, 1), 0);
        ASSERT_EQ(g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST].count, 0u);
    }
    TestTempFile file_{"names.zvl"};
};

TEST_F(CachedNamesTest, TheFileNamesItsBlocksAndFoldersWithoutLoadingThem)
{
    ASSERT_NO_FATAL_FAILURE(OpenCaching());
    EXPECT_EQ(SymbolBrowseLibrary("Parts", "", 1), 1);
    EXPECT_EQ(BrowseLists(), "Mech\\|/|P1|P2");
    EXPECT_EQ(SymbolBrowseLibrary("Parts", "Mech\\", 1), 1);
    EXPECT_EQ(BrowseLists(), "Nut\\|/|Bolt");
    EXPECT_EQ(SymbolBrowseLibrary("Parts", "Mech\\Nut\\", 1), 1);
    EXPECT_EQ(BrowseLists(), "/|M8");
    EXPECT_EQ(SymbolBrowseLibrary("Parts", "X\\", 1), 0);
    EXPECT_EQ(g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST].count, 0u) << "nothing was loaded";
    EXPECT_TRUE(DrawLog().alerts.empty());
    // A name chosen from the list is loaded when it is placed.
    EXPECT_EQ(SymbolPrepareInsert("Parts", "Mech\\Bolt"), 1);
}

TEST_F(CachedNamesTest, StubsHideTheFilesBlocksAndNewBlocksJoinThem)
{
    ASSERT_NO_FATAL_FAILURE(OpenCaching());
    ASSERT_EQ(SymbolPrepareInsert("Parts", "P2"), 1);
    ASSERT_EQ(SymbolDeleteBlockByName("Parts", "P2"), 1); // a stub now
    ASSERT_EQ(SymbolCreateEmptyBlock("Parts", "P3", nullptr), 1);
    EXPECT_EQ(SymbolBrowseLibrary("Parts", "", 1), 1);
    EXPECT_EQ(BrowseLists(), "Mech\\|/|P1|P3");
}

TEST_F(CachedNamesTest, TheNamesOfAFileAreReadOnceUntilTheFileIsWritten)
{
    ASSERT_NO_FATAL_FAILURE(OpenCaching());
    ASSERT_EQ(SymbolBrowseLibrary("Parts", "", 1), 1);
    // The file gone: browsing again, even forced, takes the kept names.
    const std::string bytes = file_.Contents();
    ASSERT_TRUE(DeleteFileA(file_.Path()));
    EXPECT_EQ(SymbolBrowseLibrary("Parts", "Mech\\", 1), 1);
    EXPECT_EQ(BrowseLists(), "Nut\\|/|Bolt");
    EXPECT_TRUE(DrawLog().alerts.empty());
    // Saving the library writes the file anew: its names are read again.
    TestWriteFile(file_.Path(), bytes);
    ASSERT_EQ(SymbolCreateEmptyBlock("Parts", "Q", nullptr), 1);
    ASSERT_EQ(FileUpdateLibrary(file_.Path(), nullptr, 0), 1);
    ASSERT_EQ(SymbolDeleteBlockByName("Parts", "Q"), 1);
    ASSERT_EQ(FileUpdateLibrary(file_.Path(), nullptr, 0), 1);
    EXPECT_EQ(SymbolBrowseLibrary("Parts", "", 1), 1);
    EXPECT_EQ(BrowseLists(), "Mech\\|/|P1|P2") << "the deleted block is gone from the file and the list";
}

TEST_F(CachedNamesTest, ADamagedFileIsReportedOnceAndLosesNothing)
{
    ASSERT_NO_FATAL_FAILURE(OpenCaching());
    ASSERT_EQ(SymbolPrepareInsert("Parts", "P1"), 1);
    ASSERT_EQ(SymbolCreateEmptyBlock("Parts", "New", nullptr), 1);
    std::string garbled = file_.Contents();
    const size_t at = garbled.find("Nut\\\\M8");
    ASSERT_NE(at, std::string::npos);
    garbled.replace(at + 20, 6, "@@@@@@");
    TestWriteFile(file_.Path(), garbled);
    FileExitNameCache();
    DrawLog() = DrawFileLog{};
    // Only the blocks in memory are listed; the file alert says why.
    EXPECT_EQ(SymbolBrowseLibrary("Parts", "", 1), 1);
    EXPECT_EQ(BrowseLists(), "/|New|P1");
    EXPECT_EQ(DrawLog().alerts.size(), 1u);
    EXPECT_EQ(SymbolBrowseLibrary("Parts", "Mech\\", 1), 0);
    EXPECT_EQ(DrawLog().alerts.size(), 1u) << "reported once";
    EXPECT_NE(SymbolFindBlock("Parts", "P1"), nullptr);
    EXPECT_NE(SymbolFindBlock("Parts", "New"), nullptr);
    EXPECT_EQ(g_LibrarySlots.count, 1);
}

} // namespace
