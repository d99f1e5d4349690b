// The selection filter dialog: which objects the selection and
// identification commands take, and the eight stored filters.
#pragma once

#include <windows.h>

#include "app/system_records.h" // SelectionFilter

constexpr int BOX11_FILTER_HELP = 15054;
constexpr int BOX11_FILTER_STORED = 8;

// Edits the current filter and the stored ones; both are written back only
// on OK (1), never on cancel (0). The title is always the filter's own.
int Box11SelectionFilter(HWND owner, const char *caption, SelectionFilter *current,
                         SelectionFilter stored[BOX11_FILTER_STORED]);
// The type code of a row of the type list (SELECTION_FILTER_TYPES when the
// row has none) and the row of a type code.
int Box11ObjectTypeFromListIndex(int row);
int Box11ListIndexFromObjectType(int type);
// The values of a filter after its reset button.
void Box11FilterReset(SelectionFilter *filter);
