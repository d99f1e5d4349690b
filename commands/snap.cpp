// The snap search of a click: element modes on the element picked under the
// pointer (middle or centre, quadrant, nearest point), then point modes over
// the objects whose frames meet the capture square (end points, marks,
// special points, intersections).
#include "commands/snap.h"

#include <cmath>
#include <vector>

#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "commands/snap_internal.h"
#include "database/object_ident.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "database/undo_step.h"
#include "display/output.h"
#include "files/file_records.h"
#include "files/image_list.h"
#include "geometry/calc_candidate.h"
#include "geometry/distance.h"
#include "geometry/distance_internal.h"
#include "geometry/frame_dim.h"

namespace {

// Element-pick masks of the element modes.
constexpr uint32_t PICK_NEAREST = 0x11EB;
constexpr uint32_t PICK_MIDDLE = 0x10CB;
constexpr uint32_t PICK_QUADRANT = 0x10CA;
constexpr uint32_t PICK_NO_CHOICE = 0x2000;
// Leader ends closer than this in both coordinates make no leader.
constexpr double SNAP_SAME_POINT = 1e-10;
// Point kinds of the selection steps, which enter no point of their own.
constexpr int32_t SELECTION_KIND_FIRST = 135;
constexpr int32_t SELECTION_KIND_LAST = 144;

SnapResult Nothing(double x, double y) { return {x, y, SNAP_NOTHING, 0}; }

void Offer(SnapResult *best, double px, double py, double x, double y, uint32_t kind, double radius)
{
    const double d = std::hypot(x - px, y - py);
    if (d < best->distance && d < radius)
        *best = {x, y, d, kind};
}

// ---- Element modes ----------------------------------------------------------------

void OnElement(const GeoObject &g, double x, double y, SnapResult *r)
{
    const double *d = g.d;
    switch (g.type) {
    case GEO_LINE:
    case GEO_GEOLINE:
        if (!CalcPerpendicularFootLine(d[0], d[1], d[2], d[3], x, y))
            return;
        if (g.type == GEO_LINE && (g_CalcPoints[1].x < 0.0 || g_CalcPoints[1].x > 1.0))
            return;
        break;
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE:
        if (!CalcCirclePerpendicularFeet(d[0], d[1], d[2], d[3], x, y))
            return;
        break;
    case GEO_CURVE:
        if (!CalcPerpendicularFootBezier(d[0], d[1], d[6], d[7], d[8], d[9], d[2], d[3], x, y) ||
            g_CalcPoints[1].x < 0.0 || g_CalcPoints[1].x > 1.0)
            return;
        break;
    case GEO_ELLIPSE:
    case GEO_GEOELLI: {
        if (!CalcEllipsePerpendicularFeet(d[0], d[1], d[2], d[3], d[4], d[5], x, y))
            return;
        const CalcPoint a = g_CalcPoints[0], b = g_CalcPoints[1];
        const CalcPoint &p = std::hypot(a.x - x, a.y - y) < std::hypot(b.x - x, b.y - y) ? a : b;
        *r = {p.x, p.y, std::hypot(p.x - x, p.y - y), SNAP_NEAREST};
        return;
    }
    default: return;
    }
    const CalcPoint p = g_CalcPoints[0];
    *r = {p.x, p.y, std::hypot(p.x - x, p.y - y), SNAP_NEAREST};
}

void MiddleOrCentre(const GeoObject &g, double x, double y, SnapResult *r)
{
    double mx, my;
    if (g.type == GEO_LINE)
        mx = (g.d[0] + g.d[2]) / 2, my = (g.d[1] + g.d[3]) / 2;
    else if (g.type == GEO_CIRCLE || g.type == GEO_GEOCIRCLE || g.type == GEO_ELLIPSE || g.type == GEO_GEOELLI)
        mx = g.d[0], my = g.d[1];
    else
        return;
    *r = {mx, my, std::hypot(mx - x, my - y), SNAP_MIDDLE};
}

void Quadrant(const GeoObject &g, double x, double y, SnapResult *r)
{
    const double cx = g.d[0], cy = g.d[1];
    double qx, qy;
    if (g.type == GEO_CIRCLE || g.type == GEO_GEOCIRCLE) {
        const double R = std::hypot(g.d[2] - cx, g.d[3] - cy), dx = x - cx, dy = y - cy;
        if (dx > dy) {
            qx = dy >= -dx ? cx + R : cx;
            qy = dy >= -dx ? cy : cy - R;
        } else {
            qx = dy < -dx ? cx - R : cx;
            qy = dy < -dx ? cy : cy + R;
        }
    } else if (g.type == GEO_ELLIPSE || g.type == GEO_GEOELLI) {
        const double c[4][2] = {{2 * cx - g.d[2], 2 * cy - g.d[3]},
                                {g.d[2], g.d[3]},
                                {2 * cx - g.d[4], 2 * cy - g.d[5]},
                                {g.d[4], g.d[5]}};
        int k = 0;
        for (int i = 1; i < 4; ++i)
            if (std::hypot(c[i][0] - x, c[i][1] - y) < std::hypot(c[k][0] - x, c[k][1] - y))
                k = i;
        qx = c[k][0], qy = c[k][1];
    } else {
        return;
    }
    *r = {qx, qy, std::hypot(qx - x, qy - y), SNAP_QUADRANT};
}

// ---- Point modes ------------------------------------------------------------------

struct PointSearch {
    double x, y, radius;
    uint32_t modes;
    bool special; // the special-point pass (mode 128) rather than modes 8 and 64
    SnapResult *best;
};

// The points an object shows without storing them: the extension-line feet
// and dimension-line ends of a dimension, the fourth corner of a framed
// text's frame, the corners of a reference text's frame and of a bitmap.
int ExtraPoints(const Unit *object, double out[4][2])
{
    int n = 0;
    auto put = [&](double x, double y) { out[n][0] = x, out[n][1] = y, ++n; };
    switch (object->object.type) {
    case OBJTYPE_DIM_DIST:
    case OBJTYPE_DIM_RAD:
    case OBJTYPE_DIM_DIA:
    case OBJTYPE_DIM_ANGLE:
    case OBJTYPE_DIM_ARC: {
        DimLines l;
        if (!FrameDimensionLines(object, &l))
            return 0;
        for (int i = 0; i < 2; ++i)
            if (l.extension[i])
                put(l.foot[i].x, l.foot[i].y);
        put(l.end[0].x, l.end[0].y);
        put(l.end[1].x, l.end[1].y);
        return n;
    }
    case OBJTYPE_FRAME_TEXT: {
        const ElementPoint *p1 = DistancePointAt(object, 1), *p2 = DistancePointAt(object, 2),
                           *p3 = DistancePointAt(object, 3);
        if (!g_DrawingSettings.displayFrames || !p1 || !p2 || !p3)
            return 0;
        put(p2->x + p3->x - p1->x, p2->y + p3->y - p1->y);
        return n;
    }
    case OBJTYPE_REF_TEXT: {
        // A reference text without a leader has no frame of its own to snap to.
        const RefTextGeometry *g = FrameRefTextGeometry(object);
        if (!g || g->frameShape == REFTEXT_FRAME_CIRCLE || g->frameShape == REFTEXT_FRAME_ELLIPSE ||
            (std::fabs(g->leader[0].x - g->leader[2].x) < SNAP_SAME_POINT &&
             std::fabs(g->leader[0].y - g->leader[2].y) < SNAP_SAME_POINT))
            return 0;
        for (const CalcPoint &c : g->frame)
            put(c.x, c.y);
        return n;
    }
    case OBJTYPE_BITMAP: {
        const Element *e = DistanceElementAt(object, 1);
        double c[4][2];
        if (!g_DrawingSettings.displayFrames || !e || e->kind != ELEM_BITMAP_REF ||
            !ImagePlacedCorners(static_cast<const BitmapRefData *>(ElementPayload(e)), 1, c))
            return 0;
        for (const auto &corner : c)
            put(corner[0], corner[1]);
        return n;
    }
    default:
        return 0;
    }
}

// The mode a point element of this kind answers to, 0 for none.
uint32_t PointMode(const Unit *object, int16_t kind, bool special, bool member)
{
    const int32_t t = object->kind == UNIT_KIND_OBJECT ? object->object.type : -1;
    if (kind == POINT_START || kind == POINT_LINE || kind == POINT_ARC_END || kind == POINT_ARC_PIECE_END)
        return SNAP_ENDPOINTS;
    if (kind == POINT_CENTRE && (t == OBJTYPE_CIRC_SEC || t == OBJTYPE_ELLI_SEC))
        return SNAP_ENDPOINTS;
    if (kind == POINT_MARK)
        return SNAP_MARKS;
    return special || member ? SNAP_SPECIAL : 0;
}

void ObjectPoints(PointSearch &s, const Unit *object, const Matrix *m, bool member)
{
    if (!s.special && (s.modes & SNAP_ENDPOINTS) && object->kind == UNIT_KIND_OBJECT) {
        double extra[4][2];
        const int n = ExtraPoints(object, extra);
        for (int i = 0; i < n; ++i) {
            double px = extra[i][0], py = extra[i][1];
            if (m)
                MatrixApply(*m, px, py, &px, &py);
            Offer(s.best, s.x, s.y, px, py, SNAP_ENDPOINTS, s.radius);
        }
    }
    const Element *e = reinterpret_cast<const Element *>(reinterpret_cast<const uint8_t *>(object) +
                                                         UnitElementOffset(object->kind));
    for (; e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE; e = ElementNext(e)) {
        if (!ElementIsPoint(e) || e->size < ELEM_SIZE_POINT)
            continue;
        const uint32_t mode = s.special && !member ? SNAP_SPECIAL : PointMode(object, e->kind, false, member);
        if (!mode || !(s.modes & mode))
            continue;
        const ElementPoint *p = reinterpret_cast<const ElementPoint *>(e);
        double px = p->x, py = p->y;
        if (m)
            MatrixApply(*m, px, py, &px, &py);
        Offer(s.best, s.x, s.y, px, py, mode, s.radius);
    }
    if (s.special && object->kind == UNIT_KIND_OBJECT && object->object.type == OBJTYPE_STD_TEXT) {
        for (e = reinterpret_cast<const Element *>(reinterpret_cast<const uint8_t *>(object) + UNIT_ELEMENTS_OBJECT);
             e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE; e = ElementNext(e))
            if (e->kind == ELEM_TEXT_STANDARD && e->size >= ELEMENT_HEADER_SIZE + sizeof(Matrix)) {
                const Matrix *tm = static_cast<const Matrix *>(ElementPayload(e));
                Offer(s.best, s.x, s.y, tm->tx, tm->ty, SNAP_SPECIAL, s.radius);
            }
    }
}

bool Shown(const Unit *u)
{
    const DrawingSettings &d = g_DrawingSettings;
    if (u->kind == UNIT_KIND_OBJECT)
        return d.displayDrawing && d.displayObjects && !(u->flags & (UNIT_HIDDEN | UNIT_NOT_PICKABLE)) &&
               u->object.type != OBJTYPE_GEO_LINE && u->object.type != OBJTYPE_GEO_CIRCLE &&
               u->object.type != OBJTYPE_GEO_ELLI;
    if (u->kind == UNIT_KIND_INSTANCE)
        return d.displayDrawing && d.displayBlocks;
    if (u->kind == UNIT_KIND_PLUGIN)
        return d.displayDrawing && d.displayBlocks && !(u->flags & (UNIT_HIDDEN | UNIT_NOT_PICKABLE));
    return false;
}

void InstancePoints(PointSearch &s, Unit *instance, const XProperty *parent, const Matrix *m)
{
    SnapInstanceVisit v;
    if (!SnapEnterInstance(instance, parent, m, &v))
        return;
    for (Unit *member = v.block->block.firstMember; member; member = member->next) {
        if (member->kind == UNIT_KIND_OBJECT) {
            XProperty resolved;
            if (SnapPickable(member, &v.members, &resolved) && DistanceObjectInSearchBox(member, &v.matrix))
                ObjectPoints(s, member, &v.matrix, true);
        } else if (member->kind == UNIT_KIND_INSTANCE || member->kind == UNIT_KIND_PLUGIN) {
            if (DistanceObjectInSearchBox(member, &v.matrix))
                InstancePoints(s, member, &v.members, &v.matrix);
        }
    }
    SnapLeaveInstance(v);
}

void ListPoints(PointSearch &s, const std::vector<Unit *> &units)
{
    g_OutputContext.nestingDepth = 0;
    g_OutputContext.currentInstance = nullptr;
    for (Unit *u : units) {
        if (!Shown(u))
            continue;
        if (u->kind != UNIT_KIND_INSTANCE)
            ObjectPoints(s, u, nullptr, false);
        if (u->kind != UNIT_KIND_OBJECT)
            InstancePoints(s, u, nullptr, nullptr);
    }
}

void PageCorners(PointSearch &s)
{
    for (int32_t i = 0; i < g_PageDefs.count && i < PAGE_SLOTS; ++i) {
        double r[4];
        WindowComputePageRect(&g_PageDefs.pages[i], r);
        const double corners[4][2] = {{r[0], r[1]}, {r[2], r[1]}, {r[2], r[3]}, {r[0], r[3]}};
        for (const auto &c : corners)
            Offer(s.best, s.x, s.y, c[0], c[1], SNAP_SPECIAL, s.radius);
    }
}

void EnteredPoints(PointSearch &s)
{
    const CommandState &cs = *g_CommandState;
    for (int32_t i = 0; i < cs.pointIndex && i < g_InputPointLimit; ++i) {
        const InputPointEntry &p = g_InputPoints[i];
        if (p.kind != 0 && (p.kind < SELECTION_KIND_FIRST || p.kind > SELECTION_KIND_LAST))
            Offer(s.best, s.x, s.y, p.x, p.y, SNAP_SPECIAL, SNAP_NOTHING);
    }
}

double RadiusMm(int window)
{
    const DrawWindow *w = WindowGetRecord(window);
    const double ppm = w && w->pixelsPerMm > 0.0 ? w->pixelsPerMm : 1.0;
    return g_LocalData.snap.pickAperture / ppm;
}

int FindForClick(int window, double rawX, double rawY, double out[2], int *kind)
{
    SnapResult r;
    SnapFindPoint(window, rawX, rawY, &r);
    if (r.distance >= SNAP_NOTHING)
        return 0;
    out[0] = r.x;
    out[1] = r.y;
    *kind = static_cast<int>(r.kind);
    return 1;
}

} // namespace

