// Start-up, message loop and window procedures: the program's global handles.
#pragma once

#include <windows.h>

extern HINSTANCE g_Instance; // the program's instance
extern HWND g_MainWnd;       // the main window; 0 until it exists
