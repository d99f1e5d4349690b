// The arrangement of the drawing windows; see app/window.h.
#pragma once

#include <windows.h>

#include "app/window.h"

LRESULT CALLBACK WindowTimedFlagProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
