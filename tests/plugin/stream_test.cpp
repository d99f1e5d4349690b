// The enumeration stream: records, codes, dashing, instance expansion,
// aborts and the refusal of a second walk.
#include "plugin_fixture.h"

#include <cmath>
#include <climits>
#include <cstring>
#include <string>

#include "app/system.h"
#include "app/system_defs.h"
#include "database/object_types.h"
#include "files/file_records.h"
#include "geometry/frame.h"
#include "common/test_objects.h"
#include "database/symbol_block.h"
#include "database/undo.h"
#include "display/output.h"
#include "display/symbol.h"
#include "files/file_library.h"
#include "files/zvi.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "common/test_files.h"
#include "geometry/poly.h"

namespace {

struct Seen {
    int command, count, drawMode;
    std::vector<double> points;
    std::vector<int> codes;
    Matrix matrix;
    FontDef font;
    std::string name; // the string of a character or text record
};
std::vector<Seen> g_Seen;
int g_StopAfter = -1; // stop at that record (counted from 1)
int g_NestedResult = -2;

Seen Copy(const EnumerateRecord *r)
{
    Seen s{r->command, r->count, r->drawMode, {}, {}, {}, r->font};
    if (r->command <= ENUM_CMD_POINTS && r->points)
        for (int i = 0; i < r->count; ++i) {
            s.points.push_back(r->points[2 * i]);
            s.points.push_back(r->points[2 * i + 1]);
            s.codes.push_back(r->codes[i]);
        }
    if (r->matrix)
        s.matrix = *r->matrix;
    if ((r->command == ENUM_CMD_CHAR || r->command == ENUM_CMD_TEXT) && r->name1)
        s.name.assign(r->name1, r->count);
    if (r->command == ENUM_CMD_BLOCK_NAME && r->name2)
        s.name = std::string(r->name1) + "|" + r->name2;
    if (r->command == ENUM_CMD_BEGIN_BLOCK && r->block)
        s.name = r->block->block.name;
    return s;
}

int __stdcall Collect(EnumerateRecord *r)
{
    g_Seen.push_back(Copy(r));
    return g_StopAfter < 0 || (int)g_Seen.size() < g_StopAfter;
}

int __stdcall Nested(EnumerateRecord *r)
{
    g_Seen.push_back(Copy(r));
    g_NestedResult = ZVI_EnumerateAll(0, 0, 0, ENUM_GEOMETRY, Collect);
    return 1;
}

class Stream : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        if (!g_WorkArrays.pathPoints) {
            ASSERT_EQ(MemInitWork(), 1);
        }
        UndoReset();
        SystemInitDrawing(0);
        g_Seen.clear();
        g_StopAfter = -1;
        g_NestedResult = -2;
        std::memset(&g_LineDefs[DASHED], 0, sizeof(LineDef));
    }

    static constexpr int DASHED = 7;

    static void SetPattern(int32_t kind, std::vector<int32_t> lengths)
    {
        LineDef &l = g_LineDefs[DASHED];
        std::strcpy(l.name, "dashed");
        l.kind = kind;
        l.pairs = (int32_t)lengths.size() / 2;
        for (size_t i = 0; i < lengths.size() && i < 16; ++i)
            l.lengths[i] = lengths[i];
    }

    // An object built with the builders into the drawing (or an open block).
    static Unit *Build(int type, std::vector<std::pair<int, std::pair<double, double>>> points,
                       double orient = 0.0, bool hasOrient = false, int lineType = 0, int fill = 0)
    {
        Unit *u = ZVI_ObjectOpen(type);
        if (!u)
            return nullptr;
        u->property.lineType = lineType;
        u->property.fillMode = fill;
        u->property.ownFlags = 0xFF;
        for (auto &p : points)
            ZVI_ObjectAddPoint(p.first, p.second.first, p.second.second);
        if (hasOrient)
            ZVI_ObjectAddOrient(orient);
        ZVI_ObjectAddEnd();
        Unit *stored = ZVI_ObjectInsert(0, nullptr);
        ZVI_ObjectClose();
        return stored;
    }
    static Unit *Line(double x1, double y1, double x2, double y2, int lineType = 0)
    {
        return Build(0, {{1, {x1, y1}}, {2, {x2, y2}}}, 0.0, false, lineType);
    }
    static Unit *Circle(double cx, double cy, double r, int lineType = 0, int fill = 0)
    {
        return Build(5, {{3, {cx, cy}}, {4, {cx + r, cy}}}, 0.0, false, lineType, fill);
    }
    static Unit *Arc()
    {
        return Build(6, {{3, {0, 0}}, {4, {1, 0}}, {5, {1, 0}}, {5, {0, 1}}}, 1.0, true);
    }

    static int Enumerate(uint32_t flags) { return ZVI_EnumerateAll(0, 0, 0, flags, Collect); }

    // A standard text in the default TrueType font, height 5 at the origin.
    static Unit *StdText(const char *text)
    {
        std::vector<uint8_t> record(ZVI_SIZE_TEXTSTANDARD);
        ZVI_InitTextStandard(record.data(), nullptr);
        if (!ZVI_ObjectOpen(OBJTYPE_STD_TEXT))
            return nullptr;
        ZVI_ObjectAddTextLong(text, 0);
        ZVI_ObjectAddTextStandard(record.data());
        ZVI_ObjectAddEnd();
        Unit *stored = ZVI_ObjectInsert(0, nullptr);
        ZVI_ObjectClose();
        return stored;
    }
    static std::vector<Seen> Only(int command)
    {
        std::vector<Seen> out;
        for (const Seen &s : g_Seen)
            if (s.command == command)
                out.push_back(s);
        return out;
    }
};

