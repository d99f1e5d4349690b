// The drawing-window procedure and the wheel zoom of the main window.
#pragma once

#include <windows.h>

#include <cstdint>

// A right-button press opened a popup menu: the drawing windows swallow
// presses and let the release only clear this.
extern uint32_t g_PopupByRightButton;

LRESULT AppDrawWndProc(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// WM_MOUSEWHEEL of the main window: zooms the window under the mouse about
// the cursor, else the active window about its centre.
void AppMainMouseWheel(WPARAM wParam);
// The zoom factor of a wheel delta; 0 for no movement.
double AppWheelFactor(int delta);
