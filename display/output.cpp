// The output context, its reset and plain view set-up, and the pen and layer
// state tests.
#include "display/output.h"

#include <cmath>
#include <cstring>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/system.h"
#include "geometry/matrix.h"

OutputContext g_OutputContext = [] {
    OutputContext c{};
    c.mode = OUTPUT_SCREEN;
    c.window = OUTPUT_WINDOW_NONE;
    c.scale = c.widthScale = 1.0;
    c.zoom = c.widthZoom = 1.0;
    c.passMask = PASS_ALL;
    c.pageNumber = c.pageCount = 1;
    MatrixInit(&c.current);
    MatrixInit(&c.base);
    return c;
}();

void OutputSaveAttributeBlock(const OutputContext *context, OutputAttributeBlock *out)
{
    std::memcpy(out->bytes, reinterpret_cast<const uint8_t *>(context) + OUTPUT_ATTR_FIRST, OUTPUT_ATTR_SIZE);
}

void OutputLoadAttributeBlock(OutputContext *context, const OutputAttributeBlock *in)
{
    std::memcpy(reinterpret_cast<uint8_t *>(context) + OUTPUT_ATTR_FIRST, in->bytes, OUTPUT_ATTR_SIZE);
}

void OutputUseWhiteBackground()
{
    OutputContext &c = g_OutputContext;
    if (c.backgroundPenOwned && c.backgroundPen)
        DeleteObject(c.backgroundPen);
    if (c.backgroundBrushOwned && c.backgroundBrush)
        DeleteObject(c.backgroundBrush);
    c.backgroundPen = static_cast<HPEN>(GetStockObject(WHITE_PEN));
    c.backgroundBrush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    c.backgroundPenOwned = c.backgroundBrushOwned = 0;
    c.backgroundColour = RGB(255, 255, 255);
}

void OutputResetContext(uint32_t mode)
{
    OutputContext &c = g_OutputContext;
    if (c.backgroundPenOwned && c.backgroundPen)
        DeleteObject(c.backgroundPen);
    if (c.backgroundBrushOwned && c.backgroundBrush)
        DeleteObject(c.backgroundBrush);
    if (c.penOwned && c.pen)
        DeleteObject(c.pen);
    if (c.brushOwned && c.brush)
        DeleteObject(c.brush);
    c = OutputContext{};
    OutputResetAbort();
    c.mode = mode;
    c.window = OUTPUT_WINDOW_NONE;
    c.scale = c.widthScale = 1.0;
    c.zoom = c.widthZoom = 1.0;
    c.passMask = PASS_ALL;
    c.pageNumber = c.pageCount = 1;
    c.backgroundMode = TRANSPARENT;
    c.lineWidth = c.lineWidthUsed = XPROP_DEFAULT_WIDTH;
    c.capJoin = XPROP_DEFAULT_CAPJOIN;
    if (OutputIsScreenType(mode)) {
        c.backgroundColour = InitStandardColor(g_DrawingSettings.colorDrawArea);
        c.backgroundPen = g_SharedGdi.drawAreaPen;
        c.backgroundBrush = g_SharedGdi.drawAreaBrush;
    } else {
        c.backgroundColour = RGB(255, 255, 255);
        c.backgroundPen = static_cast<HPEN>(GetStockObject(WHITE_PEN));
        c.backgroundBrush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    }
    c.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    c.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    MatrixInit(&c.current);
    MatrixInit(&c.base);
}

void OutputSetupView(int32_t width, int32_t height, const double world[4], int32_t margin)
{
    OutputContext &c = g_OutputContext;
    const double ww = world[2] - world[0], wh = world[3] - world[1];
    double zoom = 1.0;
    if (ww > 0.0 && wh > 0.0)
        zoom = std::fmin(width / ww, height / wh);
    c.zoom = c.widthZoom = zoom;
    c.scale = c.widthScale = std::fabs(zoom);
    // Centre the world rectangle; world y grows upwards, device y downwards.
    const double cx = (world[0] + world[2]) / 2.0, cy = (world[1] + world[3]) / 2.0;
    MatrixInit(&c.base);
    MatrixMove(&c.base, -cx, -cy);
    MatrixScale(&c.base, zoom, -zoom);
    MatrixMove(&c.base, width / 2.0, height / 2.0);
    c.current = c.base;
    c.pixelClipRect[0] = 0;
    c.pixelClipRect[1] = 0;
    c.pixelClipRect[2] = width;
    c.pixelClipRect[3] = height;
    c.safePixelRect[0] = -margin;
    c.safePixelRect[1] = -margin;
    c.safePixelRect[2] = width + margin;
    c.safePixelRect[3] = height + margin;
    // The world rectangles of what the device shows.
    Matrix inverse;
    double visible[4] = {-1e300, -1e300, 1e300, 1e300};
    if (MatrixInvert(&c.base, &inverse)) {
        const double pixels[4] = {0.0, 0.0, static_cast<double>(width), static_cast<double>(height)};
        MatrixTransformRect(&inverse, pixels, visible);
    }
    std::memcpy(c.visibleRect, visible, sizeof visible);
    std::memcpy(c.outputRect, visible, sizeof visible);
    double noClip[4] = {1e300, 1e300, -1e300, -1e300};
    if (zoom > 0.0) {
        const double inner[4] = {0.0, 0.0, static_cast<double>(width), static_cast<double>(height)};
        MatrixTransformRect(&inverse, inner, noClip);
    }
    std::memcpy(c.noClipRect, noClip, sizeof noClip);
}

