// Feedback drawing for plug-in commands: the shapes of the program's own
// rubber-band feedback, drawn into the context the feedback callback gets.
#include <cstring>

#include "commands/command_state.h"
#include "commands/input_rubber.h"
#include "commands/transform.h"
#include "database/object_ident.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/undo.h"
#include "display/clip.h"
#include "display/output.h"
#include "geometry/calc.h"
#include "geometry/poly.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr int CLIPPED = 1;
constexpr uint32_t OUTLINE = DRAW_STROKE;

bool DcValid(HDC dc, const char *function, int line)
{
    return dc || ZviRefuse(function, line, "hDrawDC invalid!");
}

// The element picks keep one geometry record for each of the first steps.
constexpr int IDENT_RECORDS = sizeof(CommandState::elementGeo) / sizeof(GeoObject);

// An input point of the running command: 0 to the current point index.
bool PointValid(int index, const char *function, int line)
{
    if (g_CommandState && g_InputPoints && index >= 0 && index <= g_CommandState->pointIndex &&
        index < g_InputPointLimit)
        return true;
    return ZviRefuse(function, line, "PointIndex invalid!");
}

bool GeoOutValid(GeoObject *out, const char *function, int line)
{
    return ZviWritable(out, sizeof(GeoObject)) || ZviRefuse(function, line, "GeoObject address invalid!");
}

// The last object of the drawing carrying the temporary mark, dead or alive.
const Unit *LastTemporary()
{
    for (const Unit *u = g_ObjectLists[LIST_DRAWING].tail; u; u = u->prev)
        if (u->flags & UNIT_TEMPORARY)
            return u;
    return nullptr;
}

// Builds the regions around the points and joins them; the size of the
// joined surface (copied to result when it fits), 0 when nothing was built,
// -1 when it does not fit.
int BuildSurfaceAround(int firstPoint, int count, void *result, int size)
{
    bool built = true;
    for (int i = firstPoint; built && i < firstPoint + count; ++i)
        built = PolyGenerateSurface(UNIT_SELECTED, g_InputPoints[i].x, g_InputPoints[i].y) != 0;
    if (!built || !TransformSelectionToSurface(UNIT_TEMPORARY, 1))
        return 0;
    const Unit *surface = LastTemporary();
    if (!surface)
        return 0;
    const int bytes = static_cast<int>(surface->bytes);
    if (!result)
        return bytes;
    if (bytes > size)
        return -1;
    std::memcpy(result, surface, bytes);
    return bytes;
}

} // namespace