// ---- Shared with the intersection modes -----------------------------------------

void SnapBoxCandidates(std::vector<Unit *> *out)
{
    out->clear();
    const DistanceSearchBox &b = g_DistanceSearchBox;
    // Without a search box every unit is a candidate: a box that meets every frame.
    constexpr double EVERYWHERE = 1e300;
    const double box[4] = {b.on ? b.xmin : -EVERYWHERE, b.on ? b.ymin : -EVERYWHERE, b.on ? b.xmax : EVERYWHERE,
                           b.on ? b.ymax : EVERYWHERE};
    ObjectForEachNear(box, UNIT_HIDDEN, [&](Unit *u) {
        if (DistanceObjectInSearchBox(u, nullptr))
            out->push_back(u);
        return true;
    });
}

bool SnapPickable(const Unit *object, const XProperty *parent, XProperty *resolved)
{
    const XProperty top = OutputDefaultXProperty();
    OutputResolveXProperty(&object->property, parent ? parent : &top, resolved);
    return OutputIsLayerPickable(resolved->layer) && OutputIsPenPickable(resolved->pen);
}

bool SnapEnterInstance(Unit *instance, const XProperty *parent, const Matrix *m, SnapInstanceVisit *v)
{
    OutputContext &ctx = g_OutputContext;
    if (ctx.nestingDepth > OUTPUT_MAX_NESTING)
        return false;
    v->block = SymbolGetInstanceBlock(instance);
    if (!v->block)
        return false;
    v->matrix = instance->instance.placement;
    if (m)
        MatrixMultiply(&v->matrix, m);
    const XProperty top = OutputDefaultXProperty();
    OutputInheritXProperty(&instance->property, &v->block->property, parent ? parent : &top, &v->members);
    ++ctx.nestingDepth;
    v->savedInstance = ctx.currentInstance;
    ctx.currentInstance = instance;
    return true;
}

