// The records a plug-in registers (ModuleData with its ModuleCommand list),
// the input template each command carries, and the codes of the callbacks
// the program makes. Part of the plug-in SDK.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "zvi_records.h"

// ---------------------------------------------------------------------------
// The input template of a command: how the program takes the command's input
// points before it tells the module that the input is complete. It is the
// 26 words of ModuleCommand::inputTemplate:
//
//   word 0       mode: one of the TEMPLATE_* values below
//   word 1       count: the number of steps used (at most TEMPLATE_STEPS)
//   words 2-9    kind[i]: the point kind of step i (see below)
//   words 10-17  ref[i]: the step whose point step i refers to (its rubber
//                band starts there), REFERENCE_NONE, or REFERENCE_PREVIOUS
//                (the step before, in list mode)
//   words 18-25  prompt[i]: the guide text of step i, or null for the
//                program's name of the point kind
//
// Point kinds, by how a click in the step is taken:
//   1-44     a coordinate: the cursor position (with grid, ortho and snap)
//   45-107   an element of an object is picked (a point, a line, a circle
//            ... as the kind's mask says)
//   108-132  an object is picked: 108-109 any, 110 an instance, 111-113
//            any plain object, 114-116 a line, 117-119 a circle, arc,
//            sector or segment, 120 an arc, 121 an ellipse, 122 an
//            elliptic arc, 123 a curve, 124 a surface, 125 a curve or
//            surface, 126-128 a closed object, 129 a text, 130-131 a
//            dimension, 132 a clip surface
//   133      taken as it is, without a pick; 134 the same, and it clears a
//            point selection
//   135-143  objects are selected: 135 annotations, 136 texts, 137-138
//            dimensions, 139 instances, 140-141 anything, 142 comments,
//            143 construction objects
//   144      object points near the cursor are selected
// ZVI_InputGetIdentData, ZVI_InputGetIdentObject and ZVI_InputGetIdentAddress
// tell what was picked at a step.

constexpr int TEMPLATE_STEPS = 8;
constexpr int32_t REFERENCE_NONE = -1;
constexpr int32_t REFERENCE_PREVIOUS = -2; // open-ended lists only

// Template modes. A module's command does its work in the module's own
// callbacks: in mode 0 it does nothing at all (the module is not even asked
// code 0). Modes 1 to 3 are the program's one-shot picks, which neither
// follow the cursor nor take clicks in the drawing; a command that takes
// points uses mode 5 (or 4, 6) and does its work in the accept callback
// (ModuleData::inputProcs[2]) or, with no point needed, when asked code 0.
constexpr int32_t TEMPLATE_RUN_AT_ONCE = 0;   // no input: the command runs at once
constexpr int32_t TEMPLATE_ONE_POINT = 1;     // one point, then the command runs
constexpr int32_t TEMPLATE_SHORTCUT_PICK = 2; // a pick that chooses a command (the program's own)
constexpr int32_t TEMPLATE_HELP_PICK = 3;     // a pick that asks for help (the program's own)
constexpr int32_t TEMPLATE_REPEATED = 4;      // one point, again and again until Escape
constexpr int32_t TEMPLATE_FIXED_STEPS = 5;   // count steps, then the command runs
constexpr int32_t TEMPLATE_LIST = 6;          // points until the user ends the list

struct InputTemplate {
    int32_t mode;
    int32_t count;
    int32_t kind[TEMPLATE_STEPS];
    int32_t ref[TEMPLATE_STEPS];
    const char *prompt[TEMPLATE_STEPS]; // null: the point-name text of the kind
};
static_assert(sizeof(InputTemplate) == 26 * 4);
static_assert(offsetof(InputTemplate, kind) == 8);
static_assert(offsetof(InputTemplate, ref) == 40);
static_assert(offsetof(InputTemplate, prompt) == 72);

// ---------------------------------------------------------------------------
// Module records

// One command of a module: the first word carries its place or id in the low
// 16 bits, menu flags in bits 16 to 27 and, on the entry after the last one
// of a list, bit 31.
struct ModuleCommand {
    uint32_t idFlags;
    const char *name;     // title
    const char *longName; // menu text
    uint32_t inputTemplate[26]; // an InputTemplate
    HBITMAP bitmap;
    int32_t cellX, cellY; // the command's cell in the bitmap
    int32_t iconChoice;   // -1 none, 0 the cell in the bitmap, else a command id
};
static_assert(sizeof(ModuleCommand) == 132);
static_assert(offsetof(ModuleCommand, bitmap) == 116);
static_assert(offsetof(ModuleCommand, iconChoice) == 128);
static_assert(sizeof(InputTemplate) == sizeof(ModuleCommand::inputTemplate));

