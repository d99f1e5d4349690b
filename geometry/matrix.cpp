// Affine matrices: building, combining, inverting, testing and decomposing.
#include "geometry/matrix.h"

#include <cmath>

#include "geometry/calc.h"

namespace {

// The right angle as the decomposition has always subtracted it; the tiny
// difference to pi/2 vanishes below MATRIX_SEPARATE_ZERO.
constexpr double SEPARATE_RIGHT_ANGLE = 1.5707963267946;

}  // namespace

bool MatrixIsFinite(const Matrix &m)
{
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

void MatrixInit(Matrix *m)
{
    if (!m)
        return;
    *m = Matrix{1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
}

void MatrixRotate(Matrix *m, double angle)
{
    if (!m)
        return;
    const double s = std::sin(angle);
    const double c = std::cos(angle);
    auto rotateRow = [s, c](double &x, double &y) {
        const double nx = x * c - y * s;
        const double ny = x * s + y * c;
        x = nx;
        y = ny;
    };
    rotateRow(m->a, m->b);
    rotateRow(m->c, m->d);
    rotateRow(m->tx, m->ty);
}

void MatrixMove(Matrix *m, double dx, double dy)
{
    if (!m)
        return;
    m->tx += dx;
    m->ty += dy;
}

void MatrixMirrorY(Matrix *m)
{
    if (!m)
        return;
    m->b = -m->b;
    m->d = -m->d;
    m->ty = -m->ty;
}

void MatrixMirrorX(Matrix *m)
{
    if (!m)
        return;
    m->a = -m->a;
    m->c = -m->c;
    m->tx = -m->tx;
}

void MatrixScale(Matrix *m, double sx, double sy)
{
    if (!m)
        return;
    m->a *= sx;
    m->c *= sx;
    m->tx *= sx;
    m->b *= sy;
    m->d *= sy;
    m->ty *= sy;
}

void MatrixShearX(Matrix *m, double f)
{
    if (!m)
        return;
    m->a += f * m->b;
    m->c += f * m->d;
    m->tx += f * m->ty;
}

void MatrixShearY(Matrix *m, double f)
{
    if (!m)
        return;
    m->b += f * m->a;
    m->d += f * m->c;
    m->ty += f * m->tx;
}

void MatrixMultiply(Matrix *m, const Matrix *n)
{
    if (!m || !n)
        return;
    // Both are copied, so m and n may be the same record.
    const Matrix p = *m;
    const Matrix q = *n;
    m->a = p.a * q.a + p.b * q.c;
    m->b = p.a * q.b + p.b * q.d;
    m->c = p.c * q.a + p.d * q.c;
    m->d = p.c * q.b + p.d * q.d;
    m->tx = p.tx * q.a + p.ty * q.c + q.tx;
    m->ty = p.tx * q.b + p.ty * q.d + q.ty;
}

int MatrixInvert(const Matrix *m, Matrix *out)
{
    if (!m || !out)
        return 0;
    const Matrix p = *m;
    const double det = p.a * p.d - p.b * p.c;
    if (det == 0.0 || !std::isfinite(det))
        return 0;
    const Matrix inv{p.d / det,
                     -p.b / det,
                     -p.c / det,
                     p.a / det,
                     (p.c * p.ty - p.d * p.tx) / det,
                     (p.b * p.tx - p.a * p.ty) / det};
    // A nearly singular matrix is inverted, unless its inverse overflows.
    if (!MatrixIsFinite(inv))
        return 0;
    *out = inv;
    return 1;
}

int MatrixIsMirrored(const Matrix *m)
{
    if (!m)
        return 0;
    return m->d * m->a - m->c * m->b < 0.0 ? 1 : 0;
}

int MatrixIsRotated(const Matrix *m)
{
    if (!m)
        return 0;
    return std::fabs(m->b) > MATRIX_ROTATED_SHARE * std::fabs(m->a) ||
                   std::fabs(m->c) > MATRIX_ROTATED_SHARE * std::fabs(m->d)
               ? 1
               : 0;
}

int MatrixIsDistorted(const Matrix *m)
{
    if (!m)
        return 0;
    const double r1 = std::sqrt(m->a * m->a + m->b * m->b);
    const double r2 = std::sqrt(m->c * m->c + m->d * m->d);
    if (r2 * MATRIX_DISTORTED_RATIO < r1)
        return 1;
    if (r1 * MATRIX_DISTORTED_RATIO < r2)
        return 1;
    // Absolute on purpose: the callers work with millimetre-sized matrices.
    if (std::fabs(m->a * m->c + m->b * m->d) > MATRIX_DISTORTED_DOT)
        return 1;
    return 0;
}

int MatrixSeparate(const Matrix *m, double *scaleY, double *ratioXY, double *rotation,
                   double *distortion, double *moveX, double *moveY)
{
    double sy = 0.0, ratio = 1.0, rot = 0.0, dist = 0.0, mx = 0.0, my = 0.0;
    int result = 0;
    if (m) {
        mx = std::isfinite(m->tx) ? m->tx : 0.0;
        my = std::isfinite(m->ty) ? m->ty : 0.0;
    }
    if (m && MatrixIsFinite(*m)) {
        const double a = m->a, b = m->b, c = m->c, d = m->d;
        const double r1 = std::sqrt(a * a + b * b);
        const double r2 = std::sqrt(c * c + d * d);
        const double det = a * d - b * c;
        if (r1 != 0.0 && r2 != 0.0 && det != 0.0) {
            sy = std::fabs(det / r1);
            ratio = (a * a + b * b) / det;
            dist = CalcAngleOfVector(c, d) - CalcAngleOfVector(a, b) - SEPARATE_RIGHT_ANGLE;
            while (dist < -CALC_HALF_PI)
                dist += CALC_PI;
            while (dist >= CALC_HALF_PI)
                dist -= CALC_PI;
            // Mirrored: the first column is the turned image of (-1, 0), so the
            // turn is that of (-a, -b); negating a alone mirrors it once more.
            rot = det < 0.0 ? CalcAngleOfVector(-a, -b) : CalcAngleOfVector(a, b);
            result = 1;
        }
    }
    if (std::fabs(rot) < MATRIX_SEPARATE_ZERO)
        rot = 0.0;
    if (std::fabs(dist) < MATRIX_SEPARATE_ZERO)
        dist = 0.0;
    if (scaleY)
        *scaleY = sy;
    if (ratioXY)
        *ratioXY = ratio;
    if (rotation)
        *rotation = rot;
    if (distortion)
        *distortion = dist;
    if (moveX)
        *moveX = mx;
    if (moveY)
        *moveY = my;
    return result;
}

void MatrixTransformRect(const Matrix *m, const double rect[4], double out[4])
{
    if (!m || !rect || !out)
        return;
    // Every corner is a * x + c * y + tx (and b * x + d * y + ty) as
    // MatrixApply forms it, but each product is formed once for the two
    // corners that share it, and the corners are compared at the precision
    // the FPU formed them in before the extremes are stored: this runs once
    // per character of every measured text.
    using Wide = long double;
    if (m->b == 0.0 && m->c == 0.0) {
        // Upright and unturned (most texts): each axis has two candidates. The
        // terms of the other axis are zeros that leave every sum as it is.
        const Wide x0 = Wide(m->a) * rect[0] + m->tx, x2 = Wide(m->a) * rect[2] + m->tx;
        const Wide y1 = Wide(m->d) * rect[1] + m->ty, y3 = Wide(m->d) * rect[3] + m->ty;
        out[0] = double(x2 < x0 ? x2 : x0);
        out[2] = double(x2 > x0 ? x2 : x0);
        out[1] = double(y3 < y1 ? y3 : y1);
        out[3] = double(y3 > y1 ? y3 : y1);
        return;
    }
    const Wide ax0 = Wide(m->a) * rect[0], ax2 = Wide(m->a) * rect[2];
    const Wide cy1 = Wide(m->c) * rect[1], cy3 = Wide(m->c) * rect[3];
    const Wide bx0 = Wide(m->b) * rect[0], bx2 = Wide(m->b) * rect[2];
    const Wide dy1 = Wide(m->d) * rect[1], dy3 = Wide(m->d) * rect[3];
    const Wide xs[4] = {ax0 + cy1 + m->tx, ax2 + cy1 + m->tx, ax2 + cy3 + m->tx, ax0 + cy3 + m->tx};
    const Wide ys[4] = {bx0 + dy1 + m->ty, bx2 + dy1 + m->ty, bx2 + dy3 + m->ty, bx0 + dy3 + m->ty};
    Wide minX = xs[0], maxX = xs[0], minY = ys[0], maxY = ys[0];
    for (int i = 1; i < 4; ++i) {
        if (xs[i] < minX)
            minX = xs[i];
        if (xs[i] > maxX)
            maxX = xs[i];
        if (ys[i] < minY)
            minY = ys[i];
        if (ys[i] > maxY)
            maxY = ys[i];
    }
    out[0] = double(minX);
    out[1] = double(minY);
    out[2] = double(maxX);
    out[3] = double(maxY);
}
