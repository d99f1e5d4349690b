// Open-ended input: the polylines take every entered point as it is; the
// two path commands rebuild their construction points (lines, Bezier pieces,
// arcs) from the kinds of their steps at every move. Nothing is written at or
// beyond the point limit of the running state.
#include "commands/input_path.h"

#include <cmath>

#include "app/system.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "app/darad4.h"
#include "commands/input_prepare_dialogs.h"
#include "dialogs/box02.h"
#include "geometry/calc.h"
#include "language/language.h"

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

int InputPathIsPathCommand(int commandId) { return IsPathCommand(commandId) ? 1 : 0; }

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
    e.prompt = InputPointName(kind);
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

// ---------------------------------------------------------------------------
// The segment dialog, the numeric steps and the direction handed on.

namespace {

constexpr uint32_t OFFER_OPEN_PATH = 0xFF;    // no second contour in an open path
constexpr uint32_t OFFER_CLOSED_PATH = 0x1FF;
constexpr double START_LENGTH = 1.0;
// eBoxText prompts.
constexpr int PROMPT_ANGLE = 9;
constexpr int PROMPT_LENGTH = 11;
constexpr int PROMPT_SWEEP = 16;
constexpr size_t CAPTION_SIZE = 256;

void Caption(char *out, size_t size) { InputCommandCaption(g_CommandState->commandId, out, size); }

// The value handed on to step i, when that step exists.
void HandOn(int i, double value)
{
    if (Fits(i))
        g_InputPoints[i].value = value;
}

double Turn(double v)
{
    while (v < 0.0)
        v += CALC_TWO_PI;
    while (v >= CALC_TWO_PI)
        v -= CALC_TWO_PI;
    return v;
}

// The direction at the end of the segment that ends at n.
double EndDirection(int n, double value)
{
    const ConstructionPoint &c = Cp(n);
    if (c.type == CPOINT_LINE && n >= 1) {
        const int q = n >= 2 && Cp(n - 1).type == CPOINT_ARC_PARAMETER ? n - 2 : n - 1;
        return CalcAngleOfVector(c.x - Cp(q).x, c.y - Cp(q).y);
    }
    if (c.type == CPOINT_ARC_PARAMETER && n >= 1) {
        const ConstructionPoint s = Cp(InputPolylinePreviousVertex(n - 1)), e = Cp(n - 1);
        const double f = c.y;
        const double cx = (e.x + s.x) / 2 - (e.y - s.y) * f, cy = (e.x - s.x) * f + (e.y + s.y) / 2;
        const double v = CalcAngleOfVector(e.x - cx, e.y - cy) + (c.x < 0.0 ? -CALC_HALF_PI : CALC_HALF_PI);
        return Turn(v);
    }
    return value;
}

int NumericPoint(int n)
{
    char caption[CAPTION_SIZE];
    Caption(caption, sizeof caption);
    double angle = 0.0, length = START_LENGTH;
    if (!Box02EditAngleLength(g_MainWnd, caption, InputBoxPrompt(PROMPT_ANGLE), &angle, InputBoxPrompt(PROMPT_LENGTH),
                              &length))
        return INPUT_ASK_NEXT;
    const double a = g_CommandState->stepValue + angle;
    const ConstructionPoint p = Cp(InputPolylinePreviousVertex(n));
    Cp(n).x = p.x + length * std::cos(a);
    Cp(n).y = p.y + length * std::sin(a);
    g_InputPoints[n].x = Cp(n).x;
    g_InputPoints[n].y = Cp(n).y;
    HandOn(n + 1, a);
    return INPUT_ACCEPT_NOW;
}

int NumericArc(int n)
{
    // The arc's parameter sits behind its end point: without room for it
    // the step cannot be taken.
    if (!Fits(n + 1))
        return INPUT_LIMIT;
    char caption[CAPTION_SIZE];
    Caption(caption, sizeof caption);
    double angle = 0.0, length = START_LENGTH, sweep = 0.0;
    if (!Box02EditAngleLengthAngle(g_MainWnd, caption, InputBoxPrompt(PROMPT_ANGLE), &angle,
                                   InputBoxPrompt(PROMPT_LENGTH), &length, InputBoxPrompt(PROMPT_SWEEP), &sweep))
        return INPUT_ASK_NEXT;
    const ConstructionPoint p = Cp(InputPolylinePreviousVertex(n));
    const double a = g_CommandState->stepValue + angle;
    const double cx = p.x + length * std::cos(a), cy = p.y + length * std::sin(a);
    const double b = a - CALC_PI + sweep;
    Cp(n).x = cx + length * std::cos(b);
    Cp(n).y = cy + length * std::sin(b);
    g_InputPoints[n].x = Cp(n).x;
    g_InputPoints[n].y = Cp(n).y;
    Cp(n + 1).x = sweep >= 0.0 ? 1.0 : -1.0;
    Cp(n + 1).y = CalcCurvature(cx, cy, p.x, p.y, Cp(n).x, Cp(n).y);
    return INPUT_ACCEPT_NOW;
}

} // namespace

int InputPolylineSegmentDialog(int k)
{
    if (!Fits(k))
        return INPUT_LIMIT;
    const int command = g_CommandState->commandId;
    OutlineRecord record{};
    record.offered = command == PATH_OPEN ? OFFER_OPEN_PATH : OFFER_CLOSED_PATH;
    // Only the choices whose steps fit below the point limit are offered.
    if (!Fits(k + 1))
        record.offered &= ~(PATH_SEGMENT_NUMERIC_ARC | PATH_SEGMENT_THREE_POINT_ARC | PATH_SEGMENT_TANGENT_ARC |
                            PATH_SEGMENT_CENTRE_ARC);
    if (!Fits(k + 2))
        record.offered &= ~(PATH_SEGMENT_BEZIER | PATH_SEGMENT_TANGENT_BEZIER);
    record.angle = g_InputPoints[k].value;
    char caption[CAPTION_SIZE];
    Caption(caption, sizeof caption);
    if (!Box02Outline(g_MainWnd, caption, &record))
        return INPUT_ASK_NEXT;
    return InputPolylineApplySegment(k, static_cast<int32_t>(record.choice), record.angle);
}

int InputPathNext(int n)
{
    if (!IsPathCommand(g_CommandState->commandId))
        return INPUT_COMPLETE;
    const int k = InputPolylineSegmentStart(n);
    const int r = InputPolylineSegmentDialog(k);
    if (r == INPUT_CONTINUE)
        InputSetIndex(k);
    return r;
}

int InputPathValidateStep(int n)
{
    if (!IsPathCommand(g_CommandState->commandId) || !Fits(n))
        return INPUT_CONTINUE;
    switch (g_InputPoints[n].kind) {
    case PATH_KIND_ANGLE_LENGTH: return NumericPoint(n);
    case PATH_KIND_NUMERIC_ARC: return NumericArc(n);
    default: return INPUT_CONTINUE;
    }
}

int InputPathAccept(int n, int code)
{
    const CommandState &cs = *g_CommandState;
    if (!Fits(n))
        return code;
    double v = cs.stepValue;
    const bool path = IsPathCommand(cs.commandId);
    if (path)
        v = EndDirection(n, v);
    HandOn(n + 1, v);
    if (n + 1 < cs.stepCount || !path)
        return code;
    // The steps of the last choice are used up: how does the path go on?
    return InputPolylineSegmentDialog(n + 1);
}
