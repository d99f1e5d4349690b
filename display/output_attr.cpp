#include "display/output.h"

#include "app/system_defs.h"
#include "app/system_display_switches.h"
#include "database/unit.h"

namespace {

// Copies the field of one own-flag bit.
void CopyField(uint32_t bit, const XProperty &from, XProperty &to)
{
    switch (bit) {
    case XPROP_OWN_PEN: to.pen = from.pen; break;
    case XPROP_OWN_FILL: to.fillMode = from.fillMode; break;
    case XPROP_OWN_COLOR1: to.color1 = from.color1; break;
    case XPROP_OWN_COLOR2: to.color2 = from.color2; break;
    case XPROP_OWN_WIDTH: to.width = from.width; break;
    case XPROP_OWN_LINETYPE: to.lineType = from.lineType; break;
    case XPROP_OWN_LAYER: to.layer = from.layer; break;
    case XPROP_OWN_CAPJOIN: to.capJoin = from.capJoin; break;
    default: break;
    }
}

constexpr uint32_t kAllFields = 0xFF;

bool ValidPen(int pen) { return pen > 0 && pen < PEN_SLOTS && g_PenDefs[pen].name[0]; }
bool ValidLayer(int layer) { return layer > 0 && layer < LAYER_SLOTS && g_LayerDefs[layer].name[0]; }

bool DeviceOutput()
{
    const uint32_t m = g_OutputContext.outputMode;
    return m == OUTPUT_SCREEN_LIKE || m == OUTPUT_METAFILE || m == OUTPUT_PRINTER;
}

// The pen's property set for the current output.
const Property &PenSet(int pen)
{
    const PenDef &p = g_PenDefs[pen];
    if (DeviceOutput())
        return g_DisplaySwitches.outputIntern ? p.setA : p.setB;
    return g_DisplaySwitches.displayExtern ? p.setB : p.setA;
}

uint32_t PenState(int pen) { return (pen > 0 && pen < PEN_SLOTS) ? g_PenDefs[pen].state : DEF_STATE_DEFAULT; }
uint32_t LayerState(int layer) { return (layer > 0 && layer < LAYER_SLOTS) ? g_LayerDefs[layer].state : DEF_STATE_DEFAULT; }

bool ShownNow(uint32_t state)
{
    if (DeviceOutput())
        return (state & (g_DisplaySwitches.outputIntern ? DEF_STATE_SHOWN_A : DEF_STATE_SHOWN_B)) != 0;
    return (state & (g_DisplaySwitches.displayExtern ? DEF_STATE_SHOWN_B : DEF_STATE_SHOWN_A)) != 0;
}

} // namespace

int OutputResolveXProperty(const XProperty *own, const XProperty *parent, XProperty *out)
{
    XProperty r = *own;
    for (uint32_t bit = 1; bit <= 0x80; bit <<= 1)
        if (!(own->ownFlags & bit) && (parent->ownFlags & bit))
            CopyField(bit, *parent, r);
    r.ownFlags = own->ownFlags | parent->ownFlags;
    if (!ValidLayer(r.layer))
        r.layer = 0;
    if (!ValidPen(r.pen))
        r.pen = 0;
    if (r.pen != 0) {
        const Property &set = PenSet(r.pen);
        if (!(r.ownFlags & XPROP_OWN_FILL))
            r.fillMode = set.fillMode;
        if (!(r.ownFlags & XPROP_OWN_COLOR1))
            r.color1 = set.color1;
        if (!(r.ownFlags & XPROP_OWN_COLOR2))
            r.color2 = set.color2;
        if (!(r.ownFlags & XPROP_OWN_WIDTH))
            r.width = set.width;
        if (!(r.ownFlags & XPROP_OWN_LINETYPE))
            r.lineType = set.lineType;
        if (!(r.ownFlags & XPROP_OWN_CAPJOIN))
            r.capJoin = set.capJoin;
    }
    const int shown = ShownNow(LayerState(r.layer)) && ShownNow(PenState(r.pen));
    *out = r;
    return shown ? 1 : 0;
}

int OutputFillXProperty(const XProperty *own, const XProperty *parent, XProperty *out)
{
    XProperty r = *own;
    for (uint32_t bit = 1; bit <= 0x80; bit <<= 1)
        if (!(own->ownFlags & bit))
            CopyField(bit, *parent, r);
    *out = r;
    return 1;
}

int OutputInheritXProperty(const XProperty *instance, const XProperty *block, const XProperty *own, XProperty *out)
{
    XProperty r = *own;
    for (uint32_t bit = 1; bit <= 0x80; bit <<= 1) {
        if (own->ownFlags & bit)
            continue;
        if (instance->ownFlags & bit)
            CopyField(bit, *instance, r);
        else if (block->ownFlags & bit)
            CopyField(bit, *block, r);
    }
    r.ownFlags = (own->ownFlags | instance->ownFlags | block->ownFlags) & kAllFields;
    *out = r;
    return 1;
}

