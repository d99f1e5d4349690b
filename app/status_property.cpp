// The property bar: the pointer and file buttons, pen 0's line type, the
// width, colour and fill presets, and the active layer, pen, hatch and
// coordinate system.
#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/status.h"
#include "app/status_track.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/command.h"
#include "commands/command_popup.h"
#include "commands/command_state.h"
#include "commands/menu.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box02.h"
#include "dialogs/box04_color.h"
#include "dialogs/box13.h"
#include "display/output_paint.h"
#include "language/language.h"

namespace {

constexpr int HINT_PROPERTY = -5;
const int BUTTON_COMMANDS[5] = {COMMAND_POINTER, 100, 101, 102, 123};
constexpr int RIGHT_COMMANDS[4] = {309, 338, 580, 330}; // layer, pen, hatch, system
constexpr int LINETYPE_EDIT = 340;
// The preset editors opened by the right button: their caption and prompt.
constexpr int HEADLINE_WIDTH_PRESET = 7; // eHeadlineText
constexpr int PROMPT_WIDTH = 18;         // eBoxText
constexpr int CAPTION_COLOUR_PRESET = 1; // eCaptionTexts
constexpr int LINETYPE_COMMAND_FIRST = 6000; // the popup's choice comes back as 6000 + line type
constexpr int LINETYPE_COMMAND_LAST = 6500;

CellTrack s_Property;

Property &PenSet() { return g_PenDefs[0].setB; }
bool PointerRunning() { return g_CommandState && g_CommandState->commandId == COMMAND_POINTER; }

void Repaint(int cell) { StatusRepaintCell(cell); }

void RepaintRange(int first, int last)
{
    for (int c = first; c <= last; ++c)
        Repaint(c);
}

// A preset cell's value: the XProperty field it sets (its own-flag bit and
// the value in place) and the cells of its kind.
struct PresetChoice {
    uint32_t bit;
    int first, last;
    XProperty values;
};

// Copies the field of `bit` from `from` into a pen property set.
void TakeField(Property &p, uint32_t bit, const XProperty &from)
{
    switch (bit) {
    case XPROP_OWN_FILL: p.fillMode = from.fillMode; break;
    case XPROP_OWN_COLOR1: p.color1 = from.color1; break;
    case XPROP_OWN_COLOR2: p.color2 = from.color2; break;
    case XPROP_OWN_WIDTH: p.width = from.width; break;
    case XPROP_OWN_LINETYPE: p.lineType = from.lineType; break;
    default: break;
    }
}

// With a selection held by the pointer the value goes to the selected
// objects; otherwise to pen 0's second set, which the next objects draw with.
void ChoosePreset(const PresetChoice &c)
{
    if (MenuPointerHoldsSelection()) {
        MenuGiveToSelection(c.bit, c.values);
        return;
    }
    TakeField(PenSet(), c.bit, c.values);
    RepaintRange(c.first, c.last);
    g_PenListDirty = 1;
}

uint32_t CellState(int cell)
{
    uint32_t state = cell == s_Property.pressed ? TOOL_PRESSED : 0;
    const Property &p = PenSet();
    const DrawingSettings &d = g_DrawingSettings;
    bool checked = false;
    if (cell == CELL_PROP_POINTER)
        checked = PointerRunning();
    else if (!PointerRunning()) {
        if (cell >= CELL_PROP_WIDTHS && cell < CELL_PROP_LINE_COLOURS)
            checked = d.propLineWidth[cell - CELL_PROP_WIDTHS] == p.width;
        else if (cell >= CELL_PROP_LINE_COLOURS && cell < CELL_PROP_FILL_MODES)
            checked = d.propLineColor[cell - CELL_PROP_LINE_COLOURS] == p.color2;
        else if (cell >= CELL_PROP_FILL_MODES && cell < CELL_PROP_FILL_COLOURS)
            checked = cell - CELL_PROP_FILL_MODES == p.fillMode;
        else if (cell >= CELL_PROP_FILL_COLOURS && cell < CELL_PROP_LAYER)
            checked = d.propFillColor[cell - CELL_PROP_FILL_COLOURS] == p.color1;
    }
    return checked ? state | TOOL_CHECKED : state;
}

template <typename Def, int N> const Def &ActiveRecord(const Def (&table)[N], int index)
{
    return index >= 0 && index < N && table[index].name[0] ? table[index] : table[0];
}

void ColourCell(HDC dc, const RECT &r, int o, COLORREF colour, bool bar)
{
    RECT inner{r.left + 2 + o, r.top + 2 + o, r.right - 3 + o, r.bottom - 3 + o};
    if (bar)
        inner.top = (r.top + r.bottom) / 2 - 2 + o, inner.bottom = inner.top + 5;
    HBRUSH b = CreateSolidBrush(colour);
    FillRect(dc, &inner, b);
    DeleteObject(b);
    RECT frame = inner;
    InflateRect(&frame, 1, 1);
    FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
}

} // namespace

