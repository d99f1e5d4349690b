// The geometry library: plane geometry in doubles. Solvers return the number
// of results (points, or slots where stated) and leave them in g_CalcPoints,
// from slot 0 on; callers copy them out before the next kernel call.
//
// Geometry is passed by value: a point as x, y; a line as two points; a circle
// as centre and a point on it; an ellipse as centre C and two conjugate axis
// points A1, A2; a cubic Bezier as P0, P1, P2, P3.
//
// Ellipses have two parameterisations:
//   axis-2 form  E(t) = C + cos t (A2 - C) + sin t (A1 - C)  (stored arc
//                parameters and sweeps: CalcEllipseArcSweep, CalcEllipsePointTowards)
//   axis-1 form  E(t) = C + cos t (A1 - C) + sin t (A2 - C)  (every solver that
//                returns points, CalcEllipseToBezier's piece order)
//
// Bad input: a coordinate that is not finite or lies beyond +-CALC_COORD_LIMIT
// makes a solver return 0 with every slot of g_CalcPoints set to CALC_NO_VALUE;
// a result that would not be finite (overflow of a nearly degenerate figure)
// is treated the same way. Measuring functions then return their documented
// "nothing" value (named in each comment).
#pragma once

#include <cstddef>
#include <cstdint>

#include "geometry/matrix.h"

// ---- Shared constants --------------------------------------------------------

constexpr double CALC_TWO_PI = 6.283185307179586;
constexpr double CALC_PI = 3.141592653589793;
constexpr double CALC_HALF_PI = 1.5707963267948966;
constexpr double CALC_THREE_HALF_PI = 4.71238898038469;
// Zero test of lengths, squared lengths, cross products and sweeps.
constexpr double CALC_ZERO = 1e-10;
// No value: a parameter that does not exist, infinitely far.
constexpr double CALC_NO_VALUE = 1e300;
// Coordinates are clamped to plus or minus this; larger input is rejected.
constexpr double CALC_COORD_LIMIT = 1e100;
// The parts of an IEEE double, for code that reads, forms or copies values
// as bits: integer work, where the processor is emulated and every FPU
// instruction costs much.
constexpr uint64_t DOUBLE_SIGN_BIT = uint64_t(1) << 63;
constexpr int DOUBLE_MANTISSA_BITS = 52;
constexpr uint64_t DOUBLE_MANTISSA_MASK = (uint64_t(1) << DOUBLE_MANTISSA_BITS) - 1;
constexpr int DOUBLE_EXPONENT_BIAS = 1023;
// Control-point factor of a quarter ellipse, and of a circle (times r, over 3).
constexpr double CALC_ELLIPSE_KAPPA = 0.5522847498306668;
constexpr double CALC_CIRCLE_KAPPA3 = 1.6568542494920004;
// Length of the auxiliary direction vectors of constructions.
constexpr double CALC_AUX_LENGTH = 128.0;

// ---- Records -----------------------------------------------------------------

// One slot of the result buffer, and the point type of address arguments.
struct CalcPoint {
    double x;
    double y;
};
static_assert(sizeof(CalcPoint) == 16);

constexpr int CALC_POINT_SLOTS = 32;
// The curve solvers add two slots per intersection while at most this many
// slots are in use, so they never write beyond the last slot.
constexpr int CALC_CURVE_SLOT_LIMIT = CALC_POINT_SLOTS - 2;

// The result buffer of every solver. Starts zero-filled.
extern CalcPoint g_CalcPoints[CALC_POINT_SLOTS];
static_assert(sizeof(g_CalcPoints) == 512);

// Object type codes the geometry records use.
enum : int32_t {
    GEO_LINE = 0,
    GEO_CIRCLE = 5,
    GEO_CIRC_ARC = 6,
    GEO_CIRC_SEC = 7,
    GEO_CIRC_SEGM = 8,
    GEO_CURVE = 12,
    GEO_ELLIPSE = 15,
    GEO_ELLI_ARC = 16,
    GEO_ELLI_SEC = 17,
    GEO_ELLI_SEGM = 18,
    GEO_MARK = 41,
    GEO_GEOLINE = 45,
    GEO_GEOCIRCLE = 46,
    GEO_GEOELLI = 47,
};

