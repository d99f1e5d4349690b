// Painting of the drawing windows and the repaint requests of the program.
#pragma once

#include <windows.h>

#include <cstdint>

// Object flags the paint reads and clears.
constexpr uint32_t PAINT_FLAG_REDRAW_BITS = 0xF00; // cleared by every pass that reaches the object
constexpr uint32_t PAINT_FLAG_HIDDEN = 0x1000;     // not walked by the paint

// 1 painted; 0 recorded for later (a paint is running) or stopped by a key
// or mouse button.
int OutputPaintWindow(int window, const RECT *update);
void OutputRedrawWindow(int window);
void OutputRedrawAll(int all);
// World rectangles are xmin, ymin, xmax, ymax; null or a first value of
// 1e300 means the whole window.
void OutputInvalidateArea(int window, const double *rect);
void OutputInvalidateAreaAll(const double *rect);
void OutputInvalidateTwoAreas(const double *oldRect, const double *newRect);
void OutputShowCrosshair();
void OutputHideCrosshair();

// The pixel rectangle OutputInvalidateArea repaints for a world rectangle;
// 0 when it lies wholly outside the drawing area.
int OutputAreaToPixels(int window, const double rect[4], RECT *out);

// 1 while a paint runs.
extern uint32_t g_OutputPainting;
// Test seam: called inside every paint after its first pass, so that a test
// can deliver a nested paint the way a dispatched message would.
typedef void (*OutputPaintHook)(int window);
extern OutputPaintHook g_OutputPaintHook;

struct LineDef;
// Line-type previews of the line-type dialogs: in a control (framed, white)
// and as a sample in a rectangle. A line type without a usable pattern (no
// pairs, or more than the table holds) shows as a solid double line.
void OutputDrawLineDefPreview(HWND control, const LineDef *line);
void OutputDrawLineDefSample(HDC hdc, const RECT *rect, const LineDef *line);
