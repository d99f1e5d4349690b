// The pointer command 403: a frame around the selection with handles; a pair
// of clicks picks a handle (or the inside) and applies the drag to the
// selection.
#pragma once

#include <cstdint>

#include "geometry/matrix.h"

// Handle codes: rotate at the corners 0x8000 to 0x8003, shear at the edges
// 0x8004 to 0x8007, scale at the corners 0x8008 to 0x800B, stretch at the
// edges 0x800C to 0x800F, move inside 0x8010, delete 0x8011.
constexpr int32_t POINTER_ROTATE_FIRST = 0x8000;
constexpr int32_t POINTER_SHEAR_LEFT = 0x8004;
constexpr int32_t POINTER_SHEAR_TOP_EDGE = 0x8005;    // about the bottom middle
constexpr int32_t POINTER_SHEAR_RIGHT = 0x8006;
constexpr int32_t POINTER_SHEAR_BOTTOM_EDGE = 0x8007; // about the top middle
constexpr int32_t POINTER_SCALE_FIRST = 0x8008;
constexpr int32_t POINTER_STRETCH_X_RIGHT = 0x800C; // about x = xmax
constexpr int32_t POINTER_STRETCH_Y_BOTTOM = 0x800D; // about y = ymin
constexpr int32_t POINTER_STRETCH_X_LEFT = 0x800E;  // about x = xmin
constexpr int32_t POINTER_STRETCH_Y_TOP = 0x800F;   // about y = ymax
constexpr int32_t POINTER_MOVE = 0x8010;
constexpr int32_t POINTER_DELETE = 0x8011;
constexpr int POINTER_BOX = 16;      // pixels: the side of a corner box
constexpr int POINTER_HALF_BOX = 8;

// The handle under the click (x, y in millimetres) of the frame r (xmin,
// ymin, xmax, ymax) shown through the window's millimetre-to-pixel matrix;
// 0 when none.
int32_t InputPointerHandleAt(const double r[4], const Matrix &toPixel, double x, double y);
// The transformation of a drag from s to e with the handle code.
void InputPointerDragMatrix(int32_t code, const double r[4], double sx, double sy, double ex, double ey,
                            Matrix *m);

// The pointer's branches of the input machine. Accepting an odd index picks a
// handle (the delete box asks and deletes in one undo step), an even index of
// 2 or more applies the drag to the selection in one undo step; the result is
// an input code. The construction of an even index builds the drag's matrix
// and the frame corners.
int InputPointerAccept(int index, double x, double y);
int InputPointerConstruct(int index, double x, double y);

// The release of the button that picked a handle: nonzero when the mouse was
// dragged from the press, so that the release applies the drag as the second
// click would; a release where the press was leaves the pair to the click.
int InputPointerRelease(int window, int x, int y);
