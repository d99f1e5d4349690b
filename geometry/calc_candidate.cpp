// Construction candidates: completion, XOR preview, the chooser and the builders.
#include "geometry/calc_candidate.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "app/darad4.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/window.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box05.h"
#include "display/clip.h"
#include "display/output.h"
#include "display/output_select.h"
#include "display/screen.h"
#include "geometry/distance.h"
#include "geometry/flat.h"
#include "geometry/frame.h"
#include "language/language.h"

GeoObject g_CalcCandidates[CALC_CANDIDATE_SLOTS];
int32_t g_CalcCandidateCount = 0;
int32_t g_CalcCandidateIndex = -1;
int32_t g_CalcCandidateWindow = -1;

namespace {

constexpr int OBJECT_NAME_COUNT = 50;
constexpr int DIALOG_TEXT_NO_TITLE = 9;
constexpr int HEADLINE_CANDIDATE = 3;
constexpr int CANDIDATE_FLAG_COLOUR = 2; // third ColorFlag colour

// Unit sizes of the builders.
constexpr uint32_t UNIT_BYTES_LINE = 200;
constexpr uint32_t UNIT_BYTES_ZIGZAG = 224;
constexpr uint32_t UNIT_BYTES_CIRCLE = 200;
constexpr uint32_t UNIT_BYTES_CIRC_ARC = 312;
constexpr uint32_t UNIT_BYTES_ELLIPSE = 232;
constexpr uint32_t UNIT_BYTES_ELLI_ARC = 352;

PathPoint *Points() { return g_WorkArrays.pathPoints; }

void ExtentsOfPoints(GeoObject *g, int32_t n, bool withCentre)
{
    double box[4];
    FrameSetEmpty(box);
    for (int32_t i = 0; i < n; ++i)
        FrameExtendPoint(box, Points()[i].x, Points()[i].y);
    if (withCentre)
        FrameExtendPoint(box, g->d[0], g->d[1]);
    std::memcpy(&g->d[CANDIDATE_EXTENTS], box, sizeof box);
}

void CompleteOne(GeoObject *g)
{
    double *d = g->d;
    double box[4];
    FrameSetEmpty(box);
    switch (g->type) {
    case GEO_LINE:
    case GEO_GEOLINE:
        FrameExtendPoint(box, d[0], d[1]);
        FrameExtendPoint(box, d[2], d[3]);
        break;
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE: {
        const double r = std::hypot(d[2] - d[0], d[3] - d[1]);
        box[0] = d[0] - r, box[1] = d[1] - r, box[2] = d[0] + r, box[3] = d[1] + r;
        break;
    }
    case GEO_CURVE:
        FrameAddBezierMatrix(d[0], d[1], d[6], d[7], d[8], d[9], d[2], d[3], box, nullptr);
        break;
    case GEO_CIRC_ARC:
    case GEO_CIRC_SEC:
    case GEO_CIRC_SEGM: {
        d[CANDIDATE_SWEEP] = CalcArcSweep(d[0], d[1], d[6], d[7], d[8], d[9], g->direction);
        CalcCirclePointTowards(d[0], d[1], d[2], d[3], d[6], d[7]);
        d[6] = g_CalcPoints[0].x, d[7] = g_CalcPoints[0].y;
        CalcCirclePointTowards(d[0], d[1], d[2], d[3], d[8], d[9]);
        d[8] = g_CalcPoints[0].x, d[9] = g_CalcPoints[0].y;
        g_OutputContext.mode = OUTPUT_MEASURE;
        Points()[0] = {d[6], d[7]};
        Points()[1] = {d[8], d[9]};
        Points()[2] = {d[0], d[1]};
        const int32_t n = FlatAddArcSteps(Points(), 0, d[CANDIDATE_SWEEP]);
        ExtentsOfPoints(g, n > 0 ? n : 0, g->type == GEO_CIRC_SEC);
        return;
    }
    case GEO_ELLIPSE:
    case GEO_GEOELLI: {
        Points()[0] = {d[0], d[1]};
        Points()[1] = {d[2], d[3]};
        Points()[2] = {d[4], d[5]};
        const int32_t n = FlatAddEllipseSteps(Points(), 0);
        ExtentsOfPoints(g, n > 0 ? n : 0, false);
        return;
    }
    case GEO_ELLI_ARC:
    case GEO_ELLI_SEC:
    case GEO_ELLI_SEGM: {
        d[CANDIDATE_SWEEP] = CalcEllipseArcSweep(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9],
                                                 g->direction);
        d[CANDIDATE_START_PARAMETER] = CalcEllipsePointTowards(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
        d[6] = g_CalcPoints[0].x, d[7] = g_CalcPoints[0].y;
        CalcEllipsePointTowards(d[0], d[1], d[2], d[3], d[4], d[5], d[8], d[9]);
        d[8] = g_CalcPoints[0].x, d[9] = g_CalcPoints[0].y;
        g_OutputContext.mode = OUTPUT_MEASURE;
        Points()[0] = {d[6], d[7]};
        Points()[1] = {d[8], d[9]};
        Points()[2] = {d[0], d[1]};
        Points()[3] = {d[2], d[3]};
        Points()[4] = {d[4], d[5]};
        const int32_t n = FlatAddEllipseArcSteps(Points(), 0, d[CANDIDATE_START_PARAMETER], d[CANDIDATE_SWEEP]);
        ExtentsOfPoints(g, n > 0 ? n : 0, g->type == GEO_ELLI_SEC);
        return;
    }
    default:
        break;
    }
    std::memcpy(&d[CANDIDATE_EXTENTS], box, sizeof box);
}

// The unit of a builder with the header it needs before its chain is written.
Unit *NewCandidateUnit(int32_t type, uint32_t bytes, Unit *after, ChainWriter *w)
{
    Unit *unit = MemListNewObject(LIST_DRAWING, bytes, after);
    if (!unit) {
        AlertSM2(g_MainWnd);
        return nullptr;
    }
    unit->flags = 0;
    unit->kind = UNIT_KIND_OBJECT;
    unit->object.type = type;
    unit->object.reserved = OBJTYPE_RESERVED;
    InitChainBegin(w, unit, bytes);
    return unit;
}

Unit *FinishCandidateUnit(ChainWriter *w, Unit *unit, int32_t type)
{
    if (!InitChainEnd(w)) {
        MemListDelete(LIST_DRAWING, unit);
        AlertSM2(g_MainWnd);
        return nullptr;
    }
    ObjectInitHeaderFlags(unit, type);
    FrameCalcObject(unit, 0);
    FrameUnion(g_ChangedRect, unit->frame);
    return unit;
}

bool ValidIndex(int index) { return index >= 0 && index < CALC_CANDIDATE_SLOTS; }

double Orientation(const GeoObject &g) { return g.direction ? 1.0 : -1.0; }

// The builder for a candidate's type, or null for a type that cannot be stored.
Unit *BuildCandidate(int index)
{
    switch (g_CalcCandidates[index].type) {
    case GEO_LINE:
    case GEO_GEOLINE: return CalcCandidateToLine(index, nullptr);
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE: return CalcCandidateToCircle(index, nullptr);
    case GEO_CIRC_ARC:
    case GEO_CIRC_SEC:
    case GEO_CIRC_SEGM: return CalcCandidateToCircArc(index, nullptr);
    case GEO_ELLIPSE:
    case GEO_GEOELLI: return CalcCandidateToEllipse(index, nullptr);
    case GEO_ELLI_ARC:
    case GEO_ELLI_SEC:
    case GEO_ELLI_SEGM: return CalcCandidateToElliArc(index, nullptr);
    default: AlertSM8(g_MainWnd); return nullptr;
    }
}

double SummedDistance(const GeoObject &g, const CalcPoint *const picks[3])
{
    double sum = 0.0;
    for (int i = 0; i < 3; ++i)
        if (picks[i])
            sum += DistanceGeoObject(&g, picks[i]->x, picks[i]->y);
    return sum;
}

} // namespace