// One piece of geometry passed between the kernel, the constructions, snapping,
// trimming, contours and plug-ins (which see this layout; arrays of it are laid
// end to end). Meaning of d[] by type:
//   0 Line, 45 GeoLine       d0,d1 first point   d2,d3 second point
//   5 Circle, 46 GeoCircle   d0,d1 centre        d2,d3 point on the circle
//   6, 7, 8 circular arcs    as a circle; d6,d7 start, d8,d9 end, direction
//   12 Curve                 d0,d1 P0  d2,d3 P3  d6,d7 P1  d8,d9 P2
//   15 Ellipse, 47 GeoElli   d0,d1 C   d2,d3 A1  d4,d5 A2
//   16, 17, 18 elliptic arcs as an ellipse; d6,d7 start, d8,d9 end, direction
//   41 Mark                  d0,d1 the point
// d10 ... d17 belong to the array the record is part of (segments, candidates).
struct GeoObject {
    double d[18];
    int32_t type;
    int32_t contour;       // closed contour a segment belongs to, from 1
    int32_t reserved1;     // not read by the kernel
    int32_t direction;     // arcs: 1 counter-clockwise, 0 clockwise
    int32_t reserved2[2];  // not read by the kernel
};
static_assert(sizeof(GeoObject) == 168);
static_assert(offsetof(GeoObject, d) == 0);
static_assert(offsetof(GeoObject, type) == 144);
static_assert(offsetof(GeoObject, contour) == 148);
static_assert(offsetof(GeoObject, reserved1) == 152);
static_assert(offsetof(GeoObject, direction) == 156);
static_assert(offsetof(GeoObject, reserved2) == 160);

// One cubic Bezier piece and the parameter range [t0, t1] of the whole curve
// that it covers; a parameter s on the piece is t0 + s (t1 - t0) on the curve.
struct BezierPiece {
    CalcPoint p[4];  // P0, P1, P2, P3
    double t0;
    double t1;
};
static_assert(sizeof(BezierPiece) == 80);

// The line handed to the recursive Bezier-line intersection.
struct CalcLineRecord {
    CalcPoint l1;  // first point (parameter 0)
    CalcPoint l2;  // second point (parameter 1)
    CalcPoint d;   // l2 - l1
    double xmin, ymin, xmax, ymax;  // box of the segment l1 l2
};
static_assert(sizeof(CalcLineRecord) == 80);

// Sets every slot of g_CalcPoints to (CALC_NO_VALUE, CALC_NO_VALUE).
void CalcClearPoints();

// ---- Directions, distances, arcs ---------------------------------------------

// Direction of (dx, dy) in [0, 2pi); 0 for the zero vector (and for bad input).
double CalcAngleOfVector(double dx, double dy);
// Distance of two points; CALC_NO_VALUE for bad input or a null address.
double CalcDistance(const CalcPoint *p, const CalcPoint *q);
// 1 when the directions are less than a right angle apart.
int CalcSameDirection(double dx1, double dy1, double dx2, double dy2);
// 1 when c->p3 lies in the arc from c->p1 to c->p2 in the given sense (ends included).
int CalcAngleInArc(double cx, double cy, double x1, double y1, double x2, double y2, double x3,
                   double y3, int ccw);
// Signed sweep from c->p1 to c->p2 (0 for equal directions and bad input).
double CalcArcSweep(double cx, double cy, double x1, double y1, double x2, double y2, int ccw);
// Position of c->p3 along the arc, 0 at p1 and 1 at p2, negative before the
// start; CALC_NO_VALUE when the sweep is below CALC_ZERO (and for bad input).
double CalcArcFraction(double cx, double cy, double x1, double y1, double x2, double y2,
                       double x3, double y3, int ccw);
// The same on angles, opposite tie-break at the gap middle; 0 for a sweep
// below CALC_ZERO (and for bad input). See the comment in calc.cpp on the full turn.
double CalcArcParameter(double cx, double cy, double x1, double y1, double x2, double y2,
                        double x3, double y3, int ccw);
// Signed offset factor f of (x, y) from the chord p1->p2: p = foot + f (-dy, dx).
// Applied to an arc's centre it is the arc element's centre-offset factor. 0 for bad input.
double CalcCurvature(double x, double y, double x1, double y1, double x2, double y2);
// Slot 0: the point of the circle (c through p1) in the direction of p2.
// Returns the direction angle of c->p2 (0 for bad input, slots cleared).
double CalcCirclePointTowards(double cx, double cy, double x1, double y1, double x2, double y2);
// Sweep in the axis-2 parameter space from q1 to q2; ccw keeps its meaning in
// the drawing. 0 for a degenerate ellipse, equal parameters or bad input.
double CalcEllipseArcSweep(double cx, double cy, double a1x, double a1y, double a2x, double a2y,
                           double q1x, double q1y, double q2x, double q2y, int ccw);
// Parameter t (axis-2 form) of the direction of p; slot 0 = E(t). A degenerate
// ellipse writes A2 to slot 0 and returns 0; bad input clears the slots.
double CalcEllipsePointTowards(double cx, double cy, double a1x, double a1y, double a2x,
                               double a2y, double px, double py);
// Distance of p from the endless line p1 p2 (from p1 when p1 = p2);
// CALC_NO_VALUE for bad input.
double CalcDistancePointLine(double x1, double y1, double x2, double y2, double px, double py);