// ---------------------------------------------------------------------------
// Pen and layer states.

namespace {

uint32_t ScreenSetBit() { return g_DrawingSettings.displayExtern ? DEF_STATE_SHOWN_B : DEF_STATE_SHOWN_A; }
uint32_t PrintSetBit() { return g_DrawingSettings.outputIntern ? DEF_STATE_SHOWN_A : DEF_STATE_SHOWN_B; }
uint32_t CurrentSetBit() { return OutputUsesSetB() ? DEF_STATE_SHOWN_B : DEF_STATE_SHOWN_A; }

// The state word of a slot; index 0, an index out of range and a free slot
// answer as pen 0 and layer 0 do.
bool LayerHas(int32_t layer, uint32_t bit, bool answerForZero)
{
    if (layer == 0 || !LayerIsDefined(layer))
        return answerForZero;
    return (g_LayerDefs[layer].state & bit) != 0;
}

bool PenHas(int32_t pen, uint32_t bit, bool answerForZero)
{
    if (pen == 0 || !PenIsDefined(pen))
        return answerForZero;
    return (g_PenDefs[pen].state & bit) != 0;
}

} // namespace

int OutputUsesSetB()
{
    if (OutputIsScreenType(g_OutputContext.mode))
        return g_DrawingSettings.displayExtern ? 1 : 0;
    return g_DrawingSettings.outputIntern ? 0 : 1;
}

int OutputPrintUsesSetA() { return g_DrawingSettings.outputIntern ? 1 : 0; }

int OutputIsLayerShown(int32_t layer) { return LayerHas(layer, CurrentSetBit(), true); }
int OutputIsPenShown(int32_t pen) { return PenHas(pen, CurrentSetBit(), true); }
int OutputIsLayerShownScreen(int32_t layer) { return LayerHas(layer, ScreenSetBit(), true); }
int OutputIsPenShownScreen(int32_t pen) { return PenHas(pen, ScreenSetBit(), true); }
int OutputIsLayerShownPrint(int32_t layer) { return LayerHas(layer, PrintSetBit(), true); }
int OutputIsPenShownPrint(int32_t pen) { return PenHas(pen, PrintSetBit(), true); }
int OutputIsLayerLocked(int32_t layer) { return LayerHas(layer, DEF_STATE_LOCKED, false); }
int OutputIsPenLocked(int32_t pen) { return PenHas(pen, DEF_STATE_LOCKED, false); }
int OutputIsLayerNoPick(int32_t layer) { return LayerHas(layer, DEF_STATE_NO_PICK, false); }
int OutputIsPenNoPick(int32_t pen) { return PenHas(pen, DEF_STATE_NO_PICK, false); }

int OutputIsLayerPickable(int32_t layer)
{
    return OutputIsLayerNoPick(layer) ? 0 : OutputIsLayerShown(layer);
}

int OutputIsPenPickable(int32_t pen) { return OutputIsPenNoPick(pen) ? 0 : OutputIsPenShown(pen); }

int OutputIsLayerHighlighted(int32_t layer)
{
    return OutputIsScreenType(g_OutputContext.mode) && LayerHas(layer, DEF_STATE_HIGHLIGHT, false) ? 1 : 0;
}

int OutputIsPenHighlighted(int32_t pen)
{
    return OutputIsScreenType(g_OutputContext.mode) && PenHas(pen, DEF_STATE_HIGHLIGHT, false) ? 1 : 0;
}

void OutputResolvePenLayer(int32_t *pen, int32_t *layer)
{
    if (!LayerIsDefined(*layer))
        *layer = 0;
    if (*layer != 0) {
        const LayerDef &def = g_LayerDefs[*layer];
        const XProperty &set = OutputUsesSetB() ? def.setB : def.setA;
        if (set.ownFlags & XPROP_OWN_PEN)
            *pen = set.pen;
    }
    if (!PenIsDefined(*pen))
        *pen = 0;
}
