// The menu command handlers: each takes the main window and a number of its
// range (commands/tables/ranges.txt). A handler still to be written is
// declared here and marked "todo" in the range table, whose numbers beep
// until the function exists.
#pragma once

#include <windows.h>

#include <cstdint>

struct XProperty;

void MenuFileCommand(HWND mainWindow, int commandId);          // 100-126
void MenuEditCommand(HWND mainWindow, int commandId);          // 200-233
// The name proposed for the comments file of a drawing: beside it, its name
// followed by the comments suffix (never the drawing's own path); for an
// untitled drawing in the folder given.
void MenuEditCommentsFileName(const char *drawingPath, const char *folder, char *out, int size);
void MenuPageOptionsCommand(HWND mainWindow, int commandId);   // 300-389
void MenuObjectCommand(HWND mainWindow, int commandId);        // 400-453
void MenuDrawCommand(HWND mainWindow, int commandId);          // 500-590
void MenuConstructCommand(HWND mainWindow, int commandId);     // 600-653
void MenuChangeCommand(HWND mainWindow, int commandId);        // 700-751
void MenuTextDimensionCommand(HWND mainWindow, int commandId); // 800-843
void MenuBlockCommand(HWND mainWindow, int commandId);         // 900-915
void MenuInputAidCommand(HWND mainWindow, int commandId);      // 1000-1043
void MenuHelpCommand(HWND mainWindow, int commandId);          // 1100-1106
void MenuInternalCommand(HWND mainWindow, int commandId);      // 5340-7903

// While the pointer holds a selection, a layer, pen, colour, width, fill mode
// or line type chosen goes to the selected objects instead of to the objects
// drawn next.
bool MenuPointerHoldsSelection();
// Gives the selected objects the fields `ownBits` (XPROP_OWN_*) of `values`
// in one undo step, keeping them selected (with copy mode on the unchanged
// objects stay as well), and repaints what changed. 1 when something changed.
int MenuGiveToSelection(uint32_t ownBits, const XProperty &values);
// The import and export filter commands (5300-5339) live with the plug-in interface.
void MenuFilterCommand(HWND mainWindow, int commandId);

// Set by the start-up command on "/p": the start dialog stays away for this
// run; the stored option is not touched.
extern uint32_t g_StartDialogSuppressed;
