// Cutting out and splitting the contours of paths (Hatch, Curve, Surface).
#pragma once

#include <vector>

#include "database/unit.h"
#include "geometry/calc.h"

enum class TrimSegKind { LINE, ARC, BEZIER };

// One piece of a contour.
struct TrimSegment {
    TrimSegKind kind;
    CalcPoint p0, p1;  // start and end
    CalcPoint c1, c2;  // Bezier controls
    CalcPoint centre;  // arcs
    int ccw;           // arcs: 1 counter-clockwise
};

struct TrimContour {
    CalcPoint start;
    std::vector<TrimSegment> segments;
};

// The contours of a path object as segments; closeContours adds each
// contour's implicit closing line (Surface, Hatch) as a segment of its own.
std::vector<TrimContour> TrimReadContours(const Unit *object, bool closeContours);

// Cuts the contour of the path nearest to pick at the places nearest to
// first and second (split: an open path only at first). Cutting out keeps
// the stretch between the cuts when the pick lies outside it, else the
// rest; splitting keeps everything. A Surface's pieces become open Curves.
// The pieces and the other contours are stored behind the object, which is
// deleted unless copy mode is on. 1 when the drawing changed.
int TrimPathCut(Unit *object, const double pick[2], const double first[2], const double second[2], int split);
