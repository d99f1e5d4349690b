#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "database/create_fixture.h"
#include "geometry/area.h"
#include "geometry/calc_candidate.h"
#include "geometry/distance.h"
#include "geometry/pick_objects.h"
#include "dialogs/box05.h"
#include "language/language.h"

namespace {

constexpr double EPS = 1e-9;
// Distances measured through the Bezier form of a curve.
constexpr double CURVE_EPS = 1e-3;

Matrix Moved(double dx, double dy)
{
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, dx, dy);
    return m;
}

// ---------------------------------------------------------------------------
// Primitives.

TEST(DistancePrimitives, Segment)
{
    struct Case {
        const char *name;
        double x1, y1, x2, y2, px, py, expected;
    } cases[] = {
        {"perpendicular foot inside", 0, 0, 10, 0, 5, 3, 3},
        {"foot exactly on the end counts as inside", 0, 0, 10, 0, 10, -4, 4},
        {"beyond the far end: to the nearer end point", 0, 0, 10, 0, 13, 4, 5},
        {"before the start", 0, 0, 10, 0, -3, 4, 5},
        {"zero length: to the first point", 2, 2, 2, 2, 5, 6, 5},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(DistancePointSegment(c.x1, c.y1, c.x2, c.y2, c.px, c.py, nullptr), c.expected, EPS) << c.name;
    const Matrix m = Moved(100, 0);
    EXPECT_NEAR(DistancePointSegment(0, 0, 10, 0, 105, 3, &m), 3, EPS) << "the segment is mapped, not p";
}

TEST(DistancePrimitives, EndlessLineAndPoints)
{
    EXPECT_NEAR(DistancePointEndlessLine(0, 0, 1, 0, 1000, 7, nullptr), 7, EPS);
    EXPECT_NEAR(DistancePointEndlessLine(1, 1, 1, 1, 4, 5, nullptr), 5, EPS) << "two equal points";
}

class DistanceTest : public CreateTest {};

TEST_F(DistanceTest, CircleWithAndWithoutMatrix)
{
    EXPECT_NEAR(DistancePointCircle(0, 0, 5, 0, 8, 0, nullptr), 3, EPS);
    EXPECT_NEAR(DistancePointCircle(0, 0, 5, 0, 0, 0, nullptr), 5, EPS);
    // Scaled by 2 in x only: the mapped circle is an ellipse with half axes 10
    // and 5, so (0, 7) lies 2 from it, not |7 - 5| = 2 by the radius of 5 ...
    Matrix m;
    MatrixInit(&m);
    MatrixScale(&m, 2, 1);
    EXPECT_NEAR(DistancePointCircle(0, 0, 5, 0, 12, 0, &m), 2, CURVE_EPS) << "x axis grows to 10";
    EXPECT_NEAR(DistancePointCircle(0, 0, 5, 0, 0, 7, &m), 2, CURVE_EPS);
    // ... and mirrored it keeps its shape.
    Matrix mirror;
    MatrixInit(&mirror);
    MatrixMirrorY(&mirror);
    MatrixMove(&mirror, 20, 0);
    EXPECT_NEAR(DistancePointCircle(0, 0, 5, 0, 28, 0, &mirror), 3, CURVE_EPS);
}

TEST_F(DistanceTest, ArcOutsideItsRangeMeasuresToTheNearerEnd)
{
    // Upper half circle of radius 5, counter-clockwise from (5, 0) to (-5, 0).
    EXPECT_NEAR(DistancePointCircleArc(0, 0, 5, 0, -5, 0, CALC_PI, 0, 7, nullptr), 2, EPS);
    // Below the centre: outside the range, although the full circle passes at 1.
    EXPECT_NEAR(DistancePointCircleArc(0, 0, 5, 0, -5, 0, CALC_PI, 0, -6, nullptr), std::hypot(5, 6), EPS);
    // The same arc clockwise covers the lower half.
    EXPECT_NEAR(DistancePointCircleArc(0, 0, 5, 0, -5, 0, -CALC_PI, 0, -6, nullptr), 1, EPS);
    // Sweep 0 is tested as counter-clockwise.
    EXPECT_NEAR(DistancePointCircleArc(0, 0, 5, 0, -5, 0, 0.0, 0, 7, nullptr), 2, EPS);
    // With a matrix the arc is measured in its mapped place.
    const Matrix m = Moved(100, 0);
    EXPECT_NEAR(DistancePointCircleArc(0, 0, 5, 0, -5, 0, CALC_PI, 100, 7, &m), 2, CURVE_EPS);
}

TEST_F(DistanceTest, EllipsesAndBezier)
{
    EXPECT_NEAR(DistancePointEllipse(0, 0, 10, 0, 0, 5, 13, 0, nullptr), 3, CURVE_EPS);
    EXPECT_NEAR(DistancePointEllipse(0, 0, 10, 0, 0, 5, 0, -8, nullptr), 3, CURVE_EPS);
    // The quarter from the second axis point (parameter 0) to the first.
    EXPECT_NEAR(DistancePointEllipseArc(0, 0, 10, 0, 0, 5, 0, 5, 10, 0, 0, CALC_HALF_PI, 0, 8, nullptr), 3,
                CURVE_EPS);
    EXPECT_NEAR(DistancePointBezier(0, 0, 1, 1, 2, 1, 3, 0, 3, -2, nullptr), 2, CURVE_EPS);
}

TEST_F(DistanceTest, PolylineOfThePathArrays)
{
    g_WorkArrays.pathPoints[0] = {0, 0};
    g_WorkArrays.pathPoints[1] = {10, 0};
    g_WorkArrays.pathPoints[2] = {10, 10};
    EXPECT_NEAR(DistancePointPolyline(3, 12, 5, nullptr), 2, EPS);
    EXPECT_NEAR(DistancePointPolyline(3, 5, 5, nullptr), 5, EPS);
    EXPECT_NEAR(DistancePointPolyline(1, 3, 4, nullptr), 5, EPS) << "one point";
}

TEST_F(DistanceTest, SurfacesAreClosedAndCurvesOpen)
{
    // An open outline: the edge from (0, 10) back to (0, 0) exists only when closed.
    const std::vector<PathStep> outline = {
        {POINT_START, 0, 0}, {POINT_LINE, 10, 0}, {POINT_LINE, 10, 10}, {POINT_LINE, 0, 10}};
    Unit *surface = PickNewPath(OBJTYPE_SURFACE, outline);
    Unit *curve = PickNewPath(OBJTYPE_CURVE, outline);
    EXPECT_NEAR(DistancePointPathObject(surface, -1, 5, nullptr), 1, EPS);
    EXPECT_NEAR(DistancePointPathObject(curve, -1, 5, nullptr), std::hypot(1, 5), EPS);
    // A point inside a filled surface counts by its nearest edge.
    EXPECT_NEAR(DistancePointPathObject(surface, 5, 4, nullptr), 4, EPS);
    // Arc and Bezier pieces.
    Unit *mixed = PickNewPath(OBJTYPE_CURVE, {{POINT_START, 0, 0},
                                              {POINT_ARC_PIECE_END, 10, 0, 1.0, 0.0}, // the lower half around (5, 0)
                                              {POINT_CONTROL1, 10, 5},
                                              {POINT_CONTROL2, 20, 5},
                                              {POINT_LINE, 20, 0}});
    EXPECT_NEAR(DistancePointPathObject(mixed, 5, -7, nullptr), 2, CURVE_EPS) << "the arc of radius 5 around (5, 0)";
}

TEST_F(DistanceTest, ObjectsWithoutGeometryMeasureNothing)
{
    Unit *mark = TestNewObject(0, OBJTYPE_MARK, {1, 1});
    EXPECT_NEAR(DistancePointMarkPoints(mark, 4, 5, nullptr), 5, EPS);
    EXPECT_EQ(DistancePointMarkPoints(PickNewPath(OBJTYPE_MARK, {}), 0, 0, nullptr), DISTANCE_NONE);
    EXPECT_EQ(DistancePointSpline(PickNewPath(OBJTYPE_SPLINE, {}), 0, 0, nullptr), DISTANCE_NONE);
    EXPECT_EQ(DistancePointPathObject(PickNewPath(OBJTYPE_SURFACE, {}), 0, 0, nullptr), DISTANCE_NONE);
    const XProperty parent = XPropertyDefault();
    Unit *line = TestNewLine(0, 0, 1, 0);
    line->object.type = 2; // a gap in the type codes
    EXPECT_EQ(DistancePointObject(line, 0, 0, &parent, nullptr, 1), DISTANCE_NONE);
}

TEST_F(DistanceTest, SectorsAndSegmentsAddTheirStraightParts)
{
    // Quarter of radius 10 from (10, 0) to (0, 10).
    const std::vector<double> xy = {0, 0, 10, 0, 10, 0, 0, 10};
    const XProperty parent = XPropertyDefault();
    for (int32_t type : {OBJTYPE_CIRC_ARC, OBJTYPE_CIRC_SEC, OBJTYPE_CIRC_SEGM}) {
        Unit *u = TestNewObject(0, type, xy);
        ASSERT_NE(u, nullptr);
        PickSetSub(u, 6, CALC_HALF_PI);
        const double atCentreSide = DistancePointObject(u, 3, 0.5, &parent, nullptr, 1);
        const double onChord = DistancePointObject(u, 5, 5, &parent, nullptr, 1);
        if (type == OBJTYPE_CIRC_SEC)
            EXPECT_NEAR(atCentreSide, 0.5, EPS) << "the radius centre -> start";
        else
            EXPECT_GT(atCentreSide, 4.0) << type;
        if (type == OBJTYPE_CIRC_SEGM)
            EXPECT_NEAR(onChord, 0, EPS) << "the chord";
        else
            EXPECT_GT(onChord, 2.0) << type;
    }
}

TEST_F(DistanceTest, SearchBox)
{
    Unit *u = TestNewLine(0, 0, 10, 0);
    DistanceResetSearchBox();
    EXPECT_EQ(DistanceObjectInSearchBox(u, nullptr), 1) << "off: everything passes";
    DistanceSetSearchBox(10, 0, 12, 2);
    EXPECT_EQ(DistanceObjectInSearchBox(u, nullptr), 1) << "touching counts";
    DistanceSetSearchBox(10.001, 0, 12, 2);
    EXPECT_EQ(DistanceObjectInSearchBox(u, nullptr), 0);
    const Matrix m = Moved(5, 0);
    EXPECT_EQ(DistanceObjectInSearchBox(u, &m), 1) << "the frame is mapped";
    EXPECT_EQ(DistanceBoxInSearchBox(20, 0, 11, 1, nullptr), 1) << "corners in any order";
    DistanceResetSearchBox();
    EXPECT_EQ(g_DistanceSearchBox.on, 0);
}

TEST_F(DistanceTest, GeoObjects)
{
    GeoObject g{};
    g.type = GEO_CIRC_SEC;
    g.d[0] = 0, g.d[1] = 0, g.d[2] = 10, g.d[3] = 0;
    g.d[6] = 10, g.d[7] = 0, g.d[8] = 0, g.d[9] = 10;
    g.direction = 1;
    EXPECT_NEAR(DistanceGeoObject(&g, 3, 0.5), 0.5, EPS);
    g.type = GEO_CIRC_ARC;
    EXPECT_NEAR(DistanceGeoObject(&g, 0, 12), 2, EPS);
    g.type = GEO_MARK;
    EXPECT_NEAR(DistanceGeoObject(&g, 3, 4), 5, EPS);
    g.type = 99;
    EXPECT_EQ(DistanceGeoObject(&g, 3, 4), DISTANCE_NONE);
}

// ---------------------------------------------------------------------------
// Point in area.

TEST_F(DistanceTest, PointInPolygonEdgesAndCorners)
{
    const PathPoint square[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    std::copy(std::begin(square), std::end(square), g_WorkArrays.pathPoints);
    struct Case {
        double x, y;
        int inside;
    } cases[] = {{0.5, 0.5, 1}, {1.5, 0.5, 0}, {1, 0.5, 1}, {0.5, 1, 1}, {0, 0.5, 0}, {0.5, 0, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(AreaPointInPolygon(4, c.x, c.y, 0, nullptr, nullptr), c.inside) << c.x << ", " << c.y;
    int32_t onEdge = 0;
    AreaPointInPolygon(4, 0.5, 1.05, 0.1, nullptr, &onEdge);
    EXPECT_EQ(onEdge, 1);
    onEdge = 0;
    AreaPointInPolygon(4, 0.5, 0.5, 0.1, nullptr, &onEdge);
    EXPECT_EQ(onEdge, 0);
}

TEST_F(DistanceTest, NestedFiguresAreHolesAndMatricesPlaceTheObject)
{
    std::vector<PathStep> steps = PickSquare(0, 0, 10, 10);
    for (const PathStep &s : PickSquare(2, 2, 8, 8))
        steps.push_back(s);
    Unit *holed = PickNewPath(OBJTYPE_SURFACE, steps);
    EXPECT_EQ(AreaPointInPathObject(holed, 5, 5, 0, nullptr, nullptr), 0) << "inside two figures";
    EXPECT_EQ(AreaPointInPathObject(holed, 1, 1, 0, nullptr, nullptr), 1);
    Unit *single = PickNewPath(OBJTYPE_SURFACE, PickSquare(0, 0, 10, 10));
    const Matrix m = Moved(100, 0);
    EXPECT_EQ(AreaPointInPathObject(single, 105, 5, 0, &m, nullptr), 1);
    EXPECT_EQ(AreaPointInPathObject(single, 5, 5, 0, &m, nullptr), 0);
    Unit *empty = PickNewPath(OBJTYPE_SURFACE, {});
    EXPECT_EQ(AreaPointInPathObject(empty, 0, 0, 0, nullptr, nullptr), 0);
    // An arc piece bulging out of a square is flattened into the figure.
    Unit *round = PickNewPath(OBJTYPE_SURFACE, {{POINT_START, 0, 0},
                                                {POINT_ARC_PIECE_END, 10, 0, 1.0, 0.0},
                                                {POINT_LINE, 10, 10},
                                                {POINT_LINE, 0, 10}});
    EXPECT_EQ(AreaPointInPathObject(round, 5, -4, 0, nullptr, nullptr), 1) << "inside the half circle below";
    EXPECT_EQ(AreaPointInPathObject(round, 5, -6, 0, nullptr, nullptr), 0);
}

// ---------------------------------------------------------------------------
// Collection of elements.

class CollectTest : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        CalcResetCandidates();
        DistanceResetSearchBox();
    }
    int Collect(Unit *u, double px, double py, uint32_t mask, double tolerance = 1.0, int count = 0)
    {
        const XProperty parent = XPropertyDefault();
        return DistanceCollectElements(u, &parent, nullptr, tolerance, px, py, mask, count);
    }
};

TEST_F(CollectTest, ToleranceIsStrictAndEqualDistancesPutTheLaterFirst)
{
    Unit *a = TestNewLine(0, 0, 10, 0);
    Unit *b = TestNewLine(0, 2, 10, 2);
    EXPECT_EQ(Collect(a, 5, 1, COLLECT_LINES, 1.0), 0) << "exactly at the tolerance";
    int n = Collect(a, 5, 1, COLLECT_LINES, 1.5);
    n = Collect(b, 5, 1, COLLECT_LINES, 1.5, n);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(g_CalcCandidates[0].d[1], 2.0) << "the later line stands first";
    EXPECT_EQ(g_CalcCandidates[0].type, GEO_LINE);
    EXPECT_NEAR(g_CalcCandidates[0].d[CANDIDATE_DISTANCE], 1.0, EPS);
}

TEST_F(CollectTest, TwentyNearestAreKept)
{
    int n = 0;
    for (int i = 1; i <= 20; ++i)
        n = Collect(TestNewLine(0, i * 0.01, 10, i * 0.01), 5, 0, COLLECT_LINES, 1.0, n);
    ASSERT_EQ(n, 20);
    n = Collect(TestNewLine(0, 0.5, 10, 0.5), 5, 0, COLLECT_LINES, 1.0, n);
    EXPECT_EQ(n, 20) << "farther than all 20: dropped";
    EXPECT_NEAR(g_CalcCandidates[19].d[CANDIDATE_DISTANCE], 0.2, EPS);
    n = Collect(TestNewLine(0, 0.001, 10, 0.001), 5, 0, COLLECT_LINES, 1.0, n);
    EXPECT_EQ(n, 20);
    EXPECT_NEAR(g_CalcCandidates[0].d[CANDIDATE_DISTANCE], 0.001, EPS) << "the nearest enters in front";
    EXPECT_NEAR(g_CalcCandidates[19].d[CANDIDATE_DISTANCE], 0.19, EPS) << "the farthest fell off";
}

TEST_F(CollectTest, ArcsAndEllipticArcsByMask)
{
    Unit *arc = TestNewObject(0, OBJTYPE_CIRC_ARC, {0, 0, 10, 0, 10, 0, 0, 10});
    PickSetOrientation(arc, 5, 1.0);
    PickSetSub(arc, 6, CALC_HALF_PI);
    ASSERT_EQ(Collect(arc, 7.07, 7.07, COLLECT_CIRCLES | COLLECT_ARCS), 1) << "the arc only";
    EXPECT_EQ(g_CalcCandidates[0].type, GEO_CIRC_ARC);
    CalcResetCandidates();
    ASSERT_EQ(Collect(arc, 7.07, 7.07, COLLECT_CIRCLES), 1);
    EXPECT_EQ(g_CalcCandidates[0].type, GEO_CIRCLE) << "tested as the arc, kept as the circle";
    CalcResetCandidates();
    EXPECT_EQ(Collect(arc, -7.07, -7.07, COLLECT_CIRCLES), 0) << "beside the arc's range";

    Unit *elli = TestNewObject(0, OBJTYPE_ELLI_ARC, {0, 0, 10, 0, 0, 5, 0, 5, 10, 0});
    PickSetOrientation(elli, 6, -1.0); // clockwise from (0, 5) to (10, 0)
    PickSetSub(elli, 7, 0.0, CALC_HALF_PI);
    CalcResetCandidates();
    const int n = Collect(elli, 7.07, 3.54, COLLECT_ELLIPSES | COLLECT_ELLI_ARCS);
    ASSERT_EQ(n, 2) << "the full ellipse and the arc";
    EXPECT_TRUE((g_CalcCandidates[0].type == GEO_ELLIPSE && g_CalcCandidates[1].type == GEO_ELLI_ARC) ||
                (g_CalcCandidates[0].type == GEO_ELLI_ARC && g_CalcCandidates[1].type == GEO_ELLIPSE));
}

TEST_F(CollectTest, CirclesUnderADistortingMatrixBecomeEllipses)
{
    GeoObject g{};
    g.type = GEO_CIRCLE;
    g.d[2] = 5;
    Matrix m;
    MatrixInit(&m);
    MatrixScale(&m, 2, 1);
    EXPECT_EQ(DistanceTestGeoObject(&g, &m, 1.0, 10.5, 0), 1);
    EXPECT_EQ(g.type, GEO_ELLIPSE);
    EXPECT_NEAR(g.d[2], 10, EPS);
    EXPECT_NEAR(g.d[5], 5, EPS);
    GeoObject arc{};
    arc.type = GEO_CIRC_ARC;
    arc.direction = 1;
    Matrix mirror;
    MatrixInit(&mirror);
    MatrixMirrorY(&mirror);
    DistanceTestGeoObject(&arc, &mirror, 1.0, 0, 0);
    EXPECT_EQ(arc.direction, 0) << "a mirror turns the arc's direction";
}

TEST_F(CollectTest, PathPiecesAndClosingEdges)
{
    Unit *surface = PickNewPath(OBJTYPE_SURFACE, {{POINT_START, 0, 0}, {POINT_LINE, 10, 0}, {POINT_LINE, 10, 10}});
    ASSERT_EQ(Collect(surface, 5, 5.2, COLLECT_LINES), 1) << "the closing edge (10, 10) -> (0, 0)";
    EXPECT_NEAR(g_CalcCandidates[0].d[2], 0, EPS);
    Unit *curve = PickNewPath(OBJTYPE_CURVE, {{POINT_START, 0, 0}, {POINT_LINE, 10, 0}, {POINT_LINE, 10, 10}});
    CalcResetCandidates();
    EXPECT_EQ(Collect(curve, 5, 5.2, COLLECT_LINES), 0);
}

// ---------------------------------------------------------------------------
// Candidates.

TEST_F(CollectTest, CompletionMovesArcEndsOntoTheCircle)
{
    GeoObject g[2]{};
    for (int i = 0; i < 2; ++i) {
        g[i].type = i == 0 ? GEO_CIRC_ARC : GEO_CIRC_SEC;
        g[i].d[2] = 10;           // radius 10 around the origin
        g[i].d[6] = 20, g[i].d[7] = 0;   // start off the circle
        g[i].d[8] = 1, g[i].d[9] = 1;    // end inside it, at 45 degrees
        g[i].direction = 1;
    }
    CalcCompleteCandidates(g, 2);
    EXPECT_NEAR(g[0].d[6], 10, EPS);
    EXPECT_NEAR(g[0].d[9], std::sqrt(50.0), EPS);
    EXPECT_NEAR(g[0].d[CANDIDATE_SWEEP], CALC_PI / 4, EPS);
    EXPECT_GT(g[0].d[CANDIDATE_EXTENTS + 0], 0.0) << "an arc's frame leaves the centre out";
    EXPECT_NEAR(g[1].d[CANDIDATE_EXTENTS + 0], 0.0, EPS) << "a sector's frame holds the centre";
    EXPECT_NEAR(g[1].d[CANDIDATE_EXTENTS + 1], 0.0, EPS);
}

} // namespace

namespace {

std::vector<std::string> s_Captions;
std::vector<uint32_t> s_Answers;
uint32_t AnswerChooser(const char *caption, int32_t, int32_t)
{
    s_Captions.push_back(caption);
    const size_t i = s_Captions.size() - 1;
    return i < s_Answers.size() ? s_Answers[i] : MULTIPLE_IDENT_CANCEL;
}

class ChooserTest : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        saved_ = g_Box05MultipleIdentHook;
        g_Box05MultipleIdentHook = AnswerChooser;
        s_Captions.clear();
        s_Answers.clear();
        // Three circles of radius 1 at x = 0, 10, 20.
        for (int i = 0; i < 3; ++i) {
            GeoObject &g = g_CalcCandidates[i];
            g = GeoObject{};
            g.type = GEO_CIRCLE;
            g.d[0] = 10.0 * i, g.d[2] = 10.0 * i + 1.0;
        }
    }
    void TearDown() override
    {
        g_Box05MultipleIdentHook = saved_;
        CreateTest::TearDown();
    }
    Box05MultipleIdentHook saved_ = nullptr;
};

