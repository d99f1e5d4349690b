// The constructions of the dimension commands: what is measured, the
// measuring direction, the dimension line or arc, its ends, and where the
// text stands and how it reads. The settings record of the command's kind
// (the variant word) decides the modes; the handler builds the dimension from
// the construction points and the rubber band draws the same points.
#include "commands/input_construct_dim.h"

#include <cmath>

#include "app/system.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_rubber.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double FIXED_DIRECTION = 128.0; // the direction point of the fixed modes
// Of the settings record: direction modes, extension mode and distance modes.
constexpr int32_t DIRECTION_FREE = 1, DIRECTION_HORIZONTAL = 2, DIRECTION_VERTICAL = 3;
constexpr int32_t EXTENSION_TOWARDS_CURSOR = 1, EXTENSION_END_STEP = 2;
constexpr int32_t DISTANCE_FIXED = 1, DISTANCE_SNAPPED = 2;
// The text's lift off the dimension line, in text sizes.
constexpr double TEXT_LIFT = 0.4;

ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }
const GeoObject &G(int n) { return g_CommandState->elementGeo[n]; }
CalcPoint At(int i) { return {Cp(i).x, Cp(i).y}; }

void SetCp(int i, double x, double y)
{
    Cp(i).x = x;
    Cp(i).y = y;
}
void SetCp(int i, CalcPoint p) { SetCp(i, p.x, p.y); }
CalcPoint Slot(int n) { return g_CalcPoints[n]; }

bool IsLine(int32_t type) { return type == GEO_LINE || type == GEO_GEOLINE; }

// The settings record of the running command's kind.
struct Settings {
    bool centred, onLine, aligned;
    int32_t direction, extension, distance;
    double step;
};

Settings Record()
{
    Settings s{};
    const int k = g_CommandState->variant;
    if (k < 0 || k >= DIM_VARIANTS)
        return s;
    const uint32_t *n = g_DrawingSettings.dimLargeNumbers[k];
    const DimLargeLines &l = g_DrawingSettings.dimLargeLines[k];
    s.centred = n[1] != 0;
    s.onLine = n[2] != 0;
    s.aligned = l.show[2] != 0;
    s.direction = l.modes[0];
    s.extension = l.modes[1];
    s.distance = l.modes[2];
    s.step = l.distance[0];
    return s;
}

double TextSize() { return g_DrawingSettings.dimValues[0]; }

// The foot of p on the line through a and b; false when there is none.
bool Foot(CalcPoint a, CalcPoint b, CalcPoint p, CalcPoint *out)
{
    if (CalcPerpendicularFootLine(a.x, a.y, b.x, b.y, p.x, p.y) <= 0)
        return false;
    *out = Slot(0);
    return true;
}

// The position of the line or arc by the distance mode: p moved along v =
// p - base to the fixed distance or to the nearest multiple of the step.
CalcPoint ByDistanceMode(const Settings &s, CalcPoint base, CalcPoint p)
{
    const double vx = p.x - base.x, vy = p.y - base.y;
    const double length = std::hypot(vx, vy);
    if (s.distance == DISTANCE_FIXED) {
        if (length != 0.0)
            return {base.x + s.step / length * vx, base.y + s.step / length * vy};
        return p;
    }
    if (s.distance == DISTANCE_SNAPPED) {
        if (s.step != 0.0 && length != 0.0) {
            const double f = std::floor(length / s.step + 0.5) * s.step / length;
            return {base.x + f * vx, base.y + f * vy};
        }
        return base;
    }
    return p;
}

// The text frame at t, read along a: the label box R scaled by the text size
// and centred horizontally on t.
void TextFrame(CalcPoint t, double a)
{
    CommandState &cs = *g_CommandState;
    MatrixInit(&cs.matrix);
    MatrixScale(&cs.matrix, TextSize(), TextSize());
    MatrixRotate(&cs.matrix, a);
    InputFeedbackFrameCorners(t.x, t.y, (cs.rect[0] - cs.rect[2]) / 2);
}

// ---- distance, radius and diameter dimensions ----------------------------

bool IsRadial(int command) { return command >= 813 && command <= 816; }
bool IsDiameter(int command) { return command == 815 || command == 816; }

