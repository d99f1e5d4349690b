#include "commands/transform.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <vector>

#include "app/system.h"
#include "database/init.h"
#include "database/object_rects.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"
#include "geometry/flat.h"
#include "geometry/frame.h"
#include "app/darad4.h"
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

namespace {

bool IsPathWithArcs(const Unit *u)
{
    if (u->kind != UNIT_KIND_OBJECT)
        return false;
    const int32_t t = u->object.type;
    return t == OBJTYPE_HATCH || t == OBJTYPE_CURVE || t == OBJTYPE_SURFACE || t == OBJTYPE_CLIP;
}

// The path rewritten with every circular arc as Bezier pieces. The chain
// may grow sixfold per arc; a result that would not fit in one object is
// refused with target a plain copy.
int DistortablePath(const Unit *source, Unit *target)
{
    const std::vector<uint8_t> copy(reinterpret_cast<const uint8_t *>(source),
                                    reinterpret_cast<const uint8_t *>(source) + source->bytes);
    const Unit *src = reinterpret_cast<const Unit *>(copy.data());
    PlainCopy(src, target);
    ChainWriter w;
    InitChainBegin(&w, target, std::min(g_ObjectLimits.scratchSize, g_ObjectLimits.objectSize));
    const Element *e = UnitFirstElement(src);
    if (src->object.type == OBJTYPE_CLIP && e->kind != ELEM_END) {
        // The clip record stays as it is.
        Element *record = InitChainRecord(&w, e->kind, e->size);
        if (record)
            std::memcpy(record, e, e->size);
        e = ElementNext(e);
    }
    PathPoint current{0, 0};
    for (; e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE; e = ElementNext(e)) {
        if (!ElementIsPoint(e))
            continue;
        const auto *p = reinterpret_cast<const ElementPoint *>(e);
        if (e->kind == POINT_START || e->kind == POINT_LINE || e->kind == POINT_CONTROL1 ||
            e->kind == POINT_CONTROL2) {
            InitChainPoint(&w, e->kind, p->x, p->y);
            if (e->kind == POINT_START || e->kind == POINT_LINE)
                current = {p->x, p->y};
            continue;
        }
        const Element *parameter = ElementNext(e);
        if (e->kind != POINT_ARC_PIECE_END || parameter->kind != ELEM_CURVE)
            continue;
        const double *v = static_cast<const double *>(ElementPayload(parameter));
        PathPoint points[FLAT_MAX_CURVE_ENTRIES + 2] = {current, {p->x, p->y}};
        uint32_t codes[FLAT_MAX_CURVE_ENTRIES + 2] = {};
        const int32_t count = FlatAddArcBulge(points, codes, 0, v[0], v[1]);
        // The first point is the current point, already written.
        for (int32_t i = 1; i < count && i <= FLAT_MAX_CURVE_ENTRIES; ++i)
            InitChainPoint(&w, static_cast<int16_t>(codes[i]), points[i].x, points[i].y);
        current = {p->x, p->y};
    }
    if (!InitChainEnd(&w)) {
        PlainCopy(src, target);
        return 0;
    }
    return 1;
}

} // namespace

int TransformDistortable(const Unit *source, Unit *target)
{
    if (IsPathWithArcs(source))
        return DistortablePath(source, target);
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
    *v = ZviFlipSense(*v);
    return 1;
}


// ---------------------------------------------------------------------------
// Fetch and store.

namespace {

Unit *Scratch() { return reinterpret_cast<Unit *>(g_Universal1); }

void SetRect(double *rect, const double *frame) { std::memcpy(rect, frame, 4 * sizeof(double)); }

void CalcFrame(Unit *u)
{
    if (u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN)
        FrameCalcInstance(u, 0);
    else
        FrameCalcObject(u, 0);
}

// A stored copy takes over the replaced object's user mark alone.
void TakeUserMark(Unit *copy, const Unit *old)
{
    UndoStampCreated(copy);
    copy->flags = old->flags & UNIT_USER_MARK;
    CalcFrame(copy);
    SetRect(g_ChangedRect, copy->frame);
}

} // namespace

Unit *TransformFetchUnit(int32_t ident)
{
    const Unit *old = UndoFindIdent(ident);
    if (!old) {
        AlertSM5(g_MainWnd);
        return nullptr;
    }
    SetRect(g_ExtentsRect, old->frame);
    std::memcpy(Scratch(), old, old->bytes);
    return Scratch();
}

int TransformStoreUnit(int32_t ident, int keep)
{
    Unit *old = UndoFindIdent(ident);
    if (!old) {
        AlertSM5(g_MainWnd);
        return 0;
    }
    Unit *copy = MemListNewCopyBefore(LIST_DRAWING, Scratch(), Scratch()->bytes, old);
    if (!copy) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    TakeUserMark(copy, old);
    if (!keep)
        UndoStampDeleted(old);
    return 1;
}

