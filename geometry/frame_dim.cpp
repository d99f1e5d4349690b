#include "geometry/frame_dim.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/convert.h"
#include "app/system.h"
#include "database/object_types.h"
#include "display/output.h"
#include "display/symbol.h"
#include "files/file_records.h"
#include "geometry/frame.h"
#include "geometry/matrix.h"

namespace {

// Enough for the longest dimension chain (DimArc: 15 elements).
constexpr int kDimPositions = 16;
// Upright rule: a hair below 91 and 271 degrees.
constexpr double kUprightLow = 1.58824961931454;
constexpr double kUprightHigh = 4.72984227290374;
constexpr int kConvertBuffer = 256;
constexpr int kLabelTexts = 3;        // before, value, after
constexpr int kCoordLabelTexts = 5;   // before, x, between, y, after
constexpr double kGapMargin = 0.15;   // the text box widened on either side, in text heights

// Where a dimension type keeps its elements (positions from 0).
struct DimLayout {
    int32_t type;
    int points;      // point elements from position 0 (DimArc: its orientation in between)
    int firstText;
    int texts;
    int record;      // settings record
    int16_t recordKind;
    int sub;         // run-time geometry
    int16_t subKind;
};

constexpr DimLayout kDimLayouts[] = {
    {OBJTYPE_DIM_DIST, 7, 7, 5, 12, ELEM_DIM_LARGE, 13, ELEM_SUB_DIM_LINEAR},
    {OBJTYPE_DIM_RAD, 6, 6, 5, 11, ELEM_DIM_LARGE, 12, ELEM_SUB_DIM_LINEAR},
    {OBJTYPE_DIM_DIA, 6, 6, 5, 11, ELEM_DIM_LARGE, 12, ELEM_SUB_DIM_LINEAR},
    {OBJTYPE_DIM_ANGLE, 7, 7, 5, 12, ELEM_DIM_LARGE, 13, ELEM_SUB_DIM_ANGULAR},
    {OBJTYPE_DIM_ARC, 8, 8, 5, 13, ELEM_DIM_LARGE, 14, ELEM_SUB_DIM_ANGULAR},
    {OBJTYPE_DIM_COORD, 1, 3, 7, 10, ELEM_DIM_SMALL, 11, ELEM_SUB_DIM_LABEL},
    {OBJTYPE_DIM_AREA, 2, 3, 5, 8, ELEM_DIM_SMALL, 9, ELEM_SUB_DIM_LABEL},
    {OBJTYPE_DIM_PERI, 2, 3, 5, 8, ELEM_DIM_SMALL, 9, ELEM_SUB_DIM_LABEL},
};

struct DimChain {
    Unit *object;
    const DimLayout *layout;
    Element *at[kDimPositions];
    int count;
};

CalcPoint Pt(double x, double y) { return CalcPoint{x, y}; }
CalcPoint Add(CalcPoint a, CalcPoint b) { return Pt(a.x + b.x, a.y + b.y); }
CalcPoint Sub(CalcPoint a, CalcPoint b) { return Pt(a.x - b.x, a.y - b.y); }
CalcPoint Scale(CalcPoint a, double k) { return Pt(a.x * k, a.y * k); }
double Length(CalcPoint a) { return std::hypot(a.x, a.y); }
double AngleOf(CalcPoint v) { return CalcAngleOfVector(v.x, v.y); }

// Unit vector, or (0, 0) for the zero vector.
CalcPoint UnitOf(CalcPoint v)
{
    const double l = Length(v);
    return l != 0.0 ? Scale(v, 1.0 / l) : Pt(0.0, 0.0);
}

bool ReadDimChain(Unit *object, DimChain *c)
{
    c->object = object;
    c->layout = nullptr;
    for (const DimLayout &l : kDimLayouts)
        if (l.type == object->object.type)
            c->layout = &l;
    if (!c->layout)
        return false;
    c->count = 0;
    const uint8_t *end = reinterpret_cast<uint8_t *>(object) + object->bytes;
    for (Element *e = UnitFirstElement(object); c->count < kDimPositions &&
         reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->size >= ELEMENT_HEADER_SIZE &&
         reinterpret_cast<uint8_t *>(e) + e->size <= end && e->kind != ELEM_END;
         e = ElementNext(e))
        c->at[c->count++] = e;
    const DimLayout &l = *c->layout;
    if (c->count <= l.sub || c->at[l.record]->kind != l.recordKind || c->at[l.sub]->kind != l.subKind)
        return false;
    for (int i = 0; i < l.texts; ++i)
        if (c->at[l.firstText + i]->kind != ELEM_TEXT)
            return false;
    const uint32_t recordSize = l.recordKind == ELEM_DIM_LARGE ? ELEM_SIZE_DIM_LARGE : ELEM_SIZE_DIM_SMALL;
    const uint32_t subSize = l.subKind == ELEM_SUB_DIM_LINEAR    ? ELEM_SIZE_SUB_DIM_LINEAR
                             : l.subKind == ELEM_SUB_DIM_ANGULAR ? ELEM_SIZE_SUB_DIM_ANGULAR
                                                                 : ELEM_SIZE_SUB_DIM_LABEL;
    return c->at[l.record]->size >= recordSize && c->at[l.sub]->size >= subSize;
}

CalcPoint PointAt(const DimChain &c, int i)
{
    const auto *p = reinterpret_cast<const ElementPoint *>(c.at[i]);
    return ElementIsPoint(c.at[i]) ? Pt(p->x, p->y) : Pt(0.0, 0.0);
}

void SetPoint(const DimChain &c, int i, CalcPoint v)
{
    if (ElementIsPoint(c.at[i])) {
        auto *p = reinterpret_cast<ElementPoint *>(c.at[i]);
        p->x = v.x, p->y = v.y;
    }
}

char *TextAt(const DimChain &c, int i) { return static_cast<char *>(ElementPayload(c.at[c.layout->firstText + i])); }

// Writes a value into a text element kept at its full capacity (negative
// count). A text cut to its length was given by whoever built the object and
// is kept: rewriting it would change the element's size.
void WriteText(const DimChain &c, int i, const char *s)
{
    const Element *e = c.at[c.layout->firstText + i];
    if (e->count >= 0)
        return;
    uint32_t capacity = e->size - ELEMENT_HEADER_SIZE;
    if (static_cast<uint32_t>(-e->count) < capacity)
        capacity = static_cast<uint32_t>(-e->count);
    if (capacity == 0)
        return;
    char *out = TextAt(c, i);
    const size_t n = std::min<size_t>(std::strlen(s), capacity - 1);
    std::memcpy(out, s, n);
    out[n] = '\0';
}

template <typename T> T *Payload(const DimChain &c, int i) { return static_cast<T *>(ElementPayload(c.at[i])); }

// Foot of p on the line a b (p itself when a = b).
CalcPoint Foot(CalcPoint a, CalcPoint b, CalcPoint p)
{
    CalcPerpendicularFootLine(a.x, a.y, b.x, b.y, p.x, p.y);
    return g_CalcPoints[0];
}

// The point of the circle (c through r) in the direction of p; p when p = c.
CalcPoint CircleFoot(CalcPoint c, CalcPoint r, CalcPoint p)
{
    return CalcCirclePerpendicularFeet(c.x, c.y, r.x, r.y, p.x, p.y) ? g_CalcPoints[0] : p;
}

CalcPoint CircleTowards(CalcPoint c, CalcPoint r, CalcPoint p, double *angle)
{
    const double a = CalcCirclePointTowards(c.x, c.y, r.x, r.y, p.x, p.y);
    if (angle)
        *angle = a;
    return g_CalcPoints[0];
}

// The dimension line's or arc's position by the record's distance mode.
CalcPoint ApplyDistanceMode(const DimLargeRecord &r, CalcPoint foot, CalcPoint position)
{
    const CalcPoint v = Sub(position, foot);
    const double len = Length(v);
    const double distance = r.distance;
    switch (r.ints3[2]) {
    case 1: return len != 0.0 ? Add(foot, Scale(v, distance / len)) : position;
    case 2:
        if (distance != 0.0 && len != 0.0)
            return Add(foot, Scale(v, (distance / len) * std::floor(len / distance + 0.5)));
        return foot;
    default: return position;
    }
}

// The text moved off the foot f on the dimension line by the placement.
CalcPoint OffsetText(const DimLargeRecord &r, CalcPoint f, double angle)
{
    const double h = r.common.values[0];
    const double k = r.common.last == DIM_PLACE_ABOVE ? DIM_TEXT_OFFSET_SHARE * h : -DIM_TEXT_OFFSET_SHARE * h;
    return Add(f, Scale(Pt(-std::sin(angle), std::cos(angle)), k));
}

bool PlacedOnLine(const DimLargeRecord &r)
{
    return r.common.last == DIM_PLACE_ABOVE || r.common.last == DIM_PLACE_IN_LINE;
}

// Text direction by point: the angle towards the direction point, made upright.
void TextDirectionByPoint(int32_t byPoint, CalcPoint direction, CalcPoint text, double *angle)
{
    if (byPoint)
        *angle = FrameUprightAngle(AngleOf(Sub(direction, text)));
}

// The text cuts a gap into the dimension line (arc) only when it sits in it.
bool TextInLine(const DimCommon &common, bool lineShown) { return lineShown && common.last == DIM_PLACE_IN_LINE; }

void RegenerateLinear(const DimChain &c, int regenerate)
{
    const int32_t type = c.layout->type;
    auto &r = *Payload<DimLargeRecord>(c, c.layout->record);
    auto &g = *Payload<DimLinearGeometry>(c, c.layout->sub);
    const bool dist = type == OBJTYPE_DIM_DIST;
    // Roles: DimDist P1 P2 dir pos second text textdir; DimRad/Dia centre circle dir pos text textdir.
    const CalcPoint direction = PointAt(c, 2), stored = PointAt(c, 3);
    const CalcPoint textPoint = PointAt(c, dist ? 5 : 4), textDirection = PointAt(c, dist ? 6 : 5);
    const int32_t measuring = r.ints3[0], endMode = r.ints3[1];
    const bool square = measuring >= 1 && measuring <= 3;

    CalcPoint p1, p2;
    if (dist) {
        p1 = PointAt(c, 0);
        p2 = square ? Foot(p1, direction, PointAt(c, 1)) : PointAt(c, 1);
    } else {
        const CalcPoint centre = PointAt(c, 0);
        p2 = square ? CircleFoot(centre, PointAt(c, 1), direction) : PointAt(c, 1);
        p1 = type == OBJTYPE_DIM_RAD ? centre : Sub(Scale(centre, 2.0), p2);
    }
    const CalcPoint d = ApplyDistanceMode(r, Foot(p1, p2, stored), stored);
    const CalcPoint u = Sub(p2, p1);
    const CalcPoint along = Add(d, u);

    CalcPoint q1, q2;
    if (!dist && endMode == 2) {
        q1 = p2;
        q2 = Foot(p1, p2, stored);
    } else if (endMode == 1) {
        CalcIntersectLineLine(d.x, d.y, along.x, along.y, p1.x, p1.y, stored.x, stored.y);
        if (dist) {
            q1 = g_CalcPoints[0];
            q2 = Add(q1, u);
        } else {
            q2 = g_CalcPoints[0];
            q1 = Sub(q2, u);
        }
    } else if (dist && endMode == 2) {
        q1 = Foot(d, along, p1);
        q2 = Foot(d, along, PointAt(c, 4));
    } else {
        q1 = Foot(d, along, p1);
        q2 = Add(q1, u);
    }
    g.startDirection = AngleOf(Sub(q2, q1));
    g.endDirection = AngleOf(Sub(q1, q2));

    CalcPoint t = textPoint;
    double angle = 0.0;
    const int32_t lineShown = r.bools3[2];
    if (lineShown) {
        angle = FrameUprightAngle(g.startDirection); // the direction of q1 -> q2
        if (r.common.bools[1]) {
            const CalcPoint mid = Scale(Add(q1, q2), 0.5);
            t = Foot(mid, Add(mid, Pt(-u.y, u.x)), t);
        }
        if (PlacedOnLine(r))
            t = OffsetText(r, Foot(q1, q2, t), angle);
    }
    TextDirectionByPoint(r.bool1, textDirection, t, &angle);

    if (r.common.bools[0] || regenerate) {
        char value[kConvertBuffer] = "", extra[kConvertBuffer] = "";
        ConvertDistanceToString(value, extra, p1.x, p1.y, p2.x, p2.y, r.system, r.common.int460, r.common.mode);
        WriteText(c, 1, value);
        std::strncpy(g.extraText, extra, DIM_EXTRA_TEXT_SIZE - 1);
        g.extraText[DIM_EXTRA_TEXT_SIZE - 1] = '\0';
    } else {
        g.extraText[0] = '\0';
    }

    g.textAngle = angle;
    g.dimensionLine = lineShown;
    g.endMark1 = r.arrows[0];
    g.q1 = q1, g.q2 = q2;
    g.base1 = p1;
    g.base2 = dist ? PointAt(c, 1) : p2;
    g.text = t;
    g.gapStart = DIM_NO_GAP_START, g.gapEnd = DIM_NO_GAP_END;
    if (TextInLine(r.common, lineShown != 0)) {
        GeoObject line{};
        line.type = GEO_LINE;
        line.d[0] = q1.x, line.d[1] = q1.y, line.d[2] = q2.x, line.d[3] = q2.y;
        FrameDimTextGap(c.object, &line, &g.gapStart, &g.gapEnd);
    }
    g.extension1 = !dist && endMode == 2 ? 0 : r.bools3[0];
    g.extension2 = endMode == 2 ? 0 : r.bools3[1];
    g.endMark2 = endMode == 2 ? 0 : r.arrows[2];
}

void RegenerateAngular(const DimChain &c, int regenerate)
{
    const bool arc = c.layout->type == OBJTYPE_DIM_ARC;
    auto &r = *Payload<DimLargeRecord>(c, c.layout->record);
    auto &g = *Payload<DimAngularGeometry>(c, c.layout->sub);
    // DimAngle: legs 0-1 and 2-3, arc position 4, text 5, direction 6.
    // DimArc: centre 0, radius 1, start 2, end 3, orientation 4, arc position 5, text 6, direction 7.
    const int pos = arc ? 5 : 4;
    const CalcPoint stored = PointAt(c, pos), textPoint = PointAt(c, pos + 1), textDirection = PointAt(c, pos + 2);

    CalcPoint v, ref, a1{}, a2{}, bisector{}, arcStart{}, arcEnd{};
    double objectSweep = 0.0;
    bool ccw = true;
    if (arc) {
        v = PointAt(c, 0);
        ref = PointAt(c, 1);
        ccw = c.at[4]->kind == ELEM_ORIENT && *Payload<double>(c, 4) >= 0.0;
        arcStart = PointAt(c, 2), arcEnd = PointAt(c, 3);
        objectSweep = CalcArcSweep(v.x, v.y, arcStart.x, arcStart.y, arcEnd.x, arcEnd.y, ccw ? 1 : 0);
        arcStart = CircleTowards(v, ref, arcStart, nullptr);
        arcEnd = CircleTowards(v, ref, arcEnd, nullptr);
        SetPoint(c, 2, arcStart);
        SetPoint(c, 3, arcEnd);
        const CalcPoint us = UnitOf(Sub(arcStart, v)), ue = UnitOf(Sub(arcEnd, v));
        bisector = (Length(us) == 0.0 || Length(ue) == 0.0) ? Pt(0.0, 0.0) : Add(us, ue);
    } else {
        const CalcPoint l1s = PointAt(c, 0), l1e = PointAt(c, 1), l2s = PointAt(c, 2), l2e = PointAt(c, 3);
        CalcIntersectLineLine(l1s.x, l1s.y, l1e.x, l1e.y, l2s.x, l2s.y, l2e.x, l2e.y);
        v = g_CalcPoints[0];
        a1 = Add(v, Sub(l1e, l1s));
        a2 = Add(v, Sub(l2e, l2s));
        ref = Length(Sub(l2e, v)) >= Length(Sub(l1e, v)) ? l2e : l1e;
    }
    const CalcPoint d = ApplyDistanceMode(r, CircleFoot(v, ref, stored), stored);

    CalcPoint s, e;
    double startAngle = 0.0, endAngle = 0.0;
    if (!arc) {
        s = CircleTowards(v, d, a1, &startAngle);
        e = CircleTowards(v, d, a2, &endAngle);
    } else {
        auto end = [&](CalcPoint p) {
            if (g_DrawingSettings.dimLayoutLineMode == 1) {
                const CalcPoint q = Add(p, bisector);
                if (CalcIntersectLineCircle(p.x, p.y, q.x, q.y, v.x, v.y, d.x, d.y) == 2)
                    return g_CalcPoints[1];
            }
            return CircleTowards(v, d, p, nullptr);
        };
        s = end(arcStart);
        e = end(arcEnd);
        startAngle = AngleOf(Sub(s, v));
        endAngle = AngleOf(Sub(e, v));
    }
    if (!arc)
        ccw = CalcAngleInArc(v.x, v.y, s.x, s.y, e.x, e.y, stored.x, stored.y, 1) != 0;
    const double sweep = CalcArcSweep(v.x, v.y, s.x, s.y, e.x, e.y, ccw ? 1 : 0);
    g.startDirection = sweep >= 0.0 ? startAngle + CALC_HALF_PI : startAngle - CALC_HALF_PI;
    g.endDirection = sweep >= 0.0 ? endAngle - CALC_HALF_PI : endAngle + CALC_HALF_PI;

    CalcPoint t = textPoint;
    double angle = 0.0;
    const int32_t arcShown = r.bools3[2];
    if (arcShown) {
        if (r.common.bools[1]) {
            CalcPoint b = bisector;
            if (!arc) {
                const CalcPoint us = UnitOf(Sub(s, v)), ue = UnitOf(Sub(e, v));
                b = (Length(us) == 0.0 || Length(ue) == 0.0) ? Pt(0.0, 0.0) : Add(us, ue);
            }
            if (Length(b) != 0.0)
                t = Foot(v, Add(v, b), t);
        }
        angle = FrameUprightAngle(CalcAngleOfVector(t.y - v.y, -(t.x - v.x)));
        if (PlacedOnLine(r))
            t = OffsetText(r, CircleFoot(v, d, t), angle);
    }
    TextDirectionByPoint(r.bool1, textDirection, t, &angle);

    if (r.common.bools[0] || regenerate) {
        char value[kConvertBuffer] = "";
        if (arc)
            ConvertSystemLengthToString(value, std::fabs(objectSweep) * Length(Sub(ref, v)), r.system,
                                        r.common.int460, r.common.mode);
        else
            ConvertPointAngleToString(value, v.x, v.y, s.x, s.y, e.x, e.y, ccw ? 1 : 0, r.system, r.common.int460,
                                      r.common.mode);
        WriteText(c, 1, value);
    }
    if (arc)
        r.common.font.style |= FONT_STYLE_OVERLINE; // the arc mark stands over the value

    g.endMark1 = r.arrows[0];
    g.endMark2 = r.arrows[2];
    g.sweep = sweep;
    g.startAngle = startAngle, g.endAngle = endAngle;
    g.textAngle = angle;
    g.extension1 = r.bools3[0], g.extension2 = r.bools3[1], g.dimensionArc = arcShown;
    g.arcStart = s, g.arcEnd = e;
    g.base1 = arc ? arcStart : PointAt(c, 1);
    g.base2 = arc ? arcEnd : PointAt(c, 3);
    g.centre = v;
    g.arcPosition = d;
    g.text = t;
    g.gapStart = DIM_NO_GAP_START, g.gapEnd = DIM_NO_GAP_END;
    if (TextInLine(r.common, arcShown != 0)) {
        GeoObject arcLine{};
        arcLine.type = GEO_CIRC_ARC;
        arcLine.d[0] = v.x, arcLine.d[1] = v.y, arcLine.d[2] = d.x, arcLine.d[3] = d.y;
        arcLine.d[6] = s.x, arcLine.d[7] = s.y, arcLine.d[8] = e.x, arcLine.d[9] = e.y;
        arcLine.direction = sweep >= 0.0 ? 1 : 0;
        FrameDimTextGap(c.object, &arcLine, &g.gapStart, &g.gapEnd);
    }
}

void RegenerateLabel(Unit *object, const DimChain &c, int regenerate)
{
    const int32_t type = c.layout->type;
    auto &r = *Payload<DimSmallRecord>(c, c.layout->record);
    auto &g = *Payload<DimLabelGeometry>(c, c.layout->sub);
    std::memcpy(&object->property, &r.common.property, sizeof(XProperty));
    // DimCoord: measured point, text, direction; DimArea/Peri: text, direction, value.
    const int text = type == OBJTYPE_DIM_COORD ? 1 : 0;
    const CalcPoint t = PointAt(c, text), direction = PointAt(c, text + 1);
    double angle = 0.0;
    TextDirectionByPoint(r.common.bools[1], direction, t, &angle);
    if (r.common.bools[0] || regenerate) {
        const int32_t system = r.common.last, format = r.common.int460, flags = r.common.mode;
        char value[kConvertBuffer] = "", second[kConvertBuffer] = "";
        if (type == OBJTYPE_DIM_COORD) {
            const CalcPoint p = PointAt(c, 0);
            ConvertPointToStrings(value, second, p.x, p.y, system, format, flags);
            WriteText(c, 1, value);
            WriteText(c, 3, second);
        } else if (c.at[2]->kind == ELEM_CONSTANT) {
            const double stored = *Payload<double>(c, 2);
            if (type == OBJTYPE_DIM_AREA)
                ConvertAreaToString(value, stored, system, format, flags);
            else
                ConvertSystemLengthToString(value, stored, system, format, flags);
            WriteText(c, 1, value);
        }
    }
    g.textAngle = angle;
    g.text = t;
}

} // namespace

