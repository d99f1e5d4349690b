// Selection, marks and extents: plain walks over one object list that change
// flag bits only, so none of them needs an undo step.
#include "database/object_select.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "app/system.h"
#include "app/window.h"
#include "commands/command_state.h"
#include "database/object.h"
#include "database/object_ident.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "display/output.h"
#include "geometry/calc.h"
#include "geometry/frame.h"

namespace {

int32_t &ObjectsSelected() { return g_CommandState->objectsSelected; }
int32_t &PointsSelected() { return g_CommandState->pointsSelected; }

constexpr uint32_t NO_FILTER = 0;
constexpr uint32_t ALIVE = 1;
constexpr uint32_t ALL_LIFETIMES = 0;
// Frames beyond this stand for an unbounded extent in the rectangle selection.
constexpr double SELECT_BOUNDED = 1e100;
constexpr double GEO_LINE_FLAT = 1e-10;

// Selection-filter classes.
constexpr uint32_t FILTER_CLASS_OBJECTS = 0x1;
constexpr uint32_t FILTER_CLASS_INSTANCES = 0x2;
constexpr uint32_t FILTER_CLASS_GROUPS = 0x4;
constexpr uint32_t FILTER_CLASS_POSITIONS = 0x8;
constexpr uint32_t FILTER_CLASS_PLUGIN = 0x10;
// Property mask bits, in the order they are compared.
constexpr uint32_t FILTER_PEN = 0x1, FILTER_FILL = 0x2, FILTER_COLOR1 = 0x4, FILTER_COLOR2 = 0x8,
                   FILTER_WIDTH = 0x10, FILTER_LINETYPE = 0x20, FILTER_LAYER = 0x40, FILTER_CAPJOIN = 0x80;

// The modify walks, the count, the deselection and the redraw of the
// selection find the toggled units among the undo notes.
void Toggle(Unit *u)
{
    u->flags = (u->flags ^ UNIT_SELECTED) | UNIT_SELECTION_REDRAW;
    UndoNoteUnit(u);
}

void TogglePoint(Element *e)
{
    e->pointFlags = static_cast<uint16_t>((e->pointFlags ^ POINT_SELECTED) | POINT_REDRAW);
}

bool IsGeoType(const Unit *u)
{
    return u->kind == UNIT_KIND_OBJECT && u->object.type >= OBJTYPE_GEO_LINE && u->object.type <= OBJTYPE_GEO_ELLI;
}

bool HasPoints(const Unit *u) { return u->kind == UNIT_KIND_OBJECT || u->kind == UNIT_KIND_PLUGIN; }

// Every element of a unit's chain, the end element included.
template <typename Visit>
void ForEachElement(Unit *u, Visit visit)
{
    const uint8_t *end = reinterpret_cast<uint8_t *>(u) + u->bytes;
    for (Element *e = UnitFirstElement(u); reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end;
         e = ElementNext(e)) {
        visit(e);
        if (e->kind == ELEM_END || e->size < ELEMENT_HEADER_SIZE)
            break;
    }
}

template <typename Visit>
void ForEachPoint(Unit *u, Visit visit)
{
    ForEachElement(u, [&](Element *e) {
        if (ElementIsPoint(e) && e->size >= ELEM_SIZE_POINT)
            visit(reinterpret_cast<ElementPoint *>(e));
    });
}

// Bit 0x8 follows the object's selected points; 0x20 when one was toggled.
void SettlePoints(Unit *u, bool toggled)
{
    ObjectUpdatePointFlag(u);
    if (u->flags & UNIT_POINTS_SELECTED)
        PointsSelected() = 1;
    if (toggled) {
        u->flags |= UNIT_SELECTION_REDRAW;
        UndoNoteUnit(u);
    }
}

void Widen(double rect[4], const double *f)
{
    if (f[0] != -FRAME_INFINITE)
        rect[0] = std::min(rect[0], f[0]);
    if (f[1] != -FRAME_INFINITE)
        rect[1] = std::min(rect[1], f[1]);
    if (f[2] != FRAME_INFINITE)
        rect[2] = std::max(rect[2], f[2]);
    if (f[3] != FRAME_INFINITE)
        rect[3] = std::max(rect[3], f[3]);
}

int Extents(int list, uint32_t mask, uint32_t skip)
{
    double rect[4];
    FrameSetEmpty(rect);
    int count = 0;
    for (Unit *u = MemListFirst(list, mask, mask, ALIVE); u; u = MemListNext(u)) {
        if (u->flags & skip)
            continue;
        ++count;
        Widen(rect, u->frame);
    }
    std::memcpy(g_ExtentsRect, rect, sizeof rect);
    return count;
}

bool BlockNameStarts(const Unit *u, const char *prefix)
{
    return u->instance.library[0] == '*' && std::strncmp(u->instance.block, prefix, 2) == 0;
}

bool PassesProperties(const SelectionFilter &f, const XProperty &r)
{
    const XProperty &v = f.values;
    const uint32_t m = f.propertyMask;
    return !((m & FILTER_PEN) && r.pen != v.pen) && !((m & FILTER_FILL) && r.fillMode != v.fillMode) &&
           !((m & FILTER_COLOR1) && r.color1 != v.color1) && !((m & FILTER_COLOR2) && r.color2 != v.color2) &&
           !((m & FILTER_WIDTH) && r.width != v.width) && !((m & FILTER_LINETYPE) && r.lineType != v.lineType) &&
           !((m & FILTER_LAYER) && r.layer != v.layer) && !((m & FILTER_CAPJOIN) && r.capJoin != v.capJoin);
}

// Toggles every walked unit of the group that passes the filter and shares a
// bit with mask (all when mask is 0).
template <typename Group>
int SelectGroup(uint32_t mask, uint32_t walkMask, Group inGroup)
{
    int any = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, walkMask, 0, ALIVE); u; u = MemListNext(u)) {
        if (inGroup(u) && (mask == 0 || (u->flags & mask)) && ObjectPassesSelectionFilter(u)) {
            Toggle(u);
            any = 1;
        }
        if (u->flags & UNIT_SELECTED)
            ObjectsSelected() = 1;
    }
    return any;
}

