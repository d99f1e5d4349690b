// The drawing's definition tables and the contents of a new drawing.
#include "app/system_defs.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "geometry/calc.h"
#include "language/language.h"

PenDef g_PenDefs[PEN_SLOTS];
uint32_t g_PenLink;
int32_t g_ActivePen;
int32_t g_PenSortIndex[PEN_SLOTS];
uint32_t g_PenListDirty;

LayerDef g_LayerDefs[LAYER_SLOTS];
uint32_t g_LayerLink;
int32_t g_ActiveLayer;
int32_t g_LayerSortIndex[LAYER_SLOTS];
uint32_t g_LayerListDirty;

LineDef g_LineDefs[LINE_SLOTS];

HatchDef g_HatchDefs[HATCH_SLOTS];
int32_t g_CurrentHatch;
double g_HatchOrigin[2];
int32_t g_HatchSortIndex[HATCH_SLOTS];

MultiLineDef g_MultiLineDefs[MULTILINE_SLOTS];
SystemDef g_SystemDefs[SYSTEM_SLOTS];
PageTable g_PageDefs;
VariableDef g_VariableDefs[VARIABLE_SLOTS];
ColorDef g_ColorDefs[COLOR_SLOTS];

int32_t g_DefaultPens[DEFAULT_SLOTS];
int32_t g_DefaultLayers[DEFAULT_SLOTS];

const COLORREF g_StandardColors[STANDARD_COLORS] = {
    0xFFFFFF, 0xF2F2F2, 0xE0E0E0, 0xC0C0C0, 0x808080, 0x606060, 0x404040, 0x000000, // greys
    0x0000FF, 0x0000C0, 0x000080, 0x000040,                                         // red
    0x00FFFF, 0x00C0C0, 0x008080, 0x004040,                                         // yellow
    0x00FF00, 0x00C000, 0x008000, 0x004000,                                         // green
    0xFFFF00, 0xC0C000, 0x808000, 0x404000,                                         // cyan
    0xFF0000, 0xC00000, 0x800000, 0x400000,                                         // blue
    0xFF00FF, 0xC000C0, 0x800080, 0x400040,                                         // magenta
};

