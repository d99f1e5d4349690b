// Finding blocks by name: the lookups of instances, clip surfaces and frames.
#pragma once

#include "database/unit.h"

// The library name of the drawing's own blocks.
constexpr const char *SYMBOL_OWN_LIBRARY = "*";

// The block of that name in that library ("*" = the drawing's own blocks), or 0.
Unit *SymbolFindBlock(const char *library, const char *blockName);
// The block an instance or plug-in object refers to, or 0 (also for an
// instance that closes a cycle of blocks).
Unit *SymbolGetInstanceBlock(Unit *instance);
// The slot of the open library of that name, LIBRARY_INDEX_OWN for "*", or -1.
int SymbolFindLibrary(const char *library);
