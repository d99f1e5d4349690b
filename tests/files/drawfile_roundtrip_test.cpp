// A drawing with everything in it is written, read back and written again.
#include <algorithm>

#include "app/window_progress.h"
#include "drawfile_fixture.h"

namespace {

class DrawFileRoundTrip : public DrawFileTest {
protected:
    // Names compared as texts (bytes behind a name are not filed), the rest
    // byte for byte.
    template <class Def>
    static void ExpectSameDef(const Def &a, const Def &b, size_t size)
    {
        EXPECT_STREQ(a.name, b.name);
        const size_t name = sizeof a.name;
        EXPECT_EQ(0, std::memcmp(reinterpret_cast<const char *>(&a) + name, reinterpret_cast<const char *>(&b) + name,
                                 size - name))
            << a.name;
    }
    static std::vector<SavedUnit> SortedByName(std::vector<SavedUnit> list)
    {
        std::sort(list.begin(), list.end(), [](const SavedUnit &x, const SavedUnit &y) {
            return std::strcmp(reinterpret_cast<const Unit *>(x.bytes.data())->block.name,
                               reinterpret_cast<const Unit *>(y.bytes.data())->block.name) < 0;
        });
        return list;
    }
};

TEST_F(DrawFileRoundTrip, EverythingReadsBackEqualAndWritesByteIdentical)
{
    BuildRichDrawing();
    const auto objects = SaveList(LIST_DRAWING);
    const auto blocks = SaveList(LIST_OWN_BLOCKS);
    const auto records = SaveList(LIST_PLUGIN_DATA);
    const PenDef red = g_PenDefs[1], blue = g_PenDefs[3];
    const LayerDef doors = g_LayerDefs[2];
    const LineDef dash = g_LineDefs[2];
    const HatchDef brick = g_HatchDefs[4];
    const MultiLineDef wall = g_MultiLineDefs[2];
    const SystemDef site = g_SystemDefs[5];
    DrawingInfo info{};
    std::strcpy(info.title, "Harbour");
    std::strcpy(info.author, "Quirn");
    std::strcpy(info.comment, "A comment; with \"quotes\"");

    const std::string first = TestTempPath("drawfile_rt1.zvd");
    const std::string second = TestTempPath("drawfile_rt2.zvd");
    ASSERT_EQ(FileWriteDrawing(&info, first.c_str(), kAll), 1) << DrawLog().diagnostics.size();

    FileClearDrawing();
    ASSERT_TRUE(DrawingIsNew());
    DrawingInfo back{};
    ASSERT_EQ(FileReadDrawing(&back, first.c_str(), kAll, 0), 1)
        << (DrawLog().diagnostics.empty() ? "" : DrawLog().diagnostics.back());
    EXPECT_TRUE(DrawLog().alerts.empty());

    ExpectSameList(objects, SaveList(LIST_DRAWING), "objects");
    // Blocks are written in name order.
    ExpectSameList(SortedByName(blocks), SaveList(LIST_OWN_BLOCKS), "blocks");
    ExpectSameList(records, SaveList(LIST_PLUGIN_DATA), "module records");
    EXPECT_STREQ(back.title, "Harbour");
    EXPECT_STREQ(back.author, "Quirn");
    EXPECT_STREQ(back.comment, info.comment);
    EXPECT_STRNE(back.saved, "");
    ExpectSameDef(g_PenDefs[1], red, sizeof red);
    ExpectSameDef(g_PenDefs[3], blue, sizeof blue);
    ExpectSameDef(g_LayerDefs[2], doors, offsetof(LayerDef, reserved));
    ExpectSameDef(g_LineDefs[2], dash, sizeof dash);
    ExpectSameDef(g_HatchDefs[4], brick, sizeof brick);
    ExpectSameDef(g_MultiLineDefs[2], wall, sizeof wall);
    ExpectSameDef(g_SystemDefs[5], site, offsetof(SystemDef, toSystem));
    EXPECT_EQ(g_CurrentHatch, 4);
    EXPECT_STREQ(g_VariableDefs[0].value, "Harbour \"north\"");
    EXPECT_EQ(g_DefaultPens[3], 3);
    EXPECT_EQ(g_DefaultPens[1], -1);
    EXPECT_EQ(g_PageDefs.count, 2);
    EXPECT_EQ(g_PageDefs.active, 1);
    EXPECT_EQ(g_DrawingViews[2].zoom, 2.0);
    EXPECT_EQ(g_DrawingSettings.zigZagIndent, 7.5);
    EXPECT_STREQ(g_DrawingSettings.print.header.text, "%F page %P1");
    ASSERT_NE(ImageFindData("#B logo"), nullptr);
    EXPECT_EQ(ImageFindData("#B logo")->size, 1000u);

    ASSERT_EQ(FileWriteDrawing(&back, second.c_str(), kAll), 1);
    const std::string a = TestReadFile(first), b = TestReadFile(second);
    EXPECT_GT(a.size(), 5000u);
    EXPECT_TRUE(a == b);
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
}

TEST_F(DrawFileRoundTrip, MemoryCopyReadsBackLikeTheFile)
{
    BuildRichDrawing();
    const auto objects = SaveList(LIST_DRAWING);
    HGLOBAL block = FileWriteDrawingMemory(kAll);
    ASSERT_NE(block, nullptr);
    FileClearDrawing();
    ASSERT_EQ(FileReadDrawingMemory(block, kAll, 0), 1);
    ExpectSameList(objects, SaveList(LIST_DRAWING), "objects");
    GlobalFree(block);
}

TEST_F(DrawFileRoundTrip, RecordsOfTheFileFormat)
{
    // Fields of the writer that the format fixes.
    BuildRichDrawing();
    const std::string path = TestTempPath("drawfile_format.zvd");
    ASSERT_EQ(FileWriteDrawing(nullptr, path.c_str(), kAll), 1);
    const std::string text = TestReadFile(path);
    const char *const expected[] = {
        "Quirn++Valsev CAD 4.60;\r\n",
        "\r\n=DRAWING=;\r\n\"\",\r\n",       // untitled: empty title
        "\"2000-1-1 0:00\"",                  // the saved stamp, format 3
        ",999,,;\r\n",                        // the end element
        "|END|\r\n,999;\r\n=END=;",           // end of a unit list
        "|OBJ CircArc|",                      // comment lines name the unit
        "|BLK|", "|INS|", "|USER|",
        "\"Site\",5,\r\n.5,.5,",              // a system's angle twice
        "\"Dash dot\",2,\r\n2,1,500,200,50,200;",
        "\r\n=EXIT=;\r\n",
    };
    for (const char *e : expected)
        EXPECT_NE(text.find(e), std::string::npos) << e;
    // Run-time elements are never written.
    EXPECT_EQ(text.find("\r\n,-"), std::string::npos);
    DeleteFileA(path.c_str());
}

TEST_F(DrawFileRoundTrip, OnlyTheMaskedSectionsAreWrittenAndRead)
{
    BuildRichDrawing();
    const std::string path = TestTempPath("drawfile_mask.zvd");
    ASSERT_EQ(FileWriteDrawing(nullptr, path.c_str(), FILE_SECTION_DRAWING | FILE_SECTION_PEN | FILE_MODE_QUIET), 1);
    const std::string text = TestReadFile(path);
    EXPECT_NE(text.find("=PEN="), std::string::npos);
    EXPECT_EQ(text.find("=OBJECT="), std::string::npos);

    const std::string full = TestTempPath("drawfile_full.zvd");
    ASSERT_EQ(FileWriteDrawing(nullptr, full.c_str(), kAll), 1);
    FileClearDrawing();
    ASSERT_EQ(FileReadDrawing(nullptr, full.c_str(), FILE_SECTION_DRAWING | FILE_SECTION_PEN | FILE_MODE_QUIET, 0), 1);
    EXPECT_STREQ(g_PenDefs[1].name, "Red");
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].count, 0u);
    EXPECT_EQ(g_FileSkippedSection, 1u);
    EXPECT_EQ(g_FileSectionsRead, FILE_SECTION_DRAWING | FILE_SECTION_PEN);
    DeleteFileA(path.c_str());
    DeleteFileA(full.c_str());
}

