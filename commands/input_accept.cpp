// The command's own work after a click was accepted: type checks of picked
// objects, the contour of a pick on a path, the construction points derived
// from picked geometry, the boxes the rubber band of the next steps shows,
// and the common tail every accepted point runs through.
#include <cmath>

#include "app/darad4.h"
#include "app/system.h"
#include "app/window.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_path.h"
#include "commands/input_pointer.h"
#include "database/object_ident.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "database/object_types.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/calc.h"
#include "geometry/frame.h"

namespace {

constexpr uint32_t SELECTED = UNIT_SELECTED;
constexpr uint32_t POINT_SELECTED_MASK = POINT_SELECTED;
// A label that cannot be measured is shown as this box (mm, at the origin).
constexpr double LABEL_BOX[4] = {0.0, 0.0, 5.0, 1.0};

// Cutting commands and what they accept.
enum class Cut { ALL_BUT_SPLINE, NO_PATHS_NO_ELLIPSE, ARCS_AND_LINES };

double *Rect() { return g_CommandState->rect; }
GeoObject &G(int n) { return g_CommandState->elementGeo[n]; }
ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }
InputPointEntry &P(int i) { return g_InputPoints[i]; }

void SetCp(int i, double x, double y)
{
    Cp(i).x = x;
    Cp(i).y = y;
}

void RefuseAlert(uint32_t (*alert)(HWND)) { alert(g_MainWnd); }

bool IsLine(int32_t type) { return type == GEO_LINE || type == GEO_GEOLINE; }
bool IsCircle(int32_t type) { return type == GEO_CIRCLE || type == GEO_GEOCIRCLE; }

// The type check of a cutting command; the path commands locate the pick.
int CheckCut(Cut rule)
{
    const int32_t type = ObjectGetIdentGeometry(P(0).ident, &G(0));
    if (type < 0) {
        RefuseAlert(AlertSM5);
        return INPUT_REFUSED;
    }
    const bool line = type == OBJTYPE_LINE || type == OBJTYPE_ZIGZAG;
    const bool circle = type == OBJTYPE_CIRCLE;
    const bool arc = type >= OBJTYPE_CIRC_ARC && type <= OBJTYPE_CIRC_SEGM;
    const bool ellipse = type == OBJTYPE_ELLIPSE;
    const bool elliArc = type >= OBJTYPE_ELLI_ARC && type <= OBJTYPE_ELLI_SEGM;
    const bool path = type == OBJTYPE_HATCH || type == OBJTYPE_CURVE || type == OBJTYPE_SURFACE;
    bool accepted = line || arc;
    switch (rule) {
    case Cut::ALL_BUT_SPLINE: accepted = accepted || circle || ellipse || elliArc || path; break;
    case Cut::NO_PATHS_NO_ELLIPSE: accepted = accepted || circle; break;
    case Cut::ARCS_AND_LINES: accepted = accepted || elliArc; break;
    }
    if (!accepted) {
        RefuseAlert(AlertSM60);
        return INPUT_REFUSED;
    }
    if (rule == Cut::ALL_BUT_SPLINE && path) {
        Unit *object = UndoFindIdent(P(0).ident);
        const int32_t element = object ? ObjectNearestPathPoint(object, P(0).x, P(0).y) : -1;
        if (element < 0) {
            RefuseAlert(AlertSM5);
            return INPUT_REFUSED;
        }
        g_CommandState->pickedObject = object;
        g_CommandState->pickedElement = element;
    }
    return INPUT_CONTINUE;
}

// The two points of a picked element: for a line the end nearer to the
// pick comes second (the end point on a tie).
int ElementEnds()
{
    const GeoObject &g = G(0);
    if (IsLine(g.type)) {
        const CalcPoint pick{P(0).x, P(0).y}, a{g.d[0], g.d[1]}, b{g.d[2], g.d[3]};
        const bool endFarther = CalcDistance(&a, &pick) < CalcDistance(&b, &pick);
        SetCp(0, endFarther ? b.x : a.x, endFarther ? b.y : a.y);
        SetCp(1, endFarther ? a.x : b.x, endFarther ? a.y : b.y);
    } else {
        SetCp(0, g.d[0], g.d[1]);
        SetCp(1, g.d[2], g.d[3]);
    }
    return INPUT_CONTINUE;
}

