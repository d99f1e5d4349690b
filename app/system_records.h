// Records that the settings embed but whose owners live in other modules: the
// attribute record of units (database), the font record of texts (files), the
// page record (definition tables) and the selection filter (dialogs).
//
// They are declared here only until the owning headers exist; the layouts are
// the filed and plug-in visible ones, checked below, so replacing this header by
// includes of the owners' headers changes nothing else.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Attributes of a unit and of the records inside text and dimension elements.
struct XProperty {
    uint32_t ownFlags;  // which fields the record sets itself
    int32_t pen;
    int32_t fillMode;
    COLORREF color1;
    COLORREF color2;
    int32_t lineType;
    double width;       // millimetres
    uint32_t capJoin;   // end-cap and join bits
    int32_t layer;
};
static_assert(sizeof(XProperty) == 40);
static_assert(offsetof(XProperty, width) == 24 && offsetof(XProperty, layer) == 36);

constexpr int FONT_FACE_SIZE = 64;

// Font of a text or dimension record.
struct FontDef {
    uint32_t kind;   // first field: 0 = no font named
    uint32_t style;  // style bits
    uint32_t weight;
    char face[FONT_FACE_SIZE];
};
static_assert(sizeof(FontDef) == 76);

// One page of the drawing.
struct PageDef {
    int32_t format;      // paper table index, 0 = free size
    int32_t orientation; // 2 landscape
    int32_t anchor;      // 1 to 9
    int32_t reserved;
    double refX, refY;
    double width, height; // millimetres
};
static_assert(sizeof(PageDef) == 48);

constexpr int SELECTION_FILTER_NAME_SIZE = 32;
constexpr int SELECTION_FILTER_TYPES = 50;

// A selection filter: the current one and the eight stored ones.
struct SelectionFilter {
    char name[SELECTION_FILTER_NAME_SIZE];
    uint32_t enabled;
    uint32_t firstVisibleType;
    uint32_t propertyMask;
    uint32_t classFlags;
    uint32_t typeFlags[SELECTION_FILTER_TYPES];
    XProperty values;
};
static_assert(sizeof(SelectionFilter) == 288);
static_assert(offsetof(SelectionFilter, values) == 248);
