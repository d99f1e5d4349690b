// The single path elements of an object near a point, as candidate records
// merged by distance into the shared candidate array.
#include <cmath>
#include <cstring>

#include "app/system.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "display/output.h"
#include "geometry/calc_candidate.h"
#include "geometry/distance.h"
#include "geometry/distance_internal.h"
#include "geometry/flat.h"

namespace {

// Candidates built for one object before they are merged.
struct PartBuffer {
    GeoObject *records;
    int capacity;
    int count;
    const Matrix *matrix;
    double tolerance, px, py;
    int32_t pen, layer;
};

PartBuffer BeginParts(const XProperty &resolved, const Matrix *matrix, double tolerance, double px, double py)
{
    PartBuffer b{};
    b.records = reinterpret_cast<GeoObject *>(g_Uni2);
    b.capacity = g_Uni2 ? static_cast<int>(g_ObjectLimits.scratchSize / sizeof(GeoObject)) : 0;
    b.matrix = matrix;
    b.tolerance = tolerance, b.px = px, b.py = py;
    b.pen = resolved.pen, b.layer = resolved.layer;
    return b;
}

// The record being built: the next free slot (or a spare one when full).
GeoObject *Slot(PartBuffer &b, int32_t type)
{
    static GeoObject spare;
    GeoObject *g = b.count < b.capacity ? &b.records[b.count] : &spare;
    std::memset(g, 0, sizeof *g);
    g->type = type;
    CalcCandidateSetPenLayer(g, b.pen, b.layer);
    return g;
}

constexpr int32_t RECORD_FULL_FIGURE = -2;

// Tests the record in the slot and keeps it when it passes; recordAs
// replaces its type afterwards (arcs kept as their full figure).
void Offer(PartBuffer &b, GeoObject *g, int32_t recordAs = -1)
{
    if (b.count >= b.capacity)
        return;
    if (!DistanceTestGeoObject(g, b.matrix, b.tolerance, b.px, b.py))
        return;
    if (recordAs == RECORD_FULL_FIGURE)
        g->type = g->type == GEO_ELLI_ARC ? GEO_ELLIPSE : GEO_CIRCLE;
    else if (recordAs >= 0)
        g->type = recordAs;
    ++b.count;
}

void OfferLine(PartBuffer &b, double x1, double y1, double x2, double y2)
{
    GeoObject *g = Slot(b, GEO_LINE);
    g->d[0] = x1, g->d[1] = y1, g->d[2] = x2, g->d[3] = y2;
    Offer(b, g);
}

// A circular arc record: with COLLECT_ARCS as the arc, else with
// COLLECT_CIRCLES tested as the arc and recorded as the full circle.
void OfferArc(PartBuffer &b, uint32_t mask, double cx, double cy, double rx, double ry, double sx, double sy,
              double ex, double ey, int direction, double sweep)
{
    if (!(mask & (COLLECT_ARCS | COLLECT_CIRCLES)))
        return;
    GeoObject *g = Slot(b, GEO_CIRC_ARC);
    g->d[0] = cx, g->d[1] = cy, g->d[2] = rx, g->d[3] = ry;
    g->d[6] = sx, g->d[7] = sy, g->d[8] = ex, g->d[9] = ey;
    g->direction = direction;
    g->d[CANDIDATE_SWEEP] = sweep;
    // Without COLLECT_ARCS the arc is tested as itself and kept as its full
    // figure: the circle, or under a distorting matrix the full ellipse.
    Offer(b, g, mask & COLLECT_ARCS ? -1 : RECORD_FULL_FIGURE);
}

void OfferCircle(PartBuffer &b, int32_t type, double cx, double cy, double rx, double ry)
{
    GeoObject *g = Slot(b, type);
    g->d[0] = cx, g->d[1] = cy, g->d[2] = rx, g->d[3] = ry;
    Offer(b, g);
}

void OfferEllipse(PartBuffer &b, int32_t type, const ElementPoint *c, const ElementPoint *a1, const ElementPoint *a2)
{
    GeoObject *g = Slot(b, type);
    g->d[0] = c->x, g->d[1] = c->y, g->d[2] = a1->x, g->d[3] = a1->y, g->d[4] = a2->x, g->d[5] = a2->y;
    Offer(b, g);
}

double SubValue(const Unit *object, int number, int which)
{
    const Element *e = DistanceElementAt(object, number);
    return e && e->kind < 0 && e->size >= ELEMENT_HEADER_SIZE + (which + 1) * sizeof(double)
               ? static_cast<const double *>(ElementPayload(e))[which]
               : 0.0;
}

int Orientation(const Unit *object, int number)
{
    const Element *e = DistanceElementAt(object, number);
    return e && e->kind == ELEM_ORIENT && *static_cast<const double *>(ElementPayload(e)) >= 0.0 ? 1 : 0;
}

void PathParts(PartBuffer &b, const Unit *object, uint32_t mask)
{
    DistanceWalkPath(object, 0, false, [&](const DistancePathPiece &p) {
        if (p.kind == PATH_PIECE_LINE) {
            if (mask & COLLECT_LINES)
                OfferLine(b, p.x0, p.y0, p.x1, p.y1);
        } else if (p.kind == PATH_PIECE_BEZIER) {
            if (!(mask & COLLECT_BEZIERS))
                return;
            GeoObject *g = Slot(b, GEO_CURVE);
            g->d[0] = p.x0, g->d[1] = p.y0, g->d[6] = p.c1x, g->d[7] = p.c1y;
            g->d[8] = p.c2x, g->d[9] = p.c2y, g->d[2] = p.x1, g->d[3] = p.y1;
            Offer(b, g);
        } else {
            const double cx = (p.x0 + p.x1) / 2 - p.factor * (p.y1 - p.y0);
            const double cy = (p.y0 + p.y1) / 2 + p.factor * (p.x1 - p.x0);
            const int ccw = p.direction >= 0.0 ? 1 : 0;
            OfferArc(b, mask, cx, cy, p.x0, p.y0, p.x0, p.y0, p.x1, p.y1, ccw,
                     CalcArcSweep(cx, cy, p.x0, p.y0, p.x1, p.y1, ccw));
        }
    });
}

void ObjectParts(PartBuffer &b, Unit *object, const XProperty &resolved, uint32_t mask)
{
    const int32_t type = object->object.type;
    auto P = [&](int n) { return DistancePointAt(object, n); };
    switch (type) {
    case OBJTYPE_LINE:
    case OBJTYPE_LINE_STR:
    case OBJTYPE_COMMENT:
        if ((mask & COLLECT_LINES) && P(1) && P(2))
            OfferLine(b, P(1)->x, P(1)->y, P(2)->x, P(2)->y);
        return;
    case OBJTYPE_HATCH:
    case OBJTYPE_CURVE:
    case OBJTYPE_SURFACE:
    case OBJTYPE_CLIP:
        PathParts(b, object, mask);
        return;
    case OBJTYPE_CIRCLE:
        if ((mask & COLLECT_CIRCLES) && P(1) && P(2))
            OfferCircle(b, GEO_CIRCLE, P(1)->x, P(1)->y, P(2)->x, P(2)->y);
        return;
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM: {
        const ElementPoint *c = P(1), *r = P(2), *s = P(3), *e = P(4);
        if (!c || !r || !s || !e)
            return;
        if (mask & COLLECT_LINES) {
            if (type == OBJTYPE_CIRC_SEC) {
                OfferLine(b, c->x, c->y, s->x, s->y);
                OfferLine(b, c->x, c->y, e->x, e->y);
            } else if (type == OBJTYPE_CIRC_SEGM) {
                OfferLine(b, s->x, s->y, e->x, e->y);
            }
        }
        OfferArc(b, mask, c->x, c->y, r->x, r->y, s->x, s->y, e->x, e->y, Orientation(object, 5),
                 SubValue(object, 6, 0));
        return;
    }
    case OBJTYPE_ZIGZAG: {
        const ElementPoint *a = P(1), *z = P(2);
        const Element *size = DistanceElementAt(object, 3);
        if (!(mask & COLLECT_LINES) || !a || !z || !size || size->kind != ELEM_CONSTANT)
            return;
        PathPoint *q = g_WorkArrays.pathPoints;
        q[0] = {a->x, a->y};
        q[1] = {z->x, z->y};
        const int32_t n = FlatAddZigzag(q, 0, *static_cast<const double *>(ElementPayload(size)), resolved.width);
        for (int32_t i = 1; i < n; ++i)
            OfferLine(b, q[i - 1].x, q[i - 1].y, q[i].x, q[i].y);
        return;
    }
    case OBJTYPE_ELLIPSE:
        if ((mask & COLLECT_ELLIPSES) && P(1) && P(2) && P(3))
            OfferEllipse(b, GEO_ELLIPSE, P(1), P(2), P(3));
        return;
    case OBJTYPE_ELLI_ARC:
    case OBJTYPE_ELLI_SEC:
    case OBJTYPE_ELLI_SEGM: {
        const ElementPoint *c = P(1), *a1 = P(2), *a2 = P(3), *s = P(4), *e = P(5);
        if (!c || !a1 || !a2 || !s || !e)
            return;
        if (mask & COLLECT_LINES) {
            if (type == OBJTYPE_ELLI_SEC) {
                OfferLine(b, c->x, c->y, s->x, s->y);
                OfferLine(b, c->x, c->y, e->x, e->y);
            } else if (type == OBJTYPE_ELLI_SEGM) {
                OfferLine(b, s->x, s->y, e->x, e->y);
            }
        }
        for (uint32_t bit : {COLLECT_ELLIPSES, COLLECT_ELLI_ARCS}) {
            if (!(mask & bit))
                continue;
            GeoObject *g = Slot(b, GEO_ELLI_ARC);
            g->d[0] = c->x, g->d[1] = c->y, g->d[2] = a1->x, g->d[3] = a1->y, g->d[4] = a2->x, g->d[5] = a2->y;
            g->d[6] = s->x, g->d[7] = s->y, g->d[8] = e->x, g->d[9] = e->y;
            g->direction = Orientation(object, 6);
            g->d[CANDIDATE_START_PARAMETER] = SubValue(object, 7, 0);
            g->d[CANDIDATE_SWEEP] = SubValue(object, 7, 1);
            Offer(b, g, bit == COLLECT_ELLIPSES ? GEO_ELLIPSE : -1);
        }
        return;
    }
    case OBJTYPE_LINE_CURVED: {
        const ElementPoint *c = P(1), *r = P(2), *s = P(3), *e = P(4);
        if (c && r && s && e)
            OfferArc(b, mask, c->x, c->y, r->x, r->y, s->x, s->y, e->x, e->y, Orientation(object, 5),
                     SubValue(object, 7, 0));
        return;
    }
    case OBJTYPE_FRAME_TEXT: {
        const ElementPoint *p1 = P(1), *p2 = P(2), *p3 = P(3);
        if (!(mask & COLLECT_LINES) || !g_DrawingSettings.displayFrames || !p1 || !p2 || !p3)
            return;
        const double qx = p2->x + p3->x - p1->x, qy = p2->y + p3->y - p1->y;
        OfferLine(b, p1->x, p1->y, p2->x, p2->y);
        OfferLine(b, p2->x, p2->y, qx, qy);
        OfferLine(b, qx, qy, p3->x, p3->y);
        OfferLine(b, p3->x, p3->y, p1->x, p1->y);
        return;
    }
    case OBJTYPE_GEO_LINE:
        if ((mask & COLLECT_GEO_LINES) && P(1) && P(2)) {
            GeoObject *g = Slot(b, GEO_GEOLINE);
            g->d[0] = P(1)->x, g->d[1] = P(1)->y, g->d[2] = P(2)->x, g->d[3] = P(2)->y;
            Offer(b, g);
        }
        return;
    case OBJTYPE_GEO_CIRCLE:
        if ((mask & COLLECT_GEO_CIRCLES) && P(1) && P(2))
            OfferCircle(b, GEO_GEOCIRCLE, P(1)->x, P(1)->y, P(2)->x, P(2)->y);
        return;
    case OBJTYPE_GEO_ELLI:
        if ((mask & COLLECT_GEO_ELLIPSES) && P(1) && P(2) && P(3))
            OfferEllipse(b, GEO_GEOELLI, P(1), P(2), P(3));
        return;
    default:
        // Dimensions, reference texts and bitmaps offer their parts once
        // their derived geometry and images are kept; texts, splines and
        // marks have no elements.
        return;
    }
}

int Merge(const PartBuffer &b, int count)
{
    for (int i = 0; i < b.count; ++i) {
        const GeoObject &r = b.records[i];
        int at = 0;
        while (at < count && g_CalcCandidates[at].d[CANDIDATE_DISTANCE] < r.d[CANDIDATE_DISTANCE])
            ++at;
        if (at >= CALC_CANDIDATE_SLOTS)
            continue;
        const int last = count < CALC_CANDIDATE_SLOTS ? count : CALC_CANDIDATE_SLOTS - 1;
        std::memmove(&g_CalcCandidates[at + 1], &g_CalcCandidates[at], (last - at) * sizeof(GeoObject));
        g_CalcCandidates[at] = r;
        count = count < CALC_CANDIDATE_SLOTS ? count + 1 : CALC_CANDIDATE_SLOTS;
    }
    return count;
}

void MapPoint(const Matrix *m, double *d)
{
    MatrixApply(*m, d[0], d[1], &d[0], &d[1]);
}

} // namespace