double FrameUprightAngle(double angle)
{
    return angle > kUprightLow && angle <= kUprightHigh ? angle - CALC_PI : angle;
}

int FrameRefTextHasKnee(int32_t leaderMode)
{
    return leaderMode == 0 || (leaderMode >= 2 && leaderMode <= 5);
}

void FrameRegenerateDimension(Unit *object, int regenerate)
{
    DimChain c;
    if (!ReadDimChain(object, &c))
        return;
    switch (c.layout->subKind) {
    case ELEM_SUB_DIM_LINEAR: RegenerateLinear(c, regenerate); break;
    case ELEM_SUB_DIM_ANGULAR: RegenerateAngular(c, regenerate); break;
    default: RegenerateLabel(object, c, regenerate); break;
    }
}

namespace {

// The leader segment a -> b cut at the frame: each crossing taken replaces
// *out (and *knee when given). Returns nothing; the caller's points change.
void CutAtFrame(const RefTextGeometry &g, CalcPoint a, CalcPoint b, CalcPoint *out, CalcPoint *knee)
{
    auto take = [&](CalcPoint p) {
        *out = p;
        if (knee)
            *knee = p;
    };
    const CalcPoint *f = g.frame;
    if (g.frameShape == REFTEXT_FRAME_CIRCLE || g.frameShape == REFTEXT_FRAME_ELLIPSE) {
        const int n = g.frameShape == REFTEXT_FRAME_CIRCLE
                          ? CalcIntersectLineCircle(a.x, a.y, b.x, b.y, f[0].x, f[0].y, f[1].x, f[1].y)
                          : CalcIntersectLineEllipse(a.x, a.y, b.x, b.y, f[0].x, f[0].y, f[1].x, f[1].y, f[2].x,
                                                     f[2].y);
        if (n <= 0)
            return;
        const CalcPoint p0 = g_CalcPoints[0], p1 = g_CalcPoints[1], params = g_CalcPoints[2];
        if (params.x >= 0.0 && params.x <= 1.0)
            take(p0);
        if (n >= 2 && params.y >= 0.0 && params.y <= 1.0)
            take(p1);
        return;
    }
    for (int i = 0; i < 4; ++i) {
        const CalcPoint e0 = f[i], e1 = f[(i + 1) % 4];
        if (!CalcIntersectLineLine(a.x, a.y, b.x, b.y, e0.x, e0.y, e1.x, e1.y))
            continue;
        const double onLeader = g_CalcPoints[1].x, onEdge = g_CalcPoints[1].y;
        const bool strict = i % 2 == 1;
        const bool inLeader = strict ? onLeader > 0.0 && onLeader < 1.0 : onLeader >= 0.0 && onLeader <= 1.0;
        if (onEdge >= 0.0 && onEdge <= 1.0 && inLeader)
            take(g_CalcPoints[0]);
    }
}

} // namespace

