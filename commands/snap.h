// Snapping: a click in a drawing window is moved to a characteristic point of
// the drawing near the pointer (middles, centres, quadrants, nearest points,
// end points, intersections, marks, special points).
#pragma once

#include <cstdint>

#include "geometry/calc.h"
#include "geometry/matrix.h"

struct Unit;

// Mode bits of the snap settings' mode word; the search reads the low byte.
constexpr uint32_t SNAP_MIDDLE = 1;
constexpr uint32_t SNAP_QUADRANT = 2;
constexpr uint32_t SNAP_NEAREST = 4;
constexpr uint32_t SNAP_ENDPOINTS = 8;
constexpr uint32_t SNAP_INTERSECTIONS = 16;
constexpr uint32_t SNAP_CONSTRUCTION = 32;
constexpr uint32_t SNAP_MARKS = 64;
constexpr uint32_t SNAP_SPECIAL = 128;
constexpr uint32_t SNAP_SEARCH_MODES = 0xFF;
constexpr uint32_t SNAP_ELEMENT_MODES = SNAP_MIDDLE | SNAP_QUADRANT | SNAP_NEAREST;
constexpr uint32_t SNAP_POINT_MODES = 0xF8;

// Nothing found.
constexpr double SNAP_NOTHING = 1e300;

struct SnapResult {
    double x;
    double y;
    double distance; // from the pointer, millimetres; SNAP_NOTHING when nothing was found
    uint32_t kind;   // the mode value that produced the point; 0 when nothing was found
};

// The search of a click in window 0 to 3 or 999 at the raw pointer position.
void SnapFindPoint(int window, double x, double y, SnapResult *result);

// Makes SnapFindPoint the snap search of the drawing windows' clicks.
void SnapInstall();

// Every intersection of two geometry records (segment, endless line, circle,
// arc, Bezier piece, ellipse, elliptic arc): the points go to the path
// buffer's points from index 0, the count (0 to SNAP_MAX_CROSSINGS) is
// returned. flags nonzero leaves out crossings where an end point of one
// record meets an end point of the other.
constexpr int SNAP_MAX_CROSSINGS = 16;
int SnapIntersectObjects(const GeoObject *a, const GeoObject *b, int flags);

// The intersection modes (16 and 32): improves `best` with the crossing
// nearest to (x, y) among the objects in the distance module's search box,
// their instances' members and the running command's reference geometry.
void SnapMarkIntersectionCandidates(double x, double y, SnapResult *best);

// The geometry records of a plain object (mapped by m when it lies inside an
// instance), those outside the search box left out; the number written.
int SnapObjectRecords(const Unit *object, GeoObject *records, int capacity, const Matrix *m);
