// Before the input of a command starts.
#include "commands/input.h"

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "plugin/zvi_module.h"
#include "commands/input_path.h"
#include "commands/input_prepare_dialogs.h"

int32_t g_InputSymbolSlot = -1;

int InputPrepareCommand(int commandId)
{
    // The command's parameter dialog first; cancelling it refuses the start.
    if (!InputParameterDialog(g_MainWnd, commandId))
        return 0;
    // A symbol insertion needs a slot in use: a library and a block named.
    if (commandId >= COMMAND_SYMBOL_FIRST && commandId <= COMMAND_SYMBOL_LAST) {
        const BlockInsertSlot &slot = g_Options.insertSlots[commandId - COMMAND_SYMBOL_FIRST];
        return slot.nameLibrary[0] && slot.nameBlock[0] && InputPrepareSlotInsert(slot) ? 1 : 0;
    }
    // A plug-in command starts only when its module exists and consents.
    if (commandId >= COMMAND_PLUGIN_FIRST && commandId <= COMMAND_FILTER_LAST)
        return PluginAskStart(commandId);
    return 1;
}

void InputCancelSymbolSlot()
{
    const int32_t id = g_CommandState->commandId;
    if (id >= COMMAND_SYMBOL_FIRST && id <= COMMAND_SYMBOL_LAST)
        g_InputSymbolSlot = -1;
}

int InputValidateStep(int index, double, double)
{
    return InputPathValidateStep(index);
}

int InputPolylineNext(int index)
{
    return InputPathNext(index);
}

const InputTemplate *InputPluginTemplate(int commandId)
{
    const ModuleCommand *e = ZviCommandEntry(commandId);
    return e ? reinterpret_cast<const InputTemplate *>(e->inputTemplate) : nullptr;
}
