// The one door to WinHelp: every help request of the program goes through it.
#pragma once

#include <windows.h>

#include <cstdint>

// Calls WinHelpA(window, file, command, data) unless a sink is set.
BOOL InitWinHelp(HWND window, const char *file, UINT command, ULONG_PTR data);

// Test seam: when set, receives every help request in place of WinHelp
// (which blocks on a box of its own when the help file is missing).
typedef void (*InitHelpSink)(HWND window, const char *file, UINT command, ULONG_PTR data);
extern InitHelpSink g_InitHelpSink;
