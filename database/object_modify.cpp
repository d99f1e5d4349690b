// Modification with undo backups: the preparing walks, the second walks and
// the selection family that wraps them in one undo step.
#include "database/object_modify.h"

#include <algorithm>
#include <vector>

#include "app/darad4.h"
#include "app/write_refresh.h"
#include "commands/command_state.h"
#include "commands/transform.h"
#include "database/object_modules.h"
#include "database/object_progress.h"
#include "database/object_rects.h"
#include "database/object_transform.h"
#include "database/storage.h"
#include "database/symbol_index.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/frame.h"
#include "language/language.h"
#include "language/language_entries.h"
#include "plugin/zvi_edit.h"
#include "plugin/zvi_create.h"

namespace {

// The new types of the conversion commands 736 to 746, in command order.
constexpr int32_t kModifyTypes[MODIFY_TYPE_LAST - MODIFY_TYPE_FIRST + 1] = {10, 5, 6, 7, 8, 15, 16, 17, 18, 12, 13};

constexpr uint32_t kCarriedFlags = UNIT_USER_MARK | UNIT_MARKED; // go over to the changed unit
constexpr uint32_t kModifyMarks = UNIT_TRANSFORM | UNIT_TRANSFORM_EXTRA;

// The flags the changed unit takes from the set (step 1 of both preparing walks).
uint32_t ChangedFlags(const Unit *u, uint32_t mask, int keep, int mark)
{
    const uint32_t carried = u->flags & kCarriedFlags;
    return keep && mark ? carried : carried | mask;
}

// Ends a unit's modification: the marks go, and the selection unless kept.
void ClearModifyMarks(Unit *unit, int keepSelection)
{
    unit->flags &= ~kModifyMarks;
    if (!keepSelection)
        unit->flags &= ~UNIT_SELECTED;
}

int StoreFailed(const double rect[4])
{
    for (int i = 0; i < 4; ++i)
        g_ExtentsRect[i] = rect[i];
    AlertSM2(g_MainWnd);
    return 0;
}

// The conversion of one plain object into buf; false when it does not apply.
bool Convert(const Unit *u, Unit *buf, int32_t command)
{
    if (command == MODIFY_DISTORTABLE) {
        TransformDistortable(u, buf); // 0 only says that nothing needed converting
        return true;
    }
    if (command == MODIFY_INVERT)
        return TransformInvert(u, buf) != 0;
    if (command >= MODIFY_TYPE_FIRST && command <= MODIFY_TYPE_LAST)
        return TransformObjectType(u, buf, kModifyTypes[command - MODIFY_TYPE_FIRST]) != 0;
    TransformObjectType(u, buf, -1); // a plain copy
    return true;
}

template <typename Prepare, typename Change>
int InOneStep(Prepare prepare, Change change)
{
    UndoInitProcess();
    if (!prepare()) {
        UndoCancelProcess();
        return 0;
    }
    change();
    UndoFinishProcess();
    return 1;
}

void RegenerateUnit(Unit *u)
{
    if (u->kind == UNIT_KIND_OBJECT)
        FrameCalcObject(u, 1);
    else
        FrameCalcInstance(u, 1);
}

// The units of a list alive now that carry every bit of the mask. Of the
// drawing, taken from the undo notes when those hold them all (an edit of a
// few units then costs the same in any drawing); otherwise a walk of the
// list, in its order.
std::vector<Unit *> MarkedUnits(int list, uint32_t mask)
{
    std::vector<Unit *> units;
    if (list == LIST_DRAWING && UndoNotedUnitsWith(mask, &units))
        return units;
    for (Unit *u = MemListFirst(list, mask, mask, 1); u; u = MemListNext(u))
        units.push_back(u);
    return units;
}

} // namespace

void ObjectProgressReset()
{
    if (g_CommandState)
        g_CommandState->progressDone = 0;
    WriteRefreshStatus();
}

void ObjectProgressCount(const ObjectProgressStep &step)
{
    if (!g_CommandState)
        return;
    const int32_t done = g_CommandState->progressDone++;
    if (done % step.every == 0)
        WriteShowStatusPercent(eStatusTexts[step.entry], done, g_CommandState->progressTotal);
}

