// Object emitters of the enumeration stream: per object type, the stored
// elements become path records (exact arcs, Bezier pieces or flattened
// steps) with the line ends the object implies.
#include <cmath>
#include <initializer_list>

#include "app/system.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "display/output.h"
#include "files/file_records.h"
#include "geometry/calc.h"
#include "geometry/flat.h"
#include "geometry/frame_dim.h"
#include "plugin/stream.h"

namespace {

constexpr int CHAIN_FIXED = 16; // the elements a fixed-layout object is read by index
constexpr double PI = 3.141592653589793;
constexpr double ANGLE_10 = 0.1745329251994;
constexpr double ANGLE_30 = 0.5235987755982;
constexpr double ANGLE_45 = 0.7853981633973;
constexpr int32_t SETBACK_ARROW = 30;
constexpr int32_t SETBACK_MARK = 5;
constexpr double ARROW_LENGTH = 10.0;
constexpr double TICK_HALF = 6.0;
constexpr double DOT_RADIUS = 1.5;
constexpr double CIRCLE_RADIUS = 2.5;
constexpr int32_t LINE_END_MODE_OUTSIDE = 1;
constexpr int32_t LINE_END_MODE_AUTO = 2;

WorkPoint *Pts() { return g_WorkArrays.pathPoints; }
uint32_t *Codes() { return g_WorkArrays.pathTypes; }
uint32_t Flags() { return StreamFlags(); }

struct Chain {
    const Element *at[CHAIN_FIXED];
    int count = 0;
};

bool InChain(const Unit *u, const Element *e)
{
    const uint8_t *end = reinterpret_cast<const uint8_t *>(u) + u->bytes;
    return reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->size >= ELEMENT_HEADER_SIZE &&
           reinterpret_cast<const uint8_t *>(e) + e->size <= end && e->kind != ELEM_END;
}

Chain ReadChain(const Unit *u)
{
    Chain c;
    for (const Element *e = UnitFirstElement(u); InChain(u, e) && c.count < CHAIN_FIXED; e = ElementNext(e))
        c.at[c.count++] = e;
    return c;
}

const ElementPoint *P(const Chain &c, int i)
{
    return i < c.count && ElementIsPoint(c.at[i]) ? reinterpret_cast<const ElementPoint *>(c.at[i]) : nullptr;
}

const double *Values(const Chain &c, int i, int16_t kind)
{
    return i < c.count && c.at[i]->kind == kind ? static_cast<const double *>(ElementPayload(c.at[i])) : nullptr;
}

template <typename T> const T *Find(const Chain &c, int16_t kind)
{
    for (int i = 0; i < c.count; ++i)
        if (c.at[i]->kind == kind)
            return static_cast<const T *>(ElementPayload(c.at[i]));
    return nullptr;
}

bool Solid()
{
    double lengths[2 * STREAM_MAX_DASH_PAIRS];
    return (Flags() & ENUM_NO_DASHING) ||
           StreamDashPattern(g_OutputContext.lineType, g_OutputContext.lineWidth, lengths) == 0;
}

bool ArcsAllowed()
{
    return (Flags() & ENUM_ARCS) && (!StreamMapsPoints() || !MatrixIsDistorted(&g_OutputContext.current)) &&
           Solid();
}

bool BeziersAllowed() { return (Flags() & ENUM_BEZIERS) && Solid(); }

// Appends the first n work entries as a path of its own and sends it.
void Send(int32_t n, uint32_t drawFlags, int closed)
{
    if (n < 1)
        return;
    StreamResetPath();
    if (StreamAddPoints(n))
        StreamEmitPath(drawFlags, closed);
}

void SendLine(double x1, double y1, double x2, double y2, uint32_t drawFlags)
{
    Pts()[0] = {x1, y1};
    Pts()[1] = {x2, y2};
    StreamMarkCodes(2);
    Send(2, drawFlags, 0);
}

// Writes the circle of centre c through p from entry 0 on; the entries used.
int32_t WriteCircle(double cx, double cy, double px, double py)
{
    if (ArcsAllowed()) {
        const double r = std::hypot(px - cx, py - cy);
        Pts()[0] = {cx + r, cy};
        Pts()[1] = {cx - r, cy};
        Pts()[2] = {0.0, 1.0};
        Pts()[3] = {cx + r, cy};
        Pts()[4] = {0.0, 1.0};
        const uint32_t codes[5] = {ENUM_CODE_MOVE, ENUM_CODE_ARC, ENUM_CODE_ARC_DATA, ENUM_CODE_ARC,
                                   ENUM_CODE_ARC_DATA};
        for (int i = 0; i < 5; ++i)
            Codes()[i] = codes[i];
        return 5;
    }
    Pts()[0] = {cx, cy};
    Pts()[1] = {px, py};
    if (BeziersAllowed())
        return FlatAddCircle(Pts(), Codes(), 0);
    const int32_t n = FlatAddCircleSteps(Pts(), 0);
    StreamMarkCodes(n);
    return n;
}

// Writes the arc from start to end around the centre from entry 0 on.
int32_t WriteArc(double cx, double cy, double sx, double sy, double ex, double ey, double sweep)
{
    if (ArcsAllowed()) {
        Pts()[0] = {sx, sy};
        Pts()[1] = {ex, ey};
        Pts()[2] = {CalcCurvature(cx, cy, sx, sy, ex, ey), sweep};
        Codes()[0] = ENUM_CODE_MOVE;
        Codes()[1] = ENUM_CODE_ARC;
        Codes()[2] = ENUM_CODE_ARC_DATA;
        return 3;
    }
    Pts()[0] = {sx, sy};
    Pts()[1] = {ex, ey};
    Pts()[2] = {cx, cy};
    if (BeziersAllowed())
        return FlatAddArc(Pts(), Codes(), 0, sweep);
    const int32_t n = FlatAddArcSteps(Pts(), 0, sweep);
    StreamMarkCodes(n);
    return n;
}

void EmitCircleFamily(const Chain &c, int32_t type, uint32_t drawFlags)
{
    const ElementPoint *centre = P(c, 0), *s = P(c, 2), *e = P(c, 3);
    const double *sub = Values(c, 5, ELEM_SUB_CIRCLE_ARC);
    if (!centre || !s || !e || !sub)
        return;
    int32_t n = WriteArc(centre->x, centre->y, s->x, s->y, e->x, e->y, sub[0]);
    if (n < 1)
        return;
    if (type == OBJTYPE_CIRC_SEC) {
        Pts()[n] = {centre->x, centre->y};
        Codes()[n++] = ENUM_CODE_LINE;
    }
    Send(n, drawFlags, type != OBJTYPE_CIRC_ARC);
}

// The whole ellipse of centre c and axis points a and b, closed.
void EmitEllipse(double cx, double cy, double ax, double ay, double bx, double by, uint32_t drawFlags)
{
    Pts()[0] = {cx, cy};
    Pts()[1] = {ax, ay};
    Pts()[2] = {bx, by};
    int32_t n;
    if (BeziersAllowed()) {
        n = FlatAddEllipse(Pts(), Codes(), 0);
    } else {
        n = FlatAddEllipseSteps(Pts(), 0);
        StreamMarkCodes(n);
    }
    Send(n, drawFlags, 1);
}

void EmitEllipseFamily(const Chain &c, int32_t type, uint32_t drawFlags)
{
    const ElementPoint *p0 = P(c, 0), *p1 = P(c, 1), *p2 = P(c, 2);
    if (!p0 || !p1 || !p2)
        return;
    if (type == OBJTYPE_ELLIPSE || type == OBJTYPE_GEO_ELLI) {
        EmitEllipse(p0->x, p0->y, p1->x, p1->y, p2->x, p2->y, drawFlags);
        return;
    }
    int32_t n;
    const ElementPoint *p3 = P(c, 3), *p4 = P(c, 4);
    const double *sub = Values(c, 6, ELEM_SUB_ELLIPSE_ARC);
    if (!p3 || !p4 || !sub)
        return;
    Pts()[0] = {p3->x, p3->y};
    Pts()[1] = {p4->x, p4->y};
    Pts()[2] = {p0->x, p0->y};
    Pts()[3] = {p1->x, p1->y};
    Pts()[4] = {p2->x, p2->y};
    if (BeziersAllowed()) {
        n = FlatAddEllipseArc(Pts(), Codes(), 0, sub[0], sub[1]);
    } else {
        n = FlatAddEllipseArcSteps(Pts(), 0, sub[0], sub[1]);
        StreamMarkCodes(n);
    }
    if (n < 1)
        return;
    if (type == OBJTYPE_ELLI_SEC) {
        Pts()[n] = {p0->x, p0->y};
        Codes()[n++] = ENUM_CODE_LINE;
    }
    Send(n, drawFlags, type != OBJTYPE_ELLI_ARC);
}

void EmitGeoLine(double x1, double y1, double x2, double y2, uint32_t drawFlags)
{
    const double dx = x2 - x1, dy = y2 - y1;
    double a[2], b[2];
    if (std::fabs(dy) < 1e-10) {
        if (y1 < -STREAM_FAR || y1 > STREAM_FAR)
            return;
        a[0] = -STREAM_FAR, a[1] = y1, b[0] = STREAM_FAR, b[1] = y2;
    } else if (std::fabs(dx) < 1e-10) {
        if (x1 < -STREAM_FAR || x1 > STREAM_FAR)
            return;
        a[0] = x1, a[1] = -STREAM_FAR, b[0] = x2, b[1] = STREAM_FAR;
    } else if (std::fabs(dx) > std::fabs(dy)) {
        a[0] = -STREAM_FAR, a[1] = y1 + (-STREAM_FAR - x1) * dy / dx;
        b[0] = STREAM_FAR, b[1] = y1 + (STREAM_FAR - x1) * dy / dx;
        if ((a[1] < -STREAM_FAR && b[1] < -STREAM_FAR) || (a[1] > STREAM_FAR && b[1] > STREAM_FAR))
            return;
    } else {
        a[0] = x1 + (-STREAM_FAR - y1) * dx / dy, a[1] = -STREAM_FAR;
        b[0] = x1 + (STREAM_FAR - y1) * dx / dy, b[1] = STREAM_FAR;
        if ((a[0] < -STREAM_FAR && b[0] < -STREAM_FAR) || (a[0] > STREAM_FAR && b[0] > STREAM_FAR))
            return;
    }
    SendLine(a[0], a[1], b[0], b[1], drawFlags);
}

void EmitSpline(const Unit *object, uint32_t drawFlags)
{
    int32_t m = 0;
    const int32_t capacity = static_cast<int32_t>(g_MaxPathPoints) - 1;
    for (const Element *e = UnitFirstElement(object); InChain(object, e); e = ElementNext(e))
        if ((e->kind == POINT_START || e->kind == POINT_LINE) && m < capacity) {
            const auto *p = reinterpret_cast<const ElementPoint *>(e);
            Pts()[m++] = {p->x, p->y};
        }
    const int32_t n = m > 0 ? FlatAddSpline(Pts(), 0, m) : 0;
    if (n < 1)
        return;
    StreamMarkCodes(n);
    Send(n, drawFlags, 0);
}

// Curve, Hatch and Surface: every contour a sub-path of one record.
void EmitCurve(const Unit *object, uint32_t drawFlags)
{
    const int closed = object->object.type == OBJTYPE_SURFACE;
    const bool arcs = ArcsAllowed(), beziers = BeziersAllowed();
    const int32_t limit = static_cast<int32_t>(g_MaxPathPoints) - FLAT_MAX_CURVE_ENTRIES - 2;
    StreamResetPath();
    int32_t n = 0;
    auto flush = [&] {
        if (n > 0)
            StreamAddPoints(n);
        n = 0;
    };
    auto at = [](const Element *e) { return reinterpret_cast<const ElementPoint *>(e); };
    for (const Element *e = UnitFirstElement(object); InChain(object, e); e = ElementNext(e)) {
        if (StreamAborted())
            return;
        if (n >= limit)
            return; // a contour beyond the buffer sends nothing
        if (e->kind == POINT_START) {
            flush();
            Pts()[0] = {at(e)->x, at(e)->y};
            Codes()[0] = ENUM_CODE_MOVE;
            n = 1;
        } else if (e->kind == POINT_LINE) {
            Pts()[n] = {at(e)->x, at(e)->y};
            Codes()[n] = n == 0 ? ENUM_CODE_MOVE : ENUM_CODE_LINE;
            ++n;
        } else if (e->kind == POINT_CONTROL1) {
            const Element *e8 = ElementNext(e);
            if (!InChain(object, e8) || e8->kind != POINT_CONTROL2)
                continue;
            const Element *e2 = ElementNext(e8);
            if (!InChain(object, e2) || e2->kind != POINT_LINE || n == 0)
                continue;
            Pts()[n] = {at(e)->x, at(e)->y};
            Pts()[n + 1] = {at(e8)->x, at(e8)->y};
            Pts()[n + 2] = {at(e2)->x, at(e2)->y};
            if (beziers) {
                Codes()[n] = ENUM_CODE_BEZIER1;
                Codes()[n + 1] = ENUM_CODE_BEZIER2;
                Codes()[n + 2] = ENUM_CODE_LINE;
                n += 3;
            } else {
                const int32_t added = FlatAddBezierSteps(Pts(), n - 1, 0);
                if (added < 1)
                    return;
                for (int32_t i = n; i < n - 1 + added; ++i)
                    Codes()[i] = ENUM_CODE_LINE;
                n = n - 1 + added;
            }
            e = e2;
        } else if (e->kind == POINT_ARC_PIECE_END) {
            const Element *curve = ElementNext(e);
            if (!InChain(object, curve) || curve->kind != ELEM_CURVE || n == 0)
                continue;
            const double *v = static_cast<const double *>(ElementPayload(curve)); // direction, f
            Pts()[n] = {at(e)->x, at(e)->y};
            if (arcs) {
                Codes()[n] = ENUM_CODE_ARC;
                Pts()[n + 1] = {v[1], v[0]};
                Codes()[n + 1] = ENUM_CODE_ARC_DATA;
                n += 2;
            } else {
                const uint32_t first = Codes()[n - 1];
                const int32_t added = beziers ? FlatAddArcBulge(Pts(), Codes(), n - 1, v[0], v[1])
                                              : FlatAddArcBulgeSteps(Pts(), n - 1, v[0], v[1]);
                if (added < 1)
                    return;
                if (!beziers)
                    for (int32_t i = n; i < n - 1 + added; ++i)
                        Codes()[i] = ENUM_CODE_LINE;
                Codes()[n - 1] = first;
                n = n - 1 + added;
            }
            e = curve;
        }
    }
    flush();
    StreamEmitPath(drawFlags, closed);
}

void EmitMark(const Unit *object, uint32_t drawFlags)
{
    const int32_t capacity = static_cast<int32_t>(g_MaxPathPoints);
    static_assert(sizeof(WorkPoint) == 2 * sizeof(double));
    auto *points = reinterpret_cast<double *>(Pts());
    auto *codes = reinterpret_cast<int32_t *>(Codes());
    const bool map = StreamMapsPoints();
    int32_t n = 0;
    for (const Element *e = UnitFirstElement(object); InChain(object, e) && n < capacity; e = ElementNext(e)) {
        if (e->kind != POINT_MARK)
            continue;
        const auto *p = reinterpret_cast<const ElementPoint *>(e);
        if (map)
            MatrixApply(g_OutputContext.current, p->x, p->y, &points[2 * n], &points[2 * n + 1]);
        else
            points[2 * n] = p->x, points[2 * n + 1] = p->y;
        codes[n++] = ENUM_CODE_POINT;
    }
    EnumerateRecord &r = StreamRecord();
    r.points = points;
    r.codes = codes;
    r.matrix = &g_OutputContext.current;
    StreamSetStyle(drawFlags);
    StreamSend(ENUM_CMD_POINTS, n);
}

// --- line ends

double LineEndSize()
{
    const double *a = g_DrawingSettings.dimLayoutArrows;
    return std::fmax(a[0], g_OutputContext.lineWidth * a[1]);
}

bool Outside(int32_t mode, double length, double size)
{
    return mode == LINE_END_MODE_OUTSIDE || (mode == LINE_END_MODE_AUTO && length < SETBACK_ARROW * size);
}

// A line end drawn with its fill colour taken from the line colour.
template <typename Draw> void WithLineFill(Draw draw)
{
    const COLORREF fill = g_OutputContext.fillColour;
    g_OutputContext.fillColour = g_OutputContext.lineColour;
    draw();
    g_OutputContext.fillColour = fill;
}

void Triangle(double x, double y, double a, double s, uint32_t drawFlags)
{
    const double l = ARROW_LENGTH * s;
    Pts()[0] = {x, y};
    Pts()[1] = {x + l * std::cos(a - ANGLE_10), y + l * std::sin(a - ANGLE_10)};
    Pts()[2] = {x + l * std::cos(a + ANGLE_10), y + l * std::sin(a + ANGLE_10)};
    StreamMarkCodes(3);
    Send(3, drawFlags, 1);
}

void Circle(double x, double y, double r, uint32_t drawFlags)
{
    const int32_t n = WriteCircle(x, y, x + r, y);
    Send(n, drawFlags, 1);
}

} // namespace

