#include "geometry/flat_pending.h"
#include <cmath>
static double AngleOf(double dx, double dy)
{
    if (dx == 0.0 && dy == 0.0)
        return 0.0;
    double a = std::atan2(dy, dx);
    return a < 0.0 ? a + 6.283185307179586 : a;
}
double CalcArcSweep(double cx, double cy, double x1, double y1, double x2, double y2, int ccw)
{
    const double a1 = AngleOf(x1 - cx, y1 - cy), a2 = AngleOf(x2 - cx, y2 - cy);
    if (a1 == a2)
        return 0.0;
    double s = a2 - a1;
    if (a1 < a2)
        return ccw ? s : s - 6.283185307179586;
    return ccw ? s + 6.283185307179586 : s;
}
