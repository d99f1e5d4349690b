// Contours and surfaces: the outlines of the selected objects are cut at
// every crossing, the boundary of the face around a picked point is traced
// through the junctions, and that boundary is stored as a Surface object.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "geometry/frame.h"
#include "geometry/hatch.h"
#include "geometry/poly.h"
#include "language/language.h"

namespace {

constexpr double SPLIT_EPS = 1e-10;
constexpr double SPLIT_LAST = 0.9999999999; // crossings at or beyond this do not split
constexpr double TWO_PI = 6.283185307179586;
constexpr double TURN_FULL = 6.283185307079586; // a turn above this leaves along the way just travelled
constexpr double TURN_EPS = 1e-10;

struct Crossing {
    double x, y, t;
};

// The signed sweep of an arc piece; equal angles mean a full turn.
double ArcSweep(const BufferSegment &s)
{
    if (s.direction) {
        double sweep = s.endAngle - s.startAngle;
        if (s.endAngle <= s.startAngle)
            sweep += TWO_PI;
        return sweep;
    }
    if (s.startAngle > s.endAngle)
        return s.endAngle - s.startAngle;
    return s.endAngle - s.startAngle - TWO_PI;
}

// The travel fraction of the angle a along an arc piece of the given sweep.
double ArcFraction(const BufferSegment &s, double sweep, double a)
{
    double d = a - s.startAngle;
    if (s.direction) {
        while (d < 0)
            d += TWO_PI;
        while (d >= TWO_PI)
            d -= TWO_PI;
    } else {
        while (d > 0)
            d -= TWO_PI;
        while (d <= -TWO_PI)
            d += TWO_PI;
    }
    return d / sweep;
}

BezierPiece AsBezier(const BufferSegment &s)
{
    return BezierPiece{{{s.x1, s.y1}, {s.c1x, s.c1y}, {s.c2x, s.c2y}, {s.x2, s.y2}}, 0.0, 1.0};
}

void SetBezier(BufferSegment *s, const BezierPiece &b)
{
    s->x1 = b.p[0].x, s->y1 = b.p[0].y;
    s->c1x = b.p[1].x, s->c1y = b.p[1].y;
    s->c2x = b.p[2].x, s->c2y = b.p[2].y;
    s->x2 = b.p[3].x, s->y2 = b.p[3].y;
}

bool Near(double x1, double y1, double x2, double y2, double tol)
{
    return std::fabs(x1 - x2) <= tol && std::fabs(y1 - y2) <= tol;
}

bool MasksMeet(const BufferSegment &a, uint32_t columns, uint32_t rows)
{
    return (a.columnMask & columns) && (a.rowMask & rows);
}

// Cuts one input piece at its crossings into out; false when out is too small.
bool SplitPiece(const BufferSegment &piece, std::vector<Crossing> &cross, BufferData *out)
{
    // Output pieces plus the sentinel slot behind the last one.
    if (out->used + int64_t(cross.size()) + 2 > out->capacity)
        return false;
    bool startFree = true, endFree = true;
    for (const Crossing &c : cross) {
        if (c.t <= SPLIT_EPS)
            startFree = false;
        if (c.t >= SPLIT_LAST)
            endFree = false;
    }
    // Ascending parameters; of equal ones the earlier first.
    std::stable_sort(cross.begin(), cross.end(), [](const Crossing &a, const Crossing &b) { return a.t < b.t; });
    const BezierPiece whole = AsBezier(piece);
    BufferSegment *current = &out->items[out->used];
    *current = piece;
    current->contourEnd = startFree ? 1 : 0;
    double prevX = piece.x1, prevY = piece.y1, prevT = 0;
    for (const Crossing &c : cross) {
        if (!(c.t > SPLIT_EPS && c.t < SPLIT_LAST))
            continue;
        if (std::fabs(c.x - prevX) + std::fabs(c.y - prevY) <= SPLIT_EPS ||
            std::fabs(c.x - piece.x2) + std::fabs(c.y - piece.y2) <= SPLIT_EPS)
            continue;
        if (piece.type == POLY_ITEM_BEZIER) {
            BezierPiece middle;
            CalcBezierSubrange(&whole, prevT, c.t, nullptr, &middle, nullptr);
            SetBezier(current, middle);
        }
        current->x2 = c.x, current->y2 = c.y;
        current->reserved = 0;
        ++out->used;
        current = &out->items[out->used];
        *current = piece;
        current->x1 = c.x, current->y1 = c.y;
        current->contourEnd = 0;
        prevX = c.x, prevY = c.y, prevT = c.t;
    }
    if (piece.type == POLY_ITEM_BEZIER && prevT > 0) {
        BezierPiece after;
        CalcBezierSplitAt(&whole, prevT, nullptr, &after);
        SetBezier(current, after);
    }
    current->x2 = piece.x2, current->y2 = piece.y2;
    current->reserved = endFree ? 1 : 0;
    ++out->used;
    return true;
}

// Rejoins arcs of one circle that meet where nothing crosses them.
void JoinArcs(BufferData *out, double tol)
{
    BufferSegment *s = out->items;
    // The last piece of the buffer has no next piece.
    for (int32_t i = 0; i + 1 < out->used;) {
        int32_t next = i + 1;
        if (s[next].contour != s[i].contour) {
            next = -1;
            for (int32_t k = 0; k < i; ++k)
                if (s[k].contour == s[i].contour) {
                    next = k;
                    break;
                }
        }
        if (next < 0) {
            ++i;
            continue;
        }
        const BufferSegment &a = s[i];
        BufferSegment &b = s[next];
        const bool join = a.reserved == 1 && b.contourEnd == 1 && a.contour == b.contour &&
                          a.type == POLY_ITEM_ARC && b.type == POLY_ITEM_ARC && a.direction == b.direction &&
                          std::fabs(a.cx - b.cx) < tol && std::fabs(a.cy - b.cy) < tol &&
                          std::fabs(a.x2 - b.x1) < tol && std::fabs(a.y2 - b.y1) < tol &&
                          !Near(a.x1, a.y1, b.x2, b.y2, tol);
        if (!join) {
            ++i;
            continue;
        }
        b.x1 = a.x1, b.y1 = a.y1;
        b.contourEnd = a.contourEnd;
        std::memmove(&s[i], &s[i + 1], sizeof(BufferSegment) * size_t(out->used - i)); // the sentinel too
        --out->used;
    }
}

} // namespace

