// Window paint: objects at the pixels of the window's matrix, paints that
// arrive during a paint, the abort, and the repaint requests.
#include <vector>

#include "app/darad4.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "database/object.h"
#include "database/undo_step.h"
#include "display/output.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "geometry/frame.h"
#include "screen_fixture.h"

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);

class Paint : public ScreenWindowTest {};

// Nested paints delivered from inside a running paint.
std::vector<RECT> s_Nested;
std::vector<int> s_NestedResults;
int s_PaintCalls = 0;

void DeliverNestedPaints(int window)
{
    ++s_PaintCalls;
    for (const RECT &r : s_Nested)
        s_NestedResults.push_back(OutputPaintWindow(window, &r));
    s_Nested.clear();
}

void CountPaints(int) { ++s_PaintCalls; }

bool Same(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int s_AbortCalls = 0;
int AbortAtOnce()
{
    ++s_AbortCalls;
    return 1;
}

TEST_F(Paint, LinesLieWhereTheMatrixPutsThem)
{
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 10.0, 5.0, 1.5);
    TestNewLine(-20.0, -10.0, 30.0, -10.0); // horizontal
    TestNewLine(12.0, -20.0, 12.0, 25.0);   // vertical
    PaintNow();
    for (double x : {-15.0, 0.0, 25.0}) {
        const POINT p = Pixel(x, -10.0);
        EXPECT_EQ(PixelColour(p.x, p.y), BLACK) << "horizontal line at x " << x;
        EXPECT_EQ(PixelColour(p.x, p.y - 3), WHITE);
    }
    for (double y : {-15.0, 0.0, 20.0}) {
        const POINT p = Pixel(12.0, y);
        EXPECT_EQ(PixelColour(p.x, p.y), BLACK) << "vertical line at y " << y;
        EXPECT_EQ(PixelColour(p.x + 3, p.y), WHITE);
    }
    const POINT away = Pixel(-5.0, 20.0);
    EXPECT_EQ(PixelColour(away.x, away.y), WHITE);
}

TEST_F(Paint, PaintsDuringAPaintAreDoneAfterwardsAsOneUnion)
{
    TestNewLine(-20.0, -10.0, 30.0, -10.0);
    s_Nested = {RECT{10, 20, 50, 60}, RECT{100, 5, 120, 30}};
    s_NestedResults.clear();
    g_OutputPaintHook = DeliverNestedPaints;
    const RECT first{0, 0, 40, 40};
    EXPECT_EQ(OutputPaintWindow(0, &first), 1);
    EXPECT_EQ(s_NestedResults, (std::vector<int>{0, 0})) << "nested paints are only recorded";
    EXPECT_EQ(W().paintPending, 1u);
    EXPECT_TRUE(Same(W().pendingRect, RECT{10, 5, 120, 60}));
    EXPECT_EQ(g_OutputPainting, 0u);
    // The recorded paint is asked for again: the window has it as its update region.
    RECT region;
    ASSERT_TRUE(GetUpdateRect(hwnd_, &region, FALSE));
    EXPECT_TRUE(Same(region, RECT{10, 5, 120, 60}));

    g_OutputPaintHook = CountPaints;
    const RECT next{300, 200, 310, 210};
    EXPECT_EQ(OutputPaintWindow(0, &next), 1);
    EXPECT_EQ(W().paintPending, 0u);
    const int32_t *clip = g_OutputContext.pixelClipRect;
    EXPECT_EQ(clip[0], 10);
    EXPECT_EQ(clip[1], 5);
    EXPECT_EQ(clip[2], 310);
    EXPECT_EQ(clip[3], 210) << "the pending rectangle joined the next paint";
}

