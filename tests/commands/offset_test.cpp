// Offset curves: lines, circles and arcs moved to the side of the reference
// point, and paths through the piece algorithm.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "command_fixture.h"
#include "commands/trim_offset.h"
#include "common/test_alerts.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "geometry/pick_objects.h"
#include "language/language.h"

namespace {

struct Pt {
    double x, y;
};

class Offset : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        target_.assign(g_ObjectLimits.objectSize / sizeof(double) + 1, 0.0);
    }
    void TearDown() override
    {
        FreeStorage();
        CommandTest::TearDown();
    }
    Unit *Target() { return reinterpret_cast<Unit *>(target_.data()); }
    int Run(const Unit *source, double d, int arcs, Pt ref)
    {
        const CalcPoint p{ref.x, ref.y};
        return TrimEquidistant(source, Target(), d, arcs, &p);
    }
    std::vector<Pt> Points() const
    {
        std::vector<Pt> out;
        const Unit *u = reinterpret_cast<const Unit *>(target_.data());
        for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (ElementIsPoint(e))
                out.push_back({reinterpret_cast<const ElementPoint *>(e)->x, reinterpret_cast<const ElementPoint *>(e)->y});
        return out;
    }
    int CountKind(int16_t kind) const
    {
        int n = 0;
        const Unit *u = reinterpret_cast<const Unit *>(target_.data());
        for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            n += e->kind == kind;
        return n;
    }

    std::vector<double> target_;
    TestAlerts alerts_;
};

TEST_F(Offset, SquareOutwardWithArcJoinsGivesFourLinesAndFourArcs)
{
    Unit *square = PickNewPath(OBJTYPE_SURFACE, PickSquare(0, 0, 10, 10));
    ASSERT_EQ(Run(square, 2, 1, {-5, 5}), 0);
    EXPECT_EQ(Target()->object.type, OBJTYPE_SURFACE);
    EXPECT_EQ(CountKind(POINT_START), 1);
    EXPECT_EQ(CountKind(POINT_LINE), 4);
    EXPECT_EQ(CountKind(POINT_ARC_PIECE_END), 4);
    for (const Pt &p : Points()) {
        // Every point lies at distance 2 from the square.
        const double dx = std::fmax(std::fmax(-p.x, p.x - 10), 0), dy = std::fmax(std::fmax(-p.y, p.y - 10), 0);
        EXPECT_NEAR(std::hypot(dx, dy), 2, 1e-9);
    }
    EXPECT_TRUE(alerts_.texts().empty());

    // Without arc joins the sides meet at the extended corners.
    ASSERT_EQ(Run(square, 2, 0, {-5, 5}), 0);
    EXPECT_EQ(CountKind(POINT_ARC_PIECE_END), 0);
    for (const Pt &p : Points()) {
        EXPECT_NEAR(std::fabs(p.x - 5), 7, 1e-9);
        EXPECT_NEAR(std::fabs(p.y - 5), 7, 1e-9);
    }
}

TEST_F(Offset, SquareInward)
{
    Unit *square = PickNewPath(OBJTYPE_SURFACE, PickSquare(0, 0, 10, 10));
    ASSERT_EQ(Run(square, 2, 1, {5, 5}), 0);
    EXPECT_EQ(CountKind(POINT_ARC_PIECE_END), 0) << "the corners are concave on the inside";
    for (const Pt &p : Points()) {
        EXPECT_NEAR(std::fabs(p.x - 5), 3, 1e-9);
        EXPECT_NEAR(std::fabs(p.y - 5), 3, 1e-9);
    }
    // More than half the side: nothing keeps its distance.
    EXPECT_EQ(Run(square, 6, 1, {5, 5}), -1);
    ASSERT_EQ(alerts_.texts().size(), 1u);
    EXPECT_EQ(alerts_.texts()[0], eAlertTextSM[85]);
}

TEST_F(Offset, OnlyTheContourNearestTheReferenceIsOffset)
{
    std::vector<PathStep> steps = PickSquare(0, 0, 10, 10);
    const std::vector<PathStep> second = PickSquare(20, 0, 30, 10);
    steps.insert(steps.end(), second.begin(), second.end());
    Unit *two = PickNewPath(OBJTYPE_SURFACE, steps);
    ASSERT_EQ(Run(two, 1, 0, {35, 5}), 0);
    EXPECT_EQ(CountKind(POINT_START), 1);
    for (const Pt &p : Points())
        EXPECT_GE(p.x, 18.9);
}

