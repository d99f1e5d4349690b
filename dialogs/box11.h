// The character-library dialog.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/symbol_charlib.h"
#include "files/file_records.h"

// What the dialog edits: a copy of the table, the current text font and the
// fill mode of character outlines (-1: as the current setting).
struct FontHandlingWork {
    CharLibraryTable table;
    FontDef font;
    int32_t fillMode;
};

// 1 after OK: the table, g_DefaultFont and g_FontFillMode hold the edited
// copies, with the marks of libraries to add and to close for the caller to
// carry out (FileApplyCharLibraryMarks). 0 after Cancel or when the dialog
// cannot be shown.
uint32_t Box11FontHandling(HWND owner, const char *caption);
void Box11FontHandlingFillLists(HWND dialog, const FontHandlingWork *work);
// The slot of the selected row; 0 after telling the user to select one.
int Box11FontHandlingGetSel(HWND dialog, int *index);

// Asks for a library file to add: 1 with its path (MAX_PATH bytes). A seam for tests.
typedef int (*Box11ChooseFile)(HWND owner, const char *caption, char *path);
extern Box11ChooseFile g_Box11ChooseLibraryFile;

// ---------------------------------------------------------------------------
// The print layout dialog (box11_print.cpp).

struct PrintSettings;

// 1 after OK: the drawing's print settings hold the edited copy. 0 after
// Cancel, when the dialog cannot be shown, or when the printer cannot be read
// or the page not laid out at opening (eAlertTextOK entry 79 said so).
uint32_t Box11PrintLayout(HWND owner, const char *caption);
// Reads the four margin fields into the copy; 0 at the first bad one.
int Box11PrintLayoutCheck(HWND dialog, PrintSettings *copy);
// The header or footer line of the page being printed: a blank, the format
// with its '%' variables expanded, a closing blank; never more than outSize
// bytes with the terminator. Returns out.
char *Box11PrintHeaderText(const char *format, char *out, int outSize);
