// Attribute resolution through instance, layer and pen; the attribute block
// of the output context; the GDI pens and brushes made from it; palette
// colours; the one-entry device-font cache.
#include <cmath>
#include <cstring>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/system_records.h"
#include "database/object_types.h"
#include "display/output.h"

namespace {

constexpr uint32_t ALL_FIELDS = 0xFF;
// Fields a pen's property set can supply.
constexpr uint32_t PEN_FIELDS = XPROP_OWN_FILL | XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2 | XPROP_OWN_WIDTH |
                                XPROP_OWN_LINETYPE | XPROP_OWN_CAPJOIN;
constexpr COLORREF PALETTE_RELATIVE = 0x02000000;
constexpr double STYLE_LENGTH_LIMIT = 16777216.0;
constexpr int STYLE_MAX_ENTRIES = 16;
constexpr double MIN_DASH_WIDTH = 0.1; // mm: narrower lines dash as if this wide
constexpr double HUNDREDTH = 0.01;
constexpr double TEXT_EM_UNITS = 20.0;
constexpr double TENTHS_OF_DEGREE = 572.9577951308;
constexpr double DEVICE_FONT_MAX_HEIGHT = 8000.0;
constexpr double CONFORMAL_RATIO = 1.01;
constexpr double CONFORMAL_DOT = 0.01;

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

// Fields of `bits` not yet in `flags` taken from a pen property set.
void FillFromPenSet(XProperty &r, uint32_t flags, const Property &set)
{
    if (!(flags & XPROP_OWN_FILL)) r.fillMode = set.fillMode;
    if (!(flags & XPROP_OWN_COLOR1)) r.color1 = set.color1;
    if (!(flags & XPROP_OWN_COLOR2)) r.color2 = set.color2;
    if (!(flags & XPROP_OWN_WIDTH)) r.width = set.width;
    if (!(flags & XPROP_OWN_LINETYPE)) r.lineType = set.lineType;
    if (!(flags & XPROP_OWN_CAPJOIN)) r.capJoin = set.capJoin;
}

const Property &PenSetForOutput(int32_t pen)
{
    return OutputUsesSetB() ? g_PenDefs[pen].setB : g_PenDefs[pen].setA;
}

const XProperty &LayerSetForOutput(int32_t layer)
{
    return OutputUsesSetB() ? g_LayerDefs[layer].setB : g_LayerDefs[layer].setA;
}

bool LineTypeHasPattern(int32_t lineType)
{
    if (lineType <= 0 || lineType >= LINE_SLOTS || g_LineDefs[lineType].name[0] == 0)
        return false;
    return g_LineDefs[lineType].pairs > 0;
}

COLORREF HighlightColour() { return InitStandardColor(g_DrawingSettings.colorLayers); }

struct FontCache {
    int valid;
    HFONT font;
    int32_t height;
    int32_t escapement;
    FontDef def;
};
FontCache g_FontCache;

// Pens and brushes made for the resolved attributes of objects, kept for the
// next object with the same attributes instead of being made and deleted per
// object. A pen is known by the arguments it was made with.
constexpr int GDI_CACHE_SIZE = 32;

struct PenKey {
    DWORD extended; // 0: CreatePen, 1: ExtCreatePen
    DWORD style;
    DWORD width;
    COLORREF colour;
    DWORD entries;
    DWORD dashes[STYLE_MAX_ENTRIES];
};

struct GdiCache {
    PenKey penKeys[GDI_CACHE_SIZE];
    HPEN pens[GDI_CACHE_SIZE];
    int penCount;
    COLORREF brushColours[GDI_CACHE_SIZE];
    HBRUSH brushes[GDI_CACHE_SIZE];
    int brushCount;
};
GdiCache g_GdiCache;

PenKey MakePenKey(DWORD extended, DWORD style, DWORD width, COLORREF colour, DWORD entries, const DWORD *dashes)
{
    PenKey k{};
    k.extended = extended;
    k.style = style;
    k.width = width;
    k.colour = colour;
    k.entries = entries;
    for (DWORD i = 0; i < entries && i < STYLE_MAX_ENTRIES; ++i)
        k.dashes[i] = dashes[i];
    return k;
}

// The cached pen for these arguments, made on first use; 0 when GDI refuses.
HPEN CachedPen(const PenKey &k)
{
    GdiCache &c = g_GdiCache;
    for (int i = 0; i < c.penCount; ++i)
        if (std::memcmp(&c.penKeys[i], &k, sizeof k) == 0)
            return c.pens[i];
    HPEN pen;
    if (k.extended) {
        const LOGBRUSH lb{BS_SOLID, k.colour, 0};
        pen = ExtCreatePen(k.style, k.width, &lb, k.entries, k.entries ? k.dashes : nullptr);
    } else {
        pen = CreatePen(static_cast<int>(k.style), static_cast<int>(k.width), k.colour);
    }
    if (pen && c.penCount < GDI_CACHE_SIZE) {
        c.penKeys[c.penCount] = k;
        c.pens[c.penCount++] = pen;
    }
    return pen;
}

HBRUSH CachedSolidBrush(COLORREF colour)
{
    GdiCache &c = g_GdiCache;
    for (int i = 0; i < c.brushCount; ++i)
        if (c.brushColours[i] == colour)
            return c.brushes[i];
    HBRUSH brush = CreateSolidBrush(colour);
    if (brush && c.brushCount < GDI_CACHE_SIZE) {
        c.brushColours[c.brushCount] = colour;
        c.brushes[c.brushCount++] = brush;
    }
    return brush;
}

bool IsCachedPen(HPEN pen)
{
    for (int i = 0; i < g_GdiCache.penCount; ++i)
        if (g_GdiCache.pens[i] == pen)
            return true;
    return false;
}

bool IsCachedBrush(HBRUSH brush)
{
    for (int i = 0; i < g_GdiCache.brushCount; ++i)
        if (g_GdiCache.brushes[i] == brush)
            return true;
    return false;
}

// Deletes every entry of a full table but the one in use; the new count.
template <class Key, class Handle>
int EmptyFullTable(Key *keys, Handle *handles, int count, Handle inUse)
{
    if (count < GDI_CACHE_SIZE)
        return count;
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        if (handles[i] == inUse) {
            keys[kept] = keys[i];
            handles[kept++] = handles[i];
        } else {
            DeleteObject(handles[i]);
        }
    }
    return kept;
}

