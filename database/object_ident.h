// Identification of objects: a click at a world position in a drawing window
// becomes one object (the nearest within the pick aperture; near ties are
// stepped through in the multiple-identification box) that receives a fresh
// ident, or one geometric element of an object for the constructions. Also
// the presets that restrict picking to object types, the getters that copy
// an identified object's geometry, the nearest contour and segment of a
// path, and the user-mark commands.
#pragma once

#include <cstdint>
#include <vector>

#include "database/storage.h"
#include "database/undo.h"
#include "database/unit.h"
#include "geometry/calc.h"

constexpr int IDENTIFY_TYPE_FLAGS = 50;
constexpr int IDENTIFY_CANDIDATES = 20;

// Flags of ObjectIdentifyAt.
constexpr uint32_t IDENTIFY_INSTANCES = 0x10000;
constexpr uint32_t IDENTIFY_FILTERED = 0x20000;     // must pass the selection filter
constexpr uint32_t IDENTIFY_LOCKED_TOO = 0x40000;
constexpr uint32_t IDENTIFY_SKIP_MARKED = 0x1000000;
constexpr uint32_t IDENTIFY_ONLY_MARKED = 0x2000000;
// A miss is quiet (no beep): the caller does something else with the click.
constexpr uint32_t IDENTIFY_QUIET = 0x4000000;

// ObjectNearestSegment: the closing edge of a surface contour.
constexpr int32_t IDENTIFY_CLOSING_EDGE = 0x100000;

// A plain object is a candidate only when the flag of its type is set.
extern uint32_t g_IdentifyFilter[IDENTIFY_TYPE_FLAGS];

struct IdentifyCandidate {
    Unit *unit;
    double distance;
};
struct IdentifyResult {
    IdentifyCandidate entries[IDENTIFY_CANDIDATES]; // ascending distance
    int32_t count;
    int32_t shown;  // the candidate highlighted by the box; -1 idle
    int32_t window; // the window picked in; -1 idle
};
extern IdentifyResult g_IdentifyResult;
// The number of candidates the last ObjectIdentifyAt found (0: a miss).
extern int32_t g_IdentifyLastCount;

// Element identification fills the element geometries G1 to G3 of the running command.
constexpr int IDENTIFY_ELEMENT_SLOTS = 3;

// The units of list 0 whose frames may meet the box {xmin, ymin, xmax, ymax},
// in list order, from the pick index; false when the index does not serve
// (a small list, or a box wider than its cells): the caller walks the list.
bool ObjectPickCandidates(const double box[4], std::vector<Unit *> *out);
// What the pick index is told so that it follows list 0 without being built
// again: a unit linked into it, about to be unlinked, or given a new frame
// (any unit may be named; units outside list 0 are passed over), and the
// whole list replaced or emptied.
void ObjectIndexNoteLinked(Unit *unit);
void ObjectIndexNoteUnlinked(Unit *unit);
void ObjectIndexNoteFrame(Unit *unit);
void ObjectIndexForget();
// Whether the pick index is built and follows list 0: a question through it
// then builds nothing.
bool ObjectIndexIsCurrent();
// The units of list 0 whose frames are empty (no box meets them), of any
// lifetime and in no particular order, from a current pick index; false
// when it is not current.
bool ObjectEmptyFrameUnits(std::vector<Unit *> *out);
// Puts units of list 0 into list order by the pick index's keys; false (the
// units as they were) when the index does not follow the list.
bool ObjectSortInListOrder(std::vector<Unit *> *units);
// How many times the index was built whole over a large list (for tests).
extern uint32_t g_ObjectIndexBuilds;

// Visits the units of list 0 alive at the current step and without any of
// the `hidden` flags whose frames may meet the box, in list order: through
// the pick index when it serves, else along the list. A visit returning
// false ends the walk (the result is then false). Visits that walk lists
// themselves keep the list filter (ListFilterKeeper).
template <typename Visit>
bool ObjectForEachNear(const double box[4], uint32_t hidden, Visit visit)
{
    std::vector<Unit *> nearby;
    if (ObjectPickCandidates(box, &nearby)) {
        for (Unit *u : nearby)
            if (!(u->flags & hidden) && UndoIsVisible(u, g_UndoStep) && !visit(u))
                return false;
        return true;
    }
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_DRAWING, hidden, 0, 1); u; u = MemListNext(u))
        if (!visit(u))
            return false;
    return true;
}

// 1 picked (the unit got the ident g_IdentCounter had at the call), 0 none or cancelled.
int ObjectIdentifyAt(int window, double x, double y, uint32_t flags);
// 1 picked, 0 none, -1 cancelled.
int ObjectIdentifyElement(int window, double x, double y, uint32_t mask, int slot);

int ObjectIdentifyAny(int window, double x, double y, uint32_t flags);
int ObjectIdentifyInstance(int window, double x, double y, uint32_t flags);
int ObjectIdentifySimple(int window, double x, double y, uint32_t flags);
int ObjectIdentifyPath(int window, double x, double y, uint32_t flags);
int ObjectIdentifyLine(int window, double x, double y, uint32_t flags);
int ObjectIdentifyCircleFamily(int window, double x, double y, uint32_t flags);
int ObjectIdentifyCircArc(int window, double x, double y, uint32_t flags);
int ObjectIdentifyEllipse(int window, double x, double y, uint32_t flags);
int ObjectIdentifyElliArc(int window, double x, double y, uint32_t flags);
int ObjectIdentifyCurve(int window, double x, double y, uint32_t flags);
int ObjectIdentifySurface(int window, double x, double y, uint32_t flags);
int ObjectIdentifyCurveSurface(int window, double x, double y, uint32_t flags);
int ObjectIdentifyClosed(int window, double x, double y, uint32_t flags);
int ObjectIdentifyAnnotation(int window, double x, double y, uint32_t flags);
int ObjectIdentifyText(int window, double x, double y, uint32_t flags);
int ObjectIdentifyDimension(int window, double x, double y, uint32_t flags);
int ObjectIdentifyDim(int window, double x, double y, uint32_t flags);
int ObjectIdentifyComment(int window, double x, double y, uint32_t flags);
int ObjectIdentifyGeo(int window, double x, double y, uint32_t flags);
int ObjectIdentifyClip(int window, double x, double y, uint32_t flags);

// The type of the alive visible plain object with that ident (its geometry
// in out by type), or -1 leaving out as it was.
int ObjectGetIdentGeometry(int32_t ident, GeoObject *out);
// The derived geometry of the dimension with that ident (object_ident_dim.cpp):
// its dimension line or arc, its base line (linear dimensions) and its text
// position and direction. Each writes the type into out and returns it, or
// returns -1 when no such object is alive and visible.
int ObjectGetIdentDimensionLine(int32_t ident, GeoObject *out);
int ObjectGetIdentDimensionBase(int32_t ident, GeoObject *out);
int ObjectGetIdentDimensionDirection(int32_t ident, GeoObject *out);
// Byte offset of the start element of the contour nearest to p, or -1.
int32_t ObjectNearestPathPoint(Unit *object, double px, double py);
// Offset of the nearest piece's element of the contour starting at `start`
// (IDENTIFY_CLOSING_EDGE for a surface's closing edge), or -1; its geometry in out.
int32_t ObjectNearestSegment(Unit *object, int32_t start, double px, double py, GeoObject *out);

// The user mark of the objects carrying every bit of mask: set to value, or toggled.
int ObjectSetUserBit(uint32_t mask, int value);
int ObjectToggleUserBit(uint32_t mask, uint32_t bit);
