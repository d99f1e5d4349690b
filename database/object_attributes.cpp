#include "database/object_attributes.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kSlantLimit = 1e-10; // a slant this close to 90 degrees shears by the largest factor
constexpr double kShearMax = 1e10;

// The annotation group from a record's XProperty, when not present yet.
void CollectAnnotation(const XProperty &p, ObjectAttributes *set)
{
    if (set->present[ATTR_ANNOTATION])
        return;
    set->present[ATTR_ANNOTATION] = 1;
    set->annotation.ownMask = set->annotation.fieldMask = 0;
    set->annotation.values = p;
}

bool Take(ObjectAttributes *set, int group)
{
    if (set->present[group])
        return false;
    set->present[group] = 1;
    return true;
}

template <typename T>
void CopyIf(bool copy, T &dst, const T &src)
{
    if (copy)
        dst = src;
}

} // namespace

void ObjectAttributesInit(ObjectAttributes *set)
{
    std::memset(set->present, 0, sizeof set->present);
    set->fieldEnable = ATTR_FIELDS_ALL;
    set->pluginCount = 0;
    set->pluginArea = nullptr;
}

void ObjectPropertyApplyMasked(XProperty *dst, const AttrPropertyGroup *group, int all)
{
    const XProperty &src = group->values;
    if (all) {
        *dst = src;
        return;
    }
    dst->ownFlags = (dst->ownFlags & ~group->ownMask) | (src.ownFlags & group->ownMask);
    const uint32_t m = group->fieldMask;
    CopyIf((m & 0x1) != 0, dst->pen, src.pen);
    CopyIf((m & 0x2) != 0, dst->fillMode, src.fillMode);
    CopyIf((m & 0x4) != 0, dst->color1, src.color1);
    CopyIf((m & 0x8) != 0, dst->color2, src.color2);
    CopyIf((m & 0x10) != 0, dst->width, src.width);
    CopyIf((m & 0x20) != 0, dst->lineType, src.lineType);
    CopyIf((m & 0x40) != 0, dst->layer, src.layer);
    CopyIf((m & 0x80) != 0, dst->capJoin, src.capJoin);
}

void ObjectAttributesTextMatrix(const AttrStdText *t, Matrix *m)
{
    MatrixInit(m);
    MatrixScale(m, t->ratio * t->height, t->height);
    const double c = std::cos(-t->slant);
    const double shear = std::fabs(c) < kSlantLimit ? std::copysign(kShearMax, -t->slant) : std::tan(-t->slant);
    MatrixShearX(m, shear);
    MatrixRotate(m, t->rotation);
    MatrixMove(m, t->x, t->y);
}

void ObjectAttributesCollectTextStandard(const Element *element, ObjectAttributes *set)
{
    const auto *r = static_cast<const TextStandardData *>(ElementPayload(element));
    CollectAnnotation(r->property, set);
    if (!Take(set, ATTR_STD_TEXT))
        return;
    AttrStdText &t = set->stdText;
    t.mask = 0;
    t.font = r->font;
    t.charSpacing = r->charSpacing;
    t.tabUnit = r->tabUnit;
    t.lineSpacing = r->lineSpacing;
    t.alignment = r->alignment;
    MatrixSeparate(&r->matrix, &t.height, &t.ratio, &t.rotation, &t.slant, &t.x, &t.y);
}

void ObjectAttributesCollectTextFrame(const Element *element, ObjectAttributes *set)
{
    const auto *r = static_cast<const TextFrameData *>(ElementPayload(element));
    CollectAnnotation(r->property, set);
    if (!Take(set, ATTR_FRAME_TEXT))
        return;
    AttrFrameText &t = set->frameText;
    t.mask = 0;
    t.font = r->font;
    t.charSpacing = r->charSpacing;
    t.tabUnit = r->tabUnit;
    t.lineSpacing = r->lineSpacing;
    t.height = r->height;
    t.alignment = r->alignment;
}

