// The arrangement of the main window's client area: docked tool windows along
// its edges, the drawing windows tiled in the work area between them, and
// each drawing window's rulers, margin buttons and drawing area.
#include "app/window_layout.h"

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/status.h"
#include "app/system.h"
#include "database/symbol_block.h"

WindowLayout g_WindowLayout;

namespace {

constexpr double SQUARE_PIXEL_LOW = 0.9;  // pixel ratios strictly between these
constexpr double SQUARE_PIXEL_HIGH = 1.1; // are taken as square pixels
constexpr int RULER_TEXT_MARGIN = 5;
constexpr int FALLBACK_TEXT_HEIGHT = 13;

bool Docked(uint32_t visible, uint32_t moveable)
{
    return visible && !moveable;
}

// The height of a sample text in the small GUI font.
int TextHeight(const char *text)
{
    HDC dc = GetDC(nullptr);
    if (!dc)
        return FALLBACK_TEXT_HEIGHT;
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    const BOOL ok = GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return ok && size.cy > 0 ? size.cy : FALLBACK_TEXT_HEIGHT;
}

void MeasureFurniture()
{
    WindowLayout &l = g_WindowLayout;
    if (l.rulerWidth > 0)
        return;
    l.rulerWidth = TextHeight("-9999") + RULER_TEXT_MARGIN;
    l.buttonSize = TextHeight("Ag");
}

// Docked tool windows are children of the main window along its edges.
void PlaceDocked(HWND tool, uint32_t visible, uint32_t moveable, const RECT &client)
{
    if (!tool || !Docked(visible, moveable) || !(GetWindowLongA(tool, GWL_STYLE) & WS_CHILD))
        return;
    SetWindowPos(tool, nullptr, client.left, client.top, client.right - client.left, client.bottom - client.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowScrollBars(HWND window, bool visible)
{
    if (visible) {
        SetScrollRange(window, SB_HORZ, 0, WINDOW_SCROLL_RANGE, FALSE);
        SetScrollRange(window, SB_VERT, 0, WINDOW_SCROLL_RANGE, FALSE);
    }
    ShowScrollBar(window, SB_BOTH, visible ? TRUE : FALSE);
}

void MoveDrawWindows()
{
    const int count = g_DrawWindowCount;
    HDWP batch = BeginDeferWindowPos(count);
    for (int i = 0; i < count; ++i) {
        const DrawWindow &w = g_DrawWindows[i];
        if (!w.hwnd)
            continue;
        const RECT &f = w.frameRect;
        if (batch) {
            batch = DeferWindowPos(batch, w.hwnd, nullptr, f.left, f.top, f.right - f.left, f.bottom - f.top,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(w.hwnd, nullptr, FALSE);
        }
    }
    if (batch && EndDeferWindowPos(batch))
        return;
    // The batch could not be had: one move at a time.
    for (int i = 0; i < count; ++i) {
        const DrawWindow &w = g_DrawWindows[i];
        if (w.hwnd)
            MoveWindow(w.hwnd, w.frameRect.left, w.frameRect.top, w.frameRect.right - w.frameRect.left,
                       w.frameRect.bottom - w.frameRect.top, TRUE);
    }
}

} // namespace

void WindowComputeScreenMetrics(int32_t widthPixels, int32_t heightPixels, double widthMm, double heightMm,
                                ScreenMetrics *out)
{
    out->widthPixels = widthPixels;
    out->heightPixels = heightPixels;
    out->widthMm = widthMm > 0 ? widthMm : MONITOR_WIDTH_DEFAULT;
    out->heightMm = heightMm > 0 ? heightMm : MONITOR_HEIGHT_DEFAULT;
    double px = widthPixels / out->widthMm, py = heightPixels / out->heightMm;
    if (!(px > 0))
        px = 1.0;
    if (!(py > 0))
        py = 1.0;
    const double mean = (px + py) * 0.5;
    // Rounded to a double, so that a ratio of exactly 0.9 or 1.1 compares equal.
    const volatile double ratio = px / py;
    if (ratio > SQUARE_PIXEL_LOW && ratio < SQUARE_PIXEL_HIGH)
        px = py = mean;
    out->pixelsPerMmX = px;
    out->pixelsPerMmY = py;
    out->pixelsPerMm = mean;
    out->aspectX = px / mean;
    out->aspectY = py / mean;
}

int WindowTile(const RECT &work, int32_t arrangement, int bx, int by, RECT frames[WINDOW_DRAW_COUNT])
{
    const LONG L = work.left, R = work.right, T = work.top, B = work.bottom;
    const LONG midX = (L + R) / 2, x13 = (R - L) / 3 + L, x23 = 2 * (R - L) / 3 + L, x34 = 3 * (R - L) / 4 + L;
    const LONG midY = (T + B) / 2, y13 = (B - T) / 3 + T, y23 = 2 * (B - T) / 3 + T, y34 = 3 * (B - T) / 4 + T;
    for (int i = 0; i < WINDOW_DRAW_COUNT; ++i)
        frames[i] = work;
    RECT *f = frames;
    switch (arrangement) {
    case 1:
        f[0].right = midX;
        f[1].left = midX + bx;
        return 2;
    case 2:
        f[0].bottom = midY;
        f[1].top = midY + by;
        return 2;
    case 3:
        f[0].right = x23;
        f[1].left = x23 + bx, f[1].bottom = midY;
        f[2].left = x23 + bx, f[2].top = midY + by;
        return 3;
    case 4:
        f[0].bottom = y23;
        f[1].top = y23 + by, f[1].right = midX;
        f[2].left = midX + bx, f[2].top = y23 + by;
        return 3;
    case 5:
        f[0].right = midX, f[0].bottom = midY;
        f[1].left = midX + bx, f[1].bottom = midY;
        f[2].right = midX, f[2].top = midY + by;
        f[3].left = midX + bx, f[3].top = midY + by;
        return 4;
    case 6:
        f[0].right = x34;
        for (int i = 1; i < 4; ++i)
            f[i].left = x34 + bx;
        f[1].bottom = y13;
        f[2].top = y13 + by, f[2].bottom = y23;
        f[3].top = y23 + by;
        return 4;
    case 7:
        f[0].bottom = y34;
        for (int i = 1; i < 4; ++i)
            f[i].top = y34 + by;
        f[1].right = x13;
        f[2].left = x13 + bx, f[2].right = x23;
        f[3].left = x23 + bx;
        return 4;
    default:
        return 1;
    }
}

// Docked windows take, in this order, the left edge (panel, then toolbox),
// the bottom (status bar) and the top (property bar) of what is left.
void WindowComputeLayout(HWND mainWindow)
{
    MeasureFurniture();
    const int screenW = g_ScreenWidth > 0 ? g_ScreenWidth : GetSystemMetrics(SM_CXSCREEN);
    const int screenH = g_ScreenHeight > 0 ? g_ScreenHeight : GetSystemMetrics(SM_CYSCREEN);
    WindowComputeScreenMetrics(screenW, screenH, g_MonitorWidth, g_MonitorHeight, &g_ScreenMetrics);

    RECT area{};
    if (mainWindow)
        GetClientRect(mainWindow, &area);
    WindowLayout &l = g_WindowLayout;
    const ProgramOptions &o = g_Options;
    if (Docked(o.panelVisible, o.panelMoveable)) {
        const int width = StatusDockedPanelWidth();
        l.panel = RECT{area.left, area.top, area.left + width, area.bottom};
        area.left += width;
    }
    if (Docked(o.toolboxVisible, o.toolboxMoveable)) {
        l.toolbox = RECT{area.left, area.top, area.left + TOOLBOX_CELL_SIZE, area.bottom};
        area.left += TOOLBOX_CELL_SIZE;
    }
    if (Docked(o.statusVisible, o.statusMoveable)) {
        const int border = GetSystemMetrics(SM_CYBORDER);
        const int height = StatusDockedStatusHeight();
        l.status = RECT{area.left, area.bottom - height, area.right, area.bottom};
        area.bottom -= height + border;
    }
    if (Docked(o.propertyVisible, o.propertyMoveable)) {
        const int height = StatusDockedPropertyHeight();
        l.property = RECT{area.left, area.top, area.right, area.top + height};
        area.top += height;
    }
    if (area.right < area.left)
        area.right = area.left;
    if (area.bottom < area.top)
        area.bottom = area.top;
    l.freeArea = area;
    g_DrawingArea = area;

    RECT frames[WINDOW_DRAW_COUNT];
    g_DrawWindowCount = WindowTile(area, o.windowArrangement, GetSystemMetrics(SM_CXBORDER),
                                   GetSystemMetrics(SM_CYBORDER), frames);
    for (int i = 0; i < WINDOW_DRAW_COUNT; ++i)
        g_DrawWindows[i].frameRect = frames[i];
}

int WindowHasRulers(int window)
{
    if (!g_Options.rulerVisible)
        return 0;
    return window != WINDOW_VIEW || !g_Options.viewSimple;
}

int WindowHasButtons(int window)
{
    if (!g_Options.buttonVisible)
        return 0;
    return window != WINDOW_VIEW || !g_Options.viewSimple;
}

void WindowComputeAreasFrom(int window, const RECT &client)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return;
    MeasureFurniture();
    const LONG W = g_WindowLayout.rulerWidth, s = g_WindowLayout.buttonSize;
    const LONG l = client.left, t = client.top, r = client.right, b = client.bottom;
    const LONG rw = WindowHasRulers(window) ? W : 0;
    w->rulerTopRect = RECT{rw, t, r, rw};
    w->rulerLeftRect = RECT{l, rw, rw, b};
    w->areaRect = RECT{rw, rw, r, b};
    for (RECT &rect : w->buttonRects)
        rect = RECT{-1, -1, -1, -1};
    if (WindowHasButtons(window)) {
        const int corners = window == 0 ? WINDOW_CORNER_BUTTONS : 2;
        for (int i = 0; i < corners; ++i)
            w->buttonRects[i] = RECT{l, b - (corners - i) * s, W, b - (corners - 1 - i) * s};
        w->rulerLeftRect.bottom = b - corners * s - 1;
    }
    if (window == 0) {
        // From the left: toggle 6, toggle 5, then 7 to 13.
        static const int ORDER[WINDOW_TOGGLES] = {6, 5, 7, 8, 9, 10, 11, 12, 13};
        for (int k = 0; k < WINDOW_TOGGLES; ++k)
            w->buttonRects[ORDER[k]] = RECT{r - (WINDOW_TOGGLES - k) * W, t, r - (WINDOW_TOGGLES - 1 - k) * W, t + W};
        w->rulerTopRect.right = r - WINDOW_TOGGLES * W - 1;
    }
}

void WindowComputeAreas(int window)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    RECT client{};
    GetClientRect(w->hwnd, &client);
    WindowComputeAreasFrom(window, client);
}

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