bool PlainOfTypes(const Unit *u, std::initializer_list<std::pair<int32_t, int32_t>> ranges)
{
    if (u->kind != UNIT_KIND_OBJECT)
        return false;
    for (const auto &r : ranges)
        if (u->object.type >= r.first && u->object.type <= r.second)
            return true;
    return false;
}

// A construction line crosses the rectangle (borders included).
bool GeoLineCrosses(Unit *u, double xmin, double ymin, double xmax, double ymax)
{
    const Element *a = UnitElementAt(u, 1), *b = a ? UnitElementAt(u, 2) : nullptr;
    if (!a || !b || !ElementIsPoint(a) || !ElementIsPoint(b))
        return false;
    const auto *p = reinterpret_cast<const ElementPoint *>(a);
    const auto *q = reinterpret_cast<const ElementPoint *>(b);
    const double dx = q->x - p->x, dy = q->y - p->y;
    if (std::fabs(dy) < GEO_LINE_FLAT)
        return ymin <= p->y && p->y <= ymax;
    if (std::fabs(dx) < GEO_LINE_FLAT)
        return xmin <= p->x && p->x <= xmax;
    const double xa = (ymin - p->y) * dx / dy + p->x, xb = (ymax - p->y) * dx / dy + p->x;
    return std::max(xa, xb) >= xmin && std::min(xa, xb) <= xmax;
}

// The rectangle {xmin, ymin, xmax, ymax} is passed by address: this runs
// for every object of the drawing, and doubles by value cost a copy each.
bool RectangleAccepts(Unit *u, const double *r)
{
    const double *f = u->frame;
    if (g_DrawingSettings.displayAreas)
        return f[2] <= r[2] && f[0] >= r[0] && f[3] <= r[3] && f[1] >= r[1];
    if (f[0] > r[2] || f[2] < r[0] || f[1] > r[3] || f[3] < r[1])
        return false;
    if (u->kind == UNIT_KIND_OBJECT && u->object.type == OBJTYPE_GEO_LINE && GeoLineCrosses(u, r[0], r[1], r[2], r[3]))
        return true;
    return f[0] >= -SELECT_BOUNDED && f[2] <= SELECT_BOUNDED && f[1] >= -SELECT_BOUNDED && f[3] <= SELECT_BOUNDED;
}

} // namespace

