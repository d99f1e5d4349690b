// Effective pen and layer, pen and layer states, pen-derived attributes.
#include "display/output_penlayer.h"

#include "app/system_defs.h"
#include "app/system_display_switches.h"

namespace {

uint32_t ScreenBit() { return g_DisplaySwitches.displayExtern ? DEF_STATE_SHOWN_B : DEF_STATE_SHOWN_A; }
uint32_t PrintBit() { return g_DisplaySwitches.outputIntern ? DEF_STATE_SHOWN_A : DEF_STATE_SHOWN_B; }

// The state word of a defined slot other than 0; slot 0 and anything
// undefined behave as always shown, never locked and pickable.
bool LayerHas(int32_t layer, uint32_t bit, bool valueForNone)
{
    if (layer == 0 || !LayerIsDefined(layer))
        return valueForNone;
    return (g_LayerDefs[layer].state & bit) != 0;
}

bool PenHas(int32_t pen, uint32_t bit, bool valueForNone)
{
    if (pen == 0 || !PenIsDefined(pen))
        return valueForNone;
    return (g_PenDefs[pen].state & bit) != 0;
}

} // namespace

void OutputResolvePenLayer(int32_t *pen, int32_t *layer)
{
    if (!LayerIsDefined(*layer))
        *layer = 0;
    if (*layer != 0) {
        const LayerDef &def = g_LayerDefs[*layer];
        const XProperty &set = g_DisplaySwitches.displayExtern ? def.setB : def.setA;
        if (set.ownFlags & XPROP_OWN_PEN)
            *pen = set.pen;
    }
    if (!PenIsDefined(*pen))
        *pen = 0;
}

int OutputIsLayerShownScreen(int32_t layer) { return LayerHas(layer, ScreenBit(), true); }
int OutputIsPenShownScreen(int32_t pen) { return PenHas(pen, ScreenBit(), true); }
int OutputIsLayerShownPrint(int32_t layer) { return LayerHas(layer, PrintBit(), true); }
int OutputIsPenShownPrint(int32_t pen) { return PenHas(pen, PrintBit(), true); }
int OutputIsLayerLocked(int32_t layer) { return LayerHas(layer, DEF_STATE_LOCKED, false); }
int OutputIsPenLocked(int32_t pen) { return PenHas(pen, DEF_STATE_LOCKED, false); }
int OutputIsLayerNoPick(int32_t layer) { return LayerHas(layer, DEF_STATE_NO_PICK, false); }
int OutputIsPenNoPick(int32_t pen) { return PenHas(pen, DEF_STATE_NO_PICK, false); }

int OutputPenXProperty(const XProperty *src, XProperty *dst)
{
    const XProperty own = *src;
    *dst = own;
    if (own.pen == 0 || !PenIsDefined(own.pen))
        return 1;
    const PenDef &pen = g_PenDefs[own.pen];
    const Property &set = g_DisplaySwitches.outputIntern ? pen.setA : pen.setB;
    if (!(own.ownFlags & XPROP_OWN_FILL)) dst->fillMode = set.fillMode;
    if (!(own.ownFlags & XPROP_OWN_COLOR1)) dst->color1 = set.color1;
    if (!(own.ownFlags & XPROP_OWN_COLOR2)) dst->color2 = set.color2;
    if (!(own.ownFlags & XPROP_OWN_WIDTH)) dst->width = set.width;
    if (!(own.ownFlags & XPROP_OWN_LINETYPE)) dst->lineType = set.lineType;
    if (!(own.ownFlags & XPROP_OWN_CAPJOIN)) dst->capJoin = set.capJoin;
    return 1;
}
