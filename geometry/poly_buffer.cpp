// Unit buffers: allocation, collecting the outlines of drawing objects as
// pieces, and the preparation that adds directions, lengths and cell masks.
#include <windows.h>

#include <cmath>
#include <cstring>

#include "database/storage.h"
#include "database/undo.h"
#include "geometry/frame.h"
#include "geometry/poly.h"
#include "plugin/stream.h"

namespace {

constexpr double COLLECT_EQUAL = 1.0 / 1024; // collected points this close are one point
constexpr double TWO_PI = 6.283185307179586;
constexpr double PI = 3.141592653589793;
// What every collection asks of the stream besides the caller's flags.
constexpr uint32_t POLY_COLLECT_FLAGS =
    ENUM_FILLS | ENUM_NO_DASHING | ENUM_GEOMETRY | ENUM_SKIP_TEXTS | ENUM_SCREEN | ENUM_VISIBLE_ONLY;
static_assert(POLY_COLLECT_FLAGS == 0x11401009);

BufferData *g_PolyBufferData = nullptr;
uint32_t g_PolyBufferSelector = 0;
uint32_t g_PolyBufferTag = 0;

bool Equal(double x1, double y1, double x2, double y2)
{
    return std::fabs(x1 - x2) <= COLLECT_EQUAL && std::fabs(y1 - y2) <= COLLECT_EQUAL;
}

// ---------------------------------------------------------------------------
// Collecting one record.

struct Collector {
    BufferData *data;
    int32_t written = 0;          // items of this record
    BufferSegment *pending = nullptr;
    double curX = 0, curY = 0, startX = 0, startY = 0;
    int32_t contourFirst = -1;    // first item of the contour being collected
    int32_t lastCompleted = -1;

    BufferSegment *Slot(int32_t i) { return &data->items[data->used + i]; }
    bool Full() const { return data->used + written >= data->capacity; }

    // A fresh pending item starting at (x, y); null when the buffer is full.
    BufferSegment *Begin(double x, double y)
    {
        if (Full())
            return pending = nullptr;
        BufferSegment *s = Slot(written);
        std::memset(s, 0, sizeof *s);
        s->type = POLY_ITEM_LINE;
        s->contour = data->objects;
        s->tag = g_PolyBufferTag;
        s->x1 = x, s->y1 = y;
        return pending = s;
    }
    // Completes the pending item; false when the buffer is then full.
    bool Complete(double x, double y)
    {
        pending->x2 = x, pending->y2 = y;
        lastCompleted = written++;
        curX = x, curY = y;
        if (Full())
            return false;
        Begin(x, y);
        return true;
    }
    bool CloseContour(int32_t command)
    {
        if (lastCompleted < contourFirst || lastCompleted < 0)
            return true; // nothing collected in this contour
        if (command == POLY_RECORD_OPEN || Equal(curX, curY, startX, startY)) {
            Slot(lastCompleted)->contourEnd = 1;
            return true;
        }
        if (!pending)
            return false;
        pending->type = POLY_ITEM_LINE;
        pending->contourEnd = 1;
        return Complete(startX, startY);
    }
};

} // namespace

int PolyBufferAlloc(BufferData *data, int32_t capacity, uint32_t flags)
{
    if (!data)
        return 0;
    std::memset(data, 0, sizeof *data);
    data->xmin = data->ymin = 1e300;
    data->xmax = data->ymax = -1e300;
    data->flags = flags;
    const int64_t items = capacity < 0 ? -int64_t(capacity) * g_ObjectLimits.maxUnitPoints + 1 : capacity;
    if (items < 1 || items * int64_t(sizeof(BufferSegment)) > 0x7FFFFFFF)
        return 0;
    data->items = static_cast<BufferSegment *>(GlobalAlloc(GPTR, size_t(items) * sizeof(BufferSegment)));
    if (!data->items)
        return 0;
    data->capacity = int32_t(items);
    return 1;
}

int PolyBufferFree(BufferData *data)
{
    if (!data || !data->items)
        return 0;
    GlobalFree(data->items);
    data->items = nullptr;
    data->capacity = data->used = 0;
    return 1;
}

namespace {

// The path and point records of the stream, as the collector reads them.
int __stdcall CollectRecord(EnumerateRecord *record)
{
    const PolyPathRecord path{record->command, record->count, record->points, record->codes};
    return PolyCollectItem(&path);
}

} // namespace

