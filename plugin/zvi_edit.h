// Editing services on units, shared by the exports and the program's own
// transformations.
#pragma once

#include "database/unit.h"
#include "geometry/matrix.h"

// Maps a plain or plug-in object in place: every point element by the
// matrix; when the matrix mirrors, the sense of orientation elements and of
// curve elements (whose centre-offset factor changes sign too) flips; the
// matrices of standard-text, clip-surface and bitmap elements are multiplied
// by it. The frame is not recomputed.
void ZviEditUnitPointsMatrix(Unit *unit, const Matrix *matrix);

// The other sense of rotation for a direction word whose sign alone counts
// (0 or more counter-clockwise): the value negated, so that a stored sweep
// keeps its size.
double ZviFlipSense(double value);