int32_t StreamEmitLineEnd(int32_t kind, double x, double y, double a, double s, uint32_t drawFlags)
{
    switch (kind) {
    case 1: WithLineFill([&] { Triangle(x, y, a, s, drawFlags | DRAW_FILL); }); return SETBACK_ARROW;
    case 2: Triangle(x, y, a, s, drawFlags & ~DRAW_FILL_BITS); return SETBACK_ARROW;
    case 3:
        for (double side : {-ANGLE_30, ANGLE_30})
            SendLine(x, y, x + ARROW_LENGTH * s * std::cos(a + side), y + ARROW_LENGTH * s * std::sin(a + side),
                     drawFlags);
        return SETBACK_ARROW;
    case 4: {
        const double dx = TICK_HALF * s * std::cos(a + ANGLE_45), dy = TICK_HALF * s * std::sin(a + ANGLE_45);
        SendLine(x - dx, y - dy, x + dx, y + dy, drawFlags);
        return SETBACK_MARK;
    }
    case 5: WithLineFill([&] { Circle(x, y, DOT_RADIUS * s, drawFlags | DRAW_FILL); }); return SETBACK_MARK;
    case 6: Circle(x, y, CIRCLE_RADIUS * s, drawFlags); return SETBACK_MARK;
    default: return 0;
    }
}

