#include "display/clip_dim.h"

#include <cmath>
#include <initializer_list>

#include "app/system.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "display/clip.h"
#include "display/output.h"
#include "files/file_records.h"
#include "geometry/calc.h"
#include "geometry/frame_dim.h"

namespace {

constexpr double kArrowHalfAngle = 0.1745329251994; // 10 degrees
constexpr double kOpenHalfAngle = 0.5235987755982;  // 30 degrees
constexpr double kStrokeAngle = 0.7853981633973;    // 45 degrees
constexpr double kArrowLength = 10.0;               // in line-end sizes
constexpr double kStrokeHalf = 6.0;
constexpr double kDotRadius = 1.5;
constexpr double kCircleRadius = 2.5;
constexpr int32_t kArrowExtension = 30, kMarkExtension = 5;
constexpr double kShortExtensionLine = 0.5; // mm: shorter extension lines are left out
constexpr double kExtensionOvershoot = 1.0; // mm beyond the dimension line
constexpr double kNoGap = 1e300;
constexpr int kMaxElements = 24;

struct Elements {
    Element *at[kMaxElements];
    int count;
};

Elements ReadElements(Unit *object)
{
    Elements c{};
    const uint8_t *end = reinterpret_cast<uint8_t *>(object) + object->bytes;
    for (Element *e = UnitFirstElement(object); c.count < kMaxElements &&
         reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->size >= ELEMENT_HEADER_SIZE &&
         reinterpret_cast<uint8_t *>(e) + e->size <= end && e->kind != ELEM_END;
         e = ElementNext(e))
        c.at[c.count++] = e;
    return c;
}

// The first element of the kind and at least the size, or null.
template <typename T> T *Find(const Elements &c, int16_t kind, uint32_t size)
{
    for (int i = 0; i < c.count; ++i)
        if (c.at[i]->kind == kind)
            return c.at[i]->size >= size ? static_cast<T *>(ElementPayload(c.at[i])) : nullptr;
    return nullptr;
}

const ElementPoint *PointAt(const Elements &c, int i)
{
    return i < c.count && ElementIsPoint(c.at[i]) ? reinterpret_cast<const ElementPoint *>(c.at[i]) : nullptr;
}

bool Outside(int32_t placement, double length, double size)
{
    return placement == LINE_END_OUTSIDE || (placement == LINE_END_AUTOMATIC && length < LINE_END_AUTO_LENGTH * size);
}

// Draws a filled figure with a solid brush of the line colour.
template <typename Draw> void WithLineBrush(HDC hdc, Draw draw)
{
    HBRUSH brush = OutputCreateSolidBrush(hdc, g_OutputContext.lineColour);
    HGDIOBJ old = brush ? SelectObject(hdc, brush) : nullptr;
    draw();
    if (brush) {
        SelectObject(hdc, old ? old : g_OutputContext.brush);
        DeleteObject(brush);
    }
}

int Triangle(HDC hdc, double x, double y, double angle, double size, int clip, uint32_t flags)
{
    if (!ClipPathBegin())
        return 0;
    WorkPoint *p = g_WorkArrays.pathPoints;
    uint32_t *codes = g_WorkArrays.pathTypes;
    const double l = kArrowLength * size;
    p[0] = {x, y};
    p[1] = {x + l * std::cos(angle - kArrowHalfAngle), y + l * std::sin(angle - kArrowHalfAngle)};
    p[2] = {x + l * std::cos(angle + kArrowHalfAngle), y + l * std::sin(angle + kArrowHalfAngle)};
    codes[0] = 1, codes[1] = 2, codes[2] = 2;
    if (!ClipPathPrepare(3, 1, clip))
        return 0;
    return ClipPathFill(hdc, flags);
}

// One end of a line from a to b (the end at a): draws it and moves a outward
// when it sits outside.
void LineEndAt(HDC hdc, int32_t kind, int32_t placement, double direction, CalcPoint *a, CalcPoint b, double length,
               double size, int clip, uint32_t flags)
{
    if (Outside(placement, length, size)) {
        const int32_t e = ClipDrawLineEnd(hdc, kind, a->x, a->y, direction + CALC_PI, size, clip, flags);
        const double k = e * size / length;
        a->x -= k * (b.x - a->x);
        a->y -= k * (b.y - a->y);
    } else {
        ClipDrawLineEnd(hdc, kind, a->x, a->y, direction, size, clip, flags);
    }
}

// Both ends of a straight line; p1 and p2 come back lengthened.
void LineEnds(HDC hdc, const int32_t kinds[2], const int32_t placements[2], const double directions[2], CalcPoint *p1,
              CalcPoint *p2, double size, int clip, uint32_t flags)
{
    const double length = std::hypot(p2->x - p1->x, p2->y - p1->y);
    if (length == 0.0)
        return;
    const CalcPoint start = *p1, end = *p2;
    LineEndAt(hdc, kinds[0], placements[0], directions[0], p1, end, length, size, clip, flags);
    LineEndAt(hdc, kinds[1], placements[1], directions[1], p2, start, length, size, clip, flags);
}

struct ArcState {
    double sweep, start, end;
};

// Both ends of an arc of radius r; an outside end lengthens the arc.
void ArcEnds(HDC hdc, const int32_t kinds[2], const int32_t placements[2], const double directions[2], CalcPoint a1,
             CalcPoint a2, double r, ArcState *arc, double size, int clip, uint32_t flags)
{
    if (r == 0.0)
        return;
    const double length = std::fabs(arc->sweep) * r;
    const CalcPoint at[2] = {a1, a2};
    for (int i = 0; i < 2; ++i) {
        if (!Outside(placements[i], length, size)) {
            ClipDrawLineEnd(hdc, kinds[i], at[i].x, at[i].y, directions[i], size, clip, flags);
            continue;
        }
        const int32_t e = ClipDrawLineEnd(hdc, kinds[i], at[i].x, at[i].y, directions[i] + CALC_PI, size, clip, flags);
        const double delta = e * size / r;
        const double sign = arc->sweep >= 0.0 ? 1.0 : -1.0;
        if (i == 0)
            arc->start -= sign * delta;
        else
            arc->end += sign * delta;
        arc->sweep += sign * delta;
    }
}

void DrawArc(HDC hdc, CalcPoint c, double r, const ArcState &arc, int clip, uint32_t flags)
{
    ClipDrawCircleArc(hdc, c.x, c.y, c.x + r * std::cos(arc.start), c.y + r * std::sin(arc.start),
                      c.x + r * std::cos(arc.end), c.y + r * std::sin(arc.end), arc.sweep, clip, flags);
}

// An extension line from the base towards the dimension line's end.
void ExtensionLine(HDC hdc, CalcPoint base, CalcPoint end, double gap, int clip, uint32_t flags)
{
    const double dx = end.x - base.x, dy = end.y - base.y, l = std::hypot(dx, dy);
    if (l <= kShortExtensionLine)
        return;
    const double ux = dx / l, uy = dy / l;
    ClipDrawLineStyled(hdc, base.x + gap * ux, base.y + gap * uy, end.x + kExtensionOvershoot * ux,
                       end.y + kExtensionOvershoot * uy, clip, flags);
}

bool HasGap(double t) { return std::fabs(t) != kNoGap; }

} // namespace

