// The constructions of the dimension and measure commands (the dimension
// and angle-dimension families of the construction table).
#pragma once

// Distance, radius, diameter and coordinate dimensions, the dimension edits
// 828 to 832 and the measure 840. 1 when the cursor gives a valid point.
int InputConstructDimension(int index, double x, double y);
// Angle and arc-length dimensions and the angle measure 843.
int InputConstructAngleDimension(int index, double x, double y);
// A text angle in [0, 2pi) turned by -pi when the text would read upside
// down (angles in (pi/2, 3pi/2]).
double InputFoldTextAngle(double a);