void FrameRefTextFrame(const double box[4], const Matrix *placed, RefTextGeometry *out)
{
    RefTextGeometry &g = *out;
    const double x0 = box[0], y0 = box[1], x1 = box[2], y1 = box[3];
    const double w = x1 - x0, h = y1 - y0, cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, md = g.frameDistance;

    CalcPoint f[4] = {};
    switch (g.frameShape) {
    case REFTEXT_FRAME_RHOMBUS:
        f[0] = Pt(x0 - h / 2 - md, cy), f[1] = Pt(cx, y0 - w / 2 - md);
        f[2] = Pt(x1 + h / 2 + md, cy), f[3] = Pt(cx, y1 + w / 2 + md);
        break;
    case REFTEXT_FRAME_CIRCLE: f[0] = Pt(cx, cy), f[1] = Pt(cx + std::hypot(w, h) / 2 + md, cy); break;
    case REFTEXT_FRAME_ELLIPSE: f[0] = Pt(cx, cy), f[1] = Pt(x0 - md, y0 - md), f[2] = Pt(x1 + md, y0 - md); break;
    default:
        f[0] = Pt(x0 - md, y0 - md), f[1] = Pt(x0 - md, y1 + md);
        f[2] = Pt(x1 + md, y1 + md), f[3] = Pt(x1 + md, y0 - md);
        break;
    }
    for (int i = 0; i < 4; ++i)
        MatrixApply(*placed, f[i].x, f[i].y, &g.frame[i].x, &g.frame[i].y);
}

