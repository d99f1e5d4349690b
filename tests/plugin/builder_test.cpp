// The builders: what each Add writes, the refusals, the limit of a unit and
// the buffers' ends, storing and undo.
#include "plugin_fixture.h"

#include <cstring>

#include "database/undo.h"

namespace {

using Builders = PluginTest;

const Element *ElementAt(const Unit *u, uint32_t offset)
{
    return reinterpret_cast<const Element *>(reinterpret_cast<const uint8_t *>(u) + offset);
}

// The edge cases as one table: each row builds on a fresh object and names
// what must come out.
struct Case {
    const char *name;
    int type;
    int (*add)();
    uint32_t size;     // first element's size
    int16_t count;     // its count word
    int16_t extraKind; // the empty element behind it, 0 none
};

const Case CASES[] = {
    {"point", 0, [] { return ZVI_ObjectAddPoint(1, 1e200, -1e200); }, 32, 1, 0},
    {"short text", 35, [] { return ZVI_ObjectAddTextShort("abc", 0); }, 24, 250, 0},
    {"short text, full size", 35, [] { return ZVI_ObjectAddTextShort("abc", 1); }, 272, -250, 0},
    {"long text, full size", 35, [] { return ZVI_ObjectAddTextLong("abc", 1); }, 8016, -8000, 0},
    {"orientation of an arc", 6, [] { return ZVI_ObjectAddOrient(1.0); }, 24, 1, -1},
    {"orientation of a circle", 5, [] { return ZVI_ObjectAddOrient(1.0); }, 24, 1, 0},
    {"orientation of an elliptic arc", 16, [] { return ZVI_ObjectAddOrient(1.0); }, 24, 1, -2},
    {"curve", 12, [] { return ZVI_ObjectAddCurve(1.0, 2.0); }, 32, 2, 0},
};

TEST_F(Builders, EachAddWritesItsElement)
{
    for (const Case &c : CASES) {
        SCOPED_TRACE(c.name);
        Unit *u = ZVI_ObjectOpen(c.type);
        ASSERT_NE(u, nullptr);
        EXPECT_EQ(c.add(), 1);
        const Element *e = ElementAt(u, UNIT_ELEMENTS_OBJECT);
        EXPECT_EQ(e->size, c.size);
        EXPECT_EQ(e->count, c.count);
        const Element *next = ElementAt(u, UNIT_ELEMENTS_OBJECT + c.size);
        if (c.extraKind)
            EXPECT_EQ(next->kind, c.extraKind);
        ZVI_ObjectClose();
        EXPECT_TRUE(Messages().empty());
    }
    // The point is clamped.
    Unit *u = ZVI_ObjectOpen(0);
    ZVI_ObjectAddPoint(1, 1e200, -1e200);
    const auto *p = reinterpret_cast<const ElementPoint *>(ElementAt(u, UNIT_ELEMENTS_OBJECT));
    EXPECT_EQ(p->x, 1e100);
    EXPECT_EQ(p->y, -1e100);
    ZVI_ObjectClose();
}

TEST_F(Builders, RefusalsInTheOrderOfTheChecks)
{
    EXPECT_EQ(ZVI_ObjectFastInsert(), 0);
    EXPECT_EQ(TakeReason(), "Object not open!");
    ASSERT_NE(ZVI_ObjectOpen(0), nullptr);
    EXPECT_EQ(ZVI_ObjectOpen(0), nullptr);
    EXPECT_EQ(TakeReason(), "Object already opened!");
    EXPECT_EQ(ZVI_ObjectAddPoint(1, 0, 0), 1);
    EXPECT_EQ(ZVI_ObjectInsert(0, nullptr), nullptr);
    EXPECT_EQ(TakeReason(), "Object is not correctly terminated!");
    EXPECT_EQ(ZVI_ObjectAddTextShort(std::string(251, 'x').c_str(), 0), 0);
    EXPECT_EQ(TakeReason(), "Text too long!");
    EXPECT_EQ(ZVI_ObjectAddDimLine(nullptr), 0);
    EXPECT_EQ(TakeReason(), "Data address invalid!");
    EXPECT_EQ(ZVI_ObjectAddEnd(), 1);
    EXPECT_EQ(ZVI_ObjectAddPoint(1, 0, 0), 0);
    EXPECT_EQ(TakeReason(), "Object has already been terminated!");
    // "after" must be a live object of the drawing.
    Unit stranger{};
    EXPECT_EQ(ZVI_ObjectInsert(0, &stranger), nullptr);
    EXPECT_EQ(TakeReason(), "After address invalid!");
    ZVI_ObjectClose();
    ZVI_ObjectClose();
    EXPECT_EQ(TakeReason(), "Object not open!");
    EXPECT_EQ(ZVI_ObjectOpen(99), nullptr);
    EXPECT_EQ(TakeReason(), "Object type invalid!");
    ZVI_CreationEnd();
    EXPECT_EQ(ZVI_ObjectOpen(0), nullptr);
    EXPECT_EQ(TakeReason(), "Interface not opened!");
}

TEST_F(Builders, TheLimitOfAUnitAndTheEndOfTheBuffer)
{
    const int limit = ZVI_MaxUnitData();
    ASSERT_GT(limit, 0);
    ASSERT_EQ(limit % 32, 0);
    ASSERT_NE(ZVI_ObjectOpen(35), nullptr);
    for (int offset = 0; offset < limit - 32; offset += 32)
        ASSERT_EQ(ZVI_ObjectAddPoint(1, 0, 0), 1);
    // An 8016-byte text would end beyond the buffer (which ends before a
    // no-access page): refused, nothing written.
    EXPECT_EQ(ZVI_ObjectAddTextLong("near the limit", 1), 0);
    EXPECT_EQ(TakeReason(), "Object will be too large!");
    // A text of 8000 characters kept at full size has no room for its terminator.
    EXPECT_EQ(ZVI_ObjectAddTextLong(std::string(8000, 'x').c_str(), 1), 0);
    EXPECT_EQ(TakeReason(), "Text too long!");
    // The Add that carries the offset to the limit keeps its element and says 0.
    EXPECT_EQ(ZVI_ObjectAddPoint(1, 0, 0), 0);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(ZVI_ObjectAddPoint(1, 0, 0), 0);
    EXPECT_EQ(TakeReason(), "Object will be too large!");
    ZVI_ObjectClose();
}

TEST_F(Builders, InsertStoresACopyStampedInTheStepAndCancelTakesItBack)
{
    ASSERT_NE(ZVI_ObjectOpen(0), nullptr);
    ZVI_ObjectAddPoint(1, 0, 0);
    ZVI_ObjectAddPoint(2, 10, 5);
    ASSERT_EQ(ZVI_ObjectAddEnd(), 1);
    UndoInitProcess();
    Unit *stored = ZVI_ObjectInsert(0, nullptr);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->frame[2], 10.0);
    EXPECT_EQ(ListCount(LIST_DRAWING), 1);
    UndoCancelProcess();
    EXPECT_EQ(MemListFirst(LIST_DRAWING, 0, 0, 1), nullptr);
    // A further copy behind a live object.
    UndoInitProcess();
    Unit *first = ZVI_ObjectInsert(0, nullptr);
    ASSERT_NE(first, nullptr);
    Unit *second = ZVI_ObjectInsert(0, first);
    EXPECT_EQ(first->next, second);
    UndoFinishProcess();
    ZVI_ObjectClose();
}

