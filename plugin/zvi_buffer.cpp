// Unit buffers for plug-ins: the contours of drawing objects collected into
// a BufferData, prepared for the point-in-area test; and a blank unit buffer.
#include <cstring>

#include "database/storage.h"
#include "geometry/frame.h"
#include "geometry/poly.h"
#include "plugin/stream.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr const char *BUSY = "Another enumeration is still in process!";

// The checks every buffer export starts with: no walk running (its
// collection would share the stream's state), a writable record and, unless
// it is being set up, a segment array of the program.
bool Usable(BufferData *data, bool needsItems, const char *function, int line)
{
    if (StreamBusy())
        return ZviRefuse(function, line, BUSY);
    if (!ZviWritable(data, sizeof(BufferData)))
        return ZviRefuse(function, line, "Data invalid!");
    if (needsItems && !ZviWritable(data->items, sizeof(BufferSegment)))
        return ZviRefuse(function, line, "Data->BufferPtr invalid!");
    return true;
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_BufferAlloc(BufferData *data, int capacity, uint32_t flags)
{
    if (!Usable(data, false, __func__, __LINE__))
        return 0;
    return PolyBufferAlloc(data, capacity, flags);
}

int ZVI_CALL ZVI_BufferAddEnumerate(BufferData *data, uint32_t mask, uint32_t flags)
{
    if (!Usable(data, true, __func__, __LINE__))
        return 0;
    return PolyBufferAddSelected(data, mask, flags);
}

int ZVI_CALL ZVI_BufferAddUnit(BufferData *data, const Unit *object, uint32_t flags)
{
    if (!Usable(data, true, __func__, __LINE__))
        return 0;
    Unit *u = ZviLiveUnit(LIST_DRAWING, object);
    if (!u)
        return ZVI_REFUSE("UnitPtr invalid!");
    if (!PolyBufferBegin(data, 0, flags))
        return 0;
    const int ok = PolyBufferAddUnit(u);
    PolyBufferEnd();
    if (ok)
        FrameUnion(&data->xmin, u->frame);
    return ok;
}

int ZVI_CALL ZVI_BufferPrepare(BufferData *data, double tolerance)
{
    if (!Usable(data, true, __func__, __LINE__))
        return 0;
    if (data->used > 0)
        PolyBufferPrepare(data, tolerance);
    return 1;
}

int ZVI_CALL ZVI_BufferFree(BufferData *data)
{
    if (!Usable(data, true, __func__, __LINE__))
        return 0;
    PolyBufferFree(data); // clears the pointer: a second free is refused
    return 1;
}

void *ZVI_CALL ZVI_UnitBuffer() { return GlobalAlloc(GPTR, g_ObjectLimits.objectSize); }

int ZVI_CALL ZVI_GeoPointInsideArea(const BufferData *data, double x, double y)
{
    if (!ZviReadable(data, sizeof(BufferData)))
        return ZVI_REFUSE("Data invalid!");
    if (data->used > 0 && !ZviReadable(data->items, size_t(data->used) * sizeof(BufferSegment)))
        return ZVI_REFUSE("Data->BufferPtr invalid!");
    return PolyPointInside(data, x, y);
}

} // extern "C"
