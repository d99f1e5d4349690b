// The drawing window that conversions address, and its unit factors.
//
// Only the part of the window record that value conversions and field
// validation read lives here: the unit factors of the window's coordinate
// system and its two mappings between drawing millimetres and system values.
// The window module completes the record (handles, views, pixel matrices).
#pragma once

#include <cstdint>

// Drawing windows 0 to 3 and the view window.
constexpr int WINDOW_DRAW_COUNT = 4;
constexpr int WINDOW_VIEW = 999;

// Radians per degree, as the unit tables store it.
constexpr double WINDOW_RADIANS_PER_DEGREE = 0.01745329251994;

struct DrawWindow {
    double angleFactor;  // radians per angle unit of the window's system
    double widthFactor;  // millimetres per width unit
    double lengthFactor; // millimetres per length unit
    double mmPerUnit;    // the system's scale times lengthFactor
    // Drawing millimetres to system values and back, as {a, b, c, d, tx, ty}:
    // a point maps to (a x + c y + tx, b x + d y + ty).
    double MatrixMMToSystem[6];
    double MatrixSystemToMM[6];
};

extern DrawWindow g_DrawWindows[WINDOW_DRAW_COUNT];
extern DrawWindow g_ViewWindow;

// The window (0 to 3 or 999) that commands and conversions address.
extern int32_t g_ActiveWindow;

// The current conversion state; its first field points to the current window.
struct ConvertState {
    DrawWindow *window;
    uint32_t decimals;     // digits after the point
    uint32_t lengthFormat; // number-format code of lengths
    uint32_t angleFormat;  // number-format code of angles
};
extern ConvertState g_ConvertState;

// The record of window 0 to 3 or 999; nullptr for any other number.
DrawWindow *WindowGetRecord(int window);

// Gives a window millimetres, degrees, scale 1 and an identity mapping.
void WindowResetUnits(DrawWindow *window);

// Makes the active window current for conversions.
void WindowSelectCurrent();
