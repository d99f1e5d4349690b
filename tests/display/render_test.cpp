// Objects drawn into the memory DIB: lines, filled surfaces, curves, clip
// surfaces, instances and their nesting limit, the pass filter and culling,
// and the path buffer's limits.
#include "render_fixture.h"

#include <cmath>

#include "display/output_select.h"
#include "geometry/flat.h"

namespace {

constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);

void Own(Unit *u, int32_t fillMode, COLORREF fill, COLORREF line)
{
    u->property.ownFlags |= XPROP_OWN_FILL | XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2;
    u->property.fillMode = fillMode;
    u->property.color1 = fill;
    u->property.color2 = line;
}

std::vector<double> Square(double x0, double y0, double x1, double y1)
{
    return {x0, y0, x1, y0, x1, y1, x0, y1, x0, y0};
}

class RenderObjectTest : public RenderTest {
protected:
    // Whether the colour lies at the world point or one pixel beside it.
    bool NearPixel(double x, double y, COLORREF colour) const
    {
        int px, py;
        Device(x, y, &px, &py);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Pixel(px + dx, py + dy) == colour)
                    return true;
        return false;
    }
};

TEST_F(RenderObjectTest, LineLiesOnItsMappedPixels)
{
    Unit *line = TestNewObject(LIST_DRAWING, OBJTYPE_LINE, {10, 20, 90, 20});
    Own(line, FILL_NONE, 0, BLACK);
    EXPECT_EQ(OutputDrawObject(dc_, line), 1);
    for (double x = 10; x < 90; x += 5)
        EXPECT_EQ(WorldPixel(x, 20), BLACK) << x;
    EXPECT_EQ(WorldPixel(50, 25), WHITE);
    EXPECT_EQ(WorldPixel(95, 20), WHITE);
}

TEST_F(RenderObjectTest, FilledSurfaceInsideAndOutside)
{
    Unit *surface = NewPath(LIST_DRAWING, OBJTYPE_SURFACE, {Square(20, 20, 60, 60)});
    Own(surface, FILL_SOLID, RED, BLACK);
    EXPECT_EQ(OutputDrawObject(dc_, surface), 1);
    EXPECT_EQ(WorldPixel(40, 40), RED);
    EXPECT_EQ(WorldPixel(21, 59), RED);
    EXPECT_EQ(WorldPixel(10, 40), WHITE);
    EXPECT_EQ(WorldPixel(70, 70), WHITE);
}

TEST_F(RenderObjectTest, SurfaceWithAHoleIsFilledInOnePath)
{
    Unit *surface = NewPath(LIST_DRAWING, OBJTYPE_SURFACE, {Square(10, 10, 90, 90), Square(40, 40, 60, 60)});
    Own(surface, FILL_SOLID, RED, BLACK);
    OutputDrawObject(dc_, surface);
    EXPECT_EQ(WorldPixel(20, 20), RED);
    EXPECT_EQ(WorldPixel(50, 50), WHITE);
}

TEST_F(RenderObjectTest, CircleFilledAndOutlined)
{
    Unit *circle = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {50, 50, 80, 50});
    circle->frame[0] = circle->frame[1] = 20;
    circle->frame[2] = circle->frame[3] = 80;
    Own(circle, FILL_SOLID_OUTLINE, BLUE, BLACK);
    OutputDrawObject(dc_, circle);
    EXPECT_EQ(WorldPixel(50, 50), BLUE);
    EXPECT_TRUE(NearPixel(50 + 30 * std::cos(0.7), 50 + 30 * std::sin(0.7), BLACK));
    EXPECT_EQ(WorldPixel(25, 25), WHITE);
}

TEST_F(RenderObjectTest, LargeCircleCrossingTheWindowIsClipped)
{
    Unit *circle = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {50, -950, 50, 50});
    circle->frame[0] = -950, circle->frame[1] = -1950, circle->frame[2] = 1050, circle->frame[3] = 50;
    Own(circle, FILL_SOLID, BLUE, BLACK);
    EXPECT_EQ(OutputDrawObject(dc_, circle), 1);
    EXPECT_EQ(WorldPixel(50, 40), BLUE);
    EXPECT_EQ(WorldPixel(50, 60), WHITE);
}

