// The Construct menu: marker points, divisions of objects into marker points,
// copies of the selection along objects, to marker points, in arrays and in
// grids, and the construction objects' deletion and display switches. The
// dialogs come before the one undo step of a change, so a cancelled dialog
// leaves no step behind.
#include <string>

#include "app/convert.h"
#include "app/init_sound.h"
#include "app/status.h"
#include "app/system.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "commands/copy.h"
#include "commands/menu.h"
#include "database/object.h"
#include "database/object_flags.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box02.h"
#include "dialogs/box04_construction.h"
#include "display/output_paint.h"
#include "geometry/calc.h"
#include "language/language.h"

namespace {

constexpr uint32_t MASK_SELECTED = 4;
constexpr uint32_t MASK_USER = 1;
constexpr int COUNT_ARRAY = 1; // the remembered count of the polar and linear arrays
constexpr int32_t POLAR_COUNT_MIN = 2;
constexpr int32_t LINEAR_COUNT_MIN = 1;
constexpr int32_t ARRAY_COUNT_MAX = 250;
constexpr int GRID_POINTS = 65537;
constexpr int MARK_PLACEMENTS = 43691; // one more than may be collected
constexpr int HEADLINE_FIRST_DIRECTION = 8;
constexpr int HEADLINE_SECOND_DIRECTION = 9;
constexpr int BOX_TEXT_COUNT = 14;
constexpr int CELL_GEOMETRY_SHOWN = 98;
constexpr int CELL_GEOMETRY_FROZEN = 97;

int Ccw() { return g_DrawingSettings.displayArcs != 0; }

CopyPoint Cp(int i) { return {g_ConstructionPoints[i].x, g_ConstructionPoints[i].y}; }
CopyPoint Pt(const GeoObject &g, int i) { return {g.d[2 * i], g.d[2 * i + 1]}; }

const char *Text(const char *const *table, int index) { return table[index] ? table[index] : ""; }

std::string Title(int commandId)
{
    char title[CONVERT_TITLE_SIZE];
    ConvertGetCommandTitle(title, commandId);
    return title;
}

int AskRule(HWND mainWindow, int commandId, int which, const char *suffix, int32_t rotate)
{
    const std::string caption = Title(commandId) + suffix;
    return Box04EditConstruction(mainWindow, caption.c_str(), &g_CommandDefaults.construction[which], rotate);
}

int AskGridRules(HWND mainWindow, int commandId)
{
    return AskRule(mainWindow, commandId, 0, Text(eHeadlineText, HEADLINE_FIRST_DIRECTION), 0) &&
           AskRule(mainWindow, commandId, 1, Text(eHeadlineText, HEADLINE_SECOND_DIRECTION), 0);
}

int AskCount(HWND mainWindow, int commandId)
{
    return Box02EditInt(mainWindow, Title(commandId).c_str(), Text(eBoxText, BOX_TEXT_COUNT),
                        &g_CommandDefaults.counts[COUNT_ARRAY]);
}

void WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

// One "Mark" object holding all points, in one undo step.
void StoreMarks(HWND mainWindow, const CopyPoint *points, int count)
{
    if (count <= 0) {
        AlertSM48(mainWindow);
        return;
    }
    UndoInitProcess();
    if (ObjectNewMarks(&points[0].x, count))
        UndoFinishProcess();
    else
        UndoCancelProcess();
}

void CopyToPlacements(HWND mainWindow, const CopyPlacement *placements, int count, int rotate)
{
    if (count <= 0) {
        AlertSM48(mainWindow);
        return;
    }
    UndoInitProcess();
    if (CopySelectionToPoints(placements, count, Cp(1), MASK_SELECTED, rotate)) {
        UndoFinishProcess();
        OutputInvalidateAreaAll(g_ChangedRect);
    } else {
        UndoCancelProcess();
    }
}

// The start and end of an arc in the order its sweep runs.
void ArcEnds(const GeoObject &g, int forward, CopyPoint *s, CopyPoint *e)
{
    *s = Pt(g, forward ? 3 : 4);
    *e = Pt(g, forward ? 4 : 3);
}

int EllipseArcForward(const GeoObject &g, int ccw)
{
    const double *d = g.d;
    return CalcEllipseArcSweep(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], ccw) >= 0;
}

