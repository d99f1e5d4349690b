// The rubber-band primitives and the two painters. Everything is drawn with
// R2_NOTXORPEN, a transparent background and the null brush: a second
// drawing with the same arguments gives the screen back.
#include "commands/input_rubber.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/window.h"
#include "commands/command_state.h"
#include "commands/input_path.h"
#include "database/storage.h"
#include "display/clip.h"
#include "display/output.h"
#include "display/screen.h"
#include "plugin/zvi_module.h"
#include "geometry/flat.h"
#include "geometry/matrix.h"

namespace {

constexpr int32_t POLYGON_CORNERS_FIRST = 3;
constexpr int32_t POLYGON_CORNERS_LAST = 99;
constexpr uint32_t SOLID = 0x10;
constexpr int CLIP_ON = 1;
constexpr int32_t POINTER_COMMAND = 403;
constexpr int32_t KIND_SELECTION_FIRST = 135;
constexpr int32_t KIND_SELECTION_LAST = 144;
constexpr int HANDLE_SIZE = 33;
constexpr int HANDLE_CENTRE = 16;
constexpr int HANDLE_STRIP_WIDTH = 360;
constexpr int HANDLE_PICTURES = 9;
constexpr int HANDLE_STEP = 40;
constexpr int HANDLE_BOX = 5;     // half the side of a drawn handle box
constexpr int HANDLE_CENTRE_PICTURE = 8;

const ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }
WorkPoint *Path() { return g_WorkArrays.pathPoints; }
uint32_t *PathTypes() { return g_WorkArrays.pathTypes; }
int PathRoom() { return static_cast<int>(g_MaxPathPoints); }
bool InPointRange(int i) { return i >= 0 && i < g_InputPointLimit; }

void SelectRecordedPen(HDC hdc, HPEN pen)
{
    SelectObject(hdc, pen);
    g_OutputContext.pen = pen;
}

void SelectRecordedBrush(HDC hdc, HBRUSH brush)
{
    SelectObject(hdc, brush);
    g_OutputContext.brush = brush;
}