// A full cache is emptied once the objects in use are selected, keeping those
// two: a drawing with more attribute sets than fit still makes each pen once
// per GDI_CACHE_SIZE changes at most.
void TrimGdiCache(HPEN inUsePen, HBRUSH inUseBrush)
{
    GdiCache &c = g_GdiCache;
    c.penCount = EmptyFullTable(c.penKeys, c.pens, c.penCount, inUsePen);
    c.brushCount = EmptyFullTable(c.brushColours, c.brushes, c.brushCount, inUseBrush);
}

} // namespace

XProperty OutputDefaultXProperty() { return XPropertyDefault(); }

// ---------------------------------------------------------------------------
// Companion routines.

int OutputPenXProperty(const XProperty *in, XProperty *out)
{
    const XProperty own = *in;
    *out = own;
    if ((own.ownFlags & PEN_FIELDS) == PEN_FIELDS)
        return 1;
    if (!PenIsDefined(own.pen)) {
        out->pen = 0;
        return 1;
    }
    if (own.pen == 0)
        return 1;
    const PenDef &pen = g_PenDefs[own.pen];
    FillFromPenSet(*out, own.ownFlags, OutputPrintUsesSetA() ? pen.setA : pen.setB);
    return 1;
}

int OutputOverrideXProperty(const XProperty *base, const XProperty *over, XProperty *out)
{
    XProperty r = *base;
    for (uint32_t bit = 1; bit <= 0x80; bit <<= 1)
        if (over->ownFlags & bit)
            CopyField(bit, *over, r);
    r.ownFlags = base->ownFlags | over->ownFlags;
    *out = r;
    return 1;
}

int OutputFillXProperty(const XProperty *own, const XProperty *parent, XProperty *out)
{
    XProperty r = *own;
    for (uint32_t bit = 1; bit <= 0x80; bit <<= 1)
        if (!(own->ownFlags & bit) && (parent->ownFlags & bit)) {
            CopyField(bit, *parent, r);
            r.ownFlags |= bit;
        }
    *out = r;
    return 1;
}

int OutputInheritXProperty(const XProperty *a, const XProperty *b, const XProperty *own, XProperty *out)
{
    XProperty r = *own;
    for (uint32_t bit = 1; bit <= 0x80; bit <<= 1) {
        if (r.ownFlags & bit)
            continue;
        if (a->ownFlags & bit) {
            CopyField(bit, *a, r);
            r.ownFlags |= bit;
        } else if (b->ownFlags & bit) {
            CopyField(bit, *b, r);
            r.ownFlags |= bit;
        }
    }
    *out = r;
    return 1;
}

