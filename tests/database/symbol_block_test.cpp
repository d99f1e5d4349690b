// Blocks made from the selection, attributes, the block indexes, explosion
// and attribute references.
#include "create_fixture.h"

#include <memory>

#include "app/system.h"
#include "database/init.h"
#include "database/object_attributes.h"
#include "database/symbol_block.h"
#include "database/symbol_browse.h"
#include "database/symbol_explode.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "files/file_drawinginfo.h"
#include "language/language.h"
#include "tests/common/test_objects.h"

namespace {

class SymbolBlockTest : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        g_OwnBlockIndex.count = 0;
        g_LibraryBlockIndex.count = 0;
        g_LibrarySlots.count = 0;
        for (LibrarySlot &s : g_LibrarySlots.slots)
            SymbolFreeLibrarySlot(&s);
        g_DrawingInfo.modified = 0;
        g_DrawingSettings.displayDuplicate = 0;
    }
    void TearDown() override
    {
        g_LibrarySlots.count = 0;
        g_OwnBlockIndex.count = 0;
        g_LibraryBlockIndex.count = 0;
        CreateTest::TearDown();
    }
    static Unit *SelectedLine(double x1, double y1, double x2, double y2)
    {
        Unit *u = TestNewLine(x1, y1, x2, y2);
        u->flags |= UNIT_SELECTED;
        return u;
    }
    static void OpenLibrarySlot(int slot, const char *title)
    {
        std::strcpy(g_LibrarySlots.slots[slot].info.title, title);
        g_LibrarySlots.slots[slot].caching = 0;
        if (g_LibrarySlots.count <= slot)
            g_LibrarySlots.count = slot + 1;
    }
    static Unit *Instance(const char *library, const char *block, double tx = 0, double ty = 0)
    {
        BlockInsertSlot entry{};
        std::strcpy(entry.nameLibrary, library);
        std::strcpy(entry.nameBlock, block);
        Matrix m;
        MatrixInit(&m);
        MatrixMove(&m, tx, ty);
        return SymbolCreateInstance(&entry, &m, nullptr);
    }
};

TEST_F(SymbolBlockTest, BlockFromSelectionTakesFrameRelativeToReferenceAndReplacesOldBlock)
{
    SelectedLine(0, 0, 10, 10);
    int replaced = -1;
    ASSERT_EQ(SymbolCreateBlock("*", "Door", 0, 5, 5, 0, 0, 10, 10, &replaced), 1);
    EXPECT_EQ(replaced, 0);
    Unit *b = SymbolFindBlock("*", "Door");
    ASSERT_NE(b, nullptr);
    const double expected[4] = {-5, -5, 5, 5};
    for (int i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(b->block.blockFrame[i], expected[i]);
    ASSERT_NE(b->block.firstMember, nullptr);
    EXPECT_DOUBLE_EQ(b->frame[0], -5);
    EXPECT_DOUBLE_EQ(b->frame[3], 5);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);

    // The same name again replaces it; an instance linked to it stays linked.
    Unit *inst = Instance("*", "Door");
    ASSERT_EQ(SymbolCreateBlock("*", "Door", 0, 0, 0, 1e300, 0, 0, 0, &replaced), 1);
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(g_OwnBlockIndex.count, 1);
    EXPECT_EQ(SymbolGetInstanceBlock(inst), SymbolFindBlock("*", "Door"));
    EXPECT_EQ(SymbolFindBlock("*", "Door")->block.blockFrame[0], 1e300);
}