void FrameRefTextLeader(RefTextGeometry *out, CalcPoint t, CalcPoint knee, CalcPoint c, Matrix *textMatrix)
{
    RefTextGeometry &g = *out;
    const double dx = c.x - t.x, dy = c.y - t.y, adx = std::fabs(dx), ady = std::fabs(dy);
    const bool steep = ady >= adx;
    CalcPoint e = c, k = t;
    switch (g.leaderMode) {
    case 0: k = knee; break;
    case 2:
        k = steep ? Pt(c.x, dy > 0 ? t.y + adx : t.y - adx) : Pt(dx > 0 ? t.x + ady : t.x - ady, c.y);
        break;
    case 3:
        k = steep ? Pt(t.x, dy > 0 ? c.y - adx : c.y + adx) : Pt(dx > 0 ? c.x - ady : c.x + ady, t.y);
        break;
    case 4: k = steep ? Pt(c.x, t.y) : Pt(t.x, c.y); break;
    case 5: k = steep ? Pt(t.x, c.y) : Pt(c.x, t.y); break;
    case 6:
        for (CalcPoint &p : g.frame)
            p.y -= dy;
        textMatrix->ty -= dy;
        e = Pt(c.x, t.y);
        g.tipDirection = CalcAngleOfVector(dx, 0.0);
        break;
    case 7:
        for (CalcPoint &p : g.frame)
            p.x -= dx;
        textMatrix->tx -= dx;
        e = Pt(t.x, c.y);
        g.tipDirection = CalcAngleOfVector(0.0, dy);
        break;
    default: g.tipDirection = CalcAngleOfVector(dx, dy); break;
    }
    if (FrameRefTextHasKnee(g.leaderMode))
        g.tipDirection = AngleOf(Sub(k, t));
    CutAtFrame(g, k, e, &e, nullptr);
    CutAtFrame(g, t, k, &e, &k);
    g.leader[0] = t, g.leader[1] = k, g.leader[2] = e;
}