TEST_F(Stream, ACircleAsArcSegmentsAndALineAsTwoPoints)
{
    ASSERT_NE(Circle(0, 0, 2), nullptr);
    ASSERT_NE(Line(0, 0, 10, 0), nullptr);
    EXPECT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_ARCS), 1);
    ASSERT_EQ(g_Seen.size(), 2u);
    EXPECT_EQ(g_Seen[0].command, ENUM_CMD_CLOSED_PATH);
    EXPECT_EQ(g_Seen[0].codes, (std::vector<int>{1, 9, 102, 9, 102}));
    EXPECT_EQ(g_Seen[0].points[4], 0.0);
    EXPECT_EQ(g_Seen[0].points[5], 1.0);
    EXPECT_EQ(g_Seen[1].command, ENUM_CMD_OPEN_PATH);
    EXPECT_EQ(g_Seen[1].codes, (std::vector<int>{1, 2}));
    EXPECT_EQ(g_Seen[1].drawMode, 0);
    // Without arcs the circle is flattened; with Beziers it has control points.
    g_Seen.clear();
    Enumerate(ENUM_GEOMETRY);
    EXPECT_GT(g_Seen[0].codes.size(), 5u);
    for (int c : g_Seen[0].codes)
        EXPECT_TRUE(c == 1 || c == 2);
    g_Seen.clear();
    Enumerate(ENUM_GEOMETRY | ENUM_BEZIERS);
    EXPECT_EQ(g_Seen[0].codes.size(), 13u);
    EXPECT_EQ(g_Seen[0].codes[1], 7);
    // Without geometry flags a plain object sends nothing; objects only gives begin records.
    g_Seen.clear();
    Enumerate(0);
    EXPECT_TRUE(g_Seen.empty());
    Enumerate(ENUM_OBJECTS_ONLY | ENUM_GEOMETRY);
    ASSERT_EQ(g_Seen.size(), 2u);
    EXPECT_EQ(g_Seen[0].command, ENUM_CMD_BEGIN_OBJECT);
    EXPECT_EQ(g_Seen[0].count, 0);
}

TEST_F(Stream, DashesOfALineAndTheirLimits)
{
    SetPattern(1, {100, 100});
    ASSERT_NE(Line(0, 0, 10, 0, DASHED), nullptr);
    EXPECT_EQ(Enumerate(ENUM_GEOMETRY), 1);
    ASSERT_EQ(g_Seen.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(g_Seen[i].points[0], 2.0 * i, 1e-9);
        EXPECT_NEAR(g_Seen[i].points[2], 2.0 * i + 1, 1e-9);
    }
    // No dashing asked for: one record with the line type in its style.
    g_Seen.clear();
    Enumerate(ENUM_GEOMETRY | ENUM_NO_DASHING);
    EXPECT_EQ(g_Seen.size(), 1u);
    // A pattern of zeros (or negative lengths) would never advance: solid.
    struct Pattern {
        std::vector<int32_t> lengths;
        int32_t pairs;
        size_t records;
    } patterns[] = {{{0, 0}, 1, 1}, {{-5, -5}, 1, 1}, {{100, 100}, 99, 5}, {{100, 100}, -3, 1}};
    for (const Pattern &p : patterns) {
        SetPattern(1, p.lengths);
        g_LineDefs[DASHED].pairs = p.pairs; // counts beyond 8 are clamped, below 0 solid
        g_Seen.clear();
        EXPECT_EQ(Enumerate(ENUM_GEOMETRY), 1);
        if (p.pairs == 99)
            EXPECT_GE(g_Seen.size(), 5u);
        else
            EXPECT_EQ(g_Seen.size(), p.records);
    }
}

TEST_F(Stream, AVeryLongDashedConstructionLineEnds)
{
    SetPattern(1, {100, 100});
    ASSERT_NE(Build(45, {{1, {0, 0}}, {2, {1, 0}}}, 0, false, DASHED), nullptr);
    g_DrawingSettings.outputGeometry = 1;
    EXPECT_EQ(Enumerate(ENUM_GEOMETRY), 1);
    EXPECT_LE(g_Seen.size(), 1u);
}

TEST_F(Stream, AFilledDashedClosedObjectSendsItsFillFirst)
{
    SetPattern(1, {100, 100});
    ASSERT_NE(Circle(0, 0, 5, DASHED, FILL_SOLID_OUTLINE), nullptr);
    Enumerate(ENUM_GEOMETRY | ENUM_FILLS | ENUM_ARCS);
    ASSERT_GT(g_Seen.size(), 2u);
    EXPECT_EQ(g_Seen[0].command, ENUM_CMD_CLOSED_PATH);
    EXPECT_EQ(g_Seen[0].drawMode, 1);
    EXPECT_EQ(g_Seen[1].command, ENUM_CMD_OPEN_PATH);
    EXPECT_EQ(g_Seen[1].count, 2);
    const size_t withFill = g_Seen.size();
    g_Seen.clear();
    Enumerate(ENUM_GEOMETRY | ENUM_ARCS);
    EXPECT_EQ(g_Seen.size(), withFill - 1);
    for (const Seen &s : g_Seen)
        EXPECT_EQ(s.command, ENUM_CMD_OPEN_PATH);
}