// Step 1 of 810 and 814: the ends of a picked line, the nearer first unless
// farFirst; 816 takes the midpoint and the second end.
int PickedLineOrCircle(int command)
{
    const GeoObject &g = G(0);
    const CalcPoint pick{g_InputPoints[0].x, g_InputPoints[0].y}, a{g.d[0], g.d[1]}, b{g.d[2], g.d[3]};
    if (command != 810 && !IsLine(g.type)) {
        SetCp(0, a); // centre and circle point
        SetCp(1, b);
        return 1;
    }
    if (command == 816) {
        SetCp(0, (a.x + b.x) / 2, (a.y + b.y) / 2);
        SetCp(1, b);
        return 1;
    }
    const bool firstNearer = CalcDistance(&a, &pick) < CalcDistance(&b, &pick);
    const CalcPoint nearer = firstNearer ? a : b, farther = firstNearer ? b : a;
    SetCp(0, command == 810 ? nearer : farther);
    SetCp(1, command == 810 ? farther : nearer);
    return 1;
}

// Step 1 of 811 and 840: cp 0 the foot on the picked object nearest to the pick.
int FootOnPicked(double x, double y)
{
    SetCp(1, x, y);
    const GeoObject &g = G(0);
    const double *d = g.d;
    int count = 0;
    switch (g.type) {
    case GEO_LINE: case GEO_GEOLINE: count = CalcPerpendicularFootLine(d[0], d[1], d[2], d[3], x, y); break;
    case GEO_CIRCLE: case GEO_CIRC_ARC: case GEO_CIRC_SEC: case GEO_CIRC_SEGM: case GEO_GEOCIRCLE:
        count = CalcCirclePerpendicularFeet(d[0], d[1], d[2], d[3], x, y);
        break;
    case GEO_ELLIPSE: case GEO_ELLI_ARC: case GEO_ELLI_SEC: case GEO_ELLI_SEGM: case GEO_GEOELLI:
        count = CalcEllipsePerpendicularFeet(d[0], d[1], d[2], d[3], d[4], d[5], x, y);
        break;
    case GEO_CURVE: count = CalcPerpendicularFootBezier(d[0], d[1], d[6], d[7], d[8], d[9], d[2], d[3], x, y); break;
    default: return 0;
    }
    const double pick[2] = {g_InputPoints[0].x, g_InputPoints[0].y};
    double foot[2];
    const int result = InputNearestPoint(foot, pick, count);
    if (result)
        SetCp(0, foot[0], foot[1]);
    return result;
}

int Direction(int command, const Settings &s, double x, double y)
{
    const CalcPoint c0 = At(0);
    if (s.direction == DIRECTION_HORIZONTAL)
        SetCp(2, c0.x + FIXED_DIRECTION, c0.y);
    else if (s.direction == DIRECTION_VERTICAL)
        SetCp(2, c0.x, c0.y + FIXED_DIRECTION);
    else
        SetCp(2, x, y);
    const bool measured = s.direction == DIRECTION_FREE || s.direction == DIRECTION_HORIZONTAL ||
                          s.direction == DIRECTION_VERTICAL;
    int result = 1;
    if (!IsRadial(command)) {
        if (measured) {
            result = CalcPerpendicularFootLine(c0.x, c0.y, Cp(2).x, Cp(2).y, Cp(1).x, Cp(1).y) > 0 ? 1 : 0;
            if (result)
                SetCp(7, Slot(0));
        } else {
            SetCp(7, At(1));
        }
        return result;
    }
    if (measured) {
        result = CalcCirclePerpendicularFeet(c0.x, c0.y, Cp(1).x, Cp(1).y, Cp(2).x, Cp(2).y) > 0 ? 1 : 0;
        if (result)
            SetCp(7, Slot(0));
    } else {
        SetCp(7, At(1));
    }
    if (IsDiameter(command))
        SetCp(6, 2 * c0.x - Cp(7).x, 2 * c0.y - Cp(7).y);
    else
        SetCp(6, c0);
    return result;
}

