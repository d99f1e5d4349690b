// Coordinates between drawing millimetres and a window's coordinate system.
#include <cmath>

#include "app/convert.h"
#include "app/window_current.h"

namespace {

enum Axis { AXIS_X, AXIS_Y };

double MapCoordinate(const Matrix &m, double x, double y, Axis axis)
{
    if (x == CONVERT_NO_VALUE || y == CONVERT_NO_VALUE)
        return CONVERT_NO_VALUE;
    double v = axis == AXIS_X ? m.a * x + m.c * y + m.tx : m.b * x + m.d * y + m.ty;
    if (!(v >= -CONVERT_VALUE_LIMIT && v <= CONVERT_VALUE_LIMIT))
        return CONVERT_NO_VALUE;
    return v;
}

double WorldToSystem(int window, double x, double y, Axis axis)
{
    const DrawWindow *w = WindowGetRecord(window);
    return w ? MapCoordinate(w->MatrixMMToSystem, x, y, axis) : CONVERT_NO_VALUE;
}

double SystemToWorld(int window, double x, double y, Axis axis)
{
    const DrawWindow *w = WindowGetRecord(window);
    return w ? MapCoordinate(w->MatrixSystemToMM, x, y, axis) : CONVERT_NO_VALUE;
}

} // namespace

double ConvertWorldToSystemX(int window, double x, double y) { return WorldToSystem(window, x, y, AXIS_X); }
double ConvertWorldToSystemY(int window, double x, double y) { return WorldToSystem(window, x, y, AXIS_Y); }
double ConvertSystemToWorldX(int window, double x, double y) { return SystemToWorld(window, x, y, AXIS_X); }
double ConvertSystemToWorldY(int window, double x, double y) { return SystemToWorld(window, x, y, AXIS_Y); }