void StatusPaintPropertyCell(HDC dc, int cell)
{
    if (!g_Options.propertyVisible || cell < CELL_PROP_FIRST || cell > CELL_PROP_SYSTEM ||
        g_ToolCells[cell].left < 0)
        return;
    const RECT &r = g_ToolCells[cell];
    const uint32_t state = CellState(cell);
    if (cell >= CELL_PROP_LAYER) {
        const UINT item = (state & TOOL_PRESSED) ? ODS_SELECTED : 0;
        if (cell == CELL_PROP_LAYER) {
            const LayerDef &l = ActiveRecord(g_LayerDefs, g_ActiveLayer);
            Box01PaintLayerButton(dc, &r, item, l.state, l.name, 0);
        } else if (cell == CELL_PROP_PEN) {
            const PenDef &p = ActiveRecord(g_PenDefs, g_ActivePen);
            Box01PaintLayerButton(dc, &r, item, p.state, p.name, 0);
        } else if (cell == CELL_PROP_HATCH) {
            Box01PaintTextButton(dc, &r, item, ActiveRecord(g_HatchDefs, g_CurrentHatch).name, 0);
        } else {
            Box01PaintTextButton(dc, &r, item, ActiveRecord(g_SystemDefs, g_CurrentSystem.system).name, 0);
        }
        return;
    }
    COLORREF colour = 0;
    const int o = StatusDrawToolFace(dc, state, r, &colour);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, StatusPanelFont());
    SetTextColor(dc, colour);
    const int cx = (r.left + r.right) / 2 + o, cy = (r.top + r.bottom) / 2 + o;
    const Property &p = PenSet();
    const DrawingSettings &d = g_DrawingSettings;
    if (cell <= 27) {
        // The command's icon shrunk to the cell.
        HBITMAP icon = Box13CommandBitmap40(BUTTON_COMMANDS[cell - CELL_PROP_POINTER]);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, icon);
        SetBkColor(dc, colour);
        SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
        const int size = r.bottom - r.top - 4;
        const int mode = SetStretchBltMode(dc, WHITEONBLACK);
        StretchBlt(dc, r.left + 2 + o, r.top + 2 + o, size, size, mem, 0, 0, BOX13_ICON_SIZE, BOX13_ICON_SIZE,
                   SRCCOPY);
        SetStretchBltMode(dc, mode);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(icon);
    } else if (cell == CELL_PROP_LINETYPE) {
        const POINT tri[3] = {{r.right - 9 + o, cy - 4}, {r.right - 5 + o, cy}, {r.right - 9 + o, cy + 4}};
        HBRUSH b = CreateSolidBrush(colour);
        HGDIOBJ ob = SelectObject(dc, b);
        Polygon(dc, tri, 3);
        SelectObject(dc, ob);
        DeleteObject(b);
        if (p.lineType >= 0 && p.lineType < LINE_SLOTS) {
            RECT sample{r.left + 5 + o, cy - 1, r.right - 14 + o, cy + 2};
            OutputDrawLineDefSample(dc, &sample, &g_LineDefs[p.lineType]);
        }
        RECT frame{r.left + 3 + o, r.top + 3 + o, r.right - 12 + o, r.bottom - 3 + o};
        FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
    } else if (cell < CELL_PROP_LINE_COLOURS) {
        char shown[32];
        StatusWidthText(shown, sizeof shown, d.propLineWidth[cell - CELL_PROP_WIDTHS]);
        SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        TextOutA(dc, cx, cy + 4, shown, lstrlenA(shown));
        SetTextAlign(dc, TA_LEFT | TA_TOP);
    } else if (cell < CELL_PROP_FILL_MODES) {
        ColourCell(dc, r, o, d.propLineColor[cell - CELL_PROP_LINE_COLOURS], true);
    } else if (cell < CELL_PROP_FILL_COLOURS) {
        char text[4];
        std::snprintf(text, sizeof text, "%d", cell - CELL_PROP_FILL_MODES);
        SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        TextOutA(dc, cx, cy + 4, text, lstrlenA(text));
        SetTextAlign(dc, TA_LEFT | TA_TOP);
    } else {
        ColourCell(dc, r, o, d.propFillColor[cell - CELL_PROP_FILL_COLOURS], false);
    }
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    StatusDrawToolBorder(dc, state, r);
}

