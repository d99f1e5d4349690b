// Chain access and the path walk that the distance and the element collection share.
#pragma once

#include "database/unit.h"

// The number-th element of a chain (from 1), or null.
const Element *DistanceElementAt(const Unit *object, int number);
// The same when it is a whole point element.
const ElementPoint *DistancePointAt(const Unit *object, int number);
// The doubles of the number-th element when it has the given kind.
const double *DistanceValuesAt(const Unit *object, int number, int16_t kind);

