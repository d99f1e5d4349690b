// Distances from a point to primitives, stored objects, instances and clip
// references, and the search box in front of them.
#include "geometry/distance.h"

#include <algorithm>
#include <cmath>

#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "display/output.h"
#include "display/symbol.h"
#include "files/file_records.h"
#include "files/image_list.h"
#include "geometry/area.h"
#include "geometry/distance_internal.h"
#include "geometry/flat.h"
#include "geometry/frame_dim.h"

DistanceSearchBox g_DistanceSearchBox = {-DISTANCE_NONE, -DISTANCE_NONE, DISTANCE_NONE, DISTANCE_NONE, 0};

namespace {

constexpr int BEZIER_PIECE_STEP = 3;

PathPoint *Points() { return g_WorkArrays.pathPoints; }
uint32_t *Codes() { return g_WorkArrays.pathTypes; }

void Map(const Matrix *m, double *x, double *y)
{
    if (m)
        MatrixApply(*m, *x, *y, x, y);
}

double Hypot(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

// The perpendicular distance when the foot of p lies on the segment; < 0 when it does not.
double PerpendicularOnSegment(double x1, double y1, double x2, double y2, double px, double py)
{
    const double vx = x2 - x1, vy = y2 - y1, dx = px - x1, dy = py - y1;
    const double l2 = vx * vx + vy * vy, t = dx * vx + dy * vy;
    if (l2 != 0.0 && t >= 0.0 && t <= l2)
        return std::sqrt(std::fabs(dx * dx + dy * dy - t * t / l2));
    return -1.0;
}

// The smallest Bezier distance over the pieces of a flattened curve of n entries.
double BezierPieces(int32_t n, double px, double py, const Matrix *matrix)
{
    double best = DISTANCE_NONE;
    const PathPoint *q = Points();
    for (int32_t i = 0; i + BEZIER_PIECE_STEP < n; i += BEZIER_PIECE_STEP) {
        const double d = DistancePointBezier(q[i].x, q[i].y, q[i + 1].x, q[i + 1].y, q[i + 2].x, q[i + 2].y,
                                             q[i + 3].x, q[i + 3].y, px, py, matrix);
        if (d <= best)
            best = d;
    }
    return best;
}

void Keep(double *best, double d)
{
    if (d <= *best)
        *best = d;
}

// The nearest point element of the given kind.
double NearestPoint(const Unit *object, double px, double py, const Matrix *matrix, int16_t kind)
{
    double best = DISTANCE_NONE;
    const uint8_t *end = reinterpret_cast<const uint8_t *>(object) + object->bytes;
    for (const Element *e = UnitFirstElement(object); reinterpret_cast<const uint8_t *>(e) < end;
         e = ElementNext(e)) {
        if (e->kind == ELEM_END || e->size < ELEMENT_HEADER_SIZE)
            break;
        if (e->kind == kind) {
            const auto *p = reinterpret_cast<const ElementPoint *>(e);
            double x = p->x, y = p->y;
            Map(matrix, &x, &y);
            Keep(&best, Hypot(px - x, py - y));
        }
    }
    return best;
}

} // namespace

// ---------------------------------------------------------------------------
// Chain access shared with the collection.

const Element *DistanceElementAt(const Unit *object, int number)
{
    return UnitElementAt(const_cast<Unit *>(object), number);
}

const ElementPoint *DistancePointAt(const Unit *object, int number)
{
    const Element *e = DistanceElementAt(object, number);
    return e && ElementIsPoint(e) && e->size >= ELEM_SIZE_POINT ? reinterpret_cast<const ElementPoint *>(e)
                                                                 : nullptr;
}

const double *DistanceValuesAt(const Unit *object, int number, int16_t kind)
{
    const Element *e = DistanceElementAt(object, number);
    return e && e->kind == kind && e->size >= ELEMENT_HEADER_SIZE + 2 * sizeof(double)
               ? static_cast<const double *>(ElementPayload(e))
               : nullptr;
}

// ---------------------------------------------------------------------------
// Search box.

void DistanceResetSearchBox()
{
    g_DistanceSearchBox = {-DISTANCE_NONE, -DISTANCE_NONE, DISTANCE_NONE, DISTANCE_NONE, 0};
}

void DistanceSetSearchBox(double xmin, double ymin, double xmax, double ymax)
{
    g_DistanceSearchBox = {xmin, ymin, xmax, ymax, 1};
}

int DistanceBoxInSearchBox(double x1, double y1, double x2, double y2, const Matrix *matrix)
{
    const DistanceSearchBox &b = g_DistanceSearchBox;
    if (!b.on)
        return 1;
    double xmin = std::min(x1, x2), xmax = std::max(x1, x2), ymin = std::min(y1, y2), ymax = std::max(y1, y2);
    if (matrix) {
        const double rect[4] = {xmin, ymin, xmax, ymax};
        double out[4];
        MatrixTransformRect(matrix, rect, out);
        xmin = out[0], ymin = out[1], xmax = out[2], ymax = out[3];
    }
    return xmax < b.xmin || xmin > b.xmax || ymax < b.ymin || ymin > b.ymax ? 0 : 1;
}

int DistanceObjectInSearchBox(const Unit *object, const Matrix *matrix)
{
    const DistanceSearchBox &b = g_DistanceSearchBox;
    if (!b.on)
        return 1;
    const double *f = object->frame;
    if (matrix)
        return DistanceBoxInSearchBox(f[0], f[1], f[2], f[3], matrix);
    return f[0] > b.xmax || f[2] < b.xmin || f[1] > b.ymax || f[3] < b.ymin ? 0 : 1;
}

// ---------------------------------------------------------------------------
// Primitives.

double DistancePointSegment(double x1, double y1, double x2, double y2, double px, double py, const Matrix *matrix)
{
    Map(matrix, &x1, &y1);
    Map(matrix, &x2, &y2);
    const double perpendicular = PerpendicularOnSegment(x1, y1, x2, y2, px, py);
    if (perpendicular >= 0.0)
        return perpendicular;
    const double d1 = Hypot(px - x1, py - y1), d2 = Hypot(px - x2, py - y2);
    return d2 < d1 ? d2 : d1;
}

double DistancePointPolyline(int32_t count, double px, double py, const Matrix *matrix)
{
    double best = DISTANCE_NONE;
    const PathPoint *q = Points();
    if (count < 1)
        return best;
    double x0 = q[0].x, y0 = q[0].y;
    Map(matrix, &x0, &y0);
    for (int32_t i = 1; i < count; ++i) {
        double x1 = q[i].x, y1 = q[i].y;
        Map(matrix, &x1, &y1);
        const double perpendicular = PerpendicularOnSegment(x0, y0, x1, y1, px, py);
        if (perpendicular >= 0.0)
            Keep(&best, perpendicular);
        Keep(&best, Hypot(px - x0, py - y0));
        x0 = x1, y0 = y1;
    }
    Keep(&best, Hypot(px - x0, py - y0));
    return best;
}

double DistancePointEndlessLine(double x1, double y1, double x2, double y2, double px, double py,
                                const Matrix *matrix)
{
    Map(matrix, &x1, &y1);
    Map(matrix, &x2, &y2);
    const double vx = x2 - x1, vy = y2 - y1, dx = px - x1, dy = py - y1;
    const double l = Hypot(vx, vy), d = Hypot(dx, dy);
    if (l == 0.0)
        return d;
    const double s = (dx * vx + dy * vy) / l;
    return std::sqrt(std::fabs(d * d - s * s));
}

double DistancePointBezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                           double px, double py, const Matrix *matrix)
{
    Map(matrix, &x0, &y0);
    Map(matrix, &x1, &y1);
    Map(matrix, &x2, &y2);
    Map(matrix, &x3, &y3);
    return CalcDistancePointBezier(x0, y0, x1, y1, x2, y2, x3, y3, px, py);
}

