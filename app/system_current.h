// The page frames and the display settings that value texts and terms read.
//
// The settings module owns the page table and the drawing settings; these are
// the fields of them that the conversions need.
#pragma once

#include <cstdint>

constexpr int SYSTEM_MAX_PAGES = 100;

// The frame of one page in drawing millimetres.
struct PageFrame {
    double xmin, ymin, xmax, ymax;
};

extern PageFrame g_PageFrames[SYSTEM_MAX_PAGES];
extern int32_t g_ActivePage; // index of the active page

// Drawing setting "DisplayDecimal": nonzero writes a decimal comma.
extern int32_t g_DisplayDecimal;

// The active page's frame; page 0 when the index is out of range.
const PageFrame &SystemActivePageFrame();
