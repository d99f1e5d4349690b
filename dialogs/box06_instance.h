// The placement dialog of one instance.
#pragma once

#include <windows.h>

#include <cstdint>

#include "geometry/matrix.h"

struct ObjectAttributes;

// The placement matrix from its parts: identity, the scales, a shear along x
// by the tangent of the negated distortion (1e10 when its cosine is below
// 1e-10), the rotation when its magnitude exceeds 1e-10, the translation.
void Box06AssemblePlacement(Matrix *m, double scaleX, double scaleY, double rotation, double distortion, double x,
                            double y);
// "INSTANCEEDIT" on the placement group of the record: insertion point in the
// current coordinate system, scales and angles. A field left as shown keeps
// its exact value, so a confirmation without edits gives the matrix back.
// 1 after OK (the record updated).
uint32_t Box06EditBlockInstance(HWND owner, const char *caption, ObjectAttributes *set);