void ObjectProgressEnd(const ObjectProgressStep &step)
{
    if (g_CommandState)
        WriteShowStatusPercent(eStatusTexts[step.entry], g_CommandState->progressTotal,
                               g_CommandState->progressTotal);
}

int ObjectBackupForModify(int list, uint32_t mask, int keepCopy, int markCopy)
{
    ObjectProgressReset();
    double rect[4];
    FrameSetEmpty(rect);
    // The backups and kept copies go in front of each unit, so the order of
    // the visits leaves the list the same.
    for (Unit *u : MarkedUnits(list, mask)) {
        const uint32_t f = ChangedFlags(u, mask, keepCopy, markCopy);
        Unit *backup = MemListDuplicate(list, u);
        if (!backup)
            return StoreFailed(rect);
        // The backup is the old state: same ident, flags and birth, dead from now.
        UndoStampDeleted(backup);
        if (keepCopy) {
            Unit *kept = MemListDuplicate(list, u);
            if (!kept)
                return StoreFailed(rect);
            UndoStampCreated(kept);
            if (markCopy)
                kept->flags |= mask;
        }
        UndoStampCreated(u);
        u->flags |= f | UNIT_TRANSFORM;
        FrameUnion(rect, u->frame);
        ObjectProgressCount(OBJECT_PROGRESS_PREPARE);
    }
    for (int i = 0; i < 4; ++i)
        g_ExtentsRect[i] = rect[i];
    ObjectProgressEnd(OBJECT_PROGRESS_PREPARE);
    return 1;
}

int ObjectCopyForModify(int list, uint32_t mask, int keepOriginal, int markKept, int32_t command)
{
    ObjectProgressReset();
    double rect[4];
    FrameSetEmpty(rect);
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return StoreFailed(rect);
    Unit *buffer = reinterpret_cast<Unit *>(g_Universal1);
    bool conversionFailed = false;
    // The kept copy and the replacement go behind each unit, so the order
    // of the visits leaves the list the same.
    for (Unit *u : MarkedUnits(list, mask)) {
        const uint32_t f = ChangedFlags(u, mask, keepOriginal, markKept);
        Unit *anchor = u;
        if (keepOriginal) {
            Unit *kept = MemListNewCopyAfter(list, u, u->bytes, u);
            if (!kept)
                return StoreFailed(rect);
            UndoStampCreated(kept);
            if (markKept)
                kept->flags |= mask;
            anchor = kept;
        }
        const Unit *record = u;
        if (u->kind == UNIT_KIND_OBJECT) {
            if (!Convert(u, buffer, command))
                conversionFailed = true;
            record = buffer;
        }
        Unit *replacement = MemListNewCopyAfter(list, record, record->bytes, anchor);
        if (!replacement)
            return StoreFailed(rect);
        UndoStampDeleted(u);
        UndoStampCreated(replacement);
        replacement->flags |= f | UNIT_TRANSFORM;
        FrameUnion(rect, u->frame);
        ObjectProgressCount(OBJECT_PROGRESS_PREPARE);
    }
    scratch.Release();
    for (int i = 0; i < 4; ++i)
        g_ExtentsRect[i] = rect[i];
    if (conversionFailed)
        AlertButton1(g_MainWnd, LANG(eAlertTextSM, e82));
    ObjectProgressEnd(OBJECT_PROGRESS_PREPARE);
    return 1;
}

