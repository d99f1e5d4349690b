// The derived geometry of a picked dimension, for the commands that move its
// line, text or direction: read from the run-time record the frame step keeps.
#include <cmath>

#include "database/object_ident.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "files/file_records.h"
#include "geometry/frame_dim.h"

namespace {

// The text direction shown by the direction getter is this long (mm).
constexpr double kDirectionLength = 128.0;

struct DimParts {
    Unit *unit;
    const DimLargeRecord *large;
    const DimLinearGeometry *linear;
    const DimAngularGeometry *angular;
    const DimLabelGeometry *label;
    const ElementPoint *firstPoint;
    const ElementPoint *reference; // the first point of kind 0: the line or arc position
};

// The alive, visible dimension with that ident and its parts; unit null when none.
DimParts FindDimension(int32_t ident)
{
    DimParts p{};
    if (ident == UNIT_NO_IDENT)
        return p;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_HIDDEN, 0, 1); u; u = MemListNext(u)) {
        if (u->kind != UNIT_KIND_OBJECT || u->ident != ident)
            continue;
        p.unit = u;
        const uint8_t *end = reinterpret_cast<uint8_t *>(u) + u->bytes;
        for (Element *e = UnitFirstElement(u); reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end &&
             e->size >= ELEMENT_HEADER_SIZE && reinterpret_cast<uint8_t *>(e) + e->size <= end && e->kind != ELEM_END;
             e = ElementNext(e)) {
            const void *payload = ElementPayload(e);
            if (ElementIsPoint(e)) {
                const auto *point = reinterpret_cast<const ElementPoint *>(e);
                if (!p.firstPoint)
                    p.firstPoint = point;
                if (!p.reference && e->kind == POINT_AUX)
                    p.reference = point;
            } else if (e->kind == ELEM_DIM_LARGE && e->size >= ELEM_SIZE_DIM_LARGE) {
                p.large = static_cast<const DimLargeRecord *>(payload);
            } else if (e->kind == ELEM_SUB_DIM_LINEAR && e->size >= ELEM_SIZE_SUB_DIM_LINEAR) {
                p.linear = static_cast<const DimLinearGeometry *>(payload);
            } else if (e->kind == ELEM_SUB_DIM_ANGULAR && e->size >= ELEM_SIZE_SUB_DIM_ANGULAR) {
                p.angular = static_cast<const DimAngularGeometry *>(payload);
            } else if (e->kind == ELEM_SUB_DIM_LABEL && e->size >= ELEM_SIZE_SUB_DIM_LABEL) {
                p.label = static_cast<const DimLabelGeometry *>(payload);
            }
        }
        return p;
    }
    return p;
}

// The dimension with that ident, its type written into out; -1 when none.
int32_t Begin(int32_t ident, GeoObject *out, DimParts *p)
{
    *p = FindDimension(ident);
    if (!p->unit)
        return -1;
    out->type = p->unit->object.type;
    return out->type;
}

void Put(GeoObject *out, int at, CalcPoint p) { out->d[at] = p.x, out->d[at + 1] = p.y; }

} // namespace

int ObjectGetIdentDimensionLine(int32_t ident, GeoObject *out)
{
    DimParts p;
    const int32_t type = Begin(ident, out, &p);
    if (type < 0)
        return -1;
    if (p.linear && p.large && type >= OBJTYPE_DIM_DIST && type <= OBJTYPE_DIM_DIA) {
        Put(out, 0, p.linear->q1);
        Put(out, 2, p.linear->q2);
        out->contour = p.large->ints3[1]; // the end mode
    } else if (p.angular && (type == OBJTYPE_DIM_ANGLE || type == OBJTYPE_DIM_ARC)) {
        Put(out, 0, p.angular->centre);
        if (p.reference)
            Put(out, 2, {p.reference->x, p.reference->y});
        Put(out, 6, p.angular->arcStart);
        Put(out, 8, p.angular->arcEnd);
        out->d[13] = p.angular->sweep;
    }
    return type;
}

int ObjectGetIdentDimensionBase(int32_t ident, GeoObject *out)
{
    DimParts p;
    const int32_t type = Begin(ident, out, &p);
    if (type < 0)
        return -1;
    if (p.linear && p.firstPoint && type >= OBJTYPE_DIM_DIST && type <= OBJTYPE_DIM_DIA) {
        const CalcPoint first{p.firstPoint->x, p.firstPoint->y};
        Put(out, 0, first);
        Put(out, 2, {first.x + p.linear->q2.x - p.linear->q1.x, first.y + p.linear->q2.y - p.linear->q1.y});
    }
    return type;
}

int ObjectGetIdentDimensionDirection(int32_t ident, GeoObject *out)
{
    DimParts p;
    const int32_t type = Begin(ident, out, &p);
    if (type < 0)
        return -1;
    CalcPoint text{};
    double angle = 0.0;
    if (p.linear)
        text = p.linear->text, angle = p.linear->textAngle;
    else if (p.angular)
        text = p.angular->text, angle = p.angular->textAngle;
    else if (p.label)
        text = p.label->text, angle = p.label->textAngle;
    else
        return type;
    Put(out, 0, text);
    Put(out, 2, {text.x + kDirectionLength * std::cos(angle), text.y + kDirectionLength * std::sin(angle)});
    return type;
}