void CalcResetCandidates()
{
    g_CalcCandidateCount = 0;
    g_CalcCandidateIndex = -1;
    g_CalcCandidateWindow = -1;
}

void CalcCandidateSetPenLayer(GeoObject *g, int32_t pen, int32_t layer)
{
    int32_t pair[2] = {pen, layer};
    std::memcpy(&g->d[CANDIDATE_PEN_LAYER], pair, sizeof pair);
}

void CalcCandidatePenLayer(const GeoObject *g, int32_t *pen, int32_t *layer)
{
    int32_t pair[2];
    std::memcpy(pair, &g->d[CANDIDATE_PEN_LAYER], sizeof pair);
    *pen = pair[0];
    *layer = pair[1];
}

void CalcCompleteCandidates(GeoObject *candidates, int count)
{
    for (int i = 0; i < count; ++i)
        CompleteOne(&candidates[i]);
}

void CalcDrawCandidate(HDC hdc, const GeoObject *g)
{
    const OutputContext &ctx = g_OutputContext;
    const double *e = &g->d[CANDIDATE_EXTENTS];
    const double *v = ctx.visibleRect, *n = ctx.noClipRect;
    if (e[0] > v[2] || e[1] > v[3] || e[2] < v[0] || e[3] < v[1])
        return;
    const int clip = e[0] >= n[0] && e[1] >= n[1] && e[2] <= n[2] && e[3] <= n[3] ? 0 : 1;
    const COLORREF colour = InitStandardColor(g_DrawingSettings.colorFlag[CANDIDATE_FLAG_COLOUR]);
    HPEN dotted = CreatePen(PS_DOT, 1, colour);
    HPEN solid = CreatePen(PS_SOLID, 1, colour);
    const int oldRop = SetROP2(hdc, R2_NOTXORPEN);
    const int oldMode = SetBkMode(hdc, OPAQUE);
    const COLORREF oldBack = SetBkColor(hdc, InitStandardColor(g_DrawingSettings.colorDrawArea));
    HGDIOBJ oldPen = SelectObject(hdc, dotted);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    const double *d = g->d;
    const double sweep = d[CANDIDATE_SWEEP], start = d[CANDIDATE_START_PARAMETER];
    switch (g->type) {
    case GEO_LINE: ClipDrawLineStyled(hdc, d[0], d[1], d[2], d[3], clip, DRAW_STROKE); break;
    case GEO_GEOLINE: ClipDrawEndlessLine(hdc, d[0], d[1], d[2], d[3], 0, DRAW_STROKE); break;
    case GEO_CIRCLE:
    case GEO_GEOCIRCLE: ClipDrawCircle(hdc, d[0], d[1], d[2], d[3], clip, DRAW_STROKE); break;
    case GEO_CIRC_ARC: ClipDrawCircleArc(hdc, d[0], d[1], d[6], d[7], d[8], d[9], sweep, clip, DRAW_STROKE); break;
    case GEO_CIRC_SEC:
        ClipDrawCircleSector(hdc, d[0], d[1], d[6], d[7], d[8], d[9], sweep, clip, DRAW_STROKE);
        break;
    case GEO_CIRC_SEGM:
        ClipDrawCircleSegment(hdc, d[0], d[1], d[6], d[7], d[8], d[9], sweep, clip, DRAW_STROKE);
        break;
    case GEO_CURVE: ClipDrawBezier(hdc, d[0], d[1], d[6], d[7], d[8], d[9], d[2], d[3], clip, DRAW_STROKE); break;
    case GEO_ELLIPSE:
    case GEO_GEOELLI: ClipDrawEllipse(hdc, d[0], d[1], d[2], d[3], d[4], d[5], clip, DRAW_STROKE); break;
    case GEO_ELLI_ARC:
        ClipDrawEllipseArc(hdc, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], start, sweep, clip,
                           DRAW_STROKE);
        break;
    case GEO_ELLI_SEC:
        ClipDrawEllipseSector(hdc, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], start, sweep, clip,
                              DRAW_STROKE);
        break;
    case GEO_ELLI_SEGM:
        ClipDrawEllipseSegment(hdc, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], start, sweep, clip,
                               DRAW_STROKE);
        break;
    default: break;
    }
    if (g->type != GEO_GEOLINE) {
        SelectObject(hdc, solid);
        ClipDrawPickFrame(hdc, e[0], e[1], e[2], e[3]);
    }
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    SetBkColor(hdc, oldBack);
    SetBkMode(hdc, oldMode);
    SetROP2(hdc, oldRop);
    DeleteObject(dotted);
    DeleteObject(solid);
}

