// Line ends and the lines they lengthen, dimension lines with their extension
// lines, reference-text leaders and the line over a dimension's value,
// checked on the pixels of a memory DIB.
#include "render_fixture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "database/object_types.h"
#include "display/clip_dim.h"
#include "files/file_records.h"
#include "geometry/frame.h"
#include "geometry/frame_dim.h"

namespace {

template <typename T> T *Record(Unit *u, int16_t kind)
{
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == kind)
            return static_cast<T *>(ElementPayload(e));
    return nullptr;
}

class LineEndTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        // Line ends of 1 mm whatever the line width.
        g_DrawingSettings.dimLayoutArrows[0] = 1.0;
        g_DrawingSettings.dimLayoutArrows[1] = 0.0;
    }
    static void Black(Unit *u)
    {
        u->property.ownFlags |= XPROP_OWN_FILL | XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2;
        u->property.fillMode = FILL_NONE;
        u->property.color1 = BLACK;
        u->property.color2 = BLACK;
    }
    Unit *LineStr(double x1, double x2, int32_t kind, int32_t placement)
    {
        Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_LINE_STR, {x1, 50, x2, 50});
        auto *r = Record<DimLineRecord>(u, ELEM_DIM_LINE);
        r->arrows[0] = r->arrows[2] = kind;
        r->arrows[1] = r->arrows[3] = placement;
        Black(u);
        FrameCalcObject(u, 0);
        return u;
    }
};

TEST_F(LineEndTest, ExtensionByKind)
{
    const int32_t expected[] = {0, 30, 30, 30, 5, 5, 5, 0};
    for (int32_t kind = 0; kind < 8; ++kind)
        EXPECT_EQ(ClipDrawLineEnd(dc_, kind, 50, 50, 0, 1, 0, 0), expected[kind]) << kind;
    EXPECT_EQ(ClipDrawLineEnd(dc_, -1, 50, 50, 0, 1, 0, 0), 0);
}

TEST_F(LineEndTest, AutomaticArrowsGoOutsideOnShortLines)
{
    // 29 line-end sizes: outside, the line drawn 30 sizes beyond each point.
    EXPECT_EQ(OutputDrawObject(dc_, LineStr(35.5, 64.5, LINE_END_FILLED_ARROW, LINE_END_AUTOMATIC)), 1);
    EXPECT_EQ(WorldPixel(7, 50), BLACK);
    EXPECT_EQ(WorldPixel(93, 50), BLACK);
    EXPECT_EQ(WorldPixel(3, 50), WHITE);
    EXPECT_EQ(WorldPixel(97, 50), WHITE);
    // 31 sizes: inside, nothing beyond the points; the arrow heads lie inside.
    Clear();
    EXPECT_EQ(OutputDrawObject(dc_, LineStr(34.5, 65.5, LINE_END_FILLED_ARROW, LINE_END_AUTOMATIC)), 1);
    EXPECT_EQ(WorldPixel(30, 50), WHITE);
    EXPECT_EQ(WorldPixel(70, 50), WHITE);
    EXPECT_EQ(WorldPixel(50, 50), BLACK);
    EXPECT_EQ(WorldPixel(40, 50.5), BLACK);
}

TEST_F(LineEndTest, StrokesLengthenLessAndNoEndNotAtAll)
{
    EXPECT_EQ(OutputDrawObject(dc_, LineStr(40, 60, LINE_END_STROKE, LINE_END_OUTSIDE)), 1);
    EXPECT_EQ(WorldPixel(36, 50), BLACK);
    EXPECT_EQ(WorldPixel(32, 50), WHITE);
    Clear();
    EXPECT_EQ(OutputDrawObject(dc_, LineStr(40, 60, LINE_END_NONE, LINE_END_OUTSIDE)), 1);
    EXPECT_EQ(WorldPixel(38, 50), WHITE);
    EXPECT_EQ(WorldPixel(42, 50), BLACK);
}

