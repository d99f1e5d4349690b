// Comments and marks: on the screen a comment is an arrow from its box to its
// anchor with a title bar and body in their colours, a mark a cross with a
// small box; printed output shows neither (marks only when asked for).
#include "render_fixture.h"

#include <cstring>

#include "database/unit.h"

namespace {

class CommentDrawing : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        g_DrawingSettings.commentDisplay[0] = 1;
        g_DrawingSettings.commentSize[0] = 60; // body width
        g_DrawingSettings.commentSize[1] = 4;  // leader width
        g_DrawingSettings.commentSize[2] = 3;  // lines
        // Leader red, body green, frame black, text black, titles blue.
        const int32_t colours[4] = {1, 2, 0, 0};
        std::memcpy(g_DrawingSettings.commentColor, colours, sizeof colours);
        for (int k = 0; k < 6; ++k)
            g_DrawingSettings.commentColorMore[k] = k % 2 == 0 ? 4 : 0;
        g_OutputContext.passMask |= PASS_COMMENTS;
    }
    // A comment anchored at a, its box centred on b.
    Unit *NewComment(double ax, double ay, double bx, double by, const char *title)
    {
        Unit *u = TestNewObject(0, OBJTYPE_COMMENT, {ax, ay, bx, by});
        if (!u)
            return nullptr;
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (e->kind == ELEM_COMMENT)
                std::strncpy(static_cast<char *>(ElementPayload(e)), title, 63);
        TestSetFrameFromPoints(u, {ax - 40, ay - 40, bx + 40, by + 40});
        return u;
    }
};

TEST_F(CommentDrawing, LeaderPointsAtTheAnchorAndTheBoxSitsOnItsCentre)
{
    Unit *u = NewComment(20.0, 50.0, 70.0, 50.0, "Note");
    ASSERT_NE(u, nullptr);
    OutputDrawObject(dc_, u);
    const COLORREF leader = InitStandardColor(1), body = InitStandardColor(2), title = InitStandardColor(4);
    EXPECT_EQ(WorldPixel(35.0, 50.0), leader) << "the shaft between anchor and box";
    EXPECT_EQ(WorldPixel(35.0, 40.0), WHITE) << "the shaft is narrow";
    int bx, by;
    Device(70.0, 50.0, &bx, &by);
    int found = 0;
    for (int dy = -30; dy <= 30; ++dy) {
        found |= Pixel(bx, by + dy) == body ? 1 : 0;
        found |= Pixel(bx, by + dy) == title ? 2 : 0;
    }
    EXPECT_EQ(found, 3) << "title bar and body around the box centre";

    // Printed output shows no comments.
    Clear();
    OutputResetContext(OUTPUT_PRINTER);
    g_OutputContext.passMask |= PASS_COMMENTS;
    const double world[4] = {0.0, 0.0, WORLD_SIZE, WORLD_SIZE};
    OutputSetupView(DIB_SIZE, DIB_SIZE, world, 50);
    OutputDrawObject(dc_, u);
    EXPECT_EQ(CountPixels(WHITE), DIB_SIZE * DIB_SIZE);
}

TEST_F(CommentDrawing, MarksAreCrossesWithABoxOnTheScreenOnly)
{
    Unit *u = TestNewObject(0, OBJTYPE_MARK, {50.0, 50.0});
    ASSERT_NE(u, nullptr);
    TestSetFrameFromPoints(u, {45.0, 45.0, 55.0, 55.0});
    g_DrawingSettings.displayMarks = 1;
    Clear(BLACK);
    OutputDrawObject(dc_, u);
    int x, y;
    Device(50.0, 50.0, &x, &y);
    const COLORREF pen = InitStandardColor(g_DrawingSettings.colorMarks);
    EXPECT_EQ(Pixel(x + 4, y + 4), pen) << "the cross";
    EXPECT_EQ(Pixel(x - 4, y + 4), pen);
    EXPECT_EQ(Pixel(x, y + 2), pen) << "the box's edge";
    EXPECT_NE(Pixel(x + 1, y), BLACK) << "the box is filled with the background";
    EXPECT_EQ(Pixel(x, y + 8), BLACK) << "nothing beyond the cross";

    g_DrawingSettings.displayMarks = 0;
    Clear();
    OutputDrawObject(dc_, u);
    EXPECT_EQ(CountPixels(WHITE), DIB_SIZE * DIB_SIZE) << "marks switched off";
}

} // namespace
