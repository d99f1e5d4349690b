#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstring>
#include <string>
#include <vector>

#include "app/system.h"
#include "app/system_defs.h"
#include "common/test_objects.h"
#include "database/create_fixture.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/undo.h"
#include "geometry/flat.h"
#include "geometry/frame.h"
#include "geometry/hatch.h"
#include "geometry/pick_objects.h"
#include "language/language.h"

namespace {

constexpr double kPi = 3.141592653589793;

std::vector<GeoObject> g_Pieces;
std::vector<XProperty> g_Opened;
int g_Closed = 0;

int CollectOpen(const XProperty *p)
{
    g_Opened.push_back(*p);
    return 1;
}
int CollectAdd(const GeoObject *g, int32_t)
{
    g_Pieces.push_back(*g);
    return 1;
}
int CollectClose()
{
    ++g_Closed;
    return 1;
}

class HatchTest : public CreateTest {
protected:
    BufferData boundary_{};
    MultiLineDef lines_{};

    void SetUp() override
    {
        CreateTest::SetUp();
        g_Pieces.clear();
        g_Opened.clear();
        g_Closed = 0;
        lines_.lines[0].on = 1;
        lines_.lines[0].offset = 10;
        lines_.lines[0].property = XPropertyDefault();
    }
    void TearDown() override
    {
        PolyBufferFree(&boundary_);
        CreateTest::TearDown();
    }
    static Unit *Square(double x0, double y0, double x1, double y1)
    {
        Unit *u = PickNewPath(OBJTYPE_SURFACE, PickSquare(x0, y0, x1, y1));
        u->flags |= UNIT_SELECTED;
        return u;
    }
    void Collect(uint32_t selector = UNIT_SELECTED)
    {
        PolyBufferFree(&boundary_);
        ASSERT_EQ(PolyBufferAlloc(&boundary_, -2, 1), 1);
        ASSERT_EQ(PolyBufferAddSelected(&boundary_, selector, 2), 1);
        PolyBufferPrepare(&boundary_, 0.001);
    }
    int Lines(double angle, double factor, double offset, double ox, double oy)
    {
        const double origin[2] = {ox, oy};
        return HatchEnumerateLines(&boundary_, &lines_, angle, factor, offset, origin, CollectOpen, CollectAdd,
                                   CollectClose);
    }
    static double TotalLength()
    {
        double sum = 0;
        for (const GeoObject &g : g_Pieces)
            sum += std::hypot(g.d[2] - g.d[0], g.d[3] - g.d[1]);
        return sum;
    }
    static bool AlertedOK(int entry)
    {
        for (const std::string &t : Alerts().texts)
            if (t == eAlertTextOK[entry])
                return true;
        return false;
    }
};

TEST_F(HatchTest, LinesPassThroughTheOriginWhateverTheBoundary)
{
    Square(0, 0, 100, 100);
    Collect();
    ASSERT_EQ(Lines(0, 0, 0, 0, 3), 1);
    ASSERT_EQ(g_Pieces.size(), 10u);
    EXPECT_EQ(g_Opened.size(), 1u);
    EXPECT_EQ(g_Closed, 1);
    for (const GeoObject &g : g_Pieces) {
        EXPECT_NEAR(std::fmod(g.d[1] - 3, 10), 0, 1e-9);
        EXPECT_NEAR(g.d[0], 0, 1e-9);
        EXPECT_NEAR(g.d[2], 100, 1e-9);
    }
    // The neighbouring square's lines continue them.
    const double firstY = g_Pieces[0].d[1];
    MemListFirst(0, 0, 0, 1)->flags &= ~UNIT_SELECTED;
    Square(100, 0, 200, 100);
    Collect();
    g_Pieces.clear();
    ASSERT_EQ(Lines(0, 0, 0, 0, 3), 1);
    ASSERT_FALSE(g_Pieces.empty());
    EXPECT_NEAR(g_Pieces[0].d[1], firstY, 1e-9);
    EXPECT_NEAR(g_Pieces[0].d[0], 100, 1e-9);
}

TEST_F(HatchTest, OffsetFactorShiftsByPartsOfThePeriod)
{
    Square(0, 0, 100, 100);
    Collect();
    ASSERT_EQ(Lines(0, 0.5, 0, 0, 0), 1);
    ASSERT_FALSE(g_Pieces.empty());
    for (const GeoObject &g : g_Pieces)
        EXPECT_NEAR(std::fmod(g.d[1], 10), 5, 1e-9);
    // Factor and offset act modulo the period: 1.5 periods and 12 mm give 7.
    g_Pieces.clear();
    ASSERT_EQ(Lines(0, 1.5, 12, 0, 0), 1);
    for (const GeoObject &g : g_Pieces)
        EXPECT_NEAR(std::fmod(g.d[1], 10), 7, 1e-9);
}

TEST_F(HatchTest, TurnedLinesKeepTheirSpacingThroughTheOrigin)
{
    Square(0, 0, 100, 100);
    Collect();
    const double angle = kPi / 4;
    ASSERT_EQ(Lines(angle, 0, 0, 7, 3), 1);
    ASSERT_GT(g_Pieces.size(), 10u);
    const double nx = -std::sin(angle), ny = std::cos(angle);
    for (const GeoObject &g : g_Pieces) {
        const double d1 = (g.d[0] - 7) * nx + (g.d[1] - 3) * ny;
        const double d2 = (g.d[2] - 7) * nx + (g.d[3] - 3) * ny;
        EXPECT_NEAR(d1, d2, 1e-9);
        EXPECT_NEAR(d1 / 10 - std::round(d1 / 10), 0, 1e-9);
    }
    // Every piece ends on the boundary.
    for (const GeoObject &g : g_Pieces)
        for (int k = 0; k < 4; k += 2) {
            const double x = g.d[k], y = g.d[k + 1];
            const double edge = std::min(std::min(std::fabs(x), std::fabs(x - 100)), std::min(std::fabs(y), std::fabs(y - 100)));
            EXPECT_NEAR(edge, 0, 1e-9);
        }
}

TEST_F(HatchTest, HolesOfOneObjectStayEmpty)
{
    // 1,000 square holes of 4 mm in a 400 x 250 mm outline, lines 1 mm apart,
    // all outlines of one object (one contour number).
    lines_.lines[0].offset = 1;
    Square(0, 0, 400, 250);
    for (int row = 0; row < 25; ++row)
        for (int col = 0; col < 40; ++col)
            Square(col * 10 + 3, row * 10 + 3, col * 10 + 7, row * 10 + 7);
    Collect();
    for (int32_t i = 0; i < boundary_.used; ++i)
        boundary_.items[i].contour = 7;
    ASSERT_EQ(Lines(0, 0.5, 0, 0, 0), 1);
    // 250 lines of 400 mm less 4 lines through each island row, each 40 x 4 mm shorter.
    EXPECT_NEAR(TotalLength(), 250 * 400 - 25 * 4 * 40 * 4, 1e-6);
    for (const GeoObject &g : g_Pieces) {
        const double mx = (g.d[0] + g.d[2]) / 2, my = (g.d[1] + g.d[3]) / 2;
        EXPECT_EQ(HatchPointInside(mx, my, boundary_.items, boundary_.used, 0), 1) << mx << " " << my;
    }
    EXPECT_EQ(HatchPointInside(5, 5, boundary_.items, boundary_.used, 0), 0) << "inside an island";
    EXPECT_EQ(HatchPointInside(1, 1, boundary_.items, boundary_.used, 0), 1);
    EXPECT_EQ(HatchPointInside(-1, 1, boundary_.items, boundary_.used, 0), 0);
}

TEST_F(HatchTest, EachObjectCountsByItselfSoAnIslandObjectIsHatched)
{
    // An outer square with a hole (one surface of two outlines), a square
    // object in the hole, and a square object inside the solid part.
    Unit *outer = PickNewPath(OBJTYPE_SURFACE, [] {
        std::vector<PathStep> steps = PickSquare(0, 0, 100, 100);
        const std::vector<PathStep> hole = PickSquare(20, 20, 60, 60);
        steps.insert(steps.end(), hole.begin(), hole.end());
        return steps;
    }());
    outer->flags |= UNIT_SELECTED;
    Square(30, 30, 50, 50); // in the hole
    Square(70, 70, 90, 90); // on the solid part
    Collect();
    struct Case {
        double x, y;
        int inside;
        const char *what;
    } cases[] = {
        {10, 10, 1, "the solid part"},  {25, 25, 0, "the hole"},      {40, 40, 1, "the object in the hole"},
        {80, 80, 1, "the object on it"}, {110, 50, 0, "outside"},     {-1, 50, 0, "left of all"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HatchPointInside(c.x, c.y, boundary_.items, boundary_.used, 0), c.inside) << c.what;
    // The hatch lines follow the same rule: y = 25 runs 0..20 and 60..100,
    // y = 40 runs 0..20, 30..50 and 60..100, y = 80 runs 0..100 in one piece.
    lines_.lines[0].offset = 5;
    ASSERT_EQ(Lines(0, 0, 0, 0, 0), 1);
    auto lengthAt = [](double y) {
        double sum = 0;
        int pieces = 0;
        for (const GeoObject &g : g_Pieces)
            if (std::fabs(g.d[1] - y) < 1e-9)
                sum += std::fabs(g.d[2] - g.d[0]), ++pieces;
        return std::make_pair(sum, pieces);
    };
    EXPECT_EQ(lengthAt(25), std::make_pair(60.0, 2));
    EXPECT_EQ(lengthAt(40), std::make_pair(80.0, 3));
    EXPECT_EQ(lengthAt(80), std::make_pair(100.0, 1));
}

TEST_F(HatchTest, CirclesAreCutExactly)
{
    Unit *circle = TestNewObject(0, OBJTYPE_CIRCLE, {0, 0, 10, 0});
    circle->flags |= UNIT_SELECTED;
    FrameCalcObject(circle, 0);
    Collect();
    lines_.lines[0].offset = 5;
    ASSERT_EQ(Lines(0, 0, 0, 0, 0), 1);
    ASSERT_EQ(g_Pieces.size(), 3u) << "y = -5, 0 and 5; the tangents at +-10 give nothing";
    EXPECT_NEAR(g_Pieces[1].d[0], -10, 1e-9);
    EXPECT_NEAR(g_Pieces[1].d[2], 10, 1e-9);
    EXPECT_NEAR(g_Pieces[2].d[2], std::sqrt(75.0), 1e-9);
    EXPECT_EQ(HatchPointInside(0, 9, boundary_.items, boundary_.used, 0), 1);
    EXPECT_EQ(HatchPointInside(9, 9, boundary_.items, boundary_.used, 0), 0);
}

TEST_F(HatchTest, AttributeChangesStartNewObjects)
{
    Square(0, 0, 100, 100);
    Collect();
    lines_.lines[1] = lines_.lines[0];
    lines_.lines[1].offset = 2;
    lines_.lines[1].property.width = 0.7;
    ASSERT_EQ(Lines(0, 0, 0, 0, 0), 1);
    ASSERT_EQ(g_Opened.size(), 2u);
    EXPECT_EQ(g_Closed, 2);
    EXPECT_DOUBLE_EQ(g_Opened[1].width, 0.7);
}

TEST_F(HatchTest, ZeroOrTinyPeriodsAreRefused)
{
    Square(0, 0, 100, 100);
    Collect();
    lines_.lines[0].offset = 0;
    EXPECT_EQ(Lines(0, 0, 0, 0, 0), 0);
    EXPECT_TRUE(AlertedOK(34));
    EXPECT_TRUE(g_Opened.empty());
    // A period of 1e-6 mm would mean 1e8 lines: refused at once.
    Alerts() = AlertLog{};
    lines_.lines[0].offset = 1e-6;
    EXPECT_EQ(Lines(0, 0, 0, 0, 0), 0);
    EXPECT_TRUE(AlertedOK(34));
    EXPECT_TRUE(g_Pieces.empty());
}

TEST_F(HatchTest, HatchCreateStoresHatchObjects)
{
    Square(0, 0, 100, 100);
    Square(40, 40, 60, 60);
    HatchDef def{};
    def.family1 = {1, 0, 0};
    def.family2 = {1, 0, kPi / 2};
    g_HatchOrigin[0] = 0, g_HatchOrigin[1] = 5;
    g_MultiLineDefs[0] = lines_;
    UndoInitProcess();
    ASSERT_EQ(HatchCreate(&def, UNIT_SELECTED), 1);
    UndoFinishProcess();
    std::vector<Unit *> hatches;
    for (Unit *u : TestAliveUnits())
        if (u->object.type == OBJTYPE_HATCH)
            hatches.push_back(u);
    ASSERT_EQ(hatches.size(), 2u) << "one per family";
    int pieces = 0;
    UnitForEachElement(hatches[0], [&](Element *e) { pieces += e->kind == POINT_START; });
    EXPECT_EQ(pieces, 10) << "lines 5 .. 95; the island, an object of its own, is hatched with the square";
    EXPECT_NEAR(hatches[0]->frame[0], 0, 1e-9);
    EXPECT_NEAR(hatches[0]->frame[1], 5, 1e-9);
    EXPECT_NEAR(hatches[0]->frame[3], 95, 1e-9);
    // Nothing selected: the area cannot be computed.
    for (Unit *u : TestAliveUnits())
        u->flags &= ~UNIT_SELECTED;
    EXPECT_EQ(HatchCreate(&def, UNIT_SELECTED), 0);
    EXPECT_TRUE(AlertedOK(87));
}

// ---------------------------------------------------------------------------
// Curved outlines: ellipses, elliptic arcs and splines reach the hatch as
// chords of the coarse flattening.

// A closed outline as a dense polygon, what the hatch is measured against.
using Outline = std::vector<std::pair<double, double>>;

// The chords of the coarse flattening (third accuracy value 2 mm) stay this
// close to the curves below.
constexpr double kFlatTolerance = 0.2;

// The ellipse of half axes a (x) and b (y) about the origin from parameter
// `from` over `sweep`; a sector also passes through the centre.
Outline EllipseOutline(double a, double b, double from, double sweep, bool sector)
{
    Outline o;
    constexpr int kSteps = 2000;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = from + sweep * i / kSteps;
        o.push_back({a * std::cos(t), b * std::sin(t)});
    }
    if (sector)
        o.push_back({0, 0});
    return o;
}

// The spline through the points, flattened a hundred steps to a chord.
Outline SplineOutline(const std::vector<double> &xy)
{
    const double saved = g_DrawingSettings.displayQuality[2];
    g_DrawingSettings.displayQuality[2] = 1e-4;
    OutputResetContext(OUTPUT_COARSE);
    PathPoint *work = g_WorkArrays.pathPoints;
    const int32_t m = int32_t(xy.size() / 2);
    for (int32_t i = 0; i < m; ++i)
        work[i] = {xy[2 * i], xy[2 * i + 1]};
    const int32_t n = FlatAddSpline(work, 0, m);
    g_DrawingSettings.displayQuality[2] = saved;
    Outline o;
    for (int32_t i = 0; i < n; ++i)
        o.push_back({work[i].x, work[i].y});
    return o;
}

double DistanceToOutline(const Outline &o, double x, double y)
{
    double best = 1e300;
    for (size_t i = 0; i < o.size(); ++i) {
        const auto &[x1, y1] = o[i];
        const auto &[x2, y2] = o[(i + 1) % o.size()];
        const double dx = x2 - x1, dy = y2 - y1, l2 = dx * dx + dy * dy;
        const double t = l2 > 0 ? std::clamp(((x - x1) * dx + (y - y1) * dy) / l2, 0.0, 1.0) : 0;
        best = std::min(best, std::hypot(x - x1 - t * dx, y - y1 - t * dy));
    }
    return best;
}

bool InsideOutline(const Outline &o, double x, double y)
{
    bool inside = false;
    for (size_t i = 0, j = o.size() - 1; i < o.size(); j = i++)
        if ((o[i].second > y) != (o[j].second > y) &&
            x < o[j].first + (y - o[j].second) * (o[i].first - o[j].first) / (o[i].second - o[j].second))
            inside = !inside;
    return inside;
}

double OutlineArea(const Outline &o)
{
    double twice = 0;
    for (size_t i = 0; i < o.size(); ++i)
        twice += o[i].first * o[(i + 1) % o.size()].second - o[(i + 1) % o.size()].first * o[i].second;
    return std::fabs(twice) / 2;
}

class HatchCurvedTest : public HatchTest {
protected:
    double savedQuality_ = 0, savedTolerance_ = 0;
    void SetUp() override
    {
        HatchTest::SetUp();
        savedQuality_ = g_DrawingSettings.displayQuality[2];
        savedTolerance_ = g_LocalData.surfaceTolerance;
        g_DrawingSettings.displayQuality[2] = 2.0;
        g_LocalData.surfaceTolerance = 0.01;
        lines_.lines[0].offset = 2;
    }
    void TearDown() override
    {
        g_DrawingSettings.displayQuality[2] = savedQuality_;
        g_LocalData.surfaceTolerance = savedTolerance_;
        HatchTest::TearDown();
    }
};

struct CurvedCase {
    const char *name;
    std::function<void()> draw; // the objects, left selected
    bool aroundPoint;           // hatched around (2, 10) as a surface, else as selected
    std::function<Outline()> outline;
};

TEST_F(HatchCurvedTest, CurvedOutlinesAreHatchedInside)
{
    auto selectTail = [] { g_ObjectLists[LIST_DRAWING].tail->flags |= UNIT_SELECTED; };
    // The ellipse of centre 0 with the axis points (0, 20) and (40, 0).
    auto EllipsePoints = [] { SetCp(0, 0, 0), SetCp(1, 0, 20), SetCp(2, 40, 0); };
    const std::vector<double> ring = {30, 0, 21, 21, 0, 30, -21, 21, -30, 0, -21, -21, 0, -30, 21, -21, 30, 0};
    const CurvedCase cases[] = {
        {"ellipse", [&] { EllipsePoints(), ObjectNewEllipse(OBJTYPE_ELLIPSE, 0, 1, 2), selectTail(); }, false,
         [] { return EllipseOutline(40, 20, 0, 2 * kPi, false); }},
        {"ellipse around a point", [&] { EllipsePoints(), ObjectNewEllipse(OBJTYPE_ELLIPSE, 0, 1, 2), selectTail(); },
         true, [] { return EllipseOutline(40, 20, 0, 2 * kPi, false); }},
        {"elliptic sector",
         [&] {
             EllipsePoints(), SetCp(3, 40, 0), SetCp(4, 0, 20), SetCp(5, 1, 0);
             ObjectNewEllipseArc(OBJTYPE_ELLI_SEC, 0, 1, 2, 3, 4, 5), selectTail();
         },
         false, [] { return EllipseOutline(40, 20, 0, kPi / 2, true); }},
        {"elliptic arc closed by a line",
         [&] {
             EllipsePoints(), SetCp(3, 40, 0), SetCp(4, -40, 0), SetCp(5, 1, 0);
             ObjectNewEllipseArc(OBJTYPE_ELLI_ARC, 0, 1, 2, 3, 4, 5), selectTail();
             TestNewLine(-45, 4, 45, 4)->flags |= UNIT_SELECTED;
         },
         true, [] { return EllipseOutline(40, 20, std::asin(0.2), kPi - 2 * std::asin(0.2), false); }},
        {"closed spline",
         [&] { ObjectNewPolylineFromArray(OBJTYPE_SPLINE, ring.data(), int(ring.size() / 2)), selectTail(); }, true,
         [&] { return SplineOutline(ring); }},
    };
    for (const CurvedCase &c : cases) {
        SCOPED_TRACE(c.name);
        MemFreeChunks();
        MemInitLists();
        ASSERT_EQ(MemEnlargeList(), 1);
        g_Pieces.clear();
        UndoInitProcess();
        c.draw();
        if (c.aroundPoint) {
            ASSERT_EQ(PolyGenerateSurface(UNIT_SELECTED, 2, 10), 1) << (Alerts().texts.empty() ? "" : Alerts().texts[0]);
            Collect(UNIT_TEMPORARY);
        } else {
            Collect();
        }
        ASSERT_EQ(Lines(0, 0, 0, 0, 1), 1);
        UndoCancelProcess();
        const Outline o = c.outline();
        ASSERT_GT(g_Pieces.size(), 5u);
        double length = 0;
        for (const GeoObject &g : g_Pieces) {
            ASSERT_EQ(g.type, GEO_LINE);
            length += std::hypot(g.d[2] - g.d[0], g.d[3] - g.d[1]);
            // Both ends on the outline, everything between inside.
            EXPECT_LE(DistanceToOutline(o, g.d[0], g.d[1]), kFlatTolerance) << g.d[0] << " " << g.d[1];
            EXPECT_LE(DistanceToOutline(o, g.d[2], g.d[3]), kFlatTolerance) << g.d[2] << " " << g.d[3];
            for (double f : {0.25, 0.5, 0.75}) {
                const double x = g.d[0] + f * (g.d[2] - g.d[0]), y = g.d[1] + f * (g.d[3] - g.d[1]);
                EXPECT_TRUE(InsideOutline(o, x, y) || DistanceToOutline(o, x, y) <= kFlatTolerance) << x << " " << y;
            }
        }
        // Lines 2 mm apart cover the area: their length is about the area / 2.
        EXPECT_NEAR(length * 2 / OutlineArea(o), 1.0, 0.02);
    }
}

TEST(HatchFrame, TurnedFrameKeepsItsCentre)
{
    double f[4] = {0, 0, 10, 4};
    HatchRotateFrame(f, kPi / 2);
    EXPECT_NEAR(f[0], 3, 1e-12);
    EXPECT_NEAR(f[1], -3, 1e-12);
    EXPECT_NEAR(f[2], 7, 1e-12);
    EXPECT_NEAR(f[3], 7, 1e-12);
}

} // namespace

