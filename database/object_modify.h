// Modification with undo backups. A change of a set of objects is made
// undoable by keeping each changed unit's old state as a dead unit in the
// same list: a preparing walk gives every member of the set a backup (or a
// replacing copy) and marks the unit to change with UNIT_TRANSFORM; a second
// walk changes the marked units and clears the mark. The selection family
// wraps both walks in one undo step.
//
// keepCopy (keepOriginal) leaves the unchanged state as a new object of its
// own; markCopy (markKept) decides where the set's mask bits go: with 1 onto
// the kept copy when there is one, and the selection stays; with 0 onto the
// changed unit, and the second walk clears the selection.
#pragma once

#include <cstdint>

#include "database/unit.h"
#include "geometry/matrix.h"

// The conversion commands of ObjectCopyForModify.
constexpr int32_t MODIFY_DISTORTABLE = 422;
constexpr int32_t MODIFY_INVERT = 735;
constexpr int32_t MODIFY_TYPE_FIRST = 736; // 736 to 746: to the types of kModifyTypes
constexpr int32_t MODIFY_TYPE_LAST = 746;
constexpr int32_t MODIFY_PLAIN_COPY = 0;   // any other number: a byte copy

// The second flag bit the second walks clear together with UNIT_TRANSFORM.
constexpr uint32_t UNIT_TRANSFORM_EXTRA = 0x200;
// ObjectMovePointsAt: the object has a point at the position.
constexpr uint32_t UNIT_POINT_AT = 0x400;

// Preparing walks over the alive units of the list carrying every bit of mask.
// 1, or 0 when a copy could not be stored (the caller cancels the step).
// g_ExtentsRect then holds the old frames of the processed units.
int ObjectBackupForModify(int list, uint32_t mask, int keepCopy, int markCopy);
int ObjectCopyForModify(int list, uint32_t mask, int keepOriginal, int markKept, int32_t command);

// Second walks; the new frames go to g_ChangedRect.
int ObjectTransform(Unit *unit, const Matrix *matrix, int keepSelection);
int ObjectTransformMarked(const Matrix *matrix, uint32_t mask, int keepSelection);
int ObjectRegenerateMarked(uint32_t mask, int keepSelection);

// One undo step each over list 0; 1 done, 0 cancelled.
int ObjectTransformSelection(const Matrix *matrix, int unused, int keepCopy, int markCopy);
int ObjectTransformSelectionInPlace(const Matrix *matrix, uint32_t mask, int keepCopy, int markCopy);
int ObjectTransformSelectionDistort(const Matrix *matrix, uint32_t mask, int keepOriginal, int markKept);
int ObjectConvertSelection(uint32_t mask, int keepOriginal, int markKept, int32_t command);
// The list position is the drawing order (the head is drawn first).
int ObjectSendToBack(uint32_t mask);
int ObjectBringToFront(uint32_t mask);

// FrameCalcObject on every plain object of list 0, whatever its lifetime.
void ObjectRecalcAllFrames();

// Points. pointMask selects point elements by their point flags; the
// extents of selected points come with the selection.
int ObjectTransformSelectedPoints(const Matrix *matrix, uint16_t pointMask);
int ObjectMoveSelectedPoints(const Matrix *matrix, uint32_t mask, int keepCopy);
int ObjectMovePointsAt(double x, double y, const Matrix *matrix, int keepCopy);
