// Block previews: one block drawn to fit a dialog control or a symbol-window
// cell, for the block dialogs, the symbol window and the plug-in interface.
#pragma once

#include <windows.h>

// Draws into the control's client area `rect` (pixels): the drawing-area
// background with a frame, then, when show is set and the block exists,
// the block turned by angle (radians) and fitted to 98 % of the rectangle
// less 2 pixels, with its reference point marked, its extent framed and its
// block frame dotted. library "*" names the drawing's own blocks. Leaves the
// output context set up for the control.
void SymbolDrawPreviewDC(HWND control, int show, const char *library, const char *block, double angle,
                         const RECT *rect);
// Repaints the control, then draws the preview over its whole client area
// without turning.
void SymbolDrawPreview(HWND control, int show, const char *library, const char *block);
