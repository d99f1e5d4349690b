// Sizes of the tool windows and the rectangles of their cells, from the
// extents of their fonts.
#include <algorithm>

#include "app/darad4.h"
#include "app/init_gdi.h"
#include "app/status.h"
#include "app/system.h"
#include "app/window.h"

RECT g_ToolCells[TOOL_CELLS];
ToolMetrics g_Tools;

namespace {

constexpr const char *PANEL_SAMPLE = "-3456eeW"; // the first eight characters of "-3456eeWi"
constexpr const char *STATUS_SAMPLE = "dx=-1,9999e+999";
constexpr int PANEL_GAP = 4;
constexpr int PANEL_COMMAND_HEIGHT = 46;
constexpr int PANEL_LOGO_ROOM = 34;
constexpr int PROPERTY_GAP = 4;

void Set(int cell, int l, int t, int r, int b) { g_ToolCells[cell] = RECT{l, t, r, b}; }
void Hide(int first, int last)
{
    for (int c = first; c <= last; ++c)
        g_ToolCells[c] = RECT{-1, -1, -1, -1};
}

int ClientWidth(HWND w)
{
    RECT r{};
    if (w)
        GetClientRect(w, &r);
    return r.right;
}

HFONT s_StatusFont = nullptr;

} // namespace

SIZE StatusTextExtent(HFONT font, const char *text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}


