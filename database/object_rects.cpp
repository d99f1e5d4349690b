// The rectangles an operation leaves for its caller's partial redraw.
#include "database/object_rects.h"

double g_ExtentsRect[4] = {RECT_EMPTY_LOW, RECT_EMPTY_LOW, -RECT_EMPTY_LOW, -RECT_EMPTY_LOW};
double g_ChangedRect[4] = {RECT_EMPTY_LOW, RECT_EMPTY_LOW, -RECT_EMPTY_LOW, -RECT_EMPTY_LOW};