void SetInverting(HDC hdc, HPEN pen)
{
    SetBkMode(hdc, TRANSPARENT);
    SetROP2(hdc, R2_NOTXORPEN);
    SelectRecordedBrush(hdc, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    SelectRecordedPen(hdc, pen);
}

// The pens of the rubber band in the current screen colours, made for one
// drawing: the colours may change at any time (a drawing brings its own).
struct RubberPens {
    HPEN solid = CreatePen(PS_SOLID, 1, InitStandardColor(g_DrawingSettings.colorInput));
    HPEN dotted = CreatePen(PS_DOT, 1, InitStandardColor(g_DrawingSettings.colorInput));
    HPEN points = CreatePen(PS_SOLID, 1, InitStandardColor(g_DrawingSettings.colorPoints));
    HPEN geometry = CreatePen(PS_SOLID, 1, InitStandardColor(g_DrawingSettings.colorGeometry));
    RubberPens() = default;
    ~RubberPens()
    {
        for (HPEN pen : {solid, dotted, points, geometry})
            if (pen)
                DeleteObject(pen);
    }
    RubberPens(const RubberPens &) = delete;
    RubberPens &operator=(const RubberPens &) = delete;
};

// The device context of a drawing window, set up for screen output and
// given back (with the objects it had selected) when the guard ends; the
// pens live as long as the context.
class RubberDc {
public:
    explicit RubberDc(int window)
    {
        const DrawWindow *w = WindowGetRecord(window);
        if (!w || !w->hwnd)
            return;
        hwnd_ = w->hwnd;
        savedPen_ = g_OutputContext.pen;
        savedBrush_ = g_OutputContext.brush;
        dc_ = GetDC(hwnd_);
        if (!dc_)
            return;
        saved_ = SaveDC(dc_);
        ScreenSetupOutput(dc_, window, nullptr, 1);
    }
    ~RubberDc()
    {
        if (!dc_)
            return;
        RestoreDC(dc_, saved_);
        ReleaseDC(hwnd_, dc_);
        // The pens made here go with the context: the output context must
        // not keep them.
        g_OutputContext.pen = savedPen_;
        g_OutputContext.brush = savedBrush_;
    }
    RubberDc(const RubberDc &) = delete;
    RubberDc &operator=(const RubberDc &) = delete;
    HDC dc() const { return dc_; }
    const RubberPens &pens() const { return pens_; }

private:
    RubberPens pens_;
    HWND hwnd_ = nullptr;
    HDC dc_ = nullptr;
    int saved_ = 0;
    HPEN savedPen_ = nullptr;
    HBRUSH savedBrush_ = nullptr;
};

// Step 1 of both painters: nothing before the first accepted point, except
// for insertions at a point and a pending selection rectangle.
bool SomethingToDraw()
{
    const CommandState &cs = *g_CommandState;
    return CommandMode() == TEMPLATE_REPEATED || cs.rectanglePending || cs.pointIndex > 0;
}

void AppendPath(int &count, double x, double y, uint32_t type)
{
    Path()[count] = {x, y};
    PathTypes()[count] = type;
    ++count;
}

int StrokePath(HDC hdc, int count, int closed)
{
    if (count <= 1 || !ClipPathBegin())
        return 0;
    if (!ClipPathPrepare(count, closed, CLIP_ON))
        return 0;
    return ClipPathStroke(hdc, SOLID);
}

// Appends the point at index i of an open or closed path and what belongs
// to it; returns the index to go on with, or -1 when the path buffer is full.
int AppendPathStep(HDC hdc, int i, int last, int &count)
{
    const ConstructionPoint &c = Cp(i);
    if (count + 3 >= PathRoom())
        return -1;
    switch (c.type) {
    case CPOINT_LINE: AppendPath(count, c.x, c.y, PATH_LINE); return i + 1;
    case CPOINT_CONTROL1: {
        if (count == 0)
            return i + 1;
        const WorkPoint s = Path()[count - 1];
        if (i < last - 1) {
            AppendPath(count, c.x, c.y, PATH_CONTROL1);
            AppendPath(count, Cp(i + 1).x, Cp(i + 1).y, PATH_CONTROL2);
            AppendPath(count, Cp(i + 2).x, Cp(i + 2).y, PATH_LINE);
            ClipDrawWorldLine(hdc, s.x, s.y, c.x, c.y);
            ClipDrawWorldLine(hdc, Cp(i + 1).x, Cp(i + 1).y, Cp(i + 2).x, Cp(i + 2).y);
            return i + 3;
        }
        if (i == last - 1) {
            // The second control point is being entered: the cursor's point
            // (last + 1) stands for both it and the end.
            if (!InPointRange(i + 2))
                return i + 2;
            AppendPath(count, c.x, c.y, PATH_CONTROL1);
            AppendPath(count, Cp(i + 2).x, Cp(i + 2).y, PATH_CONTROL2);
            AppendPath(count, Cp(i + 2).x, Cp(i + 2).y, PATH_LINE);
            ClipDrawWorldLine(hdc, s.x, s.y, c.x, c.y);
            return i + 2;
        }
        AppendPath(count, c.x, c.y, PATH_LINE);
        return i + 1;
    }
    case CPOINT_ARC_END:
        if (InPointRange(i + 1) && Cp(i + 1).type == CPOINT_ARC_PARAMETER && count > 0) {
            AppendPath(count, c.x, c.y, PATH_LINE);
            const int32_t added = FlatAddArcBulge(Path(), PathTypes(), count - 2, Cp(i + 1).x, Cp(i + 1).y);
            if (added < 0)
                return -1;
            count = count - 2 + added;
            return i + 2;
        }
        return i + 1;
    default: return i + 1;
    }
}

} // namespace

void InputFeedbackLine(HDC hdc, int i, int j, int draw)
{
    if (draw)
        ClipDrawWorldLine(hdc, Cp(i).x, Cp(i).y, Cp(j).x, Cp(j).y);
}

