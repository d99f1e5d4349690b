// Keyboard command entry.
#include "commands/command_keys.h"

#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/status_refresh.h"
#include "app/system.h"
#include "app/write_refresh.h"
#include "commands/command.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "display/output_paint.h"
#include "display/screen.h"

int32_t g_CommandDigitEntry = 0;
int32_t g_CommandDigits = 0;
CommandKeyStateProc g_CommandKeyState = nullptr;

namespace {

constexpr int DIGITS_KEPT = 1000; // only the last four digits count
constexpr int KEY_SET = 38;       // keys of one set: 0-9, A-Z, Backspace, Enter
constexpr int KEY_BACKSPACE_INDEX = 36;
constexpr int KEY_ENTER_INDEX = 37;
constexpr int SNAP_SWITCH_ON = 0;
constexpr int KEY_REPEATED_BIT = 30;

// Commands whose Ctrl-copy run ends when Ctrl is released at their last step.
constexpr int32_t CTRL_COPY_COMMANDS[] = {405, 406, 407, 416, 417, 423, 424};

bool IsDigitKey(int key) { return (key >= '0' && key <= '9') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD9); }

int DigitOf(int key) { return key >= VK_NUMPAD0 ? key - VK_NUMPAD0 : key - '0'; }

void PostCommand(int command)
{
    if (command >= 0 && g_MainWnd)
        PostMessageA(g_MainWnd, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

bool ShiftHeld()
{
    return CommandIsKeyDown(VK_SHIFT) ||
           (g_Options.mButtonMode == MBUTTON_AS_SHIFT && CommandIsKeyDown(VK_MBUTTON));
}

// Flips a switch for as long as a key is held, and shows it.
void ToggleHeld(uint32_t &on, int32_t &toggled, int32_t nowToggled)
{
    OutputHideCrosshair();
    on = on ? 0 : 1;
    toggled = nowToggled;
    OutputShowCrosshair();
    if (hGlobalPanel)
        InvalidateRect(hGlobalPanel, nullptr, FALSE);
    StatusUpdateToolbox();
}

void ToggleSnapping(CommandState &cs, int32_t toggled)
{
    ToggleHeld(g_LocalData.snap.switches[SNAP_SWITCH_ON], cs.shiftToggled, toggled);
}

void ToggleCopyMode(CommandState &cs, int32_t toggled)
{
    ToggleHeld(g_DrawingSettings.displayDuplicate, cs.ctrlToggled, toggled);
}

void TypedNumber()
{
    const int n = g_CommandDigits;
    if (n >= COMMAND_MENU_FIRST && n < COMMAND_NUMBER_END)
        CommandExecute(n, 1);
    else if (n != 0)
        InitBeep();
}

// Ctrl released while an additive selection was under way.
void EndAdditiveSelection()
{
    CommandState &cs = *g_CommandState;
    const int32_t kind = cs.pointKind;
    if (kind >= POINT_KIND_FIRST_SELECTION && kind <= POINT_KIND_POINT_SELECTION) {
        OutputHideCrosshair();
        const int code = InputPoint(g_CursorPos.x, g_CursorPos.y, 0);
        cs.additive = 0;
        SetCursor(nullptr);
        CommandHandleCode(code);
        OutputShowCrosshair();
        WriteRefreshFrame();
    }
    if (cs.commandId == COMMAND_POINTER && cs.pointIndex > 1) {
        OutputHideCrosshair();
        const int code = InputStepBack();
        if (code == INPUT_CANCEL)
            InitBeep();
        else if (code == INPUT_ASK_NEXT)
            CommandCancel();
        cs.additive = 0;
        OutputShowCrosshair();
        WriteRefreshFrame();
        return;
    }
    for (int32_t id : CTRL_COPY_COMMANDS)
        if (cs.commandId == id && cs.pointIndex + 1 >= cs.stepCount) {
            OutputHideCrosshair();
            CommandCancel();
            g_CommandState->additive = 0;
            OutputShowCrosshair();
            WriteRefreshFrame();
            return;
        }
}

} // namespace

int CommandIsKeyDown(int key)
{
    if (g_CommandKeyState)
        return g_CommandKeyState(key);
    return GetKeyState(key) < 0 ? 1 : 0;
}

int CommandAssignedKey(int key, int shifted)
{
    int index;
    if (key >= '0' && key <= '9')
        index = key - '0';
    else if (key >= 'A' && key <= 'Z')
        index = 10 + key - 'A';
    else if (key == VK_BACK)
        index = KEY_BACKSPACE_INDEX;
    else if (key == VK_RETURN)
        index = KEY_ENTER_INDEX;
    else
        return -1;
    if (shifted)
        index += KEY_SET;
    return index < KEYBOARD_KEYS ? g_Options.keyboard[index] : -1;
}

void CommandKeyDown(int key, LPARAM data)
{
    CommandState &cs = *g_CommandState;
    if (key == VK_TAB) {
        if (!g_AppActive)
            return;
        g_CommandDigitEntry = !g_CommandDigitEntry;
        if (g_CommandDigitEntry)
            g_CommandDigits = 0;
        else
            TypedNumber();
        return;
    }
    if (IsDigitKey(key)) {
        if (g_CommandDigitEntry)
            g_CommandDigits = (g_CommandDigits % DIGITS_KEPT) * 10 + DigitOf(key);
    } else {
        g_CommandDigitEntry = 0;
    }
    if (g_CommandDigitEntry)
        return;

    switch (key) {
    case VK_SPACE:
        if (!(data & (LPARAM(1) << KEY_REPEATED_BIT)))
            g_CommandSpaceZoom = SPACE_ZOOM_HELD;
        return;
    case VK_SHIFT:
        if (cs.pointKind < POINT_KIND_FIRST_PICK && cs.commandId != COMMAND_TRANSPARENT && !cs.shiftToggled &&
            g_LocalData.snap.snapModes != 0)
            ToggleSnapping(cs, 1);
        return;
    case VK_CONTROL:
        if (cs.pointKind <= POINT_KIND_FOLLOWUP && !cs.ctrlToggled)
            ToggleCopyMode(cs, 1);
        return;
    default: break;
    }
    for (int i = 0; i < g_CommandKeyCount; ++i)
        if (g_CommandKeys[i].key == key) {
            PostCommand(g_CommandKeys[i].command);
            return;
        }
    PostCommand(CommandAssignedKey(key, ShiftHeld() ? 1 : 0));
}

void CommandKeyUp(int key, LPARAM)
{
    if (g_CommandDigitEntry)
        return;
    CommandState &cs = *g_CommandState;
    switch (key) {
    case VK_SHIFT:
        if (cs.shiftToggled && g_LocalData.snap.snapModes != 0)
            ToggleSnapping(cs, 0);
        break;
    case VK_SPACE:
        if (g_CommandSpaceZoom == SPACE_ZOOM_HELD)
            PostCommand(1028);
        g_CommandSpaceZoom = SPACE_ZOOM_IDLE;
        break;
    case VK_CONTROL:
        if (cs.additive)
            EndAdditiveSelection();
        if (g_CommandState->ctrlToggled)
            ToggleCopyMode(*g_CommandState, 0);
        break;
    default: break;
    }
}

void CommandKeyTimer()
{
    const CommandState &cs = *g_CommandState;
    const int mode = g_Options.mButtonMode;
    if (cs.ctrlToggled && !CommandIsKeyDown(VK_CONTROL) &&
        !(mode == MBUTTON_AS_CTRL && CommandIsKeyDown(VK_MBUTTON)))
        CommandKeyUp(VK_CONTROL, 0);
    if (g_CommandState->shiftToggled && !CommandIsKeyDown(VK_SHIFT) &&
        !(mode == MBUTTON_AS_SHIFT && CommandIsKeyDown(VK_MBUTTON)))
        CommandKeyUp(VK_SHIFT, 0);
    if (g_CommandSpaceZoom == SPACE_ZOOM_HELD && !CommandIsKeyDown(VK_SPACE))
        g_CommandSpaceZoom = SPACE_ZOOM_IDLE;
}
