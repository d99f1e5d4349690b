// Line constructions: a first step usually lays an endless guide line (the
// reference geometry the rubber band shows), and the start and end points
// are then the perpendicular projections of the later positions onto it.
#include "commands/input_construct_shapes.h"

#include <cmath>

#include "app/system.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "geometry/calc.h"

namespace {

constexpr double ON_CURVE_SQUARED = 1e-5; // the cursor counts as lying on the curve

ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }
const GeoObject &G1() { return g_CommandState->elementGeo[0]; }

void SetCp(int i, double x, double y)
{
    g_ConstructionPoints[i].x = x;
    g_ConstructionPoints[i].y = y;
}

void CopyEntered(int target, int i) { SetCp(target, g_InputPoints[i].x, g_InputPoints[i].y); }

void ToSystem(double x, double y, double out[2])
{
    const double p[2] = {x, y};
    InputPointToSystem(p, out);
}

void SetCpFromSystem(int i, double x, double y)
{
    const double s[2] = {x, y};
    double d[2];
    InputPointFromSystem(s, d);
    SetCp(i, d[0], d[1]);
}

// The endless guide through cp a and cp b, shown from step first on, with
// its mark point at cp mark.
void SetGuide(int a, int b, int first, int mark)
{
    GeoObject &g = g_CommandState->referenceGeo;
    g.type = GEO_GEOLINE;
    g.reserved1 = first;
    g.d[0] = Cp(a).x;
    g.d[1] = Cp(a).y;
    g.d[2] = Cp(b).x;
    g.d[3] = Cp(b).y;
    g.d[6] = Cp(mark).x;
    g.d[7] = Cp(mark).y;
}

void SetGuideMark(int mark)
{
    g_CommandState->referenceGeo.d[6] = Cp(mark).x;
    g_CommandState->referenceGeo.d[7] = Cp(mark).y;
}

// Entered point i projected onto the line cp a to cp b into cp target.
int Project(int i, int a, int b, int target)
{
    const double pa[2] = {Cp(a).x, Cp(a).y}, pb[2] = {Cp(b).x, Cp(b).y};
    const double p[2] = {g_InputPoints[i].x, g_InputPoints[i].y};
    double foot[2];
    if (!InputPerpendicularFootInSystem(pa, pb, p, foot))
        return 0;
    SetCp(target, foot[0], foot[1]);
    return 1;
}

bool IsCircle(int32_t t) { return t == GEO_CIRCLE || t == GEO_GEOCIRCLE; }
bool IsEllipse(int32_t t) { return t == GEO_ELLIPSE || t == GEO_GEOELLI; }

// Steps 2 and 3 of the guide commands 507 to 509: the start and the end on
// the guide cp 4 to cp 5.
int GuideEnds(int index)
{
    if (index == 2) {
        CopyEntered(2, 2);
        return Project(2, 4, 5, 0);
    }
    CopyEntered(3, 3);
    const int r = Project(3, 4, 5, 1);
    SetGuideMark(0);
    return r;
}

// The touching points of the tangents from entered point i to G1, in
// drawing coordinates; their count.
int TangentPoints(int i)
{
    const GeoObject &g = G1();
    const double px = g_InputPoints[i].x, py = g_InputPoints[i].y;
    if (IsCircle(g.type))
        return CalcTangentPointsCircle(g.d[0], g.d[1], g.d[2], g.d[3], px, py);
    if (IsEllipse(g.type))
        return CalcTangentPointsEllipse(g.d[0], g.d[1], g.d[2], g.d[3], g.d[4], g.d[5], px, py);
    return 0;
}

int Parallel(int index)
{
    const GeoObject &g = G1();
    if (index >= 2)
        return GuideEnds(index);
    const int command = g_CommandState->commandId;
    double c[2], a[2], b[2];
    ToSystem(g_InputPoints[1].x, g_InputPoints[1].y, c);
    ToSystem(g.d[0], g.d[1], a);
    ToSystem(g.d[2], g.d[3], b);
    int result = 1;
    if (command == 507) {
        CopyEntered(4, 1);
        SetCp(5, g_InputPoints[1].x + g.d[2] - g.d[0], g_InputPoints[1].y + g.d[3] - g.d[1]);
    } else if (command == 508) {
        result = CalcPerpendicularFootLine(a[0], a[1], b[0], b[1], c[0], c[1]) > 0 ? 1 : 0;
        const double fx = g_CalcPoints[0].x, fy = g_CalcPoints[0].y;
        const double vx = c[0] - fx, vy = c[1] - fy, length = std::hypot(vx, vy);
        const double d = g_CommandDefaults.distances[COMMAND_DISTANCE_LENGTH];
        double t[2] = {c[0], c[1]};
        if (length != 0.0) {
            t[0] = fx + d / length * vx;
            t[1] = fy + d / length * vy;
        }
        SetCpFromSystem(4, t[0], t[1]);
        SetCpFromSystem(5, t[0] + b[0] - a[0], t[1] + b[1] - a[1]);
    } else { // 509: turned counter-clockwise by the command angle
        const double angle = g_CommandDefaults.commandAngle;
        const double vx = b[0] - a[0], vy = b[1] - a[1];
        SetCpFromSystem(4, c[0], c[1]);
        SetCpFromSystem(5, c[0] + vx * std::cos(angle) - vy * std::sin(angle),
                        c[1] + vx * std::sin(angle) + vy * std::cos(angle));
    }
    SetGuide(4, 5, 2, 4);
    return result;
}

