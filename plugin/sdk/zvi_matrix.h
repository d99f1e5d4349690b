// The affine matrix a plug-in shares with darad4 byte for byte. Part of the
// plug-in SDK (it needs no system header).
#pragma once

#include <cstddef>

// A point (x, y) maps to (a*x + c*y + tx, b*x + d*y + ty). In row-vector form
// [x y 1] is multiplied onto the rows (a, b, 0), (c, d, 0), (tx, ty, 1), so a
// product m*n applies m first and n second. Plug-ins see this layout.
struct Matrix {
    double a;   // image of the unit x vector
    double b;
    double c;   // image of the unit y vector
    double d;
    double tx;  // translation
    double ty;
};
static_assert(sizeof(Matrix) == 48);
static_assert(offsetof(Matrix, a) == 0);
static_assert(offsetof(Matrix, b) == 8);
static_assert(offsetof(Matrix, c) == 16);
static_assert(offsetof(Matrix, d) == 24);
static_assert(offsetof(Matrix, tx) == 32);
static_assert(offsetof(Matrix, ty) == 40);

