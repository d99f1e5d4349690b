// Block previews.
#include "database/symbol_preview.h"

#include <algorithm>
#include <cstring>

#include "app/init_gdi.h"
#include "app/system.h"
#include "database/symbol_find.h"
#include "display/clip.h"
#include "display/output.h"
#include "geometry/matrix.h"

namespace {

constexpr int PREVIEW_BORDER = 2;     // pixels between the frame and the drawing
constexpr double PREVIEW_FILL = 0.98; // the share of the inner rectangle the block fills

bool Set(double v) { return v != 1e300 && v != -1e300; }

// The extent to show in turned coordinates: the members' extent, the block
// frame when it is set, and always the reference point.
bool Extent(const Unit *block, const Matrix &turn, double out[4])
{
    out[0] = out[1] = 0;
    out[2] = out[3] = 0;
    auto unite = [&](const double r[4]) {
        if (!Set(r[0]) || !Set(r[1]) || r[0] > r[2] || r[1] > r[3])
            return;
        double t[4];
        MatrixTransformRect(&turn, r, t);
        out[0] = std::min(out[0], t[0]);
        out[1] = std::min(out[1], t[1]);
        out[2] = std::max(out[2], t[2]);
        out[3] = std::max(out[3], t[3]);
    };
    unite(block->frame);
    unite(block->block.blockFrame);
    return out[2] - out[0] > 0 || out[3] - out[1] > 0;
}

} // namespace

void SymbolDrawPreviewDC(HWND control, int show, const char *library, const char *block, double angle,
                         const RECT *rect)
{
    HDC dc = GetDC(control);
    if (!dc)
        return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    HBRUSH area = CreateSolidBrush(InitStandardColor(g_DrawingSettings.colorDrawArea));
    HPEN frame = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_WINDOWFRAME));
    SelectObject(dc, area);
    SelectObject(dc, frame);
    Rectangle(dc, rect->left, rect->top, rect->right, rect->bottom);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(frame);
    DeleteObject(area);
    const RECT inner{rect->left + PREVIEW_BORDER, rect->top + PREVIEW_BORDER, rect->right - PREVIEW_BORDER,
                     rect->bottom - PREVIEW_BORDER};
    const int w = inner.right - inner.left, h = inner.bottom - inner.top;
    Unit *b = show && w > 0 && h > 0 ? SymbolFindBlock(library, block) : nullptr;
    Matrix turn;
    MatrixInit(&turn);
    MatrixRotate(&turn, angle);
    double extent[4];
    if (b && Extent(b, turn, extent)) {
        // Fit 98 % of the inner rectangle: widen the shown world around its centre.
        const double cx = (extent[0] + extent[2]) / 2, cy = (extent[1] + extent[3]) / 2;
        double dx = (extent[2] - extent[0]) / PREVIEW_FILL, dy = (extent[3] - extent[1]) / PREVIEW_FILL;
        if (dx <= 0)
            dx = dy * w / h;
        if (dy <= 0)
            dy = dx * h / w;
        const double shown[4] = {cx - dx / 2, cy - dy / 2, cx + dx / 2, cy + dy / 2};
        OutputResetContext(OUTPUT_SCREEN);
        OutputSetupView(w, h, shown, 0);
        OutputContext &c = g_OutputContext;
        // Turn first, then the fitted view, moved onto the inner rectangle.
        Matrix base = turn;
        MatrixMultiply(&base, &c.base);
        MatrixMove(&base, inner.left, inner.top);
        c.base = c.current = base;
        // The control's DC clips; the pixel rectangles only keep coordinates small.
        const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
        const int32_t wide[4] = {-sw, -sh, 2 * sw, 2 * sh};
        std::memcpy(c.pixelClipRect, wide, sizeof wide);
        std::memcpy(c.safePixelRect, wide, sizeof wide);
        Matrix inverse;
        if (MatrixInvert(&base, &inverse)) {
            const double pixels[4] = {double(inner.left), double(inner.top), double(inner.right), double(inner.bottom)};
            MatrixTransformRect(&inverse, pixels, c.visibleRect);
            std::memcpy(c.noClipRect, c.visibleRect, sizeof c.visibleRect);
            std::memcpy(c.outputRect, c.visibleRect, sizeof c.visibleRect);
        }
        c.window = OUTPUT_WINDOW_NONE;
        c.depth = 0;
        IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        Unit *savedInstance = c.currentInstance;
        c.currentInstance = b;
        Matrix identity;
        MatrixInit(&identity);
        for (Unit *m = b->block.firstMember; m; m = m->next) {
            const int drawn = m->kind == UNIT_KIND_OBJECT ? OutputDrawPlainObject(dc, m, &b->property, &identity, 1)
                                                          : OutputDrawInstance(dc, m, &b->property, &identity, 1);
            if (!drawn)
                break;
        }
        c.currentInstance = savedInstance;
        SetBkMode(dc, TRANSPARENT);
        HPEN mark = CreatePen(PS_SOLID, 0, InitStandardColor(g_DrawingSettings.colorFlag[3]));
        SelectObject(dc, mark);
        ClipDrawPointBox(dc, 0, 0);
        HPEN extentPen = CreatePen(PS_SOLID, 0, InitStandardColor(g_DrawingSettings.colorFlag[0]));
        SelectObject(dc, extentPen);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        if (b->frame[0] <= b->frame[2])
            ClipDrawWorldFrame(dc, b->frame[0], b->frame[1], b->frame[2], b->frame[3]);
        HPEN dotted = CreatePen(PS_DOT, 0, InitStandardColor(g_DrawingSettings.colorPageFrame));
        SelectObject(dc, dotted);
        if (Set(b->block.blockFrame[0]) && Set(b->block.blockFrame[1]))
            ClipDrawWorldFrame(dc, b->block.blockFrame[0], b->block.blockFrame[1], b->block.blockFrame[2],
                               b->block.blockFrame[3]);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(mark);
        DeleteObject(extentPen);
        DeleteObject(dotted);
    }
    RestoreDC(dc, saved);
    ReleaseDC(control, dc);
}

void SymbolDrawPreview(HWND control, int show, const char *library, const char *block)
{
    InvalidateRect(control, nullptr, FALSE);
    UpdateWindow(control);
    RECT r;
    GetClientRect(control, &r);
    SymbolDrawPreviewDC(control, show, library, block, 0.0, &r);
}
