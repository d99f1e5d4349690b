// Offset curves. Lines, zigzags, circles and arcs move directly; paths go
// through the piece algorithm: offset every piece, close convex corners with
// arcs, join neighbours at their intersections, drop pieces the trimming
// reversed, split self-crossing figures into loops and keep the loops that
// keep their distance from the source.
#include "commands/trim_offset.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "app/init.h"
#include "commands/snap.h"
#include "commands/transform.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "geometry/distance.h"
#include "geometry/flat.h"
#include "geometry/poly.h"
#include "language/language.h"

namespace {

constexpr double SAME_POINT = 1e-10;     // reading the source, closing figures
constexpr double OFFSET_TINY = 1e-5;      // shortest offset line, smallest radius, touching ends
constexpr double CORNER_TURN = 0.01745329251994; // smallest turn that gets a corner arc
constexpr double KEEP_DISTANCE = 0.95;    // of |d|: a result nearer the source is dropped
constexpr int BEZIER_STEPS = 9;
constexpr int OPEN_END = 1;
constexpr int OPEN_START = 256;
constexpr int ALERT_TOO_COMPLEX = 84;
constexpr int ALERT_NOTHING_LEFT = 85;

struct Pt {
    double x, y;
};

double Dist(Pt a, Pt b) { return std::hypot(a.x - b.x, a.y - b.y); }
bool Differ(Pt a, Pt b, double eps) { return std::fabs(a.x - b.x) > eps || std::fabs(a.y - b.y) > eps; }

// One piece of a figure: a line or a circular arc. While neighbours are
// joined the piece counts as its endless line or full circle (a, b: two
// points of the line; for arcs centre and radius), bounded by s and e.
struct Piece {
    bool arc;
    Pt s, e;       // start and end
    Pt a, b;       // line: two points of its endless line
    Pt c;          // arc: centre
    double r;      // arc: signed radius
    int ccw;       // arc: 1 counter-clockwise
    int source;    // index of the source piece it comes from
    bool corner;   // an arc inserted at a corner
    int open;      // OPEN_END, OPEN_START
};

using Figure = std::vector<Piece>;

Piece LinePiece(Pt s, Pt e, int source)
{
    return {false, s, e, s, e, {0, 0}, 0.0, 0, source, false, 0};
}

Piece ArcPiece(Pt c, Pt s, Pt e, int ccw, int source)
{
    return {true, s, e, {0, 0}, {0, 0}, c, Dist(c, s), ccw, source, false, 0};
}

// The piece as a geometry record: endless (type 45 or 46) or bounded (0 or 6).
GeoObject Record(const Piece &p, bool endless)
{
    GeoObject g{};
    if (!p.arc) {
        g.type = endless ? GEO_GEOLINE : GEO_LINE;
        const Pt u = endless ? p.a : p.s, v = endless ? p.b : p.e;
        g.d[0] = u.x, g.d[1] = u.y, g.d[2] = v.x, g.d[3] = v.y;
        return g;
    }
    g.type = endless ? GEO_GEOCIRCLE : GEO_CIRC_ARC;
    g.d[0] = p.c.x, g.d[1] = p.c.y, g.d[2] = p.c.x + std::fabs(p.r), g.d[3] = p.c.y;
    g.d[6] = p.s.x, g.d[7] = p.s.y, g.d[8] = p.e.x, g.d[9] = p.e.y;
    g.direction = p.ccw;
    return g;
}

// Direction angle of the piece's tangent at q (lines: end - start).
double TangentAngle(const Piece &p, Pt q)
{
    if (!p.arc)
        return CalcAngleOfVector(p.e.x - p.s.x, p.e.y - p.s.y);
    return p.ccw ? CalcAngleOfVector(p.c.y - q.y, q.x - p.c.x) : CalcAngleOfVector(q.y - p.c.y, p.c.x - q.x);
}

Pt Bezier(const Pt q[4], double t)
{
    const double u = 1 - t, b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
    return {b0 * q[0].x + b1 * q[1].x + b2 * q[2].x + b3 * q[3].x, b0 * q[0].y + b1 * q[1].y + b2 * q[2].y + b3 * q[3].y};
}

// A path's figures as pieces, from its segment array (closing lines
// included but for a Curve); Beziers become BEZIER_STEPS lines.
struct Source {
    std::vector<Figure> figures;
    bool closed = false;
    bool overflow = false;
};

void ReadPath(const Unit *path, Source *out)
{
    out->closed = path->object.type != OBJTYPE_CURVE;
    // An object has no more segments than points, closing lines included:
    // this array never fills.
    const int capacity = int(g_ObjectLimits.maxUnitPoints) + 1;
    TempBlock<GeoObject> block(uint32_t(capacity), __FILE__, __LINE__);
    const int count = block ? PolyObjectToSegments(path, block.get(), capacity) : 0;
    int pieces = 0;
    for (int i = 0; i < count && !out->overflow; ++i) {
        const GeoObject &g = block.get()[i];
        if (g.contour < 1)
            continue;
        while (int(out->figures.size()) < g.contour)
            out->figures.emplace_back();
        Figure &f = out->figures[size_t(g.contour) - 1];
        const Pt p0{g.d[0], g.d[1]}, p3{g.d[2], g.d[3]};
        switch (g.type) {
        case GEO_LINE: f.push_back(LinePiece(p0, p3, 0)), ++pieces; break;
        case GEO_CIRC_ARC: f.push_back(ArcPiece(p0, {g.d[6], g.d[7]}, {g.d[8], g.d[9]}, g.direction, 0)), ++pieces; break;
        case GEO_CURVE: {
            const Pt q[4] = {p0, {g.d[6], g.d[7]}, {g.d[8], g.d[9]}, p3};
            Pt current = p0;
            for (int k = 1; k <= BEZIER_STEPS; ++k) {
                const Pt p = k == BEZIER_STEPS ? p3 : Bezier(q, double(k) / BEZIER_STEPS);
                if (Differ(p, current, SAME_POINT))
                    f.push_back(LinePiece(current, p, 0)), current = p, ++pieces;
            }
            break;
        }
        default: break;
        }
        out->overflow = pieces > OFFSET_MAX_PIECES;
    }
}

void TooComplex(bool diagnostic, int line)
{
    if (diagnostic)
        InitErrorBox(__FILE__, line, "Overflow");
    AlertButton1(g_MainWnd, eAlertTextSM[ALERT_TOO_COMPLEX]);
}

void NothingLeft(int line)
{
    InitErrorBox(__FILE__, line, "No figure remains");
    AlertButton1(g_MainWnd, eAlertTextSM[ALERT_NOTHING_LEFT]);
}

// Stage 3: every piece moved by d to its left; too short lines and arcs whose
// radius vanishes are dropped.
Figure OffsetPieces(const Figure &src, double d)
{
    Figure out;
    out.reserve(src.size());
    for (size_t i = 0; i < src.size(); ++i) {
        const Piece &p = src[i];
        if (!p.arc) {
            const double vx = p.e.x - p.s.x, vy = p.e.y - p.s.y, len = std::hypot(vx, vy);
            if (len <= OFFSET_TINY)
                continue;
            const Pt n{-vy * d / len, vx * d / len};
            out.push_back(LinePiece({p.s.x + n.x, p.s.y + n.y}, {p.e.x + n.x, p.e.y + n.y}, int(i)));
            continue;
        }
        const double r = p.ccw ? p.r - d : p.r + d;
        if (std::fabs(r) <= OFFSET_TINY)
            continue;
        auto moved = [&](Pt q) {
            const double len = Dist(q, p.c);
            return len == 0.0 ? q : Pt{p.c.x + r * (q.x - p.c.x) / len, p.c.y + r * (q.y - p.c.y) / len};
        };
        Piece o = ArcPiece(p.c, moved(p.s), moved(p.e), p.ccw, int(i));
        o.r = r;
        out.push_back(o);
    }
    return out;
}

// Stage 4: arcs about the vertices that are convex on the offset side.
bool AddCornerArcs(const Figure &src, const Figure &in, bool closed, double d, Figure *out)
{
    out->clear();
    const size_t n = in.size();
    for (size_t j = 0; j < n; ++j) {
        out->push_back(in[j]);
        if (j + 1 == n && !closed)
            break;
        const Piece &next = in[(j + 1) % n];
        const Piece &from = src[in[j].source], &to = src[next.source];
        double turn = TangentAngle(to, to.s) - TangentAngle(from, from.e);
        while (turn > CALC_PI)
            turn -= CALC_TWO_PI;
        while (turn < -CALC_PI)
            turn += CALC_TWO_PI;
        if (std::fabs(turn) <= CORNER_TURN || turn * d >= 0)
            continue;
        if (out->size() >= size_t(OFFSET_MAX_PIECES))
            return false;
        Piece arc = ArcPiece(from.e, in[j].e, next.s, d < 0 ? 1 : 0, in[j].source);
        arc.r = Dist(from.e, in[j].e);
        arc.corner = true;
        out->push_back(arc);
    }
    return out->size() <= size_t(OFFSET_MAX_PIECES);
}

// Stage 5 for one piece and its successor: they meet at the intersection of
// their endless forms nearest to their current ends; no intersection leaves
// both ends open. A pair that met keeps its meeting point when joined again:
// the endless forms do not change, and the point it met at is a candidate at
// distance 0.
void JoinPair(Piece &p, Piece &q)
{
    const GeoObject a = Record(p, true), b = Record(q, true);
    std::vector<Pt> candidates;
    const int count = SnapIntersectObjects(&a, &b, 1);
    for (int k = 0; k < count; ++k)
        candidates.push_back({g_WorkArrays.pathPoints[k].x, g_WorkArrays.pathPoints[k].y});
    if (!Differ(p.e, q.s, OFFSET_TINY))
        candidates.push_back({(p.e.x + q.s.x) / 2, (p.e.y + q.s.y) / 2});
    if (candidates.empty()) {
        p.open |= OPEN_END;
        q.open |= OPEN_START;
        return;
    }
    Pt best = candidates[0];
    double bestSum = CALC_NO_VALUE;
    for (const Pt &c : candidates) {
        const double sum = Dist(c, p.e) + Dist(c, q.s);
        if (sum < bestSum)
            bestSum = sum, best = c;
    }
    p.e = best;
    q.s = best;
}

// Stage 6's test: the trimming reversed the piece (corner arcs stay).
bool Reversed(const Figure &src, const Piece &p)
{
    if (p.corner)
        return false;
    const Piece &s = src[p.source];
    return (p.e.x - p.s.x) * (s.e.x - s.s.x) + (p.e.y - p.s.y) * (s.e.y - s.s.y) < 0;
}

// Stages 5 and 6: every piece joined to its successor, then the reversed
// pieces dropped and the pieces that became neighbours joined, round after
// round until none is reversed. A round joins only the new neighbours and
// tests only the pieces whose ends moved: joining a pair again leaves it as
// it was, so this is the same as joining the whole figure every round, and
// a cascade of drops costs in proportion to the pieces it drops. False when
// nothing is left.
bool JoinAndDropReversed(const Figure &src, Figure *f, bool closed)
{
    const size_t n = f->size();
    if (n == 0)
        return false;
    Figure &w = *f;
    for (Piece &p : w)
        p.open = 0;
    std::vector<size_t> prev(n), next(n);
    for (size_t i = 0; i < n; ++i) {
        prev[i] = i ? i - 1 : n - 1;
        next[i] = i + 1 < n ? i + 1 : 0;
    }
    // Of an open figure the first piece has no predecessor, the last no successor.
    const size_t none = n;
    if (!closed)
        prev[0] = none, next[n - 1] = none;
    for (size_t i = 0; i < n; ++i)
        if (next[i] != none)
            JoinPair(w[i], w[next[i]]);
    std::vector<char> alive(n, 1), marked(n, 0);
    size_t left = n;
    std::vector<size_t> moved(n), dropped, joined;
    for (size_t i = 0; i < n; ++i)
        moved[i] = i;
    for (;;) {
        dropped.clear();
        for (size_t i : moved)
            if (alive[i] && !marked[i] && Reversed(src, w[i]))
                marked[i] = 1, dropped.push_back(i);
        if (dropped.empty())
            break;
        for (size_t i : dropped)
            alive[i] = 0;
        left -= dropped.size();
        if (left == 0)
            return false;
        // Unlink the dropped pieces; every run of them leaves one new pair,
        // or a new first or last piece of an open figure.
        joined.clear();
        for (size_t i : dropped) {
            const size_t a = prev[i], b = next[i];
            if (a != none)
                next[a] = b;
            if (b != none)
                prev[b] = a;
            if ((a == none || alive[a]) && (b == none || alive[b]))
                joined.push_back(a != none ? a : b + n);
        }
        moved.clear();
        for (size_t k : joined) {
            if (k >= n) {
                // A new first piece of an open figure: its start stays where it is.
                w[k - n].open &= ~OPEN_START;
                continue;
            }
            const size_t a = k, b = next[a];
            w[a].open &= ~OPEN_END;
            if (b == none)
                continue;
            w[b].open &= ~OPEN_START;
            JoinPair(w[a], w[b]);
            moved.push_back(a);
            moved.push_back(b);
        }
        for (size_t i : dropped)
            marked[i] = 0;
    }
    size_t out = 0;
    for (size_t i = 0; i < n; ++i)
        if (alive[i])
            w[out++] = w[i];
    w.resize(out);
    return true;
}

struct Box {
    double x0, y0, x1, y1;
};

Box PieceBox(const Piece &p)
{
    if (p.arc) {
        const double r = std::fabs(p.r);
        return {p.c.x - r, p.c.y - r, p.c.x + r, p.c.y + r};
    }
    return {std::min(p.s.x, p.e.x), std::min(p.s.y, p.e.y), std::max(p.s.x, p.e.x), std::max(p.s.y, p.e.y)};
}

// Boxes meet when they overlap or lie within OFFSET_TINY of each other.
bool BoxesMeet(const Box &a, const Box &b)
{
    return b.x0 <= a.x1 + OFFSET_TINY && a.x0 <= b.x1 + OFFSET_TINY && b.y0 <= a.y1 + OFFSET_TINY &&
           a.y0 <= b.y1 + OFFSET_TINY;
}

// A line's intersections count a little beyond its ends (a thousandth of its
// length); this fraction of its length beyond each end holds them all.
constexpr double BEYOND_ENDS = 0.002;

// Two lines that cannot meet even with the margin the intersection allows
// beyond their ends: each lies wholly on one side of the other's line.
bool LinesApart(const Piece &a, const Piece &b)
{
    auto apart = [](const Piece &l, const Piece &m) {
        const double dx = l.e.x - l.s.x, dy = l.e.y - l.s.y;
        // The slack covers rounding.
        const double mx = (m.e.x - m.s.x) * BEYOND_ENDS, my = (m.e.y - m.s.y) * BEYOND_ENDS;
        const double slack = 1e-9 * (std::fabs(dx) + std::fabs(dy)) *
                             (1 + std::fabs(m.s.x - l.s.x) + std::fabs(m.s.y - l.s.y) + std::fabs(mx) + std::fabs(my));
        const double s0 = dx * (m.s.y - my - l.s.y) - dy * (m.s.x - mx - l.s.x);
        const double s1 = dx * (m.e.y + my - l.s.y) - dy * (m.e.x + mx - l.s.x);
        return (s0 > slack && s1 > slack) || (s0 < -slack && s1 < -slack);
    };
    return apart(a, b) || apart(b, a);
}

bool Cross(const Piece &a, const Piece &b)
{
    if (!BoxesMeet(PieceBox(a), PieceBox(b)) || (!a.arc && !b.arc && LinesApart(a, b)))
        return false;
    const GeoObject ga = Record(a, false), gb = Record(b, false);
    return SnapIntersectObjects(&ga, &gb, 1) > 0;
}

// An arc whose box covers more grid cells than this is compared with every
// piece instead of being entered into its cells.
constexpr int64_t CROSSING_CELLS_PER_PIECE = 64;
// At most this many cells per piece, and per side.
constexpr double GRID_CELLS_PER_PIECE = 4.0;
constexpr int GRID_CELLS_PER_SIDE = 2048;

// A grid over the boxes of pieces with square cells as fine as
// GRID_CELLS_PER_PIECE cells per piece and GRID_CELLS_PER_SIDE a side allow;
// values beyond it fall into its outer cells.
struct Grid {
    Box all;
    int nx = 1, ny = 1;

