// Reversing an object's direction, choosing a Surface contour's start and
// exploding objects into their elementary segments.
#include "commands/trim.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "commands/transform.h"
#include "commands/trim_path.h"
#include "database/init.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"
#include "geometry/calc_candidate.h"
#include "geometry/flat.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

constexpr int ALERT_KEEP_CURVES = 76; // yes: curves stay Bezier curves, no: straight segments

Unit *Scratch() { return reinterpret_cast<Unit *>(g_Universal1); }
Unit *Scratch2() { return reinterpret_cast<Unit *>(g_Uni2); }
int32_t PickedIdent() { return g_InputPoints[0].ident; }

void Swap(GeoObject &g, int a, int b)
{
    std::swap(g.d[a], g.d[b]);
    std::swap(g.d[a + 1], g.d[b + 1]);
}

// A circle as a Surface running clockwise from its circle point.
int ClockwiseCircle(const Unit *circle, const GeoObject &g)
{
    std::memcpy(Scratch(), circle, UNIT_ELEMENTS_OBJECT);
    Scratch()->object.type = OBJTYPE_SURFACE;
    ChainWriter w;
    InitChainBegin(&w, Scratch(), g_ObjectLimits.scratchSize);
    InitChainPoint(&w, POINT_START, g.d[2], g.d[3]);
    InitChainPoint(&w, POINT_ARC_PIECE_END, 2 * g.d[0] - g.d[2], 2 * g.d[1] - g.d[3]);
    InitChainCurve(&w, -1.0, 0.0);
    InitChainPoint(&w, POINT_ARC_PIECE_END, g.d[2], g.d[3]);
    InitChainCurve(&w, -1.0, 0.0);
    return InitChainEnd(&w) ? 1 : 0;
}

// Universal1 in place of the picked object.
int ReplacePicked(int written) { return written && TransformReplaceByIdent(PickedIdent()); }

// ---------------------------------------------------------------------------
// Exploding.

bool IsPath(int32_t t) { return t == OBJTYPE_HATCH || t == OBJTYPE_CURVE || t == OBJTYPE_SURFACE; }
bool IsElliptic(int32_t t) { return t >= OBJTYPE_ELLIPSE && t <= OBJTYPE_ELLI_SEGM; }

bool Explodable(int32_t t)
{
    switch (t) {
    case OBJTYPE_HATCH: case OBJTYPE_CIRC_SEC: case OBJTYPE_CIRC_SEGM: case OBJTYPE_ZIGZAG:
    case OBJTYPE_SPLINE: case OBJTYPE_CURVE: case OBJTYPE_SURFACE: case OBJTYPE_ELLIPSE:
    case OBJTYPE_ELLI_ARC: case OBJTYPE_ELLI_SEC: case OBJTYPE_ELLI_SEGM: case OBJTYPE_MARK: return true;
    default: return false;
    }
}

bool HasBezier(const Unit *u)
{
    for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e))
        if (e->kind == POINT_CONTROL1)
            return true;
    return false;
}

// The selected objects that explode, in list order.
std::vector<Unit *> SelectedExplodable()
{
    std::vector<Unit *> out;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1); u; u = MemListNext(u))
        if (u->kind == UNIT_KIND_OBJECT && Explodable(u->object.type))
            out.push_back(u);
    return out;
}

// Writes the pieces of one object behind it (flag 0x40 on each).
class Exploder {
public:
    Exploder(Unit *object, bool keepCurves) : object_(object), after_(object), keepCurves_(keepCurves) {}

