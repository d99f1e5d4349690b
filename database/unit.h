// Units and elements: the records every stored object is made of.
//
// A Unit is one contiguous record in the paragraph sub-allocator: a common
// header, a part that depends on the unit's kind, and a chain of Element
// records closed by an element of kind 999. Plug-in modules and the drawing
// file see these layouts byte for byte, so every offset is fixed below.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "geometry/matrix.h"

// The records plug-ins see byte for byte: XProperty, Unit and its parts,
// Element, with their flags and kinds.
#include "plugin/sdk/zvi_records.h"

constexpr double XPROP_DEFAULT_WIDTH = 0.25;
constexpr uint32_t XPROP_DEFAULT_CAPJOIN = 0x2200;

// All zero except width 0.25 and cap and join 0x2200: the start value of
// blocks, plug-in units and the records inside text and dimension elements.
inline XProperty XPropertyDefault()
{
    XProperty p{};
    p.width = XPROP_DEFAULT_WIDTH;
    p.capJoin = XPROP_DEFAULT_CAPJOIN;
    return p;
}


// Element kinds.
constexpr int16_t ELEM_POINT_FIRST = 0;
constexpr int16_t ELEM_POINT_LAST = 99;
constexpr int16_t ELEM_CONSTANT = 100;
constexpr int16_t ELEM_ORIENT = 101;
constexpr int16_t ELEM_CURVE = 102;
constexpr int16_t ELEM_TEXT = 110;
constexpr int16_t ELEM_DIM_LINE = 220;
constexpr int16_t ELEM_DIM_LARGE = 225;
constexpr int16_t ELEM_DIM_SMALL = 230;
constexpr int16_t ELEM_TEXT_STANDARD = 235;
constexpr int16_t ELEM_TEXT_FRAME = 236;
constexpr int16_t ELEM_TEXT_REFERENCE = 237;
constexpr int16_t ELEM_COMMENT = 240;
constexpr int16_t ELEM_CLIP_SURFACE = 242;
constexpr int16_t ELEM_BITMAP_REF = 243;
constexpr int16_t ELEM_ATTR_DEF_FIRST = 300;   // attribute definitions of a block
constexpr int16_t ELEM_ATTR_DEF_LAST = 399;
constexpr int16_t ELEM_ATTR_VALUE_FIRST = 400; // attribute values of an instance
constexpr int16_t ELEM_ATTR_VALUE_LAST = 499;
constexpr int16_t ELEM_END = 999;

// Point roles (kinds 0 to 99 that the geometry reads).
constexpr int16_t POINT_AUX = 0;
constexpr int16_t POINT_START = 1;
constexpr int16_t POINT_LINE = 2;
constexpr int16_t POINT_CENTRE = 3;
constexpr int16_t POINT_ON_CIRCLE = 4;
constexpr int16_t POINT_ARC_END = 5;
constexpr int16_t POINT_AXIS_END = 6;
constexpr int16_t POINT_CONTROL1 = 7;
constexpr int16_t POINT_CONTROL2 = 8;
constexpr int16_t POINT_ARC_PIECE_END = 9;
constexpr int16_t POINT_MARK = 10;

// Run-time sub-elements: values derived by the frame step, never filed.
constexpr int16_t ELEM_SUB_CIRCLE_ARC = -1;   // CircArc, CircSec, CircSegm
constexpr int16_t ELEM_SUB_ELLIPSE_ARC = -2;  // ElliArc, ElliSec, ElliSegm
constexpr int16_t ELEM_SUB_LINESTR = -3;
constexpr int16_t ELEM_SUB_LINECURVED = -4;
constexpr int16_t ELEM_SUB_DIM_LINEAR = -5;   // DimDist, DimRad, DimDia
constexpr int16_t ELEM_SUB_DIM_ANGULAR = -6;  // DimAngle, DimArc
constexpr int16_t ELEM_SUB_DIM_LABEL = -7;    // DimCoord, DimArea, DimPeri
constexpr int16_t ELEM_SUB_REFTEXT = -8;

// Value types.
constexpr uint16_t VALUE_RECORD = 0;
constexpr uint16_t VALUE_INTEGERS = 1;
constexpr uint16_t VALUE_DOUBLES = 2;
constexpr uint16_t VALUE_POINTS = 3;
constexpr uint16_t VALUE_COLORS = 4;
constexpr uint16_t VALUE_PROPERTY = 5;
constexpr uint16_t VALUE_XPROPERTY = 6;
constexpr uint16_t VALUE_FONTDEF = 7;
constexpr uint16_t VALUE_STRING = 8;
constexpr uint16_t VALUE_BINARY = 9;

