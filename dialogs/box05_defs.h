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
