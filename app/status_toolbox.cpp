// The toolbox: a grid of command buttons showing the commands' icons in
// their current state; a quick click runs the command, holding a button whose
// command belongs to a menu popup opens that popup's flyout.
#include <memory>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/status.h"
#include "app/status_refresh.h"
#include "app/status_track.h"
#include "app/system.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "dialogs/box13.h"
#include "language/language.h"

int (*g_StatusFlyout)(int popupId, int current, const RECT *button) = nullptr;

namespace {

constexpr int HOLD_TICKS = 3;
constexpr int HINT_TOOLBOX = -7;
constexpr uint32_t COMMAND_ID_MASK = 0xFFFF;
constexpr int COMMAND_USER_END = 5340;

CellTrack s_Toolbox;
// Which buttons were last drawn as the running command. Kept beside the
// options rather than in their entries, so that no mark reaches the registry.
bool s_DrawnRunning[TOOLBOX_MAX_BUTTONS];
int s_Hold = -1;
bool s_PointerRunning = false;

int CommandOf(int button) { return static_cast<int>(uint32_t(g_Options.toolbox[button]) & COMMAND_ID_MASK); }

RECT ButtonRect(int button)
{
    const int columns = g_Tools.toolboxColumns > 0 ? g_Tools.toolboxColumns : 1;
    const int x = (button % columns) * TOOLBOX_CELL_SIZE, y = (button / columns) * TOOLBOX_CELL_SIZE;
    return RECT{x, y, x + TOOLBOX_CELL_SIZE, y + TOOLBOX_CELL_SIZE};
}

int RunningCommand() { return g_CommandState ? g_CommandState->commandId : -1; }

void Repaint(int button)
{
    if (!hGlobalToolbox)
        return;
    HDC dc = GetDC(hGlobalToolbox);
    StatusPaintToolboxButton(hGlobalToolbox, dc, button);
    ReleaseDC(hGlobalToolbox, dc);
}

// Commands whose checked or disabled state follows settings.
bool FollowsSettings(int id)
{
    static const int LIST[] = {200, 201, 202, 205, 229, 230, 332, 334, 374, 911, 914};
    for (int c : LIST)
        if (c == id)
            return true;
    return (id >= 364 && id <= 372) || (id >= 567 && id <= 569) || (id >= 635 && id <= 637) ||
           (id >= 1015 && id <= 1023) || (id >= 1300 && id <= 5299);
}

} // namespace

void StatusPaintToolboxButton(HWND toolbox, HDC dc, int button)
{
    if (!g_Options.toolboxVisible || !toolbox || button < 0 || button >= g_Tools.toolboxButtons ||
        button >= TOOLBOX_MAX_BUTTONS)
        return;
    // High bits left in an entry (an older program's running mark) are cleaned.
    const int id = CommandOf(button);
    g_Options.toolbox[button] = id;
    s_DrawnRunning[button] = false;
    uint32_t state = TOOL_COLOUR2;
    if (id >= 100 && id < COMMAND_USER_END) {
        auto flags = std::make_unique<CommandFlagTable>();
        CommandGetFlags(flags.get());
        if (flags->flags[id] & COMMAND_FLAG_DISABLED)
            state |= TOOL_DISABLED;
        if (flags->flags[id] & COMMAND_FLAG_CHECKED)
            state |= TOOL_MARK;
    }
    if (ConvertFindCommandPopup(id) == CONVERT_POPUP_OPENER)
        state |= TOOL_COLOUR1;
    if (id == RunningCommand()) {
        state |= TOOL_CHECKED;
        s_DrawnRunning[button] = true;
    }
    if (button == s_Toolbox.pressed)
        state |= TOOL_PRESSED;
    StatusDrawCommandButton40(dc, id, state, ButtonRect(button));
}

