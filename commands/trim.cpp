// Cutting out and splitting lines, zigzags, circles, ellipses and their
// arcs: the pieces are written as candidate records and stored in place of the object.
// Paths are cut by their contours (trim_path.cpp).
#include "commands/trim.h"

#include "commands/trim_path.h"

#include <cmath>
#include <cstring>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "database/object.h"
#include "database/object_flags.h"
#include "database/object_ident.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"
#include "geometry/calc_candidate.h"
#include "geometry/frame.h"

namespace {

// Construction points of the cut commands: where the constructions leave the
// feet on a line and the directions on a circle.
constexpr int CUT_LINE_FIRST = 2;
constexpr int CUT_LINE_SECOND = 4;
constexpr int CUT_CIRCLE_FIRST = 1;
constexpr int CUT_CIRCLE_SECOND = 2;

bool Degenerate(const GeoObject &g)
{
    switch (g.type) {
    case GEO_LINE:
    case OBJTYPE_ZIGZAG:
        return std::fabs(g.d[2] - g.d[0]) < CALC_ZERO && std::fabs(g.d[3] - g.d[1]) < CALC_ZERO;
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE:
        return std::fabs(g.d[2] - g.d[0]) < CALC_ZERO && std::fabs(g.d[3] - g.d[1]) < CALC_ZERO;
    case GEO_CIRC_ARC:
    case GEO_CIRC_SEC:
    case GEO_CIRC_SEGM:
        return (std::fabs(g.d[2] - g.d[0]) < CALC_ZERO && std::fabs(g.d[3] - g.d[1]) < CALC_ZERO) ||
               std::fabs(CalcArcSweep(g.d[0], g.d[1], g.d[6], g.d[7], g.d[8], g.d[9], g.direction)) < CALC_ZERO;
    case GEO_ELLI_ARC:
    case GEO_ELLI_SEC:
    case GEO_ELLI_SEGM:
        return std::fabs(CalcEllipseArcSweep(g.d[0], g.d[1], g.d[2], g.d[3], g.d[4], g.d[5], g.d[6], g.d[7], g.d[8],
                                             g.d[9], g.direction)) < CALC_ZERO;
    default: return false;
    }
}

Unit *BuildPiece(int index, Unit *after)
{
    switch (g_CalcCandidates[index].type) {
    case GEO_LINE:
    case GEO_GEOLINE: return CalcCandidateToLine(index, after);
    case OBJTYPE_ZIGZAG: return CalcCandidateToZigzag(index, after);
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE: return CalcCandidateToCircle(index, after);
    case GEO_CIRC_ARC:
    case GEO_CIRC_SEC:
    case GEO_CIRC_SEGM: return CalcCandidateToCircArc(index, after);
    case GEO_ELLIPSE:
    case GEO_GEOELLI: return CalcCandidateToEllipse(index, after);
    case GEO_ELLI_ARC:
    case GEO_ELLI_SEC:
    case GEO_ELLI_SEGM: return CalcCandidateToElliArc(index, after);
    default: return nullptr;
    }
}

bool Buildable(int32_t type)
{
    switch (type) {
    case GEO_LINE: case GEO_GEOLINE: case OBJTYPE_ZIGZAG: case GEO_CIRCLE: case GEO_GEOCIRCLE:
    case GEO_CIRC_ARC: case GEO_CIRC_SEC: case GEO_CIRC_SEGM: case GEO_ELLIPSE: case GEO_GEOELLI:
    case GEO_ELLI_ARC: case GEO_ELLI_SEC: case GEO_ELLI_SEGM: return true;
    default: return false;
    }
}

int32_t PickedIdent() { return g_InputPoints[0].ident; }
const ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }
const InputPointEntry &Ip(int i) { return g_InputPoints[i]; }

// Line parameter of p on a-b.
double LineParameter(const GeoObject &g, double px, double py)
{
    return CalcPerpendicularFootLine(g.d[0], g.d[1], g.d[2], g.d[3], px, py) ? g_CalcPoints[1].x : 0.0;
}

