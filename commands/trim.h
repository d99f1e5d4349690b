// The cutting commands of the Change menu: an object divided at points the
// user placed on it, the pieces stored in place of it in the caller's undo
// step.
#pragma once

#include <cstdint>

// Replaces the object with that ident by the first count candidate records
// of g_CalcCandidates (degenerate ones skipped), each with the old object's
// user mark and XProperty; the old object is deleted unless copy mode is on.
// 0 when the object is gone, nothing of it survives (alert 8) or a store fails.
int TrimReplaceByCandidates(int32_t ident, int count);

// 701: cut out the stretch between two points (or keep only it). 1 when the
// drawing changed.
int TrimCutOut();
// 702: split at one point (closed objects at two). 1 when the drawing changed.
int TrimSplit();