TEST_F(RenderObjectTest, PassAndSwitchFilterSkipWithResultOne)
{
    Unit *line = TestNewObject(LIST_DRAWING, OBJTYPE_LINE, {10, 20, 90, 20});
    Unit *geo = TestNewObject(LIST_DRAWING, OBJTYPE_GEO_LINE, {10, 30, 90, 30});
    Own(line, FILL_NONE, 0, BLACK);
    Own(geo, FILL_NONE, 0, BLACK);
    g_OutputContext.passMask = PASS_GEOMETRY;
    EXPECT_EQ(OutputDrawObject(dc_, line), 1);
    EXPECT_EQ(CountPixels(BLACK), 0);
    g_OutputContext.passMask = PASS_ALL;
    g_DrawingSettings.displayGeometry[0] = 0;
    EXPECT_EQ(OutputDrawObject(dc_, geo), 1);
    EXPECT_EQ(CountPixels(BLACK), 0);
    g_DrawingSettings.displayGeometry[0] = 1;
    EXPECT_EQ(OutputDrawObject(dc_, geo), 1);
    EXPECT_EQ(Pixel(0, 140), BLACK); // endless: across the whole DIB
    EXPECT_EQ(Pixel(199, 140), BLACK);
}

TEST_F(RenderObjectTest, ObjectsOutsideTheVisibleRectangleAreSkipped)
{
    Unit *line = TestNewObject(LIST_DRAWING, OBJTYPE_LINE, {10, 20, 90, 20});
    Own(line, FILL_NONE, 0, BLACK);
    const double visible[4] = {91, 0, 200, 100};
    std::memcpy(g_OutputContext.visibleRect, visible, sizeof visible);
    OutputDrawObject(dc_, line);
    EXPECT_EQ(CountPixels(BLACK), 0);
    // Touching counts as inside.
    g_OutputContext.visibleRect[0] = 90;
    OutputDrawObject(dc_, line);
    EXPECT_GT(CountPixels(BLACK), 0);
}

TEST_F(RenderObjectTest, InstanceIsDrawnAtItsPlacement)
{
    Unit *block = NewBlock("box");
    Unit *member = NewPath(LIST_PLUGIN_DATA, OBJTYPE_SURFACE, {Square(0, 0, 10, 10)});
    Own(member, FILL_SOLID, RED, BLACK);
    AddMember(block, member);
    Matrix m;
    MatrixInit(&m);
    MatrixScale(&m, 2.0, 2.0);
    MatrixMove(&m, 50, 30);
    const double frame[4] = {50, 30, 70, 50};
    Unit *instance = NewInstance(LIST_DRAWING, "box", m, frame);
    EXPECT_EQ(OutputDrawObject(dc_, instance), 1);
    EXPECT_EQ(WorldPixel(60, 40), RED);
    EXPECT_EQ(WorldPixel(68, 48), RED);
    EXPECT_EQ(WorldPixel(5, 5), WHITE);   // not at the block's own place
    EXPECT_EQ(WorldPixel(75, 40), WHITE);
    EXPECT_EQ(g_OutputContext.depth, 0);
}

TEST_F(RenderObjectTest, EnclosingInstanceColourWinsUnlessTheMemberOwnsIt)
{
    Unit *block = NewBlock("plain");
    Unit *member = NewPath(LIST_PLUGIN_DATA, OBJTYPE_SURFACE, {Square(0, 0, 10, 10)});
    member->property.ownFlags = XPROP_OWN_FILL;
    member->property.fillMode = FILL_SOLID;
    member->property.color1 = BLACK;
    AddMember(block, member);
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, 20, 20);
    const double frame[4] = {20, 20, 30, 30};
    Unit *instance = NewInstance(LIST_DRAWING, "plain", m, frame);
    instance->property.ownFlags = XPROP_OWN_COLOR1;
    instance->property.color1 = BLUE;
    OutputDrawObject(dc_, instance);
    EXPECT_EQ(WorldPixel(25, 25), BLUE);
    // A member that owns its colour keeps it.
    block->block.firstMember->property.ownFlags |= XPROP_OWN_COLOR1;
    block->block.firstMember->property.color1 = RED;
    OutputDrawObject(dc_, instance);
    EXPECT_EQ(WorldPixel(25, 25), RED);
}

