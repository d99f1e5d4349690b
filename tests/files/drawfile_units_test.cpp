// Single units and elements through the token layer, and saving that never
// destroys the last good file.
#include "drawfile_fixture.h"
#include "zvi_test_util.h"

namespace {

class DrawFileUnits : public DrawFileTest {
protected:
    // Writes with the given writer calls into a text.
    template <class F>
    static std::string WriteText(F write)
    {
        MemoryWrite sink(200000);
        write();
        return sink.Text();
    }
};

TEST_F(DrawFileUnits, EndElementAndEndRecordAreWrittenWithEmptyFields)
{
    uint8_t buffer[64] = {};
    InitElementEnd(reinterpret_cast<Element *>(buffer));
    EXPECT_EQ(WriteText([&] { FileWriteElements(reinterpret_cast<Element *>(buffer)); }), ",999,,;\r\n");
    EXPECT_EQ(WriteText([] { FileWriteUnitListEnd(); }), ",999;\r\n");
    MemoryRead source(",999,,;\r\n");
    alignas(8) uint8_t element[64];
    EXPECT_EQ(FileReadElement(reinterpret_cast<Element *>(element), sizeof element), 16);
}

struct TextCase {
    const char *record;
    int32_t size;     // the element size read, -1 refused
    int16_t count;
};

TEST_F(DrawFileUnits, TextElementsKeepTheirRoomByCapacity)
{
    const TextCase cases[] = {
        {",110,8,250,\"abc\";", 24, 250},      // cut to the text
        {",110,8,-250,\"abc\";", 272, -250},   // kept at full size
        {",110,8,,\"\";", 16, 0},              // no room at all
        {",110,8,3,\"abc\";", -1, 3},          // longer than its capacity
        {",110,8,,\"a\";", -1, 0},
        {",110,8,250,\"ab\",\"ignored\";", 24, 250},
    };
    for (const TextCase &c : cases) {
        MemoryRead source(std::string(c.record) + "\r\n");
        alignas(8) uint8_t element[1024] = {};
        EXPECT_EQ(FileReadElement(reinterpret_cast<Element *>(element), sizeof element), c.size) << c.record;
        if (c.size > 0) {
            EXPECT_EQ(reinterpret_cast<Element *>(element)->count, c.count) << c.record;
        }
    }
}

TEST_F(DrawFileUnits, AnElementThatDoesNotFitItsUnitIsRefused)
{
    struct Case {
        const char *record;
        uint32_t room;
        int32_t size;
    } cases[] = {
        {",151,2,3,1,2,3;", 40, 40},
        {",151,2,3,1,2,3;", 39, -1},
        {",151,1,4,1,2;", 32, 32},          // missing ints read as 0
        {",151,2,-1;", 64, -1},             // negative counts are damage
        {",220,,,1,2,1,2;", 31, -1},        // a record larger than the room
        {",3,2,1,5;", 64, -1},              // a point must carry a point
        {",-3,,;", 64, -1},                 // run-time elements are never filed
    };
    for (const Case &c : cases) {
        MemoryRead source(std::string(c.record) + "\r\n");
        alignas(8) uint8_t element[256] = {};
        EXPECT_EQ(FileReadElement(reinterpret_cast<Element *>(element), c.room), c.size) << c.record;
    }
}

TEST_F(DrawFileUnits, InstanceHeaderIndicesAreCorrectedAndTranslated)
{
    FileInitIndexMaps();
    g_FileMaps.pen[0] = 0;
    g_FileMaps.layer[4] = 9;
    MemoryRead source(",1,,-3,,//,//,.25,,8704,4,\"*\",\r\n\"B\",\r\n1,,\r\n,1,\r\n,;\r\n,999,,;\r\n");
    Unit *u = reinterpret_cast<Unit *>(Buffer().data());
    ASSERT_EQ(FileReadUnit(u, uint32_t(Buffer().size())), int32_t(UNIT_ELEMENTS_INSTANCE + ELEM_SIZE_END));
    EXPECT_EQ(u->kind, UNIT_KIND_INSTANCE);
    EXPECT_EQ(u->property.pen, 0);
    EXPECT_EQ(u->property.layer, 9);
    EXPECT_STREQ(u->instance.block, "B");
    EXPECT_EQ(u->instance.libraryIndex, -1);
    EXPECT_EQ(u->instance.placement.a, 1.0);
    EXPECT_EQ(u->instance.placement.d, 1.0);
}

TEST_F(DrawFileUnits, ObjectTypesAndLayoutsAreChecked)
{
    const char *const refused[] = {
        ",,,,,//,//,.25,,8704,,2;\r\n,999,,;\r\n",                          // no such type
        ",,,,,//,//,.25,,8704,,0;\r\n,1,3,1,1,2;\r\n,999,,;\r\n",            // a line with one point
        ",,,,,//,//,.25,,8704,,5;\r\n,1,3,1,1,2;\r\n,2,3,1,1,2;\r\n,999,,;\r\n", // a circle with line points
        ",,,,,//,//,.25,,8704,,0;\r\n,1,3,1,1,2;\r\n,2,3,1,1,2;\r\n,101,2,1,1;\r\n,999,,;\r\n",
    };
    for (const char *text : refused) {
        MemoryRead source(text);
        EXPECT_EQ(FileReadUnit(reinterpret_cast<Unit *>(Buffer().data()), uint32_t(Buffer().size())), -1) << text;
    }
    MemoryRead source(",,,,,//,//,.25,,8704,,0;\r\n,1,3,1,1,2;\r\n,2,3,1,3,4;\r\n,999,,;\r\n");
    EXPECT_EQ(FileReadUnit(reinterpret_cast<Unit *>(Buffer().data()), uint32_t(Buffer().size())), 120 + 32 + 32 + 16);
}

TEST_F(DrawFileUnits, AFailedSaveLeavesTheOldFileAsItWas)
{
    BuildRichDrawing();
    const std::string path = TestTempPath("drawfile_safe\\");
    CreateDirectoryA(path.c_str(), nullptr);
    const std::string file = path + "keep.zvd";
    ASSERT_EQ(FileWriteDrawing(nullptr, file.c_str(), kAll), 1);
    const std::string good = TestReadFile(file);

    // An element the writer cannot write: the save fails half-way.
    Unit *last = g_ObjectLists[LIST_DRAWING].tail;
    ASSERT_NE(last, nullptr);
    UnitFirstElement(last)->valueType = 42;
    DrawLog() = DrawFileLog{};
    EXPECT_EQ(FileWriteDrawing(nullptr, file.c_str(), kAll), 0);
    EXPECT_EQ(DrawLog().alerts.size(), 1u);
    EXPECT_TRUE(TestReadFile(file) == good);
    // No unfinished copy is left beside it.
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((path + "*").c_str(), &found);
    int files = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do
            files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
        while (FindNextFileA(h, &found));
        FindClose(h);
    }
    EXPECT_EQ(files, 1);