int PolySplitItems(BufferData *in, BufferData *out, double tolerance)
{
    if (!in || !out || !in->items || !out->items)
        return 0;
    // The pieces stay within the input's extents: the output's grid is the same.
    out->xmin = in->xmin, out->ymin = in->ymin, out->xmax = in->xmax, out->ymax = in->ymax;
    std::vector<Crossing> cross;
    for (int32_t i = 0; i < in->used; ++i) {
        const BufferSegment &piece = in->items[i];
        if (piece.type != POLY_ITEM_LINE && piece.type != POLY_ITEM_ARC && piece.type != POLY_ITEM_BEZIER)
            continue;
        cross.clear();
        const double sweep = piece.type == POLY_ITEM_ARC ? ArcSweep(piece) : 1.0;
        if (std::fabs(sweep) > SPLIT_EPS) {
            for (int32_t j = 0; j < in->used; ++j) {
                if (j == i)
                    continue;
                const int slots = PolyIntersectItems(&piece, &in->items[j], tolerance, 1);
                for (int k = 0; k + 1 < slots; k += 2) {
                    const double p = g_CalcPoints[k + 1].x;
                    const double t = piece.type == POLY_ITEM_ARC ? ArcFraction(piece, sweep, p) : p;
                    cross.push_back({g_CalcPoints[k].x, g_CalcPoints[k].y, t});
                    if (int(cross.size()) >= POLY_MAX_CROSSINGS)
                        return 0;
                }
            }
        }
        if (!SplitPiece(piece, cross, out))
            return 0;
    }
    if (out->used < out->capacity)
        out->items[out->used].contour = -1;
    JoinArcs(out, tolerance);
    return 1;
}

