// Rebuilding the element chains of paths without moving their geometry:
// joining outlines into one Surface, splitting into contours, cutting at a
// vertex, reversing and choosing a contour's start.
#include "commands/transform.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "database/init.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

constexpr int ALERT_NOT_CLOSED_OUTLINE = 44; // "go on" or cancel over unusable objects
constexpr int16_t ELEM_GEOMETRY_LAST = 299;

Unit *Scratch() { return reinterpret_cast<Unit *>(g_Universal1); }
Unit *Scratch2() { return reinterpret_cast<Unit *>(g_Uni2); }

bool IsGeometry(int16_t kind) { return kind >= 0 && kind <= ELEM_GEOMETRY_LAST; }
bool IsAttribute(int16_t kind) { return kind > ELEM_GEOMETRY_LAST && kind != ELEM_END; }
bool IsVertex(int16_t kind) { return kind == POINT_LINE || kind == POINT_ARC_PIECE_END; }

template <typename Visit> void ForElements(const Unit *u, Visit visit)
{
    for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e))
        visit(e);
}

// A whole element copied into the chain.
void CopyElement(ChainWriter *w, const Element *e)
{
    if (Element *copy = InitChainRecord(w, e->kind, e->size))
        std::memcpy(copy, e, e->size);
}

void CopyAttributes(ChainWriter *w, const Unit *u)
{
    ForElements(u, [&](const Element *e) {
        if (IsAttribute(e->kind))
            CopyElement(w, e);
    });
}

// A chain rebuilt in Universal1 from the object's header.
void BeginScratch(const Unit *object, ChainWriter *w)
{
    std::memcpy(Scratch(), object, UNIT_ELEMENTS_OBJECT);
    InitChainBegin(w, Scratch(), g_ObjectLimits.scratchSize);
}

const ElementPoint *AsPoint(const Element *e) { return reinterpret_cast<const ElementPoint *>(e); }

// One point of a path with the arc parameters that follow it.
struct PathRecord {
    int16_t kind;
    double x, y;
    bool curve;
    double direction, h;
};

// The point records of a path; reversed stores each arc's parameters as
// those of the arc run backwards. Other elements are not collected.
bool CollectRecords(const Unit *u, bool reversed, std::vector<PathRecord> *out)
{
    const size_t capacity = g_ObjectLimits.maxUnitPoints + 1;
    bool fits = true;
    ForElements(u, [&](const Element *e) {
        if (e->kind == ELEM_CURVE && !out->empty()) {
            const double *v = static_cast<const double *>(ElementPayload(e));
            PathRecord &r = out->back();
            r.curve = true;
            r.direction = (v[0] >= 0) != reversed ? 1.0 : -1.0;
            r.h = reversed ? -v[1] : v[1];
        } else if (ElementIsPoint(e)) {
            if (out->size() >= capacity)
                fits = false;
            else
                out->push_back({e->kind, AsPoint(e)->x, AsPoint(e)->y, false, 0.0, 0.0});
        }
    });
    return fits;
}

void WriteRecord(ChainWriter *w, const PathRecord &r, int16_t kind)
{
    InitChainPoint(w, kind, r.x, r.y);
    if (kind == POINT_ARC_PIECE_END)
        InitChainCurve(w, r.curve ? r.direction : 1.0, r.curve ? r.h : 0.0);
}

void WriteRecord(ChainWriter *w, const PathRecord &r) { WriteRecord(w, r, r.kind); }

// Appends the geometry elements of a path to the chain, checking the size
// of one unit; false when it outgrew it.
bool AppendGeometry(ChainWriter *w, const Unit *path, uint32_t *elements)
{
    bool fits = true;
    ForElements(path, [&](const Element *e) {
        if (!fits || !IsGeometry(e->kind))
            return;
        CopyElement(w, e);
        ++*elements;
        const uint32_t bytes = w->position - UNIT_ELEMENTS_OBJECT;
        if (w->failed || bytes >= g_ObjectLimits.maxUnitData || *elements > g_ObjectLimits.maxUnitPoints)
            fits = false;
    });
    return fits;
}

bool IsClosedOutline(int32_t type)
{
    switch (type) {
    case OBJTYPE_CIRCLE: case OBJTYPE_CIRC_SEC: case OBJTYPE_CIRC_SEGM:
    case OBJTYPE_ELLIPSE: case OBJTYPE_ELLI_SEC: case OBJTYPE_ELLI_SEGM: return true;
    default: return false;
    }
}

bool HasAll(const Unit *u, uint32_t mask) { return (u->flags & mask) == mask; }

} // namespace

