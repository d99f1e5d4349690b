#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "database/create_fixture.h"
#include "database/init.h"
#include "database/undo_fixture.h"
#include "display/symbol.h"
#include "geometry/calc.h"
#include "geometry/frame.h"

namespace {


void ExpectFrame(const double *f, double x0, double y0, double x1, double y1, double tol = 1e-9)
{
    EXPECT_NEAR(f[0], x0, tol);
    EXPECT_NEAR(f[1], y0, tol);
    EXPECT_NEAR(f[2], x1, tol);
    EXPECT_NEAR(f[3], y1, tol);
}

TEST(FrameBezier, CurveHeightNotControlPolygon)
{
    double f[4];
    FrameSetEmpty(f);
    FrameAddBezierMatrix(0, 0, 0, 1, 1, 1, 1, 0, f, nullptr);
    ExpectFrame(f, 0, 0, 1, 0.75, 1e-3);
    EXPECT_LE(f[3], 0.75 + 1e-3);
    FrameSetEmpty(f);
    FrameAddBezierMatrix(0, 0, 1, 0, 2, 0, 3, 0, f, nullptr);
    ExpectFrame(f, 0, 0, 3, 0, 0);
    // Control box inside: unchanged.
    double g[4] = {-5, -5, 5, 5};
    FrameAddBezierMatrix(0, 0, 0, 1, 1, 1, 1, 0, g, nullptr);
    ExpectFrame(g, -5, -5, 5, 5, 0);
    // Mapped by a matrix: moved by (10, 20).
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, 10, 20);
    FrameSetEmpty(f);
    FrameAddBezierMatrix(0, 0, 1, 0, 2, 0, 3, 0, f, &m);
    ExpectFrame(f, 10, 20, 13, 20, 0);
}

TEST(FrameBezier, PathIgnoresForeignCodes)
{
    const PathPoint pts[] = {{0, 0}, {50, 50}, {1, 1}, {-40, 9}, {2, -1}};
    const uint32_t codes[] = {1, 3, 2, 8, 2};
    double f[4];
    FrameSetEmpty(f);
    FrameAddPath(pts, codes, 5, f, nullptr);
    ExpectFrame(f, 0, -1, 2, 1, 0);
}

TEST(FrameBezier, MarginBounds)
{
    double small[4] = {0, 0, 100, 0};
    FrameAddMargin(small);
    ExpectFrame(small, -0.1, -0.001, 100.1, 0.001);
    double wide[4] = {0, 0, 2000, 1};
    FrameAddMargin(wide);
    ExpectFrame(wide, -1, -0.001, 2001, 1.001);
}

class FrameTest : public CreateTest {
protected:
    // A StdText unit in list 0 with the given font kind and text, height 5 at (x, y).
    Unit *NewText(const char *text, uint32_t fontKind, const char *face, double x, double y)
    {
        alignas(8) static uint8_t buffer[20000];
        Unit *u = reinterpret_cast<Unit *>(buffer);
        std::memset(buffer, 0, UNIT_ELEMENTS_OBJECT);
        u->kind = UNIT_KIND_OBJECT;
        u->object.type = OBJTYPE_STD_TEXT;
        u->object.reserved = -1;
        ChainWriter w;
        InitChainBegin(&w, u, sizeof buffer);
        InitChainText(&w, text, TEXT_CAPACITY_LONG, false);
        Element *e = InitChainRecord(&w, ELEM_TEXT_STANDARD, ELEM_SIZE_TEXT_STANDARD);
        auto *r = static_cast<TextStandardData *>(ElementPayload(e));
        r->font.kind = fontKind;
        std::strcpy(r->font.face, face);
        r->property = XPropertyDefault();
        MatrixInit(&r->matrix);
        MatrixScale(&r->matrix, 5, 5);
        MatrixMove(&r->matrix, x, y);
        r->lineSpacing = 1.5;
        EXPECT_GT(InitChainEnd(&w), 0u);
        u->property = XPropertyDefault();
        Unit *stored = MemListNewCopyAfter(LIST_DRAWING, u, u->bytes, nullptr);
        EXPECT_NE(stored, nullptr);
        return stored;
    }
    // Moves the last created object of list 0 into the block's member chain.
    Unit *MoveIntoBlock(Unit *block)
    {
        Unit *u = Tail();
        Unit *member = MemChainAppend(LIST_OWN_BLOCKS, block, u, u->bytes);
        MemListDelete(LIST_DRAWING, u);
        return member;
    }
    Unit *NewInstance(const char *block, double tx, double ty)
    {
        Unit *i = UndoTestNewInstance(block);
        Matrix m;
        MatrixInit(&m);
        MatrixMove(&m, tx, ty);
        i->instance.placement = m;
        return i;
    }
};