int OutputResolveXProperty(const XProperty *object, const XProperty *parent, XProperty *out)
{
    const bool resolveHidden = OutputResolvesHidden(g_OutputContext.mode);
    XProperty r = *object;
    uint32_t flags = r.ownFlags;
    int visible = 1;
    // 1. Layer.
    if (!(flags & XPROP_OWN_LAYER) && (parent->ownFlags & XPROP_OWN_LAYER)) {
        r.layer = parent->layer;
        flags |= XPROP_OWN_LAYER;
    }
    if (!LayerIsDefined(r.layer))
        r.layer = 0;
    // 2. A hidden layer.
    if (r.layer != 0 && !OutputIsLayerShown(r.layer)) {
        visible = 0;
        if (!resolveHidden) {
            r.ownFlags = flags;
            *out = r;
            return 0;
        }
    }
    // 3. The parent's own fields.
    for (uint32_t bit = 1; bit <= 0x80; bit <<= 1) {
        if (bit == XPROP_OWN_LAYER)
            continue;
        if (!(flags & bit) && (parent->ownFlags & bit)) {
            CopyField(bit, *parent, r);
            flags |= bit;
        }
    }
    // 4. The layer set may impose its pen.
    const XProperty *layerSet = r.layer != 0 ? &LayerSetForOutput(r.layer) : nullptr;
    if (layerSet && (layerSet->ownFlags & XPROP_OWN_PEN) && !(flags & XPROP_OWN_PEN)) {
        r.pen = layerSet->pen;
        flags |= XPROP_OWN_PEN;
    }
    // 5. and 6. The pen.
    if (!PenIsDefined(r.pen))
        r.pen = 0;
    if (r.pen != 0) {
        if (!OutputIsPenShown(r.pen)) {
            visible = 0;
            if (!resolveHidden) {
                r.ownFlags = flags;
                *out = r;
                return 0;
            }
        }
        FillFromPenSet(r, flags, PenSetForOutput(r.pen));
        if (OutputIsPenHighlighted(r.pen)) {
            r.color1 = r.color2 = HighlightColour();
            flags |= XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2;
        }
    }
    // 7. The layer's own fields win over the pen's.
    if (layerSet) {
        const uint32_t layerOwn = layerSet->ownFlags & PEN_FIELDS & ~flags;
        for (uint32_t bit = 1; bit <= 0x80; bit <<= 1)
            if (layerOwn & bit)
                CopyField(bit, *layerSet, r);
        flags |= layerOwn;
        if (OutputIsLayerHighlighted(r.layer)) {
            r.color1 = r.color2 = HighlightColour();
            flags |= XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2;
        }
    }
    r.ownFlags = flags & ALL_FIELDS;
    *out = r;
    return visible;
}

// ---------------------------------------------------------------------------
// Preparation of the attribute block.

