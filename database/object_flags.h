// Display flags and resolved properties: whether an object is drawn,
// printed, selectable or pickable follows from its effective layer and pen
// and a few drawing switches, cached in four bits of its flag word; and the
// pen-derived values cached in the objects' XProperty records.
#pragma once

#include <cstdint>

#include "database/unit.h"

constexpr uint32_t UNIT_DISPLAY_BITS = UNIT_HIDDEN | UNIT_NOT_PRINTABLE | UNIT_LOCKED | UNIT_NOT_PICKABLE;

// Recomputes the display bits of one unit (kinds 0, 1 and 9; other kinds are
// left alone). A unit that becomes hidden or locked loses its user mark, its
// point selection and its ident. Result 1 when its layer or pen hides it.
int ObjectUpdateDisplayFlags(Unit *unit);

// The same for every unit of list 0, whatever its lifetime. Result 1 when a
// unit that became hidden or locked carried a user mark (on itself or on a
// point); with alert, the user is then told.
int ObjectUpdateDisplayFlagsAll(int alert);

// Default pen and layer slots naming no defined pen or layer become -1. Result 1.
int ObjectValidateDefaultSlots();

// Refresh the pen-derived values of a unit's XProperty (and, for a plain
// object, of those inside its dimension and text records) from its pen.
void ObjectResolveElementProperties(Unit *unit);
void ObjectResolveProperty(Unit *unit);
// Both over every member of every block of the symbol libraries and of the
// drawing's own blocks, and every unit of list 0.
void ObjectResolveAllProperties();
