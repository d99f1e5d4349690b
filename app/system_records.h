// Records that the settings embed whose owners have no header yet: the font
// record of texts (files) and the selection filter (dialogs). The layouts are
// the filed and plug-in visible ones, checked below, so moving them to their
// owners' headers later changes nothing else.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "app/system_defs.h"
#include "database/unit.h"

constexpr int FONT_FACE_SIZE = 64;

// Font of a text or dimension record.
struct FontDef {
    uint32_t kind;   // first field: 0 = no font named
    uint32_t style;  // style bits
    uint32_t weight;
    char face[FONT_FACE_SIZE];
};
static_assert(sizeof(FontDef) == 76);

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
