#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/convert.h"
#include "common/test_objects.h"
#include "database/create_fixture.h"
#include "database/object.h"
#include "database/object_types.h"
#include "database/undo.h"
#include "files/file_records.h"
#include "geometry/calc.h"
#include "geometry/frame.h"
#include "geometry/frame_dim.h"

namespace {

constexpr double kDeg = CALC_PI / 180.0;

Element *ElementAt(Unit *u, int position)
{
    Element *e = UnitFirstElement(u);
    for (int i = 0; i < position; ++i)
        e = ElementNext(e);
    return e;
}

template <typename T> T *Record(Unit *u, int16_t kind)
{
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == kind)
            return static_cast<T *>(ElementPayload(e));
    return nullptr;
}

// The value text (second text) of a dimension.
std::string ValueText(Unit *u)
{
    int texts = 0;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_TEXT && ++texts == 2)
            return static_cast<const char *>(ElementPayload(e));
    return "";
}

class FrameDimTest : public CreateTest {
protected:
    // A dimension made by its creator from construction points 0 onwards
    // (DimArc: the orientation in point 7), then set to show the dimension
    // line with an automatic value and nothing else.
    Unit *NewDim(int32_t type, const std::vector<double> &xy, double orientation = 1.0)
    {
        for (size_t i = 0; i + 1 < xy.size(); i += 2)
            SetCp(static_cast<int>(i / 2), xy[i], xy[i + 1]);
        SetCp(7, orientation, 0);
        UndoInitProcess();
        int made = 0;
        switch (type) {
        case OBJTYPE_DIM_DIST: made = ObjectNewDimDist(0); break;
        case OBJTYPE_DIM_RAD:
        case OBJTYPE_DIM_DIA: made = ObjectNewDimRadius(type, 0); break;
        case OBJTYPE_DIM_ANGLE: made = ObjectNewDimAngle(0); break;
        default: made = ObjectNewDimArc(0); break;
        }
        UndoFinishProcess();
        EXPECT_EQ(made, 1);
        if (!made)
            return nullptr;
        Unit *u = Tail();
        auto *r = Record<DimLargeRecord>(u, ELEM_DIM_LARGE);
        r->common.values[0] = 5.0;
        r->common.bools[0] = 1;
        r->common.bools[1] = 0;
        r->common.last = 0;
        r->common.int460 = -1;
        r->system = -1;
        r->bool1 = 0;
        r->bools3[0] = r->bools3[1] = 0;
        r->bools3[2] = 1;
        r->ints3[0] = r->ints3[1] = r->ints3[2] = 0;
        FrameCalcObject(u, 0);
        return u;
    }
};

TEST(FrameDimUpright, TurnsTextsThatWouldReadUpsideDown)
{
    struct Case {
        double degrees, expected;
    } cases[] = {{0, 0}, {90, 90}, {91, -89}, {91.5, -88.5}, {180, 0}, {270, 90}, {271, 271}, {271.5, 271.5}};
    for (const Case &c : cases)
        EXPECT_NEAR(FrameUprightAngle(c.degrees * kDeg) / kDeg, c.expected, 1e-9) << c.degrees;
}

TEST_F(FrameDimTest, DistanceModesPlaceTheDimensionLine)
{
    struct Case {
        int32_t mode;
        double distance, positionY, lineY;
    } cases[] = {{1, 10, 20, 10}, {2, 7, 20, 21}, {2, 7, 24.4, 21}, {2, 7, 24.6, 28}, {0, 7, 24.6, 24.6}};
    for (const Case &c : cases) {
        Unit *u = NewDim(OBJTYPE_DIM_DIST, {0, 0, 100, 0, 100, 0, 50, c.positionY, 100, 0, 50, 30, 60, 30});
        ASSERT_NE(u, nullptr);
        auto *r = Record<DimLargeRecord>(u, ELEM_DIM_LARGE);
        r->ints3[2] = c.mode;
        r->distance = c.distance;
        FrameCalcObject(u, 0);
        const auto *g = Record<DimLinearGeometry>(u, ELEM_SUB_DIM_LINEAR);
        EXPECT_NEAR(g->q1.x, 0, 1e-9) << c.positionY;
        EXPECT_NEAR(g->q1.y, c.lineY, 1e-9) << c.positionY;
        EXPECT_NEAR(g->q2.x, 100, 1e-9);
        EXPECT_NEAR(g->q2.y, c.lineY, 1e-9) << c.positionY;
        EXPECT_NEAR(g->startDirection, 0, 1e-12);
        EXPECT_NEAR(g->endDirection, CALC_PI, 1e-12);
        EXPECT_EQ(g->gapStart, DIM_NO_GAP_START);
        // The frame now holds the dimension line.
        EXPECT_GE(u->frame[3], c.lineY);
    }
}