// How many records the program keeps, and the places of a record's default
// entry (the low 16 bits of its idFlags) besides a menu number 0 to 10.
constexpr int ZVI_MAX_MODULES = 40;
constexpr int ZVI_MAX_IMPORTS = 20;
constexpr int ZVI_MAX_EXPORTS = 20;
constexpr uint32_t ZVI_MENU_PLUGINS = 97; // the plug-in menu: the module's list becomes a submenu
constexpr uint32_t ZVI_MENU_IMPORTS = 98;
constexpr uint32_t ZVI_MENU_EXPORTS = 99;

// The answers of the input callbacks (step entered, accept, next action).
constexpr int ZVI_INPUT_CANCEL = 0;   // the command ends without executing
constexpr int ZVI_INPUT_REFUSED = 2;  // the point is refused
constexpr int ZVI_INPUT_CONTINUE = 3; // on to the next step
constexpr int ZVI_INPUT_COMPLETE = 5; // the input is complete: the command executes

constexpr uint32_t MODULE_COMMAND_LAST = 0x80000000;  // on the entry after the last one
constexpr int32_t MODULE_ICON_NONE = -1;
constexpr int32_t MODULE_ICON_OWN_CELL = 0;

// The command callback: k is the command's index in the module (entry i of
// the list is k = i + 1, the module's own entry k = 0).
typedef int(__stdcall *ModuleCommandProc)(int command, int code);
constexpr int MODULE_CODE_HELP = 2;          // help for command k is asked
constexpr int MODULE_CODE_DRAWING_NEW = 3;   // a drawing was created or loaded
constexpr int MODULE_CODE_DRAWING_CLOSE = 4; // the drawing is about to be saved or replaced

struct ModuleData {
    uint32_t reserved0[2];
    uint32_t inputProcs[7];
    ModuleCommand defaultEntry; // its low 16 bits of idFlags: the place in the menus
    const ModuleCommand *list;  // 0: none
    uint32_t reserved1;
    const char *fileType, *filePattern, *fileExtension; // import and export filters
    uint32_t active;
    uint32_t reserved2[2];
    ModuleCommandProc commandProc;
    void *objectProc;
    void *importProc;
    void *exportProc;
};
static_assert(sizeof(ModuleData) == 216);
static_assert(offsetof(ModuleData, defaultEntry) == 0x24);
static_assert(offsetof(ModuleData, list) == 0xa8);
static_assert(offsetof(ModuleData, fileType) == 0xb0);
static_assert(offsetof(ModuleData, active) == 0xbc);
static_assert(offsetof(ModuleData, commandProc) == 0xc8);
static_assert(offsetof(ModuleData, exportProc) == 0xd4);

// ---------------------------------------------------------------------------
// The object callback (ModuleData::objectProc): callback(object, code, data)
// about the module's own objects (kind 9). The codes 1 to 4 and 21 are
// offered to the modules in table order until one answers 1 or 2; so is the
// edit, 16. A module that does not own the object answers 0.

constexpr int ZVI_OBJECT_REGENERATE = 1; // rebuild what the object draws (data 0)
constexpr int ZVI_OBJECT_TRANSFORM = 2;  // data: the Matrix; 2 = the module moved it itself
constexpr int ZVI_OBJECT_TITLE = 3;      // data: a 256-byte buffer for the object's name
constexpr int ZVI_OBJECT_DELETE = 4;     // 1 or 2: handled, the object is kept
constexpr int ZVI_OBJECT_EDIT = 16;      // data: the address of the main window's handle;
                                         // 2 = rebuilt in the ZVI_User builder
constexpr int ZVI_OBJECT_EDIT_BEGIN = 17; // a property edit begins (object 0); 2 = take part
constexpr int ZVI_OBJECT_TAKEN = 18;      // after 2 to code 3 in a property edit
constexpr int ZVI_OBJECT_PAGE_SINGLE = 19; // data: ZviObjectPage; the property sheet of one object
constexpr int ZVI_OBJECT_PAGE_MULTI = 20;  // data: ZviObjectPage; the sheet of several objects
constexpr int ZVI_OBJECT_APPLY = 21;       // apply the edit to this object; 2 = changed
constexpr int ZVI_OBJECT_EDIT_END = 22;    // the property edit ends (object 0)
// After an answer of 2 to codes 2 and 21 the same module gets code 1.
constexpr int ZVI_ANSWER_HANDLED = 1; // stop asking
constexpr int ZVI_ANSWER_DONE = 2;

struct ObjectAttributes;
// What codes 19 and 20 carry when the user chooses the module's entry from
// the property sheet's special button: the sheet's page window first (the
// owner of the module's own dialog), the sheet's working attribute record
// and the index of the module's entry in it. The module keeps what the user
// chose and applies it on code 21 when the sheet is confirmed.
struct ZviObjectPage {
    HWND window;
    ObjectAttributes *attributes;
    int32_t entry;
};
static_assert(sizeof(ZviObjectPage) == 12 && offsetof(ZviObjectPage, window) == 0);
