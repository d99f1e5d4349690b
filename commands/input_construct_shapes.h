// The constructions of the Draw menu's lines, circles, arcs, ellipses and
// four-corner surfaces: from the entered points (and the picked geometry)
// they compute the construction points that the rubber band shows and the
// Draw handler builds from.
#pragma once

// Line family: perpendiculars, parallels, bisectors, tangents, zigzag. 1 when
// the cursor gives a valid point.
int InputConstructLine(int index, double x, double y);
// Step 1 of 506 and 542: cp 1 the foot of entered point 1 on the picked
// object, cp 4 and cp 5 the guide along the object's normal there.
int InputConstructPerpendicularFoot();
// Circle family: circles, arcs, ellipses, parallelograms, rectangles, polygons.
int InputConstructCircle(int index, double x, double y);

// The corner point of a regular polygon whose side has the given length,
// centred on the centre, its first corner in the direction of toward
// (straight to the right when toward is the centre). 0 for a count outside
// the accepted range or a length that is not positive.
int InputPolygonCornerFromLength(const double centre[2], const double toward[2], int corners, double length,
                                 double out[2]);