namespace {

struct Switches {
    bool fill, eraser, outline, always;
};

bool FmFill(int32_t fm) { return fm == FILL_SOLID || fm == FILL_SOLID_OUTLINE; }
bool FmEraser(int32_t fm) { return fm == FILL_ERASER || fm == FILL_ERASER_OUTLINE; }
bool FmOutline(int32_t fm) { return fm == FILL_NONE || fm == FILL_SOLID_OUTLINE || fm == FILL_ERASER_OUTLINE; }

bool IsLineLike(int32_t type)
{
    switch (type) {
    case OBJTYPE_LINE: case OBJTYPE_HATCH: case OBJTYPE_CIRC_ARC: case OBJTYPE_ZIGZAG:
    case OBJTYPE_SPLINE: case OBJTYPE_CURVE: case OBJTYPE_ELLI_ARC:
        return true;
    default:
        return false;
    }
}

bool IsAlwaysStroked(int32_t type)
{
    return type == OBJTYPE_LINE_STR || type == OBJTYPE_LINE_CURVED ||
           (type >= OBJTYPE_DIM_DIST && type <= OBJTYPE_DIM_ARC) || (type >= OBJTYPE_GEO_LINE && type <= OBJTYPE_GEO_ELLI);
}

Switches DecideSwitches(int32_t type, int32_t fm)
{
    Switches s{};
    const uint32_t mode = g_OutputContext.mode;
    if (OutputIsScreenType(mode)) {
        const bool f = g_DrawingSettings.displayFills != 0;
        const bool l = g_DrawingSettings.displayLines != 0;
        if (IsLineLike(type)) {
            s.outline = FmOutline(fm) && l;
        } else if (IsAlwaysStroked(type)) {
            s.outline = l;
        } else if (type == OBJTYPE_COMMENT || type == OBJTYPE_MARK || type == OBJTYPE_BITMAP) {
            s.always = true;
        } else {
            s.fill = FmFill(fm) && f;
            s.eraser = FmEraser(fm) && f;
            s.outline = FmOutline(fm) && l;
            s.always = type == OBJTYPE_CLIP;
        }
        return s;
    }
    if (IsLineLike(type)) {
        s.outline = FmOutline(fm);
    } else if (IsAlwaysStroked(type)) {
        s.outline = true;
    } else if (type == OBJTYPE_COMMENT) {
        s.always = true;
    } else if (type == OBJTYPE_MARK) {
        if (g_DrawingSettings.outputMark.on) {
            s.fill = FmFill(fm);
            s.eraser = FmEraser(fm);
            s.outline = FmOutline(fm);
        }
    } else if (type == OBJTYPE_BITMAP) {
        s.always = g_DrawingSettings.outputBitmap != 0;
    } else {
        s.fill = FmFill(fm);
        s.eraser = FmEraser(fm);
        s.outline = FmOutline(fm);
        s.always = type == OBJTYPE_CLIP;
    }
    return s;
}

// Widths and line types of the output: step 3 of the preparation.
void DecideWidthSwitches(int32_t type, bool textPart, OutputContext *c, bool *paperWidths)
{
    *paperWidths = false;
    if (OutputIsScreenType(c->mode)) {
        const int32_t lm = g_DrawingSettings.displayLinesMode;
        c->lineTypesOn = lm != 0;
        c->widthsOn = lm == 2 || lm == 3;
        *paperWidths = lm == 2;
        if (c->window == OUTPUT_WINDOW_VIEW && g_Options.viewSimple)
            c->lineTypesOn = c->widthsOn = 0;
    } else {
        c->lineTypesOn = c->widthsOn = 1;
    }
    if (textPart)
        return;
    if (type == OBJTYPE_COMMENT || type == OBJTYPE_BITMAP ||
        (type == OBJTYPE_MARK && (OutputIsScreenType(c->mode) || !g_DrawingSettings.outputMark.on)))
        c->lineTypesOn = c->widthsOn = 0;
}

// Steps 5 to 8 shared by objects and texts.
void FillBlock(const XProperty &r, bool fill, bool eraser, bool outline, bool paperWidths, OutputContext *c)
{
    const bool outlineOnly = c->outlineOnly != 0;
    if (outlineOnly && !outline) {
        c->lineColour = InitStandardColor(g_DrawingSettings.colorDrawArea);
        c->lineWidth = c->lineWidthUsed = 0.0;
        c->lineType = 0;
    } else {
        c->lineColour = r.color2;
        c->lineWidth = c->lineWidthUsed = r.width;
        c->lineType = r.lineType;
    }
    c->capJoin = r.capJoin;
    c->fillColour = c->textColour = eraser ? c->backgroundColour : r.color1;
    (void)fill;
    if (outlineOnly || outline) {
        if (c->widthsOn && paperWidths && c->widthScale != 0.0)
            c->lineWidthUsed = c->lineWidth / c->widthScale;
        if (!c->widthsOn && !c->lineTypesOn) {
            c->lineType = 0;
        } else if (LineTypeHasPattern(c->lineType)) {
            c->lineTypesOn = 1;
        } else {
            c->lineType = 0;
            c->lineTypesOn = 0;
        }
        c->strokeOn = 1;
    } else {
        c->strokeOn = 0;
    }
    c->layer = r.layer;
    c->penIndex = r.pen;
    c->drawFlags = 0;
    if (c->eraserFill)
        c->drawFlags = DRAW_FILL | DRAW_ERASER;
    if (c->fillOn)
        c->drawFlags |= DRAW_FILL;
    if (c->strokeOn)
        c->drawFlags |= DRAW_STROKE;
}

// Step 1: the resolved record, or false when there is nothing to draw.
bool ResolveForPreparation(const XProperty *object, const XProperty *parent, XProperty *r)
{
    if (object) {
        const int shown = OutputResolveXProperty(object, parent, r);
        return shown || OutputResolvesHidden(g_OutputContext.mode);
    }
    *r = *parent;
    return OutputIsLayerShown(parent->layer) && OutputIsPenShown(parent->pen);
}

// The attribute block of the working copy goes back into the context.
void WriteBack(const OutputContext &c, OutputContext *context)
{
    OutputAttributeBlock block;
    OutputSaveAttributeBlock(&c, &block);
    OutputLoadAttributeBlock(context, &block);
}

} // namespace