void SnapLeaveInstance(const SnapInstanceVisit &v)
{
    --g_OutputContext.nestingDepth;
    g_OutputContext.currentInstance = v.savedInstance;
}

// ---- The search ---------------------------------------------------------------------

void SnapFindPoint(int window, double x, double y, SnapResult *result)
{
    *result = Nothing(x, y);
    const LocalSnap &snap = g_LocalData.snap;
    if (!snap.switches[0])
        return;
    const double r = RadiusMm(window);
    const uint32_t m = static_cast<uint32_t>(snap.snapModes) & SNAP_SEARCH_MODES;
    SnapResult nearest = Nothing(x, y), middle = Nothing(x, y), quadrant = Nothing(x, y), best = Nothing(x, y);
    if (m & SNAP_ELEMENT_MODES) {
        uint32_t mask = 0;
        mask |= (m & SNAP_NEAREST) ? PICK_NEAREST : 0;
        mask |= (m & SNAP_MIDDLE) ? PICK_MIDDLE : 0;
        mask |= (m & SNAP_QUADRANT) ? PICK_QUADRANT : 0;
        mask |= (m & SNAP_POINT_MODES) ? PICK_NO_CHOICE : 0;
        const int picked = ObjectIdentifyElement(window, x, y, mask, -1);
        if (picked < 0)
            return;
        if (picked > 0) {
            const GeoObject g = g_CalcCandidates[0];
            if (m & SNAP_NEAREST) {
                OnElement(g, x, y, &nearest);
                if (nearest.distance < r)
                    return void(*result = nearest);
            }
            if (m & SNAP_MIDDLE) {
                MiddleOrCentre(g, x, y, &middle);
                if (middle.distance < r)
                    return void(*result = middle);
            }
            if (m & SNAP_QUADRANT) {
                Quadrant(g, x, y, &quadrant);
                if (quadrant.distance < r)
                    return void(*result = quadrant);
            }
        }
    }
    if (m & SNAP_POINT_MODES) {
        DistanceSetSearchBox(x - r, y - r, x + r, y + r);
        std::vector<Unit *> units;
        if (m & (SNAP_INTERSECTIONS | SNAP_CONSTRUCTION))
            SnapMarkIntersectionCandidates(x, y, &best);
        if (m & (SNAP_ENDPOINTS | SNAP_MARKS | SNAP_SPECIAL))
            SnapBoxCandidates(&units);
        if (m & (SNAP_ENDPOINTS | SNAP_MARKS)) {
            PointSearch s{x, y, r, m, false, &best};
            ListPoints(s, units);
        }
        if (m & SNAP_SPECIAL) {
            PointSearch s{x, y, r, m, true, &best};
            PageCorners(s);
            ListPoints(s, units);
            EnteredPoints(s);
        }
        DistanceResetSearchBox();
        if (best.distance < r)
            return void(*result = best);
    }
    for (const SnapResult *e : {&nearest, &middle, &quadrant})
        if (e->distance < result->distance)
            *result = *e;
}

void SnapInstall() { g_CommandSnapFinder = FindForClick; }
