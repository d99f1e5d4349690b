// Symbol-library files: written and read back byte for byte, damaged files
// refused, the "$$$" update of a caching library, and the block names of a
// caching library's file browsed without loading its blocks.
#include "drawfile_fixture.h"

#include "app/convert.h"
#include "database/symbol_block.h"
#include "database/symbol_charlib.h"
#include "database/symbol_browse.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "files/file_library.h"
#include "files/zvi.h"
#include "language/language.h"
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

// The closing question answered from a script; the texts asked are kept.
std::vector<uint32_t> g_Answers;
std::vector<std::string> g_Asked;
uint32_t ScriptedAnswer(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    g_Asked.push_back(text ? text : "");
    if (g_Answers.empty())
        return code1;
    const uint32_t answer = g_Answers.front();
    g_Answers.erase(g_Answers.begin());
    return answer;
}

TEST_F(LibraryFileTest, TheClosingQuestionSavesStampsOrLeavesTheLibrary)
{
    struct Case {
        const char *what;
        uint32_t modified, save;
        const char *path; // null: the test's file
        std::vector<uint32_t> answers;
        int result;
        size_t questions;
        bool written;
    };
    const Case cases[] = {
        {"unchanged", 0, 1, nullptr, {}, 1, 0, false},
        {"no", 1, 1, nullptr, {ALERT_NO}, 1, 1, false},
        {"cancel", 1, 1, nullptr, {ALERT_CANCEL}, 0, 1, false},
        {"yes", 1, 1, nullptr, {ALERT_YES}, 1, 1, true},
        {"yes, then no to the protected library", 1, 0, nullptr, {ALERT_YES, ALERT_NO}, 1, 2, false},
        {"yes twice to the protected library", 1, 0, nullptr, {ALERT_YES, ALERT_YES}, 1, 2, true},
        {"yes to a library with no file", 1, 1, "*memory", {ALERT_YES}, 0, 1, false},
    };
    TestTempFile file("closing.zvl");
    g_AlertAnswerHook = ScriptedAnswer;
    g_Options.dateTimeFormat = 0;
    for (const Case &c : cases) {
        DeleteFileA(file.Path());
        BuildLibrary();
        LibrarySlot &s = g_LibrarySlots.slots[0];
        std::strcpy(s.path, c.path ? c.path : file.Path());
        s.modified = c.modified;
        s.save = c.save;
        s.info.saved[0] = 0;
        g_Answers = c.answers;
        g_Asked.clear();
        EXPECT_EQ(FileQueryCloseLibrary(0), c.result) << c.what;
        EXPECT_EQ(g_Asked.size(), c.questions) << c.what;
        EXPECT_EQ(!file.Contents().empty(), c.written) << c.what;
        if (c.written) {
            // The slot carries the date the file was stamped with, in the option's format.
            SYSTEMTIME clock;
            FixedClock(&clock);
            char expected[256];
            ConvertDateTimeByOption(&clock, expected);
            EXPECT_STREQ(s.info.saved, expected) << c.what;
            EXPECT_NE(file.Contents().find(std::string("\"") + expected + "\""), std::string::npos) << c.what;
            EXPECT_EQ(s.modified, 0u) << c.what;
        } else {
            EXPECT_EQ(s.info.saved[0], 0) << c.what;
            EXPECT_EQ(s.modified, c.modified) << c.what;
        }
        FileRemoveLibrary(0);
    }
    g_AlertAnswerHook = DrawFileAlertHook;
}

TEST_F(LibraryFileTest, SlotPathsAreKeptInFullForm)
{
    BuildLibrary();
    TestTempFile file("fullform.zvl");
    ASSERT_EQ(FileWriteLibrary(file.Path(), 0, kLibrary), 1);
    FileRemoveLibrary(0);
    // Opened by a relative name, the slot keeps the whole path.
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof folder, folder);
    const std::string path = file.Path();
    const std::string dir = path.substr(0, path.rfind('\\'));
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    EXPECT_EQ(FileOpenLibrary("fullform.zvl", 0, 1, 1), 0);
    SetCurrentDirectoryA(folder);
    EXPECT_EQ(lstrcmpiA(g_LibrarySlots.slots[0].path, path.c_str()), 0) << g_LibrarySlots.slots[0].path;
    // A name beginning with "*" is no file name and stays as given.
    FileSetLibraryPath(0, "*Parts");
    EXPECT_STREQ(g_LibrarySlots.slots[0].path, "*Parts");
    FileSetCharLibraryPath(0, "*Font");
    EXPECT_STREQ(g_CharLibrarySlots.slots[0].path, "*Font");
    g_CharLibrarySlots.slots[0].path[0] = 0;
}

TEST_F(LibraryFileTest, OlderAndForeignFilesAreRefusedWithTheirOwnAlerts)
{
    struct Case {
        const char *name, *start;
        int alert; // eAlertTextSM, -1 none
    };
    const Case cases[] = {
        {"old.zvl", "Vulmeridasoft NUV 3.00;\r\n", 54},
        {"oldlib.zvl", "Vulmeridasoft NUB 3.00;\r\n", 55},
        {"picture.wmf", "\xd7\xcd\xc6\x9a and what a metafile holds", 56},
        {"picture.BMP", "BM and what a bitmap holds, long enough", 57},
        {"plan.dxf", "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n", 58},
        {"notes.txt", "Some text that is not a library at all", 59},
        {"short.zvl", "Quirn", -1},
        {"good.zvl", "Vulmeridasoft NUV 4.20;\r\n=LIBRARY=", -2},
    };
    for (const Case &c : cases) {
        TestTempFile file(c.name);
        TestWriteFile(file.Path(), c.start);
        DrawLog() = DrawFileLog{};
        EXPECT_EQ(FileCheckLibraryHeader(file.Path()), c.alert == -2 ? 1 : 0) << c.name;
        if (c.alert >= 0) {
            char shortName[MAX_PATH] = "", expected[600];
            ZVI_FileShortName(file.Path(), shortName);
            std::snprintf(expected, sizeof expected, eAlertTextSM[c.alert], shortName);
            ASSERT_EQ(DrawLog().alerts.size(), 1u) << c.name;
            EXPECT_EQ(DrawLog().alerts[0], expected) << c.name;
            // Opening it as a library says the same and takes no slot.
            DrawLog() = DrawFileLog{};
            EXPECT_EQ(FileOpenLibrary(file.Path(), 0, 1, 1), -1) << c.name;
            EXPECT_EQ(DrawLog().alerts, std::vector<std::string>{expected}) << c.name;
            EXPECT_EQ(g_LibrarySlots.count, 0) << c.name;
        } else {
            EXPECT_TRUE(DrawLog().alerts.empty()) << c.name;
        }
        if (c.alert == -1)
            EXPECT_EQ(DrawLog().diagnostics.size(), 1u) << c.name;
    }
    EXPECT_EQ(g_FileVersion, FILE_VERSION_420);
    // A file that cannot be opened is refused without a word.
    DrawLog() = DrawFileLog{};
    EXPECT_EQ(FileCheckLibraryHeader(TestTempPath("no such library.zvl").c_str()), 0);
    EXPECT_TRUE(DrawLog().alerts.empty());
    EXPECT_TRUE(DrawLog().diagnostics.empty());
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
