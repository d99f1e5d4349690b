// Which pens and layers the drawing's objects and own blocks use (library
// blocks not included).
#pragma once

#include <cstdint>

// used[i] becomes 1 for every pen (layer) a living unit of the drawing
// refers to, else 0; used has room for PEN_SLOTS (LAYER_SLOTS) entries.
void ObjectScanPenUse(uint8_t *used);
void ObjectScanLayerUse(uint8_t *used);
