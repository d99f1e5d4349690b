// Unit buffers: allocation, collecting the outlines of drawing objects as
// pieces, and the preparation that adds directions, lengths and cell masks.
#include <windows.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "geometry/flat.h"
#include "geometry/frame.h"
#include "geometry/poly.h"

namespace {

constexpr double COLLECT_EQUAL = 1.0 / 1024; // collected points this close are one point
constexpr double TWO_PI = 6.283185307179586;
constexpr double PI = 3.141592653589793;

BufferData *g_PolyBufferData = nullptr;
uint32_t g_PolyBufferSelector = 0;
uint32_t g_PolyBufferTag = 0;

bool Equal(double x1, double y1, double x2, double y2)
{
    return std::fabs(x1 - x2) <= COLLECT_EQUAL && std::fabs(y1 - y2) <= COLLECT_EQUAL;
}

// ---------------------------------------------------------------------------
// An object's outline as one path record (points and codes), the way the
// enumeration stream delivers it with arcs as arc records.

struct PathBuilder {
    std::vector<double> points;
    std::vector<int32_t> codes;
    void Add(int32_t code, double x, double y)
    {
        points.push_back(x);
        points.push_back(y);
        codes.push_back(code);
    }
    // An arc from the current point to (x, y) around (cx, cy).
    void Arc(double cx, double cy, double x1, double y1, double x2, double y2, bool ccw)
    {
        Add(POLY_CODE_ARC, x2, y2);
        Add(POLY_CODE_ARC_PARAMETER, CalcCurvature(cx, cy, x1, y1, x2, y2), ccw ? 1.0 : -1.0);
    }
};

const ElementPoint *PointOfKind(const Unit *unit, int16_t kind, int skip)
{
    const uint8_t *end = reinterpret_cast<const uint8_t *>(unit) + unit->bytes;
    for (const Element *e = UnitFirstElement(unit);
         reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END &&
         e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e))
        if (e->kind == kind && skip-- == 0)
            return reinterpret_cast<const ElementPoint *>(e);
    return nullptr;
}

// Path objects: their chain already is a path of start, line, Bezier and arc elements.
void PathFromChain(const Unit *unit, PathBuilder *path)
{
    const uint8_t *end = reinterpret_cast<const uint8_t *>(unit) + unit->bytes;
    for (const Element *e = UnitFirstElement(unit);
         reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END &&
         e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e)) {
        const auto *p = reinterpret_cast<const ElementPoint *>(e);
        switch (e->kind) {
        case POINT_START:
        case POINT_LINE:
        case POINT_CONTROL1:
        case POINT_CONTROL2:
        case POINT_ARC_PIECE_END: path->Add(e->kind, p->x, p->y); break;
        case ELEM_CURVE: {
            const double *v = static_cast<const double *>(ElementPayload(e));
            path->Add(POLY_CODE_ARC_PARAMETER, v[1], v[0]);
            break;
        }
        default: break;
        }
    }
}

// Circles, arcs, sectors and segments; 1 when the figure is closed.
int PathFromCircle(const Unit *unit, int32_t type, PathBuilder *path)
{
    const ElementPoint *c = PointOfKind(unit, POINT_CENTRE, 0), *on = PointOfKind(unit, POINT_ON_CIRCLE, 0);
    if (!c || !on)
        return 0;
    const double r = std::hypot(on->x - c->x, on->y - c->y);
    if (r <= 0)
        return 0;
    if (type == OBJTYPE_CIRCLE || type == OBJTYPE_GEO_CIRCLE) {
        const double qx = 2 * c->x - on->x, qy = 2 * c->y - on->y;
        path->Add(POLY_CODE_START, on->x, on->y);
        path->Arc(c->x, c->y, on->x, on->y, qx, qy, true);
        path->Arc(c->x, c->y, qx, qy, on->x, on->y, true);
        return 1;
    }
    const ElementPoint *s = PointOfKind(unit, POINT_ARC_END, 0), *e = PointOfKind(unit, POINT_ARC_END, 1);
    const Element *orient = nullptr;
    UnitForEachElement(const_cast<Unit *>(unit), [&](Element *x) {
        if (x->kind == ELEM_ORIENT && !orient)
            orient = x;
    });
    if (!s || !e)
        return 0;
    const bool ccw = !orient || *static_cast<const double *>(ElementPayload(orient)) >= 0;
    // The end points on the circle, in the directions stored.
    auto onCircle = [&](const ElementPoint *p, double *x, double *y) {
        const double d = std::hypot(p->x - c->x, p->y - c->y);
        *x = d > 0 ? c->x + (p->x - c->x) * r / d : c->x + r;
        *y = d > 0 ? c->y + (p->y - c->y) * r / d : c->y;
    };
    double sx, sy, ex, ey;
    onCircle(s, &sx, &sy);
    onCircle(e, &ex, &ey);
    if (type == OBJTYPE_CIRC_SEC) {
        path->Add(POLY_CODE_START, c->x, c->y);
        path->Add(POLY_CODE_LINE, sx, sy);
    } else {
        path->Add(POLY_CODE_START, sx, sy);
    }
    // A long arc goes in two halves, so that each chord keeps its centre.
    const double a1 = std::atan2(sy - c->y, sx - c->x), a2 = std::atan2(ey - c->y, ex - c->x);
    double sweep = ccw ? a2 - a1 : a1 - a2;
    while (sweep <= 0)
        sweep += TWO_PI;
    const double mid = a1 + (ccw ? sweep : -sweep) / 2;
    const double mx = c->x + r * std::cos(mid), my = c->y + r * std::sin(mid);
    path->Arc(c->x, c->y, sx, sy, mx, my, ccw);
    path->Arc(c->x, c->y, mx, my, ex, ey, ccw);
    return type == OBJTYPE_CIRC_ARC ? 0 : 1;
}