// The division or placement functions of one kind of output, by shape.
template <typename Out>
struct ShapeFunctions {
    int (*line)(CopyPoint, CopyPoint, Out *);
    int (*circle)(CopyPoint, CopyPoint, int, Out *);
    int (*circArc)(CopyPoint, CopyPoint, CopyPoint, CopyPoint, int, Out *);
    int (*ellipse)(CopyPoint, CopyPoint, CopyPoint, int, Out *);
    int (*elliArc)(CopyPoint, CopyPoint, CopyPoint, CopyPoint, CopyPoint, int, Out *);
};
const ShapeFunctions<CopyPoint> DIVIDE = {CopyDivideLine, CopyDivideCircle, CopyDivideCircArc, CopyDivideEllipse,
                                          CopyDivideElliArc};
const ShapeFunctions<CopyPlacement> PLACE = {CopyPlaceLine, CopyPlaceCircle, CopyPlaceCircArc, CopyPlaceEllipse,
                                             CopyPlaceElliArc};

// The points along a picked object; 0 for a shape that cannot be divided.
// elliArcCcw is the sweep direction the elliptic arc's ends are ordered by.
template <typename Out>
int AlongShape(const GeoObject &g, const ShapeFunctions<Out> &f, int elliArcCcw, Out *out)
{
    CopyPoint s, e;
    switch (g.type) {
    case GEO_LINE: return f.line(Pt(g, 0), Pt(g, 1), out);
    case GEO_CIRCLE: case GEO_GEOCIRCLE: return f.circle(Pt(g, 0), Pt(g, 1), Ccw(), out);
    case GEO_CIRC_ARC:
        ArcEnds(g, g.direction != 0, &s, &e);
        return f.circArc(Pt(g, 0), Pt(g, 1), s, e, Ccw(), out);
    case GEO_ELLIPSE: case GEO_GEOELLI: return f.ellipse(Pt(g, 0), Pt(g, 1), Pt(g, 2), Ccw(), out);
    case GEO_ELLI_ARC:
        ArcEnds(g, EllipseArcForward(g, elliArcCcw), &s, &e);
        return f.elliArc(Pt(g, 0), Pt(g, 1), Pt(g, 2), s, e, Ccw(), out);
    default: return 0;
    }
}

void SetLine(GeoObject &g, int from, int to)
{
    g.type = GEO_LINE;
    g.d[0] = g_ConstructionPoints[from].x, g.d[1] = g_ConstructionPoints[from].y;
    g.d[2] = g_ConstructionPoints[to].x, g.d[3] = g_ConstructionPoints[to].y;
}

// 641 (and 640): the first picked object divided into marker points.
void DivideObject(HWND mainWindow, int commandId)
{
    if (!AskRule(mainWindow, commandId, 0, "", 0))
        return;
    TempBlock<CopyPoint> work(COPY_DIVISION_MAX, __FILE__, __LINE__);
    if (!work)
        return;
    WaitCursor();
    StoreMarks(mainWindow, work.get(), AlongShape(g_CommandState->elementGeo[0], DIVIDE, 1, work.get()));
}

// 642: a grid of marker points from corner cp 0 along cp 1 and cp 1 to cp 2.
void MarkGrid(HWND mainWindow, int commandId)
{
    if (!AskGridRules(mainWindow, commandId))
        return;
    TempBlock<CopyPoint> work(GRID_POINTS, __FILE__, __LINE__);
    if (!work)
        return;
    WaitCursor();
    StoreMarks(mainWindow, work.get(), CopyDivideGrid(Cp(0), Cp(1), Cp(2), work.get()));
}

int Selected() { return ObjectExtentsSelected(0, MASK_SELECTED); }

// 644: a copy at every point of the user-marked "Mark" objects.
void CopyToMarks(HWND mainWindow)
{
    if (!Selected())
        return;
    TempBlock<CopyPlacement> work(MARK_PLACEMENTS, __FILE__, __LINE__);
    if (!work)
        return;
    WaitCursor();
    const int count = CopyCollectMarkPoints(work.get(), MARK_PLACEMENTS - 1, MASK_USER);
    if (count == 0) {
        AlertSM8(mainWindow);
        return;
    }
    CopyToPlacements(mainWindow, work.get(), count, 1);
}