TEST_F(FrameDimTest, FrameHoldsWhatIsDrawnNotAPointOfASkippedStep)
{
    // The line-end step is skipped unless the extension mode asks for it; its
    // point stays at the origin and must not stretch the frame there, or a
    // selection frame round the dimension misses it.
    Unit *u = NewDim(OBJTYPE_DIM_DIST, {200, 100, 300, 100, 300, 100, 250, 120, 0, 0, 250, 125, 260, 125});
    ASSERT_NE(u, nullptr);
    // (The fixture hides the extension lines: the frame starts at the dimension line.)
    EXPECT_NEAR(u->frame[0], 200, 1e-6);
    EXPECT_NEAR(u->frame[1], 120, 1e-6);
    EXPECT_NEAR(u->frame[2], 300, 1e-6);
    EXPECT_GE(u->frame[3], 120);
    EXPECT_LT(u->frame[3], 140);
}

TEST_F(FrameDimTest, ToleranceTextsFollowTheLabelAndWidenTheFrame)
{
    Unit *u = NewDim(OBJTYPE_DIM_DIST, {0, 0, 10, 0, 10, 0, 5, 20, 0, 0, 5, 30, 0, 0});
    ASSERT_NE(u, nullptr);
    auto *r = Record<DimLargeRecord>(u, ELEM_DIM_LARGE);
    r->common.last = DIM_PLACE_ABOVE;
    r->common.values[1] = 3.5; // the tolerance height
    FrameCalcObject(u, 0);
    DimTolerances t;
    EXPECT_EQ(FrameDimensionTolerances(u, &t), 0) << "no tolerances, nothing to draw";
    const double plainRight = u->frame[2], plainTop = u->frame[3];
    std::strcpy(static_cast<char *>(ElementPayload(ElementAt(u, 10))), "+0.1");
    std::strcpy(static_cast<char *>(ElementPayload(ElementAt(u, 11))), "-0.2");
    FrameCalcObject(u, 0);
    EXPECT_GT(u->frame[2], plainRight + 3) << "the tolerances stand right of the label";
    EXPECT_GT(u->frame[3], plainTop + 1) << "the upper one stands higher";
    ASSERT_EQ(FrameDimensionTolerances(u, &t), 1);
    EXPECT_STREQ(t.upper, "+0.1");
    EXPECT_STREQ(t.lower, "-0.2");
    // Both start at the same x, scaled by the tolerance height; the upper
    // baseline 0.6 h above the label's, the lower top 0.4 h above it.
    EXPECT_NEAR(t.upperAt.a, 3.5, 1e-12);
    EXPECT_NEAR(t.upperAt.tx, t.lowerAt.tx, 1e-9);
    EXPECT_NEAR(t.upperAt.ty - t.lowerAt.ty, 0.2 * 5 + 3.5, 1e-9);
    EXPECT_NEAR(t.upperAt.ty, 22 + 0.6 * 5, 1e-9);
    // An empty upper tolerance leaves the lower one alone.
    static_cast<char *>(ElementPayload(ElementAt(u, 10)))[0] = '\0';
    ASSERT_EQ(FrameDimensionTolerances(u, &t), 1);
    EXPECT_STREQ(t.upper, "");
}

TEST_F(FrameDimTest, TextAngleAndPlacement)
{
    // A dimension line running right to left reads left to right.
    Unit *u = NewDim(OBJTYPE_DIM_DIST, {100, 0, 0, 0, 0, 0, 50, 20, 0, 0, 50, 30, 0, 0});
    auto *r = Record<DimLargeRecord>(u, ELEM_DIM_LARGE);
    r->common.last = DIM_PLACE_ABOVE;
    FrameCalcObject(u, 0);
    const auto *g = Record<DimLinearGeometry>(u, ELEM_SUB_DIM_LINEAR);
    EXPECT_NEAR(g->textAngle, 0, 1e-12);
    // Placement 1: the baseline 0.4 h above the line, at the foot of the text point.
    EXPECT_NEAR(g->text.x, 50, 1e-9);
    EXPECT_NEAR(g->text.y, 22, 1e-9);
    r->common.last = DIM_PLACE_IN_LINE;
    FrameCalcObject(u, 0);
    EXPECT_NEAR(g->text.y, 18, 1e-9);
    // Text direction by point turns the text towards it.
    r->bool1 = 1;
    ElementPoint *direction = reinterpret_cast<ElementPoint *>(ElementAt(u, 6));
    direction->x = 50, direction->y = 118;
    FrameCalcObject(u, 0);
    EXPECT_NEAR(g->textAngle, CALC_HALF_PI, 1e-12);
}

