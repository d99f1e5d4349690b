// Intersections of geometry records, and the intersection modes of the snap
// search: the objects near the pointer become records, every pair of them
// (and each with the running command's reference geometry) is intersected.
#include <cmath>
#include <vector>

#include "app/init.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "commands/snap.h"
#include "commands/snap_internal.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "display/output.h"
#include "files/file_records.h"
#include "files/image_list.h"
#include "geometry/distance.h"
#include "geometry/distance_internal.h"
#include "geometry/flat.h"
#include "geometry/frame_dim.h"

namespace {

// A solution on a segment counts a little beyond its ends.
constexpr double SEGMENT_WINDOW = 0.001;
// End points that meet, and a crossing lying on such a junction.
constexpr double JUNCTION_EPS = 1e-10;
constexpr double JUNCTION_POINT_EPS = 1e-5;

enum Group { G_NONE, G_SEGMENT, G_LINE, G_CIRCLE, G_ARC, G_BEZIER, G_ELLIPSE, G_ELLI_ARC };

Group GroupOf(const GeoObject *g)
{
    switch (g->type) {
    case GEO_LINE: return G_SEGMENT;
    case GEO_GEOLINE: return G_LINE;
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE: return G_CIRCLE;
    case GEO_CIRC_ARC:
    case GEO_CIRC_SEC:
    case GEO_CIRC_SEGM: return G_ARC;
    case GEO_CURVE: return G_BEZIER;
    case GEO_ELLIPSE:
    case GEO_GEOELLI: return G_ELLIPSE;
    case GEO_ELLI_ARC:
    case GEO_ELLI_SEC:
    case GEO_ELLI_SEGM: return G_ELLI_ARC;
    default: return G_NONE;
    }
}

bool IsArc(Group g) { return g == G_ARC || g == G_ELLI_ARC; }
bool IsCircleLike(Group g) { return g == G_CIRCLE || g == G_ARC; }
bool IsEllipseLike(Group g) { return g == G_ELLIPSE || g == G_ELLI_ARC; }

// The end points of a record: segment start and end, arc start and end,
// Bezier P0 and P3; none for closed and endless figures.
int EndPoints(const GeoObject *g, CalcPoint out[2])
{
    const Group k = GroupOf(g);
    if (k == G_SEGMENT || k == G_BEZIER) {
        out[0] = {g->d[0], g->d[1]};
        out[1] = {g->d[2], g->d[3]};
        return 2;
    }
    if (IsArc(k)) {
        out[0] = {g->d[6], g->d[7]};
        out[1] = {g->d[8], g->d[9]};
        return 2;
    }
    return 0;
}

bool Near(const CalcPoint &p, const CalcPoint &q, double eps)
{
    return std::fabs(p.x - q.x) <= eps && std::fabs(p.y - q.y) <= eps;
}

// The end point of b that meets an end point of a, when there is one.
bool Junction(const GeoObject *a, const GeoObject *b, CalcPoint *at)
{
    CalcPoint ea[2], eb[2];
    const int na = EndPoints(a, ea), nb = EndPoints(b, eb);
    for (int i = 0; i < na; ++i)
        for (int j = 0; j < nb; ++j)
            if (Near(ea[i], eb[j], JUNCTION_EPS)) {
                *at = eb[j];
                return true;
            }
    return false;
}

bool InArc(const GeoObject *g, const CalcPoint &p)
{
    if (!IsArc(GroupOf(g)))
        return true;
    return CalcAngleInArc(g->d[0], g->d[1], g->d[6], g->d[7], g->d[8], g->d[9], p.x, p.y, g->direction) != 0;
}

bool InWindow(double t) { return t > -SEGMENT_WINDOW && t < 1.0 + SEGMENT_WINDOW; }

struct Collector {
    const GeoObject *a, *b;
    bool filterJunction;
    CalcPoint junction;
    int count = 0;

