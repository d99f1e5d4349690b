// The state of the running command: the CommandState record, its arrays of
// entered points and construction points, and the globals that select the
// main or the transparent state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "commands/command_tables.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"

struct Unit;

constexpr int32_t COMMAND_START_ID = 501;    // the line command, running at start
constexpr int32_t COMMAND_TRANSPARENT = 342; // the transparent zoom rectangle
constexpr int32_t COMMAND_SHORTCUT_PICK = 383;
constexpr int32_t COMMAND_HELP_PICK = 1102;
constexpr int32_t COMMAND_POINTER = 403;
constexpr int32_t COMMAND_OBJECT_PROPERTIES = 400;
constexpr int32_t COMMAND_EDIT_OBJECT = 401;

// Room of the two states' arrays: the point limits.
constexpr int INPUT_POINT_LIMIT_MAIN = 2000;
constexpr int INPUT_POINT_LIMIT_TRANSPARENT = 8;

// Words of a command entry (a plug-in's ModuleCommand).
constexpr int COMMAND_ENTRY_WORDS = 33;
constexpr int COMMAND_ENTRY_TEMPLATE = 3;     // the 26 template words start here
constexpr int COMMAND_ENTRY_NAME = 1;         // the name-text word
constexpr int COMMAND_ENTRY_STANDARD_ICON = 32;

// Input result codes; a plug-in's input callbacks answer with the same.
constexpr int INPUT_CANCEL = ZVI_INPUT_CANCEL;       // ends without execution; step back: nothing to step back
constexpr int INPUT_LIMIT = 1;                       // the point limit is reached: beep
constexpr int INPUT_REFUSED = ZVI_INPUT_REFUSED;     // the click is refused
constexpr int INPUT_CONTINUE = ZVI_INPUT_CONTINUE;   // accepted, next step
constexpr int INPUT_ASK_NEXT = 4;                    // validation: ask InputNextAction; click: ends
constexpr int INPUT_COMPLETE = ZVI_INPUT_COMPLETE;   // the input is complete
constexpr int INPUT_ACCEPT_NOW = 6;                  // validation: accept this step at once

// Feedback states.
constexpr int32_t FEEDBACK_NONE = 0;
constexpr int32_t FEEDBACK_FIXED_ONLY = 1;
constexpr int32_t FEEDBACK_DRAWN = 2;

struct InputPointEntry {
    double x, y;
    double value;       // a radius, angle, distance or parameter of the step
    const char *prompt;
    int32_t kind;
    int32_t reference;  // already translated
    int32_t ident;      // the ident counter when the step was clicked
};
static_assert(sizeof(InputPointEntry) == 40);
static_assert(offsetof(InputPointEntry, prompt) == 24);
static_assert(offsetof(InputPointEntry, ident) == 36);

// Construction point types.
constexpr int32_t CPOINT_START = 1;
constexpr int32_t CPOINT_LINE = 2;
constexpr int32_t CPOINT_CONTROL1 = 7;
constexpr int32_t CPOINT_CONTROL2 = 8;
constexpr int32_t CPOINT_ARC_END = 9;
constexpr int32_t CPOINT_ARC_PARAMETER = 102;

struct ConstructionPoint {
    double x;
    double y;
    int32_t type;
    int32_t spare;
};
static_assert(sizeof(ConstructionPoint) == 24);

struct CommandState {
    int32_t commandId;
    int32_t entry[COMMAND_ENTRY_WORDS]; // template words at COMMAND_ENTRY_TEMPLATE
    int32_t resumeId;                   // the command CommandCancel restarts (modes 1 to 4)
    int32_t pad0;
    double stepValue;
    Matrix matrix;        // M
    double rect[4];       // R: x1, y1, x2, y2
    double corners[8];    // C0 to C3
    int32_t pointValid;
    int32_t selectionDrawn;
    int32_t handlesDrawn;
    int32_t objectsSelected;
    int32_t pointsSelected;
    int32_t referenceShown;
    int32_t shiftToggled;
    int32_t ctrlToggled;
    int32_t additive;
    int32_t rectanglePending;
    int32_t selectedCount;
    int32_t progressDone;
    int32_t progressTotal;
    int32_t feedbackState;
    int32_t templateNumber;
    int32_t variant;
    int32_t pointKind;      // kind of the current step
    int32_t referenceIndex; // reference of the current step
    int32_t pointIndex;     // index of the current step
    int32_t stepCount;
    Unit *pickedObject;
    int32_t pickedElement;
    GeoObject referenceGeo;
    GeoObject elementGeo[3]; // G1 to G3
};
static_assert(offsetof(CommandState, entry) == 4);
static_assert(offsetof(CommandState, resumeId) == 136);
static_assert(offsetof(CommandState, stepValue) == 144);
static_assert(offsetof(CommandState, matrix) == 152);
static_assert(offsetof(CommandState, pointValid) == 296);
static_assert(offsetof(CommandState, templateNumber) == 352);
static_assert(offsetof(CommandState, pointIndex) == 368);
static_assert(offsetof(CommandState, pickedObject) == 376);
static_assert(sizeof(void *) == 4, "the template words hold prompt pointers");

// The current state and its arrays; the five change together
// (CommandSelectState).
extern CommandState *g_CommandState;
extern InputPointEntry *g_InputPoints;
extern ConstructionPoint *g_ConstructionPoints;
extern int32_t g_InputPointLimit;
extern int32_t g_CommandTransparent;

// Selects the main (0) or the transparent (1) state.
void CommandSelectState(int transparent);
// Both states back to their start: the main one holds the line command, the
// transparent one nothing; the main state is selected.
void CommandResetStates();

// The template words of the current command, and its mode.
inline const InputTemplate &CommandTemplate()
{
    return *reinterpret_cast<const InputTemplate *>(&g_CommandState->entry[COMMAND_ENTRY_TEMPLATE]);
}
inline InputTemplate &CommandTemplateWords()
{
    return *reinterpret_cast<InputTemplate *>(&g_CommandState->entry[COMMAND_ENTRY_TEMPLATE]);
}
inline int32_t CommandMode() { return CommandTemplate().mode; }

// 1 when the running command follows the mouse with the crosshair: template
// modes 0, 4, 5 and 6.
int CommandTracksCursor();