void InputFeedbackEndlessLine(HDC hdc, int i, int j, int draw)
{
    if (draw)
        ClipDrawEndlessLine(hdc, Cp(i).x, Cp(i).y, Cp(j).x, Cp(j).y, CLIP_ON, SOLID);
}

void InputFeedbackPolyline(HDC hdc, int last, int close, int fixed, int moving)
{
    const int p = g_CommandState->pointIndex;
    if (p < 1 || !InPointRange(last))
        return;
    if (fixed) {
        ClipMoveTo(hdc, Cp(0).x, Cp(0).y);
        for (int i = 1; i < p; ++i)
            ClipLineTo(hdc, Cp(i).x, Cp(i).y);
    }
    if (moving) {
        ClipMoveTo(hdc, Cp(p - 1).x, Cp(p - 1).y);
        for (int i = p; i <= last; ++i)
            ClipLineTo(hdc, Cp(i).x, Cp(i).y);
        if (close)
            ClipLineTo(hdc, Cp(0).x, Cp(0).y);
    }
}

void InputFeedbackPolygon(HDC hdc, int centre, int radiusPoint, int direction, int draw)
{
    const int32_t n = g_CommandDefaults.counts[COMMAND_COUNT_CORNERS];
    if (!draw || n < POLYGON_CORNERS_FIRST || n > POLYGON_CORNERS_LAST || !Path())
        return;
    Path()[0] = {Cp(centre).x, Cp(centre).y};
    Path()[1] = {Cp(radiusPoint).x, Cp(radiusPoint).y};
    Path()[2] = {Cp(direction).x, Cp(direction).y};
    const int32_t corners = FlatAddPolygon(Path(), 0, n);
    if (corners < 1) {
        // A full path buffer: a zero-length line, as the device primitive would.
        ClipMoveTo(hdc, Path()[0].x, Path()[0].y);
        ClipLineTo(hdc, Path()[0].x, Path()[0].y);
        return;
    }
    ClipMoveTo(hdc, Path()[0].x, Path()[0].y);
    for (int32_t i = 1; i < corners; ++i)
        ClipLineTo(hdc, Path()[i].x, Path()[i].y);
    ClipLineTo(hdc, Path()[0].x, Path()[0].y);
}

void InputFeedbackCircle(HDC hdc, int centre, int onCircle, int draw)
{
    if (draw)
        ClipDrawCircle(hdc, Cp(centre).x, Cp(centre).y, Cp(onCircle).x, Cp(onCircle).y, CLIP_ON, SOLID);
}

void InputFeedbackCircleArc(HDC hdc, int centre, int start, int end, int sweepHolder, int draw)
{
    if (draw)
        ClipDrawCircleArc(hdc, Cp(centre).x, Cp(centre).y, Cp(start).x, Cp(start).y, Cp(end).x, Cp(end).y,
                          Cp(sweepHolder).x, CLIP_ON, SOLID);
}

void InputFeedbackEllipse(HDC hdc, int centre, int axis1, int axis2, int draw)
{
    if (draw)
        ClipDrawEllipse(hdc, Cp(centre).x, Cp(centre).y, Cp(axis1).x, Cp(axis1).y, Cp(axis2).x, Cp(axis2).y,
                        CLIP_ON, SOLID);
}

void InputFeedbackEllipseArc(HDC hdc, int centre, int axis1, int axis2, int start, int end, int holder, int draw)
{
    if (draw)
        ClipDrawEllipseArc(hdc, Cp(centre).x, Cp(centre).y, Cp(axis1).x, Cp(axis1).y, Cp(axis2).x, Cp(axis2).y,
                           Cp(start).x, Cp(start).y, Cp(end).x, Cp(end).y, Cp(holder).x, Cp(holder).y, CLIP_ON,
                           SOLID);
}