TEST_F(LineEndTest, DimensionLineWithExtensionLines)
{
    // Measured (10, 20) to (90, 20), dimension line at y = 40.
    Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_DIM_DIST, {10, 20, 90, 20, 90, 20, 50, 40, 90, 20, 50, 45, 0, 0});
    auto *r = Record<DimLargeRecord>(u, ELEM_DIM_LARGE);
    r->bools3[0] = r->bools3[1] = r->bools3[2] = 1;
    r->arrows[0] = r->arrows[2] = LINE_END_OPEN_ARROW;
    r->distance420 = 2.0; // gap at the measured points
    Black(u);
    FrameCalcObject(u, 0);
    EXPECT_EQ(OutputDrawObject(dc_, u), 1);
    EXPECT_EQ(WorldPixel(50, 40), BLACK);
    EXPECT_EQ(WorldPixel(10, 30), BLACK);
    EXPECT_EQ(WorldPixel(90, 30), BLACK);
    EXPECT_EQ(WorldPixel(10, 21), WHITE); // within the gap
    EXPECT_EQ(WorldPixel(50, 30), WHITE);
    // Without the dimension line nothing of it is drawn.
    Clear();
    r->bools3[2] = 0;
    FrameCalcObject(u, 0);
    EXPECT_EQ(OutputDrawObject(dc_, u), 1);
    EXPECT_EQ(WorldPixel(50, 40), WHITE);
}

// A dimension whose font has the overline style gets one straight line over
// its value: what the overline adds to the drawing is one pixel row, as wide
// as the label, above every pixel of the label.
TEST_F(LineEndTest, TheOverlineLiesAboveTheValue)
{
    Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_DIM_DIST, {10, 20, 90, 20, 90, 20, 50, 40, 90, 20, 50, 45, 0, 0});
    auto *r = Record<DimLargeRecord>(u, ELEM_DIM_LARGE);
    r->bools3[0] = r->bools3[1] = r->bools3[2] = 0; // the label alone
    r->common.font = FontDef{};
    r->common.font.kind = FONT_KIND_TRUETYPE;
    r->common.font.weight = 400;
    lstrcpynA(r->common.font.face, "Liberation Sans", FONT_FACE_SIZE);
    r->common.values[0] = 5.0; // text height
    Black(u);
    r->common.property = u->property;
    int index = 0; // the texts: prefix, main text, suffix, tolerances
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_TEXT && index++ == 1) {
            ASSERT_GE(e->size, ELEMENT_HEADER_SIZE + 3);
            std::strcpy(static_cast<char *>(ElementPayload(e)), "80");
        }
    FrameCalcObject(u, 0);
    auto blackPixels = [&] {
        std::vector<POINT> found;
        for (int y = 0; y < dib_->height; ++y)
            for (int x = 0; x < dib_->width; ++x)
                if (Pixel(x, y) == BLACK)
                    found.push_back({x, y});
        return found;
    };
    ASSERT_EQ(OutputDrawObject(dc_, u), 1);
    const std::vector<POINT> plain = blackPixels();
    ASSERT_FALSE(plain.empty()) << "the value is drawn";

    Clear();
    r->common.font.style |= FONT_STYLE_OVERLINE;
    ASSERT_EQ(OutputDrawObject(dc_, u), 1);
    std::vector<POINT> added;
    for (POINT p : blackPixels())
        if (Pixel(p.x, p.y) == BLACK &&
            std::none_of(plain.begin(), plain.end(), [p](POINT q) { return q.x == p.x && q.y == p.y; }))
            added.push_back(p);
    ASSERT_FALSE(added.empty()) << "no line over the value";
    LONG left = added[0].x, right = added[0].x, top = added[0].y, bottom = added[0].y;
    for (POINT p : added) {
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    LONG labelLeft = plain[0].x, labelRight = plain[0].x, labelTop = plain[0].y;
    for (POINT p : plain) {
        labelLeft = std::min(labelLeft, p.x), labelRight = std::max(labelRight, p.x);
        labelTop = std::min(labelTop, p.y);
    }
    EXPECT_LE(bottom - top, 1) << "one straight row";
    EXPECT_LT(bottom, labelTop) << "above the value";
    EXPECT_NEAR(left, labelLeft, 3);
    EXPECT_NEAR(right, labelRight, 3);
}

} // namespace
