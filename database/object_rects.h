// The rectangles an operation leaves for its caller's partial redraw.
#pragma once

// Frames {xmin, ymin, xmax, ymax} in millimetres (geometry/frame.h).
extern double g_ExtentsRect[4]; // what disappeared, was removed or measured
extern double g_ChangedRect[4]; // what was drawn anew