TEST_F(Offset, LinesCirclesAndArcsMoveToTheReferenceSide)
{
    Unit *line = TestNewLine(0, 0, 10, 0);
    for (double side : {3.0, -3.0}) {
        ASSERT_EQ(Run(line, 2, 0, {5, side}), 0);
        const std::vector<Pt> p = Points();
        EXPECT_NEAR(p[0].y, std::copysign(2, side), 1e-12);
        EXPECT_NEAR(p[1].y, std::copysign(2, side), 1e-12);
    }
    Unit *circle = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {0, 0, 5, 0});
    ASSERT_EQ(Run(circle, 2, 0, {1, 0}), 0);
    EXPECT_NEAR(Points()[1].x, 3, 1e-12) << "inside: the radius shrinks";
    ASSERT_EQ(Run(circle, 2, 0, {9, 0}), 0);
    EXPECT_NEAR(Points()[1].x, 7, 1e-12);

    // An arc's ends move with its radius.
    Unit *arc = TestNewObject(LIST_DRAWING, OBJTYPE_CIRC_ARC, {0, 0, 5, 0, 5, 0, 0, 5});
    ASSERT_EQ(Run(arc, 1, 0, {10, 10}), 0);
    const std::vector<Pt> p = Points();
    EXPECT_NEAR(p[2].x, 6, 1e-12);
    EXPECT_NEAR(p[3].y, 6, 1e-12);
    // Inward by the whole radius: refused.
    EXPECT_EQ(Run(arc, 5, 0, {1, 1}), -1);
    ASSERT_EQ(alerts_.texts().size(), 1u);
    EXPECT_EQ(alerts_.texts()[0], eAlertTextSM[85]);
    // Types without an offset.
    Unit *mark = TestNewObject(LIST_DRAWING, OBJTYPE_MARK, {0, 0});
    EXPECT_EQ(Run(mark, 1, 0, {1, 1}), -1);
    EXPECT_EQ(alerts_.texts().back(), eAlertTextSM[60]);
}

TEST_F(Offset, OpenCurveAndArcPath)
{
    // An open L offset outward: no closing piece, one corner arc.
    Unit *curve = PickNewPath(OBJTYPE_CURVE, {{POINT_START, 0, 10}, {POINT_LINE, 0, 0}, {POINT_LINE, 10, 0}});
    ASSERT_EQ(Run(curve, 1, 1, {-3, -3}), 0);
    EXPECT_EQ(Target()->object.type, OBJTYPE_CURVE);
    EXPECT_EQ(CountKind(POINT_LINE), 2);
    EXPECT_EQ(CountKind(POINT_ARC_PIECE_END), 1);
    const std::vector<Pt> p = Points();
    EXPECT_NEAR(p.front().x, -1, 1e-9);
    EXPECT_NEAR(p.front().y, 10, 1e-9);
    EXPECT_NEAR(p.back().x, 10, 1e-9);
    EXPECT_NEAR(p.back().y, -1, 1e-9);

    // A half disc (arc and diameter) offset outward keeps its arc, radius 6.
    Unit *half = PickNewPath(OBJTYPE_SURFACE, {{POINT_START, -5, 0}, {POINT_LINE, 5, 0}, {POINT_ARC_PIECE_END, -5, 0, 1.0, 0.0}});
    ASSERT_EQ(Run(half, 1, 1, {0, -3}), 0);
    for (const Pt &q : Points())
        EXPECT_TRUE(std::fabs(std::hypot(q.x, q.y) - 6) < 1e-9 || std::fabs(q.y + 1) < 1e-9) << q.x << " " << q.y;
}

TEST_F(Offset, TooManyPiecesAreRefused)
{
    // Each Bezier is read as 9 pieces: 700 of them pass the piece limit.
    std::vector<PathStep> steps{{POINT_START, 0, 0}};
    for (int i = 0; i < 700; ++i) {
        const double x = 10.0 * i;
        steps.push_back({POINT_CONTROL1, x + 3, 5});
        steps.push_back({POINT_CONTROL2, x + 7, -5});
        steps.push_back({POINT_LINE, x + 10, 0});
    }
    Unit *wave = PickNewPath(OBJTYPE_CURVE, steps);
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(Run(wave, 1, 0, {5, 20}), -1);
    ASSERT_EQ(alerts_.texts().size(), 1u);
    EXPECT_EQ(alerts_.texts()[0], eAlertTextSM[84]);
}