TEST_F(Stream, AnAbortEndsTheWalkAndASecondWalkIsRefused)
{
    Line(0, 0, 1, 0);
    Line(0, 1, 1, 1);
    g_StopAfter = 1;
    EXPECT_EQ(Enumerate(ENUM_GEOMETRY), 0);
    EXPECT_EQ(g_Seen.size(), 1u);
    EXPECT_EQ(StreamBusy(), 0);
    g_StopAfter = -1;
    g_Seen.clear();
    EXPECT_EQ(ZVI_EnumerateAll(0, 0, 0, ENUM_GEOMETRY, Nested), 1);
    EXPECT_EQ(g_NestedResult, 0);
    EXPECT_EQ(TakeReason(), "Another enumeration is still in process!");
    EXPECT_EQ(g_Seen.size(), 2u);
    // A callback that is no code is refused before anything is walked.
    EXPECT_EQ(ZVI_EnumerateAll(0, 0, 0, ENUM_GEOMETRY, nullptr), 0);
    EXPECT_EQ(TakeReason(), "CallBack address invalid!");
    // Only drawing 0 exists; another number is taken for it.
    g_Seen.clear();
    EXPECT_EQ(ZVI_EnumerateAll(3, 0, 0, ENUM_GEOMETRY, Collect), 1);
    EXPECT_EQ(g_Seen.size(), 2u);
    EXPECT_TRUE(Messages().empty());
}

// A chain of blocks L0 .. L(n-1): each holds an instance of the next, the last a line.
Unit *InstanceChain(int levels, const Matrix &each)
{
    char name[16];
    std::snprintf(name, sizeof name, "L%d", levels - 1);
    Unit *inner = SymbolNewBlock(LIST_OWN_BLOCKS, name);
    uint8_t record[1024] = {};
    ZVI_ObjectOpen(0);
    ZVI_ObjectAddPoint(1, 1, 0);
    ZVI_ObjectAddPoint(2, 2, 0);
    ZVI_ObjectAddEnd();
    std::memcpy(record, ZVI_ObjectGetAddress(), ZVI_ObjectGetAddress()->bytes);
    ZVI_ObjectClose();
    SymbolAddMember(LIST_OWN_BLOCKS, inner, reinterpret_cast<Unit *>(record));
    for (int i = levels - 2; i >= 0; --i) {
        char child[16];
        std::snprintf(child, sizeof child, "L%d", i + 1);
        std::snprintf(name, sizeof name, "L%d", i);
        Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, name);
        const uint32_t bytes = SymbolMakeInstance(reinterpret_cast<Unit *>(record), sizeof record, "*", child, &each);
        EXPECT_GT(bytes, 0u);
        SymbolAddMember(LIST_OWN_BLOCKS, block, reinterpret_cast<Unit *>(record));
    }
    SymbolRebuildOwnIndex();
    ZVI_InstanceOpen();
    Unit *top = ZVI_InstanceGetAddress();
    std::strcpy(top->instance.library, "*");
    std::strcpy(top->instance.block, "L0");
    top->instance.placement = each;
    ZVI_InstanceAddEnd();
    Unit *stored = ZVI_InstanceInsert(0, nullptr);
    ZVI_InstanceClose();
    return stored;
}

TEST_F(Stream, InstancesOpenTwentyOneLevelsDeep)
{
    Matrix identity;
    MatrixInit(&identity);
    for (int levels : {22, 21}) {
        SCOPED_TRACE(levels);
        MemFreeChunks();
        MemInitLists();
        ASSERT_EQ(MemEnlargeList(), 1);
        ASSERT_NE(InstanceChain(levels, identity), nullptr);
        g_Seen.clear();
        EXPECT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_EXPAND_INSTANCES), 1);
        EXPECT_EQ(g_Seen.size(), levels == 21 ? 1u : 0u);
    }
    // References instead of contents; with block names a record 16 before each.
    g_Seen.clear();
    Enumerate(ENUM_GEOMETRY | ENUM_EXPAND_INSTANCES | ENUM_INSTANCE_REFS | ENUM_BLOCK_NAMES);
    ASSERT_EQ(g_Seen.size(), 2u);
    EXPECT_EQ(g_Seen[0].command, ENUM_CMD_BLOCK_NAME);
    EXPECT_EQ(g_Seen[1].command, ENUM_CMD_INSTANCE_REF);
}

