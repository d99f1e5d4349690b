// Attribute precedence through object, parent, layer and pen; visibility by
// output; the attribute block, pens and device-font decisions.
#include "render_fixture.h"

#include <cmath>

namespace {

constexpr COLORREF PEN_LINE = RGB(1, 2, 3);
constexpr COLORREF LAYER_LINE = RGB(4, 5, 6);
constexpr COLORREF OWN_LINE = RGB(7, 8, 9);
constexpr COLORREF PARENT_LINE = RGB(10, 11, 12);

class AttrTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        // Pen 5 with line colour PEN_LINE and width 0.7 in both sets.
        PenDef &pen = g_PenDefs[5];
        lstrcpynA(pen.name, "pen5", sizeof pen.name);
        pen.setA = pen.setB = PropertyDefault();
        pen.setA.color2 = pen.setB.color2 = PEN_LINE;
        pen.setA.width = pen.setB.width = 0.7;
        pen.state = DEF_STATE_DEFAULT;
        PenDef &pen6 = g_PenDefs[6];
        lstrcpynA(pen6.name, "pen6", sizeof pen6.name);
        pen6.setA = pen6.setB = PropertyDefault();
        pen6.setA.width = pen6.setB.width = 1.5;
        pen6.state = DEF_STATE_DEFAULT;
        // Layer 3: no own fields yet.
        LayerDef &layer = g_LayerDefs[3];
        lstrcpynA(layer.name, "layer3", sizeof layer.name);
        layer.setA = layer.setB = XPropertyDefault();
        layer.state = DEF_STATE_DEFAULT;
    }
    static XProperty Object(int32_t pen, int32_t layer, uint32_t own = XPROP_OWN_PEN | XPROP_OWN_LAYER)
    {
        XProperty p = XPropertyDefault();
        p.pen = pen;
        p.layer = layer;
        p.ownFlags = own;
        return p;
    }
};

TEST_F(AttrTest, PrecedenceTable)
{
    struct Case {
        const char *name;
        uint32_t objectOwn;       // besides pen and layer
        bool parentOwnsColour;
        bool layerOwnsColour;
        bool layerOwnsPen;        // layer imposes pen 6
        bool objectOwnsPen;
        COLORREF colour;
        double width;
    } cases[] = {
        {"pen supplies what nobody owns", 0, false, false, false, true, PEN_LINE, 0.7},
        {"layer colour wins over the pen", 0, false, true, false, true, LAYER_LINE, 0.7},
        {"parent colour wins over layer and pen", 0, true, true, false, true, PARENT_LINE, 0.7},
        {"own colour wins over all", XPROP_OWN_COLOR2, true, true, false, true, OWN_LINE, 0.7},
        {"layer pen replaces a pen nobody owns", 0, false, false, true, false, 0, 1.5},
        {"layer pen does not replace an owned pen", 0, false, false, true, true, PEN_LINE, 0.7},
    };
    for (const Case &c : cases) {
        XProperty object = Object(5, 3, (c.objectOwnsPen ? XPROP_OWN_PEN : 0) | XPROP_OWN_LAYER | c.objectOwn);
        object.color2 = OWN_LINE;
        XProperty parent = XPropertyDefault();
        if (c.parentOwnsColour) {
            parent.ownFlags = XPROP_OWN_COLOR2;
            parent.color2 = PARENT_LINE;
        }
        XProperty &set = g_LayerDefs[3].setA;
        set = XPropertyDefault();
        if (c.layerOwnsColour) {
            set.ownFlags |= XPROP_OWN_COLOR2;
            set.color2 = LAYER_LINE;
        }
        if (c.layerOwnsPen) {
            set.ownFlags |= XPROP_OWN_PEN;
            set.pen = 6;
        }
        if (!c.objectOwnsPen)
            object.pen = 5;
        XProperty out;
        EXPECT_EQ(OutputResolveXProperty(&object, &parent, &out), 1) << c.name;
        EXPECT_EQ(out.color2, c.colour) << c.name;
        EXPECT_DOUBLE_EQ(out.width, c.width) << c.name;
        EXPECT_EQ(out.layer, 3) << c.name;
    }
}