double DistancePointCircle(double cx, double cy, double x1, double y1, double px, double py, const Matrix *matrix)
{
    if (!matrix)
        return std::fabs(Hypot(px - cx, py - cy) - Hypot(x1 - cx, y1 - cy));
    Points()[0] = {cx, cy};
    Points()[1] = {x1, y1};
    return BezierPieces(FlatAddCircle(Points(), Codes(), 0), px, py, matrix);
}

double DistancePointCircleArc(double cx, double cy, double x1, double y1, double x2, double y2, double sweep,
                              double px, double py, const Matrix *matrix)
{
    if (!matrix) {
        if (CalcAngleInArc(cx, cy, x1, y1, x2, y2, px, py, sweep >= 0.0 ? 1 : 0))
            return std::fabs(Hypot(px - cx, py - cy) - Hypot(x1 - cx, y1 - cy));
        const double d1 = Hypot(px - x1, py - y1), d2 = Hypot(px - x2, py - y2);
        return d2 < d1 ? d2 : d1;
    }
    Points()[0] = {x1, y1};
    Points()[1] = {x2, y2};
    Points()[2] = {cx, cy};
    return BezierPieces(FlatAddArc(Points(), Codes(), 0, sweep), px, py, matrix);
}

double DistancePointEllipse(double cx, double cy, double a1x, double a1y, double a2x, double a2y, double px,
                            double py, const Matrix *matrix)
{
    Points()[0] = {cx, cy};
    Points()[1] = {a1x, a1y};
    Points()[2] = {a2x, a2y};
    return BezierPieces(FlatAddEllipse(Points(), Codes(), 0), px, py, matrix);
}

