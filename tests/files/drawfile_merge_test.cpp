// Merging a drawing into the open one: definitions by name, the file's
// indices translated to the drawing's.
#include "drawfile_fixture.h"

#include "files/file_commands.h"
#include "files/file_drawinginfo.h"

namespace {

class DrawFileMerge : public DrawFileTest {
protected:
    static void NamePen(int i, const char *name)
    {
        std::snprintf(g_PenDefs[i].name, sizeof g_PenDefs[i].name, "%s", name);
        g_PenDefs[i].setA = g_PenDefs[i].setB = PropertyDefault();
        g_PenDefs[i].layer = PEN_NO_LAYER;
    }
    static void NameLayer(int i, const char *name)
    {
        std::snprintf(g_LayerDefs[i].name, sizeof g_LayerDefs[i].name, "%s", name);
    }
    static void AddLine(int pen, int layer, int lineType)
    {
        Unit *u = MakeTyped(OBJTYPE_LINE, 1);
        ASSERT_NE(u, nullptr);
        u->property = Prop(pen, layer, lineType);
        ASSERT_NE(StoreObject(u), nullptr);
    }
    static std::string WriteFile(const char *name)
    {
        const std::string path = TestTempPath(name);
        EXPECT_EQ(FileWriteDrawing(nullptr, path.c_str(), kAll), 1);
        return path;
    }
    static Unit *Object(int n)
    {
        Unit *u = g_ObjectLists[LIST_DRAWING].head;
        for (int i = 0; u && i < n; ++i)
            u = u->next;
        return u;
    }
};

TEST_F(DrawFileMerge, PensLayersAndLineTypesMapByName)
{
    // The file: "Red" at 7, "Blue" at 12, layer "Doors" at 4, line type "Dots" at 3.
    NamePen(7, "Red");
    NamePen(12, "Blue");
    NameLayer(4, "Doors");
    std::strcpy(g_LineDefs[3].name, "Dots");
    AddLine(7, 4, 3);
    AddLine(12, 0, 0);
    const std::string path = WriteFile("drawfile_merge.zvd");

    // The open drawing: "Red" at 12, "Doors" at 9, "Dots" at 3 taken by another.
    FileClearDrawing();
    NamePen(12, "Red");
    NameLayer(9, "Doors");
    std::strcpy(g_LineDefs[3].name, "Dashes");
    AddLine(12, 9, 0);
    g_DrawingInfo.modified = 0;
    ASSERT_EQ(FileOpenDrawing(path.c_str(), 0, kAll, 0, 1), FILE_OPEN_DONE);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);

    EXPECT_STREQ(g_PenDefs[7].name, "");    // "Red" was not added
    EXPECT_STREQ(g_PenDefs[1].name, "Blue"); // its index was taken: the first free slot
    EXPECT_STREQ(g_LineDefs[1].name, "Dots");
    ASSERT_EQ(g_ObjectLists[LIST_DRAWING].count, 3u);
    const Unit *first = Object(1);
    EXPECT_EQ(first->property.pen, 12);
    EXPECT_EQ(first->property.layer, 9);
    EXPECT_EQ(first->property.lineType, 1);
    EXPECT_EQ(Object(2)->property.pen, 1);
    // Merged objects are marked and belong to the merge's own undo step.
    EXPECT_TRUE(first->flags & UNIT_MARKED);
    EXPECT_NE(first->birth, UNIT_BIRTH_ALWAYS);
    EXPECT_EQ(Object(0)->birth, UNIT_BIRTH_ALWAYS);
    DeleteFileA(path.c_str());
}