    void Offer(const CalcPoint &p)
    {
        if (count >= SNAP_MAX_CROSSINGS || !InArc(a, p) || !InArc(b, p))
            return;
        if (filterJunction && Near(p, junction, JUNCTION_POINT_EPS))
            return;
        g_WorkArrays.pathPoints[count++] = {p.x, p.y};
    }
};

// Line with line: a is a segment or endless line, b too.
void LineLine(Collector &c, const GeoObject *a, const GeoObject *b)
{
    if (!CalcIntersectLineLine(a->d[0], a->d[1], a->d[2], a->d[3], b->d[0], b->d[1], b->d[2], b->d[3]))
        return;
    const CalcPoint p = g_CalcPoints[0], t = g_CalcPoints[1];
    if (GroupOf(a) == G_SEGMENT && !InWindow(t.x))
        return;
    if (GroupOf(b) == G_SEGMENT && !InWindow(t.y))
        return;
    c.Offer(p);
}

// A segment or endless line with a circle, arc, ellipse or elliptic arc.
void LineConic(Collector &c, const GeoObject *line, const GeoObject *conic)
{
    const double *l = line->d, *q = conic->d;
    const int n = IsCircleLike(GroupOf(conic))
                      ? CalcIntersectLineCircle(l[0], l[1], l[2], l[3], q[0], q[1], q[2], q[3])
                      : CalcIntersectLineEllipse(l[0], l[1], l[2], l[3], q[0], q[1], q[2], q[3], q[4], q[5]);
    const CalcPoint p[2] = {g_CalcPoints[0], g_CalcPoints[1]};
    const double t[2] = {g_CalcPoints[2].x, g_CalcPoints[2].y};
    for (int i = 0; i < n && i < 2; ++i)
        if (GroupOf(line) != G_SEGMENT || InWindow(t[i]))
            c.Offer(p[i]);
}

// Solvers that write two slots per solution: the point, then its parameters.
void CopySolutions(Collector &c, int slots)
{
    CalcPoint found[CALC_POINT_SLOTS / 2];
    int n = 0;
    for (int s = 0; s < slots && s < CALC_POINT_SLOTS; s += 2)
        found[n++] = g_CalcPoints[s];
    for (int i = 0; i < n; ++i)
        c.Offer(found[i]);
}

// A Bezier piece with a segment (bounded) or an endless line: the line
// parameter of each solution is checked on a segment.
void BezierLine(Collector &c, const GeoObject *bz, const GeoObject *line)
{
    const double *z = bz->d, *l = line->d;
    const bool segment = GroupOf(line) == G_SEGMENT;
    const int slots = CalcIntersectBezierLine(z[0], z[1], z[6], z[7], z[8], z[9], z[2], z[3], l[0], l[1], l[2], l[3],
                                              segment ? 0 : 1);
    CalcPoint found[CALC_POINT_SLOTS / 2];
    int n = 0;
    for (int s = 0; s < slots && s < CALC_POINT_SLOTS; s += 2)
        found[n++] = g_CalcPoints[s];
    const double dx = l[2] - l[0], dy = l[3] - l[1], len2 = dx * dx + dy * dy;
    for (int i = 0; i < n; ++i) {
        if (segment && len2 > 0.0) {
            const double t = ((found[i].x - l[0]) * dx + (found[i].y - l[1]) * dy) / len2;
            if (!InWindow(t))
                continue;
        }
        c.Offer(found[i]);
    }
}

void Dispatch(Collector &c, const GeoObject *a, const GeoObject *b)
{
    const Group ga = GroupOf(a), gb = GroupOf(b);
    const bool la = ga == G_SEGMENT || ga == G_LINE, lb = gb == G_SEGMENT || gb == G_LINE;
    const double *p = a->d, *q = b->d;
    if (la && lb)
        return LineLine(c, a, b);
    if (la && gb != G_BEZIER)
        return LineConic(c, a, b);
    if (lb && ga != G_BEZIER)
        return LineConic(c, b, a);
    if (ga == G_BEZIER && lb)
        return BezierLine(c, a, b);
    if (gb == G_BEZIER && la)
        return BezierLine(c, b, a);
    if (ga == G_BEZIER && gb == G_BEZIER)
        return CopySolutions(c, CalcIntersectBezierBezier(p[0], p[1], p[6], p[7], p[8], p[9], p[2], p[3], q[0], q[1],
                                                          q[6], q[7], q[8], q[9], q[2], q[3]));
    if (ga == G_BEZIER || gb == G_BEZIER) {
        const double *z = ga == G_BEZIER ? p : q, *o = ga == G_BEZIER ? q : p;
        const Group go = ga == G_BEZIER ? gb : ga;
        if (IsCircleLike(go))
            return CopySolutions(c, CalcIntersectCircleBezier(z[0], z[1], z[6], z[7], z[8], z[9], z[2], z[3], o[0],
                                                              o[1], o[2], o[3]));
        return CopySolutions(c, CalcIntersectEllipseBezier(z[0], z[1], z[6], z[7], z[8], z[9], z[2], z[3], o[0], o[1],
                                                           o[2], o[3], o[4], o[5]));
    }
    if (IsCircleLike(ga) && IsCircleLike(gb)) {
        const int n = CalcIntersectCircleCircle(p[0], p[1], p[2], p[3], q[0], q[1], q[2], q[3]);
        const CalcPoint s[2] = {g_CalcPoints[0], g_CalcPoints[1]};
        for (int i = 0; i < n && i < 2; ++i)
            c.Offer(s[i]);
        return;
    }
    if (IsCircleLike(ga) && IsEllipseLike(gb))
        return CopySolutions(c, CalcIntersectCircleEllipse(p[0], p[1], p[2], p[3], q[0], q[1], q[2], q[3], q[4], q[5]));
    if (IsEllipseLike(ga) && IsCircleLike(gb))
        return CopySolutions(c, CalcIntersectCircleEllipse(q[0], q[1], q[2], q[3], p[0], p[1], p[2], p[3], p[4], p[5]));
    CopySolutions(c, CalcIntersectEllipseEllipse(p[0], p[1], p[2], p[3], p[4], p[5], q[0], q[1], q[2], q[3], q[4],
                                                 q[5]));
}

} // namespace