// ---------------------------------------------------------------------------
// Tracing.

namespace {

double PieceDistance(const BufferSegment &s, double px, double py)
{
    const double ds = std::hypot(px - s.x1, py - s.y1), de = std::hypot(px - s.x2, py - s.y2);
    switch (s.type) {
    case POLY_ITEM_LINE: {
        const double len = s.length;
        if (len == 0)
            return ds;
        const double proj = ((px - s.x1) * (s.x2 - s.x1) + (py - s.y1) * (s.y2 - s.y1)) / len;
        if (proj < 0 || proj > len)
            return std::min(ds, de);
        return std::sqrt(std::fabs(ds * ds - proj * proj));
    }
    case POLY_ITEM_ARC: {
        const double a = CalcAngleOfVector(px - s.cx, py - s.cy);
        if (PolyAngleInArc(s.startAngle, s.endAngle, a, 0, s.direction))
            return std::fabs(std::hypot(px - s.cx, py - s.cy) - s.length);
        return std::min(ds, de);
    }
    case POLY_ITEM_BEZIER: return CalcDistancePointBezier(s.x1, s.y1, s.c1x, s.c1y, s.c2x, s.c2y, s.x2, s.y2, px, py);
    default: return 1e300;
    }
}

bool PointLeftOf(const BufferSegment &s, double px, double py)
{
    switch (s.type) {
    case POLY_ITEM_LINE: return (s.x2 - s.x1) * (py - s.y1) - (s.y2 - s.y1) * (px - s.x1) > 0;
    case POLY_ITEM_ARC: {
        const double r = std::hypot(s.cx - s.x1, s.cy - s.y1), d = std::hypot(s.cx - px, s.cy - py);
        return s.direction ? d < r : d > r;
    }
    case POLY_ITEM_BEZIER:
        return CalcBezierPointSide(s.x1, s.y1, s.c1x, s.c1y, s.c2x, s.c2y, s.x2, s.y2, px, py) == 1;
    default: return false;
    }
}

// Where the walk stands: the junction, the direction back into the last
// piece, and that piece.
struct WalkState {
    double x, y;
    double back;
    int cw;
    const BufferSegment *last;
};

WalkState StateAfter(const BufferSegment &s, int reversed)
{
    WalkState w;
    w.x = reversed ? s.x1 : s.x2;
    w.y = reversed ? s.y1 : s.y2;
    w.back = reversed ? s.startTangent : s.endTangent;
    w.cw = reversed ? s.direction != 0 : s.direction == 0;
    w.last = &s;
    return w;
}

bool Degenerate(const BufferSegment &s, double tol)
{
    return (s.type == POLY_ITEM_LINE && s.length < tol) ||
           (s.type == POLY_ITEM_ARC &&
            (s.length < tol || (std::fabs(s.x1 - s.x2) < tol && std::fabs(s.y1 - s.y2) < tol)));
}

// Whether some other piece allowed by `usable` meets the piece at both of its ends.
template <class Usable>
bool JoinedAtBothEnds(const BufferSegment *s, int32_t n, int32_t k, double tol, Usable usable)
{
    const BufferSegment &c = s[k];
    bool atEnd = false, atStart = false;
    for (int32_t j = 0; j < n && !(atEnd && atStart); ++j) {
        if (j == k || !usable(j) || !MasksMeet(s[j], c.columnMask, c.rowMask))
            continue;
        atEnd = atEnd || Near(s[j].x1, s[j].y1, c.x2, c.y2, tol) || Near(s[j].x2, s[j].y2, c.x2, c.y2, tol);
        atStart = atStart || Near(s[j].x1, s[j].y1, c.x1, c.y1, tol) || Near(s[j].x2, s[j].y2, c.x1, c.y1, tol);
    }
    return atEnd && atStart;
}

// The nearest piece to p allowed by `usable` and joined at both ends;
// -1 when none is left.
template <class Usable>
int32_t NearestJoined(const BufferSegment *s, int32_t n, double px, double py, double tol, std::vector<char> &tried,
                      Usable usable)
{
    for (;;) {
        double best = 1e300;
        int32_t nearest = -1;
        for (int32_t i = 0; i < n; ++i) {
            if (tried[size_t(i)] || !usable(i))
                continue;
            const double d = PieceDistance(s[i], px, py);
            if (d < best)
                best = d, nearest = i;
        }
        if (nearest < 0)
            return -1;
        tried[size_t(nearest)] = 1;
        if (JoinedAtBothEnds(s, n, nearest, tol, usable))
            return nearest;
    }
}

// Walks from piece k around the face on p's side of it, always turning as
// sharply as possible towards that side, backing out of dead ends. The
// pieces the walk may take are those whose `reserved` word is 0 (k itself
// is taken). Writes the steps at `steps`; the number of steps of the closed
// walk, 0 when it backs out to nothing, -1 when it reaches `limit`.
int32_t TraceLoop(BufferSegment *s, int32_t n, int32_t k, double px, double py, double tol, BoundaryStep *steps,
                  int32_t limit)
{
    auto visited = [&](int32_t i) { return s[i].reserved != 0; };
    s[k].reserved = 1;
    const bool left = PointLeftOf(s[k], px, py);
    int32_t count = 0;
    steps[count++] = {k, 0};
    WalkState w = StateAfter(s[k], 0);
    for (;;) {
        double bestTurn = left ? 0 : TWO_PI, bestGap = 1e300;
        int bestPriority = left ? -1000 : 1000;
        int32_t winner = -1, winnerReversed = 0;
        for (int32_t j = 0; j < n; ++j) {
            if (visited(j) || !MasksMeet(s[j], w.last->columnMask, w.last->rowMask))
                continue;
            for (int reversed = 0; reversed < 2; ++reversed) {
                const double mx = reversed ? s[j].x2 : s[j].x1, my = reversed ? s[j].y2 : s[j].y1;
                if (!Near(mx, my, w.x, w.y, tol))
                    continue;
                double turn = (reversed ? s[j].endTangent : s[j].startTangent) - w.back;
                if (turn < 0)
                    turn += TWO_PI;
                const double gap = std::hypot(mx - w.x, my - w.y);
                const bool ccw = reversed ? s[j].direction == 0 : s[j].direction != 0;
                const int priority = s[j].type == POLY_ITEM_LINE ? 1 : ccw ? 2 : 0;
                if (turn < TURN_EPS || turn > TURN_FULL) {
                    const int32_t lastType = w.last->type;
                    if (s[j].type == POLY_ITEM_LINE) {
                        if (lastType == POLY_ITEM_LINE)
                            continue;
                        turn = w.cw ? TWO_PI : 0;
                    } else if (lastType == POLY_ITEM_ARC) {
                        if (std::fabs(s[j].cx - w.last->cx) < tol && std::fabs(s[j].cy - w.last->cy) < tol)
                            continue;
                    } else {
                        turn = ccw ? 0 : TWO_PI;
                    }
                }
                bool better;
                if (!left)
                    better = turn < bestTurn - TURN_EPS ||
                             (turn < bestTurn + TURN_EPS &&
                              (priority < bestPriority || (priority == bestPriority && gap < bestGap)));
                else
                    better = turn > bestTurn + TURN_EPS ||
                             (turn > bestTurn - TURN_EPS &&
                              (priority > bestPriority || (priority == bestPriority && gap < bestGap)));
                if (better) {
                    bestTurn = turn, bestPriority = priority, bestGap = gap;
                    winner = j, winnerReversed = reversed;
                }
            }
        }
        if (winner >= 0) {
            steps[count++] = {winner, winnerReversed};
            s[winner].reserved = 1;
            w = StateAfter(s[winner], winnerReversed);
            if (count >= limit)
                return -1;
            if (Near(w.x, w.y, s[k].x1, s[k].y1, tol))
                return count;
        } else {
            --count;
            if (count == 0)
                return 0;
            w = StateAfter(s[steps[count - 1].item], steps[count - 1].reversed);
        }
    }
}

// The pieces of a traced loop as one contour, for the inside test.
std::vector<BufferSegment> LoopPieces(const BufferSegment *s, const BoundaryStep *steps, int32_t count)
{
    std::vector<BufferSegment> out;
    out.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        out.push_back(s[steps[i].item]);
        out.back().contour = 0;
    }
    return out;
}

