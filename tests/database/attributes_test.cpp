// Attribute collections and the property commands: first come collecting,
// masked and whole application, copy properties, blocks, and the plug-in area.
#include "create_fixture.h"

#include <cmath>
#include <cstring>

#include "app/system.h"
#include "app/window.h"
#include "commands/command_state.h"
#include "common/test_objects.h"
#include "database/object_attributes.h"
#include "database/object_property.h"
#include "database/object_types.h"
#include "database/init.h"
#include "files/file_records.h"

namespace {

class AttributesTest : public CreateTest {
protected:
    static Unit *ColouredLine(COLORREF c1, COLORREF c2)
    {
        Unit *u = TestNewLine(0, 0, 1, 1);
        FrameCalcObject(u, 1);
        u->property.color1 = c1;
        u->property.color2 = c2;
        return u;
    }
    static Unit *StandardText(COLORREF c1)
    {
        Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_STD_TEXT, {});
        Element *e = ElementNext(UnitFirstElement(u));
        auto *r = static_cast<TextStandardData *>(ElementPayload(e));
        FileDefaultTextStandard(r);
        r->property.color1 = c1;
        MatrixInit(&r->matrix);
        MatrixScale(&r->matrix, 5, 5);
        MatrixMove(&r->matrix, 10, 20);
        return u;
    }
    static TextStandardData *TextRecord(Unit *u)
    {
        return static_cast<TextStandardData *>(ElementPayload(ElementNext(UnitFirstElement(u))));
    }
};

TEST_F(AttributesTest, FirstComeAndMaskedApplication)
{
    Unit *red = ColouredLine(RGB(255, 0, 0), 0), *blue = ColouredLine(RGB(0, 0, 255), 0);
    ObjectAttributes set;
    ObjectAttributesInit(&set);
    ObjectAttributesCollect(red, &set);
    ObjectAttributesCollect(blue, &set);
    ASSERT_EQ(set.present[ATTR_GENERAL], 1u);
    EXPECT_EQ(set.general.values.color1, RGB(255, 0, 0)) << "a later object never changes a present group";
    set.general.values.color1 = RGB(0, 255, 0);
    ObjectAttributesApply(blue, &set, 0, 0);
    EXPECT_EQ(blue->property.color1, RGB(0, 0, 255)) << "an empty mask changes nothing";
    set.general.fieldMask = 0x4;
    ObjectAttributesApply(blue, &set, 0, 0);
    EXPECT_EQ(blue->property.color1, RGB(0, 255, 0));
    ObjectAttributesApply(red, &set, 1, 0);
    EXPECT_EQ(red->property.color1, RGB(0, 255, 0)) << "all mode";
}

TEST_F(AttributesTest, TextGivesOnlyTheAnnotationGroupAndItsMatrixByParts)
{
    Unit *text = StandardText(RGB(1, 2, 3));
    Unit *line = ColouredLine(RGB(9, 9, 9), 0);
    ObjectAttributes set;
    ObjectAttributesInit(&set);
    ObjectAttributesCollect(text, &set);
    EXPECT_EQ(set.present[ATTR_GENERAL], 0u);
    EXPECT_EQ(set.present[ATTR_ANNOTATION], 1u);
    ObjectAttributesApply(line, &set, 1, 0);
    EXPECT_EQ(line->property.color1, RGB(9, 9, 9));

    set.stdText.rotation = 0.5;
    set.stdText.x = 99;
    set.stdText.mask = ATTR_STD_ROTATION;
    ObjectAttributesApply(text, &set, 0, 0);
    double scale, ratio, rotation, slant, x, y;
    MatrixSeparate(&TextRecord(text)->matrix, &scale, &ratio, &rotation, &slant, &x, &y);
    EXPECT_NEAR(rotation, 0.5, 1e-12);
    EXPECT_NEAR(scale, 5, 1e-12);
    EXPECT_NEAR(x, 10, 1e-12) << "only the rotation changes";
}

TEST_F(AttributesTest, CopyDefaultsSetTheGroupMasks)
{
    ObjectAttributes set;
    ObjectAttributesInit(&set);
    std::memset(&set.stdText, 0, sizeof set.stdText);
    uint32_t words[COPY_PROPERTY_WORDS] = {0x8004, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1};
    set.frameText.mask = 0;
    ObjectAttributesCopyDefaults(&set, words);
    EXPECT_EQ(set.general.fieldMask, 0x4u);
    EXPECT_EQ(set.general.ownMask, 0x4u);
    EXPECT_EQ(set.annotation.fieldMask, 0x4u);
    EXPECT_EQ(set.stdText.mask, 0xFCFFu) << "a text keeps its position";
    EXPECT_EQ(set.frameText.mask, 0u);
    EXPECT_EQ(set.bitmap.mask, 0xFF9Fu);
    EXPECT_EQ(set.placement.mask, 0xFF3Fu);
}

