// The state of the running command.
#include "commands/command_state.h"

namespace {

CommandState s_MainState = {COMMAND_START_ID, COMMAND_START_ID, 0, TEMPLATE_FIXED_STEPS, 0, 0, -1, 0};

} // namespace

CommandState *g_CommandState = &s_MainState;

int CommandTracksCursor()
{
    const int32_t mode = g_CommandState->templateMode;
    return mode == TEMPLATE_RUN_AT_ONCE || mode == TEMPLATE_REPEATED || mode == TEMPLATE_FIXED_STEPS ||
           mode == TEMPLATE_LIST;
}
