// The text engine: fonts and their metrics, and the layout of unframed texts
// in internal units (20 per text height).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "app/system_records.h" // FontDef
#include "database/unit.h"
#include "geometry/matrix.h"

// Font kinds (first field of a FontDef).
constexpr uint32_t FONT_KIND_LIBRARY = 0; // a character library named by the face
constexpr uint32_t FONT_KIND_TRUETYPE = 1;
constexpr uint32_t FONT_KIND_DEVICE = 2;
constexpr uint32_t FONT_STYLE_OVERLINE = 0x4; // a line over a dimension's main text

// Payload of a TextStandard element (kind 235).
struct TextStandardRecord {
    FontDef font;
    uint32_t pad;
    XProperty property;  // 80 bytes into the payload
    Matrix matrix;       // the text matrix
    double charSpacing;  // text heights
    double tabUnit;
    double lineSpacing;
    int32_t alignment;   // 0 left, 1 centred, 2 right
    uint32_t pad2;
};
static_assert(sizeof(TextStandardRecord) == 216 - 16);
static_assert(offsetof(TextStandardRecord, property) == 80);
static_assert(offsetof(TextStandardRecord, matrix) == 120);

// Payload of a TextFrame element (kind 236).
struct TextFrameRecord {
    FontDef font;
    uint32_t pad;
    XProperty property;
    double height;
    double charSpacing;
    double tabUnit;
    double lineSpacing;
    int32_t alignment;
    uint32_t pad2;
};
static_assert(sizeof(TextFrameRecord) == 176 - 16);
static_assert(offsetof(TextFrameRecord, property) == 80);

// Internal text units per text height.
constexpr double TEXT_UNITS_PER_HEIGHT = 20.0;
constexpr uint8_t TEXT_CODE_TAB = 0xAC;
constexpr uint8_t TEXT_CODE_NEWLINE = 0xB6;

void SymbolInitFont();
void SymbolReleaseFont();
// Makes the font current: 1 with a GDI font handle (library -1) or a
// character library index (handle 0); 0 when no font can be made current.
int SymbolSelectFont(const FontDef *font, HFONT *handle, int *library);
// Cell {left, descent, right, ascent} and advance of a character of the current font.
int SymbolGetCharCell(int code, double box[4], double *advance);
double SymbolKerning(int previous, int code);

void SymbolSetTextLayout(double charSpacing, double tabUnit, double lineSpacing, int alignment);
void SymbolSetTextLayoutEx(double height, double charSpacing, double tabUnit, double lineSpacing, int alignment);

// The walk of an unframed text; m is the line matrix in internal units and is
// moved along as characters advance.
int SymbolBeginText(const char *text, Matrix *m);
int SymbolNextTextLine(double advance, int *newLine);
double SymbolGetTextPenX();
double SymbolGetTextLineShift();

// The string to show for a stored text (references expanded when the drawing
// shows them); SymbolReleaseTextString frees what the last call made.
const char *SymbolGetTextString(const char *text);
void SymbolReleaseTextString();