TEST_F(Stream, UntransformedPointsAndMirroredArcs)
{
    Matrix turn;
    MatrixInit(&turn);
    MatrixRotate(&turn, 3.141592653589793 / 2);
    ASSERT_NE(InstanceChain(2, turn), nullptr);
    Enumerate(ENUM_GEOMETRY | ENUM_EXPAND_INSTANCES | ENUM_UNTRANSFORMED);
    ASSERT_EQ(g_Seen.size(), 1u);
    EXPECT_EQ(g_Seen[0].points, (std::vector<double>{1, 0, 2, 0}));
    double x, y;
    MatrixApply(g_Seen[0].matrix, 1, 0, &x, &y);
    EXPECT_NEAR(x, -1.0, 1e-9); // two quarter turns
    EXPECT_NEAR(y, 0.0, 1e-9);
    g_Seen.clear();
    Enumerate(ENUM_GEOMETRY | ENUM_EXPAND_INSTANCES);
    EXPECT_NEAR(g_Seen[0].points[0], -1.0, 1e-9);

    // An arc under a mirror: its arc data turn to the other side.
    MemFreeChunks();
    MemInitLists();
    ASSERT_EQ(MemEnlargeList(), 1);
    Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, "ARC");
    ZVI_GroupOpen(); // the arc is built into a group, then moved into the block
    Unit *arc = Arc();
    ASSERT_NE(arc, nullptr);
    Unit *group = ZVI_GroupGetAddress();
    SymbolAddMember(LIST_OWN_BLOCKS, block, group->block.firstMember);
    ZVI_GroupClose();
    SymbolRebuildOwnIndex();
    Matrix mirror;
    MatrixInit(&mirror);
    MatrixMirrorX(&mirror);
    ZVI_InstanceOpen();
    Unit *top = ZVI_InstanceGetAddress();
    std::strcpy(top->instance.library, "*");
    std::strcpy(top->instance.block, "ARC");
    top->instance.placement = mirror;
    ZVI_InstanceAddEnd();
    ZVI_InstanceInsert(0, nullptr);
    ZVI_InstanceClose();
    g_Seen.clear();
    Enumerate(ENUM_GEOMETRY | ENUM_EXPAND_INSTANCES | ENUM_ARCS | ENUM_UNTRANSFORMED);
    ASSERT_EQ(g_Seen.size(), 1u);
    const std::vector<double> stored = g_Seen[0].points;
    ASSERT_EQ(g_Seen[0].codes, (std::vector<int>{1, 9, 102}));
    g_Seen.clear();
    Enumerate(ENUM_GEOMETRY | ENUM_EXPAND_INSTANCES | ENUM_ARCS);
    ASSERT_EQ(g_Seen.size(), 1u);
    EXPECT_GT(stored[5], 0.0);
    EXPECT_EQ(g_Seen[0].points[5], -stored[5]); // direction
    EXPECT_EQ(g_Seen[0].points[4], -stored[4]); // centre offset
    // The centre the receiver computes is the mirrored centre (0, 0).
    const double *p = g_Seen[0].points.data();
    const double f = p[4];
    const double cx = (p[0] + p[2]) / 2 + f * -(p[3] - p[1]), cy = (p[1] + p[3]) / 2 + f * (p[2] - p[0]);
    EXPECT_NEAR(cx, 0.0, 1e-9);
    EXPECT_NEAR(cy, 0.0, 1e-9);
}

TEST_F(Stream, MarksCurvesAndDimensionFonts)
{
    ASSERT_NE(Build(41, {{10, {1, 1}}, {10, {2, 2}}, {10, {3, 3}}}), nullptr);
    ASSERT_NE(Build(12, {{1, {0, 0}}, {2, {1, 0}}, {1, {5, 5}}, {2, {6, 5}}}), nullptr);
    Enumerate(ENUM_GEOMETRY);
    ASSERT_EQ(g_Seen.size(), 2u);
    EXPECT_EQ(g_Seen[0].command, ENUM_CMD_POINTS);
    EXPECT_EQ(g_Seen[0].codes, (std::vector<int>{10, 10, 10}));
    EXPECT_EQ(g_Seen[1].codes, (std::vector<int>{1, 2, 1, 2}));

    MemFreeChunks();
    MemInitLists();
    ASSERT_EQ(MemEnlargeList(), 1);
    uint8_t dim[ZVI_SIZE_DIMLARGE] = {};
    ZVI_InitDimLarge(dim, 0);
    std::strcpy(reinterpret_cast<FontDef *>(dim)->face, "Dimension face");
    ASSERT_NE(ZVI_ObjectOpen(25), nullptr);
    ZVI_ObjectAddPoint(1, 0, 0);
    ZVI_ObjectAddPoint(2, 10, 0);
    ZVI_ObjectAddDimLarge(dim, 0);
    ZVI_ObjectAddEnd();
    ZVI_ObjectInsert(0, nullptr);
    ZVI_ObjectClose();
    g_Seen.clear();
    Enumerate(ENUM_FONTS_ONLY);
    ASSERT_EQ(g_Seen.size(), 1u);
    EXPECT_EQ(g_Seen[0].command, ENUM_CMD_FONT);
    EXPECT_STREQ(g_Seen[0].font.face, "Dimension face");
}

TEST_F(Stream, ATextAsOutlinesCharactersOneRecordOrLines)
{
    ASSERT_NE(StdText("AB"), nullptr);
    ASSERT_EQ(Enumerate(ENUM_GEOMETRY), 1);
    ASSERT_FALSE(g_Seen.empty());
    for (const Seen &s : g_Seen)
        EXPECT_TRUE(s.command == ENUM_CMD_OPEN_PATH || s.command == ENUM_CMD_CLOSED_PATH) << s.command;

    // One character record each; the second one stands the first's advance further.
    g_Seen.clear();
    ASSERT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_STRINGS), 1);
    ASSERT_EQ(g_Seen.size(), 2u);
    EXPECT_EQ(g_Seen[0].command, ENUM_CMD_CHAR);
    EXPECT_EQ(g_Seen[0].name, "A");
    EXPECT_EQ(g_Seen[1].name, "B");
    EXPECT_NEAR(g_Seen[0].matrix.a, 5.0, 1e-9) << "a cell of height 1 scaled to the text";
    HFONT font = nullptr;
    int library = -1;
    FontDef arial = g_Seen[0].font;
    ASSERT_EQ(SymbolSelectFont(&arial, &font, &library), 1);
    const double advance = SymbolCharAdvance('A') * 5.0 / 20.0; // engine units, 20 a cell
    EXPECT_GT(advance, 0.0);
    EXPECT_NEAR(g_Seen[1].matrix.tx - g_Seen[0].matrix.tx, advance, 1e-9);
    EXPECT_NEAR(g_Seen[1].matrix.ty, g_Seen[0].matrix.ty, 1e-9);

    g_Seen.clear();
    ASSERT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_STRINGS | ENUM_TEXT_WHOLE | ENUM_TEXT_LINES), 1);
    ASSERT_EQ(g_Seen.size(), 1u);
    EXPECT_EQ(g_Seen[0].command, ENUM_CMD_TEXT);
    EXPECT_EQ(g_Seen[0].count, 2);
    EXPECT_EQ(g_Seen[0].name, "AB");

    // Two lines: two text records, the second at the start of the second line.
    MemFreeChunks();
    MemInitLists();
    ASSERT_EQ(MemEnlargeList(), 1);
    ASSERT_NE(StdText("AB\xb6" "CDE"), nullptr);
    g_Seen.clear();
    ASSERT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_STRINGS | ENUM_TEXT_LINES), 1);
    ASSERT_EQ(g_Seen.size(), 2u);
    EXPECT_EQ(g_Seen[0].name, "AB");
    EXPECT_EQ(g_Seen[1].name, "CDE");
    EXPECT_EQ(g_Seen[1].count, 3);
    EXPECT_NEAR(g_Seen[1].matrix.tx, g_Seen[0].matrix.tx, 1e-9);
    EXPECT_LT(g_Seen[1].matrix.ty, g_Seen[0].matrix.ty - 4.0) << "one line further down";
}

