// The main window's title.
#pragma once

#include <windows.h>

// Short name of the current drawing, "*" when modified, the read-only mark,
// then " - " and the program title. Nothing happens without a window.
void WindowUpdateTitle(HWND mainWindow);
