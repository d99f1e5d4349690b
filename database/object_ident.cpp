// Identification of objects and elements at a pick point.
#include "database/object_ident.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/darad4.h"
#include "app/system.h"
#include "app/window.h"
#include "commands/command_state.h"
#include "database/object_select.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/box05.h"
#include "display/output.h"
#include "display/output_select.h"
#include "display/screen.h"
#include "geometry/calc_candidate.h"
#include "geometry/distance.h"
#include "plugin/zvi.h"
#include "geometry/distance_internal.h"
#include "language/language.h"

uint32_t g_IdentifyFilter[IDENTIFY_TYPE_FLAGS];
IdentifyResult g_IdentifyResult = {{}, 0, -1, -1};
int32_t g_IdentifyLastCount = 0;

namespace {

constexpr int DIALOG_TEXT_NO_TITLE = 9;
constexpr int TITLE_SIZE = 256;
static_assert(TITLE_SIZE >= ZVI_TITLE_SIZE);

void ResetResult()
{
    g_IdentifyResult.count = 0;
    g_IdentifyResult.shown = -1;
    g_IdentifyResult.window = -1;
}

void ClearNesting()
{
    g_OutputContext.currentInstance = nullptr;
    g_OutputContext.nestingDepth = 0;
}

// Inserts before the first entry at the same or a larger distance (a later
// unit goes in front of earlier ones at the same distance); the 20th drops off.
void Insert(Unit *unit, double d)
{
    IdentifyResult &r = g_IdentifyResult;
    int at = 0;
    while (at < r.count && r.entries[at].distance < d)
        ++at;
    if (at >= IDENTIFY_CANDIDATES)
        return;
    const int last = r.count < IDENTIFY_CANDIDATES ? r.count : IDENTIFY_CANDIDATES - 1;
    std::memmove(&r.entries[at + 1], &r.entries[at], (last - at) * sizeof(IdentifyCandidate));
    r.entries[at] = {unit, d};
    if (r.count < IDENTIFY_CANDIDATES)
        ++r.count;
}

// The identification of the candidates, stepping in the box while several are left.
int ChooseCandidate(int window)
{
    IdentifyResult &r = g_IdentifyResult;
    r.shown = 0;
    r.window = window;
    for (;;) {
        Unit *u = r.entries[r.shown].unit;
        u->flags |= UNIT_HIGHLIGHTED;
        OutputDrawSelectionInWindow(window, u, 1);
        char title[TITLE_SIZE], caption[TITLE_SIZE + 32];
        if (u->kind == UNIT_KIND_OBJECT && u->object.type >= 0 && u->object.type < IDENTIFY_TYPE_FLAGS &&
            eObjectNames[u->object.type][0])
            std::snprintf(title, sizeof title, "%s", eObjectNames[u->object.type]);
        else if (u->kind == UNIT_KIND_INSTANCE)
            std::snprintf(title, sizeof title, "%s", u->instance.block);
        else if (u->kind == UNIT_KIND_PLUGIN)
            ZVI_GetUnitTitle(title, u); // the module's own name for its object
        else
            std::snprintf(title, sizeof title, "%s", eDialogText[DIALOG_TEXT_NO_TITLE]);
        CalcCandidateCaption(caption, sizeof caption, title, r.shown, r.count);
        const bool own = u->kind == UNIT_KIND_OBJECT || u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN;
        const XProperty property = own ? u->property : XPropertyDefault();
        uint32_t answer = MULTIPLE_IDENT_CANCEL;
        Box05MultipleIdent(g_MainWnd, caption, &answer, property.layer, property.pen);
        OutputDrawSelectionInWindow(window, u, 0);
        u->flags &= ~UNIT_HIGHLIGHTED;
        if (answer == MULTIPLE_IDENT_TAKE) {
            UndoAssignIdent(u);
            return 1;
        }
        if (answer == MULTIPLE_IDENT_CANCEL)
            return 0;
        if (answer == MULTIPLE_IDENT_NEXT)
            r.shown = (r.shown + 1) % r.count;
        else if (answer == MULTIPLE_IDENT_PREVIOUS)
            r.shown = (r.shown - 1 + r.count) % r.count;
    }
}

// Cuts the list to the candidates within the ambiguity tolerance of the best.
void Trim(double best, double tolerance)
{
    IdentifyResult &r = g_IdentifyResult;
    for (int i = r.count - 1; i >= 1; --i)
        if (r.entries[i].distance - best > tolerance)
            r.count = i;
}

int Preset(int window, double x, double y, uint32_t flags, std::initializer_list<std::pair<int, int>> ranges,
           bool instances)
{
    std::memset(g_IdentifyFilter, 0, sizeof g_IdentifyFilter);
    for (const auto &range : ranges)
        for (int t = range.first; t <= range.second; ++t)
            g_IdentifyFilter[t] = 1;
    return ObjectIdentifyAt(window, x, y, instances ? flags | IDENTIFY_INSTANCES : flags);
}

} // namespace

