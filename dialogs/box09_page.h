// The page format dialog: paper size, orientation and origin anchor of one
// page.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/system_defs.h"

constexpr double PAGE_MIN_SIDE = 1.0;
constexpr double PAGE_MAX_SIDE = 25000.0;

// The width and height a page shows: its own for a free size or orientation
// 0, else the paper table's (g_PaperSizes), swapped for orientation 2.
void Box09PageShownSize(const PageDef &page, double *width, double *height);

// Edits a copy of the page; 1 on OK (the page receives the copy), 0 on
// Cancel or when the dialog cannot be shown.
int Box09PageFormat(HWND owner, const char *caption, PageDef *page);
