#include "database/object_transform.h"

#include "database/object_modify.h"
#include "geometry/frame.h"

namespace {

void TransformPointElements(Unit *unit, const Matrix *matrix, uint16_t pointMask)
{
    const uint8_t *end = reinterpret_cast<const uint8_t *>(unit) + unit->bytes;
    for (Element *e = UnitFirstElement(unit); reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end &&
                                              e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e)) {
        if (ElementIsPoint(e) && (e->pointFlags & pointMask)) {
            auto *p = reinterpret_cast<ElementPoint *>(e);
            MatrixApply(*matrix, p->x, p->y, &p->x, &p->y);
        }
        e->pointFlags &= uint16_t(~POINT_REDRAW);
    }
}

} // namespace

int ObjectTransformPoints(Unit *unit, const Matrix *matrix, uint16_t pointMask)
{
    TransformPointElements(unit, matrix, pointMask);
    FrameCalcObject(unit, 1);
    unit->flags &= ~(UNIT_TRANSFORM | UNIT_TRANSFORM_EXTRA);
    return 0;
}

int ObjectTransformPointsOther(Unit *unit, const Matrix *matrix, uint16_t pointMask)
{
    TransformPointElements(unit, matrix, pointMask);
    // No module table is loaded: no module regenerates the object.
    FrameCalcInstance(unit, 1);
    unit->flags &= ~(UNIT_TRANSFORM | UNIT_TRANSFORM_EXTRA);
    return 0;
}
