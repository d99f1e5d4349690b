// Segment arrays of path objects, single buffer items as objects, and the
// builder that turns hatch pieces into Hatch objects.
#include "geometry/poly.h"

#include <windows.h>

#include <cmath>
#include <cstring>

#include "app/darad4.h"
#include "app/init.h"
#include "app/system_defs.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/frame.h"

namespace {

constexpr double SEGMENT_POINT_EPS = 1e-10; // points this close are one point

bool Differs(double x1, double y1, double x2, double y2)
{
    return std::fabs(x1 - x2) > SEGMENT_POINT_EPS || std::fabs(y1 - y2) > SEGMENT_POINT_EPS;
}

const ElementPoint *AsPoint(const Element *e) { return reinterpret_cast<const ElementPoint *>(e); }

// The centre of the arc over the chord p1 -> p2 with centre-offset factor h.
void ArcCentre(double x1, double y1, double x2, double y2, double h, double *cx, double *cy)
{
    *cx = (x1 + x2) / 2 - h * (y2 - y1);
    *cy = (y1 + y2) / 2 + h * (x2 - x1);
}

// The segment array being filled; `full` once it reached its capacity.
struct SegmentSink {
    GeoObject *out;
    int capacity;
    int count;
    int contour;
    bool full;

    GeoObject *Next()
    {
        if (full)
            return nullptr;
        GeoObject *g = &out[count];
        std::memset(g, 0, sizeof *g);
        g->contour = contour;
        return g;
    }
    // Counts the record; an array filled up to its capacity is an overflow.
    void Commit()
    {
        if (++count >= capacity) {
            InitErrorBox(__FILE__, __LINE__, "Overflow");
            full = true;
        }
    }
    void Line(double x1, double y1, double x2, double y2)
    {
        GeoObject *g = Next();
        if (!g)
            return;
        g->type = GEO_LINE;
        g->d[0] = x1, g->d[1] = y1, g->d[2] = x2, g->d[3] = y2;
        Commit();
    }
};

} // namespace

int PolyObjectToSegments(const Unit *object, GeoObject *segments, int capacity)
{
    if (!object || !segments || capacity < 1 || object->kind != UNIT_KIND_OBJECT)
        return 0;
    const bool curve = object->object.type == OBJTYPE_CURVE;
    SegmentSink sink{segments, capacity, 0, 0, false};
    double curX = 0, curY = 0, startX = 0, startY = 0;
    bool open = false;
    auto closeContour = [&] {
        if (open && !curve && Differs(curX, curY, startX, startY))
            sink.Line(curX, curY, startX, startY);
    };
    const uint8_t *end = reinterpret_cast<const uint8_t *>(object) + object->bytes;
    const Element *e = UnitFirstElement(object);
    auto inside = [&](const Element *x) {
        return reinterpret_cast<const uint8_t *>(x) + ELEMENT_HEADER_SIZE <= end && x->size >= ELEMENT_HEADER_SIZE;
    };
    while (inside(e) && !sink.full) {
        const Element *next = ElementNext(e);
        switch (e->kind) {
        case POINT_START:
            closeContour();
            ++sink.contour;
            curX = startX = AsPoint(e)->x;
            curY = startY = AsPoint(e)->y;
            open = true;
            break;
        case POINT_LINE:
            if (Differs(AsPoint(e)->x, AsPoint(e)->y, curX, curY)) {
                sink.Line(curX, curY, AsPoint(e)->x, AsPoint(e)->y);
                curX = AsPoint(e)->x, curY = AsPoint(e)->y;
            }
            break;
        case POINT_CONTROL1: {
            const Element *c2 = next;
            const Element *p3 = inside(c2) ? ElementNext(c2) : nullptr;
            if (inside(c2) && c2->kind == POINT_CONTROL2 && p3 && inside(p3) && p3->kind == POINT_LINE) {
                GeoObject *g = sink.Next();
                if (g) {
                    g->type = GEO_CURVE;
                    g->d[0] = curX, g->d[1] = curY;
                    g->d[6] = AsPoint(e)->x, g->d[7] = AsPoint(e)->y;
                    g->d[8] = AsPoint(c2)->x, g->d[9] = AsPoint(c2)->y;
                    g->d[2] = AsPoint(p3)->x, g->d[3] = AsPoint(p3)->y;
                    sink.Commit();
                }
                curX = AsPoint(p3)->x, curY = AsPoint(p3)->y;
                next = ElementNext(p3);
            }
            break;
        }
        case POINT_ARC_PIECE_END:
            if (inside(next) && next->kind == ELEM_CURVE) {
                const double *curveValues = static_cast<const double *>(ElementPayload(next));
                const double x2 = AsPoint(e)->x, y2 = AsPoint(e)->y;
                if (Differs(x2, y2, curX, curY)) {
                    GeoObject *g = sink.Next();
                    if (g) {
                        const double h = curveValues[1];
                        g->type = GEO_CIRC_ARC;
                        ArcCentre(curX, curY, x2, y2, h, &g->d[0], &g->d[1]);
                        g->d[2] = curX, g->d[3] = curY;
                        g->d[6] = curX, g->d[7] = curY;
                        g->d[8] = x2, g->d[9] = y2;
                        g->d[13] = h;
                        g->direction = curveValues[0] >= 0 ? 1 : 0;
                        sink.Commit();
                    }
                    curX = x2, curY = y2;
                }
                next = ElementNext(next);
            }
            break;
        case ELEM_END:
            closeContour();
            return sink.full ? 0 : sink.count;
        default: break;
        }
        e = next;
    }
    if (!sink.full)
        closeContour();
    return sink.full ? 0 : sink.count;
}