// A callback that appends a line to the drawing for every record.
int g_Appended = 0;
int __stdcall AppendOne(EnumerateRecord *r)
{
    g_Seen.push_back(Copy(r));
    if (!ZVI_ObjectOpen(0))
        return 0;
    ZVI_ObjectAddPoint(1, 5, 5);
    ZVI_ObjectAddPoint(2, 6, 6);
    ZVI_ObjectAddEnd();
    g_Appended += ZVI_ObjectInsert(0, nullptr) != nullptr;
    ZVI_ObjectClose();
    return 1;
}

TEST_F(Stream, TheWalkEndsAtTheLastObjectThatExistedWhenItBegan)
{
    ASSERT_NE(Line(0, 0, 1, 0), nullptr);
    ASSERT_NE(Line(0, 1, 1, 1), nullptr);
    g_Appended = 0;
    EXPECT_EQ(ZVI_EnumerateAll(0, 0, 0, ENUM_GEOMETRY, AppendOne), 1);
    EXPECT_EQ(g_Appended, 2);
    EXPECT_EQ(g_Seen.size(), 2u) << "the lines the callback appended are not walked";
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].count, 4u);
}

TEST_F(Stream, BufferCapacitiesBeyondTheAddressSpaceAreRefused)
{
    BufferData data;
    for (int capacity : {INT_MIN, -100000000, INT_MAX}) {
        SCOPED_TRACE(capacity);
        EXPECT_EQ(ZVI_BufferAlloc(&data, capacity, 0), 0);
        EXPECT_EQ(data.items, nullptr);
        EXPECT_EQ(data.capacity, 0);
    }
}

int g_Attributes = 0;
int __stdcall CountAttribute(int, const char *, const char *) { return ++g_Attributes < 1; }

TEST_F(Stream, WalksWithoutTheStream)
{
    EXPECT_EQ(ZVI_EnumerateBlock(0, "none", "*", ENUM_GEOMETRY, Collect), 1);
    EXPECT_TRUE(g_Seen.empty());
    ASSERT_NE(ZVI_InstanceOpen(), nullptr);
    ZVI_InstanceAddAttribute(400, "A", "1");
    ZVI_InstanceAddAttribute(401, "B", "2");
    ZVI_InstanceAddEnd();
    Unit *instance = ZVI_InstanceInsert(0, nullptr);
    ZVI_InstanceClose();
    EXPECT_EQ(ZVI_EnumerateInstanceAttrib(0, instance, nullptr), 2);
    EXPECT_EQ(ZVI_EnumerateInstanceAttrib(0, instance, CountAttribute), -1);
    EXPECT_EQ(g_Attributes, 1);
    Unit stranger{};
    EXPECT_EQ(ZVI_EnumerateInstanceAttrib(0, &stranger, nullptr), -1);
    EXPECT_EQ(TakeReason(), "InstObj address invalid!");
}

int g_BufferResult = -2;
int __stdcall AllocInside(EnumerateRecord *)
{
    BufferData data;
    g_BufferResult = ZVI_BufferAlloc(&data, 10, 0);
    return 1;
}

TEST_F(Stream, UnitBuffersAndThePointInAnArea)
{
    BufferData data;
    ASSERT_EQ(ZVI_BufferAlloc(&data, -2, 0), 1);
    EXPECT_EQ(data.capacity, 2 * ZVI_MaxUnitPoints() + 1);
    EXPECT_EQ(ZVI_BufferFree(&data), 1);
    EXPECT_EQ(data.items, nullptr);
    EXPECT_EQ(ZVI_BufferFree(&data), 0); // the pointer was cleared
    EXPECT_EQ(TakeReason(), "Data->BufferPtr invalid!");

    Unit *square = Build(13, {{1, {0, 0}}, {2, {10, 0}}, {2, {10, 10}}, {2, {0, 10}}});
    ASSERT_NE(square, nullptr);
    ASSERT_EQ(ZVI_BufferAlloc(&data, 100, 0), 1);
    EXPECT_EQ(ZVI_BufferPrepare(&data, 0.0), 1); // empty: nothing to prepare
    ASSERT_EQ(ZVI_BufferAddUnit(&data, square, 0), 1);
    EXPECT_GE(data.used, 4);
    EXPECT_EQ(ZVI_BufferPrepare(&data, 0.0), 1);
    EXPECT_EQ(ZVI_GeoPointInsideArea(&data, 5, 5), 1);
    EXPECT_EQ(ZVI_GeoPointInsideArea(&data, 15, 5), 0);
    EXPECT_EQ(ZVI_GeoPointInsideArea(&data, 5, -1), 0);
    ZVI_BufferFree(&data);

    // No buffer is started while a walk runs.
    EXPECT_EQ(ZVI_EnumerateAll(0, 0, 0, ENUM_GEOMETRY, AllocInside), 1);
    EXPECT_EQ(g_BufferResult, 0);
    EXPECT_EQ(TakeReason(), "Another enumeration is still in process!");
}