TEST_F(RenderObjectTest, SelfNestedBlockStopsBeyondTwentyLevels)
{
    Unit *block = NewBlock("self");
    Unit *member = NewPath(LIST_PLUGIN_DATA, OBJTYPE_SURFACE, {Square(0, 0, 10, 10)});
    Own(member, FILL_SOLID, RED, BLACK);
    AddMember(block, member);
    Matrix identity;
    MatrixInit(&identity);
    const double frame[4] = {0, 0, 10, 10};
    Unit *inner = NewInstance(LIST_PLUGIN_DATA, "self", identity, frame);
    AddMember(block, inner);
    Unit *instance = NewInstance(LIST_DRAWING, "self", identity, frame);
    int deepest = 0;
    struct Probe {
        static int &Deepest()
        {
            static int d = 0;
            return d;
        }
        static int Hook()
        {
            return 0;
        }
    };
    (void)deepest;
    g_OutputAbortHook = Probe::Hook;
    EXPECT_EQ(OutputDrawObject(dc_, instance), 1);
    EXPECT_EQ(g_OutputContext.depth, 0);
    EXPECT_EQ(WorldPixel(5, 5), RED);
}

TEST_F(RenderObjectTest, ClipSurfaceHidesWhatLiesOutsideIt)
{
    Unit *block = NewBlock("pattern");
    Unit *member = NewPath(LIST_PLUGIN_DATA, OBJTYPE_SURFACE, {Square(0, 0, 100, 100)});
    Own(member, FILL_SOLID, RED, RED);
    AddMember(block, member);
    Unit *clip = NewPath(LIST_DRAWING, OBJTYPE_CLIP, {Square(30, 30, 70, 70)});
    auto *record = static_cast<ClipSurfaceData *>(ElementPayload(UnitFirstElement(clip)));
    lstrcpynA(record->block, "pattern", UNIT_NAME_SIZE);
    Own(clip, FILL_SOLID, 0, BLACK);
    EXPECT_EQ(OutputDrawObject(dc_, clip), 1);
    EXPECT_EQ(WorldPixel(50, 50), RED);
    EXPECT_EQ(WorldPixel(20, 50), WHITE);
    EXPECT_EQ(WorldPixel(80, 80), WHITE);
    // Eraser fill: the symbol covers what lies outside the outline.
    Clear();
    clip->property.fillMode = FILL_ERASER;
    OutputDrawObject(dc_, clip);
    EXPECT_EQ(WorldPixel(50, 50), WHITE);
    EXPECT_EQ(WorldPixel(20, 50), RED);
}

