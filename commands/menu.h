// The menu command handlers.
#pragma once

#include <windows.h>

// The internal commands 5340 to 7903.
void MenuInternalCommand(HWND mainWindow, int commandId);
