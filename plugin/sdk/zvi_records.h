// The records a plug-in shares with darad4 byte for byte: matrices, the
// attributes of objects, fonts, stored objects (Unit) and their elements.
// Part of the plug-in SDK: this folder is all a plug-in needs to include.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "zvi_matrix.h"

// ---------------------------------------------------------------------------
// FontDef

constexpr int FONT_FACE_SIZE = 64;

// Font of a text or dimension record.
struct FontDef {
    uint32_t kind;   // first field: 0 = no font named
    uint32_t style;  // style bits
    uint32_t weight;
    char face[FONT_FACE_SIZE];
};
static_assert(sizeof(FontDef) == 76);

// ---------------------------------------------------------------------------
// XProperty: the attributes of a unit and of the text and dimension records
// inside elements.

// Own flags: the fields a record sets itself instead of taking them from its pen.
constexpr uint32_t XPROP_OWN_PEN = 0x1;
constexpr uint32_t XPROP_OWN_FILL = 0x2;
constexpr uint32_t XPROP_OWN_COLOR1 = 0x4;
constexpr uint32_t XPROP_OWN_COLOR2 = 0x8;
constexpr uint32_t XPROP_OWN_WIDTH = 0x10;
constexpr uint32_t XPROP_OWN_LINETYPE = 0x20;
constexpr uint32_t XPROP_OWN_LAYER = 0x40;
constexpr uint32_t XPROP_OWN_CAPJOIN = 0x80;

struct XProperty {
    uint32_t ownFlags;
    int32_t pen;       // 0 to 500; pen 0 draws with the values stored here
    int32_t fillMode;  // 0 outline; 1 filled; 2 filled and outlined; 3, 4 as 1, 2 in the background colour
    COLORREF color1;   // the fill colour (and a text's colour)
    COLORREF color2;   // the line colour
    int32_t lineType;
    double width;      // millimetres
    uint32_t capJoin;  // end-cap and join word
    int32_t layer;     // 0 to 500
};
static_assert(sizeof(XProperty) == 40);
static_assert(offsetof(XProperty, ownFlags) == 0);
static_assert(offsetof(XProperty, pen) == 4);
static_assert(offsetof(XProperty, fillMode) == 8);
static_assert(offsetof(XProperty, color1) == 12);
static_assert(offsetof(XProperty, color2) == 16);
static_assert(offsetof(XProperty, lineType) == 20);
static_assert(offsetof(XProperty, width) == 24);
static_assert(offsetof(XProperty, capJoin) == 32);
static_assert(offsetof(XProperty, layer) == 36);

// ---------------------------------------------------------------------------
// Unit

// Unit kinds.
constexpr int32_t UNIT_KIND_OBJECT = 0;   // plain object, also plug-in data records
constexpr int32_t UNIT_KIND_INSTANCE = 1;
constexpr int32_t UNIT_KIND_BLOCK = 2;
constexpr int32_t UNIT_KIND_PLUGIN = 9;   // plug-in object

// Flag word.
constexpr uint32_t UNIT_USER_MARK = 0x1;
constexpr uint32_t UNIT_HIGHLIGHTED = 0x2;      // shown by the multiple-identification dialog
constexpr uint32_t UNIT_SELECTED = 0x4;
constexpr uint32_t UNIT_POINTS_SELECTED = 0x8;  // the only bit a created unit keeps
constexpr uint32_t UNIT_CHANGED = 0x10;
constexpr uint32_t UNIT_SELECTION_REDRAW = 0x20;
constexpr uint32_t UNIT_MARKED = 0x40;
constexpr uint32_t UNIT_TEMPORARY = 0x80;
constexpr uint32_t UNIT_TRANSFORM = 0x100;
constexpr uint32_t UNIT_DISAPPEARED = 0x400;
constexpr uint32_t UNIT_APPEARED = 0x800;
constexpr uint32_t UNIT_SHORT_MARKS = 0x0F00;   // cleared as a whole
constexpr uint32_t UNIT_HIDDEN = 0x1000;
constexpr uint32_t UNIT_NOT_PRINTABLE = 0x2000;
constexpr uint32_t UNIT_LOCKED = 0x4000;
constexpr uint32_t UNIT_NOT_PICKABLE = 0x8000;
// What the user can touch: neither hidden nor locked (filter mask, value 0).
constexpr uint32_t UNIT_USER_FILTER_MASK = UNIT_HIDDEN | UNIT_LOCKED;

// Lifetime stamps and idents.
constexpr int32_t UNIT_BIRTH_ALWAYS = -1000000001; // has always existed
constexpr int32_t UNIT_DEATH_ALIVE = 1000000001;   // not deleted
constexpr int32_t UNIT_NO_IDENT = (int32_t)0x80000001;

// Block state, kept in the ident word of block units.
constexpr int32_t BLOCK_STATE_UNCHANGED = 0;
constexpr int32_t BLOCK_STATE_CHANGED = 1;
constexpr int32_t BLOCK_STATE_DELETED = 3;

constexpr int UNIT_NAME_SIZE = 64;       // library and block names
constexpr int32_t LIBRARY_INDEX_OWN = 999; // the drawing's own blocks
constexpr int32_t UNIT_INDEX_UNRESOLVED = -1;

struct Unit;

// Kind 0: plain object and plug-in data record.
struct UnitObjectPart {
    int32_t type;     // object type code 0 to 47; the key of a plug-in data record
    int32_t reserved; // always -1
};