int g_HatchOpened = 0, g_HatchPieces = 0, g_HatchClosed = 0;
int __stdcall HatchOpen(const XProperty *)
{
    ++g_HatchOpened;
    return 1;
}
int __stdcall HatchAdd(const GeoObject *piece, int)
{
    EXPECT_NEAR(piece->d[1], piece->d[3], 1e-9) << "level hatch lines";
    ++g_HatchPieces;
    return 1;
}
int __stdcall HatchClose() { return ++g_HatchClosed, 1; }
int __stdcall HatchStopAtOnce(const XProperty *) { return 0; }

TEST_F(Stream, HatchLinesInsideABufferReachTheCallbacks)
{
    Unit *square = Build(13, {{1, {0, 0}}, {2, {10, 0}}, {2, {10, 10}}, {2, {0, 10}}});
    ASSERT_NE(square, nullptr);
    BufferData data;
    ASSERT_EQ(ZVI_BufferAlloc(&data, 100, 0), 1);
    ASSERT_EQ(ZVI_BufferAddUnit(&data, square, 0), 1);
    ASSERT_EQ(ZVI_BufferPrepare(&data, 0.001), 1);
    MultiLineDef lines{};
    lines.lines[0].on = 1;
    lines.lines[0].offset = 1;
    ZVI_InitXProperty(&lines.lines[0].property);
    const double origin[2] = {0, 0.5};
    EXPECT_EQ(ZVI_EnumerateHatchLine(&data, &lines, 0, 0, 0, origin, HatchOpen, HatchAdd, HatchClose), 1);
    EXPECT_EQ(g_HatchPieces, 10) << "one line a millimetre across the square";
    EXPECT_GE(g_HatchOpened, 1);
    EXPECT_EQ(g_HatchOpened, g_HatchClosed);
    EXPECT_EQ(ZVI_EnumerateHatchLine(&data, &lines, 0, 0, 0, origin, HatchStopAtOnce, HatchAdd, HatchClose), 0);

    // Refusals, each before anything is called.
    const int pieces = g_HatchPieces;
    EXPECT_EQ(ZVI_EnumerateHatchLine(&data, &lines, 0, 0, 0, origin, HatchOpen, nullptr, HatchClose), 0);
    EXPECT_EQ(TakeReason(), "AddObjectCallBack address invalid!");
    EXPECT_EQ(ZVI_EnumerateHatchLine(&data, reinterpret_cast<const MultiLineDef *>(GuardedBuffer(400)), 0, 0, 0,
                                     origin, HatchOpen, HatchAdd, HatchClose),
              0);
    EXPECT_EQ(TakeReason(), "MultiLine invalid!");
    EXPECT_EQ(ZVI_EnumerateHatchLine(&data, &lines, 0, 0, 0, reinterpret_cast<const double *>(GuardedBuffer(8)),
                                     HatchOpen, HatchAdd, HatchClose),
              0);
    EXPECT_EQ(TakeReason(), "HatchOrigin invalid!");
    HatchDef hatch{};
    std::memset(hatch.blockName, 'x', sizeof hatch.blockName);
    EXPECT_EQ(ZVI_EnumerateHatchBlock(&data, &hatch, origin, HatchOpen, HatchAdd, HatchClose), 0);
    EXPECT_EQ(TakeReason(), "HatchDef invalid!");
    EXPECT_EQ(g_HatchPieces, pieces);
    ZVI_BufferFree(&data);
    data.used = data.capacity = 5; // segments claimed without an array
    EXPECT_EQ(ZVI_EnumerateHatchLine(&data, &lines, 0, 0, 0, origin, HatchOpen, HatchAdd, HatchClose), 0);
    EXPECT_EQ(TakeReason(), "Data->BufferPtr invalid!");
}

// A callback that uses the text engine itself in the middle of a text.
int __stdcall MeasureInside(EnumerateRecord *r)
{
    g_Seen.push_back(Copy(r));
    std::vector<uint8_t> other(ZVI_SIZE_TEXTSTANDARD);
    ZVI_InitTextStandard(other.data(), nullptr);
    auto *record = reinterpret_cast<TextStandardData *>(other.data());
    record->alignment = 2;
    record->charSpacing = 3;
    std::strcpy(record->font.face, "Courier New");
    double frame[4];
    ZVI_CalcTextFrame(other.data(), "WWWWWWWW\xb6MM", frame);
    return 1;
}