int TransformReplaceUnit(Unit *other, Unit *anchor, int keep, uint32_t bits)
{
    Unit *copy = MemListNewCopyAfter(LIST_DRAWING, Scratch(), Scratch()->bytes, anchor);
    if (!copy) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    UndoStampCreated(copy);
    if (anchor)
        copy->flags |= anchor->flags & UNIT_USER_MARK;
    copy->flags |= bits;
    FrameCalcObject(copy, 0);
    // The new area is this object's alone, not widened by earlier stores.
    SetRect(g_ChangedRect, copy->frame);
    if (!keep) {
        if (anchor)
            UndoStampDeleted(anchor);
        if (other)
            UndoStampDeleted(other);
    }
    return 1;
}

int TransformReplaceByIdent(int32_t ident)
{
    FrameSetEmpty(g_ChangedRect);
    Unit *old = UndoFindIdent(ident);
    if (!old)
        return 0;
    SetRect(g_ExtentsRect, old->frame);
    Scratch()->property = old->property;
    Unit *copy = MemListNewCopyAfter(LIST_DRAWING, Scratch(), Scratch()->bytes, old);
    if (!copy)
        return 0;
    TakeUserMark(copy, old);
    if (!g_DrawingSettings.displayDuplicate)
        UndoStampDeleted(old);
    return 1;
}

// ---------------------------------------------------------------------------
// Type conversions.

namespace {

struct CircleData {
    double cx, cy, px, py; // centre and circle point
    double sx, sy, ex, ey; // arc ends
    double orientation;
    bool arc;
};

bool IsCircularArc(int32_t type)
{
    return type == OBJTYPE_CIRC_ARC || type == OBJTYPE_CIRC_SEC || type == OBJTYPE_CIRC_SEGM;
}
bool IsEllipticArc(int32_t type)
{
    return type == OBJTYPE_ELLI_ARC || type == OBJTYPE_ELLI_SEC || type == OBJTYPE_ELLI_SEGM;
}

// Read before the target (possibly the same buffer) is written.
bool ReadCircle(const Unit *u, CircleData *c)
{
    const ElementPoint *centre = UnitPointAt(u, 0), *on = UnitPointAt(u, 1);
    if (!centre || !on)
        return false;
    *c = {centre->x, centre->y, on->x, on->y, 0, 0, 0, 0, OrientationOf(u), IsCircularArc(u->object.type)};
    if (c->arc) {
        const ElementPoint *s = UnitPointAt(u, 2), *e = UnitPointAt(u, 3);
        if (!s || !e)
            return false;
        c->sx = s->x;
        c->sy = s->y;
        c->ex = e->x;
        c->ey = e->y;
    }
    return true;
}

// Starts a new chain in target with the source's header and a new type.
void BeginChain(const Unit *source, Unit *target, int32_t type, ChainWriter *w)
{
    if (source != target)
        std::memmove(target, source, UNIT_ELEMENTS_OBJECT);
    target->object.type = type;
    InitChainBegin(w, target, g_ObjectLimits.scratchSize);
}

int WriteCirclePath(const CircleData &c, Unit *target, int32_t sourceType)
{
    ChainWriter w;
    const double direction = c.orientation >= 0 ? 1.0 : -1.0;
    switch (sourceType) {
    case OBJTYPE_CIRCLE: {
        // Two counter-clockwise semicircles from the rightmost point.
        const double r = std::hypot(c.px - c.cx, c.py - c.cy);
        BeginChain(target, target, OBJTYPE_SURFACE, &w);
        InitChainPoint(&w, POINT_START, c.cx + r, c.cy);
        InitChainPoint(&w, POINT_ARC_PIECE_END, c.cx - r, c.cy);
        InitChainCurve(&w, 1.0, 0.0);
        InitChainPoint(&w, POINT_ARC_PIECE_END, c.cx + r, c.cy);
        InitChainCurve(&w, 1.0, 0.0);
        break;
    }
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM:
        BeginChain(target, target, sourceType == OBJTYPE_CIRC_ARC ? OBJTYPE_CURVE : OBJTYPE_SURFACE, &w);
        if (sourceType == OBJTYPE_CIRC_SEC) {
            InitChainPoint(&w, POINT_START, c.cx, c.cy);
            InitChainPoint(&w, POINT_LINE, c.sx, c.sy);
        } else {
            InitChainPoint(&w, POINT_START, c.sx, c.sy);
        }
        InitChainPoint(&w, POINT_ARC_PIECE_END, c.ex, c.ey);
        InitChainCurve(&w, direction, CalcCurvature(c.cx, c.cy, c.sx, c.sy, c.ex, c.ey));
        break;
    default: return 0;
    }
    return InitChainEnd(&w) ? 1 : 0;
}

bool IsPathPoint(int16_t kind)
{
    return kind == POINT_START || kind == POINT_LINE || kind == POINT_CONTROL1 || kind == POINT_CONTROL2 ||
           kind == POINT_ARC_PIECE_END;
}

// A Surface as a Curve: every contour closed by an explicit line back to its
// start unless its last point already is there.
int SurfaceToCurve(const Unit *source, Unit *target)
{
    PlainCopy(source, target);
    std::vector<uint8_t> copy(reinterpret_cast<const uint8_t *>(source),
                              reinterpret_cast<const uint8_t *>(source) + source->bytes);
    const Unit *src = reinterpret_cast<const Unit *>(copy.data());
    ChainWriter w;
    BeginChain(target, target, OBJTYPE_CURVE, &w);
    bool open = false;
    double fx = 0, fy = 0, lx = 0, ly = 0;
    auto close = [&]() {
        if (open && (std::fabs(lx - fx) > CALC_ZERO || std::fabs(ly - fy) > CALC_ZERO))
            InitChainPoint(&w, POINT_LINE, fx, fy);
    };
    for (const Element *e = UnitFirstElement(src); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e)) {
        if (e->kind == ELEM_CURVE) {
            const double *v = static_cast<const double *>(ElementPayload(e));
            InitChainCurve(&w, v[0], v[1]);
            continue;
        }
        if (!ElementIsPoint(e) || !IsPathPoint(e->kind))
            continue;
        const ElementPoint *p = reinterpret_cast<const ElementPoint *>(e);
        if (e->kind == POINT_START) {
            close();
            open = true;
            fx = p->x;
            fy = p->y;
        }
        InitChainPoint(&w, e->kind, p->x, p->y);
        if (e->kind != POINT_CONTROL1 && e->kind != POINT_CONTROL2) {
            lx = p->x;
            ly = p->y;
        }
    }
    close();
    return InitChainEnd(&w) ? 1 : 0;
}

