// Before the input of a command starts.
#include "commands/input.h"

#include "app/system.h"
#include "commands/command_state.h"
#include "plugin/zvi_module.h"

int32_t g_InputSymbolSlot = -1;

int InputPrepareCommand(int commandId)
{
    // A symbol insertion needs a slot in use: a library and a block named.
    if (commandId >= COMMAND_SYMBOL_FIRST && commandId <= COMMAND_SYMBOL_LAST) {
        const BlockInsertSlot &slot = g_Options.insertSlots[commandId - COMMAND_SYMBOL_FIRST];
        return slot.nameLibrary[0] && slot.nameBlock[0] ? 1 : 0;
    }
    // A plug-in command starts only when its module exists and consents.
    if (commandId >= COMMAND_PLUGIN_FIRST && commandId <= COMMAND_FILTER_LAST)
        return PluginAskStart(commandId);
    // The parameter dialogs of the commands come with those commands.
    return 1;
}

void InputCancelSymbolSlot()
{
    const int32_t id = g_CommandState->commandId;
    if (id >= COMMAND_SYMBOL_FIRST && id <= COMMAND_SYMBOL_LAST)
        g_InputSymbolSlot = -1;
}

int InputValidateStep(int, double, double)
{
    return INPUT_CONTINUE;
}

int InputPolylineNext(int)
{
    return INPUT_COMPLETE;
}

const InputTemplate *InputPluginTemplate(int commandId)
{
    const ModuleCommand *e = ZviCommandEntry(commandId);
    return e ? reinterpret_cast<const InputTemplate *>(e->inputTemplate) : nullptr;
}