double ObjectPickRadius(int window, int32_t pixels)
{
    const DrawWindow *w = WindowGetRecord(window);
    const double scale = w && w->pixelsPerMm > 0.0 ? w->pixelsPerMm : 1.0;
    return pixels / scale;
}

int ObjectPassesSelectionFilter(Unit *unit)
{
    const SelectionFilter &f = g_CommandDefaults.filter;
    if (f.enabled) {
        if (unit->kind == UNIT_KIND_OBJECT) {
            if (!(f.classFlags & FILTER_CLASS_OBJECTS))
                return 0;
            const int32_t type = unit->object.type;
            if (type >= 0 && type < SELECTION_FILTER_TYPES && !f.typeFlags[type])
                return 0;
        } else if (unit->kind == UNIT_KIND_INSTANCE) {
            const uint32_t cls = BlockNameStarts(unit, "#G")   ? FILTER_CLASS_GROUPS
                                 : BlockNameStarts(unit, "#P") ? FILTER_CLASS_POSITIONS
                                                               : FILTER_CLASS_INSTANCES;
            if (!(f.classFlags & cls))
                return 0;
        } else if (unit->kind == UNIT_KIND_PLUGIN) {
            if (!(f.classFlags & FILTER_CLASS_PLUGIN))
                return 0;
        }
    }
    const XProperty defaults = OutputDefaultXProperty();
    XProperty resolved;
    if (!OutputResolveXProperty(&unit->property, &defaults, &resolved))
        return 0;
    if (f.enabled && f.propertyMask && !PassesProperties(f, resolved))
        return 0;
    return 1;
}

int ObjectExtentsVisible(int list, uint32_t mask) { return Extents(list, mask, UNIT_HIDDEN); }

int ObjectExtentsPrintable(int list, uint32_t mask) { return Extents(list, mask, UNIT_NOT_PRINTABLE); }

namespace {

// One unit of the selection extents: the selection of a locked or hidden
// unit goes, a selected one is marked, another loses its mark; true when it
// carries the mask. The units that carry a flag are noted already.
bool ExtentsVisit(Unit *u, uint32_t mask)
{
    if (u->flags & UNIT_SELECTED)
        ObjectsSelected() = 1;
    if (u->flags & UNIT_USER_FILTER_MASK)
        u->flags &= ~UNIT_SELECTED;
    else if (u->flags & UNIT_SELECTED)
        u->flags |= UNIT_MARKED;
    else
        u->flags &= ~UNIT_MARKED;
    return (u->flags & mask) == mask;
}

} // namespace

int ObjectExtentsSelected(int list, uint32_t mask)
{
    ObjectsSelected() = 0;
    double rect[4];
    FrameSetEmpty(rect);
    int count = 0;
    auto visit = [&](Unit *u) {
        if (ExtentsVisit(u, mask)) {
            ++count;
            Widen(rect, u->frame);
        }
    };
    // In the drawing only the flagged units can carry the mask, or lose a mark.
    if (list == LIST_DRAWING && mask && !(mask & ~UNDO_NOTED_FLAGS)) {
        UndoForEachFlagged([&](Unit *u) {
            if (UndoIsVisible(u, g_UndoStep))
                visit(u);
        });
    } else {
        for (Unit *u = MemListFirst(list, NO_FILTER, 0, ALIVE); u; u = MemListNext(u)) {
            visit(u);
            // Also what a plug-in selected or marked by its flag word.
            if (list == LIST_DRAWING)
                UndoNoteFlagged(u);
        }
        if (list == LIST_DRAWING)
            UndoForeignFlagsNoted();
    }
    std::memcpy(g_ExtentsRect, rect, sizeof rect);
    return count;
}

