// Clicks on the status bar: a value field starts the coordinate entry at
// once, preselected on that field; a click elsewhere starts it on release
// without a preselection. While the calculator is open, a click on one of
// its fields is handed to it.
#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/status.h"
#include "app/status_track.h"
#include "dialogs/box08_editterm.h"

namespace {

constexpr int COORDINATE_ENTRY = 1008;
constexpr int FIRST_VALUE_FIELD = 1, LAST_VALUE_FIELD = 6;
constexpr int NO_FIELD = 0;

// The field (1 to 6) hit by the last press, NO_FIELD for none, and whether a
// press happened since the last release.
struct StatusClick {
    int field = NO_FIELD;
    bool pressed = false;
};
StatusClick s_Click;
// The field the coordinate entry opens on while a press on it runs it.
int s_Preselected = -1;

int HitTest(int x, int y)
{
    const int cell = StatusHitCells(FIRST_VALUE_FIELD, LAST_VALUE_FIELD, x, y);
    return cell < 0 ? NO_FIELD : cell;
}

// A press while a modal dialog is open: only the calculator listens, and only
// on the fields it offers.
void PressWhileModal(int x, int y)
{
    if (!g_CoordEntryWnd) {
        StatusRefuse();
        return;
    }
    const POINT p{x, y};
    for (int k = 0; k < COORD_FIELD_COUNT; ++k) {
        const CoordEntrySlot &slot = g_CoordEntryRecord.slots[k];
        if (slot.present && PtInRect(&slot.box, p)) {
            PostMessageA(g_CoordEntryWnd, g_MsgClick, WPARAM(k), 0);
            return;
        }
    }
    SetActiveWindow(g_CoordEntryWnd);
    StatusRefuse();
}

} // namespace

void StatusStatusLButtonDown(HWND, int x, int y)
{
    if (!StatusMouseAllowed()) {
        PressWhileModal(x, y);
        return;
    }
    if (!StatusPressAllowed())
        return;
    s_Click.field = HitTest(x, y);
    s_Click.pressed = true;
    if (s_Click.field == NO_FIELD)
        return;
    // The entry runs to its end inside the command; a later start from the
    // keyboard or menu is not preselected.
    s_Preselected = s_Click.field - FIRST_VALUE_FIELD;
    StatusRunCommand(COORDINATE_ENTRY);
    s_Preselected = -1;
}

void StatusStatusLButtonUp(HWND, int, int)
{
    if (!StatusMouseAllowed())
        return;
    const StatusClick click = s_Click;
    s_Click = {};
    if (click.pressed && click.field == NO_FIELD && g_MainWnd)
        PostMessageA(g_MainWnd, WM_COMMAND, COORDINATE_ENTRY, 0);
}

void StatusStatusRButtonDown(HWND, int, int)
{
    if (!StatusMouseAllowed()) {
        if (g_CoordEntryWnd)
            SetActiveWindow(g_CoordEntryWnd);
        return;
    }
    if (!StatusPressAllowed())
        return;
    s_Click.field = NO_FIELD;
    s_Click.pressed = true;
}

void StatusStatusRButtonUp(HWND, int, int)
{
    if (!StatusMouseAllowed())
        return;
    const StatusClick click = s_Click;
    s_Click = {};
    if (click.pressed && click.field == NO_FIELD)
        StatusRefuse();
}

int StatusPreselectedField() { return s_Preselected; }

// The docked bar is a child of the main window, which the open entry
// disables, and a disabled window's children get no mouse input: a click on
// a field reaches the program only as the main window's refused cursor
// message, and without this the entry would never move to that field.
bool StatusPressOnDisabledFrame()
{
    if (!g_CoordEntryWnd || !hGlobalStatus || !IsWindowVisible(hGlobalStatus) ||
        !(GetWindowLongA(hGlobalStatus, GWL_STYLE) & WS_CHILD))
        return false;
    POINT p;
    GetCursorPos(&p);
    RECT bar;
    GetWindowRect(hGlobalStatus, &bar);
    if (!PtInRect(&bar, p))
        return false;
    ScreenToClient(hGlobalStatus, &p);
    PressWhileModal(p.x, p.y);
    return true;
}
