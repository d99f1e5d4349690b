// The dimension attribute dialogs: the line ends of a dimension line
// (DIMENSIONPARAM0), the layout of a large dimension (DIMENSIONPARAM1), the
// switches of a small one (DIMENSIONPARAM2) and the number format and font
// all dimensions share (DIMENSIONDATA). Each edits a copy of the caller's
// attribute collection and returns 1 after OK (the collection then holds the
// edited copy), 0 on Cancel or when the dialog cannot be shown; none applies
// anything to the drawing. The several-objects variants ("Multi") mark in the
// group's change mask every field the user touched or ticked: only those are
// written into all the objects.
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
uint32_t Box10DimensionParam0Multi(HWND owner, const char *caption, ObjectAttributes *attributes);
uint32_t Box10DimensionParam1Multi(HWND owner, const char *caption, ObjectAttributes *attributes);
uint32_t Box10DimensionParam2Multi(HWND owner, const char *caption, ObjectAttributes *attributes);
uint32_t Box10DimensionDataMulti(HWND owner, const char *caption, ObjectAttributes *attributes);

// The drawing-wide dimension layout, as the drawing settings keep it.
struct DimLayout {
    double minimumArrow; // millimetres
    double arrowFactor;  // times the line width
    int32_t numberMode;  // 0 to 2, the mode word of coordinate texts
    int32_t lineMode;    // extension lines, 0 or 1
    uint32_t editText;   // ask the texts of every new dimension
};
static_assert(sizeof(DimLayout) == 32);
// DIMENSIONLAYOUT on a copy of layout; 1 after OK (layout then holds it).
uint32_t Box10DimensionLayout(HWND owner, const char *caption, DimLayout *layout);
// The layout of the drawing's settings in DIMENSIONLAYOUT; on OK it is
// written back at once and the drawing counts as changed.
uint32_t Box10DimensionLayoutOfDrawing(HWND owner, const char *caption);
// Disables every control group whose bit of the collection's field-enable
// word is clear.
void Box10EnableDimControls(HWND dialog, const ObjectAttributes *attributes);