int OutputPrepareAttributes(int32_t type, const XProperty *object, const XProperty *parent, OutputContext *context)
{
    XProperty r;
    if (!ResolveForPreparation(object, parent, &r))
        return 0;
    OutputContext c = *context;
    if (type == OBJTYPE_MARK && !OutputIsScreenType(c.mode) && g_DrawingSettings.outputMark.on) {
        const XProperty markProperty = g_DrawingSettings.outputMark.property;
        OutputPenXProperty(&markProperty, &r);
    }
    const Switches s = DecideSwitches(type, r.fillMode);
    bool paperWidths = false;
    DecideWidthSwitches(type, false, &c, &paperWidths);
    if (!s.fill && !s.eraser && !s.outline && !s.always && !c.outlineOnly)
        return 0;
    c.fillOn = s.fill;
    c.eraserFill = s.eraser;
    if (c.outlineOnly && type != OBJTYPE_CLIP)
        c.fillOn = c.eraserFill = 0;
    c.fillOnlyText = 0;
    FillBlock(r, s.fill, s.eraser, s.outline, paperWidths, &c);
    WriteBack(c, context);
    return 1;
}

int OutputPrepareTextAttributes(const XProperty *object, const XProperty *parent, OutputContext *context)
{
    XProperty r;
    if (!ResolveForPreparation(object, parent, &r))
        return 0;
    OutputContext c = *context;
    const int32_t fm = r.fillMode;
    bool fill = FmFill(fm), eraser = fm != FILL_NONE && !FmFill(fm), outline = fm != FILL_SOLID && fm != FILL_ERASER;
    if (OutputIsScreenType(c.mode)) {
        fill = fill && g_DrawingSettings.displayFills;
        eraser = eraser && g_DrawingSettings.displayFills;
        outline = outline && g_DrawingSettings.displayLines;
    }
    bool paperWidths = false;
    DecideWidthSwitches(OBJTYPE_STD_TEXT, true, &c, &paperWidths);
    if (!fill && !eraser && !outline && !c.outlineOnly)
        return 0;
    c.fillOnlyText = fill && !outline;
    c.fillOn = fill && !c.outlineOnly;
    c.eraserFill = eraser && !c.outlineOnly;
    FillBlock(r, fill, eraser, outline, paperWidths, &c);
    WriteBack(c, context);
    return 1;
}

// ---------------------------------------------------------------------------
// Colours, pens and brushes.

COLORREF OutputMapColor(HDC hdc, COLORREF colour)
{
    if (!g_OutputContext.palette)
        return colour;
    if (g_OutputContext.mode == OUTPUT_SCREEN)
        return colour | PALETTE_RELATIVE;
    if (g_OutputContext.mode == OUTPUT_SCREEN_LIKE)
        return GetNearestColor(hdc, colour);
    return colour;
}

HBRUSH OutputCreateSolidBrush(HDC hdc, COLORREF colour) { return CreateSolidBrush(OutputMapColor(hdc, colour)); }

void OutputPreparePenColour(HDC hdc, OutputContext *context)
{
    context->penWidth = context->penWidthPixels < 1 ? 1 : context->penWidthPixels;
    context->penColour = OutputMapColor(hdc, context->lineColour);
}

int OutputBuildPenStyle(const OutputContext *context, double factorDivisor, DWORD style[STYLE_MAX_ENTRIES])
{
    if (!LineTypeHasPattern(context->lineType))
        return 0;
    const LineDef &def = g_LineDefs[context->lineType];
    int n = 2 * def.pairs;
    if (n > STYLE_MAX_ENTRIES)
        n = STYLE_MAX_ENTRIES;
    const double unit = def.kind == 0 ? std::fmax(std::fabs(context->lineWidth), MIN_DASH_WIDTH) * HUNDREDTH : HUNDREDTH;
    const double factor = std::fabs(context->widthZoom * unit) / factorDivisor;
    for (int i = 0; i < n; ++i) {
        double v = def.lengths[i] * factor;
        if (v > STYLE_LENGTH_LIMIT)
            v = STYLE_LENGTH_LIMIT;
        style[i] = std::floor(v) < 1.0 ? 1 : static_cast<DWORD>(std::floor(v + 0.5));
    }
    return n;
}

