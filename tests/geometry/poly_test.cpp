#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/init.h"
#include "app/system_defs.h"
#include "common/test_objects.h"
#include "common/test_support.h"
#include "database/create_fixture.h"
#include "database/init.h"
#include "geometry/pick_objects.h"
#include "geometry/poly.h"

namespace {

constexpr double kPi = 3.141592653589793;

std::vector<Unit *> AliveOfType(int32_t type)
{
    std::vector<Unit *> out;
    for (Unit *u : TestAliveUnits())
        if (u->kind == UNIT_KIND_OBJECT && u->object.type == type)
            out.push_back(u);
    return out;
}

int CountKind(Unit *u, int16_t kind)
{
    int n = 0;
    UnitForEachElement(u, [&](Element *e) { n += e->kind == kind; });
    return n;
}

class PolyTest : public CreateTest {
protected:
    InitErrorBoxSink savedSink_ = nullptr;
    uint32_t savedDebugging_ = 0;
    void SetUp() override
    {
        CreateTest::SetUp();
        savedSink_ = g_InitErrorBoxSink;
        savedDebugging_ = g_Debugging;
        g_InitErrorBoxSink = TestCaptureDiagnostic;
        g_Debugging = DEBUG_INTERNAL;
        TestCapturedDiagnostics().clear();
    }
    void TearDown() override
    {
        g_InitErrorBoxSink = savedSink_;
        g_Debugging = savedDebugging_;
        CreateTest::TearDown();
    }
};

// ---------------------------------------------------------------------------
// Segment arrays.

TEST_F(PolyTest, SegmentsCloseContoursExceptCurvesAndDropZeroSteps)
{
    GeoObject seg[16];
    // A surface whose last point is its first: no closing segment.
    Unit *closed = PickNewPath(OBJTYPE_SURFACE, {{POINT_START, 0, 0}, {POINT_LINE, 10, 0}, {POINT_LINE, 10, 10},
                                                 {POINT_LINE, 0, 10}, {POINT_LINE, 0, 0}});
    EXPECT_EQ(PolyObjectToSegments(closed, seg, 16), 4);
    // The same open: a closing line with the contour number 1.
    Unit *open = PickNewPath(OBJTYPE_SURFACE, PickSquare(0, 0, 10, 10));
    ASSERT_EQ(PolyObjectToSegments(open, seg, 16), 4);
    EXPECT_EQ(seg[3].type, GEO_LINE);
    EXPECT_EQ(seg[3].contour, 1);
    EXPECT_DOUBLE_EQ(seg[3].d[0], 0);
    EXPECT_DOUBLE_EQ(seg[3].d[1], 10);
    EXPECT_DOUBLE_EQ(seg[3].d[3], 0);
    // A Curve stays open; a repeated point and a zero-length arc are dropped,
    // the arc's parameter element consumed.
    Unit *curve = PickNewPath(OBJTYPE_CURVE, {{POINT_START, 0, 0},
                                              {POINT_LINE, 10, 0},
                                              {POINT_LINE, 10, 0},
                                              {POINT_ARC_PIECE_END, 10, 0, 1.0, 0.5},
                                              {POINT_ARC_PIECE_END, 20, 0, 1.0, 0.0},
                                              {POINT_CONTROL1, 20, 5},
                                              {POINT_CONTROL2, 25, 5},
                                              {POINT_LINE, 25, 0}});
    ASSERT_EQ(PolyObjectToSegments(curve, seg, 16), 3);
    EXPECT_EQ(seg[0].type, GEO_LINE);
    EXPECT_EQ(seg[1].type, GEO_CIRC_ARC);
    EXPECT_DOUBLE_EQ(seg[1].d[0], 15); // centre of the half circle over 10..20
    EXPECT_DOUBLE_EQ(seg[1].d[1], 0);
    EXPECT_EQ(seg[1].direction, 1);
    EXPECT_EQ(seg[2].type, GEO_CURVE);
    EXPECT_DOUBLE_EQ(seg[2].d[6], 20);
    EXPECT_DOUBLE_EQ(seg[2].d[9], 5);
    EXPECT_DOUBLE_EQ(seg[2].d[2], 25);
    EXPECT_TRUE(TestCapturedDiagnostics().empty());
}

TEST_F(PolyTest, SegmentArrayExactlyFullIsAnOverflow)
{
    Unit *open = PickNewPath(OBJTYPE_SURFACE, PickSquare(0, 0, 10, 10)); // four segments
    GeoObject seg[5];
    EXPECT_EQ(PolyObjectToSegments(open, seg, 5), 4);
    EXPECT_TRUE(TestCapturedDiagnostics().empty());
    EXPECT_EQ(PolyObjectToSegments(open, seg, 4), 0);
    ASSERT_EQ(TestCapturedDiagnostics().size(), 1u);
    EXPECT_NE(TestCapturedDiagnostics()[0].find("Overflow"), std::string::npos);
}

TEST_F(PolyTest, SegmentsWrittenBackOpenContoursAndComputeArcFactors)
{
    GeoObject seg[3] = {};
    seg[0].type = GEO_LINE, seg[0].contour = 1;
    seg[0].d[0] = 0, seg[0].d[1] = 0, seg[0].d[2] = 10, seg[0].d[3] = 0;
    seg[1].type = GEO_CIRC_ARC, seg[1].contour = 1, seg[1].direction = 1;
    seg[1].d[0] = 15, seg[1].d[1] = 0, seg[1].d[6] = 10, seg[1].d[7] = 0, seg[1].d[8] = 20, seg[1].d[9] = 0;
    seg[1].d[13] = CALC_NO_VALUE;
    seg[2].type = GEO_LINE, seg[2].contour = 2;
    seg[2].d[0] = 50, seg[2].d[1] = 50, seg[2].d[2] = 60, seg[2].d[3] = 50;
    std::vector<uint8_t> buffer(4096);
    Unit *u = reinterpret_cast<Unit *>(buffer.data());
    u->kind = UNIT_KIND_OBJECT;
    const uint32_t bytes = PolySegmentsToObject(u, seg, 3);
    // start, line, arc end and curve parameter; start and line; end
    EXPECT_EQ(bytes, 3 * ELEM_SIZE_POINT + ELEM_SIZE_CURVE + 2 * ELEM_SIZE_POINT + ELEM_SIZE_END);
    EXPECT_EQ(CountKind(u, POINT_START), 2);
    Element *curve = UnitElementAt(u, 4);
    ASSERT_NE(curve, nullptr);
    ASSERT_EQ(curve->kind, ELEM_CURVE);
    const double *v = static_cast<double *>(ElementPayload(curve));
    EXPECT_DOUBLE_EQ(v[0], 1.0);
    EXPECT_NEAR(v[1], 0.0, 1e-12); // a half circle: the centre on the chord
    // And back again: the same three segments.
    GeoObject again[8];
    u->object.type = OBJTYPE_CURVE;
    ASSERT_EQ(PolyObjectToSegments(u, again, 8), 3);
    EXPECT_EQ(again[2].contour, 2);
    EXPECT_DOUBLE_EQ(again[1].d[0], 15);
}

TEST_F(PolyTest, ItemsBecomeObjectsOfTheirType)
{
    const XProperty prop = XPropertyDefault();
    BufferSegment s{};
    s.type = POLY_ITEM_LINE, s.x1 = 1, s.y1 = 2, s.x2 = 3, s.y2 = 4;
    EXPECT_EQ(PolyItemToObject(&s, &prop, UNIT_TEMPORARY), 1);
    s.type = POLY_ITEM_ARC, s.cx = 0, s.cy = 0, s.x1 = 5, s.y1 = 0, s.x2 = 0, s.y2 = 5, s.direction = 1;
    EXPECT_EQ(PolyItemToObject(&s, &prop, 0), 1);
    s.type = POLY_ITEM_ENDLESS;
    EXPECT_EQ(PolyItemToObject(&s, &prop, 0), 0);
    ASSERT_EQ(AliveOfType(OBJTYPE_LINE).size(), 1u);
    EXPECT_EQ(AliveOfType(OBJTYPE_LINE)[0]->bytes, 200u);
    EXPECT_TRUE(AliveOfType(OBJTYPE_LINE)[0]->flags & UNIT_TEMPORARY);
    ASSERT_EQ(AliveOfType(OBJTYPE_CIRC_ARC).size(), 1u);
    Unit *arc = AliveOfType(OBJTYPE_CIRC_ARC)[0];
    EXPECT_EQ(arc->bytes, 312u);
    EXPECT_NEAR(arc->frame[2], 5, 1e-9);
    EXPECT_NEAR(arc->frame[3], 5, 1e-9);
}

// ---------------------------------------------------------------------------
// Hatch objects from pieces.

TEST_F(PolyTest, HatchPiecesSplitIntoObjectsAtThePointLimit)
{
    // With 1 MB units the point count, not the unit size, is the tighter limit.
    struct Limits {
        explicit Limits(uint32_t size)
        {
            MemExitWork();
            MemSetLimits(size);
            MemInitWork();
            MemFreeChunks();
            MemInitLists();
            MemEnlargeList();
        }
        ~Limits()
        {
            MemExitWork();
            MemSetLimits(OBJECT_SIZE_DEFAULT);
            MemInitWork();
        }
    } limits(OBJECT_SIZE_MAX);
    const XProperty prop = XPropertyDefault();
    ASSERT_EQ(PolyStartHatchObject(&prop), 1);
    for (int i = 0; i < 2017; ++i)
        ASSERT_EQ(PolyAddLine(0, i, 10, i), 1);
    GeoObject arc{};
    arc.type = GEO_CIRC_ARC;
    arc.d[0] = 0, arc.d[1] = 0, arc.d[6] = 1, arc.d[7] = 0, arc.d[8] = -1, arc.d[9] = 0, arc.direction = 1;
    EXPECT_EQ(PolyAddItem(&arc), 1);
    GeoObject bad{};
    bad.type = GEO_CURVE;
    EXPECT_EQ(PolyAddItem(&bad), 0);
    ASSERT_EQ(PolyFinishObject(), 1);
    const std::vector<Unit *> hatches = AliveOfType(OBJTYPE_HATCH);
    ASSERT_EQ(hatches.size(), 2u);
    EXPECT_EQ(CountKind(hatches[0], POINT_LINE), 2016);
    EXPECT_EQ(CountKind(hatches[1], POINT_LINE), 1);
    EXPECT_EQ(CountKind(hatches[1], ELEM_CURVE), 1);
    EXPECT_NEAR(hatches[0]->frame[3], 2015, 1e-9);
    // An empty build stores nothing.
    ASSERT_EQ(PolyStartHatchObject(&prop), 1);
    EXPECT_EQ(PolyFinishObject(), 1);
    EXPECT_EQ(AliveOfType(OBJTYPE_HATCH).size(), 2u);
}

// ---------------------------------------------------------------------------
// Unit buffers.

struct Buffer {
    BufferData data{};
    Buffer(int32_t capacity, uint32_t flags) { EXPECT_EQ(PolyBufferAlloc(&data, capacity, flags), 1); }
    ~Buffer() { PolyBufferFree(&data); }
    BufferSegment &operator[](int i) { return data.items[i]; }
};

int Collect(BufferData *d, int32_t command, const std::vector<double> &xy, const std::vector<int32_t> &codes)
{
    EXPECT_EQ(PolyBufferBegin(d, 0, 0), 1);
    const PolyPathRecord r{command, int32_t(codes.size()), xy.data(), codes.data()};
    const int result = PolyCollectItem(&r);
    PolyBufferEnd();
    return result;
}

TEST_F(PolyTest, CollectClosesContoursByFlagOrLine)
{
    Buffer b(32, 0);
    // End within 1/1024 of the start: the last piece is flagged.
    EXPECT_EQ(Collect(&b.data, POLY_RECORD_CLOSED, {0, 0, 10, 0, 10, 10, 0.0005, 0.0005}, {1, 2, 2, 2}), 1);
    ASSERT_EQ(b.data.used, 3);
    EXPECT_EQ(b[2].contourEnd, 1);
    EXPECT_EQ(b[1].contourEnd, 0);
    // Farther away: a closing line; a step below 1/1024 is not collected.
    EXPECT_EQ(Collect(&b.data, POLY_RECORD_CLOSED, {20, 0, 30, 0, 30.0005, 0.0005, 30, 10}, {1, 2, 2, 2}), 1);
    ASSERT_EQ(b.data.used, 6);
    EXPECT_DOUBLE_EQ(b[5].x2, 20);
    EXPECT_DOUBLE_EQ(b[5].y2, 0);
    EXPECT_EQ(b[5].contourEnd, 1);
    // An arc record: centre from the factor, direction from the sign.
    EXPECT_EQ(Collect(&b.data, POLY_RECORD_OPEN, {0, 0, 10, 0, 0.0, -1.0}, {1, 9, 102}), 1);
    ASSERT_EQ(b.data.used, 7);
    EXPECT_EQ(b[6].type, POLY_ITEM_ARC);
    EXPECT_DOUBLE_EQ(b[6].cx, 5);
    EXPECT_EQ(b[6].direction, 0);
    EXPECT_EQ(b[6].contourEnd, 1);
}

TEST_F(PolyTest, FlaggedBufferSkipsPointsAndOpenPathsAndAFullOneStops)
{
    Buffer b(4, 1);
    EXPECT_EQ(Collect(&b.data, POLY_RECORD_POINTS, {1, 1}, {10}), 1);
    EXPECT_EQ(Collect(&b.data, POLY_RECORD_OPEN, {0, 0, 1, 0}, {1, 2}), 1);
    EXPECT_EQ(b.data.used, 0);
    // Five pieces do not fit four slots: the record is not counted.
    EXPECT_EQ(Collect(&b.data, POLY_RECORD_CLOSED, {0, 0, 1, 0, 2, 0, 2, 2, 0, 2}, {1, 2, 2, 2, 2}), 0);
    EXPECT_EQ(b.data.used, 0);
    Buffer points(4, 0);
    EXPECT_EQ(Collect(&points.data, POLY_RECORD_POINTS, {1, 1, 2, 2}, {10, 10}), 1);
    EXPECT_EQ(points.data.used, 2);
    EXPECT_EQ(points[1].type, POLY_ITEM_POINT);
}

TEST_F(PolyTest, PrepareSetsAnglesLengthsAndCellMasks)
{
    Buffer b(4, 0);
    b.data.xmin = 0, b.data.ymin = 0, b.data.xmax = 30, b.data.ymax = 30;
    b.data.used = 3;
    b[0].type = POLY_ITEM_ENDLESS, b[0].x1 = 1, b[0].y1 = 1, b[0].x2 = 2, b[0].y2 = 1;
    b[1].type = POLY_ITEM_ARC, b[1].cx = 15.5, b[1].cy = 15.5, b[1].x1 = 17.5, b[1].y1 = 15.5;
    b[1].x2 = 15.5, b[1].y2 = 17.5, b[1].direction = 1;
    b[2].type = POLY_ITEM_LINE, b[2].x1 = 0.5, b[2].y1 = 0.5, b[2].x2 = 0.5, b[2].y2 = 3.5;
    PolyBufferPrepare(&b.data, 0);
    EXPECT_EQ(b[0].columnMask, 0x3FFFFFFFu);
    EXPECT_EQ(b[0].rowMask, 0x3FFFFFFFu);
    EXPECT_NEAR(b[0].endTangent, kPi, 1e-12);
    // The arc's masks cover its full circle, 13.5 .. 17.5.
    EXPECT_EQ(b[1].columnMask, 0x1Fu << 13);
    EXPECT_NEAR(b[1].length, 2, 1e-12);
    EXPECT_NEAR(b[1].startTangent, kPi / 2, 1e-12);
    EXPECT_NEAR(b[1].endTangent, 0, 1e-12);
    EXPECT_EQ(b[2].columnMask, 0x1u);
    EXPECT_EQ(b[2].rowMask, 0xFu);
    EXPECT_NEAR(b[2].length, 3, 1e-12);
}

TEST_F(PolyTest, ObjectsCollectIntoContoursOfTheirOwn)
{
    Unit *square = PickNewPath(OBJTYPE_SURFACE, PickSquare(0, 0, 10, 10));
    Unit *inner = PickNewPath(OBJTYPE_SURFACE, PickSquare(2, 2, 4, 4));
    Unit *line = TestNewLine(0, 20, 10, 20);
    square->flags |= UNIT_SELECTED;
    inner->flags |= UNIT_SELECTED;
    line->flags |= UNIT_SELECTED;
    Buffer open(32, 0), closedOnly(32, 1);
    ASSERT_EQ(PolyBufferAddSelected(&open.data, UNIT_SELECTED, 0), 1);
    EXPECT_EQ(open.data.used, 9);
    EXPECT_EQ(open.data.objects, 3);
    EXPECT_EQ(open[4].contour, 1);
    EXPECT_EQ(open[8].contour, 2);
    EXPECT_EQ(open[0].tag, UNIT_SELECTED);
    EXPECT_DOUBLE_EQ(open.data.ymax, 20);
    ASSERT_EQ(PolyBufferAddSelected(&closedOnly.data, UNIT_SELECTED, 0), 1);
    EXPECT_EQ(closedOnly.data.used, 8) << "the open line is left out";
}

// ---------------------------------------------------------------------------
// Crossings.

TEST(PolyAngleInArc, RangesBothWays)
{
    struct Case { double s, e, a, tol; int ccw, inside; };
    const Case cases[] = {
        {5.5, 0.5, 6.0, 0, 1, 1}, {5.5, 0.5, 0.2, 0, 1, 1}, {5.5, 0.5, 3.0, 0, 1, 0},
        {1.0, 2.0, 1.5, 0, 1, 1}, {1.0, 2.0, 2.05, 0.1, 1, 1}, {1.0, 2.0, 3.0, 0, 1, 0},
        {2.0, 1.0, 1.5, 0, 0, 1}, {2.0, 1.0, 3.0, 0, 0, 0}, {0.5, 5.5, 6.0, 0, 0, 1},
        {1.0, 1.0, 1.0, 0, 1, 1}, {1.0, 1.0, 2.0, 0, 1, 0}, // equal angles: zero extent
    };
    for (const Case &c : cases)
        EXPECT_EQ(PolyAngleInArc(c.s, c.e, c.a, c.tol, c.ccw), c.inside) << c.s << " " << c.e << " " << c.a;
}

BufferSegment Piece(int32_t type, double x1, double y1, double x2, double y2, double cx = 0, double cy = 0,
                    int32_t direction = 1)
{
    BufferSegment s{};
    s.type = type, s.x1 = x1, s.y1 = y1, s.x2 = x2, s.y2 = y2, s.cx = cx, s.cy = cy, s.direction = direction;
    s.c1x = x1, s.c1y = y1 + 5, s.c2x = x2, s.c2y = y2 + 5; // Beziers: a bump upwards
    BufferData d{&s, 0, -100, -100, 100, 100, 1, 1, 0, 0};
    PolyBufferPrepare(&d, 0);
    return s;
}

TEST(PolyIntersect, LinesAndEndlessLines)
{
    const BufferSegment a = Piece(POLY_ITEM_LINE, 0, 0, 10, 0);
    const BufferSegment b = Piece(POLY_ITEM_LINE, 5, -5, 5, 5);
    ASSERT_EQ(PolyIntersectItems(&a, &b, 0, 0), 2);
    EXPECT_DOUBLE_EQ(g_CalcPoints[0].x, 5);
    EXPECT_DOUBLE_EQ(g_CalcPoints[1].x, 0.5);
    EXPECT_DOUBLE_EQ(g_CalcPoints[1].y, 0.5);
    // Parallel and collinear overlaps never cross.
    const BufferSegment c = Piece(POLY_ITEM_LINE, 2, 0, 20, 0);
    EXPECT_EQ(PolyIntersectItems(&a, &c, 0, 0), 0);
    // A line short of another by less than tol of its length still crosses.
    const BufferSegment shortLine = Piece(POLY_ITEM_LINE, 5, -5, 5, -0.01);
    EXPECT_EQ(PolyIntersectItems(&a, &shortLine, 0, 0), 0);
    EXPECT_EQ(PolyIntersectItems(&a, &shortLine, 0.01, 0), 2);
    // An endless line crosses far from its two points.
    const BufferSegment endless = Piece(POLY_ITEM_ENDLESS, 8, 100, 8, 99);
    ASSERT_EQ(PolyIntersectItems(&endless, &a, 0, 0), 2);
    EXPECT_DOUBLE_EQ(g_CalcPoints[0].x, 8);
    EXPECT_DOUBLE_EQ(g_CalcPoints[1].y, 0.8);
    // Masks apart: no arithmetic at all.
    BufferSegment apart = b;
    apart.columnMask = ~a.columnMask & 0x3FFFFFFF;
    EXPECT_EQ(PolyIntersectItems(&a, &apart, 0, 0), 0);
}

TEST(PolyIntersect, LinesWithCirclesAndArcs)
{
    const BufferSegment line = Piece(POLY_ITEM_LINE, -10, 0, 10, 0);
    const BufferSegment circle = Piece(POLY_ITEM_CIRCLE, 5, 0, 5, 0, 0, 0);
    ASSERT_EQ(PolyIntersectItems(&line, &circle, 0, 0), 4);
    EXPECT_DOUBLE_EQ(g_CalcPoints[0].x, -5) << "the smaller line parameter first";
    EXPECT_DOUBLE_EQ(g_CalcPoints[1].x, 0.25);
    EXPECT_NEAR(g_CalcPoints[1].y, kPi, 1e-12);
    EXPECT_DOUBLE_EQ(g_CalcPoints[2].x, 5);
    // Circle first: parameters swap.
    ASSERT_EQ(PolyIntersectItems(&circle, &line, 0, 0), 4);
    EXPECT_NEAR(g_CalcPoints[1].x, kPi, 1e-12);
    EXPECT_DOUBLE_EQ(g_CalcPoints[1].y, 0.25);
    // The upper half arc counter-clockwise from (5, 0) to (-5, 0) is crossed by x = 0 once.
    const BufferSegment arc = Piece(POLY_ITEM_ARC, 5, 0, -5, 0, 0, 0, 1);
    const BufferSegment vertical = Piece(POLY_ITEM_LINE, 0, -10, 0, 10);
    ASSERT_EQ(PolyIntersectItems(&vertical, &arc, 0, 0), 2);
    EXPECT_DOUBLE_EQ(g_CalcPoints[0].y, 5);
    // A line passing just outside: one crossing at its foot only with touch.
    const BufferSegment outside = Piece(POLY_ITEM_LINE, -10, 5.001, 10, 5.001);
    EXPECT_EQ(PolyIntersectItems(&outside, &circle, 0.001, 0), 0);
    ASSERT_EQ(PolyIntersectItems(&outside, &circle, 0.001, 1), 2);
    EXPECT_DOUBLE_EQ(g_CalcPoints[0].x, 0);
}

TEST(PolyIntersect, CirclesConcentricApartAndTouching)
{
    const BufferSegment a = Piece(POLY_ITEM_CIRCLE, 5, 0, 5, 0, 0, 0);
    const BufferSegment b = Piece(POLY_ITEM_CIRCLE, 11, 0, 11, 0, 6, 0);
    ASSERT_EQ(PolyIntersectItems(&a, &b, 0, 0), 4);
    EXPECT_DOUBLE_EQ(g_CalcPoints[0].x, 3);
    EXPECT_NEAR(std::fabs(g_CalcPoints[0].y), 4, 1e-12);
    const BufferSegment concentric = Piece(POLY_ITEM_CIRCLE, 3, 0, 3, 0, 0, 0);
    EXPECT_EQ(PolyIntersectItems(&a, &concentric, 0, 1), 0);
    const BufferSegment nearly = Piece(POLY_ITEM_CIRCLE, 15.001, 0, 15.001, 0, 10.002, 0);
    EXPECT_EQ(PolyIntersectItems(&a, &nearly, 0, 0), 0);
    ASSERT_EQ(PolyIntersectItems(&a, &nearly, 0, 1), 2);
    EXPECT_NEAR(g_CalcPoints[0].x, 5, 0.01);
}

TEST(PolyIntersect, BeziersWithOtherPieces)
{
    const BufferSegment bez = Piece(POLY_ITEM_BEZIER, 0, 0, 10, 0); // rises to 3.75 in the middle
    const BufferSegment across = Piece(POLY_ITEM_LINE, 0, 2, 10, 2);
    const int slots = PolyIntersectItems(&across, &bez, 0, 0);
    ASSERT_EQ(slots, 4);
    for (int k = 0; k < slots; k += 2) {
        EXPECT_NEAR(g_CalcPoints[k].y, 2, 1e-6);
        EXPECT_GT(g_CalcPoints[k + 1].x, 0.0); // the line's parameter first
        EXPECT_LT(g_CalcPoints[k + 1].x, 1.0);
    }
    const BufferSegment tooShort = Piece(POLY_ITEM_LINE, 4, 2, 6, 2);
    EXPECT_EQ(PolyIntersectItems(&bez, &tooShort, 0, 0), 0);
    const BufferSegment circle = Piece(POLY_ITEM_CIRCLE, 9, 0, 9, 0, 5, 0);
    ASSERT_EQ(PolyIntersectItems(&bez, &circle, 0, 0), 4);
    EXPECT_NEAR(std::hypot(g_CalcPoints[0].x - 5, g_CalcPoints[0].y), 4, 1e-3);
    EXPECT_NEAR(g_CalcPoints[1].y, CalcAngleOfVector(g_CalcPoints[0].x - 5, g_CalcPoints[0].y), 1e-12);
}

} // namespace