    int X(double v) const { return Cell(v, all.x0, all.x1, nx); }
    int Y(double v) const { return Cell(v, all.y0, all.y1, ny); }
    size_t Index(int x, int y) const { return size_t(y) * size_t(nx) + size_t(x); }
    size_t Cells() const { return size_t(nx) * size_t(ny); }
    // The x range of a column; the first and last reach on without end.
    double Left(int x) const { return x == 0 ? -CALC_NO_VALUE : all.x0 + (all.x1 - all.x0) * x / nx; }
    double Right(int x) const { return x == nx - 1 ? CALC_NO_VALUE : all.x0 + (all.x1 - all.x0) * (x + 1) / nx; }

private:
    static int Cell(double v, double lo, double hi, int cells)
    {
        if (!(hi > lo))
            return 0;
        const double c = (v - lo) / (hi - lo) * cells;
        return !(c >= 0) ? 0 : c >= cells ? cells - 1 : int(c);
    }
};

Grid GridOver(const std::vector<Box> &boxes)
{
    const size_t n = boxes.size();
    Grid g;
    g.all = {CALC_NO_VALUE, CALC_NO_VALUE, -CALC_NO_VALUE, -CALC_NO_VALUE};
    for (const Box &b : boxes)
        g.all = {std::min(g.all.x0, b.x0), std::min(g.all.y0, b.y0), std::max(g.all.x1, b.x1), std::max(g.all.y1, b.y1)};
    if (n == 0)
        return g;
    const double width = g.all.x1 - g.all.x0, height = g.all.y1 - g.all.y0;
    double size = std::max({width / GRID_CELLS_PER_SIDE, height / GRID_CELLS_PER_SIDE,
                            std::sqrt(width * height / (GRID_CELLS_PER_PIECE * double(n)))});
    if (!(size > 0) || !std::isfinite(size))
        size = std::max(width, height) > 0 ? std::max(width, height) : 1;
    g.nx = std::max(1, std::min(GRID_CELLS_PER_SIDE, int(std::ceil(width / size))));
    g.ny = std::max(1, std::min(GRID_CELLS_PER_SIDE, int(std::ceil(height / size))));
    return g;
}

// Calls f with every cell a piece may pass through, widened by margin, each
// cell once: an arc's cells are those of its circle's box; a line's, column
// by column, those its stretch through the column passes, with the line
// extended by `beyond` of its length at both ends. A long thin line so enters
// as many cells as it is long, not as its box is large.
template <class F> void ForEachCellOf(const Grid &g, const Piece &p, double beyond, double margin, F f)
{
    if (p.arc) {
        const Box b = PieceBox(p);
        for (int y = g.Y(b.y0 - margin); y <= g.Y(b.y1 + margin); ++y)
            for (int x = g.X(b.x0 - margin); x <= g.X(b.x1 + margin); ++x)
                f(g.Index(x, y));
        return;
    }
    const double ex = (p.e.x - p.s.x) * beyond, ey = (p.e.y - p.s.y) * beyond;
    Pt a{p.s.x - ex, p.s.y - ey}, b{p.e.x + ex, p.e.y + ey};
    if (b.x < a.x)
        std::swap(a, b);
    auto yAt = [&](double v) {
        if (!(b.x > a.x))
            return v <= a.x ? a.y : b.y;
        const double t = std::min(1.0, std::max(0.0, (v - a.x) / (b.x - a.x)));
        return a.y + t * (b.y - a.y);
    };
    for (int x = g.X(a.x - margin), x1 = g.X(b.x + margin); x <= x1; ++x) {
        const double ya = yAt(std::max(a.x, g.Left(x) - margin)), yb = yAt(std::min(b.x, g.Right(x) + margin));
        const double lo = std::min({ya, yb, b.x > a.x ? ya : std::min(a.y, b.y)}) - margin;
        const double hi = std::max({ya, yb, b.x > a.x ? yb : std::max(a.y, b.y)}) + margin;
        for (int y = g.Y(lo); y <= g.Y(hi); ++y)
            f(g.Index(x, y));
    }
}

// Pieces entered into the grid cells they pass through, all in one array:
// the pieces of cell c, in ascending order, are items[start[c]] up to
// items[start[c + 1]].
struct CellLists {
    std::vector<uint32_t> start, items;
};

// cellsOf(k, f) calls f with every cell of piece k.
template <class CellsOf> CellLists FillCells(size_t cells, size_t pieces, CellsOf cellsOf)
{
    CellLists l;
    l.start.assign(cells + 1, 0);
    for (size_t k = 0; k < pieces; ++k)
        cellsOf(k, [&](size_t c) { ++l.start[c + 1]; });
    for (size_t c = 0; c < cells; ++c)
        l.start[c + 1] += l.start[c];
    l.items.resize(l.start[cells]);
    std::vector<uint32_t> at(l.start.begin(), l.start.end() - 1);
    for (size_t k = 0; k < pieces; ++k)
        cellsOf(k, [&](size_t c) { l.items[at[c]++] = uint32_t(k); });
    return l;
}

// Margin of a piece's cells: the touching distance and the rounding of
// points computed on it.
double CellMargin(const Piece &p)
{
    return OFFSET_TINY + 1e-9 * (1 + std::fabs(p.s.x) + std::fabs(p.s.y) + std::fabs(p.e.x) + std::fabs(p.e.y));
}

// For every piece i the later pieces j > i it crosses, in ascending order.
// The pairs come from a grid: every piece is entered into the cells it passes
// through, and each piece is offered the later pieces it shares a cell with
// (a crossing lies in a cell of both), so a figure costs in proportion to its
// pieces and the pairs that lie close. Arcs whose box covers too many cells
// are compared with every piece instead.
std::vector<std::vector<size_t>> CrossingPartners(const Figure &f)
{
    const size_t n = f.size();
    std::vector<std::vector<size_t>> partners(n);
    if (n < 2)
        return partners;
    std::vector<Box> boxes(n);
    for (size_t k = 0; k < n; ++k) {
        const Box b = PieceBox(f[k]);
        boxes[k] = {b.x0 - OFFSET_TINY, b.y0 - OFFSET_TINY, b.x1 + OFFSET_TINY, b.y1 + OFFSET_TINY};
    }
    const Grid g = GridOver(boxes);
    std::vector<size_t> wide;
    std::vector<char> isWide(n, 0);
    for (size_t k = 0; k < n; ++k) {
        const Box &b = boxes[k];
        if (f[k].arc && int64_t(g.X(b.x1) - g.X(b.x0) + 1) * int64_t(g.Y(b.y1) - g.Y(b.y0) + 1) > CROSSING_CELLS_PER_PIECE)
            wide.push_back(k), isWide[k] = 1;
    }
    auto cellsOf = [&](size_t k, auto visit) {
        if (!isWide[k])
            ForEachCellOf(g, f[k], BEYOND_ENDS, CellMargin(f[k]), visit);
    };
    const CellLists grid = FillCells(g.Cells(), n, cellsOf);
    auto offer = [&](size_t a, size_t b) {
        const size_t i = std::min(a, b), j = std::max(a, b);
        if (Cross(f[i], f[j]))
            partners[i].push_back(j);
    };
    std::vector<size_t> offered(n, n);
    for (size_t i = 0; i < n; ++i)
        cellsOf(i, [&](size_t c) {
            for (uint32_t u = grid.start[c]; u < grid.start[c + 1]; ++u) {
                const size_t j = grid.items[u];
                if (j > i && offered[j] != i)
                    offered[j] = i, offer(i, j);
            }
        });
    for (size_t w : wide)
        for (size_t k = 0; k < n; ++k)
            if (k != w && !(isWide[k] && k < w))
                offer(w, k);
    for (std::vector<size_t> &p : partners)
        std::sort(p.begin(), p.end());
    return partners;
}

// Stage 7: splits crossing figures into loops until none crosses itself.
// A figure's first piece i that crosses a later piece j, at the crossing
// nearest the start of i, splits it into the outer figure (up to that
// crossing on i, on from it on j) and the loop between; the outer figure is
// split on from piece i, then the loops, the last one split off first. The
// figures are linked lists of pieces, so a split costs the same however long
// the figure, and which pieces may cross is worked out once.
bool SplitLoops(std::vector<Figure> *figures, size_t *total)
{
    struct Node {
        Piece p;
        size_t source; // index of the piece in the figure it was split from
        int next;      // -1 at the end of its figure
    };
    std::vector<Node> nodes;
    std::vector<Figure> done;
    // The last figure is split first, as a stack of figures would be.
    for (auto it = figures->rbegin(); it != figures->rend(); ++it) {
        const Figure &whole = *it;
        if (whole.empty()) {
            done.push_back(whole);
            continue;
        }
        const std::vector<std::vector<size_t>> partners = CrossingPartners(whole);
        nodes.clear();
        for (size_t k = 0; k < whole.size(); ++k)
            nodes.push_back({whole[k], k, k + 1 < whole.size() ? int(k + 1) : -1});
        // Which figure holds each source piece now, and as which node.
        std::vector<unsigned> holder(whole.size(), 0);
        std::vector<int> nodeOf(whole.size(), -1);
        unsigned figureCount = 0;
        std::vector<int> work{0};
        std::vector<Figure> finished;
        while (!work.empty()) {
            const int head = work.back();
            work.pop_back();
            const unsigned id = ++figureCount;
            for (int k = head; k >= 0; k = nodes[size_t(k)].next)
                holder[nodes[size_t(k)].source] = id, nodeOf[nodes[size_t(k)].source] = k;
            for (int cur = head; cur >= 0;) {
                const size_t source = nodes[size_t(cur)].source;
                int partner = -1;
                Pt best{0, 0};
                double bestDist = CALC_NO_VALUE;
                for (size_t m : partners[source]) {
                    if (holder[m] != id)
                        continue;
                    const Piece &a = nodes[size_t(cur)].p, &b = nodes[size_t(nodeOf[m])].p;
                    if (!BoxesMeet(PieceBox(a), PieceBox(b)))
                        continue;
                    const GeoObject ga = Record(a, false), gb = Record(b, false);
                    const int count = SnapIntersectObjects(&ga, &gb, 1);
                    for (int c = 0; c < count; ++c) {
                        const Pt p{g_WorkArrays.pathPoints[c].x, g_WorkArrays.pathPoints[c].y};
                        const double dist = Dist(p, a.s);
                        if (partner < 0 || dist < bestDist)
                            partner = nodeOf[m], best = p, bestDist = dist;
                    }
                }
                if (partner < 0) {
                    cur = nodes[size_t(cur)].next;
                    continue;
                }
                // Each split adds two pieces.
                *total += 2;
                if (*total > size_t(OFFSET_MAX_PIECES))
                    return false;
                // The loop: this piece on from the crossing, the pieces
                // between, the partner up to the crossing.
                Node first = nodes[size_t(cur)], last = nodes[size_t(partner)];
                first.p.s = best, first.p.open &= ~OPEN_START;
                last.p.e = best, last.p.open &= ~OPEN_END, last.next = -1;
                const int between = nodes[size_t(cur)].next;
                const int loopHead = int(nodes.size());
                const int loopTail = loopHead + 1;
                first.next = between == partner ? loopTail : between;
                for (int k = between; k != partner;) {
                    Node &inside = nodes[size_t(k)];
                    holder[inside.source] = 0;
                    k = inside.next;
                    if (k == partner)
                        inside.next = loopTail;
                }
                nodes.push_back(first);
                nodes.push_back(last);
                work.push_back(loopHead);
                // The outer figure: this piece up to the crossing, the
                // partner on from it; this piece is looked at again.
                Node &outer = nodes[size_t(cur)];
                outer.p.e = best, outer.p.open &= ~OPEN_END, outer.next = partner;
                Node &rest = nodes[size_t(partner)];
                rest.p.s = best, rest.p.open &= ~OPEN_START;
            }
            Figure out;
            for (int k = head; k >= 0; k = nodes[size_t(k)].next)
                out.push_back(nodes[size_t(k)].p);
            finished.push_back(std::move(out));
        }
        done.insert(done.end(), finished.begin(), finished.end());
    }
    *figures = std::move(done);
    return true;
}

// The pieces of the whole source in a grid, to ask whether any lies nearer a
// point than a given distance without measuring every piece.
class NearTest {
public:
    NearTest(const Source &src, double reach) : reach_(reach)
    {
        for (const Figure &f : src.figures)
            pieces_.insert(pieces_.end(), f.begin(), f.end());
        std::vector<Box> boxes(pieces_.size());
        for (size_t k = 0; k < pieces_.size(); ++k)
            boxes[k] = PieceBox(pieces_[k]);
        grid_ = GridOver(boxes);
        cells_ = FillCells(grid_.Cells(), pieces_.size(), [&](size_t k, auto visit) {
            ForEachCellOf(grid_, pieces_[k], 0.0, CellMargin(pieces_[k]), visit);
        });
        seen_.assign(pieces_.size(), 0);
    }
    // True when some source piece lies nearer than the reach.
    bool Near(Pt p)
    {
        // The cells looked at reach a little further, so that no piece
        // whose measured distance rounds below the reach is missed.
        const double r = reach_ + 1e-9 * (1 + reach_ + std::fabs(p.x) + std::fabs(p.y));
        const Box &all = grid_.all;
        if (!(p.x + r >= all.x0 && p.x - r <= all.x1 && p.y + r >= all.y0 && p.y - r <= all.y1))
            return false;
        ++stamp_;
        const int x0 = grid_.X(p.x - r), x1 = grid_.X(p.x + r), y0 = grid_.Y(p.y - r), y1 = grid_.Y(p.y + r);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const size_t c = grid_.Index(x, y);
                for (uint32_t u = cells_.start[c]; u < cells_.start[c + 1]; ++u) {
                    const uint32_t k = cells_.items[u];
                    if (seen_[k] == stamp_)
                        continue;
                    seen_[k] = stamp_;
                    if (Distance(pieces_[k], p) < reach_)
                        return true;
                }
            }
        return false;
    }

private:
    static double Distance(const Piece &q, Pt p)
    {
        if (!q.arc)
            return DistancePointSegment(q.s.x, q.s.y, q.e.x, q.e.y, p.x, p.y, nullptr);
        if (CalcAngleInArc(q.c.x, q.c.y, q.s.x, q.s.y, q.e.x, q.e.y, p.x, p.y, q.ccw))
            return std::fabs(Dist(p, q.c) - std::fabs(q.r));
        return std::min(Dist(p, q.s), Dist(p, q.e));
    }
    double reach_;
    std::vector<Piece> pieces_;
    Grid grid_;
    CellLists cells_;
    std::vector<unsigned> seen_;
    unsigned stamp_ = 0;
};

