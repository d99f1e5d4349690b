// Open-ended input: the polylines take every entered point as it is; the
// two path commands rebuild their construction points (lines, Bezier pieces,
// arcs) from the kinds of their steps at every move. Nothing is written at or
// beyond the point limit of the running state.
#include "commands/input_path.h"

#include <cmath>

#include "app/system.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "geometry/calc.h"

namespace {

constexpr int PATH_OPEN = 574;
constexpr int PATH_CLOSED = 575;

ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }
bool Fits(int i) { return i >= 0 && i < g_InputPointLimit; }

void SetType(int i, int32_t type)
{
    if (Fits(i))
        Cp(i).type = type;
}

void SetPoint(int i, const InputPointEntry &p, int32_t type)
{
    if (!Fits(i))
        return;
    Cp(i).x = p.x;
    Cp(i).y = p.y;
    Cp(i).type = type;
}

// The construction points of entered point i, by its kind.
void WriteStep(int i)
{
    const InputPointEntry &p = g_InputPoints[i];
    switch (p.kind) {
    case PATH_KIND_START: SetPoint(i, p, CPOINT_START); break;
    case PATH_KIND_LINE_END:
    case PATH_KIND_CENTRE:
    case PATH_KIND_THREE_POINT_END: SetPoint(i, p, CPOINT_LINE); break;
    case PATH_KIND_CENTRE_ARC_END:
        SetPoint(i - 1, p, CPOINT_ARC_END);
        SetType(i, CPOINT_ARC_PARAMETER);
        break;
    case PATH_KIND_ANGLE_LENGTH: SetType(i, CPOINT_LINE); break;
    case PATH_KIND_BEZIER_CONTROL1:
        SetPoint(i, p, CPOINT_CONTROL1);
        SetPoint(i + 1, p, CPOINT_CONTROL2);
        SetPoint(i + 2, p, CPOINT_LINE);
        break;
    case PATH_KIND_BEZIER_END:
        SetPoint(i, p, CPOINT_CONTROL2);
        SetPoint(i + 1, p, CPOINT_LINE);
        break;
    case PATH_KIND_BEZIER_CONTROL2: SetPoint(i - 1, p, CPOINT_CONTROL2); break;
    case PATH_KIND_THREE_POINT_ARC:
        SetType(i - 1, CPOINT_ARC_END);
        SetType(i, CPOINT_ARC_PARAMETER);
        break;
    case PATH_KIND_TANGENT_ARC_END:
        SetPoint(i, p, CPOINT_ARC_END);
        SetType(i + 1, CPOINT_ARC_PARAMETER);
        break;
    case PATH_KIND_NUMERIC_ARC:
        SetType(i, CPOINT_ARC_END);
        SetType(i + 1, CPOINT_ARC_PARAMETER);
        break;
    default: break;
    }
}

bool IsPlainCopyKind(int32_t kind)
{
    return kind == PATH_KIND_START || kind == PATH_KIND_LINE_END || kind == PATH_KIND_BEZIER_END;
}

bool IsPathCommand(int command) { return command == PATH_OPEN || command == PATH_CLOSED; }

void SetArcParameter(int i, double orientation, double factor)
{
    if (!Fits(i))
        return;
    Cp(i).x = orientation;
    Cp(i).y = factor;
}

// Arc through the last vertex, the end entered before and this point.
int ThreePointArc(int n)
{
    const int k = InputPolylineVertices(n);
    if (g_InputPoints[n].kind != PATH_KIND_THREE_POINT_ARC || n < 1)
        return 1;
    const ConstructionPoint s = Cp(k), e = Cp(n - 1);
    const InputPointEntry &p = g_InputPoints[n];
    const int found = CalcGeoCircumcircle(s.x, s.y, e.x, e.y, p.x, p.y);
    const CalcPoint c = g_CalcPoints[0];
    const double f = CalcCurvature(c.x, c.y, s.x, s.y, e.x, e.y);
    const int ccw = CalcAngleInArc(c.x, c.y, s.x, s.y, e.x, e.y, p.x, p.y, 1);
    SetArcParameter(n, ccw ? 1.0 : -1.0, f);
    return found > 0 ? 1 : 0;
}

