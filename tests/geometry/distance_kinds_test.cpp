// What a click measures on the annotation kinds: the outline of a placed
// bitmap, the lines and text block of a dimension, the leader, frame and text
// of a reference text, the character outlines of a text (never its box).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "database/create_fixture.h"
#include "display/output.h"
#include "display/symbol.h"
#include "files/file.h"
#include "files/file_records.h"
#include "files/image_list.h"
#include "files/zvi.h"
#include "geometry/distance.h"
#include "geometry/frame_dim.h"
#include "geometry/pick_objects.h"

namespace {

constexpr double EPS = 1e-6;

class DistanceKinds : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        PickLoadKinds("fixtures/pick_kinds.zvd");
        DistanceResetSearchBox();
    }
    void TearDown() override
    {
        DistanceResetSearchBox();
        FileClearDrawing();
        CreateTest::TearDown();
    }

    static Unit *OfType(int32_t type) { return PickObjectOfType(type); }

    static double At(Unit *u, double x, double y, const Matrix *m = nullptr)
    {
        const XProperty parent = OutputDefaultXProperty();
        return DistancePointObject(u, x, y, &parent, m, 0);
    }

    template <typename T> static T *Payload(Unit *u, int16_t kind)
    {
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (e->kind == kind)
                return static_cast<T *>(ElementPayload(e));
        return nullptr;
    }
};

TEST_F(DistanceKinds, ABitmapIsMeasuredByTheOutlineOfItsPlacedImage)
{
    Unit *bitmap = OfType(OBJTYPE_BITMAP);
    ASSERT_NE(bitmap, nullptr);
    auto *ref = Payload<BitmapRefData>(bitmap, ELEM_BITMAP_REF);
    double c[4][2];
    ASSERT_EQ(ImagePlacedCorners(ref, 0, c), 1);
    const double w = c[1][0] - c[0][0], h = c[3][1] - c[0][1];
    ASSERT_GT(w, 0.0);
    ASSERT_GT(h, 0.0);
    EXPECT_NEAR(c[0][0], 200, EPS);
    EXPECT_NEAR(c[0][1], 0, EPS);
    EXPECT_NEAR(w, 40, EPS);
    EXPECT_NEAR(h, 30, EPS);
    const double half = std::min(w, h) / 2;
    struct Case {
        const char *what;
        double x, y, expected;
    } cases[] = {
        {"on the bottom edge", 200 + w / 2, 0, 0},
        {"near the right edge, outside", 200 + w + 1.5, h / 2, 1.5},
        {"inside at the centre: the nearer edge", 200 + w / 2, h / 2, half},
        {"beyond a corner", 200 - 3, -4, 5},
    };
    for (const Case &k : cases)
        EXPECT_NEAR(At(bitmap, k.x, k.y), k.expected, EPS) << k.what;
    // Under a matrix the placed outline moves with it.
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, 10, 0);
    EXPECT_NEAR(At(bitmap, 210 + w / 2, 0, &m), 0, EPS);
    // An image the bitmap list does not hold has no outline.
    std::strcpy(ref->name, "#B missing");
    EXPECT_EQ(At(bitmap, 200, 0), DISTANCE_NONE);
}

TEST_F(DistanceKinds, ADimensionCountsByItsLinesAndItsTextNotItsPoints)
{
    Unit *dim = OfType(OBJTYPE_DIM_DIST);
    ASSERT_NE(dim, nullptr);
    DimLines l;
    ASSERT_EQ(FrameDimensionLines(dim, &l), 1);
    ASSERT_TRUE(l.extension[0] && l.extension[1]);
    const double ex = (l.end[0].x + l.foot[0].x) / 2, ey = (l.end[0].y + l.foot[0].y) / 2;
    const double qx = l.end[0].x + (l.end[1].x - l.end[0].x) / 8, qy = l.end[0].y;
    DimRoles roles;
    ASSERT_EQ(FrameDimensionRoles(dim, &roles), 1);
    const CalcPoint t = roles.computedText;
    struct Case {
        const char *what;
        double x, y, low, high;
    } cases[] = {
        {"beside the first extension line", ex - 1, ey, 1 - EPS, 1 + EPS},
        {"below the dimension line, away from the text", qx, qy - 2, 2 - EPS, 2 + EPS},
        {"on the label", t.x, t.y, 0, 2.5},
        {"far above the label", t.x, t.y + 40, 25, 45},
    };
    for (const Case &k : cases) {
        const double d = At(dim, k.x, k.y);
        EXPECT_GE(d, k.low) << k.what;
        EXPECT_LE(d, k.high) << k.what;
    }
    // Without its dimension line the dimension is measured by its text only.
    Payload<DimLinearGeometry>(dim, ELEM_SUB_DIM_LINEAR)->dimensionLine = 0;
    EXPECT_GT(At(dim, ex - 1, ey), 5.0);
    EXPECT_LE(At(dim, t.x, t.y), 2.5);
}

