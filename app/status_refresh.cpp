// Repaints of the tool windows after a command change.
#include "app/status_refresh.h"

#include "app/darad4.h"
#include "commands/command_state.h"

namespace {
int32_t s_LastCommand = -1; // the command the toolbox showed last
} // namespace

void StatusUpdateToolbox()
{
    const int32_t now = g_CommandState->commandId;
    const bool pointerChanged = (now == COMMAND_POINTER) != (s_LastCommand == COMMAND_POINTER);
    s_LastCommand = now;
    if (pointerChanged) {
        if (hGlobalPanel)
            InvalidateRect(hGlobalPanel, nullptr, FALSE);
        if (hGlobalProp)
            InvalidateRect(hGlobalProp, nullptr, FALSE);
    }
    if (hGlobalToolbox)
        InvalidateRect(hGlobalToolbox, nullptr, FALSE);
}