    for (int i = 0; i < WINDOW_DRAW_COUNT; ++i) {
        DrawWindow &w = g_DrawWindows[i];
        if (!w.hwnd)
            continue;
        ShowScrollBars(w.hwnd, o.scrollVisible != 0);
        const bool visible = IsWindowVisible(w.hwnd) != 0;
        if (i < g_DrawWindowCount && !visible) {
            ShowWindow(w.hwnd, SW_SHOWNA);
            WindowComputeAreas(i);
            const double *page = g_PageDefs.frames[g_PageDefs.active >= 0 && g_PageDefs.active < PAGE_SLOTS
                                                       ? g_PageDefs.active
                                                       : 0];
            WindowSetViewRect(i, page[0], page[1], page[2], page[3]);
            w.historyCount = 0;
        } else if (i >= g_DrawWindowCount && visible) {
            ShowWindow(w.hwnd, SW_HIDE);
            w.historyCount = 0;
        }
        w.repaint = 0;
    }
    MoveDrawWindows();
    // The view window goes back to its saved place. (The floating tool
    // windows keep the places the tool-window code gives them.)
    const WindowPlacement &v = o.viewPlacement;
    if (g_ViewWindow.hwnd && v.size.cx > 0 && v.size.cy > 0)
        MoveWindow(g_ViewWindow.hwnd, v.pos.x, v.pos.y, v.size.cx, v.size.cy, TRUE);
    if (g_ViewWindow.hwnd)
        GetWindowRect(g_ViewWindow.hwnd, &g_ViewWindow.frameRect);
}

void WindowRelayout(HWND mainWindow)
{
    WindowArrange(mainWindow);
    const uint32_t tracking = g_AppActive;
    g_AppActive = 0;
    for (int i = 0; i < g_DrawWindowCount; ++i)
        if (g_DrawWindows[i].hwnd)
            UpdateWindow(g_DrawWindows[i].hwnd);
    if (g_ViewWindow.hwnd)
        UpdateWindow(g_ViewWindow.hwnd);
    g_RelayoutPending = 0;
    g_AppActive = tracking;
}

void WindowShowNewDrawing(HWND mainWindow)
{
    // Instances are read without a frame, and a unit without one is culled
    // from every paint.
    SymbolRecalcFrames();
    WindowUpdateAllSystems();
    WindowClearViewHistory();
    g_RelayoutPending = 1;
    if (!mainWindow) {
        g_RelayoutPending = 0;
        return;
    }
    for (const DrawWindow &w : g_DrawWindows)
        if (w.hwnd)
            InvalidateRect(w.hwnd, nullptr, FALSE);
    if (g_ViewWindow.hwnd)
        InvalidateRect(g_ViewWindow.hwnd, nullptr, FALSE);
    WindowRelayout(mainWindow);
}
