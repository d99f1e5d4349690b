// Dimension upkeep and the edit of one object (object_dim_edit.cpp).
#pragma once

#include <cstdint>

// Recomputes every alive dimension of the drawing (no undo backup); 1 when
// any was found. g_ExtentsRect and g_ChangedRect: the frames before and after.
int ObjectRefreshDimensions();
// The edits of the dimension picked at the running command's first step,
// with its second construction point as the target; 1 when stored.
int ObjectSetDimensionDirection();
int ObjectMoveDimensionLine();
int ObjectSetDimensionTextDirection();
int ObjectMoveDimensionText();
// Regenerates the dimensions among the alive objects carrying every bit of
// mask, in an undo step of its own; 1 when any was regenerated.
int ObjectRegenerateDimensions(uint32_t mask);
// The texts of the first alive object carrying every bit of mask in their
// dialog (dimensions, texts); 1 when the object was changed.
int ObjectEditIdentified(uint32_t mask);