void StatusPaintPropertyBar(HWND property, HDC dc)
{
    if (!g_Options.propertyVisible)
        return;
    StatusLayoutPropertyFields(property);
    RECT client{};
    GetClientRect(property, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    for (int c = CELL_PROP_FIRST; c <= CELL_PROP_SYSTEM; ++c)
        StatusPaintPropertyCell(dc, c);
}

void StatusRefreshActiveCells() { RepaintRange(CELL_PROP_LAYER, CELL_PROP_SYSTEM); }

int StatusPropertyHitTest(int x, int y)
{
    if (!g_Options.propertyVisible)
        return -1;
    return StatusHitCells(CELL_PROP_FIRST, CELL_PROP_SYSTEM, x, y);
}

void StatusPropertyLButtonDown(HWND, int x, int y)
{
    if (!StatusPressAllowed())
        return;
    const int cell = StatusPropertyHitTest(x, y);
    StatusTrackPress(s_Property, cell, cell >= CELL_PROP_FIRST, Repaint);
}

void StatusPropertyRButtonDown(HWND, int x, int y)
{
    if (!StatusPressAllowed())
        return;
    const int cell = StatusPropertyHitTest(x, y);
    const bool allowed = (cell >= CELL_PROP_LINETYPE && cell < CELL_PROP_FILL_MODES) || cell >= CELL_PROP_FILL_COLOURS;
    StatusTrackPress(s_Property, cell, allowed, Repaint);
}

void StatusPropertyLButtonUp(HWND w, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int cell = StatusTrackRelease(s_Property, StatusPropertyHitTest(x, y), Repaint);
    if (cell < 0)
        return;
    RECT anchor = g_ToolCells[cell];
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT *>(&anchor), 2);
    const DrawingSettings &d = g_DrawingSettings;
    PresetChoice preset{};
    if (cell <= 27) {
        StatusRunCommand(BUTTON_COMMANDS[cell - CELL_PROP_POINTER]);
    } else if (cell == CELL_PROP_LINETYPE) {
        InflateRect(&anchor, 1, 1);
        CommandPopupSelectLine(w, &anchor, PenSet().lineType, LINETYPE_COMMAND_FIRST, 0, 0);
    } else if (cell < CELL_PROP_LINE_COLOURS) {
        preset = {XPROP_OWN_WIDTH, CELL_PROP_WIDTHS, CELL_PROP_LINE_COLOURS - 1};
        preset.values.width = d.propLineWidth[cell - CELL_PROP_WIDTHS];
    } else if (cell < CELL_PROP_FILL_MODES) {
        preset = {XPROP_OWN_COLOR2, CELL_PROP_LINE_COLOURS, CELL_PROP_FILL_MODES - 1};
        preset.values.color2 = d.propLineColor[cell - CELL_PROP_LINE_COLOURS];
    } else if (cell < CELL_PROP_FILL_COLOURS) {
        preset = {XPROP_OWN_FILL, CELL_PROP_FILL_MODES, CELL_PROP_FILL_COLOURS - 1};
        preset.values.fillMode = cell - CELL_PROP_FILL_MODES;
    } else if (cell < CELL_PROP_LAYER) {
        preset = {XPROP_OWN_COLOR1, CELL_PROP_FILL_COLOURS, CELL_PROP_LAYER - 1};
        preset.values.color1 = d.propFillColor[cell - CELL_PROP_FILL_COLOURS];
    } else if (cell == CELL_PROP_LAYER) {
        CommandPopupLayerMenu(&anchor);
    } else if (cell == CELL_PROP_PEN) {
        CommandPopupPenMenu(&anchor);
    } else if (cell == CELL_PROP_HATCH) {
        CommandPopupHatchMenu(&anchor);
    } else {
        CommandPopupSystemMenu(&anchor);
    }
    if (preset.bit)
        ChoosePreset(preset);
    // The bar edits pen 0's second set; the first follows it.
    g_PenDefs[0].setA = g_PenDefs[0].setB;
    StatusRepaintCell(CELL_PANEL_ROW0);
}

