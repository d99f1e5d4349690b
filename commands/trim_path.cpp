// Cutting out and splitting paths (Hatch, Curve, Surface): the picked
// contour is read into segments, the pieces between cut positions are
// written as fresh chains and stored behind the object, and the object's
// other contours survive together as one separate object.
#include "commands/trim_path.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/transform.h"
#include "database/init.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"

namespace {

using SegKind = TrimSegKind;
using Segment = TrimSegment;
using Contour = TrimContour;

// A position along a contour: segment index plus the parameter on it.
struct Cut {
    int segment;
    double t;
    CalcPoint point;
    double position() const { return segment + t; }
};

double Dist(const CalcPoint &a, const CalcPoint &b) { return std::hypot(a.x - b.x, a.y - b.y); }

bool Same(const CalcPoint &a, const CalcPoint &b)
{
    return std::fabs(a.x - b.x) <= CALC_ZERO && std::fabs(a.y - b.y) <= CALC_ZERO;
}

std::vector<Contour> ReadContours(const Unit *u)
{
    std::vector<Contour> out;
    CalcPoint current{0, 0}, c1{0, 0}, c2{0, 0};
    int controls = 0;
    for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e)) {
        if (!ElementIsPoint(e))
            continue;
        const auto *p = reinterpret_cast<const ElementPoint *>(e);
        const CalcPoint at{p->x, p->y};
        switch (e->kind) {
        case POINT_START:
            out.push_back({at, {}});
            controls = 0;
            break;
        case POINT_CONTROL1: c1 = at, controls |= 1; continue;
        case POINT_CONTROL2: c2 = at, controls |= 2; continue;
        case POINT_LINE:
            if (out.empty())
                continue;
            out.back().segments.push_back(
                {controls == 3 ? SegKind::BEZIER : SegKind::LINE, current, at, c1, c2, {0, 0}, 0});
            controls = 0;
            break;
        case POINT_ARC_PIECE_END: {
            const Element *next = ElementNext(e);
            if (out.empty() || next->kind != ELEM_CURVE) {
                continue;
            }
            const double *v = static_cast<const double *>(ElementPayload(next));
            const double dx = at.x - current.x, dy = at.y - current.y;
            const CalcPoint centre{(current.x + at.x) / 2 - v[1] * dy, (current.y + at.y) / 2 + v[1] * dx};
            out.back().segments.push_back({SegKind::ARC, current, at, c1, c2, centre, v[0] >= 0 ? 1 : 0});
            controls = 0;
            break;
        }
        default: continue;
        }
        current = at;
    }
    return out;
}

// Surfaces close every contour: the closing line becomes a segment of its own.
void CloseContours(std::vector<Contour> *contours)
{
    for (Contour &c : *contours)
        if (!c.segments.empty() && !Same(c.segments.back().p1, c.start))
            c.segments.push_back({SegKind::LINE, c.segments.back().p1, c.start, {}, {}, {}, 0});
}

BezierPiece AsBezier(const Segment &s) { return {{s.p0, s.c1, s.c2, s.p1}, 0.0, 1.0}; }

double Sweep(const Segment &s)
{
    return CalcArcSweep(s.centre.x, s.centre.y, s.p0.x, s.p0.y, s.p1.x, s.p1.y, s.ccw);
}

CalcPoint PointAt(const Segment &s, double t)
{
    if (t <= 0)
        return s.p0;
    if (t >= 1)
        return s.p1;
    if (s.kind == SegKind::LINE)
        return {s.p0.x + t * (s.p1.x - s.p0.x), s.p0.y + t * (s.p1.y - s.p0.y)};
    if (s.kind == SegKind::ARC) {
        const double r = Dist(s.centre, s.p0);
        const double a = std::atan2(s.p0.y - s.centre.y, s.p0.x - s.centre.x) + t * Sweep(s);
        return {s.centre.x + r * std::cos(a), s.centre.y + r * std::sin(a)};
    }
    BezierPiece left;
    const BezierPiece whole = AsBezier(s);
    CalcBezierSplitAt(&whole, t, &left, nullptr);
    return left.p[3];
}