// A copy of the picked line with new ends.
int LinePiece(int slot, const GeoObject &g, double x1, double y1, double x2, double y2)
{
    g_CalcCandidates[slot] = g;
    g_CalcCandidates[slot].d[0] = x1, g_CalcCandidates[slot].d[1] = y1;
    g_CalcCandidates[slot].d[2] = x2, g_CalcCandidates[slot].d[3] = y2;
    return slot + 1;
}

// A copy of the picked arc (or a circle's arc of the given type) from s to e.
int ArcPiece(int slot, const GeoObject &g, int32_t type, double sx, double sy, double ex, double ey, int ccw)
{
    GeoObject &c = g_CalcCandidates[slot];
    c = g;
    c.type = type;
    c.d[6] = sx, c.d[7] = sy, c.d[8] = ex, c.d[9] = ey;
    c.direction = ccw;
    return slot + 1;
}

bool IsEllipseType(int32_t t) { return t >= GEO_ELLIPSE && t <= GEO_ELLI_SEGM; }

// The point of the circle (or ellipse) in the direction of p from the centre.
void OnCircle(const GeoObject &g, double px, double py, double *x, double *y)
{
    if (IsEllipseType(g.type)) {
        CalcEllipsePointTowards(g.d[0], g.d[1], g.d[2], g.d[3], g.d[4], g.d[5], px, py);
        *x = g_CalcPoints[0].x, *y = g_CalcPoints[0].y;
        return;
    }
    const double r = std::hypot(g.d[2] - g.d[0], g.d[3] - g.d[1]);
    const double d = std::hypot(px - g.d[0], py - g.d[1]);
    if (d < CALC_ZERO) {
        *x = g.d[2], *y = g.d[3];
        return;
    }
    *x = g.d[0] + (px - g.d[0]) * r / d;
    *y = g.d[1] + (py - g.d[1]) * r / d;
}

bool InArc(const GeoObject &g, double fx, double fy, double tx, double ty, double px, double py, int ccw)
{
    return CalcAngleInArc(g.d[0], g.d[1], fx, fy, tx, ty, px, py, ccw) != 0;
}

bool IsArcType(int32_t t)
{
    return (t >= GEO_CIRC_ARC && t <= GEO_CIRC_SEGM) || (t >= GEO_ELLI_ARC && t <= GEO_ELLI_SEGM);
}

// The arc type of a full circle's or ellipse's pieces.
int32_t ArcTypeOf(int32_t closed) { return closed == GEO_ELLIPSE ? GEO_ELLI_ARC : GEO_CIRC_ARC; }

// 701 on a line or zigzag; the number of pieces, 0 when no cut lies inside.
int CutLine(const GeoObject &g)
{
    const double ax = Cp(CUT_LINE_FIRST).x, ay = Cp(CUT_LINE_FIRST).y;
    const double bx = Cp(CUT_LINE_SECOND).x, by = Cp(CUT_LINE_SECOND).y;
    const double tp = LineParameter(g, Ip(0).x, Ip(0).y);
    const double ta = LineParameter(g, ax, ay), tb = LineParameter(g, bx, by);
    const bool aIn = ta > 0 && ta < 1, bIn = tb > 0 && tb < 1;
    if (aIn && bIn) {
        if (std::fmin(ta, tb) < tp && tp < std::fmax(ta, tb)) {
            const bool aFirst = ta < tb;
            const int n = LinePiece(0, g, g.d[0], g.d[1], aFirst ? ax : bx, aFirst ? ay : by);
            return LinePiece(n, g, aFirst ? bx : ax, aFirst ? by : ay, g.d[2], g.d[3]);
        }
        return LinePiece(0, g, ax, ay, bx, by);
    }
    if (!aIn && !bIn)
        return 0;
    const double t = aIn ? ta : tb, cx = aIn ? ax : bx, cy = aIn ? ay : by;
    return tp < t ? LinePiece(0, g, cx, cy, g.d[2], g.d[3]) : LinePiece(0, g, g.d[0], g.d[1], cx, cy);
}

