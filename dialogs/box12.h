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
// One folder up: drops the last character, then all after the last
// backslash (a\b\ gives a\, a\ gives the empty path).
void Box12PathCutName(char *path);
// Splits a full name into its leaf and its folder (either may be null).
void Box12PathSplit(const char *full, char *leaf, char *folder);
// "ATTRIBEDIT": one attribute's value (line breaks shown as lines) and kind
// (text or number, definition or value; mode 0 allows values only). A number
// kind needs an empty value or a number within +-1e100. 1 after OK (the
// entry overwritten).
uint32_t Box12AttribEdit(HWND owner, const char *caption, AttributeEntry *entry, int mode);
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

// ---------------------------------------------------------------------------
// Walking the folders of a library in the block dialogs (library combo 180,
// folder list 171, block list 170, folder text 350, count text 351, leaf
// edit 200).

// The library and block path a browsing dialog shows.
struct BlockBrowse {
    char *library; // char[64]
    char *block;   // char[64]: folder + leaf
    int filling;   // the program writes edit 200: its change notice is not the user's
};

// Fills combo 180 with the own blocks and the open libraries and selects the
// library; an unknown library becomes "*".
void Box12FillLibraryCombo(HWND dialog, char *library);
// The folder and block lists of the path's folder, the folder text and the leaf.
void Box12FillLists(HWND dialog, BlockBrowse *d);
// The folder walk, the library choice and the block list; true when the
// command was one of them.
bool Box12BrowseCommand(HWND dialog, BlockBrowse *d, int id, int code);
// The path becomes the current folder + the leaf shown in edit 200.
void Box12FollowLeaf(HWND dialog, BlockBrowse *d);
// The leaf typed in edit 200 must name a block of the path's folder (the
// exact name, else the first beginning with it); the path becomes it. 0 with
// the message shown otherwise.
int Box12CheckExistingBlock(HWND dialog, const char *library, char *block);
// AlertOk with eAlertTextOK entry formatted with the name.
void Box12AlertWith(HWND dialog, int entry, const char *name);

// "BLOCKEDIT", the library manager: renames, deletes and makes blocks and
// folders and edits their attributes and properties at once, while it is
// open. The changed flag after OK (the record overwritten), 0 after Cancel.
uint32_t Box12BlockEdit(HWND owner, const char *caption, BlockSelect *record);
// The attributes of a block edited in "BLOCKATTRIB" (mode 1) and written
// back: 1 written, 0 cancelled or not stored (said), -1 not readable.
int Box12EditBlockAttributes(HWND owner, const char *caption, const char *library, const char *block);