void StatusPropertyRButtonUp(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int cell = StatusTrackRelease(s_Property, StatusPropertyHitTest(x, y), Repaint);
    DrawingSettings &d = g_DrawingSettings;
    if (cell == CELL_PROP_LINETYPE)
        StatusRunCommand(LINETYPE_EDIT);
    else if (cell >= CELL_PROP_WIDTHS && cell < CELL_PROP_LINE_COLOURS)
        Box02EditWidth(g_MainWnd, eHeadlineText[HEADLINE_WIDTH_PRESET], eBoxText[PROMPT_WIDTH],
                       &d.propLineWidth[cell - CELL_PROP_WIDTHS]);
    else if (cell >= CELL_PROP_LINE_COLOURS && cell < CELL_PROP_FILL_MODES)
        Box04ChooseColor(g_MainWnd, eCaptionTexts[CAPTION_COLOUR_PRESET], &d.propLineColor[cell - CELL_PROP_LINE_COLOURS]);
    else if (cell >= CELL_PROP_FILL_COLOURS && cell < CELL_PROP_LAYER)
        Box04ChooseColor(g_MainWnd, eCaptionTexts[CAPTION_COLOUR_PRESET], &d.propFillColor[cell - CELL_PROP_FILL_COLOURS]);
    else if (cell >= CELL_PROP_LAYER)
        StatusRunCommand(RIGHT_COMMANDS[cell - CELL_PROP_LAYER]);
    else if (cell >= 0)
        InitBeep();
}

void StatusPropertyMouseMove(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int cell = StatusPropertyHitTest(x, y);
    StatusTrackMove(s_Property, cell, Repaint);
    if (x < 0 || y < 0)
        return;
    if (cell < 0) {
        StatusShowHint(0, HINT_PROPERTY, nullptr, nullptr);
        return;
    }
    char text[256];
    if (cell <= 27)
        ConvertGetCommandTitle(text, BUTTON_COMMANDS[cell - CELL_PROP_POINTER]);
    else if (cell == CELL_PROP_LINETYPE)
        std::snprintf(text, sizeof text, "%s", eIconNames[23]);
    else if (cell < CELL_PROP_LINE_COLOURS)
        std::snprintf(text, sizeof text, "%s", eIconNames[24]);
    else if (cell < CELL_PROP_FILL_MODES)
        std::snprintf(text, sizeof text, "%s", eIconNames[25]);
    else if (cell < CELL_PROP_FILL_COLOURS)
        std::snprintf(text, sizeof text, "%s", eIconNames[26]);
    else if (cell < CELL_PROP_LAYER)
        std::snprintf(text, sizeof text, "%s", eIconNames[27]);
    else
        std::snprintf(text, sizeof text, "%s", eDialogText[59 - (cell - CELL_PROP_LAYER)]);
    StatusShowHint(cell, HINT_PROPERTY, eStatusTexts[STATUS_TEXT_HINT], text);
}

int StatusPropertyCommand(int id)
{
    if (id < LINETYPE_COMMAND_FIRST || id > LINETYPE_COMMAND_LAST)
        return 0;
    PresetChoice c{XPROP_OWN_LINETYPE, CELL_PROP_LINETYPE, CELL_PROP_LINETYPE, {}};
    c.values.lineType = id - LINETYPE_COMMAND_FIRST;
    ChoosePreset(c);
    g_PenDefs[0].setA = PenSet();
    StatusRepaintCell(CELL_PANEL_ROW0);
    return 1;
}