namespace {

// The line ends of a line p1 -> p2 (each end's kind, placement mode and
// stored direction); an end placed outside lengthens the line beyond it. A
// line of length 0 gets none.
void LineEnds(const int32_t kinds[2], const int32_t modes[2], const double directions[2], double p1[2], double p2[2],
              uint32_t drawFlags)
{
    const double length = std::hypot(p2[0] - p1[0], p2[1] - p1[1]);
    if (!(length > 0.0))
        return;
    const double size = LineEndSize();
    double *ends[2] = {p1, p2};
    const double from[2][2] = {{p2[0], p2[1]}, {p1[0], p1[1]}};
    for (int i = 0; i < 2; ++i) {
        double *a = ends[i];
        if (Outside(modes[i], length, size)) {
            const double k = StreamEmitLineEnd(kinds[i], a[0], a[1], directions[i] + PI, size, drawFlags) * size / length;
            a[0] -= k * (from[i][0] - a[0]);
            a[1] -= k * (from[i][1] - a[1]);
        } else {
            StreamEmitLineEnd(kinds[i], a[0], a[1], directions[i], size, drawFlags);
        }
    }
}

// An arc about a centre with radius r from start to end angle over sweep.
struct ArcRun {
    double sweep, start, end;
};

// The line ends of an arc at its two end points; an end placed outside
// lengthens the arc beyond it.
void ArcEnds(const int32_t kinds[2], const int32_t modes[2], const double directions[2], const double at[2][2],
             double r, ArcRun *arc, uint32_t drawFlags)
{
    const double length = std::fabs(arc->sweep) * r;
    if (!(r > 0.0) || !(length > 0.0))
        return;
    const double size = LineEndSize();
    const double sign = arc->sweep >= 0.0 ? 1.0 : -1.0;
    for (int i = 0; i < 2; ++i) {
        if (!Outside(modes[i], length, size)) {
            StreamEmitLineEnd(kinds[i], at[i][0], at[i][1], directions[i], size, drawFlags);
            continue;
        }
        const double delta =
            StreamEmitLineEnd(kinds[i], at[i][0], at[i][1], directions[i] + PI, size, drawFlags) * size / r;
        if (i == 0)
            arc->start -= sign * delta;
        else
            arc->end += sign * delta;
        arc->sweep += sign * delta;
    }
}

void SendArc(double cx, double cy, double r, const ArcRun &arc, uint32_t drawFlags)
{
    const int32_t n = WriteArc(cx, cy, cx + r * std::cos(arc.start), cy + r * std::sin(arc.start),
                               cx + r * std::cos(arc.end), cy + r * std::sin(arc.end), arc.sweep);
    Send(n, drawFlags, 0);
}

void EmitLineStr(const Chain &c, uint32_t drawFlags)
{
    const ElementPoint *s = P(c, 0), *e = P(c, 1);
    const auto *line = Find<DimLineRecord>(c, ELEM_DIM_LINE);
    const auto *sub = Find<double>(c, ELEM_SUB_LINESTR);
    if (!s || !e)
        return;
    double p1[2] = {s->x, s->y}, p2[2] = {e->x, e->y};
    if (line && sub) {
        const int32_t kinds[2] = {line->arrows[0], line->arrows[2]}, modes[2] = {line->arrows[1], line->arrows[3]};
        LineEnds(kinds, modes, sub, p1, p2, drawFlags);
    }
    SendLine(p1[0], p1[1], p2[0], p2[1], drawFlags);
}

void EmitLineCurved(const Chain &c, uint32_t drawFlags)
{
    const ElementPoint *centre = P(c, 0), *radius = P(c, 1), *s = P(c, 2), *e = P(c, 3);
    const auto *line = Find<DimLineRecord>(c, ELEM_DIM_LINE);
    const auto *sub = Find<double>(c, ELEM_SUB_LINECURVED); // sweep, start, end, end directions
    if (!centre || !radius || !s || !e || !sub)
        return;
    const double r = std::hypot(radius->x - centre->x, radius->y - centre->y);
    ArcRun arc{sub[0], sub[1], sub[2]};
    if (line) {
        const int32_t kinds[2] = {line->arrows[0], line->arrows[2]}, modes[2] = {line->arrows[1], line->arrows[3]};
        const double at[2][2] = {{s->x, s->y}, {e->x, e->y}};
        ArcEnds(kinds, modes, sub + 3, at, r, &arc, drawFlags);
    }
    SendArc(centre->x, centre->y, r, arc, drawFlags);
}

// --- dimensions and reference texts: their derived geometry, rebuilt with
// every frame computation, holds what the emitters need.

constexpr double SHORT_EXTENSION_LINE = 0.5; // mm: shorter extension lines are left out
constexpr double EXTENSION_OVERSHOOT = 1.0;  // mm beyond the dimension line

// The payload of the unit's element of that kind when it holds a whole T.
template <typename T> const T *FindRecord(const Unit *u, int16_t kind)
{
    for (const Element *e = UnitFirstElement(u); InChain(u, e); e = ElementNext(e))
        if (e->kind == kind)
            return e->size >= ELEMENT_HEADER_SIZE + sizeof(T) ? static_cast<const T *>(ElementPayload(e)) : nullptr;
    return nullptr;
}

bool HasGap(double t) { return std::fabs(t) != DIM_NO_GAP_START; }

void ExtensionLine(CalcPoint base, CalcPoint end, double gap, uint32_t drawFlags)
{
    const double dx = end.x - base.x, dy = end.y - base.y, l = std::hypot(dx, dy);
    if (l <= SHORT_EXTENSION_LINE)
        return;
    const double ux = dx / l, uy = dy / l;
    SendLine(base.x + gap * ux, base.y + gap * uy, end.x + EXTENSION_OVERSHOOT * ux, end.y + EXTENSION_OVERSHOOT * uy,
             drawFlags);
}

void EmitDimDistance(const Unit *object, uint32_t drawFlags)
{
    const auto *r = FindRecord<DimLargeRecord>(object, ELEM_DIM_LARGE);
    const auto *g = FindRecord<DimLinearGeometry>(object, ELEM_SUB_DIM_LINEAR);
    if (!r || !g || !g->dimensionLine)
        return;
    if (g->extension1)
        ExtensionLine(g->base1, g->q1, r->distance420, drawFlags);
    if (g->extension2)
        ExtensionLine(g->base2, g->q2, r->distance420, drawFlags);
    double p1[2] = {g->q1.x, g->q1.y}, p2[2] = {g->q2.x, g->q2.y};
    const int32_t kinds[2] = {g->endMark1, g->endMark2}, modes[2] = {r->arrows[1], r->arrows[3]};
    const double directions[2] = {g->startDirection, g->endDirection};
    LineEnds(kinds, modes, directions, p1, p2, drawFlags);
    if (!HasGap(g->gapStart) && !HasGap(g->gapEnd)) {
        SendLine(p1[0], p1[1], p2[0], p2[1], drawFlags);
        return;
    }
    const double dx = g->q2.x - g->q1.x, dy = g->q2.y - g->q1.y;
    if (HasGap(g->gapStart) && g->gapStart > 0.0)
        SendLine(p1[0], p1[1], g->q1.x + g->gapStart * dx, g->q1.y + g->gapStart * dy, drawFlags);
    if (HasGap(g->gapEnd) && g->gapEnd < 1.0)
        SendLine(g->q1.x + g->gapEnd * dx, g->q1.y + g->gapEnd * dy, p2[0], p2[1], drawFlags);
}

void EmitDimAngle(const Unit *object, uint32_t drawFlags)
{
    const auto *r = FindRecord<DimLargeRecord>(object, ELEM_DIM_LARGE);
    const auto *g = FindRecord<DimAngularGeometry>(object, ELEM_SUB_DIM_ANGULAR);
    if (!r || !g || !g->dimensionArc)
        return;
    if (g->extension1)
        ExtensionLine(g->base1, g->arcStart, r->distance420, drawFlags);
    if (g->extension2)
        ExtensionLine(g->base2, g->arcEnd, r->distance420, drawFlags);
    const CalcPoint c = g->centre;
    const double radius = std::hypot(g->arcPosition.x - c.x, g->arcPosition.y - c.y);
    ArcRun arc{g->sweep, g->startAngle, g->endAngle};
    const int32_t kinds[2] = {r->arrows[0], r->arrows[2]}, modes[2] = {r->arrows[1], r->arrows[3]};
    const double directions[2] = {g->startDirection, g->endDirection};
    const double at[2][2] = {{g->arcStart.x, g->arcStart.y}, {g->arcEnd.x, g->arcEnd.y}};
    ArcEnds(kinds, modes, directions, at, radius, &arc, drawFlags);
    if (!HasGap(g->gapStart) && !HasGap(g->gapEnd)) {
        SendArc(c.x, c.y, radius, arc, drawFlags);
        return;
    }
    if (std::fabs(g->sweep) <= 1e-10)
        return;
    // The pieces before and after the text, along the sweep.
    if (HasGap(g->gapStart) && g->gapStart > 0.0) {
        const double to = g->startAngle + g->gapStart * g->sweep;
        SendArc(c.x, c.y, radius, {to - arc.start, arc.start, to}, drawFlags);
    }
    if (HasGap(g->gapEnd) && g->gapEnd < 1.0) {
        const double from = g->startAngle + g->gapEnd * g->sweep;
        SendArc(c.x, c.y, radius, {arc.end - from, from, arc.end}, drawFlags);
    }
}

void EmitRefText(Unit *object, uint32_t drawFlags)
{
    const XProperty parent = OutputDefaultXProperty();
    FrameRegenerateRefText(object, &parent);
    const auto *g = FindRecord<RefTextGeometry>(object, ELEM_SUB_REFTEXT);
    if (!g)
        return;
    const CalcPoint *l = g->leader;
    if (std::fabs(l[0].x - l[2].x) < 1e-10 && std::fabs(l[0].y - l[2].y) < 1e-10)
        return;
    StreamEmitLineEnd(g->endMark, l[0].x, l[0].y, g->tipDirection, LineEndSize(), drawFlags);
    if (FrameRefTextHasKnee(g->leaderMode)) {
        SendLine(l[0].x, l[0].y, l[1].x, l[1].y, drawFlags);
        SendLine(l[1].x, l[1].y, l[2].x, l[2].y, drawFlags);
    } else {
        SendLine(l[0].x, l[0].y, l[2].x, l[2].y, drawFlags);
    }
    const CalcPoint *f = g->frame;
    if (g->frameShape == REFTEXT_FRAME_CIRCLE) {
        Send(WriteCircle(f[0].x, f[0].y, f[1].x, f[1].y), drawFlags, 1);
        return;
    }
    if (g->frameShape == REFTEXT_FRAME_ELLIPSE) {
        EmitEllipse(f[0].x, f[0].y, f[1].x, f[1].y, f[2].x, f[2].y, drawFlags);
        return;
    }
    for (int i = 0; i < 4; ++i)
        Pts()[i] = {f[i].x, f[i].y};
    StreamMarkCodes(4);
    Send(4, drawFlags, 1);
}

} // namespace