double DistancePointEllipseArc(double cx, double cy, double a1x, double a1y, double a2x, double a2y, double sx,
                               double sy, double ex, double ey, double start, double sweep, double px, double py,
                               const Matrix *matrix)
{
    Points()[0] = {sx, sy};
    Points()[1] = {ex, ey};
    Points()[2] = {cx, cy};
    Points()[3] = {a1x, a1y};
    Points()[4] = {a2x, a2y};
    const int32_t n = FlatAddEllipseArc(Points(), Codes(), 0, start, sweep);
    return n < 0 ? DISTANCE_NONE : BezierPieces(n, px, py, matrix);
}

int32_t DistanceFlattenSpline(const Unit *object)
{
    int32_t n = 0;
    const uint8_t *end = reinterpret_cast<const uint8_t *>(object) + object->bytes;
    for (const Element *e = UnitFirstElement(object); reinterpret_cast<const uint8_t *>(e) < end;
         e = ElementNext(e)) {
        if ((e->kind == POINT_START || e->kind == POINT_LINE) && n < static_cast<int32_t>(g_MaxPathPoints)) {
            const auto *p = reinterpret_cast<const ElementPoint *>(e);
            Points()[n++] = {p->x, p->y};
        }
        if (e->kind == ELEM_END || e->size < ELEMENT_HEADER_SIZE)
            break;
    }
    return n < 1 ? 0 : FlatAddSpline(Points(), 0, n);
}

double DistancePointSpline(const Unit *object, double px, double py, const Matrix *matrix)
{
    g_OutputContext.mode = OUTPUT_MEASURE;
    const int32_t count = DistanceFlattenSpline(object);
    return count >= 1 ? DistancePointPolyline(count, px, py, matrix) : DISTANCE_NONE;
}