// The highlight of a clip surface shows its symbol inside the outline (for
// an eraser fill outside it), and nothing of it for a surface kept out of
// outline-only redraws or without fill.
TEST_F(RenderObjectTest, ClipSurfaceHighlightShowsItsSymbol)
{
    Unit *block = NewBlock("stripe");
    AddMember(block, TestNewObject(LIST_PLUGIN_DATA, OBJTYPE_LINE, {0, 50, 100, 50}));
    Unit *clip = NewPath(LIST_DRAWING, OBJTYPE_CLIP, {Square(30, 30, 70, 70)});
    auto *record = static_cast<ClipSurfaceData *>(ElementPayload(UnitFirstElement(clip)));
    lstrcpynA(record->block, "stripe", UNIT_NAME_SIZE);
    const XProperty parent = OutputDefaultXProperty();
    Matrix identity;
    MatrixInit(&identity);
    HPEN pen = CreatePen(PS_SOLID, 1, RED);
    HGDIOBJ old = SelectObject(dc_, pen);
    struct Case {
        const char *name;
        int32_t fillMode;
        int32_t hide;
        COLORREF inside, outside;
    } cases[] = {
        {"solid", FILL_SOLID, 0, RED, WHITE},
        {"eraser", FILL_ERASER, 0, WHITE, RED},
        {"kept out", FILL_SOLID, 1, WHITE, WHITE},
        {"no fill", FILL_NONE, 0, WHITE, WHITE},
    };
    for (const Case &c : cases) {
        Clear();
        Own(clip, c.fillMode, 0, BLACK);
        record->hide = c.hide;
        EXPECT_EQ(OutputDrawPlainSelection(dc_, clip, &parent, &identity, 0), 1) << c.name;
        EXPECT_EQ(WorldPixel(50, 50), c.inside) << c.name;
        EXPECT_EQ(WorldPixel(15, 50), c.outside) << c.name;
        EXPECT_TRUE(NearPixel(30, 40, RED)) << c.name << ": the outline";
        EXPECT_EQ(g_OutputContext.depth, 0) << c.name;
    }
    SelectObject(dc_, old);
    DeleteObject(pen);
}

// Point numbers go on through the members of instances: drawn where the
// instance places them, and counted (not drawn) for an instance off the view.
TEST_F(RenderObjectTest, PointNumbersCountAndShowTheMembersOfInstances)
{
    g_DrawingSettings.displayNumbers = 1;
    g_DrawingSettings.displayObjects = 1;
    g_DrawingSettings.displaySelOnly = 0;
    g_DrawingSettings.displayBlocks = 1;
    Unit *block = NewBlock("pair");
    AddMember(block, TestNewObject(LIST_PLUGIN_DATA, OBJTYPE_LINE, {0, 0, 10, 0}));
    AddMember(block, TestNewObject(LIST_PLUGIN_DATA, OBJTYPE_GEO_LINE, {0, 0, 10, 10}));
    AddMember(block, TestNewObject(LIST_PLUGIN_DATA, OBJTYPE_LINE, {0, 10, 10, 10}));
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, 40, 40);
    const double shown[4] = {40, 40, 50, 50};
    Unit *instance = NewInstance(LIST_DRAWING, "pair", m, shown);
    int32_t counter = 5;
    EXPECT_EQ(OutputDrawPointNumbers(dc_, instance, &counter), 1);
    EXPECT_EQ(counter, 7) << "two lines; construction lines are not numbered";
    EXPECT_LT(CountPixels(WHITE), DIB_SIZE * DIB_SIZE) << "labels drawn";
    EXPECT_EQ(WorldPixel(5, 5), WHITE) << "not at the block's own place";

    Clear();
    Matrix distant;
    MatrixInit(&distant);
    MatrixMove(&distant, 500, 500);
    const double away[4] = {500, 500, 510, 510};
    Unit *hidden = NewInstance(LIST_DRAWING, "pair", distant, away);
    EXPECT_EQ(OutputDrawPointNumbers(dc_, hidden, &counter), 1);
    EXPECT_EQ(counter, 9);
    EXPECT_EQ(CountPixels(WHITE), DIB_SIZE * DIB_SIZE);
    EXPECT_EQ(g_OutputContext.depth, 0);
}

TEST_F(RenderObjectTest, MissingBlockShowsItsLabel)
{
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, 10, 50);
    const double frame[4] = {10, 50, 10, 50};
    g_DrawingSettings.colorBlocks = 7; // black
    Unit *instance = NewInstance(LIST_DRAWING, "nowhere", m, frame);
    EXPECT_EQ(OutputDrawObject(dc_, instance), 1);
    EXPECT_GT(CountPixels(BLACK), 10);
}