int DimensionLine(int command, const Settings &s, double x, double y)
{
    const bool radial = IsRadial(command);
    const CalcPoint a = radial ? At(7) : At(0), b = radial ? At(6) : At(7), p{x, y};
    const double ux = b.x - a.x, uy = b.y - a.y;
    SetCp(8, p);
    SetCp(3, p);
    if (radial && s.extension == EXTENSION_END_STEP) {
        SetCp(9, At(7));
        CalcPoint foot;
        if (!Foot(At(6), At(7), p, &foot))
            return 0;
        SetCp(10, foot);
        GeoObject &g = g_CommandState->referenceGeo;
        g.type = GEO_GEOLINE;
        g.reserved1 = 1;
        g.d[0] = Cp(6).x, g.d[1] = Cp(6).y, g.d[2] = Cp(7).x, g.d[3] = Cp(7).y;
        return 1;
    }
    if (s.distance == DISTANCE_FIXED || s.distance == DISTANCE_SNAPPED) {
        CalcPoint foot;
        if (Foot(a, b, p, &foot))
            SetCp(8, ByDistanceMode(s, foot, p));
    }
    const CalcPoint c8 = At(8);
    int count;
    if (s.extension == EXTENSION_TOWARDS_CURSOR)
        count = CalcIntersectLineLine(c8.x, c8.y, c8.x + ux, c8.y + uy, a.x, a.y, p.x, p.y);
    else
        count = CalcPerpendicularFootLine(c8.x, c8.y, c8.x + ux, c8.y + uy, a.x, a.y);
    if (count <= 0)
        return 0;
    SetCp(9, Slot(0));
    SetCp(10, Cp(9).x + ux, Cp(9).y + uy);
    return 1;
}

int LineEnd(const Settings &s, double x, double y)
{
    if (s.extension != EXTENSION_END_STEP)
        return 1;
    SetCp(10, x, y);
    SetCp(4, x, y);
    const CalcPoint c8 = At(8);
    CalcPoint foot;
    if (!Foot(c8, {c8.x + Cp(7).x - Cp(0).x, c8.y + Cp(7).y - Cp(0).y}, {x, y}, &foot))
        return 0;
    SetCp(10, foot);
    return 1;
}

// The text position of a dimension line from cp 9 to cp 10, text point cp 11.
int TextPosition(const Settings &s, int raw, double x, double y)
{
    SetCp(11, x, y);
    SetCp(raw, x, y);
    double a = 0.0;
    int result = 1;
    if (s.aligned) {
        const CalcPoint p9 = At(9), p10 = At(10);
        a = InputFoldTextAngle(CalcAngleOfVector(p10.x - p9.x, p10.y - p9.y));
        if (s.centred) {
            const CalcPoint mid{(p9.x + p10.x) / 2, (p9.y + p10.y) / 2};
            CalcPoint foot;
            result = Foot(mid, {mid.x - (p10.y - p9.y), mid.y + (p10.x - p9.x)}, At(11), &foot) ? 1 : 0;
            if (result)
                SetCp(11, foot);
        }
        if (s.onLine) {
            CalcPoint foot;
            result = Foot(p9, p10, At(11), &foot) ? 1 : 0;
            if (result)
                SetCp(11, foot.x - TEXT_LIFT * TextSize() * std::sin(a), foot.y + TEXT_LIFT * TextSize() * std::cos(a));
        }
    }
    TextFrame(At(11), a);
    return result;
}

// The text direction towards the cursor from the text point t.
int TextDirection(int raw, int text, double x, double y)
{
    SetCp(raw, x, y);
    const CalcPoint t = At(text);
    TextFrame(t, InputFoldTextAngle(CalcAngleOfVector(x - t.x, y - t.y)));
    return 1;
}

int Linear(int command, int index, double x, double y)
{
    const Settings s = Record();
    const bool radial = IsRadial(command);
    if (index == 1) {
        switch (command) {
        case 810: case 814: case 816: return PickedLineOrCircle(command);
        case 811: return FootOnPicked(x, y);
        default: SetCp(1, x, y); return 1;
        }
    }
    switch (radial ? index + (index >= 4 ? 1 : 0) : index) {
    case 2: return Direction(command, s, x, y);
    case 3: return DimensionLine(command, s, x, y);
    case 4: return LineEnd(s, x, y);
    case 5: return TextPosition(s, index, x, y);
    case 6: return TextDirection(index, 11, x, y);
    default: return 1;
    }
}

