// The sorted block indexes: the drawing's own blocks (g_OwnBlockIndex, in
// symbol_undo.h) and one index over the blocks of every open symbol library.
// Instances, plug-in objects and clip surfaces cache the position of their
// block in these indexes, so every insertion or removal shifts the cached
// positions of every reference.
#pragma once

#include <cstdint>

#include "database/symbol_undo.h"
#include "database/unit.h"

constexpr int32_t LIBRARY_INDEX_CAPACITY = 20000;
// What the insert-position searches add to a position whose name is present.
constexpr int32_t SYMBOL_INDEX_PRESENT = 1000000;

struct LibraryIndexEntry {
    int32_t slot;
    Unit *block;
};
static_assert(sizeof(LibraryIndexEntry) == 8);

struct LibraryBlockIndex {
    LibraryIndexEntry entries[LIBRARY_INDEX_CAPACITY];
    int32_t count;
};
extern LibraryBlockIndex g_LibraryBlockIndex;

// The position of the named block in the index of that library (999 = own
// blocks), or -1; a deleted stub counts only withDeleted.
int32_t SymbolFindBlockIndex(int32_t library, const char *name, int withDeleted);
// The indexed block at that position of that library's index, or 0.
Unit *SymbolGetBlockByIndex(int32_t library, int32_t blockIndex);
int SymbolOwnBlockExists(const char *name);
int SymbolLibraryBlockExists(int32_t library, const char *name);
// 1 when the library holds the block in memory, present or as a stub.
int SymbolProbeLibraryBlock(int32_t library, const char *name);
// The object list of a library index (999: list 1), or -1.
int SymbolListOfLibrary(int32_t library);

// Insertion positions: the position of the first greater entry, or (for a
// present name) the position - SYMBOL_INDEX_PRESENT; SymbolNameInsertPos
// answers -1 for a present name.
int32_t SymbolNameInsertPos(const char (*names)[UNIT_NAME_SIZE], int32_t count, const char *name);
int32_t SymbolOwnIndexInsertPos(const char *name);
int32_t SymbolLibraryIndexInsertPos(int32_t slot, const char *name);

// Rebuilds from the lists; blocks beyond the capacity stay out of the index
// and are reported once (internal-error diagnostic).
void SymbolRebuildLibraryIndex();
// Enter a new block (an existing name: the entry points to the new block),
// shift the cached positions, mark the drawing or library modified and link
// the block's members. A full index leaves the block out (still modified).
void SymbolIndexAddOwn(Unit *block);
void SymbolIndexAddLibrary(int32_t slot, Unit *block);
void SymbolIndexRemoveLibrary(int32_t slot, Unit *block);

// Linking: the cached library index, block index and unresolved flag of a
// reference from its names; owner is the library slot whose block holds the
// unit ("*" then means that library), 999 elsewhere.
void SymbolLinkInstance(Unit *unit, int32_t owner);
void SymbolLinkObjectElements(Unit *object, int32_t owner);
void SymbolLinkBlockMembers(Unit *block, int32_t library);
void SymbolLinkAll();
// After blocks of a list (1 or 13 + slot) were renamed or removed: rebuild,
// mark modified, re-link and recompute frames.
void SymbolRefreshList(int list);
// Sorts the library table by name, empty slots last, with their lists.
void SymbolSortLibraries();

// Marks a library (999: the drawing) modified.
void SymbolMarkModified(int32_t library);

// On-demand loading from caching libraries (Caching and Load set): the
// blocks that references miss are read from the library files, in rounds of
// at most 1000 names of one library; then everything is linked and framed.
// Explicit names (arrays of 64-byte names, may be 0) are taken first and
// cleared in the caller's arrays.
void SymbolLoadMissingBlocks(char (*libraries)[UNIT_NAME_SIZE], char (*blocks)[UNIT_NAME_SIZE], int count);
void SymbolLoadAllMissing();
void SymbolLoadBlocks(char (*libraries)[UNIT_NAME_SIZE], char (*blocks)[UNIT_NAME_SIZE], int count);
void SymbolResetLoadFlags();
// The named block (SymbolFindBlock); one missing from an open library read on
// demand is first loaded from the library's file.
Unit *SymbolFindBlockLoading(const char *library, const char *block);