// Stage 8: a figure stays when every test point keeps its distance.
bool KeepsDistance(const Figure &f, bool closed, NearTest *proximity)
{
    auto tooNear = [&](Pt p) {
        if (!Differ(p, {CALC_NO_VALUE, CALC_NO_VALUE}, SAME_POINT))
            return false;
        return proximity->Near(p);
    };
    for (size_t k = 0; k < f.size(); ++k) {
        const Piece &p = f[k];
        const bool first = !closed && k == 0, last = !closed && k + 1 == f.size();
        if ((!first && tooNear(p.s)) || (!last && tooNear(p.e)))
            return false;
        if (!p.arc || first || last)
            continue;
        const double sweep = CalcArcSweep(p.c.x, p.c.y, p.s.x, p.s.y, p.e.x, p.e.y, p.ccw);
        for (double t : {0.5, 0.3, 0.7}) {
            const double a = sweep * t, c = std::cos(a), s = std::sin(a);
            const double dx = p.s.x - p.c.x, dy = p.s.y - p.c.y;
            if (tooNear({p.c.x + c * dx - s * dy, p.c.y + s * dx + c * dy}))
                return false;
        }
    }
    return true;
}

// Stage 9: the target as a new object of the path's type with the figures;
// false when they do not fit into one object.
bool WriteFigures(const Unit *path, Unit *target, const std::vector<Figure> &figures)
{
    std::memcpy(target, path, UNIT_ELEMENTS_OBJECT);
    ObjectInitHeaderFlags(target, path->object.type);
    ChainWriter w;
    InitChainBegin(&w, target, g_ObjectLimits.objectSize);
    for (const Figure &f : figures) {
        if (f.empty())
            continue;
        InitChainPoint(&w, POINT_START, f[0].s.x, f[0].s.y);
        for (const Piece &p : f) {
            if (p.e.x == p.s.x && p.e.y == p.s.y)
                continue;
            if (!p.arc) {
                InitChainPoint(&w, POINT_LINE, p.e.x, p.e.y);
                continue;
            }
            InitChainPoint(&w, POINT_ARC_PIECE_END, p.e.x, p.e.y);
            InitChainCurve(&w, p.ccw ? 1.0 : -1.0, CalcCurvature(p.c.x, p.c.y, p.s.x, p.s.y, p.e.x, p.e.y));
        }
    }
    return InitChainEnd(&w) != 0;
}

