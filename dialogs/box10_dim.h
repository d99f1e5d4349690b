// The dimension attribute dialogs: the line ends of a dimension line
// (DIMENSIONPARAM0), the layout of a large dimension (DIMENSIONPARAM1), the
// switches of a small one (DIMENSIONPARAM2) and the number format and font
// all dimensions share (DIMENSIONDATA). Each edits a copy of the caller's
// attribute collection and returns 1 after OK (the collection then holds the
// edited copy), 0 on Cancel or when the dialog cannot be shown; none applies
// anything to the drawing.
#pragma once

#include <windows.h>

#include <cstdint>

struct ObjectAttributes;

uint32_t Box10DimensionParam0(HWND owner, const char *caption, ObjectAttributes *attributes);
// editText: the switch that asks for the texts before every new dimension
// (null: its check box is disabled); defaults: the dialog edits the values
// new dimensions take.
uint32_t Box10DimensionParam1(HWND owner, const char *caption, ObjectAttributes *attributes, uint32_t *editText,
                              uint32_t defaults);
uint32_t Box10DimensionParam2(HWND owner, const char *caption, ObjectAttributes *attributes, uint32_t *editText,
                              uint32_t defaults);
uint32_t Box10DimensionData(HWND owner, const char *caption, ObjectAttributes *attributes, uint32_t defaults);
// Disables every control group whose bit of the collection's field-enable
// word is clear.
void Box10EnableDimControls(HWND dialog, const ObjectAttributes *attributes);
