// The rectangles an operation leaves for its caller's partial redraw.
#pragma once

#include <cstdint>

// Frames {xmin, ymin, xmax, ymax} in millimetres (geometry/frame.h).
extern double g_ExtentsRect[4]; // what disappeared, was removed or measured
extern double g_ChangedRect[4]; // what was drawn anew

// The frame of the drawing's living objects whose flags masked by mask equal
// value, not hidden, into g_ExtentsRect; the number of those objects.
int ObjectExtentsVisible(uint32_t mask, uint32_t value);
