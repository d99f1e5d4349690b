// Unit buffers for plug-ins: the contours of drawing objects collected into
// a BufferData, prepared for the point-in-area test; and a blank unit buffer.
#include <cstring>

#include "database/storage.h"
#include "geometry/frame.h"
#include "geometry/hatch.h"
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

// A prepared buffer the plug-in hands back for reading: the record and its
// used segments.
bool Readable(const BufferData *data, const char *function, int line)
{
    if (!ZviReadable(data, sizeof(BufferData)))
        return ZviRefuse(function, line, "Data invalid!");
    if (data->used < 0 || data->used > data->capacity ||
        (data->used > 0 && !ZviReadable(data->items, size_t(data->used) * sizeof(BufferSegment))))
        return ZviRefuse(function, line, "Data->BufferPtr invalid!");
    return true;
}

// The plug-in's three path callbacks of a hatch enumeration. The generator
// calls plain functions, so the running enumeration's callbacks are kept
// here and put back afterwards (a callback may start another one).
struct PathCallbacks {
    ZviHatchOpenCallback open;
    ZviHatchAddCallback add;
    ZviHatchCloseCallback close;
};
PathCallbacks s_Paths;

int OpenPath(const XProperty *attributes) { return s_Paths.open(attributes); }
int AddPiece(const GeoObject *piece, int32_t line) { return s_Paths.add(piece, line); }
int ClosePath() { return s_Paths.close(); }

bool CallbacksValid(const PathCallbacks &c, const char *function, int line)
{
    if (!ZviCallable(reinterpret_cast<const void *>(c.open)))
        return ZviRefuse(function, line, "OpenPathCallBack address invalid!");
    if (!ZviCallable(reinterpret_cast<const void *>(c.add)))
        return ZviRefuse(function, line, "AddObjectCallBack address invalid!");
    if (!ZviCallable(reinterpret_cast<const void *>(c.close)))
        return ZviRefuse(function, line, "ClosePathCallBack address invalid!");
    return true;
}

bool OriginValid(const double *origin, const char *function, int line)
{
    return !origin || ZviReadable(origin, 2 * sizeof(double)) ||
           ZviRefuse(function, line, "HatchOrigin invalid!");
}

// Runs one generator with the plug-in's callbacks in place.
template <typename Generate>
int WithCallbacks(const PathCallbacks &callbacks, Generate generate)
{
    const PathCallbacks saved = s_Paths;
    s_Paths = callbacks;
    const int ok = generate();
    s_Paths = saved;
    return ok ? 1 : 0;
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
    if (!Readable(data, __func__, __LINE__))
        return 0;
    return HatchPointInside(x, y, data->items, data->used, 0);
}

int ZVI_CALL ZVI_EnumerateHatchLine(const BufferData *data, const MultiLineDef *lines, double angle, double distance,
                                    double offset, const double origin[2], ZviHatchOpenCallback open,
                                    ZviHatchAddCallback add, ZviHatchCloseCallback close)
{
    const PathCallbacks callbacks{open, add, close};
    if (!Readable(data, __func__, __LINE__))
        return 0;
    if (!ZviReadable(lines, sizeof(MultiLineDef)))
        return ZVI_REFUSE("MultiLine invalid!");
    if (!OriginValid(origin, __func__, __LINE__) || !CallbacksValid(callbacks, __func__, __LINE__))
        return 0;
    const MultiLineDef multiLine = *lines;
    return WithCallbacks(callbacks, [&] {
        return HatchEnumerateLines(data, &multiLine, angle, distance, offset, origin, OpenPath, AddPiece, ClosePath);
    });
}

int ZVI_CALL ZVI_EnumerateHatchBlock(const BufferData *data, const HatchDef *hatch, const double origin[2],
                                     ZviHatchOpenCallback open, ZviHatchAddCallback add, ZviHatchCloseCallback close)
{
    const PathCallbacks callbacks{open, add, close};
    if (!Readable(data, __func__, __LINE__))
        return 0;
    // The block is looked up by its names: both must end inside their fields.
    if (!ZviReadable(hatch, sizeof(HatchDef)) || !std::memchr(hatch->blockLibrary, 0, sizeof hatch->blockLibrary) ||
        !std::memchr(hatch->blockName, 0, sizeof hatch->blockName))
        return ZVI_REFUSE("HatchDef invalid!");
    if (!OriginValid(origin, __func__, __LINE__) || !CallbacksValid(callbacks, __func__, __LINE__))
        return 0;
    const HatchDef def = *hatch;
    return WithCallbacks(callbacks, [&] {
        return HatchEnumerateBlocks(data, &def, origin, OpenPath, AddPiece, ClosePath);
    });
}

} // extern "C"
