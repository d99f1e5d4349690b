// The snap dialogs: SNAPEDIT (pick radius and tolerance, the catches that
// work while snapping, the flag duration) and SNAPTOGGLE (which snap modes
// are on). Both edit a copy and write it back only on OK.
#pragma once

#include <windows.h>

struct LocalSnap;

// 1 on OK, 0 on Cancel or when the dialog cannot be shown.
int Box03EditSnapValues(HWND owner, const char *caption, LocalSnap *snap);
int Box03ToggleSnapModes(HWND owner, const char *caption, LocalSnap *snap);

// The mode word after pressing mode bit k (0 to 8) in SNAPTOGGLE: with
// single-mode switching, bits 0, 1, 2 and 8 stand alone and bits 3 to 7 form
// a group, remembered when a single mode replaces it.
void Box03SnapTogglePress(LocalSnap *snap, int k);