bool IsPath(int32_t type) { return type == OBJTYPE_CURVE || type == OBJTYPE_SURFACE; }

bool NeedsPathForm(int32_t type)
{
    switch (type) {
    case OBJTYPE_CIRC_SEC: case OBJTYPE_CIRC_SEGM: case OBJTYPE_SPLINE: case OBJTYPE_ELLIPSE:
    case OBJTYPE_ELLI_ARC: case OBJTYPE_ELLI_SEC: case OBJTYPE_ELLI_SEGM: return true;
    default: return false;
    }
}

// The point elements of a unit, in chain order.
std::vector<ElementPoint *> PointElements(Unit *u)
{
    std::vector<ElementPoint *> out;
    UnitForEachElement(u, [&](Element *e) {
        if (ElementIsPoint(e))
            out.push_back(reinterpret_cast<ElementPoint *>(e));
    });
    return out;
}

int PathOffset(const Unit *path, Unit *target, double distance, int arcJoins, const CalcPoint *reference)
{
    int figure = 0;
    const int side = TrimPathSideOfPoint(path, reference, &figure);
    const double d = side ? std::fabs(distance) : -std::fabs(distance);
    return TrimGeoEquidistantPath(path, target, d, arcJoins, figure);
}

} // namespace

int TrimGeoEquidistantArc(const Unit *source, Unit *target, double distance, const CalcPoint *reference)
{
    const int32_t type = source->object.type;
    if (type != OBJTYPE_LINE && type != OBJTYPE_ZIGZAG && type != OBJTYPE_CIRCLE && type != OBJTYPE_CIRC_ARC)
        return -1;
    if (source->bytes > g_ObjectLimits.objectSize)
        return -1;
    std::memmove(target, source, source->bytes);
    ObjectInitHeaderFlags(target, type);
    const std::vector<ElementPoint *> pts = PointElements(target);
    const size_t needed = type == OBJTYPE_CIRC_ARC ? 4 : 2;
    if (pts.size() < needed)
        return -1;
    const Pt ref = reference ? Pt{reference->x, reference->y} : Pt{pts[0]->x, pts[0]->y};
    if (type == OBJTYPE_LINE || type == OBJTYPE_ZIGZAG) {
        const Pt p1{pts[0]->x, pts[0]->y}, p2{pts[1]->x, pts[1]->y};
        const double vx = p2.x - p1.x, vy = p2.y - p1.y, len = std::hypot(vx, vy);
        if (len == 0.0)
            return 0;
        const bool right = (ref.y - p1.y) * vx - (ref.x - p1.x) * vy <= 0;
        const double nx = right ? vy * distance / len : -vy * distance / len;
        const double ny = right ? -vx * distance / len : vx * distance / len;
        for (int k = 0; k < 2; ++k)
            pts[size_t(k)]->x += nx, pts[size_t(k)]->y += ny;
        return 0;
    }
    const Pt c{pts[0]->x, pts[0]->y};
    const double r = Dist(c, {pts[1]->x, pts[1]->y});
    const double nr = r <= Dist(ref, c) ? r + distance : r - distance;
    // An inward offset that swallows the circle leaves nothing to draw.
    if (nr <= OFFSET_TINY) {
        AlertButton1(g_MainWnd, eAlertTextSM[ALERT_NOTHING_LEFT]);
        return -1;
    }
    pts[1]->x = c.x + nr, pts[1]->y = c.y;
    for (size_t k = 2; k < needed; ++k) {
        const double len = Dist(c, {pts[k]->x, pts[k]->y});
        if (len > 0)
            pts[k]->x = c.x + (pts[k]->x - c.x) * nr / len, pts[k]->y = c.y + (pts[k]->y - c.y) * nr / len;
    }
    return 0;
}