HFONT StatusPanelFont()
{
    return g_SharedGdi.panelFont ? g_SharedGdi.panelFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HFONT StatusStatusFont()
{
    if (!s_StatusFont && g_Options.statusFontName[0] && g_Options.statusFontSize > 0)
        s_StatusFont = InitCreateFont(g_Options.statusFontName, -g_Options.statusFontSize);
    return s_StatusFont ? s_StatusFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void StatusLayoutPanel()
{
    const SIZE e = StatusTextExtent(StatusPanelFont(), PANEL_SAMPLE);
    ToolMetrics &t = g_Tools;
    const int w = int(e.cx), h = int(e.cy);
    int c = ((w * 14 + 16) / 32 + (h * 14 + 4) / 8) / 2;
    c = std::max(c & ~1, 24);
    const int m = g_Options.panelMoveable ? 0 : 2;
    const int r = std::max((h * 10 + 4) / 8, 19);
    t.panelCell = c, t.panelMargin = m, t.panelRow = r, t.panelWidth = 2 * (c + m);
    Set(CELL_PANEL_SNAP, m, m, m + 2 * c, m + r);
    int y = m + r;
    for (int cell = 81; cell <= 100; cell += 2) {
        if (cell == 91)
            y += PANEL_GAP;
        Set(cell, m, y, c + m, y + c);
        Set(cell + 1, c + m, y, m + 2 * c, y + c);
        y += c;
    }
    // Cell 101 follows the last pair (cells 99 and 100).
    y = g_ToolCells[100].bottom + PANEL_GAP;
    Set(CELL_PANEL_COMMAND, m, y, m + 2 * c, y + PANEL_COMMAND_HEIGHT);
    y += PANEL_COMMAND_HEIGHT + PANEL_GAP;
    Set(CELL_PANEL_ROW0, m, y, m + 2 * c, y + r);
    y += r;
    Set(CELL_PANEL_UP, m, y, c + m, y + r);
    Set(CELL_PANEL_DOWN, c + m, y, m + 2 * c, y + r);
    y += r;
    t.panelListTop = y;
    for (int k = 0; k < PANEL_ROWS_MAX; ++k)
        Set(CELL_PANEL_ROW0 + 1 + k, m, y + k * r, m + 2 * c, y + (k + 1) * r);
}

void StatusLayoutPanelList(HWND panel)
{
    ToolMetrics &t = g_Tools;
    const int lastPen = StatusSortPens();
    const int lastLayer = StatusSortLayers();
    RECT client{};
    if (panel)
        GetClientRect(panel, &client);
    int rows = 0;
    if (client.bottom > t.panelListTop + t.panelRow) {
        const int room = client.bottom - t.panelListTop - (g_Options.panelMoveable ? 0 : PANEL_LOGO_ROOM);
        rows = std::clamp(room / t.panelRow - 2, 0, PANEL_ROWS_MAX);
    }
    const int mode = g_Options.panelButton;
    if (!g_Options.panelVisible || (mode != 0 && mode != 1)) {
        t.panelRows = 0;
        return;
    }
    const int last = mode == 0 ? lastPen : lastLayer;
    t.panelRows = std::min(rows, last);
    if (t.panelFirst > last - t.panelRows)
        t.panelFirst = std::max(0, last - t.panelRows);
}

void StatusLayoutStatusBar()
{
    const SIZE e = StatusTextExtent(StatusStatusFont(), STATUS_SAMPLE);
    g_Tools.statusTextWidth = int(e.cx);
    g_Tools.statusTextHeight = int(e.cy);
    g_Tools.statusHeight = int(e.cy) + 8;
}

void StatusLayoutStatusFields(HWND status)
{
    StatusLayoutStatusBar();
    const int w = g_Tools.statusTextWidth, h = g_Tools.statusTextHeight;
    const int W = ClientWidth(status) - 4;
    const int u = std::min(std::max(w + 4, W / 9), W / 8);
    const int lefts[CELL_STATUS_FIELDS] = {6 * u + 30, 6, u + 10, 2 * u + 14, 3 * u + 18, 4 * u + 22,
                                           5 * u + 26, 2 * u + 14, 4 * u + 22, 3 * u + 18, 2 * u + 14};
    const int rights[CELL_STATUS_FIELDS] = {W - 2, u + 2, 2 * u + 6, 3 * u + 10, 4 * u + 14, 5 * u + 18,
                                            6 * u + 22, 6 * u + 22, 6 * u + 22, 6 * u + 22, 4 * u + 14};
    for (int f = 0; f < CELL_STATUS_FIELDS; ++f) {
        Set(f, lefts[f], 4, rights[f], h + 4);
        Set(f + 12, lefts[f] - 3, 3, rights[f] + 3, h + 5);
    }
    RECT client{};
    if (status)
        GetClientRect(status, &client);
    g_ToolCells[CELL_STATUS_CLIENT] = client;
}

void StatusLayoutPropertyBar()
{
    const SIZE e = StatusTextExtent(StatusPanelFont(), PANEL_SAMPLE);
    const int h = int(e.cy);
    ToolMetrics &t = g_Tools;
    t.propCell = std::max((10 * h + 4) / 8, 18);
    t.propWidthCell = std::max((14 * h + 4) / 8, 26);
    t.propHeight = t.propCell + 4;
}

void StatusLayoutPropertyFields(HWND property)
{
    StatusLayoutPropertyBar();
    ToolMetrics &t = g_Tools;
    const int s = t.propCell, p = t.propWidthCell;
    const int width = ClientWidth(property);
    const bool docked = !g_Options.propertyMoveable;
    int widths = 10, lines = 16, fills = 16;
    if (docked) {
        widths = lines = fills = 0;
        int A = width - 14 * s - 24;
        for (int pass = 0; pass < 100 && s < A; ++pass) {
            if (lines < 16)
                ++lines, A -= s;
            if (s < A && fills < 16)
                ++fills, A -= s;
            if (pass % 2 == 0 && p < A && widths < 10)
                ++widths, A -= p;
        }
    }
    t.presets[0] = widths, t.presets[1] = lines, t.presets[2] = fills;
    Hide(CELL_PROP_FIRST, CELL_PROP_SYSTEM);
    int x = 2;
    for (int cell = CELL_PROP_POINTER; cell <= 27; ++cell, x += s)
        Set(cell, x, 2, x + s, s + 2);
    x += PROPERTY_GAP;
    if (g_Options.propertyButton == 0) {
        if (docked) {
            const int T = width - 5 * s - 4 - 100;
            const int f = T / 4;
            const int g = std::max(150, f) <= T / 2 ? std::max(150, f) : T / 2;
            if (g <= 0 || T / g == 0)
                return;
            const int F = T / (T / g);
            if (F <= 9)
                return;
            Set(CELL_PROP_LAYER, x, 2, x + F + 46, s + 2);
            x += F + 46 + PROPERTY_GAP;
            Set(CELL_PROP_PEN, x, 2, x + F + 46, s + 2);
            x += F + 46 + PROPERTY_GAP;
            int room = T - 2 * (F + 46);
            for (int cell : {CELL_PROP_SYSTEM, CELL_PROP_HATCH}) {
                if (room < F)
                    break;
                Set(cell, x, 2, x + F - 4, s + 2);
                x += F;
                room -= F;
            }
        } else {
            int y = s + 6;
            for (int cell : {CELL_PROP_LAYER, CELL_PROP_PEN, CELL_PROP_SYSTEM, CELL_PROP_HATCH}) {
                Set(cell, 2, y, 16 * s + 2, y + s);
                y += s + PROPERTY_GAP;
            }
        }
        return;
    }
    auto row = [&](int first, int count, int &left, int top, int size) {
        for (int k = 0; k < count; ++k, left += size)
            Set(first + k, left, top, left + size, top + s);
    };
    if (docked) {
        Set(CELL_PROP_LINETYPE, x, 2, x + 4 * s, s + 2);
        x += 4 * s + PROPERTY_GAP;
        row(CELL_PROP_WIDTHS, widths, x, 2, p);
        x += PROPERTY_GAP;
        row(CELL_PROP_LINE_COLOURS, lines, x, 2, s);
        x += PROPERTY_GAP;
        row(CELL_PROP_FILL_MODES, 5, x, 2, s);
        x += PROPERTY_GAP;
        row(CELL_PROP_FILL_COLOURS, fills, x, 2, s);
        return;
    }
    Set(CELL_PROP_LINETYPE, x, 2, 11 * s - 2, s + 2);
    int left = 11 * s + 2;
    row(CELL_PROP_FILL_MODES, 5, left, 2, s);
    left = 2;
    row(CELL_PROP_WIDTHS, 10, left, s + 6, p);
    left = 2;
    row(CELL_PROP_LINE_COLOURS, 16, left, 2 * s + 10, s);
    left = 2;
    row(CELL_PROP_FILL_COLOURS, 16, left, 3 * s + 14, s);
}

void StatusLayoutToolbox()
{
    if (!g_Options.toolboxMoveable) {
        g_Tools.toolboxColumns = 1;
        const RECT &r = g_WindowLayout.toolbox;
        g_Tools.toolboxButtons = std::min<int>(TOOLBOX_MAX_BUTTONS, int(r.bottom - r.top) / TOOLBOX_CELL_SIZE);
    } else {
        g_Tools.toolboxColumns = 2;
        g_Tools.toolboxButtons = 14;
    }
}

void StatusSizeToolbox(HWND toolbox)
{
    RECT client{};
    if (toolbox)
        GetClientRect(toolbox, &client);
    const int columns = int(client.right + 1) / TOOLBOX_CELL_SIZE;
    g_Tools.toolboxColumns = std::max(columns, 1);
    g_Tools.toolboxButtons = std::min<int>(TOOLBOX_MAX_BUTTONS, columns * int((client.bottom + 1) / TOOLBOX_CELL_SIZE));
}

int StatusDockedPanelWidth()
{
    StatusLayoutPanel();
    return g_Tools.panelWidth;
}

int StatusDockedStatusHeight()
{
    StatusLayoutStatusBar();
    return g_Tools.statusHeight;
}

int StatusDockedPropertyHeight()
{
    StatusLayoutPropertyBar();
    return g_Tools.propHeight;
}
