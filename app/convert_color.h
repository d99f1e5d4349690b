// Colours as percentages (RGB and CMY), hue/saturation/brightness, the sort
// key of the colour chooser, and list positions as accelerator characters.
#pragma once

#include <windows.h>

// Each channel as value x 100 / 255; a null output is skipped.
void ConvertColorToPercent(COLORREF colour, double *r, double *g, double *b);
// Each channel as 100 - value x 100 / 255; a null output is skipped.
void ConvertColorToCMY(COLORREF colour, double *c, double *m, double *y);
// Percentages to a colour: each channel floor(p x 255 / 100 + 0.5), clamped to 0 .. 255.
COLORREF ConvertPercentToColor(double r, double g, double b);
// Each channel 255 - floor(p x 255 / 100 + 0.5), clamped to 0 .. 255.
COLORREF ConvertCMYToColor(double c, double m, double y);
// Hue in degrees [0, 360) (0 for a grey), saturation and brightness in percent.
void ConvertColorToHSB(COLORREF colour, double *hue, double *saturation, double *brightness);
COLORREF ConvertHSBToColor(double hue, double saturation, double brightness);
// 100 x hue + 10 x brightness + saturation (both 0 .. 1): ascending keys
// order colours by hue.
double ConvertColorSortKey(COLORREF colour);
// List position to menu accelerator: 0 .. 9 give '1' .. '9' and '0', 10 .. 35
// give 'A' .. 'Z', others a blank.
char ConvertIndexToAccelChar(int position);