// ---------------------------------------------------------------------------
// Block patterns.

namespace {

class HatchBlockTest : public HatchTest {
protected:
    HatchDef def_{};
    void SetUp() override
    {
        HatchTest::SetUp();
        std::strcpy(def_.blockLibrary, "*");
        std::strcpy(def_.blockName, "cell");
        def_.blockOn = 1;
        // Scale 1; columns 1 x width + 6; rows 1 x height + 8.
        const double placement[8] = {0, 1, 1, 6, 1, 8, 0, 0};
        std::memcpy(def_.placement, placement, sizeof placement);
    }
    // The block "cell" of the drawing with one member per outline.
    static void Block(const std::vector<std::pair<int32_t, std::vector<double>>> &members)
    {
        Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, "cell");
        ASSERT_NE(block, nullptr);
        for (const auto &m : members) {
            Unit *u = TestNewObject(LIST_DRAWING, m.first, m.second);
            ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, block, u), nullptr);
            MemListDelete(LIST_DRAWING, u);
        }
        SymbolRebuildOwnIndex();
        FrameCalcBlock(block, 1);
    }
    // An instance of the drawing's block, turned, scaled and moved, as a
    // member of the block `into`.
    static void AddInstance(Unit *into, const char *block, double angle, double scale, double tx = 0)
    {
        BlockInsertSlot entry{};
        std::strcpy(entry.nameLibrary, "*");
        std::strcpy(entry.nameBlock, block);
        Matrix m;
        MatrixInit(&m);
        MatrixScale(&m, scale, scale);
        MatrixRotate(&m, angle);
        MatrixMove(&m, tx, 0);
        Unit *u = SymbolCreateInstance(&entry, &m, nullptr);
        ASSERT_NE(u, nullptr);
        ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, into, u), nullptr);
        MemListDelete(LIST_DRAWING, u);
        SymbolRebuildOwnIndex();
        FrameCalcBlock(into, 1);
    }
    int Blocks()
    {
        const double origin[2] = {0, 0};
        return HatchEnumerateBlocks(&boundary_, &def_, origin, CollectOpen, CollectAdd, CollectClose);
    }
};