// Whether p lies inside the loop or on it.
bool LoopHolds(const std::vector<BufferSegment> &loop, double px, double py, double tol)
{
    for (const BufferSegment &piece : loop)
        if (PieceDistance(piece, px, py) <= tol)
            return true;
    return HatchPointInside(px, py, loop.data(), int32_t(loop.size()), 0) != 0;
}

// A point half way along a piece.
void PieceMiddle(const BufferSegment &s, double *x, double *y)
{
    switch (s.type) {
    case POLY_ITEM_ARC: {
        const double a = s.startAngle + ArcSweep(s) / 2;
        *x = s.cx + s.length * std::cos(a), *y = s.cy + s.length * std::sin(a);
        return;
    }
    case POLY_ITEM_BEZIER:
        *x = 0.125 * (s.x1 + 3 * s.c1x + 3 * s.c2x + s.x2);
        *y = 0.125 * (s.y1 + 3 * s.c1y + 3 * s.c2y + s.y2);
        return;
    default: *x = (s.x1 + s.x2) / 2, *y = (s.y1 + s.y2) / 2; return;
    }
}

bool MiddleInside(const BufferSegment &s, const std::vector<BufferSegment> &loop)
{
    double x, y;
    PieceMiddle(s, &x, &y);
    return HatchPointInside(x, y, loop.data(), int32_t(loop.size()), 0) != 0;
}

} // namespace