namespace {

// Walks the path's construction points up to last: the whole path, or only
// the segment at the cursor, from the vertex before it. At a start point the
// figure callback sees what was collected before it (and whether the whole
// path is drawn). 0 when the path buffer ran full.
template <typename Figure>
int WalkPath(HDC hdc, int last, int whole, int &count, Figure figure)
{
    count = 0;
    int i = 0;
    if (!whole) {
        i = InputPolylinePreviousVertex(last);
        AppendPath(count, Cp(i).x, Cp(i).y, PATH_START);
        ++i;
    }
    while (i <= last) {
        if (Cp(i).type == CPOINT_START) {
            if (!figure(count, whole))
                return 0;
            AppendPath(count, Cp(i).x, Cp(i).y, PATH_START);
            ++i;
            continue;
        }
        i = AppendPathStep(hdc, i, last, count);
        if (i < 0)
            return 0;
    }
    return 1;
}

} // namespace

void InputFeedbackOpenPath(HDC hdc, int last, int whole)
{
    if (!Path() || !InPointRange(last))
        return;
    int count = 0;
    // An open path's start points stay in one figure.
    if (WalkPath(hdc, last, whole, count, [](int &, int) { return 1; }))
        StrokePath(hdc, count, 0);
}

void InputFeedbackClosedPath(HDC hdc, int last, int whole)
{
    if (!Path() || !InPointRange(last))
        return;
    int count = 0;
    // Each contour is closed and drawn when the next one starts.
    auto closeFigure = [hdc](int &n, int drawWhole) {
        if (drawWhole && n > 1) {
            if (!ClipPathBegin() || !ClipPathPrepare(n, 1, CLIP_ON))
                return 0;
            ClipPathFill(hdc, SOLID);
        }
        n = 0;
        return 1;
    };
    if (WalkPath(hdc, last, whole, count, closeFigure))
        StrokePath(hdc, count, 1);
}

void InputFeedbackRectangle(HDC hdc, double x1, double y1, double x2, double y2, int draw)
{
    if (draw)
        ClipDrawWorldFrame(hdc, x1, y1, x2, y2);
}

void InputFeedbackFrame(HDC hdc, int draw)
{
    if (!draw)
        return;
    const double *c = g_CommandState->corners;
    auto line = [hdc](double x1, double y1, double x2, double y2) { ClipDrawWorldLine(hdc, x1, y1, x2, y2); };
    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) % 4;
        line(c[2 * k], c[2 * k + 1], c[2 * n], c[2 * n + 1]);
    }
    line(c[0], c[1], c[4], c[5]);
    line(c[2], c[3], c[6], c[7]);
    line((c[0] + c[2]) / 2, (c[1] + c[3]) / 2, (c[4] + c[6]) / 2, (c[5] + c[7]) / 2);
    line((c[0] + c[6]) / 2, (c[1] + c[7]) / 2, (c[2] + c[4]) / 2, (c[3] + c[5]) / 2);
}

namespace {

// The handle strip of the program's resources, or, when the program has none,
// one drawn here: a small box for every handle and a cross for the centre.
// A clear bit inverts the screen.
HBITMAP LoadHandleStrip()
{
    if (HBITMAP strip = LoadBitmapA(GetModuleHandleA(nullptr), "IDB_MODIFY"))
        return strip;
    constexpr int ROW_BYTES = (HANDLE_STRIP_WIDTH + 15) / 16 * 2;
    static uint8_t bits[ROW_BYTES * HANDLE_SIZE];
    std::memset(bits, 0xFF, sizeof bits);
    auto invert = [](int x, int y) { bits[y * ROW_BYTES + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8))); };
    for (int k = 0; k < HANDLE_PICTURES; ++k) {
        const int cx = k * HANDLE_STEP + HANDLE_CENTRE, cy = HANDLE_CENTRE;
        for (int d = -HANDLE_BOX; d <= HANDLE_BOX; ++d) {
            if (k == HANDLE_CENTRE_PICTURE) {
                invert(cx + d, cy);
                if (d != 0)
                    invert(cx, cy + d);
                continue;
            }
            invert(cx + d, cy - HANDLE_BOX);
            invert(cx + d, cy + HANDLE_BOX);
            if (d != -HANDLE_BOX && d != HANDLE_BOX) {
                invert(cx - HANDLE_BOX, cy + d);
                invert(cx + HANDLE_BOX, cy + d);
            }
        }
    }
    return CreateBitmap(HANDLE_STRIP_WIDTH, HANDLE_SIZE, 1, 1, bits);
}

} // namespace

