// The font and text dialogs: the font choice, the attributes of standard and
// framed texts with or without their text, and the text alone. Each edits
// copies and writes them back on OK only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/object_attributes.h"
#include "files/file_records.h"

// The edit control of a text holds a stored text of 8000 characters with
// every line break doubled (CR LF), and the room Box01TextToMultiline keeps.
constexpr int BOX07_EDIT_SIZE = 2 * 8000 + 2;

// 1 on OK (font then holds the choice), 0 on Cancel or when the dialog cannot be shown.
uint32_t Box07FontDef(HWND owner, const char *caption, FontDef *font);
// text: a stored text in a buffer of 8001 bytes, or null for the templates
// without a text field.
uint32_t Box07TextStandard(HWND owner, const char *caption, ObjectAttributes *attributes, char *text);
uint32_t Box07TextFrame(HWND owner, const char *caption, ObjectAttributes *attributes, char *text);
uint32_t Box07TextChange(HWND owner, const char *caption, char *text);
// The reference-text group: arrow head, leader, frame shape and distance.
uint32_t Box07TextReference(HWND owner, const char *caption, ObjectAttributes *attributes);
// The several-objects variants: every field the user touches gets its bit in
// the group's change mask (shown by check box 500 + bit) and is applied to
// all selected objects.
uint32_t Box07TextStandardMulti(HWND owner, const char *caption, ObjectAttributes *attributes);
uint32_t Box07TextFrameMulti(HWND owner, const char *caption, ObjectAttributes *attributes);
uint32_t Box07TextReferenceMulti(HWND owner, const char *caption, ObjectAttributes *attributes);

// The program's status (memory, object lists, libraries, bitmaps, clipboard,
// screen): 1 after the user closed it, 0 when it cannot be shown.
uint32_t Box07ProgramStatus(HWND owner, const char *caption);
// The about box with the version line and the build date: 1 after it was
// closed, 0 when it cannot be shown.
uint32_t Box07About(HWND owner, const char *caption);
// The about box's credits sequence, run from its idle timer: the credits
// scroll through the text area until they end or the user stops them.
void Box07AboutAnimate(HWND dialog);
// 1 while the about box's credits sequence runs.
uint32_t Box07AboutRunning(HWND dialog);
