// The rectangles an operation leaves for its caller's partial redraw.
#pragma once

// {xmin, ymin, xmax, ymax} in millimetres; empty = (1e300, 1e300, -1e300, -1e300).
extern double g_ExtentsRect[4]; // what disappeared, was removed or measured
extern double g_ChangedRect[4]; // what was drawn anew

constexpr double RECT_EMPTY_LOW = 1e300;

inline void RectSetEmpty(double rect[4])
{
    rect[0] = rect[1] = RECT_EMPTY_LOW;
    rect[2] = rect[3] = -RECT_EMPTY_LOW;
}

// Widens rect by a frame: minimum of the low corners, maximum of the high ones.
inline void RectUnite(double rect[4], const double frame[4])
{
    if (frame[0] < rect[0]) rect[0] = frame[0];
    if (frame[1] < rect[1]) rect[1] = frame[1];
    if (frame[2] > rect[2]) rect[2] = frame[2];
    if (frame[3] > rect[3]) rect[3] = frame[3];
}
