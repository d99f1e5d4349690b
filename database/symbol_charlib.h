// The table of open character libraries: vector fonts whose characters are
// blocks named by their decimal code. Slot i keeps its blocks in object list
// 3 + i; the table is kept sorted by title.
#pragma once

#include <cstdint>

#include "database/storage.h"
#include "files/file_drawinginfo.h"
#include "files/file_records.h" // FontDef

constexpr int CHAR_CODE_FIRST = 32;
constexpr int CHAR_CODE_LAST = 255;
constexpr int CHAR_CODE_COUNT = CHAR_CODE_LAST - CHAR_CODE_FIRST + 1; // 224
constexpr int CHAR_LIBRARY_PATH_SIZE = 260;

struct CharLibrarySlot {
    DrawingInfo info; // its title is the font name texts refer to; empty = free slot
    char path[CHAR_LIBRARY_PATH_SIZE];
    Unit *characters[CHAR_CODE_COUNT]; // the block of each code 32 to 255, or 0
    uint32_t added;   // filled from a file in the font dialog, not loaded yet
    uint32_t remove;  // the loaded library is to be closed
};

struct CharLibraryTable {
    int32_t count; // 0 to CHAR_LIBRARY_SLOTS
    CharLibrarySlot slots[CHAR_LIBRARY_SLOTS];
};
extern CharLibraryTable g_CharLibrarySlots;

// The default library font, which texts naming no open library fall back to,
// and the fill mode of new Windows-font texts are g_DefaultFont and
// g_FontFillMode (app/system.h), kept with the options.

// Empties the table.
void SymbolInitCharLibraries();
// The library whose title equals the font's face (exact, table order), or -1.
int SymbolFindCharLibrary(const FontDef *font);
// The library whose title equals the name without regard to case, or -1.
int SymbolFindCharLibraryName(const char *name);
// The character block of an open library, or 0 (invalid library or code).
Unit *SymbolGetCharBlock(int library, int code);
// Fills every slot's character table from its blocks' names; a later block
// with the same code wins.
void SymbolIndexCharLibraries();
// Sorts the slots with a title by title, their object lists with them; slots
// without a title go behind and leave the count.
void SymbolSortCharLibraries();
// Deletes every character block of a slot's list for good and clears its table.
void SymbolClearCharLibrary(int slot);