int TrimPathSideOfPoint(const Unit *path, const CalcPoint *p, int *figure)
{
    Source src;
    ReadPath(path, &src);
    double best = CALC_NO_VALUE;
    Pt a{0, 0}, b{0, 0};
    bool found = false;
    PathPoint *buf = g_WorkArrays.pathPoints;
    for (size_t f = 0; f < src.figures.size(); ++f)
        for (const Piece &q : src.figures[f]) {
            // Arcs are measured along their flattened steps.
            int32_t n = 2;
            buf[0] = {q.s.x, q.s.y}, buf[1] = {q.e.x, q.e.y};
            if (q.arc) {
                const double factor = CalcCurvature(q.c.x, q.c.y, q.s.x, q.s.y, q.e.x, q.e.y);
                n = FlatAddArcBulgeSteps(buf, 0, q.ccw ? 1.0 : -1.0, factor);
                if (n < 2)
                    n = 2, buf[0] = {q.s.x, q.s.y}, buf[1] = {q.e.x, q.e.y};
            }
            for (int32_t k = 0; k + 1 < n; ++k) {
                const double dist = DistancePointSegment(buf[k].x, buf[k].y, buf[k + 1].x, buf[k + 1].y, p->x, p->y, nullptr);
                if (dist < best) {
                    best = dist, found = true;
                    a = {buf[k].x, buf[k].y}, b = {buf[k + 1].x, buf[k + 1].y};
                    *figure = int(f);
                }
            }
        }
    if (!found)
        return 1;
    return (p->y - a.y) * (b.x - a.x) - (p->x - a.x) * (b.y - a.y) > 0 ? 1 : 0;
}

