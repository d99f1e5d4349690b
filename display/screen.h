// Screen output of the drawing windows: the output context for a window, the
// cursor position with grid and ortho catch, the XOR crosshair and the
// scroll bars.
#pragma once

#include <windows.h>

#include <cstdint>

// The mouse position in drawing millimetres, raw and after the catches.
struct CursorPos {
    int32_t window;  // the window that carries the active crosshair
    int32_t shown;   // the crosshairs are drawn
    int32_t xChanged, yChanged; // the last move changed the caught position
    double x, y;     // caught
    double rawX, rawY;
};
extern CursorPos g_CursorPos;

// Results of ScreenHitTestMargin besides the button numbers 0 to 13.
constexpr int SCREEN_HIT_AREA = 90;          // drawing area, the command does not track the cursor
constexpr int SCREEN_HIT_AREA_TRACKING = 91; // drawing area, the command tracks it
constexpr int SCREEN_HIT_ELSEWHERE = 92;

// Pixel coordinates beyond this are taken as outside every window.
constexpr double SCREEN_CROSS_LIMIT = 32000.0;

void ScreenSetupOutput(HDC hdc, int window, const RECT *update, uint32_t mode);
int ScreenEraseBackground(HDC hdc, const RECT *rect);
void ScreenSetCursorPos(int window, int x, int y);
void ScreenGridCatch(int window, double point[2]);
void ScreenOrthoCatch(int window, double point[2]);
int ScreenTrackCursor();
int ScreenWindowFromCursor();
int ScreenHitTestMargin(int window, int x, int y);
void ScreenCrosshairDraw(int window);
void ScreenCrosshairDrawInactive(int window);
void ScreenShowCrosshairs();
void ScreenHideCrosshairs();
void ScreenCrosshairOn(int window);
void ScreenCrosshairOff();
void ScreenSetScrollPos(int window);
// The scroll positions (0 to 10000) of a window's view, as ScreenSetScrollPos sets them.
void ScreenScrollPositions(int window, int *horizontal, int *vertical);

// The background brush of the drawing area (the shared one, or the module's
// own while the shared objects are not made).
HBRUSH ScreenBackgroundBrush();
