// The layout of the drawing on the paper: printable rectangle after the
// margins, mapping mode, area, scale and tiles; the output context of one
// printed page or tile; the miniature of the layout in the print dialog.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/unit.h"
#include "display/output.h"
#include "display/print.h"
#include "geometry/matrix.h"

PrintGeometry g_PrintGeometry;

namespace {

constexpr double MM_PER_INCH_INV = 0.03937007874016; // inches per millimetre
constexpr double FIT_SHARE = 0.98;
constexpr double HIENGLISH_PER_MM = 39.37007874016;
constexpr double LOMETRIC_PER_MM = 10.0;
constexpr double OTHER_PER_MM = 100.0;
constexpr int GROWN = 2;               // pixels around the printable rectangle for clipping
constexpr double PREVIEW_SHARE = 0.95;
constexpr int TILE_LABEL_INSET = 4;

int Round(double v) { return static_cast<int>(std::floor(v + 0.5)); }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

uint32_t SelectionMask(uint32_t selectionOnly) { return selectionOnly ? UNIT_SELECTED : 0; }

void UserArea(const PrintSettings *s, double area[4])
{
    std::memcpy(area, s->userRect, 4 * sizeof(double));
}

} // namespace

int PrintGetObjectArea(double rect[4], uint32_t selectionOnly)
{
    const int count = OutputPrintableExtents(SelectionMask(selectionOnly), rect);
    if (count < 1)
        rect[0] = rect[1] = rect[2] = rect[3] = 0.0;
    return count;
}

int PrintGetSheetArea(double rect[4], uint32_t selectionOnly)
{
    double unused[4];
    const int count = OutputPrintableExtents(SelectionMask(selectionOnly), unused);
    const int32_t active = g_PageDefs.active >= 0 && g_PageDefs.active < PAGE_SLOTS ? g_PageDefs.active : 0;
    std::memcpy(rect, g_PageDefs.frames[active], 4 * sizeof(double));
    return count;
}

int PrintComputeLayout(PrintSettings *settings, int32_t page)
{
    PrintGeometry &g = g_PrintGeometry;
    const double px = g.logPixelsX * MM_PER_INCH_INV, py = g.logPixelsY * MM_PER_INCH_INV;
    if (px <= 0.0 || py <= 0.0)
        return 0;
    int left = -g.physicalOffsetX, top = -g.physicalOffsetY;
    int right = g.physicalWidth - g.physicalOffsetX, bottom = g.physicalHeight - g.physicalOffsetY;
    const int centreX = (left + right) / 2, centreY = (top + bottom) / 2;
    const double *border = settings->border; // left, bottom, right, top
    left += std::min(Round(px * border[0]), g.horzRes / 2);
    top += std::min(Round(py * border[3]), g.vertRes / 2);
    right -= std::min(Round(px * border[2]), g.horzRes / 2);
    bottom -= std::min(Round(py * border[1]), g.vertRes / 2);
    left = Clamp(left, 0, g.horzRes - 1);
    right = Clamp(right, 0, g.horzRes - 1);
    top = Clamp(top, 0, g.vertRes - 1);
    bottom = Clamp(bottom, 0, g.vertRes - 1);
    const double W = (right - left) / px, H = (bottom - top) / py;

    const int32_t range = g_Options.coordRangeDRV;
    const double hiEnglishLimit = (range / 1000) * 25.4;
    if (W < hiEnglishLimit && H < hiEnglishLimit)
        g_OutputContext.printMapMode = MM_HIENGLISH;
    else if (W >= range / 10 || H >= range / 10)
        return 0;
    else
        g_OutputContext.printMapMode = MM_LOMETRIC;

    double area[4];
    double scale = settings->scale;
    const int32_t mode = settings->mode;
    if (mode == PRINT_MODE_TILES || mode == PRINT_MODE_FIT) {
        if (settings->userArea)
            UserArea(settings, area);
        else
            PrintGetObjectArea(area, settings->selOnly);
    } else if (settings->userArea) {
        UserArea(settings, area);
    } else {
        PrintGetSheetArea(area, settings->selOnly);
    }
    const double ax = std::fabs(area[2] - area[0]), ay = std::fabs(area[3] - area[1]);
    if (mode == PRINT_MODE_FIT) {
        if (ax == 0.0 && ay == 0.0)
            scale = 1.0;
        else if (ay == 0.0)
            scale = W * FIT_SHARE / ax;
        else if (ax == 0.0)
            scale = H * FIT_SHARE / ay;
        else
            scale = FIT_SHARE * std::min(W / ax, H / ay);
    }
    if (!(scale > 0.0))
        return 0;
    settings->scale = scale;

    g.scale = scale;
    std::memcpy(g.area, area, sizeof area);
    g.tileWidth = W / scale;
    g.tileHeight = H / scale;
    g.mode = mode;
    g.printable[0] = left;
    g.printable[1] = top;
    g.printable[2] = right;
    g.printable[3] = bottom;
    g.grown[0] = left - GROWN;
    g.grown[1] = top - GROWN;
    g.grown[2] = right + GROWN;
    g.grown[3] = bottom + GROWN;
    g.centre[0] = centreX;
    g.centre[1] = centreY;

    if (mode == PRINT_MODE_TILES) {
        g.tileWidth -= PRINT_TILE_OVERLAP;
        g.tileHeight -= PRINT_TILE_OVERLAP;
        // A tile no longer than the overlap would never advance over the area.
        if (g.tileWidth <= 0.0 || g.tileHeight <= 0.0)
            return 0;
        const double columns = std::floor(ax / g.tileWidth) + 1.0, rows = std::floor(ay / g.tileHeight) + 1.0;
        if (columns * rows > PRINT_TILES_MAX)
            return 0;
        g.columns = static_cast<int32_t>(columns);
        g.rows = static_cast<int32_t>(rows);
        g.gridWidth = g.tileWidth * g.columns;
        g.gridHeight = g.tileHeight * g.rows;
        if (settings->centered) {
            g.gridOrigin[0] = (area[0] + area[2] - g.gridWidth) / 2 - 0.5;
            g.gridOrigin[1] = (area[1] + area[3] + g.gridHeight + 1) / 2;
        } else {
            g.gridOrigin[0] = area[0] - 0.5;
            g.gridOrigin[1] = area[3] + 0.5;
        }
    } else {
        g.rows = g.columns = 1;
        g.gridWidth = g.tileWidth;
        g.gridHeight = g.tileHeight;
        if (mode == PRINT_MODE_FIT) {
            g.gridOrigin[0] = -(area[0] + area[2]) / 2;
            g.gridOrigin[1] = (area[1] + area[3]) / 2;
        } else {
            const int32_t p = page >= 0 && page < PAGE_SLOTS ? page : 0;
            const double *f = g_PageDefs.frames[p];
            g.gridOrigin[0] = (centreX - (left + right) / 2) / px + (f[0] + f[2]) / 2;
            g.gridOrigin[1] = (centreY - (top + bottom) / 2) / py + (f[1] + f[3]) / 2;
        }
    }
    return g.rows * g.columns;
}

