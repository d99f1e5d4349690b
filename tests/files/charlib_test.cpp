// Character libraries read from files, and the limit on the length of texts
// read from a drawing.
#include "drawfile_fixture.h"
#include "zvi_test_util.h"

#include "database/symbol_charlib.h"
#include "display/symbol.h"
#include "app/system.h"
#include "files/file_charlib.h"

namespace {

// A character library: block 65 is an A of two lines and a construction line
// (dropped), then a second 65, and blocks whose names are no character codes.
std::string LibraryFile(const char *title)
{
    std::string s = "Quirn++Valsev CAD 4.60;\r\n\r\n=LIBRARY=;\r\n\"";
    s += title;
    s += "\",\r\n\"\",\r\n\"\",\r\n\"\",\r\n\"\",\r\n\"\";\r\n=END=;\r\n\r\n=BLOCK=;\r\n";
    auto block = [&](const char *name, const char *cell) {
        s += std::string(",2,,,,//,//,.25,,8704,,\"") + name + "\",\r\n" + cell + ";\r\n,999,,;\r\n";
    };
    auto line = [&](double x1, double y1, double x2, double y2) {
        char text[200];
        std::snprintf(text, sizeof text,
                      ",,21,1,2,.784/.0627/.251,.00392/.00784/.0118,.35,,8704,4,;\r\n,1,3,1,%g,%g;\r\n"
                      ",2,3,1,%g,%g;\r\n,999,,;\r\n",
                      x1, y1, x2, y2);
        s += text;
    };
    block("65", "14,0,0,0");
    line(0, 0, 7, 20);
    line(7, 20, 14, 0);
    s += ",,21,1,2,.784/.0627/.251,.00392/.00784/.0118,.35,,8704,4,45;\r\n,1,3,1,0,0;\r\n,2,3,1,1,1;\r\n"
         ",999,,;\r\n";
    s += ",999;\r\n";
    block("65", "1e300,1e300,1e300,1e300");
    line(0, 0, 1, 1);
    s += ",999;\r\n";
    for (const char *bad : {"31", "256", "A"}) {
        block(bad, "1e300,1e300,1e300,1e300");
        line(0, 0, 1, 1);
        s += ",999;\r\n";
    }
    block("66", "1e300,1e300,1e300,1e300");
    line(2, 0, 10, 20);
    s += ",999;\r\n,999;\r\n=END=;\r\n\r\n=EXIT=;\r\n";
    return s;
}

class CharLibraryFiles : public DrawFileTest {
protected:
    void SetUp() override
    {
        DrawFileTest::SetUp();
        SymbolInitCharLibraries();
        SymbolFreeFonts();
    }
    void TearDown() override
    {
        SymbolFreeFonts();
        SymbolInitCharLibraries();
        DrawFileTest::TearDown();
    }
};

int Members(const Unit *block)
{
    int n = 0;
    for (const Unit *m = block ? block->block.firstMember : nullptr; m; m = m->next)
        ++n;
    return n;
}

TEST_F(CharLibraryFiles, BlocksNamedByCharacterCodesBecomeCharacters)
{
    TestTempFile file("charlib_mono.zvl");
    TestWriteFile(file.Path(), LibraryFile("Mono"));
    ASSERT_EQ(FileLoadCharLibrary(file.Path(), 0), 1);
    ASSERT_EQ(g_CharLibrarySlots.count, 1);
    EXPECT_STREQ(g_CharLibrarySlots.slots[0].info.title, "Mono");
    Unit *a = SymbolGetCharBlock(0, 'A');
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->block.name, "65");
    EXPECT_EQ(Members(a), 2) << "the construction line is dropped, the second 65 ignored";
    for (Unit *m = a->block.firstMember; m; m = m->next) {
        EXPECT_EQ(m->property.pen, 0);
        EXPECT_EQ(m->property.layer, 0);
        EXPECT_DOUBLE_EQ(m->property.width, 0.25);
        EXPECT_EQ(m->birth, UNIT_BIRTH_ALWAYS);
    }
    EXPECT_NE(SymbolGetCharBlock(0, 'B'), nullptr);
    EXPECT_EQ(SymbolGetCharBlock(0, 31), nullptr);
    EXPECT_EQ(SymbolGetCharBlock(0, 10), nullptr);
    int blocks = 0;
    for (Unit *u = g_ObjectLists[LIST_CHAR_LIBRARY_FIRST].head; u; u = u->next)
        ++blocks;
    EXPECT_EQ(blocks, 2);
    int refused = 0, ignored = 0;
    for (const std::string &d : DrawLog().diagnostics) {
        refused += d.find("illegal character name") != std::string::npos;
        ignored += d.find("An OBJECT has been ignored") != std::string::npos;
    }
    EXPECT_EQ(refused, 4) << "the second 65, 31, 256 and A";
    EXPECT_EQ(ignored, 1);

    // The text engine measures the library: A by its cell, B by its width.
    FontDef mono{};
    std::strcpy(mono.face, "mono"); // library names are found without regard to case
    ASSERT_EQ(SymbolSelectFont(&mono, nullptr, nullptr), 1);
    EXPECT_DOUBLE_EQ(SymbolCharAdvance('A'), 14.0);
    EXPECT_NEAR(SymbolCharAdvance('B'), 8.0, 0.05);
    EXPECT_DOUBLE_EQ(SymbolCharAdvance('C'), 0.0);
    EXPECT_DOUBLE_EQ(SymbolFontAscent(), 20.0);
}

