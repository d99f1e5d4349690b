// The command dispatcher.
#include "commands/command.h"

#include "app/darad4.h"
#include "commands/menu.h"

void CommandExecute(int commandId, int remember)
{
    // Menu, tablet and plug-in commands join as their handlers come.
    if (commandId >= COMMAND_INTERNAL_FIRST && commandId <= COMMAND_INTERNAL_LAST)
        MenuInternalCommand(g_MainWnd, commandId);
}