void DistanceWalkPath(const Unit *object, int32_t from, bool oneFigure,
                      const std::function<void(const DistancePathPiece &)> &visit)
{
    const bool open = object->object.type == OBJTYPE_HATCH || object->object.type == OBJTYPE_CURVE;
    const uint8_t *base = reinterpret_cast<const uint8_t *>(UnitFirstElement(object));
    const uint8_t *end = reinterpret_cast<const uint8_t *>(object) + object->bytes;
    double cx = 0, cy = 0, sx = 0, sy = 0;
    int32_t figure = -1;
    auto offsetOf = [&](const Element *e) { return static_cast<int32_t>(reinterpret_cast<const uint8_t *>(e) - base); };
    auto inside = [&](const Element *e) { return reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end; };
    auto piece = [&](int kind, double x1, double y1, int32_t offset) {
        DistancePathPiece p{};
        p.kind = kind, p.x0 = cx, p.y0 = cy, p.x1 = x1, p.y1 = y1, p.offset = offset, p.figureStart = figure;
        return p;
    };
    auto closeFigure = [&]() {
        if (open || figure < 0)
            return;
        DistancePathPiece p = piece(PATH_PIECE_LINE, sx, sy, -1);
        p.closing = true;
        visit(p);
    };
    for (const Element *e = reinterpret_cast<const Element *>(base + from); inside(e); e = ElementNext(e)) {
        if (e->size < ELEMENT_HEADER_SIZE || e->kind == ELEM_END)
            break;
        const auto *p = reinterpret_cast<const ElementPoint *>(e);
        if (e->kind == POINT_START) {
            closeFigure();
            if (oneFigure && figure >= 0)
                return;
            cx = sx = p->x, cy = sy = p->y;
            figure = offsetOf(e);
        } else if (e->kind == POINT_LINE) {
            visit(piece(PATH_PIECE_LINE, p->x, p->y, offsetOf(e)));
            cx = p->x, cy = p->y;
        } else if (e->kind == POINT_CONTROL1) {
            const Element *e8 = ElementNext(e);
            const Element *e2 = inside(e8) ? ElementNext(e8) : nullptr;
            if (inside(e8) && e8->kind == POINT_CONTROL2 && e2 && inside(e2) && e2->kind == POINT_LINE) {
                const auto *p8 = reinterpret_cast<const ElementPoint *>(e8);
                const auto *p2 = reinterpret_cast<const ElementPoint *>(e2);
                DistancePathPiece b = piece(PATH_PIECE_BEZIER, p2->x, p2->y, offsetOf(e));
                b.c1x = p->x, b.c1y = p->y, b.c2x = p8->x, b.c2y = p8->y;
                visit(b);
                cx = p2->x, cy = p2->y;
                e = e2;
            }
        } else if (e->kind == POINT_ARC_PIECE_END) {
            const Element *next = ElementNext(e);
            if (inside(next) && next->kind == ELEM_CURVE) {
                const double *curve = static_cast<const double *>(ElementPayload(next));
                DistancePathPiece a = piece(PATH_PIECE_ARC, p->x, p->y, offsetOf(e));
                a.direction = curve[0], a.factor = curve[1];
                visit(a);
                cx = p->x, cy = p->y;
                e = next;
            }
        }
    }
    closeFigure();
}

double DistancePointPathObject(const Unit *object, double px, double py, const Matrix *matrix)
{
    double best = DISTANCE_NONE;
    DistanceWalkPath(object, 0, false, [&](const DistancePathPiece &p) {
        if (p.kind == PATH_PIECE_LINE) {
            Keep(&best, DistancePointSegment(p.x0, p.y0, p.x1, p.y1, px, py, matrix));
        } else if (p.kind == PATH_PIECE_BEZIER) {
            Keep(&best, DistancePointBezier(p.x0, p.y0, p.c1x, p.c1y, p.c2x, p.c2y, p.x1, p.y1, px, py, matrix));
        } else {
            Points()[0] = {p.x0, p.y0};
            Points()[1] = {p.x1, p.y1};
            const int32_t n = FlatAddArcBulge(Points(), Codes(), 0, p.direction, p.factor);
            if (n == 2) // a bulge too flat to bend: a straight piece
                Keep(&best, DistancePointSegment(p.x0, p.y0, p.x1, p.y1, px, py, matrix));
            else
                Keep(&best, BezierPieces(n, px, py, matrix));
        }
    });
    return best;
}

double DistancePointMarkPoints(const Unit *object, double px, double py, const Matrix *matrix)
{
    return NearestPoint(object, px, py, matrix, POINT_MARK);
}

// ---------------------------------------------------------------------------
// Objects.