double ParameterOf(const Segment &s, const CalcPoint &p)
{
    double t = 0;
    if (s.kind == SegKind::LINE) {
        t = CalcPerpendicularFootLine(s.p0.x, s.p0.y, s.p1.x, s.p1.y, p.x, p.y) ? g_CalcPoints[1].x : 0.0;
    } else if (s.kind == SegKind::ARC) {
        t = CalcArcFraction(s.centre.x, s.centre.y, s.p0.x, s.p0.y, s.p1.x, s.p1.y, p.x, p.y, s.ccw);
        if (t == CALC_NO_VALUE)
            t = 0;
    } else {
        CalcPerpendicularFootBezier(s.p0.x, s.p0.y, s.c1.x, s.c1.y, s.c2.x, s.c2.y, s.p1.x, s.p1.y, p.x, p.y);
        t = g_CalcPoints[1].x;
    }
    return std::fmin(1.0, std::fmax(0.0, t));
}

// The nearest place of the contour to p; its distance in *distance.
Cut NearestCut(const Contour &c, const CalcPoint &p, double *distance = nullptr)
{
    Cut best{0, 0, c.start};
    double bestDistance = 1e300;
    for (size_t i = 0; i < c.segments.size(); ++i) {
        const double t = ParameterOf(c.segments[i], p);
        const CalcPoint at = PointAt(c.segments[i], t);
        if (Dist(at, p) < bestDistance)
            bestDistance = Dist(at, p), best = {static_cast<int>(i), t, at};
    }
    if (distance)
        *distance = bestDistance;
    return best;
}

// The part of a segment between two of its parameters.
Segment SubSegment(const Segment &s, double t0, double t1)
{
    Segment out = s;
    out.p0 = PointAt(s, t0);
    out.p1 = PointAt(s, t1);
    if (s.kind == SegKind::BEZIER) {
        const BezierPiece whole = AsBezier(s);
        BezierPiece middle;
        CalcBezierSubrange(&whole, t0, t1, nullptr, &middle, nullptr);
        out.c1 = middle.p[1];
        out.c2 = middle.p[2];
    }
    return out;
}

struct Piece {
    CalcPoint start;
    std::vector<Segment> segments;
};

void Add(Piece *piece, const Segment &s, double t0, double t1)
{
    if (t1 - t0 > 0 && !Same(PointAt(s, t0), PointAt(s, t1)))
        piece->segments.push_back(SubSegment(s, t0, t1));
}

// The contour from cut a forward to cut b; wrapping through the contour's
// start when b lies before a.
Piece Walk(const Contour &c, const Cut &a, const Cut &b)
{
    Piece piece{a.point, {}};
    const int n = static_cast<int>(c.segments.size());
    if (b.position() >= a.position() && a.segment == b.segment) {
        Add(&piece, c.segments[a.segment], a.t, b.t);
        return piece;
    }
    Add(&piece, c.segments[a.segment], a.t, 1.0);
    for (int i = (a.segment + 1) % n; i != b.segment; i = (i + 1) % n)
        Add(&piece, c.segments[i], 0.0, 1.0);
    Add(&piece, c.segments[b.segment], 0.0, b.t);
    return piece;
}

Cut ContourStart(const Contour &c) { return {0, 0.0, c.start}; }
Cut ContourEnd(const Contour &c)
{
    return {static_cast<int>(c.segments.size()) - 1, 1.0, c.segments.empty() ? c.start : c.segments.back().p1};
}

void WriteSegments(ChainWriter *w, const CalcPoint &start, const std::vector<Segment> &segments)
{
    InitChainPoint(w, POINT_START, start.x, start.y);
    for (const Segment &s : segments) {
        if (s.kind == SegKind::LINE) {
            InitChainPoint(w, POINT_LINE, s.p1.x, s.p1.y);
        } else if (s.kind == SegKind::BEZIER) {
            InitChainPoint(w, POINT_CONTROL1, s.c1.x, s.c1.y);
            InitChainPoint(w, POINT_CONTROL2, s.c2.x, s.c2.y);
            InitChainPoint(w, POINT_LINE, s.p1.x, s.p1.y);
        } else {
            InitChainPoint(w, POINT_ARC_PIECE_END, s.p1.x, s.p1.y);
            InitChainCurve(w, s.ccw ? 1.0 : -1.0,
                           CalcCurvature(s.centre.x, s.centre.y, s.p0.x, s.p0.y, s.p1.x, s.p1.y));
        }
    }
}