uint32_t PolySegmentsToObject(Unit *object, const GeoObject *segments, int count)
{
    if (!object || (!segments && count > 0))
        return 0;
    ChainWriter w;
    InitChainBegin(&w, object, UnitElementOffset(object->kind) + g_ObjectLimits.maxUnitData);
    int32_t lastContour = 0;
    for (int i = 0; i < count; ++i) {
        const GeoObject &g = segments[i];
        if (g.type != GEO_LINE && g.type != GEO_CIRC_ARC && g.type != GEO_CURVE)
            continue;
        if (g.contour != lastContour && g.contour != 0) {
            if (g.type == GEO_CIRC_ARC)
                InitChainPoint(&w, POINT_START, g.d[6], g.d[7]);
            else
                InitChainPoint(&w, POINT_START, g.d[0], g.d[1]);
            lastContour = g.contour;
        }
        switch (g.type) {
        case GEO_LINE:
            if (Differs(g.d[2], g.d[3], g.d[0], g.d[1]))
                InitChainPoint(&w, POINT_LINE, g.d[2], g.d[3]);
            break;
        case GEO_CIRC_ARC: {
            const double h = g.d[13] == CALC_NO_VALUE
                                 ? CalcCurvature(g.d[0], g.d[1], g.d[6], g.d[7], g.d[8], g.d[9])
                                 : g.d[13];
            InitChainPoint(&w, POINT_ARC_PIECE_END, g.d[8], g.d[9]);
            InitChainCurve(&w, g.direction ? 1.0 : -1.0, h);
            break;
        }
        case GEO_CURVE:
            InitChainPoint(&w, POINT_CONTROL1, g.d[6], g.d[7]);
            InitChainPoint(&w, POINT_CONTROL2, g.d[8], g.d[9]);
            InitChainPoint(&w, POINT_LINE, g.d[2], g.d[3]);
            break;
        default: break;
        }
    }
    const uint32_t bytes = InitChainEnd(&w);
    return bytes ? bytes - UnitElementOffset(object->kind) : 0;
}