    // The number of pieces, -1 when one could not be stored.
    int Run()
    {
        const int32_t type = object_->object.type;
        if (type == OBJTYPE_MARK)
            return Marks();
        const Unit *path = object_;
        if (!IsPath(type)) {
            if (!TransformCurveSurface(object_, Scratch2()))
                return -1;
            path = Scratch2();
        }
        const bool closed = path->object.type != OBJTYPE_CURVE;
        for (const TrimContour &c : TrimReadContours(path, closed))
            for (const TrimSegment &s : c.segments)
                if (!Segment(s))
                    return -1;
        return count_;
    }

private:
    bool Line(const CalcPoint &a, const CalcPoint &b)
    {
        GeoObject &g = g_CalcCandidates[0];
        g = GeoObject{};
        g.type = GEO_LINE;
        g.d[0] = a.x, g.d[1] = a.y, g.d[2] = b.x, g.d[3] = b.y;
        return Candidate();
    }

    bool Candidate()
    {
        if (TrimCandidateDegenerate(0))
            return true;
        Unit *made = TrimBuildCandidate(0, after_, object_, UNIT_MARKED);
        if (!made)
            return false;
        after_ = made, ++count_;
        FrameUnion(area_, made->frame);
        return true;
    }

    bool Segment(const TrimSegment &s)
    {
        if (s.kind == TrimSegKind::LINE)
            return Line(s.p0, s.p1);
        if (s.kind == TrimSegKind::ARC) {
            GeoObject &g = g_CalcCandidates[0];
            g = GeoObject{};
            g.type = GEO_CIRC_ARC;
            g.d[0] = s.centre.x, g.d[1] = s.centre.y, g.d[2] = s.p0.x, g.d[3] = s.p0.y;
            g.d[6] = s.p0.x, g.d[7] = s.p0.y, g.d[8] = s.p1.x, g.d[9] = s.p1.y;
            g.direction = s.ccw;
            return Candidate();
        }
        if (!keepCurves_)
            return Flattened(s);
        std::memcpy(Scratch(), object_, UNIT_ELEMENTS_OBJECT);
        Scratch()->object.type = OBJTYPE_CURVE;
        ChainWriter w;
        InitChainBegin(&w, Scratch(), g_ObjectLimits.scratchSize);
        InitChainPoint(&w, POINT_START, s.p0.x, s.p0.y);
        InitChainPoint(&w, POINT_CONTROL1, s.c1.x, s.c1.y);
        InitChainPoint(&w, POINT_CONTROL2, s.c2.x, s.c2.y);
        InitChainPoint(&w, POINT_LINE, s.p1.x, s.p1.y);
        return InitChainEnd(&w) && Stored();
    }

    // A Bezier piece as straight lines.
    bool Flattened(const TrimSegment &s)
    {
        std::vector<PathPoint> points(g_MaxPathPoints + 1);
        points[0] = {s.p0.x, s.p0.y}, points[1] = {s.c1.x, s.c1.y};
        points[2] = {s.c2.x, s.c2.y}, points[3] = {s.p1.x, s.p1.y};
        const int32_t n = FlatAddBezierSteps(points.data(), 0, 1);
        if (n <= 0)
            return Line(s.p0, s.p1);
        for (int32_t i = 1; i < n; ++i)
            if (!Line({points[i - 1].x, points[i - 1].y}, {points[i].x, points[i].y}))
                return false;
        return true;
    }

    // Universal1 behind the last piece.
    bool Stored()
    {
        if (!TransformReplaceUnit(nullptr, after_, 1, UNIT_MARKED))
            return false;
        after_ = after_->next, ++count_;
        FrameUnion(area_, after_->frame);
        return true;
    }

    int Marks()
    {
        std::vector<CalcPoint> points;
        for (const Element *e = UnitFirstElement(object_); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
             e = ElementNext(e))
            if (e->kind == POINT_MARK)
                points.push_back({reinterpret_cast<const ElementPoint *>(e)->x,
                                  reinterpret_cast<const ElementPoint *>(e)->y});
        for (const CalcPoint &p : points) {
            std::memcpy(Scratch(), object_, UNIT_ELEMENTS_OBJECT);
            ChainWriter w;
            InitChainBegin(&w, Scratch(), g_ObjectLimits.scratchSize);
            InitChainPoint(&w, POINT_MARK, p.x, p.y);
            if (!InitChainEnd(&w) || !Stored())
                return -1;
        }
        return count_;
    }

public:
    double area_[4] = {1e300, 1e300, -1e300, -1e300};

private:
    Unit *object_;
    Unit *after_;
    bool keepCurves_;
    int count_ = 0;
};

} // namespace