void FrameBuildRefTextPath(ElementPoint *tip, ElementPoint *knee, Element *text, Element *standard,
                           Element *reference, Element *work, const XProperty *parent)
{
    (void)reference; // its fields were copied into the working record by the frame step
    auto &st = *static_cast<TextStandardData *>(ElementPayload(standard));
    auto &g = *static_cast<RefTextGeometry *>(ElementPayload(work));

    double scaleY, ratio, rotation, distortion, moveX, moveY;
    MatrixSeparate(&st.matrix, &scaleY, &ratio, &rotation, &distortion, &moveX, &moveY);
    Matrix m;
    MatrixInit(&m);
    MatrixScale(&m, ratio * scaleY, scaleY);
    MatrixShearX(&m, std::tan(-distortion));
    SymbolSetTextLayout(st.charSpacing, st.tabUnit, st.lineSpacing, st.alignment);
    const char *s = SymbolGetTextString(static_cast<const char *>(ElementPayload(text)));
    Matrix identity;
    MatrixInit(&identity);
    FrameMeasureText(&st.font, s, &m, &st.property, parent, &identity);
    SymbolReleaseTextString();
    Matrix placed;
    MatrixInit(&placed);
    MatrixRotate(&placed, rotation);
    MatrixMove(&placed, moveX, moveY);
    const double box[4] = {g_FrameBox[0], g_FrameBox[1], g_FrameBox[2], g_FrameBox[3]};
    FrameRefTextFrame(box, &placed, &g);
    CalcPoint centre;
    MatrixApply(placed, (box[0] + box[2]) / 2, (box[1] + box[3]) / 2, &centre.x, &centre.y);
    FrameRefTextLeader(&g, Pt(tip->x, tip->y), Pt(knee->x, knee->y), centre, &st.matrix);
}