int Bisector(int index)
{
    if (index == 3) {
        CopyEntered(4, 3);
        const int r = Project(3, 2, 3, 1);
        SetGuideMark(0);
        return r;
    }
    CopyEntered(1, 2);
    const GeoObject &g1 = G1(), &g2 = g_CommandState->elementGeo[1];
    CalcPoint p[6];
    ToSystem(g1.d[0], g1.d[1], &p[0].x);
    ToSystem(g1.d[2], g1.d[3], &p[1].x);
    ToSystem(g_InputPoints[0].x, g_InputPoints[0].y, &p[2].x);
    ToSystem(g2.d[0], g2.d[1], &p[3].x);
    ToSystem(g2.d[2], g2.d[3], &p[4].x);
    ToSystem(g_InputPoints[1].x, g_InputPoints[1].y, &p[5].x);
    const int found = CalcBisectorOfLines(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
    const CalcPoint s0 = g_CalcPoints[0], s1 = g_CalcPoints[1];
    SetCpFromSystem(2, s0.x, s0.y);
    SetCpFromSystem(3, s1.x, s1.y);
    int result = 0;
    double foot[2] = {s0.x, s0.y};
    if (found > 0) {
        double q[2];
        ToSystem(g_InputPoints[2].x, g_InputPoints[2].y, q);
        if (CalcPerpendicularFootLine(s0.x, s0.y, s1.x, s1.y, q[0], q[1]) > 0) {
            foot[0] = g_CalcPoints[0].x;
            foot[1] = g_CalcPoints[0].y;
            result = 1;
        }
    }
    SetCpFromSystem(0, foot[0], foot[1]);
    SetGuide(2, 3, 2, 0);
    return result;
}

int TangentFromPoint()
{
    CopyEntered(1, 1);
    const int count = TangentPoints(1);
    const double pick[2] = {g_InputPoints[0].x, g_InputPoints[0].y};
    double touch[2];
    const int r = InputNearestPoint(touch, pick, count);
    SetCp(0, touch[0], touch[1]);
    return r;
}

int TangentFreeEnds(int index)
{
    const GeoObject &g = G1();
    if (index == 2) {
        CopyEntered(4, 2);
        const int r = Project(2, 2, 3, 0);
        SetGuideMark(0);
        return r;
    }
    if (index == 3) {
        CopyEntered(4, 3);
        const int r = Project(3, 2, 3, 1);
        SetGuideMark(0);
        return r;
    }
    CopyEntered(3, 1);
    const double pick[2] = {g_InputPoints[0].x, g_InputPoints[0].y};
    double touch[2];
    int result = InputNearestPoint(touch, pick, TangentPoints(1));
    SetCp(2, touch[0], touch[1]);
    const double px = g_InputPoints[1].x, py = g_InputPoints[1].y;
    const double dx = touch[0] - px, dy = touch[1] - py;
    if (dx * dx + dy * dy < ON_CURVE_SQUARED) {
        int got = 0;
        if (IsCircle(g.type))
            got = CalcNormalVector(g.d[0], g.d[1], px, py);
        else if (IsEllipse(g.type))
            got = CalcEllipseConjugateVector(g.d[0], g.d[1], g.d[2], g.d[3], g.d[4], g.d[5], px, py);
        SetCp(3, Cp(2).x + g_CalcPoints[0].x, Cp(2).y + g_CalcPoints[0].y);
        result = got > 0 ? 1 : 0;
    }
    SetGuide(2, 3, 2, 2);
    return result;
}

int TangentAtAngle(int index)
{
    const GeoObject &g = G1();
    const double angle = g_CommandDefaults.commandAngle;
    if (index == 2) {
        CopyEntered(4, 2);
        return Project(2, 2, 3, 1);
    }
    CopyEntered(4, 1);
    double c[2], k[2], e[2], pick[2];
    ToSystem(g.d[0], g.d[1], c);
    ToSystem(g.d[2], g.d[3], k);
    int count = 0;
    if (IsCircle(g.type)) {
        count = CalcCircleExtremesAtAngle(c[0], c[1], k[0], k[1], angle);
    } else if (IsEllipse(g.type)) {
        ToSystem(g.d[4], g.d[5], e);
        count = CalcEllipseExtremesAtAngle(c[0], c[1], k[0], k[1], e[0], e[1], angle);
    }
    ToSystem(g_InputPoints[0].x, g_InputPoints[0].y, pick);
    double touch[2];
    InputNearestPoint(touch, pick, count);
    SetCpFromSystem(2, touch[0], touch[1]);
    SetCpFromSystem(3, touch[0] + CALC_AUX_LENGTH * std::cos(angle), touch[1] + CALC_AUX_LENGTH * std::sin(angle));
    double q[2];
    ToSystem(g_InputPoints[1].x, g_InputPoints[1].y, q);
    const int found = CalcPerpendicularFootLine(touch[0], touch[1], touch[0] + CALC_AUX_LENGTH * std::cos(angle),
                                                touch[1] + CALC_AUX_LENGTH * std::sin(angle), q[0], q[1]);
    SetCpFromSystem(0, g_CalcPoints[0].x, g_CalcPoints[0].y);
    SetGuide(2, 3, 1, 0);
    return found > 0 && count > 0 ? 1 : 0;
}

int Perpendicular(int index)
{
    if (index == 2) {
        CopyEntered(3, 2);
        return Project(2, 4, 5, 0);
    }
    if (index == 3) {
        CopyEntered(4, 3);
        const int r = Project(3, 4, 5, 1);
        SetGuideMark(0);
        return r;
    }
    return InputConstructPerpendicularFoot();
}

} // namespace

