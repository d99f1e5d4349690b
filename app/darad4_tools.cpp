// The tool-window procedures: a system menu with the corner commands,
// placement bookkeeping, hiding instead of closing, size rules, and the
// painters and mouse handlers of each window.
#include <algorithm>
#include <initializer_list>

#include "app/darad4.h"
#include "app/darad4_draw.h"
#include "app/init_dialogs.h"
#include "app/init_sound.h"
#include "app/status.h"
#include "app/status_track.h"
#include "app/system.h"
#include "app/window_layout.h"
#include "app/write_refresh.h"
#include "dialogs/box08_editterm.h"
#include "language/language.h"

namespace {

constexpr int CORNER_TOP_LEFT = TOOL_CORNER_TOP_LEFT, CORNER_TOP_RIGHT = TOOL_CORNER_TOP_RIGHT,
              CORNER_BOTTOM_LEFT = TOOL_CORNER_BOTTOM_LEFT, CORNER_BOTTOM_RIGHT = TOOL_CORNER_BOTTOM_RIGHT;
constexpr int KEEP_PLACEMENT = 5009;
constexpr int CORNER_INSET = 4;
constexpr int TOOLBOX_MAX_EXTRA = 1104; // the toolbox grows at most this far beyond one cell

using MouseHandler = void (*)(HWND, int, int);

// What differs between the drawn tool windows.
struct ToolMember {
    HWND *handle;
    uint32_t *visible;
    uint32_t *moveable; // null: always floating
    WindowPlacement *placement;
    void (*paint)(HWND, HDC);
    void (*relayout)(HWND);
    MouseHandler lDown, lUp, rDown, rUp, move;
    bool relaysTooltips;
};

void PaintStatus(HWND w, HDC)
{
    StatusLayoutStatusFields(w);
    WriteDrawStatusWindow(w);
}
void PaintGuide(HWND w, HDC dc) { WriteDrawGuideDC(w, dc); }
void PaintPanel(HWND w, HDC dc) { StatusPaintPanel(w, dc); }
void PaintProperty(HWND w, HDC dc) { StatusPaintPropertyBar(w, dc); }
void PaintToolbox(HWND w, HDC dc)
{
    StatusSizeToolbox(w);
    StatusPaintToolbox(w, dc);
}
void PaintFace(HWND w, HDC dc)
{
    RECT client{};
    GetClientRect(w, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}
void PaintSymbol(HWND w, HDC dc)
{
    StatusSortSymbolList();
    StatusPaintSymbolWindow(w, dc);
    StatusSymbolScroll(w);
}
void RelayoutPanel(HWND w)
{
    StatusLayoutPanel();
    StatusLayoutPanelList(w);
}
void RelayoutToolbox(HWND w)
{
    StatusSizeToolbox(w);
    SetWindowTextA(w, g_Tools.toolboxColumns > 1 ? eHeadlineText[10] : "");
}
void HelpPress(HWND, int, int) { StatusPressAllowed(); }

const ToolMember *MemberOf(HWND window)
{
    ProgramOptions &o = g_Options;
    static ToolMember members[8];
    members[0] = {&hGlobalPanel, &o.panelVisible, &o.panelMoveable, &o.panelPlacement, PaintPanel, RelayoutPanel,
                  StatusPanelLButtonDown, StatusPanelLButtonUp, StatusPanelRButtonDown, StatusPanelRButtonUp,
                  StatusPanelMouseMove, true};
    members[1] = {&hGlobalProp, &o.propertyVisible, &o.propertyMoveable, &o.propertyPlacement, PaintProperty,
                  StatusLayoutPropertyFields, StatusPropertyLButtonDown, StatusPropertyLButtonUp,
                  StatusPropertyRButtonDown, StatusPropertyRButtonUp, StatusPropertyMouseMove, true};
    members[2] = {&hGlobalStatus, &o.statusVisible, &o.statusMoveable, &o.statusPlacement, PaintStatus,
                  StatusLayoutStatusFields, StatusStatusLButtonDown, StatusStatusLButtonUp, StatusStatusRButtonDown,
                  StatusStatusRButtonUp, nullptr, true};
    members[3] = {&hGlobalToolbox, &o.toolboxVisible, &o.toolboxMoveable, &o.toolboxPlacement, PaintToolbox,
                  RelayoutToolbox, StatusToolboxLButtonDown, StatusToolboxLButtonUp, StatusToolboxRButtonDown,
                  StatusToolboxRButtonUp, StatusToolboxMouseMove, true};
    members[4] = {&hGlobalGuide, &o.guideVisible, nullptr, &o.guidePlacement, PaintGuide, nullptr, HelpPress,
                  nullptr, HelpPress, nullptr, nullptr, false};
    members[5] = {&hGlobalSymbol, &o.symbolVisible, nullptr, &o.symbolPlacement, PaintSymbol, nullptr,
                  StatusSymbolButtonDown, StatusSymbolLButtonUp, StatusSymbolButtonDown, StatusSymbolRButtonUp,
                  StatusSymbolMouseMove, false};
    members[6] = {&hGlobalPen, &o.penVisible, nullptr, &o.penPlacement, PaintFace, nullptr, HelpPress, nullptr,
                  HelpPress, nullptr, nullptr, false};
    members[7] = {&hGlobalLayer, &o.layerVisible, nullptr, &o.layerPlacement, PaintFace, nullptr, HelpPress,
                  nullptr, HelpPress, nullptr, nullptr, false};
    for (const ToolMember &m : members)
        if (*m.handle == window)
            return &m;
    return nullptr;
}

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
    if (const ToolMember *m = MemberOf(window))
        return m->visible;
    if (window && window == g_ViewWindow.hwnd)
        return &g_Options.viewVisible;
    return nullptr;
}

WindowPlacement *PlacementOf(HWND window)
{
    if (const ToolMember *m = MemberOf(window))
        return m->placement;
    if (window && window == g_ViewWindow.hwnd)
        return &g_Options.viewPlacement;
    return nullptr;
}

bool IsDocked(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0; }

void BuildSystemMenu(HWND window)
{
    HMENU system = GetSystemMenu(window, FALSE);
    if (!system)
        return;
    while (GetMenuItemCount(system) > 0)
        DeleteMenu(system, 0, MF_BYPOSITION);
    HMENU corners = CreatePopupMenu();
    for (int k = 0; k < 4; ++k)
        AppendMenuA(corners, MF_STRING, UINT_PTR(CORNER_TOP_LEFT + k), eSystemCommands[5 + k]);
    AppendMenuA(system, MF_STRING, SC_MOVE, eSystemCommands[0]);
    AppendMenuA(system, MF_STRING, SC_SIZE, eSystemCommands[1]);
    AppendMenuA(system, MF_STRING, SC_CLOSE, eSystemCommands[2]);
    AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(system, MF_POPUP, UINT_PTR(corners), eSystemCommands[4]);
    AppendMenuA(system, MF_STRING, KEEP_PLACEMENT, eSystemCommands[12]);
    DrawMenuBar(window);
}

// The width a shown floating tool window takes at the left, with its gap.
int FloatingWidth(HWND window)
{
    RECT r{};
    if (!window || !IsWindowVisible(window) || !GetWindowRect(window, &r))
        return 0;
    return r.right - r.left + CORNER_INSET;
}

// Places the window in a corner of the main window's free area.
void PlaceInCorner(HWND window, int corner)
{
    RECT frame{};
    GetWindowRect(window, &frame);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const RECT &a = g_WindowLayout.freeArea;
    const int m = CORNER_INSET;
    POINT p{a.left + m, a.top + m};
    // At the left, the property bar keeps clear of a floating panel and a
    // floating toolbox, the toolbox of a floating panel.
    const bool property = window == hGlobalProp, toolbox = window == hGlobalToolbox;
    if ((property || toolbox) && g_Options.panelMoveable)
        p.x += FloatingWidth(hGlobalPanel);
    if (property && g_Options.toolboxMoveable)
        p.x += FloatingWidth(hGlobalToolbox);
    if (corner == CORNER_TOP_RIGHT || corner == CORNER_BOTTOM_RIGHT)
        p.x = a.right - w;
    if (corner == CORNER_BOTTOM_LEFT || corner == CORNER_BOTTOM_RIGHT)
        p.y = a.bottom - h;
    if (g_MainWnd)
        ClientToScreen(g_MainWnd, &p);
    if (WindowPlacement *placement = PlacementOf(window))
        placement->pos = p;
    MoveWindow(window, p.x, p.y, w, h, TRUE);
}

// A length rounded to whole cells: a remainder of `up` or more rounds up.
int RoundToCells(int length, int cell, int up, int minimum, int maximum)
{
    int cells = length / cell + (length % cell >= up ? 1 : 0);
    return std::clamp(cells * cell, minimum, maximum);
}

// The toolbox snaps to whole 46-pixel cells while the user sizes it.
void SizeToolbox(HWND window, WPARAM edge, RECT *r)
{
    RECT client{}, frame{};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    const int extraW = (frame.right - frame.left) - client.right, extraH = (frame.bottom - frame.top) - client.bottom;
    const int w = RoundToCells(r->right - r->left - extraW, TOOLBOX_CELL_SIZE, TOOLBOX_CELL_SIZE / 2,
                               TOOLBOX_CELL_SIZE, TOOLBOX_CELL_SIZE + TOOLBOX_MAX_EXTRA);
    const int h = RoundToCells(r->bottom - r->top - extraH, TOOLBOX_CELL_SIZE, TOOLBOX_CELL_SIZE / 2,
                               TOOLBOX_CELL_SIZE, TOOLBOX_CELL_SIZE + TOOLBOX_MAX_EXTRA);
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
        r->left = r->right - w - extraW;
    else
        r->right = r->left + w + extraW;
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
        r->top = r->bottom - h - extraH;
    else
        r->bottom = r->top + h + extraH;
}

bool MouseIgnored()
{
    return g_StartScreen || GetCapture() != nullptr;
}

LRESULT Mouse(const ToolMember *m, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m->relaysTooltips && g_Options.tooltipVisible)
        StatusRelayTooltip(window, message, wParam, lParam);
    const int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
    auto run = [&](MouseHandler h) {
        if (h)
            h(window, x, y);
    };
    switch (message) {
    case WM_MOUSEMOVE:
        if (MouseIgnored())
            return 0;
        WindowSetActive(g_ActiveWindow, 0);
        run(m->move);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (g_PopupByRightButton || MouseIgnored())
            return 0;
        run(message == WM_LBUTTONDOWN ? m->lDown : m->rDown);
        run(m->move);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (g_PopupByRightButton) {
            g_PopupByRightButton = 0;
            return 0;
        }
        if (g_StartScreen)
            return 0;
        run(message == WM_LBUTTONUP ? m->lUp : m->rUp);
        run(m->move);
        return 0;
    case WM_MBUTTONUP:
        g_PopupByRightButton = 0;
        return 0;
    default:
        return 0;
    }
}

