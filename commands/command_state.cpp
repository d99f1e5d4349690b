// The two command states and the globals that select one of them.
#include "commands/command_state.h"

#include <cstring>

#include "commands/input.h"

namespace {

CommandState s_MainState;
InputPointEntry s_MainPoints[INPUT_POINT_LIMIT_MAIN];
ConstructionPoint s_MainConstruction[INPUT_POINT_LIMIT_MAIN];

CommandState s_TransparentState;
InputPointEntry s_TransparentPoints[INPUT_POINT_LIMIT_TRANSPARENT];
ConstructionPoint s_TransparentConstruction[INPUT_POINT_LIMIT_TRANSPARENT];

// The state as it is before the first command starts: the line command with
// its template, at its first step.
void InitState(CommandState &cs, int32_t commandId)
{
    std::memset(&cs, 0, sizeof cs);
    cs.commandId = commandId;
    cs.resumeId = commandId;
    const int t = CommandTemplateOf(commandId);
    std::memcpy(&cs.entry[COMMAND_ENTRY_TEMPLATE], &g_InputTemplates[t], sizeof(InputTemplate));
    cs.entry[COMMAND_ENTRY_STANDARD_ICON] = -1;
    cs.templateNumber = t;
    cs.stepCount = g_InputTemplates[t].count;
    cs.pointKind = g_InputTemplates[t].count > 0 ? g_InputTemplates[t].kind[0] : 0;
    cs.referenceIndex = REFERENCE_NONE;
    cs.pointValid = 1;
    cs.referenceGeo.type = -1;
    MatrixInit(&cs.matrix);
}

} // namespace

CommandState *g_CommandState = &s_MainState;
InputPointEntry *g_InputPoints = s_MainPoints;
ConstructionPoint *g_ConstructionPoints = s_MainConstruction;
int32_t g_InputPointLimit = INPUT_POINT_LIMIT_MAIN;
int32_t g_CommandTransparent = 0;

void CommandSelectState(int transparent)
{
    if (transparent) {
        g_CommandState = &s_TransparentState;
        g_InputPoints = s_TransparentPoints;
        g_ConstructionPoints = s_TransparentConstruction;
        g_InputPointLimit = INPUT_POINT_LIMIT_TRANSPARENT;
        g_CommandTransparent = 1;
    } else {
        g_CommandState = &s_MainState;
        g_InputPoints = s_MainPoints;
        g_ConstructionPoints = s_MainConstruction;
        g_InputPointLimit = INPUT_POINT_LIMIT_MAIN;
        g_CommandTransparent = 0;
    }
}

void CommandResetStates()
{
    InitState(s_MainState, COMMAND_START_ID);
    InitState(s_TransparentState, COMMAND_TRANSPARENT);
    std::memset(s_MainPoints, 0, sizeof s_MainPoints);
    std::memset(s_TransparentPoints, 0, sizeof s_TransparentPoints);
    // The first step's prompt, which the status bar shows before any command starts.
    s_MainPoints[0].prompt = InputPointName(s_MainState.pointKind);
    s_TransparentPoints[0].prompt = InputPointName(s_TransparentState.pointKind);
    CommandSelectState(0);
}

int CommandTracksCursor()
{
    const int32_t mode = CommandMode();
    return mode == TEMPLATE_RUN_AT_ONCE || mode == TEMPLATE_REPEATED || mode == TEMPLATE_FIXED_STEPS ||
           mode == TEMPLATE_LIST;
}

namespace {
// The states hold the line command from the start, before any window exists.
const bool s_StatesReady = (CommandResetStates(), true);
} // namespace
