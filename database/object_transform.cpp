#include "database/object_transform.h"

#include "database/object_modify.h"
#include "database/object_modules.h"
#include "database/symbol_index.h"
#include "geometry/frame.h"

namespace {

void TransformPointElements(Unit *unit, const Matrix *matrix, uint16_t pointMask)
{
    UnitForEachElement(unit, [&](Element *e) {
        if (ElementIsPoint(e) && (e->pointFlags & pointMask)) {
            auto *p = reinterpret_cast<ElementPoint *>(e);
            MatrixApply(*matrix, p->x, p->y, &p->x, &p->y);
        }
        e->pointFlags &= uint16_t(~POINT_REDRAW);
    });
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
    const bool regenerated = ObjectAskModules(unit, MODULE_OBJECT_REGENERATE, nullptr, nullptr) ==
                             MODULE_ANSWER_REBUILT;
    SymbolLinkInstance(unit, LIBRARY_INDEX_OWN);
    FrameCalcInstance(unit, 1);
    unit->flags &= ~(UNIT_TRANSFORM | UNIT_TRANSFORM_EXTRA);
    return regenerated ? 1 : 0;
}