void ObjectMarkByMask(int list, uint32_t mask)
{
    for (Unit *u = MemListFirst(list, NO_FILTER, 0, ALIVE); u; u = MemListNext(u)) {
        u->flags = (u->flags & mask) ? u->flags | UNIT_MARKED : u->flags & ~UNIT_MARKED;
        if (list == LIST_DRAWING && (u->flags & UNIT_MARKED))
            UndoNoteUnit(u);
    }
}

void ObjectMarkCreatedInStep()
{
    for (Unit *u = MemListFirst(LIST_DRAWING, NO_FILTER, 0, ALL_LIFETIMES); u; u = MemListNext(u)) {
        const bool created = u->birth == g_UndoStep && u->death == UNIT_DEATH_ALIVE;
        u->flags = created ? u->flags | UNIT_MARKED : u->flags & ~UNIT_MARKED;
        if (created)
            UndoNoteUnit(u);
    }
}

int ObjectDeselectAll()
{
    ObjectsSelected() = 0;
    int any = 0;
    auto deselect = [&](Unit *u) {
        if (!(u->flags & UNIT_SELECTED))
            return;
        u->flags &= ~UNIT_SELECTED;
        if (!(u->flags & UNIT_USER_FILTER_MASK)) {
            u->flags |= UNIT_SELECTION_REDRAW;
            any = 1;
        }
    };
    // The unit stays noted while it carries the redraw mark.
    UndoForEachFlagged(deselect);
    return any;
}

int ObjectSelectionReset()
{
    ObjectsSelected() = 0;
    int any = 0;
    UndoForEachFlagged([&](Unit *u) {
        if (u->flags & UNIT_SELECTED)
            any = 1;
        u->flags &= ~(UNIT_SELECTED | UNIT_SELECTION_REDRAW);
    });
    return any;
}

int ObjectSelectByMask(uint32_t mask, int includeLocked)
{
    return SelectGroup(mask, includeLocked ? UNIT_HIDDEN : UNIT_USER_FILTER_MASK, [](const Unit *) { return true; });
}

int ObjectSelectAnnotations(uint32_t mask)
{
    return SelectGroup(mask, UNIT_USER_FILTER_MASK, [](const Unit *u) {
        return u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN ||
               PlainOfTypes(u, {{OBJTYPE_DIM_DIST, OBJTYPE_DIM_PERI},
                                {OBJTYPE_STD_TEXT, OBJTYPE_REF_TEXT},
                                {OBJTYPE_COMMENT, OBJTYPE_COMMENT}});
    });
}

int ObjectSelectTexts(uint32_t mask)
{
    return SelectGroup(mask, UNIT_USER_FILTER_MASK, [](const Unit *u) {
        return PlainOfTypes(u, {{OBJTYPE_STD_TEXT, OBJTYPE_REF_TEXT}, {OBJTYPE_COMMENT, OBJTYPE_COMMENT}});
    });
}

int ObjectSelectDimAndLines(uint32_t mask)
{
    return SelectGroup(mask, UNIT_USER_FILTER_MASK, [](const Unit *u) {
        return PlainOfTypes(u, {{OBJTYPE_LINE_STR, OBJTYPE_LINE_CURVED}, {OBJTYPE_DIM_DIST, OBJTYPE_DIM_PERI}});
    });
}

int ObjectSelectDims(uint32_t mask)
{
    return SelectGroup(mask, UNIT_USER_FILTER_MASK,
                       [](const Unit *u) { return PlainOfTypes(u, {{OBJTYPE_DIM_DIST, OBJTYPE_DIM_PERI}}); });
}

int ObjectSelectComments(uint32_t mask)
{
    return SelectGroup(mask, UNIT_USER_FILTER_MASK,
                       [](const Unit *u) { return PlainOfTypes(u, {{OBJTYPE_COMMENT, OBJTYPE_COMMENT}}); });
}

int ObjectSelectInstances(uint32_t mask)
{
    return SelectGroup(mask, UNIT_USER_FILTER_MASK,
                       [](const Unit *u) { return u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN; });
}