int ObjectTransform(Unit *unit, const Matrix *matrix, int keepSelection)
{
    bool regenerated = false;
    switch (unit->kind) {
    case UNIT_KIND_OBJECT:
        ZviEditUnitPointsMatrix(unit, matrix);
        FrameCalcObject(unit, 1);
        break;
    case UNIT_KIND_INSTANCE:
        MatrixMultiply(&unit->instance.placement, matrix);
        FrameCalcInstance(unit, 1);
        break;
    case UNIT_KIND_PLUGIN: {
        // A module that answers 2 rebuilds its object itself.
        int module = -1;
        regenerated = ObjectAskModules(unit, MODULE_OBJECT_TRANSFORM, const_cast<Matrix *>(matrix), &module) ==
                      MODULE_ANSWER_REBUILT;
        if (regenerated)
            ObjectCallModule(module, unit, MODULE_OBJECT_REGENERATE, nullptr);
        else
            MatrixMultiply(&unit->instance.placement, matrix);
        // A rebuilt object may refer to another block now.
        SymbolLinkInstance(unit, LIBRARY_INDEX_OWN);
        FrameCalcInstance(unit, 1);
        break;
    }
    default: break;
    }
    ClearModifyMarks(unit, keepSelection);
    return regenerated ? 1 : 0;
}

int ObjectTransformMarked(const Matrix *matrix, uint32_t mask, int keepSelection)
{
    ZviCreationBracket builders;
    ObjectProgressReset();
    double rect[4];
    FrameSetEmpty(rect);
    auto transform = [&](Unit *u) {
        ObjectTransform(u, matrix, keepSelection);
        FrameUnion(rect, u->frame);
        ObjectProgressCount(OBJECT_PROGRESS_CHANGE);
    };
    const std::vector<Unit *> units = MarkedUnits(LIST_DRAWING, mask);
    // Modules rebuild plug-in objects in the drawing's order and may link or
    // unlink units meanwhile: with one among them the walk follows the list.
    if (std::none_of(units.begin(), units.end(), [](const Unit *u) { return u->kind == UNIT_KIND_PLUGIN; })) {
        for (Unit *u : units)
            transform(u);
    } else {
        for (Unit *u = MemListFirst(LIST_DRAWING, mask, mask, 1); u; u = MemListNext(u))
            transform(u);
    }
    for (int i = 0; i < 4; ++i)
        g_ChangedRect[i] = rect[i];
    ObjectProgressEnd(OBJECT_PROGRESS_CHANGE);
    return 1;
}

int ObjectRegenerateMarked(uint32_t mask, int keepSelection)
{
    ObjectProgressReset();
    double rect[4];
    FrameSetEmpty(rect);
    for (Unit *u = MemListFirst(LIST_DRAWING, mask, mask, 1); u; u = MemListNext(u)) {
        RegenerateUnit(u);
        ClearModifyMarks(u, keepSelection);
        FrameUnion(rect, u->frame);
        ObjectProgressCount(OBJECT_PROGRESS_CHANGE);
    }
    for (int i = 0; i < 4; ++i)
        g_ChangedRect[i] = rect[i];
    ObjectProgressEnd(OBJECT_PROGRESS_CHANGE);
    return 1;
}

int ObjectTransformSelection(const Matrix *matrix, int, int keepCopy, int markCopy)
{
    if (MatrixIsDistorted(matrix))
        return ObjectTransformSelectionDistort(matrix, UNIT_SELECTED, keepCopy, markCopy);
    return ObjectTransformSelectionInPlace(matrix, UNIT_SELECTED, keepCopy, markCopy);
}

int ObjectTransformSelectionInPlace(const Matrix *matrix, uint32_t mask, int keepCopy, int markCopy)
{
    return InOneStep([&] { return ObjectBackupForModify(LIST_DRAWING, mask, keepCopy, markCopy); },
                     [&] { ObjectTransformMarked(matrix, UNIT_TRANSFORM, markCopy); });
}

int ObjectTransformSelectionDistort(const Matrix *matrix, uint32_t mask, int keepOriginal, int markKept)
{
    return InOneStep(
        [&] { return ObjectCopyForModify(LIST_DRAWING, mask, keepOriginal, markKept, MODIFY_DISTORTABLE); },
        [&] { ObjectTransformMarked(matrix, UNIT_TRANSFORM, markKept); });
}

int ObjectConvertSelection(uint32_t mask, int keepOriginal, int markKept, int32_t command)
{
    return InOneStep([&] { return ObjectCopyForModify(LIST_DRAWING, mask, keepOriginal, markKept, command); },
                     [&] { ObjectRegenerateMarked(UNIT_TRANSFORM, markKept); });
}