TEST_F(AttributesTest, CopyPropertiesFromATextGivesALineColourOneOnly)
{
    Unit *text = StandardText(RGB(1, 2, 3));
    TextRecord(text)->property.color2 = RGB(4, 5, 6);
    Unit *line = ColouredLine(RGB(9, 9, 9), RGB(8, 8, 8));
    line->flags |= UNIT_SELECTED;
    UndoAssignIdent(text);
    CommandSelectState(0);
    g_InputPoints[1].ident = text->ident;
    uint32_t *words = ObjectCopyPropertyWords();
    std::memset(words, 0, COPY_PROPERTY_WORDS * 4);
    words[0] = 0x4;
    ObjectAttributes set;
    ASSERT_EQ(ObjectCopyProperties(&set, UNIT_SELECTED), 1);
    std::vector<Unit *> alive;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (UndoIsVisible(u, g_UndoStep) && u->object.type == OBJTYPE_LINE)
            alive.push_back(u);
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->property.color1, RGB(1, 2, 3));
    EXPECT_EQ(alive[0]->property.color2, RGB(8, 8, 8));
    ASSERT_EQ(UndoStepBack(), 1) << "one undo step";

    g_InputPoints[1].ident = 12345;
    EXPECT_EQ(ObjectCopyProperties(&set, UNIT_SELECTED), 0);
    EXPECT_EQ(Alerts().texts.size(), 1u) << "no source: told so";
}

TEST_F(AttributesTest, InstanceReferenceChangeAndDimensionSystem)
{
    const uint32_t bytes = UNIT_ELEMENTS_INSTANCE + ELEM_SIZE_END;
    Unit *inst = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    std::memset(reinterpret_cast<uint8_t *>(inst) + 16, 0, bytes - 16);
    TestInitUnitHeader(inst);
    inst->kind = UNIT_KIND_INSTANCE;
    std::strcpy(inst->instance.library, "*");
    std::strcpy(inst->instance.block, "old");
    inst->instance.libraryIndex = 999;
    inst->instance.blockIndex = 3;
    inst->instance.unresolved = 2;
    MatrixInit(&inst->instance.placement);
    InitElementEnd(UnitFirstElement(inst));
    ObjectAttributes set;
    ObjectAttributesInit(&set);
    ObjectAttributesCollect(inst, &set);
    ASSERT_EQ(set.present[ATTR_PLACEMENT], 1u);
    std::strcpy(set.placement.block, "new");
    set.placement.mask = 0x2;
    g_ReferencesChanged = 0;
    ObjectAttributesApply(inst, &set, 0, 0);
    EXPECT_STREQ(inst->instance.block, "new");
    EXPECT_EQ(inst->instance.libraryIndex, -1);
    EXPECT_EQ(inst->instance.blockIndex, -1);
    EXPECT_EQ(inst->instance.unresolved, 0);
    EXPECT_EQ(g_ReferencesChanged, 1u);

    Unit *dim = TestNewObject(LIST_DRAWING, OBJTYPE_DIM_COORD, {0, 0, 1, 1, 2, 2});
    Element *e = UnitFirstElement(dim);
    while (e->kind != ELEM_DIM_SMALL)
        e = ElementNext(e);
    ObjectAttributesInit(&set);
    ObjectAttributesCollectDimSmall(e, &set);
    set.dimParameter.system = -1;
    set.dimParameter.mask = 0x10;
    g_CurrentSystem.system = 4;
    ObjectAttributesApplyDimSmall(e, &set, 0);
    EXPECT_EQ(static_cast<DimSmallRecord *>(ElementPayload(e))->common.last, 4);
}

TEST_F(AttributesTest, BlockTakesOnlyTheGeneralGroupWithoutFrame)
{
    Unit *b = MemListNewObject(LIST_OWN_BLOCKS, UNIT_ELEMENTS_BLOCK + ELEM_SIZE_END, nullptr);
    std::memset(reinterpret_cast<uint8_t *>(b) + 16, 0, UNIT_ELEMENTS_BLOCK);
    TestInitUnitHeader(b);
    b->kind = UNIT_KIND_BLOCK;
    std::strcpy(b->block.name, "b");
    InitElementEnd(UnitFirstElement(b));
    b->frame[0] = 77;
    ObjectAttributes set;
    ObjectAttributesInit(&set);
    ASSERT_EQ(ObjectGetBlockProperties("*", "b", &set), 1);
    set.general.values.color1 = RGB(5, 5, 5);
    ObjectAttributesApply(b, &set, 1, 0);
    EXPECT_EQ(b->property.color1, RGB(5, 5, 5));
    EXPECT_EQ(b->frame[0], 77.0);
    EXPECT_EQ(ObjectGetBlockProperties("*", "none", &set), 0);
    EXPECT_EQ(ObjectGetLibraryProperties("not open", &set), 0);
    EXPECT_EQ(ObjectGetLibraryProperties("*", &set), 1);
}

TEST_F(AttributesTest, PluginEntriesAreSkippedWithoutAreaOrWhenFull)
{
    ObjectAttributes set;
    ObjectAttributesInit(&set);
    ObjectAttributesBeginModules(&set);
    EXPECT_EQ(ObjectAttributesAddModuleEntry(&set, 0, "page", nullptr), 0) << "no area: nothing written";
    EXPECT_EQ(set.pluginCount, 0);
    set.pluginArea = mem_alloc_temp(ATTR_PLUGIN_AREA_SIZE, __FILE__, __LINE__);
    ASSERT_NE(set.pluginArea, nullptr);
    for (int i = 0; i < ATTR_PLUGIN_ENTRIES; ++i)
        ASSERT_EQ(ObjectAttributesAddModuleEntry(&set, i, "page", nullptr), 1);
    EXPECT_EQ(ObjectAttributesAddModuleEntry(&set, 0, "one too many", nullptr), 0);
    EXPECT_EQ(set.pluginCount, ATTR_PLUGIN_ENTRIES);
    ObjectAttributesEndModules(&set);
    EXPECT_EQ(set.pluginArea, nullptr);
}

} // namespace
