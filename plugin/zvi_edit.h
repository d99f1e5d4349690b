// Exported editing services on units.
#pragma once

#include "database/unit.h"
#include "geometry/matrix.h"

// Maps a plain object in place: every point element by the matrix; when the
// matrix mirrors, the sense of orientation elements and of curve elements
// (whose centre-offset factor changes sign too) flips; the matrices of
// standard-text, clip-surface and bitmap elements are multiplied by it.
void ZVI_EditUnitPointsMatrix(Unit *unit, const Matrix *matrix);

// The other sense of rotation for a direction word whose sign alone counts
// (0 or more counter-clockwise).
double ZVI_FlipSense(double value);