TEST_F(Builders, CopyDataBlocksTakesOnlyLiveObjectsWithSoundChains)
{
    ASSERT_NE(ZVI_ObjectOpen(0), nullptr);
    ZVI_ObjectAddPoint(1, 0, 0);
    ZVI_ObjectAddPoint(2, 1, 1);
    ZVI_ObjectAddEnd();
    Unit *ref = ZVI_ObjectInsert(0, nullptr);
    ASSERT_NE(ref, nullptr);
    ZVI_ObjectClose();
    ASSERT_NE(ZVI_ObjectOpen(0), nullptr);
    EXPECT_EQ(ZVI_ObjectCopyDataBlocks(ref), 1);
    EXPECT_EQ(ZVI_ObjectAddEnd(), 1);
    EXPECT_EQ(ZVI_ObjectGetAddress()->bytes, ref->bytes);
    ZVI_ObjectClose();
    // A copy of the record outside the list, and a chain with a size-0 element.
    std::vector<uint8_t> copy(reinterpret_cast<uint8_t *>(ref), reinterpret_cast<uint8_t *>(ref) + ref->bytes);
    ASSERT_NE(ZVI_ObjectOpen(0), nullptr);
    EXPECT_EQ(ZVI_ObjectCopyDataBlocks(reinterpret_cast<Unit *>(copy.data())), 0);
    EXPECT_EQ(TakeReason(), "RefObj address invalid!");
    reinterpret_cast<Element *>(reinterpret_cast<uint8_t *>(ref) + UNIT_ELEMENTS_OBJECT)->size = 0;
    EXPECT_EQ(ZVI_ObjectCopyDataBlocks(ref), 0);
    EXPECT_EQ(TakeReason(), "RefObj address invalid!");
    ZVI_ObjectClose();
}

TEST_F(Builders, InstanceAttributesAndPluginObjects)
{
    Unit *u = ZVI_InstanceOpen();
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(ZVI_InstanceAddAttribute(400, std::string(33, 'n').c_str(), "t"), 0);
    EXPECT_EQ(TakeReason(), "Name too long!");
    EXPECT_EQ(ZVI_InstanceAddAttribute(400, std::string(32, 'n').c_str(), "t"), 1);
    EXPECT_EQ(ZVI_InstanceAddAttribute(400, "n", std::string(251, 't').c_str()), 0);
    EXPECT_EQ(TakeReason(), "Text too long!");
    std::strcpy(u->instance.library, "*");
    std::strcpy(u->instance.block, "missing");
    EXPECT_EQ(ZVI_InstanceAddEnd(), 1);
    EXPECT_EQ(u->bytes % 8, 0u);
    // A block name without its terminator is refused when stored.
    std::memset(u->instance.block, 'b', sizeof u->instance.block);
    EXPECT_EQ(ZVI_InstanceInsert(0, nullptr), nullptr);
    EXPECT_EQ(TakeReason(), "Name too long!");
    std::strcpy(u->instance.block, "missing");
    EXPECT_NE(ZVI_InstanceInsert(0, nullptr), nullptr);
    ZVI_InstanceClose();

    ASSERT_NE(ZVI_UserOpen(3, 0x55), nullptr);
    const char data[5] = "abcd";
    EXPECT_EQ(ZVI_UserAddDataBlock(1, 9, 5, data, 5), 1);
    EXPECT_EQ(ZVI_UserAddDataBlock(1, 9, 5, nullptr, 5), 0);
    EXPECT_EQ(TakeReason(), "Data address invalid!");
    Unit *stored = nullptr;
    EXPECT_EQ(ZVI_UserAddEnd(), 1);
    stored = ZVI_UserInsert(0, nullptr);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->module, 3);
    EXPECT_EQ(stored->instance.userFlags, 0x55u);
    EXPECT_EQ(ElementAt(stored, UNIT_ELEMENTS_PLUGIN)->size, 24u);
    ZVI_UserClose();
}

} // namespace
