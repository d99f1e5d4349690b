// Menu state: which commands are grey and which are ticked, on a menu about
// to open and as a table per command; and the placement of popup menus.
#pragma once

#include <windows.h>

#include <cstdint>

#include "commands/command_tables.h"

// One word per command number 0 to 5339; only 100 to 5339 are written.
constexpr int COMMAND_FLAG_COUNT = COMMAND_INTERNAL_FIRST;
constexpr uint16_t COMMAND_FLAG_DISABLED = MF_GRAYED; // 1
constexpr uint16_t COMMAND_FLAG_CHECKED = MF_CHECKED; // 8
struct CommandFlagTable {
    uint16_t flags[COMMAND_FLAG_COUNT];
};

// Greys and ticks the items of a menu about to open (and, on the main
// window's system menu, its three switches).
void CommandInitMenuPopup(HMENU menu);
void CommandGetFlags(CommandFlagTable *table);

// Shows a popup and returns when it closes; the choice reaches owner as a
// command. A title command above 0 is shown as the running command while
// the popup is open. anchor (screen coordinates) may be null: the popup is
// then centred on the cursor.
void CommandTrackPopup(HWND owner, HMENU menu, int titleCommand, const RECT *anchor);
// The submenu of the context menu that the command opens, as a popup.
void CommandShowSubmenu(int commandId, const RECT *anchor);
// The view popup of a drawing window's first margin button (window 0 to 3
// or 999, the view window).
void CommandMenuDrawingContextPopup(const RECT *anchor, int window);