TEST_F(Offset, ASelfCrossingFigureSplitsIntoLoops)
{
    // A bow tie: the offsets of its diagonals cross near the middle; the
    // figure splits there, and the loops that keep their distance remain.
    Unit *bow = PickNewPath(OBJTYPE_SURFACE, {{POINT_START, 0, 0}, {POINT_LINE, 10, 10}, {POINT_LINE, 10, 0}, {POINT_LINE, 0, 10}});
    ASSERT_EQ(Run(bow, 0.5, 0, {-3, 5}), 0);
    EXPECT_EQ(CountKind(POINT_START), 2);
    EXPECT_EQ(CountKind(POINT_LINE), 6) << "two triangles";
    // Both loops start at the crossing of the offset diagonals.
    int atCrossing = 0;
    for (const Pt &p : Points())
        atCrossing += std::fabs(p.x - (5 + 0.5 * std::sqrt(2.0))) < 1e-9 && std::fabs(p.y - 5) < 1e-9;
    EXPECT_EQ(atCrossing, 3) << "a corner of one loop, start and end of the other";
}

// Figures that cross themselves several times: each splits into loops, the
// outer figure first and then the loops, the last split off first; only the
// loops that keep their distance remain. Every kept loop is given by its
// start and the number of its pieces, in the order written.
TEST_F(Offset, FiguresCrossingThemselvesSeveralTimesSplitIntoTheirLoops)
{
    struct Loop {
        double x, y;
        int pieces;
    };
    struct Case {
        const char *name;
        int32_t type;
        std::vector<PathStep> steps;
        double d;
        int arcs;
        Pt ref;
        std::vector<Loop> loops;
    };
    // Offset lines of two square diagonals cross d * sqrt(2) from their crossing.
    const double half = 0.5 * std::sqrt(2.0);
    const std::vector<Case> cases = {
        {"three bow ties in a row", OBJTYPE_SURFACE,
         {{POINT_START, 0, 0}, {POINT_LINE, 10, 10}, {POINT_LINE, 20, 0}, {POINT_LINE, 30, 10}, {POINT_LINE, 30, 0},
          {POINT_LINE, 20, 10}, {POINT_LINE, 10, 0}, {POINT_LINE, 0, 10}},
         0.5, 0, {-5, 5},
         // Two end triangles and two diamonds between, split at the crossings.
         {{-0.5, -0.5 - half, 3}, {5 + half, 5, 4}, {15 - half, 5, 4}, {25 + half, 5, 3}}},
        {"pentagram, outward", OBJTYPE_SURFACE,
         {{POINT_START, 0, 10}, {POINT_LINE, 5.878, -8.09}, {POINT_LINE, -9.511, 3.09}, {POINT_LINE, 9.511, 3.09},
          {POINT_LINE, -5.878, -8.09}},
         0.5, 0, {0, 20}, {{0, 11.617983521069, 4}, {2.608539919118, 3.59, 3}}},
        {"pentagram, inward", OBJTYPE_SURFACE,
         {{POINT_START, 0, 10}, {POINT_LINE, 5.878, -8.09}, {POINT_LINE, -9.511, 3.09}, {POINT_LINE, 9.511, 3.09},
          {POINT_LINE, -5.878, -8.09}},
         0.5, 0, {0, 0}, {{0, 8.382016478931, 4}, {1.882005133397, 2.59, 3}}},
    };
    for (const Case &c : cases) {
        Unit *path = PickNewPath(c.type, c.steps);
        ASSERT_NE(path, nullptr) << c.name;
        ASSERT_GE(Run(path, c.d, c.arcs, c.ref), 0) << c.name;
        std::vector<Loop> loops;
        const Unit *u = Target();
        for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e)) {
            if (!ElementIsPoint(e))
                continue;
            const ElementPoint *p = reinterpret_cast<const ElementPoint *>(e);
            if (e->kind == POINT_START)
                loops.push_back({p->x, p->y, 0});
            else
                ++loops.back().pieces;
        }
        EXPECT_EQ(loops.size(), c.loops.size()) << c.name;
        for (size_t k = 0; k < loops.size() && k < c.loops.size(); ++k) {
            EXPECT_NEAR(loops[k].x, c.loops[k].x, 1e-9) << c.name << ", loop " << k;
            EXPECT_NEAR(loops[k].y, c.loops[k].y, 1e-9) << c.name << ", loop " << k;
            EXPECT_EQ(loops[k].pieces, c.loops[k].pieces) << c.name << ", loop " << k;
        }
    }
}

