// The table of open symbol libraries. Slot i keeps its blocks in object list
// 13 + i; the table is kept sorted by title.
#pragma once

#include <cstdint>

#include "database/storage.h"
#include "files/file_drawinginfo.h"

constexpr int LIBRARY_PATH_SIZE = 260;
constexpr int LIBRARY_FURTHER_WORDS = 4; // kept by the library dialog and the block commands

struct LibrarySlot {
    DrawingInfo info; // its title is the library name; an empty title marks a free slot
    char path[LIBRARY_PATH_SIZE];
    uint32_t caching;  // blocks read from the file when needed
    uint32_t load;     // missing blocks may be read on demand
    uint32_t save;     // may be saved without a further question
    uint32_t modified; // changed since loaded or saved
    void *attributes;  // the library's attribute record, or none
    uint32_t further[LIBRARY_FURTHER_WORDS];
};

struct LibraryTable {
    int32_t count; // 0 to SYMBOL_LIBRARY_SLOTS
    LibrarySlot slots[SYMBOL_LIBRARY_SLOTS];
};
extern LibraryTable g_LibrarySlots;

// Empties a slot: no title or path, Caching, Load and Save on, the rest 0.
void SymbolFreeLibrarySlot(LibrarySlot *slot);
