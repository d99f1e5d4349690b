// Symbol-library files: written and read back byte for byte, damaged files
// refused, and the "$$$" update of a caching library.
#include "drawfile_fixture.h"

#include "database/symbol_block.h"
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

} // namespace