TEST_F(FrameTest, TextMeasuredWithFontMetrics)
{
    Unit *t = NewText("Hello", 1, "Arial", 10, 20);
    FrameCalcObject(t, 0);
    // Five characters of height 5: wider than tall, above and a bit below the baseline.
    EXPECT_GT(t->frame[2] - t->frame[0], 10.0);
    EXPECT_LT(t->frame[2] - t->frame[0], 30.0);
    EXPECT_NEAR(t->frame[0], 10, 1.0);
    EXPECT_GT(t->frame[3], 23.0);
    EXPECT_LT(t->frame[1], 20.0);
    // Two lines: taller by the line spacing.
    Unit *two = NewText("Hello\xB6World", 1, "Arial", 10, 20);
    FrameCalcObject(two, 0);
    EXPECT_NEAR(two->frame[1], t->frame[1] - 7.5, 1.0);
}

TEST_F(FrameTest, EmptyTextAndUnselectableFontGetThePointFrame)
{
    Unit *empty = NewText("", 1, "Arial", 3, 4);
    FrameCalcObject(empty, 0);
    ExpectFrame(empty->frame, 3 - 0.001, 4 - 0.001, 3 + 0.001, 4 + 0.001);
    // Leave a large box behind, then measure a text whose character library
    // does not exist: its own origin, not the previous box.
    Unit *big = NewText("Wide text here", 1, "Arial", -100, -100);
    FrameCalcObject(big, 0);
    Unit *lost = NewText("abc", FONT_KIND_LIBRARY, "no such library", 7, 8);
    FrameCalcObject(lost, 0);
    ExpectFrame(lost->frame, 7 - 0.001, 8 - 0.001, 7 + 0.001, 8 + 0.001);
}

TEST_F(FrameTest, ConstructionLineIsInfinite)
{
    UndoInitProcess();
    SetCp(0, 0, 0), SetCp(1, 3, 4);
    ASSERT_EQ(ObjectNewLine(OBJTYPE_GEO_LINE, 0, 1), 1);
    ExpectFrame(Tail()->frame, -1e300, -1e300, 1e300, 1e300, 0);
    SetCp(0, 5, 0), SetCp(1, 5, 4);
    ASSERT_EQ(ObjectNewLine(OBJTYPE_GEO_LINE, 0, 1), 1);
    ExpectFrame(Tail()->frame, 4, -1e300, 6, 1e300, 0);
    UndoFinishProcess();
}

TEST_F(FrameTest, SplineHasMarginCurveDoesNot)
{
    UndoInitProcess();
    SetCp(0, 0, 0), SetCp(1, 50, 20), SetCp(2, 100, 0);
    ASSERT_EQ(ObjectNewPolyline(OBJTYPE_SPLINE, 3), 1);
    const Unit *spline = Tail();
    EXPECT_LT(spline->frame[0], -0.05);
    EXPECT_GT(spline->frame[2], 100.05);
    static const double pts[] = {0, 0, 100, 0, 100, 20};
    ASSERT_EQ(ObjectNewPolylineFromArray(OBJTYPE_CURVE, pts, 3), 1);
    ExpectFrame(Tail()->frame, 0, 0, 100, 20, 0);
    UndoFinishProcess();
}

