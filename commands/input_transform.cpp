#include "commands/input_transform.h"

#include <cmath>

#include "app/system.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "geometry/calc.h"

namespace {

constexpr int32_t kStandardText = 801;
constexpr int32_t kShownNever = 1000000001; // the reference mark is never drawn by itself

ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }
const GeoObject &G1() { return g_CommandState->elementGeo[0]; }
CalcPoint Entered(int i) { return {g_InputPoints[i].x, g_InputPoints[i].y}; }

void SetCp(int i, double x, double y)
{
    Cp(i).x = x;
    Cp(i).y = y;
}

void SetCorner(int k, double x, double y)
{
    g_CommandState->corners[2 * k] = x;
    g_CommandState->corners[2 * k + 1] = y;
}

// The corners of R mapped by f, in the order (x1, y1), (x2, y1), (x2, y2), (x1, y2).
template <typename Map>
void MapCorners(Map f)
{
    const double *r = g_CommandState->rect;
    const double xs[4] = {r[0], r[2], r[2], r[0]}, ys[4] = {r[1], r[1], r[3], r[3]};
    for (int k = 0; k < 4; ++k) {
        double x, y;
        f(xs[k], ys[k], &x, &y);
        SetCorner(k, x, y);
    }
}

double TextShift()
{
    const double *r = g_CommandState->rect;
    switch (g_DrawingSettings.textStd.mode) {
    case 1: return (r[0] - r[2]) / 2; // the text centred on the cursor
    case 2: return r[0] - r[2];       // the text ending there
    default: return 0;
    }
}

int ConstructTransform(int32_t command, CalcPoint p1, CalcPoint p2)
{
    SetCp(2, p2.x, p2.y);
    const double *r = g_CommandState->rect;
    switch (command) {
    case 405:
    case 439:
        // The selection's frame with the reference position on the cursor.
        SetCorner(0, r[0] + p2.x, r[1] + p2.y);
        SetCorner(1, r[0] + p2.x, r[3] + p2.y);
        SetCorner(2, r[2] + p2.x, r[3] + p2.y);
        SetCorner(3, r[2] + p2.x, r[1] + p2.y);
        return 1;
    case 416: {
        const double a = CalcAngleOfVector(p2.x - p1.x, p2.y - p1.y), s = std::sin(a), c = std::cos(a);
        MapCorners([&](double x, double y, double *ox, double *oy) {
            *ox = x * c - y * s + p1.x;
            *oy = x * s + y * c + p1.y;
        });
        return 1;
    }
    case 424: {
        const double dx = p2.x - p1.x, dy = p2.y - p1.y;
        if (dx == 0)
            return 0;
        const double k = dy / dx;
        MapCorners([&](double x, double y, double *ox, double *oy) {
            *ox = x + p1.x;
            *oy = x * k + y + p1.y;
        });
        return 1;
    }
    case 423: {
        const double dx = p2.x - p1.x, dy = p2.y - p1.y;
        if (dy == 0)
            return 0;
        const double k = dx / dy;
        MapCorners([&](double x, double y, double *ox, double *oy) {
            *ox = y * k + x + p1.x;
            *oy = y + p1.y;
        });
        return 1;
    }
    default: return 1;
    }
}

// ---------------------------------------------------------------------------
// Change commands.

bool IsLine(int32_t t) { return t == GEO_LINE || t == 10; }
bool IsCircular(int32_t t) { return t >= GEO_CIRCLE && t <= GEO_CIRC_SEGM; }
bool IsElliptic(int32_t t) { return t >= GEO_ELLIPSE && t <= GEO_ELLI_SEGM; }
bool IsArc(int32_t t) { return t >= GEO_CIRC_ARC && t <= GEO_CIRC_SEGM; }