void FrameRegenerateRefText(Unit *object, const XProperty *parent)
{
    Element *at[6];
    int n = 0;
    const uint8_t *end = reinterpret_cast<uint8_t *>(object) + object->bytes;
    for (Element *e = UnitFirstElement(object); n < 6 && reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end &&
         e->size >= ELEMENT_HEADER_SIZE && e->kind != ELEM_END;
         e = ElementNext(e))
        at[n++] = e;
    if (n < 6 || !ElementIsPoint(at[0]) || !ElementIsPoint(at[1]) || at[2]->kind != ELEM_TEXT ||
        at[3]->kind != ELEM_TEXT_STANDARD || at[4]->kind != ELEM_TEXT_REFERENCE || at[5]->kind != ELEM_SUB_REFTEXT ||
        at[5]->size < ELEM_SIZE_SUB_REFTEXT)
        return;
    const auto &ref = *static_cast<const TextReferenceData *>(ElementPayload(at[4]));
    auto &g = *static_cast<RefTextGeometry *>(ElementPayload(at[5]));
    g.endMark = ref.arrows[0];
    g.leaderMode = ref.arrows[1];
    g.frameShape = ref.frameKind;
    g.frameDistance = ref.frameValue > 0.0 ? ref.frameValue : 0.0;
    FrameBuildRefTextPath(reinterpret_cast<ElementPoint *>(at[0]), reinterpret_cast<ElementPoint *>(at[1]), at[2],
                          at[3], at[4], at[5], parent);
}

int FrameDimensionLines(const Unit *object, DimLines *out)
{
    DimRoles roles;
    if (!FrameDimensionRoles(const_cast<Unit *>(object), &roles))
        return 0;
    const void *sub = ElementPayload(roles.sub);
    *out = DimLines{};
    if (roles.sub->kind == ELEM_SUB_DIM_LINEAR) {
        const auto &g = *static_cast<const DimLinearGeometry *>(sub);
        *out = {{g.q1, g.q2}, {g.base1, g.base2}, {g.extension1, g.extension2}, 0, {}, 0.0};
        return g.dimensionLine ? 1 : 0;
    }
    if (roles.sub->kind == ELEM_SUB_DIM_ANGULAR) {
        const auto &g = *static_cast<const DimAngularGeometry *>(sub);
        *out = {{g.arcStart, g.arcEnd}, {g.base1, g.base2}, {g.extension1, g.extension2}, 1, g.centre, g.sweep};
        return g.dimensionArc ? 1 : 0;
    }
    return 0;
}

const RefTextGeometry *FrameRefTextGeometry(const Unit *object)
{
    if (object->kind != UNIT_KIND_OBJECT || object->object.type != OBJTYPE_REF_TEXT)
        return nullptr;
    const uint8_t *end = reinterpret_cast<const uint8_t *>(object) + object->bytes;
    const Element *e = UnitFirstElement(object);
    for (int i = 0; i < 5 && reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end &&
                    e->size >= ELEMENT_HEADER_SIZE && e->kind != ELEM_END;
         ++i)
        e = ElementNext(e);
    if (reinterpret_cast<const uint8_t *>(e) + ELEM_SIZE_SUB_REFTEXT > end || e->kind != ELEM_SUB_REFTEXT ||
        e->size < ELEM_SIZE_SUB_REFTEXT)
        return nullptr;
    return static_cast<const RefTextGeometry *>(ElementPayload(e));
}

