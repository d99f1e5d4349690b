// Hook points that plug-ins may patch: the program calls them at the end of
// a cursor-position update, a key and a mouse message. They do nothing.
#pragma once

#include <windows.h>

void ZVI_HookPositionEnd(int window, double *point);
void ZVI_HookKeyEnd(int window, UINT message, WPARAM wParam, int x, int y);
void ZVI_HookMouseEnd(int window, UINT message, WPARAM wParam, int x, int y);