int ObjectSelectByRectangle(double x1, double y1, double x2, double y2, int skipMark, int includeLocked)
{
    const double box[4] = {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    const uint32_t walkMask = includeLocked ? UNIT_HIDDEN : UNIT_USER_FILTER_MASK;
    // An object is taken when its frame meets the rectangle, or lies inside
    // it, which an empty frame does: a built pick index finds those near a
    // small rectangle, in any drawing, and knows the empty frames. Else the
    // list is walked. One loop serves both, so that the test per object,
    // which runs for every object of the walk, stays inline.
    std::vector<Unit *> nearby, empty;
    const bool indexed =
        ObjectIndexIsCurrent() && ObjectPickCandidates(box, &nearby) && ObjectEmptyFrameUnits(&empty);
    nearby.insert(nearby.end(), empty.begin(), empty.end());
    size_t next = 0;
    auto following = [&](Unit *u) -> Unit * {
        if (!indexed)
            return MemListNext(u);
        return next < nearby.size() ? nearby[next++] : nullptr;
    };
    int any = 0;
    for (Unit *u = indexed ? following(nullptr) : MemListFirst(LIST_DRAWING, walkMask, 0, ALIVE); u;
         u = following(u)) {
        if (indexed && ((u->flags & walkMask) || !UndoIsVisible(u, g_UndoStep)))
            continue;
        if (skipMark >= 0 && static_cast<int>(u->flags & UNIT_USER_MARK) == skipMark)
            continue;
        if (!RectangleAccepts(u, box) || !ObjectPassesSelectionFilter(u))
            continue;
        Toggle(u);
        any = 1;
        if (u->flags & UNIT_SELECTED)
            ObjectsSelected() = 1;
    }
    return any;
}

int ObjectSelectByIdent(int32_t ident)
{
    Unit *u = UndoFindIdent(ident);
    if (!u || !ObjectPassesSelectionFilter(u))
        return 0;
    Toggle(u);
    if (u->flags & UNIT_SELECTED)
        ObjectsSelected() = 1;
    return 1;
}

// ---------------------------------------------------------------------------
// Points.

void ObjectUpdatePointSelection()
{
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, ALIVE); u; u = MemListNext(u)) {
        if (!HasPoints(u))
            continue;
        bool any = false;
        ForEachPoint(u, [&](ElementPoint *p) {
            uint16_t &f = p->head.pointFlags;
            const bool selected = (f & POINT_SELECTED) != 0;
            f = static_cast<uint16_t>(selected ? f | POINT_MARKED : f & ~POINT_MARKED);
            any = any || selected;
        });
        u->flags = any ? u->flags | UNIT_POINTS_SELECTED : u->flags & ~UNIT_POINTS_SELECTED;
    }
}

int ObjectDeselectAllPoints()
{
    PointsSelected() = 0;
    int any = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, NO_FILTER, 0, ALL_LIFETIMES); u; u = MemListNext(u)) {
        if (!HasPoints(u))
            continue;
        const bool quiet = (u->flags & UNIT_USER_FILTER_MASK) != 0;
        bool had = false;
        ForEachPoint(u, [&](ElementPoint *p) {
            uint16_t &f = p->head.pointFlags;
            if (!(f & POINT_SELECTED))
                return;
            f = static_cast<uint16_t>(quiet ? f & ~POINT_SELECTED : (f & ~POINT_SELECTED) | POINT_REDRAW);
            had = had || !quiet;
        });
        if (had) {
            u->flags = (u->flags & ~UNIT_POINTS_SELECTED) | UNIT_SELECTION_REDRAW;
            UndoNoteUnit(u);
            any = 1;
        }
    }
    return any;
}

int ObjectClearPointSelection()
{
    PointsSelected() = 0;
    int any = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, NO_FILTER, 0, ALL_LIFETIMES); u; u = MemListNext(u)) {
        if (!HasPoints(u))
            continue;
        ForEachPoint(u, [&](ElementPoint *p) {
            uint16_t &f = p->head.pointFlags;
            if (f & POINT_SELECTED) {
                u->flags &= ~UNIT_POINTS_SELECTED;
                any = 1;
            }
            f = static_cast<uint16_t>(f & ~(POINT_SELECTED | POINT_REDRAW));
        });
        u->flags &= ~UNIT_SELECTION_REDRAW;
    }
    return any;
}