void InputFeedbackHandles(HDC hdc, int draw)
{
    if (!draw)
        return;
    const double *r = g_CommandState->rect;
    ClipDrawWorldFrame(hdc, r[0], r[1], r[2], r[3]);
    const Matrix &m = g_OutputContext.current;
    double px[4], py[4]; // (x1,y1), (x1,y2), (x2,y1), (x2,y2)
    MatrixApply(m, r[0], r[1], &px[0], &py[0]);
    MatrixApply(m, r[0], r[3], &px[1], &py[1]);
    MatrixApply(m, r[2], r[1], &px[2], &py[2]);
    MatrixApply(m, r[2], r[3], &px[3], &py[3]);
    auto mid = [](double a, double b) { return (a + b) / 2; };
    struct Handle {
        double x, y;
        int source;
    };
    const Handle handles[9] = {
        {px[0], py[0], 0},
        {mid(px[0], px[1]), mid(py[0], py[1]), 160},
        {px[1], py[1], 40},
        {mid(px[0], px[2]), mid(py[0], py[2]), 280},
        {mid(px[0], px[3]), mid(py[0], py[3]), 320},
        {mid(px[1], px[3]), mid(py[1], py[3]), 200},
        {px[2], py[2], 120},
        {mid(px[2], px[3]), mid(py[2], py[3]), 240},
        {px[3], py[3], 80},
    };
    HBITMAP strip = LoadHandleStrip();
    HDC memory = CreateCompatibleDC(hdc);
    HGDIOBJ previous = memory && strip ? SelectObject(memory, strip) : nullptr;
    SetBkColor(hdc, RGB(0, 0, 0));
    SetTextColor(hdc, RGB(255, 255, 255));
    const int32_t *clip = g_OutputContext.pixelClipRect;
    for (const Handle &h : handles) {
        if (h.x < clip[0] || h.x > clip[2] || h.y < clip[1] || h.y > clip[3])
            continue;
        if (memory && strip)
            BitBlt(hdc, static_cast<int>(std::floor(h.x + 0.5)) - HANDLE_CENTRE,
                   static_cast<int>(std::floor(h.y + 0.5)) - HANDLE_CENTRE, HANDLE_SIZE, HANDLE_SIZE, memory,
                   h.source, 0, SRCINVERT);
    }
    if (previous)
        SelectObject(memory, previous);
    if (memory)
        DeleteDC(memory);
    if (strip)
        DeleteObject(strip);
}

void InputFeedbackMarker(HDC hdc, int entry, int draw)
{
    if (draw && InPointRange(entry))
        ClipDrawPointMark(hdc, g_InputPoints[entry].x, g_InputPoints[entry].y);
}

void InputFeedbackMarkers(HDC hdc, int count, int draw)
{
    if (!draw || g_CommandState->commandId == POINTER_COMMAND)
        return;
    for (int i = 0; i < count && InPointRange(i); ++i) {
        const int32_t kind = g_InputPoints[i].kind;
        if (kind == 0 || (kind >= KIND_SELECTION_FIRST && kind <= KIND_SELECTION_LAST))
            continue;
        ClipDrawPointMark(hdc, g_InputPoints[i].x, g_InputPoints[i].y);
    }
}

