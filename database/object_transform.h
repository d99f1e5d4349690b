// Moving objects by a matrix.
#pragma once

#include "database/unit.h"
#include "geometry/matrix.h"

// Maps every point element of a plain object by m and recomputes its frame
// and derived data. Objects whose shape a non-uniform matrix would not keep
// (circles and circular arcs) are the caller's to convert first.
void ObjectTransformPoints(Unit *unit, const Matrix *m);
