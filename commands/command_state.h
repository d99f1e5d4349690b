// The state of the running command and the construction points that the
// display and window code read.
#pragma once

#include <cstdint>

constexpr int32_t COMMAND_START_ID = 501;       // the line command, running at start
constexpr int32_t COMMAND_TRANSPARENT = 342;    // the transparent coordinate command
constexpr int32_t POINT_KIND_FIRST_PICK = 45;   // point kinds from here on select or identify

// Template modes.
constexpr int32_t TEMPLATE_RUN_AT_ONCE = 0;
constexpr int32_t TEMPLATE_ONE_POINT = 1;
constexpr int32_t TEMPLATE_SHORTCUT_PICK = 2;
constexpr int32_t TEMPLATE_HELP_PICK = 3;
constexpr int32_t TEMPLATE_REPEATED = 4;
constexpr int32_t TEMPLATE_FIXED_STEPS = 5;
constexpr int32_t TEMPLATE_LIST = 6;

struct CommandState {
    int32_t commandId;
    int32_t resumeId;
    int32_t templateNumber;
    int32_t templateMode;
    int32_t templateCount;  // steps of the template
    int32_t pointKind;      // of the current step
    int32_t referenceIndex; // of the current step; -1 none
    int32_t pointCount;     // points entered; the index of the current input point
};

// The main or the transparent state. The construction points are in
// commands/input_points.h.
extern CommandState *g_CommandState;

// 1 when the running command follows the mouse with the crosshair: template
// modes 0, 4, 5 and 6.
int CommandTracksCursor();
