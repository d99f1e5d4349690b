#include "commands/transform.h"

#include <cmath>
#include <cstring>

#include "database/init.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "plugin/zvi_edit.h"

namespace {

void PlainCopy(const Unit *source, Unit *target)
{
    if (source != target)
        std::memmove(target, source, source->bytes);
}

// The first element of a kind.
Element *ElementOfKind(Unit *u, int16_t kind)
{
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE; e = ElementNext(e))
        if (e->kind == kind)
            return e;
    return nullptr;
}

double OrientationOf(const Unit *u)
{
    for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e))
        if (e->kind == ELEM_ORIENT)
            return *static_cast<const double *>(ElementPayload(e));
    return 1.0;
}

int32_t EllipticTwin(int32_t type)
{
    switch (type) {
    case OBJTYPE_CIRCLE: return OBJTYPE_ELLIPSE;
    case OBJTYPE_GEO_CIRCLE: return OBJTYPE_GEO_ELLI;
    case OBJTYPE_CIRC_ARC: return OBJTYPE_ELLI_ARC;
    case OBJTYPE_CIRC_SEC: return OBJTYPE_ELLI_SEC;
    case OBJTYPE_CIRC_SEGM: return OBJTYPE_ELLI_SEGM;
    default: return -1;
    }
}

} // namespace

int TransformDistortable(const Unit *source, Unit *target)
{
    const int32_t twin = source->kind == UNIT_KIND_OBJECT ? EllipticTwin(source->object.type) : -1;
    const ElementPoint *c = twin >= 0 ? UnitPointAt(source, 0) : nullptr;
    const ElementPoint *on = twin >= 0 ? UnitPointAt(source, 1) : nullptr;
    const bool arc = twin == OBJTYPE_ELLI_ARC || twin == OBJTYPE_ELLI_SEC || twin == OBJTYPE_ELLI_SEGM;
    const ElementPoint *s = arc ? UnitPointAt(source, 2) : nullptr, *e = arc ? UnitPointAt(source, 3) : nullptr;
    if (!c || !on || (arc && (!s || !e))) {
        PlainCopy(source, target);
        return 0;
    }
    // The source's points are read before the target (which may be the
    // source's own buffer) is written.
    const double cx = c->x, cy = c->y, r = std::hypot(on->x - c->x, on->y - c->y);
    const double sx = s ? s->x : 0, sy = s ? s->y : 0, ex = e ? e->x : 0, ey = e ? e->y : 0;
    const double orientation = OrientationOf(source);
    std::memmove(target, source, UNIT_ELEMENTS_OBJECT);
    target->object.type = twin;
    ChainWriter w;
    InitChainBegin(&w, target, g_ObjectLimits.scratchSize);
    InitChainPoint(&w, POINT_CENTRE, cx, cy);
    InitChainPoint(&w, POINT_AXIS_END, cx + r, cy);
    InitChainPoint(&w, POINT_AXIS_END, cx, cy + r);
    if (arc) {
        InitChainPoint(&w, POINT_ARC_END, sx, sy);
        InitChainPoint(&w, POINT_ARC_END, ex, ey);
        InitChainOrient(&w, orientation);
        InitChainRecord(&w, ELEM_SUB_ELLIPSE_ARC, ELEM_SIZE_SUB_ELLIPSE_ARC);
    }
    return InitChainEnd(&w) ? 1 : 0;
}

int TransformInvert(const Unit *source, Unit *target)
{
    PlainCopy(source, target);
    if (target->kind != UNIT_KIND_OBJECT)
        return 0;
    switch (target->object.type) {
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM:
    case OBJTYPE_LINE_CURVED:
    case OBJTYPE_ELLI_ARC:
    case OBJTYPE_ELLI_SEC:
    case OBJTYPE_ELLI_SEGM: break;
    default: return 0;
    }
    Element *orient = ElementOfKind(target, ELEM_ORIENT);
    if (!orient)
        return 0;
    // Only the sign counts: 0 or more runs counter-clockwise.
    double *v = static_cast<double *>(ElementPayload(orient));
    *v = ZVI_FlipSense(*v);
    return 1;
}

int TransformObjectType(const Unit *source, Unit *target, int32_t newType)
{
    // The type changes come with the path commands; until then every pair
    // of types is reported as not convertible.
    (void)newType;
    PlainCopy(source, target);
    return 0;
}