TEST_F(Stream, ACallbackMeasuringTextLeavesTheWalkedTextAlone)
{
    std::vector<uint8_t> text(ZVI_SIZE_TEXTSTANDARD);
    ZVI_InitTextStandard(text.data(), nullptr);
    ASSERT_NE(ZVI_ObjectOpen(OBJTYPE_STD_TEXT), nullptr);
    ASSERT_EQ(ZVI_ObjectAddTextLong("AB\xb6" "CD", 0), 1);
    ASSERT_NE(ZVI_ObjectAddTextStandard(text.data()), nullptr);
    ZVI_ObjectAddEnd();
    ASSERT_NE(ZVI_ObjectInsert(0, nullptr), nullptr);
    ZVI_ObjectClose();

    for (uint32_t flags : {ENUM_GEOMETRY | ENUM_STRINGS, ENUM_GEOMETRY | ENUM_STRINGS | ENUM_TEXT_LINES}) {
        g_Seen.clear();
        ASSERT_EQ(Enumerate(flags), 1);
        const std::vector<Seen> plain = g_Seen;
        ASSERT_GE(plain.size(), 2u);
        g_Seen.clear();
        ASSERT_EQ(ZVI_EnumerateAll(0, 0, 0, flags, MeasureInside), 1);
        ASSERT_EQ(g_Seen.size(), plain.size());
        for (size_t i = 0; i < plain.size(); ++i) {
            EXPECT_EQ(g_Seen[i].command, plain[i].command);
            EXPECT_EQ(g_Seen[i].count, plain[i].count);
            EXPECT_EQ(std::memcmp(&g_Seen[i].matrix, &plain[i].matrix, sizeof(Matrix)), 0) << "record " << i;
            EXPECT_STREQ(g_Seen[i].font.face, plain[i].font.face);
        }
    }
}

TEST_F(Stream, DimensionLinesAndValueTextsComeWithTheGeometry)
{
    // Measured (10, 20) to (90, 20), dimension line at y = 40, no line ends.
    Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_DIM_DIST, {10, 20, 90, 20, 90, 20, 50, 40, 90, 20, 50, 45, 0, 0});
    ASSERT_NE(u, nullptr);
    DimLargeRecord *r = nullptr;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_DIM_LARGE)
            r = static_cast<DimLargeRecord *>(ElementPayload(e));
    ASSERT_NE(r, nullptr);
    r->bools3[0] = r->bools3[1] = r->bools3[2] = 1;
    r->arrows[0] = r->arrows[2] = 0;
    r->distance420 = 2.0;
    FrameCalcObject(u, 0);
    auto lines = [] {
        std::vector<std::vector<double>> out;
        for (const Seen &s : g_Seen)
            if (s.command == ENUM_CMD_OPEN_PATH && s.count == 2)
                out.push_back(s.points);
        return out;
    };
    ASSERT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_SKIP_TEXTS), 1);
    std::vector<std::vector<double>> seen = lines();
    ASSERT_EQ(seen.size(), 3u) << "two extension lines and the dimension line";
    // Extension lines from the gap above the measured points to 1 mm beyond the line.
    EXPECT_NEAR(seen[0][1], 22, 1e-9);
    EXPECT_NEAR(seen[0][3], 41, 1e-9);
    EXPECT_NEAR(seen[2][1], 40, 1e-9);
    EXPECT_NEAR(seen[2][3], 40, 1e-9);
    // The value text as the renderer sets it: one text record of its label.
    r->common.values[0] = 3.5;
    int textIndex = 0;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_TEXT && textIndex++ == 1 && e->size >= ELEMENT_HEADER_SIZE + 3)
            std::memcpy(ElementPayload(e), "80", 3); // the value text
    uint8_t defaults[ZVI_SIZE_DIMLARGE] = {};
    ZVI_InitDimLarge(defaults, 0);
    r->common.font = reinterpret_cast<const DimCommon *>(defaults)->font;
    g_Seen.clear();
    ASSERT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_STRINGS | ENUM_TEXT_WHOLE), 1);
    int texts = 0;
    for (const Seen &s : g_Seen)
        if (s.command == ENUM_CMD_TEXT) {
            ++texts;
            EXPECT_EQ(s.count, 2) << "80";
        }
    EXPECT_EQ(texts, 1);

    g_Seen.clear();
    r->bools3[2] = 0; // no dimension line: nothing of it
    FrameCalcObject(u, 0);
    ASSERT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_SKIP_TEXTS), 1);
    EXPECT_TRUE(lines().empty());
}


TEST_F(Stream, DimensionTolerancesAndTheOverlineFollowTheLabel)
{
    Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_DIM_DIST, {10, 20, 90, 20, 90, 20, 50, 40, 90, 20, 50, 45, 0, 0});
    ASSERT_NE(u, nullptr);
    DimLargeRecord *r = nullptr;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_DIM_LARGE)
            r = static_cast<DimLargeRecord *>(ElementPayload(e));
    ASSERT_NE(r, nullptr);
    r->bools3[0] = r->bools3[1] = r->bools3[2] = 1;
    r->arrows[0] = r->arrows[2] = 0;
    uint8_t defaults[ZVI_SIZE_DIMLARGE] = {};
    ZVI_InitDimLarge(defaults, 0);
    r->common.font = reinterpret_cast<const DimCommon *>(defaults)->font;
    r->common.font.style |= FONT_STYLE_OVERLINE;
    const double h = r->common.values[0] = 3.5, t = r->common.values[1] = 2.0;
    FrameCalcObject(u, 0);
    const char *texts[] = {"", "80", "", "+0.1", "-0.2"};
    int index = 0;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END && index < 5; e = ElementNext(e))
        if (e->kind == ELEM_TEXT) {
            ASSERT_GE(e->size, ELEMENT_HEADER_SIZE + std::strlen(texts[index]) + 1);
            std::strcpy(static_cast<char *>(ElementPayload(e)), texts[index++]);
        }
    ASSERT_EQ(index, 5);

    ASSERT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_STRINGS | ENUM_TEXT_WHOLE), 1);
    const std::vector<Seen> records = Only(ENUM_CMD_TEXT);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, "80");
    EXPECT_EQ(records[1].name, "+0.1");
    EXPECT_EQ(records[2].name, "-0.2");
    const Matrix &label = records[0].matrix, &upper = records[1].matrix, &lower = records[2].matrix;
    EXPECT_NEAR(upper.d, t, 1e-9) << "the tolerances in their own height";
    EXPECT_NEAR(upper.ty, label.ty + 0.6 * h, 1e-9);
    EXPECT_NEAR(lower.ty, label.ty + 0.4 * h - t, 1e-9);
    EXPECT_NEAR(upper.tx, lower.tx, 1e-9);
    EXPECT_GT(upper.tx, label.tx);
    // The overline: 1.2 text heights above the baseline, up to the label's end.
    std::vector<Seen> over;
    for (const Seen &s : Only(ENUM_CMD_OPEN_PATH))
        if (s.count == 2 && std::fabs(s.points[1] - (label.ty + 1.2 * h)) < 1e-9)
            over.push_back(s);
    ASSERT_EQ(over.size(), 1u);
    EXPECT_NEAR(over[0].points[3], over[0].points[1], 1e-9);
    EXPECT_LT(over[0].points[0], label.tx);
    EXPECT_NEAR(over[0].points[2], upper.tx - 0.25 * h, 1e-9);

    // Fonts only: one font record for all the texts, the lines still with the geometry.
    g_Seen.clear();
    ASSERT_EQ(Enumerate(ENUM_GEOMETRY | ENUM_FONTS_ONLY), 1);
    EXPECT_EQ(Only(ENUM_CMD_FONT).size(), 1u);
    EXPECT_TRUE(Only(ENUM_CMD_TEXT).empty());
    EXPECT_EQ(Only(ENUM_CMD_OPEN_PATH).size(), 3u) << "two extension lines and the dimension line";
    EXPECT_EQ(g_Seen.size(), 4u);
}