// Writes the pieces (each a contour of its own object) of the given type
// into Universal1 and stores them behind the object; the number stored.
int StorePieces(Unit *object, int32_t type, const std::vector<std::vector<Piece>> &objects, bool *failed)
{
    int stored = 0;
    Unit *scratch = reinterpret_cast<Unit *>(g_Universal1);
    for (const std::vector<Piece> &pieces : objects) {
        std::memcpy(scratch, object, UNIT_ELEMENTS_OBJECT);
        scratch->object.type = type;
        ChainWriter w;
        InitChainBegin(&w, scratch, g_ObjectLimits.scratchSize);
        int written = 0;
        for (const Piece &p : pieces)
            if (!p.segments.empty()) {
                WriteSegments(&w, p.start, p.segments);
                ++written;
            }
        if (!written)
            continue;
        if (!InitChainEnd(&w) || !TransformReplaceUnit(nullptr, object, 1, 0)) {
            *failed = true;
            continue;
        }
        ++stored;
    }
    return stored;
}

bool IsPathType(int32_t t) { return t == OBJTYPE_HATCH || t == OBJTYPE_CURVE || t == OBJTYPE_SURFACE; }

} // namespace

std::vector<TrimContour> TrimReadContours(const Unit *object, bool closeContours)
{
    std::vector<Contour> contours = ReadContours(object);
    if (closeContours)
        CloseContours(&contours);
    return contours;
}

int TrimPathCut(Unit *object, const double pick[2], const double first[2], const double second[2], int split)
{
    if (!object || object->kind != UNIT_KIND_OBJECT || !IsPathType(object->object.type)) {
        AlertSM60(g_MainWnd);
        return 0;
    }
    const int32_t type = object->object.type;
    const bool closed = type == OBJTYPE_SURFACE;
    std::vector<Contour> contours = ReadContours(object);
    if (closed)
        CloseContours(&contours);
    // The picked contour: the one passing nearest to the pick.
    const CalcPoint p{pick[0], pick[1]};
    size_t picked = contours.size();
    double best = 1e300;
    for (size_t i = 0; i < contours.size(); ++i) {
        double d;
        if (contours[i].segments.empty())
            continue;
        NearestCut(contours[i], p, &d);
        if (d < best)
            best = d, picked = i;
    }
    if (picked == contours.size()) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    const Contour &c = contours[picked];
    Cut a = NearestCut(c, {first[0], first[1]});
    Cut b = NearestCut(c, {second[0], second[1]});
    if (a.position() > b.position())
        std::swap(a, b);
    // The pieces, each a list of contours of one new object.
    std::vector<std::vector<Piece>> objects;
    int32_t pieceType = closed ? OBJTYPE_CURVE : type;
    if (split && !closed) {
        objects = {{Walk(c, ContourStart(c), a)}, {Walk(c, a, ContourEnd(c))}};
    } else if (split) {
        objects = {{Walk(c, b, a)}, {Walk(c, a, b)}};
    } else {
        const double pp = NearestCut(c, p).position();
        if (pp < a.position() || pp > b.position())
            objects = {{Walk(c, a, b)}};
        else if (closed)
            objects = {{Walk(c, b, a)}};
        else
            objects = {{Walk(c, ContourStart(c), a)}, {Walk(c, b, ContourEnd(c))}};
    }
    // The other contours stay together as one object of the old type.
    std::vector<Piece> others;
    for (size_t i = 0; i < contours.size(); ++i)
        if (i != picked) {
            std::vector<Segment> segments = contours[i].segments;
            if (closed && !segments.empty() && segments.back().kind == SegKind::LINE &&
                Same(segments.back().p1, contours[i].start))
                segments.pop_back(); // the surface closes it again by itself
            others.push_back({contours[i].start, segments});
        }

    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    std::memcpy(g_ExtentsRect, object->frame, sizeof g_ExtentsRect);
    bool failed = false;
    // Each store goes directly behind the object: the last stored comes first.
    int stored = StorePieces(object, type, {others}, &failed);
    stored += StorePieces(object, pieceType, {objects.rbegin(), objects.rend()}, &failed);
    if (stored == 0 && !failed) {
        // Nothing of the object would remain: refused, the object stays.
        AlertSM8(g_MainWnd);
        return 0;
    }
    if (!g_DrawingSettings.displayDuplicate)
        UndoStampDeleted(object);
    return failed ? 0 : 1;
}
