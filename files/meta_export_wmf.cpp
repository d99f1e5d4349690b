// The 16-bit Windows metafile export. It does not render objects itself: the
// enumeration stream hands over the drawing already reduced to paths, point
// marks and single characters in millimetres, and each record becomes a few
// 16-bit GDI calls on a memory metafile. Line types arrive cut into dashes,
// so every pen is solid; objects the stream gives no geometry for (bitmaps)
// are left out.
#include <cmath>
#include <cstdio>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/window_progress.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "display/output.h"
#include "files/meta.h"
#include "files/meta_internal.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"
#include "language/language.h"
#include "plugin/stream.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr int TEXT_RECORD = 23;        // eDialogText: "Record %d"
constexpr int32_t WMF_CLIP_MARGIN = 100;
// Tenths of a degree per radian, for the font escapement.
constexpr double TENTHS_PER_RADIAN = 572.9577951308;
constexpr double HALF_SQRT2 = 0.7071067811865;
// The stream's flags for the export: real fill colours, instances expanded,
// invisible texts skipped, the texts of objects and the plain members of
// blocks let through; dashing is left to the stream.
constexpr uint32_t WMF_ENUM_FLAGS = ENUM_FILLS | ENUM_GEOMETRY | ENUM_EXPAND_INSTANCES | ENUM_VISIBLE_ONLY;

// The state of one export, valid while the stream runs: the stream resets
// the output context for every object, so the mapping and the width zoom
// are kept here.
struct WmfExportState {
    HDC dc;
    Matrix map;
    double widthZoom;
    HPEN pen;
    HBRUSH brush;
    int32_t records;
};
WmfExportState g_WmfExport;

int32_t Round(double v) { return int32_t(std::floor(v + 0.5)); }

POINT MapPoint(double x, double y)
{
    double mx, my;
    MatrixApply(g_WmfExport.map, x, y, &mx, &my);
    return POINT{Round(mx), Round(my)};
}

bool StartsFigure(const EnumerateRecord &r, int32_t i) { return i > 0 && r.codes && r.codes[i] == ENUM_CODE_MOVE; }

// Open paths: one Polyline per figure.
void DrawOpenPath(HDC dc, const EnumerateRecord &r, POINT *points)
{
    int32_t first = 0;
    for (int32_t i = 0; i <= r.count; ++i) {
        if (i == r.count || StartsFigure(r, i)) {
            if (i > first)
                Polyline(dc, points + first, i - first);
            first = i;
        }
    }
}

// Closed areas: all figures in one PolyPolygon, so holes stay open. A record
// of more figures than the count table holds is drawn in batches of that many.
void DrawClosedPath(HDC dc, const EnumerateRecord &r, POINT *points, INT *counts)
{
    int32_t figures = 0, first = 0, batchStart = 0;
    for (int32_t i = 0; i <= r.count; ++i) {
        if (i < r.count && !StartsFigure(r, i))
            continue;
        if (i > first)
            counts[figures++] = i - first;
        first = i;
        if (figures == META_WMF_MAX_FIGURES || (i == r.count && figures > 0)) {
            PolyPolygon(dc, points + batchStart, counts, figures);
            batchStart = i;
            figures = 0;
        }
    }
}

void Stroke(HDC dc, double x0, double y0, double x1, double y1)
{
    const POINT a = MapPoint(x0, y0), b = MapPoint(x1, y1);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
}

// Point marks in the style of the drawing's output marks: "+", "x", circle.
void DrawMarks(HDC dc, const EnumerateRecord &r)
{
    const OutputMarkSetting &mark = g_DrawingSettings.outputMark;
    const double size = mark.size, d = size * HALF_SQRT2;
    for (int32_t i = 0; i < r.count; ++i) {
        const double x = r.points[2 * i], y = r.points[2 * i + 1];
        if (mark.kind & META_MARK_PLUS) {
            Stroke(dc, x - size, y, x + size, y);
            Stroke(dc, x, y - size, x, y + size);
        }
        if (mark.kind & META_MARK_CROSS) {
            Stroke(dc, x - d, y - d, x + d, y + d);
            Stroke(dc, x + d, y - d, x - d, y + d);
        }
        if (mark.kind & META_MARK_CIRCLE) {
            const POINT a = MapPoint(x - size, y - size), b = MapPoint(x + size, y + size);
            Ellipse(dc, a.x, a.y, b.x, b.y);
        }
    }
}

