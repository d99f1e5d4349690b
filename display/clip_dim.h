// Line ends and the lines, arcs, extension lines and leaders that carry them:
// lines and arcs with line ends, dimension lines and arcs, reference-text
// leaders and frames. The texts of these objects are drawn by the text engine.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/unit.h"

// Line-end kinds.
constexpr int32_t LINE_END_NONE = 0;
constexpr int32_t LINE_END_FILLED_ARROW = 1;
constexpr int32_t LINE_END_OUTLINE_ARROW = 2;
constexpr int32_t LINE_END_OPEN_ARROW = 3;
constexpr int32_t LINE_END_STROKE = 4;
constexpr int32_t LINE_END_FILLED_DOT = 5;
constexpr int32_t LINE_END_CIRCLE = 6;
// Placements of a line end.
constexpr int32_t LINE_END_INSIDE = 0;
constexpr int32_t LINE_END_OUTSIDE = 1;
constexpr int32_t LINE_END_AUTOMATIC = 2;
// Automatic placement goes outside below this many line-end sizes.
constexpr double LINE_END_AUTO_LENGTH = 30.0;

// The line-end size in millimetres for the context's line width.
double ClipLineEndSize();
// Draws a line end with its tip at (x, y) opening along angle; returns how
// far an outside end lengthens its line, in line-end sizes.
int32_t ClipDrawLineEnd(HDC hdc, int32_t kind, double x, double y, double angle, double size, int clip,
                        uint32_t flags);

int ClipDrawLineStr(HDC hdc, Unit *object, int clip, uint32_t flags);
int ClipDrawLineCurved(HDC hdc, Unit *object, int clip, uint32_t flags);
int ClipDrawDimLinear(HDC hdc, Unit *object, int clip, uint32_t flags);
int ClipDrawDimAngular(HDC hdc, Unit *object, int clip, uint32_t flags);
int ClipDrawRefText(HDC hdc, Unit *object, int clip, uint32_t flags);