// ---- Bezier pieces -----------------------------------------------------------

// Split at the middle (de Casteljau); left and right must differ from src.
void CalcBezierSplit(const BezierPiece *src, BezierPiece *left, BezierPiece *right);
// Split at local parameter t; either output may be null. t <= 0 (or NaN)
// gives a left piece of four P0 over [t0, t0]; t >= 1 a right piece of four P3
// over [t1, t1].
void CalcBezierSplitAt(const BezierPiece *src, double t, BezierPiece *before, BezierPiece *after);
// Cut at two local parameters into three pieces; any output may be null.
void CalcBezierSubrange(const BezierPiece *src, double t1, double t2, BezierPiece *before,
                        BezierPiece *middle, BezierPiece *after);
// The full circle as four pieces counter-clockwise from (cx + r, cy), each
// over [0, 1]. Returns 1, or 0 for bad input (pieces collapsed onto (0, 0)).
int CalcCircleToBezier(double cx, double cy, double px, double py, BezierPiece out[4]);
// The full ellipse as four pieces in axis-1 order (A1 towards A2), each over
// [0, 1]. Returns 1, or 0 for bad input (pieces collapsed onto (0, 0)).
int CalcEllipseToBezier(double cx, double cy, double a1x, double a1y, double a2x, double a2y,
                        BezierPiece out[4]);
// Recursive nearest-point search: lowers *best (a squared distance) and sets
// *t (curve parameter) and *side (1 = p left of the curve). Start with
// best 1e300, t 0, side 0, depth 0.
void CalcBezierNearest(const BezierPiece *piece, double px, double py, double *best, double *t,
                       int *side, int depth);
// Distance of p from the cubic; CALC_NO_VALUE for bad input.
double CalcDistancePointBezier(double x0, double y0, double x1, double y1, double x2, double y2,
                               double x3, double y3, double px, double py);
// 1: foot in slot 0, line parameter in slot 1 x. 0 when p1 = p2 (slot 0 = p,
// slot 1 x = 0). Slot 1 y is not written.
int CalcPerpendicularFootLine(double x1, double y1, double x2, double y2, double px, double py);
// 1: foot in slot 0, curve parameter in slot 1 x (negative: on the start
// tangent beyond P0; above 1: on the end tangent beyond P3). 0: slot 0 the
// chord middle, slot 1 x = 0.5.
int CalcPerpendicularFootBezier(double x0, double y0, double x1, double y1, double x2, double y2,
                                double x3, double y3, double px, double py);
// Side flag of the nearest point (1 = p lies left of the curve there).
int CalcBezierPointSide(double x0, double y0, double x1, double y1, double x2, double y2,
                        double x3, double y3, double px, double py);

// ---- Perpendiculars, extremes and tangents -----------------------------------

// 2: slot 0 the foot nearer to p, slot 1 the opposite one; 0 when p = c.
int CalcCirclePerpendicularFeet(double cx, double cy, double x1, double y1, double px, double py);
// 2: slot 0 the point of the ellipse nearest to p, slot 1 the farthest.
int CalcEllipsePerpendicularFeet(double cx, double cy, double a1x, double a1y, double a2x,
                                 double a2y, double px, double py);
// Lines (0, 45), circles (5, 46), curves (12), ellipses (15, 47); other types 0.
int CalcGeoPerpendicular(const GeoObject *g, double px, double py);
int CalcCircleTopBottom(double cx, double cy, double px, double py);
int CalcCircleLeftRight(double cx, double cy, double px, double py);
// Points whose tangent runs in direction angle: slot 0 right of it, slot 1 left.
int CalcCircleExtremesAtAngle(double cx, double cy, double px, double py, double angle);
// Extends frame {xmin, ymin, xmax, ymax} by the piece and records the extreme
// curve points {min x, max x, min y, max y}.
void CalcBezierExtremes(const BezierPiece *piece, double frame[4], CalcPoint points[4], int depth);
int CalcEllipseTopBottom(double cx, double cy, double a1x, double a1y, double a2x, double a2y);
int CalcEllipseLeftRight(double cx, double cy, double a1x, double a1y, double a2x, double a2y);
int CalcEllipseExtremesAtAngle(double cx, double cy, double a1x, double a1y, double a2x,
                               double a2y, double angle);
// Tangent points seen from p: 2 (slot 0 right of c->p), 1 just inside the
// touching band, 0 inside.
int CalcTangentPointsCircle(double cx, double cy, double x1, double y1, double px, double py);
int CalcTangentPointsEllipse(double cx, double cy, double a1x, double a1y, double a2x, double a2y,
                             double px, double py);