// One TextOut per character, each with a font made for its own matrix.
void DrawCharacters(HDC dc, const EnumerateRecord &r)
{
    if (!r.name1 || !r.matrix)
        return;
    SetTextColor(dc, g_OutputContext.textColour);
    SetTextAlign(dc, TA_BASELINE);
    SetBkMode(dc, TRANSPARENT);
    for (int32_t i = 0; i < r.count && r.name1[i]; ++i) {
        Matrix m = r.matrix[i];
        MatrixMultiply(&m, &g_WmfExport.map);
        HFONT font = MetaSelectFont(&r.font, m);
        if (!font)
            continue;
        HGDIOBJ old = SelectObject(dc, font);
        TextOutA(dc, Round(m.tx), Round(m.ty), &r.name1[i], 1);
        SelectObject(dc, old);
        DeleteObject(font);
    }
    SetTextAlign(dc, 0);
}

void ReplaceBrush(HDC dc, HBRUSH brush)
{
    SelectObject(dc, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    if (g_WmfExport.brush)
        DeleteObject(g_WmfExport.brush);
    g_WmfExport.brush = brush;
}

void ReplacePen(HDC dc, HPEN pen)
{
    SelectObject(dc, pen ? static_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
    if (g_WmfExport.pen)
        DeleteObject(g_WmfExport.pen);
    g_WmfExport.pen = pen;
}

} // namespace

HFONT MetaSelectFont(const FontDef *font, const Matrix &m)
{
    const double h = std::sqrt(m.c * m.c + m.d * m.d);
    const double angle = CalcAngleOfVector(m.a, m.b);
    const int32_t escapement = int32_t(std::floor(0.5 - angle * TENTHS_PER_RADIAN));
    const int32_t height = int32_t(std::floor(0.5 - h));
    return font->kind == FONT_KIND_DEVICE ? InitCreateFontDefDevice(height, escapement, font)
                                          : InitCreateFontDef(height, escapement, font);
}

void MetaSelectPen(HDC dc, const EnumerateRecord *r)
{
    // Fill modes 1 to 4 fill, 0, 2 and 4 draw the outline: 1 and 3 are
    // areas without one.
    const int32_t mode = r->drawMode;
    HBRUSH brush = nullptr;
    if (mode >= 1 && mode <= 4)
        brush = OutputCreateSolidBrush(dc, r->fillColor);
    ReplaceBrush(dc, brush);
    HPEN pen = nullptr;
    if (mode == FILL_NONE || mode == 2 || mode == 4) {
        const int width = std::abs(Round(r->width * g_WmfExport.widthZoom));
        pen = CreatePen(PS_SOLID, width, OutputMapColor(dc, r->lineColor));
    }
    ReplacePen(dc, pen);
}

void MetaFreeGdiObjects(HDC dc)
{
    ReplaceBrush(dc, nullptr);
    ReplacePen(dc, nullptr);
}

int __stdcall MetaDrawPrimitive(EnumerateRecord *r)
{
    HDC dc = g_WmfExport.dc;
    const bool drawn = r->command >= ENUM_CMD_OPEN_PATH && r->command <= ENUM_CMD_CHAR;
    if (drawn) {
        MetaSelectPen(dc, r);
        const bool path = r->command == ENUM_CMD_OPEN_PATH || r->command == ENUM_CMD_CLOSED_PATH;
        if (path && r->count > 0 && r->points) {
            // The record's points in logical units; the path arrays the
            // stream fills are sized so that their points fit the scratch buffer.
            ScratchUni2 scratch(__FILE__, __LINE__);
            TempBlock<INT> counts(META_WMF_MAX_FIGURES, __FILE__, __LINE__);
            auto *points = reinterpret_cast<POINT *>(g_Uni2);
            const int32_t capacity = int32_t(g_ObjectLimits.scratchSize / sizeof(POINT));
            if (scratch && counts && r->count <= capacity) {
                for (int32_t i = 0; i < r->count; ++i)
                    points[i] = MapPoint(r->points[2 * i], r->points[2 * i + 1]);
                if (r->command == ENUM_CMD_OPEN_PATH)
                    DrawOpenPath(dc, *r, points);
                else
                    DrawClosedPath(dc, *r, points, counts.get());
            }
        } else if (r->command == ENUM_CMD_POINTS && r->points) {
            DrawMarks(dc, *r);
        } else if (r->command == ENUM_CMD_CHAR) {
            DrawCharacters(dc, *r);
        }
    }
    if (WindowIsCancelled())
        return 0;
    if (drawn) {
        char text[PROGRESS_TEXT_SIZE];
        std::snprintf(text, sizeof text, eDialogText[TEXT_RECORD], g_WmfExport.records);
        WindowUpdateProgress(text, nullptr, 0, 0);
        ++g_WmfExport.records;
    }
    return 1;
}

int MetaCalcExtents(MetaExtent *extent)
{
    const double *r = g_OutputContext.outputRect;
    *extent = MetaComputeExtent(std::fabs(r[2] - r[0]), std::fabs(r[3] - r[1]), META_WMF_RANGE, META_WMF_SCALE_CAP);
    MetaSetMetafileContext(*extent, META_WMF_RANGE, WMF_CLIP_MARGIN);
    return 1;
}

HMETAFILE MetaCreateWmf(HWND owner, const char *path, uint32_t mask, MetaPlaceableHeader *header)
{
    if (MetaPrintableCount(owner, mask) < 1)
        return nullptr;
    MetaExtent e;
    MetaCalcExtents(&e);
    char text[PROGRESS_TEXT_SIZE];
    MetaExportProgressText(path, text, sizeof text);
    WindowShowProgress(eHeadlineText[META_TITLE_METAFILE], text, 0);

    HDC reference = GetDC(owner);
    HDC wmf = CreateMetaFileA(nullptr);
    if (!wmf) {
        ReleaseDC(owner, reference);
        WindowHideProgress();
        return nullptr;
    }
    *header = MetaMakePlaceableHeader(e);
    SetMapMode(wmf, MM_ANISOTROPIC);
    SetWindowOrgEx(wmf, 0, 0, nullptr);
    SetWindowExtEx(wmf, e.width, e.height, nullptr);
    SelectObject(wmf, GetStockObject(WHITE_BRUSH));
    SelectObject(wmf, GetStockObject(BLACK_PEN));
    g_WmfExport = WmfExportState{};
    g_WmfExport.dc = wmf;
    g_WmfExport.map = g_OutputContext.current;
    g_WmfExport.widthZoom = g_OutputContext.widthZoom;
    g_OutputContext.backgroundColour = RGB(255, 255, 255);

    uint32_t flags = WMF_ENUM_FLAGS;
    if (!g_DrawingSettings.outputTrueType)
        flags |= ENUM_TRUETYPE_STRINGS;
    const int enumerated = ZVI_EnumerateAll(ZVI_DRAWING, mask, mask, flags, MetaDrawPrimitive);
    const int cancelled = WindowIsCancelled();
    MetaFreeGdiObjects(wmf);
    g_WmfExport.dc = nullptr;
    WindowHideProgress();
    HMETAFILE handle = CloseMetaFile(wmf);
    ReleaseDC(owner, reference);
    // A stream that could not run (another enumeration, no memory) would
    // leave an empty picture: that is a failure the user hears of, not a file.
    if (handle && !enumerated && !cancelled) {
        DeleteMetaFile(handle);
        AlertNoDialog(owner);
        return nullptr;
    }
    return MetaFinishRecording(owner, handle, !cancelled, DeleteMetaFile);
}
