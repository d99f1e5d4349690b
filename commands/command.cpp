// The command dispatcher.
#include "commands/command.h"

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_menus.h"
#include "app/init_sound.h"
#include "app/status_refresh.h"
#include "app/system.h"
#include "app/write_refresh.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/menu.h"
#include "database/object_rects.h"
#include "database/undo.h"
#include "dialogs/box13.h"
#include "display/output_paint.h"
#include "display/screen.h"

int32_t g_CommandExecuted = 0;

namespace {

constexpr int COMMAND_EMPTY_SLOT = -1;
constexpr int COMMAND_HELP_ON_COMMAND = 1101;
constexpr int COMMAND_STEP_BACK = 1009;
constexpr int COMMAND_UNDO_CLEAR = 210; // never remembered
constexpr int COMMAND_LIST_END = 5340;  // numbers from here on are not remembered

// Commands that run once per program run and have run (the start command).
constexpr int ONCE_SLOTS = 4;
int32_t s_RanOnce[ONCE_SLOTS];
int s_RanOnceCount = 0;

bool HasRunOnce(int commandId)
{
    for (int i = 0; i < s_RanOnceCount; ++i)
        if (s_RanOnce[i] == commandId)
            return true;
    return false;
}

void MarkRunOnce(int commandId)
{
    if (s_RanOnceCount < ONCE_SLOTS)
        s_RanOnce[s_RanOnceCount++] = commandId;
}

uint32_t FlagsOf(int commandId)
{
    const CommandEntry *e = CommandFindEntry(commandId);
    return e ? e->flags : 0;
}

bool OpensSubmenu(int commandId)
{
    return ConvertFindCommandPopup(commandId) == CONVERT_POPUP_OPENER;
}

bool Remembered(int commandId)
{
    if (commandId < COMMAND_MENU_FIRST || commandId >= COMMAND_LIST_END)
        return false;
    return !(FlagsOf(commandId) & COMMAND_FLAG_NO_LIST) && !OpensSubmenu(commandId);
}

// The mode of a number's template; plug-in numbers read their module's entry.
int32_t ModeOf(int commandId)
{
    if (commandId >= COMMAND_PLUGIN_FIRST && commandId <= COMMAND_PLUGIN_LAST) {
        const InputTemplate *t = InputPluginTemplate(commandId);
        return t ? t->mode : TEMPLATE_RUN_AT_ONCE;
    }
    return g_InputTemplates[CommandTemplateOf(commandId)].mode;
}

bool Interrupts(int32_t mode) { return mode >= TEMPLATE_ONE_POINT && mode <= TEMPLATE_REPEATED; }

// The shortcut pick (383) hands the chosen command to the keyboard
// assignment; the menus are rebuilt so that their titles show the new key.
void ShortcutPicked(int commandId)
{
    char caption[256] = "";
    ConvertGetCommandTitle(caption, COMMAND_SHORTCUT_PICK);
    if (Box13Keyboard(g_MainWnd, caption, commandId)) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        if (g_MainWnd) {
            InitDeleteMenus();
            InitCreateMenus(g_MainWnd);
        }
    }
    CommandCancel();
}

// The help pick (1102): Escape ends it, any other command shows the help of
// the window under the mouse (which ends the pick when there is one).
void HelpPicked(int commandId)
{
    if (commandId == COMMAND_STEP_BACK)
        CommandCancel();
    else
        ConvertShowContextHelp();
}

// 0 and 4 cancel, 1 beeps, 5 runs the command and then calls afterRun.
void HandleCode(int code, void (*afterRun)())
{
    switch (code) {
    case INPUT_CANCEL:
    case INPUT_ASK_NEXT: CommandCancel(); break;
    case INPUT_LIMIT: InitBeep(); break;
    case INPUT_COMPLETE:
        CommandRun(g_CommandState->commandId);
        afterRun();
        break;
    default: break;
    }
}

void ReturnToMainState()
{
    CommandSelectState(0);
    InputEnterStep(g_CursorPos.x, g_CursorPos.y);
    StatusUpdateToolbox();
}

} // namespace

