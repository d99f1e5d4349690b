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

// ---------------------------------------------------------------------------
// Rulers, sheets, grid and window furniture (screen_furniture.cpp).

// A screen grid paint sets at most this many columns and rows of dots; a
// grid that needs more is not drawn at all. Devices allow more.
constexpr int SCREEN_GRID_MAX_LINES = 256;
constexpr int SCREEN_GRID_MAX_POINTS = SCREEN_GRID_MAX_LINES * SCREEN_GRID_MAX_LINES;
constexpr int SCREEN_DEVICE_GRID_MAX_LINES = 2000;
constexpr double SCREEN_DEVICE_GRID_MIN_MM = 0.5;

// Label, medium-tick and tick steps of a ruler, in tenths of the unit (or
// sixteenths of an inch).
struct ScreenRulerSteps {
    int64_t label, medium, tick;
};
// The steps for p pixels per unit and a label width; 0 when none fit.
int ScreenRulerChooseSteps(double p, int labelWidth, bool inch, ScreenRulerSteps *out);
// The spacing of screen grid dots after the enlargement to 5 pixels or
// more (every 2nd, 5th or 10th point); 0 below half a pixel.
double ScreenGridEnlarge(double spacing);
// The screen grid's dots of a window in a pixel rectangle (none: the drawing
// area): their number, the first `room` of them stored.
int ScreenGridPoints(int window, const RECT *rect, POINT *out, int room);

void ScreenDrawOverlays(HDC hdc, int window);
void ScreenDrawSheets(HDC hdc);
void ScreenDrawOrigin(HDC hdc, int window);
void ScreenDrawActiveInfo(HDC hdc, int window, int erase);
void ScreenRefreshRulers(int window);
void ScreenDrawRulers(int window);
void ScreenDrawRuler(int window);
void ScreenDrawRulerVertical(int window);
void ScreenDrawRulerInch(int window);
void ScreenDrawRulerVerticalInch(int window);
void ScreenDrawRulerCorner(int window);
void ScreenDrawWindowNumber(int window);
void ScreenDrawMarginIcons(int window);
void ScreenDrawGrid(int window, const RECT *rect);
// The grid on a printer or in a metafile through the current output
// context; the number of markers drawn.
int ScreenDrawGridDevice(HDC hdc, int window, uint32_t selectionOnly);