// Arc that leaves the last vertex along the direction handed on.
int TangentArc(int n)
{
    const int k = InputPolylineVertices(n);
    if (g_InputPoints[n].kind != PATH_KIND_TANGENT_ARC_END)
        return 1;
    const ConstructionPoint s = Cp(k);
    const InputPointEntry &e = g_InputPoints[n];
    const double a = g_CommandState->stepValue;
    const double mx = (s.x + e.x) / 2, my = (s.y + e.y) / 2;
    const int found =
        CalcIntersectLineLine(s.x, s.y, s.x - CALC_AUX_LENGTH * std::sin(a), s.y + CALC_AUX_LENGTH * std::cos(a), mx,
                              my, mx - (s.y - e.y), my + (s.x - e.x));
    const CalcPoint c = g_CalcPoints[0];
    const double orientation = g_CalcPoints[1].x > 0.0 ? 1.0 : -1.0;
    SetArcParameter(n + 1, orientation, CalcCurvature(c.x, c.y, s.x, s.y, e.x, e.y));
    return found > 0 ? 1 : 0;
}

// Bezier piece whose first control point lies on the direction handed on.
int TangentBezier(int n)
{
    const int k = InputPolylineVertices(n);
    InputPointEntry &p = g_InputPoints[n];
    if (p.kind != PATH_KIND_BEZIER_CONTROL1)
        return 1;
    const double a = g_CommandState->stepValue;
    const ConstructionPoint s = Cp(k);
    const int found = CalcPerpendicularFootLine(s.x, s.y, s.x + CALC_AUX_LENGTH * std::cos(a),
                                                s.y + CALC_AUX_LENGTH * std::sin(a), p.x, p.y);
    p.x = g_CalcPoints[0].x;
    p.y = g_CalcPoints[0].y;
    Cp(n).x = p.x;
    Cp(n).y = p.y;
    return found > 0 ? 1 : 0;
}

// Arc by centre (the point entered before) and end point: the end moves
// onto the circle through the last vertex.
int CentreArc(int n)
{
    const int k = InputPolylineVertices(n);
    InputPointEntry &p = g_InputPoints[n];
    if (p.kind != PATH_KIND_CENTRE_ARC_END || n < 1)
        return 1;
    const InputPointEntry &centre = g_InputPoints[n - 1];
    const ConstructionPoint s = Cp(k);
    CalcCirclePointTowards(centre.x, centre.y, s.x, s.y, p.x, p.y);
    p.x = g_CalcPoints[0].x;
    p.y = g_CalcPoints[0].y;
    Cp(n - 1).x = p.x;
    Cp(n - 1).y = p.y;
    const double f = CalcCurvature(centre.x, centre.y, s.x, s.y, p.x, p.y);
    SetArcParameter(n, g_DrawingSettings.displayArcs ? 1.0 : -1.0, f);
    return 1;
}

} // namespace

int InputPolylineVertices(int n)
{
    if (!Fits(n))
        return 0;
    int j = n - 1;
    while (j > 0 && !IsPlainCopyKind(g_InputPoints[j].kind))
        --j;
    if (j < 0)
        j = 0;
    for (int i = j; i <= n; ++i)
        WriteStep(i);
    int r = 0;
    for (int i = 0; i < n; ++i) {
        switch (g_InputPoints[i].kind) {
        case PATH_KIND_START: case PATH_KIND_LINE_END: case PATH_KIND_ANGLE_LENGTH: case PATH_KIND_BEZIER_CONTROL2:
        case PATH_KIND_TANGENT_ARC_END: case PATH_KIND_NUMERIC_ARC: r = i; break;
        case PATH_KIND_CENTRE_ARC_END: case PATH_KIND_THREE_POINT_ARC: r = i - 1; break;
        default: break;
        }
    }
    return r;
}

int InputPolylineSegmentStart(int n)
{
    int start = 0;
    for (int i = 0; i <= n && Fits(i);) {
        const int32_t t = Cp(i).type;
        if (t == CPOINT_START || t == CPOINT_LINE) {
            start = i;
            ++i;
        } else if (t == CPOINT_CONTROL1 && Fits(i + 2) && Cp(i + 1).type == CPOINT_CONTROL2 &&
                   Cp(i + 2).type == CPOINT_LINE) {
            start = i;
            i += 3;
        } else if (t == CPOINT_ARC_END && Fits(i + 1) && Cp(i + 1).type == CPOINT_ARC_PARAMETER) {
            start = i;
            i += 2;
        } else {
            ++i;
        }
    }
    return start;
}

int InputPolylinePreviousVertex(int n)
{
    for (int i = n - 1; i >= 1; --i) {
        if (!Fits(i))
            continue;
        const int32_t t = Cp(i).type;
        if (t == CPOINT_START || t == CPOINT_LINE)
            return i;
        if (t == CPOINT_ARC_END && i < n - 1)
            return i;
    }
    return 0;
}

