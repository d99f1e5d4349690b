// The drawing's definition tables: pens, layers, line types, hatches,
// multilines, coordinate systems, pages, text variables and named colours,
// with the property records they carry, and the contents of a new drawing.
//
// Plug-in modules and the drawing file see these records byte for byte, so
// every layout is fixed below. A slot whose name is empty (first byte 0) is
// free; slot 0 of the pen, layer, line-type, hatch, multiline and
// coordinate-system tables always exists and is never filed as a definition.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "database/unit.h" // XProperty
#include "geometry/matrix.h"

// ---------------------------------------------------------------------------
// Table sizes.

constexpr int PEN_SLOTS = 501;
constexpr int LAYER_SLOTS = 501;
constexpr int LINE_SLOTS = 501;
constexpr int HATCH_SLOTS = 101;
constexpr int MULTILINE_SLOTS = 51;
constexpr int SYSTEM_SLOTS = 51;
constexpr int PAGE_SLOTS = 100;
constexpr int VARIABLE_SLOTS = 100;
constexpr int COLOR_SLOTS = 532;
constexpr int STANDARD_COLORS = 32;  // colour slots 0 to 31
constexpr int DEFAULT_SLOTS = 8;     // default pen and layer slots by kind of new object

constexpr int DEF_NAME_LONG = 64;    // pens, layers, hatches
constexpr int DEF_NAME_SHORT = 32;   // line types, multilines, systems, variables, colours
constexpr int VARIABLE_VALUE_SIZE = 256;
constexpr int VARIABLE_VALUE_EDIT = 250; // characters the editors accept
constexpr int LINE_MAX_PAIRS = 8;
constexpr int MULTILINE_LINES = 8;
constexpr int HATCH_PLACEMENT_VALUES = 8;

// ---------------------------------------------------------------------------
// Property: one property set of a pen.

constexpr uint32_t PROPERTY_DEFAULT_CAPJOIN = 0x2200; // PS_ENDCAP_FLAT | PS_JOIN_MITER
constexpr double PROPERTY_DEFAULT_WIDTH = 0.25;

struct Property {
    int32_t fillMode;
    COLORREF color1;
    COLORREF color2;
    int32_t lineType;  // index into the line types
    double width;      // millimetres
    uint32_t capJoin;  // PS_ENDCAP_* and PS_JOIN_* bits of a geometric pen
    uint32_t pad;
};
static_assert(sizeof(Property) == 32);
static_assert(offsetof(Property, fillMode) == 0);
static_assert(offsetof(Property, color1) == 4);
static_assert(offsetof(Property, color2) == 8);
static_assert(offsetof(Property, lineType) == 12);
static_assert(offsetof(Property, width) == 16);
static_assert(offsetof(Property, capJoin) == 24);

// Width 0.25, cap and join 0x2200, everything else 0.
Property PropertyDefault();

// ---------------------------------------------------------------------------
// Pens and layers.

// State bits of a pen or layer.
constexpr uint32_t DEF_STATE_SHOWN_A = 0x1;     // visible in property set A
constexpr uint32_t DEF_STATE_SHOWN_B = 0x2;     // visible in property set B
constexpr uint32_t DEF_STATE_LOCKED = 0x4;
constexpr uint32_t DEF_STATE_NO_PICK = 0x8;     // neither pickable nor snappable
constexpr uint32_t DEF_STATE_HIGHLIGHT = 0x10;
constexpr uint32_t DEF_STATE_DEFAULT = DEF_STATE_SHOWN_A | DEF_STATE_SHOWN_B;

constexpr int32_t PEN_NO_LAYER = -1;

// The screen uses set A (set B when DisplayExtern is on); print and export
// use set B (set A when OutputIntern is on).
struct PenDef {
    char name[DEF_NAME_LONG];  // "group\name" allowed
    Property setA;
    Property setB;
    int32_t layer;             // -1 none
    uint32_t state;
};
static_assert(sizeof(PenDef) == 136);
static_assert(offsetof(PenDef, setA) == 64);
static_assert(offsetof(PenDef, setB) == 96);
static_assert(offsetof(PenDef, layer) == 128);
static_assert(offsetof(PenDef, state) == 132);

struct LayerDef {
    char name[DEF_NAME_LONG];
    XProperty setA;
    XProperty setB;
    uint32_t state;
    uint32_t reserved;         // not filed
};
static_assert(sizeof(LayerDef) == 152);
static_assert(offsetof(LayerDef, setA) == 64);
static_assert(offsetof(LayerDef, setB) == 104);
static_assert(offsetof(LayerDef, state) == 144);
static_assert(offsetof(LayerDef, reserved) == 148);