// 822: the point, the text position, the text direction.
int Coordinate(int index, double x, double y)
{
    SetCp(index, x, y);
    if (index == 1)
        TextFrame(At(1), 0.0);
    else if (index == 2)
        TextFrame(At(1), InputFoldTextAngle(CalcAngleOfVector(x - Cp(1).x, y - Cp(1).y)));
    return 1;
}

// 828, 829, 831, 832 at their second step: the picked dimension in G1.
int Edit(int command, double x, double y)
{
    const GeoObject &g = G(0);
    SetCp(1, x, y);
    if (command != 829) {
        SetCp(2, g.d[0], g.d[1]);
        return 1;
    }
    if (g.type == 28 || g.type == 29) {
        const CalcPoint c{g.d[0], g.d[1]};
        SetCp(2, c);
        CalcCirclePointTowards(c.x, c.y, x, y, g.d[6], g.d[7]);
        SetCp(3, Slot(0));
        CalcCirclePointTowards(c.x, c.y, x, y, g.d[8], g.d[9]);
        SetCp(4, Slot(0));
        const int ccw = CalcAngleInArc(c.x, c.y, Cp(3).x, Cp(3).y, Cp(4).x, Cp(4).y, x, y, 1);
        Cp(5).x = CalcArcSweep(c.x, c.y, Cp(3).x, Cp(3).y, Cp(4).x, Cp(4).y, ccw);
        return 1;
    }
    if (g.contour == 2) {
        CalcPoint foot;
        if (!Foot({g.d[0], g.d[1]}, {g.d[2], g.d[3]}, {x, y}, &foot))
            return 0;
        SetCp(2, foot);
        GeoObject &r = g_CommandState->referenceGeo;
        r.type = GEO_GEOLINE;
        r.reserved1 = 1;
        for (int k = 0; k < 4; ++k)
            r.d[k] = g.d[k];
        return 1;
    }
    SetCp(2, x + g.d[2] - g.d[0], y + g.d[3] - g.d[1]);
    return 1;
}

// ---- angle and arc-length dimensions --------------------------------------

// The four ways round the vertex: the ends of the arc (signs of d1 and d2)
// and which leg points come first.
struct Way {
    int end1Leg, end1Sign, end2Leg, end2Sign;
    int p0, p1, p2, p3;
};
constexpr Way WAYS[4] = {
    {1, +1, 2, +1, 20, 21, 22, 23}, // A
    {1, -1, 2, -1, 21, 20, 23, 22}, // B
    {2, +1, 1, -1, 21, 20, 22, 23}, // C
    {2, -1, 1, +1, 20, 21, 23, 22}, // D
};
constexpr int WAY_A = 0, WAY_B = 1, WAY_C = 2, WAY_D = 3;
// The way of the quadrants Q1 to Q4, with the copy mode off and on.
constexpr int WAY_OF_QUADRANT[2][4] = {{WAY_A, WAY_C, WAY_B, WAY_D}, {WAY_B, WAY_D, WAY_A, WAY_C}};

int AngleLegs(int command, int index, double x, double y)
{
    const GeoObject &g1 = G(0);
    if (command == 818) {
        const GeoObject &g = index == 1 ? g1 : G(1);
        SetCp(index == 1 ? 20 : 22, g.d[0], g.d[1]);
        SetCp(index == 1 ? 21 : 23, g.d[2], g.d[3]);
        return 1;
    }
    if (command == 819) {
        SetCp(22, g1.d[0], g1.d[1]);
        SetCp(20, g1.d[0], g1.d[1]);
        SetCp(21, g1.d[6], g1.d[7]);
        SetCp(23, g1.d[8], g1.d[9]);
        return 1;
    }
    SetCp(20, At(0));
    SetCp(21, At(1));
    SetCp(22, At(2));
    SetCp(3, x, y);
    SetCp(23, At(3));
    return 1;
}

