// Moving objects by a matrix.
#pragma once

#include "database/unit.h"
#include "geometry/matrix.h"

// Maps every point element of a plain object by m and recomputes its frame
// and derived data. Objects whose shape a non-uniform matrix would not keep
// (circles and circular arcs) are the caller's to convert first.
void ObjectTransformPoints(Unit *unit, const Matrix *m);

// Transforms the marked objects of list 0 that carry every bit of mask
// (points, and the placements of instances, texts, bitmaps and clip
// surfaces), recomputes their frames and leaves their joined frames in
// g_ChangedRect. The number moved.
int ObjectTransformMarked(const Matrix *m, uint32_t mask);
