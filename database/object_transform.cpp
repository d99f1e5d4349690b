// Marking objects by their flags and moving the marked ones by a matrix.
#include "database/object.h"
#include "database/storage.h"
#include "database/object_rects.h"
#include "database/undo.h"
#include "files/file_records.h"
#include "geometry/frame.h"
#include "geometry/matrix.h"

namespace {

void TransformRecordMatrix(Matrix *placement, const Matrix *m) { MatrixMultiply(placement, m); }

void TransformUnit(Unit *u, const Matrix *m)
{
    if (u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN)
        TransformRecordMatrix(&u->instance.placement, m);
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e)) {
        if (ElementIsPoint(e)) {
            auto *p = reinterpret_cast<ElementPoint *>(e);
            MatrixApply(*m, p->x, p->y, &p->x, &p->y);
        } else if (e->kind == ELEM_TEXT_STANDARD) {
            TransformRecordMatrix(&static_cast<TextStandardData *>(ElementPayload(e))->matrix, m);
        } else if (e->kind == ELEM_BITMAP_REF) {
            TransformRecordMatrix(&static_cast<BitmapRefData *>(ElementPayload(e))->placement, m);
        } else if (e->kind == ELEM_CLIP_SURFACE) {
            TransformRecordMatrix(&static_cast<ClipSurfaceData *>(ElementPayload(e))->placement, m);
        }
    }
}

} // namespace

void ObjectMarkByMask(int list, uint32_t mask)
{
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(list, 0, 0, 1); u; u = MemListNext(u)) {
        if ((u->flags & mask) == mask)
            u->flags |= UNIT_MARKED;
        else
            u->flags &= ~UNIT_MARKED;
    }
}

int ObjectTransformMarked(const Matrix *m, uint32_t mask)
{
    double changed[4];
    FrameSetEmpty(changed);
    int count = 0;
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u)) {
        if ((u->flags & mask) != mask || !(u->flags & UNIT_MARKED))
            continue;
        TransformUnit(u, m);
        FrameCalcObject(u, 1);
        FrameUnion(changed, u->frame);
        ++count;
    }
    for (int i = 0; i < 4; ++i)
        g_ChangedRect[i] = changed[i];
    return count;
}
