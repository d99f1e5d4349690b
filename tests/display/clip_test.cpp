// Clipping of device lines, outcodes, segment counts, endless lines, point
// marks and the program's dashing, checked on the pixels of a memory DIB.
#include "render_fixture.h"

#include <cmath>

namespace {

class ClipTest : public RenderTest {
protected:
    // A safe rectangle smaller than the DIB, so that clipping is visible.
    void NarrowSafe()
    {
        const int32_t r[4] = {50, 50, 150, 150};
        std::memcpy(g_OutputContext.safePixelRect, r, sizeof r);
    }
};

TEST_F(ClipTest, OutcodesAgainstTheSafeRectangle)
{
    NarrowSafe();
    struct Case {
        double x, y;
        int code;
    } cases[] = {
        {100, 100, 0}, {50, 50, 0},  {150, 150, 0}, {49.9, 100, 8}, {150.1, 100, 2},
        {100, 49, 1},  {100, 151, 4}, {10, 10, 9},   {200, 200, 6},  {10, 200, 12},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ClipOutcode(c.x, c.y), c.code) << c.x << "," << c.y;
}

TEST_F(ClipTest, LinesAreCutAtTheSafeRectangle)
{
    NarrowSafe();
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    struct Case {
        const char *name;
        double x1, y1, x2, y2;
        int blackInside;  // pixels expected black inside the safe rectangle (at least)
        bool any;         // any pixel drawn at all
    } cases[] = {
        {"inside to outside, cut at the edge", 100, 100, 190, 100, 50, true},
        {"crossing a corner region without entering", 10, 60, 60, 10, 0, false},
        {"lying on the top edge", 60, 50, 140, 50, 80, true},
        {"vertical, both ends outside", 120, 0, 120, 199, 100, true},
        {"diagonal through the whole rectangle", 0, 0, 199, 199, 100, true},
    };
    for (const Case &c : cases) {
        Clear();
        ClipDrawLine(dc_, c.x1, c.y1, c.x2, c.y2);
        int inside = 0, outside = 0;
        for (int y = 0; y < DIB_SIZE; ++y)
            for (int x = 0; x < DIB_SIZE; ++x)
                if (Pixel(x, y) == BLACK)
                    (x >= 50 && x <= 150 && y >= 50 && y <= 150 ? inside : outside)++;
        EXPECT_EQ(outside, 0) << c.name;
        EXPECT_GE(inside, c.blackInside) << c.name;
        EXPECT_EQ(inside > 0, c.any) << c.name;
    }
}

TEST_F(ClipTest, AxisParallelLineStaysAxisParallel)
{
    NarrowSafe();
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    ClipDrawLine(dc_, 0, 80, 199, 80);
    for (int x = 50; x < 150; ++x)
        EXPECT_EQ(Pixel(x, 80), BLACK) << x;
    EXPECT_EQ(Pixel(49, 80), WHITE);
    EXPECT_EQ(Pixel(100, 79), WHITE);
    EXPECT_EQ(Pixel(100, 81), WHITE);
}

TEST_F(ClipTest, SegmentCountsByOutputMode)
{
    struct Case {
        uint32_t mode;
        double r;
        int32_t circle;
    } cases[] = {
        {OUTPUT_SCREEN, 0.0, 4},     {OUTPUT_PRINTER, 0.0, 16},  {OUTPUT_METAFILE, 0.0, 16},
        {OUTPUT_COARSE, 0.0, 16},    {OUTPUT_ENUMERATE, 0.0, 16}, {OUTPUT_SCREEN, 1e12, 360},
        {OUTPUT_PRINTER, 1e12, 360}, {OUTPUT_MEASURE, 0.0, 16},  {OUTPUT_MEASURE, 1e12, 60},
    };
    for (const Case &c : cases) {
        g_OutputContext.mode = c.mode;
        g_OutputContext.scale = 1.0;
        EXPECT_EQ(ClipArcSegmentCount(c.r), c.circle) << std::hex << c.mode << " r " << c.r;
    }
    g_OutputContext.mode = OUTPUT_SCREEN;
    EXPECT_EQ(ClipArcSegmentCountEx(0.0), 3);
    EXPECT_EQ(ClipArcSegmentCountEx(1e12), 100);
    g_OutputContext.mode = OUTPUT_MEASURE;
    EXPECT_EQ(ClipArcSegmentCountEx(1e12), 50);
    // A divisor of 0 is never divided by: the count is capped.
    g_OutputContext.mode = OUTPUT_SCREEN;
    g_DrawingSettings.displayQuality[0] = 0.0;
    EXPECT_EQ(ClipArcSegmentCount(1.0), 360);
}

TEST_F(ClipTest, EndlessLineEndsOnThePixelClipRectangleOnTheScreen)
{
    NarrowSafe();
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    g_OutputContext.endPixel = 1;
    // World y = 50 is device row 100; the line runs over the whole DIB width,
    // beyond the safe rectangle, whatever the clip argument.
    ClipDrawEndlessLine(dc_, 40.0, 50.0, 41.0, 50.0, 0, DRAW_STROKE);
    EXPECT_EQ(Pixel(0, 100), BLACK);
    EXPECT_EQ(Pixel(199, 100), BLACK);
    EXPECT_EQ(Pixel(100, 99), WHITE);
}

TEST_F(ClipTest, EndlessLineOnAPrinterGoesThroughWorldClipping)
{
    g_OutputContext.mode = OUTPUT_PRINTER;
    const double out[4] = {25.0, 25.0, 75.0, 75.0};
    std::memcpy(g_OutputContext.outputRect, out, sizeof out);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    ClipDrawEndlessLine(dc_, 0.0, 50.0, 1.0, 50.0, 0, DRAW_STROKE);
    EXPECT_EQ(WorldPixel(50.0, 50.0), BLACK);
    EXPECT_EQ(WorldPixel(20.0, 50.0), WHITE);
    EXPECT_EQ(WorldPixel(80.0, 50.0), WHITE);
}

TEST_F(ClipTest, PointMarksOutsideTheSafeRectangleAreNotDrawn)
{
    NarrowSafe();
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    // Device x 151 lies one unit outside; world x = 75.5 maps to 151.
    ClipDrawPointMark(dc_, 75.5, 50.0);
    EXPECT_EQ(CountPixels(BLACK), 0);
    ClipDrawPointMark(dc_, 50.0, 50.0);
    EXPECT_GT(CountPixels(BLACK), 0);
    EXPECT_EQ(Pixel(100, 100), BLACK);
}

TEST_F(ClipTest, NumberedFrameWithoutNumbersShowsItsFallbackText)
{
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    ClipDrawNumberedFrame(dc_, 20.0, 20.0, nullptr, nullptr);
    EXPECT_GT(CountPixels(BLACK), 10);
}

TEST_F(ClipTest, ProgramDashesFollowTheLineTypePattern)
{
    // Line type 1: dash 10 px, gap 10 px at a unit of 0.01 mm and 2 px/mm.
    LineDef &def = g_LineDefs[1];
    std::memset(&def, 0, sizeof def);
    lstrcpynA(def.name, "dash", sizeof def.name);
    def.pairs = 1;
    def.kind = 1;
    def.lengths[0] = def.lengths[1] = 500;
    g_OutputContext.lineType = 1;
    g_OutputContext.widthZoom = 2.0;
    g_OutputContext.endPixel = 0;
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    ClipDashDeviceLine(dc_, 10, 50, 90, 50);
    EXPECT_EQ(Pixel(12, 50), BLACK);
    EXPECT_EQ(Pixel(25, 50), WHITE);
    EXPECT_EQ(Pixel(32, 50), BLACK);
    EXPECT_EQ(Pixel(45, 50), WHITE);
    // All lengths 0: the walk cannot advance and the line is drawn solid.
    def.lengths[0] = def.lengths[1] = 0;
    Clear();
    ClipDashDeviceLine(dc_, 10, 60, 90, 60);
    for (int x = 10; x < 90; ++x)
        EXPECT_EQ(Pixel(x, 60), BLACK) << x;
}

TEST_F(ClipTest, DashUnitOfThinLinesUsesTheMinimumWidth)
{
    LineDef &def = g_LineDefs[1];
    std::memset(&def, 0, sizeof def);
    lstrcpynA(def.name, "w", sizeof def.name);
    def.pairs = 1;
    def.kind = 0; // hundredths of the line width
    def.lengths[0] = def.lengths[1] = 5000;
    g_OutputContext.lineType = 1;
    g_OutputContext.widthZoom = 2.0;
    g_OutputContext.lineWidth = 0.05; // counts as 0.1 mm: 5000 * 0.001 * 2 = 10 px
    ClipDashWalk walk;
    ClipDashBegin(&walk);
    ASSERT_EQ(walk.count, 2);
    EXPECT_NEAR(walk.lengths[0], 10.0, 1e-9);
}

} // namespace
