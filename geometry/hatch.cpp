// Hatch lines. The boundary is turned so that the lines of a family run
// along x; its pieces become y-monotone edges (lines, quarter-circle pieces
// of arcs, Beziers as short chords), sorted by their lower y. The lines are
// then swept upwards with a set of active edges: each line's crossings come
// from the edges that span it. Each collected object counts by itself,
// even-odd over its own outlines (so the holes of one object stay empty),
// and a span is hatched where it lies inside at least one object: an
// island drawn as an object of its own inside another is hatched. The cost is the
// sort plus the crossings themselves, instead of every line against every
// boundary piece.
#include "geometry/hatch.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "database/object_rects.h"
#include "dialogs/alert.h"
#include "language/language.h"

namespace {

constexpr double PI = 3.141592653589793;
constexpr double TWO_PI = 6.283185307179586;
constexpr double HATCH_EPS = 1e-10;
constexpr double HATCH_MIN_PERIOD = 1e-10;
constexpr int BEZIER_CHORDS = 32;         // chords of one Bezier piece of the boundary
constexpr double BUFFER_TOLERANCE = 0.001; // preparation tolerance of the boundary

// A y-monotone boundary edge in the turned frame.
struct Edge {
    double ylo, yhi;
    double xlo, xhi;     // lines: x at ylo and at yhi
    double cx, cy, r;    // circle pieces
    int sign;            // circle pieces: +1 right half, -1 left half; 0 a line
    int32_t contour;     // the collected object the edge belongs to

