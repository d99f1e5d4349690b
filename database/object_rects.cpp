// The rectangles an operation leaves for its caller's partial redraw.
#include "database/object_rects.h"

#include "geometry/frame.h"

double g_ExtentsRect[4] = {FRAME_EMPTY_MIN, FRAME_EMPTY_MIN, FRAME_EMPTY_MAX, FRAME_EMPTY_MAX};
double g_ChangedRect[4] = {FRAME_EMPTY_MIN, FRAME_EMPTY_MIN, FRAME_EMPTY_MAX, FRAME_EMPTY_MAX};
