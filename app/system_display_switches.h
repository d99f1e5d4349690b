// The drawing switches that decide which objects are shown, printed and
// pickable: the values of the drawing settings' keys DisplayExtern,
// OutputIntern, OutputGeometry, CommentDisplay (first value) and
// DisplayGeometry (first two values).
#pragma once

#include <cstdint>

struct DisplaySwitches {
    uint32_t displayExtern;    // the screen uses property set B
    uint32_t outputIntern;     // print and export use property set A
    uint32_t outputGeometry;   // construction objects printed
    uint32_t commentDisplay;   // comments shown
    uint32_t geometryShown;    // construction objects shown
    uint32_t geometryFrozen;   // construction objects locked
};

// A new drawing's values: 0, 0, 0, 1, 1, 0.
extern DisplaySwitches g_DisplaySwitches;