int TransformSelectionToSurface(uint32_t mask, int flag)
{
    FrameSetEmpty(g_ExtentsRect);
    ScratchUni1 scratch(__FILE__, __LINE__);
    ScratchUni2 scratch2(__FILE__, __LINE__);
    if (!scratch || !scratch2)
        return 0;
    Unit *first = nullptr;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u && !first; u = MemListNext(u))
        if (u->kind == UNIT_KIND_OBJECT && HasAll(u, mask))
            first = u;
    if (!first) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    std::memcpy(Scratch(), first, first->bytes);
    ChainWriter w;
    InitChainBegin(&w, Scratch(), g_ObjectLimits.scratchSize);
    uint32_t elements = 0;
    bool asked = false;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u)) {
        if (!HasAll(u, mask))
            continue;
        const bool plain = u->kind == UNIT_KIND_OBJECT;
        const Unit *path = nullptr;
        if (plain && u->object.type == OBJTYPE_SURFACE) {
            path = u;
        } else if (plain && IsClosedOutline(u->object.type)) {
            if (!TransformCurveSurface(u, Scratch2()))
                return 0;
            path = Scratch2();
        }
        if (!path) {
            // Asked once; going on leaves this and every further such object.
            if (!asked && AlertButtons62(g_MainWnd, eAlertTextSM[ALERT_NOT_CLOSED_OUTLINE]) == ALERT_CANCEL)
                return 0;
            asked = true;
            continue;
        }
        if (!AppendGeometry(&w, path, &elements)) {
            AlertSM27(g_MainWnd);
            return 0;
        }
        UndoStampDeleted(u);
        FrameUnion(g_ExtentsRect, u->frame);
    }
    if (elements == 0) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    Scratch()->object.type = OBJTYPE_SURFACE;
    if (!InitChainEnd(&w))
        return 0;
    return TransformReplaceUnit(nullptr, nullptr, 1, flag ? UNIT_TEMPORARY : 0);
}

int TransformSplitParts(uint32_t mask, int flag)
{
    (void)mask; // the selection is taken
    double area[4];
    FrameSetEmpty(area);
    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    const uint32_t bits = flag ? UNIT_TEMPORARY : UNIT_MARKED;
    const int keep = g_DrawingSettings.displayDuplicate;
    bool any = false, failed = false;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1); u && !failed; u = MemListNext(u)) {
        if (u->kind != UNIT_KIND_OBJECT || (u->object.type != OBJTYPE_CURVE && u->object.type != OBJTYPE_SURFACE))
            continue;
        any = true;
        FrameUnion(area, u->frame);
        // The contours, each from its kind-1 element to the next.
        std::vector<const Element *> starts;
        ForElements(u, [&](const Element *e) {
            if (e->kind == POINT_START)
                starts.push_back(e);
        });
        for (size_t c = 0; c < starts.size() && !failed; ++c) {
            ChainWriter w;
            BeginScratch(u, &w);
            for (const Element *e = starts[c];
                 e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE && (e == starts[c] || e->kind != POINT_START);
                 e = ElementNext(e))
                if (IsGeometry(e->kind))
                    CopyElement(&w, e);
            CopyAttributes(&w, u);
            failed = !InitChainEnd(&w) || !TransformReplaceUnit(nullptr, u, 1, bits);
        }
        if (!failed && !keep)
            UndoStampDeleted(u);
    }
    // Every store set the new area to its own frame; the whole is repainted.
    std::memcpy(g_ChangedRect, area, sizeof area);
    if (!any) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    return failed ? 0 : 1;
}

int TransformCutAtVertex()
{
    const InputPointEntry &at = g_InputPoints[0];
    Unit *object = UndoFindIdent(at.ident);
    if (!object) {
        AlertSM5(g_MainWnd);
        return 0;
    }
    if (object->kind != UNIT_KIND_OBJECT) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    // The nearest vertex (the earlier one on a tie) and the last one.
    const Element *cut = nullptr, *last = nullptr;
    double best = 1e300;
    ForElements(object, [&](const Element *e) {
        if (!IsVertex(e->kind))
            return;
        last = e;
        const double d = std::hypot(AsPoint(e)->x - at.x, AsPoint(e)->y - at.y);
        if (d < best)
            best = d, cut = e;
    });
    if (!cut || cut == last) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    const Element *after = ElementNext(cut);
    if (cut->kind == POINT_ARC_PIECE_END && after->kind == ELEM_CURVE)
        after = ElementNext(after);
    std::memcpy(g_ExtentsRect, object->frame, sizeof g_ExtentsRect);
    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    const uint8_t *split = reinterpret_cast<const uint8_t *>(after);
    auto before = [&](const Element *e) { return reinterpret_cast<const uint8_t *>(e) < split; };
    // First part: up to the vertex; second: from it on.
    ChainWriter w;
    BeginScratch(object, &w);
    ForElements(object, [&](const Element *e) {
        if (IsGeometry(e->kind) && before(e))
            CopyElement(&w, e);
    });
    CopyAttributes(&w, object);
    if (!InitChainEnd(&w) || !TransformReplaceUnit(nullptr, object, 1, 0))
        return 0;
    const double firstPart[4] = {g_ChangedRect[0], g_ChangedRect[1], g_ChangedRect[2], g_ChangedRect[3]};
    BeginScratch(object, &w);
    InitChainPoint(&w, POINT_START, AsPoint(cut)->x, AsPoint(cut)->y);
    ForElements(object, [&](const Element *e) {
        if (IsGeometry(e->kind) && !before(e))
            CopyElement(&w, e);
    });
    CopyAttributes(&w, object);
    if (!InitChainEnd(&w) || !TransformReplaceUnit(nullptr, object, 1, 0))
        return 0;
    FrameUnion(g_ChangedRect, firstPart);
    if (!g_DrawingSettings.displayDuplicate)
        UndoStampDeleted(object);
    return 1;
}