    // A folder that does not exist: nothing is created.
    DrawLog() = DrawFileLog{};
    EXPECT_EQ(FileWriteDrawing(nullptr, (path + "missing\\x.zvd").c_str(), kAll), 0);
    EXPECT_EQ(DrawLog().alerts.size(), 1u);
    DeleteFileA(file.c_str());
    RemoveDirectoryA(path.c_str());
}

TEST_F(DrawFileUnits, RecordsWrittenAndReadBackAreEqual)
{
    DimLargeRecord large;
    FileDefaultDimLarge(&large);
    large.ints3[1] = 7;
    large.distance420 = 0.5;
    TextStandardData text;
    FileDefaultTextStandard(&text);
    text.matrix.b = 0.25;
    ClipSurfaceData clip{};
    clip.property = XPropertyDefault();
    std::strcpy(clip.block, "Hatch 1");
    clip.placement.a = 1;
    const std::string written = WriteText([&] {
        ZVI_FileWriteDimLarge(&large);
        ZVI_FileWriteSemi();
        ZVI_FileWriteTextStandard(&text);
        ZVI_FileWriteSemi();
        ZVI_FileWriteClipSurface(&clip);
        ZVI_FileWriteSemi();
    });
    MemoryRead source(written);
    DimLargeRecord large2{};
    TextStandardData text2{};
    ClipSurfaceData clip2{};
    ASSERT_EQ(ZVI_FileReadDimLarge(&large2), 1);
    ASSERT_EQ(ZVI_FileReadSemi(), 1);
    ASSERT_EQ(ZVI_FileReadTextStandard(&text2), 1);
    ASSERT_EQ(ZVI_FileReadSemi(), 1);
    ASSERT_EQ(ZVI_FileReadClipSurface(&clip2), 1);
    EXPECT_EQ(0, std::memcmp(&large, &large2, sizeof large));
    EXPECT_EQ(0, std::memcmp(&text, &text2, sizeof text));
    EXPECT_EQ(clip2.libraryIndex, -1);
    EXPECT_STREQ(clip2.block, "Hatch 1");
}

} // namespace
