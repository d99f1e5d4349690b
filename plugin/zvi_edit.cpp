#include "plugin/zvi_edit.h"

#include "files/file_records.h"

double ZVI_FlipSense(double value)
{
    if (value == 0.0)
        return -1.0;
    return -value;
}

void ZVI_EditUnitPointsMatrix(Unit *unit, const Matrix *matrix)
{
    if (!unit || !matrix || unit->kind != UNIT_KIND_OBJECT)
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
                v[0] = ZVI_FlipSense(v[0]);
            }
            break;
        case ELEM_CURVE:
            if (mirrored) {
                auto *v = static_cast<double *>(ElementPayload(e));
                v[0] = ZVI_FlipSense(v[0]);
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