namespace {

// eDefaultNames entries naming slot 0 of the tables.
constexpr int NAME_ENTRY_STANDARD = 1; // coordinate system, multiline, hatch
constexpr int NAME_ENTRY_PEN = 2;
constexpr int NAME_ENTRY_LINE = 3;
constexpr int NAME_ENTRY_LAYER = 4;


constexpr double A3_WIDTH = 420.0, A3_HEIGHT = 297.0;
constexpr double TABLOID_WIDTH = 431.8, TABLOID_HEIGHT = 279.4;
constexpr double GRID_METRIC = 1.0, GRID_INCH = 0.1;
constexpr double MULTILINE_DEFAULT_OFFSET = 5.0;
constexpr int SYSTEM_DEFAULT_DECIMALS = 4;

template <size_t N> void CopyName(char (&dst)[N], const char *src)
{
    lstrcpynA(dst, src ? src : "", (int)N);
}

void InitColors()
{
    std::memset(g_ColorDefs, 0, sizeof g_ColorDefs);
    for (int i = 0; i < STANDARD_COLORS; ++i) {
        ColorDef &c = g_ColorDefs[i];
        c.color = g_StandardColors[i];
        CopyName(c.name, eColorNames[i]);
        // A standard colour must never look like a free slot; without a
        // name from the language module it is named by its value.
        if (c.name[0] == 0)
            std::snprintf(c.name, sizeof c.name, "#%02X%02X%02X", GetRValue(c.color), GetGValue(c.color),
                          GetBValue(c.color));
    }
}

void InitPages(bool inch)
{
    std::memset(&g_PageDefs, 0, sizeof g_PageDefs);
    PageDef &page = g_PageDefs.pages[0];
    page.format = inch ? PAGE_FORMAT_TABLOID : PAGE_FORMAT_A3;
    page.orientation = PAGE_LANDSCAPE;
    page.anchor = SYSTEM_ANCHOR_ZERO;
    page.width = inch ? TABLOID_WIDTH : A3_WIDTH;
    page.height = inch ? TABLOID_HEIGHT : A3_HEIGHT;
    g_PageDefs.count = 1;
    g_PageDefs.active = 0;
}

// Copies slot 0 over the other slots with empty names.
template <typename T, size_t N> void CopySlotZero(T (&table)[N])
{
    for (size_t i = 1; i < N; ++i) {
        table[i] = table[0];
        table[i].name[0] = 0;
    }
}

void InitSystems(bool inch)
{
    std::memset(g_SystemDefs, 0, sizeof g_SystemDefs);
    SystemDef &s = g_SystemDefs[0];
    CopyName(s.name, eDefaultNames[NAME_ENTRY_STANDARD]);
    s.angle = 0.0;
    s.scale = 1.0;
    s.axisMode = 0;
    s.anchor = SYSTEM_ANCHOR_ZERO;
    s.lengthUnit = inch ? UNIT_CODE_INCH : UNIT_CODE_MILLIMETRE;
    s.widthUnit = UNIT_CODE_MILLIMETRE;
    s.angleUnit = ANGLE_UNIT_DEGREE;
    s.decimals = SYSTEM_DEFAULT_DECIMALS;
    const double grid = inch ? GRID_INCH : GRID_METRIC;
    s.displayGridX = s.displayGridY = grid;
    s.catchGridX = s.catchGridY = grid;
    // Identity until the windows compute the matrices.
    s.toSystem.a = s.toSystem.d = 1.0;
    s.fromSystem.a = s.fromSystem.d = 1.0;
    CopySlotZero(g_SystemDefs);
}

void InitMultiLines()
{
    std::memset(g_MultiLineDefs, 0, sizeof g_MultiLineDefs);
    MultiLineDef &m = g_MultiLineDefs[0];
    CopyName(m.name, eDefaultNames[NAME_ENTRY_STANDARD]);
    for (int i = 0; i < MULTILINE_LINES; ++i) {
        m.lines[i].offset = MULTILINE_DEFAULT_OFFSET;
        m.lines[i].property = XPropertyDefault();
        m.lines[i].on = i == 0 ? 1 : 0;
    }
    CopySlotZero(g_MultiLineDefs);
}

void InitHatches()
{
    std::memset(g_HatchDefs, 0, sizeof g_HatchDefs);
    HatchDef &h = g_HatchDefs[0];
    CopyName(h.name, eDefaultNames[NAME_ENTRY_STANDARD]);
    h.family1 = {1, 0, CALC_PI / 4};
    h.family2 = {0, 0, 3 * CALC_PI / 4};
    static const double placement[HATCH_PLACEMENT_VALUES] = {0.0, 1.0, 1.0, 0.0, 1.0, 0.0, 0.0, 0.0};
    std::memcpy(h.placement, placement, sizeof placement);
    CopySlotZero(g_HatchDefs);
    for (int i = 1; i < HATCH_SLOTS; ++i)
        g_HatchDefs[i].family1.on = 0;
    g_HatchOrigin[0] = g_HatchOrigin[1] = 0.0;
    for (int32_t &index : g_HatchSortIndex)
        index = -1;
}

void InitPens()
{
    std::memset(g_PenDefs, 0, sizeof g_PenDefs);
    PenDef &p = g_PenDefs[0];
    CopyName(p.name, eDefaultNames[NAME_ENTRY_PEN]);
    p.setA = p.setB = PropertyDefault();
    p.layer = PEN_NO_LAYER;
    p.state = DEF_STATE_DEFAULT;
    CopySlotZero(g_PenDefs);
    g_PenLink = 0;
    for (int32_t &index : g_PenSortIndex)
        index = -1;
    g_PenListDirty = 1;
}

void InitLines()
{
    std::memset(g_LineDefs, 0, sizeof g_LineDefs);
    CopyName(g_LineDefs[0].name, eDefaultNames[NAME_ENTRY_LINE]);
    CopySlotZero(g_LineDefs);
}

void InitLayers()
{
    std::memset(g_LayerDefs, 0, sizeof g_LayerDefs);
    LayerDef &l = g_LayerDefs[0];
    CopyName(l.name, eDefaultNames[NAME_ENTRY_LAYER]);
    l.setA = l.setB = XPropertyDefault();
    l.state = DEF_STATE_DEFAULT;
    CopySlotZero(g_LayerDefs);
    g_LayerLink = 0;
    for (int32_t &index : g_LayerSortIndex)
        index = -1;
    g_LayerListDirty = 1;
}

void InitDefaultSlots()
{
    for (int i = 0; i < DEFAULT_SLOTS; ++i)
        g_DefaultPens[i] = g_DefaultLayers[i] = DEFAULT_SLOT_UNSET;
}

} // namespace

Property PropertyDefault()
{
    Property p{};
    p.width = PROPERTY_DEFAULT_WIDTH;
    p.capJoin = PROPERTY_DEFAULT_CAPJOIN;
    return p;
}

void SystemInitDrawing(uint32_t inchUnits)
{
    const bool inch = inchUnits != 0;
    InitColors();
    InitPages(inch);
    InitSystems(inch);
    InitMultiLines();
    InitHatches();
    InitPens();
    InitLines();
    InitLayers();
    InitDefaultSlots();
}