int PolyBuildSurface(BufferData *split, double px, double py, double tol)
{
    if (!split || !split->items || split->used < 2)
        return -1;
    BufferSegment *s = split->items;
    const int32_t n = split->used;
    const int32_t limit = int32_t(g_ObjectLimits.maxUnitPoints);
    auto *steps = reinterpret_cast<BoundaryStep *>(g_Uni2);
    // Start at the nearest piece joined at both ends. Its walk may go round
    // an island instead of the area that holds p: then the next nearest
    // piece outside the loops already walked is tried.
    std::vector<char> tried(size_t(n), 0);
    bool started = false;
    for (;;) {
        const int32_t k = NearestJoined(s, n, px, py, tol, tried, [](int32_t) { return true; });
        if (k < 0)
            return started ? 0 : -1;
        started = true;
        for (int32_t i = 0; i < n; ++i)
            s[i].reserved = Degenerate(s[i], tol) ? 1 : 0;
        const int32_t count = TraceLoop(s, n, k, px, py, tol, steps, limit);
        if (count < 0)
            return -1;
        if (count == 0)
            continue;
        if (LoopHolds(LoopPieces(s, steps, count), px, py, tol))
            return count;
        for (int32_t i = 0; i < count; ++i)
            tried[size_t(steps[i].item)] = 1;
    }
}

