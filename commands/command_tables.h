// The fixed tables of the commands: the command table, the input templates
// and the number-to-template map, the point kinds, the range router, the
// automatic steps, the construction dispatch, the margin buttons, the keys
// and the internal ranges. Their contents live in commands/tables/*.txt and
// are turned into arrays at build time (commands/tables/gen_tables.py), which
// also checks their invariants; the enums below name the words those files
// use.
#pragma once

#include "plugin/sdk/zvi_module_records.h"
#include <windows.h>

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Command numbers

constexpr int COMMAND_MENU_FIRST = 100;
constexpr int COMMAND_PLUGIN_FIRST = 1300;
constexpr int COMMAND_PLUGIN_LAST = 5299;
constexpr int COMMAND_FILTER_LAST = 5339;
constexpr int COMMAND_SYMBOL_FIRST = 5340; // symbol insertion on a slot
constexpr int COMMAND_SYMBOL_LAST = 5439;
constexpr int COMMAND_INTERNAL_FIRST = 5340;
constexpr int COMMAND_INTERNAL_LAST = 7903;
constexpr int COMMAND_NUMBER_END = 7904; // numbers from here on do not exist
constexpr int COMMAND_PLUGIN_PER_MODULE = 100;

// ---------------------------------------------------------------------------
// Input templates

constexpr int TEMPLATE_COUNT = 142;
constexpr int TEMPLATE_SYMBOL_INSERT = 121; // 5340 to 5439, outside the map
constexpr int TEMPLATE_PLUGIN = 95;         // the template number of plug-in commands
constexpr int TEMPLATE_MAP_SIZE = 5340;     // the map covers 0 to 5339

// TEMPLATE_STEPS, the template modes, REFERENCE_* and InputTemplate (a
// plug-in's command entry carries the same words): plugin/sdk/zvi_module_records.h.

extern const InputTemplate g_InputTemplates[TEMPLATE_COUNT];
// The template of each number 0 to 5339 (0 for unlisted ones).
extern const int16_t g_CommandTemplateMap[TEMPLATE_MAP_SIZE];

// ---------------------------------------------------------------------------
// The command table: one row per built-in command number, sorted.

constexpr uint32_t COMMAND_FLAG_NO_LIST = 0x1;     // never enters the last-commands list
constexpr uint32_t COMMAND_FLAG_TRANSPARENT = 0x2; // runs on the transparent state
constexpr uint32_t COMMAND_FLAG_ONCE = 0x4;        // runs once per program run

typedef void (*MenuHandler)(HWND mainWindow, int commandId);

// What InputRunCommand does with a number of a range.
enum CommandRangeKind : int32_t {
    RANGE_HANDLER, // call the handler
    RANGE_BEEP,    // no handler: beep
    RANGE_NOTHING, // plug-in and filter numbers: nothing
};

struct CommandRange {
    int32_t first, last;
    CommandRangeKind kind;
    MenuHandler handler; // null while the handler is not built: the number beeps
    const char *name;
};
extern CommandRange g_CommandRanges[];
extern const int g_CommandRangeCount;

struct CommandEntry {
    int32_t number;
    int16_t range;    // index into g_CommandRanges
    int16_t templ;    // input template
    uint32_t flags;   // COMMAND_FLAG_*
    int32_t help;     // help context
};
extern const CommandEntry g_CommandTable[];
extern const int g_CommandTableSize;

// ---------------------------------------------------------------------------
// Point kinds

constexpr int POINT_KIND_LIMIT = 145; // kinds are 1 to 144
constexpr int32_t POINT_KIND_FIRST_PICK = 45;
constexpr int32_t POINT_KIND_FOLLOWUP = 134;
constexpr int32_t POINT_KIND_FIRST_SELECTION = 135;
constexpr int32_t POINT_KIND_POINT_SELECTION = 144;

enum PointKindClass : uint8_t {
    KIND_UNUSED,
    KIND_COORDINATE,
    KIND_ELEMENT,
    KIND_OBJECT,
    KIND_PLAIN,
    KIND_FOLLOWUP,
    KIND_SELECTION,
    KIND_POINTS,
};

// The identify and selection operations of the kinds.
enum InputPickOp : uint8_t {
    PICK_NONE,
    PICK_ELEMENT,
    PICK_ANY,
    PICK_INSTANCE,
    PICK_SIMPLE,
    PICK_LINE,
    PICK_CIRCLE_FAMILY,
    PICK_CIRC_ARC,
    PICK_ELLIPSE,
    PICK_ELLI_ARC,
    PICK_CURVE,
    PICK_SURFACE,
    PICK_CURVE_SURFACE,
    PICK_CLOSED,
    PICK_TEXT,
    PICK_DIMENSION,
    PICK_DIM,
    PICK_CLIP,
    PICK_ANNOTATION,
    PICK_COMMENT,
    PICK_GEO,
    PICK_POINTS_NEAR,
};

struct PointKindInfo {
    PointKindClass kindClass;
    InputPickOp op;
    uint32_t mask; // element mask or identify flags
};
extern const PointKindInfo g_PointKinds[POINT_KIND_LIMIT];

// ---------------------------------------------------------------------------
// Steps taken without a click

