// The Draw menu: the commands that build one new object from the
// construction points of their completed input, each in one undo step, and
// the switches of the arc mode and the arc orientation.
#include <algorithm>
#include <iterator>
#include <cmath>
#include <cstring>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "commands/command_menu.h"
#include "commands/command_popup.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_construct_shapes.h"
#include "commands/input_path.h"
#include "commands/input_rubber.h"
#include "commands/menu.h"
#include "commands/transform.h"
#include "database/object.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box14_multiline.h"
#include "display/output_paint.h"
#include "display/output_select.h"
#include "files/file_drawinginfo.h"
#include "app/window.h"
#include "geometry/calc.h"
#include "geometry/calc_candidate.h"
#include "geometry/calc_fit.h"
#include "geometry/flat.h"
#include "geometry/hatch.h"
#include "geometry/poly.h"

namespace {

constexpr int32_t ARC_MODES = 3; // arc, sector, segment

// The builder runs inside one undo step; a refusal leaves no step behind.
template <typename Build>
void InUndoStep(Build build)
{
    UndoInitProcess();
    if (build())
        UndoFinishProcess();
    else
        UndoCancelProcess();
}

int32_t ArcMode()
{
    const int32_t mode = g_DrawingSettings.displayArcsMode;
    return mode >= 0 && mode < ARC_MODES ? mode : 0;
}

int32_t Corners() { return g_CommandDefaults.counts[COMMAND_COUNT_CORNERS]; }

int PointCount() { return g_CommandState->pointIndex; }

// The size of a picked circle or ellipse, weighting the tangent choice.
double CurveSize(const GeoObject &g)
{
    const double r1 = std::hypot(g.d[2] - g.d[0], g.d[3] - g.d[1]);
    if (g.type == GEO_ELLIPSE || g.type == GEO_GEOELLI)
        return r1 + std::hypot(g.d[4] - g.d[0], g.d[5] - g.d[1]);
    return r1;
}

// 521: of the common tangents, the one whose touching points lie nearest to
// where the two curves were picked, each distance weighted by the other
// curve's size; the first of equal ones.
void TangentBetweenCurves(HWND mainWindow)
{
    const GeoObject &g1 = g_CommandState->elementGeo[0], &g2 = g_CommandState->elementGeo[1];
    const int count = CalcGeoTangent(&g1, &g2);
    if (count <= 0) {
        AlertSM8(mainWindow);
        return;
    }
    const double size1 = CurveSize(g1), size2 = CurveSize(g2);
    const InputPointEntry &p0 = g_InputPoints[0], &p1 = g_InputPoints[1];
    double best = CALC_NO_VALUE;
    int chosen = 0;
    for (int k = 0; k + 1 < count && k + 1 < CALC_POINT_SLOTS; k += 2) {
        const CalcPoint t1 = g_CalcPoints[k], t2 = g_CalcPoints[k + 1];
        const double score =
            std::hypot(t2.x - p1.x, t2.y - p1.y) * size1 + std::hypot(t1.x - p0.x, t1.y - p0.y) * size2;
        if (score < best) {
            best = score;
            chosen = k;
        }
    }
    g_ConstructionPoints[0].x = g_CalcPoints[chosen].x;
    g_ConstructionPoints[0].y = g_CalcPoints[chosen].y;
    g_ConstructionPoints[1].x = g_CalcPoints[chosen + 1].x;
    g_ConstructionPoints[1].y = g_CalcPoints[chosen + 1].y;
    InUndoStep([] { return ObjectNewLine(OBJTYPE_LINE, 0, 1); });
}

CalcPoint ConstructionPointAt(int i) { return {g_ConstructionPoints[i].x, g_ConstructionPoints[i].y}; }

// 543: the circles touching three picked lines; the user steps through
// them, the nearest to the three picks first, and the chooser stores the
// one taken in an undo step of its own.
void CirclesTouchingThreeLines()
{
    const GeoObject *g = g_CommandState->elementGeo;
    const int count = CalcCirclesTangentThreeLines(g[0].d[0], g[0].d[1], g[0].d[2], g[0].d[3], g[1].d[0], g[1].d[1],
                                                   g[1].d[2], g[1].d[3], g[2].d[0], g[2].d[1], g[2].d[2], g[2].d[3],
                                                   GEO_CIRCLE);
    const CalcPoint p0 = ConstructionPointAt(0), p1 = ConstructionPointAt(1), p2 = ConstructionPointAt(2);
    CalcChooseCandidate(g_ActiveWindow, count, &p0, &p1, &p2);
}

GeoObject PointRecord(const CalcPoint &p)
{
    GeoObject g{};
    g.type = GEO_MARK;
    g.d[0] = p.x;
    g.d[1] = p.y;
    return g;
}

// 544 to 546: the circles of the remembered fit radius through or touching
// two points (544), a picked object and a point (545) or two picked
// objects (546), chosen as for 543.
void CirclesOfTheFitRadius(int commandId)
{
    const CalcPoint p0 = ConstructionPointAt(0), p1 = ConstructionPointAt(1);
    const GeoObject *picked = g_CommandState->elementGeo;
    const GeoObject first = commandId == 544 ? PointRecord(p0) : picked[0];
    const GeoObject second = commandId == 546 ? picked[1] : PointRecord(p1);
    const double radius = g_CommandDefaults.distances[COMMAND_DISTANCE_FIT_RADIUS];
    const int count = CalcGeoRadiusFit(&first, &second, radius, GEO_CIRCLE);
    CalcChooseCandidate(g_ActiveWindow, count, &p0, &p1, nullptr);
}

// 572: the entered points become a hand-drawn line.
void Sketch(HWND mainWindow)
{
    const int n = PointCount();
    PathPoint *work = g_WorkArrays.pathPoints;
    if (n < 2 || !work || n > static_cast<int>(g_MaxPathPoints))
        return;
    for (int i = 0; i < n; ++i)
        work[i] = {g_ConstructionPoints[i].x, g_ConstructionPoints[i].y};
    const int32_t count = FlatAddSketch(work, n);
    if (count <= 1) {
        AlertSM8(mainWindow);
        return;
    }
    InUndoStep([&] { return ObjectNewPolylineFromArray(OBJTYPE_CURVE, &work[0].x, count); });
}

constexpr int COMMAND_HATCH_DIALOG_FIRST = 5763; // + the hatch: its definitions editor
// The numbers that stand for a submenu of the Draw menu (typed, or sent by a plug-in).
constexpr int DRAW_SUBMENUS[] = {500, 515, 522, 528, 535, 547, 557, 562, 566, 576, 587, 588, 589, 590};

bool IsDrawSubmenu(int commandId)
{
    return std::find(std::begin(DRAW_SUBMENUS), std::end(DRAW_SUBMENUS), commandId) != std::end(DRAW_SUBMENUS);
}

int ActiveHatchIndex() { return g_CurrentHatch >= 0 && g_CurrentHatch < HATCH_SLOTS ? g_CurrentHatch : 0; }

const HatchDef &ActiveHatch() { return g_HatchDefs[ActiveHatchIndex()]; }

// 577: the area bounded by the selected objects is hatched with the active
// hatch; islands among them stay empty.
void HatchSelection()
{
    if (ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED) == 0)
        return;
    UndoInitProcess();
    if (!HatchCreate(&ActiveHatch(), UNIT_SELECTED)) {
        UndoCancelProcess();
        return;
    }
    UndoFinishProcess();
    double changed[4];
    std::memcpy(changed, g_ChangedRect, sizeof changed);
    InputDropObjectSelection();
    OutputInvalidateAreaAll(changed);
}

