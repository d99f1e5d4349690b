// The pick index: a grid over the frames of the drawing's objects, so that a
// pick in a large drawing looks only at the objects near the pick point
// instead of walking the whole list. It is rebuilt at the first pick after
// any change of the list's links or of a frame (g_ObjectListGeneration).
#include <algorithm>
#include <cmath>
#include <vector>

#include "database/object_ident.h"
#include "database/storage.h"

namespace {

// Smaller lists are walked: the walk is as fast as a lookup there.
constexpr uint32_t PICK_INDEX_MIN_UNITS = 20000;
constexpr double UNITS_PER_CELL = 4.0;
constexpr int MAX_CELLS_PER_SIDE = 2048;
// A unit covering more cells than this is tested at every pick instead.
constexpr int64_t MAX_CELLS_PER_UNIT = 16;
// A box covering more cells than this is answered by the walk.
constexpr int64_t MAX_CELLS_PER_QUERY = 4096;
constexpr double BOUNDED = 1e100;

struct PickIndex {
    uint32_t generation = 0;
    Unit *head = nullptr, *tail = nullptr;
    uint32_t count = 0;
    bool built = false;
    double x0 = 0, y0 = 0, cellWidth = 1, cellHeight = 1;
    int nx = 0, ny = 0;
    std::vector<Unit *> units;      // in list order
    std::vector<uint32_t> start;    // per cell, into entries; one more at the end
    std::vector<uint32_t> entries;  // unit numbers by cell
    std::vector<uint32_t> always;   // units tested at every pick (unbounded or very large)
    std::vector<uint32_t> seen;     // per unit: the query that last took it
    uint32_t query = 0;
};
PickIndex s_Index;

bool Bounded(const double *f)
{
    return f[0] <= f[2] && f[1] <= f[3] && f[0] >= -BOUNDED && f[2] <= BOUNDED && f[1] >= -BOUNDED &&
           f[3] <= BOUNDED;
}

bool Empty(const double *f) { return f[0] > f[2] || f[1] > f[3]; }

int CellX(double x)
{
    const double c = std::floor((x - s_Index.x0) / s_Index.cellWidth);
    return c < 0 ? 0 : c >= s_Index.nx ? s_Index.nx - 1 : static_cast<int>(c);
}

int CellY(double y)
{
    const double c = std::floor((y - s_Index.y0) / s_Index.cellHeight);
    return c < 0 ? 0 : c >= s_Index.ny ? s_Index.ny - 1 : static_cast<int>(c);
}

bool Stale()
{
    const ObjectList &l = g_ObjectLists[LIST_DRAWING];
    return !s_Index.built || s_Index.generation != g_ObjectListGeneration || s_Index.head != l.head ||
           s_Index.tail != l.tail || s_Index.count != l.count;
}

void Build()
{
    PickIndex &x = s_Index;
    const ObjectList &l = g_ObjectLists[LIST_DRAWING];
    x = PickIndex{};
    x.generation = g_ObjectListGeneration;
    x.head = l.head, x.tail = l.tail, x.count = l.count;
    x.built = true;
    if (l.count < PICK_INDEX_MIN_UNITS)
        return;
    double box[4] = {BOUNDED, BOUNDED, -BOUNDED, -BOUNDED};
    x.units.reserve(l.count);
    for (Unit *u = l.head; u; u = u->next) {
        x.units.push_back(u);
        if (Bounded(u->frame)) {
            box[0] = std::min(box[0], u->frame[0]), box[1] = std::min(box[1], u->frame[1]);
            box[2] = std::max(box[2], u->frame[2]), box[3] = std::max(box[3], u->frame[3]);
        }
    }
    const int side = static_cast<int>(std::ceil(std::sqrt(x.units.size() / UNITS_PER_CELL)));
    x.nx = x.ny = std::max(1, std::min(side, MAX_CELLS_PER_SIDE));
    x.x0 = box[0], x.y0 = box[1];
    x.cellWidth = box[2] > box[0] ? (box[2] - box[0]) / x.nx : 1.0;
    x.cellHeight = box[3] > box[1] ? (box[3] - box[1]) / x.ny : 1.0;
    const size_t cells = static_cast<size_t>(x.nx) * x.ny;
    x.start.assign(cells + 1, 0);
    // Counts per cell, then the cells' entries in unit order.
    auto forCells = [&](uint32_t n, auto visit) {
        const double *f = x.units[n]->frame;
        if (Empty(f))
            return;
        if (!Bounded(f)) {
            x.always.push_back(n);
            return;
        }
        const int ix0 = CellX(f[0]), ix1 = CellX(f[2]), iy0 = CellY(f[1]), iy1 = CellY(f[3]);
        if (static_cast<int64_t>(ix1 - ix0 + 1) * (iy1 - iy0 + 1) > MAX_CELLS_PER_UNIT) {
            x.always.push_back(n);
            return;
        }
        for (int iy = iy0; iy <= iy1; ++iy)
            for (int ix = ix0; ix <= ix1; ++ix)
                visit(static_cast<size_t>(iy) * x.nx + ix);
    };
    for (uint32_t n = 0; n < x.units.size(); ++n)
        forCells(n, [&](size_t cell) { ++x.start[cell + 1]; });
    for (size_t c = 0; c < cells; ++c)
        x.start[c + 1] += x.start[c];
    x.entries.resize(x.start[cells]);
    std::vector<uint32_t> fill(x.start.begin(), x.start.end() - 1);
    x.always.clear();
    for (uint32_t n = 0; n < x.units.size(); ++n)
        forCells(n, [&](size_t cell) { x.entries[fill[cell]++] = n; });
    x.seen.assign(x.units.size(), 0);
}

} // namespace

bool ObjectPickCandidates(const double box[4], std::vector<Unit *> *out)
{
    if (Stale())
        Build();
    PickIndex &x = s_Index;
    if (x.units.empty())
        return false;
    const int ix0 = CellX(box[0]), ix1 = CellX(box[2]), iy0 = CellY(box[1]), iy1 = CellY(box[3]);
    if (static_cast<int64_t>(ix1 - ix0 + 1) * (iy1 - iy0 + 1) > MAX_CELLS_PER_QUERY)
        return false;
    if (++x.query == 0) { // the marks wrapped around: start them afresh
        std::fill(x.seen.begin(), x.seen.end(), 0);
        x.query = 1;
    }
    std::vector<uint32_t> found;
    auto take = [&](uint32_t n) {
        if (x.seen[n] != x.query) {
            x.seen[n] = x.query;
            found.push_back(n);
        }
    };
    for (int iy = iy0; iy <= iy1; ++iy)
        for (int ix = ix0; ix <= ix1; ++ix) {
            const size_t cell = static_cast<size_t>(iy) * x.nx + ix;
            for (uint32_t e = x.start[cell]; e < x.start[cell + 1]; ++e)
                take(x.entries[e]);
        }
    for (uint32_t n : x.always)
        take(n);
    std::sort(found.begin(), found.end());
    out->clear();
    for (uint32_t n : found)
        out->push_back(x.units[n]);
    return true;
}
