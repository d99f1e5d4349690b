// Symbol-library files (.zvl): a =LIBRARY= record, an optional =ATTRIB=
// chain of default attributes and a =BLOCK= section, each library in a slot
// of g_LibrarySlots with its blocks in object list 13 + slot.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/unit.h"
#include "files/file.h"

// The sections of a library file.
constexpr uint32_t FILE_SECTIONS_LIBRARY = FILE_SECTION_DRAWING | FILE_SECTION_ATTRIB | FILE_SECTION_BLOCK;

// Reads the whole library into the slot (merge: an existing block name
// wins); a damaged file is refused with the file alert and the slot's list
// left empty. 1 loaded.
int FileLoadLibrary(const char *path, int slot, uint32_t sections, int merge);
// Only the =LIBRARY= record and the =ATTRIB= chain (caching libraries).
int FileLoadLibraryInfo(const char *path, int slot, uint32_t sections);
// Writes the slot's library whole; 1 written.
int FileWriteLibrary(const char *path, int slot, uint32_t sections);
// Reads the named blocks (64-byte names; found names are cleared) of the
// slot's library file into its list; 1 read.
int FileLoadLibraryBlocks(int slot, char (*names)[UNIT_NAME_SIZE], int count);
// Walks the blocks of the slot's library file without loading them: each
// block's own unit (its members skipped, no member links) goes to visit,
// which answers false to stop the walk. 1 when the file was walked to its
// end or visit stopped it; 0 when it cannot be opened or read, reported to
// the diagnostic log only: the caller decides what its user sees.
using FileLibraryBlockVisitor = bool (*)(Unit *block, void *context);
int FileEnumerateLibrary(int slot, FileLibraryBlockVisitor visit, void *context);
// The block names of a caching library's file, handed to the browse lists
// being built (SymbolBrowseAddFolder, SymbolBrowseAddBlock) without loading
// the blocks. The names of the last file read are kept, so browsing it again
// reads nothing; a file that cannot be read is reported once (the file
// alert) and then gives no names until the kept names are dropped. 1 read.
int FileIndexLibraryBlocks(const char *path, const char *prefix, int slot);
// Forget and free the kept names; called whenever a library file is
// written or a library opened, closed or moved to another slot.
void FileInitNameCache();
void FileExitNameCache();
// Writes a caching library by copying the blocks it did not change from the
// old file: without newPath the old file is first renamed to "$$$".
int FileUpdateLibrary(const char *path, const char *newPath, int slot);
// Opens a library file into the next free slot, sorts the table and links
// the drawing; the slot the library ended in, or -1.
int FileOpenLibrary(const char *path, int caching, int load, int save);
// Frees the slot (its blocks and attributes) and closes the gap.
void FileRemoveLibrary(int slot);

// Opens a library file and reads its header up to the =LIBRARY= keyword:
// 1, 0 when it cannot be opened, -1 when it is no library (reported).
int FileOpenLibraryFile(const char *path, HANDLE *file);
void FileCloseLibraryFile(HANDLE file);

// Slot services of the library slots dialog and the block commands.
// Default details: the default title, the author option, the date now.
void FileInitLibraryInfo(int slot);
// The saved date of the slot's details: the date the =LIBRARY= writer has
// just formatted (g_StartTimeText).
void FileStampLibraryInfo(int slot);
// Store the full form of the path in the slot; a name beginning with "*"
// is stored as it is.
void FileSetLibraryPath(int slot, const char *path);
void FileSetCharLibraryPath(int slot, const char *path);
// Reads the header and the =LIBRARY= record of the slot's file into its
// details; a failure or a title that another slot has clears the title, 0.
int FileProbeLibrarySlot(int slot);
// 1 when another open library than `except` is stored in that file.
int FileLibraryPathInUse(const char *path, int except);
// Asks to save a changed library before it is closed: 1 go on, 0 cancelled.
int FileQueryCloseLibrary(int slot);
// Saves the slot's library to its file (the update for a caching library);
// 1 saved, modified cleared.
int FileSaveLibrary(int slot);
// Start-up: opens the libraries the profile lists (the next ones are asked
// for after a failure); then the table is sorted, indexed and linked.
void FileLoadProfileLibraries();
// Hands the open libraries back to the profile before it is written.
void FileStoreProfileLibraries();
// At exit: the save question for every changed library; 0 when cancelled.
int FileQueryCloseLibraries();
