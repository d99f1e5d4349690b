// The colour choosers: one of the 32 standard colours (by index), or any
// colour while keeping the drawing's table of named colours.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int BOX04_STD_COLOR_HELP = 15010;
constexpr int BOX04_COLOR_HELP = 15008;
constexpr int BOX04_COLOR_BUTTON_FIRST = 10000; // + standard colour index

// 1 on OK with *index replaced (0 .. 31); 0 on cancel or when the dialog
// cannot be shown.
int Box04ChooseStdColor(HWND owner, const char *caption, int32_t *index);
// 1 on OK: *colour replaced, the edited table of named colours written back
// over the drawing's and the sort and colour-model options stored; 0 on
// cancel or when the dialog cannot be shown (nothing changes then).
int Box04ChooseColor(HWND owner, const char *caption, COLORREF *colour);
