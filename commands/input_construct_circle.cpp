// Circle, arc, ellipse and four-corner constructions: everything is computed
// from the entered points of the running command; where the axes the user
// sees matter, in the active user coordinate system.
#include "commands/input_construct_shapes.h"

#include <cmath>

#include "app/system.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "geometry/calc.h"

namespace {

ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }

void SetCp(int i, double x, double y)
{
    g_ConstructionPoints[i].x = x;
    g_ConstructionPoints[i].y = y;
}

void CopyEntered(int i) { SetCp(i, g_InputPoints[i].x, g_InputPoints[i].y); }

void EnteredInSystem(int i, double out[2])
{
    const double p[2] = {g_InputPoints[i].x, g_InputPoints[i].y};
    InputPointToSystem(p, out);
}

void SetCpFromSystem(int i, double x, double y)
{
    const double s[2] = {x, y};
    double d[2];
    InputPointFromSystem(s, d);
    SetCp(i, d[0], d[1]);
}

int OrientationCcw() { return g_DrawingSettings.displayArcs != 0; }

// cp target := the point of the circle about cp centre through cp onCircle in
// the direction of entered point i.
void CirclePointTowards(int target, int centre, int onCircle, int i)
{
    CalcCirclePointTowards(Cp(centre).x, Cp(centre).y, Cp(onCircle).x, Cp(onCircle).y, g_InputPoints[i].x,
                           g_InputPoints[i].y);
    SetCp(target, g_CalcPoints[0].x, g_CalcPoints[0].y);
}

// 1: the guide that the rubber band shows from step first on.
void SetReference(int32_t type, int first, const double *points, int count)
{
    GeoObject &g = g_CommandState->referenceGeo;
    g.type = type;
    g.reserved1 = first;
    for (int k = 0; k < count; ++k)
        g.d[k] = points[k];
}

// The box with centre cp 0 and corner entered point 1, in the user system:
// cp 1 level with the corner, cp 2 level with the centre.
void AxisParallelEllipse()
{
    double a[2], b[2];
    EnteredInSystem(0, a);
    EnteredInSystem(1, b);
    SetCpFromSystem(1, a[0], b[1]);
    SetCpFromSystem(2, b[0], a[1]);
}

// Ellipse arcs: step s gives the start (cp startCp, its parameter in x of cp
// holder), step s + 1 the end, the sweep (y of holder) and the orientation
// (x of cp orientation).
void EllipseArcStep(int index, int first, int startCp, int orientation, int holder)
{
    const ConstructionPoint &c = Cp(0), &a1 = Cp(1), &a2 = Cp(2);
    const InputPointEntry &p = g_InputPoints[index];
    if (index == first) {
        Cp(holder).x = CalcEllipsePointTowards(c.x, c.y, a1.x, a1.y, a2.x, a2.y, p.x, p.y);
        SetCp(startCp, g_CalcPoints[0].x, g_CalcPoints[0].y);
        return;
    }
    CalcEllipsePointTowards(c.x, c.y, a1.x, a1.y, a2.x, a2.y, p.x, p.y);
    SetCp(startCp + 1, g_CalcPoints[0].x, g_CalcPoints[0].y);
    const int ccw = OrientationCcw();
    Cp(holder).y = CalcEllipseArcSweep(c.x, c.y, a1.x, a1.y, a2.x, a2.y, Cp(startCp).x, Cp(startCp).y,
                                       Cp(startCp + 1).x, Cp(startCp + 1).y, ccw);
    Cp(orientation).x = ccw ? 1.0 : -1.0;
}

void EllipseReference(int first)
{
    const double d[6] = {Cp(0).x, Cp(0).y, Cp(1).x, Cp(1).y, Cp(2).x, Cp(2).y};
    SetReference(GEO_ELLIPSE, first, d, 6);
}

// Arcs by centre, circle point, start and end (548, 552, 807).
int CentreArc(int index)
{
    if (index == 1) {
        CopyEntered(1);
        if (g_CommandState->commandId == 552) {
            const GeoObject &g1 = g_CommandState->elementGeo[0];
            SetCp(0, g1.d[0], g1.d[1]);
        }
        const double d[4] = {Cp(0).x, Cp(0).y, Cp(1).x, Cp(1).y};
        SetReference(GEO_CIRCLE, 2, d, 4);
        return 1;
    }
    if (index == 2) {
        CirclePointTowards(2, 0, 1, 2);
        return 1;
    }
    CirclePointTowards(3, 0, 1, 3);
    const int ccw = OrientationCcw();
    Cp(5).x = CalcArcSweep(Cp(0).x, Cp(0).y, Cp(2).x, Cp(2).y, Cp(3).x, Cp(3).y, ccw);
    Cp(4).x = ccw ? 1.0 : -1.0;
    return 1;
}

// Arc through start, end and a third point (550): it runs from P0 to P1
// through P2, whatever the orientation switch says.
int ThreePointArc()
{
    CopyEntered(2);
    const int found = CalcGeoCircumcircle(Cp(0).x, Cp(0).y, Cp(1).x, Cp(1).y, Cp(2).x, Cp(2).y);
    SetCp(3, g_CalcPoints[0].x, g_CalcPoints[0].y);
    const int ccw = CalcAngleInArc(Cp(3).x, Cp(3).y, Cp(0).x, Cp(0).y, Cp(1).x, Cp(1).y, Cp(2).x, Cp(2).y, 1);
    Cp(5).x = CalcArcSweep(Cp(3).x, Cp(3).y, Cp(0).x, Cp(0).y, Cp(1).x, Cp(1).y, ccw);
    Cp(4).x = ccw ? 1.0 : -1.0;
    return found > 0 ? 1 : 0;
}