int DistanceTestGeoObject(GeoObject *g, const Matrix *matrix, double tolerance, double px, double py)
{
    double *d = g->d;
    if (matrix) {
        const bool distorted = MatrixIsDistorted(matrix) != 0;
        switch (g->type) {
        case GEO_LINE:
        case GEO_GEOLINE:
            MapPoint(matrix, d), MapPoint(matrix, d + 2);
            break;
        case GEO_CURVE:
            MapPoint(matrix, d), MapPoint(matrix, d + 2), MapPoint(matrix, d + 6), MapPoint(matrix, d + 8);
            break;
        case GEO_ELLIPSE:
        case GEO_GEOELLI:
            MapPoint(matrix, d), MapPoint(matrix, d + 2), MapPoint(matrix, d + 4);
            break;
        case GEO_ELLI_ARC:
        case GEO_ELLI_SEC:
        case GEO_ELLI_SEGM:
            MapPoint(matrix, d), MapPoint(matrix, d + 2), MapPoint(matrix, d + 4);
            MapPoint(matrix, d + 6), MapPoint(matrix, d + 8);
            break;
        case GEO_CIRCLE:
        case GEO_GEOCIRCLE:
        case GEO_CIRC_ARC:
        case GEO_CIRC_SEC:
        case GEO_CIRC_SEGM: {
            const bool arc = g->type >= GEO_CIRC_ARC && g->type <= GEO_CIRC_SEGM;
            if (distorted) {
                // A circle under a distorting matrix is an ellipse.
                const double r = std::hypot(d[2] - d[0], d[3] - d[1]);
                const double cx = d[0], cy = d[1];
                MatrixApply(*matrix, cx + r, cy, &d[2], &d[3]);
                MatrixApply(*matrix, cx, cy + r, &d[4], &d[5]);
                MapPoint(matrix, d);
                if (arc) {
                    MapPoint(matrix, d + 6), MapPoint(matrix, d + 8);
                    g->type = GEO_ELLI_ARC;
                } else {
                    g->type = g->type == GEO_CIRCLE ? GEO_ELLIPSE : GEO_GEOELLI;
                }
            } else {
                MapPoint(matrix, d), MapPoint(matrix, d + 2);
                if (arc)
                    MapPoint(matrix, d + 6), MapPoint(matrix, d + 8);
            }
            break;
        }
        default:
            break;
        }
        if (((g->type >= GEO_CIRC_ARC && g->type <= GEO_CIRC_SEGM) ||
             (g->type >= GEO_ELLI_ARC && g->type <= GEO_ELLI_SEGM)) &&
            MatrixIsMirrored(matrix))
            g->direction = g->direction ? 0 : 1;
    }
    d[CANDIDATE_DISTANCE] = DistanceGeoObject(g, px, py);
    return d[CANDIDATE_DISTANCE] < tolerance ? 1 : 0;
}