TEST_F(SymbolBlockTest, RefusedBlocksChangeNothing)
{
    OpenLibrarySlot(0, "Lib");
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "Own", nullptr), 1);
    Unit *own = Instance("*", "Own");
    own->flags |= UNIT_SELECTED;
    // A library block may not refer to the drawing's own blocks.
    EXPECT_EQ(SymbolCreateBlock("Lib", "L", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 0);
    ASSERT_EQ(Alerts().texts.size(), 1u);
    EXPECT_EQ(Alerts().texts[0], eAlertTextSM[35]);
    EXPECT_EQ(g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST].count, 0u);
    // An own block may not contain itself, also through another block.
    EXPECT_EQ(SymbolCreateBlock("*", "Own", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 0);
    EXPECT_EQ(Alerts().texts.size(), 2u);
    EXPECT_EQ(SymbolFindBlock("*", "Own")->block.firstMember, nullptr);
    // An unknown library: entry 18.
    EXPECT_EQ(SymbolCreateBlock("Nope", "X", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 0);
    EXPECT_EQ(Alerts().texts.back(), eAlertTextSM[18]);
}

TEST_F(SymbolBlockTest, AttributesAreCutAndSizedAndOrdered)
{
    AttributeEntry entry;
    SymbolMakeAttribute(&entry, 400, std::string(40, 'n').c_str(), "");
    std::memset(entry.value, 'v', 255);
    entry.value[255] = 0;
    std::vector<uint8_t> out(ELEM_SIZE_ATTRIBUTE);
    EXPECT_EQ(SymbolStoreAttribute(reinterpret_cast<Element *>(out.data()), &entry), 304u);
    const auto *stored = reinterpret_cast<const AttributeEntry *>(out.data());
    EXPECT_EQ(std::strlen(stored->value), 249u);
    EXPECT_EQ(std::strlen(stored->name), 31u);
    entry.value[0] = 0;
    EXPECT_EQ(SymbolStoreAttribute(reinterpret_cast<Element *>(out.data()), &entry), 56u);

    ASSERT_EQ(SymbolCreateEmptyBlock("*", "B", nullptr), 1);
    AttributeEntry set[3];
    SymbolMakeAttribute(&set[0], 400, "value", "v1");
    SymbolMakeAttribute(&set[1], 300, "def", "d1");
    SymbolMakeAttribute(&set[2], 120, "ignored", "x");
    Unit *inst = Instance("*", "B");
    ASSERT_EQ(SymbolSetBlockAttributes("*", "B", set, 3), 1);
    std::vector<AttributeEntry> got(ATTRIBUTE_ENTRIES_MAX);
    ASSERT_EQ(SymbolGetBlockAttributes("*", "B", got.data()), 2);
    EXPECT_EQ(got[0].head.kind, 300); // definitions first
    EXPECT_STREQ(got[1].value, "v1");
    EXPECT_EQ(SymbolGetInstanceBlock(inst), SymbolFindBlock("*", "B"));
    EXPECT_EQ(SymbolGetBlockAttributes("*", "none", got.data()), -1);

    // Instance values replace the unit; the block's definitions come first.
    SymbolMakeAttribute(&set[0], 401, "count", "7");
    UndoInitProcess();
    ASSERT_EQ(SymbolSetInstanceAttributes(inst, set, 2), 1);
    UndoFinishProcess();
    Unit *fresh = inst->next;
    ASSERT_NE(fresh, nullptr);
    ASSERT_EQ(SymbolGetInstanceAttributes(fresh, got.data()), 2);
    EXPECT_STREQ(got[0].name, "def");
    EXPECT_STREQ(got[1].value, "7");
    EXPECT_EQ(TestAliveUnits().size(), 1u);
}

TEST_F(SymbolBlockTest, IndexInsertionShiftsCachedPositionsEverywhere)
{
    OpenLibrarySlot(0, "A");
    OpenLibrarySlot(1, "B");
    const char *names[] = {"b0", "b1", "b2", "b3", "b4", "b6", "b7"};
    for (const char *n : names)
        ASSERT_EQ(SymbolCreateEmptyBlock("A", n, nullptr), 1);
    ASSERT_EQ(SymbolCreateEmptyBlock("B", "z", nullptr), 1);
    Unit *at6 = Instance("A", "b6");
    Unit *at4 = Instance("A", "b4");
    Unit *intoB = Instance("B", "z");
    EXPECT_EQ(at6->instance.blockIndex, 5);
    EXPECT_EQ(intoB->instance.blockIndex, 7);
    ASSERT_EQ(SymbolCreateEmptyBlock("A", "b5", nullptr), 1); // lands at position 5
    EXPECT_EQ(at6->instance.blockIndex, 6);
    EXPECT_EQ(at4->instance.blockIndex, 4);
    EXPECT_EQ(intoB->instance.blockIndex, 8);
    EXPECT_EQ(g_LibrarySlots.slots[0].modified, 1u);

    // Removing position 5 again: references to it become unresolved.
    Unit *at5 = Instance("A", "b5");
    Unit *b5 = SymbolFindBlock("A", "b5");
    SymbolIndexRemoveLibrary(0, b5);
    EXPECT_EQ(at5->instance.blockIndex, -1);
    EXPECT_EQ(at6->instance.blockIndex, 5);

    // A stub is found only with deleted.
    SymbolIndexAddLibrary(0, b5);
    SymbolEmptyBlock(LIST_SYMBOL_LIBRARY_FIRST, b5);
    EXPECT_EQ(SymbolFindBlockIndex(0, "b5", 0), -1);
    EXPECT_EQ(SymbolFindBlockIndex(0, "b5", 1), 5);
    EXPECT_EQ(SymbolProbeLibraryBlock(0, "b5"), 1);
    EXPECT_EQ(SymbolFindBlock("A", "b5"), nullptr);
    EXPECT_EQ(SymbolLibraryBlockExists(0, "b5"), 0);
}

TEST_F(SymbolBlockTest, FullOwnIndexLeavesTheNewBlockOutButMarksModified)
{
    for (int i = 0; i < OWN_BLOCK_INDEX_CAPACITY; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "b%05d", i);
        ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, name), nullptr);
    }
    SymbolRebuildOwnIndex();
    ASSERT_EQ(g_OwnBlockIndex.count, OWN_BLOCK_INDEX_CAPACITY);
    g_DrawingInfo.modified = 0;
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "extra", nullptr), 1);
    EXPECT_EQ(g_OwnBlockIndex.count, OWN_BLOCK_INDEX_CAPACITY);
    EXPECT_EQ(SymbolFindBlockIndex(LIBRARY_INDEX_OWN, "extra", 0), -1);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
}