LRESULT ToolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const ToolMember *m = MemberOf(window);
    switch (message) {
    case WM_CREATE:
        BuildSystemMenu(window);
        break;
    case WM_PAINT: {
        if (!m)
            break;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (!g_StartScreen && !g_Closing)
            m->paint(window, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_MOVE:
    case WM_SIZE:
        if (m) {
            if (!IsDocked(window) && IsWindowVisible(window)) {
                RECT r{};
                GetWindowRect(window, &r);
                m->placement->pos = POINT{r.left, r.top};
                m->placement->size = SIZE{r.right - r.left, r.bottom - r.top};
            }
            if (m->relayout)
                m->relayout(window);
        }
        break;
    case WM_SIZING:
        if (m && m->handle == &hGlobalToolbox && !IsDocked(window)) {
            SizeToolbox(window, wParam, reinterpret_cast<RECT *>(lParam));
            return TRUE;
        }
        break;
    case WM_SYSCOMMAND: {
        const int id = int(wParam);
        if (id >= CORNER_TOP_LEFT && id <= CORNER_BOTTOM_RIGHT) {
            PlaceInCorner(window, id);
            return 0;
        }
        if (id == KEEP_PLACEMENT) {
            if (WindowPlacement *p = PlacementOf(window))
                p->keep = !p->keep;
            return 0;
        }
        break;
    }
    case WM_INITMENU:
        if (WindowPlacement *p = PlacementOf(window))
            CheckMenuItem(GetSystemMenu(window, FALSE), KEEP_PLACEMENT, p->keep ? MF_CHECKED : MF_UNCHECKED);
        break;
    case WM_VSCROLL:
        if (m && m->handle == &hGlobalSymbol) {
            StatusSymbolVScroll(window, LOWORD(wParam), short(HIWORD(wParam)));
            return 0;
        }
        break;
    case WM_COMMAND:
        if (m && m->handle == &hGlobalProp) {
            g_PopupByRightButton = 0;
            return StatusPropertyCommand(LOWORD(wParam));
        }
        break;
    case WM_CLOSE: {
        // Closing hides the window and switches it off in the options.
        uint32_t *visible = VisibilitySwitch(window);
        if (!visible || !*visible)
            return 0;
        // A docked window is part of the main window's frame.
        if (IsDocked(window) || (m && m->handle == &hGlobalStatus && g_CoordEntryWnd)) {
            InitBeep();
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
    case WM_MOUSEACTIVATE:
        // A click on a painted tool window leaves the activation, and with it
        // the keys and the menu bar, with the main window.
        if (!GetWindow(window, GW_CHILD))
            return MA_NOACTIVATE;
        break;
    case WM_ERASEBKGND:
        // Nothing is painted while the start screen shows or the program closes.
        if (g_StartScreen || g_Closing)
            return 1;
        break;
    case WM_NCDESTROY:
        ForgetHandle(window);
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (m)
            return Mouse(m, window, message, wParam, lParam);
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
// The pen and layer windows hold a tree view that fills their client area.
static LRESULT TreeWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp, bool pens)
{
    switch (m) {
    case WM_CREATE:
        if (pens)
            StatusCreatePenTree(w);
        else
            StatusCreateLayerTree(w);
        break;
    case WM_SIZE:
        if (HWND tree = pens ? hGlobalPenTree : hGlobalLayerTree)
            MoveWindow(tree, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        break;
    case WM_SHOWWINDOW:
        // The tables may have changed while the window was hidden.
        if (wp) {
            if (pens)
                StatusRefillPenTree();
            else
                StatusRefillLayerTree();
        }
        break;
    case WM_NOTIFY:
        return StatusTreeNotify(w, reinterpret_cast<const NMHDR *>(lp));
    case WM_DESTROY:
        if (pens)
            StatusDestroyPenTree();
        else
            StatusDestroyLayerTree();
        break;
    default:
        break;
    }
    return ToolWindowProc(w, m, wp, lp);
}
LRESULT CALLBACK AppPenWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return TreeWindowProc(w, m, wp, lp, true); }
LRESULT CALLBACK AppLayerWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return TreeWindowProc(w, m, wp, lp, false); }
LRESULT CALLBACK AppStatusWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
LRESULT CALLBACK AppToolboxWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
LRESULT CALLBACK AppGuideWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ToolWindowProc(w, m, wp, lp); }
// The view window is a tool window that shows the drawing like a drawing window.
LRESULT CALLBACK AppViewWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    switch (m) {
    case WM_CLOSE:
    case WM_NCDESTROY:
    case WM_SYSCOMMAND:
    case WM_INITMENU:
        return ToolWindowProc(w, m, wp, lp);
    case WM_CREATE:
        ToolWindowProc(w, m, wp, lp);
        return AppDrawWndProc(WINDOW_VIEW, w, m, wp, lp);
    case WM_ERASEBKGND:
        if (g_StartScreen || g_Closing)
            return 1;
        return AppDrawWndProc(WINDOW_VIEW, w, m, wp, lp);
    default:
        return AppDrawWndProc(WINDOW_VIEW, w, m, wp, lp);
    }
}