int AngleArc(int command, double x, double y)
{
    const CalcPoint d1{Cp(21).x - Cp(20).x, Cp(21).y - Cp(20).y}, d2{Cp(23).x - Cp(22).x, Cp(23).y - Cp(22).y};
    int result = CalcIntersectLineLine(Cp(20).x, Cp(20).y, Cp(21).x, Cp(21).y, Cp(22).x, Cp(22).y, Cp(23).x,
                                       Cp(23).y) > 0 ? 1 : 0;
    if (!result)
        return 0;
    const CalcPoint c = Slot(0);
    SetCp(7, c);
    const auto end = [&](int leg, int sign) {
        const CalcPoint &d = leg == 1 ? d1 : d2;
        return CalcPoint{c.x + sign * d.x, c.y + sign * d.y};
    };
    const int small = CalcArcSweep(c.x, c.y, c.x + d1.x, c.y + d1.y, c.x + d2.x, c.y + d2.y, 1) < PI ? 1 : 0;
    const auto between = [&](CalcPoint u, CalcPoint v) {
        return CalcAngleInArc(c.x, c.y, u.x, u.y, v.x, v.y, x, y, small) != 0;
    };
    int quadrant = 3;
    if (between(end(1, 1), end(2, 1)))
        quadrant = 0;
    else if (between(end(2, 1), end(1, -1)))
        quadrant = 1;
    else if (between(end(1, -1), end(2, -1)))
        quadrant = 2;
    const Way &w = WAYS[WAY_OF_QUADRANT[g_DrawingSettings.displayDuplicate ? 1 : 0][quadrant]];
    const CalcPoint legs[4] = {At(w.p0), At(w.p1), At(w.p2), At(w.p3)};
    SetCp(10, end(w.end1Leg, w.end1Sign));
    SetCp(11, end(w.end2Leg, w.end2Sign));
    for (int k = 0; k < 4; ++k)
        SetCp(k, legs[k]);
    const CalcPoint c1 = At(1), c3 = At(3);
    SetCp(8, CalcDistance(&c3, &c) > CalcDistance(&c1, &c) ? c3 : c1);
    SetCp(9, x, y);
    SetCp(4, x, y);
    if (command != 843) {
        const Settings s = Record();
        result = CalcCirclePerpendicularFeet(c.x, c.y, Cp(8).x, Cp(8).y, x, y);
        if (result > 0 && (s.distance == DISTANCE_FIXED || s.distance == DISTANCE_SNAPPED))
            SetCp(9, ByDistanceMode(s, Slot(0), {x, y}));
        result = result > 0 ? 1 : 0;
    }
    CalcCirclePointTowards(c.x, c.y, Cp(9).x, Cp(9).y, Cp(10).x, Cp(10).y);
    SetCp(10, Slot(0));
    CalcCirclePointTowards(c.x, c.y, Cp(9).x, Cp(9).y, Cp(11).x, Cp(11).y);
    SetCp(11, Slot(0));
    const int ccw = CalcAngleInArc(c.x, c.y, Cp(10).x, Cp(10).y, Cp(11).x, Cp(11).y, x, y, 1);
    Cp(13).x = CalcArcSweep(c.x, c.y, Cp(10).x, Cp(10).y, Cp(11).x, Cp(11).y, ccw);
    Cp(12).x = ccw ? 1.0 : -1.0;
    return result;
}

// 820 steps 1 to 3 and 821 step 3: the measured arc.
int MeasuredArc(int command, int index, double x, double y)
{
    if (command == 821) {
        const GeoObject &g = G(0);
        SetCp(0, g.d[0], g.d[1]);
        SetCp(1, g.d[2], g.d[3]);
        SetCp(2, g.d[6], g.d[7]);
        SetCp(3, g.d[8], g.d[9]);
        const int ccw = g.direction ? 1 : 0;
        Cp(8).x = CalcArcSweep(g.d[0], g.d[1], g.d[6], g.d[7], g.d[8], g.d[9], ccw);
        Cp(7).x = ccw ? 1.0 : -1.0;
        return 1;
    }
    if (index == 1) {
        SetCp(1, x, y);
        GeoObject &r = g_CommandState->referenceGeo;
        r.type = GEO_CIRCLE;
        r.reserved1 = 2;
        r.d[0] = Cp(0).x, r.d[1] = Cp(0).y, r.d[2] = x, r.d[3] = y;
        return 1;
    }
    CalcCirclePointTowards(Cp(0).x, Cp(0).y, Cp(1).x, Cp(1).y, x, y);
    SetCp(index, Slot(0));
    if (index == 3) {
        const int ccw = g_DrawingSettings.displayArcs != 0 ? 1 : 0;
        Cp(8).x = CalcArcSweep(Cp(0).x, Cp(0).y, Cp(2).x, Cp(2).y, Cp(3).x, Cp(3).y, ccw);
        Cp(7).x = ccw ? 1.0 : -1.0;
    }
    return 1;
}