// The four pen makers below hand out pens of the renderer's cache: the
// caller selects them but never deletes them.
HPEN OutputCreateCosmeticPen(HDC hdc, OutputContext *context)
{
    context->endPixel = 1;
    return CachedPen(MakePenKey(0, PS_SOLID, 1, OutputMapColor(hdc, context->lineColour), 0, nullptr));
}

HPEN OutputCreateGeometricPen(HDC hdc, OutputContext *context)
{
    OutputPreparePenColour(hdc, context);
    context->endPixel = 0;
    return CachedPen(MakePenKey(1, context->capJoin | PS_GEOMETRIC | PS_SOLID, static_cast<DWORD>(context->penWidth),
                                context->penColour, 0, nullptr));
}

HPEN OutputCreateCosmeticStylePen(HDC hdc, OutputContext *context)
{
    DWORD style[STYLE_MAX_ENTRIES];
    const int n = g_IsWin9x ? 0 : OutputBuildPenStyle(context, 3.0, style);
    context->endPixel = 0;
    if (n == 0) {
        // Windows 95/98 (or no usable pattern): a solid pen, the program dashes.
        if (g_IsWin9x && (context->drawFlags & DRAW_STROKE) && LineTypeHasPattern(context->lineType))
            context->drawFlags |= DRAW_DASHED;
        return CachedPen(MakePenKey(0, PS_SOLID, 1, OutputMapColor(hdc, context->lineColour), 0, nullptr));
    }
    return CachedPen(MakePenKey(1, PS_COSMETIC | PS_USERSTYLE, 1, OutputMapColor(hdc, context->lineColour),
                                static_cast<DWORD>(n), style));
}

HPEN OutputCreateGeometricStylePen(HDC hdc, OutputContext *context)
{
    OutputPreparePenColour(hdc, context);
    DWORD style[STYLE_MAX_ENTRIES];
    const int n = g_IsWin9x ? 0 : OutputBuildPenStyle(context, 1.0, style);
    context->endPixel = 0;
    const DWORD width = static_cast<DWORD>(context->penWidth);
    if (n == 0) {
        if (g_IsWin9x && (context->drawFlags & DRAW_STROKE) && LineTypeHasPattern(context->lineType))
            context->drawFlags |= DRAW_DASHED;
        return CachedPen(MakePenKey(1, context->capJoin | PS_GEOMETRIC | PS_SOLID, width, context->penColour, 0, nullptr));
    }
    return CachedPen(MakePenKey(1, context->capJoin | PS_GEOMETRIC | PS_USERSTYLE, width, context->penColour,
                                static_cast<DWORD>(n), style));
}

void OutputFreeGdiCache()
{
    for (int i = 0; i < g_GdiCache.penCount; ++i)
        DeleteObject(g_GdiCache.pens[i]);
    for (int i = 0; i < g_GdiCache.brushCount; ++i)
        DeleteObject(g_GdiCache.brushes[i]);
    g_GdiCache.penCount = g_GdiCache.brushCount = 0;
}

