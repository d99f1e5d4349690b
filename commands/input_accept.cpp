// The command's own work after a click was accepted: type checks of picked
// objects, the contour of a pick on a path, the construction points derived
// from picked geometry, the boxes the rubber band of the next steps shows,
// and the common tail every accepted point runs through.
#include <cmath>
#include <string>

#include "app/convert.h"
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
#include "display/symbol.h"
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

// The label box of a dimension step: the value of the dimension as the
// construction points give it goes into text 1 of the command's texts (text
// 3 too for the coordinate dimension), and texts 0 to 2 (0 to 4) measured at
// size 1 give R; a label that cannot be measured takes a fixed box.
int LabelBox(int32_t command)
{
    const DrawingSettings &s = g_DrawingSettings;
    const int k = g_CommandState->variant;
    const bool coordinate = command == 822;
    if (k < 0 || k >= (coordinate ? DIM_SMALL_RECORDS : DIM_VARIANTS))
        return INPUT_CONTINUE;
    char(*texts)[SETTINGS_TEXT_SIZE] = coordinate ? g_DrawingSettings.dimSmallTexts[k] : g_DrawingSettings.dimLargeTexts[k];
    const int system = s.dimInts[3], format = s.dimInts[1], flags = s.dimInts[2];
    if (command >= 809 && command <= 812)
        ConvertDistanceToString(texts[1], texts[5], Cp(0).x, Cp(0).y, Cp(7).x, Cp(7).y, system, format, flags);
    else if (command >= 813 && command <= 816)
        ConvertDistanceToString(texts[1], texts[5], Cp(6).x, Cp(6).y, Cp(7).x, Cp(7).y, system, format, flags);
    else if (command >= 817 && command <= 819)
        ConvertPointAngleToString(texts[1], Cp(7).x, Cp(7).y, Cp(10).x, Cp(10).y, Cp(11).x, Cp(11).y,
                                  Cp(12).x >= 0.0 ? 1 : 0, system, format, flags);
    else if (command == 820 || command == 821)
        ConvertSystemLengthToString(texts[1], std::hypot(Cp(1).x - Cp(0).x, Cp(1).y - Cp(0).y) * std::fabs(Cp(8).x),
                                    system, format, flags);
    else if (coordinate)
        ConvertPointToStrings(texts[1], texts[3], Cp(0).x, Cp(0).y, system, format, flags);
    std::string label;
    for (int i = 0; i < (coordinate ? 5 : 3); ++i)
        label += texts[i];
    double *r = Rect();
    if (SymbolMeasureText(&s.dimFont, label.c_str(), s.dimValues[2], s.dimValues[3], 1.0) &&
        g_ExtentsRect[0] <= g_ExtentsRect[2] && g_ExtentsRect[1] <= g_ExtentsRect[3]) {
        for (int k2 = 0; k2 < 4; ++k2)
            r[k2] = g_ExtentsRect[k2];
    } else {
        for (int k2 = 0; k2 < 4; ++k2)
            r[k2] = LABEL_BOX[k2];
    }
    return INPUT_CONTINUE;
}

// The picked dimension's geometry for an edit command into G1; types from
// DimDist up to last are accepted.
int CheckDimension(int (*getter)(int32_t, GeoObject *), int32_t last)
{
    const int type = getter(P(0).ident, &G(0));
    if (type < 0) {
        RefuseAlert(AlertSM5);
        return INPUT_REFUSED;
    }
    if (type < OBJTYPE_DIM_DIST || type > last) {
        RefuseAlert(AlertSM60);
        return INPUT_REFUSED;
    }
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
        case 822: return LabelBox(command);
        case 828: return CheckDimension(ObjectGetIdentDimensionBase, OBJTYPE_DIM_DIA);
        case 829: return CheckDimension(ObjectGetIdentDimensionLine, OBJTYPE_DIM_ARC);
        case 831:
        case 832: return CheckDimension(ObjectGetIdentDimensionDirection, OBJTYPE_DIM_PERI);
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
    case 3: return command >= 813 && command <= 816 ? LabelBox(command) : INPUT_CONTINUE;
    case 4: return command >= 809 && command <= 821 ? LabelBox(command) : INPUT_CONTINUE;
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
