// Shared GDI objects of the drawing output and the font constructors: the
// screen-colour pens and brushes the renderer selects, the eraser and
// drawing-area brushes, the placing bitmap and the small fonts.
#pragma once

#include <windows.h>

#include <cstdint>

struct FontDef;

// Set at start-up on Windows 95/98: paths then go out point by point and the
// program walks dashes itself.
extern uint32_t g_IsWin9x;

struct SharedGdi {
    // Stock objects.
    HPEN nullPen, whitePen, blackPen;
    HBRUSH nullBrush, whiteBrush, blackBrush;
    // Resources.
    HBITMAP placingBitmap; // 20 x 20 monochrome
    HBITMAP eraserBitmap;
    HFONT miniFontX;       // ruler and label font, 11 pixels
    HFONT miniFontY;       // the same turned by 90 degrees, for vertical rulers
    HFONT aboutFont;       // start screen and about texts
    HCURSOR arrowCursor, waitCursor, helpCursor;
    HPALETTE palette;      // halftone palette on an 8-bit screen, else none
    // Screen-colour objects (rebuilt when the drawing settings change).
    HBRUSH drawAreaBrush;
    HBRUSH eraserBrush;
    HPEN drawAreaPen;
    HPEN blocksDottedPen, blocksSolidPen;
    HPEN pointsSolidPen, pointsDottedPen;
    HPEN marksPen, geometryPen, erasersPen;
    HPEN inputSolidPen, inputDottedPen;
    HPEN layersPen;
    HFONT panelFont;
};
extern SharedGdi g_SharedGdi;

// The standard colour of a drawing-settings colour index (0 to 31; others 0).
COLORREF InitStandardColor(int32_t index);

// The stock objects, the placing and eraser bitmaps and the mini font.
// 1 on success, 0 when the mini font cannot be made.
int InitCreateGdiResources();
void InitDeleteGdiResources();
// The screen-colour pens, brushes and the panel font from the drawing
// settings; the previous ones are deleted first.
void InitCreateScreenObjects();
void InitDeleteScreenObjects();

// Font constructors (0 on failure).
HFONT InitCreateFont(const char *face, int32_t height);
HFONT InitCreateMiniFont(int32_t height, int32_t escapement);
HFONT InitCreateFontDef(int32_t height, int32_t escapement, const FontDef *font);
HFONT InitCreateFontDefDevice(int32_t height, int32_t escapement, const FontDef *font);

// Brushes and pens of the system colours (and of the colour of coloured
// texts, a drawing setting), for the tool windows' frames and buttons.
// Made again when the system colours change.
enum SysColorBrush { SYS_BRUSH_WINDOW, SYS_BRUSH_SHADOW, SYS_BRUSH_HIGHLIGHT, SYS_BRUSH_FACE, SYS_BRUSH_TEXT,
                     SYS_BRUSH_COLOR_TEXT, SYS_BRUSH_GRAY_TEXT, SYS_BRUSH_COUNT };
enum SysColorPen { SYS_PEN_FRAME, SYS_PEN_WINDOW_TEXT, SYS_PEN_SHADOW, SYS_PEN_HIGHLIGHT, SYS_PEN_FACE,
                   SYS_PEN_TEXT, SYS_PEN_COLOR_TEXT, SYS_PEN_GRAY_TEXT, SYS_PEN_COUNT };
struct SysColorObjects {
    HBRUSH brushes[SYS_BRUSH_COUNT];
    HPEN pens[SYS_PEN_COUNT];
};
extern SysColorObjects g_SysColors;
void InitCreateSysColorObjects();
void InitDeleteSysColorObjects();