    // The x where the line at height y crosses the edge, when it does
    // (lower end open, upper end closed: a vertex counts once).
    bool Cross(double y, double *x) const
    {
        if (!(ylo < y && y <= yhi))
            return false;
        if (sign == 0)
            *x = xlo + (y - ylo) * (xhi - xlo) / (yhi - ylo);
        else
            *x = cx + sign * std::sqrt(std::max(0.0, r * r - (y - cy) * (y - cy)));
        return true;
    }
};

// World <-> the frame turned by angle about the origin.
struct Frame {
    double ox, oy, c, s;
    void ToLocal(double x, double y, double *lx, double *ly) const
    {
        const double dx = x - ox, dy = y - oy;
        *lx = c * dx + s * dy;
        *ly = -s * dx + c * dy;
    }
    void ToWorld(double lx, double ly, double *x, double *y) const
    {
        *x = ox + c * lx - s * ly;
        *y = oy + s * lx + c * ly;
    }
};

void AddLineEdge(std::vector<Edge> &edges, int32_t contour, double x1, double y1, double x2, double y2)
{
    if (y1 == y2)
        return; // a line along the hatch lines never crosses one
    Edge e{};
    e.contour = contour;
    if (y1 < y2)
        e.ylo = y1, e.xlo = x1, e.yhi = y2, e.xhi = x2;
    else
        e.ylo = y2, e.xlo = x2, e.yhi = y1, e.xhi = x1;
    edges.push_back(e);
}

// A counter-clockwise arc from angle a over sweep, from (ya) to (yb) in y,
// cut where it turns in y. The arc's own ends keep the y of the boundary's
// points, so that the edges meeting there share it to the last bit.
void AddArcEdges(std::vector<Edge> &edges, int32_t contour, double cx, double cy, double r, double a, double sweep,
                 double ya, double yb)
{
    const double end = a + sweep;
    double cur = a, yCur = ya;
    while (cur < end - HATCH_EPS) {
        const double boundary = PI / 2 + PI * std::floor((cur - PI / 2) / PI + 1);
        const bool last = boundary >= end - HATCH_EPS;
        const double to = last ? end : boundary;
        // At a turning point the arc reaches exactly its top or bottom.
        const double yTo = last ? yb : cy + (std::sin(boundary) > 0 ? r : -r);
        Edge e{};
        e.cx = cx, e.cy = cy, e.r = r;
        e.contour = contour;
        e.sign = std::cos((cur + to) / 2) > 0 ? 1 : -1;
        e.ylo = std::min(yCur, yTo), e.yhi = std::max(yCur, yTo);
        if (e.yhi > e.ylo)
            edges.push_back(e);
        cur = to, yCur = yTo;
    }
}

double Wrap(double a)
{
    a = std::fmod(a, TWO_PI);
    return a < 0 ? a + TWO_PI : a;
}

// The boundary pieces as edges in the turned frame.
std::vector<Edge> EdgesOf(const BufferData *b, const Frame &f, double angle)
{
    std::vector<Edge> edges;
    edges.reserve(size_t(b->used) * 2);
    for (int32_t i = 0; i < b->used; ++i) {
        const BufferSegment &s = b->items[i];
        if (s.x1 == s.x2 && s.y1 == s.y2)
            continue; // a piece whose ends coincide is ignored
        double x1, y1, x2, y2;
        f.ToLocal(s.x1, s.y1, &x1, &y1);
        f.ToLocal(s.x2, s.y2, &x2, &y2);
        switch (s.type) {
        case POLY_ITEM_LINE: AddLineEdge(edges, s.contour, x1, y1, x2, y2); break;
        case POLY_ITEM_ARC: {
            double cx, cy;
            f.ToLocal(s.cx, s.cy, &cx, &cy);
            const double r = std::hypot(s.x1 - s.cx, s.y1 - s.cy);
            const double a1 = Wrap(s.startAngle - angle), a2 = Wrap(s.endAngle - angle);
            const double from = s.direction ? a1 : a2;
            const double sweep = Wrap(s.direction ? a2 - a1 : a1 - a2);
            if (r > 0 && sweep > 0)
                AddArcEdges(edges, s.contour, cx, cy, r, from, sweep, s.direction ? y1 : y2, s.direction ? y2 : y1);
            break;
        }
        case POLY_ITEM_BEZIER: {
            double c1x, c1y, c2x, c2y;
            f.ToLocal(s.c1x, s.c1y, &c1x, &c1y);
            f.ToLocal(s.c2x, s.c2y, &c2x, &c2y);
            double px = x1, py = y1;
            for (int k = 1; k <= BEZIER_CHORDS; ++k) {
                const double t = double(k) / BEZIER_CHORDS, u = 1 - t;
                const double qx = u * u * u * x1 + 3 * u * u * t * c1x + 3 * u * t * t * c2x + t * t * t * x2;
                const double qy = u * u * u * y1 + 3 * u * u * t * c1y + 3 * u * t * t * c2y + t * t * t * y2;
                AddLineEdge(edges, s.contour, px, py, qx, qy);
                px = qx, py = qy;
            }
            break;
        }
        default: break;
        }
    }
    return edges;
}

// Renumbers the edges' contours 0, 1, ... (a plug-in's buffer may carry
// any numbers) and returns how many there are.
size_t NumberContours(std::vector<Edge> &edges)
{
    std::vector<int32_t> numbers;
    numbers.reserve(edges.size());
    for (const Edge &e : edges)
        numbers.push_back(e.contour);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    for (Edge &e : edges)
        e.contour = int32_t(std::lower_bound(numbers.begin(), numbers.end(), e.contour) - numbers.begin());
    return numbers.size();
}

// A crossing of a hatch line with an edge of one object.
struct Crossing {
    double x;
    int32_t contour;
};

// The spans of one hatch line inside at least one object, each object
// even-odd by itself; spans meeting end to end come as one. parity holds a
// zeroed flag per contour and is left zeroed.
void InsideSpans(std::vector<Crossing> &crossings, std::vector<char> &parity, std::vector<double> &spans)
{
    spans.clear();
    std::sort(crossings.begin(), crossings.end(), [](const Crossing &a, const Crossing &b) { return a.x < b.x; });
    int odd = 0;
    for (const Crossing &c : crossings) {
        char &p = parity[size_t(c.contour)];
        p = char(!p);
        const int was = odd;
        odd += p ? 1 : -1;
        if (was == 0 && odd > 0) {
            if (!spans.empty() && std::fabs(c.x - spans.back()) <= HATCH_EPS)
                spans.pop_back(); // continues the span just ended
            else
                spans.push_back(c.x);
        } else if (was > 0 && odd == 0) {
            spans.push_back(c.x);
        }
    }
    for (const Crossing &c : crossings)
        parity[size_t(c.contour)] = 0;
    if (spans.size() % 2)
        spans.pop_back(); // an outline left open never ends its span
}

bool SameAngle(double a, double b) { return std::fabs(std::remainder(a - b, TWO_PI)) < HATCH_EPS; }

// Whether the ray's crossing at angle a of an arc piece counts. Where the
// ray meets an end of the arc, a neighbouring piece ends there too: as with
// the lines (lower end open, upper end closed), only the piece that runs on
// below the ray counts, so that a joint is counted once.
bool ArcCrossingCounts(const BufferSegment &s, double a, double py, double tolerance)
{
    if (s.type == POLY_ITEM_CIRCLE)
        return true;
    if (!PolyAngleInArc(s.startAngle, s.endAngle, a, tolerance, s.direction))
        return false;
    const bool atStart = SameAngle(a, s.startAngle), atEnd = SameAngle(a, s.endAngle);
    if (atStart == atEnd)
        return true;
    const double inward = (s.direction ? 1 : -1) * (atStart ? 1 : -1) * 1e-6;
    return s.cy + s.length * std::sin(a + inward) < py;
}

int g_HatchRunning = 0; // one generation at a time

int AddToObject(const GeoObject *piece, int32_t) { return PolyAddItem(piece); }

} // namespace