// Kind 1 (instance) and kind 9 (plug-in object).
struct UnitInstancePart {
    char library[UNIT_NAME_SIZE]; // "*" = the drawing's own blocks
    char block[UNIT_NAME_SIZE];
    Matrix placement;
    int32_t libraryIndex;         // cached slot, 999 own blocks, -1 not yet resolved
    int32_t blockIndex;           // cached index in that library's index, -1 not yet resolved
    int32_t unresolved;           // INSTANCE_CLOSES_CYCLE: never expanded
    uint32_t userFlags;           // kind 9 only; kind 1 elements start here
};

// The unresolved word of an instance that would re-enter a block it lies in:
// drawing, frames, picking, explosion and export do not follow it.
constexpr int32_t INSTANCE_CLOSES_CYCLE = 2;

// Kind 2: block.
struct UnitBlockPart {
    char name[UNIT_NAME_SIZE];    // may hold backslashes as group separators
    double blockFrame[4];         // members' frame relative to the reference point
    Unit *firstMember;
    Unit *lastMember;
};

struct Unit {
    uint32_t paragraphs; // 16-byte paragraphs of the allocator block
    uint32_t bytes;      // header, kind part and the whole element chain
    Unit *prev;          // in its list or its block's member chain
    Unit *next;
    double frame[4];     // xmin, ymin, xmax, ymax; empty = (1e300, 1e300, -1e300, -1e300)
    int32_t ident;       // block units: the block state
    uint32_t flags;
    int32_t birth;
    int32_t death;
    int32_t module;      // plug-in module number, 0 for the program's own units
    int32_t kind;
    XProperty property;
    union {
        UnitObjectPart object;
        UnitInstancePart instance;
        UnitBlockPart block;
    };
};

static_assert(offsetof(Unit, paragraphs) == 0);
static_assert(offsetof(Unit, bytes) == 4);
static_assert(offsetof(Unit, prev) == 8);
static_assert(offsetof(Unit, next) == 12);
static_assert(offsetof(Unit, frame) == 16);
static_assert(offsetof(Unit, ident) == 48);
static_assert(offsetof(Unit, flags) == 52);
static_assert(offsetof(Unit, birth) == 56);
static_assert(offsetof(Unit, death) == 60);
static_assert(offsetof(Unit, module) == 64);
static_assert(offsetof(Unit, kind) == 68);
static_assert(offsetof(Unit, property) == 72);
static_assert(offsetof(Unit, object) == 112);
static_assert(offsetof(Unit, object.type) == 112);
static_assert(offsetof(Unit, object.reserved) == 116);
static_assert(offsetof(Unit, instance.library) == 112);
static_assert(offsetof(Unit, instance.block) == 176);
static_assert(offsetof(Unit, instance.placement) == 240);
static_assert(offsetof(Unit, instance.libraryIndex) == 288);
static_assert(offsetof(Unit, instance.blockIndex) == 292);
static_assert(offsetof(Unit, instance.unresolved) == 296);
static_assert(offsetof(Unit, instance.userFlags) == 300);
static_assert(offsetof(Unit, block.name) == 112);
static_assert(offsetof(Unit, block.blockFrame) == 176);
static_assert(offsetof(Unit, block.firstMember) == 208);
static_assert(offsetof(Unit, block.lastMember) == 212);
static_assert(sizeof(void *) == 4, "the unit layout assumes 32-bit pointers");

// Offset of the first element by kind.
constexpr uint32_t UNIT_COMMON_SIZE = 112;
constexpr uint32_t UNIT_ELEMENTS_OBJECT = 120;
constexpr uint32_t UNIT_ELEMENTS_BLOCK = 216;
constexpr uint32_t UNIT_ELEMENTS_INSTANCE = 300;
constexpr uint32_t UNIT_ELEMENTS_PLUGIN = 304;
static_assert(UNIT_COMMON_SIZE == offsetof(Unit, object));
static_assert(UNIT_ELEMENTS_OBJECT == offsetof(Unit, object) + sizeof(UnitObjectPart));
static_assert(UNIT_ELEMENTS_BLOCK == offsetof(Unit, block) + sizeof(UnitBlockPart));
static_assert(UNIT_ELEMENTS_INSTANCE == offsetof(Unit, instance.userFlags));
static_assert(UNIT_ELEMENTS_PLUGIN == offsetof(Unit, instance) + sizeof(UnitInstancePart));

// ---------------------------------------------------------------------------
// Element: a typed data record of a unit's chain (16-byte header, then payload).

struct Element {
    uint32_t size;        // bytes including the header; a multiple of 8 (binary chunks aside)
    uint16_t reserved;
    uint16_t pointFlags;  // point elements only
    uint16_t module;      // writer's module number, 0 for the program
    int16_t kind;
    uint16_t valueType;
    int16_t count;        // texts: capacity, negative when kept at full size
};
static_assert(sizeof(Element) == 16);
static_assert(offsetof(Element, size) == 0);
static_assert(offsetof(Element, reserved) == 4);
static_assert(offsetof(Element, pointFlags) == 6);
static_assert(offsetof(Element, module) == 8);
static_assert(offsetof(Element, kind) == 10);
static_assert(offsetof(Element, valueType) == 12);
static_assert(offsetof(Element, count) == 14);

constexpr uint32_t ELEMENT_HEADER_SIZE = 16;

// Point flags.
constexpr uint16_t POINT_FRAME_FLAG = 0x1;
constexpr uint16_t POINT_SELECTED = 0x4;
constexpr uint16_t POINT_REDRAW = 0x20;
constexpr uint16_t POINT_MARKED = 0x40;
constexpr uint16_t POINT_MOVED = 0x100;