TEST_F(DrawFileRoundTrip, ProfileKeysAreTheSettingsKeys)
{
    for (int i = 0; i < SETTINGS_KEYS; ++i)
        EXPECT_STREQ(ZviProfileKeyName(i), g_SettingsKeys[i].name) << i;
}

} // namespace

namespace {

class DrawFileProgress : public DrawFileTest {};

// With the progress window: the same files, and the window is gone afterwards.
TEST_F(DrawFileProgress, ReadAndWriteWithTheProgressWindow)
{
    BuildRichDrawing();
    const std::string quiet = TestTempPath("drawfile_quiet.zvd");
    const std::string shown = TestTempPath("drawfile_shown.zvd");
    ASSERT_EQ(FileWriteDrawing(nullptr, quiet.c_str(), kAll), 1);
    ASSERT_EQ(FileWriteDrawing(nullptr, shown.c_str(), FILE_SECTIONS_ALL), 1);
    EXPECT_EQ(g_Progress.nesting, 0u);
    EXPECT_TRUE(TestReadFile(quiet) == TestReadFile(shown));
    ASSERT_EQ(FileReadDrawing(nullptr, shown.c_str(), FILE_SECTIONS_ALL, 0), 1);
    EXPECT_EQ(g_Progress.nesting, 0u);
    EXPECT_GT(g_ObjectLists[LIST_DRAWING].count, 30u);
    DeleteFileA(quiet.c_str());
    DeleteFileA(shown.c_str());
}

} // namespace
