// Effective pen and layer of an object, the state tests of pens and layers,
// and the filling of an XProperty from its pen.
#pragma once

#include <cstdint>

#include "database/unit.h"

// A layer outside 0 to 500 or naming a free slot becomes 0; a layer other
// than 0 whose screen property set owns the pen imposes it; then a pen
// outside 0 to 500 or naming a free slot becomes 0.
void OutputResolvePenLayer(int32_t *pen, int32_t *layer);

// Screen: set A, or set B when DisplayExtern is on. Print: set B, or set A
// when OutputIntern is on. Index 0 is always shown, never locked and never
// not pickable.
int OutputIsLayerShownScreen(int32_t layer);
int OutputIsPenShownScreen(int32_t pen);
int OutputIsLayerShownPrint(int32_t layer);
int OutputIsPenShownPrint(int32_t pen);
int OutputIsLayerLocked(int32_t layer);
int OutputIsPenLocked(int32_t pen);
int OutputIsLayerNoPick(int32_t layer);
int OutputIsPenNoPick(int32_t pen);

// dst := src with every pen-derived field src does not own taken from the
// property set of src's pen (set A when OutputIntern is on, else set B);
// nothing is filled for pen 0 or a free pen. src and dst may be the same.
int OutputPenXProperty(const XProperty *src, XProperty *dst);
