// Conversions of one object's element chain into another form, written into
// a target buffer of the scratch size (Universal1 or Uni2). Each leaves a
// plain byte copy of the source in the target when the conversion does not
// apply, so that a caller may store the target either way.
#pragma once

#include <cstdint>

#include "database/unit.h"

// A form that every affine matrix maps exactly: circles and circular arcs,
// sectors and segments become their elliptic twins, a construction circle a
// construction ellipse. 1 when converted, 0 when the type needs nothing.
int TransformDistortable(const Unit *source, Unit *target);
// The same object joining its start and end in the other direction (arcs,
// sectors, segments of circles and ellipses, and curved line strings).
int TransformInvert(const Unit *source, Unit *target);
// The object as the new type where its geometry allows; 0 otherwise.
int TransformObjectType(const Unit *source, Unit *target, int32_t newType);