namespace {

// The straight parts that a sector (its two radii) or a segment (its chord)
// adds to its arc.
void SectorParts(double *best, bool sector, bool segment, double cx, double cy, double sx, double sy, double ex,
                 double ey, double px, double py, const Matrix *matrix)
{
    if (sector) {
        Keep(best, DistancePointSegment(cx, cy, sx, sy, px, py, matrix));
        Keep(best, DistancePointSegment(cx, cy, ex, ey, px, py, matrix));
    } else if (segment) {
        Keep(best, DistancePointSegment(sx, sy, ex, ey, px, py, matrix));
    }
}

double Sweep(const Unit *object, int number)
{
    const Element *e = DistanceElementAt(object, number);
    return e && e->kind < 0 && e->size >= ELEMENT_HEADER_SIZE + sizeof(double)
               ? *static_cast<const double *>(ElementPayload(e))
               : 0.0;
}

double CircleArcParts(const Unit *object, int32_t type, double px, double py, const Matrix *matrix)
{
    const ElementPoint *c = DistancePointAt(object, 1), *s = DistancePointAt(object, 3), *e = DistancePointAt(object, 4);
    if (!c || !s || !e)
        return DISTANCE_NONE;
    double best = DistancePointCircleArc(c->x, c->y, s->x, s->y, e->x, e->y, Sweep(object, 6), px, py, matrix);
    SectorParts(&best, type == OBJTYPE_CIRC_SEC, type == OBJTYPE_CIRC_SEGM, c->x, c->y, s->x, s->y, e->x, e->y, px, py,
                matrix);
    return best;
}

double EllipseArcParts(const Unit *object, int32_t type, double px, double py, const Matrix *matrix)
{
    const ElementPoint *c = DistancePointAt(object, 1), *a1 = DistancePointAt(object, 2),
                       *a2 = DistancePointAt(object, 3), *s = DistancePointAt(object, 4),
                       *e = DistancePointAt(object, 5);
    const double *sub = DistanceValuesAt(object, 7, ELEM_SUB_ELLIPSE_ARC);
    if (!c || !a1 || !a2 || !s || !e || !sub)
        return DISTANCE_NONE;
    double best = DistancePointEllipseArc(c->x, c->y, a1->x, a1->y, a2->x, a2->y, s->x, s->y, e->x, e->y, sub[0],
                                          sub[1], px, py, matrix);
    SectorParts(&best, type == OBJTYPE_ELLI_SEC, type == OBJTYPE_ELLI_SEGM, c->x, c->y, s->x, s->y, e->x, e->y, px, py,
                matrix);
    return best;
}

// The outline of the placed image; an image that is not loaded has none.
double Bitmap(const Unit *object, double px, double py, const Matrix *matrix)
{
    const Element *e = DistanceElementAt(object, 1);
    double c[4][2];
    if (!e || e->kind != ELEM_BITMAP_REF || e->size < ELEM_SIZE_BITMAP_REF ||
        !ImagePlacedCorners(static_cast<const BitmapRefData *>(ElementPayload(e)), 0, c))
        return DISTANCE_NONE;
    double best = DISTANCE_NONE;
    for (int i = 0; i < 4; ++i)
        Keep(&best, DistancePointSegment(c[i][0], c[i][1], c[(i + 1) % 4][0], c[(i + 1) % 4][1], px, py, matrix));
    return best;
}

double Zigzag(const Unit *object, const XProperty &resolved, double px, double py, const Matrix *matrix)
{
    const ElementPoint *a = DistancePointAt(object, 1), *b = DistancePointAt(object, 2);
    const Element *size = DistanceElementAt(object, 3);
    if (!a || !b || !size || size->kind != ELEM_CONSTANT)
        return DISTANCE_NONE;
    Points()[0] = {a->x, a->y};
    Points()[1] = {b->x, b->y};
    const int32_t n = FlatAddZigzag(Points(), 0, *static_cast<const double *>(ElementPayload(size)), resolved.width);
    return n < 1 ? DISTANCE_NONE : DistancePointPolyline(n, px, py, matrix);
}

// The members of a block under a composed matrix and inherited attributes;
// the shared half of instances and clip references.
double BlockMembers(Unit *owner, Unit *block, const XProperty *ownProperty, double px, double py,
                    const XProperty *parent, const Matrix &m, int flags)
{
    OutputContext &ctx = g_OutputContext;
    if (!block)
        return Hypot(px - m.tx, py - m.ty);
    ++ctx.nestingDepth;
    Unit *savedInstance = ctx.currentInstance;
    ctx.currentInstance = owner;
    XProperty members;
    OutputInheritXProperty(ownProperty, &block->property, parent, &members);
    double best = DISTANCE_NONE;
    for (Unit *member = block->block.firstMember; member; member = member->next) {
        if (member->kind == UNIT_KIND_OBJECT)
            Keep(&best, DistanceObjectFiltered(member, px, py, &members, &m, flags));
        else if (member->kind == UNIT_KIND_INSTANCE || member->kind == UNIT_KIND_PLUGIN)
            Keep(&best, DistanceInstanceFiltered(member, px, py, &members, &m, flags));
    }
    --ctx.nestingDepth;
    ctx.currentInstance = savedInstance;
    return best;
}

} // namespace