TEST_F(AttrTest, HiddenLayerStopsResolutionExceptInUsageScans)
{
    g_LayerDefs[3].state = 0; // hidden in both sets
    XProperty object = Object(5, 3);
    const XProperty parent = XPropertyDefault();
    XProperty out;
    EXPECT_EQ(OutputResolveXProperty(&object, &parent, &out), 0);
    EXPECT_EQ(out.layer, 3);
    g_OutputContext.mode = OUTPUT_USAGE_SCAN;
    EXPECT_EQ(OutputResolveXProperty(&object, &parent, &out), 0);
    EXPECT_EQ(out.pen, 5);
    EXPECT_EQ(out.color2, PEN_LINE); // completed all the same
    EXPECT_DOUBLE_EQ(out.width, 0.7);
}

TEST_F(AttrTest, HighlightedLayerColoursOnlyTheScreen)
{
    g_LayerDefs[3].state = DEF_STATE_DEFAULT | DEF_STATE_HIGHLIGHT;
    g_DrawingSettings.colorLayers = 8; // red
    XProperty object = Object(5, 3);
    const XProperty parent = XPropertyDefault();
    XProperty out;
    OutputResolveXProperty(&object, &parent, &out);
    EXPECT_EQ(out.color2, g_StandardColors[8]);
    EXPECT_EQ(out.color1, g_StandardColors[8]);
    g_OutputContext.mode = OUTPUT_PRINTER;
    OutputResolveXProperty(&object, &parent, &out);
    EXPECT_EQ(out.color2, PEN_LINE);
}

TEST_F(AttrTest, StateTestsBySet)
{
    struct Case {
        uint32_t state;
        uint32_t extern_, intern;
        uint32_t mode;
        int shown;
    } cases[] = {
        {DEF_STATE_SHOWN_A, 0, 0, OUTPUT_SCREEN, 1},  {DEF_STATE_SHOWN_A, 1, 0, OUTPUT_SCREEN, 0},
        {DEF_STATE_SHOWN_B, 1, 0, OUTPUT_SCREEN, 1},  {DEF_STATE_SHOWN_A, 0, 0, OUTPUT_PRINTER, 0},
        {DEF_STATE_SHOWN_A, 0, 1, OUTPUT_PRINTER, 1}, {DEF_STATE_SHOWN_B, 0, 0, OUTPUT_METAFILE, 1},
    };
    for (const Case &c : cases) {
        g_LayerDefs[3].state = c.state;
        g_DrawingSettings.displayExtern = c.extern_;
        g_DrawingSettings.outputIntern = c.intern;
        g_OutputContext.mode = c.mode;
        EXPECT_EQ(OutputIsLayerShown(3), c.shown) << c.state << " " << c.mode;
    }
    // Index 0, out of range and free slots behave as layer 0.
    g_LayerDefs[3].state = DEF_STATE_LOCKED | DEF_STATE_NO_PICK;
    EXPECT_EQ(OutputIsLayerLocked(3), 1);
    EXPECT_EQ(OutputIsLayerPickable(3), 0);
    EXPECT_EQ(OutputIsLayerLocked(0), 0);
    EXPECT_EQ(OutputIsLayerShown(777), 1);
    EXPECT_EQ(OutputIsPenLocked(-4), 0);
}

TEST_F(AttrTest, PreparationByTypeAndFillMode)
{
    struct Case {
        int32_t type;
        int32_t fillMode;
        uint32_t mode;
        int result;
        uint32_t flags;
    } cases[] = {
        {OBJTYPE_LINE, FILL_SOLID, OUTPUT_SCREEN, 0, 0},              // lines are never filled
        {OBJTYPE_LINE, FILL_SOLID, OUTPUT_PRINTER, 0, 0},
        {OBJTYPE_LINE, FILL_NONE, OUTPUT_SCREEN, 1, DRAW_STROKE},
        {OBJTYPE_SURFACE, FILL_SOLID, OUTPUT_SCREEN, 1, DRAW_FILL},
        {OBJTYPE_SURFACE, FILL_SOLID_OUTLINE, OUTPUT_SCREEN, 1, DRAW_FILL | DRAW_STROKE},
        {OBJTYPE_SURFACE, FILL_ERASER, OUTPUT_PRINTER, 1, DRAW_FILL | DRAW_ERASER},
        {OBJTYPE_CIRCLE, FILL_ERASER_OUTLINE, OUTPUT_SCREEN, 1, DRAW_FILL | DRAW_ERASER | DRAW_STROKE},
        {OBJTYPE_LINE_STR, FILL_SOLID, OUTPUT_SCREEN, 1, DRAW_STROKE},
    };
    for (const Case &c : cases) {
        g_OutputContext.mode = c.mode;
        XProperty object = XPropertyDefault();
        object.fillMode = c.fillMode;
        object.ownFlags = XPROP_OWN_FILL;
        const XProperty parent = XPropertyDefault();
        EXPECT_EQ(OutputPrepareAttributes(c.type, &object, &parent, &g_OutputContext), c.result) << c.type;
        if (c.result)
            EXPECT_EQ(g_OutputContext.drawFlags, c.flags) << c.type << " fm " << c.fillMode;
    }
}