// R := g_ExtentsRect relative to the base point P 1.
void BoxFromExtents(bool clamp)
{
    double *r = Rect();
    for (int k = 0; k < 4; ++k)
        r[k] = g_ExtentsRect[k] - (k % 2 ? P(1).y : P(1).x);
    if (!clamp)
        return;
    if (g_ExtentsRect[0] >= FRAME_INFINITE || g_ExtentsRect[2] <= -FRAME_INFINITE)
        r[0] = r[2] = 0.0;
    if (g_ExtentsRect[1] >= FRAME_INFINITE || g_ExtentsRect[3] <= -FRAME_INFINITE)
        r[1] = r[3] = 0.0;
}

// Of the two points a solver left in slots 0 and 1, the one nearer to q
// (slot 0 only when strictly nearer).
CalcPoint Nearer(const CalcPoint &q)
{
    return CalcDistance(&g_CalcPoints[0], &q) < CalcDistance(&g_CalcPoints[1], &q) ? g_CalcPoints[0]
                                                                                   : g_CalcPoints[1];
}

// The point of a circle (centre c, point r) on the line through c and the
// point t (t = c: none), nearer to the pick q.
bool CirclePointTowards(const double *circle, double tx, double ty, const CalcPoint &q, CalcPoint *out)
{
    if (CalcIntersectLineCircle(circle[0], circle[1], tx, ty, circle[0], circle[1], circle[2], circle[3]) < 1)
        return false;
    *out = Nearer(q);
    return true;
}

// The two points a distance between two picked elements measures.
int DistancePoints()
{
    const GeoObject &a = G(0), &b = G(1);
    const CalcPoint p0{P(0).x, P(0).y}, p1{P(1).x, P(1).y};
    bool ok = true;
    CalcPoint c0{}, c1{};
    if (IsLine(a.type) && IsLine(b.type)) {
        ok = CalcPerpendicularFootLine(a.d[0], a.d[1], a.d[2], a.d[3], p0.x, p0.y) > 0;
        c0 = g_CalcPoints[0];
        ok = ok && CalcPerpendicularFootLine(b.d[0], b.d[1], b.d[2], b.d[3], c0.x, c0.y) > 0;
        c1 = g_CalcPoints[0];
    } else if (IsLine(a.type) && IsCircle(b.type)) {
        ok = CalcPerpendicularFootLine(a.d[0], a.d[1], a.d[2], a.d[3], b.d[0], b.d[1]) > 0;
        c0 = g_CalcPoints[0];
        const double nx = b.d[0] - (a.d[3] - a.d[1]), ny = b.d[1] + (a.d[2] - a.d[0]);
        ok = ok && CirclePointTowards(b.d, nx, ny, p1, &c1);
    } else if (IsCircle(a.type) && IsLine(b.type)) {
        ok = CalcPerpendicularFootLine(b.d[0], b.d[1], b.d[2], b.d[3], a.d[0], a.d[1]) > 0;
        c1 = g_CalcPoints[0];
        const double nx = a.d[0] - (b.d[3] - b.d[1]), ny = a.d[1] + (b.d[2] - b.d[0]);
        ok = ok && CirclePointTowards(a.d, nx, ny, p0, &c0);
    } else if (IsCircle(a.type) && IsCircle(b.type)) {
        const bool concentric = a.d[0] == b.d[0] && a.d[1] == b.d[1];
        if (concentric) {
            ok = CalcCirclePerpendicularFeet(a.d[0], a.d[1], a.d[2], a.d[3], p0.x, p0.y) > 0;
            c0 = ok ? Nearer(p0) : c0;
            ok = ok && CalcCirclePerpendicularFeet(b.d[0], b.d[1], b.d[2], b.d[3], p0.x, p0.y) > 0;
            c1 = ok ? Nearer(p1) : c1;
        } else {
            ok = CirclePointTowards(a.d, b.d[0], b.d[1], p0, &c0) && CirclePointTowards(b.d, a.d[0], a.d[1], p1, &c1);
        }
    } else {
        ok = false;
    }
    if (!ok) {
        AlertSM8(g_MainWnd);
        return INPUT_CANCEL;
    }
    SetCp(0, c0.x, c0.y);
    SetCp(1, c1.x, c1.y);
    return INPUT_CONTINUE;
}

