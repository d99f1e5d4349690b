// The matrices of the Object menu's transformations of the selection.
#pragma once

#include <cstdint>

#include "geometry/matrix.h"

// The selection's extents (xmin, ymin, xmax, ymax) and the command's points.
struct ObjectMatrixInput {
    double extents[4];
    double cp1[2], cp2[2];  // the entered points
    double line[4];          // 421: the picked line B0 to B1
    double page[2];          // 426 to 428: the centre of the active page's frame
};

// Fitting the selection into the rectangle of cp 1 and cp 2: 411 keeps the
// proportions (the smaller factor), 412 stretches; a side of zero extent
// scales by 1.
void MenuObjectFitMatrix(int32_t command, const ObjectMatrixInput &in, Matrix *m);
// The matrix of a transformation by points or by position (405, 411, 412,
// 416, 419, 420, 421, 423, 424, 426 to 431); 0 when the command has none or
// a shear has no solution (423 level, 424 straight above).
int MenuObjectMatrix(int32_t command, const ObjectMatrixInput &in, Matrix *m);
// Scaling about the centre of the extents; 0 for a zero factor, which would
// collapse the selection.
int MenuObjectScaleMatrix(const double extents[4], double sx, double sy, Matrix *m);
