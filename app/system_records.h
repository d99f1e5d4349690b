// Records that the settings embed: the font record of texts (defined with the
// other filed records) and the selection filter, whose owner (dialogs) has no
// header yet. The layout is the filed and plug-in visible one, checked below,
// so moving it to its owner's header later changes nothing else.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "app/system_defs.h"
#include "database/unit.h"
#include "files/file_records.h" // FontDef

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