int FrameDimensionRoles(Unit *object, DimRoles *roles)
{
    *roles = DimRoles{};
    DimChain c;
    if (object->kind != UNIT_KIND_OBJECT || !ReadDimChain(object, &c))
        return 0;
    const DimLayout &l = *c.layout;
    const int32_t type = l.type;
    auto point = [&c](int i) {
        return i >= 0 && ElementIsPoint(c.at[i]) ? reinterpret_cast<ElementPoint *>(c.at[i]) : nullptr;
    };
    // Text position and direction: the last two points of every layout but
    // DimCoord and the labels, which keep them after the measured point.
    int text = l.points - 2;
    if (type == OBJTYPE_DIM_COORD)
        text = 1;
    else if (type == OBJTYPE_DIM_AREA || type == OBJTYPE_DIM_PERI)
        text = 0;
    roles->type = type;
    roles->direction = type <= OBJTYPE_DIM_DIA ? point(2) : nullptr;
    roles->line = type <= OBJTYPE_DIM_ARC ? point(text - 1) : nullptr;
    if (type == OBJTYPE_DIM_DIST)
        roles->line = point(3); // its position 4 is the end of the dimension line
    roles->text = point(text);
    roles->textDirection = point(text + 1);
    roles->firstText = c.at[l.firstText];
    roles->texts = l.texts;
    roles->record = c.at[l.record];
    roles->sub = c.at[l.sub];
    const void *sub = ElementPayload(c.at[l.sub]);
    if (l.subKind == ELEM_SUB_DIM_LINEAR) {
        const auto *g = static_cast<const DimLinearGeometry *>(sub);
        roles->computedText = g->text, roles->textAngle = g->textAngle;
    } else if (l.subKind == ELEM_SUB_DIM_ANGULAR) {
        const auto *g = static_cast<const DimAngularGeometry *>(sub);
        roles->computedText = g->text, roles->textAngle = g->textAngle;
    } else {
        const auto *g = static_cast<const DimLabelGeometry *>(sub);
        roles->computedText = g->text, roles->textAngle = g->textAngle;
    }
    return 1;
}

int FrameDimensionLabel(Unit *object, char *out, int size, Matrix *placed, const DimCommon **common)
{
    DimRoles roles;
    if (size <= 0 || !FrameDimensionRoles(object, &roles))
        return 0;
    const int parts = roles.type == OBJTYPE_DIM_COORD ? kCoordLabelTexts : kLabelTexts;
    int n = 0;
    out[0] = '\0';
    Element *e = roles.firstText;
    for (int i = 0; i < parts; ++i, e = ElementNext(e)) {
        const char *t = static_cast<const char *>(ElementPayload(e));
        const uint32_t capacity = e->size - ELEMENT_HEADER_SIZE;
        for (uint32_t k = 0; k < capacity && t[k] && n + 1 < size; ++k)
            out[n++] = t[k];
    }
    out[n] = '\0';
    const auto *c = static_cast<const DimCommon *>(ElementPayload(roles.record));
    *common = c;
    MatrixInit(placed);
    MatrixScale(placed, c->values[0], c->values[0]);
    MatrixRotate(placed, roles.textAngle);
    MatrixMove(placed, roles.computedText.x, roles.computedText.y);
    return n > 0 ? 1 : 0;
}

namespace {

constexpr double kToleranceAfterLabel = 0.25; // text heights between the label and its tolerances
constexpr double kUpperToleranceLift = 0.6;   // baseline of the upper one above the label's
constexpr double kLowerToleranceTop = 0.4;    // top of the lower one above the label's baseline

void CopyText(const Element *e, char *out, int size)
{
    const char *t = static_cast<const char *>(ElementPayload(e));
    const uint32_t capacity = e->size - ELEMENT_HEADER_SIZE;
    int n = 0;
    for (uint32_t k = 0; k < capacity && t[k] && n + 1 < size; ++k)
        out[n++] = t[k];
    out[n] = '\0';
}

} // namespace

int FrameDimensionTolerances(Unit *object, DimTolerances *out)
{
    DimRoles roles;
    if (!FrameDimensionRoles(object, &roles))
        return 0;
    const int parts = roles.type == OBJTYPE_DIM_COORD ? kCoordLabelTexts : kLabelTexts;
    const Element *e = roles.firstText;
    for (int i = 0; i < parts; ++i)
        e = ElementNext(e);
    char tolerance[DIM_TOLERANCE_SIZE];
    CopyText(e, tolerance, sizeof tolerance);
    CopyText(ElementNext(e), out->lower, sizeof out->lower);
    const char *extra = roles.sub->kind == ELEM_SUB_DIM_LINEAR
                            ? static_cast<const DimLinearGeometry *>(ElementPayload(roles.sub))->extraText
                            : "";
    // The extra text, a blank and the tolerance, cut to fit.
    int n = 0;
    auto put = [&](char ch) {
        if (n + 1 < int(sizeof out->upper))
            out->upper[n++] = ch;
    };
    const size_t extraLength = strnlen(extra, DIM_EXTRA_TEXT_SIZE);
    for (size_t k = 0; k < extraLength; ++k)
        put(extra[k]);
    if (extraLength > 0)
        put(' ');
    for (const char *t = tolerance; *t; ++t)
        put(*t);
    out->upper[n] = '\0';
    if (!out->upper[0] && !out->lower[0])
        return 0;
    const auto *c = static_cast<const DimCommon *>(ElementPayload(roles.record));
    const double h = c->values[0], t = c->values[1], a = roles.textAngle;
    const double along = h * (SymbolGetTextLineShift() + SymbolGetTextPenX() + kToleranceAfterLabel);
    const CalcPoint u{std::cos(a), std::sin(a)}, v{-std::sin(a), std::cos(a)}, p = roles.computedText;
    auto place = [&](Matrix *m, double up) {
        MatrixInit(m);
        MatrixScale(m, t, t);
        MatrixRotate(m, a);
        MatrixMove(m, p.x + along * u.x + up * v.x, p.y + along * u.y + up * v.y);
    };
    place(&out->upperAt, h * kUpperToleranceLift);
    place(&out->lowerAt, h * kLowerToleranceTop - t);
    return 1;
}