TEST_F(SymbolBlockTest, ExplodeCopiesMembersInPlaceOfTheInstanceAndUndoRestoresIt)
{
    SelectedLine(0, 0, 2, 0);
    ASSERT_EQ(SymbolCreateBlock("*", "L", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 1);
    for (Unit *u : TestAliveUnits())
        UndoStampDeleted(u);
    UndoInitProcess();
    Unit *inst = Instance("*", "L", 10, 20);
    inst->flags |= UNIT_SELECTED;
    UndoFinishProcess();
    UndoInitProcess();
    ASSERT_EQ(SymbolExplode(UNIT_SELECTED, 0, 0), 1);
    UndoFinishProcess();
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->kind, UNIT_KIND_OBJECT);
    EXPECT_DOUBLE_EQ(alive[0]->frame[0], 10);
    EXPECT_DOUBLE_EQ(alive[0]->frame[2], 12);
    EXPECT_DOUBLE_EQ(alive[0]->frame[1], 20);
    // Nothing selected to explode in mode 0: entry 15.
    EXPECT_EQ(SymbolExplode(UNIT_SELECTED | UNIT_USER_MARK, 0, 0), 0);
    EXPECT_EQ(Alerts().texts.back(), eAlertTextSM[15]);
}

TEST_F(SymbolBlockTest, AttributeReferencesPreferTheInstanceAndKnowThePlacement)
{
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "T", nullptr), 1);
    AttributeEntry def;
    SymbolMakeAttribute(&def, 300, "size", "M8");
    ASSERT_EQ(SymbolSetBlockAttributes("*", "T", &def, 1), 1);
    Unit *inst = Instance("*", "T", 3, 4);
    char out[ATTRIBUTE_TEXT_SIZE] = "untouched";
    EXPECT_EQ(SymbolResolveAttributeText(inst, "size", out, nullptr, 1), 1);
    EXPECT_STREQ(out, "M8");
    AttributeEntry value;
    SymbolMakeAttribute(&value, 400, "size", "M10");
    UndoInitProcess();
    ASSERT_EQ(SymbolSetInstanceAttributes(inst, &value, 1), 1);
    UndoFinishProcess();
    EXPECT_EQ(SymbolResolveAttributeText(inst->next, "size", out, nullptr, 1), 1);
    EXPECT_STREQ(out, "M10");
    EXPECT_EQ(SymbolResolveAttributeText(inst, "*3", out, nullptr, 5), 1);
    EXPECT_STREQ(out, "1");
    EXPECT_EQ(SymbolResolveAttributeText(inst, "*4", out, nullptr, 5), 1);
    EXPECT_STREQ(out, "3");
    int builtIn = 0;
    EXPECT_EQ(SymbolResolveAttributeText(inst, "*0", out, &builtIn, 5), 1);
    EXPECT_STREQ(out, "T");
    EXPECT_EQ(builtIn, 1);
    EXPECT_EQ(SymbolResolveAttributeText(inst, "*12", out, nullptr, 5), 0); // an ordinary name
    EXPECT_STREQ(out, eDefaultNames[7]);
    std::strcpy(out, "kept");
    EXPECT_EQ(SymbolResolveAttributeText(nullptr, "size", out, nullptr, 1), 0);
    EXPECT_STREQ(out, "kept");
}

