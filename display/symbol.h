// The text engine: fonts and their metrics, and the layout of unframed texts
// in internal units (20 per text height).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "database/unit.h"
#include "files/file_records.h" // FontDef and the text records
#include "geometry/matrix.h"

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