int PolyBufferBegin(BufferData *data, uint32_t selector, uint32_t flags)
{
    if (!data || !data->items || g_PolyBufferData || StreamBusy())
        return 0;
    // The outlines come as the screen shows them, whole (no dashing), without
    // texts; curves the caller does not take as arcs or Bezier pieces arrive
    // flattened with the coarse tolerance.
    if (!StreamBeginEnumeration(selector, selector, flags | POLY_COLLECT_FLAGS, CollectRecord))
        return 0;
    g_PolyBufferData = data;
    g_PolyBufferSelector = selector;
    return 1;
}

int PolyBufferAddUnit(Unit *unit)
{
    if (!g_PolyBufferData || !unit)
        return 0;
    g_PolyBufferTag = unit->flags & g_PolyBufferSelector;
    return StreamEnumerateUnit(unit);
}

void PolyBufferEnd()
{
    if (!g_PolyBufferData)
        return;
    StreamEndEnumeration();
    g_PolyBufferData = nullptr;
}

int PolyCollectItem(const PolyPathRecord *record)
{
    BufferData *data = g_PolyBufferData;
    if (!data || !record || record->count < 0 || (record->count > 0 && (!record->points || !record->codes)))
        return 1;
    const double *pt = record->points;
    const int32_t *code = record->codes;
    if (record->command == POLY_RECORD_POINTS) {
        if (data->flags)
            return 1;
        if (data->used + record->count >= data->capacity)
            return 0;
        for (int32_t i = 0; i < record->count; ++i) {
            if (code[i] != POLY_CODE_POINT)
                continue;
            BufferSegment *s = &data->items[data->used++];
            std::memset(s, 0, sizeof *s);
            s->type = POLY_ITEM_POINT;
            s->x1 = s->x2 = pt[2 * i];
            s->y1 = s->y2 = pt[2 * i + 1];
            s->contour = data->objects;
            s->tag = g_PolyBufferTag;
            s->contourEnd = 1;
        }
        return 1;
    }
    if (record->command != POLY_RECORD_OPEN && record->command != POLY_RECORD_CLOSED)
        return 1;
    if (record->command == POLY_RECORD_OPEN && data->flags)
        return 1;
    Collector c{data};
    bool started = false;
    for (int32_t i = 0; i < record->count; ++i) {
        const double x = pt[2 * i], y = pt[2 * i + 1];
        switch (code[i]) {
        case POLY_CODE_START:
            if (started && !c.CloseContour(record->command))
                return 0;
            started = true;
            c.curX = c.startX = x, c.curY = c.startY = y;
            c.contourFirst = c.written;
            if (!c.Begin(x, y))
                return 0;
            break;
        case POLY_CODE_LINE:
            if (started && !Equal(x, y, c.curX, c.curY) && !c.Complete(x, y))
                return 0;
            break;
        case POLY_CODE_CONTROL1:
            if (started && i + 2 < record->count && code[i + 1] == POLY_CODE_CONTROL2) {
                c.pending->type = POLY_ITEM_BEZIER;
                c.pending->c1x = x, c.pending->c1y = y;
                c.pending->c2x = pt[2 * i + 2], c.pending->c2y = pt[2 * i + 3];
                i += 2;
                if (!c.Complete(pt[2 * i], pt[2 * i + 1]))
                    return 0;
            }
            break;
        case POLY_CODE_ARC:
            if (i + 1 < record->count) {
                const double h = pt[2 * i + 2], dir = pt[2 * i + 3];
                ++i;
                if (started && !Equal(x, y, c.curX, c.curY)) {
                    BufferSegment *s = c.pending;
                    s->type = POLY_ITEM_ARC;
                    s->cx = (s->x1 + x) / 2 - h * (y - s->y1);
                    s->cy = (s->y1 + y) / 2 + h * (x - s->x1);
                    s->direction = dir >= 0 ? 1 : 0;
                    if (!c.Complete(x, y))
                        return 0;
                }
            }
            break;
        default: break;
        }
    }
    if (started && !c.CloseContour(record->command))
        return 0;
    data->used += c.written;
    return 1;
}