TEST_F(SymbolBlockTest, PurgeDeletesUnusedBlocksAndThoseOnlyTheyUse)
{
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "inner", nullptr), 1);
    Unit *i = Instance("*", "inner");
    i->flags |= UNIT_SELECTED;
    ASSERT_EQ(SymbolCreateBlock("*", "outer", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 1);
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "#Pkeep", nullptr), 1);
    EXPECT_EQ(SymbolPurgeUnused(0), 1); // "inner" is used by the drawing
    EXPECT_NE(SymbolFindBlock("*", "inner"), nullptr);
    EXPECT_EQ(SymbolFindBlock("*", "outer"), nullptr);
    EXPECT_NE(SymbolFindBlock("*", "#Pkeep"), nullptr);
    char a[UNIT_NAME_SIZE], b[UNIT_NAME_SIZE];
    SymbolMakeGroupName(a);
    SymbolMakeGroupName(b);
    EXPECT_STRNE(a, b);
    EXPECT_EQ(std::strncmp(a, "#G\\", 3), 0);
}

} // namespace

namespace {

TEST_F(SymbolBlockTest, PurgeKeepsABlockWhoseInstanceReplacedTheSelection)
{
    SelectedLine(0, 0, 1, 1);
    ASSERT_EQ(SymbolCreateBlock("*", "Used", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 1);
    UndoInitProcess();
    ASSERT_EQ(SymbolReplaceSelectionByInstance("*", "Used", 0, 0), 1);
    UndoFinishProcess();
    ASSERT_EQ(TestAliveUnits().size(), 1u);
    Unit *inst = TestAliveUnits()[0];
    EXPECT_EQ(inst->instance.libraryIndex, LIBRARY_INDEX_OWN);
    EXPECT_EQ(inst->instance.blockIndex, 0);
    EXPECT_EQ(SymbolPurgeUnused(0), 0);
    EXPECT_NE(SymbolFindBlock("*", "Used"), nullptr);
}

} // namespace

namespace {

TEST_F(SymbolBlockTest, UpkeepRefusesWhatWouldLoseOrClobberBlocks)
{
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "Used", nullptr), 1);
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "Free", nullptr), 1);
    Instance("*", "Used");
    // An own block the drawing uses is not deleted, nor its folder.
    EXPECT_EQ(SymbolDeleteBlockByName("*", "Used"), 0);
    EXPECT_NE(SymbolFindBlock("*", "Used"), nullptr);
    EXPECT_EQ(SymbolDeleteFolder("*", "U"), 0);
    EXPECT_NE(SymbolFindBlock("*", "Used"), nullptr);
    EXPECT_EQ(SymbolDeleteBlockByName("*", "Free"), 1);
    EXPECT_EQ(SymbolFindBlock("*", "Free"), nullptr);

    // A rename onto a name in use is refused, stubs of a caching library included.
    OpenLibrarySlot(0, "C");
    g_LibrarySlots.slots[0].caching = 1;
    ASSERT_EQ(SymbolCreateEmptyBlock("C", "a", nullptr), 1);
    ASSERT_EQ(SymbolCreateEmptyBlock("C", "b", nullptr), 1);
    ASSERT_EQ(SymbolDeleteBlockByName("C", "b"), 1); // leaves a stub
    EXPECT_EQ(SymbolFindBlockIndex(0, "b", 1), 1);
    EXPECT_EQ(SymbolRenameBlock("C", "a", "b"), 0);
    EXPECT_EQ(SymbolRenameBlock("C", "a", "c"), 1);
    EXPECT_EQ(SymbolFindBlockIndex(0, "a", 1), 0); // the old name as a stub
    EXPECT_NE(SymbolFindBlock("C", "c"), nullptr);
}