int ObjectIdentifyAt(int window, double x, double y, uint32_t flags)
{
    ResetResult();
    const double r = ObjectPickRadius(window, g_LocalData.snap.pickAperture);
    const double t = ObjectPickRadius(window, g_LocalData.snap.ambiguityAperture);
    DistanceSetSearchBox(x - r, y - r, x + r, y + r);
    const DrawingSettings &s = g_DrawingSettings;
    const uint32_t walkMask = UNIT_HIDDEN | (flags & IDENTIFY_LOCKED_TOO ? 0 : UNIT_LOCKED);
    const XProperty defaults = OutputDefaultXProperty();
    const DistanceSearchBox box = g_DistanceSearchBox;
    const int32_t step = g_UndoStep;
    Unit *best = nullptr;
    double bestDistance = DISTANCE_NONE;
    if (s.displayDrawing) {
        // The list filter and the search box are tested inline, so that
        // objects away from the pick cost only a few comparisons; in a large
        // drawing the pick index names the objects near the pick.
        auto visit = [&](Unit *u) {
            if ((u->flags & walkMask) || u->birth > step || step >= u->death)
                return;
            const double *f = u->frame;
            if (f[0] > box.xmax || f[2] < box.xmin || f[1] > box.ymax || f[3] < box.ymin)
                return;
            if ((flags & IDENTIFY_FILTERED) && !ObjectPassesSelectionFilter(u))
                return;
            if ((flags & IDENTIFY_SKIP_MARKED) && (u->flags & UNIT_USER_MARK))
                return;
            if ((flags & IDENTIFY_ONLY_MARKED) && !(u->flags & UNIT_USER_MARK))
                return;
            ClearNesting();
            ListFilterKeeper keep; // instances and texts may walk lists of their own
            double d = DISTANCE_NONE;
            if (u->kind == UNIT_KIND_OBJECT) {
                const int32_t type = u->object.type;
                if (s.displayObjects && type >= 0 && type < IDENTIFY_TYPE_FLAGS && g_IdentifyFilter[type])
                    d = DistancePointObject(u, x, y, &defaults, nullptr, 1);
            } else if (u->kind == UNIT_KIND_INSTANCE) {
                if (s.displayBlocks && (flags & IDENTIFY_INSTANCES))
                    d = DistancePointInstance(u, x, y, &defaults, nullptr, 1);
            } else if (u->kind == UNIT_KIND_PLUGIN) {
                if (s.displayObjects)
                    d = DistancePointInstance(u, x, y, &defaults, nullptr, 1);
            }
            if (d >= r)
                return;
            Insert(u, d);
            if (d <= bestDistance)
                bestDistance = d, best = u;
        };
        const double area[4] = {box.xmin, box.ymin, box.xmax, box.ymax};
        std::vector<Unit *> nearby;
        if (ObjectPickCandidates(area, &nearby))
            for (Unit *u : nearby)
                visit(u);
        else
            for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
                visit(u);
    }
    int result = 0;
    g_IdentifyLastCount = g_IdentifyResult.count;
    if (!best) {
        if (!(flags & IDENTIFY_QUIET))
            MessageBeep(0);
    } else {
        Trim(bestDistance, t);
        if (g_IdentifyResult.count <= 1) {
            UndoAssignIdent(best);
            result = 1;
        } else {
            result = ChooseCandidate(window);
        }
    }
    DistanceResetSearchBox();
    ResetResult();
    return result;
}