int TrimReverseDirection()
{
    GeoObject g;
    const int32_t type = TrimPickedGeometry(&g);
    if (type < 0)
        return 0;
    switch (type) {
    case GEO_LINE:
    case OBJTYPE_ZIGZAG:
    case GEO_GEOLINE:
        g_CalcCandidates[0] = g;
        Swap(g_CalcCandidates[0], 0, 2);
        return TrimReplaceByCandidates(PickedIdent(), 1);
    case GEO_CIRC_ARC: case GEO_CIRC_SEC: case GEO_CIRC_SEGM:
    case GEO_ELLI_ARC: case GEO_ELLI_SEC: case GEO_ELLI_SEGM:
        g_CalcCandidates[0] = g;
        Swap(g_CalcCandidates[0], 6, 8);
        g_CalcCandidates[0].direction = !g.direction;
        return TrimReplaceByCandidates(PickedIdent(), 1);
    default: break;
    }
    const Unit *object = UndoFindIdent(PickedIdent());
    const bool reversible = type == GEO_CIRCLE || type == GEO_ELLIPSE || type == OBJTYPE_CURVE || type == OBJTYPE_SURFACE;
    if (!object || object->kind != UNIT_KIND_OBJECT || !reversible) {
        AlertSM60(g_MainWnd);
        return 0;
    }
    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    if (type == GEO_CIRCLE)
        return ReplacePicked(ClockwiseCircle(object, g));
    if (type == GEO_ELLIPSE)
        return ReplacePicked(TransformCurveSurface(object, Scratch()) && TransformReversePath(Scratch(), Scratch()));
    return ReplacePicked(TransformReversePath(object, Scratch()));
}

int TrimSetStartVertex()
{
    const Unit *object = UndoFindIdent(PickedIdent());
    if (!object) {
        AlertSM5(g_MainWnd);
        return 0;
    }
    if (object->kind != UNIT_KIND_OBJECT || object->object.type != OBJTYPE_SURFACE) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    const double at[2] = {g_ConstructionPoints[1].x, g_ConstructionPoints[1].y};
    return ReplacePicked(TransformSetContourStart(object, Scratch(), at));
}

int TrimExplode()
{
    const std::vector<Unit *> objects = SelectedExplodable();
    bool keepCurves = true;
    for (const Unit *u : objects)
        if ((IsPath(u->object.type) && HasBezier(u)) || IsElliptic(u->object.type)) {
            const uint32_t answer = AlertYesNoCancelDefNo(g_MainWnd, eAlertTextSM[ALERT_KEEP_CURVES]);
            if (answer == ALERT_CANCEL)
                return 0;
            keepCurves = answer != ALERT_NO;
            break;
        }
    double area[4];
    FrameSetEmpty(area);
    bool exploded = false;
    ScratchUni1 scratch(__FILE__, __LINE__);
    ScratchUni2 scratch2(__FILE__, __LINE__);
    if (!scratch || !scratch2)
        return 0;
    for (Unit *u : objects) {
        Exploder exploder(u, keepCurves);
        const int pieces = exploder.Run();
        FrameUnion(area, exploder.area_);
        if (pieces < 0)
            return 0;
        if (pieces > 0 && !g_DrawingSettings.displayDuplicate)
            UndoStampDeleted(u);
        exploded = exploded || pieces > 0;
    }
    std::memcpy(g_ChangedRect, area, sizeof area);
    std::memcpy(g_ExtentsRect, area, sizeof area);
    // Nothing exploded: no empty undo step is left behind.
    return exploded ? 1 : 0;
}
