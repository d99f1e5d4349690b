// The panel: snap and display switches, the running command's icon and the
// scrolling list of pens or layers; and the mouse rule shared by the drawn
// tool windows.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/init_gdi.h"
#include "app/init_sound.h"
#include "app/status.h"
#include "app/status_track.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "app/write_refresh.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input_prepare_dialogs.h"
#include "dialogs/box13.h"
#include "display/output_paint.h"
#include "language/language.h"

namespace {

constexpr int PANEL_MODE_PENS = 0;
constexpr int PANEL_MODE_LAYERS = 1;
constexpr int PEN_COMMAND_FIRST = 6866;
constexpr int PEN_EDIT_FIRST = 7367;
constexpr int LAYER_COMMAND_FIRST = 5864;
constexpr int LAYER_EDIT_FIRST = 6365;
constexpr int SNAP_MASK = 0x1FF;
constexpr int SMALL_ICON = 20;
constexpr int LABEL_PEN = 0, LABEL_LAYER = 22;
constexpr int HINT_PANEL = -4;
constexpr int CELL_PANEL_COPY_MODE = 96;

// The commands the switch cells run on a left and a right click (0: none).
struct SwitchCell {
    int left, right;
};
const SwitchCell SWITCHES[CELL_PANEL_DOWN - CELL_PANEL_FIRST + 1] = {
    {1015, 1026}, {1016, 1026}, {1017, 1026}, {1018, 1026}, {1019, 1026}, {1020, 1026}, {1021, 1026},
    {1022, 1026}, {1023, 1026}, {1024, 1026}, {1012, 1013}, {571, 0},     {570, 0},     {1007, 0},
    {229, 208},   {1042, 1043}, {1011, 0},    {636, 0},     {635, 0},     {332, 333},   {334, 335},
    {1010, 1010}, {0, 0},       {0, 0},
};

CellTrack s_Panel;
int s_Highlighted = -1;
int s_LastHint = 0;

int Mode() { return g_Options.panelButton; }
bool ListMode() { return Mode() == PANEL_MODE_PENS || Mode() == PANEL_MODE_LAYERS; }
int LastPosition() { return Mode() == PANEL_MODE_PENS ? StatusSortPens() : StatusSortLayers(); }
const int32_t *SortIndex() { return Mode() == PANEL_MODE_PENS ? g_PenSortIndex : g_LayerSortIndex; }
int Active() { return Mode() == PANEL_MODE_PENS ? g_ActivePen : g_ActiveLayer; }

// The record a list row shows.
int RowRecord(int cell)
{
    if (cell == CELL_PANEL_ROW0)
        return 0;
    const int position = cell - CELL_PANEL_ROW0 + g_Tools.panelFirst;
    return position >= 0 && position <= LastPosition() ? SortIndex()[position] : 0;
}

const char *RowName(int record)
{
    return Mode() == PANEL_MODE_PENS ? g_PenDefs[record].name : g_LayerDefs[record].name;
}

bool IsRow(int cell) { return cell >= CELL_PANEL_ROW0 && cell <= CELL_PANEL_ROW0 + g_Tools.panelRows; }

uint32_t CellState(int cell)
{
    uint32_t state = cell == s_Panel.pressed ? TOOL_PRESSED : 0;
    const LocalSnap &snap = g_LocalData.snap;
    const DrawingSettings &d = g_DrawingSettings;
    if (cell == CELL_PANEL_SNAP) {
        if (!(snap.snapModes & SNAP_MASK)) {
            g_LocalData.snap.switches[0] = 0;
            state |= TOOL_DISABLED;
        } else if (snap.switches[0]) {
            state |= TOOL_CHECKED;
        }
    } else if (cell >= 81 && cell <= 89) {
        if (snap.snapModes & (1 << (cell - 81)))
            state |= TOOL_CHECKED;
    } else {
        bool checked = false;
        switch (cell) {
        case CELL_PANEL_ORTHO: checked = d.displayOrtho != 0; break;
        case 94: checked = d.commentDisplay[0] != 0; break;
        case CELL_PANEL_COPY_MODE: checked = d.displayDuplicate != 0; break;
        case 97: checked = d.displayGeometry[1] != 0; break;
        case 98: checked = d.displayGeometry[0] != 0; break;
        case 99: checked = g_CurrentSystem.displayGrid != 0; break;
        case 100: checked = g_CurrentSystem.catchGrid != 0; break;
        default: break;
        }
        if (checked)
            state |= TOOL_CHECKED;
    }
    const int rows = g_Tools.panelRows;
    const int last = ListMode() ? LastPosition() : 0;
    if (cell == CELL_PANEL_UP && (rows < 1 || rows >= last || g_Tools.panelFirst <= 0))
        state |= TOOL_DISABLED;
    if (cell == CELL_PANEL_DOWN && (rows < 1 || rows >= last || g_Tools.panelFirst >= last - rows))
        state |= TOOL_DISABLED;
    if (IsRow(cell)) {
        const int record = RowRecord(cell);
        const bool pointer = g_CommandState && g_CommandState->commandId == COMMAND_POINTER;
        if (record == Active() && (cell == CELL_PANEL_ROW0 || !pointer))
            state |= TOOL_CHECKED;
    }
    return state;
}

// A filled triangle eight pixels wide and four high, its apex up or down.
void Triangle(HDC dc, int cx, int top, bool up, COLORREF colour)
{
    const POINT p[3] = {{cx - 5, up ? top + 4 : top}, {cx + 3, up ? top + 4 : top}, {cx - 1, up ? top : top + 4}};
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, p, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

// The copy-mode cell's second picture: a plus in its lower right corner
// while the running command honours the copy mode.
void CopyModeMark(HDC dc, int right, int bottom, COLORREF colour)
{
    constexpr int ARM = 3;
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    const int cx = right - ARM - 1, cy = bottom - ARM - 1;
    MoveToEx(dc, cx - ARM, cy, nullptr);
    LineTo(dc, cx + ARM + 1, cy);
    MoveToEx(dc, cx, cy - ARM, nullptr);
    LineTo(dc, cx, cy + ARM + 1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// The command's icon at half size, for the switch cells.
void SmallCommandIcon(HDC dc, int commandId, int x, int y, COLORREF colour)
{
    HBITMAP icon = ConvertCommandToIcon(commandId);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, icon);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    // Set pixels become black in an AND pass, then take the colour in an OR pass.
    const int oldMode = SetStretchBltMode(dc, BLACKONWHITE);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    StretchBlt(dc, x, y, SMALL_ICON, SMALL_ICON, mem, 0, 0, BOX13_ICON_SIZE, BOX13_ICON_SIZE, SRCAND);
    SetBkColor(dc, colour);
    SetTextColor(dc, RGB(0, 0, 0));
    StretchBlt(dc, x, y, SMALL_ICON, SMALL_ICON, mem, 0, 0, BOX13_ICON_SIZE, BOX13_ICON_SIZE, SRCPAINT);
    SetStretchBltMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(icon);
}

void PaintPenRow(HDC dc, const RECT &r, int o, int record)
{
    const PenDef &pen = g_PenDefs[record];
    const Property &p = g_DrawingSettings.displayExtern ? pen.setB : pen.setA;
    const int h = r.bottom - r.top;
    RECT line{r.left + 2 + o, r.top + 2 + o, r.left + h - 6 + o, r.bottom - 6 + o};
    RECT fill{r.right - h + 5 + o, line.top, r.right - 3 + o, line.bottom};
    const bool drawsLines = p.fillMode == 0 || p.fillMode == 2 || p.fillMode == 4;
    if (drawsLines) {
        RECT bar{line.left, (line.top + line.bottom) / 2 - 2, line.right, (line.top + line.bottom) / 2 + 3};
        HBRUSH b = CreateSolidBrush(p.color2);
        FillRect(dc, &bar, b);
        DeleteObject(b);
    }
    if (p.fillMode == 1 || p.fillMode == 2) {
        HBRUSH b = CreateSolidBrush(p.color1);
        FillRect(dc, &fill, b);
        DeleteObject(b);
    } else if (p.fillMode >= 3) {
        FillRect(dc, &fill, g_SharedGdi.drawAreaBrush ? g_SharedGdi.drawAreaBrush : GetSysColorBrush(COLOR_WINDOW));
    }
    for (const RECT *box : {&line, &fill}) {
        const bool cross = box == &line ? !drawsLines : (p.fillMode == 0 || p.fillMode >= 3);
        if (cross) {
            MoveToEx(dc, box->left, box->top, nullptr);
            LineTo(dc, box->right, box->bottom);
            MoveToEx(dc, box->left, box->bottom, nullptr);
            LineTo(dc, box->right, box->top);
        }
        RECT frame = *box;
        InflateRect(&frame, 1, 1);
        FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    if (p.lineType >= 0 && p.lineType < LINE_SLOTS) {
        RECT sample{r.left + 2 + o, r.bottom - 5 + o, r.right - 3 + o, r.bottom - 3 + o};
        OutputDrawLineDefSample(dc, &sample, &g_LineDefs[p.lineType]);
    }
    char text[32];
    StatusWidthText(text, sizeof text, p.width);
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    TextOutA(dc, (r.left + r.right) / 2 + o, r.bottom - 7 + o, text, lstrlenA(text));
}

void RepaintCell(int cell) { StatusRepaintCell(cell); }

void RepaintRange(int first, int last)
{
    if (!hGlobalPanel)
        return;
    HDC dc = GetDC(hGlobalPanel);
    for (int c = first; c <= last; ++c)
        StatusPaintPanelCell(dc, c);
    ReleaseDC(hGlobalPanel, dc);
}

void Scroll(int direction)
{
    ToolMetrics &t = g_Tools;
    const int r = t.panelRows;
    if (r < 1)
        return;
    if (r >= PANEL_ROWS_MAX) {
        t.panelRows = PANEL_ROWS_MAX;
        t.panelFirst = 0;
        RepaintRange(CELL_PANEL_UP, CELL_PANEL_DOWN);
        InitBeep();
        return;
    }
    const int n = LastPosition();
    if (direction < 0 && t.panelFirst > 0)
        t.panelFirst = std::max(0, t.panelFirst - r);
    else if (direction > 0 && t.panelFirst < n - r)
        t.panelFirst = std::min(t.panelFirst + r, n - r);
    else {
        InitBeep();
        return;
    }
    RepaintRange(CELL_PANEL_UP, CELL_PANEL_ROW0 + r);
    StatusDestroyTooltips();
    StatusCreateTooltips();
}

} // namespace

// ---------------------------------------------------------------------------
// The shared mouse rule

int StatusMouseAllowed() { return g_ModalDepth == 0; }

int StatusPressAllowed()
{
    if (!StatusMouseAllowed())
        return 0;
    if (g_CommandState && CommandMode() == TEMPLATE_HELP_PICK) {
        ConvertShowContextHelp();
        return 0;
    }
    return 1;
}

void StatusTrackPress(CellTrack &t, int cell, bool allowed, void (*repaint)(int))
{
    if (!allowed || cell < 0) {
        InitBeep();
        return;
    }
    t.down = t.pressed = cell;
    repaint(cell);
}

void StatusTrackMove(CellTrack &t, int cell, void (*repaint)(int))
{
    if (t.down < 0)
        return;
    if (cell != t.down && t.pressed >= 0) {
        t.pressed = -1;
        repaint(t.down);
    } else if (cell == t.down && t.pressed < 0) {
        t.pressed = t.down;
        repaint(t.down);
    }
}

int StatusTrackRelease(CellTrack &t, int cell, void (*repaint)(int))
{
    const int down = t.down;
    const int acts = down >= 0 && cell == t.pressed ? down : -1;
    t.down = t.pressed = -1;
    if (down >= 0)
        repaint(down);
    return acts;
}

void (*g_StatusCommandSeam)(int commandId) = nullptr;

void StatusRefuse() { InitBeep(); }

void StatusRunCommand(int commandId)
{
    if (g_StatusCommandSeam)
        g_StatusCommandSeam(commandId);
    else
        CommandExecute(commandId, 0);
}

void StatusShowHint(int hint, int owner, const char *label, const char *text)
{
    if (text) {
        if (hint == s_LastHint)
            return;
        s_LastHint = hint;
        WriteShowStatusText(label, text);
        return;
    }
    if (s_LastHint == owner)
        return;
    s_LastHint = owner;
    WriteShowStatusText(eStatusTexts[STATUS_TEXT_HINT], "");
}

// ---------------------------------------------------------------------------
// Painting

void StatusPaintPanelCell(HDC dc, int cell)
{
    if (!g_Options.panelVisible || cell < CELL_PANEL_FIRST || cell > CELL_PANEL_ROW0 + g_Tools.panelRows ||
        g_ToolCells[cell].left < 0)
        return;
    const RECT &r = g_ToolCells[cell];
    const uint32_t state = CellState(cell);
    if (cell == CELL_PANEL_COMMAND) {
        const int running = g_CommandState ? g_CommandState->commandId : COMMAND_POINTER;
        StatusDrawCommandButton40(dc, running, TOOL_COLOUR2 | TOOL_PRESSED, r);
        return;
    }
    COLORREF colour = 0;
    const int o = StatusDrawToolFace(dc, state, r, &colour);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, StatusPanelFont());
    SetTextColor(dc, colour);
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    const int cx = (r.left + r.right) / 2 + o, cy = (r.top + r.bottom) / 2 + o;
    char text[128];
    if (cell == CELL_PANEL_SNAP) {
        SmallCommandIcon(dc, SWITCHES[0].left, cx + (r.right - r.left) / 4 - 10, cy - 9, colour);
        std::snprintf(text, sizeof text, "%d", (int)g_LocalData.snap.pickAperture);
        TextOutA(dc, cx - 12, cy + 3 + 4, text, lstrlenA(text));
    } else if (cell < CELL_PANEL_COMMAND) {
        // The snap modes show what they catch, the other switches what they switch.
        SmallCommandIcon(dc, SWITCHES[cell - CELL_PANEL_FIRST].left, cx - 10, cy - 10, colour);
        if (cell == CELL_PANEL_COPY_MODE && g_CommandState && InputUsesCopyMode(g_CommandState->commandId))
            CopyModeMark(dc, r.right - 3 + o, r.bottom - 3 + o, colour);
    } else if (cell == CELL_PANEL_UP) {
        Triangle(dc, cx, cy - 6, true, colour);
        Triangle(dc, cx, cy - 2, true, colour);
    } else if (cell == CELL_PANEL_DOWN) {
        Triangle(dc, cx, cy - 2, false, colour);
        Triangle(dc, cx, cy + 2, false, colour);
    } else if (Mode() == PANEL_MODE_PENS) {
        PaintPenRow(dc, r, o, RowRecord(cell));
    } else {
        RECT text_r{r.left + 2 + o, r.top + 2 + o, r.right - 3 + o, r.bottom - 2 + o};
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        DrawTextA(dc, RowName(RowRecord(cell)), -1, &text_r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    StatusDrawToolBorder(dc, state, r);
    SetBkMode(dc, oldMode);
}

void StatusPaintPanel(HWND panel, HDC dc)
{
    if (!g_Options.panelVisible)
        return;
    StatusLayoutPanel();
    StatusLayoutPanelList(panel);
    const int lastCell = CELL_PANEL_ROW0 + g_Tools.panelRows;
    for (int c = CELL_PANEL_FIRST; c <= lastCell; ++c)
        StatusPaintPanelCell(dc, c);
    RECT client{};
    GetClientRect(panel, &client);
    const int below = g_Tools.panelRows > 0 ? g_ToolCells[lastCell].bottom : g_ToolCells[CELL_PANEL_DOWN].bottom;
    RECT rest{client.left, below, client.right, client.bottom};
    FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
    if (ListMode())
        s_Highlighted = Active();
    const int remaining = client.bottom - below;
    if (!g_Options.panelMoveable && remaining >= 35) {
        const int w = g_Tools.panelWidth;
        HICON logo = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
        if (logo)
            DrawIcon(dc, w / 2 - 16, client.bottom - std::min(w / 2, remaining / 2) - 14, logo);
    }
}

void StatusRepaintCell(int cell)
{
    HWND w = cell < CELL_PROP_FIRST ? hGlobalStatus : cell < CELL_PANEL_FIRST ? hGlobalProp : hGlobalPanel;
    if (!w)
        return;
    HDC dc = GetDC(w);
    if (cell >= CELL_PANEL_FIRST)
        StatusPaintPanelCell(dc, cell);
    else if (cell >= CELL_PROP_FIRST)
        StatusPaintPropertyCell(dc, cell);
    ReleaseDC(w, dc);
}

// ---------------------------------------------------------------------------
// Mouse

int StatusHitCells(int first, int last, int x, int y)
{
    for (int c = first; c <= last; ++c) {
        const RECT &r = g_ToolCells[c];
        if (r.left >= 0 && x >= r.left && x <= r.right && y >= r.top && y <= r.bottom)
            return c;
    }
    return -1;
}

int StatusPanelHitTest(int x, int y)
{
    if (!g_Options.panelVisible)
        return -1;
    return StatusHitCells(CELL_PANEL_FIRST, CELL_PANEL_ROW0 + g_Tools.panelRows, x, y);
}

void StatusPanelLButtonDown(HWND, int x, int y)
{
    if (!StatusPressAllowed())
        return;
    const int cell = StatusPanelHitTest(x, y);
    StatusTrackPress(s_Panel, cell, cell >= CELL_PANEL_FIRST, RepaintCell);
}

void StatusPanelRButtonDown(HWND, int x, int y)
{
    if (!StatusPressAllowed())
        return;
    const int cell = StatusPanelHitTest(x, y);
    const bool allowed = (cell >= CELL_PANEL_FIRST && cell <= CELL_PANEL_ORTHO) || cell == 94 || cell == 95 ||
                         cell == 99 || cell == 100 || cell == CELL_PANEL_COMMAND || IsRow(cell);
    StatusTrackPress(s_Panel, cell, allowed, RepaintCell);
}

void StatusPanelLButtonUp(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int cell = StatusTrackRelease(s_Panel, StatusPanelHitTest(x, y), RepaintCell);
    if (cell < 0)
        return;
    if (cell == CELL_PANEL_UP || cell == CELL_PANEL_DOWN)
        Scroll(cell == CELL_PANEL_UP ? -1 : 1);
    else if (IsRow(cell))
        StatusRunCommand((Mode() == PANEL_MODE_PENS ? PEN_COMMAND_FIRST : LAYER_COMMAND_FIRST) + RowRecord(cell));
    else
        StatusRunCommand(SWITCHES[cell - CELL_PANEL_FIRST].left);
}

void StatusPanelRButtonUp(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int cell = StatusTrackRelease(s_Panel, StatusPanelHitTest(x, y), RepaintCell);
    if (cell < 0)
        return;
    if (IsRow(cell))
        StatusRunCommand((Mode() == PANEL_MODE_PENS ? PEN_EDIT_FIRST : LAYER_EDIT_FIRST) + RowRecord(cell));
    else if (cell <= CELL_PANEL_DOWN && SWITCHES[cell - CELL_PANEL_FIRST].right)
        StatusRunCommand(SWITCHES[cell - CELL_PANEL_FIRST].right);
    else
        InitBeep();
}

void StatusPanelMouseMove(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int cell = StatusPanelHitTest(x, y);
    StatusTrackMove(s_Panel, cell, RepaintCell);
    if (x < 0 || y < 0)
        return;
    if (cell < 0) {
        StatusShowHint(0, HINT_PANEL, nullptr, nullptr);
    } else if (cell <= CELL_PANEL_DOWN) {
        StatusShowHint(cell, HINT_PANEL, eStatusTexts[STATUS_TEXT_HINT], eIconNames[cell - CELL_PANEL_FIRST]);
    } else {
        char text[128];
        std::snprintf(text, sizeof text, eIconNames[24], RowName(RowRecord(cell)));
        StatusShowHint(cell, HINT_PANEL, Mode() == PANEL_MODE_PENS ? eStatusTexts[LABEL_PEN] : eStatusTexts[LABEL_LAYER],
                       text);
    }
}
