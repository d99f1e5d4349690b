#include "database/object_attributes.h"

#include <cmath>
#include <cstring>

#include "app/system_defs.h"
#include "app/window.h"
#include "database/object_modify.h"
#include "database/object_modules.h"
#include "database/symbol_index.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "files/image_list.h"
#include "geometry/frame.h"
#include "plugin/zvi_module.h"

namespace {

constexpr double kSlantLimit = 1e-10; // a slant this close to 90 degrees shears by the largest factor
constexpr double kShearMax = 1e10;
constexpr double MM_PER_INCH = 25.4;

// A layer index naming an empty layer slot is collected as layer 0.
void CorrectLayer(XProperty *p)
{
    if (!LayerIsDefined(p->layer))
        p->layer = 0;
}

// The annotation group from a record's XProperty, when not present yet.
void CollectAnnotation(const XProperty &p, ObjectAttributes *set)
{
    if (set->present[ATTR_ANNOTATION])
        return;
    set->present[ATTR_ANNOTATION] = 1;
    set->annotation.ownMask = set->annotation.fieldMask = 0;
    set->annotation.values = p;
    CorrectLayer(&set->annotation.values);
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

// The general group from a unit's XProperty, when not present yet.
void CollectGeneral(const XProperty &p, ObjectAttributes *set, bool correctLayer)
{
    if (set->present[ATTR_GENERAL])
        return;
    set->present[ATTR_GENERAL] = 1;
    set->general.ownMask = set->general.fieldMask = 0;
    set->general.values = p;
    if (correctLayer)
        CorrectLayer(&set->general.values);
}

void ApplyGeneral(Unit *unit, const ObjectAttributes *set, int all)
{
    if (set->present[ATTR_GENERAL])
        ObjectPropertyApplyMasked(&unit->property, &set->general, all);
}

// The dimension-parameter group from the part DimSmall and DimLarge share.
void CollectDimParameter(const DimCommon &c, int32_t system, ObjectAttributes *set)
{
    CollectAnnotation(c.property, set);
    if (!Take(set, ATTR_DIM_PARAMETER))
        return;
    auto &d = set->dimParameter;
    d.mask = 0;
    d.font = c.font;
    d.textHeight = c.values[0];
    d.toleranceHeight = c.values[1];
    d.charSpacing = c.values420[0];
    d.tabUnit = c.values420[1];
    d.alignment = c.int420;
    d.numberFormat = c.int460;
    d.conversion = c.mode;
    d.system = system;
}

void ApplyDimParameter(DimCommon &c, int32_t &system, const ObjectAttributes *set, int all)
{
    if (set->present[ATTR_ANNOTATION])
        ObjectPropertyApplyMasked(&c.property, &set->annotation, all);
    if (!set->present[ATTR_DIM_PARAMETER])
        return;
    const auto &d = set->dimParameter;
    const uint32_t m = all ? 0xFFFFFFFFu : d.mask;
    CopyIf((m & 0x1) != 0, c.font, d.font);
    CopyIf((m & 0x2) != 0, c.values[0], d.textHeight);
    CopyIf((m & 0x4) != 0, c.values[1], d.toleranceHeight);
    CopyIf((m & 0x20) != 0, c.values420[0], d.charSpacing);
    CopyIf((m & 0x40) != 0, c.values420[1], d.tabUnit);
    CopyIf((m & 0x80) != 0, c.int420, d.alignment);
    if (m & 0x8) {
        c.int460 = d.numberFormat;
        c.mode = d.conversion;
    }
    if (m & 0x10)
        system = d.system < 0 ? g_CurrentSystem.system : d.system;
}

// The fourteen words of the large-dimension group, in the group's order.
int32_t *LargeWord(DimLargeRecord &r, int i)
{
    int32_t *const words[14] = {&r.common.bools[0], &r.common.bools[1], &r.common.last, &r.bool1,
                                &r.arrows[0],       &r.arrows[1],       &r.arrows[2],   &r.arrows[3],
                                &r.bools3[0],       &r.bools3[1],       &r.bools3[2],   &r.ints3[0],
                                &r.ints3[1],        &r.ints3[2]};
    return words[i];
}

// A changed library or block name makes the cached links unresolved.
void ChangeReference(char *dst, const char *src, int32_t *libraryIndex, int32_t *blockIndex, int32_t *unresolved)
{
    std::memcpy(dst, src, UNIT_NAME_SIZE);
    *libraryIndex = UNIT_INDEX_UNRESOLVED;
    *blockIndex = UNIT_INDEX_UNRESOLVED;
    *unresolved = 0;
    g_ReferencesChanged = 1;
}

void ApplyMatrixMasked(Matrix &dst, const Matrix &src, uint32_t m, uint32_t firstBit)
{
    double *d = &dst.a;
    const double *s = &src.a;
    for (int i = 0; i < 6; ++i)
        if (m & (firstBit << i))
            d[i] = s[i];
}

void ApplyPlacement(char *library, char *block, Matrix &placement, int32_t *libraryIndex, int32_t *blockIndex,
                    int32_t *unresolved, const ObjectAttributes *set, int all)
{
    if (!set->present[ATTR_PLACEMENT])
        return;
    const auto &p = set->placement;
    const uint32_t m = all ? 0xFFFFFFFFu : p.mask;
    if (m & 0x1)
        ChangeReference(library, p.library, libraryIndex, blockIndex, unresolved);
    if (m & 0x2)
        ChangeReference(block, p.block, libraryIndex, blockIndex, unresolved);
    ApplyMatrixMasked(placement, p.placement, m, 0x4);
}

void CollectPlacement(const char *library, const char *block, const Matrix &placement, ObjectAttributes *set)
{
    if (!Take(set, ATTR_PLACEMENT))
        return;
    auto &p = set->placement;
    p.mask = 0;
    std::memcpy(p.library, library, UNIT_NAME_SIZE);
    std::memcpy(p.block, block, UNIT_NAME_SIZE);
    p.placement = placement;
}

AttrPluginEntry *Entries(const ObjectAttributes *set) { return static_cast<AttrPluginEntry *>(set->pluginArea); }

// An object of the same module and kind already has its entries.
bool Represented(const Unit *unit, const ObjectAttributes *set)
{
    for (int i = 0; set->pluginArea && i < set->pluginCount; ++i) {
        const Unit *u = Entries(set)[i].unit;
        if (u && u->module == unit->module && u->instance.userFlags == unit->instance.userFlags)
            return true;
    }
    return false;
}

// Every module may take the object with a page of its own; 1 stops the asking.
void OfferToModules(Unit *unit, ObjectAttributes *set)
{
    for (int m = 0; m < ZviModuleCount(); ++m) {
        char title[MODULE_TITLE_SIZE] = "";
        const int answer = ObjectCallModule(m, unit, MODULE_OBJECT_TITLE, title);
        if (answer == MODULE_ANSWER_HANDLED)
            return;
        if (answer != MODULE_ANSWER_REBUILT)
            continue;
        title[MODULE_TITLE_SIZE - 1] = 0;
        ObjectAttributesAddModuleEntry(set, m, title, unit);
        ObjectCallModule(m, unit, MODULE_OBJECT_TAKEN, nullptr);
    }
}

} // namespace

uint32_t g_ReferencesChanged = 0;

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

void ObjectAttributesCollectConstant(const Element *element, ObjectAttributes *set)
{
    if (!Take(set, ATTR_CONSTANT))
        return;
    set->constant.mask = 0;
    set->constant.value = *static_cast<const double *>(ElementPayload(element));
}

void ObjectAttributesApplyConstant(Element *element, const ObjectAttributes *set, int all)
{
    if (set->present[ATTR_CONSTANT] && (all || (set->constant.mask & 0x1)))
        *static_cast<double *>(ElementPayload(element)) = set->constant.value;
}

void ObjectAttributesCollectDimLine(const Element *element, ObjectAttributes *set)
{
    if (!Take(set, ATTR_LINE_END))
        return;
    set->lineEnd.mask = 0;
    std::memcpy(set->lineEnd.words, static_cast<const DimLineRecord *>(ElementPayload(element))->arrows,
                sizeof set->lineEnd.words);
}

void ObjectAttributesApplyDimLine(Element *element, const ObjectAttributes *set, int all)
{
    if (!set->present[ATTR_LINE_END])
        return;
    auto *r = static_cast<DimLineRecord *>(ElementPayload(element));
    const uint32_t m = all ? 0xFFFFFFFFu : set->lineEnd.mask;
    for (int i = 0; i < 4; ++i)
        CopyIf((m & (1u << i)) != 0, r->arrows[i], set->lineEnd.words[i]);
}

void ObjectAttributesCollectDimLarge(const Element *element, ObjectAttributes *set)
{
    auto r = *static_cast<const DimLargeRecord *>(ElementPayload(element));
    CollectDimParameter(r.common, r.system, set);
    if (!Take(set, ATTR_DIM_LARGE))
        return;
    auto &g = set->dimLarge;
    g.mask = 0;
    for (int i = 0; i < 14; ++i)
        g.words[i] = *LargeWord(r, i);
    g.distance = r.distance;
    g.further = r.distance420;
}

void ObjectAttributesApplyDimLarge(Element *element, const ObjectAttributes *set, int all)
{
    auto *r = static_cast<DimLargeRecord *>(ElementPayload(element));
    ApplyDimParameter(r->common, r->system, set, all);
    if (!set->present[ATTR_DIM_LARGE])
        return;
    const auto &g = set->dimLarge;
    const uint32_t m = all ? 0xFFFFFFFFu : g.mask;
    for (int i = 0; i < 14; ++i)
        CopyIf((m & (1u << i)) != 0, *LargeWord(*r, i), g.words[i]);
    CopyIf((m & 0x4000) != 0, r->distance, g.distance);
    CopyIf((m & 0x8000) != 0, r->distance420, g.further);
}

void ObjectAttributesCollectDimSmall(const Element *element, ObjectAttributes *set)
{
    const auto *r = static_cast<const DimSmallRecord *>(ElementPayload(element));
    CollectDimParameter(r->common, r->common.last, set);
    if (!Take(set, ATTR_DIM_SMALL))
        return;
    set->dimSmall.mask = 0;
    set->dimSmall.automatic = r->common.bools[0];
    set->dimSmall.byPoint = r->common.bools[1];
}

void ObjectAttributesApplyDimSmall(Element *element, const ObjectAttributes *set, int all)
{
    auto *r = static_cast<DimSmallRecord *>(ElementPayload(element));
    ApplyDimParameter(r->common, r->common.last, set, all);
    if (!set->present[ATTR_DIM_SMALL])
        return;
    const uint32_t m = all ? 0xFFFFFFFFu : set->dimSmall.mask;
    CopyIf((m & 0x1) != 0, r->common.bools[0], set->dimSmall.automatic);
    CopyIf((m & 0x2) != 0, r->common.bools[1], set->dimSmall.byPoint);
}

void ObjectAttributesCollectClipSurface(const Element *element, ObjectAttributes *set)
{
    const auto *r = static_cast<const ClipSurfaceData *>(ElementPayload(element));
    CollectAnnotation(r->property, set);
    CollectPlacement(r->library, r->block, r->placement, set);
}

void ObjectAttributesApplyClipSurface(Element *element, const ObjectAttributes *set, int all)
{
    auto *r = static_cast<ClipSurfaceData *>(ElementPayload(element));
    if (set->present[ATTR_ANNOTATION])
        ObjectPropertyApplyMasked(&r->property, &set->annotation, all);
    ApplyPlacement(r->library, r->block, r->placement, &r->libraryIndex, &r->blockIndex, &r->unresolved, set, all);
}

void ObjectAttributesCollectBitmapRef(const Element *element, ObjectAttributes *set)
{
    if (!Take(set, ATTR_BITMAP))
        return;
    const auto *r = static_cast<const BitmapRefData *>(ElementPayload(element));
    auto &b = set->bitmap;
    b.mask = 0;
    std::memcpy(b.name, r->name, sizeof b.name);
    b.placement = r->placement;
    // Shown by the placement dialog: what the bitmap list knows of the image.
    const BitmapEntry *image = ImageFindBitmap(r->name, 0);
    b.pixelWidth = image ? image->width : -1;
    b.pixelHeight = image ? image->height : -1;
    b.bitsPerPixel = image ? int32_t(image->bitsPerPixel) : 0;
    b.resolutionX = image ? image->pixelsPerMmX * MM_PER_INCH : 0.0;
    b.resolutionY = image ? image->pixelsPerMmY * MM_PER_INCH : 0.0;
}

void ObjectAttributesApplyBitmapRef(Element *element, const ObjectAttributes *set, int all)
{
    if (!set->present[ATTR_BITMAP])
        return;
    auto *r = static_cast<BitmapRefData *>(ElementPayload(element));
    const auto &b = set->bitmap;
    const uint32_t m = all ? 0xFFFFFFFFu : b.mask;
    if (m & 0x1)
        std::memcpy(r->name, b.name, sizeof r->name);
    ApplyMatrixMasked(r->placement, b.placement, m, 0x2);
}

void ObjectAttributesCopyDefaults(ObjectAttributes *set, const uint32_t words[COPY_PROPERTY_WORDS])
{
    const uint32_t masks = words[0] & COPY_PROPERTY_MASKS;
    set->general.ownMask = set->general.fieldMask = masks;
    set->annotation.ownMask = set->annotation.fieldMask = masks;
    uint32_t *const groupMasks[] = {&set->stdText.mask,   &set->frameText.mask,    &set->refText.mask,
                                    &set->constant.mask,  &set->lineEnd.mask,      &set->dimParameter.mask,
                                    &set->dimLarge.mask,  &set->dimSmall.mask,     &set->bitmap.mask,
                                    &set->placement.mask};
    // Standard texts keep their position, bitmaps and instances their place.
    const uint32_t values[] = {0xFCFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFF9F, 0xFF3F};
    for (int i = 0; i < COPY_PROPERTY_WORDS - 1; ++i)
        if (words[i + 1])
            *groupMasks[i] = values[i];
}

void ObjectAttributesBeginModules(ObjectAttributes *set)
{
    set->pluginArea = nullptr;
    if (ObjectTellModules(MODULE_EDIT_BEGIN))
        set->pluginArea = mem_alloc_temp(ATTR_PLUGIN_AREA_SIZE, __FILE_NAME__, __LINE__);
    set->pluginCount = 0;
}

void ObjectAttributesEndModules(ObjectAttributes *set)
{
    if (set->pluginArea)
        mem_free_temp(set->pluginArea, __FILE_NAME__, __LINE__);
    set->pluginArea = nullptr;
    ObjectTellModules(MODULE_EDIT_END);
}

int ObjectAttributesAddModuleEntry(ObjectAttributes *set, int32_t module, const char *title, Unit *unit)
{
    // A module may take an object while no area exists (none answered the
    // begin) or after the area is full: the entry is then skipped.
    if (!set->pluginArea || set->pluginCount < 0 || set->pluginCount >= ATTR_PLUGIN_ENTRIES)
        return 0;
    AttrPluginEntry &e = static_cast<AttrPluginEntry *>(set->pluginArea)[set->pluginCount++];
    e.module = module;
    std::memset(e.title, 0, sizeof e.title);
    std::strncpy(e.title, title ? title : "", ATTR_PLUGIN_TITLE_SIZE - 1);
    e.unit = unit;
    return 1;
}

void ObjectAttributesCollect(Unit *unit, ObjectAttributes *set)
{
    switch (unit->kind) {
    case UNIT_KIND_OBJECT: {
        const int32_t type = unit->object.type;
        if (type != OBJTYPE_STD_TEXT && type != OBJTYPE_FRAME_TEXT)
            CollectGeneral(unit->property, set, true);
        UnitForEachElement(unit, [&](Element *e) {
            switch (e->kind) {
            case ELEM_DIM_LINE: ObjectAttributesCollectDimLine(e, set); break;
            case ELEM_CONSTANT:
                if (type == OBJTYPE_ZIGZAG)
                    ObjectAttributesCollectConstant(e, set);
                break;
            case ELEM_DIM_LARGE: ObjectAttributesCollectDimLarge(e, set); break;
            case ELEM_DIM_SMALL: ObjectAttributesCollectDimSmall(e, set); break;
            case ELEM_TEXT_STANDARD: ObjectAttributesCollectTextStandard(e, set); break;
            case ELEM_TEXT_FRAME: ObjectAttributesCollectTextFrame(e, set); break;
            case ELEM_TEXT_REFERENCE: ObjectAttributesCollectTextReference(e, set); break;
            case ELEM_CLIP_SURFACE: ObjectAttributesCollectClipSurface(e, set); break;
            case ELEM_BITMAP_REF: ObjectAttributesCollectBitmapRef(e, set); break;
            default: break;
            }
        });
        break;
    }
    case UNIT_KIND_INSTANCE:
        CollectGeneral(unit->property, set, false);
        CollectPlacement(unit->instance.library, unit->instance.block, unit->instance.placement, set);
        break;
    case UNIT_KIND_BLOCK: CollectGeneral(unit->property, set, false); break;
    case UNIT_KIND_PLUGIN:
        CollectGeneral(unit->property, set, false);
        if (!Represented(unit, set))
            OfferToModules(unit, set);
        set->present[ATTR_PLUGIN] = 1;
        break;
    default: break;
    }
}

void ObjectAttributesApply(Unit *unit, const ObjectAttributes *set, int all, int keepSelection)
{
    switch (unit->kind) {
    case UNIT_KIND_OBJECT: {
        const int32_t type = unit->object.type;
        if (type == OBJTYPE_STD_TEXT || type == OBJTYPE_FRAME_TEXT) {
            if (set->present[ATTR_ANNOTATION])
                ObjectPropertyApplyMasked(&unit->property, &set->annotation, all);
        } else {
            ApplyGeneral(unit, set, all);
        }
        UnitForEachElement(unit, [&](Element *e) {
            switch (e->kind) {
            case ELEM_DIM_LINE: ObjectAttributesApplyDimLine(e, set, all); break;
            case ELEM_CONSTANT:
                if (type == OBJTYPE_ZIGZAG)
                    ObjectAttributesApplyConstant(e, set, all);
                break;
            case ELEM_DIM_LARGE: ObjectAttributesApplyDimLarge(e, set, all); break;
            case ELEM_DIM_SMALL: ObjectAttributesApplyDimSmall(e, set, all); break;
            case ELEM_TEXT_STANDARD: ObjectAttributesApplyTextStandard(e, set, all); break;
            case ELEM_TEXT_FRAME: ObjectAttributesApplyTextFrame(e, set, all); break;
            case ELEM_TEXT_REFERENCE: ObjectAttributesApplyTextReference(e, set, all); break;
            case ELEM_CLIP_SURFACE: ObjectAttributesApplyClipSurface(e, set, all); break;
            case ELEM_BITMAP_REF: ObjectAttributesApplyBitmapRef(e, set, all); break;
            default: break;
            }
        });
        FrameCalcObject(unit, 1);
        break;
    }
    case UNIT_KIND_INSTANCE: {
        ApplyGeneral(unit, set, all);
        UnitInstancePart &i = unit->instance;
        ApplyPlacement(i.library, i.block, i.placement, &i.libraryIndex, &i.blockIndex, &i.unresolved, set, all);
        FrameCalcInstance(unit, 1);
        break;
    }
    case UNIT_KIND_BLOCK: ApplyGeneral(unit, set, all); break;
    case UNIT_KIND_PLUGIN: {
        ApplyGeneral(unit, set, all);
        int module = -1;
        if (ObjectAskModules(unit, MODULE_OBJECT_APPLY, nullptr, &module) == MODULE_ANSWER_REBUILT)
            ObjectCallModule(module, unit, MODULE_OBJECT_REGENERATE, nullptr);
        SymbolLinkInstance(unit, LIBRARY_INDEX_OWN);
        FrameCalcInstance(unit, 1);
        break;
    }
    default: break;
    }
    unit->flags &= ~(UNIT_TRANSFORM | UNIT_TRANSFORM_EXTRA);
    if (!keepSelection)
        unit->flags &= ~UNIT_SELECTED;
    FrameUnion(g_ChangedRect, unit->frame);
}