TEST_F(DistanceKinds, AReferenceTextCountsByLeaderFrameAndText)
{
    Unit *ref = OfType(OBJTYPE_REF_TEXT);
    ASSERT_NE(ref, nullptr);
    const RefTextGeometry *g = FrameRefTextGeometry(ref);
    ASSERT_NE(g, nullptr);
    ASSERT_NE(g->frameShape, REFTEXT_FRAME_CIRCLE);
    ASSERT_NE(g->frameShape, REFTEXT_FRAME_ELLIPSE);
    const CalcPoint tip = g->leader[0], end = g->leader[2];
    const CalcPoint f0 = g->frame[0], f1 = g->frame[1];
    const double fx = f1.x - f0.x, fy = f1.y - f0.y, fl = std::hypot(fx, fy);
    ASSERT_GT(fl, 0.0);
    struct Case {
        const char *what;
        double x, y, expected;
    } cases[] = {
        {"at the leader's tip", tip.x, tip.y, 0},
        {"halfway along the leader", (tip.x + end.x) / 2, (tip.y + end.y) / 2, 0},
        {"on a frame side", (f0.x + f1.x) / 2, (f0.y + f1.y) / 2, 0},
    };
    for (const Case &k : cases)
        EXPECT_NEAR(At(ref, k.x, k.y), k.expected, EPS) << k.what;
    // The letter counts: near its middle the distance is below the frame's.
    const double centreX = (g->frame[0].x + g->frame[2].x) / 2, centreY = (g->frame[0].y + g->frame[2].y) / 2;
    EXPECT_LT(At(ref, centreX, centreY), 2.0);
    // A circular frame is measured as the circle through its second point.
    Payload<TextReferenceData>(ref, ELEM_TEXT_REFERENCE)->frameKind = REFTEXT_FRAME_CIRCLE;
    FrameCalcObject(ref, 0);
    ASSERT_EQ(g->frameShape, REFTEXT_FRAME_CIRCLE);
    const double r = std::hypot(g->frame[1].x - g->frame[0].x, g->frame[1].y - g->frame[0].y);
    EXPECT_NEAR(At(ref, g->frame[0].x, g->frame[0].y + r + 0.5), 0.5, EPS);
}

TEST_F(DistanceKinds, AStandardTextCountsByItsCharacterOutlinesNotItsBox)
{
    Unit *text = OfType(OBJTYPE_STD_TEXT);
    ASSERT_NE(text, nullptr);
    auto *record = Payload<TextStandardData>(text, ELEM_TEXT_STANDARD);
    HFONT font = nullptr;
    int library = -1;
    ASSERT_EQ(SymbolSelectFont(&record->font, &font, &library), 1);
    ASSERT_NE(font, nullptr);
    double box[5];
    SymbolGetCharBox('H', box);
    // Text height 10 at (100, 50): a character unit is half a millimetre.
    const double unit = 10.0 / TEXT_UNITS_PER_HEIGHT;
    const double left = 100 + box[2] * unit, right = 100 + box[3] * unit, top = 50 + box[0] * unit;
    const double middle = (left + right) / 2;
    struct Case {
        const char *what;
        double x, y, low, high;
    } cases[] = {
        {"in the upper opening of the H, inside its box", middle, 50 + 0.85 * (top - 50), 0.8, 10},
        {"just left of the box on the stem", left - 1, 53, 1 - 0.2, 1 + 1.5},
        {"far to the right", right + 30, 53, 29, 31},
    };
    for (const Case &k : cases) {
        const double d = At(text, k.x, k.y);
        EXPECT_GE(d, k.low) << k.what;
        EXPECT_LE(d, k.high) << k.what;
    }
    // A box outside the search box costs nothing and measures nothing.
    DistanceSetSearchBox(right + 29, 52, right + 31, 54);
    EXPECT_EQ(At(text, right + 30, 53), DISTANCE_NONE);
    DistanceResetSearchBox();
    // A blank counts by its baseline; an empty text by its origin.
    char *string = Payload<char>(text, ELEM_TEXT);
    std::strcpy(string, " ");
    ASSERT_EQ(SymbolSelectFont(&record->font, &font, &library), 1);
    SymbolGetCharBox(' ', box);
    EXPECT_NEAR(At(text, 100 + (box[2] + box[3]) / 2 * unit, 49), 1.0, EPS);
    string[0] = 0;
    EXPECT_NEAR(At(text, 103, 54), 5.0, EPS);
}

} // namespace
