// The 3D look of the program's own buttons: faces, borders, the checked
// pattern of a held button and the sunken frame around swatches. The status
// bar, the panels and the owner-drawn controls of the dialogs share them.
#pragma once

#include <windows.h>

#include <cstdint>

// Face styles.
constexpr uint32_t STATUS_BUTTON_PRESSED = 0x1;
constexpr uint32_t STATUS_BUTTON_DISABLED = 0x2;
constexpr uint32_t STATUS_BUTTON_FOCUS = 0x4;

// Fills the face of a button in the look of the style; textColour (may be
// null) receives the colour its label should take. Returns the offset of the
// content: 1 when pressed, else 0.
int StatusDrawButtonFace(HDC dc, uint32_t style, const RECT *rect, COLORREF *textColour);
// The 3D border of a button: sunken when pressed, raised otherwise, with a
// dark outer line for the focus look.
void StatusDrawButtonBorder(HDC dc, uint32_t style, const RECT *rect);
// Lays the checked pattern of a held button over its face.
void StatusDrawButtonPattern(HDC dc, const RECT *rect);
// One-pixel sunken frame just outside rect: shadow at the left and top,
// highlight at the right and bottom.
void StatusDrawFrameSunken(HDC dc, const RECT *rect);
