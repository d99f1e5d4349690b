// Browsing the blocks of a library as folders: block names are paths with
// "\" as the folder separator. The lists are held per library and prefix
// until that library's index changes.
#pragma once

#include <cstdint>

// Builds the folder and block lists directly below the prefix ("" = the top;
// a folder prefix ends with "\"); kept while library and prefix stay the same
// unless force. 1 when the prefix names something (a block or entries).
int SymbolBrowseLibrary(const char *library, const char *prefix, int force);
// While the lists are built: a full block name (read from a library file)
// enters the folder list or the block list when it lies below the prefix.
void SymbolBrowseAddFolder(const char *prefix, const char *name);
void SymbolBrowseAddBlock(const char *prefix, const char *name);
void SymbolBrowseReset();
void SymbolBrowseFree();
// Drops the held lists when they belong to that library index (999 = own).
void SymbolBrowseFreeIfLibrary(int32_t library);
int SymbolBrowseFolderCount();
int SymbolBrowseBlockCount();
// Entry i relative to the prefix ("Bolts\" for a folder, "M8" for a block), or 0.
const char *SymbolBrowseFolderName(int i);
const char *SymbolBrowseBlockName(int i);

// What a library allows ("*" = the drawing's own blocks).
int SymbolLibraryIsEditable(const char *library); // own blocks; a saved library that does not cache
int SymbolCanEditBlock(const char *library, const char *block);
int SymbolLibraryIsCaching(const char *library);
int SymbolLibraryIsWritable(const char *library);
int SymbolBlockExists(const char *library, const char *block);

// Library upkeep; 1 done, 0 refused or unknown.
// Deleting: an own block that instances use is refused (it would vanish from
// the drawing); in a caching library the block leaves a stub.
int SymbolDeleteBlockByName(const char *library, const char *block);
// Renaming to a name in use (stubs included) is refused; in a caching
// library the old name leaves a stub.
int SymbolRenameBlock(const char *library, const char *oldName, const char *newName);
// Copies a block with its members into a library under a name; an existing
// target is replaced only with overwrite (else 1, nothing done). 1 done.
int SymbolCopyBlock(const char *sourceLibrary, const char *targetLibrary, const char *sourceName,
                    const char *targetName, int overwrite);
// Deletes every block whose name begins with the prefix; 1 (also for none).
// Refused (0, nothing deleted) when the drawing uses one of its own blocks.
int SymbolDeleteFolder(const char *library, const char *prefix);
// 1 when renaming the folder old to new collides with no name and keeps
// every name below 64 characters.
int SymbolCanRenameFolder(const char *library, const char *oldPrefix, const char *newPrefix);
int SymbolRenameFolder(const char *library, const char *oldPrefix, const char *newPrefix);
