// Tool windows around the drawing windows: repainting them, applying changed
// tool-window options, and the registry of the program's popups.
#include <initializer_list>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/window.h"

PopupRegistry g_PopupWindows = {{}, WINDOW_OWN_POPUPS};

namespace {

void Refresh(HWND window)
{
    if (!window)
        return;
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void ShowOrHide(HWND window, uint32_t visible)
{
    if (!window)
        return;
    ShowWindow(window, SW_HIDE);
    if (!visible)
        return;
    ShowWindow(window, SW_SHOWNA);
    // Shown without activation, a floating window may come up under the
    // main window that the menu click just activated: it would stay hidden
    // (black in a screenshot) until the main window is activated again.
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
        WindowRaiseFloatingTools();
}

} // namespace

void WindowRepaintTools()
{
    for (HWND w : {hGlobalPanel, hGlobalProp, hGlobalPen, hGlobalLayer, hGlobalSymbol, hGlobalStatus, hGlobalToolbox,
                   hGlobalGuide, hGlobalLayerDialog, hGlobalPenDialog, g_MainWnd})
        Refresh(w);
}

namespace {

constexpr UINT_PTR RAISE_TIMER = 0x7A01;
constexpr UINT RAISE_DELAY_MS = 50;

// Already first in Wine's own order, HWND_TOP would change nothing: a round
// through the topmost band restacks the window.
void Restack(HWND w)
{
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

void CALLBACK RaiseFloatingTools(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    // A dialog that ends and at once opens again (the coordinate entry moving
    // to a clicked field) activates the main window in between: the tools
    // come back up then too, and the open dialog above them.
    HWND modal = g_ModalDepth > 0 && g_MainWnd ? GetLastActivePopup(g_MainWnd) : nullptr;
    for (HWND w : {hGlobalPanel, hGlobalProp, hGlobalPen, hGlobalLayer, hGlobalSymbol, hGlobalStatus, hGlobalToolbox,
                   hGlobalGuide, hGlobalLayerDialog, hGlobalPenDialog})
        if (w && IsWindowVisible(w) && !(GetWindowLongA(w, GWL_STYLE) & WS_CHILD))
            Restack(w);
    if (modal && modal != g_MainWnd && IsWindowVisible(modal))
        Restack(modal);
}

} // namespace

void WindowRaiseFloatingTools()
{
    // Without a window manager, Wine raises an activated window above the
    // popups it owns, after the activation messages: the floating tool
    // windows are put back on top a moment later, without the focus.
    if (g_MainWnd)
        SetTimer(g_MainWnd, RAISE_TIMER, RAISE_DELAY_MS, RaiseFloatingTools);
}

void WindowApplyPanels(const ProgramOptions &o, const ProgramOptions &n, int relayout)
{
    bool tools = false;
    if (o.windowArrangement != n.windowArrangement) {
        WindowComputeLayout(g_MainWnd);
        relayout = 1;
    }
    if (o.viewVisible != n.viewVisible) {
        ShowOrHide(g_ViewWindow.hwnd, n.viewVisible);
        tools = true;
    }
    if (o.viewUpdate != n.viewUpdate) {
        if (n.viewUpdate && g_ViewWindow.hwnd)
            InvalidateRect(g_ViewWindow.hwnd, nullptr, FALSE);
        tools = true;
    }
    if (o.viewSimple != n.viewSimple && g_ViewWindow.hwnd)
        InvalidateRect(g_ViewWindow.hwnd, nullptr, FALSE);
    // Docked windows take room from the drawing windows: a change of their
    // visibility re-arranges. (Re-creating a window in the other mode comes
    // with the tool-window layout.)
    struct Docked {
        HWND window;
        uint32_t oldVisible, newVisible, oldMoveable, newMoveable;
    };
    const Docked docked[] = {
        {hGlobalPanel, o.panelVisible, n.panelVisible, o.panelMoveable, n.panelMoveable},
        {hGlobalStatus, o.statusVisible, n.statusVisible, o.statusMoveable, n.statusMoveable},
        {hGlobalProp, o.propertyVisible, n.propertyVisible, o.propertyMoveable, n.propertyMoveable},
        {hGlobalToolbox, o.toolboxVisible, n.toolboxVisible, o.toolboxMoveable, n.toolboxMoveable},
    };
    for (const Docked &d : docked) {
        if (d.oldVisible == d.newVisible && d.oldMoveable == d.newMoveable)
            continue;
        ShowOrHide(d.window, 0);
        if (!d.newMoveable || d.oldMoveable != d.newMoveable) {
            WindowComputeLayout(g_MainWnd);
            relayout = 1;
        }
        ShowOrHide(d.window, d.newVisible);
        tools = true;
    }
    if (o.penVisible != n.penVisible)
        ShowOrHide(hGlobalPen, n.penVisible);
    if (o.layerVisible != n.layerVisible)
        ShowOrHide(hGlobalLayer, n.layerVisible);
    if (o.guideVisible != n.guideVisible) {
        ShowOrHide(hGlobalGuide, n.guideVisible);
        tools = true;
    }
    if (o.symbolVisible != n.symbolVisible) {
        ShowOrHide(hGlobalSymbol, n.symbolVisible);
        tools = true;
    }
    if (o.pageVisible != n.pageVisible || o.buttonVisible != n.buttonVisible || o.originVisible != n.originVisible ||
        o.scrollVisible != n.scrollVisible || o.rulerVisible != n.rulerVisible)
        relayout = 1;
    if (relayout)
        WindowRelayout(g_MainWnd);
    if (tools)
        WindowRepaintTools();
    WindowListOwn();
}

void WindowListOwn()
{
    const HWND own[WINDOW_OWN_POPUPS] = {hGlobalPanel,  hGlobalProp,    hGlobalPen,      hGlobalLayer,
                                         hGlobalStatus, hGlobalToolbox, hGlobalGuide,    hGlobalSymbol,
                                         hGlobalPenDialog, hGlobalLayerDialog, g_ViewWindow.hwnd};
    for (int i = 0; i < WINDOW_OWN_POPUPS; ++i)
        g_PopupWindows.windows[i] = own[i];
}

void WindowResetPopups()
{
    for (HWND &w : g_PopupWindows.windows)
        w = nullptr;
    g_PopupWindows.count = WINDOW_OWN_POPUPS;
    WindowListOwn();
}

int WindowIsOwnPopupActive()
{
    const HWND active = GetActiveWindow();
    if (!active)
        return 0;
    for (int i = 0; i < g_PopupWindows.count && i < WINDOW_POPUP_SLOTS; ++i)
        if (g_PopupWindows.windows[i] == active)
            return 1;
    return 0;
}
