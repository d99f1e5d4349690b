// Program state that every dialog relies on: the language module, the count
// of open modal dialogs, the dialog font, the screen and drawing-area sizes.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int PATH_SIZE = 260; // a path buffer, NUL included

// The loaded language module: the instance handle of every dialog template.
extern HMODULE g_LanguageModule;

// Modal dialogs and progress displays that are open. Raised by each modal
// dialog when it is created and lowered by its opener after it has ended; the
// main window refuses to end the Windows session while it is not 0.
extern uint32_t g_ModalDepth;

// 1 while a popup menu opened with the right mouse button is shown.
extern uint32_t g_PopupByRightButton;

// Folder of the shared program files (help files, tour), ending in a backslash.
extern char g_PathServer[PATH_SIZE];

// The dialog font: measures and draws the message box text and owner-drawn
// labels. 0 until it is created; users then take the dialog's own font.
extern HFONT hDialogFont;

// Screen size in pixels; 0 until InitReadScreenSize has run.
extern int g_ScreenWidth;
extern int g_ScreenHeight;

// The part of the main window's client area that holds the drawing windows
// (main-window client coordinates).
extern RECT g_DrawingArea;

// Reads the screen size (HORZRES, VERTRES of the display).
void InitReadScreenSize();
