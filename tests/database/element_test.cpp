// The element-header builders, chain writing and chain walking.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "database/init.h"
#include "database/storage.h"

namespace {

struct HeaderCase {
    const char *name;
    void (*build)(Element *);
    uint32_t size;
    int16_t kind;
    uint16_t valueType;
    int16_t count;
};

void Point7(Element *e) { InitElementPoint(e, 7); }
void Text250(Element *e) { InitElementText(e, 250); }
void TextMinus250(Element *e) { InitElementText(e, -250); }
void Text1(Element *e) { InitElementText(e, 1); }
void Text8000(Element *e) { InitElementText(e, 8000); }
void TextMinus8000(Element *e) { InitElementText(e, -8000); }
void Text8(Element *e) { InitElementText(e, 8); }
void Text9(Element *e) { InitElementText(e, 9); }
void Attribute300(Element *e) { InitElementAttribute(e, 300); }
void Attribute412(Element *e) { InitElementAttribute(e, 412); }
void EmptyMinus5(Element *e) { InitElementEmpty(e, -5); }

const HeaderCase HEADER_CASES[] = {
    {"point", Point7, 32, 7, 3, 1},
    {"constant", InitElementConstant, 24, 100, 2, 1},
    {"orientation", InitElementOrient, 24, 101, 2, 1},
    {"curve", InitElementCurve, 32, 102, 2, 2},
    {"text 250", Text250, 272, 110, 8, 250},
    {"text -250", TextMinus250, 272, 110, 8, -250},
    {"text 1", Text1, 24, 110, 8, 1},
    {"text 8", Text8, 24, 110, 8, 8},
    {"text 9", Text9, 32, 110, 8, 9},
    {"text 8000", Text8000, 8016, 110, 8, 8000},
    {"text -8000", TextMinus8000, 8016, 110, 8, -8000},
    {"end", InitElementEnd, 16, 999, 0, 0},
    {"attribute definition", Attribute300, 304, 300, 0, 250},
    {"attribute value", Attribute412, 304, 412, 0, 250},
    {"empty", EmptyMinus5, 16, -5, 0, 0},
};

} // namespace

TEST(ElementHeaders, EveryBuilderWritesTheWholeHeader)
{
    for (const HeaderCase &c : HEADER_CASES) {
        Element e;
        memset(&e, 0xFF, sizeof e); // every field must be written
        c.build(&e);
        EXPECT_EQ(e.size, c.size) << c.name;
        EXPECT_EQ(e.size % 8, 0u) << c.name;
        EXPECT_EQ(e.kind, c.kind) << c.name;
        EXPECT_EQ(e.valueType, c.valueType) << c.name;
        EXPECT_EQ(e.count, c.count) << c.name;
        EXPECT_EQ(e.reserved, 0) << c.name;
        EXPECT_EQ(e.pointFlags, 0) << c.name;
        EXPECT_EQ(e.module, 0) << c.name;
    }
}

TEST(ElementHeaders, TextSizesFollowCapacityAndLength)
{
    // A cut text of length L takes 16 + ((L + 8) rounded down to 8) bytes.
    for (uint32_t length = 0; length < 300; ++length)
        EXPECT_EQ(TextElementCutSize(length), 16 + ((length + 8) & ~7u)) << length;
    EXPECT_EQ(TextElementSize(250), 272u);
    EXPECT_EQ(TextElementSize(-8000), 8016u);
}

TEST(ElementHeaders, APointHoldsXAtByte16AndYAtByte24)
{
    alignas(8) uint8_t buffer[32] = {};
    InitElementPoint(reinterpret_cast<Element *>(buffer), 1);
    auto *p = reinterpret_cast<ElementPoint *>(buffer);
    p->x = 1.5;
    p->y = -2.25;
    double x, y;
    memcpy(&x, buffer + 16, 8);
    memcpy(&y, buffer + 24, 8);
    EXPECT_EQ(x, 1.5);
    EXPECT_EQ(y, -2.25);
}

namespace {

struct UnitBuffer {
    alignas(8) uint8_t bytes[4096];
    Unit *unit() { return reinterpret_cast<Unit *>(bytes); }
};

std::vector<int> Kinds(const Unit *unit)
{
    std::vector<int> kinds;
    const Element *e = UnitFirstElement(unit);
    for (;;) {
        kinds.push_back(e->kind);
        if (e->kind == ELEM_END)
            return kinds;
        e = ElementNext(e);
    }
}

} // namespace

