// Object type codes and the element chain every type carries.
//
// Code that reads an object finds its points, texts and records by their
// fixed positions in its chain; the chain of each type is described once
// here (object_chain.cpp), and ObjectWriteChain lays out that chain with
// empty payloads for a creator, the file reader or a test to fill in.
#pragma once

#include <cstdint>

#include "database/unit.h"

constexpr int32_t OBJTYPE_LINE = 0;
constexpr int32_t OBJTYPE_HATCH = 1;
constexpr int32_t OBJTYPE_CIRCLE = 5;
constexpr int32_t OBJTYPE_CIRC_ARC = 6;
constexpr int32_t OBJTYPE_CIRC_SEC = 7;
constexpr int32_t OBJTYPE_CIRC_SEGM = 8;
constexpr int32_t OBJTYPE_ZIGZAG = 10;
constexpr int32_t OBJTYPE_SPLINE = 11;
constexpr int32_t OBJTYPE_CURVE = 12;
constexpr int32_t OBJTYPE_SURFACE = 13;
constexpr int32_t OBJTYPE_ELLIPSE = 15;
constexpr int32_t OBJTYPE_ELLI_ARC = 16;
constexpr int32_t OBJTYPE_ELLI_SEC = 17;
constexpr int32_t OBJTYPE_ELLI_SEGM = 18;
constexpr int32_t OBJTYPE_LINE_STR = 20;
constexpr int32_t OBJTYPE_LINE_CURVED = 21;
constexpr int32_t OBJTYPE_DIM_DIST = 25;
constexpr int32_t OBJTYPE_DIM_RAD = 26;
constexpr int32_t OBJTYPE_DIM_DIA = 27;
constexpr int32_t OBJTYPE_DIM_ANGLE = 28;
constexpr int32_t OBJTYPE_DIM_ARC = 29;
constexpr int32_t OBJTYPE_DIM_COORD = 30;
constexpr int32_t OBJTYPE_DIM_AREA = 31;
constexpr int32_t OBJTYPE_DIM_PERI = 32;
constexpr int32_t OBJTYPE_STD_TEXT = 35;
constexpr int32_t OBJTYPE_FRAME_TEXT = 36;
constexpr int32_t OBJTYPE_REF_TEXT = 37;
constexpr int32_t OBJTYPE_COMMENT = 40;
constexpr int32_t OBJTYPE_MARK = 41;
constexpr int32_t OBJTYPE_CLIP = 42;
constexpr int32_t OBJTYPE_BITMAP = 43;
constexpr int32_t OBJTYPE_GEO_LINE = 45;
constexpr int32_t OBJTYPE_GEO_CIRCLE = 46;
constexpr int32_t OBJTYPE_GEO_ELLI = 47;
constexpr int32_t OBJTYPE_TYPE_LAST = 47;

// The reserved word of a plain object's kind part.
constexpr int32_t OBJTYPE_RESERVED = -1;

// 1 for the codes above, 0 for the gaps and anything out of range.
int ObjectTypeIsKnown(int32_t type);

// What a type's chain needs beyond its fixed elements.
struct ObjectChainShape {
    uint32_t points;           // polylines (n >= 1), polygon corners + 1, marks (n >= 1)
    const char *const *texts;  // the type's texts in chain order; 0 or a 0 entry = empty
};

// Number of texts in a type's chain (dimensions 5 or 7, texts and comments 1).
int ObjectChainTextCount(int32_t type);

// Byte size of a unit of that type and shape: the 120-byte header, the chain
// and the end element. 0 for a type whose chain follows its input alone
// (Hatch, a path-built Curve) and for a shape the type cannot have.
uint32_t ObjectChainSize(int32_t type, const ObjectChainShape &shape);

// Writes the kind part (type, reserved -1) and the type's chain with zeroed
// payloads (texts copied and cut to their length), then the end element, into
// a unit buffer of `capacity` bytes, and sets the unit's kind and byte word.
// Returns the byte size, or 0 when the type has no fixed chain or the chain
// would pass the buffer or the largest unit.
uint32_t ObjectWriteChain(Unit *unit, uint32_t capacity, int32_t type, const ObjectChainShape &shape);