void HatchRotateFrame(double frame[4], double angle)
{
    const double cx = (frame[0] + frame[2]) / 2, cy = (frame[1] + frame[3]) / 2;
    const double w = (frame[2] - frame[0]) / 2, h = (frame[3] - frame[1]) / 2;
    const double c = std::fabs(std::cos(angle)), s = std::fabs(std::sin(angle));
    const double hw = w * c + h * s, hh = w * s + h * c;
    frame[0] = cx - hw, frame[2] = cx + hw;
    frame[1] = cy - hh, frame[3] = cy + hh;
}

int HatchPointInside(double px, double py, const BufferSegment *pieces, int32_t count, double tolerance)
{
    if (!pieces)
        return 0;
    // Crossings of the ray through p, left and right of it, counted for each
    // run of pieces of one object: p is inside when it lies inside one of them.
    int left = 0, right = 0;
    auto count1 = [&](bool onLeft) { ++(onLeft ? left : right); };
    for (int32_t i = 0; i < count; ++i) {
        const BufferSegment &s = pieces[i];
        if (i > 0 && s.contour != pieces[i - 1].contour) {
            if ((left % 2 || right % 2) && left > 0 && right > 0)
                return 1;
            left = right = 0;
        }
        if (s.type == POLY_ITEM_ARC || s.type == POLY_ITEM_CIRCLE) {
            const double r = s.length;
            if (!(s.cy - r < py && py < s.cy + r))
                continue;
            const double w = std::sqrt(r * r - (py - s.cy) * (py - s.cy));
            double a = std::asin((py - s.cy) / r);
            if (a < 0)
                a += TWO_PI;
            if (ArcCrossingCounts(s, a, py, tolerance))
                count1(!(px < s.cx + w));
            const double b = Wrap(PI - std::asin((py - s.cy) / r));
            if (ArcCrossingCounts(s, b, py, tolerance))
                count1(s.cx - w < px);
            continue;
        }
        // Lines, and any other piece as the chord between its end points.
        const bool firstLow = s.y1 <= s.y2;
        const double xl = firstLow ? s.x1 : s.x2, yl = firstLow ? s.y1 : s.y2;
        const double xu = firstLow ? s.x2 : s.x1, yu = firstLow ? s.y2 : s.y1;
        if (!(yl < py && py <= yu))
            continue;
        if (xl < px && xu < px)
            count1(true);
        else if (px <= xl && px <= xu)
            count1(false);
        else
            count1(xl + (py - yl) * (xu - xl) / (yu - yl) < px);
    }
    return (left % 2 || right % 2) && left > 0 && right > 0 ? 1 : 0;
}

