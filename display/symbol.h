// The text engine: fonts and their metrics, the layout of unframed and framed
// texts in character units (20 per text height), text references, glyph
// outlines, text creation and text to curves.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "database/unit.h"
#include "files/file_records.h" // FontDef and the text records
#include "geometry/matrix.h"

// Character units per text height.
constexpr double TEXT_UNITS_PER_HEIGHT = 20.0;
constexpr uint8_t TEXT_CODE_TAB = 0xAC;
constexpr uint8_t TEXT_CODE_NEWLINE = 0xB6;
// The longest stored text, and the buffer that holds it with its terminator.
constexpr int TEXT_MAX_LENGTH = 8000;
constexpr int TEXT_BUFFER_SIZE = TEXT_MAX_LENGTH + 1;
// A line of a framed text that ends its paragraph is never justified.
constexpr int32_t TEXT_JUSTIFY_NONE = 8001;
constexpr int32_t TEXT_ALIGN_LEFT = 0;
constexpr int32_t TEXT_ALIGN_CENTRE = 1;
constexpr int32_t TEXT_ALIGN_RIGHT = 2;
constexpr int32_t TEXT_ALIGN_JUSTIFY = 3;

// ---------------------------------------------------------------------------
// Fonts (symbol_font.cpp)

void SymbolInitFont();
// Ends the current selection; the measured fonts stay cached for the next paint.
void SymbolReleaseFont();
// Frees every cached font (at exit, and when the character libraries change).
void SymbolFreeFonts();
// Makes the font current: 1 with a GDI font handle or a character library
// index (handle 0); 0 when no font can be made current.
int SymbolSelectFont(const FontDef *font, HFONT *handle, int *library);
// {ascent, descent, left, right, advance} of a character of the current font.
void SymbolGetCharBox(int code, double box[5]);
// Cell {left, descent, right, ascent} and advance; 0 when a character
// library lacks the character (advance set in any case).
int SymbolGetCharCell(int code, double box[4], double *advance);
double SymbolCharAdvance(int code);
double SymbolKerning(int previous, int code);
double SymbolFontAscent();
double SymbolFontDescent();
// The GGO_NATIVE outline of a character of the current Windows font into
// buffer: its size (0 for a blank), or -1 on failure.
int32_t SymbolGlyphOutline(int code, void *buffer, uint32_t size, GLYPHMETRICS *metrics);
// The outline of a character of the current Windows font as a surface object
// in character units, kept with the font's metrics; 0 for a character without
// an outline, or without a Windows font, and then failed (when given) = 1 when
// the outline was there but could not be converted.
const Unit *SymbolGlyphPath(int code, int *failed = nullptr);

// ---------------------------------------------------------------------------
// Layout (symbol_text.cpp)

// The layout of a framed text, filled by SymbolLayoutTextFrame.
struct TextFrameLayout {
    Matrix firstLine;         // character units of the first line to output units
    double lineStep[2];       // added to the line start to reach the next line
    double frameWidth;        // character units: room for one line
    double currentLineWidth;  // character units
    int32_t linesLeft;
    int32_t justifyFrom;      // index after the last tab, TEXT_JUSTIFY_NONE at a paragraph's end
    int32_t spaceCount;       // blanks in the current line
};

void SymbolSetTextLayout(double charSpacing, double tabUnit, double lineSpacing, int alignment);
void SymbolSetTextLayoutEx(double height, double charSpacing, double tabUnit, double lineSpacing, int alignment);
void SymbolGetTextLayout(double *charSpacing, double *tabUnit, double *lineSpacing, int *alignment);
double SymbolLineWidth(const char *line);
// The extents of a multi-line text in text heights (first baseline at y 0)
// into g_ExtentsRect; 0 when the font cannot be selected.
int SymbolMeasureText(const FontDef *font, const char *text, double charSpacing, double tabUnit, double lineSpacing);

