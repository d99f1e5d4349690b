// The ortho layout dialog: the directions the ortho catch draws along.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int ORTHO_ANGLE_LIMIT = 8;
constexpr int BOX03_ORTHO_HELP = 15039;

// The ortho record of the drawing settings: mode 0 uses the angle list,
// modes 1 to 6 rays every 90, 45, 30, 22.5, 15 or 5 degrees; the tolerance
// (radians) of at most 1e-10 catches always.
struct OrthoLayout {
    int32_t mode;
    int32_t count;
    double angles[ORTHO_ANGLE_LIMIT];
    double tolerance;
};
static_assert(sizeof(OrthoLayout) == 80, "the ortho record is 20 words");

// Edits the record on a copy that goes back only on OK: 1 then, else 0.
int Box03EditOrthoLayout(HWND owner, const char *caption, OrthoLayout *layout);