double DistancePointObject(Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix,
                           int flags)
{
    XProperty resolved;
    if (!OutputResolveXProperty(&object->property, parent, &resolved) && flags)
        return DISTANCE_NONE;
    g_OutputContext.mode = OUTPUT_MEASURE;
    const int32_t type = object->object.type;
    switch (type) {
    case OBJTYPE_LINE:
    case OBJTYPE_LINE_STR:
    case OBJTYPE_COMMENT: {
        const ElementPoint *a = DistancePointAt(object, 1), *b = DistancePointAt(object, 2);
        return a && b ? DistancePointSegment(a->x, a->y, b->x, b->y, px, py, matrix) : DISTANCE_NONE;
    }
    case OBJTYPE_HATCH:
    case OBJTYPE_CURVE:
    case OBJTYPE_SURFACE:
        return DistancePointPathObject(object, px, py, matrix);
    case OBJTYPE_CIRCLE:
    case OBJTYPE_GEO_CIRCLE: {
        const ElementPoint *c = DistancePointAt(object, 1), *p = DistancePointAt(object, 2);
        return c && p ? DistancePointCircle(c->x, c->y, p->x, p->y, px, py, matrix) : DISTANCE_NONE;
    }
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM:
        return CircleArcParts(object, type, px, py, matrix);
    case OBJTYPE_ZIGZAG:
        return Zigzag(object, resolved, px, py, matrix);
    case OBJTYPE_SPLINE:
        return DistancePointSpline(object, px, py, matrix);
    case OBJTYPE_ELLIPSE:
    case OBJTYPE_GEO_ELLI: {
        const ElementPoint *c = DistancePointAt(object, 1), *a1 = DistancePointAt(object, 2),
                           *a2 = DistancePointAt(object, 3);
        return c && a1 && a2 ? DistancePointEllipse(c->x, c->y, a1->x, a1->y, a2->x, a2->y, px, py, matrix)
                             : DISTANCE_NONE;
    }
    case OBJTYPE_ELLI_ARC:
    case OBJTYPE_ELLI_SEC:
    case OBJTYPE_ELLI_SEGM:
        return EllipseArcParts(object, type, px, py, matrix);
    case OBJTYPE_LINE_CURVED: {
        const ElementPoint *c = DistancePointAt(object, 1), *s = DistancePointAt(object, 3),
                           *e = DistancePointAt(object, 4);
        return c && s && e ? DistancePointCircleArc(c->x, c->y, s->x, s->y, e->x, e->y, Sweep(object, 7), px, py,
                                                    matrix)
                           : DISTANCE_NONE;
    }
    case OBJTYPE_DIM_DIST:
    case OBJTYPE_DIM_RAD:
    case OBJTYPE_DIM_DIA:
    case OBJTYPE_DIM_ANGLE:
    case OBJTYPE_DIM_ARC:
    case OBJTYPE_DIM_COORD:
    case OBJTYPE_DIM_AREA:
    case OBJTYPE_DIM_PERI:
        return DistanceDimension(object, px, py, parent, matrix);
    case OBJTYPE_REF_TEXT:
        return DistanceRefText(object, px, py, parent, matrix);
    case OBJTYPE_STD_TEXT:
        return DistanceStandardTextAt(object, 1, px, py, parent, matrix);
    case OBJTYPE_FRAME_TEXT:
        return DistanceFrameText(object, px, py, parent, matrix);
    case OBJTYPE_MARK:
        return DistancePointMarkPoints(object, px, py, matrix);
    case OBJTYPE_CLIP:
        return std::min(DistancePointPathObject(object, px, py, matrix),
                        DistanceBlockReference(object, px, py, parent, matrix, flags));
    case OBJTYPE_GEO_LINE: {
        const ElementPoint *a = DistancePointAt(object, 1), *b = DistancePointAt(object, 2);
        return a && b ? DistancePointEndlessLine(a->x, a->y, b->x, b->y, px, py, matrix) : DISTANCE_NONE;
    }
    case OBJTYPE_BITMAP:
        return Bitmap(object, px, py, matrix);
    default:
        return DISTANCE_NONE;
    }
}

double DistanceObjectFiltered(Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix,
                              int flags)
{
    return DistanceObjectInSearchBox(object, matrix) ? DistancePointObject(object, px, py, parent, matrix, flags)
                                                     : DISTANCE_NONE;
}