int StreamEmitObject(Unit *object, uint32_t drawFlags)
{
    if (StreamAborted())
        return 0;
    const Chain c = ReadChain(object);
    const ElementPoint *p0 = P(c, 0), *p1 = P(c, 1);
    switch (object->object.type) {
    case OBJTYPE_LINE:
        if (p0 && p1)
            SendLine(p0->x, p0->y, p1->x, p1->y, drawFlags);
        break;
    case OBJTYPE_GEO_LINE:
        if (p0 && p1)
            EmitGeoLine(p0->x, p0->y, p1->x, p1->y, drawFlags);
        break;
    case OBJTYPE_HATCH:
    case OBJTYPE_CURVE:
    case OBJTYPE_SURFACE: EmitCurve(object, drawFlags); break;
    case OBJTYPE_CIRCLE:
    case OBJTYPE_GEO_CIRCLE:
        if (p0 && p1)
            Send(WriteCircle(p0->x, p0->y, p1->x, p1->y), drawFlags, 1);
        break;
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM: EmitCircleFamily(c, object->object.type, drawFlags); break;
    case OBJTYPE_ZIGZAG: {
        const double *size = Values(c, 2, ELEM_CONSTANT);
        if (!p0 || !p1 || !size)
            break;
        Pts()[0] = {p0->x, p0->y};
        Pts()[1] = {p1->x, p1->y};
        const int32_t n = FlatAddZigzag(Pts(), 0, size[0], g_OutputContext.lineWidth);
        StreamMarkCodes(n);
        Send(n, drawFlags, 0);
        break;
    }
    case OBJTYPE_SPLINE: EmitSpline(object, drawFlags); break;
    case OBJTYPE_ELLIPSE:
    case OBJTYPE_GEO_ELLI:
    case OBJTYPE_ELLI_ARC:
    case OBJTYPE_ELLI_SEC:
    case OBJTYPE_ELLI_SEGM: EmitEllipseFamily(c, object->object.type, drawFlags); break;
    case OBJTYPE_LINE_STR: EmitLineStr(c, drawFlags); break;
    case OBJTYPE_LINE_CURVED: EmitLineCurved(c, drawFlags); break;
    case OBJTYPE_MARK: EmitMark(object, drawFlags); break;
    case OBJTYPE_DIM_DIST:
    case OBJTYPE_DIM_RAD:
    case OBJTYPE_DIM_DIA: EmitDimDistance(object, drawFlags); break;
    case OBJTYPE_DIM_ANGLE:
    case OBJTYPE_DIM_ARC: EmitDimAngle(object, drawFlags); break;
    case OBJTYPE_REF_TEXT: EmitRefText(object, drawFlags); break;
    default: break; // texts, labels and the other types have no geometry here
    }
    return StreamAborted() ? 0 : 1;
}
