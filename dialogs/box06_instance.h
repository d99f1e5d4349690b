// The placement dialogs of instances and bitmaps.
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
// "INSTANCEEDIT" on the instance group of the record (block, insertion point
// in the current coordinate system, scales and angles) or on its bitmap
// group (file, its details, the same placement). A field left as shown keeps
// its exact value, so a confirmation without edits gives the matrix back.
// 1 after OK (the record updated), 0 after Cancel (the record untouched).
uint32_t Box06EditBlockInstance(HWND owner, const char *caption, ObjectAttributes *set);
uint32_t Box06EditBitmapInstance(HWND owner, const char *caption, ObjectAttributes *set);
// "INSTANCEEDIT__" for several objects: the values shown are the first
// object's; the boxes 500 to 504, checked by hand, by entering a field or by
// a choice, add their bits to the group's change mask, so that only those
// values are written into every object.
uint32_t Box06EditBlockInstanceMulti(HWND owner, const char *caption, ObjectAttributes *set);
uint32_t Box06EditBitmapInstanceMulti(HWND owner, const char *caption, ObjectAttributes *set);
