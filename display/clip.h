// Clipping and device primitives: the segment counts of flattening.
#pragma once

#include <cstdint>

// Straight steps for a full circle of radius r (millimetres) on the current output.
int32_t ClipArcSegmentCount(double r);
// Straight steps for one cubic Bezier or spline piece whose control polygon or
// chord has the given size (millimetres) on the current output.
int32_t ClipArcSegmentCountEx(double size);
