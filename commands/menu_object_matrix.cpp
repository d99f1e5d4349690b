#include "commands/menu_object_matrix.h"

#include <algorithm>
#include <cmath>

#include "geometry/calc.h"

namespace {

double CentreX(const double e[4]) { return (e[0] + e[2]) / 2; }
double CentreY(const double e[4]) { return (e[1] + e[3]) / 2; }

} // namespace

void MenuObjectFitMatrix(int32_t command, const ObjectMatrixInput &in, Matrix *m)
{
    const double *e = in.extents;
    const double w = std::fabs(in.cp2[0] - in.cp1[0]), h = std::fabs(in.cp2[1] - in.cp1[1]);
    const double width = e[2] - e[0], height = e[3] - e[1];
    const double sx = width == 0 ? 1 : w / width, sy = height == 0 ? 1 : h / height;
    MatrixInit(m);
    MatrixMove(m, -CentreX(e), -CentreY(e));
    if (command == 412)
        MatrixScale(m, sx, sy);
    else
        MatrixScale(m, std::min(sx, sy), std::min(sx, sy));
    MatrixMove(m, (in.cp1[0] + in.cp2[0]) / 2, (in.cp1[1] + in.cp2[1]) / 2);
}

int MenuObjectScaleMatrix(const double extents[4], double sx, double sy, Matrix *m)
{
    if (sx == 0 || sy == 0)
        return 0;
    MatrixInit(m);
    MatrixMove(m, -CentreX(extents), -CentreY(extents));
    MatrixScale(m, sx, sy);
    MatrixMove(m, CentreX(extents), CentreY(extents));
    return 1;
}

int MenuObjectMatrix(int32_t command, const ObjectMatrixInput &in, Matrix *m)
{
    MatrixInit(m);
    const double *e = in.extents;
    const double dx = in.cp2[0] - in.cp1[0], dy = in.cp2[1] - in.cp1[1];
    switch (command) {
    case 405: MatrixMove(m, dx, dy); return 1;
    case 411:
    case 412: MenuObjectFitMatrix(command, in, m); return 1;
    case 416:
        MatrixMove(m, -in.cp1[0], -in.cp1[1]);
        MatrixRotate(m, CalcAngleOfVector(dx, dy));
        MatrixMove(m, in.cp1[0], in.cp1[1]);
        return 1;
    case 419:
        MatrixMove(m, -CentreX(e), 0);
        MatrixMirrorX(m);
        MatrixMove(m, CentreX(e), 0);
        return 1;
    case 420:
        MatrixMove(m, 0, -CentreY(e));
        MatrixMirrorY(m);
        MatrixMove(m, 0, CentreY(e));
        return 1;
    case 421: {
        const double a = CalcAngleOfVector(in.line[2] - in.line[0], in.line[3] - in.line[1]);
        MatrixMove(m, -in.line[0], -in.line[1]);
        MatrixRotate(m, -a);
        MatrixMirrorY(m);
        MatrixRotate(m, a);
        MatrixMove(m, in.line[0], in.line[1]);
        return 1;
    }
    case 423:
        if (dy == 0)
            return 0;
        MatrixMove(m, -in.cp1[0], -in.cp1[1]);
        MatrixShearX(m, dx / dy);
        MatrixMove(m, in.cp1[0], in.cp1[1]);
        return 1;
    case 424:
        if (dx == 0)
            return 0;
        MatrixMove(m, -in.cp1[0], -in.cp1[1]);
        MatrixShearY(m, dy / dx);
        MatrixMove(m, in.cp1[0], in.cp1[1]);
        return 1;
    case 426:
    case 427:
    case 428:
    case 429:
    case 430:
    case 431: {
        // Centred on the page frame (426 to 428) or on the rectangle of the
        // two points (429 to 431); the first of each three only in x, the
        // second only in y.
        const bool onPage = command <= 428;
        const double fx = onPage ? in.page[0] : (in.cp1[0] + in.cp2[0]) / 2;
        const double fy = onPage ? in.page[1] : (in.cp1[1] + in.cp2[1]) / 2;
        const int which = (command - 426) % 3;
        const double mx = which == 1 ? 0 : CentreX(e) - fx, my = which == 0 ? 0 : CentreY(e) - fy;
        MatrixMove(m, -mx, -my);
        return 1;
    }
    default: return 0;
    }
}