int SnapIntersectObjects(const GeoObject *a, const GeoObject *b, int flags)
{
    if (!a || !b || a->type < 0 || b->type < 0 || GroupOf(a) == G_NONE || GroupOf(b) == G_NONE)
        return 0;
    Collector c{a, b, false, {0, 0}};
    CalcPoint at{};
    const bool junction = Junction(a, b, &at);
    // Two segments meeting at a corner never cross there or elsewhere.
    if (junction && GroupOf(a) == G_SEGMENT && GroupOf(b) == G_SEGMENT)
        return 0;
    c.filterJunction = flags != 0 && junction;
    c.junction = at;
    Dispatch(c, a, b);
    return c.count;
}

// ---- Records of objects ---------------------------------------------------------

namespace {

struct RecordSink {
    GeoObject *records;
    int capacity;
    int count;
    const Matrix *m;
    bool overflow;
};

void Map(const Matrix *m, double *x, double *y)
{
    if (m)
        MatrixApply(*m, *x, *y, x, y);
}

// Records whose points span a box count only when it meets the search box.
bool InSearchBox(const GeoObject &g)
{
    double x0 = g.d[0], y0 = g.d[1], x1 = g.d[2], y1 = g.d[3];
    if (g.type == GEO_CURVE) {
        for (int i : {6, 8}) {
            x0 = std::fmin(x0, g.d[i]), x1 = std::fmax(x1, g.d[i]);
            y0 = std::fmin(y0, g.d[i + 1]), y1 = std::fmax(y1, g.d[i + 1]);
        }
        const double ax = std::fmin(g.d[0], g.d[2]), bx = std::fmax(g.d[0], g.d[2]);
        const double ay = std::fmin(g.d[1], g.d[3]), by = std::fmax(g.d[1], g.d[3]);
        x0 = std::fmin(x0, ax), x1 = std::fmax(x1, bx), y0 = std::fmin(y0, ay), y1 = std::fmax(y1, by);
    } else if (g.type != GEO_LINE) {
        return true;
    }
    return DistanceBoxInSearchBox(x0, y0, x1, y1, nullptr) != 0;
}

void Add(RecordSink &s, const GeoObject &g)
{
    if (!InSearchBox(g))
        return;
    if (s.count >= s.capacity) {
        s.overflow = true;
        return;
    }
    s.records[s.count++] = g;
}

GeoObject Blank(int32_t type)
{
    GeoObject g{};
    g.type = type;
    return g;
}

void AddSegment(RecordSink &s, double x0, double y0, double x1, double y1, int32_t type = GEO_LINE)
{
    GeoObject g = Blank(type);
    Map(s.m, &x0, &y0);
    Map(s.m, &x1, &y1);
    g.d[0] = x0, g.d[1] = y0, g.d[2] = x1, g.d[3] = y1;
    Add(s, g);
}

void AddBezier(RecordSink &s, const double p[8])
{
    GeoObject g = Blank(GEO_CURVE);
    const int slot[4] = {0, 6, 8, 2};
    for (int i = 0; i < 4; ++i) {
        g.d[slot[i]] = p[2 * i], g.d[slot[i] + 1] = p[2 * i + 1];
        Map(s.m, &g.d[slot[i]], &g.d[slot[i] + 1]);
    }
    Add(s, g);
}

// A circle (arc: with start, end and direction). Inside an instance the
// placement may distort it: it becomes the ellipse (arc) it is drawn as.
void AddCircle(RecordSink &s, bool construction, double cx, double cy, double px, double py, const double *arc,
               int ccw)
{
    if (!s.m) {
        GeoObject g = Blank(arc ? GEO_CIRC_ARC : construction ? GEO_GEOCIRCLE : GEO_CIRCLE);
        g.d[0] = cx, g.d[1] = cy, g.d[2] = px, g.d[3] = py;
        if (arc)
            g.d[6] = arc[0], g.d[7] = arc[1], g.d[8] = arc[2], g.d[9] = arc[3], g.direction = ccw;
        Add(s, g);
        return;
    }
    const double r = std::hypot(px - cx, py - cy);
    GeoObject g = Blank(arc ? GEO_ELLI_ARC : construction ? GEO_GEOELLI : GEO_ELLIPSE);
    g.d[0] = cx, g.d[1] = cy, g.d[2] = cx + r, g.d[3] = cy, g.d[4] = cx, g.d[5] = cy + r;
    for (int i = 0; i < 6; i += 2)
        Map(s.m, &g.d[i], &g.d[i + 1]);
    if (arc) {
        g.d[6] = arc[0], g.d[7] = arc[1], g.d[8] = arc[2], g.d[9] = arc[3];
        Map(s.m, &g.d[6], &g.d[7]);
        Map(s.m, &g.d[8], &g.d[9]);
        g.direction = MatrixIsMirrored(s.m) ? !ccw : ccw;
    }
    Add(s, g);
}

void AddEllipse(RecordSink &s, int32_t type, const double *d, int ccw)
{
    GeoObject g = Blank(type);
    const int n = type == GEO_ELLIPSE || type == GEO_GEOELLI ? 6 : 10;
    for (int i = 0; i < n; i += 2) {
        g.d[i] = d[i], g.d[i + 1] = d[i + 1];
        Map(s.m, &g.d[i], &g.d[i + 1]);
    }
    g.direction = s.m && MatrixIsMirrored(s.m) ? !ccw : ccw;
    Add(s, g);
}

int Orientation(const Unit *object, int number)
{
    const double *v = DistanceValuesAt(object, number, ELEM_ORIENT);
    return v && *v >= 0.0 ? 1 : 0;
}

void PathRecords(RecordSink &s, const Unit *object)
{
    DistanceWalkPath(object, 0, false, [&](const DistancePathPiece &p) {
        if (p.kind == PATH_PIECE_LINE) {
            AddSegment(s, p.x0, p.y0, p.x1, p.y1);
        } else if (p.kind == PATH_PIECE_BEZIER) {
            const double z[8] = {p.x0, p.y0, p.c1x, p.c1y, p.c2x, p.c2y, p.x1, p.y1};
            AddBezier(s, z);
        } else if (std::fabs(p.x1 - p.x0) > CALC_ZERO || std::fabs(p.y1 - p.y0) > CALC_ZERO) {
            if (std::fabs(p.factor) > CALC_COORD_LIMIT) // a straight piece
                return AddSegment(s, p.x0, p.y0, p.x1, p.y1);
            const double cx = (p.x0 + p.x1) / 2 - p.factor * (p.y1 - p.y0);
            const double cy = (p.y0 + p.y1) / 2 + p.factor * (p.x1 - p.x0);
            const double arc[4] = {p.x0, p.y0, p.x1, p.y1};
            AddCircle(s, false, cx, cy, p.x0, p.y0, arc, p.direction >= 0.0 ? 1 : 0);
        }
    });
}

// One segment per piece of the smoothed polyline.
void SplineRecords(RecordSink &s, const Unit *object)
{
    const int32_t n = DistanceFlattenSpline(object);
    const PathPoint *q = g_WorkArrays.pathPoints;
    for (int32_t i = 1; i < n; ++i)
        AddSegment(s, q[i - 1].x, q[i - 1].y, q[i].x, q[i].y);
}

// The extension lines and the dimension line (arc) as last regenerated.
void DimensionRecords(RecordSink &s, const Unit *object)
{
    DimLines l;
    if (!FrameDimensionLines(object, &l))
        return;
    for (int i = 0; i < 2; ++i)
        if (l.extension[i])
            AddSegment(s, l.end[i].x, l.end[i].y, l.foot[i].x, l.foot[i].y);
    if (!l.arc)
        return AddSegment(s, l.end[0].x, l.end[0].y, l.end[1].x, l.end[1].y);
    const double arc[4] = {l.end[0].x, l.end[0].y, l.end[1].x, l.end[1].y};
    AddCircle(s, false, l.centre.x, l.centre.y, l.end[0].x, l.end[0].y, arc, l.sweep >= 0.0 ? 1 : 0);
}

// The leader and the frame of a reference text.
void RefTextRecords(RecordSink &s, const Unit *object)
{
    const RefTextGeometry *g = FrameRefTextGeometry(object);
    if (!g)
        return;
    const CalcPoint *l = g->leader, *f = g->frame;
    if (FrameRefTextHasKnee(g->leaderMode)) {
        AddSegment(s, l[0].x, l[0].y, l[1].x, l[1].y);
        AddSegment(s, l[1].x, l[1].y, l[2].x, l[2].y);
    } else {
        AddSegment(s, l[0].x, l[0].y, l[2].x, l[2].y);
    }
    if (g->frameShape == REFTEXT_FRAME_CIRCLE) {
        AddCircle(s, false, f[0].x, f[0].y, f[1].x, f[1].y, nullptr, 0);
    } else if (g->frameShape == REFTEXT_FRAME_ELLIPSE) {
        const double d[6] = {f[0].x, f[0].y, f[1].x, f[1].y, f[2].x, f[2].y};
        AddEllipse(s, GEO_ELLIPSE, d, 0);
    } else {
        for (int i = 0; i < 4; ++i)
            AddSegment(s, f[i].x, f[i].y, f[(i + 1) % 4].x, f[(i + 1) % 4].y);
    }
}

void Records(RecordSink &s, const Unit *object)
{
    const int32_t type = object->object.type;
    auto P = [&](int n) { return DistancePointAt(object, n); };
    switch (type) {
    case OBJTYPE_LINE:
    case OBJTYPE_ZIGZAG:
    case OBJTYPE_LINE_STR:
    case OBJTYPE_GEO_LINE:
        if (P(1) && P(2))
            AddSegment(s, P(1)->x, P(1)->y, P(2)->x, P(2)->y, type == OBJTYPE_GEO_LINE ? GEO_GEOLINE : GEO_LINE);
        return;
    case OBJTYPE_CIRCLE:
    case OBJTYPE_GEO_CIRCLE:
        if (P(1) && P(2))
            AddCircle(s, type == OBJTYPE_GEO_CIRCLE, P(1)->x, P(1)->y, P(2)->x, P(2)->y, nullptr, 0);
        return;
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM:
    case OBJTYPE_LINE_CURVED: {
        const ElementPoint *c = P(1), *r = P(2), *a = P(3), *e = P(4);
        if (!c || !r || !a || !e)
            return;
        const double arc[4] = {a->x, a->y, e->x, e->y};
        AddCircle(s, false, c->x, c->y, r->x, r->y, arc, Orientation(object, 5));
        if (type == OBJTYPE_CIRC_SEC) {
            AddSegment(s, c->x, c->y, a->x, a->y);
            AddSegment(s, c->x, c->y, e->x, e->y);
        } else if (type == OBJTYPE_CIRC_SEGM) {
            AddSegment(s, a->x, a->y, e->x, e->y);
        }
        return;
    }
    case OBJTYPE_ELLIPSE:
    case OBJTYPE_GEO_ELLI:
        if (P(1) && P(2) && P(3)) {
            const double d[6] = {P(1)->x, P(1)->y, P(2)->x, P(2)->y, P(3)->x, P(3)->y};
            AddEllipse(s, type == OBJTYPE_ELLIPSE ? GEO_ELLIPSE : GEO_GEOELLI, d, 0);
        }
        return;
    case OBJTYPE_ELLI_ARC:
    case OBJTYPE_ELLI_SEC:
    case OBJTYPE_ELLI_SEGM: {
        const ElementPoint *c = P(1), *a1 = P(2), *a2 = P(3), *a = P(4), *e = P(5);
        if (!c || !a1 || !a2 || !a || !e)
            return;
        const double d[10] = {c->x, c->y, a1->x, a1->y, a2->x, a2->y, a->x, a->y, e->x, e->y};
        AddEllipse(s, GEO_ELLI_ARC, d, Orientation(object, 6));
        if (type == OBJTYPE_ELLI_SEC) {
            AddSegment(s, c->x, c->y, a->x, a->y);
            AddSegment(s, c->x, c->y, e->x, e->y);
        } else if (type == OBJTYPE_ELLI_SEGM) {
            AddSegment(s, a->x, a->y, e->x, e->y);
        }
        return;
    }
    case OBJTYPE_CURVE:
    case OBJTYPE_SURFACE:
    case OBJTYPE_CLIP:
        PathRecords(s, object);
        return;
    case OBJTYPE_FRAME_TEXT: {
        const ElementPoint *p1 = P(1), *p2 = P(2), *p3 = P(3);
        if (!g_DrawingSettings.displayFrames || !p1 || !p2 || !p3)
            return;
        const double qx = p2->x + p3->x - p1->x, qy = p2->y + p3->y - p1->y;
        AddSegment(s, p1->x, p1->y, p2->x, p2->y);
        AddSegment(s, p2->x, p2->y, qx, qy);
        AddSegment(s, qx, qy, p3->x, p3->y);
        AddSegment(s, p3->x, p3->y, p1->x, p1->y);
        return;
    }
    case OBJTYPE_SPLINE:
        SplineRecords(s, object);
        return;
    case OBJTYPE_DIM_DIST:
    case OBJTYPE_DIM_RAD:
    case OBJTYPE_DIM_DIA:
    case OBJTYPE_DIM_ANGLE:
    case OBJTYPE_DIM_ARC:
        DimensionRecords(s, object);
        return;
    case OBJTYPE_REF_TEXT:
        RefTextRecords(s, object);
        return;
    case OBJTYPE_BITMAP: {
        const Element *e = DistanceElementAt(object, 1);
        double c[4][2];
        if (!g_DrawingSettings.displayFrames || !e || e->kind != ELEM_BITMAP_REF ||
            !ImagePlacedCorners(static_cast<const BitmapRefData *>(ElementPayload(e)), 1, c))
            return;
        for (int i = 0; i < 4; ++i)
            AddSegment(s, c[i][0], c[i][1], c[(i + 1) % 4][0], c[(i + 1) % 4][1]);
        return;
    }
    default: return;
    }
}

} // namespace