int ArcPosition(double x, double y)
{
    const Settings s = Record();
    const CalcPoint c = At(0);
    SetCp(9, x, y);
    SetCp(4, x, y);
    int result = CalcCirclePerpendicularFeet(c.x, c.y, Cp(1).x, Cp(1).y, x, y) > 0 ? 1 : 0;
    if (result && (s.distance == DISTANCE_FIXED || s.distance == DISTANCE_SNAPPED))
        SetCp(9, ByDistanceMode(s, Slot(0), {x, y}));
    CalcCirclePointTowards(c.x, c.y, Cp(9).x, Cp(9).y, Cp(2).x, Cp(2).y);
    SetCp(10, Slot(0));
    CalcCirclePointTowards(c.x, c.y, Cp(9).x, Cp(9).y, Cp(3).x, Cp(3).y);
    SetCp(11, Slot(0));
    return result;
}

// The text of an angle or arc dimension: text point t, centre c, arc ends u1, u2.
int ArcText(int t, int c, int u1, int u2, double x, double y)
{
    const Settings s = Record();
    SetCp(t, x, y);
    SetCp(5, x, y);
    double a = 0.0;
    int result = 1;
    if (s.aligned) {
        const CalcPoint cc = At(c);
        const double l1 = std::hypot(Cp(u1).x - cc.x, Cp(u1).y - cc.y);
        const double l2 = std::hypot(Cp(u2).x - cc.x, Cp(u2).y - cc.y);
        if (s.centred && l1 != 0.0 && l2 != 0.0) {
            const double bx = (Cp(u1).x - cc.x) / l1 + (Cp(u2).x - cc.x) / l2;
            const double by = (Cp(u1).y - cc.y) / l1 + (Cp(u2).y - cc.y) / l2;
            CalcPoint foot;
            result = Foot(cc, {cc.x + bx, cc.y + by}, At(t), &foot) ? 1 : 0;
            if (result)
                SetCp(t, foot);
        }
        a = InputFoldTextAngle(CalcAngleOfVector(Cp(t).y - cc.y, -(Cp(t).x - cc.x)));
        if (s.onLine) {
            result = CalcCirclePerpendicularFeet(cc.x, cc.y, Cp(9).x, Cp(9).y, Cp(t).x, Cp(t).y) > 0 ? 1 : 0;
            if (result)
                SetCp(t, Slot(0).x - TEXT_LIFT * TextSize() * std::sin(a),
                      Slot(0).y + TEXT_LIFT * TextSize() * std::cos(a));
        }
    }
    TextFrame(At(t), a);
    return result;
}

} // namespace

double InputFoldTextAngle(double a)
{
    return a > PI / 2 && a <= 3 * PI / 2 ? a - PI : a;
}

int InputConstructDimension(int index, double x, double y)
{
    const int command = g_CommandState->commandId;
    switch (command) {
    case 822: return Coordinate(index, x, y);
    case 828: case 829: case 831: case 832: return Edit(command, x, y);
    case 840: return FootOnPicked(x, y);
    default: return command >= 809 && command <= 816 ? Linear(command, index, x, y) : 1;
    }
}

int InputConstructAngleDimension(int index, double x, double y)
{
    const int command = g_CommandState->commandId;
    const bool arc = command == 820 || command == 821;
    if (arc) {
        switch (index) {
        case 1: case 2: case 3: return MeasuredArc(command, index, x, y);
        case 4: return ArcPosition(x, y);
        case 5: return ArcText(12, 0, 2, 3, x, y);
        case 6: return TextDirection(6, 12, x, y);
        default: return 1;
        }
    }
    switch (index) {
    case 1: case 3: return AngleLegs(command, index, x, y);
    case 4: return AngleArc(command, x, y);
    case 5: return ArcText(14, 7, 10, 11, x, y);
    case 6: return TextDirection(6, 14, x, y);
    default: return 1;
    }
}
