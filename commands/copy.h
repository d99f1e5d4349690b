// Divisions and multiple copies: a length divided by a spacing rule, the
// division turned into points or placements along lines, circles, arcs,
// ellipses and grids, polar and linear arrays, marker points as targets, and
// the copying of the selection to a list of placements.
#pragma once

#include <cstdint>

#include "commands/copy_settings.h"

// The most pairs a division can give within the dialog's ranges.
constexpr int COPY_DIVISION_MAX = 1001;
// Mode 3 and 4 give up after this many distances without reaching the length.
constexpr int COPY_SERIES_LIMIT = 1000;

struct CopyPair {
    double fraction; // 0 to 1 of the length
    double distance; // millimetres
};

struct CopyPlacement {
    double x, y;
    double rotation; // radians
};

struct CopyPoint {
    double x, y;
};

// Number of pairs (at most COPY_DIVISION_MAX); -1 for an invalid rule or a
// length of 0 or less; 0 for an unknown mode.
int CopyDivideLength(double length, const ConstructionSettings *s, CopyPair *out);

// Points along shapes by the first spacing rule of the command defaults;
// the division's result is passed on (-1 invalid, 0 nothing). Arrays hold
// COPY_DIVISION_MAX entries.
int CopyDivideLine(CopyPoint p, CopyPoint q, CopyPoint *out);
int CopyDivideCircle(CopyPoint c, CopyPoint on, int ccw, CopyPoint *out);
int CopyDivideCircArc(CopyPoint c, CopyPoint on, CopyPoint s, CopyPoint e, int ccw, CopyPoint *out);
int CopyDivideEllipse(CopyPoint c, CopyPoint p1, CopyPoint p2, int ccw, CopyPoint *out);
int CopyDivideElliArc(CopyPoint c, CopyPoint p1, CopyPoint p2, CopyPoint s, CopyPoint e, int ccw, CopyPoint *out);
// The grid by both rules; -1 when the points would not fit into one object.
int CopyDivideGrid(CopyPoint k, CopyPoint q1, CopyPoint q2, CopyPoint *out);

int CopyPlaceLine(CopyPoint p, CopyPoint q, CopyPlacement *out);
int CopyPlaceCircle(CopyPoint c, CopyPoint on, int ccw, CopyPlacement *out);
int CopyPlaceCircArc(CopyPoint c, CopyPoint on, CopyPoint s, CopyPoint e, int ccw, CopyPlacement *out);
int CopyPlaceEllipse(CopyPoint c, CopyPoint p1, CopyPoint p2, int ccw, CopyPlacement *out);
int CopyPlaceElliArc(CopyPoint c, CopyPoint p1, CopyPoint p2, CopyPoint s, CopyPoint e, int ccw, CopyPlacement *out);
int CopyPlaceGrid(CopyPoint k, CopyPoint q1, CopyPoint q2, CopyPlacement *out, int capacity);

// n - 1 placements at the centre turned by k * 2pi / n (n at least 2).
int CopyPolarArrayPositions(CopyPoint c, int n, CopyPlacement *out);
// n placements at b + k (s - b).
int CopyLinearArrayPositions(CopyPoint b, CopyPoint s, int n, CopyPlacement *out);
// The points of the marker objects carrying mask; -1 when capacity is reached.
int CopyCollectMarkPoints(CopyPlacement *out, int capacity, uint32_t mask);

// Duplicates every alive object carrying mask in front of itself, created in
// the current step and marked for transformation only; 0 when one fails.
int CopyDuplicateSelection(uint32_t mask);
// One copy of the objects carrying mask per placement, moved from the
// reference point to it (and turned, with rotate); the copies' frame goes to
// g_ChangedRect. 0 after a failed duplication (the caller cancels the step).
int CopySelectionToPoints(const CopyPlacement *placements, int count, CopyPoint reference, uint32_t mask,
                          int rotate);
