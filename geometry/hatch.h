// Hatch generation: line families of a hatch definition repeated across the
// area bounded by a prepared unit buffer, anchored at the drawing's hatch
// origin and cut at the boundary, the pieces handed to open, add and close
// callbacks (the Hatch-object builders of the Poly family, or a plug-in's).
#pragma once

#include <cstdint>

#include "app/system_defs.h"
#include "geometry/poly.h"

typedef int (*HatchOpenFn)(const XProperty *attributes);
typedef int (*HatchAddFn)(const GeoObject *piece, int32_t line);
typedef int (*HatchCloseFn)();

// Most hatch lines of one family: a tiny period over a large area would
// otherwise mean millions of lines with no way to stop them.
constexpr int32_t HATCH_MAX_LINES = 200000;
// Most cells of a block pattern, for the same reason.
constexpr double HATCH_MAX_CELLS = 1000000;

// Hatches the area bounded by the objects whose flags have a bit of selector
// with the definition's line families; 1 when every part was generated.
int HatchCreate(const HatchDef *def, uint32_t selector);

// One line family: the enabled lines of the multiline, turned by angle, with
// the phase fmod(P * factor + offset, P) for the family's period P. The
// origin is the given point or, without one, the drawing's hatch origin.
int HatchEnumerateLines(const BufferData *boundary, const MultiLineDef *multiLine, double angle, double factor,
                        double offset, const double *origin, HatchOpenFn open, HatchAddFn add, HatchCloseFn close);

// The block pattern of the definition: the lines and arcs of its block at
// every cell of a turned grid through the origin (the given point or the
// drawing's hatch origin), cut at the boundary.
int HatchEnumerateBlocks(const BufferData *boundary, const HatchDef *def, const double *origin, HatchOpenFn open,
                         HatchAddFn add, HatchCloseFn close);

// 1 when (x, y) lies inside the pieces by the even-odd rule over all of
// them: an island inside an outline is left out. Arcs are tested against
// their angular range widened by tolerance (radians).
int HatchPointInside(double x, double y, const BufferSegment *pieces, int32_t count, double tolerance);

// Replaces the frame by the axis-parallel frame of its corners turned by
// angle about its centre.
void HatchRotateFrame(double frame[4], double angle);