// The label box of a dimension step. The value texts come with the
// dimension commands; until then the label takes the box of a label that
// cannot be measured.
int LabelBox()
{
    for (int k = 0; k < 4; ++k)
        Rect()[k] = LABEL_BOX[k];
    return INPUT_CONTINUE;
}

// The work of the accepted step, by index and command; INPUT_CONTINUE when none.
int Work(int index, int32_t command, double x, double y)
{
    if (command == COMMAND_POINTER && index > 0)
        return InputPointerAccept(index, x, y);
    switch (index) {
    case 0:
        switch (command) {
        case 443:
            if (!ObjectSelectPointsNear(g_ActiveWindow, x, y))
                return INPUT_REFUSED;
            SetCp(0, g_CalcPoints[0].x, g_CalcPoints[0].y);
            P(0).x = g_CalcPoints[0].x, P(0).y = g_CalcPoints[0].y;
            return INPUT_CONTINUE;
        case 701:
        case 702: return CheckCut(Cut::ALL_BUT_SPLINE);
        case 704:
        case 705: return CheckCut(Cut::NO_PATHS_NO_ELLIPSE);
        case 706:
        case 707: return CheckCut(Cut::ARCS_AND_LINES);
        case 822: return LabelBox();
        case 842: return ElementEnds();
        case COMMAND_POINTER:
            // The frame around the selection (the pointer's handles come with its drag).
            if (!ObjectExtentsVisible(LIST_DRAWING, SELECTED))
                return INPUT_CANCEL;
            for (int k = 0; k < 4; ++k)
                Rect()[k] = g_ExtentsRect[k];
            return INPUT_CONTINUE;
        default: return INPUT_CONTINUE;
        }
    case 1:
        switch (command) {
        case 405:
        case 416:
        case 423:
        case 424:
            if (!ObjectExtentsVisible(LIST_DRAWING, SELECTED))
                return INPUT_CANCEL;
            BoxFromExtents(true);
            return INPUT_CONTINUE;
        case 439:
            if (!ObjectExtentsSelectedPoints(POINT_SELECTED_MASK)) {
                AlertSM13(g_MainWnd);
                return INPUT_CANCEL;
            }
            BoxFromExtents(false);
            return INPUT_CONTINUE;
        case 812:
        case 841: return DistancePoints();
        default: return INPUT_CONTINUE;
        }
    case 3: return command >= 813 && command <= 816 ? LabelBox() : INPUT_CONTINUE;
    case 4: return command >= 809 && command <= 821 ? LabelBox() : INPUT_CONTINUE;
    default: return INPUT_CONTINUE;
    }
}

bool CtrlCopyCommand(int32_t command) { return command == 405 || command == 416 || command == 423 || command == 424; }

} // namespace

int InputAccept(int index, double x, double y)
{
    CommandState &cs = *g_CommandState;
    const int32_t command = cs.commandId;
    const int code = Work(index, command, x, y);
    if (code != INPUT_CONTINUE)
        return code;
    // The path commands hand on their end direction and ask how the path
    // goes on when the steps of their last choice are used up.
    if (InputPathIsPathCommand(command))
        return InputPathAccept(index, code);
    // The common tail: the step value goes on to the next point.
    if (index + 1 < g_InputPointLimit)
        P(index + 1).value = cs.stepValue;
    if (index + 1 < cs.stepCount)
        return code;
    if (CtrlCopyCommand(command) && cs.ctrlToggled && g_DrawingSettings.displayDuplicate) {
        // Ctrl held at the last step: one copy now, and the step stays for more.
        CommandRun(command);
        cs.additive = 1;
        return INPUT_REFUSED;
    }
    return code;
}