int TransformReversePath(const Unit *source, Unit *target)
{
    std::vector<PathRecord> records;
    if (!CollectRecords(source, true, &records))
        return 0;
    std::vector<uint8_t> header(reinterpret_cast<const uint8_t *>(source),
                                reinterpret_cast<const uint8_t *>(source) + UNIT_ELEMENTS_OBJECT);
    std::memcpy(target, header.data(), header.size());
    ChainWriter w;
    InitChainBegin(&w, target, g_ObjectLimits.scratchSize);
    int16_t carried = POINT_START;
    const PathRecord *previous = nullptr;
    for (auto r = records.rbegin(); r != records.rend(); ++r) {
        if (r->kind == POINT_CONTROL1 || r->kind == POINT_CONTROL2) {
            // The control points change places; the segment's kind runs on.
            InitChainPoint(&w, r->kind == POINT_CONTROL1 ? POINT_CONTROL2 : POINT_CONTROL1, r->x, r->y);
            continue;
        }
        InitChainPoint(&w, carried, r->x, r->y);
        if (carried == POINT_ARC_PIECE_END)
            InitChainCurve(&w, previous && previous->curve ? previous->direction : 1.0,
                           previous && previous->curve ? previous->h : 0.0);
        carried = r->kind;
        previous = &*r;
    }
    return InitChainEnd(&w) ? 1 : 0;
}

int TransformSetContourStart(const Unit *source, Unit *target, const double point[2])
{
    std::vector<PathRecord> records;
    if (!CollectRecords(source, false, &records))
        return 0;
    std::vector<uint8_t> copy(reinterpret_cast<const uint8_t *>(source),
                              reinterpret_cast<const uint8_t *>(source) + source->bytes);
    std::memcpy(target, copy.data(), copy.size());
    size_t v = records.size();
    double best = 1e300;
    for (size_t i = 0; i < records.size(); ++i) {
        const PathRecord &r = records[i];
        if (r.kind != POINT_START && !IsVertex(r.kind))
            continue;
        const double d = std::hypot(r.x - point[0], r.y - point[1]);
        if (d < best)
            best = d, v = i;
    }
    if (v == records.size() || records[v].kind == POINT_START)
        return 1;
    size_t s = v, e = v;
    while (s > 0 && records[s].kind != POINT_START)
        --s;
    while (e + 1 < records.size() && records[e + 1].kind != POINT_START)
        ++e;
    ChainWriter w;
    InitChainBegin(&w, target, g_ObjectLimits.scratchSize);
    for (size_t i = 0; i < s; ++i)
        WriteRecord(&w, records[i]);
    WriteRecord(&w, records[v], POINT_START);
    for (size_t i = v + 1; i <= e; ++i)
        WriteRecord(&w, records[i]);
    if (records[e].x != records[s].x || records[e].y != records[s].y)
        InitChainPoint(&w, POINT_LINE, records[s].x, records[s].y);
    for (size_t i = s + 1; i < v; ++i)
        WriteRecord(&w, records[i]);
    // The segment into the new start: a Bezier or an arc must end explicitly.
    if (records[v].kind == POINT_ARC_PIECE_END ||
        (records[v].kind == POINT_LINE && v > 0 && records[v - 1].kind == POINT_CONTROL2))
        WriteRecord(&w, records[v]);
    for (size_t i = e + 1; i < records.size(); ++i)
        WriteRecord(&w, records[i]);
    CopyAttributes(&w, reinterpret_cast<const Unit *>(copy.data()));
    return InitChainEnd(&w) ? 1 : 0;
}
