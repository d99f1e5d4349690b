// Display flags and resolved properties.
#include "database/object_flags.h"

#include "app/darad4.h"
#include "app/system_defs.h"
#include "app/system.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "display/output_penlayer.h"

namespace {

bool IsDisplayedKind(int32_t kind)
{
    return kind == UNIT_KIND_OBJECT || kind == UNIT_KIND_INSTANCE || kind == UNIT_KIND_PLUGIN;
}

bool IsConstruction(int32_t type) { return type >= OBJTYPE_GEO_LINE && type <= OBJTYPE_GEO_ELLI; }

// Calls visit on every element of the unit's chain up to and including the
// end element, never beyond the unit's byte size.
template <typename Visit> void ForEachElement(Unit *unit, Visit visit)
{
    const uint32_t first = UnitElementOffset(unit->kind);
    if (first == 0)
        return;
    uint8_t *base = reinterpret_cast<uint8_t *>(unit);
    for (uint32_t offset = first; offset + ELEMENT_HEADER_SIZE <= unit->bytes;) {
        Element *e = reinterpret_cast<Element *>(base + offset);
        visit(e);
        if (e->kind == ELEM_END || e->size == 0)
            break;
        offset += e->size;
    }
}

struct DisplayVerdict {
    uint32_t bits = 0;
    bool lost = false;   // may no longer carry a selection, a mark or an ident
    bool hidden = false; // hidden by its layer or pen
};

DisplayVerdict JudgeUnit(const Unit *unit)
{
    DisplayVerdict v;
    int32_t pen = unit->property.pen;
    int32_t layer = unit->property.layer;
    OutputResolvePenLayer(&pen, &layer);
    if (OutputIsLayerLocked(layer) || OutputIsPenLocked(pen)) {
        v.bits |= UNIT_LOCKED;
        v.lost = true;
    }
    if (!OutputIsLayerShownScreen(layer) || !OutputIsPenShownScreen(pen)) {
        v.bits |= UNIT_HIDDEN;
        v.lost = v.hidden = true;
    }
    if (!OutputIsLayerShownPrint(layer) || !OutputIsPenShownPrint(pen))
        v.bits |= UNIT_NOT_PRINTABLE;
    if (OutputIsLayerNoPick(layer) || OutputIsPenNoPick(pen))
        v.bits |= UNIT_NOT_PICKABLE;

    if (unit->kind != UNIT_KIND_OBJECT)
        return v;
    // The drawing switches only add bits; they never make the result 1.
    const int32_t type = unit->object.type;
    const DrawingSettings &sw = g_DrawingSettings;
    if (!sw.commentDisplay[0] && type == OBJTYPE_COMMENT) {
        v.bits |= UNIT_HIDDEN;
        v.lost = true;
    }
    if (IsConstruction(type)) {
        if (sw.displayGeometry[1]) {
            v.bits |= UNIT_LOCKED;
            v.lost = true;
        }
        if (!sw.displayGeometry[0]) {
            v.bits |= UNIT_HIDDEN;
            v.lost = true;
        }
        if (!sw.outputGeometry)
            v.bits |= UNIT_NOT_PRINTABLE;
    }
    return v;
}

// Applies the verdict; returns whether the unit carried a user mark (on
// itself or, when its point flags are cleared, on a point) that it loses.
bool ApplyVerdict(Unit *unit, const DisplayVerdict &v)
{
    unit->flags = (unit->flags & ~UNIT_DISPLAY_BITS) | v.bits;
    if (!v.lost)
        return false;
    bool hadMark = false;
    // An instance keeps the point flags of its attribute values.
    if (unit->kind != UNIT_KIND_INSTANCE)
        ForEachElement(unit, [&](Element *e) {
            hadMark |= (e->pointFlags & UNIT_USER_MARK) != 0;
            e->pointFlags = 0;
        });
    hadMark |= (unit->flags & UNIT_USER_MARK) != 0;
    unit->flags &= ~(UNIT_USER_MARK | UNIT_POINTS_SELECTED);
    unit->ident = UNIT_NO_IDENT;
    return hadMark;
}

void ResolveInPlace(XProperty *property) { OutputPenXProperty(property, property); }

// Block members are resolved by kind; other kinds are skipped.
void ResolveByKind(Unit *unit)
{
    if (unit->kind == UNIT_KIND_OBJECT)
        ObjectResolveElementProperties(unit);
    else if (unit->kind == UNIT_KIND_INSTANCE || unit->kind == UNIT_KIND_PLUGIN)
        ObjectResolveProperty(unit);
}

void ResolveBlockMembers(int list)
{
    for (Unit *b = g_ObjectLists[list].head; b; b = b->next)
        if (b->kind == UNIT_KIND_BLOCK)
            for (Unit *m = b->block.firstMember; m; m = m->next)
                ResolveByKind(m);
}

int ValidSlotOrUnset(int32_t index, bool defined) { return defined ? index : DEFAULT_SLOT_UNSET; }

} // namespace

int ObjectUpdateDisplayFlags(Unit *unit)
{
    if (!unit || !IsDisplayedKind(unit->kind))
        return 0;
    const DisplayVerdict v = JudgeUnit(unit);
    ApplyVerdict(unit, v);
    return v.hidden ? 1 : 0;
}

int ObjectUpdateDisplayFlagsAll(int alert)
{
    bool markLost = false;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (IsDisplayedKind(u->kind))
            markLost |= ApplyVerdict(u, JudgeUnit(u));
    if (alert && markLost)
        AlertSM14(g_MainWnd);
    return markLost ? 1 : 0;
}

int ObjectValidateDefaultSlots()
{
    for (int i = 0; i < DEFAULT_SLOTS; ++i) {
        g_DefaultPens[i] = ValidSlotOrUnset(g_DefaultPens[i], PenIsDefined(g_DefaultPens[i]));
        g_DefaultLayers[i] = ValidSlotOrUnset(g_DefaultLayers[i], LayerIsDefined(g_DefaultLayers[i]));
    }
    return 1;
}

void ObjectResolveElementProperties(Unit *unit)
{
    if (!unit)
        return;
    ResolveInPlace(&unit->property);
    ForEachElement(unit, [](Element *e) {
        switch (e->kind) {
        case ELEM_DIM_LARGE:
        case ELEM_DIM_SMALL:
        case ELEM_TEXT_STANDARD:
        case ELEM_TEXT_FRAME:
            ResolveInPlace(reinterpret_cast<XProperty *>(static_cast<uint8_t *>(ElementPayload(e)) +
                                                         RECORD_XPROPERTY_OFFSET));
            break;
        default:
            break;
        }
    });
}

void ObjectResolveProperty(Unit *unit)
{
    if (unit)
        ResolveInPlace(&unit->property);
}

void ObjectResolveAllProperties()
{
    // Lists of libraries that are not open are empty.
    for (int i = 0; i < SYMBOL_LIBRARY_SLOTS; ++i)
        ResolveBlockMembers(LIST_SYMBOL_LIBRARY_FIRST + i);
    ResolveBlockMembers(LIST_OWN_BLOCKS);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        ResolveByKind(u);
}
