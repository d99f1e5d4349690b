// Moving objects and their points by a matrix.
#pragma once

#include <cstdint>

#include "database/unit.h"
#include "geometry/matrix.h"

// Every point element of a plain object whose point flags share a bit with
// pointMask is mapped by the matrix; every element loses its point redraw
// bit; the frame and derived data are recomputed and the modification marks
// cleared (the selection stays). Result 0.
int ObjectTransformPoints(Unit *unit, const Matrix *matrix, uint16_t pointMask);
// The same on a plug-in object's point elements, then its placement links
// and frame; 1 when a module regenerated it.
int ObjectTransformPointsOther(Unit *unit, const Matrix *matrix, uint16_t pointMask);