int PrintSetupPage(double x1, double y1, double x2, double y2)
{
    OutputContext &c = g_OutputContext;
    const PrintGeometry &g = g_PrintGeometry;
    OutputUseWhiteBackground();

    const double unit = c.printMapMode == MM_LOMETRIC    ? LOMETRIC_PER_MM
                        : c.printMapMode == MM_HIENGLISH ? HIENGLISH_PER_MM
                                                         : OTHER_PER_MM;
    c.zoom = g.scale * unit;
    c.widthZoom = g_DrawingSettings.print.scaleWidths ? c.zoom : unit;
    c.window = OUTPUT_WINDOW_NONE;
    c.scale = c.widthScale = 1.0;
    c.mode = OUTPUT_PRINTER;
    c.palette = nullptr;
    c.lastOfBatch = 0;
    c.pageNumber = c.pageCount = 1;
    c.depth = 0;
    c.passMask = PASS_ALL;
    c.instance = nullptr;

    double cx, cy;
    if (g.mode == PRINT_MODE_TILES) {
        cx = (g.printable[0] + g.printable[2]) / 2.0;
        cy = (g.printable[1] + g.printable[3]) / 2.0;
    } else {
        cx = g.centre[0];
        cy = g.centre[1];
    }
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, -(x1 + x2) / 2, -(y1 + y2) / 2);
    MatrixScale(&m, c.zoom, c.zoom);
    MatrixMove(&m, cx, cy);
    c.base = c.current = m;

    const double visible[4] = {x1 - 10, y1 - 10, x2 + 10, y2 + 10};
    const double noClip[4] = {x1, y1, x2, y2};
    std::memcpy(c.visibleRect, visible, sizeof visible);
    std::memcpy(c.noClipRect, noClip, sizeof noClip);
    const int32_t r = g_Options.coordRangeDRV;
    const int32_t pixels[4] = {-1000, -1000 - r, r + 1000, 1000};
    std::memcpy(c.pixelClipRect, pixels, sizeof pixels);
    std::memcpy(c.safePixelRect, pixels, sizeof pixels);
    return 1;
}