// Empties the library table for a test of its own.
void ResetLibraries()
{
    while (g_LibrarySlots.count)
        FileRemoveLibrary(g_LibrarySlots.count - 1);
    for (LibrarySlot &slot : g_LibrarySlots.slots)
        SymbolFreeLibrarySlot(&slot);
    g_LibraryBlockIndex.count = 0;
}

std::vector<std::string> Names(const std::vector<Seen> &seen)
{
    std::vector<std::string> out;
    for (const Seen &s : seen)
        out.push_back(s.name);
    return out;
}

TEST_F(Stream, ALibraryLoadedOnDemandIsWalkedFromItsFile)
{
    ASSERT_EQ(ZVI_InitFileBuffers(), 1);
    ResetLibraries();
    g_LibrarySlots.count = 1;
    std::strcpy(g_LibrarySlots.slots[0].info.title, "Parts");
    const int list = LIST_SYMBOL_LIBRARY_FIRST;
    uint8_t record[1024] = {};
    ZVI_ObjectOpen(0);
    ZVI_ObjectAddPoint(1, 0, 0);
    ZVI_ObjectAddPoint(2, 1, 0);
    ZVI_ObjectAddEnd();
    std::memcpy(record, ZVI_ObjectGetAddress(), ZVI_ObjectGetAddress()->bytes);
    ZVI_ObjectClose();
    for (const char *name : {"Bolt", "Nut"}) {
        Unit *block = SymbolNewBlock(list, name);
        ASSERT_NE(block, nullptr);
        ASSERT_NE(SymbolAddMember(list, block, reinterpret_cast<Unit *>(record)), nullptr);
    }
    SymbolRebuildLibraryIndex();
    TestTempFile file("parts.zvl");
    ASSERT_EQ(FileWriteLibrary(file.Path(), 0, FILE_SECTIONS_LIBRARY), 1);
    FileRemoveLibrary(0);
    ASSERT_EQ(FileOpenLibrary(file.Path(), 1, 1, 1), 0);
    ASSERT_EQ(g_ObjectLists[list].count, 0u) << "nothing read yet";

    auto walk = [](uint32_t flags) {
        g_Seen.clear();
        return ZVI_EnumerateLibrary(0, "Parts", flags, Collect);
    };
    EXPECT_EQ(walk(ENUM_BLOCK_NAMES), 1);
    EXPECT_EQ(Names(g_Seen), (std::vector<std::string>{"Parts|Bolt", "Parts|Nut"}));
    EXPECT_EQ(walk(ENUM_OBJECTS_ONLY), 1);
    EXPECT_EQ(Names(Only(ENUM_CMD_BEGIN_BLOCK)), (std::vector<std::string>{"Bolt", "Nut"}));
    EXPECT_EQ(g_Seen.size(), 2u);
    EXPECT_EQ(g_ObjectLists[list].count, 0u) << "the walk loads nothing";

    // A block in memory is named once, by the walk of the loaded blocks.
    char wanted[1][UNIT_NAME_SIZE] = {"Bolt"};
    ASSERT_EQ(FileLoadLibraryBlocks(0, wanted, 1), 1);
    SymbolRebuildLibraryIndex();
    EXPECT_EQ(walk(ENUM_BLOCK_NAMES), 1);
    EXPECT_EQ(Names(g_Seen), (std::vector<std::string>{"Parts|Nut", "Parts|Bolt"}));

    // A callback that stops at the first block ends the walk.
    g_StopAfter = 1;
    EXPECT_EQ(walk(ENUM_BLOCK_NAMES), 0);
    EXPECT_EQ(g_Seen.size(), 1u);
    g_StopAfter = -1;
    // A file that cannot be read fails the whole walk.
    std::strcpy(g_LibrarySlots.slots[0].path, "Z:\\nowhere\\parts.zvl");
    EXPECT_EQ(walk(ENUM_BLOCK_NAMES), 0);
    EXPECT_TRUE(g_Seen.empty());
    EXPECT_EQ(StreamBusy(), 0);
    ResetLibraries();
}

} // namespace
