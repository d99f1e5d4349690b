// Cutting out and splitting the contours of paths (Hatch, Curve, Surface).
#pragma once

#include "database/unit.h"

// Cuts the contour of the path nearest to pick at the places nearest to
// first and second (split: an open path only at first). Cutting out keeps
// the stretch between the cuts when the pick lies outside it, else the
// rest; splitting keeps everything. A Surface's pieces become open Curves.
// The pieces and the other contours are stored behind the object, which is
// deleted unless copy mode is on. 1 when the drawing changed.
int TrimPathCut(Unit *object, const double pick[2], const double first[2], const double second[2], int split);