int HatchEnumerateLines(const BufferData *boundary, const MultiLineDef *multiLine, double angle, double factor,
                        double offset, const double *origin, HatchOpenFn open, HatchAddFn add, HatchCloseFn close)
{
    if (!boundary || !multiLine || !open || !add || !close || g_HatchRunning)
        return 0;
    double period = 0;
    for (const MultiLineLine &l : multiLine->lines)
        if (l.on)
            period += std::fabs(l.offset);
    if (!(period >= HATCH_MIN_PERIOD)) {
        AlertOk(g_MainWnd, eAlertTextOK[34]);
        return 0;
    }
    const double phase = std::fmod(period * factor + offset, period);
    const double ox = origin ? origin[0] : g_HatchOrigin[0], oy = origin ? origin[1] : g_HatchOrigin[1];
    const Frame f{ox, oy, std::cos(angle), std::sin(angle)};
    g_ChangedRect[0] = boundary->xmin, g_ChangedRect[1] = boundary->ymin;
    g_ChangedRect[2] = boundary->xmax, g_ChangedRect[3] = boundary->ymax;

    std::vector<Edge> edges = EdgesOf(boundary, f, angle);
    std::sort(edges.begin(), edges.end(), [](const Edge &a, const Edge &b) { return a.ylo < b.ylo; });
    double ymin = 1e300, ymax = -1e300;
    for (const Edge &e : edges)
        ymin = std::min(ymin, e.ylo), ymax = std::max(ymax, e.yhi);

    // The first line of each enabled slot and the lines it needs.
    struct Slot {
        int index;
        double base;
        double first, last; // line numbers k: y = base + k * period
    };
    std::vector<Slot> slots;
    double lines = 0, cumulative = phase;
    for (int i = 0; i < MULTILINE_LINES; ++i) {
        if (!multiLine->lines[i].on)
            continue;
        Slot s{i, cumulative, 0, -1};
        if (!edges.empty()) {
            s.first = std::ceil((ymin - s.base) / period);
            s.last = std::floor((ymax - s.base) / period);
            lines += std::max(0.0, s.last - s.first + 1);
        }
        slots.push_back(s);
        cumulative += std::fabs(multiLine->lines[i].offset);
    }
    if (lines > HATCH_MAX_LINES) {
        AlertOk(g_MainWnd, eAlertTextOK[34]);
        return 0;
    }

    g_HatchRunning = 1;
    struct Running {
        ~Running() { g_HatchRunning = 0; }
    } running;
    XProperty current = multiLine->lines[0].property;
    if (!open(&current)) {
        AlertOk(g_MainWnd, eAlertTextOK[87]);
        close();
        return 0;
    }
    int32_t lineCounter = 0;
    std::vector<const Edge *> active;
    std::vector<Crossing> xs;
    std::vector<double> spans;
    std::vector<char> parity(NumberContours(edges), 0);
    for (const Slot &slot : slots) {
        size_t next = 0;
        active.clear();
        const XProperty &attributes = multiLine->lines[slot.index].property;
        for (double k = slot.first; k <= slot.last; ++k, ++lineCounter) {
            const double y = slot.base + k * period;
            while (next < edges.size() && edges[next].ylo < y)
                active.push_back(&edges[next++]);
            xs.clear();
            size_t kept = 0;
            for (const Edge *e : active) {
                if (e->yhi < y)
                    continue; // passed for good
                active[kept++] = e;
                double x;
                if (e->Cross(y, &x))
                    xs.push_back({x, e->contour});
            }
            active.resize(kept);
            if (xs.size() < 2)
                continue;
            InsideSpans(xs, parity, spans);
            if (spans.empty())
                continue;
            // A change of attributes between the lines starts a new object.
            if (std::memcmp(&attributes, &current, sizeof current) != 0) {
                if (!close())
                    return 0;
                current = attributes;
                if (!open(&current)) {
                    AlertSM48(g_MainWnd);
                    return 0;
                }
            }
            for (size_t j = 0; j + 1 < spans.size(); j += 2) {
                const double x0 = spans[j], x1 = spans[j + 1];
                if (x1 - x0 < HATCH_EPS)
                    continue;
                GeoObject piece{};
                piece.type = GEO_LINE;
                f.ToWorld(x0, y, &piece.d[0], &piece.d[1]);
                f.ToWorld(x1, y, &piece.d[2], &piece.d[3]);
                if (!add(&piece, lineCounter)) {
                    close();
                    return 0;
                }
            }
        }
    }
    return close();
}

int HatchCreate(const HatchDef *def, uint32_t selector)
{
    if (!def)
        return 0;
    BufferData boundary{};
    if (!PolyBufferAlloc(&boundary, -2, 1))
        return 0;
    struct Free {
        BufferData *b;
        ~Free() { PolyBufferFree(b); }
    } free{&boundary};
    if (!PolyBufferAddSelected(&boundary, selector, 2) || boundary.used < 1) {
        AlertOk(g_MainWnd, eAlertTextOK[87]);
        return 0;
    }
    PolyBufferPrepare(&boundary, BUFFER_TOLERANCE);
    for (const HatchFamily *family : {&def->family1, &def->family2}) {
        if (!family->on)
            continue;
        if (family->multiLine < 0 || family->multiLine >= MULTILINE_SLOTS) {
            AlertOk(g_MainWnd, eAlertTextOK[34]);
            return 0;
        }
        if (!HatchEnumerateLines(&boundary, &g_MultiLineDefs[family->multiLine], family->angle + def->baseAngle,
                                 def->phaseA, def->phaseB, g_HatchOrigin, PolyStartHatchObject, AddToObject,
                                 PolyFinishObject))
            return 0;
    }
    if (def->blockOn &&
        !HatchEnumerateBlocks(&boundary, def, g_HatchOrigin, PolyStartHatchObject, AddToObject, PolyFinishObject))
        return 0;
    return 1;
}