// One Undo takes back the merge and nothing before it; a merge that fails
// halfway leaves objects, blocks and definitions as they were.
TEST_F(DrawFileMerge, AMergeIsOneUndoStepAndAFailedOneChangesNothing)
{
    NamePen(7, "Merged");
    AddLine(7, 0, 0);
    const std::string path = WriteFile("drawfile_merge_undo.zvd");
    FileClearDrawing();
    UndoInitProcess();
    AddLine(0, 0, 0);
    g_ObjectLists[LIST_DRAWING].tail->birth = g_UndoStep;
    UndoFinishProcess();
    ASSERT_EQ(FileOpenDrawing(path.c_str(), 0, kAll, 0, 1), FILE_OPEN_DONE);
    auto alive = [] {
        int n = 0;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            n += u->birth <= g_UndoStep && u->death > g_UndoStep;
        return n;
    };
    EXPECT_EQ(alive(), 2);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(alive(), 1); // the line drawn before the merge stays

    // The same file cut inside its OBJECT section: read up to the fault.
    std::string text;
    {
        FILE *f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
            text.append(chunk, n);
        std::fclose(f);
    }
    const size_t objects = text.find("=OBJECT=");
    ASSERT_NE(objects, std::string::npos);
    text = text.substr(0, text.find("\r\n", text.find("\r\n", objects) + 2) + 2) + ",1,3,1,x;\r\n";
    const std::string damaged = TestTempPath("drawfile_merge_damaged.zvd");
    {
        FILE *f = std::fopen(damaged.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    FileClearDrawing();
    AddLine(0, 0, 0);
    g_DrawingInfo.modified = 0;
    const std::string before = DrawFileWrittenText();
    const std::vector<PenDef> pens(g_PenDefs, g_PenDefs + PEN_SLOTS);
    EXPECT_EQ(FileOpenDrawing(damaged.c_str(), 0, kAll, 0, 1), FILE_OPEN_FAILED);
    EXPECT_TRUE(DrawFileWrittenText() == before);
    EXPECT_EQ(std::memcmp(pens.data(), g_PenDefs, sizeof g_PenDefs), 0);
    EXPECT_EQ(g_DrawingInfo.modified, 0u);
    DeleteFileA(path.c_str());
    DeleteFileA(damaged.c_str());
}

TEST_F(DrawFileMerge, ADefinitionWithoutRoomMapsToSlotZero)
{
    NamePen(5, "Newcomer");
    AddLine(5, 0, 0);
    const std::string path = WriteFile("drawfile_full.zvd");
    FileClearDrawing();
    for (int i = 1; i < PEN_SLOTS; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "P%d", i);
        NamePen(i, name);
    }
    ASSERT_EQ(FileReadDrawing(nullptr, path.c_str(), kAll, 1), 1);
    ASSERT_EQ(g_ObjectLists[LIST_DRAWING].count, 1u);
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].head->property.pen, 0); // not pen 5 ("P5")
    DeleteFileA(path.c_str());
}

TEST_F(DrawFileMerge, ReplacingKeepsTheFileIndicesAndFreesTheRest)
{
    NamePen(3, "Three");
    NamePen(9, "Nine");
    const std::string path = WriteFile("drawfile_replace.zvd");
    FileClearDrawing();
    NamePen(4, "Old");
    ASSERT_EQ(FileReadDrawing(nullptr, path.c_str(), kAll, 0), 1);
    EXPECT_STREQ(g_PenDefs[3].name, "Three");
    EXPECT_STREQ(g_PenDefs[9].name, "Nine");
    for (int i : {1, 2, 4, 5, 8})
        EXPECT_STREQ(g_PenDefs[i].name, "") << i;
    DeleteFileA(path.c_str());
}

TEST_F(DrawFileMerge, ExistingBlocksAreSkippedWithTheirMembers)
{
    Unit *frame = SymbolNewBlock(LIST_OWN_BLOCKS, "Frame");
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, frame, MakeTyped(OBJTYPE_LINE, 1)), nullptr);
    ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, "Other"), nullptr);
    const std::string path = WriteFile("drawfile_blocks.zvd");
    FileClearDrawing();
    Unit *mine = SymbolNewBlock(LIST_OWN_BLOCKS, "Frame");
    ASSERT_NE(mine, nullptr);
    ASSERT_EQ(FileReadDrawing(nullptr, path.c_str(), kAll, 1), 1);
    EXPECT_EQ(g_ObjectLists[LIST_OWN_BLOCKS].count, 2u); // "Frame" (mine, empty) and "Other"
    EXPECT_EQ(mine->block.firstMember, nullptr);
    DeleteFileA(path.c_str());
}

TEST_F(DrawFileMerge, PastingLeavesTheTranslationAtIdentity)
{
    NamePen(7, "Red");
    AddLine(7, 0, 0);
    HGLOBAL block = FileWriteDrawingMemory(FILE_SECTION_DRAWING | FILE_SECTION_BLOCK | FILE_SECTION_OBJECT |
                                           FILE_MODE_SELECTION | FILE_MODE_QUIET);
    ASSERT_NE(block, nullptr);
    FileClearDrawing();
    NamePen(2, "Red");
    ASSERT_EQ(FileReadDrawingMemory(block, FILE_SECTION_BLOCK | FILE_SECTION_OBJECT | FILE_MODE_REPLACE | FILE_MODE_QUIET, 1),
              1);
    for (int i = 0; i < PEN_SLOTS; ++i)
        ASSERT_EQ(g_FileMaps.pen[i], i);
    GlobalFree(block);
}

} // namespace