TEST_F(AttrTest, TextFillOnlyMayUseADeviceFont)
{
    const XProperty parent = XPropertyDefault();
    XProperty text = XPropertyDefault();
    text.ownFlags = XPROP_OWN_FILL;
    text.fillMode = FILL_SOLID;
    ASSERT_EQ(OutputPrepareTextAttributes(&text, &parent, &g_OutputContext), 1);
    EXPECT_EQ(g_OutputContext.fillOnlyText, 1);
    text.fillMode = FILL_SOLID_OUTLINE;
    ASSERT_EQ(OutputPrepareTextAttributes(&text, &parent, &g_OutputContext), 1);
    EXPECT_EQ(g_OutputContext.fillOnlyText, 0);
}

TEST_F(AttrTest, PaperWidthsKeepThePixelWidthAtEveryZoom)
{
    g_DrawingSettings.displayLinesMode = 2;
    XProperty object = XPropertyDefault();
    object.width = 0.5;
    object.ownFlags = XPROP_OWN_WIDTH;
    const XProperty parent = XPropertyDefault();
    for (double zoom : {1.0, 4.0, 20.0}) {
        g_OutputContext.widthZoom = g_OutputContext.widthScale = zoom;
        ASSERT_EQ(OutputPrepareAttributes(OBJTYPE_LINE, &object, &parent, &g_OutputContext), 1);
        OutputSelectObjectGdi(dc_, &g_OutputContext);
        EXPECT_EQ(g_OutputContext.penWidthPixels, 1) << zoom; // 0.5 mm at 1 px/mm whatever the zoom
        OutputRestoreGdi(dc_, &g_OutputContext);
    }
}

TEST_F(AttrTest, PenStyleLengthsAreLimited)
{
    LineDef &def = g_LineDefs[2];
    std::memset(&def, 0, sizeof def);
    lstrcpynA(def.name, "style", sizeof def.name);
    def.pairs = 2;
    def.kind = 1;
    def.lengths[0] = 10;          // 0.1 mm * 2 px/mm = 0.2 -> 1
    def.lengths[1] = 1000;        // 20 px
    def.lengths[2] = 2000000000;  // limited
    def.lengths[3] = 249;         // 4.98 -> 5
    OutputContext c = g_OutputContext;
    c.lineType = 2;
    c.widthZoom = 2.0;
    DWORD style[16];
    ASSERT_EQ(OutputBuildPenStyle(&c, 1.0, style), 4);
    EXPECT_EQ(style[0], 1u);
    EXPECT_EQ(style[1], 20u);
    EXPECT_EQ(style[2], 16777216u);
    EXPECT_EQ(style[3], 5u);
    c.lineType = 0;
    EXPECT_EQ(OutputBuildPenStyle(&c, 1.0, style), 0);
}

TEST_F(AttrTest, ConformalMatrixTest)
{
    struct Case {
        double a, b, c, d;
        int conformal;
    } cases[] = {
        {1, 0, 0, -1, 1},      // device y down
        {1, 0, 0, -1.02, 0},   // y scale 2 % larger
        {1, 0, 0, -1.005, 1},  // half a per cent
        {1, 0, 0, 1, 0},       // mirrored for the screen
        {1, 0, 0.5, -1, 0},    // sheared
    };
    for (const Case &c : cases) {
        g_OutputContext.current = {c.a, c.b, c.c, c.d, 0, 0};
        EXPECT_EQ(OutputIsMatrixConformal(nullptr, nullptr), c.conformal) << c.c << " " << c.d;
    }
    g_OutputContext.mode = OUTPUT_PRINTER;
    g_OutputContext.current = {1, 0, 0, 1, 0, 0};
    EXPECT_EQ(OutputIsMatrixConformal(nullptr, nullptr), 1);
}