int ObjectSendToBack(uint32_t mask)
{
    return InOneStep([&] { return ObjectBackupForModify(LIST_DRAWING, mask, 0, 0); },
                     [] {
                         // From the tail backwards, each to the head: the moved
                         // units keep their order. The neighbour is taken first.
                         for (Unit *u = g_ObjectLists[LIST_DRAWING].tail, *prev = nullptr; u; u = prev) {
                             prev = u->prev;
                             if (!(u->flags & UNIT_TRANSFORM) || !UndoIsVisible(u, g_UndoStep))
                                 continue;
                             MemListMoveBefore(LIST_DRAWING, u, nullptr);
                             u->flags &= ~(UNIT_TRANSFORM | UNIT_SELECTED);
                         }
                     });
}

int ObjectBringToFront(uint32_t mask)
{
    return InOneStep([&] { return ObjectBackupForModify(LIST_DRAWING, mask, 0, 0); },
                     [] {
                         for (Unit *u = g_ObjectLists[LIST_DRAWING].head, *next = nullptr; u; u = next) {
                             next = u->next;
                             if (!(u->flags & UNIT_TRANSFORM) || !UndoIsVisible(u, g_UndoStep))
                                 continue;
                             MemListMoveAfter(LIST_DRAWING, u, nullptr);
                             u->flags &= ~(UNIT_TRANSFORM | UNIT_SELECTED);
                         }
                     });
}

void ObjectRecalcAllFrames()
{
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (u->kind == UNIT_KIND_OBJECT)
            FrameCalcObject(u, 1);
}

// ---------------------------------------------------------------------------
// Points.

namespace {

bool HasPoints(const Unit *u) { return u->kind == UNIT_KIND_OBJECT || u->kind == UNIT_KIND_PLUGIN; }

} // namespace

int ObjectTransformSelectedPoints(const Matrix *matrix, uint16_t pointMask)
{
    ZviCreationBracket builders;
    ObjectProgressReset();
    double rect[4];
    FrameSetEmpty(rect);
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_TRANSFORM, UNIT_TRANSFORM, 1); u; u = MemListNext(u)) {
        if (u->kind == UNIT_KIND_OBJECT)
            ObjectTransformPoints(u, matrix, pointMask);
        else if (u->kind == UNIT_KIND_PLUGIN)
            ObjectTransformPointsOther(u, matrix, pointMask);
        FrameUnion(rect, u->frame);
        ObjectProgressCount(OBJECT_PROGRESS_CHANGE);
    }
    for (int i = 0; i < 4; ++i)
        g_ChangedRect[i] = rect[i];
    ObjectProgressEnd(OBJECT_PROGRESS_CHANGE);
    return 1;
}

int ObjectMoveSelectedPoints(const Matrix *matrix, uint32_t mask, int keepCopy)
{
    return InOneStep([&] { return ObjectBackupForModify(LIST_DRAWING, mask, keepCopy, 0); },
                     [&] { ObjectTransformSelectedPoints(matrix, POINT_SELECTED); });
}

int ObjectMovePointsAt(double x, double y, const Matrix *matrix, int keepCopy)
{
    bool found = false;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, 1); u; u = MemListNext(u)) {
        if (!HasPoints(u))
            continue;
        bool here = false;
        UnitForEachElement(u, [&](Element *e) {
            e->pointFlags &= uint16_t(~(POINT_MOVED | POINT_REDRAW));
            if (!ElementIsPoint(e))
                return;
            const auto *p = reinterpret_cast<const ElementPoint *>(e);
            if (p->x == x && p->y == y) { // exactly: the points that meet there
                e->pointFlags |= POINT_MOVED;
                here = true;
            }
        });
        if (here)
            u->flags |= UNIT_POINT_AT;
        else
            u->flags &= ~UNIT_POINT_AT;
        found = found || here;
    }
    if (!found) {
        AlertSM5(g_MainWnd);
        return 0;
    }
    return InOneStep([&] { return ObjectBackupForModify(LIST_DRAWING, UNIT_POINT_AT, keepCopy, 0); },
                     [&] { ObjectTransformSelectedPoints(matrix, POINT_MOVED); });
}