int PolyBufferAddSelected(BufferData *data, uint32_t mask, uint32_t flags)
{
    if (!PolyBufferBegin(data, mask, flags))
        return 0;
    int ok = 1;
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u && ok; u = MemListNext(u)) {
            if (!(u->flags & mask))
                continue;
            ok = PolyBufferAddUnit(u);
            if (ok) {
                ++data->objects;
                FrameUnion(&data->xmin, u->frame);
            }
        }
    }
    PolyBufferEnd();
    return ok;
}

// ---------------------------------------------------------------------------
// Preparation.

namespace {

double Wrap(double a)
{
    if (a < 0)
        return a + TWO_PI;
    if (a >= TWO_PI)
        return a - TWO_PI;
    return a;
}

uint32_t CellMask(const double bounds[POLY_GRID_CELLS + 1], double lo, double hi, double tolerance)
{
    uint32_t mask = 0;
    for (int i = 0; i < POLY_GRID_CELLS; ++i)
        if (lo <= bounds[i + 1] + tolerance && bounds[i] - tolerance <= hi)
            mask |= 1u << i;
    return mask;
}

} // namespace

void PolyBufferPrepare(BufferData *data, double tolerance)
{
    if (!data || !data->items)
        return;
    double xs[POLY_GRID_CELLS + 1], ys[POLY_GRID_CELLS + 1];
    for (int i = 0; i <= POLY_GRID_CELLS; ++i) {
        xs[i] = data->xmin + i * (data->xmax - data->xmin) / POLY_GRID_CELLS;
        ys[i] = data->ymin + i * (data->ymax - data->ymin) / POLY_GRID_CELLS;
    }
    for (int32_t k = 0; k < data->used; ++k) {
        BufferSegment &s = data->items[k];
        double box[4] = {1e300, 1e300, -1e300, -1e300};
        switch (s.type) {
        case POLY_ITEM_LINE:
        case POLY_ITEM_ENDLESS:
            s.startTangent = s.startAngle = CalcAngleOfVector(s.x2 - s.x1, s.y2 - s.y1);
            s.endTangent = s.endAngle = Wrap(s.startAngle - PI);
            s.length = std::hypot(s.x2 - s.x1, s.y2 - s.y1);
            if (s.type == POLY_ITEM_ENDLESS) {
                box[0] = box[1] = -1e100;
                box[2] = box[3] = 1e100;
            } else {
                FrameExtendPoint(box, s.x1, s.y1);
                FrameExtendPoint(box, s.x2, s.y2);
            }
            break;
        case POLY_ITEM_ARC:
        case POLY_ITEM_CIRCLE:
            s.startAngle = CalcAngleOfVector(s.x1 - s.cx, s.y1 - s.cy);
            s.endAngle = CalcAngleOfVector(s.x2 - s.cx, s.y2 - s.cy);
            s.startTangent = Wrap(s.direction ? s.startAngle + PI / 2 : s.startAngle - PI / 2);
            s.endTangent = Wrap(s.direction ? s.endAngle - PI / 2 : s.endAngle + PI / 2);
            s.length = std::hypot(s.x1 - s.cx, s.y1 - s.cy);
            FrameExtendPoint(box, s.cx - s.length, s.cy - s.length);
            FrameExtendPoint(box, s.cx + s.length, s.cy + s.length);
            break;
        case POLY_ITEM_BEZIER:
            s.startTangent = s.startAngle = CalcAngleOfVector(s.c1x - s.x1, s.c1y - s.y1);
            s.endTangent = s.endAngle = CalcAngleOfVector(s.c2x - s.x2, s.c2y - s.y2);
            s.length = (std::hypot(s.x2 - s.x1, s.y2 - s.y1) + std::hypot(s.c1x - s.x1, s.c1y - s.y1) +
                        std::hypot(s.c2x - s.x2, s.c2y - s.y2)) / 2;
            FrameExtendPoint(box, s.x1, s.y1);
            FrameExtendPoint(box, s.c1x, s.c1y);
            FrameExtendPoint(box, s.c2x, s.c2y);
            FrameExtendPoint(box, s.x2, s.y2);
            break;
        default:
            // Points: the cells of the point itself.
            FrameExtendPoint(box, s.x1, s.y1);
            break;
        }
        s.columnMask = CellMask(xs, box[0], box[2], tolerance);
        s.rowMask = CellMask(ys, box[1], box[3], tolerance);
    }
}