void ObjectAttributesCollectTextReference(const Element *element, ObjectAttributes *set)
{
    const auto *r = static_cast<const TextReferenceData *>(ElementPayload(element));
    if (!Take(set, ATTR_REF_TEXT))
        return;
    AttrRefText &t = set->refText;
    t.mask = 0;
    t.endMark = r->arrows[0];
    t.leader = r->arrows[1];
    t.frameShape = r->frameKind;
    t.frameDistance = r->frameValue;
}

void ObjectAttributesApplyTextStandard(Element *element, const ObjectAttributes *set, int all)
{
    auto *r = static_cast<TextStandardData *>(ElementPayload(element));
    if (set->present[ATTR_ANNOTATION])
        ObjectPropertyApplyMasked(&r->property, &set->annotation, all);
    if (!set->present[ATTR_STD_TEXT])
        return;
    const AttrStdText &t = set->stdText;
    const uint32_t m = all ? 0xFFFFFFFFu : t.mask;
    CopyIf((m & ATTR_STD_FONT) != 0, r->font, t.font);
    CopyIf((m & ATTR_STD_SPACING) != 0, r->charSpacing, t.charSpacing);
    CopyIf((m & ATTR_STD_TAB) != 0, r->tabUnit, t.tabUnit);
    CopyIf((m & ATTR_STD_LINE) != 0, r->lineSpacing, t.lineSpacing);
    if (m & ATTR_STD_ALIGN)
        r->alignment = t.alignment >= 3 ? 0 : t.alignment;
    if (m & ATTR_STD_MATRIX_BITS) {
        AttrStdText parts{};
        MatrixSeparate(&r->matrix, &parts.height, &parts.ratio, &parts.rotation, &parts.slant, &parts.x, &parts.y);
        CopyIf((m & ATTR_STD_HEIGHT) != 0, parts.height, t.height);
        CopyIf((m & ATTR_STD_RATIO) != 0, parts.ratio, t.ratio);
        CopyIf((m & ATTR_STD_ROTATION) != 0, parts.rotation, t.rotation);
        CopyIf((m & ATTR_STD_SLANT) != 0, parts.slant, t.slant);
        CopyIf((m & ATTR_STD_X) != 0, parts.x, t.x);
        CopyIf((m & ATTR_STD_Y) != 0, parts.y, t.y);
        ObjectAttributesTextMatrix(&parts, &r->matrix);
    }
}

void ObjectAttributesApplyTextFrame(Element *element, const ObjectAttributes *set, int all)
{
    auto *r = static_cast<TextFrameData *>(ElementPayload(element));
    if (set->present[ATTR_ANNOTATION])
        ObjectPropertyApplyMasked(&r->property, &set->annotation, all);
    if (!set->present[ATTR_FRAME_TEXT])
        return;
    const AttrFrameText &t = set->frameText;
    const uint32_t m = all ? 0xFFFFFFFFu : t.mask;
    CopyIf((m & 0x1) != 0, r->font, t.font);
    CopyIf((m & 0x2) != 0, r->charSpacing, t.charSpacing);
    CopyIf((m & 0x4) != 0, r->tabUnit, t.tabUnit);
    CopyIf((m & 0x8) != 0, r->lineSpacing, t.lineSpacing);
    CopyIf((m & 0x10) != 0, r->height, t.height);
    CopyIf((m & 0x20) != 0, r->alignment, t.alignment);
}

void ObjectAttributesApplyTextReference(Element *element, const ObjectAttributes *set, int all)
{
    if (!set->present[ATTR_REF_TEXT])
        return;
    auto *r = static_cast<TextReferenceData *>(ElementPayload(element));
    const AttrRefText &t = set->refText;
    const uint32_t m = all ? 0xFFFFFFFFu : t.mask;
    CopyIf((m & 0x1) != 0, r->arrows[0], t.endMark);
    CopyIf((m & 0x2) != 0, r->arrows[1], t.leader);
    CopyIf((m & 0x4) != 0, r->frameKind, t.frameShape);
    CopyIf((m & 0x8) != 0, r->frameValue, t.frameDistance);
}