enum AutoCondition : uint8_t {
    AUTO_ALWAYS,
    AUTO_ALWAYS_CLEAR_L3,
    AUTO_T1_SET,
    AUTO_G1_NOT_CIRCLE_CURVE_ELLIPSE,
    AUTO_L2_OFF_OR_L3_NOT_1,
    AUTO_S1_OFF,
    AUTO_L2_OFF_OR_FIXED_STEP_0,
    AUTO_L2_OFF_OR_L4_NOT_2,
    AUTO_N1_N2_L2_ON,
    AUTO_N3_OFF,
    AUTO_KIND_0,
};
constexpr int32_t AUTO_ANY_STEP = -1;

struct AutoStepRule {
    int32_t step; // AUTO_ANY_STEP: every step
    int32_t command;
    AutoCondition condition;
};
extern const AutoStepRule g_AutoStepRules[];
extern const int g_AutoStepRuleCount;

// ---------------------------------------------------------------------------
// Construction dispatch

enum ConstructFamily : uint8_t {
    CONSTRUCT_DEFAULT, // the entered position is the construction point
    CONSTRUCT_PLACEMENT,
    CONSTRUCT_LINE,
    CONSTRUCT_CIRCLE,
    CONSTRUCT_CHANGE,
    CONSTRUCT_DIMENSION,
    CONSTRUCT_ANGLE_DIMENSION,
    CONSTRUCT_POLYLINE, // the open-ended lists
    CONSTRUCT_FAMILY_COUNT,
};

struct ConstructRule {
    int32_t command;
    uint32_t indices; // bit i: point index i has a construction of its own
    ConstructFamily family;
};
// Sorted by command number.
extern const ConstructRule g_ConstructRules[];
extern const int g_ConstructRuleCount;

// ---------------------------------------------------------------------------
// Margin buttons

constexpr int MARGIN_BUTTONS = 14;
enum MarginAction : int32_t {
    MARGIN_COMMAND,       // run the command number
    MARGIN_POPUP_DRAWING, // the list popups at the button
    MARGIN_POPUP_SYSTEM,
    MARGIN_POPUP_HATCH,
    MARGIN_POPUP_PEN,
    MARGIN_POPUP_LAYER,
    MARGIN_TABLE_PEN,     // close the open modeless table, else run the command
    MARGIN_TABLE_LAYER,
};

struct MarginButton {
    MarginAction left;
    int32_t leftCommand;  // for MARGIN_COMMAND and the tables
    int32_t rightCommand;
    size_t option;        // offset of the switch in ProgramOptions; SIZE_MAX: none
    int32_t mainOnly;     // exists in window 0 only
};
extern const MarginButton g_MarginButtons[MARGIN_BUTTONS];

// ---------------------------------------------------------------------------
// Keys that post commands

struct CommandKey {
    int32_t key; // virtual key
    int32_t command;
};
extern const CommandKey g_CommandKeys[];
extern const int g_CommandKeyCount;

// ---------------------------------------------------------------------------
// Internal command ranges

enum InternalAction : int32_t {
    INTERNAL_SYMBOL_INSERT,
    INTERNAL_SYMBOL_SLOT_DIALOG,
    INTERNAL_RECENT_FILE,
    INTERNAL_SYSTEM_ACTIVATE,
    INTERNAL_SYSTEM_DIALOG,
    INTERNAL_HATCH_ACTIVATE,
    INTERNAL_HATCH_DIALOG,
    INTERNAL_LAYER_ACTIVATE,
    INTERNAL_LAYER_TABLE,
    INTERNAL_PEN_ACTIVATE,
    INTERNAL_PEN_TABLE,
    INTERNAL_VIEW_ZOOM_RECT,
    INTERNAL_VIEW_FIT_VISIBLE,
    INTERNAL_VIEW_FIT_PAGE,
    INTERNAL_VIEW_FIT_PAGES,
    INTERNAL_VIEW_SCALE_1,
    INTERNAL_VIEW_SCALE_DIALOG,
    INTERNAL_VIEW_PREVIOUS,
    INTERNAL_START_UP,
};

struct InternalRange {
    int32_t first, count;
    InternalAction action;
    int32_t help; // help context of the range's numbers; 0: each number its own
};
extern const InternalRange g_InternalRanges[];
extern const int g_InternalRangeCount;

// ---------------------------------------------------------------------------
// Look-ups

// The row of a built-in number, or null.
const CommandEntry *CommandFindEntry(int commandId);
// The range of a number, or null (gaps between the ranges, 7904 and above).
const CommandRange *CommandFindRange(int commandId);
// The internal range of a number 5340 to 7903 (null otherwise); *offset
// receives the number's offset in it.
const InternalRange *CommandFindInternal(int commandId, int *offset);
// The help context of a number: its row's, its internal range's, else the
// number itself; -1 for plug-in and filter numbers (their modules explain them).
int CommandHelpContext(int commandId);
// The template number of a built-in number (plug-in numbers bring their own).
int CommandTemplateOf(int commandId);
// Walks the tables: every number once and sorted, inside a range whose
// handler is present or marked as not yet built, its template in the map.
// Returns the number of faults; each is described through report when given.
int CommandCheckTables(void (*report)(const char *fault));
