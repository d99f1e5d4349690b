// The rectangles an operation leaves for its caller's partial redraw.
#include "database/object_rects.h"

#include "database/storage.h"
#include "database/unit.h"
#include "geometry/frame.h"

double g_ExtentsRect[4] = {FRAME_EMPTY_MIN, FRAME_EMPTY_MIN, FRAME_EMPTY_MAX, FRAME_EMPTY_MAX};
double g_ChangedRect[4] = {FRAME_EMPTY_MIN, FRAME_EMPTY_MIN, FRAME_EMPTY_MAX, FRAME_EMPTY_MAX};

int ObjectExtentsVisible(uint32_t mask, uint32_t value)
{
    FrameSetEmpty(g_ExtentsRect);
    int count = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u)) {
        if ((u->flags & mask) != value || (u->flags & UNIT_HIDDEN))
            continue;
        FrameUnion(g_ExtentsRect, u->frame);
        ++count;
    }
    return count;
}