int DistanceObjectParts(const Unit *object, const XProperty *resolved, const Matrix *matrix, double tolerance,
                        double px, double py, uint32_t mask)
{
    PartBuffer b = BeginParts(*resolved, matrix, tolerance, px, py);
    PathParts(b, object, mask);
    return b.count;
}

int DistanceCollectElements(Unit *object, const XProperty *parent, const Matrix *matrix, double tolerance,
                            double px, double py, uint32_t mask, int count)
{
    XProperty resolved;
    OutputResolveXProperty(&object->property, parent, &resolved);
    const bool usable = (mask & COLLECT_PICKABLE_ONLY)
                            ? OutputIsLayerPickable(resolved.layer) && OutputIsPenPickable(resolved.pen)
                            : OutputIsLayerShownScreen(resolved.layer) && OutputIsPenShownScreen(resolved.pen);
    if (!usable)
        return count;
    PartBuffer b = BeginParts(resolved, matrix, tolerance, px, py);
    ObjectParts(b, object, resolved, mask);
    return Merge(b, count);
}

int DistanceCollectInstanceElements(Unit *instance, const XProperty *parent, const Matrix *matrix, double tolerance,
                                    double px, double py, uint32_t mask, int count)
{
    OutputContext &ctx = g_OutputContext;
    if (ctx.nestingDepth > OUTPUT_MAX_NESTING)
        return count;
    Matrix m = instance->instance.placement;
    if (matrix)
        MatrixMultiply(&m, matrix);
    Unit *block = SymbolGetInstanceBlock(instance);
    if (!block)
        return count;
    ++ctx.nestingDepth;
    Unit *saved = ctx.currentInstance;
    ctx.currentInstance = instance;
    XProperty members;
    OutputInheritXProperty(&instance->property, &block->property, parent, &members);
    for (Unit *member = block->block.firstMember; member; member = member->next) {
        if (member->kind == UNIT_KIND_OBJECT)
            count = DistanceCollectElements(member, &members, &m, tolerance, px, py, mask, count);
        else if (member->kind == UNIT_KIND_INSTANCE || member->kind == UNIT_KIND_PLUGIN)
            count = DistanceCollectInstanceElements(member, &members, &m, tolerance, px, py, mask, count);
    }
    --ctx.nestingDepth;
    ctx.currentInstance = saved;
    return count;
}