TEST_F(CharLibraryFiles, ASecondLibraryOfTheSameTitleIsRefused)
{
    TestTempFile first("charlib_one.zvl"), second("charlib_two.zvl");
    TestWriteFile(first.Path(), LibraryFile("Mono"));
    TestWriteFile(second.Path(), LibraryFile("Mono"));
    ASSERT_EQ(FileLoadCharLibrary(first.Path(), 0), 1);
    DrawLog().alerts.clear();
    EXPECT_EQ(FileLoadCharLibrary(second.Path(), 1), 0);
    EXPECT_EQ(g_CharLibrarySlots.count, 1);
    ASSERT_FALSE(DrawLog().alerts.empty());
    EXPECT_NE(DrawLog().alerts.front().find("Mono"), std::string::npos);
    EXPECT_EQ(g_ObjectLists[LIST_CHAR_LIBRARY_FIRST + 1].head, nullptr) << "nothing of it stays";

    // Probing reads the title of a file into a slot without loading it.
    std::strcpy(g_CharLibrarySlots.slots[1].path, second.Path());
    EXPECT_EQ(FileProbeCharLibrarySlot(1), 0) << "its title is taken";
    FileRemoveCharLibrary(0);
    EXPECT_EQ(g_CharLibrarySlots.count, 0);
    EXPECT_EQ(g_ObjectLists[LIST_CHAR_LIBRARY_FIRST].head, nullptr);
}

TEST_F(CharLibraryFiles, DamagedAndMissingLibrariesAreRefusedWithAMessage)
{
    TestTempFile file("charlib_bad.zvl");
    std::string text = LibraryFile("Broken");
    text.replace(text.find("=EXIT="), 6, "=EXIT");
    TestWriteFile(file.Path(), text);
    EXPECT_EQ(FileLoadCharLibrary(file.Path(), 0), 0);
    EXPECT_EQ(g_CharLibrarySlots.count, 0);
    EXPECT_EQ(g_ObjectLists[LIST_CHAR_LIBRARY_FIRST].head, nullptr);
    EXPECT_FALSE(DrawLog().alerts.empty());
    DrawLog().alerts.clear();
    EXPECT_EQ(FileLoadCharLibrary("C:\\no\\such.zvl", 0), 0);
    EXPECT_EQ(DrawLog().alerts.size(), 1u);
}

TEST_F(CharLibraryFiles, TheDialogsMarksAreCarriedOutAndTheProfileKeepsThePaths)
{
    TestTempFile mono("charlib_m.zvl"), gothic("charlib_g.zvl"), broken("charlib_x.zvl");
    TestWriteFile(mono.Path(), LibraryFile("Mono"));
    TestWriteFile(gothic.Path(), LibraryFile("Gothic"));
    TestWriteFile(broken.Path(), "Quirn++Valsev CAD 4.60;\r\n\r\n=DRAWING=;\r\n");
    g_ProfileLists.fontCount = 1;
    std::strcpy(g_ProfileLists.fonts[0], mono.Path());
    FileLoadProfileCharLibraries();
    ASSERT_EQ(g_CharLibrarySlots.count, 1);

    // As the dialog leaves it: Mono marked to close, Gothic and a broken file added.
    g_CharLibrarySlots.slots[0].remove = 1;
    for (const char *path : {gothic.Path(), broken.Path()}) {
        CharLibrarySlot &slot = g_CharLibrarySlots.slots[g_CharLibrarySlots.count++];
        std::strcpy(slot.path, path);
        std::strcpy(slot.info.title, path == gothic.Path() ? "Gothic" : "?");
        slot.added = 1;
    }
    EXPECT_EQ(FileApplyCharLibraryMarks(), 1);
    ASSERT_EQ(g_CharLibrarySlots.count, 1);
    EXPECT_STREQ(g_CharLibrarySlots.slots[0].info.title, "Gothic");
    EXPECT_NE(SymbolGetCharBlock(0, 'A'), nullptr);
    EXPECT_EQ(g_CharLibrarySlots.slots[0].added, 0u);

    FileStoreProfileCharLibraries();
    ASSERT_EQ(g_ProfileLists.fontCount, 1);
    EXPECT_STREQ(g_ProfileLists.fonts[0], gothic.Path());
    g_ProfileLists.fontCount = 0;
}

TEST_F(CharLibraryFiles, TextsLongerThan8000CharactersAreRefusedOnReading)
{
    for (size_t length : {size_t(8000), size_t(8001), size_t(20000)}) {
        MemoryRead source(",110,8,30000,\"" + std::string(length, 'a') + "\";\r\n");
        std::vector<uint8_t> element(65536);
        const int32_t size = FileReadElement(reinterpret_cast<Element *>(element.data()), uint32_t(element.size()));
        if (length <= 8000)
            EXPECT_GT(size, int32_t(length)) << length;
        else
            EXPECT_EQ(size, -1) << length;
    }
}

} // namespace