TEST_F(Paint, AKeyStopsThePaint)
{
    for (int i = 0; i < 100; ++i)
        TestNewLine(-40.0 + i * 0.5, -30.0, -40.0 + i * 0.5, 30.0);
    s_AbortCalls = 0;
    g_OutputAbortHook = AbortAtOnce;
    const RECT all{0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT};
    EXPECT_EQ(OutputPaintWindow(0, &all), 0);
    EXPECT_EQ(s_AbortCalls, 1) << "the queue is looked at once every 33 objects";
    EXPECT_EQ(g_OutputPainting, 0u);
    EXPECT_EQ(g_OutputContext.passMask, PASS_ALL);
    g_OutputAbortHook = nullptr;
    EXPECT_EQ(OutputPaintWindow(0, &all), 1) << "the next paint starts afresh";
}

// A stopped paint leaves no stop behind: drawing after it, on screen outside
// a paint or on paper, metafile and the like, draws every object.
TEST_F(Paint, AStopDoesNotOutliveItsPaint)
{
    for (int i = 0; i < 100; ++i)
        TestNewLine(-40.0 + i * 0.5, -30.0, -40.0 + i * 0.5, 30.0);
    Unit *probe = TestNewLine(-20.0, 20.0, 30.0, 20.0);
    g_OutputAbortHook = AbortAtOnce;
    const RECT all{0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT};
    ASSERT_EQ(OutputPaintWindow(0, &all), 0);
    g_OutputAbortHook = nullptr;
    EXPECT_EQ(OutputAborted(), 0);
    const POINT p = Pixel(0.0, 20.0);
    HDC dc = GetDC(hwnd_);
    ScreenSetupOutput(dc, 0, &all, OUTPUT_SCREEN);
    PatBlt(dc, 0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT, WHITENESS);
    EXPECT_EQ(OutputDrawObject(dc, probe), 1);
    EXPECT_EQ(PixelColour(p.x, p.y), BLACK) << "drawn on screen outside a paint";

    // A stop raised by a screen output does not reach the next output of
    // another kind either.
    g_OutputAbortHook = AbortAtOnce;
    while (!OutputCheckAbort()) {
    }
    g_OutputAbortHook = nullptr;
    PatBlt(dc, 0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT, WHITENESS);
    for (uint32_t mode : {OUTPUT_PRINTER, OUTPUT_METAFILE}) {
        g_OutputContext.mode = mode;
        EXPECT_EQ(OutputAborted(), 0) << mode;
        EXPECT_EQ(OutputDrawObject(dc, probe), 1);
        EXPECT_EQ(PixelColour(p.x, p.y), BLACK) << "drawn in output mode " << mode;
        PatBlt(dc, 0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT, WHITENESS);
    }
    g_OutputContext.mode = OUTPUT_SCREEN;
    ReleaseDC(hwnd_, dc);
}

// A large drawing is painted through the pick index: the objects in view,
// in the same order, give the same pixels as the walk of a small drawing,
// and an object moved into view after the index was built is painted.
TEST_F(Paint, ALargeDrawingPaintsTheSamePixelsAsTheWalk)
{
    std::vector<Unit *> away;
    for (int i = 0; i < 25000; ++i)
        away.push_back(TestNewLine(1000.0 + (i % 500) * 2.0, 1000.0 + (i / 500) * 2.0, 1001.0 + (i % 500) * 2.0,
                                   1001.0 + (i / 500) * 2.0));
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255)};
    for (int i = 0; i < 30; ++i) {
        Unit *u = TestNewLine(-30.0 + i, -20.0, 30.0 - i, 20.0); // crossing: the later one lies on top
        u->property.ownFlags |= XPROP_OWN_COLOR2;
        u->property.color2 = colours[i % 3];
    }
    PaintNow();
    Unit *moved = away[7];
    for (Element *e = UnitFirstElement(moved); e->kind != ELEM_END; e = ElementNext(e)) {
        auto *p = reinterpret_cast<ElementPoint *>(e);
        p->x -= 1010.0, p->y -= 1000.0;
    }
    FrameCalcObject(moved, 0);
    PaintNow();
    const std::vector<uint32_t> indexed = Grab();
    const POINT p = Pixel(4.5, 0.5);
    EXPECT_EQ(PixelColour(p.x, p.y), BLACK) << "the moved line";
    for (Unit *u : away)
        if (u != moved)
            MemListDelete(LIST_DRAWING, u);
    PaintNow();
    EXPECT_EQ(Grab(), indexed);
}