TEST_F(AttrTest, DeviceFontThresholds)
{
    FontDef font{1, 0, 400, "Arial"};
    g_DrawingSettings.displayThreshold = 8;
    HFONT handle = nullptr;
    g_OutputContext.current = {0.25, 0, 0, -0.25, 0, 0}; // 5 px em
    EXPECT_EQ(OutputSelectDeviceFont(&font, &handle), 1);
    g_OutputContext.current = {500, 0, 0, -500, 0, 0};   // 10000 px em
    EXPECT_EQ(OutputSelectDeviceFont(&font, &handle), 0);
    EXPECT_EQ(handle, nullptr);
    g_OutputContext.mode = OUTPUT_PRINTER;
    g_OutputContext.current = {0.25, 0, 0, 0.25, 0, 0};
    EXPECT_EQ(OutputSelectDeviceFont(&font, &handle), 0);
    EXPECT_NE(handle, nullptr);
    OutputFreeFontCache();
}

TEST_F(AttrTest, ContextIsTheSizeThePlugInsSee)
{
    EXPECT_EQ(sizeof(OutputContext), 440u);
    g_OutputContext.depth = 7;
    EXPECT_EQ(g_OutputContext.nestingDepth, 7);
    g_OutputContext.mode = OUTPUT_METAFILE;
    EXPECT_EQ(g_OutputContext.outputMode, OUTPUT_METAFILE);
    {
        OutputContextKeeper keep;
        g_OutputContext.depth = 1;
    }
    EXPECT_EQ(g_OutputContext.depth, 7);
}

} // namespace

namespace {

// Objects with the same resolved attributes share one pen and one brush,
// kept alive across objects; other colours get pens of their own.
TEST_F(AttrTest, PensAndBrushesAreKeptForTheSameAttributes)
{
    OutputFreeGdiCache();
    const XProperty parent = XPropertyDefault();
    XProperty surface = XPropertyDefault();
    surface.ownFlags = XPROP_OWN_FILL | XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2;
    surface.fillMode = FILL_SOLID_OUTLINE;
    surface.color1 = RGB(10, 20, 30);
    surface.color2 = RGB(200, 0, 0);
    HPEN pens[2];
    HBRUSH brushes[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(OutputPrepareAttributes(OBJTYPE_SURFACE, &surface, &parent, &g_OutputContext), 1);
        OutputSelectObjectGdi(dc_, &g_OutputContext);
        pens[i] = static_cast<HPEN>(g_OutputContext.pen);
        brushes[i] = static_cast<HBRUSH>(g_OutputContext.brush);
        EXPECT_EQ(g_OutputContext.penOwned, 0);
        EXPECT_EQ(g_OutputContext.brushOwned, 0);
        EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), pens[i]);
        OutputRestoreGdi(dc_, &g_OutputContext);
        EXPECT_EQ(GetObjectType(pens[i]), static_cast<DWORD>(OBJ_PEN)) << "kept after the object";
    }
    EXPECT_EQ(pens[0], pens[1]);
    EXPECT_EQ(brushes[0], brushes[1]);
    surface.color2 = RGB(0, 0, 200);
    ASSERT_EQ(OutputPrepareAttributes(OBJTYPE_SURFACE, &surface, &parent, &g_OutputContext), 1);
    OutputSelectObjectGdi(dc_, &g_OutputContext);
    EXPECT_NE(static_cast<HPEN>(g_OutputContext.pen), pens[0]);
    EXPECT_EQ(static_cast<HBRUSH>(g_OutputContext.brush), brushes[0]);
    LOGPEN made{};
    ASSERT_NE(GetObjectA(g_OutputContext.pen, sizeof made, &made), 0);
    EXPECT_EQ(made.lopnColor, RGB(0, 0, 200));
    OutputRestoreGdi(dc_, &g_OutputContext);
    OutputFreeGdiCache();
    EXPECT_EQ(GetObjectType(pens[0]), 0u) << "deleted with the cache";
}

} // namespace
