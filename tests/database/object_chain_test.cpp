// The element chain of every object type: order of kinds, unit sizes and the
// positions of the run-time sub-elements that readers find by number.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "database/init.h"
#include "database/object_types.h"
#include "database/storage.h"

namespace {

struct ChainCase {
    int32_t type;
    uint32_t points;      // shape
    uint32_t size;        // unit size with empty texts
    std::vector<int> kinds; // with end element; texts as 110
};

const std::vector<int> DIM_TEXTS5 = {110, 110, 110, 110, 110};

std::vector<int> Join(std::initializer_list<std::vector<int>> parts)
{
    std::vector<int> all;
    for (const auto &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Sizes with every text empty: a cut empty text is 24 bytes.
const std::vector<ChainCase> &Cases()
{
    static const std::vector<ChainCase> cases = {
        {OBJTYPE_LINE, 0, 200, {1, 2, 999}},
        {OBJTYPE_GEO_LINE, 0, 200, {1, 2, 999}},
        {OBJTYPE_ZIGZAG, 0, 224, {1, 2, 100, 999}},
        {OBJTYPE_SPLINE, 1, 136 + 32, {1, 999}},
        {OBJTYPE_CURVE, 3, 136 + 96, {1, 2, 2, 999}},
        {OBJTYPE_SURFACE, 5, 136 + 160, {1, 2, 2, 2, 2, 999}},
        {OBJTYPE_CIRCLE, 0, 200, {3, 4, 999}},
        {OBJTYPE_GEO_CIRCLE, 0, 200, {3, 4, 999}},
        {OBJTYPE_CIRC_ARC, 0, 312, {3, 4, 5, 5, 101, -1, 999}},
        {OBJTYPE_CIRC_SEC, 0, 312, {3, 4, 5, 5, 101, -1, 999}},
        {OBJTYPE_CIRC_SEGM, 0, 312, {3, 4, 5, 5, 101, -1, 999}},
        {OBJTYPE_ELLIPSE, 0, 232, {3, 6, 6, 999}},
        {OBJTYPE_GEO_ELLI, 0, 232, {3, 6, 6, 999}},
        {OBJTYPE_ELLI_ARC, 0, 352, {3, 6, 6, 5, 5, 101, -2, 999}},
        {OBJTYPE_ELLI_SEC, 0, 352, {3, 6, 6, 5, 5, 101, -2, 999}},
        {OBJTYPE_ELLI_SEGM, 0, 352, {3, 6, 6, 5, 5, 101, -2, 999}},
        {OBJTYPE_MARK, 4, 136 + 128, {10, 10, 10, 10, 999}},
        {OBJTYPE_LINE_STR, 0, 264, {1, 2, 220, -3, 999}},
        {OBJTYPE_LINE_CURVED, 0, 376, {3, 4, 5, 5, 101, 220, -4, 999}},
        {OBJTYPE_DIM_DIST, 0, 120 + 7 * 32 + 5 * 24 + 264 + 192 + 16,
         Join({{1, 2, 0, 0, 0, 0, 0}, DIM_TEXTS5, {225, -5, 999}})},
        {OBJTYPE_DIM_RAD, 0, 120 + 6 * 32 + 5 * 24 + 264 + 192 + 16,
         Join({{3, 4, 0, 0, 0, 0}, DIM_TEXTS5, {225, -5, 999}})},
        {OBJTYPE_DIM_DIA, 0, 120 + 6 * 32 + 5 * 24 + 264 + 192 + 16,
         Join({{3, 4, 0, 0, 0, 0}, DIM_TEXTS5, {225, -5, 999}})},
        {OBJTYPE_DIM_ANGLE, 0, 120 + 7 * 32 + 5 * 24 + 264 + 216 + 16,
         Join({{1, 2, 1, 2, 0, 0, 0}, DIM_TEXTS5, {225, -6, 999}})},
        {OBJTYPE_DIM_ARC, 0, 120 + 7 * 32 + 24 + 5 * 24 + 264 + 216 + 16,
         Join({{3, 4, 5, 5, 101, 0, 0, 0}, DIM_TEXTS5, {225, -6, 999}})},
        {OBJTYPE_DIM_COORD, 0, 120 + 3 * 32 + 7 * 24 + 192 + 40 + 16,
         Join({{0, 0, 0}, DIM_TEXTS5, {110, 110, 230, -7, 999}})},
        {OBJTYPE_DIM_AREA, 0, 120 + 2 * 32 + 24 + 5 * 24 + 192 + 40 + 16,
         Join({{0, 0, 100}, DIM_TEXTS5, {230, -7, 999}})},
        {OBJTYPE_DIM_PERI, 0, 120 + 2 * 32 + 24 + 5 * 24 + 192 + 40 + 16,
         Join({{0, 0, 100}, DIM_TEXTS5, {230, -7, 999}})},
        {OBJTYPE_STD_TEXT, 0, 120 + 24 + 216 + 16, {110, 235, 999}},
        {OBJTYPE_FRAME_TEXT, 0, 120 + 96 + 24 + 176 + 16, {0, 0, 0, 110, 236, 999}},
        {OBJTYPE_REF_TEXT, 0, 120 + 64 + 24 + 216 + 40 + 160 + 16, {0, 0, 110, 235, 237, -8, 999}},
        {OBJTYPE_COMMENT, 0, 120 + 64 + 24 + 88 + 16, {0, 0, 110, 240, 999}},
        {OBJTYPE_CLIP, 0, 120 + 248 + 16, {242, 999}},
        {OBJTYPE_BITMAP, 0, 456, {243, 999}},
    };
    return cases;
}

struct UnitStore {
    std::vector<uint64_t> words = std::vector<uint64_t>(2048);
    Unit *unit() { return reinterpret_cast<Unit *>(words.data()); }
    uint32_t capacity() const { return static_cast<uint32_t>(words.size() * 8); }
};

std::vector<int> Kinds(const Unit *unit)
{
    std::vector<int> kinds;
    for (const Element *e = UnitFirstElement(unit);; e = ElementNext(e)) {
        kinds.push_back(e->kind);
        if (e->kind == ELEM_END)
            return kinds;
    }
}

} // namespace

TEST(ObjectChains, EveryTypeHasItsChainAndSize)
{
    for (const ChainCase &c : Cases()) {
        const ObjectChainShape shape{c.points, nullptr};
        EXPECT_EQ(ObjectChainSize(c.type, shape), c.size) << "type " << c.type;
        UnitStore store;
        memset(store.words.data(), 0xCC, store.capacity());
        Unit *u = store.unit();
        ASSERT_EQ(ObjectWriteChain(u, store.capacity(), c.type, shape), c.size) << "type " << c.type;
        EXPECT_EQ(u->bytes, c.size) << "type " << c.type;
        EXPECT_EQ(u->kind, UNIT_KIND_OBJECT);
        EXPECT_EQ(u->object.type, c.type);
        EXPECT_EQ(u->object.reserved, -1);
        EXPECT_EQ(Kinds(u), c.kinds) << "type " << c.type;
        EXPECT_EQ(UnitChainBytes(u, c.size), c.size - UNIT_ELEMENTS_OBJECT);
    }
}

TEST(ObjectChains, SubElementsStandWhereTheirReadersLook)
{
    struct Case {
        int32_t type;
        int after; // element number the sub-element follows
        int16_t kind;
        uint32_t size;
    };
    const Case cases[] = {
        {OBJTYPE_CIRC_ARC, 5, -1, 24},     {OBJTYPE_CIRC_SEC, 5, -1, 24},     {OBJTYPE_CIRC_SEGM, 5, -1, 24},
        {OBJTYPE_ELLI_ARC, 6, -2, 32},     {OBJTYPE_ELLI_SEC, 6, -2, 32},     {OBJTYPE_ELLI_SEGM, 6, -2, 32},
        {OBJTYPE_LINE_STR, 3, -3, 32},     {OBJTYPE_LINE_CURVED, 6, -4, 56},  {OBJTYPE_DIM_DIST, 13, -5, 192},
        {OBJTYPE_DIM_RAD, 12, -5, 192},    {OBJTYPE_DIM_DIA, 12, -5, 192},    {OBJTYPE_DIM_ANGLE, 13, -6, 216},
        {OBJTYPE_DIM_ARC, 14, -6, 216},    {OBJTYPE_DIM_COORD, 11, -7, 40},   {OBJTYPE_DIM_AREA, 9, -7, 40},
        {OBJTYPE_DIM_PERI, 9, -7, 40},     {OBJTYPE_REF_TEXT, 5, -8, 160},
    };
    for (const Case &c : cases) {
        UnitStore store;
        ASSERT_NE(ObjectWriteChain(store.unit(), store.capacity(), c.type, ObjectChainShape{0, nullptr}), 0u);
        Element *sub = UnitElementAt(store.unit(), c.after + 1);
        ASSERT_NE(sub, nullptr) << "type " << c.type;
        EXPECT_EQ(sub->kind, c.kind) << "type " << c.type;
        EXPECT_EQ(sub->size, c.size) << "type " << c.type;
        EXPECT_EQ(sub->valueType, VALUE_RECORD);
        EXPECT_EQ(sub->count, 0);
        // Dimensions keep their settings record directly in front of it.
        if (c.kind <= -5 && c.kind >= -7) {
            const int16_t record = UnitElementAt(store.unit(), c.after)->kind;
            EXPECT_TRUE(record == ELEM_DIM_LARGE || record == ELEM_DIM_SMALL) << "type " << c.type;
        }
    }
}

TEST(ObjectChains, TextsAreCutToTheirLength)
{
    const char *texts[] = {"12.5", nullptr, "", "a somewhat longer tolerance text", "x"};
    const ObjectChainShape shape{0, texts};
    UnitStore store;
    const uint32_t size = ObjectWriteChain(store.unit(), store.capacity(), OBJTYPE_DIM_DIST, shape);
    EXPECT_EQ(size, ObjectChainSize(OBJTYPE_DIM_DIST, shape));
    const uint32_t expectedTexts = TextElementCutSize(4) + 24 + 24 + TextElementCutSize(32) + 24;
    EXPECT_EQ(size, 120 + 7 * 32 + expectedTexts + 264 + 192 + 16);
    Element *first = UnitElementAt(store.unit(), 8);
    ASSERT_EQ(first->kind, ELEM_TEXT);
    EXPECT_STREQ(static_cast<char *>(ElementPayload(first)), "12.5");
    EXPECT_EQ(first->count, 250);
    EXPECT_STREQ(static_cast<char *>(ElementPayload(UnitElementAt(store.unit(), 11))),
                 "a somewhat longer tolerance text");

    const char *comment[] = {"note"};
    EXPECT_EQ(ObjectChainSize(OBJTYPE_COMMENT, ObjectChainShape{0, comment}), 120u + 64 + 24 + 88 + 16);
    EXPECT_EQ(ObjectChainTextCount(OBJTYPE_COMMENT), 1);
    EXPECT_EQ(ObjectChainTextCount(OBJTYPE_DIM_COORD), 7);
    EXPECT_EQ(ObjectChainTextCount(OBJTYPE_LINE), 0);
}

TEST(ObjectChains, ShapesAndTypesWithoutAFixedChainAreRefused)
{
    UnitStore store;
    EXPECT_EQ(ObjectChainSize(OBJTYPE_SPLINE, ObjectChainShape{0, nullptr}), 0u) << "a polyline needs a point";
    EXPECT_EQ(ObjectChainSize(OBJTYPE_MARK, ObjectChainShape{0, nullptr}), 0u);
    EXPECT_EQ(ObjectChainSize(OBJTYPE_HATCH, ObjectChainShape{2, nullptr}), 0u);
    EXPECT_EQ(ObjectWriteChain(store.unit(), store.capacity(), OBJTYPE_HATCH, ObjectChainShape{2, nullptr}), 0u);
    EXPECT_EQ(ObjectChainSize(3, ObjectChainShape{2, nullptr}), 0u);
    EXPECT_EQ(ObjectChainSize(99, ObjectChainShape{2, nullptr}), 0u);
    EXPECT_EQ(ObjectWriteChain(store.unit(), 199, OBJTYPE_LINE, ObjectChainShape{}), 0u) << "one byte short";
    EXPECT_EQ(ObjectWriteChain(store.unit(), 200, OBJTYPE_LINE, ObjectChainShape{}), 200u);

    // A polyline larger than the largest unit.
    const uint32_t tooMany = g_ObjectLimits.maxUnitPoints + 1;
    std::vector<uint64_t> big((g_ObjectLimits.objectSize + 8192) / 8);
    EXPECT_EQ(ObjectWriteChain(reinterpret_cast<Unit *>(big.data()), static_cast<uint32_t>(big.size() * 8),
                               OBJTYPE_CURVE, ObjectChainShape{tooMany, nullptr}),
              0u);

    int known = 0;
    for (int32_t t = -1; t <= 60; ++t)
        known += ObjectTypeIsKnown(t);
    EXPECT_EQ(known, 34);
}