void StatusPaintToolbox(HWND toolbox, HDC dc)
{
    if (!g_Options.toolboxVisible)
        return;
    RECT client{};
    GetClientRect(toolbox, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    for (int b = 0; b < g_Tools.toolboxButtons; ++b)
        StatusPaintToolboxButton(toolbox, dc, b);
}

void StatusUpdateToolbox()
{
    const bool pointer = RunningCommand() == COMMAND_POINTER;
    if (pointer != s_PointerRunning) {
        s_PointerRunning = pointer;
        if (hGlobalPanel)
            InvalidateRect(hGlobalPanel, nullptr, FALSE);
        if (hGlobalProp)
            InvalidateRect(hGlobalProp, nullptr, FALSE);
    }
    if (!g_Options.toolboxVisible || !hGlobalToolbox)
        return;
    for (int b = 0; b < g_Tools.toolboxButtons && b < TOOLBOX_MAX_BUTTONS; ++b) {
        const int id = CommandOf(b);
        if (FollowsSettings(id) || s_DrawnRunning[b] != (id == RunningCommand()))
            Repaint(b);
    }
}

int StatusToolboxHitTest(int x, int y)
{
    if (x < 0 || y < 0 || !g_Options.toolboxVisible)
        return -1;
    const int columns = g_Tools.toolboxColumns > 0 ? g_Tools.toolboxColumns : 1;
    if (x / TOOLBOX_CELL_SIZE >= columns)
        return -1;
    const int b = (y / TOOLBOX_CELL_SIZE) * columns + x / TOOLBOX_CELL_SIZE;
    return b < g_Tools.toolboxButtons ? b : -1;
}

void StatusToolboxLButtonDown(HWND, int x, int y)
{
    if (g_Box13FlyoutWindow)
        PostMessageA(g_Box13FlyoutWindow, WM_COMMAND, IDCANCEL, 0);
    if (!StatusPressAllowed())
        return;
    const int b = StatusToolboxHitTest(x, y);
    StatusTrackPress(s_Toolbox, b, b >= 0, Repaint);
    if (b >= 0)
        s_Hold = HOLD_TICKS;
}

void StatusToolboxRButtonDown(HWND, int x, int y)
{
    if (!StatusPressAllowed())
        return;
    s_Hold = -1;
    const int b = StatusToolboxHitTest(x, y);
    StatusTrackPress(s_Toolbox, b, b >= 0, Repaint);
}

void StatusToolboxLButtonUp(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    s_Hold = -1;
    const int b = StatusTrackRelease(s_Toolbox, StatusToolboxHitTest(x, y), Repaint);
    if (b >= 0 && g_MainWnd)
        PostMessageA(g_MainWnd, WM_COMMAND, WPARAM(CommandOf(b)), 0);
}

void StatusToolboxRButtonUp(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int b = StatusTrackRelease(s_Toolbox, StatusToolboxHitTest(x, y), Repaint);
    if (b < 0)
        return;
    // The palette chooses the button's new command; nothing runs.
    const int chosen = Box13Popup(g_MainWnd, 0);
    if (chosen >= 0)
        g_Options.toolbox[b] = chosen;
    Repaint(b);
}

void StatusToolboxMouseMove(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int b = StatusToolboxHitTest(x, y);
    const int before = s_Toolbox.pressed;
    StatusTrackMove(s_Toolbox, b, Repaint);
    if (s_Toolbox.down >= 0 && before != s_Toolbox.pressed)
        s_Hold = s_Toolbox.pressed >= 0 ? HOLD_TICKS : -1;
    if (x < 0 || y < 0)
        return;
    if (b < 0) {
        StatusShowHint(0, HINT_TOOLBOX, nullptr, nullptr);
        return;
    }
    char title[256];
    ConvertGetCommandTitle(title, CommandOf(b));
    StatusShowHint(1000 + b, HINT_TOOLBOX, eStatusTexts[STATUS_TEXT_HINT], title);
}

void StatusToolboxHoldTimer(HWND toolbox)
{
    if (s_Hold < 0)
        return;
    if (--s_Hold > 0)
        return;
    s_Hold = -1;
    const int b = s_Toolbox.down;
    if (b < 0)
        return;
    const int id = CommandOf(b);
    const int popup = ConvertFindCommandPopup(id);
    if (popup < 0)
        return;
    RECT r = ButtonRect(b);
    MapWindowPoints(toolbox, nullptr, reinterpret_cast<POINT *>(&r), 2);
    s_Toolbox.down = s_Toolbox.pressed = -1;
    const int chosen = g_StatusFlyout ? g_StatusFlyout(popup, id, &r) : Box13PopupGroup(g_MainWnd, popup, id, &r);
    if (chosen >= 0) {
        g_Options.toolbox[b] = chosen;
        if (g_MainWnd)
            PostMessageA(g_MainWnd, WM_COMMAND, WPARAM(chosen), 0);
    }
    Repaint(b);
}