int PolyItemToObject(const BufferSegment *item, const XProperty *property, uint32_t flags)
{
    if (!item || !property)
        return 0;
    int32_t type;
    uint32_t bytes;
    switch (item->type) {
    case POLY_ITEM_LINE: type = OBJTYPE_LINE, bytes = 200; break;
    case POLY_ITEM_ARC: type = OBJTYPE_CIRC_ARC, bytes = 312; break;
    case POLY_ITEM_BEZIER: type = OBJTYPE_CURVE, bytes = 264; break;
    case POLY_ITEM_POINT: type = OBJTYPE_MARK, bytes = 168; break;
    default: return 0;
    }
    Unit *unit = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    if (!unit)
        return 0;
    unit->flags = 0;
    unit->kind = UNIT_KIND_OBJECT;
    unit->object.type = type;
    unit->object.reserved = OBJTYPE_RESERVED;
    ChainWriter w;
    InitChainBegin(&w, unit, bytes);
    switch (item->type) {
    case POLY_ITEM_LINE:
        InitChainPoint(&w, POINT_START, item->x1, item->y1);
        InitChainPoint(&w, POINT_LINE, item->x2, item->y2);
        break;
    case POLY_ITEM_ARC:
        InitChainPoint(&w, POINT_CENTRE, item->cx, item->cy);
        InitChainPoint(&w, POINT_ON_CIRCLE, item->x1, item->y1);
        InitChainPoint(&w, POINT_ARC_END, item->x1, item->y1);
        InitChainPoint(&w, POINT_ARC_END, item->x2, item->y2);
        InitChainOrient(&w, item->direction ? 1.0 : -1.0);
        InitChainRecord(&w, ELEM_SUB_CIRCLE_ARC, ELEM_SIZE_SUB_CIRCLE_ARC);
        break;
    case POLY_ITEM_BEZIER:
        InitChainPoint(&w, POINT_START, item->x1, item->y1);
        InitChainPoint(&w, POINT_CONTROL1, item->c1x, item->c1y);
        InitChainPoint(&w, POINT_CONTROL2, item->c2x, item->c2y);
        InitChainPoint(&w, POINT_LINE, item->x2, item->y2);
        break;
    default: InitChainPoint(&w, POINT_MARK, item->x1, item->y1); break;
    }
    if (!InitChainEnd(&w)) {
        MemListDelete(LIST_DRAWING, unit);
        return 0;
    }
    ObjectInitHeaderFlags(unit, type);
    unit->property = *property;
    unit->flags |= flags;
    ObjectUpdateDisplayFlags(unit);
    FrameCalcObject(unit, 0);
    FrameUnion(g_ChangedRect, unit->frame);
    return 1;
}

// ---------------------------------------------------------------------------
// Hatch objects from pieces.

namespace {

Unit *g_PolyBuildUnit = nullptr;
uint32_t g_PolyBuildPieces = 0;
uint32_t g_PolyBuildOffset = 0; // chain bytes written behind the header
uint32_t g_PolyBuildPoints = 0;

constexpr uint32_t LINE_PIECE_BYTES = 2 * ELEM_SIZE_POINT + ELEM_SIZE_END;
constexpr uint32_t ARC_PIECE_BYTES = 2 * ELEM_SIZE_POINT + ELEM_SIZE_CURVE + ELEM_SIZE_END;

Element *BuildElement()
{
    return reinterpret_cast<Element *>(reinterpret_cast<uint8_t *>(g_PolyBuildUnit) + UNIT_ELEMENTS_OBJECT +
                                       g_PolyBuildOffset);
}

void BuildPoint(int16_t kind, double x, double y)
{
    auto *p = reinterpret_cast<ElementPoint *>(BuildElement());
    InitElementPoint(&p->head, kind);
    p->x = x, p->y = y;
    g_PolyBuildOffset += ELEM_SIZE_POINT;
    ++g_PolyBuildPoints;
}

// Closes a full object and opens the next one with the same attributes.
int MakeRoomFor(uint32_t bytes)
{
    if (!g_PolyBuildUnit)
        return 0;
    const bool full = g_PolyBuildPoints >= PIECE_POINT_LIMIT || g_PolyBuildPieces >= POLY_HATCH_MAX_PIECES ||
                      g_PolyBuildOffset + bytes >= g_ObjectLimits.maxUnitData;
    if (!full)
        return 1;
    const XProperty saved = g_PolyBuildUnit->property;
    if (!PolyFinishObject())
        return 0;
    return PolyStartHatchObject(&saved);
}

} // namespace