// 701 on an arc, sector or segment of a circle or an ellipse.
int CutArc(const GeoObject &g)
{
    double ax, ay, bx, by;
    OnCircle(g, Cp(CUT_CIRCLE_FIRST).x, Cp(CUT_CIRCLE_FIRST).y, &ax, &ay);
    OnCircle(g, Cp(CUT_CIRCLE_SECOND).x, Cp(CUT_CIRCLE_SECOND).y, &bx, &by);
    const double sx = g.d[6], sy = g.d[7], ex = g.d[8], ey = g.d[9], px = Ip(0).x, py = Ip(0).y;
    const int ccw = g.direction;
    const bool aIn = InArc(g, sx, sy, ex, ey, ax, ay, ccw), bIn = InArc(g, sx, sy, ex, ey, bx, by, ccw);
    if (!aIn && !bIn)
        return 0;
    if (aIn != bIn) {
        const double cx = aIn ? ax : bx, cy = aIn ? ay : by;
        return InArc(g, sx, sy, cx, cy, px, py, ccw) ? ArcPiece(0, g, g.type, cx, cy, ex, ey, ccw)
                                                     : ArcPiece(0, g, g.type, sx, sy, cx, cy, ccw);
    }
    // Order along the arc: first, then second.
    const bool aFirst = InArc(g, sx, sy, bx, by, ax, ay, ccw);
    const double fx = aFirst ? ax : bx, fy = aFirst ? ay : by, lx = aFirst ? bx : ax, ly = aFirst ? by : ay;
    if (InArc(g, fx, fy, lx, ly, px, py, ccw)) {
        const int n = ArcPiece(0, g, g.type, sx, sy, fx, fy, ccw);
        return ArcPiece(n, g, g.type, lx, ly, ex, ey, ccw);
    }
    return ArcPiece(0, g, g.type, fx, fy, lx, ly, ccw);
}

// 701 on a circle or an ellipse: the arc between the points that does not hold the pick.
int CutCircle(const GeoObject &g)
{
    double ax, ay, bx, by;
    OnCircle(g, Cp(CUT_CIRCLE_FIRST).x, Cp(CUT_CIRCLE_FIRST).y, &ax, &ay);
    OnCircle(g, Cp(CUT_CIRCLE_SECOND).x, Cp(CUT_CIRCLE_SECOND).y, &bx, &by);
    const int ccw = InArc(g, ax, ay, bx, by, Ip(0).x, Ip(0).y, 0) ? 1 : 0;
    return ArcPiece(0, g, ArcTypeOf(g.type), ax, ay, bx, by, ccw);
}

// Hatches, curves and surfaces are cut by their contours; -1 for other objects.
int CutPath(int split)
{
    Unit *object = UndoFindIdent(PickedIdent());
    if (!object || object->kind != UNIT_KIND_OBJECT)
        return -1;
    const int32_t type = object->object.type;
    if (type != OBJTYPE_HATCH && type != OBJTYPE_CURVE && type != OBJTYPE_SURFACE)
        return -1;
    const double pick[2] = {Ip(0).x, Ip(0).y}, first[2] = {Ip(1).x, Ip(1).y}, second[2] = {Ip(2).x, Ip(2).y};
    return TrimPathCut(object, pick, first, second, split);
}

// Stores the pieces written, or alert 8 when there are none.
int ReplaceByPieces(int count)
{
    if (count == 0) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    return TrimReplaceByCandidates(PickedIdent(), count);
}

} // namespace

int32_t TrimPickedGeometry(GeoObject *g)
{
    *g = GeoObject{};
    const int32_t type = ObjectGetIdentGeometry(PickedIdent(), g);
    if (type < 0)
        AlertSM5(g_MainWnd);
    else
        g->type = type;
    return type;
}