int TrimGeoEquidistantPath(const Unit *path, Unit *target, double d, int arcJoins, int figure)
{
    Source src;
    ReadPath(path, &src);
    if (src.overflow) {
        TooComplex(false, __LINE__);
        return -1;
    }
    if (figure < 0 || size_t(figure) >= src.figures.size() || src.figures[size_t(figure)].empty()) {
        AlertSM8(g_MainWnd);
        return -1;
    }
    Figure source = src.figures[size_t(figure)];
    for (size_t k = 0; k < source.size(); ++k)
        source[k].source = int(k);
    Figure offset = OffsetPieces(source, d);
    Figure work;
    if (!arcJoins)
        work = std::move(offset);
    else if (!AddCornerArcs(source, offset, src.closed, d, &work)) {
        TooComplex(true, __LINE__);
        return -1;
    }
    if (!JoinAndDropReversed(source, &work, src.closed)) {
        NothingLeft(__LINE__);
        return -1;
    }
    std::vector<Figure> figures{std::move(work)};
    size_t total = figures[0].size();
    if (!SplitLoops(&figures, &total)) {
        TooComplex(true, __LINE__);
        return -1;
    }
    NearTest proximity(src, KEEP_DISTANCE * std::fabs(d));
    std::vector<Figure> kept;
    for (Figure &f : figures)
        if (KeepsDistance(f, src.closed, &proximity))
            kept.push_back(std::move(f));
    if (kept.empty()) {
        NothingLeft(__LINE__);
        return -1;
    }
    if (!WriteFigures(path, target, kept)) {
        TooComplex(false, __LINE__);
        return -1;
    }
    int warnings = 0;
    for (const Figure &f : kept)
        warnings += f[0].open != 0;
    return warnings;
}