TEST_F(HatchBlockTest, BlocksFillTheCellsAndAreCutAtTheBoundary)
{
    // An L of 4 x 2 mm: the cells are 10 mm apart both ways.
    Block({{OBJTYPE_LINE, {0, 0, 4, 0}}, {OBJTYPE_LINE, {0, 0, 0, 2}}});
    Square(5, 5, 92, 92);
    Collect();
    ASSERT_EQ(Blocks(), 1);
    EXPECT_EQ(g_Pieces.size(), 2u * 81);
    // Rows 10 .. 90: eight whole arms and one cut at 92, both ways.
    EXPECT_NEAR(TotalLength(), 9 * (8 * 4 + 2) + 9 * (8 * 2 + 2), 1e-9);
    for (const GeoObject &g : g_Pieces) {
        EXPECT_NEAR(std::fmod(std::min(g.d[0], g.d[2]), 10), 0, 1e-9) << "every piece starts on a cell";
        EXPECT_NEAR(std::fmod(std::min(g.d[1], g.d[3]), 10), 0, 1e-9);
    }
    // Opened with the default attributes, then again with the lines' own.
    EXPECT_EQ(g_Opened.size(), 2u);
    EXPECT_EQ(g_Closed, 2);
}

TEST_F(HatchBlockTest, BlocksInsideThePatternBlockAreFollowed)
{
    // The L of the test above, its arms instances of a block "arm" inside a
    // block "L", which is the one member of "cell".
    g_DrawingSettings.displayBlocks = 1;
    Unit *arm = SymbolNewBlock(LIST_OWN_BLOCKS, "arm");
    Unit *ell = SymbolNewBlock(LIST_OWN_BLOCKS, "L");
    Unit *cell = SymbolNewBlock(LIST_OWN_BLOCKS, "cell");
    ASSERT_TRUE(arm && ell && cell);
    Unit *line = TestNewObject(LIST_DRAWING, OBJTYPE_LINE, {0, 0, 4, 0});
    ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, arm, line), nullptr);
    MemListDelete(LIST_DRAWING, line);
    SymbolRebuildOwnIndex();
    FrameCalcBlock(arm, 1);
    AddInstance(ell, "arm", 0, 1);
    AddInstance(ell, "arm", kPi / 2, 0.5);
    AddInstance(cell, "L", 0, 1);
    Square(5, 5, 92, 92);
    Collect();
    ASSERT_EQ(Blocks(), 1);
    EXPECT_FALSE(AlertedOK(127));
    EXPECT_EQ(g_Pieces.size(), 2u * 81);
    EXPECT_NEAR(TotalLength(), 9 * (8 * 4 + 2) + 9 * (8 * 2 + 2), 1e-9);
    for (const GeoObject &g : g_Pieces) {
        EXPECT_NEAR(std::fmod(std::min(g.d[0], g.d[2]), 10), 0, 1e-9) << "every piece starts on a cell";
        EXPECT_NEAR(std::fmod(std::min(g.d[1], g.d[3]), 10), 0, 1e-9);
    }
}

