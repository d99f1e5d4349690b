// The builder state of the plug-in interface.
#pragma once

#include <cstddef>

// Closes every builder without freeing its buffer (start-up and the module
// tables' reset).
void ZviResetCreation();

// The builders for a walk of the program that may call the modules (they may
// rebuild an object through the builders): started for the walk and ended
// after it, unless a plug-in has them started already, whose open work then
// stays as it is.
struct ZviCreationBracket {
    ZviCreationBracket();
    ~ZviCreationBracket();
    ZviCreationBracket(const ZviCreationBracket &) = delete;
    ZviCreationBracket &operator=(const ZviCreationBracket &) = delete;
    bool started;
};

// Where a DimSmall and a DimLarge record keep their coordinate system.
constexpr size_t DIM_SMALL_SYSTEM_OFFSET = 172, DIM_LARGE_SYSTEM_OFFSET = 240;
// Writes the drawing's dimension parameters (font, the four sizes, the three
// number-format words and the coordinate system at systemOffset) into a
// DimSmall or DimLarge record.
void ZviPutDrawingDimParameters(void *record, size_t systemOffset);