int Circumcircle(int centreCp)
{
    CopyEntered(2);
    const int found = CalcGeoCircumcircle(Cp(0).x, Cp(0).y, Cp(1).x, Cp(1).y, Cp(2).x, Cp(2).y);
    SetCp(centreCp, g_CalcPoints[0].x, g_CalcPoints[0].y);
    return found > 0 ? 1 : 0;
}

int TurnedEllipse()
{
    double a[2], b[2], d[2];
    CopyEntered(2);
    SetCp(3, g_InputPoints[2].x, g_InputPoints[2].y);
    EnteredInSystem(0, a);
    EnteredInSystem(1, b);
    EnteredInSystem(2, d);
    const double angle = CalcAngleOfVector(d[0] - a[0], d[1] - a[1]);
    const double vx = b[0] - a[0], vy = b[1] - a[1];
    SetCpFromSystem(1, a[0] + vx * std::cos(angle), a[1] + vx * std::sin(angle));
    SetCpFromSystem(2, a[0] - vy * std::sin(angle), a[1] + vy * std::cos(angle));
    return 1;
}

// The regular polygon of 533: its corner point from the centre, the
// direction point and the remembered side length.
int PolygonByLength()
{
    CopyEntered(1);
    const double centre[2] = {Cp(0).x, Cp(0).y}, toward[2] = {Cp(1).x, Cp(1).y};
    double corner[2];
    if (!InputPolygonCornerFromLength(centre, toward, g_CommandDefaults.counts[COMMAND_COUNT_CORNERS],
                                      g_CommandDefaults.distances[COMMAND_DISTANCE_POLYGON_LENGTH], corner))
        return 0;
    SetCp(2, corner[0], corner[1]);
    return 1;
}

} // namespace

int InputPolygonCornerFromLength(const double centre[2], const double toward[2], int corners, double length,
                                 double out[2])
{
    if (corners < POLYGON_CORNERS_MIN || corners > POLYGON_CORNERS_MAX || !(length > 0.0))
        return 0;
    const double radius = length / (2.0 * std::sin(CALC_PI / corners));
    const double angle = CalcAngleOfVector(toward[0] - centre[0], toward[1] - centre[1]);
    out[0] = centre[0] + radius * std::cos(angle);
    out[1] = centre[1] + radius * std::sin(angle);
    return 1;
}

int InputConstructCircle(int index, double, double)
{
    const int command = g_CommandState->commandId;
    switch (command) {
    case 525: // parallelogram: the fourth corner P0 + P2 - P1
        CopyEntered(2);
        SetCp(3, Cp(0).x + Cp(2).x - Cp(1).x, Cp(0).y + Cp(2).y - Cp(1).y);
        return 1;
    case 526: { // rectangle along the user system's axes
        double a[2], b[2];
        EnteredInSystem(0, a);
        EnteredInSystem(1, b);
        SetCpFromSystem(1, a[0], b[1]);
        SetCpFromSystem(2, b[0], b[1]);
        SetCpFromSystem(3, b[0], a[1]);
        return 1;
    }
    case 531: return Circumcircle(4);
    case 533: return PolygonByLength();
    case 538: return Circumcircle(3);
    case 540: {
        CopyEntered(2);
        const int found = CalcGeoIncircle(Cp(0).x, Cp(0).y, Cp(1).x, Cp(1).y, Cp(2).x, Cp(2).y);
        SetCp(3, g_CalcPoints[0].x, g_CalcPoints[0].y);
        SetCp(4, g_CalcPoints[1].x, g_CalcPoints[1].y);
        return found > 0 ? 1 : 0;
    }
    case 541: {
        CopyEntered(1);
        const GeoObject &g1 = g_CommandState->elementGeo[0];
        SetCp(0, g1.d[0], g1.d[1]);
        return 1;
    }
    case 542:
        if (index == 1)
            return InputConstructPerpendicularFoot();
        SetCp(3, g_InputPoints[2].x, g_InputPoints[2].y);
        {
            const double a[2] = {Cp(4).x, Cp(4).y}, b[2] = {Cp(5).x, Cp(5).y};
            const double p[2] = {g_InputPoints[2].x, g_InputPoints[2].y};
            double foot[2];
            if (!InputPerpendicularFootInSystem(a, b, p, foot))
                return 0;
            SetCp(0, foot[0], foot[1]);
        }
        return 1;
    case 548:
    case 552:
    case 807: return CentreArc(index);
    case 550: return ThreePointArc();
    case 558:
        AxisParallelEllipse();
        return 1;
    case 559:
        if (index == 1) {
            AxisParallelEllipse();
            return 1;
        }
        return TurnedEllipse();
    case 563:
        if (index == 1) {
            AxisParallelEllipse();
            EllipseReference(2);
            return 1;
        }
        EllipseArcStep(index, 2, 3, 5, 6);
        return 1;
    case 564:
        if (index == 2) {
            CopyEntered(2);
            EllipseReference(3);
            return 1;
        }
        EllipseArcStep(index, 3, 3, 5, 6);
        return 1;
    case 649:
        CopyEntered(4);
        SetCp(5, Cp(2).x + Cp(4).x - Cp(3).x, Cp(2).y + Cp(4).y - Cp(3).y);
        return 1;
    default:
        CopyEntered(index);
        return 1;
    }
}
