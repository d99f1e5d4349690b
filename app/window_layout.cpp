// Drawing-window records and the arrangement of the main window's client area.
#include "app/window_layout.h"

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/system.h"

DrawWindow g_DrawWindows[DRAW_WINDOWS];
int32_t g_DrawWindowCount = 1;
DrawWindow g_ViewWindow;
int32_t g_ActiveWindow = 0;
uint32_t g_RelayoutPending = 0;
WindowLayout g_WindowLayout;

void WindowInitRecord(DrawWindow *record, HWND window, int32_t system)
{
    *record = DrawWindow{};
    record->window = window;
    record->scale = 1.0;
    record->system = system;
    record->lastIndexes[0] = record->lastIndexes[1] = -1;
}

namespace {

bool Docked(uint32_t visible, uint32_t moveable)
{
    return visible && !moveable;
}

} // namespace

// Docked windows take, in this order, the left edge (panel, then toolbox),
// the bottom (status bar) and the top (property bar) of what is left.
void WindowComputeLayout(HWND mainWindow)
{
    RECT area{};
    if (mainWindow)
        GetClientRect(mainWindow, &area);
    WindowLayout &l = g_WindowLayout;
    const ProgramOptions &o = g_Options;
    if (Docked(o.panelVisible, o.panelMoveable)) {
        l.panel = RECT{area.left, area.top, area.left + PANEL_WIDTH, area.bottom};
        area.left += PANEL_WIDTH;
    }
    if (Docked(o.toolboxVisible, o.toolboxMoveable)) {
        l.toolbox = RECT{area.left, area.top, area.left + TOOLBOX_CELL, area.bottom};
        area.left += TOOLBOX_CELL;
    }
    if (Docked(o.statusVisible, o.statusMoveable)) {
        l.status = RECT{area.left, area.bottom - STATUS_BAR_HEIGHT, area.right, area.bottom};
        area.bottom -= STATUS_BAR_HEIGHT;
    }
    if (Docked(o.propertyVisible, o.propertyMoveable)) {
        l.property = RECT{area.left, area.top, area.right, area.top + PROPERTY_BAR_HEIGHT};
        area.top += PROPERTY_BAR_HEIGHT;
    }
    if (area.right < area.left)
        area.right = area.left;
    if (area.bottom < area.top)
        area.bottom = area.top;
    l.freeArea = area;
    g_DrawingArea = area;
    for (DrawWindow &w : g_DrawWindows)
        w.frame = area;
}

namespace {

// Docked tool windows are children of the main window along its edges.
void PlaceDocked(HWND tool, uint32_t visible, uint32_t moveable, const RECT &client)
{
    if (!tool || !Docked(visible, moveable) || !(GetWindowLongA(tool, GWL_STYLE) & WS_CHILD))
        return;
    SetWindowPos(tool, nullptr, client.left, client.top, client.right - client.left, client.bottom - client.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void WindowArrange(HWND mainWindow)
{
    if (!mainWindow)
        return;
    WindowComputeLayout(mainWindow);
    const WindowLayout &l = g_WindowLayout;
    const ProgramOptions &o = g_Options;
    PlaceDocked(hGlobalPanel, o.panelVisible, o.panelMoveable, l.panel);
    PlaceDocked(hGlobalToolbox, o.toolboxVisible, o.toolboxMoveable, l.toolbox);
    PlaceDocked(hGlobalStatus, o.statusVisible, o.statusMoveable, l.status);
    PlaceDocked(hGlobalProp, o.propertyVisible, o.propertyMoveable, l.property);
    for (const DrawWindow &w : g_DrawWindows)
        if (w.window)
            MoveWindow(w.window, w.frame.left, w.frame.top, w.frame.right - w.frame.left,
                       w.frame.bottom - w.frame.top, TRUE);
}

LRESULT CALLBACK WindowTimedFlagProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}
