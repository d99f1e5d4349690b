// Point in area: whether a point lies inside the figures of a path object by
// the even-odd rule (a figure inside another makes a hole), and whether it
// lies on the boundary within a tolerance.
#pragma once

#include <cstdint>

#include "database/unit.h"
#include "geometry/matrix.h"

// The closed polygon of the first count points of the shared path points
// (mapped by the matrix when one is given). onEdge, when given, becomes 1 when
// p lies within tolerance of an edge; it is never cleared.
int AreaPointInPolygon(int32_t count, double px, double py, double tolerance, const Matrix *matrix,
                       int32_t *onEdge);
// 1 when p lies inside an odd number of the object's figures.
int AreaPointInPathObject(const Unit *object, double px, double py, double tolerance, const Matrix *matrix,
                          int32_t *onEdge);