TEST_F(FrameDimTest, DiameterMeasuresTheWholeCircle)
{
    Unit *u = NewDim(OBJTYPE_DIM_DIA, {0, 0, 10, 0, 10, 0, 0, 0, 0, 5, 0, 0});
    auto *r = Record<DimLargeRecord>(u, ELEM_DIM_LARGE);
    r->bools3[0] = r->bools3[1] = 1;
    FrameCalcObject(u, 0);
    const auto *g = Record<DimLinearGeometry>(u, ELEM_SUB_DIM_LINEAR);
    EXPECT_NEAR(g->q1.x, -10, 1e-9);
    EXPECT_NEAR(g->q2.x, 10, 1e-9);
    EXPECT_NEAR(g->base1.x, -10, 1e-9);
    EXPECT_NEAR(g->base2.x, 10, 1e-9);
    char twenty[256] = "", extra[256] = "";
    ConvertDistanceToString(twenty, extra, 0, 0, 20, 0, r->system, r->common.int460, r->common.mode);
    EXPECT_NE(twenty[0], '\0');
    EXPECT_EQ(ValueText(u), twenty);
    // End mode 2: no second extension line nor second end mark.
    r->ints3[1] = 2;
    r->arrows[2] = 3;
    FrameCalcObject(u, 0);
    EXPECT_EQ(g->extension1, 0);
    EXPECT_EQ(g->extension2, 0);
    EXPECT_EQ(g->endMark2, 0);
}

TEST_F(FrameDimTest, ValueTextFollowsTheAutomaticSwitch)
{
    Unit *u = NewDim(OBJTYPE_DIM_DIST, {0, 0, 30, 0, 30, 0, 15, 10, 30, 0, 15, 10, 0, 0});
    auto *r = Record<DimLargeRecord>(u, ELEM_DIM_LARGE);
    r->common.bools[0] = 0;
    std::strcpy(static_cast<char *>(ElementPayload(ElementAt(u, 8))), "typed");
    FrameCalcObject(u, 0);
    EXPECT_EQ(ValueText(u), "typed");
    FrameCalcObject(u, 1);
    EXPECT_NE(ValueText(u), "typed");
    EXPECT_NE(ValueText(u), "");
    // A value text cut to its length (built elsewhere) is never rewritten.
    Unit *cut = TestNewObject(0, OBJTYPE_DIM_DIST, {0, 0, 30, 0, 30, 0, 15, 10, 30, 0, 15, 10, 0, 0});
    FrameCalcObject(cut, 1);
    EXPECT_EQ(ValueText(cut), "");
}

TEST_F(FrameDimTest, ArcLengthAndOverline)
{
    // Quarter circle of radius 10, counter-clockwise from (10, 0) to (0, 10).
    Unit *u = NewDim(OBJTYPE_DIM_ARC, {0, 0, 10, 0, 10, 0, 0, 10, 20, 20, 0, 0, 0, 0});
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(*static_cast<double *>(ElementPayload(ElementAt(u, 4))), 1.0);
    auto *r = Record<DimLargeRecord>(u, ELEM_DIM_LARGE);
    r->common.font.style = 0;
    FrameCalcObject(u, 0);
    EXPECT_NE(r->common.font.style & FONT_STYLE_OVERLINE, 0u);
    char expected[256] = "";
    ConvertSystemLengthToString(expected, 5 * CALC_PI, r->system, r->common.int460, r->common.mode);
    EXPECT_EQ(ValueText(u), expected);
    const auto *g = Record<DimAngularGeometry>(u, ELEM_SUB_DIM_ANGULAR);
    EXPECT_NEAR(g->sweep, CALC_HALF_PI, 1e-12);
    // The arc lies on the circle through the arc position (radius sqrt(800)).
    EXPECT_NEAR(std::hypot(g->arcStart.x, g->arcStart.y), std::sqrt(800.0), 1e-9);
    EXPECT_NEAR(g->arcStart.y, 0, 1e-9);
    EXPECT_NEAR(g->arcEnd.x, 0, 1e-9);
}

TEST_F(FrameDimTest, AngleOfParallelLegsCentresOnFirstLegStart)
{
    Unit *u = NewDim(OBJTYPE_DIM_ANGLE, {1, 2, 11, 2, 0, 5, 10, 5, 5, 8, 0, 0, 0, 0});
    FrameCalcObject(u, 0);
    const auto *g = Record<DimAngularGeometry>(u, ELEM_SUB_DIM_ANGULAR);
    EXPECT_NEAR(g->centre.x, 1, 1e-12);
    EXPECT_NEAR(g->centre.y, 2, 1e-12);

    // A right angle at the origin, arc through (7, 7).
    Unit *v = NewDim(OBJTYPE_DIM_ANGLE, {0, 0, 10, 0, 0, 0, 0, 10, 7, 7, 0, 0, 0, 0});
    FrameCalcObject(v, 0);
    const auto *h = Record<DimAngularGeometry>(v, ELEM_SUB_DIM_ANGULAR);
    EXPECT_NEAR(h->sweep, CALC_HALF_PI, 1e-9);
    EXPECT_NEAR(h->arcStart.x, std::hypot(7.0, 7.0), 1e-9);
    EXPECT_NEAR(h->startDirection, CALC_HALF_PI, 1e-9);
}

