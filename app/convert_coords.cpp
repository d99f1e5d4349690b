// Coordinates between drawing millimetres and a window's coordinate system.
#include <cmath>

#include "app/convert.h"
#include "app/window.h"
#include "geometry/calc.h"

namespace {

enum Axis { AXIS_X, AXIS_Y };

double MapCoordinate(const Matrix &m, double x, double y, Axis axis)
{
    if (x == CALC_NO_VALUE || y == CALC_NO_VALUE)
        return CALC_NO_VALUE;
    double v = axis == AXIS_X ? m.a * x + m.c * y + m.tx : m.b * x + m.d * y + m.ty;
    if (!(v >= -CALC_COORD_LIMIT && v <= CALC_COORD_LIMIT))
        return CALC_NO_VALUE;
    return v;
}

double WorldToSystem(int window, double x, double y, Axis axis)
{
    const DrawWindow *w = WindowGetRecord(window);
    return w ? MapCoordinate(w->MatrixMMToSystem, x, y, axis) : CALC_NO_VALUE;
}

double SystemToWorld(int window, double x, double y, Axis axis)
{
    const DrawWindow *w = WindowGetRecord(window);
    return w ? MapCoordinate(w->MatrixSystemToMM, x, y, axis) : CALC_NO_VALUE;
}

} // namespace

double ConvertWorldToSystemX(int window, double x, double y) { return WorldToSystem(window, x, y, AXIS_X); }
double ConvertWorldToSystemY(int window, double x, double y) { return WorldToSystem(window, x, y, AXIS_Y); }
double ConvertSystemToWorldX(int window, double x, double y) { return SystemToWorld(window, x, y, AXIS_X); }
double ConvertSystemToWorldY(int window, double x, double y) { return SystemToWorld(window, x, y, AXIS_Y); }
