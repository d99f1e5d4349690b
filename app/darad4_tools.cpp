// The tool-window and drawing-window procedures. Until their contents are
// drawn, each window shows its class background; closing a tool window hides
// it, and a destroyed window leaves no stale handle behind.
#include <initializer_list>

#include "app/darad4.h"
#include "app/darad4_draw.h"
#include "app/system.h"
#include "app/window_layout.h"

namespace {

void ForgetHandle(HWND window)
{
    for (HWND *h : {&hGlobalPanel, &hGlobalProp, &hGlobalPen, &hGlobalLayer, &hGlobalSymbol, &hGlobalStatus,
                    &hGlobalToolbox, &hGlobalGuide})
        if (*h == window)
            *h = nullptr;
    for (DrawWindow &w : g_DrawWindows)
        if (w.hwnd == window)
            w.hwnd = nullptr;
    if (g_ViewWindow.hwnd == window)
        g_ViewWindow.hwnd = nullptr;
}

// The option that says whether the tool window is shown; null for none.
uint32_t *VisibilitySwitch(HWND window)
{
    ProgramOptions &o = g_Options;
    const struct {
        HWND window;
        uint32_t *visible;
    } switches[] = {
        {hGlobalPanel, &o.panelVisible},   {hGlobalProp, &o.propertyVisible},   {hGlobalPen, &o.penVisible},
        {hGlobalLayer, &o.layerVisible},   {hGlobalSymbol, &o.symbolVisible},   {hGlobalStatus, &o.statusVisible},
        {hGlobalToolbox, &o.toolboxVisible}, {hGlobalGuide, &o.guideVisible}, {g_ViewWindow.hwnd, &o.viewVisible},
    };
    for (const auto &s : switches)
        if (s.window == window)
            return s.visible;
    return nullptr;
}

LRESULT ToolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE: {
        // Closing hides the window and switches it off in the options.
        uint32_t *visible = VisibilitySwitch(window);
        if (!visible || !*visible)
            return 0;
        // A docked window is part of the main window's frame.
        if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
            MessageBeep(0);
            return 0;
        }
        // Hiding the active window would hand the activation to whichever
        // window comes next, often another tool window: it goes back to the
        // main window, whose keys the user expects.
        const bool wasActive = GetActiveWindow() == window;
        if (IsWindowVisible(window))
            ShowWindow(window, SW_HIDE);
        *visible = 0;
        if (wasActive)
            AppFocusMainWindow();
        return 0;
    }
    case WM_ERASEBKGND:
        // Nothing is painted while the start screen shows or the program closes.
        if (g_StartScreen || g_Closing)
            return 1;
        break;
    case WM_NCDESTROY:
        ForgetHandle(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK AppPanelWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
LRESULT CALLBACK AppPropWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
LRESULT CALLBACK AppSymbolWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
LRESULT CALLBACK AppPenWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
LRESULT CALLBACK AppLayerWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
LRESULT CALLBACK AppStatusWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
LRESULT CALLBACK AppToolboxWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
LRESULT CALLBACK AppGuideWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
// The view window is a tool window that shows the drawing like a drawing window.
LRESULT CALLBACK AppViewWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    switch (m) {
    case WM_CLOSE:
    case WM_NCDESTROY:
        return ToolWindowProc(w, m, wp, lp);
    case WM_ERASEBKGND:
        if (g_StartScreen || g_Closing)
            return 1;
        return AppDrawWndProc(WINDOW_VIEW, w, m, wp, lp);
    default:
        return AppDrawWndProc(WINDOW_VIEW, w, m, wp, lp);
    }
}