int SnapObjectRecords(const Unit *object, GeoObject *records, int capacity, const Matrix *m)
{
    RecordSink s{records, capacity, 0, m, false};
    Records(s, object);
    if (s.overflow) {
        InitErrorBox(__FILE__, __LINE__, "Overflow");
        return 0;
    }
    return s.count;
}

// ---- The pair search ------------------------------------------------------------

namespace {

bool IsConstruction(int32_t type)
{
    return type == OBJTYPE_GEO_LINE || type == OBJTYPE_GEO_CIRCLE || type == OBJTYPE_GEO_ELLI;
}

bool Qualifies(const Unit *u, uint32_t modes)
{
    const DrawingSettings &d = g_DrawingSettings;
    if (u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN)
        return d.displayDrawing && d.displayBlocks;
    if (u->kind != UNIT_KIND_OBJECT)
        return false;
    const int32_t t = u->object.type;
    if (IsConstruction(t))
        return (modes & SNAP_CONSTRUCTION) && d.displayGeometry[0];
    static const int32_t drawn[] = {0, 5, 6, 7, 8, 10, 11, 12, 13, 15, 16, 17, 18, 20, 21,
                                    25, 26, 27, 28, 29, 35, 36, 37, 42, 43};
    bool known = false;
    for (int32_t k : drawn)
        known = known || k == t;
    return known && (modes & SNAP_INTERSECTIONS) && d.displayDrawing && d.displayObjects;
}

struct PairSearch {
    GeoObject *a, *b;
    int capA, capB;
    double x, y;
    SnapResult *best;
    const std::vector<Unit *> *candidates;
};

void Keep(PairSearch &ps, int n)
{
    for (int i = 0; i < n; ++i) {
        const WorkPoint &p = g_WorkArrays.pathPoints[i];
        const double d = std::hypot(p.x - ps.x, p.y - ps.y);
        if (d < ps.best->distance)
            *ps.best = {p.x, p.y, d, SNAP_INTERSECTIONS};
    }
}

// Every record of A with every record of one second object (plain, or the
// members of an instance).
void PairsWith(PairSearch &ps, int nA, Unit *second, const XProperty *parent, const Matrix *m)
{
    if (second->kind == UNIT_KIND_OBJECT) {
        XProperty resolved;
        if (!SnapPickable(second, parent, &resolved) || (m && !DistanceObjectInSearchBox(second, m)))
            return;
        const int nB = SnapObjectRecords(second, ps.b, ps.capB, m);
        for (int i = 0; i < nA; ++i)
            for (int j = 0; j < nB; ++j)
                Keep(ps, SnapIntersectObjects(&ps.a[i], &ps.b[j], 0));
        return;
    }
    if (m && !DistanceObjectInSearchBox(second, m))
        return;
    SnapInstanceVisit v;
    if (!SnapEnterInstance(second, parent, m, &v))
        return;
    for (Unit *member = v.block->block.firstMember; member; member = member->next)
        PairsWith(ps, nA, member, &v.members, &v.matrix);
    SnapLeaveInstance(v);
}

// The records in A, of an object of candidate `index` (or one of its
// members), with the reference geometry and the candidates from `index` on.
void WithRest(PairSearch &ps, int nA, size_t index)
{
    const CommandState &cs = *g_CommandState;
    const GeoObject &ref = cs.referenceGeo;
    if (ref.type >= 0 && ref.reserved1 <= cs.pointIndex &&
        (ref.type == GEO_LINE || ref.type == GEO_CIRCLE || ref.type == GEO_ELLIPSE || IsConstruction(ref.type)))
        for (int i = 0; i < nA; ++i)
            Keep(ps, SnapIntersectObjects(&ps.a[i], &ref, 0));
    for (size_t k = index; k < ps.candidates->size(); ++k)
        PairsWith(ps, nA, (*ps.candidates)[k], nullptr, nullptr);
}

void First(PairSearch &ps, size_t index, Unit *object, const XProperty *parent, const Matrix *m)
{
    if (object->kind == UNIT_KIND_OBJECT) {
        XProperty resolved;
        if (!SnapPickable(object, parent, &resolved) || (m && !DistanceObjectInSearchBox(object, m)))
            return;
        const int nA = SnapObjectRecords(object, ps.a, ps.capA, m);
        if (nA > 0)
            WithRest(ps, nA, index);
        return;
    }
    if (m && !DistanceObjectInSearchBox(object, m))
        return;
    SnapInstanceVisit v;
    if (!SnapEnterInstance(object, parent, m, &v))
        return;
    for (Unit *member = v.block->block.firstMember; member; member = member->next)
        First(ps, index, member, &v.members, &v.matrix);
    SnapLeaveInstance(v);
}

} // namespace