int ObjectSelectPointsByMask(uint32_t mask)
{
    int any = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, ALL_LIFETIMES); u; u = MemListNext(u)) {
        if (!HasPoints(u) || IsGeoType(u) || !ObjectPassesSelectionFilter(u))
            continue;
        bool toggled = false;
        ForEachPoint(u, [&](ElementPoint *p) {
            if (mask == 0 || (p->head.pointFlags & mask)) {
                TogglePoint(&p->head);
                toggled = true;
            }
        });
        SettlePoints(u, toggled);
        any = any || toggled;
    }
    return any;
}

int ObjectSelectPointsNear(int window, double x, double y)
{
    const double tolerance = ObjectPickRadius(window, g_LocalData.snap.pickAperture);
    double best = CALC_NO_VALUE, bx = 0.0, by = 0.0;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, ALIVE); u; u = MemListNext(u)) {
        if (!HasPoints(u) || IsGeoType(u) || !ObjectPassesSelectionFilter(u))
            continue;
        ForEachElement(u, [&](Element *e) { e->pointFlags = static_cast<uint16_t>(e->pointFlags & ~POINT_REDRAW); });
        ForEachPoint(u, [&](ElementPoint *p) {
            const double d = std::hypot(p->x - x, p->y - y);
            if (d < tolerance && d < best)
                best = d, bx = p->x, by = p->y;
        });
    }
    if (best > tolerance) {
        MessageBeep(0);
        return 0;
    }
    g_CalcPoints[0] = {bx, by};
    int any = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, ALIVE); u; u = MemListNext(u)) {
        if (!HasPoints(u) || !ObjectPassesSelectionFilter(u))
            continue;
        bool toggled = false;
        ForEachPoint(u, [&](ElementPoint *p) {
            if (p->x == bx && p->y == by) {
                TogglePoint(&p->head);
                toggled = true;
            }
        });
        SettlePoints(u, toggled);
        any = any || toggled;
    }
    return any;
}

int ObjectSelectPointsInRect(double x1, double y1, double x2, double y2)
{
    const double xmin = std::min(x1, x2), xmax = std::max(x1, x2), ymin = std::min(y1, y2), ymax = std::max(y1, y2);
    int any = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, ALIVE); u; u = MemListNext(u)) {
        if (!HasPoints(u) || IsGeoType(u) || !ObjectPassesSelectionFilter(u))
            continue;
        ForEachElement(u, [&](Element *e) { e->pointFlags = static_cast<uint16_t>(e->pointFlags & ~POINT_REDRAW); });
        bool toggled = false;
        ForEachPoint(u, [&](ElementPoint *p) {
            if (p->x >= xmin && p->x <= xmax && p->y >= ymin && p->y <= ymax) {
                TogglePoint(&p->head);
                toggled = true;
            }
        });
        SettlePoints(u, toggled);
        any = any || toggled;
    }
    return any;
}

int ObjectExtentsSelectedPoints(uint32_t pointMask)
{
    double rect[4];
    FrameSetEmpty(rect);
    int count = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, ALIVE); u; u = MemListNext(u)) {
        if (!HasPoints(u))
            continue;
        bool has = false;
        ForEachPoint(u, [&](ElementPoint *p) {
            p->head.pointFlags = static_cast<uint16_t>(p->head.pointFlags & ~POINT_REDRAW);
            if (pointMask == 0 || (p->head.pointFlags & pointMask)) {
                FrameExtendPoint(rect, p->x, p->y);
                has = true;
            }
        });
        u->flags = has ? u->flags | UNIT_POINTS_SELECTED : u->flags & ~UNIT_POINTS_SELECTED;
        count += has ? 1 : 0;
    }
    std::memcpy(g_ExtentsRect, rect, sizeof rect);
    return count;
}
