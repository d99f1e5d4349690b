// Editors of the drawing's definitions: the property set of a pen and the
// text variables.
#pragma once

#include <windows.h>

#include <cstdint>

struct Property;
struct VariableDef;

constexpr int BOX05_PROPERTY_HELP = 15034;
constexpr int BOX05_VARIABLES_HELP = 15090;

// Edits the variable table (100 entries), which is sorted first whatever the
// outcome. 1 on OK with the edited table written back sorted, 0 on cancel or
// when the dialog cannot be shown.
int Box05EditVariableDefs(HWND owner, const char *caption, VariableDef *table);

// Edits one property set of a pen. 1 on OK with the record replaced, 0 on
// cancel or when the dialog cannot be shown (the record is then untouched).
int Box05EditProperty(HWND owner, const char *caption, Property *property);

// The line-type popup of the property dialog: line type i arrives as
// command BOX05_LINE_CHOICE_FIRST + i.
constexpr int BOX05_LINE_CHOICE_FIRST = 13162;

// The controls the pen property dialog shares with the selection filter:
// the end-cap and join buttons 450-455 and the width presets 400-406.
constexpr int BOX05_STYLE_FIRST = 450, BOX05_STYLE_LAST = 455;
constexpr int BOX05_PRESET_FIRST = 400, BOX05_PRESET_LAST = 406;
// Draws style button item->CtlID, pressed when `style` holds its value.
void Box05DrawStyleButton(const DRAWITEMSTRUCT *item, uint32_t style);
// Button id sets its end-cap or join bits in *style (the others stay); the six are redrawn.
void Box05PressStyleButton(HWND dialog, int id, uint32_t *style);
// Preset button id writes its width into field `field` (the record is not changed).
void Box05PressWidthPreset(HWND dialog, int id, int field);