int InputConstructPerpendicularFoot()
{
    const GeoObject &g = G1();
    CopyEntered(2, 1);
    double c[2];
    ToSystem(g_InputPoints[1].x, g_InputPoints[1].y, c);
    double m[2], k[2], e[2] = {0.0, 0.0};
    ToSystem(g.d[0], g.d[1], m);
    ToSystem(g.d[2], g.d[3], k);
    int count = 0;
    const int32_t t = g.type;
    const bool round = t == GEO_CIRCLE || t == GEO_CIRC_ARC || t == GEO_GEOCIRCLE;
    const bool oval = t == GEO_ELLIPSE || t == GEO_ELLI_ARC || t == GEO_GEOELLI;
    if (t == GEO_LINE || t == GEO_GEOLINE) {
        count = CalcPerpendicularFootLine(m[0], m[1], k[0], k[1], c[0], c[1]);
        const CalcPoint foot = g_CalcPoints[0];
        SetCpFromSystem(4, c[0], c[1]);
        SetCpFromSystem(5, c[0] + k[1] - m[1], c[1] + m[0] - k[0]);
        g_CalcPoints[0] = foot;
    } else if (round) {
        // The circle as an ellipse with equal axes.
        const double ex = g.d[0] + g.d[3] - g.d[1], ey = g.d[1] + g.d[0] - g.d[2];
        ToSystem(ex, ey, e);
        count = CalcEllipsePerpendicularFeet(m[0], m[1], k[0], k[1], e[0], e[1], c[0], c[1]);
    } else if (oval) {
        ToSystem(g.d[4], g.d[5], e);
        count = CalcEllipsePerpendicularFeet(m[0], m[1], k[0], k[1], e[0], e[1], c[0], c[1]);
    } else if (t == GEO_CURVE) {
        double p1[2], p2[2];
        ToSystem(g.d[6], g.d[7], p1);
        ToSystem(g.d[8], g.d[9], p2);
        count = CalcPerpendicularFootBezier(m[0], m[1], p1[0], p1[1], p2[0], p2[1], k[0], k[1], c[0], c[1]);
    }
    double foot[2];
    const int result = InputNearestPoint(foot, c, count);
    SetCpFromSystem(1, foot[0], foot[1]);
    const double dx = Cp(1).x - g_InputPoints[1].x, dy = Cp(1).y - g_InputPoints[1].y;
    if (dx * dx + dy * dy < ON_CURVE_SQUARED && (round || oval) &&
        CalcEllipseConjugateVector(m[0], m[1], k[0], k[1], e[0], e[1], c[0], c[1]) > 0) {
        const CalcPoint tangent = g_CalcPoints[0];
        SetCpFromSystem(1, c[0], c[1]);
        SetCpFromSystem(2, c[0] - tangent.y, c[1] + tangent.x);
    }
    if (t != GEO_LINE && t != GEO_GEOLINE) {
        Cp(4) = Cp(1);
        Cp(5) = Cp(2);
    }
    SetGuide(4, 5, 2, 1);
    return result;
}

int InputConstructLine(int index, double, double)
{
    switch (g_CommandState->commandId) {
    case 506: return Perpendicular(index);
    case 507:
    case 508:
    case 509: return Parallel(index);
    case 510: return Bisector(index);
    case 514:
        CopyEntered(1, 1);
        Cp(2).x = g_DrawingSettings.zigZagIndent;
        return 1;
    case 516: return TangentFromPoint();
    case 519: return TangentFreeEnds(index);
    case 520: return TangentAtAngle(index);
    default:
        CopyEntered(index, index);
        return 1;
    }
}