// Slot 0 = (y1 - y2, x2 - x1), the left normal of p1->p2 with its length.
int CalcNormalVector(double x1, double y1, double x2, double y2);
// Slot 0: the tangent direction (axis-1 form) at the parameter of q.
int CalcEllipseConjugateVector(double cx, double cy, double a1x, double a1y, double a2x,
                               double a2y, double qx, double qy);
// Common tangents as pairs of slots (point on the first figure, point on the second).
int CalcTangentsCircleCircle(double c1x, double c1y, double p1x, double p1y, double c2x,
                             double c2y, double p2x, double p2y);
int CalcTangentsCircleEllipse(double cx, double cy, double px, double py, double ex, double ey,
                              double a1x, double a1y, double a2x, double a2y);
int CalcTangentsEllipseCircle(double ex, double ey, double a1x, double a1y, double a2x,
                              double a2y, double cx, double cy, double px, double py);
int CalcTangentsEllipseEllipse(double c1x, double c1y, double a1x, double a1y, double b1x,
                               double b1y, double c2x, double c2y, double a2x, double a2y,
                               double b2x, double b2y);
// Circles (5, 6, 46), ellipses (15, 16, 47) and points (41); arcs count as
// their full figure. Slots in pairs: point on g1, point on g2.
int CalcGeoTangent(const GeoObject *g1, const GeoObject *g2);

// ---- Intersections and constructions ------------------------------------------

// 1: slot 0 the point, slot 1 (parameter on line 1, on line 2).
// 0 when parallel: slot 0 = p1, slot 1 = (1e300, 1e300).
int CalcIntersectLineLine(double x1, double y1, double x2, double y2, double x3, double y3,
                          double x4, double y4);
// 2, 1 (touching band) or 0: slots 0, 1 the points, slot 2 their line parameters.
int CalcIntersectLineCircle(double x1, double y1, double x2, double y2, double cx, double cy,
                            double px, double py);
int CalcIntersectLineEllipse(double x1, double y1, double x2, double y2, double cx, double cy,
                             double a1x, double a1y, double a2x, double a2y);
// 2 (slot 0 right of c1->c2), 1 (touching) or 0 (concentric, apart).
int CalcIntersectCircleCircle(double c1x, double c1y, double p1x, double p1y, double c2x,
                              double c2y, double p2x, double p2y);
// Curve solvers: slots used, two per intersection (point, then the pair of
// piece parameters). Same figures give 0.
int CalcIntersectCircleEllipse(double cx, double cy, double px, double py, double ex, double ey,
                               double a1x, double a1y, double a2x, double a2y);
int CalcIntersectEllipseEllipse(double c1x, double c1y, double a1x, double a1y, double b1x,
                                double b1y, double c2x, double c2y, double a2x, double a2y,
                                double b2x, double b2y);
int CalcIntersectBezierLine(double x0, double y0, double x1, double y1, double x2, double y2,
                            double x3, double y3, double l1x, double l1y, double l2x, double l2y,
                            int endless);
int CalcIntersectBezierLineCore(const BezierPiece *piece, const CalcLineRecord *line, int used,
                                int depth, int endless);
int CalcIntersectBezierBezier(double ax0, double ay0, double ax1, double ay1, double ax2,
                              double ay2, double ax3, double ay3, double bx0, double by0,
                              double bx1, double by1, double bx2, double by2, double bx3,
                              double by3);
int CalcIntersectBezierBezierCore(const BezierPiece *a, const BezierPiece *b, int used, int depth);
int CalcIntersectCircleBezier(double x0, double y0, double x1, double y1, double x2, double y2,
                              double x3, double y3, double cx, double cy, double px, double py);
int CalcIntersectEllipseBezier(double x0, double y0, double x1, double y1, double x2, double y2,
                               double x3, double y3, double cx, double cy, double a1x,
                               double a1y, double a2x, double a2y);
// 1: slot 0 a point on the bisector of p1-v-p2; 0 when p1 or p2 equals v
// (slot 0 = (vx + 128, vy)).
int CalcBisectorPoint(double vx, double vy, double x1, double y1, double x2, double y2);
// 1: slot 0 the centre of the circle through the points; 0 when collinear.
int CalcGeoCircumcircle(double x1, double y1, double x2, double y2, double x3, double y3);
// 1: slot 0 the incircle's centre, slot 1 its touching point on p1 p2.
int CalcGeoIncircle(double x1, double y1, double x2, double y2, double x3, double y3);
// Bisector of line p0 p1 (pick p2) and line p3 p4 (pick p5): 2 with slot 0 the
// intersection and slot 1 a second point; 0 when a step fails.
int CalcBisectorOfLines(const CalcPoint *p0, const CalcPoint *p1, const CalcPoint *p2,
                        const CalcPoint *p3, const CalcPoint *p4, const CalcPoint *p5);