// 645 and 646: the arrays on the remembered count; a count out of range ends
// the command (the count stays remembered).
void Array(HWND mainWindow, int commandId, int32_t minimum)
{
    if (!Selected() || !AskCount(mainWindow, commandId))
        return;
    const int32_t n = g_CommandDefaults.counts[COUNT_ARRAY];
    if (n < minimum || n > ARRAY_COUNT_MAX) {
        AlertSM8(mainWindow);
        return;
    }
    TempBlock<CopyPlacement> work(COPY_DIVISION_MAX, __FILE__, __LINE__);
    if (!work)
        return;
    WaitCursor();
    const int count = minimum == POLAR_COUNT_MIN ? CopyPolarArrayPositions(Cp(1), n, work.get())
                                                 : CopyLinearArrayPositions(Cp(1), Cp(2), n, work.get());
    CopyToPlacements(mainWindow, work.get(), count, 1);
}

// 648 (and 647): copies along the third picked object; turned only along a
// curve with the rotate-copies switch set.
void CopyAlong(HWND mainWindow, int commandId)
{
    if (!Selected())
        return;
    const GeoObject &path = g_CommandState->elementGeo[2];
    const int curved = path.type != GEO_LINE;
    if (!AskRule(mainWindow, commandId, 0, "", curved))
        return;
    TempBlock<CopyPlacement> work(COPY_DIVISION_MAX, __FILE__, __LINE__);
    if (!work)
        return;
    WaitCursor();
    const int count = AlongShape(path, PLACE, path.direction, work.get());
    CopyToPlacements(mainWindow, work.get(), count, curved && g_CommandDefaults.construction[0].rotateCopies);
}

// 649: a grid of copies from corner cp 2 along cp 3 and cp 3 to cp 4.
void CopyGrid(HWND mainWindow, int commandId)
{
    if (!Selected() || !AskGridRules(mainWindow, commandId))
        return;
    TempBlock<CopyPlacement> work(MARK_PLACEMENTS, __FILE__, __LINE__);
    if (!work)
        return;
    WaitCursor();
    const int count = CopyPlaceGrid(Cp(2), Cp(3), Cp(4), work.get(), MARK_PLACEMENTS - 1);
    CopyToPlacements(mainWindow, work.get(), count, 0);
}

// 650 and 653: every construction object, or only the selected ones.
void DeleteConstruction(uint32_t mask)
{
    UndoInitProcess();
    if (ObjectDeleteGeo(mask)) {
        UndoFinishProcess();
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
    } else {
        UndoCancelProcess();
    }
}

void ToggleGeometryDisplay(int which, int cell)
{
    uint32_t &flag = g_DrawingSettings.displayGeometry[which];
    flag = !flag;
    StatusRepaintCell(cell);
    ObjectUpdateDisplayFlagsAll(1);
}

} // namespace

void MenuConstructCommand(HWND mainWindow, int commandId)
{
    switch (commandId) {
    case 635:
        ToggleGeometryDisplay(0, CELL_GEOMETRY_SHOWN);
        OutputRedrawAll(1);
        break;
    case 636: ToggleGeometryDisplay(1, CELL_GEOMETRY_FROZEN); break;
    case 637: g_DrawingSettings.displayGeometry[2] = !g_DrawingSettings.displayGeometry[2]; break;
    case 638: {
        const CopyPoint p = Cp(0);
        StoreMarks(mainWindow, &p, 1);
        break;
    }
    case 640:
        SetLine(g_CommandState->elementGeo[0], 0, 1);
        DivideObject(mainWindow, commandId);
        break;
    case 641: DivideObject(mainWindow, commandId); break;
    case 642: MarkGrid(mainWindow, commandId); break;
    case 644: CopyToMarks(mainWindow); break;
    case 645: Array(mainWindow, commandId, POLAR_COUNT_MIN); break;
    case 646: Array(mainWindow, commandId, LINEAR_COUNT_MIN); break;
    case 647:
        SetLine(g_CommandState->elementGeo[2], 2, 3);
        CopyAlong(mainWindow, commandId);
        break;
    case 648: CopyAlong(mainWindow, commandId); break;
    case 649: CopyGrid(mainWindow, commandId); break;
    case 650: DeleteConstruction(0); break;
    case 653: DeleteConstruction(MASK_SELECTED); break;
    default:
        if (commandId >= 600 && commandId <= 653)
            CommandShowSubmenu(commandId, nullptr);
        else
            InitBeep();
        break;
    }
}
