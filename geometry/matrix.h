// Two-dimensional affine matrices: every placement in the program (instances,
// texts, views, coordinate systems, hatch grids, ellipse frames).
#pragma once

#include <cstddef>

#include "plugin/sdk/zvi_matrix.h" // Matrix: plug-ins see its layout

// Limits of the tests of a matrix's shape: relative share of the off-diagonal
// entries, relative difference of the row lengths, absolute orthogonality.
constexpr double MATRIX_ROTATED_SHARE = 0.01;
constexpr double MATRIX_DISTORTED_RATIO = 1.01;
constexpr double MATRIX_DISTORTED_DOT = 0.01;
// Rotations and distortions smaller than this are reported as 0.
constexpr double MATRIX_SEPARATE_ZERO = 1e-10;

// The appending operations multiply m := m * Op: the new operation acts after
// everything m already did. None allocates; a null matrix is ignored.
void MatrixInit(Matrix *m);
void MatrixRotate(Matrix *m, double angle);
void MatrixMove(Matrix *m, double dx, double dy);
void MatrixMirrorY(Matrix *m);
void MatrixMirrorX(Matrix *m);
void MatrixScale(Matrix *m, double sx, double sy);
void MatrixShearX(Matrix *m, double f);
void MatrixShearY(Matrix *m, double f);

// m := m * n (first m, then n). n may be m itself.
void MatrixMultiply(Matrix *m, const Matrix *n);

// out := inverse of m (out may be m). Returns 0 and leaves out untouched when
// the determinant is exactly 0, or when m or its inverse is not finite.
int MatrixInvert(const Matrix *m, Matrix *out);

// Every one of the six values is a finite number.
bool MatrixIsFinite(const Matrix &m);
int MatrixIsMirrored(const Matrix *m);
int MatrixIsRotated(const Matrix *m);
int MatrixIsDistorted(const Matrix *m);

// Decomposes m into scale, ratio, rotation in [0, 2pi), distortion in
// [-pi/2, pi/2) and move. Returns 0 for a degenerate (or non-finite) matrix
// and then reports scaleY 0, ratioXY 1, rotation 0, distortion 0 and the
// translation (0 where that is not finite). Null outputs are skipped.
int MatrixSeparate(const Matrix *m, double *scaleY, double *ratioXY, double *rotation,
                   double *distortion, double *moveX, double *moveY);

// out := bounding box of the four transformed corners of rect; rectangles are
// {xmin, ymin, xmax, ymax}; out may be rect. An empty frame is not special.
void MatrixTransformRect(const Matrix *m, const double rect[4], double out[4]);

// Applies the point rule of the record to (x, y).
inline void MatrixApply(const Matrix &m, double x, double y, double *outX, double *outY)
{
    const double nx = m.a * x + m.c * y + m.tx;
    const double ny = m.b * x + m.d * y + m.ty;
    *outX = nx;
    *outY = ny;
}