TEST_F(FrameTest, DerivedDataOfArcsAndLineStrings)
{
    // Start and end in the same direction: sweep 0.
    UndoInitProcess();
    SetCp(0, 0, 0), SetCp(1, 2, 0), SetCp(2, 1, 1), SetCp(3, 3, 3), SetCp(4, 1, 0);
    ASSERT_EQ(ObjectNewCircleArc(OBJTYPE_CIRC_ARC, 0, 1, 2, 3, 4), 1);
    EXPECT_EQ(static_cast<double *>(ElementPayload(UnitElementAt(Tail(), 6)))[0], 0.0);
    UndoFinishProcess();
    // A LineStr from (0, 0) to (10, 0): directions 0 and pi.
    alignas(8) uint8_t buffer[512] = {};
    Unit *u = reinterpret_cast<Unit *>(buffer);
    u->kind = UNIT_KIND_OBJECT;
    u->object.type = OBJTYPE_LINE_STR;
    ChainWriter w;
    InitChainBegin(&w, u, sizeof buffer);
    InitChainPoint(&w, POINT_START, 0, 0);
    InitChainPoint(&w, POINT_LINE, 10, 0);
    InitChainRecord(&w, ELEM_DIM_LINE, ELEM_SIZE_DIM_LINE);
    InitChainRecord(&w, ELEM_SUB_LINESTR, ELEM_SIZE_SUB_LINESTR);
    ASSERT_EQ(InitChainEnd(&w), 264u);
    u->property = XPropertyDefault();
    FrameCalcObject(u, 0);
    const double *dirs = static_cast<double *>(ElementPayload(UnitElementAt(u, 4)));
    EXPECT_EQ(dirs[0], 0.0);
    EXPECT_NEAR(dirs[1], CALC_PI, 1e-15);
    ExpectFrame(u->frame, 0, 0, 10, 0, 0);
}

TEST_F(FrameTest, PointFlagFollowsPointSelection)
{
    UndoInitProcess();
    SetCp(0, 0, 0), SetCp(1, 1, 1);
    ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    Unit *u = Tail();
    EXPECT_EQ(u->flags & UNIT_POINTS_SELECTED, 0u);
    UnitElementAt(u, 2)->pointFlags |= POINT_SELECTED;
    u->flags |= UNIT_POINTS_SELECTED;
    FrameCalcObject(u, 0);
    EXPECT_NE(u->flags & UNIT_POINTS_SELECTED, 0u); // still selected: kept
    UnitElementAt(u, 2)->pointFlags = 0;
    FrameCalcObject(u, 0);
    EXPECT_EQ(u->flags & UNIT_POINTS_SELECTED, 0u);
    UndoFinishProcess();
}

TEST_F(FrameTest, BlockSkipsInfiniteSides)
{
    Unit *block = UndoTestNewBlock("geo");
    UndoInitProcess();
    SetCp(0, 0, 0), SetCp(1, 3, 4);
    ASSERT_EQ(ObjectNewLine(OBJTYPE_GEO_LINE, 0, 1), 1);
    MoveIntoBlock(block);
    FrameCalcBlock(block, 1);
    ExpectFrame(block->frame, 0, 0, 0, 0, 0);
    Unit *vertical = UndoTestNewBlock("vertical");
    SetCp(0, 5, 0), SetCp(1, 5, 4);
    ASSERT_EQ(ObjectNewLine(OBJTYPE_GEO_LINE, 0, 1), 1);
    MoveIntoBlock(vertical);
    FrameCalcBlock(vertical, 1);
    ExpectFrame(vertical->frame, 4, 1e300, 6, -1e300, 0);
    UndoFinishProcess();
}