double ClipLineEndSize()
{
    const double *a = g_DrawingSettings.dimLayoutArrows;
    return std::fmax(a[0], g_OutputContext.lineWidth * a[1]);
}

int32_t ClipDrawLineEnd(HDC hdc, int32_t kind, double x, double y, double angle, double size, int clip,
                        uint32_t flags)
{
    switch (kind) {
    case LINE_END_FILLED_ARROW:
        WithLineBrush(hdc, [&] { Triangle(hdc, x, y, angle, size, clip, flags | 1); });
        return kArrowExtension;
    case LINE_END_OUTLINE_ARROW: Triangle(hdc, x, y, angle, size, clip, flags); return kArrowExtension;
    case LINE_END_OPEN_ARROW: {
        const double l = kArrowLength * size;
        for (double side : {-kOpenHalfAngle, kOpenHalfAngle})
            ClipDrawLineStyled(hdc, x, y, x + l * std::cos(angle + side), y + l * std::sin(angle + side), clip, flags);
        return kArrowExtension;
    }
    case LINE_END_STROKE: {
        const double dx = kStrokeHalf * size * std::cos(angle + kStrokeAngle);
        const double dy = kStrokeHalf * size * std::sin(angle + kStrokeAngle);
        ClipDrawLineStyled(hdc, x - dx, y - dy, x + dx, y + dy, clip, flags);
        return kMarkExtension;
    }
    case LINE_END_FILLED_DOT:
        WithLineBrush(hdc, [&] { ClipDrawCircle(hdc, x, y, x + kDotRadius * size, y, clip, flags | 1); });
        return kMarkExtension;
    case LINE_END_CIRCLE: ClipDrawCircle(hdc, x, y, x + kCircleRadius * size, y, clip, flags); return kMarkExtension;
    default: return 0;
    }
}