int InputConstructPath(int n, double, double)
{
    if (!Fits(n))
        return 0;
    const int command = g_CommandState->commandId;
    if (!IsPathCommand(command)) {
        Cp(n).x = g_InputPoints[n].x;
        Cp(n).y = g_InputPoints[n].y;
        return 1;
    }
    if (n < 1) {
        InputPolylineVertices(0);
        return 1;
    }
    switch (g_CommandState->variant) {
    case PATH_SEGMENT_TANGENT_BEZIER: return TangentBezier(n);
    case PATH_SEGMENT_THREE_POINT_ARC: return ThreePointArc(n);
    case PATH_SEGMENT_TANGENT_ARC: return TangentArc(n);
    case PATH_SEGMENT_CENTRE_ARC: return CentreArc(n);
    default: InputPolylineVertices(n); return 1;
    }
}

namespace {

void SetStep(int i, int32_t kind, int32_t reference, double value)
{
    InputPointEntry &e = g_InputPoints[i];
    e.kind = kind;
    e.reference = reference;
    e.value = value;
    e.prompt = nullptr; // the point name of the kind
}

// Repeating segments of `width` steps from k on, as many as fit below the
// point limit; the step count ends behind the last one written.
template <typename Write>
void RepeatSteps(int k, int width, Write write)
{
    int i = k;
    for (; i + width - 1 < g_InputPointLimit; i += width)
        write(i);
    g_CommandState->stepCount = i;
}

} // namespace

int InputPolylineApplySegment(int k, int32_t code, double angle)
{
    CommandState &cs = *g_CommandState;
    if (code == PATH_SEGMENT_FINISH)
        return INPUT_COMPLETE;
    if (code == PATH_SEGMENT_UNCHANGED)
        return INPUT_REFUSED;
    if (!Fits(k))
        return INPUT_LIMIT;
    switch (code) {
    case PATH_SEGMENT_LINES:
        RepeatSteps(k, 1, [angle](int i) { SetStep(i, PATH_KIND_LINE_END, i - 1, angle); });
        break;
    case PATH_SEGMENT_ANGLE_LENGTH:
        SetStep(k, PATH_KIND_ANGLE_LENGTH, k - 1, angle);
        cs.stepCount = k + 1;
        break;
    case PATH_SEGMENT_BEZIER:
    case PATH_SEGMENT_TANGENT_BEZIER:
        RepeatSteps(k, 3, [angle](int i) {
            SetStep(i, PATH_KIND_BEZIER_CONTROL1, i - 1, angle);
            SetStep(i + 1, PATH_KIND_BEZIER_END, i - 1, 0.0);
            SetStep(i + 2, PATH_KIND_BEZIER_CONTROL2, i + 2, 0.0);
        });
        break;
    case PATH_SEGMENT_THREE_POINT_ARC:
        RepeatSteps(k, 2, [angle](int i) {
            SetStep(i, PATH_KIND_THREE_POINT_END, i - 1, angle);
            SetStep(i + 1, PATH_KIND_THREE_POINT_ARC, i, 0.0);
        });
        break;
    case PATH_SEGMENT_TANGENT_ARC:
        RepeatSteps(k, 2, [angle](int i) {
            SetStep(i, PATH_KIND_TANGENT_ARC_END, i - 1, angle);
            SetStep(i + 1, PATH_KIND_PLACEHOLDER, REFERENCE_NONE, 0.0);
        });
        break;
    case PATH_SEGMENT_CENTRE_ARC:
        RepeatSteps(k, 2, [angle](int i) {
            SetStep(i, PATH_KIND_CENTRE, i - 1, angle);
            SetStep(i + 1, PATH_KIND_CENTRE_ARC_END, i + 2, 0.0);
        });
        break;
    case PATH_SEGMENT_NUMERIC_ARC:
        // Its parameter needs the next point: offered only when that fits.
        if (!Fits(k + 1))
            return INPUT_LIMIT;
        SetStep(k, PATH_KIND_NUMERIC_ARC, k - 1, angle);
        SetStep(k + 1, PATH_KIND_PLACEHOLDER, REFERENCE_NONE, 0.0);
        cs.stepCount = k + 2;
        break;
    case PATH_SEGMENT_CONTOUR:
        SetStep(k, PATH_KIND_START, REFERENCE_NONE, angle);
        cs.stepCount = k + 1;
        break;
    default: return INPUT_ASK_NEXT;
    }
    cs.variant = code;
    return INPUT_CONTINUE;
}
