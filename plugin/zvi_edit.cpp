#include "plugin/zvi_edit.h"

#include <cstring>

#include "commands/command_state.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/symbol_browse.h"
#include "database/symbol_find.h"
#include "database/symbol_undo.h"
#include "database/undo.h"
#include "display/output_paint.h"
#include "files/file_records.h"
#include "plugin/stream.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

double ZviFlipSense(double value)
{
    if (value == 0.0)
        return -1.0;
    return -value;
}

void ZviEditUnitPointsMatrix(Unit *unit, const Matrix *matrix)
{
    if (!unit || !matrix || (unit->kind != UNIT_KIND_OBJECT && unit->kind != UNIT_KIND_PLUGIN))
        return;
    const bool mirrored = MatrixIsMirrored(matrix) != 0;
    UnitForEachElement(unit, [&](Element *e) {
        if (ElementIsPoint(e)) {
            auto *p = reinterpret_cast<ElementPoint *>(e);
            MatrixApply(*matrix, p->x, p->y, &p->x, &p->y);
            return;
        }
        switch (e->kind) {
        case ELEM_ORIENT:
            if (mirrored) {
                auto *v = static_cast<double *>(ElementPayload(e));
                v[0] = ZviFlipSense(v[0]);
            }
            break;
        case ELEM_CURVE:
            if (mirrored) {
                auto *v = static_cast<double *>(ElementPayload(e));
                v[0] = ZviFlipSense(v[0]);
                v[1] = -v[1];
            }
            break;
        case ELEM_TEXT_STANDARD:
            MatrixMultiply(&static_cast<TextStandardData *>(ElementPayload(e))->matrix, matrix);
            break;
        case ELEM_CLIP_SURFACE:
            MatrixMultiply(&static_cast<ClipSurfaceData *>(ElementPayload(e))->placement, matrix);
            break;
        case ELEM_BITMAP_REF:
            MatrixMultiply(&static_cast<BitmapRefData *>(ElementPayload(e))->placement, matrix);
            break;
        default: break;
        }
    });
}

// --- the exported edit services

namespace {

constexpr uint32_t SELECTED = UNIT_SELECTED;
constexpr uint16_t POINT_SELECTED_MASK = POINT_SELECTED;

// A frame a plug-in asks for: null or 32 writable bytes.
bool FrameValid(double *frame) { return !frame || ZviWritable(frame, 4 * sizeof(double)); }

void CopyFrame(double *frame)
{
    if (frame)
        std::memcpy(frame, g_ExtentsRect, 4 * sizeof(double));
}

double s_IdentExtents[4] = {1e300, 1e300, -1e300, -1e300};

int CountSelected()
{
    const int n = ObjectExtentsSelected(LIST_DRAWING, SELECTED);
    std::memcpy(s_IdentExtents, g_ExtentsRect, sizeof s_IdentExtents);
    if (g_CommandState)
        g_CommandState->selectedCount = n; // the running command's count
    return n;
}

template <typename Store>
Unit *Link(Unit *object, Unit *ref, int keepOld, Store store, const char *function, int line)
{
    Unit *u = ZviLiveUnit(LIST_DRAWING, object);
    if (!u)
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, "UnitPtr invalid!"));
    Unit *r = nullptr;
    if (ref && !(r = ZviLiveUnit(LIST_DRAWING, ref)))
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, "RefPtr invalid!"));
    Unit *copy = store(u, r);
    if (!copy)
        return nullptr;
    UndoStampCreated(copy);
    if (!keepOld)
        UndoStampDeleted(u);
    return copy;
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_EditIdentCount(int, double frame[4])
{
    if (!FrameValid(frame))
        return ZVI_REFUSE("Frame address invalid!");
    const int n = CountSelected();
    CopyFrame(frame);
    return n;
}

void ZVI_CALL ZVI_EditIdentRedraw() { OutputInvalidateTwoAreas(s_IdentExtents, g_ChangedRect); }

int ZVI_CALL ZVI_EditIdentMatrix(int, const Matrix *m, int keepOriginal)
{
    if (m && !ZviReadable(m, sizeof(Matrix)))
        return ZVI_REFUSE("Matrix address invalid!");
    if (m && !MatrixIsFinite(*m))
        return ZVI_REFUSE("Matrix invalid!");
    CountSelected();
    if (!m)
        return ObjectBackupForModify(LIST_DRAWING, SELECTED, keepOriginal, 0);
    const Matrix matrix = *m;
    const int ready = MatrixIsDistorted(&matrix)
                          ? ObjectCopyForModify(LIST_DRAWING, SELECTED, keepOriginal, 0, MODIFY_DISTORTABLE)
                          : ObjectBackupForModify(LIST_DRAWING, SELECTED, keepOriginal, 0);
    if (ready)
        ObjectTransformMarked(&matrix, UNIT_TRANSFORM, 0);
    return ready;
}