void CalcDrawCandidateInWindow(int window, const GeoObject *g)
{
    OutputWithWindowDC(window, [&](HDC hdc) { CalcDrawCandidate(hdc, g); });
}

void CalcCandidateCaption(char *out, size_t size, const char *title, int index, int count)
{
    std::snprintf(out, size, eHeadlineText[HEADLINE_CANDIDATE], title, index + 1, count);
}

int CalcChooseCandidate(int window, int count, const CalcPoint *pick1, const CalcPoint *pick2,
                        const CalcPoint *pick3)
{
    if (count > CALC_CANDIDATE_SLOTS)
        count = CALC_CANDIDATE_SLOTS;
    if (count < 1) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    const CalcPoint *const picks[3] = {pick1, pick2, pick3};
    if (pick1 || pick2 || pick3) {
        for (int i = 0; i < count; ++i) {
            double best = DISTANCE_NONE;
            int at = i;
            for (int j = i; j < count; ++j) {
                const double sum = SummedDistance(g_CalcCandidates[j], picks);
                if (sum < best)
                    best = sum, at = j;
            }
            std::swap(g_CalcCandidates[i], g_CalcCandidates[at]);
        }
    }
    CalcCompleteCandidates(g_CalcCandidates, count);
    g_CalcCandidateCount = count;
    g_CalcCandidateIndex = 0;
    g_CalcCandidateWindow = window;
    int chosen = -1;
    for (;;) {
        const int index = g_CalcCandidateIndex;
        const GeoObject &g = g_CalcCandidates[index];
        CalcDrawCandidateInWindow(window, &g);
        const char *title = g.type >= 0 && g.type < OBJECT_NAME_COUNT && eObjectNames[g.type][0]
                                ? eObjectNames[g.type]
                                : eDialogText[DIALOG_TEXT_NO_TITLE];
        char caption[256];
        CalcCandidateCaption(caption, sizeof caption, title, index, count);
        uint32_t answer = MULTIPLE_IDENT_CANCEL;
        Box05MultipleIdent(g_MainWnd, caption, &answer, -1, -1);
        CalcDrawCandidateInWindow(window, &g);
        if (answer == MULTIPLE_IDENT_NEXT) {
            g_CalcCandidateIndex = (index + 1) % count;
        } else if (answer == MULTIPLE_IDENT_PREVIOUS) {
            g_CalcCandidateIndex = (index + count - 1) % count;
        } else if (answer == MULTIPLE_IDENT_TAKE) {
            chosen = index;
            break;
        } else if (answer == MULTIPLE_IDENT_CANCEL) {
            break;
        }
    }
    if (chosen < 0 || chosen >= count) {
        CalcResetCandidates();
        return 0;
    }
    UndoInitProcess();
    const Unit *made = BuildCandidate(chosen);
    if (made) {
        UndoFinishProcess();
        ObjectDrawNewMarkersAll();
    } else {
        UndoCancelProcess();
    }
    CalcResetCandidates();
    return made ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Builders.

namespace {

// A point element of a built chain and the d[] index of its coordinates.
struct BuiltPoint {
    int16_t kind;
    int at;
};
constexpr BuiltPoint LINE_POINTS[] = {{POINT_START, 0}, {POINT_LINE, 2}};
constexpr BuiltPoint CIRCLE_POINTS[] = {{POINT_CENTRE, 0}, {POINT_ON_CIRCLE, 2}};
constexpr BuiltPoint ELLIPSE_POINTS[] = {{POINT_CENTRE, 0}, {POINT_AXIS_END, 2}, {POINT_AXIS_END, 4}};

// What follows the points: nothing, the zigzag size, or the ends, the
// orientation and the run-time element of an arc.
enum class Tail { NONE, ZIGZAG, ARC };

template <size_t N>
Unit *Build(int index, Unit *after, int32_t type, uint32_t bytes, const BuiltPoint (&points)[N], Tail tail,
            int16_t subKind = 0, uint32_t subSize = 0)
{
    if (!ValidIndex(index))
        return nullptr;
    const GeoObject &g = g_CalcCandidates[index];
    ChainWriter w;
    Unit *unit = NewCandidateUnit(type, bytes, after, &w);
    if (!unit)
        return nullptr;
    for (const BuiltPoint &p : points)
        InitChainPoint(&w, p.kind, g.d[p.at], g.d[p.at + 1]);
    if (tail == Tail::ZIGZAG) {
        InitChainConstant(&w, g.d[4]);
    } else if (tail == Tail::ARC) {
        InitChainPoint(&w, POINT_ARC_END, g.d[6], g.d[7]);
        InitChainPoint(&w, POINT_ARC_END, g.d[8], g.d[9]);
        InitChainOrient(&w, Orientation(g));
        InitChainRecord(&w, subKind, subSize);
    }
    return FinishCandidateUnit(&w, unit, type);
}

int32_t TypeOf(int index) { return ValidIndex(index) ? g_CalcCandidates[index].type : 0; }

} // namespace

Unit *CalcCandidateToLine(int index, Unit *after)
{
    return Build(index, after, TypeOf(index), UNIT_BYTES_LINE, LINE_POINTS, Tail::NONE);
}

Unit *CalcCandidateToZigzag(int index, Unit *after)
{
    return Build(index, after, OBJTYPE_ZIGZAG, UNIT_BYTES_ZIGZAG, LINE_POINTS, Tail::ZIGZAG);
}

Unit *CalcCandidateToCircle(int index, Unit *after)
{
    return Build(index, after, TypeOf(index), UNIT_BYTES_CIRCLE, CIRCLE_POINTS, Tail::NONE);
}

Unit *CalcCandidateToCircArc(int index, Unit *after)
{
    return Build(index, after, TypeOf(index), UNIT_BYTES_CIRC_ARC, CIRCLE_POINTS, Tail::ARC, ELEM_SUB_CIRCLE_ARC,
                 ELEM_SIZE_SUB_CIRCLE_ARC);
}

Unit *CalcCandidateToEllipse(int index, Unit *after)
{
    return Build(index, after, TypeOf(index), UNIT_BYTES_ELLIPSE, ELLIPSE_POINTS, Tail::NONE);
}

Unit *CalcCandidateToElliArc(int index, Unit *after)
{
    return Build(index, after, TypeOf(index), UNIT_BYTES_ELLI_ARC, ELLIPSE_POINTS, Tail::ARC, ELEM_SUB_ELLIPSE_ARC,
                 ELEM_SIZE_SUB_ELLIPSE_ARC);
}
