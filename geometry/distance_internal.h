// Chain access and the path walk that the distance and the element collection share.
#pragma once

#include <functional>

#include "database/unit.h"

// The number-th element of a chain (from 1), or null.
const Element *DistanceElementAt(const Unit *object, int number);
// The same when it is a whole point element.
const ElementPoint *DistancePointAt(const Unit *object, int number);
// The doubles of the number-th element when it has the given kind.
const double *DistanceValuesAt(const Unit *object, int number, int16_t kind);

// The pieces of a path object (Hatch, Curve, Surface, Clip) in chain order.
// line: closing is true for the closing edge of a contour (not for Hatch and Curve).
// arc: from the current point to the arc's end with the curve element's direction and factor.
struct DistancePathVisitor {
    std::function<void(double, double, double, double, bool closing)> line;
    std::function<void(double, double, double, double, double, double, double, double)> bezier;
    std::function<void(double, double, double, double, double direction, double factor)> arc;
};
void DistanceWalkPath(const Unit *object, const DistancePathVisitor &visit);