void CommandRememberLast(int commandId)
{
    int32_t *list = g_CommandDefaults.lastCommands;
    int p = LAST_COMMANDS - 1;
    for (int i = 0; i < LAST_COMMANDS; ++i)
        if (list[i] == commandId)
            p = i;
    for (int i = p; i > 0; --i)
        list[i] = list[i - 1];
    list[0] = commandId;
}

void CommandExecute(int commandId, int remember)
{
    OutputHideCrosshair();
    g_CommandExecuted = 0;
    const uint32_t flags = FlagsOf(commandId);
    const int32_t runningMode = CommandMode();
    const bool pick = !OpensSubmenu(commandId);

    if (runningMode == TEMPLATE_SHORTCUT_PICK && pick && commandId != COMMAND_HELP_ON_COMMAND) {
        ShortcutPicked(commandId);
    } else if (runningMode == TEMPLATE_HELP_PICK && pick) {
        HelpPicked(commandId);
    } else if ((flags & COMMAND_FLAG_ONCE) && HasRunOnce(commandId)) {
        // Typed again it would, for the start command, reopen the command-line
        // drawing over the unsaved work.
        InitBeep();
    } else {
        if (flags & COMMAND_FLAG_ONCE)
            MarkRunOnce(commandId);
        CommandSelectState((flags & COMMAND_FLAG_TRANSPARENT) ? 1 : 0);
        const int32_t mode = ModeOf(commandId);
        if (mode <= TEMPLATE_RUN_AT_ONCE || mode > TEMPLATE_LIST) {
            CommandRun(commandId);
            g_CommandExecuted = 1;
        } else if (InputPrepareCommand(commandId)) {
            CommandCancel();
            g_CommandState->resumeId = Interrupts(mode) ? g_CommandState->commandId : commandId;
            InputStart(commandId);
            g_CommandExecuted = 1;
        }
    }

    if (!g_Running)
        return;
    OutputShowCrosshair();
    WriteRefreshFrame();
    StatusUpdateToolbox();
    if (remember && g_CommandExecuted && Remembered(commandId))
        CommandRememberLast(commandId);
}

void CommandCancel()
{
    CommandState &cs = *g_CommandState;
    if (!Interrupts(CommandMode())) {
        InputReset();
        return;
    }
    InputCancelSymbolSlot();
    InputStart(cs.resumeId);
    StatusUpdateToolbox();
}

void CommandRun(int commandId) { InputRunCommand(commandId, g_CommandState->pointIndex); }

void InputRunCommand(int commandId, int)
{
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const CommandRange *r = CommandFindRange(commandId);
    if (!r || r->kind == RANGE_BEEP)
        InitBeep();
    else if (r->kind == RANGE_HANDLER) {
        if (r->handler)
            r->handler(g_MainWnd, commandId);
        else
            InitBeep(); // its handler is not built yet
    }
    StatusUpdateToolbox();
    SetCursor(previous);
}

void CommandEndInput()
{
    if (g_CommandTransparent) {
        ReturnToMainState();
        return;
    }
    InputReset();
}

void CommandFinishInput()
{
    if (g_CommandTransparent) {
        ReturnToMainState();
        return;
    }
    if (CommandMode() != TEMPLATE_LIST) {
        CommandCancel();
        return;
    }
    int code = InputNextAction();
    while (code == INPUT_CONTINUE) {
        code = InputEnterStep(g_CursorPos.x, g_CursorPos.y);
        if (code == INPUT_ASK_NEXT)
            code = InputNextAction();
        else if (code == INPUT_ACCEPT_NOW)
            code = InputPoint(g_CursorPos.x, g_CursorPos.y, 1);
        else
            break;
    }
    // A finished list runs and starts again at its first step.
    HandleCode(code, CommandCancel);
}

void CommandHandleCode(int code)
{
    HandleCode(code, CommandEndInput);
}

int CommandUndoRedo(int forward)
{
    const int moved = forward ? UndoStepForward() : UndoStepBack();
    if (!moved) {
        InitBeep();
        return 0;
    }
    OutputHideCrosshair();
    CommandCancel();
    OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
    OutputShowCrosshair();
    return 1;
}
