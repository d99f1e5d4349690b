// The default layer and pen dialogs: the layer or pen that new objects of
// certain kinds take instead of the current one (-1 = the current one).
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int BOX06_DEFAULT_LAYERS_HELP = 15022;
constexpr int BOX06_DEFAULT_PENS_HELP = 15031;
constexpr int BOX06_LAYER_CHOICE_FIRST = 12050, BOX06_LAYER_CHOICE_TOP = 12551;
constexpr int BOX06_PEN_CHOICE_FIRST = 12553, BOX06_PEN_CHOICE_TOP = 13054;

// Edit the eight slots (DEFAULTPENS only slots 0 to 4). 1 on OK with the
// slots replaced, 0 on cancel or when the dialog cannot be shown.
int Box06EditDefaultLayers(HWND owner, const char *caption, int32_t slots[8]);
int Box06EditDefaultPens(HWND owner, const char *caption, int32_t slots[8]);