int ZVI_CALL ZVI_EditIdentEnumModify(int, EnumCallback cb, int keepOriginal)
{
    if (StreamBusy())
        return ZVI_REFUSE("Another enumeration is still in process!");
    if (!ZviCallable(reinterpret_cast<const void *>(cb)))
        return ZVI_REFUSE("CallBack address invalid!");
    CountSelected();
    if (!ObjectBackupForModify(LIST_DRAWING, SELECTED, keepOriginal, 0))
        return 0;
    if (!StreamBeginEnumeration(UNIT_TRANSFORM, UNIT_TRANSFORM, ENUM_OBJECTS_ONLY, cb))
        return 0;
    Unit *last = g_ObjectLists[LIST_DRAWING].tail;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u && !StreamAborted(); u = u->next) {
        if ((u->flags & UNIT_TRANSFORM) && UndoIsVisible(u, g_UndoStep))
            StreamEnumerateUnit(u);
        if (u == last)
            break;
    }
    const int result = StreamAborted() ? 0 : 1;
    StreamEndEnumeration();
    return result;
}

void ZVI_CALL ZVI_EditDelete(int, Unit *object)
{
    Unit *u = ZviLiveUnit(LIST_DRAWING, object);
    if (!u) {
        ZVI_REFUSE("UnitPtr invalid!");
        return;
    }
    UndoStampDeleted(u);
}

Unit *ZVI_CALL ZVI_EditLinkBefore(int, Unit *object, Unit *ref, int keepOld)
{
    return Link(
        object, ref, keepOld,
        [](Unit *u, Unit *r) {
            return MemListNewCopyBefore(LIST_DRAWING, u, u->bytes, r ? r : g_ObjectLists[LIST_DRAWING].head);
        },
        __func__, __LINE__);
}

Unit *ZVI_CALL ZVI_EditLinkBehind(int, Unit *object, Unit *ref, int keepOld)
{
    return Link(
        object, ref, keepOld,
        [](Unit *u, Unit *r) {
            return MemListNewCopyAfter(LIST_DRAWING, u, u->bytes, r ? r : g_ObjectLists[LIST_DRAWING].tail);
        },
        __func__, __LINE__);
}

int ZVI_CALL ZVI_EditBlockDelete(int, const char *blockName, const char *libraryName, int onlyUnused)
{
    const int nameLength = ZviTextLength(blockName, UNIT_NAME_SIZE - 1);
    if (nameLength < 0 || nameLength >= UNIT_NAME_SIZE)
        return ZVI_REFUSE("BlockName address invalid!");
    const int libraryLength = ZviTextLength(libraryName, UNIT_NAME_SIZE - 1);
    if (libraryLength < 0 || libraryLength >= UNIT_NAME_SIZE)
        return ZVI_REFUSE("LibraryName address invalid!");
    const int slot = SymbolFindLibrary(libraryName);
    Unit *block = SymbolFindBlock(libraryName, blockName);
    if (slot < 0 || !block)
        return 0;
    if (slot == LIBRARY_INDEX_OWN) {
        if (onlyUnused && SymbolIsBlockUsed(blockName))
            return 0;
        // The index first, so that no cached entry points at the freed block.
        SymbolIndexRemoveOwn(block);
        SymbolDeleteBlock(LIST_OWN_BLOCKS, block);
    } else if (!SymbolDeleteBlockByName(libraryName, blockName)) {
        return 0;
    }
    // The delete's own answer: the block is gone from its list.
    return SymbolFindBlock(libraryName, blockName) != block ? 1 : 0;
}

int ZVI_CALL ZVI_EditPointsCount(int, double frame[4])
{
    if (!FrameValid(frame))
        return ZVI_REFUSE("Frame address invalid!");
    const int n = ObjectExtentsSelectedPoints(POINT_SELECTED_MASK);
    ObjectUpdatePointSelection();
    CopyFrame(frame);
    return n;
}

int ZVI_CALL ZVI_EditPointsMatrix(int, const Matrix *m, int keepOriginal)
{
    if (!ZviReadable(m, sizeof(Matrix)))
        return ZVI_REFUSE("Matrix address invalid!");
    if (!MatrixIsFinite(*m))
        return ZVI_REFUSE("Matrix invalid!");
    const Matrix matrix = *m;
    if (!ObjectBackupForModify(LIST_DRAWING, UNIT_POINTS_SELECTED, keepOriginal, 0))
        return 0;
    return ObjectTransformSelectedPoints(&matrix, POINT_SELECTED_MASK);
}

void ZVI_CALL ZVI_EditUnitPointsMatrix(Unit *object, const Matrix *m)
{
    if (!ZviUnitReadable(object)) {
        ZviRefuseShort(__func__, __LINE__, "UnitPtr invalid!");
        return;
    }
    if (!ZviReadable(m, sizeof(Matrix))) {
        ZVI_REFUSE("Matrix address invalid!");
        return;
    }
    if (!MatrixIsFinite(*m)) {
        ZVI_REFUSE("Matrix invalid!");
        return;
    }
    ZviEditUnitPointsMatrix(object, m);
}

} // extern "C"