void SnapMarkIntersectionCandidates(double x, double y, SnapResult *best)
{
    // Both record arrays or none: a refused lock means another operation
    // holds that buffer, and the guards give back only what they took.
    ScratchUni1 holdA(__FILE__, __LINE__);
    ScratchUni2 holdB(__FILE__, __LINE__);
    if (!holdA || !holdB)
        return;
    const uint32_t modes = static_cast<uint32_t>(g_LocalData.snap.snapModes);
    if (!(modes & (SNAP_INTERSECTIONS | SNAP_CONSTRUCTION)))
        return;
    std::vector<Unit *> candidates;
    SnapBoxCandidates(&candidates);
    std::vector<Unit *> taking;
    for (Unit *u : candidates)
        if (Qualifies(u, modes))
            taking.push_back(u);
    const int capacity = static_cast<int>(g_ObjectLimits.scratchSize / sizeof(GeoObject));
    PairSearch ps{reinterpret_cast<GeoObject *>(g_Universal1), reinterpret_cast<GeoObject *>(g_Uni2), capacity,
                  capacity, x, y, best, &taking};
    g_OutputContext.nestingDepth = 0;
    g_OutputContext.currentInstance = nullptr;
    for (size_t i = 0; i < taking.size(); ++i)
        First(ps, i, taking[i], nullptr, nullptr);
}
