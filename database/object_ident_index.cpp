// The pick index: a grid over the frames of the drawing's objects, so that a
// pick, a snap or a repaint of a small area in a large drawing looks only at
// the objects near it instead of walking the whole list. The list code and
// the frame computations tell it about every unit linked, unlinked or given
// a new frame, and it moves that unit's cells alone: an edit costs as much
// in a large drawing as in a small one. It is built whole only when the
// list was replaced or emptied, or grew or shrank past what its grid was
// sized for.
#include <algorithm>
#include <cmath>
#include <unordered_map>
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
// The grid is sized again when the list grew or shrank this many times over.
constexpr uint32_t REGRID_FACTOR = 4;
// List-order keys: units built into the index lie this far apart, so that
// units linked between two of them find a key between theirs.
constexpr int64_t KEY_GAP = int64_t(1) << 24;
constexpr int64_t FIRST_KEY = int64_t(1) << 50;
// Cell ranges of units not in the grid.
constexpr int16_t IN_NO_CELL = -1;  // empty frame
constexpr int16_t IN_ALWAYS = -2;   // unbounded or very large frame

struct Entry {
    int64_t key; // list order
    Unit *unit;
};

struct Slot {
    int64_t key;
    int16_t x0, y0, x1, y1; // cells covered; x0 IN_NO_CELL or IN_ALWAYS
};

struct PickIndex {
    bool built = false;  // follows the list
    bool active = false; // the list was large enough to be served
    Unit *head = nullptr, *tail = nullptr;
    uint32_t count = 0, builtCount = 0;
    uint32_t outside = 0; // units placed beyond the grid's box since the build
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0, cellWidth = 1, cellHeight = 1;
    int nx = 0, ny = 0;
    std::vector<std::vector<Entry>> cells;
    std::vector<Entry> always; // units tested at every pick
    std::vector<Entry> empty;  // units whose frames are empty, in no cell
    std::unordered_map<Unit *, Slot> slots;
};
PickIndex s_Index;

bool Bounded(const double *f)
{
    return f[0] <= f[2] && f[1] <= f[3] && f[0] >= -BOUNDED && f[2] <= BOUNDED && f[1] >= -BOUNDED &&
           f[3] <= BOUNDED;
}

// A frame no box can meet (the empty frame): in no cell. Other frames that
// are not bounded, inverted ones too, are tested at every question, as the
// walk would test them.
bool Empty(const double *f) { return f[0] > BOUNDED || f[1] > BOUNDED || f[2] < -BOUNDED || f[3] < -BOUNDED; }

int CellX(double x)
{
    const double c = std::floor((x - s_Index.x0) / s_Index.cellWidth);
    return !(c >= 0) ? 0 : c >= s_Index.nx ? s_Index.nx - 1 : static_cast<int>(c);
}

int CellY(double y)
{
    const double c = std::floor((y - s_Index.y0) / s_Index.cellHeight);
    return !(c >= 0) ? 0 : c >= s_Index.ny ? s_Index.ny - 1 : static_cast<int>(c);
}

std::vector<Entry> &Cell(int ix, int iy) { return s_Index.cells[static_cast<size_t>(iy) * s_Index.nx + ix]; }

void EraseFrom(std::vector<Entry> &v, const Unit *u)
{
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i].unit == u) {
            v[i] = v.back();
            v.pop_back();
            return;
        }
}

