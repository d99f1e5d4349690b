// What the block commands remember between runs, and the symbol-slot insertion.
#pragma once

#include "app/system.h"
#include "dialogs/box12.h"

// The new-block record of the block commands (902, 903).
extern BlockRead g_BlockRead;
// The block manager's (904) selection.
extern BlockSelect g_BlockEditSelect;
// What command 901 inserts.
extern BlockInsertSlot g_BlockInsertEntry;

// Edits a symbol slot in BLOCKINSERT (5440 + slot).
void MenuBlockEditSlot(HWND window, int commandId, int slot);
// Inserts the block of a symbol slot at construction point 0 (5340 + slot).
void MenuBlockInsertSlot(int slot);
// The group commands of the Object menu: 445 makes a group of the selection
// (an own block "#G\..." with one instance in its place), 446 dissolves the
// selected groups.
void MenuBlockMakeGroup(HWND window, int commandId);
void MenuBlockDissolveGroups();
