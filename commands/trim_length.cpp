// Length and angle changes of one simple object: to a point the user placed,
// or to a boundary element the user picked. The changed geometry goes
// through the candidate table into the place of the old object.
#include "commands/trim.h"

#include <cmath>
#include <vector>

#include "app/darad4.h"
#include "commands/command_state.h"
#include "database/object_types.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"
#include "geometry/calc_candidate.h"

namespace {

// Construction points the 704 and 706 constructions leave.
constexpr int CP_FIXED_END = 0;   // lines: the end that stays
constexpr int CP_CENTRE = 0;
constexpr int CP_CIRCLE_POINT = 1;
constexpr int CP_LENGTH_FOOT = 2; // 704 lines: the new end
constexpr int CP_ARC_START = 2;   // 704 arcs: the ends on the new circle
constexpr int CP_ARC_END = 3;
constexpr int CP_ARC_ORIENT = 4;
constexpr int CP_TURNED_END = 1;  // 706 lines
constexpr int CP_ARC_NEW_END = 2; // 706 arcs
constexpr int CP_ELLI_NEW_END = 3; // 706 elliptic arcs

const ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }
CalcPoint Entered(int i) { return {g_InputPoints[i].x, g_InputPoints[i].y}; }
GeoObject &Candidate() { return g_CalcCandidates[0]; }

bool IsLine(int32_t t) { return t == GEO_LINE || t == OBJTYPE_ZIGZAG; }
bool IsBoundaryLine(int32_t t) { return t == GEO_LINE || t == GEO_GEOLINE; }
bool IsCircular(int32_t t) { return t == GEO_GEOCIRCLE || (t >= GEO_CIRCLE && t <= GEO_CIRC_SEGM); }
bool IsElliptic(int32_t t) { return t == GEO_GEOELLI || (t >= GEO_ELLIPSE && t <= GEO_ELLI_SEGM); }
bool IsArc(int32_t t) { return t >= GEO_CIRC_ARC && t <= GEO_CIRC_SEGM; }
bool IsElliArc(int32_t t) { return t >= GEO_ELLI_ARC && t <= GEO_ELLI_SEGM; }