int PolyBuildSurfaceHoles(BufferData *split, double px, double py, double tol, int32_t outerCount,
                          std::vector<int32_t> *loops)
{
    BufferSegment *s = split->items;
    const int32_t n = split->used;
    const int32_t limit = int32_t(g_ObjectLimits.maxUnitPoints);
    auto *steps = reinterpret_cast<BoundaryStep *>(g_Uni2);
    loops->assign(1, outerCount);
    const std::vector<BufferSegment> outer = LoopPieces(s, steps, outerCount);
    // The pieces within the outline around p; each walked or enclosed piece drops out.
    std::vector<char> free(size_t(n), 0), tried(size_t(n), 0);
    for (int32_t i = 0; i < outerCount; ++i)
        tried[size_t(steps[i].item)] = 1;
    for (int32_t i = 0; i < n; ++i)
        free[size_t(i)] = !tried[size_t(i)] && !Degenerate(s[i], tol) && MiddleInside(s[i], outer);
    int32_t total = outerCount;
    for (;;) {
        const int32_t k = NearestJoined(s, n, px, py, tol, tried, [&](int32_t i) { return free[size_t(i)] != 0; });
        if (k < 0)
            return total;
        for (int32_t i = 0; i < n; ++i)
            s[i].reserved = free[size_t(i)] ? 0 : 1;
        BoundaryStep *hole = steps + total;
        const int32_t count = TraceLoop(s, n, k, px, py, tol, hole, limit - total);
        if (count < 0)
            return -1;
        if (count == 0)
            continue;
        for (int32_t i = 0; i < count; ++i)
            free[size_t(hole[i].item)] = 0, tried[size_t(hole[i].item)] = 1;
        const std::vector<BufferSegment> loop = LoopPieces(s, hole, count);
        if (LoopHolds(loop, px, py, tol))
            continue; // not a hole of p's area
        // What lies within the hole is no business of this area.
        for (int32_t i = 0; i < n; ++i)
            if (free[size_t(i)] && MiddleInside(s[i], loop))
                free[size_t(i)] = 0, tried[size_t(i)] = 1;
        total += count;
        loops->push_back(count);
    }
}

// ---------------------------------------------------------------------------
// Generating the surface.

namespace {

struct SurfaceBuffers {
    BufferData a{}, b{};
    ~SurfaceBuffers()
    {
        PolyBufferFree(&a);
        PolyBufferFree(&b);
    }
};

// Writes the traced boundary behind the unit header; false when it does not fit one unit.
bool WriteLoop(ChainWriter &w, uint32_t &points, const BufferData &split, const BoundaryStep *steps, int32_t count,
               double tol)
{
    const BufferSegment &first = split.items[steps[0].item];
    InitChainPoint(&w, POINT_START, first.x1, first.y1);
    double lastX = first.x1, lastY = first.y1;
    int32_t lastType = POLY_ITEM_LINE; // the start point counts as a line
    points += 1;
    for (int32_t i = 0; i < count; ++i) {
        const BufferSegment &s = split.items[steps[i].item];
        const bool rev = steps[i].reversed != 0;
        const double sx = rev ? s.x2 : s.x1, sy = rev ? s.y2 : s.y1;
        const double ex = rev ? s.x1 : s.x2, ey = rev ? s.y1 : s.y2;
        switch (s.type) {
        case POLY_ITEM_LINE:
            if (lastType == POLY_ITEM_LINE && Near(ex, ey, lastX, lastY, tol))
                continue;
            InitChainPoint(&w, POINT_LINE, ex, ey);
            points += 1;
            break;
        case POLY_ITEM_ARC: {
            if (lastType == POLY_ITEM_ARC && Near(ex, ey, lastX, lastY, tol))
                continue;
            const bool ccw = rev ? s.direction == 0 : s.direction != 0;
            InitChainPoint(&w, POINT_ARC_PIECE_END, ex, ey);
            InitChainCurve(&w, ccw ? 1.0 : -1.0, CalcCurvature(s.cx, s.cy, sx, sy, ex, ey));
            points += 2;
            break;
        }
        case POLY_ITEM_BEZIER:
            InitChainPoint(&w, POINT_CONTROL1, rev ? s.c2x : s.c1x, rev ? s.c2y : s.c1y);
            InitChainPoint(&w, POINT_CONTROL2, rev ? s.c1x : s.c2x, rev ? s.c1y : s.c2y);
            InitChainPoint(&w, POINT_LINE, ex, ey);
            points += 3;
            break;
        default: continue;
        }
        lastType = s.type, lastX = ex, lastY = ey;
        if (points > g_ObjectLimits.maxUnitPoints || w.failed ||
            w.position - UNIT_ELEMENTS_OBJECT > g_ObjectLimits.maxUnitData)
            return false;
    }
    return true;
}

// Writes the traced loops (the outline around the point, then its holes)
// behind the unit header; false when they do not fit one unit.
bool WriteBoundary(Unit *unit, const BufferData &split, const BoundaryStep *steps, const std::vector<int32_t> &loops,
                   double tol)
{
    ChainWriter w;
    InitChainBegin(&w, unit, g_ObjectLimits.scratchSize);
    uint32_t points = 0;
    for (int32_t count : loops) {
        if (!WriteLoop(w, points, split, steps, count, tol))
            return false;
        steps += count;
    }
    return InitChainEnd(&w) != 0;
}

} // namespace