// Without the seam the queue itself is looked at: at once on the 33rd object
// of a paint, so that a key pressed before the paint stops it there.
TEST_F(Paint, AKeyInTheQueueStopsThePaintAtTheFirstLook)
{
    for (int i = 0; i < 100; ++i)
        TestNewLine(-40.0 + i * 0.5, -30.0, -40.0 + i * 0.5, 30.0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
    }
    ASSERT_TRUE(PostMessageA(g_DrawWindows[0].hwnd, WM_KEYDOWN, VK_ESCAPE, 0));
    const RECT all{0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT};
    EXPECT_EQ(OutputPaintWindow(0, &all), 0);
    while (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
    }
    EXPECT_EQ(OutputPaintWindow(0, &all), 1) << "an empty queue lets the paint finish";
}

TEST_F(Paint, TwoAreasApartArePaintedSeparately)
{
    g_OutputPaintHook = CountPaints;
    struct Row {
        double a[4], b[4];
        int paints;
    };
    const Row rows[] = {
        {{0, 0, 10, 10}, {30, 20, 40, 30}, 2},
        {{0, 0, 10, 10}, {5, 0, 15, 10}, 1},
        {{1e300, 0, 0, 0}, {5, 0, 15, 10}, 1},
        {{1e300, 0, 0, 0}, {1e300, 0, 0, 0}, 0},
        {{500, 500, 510, 510}, {1e300, 0, 0, 0}, 0}, // wholly outside the window
    };
    for (const Row &r : rows) {
        s_PaintCalls = 0;
        OutputInvalidateTwoAreas(r.a, r.b);
        EXPECT_EQ(s_PaintCalls, r.paints) << r.a[0] << " " << r.b[0];
    }
}

// Five pixels on every side, the fifth included: the pointer's handle boxes
// reach exactly that far, and a repaint of the frame must take them along.
TEST_F(Paint, AreaToPixelsGrowsByFiveAndClipsToTheArea)
{
    const double rect[4] = {0.0, 0.0, 10.0, 10.0};
    RECT r;
    ASSERT_EQ(OutputAreaToPixels(0, rect, &r), 1);
    EXPECT_TRUE(Same(r, RECT{195, 105, 246, 156}));
    for (POINT fifth : {POINT{195, 130}, POINT{245, 130}, POINT{220, 105}, POINT{220, 155}})
        EXPECT_TRUE(PtInRect(&r, fifth)) << fifth.x << "," << fifth.y;
    const double edge[4] = {45.0, -40.0, 60.0, -30.0};
    ASSERT_EQ(OutputAreaToPixels(0, edge, &r), 1);
    EXPECT_TRUE(Same(r, RECT{375, 265, 400, 300}));
    const double outside[4] = {60.0, 60.0, 70.0, 70.0};
    EXPECT_EQ(OutputAreaToPixels(0, outside, &r), 0);
}

TEST_F(Paint, RedrawRequestsClearRepaintFlags)
{
    g_OutputPaintHook = CountPaints;
    s_PaintCalls = 0;
    W().repaint = 1;
    OutputRedrawAll(0);
    EXPECT_EQ(s_PaintCalls, 1);
    EXPECT_EQ(W().repaint, 0u);
    OutputRedrawAll(0);
    EXPECT_EQ(s_PaintCalls, 1) << "nothing to repaint";
    OutputRedrawWindow(3);
    EXPECT_EQ(s_PaintCalls, 1) << "no such window";
    OutputRedrawWindow(0);
    EXPECT_EQ(s_PaintCalls, 2);
}