double Dist(const CalcPoint &a, const CalcPoint &b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The solver's points from the given slots.
std::vector<CalcPoint> Slots(int count, int stride = 1)
{
    std::vector<CalcPoint> out;
    for (int i = 0; i < count && i < CALC_POINT_SLOTS; i += stride)
        out.push_back(g_CalcPoints[i]);
    return out;
}

// The candidate nearest to q (the earlier one on a tie); false when none.
bool NearestTo(const std::vector<CalcPoint> &points, const CalcPoint &q, CalcPoint *out)
{
    double best = 1e300;
    for (const CalcPoint &p : points)
        if (Dist(p, q) < best)
            best = Dist(p, q), *out = p;
    return best < 1e300;
}

// Replaces the picked object by candidate record 0.
int ReplaceByCandidate() { return TrimReplaceByCandidates(g_InputPoints[0].ident, 1); }

void SetPoint(GeoObject &g, int at, double x, double y) { g.d[at] = x, g.d[at + 1] = y; }

// A boundary whose type none of the commands follow: alert 60, then 8.
int RefuseBoundary()
{
    AlertSM60(g_MainWnd);
    AlertSM8(g_MainWnd);
    return 0;
}

int NoSolution()
{
    AlertSM8(g_MainWnd);
    return 0;
}

int UnhandledObject()
{
    AlertSM60(g_MainWnd);
    return 0;
}

// Where the carrier of the line a-b meets the boundary; false for a boundary
// type that is not followed.
bool LineMeets(const GeoObject &b, double ax, double ay, double bx, double by, std::vector<CalcPoint> *out)
{
    if (IsBoundaryLine(b.type)) {
        if (CalcIntersectLineLine(ax, ay, bx, by, b.d[0], b.d[1], b.d[2], b.d[3]))
            *out = Slots(1);
    } else if (IsCircular(b.type)) {
        *out = Slots(CalcIntersectLineCircle(ax, ay, bx, by, b.d[0], b.d[1], b.d[2], b.d[3]));
    } else if (IsElliptic(b.type)) {
        *out = Slots(CalcIntersectLineEllipse(ax, ay, bx, by, b.d[0], b.d[1], b.d[2], b.d[3], b.d[4], b.d[5]));
    } else {
        return false;
    }
    return true;
}

double LineParameter(const GeoObject &g, const CalcPoint &p)
{
    return CalcPerpendicularFootLine(g.d[0], g.d[1], g.d[2], g.d[3], p.x, p.y) ? g_CalcPoints[1].x : 0.0;
}

// The points where a circle about c touches the boundary.
bool TouchingPoints(const GeoObject &b, const CalcPoint &c, std::vector<CalcPoint> *out)
{
    if (IsBoundaryLine(b.type)) {
        CalcPerpendicularFootLine(b.d[0], b.d[1], b.d[2], b.d[3], c.x, c.y);
        *out = Slots(1);
    } else if (IsCircular(b.type)) {
        if (std::fabs(b.d[0] - c.x) >= CALC_ZERO || std::fabs(b.d[1] - c.y) >= CALC_ZERO)
            *out = Slots(CalcIntersectLineCircle(c.x, c.y, b.d[0], b.d[1], b.d[0], b.d[1], b.d[2], b.d[3]));
        else
            *out = {{b.d[2], b.d[3]}};
    } else if (IsElliptic(b.type)) {
        *out = Slots(CalcEllipsePerpendicularFeet(b.d[0], b.d[1], b.d[2], b.d[3], b.d[4], b.d[5], c.x, c.y));
    } else {
        return false;
    }
    return true;
}

// The arc ends taken along to the circle through the new circle point.
void ArcOnNewCircle(GeoObject &g)
{
    for (const int at : {6, 8}) {
        CalcCirclePointTowards(g.d[0], g.d[1], g.d[2], g.d[3], g.d[at], g.d[at + 1]);
        SetPoint(g, at, g_CalcPoints[0].x, g_CalcPoints[0].y);
    }
}

// Where the full circle or ellipse of an arc meets the boundary.
bool ArcMeets(const GeoObject &g, const GeoObject &b, std::vector<CalcPoint> *out)
{
    const double *d = g.d, *e = b.d;
    if (IsArc(g.type)) {
        if (IsBoundaryLine(b.type))
            *out = Slots(CalcIntersectLineCircle(e[0], e[1], e[2], e[3], d[0], d[1], d[2], d[3]));
        else if (IsCircular(b.type))
            *out = Slots(CalcIntersectCircleCircle(d[0], d[1], d[2], d[3], e[0], e[1], e[2], e[3]));
        else if (IsElliptic(b.type))
            *out = Slots(CalcIntersectCircleEllipse(d[0], d[1], d[2], d[3], e[0], e[1], e[2], e[3], e[4], e[5]), 2);
        else
            return false;
        return true;
    }
    if (IsBoundaryLine(b.type))
        *out = Slots(CalcIntersectLineEllipse(e[0], e[1], e[2], e[3], d[0], d[1], d[2], d[3], d[4], d[5]));
    else if (IsCircular(b.type))
        *out = Slots(CalcIntersectCircleEllipse(e[0], e[1], e[2], e[3], d[0], d[1], d[2], d[3], d[4], d[5]), 2);
    else if (IsElliptic(b.type))
        *out = Slots(
            CalcIntersectEllipseEllipse(d[0], d[1], d[2], d[3], d[4], d[5], e[0], e[1], e[2], e[3], e[4], e[5]), 2);
    else
        return false;
    return true;
}

int LengthToPoint(const GeoObject &g, GeoObject &c)
{
    const int32_t type = g.type;
    if (IsLine(type)) {
        SetPoint(c, 0, Cp(CP_FIXED_END).x, Cp(CP_FIXED_END).y);
        SetPoint(c, 2, Cp(CP_LENGTH_FOOT).x, Cp(CP_LENGTH_FOOT).y);
    } else if (type == GEO_CIRCLE || type == GEO_GEOCIRCLE) {
        SetPoint(c, 0, Cp(CP_CENTRE).x, Cp(CP_CENTRE).y);
        SetPoint(c, 2, Cp(CP_CIRCLE_POINT).x, Cp(CP_CIRCLE_POINT).y);
    } else if (IsArc(type)) {
        SetPoint(c, 2, Cp(CP_CIRCLE_POINT).x, Cp(CP_CIRCLE_POINT).y);
        SetPoint(c, 6, Cp(CP_ARC_START).x, Cp(CP_ARC_START).y);
        SetPoint(c, 8, Cp(CP_ARC_END).x, Cp(CP_ARC_END).y);
        c.direction = Cp(CP_ARC_ORIENT).x >= 0 ? 1 : 0;
    } else {
        return UnhandledObject();
    }
    return 1;
}

int LengthToBoundary(const GeoObject &g, GeoObject &c)
{
    const int32_t type = g.type;
    const GeoObject &boundary = g_CommandState->elementGeo[1];
    const CalcPoint p = Entered(0), q = Entered(1);
    std::vector<CalcPoint> points;
    CalcPoint at;
    if (IsLine(type)) {
        if (!LineMeets(boundary, g.d[0], g.d[1], g.d[2], g.d[3], &points))
            return RefuseBoundary();
        if (!NearestTo(points, q, &at))
            return NoSolution();
        const double tp = LineParameter(g, p), ti = LineParameter(g, at);
        // Beyond an end extends that end; on the line the picked side goes.
        if (ti > 1 || !(tp < ti || ti < 0))
            SetPoint(c, 2, at.x, at.y);
        else
            SetPoint(c, 0, at.x, at.y);
    } else if (IsCircular(type)) {
        if (!TouchingPoints(boundary, {g.d[0], g.d[1]}, &points))
            return RefuseBoundary();
        if (!NearestTo(points, q, &at))
            return NoSolution();
        SetPoint(c, 2, at.x, at.y);
        if (IsArc(type))
            ArcOnNewCircle(c);
    } else {
        return UnhandledObject();
    }
    return 1;
}

int AngleToPoint(const GeoObject &g, GeoObject &c)
{
    const int32_t type = g.type;
    if (IsLine(type)) {
        SetPoint(c, 0, Cp(CP_FIXED_END).x, Cp(CP_FIXED_END).y);
        SetPoint(c, 2, Cp(CP_TURNED_END).x, Cp(CP_TURNED_END).y);
    } else if (IsArc(type) || IsElliArc(type)) {
        const ConstructionPoint &to = Cp(IsArc(type) ? CP_ARC_NEW_END : CP_ELLI_NEW_END);
        const CalcPoint p = Entered(0);
        const bool startNearer = Dist({g.d[6], g.d[7]}, p) < Dist({g.d[8], g.d[9]}, p);
        SetPoint(c, startNearer ? 6 : 8, to.x, to.y);
    } else {
        return UnhandledObject();
    }
    return 1;
}

int AngleToBoundary(const GeoObject &g, GeoObject &c)
{
    const int32_t type = g.type;
    const GeoObject &b = g_CommandState->elementGeo[1];
    const CalcPoint p = Entered(0), q = Entered(1);
    std::vector<CalcPoint> points;
    CalcPoint at;
    if (IsLine(type)) {
        // The line turns about its end farther from the pick, keeping its length.
        const CalcPoint s{g.d[0], g.d[1]}, e{g.d[2], g.d[3]};
        const bool startFixed = Dist(e, p) <= Dist(s, p);
        const CalcPoint f = startFixed ? s : e, m = startFixed ? e : s;
        const double length = Dist(m, f);
        if (IsBoundaryLine(b.type))
            points = Slots(CalcIntersectLineCircle(b.d[0], b.d[1], b.d[2], b.d[3], f.x, f.y, m.x, m.y));
        else if (IsCircular(b.type))
            points = Slots(CalcTangentPointsCircle(b.d[0], b.d[1], b.d[2], b.d[3], f.x, f.y));
        else if (IsElliptic(b.type))
            points = Slots(CalcTangentPointsEllipse(b.d[0], b.d[1], b.d[2], b.d[3], b.d[4], b.d[5], f.x, f.y));
        if (!NearestTo(points, q, &at) || Dist(at, f) == 0.0)
            return NoSolution();
        const double k = length / Dist(at, f);
        SetPoint(c, 0, f.x, f.y);
        SetPoint(c, 2, f.x + k * (at.x - f.x), f.y + k * (at.y - f.y));
    } else if (IsArc(type) || IsElliArc(type)) {
        if (!ArcMeets(g, b, &points))
            return RefuseBoundary();
        if (!NearestTo(points, q, &at))
            return NoSolution();
        const bool endNearer = Dist({g.d[8], g.d[9]}, p) <= Dist({g.d[6], g.d[7]}, p);
        SetPoint(c, endNearer ? 8 : 6, at.x, at.y);
    } else {
        return UnhandledObject();
    }
    return 1;
}

// Reads the picked object into candidate 0, changes it there and puts it in
// the object's place.
int ChangePicked(int (*change)(const GeoObject &g, GeoObject &c))
{
    GeoObject g;
    if (TrimPickedGeometry(&g) < 0)
        return 0;
    Candidate() = g;
    return change(g, Candidate()) && ReplaceByCandidate();
}

} // namespace

int TrimLengthToPoint() { return ChangePicked(LengthToPoint); }
int TrimLengthToBoundary() { return ChangePicked(LengthToBoundary); }
int TrimAngleToPoint() { return ChangePicked(AngleToPoint); }
int TrimAngleToBoundary() { return ChangePicked(AngleToBoundary); }
