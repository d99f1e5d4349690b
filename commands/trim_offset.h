// Offset (equidistant, parallel) copies of objects. The result is written
// into a target unit supplied by the caller, which must hold
// g_ObjectLimits.objectSize bytes (a unit buffer); nothing in the drawing
// changes.
#pragma once

#include "database/unit.h"
#include "geometry/calc.h"

// Most pieces of the path algorithm at any stage.
constexpr int OFFSET_MAX_PIECES = 6241;

// The offset of source at |distance| on the side of the reference point.
// Arc joins nonzero closes convex corners of paths with arcs; zero extends
// the neighbours to their intersection. Below 0: failure (an alert was
// shown); 0: success; above 0: success, that many result figures kept an open
// end where the neighbours did not meet.
int TrimEquidistant(const Unit *source, Unit *target, double distance, int arcJoins, const CalcPoint *reference);
// Lines, zigzags, circles and circular arcs: 0, or -1 for another type or
// (after alert 85) an inward offset that leaves no radius.
int TrimGeoEquidistantArc(const Unit *source, Unit *target, double distance, const CalcPoint *reference);
// 1 when p lies left of the nearest piece of the path, 0 right of it or on it;
// the figure holding that piece goes to *figure (unchanged without pieces,
// when the result is 1).
int TrimPathSideOfPoint(const Unit *path, const CalcPoint *p, int *figure);
// The path algorithm on figure `figure` at the signed distance (positive:
// left of the path's direction). -1 after an alert, else the warning count.
int TrimGeoEquidistantPath(const Unit *path, Unit *target, double distance, int arcJoins, int figure);
