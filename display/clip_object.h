// Drawers of the object types that read their own element chain.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/unit.h"

int ClipDrawZigzag(HDC hdc, double x1, double y1, double x2, double y2, double size, int clip, uint32_t flags);
int ClipDrawSpline(HDC hdc, Unit *object, int clip, uint32_t flags);
// Hatch, Curve (open, stroked), Surface and Clip (closed, filled): every
// contour one figure of one device path.
int ClipDrawPathObject(HDC hdc, Unit *object, int clip, uint32_t flags);
int ClipDrawMark(HDC hdc, Unit *object, int clip, uint32_t flags);
// The comment: leader, title bar and body on screen outputs only.
int ClipDrawComment(HDC hdc, Unit *object);
