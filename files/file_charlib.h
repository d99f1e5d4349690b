// Character libraries: probing and loading library files whose blocks are
// characters (a block named by a decimal code 32 to 255), and closing them.
#pragma once

// Reads the header and =LIBRARY= record of the file named in the slot's path
// into the slot's information; 0 (title cleared) when the file is no library
// or its title is taken.
int FileProbeCharLibrarySlot(int slot);
// The =LIBRARY= record into the slot; 0 when it cannot be read or its title is taken.
int FileReadSectionCharLibrary(const char *path, int slot);
// The =BLOCK= section into the list; 0 on failure.
int FileReadCharacters(int list);
// Loads a library file into the slot: 1 loaded, 0 failed or cancelled.
int FileLoadCharLibrary(const char *path, int slot);
// Closes a slot; the last slot moves into the gap with its list.
void FileRemoveCharLibrary(int slot);
// Carries out the marks of the character-library dialog: marked libraries are
// closed, added ones loaded (closed again when that fails), the table sorted
// and indexed. 1 when any slot was marked.
int FileApplyCharLibraryMarks();
// At start: loads the character libraries the profile names (g_ProfileLists),
// each into the next slot; after a failure with more to come the user is
// asked whether to go on. Then the table is sorted and indexed.
void FileLoadProfileCharLibraries();
// Before the profile is written: the paths of the open libraries into it.
void FileStoreProfileCharLibraries();