int ObjectIdentifyElement(int window, double x, double y, uint32_t mask, int slot)
{
    ScratchUni2 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    CalcResetCandidates();
    const double r = ObjectPickRadius(window, g_LocalData.snap.pickAperture);
    const double t = ObjectPickRadius(window, g_LocalData.snap.ambiguityAperture);
    DistanceSetSearchBox(x - r, y - r, x + r, y + r);
    ClearNesting();
    const DrawingSettings &s = g_DrawingSettings;
    const XProperty defaults = OutputDefaultXProperty();
    int count = 0;
    if (s.displayDrawing) {
        const double box[4] = {x - r, y - r, x + r, y + r};
        ObjectForEachNear(box, UNIT_HIDDEN, [&](Unit *u) {
            if (!DistanceObjectInSearchBox(u, nullptr))
                return true;
            ListFilterKeeper keep;
            if (u->kind == UNIT_KIND_OBJECT && s.displayObjects)
                count = DistanceCollectElements(u, &defaults, nullptr, r, x, y, mask, count);
            else if ((u->kind == UNIT_KIND_INSTANCE && s.displayBlocks) || (u->kind == UNIT_KIND_PLUGIN && s.displayObjects))
                count = DistanceCollectInstanceElements(u, &defaults, nullptr, r, x, y, mask, count);
            return true;
        });
    }
    DistanceResetSearchBox();
    auto copyTo = [&](int index) {
        if (slot >= 0 && slot < IDENTIFY_ELEMENT_SLOTS)
            g_CommandState->elementGeo[slot] = g_CalcCandidates[index];
        else if (slot < 0 && index > 0)
            g_CalcCandidates[0] = g_CalcCandidates[index];
    };
    int result = 0;
    if (count == 0) {
        if (slot >= 0)
            MessageBeep(0);
    } else {
        result = 1;
        const double best = g_CalcCandidates[0].d[CANDIDATE_DISTANCE];
        for (int i = count - 1; i >= 1; --i)
            if (g_CalcCandidates[i].d[CANDIDATE_DISTANCE] - best > t)
                count = i;
        if (count > 1 && !(mask & COLLECT_NO_CHOICE)) {
            CalcCompleteCandidates(g_CalcCandidates, count);
            g_CalcCandidateCount = count;
            g_CalcCandidateIndex = 0;
            g_CalcCandidateWindow = window;
            for (;;) {
                const int index = g_CalcCandidateIndex;
                const GeoObject &g = g_CalcCandidates[index];
                CalcDrawCandidateInWindow(window, &g);
                const char *title = g.type >= 0 && g.type < IDENTIFY_TYPE_FLAGS && eObjectNames[g.type][0]
                                        ? eObjectNames[g.type]
                                        : eDialogText[DIALOG_TEXT_NO_TITLE];
                char caption[TITLE_SIZE + 32];
                CalcCandidateCaption(caption, sizeof caption, title, index, count);
                int32_t pen, layer;
                CalcCandidatePenLayer(&g, &pen, &layer);
                uint32_t answer = MULTIPLE_IDENT_CANCEL;
                Box05MultipleIdent(g_MainWnd, caption, &answer, layer, pen);
                CalcDrawCandidateInWindow(window, &g);
                if (answer == MULTIPLE_IDENT_TAKE) {
                    copyTo(index);
                    break;
                }
                if (answer == MULTIPLE_IDENT_CANCEL) {
                    result = -1;
                    break;
                }
                if (answer == MULTIPLE_IDENT_NEXT)
                    g_CalcCandidateIndex = (index + 1) % count;
                else if (answer == MULTIPLE_IDENT_PREVIOUS)
                    g_CalcCandidateIndex = (index - 1 + count) % count;
            }
        } else if (slot >= 0) {
            copyTo(0);
        }
    }
    CalcResetCandidates();
    return result;
}

// ---------------------------------------------------------------------------
// Presets.

int ObjectIdentifyAny(int window, double x, double y, uint32_t flags)
{
    for (uint32_t &f : g_IdentifyFilter)
        f = 1;
    return ObjectIdentifyAt(window, x, y, flags);
}