// Trimming can reverse a piece; it is dropped and its neighbours are joined,
// which can reverse one of them in turn, round after round. A comb of teeth
// of uneven height offset outward loses its short teeth that way (the tooth
// of height 3 and the one of height 2, and with them the open curve's first
// piece); every written point is pinned.
TEST_F(Offset, ReversedPiecesDropInCascadesUntilNoneIsReversed)
{
    struct Case {
        const char *name;
        int32_t type;
        double d;
        int arcs;
        std::vector<PathStep> points; // kind, x, y as written
    };
    const double heights[] = {10, 0, 8, 0, 3, 0, 12, 0, 5, 0, 2, 0, 9};
    const std::vector<Case> cases = {
        {"closed comb", OBJTYPE_SURFACE, 2, 0,
         {{POINT_START, -2, 50.099751242242}, {POINT_LINE, 1.220846430314, 17.891286939106},
          {POINT_LINE, 2, 24.124515496597}, {POINT_LINE, 3.802066316951, 9.707984960992},
          {POINT_LINE, 6, 36.083189157585}, {POINT_LINE, 7.816773537082, 14.281906712597},
          {POINT_LINE, 8, 15.198039027186}, {POINT_LINE, 9.720519196494, 6.595443044717},
          {POINT_LINE, 14, 45.110770276275}, {POINT_LINE, 14, -5}, {POINT_LINE, -2, -5},
          {POINT_LINE, -2, 50.099751242242}}},
        {"closed comb with arc joins", OBJTYPE_SURFACE, 1, 1,
         {{POINT_START, 0.995037190210, 10.099503719021}, {POINT_LINE, 1.151989603035, 8.529979590775},
          {POINT_ARC_PIECE_END, 2.992277876714, 8.124034734589}, {POINT_LINE, 3.522924433759, 3.878862278230},
          {POINT_ARC_PIECE_END, 4.325333723772, 3.945599264053}, {POINT_LINE, 5.003454241755, 12.083045479854},
          {POINT_ARC_PIECE_END, 6.996545758245, 12.083045479854}, {POINT_LINE, 7.513970991792, 5.873942677285},
          {POINT_ARC_PIECE_END, 8.980580675691, 5.196116135138}, {POINT_LINE, 9.452449389333, 2.836772566925},
          {POINT_ARC_PIECE_END, 10.321288470421, 2.946981371926}, {POINT_LINE, 11.006116265326, 9.110431526075},
          {POINT_ARC_PIECE_END, 13, 9}, {POINT_LINE, 13, -3}, {POINT_ARC_PIECE_END, 12, -4},
          {POINT_LINE, 0, -4}, {POINT_ARC_PIECE_END, -1, -3}, {POINT_LINE, -1, 10},
          {POINT_ARC_PIECE_END, 0.995037190210, 10.099503719021}}},
        {"open comb", OBJTYPE_CURVE, 2, 0,
         {{POINT_START, 1.220846430314, 17.891286939106}, {POINT_LINE, 2, 24.124515496597},
          {POINT_LINE, 3.802066316951, 9.707984960992}, {POINT_LINE, 6, 36.083189157585},
          {POINT_LINE, 7.816773537082, 14.281906712597}, {POINT_LINE, 8, 15.198039027186},
          {POINT_LINE, 9.720519196494, 6.595443044717}, {POINT_LINE, 10.012232530653, 9.220863052150}}},
    };
    for (const Case &c : cases) {
        std::vector<PathStep> steps;
        for (int i = 0; i < 13; ++i)
            steps.push_back({int16_t(i ? POINT_LINE : POINT_START), double(i), heights[i]});
        if (c.type == OBJTYPE_SURFACE) {
            steps.push_back({POINT_LINE, 12, -3});
            steps.push_back({POINT_LINE, 0, -3});
        }
        Unit *comb = PickNewPath(c.type, steps);
        ASSERT_NE(comb, nullptr) << c.name;
        ASSERT_EQ(Run(comb, c.d, c.arcs, {6, 30}), 0) << c.name;
        std::vector<PathStep> written;
        for (const Element *e = UnitFirstElement(Target()); e->kind != ELEM_END; e = ElementNext(e))
            if (ElementIsPoint(e))
                written.push_back({e->kind, reinterpret_cast<const ElementPoint *>(e)->x,
                                   reinterpret_cast<const ElementPoint *>(e)->y});
        ASSERT_EQ(written.size(), c.points.size()) << c.name;
        for (size_t k = 0; k < written.size(); ++k) {
            EXPECT_EQ(written[k].kind, c.points[k].kind) << c.name << ", point " << k;
            EXPECT_NEAR(written[k].x, c.points[k].x, 1e-9) << c.name << ", point " << k;
            EXPECT_NEAR(written[k].y, c.points[k].y, 1e-9) << c.name << ", point " << k;
        }
    }
}

} // namespace

