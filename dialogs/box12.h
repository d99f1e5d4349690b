// Block dialogs: the options of a new group.
#pragma once

#include <windows.h>

#include <cstdint>

// The options of the group command, remembered with the working values.
struct GroupInfo {
    uint32_t editAttributes; // the block attribute dialog opens on the new group
    uint32_t pushProperty;   // the group's property goes down to its members
    uint32_t editProperty;   // the property sheet opens on the group's property
};
static_assert(sizeof(GroupInfo) == 12);

// "GROUPINFO": 1 after OK (the record overwritten), 0 otherwise.
uint32_t Box12GroupInfo(HWND owner, const char *caption, GroupInfo *info);

// ---------------------------------------------------------------------------
// Block dialogs.

struct AttributeEntry;
struct BlockInsertSlot;

constexpr int BLOCK_NAME_SIZE = 64;

// The new block of the block commands: where it goes and what follows.
struct BlockRead {
    char library[BLOCK_NAME_SIZE];
    char block[BLOCK_NAME_SIZE];
    uint32_t replaceSelection;  // an instance replaces the selected objects
    uint32_t libraryAttributes; // the library's default attributes
    uint32_t editAttributes;    // the attribute dialog opens on the new block
    uint32_t pushProperty;      // the block's property goes to its members
    uint32_t editProperty;      // the property sheet opens on the block
};

// "BLOCKREAD": names the new block; 1 after OK (the record overwritten).
uint32_t Box12BlockRead(HWND owner, const char *caption, BlockRead *record);
// "BLOCKATTRIB": edits the entries of a block (mode 1) or of an instance
// (mode 0: definitions are shown, not changed) on a copy; on OK the copy and
// its count are written back and the result is 1. At most 200 entries.
uint32_t Box12BlockAttrib(HWND owner, const char *caption, const char *first, const char *second,
                          AttributeEntry *entries, int *count, int mode);

// Block names typed in the block dialogs. Each gives 0 when the name is
// accepted, else the eAlertTextOK entry that refuses it.
// The full name of a typed leaf in a folder: one leading backslash dropped,
// the folder put in front; 42 when it reaches 64 characters, 92 for two
// backslashes in a row.
int Box12ComposeBlockName(const char *folder, const char *typed, char *full);
// The row of names that a typed leaf selects: the exact name, else the first
// name beginning with it (without regard to case); -1 for none.
int Box12MatchBlockName(const char *const *names, int count, const char *leaf);
// Splits a full name into its leaf and its folder (either may be null).
void Box12PathSplit(const char *full, char *leaf, char *folder);
// Appends an entry (a new name) to the array: 0, 25 for a name in use, 67
// when the array already holds 200 entries.
int Box12AttribAdd(AttributeEntry *entries, int *count, const AttributeEntry *entry);
// "BLOCKINSERT": a symbol-insert slot; with clearAllowed the slot can be
// emptied (result 1). 1 after OK (the slot overwritten).
uint32_t Box12BlockInsert(HWND owner, const char *caption, BlockInsertSlot *slot, int clearAllowed);

// The block a caller chooses: library ("*" for the own blocks) and path.
struct BlockSelect {
    char library[BLOCK_NAME_SIZE];
    char block[BLOCK_NAME_SIZE];
    uint32_t display; // the preview is drawn
};
static_assert(sizeof(BlockSelect) == 132);

// "BLOCKSELECT": picks a block for a caller; the path is composed from the
// folder and the typed leaf, the block need not exist. Without libraryChoice
// only blocks of the given library can be chosen. 1 after OK (the record
// overwritten).
uint32_t Box12BlockSelect(HWND owner, const char *caption, BlockSelect *record, int libraryChoice);