// ---------------------------------------------------------------------------
// Line types.

struct LineDef {
    char name[DEF_NAME_SHORT];
    int32_t pairs;                        // dash/gap pairs, 0 solid
    int32_t kind;                         // 0 hundredths of the line width, else hundredths of a mm
    int32_t lengths[2 * LINE_MAX_PAIRS];  // dash, gap, dash, gap ...
};
static_assert(sizeof(LineDef) == 104);
static_assert(offsetof(LineDef, pairs) == 32);
static_assert(offsetof(LineDef, kind) == 36);
static_assert(offsetof(LineDef, lengths) == 40);

// ---------------------------------------------------------------------------
// Hatches.

struct HatchFamily {
    int32_t on;
    int32_t multiLine;   // the multiline whose lines are repeated
    double angle;        // offset to the base angle, radians
};
static_assert(sizeof(HatchFamily) == 16);

struct HatchDef {
    char name[DEF_NAME_LONG];
    HatchFamily family1;
    HatchFamily family2;
    int32_t blockOn;
    char blockLibrary[DEF_NAME_LONG];
    char blockName[DEF_NAME_LONG];
    int32_t pad;
    // Block angle, block scale, column factor, column gap, row factor,
    // row gap, row shift factor, row shift.
    double placement[HATCH_PLACEMENT_VALUES];
    double baseAngle;    // radians
    double phaseA;       // line phase fmod(P * a + b, P) for the multiline's width P
    double phaseB;
};
static_assert(sizeof(HatchDef) == 320);
static_assert(offsetof(HatchDef, family1) == 64);
static_assert(offsetof(HatchDef, family2) == 80);
static_assert(offsetof(HatchDef, blockOn) == 96);
static_assert(offsetof(HatchDef, blockLibrary) == 100);
static_assert(offsetof(HatchDef, blockName) == 164);
static_assert(offsetof(HatchDef, placement) == 232);
static_assert(offsetof(HatchDef, baseAngle) == 296);
static_assert(offsetof(HatchDef, phaseA) == 304);
static_assert(offsetof(HatchDef, phaseB) == 312);

// ---------------------------------------------------------------------------
// Multilines.

struct MultiLineLine {
    double offset;       // millimetres
    XProperty property;
    int32_t on;
    int32_t pad;
};
static_assert(sizeof(MultiLineLine) == 56);

struct MultiLineDef {
    char name[DEF_NAME_SHORT];
    MultiLineLine lines[MULTILINE_LINES];
};
static_assert(sizeof(MultiLineDef) == 480);
static_assert(offsetof(MultiLineDef, lines) == 32);

// ---------------------------------------------------------------------------
// Coordinate systems.

constexpr int32_t SYSTEM_ANCHOR_ZERO = 5;   // the drawing's zero point (centre of page 0)
constexpr int32_t UNIT_CODE_MILLIMETRE = 1;
constexpr int32_t UNIT_CODE_INCH = 7;
constexpr int32_t ANGLE_UNIT_DEGREE = 0;

struct SystemDef {
    char name[DEF_NAME_SHORT];
    double angle;        // radians
    double scale;
    int32_t axisMode;    // 0 plain, 1 to 3 isometric, 4 to 9 dimetric
    int32_t anchor;      // 1 to 9 the points of page 0; other values keep the origin
    double originX;
    double originY;
    int32_t lengthUnit;
    int32_t widthUnit;
    int32_t angleUnit;
    uint16_t format1;    // number formats
    uint16_t format2;
    int32_t decimals;
    // Grid kinds: 0 none, 1 rectangular, 2 isometric, 3 and 4 slanted by
    // -7 and +7 degrees.
    int32_t displayGridKind;
    double displayGridX;
    double displayGridY;
    int32_t catchGridKind;
    int32_t pad;
    double catchGridX;
    double catchGridY;
    // The millimetre-to-system matrix and its inverse; computed when the
    // windows update their systems, never filed.
    Matrix toSystem;
    Matrix fromSystem;
};
static_assert(sizeof(SystemDef) == 232);
static_assert(offsetof(SystemDef, angle) == 32);
static_assert(offsetof(SystemDef, scale) == 40);
static_assert(offsetof(SystemDef, axisMode) == 48);
static_assert(offsetof(SystemDef, anchor) == 52);
static_assert(offsetof(SystemDef, originX) == 56);
static_assert(offsetof(SystemDef, originY) == 64);
static_assert(offsetof(SystemDef, lengthUnit) == 72);
static_assert(offsetof(SystemDef, widthUnit) == 76);
static_assert(offsetof(SystemDef, angleUnit) == 80);
static_assert(offsetof(SystemDef, format1) == 84);
static_assert(offsetof(SystemDef, format2) == 86);
static_assert(offsetof(SystemDef, decimals) == 88);
static_assert(offsetof(SystemDef, displayGridKind) == 92);
static_assert(offsetof(SystemDef, displayGridX) == 96);
static_assert(offsetof(SystemDef, displayGridY) == 104);
static_assert(offsetof(SystemDef, catchGridKind) == 112);
static_assert(offsetof(SystemDef, catchGridX) == 120);
static_assert(offsetof(SystemDef, catchGridY) == 128);
static_assert(offsetof(SystemDef, toSystem) == 136);
static_assert(offsetof(SystemDef, fromSystem) == 184);

