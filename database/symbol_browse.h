// Browsing the blocks of a library as folders: block names are paths with
// "\" as the folder separator. The lists are held per library and prefix
// until that library's index changes.
#pragma once

#include <cstdint>

// Builds the folder and block lists directly below the prefix ("" = the top;
// a folder prefix ends with "\"); kept while library and prefix stay the same
// unless force. 1 when the prefix names something (a block or entries).
int SymbolBrowseLibrary(const char *library, const char *prefix, int force);
void SymbolBrowseReset();
void SymbolBrowseFree();
// Drops the held lists when they belong to that library index (999 = own).
void SymbolBrowseFreeIfLibrary(int32_t library);
int SymbolBrowseFolderCount();
int SymbolBrowseBlockCount();
// Entry i relative to the prefix ("Bolts\" for a folder, "M8" for a block), or 0.
const char *SymbolBrowseFolderName(int i);
const char *SymbolBrowseBlockName(int i);
