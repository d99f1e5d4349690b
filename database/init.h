// The element-header builders: each writes a complete 16-byte element header
// at the given address (reserved word, point flags and module 0) and leaves
// the payload to the caller. None of them fails or allocates.
#pragma once

#include <cstdint>

#include "database/unit.h"

// Point of the given role (kinds 0 to 99): 32 bytes, doubles x and y.
void InitElementPoint(Element *element, int16_t kind);
// Constant (kind 100): one double, 24 bytes.
void InitElementConstant(Element *element);
// Orientation (kind 101): the sense of rotation of an arc, 24 bytes.
void InitElementOrient(Element *element);
// Curve parameter (kind 102): direction and centre-offset factor, 32 bytes.
void InitElementCurve(Element *element);
// Text (kind 110) with capacity |n|: 16 + |n| rounded up to 8 bytes; the
// count keeps n, negative when the element keeps its full capacity.
void InitElementText(Element *element, int16_t n);
// End of chain (kind 999), 16 bytes.
void InitElementEnd(Element *element);
// Attribute definition (300 to 399) or value (400 to 499): 304 bytes, count 250.
void InitElementAttribute(Element *element, int16_t kind);
// Bare header of 16 bytes: the start of records and run-time sub-elements,
// whose size the caller then raises.
void InitElementEmpty(Element *element, int16_t kind);

// Size of a text element of capacity |n|.
constexpr uint32_t TextElementSize(int n)
{
    const uint32_t capacity = static_cast<uint32_t>(n < 0 ? -n : n);
    return (capacity + ELEMENT_HEADER_SIZE + 7) & ~7u;
}
// Size of a text element cut to a string of the given length (NUL included).
constexpr uint32_t TextElementCutSize(uint32_t length)
{
    return (length + 1 + ELEMENT_HEADER_SIZE + 7) & ~7u;
}

// ---------------------------------------------------------------------------
// Building a chain: a write position that starts at the first element offset
// of the unit's kind and never passes the unit buffer or the largest unit
// (g_ObjectLimits.maxUnitData bytes behind the header); room for the end
// element is always kept. An add that does not fit writes nothing, returns 0
// and marks the writer failed; every later add and InitChainEnd then fail too.

struct ChainWriter {
    Unit *unit;
    uint32_t position; // offset of the next element from the unit's start
    uint32_t limit;    // the write position may not pass this offset
    int failed;
};

// Starts at the first element offset of unit->kind (set the kind first) in a
// buffer of `capacity` bytes.
void InitChainBegin(ChainWriter *writer, Unit *unit, uint32_t capacity);
// Each writes header and payload and advances the position; 0 when full.
Element *InitChainPoint(ChainWriter *writer, int16_t kind, double x, double y);
Element *InitChainConstant(ChainWriter *writer, double value);
Element *InitChainOrient(ChainWriter *writer, double value);
Element *InitChainCurve(ChainWriter *writer, double direction, double factor);
// A text of the given capacity (250 or 8000): cut to the string's length
// (count = capacity), or kept at full size (count = -capacity). A string
// longer than capacity - 1 is cut to that many characters.
Element *InitChainText(ChainWriter *writer, const char *text, int16_t capacity, bool fullSize);
// A typed record or run-time sub-element of the given size, payload zeroed.
Element *InitChainRecord(ChainWriter *writer, int16_t kind, uint32_t size);
// Writes the end element and the unit's byte word; the byte size, or 0 when
// the writer failed.
uint32_t InitChainEnd(ChainWriter *writer);
