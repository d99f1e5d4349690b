// The cutting commands of the Change menu: an object divided at points the
// user placed on it, the pieces stored in place of it in the caller's undo
// step.
#pragma once

#include <cstdint>

#include "database/unit.h"

// Replaces the object with that ident by the first count candidate records
// of g_CalcCandidates (degenerate ones skipped), each with the old object's
// user mark and XProperty; the old object is deleted unless copy mode is on.
// 0 when the object is gone, nothing of it survives (alert 8) or a store fails.
int TrimReplaceByCandidates(int32_t ident, int count);
// Candidate record index as a new object behind after, with old's XProperty
// and user mark and the given flag bits; the new area widened by it. Null
// when it cannot be stored (the creator has shown why).
Unit *TrimBuildCandidate(int index, Unit *after, const Unit *old, uint32_t bits);
// A line shorter than 1e-10 or an arc of no sweep.
bool TrimCandidateDegenerate(int index);

// 701: cut out the stretch between two points (or keep only it). 1 when the
// drawing changed.
int TrimCutOut();
// 702: split at one point (closed objects at two). 1 when the drawing changed.
int TrimSplit();

struct GeoObject;
// The geometry of the object picked at input point 0 (its type set), or -1
// after alert 5 when it is gone.
int32_t TrimPickedGeometry(GeoObject *g);

// 704 and 706: the length or radius, or one end's angle, to the placed
// point; 705 and 707: the same to the picked boundary element. 1 when the
// object was replaced.
int TrimLengthToPoint();
int TrimLengthToBoundary();
int TrimAngleToPoint();
int TrimAngleToBoundary();

// 708: the picked object traversed the other way. 1 when replaced.
int TrimReverseDirection();
// 720: the picked Surface's contour starting at the vertex nearest to the
// second input point.
int TrimSetStartVertex();
// 703: the selected objects as their elementary segments (lines, arcs,
// Bezier curves, marks). 0 when nothing was exploded or on cancel.
int TrimExplode();
