// Device pages: the output rectangle, the attributes of device-page outlines,
// the page frame and background, and the visibility tests of boxes.
#include <cmath>
#include <cstring>

#include "app/system.h"
#include "geometry/frame.h"
#include "app/system_defs.h"
#include "database/object_rects.h"
#include "database/storage.h"
#include "display/clip.h"
#include "display/output.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"

namespace {

OutputContext &Ctx() { return g_OutputContext; }

bool LineTypeHasPattern(int32_t lineType)
{
    return lineType > 0 && lineType < LINE_SLOTS && g_LineDefs[lineType].name[0] && g_LineDefs[lineType].pairs > 0;
}

// The image box of a box under a matrix, each coordinate mapped on its own.
void ImageBox(const Matrix &m, double x1, double y1, double x2, double y2, double out[4])
{
    const double ax1 = m.a * x1, ax2 = m.a * x2, cy1 = m.c * y1, cy2 = m.c * y2;
    const double bx1 = m.b * x1, bx2 = m.b * x2, dy1 = m.d * y1, dy2 = m.d * y2;
    out[0] = std::fmin(ax1, ax2) + std::fmin(cy1, cy2) + m.tx;
    out[2] = std::fmax(ax1, ax2) + std::fmax(cy1, cy2) + m.tx;
    out[1] = std::fmin(bx1, bx2) + std::fmin(dy1, dy2) + m.ty;
    out[3] = std::fmax(bx1, bx2) + std::fmax(dy1, dy2) + m.ty;
}

// The printable objects' extents of list 0 (alive, printable, flags & mask == mask).
int PrintableExtents(uint32_t mask, double rect[4])
{
    FrameSetEmpty(rect);
    int count = 0;
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u)) {
        if ((u->flags & mask) != mask || (u->flags & UNIT_NOT_PRINTABLE))
            continue;
        double f[4];
        std::memcpy(f, u->frame, sizeof f);
        bool usable = true;
        for (double v : f)
            if (v == CALC_NO_VALUE || v == -CALC_NO_VALUE)
                usable = false;
        if (!usable)
            continue;
        FrameUnion(rect, f);
        ++count;
    }
    return count;
}

} // namespace

int OutputPrintableExtents(uint32_t selectionMask, double rect[4])
{
    return PrintableExtents(selectionMask, rect);
}

int OutputGetRectangle(double rect[4], uint32_t selectionMask)
{
    double extents[4];
    const int count = PrintableExtents(selectionMask, extents);
    const OutputMarkSetting &frame = g_DrawingSettings.outputFrame;
    if (frame.kind == 1) {
        if (count < 1)
            extents[0] = extents[1] = extents[2] = extents[3] = 0.0;
        const double margin = frame.size;
        rect[0] = extents[0] - margin;
        rect[1] = extents[1] - margin;
        rect[2] = extents[2] + margin;
        rect[3] = extents[3] + margin;
    } else {
        const int32_t active = g_PageDefs.active >= 0 && g_PageDefs.active < PAGE_SLOTS ? g_PageDefs.active : 0;
        const double *page = g_PageDefs.frames[active];
        const double margin = g_DrawingSettings.outputFrameDistance;
        rect[0] = page[0] - margin;
        rect[1] = page[1] - margin;
        rect[2] = page[2] + margin;
        rect[3] = page[3] + margin;
    }
    return count;
}

int OutputSetAttributes(HDC hdc, const XProperty *record, const Matrix *matrix, uint32_t selectionMask)
{
    OutputContext &c = Ctx();
    if (OutputIsScreenType(c.mode))
        return 0;
    XProperty r;
    OutputPenXProperty(record, &r);
    const int32_t fm = r.fillMode;
    const bool fill = fm == FILL_SOLID || fm == FILL_SOLID_OUTLINE;
    const bool eraser = fm != FILL_NONE && !fill;
    const bool outline = fm != FILL_SOLID && fm != FILL_ERASER;
    c.lineColour = r.color2;
    if (outline) {
        c.lineWidth = c.lineWidthUsed = r.width;
        c.capJoin = r.capJoin;
        c.lineTypesOn = LineTypeHasPattern(r.lineType);
        c.lineType = c.lineTypesOn ? r.lineType : 0;
    } else {
        c.lineType = 0;
        c.lineWidth = c.lineWidthUsed = 0.0;
        c.capJoin = XPROP_DEFAULT_CAPJOIN;
    }
    c.textColour = c.fillColour = r.color1;
    c.layer = r.layer;
    c.widthsOn = 1;
    c.fillOn = fill;
    c.eraserFill = eraser;
    c.strokeOn = outline;
    c.drawFlags = 0;
    if (eraser)
        c.drawFlags = DRAW_FILL | DRAW_ERASER;
    if (fill)
        c.drawFlags |= DRAW_FILL;
    if (outline)
        c.drawFlags |= DRAW_STROKE;
    OutputSelectObjectGdi(hdc, &c);
    OutputGetRectangle(c.outputRect, selectionMask);
    if (c.depth >= 1) {
        c.current = *matrix;
        MatrixMultiply(&c.current, &c.base);
    }
    return 1;
}

void OutputRestoreAttributes(HDC hdc)
{
    OutputRestoreGdi(hdc, &Ctx());
    if (Ctx().depth >= 1)
        Ctx().current = Ctx().base;
}

void OutputBeginDevicePage(HDC hdc, uint32_t selectionMask, int fillBackground)
{
    OutputContext &c = Ctx();
    Matrix identity;
    MatrixInit(&identity);
    const XProperty frame = g_DrawingSettings.outputFrame.property;
    OutputSetAttributes(hdc, &frame, &identity, selectionMask);
    if (fillBackground && ClipPathBegin()) {
        const double *r = c.outputRect;
        g_WorkArrays.pathPoints[0] = {r[0], r[1]};
        g_WorkArrays.pathPoints[1] = {r[0], r[3]};
        g_WorkArrays.pathPoints[2] = {r[2], r[3]};
        g_WorkArrays.pathPoints[3] = {r[2], r[1]};
        ClipPathSetLineCodes(4);
        if (ClipPathPrepare(4, 1, 1))
            ClipPathFill(hdc, c.drawFlags);
    }
    if (c.drawFlags & DRAW_FILL) {
        if (c.backgroundPenOwned && c.backgroundPen)
            DeleteObject(c.backgroundPen);
        c.backgroundPen = static_cast<HPEN>(GetStockObject(NULL_PEN));
        c.backgroundPenOwned = 0;
        if (c.backgroundBrushOwned && c.backgroundBrush && c.backgroundBrush != c.brush)
            DeleteObject(c.backgroundBrush);
        c.backgroundBrush = c.brush;
        c.backgroundBrushOwned = c.brushOwned;
        c.backgroundColour = c.fillColour;
        c.brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        c.brushOwned = 0;
    }
    if (fillBackground)
        OutputRestoreAttributes(hdc);
}

int OutputDeviceBoxVisible(double x1, double y1, double x2, double y2)
{
    double box[4];
    ImageBox(Ctx().current, x1, y1, x2, y2, box);
    const int32_t *r = Ctx().pixelClipRect;
    return box[2] >= r[0] && box[0] <= r[2] && box[3] >= r[1] && box[1] <= r[3] ? 1 : 0;
}

int OutputBoxVisible(double x1, double y1, double x2, double y2, const Matrix *matrix)
{
    double box[4];
    ImageBox(*matrix, x1, y1, x2, y2, box);
    const double *v = Ctx().visibleRect;
    return box[2] >= v[0] && box[0] <= v[2] && box[3] >= v[1] && box[1] <= v[3] ? 1 : 0;
}