// The walk of an unframed text; m is the line matrix in character units and
// is moved along as characters advance.
int SymbolBeginText(const char *text, Matrix *m);
int SymbolNextTextLine(double advance, int *newLine);
// The walk of a framed text.
int SymbolBeginFrameText(const char *text, TextFrameLayout *layout, Matrix *m);
int SymbolNextFrameLine(double advance, TextFrameLayout *layout, int *newLine);
int SymbolLayoutTextFrame(double x1, double y1, double x2, double y2, double x3, double y3, TextFrameLayout *out,
                          const Matrix *a, const Matrix *b);
double SymbolGetTextPenX();
double SymbolGetTextLineShift();
void SymbolGetLineMatrix(Matrix *out);

// ---------------------------------------------------------------------------
// References (symbol_vars.cpp)

// The string to show for a stored text (references expanded when the drawing
// shows them); SymbolReleaseTextString frees what the last call made.
const char *SymbolGetTextString(const char *text);
void SymbolReleaseTextString();
// System variables (%%, %A0 ...): 1 for a name of the table, else 0 with the
// default text; used = 2 for "%%", 3 for the other names, 1 otherwise.
int SymbolExpandSystemVariable(const char *name, char *value, int *used);
// A drawing variable by name without regard to case: 1 and its value, or 0
// and the default text.
int SymbolLookupVariable(const char *name, char *value);
// The longest value of a reference, with its terminator.
constexpr int TEXT_VALUE_SIZE = 260;

// ---------------------------------------------------------------------------
// Creation and text to curves (symbol_curves.cpp)

// The text part of the drawing settings (app/system.h): font, the distances
// {character spacing, tab unit, line spacing}, height and alignment.
struct TextSettings;

int SymbolCreateStdText(const TextSettings *settings, const char *text, const Matrix *m);
// The frame's corners come from P and Q: top-left, top-right, bottom-left.
int SymbolCreateFrameText(const TextSettings *settings, const char *text, double px, double py, double qx, double qy);
// A GGO_NATIVE outline as a surface object in out (capacity bytes), in
// character units.
int SymbolGlyphToPath(Unit *out, uint32_t capacity, const void *buffer, const GLYPHMETRICS *metrics, uint32_t size);
double SymbolTextCharToCurves(Unit *source, int code, const XProperty *property, const Matrix *m);
double SymbolLibCharToCurves(Unit *source, int code, int library, const XProperty *property, const Matrix *m);
int SymbolStdTextToCurves(Unit *source, const FontDef *font, const char *text, const XProperty *property,
                          const Matrix *m);
int SymbolFrameTextToCurves(Unit *source, const FontDef *font, const char *text, const XProperty *property,
                            TextFrameLayout *layout);
// Converts the alive texts of list 0 whose flags hold mask; 1 done, 0 none
// converted or a failure answered with cancel.
int SymbolTextToCurvesCommand(uint32_t mask, int keepTexts);
// The question asked when a text cannot be converted; a seam for tests.
typedef int (*SymbolCurvesQuestion)(const char *text);
extern SymbolCurvesQuestion g_SymbolCurvesQuestion;

// The text engine's state in the middle of a text: its layout and line walk,
// the selected font and the resolved text string. Code that hands control to
// a plug-in during a walk keeps it around the call, so that whatever the
// plug-in does with the engine leaves the walk as it was.
constexpr size_t SYMBOL_TEXT_STATE_BYTES = 8448; // room for the layout and the walk
struct SymbolStateKeeper {
    SymbolStateKeeper();
    ~SymbolStateKeeper();
    SymbolStateKeeper(const SymbolStateKeeper &) = delete;
    SymbolStateKeeper &operator=(const SymbolStateKeeper &) = delete;

private:
    alignas(8) unsigned char text_[SYMBOL_TEXT_STATE_BYTES];
    const void *fontEntry_;
    FontDef font_;
    char *pending_;
};
// The pieces the keeper moves (one per file of the engine).
void SymbolTextSave(void *out, size_t bytes);
void SymbolTextRestore(const void *in);
const void *SymbolCurrentFont(FontDef *def);
void SymbolReselectFont(const void *entry, const FontDef *def);
char *SymbolTakePendingText();
void SymbolPutPendingText(char *text);

