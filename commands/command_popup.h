// List popups: the entries of a definition table (pens, layers, line types,
// hatches, multilines, coordinate systems) or the recent drawings as a popup
// menu, sorted by name, with names that hold backslashes grouped into
// submenus ("Walls\Inner" is the item Inner of the submenu Walls).
#pragma once

#include <windows.h>

#include <cstdint>

// One entry of a name list: order[p] is the entry shown at position p; the
// name of entry k stays with k.
struct CommandNameEntry {
    int32_t order;
    const char *name;
};

// Sorts positions 1 to n - 1 by name (platform string order, empty names
// last; position 0 stays). The number of named entries after position 0.
int CommandSortNames(CommandNameEntry *list, int n);
// A flat list: as many entries as fit the screen less reserve rows, the
// current entry ticked, a separator after position 0. 1, or 0 on failure.
int CommandMenuAppendColumns(HMENU menu, const CommandNameEntry *list, int n, int current, int reserve,
                             int firstCommand);
// A tree from position start with the group prefix: the position after the
// last entry placed, or -1 on failure.
int CommandMenuBuildColumns(HMENU menu, const CommandNameEntry *list, int n, int current, int reserve,
                            int firstCommand, int start, const char *prefix);
int CommandMenuBuildSortedPopup(HMENU menu, const CommandNameEntry *list, int n, int current, int reserve,
                                int firstCommand);

// The popups of the margin buttons and the menu commands; the choice goes
// to the main window. anchor (screen coordinates) may be null.
void CommandPopupSystemMenu(const RECT *anchor);
void CommandPopupHatchMenu(const RECT *anchor);
void CommandPopupPenMenu(const RECT *anchor);
void CommandPopupLayerMenu(const RECT *anchor);

// The popups of the dialogs: current -1 ticks the top item; a top or new
// item number of 0 leaves that item out. The choice goes to owner.
void CommandPopupSelectLine(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                            int newCommand);
void CommandPopupSelectMultiLine(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                                 int newCommand);
void CommandPopupSelectSystem(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                              int newCommand);
void CommandPopupSelectHatch(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                             int newCommand);
void CommandPopupSelectLayer(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                             int newCommand);
void CommandPopupSelectPen(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                           int newCommand);

// The recent drawings at the cursor ("&1", "&2" ... and the short name).
void CommandRecentFilesPopup();
// The last commands at the cursor, by their titles, the latest first.
void CommandLastCommandsPopup();

// The popup of a drawing window's margin button (MARGIN_POPUP_* of
// commands/command_tables.h) at the button's rectangle.
void CommandMarginPopupShow(int window, int popup, const RECT &anchor);
