// Units and their element chains as records of the drawing file.
#pragma once

#include <cstdint>

#include "database/unit.h"

constexpr int32_t FILE_UNIT_END = 999; // the kind of the end-of-list record

// The name of an object type in comments ("Line", "CircArc" ...), or "?".
const char *FileObjectTypeName(int32_t type);

// Writes the header by kind and the element chain; with comments a comment
// line naming the unit precedes it. A unit of another kind writes nothing
// and gives 1.
int FileWriteUnit(const Unit *unit, int withComments);
// Every element from the first up to and including the end element; run-time
// elements (negative kinds) are left out.
int FileWriteElements(const Element *first);
// The end-of-list record ",999;".
int FileWriteUnitListEnd();

// Reads one unit into a buffer of capacity bytes: the unit's size, 0 for the
// end-of-list record, -1 on failure (reported). Every element is checked
// against the room left in the unit, the object type against its element
// layout, and the indices of its records against their tables.
int32_t FileReadUnit(Unit *unit, uint32_t capacity);
// Reads one element into at most room bytes: its size (a multiple of 8), or
// -1 when it cannot be read or does not fit.
int32_t FileReadElement(Element *element, uint32_t room);