namespace {

// The box of a text laid out along a matrix, with the rotation about the text
// point taken out of the matrix first: the box of the text as if upright.
void UprightTextBox(const DimCommon &common, const char *text, int alignment, const Matrix &placed, double angle,
                    CalcPoint at, double box[4])
{
    Matrix m = placed, undo;
    MatrixInit(&undo);
    MatrixMove(&undo, -at.x, -at.y);
    MatrixRotate(&undo, -angle);
    MatrixMove(&undo, at.x, at.y);
    MatrixMultiply(&m, &undo);
    Matrix identity;
    MatrixInit(&identity);
    const XProperty parent = OutputDefaultXProperty();
    SymbolSetTextLayout(common.values420[0], common.values420[1], 1.0, alignment);
    FrameMeasureText(&common.font, SymbolGetTextString(text), &m, &common.property, &parent, &identity);
    SymbolReleaseTextString();
    if (g_FrameBox[0] <= g_FrameBox[2])
        FrameUnion(box, g_FrameBox);
}

} // namespace

void FrameDimTextGap(Unit *dimension, const GeoObject *line, double *gapStart, double *gapEnd)
{
    *gapStart = DIM_NO_GAP_START, *gapEnd = DIM_NO_GAP_END;
    DimRoles roles;
    char label[DIM_LABEL_SIZE];
    Matrix placed;
    const DimCommon *common = nullptr;
    if (!FrameDimensionRoles(dimension, &roles) || !FrameDimensionLabel(dimension, label, sizeof label, &placed, &common))
        return;
    const CalcPoint t = roles.computedText;
    const double a = roles.textAngle;
    double box[4] = {1e300, 1e300, -1e300, -1e300};
    UprightTextBox(*common, label, TEXT_ALIGN_CENTRE, placed, a, t, box);
    // The tolerances are placed from where the label's walk left the engine.
    DimTolerances tolerances;
    if (FrameDimensionTolerances(dimension, &tolerances)) {
        if (tolerances.upper[0])
            UprightTextBox(*common, tolerances.upper, TEXT_ALIGN_LEFT, tolerances.upperAt, a, t, box);
        if (tolerances.lower[0])
            UprightTextBox(*common, tolerances.lower, TEXT_ALIGN_LEFT, tolerances.lowerAt, a, t, box);
    }
    if (!(box[0] <= box[2]))
        return;
    const double widen = kGapMargin * common->values[0];
    const double xs[4] = {box[0] - widen, box[2] + widen, box[2] + widen, box[0] - widen};
    const double ys[4] = {box[1], box[1], box[3], box[3]};
    CalcPoint corner[4];
    const double ca = std::cos(a), sa = std::sin(a);
    for (int i = 0; i < 4; ++i) {
        const double dx = xs[i] - t.x, dy = ys[i] - t.y;
        corner[i] = Pt(t.x + dx * ca - dy * sa, t.y + dx * sa + dy * ca);
    }
    double low = DIM_NO_GAP_START, high = DIM_NO_GAP_END;
    int crossings = 0;
    auto count = [&](double at) {
        low = std::min(low, at), high = std::max(high, at);
        ++crossings;
    };
    const double *d = line->d;
    for (int i = 0; i < 4; ++i) {
        const CalcPoint p = corner[i], q = corner[(i + 1) % 4];
        if (line->type == GEO_LINE) {
            if (CalcIntersectLineLine(p.x, p.y, q.x, q.y, d[0], d[1], d[2], d[3]) != 1)
                continue;
            const CalcPoint on = g_CalcPoints[1];
            if (on.x >= 0.0 && on.x <= 1.0)
                count(on.y);
        } else if (line->type == GEO_CIRC_ARC) {
            const int n = CalcIntersectLineCircle(p.x, p.y, q.x, q.y, d[0], d[1], d[2], d[3]);
            const CalcPoint hits[2] = {g_CalcPoints[0], g_CalcPoints[1]};
            const double onEdge[2] = {g_CalcPoints[2].x, g_CalcPoints[2].y};
            for (int k = 0; k < n && k < 2; ++k) {
                if (!(onEdge[k] >= 0.0 && onEdge[k] <= 1.0))
                    continue;
                const double f = CalcArcFraction(d[0], d[1], d[6], d[7], d[8], d[9], hits[k].x, hits[k].y,
                                                 line->direction);
                if (f != CALC_NO_VALUE)
                    count(f);
            }
        }
    }
    if (crossings >= 2)
        *gapStart = low, *gapEnd = high;
}