// Element sizes.
constexpr uint32_t ELEM_SIZE_POINT = 32;
constexpr uint32_t ELEM_SIZE_CONSTANT = 24;
constexpr uint32_t ELEM_SIZE_ORIENT = 24;
constexpr uint32_t ELEM_SIZE_CURVE = 32;
constexpr uint32_t ELEM_SIZE_DIM_LINE = 32;
constexpr uint32_t ELEM_SIZE_DIM_LARGE = 264;
constexpr uint32_t ELEM_SIZE_DIM_SMALL = 192;
constexpr uint32_t ELEM_SIZE_TEXT_STANDARD = 216;
constexpr uint32_t ELEM_SIZE_TEXT_FRAME = 176;
constexpr uint32_t ELEM_SIZE_TEXT_REFERENCE = 40;
constexpr uint32_t ELEM_SIZE_COMMENT = 88;
constexpr uint32_t ELEM_SIZE_CLIP_SURFACE = 248;
constexpr uint32_t ELEM_SIZE_BITMAP_REF = 320;
constexpr uint32_t ELEM_SIZE_ATTRIBUTE = 304;
constexpr uint32_t ELEM_SIZE_END = 16;
constexpr uint32_t ELEM_SIZE_SUB_CIRCLE_ARC = 24;
constexpr uint32_t ELEM_SIZE_SUB_ELLIPSE_ARC = 32;
constexpr uint32_t ELEM_SIZE_SUB_LINESTR = 32;
constexpr uint32_t ELEM_SIZE_SUB_LINECURVED = 56;
constexpr uint32_t ELEM_SIZE_SUB_DIM_LINEAR = 192;
constexpr uint32_t ELEM_SIZE_SUB_DIM_ANGULAR = 216;
constexpr uint32_t ELEM_SIZE_SUB_DIM_LABEL = 40;
constexpr uint32_t ELEM_SIZE_SUB_REFTEXT = 160;

// Text capacities and the attribute element's fields.
constexpr int16_t TEXT_CAPACITY_SHORT = 250;
constexpr int16_t TEXT_CAPACITY_LONG = 8000;
constexpr int ATTRIBUTE_NAME_SIZE = 32;
constexpr int ATTRIBUTE_TEXT_SIZE = 256;
constexpr int16_t ATTRIBUTE_TEXT_CAPACITY = 250;
// Typed records holding an XProperty keep it 80 bytes into their payload.
constexpr uint32_t RECORD_XPROPERTY_OFFSET = 80;
// The binary chunk of a plug-in data record: 16 + payload, at most 144 payload bytes.
constexpr uint32_t ELEM_BINARY_MAX_PAYLOAD = 144;

// A point element's payload: x, y in millimetres.
struct ElementPoint {
    Element head;
    double x;
    double y;
};
static_assert(sizeof(ElementPoint) == ELEM_SIZE_POINT);
static_assert(offsetof(ElementPoint, x) == 16);
static_assert(offsetof(ElementPoint, y) == 24);

// ---------------------------------------------------------------------------
// Chain access.

inline bool ElementIsPoint(const Element *e)
{
    return e->kind >= ELEM_POINT_FIRST && e->kind <= ELEM_POINT_LAST;
}

inline void *ElementPayload(Element *e) { return reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE; }
inline const void *ElementPayload(const Element *e)
{
    return reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE;
}

inline Element *ElementNext(Element *e) { return reinterpret_cast<Element *>(reinterpret_cast<uint8_t *>(e) + e->size); }
inline const Element *ElementNext(const Element *e)
{
    return reinterpret_cast<const Element *>(reinterpret_cast<const uint8_t *>(e) + e->size);
}

// Offset of the first element of a unit of the given kind (0 for an unknown kind).
inline uint32_t UnitElementOffset(int32_t kind)
{
    switch (kind) {
    case UNIT_KIND_OBJECT: return UNIT_ELEMENTS_OBJECT;
    case UNIT_KIND_INSTANCE: return UNIT_ELEMENTS_INSTANCE;
    case UNIT_KIND_BLOCK: return UNIT_ELEMENTS_BLOCK;
    case UNIT_KIND_PLUGIN: return UNIT_ELEMENTS_PLUGIN;
    default: return 0;
    }
}

inline Element *UnitFirstElement(Unit *unit)
{
    return reinterpret_cast<Element *>(reinterpret_cast<uint8_t *>(unit) + UnitElementOffset(unit->kind));
}
inline const Element *UnitFirstElement(const Unit *unit)
{
    return reinterpret_cast<const Element *>(reinterpret_cast<const uint8_t *>(unit) + UnitElementOffset(unit->kind));
}

// The number-th element (counting from 1) of a unit's chain, or 0 when the
// chain ends before it.
Element *UnitElementAt(Unit *unit, int number);
// Bytes from the first element up to and including the end element; 0 when
// the chain runs past `limit` bytes of the unit without an end element or
// holds an element of size 0.
uint32_t UnitChainBytes(const Unit *unit, uint32_t limit);

// Calls visit(element) for every element before the end element, within the
// unit's byte word; stops at an element too small to be one.
template <typename Visit>
void UnitForEachElement(Unit *unit, Visit visit)
{
    const uint8_t *end = reinterpret_cast<const uint8_t *>(unit) + unit->bytes;
    for (Element *e = UnitFirstElement(unit); reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end &&
                                              e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e))
        visit(e);
}

// The n-th point element (counting from 0), or 0.
const ElementPoint *UnitPointAt(const Unit *unit, int n);
