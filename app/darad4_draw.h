// The drawing-window procedure and the wheel zoom of the main window.
#pragma once

#include <windows.h>

#include <cstdint>

// g_PopupByRightButton (app/init_dialogs.h): while a right-button popup is
// open the drawing windows swallow presses and a release only clears it.
#include "app/init_dialogs.h"

LRESULT AppDrawWndProc(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// WM_MOUSEWHEEL of the main window: zooms the window under the mouse about
// the cursor, else the active window about its centre.
void AppMainMouseWheel(WPARAM wParam);
// The zoom factor of a wheel delta; 0 for no movement.
double AppWheelFactor(int delta);
// WM_KEYDOWN and WM_KEYUP of the main window: the keyboard command entry.
void AppMainKey(UINT message, WPARAM wParam, LPARAM lParam);
// The command that runs when nothing else was chosen starts at its first step.
void AppStartFirstCommand();
// The client point of a mouse message, sign-extended.
POINT AppMousePoint(LPARAM lParam);
// The main window's 100 ms timer: key states whose release was missed.
void AppMainTimerKeys();