// Puts the unit into the cells its frame covers and notes them in its slot.
void Place(Unit *u, Slot *slot)
{
    PickIndex &x = s_Index;
    const double *f = u->frame;
    if (Empty(f)) {
        slot->x0 = IN_NO_CELL;
        x.empty.push_back(Entry{slot->key, u});
        return;
    }
    if (Bounded(f)) {
        const int ix0 = CellX(f[0]), ix1 = CellX(f[2]), iy0 = CellY(f[1]), iy1 = CellY(f[3]);
        if (static_cast<int64_t>(ix1 - ix0 + 1) * (iy1 - iy0 + 1) <= MAX_CELLS_PER_UNIT) {
            *slot = Slot{slot->key, int16_t(ix0), int16_t(iy0), int16_t(ix1), int16_t(iy1)};
            for (int iy = iy0; iy <= iy1; ++iy)
                for (int ix = ix0; ix <= ix1; ++ix)
                    Cell(ix, iy).push_back(Entry{slot->key, u});
            if (f[0] < x.x0 || f[1] < x.y0 || f[2] > x.x1 || f[3] > x.y1)
                ++x.outside;
            return;
        }
    }
    slot->x0 = IN_ALWAYS;
    x.always.push_back(Entry{slot->key, u});
}

void Unplace(const Unit *u, const Slot &slot)
{
    if (slot.x0 == IN_NO_CELL) {
        EraseFrom(s_Index.empty, u);
        return;
    }
    if (slot.x0 == IN_ALWAYS) {
        EraseFrom(s_Index.always, u);
        return;
    }
    for (int iy = slot.y0; iy <= slot.y1; ++iy)
        for (int ix = slot.x0; ix <= slot.x1; ++ix)
            EraseFrom(Cell(ix, iy), u);
}

void Remember()
{
    const ObjectList &l = g_ObjectLists[LIST_DRAWING];
    s_Index.head = l.head, s_Index.tail = l.tail, s_Index.count = l.count;
}

void Build()
{
    PickIndex &x = s_Index;
    const ObjectList &l = g_ObjectLists[LIST_DRAWING];
    x = PickIndex{};
    x.built = true;
    x.builtCount = l.count;
    Remember();
    if (l.count < PICK_INDEX_MIN_UNITS)
        return;
    x.active = true;
    ++g_ObjectIndexBuilds;
    double box[4] = {BOUNDED, BOUNDED, -BOUNDED, -BOUNDED};
    for (Unit *u = l.head; u; u = u->next)
        if (Bounded(u->frame)) {
            box[0] = std::min(box[0], u->frame[0]), box[1] = std::min(box[1], u->frame[1]);
            box[2] = std::max(box[2], u->frame[2]), box[3] = std::max(box[3], u->frame[3]);
        }
    const int side = static_cast<int>(std::ceil(std::sqrt(l.count / UNITS_PER_CELL)));
    x.nx = x.ny = std::max(1, std::min(side, MAX_CELLS_PER_SIDE));
    x.x0 = box[0], x.y0 = box[1], x.x1 = box[2], x.y1 = box[3];
    x.cellWidth = box[2] > box[0] ? (box[2] - box[0]) / x.nx : 1.0;
    x.cellHeight = box[3] > box[1] ? (box[3] - box[1]) / x.ny : 1.0;
    x.cells.resize(static_cast<size_t>(x.nx) * x.ny);
    x.slots.reserve(l.count);
    int64_t key = FIRST_KEY;
    for (Unit *u = l.head; u; u = u->next, key += KEY_GAP) {
        Slot &slot = x.slots[u];
        slot.key = key;
        Place(u, &slot);
    }
    x.outside = 0;
}

void Drop() { s_Index = PickIndex{}; }

// Whether the index no longer follows the list (something changed it behind
// the notes) or its grid no longer fits the list.
bool Stale()
{
    const PickIndex &x = s_Index;
    const ObjectList &l = g_ObjectLists[LIST_DRAWING];
    if (!x.built || x.head != l.head || x.tail != l.tail || x.count != l.count)
        return true;
    if (!x.active)
        return l.count >= PICK_INDEX_MIN_UNITS;
    return l.count > REGRID_FACTOR * x.builtCount || l.count < x.builtCount / REGRID_FACTOR ||
           x.outside > std::max<uint32_t>(PICK_INDEX_MIN_UNITS, l.count / REGRID_FACTOR);
}

bool Follows() { return s_Index.built && s_Index.active; }

