// What the snap search and its intersection modes share.
#pragma once

#include <vector>

#include "database/unit.h"
#include "geometry/matrix.h"

// The units of list 0 (alive, not filtered out) whose frames meet the
// distance module's search box, in list order; the pick index serves large
// drawings.
void SnapBoxCandidates(std::vector<Unit *> *out);

// Layer and pen of an object seen through its enclosing instances (parent
// null at the top) are both pickable; `resolved` gets the effective record.
bool SnapPickable(const Unit *object, const XProperty *parent, XProperty *resolved);

// Enters an instance or plug-in object: its block, the combined matrix and
// the properties its members inherit. False when the block is missing or the
// nesting is too deep; on true, SnapLeaveInstance must follow.
struct SnapInstanceVisit {
    Unit *block;
    Matrix matrix;
    XProperty members;
    Unit *savedInstance;
};
bool SnapEnterInstance(Unit *instance, const XProperty *parent, const Matrix *m, SnapInstanceVisit *visit);
void SnapLeaveInstance(const SnapInstanceVisit &visit);