int PolyStartHatchObject(const XProperty *property)
{
    if (g_PolyBuildUnit)
        GlobalFree(g_PolyBuildUnit);
    g_PolyBuildUnit = static_cast<Unit *>(GlobalAlloc(GPTR, g_ObjectLimits.objectSize));
    g_PolyBuildOffset = g_PolyBuildPoints = g_PolyBuildPieces = 0;
    if (!g_PolyBuildUnit)
        return 0;
    Unit *u = g_PolyBuildUnit;
    ObjectInitHeaderFlags(u, OBJTYPE_HATCH);
    if (property)
        u->property = *property;
    u->property.layer = g_DefaultLayers[DEFAULT_LAYER_HATCH] >= 0 ? g_DefaultLayers[DEFAULT_LAYER_HATCH] : g_ActiveLayer;
    return 1;
}

int PolyAddLine(double x1, double y1, double x2, double y2)
{
    if (!MakeRoomFor(LINE_PIECE_BYTES))
        return 0;
    BuildPoint(POINT_START, x1, y1);
    BuildPoint(POINT_LINE, x2, y2);
    ++g_PolyBuildPieces;
    return 1;
}

int PolyAddArc(double cx, double cy, double x1, double y1, double x2, double y2, int32_t direction)
{
    if (!MakeRoomFor(ARC_PIECE_BYTES))
        return 0;
    BuildPoint(POINT_START, x1, y1);
    BuildPoint(POINT_ARC_PIECE_END, x2, y2);
    Element *c = BuildElement();
    InitElementCurve(c);
    double *values = static_cast<double *>(ElementPayload(c));
    values[0] = direction ? 1.0 : -1.0;
    values[1] = CalcCurvature(cx, cy, x1, y1, x2, y2);
    g_PolyBuildOffset += ELEM_SIZE_CURVE;
    ++g_PolyBuildPoints;
    ++g_PolyBuildPieces;
    return 1;
}

int PolyAddItem(const GeoObject *piece)
{
    if (!piece)
        return 0;
    switch (piece->type) {
    case GEO_LINE: return PolyAddLine(piece->d[0], piece->d[1], piece->d[2], piece->d[3]);
    case GEO_CIRC_ARC:
        return PolyAddArc(piece->d[0], piece->d[1], piece->d[6], piece->d[7], piece->d[8], piece->d[9],
                          piece->direction);
    default: return 0;
    }
}

int PolyFinishObject()
{
    if (!g_PolyBuildUnit)
        return 0;
    int result = 1;
    if (g_PolyBuildPoints > 0) {
        InitElementEnd(BuildElement());
        g_PolyBuildOffset += ELEM_SIZE_END;
        g_PolyBuildUnit->bytes = UNIT_ELEMENTS_OBJECT + g_PolyBuildOffset;
        Unit *stored = MemListNewCopyAfter(LIST_DRAWING, g_PolyBuildUnit, g_PolyBuildUnit->bytes, nullptr);
        if (stored) {
            UndoStampCreated(stored);
            ObjectUpdateDisplayFlags(stored);
            FrameCalcObject(stored, 0);
        } else {
            AlertSM2(g_MainWnd);
            result = 0;
        }
    }
    g_PolyBuildOffset = g_PolyBuildPoints = 0;
    GlobalFree(g_PolyBuildUnit);
    g_PolyBuildUnit = nullptr;
    return result;
}