int PathFromEllipse(const Unit *unit, PathBuilder *path)
{
    const ElementPoint *c = PointOfKind(unit, POINT_CENTRE, 0);
    const ElementPoint *a1 = PointOfKind(unit, POINT_AXIS_END, 0), *a2 = PointOfKind(unit, POINT_AXIS_END, 1);
    if (!c || !a1 || !a2)
        return 0;
    PathPoint pts[FLAT_MAX_CURVE_ENTRIES + 3] = {{c->x, c->y}, {a1->x, a1->y}, {a2->x, a2->y}};
    uint32_t codes[FLAT_MAX_CURVE_ENTRIES + 3] = {};
    const int32_t n = FlatAddEllipse(pts, codes, 0);
    for (int32_t i = 0; i < n; ++i)
        path->Add(static_cast<int32_t>(codes[i]), pts[i].x, pts[i].y);
    return n > 0;
}

// The record command of an object's outline, 0 for objects without one.
int32_t PathOfUnit(const Unit *unit, PathBuilder *path)
{
    if (unit->kind != UNIT_KIND_OBJECT)
        return 0;
    const int32_t type = unit->object.type;
    switch (type) {
    case OBJTYPE_LINE:
    case OBJTYPE_HATCH:
    case OBJTYPE_CURVE:
    case OBJTYPE_LINE_STR: PathFromChain(unit, path); return POLY_RECORD_OPEN;
    case OBJTYPE_SURFACE: PathFromChain(unit, path); return POLY_RECORD_CLOSED;
    case OBJTYPE_CIRCLE:
    case OBJTYPE_GEO_CIRCLE:
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM: {
        const int closed = PathFromCircle(unit, type, path);
        return path->codes.empty() ? 0 : closed ? POLY_RECORD_CLOSED : POLY_RECORD_OPEN;
    }
    case OBJTYPE_ELLIPSE:
    case OBJTYPE_GEO_ELLI: return PathFromEllipse(unit, path) ? POLY_RECORD_CLOSED : 0;
    case OBJTYPE_MARK: {
        UnitForEachElement(const_cast<Unit *>(unit), [&](Element *e) {
            if (e->kind == POINT_MARK) {
                const auto *p = reinterpret_cast<const ElementPoint *>(e);
                path->Add(POLY_CODE_POINT, p->x, p->y);
            }
        });
        return path->codes.empty() ? 0 : POLY_RECORD_POINTS;
    }
    default: return 0;
    }
}

} // namespace

int32_t PolyUnitOutline(const Unit *unit, std::vector<double> *points, std::vector<int32_t> *codes)
{
    PathBuilder path;
    const int32_t command = unit ? PathOfUnit(unit, &path) : 0;
    points->swap(path.points);
    codes->swap(path.codes);
    return command;
}

namespace {

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

int PolyBufferBegin(BufferData *data, uint32_t selector, uint32_t flags)
{
    if (!data || !data->items || g_PolyBufferData)
        return 0;
    // Outlines are read from the objects themselves, arcs as arc records;
    // the enumeration flags ask nothing more of them.
    (void)flags;
    g_PolyBufferData = data;
    g_PolyBufferSelector = selector;
    return 1;
}

int PolyBufferAddUnit(Unit *unit)
{
    if (!g_PolyBufferData || !unit)
        return 0;
    g_PolyBufferTag = unit->flags & g_PolyBufferSelector;
    PathBuilder path;
    const int32_t command = PathOfUnit(unit, &path);
    if (!command)
        return 1;
    const PolyPathRecord record{command, int32_t(path.codes.size()), path.points.data(), path.codes.data()};
    return PolyCollectItem(&record);
}

void PolyBufferEnd() { g_PolyBufferData = nullptr; }

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
