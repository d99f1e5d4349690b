// Feedback drawing for plug-in commands: the shapes of the program's own
// rubber-band feedback, drawn into the context the feedback callback gets.
#include "commands/input_rubber.h"
#include "display/clip.h"
#include "display/output.h"
#include "geometry/calc.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr int CLIPPED = 1;
constexpr uint32_t OUTLINE = DRAW_STROKE;

bool DcValid(HDC dc, const char *function, int line)
{
    return dc || ZviRefuse(function, line, "hDrawDC invalid!");
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

} // extern "C"