void OutputSelectObjectGdi(HDC hdc, OutputContext *c)
{
    c->penWidthPixels = static_cast<int32_t>(std::fabs(std::floor(c->widthZoom * c->lineWidthUsed + 0.5)));
    c->backgroundMode = TRANSPARENT;
    // Brush.
    HBRUSH brush;
    int32_t brushOwned = 0;
    if (c->eraserFill) {
        if (OutputIsScreenType(c->mode) && g_DrawingSettings.displayErasers && g_SharedGdi.eraserBrush) {
            SetTextColor(hdc, InitStandardColor(g_DrawingSettings.colorErasers));
            SetBkColor(hdc, InitStandardColor(g_DrawingSettings.colorDrawArea));
            brush = g_SharedGdi.eraserBrush;
        } else {
            brush = c->backgroundBrush ? c->backgroundBrush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        }
    } else if (c->fillOn) {
        brush = CachedSolidBrush(OutputMapColor(hdc, c->fillColour));
        brushOwned = brush && !IsCachedBrush(brush);
        if (!brush)
            brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    } else {
        brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    SelectObject(hdc, brush);
    if (c->brushOwned && c->brush && c->brush != brush)
        DeleteObject(c->brush);
    c->brush = brush;
    c->brushOwned = brushOwned;
    // Pen.
    HPEN pen = nullptr;
    if (c->strokeOn) {
        const bool cosmetic = !OutputIsDeviceMode(c->mode) && (!c->widthsOn || c->penWidthPixels < 2);
        if (cosmetic)
            pen = c->lineTypesOn ? OutputCreateCosmeticStylePen(hdc, c) : OutputCreateCosmeticPen(hdc, c);
        else
            pen = c->lineTypesOn ? OutputCreateGeometricStylePen(hdc, c) : OutputCreateGeometricPen(hdc, c);
    }
    // A pen the full cache could not keep belongs to this context.
    const int32_t penOwned = pen && !IsCachedPen(pen);
    if (!pen)
        pen = static_cast<HPEN>(GetStockObject(NULL_PEN));
    SelectObject(hdc, pen);
    if (c->penOwned && c->pen && c->pen != pen)
        DeleteObject(c->pen);
    c->pen = pen;
    c->penOwned = penOwned;
    TrimGdiCache(pen, brush);
}

void OutputRestoreGdi(HDC hdc, OutputContext *c)
{
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    HPEN black = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    if (hdc) {
        SelectObject(hdc, white);
        SelectObject(hdc, black);
    }
    if (c->penOwned && c->pen)
        DeleteObject(c->pen);
    if (c->brushOwned && c->brush)
        DeleteObject(c->brush);
    c->penOwned = c->brushOwned = 0;
    c->brush = white;
    c->pen = black;
}

// ---------------------------------------------------------------------------
// Device fonts.

int OutputIsMatrixConformal(double *scale, double *angle)
{
    const Matrix &m = g_OutputContext.current;
    const double sx = std::sqrt(m.a * m.a + m.b * m.b);
    const double sy = std::sqrt(m.c * m.c + m.d * m.d);
    if (scale)
        *scale = sy;
    if (angle)
        *angle = std::atan2(m.b, m.a);
    const double det = m.a * m.d - m.b * m.c;
    const bool orientation = g_OutputContext.mode == OUTPUT_PRINTER ? det >= 0.0 : det <= 0.0;
    return sx <= CONFORMAL_RATIO * sy && sy <= CONFORMAL_RATIO * sx && std::fabs(m.a * m.c + m.b * m.d) <= CONFORMAL_DOT &&
                   orientation
               ? 1
               : 0;
}

void OutputInitFontCache() { g_FontCache = FontCache{}; }

void OutputFreeFontCache()
{
    if (g_FontCache.valid && g_FontCache.font)
        DeleteObject(g_FontCache.font);
    g_FontCache = FontCache{};
}

int OutputSelectDeviceFont(const FontDef *font, HFONT *handle)
{
    double scale = 0.0, angle = 0.0;
    const int conformal = OutputIsMatrixConformal(&scale, &angle);
    const double height = TEXT_EM_UNITS * scale;
    const double escapement = TENTHS_OF_DEGREE * angle;
    const uint32_t mode = g_OutputContext.mode;
    if (mode == OUTPUT_SCREEN || mode == OUTPUT_MEASURE) {
        if (std::fabs(height) < g_DrawingSettings.displayThreshold)
            return 1;
        if (std::fabs(height) > DEVICE_FONT_MAX_HEIGHT)
            return 0;
    }
    if (!handle || !conformal)
        return 0;
    const int32_t h = static_cast<int32_t>(std::floor(-height + 0.5));
    const int32_t e = static_cast<int32_t>(std::floor(-escapement + 0.5));
    const FontCache &fc = g_FontCache;
    if (fc.valid && fc.height == h && fc.escapement == e && fc.def.kind == font->kind && fc.def.style == font->style &&
        fc.def.weight == font->weight && lstrcmpA(fc.def.face, font->face) == 0) {
        *handle = fc.font;
        return 0;
    }
    OutputFreeFontCache();
    HFONT made = font->kind == 2 ? InitCreateFontDefDevice(h, e, font) : InitCreateFontDef(h, e, font);
    if (made) {
        g_FontCache.valid = 1;
        g_FontCache.font = made;
        g_FontCache.height = h;
        g_FontCache.escapement = e;
        g_FontCache.def = *font;
        *handle = made;
    }
    return 0;
}