int ObjectIdentifyInstance(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {}, true);
}
int ObjectIdentifySimple(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{0, 0}, {5, 8}, {10, 10}, {15, 18}}, false);
}
int ObjectIdentifyPath(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{0, 1}, {5, 8}, {10, 10}, {12, 13}, {15, 18}}, false);
}
int ObjectIdentifyLine(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{0, 0}}, false);
}
int ObjectIdentifyCircleFamily(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{5, 8}}, false);
}
int ObjectIdentifyCircArc(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{6, 8}}, false);
}
int ObjectIdentifyEllipse(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{15, 15}}, false);
}
int ObjectIdentifyElliArc(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{16, 18}}, false);
}
int ObjectIdentifyCurve(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{12, 12}}, false);
}
int ObjectIdentifySurface(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{13, 13}}, false);
}
int ObjectIdentifyCurveSurface(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{12, 13}}, false);
}
int ObjectIdentifyClosed(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{5, 5}, {7, 8}, {13, 13}, {15, 15}, {17, 18}}, false);
}
int ObjectIdentifyAnnotation(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{25, 32}, {35, 37}, {40, 40}}, true);
}
int ObjectIdentifyText(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{35, 37}, {40, 40}}, false);
}
int ObjectIdentifyDimension(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{20, 21}, {25, 32}}, false);
}
int ObjectIdentifyDim(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{25, 32}}, false);
}
int ObjectIdentifyComment(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{40, 40}}, false);
}
int ObjectIdentifyGeo(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{45, 47}}, false);
}
int ObjectIdentifyClip(int window, double x, double y, uint32_t flags)
{
    return Preset(window, x, y, flags, {{42, 42}}, false);
}

// ---------------------------------------------------------------------------
// Getters and path searches.

int ObjectGetIdentGeometry(int32_t ident, GeoObject *out)
{
    int result = -1;
    if (ident == UNIT_NO_IDENT)
        return result;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_HIDDEN, 0, 1); u; u = MemListNext(u)) {
        if (u->kind != UNIT_KIND_OBJECT || u->ident != ident)
            continue;
        const int32_t type = u->object.type;
        result = type;
        auto point = [&](int n, int at) {
            const ElementPoint *p = DistancePointAt(u, n);
            if (p)
                out->d[at] = p->x, out->d[at + 1] = p->y;
        };
        auto sub = [&](int n, int which) {
            const Element *e = DistanceElementAt(u, n);
            return e && e->kind < 0 ? static_cast<const double *>(ElementPayload(e))[which] : 0.0;
        };
        auto orientation = [&](int n) {
            const Element *e = DistanceElementAt(u, n);
            return e && e->kind == ELEM_ORIENT && *static_cast<const double *>(ElementPayload(e)) >= 0.0 ? 1 : 0;
        };
        switch (type) {
        case OBJTYPE_LINE:
        case OBJTYPE_CIRCLE:
        case OBJTYPE_GEO_LINE:
        case OBJTYPE_GEO_CIRCLE: point(1, 0), point(2, 2); break;
        case OBJTYPE_ZIGZAG: {
            point(1, 0), point(2, 2);
            const Element *e = DistanceElementAt(u, 3);
            if (e && e->kind == ELEM_CONSTANT)
                out->d[4] = *static_cast<const double *>(ElementPayload(e));
            break;
        }
        case OBJTYPE_ELLIPSE:
        case OBJTYPE_GEO_ELLI: point(1, 0), point(2, 2), point(3, 4); break;
        case OBJTYPE_CIRC_ARC:
        case OBJTYPE_CIRC_SEC:
        case OBJTYPE_CIRC_SEGM:
            point(1, 0), point(2, 2), point(3, 6), point(4, 8);
            out->direction = orientation(5);
            out->d[CANDIDATE_SWEEP] = sub(6, 0);
            break;
        case OBJTYPE_ELLI_ARC:
        case OBJTYPE_ELLI_SEC:
        case OBJTYPE_ELLI_SEGM:
            point(1, 0), point(2, 2), point(3, 4), point(4, 6), point(5, 8);
            out->direction = orientation(6);
            out->d[CANDIDATE_START_PARAMETER] = sub(7, 0);
            out->d[CANDIDATE_SWEEP] = sub(7, 1);
            break;
        default: break;
        }
        out->type = type;
    }
    return result;
}

