// Flattening into path arrays: the adders that write circles, arcs, ellipses,
// Bezier pieces, splines, zigzags, polygons and sketches into a path.
//
// A path is two parallel arrays indexed alike: world points (millimetres) and
// a u32 code per point. The caller places an adder's inputs from index n on;
// the adder reads them all, writes its output from n on and returns the number
// of entries from n on that now form the curve (the caller's next free index
// is n + result), or -1 when the output could reach g_MaxPathPoints.
#pragma once

#include <cstdint>

#include "database/storage.h"

// A path point is an entry of the shared work arrays.
using PathPoint = WorkPoint;

// Path point codes.
constexpr uint32_t PATH_START = 1;    // start of a figure
constexpr uint32_t PATH_LINE = 2;     // line to, or end of a Bezier piece
constexpr uint32_t PATH_CONTROL1 = 7; // first control point of a Bezier piece
constexpr uint32_t PATH_CONTROL2 = 8; // second control point

constexpr int32_t FLAT_REFUSED = -1;
// Entries of one circle or arc from index 0 in Bezier form: a caller's own
// array of this size holds any single circle, arc or ellipse.
constexpr int32_t FLAT_MAX_CURVE_ENTRIES = 13;
// The spline's two scratch areas behind its input.
constexpr int32_t FLAT_SPLINE_SCRATCH = 128;

// Step forms and polyline generators: points only.
int32_t FlatAddZigzag(PathPoint *points, int32_t n, double size, double width);
int32_t FlatAddPolygon(PathPoint *points, int32_t n, int32_t corners);
int32_t FlatAddCircleSteps(PathPoint *points, int32_t n);
int32_t FlatAddArcSteps(PathPoint *points, int32_t n, double sweep);
int32_t FlatAddArcBulgeSteps(PathPoint *points, int32_t n, double direction, double f);
int32_t FlatAddEllipseSteps(PathPoint *points, int32_t n);
int32_t FlatAddEllipseArcSteps(PathPoint *points, int32_t n, double startParameter, double sweep);
int32_t FlatAddBezierSteps(PathPoint *points, int32_t n, int32_t minimumSteps);
int32_t FlatAddSpline(PathPoint *points, int32_t n, int32_t m);
int32_t FlatAddSketch(PathPoint *points, int32_t m); // inputs from index 0

// Bezier forms: points and codes.
int32_t FlatAddCircle(PathPoint *points, uint32_t *codes, int32_t n);
int32_t FlatAddArc(PathPoint *points, uint32_t *codes, int32_t n, double sweep);
int32_t FlatAddArcBulge(PathPoint *points, uint32_t *codes, int32_t n, double direction, double f);
int32_t FlatAddEllipse(PathPoint *points, uint32_t *codes, int32_t n);
int32_t FlatAddEllipseArc(PathPoint *points, uint32_t *codes, int32_t n, double startParameter, double sweep);