// An ellipse (a Surface) or an elliptic arc, sector or segment (an open
// Curve, or a Surface through the centre for the sector) in Bezier form.
int WriteEllipsePath(Unit *target, int32_t sourceType)
{
    const ElementPoint *c = UnitPointAt(target, 0), *a1 = UnitPointAt(target, 1), *a2 = UnitPointAt(target, 2);
    if (!c || !a1 || !a2)
        return 0;
    PathPoint points[FLAT_MAX_CURVE_ENTRIES + 2];
    uint32_t codes[FLAT_MAX_CURVE_ENTRIES + 2] = {};
    int32_t count;
    if (sourceType == OBJTYPE_ELLIPSE) {
        points[0] = {c->x, c->y}, points[1] = {a1->x, a1->y}, points[2] = {a2->x, a2->y};
        count = FlatAddEllipse(points, codes, 0);
    } else {
        // Start parameter and sweep as the frame step left them in the
        // run-time element.
        const Element *sub = ElementOfKind(target, ELEM_SUB_ELLIPSE_ARC);
        if (!sub)
            return 0;
        const double *v = static_cast<const double *>(ElementPayload(sub));
        points[2] = {c->x, c->y}, points[3] = {a1->x, a1->y}, points[4] = {a2->x, a2->y};
        count = FlatAddEllipseArc(points, codes, 0, v[0], v[1]);
    }
    if (count <= 0 || count > FLAT_MAX_CURVE_ENTRIES)
        return 0;
    const double cx = c->x, cy = c->y;
    ChainWriter w;
    BeginChain(target, target, sourceType == OBJTYPE_ELLI_ARC ? OBJTYPE_CURVE : OBJTYPE_SURFACE, &w);
    for (int32_t i = 0; i < count; ++i)
        InitChainPoint(&w, i == 0 ? POINT_START : static_cast<int16_t>(codes[i]), points[i].x, points[i].y);
    if (sourceType == OBJTYPE_ELLI_SEC)
        InitChainPoint(&w, POINT_LINE, cx, cy);
    return InitChainEnd(&w) ? 1 : 0;
}

int TypeOnly(const Unit *source, Unit *target, int32_t newType)
{
    PlainCopy(source, target);
    target->object.type = newType;
    return 1;
}

} // namespace

int TransformCurveSurface(const Unit *source, Unit *target)
{
    PlainCopy(source, target);
    if (target->kind != UNIT_KIND_OBJECT)
        return 1;
    const int32_t type = target->object.type;
    if (type == OBJTYPE_LINE)
        return TypeOnly(target, target, OBJTYPE_CURVE);
    if (type == OBJTYPE_CIRCLE || IsCircularArc(type)) {
        CircleData c;
        return ReadCircle(target, &c) ? WriteCirclePath(c, target, type) : 0;
    }
    if (type == OBJTYPE_ELLIPSE || IsEllipticArc(type))
        return WriteEllipsePath(target, type);
    // Zigzags and splines need the flattening into a long point array, which
    // is not written yet: refused rather than left as they are.
    if (type == OBJTYPE_ZIGZAG || type == OBJTYPE_SPLINE)
        return 0;
    return 1;
}