namespace {

// The centre of an arc piece: the chord's middle moved by its factor.
void ArcCentre(const DistancePathPiece &p, double *cx, double *cy)
{
    *cx = (p.x0 + p.x1) / 2 - p.factor * (p.y1 - p.y0);
    *cy = (p.y0 + p.y1) / 2 + p.factor * (p.x1 - p.x0);
}

double PieceDistance(const DistancePathPiece &p, double px, double py)
{
    if (p.kind == PATH_PIECE_LINE)
        return DistancePointSegment(p.x0, p.y0, p.x1, p.y1, px, py, nullptr);
    if (p.kind == PATH_PIECE_BEZIER)
        return DistancePointBezier(p.x0, p.y0, p.c1x, p.c1y, p.c2x, p.c2y, p.x1, p.y1, px, py, nullptr);
    double cx, cy;
    ArcCentre(p, &cx, &cy);
    const double sweep = CalcArcSweep(cx, cy, p.x0, p.y0, p.x1, p.y1, p.direction >= 0.0);
    return DistancePointCircleArc(cx, cy, p.x0, p.y0, p.x1, p.y1, sweep, px, py, nullptr);
}

// Only surfaces have closing edges here.
bool Counts(const Unit *object, const DistancePathPiece &p)
{
    return !p.closing || object->object.type == OBJTYPE_SURFACE;
}

} // namespace

int32_t ObjectNearestPathPoint(Unit *object, double px, double py)
{
    if (!object || object->kind != UNIT_KIND_OBJECT)
        return -1;
    double best = DISTANCE_NONE;
    int32_t result = -1;
    DistanceWalkPath(object, 0, false, [&](const DistancePathPiece &piece) {
        if (!Counts(object, piece))
            return;
        const double d = PieceDistance(piece, px, py);
        if (d < best)
            best = d, result = piece.figureStart;
    });
    return result;
}

int32_t ObjectNearestSegment(Unit *object, int32_t start, double px, double py, GeoObject *out)
{
    if (!object || object->kind != UNIT_KIND_OBJECT || start < 0)
        return -1;
    double best = DISTANCE_NONE;
    int32_t result = -1;
    DistanceWalkPath(object, start, true, [&](const DistancePathPiece &piece) {
        if (!Counts(object, piece))
            return;
        const double d = PieceDistance(piece, px, py);
        if (!(d < best))
            return;
        best = d;
        result = piece.closing ? IDENTIFY_CLOSING_EDGE : piece.offset;
        std::memset(out, 0, sizeof *out);
        out->d[0] = piece.x0, out->d[1] = piece.y0, out->d[2] = piece.x1, out->d[3] = piece.y1;
        if (piece.kind == PATH_PIECE_LINE) {
            out->type = GEO_LINE;
        } else if (piece.kind == PATH_PIECE_BEZIER) {
            out->type = GEO_CURVE;
            out->d[6] = piece.c1x, out->d[7] = piece.c1y, out->d[8] = piece.c2x, out->d[9] = piece.c2y;
        } else {
            double cx, cy;
            ArcCentre(piece, &cx, &cy);
            out->type = GEO_CIRC_ARC;
            out->d[0] = cx, out->d[1] = cy, out->d[2] = piece.x0, out->d[3] = piece.y0;
            out->d[6] = piece.x0, out->d[7] = piece.y0, out->d[8] = piece.x1, out->d[9] = piece.y1;
            out->direction = piece.direction >= 0.0 ? 1 : 0;
            out->d[CANDIDATE_SWEEP] = CalcArcSweep(cx, cy, piece.x0, piece.y0, piece.x1, piece.y1, out->direction);
        }
    });
    return result;
}

// ---------------------------------------------------------------------------
// User marks.

int ObjectSetUserBit(uint32_t mask, int value)
{
    UndoClearMarks();
    int any = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, mask | UNIT_USER_FILTER_MASK, mask, 1); u; u = MemListNext(u)) {
        u->flags &= ~mask;
        if (static_cast<int>(u->flags & UNIT_USER_MARK) != (value ? 1 : 0)) {
            u->flags = (value ? u->flags | UNIT_USER_MARK : u->flags & ~UNIT_USER_MARK) | UNIT_CHANGED;
            UndoNoteUnit(u);
            any = 1;
        }
    }
    return any;
}

int ObjectToggleUserBit(uint32_t mask, uint32_t bit)
{
    UndoClearMarks();
    int any = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, mask | UNIT_USER_FILTER_MASK, mask, 1); u; u = MemListNext(u)) {
        u->flags &= ~mask;
        u->flags = (u->flags ^ bit) | UNIT_CHANGED;
        UndoNoteUnit(u);
        any = 1;
    }
    return any;
}
