#include "database/object_transform.h"

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
