// The dimension text dialogs: EDITDIMENSIONTEXT1 edits the first five texts
// of a large dimension, EDITDIMENSIONTEXT2 all seven of a small one, and
// both the automatic-value switch.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int DIMENSION_TEXT_COUNT = 7;
constexpr int DIMENSION_TEXT_SIZE = 256;
// What a text field takes; a longer text comes back cut to this length.
constexpr int DIMENSION_TEXT_LIMIT = 250;
constexpr int DIMENSION_TEXT_LARGE = 5; // the texts of EDITDIMENSIONTEXT1

struct DimensionText {
    char text[DIMENSION_TEXT_COUNT][DIMENSION_TEXT_SIZE];
    uint32_t automatic;
};
static_assert(sizeof(DimensionText) == DIMENSION_TEXT_COUNT * DIMENSION_TEXT_SIZE + 4);

// 1 after OK (the record holds the edited texts), 0 on Cancel or when the
// dialog cannot be shown.
uint32_t Box11EditDimensionText1(HWND owner, const char *caption, DimensionText *texts);
uint32_t Box11EditDimensionText2(HWND owner, const char *caption, DimensionText *texts);
