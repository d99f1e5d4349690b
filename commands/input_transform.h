// Constructions of the placement and transform commands (a frame that follows
// the cursor) and of the change commands (positions on a picked object).
#pragma once

// Corner k of the transform frame: M applied to (Rk.x + dx, Rk.y), moved by
// construction point cp; R0 = (x1, y1), R1 = (x2, y1), R2 = (x2, y2), R3 = (x1, y2).
void InputFeedbackFrameCorners(int cp, double dx);

// Insertions at a point (step 0) and move, rotate and shear (step 2); 0 when a
// shear would divide by zero (the click is refused).
int InputConstructPlacement(int index, double x, double y);
// Cut (701, 702), length (704) and end (706) on the picked object.
int InputConstructChange(int index, double x, double y);
