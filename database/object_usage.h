// Pen and layer usage: which of the 501 pens or layers some object ends up
// drawn with once every inheritance is resolved, hidden ones included.
#pragma once

#include <cstdint>

#include "database/unit.h"

constexpr int USAGE_ENTRIES = 501;

// Clear used[] and flag every pen or layer in use by the drawing, its own
// blocks and, with withLibraries, the open symbol libraries. Result 1.
int ObjectScanLayerUse(uint32_t used[USAGE_ENTRIES], int withLibraries);
int ObjectScanPenUse(uint32_t used[USAGE_ENTRIES], int withLibraries);

// One unit of any kind: 1, or 0 for a kind that is not handled.
int ObjectMarkLayerUseAny(Unit *unit, uint32_t used[USAGE_ENTRIES]);
int ObjectMarkPenUseAny(Unit *unit, uint32_t used[USAGE_ENTRIES]);

// The layer or pen of a plain object's annotation part under parent, or -1
// for a type without one.
int32_t ObjectLayerOfAnnotation(const Unit *object, const XProperty *parent);
int32_t ObjectPenOfAnnotation(const Unit *object, const XProperty *parent);