TEST_F(SymbolBlockTest, FoldersAreBrowsedRenamedAndCopied)
{
    for (const char *n : {"A", "Mech\\Bolt", "Mech\\Nut\\M8", "AB\\y", "A\\x"})
        ASSERT_EQ(SymbolCreateEmptyBlock("*", n, nullptr), 1);
    ASSERT_EQ(SymbolBrowseLibrary("*", "", 0), 1);
    ASSERT_EQ(SymbolBrowseFolderCount(), 3); // A\ AB\ Mech\ ...
    EXPECT_STREQ(SymbolBrowseFolderName(2), "Mech\\");
    ASSERT_EQ(SymbolBrowseBlockCount(), 1);
    EXPECT_STREQ(SymbolBrowseBlockName(0), "A");
    ASSERT_EQ(SymbolBrowseLibrary("*", "Mech\\", 0), 1);
    EXPECT_EQ(SymbolBrowseFolderCount(), 1);
    EXPECT_STREQ(SymbolBrowseBlockName(0), "Bolt");
    EXPECT_EQ(SymbolBrowseLibrary("*", "Mech\\Bolt", 0), 1); // a block, no entries
    EXPECT_EQ(SymbolBrowseBlockCount(), 0);
    EXPECT_EQ(SymbolBrowseLibrary("*", "X\\", 0), 0);

    EXPECT_EQ(SymbolCanRenameFolder("*", "A\\", "Mech\\"), 0);
    EXPECT_EQ(SymbolCanRenameFolder("*", "A\\", std::string(62, 'z').append("\\").c_str()), 0);
    ASSERT_EQ(SymbolRenameFolder("*", "A\\", "B\\"), 1);
    EXPECT_NE(SymbolFindBlock("*", "B\\x"), nullptr);
    EXPECT_NE(SymbolFindBlock("*", "AB\\y"), nullptr);
    EXPECT_EQ(SymbolFindBlock("*", "A\\x"), nullptr);

    Unit *bolt = SymbolFindBlock("*", "Mech\\Bolt");
    EXPECT_EQ(SymbolCopyBlock("*", "*", "A", "Mech\\Bolt", 0), 1); // kept
    EXPECT_EQ(SymbolFindBlock("*", "Mech\\Bolt"), bolt);
    EXPECT_EQ(SymbolCopyBlock("*", "*", "A", "Mech\\Bolt", 1), 1);
    EXPECT_NE(SymbolFindBlock("*", "Mech\\Bolt"), nullptr);
}

} // namespace

