// Chain access and the path walk that the distance and the element collection share.
#pragma once

#include "database/unit.h"

// The number-th element of a chain (from 1), or null.
const Element *DistanceElementAt(const Unit *object, int number);
// The same when it is a whole point element.
const ElementPoint *DistancePointAt(const Unit *object, int number);
// The doubles of the number-th element when it has the given kind.
const double *DistanceValuesAt(const Unit *object, int number, int16_t kind);


struct XProperty;
struct Matrix;
// The text kinds of the object dispatch (distance_text.cpp): a standard text
// whose string is element textNumber and its TextStandard record the next
// one (a reference text's text is element 3), a framed text, a reference
// text with its leader and frame, and a dimension with its lines and texts.
double DistanceStandardTextAt(const Unit *object, int textNumber, double px, double py, const XProperty *parent,
                              const Matrix *matrix);
double DistanceFrameText(const Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix);
double DistanceRefText(Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix);
double DistanceDimension(Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix);