double DistancePointInstance(Unit *instance, double px, double py, const XProperty *parent, const Matrix *matrix,
                             int flags)
{
    Matrix m = instance->instance.placement;
    if (matrix)
        MatrixMultiply(&m, matrix);
    if (g_OutputContext.nestingDepth > OUTPUT_MAX_NESTING)
        return Hypot(px - m.tx, py - m.ty);
    return BlockMembers(instance, SymbolGetInstanceBlock(instance), &instance->property, px, py, parent, m, flags);
}

double DistanceInstanceFiltered(Unit *instance, double px, double py, const XProperty *parent,
                                const Matrix *matrix, int flags)
{
    return DistanceObjectInSearchBox(instance, matrix) ? DistancePointInstance(instance, px, py, parent, matrix, flags)
                                                       : DISTANCE_NONE;
}

double DistanceBlockReference(Unit *clip, double px, double py, const XProperty *parent, const Matrix *matrix,
                              int flags)
{
    const Element *e = DistanceElementAt(clip, 1);
    if (!e || e->kind != ELEM_CLIP_SURFACE || e->size < ELEMENT_HEADER_SIZE + sizeof(ClipSurfaceData))
        return DISTANCE_NONE;
    const auto *surface = static_cast<const ClipSurfaceData *>(ElementPayload(e));
    XProperty resolved;
    OutputResolveXProperty(&clip->property, parent, &resolved);
    const int inside = AreaPointInPathObject(clip, px, py, 0.0, matrix, nullptr);
    const bool eraser = resolved.fillMode == FILL_ERASER || resolved.fillMode == FILL_ERASER_OUTLINE;
    if (eraser ? inside : !inside)
        return DISTANCE_NONE;
    if (surface->hide)
        return DISTANCE_NONE;
    Matrix m = surface->placement;
    if (matrix)
        MatrixMultiply(&m, matrix);
    if (g_OutputContext.nestingDepth > OUTPUT_MAX_NESTING)
        return Hypot(px - m.tx, py - m.ty);
    XProperty own;
    OutputFillXProperty(&clip->property, parent, &own);
    return BlockMembers(clip, SymbolFindBlock(surface->library, surface->block), &own, px, py, parent, m, flags);
}

double DistanceGeoObject(const GeoObject *g, double px, double py)
{
    const double *d = g->d;
    switch (g->type) {
    case GEO_LINE:
        return DistancePointSegment(d[0], d[1], d[2], d[3], px, py, nullptr);
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE:
        return DistancePointCircle(d[0], d[1], d[2], d[3], px, py, nullptr);
    case GEO_CIRC_ARC:
    case GEO_CIRC_SEC:
    case GEO_CIRC_SEGM: {
        const double sweep = CalcArcSweep(d[0], d[1], d[6], d[7], d[8], d[9], g->direction);
        double best = DistancePointCircleArc(d[0], d[1], d[6], d[7], d[8], d[9], sweep, px, py, nullptr);
        SectorParts(&best, g->type == GEO_CIRC_SEC, g->type == GEO_CIRC_SEGM, d[0], d[1], d[6], d[7], d[8], d[9], px,
                    py, nullptr);
        return best;
    }
    case GEO_CURVE:
        return DistancePointBezier(d[0], d[1], d[6], d[7], d[8], d[9], d[2], d[3], px, py, nullptr);
    case GEO_ELLIPSE:
    case GEO_GEOELLI:
        return DistancePointEllipse(d[0], d[1], d[2], d[3], d[4], d[5], px, py, nullptr);
    case GEO_ELLI_ARC:
    case GEO_ELLI_SEC:
    case GEO_ELLI_SEGM: {
        const double sweep =
            CalcEllipseArcSweep(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], g->direction);
        const double start = CalcEllipsePointTowards(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
        double best = DistancePointEllipseArc(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], start,
                                              sweep, px, py, nullptr);
        SectorParts(&best, g->type == GEO_ELLI_SEC, g->type == GEO_ELLI_SEGM, d[0], d[1], d[6], d[7], d[8], d[9], px,
                    py, nullptr);
        return best;
    }
    case GEO_MARK:
        return Hypot(px - d[0], py - d[1]);
    case GEO_GEOLINE:
        return DistancePointEndlessLine(d[0], d[1], d[2], d[3], px, py, nullptr);
    default:
        return DISTANCE_NONE;
    }
}