// ---------------------------------------------------------------------------
// Pages.

constexpr int32_t PAGE_FORMAT_FREE = 0;
constexpr int32_t PAGE_FORMAT_A3 = 2;
constexpr int32_t PAGE_FORMAT_TABLOID = 34;   // 11 x 17 inches
constexpr int32_t PAGE_LANDSCAPE = 2;

struct PageDef {
    int32_t format;      // index into the paper table; 0 free size
    int32_t orientation; // 0 free, 1 portrait, 2 landscape
    int32_t anchor;      // 1 to 9
    int32_t reserved;
    double refX;         // reference point
    double refY;
    double width;        // millimetres
    double height;
};
static_assert(sizeof(PageDef) == 48);
static_assert(offsetof(PageDef, refX) == 16);
static_assert(offsetof(PageDef, width) == 32);
static_assert(offsetof(PageDef, height) == 40);

// The pages have no free slots: pages 0 to count - 1 are in use.
struct PageTable {
    int32_t count;
    int32_t active;
    PageDef pages[PAGE_SLOTS];
    double frames[PAGE_SLOTS][4]; // each page's corners in drawing millimetres
};

// ---------------------------------------------------------------------------
// Text variables and named colours.

struct VariableDef {
    char name[DEF_NAME_SHORT];
    char value[VARIABLE_VALUE_SIZE];
};
static_assert(sizeof(VariableDef) == 288);

struct ColorDef {
    char name[DEF_NAME_SHORT];
    COLORREF color;
};
static_assert(sizeof(ColorDef) == 36);

// The 32 standard colours: eight greys, then red, yellow, green, cyan, blue
// and magenta at the levels 0xFF, 0xC0, 0x80 and 0x40.
extern const COLORREF g_StandardColors[STANDARD_COLORS];

// ---------------------------------------------------------------------------
// The drawing's tables and their table words.

extern PenDef g_PenDefs[PEN_SLOTS];
extern uint32_t g_PenLink;            // 1: set A follows set B
extern int32_t g_ActivePen;
extern int32_t g_PenSortIndex[PEN_SLOTS];   // by name; rebuilt when its last entry is -1
extern uint32_t g_PenListDirty;       // the pen table window should reload

extern LayerDef g_LayerDefs[LAYER_SLOTS];
extern uint32_t g_LayerLink;
extern int32_t g_ActiveLayer;
extern int32_t g_LayerSortIndex[LAYER_SLOTS];
extern uint32_t g_LayerListDirty;

extern LineDef g_LineDefs[LINE_SLOTS];

extern HatchDef g_HatchDefs[HATCH_SLOTS];
extern int32_t g_CurrentHatch;
extern double g_HatchOrigin[2];
extern int32_t g_HatchSortIndex[HATCH_SLOTS];

extern MultiLineDef g_MultiLineDefs[MULTILINE_SLOTS];
extern SystemDef g_SystemDefs[SYSTEM_SLOTS];
extern PageTable g_PageDefs;
extern VariableDef g_VariableDefs[VARIABLE_SLOTS];
extern ColorDef g_ColorDefs[COLOR_SLOTS];

// Default pen and layer slots by kind of new object; -1 = the active one.
constexpr int32_t DEFAULT_SLOT_UNSET = -1;
extern int32_t g_DefaultPens[DEFAULT_SLOTS];
extern int32_t g_DefaultLayers[DEFAULT_SLOTS];

// ---------------------------------------------------------------------------
// Operations.

// Gives every table the contents of a new drawing. inchUnits is the language
// module's inch switch: inch lengths, a 0.1 grid and 11 x 17 inch paper.
// The text variables are left as they are.
void SystemInitDrawing(uint32_t inchUnits);

// Whether a slot of the table is in use.
inline bool PenIsDefined(int index)
{
    return index >= 0 && index < PEN_SLOTS && g_PenDefs[index].name[0] != 0;
}
inline bool LayerIsDefined(int index)
{
    return index >= 0 && index < LAYER_SLOTS && g_LayerDefs[index].name[0] != 0;
}