extern "C" {

void ZVI_CALL ZVI_InputDrawPoint(HDC dc, double x, double y)
{
    if (DcValid(dc, __func__, __LINE__))
        ClipDrawPoint(dc, x, y);
}

void ZVI_CALL ZVI_InputDrawLine(HDC dc, double x1, double y1, double x2, double y2)
{
    if (DcValid(dc, __func__, __LINE__))
        ClipDrawWorldLine(dc, x1, y1, x2, y2);
}

void ZVI_CALL ZVI_InputDrawEndless(HDC dc, double x1, double y1, double x2, double y2)
{
    if (DcValid(dc, __func__, __LINE__))
        ClipDrawEndlessLine(dc, x1, y1, x2, y2, CLIPPED, OUTLINE);
}

void ZVI_CALL ZVI_InputDrawBezier(HDC dc, double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                                  double y3)
{
    if (DcValid(dc, __func__, __LINE__))
        ClipDrawBezier(dc, x0, y0, x1, y1, x2, y2, x3, y3, CLIPPED, OUTLINE);
}

void ZVI_CALL ZVI_InputDrawFrame(HDC dc, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                                 double y4)
{
    if (!DcValid(dc, __func__, __LINE__))
        return;
    const double p[4][2] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    for (int i = 0; i < 4; ++i)
        ClipDrawWorldLine(dc, p[i][0], p[i][1], p[(i + 1) % 4][0], p[(i + 1) % 4][1]);
    ClipDrawWorldLine(dc, x1, y1, x3, y3);
    ClipDrawWorldLine(dc, x2, y2, x4, y4);
    ClipDrawWorldLine(dc, (x1 + x2) / 2, (y1 + y2) / 2, (x3 + x4) / 2, (y3 + y4) / 2);
    ClipDrawWorldLine(dc, (x1 + x4) / 2, (y1 + y4) / 2, (x2 + x3) / 2, (y2 + y3) / 2);
}

void ZVI_CALL ZVI_InputDrawCircle(HDC dc, double cx, double cy, double px, double py)
{
    if (DcValid(dc, __func__, __LINE__))
        ClipDrawCircle(dc, cx, cy, px, py, CLIPPED, OUTLINE);
}

void ZVI_CALL ZVI_InputDrawCircleArc(HDC dc, double cx, double cy, double px, double py, double sx, double sy,
                                     double ex, double ey, int direction)
{
    if (!DcValid(dc, __func__, __LINE__))
        return;
    CalcCirclePointTowards(cx, cy, px, py, sx, sy);
    const CalcPoint start = g_CalcPoints[0];
    CalcCirclePointTowards(cx, cy, px, py, ex, ey);
    const CalcPoint end = g_CalcPoints[0];
    const double sweep = CalcArcSweep(cx, cy, start.x, start.y, end.x, end.y, direction);
    ClipDrawCircleArc(dc, cx, cy, start.x, start.y, end.x, end.y, sweep, CLIPPED, OUTLINE);
}

void ZVI_CALL ZVI_InputDrawEllipse(HDC dc, double cx, double cy, double ax, double ay, double bx, double by)
{
    if (DcValid(dc, __func__, __LINE__))
        ClipDrawEllipse(dc, cx, cy, ax, ay, bx, by, CLIPPED, OUTLINE);
}

void ZVI_CALL ZVI_InputDrawEllipseArc(HDC dc, double cx, double cy, double ax, double ay, double bx, double by,
                                      double sx, double sy, double ex, double ey, int direction)
{
    if (!DcValid(dc, __func__, __LINE__))
        return;
    const double start = CalcEllipsePointTowards(cx, cy, ax, ay, bx, by, sx, sy);
    const CalcPoint s = g_CalcPoints[0];
    CalcEllipsePointTowards(cx, cy, ax, ay, bx, by, ex, ey);
    const CalcPoint e = g_CalcPoints[0];
    const double sweep = CalcEllipseArcSweep(cx, cy, ax, ay, bx, by, s.x, s.y, e.x, e.y, direction);
    ClipDrawEllipseArc(dc, cx, cy, ax, ay, bx, by, s.x, s.y, e.x, e.y, start, sweep, CLIPPED, OUTLINE);
}

void ZVI_CALL ZVI_InputDrawReference(HDC dc, const GeoObject *obj)
{
    if (!DcValid(dc, __func__, __LINE__))
        return;
    if (!ZviReadable(obj, sizeof(GeoObject))) {
        ZVI_REFUSE("GeoObject address invalid!");
        return;
    }
    InputDrawGeoObject(dc, obj);
}

int ZVI_CALL ZVI_InputGetIdentData(int, int pointIndex, GeoObject *out)
{
    if (!PointValid(pointIndex, __func__, __LINE__))
        return -1;
    if (pointIndex >= IDENT_RECORDS) // only the first steps pick elements
        return ZVI_REFUSE("PointIndex invalid!"), -1;
    if (!GeoOutValid(out, __func__, __LINE__))
        return -1;
    *out = g_CommandState->elementGeo[pointIndex];
    return out->type;
}

int ZVI_CALL ZVI_InputGetIdentObject(int, int pointIndex, GeoObject *out)
{
    if (!PointValid(pointIndex, __func__, __LINE__) || !GeoOutValid(out, __func__, __LINE__))
        return -1;
    return ObjectGetIdentGeometry(g_InputPoints[pointIndex].ident, out);
}

Unit *ZVI_CALL ZVI_InputGetIdentAddress(int, int pointIndex)
{
    if (!PointValid(pointIndex, __func__, __LINE__))
        return nullptr;
    return UndoFindIdent(g_InputPoints[pointIndex].ident);
}

int ZVI_CALL ZVI_InputGetGeneratedSurface(int, int firstPoint, int count, void *result, int size)
{
    if (!PointValid(firstPoint, __func__, __LINE__))
        return -1;
    if (count < 1 || count > g_CommandState->pointIndex - firstPoint)
        return ZVI_REFUSE("PointCount invalid!"), -1;
    if (result && (size < 0 || !ZviWritable(result, static_cast<size_t>(size))))
        return ZVI_REFUSE("ResultObj address invalid!"), -1;
    if (ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED) == 0)
        return 0;
    // The temporary regions and their join live in a bracket of their own
    // (joined to the plug-in's step when one is open) and go again for good.
    UndoInitProcess();
    const int answer = BuildSurfaceAround(firstPoint, count, result, size);
    UndoDeleteTemporary();
    UndoCancelProcess();
    return answer;
}

} // extern "C"