TEST_F(ChooserTest, TheNearestToThePicksFirstAndStepsWrapAround)
{
    const CalcPoint pick{19.0, 0.0};
    s_Answers = {MULTIPLE_IDENT_PREVIOUS, MULTIPLE_IDENT_NEXT, MULTIPLE_IDENT_NEXT, MULTIPLE_IDENT_TAKE};
    const uint32_t before = Count();
    EXPECT_EQ(CalcChooseCandidate(0, 3, &pick, nullptr, nullptr), 1);
    ASSERT_EQ(s_Captions.size(), 4u);
    char first[256], last[256];
    CalcCandidateCaption(first, sizeof first, eObjectNames[GEO_CIRCLE], 0, 3);
    CalcCandidateCaption(last, sizeof last, eObjectNames[GEO_CIRCLE], 2, 3);
    EXPECT_EQ(s_Captions[0], first);
    EXPECT_EQ(s_Captions[1], last) << "previous on the first shows the last";
    EXPECT_EQ(s_Captions[2], first) << "next on the last shows the first";
    EXPECT_EQ(Count(), before + 1);
    EXPECT_EQ(Tail()->object.type, OBJTYPE_CIRCLE);
    EXPECT_EQ(Kinds(Tail()), (std::vector<int>{POINT_CENTRE, POINT_ON_CIRCLE, ELEM_END}));
    const auto *centre = reinterpret_cast<const ElementPoint *>(UnitFirstElement(Tail()));
    EXPECT_EQ(centre->x, 10.0) << "the second shown: after the nearest (x = 20) comes x = 10";
    EXPECT_EQ(g_CalcCandidateIndex, -1);
    EXPECT_FALSE(UndoIsProcessOpen());
}

TEST_F(ChooserTest, CancelAndAFailedBoxCreateNothing)
{
    const uint32_t before = Count();
    s_Answers = {MULTIPLE_IDENT_NEXT, 0}; // the box cannot be created the second time
    EXPECT_EQ(CalcChooseCandidate(0, 3, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(s_Captions.size(), 2u);
    EXPECT_EQ(Count(), before);
    EXPECT_FALSE(UndoIsProcessOpen());
    EXPECT_EQ(CalcChooseCandidate(0, 0, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(Alerts().texts.size(), 1u) << "no candidate: alert 8";
}

} // namespace