CalcPoint At(const GeoObject &g, int i) { return {g.d[i], g.d[i + 1]}; }
double Distance(CalcPoint a, CalcPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The end of G1 nearer to the pick position (the second on a tie), and the other.
void LineEnds(CalcPoint *nearEnd, CalcPoint *farEnd)
{
    const CalcPoint a = At(G1(), 0), b = At(G1(), 2), p0 = Entered(0);
    const bool first = Distance(a, p0) < Distance(b, p0);
    *nearEnd = first ? a : b;
    *farEnd = first ? b : a;
}

void SetReference(int32_t type, int first, const double *points, int count)
{
    GeoObject &g = g_CommandState->referenceGeo;
    g.type = type;
    g.reserved1 = first;
    for (int i = 0; i < count; ++i)
        g.d[i] = points[i];
}

void SetMark(CalcPoint p)
{
    g_CommandState->referenceGeo.d[6] = p.x;
    g_CommandState->referenceGeo.d[7] = p.y;
}

// The foot of p on the line a..b into cp target; 0 for a degenerate line.
int Foot(CalcPoint a, CalcPoint b, CalcPoint p, int target)
{
    if (!CalcPerpendicularFootLine(a.x, a.y, b.x, b.y, p.x, p.y))
        return 0;
    SetCp(target, g_CalcPoints[0].x, g_CalcPoints[0].y);
    return 1;
}

// The guide of a circle or ellipse with G1's centre and points.
void CurveGuide(int first)
{
    const GeoObject &g = G1();
    if (IsElliptic(g.type))
        SetReference(GEO_ELLIPSE, first, g.d, 6);
    else
        SetReference(GEO_CIRCLE, first, g.d, 4);
}

int CutStep1(const CalcPoint p1)
{
    const int32_t t = G1().type;
    if (IsLine(t)) {
        CalcPoint nearEnd, farEnd;
        LineEnds(&nearEnd, &farEnd);
        const double pts[4] = {nearEnd.x, nearEnd.y, farEnd.x, farEnd.y};
        SetReference(GEO_GEOLINE, kShownNever, pts, 4);
        SetCp(1, p1.x, p1.y);
        if (!Foot(nearEnd, farEnd, p1, 2))
            return 0;
        SetMark({Cp(2).x, Cp(2).y});
        return 1;
    }
    if (IsCircular(t) || IsElliptic(t)) {
        SetCp(0, G1().d[0], G1().d[1]);
        SetCp(1, p1.x, p1.y);
        CurveGuide(kShownNever);
        SetMark(p1);
    }
    // Paths need the nearest segment of the picked object, which the pick
    // leaves to the handler for now; other types are the handler's.
    return 1;
}

int CutStep2(int32_t command, const CalcPoint p2)
{
    const int32_t t = G1().type;
    if (command == 701 && IsLine(t)) {
        SetCp(3, p2.x, p2.y);
        return Foot(At(G1(), 0), At(G1(), 2), p2, 4);
    }
    const bool closed = t == GEO_CIRCLE || t == GEO_ELLIPSE;
    if (closed || (command == 701 && (IsCircular(t) || IsElliptic(t))))
        SetCp(2, p2.x, p2.y);
    return 1;
}

int LengthStep(const CalcPoint p1)
{
    const GeoObject &g = G1();
    if (IsLine(g.type)) {
        CalcPoint nearEnd, farEnd;
        LineEnds(&nearEnd, &farEnd);
        SetCp(0, farEnd.x, farEnd.y);
        const double pts[4] = {farEnd.x, farEnd.y, nearEnd.x, nearEnd.y};
        SetReference(GEO_GEOLINE, 1, pts, 4);
        SetCp(1, p1.x, p1.y);
        return Foot(At(g, 0), At(g, 2), p1, 2);
    }
    if (g.type == GEO_CIRCLE || IsArc(g.type)) {
        SetCp(0, g.d[0], g.d[1]);
        SetCp(1, p1.x, p1.y);
        SetReference(GEO_CIRCLE, kShownNever, g.d, 4);
    }
    if (IsArc(g.type)) {
        const double cx = g.d[0], cy = g.d[1];
        CalcCirclePointTowards(cx, cy, p1.x, p1.y, g.d[6], g.d[7]);
        SetCp(2, g_CalcPoints[0].x, g_CalcPoints[0].y);
        CalcCirclePointTowards(cx, cy, p1.x, p1.y, g.d[8], g.d[9]);
        SetCp(3, g_CalcPoints[0].x, g_CalcPoints[0].y);
        Cp(4).x = g.direction ? 1.0 : -1.0;
        Cp(5).x = CalcArcSweep(cx, cy, g.d[6], g.d[7], g.d[8], g.d[9], g.direction);
    }
    return 1;
}

// The arc end nearer to the pick position (the end point on a tie).
CalcPoint NearerArcEnd(const GeoObject &g)
{
    const CalcPoint s = At(g, 6), e = At(g, 8), p0 = Entered(0);
    return Distance(s, p0) < Distance(e, p0) ? s : e;
}

int EndStep(const CalcPoint p1)
{
    const GeoObject &g = G1();
    if (IsLine(g.type)) {
        CalcPoint nearEnd, farEnd;
        LineEnds(&nearEnd, &farEnd);
        SetCp(0, farEnd.x, farEnd.y);
        SetCp(1, nearEnd.x, nearEnd.y);
        const double pts[4] = {farEnd.x, farEnd.y, nearEnd.x, nearEnd.y};
        SetReference(GEO_CIRCLE, 1, pts, 4);
        const int n = CalcCirclePerpendicularFeet(farEnd.x, farEnd.y, nearEnd.x, nearEnd.y, p1.x, p1.y);
        const double p[2] = {p1.x, p1.y};
        double out[2];
        const int ok = InputNearestPoint(out, p, n);
        SetCp(1, out[0], out[1]);
        return ok;
    }
    if (IsArc(g.type)) {
        SetReference(GEO_CIRCLE, 1, g.d, 4);
        SetCp(0, g.d[0], g.d[1]);
        SetCp(1, g.d[2], g.d[3]);
        SetMark(NearerArcEnd(g));
        CalcCirclePointTowards(g.d[0], g.d[1], g.d[2], g.d[3], p1.x, p1.y);
        SetCp(2, g_CalcPoints[0].x, g_CalcPoints[0].y);
        return 1;
    }
    if (g.type >= GEO_ELLI_ARC && g.type <= GEO_ELLI_SEGM) {
        SetReference(GEO_ELLIPSE, 1, g.d, 6);
        SetCp(0, g.d[0], g.d[1]);
        SetCp(1, g.d[2], g.d[3]);
        SetCp(2, g.d[4], g.d[5]);
        SetMark(NearerArcEnd(g));
        CalcEllipsePointTowards(g.d[0], g.d[1], g.d[2], g.d[3], g.d[4], g.d[5], p1.x, p1.y);
        SetCp(3, g_CalcPoints[0].x, g_CalcPoints[0].y);
    }
    return 1;
}

} // namespace

void InputFeedbackFrameCorners(int cp, double dx)
{
    const Matrix &m = g_CommandState->matrix;
    const double ox = Cp(cp).x, oy = Cp(cp).y;
    MapCorners([&](double x, double y, double *rx, double *ry) {
        MatrixApply(m, x + dx, y, rx, ry);
        *rx += ox;
        *ry += oy;
    });
}

int InputConstructPlacement(int index, double x, double y)
{
    const int32_t command = g_CommandState->commandId;
    if (index == 0) {
        SetCp(0, x, y);
        InputFeedbackFrameCorners(0, command == kStandardText ? TextShift() : 0.0);
        return 1;
    }
    if (index == 2)
        return ConstructTransform(command, Entered(1), {x, y});
    SetCp(index, x, y);
    return 1;
}

int InputConstructChange(int index, double x, double y)
{
    const int32_t command = g_CommandState->commandId;
    const CalcPoint p = {x, y};
    if (command == 701 || command == 702)
        return index == 1 ? CutStep1(p) : CutStep2(command, p);
    if (command == 704)
        return LengthStep(p);
    if (command == 706)
        return EndStep(p);
    return 1;
}
