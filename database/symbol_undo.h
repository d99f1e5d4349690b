// The block services the undo purge relies on: whether an own block is
// still used, the own-block index, and deleting a block with its members.
#pragma once

#include <cstdint>

#include "database/unit.h"

constexpr int OWN_BLOCK_INDEX_CAPACITY = 20000;

// The drawing's own blocks (list 1) in ascending name order.
struct OwnBlockIndex {
    Unit *blocks[OWN_BLOCK_INDEX_CAPACITY];
    int32_t count;
};
extern OwnBlockIndex g_OwnBlockIndex;

// 1 when an alive object of list 0, or a member of an own block so used
// (followed through 20 levels of nesting), refers to the named own block:
// an instance or plug-in object naming it, or a Clip object whose surface
// names it. Keeps the stored list filter.
int SymbolIsBlockUsed(const char *blockName);

// Takes the block out of the own-block index when it is there: the entries
// behind it move down and the cached own-block indexes of instances and clip
// surfaces follow (-1 for the removed position). Marks the drawing modified.
void SymbolIndexRemoveOwn(Unit *block);

// Frees every member of the block and deletes it for good; returns the unit
// that followed it in the list.
Unit *SymbolDeleteBlock(int list, Unit *block);