int ClipDrawLineStr(HDC hdc, Unit *object, int clip, uint32_t flags)
{
    const Elements c = ReadElements(object);
    const ElementPoint *s = PointAt(c, 0), *e = PointAt(c, 1);
    const auto *line = Find<DimLineRecord>(c, ELEM_DIM_LINE, ELEM_SIZE_DIM_LINE);
    const auto *sub = Find<double>(c, ELEM_SUB_LINESTR, ELEM_SIZE_SUB_LINESTR);
    if (!s || !e || !line || !sub)
        return 1;
    CalcPoint p1{s->x, s->y}, p2{e->x, e->y};
    const int32_t kinds[2] = {line->arrows[0], line->arrows[2]}, placements[2] = {line->arrows[1], line->arrows[3]};
    LineEnds(hdc, kinds, placements, sub, &p1, &p2, ClipLineEndSize(), clip, flags);
    ClipDrawLineStyled(hdc, p1.x, p1.y, p2.x, p2.y, clip, flags);
    return 1;
}

int ClipDrawLineCurved(HDC hdc, Unit *object, int clip, uint32_t flags)
{
    const Elements c = ReadElements(object);
    const ElementPoint *centre = PointAt(c, 0), *radius = PointAt(c, 1), *s = PointAt(c, 2), *e = PointAt(c, 3);
    const auto *line = Find<DimLineRecord>(c, ELEM_DIM_LINE, ELEM_SIZE_DIM_LINE);
    const auto *sub = Find<double>(c, ELEM_SUB_LINECURVED, ELEM_SIZE_SUB_LINECURVED);
    if (!centre || !radius || !s || !e || !line || !sub)
        return 1;
    const CalcPoint cp{centre->x, centre->y};
    const double r = std::hypot(radius->x - cp.x, radius->y - cp.y);
    ArcState arc{sub[0], sub[1], sub[2]};
    const int32_t kinds[2] = {line->arrows[0], line->arrows[2]}, placements[2] = {line->arrows[1], line->arrows[3]};
    ArcEnds(hdc, kinds, placements, sub + 3, {s->x, s->y}, {e->x, e->y}, r, &arc, ClipLineEndSize(), clip, flags);
    DrawArc(hdc, cp, r, arc, clip, flags);
    return 1;
}

int ClipDrawDimLinear(HDC hdc, Unit *object, int clip, uint32_t flags)
{
    const Elements c = ReadElements(object);
    const auto *r = Find<DimLargeRecord>(c, ELEM_DIM_LARGE, ELEM_SIZE_DIM_LARGE);
    const auto *g = Find<DimLinearGeometry>(c, ELEM_SUB_DIM_LINEAR, ELEM_SIZE_SUB_DIM_LINEAR);
    if (!r || !g || !g->dimensionLine)
        return 1;
    const double gap = r->distance420;
    if (g->extension1)
        ExtensionLine(hdc, g->base1, g->q1, gap, clip, flags);
    if (g->extension2)
        ExtensionLine(hdc, g->base2, g->q2, gap, clip, flags);
    CalcPoint d1 = g->q1, d2 = g->q2;
    const int32_t kinds[2] = {g->endMark1, g->endMark2}, placements[2] = {r->arrows[1], r->arrows[3]};
    const double directions[2] = {g->startDirection, g->endDirection};
    LineEnds(hdc, kinds, placements, directions, &d1, &d2, ClipLineEndSize(), clip, flags);
    if (!HasGap(g->gapStart) && !HasGap(g->gapEnd)) {
        ClipDrawLineStyled(hdc, d1.x, d1.y, d2.x, d2.y, clip, flags);
        return 1;
    }
    const double dx = g->q2.x - g->q1.x, dy = g->q2.y - g->q1.y;
    if (HasGap(g->gapStart) && g->gapStart > 0.0)
        ClipDrawLineStyled(hdc, d1.x, d1.y, g->q1.x + g->gapStart * dx, g->q1.y + g->gapStart * dy, clip, flags);
    if (HasGap(g->gapEnd) && g->gapEnd < 1.0)
        ClipDrawLineStyled(hdc, g->q1.x + g->gapEnd * dx, g->q1.y + g->gapEnd * dy, d2.x, d2.y, clip, flags);
    return 1;
}

