#include "database/object_usage.h"

#include <cstring>
#include <initializer_list>

#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "database/symbol_library.h"
#include "display/output.h"

namespace {

constexpr int32_t kNestingLimit = 21; // instance levels followed

enum class Which { Layer, Pen };

// The chain position (from 0) of the element carrying a type's annotation
// XProperty, or -1.
int AnnotationPosition(int32_t type)
{
    switch (type) {
    case OBJTYPE_DIM_DIST:
    case OBJTYPE_DIM_ANGLE: return 12;
    case OBJTYPE_DIM_RAD:
    case OBJTYPE_DIM_DIA: return 11;
    case OBJTYPE_DIM_ARC: return 13;
    case OBJTYPE_DIM_COORD: return 10;
    case OBJTYPE_DIM_AREA:
    case OBJTYPE_DIM_PERI: return 8;
    case OBJTYPE_STD_TEXT: return 1;
    case OBJTYPE_FRAME_TEXT: return 4;
    case OBJTYPE_REF_TEXT: return 3;
    case OBJTYPE_CLIP: return 0;
    default: return -1;
    }
}

bool CountsOutline(int32_t t) { return t < 30 || t == 33 || t == 34 || t == OBJTYPE_REF_TEXT || t > OBJTYPE_REF_TEXT; }
bool CountsAnnotation(int32_t t) { return t >= OBJTYPE_DIM_DIST && t <= OBJTYPE_REF_TEXT && t != 33 && t != 34; }

const XProperty *AnnotationOf(const Unit *object)
{
    const int position = AnnotationPosition(object->object.type);
    if (position < 0)
        return nullptr;
    const Element *e = UnitElementAt(const_cast<Unit *>(object), position + 1);
    if (!e || e->kind == ELEM_END)
        return nullptr;
    const auto *payload = static_cast<const uint8_t *>(ElementPayload(e));
    const uint32_t offset = object->object.type == OBJTYPE_CLIP ? 0 : RECORD_XPROPERTY_OFFSET;
    if (e->size < ELEMENT_HEADER_SIZE + offset + sizeof(XProperty))
        return nullptr;
    return reinterpret_cast<const XProperty *>(payload + offset);
}

int32_t Resolved(Which which) { return which == Which::Layer ? g_OutputContext.layer : g_OutputContext.penIndex; }

int32_t OfAnnotation(const Unit *object, const XProperty *parent, Which which)
{
    const XProperty *annotation = AnnotationOf(object);
    if (!annotation)
        return -1;
    OutputPrepareTextAttributes(annotation, parent, &g_OutputContext);
    return Resolved(which);
}

void Flag(uint32_t *used, int32_t index)
{
    if (index >= 0 && index < USAGE_ENTRIES)
        used[index] = 1;
}

void MarkPlain(const Unit *object, const XProperty *parent, uint32_t *used, Which which)
{
    const int32_t type = object->object.type;
    if (CountsOutline(type)) {
        OutputPrepareAttributes(type, &object->property, parent, &g_OutputContext);
        Flag(used, Resolved(which));
    }
    if (CountsAnnotation(type))
        Flag(used, OfAnnotation(object, parent, which));
}

int MarkInstance(Unit *instance, const XProperty *parent, uint32_t *used, Which which);

void MarkMember(Unit *member, const XProperty *parent, uint32_t *used, Which which)
{
    if (member->kind == UNIT_KIND_OBJECT)
        MarkPlain(member, parent, used, which);
    else if (member->kind == UNIT_KIND_INSTANCE || member->kind == UNIT_KIND_PLUGIN)
        MarkInstance(member, parent, used, which);
}

int MarkInstance(Unit *instance, const XProperty *parent, uint32_t *used, Which which)
{
    if (g_OutputContext.nestingDepth >= kNestingLimit)
        return 0;
    Unit *block = SymbolGetInstanceBlock(instance);
    if (!block)
        return 0;
    ++g_OutputContext.nestingDepth;
    XProperty inherited;
    OutputInheritXProperty(&instance->property, &block->property, parent, &inherited);
    for (Unit *m = block->block.firstMember; m; m = m->next)
        MarkMember(m, &inherited, used, which);
    --g_OutputContext.nestingDepth;
    return 1;
}

int MarkAny(Unit *unit, uint32_t *used, Which which)
{
    g_OutputContext.nestingDepth = 0;
    const XProperty defaults = OutputDefaultXProperty();
    switch (unit->kind) {
    case UNIT_KIND_OBJECT: MarkPlain(unit, &defaults, used, which); return 1;
    case UNIT_KIND_INSTANCE:
    case UNIT_KIND_PLUGIN: MarkInstance(unit, &defaults, used, which); return 1;
    case UNIT_KIND_BLOCK: {
        const XProperty own = unit->property;
        for (Unit *m = unit->block.firstMember; m; m = m->next)
            MarkMember(m, &own, used, which);
        return 1;
    }
    default: return 0;
    }
}

int Scan(uint32_t *used, int withLibraries, Which which)
{
    const uint32_t savedMode = g_OutputContext.outputMode;
    g_OutputContext.outputMode = OUTPUT_USAGE_SCAN;
    std::memset(used, 0, USAGE_ENTRIES * sizeof *used);
    if (withLibraries)
        for (int i = 0; i < g_LibrarySlots.count && i < SYMBOL_LIBRARY_SLOTS; ++i)
            for (Unit *u = g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST + i].head; u; u = u->next)
                MarkAny(u, used, which);
    for (int list : {LIST_OWN_BLOCKS, LIST_DRAWING}) {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(list, 0, 0, 1); u; u = MemListNext(u))
            MarkAny(u, used, which);
    }
    g_OutputContext.outputMode = savedMode;
    return 1;
}

} // namespace

int ObjectScanLayerUse(uint32_t used[USAGE_ENTRIES], int withLibraries) { return Scan(used, withLibraries, Which::Layer); }
int ObjectScanPenUse(uint32_t used[USAGE_ENTRIES], int withLibraries) { return Scan(used, withLibraries, Which::Pen); }
int ObjectMarkLayerUseAny(Unit *unit, uint32_t used[USAGE_ENTRIES]) { return MarkAny(unit, used, Which::Layer); }
int ObjectMarkPenUseAny(Unit *unit, uint32_t used[USAGE_ENTRIES]) { return MarkAny(unit, used, Which::Pen); }

int32_t ObjectLayerOfAnnotation(const Unit *object, const XProperty *parent)
{
    return OfAnnotation(object, parent, Which::Layer);
}

int32_t ObjectPenOfAnnotation(const Unit *object, const XProperty *parent)
{
    return OfAnnotation(object, parent, Which::Pen);
}