void InputFeedbackFrameCorners(double x, double y, double dx)
{
    CommandState &cs = *g_CommandState;
    const double *r = cs.rect;
    const double corners[4][2] = {{r[0], r[1]}, {r[2], r[1]}, {r[2], r[3]}, {r[0], r[3]}};
    for (int k = 0; k < 4; ++k) {
        double tx, ty;
        MatrixApply(cs.matrix, corners[k][0] + dx, corners[k][1], &tx, &ty);
        cs.corners[2 * k] = tx + x;
        cs.corners[2 * k + 1] = ty + y;
    }
}

void InputDrawGeoObject(HDC hdc, const GeoObject *g)
{
    // Made here: plug-ins call this with device contexts of their own.
    const HPEN pen = CreatePen(PS_SOLID, 1, InitStandardColor(g_DrawingSettings.colorGeometry));
    const HPEN previous = static_cast<HPEN>(GetCurrentObject(hdc, OBJ_PEN));
    const HPEN recorded = g_OutputContext.pen;
    SetInverting(hdc, pen);
    const double *d = g->d;
    switch (g->type) {
    case GEO_LINE: ClipDrawLineStyled(hdc, d[0], d[1], d[2], d[3], CLIP_ON, SOLID); break;
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE: ClipDrawCircle(hdc, d[0], d[1], d[2], d[3], CLIP_ON, SOLID); break;
    case GEO_ELLIPSE:
    case GEO_GEOELLI: ClipDrawEllipse(hdc, d[0], d[1], d[2], d[3], d[4], d[5], CLIP_ON, SOLID); break;
    case GEO_GEOLINE: ClipDrawEndlessLine(hdc, d[0], d[1], d[2], d[3], CLIP_ON, SOLID); break;
    default: break;
    }
    // The caller goes on with the pen it had.
    SelectObject(hdc, previous);
    g_OutputContext.pen = recorded;
    if (pen)
        DeleteObject(pen);
}

int InputFeedbackDrawWindow(int window, uint32_t flags)
{
    const CommandState &cs = *g_CommandState;
    if (!SomethingToDraw())
        return 0;
    int fixed = 1, moving = 0;
    if (cs.pointValid) {
        fixed = (flags & RUBBER_ALL) != 0;
        moving = (flags & (RUBBER_MOVING | RUBBER_ALL)) != 0;
    } else if (!(flags & RUBBER_FIXED)) {
        return 0;
    }
    RubberDc rubber(window);
    const HDC hdc = rubber.dc();
    if (!hdc)
        return 0;
    const RubberPens &pens = rubber.pens();
    SetInverting(hdc, pens.solid);
    const int p = cs.pointIndex;
    if (cs.rectanglePending && InPointRange(p)) {
        SelectRecordedPen(hdc, pens.dotted);
        InputFeedbackRectangle(hdc, cs.rect[0], cs.rect[1], g_InputPoints[p].x, g_InputPoints[p].y, moving);
        SelectRecordedPen(hdc, pens.solid);
    }
    // Plug-in commands draw their own rubber band through their module.
    if (cs.commandId < COMMAND_PLUGIN_FIRST || cs.commandId > COMMAND_PLUGIN_LAST)
        InputFeedbackDrawCommand(hdc, p, fixed, moving);
    else
        PluginInputFeedback(cs.commandId, p, hdc, fixed, moving);
    SelectRecordedPen(hdc, pens.points);
    InputFeedbackMarkers(hdc, p, fixed);
    return 1;
}

int InputDrawReferenceMarkWindow(int window, uint32_t flags)
{
    const CommandState &cs = *g_CommandState;
    if (!SomethingToDraw())
        return 0;
    int draw = 1;
    if (cs.pointValid)
        draw = (flags & RUBBER_ALL) != 0;
    else if (!(flags & RUBBER_FIXED))
        return 0;
    const GeoObject &g = cs.referenceGeo;
    if (g.type < 0 || !draw || g.reserved1 > cs.pointIndex)
        return 0;
    RubberDc rubber(window);
    if (!rubber.dc())
        return 0;
    InputDrawGeoObject(rubber.dc(), &g);
    return 1;
}