TEST_F(FrameTest, InstancesAndSelfReferenceStop)
{
    Unit *block = UndoTestNewBlock("self");
    UndoInitProcess();
    SetCp(0, 0, 0), SetCp(1, 2, 1);
    ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    MoveIntoBlock(block);
    // The block holds an instance of itself, moved by (1, 0) each level.
    Unit *inner = NewInstance("self", 1, 0);
    Unit *member = MemChainAppend(LIST_OWN_BLOCKS, block, inner, inner->bytes);
    ASSERT_NE(member, nullptr);
    MemListDelete(LIST_DRAWING, inner);
    Unit *top = NewInstance("self", 10, 10);
    FrameCalcInstance(top, 0);
    // 21 levels of the line (depths 0 to 20), each one further right; the
    // 22nd level is only its origin point and the recursion ends.
    EXPECT_NEAR(top->frame[0], 10, 1e-9);
    EXPECT_NEAR(top->frame[1], 10, 1e-9);
    EXPECT_NEAR(top->frame[2], 10 + 20 + 2, 1e-6);
    EXPECT_NEAR(top->frame[3], 11, 1e-9);
    // An instance of a missing block: the point of its origin.
    Unit *missing = NewInstance("nowhere", 3, 4);
    FrameCalcInstance(missing, 0);
    ExpectFrame(missing->frame, 3, 4, 3, 4, 0);
    UndoFinishProcess();
}

TEST_F(FrameTest, ClipSurfaceReferringToItsOwnBlockStops)
{
    Unit *block = UndoTestNewBlock("clip");
    UndoInitProcess();
    // A Clip object whose surface is the block that contains it, filled so
    // that the block is measured.
    alignas(8) uint8_t buffer[1024] = {};
    Unit *u = reinterpret_cast<Unit *>(buffer);
    u->kind = UNIT_KIND_OBJECT;
    u->object.type = OBJTYPE_CLIP;
    ChainWriter w;
    InitChainBegin(&w, u, sizeof buffer);
    Element *surface = InitChainRecord(&w, ELEM_CLIP_SURFACE, ELEM_SIZE_CLIP_SURFACE);
    uint8_t *payload = static_cast<uint8_t *>(ElementPayload(surface));
    XProperty own = XPropertyDefault();
    std::memcpy(payload, &own, sizeof own);
    std::strcpy(reinterpret_cast<char *>(payload + 40), "*");
    std::strcpy(reinterpret_cast<char *>(payload + 104), "clip");
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, 1, 0);
    std::memcpy(payload + 168, &m, sizeof m);
    InitChainPoint(&w, POINT_START, 0, 0);
    InitChainPoint(&w, POINT_LINE, 4, 0);
    InitChainPoint(&w, POINT_LINE, 4, 3);
    ASSERT_GT(InitChainEnd(&w), 0u);
    u->property = XPropertyDefault();
    u->property.ownFlags = XPROP_OWN_FILL;
    u->property.fillMode = 3;
    ASSERT_NE(MemChainAppend(LIST_OWN_BLOCKS, block, u, u->bytes), nullptr);
    Unit *top = MemListNewCopyAfter(LIST_DRAWING, u, u->bytes, nullptr);
    FrameCalcObject(top, 0);
    EXPECT_NEAR(top->frame[0], 0, 1e-9);
    EXPECT_GT(top->frame[2], 4 + 20); // the nested surfaces, each moved by 1
    EXPECT_LT(top->frame[2], 4 + 30);
    UndoFinishProcess();
}

} // namespace