TEST_F(RenderObjectTest, Windows9xPathsGivePixelsLikePolyDraw)
{
    Unit *circle = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {50, 50, 80, 50});
    circle->frame[0] = circle->frame[1] = 20;
    circle->frame[2] = circle->frame[3] = 80;
    Own(circle, FILL_SOLID, BLUE, BLACK);
    OutputDrawObject(dc_, circle);
    const int nt = CountPixels(BLUE);
    Clear();
    g_IsWin9x = 1;
    OutputDrawObject(dc_, circle);
    EXPECT_NEAR(CountPixels(BLUE), nt, nt / 50);
}

TEST_F(RenderObjectTest, ScratchBufferHoldsTheDevicePathAtEveryObjectSize)
{
    for (uint32_t size : {OBJECT_SIZE_MIN, OBJECT_SIZE_DEFAULT, OBJECT_SIZE_MAX}) {
        const ObjectLimits limits = MemComputeLimits(size);
        EXPECT_GE(limits.scratchSize, ClipPathBytesNeeded(limits.maxPathPoints)) << size;
    }
}

TEST_F(RenderObjectTest, CircleInsideTheWindowIsOneFigureOfFourteenPoints)
{
    ASSERT_EQ(ClipPathBegin(), 1);
    g_WorkArrays.pathPoints[0] = {50, 50};
    g_WorkArrays.pathPoints[1] = {60, 50};
    const int32_t n = FlatAddCircle(g_WorkArrays.pathPoints, g_WorkArrays.pathTypes, 0);
    ASSERT_EQ(n, 13);
    ASSERT_EQ(ClipPathPrepare(n, 1, 1), 1);
    EXPECT_EQ(g_ClipDevicePath.figures, 1);
    EXPECT_EQ(g_ClipDevicePath.figureLengths[0], 14);
    EXPECT_EQ(g_ClipDevicePath.types[0], CLIP_PT_MOVE);
    EXPECT_EQ(g_ClipDevicePath.types[1], CLIP_PT_BEZIER);
    EXPECT_EQ(g_ClipDevicePath.types[13], CLIP_PT_LINE | CLIP_PT_CLOSE);
    ClipPathStroke(dc_, 0);
    EXPECT_EQ(g_Universal1Owner.locked, 0u);
}

TEST_F(RenderObjectTest, FigureOutsideThePixelClipRectangleIsDropped)
{
    ASSERT_EQ(ClipPathBegin(), 1);
    g_WorkArrays.pathPoints[0] = {200, 200};
    g_WorkArrays.pathPoints[1] = {300, 300};
    ClipPathSetLineCodes(2);
    EXPECT_EQ(ClipPathPrepare(2, 0, 1), 1);
    EXPECT_EQ(g_ClipDevicePath.figures, 0);
    ClipPathStroke(dc_, DRAW_STROKE);
}

TEST_F(RenderObjectTest, ClippedClosedPolygonEndsWithItsFirstPointAndTheCopy)
{
    ASSERT_EQ(ClipPathBegin(), 1);
    const double pts[4][2] = {{-50, 20}, {50, 20}, {50, 80}, {-50, 80}};
    for (int i = 0; i < 4; ++i)
        g_WorkArrays.pathPoints[i] = {pts[i][0], pts[i][1]};
    ClipPathSetLineCodes(4);
    ASSERT_EQ(ClipPathPrepare(4, 1, 1), 1);
    ASSERT_EQ(g_ClipDevicePath.figures, 1);
    const int32_t len = g_ClipDevicePath.figureLengths[0];
    const POINT *p = g_ClipDevicePath.points;
    EXPECT_EQ(p[len - 2].x, p[0].x);
    EXPECT_EQ(p[len - 2].y, p[0].y);
    EXPECT_EQ(p[len - 1].x, p[0].x);
    for (int i = 0; i < len; ++i)
        EXPECT_GE(p[i].x, g_OutputContext.safePixelRect[0]);
    ClipPathAbandon();
}