// 578: the areas around the entered points (after the selection step), each
// found among the selected objects as a temporary surface and joined into
// one, are hatched; the surfaces go again within the step.
void HatchAroundPoints()
{
    const int points = PointCount();
    if (ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED) == 0)
        return;
    UndoInitProcess();
    bool ok = points > 1;
    for (int i = 1; i < points && ok; ++i)
        ok = PolyGenerateSurface(UNIT_SELECTED, g_ConstructionPoints[i].x, g_ConstructionPoints[i].y) != 0;
    InputDropObjectSelection();
    ok = ok && TransformSelectionToSurface(UNIT_TEMPORARY, 1) != 0;
    double changed[4];
    if (ok) {
        std::memcpy(changed, g_ChangedRect, sizeof changed);
        HatchCreate(&ActiveHatch(), UNIT_TEMPORARY);
    }
    UndoDeleteTemporary();
    if (ok) {
        UndoFinishProcess();
        OutputInvalidateAreaAll(changed);
    } else {
        UndoCancelProcess();
    }
    OutputRedrawSelection();
}

} // namespace

void MenuDrawCommand(HWND mainWindow, int commandId)
{
    const int n = PointCount();
    switch (commandId) {
    case 501: case 506: case 507: case 508: case 509: case 510: case 516: case 519: case 520:
        InUndoStep([] { return ObjectNewLine(OBJTYPE_LINE, 0, 1); });
        break;
    case 512: InUndoStep([n] { return ObjectNewPolyline(OBJTYPE_CURVE, n); }); break;
    case 514: InUndoStep([] { return ObjectNewZigzag(0, 1, 2); }); break;
    case 521: TangentBetweenCurves(mainWindow); break;
    case 523: InUndoStep([] { return ObjectNewPolyline(OBJTYPE_SURFACE, 3); }); break;
    case 524: case 525: case 526: InUndoStep([] { return ObjectNewPolyline(OBJTYPE_SURFACE, 4); }); break;
    case 527: InUndoStep([n] { return ObjectNewPolyline(OBJTYPE_SURFACE, n); }); break;
    case 529: InUndoStep([] { return ObjectNewPolygon(0, 1, 2, Corners()); }); break;
    case 531: InUndoStep([] { return ObjectNewPolygon(4, 0, 3, Corners()); }); break;
    // The corner comes from the remembered side length (cp 2), the first
    // corner's direction from the direction point (cp 1).
    case 533: InUndoStep([] { return ObjectNewPolygon(0, 2, 1, Corners()); }); break;
    case 536: case 541: case 542: InUndoStep([] { return ObjectNewCircle(OBJTYPE_CIRCLE, 0, 1); }); break;
    case 538: InUndoStep([] { return ObjectNewCircle(OBJTYPE_CIRCLE, 3, 0); }); break;
    case 540: InUndoStep([] { return ObjectNewCircle(OBJTYPE_CIRCLE, 3, 4); }); break;
    case 543: CirclesTouchingThreeLines(); break;
    case 544: case 545: case 546: CirclesOfTheFitRadius(commandId); break;
    case 548: case 552:
        InUndoStep([] { return ObjectNewCircleArc(OBJTYPE_CIRC_ARC + ArcMode(), 0, 1, 2, 3, 4); });
        break;
    case 550: InUndoStep([] { return ObjectNewCircleArc(OBJTYPE_CIRC_ARC + ArcMode(), 3, 2, 0, 1, 4); }); break;
    case 558: case 559: case 560: InUndoStep([] { return ObjectNewEllipse(OBJTYPE_ELLIPSE, 0, 1, 2); }); break;
    case 563: case 564:
        InUndoStep([] { return ObjectNewEllipseArc(OBJTYPE_ELLI_ARC + ArcMode(), 0, 1, 2, 3, 4, 5); });
        break;
    case 567: case 568: case 569: g_DrawingSettings.displayArcsMode = commandId - 567; break;
    case 570: g_DrawingSettings.displayArcsMode = (ArcMode() + 1) % ARC_MODES; break;
    case 571: g_DrawingSettings.displayArcs = !g_DrawingSettings.displayArcs; break;
    case 572: Sketch(mainWindow); break;
    case 573: InUndoStep([n] { return ObjectNewPolyline(OBJTYPE_SPLINE, n); }); break;
    case 574: InUndoStep([n] { return ObjectNewPath(OBJTYPE_CURVE, n); }); break;
    case 575: InUndoStep([n] { return ObjectNewPath(OBJTYPE_SURFACE, n); }); break;
    case 577: HatchSelection(); break;
    case 578: HatchAroundPoints(); break;
    case 579: CommandPopupHatchMenu(nullptr); break;
    case 580: MenuInternalCommand(mainWindow, COMMAND_HATCH_DIALOG_FIRST + ActiveHatchIndex()); break;
    case 581: {
        char caption[CONVERT_TITLE_SIZE];
        ConvertGetCommandTitle(caption, commandId);
        if (Box14EditMultilineDef(mainWindow, caption, g_MultiLineDefs, 0))
            FileSetModified();
        break;
    }
    case 582: // no undo step, but the drawing has changed
        g_HatchOrigin[0] = g_ConstructionPoints[0].x;
        g_HatchOrigin[1] = g_ConstructionPoints[0].y;
        FileSetModified();
        break;
    default:
        // The submenu numbers show their submenu; the numbers without a
        // template of their own build nothing from whatever the last input left.
        if (IsDrawSubmenu(commandId))
            CommandShowSubmenu(commandId, nullptr);
        else
            InitBeep();
        break;
    }
}

namespace {

// The constructions and the rubber band of the drawing commands join the
// input machine when this handler is linked in.
struct DrawInputRegistration {
    DrawInputRegistration()
    {
        g_InputConstructors[CONSTRUCT_LINE] = InputConstructLine;
        g_InputConstructors[CONSTRUCT_CIRCLE] = InputConstructCircle;
        g_InputConstructors[CONSTRUCT_POLYLINE] = InputConstructPath;
        g_InputFeedbackPainter = InputFeedbackDrawWindow;
        g_InputReferencePainter = InputDrawReferenceMarkWindow;
    }
};
const DrawInputRegistration s_Registration;

} // namespace