namespace {

TEST_F(SymbolBlockTest, ABlocksOwnPropertyIsReadAndWrittenAsTheGeneralGroup)
{
    Unit *b = SymbolNewBlock(LIST_OWN_BLOCKS, "door");
    ASSERT_NE(b, nullptr);
    SymbolRebuildOwnIndex();
    b->property.width = 0.7;
    auto set = std::make_unique<ObjectAttributes>();
    ASSERT_EQ(SymbolGetBlockProperty("*", "door", set.get()), 1);
    EXPECT_EQ(set->present[ATTR_GENERAL], 1u);
    EXPECT_EQ(set->general.fieldMask, 0u);
    EXPECT_DOUBLE_EQ(set->general.values.width, 0.7);
    set->general.values.width = 1.4;
    g_DrawingInfo.modified = 0;
    ASSERT_EQ(SymbolSetBlockProperty("*", "door", set.get()), 1);
    EXPECT_DOUBLE_EQ(b->property.width, 1.4);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
    // Without the group nothing is written; unknown blocks are refused.
    set->present[ATTR_GENERAL] = 0;
    set->general.values.width = 2.0;
    ASSERT_EQ(SymbolSetBlockProperty("*", "door", set.get()), 1);
    EXPECT_DOUBLE_EQ(b->property.width, 1.4);
    EXPECT_EQ(SymbolGetBlockProperty("*", "window", set.get()), 0);
    EXPECT_EQ(SymbolSetBlockProperty("*", "window", set.get()), 0);
}

} // namespace

namespace {

TEST_F(SymbolBlockTest, CollectingUsedBlocksFollowsNestingAndKeepsWholeBitmapNames)
{
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "inner", nullptr), 1);
    Unit *i = Instance("*", "inner");
    i->flags |= UNIT_SELECTED;
    ASSERT_EQ(SymbolCreateBlock("*", "outer", 0, 0, 0, 1e300, 1e300, 1e300, 1e300, nullptr), 1);
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "unused", nullptr), 1);
    i->flags &= ~UNIT_SELECTED;
    Unit *o = Instance("*", "outer");
    ASSERT_NE(o, nullptr);
    o->flags |= UNIT_SELECTED; // only the instance of "outer" is looked at
    // A bitmap path longer than 64 characters, twice with other case.
    const std::string path = "C:\\" + std::string(150, 'p') + "\\image.bmp";
    std::string upper = path;
    upper[3] = 'P';
    ASSERT_EQ(ObjectNewBitmapRef(0, 0, path.c_str(), nullptr, 0), 1);
    ASSERT_EQ(ObjectNewBitmapRef(5, 0, upper.c_str(), nullptr, 0), 1);
    ASSERT_EQ(ObjectNewBitmapRef(9, 0, "other.bmp", nullptr, 0), 1);

    std::vector<uint8_t> own(OWN_BLOCK_INDEX_CAPACITY, 1), library(LIBRARY_INDEX_CAPACITY, 1);
    std::vector<char> names(size_t(SYMBOL_USED_BITMAPS) * SYMBOL_USED_NAME_SIZE, 'x');
    auto *slots = reinterpret_cast<char(*)[SYMBOL_USED_NAME_SIZE]>(names.data());
    SymbolCollectUsed(UNIT_SELECTED, own.data(), library.data(), slots, nullptr);
    EXPECT_STREQ(slots[0], "");
    for (const char *name : {"inner", "outer"})
        EXPECT_EQ(own[size_t(SymbolFindBlockIndex(LIBRARY_INDEX_OWN, name, 0))], SYMBOL_USED_MARK) << name;
    EXPECT_EQ(own[size_t(SymbolFindBlockIndex(LIBRARY_INDEX_OWN, "unused", 0))], 0);
    EXPECT_EQ(library[0], 0);
    SymbolCollectUsed(0, nullptr, nullptr, slots, nullptr);
    EXPECT_EQ(std::string(slots[0]), path);
    EXPECT_STREQ(slots[1], "other.bmp");
    EXPECT_STREQ(slots[2], "");
}

} // namespace
