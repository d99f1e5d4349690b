#include "database/object_transform.h"

#include "database/object_rects.h"
#include "database/storage.h"
#include "files/file_records.h"
#include "geometry/frame.h"

void ObjectTransformPoints(Unit *unit, const Matrix *m)
{
    const uint8_t *end = reinterpret_cast<const uint8_t *>(unit) + unit->bytes;
    for (Element *e = UnitFirstElement(unit);
         reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END &&
         e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e)) {
        if (!ElementIsPoint(e))
            continue;
        auto *p = reinterpret_cast<ElementPoint *>(e);
        MatrixApply(*m, p->x, p->y, &p->x, &p->y);
    }
    FrameCalcObject(unit, 1);
}

namespace {

// The placements a unit carries besides its points: the instance's, and
// those of its text, bitmap and clip records.
void TransformPlacements(Unit *u, const Matrix *m)
{
    if (u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN)
        MatrixMultiply(&u->instance.placement, m);
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e)) {
        if (e->kind == ELEM_TEXT_STANDARD)
            MatrixMultiply(&static_cast<TextStandardData *>(ElementPayload(e))->matrix, m);
        else if (e->kind == ELEM_BITMAP_REF)
            MatrixMultiply(&static_cast<BitmapRefData *>(ElementPayload(e))->placement, m);
        else if (e->kind == ELEM_CLIP_SURFACE)
            MatrixMultiply(&static_cast<ClipSurfaceData *>(ElementPayload(e))->placement, m);
    }
}

} // namespace

int ObjectTransformMarked(const Matrix *m, uint32_t mask)
{
    double changed[4];
    FrameSetEmpty(changed);
    int count = 0;
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u)) {
        if ((u->flags & mask) != mask || !(u->flags & UNIT_MARKED))
            continue;
        TransformPlacements(u, m);
        ObjectTransformPoints(u, m);
        FrameUnion(changed, u->frame);
        ++count;
    }
    for (int i = 0; i < 4; ++i)
        g_ChangedRect[i] = changed[i];
    return count;
}
