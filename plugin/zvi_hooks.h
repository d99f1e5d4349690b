// Hook points that plug-ins may patch: the program calls them at the end of
// a cursor-position update, a key and a mouse message. They do nothing and
// are exported with the other stubs.
#pragma once

#include <windows.h>

extern "C" {
void __stdcall ZVI_HookPositionEnd(int window, double *point);
void __stdcall ZVI_HookKeyEnd(int window, UINT message, WPARAM wParam, int x, int y);
void __stdcall ZVI_HookMouseEnd(int window, UINT message, WPARAM wParam, int x, int y);
}