int TrimEquidistant(const Unit *source, Unit *target, double distance, int arcJoins, const CalcPoint *reference)
{
    if (!source || !target || !reference || source->kind != UNIT_KIND_OBJECT) {
        AlertSM60(g_MainWnd);
        return -1;
    }
    const int32_t type = source->object.type;
    switch (type) {
    case OBJTYPE_LINE: case OBJTYPE_ZIGZAG: case OBJTYPE_CIRCLE: case OBJTYPE_CIRC_ARC:
        return TrimGeoEquidistantArc(source, target, distance, reference);
    default: break;
    }
    if (IsPath(type))
        return PathOffset(source, target, distance, arcJoins, reference);
    if (!NeedsPathForm(type)) {
        AlertSM60(g_MainWnd);
        return -1;
    }
    // The Curve or Surface form in a unit of the largest size.
    TempBlock<uint8_t> block(g_ObjectLimits.scratchSize, __FILE__, __LINE__);
    if (!block)
        return -1;
    Unit *form = reinterpret_cast<Unit *>(block.get());
    if (source->bytes > g_ObjectLimits.scratchSize || !TransformCurveSurface(source, form) || !IsPath(form->object.type)) {
        AlertSM60(g_MainWnd);
        return -1;
    }
    return PathOffset(form, target, distance, arcJoins, reference);
}
