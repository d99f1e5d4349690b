// Stand-ins for services of other modules that are still being written.
#pragma once
#include <cstdint>
double CalcArcSweep(double cx, double cy, double x1, double y1, double x2, double y2, int ccw);