// The list-order key of a unit just linked between its neighbours; false
// when there is no room between them.
bool KeyBetween(const Unit *u, int64_t *key)
{
    const auto &slots = s_Index.slots;
    const auto prev = u->prev ? slots.find(u->prev) : slots.end();
    const auto next = u->next ? slots.find(u->next) : slots.end();
    if ((u->prev && prev == slots.end()) || (u->next && next == slots.end()))
        return false;
    if (!u->prev && !u->next)
        *key = FIRST_KEY;
    else if (!u->next)
        *key = prev->second.key + KEY_GAP;
    else if (!u->prev)
        *key = next->second.key - KEY_GAP;
    else
        *key = prev->second.key + (next->second.key - prev->second.key) / 2;
    return (!u->prev || *key > prev->second.key) && (!u->next || *key < next->second.key);
}

} // namespace

uint32_t g_ObjectIndexBuilds = 0;

void ObjectIndexNoteLinked(Unit *unit)
{
    if (!Follows())
        return;
    int64_t key;
    if (!KeyBetween(unit, &key)) {
        Drop(); // built again at the next question
        return;
    }
    Slot &slot = s_Index.slots[unit];
    slot.key = key;
    Place(unit, &slot);
    Remember();
}

void ObjectIndexNoteUnlinked(Unit *unit)
{
    if (!Follows())
        return;
    const auto it = s_Index.slots.find(unit);
    if (it != s_Index.slots.end()) {
        Unplace(unit, it->second);
        s_Index.slots.erase(it);
    }
    Remember();
}

void ObjectIndexNoteFrame(Unit *unit)
{
    if (!Follows())
        return;
    const auto it = s_Index.slots.find(unit);
    if (it == s_Index.slots.end())
        return; // not in the drawing's list
    Unplace(unit, it->second);
    Place(unit, &it->second);
}

void ObjectIndexForget() { Drop(); }

bool ObjectIndexIsCurrent() { return Follows() && !Stale(); }

bool ObjectSortInListOrder(std::vector<Unit *> *units)
{
    // An index that no longer follows the list is built again only by a question.
    if (!ObjectIndexIsCurrent())
        return false;
    std::vector<Entry> keyed;
    keyed.reserve(units->size());
    for (Unit *u : *units) {
        const auto it = s_Index.slots.find(u);
        if (it == s_Index.slots.end())
            return false;
        keyed.push_back(Entry{it->second.key, u});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Entry &a, const Entry &b) { return a.key < b.key; });
    for (size_t i = 0; i < keyed.size(); ++i)
        (*units)[i] = keyed[i].unit;
    return true;
}

bool ObjectEmptyFrameUnits(std::vector<Unit *> *out)
{
    out->clear();
    if (!ObjectIndexIsCurrent())
        return false;
    for (const Entry &e : s_Index.empty)
        out->push_back(e.unit);
    return true;
}

bool ObjectPickCandidates(const double box[4], std::vector<Unit *> *out)
{
    if (Stale())
        Build();
    PickIndex &x = s_Index;
    if (!x.active)
        return false;
    const int ix0 = CellX(box[0]), ix1 = CellX(box[2]), iy0 = CellY(box[1]), iy1 = CellY(box[3]);
    if (static_cast<int64_t>(ix1 - ix0 + 1) * (iy1 - iy0 + 1) > MAX_CELLS_PER_QUERY)
        return false;
    std::vector<Entry> found;
    for (int iy = iy0; iy <= iy1; ++iy)
        for (int ix = ix0; ix <= ix1; ++ix) {
            const std::vector<Entry> &cell = Cell(ix, iy);
            found.insert(found.end(), cell.begin(), cell.end());
        }
    found.insert(found.end(), x.always.begin(), x.always.end());
    std::sort(found.begin(), found.end(), [](const Entry &a, const Entry &b) { return a.key < b.key; });
    out->clear();
    for (size_t i = 0; i < found.size(); ++i)
        if (i == 0 || found[i].unit != found[i - 1].unit)
            out->push_back(found[i].unit);
    return true;
}