TEST_F(RenderObjectTest, HugeFigureIsClippedInsteadOfDisappearing)
{
    // 12,000 points of a zigzag crossing the window's edge: drawn.
    const int32_t n = 12000;
    ASSERT_LT(n, static_cast<int32_t>(g_MaxPathPoints));
    for (int32_t i = 0; i < n; ++i)
        g_WorkArrays.pathPoints[i] = {-20.0 + 140.0 * i / n, (i % 2) ? 40.0 : 60.0};
    ClipPathSetLineCodes(n);
    ASSERT_EQ(ClipPathBegin(), 1);
    ASSERT_EQ(ClipPathPrepare(n, 0, 1), 1);
    EXPECT_EQ(g_ClipDevicePath.figures, 1);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    ClipPathStroke(dc_, DRAW_STROKE);
    EXPECT_GT(CountPixels(BLACK), 1000);
    EXPECT_EQ(g_Universal1Owner.locked, 0u);
}

TEST_F(RenderObjectTest, MoreThanTenThousandFiguresInOnePath)
{
    // Room for 10,050 figures of three device points each.
    MemExitWork();
    MemSetLimits(OBJECT_SIZE_MAX);
    ASSERT_EQ(MemInitWork(), 1);
    struct Restore {
        ~Restore()
        {
            MemExitWork();
            MemSetLimits(OBJECT_SIZE_DEFAULT);
            MemInitWork();
        }
    } restore;
    ASSERT_EQ(ClipPathBegin(), 1);
    int accepted = 0;
    for (int f = 0; f < 10050; ++f) {
        const double y = 10.0 + (f % 80);
        g_WorkArrays.pathPoints[0] = {10.0, y};
        g_WorkArrays.pathPoints[1] = {12.0, y};
        ClipPathSetLineCodes(2);
        if (!ClipPathPrepare(2, 0, 1))
            break;
        ++accepted;
    }
    EXPECT_EQ(accepted, 10050);
    EXPECT_EQ(g_ClipDevicePath.figures, 10050);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    ClipPathStroke(dc_, DRAW_STROKE);
    EXPECT_EQ(WorldPixel(11, 20), BLACK);
}

TEST_F(RenderObjectTest, BusyScratchBufferDrawsNothing)
{
    ASSERT_EQ(mem_lock_uni1("test", 1), 1);
    Unit *circle = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {50, 50, 80, 50});
    circle->frame[0] = circle->frame[1] = 20;
    circle->frame[2] = circle->frame[3] = 80;
    Own(circle, FILL_SOLID, BLUE, BLACK);
    OutputDrawObject(dc_, circle);
    EXPECT_EQ(CountPixels(BLUE), 0);
    mem_unlock_uni1("test", 1);
}

TEST_F(RenderObjectTest, FilledPageFrameTurnsEraserFillsIntoItsColour)
{
    OutputResetContext(OUTPUT_PRINTER);
    const double world[4] = {0.0, 0.0, WORLD_SIZE, WORLD_SIZE};
    OutputSetupView(DIB_SIZE, DIB_SIZE, world, 50);
    g_DrawingSettings.outputFrame.kind = 0;
    g_PageDefs.active = 0;
    const double page[4] = {20, 20, 80, 80};
    std::memcpy(g_PageDefs.frames[0], page, sizeof page);
    g_DrawingSettings.outputFrameDistance = 0.0;
    XProperty &frame = g_DrawingSettings.outputFrame.property;
    frame = XPropertyDefault();
    frame.ownFlags = XPROP_OWN_FILL | XPROP_OWN_COLOR1;
    frame.fillMode = FILL_SOLID;
    frame.color1 = BLUE;
    OutputBeginDevicePage(dc_, 0, 1);
    EXPECT_EQ(WorldPixel(50, 50), BLUE);
    EXPECT_EQ(WorldPixel(10, 10), WHITE);
    EXPECT_EQ(g_OutputContext.backgroundColour, BLUE);
    Unit *eraser = NewPath(LIST_DRAWING, OBJTYPE_SURFACE, {Square(40, 40, 60, 60)});
    Own(eraser, FILL_ERASER, RED, RED);
    Clear();
    OutputDrawObject(dc_, eraser);
    EXPECT_EQ(WorldPixel(50, 50), BLUE);
}

} // namespace