TEST_F(FrameDimTest, ForeignChainIsLeftAlone)
{
    // A DimDist whose chain was cut short must not be written past its end.
    Unit *u = TestNewObject(0, OBJTYPE_LINE, {0, 0, 1, 1});
    u->object.type = OBJTYPE_DIM_DIST;
    const std::vector<uint8_t> before(reinterpret_cast<uint8_t *>(u), reinterpret_cast<uint8_t *>(u) + u->bytes);
    FrameRegenerateDimension(u, 1);
    EXPECT_EQ(std::memcmp(before.data(), u, before.size()), 0);
}

RefTextGeometry RefGeometry(int32_t shape, double distance, int32_t mode)
{
    RefTextGeometry g{};
    g.frameShape = shape;
    g.frameDistance = distance;
    g.leaderMode = mode;
    return g;
}

TEST(FrameRefText, FramePointsByShape)
{
    Matrix placed;
    MatrixInit(&placed);
    MatrixMove(&placed, 100, 50);
    const double box[4] = {0, 0, 10, 5};
    RefTextGeometry g = RefGeometry(0, 1, 1);
    FrameRefTextFrame(box, &placed, &g);
    const double rect[4][2] = {{99, 49}, {99, 56}, {111, 56}, {111, 49}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(g.frame[i].x, rect[i][0], 1e-12) << i;
        EXPECT_NEAR(g.frame[i].y, rect[i][1], 1e-12) << i;
    }
    // A circle around a 6 x 8 box has the radius 5 + m.
    const double box68[4] = {0, 0, 6, 8};
    g = RefGeometry(REFTEXT_FRAME_CIRCLE, 1, 1);
    FrameRefTextFrame(box68, &placed, &g);
    EXPECT_NEAR(g.frame[1].x - g.frame[0].x, 6, 1e-12);
    // Rhombus with m = 0: edges at 45 degrees through the box's corners.
    g = RefGeometry(REFTEXT_FRAME_RHOMBUS, 0, 1);
    FrameRefTextFrame(box, &placed, &g);
    EXPECT_NEAR(g.frame[0].x, 97.5, 1e-12);
    EXPECT_NEAR(g.frame[1].y, 45, 1e-12);
}

TEST(FrameRefText, LeaderKnees)
{
    // Text box (5, 1.5)-(15, 4.5) around the centre (10, 3), tip at the origin.
    Matrix identity;
    MatrixInit(&identity);
    const double box[4] = {5, 1.5, 15, 4.5};
    Matrix text;
    MatrixInit(&text);
    struct Case {
        int32_t mode;
        double kx, ky, ex, ey;
    } cases[] = {{4, 0, 3, 5, 3}, {2, 3, 3, 5, 3}, {5, 10, 0, 10, 1.5}, {1, 0, 0, 5, 1.5}};
    for (const Case &c : cases) {
        RefTextGeometry g = RefGeometry(0, 0, c.mode);
        FrameRefTextFrame(box, &identity, &g);
        FrameRefTextLeader(&g, {0, 0}, {0, 0}, {10, 3}, &text);
        EXPECT_NEAR(g.leader[1].x, c.kx, 1e-9) << c.mode;
        EXPECT_NEAR(g.leader[1].y, c.ky, 1e-9) << c.mode;
        EXPECT_NEAR(g.leader[2].x, c.ex, 1e-9) << c.mode;
        EXPECT_NEAR(g.leader[2].y, c.ey, 1e-9) << c.mode;
    }
    // A tip inside the frame: no crossing, the leader ends at the centre.
    RefTextGeometry g = RefGeometry(0, 0, 1);
    FrameRefTextFrame(box, &identity, &g);
    FrameRefTextLeader(&g, {9, 3}, {0, 0}, {10, 3}, &text);
    EXPECT_NEAR(g.leader[2].x, 10, 1e-12);
    // Horizontal mode moves the text level with the tip, once.
    g = RefGeometry(0, 0, 6);
    FrameRefTextFrame(box, &identity, &g);
    FrameRefTextLeader(&g, {0, 0}, {0, 0}, {10, 3}, &text);
    EXPECT_NEAR(text.ty, -3, 1e-12);
    EXPECT_NEAR(g.frame[0].y, -1.5, 1e-12);
    EXPECT_NEAR(g.leader[2].x, 5, 1e-12);
    EXPECT_NEAR(g.leader[2].y, 0, 1e-12);
}

} // namespace
