// One tooltip window for the cells of the panel and the property bar and the
// margin buttons of the drawing windows.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "app/darad4.h"
#include "app/init.h"
#include "app/status.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "language/language.h"

namespace {

constexpr int MARGIN_TEXT_FIRST = 39;
constexpr int ROW_TEXT = 24;
constexpr int TOOL_TEXT_SIZE = 128;

int s_ToolCount = 0;

int AddTool(HWND owner, int id, const RECT &rect, const char *text)
{
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.hwnd = owner;
    info.uId = UINT_PTR(id);
    info.rect = rect;
    info.lpszText = const_cast<char *>(text);
    if (!SendMessageA(hGlobalTooltip, TTM_ADDTOOLA, 0, LPARAM(&info))) {
        InitErrorBox(__FILE__, __LINE__, "TTM_ADDTOOL failure.");
        return 0;
    }
    ++s_ToolCount;
    return 1;
}

// The texts of the property cells 23 to 79.
int PropertyText(int cell)
{
    if (cell <= 28)
        return 25 + cell - 23;
    if (cell <= 38)
        return 31;
    if (cell <= 54)
        return 32;
    if (cell <= 59)
        return 33 + cell - 55;
    if (cell <= 75)
        return 38;
    static const int ACTIVE[4] = {43, 42, 41, 40};
    return ACTIVE[cell - 76];
}

} // namespace

int StatusTooltipCount() { return hGlobalTooltip ? s_ToolCount : 0; }

int StatusCreateTooltips()
{
    s_ToolCount = 0;
    hGlobalTooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, g_MainWnd,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hGlobalTooltip) {
        InitErrorBox(__FILE__, __LINE__, "Unable to create \"hGlobalTooltip\".");
        return 0;
    }
    for (int cell = CELL_PANEL_FIRST; cell <= CELL_PANEL_DOWN; ++cell) {
        int entry = cell - CELL_PANEL_FIRST;
        if (cell >= CELL_PANEL_UP)
            entry = g_Options.panelButton == 1 ? 23 : 22;
        if (!AddTool(hGlobalPanel, cell, g_ToolCells[cell], eTooltipTexts[entry]))
            return 0;
    }
    static char rowTexts[PANEL_ROWS_MAX + 1][TOOL_TEXT_SIZE];
    for (int k = 0; k <= g_Tools.panelRows; ++k) {
        const int32_t *index = g_Options.panelButton == 1 ? g_LayerSortIndex : g_PenSortIndex;
        const int record = k == 0 ? 0 : index[k + g_Tools.panelFirst];
        const char *name = g_Options.panelButton == 1 ? g_LayerDefs[record].name : g_PenDefs[record].name;
        std::snprintf(rowTexts[k], TOOL_TEXT_SIZE, eTooltipTexts[ROW_TEXT], name);
        if (!AddTool(hGlobalPanel, CELL_PANEL_ROW0 + k, g_ToolCells[CELL_PANEL_ROW0 + k], rowTexts[k]))
            return 0;
    }
    for (int cell = CELL_PROP_FIRST; cell <= CELL_PROP_SYSTEM; ++cell)
        if (!AddTool(hGlobalProp, cell, g_ToolCells[cell], eTooltipTexts[PropertyText(cell)]))
            return 0;
    for (int n = 0; n < WINDOW_DRAW_COUNT; ++n)
        for (int k = 0; k < MARGIN_BUTTONS; ++k)
            if (!AddTool(g_DrawWindows[n].hwnd, 1000 + 100 * n + k, g_DrawWindows[n].buttonRects[k],
                         eTooltipTexts[MARGIN_TEXT_FIRST + k]))
                return 0;
    for (int k = 0; k < MARGIN_BUTTONS; ++k)
        if (!AddTool(g_ViewWindow.hwnd, 2000 + k, g_ViewWindow.buttonRects[k], eTooltipTexts[MARGIN_TEXT_FIRST + k]))
            return 0;
    SendMessageA(hGlobalTooltip, TTM_ACTIVATE, g_Options.tooltipVisible ? TRUE : FALSE, 0);
    return 1;
}

void StatusDestroyTooltips()
{
    if (hGlobalTooltip)
        DestroyWindow(hGlobalTooltip);
    hGlobalTooltip = nullptr;
    s_ToolCount = 0;
}

void StatusRelayTooltip(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!hGlobalTooltip || !g_Options.tooltipVisible)
        return;
    MSG msg{window, message, wParam, lParam, DWORD(GetMessageTime()), {}};
    msg.pt.x = short(LOWORD(lParam));
    msg.pt.y = short(HIWORD(lParam));
    SendMessageA(hGlobalTooltip, TTM_RELAYEVENT, 0, LPARAM(&msg));
}
