// Pen and layer usage scans.
#include "create_fixture.h"

#include <cstring>

#include "common/test_objects.h"
#include "database/object_usage.h"
#include "files/file_records.h"

namespace {

class UsageTest : public CreateTest {
protected:
    uint32_t used_[USAGE_ENTRIES];
    static Unit *LineOn(int32_t layer, int32_t pen)
    {
        Unit *u = TestNewLine(0, 0, 1, 1);
        u->property.layer = layer;
        u->property.pen = pen;
        u->property.ownFlags |= XPROP_OWN_LAYER;
        return u;
    }
    std::vector<int> Used() const
    {
        std::vector<int> v;
        for (int i = 0; i < USAGE_ENTRIES; ++i)
            if (used_[i])
                v.push_back(i);
        return v;
    }
};

TEST_F(UsageTest, HiddenLayerAndTextRecordAndDimension)
{
    DefineLayer(5);
    g_LayerDefs[5].state = 0; // hidden everywhere
    LineOn(5, 3);
    ASSERT_EQ(ObjectScanLayerUse(used_, 0), 1);
    EXPECT_EQ(Used(), (std::vector<int>{5})) << "the scan resolves hidden layers";
    ASSERT_EQ(ObjectScanPenUse(used_, 0), 1);
    EXPECT_EQ(used_[3], 1u);

    Unit *text = TestNewObject(LIST_DRAWING, OBJTYPE_STD_TEXT, {});
    text->property.layer = 5;
    text->property.ownFlags |= XPROP_OWN_LAYER;
    auto *r = static_cast<TextStandardData *>(ElementPayload(ElementNext(UnitFirstElement(text))));
    FileDefaultTextStandard(r);
    DefineLayer(2);
    r->property.layer = 2;
    r->property.ownFlags |= XPROP_OWN_LAYER;
    g_ObjectLists[LIST_DRAWING].head->death = g_UndoStep; // only the text counts
    ASSERT_EQ(ObjectScanLayerUse(used_, 0), 1);
    EXPECT_EQ(Used(), (std::vector<int>{2})) << "a text flags its record's layer only";
    const XProperty parent = OutputDefaultXProperty();
    EXPECT_EQ(ObjectLayerOfAnnotation(text, &parent), 2);
    Unit *line = TestNewLine(0, 0, 1, 1);
    EXPECT_EQ(ObjectLayerOfAnnotation(line, &parent), -1);
}

TEST_F(UsageTest, UnresolvedInstanceFlagsNothing)
{
    const uint32_t bytes = UNIT_ELEMENTS_INSTANCE + ELEM_SIZE_END;
    Unit *inst = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    std::memset(reinterpret_cast<uint8_t *>(inst) + 16, 0, bytes - 16);
    inst->birth = UNIT_BIRTH_ALWAYS;
    inst->death = UNIT_DEATH_ALIVE;
    inst->kind = UNIT_KIND_INSTANCE;
    inst->property = XPropertyDefault();
    inst->property.layer = 2;
    std::strcpy(inst->instance.library, "*");
    std::strcpy(inst->instance.block, "missing");
    UnitFirstElement(inst)->size = ELEM_SIZE_END;
    UnitFirstElement(inst)->kind = ELEM_END;
    ASSERT_EQ(ObjectScanLayerUse(used_, 1), 1);
    EXPECT_TRUE(Used().empty());
}

} // namespace