TEST(Chains, ANewBlockUnitIs232Bytes)
{
    UnitBuffer b{};
    b.unit()->kind = UNIT_KIND_BLOCK;
    ChainWriter w;
    InitChainBegin(&w, b.unit(), sizeof b.bytes);
    EXPECT_EQ(InitChainEnd(&w), 232u);
    EXPECT_EQ(b.unit()->bytes, 232u);
    EXPECT_EQ(Kinds(b.unit()), std::vector<int>{999});
    EXPECT_EQ(UnitChainBytes(b.unit(), sizeof b.bytes), 16u);
    EXPECT_EQ(UnitElementAt(b.unit(), 1)->kind, ELEM_END);
    EXPECT_EQ(UnitElementAt(b.unit(), 2), nullptr) << "the walk stops after the end element";
}

TEST(Chains, TheWriterCutsTextsAndAdvancesBySizeReadBack)
{
    UnitBuffer b{};
    b.unit()->kind = UNIT_KIND_INSTANCE;
    ChainWriter w;
    InitChainBegin(&w, b.unit(), sizeof b.bytes);
    EXPECT_EQ(w.position, 300u);
    Element *cut = InitChainText(&w, "Hello", TEXT_CAPACITY_SHORT, false);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->size, 24u);
    EXPECT_EQ(cut->count, 250);
    EXPECT_STREQ(static_cast<char *>(ElementPayload(cut)), "Hello");
    Element *full = InitChainText(&w, "Hi", TEXT_CAPACITY_SHORT, true);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->size, 272u);
    EXPECT_EQ(full->count, -250);
    std::string longText(300, 'x');
    Element *clipped = InitChainText(&w, longText.c_str(), TEXT_CAPACITY_SHORT, false);
    ASSERT_NE(clipped, nullptr);
    EXPECT_EQ(strlen(static_cast<char *>(ElementPayload(clipped))), 249u);
    EXPECT_EQ(clipped->size, 16u + 256);
    EXPECT_EQ(InitChainEnd(&w), 300u + 24 + 272 + 272 + 16);
    EXPECT_EQ(UnitChainBytes(b.unit(), sizeof b.bytes), 24u + 272 + 272 + 16);
}

TEST(Chains, TheWriterNeverPassesTheBufferAndAlwaysKeepsRoomForTheEnd)
{
    UnitBuffer b{};
    b.unit()->kind = UNIT_KIND_OBJECT;
    ChainWriter w;
    // Room for exactly two points and the end element.
    InitChainBegin(&w, b.unit(), 120 + 64 + 16);
    EXPECT_NE(InitChainPoint(&w, 1, 0, 0), nullptr);
    EXPECT_NE(InitChainPoint(&w, 2, 1, 1), nullptr);
    b.bytes[120 + 64] = 0x77;
    EXPECT_EQ(InitChainPoint(&w, 2, 2, 2), nullptr);
    EXPECT_EQ(b.bytes[120 + 64], 0x77) << "a refused element writes nothing";
    EXPECT_TRUE(w.failed);
    EXPECT_EQ(InitChainConstant(&w, 1.0), nullptr) << "a failed writer stays failed";
    EXPECT_EQ(InitChainEnd(&w), 0u);
}

TEST(Chains, TheWriterStopsAtTheLargestUnit)
{
    const uint32_t capacity = g_ObjectLimits.objectSize + 4096;
    std::vector<uint64_t> storage(capacity / 8);
    auto *unit = reinterpret_cast<Unit *>(storage.data());
    unit->kind = UNIT_KIND_OBJECT;
    ChainWriter w;
    InitChainBegin(&w, unit, capacity);
    uint32_t points = 0;
    while (InitChainPoint(&w, 2, points, 0))
        ++points;
    // The element data behind the header, the end element included, stays
    // within the largest unit data.
    EXPECT_EQ(points, (g_ObjectLimits.maxUnitData - 16) / 32);
    EXPECT_EQ(InitChainEnd(&w), 0u);
}

TEST(Chains, WalkingAChainWithoutAnEndFails)
{
    UnitBuffer b{};
    b.unit()->kind = UNIT_KIND_OBJECT;
    InitElementPoint(reinterpret_cast<Element *>(b.bytes + 120), 1);
    InitElementPoint(reinterpret_cast<Element *>(b.bytes + 152), 2);
    EXPECT_EQ(UnitChainBytes(b.unit(), 184), 0u) << "runs past the limit";
    InitElementEnd(reinterpret_cast<Element *>(b.bytes + 184));
    EXPECT_EQ(UnitChainBytes(b.unit(), 200), 80u);
    reinterpret_cast<Element *>(b.bytes + 152)->size = 0;
    EXPECT_EQ(UnitChainBytes(b.unit(), 200), 0u) << "a zero size never loops";
    EXPECT_EQ(UnitElementAt(b.unit(), 3), nullptr);
}

TEST(Records, DefaultXProperty)
{
    const XProperty p = XPropertyDefault();
    EXPECT_EQ(p.width, 0.25);
    EXPECT_EQ(p.capJoin, 0x2200u);
    EXPECT_EQ(p.ownFlags | p.pen | p.fillMode | p.color1 | p.color2 | p.lineType | p.layer, 0u);
}
