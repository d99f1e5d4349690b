// The construction settings dialog: the spacing rule of divisions and
// multiple copies.
#pragma once

#include <windows.h>

#include <cstdint>

#include "commands/copy_settings.h"

constexpr int BOX04_CONSTRUCTION_HELP = 15047;

// Edits the record on a copy, which goes back only on OK. With rotate 0 the
// rotate-copies switch is not offered and stays as it is. 1 on OK, 0 on
// cancel or when the dialog cannot be shown.
int Box04EditConstruction(HWND owner, const char *caption, ConstructionSettings *settings, int32_t rotate);