void PrintPreviewPaint(HWND control, int32_t page)
{
    (void)page;
    if (!control)
        return;
    InvalidateRect(control, nullptr, FALSE);
    UpdateWindow(control);
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    if (!dc)
        return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    const COLORREF area = InitStandardColor(g_DrawingSettings.colorDrawArea);
    const COLORREF frame = InitStandardColor(g_DrawingSettings.colorPageFrame);
    HPEN framePen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME));
    HBRUSH back = CreateSolidBrush(area);
    SelectObject(dc, framePen);
    SelectObject(dc, back);
    Rectangle(dc, client.left, client.top, client.right, client.bottom);

    const PrintGeometry &g = g_PrintGeometry;
    double ext[4];
    if (g.mode == PRINT_MODE_TILES) {
        ext[0] = std::min(g.area[0], g.gridOrigin[0]);
        ext[1] = std::min(g.area[1], g.gridOrigin[1] - g.gridHeight);
        ext[2] = std::max(g.area[2], g.gridOrigin[0] + g.gridWidth);
        ext[3] = std::max(g.area[3], g.gridOrigin[1]);
    } else {
        ext[0] = -g.gridWidth / 2;
        ext[1] = -g.gridHeight / 2;
        ext[2] = g.gridWidth / 2;
        ext[3] = g.gridHeight / 2;
    }
    const double ex = ext[2] - ext[0], ey = ext[3] - ext[1];
    const double cw = client.right - client.left, ch = client.bottom - client.top;
    const double aspectX = g_ScreenMetrics.aspectX > 0 ? g_ScreenMetrics.aspectX : 1.0;
    const double aspectY = g_ScreenMetrics.aspectY > 0 ? g_ScreenMetrics.aspectY : 1.0;
    if (ex > 0.0 || ey > 0.0) {
        double s;
        if (ex <= 0.0)
            s = ch * PREVIEW_SHARE / ey * aspectY;
        else if (ey <= 0.0)
            s = cw * PREVIEW_SHARE / ex * aspectX;
        else
            s = PREVIEW_SHARE * std::min(cw / ex * aspectX, ch / ey * aspectY);
        Matrix m;
        MatrixInit(&m);
        MatrixMove(&m, -(ext[0] + ext[2]) / 2, -(ext[1] + ext[3]) / 2);
        MatrixScale(&m, s * aspectX, s * aspectY);
        MatrixMirrorY(&m);
        MatrixMove(&m, (client.left + client.right) / 2.0, (client.top + client.bottom) / 2.0);
        auto box = [&](const double r[4], RECT *out) {
            double p[4];
            MatrixTransformRect(&m, r, p);
            out->left = Round(p[0]);
            out->top = Round(p[1]);
            out->right = Round(p[2]);
            out->bottom = Round(p[3]);
        };

        // The printed area in the pattern of the page frame.
        double printed[4];
        std::memcpy(printed, g.area, sizeof printed);
        if (g.mode == PRINT_MODE_FIT) {
            const double mx = (g.area[0] + g.area[2]) / 2, my = (g.area[1] + g.area[3]) / 2;
            printed[0] -= mx, printed[2] -= mx, printed[1] -= my, printed[3] -= my;
        } else if (g.mode != PRINT_MODE_TILES) {
            const int32_t p = page >= 0 && page < PAGE_SLOTS ? page : 0;
            const double *f = g_PageDefs.frames[p];
            const double mx = (f[0] + f[2]) / 2, my = (f[1] + f[3]) / 2;
            printed[0] = std::max(printed[0] - mx, ext[0]);
            printed[2] = std::min(printed[2] - mx, ext[2]);
            printed[1] = std::max(printed[1] - my, ext[1]);
            printed[3] = std::min(printed[3] - my, ext[3]);
        }
        HBITMAP patternBits = LoadBitmapA(GetModuleHandleA(nullptr), "IDB_PATTERN");
        HBRUSH pattern = patternBits ? CreatePatternBrush(patternBits) : CreateHatchBrush(HS_BDIAGONAL, frame);
        SelectObject(dc, GetStockObject(NULL_PEN));
        SelectObject(dc, pattern);
        SetBkColor(dc, area);
        SetTextColor(dc, frame);
        RECT r;
        box(printed, &r);
        if (printed[2] >= printed[0] && printed[3] >= printed[1])
            Rectangle(dc, r.left, r.top, r.right + 1, r.bottom + 1);

        HPEN pagePen = CreatePen(PS_SOLID, 1, frame);
        SelectObject(dc, pagePen);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        if (g_SharedGdi.miniFontX)
            SelectObject(dc, g_SharedGdi.miniFontX);
        SetBkMode(dc, TRANSPARENT);
        char number[16];
        if (g.mode == PRINT_MODE_TILES) {
            for (int32_t row = 0; row < g.rows; ++row)
                for (int32_t column = 0; column < g.columns; ++column) {
                    const double x = g.gridOrigin[0] + column * g.tileWidth;
                    const double y = g.gridOrigin[1] - row * g.tileHeight;
                    const double tile[4] = {x, y - g.tileHeight, x + g.tileWidth, y};
                    box(tile, &r);
                    Rectangle(dc, r.left, r.top, r.right + 1, r.bottom + 1);
                    const int n = std::snprintf(number, sizeof number, "%d", row * g.columns + column + 1);
                    TextOutA(dc, r.left + TILE_LABEL_INSET, r.top + TILE_LABEL_INSET, number, n);
                }
        } else {
            box(ext, &r);
            Rectangle(dc, r.left, r.top, r.right + 1, r.bottom + 1);
            TextOutA(dc, r.left + TILE_LABEL_INSET, r.top + TILE_LABEL_INSET, "1", 1);
        }
        RestoreDC(dc, saved);
        DeleteObject(pagePen);
        DeleteObject(pattern);
        if (patternBits)
            DeleteObject(patternBits);
    } else {
        RestoreDC(dc, saved);
    }
    DeleteObject(framePen);
    DeleteObject(back);
    ReleaseDC(control, dc);
}
