// One-section files: the layer table, the pen table and the comments saved
// alone and loaded into a working table or the drawing.
#include "drawfile_fixture.h"

#include <memory>

#include "database/undo.h"
#include "files/file_onesection.h"

namespace {

class OneSectionFile : public DrawFileTest {
protected:
    static void NameLayer(LayerDef *table, int i, const char *name, int pen)
    {
        std::snprintf(table[i].name, sizeof table[i].name, "%s", name);
        table[i].setA = table[i].setB = Prop(pen, 0, 0);
        table[i].state = DEF_STATE_DEFAULT;
    }
    static std::unique_ptr<LayerDef[]> EmptyLayers() { return std::make_unique<LayerDef[]>(LAYER_SLOTS); }
    static int CountType(int32_t type)
    {
        int n = 0;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            n += u->kind == UNIT_KIND_OBJECT && u->object.type == type && UndoIsVisible(u, g_UndoStep);
        return n;
    }
};

// A name already in the table replaces that entry in place; index 7 lands at
// 7 when free, else at the first free entry.
TEST_F(OneSectionFile, LayersLandByNameThenIndexThenFirstFree)
{
    auto saved = EmptyLayers();
    NameLayer(saved.get(), 1, "Walls", 1);
    NameLayer(saved.get(), 2, "Doors", 2);
    NameLayer(saved.get(), 7, "Seven", 1);
    saved[2].state = 0;
    TestTempFile file("layers.zvd");
    ASSERT_EQ(FileSaveLayers(file.Path(), saved.get(), 1, 2), 1);
    EXPECT_NE(file.Contents().find("=LAYER="), std::string::npos);

    auto work = EmptyLayers();
    NameLayer(work.get(), 9, "Doors", 1);  // same name elsewhere: replaced at 9
    NameLayer(work.get(), 1, "Other", 1);  // Walls' own index is taken
    NameLayer(work.get(), 2, "Second", 1);
    uint32_t link = 0;
    int32_t active = 0;
    ASSERT_EQ(FileLoadLayers(file.Path(), work.get(), &link, &active), 1);
    EXPECT_EQ(link, 1u);
    EXPECT_EQ(active, 2);
    EXPECT_STREQ(work[9].name, "Doors");
    EXPECT_EQ(work[9].state, 0u);
    EXPECT_EQ(work[9].setA.pen, 2) << "the link switch copies the second set into the first";
    EXPECT_STREQ(work[3].name, "Walls") << "the first free entry";
    EXPECT_STREQ(work[7].name, "Seven");
    EXPECT_STREQ(work[1].name, "Other");
    EXPECT_STREQ(work[2].name, "Second");
}

TEST_F(OneSectionFile, AFullTableDropsNewLayersAndAFileWithoutTheSectionChangesNothing)
{
    auto saved = EmptyLayers();
    NameLayer(saved.get(), 4, "New", 1);
    TestTempFile layers("layers.zvd"), pens("pens.zvd");
    ASSERT_EQ(FileSaveLayers(layers.Path(), saved.get(), 0, 0), 1);
    auto none = std::make_unique<PenDef[]>(PEN_SLOTS);
    ASSERT_EQ(FileSavePens(pens.Path(), none.get(), 0, 0), 1);

    auto full = EmptyLayers();
    for (int i = 1; i < LAYER_SLOTS; ++i)
        NameLayer(full.get(), i, ("L" + std::to_string(i)).c_str(), 1);
    uint32_t link = 0;
    int32_t active = 0;
    EXPECT_EQ(FileLoadLayers(layers.Path(), full.get(), &link, &active), 1);
    EXPECT_STREQ(full[4].name, "L4");

    auto work = EmptyLayers();
    NameLayer(work.get(), 1, "Kept", 1);
    EXPECT_EQ(FileLoadLayers(pens.Path(), work.get(), &link, &active), 1);
    EXPECT_STREQ(work[1].name, "Kept");
    EXPECT_EQ(work[2].name[0], 0);
    EXPECT_TRUE(DrawLog().alerts.empty());
}

TEST_F(OneSectionFile, PensComeBackWithPenZeroAndTheirLayer)
{
    auto saved = std::make_unique<PenDef[]>(PEN_SLOTS);
    saved[0].setB = PropertyDefault();
    saved[0].setB.width = 0.7;
    std::strcpy(saved[5].name, "Thick");
    saved[5].setA = saved[5].setB = PropertyDefault();
    saved[5].setB.width = 1.4;
    saved[5].layer = 3;
    saved[5].state = DEF_STATE_DEFAULT;
    for (int i = 1; i < PEN_SLOTS; ++i)
        if (i != 5)
            saved[i].layer = PEN_NO_LAYER;
    TestTempFile file("pens.zvd");
    ASSERT_EQ(FileSavePens(file.Path(), saved.get(), 0, 5), 1);
    auto work = std::make_unique<PenDef[]>(PEN_SLOTS);
    uint32_t link = 1;
    int32_t active = 0;
    ASSERT_EQ(FileLoadPens(file.Path(), work.get(), &link, &active), 1);
    EXPECT_EQ(link, 0u);
    EXPECT_EQ(active, 5);
    EXPECT_DOUBLE_EQ(work[0].setA.width, 0.7);
    EXPECT_DOUBLE_EQ(work[0].setB.width, 0.7);
    EXPECT_STREQ(work[5].name, "Thick");
    EXPECT_DOUBLE_EQ(work[5].setB.width, 1.4);
    EXPECT_EQ(work[5].layer, 3);
}

// An index outside the table in the file is refused with its message, and
// nothing past the table is written.
TEST_F(OneSectionFile, AnIndexOutsideTheTableIsRefused)
{
    auto saved = EmptyLayers();
    NameLayer(saved.get(), 4, "Far", 1);
    TestTempFile file("bad.zvd");
    ASSERT_EQ(FileSaveLayers(file.Path(), saved.get(), 0, 0), 1);
    std::string text = file.Contents();
    const size_t at = text.find("\"Far\",4");
    ASSERT_NE(at, std::string::npos) << text;
    TestWriteFile(file.Path(), text.replace(at, 7, "\"Far\",501"));
    auto work = EmptyLayers();
    uint32_t link = 0;
    int32_t active = 0;
    EXPECT_EQ(FileLoadLayers(file.Path(), work.get(), &link, &active), 0) << file.Contents();
    EXPECT_TRUE(SawAlertOrDiagnostic("Invalid LAYER index"));
    EXPECT_EQ(work[4].name[0], 0);
}

// Only Comment objects are written, and loading adds them in one undo step.
TEST_F(OneSectionFile, CommentsAloneTravelAndComeBackInOneUndoStep)
{
    Unit *comment = MakeTyped(OBJTYPE_COMMENT, 1);
    ASSERT_NE(comment, nullptr);
    ASSERT_NE(StoreObject(comment), nullptr);
    Unit *line = MakeTyped(OBJTYPE_LINE, 2);
    ASSERT_NE(StoreObject(line), nullptr);
    TestTempFile file("comments.zvd");
    ASSERT_EQ(FileSaveObjects(file.Path()), 1);

    UndoInitProcess();
    ASSERT_EQ(FileLoadObjects(file.Path()), 1);
    UndoFinishProcess();
    EXPECT_EQ(CountType(OBJTYPE_COMMENT), 2);
    EXPECT_EQ(CountType(OBJTYPE_LINE), 1);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(CountType(OBJTYPE_COMMENT), 1);
}

} // namespace