int PolyGenerateSurface(uint32_t selector, double px, double py)
{
    const double tol = g_LocalData.surfaceTolerance;
    SurfaceBuffers buffers;
    if (!PolyBufferAlloc(&buffers.a, -1, 0))
        return 0;
    if (!PolyBufferAlloc(&buffers.b, -2, 0))
        return 0;
    // A full buffer keeps what it collected.
    PolyBufferAddSelected(&buffers.a, selector, 6);
    if (buffers.a.used < 1) {
        if (buffers.a.used == 0)
            AlertOk(g_MainWnd, eAlertTextSM[22]);
        return 0;
    }
    PolyBufferPrepare(&buffers.a, tol);
    if (!PolySplitItems(&buffers.a, &buffers.b, tol)) {
        AlertSM48(g_MainWnd);
        return 0;
    }
    PolyBufferFree(&buffers.a);
    if (buffers.b.used < 1) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    PolyBufferPrepare(&buffers.b, tol);
    ScratchUni2 uni2(__FILE__, __LINE__);
    if (!uni2)
        return 0;
    int32_t count = PolyBuildSurface(&buffers.b, px, py, tol);
    std::vector<int32_t> loops;
    if (count > 0)
        count = PolyBuildSurfaceHoles(&buffers.b, px, py, tol, count, &loops);
    if (count <= 0) {
        if (count < 0)
            AlertSM48(g_MainWnd);
        else
            AlertSM8(g_MainWnd);
        return 0;
    }
    ScratchUni1 uni1(__FILE__, __LINE__);
    if (!uni1)
        return 0;
    Unit *assembled = reinterpret_cast<Unit *>(g_Universal1);
    std::memset(assembled, 0, UNIT_ELEMENTS_OBJECT);
    assembled->kind = UNIT_KIND_OBJECT;
    assembled->object.type = OBJTYPE_SURFACE;
    assembled->object.reserved = OBJTYPE_RESERVED;
    if (!WriteBoundary(assembled, buffers.b, reinterpret_cast<const BoundaryStep *>(g_Uni2), loops, tol)) {
        AlertSM48(g_MainWnd);
        return 0;
    }
    Unit *unit = MemListNewCopyAfter(LIST_DRAWING, assembled, assembled->bytes, nullptr);
    if (!unit) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    ObjectInitHeaderFlags(unit, OBJTYPE_SURFACE);
    ObjectPropertyFromSlots(&unit->property, -1, g_DefaultLayers[DEFAULT_LAYER_SURFACE], 0);
    FrameCalcObject(unit, 0);
    std::memcpy(g_ChangedRect, unit->frame, sizeof g_ChangedRect);
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_DRAWING, selector, selector, 1); u; u = MemListNext(u))
            FrameUnion(g_ChangedRect, u->frame);
    }
    unit->flags |= UNIT_TEMPORARY;
    return 1;
}