int ClipDrawDimAngular(HDC hdc, Unit *object, int clip, uint32_t flags)
{
    const Elements c = ReadElements(object);
    const auto *r = Find<DimLargeRecord>(c, ELEM_DIM_LARGE, ELEM_SIZE_DIM_LARGE);
    const auto *g = Find<DimAngularGeometry>(c, ELEM_SUB_DIM_ANGULAR, ELEM_SIZE_SUB_DIM_ANGULAR);
    if (!r || !g || !g->dimensionArc)
        return 1;
    const double gap = r->distance420;
    if (g->extension1)
        ExtensionLine(hdc, g->base1, g->arcStart, gap, clip, flags);
    if (g->extension2)
        ExtensionLine(hdc, g->base2, g->arcEnd, gap, clip, flags);
    const CalcPoint cp = g->centre;
    const double radius = std::hypot(g->arcPosition.x - cp.x, g->arcPosition.y - cp.y);
    ArcState arc{g->sweep, g->startAngle, g->endAngle};
    const int32_t kinds[2] = {r->arrows[0], r->arrows[2]}, placements[2] = {r->arrows[1], r->arrows[3]};
    const double directions[2] = {g->startDirection, g->endDirection};
    ArcEnds(hdc, kinds, placements, directions, g->arcStart, g->arcEnd, radius, &arc, ClipLineEndSize(), clip, flags);
    if (!HasGap(g->gapStart) && !HasGap(g->gapEnd)) {
        DrawArc(hdc, cp, radius, arc, clip, flags);
        return 1;
    }
    if (std::fabs(g->sweep) <= 1e-10)
        return 1;
    const CalcPoint a1{cp.x + radius * std::cos(arc.start), cp.y + radius * std::sin(arc.start)};
    const CalcPoint a2{cp.x + radius * std::cos(arc.end), cp.y + radius * std::sin(arc.end)};
    const int ccw = g->sweep >= 0.0 ? 1 : 0;
    auto at = [&](double t) {
        const double a = t * g->sweep + g->startAngle;
        return CalcPoint{cp.x + radius * std::cos(a), cp.y + radius * std::sin(a)};
    };
    if (HasGap(g->gapStart) && g->gapStart > 0.0) {
        const CalcPoint p = at(g->gapStart);
        ClipDrawCircleArc(hdc, cp.x, cp.y, a1.x, a1.y, p.x, p.y, CalcArcSweep(cp.x, cp.y, a1.x, a1.y, p.x, p.y, ccw),
                          clip, flags);
    }
    if (HasGap(g->gapEnd) && g->gapEnd < 1.0) {
        const CalcPoint q = at(g->gapEnd);
        ClipDrawCircleArc(hdc, cp.x, cp.y, q.x, q.y, a2.x, a2.y, CalcArcSweep(cp.x, cp.y, q.x, q.y, a2.x, a2.y, ccw),
                          clip, flags);
    }
    return 1;
}

int ClipDrawRefText(HDC hdc, Unit *object, int clip, uint32_t flags)
{
    const XProperty parent = OutputDefaultXProperty();
    FrameRegenerateRefText(object, &parent);
    const Elements c = ReadElements(object);
    const auto *g = Find<RefTextGeometry>(c, ELEM_SUB_REFTEXT, ELEM_SIZE_SUB_REFTEXT);
    if (!g)
        return 1;
    const CalcPoint *l = g->leader;
    if (std::fabs(l[0].x - l[2].x) < 1e-10 && std::fabs(l[0].y - l[2].y) < 1e-10)
        return 1;
    ClipDrawLineEnd(hdc, g->endMark, l[0].x, l[0].y, g->tipDirection, ClipLineEndSize(), clip, flags);
    if (FrameRefTextHasKnee(g->leaderMode)) {
        ClipDrawLineStyled(hdc, l[0].x, l[0].y, l[1].x, l[1].y, clip, flags);
        ClipDrawLineStyled(hdc, l[1].x, l[1].y, l[2].x, l[2].y, clip, flags);
    } else {
        ClipDrawLineStyled(hdc, l[0].x, l[0].y, l[2].x, l[2].y, clip, flags);
    }
    const CalcPoint *f = g->frame;
    if (g->frameShape == REFTEXT_FRAME_CIRCLE)
        return ClipDrawCircle(hdc, f[0].x, f[0].y, f[1].x, f[1].y, clip, flags);
    if (g->frameShape == REFTEXT_FRAME_ELLIPSE)
        return ClipDrawEllipse(hdc, f[0].x, f[0].y, f[1].x, f[1].y, f[2].x, f[2].y, clip, flags);
    if (!ClipPathBegin())
        return 0;
    for (int i = 0; i < 4; ++i) {
        g_WorkArrays.pathPoints[i] = {f[i].x, f[i].y};
        g_WorkArrays.pathTypes[i] = i == 0 ? 1 : 2;
    }
    if (!ClipPathPrepare(4, 1, clip))
        return 0;
    return ClipPathFill(hdc, flags);
}