int TransformObjectType(const Unit *source, Unit *target, int32_t newType)
{
    PlainCopy(source, target);
    if (target->kind != UNIT_KIND_OBJECT)
        return 0;
    const int32_t type = target->object.type;
    const bool circular = type == OBJTYPE_CIRCLE || IsCircularArc(type);
    switch (newType) {
    case OBJTYPE_CIRCLE: {
        CircleData c;
        if (!IsCircularArc(type) || !ReadCircle(target, &c))
            return 0;
        ChainWriter w;
        BeginChain(target, target, OBJTYPE_CIRCLE, &w);
        InitChainPoint(&w, POINT_CENTRE, c.cx, c.cy);
        InitChainPoint(&w, POINT_ON_CIRCLE, c.px, c.py);
        return InitChainEnd(&w) ? 1 : 0;
    }
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM:
        return IsCircularArc(type) && type != newType ? TypeOnly(target, target, newType) : 0;
    case OBJTYPE_ZIGZAG: {
        const ElementPoint *a = UnitPointAt(target, 0), *b = UnitPointAt(target, 1);
        if (type != OBJTYPE_LINE || !a || !b)
            return 0;
        const double ax = a->x, ay = a->y, bx = b->x, by = b->y;
        ChainWriter w;
        BeginChain(target, target, OBJTYPE_ZIGZAG, &w);
        InitChainPoint(&w, POINT_START, ax, ay);
        InitChainPoint(&w, POINT_LINE, bx, by);
        InitChainConstant(&w, g_DrawingSettings.zigZagIndent);
        return InitChainEnd(&w) ? 1 : 0;
    }
    case OBJTYPE_CURVE:
        if (type == OBJTYPE_CURVE)
            return 1;
        if (type == OBJTYPE_SURFACE)
            return SurfaceToCurve(target, target);
        if (type == OBJTYPE_LINE || circular || type == OBJTYPE_ZIGZAG || type == OBJTYPE_SPLINE ||
            type == OBJTYPE_ELLIPSE || IsEllipticArc(type)) {
            const int result = TransformCurveSurface(target, target);
            target->object.type = OBJTYPE_CURVE;
            return result;
        }
        return 0;
    case OBJTYPE_SURFACE:
        if (type == OBJTYPE_CURVE || type == OBJTYPE_SURFACE)
            return TypeOnly(target, target, OBJTYPE_SURFACE);
        if (circular || type == OBJTYPE_SPLINE || type == OBJTYPE_ELLIPSE || IsEllipticArc(type)) {
            const int result = TransformCurveSurface(target, target);
            target->object.type = OBJTYPE_SURFACE;
            return result;
        }
        return 0;
    case OBJTYPE_ELLIPSE: {
        if (circular) {
            CircleData c;
            if (!ReadCircle(target, &c))
                return 0;
            const double r = std::hypot(c.px - c.cx, c.py - c.cy);
            ChainWriter w;
            BeginChain(target, target, OBJTYPE_ELLIPSE, &w);
            InitChainPoint(&w, POINT_CENTRE, c.cx, c.cy);
            InitChainPoint(&w, POINT_AXIS_END, c.cx + r, c.cy);
            InitChainPoint(&w, POINT_AXIS_END, c.cx, c.cy + r);
            return InitChainEnd(&w) ? 1 : 0;
        }
        const ElementPoint *c = UnitPointAt(target, 0), *a1 = UnitPointAt(target, 1), *a2 = UnitPointAt(target, 2);
        if (!IsEllipticArc(type) || !c || !a1 || !a2)
            return 0;
        const double v[6] = {c->x, c->y, a1->x, a1->y, a2->x, a2->y};
        ChainWriter w;
        BeginChain(target, target, OBJTYPE_ELLIPSE, &w);
        InitChainPoint(&w, POINT_CENTRE, v[0], v[1]);
        InitChainPoint(&w, POINT_AXIS_END, v[2], v[3]);
        InitChainPoint(&w, POINT_AXIS_END, v[4], v[5]);
        return InitChainEnd(&w) ? 1 : 0;
    }
    case OBJTYPE_ELLI_ARC:
    case OBJTYPE_ELLI_SEC:
    case OBJTYPE_ELLI_SEGM:
        if (IsCircularArc(type)) {
            if (!TransformDistortable(target, target))
                return 0;
            target->object.type = newType;
            return 1;
        }
        return IsEllipticArc(type) && type != newType ? TypeOnly(target, target, newType) : 0;
    default: return 0;
    }
}