namespace {

// The frame of a path by halving every Bezier piece: the slower, slightly
// wider frame the exact extremes are checked against.
void SubdividedPathFrame(const PathPoint *points, const uint32_t *codes, int32_t count, double frame[4])
{
    PathPoint current{0, 0};
    for (int32_t i = 0; i < count; ++i) {
        if (codes[i] == PATH_CONTROL1 && i + 2 < count) {
            const BezierPiece piece{{{current.x, current.y},
                                     {points[i].x, points[i].y},
                                     {points[i + 1].x, points[i + 1].y},
                                     {points[i + 2].x, points[i + 2].y}},
                                    0.0,
                                    1.0};
            FrameAddBezier(&piece, frame, 0);
            current = points[i + 2];
            i += 2;
        } else if (codes[i] == PATH_START || codes[i] == PATH_LINE) {
            FrameExtendPoint(frame, points[i].x, points[i].y);
            current = points[i];
        }
    }
}

// Exact extremes of circles, arcs, ellipses and elliptic arcs in their Bezier
// form: never outside the subdivided frame, and inside it by at most a
// ten-thousandth of the radius (the control boxes of the 1/64 halves reach
// that far beyond the curve).
TEST_F(FrameTest, ExactExtremesWithinTheSubdividedFrame)
{
    constexpr double kTolerance = 1e-4;
    std::mt19937 random(35);
    std::uniform_real_distribution<double> pos(-500.0, 500.0), size(0.01, 300.0), angle(-7.0, 7.0);
    std::vector<PathPoint> path(FLAT_MAX_CURVE_ENTRIES + 1);
    std::vector<uint32_t> codes(FLAT_MAX_CURVE_ENTRIES + 1);
    for (int i = 0; i < 2000; ++i) {
        SCOPED_TRACE(i);
        const double cx = pos(random), cy = pos(random), r = size(random), r2 = size(random);
        const double a = angle(random), start = angle(random), sweep = angle(random);
        int32_t n = 0;
        double radius = r;
        switch (i % 3) {
        case 0: // circular arc
            path[0] = {cx + r * std::cos(start), cy + r * std::sin(start)};
            path[1] = {cx + r * std::cos(start + sweep), cy + r * std::sin(start + sweep)};
            path[2] = {cx, cy};
            n = FlatAddArc(path.data(), codes.data(), 0, sweep);
            break;
        case 1: // whole ellipse, axes at any angle
            path[0] = {cx, cy};
            path[1] = {cx + r * std::cos(a), cy + r * std::sin(a)};
            path[2] = {cx - r2 * std::sin(a), cy + r2 * std::cos(a)};
            n = FlatAddEllipse(path.data(), codes.data(), 0);
            radius = std::fmax(r, r2);
            break;
        default: // elliptic arc
            path[2] = {cx, cy};
            path[3] = {cx + r * std::cos(a), cy + r * std::sin(a)};
            path[4] = {cx - r2 * std::sin(a), cy + r2 * std::cos(a)};
            n = FlatAddEllipseArc(path.data(), codes.data(), 0, start, sweep);
            radius = std::fmax(r, r2);
            break;
        }
        ASSERT_GT(n, 0);
        double exact[4], subdivided[4];
        FrameSetEmpty(exact);
        FrameSetEmpty(subdivided);
        FrameAddPath(path.data(), codes.data(), n, exact, nullptr);
        SubdividedPathFrame(path.data(), codes.data(), n, subdivided);
        const double tol = kTolerance * radius;
        EXPECT_GE(exact[0], subdivided[0] - 1e-12 * radius);
        EXPECT_GE(exact[1], subdivided[1] - 1e-12 * radius);
        EXPECT_LE(exact[2], subdivided[2] + 1e-12 * radius);
        EXPECT_LE(exact[3], subdivided[3] + 1e-12 * radius);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(exact[k], subdivided[k], tol) << "side " << k;
    }
}

TEST_F(FrameTest, CircleFrameIsCentrePlusMinusRadius)
{
    UndoInitProcess();
    SetCp(0, 10.123456789012345, -3.3333333333333335), SetCp(1, 10.123456789012345 + 3.0, 4.0 - 3.3333333333333335);
    ASSERT_EQ(ObjectNewCircle(OBJTYPE_CIRCLE, 0, 1), 1);
    ExpectFrame(Tail()->frame, 10.123456789012345 - 5.0, -3.3333333333333335 - 5.0, 10.123456789012345 + 5.0,
                -3.3333333333333335 + 5.0, 1e-12);
    UndoFinishProcess();
}

} // namespace