TEST_F(HatchBlockTest, ABlockContainingItselfIsNotEnteredAgain)
{
    g_DrawingSettings.displayBlocks = 1;
    Block({{OBJTYPE_LINE, {0, 0, 4, 0}}});
    Square(5, 5, 92, 92);
    Collect();
    ASSERT_EQ(Blocks(), 1);
    const size_t once = g_Pieces.size();
    ASSERT_GT(once, 0u);
    // Into itself: followed down to the nesting limit, every line would come
    // 22 times over.
    Unit *cell = SymbolFindBlock("*", "cell");
    ASSERT_NE(cell, nullptr);
    AddInstance(cell, "cell", 0, 1);
    g_Pieces.clear();
    ASSERT_EQ(Blocks(), 1);
    EXPECT_EQ(g_Pieces.size(), once);
}

TEST_F(HatchBlockTest, ArcsInsideStayWholeAndStaggeredRowsShift)
{
    Block({{OBJTYPE_CIRCLE, {0, 0, 1, 0}}});
    def_.placement[3] = 8, def_.placement[5] = 8; // pitch 10 both ways
    def_.placement[7] = 5;                                          // every second row half over
    Square(5, 5, 92, 92);
    Collect();
    ASSERT_EQ(Blocks(), 1);
    double sweep = 0;
    int shifted = 0;
    for (const GeoObject &g : g_Pieces) {
        EXPECT_EQ(g.type, GEO_CIRC_ARC);
        EXPECT_NEAR(std::hypot(g.d[6] - g.d[0], g.d[7] - g.d[1]), 1, 1e-9);
        const double a = std::atan2(g.d[7] - g.d[1], g.d[6] - g.d[0]), b = std::atan2(g.d[9] - g.d[1], g.d[8] - g.d[0]);
        double s = b - a;
        if (s <= 0)
            s += 2 * kPi;
        const double mid = a + s / 2;
        const double mx = g.d[0] + std::cos(mid), my = g.d[1] + std::sin(mid);
        EXPECT_TRUE(mx > 5 && mx < 92 && my > 5 && my < 92) << "only what lies inside";
        if (g.d[0] > 6 && g.d[0] < 91 && g.d[1] > 6 && g.d[1] < 91)
            sweep += s;
        const double row = std::round(g.d[1] / 10);
        EXPECT_NEAR(std::fmod(g.d[0] - 5 * (int(row) % 2), 10), 0, 1e-9);
        shifted += int(row) % 2;
    }
    EXPECT_GT(shifted, 0);
    // The circles clear of the boundary stay whole.
    EXPECT_GT(sweep, 0);
    EXPECT_NEAR(sweep / (2 * kPi), std::round(sweep / (2 * kPi)), 1e-6);
}

TEST_F(HatchBlockTest, NoGeometryAndZeroPitchAreReported)
{
    Block({{OBJTYPE_MARK, {1, 1}}});
    Square(5, 5, 92, 92);
    Collect();
    EXPECT_EQ(Blocks(), 1);
    EXPECT_TRUE(AlertedOK(127));
    EXPECT_TRUE(g_Pieces.empty());
    Alerts() = AlertLog{};
    def_.placement[2] = 0, def_.placement[3] = 0; // column pitch 0
    EXPECT_EQ(Blocks(), 0);
    EXPECT_TRUE(AlertedOK(34));
    // Pitches of 1 um over the square would mean 10^10 cells: refused at once.
    Alerts() = AlertLog{};
    def_.placement[3] = 0.001;
    def_.placement[4] = 0, def_.placement[5] = 0.001;
    EXPECT_EQ(Blocks(), 0);
    EXPECT_TRUE(AlertedOK(34));
    EXPECT_TRUE(g_Pieces.empty());
}

} // namespace