int TrimReplaceByCandidates(int32_t ident, int count)
{
    FrameSetEmpty(g_ChangedRect);
    Unit *old = UndoFindIdent(ident);
    if (!old)
        return 0;
    std::memcpy(g_ExtentsRect, old->frame, sizeof g_ExtentsRect);
    int usable = 0;
    for (int i = 0; i < count && i < CALC_CANDIDATE_SLOTS; ++i)
        if (Buildable(g_CalcCandidates[i].type) && !Degenerate(g_CalcCandidates[i]))
            ++usable;
    // Nothing of the object would remain: refused, the object stays.
    if (usable == 0) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    if (!g_DrawingSettings.displayDuplicate)
        UndoStampDeleted(old);
    Unit *after = old;
    for (int i = 0; i < count && i < CALC_CANDIDATE_SLOTS; ++i) {
        if (!Buildable(g_CalcCandidates[i].type) || Degenerate(g_CalcCandidates[i]))
            continue;
        after = TrimBuildCandidate(i, after, old, 0);
        if (!after)
            return 0;
    }
    return 1;
}

Unit *TrimBuildCandidate(int index, Unit *after, const Unit *old, uint32_t bits)
{
    Unit *made = BuildPiece(index, after);
    if (!made)
        return nullptr;
    made->property = old->property;
    made->flags |= (old->flags & UNIT_USER_MARK) | bits;
    ObjectUpdateDisplayFlags(made);
    FrameCalcObject(made, 0);
    FrameUnion(g_ChangedRect, made->frame);
    return made;
}

bool TrimCandidateDegenerate(int index) { return Degenerate(g_CalcCandidates[index]); }

int TrimCutOut()
{
    const int path = CutPath(0);
    if (path >= 0)
        return path;
    GeoObject g;
    switch (TrimPickedGeometry(&g)) {
    case -1: return 0;
    case GEO_LINE:
    case OBJTYPE_ZIGZAG: return ReplaceByPieces(CutLine(g));
    case GEO_CIRCLE:
    case GEO_ELLIPSE: return ReplaceByPieces(CutCircle(g));
    case GEO_CIRC_ARC:
    case GEO_CIRC_SEC:
    case GEO_CIRC_SEGM:
    case GEO_ELLI_ARC:
    case GEO_ELLI_SEC:
    case GEO_ELLI_SEGM: return ReplaceByPieces(CutArc(g));
    default:
        AlertSM60(g_MainWnd);
        return 0;
    }
}

int TrimSplit()
{
    const int path = CutPath(1);
    if (path >= 0)
        return path;
    GeoObject g;
    const int32_t type = TrimPickedGeometry(&g);
    if (type == GEO_LINE || type == OBJTYPE_ZIGZAG) {
        const double cx = Cp(CUT_LINE_FIRST).x, cy = Cp(CUT_LINE_FIRST).y;
        const double t = LineParameter(g, cx, cy);
        if (!(t > 0 && t < 1))
            return ReplaceByPieces(0);
        const int n = LinePiece(0, g, g.d[0], g.d[1], cx, cy);
        return ReplaceByPieces(LinePiece(n, g, cx, cy, g.d[2], g.d[3]));
    }
    if (IsArcType(type)) {
        double cx, cy;
        OnCircle(g, Cp(CUT_CIRCLE_FIRST).x, Cp(CUT_CIRCLE_FIRST).y, &cx, &cy);
        if (!InArc(g, g.d[6], g.d[7], g.d[8], g.d[9], cx, cy, g.direction))
            return ReplaceByPieces(0);
        const int n = ArcPiece(0, g, type, g.d[6], g.d[7], cx, cy, g.direction);
        return ReplaceByPieces(ArcPiece(n, g, type, cx, cy, g.d[8], g.d[9], g.direction));
    }
    if (type == GEO_CIRCLE || type == GEO_ELLIPSE) {
        double ax, ay, bx, by;
        OnCircle(g, Cp(CUT_CIRCLE_FIRST).x, Cp(CUT_CIRCLE_FIRST).y, &ax, &ay);
        OnCircle(g, Cp(CUT_CIRCLE_SECOND).x, Cp(CUT_CIRCLE_SECOND).y, &bx, &by);
        const int n = ArcPiece(0, g, ArcTypeOf(type), ax, ay, bx, by, 1);
        return ReplaceByPieces(ArcPiece(n, g, ArcTypeOf(type), ax, ay, bx, by, 0));
    }
    if (type != -1)
        AlertSM60(g_MainWnd);
    return 0;
}