// What a new object leaves on screen until the next repaint: the objects of
// this step in list order (the later one on top where they cross), with
// handles and point numbers when the drawing shows them, and nothing of
// older objects; on a 256-colour screen through the halftone palette.
TEST_F(Paint, NewObjectsAreDrawnInListOrderWithTheirHandlesAndNumbers)
{
    constexpr COLORREF RED = RGB(255, 0, 0), BLUE = RGB(0, 0, 255), GREEN = RGB(0, 255, 0);
    auto line = [](double x1, double y1, double x2, double y2, COLORREF colour, int32_t birth) {
        Unit *u = TestNewLine(x1, y1, x2, y2);
        u->property.ownFlags |= XPROP_OWN_COLOR2;
        u->property.color2 = colour;
        u->birth = birth;
        return u;
    };
    line(-20.0, 0.0, 20.0, 0.0, RED, g_UndoStep);
    line(0.0, -20.0, 0.0, 20.0, BLUE, g_UndoStep);
    line(-20.0, 10.0, 20.0, 10.0, GREEN, g_UndoStep - 1);
    auto clear = [this] {
        HDC dc = GetDC(hwnd_);
        RECT all{0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(hwnd_, dc);
    };
    // Drawn pixels in a square of 15 pixels around a drawing point.
    auto inked = [this](const std::vector<uint32_t> &pixels, double x, double y) {
        const POINT c = Pixel(x, y);
        int n = 0;
        for (int py = c.y - 7; py <= c.y + 7; ++py)
            for (int px = c.x - 7; px <= c.x + 7; ++px)
                if (px >= 0 && py >= 0 && px < TEST_AREA_WIDTH && py < TEST_AREA_HEIGHT &&
                    pixels[py * TEST_AREA_WIDTH + px] != 0xFFFFFF)
                    ++n;
        return n;
    };
    DrawingSettings &s = g_DrawingSettings;
    s.displayPoints = s.displayArrows = s.displayNumbers = 0;
    clear();
    ObjectDrawNewMarkers(0);
    const POINT cross = Pixel(0.0, 0.0);
    EXPECT_EQ(PixelColour(cross.x, cross.y), BLUE) << "the later object lies on top";
    const POINT older = Pixel(-10.0, 10.0);
    EXPECT_EQ(PixelColour(older.x, older.y), WHITE) << "an object of an earlier step is not drawn";
    const std::vector<uint32_t> plain = Grab();

    s.displayPoints = 1;
    clear();
    ObjectDrawNewMarkers(0);
    const std::vector<uint32_t> handles = Grab();
    EXPECT_GT(inked(handles, 20.0, 0.0), inked(plain, 20.0, 0.0)) << "a handle at the end point";

    s.displayPoints = 0;
    s.displayNumbers = 1;
    clear();
    ObjectDrawNewMarkers(0);
    const std::vector<uint32_t> numbers = Grab();
    EXPECT_GT(inked(numbers, -20.0, 0.0), inked(plain, -20.0, 0.0)) << "a number at the start point";
    EXPECT_EQ(inked(numbers, -20.0, 10.0), 0) << "the older object gets no number";

    s.displayNumbers = 0;
    const int32_t bits = g_ScreenColorBits;
    const uint32_t palette = s.displayPalette;
    HPALETTE shared = g_SharedGdi.palette;
    HDC screen = GetDC(nullptr);
    g_SharedGdi.palette = CreateHalftonePalette(screen);
    ReleaseDC(nullptr, screen);
    g_ScreenColorBits = HALFTONE_BITS;
    s.displayPalette = 1;
    clear();
    ObjectDrawNewMarkers(0);
    EXPECT_EQ(Grab(), plain) << "the palette's colours are the drawing's own";
    EXPECT_EQ(g_OutputContext.palette, nullptr) << "the palette is not left in the output state";
    DeleteObject(g_SharedGdi.palette);
    g_SharedGdi.palette = shared;
    g_ScreenColorBits = bits;
    s.displayPalette = palette;
}

} // namespace
