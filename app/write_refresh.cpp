// The status bar's contents (prompt, cursor position, distance and angle to
// the reference point, memory and command title, messages) and the guide
// window's hints.
#include "app/write_refresh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/init_gdi.h"
#include "app/status.h"
#include "app/status_draw.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/input_prepare_dialogs.h"
#include "commands/command_state.h"
#include "database/storage.h"
#include "dialogs/box08_editterm.h"
#include "display/screen.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"
#include "language/language.h"

char g_StatusMessage[256];
uint32_t g_GuideState = 0;
const char *g_GuideExtraText = nullptr;
int32_t g_StatusContent = 0;
int32_t g_StatusFrameLayout = 0;

namespace {

constexpr int FIELD_PROMPT = 0;
constexpr int FIELD_MESSAGE = 7;
constexpr int FIELD_TITLE = 9;
constexpr int FRAME_OFFSET = 12;
constexpr int FRAME_MESSAGE = 19;
constexpr int FRAME_COMMAND = 21;
constexpr int FRAME_FACE = 22;
constexpr int VALUE_WIDTH = 16;
constexpr uint32_t KILOBYTE_LIMIT = 0xA00000;
constexpr int GUIDE_MARGIN = 12;
constexpr int GUIDE_LINE_MAX = 515;

// eStatusTexts entries.
constexpr int TEXT_PROMPT = 1, TEXT_MEMORY = 2, TEXT_X = 3, TEXT_COMMAND = 17, TEXT_POPUP = 21;
constexpr int TEXT_KILOBYTES = 23, TEXT_MEGABYTES = 24;

// What the guide shows: hint bits and extra lines, and one saved copy.
uint32_t s_SavedGuide = 0;
const char *s_SavedExtra = nullptr;

int Left(int f) { return g_ToolCells[f].left; }

// Clips to the field, fills what the text leaves with the face colour.
struct FieldPainter {
    HDC dc;
    RECT r;
    int x;
    FieldPainter(HDC d, int field) : dc(d), r(g_ToolCells[field]), x(r.left)
    {
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom + 1);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetBkMode(dc, OPAQUE);
    }
    void Text(const char *text, COLORREF colour)
    {
        SetTextColor(dc, colour);
        SIZE size{};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        TextOutA(dc, x, r.top, text, lstrlenA(text));
        x += size.cx;
    }
    ~FieldPainter()
    {
        RECT rest{x, r.top, r.right, r.bottom + 1};
        if (rest.right > rest.left)
            FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
        SelectClipRgn(dc, nullptr);
    }
};

COLORREF ValueColour() { return InitStandardColor(g_DrawingSettings.colorColorText); }

bool ShowsPopup(int id) { return ConvertFindCommandPopup(id) == CONVERT_POPUP_OPENER; }

int RunningCommand() { return g_CommandState ? g_CommandState->commandId : COMMAND_POINTER; }

void CommandTitleField(HDC dc)
{
    char title[256];
    const int id = RunningCommand();
    ConvertGetCommandTitle(title, id);
    WriteStatusLabelText(dc, FIELD_TITLE, eStatusTexts[ShowsPopup(id) ? TEXT_POPUP : TEXT_COMMAND], title, 1);
}

void MemoryField(HDC dc) { WriteStatusCount(dc, 3, eStatusTexts[TEXT_MEMORY], MemBytesInUse()); }

bool StatusShown() { return hGlobalStatus && g_Options.statusVisible && !g_CoordEntryWnd; }

// Draws with the status bar's device context.
void WithStatusDC(void (*paint)(HDC))
{
    HDC dc = GetDC(hGlobalStatus);
    HGDIOBJ old = SelectObject(dc, StatusStatusFont());
    paint(dc);
    SelectObject(dc, old);
    ReleaseDC(hGlobalStatus, dc);
}

const char *PromptText()
{
    if (!g_CommandState || !g_InputPoints)
        return ePointNames[0];
    const int index = g_CommandState->pointIndex;
    const char *prompt = index >= 0 && index < g_InputPointLimit ? g_InputPoints[index].prompt : nullptr;
    return prompt && *prompt ? prompt : ePointNames[0];
}

// The lines of a guide entry: separated by line breaks.
int DrawGuideLines(HDC dc, const char *text, RECT &room, int bottom)
{
    const char *p = text;
    while (*p) {
        if (room.top >= bottom)
            return 0;
        const char *end = std::strchr(p, '\n');
        const int n = std::min<int>(end ? int(end - p) : lstrlenA(p), GUIDE_LINE_MAX);
        RECT bullet{room.left - 8, room.top + 5, room.left - 3, room.top + 10};
        HBRUSH b = CreateSolidBrush(ValueColour());
        FillRect(dc, &bullet, b);
        DeleteObject(b);
        RECT line = room;
        const int h = DrawTextA(dc, p, n, &line, DT_WORDBREAK | DT_NOPREFIX);
        room.top += h;
        p = end ? end + 1 : p + n;
    }
    return 1;
}

} // namespace

// ---------------------------------------------------------------------------
// Field painters

void WriteSelectStatusFont(HDC dc)
{
    SelectObject(dc, StatusStatusFont());
    SetTextColor(dc, ValueColour());
}

void WriteStatusText(HDC dc, int field, const char *text)
{
    FieldPainter f(dc, field);
    f.Text(text ? text : "", GetTextColor(dc));
}

void WriteStatusLabelText(HDC dc, int field, const char *label, const char *text, int active)
{
    char work[256];
    std::snprintf(work, sizeof work, "%s", text ? text : "");
    FieldPainter f(dc, field);
    SIZE labelSize{};
    GetTextExtentPoint32A(dc, label, lstrlenA(label), &labelSize);
    const int room = std::max<int>(0, (f.r.right - f.r.left) - labelSize.cx);
    int n = lstrlenA(work);
    SIZE size{};
    while (n > 1 && GetTextExtentPoint32A(dc, work, n, &size) && size.cx > room)
        work[--n] = 0;
    f.Text(label, GetSysColor(active ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    f.Text(work, active ? ValueColour() : GetSysColor(COLOR_GRAYTEXT));
}

int WriteStatusPercentValue(long value, long total)
{
    if (total <= 0)
        return 0;
    const long p = std::lround(double(value) * 100.0 / double(total));
    return int(std::clamp(p, 0L, 100L));
}

void WriteStatusPercent(HDC dc, int field, const char *label, long value, long total)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", WriteStatusPercentValue(value, total));
    WriteStatusLabelText(dc, field, label, text, 1);
}

void WriteStatusCountText(char *out, size_t size, uint32_t bytes)
{
    if (bytes < KILOBYTE_LIMIT)
        std::snprintf(out, size, "%ld %s", long((uint64_t(bytes) + 1023) / 1024), eStatusTexts[TEXT_KILOBYTES]);
    else
        std::snprintf(out, size, "%ld %s", long((uint64_t(bytes) + 0xFFFFF) / 0x100000),
                      eStatusTexts[TEXT_MEGABYTES]);
}

void WriteStatusCount(HDC dc, int field, const char *label, uint32_t bytes)
{
    char text[64];
    WriteStatusCountText(text, sizeof text, bytes);
    WriteStatusLabelText(dc, field, label, text, 1);
}

void WriteStatusValueText(char *out, double value, double factor, int width, int selector)
{
    const SystemDef &s = g_SystemDefs[std::clamp(g_CurrentSystem.system, 0, SYSTEM_SLOTS - 1)];
    ConvertValueToString(out, nullptr, value, width, selector ? s.format1 : s.format2, s.decimals, 1, factor);
}

void WriteStatusValue(HDC dc, int field, const char *label, double value, double factor, int width, int selector)
{
    char text[128];
    WriteStatusValueText(text, value, factor, width, selector);
    WriteStatusLabelText(dc, field, label, text, 1);
}

void WriteText(HDC dc, int x, int y, const char *text) { TextOutA(dc, x, y, text, lstrlenA(text)); }

void WriteInt(HDC dc, int x, int y, int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", n);
    WriteText(dc, x, y, text);
}

// ---------------------------------------------------------------------------
// The status bar

void WriteDrawStatus(HDC dc, int window, uint32_t parts)
{
    if (Left(FIELD_PROMPT) == 0 && g_ToolCells[FIELD_PROMPT].right == 0)
        StatusLayoutStatusFields(hGlobalStatus);
    const RECT *g = g_ToolCells;
    if (parts & WRITE_STATUS_MESSAGE) {
        StatusDrawSunkenField(dc, g[FRAME_MESSAGE].left, g[FRAME_MESSAGE].top, g[FRAME_MESSAGE].right,
                              g[FRAME_MESSAGE].bottom);
        g_StatusContent = WRITE_STATUS_MESSAGE;
        g_StatusFrameLayout = 0;
        return;
    }
    if (g_StatusContent == WRITE_STATUS_MESSAGE)
        parts |= WRITE_STATUS_PROMPT;
    double X = 0, Y = 0, dx = 0, dy = 0, distance = 0, angle = 0;
    bool reference = false;
    const DrawWindow *w = WindowGetRecord(window);
    if ((parts & WRITE_STATUS_POSITION) && w) {
        MatrixApply(w->MatrixMMToSystem, g_CursorPos.x, g_CursorPos.y, &X, &Y);
        const CommandState *cs = g_CommandState;
        if (cs && cs->pointIndex > 0 && cs->referenceIndex != -1 && g_ConstructionPoints && cs->referenceIndex >= 0) {
            const ConstructionPoint &p = g_ConstructionPoints[cs->referenceIndex];
            double rx = 0, ry = 0;
            MatrixApply(w->MatrixMMToSystem, p.x, p.y, &rx, &ry);
            dx = X - rx, dy = Y - ry;
            distance = std::sqrt(dx * dx + dy * dy);
            if (dx != 0 || dy != 0) {
                angle = std::atan2(dy, dx);
                if (angle < 0)
                    angle += CALC_TWO_PI;
                angle /= w->angleFactor != 0 ? w->angleFactor : 1.0;
            }
            reference = true;
        }
    }
    const int layout = ((parts & WRITE_STATUS_ENTRY) || reference) ? 1 : 3;
    WriteSelectStatusFont(dc);
    if (parts & WRITE_STATUS_PROMPT) {
        StatusDrawSunkenField(dc, g[12].left, g[12].top, g[12].right, g[12].bottom);
        WriteStatusLabelText(dc, FIELD_PROMPT, eStatusTexts[TEXT_PROMPT], PromptText(), 1);
        for (int f : {13, 14})
            StatusDrawSunkenField(dc, g[f].left, g[f].top, g[f].right, g[f].bottom);
        g_StatusFrameLayout = 0;
    }
    if (layout != g_StatusFrameLayout) {
        StatusFillFace(dc, g[FRAME_FACE].left, g[FRAME_FACE].top, g[FRAME_FACE].right, g[FRAME_FACE].bottom);
        const int frames3[] = {15, FRAME_COMMAND};
        const int frames1[] = {15, 16, 17, 18};
        const int *frames = layout == 3 ? frames3 : frames1;
        const int count = layout == 3 ? 2 : 4;
        for (int k = 0; k < count; ++k) {
            const RECT &r = g[frames[k]];
            StatusDrawSunkenField(dc, r.left, r.top, r.right, r.bottom);
        }
        g_StatusFrameLayout = layout;
        g_StatusContent = WRITE_STATUS_FRAMES;
    }
    if ((parts & WRITE_STATUS_POSITION) && w) {
        const double f = w->lengthFactor != 0 ? w->lengthFactor : 1.0;
        WriteStatusValue(dc, 1, eStatusTexts[TEXT_X], X, f, VALUE_WIDTH, 1);
        WriteStatusValue(dc, 2, eStatusTexts[TEXT_X + 1], Y, f, VALUE_WIDTH, 1);
        if (reference) {
            WriteStatusValue(dc, 3, eStatusTexts[TEXT_X + 2], dx, f, VALUE_WIDTH, 1);
            WriteStatusValue(dc, 4, eStatusTexts[TEXT_X + 3], dy, f, VALUE_WIDTH, 1);
            WriteStatusValue(dc, 5, eStatusTexts[TEXT_X + 4], distance, f, VALUE_WIDTH, 1);
            WriteStatusValue(dc, 6, eStatusTexts[TEXT_X + 5], angle, 1.0, VALUE_WIDTH, 0);
        } else if (g_StatusContent != WRITE_STATUS_POSITION) {
            MemoryField(dc);
            CommandTitleField(dc);
        }
        g_StatusContent = WRITE_STATUS_POSITION;
    }
    if ((parts & WRITE_STATUS_ENTRY) && g_StatusContent != WRITE_STATUS_ENTRY) {
        // The calculator's six fields: each labelled and showing what is
        // typed into it, the pair being edited active; fields the entry does
        // not offer stay empty.
        for (int k = 0; k < COORD_FIELD_COUNT; ++k) {
            const CoordEntrySlot &slot = g_CoordEntryRecord.slots[k];
            if (slot.present)
                WriteStatusLabelText(dc, k + 1, eStatusTexts[TEXT_X + k], slot.term, slot.marked ? 1 : 0);
            else
                WriteStatusLabelText(dc, k + 1, "", "", 0);
        }
        g_StatusContent = WRITE_STATUS_ENTRY;
    }
    if ((parts & WRITE_STATUS_IDLE) && g_StatusContent != WRITE_STATUS_IDLE) {
        WriteStatusLabelText(dc, 1, eStatusTexts[TEXT_X], "", 1);
        WriteStatusLabelText(dc, 2, eStatusTexts[TEXT_X + 1], "", 1);
        MemoryField(dc);
        CommandTitleField(dc);
        g_StatusContent = WRITE_STATUS_IDLE;
    }
}

void WriteShowStatusPercent(const char *label, long value, long total)
{
    if (!StatusShown())
        return;
    HDC dc = GetDC(hGlobalStatus);
    WriteDrawStatus(dc, g_PanelWindow, WRITE_STATUS_MESSAGE);
    WriteSelectStatusFont(dc);
    WriteStatusPercent(dc, FIELD_MESSAGE, label ? label : "", value, total);
    ReleaseDC(hGlobalStatus, dc);
}

void WriteShowStatusText(const char *label, const char *text)
{
    std::snprintf(g_StatusMessage, sizeof g_StatusMessage, "%s%s%s", label ? label : "",
                  label && text ? " " : "", text ? text : "");
    if (!StatusShown())
        return;
    HDC dc = GetDC(hGlobalStatus);
    WriteDrawStatus(dc, g_PanelWindow, WRITE_STATUS_MESSAGE);
    WriteSelectStatusFont(dc);
    WriteStatusLabelText(dc, FIELD_MESSAGE, label ? label : "", text ? text : "", 1);
    ReleaseDC(hGlobalStatus, dc);
}

void WriteRefreshStatusPosition()
{
    if (StatusShown())
        WithStatusDC([](HDC dc) { WriteDrawStatus(dc, g_PanelWindow, WRITE_STATUS_POSITION); });
}

void WriteRefreshStatus()
{
    if (StatusShown() && g_StatusContent != WRITE_STATUS_IDLE)
        WithStatusDC([](HDC dc) { WriteDrawStatus(dc, g_PanelWindow, WRITE_STATUS_IDLE); });
}

void WriteRefreshStatusTexts()
{
    if (hGlobalStatus)
        WithStatusDC([](HDC dc) { WriteDrawStatus(dc, g_PanelWindow, WRITE_STATUS_ENTRY | WRITE_STATUS_PROMPT); });
}

namespace {

// The whole status bar: raised frame, then the parts from a fresh frame set.
void DrawStatusWindow(HWND status, uint32_t parts)
{
    HDC dc = GetDC(status);
    RECT client{};
    GetClientRect(status, &client);
    StatusDrawFrameRaised(dc, client.left, client.top, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, StatusStatusFont());
    g_StatusContent = 0;
    g_StatusFrameLayout = 0;
    WriteDrawStatus(dc, g_PanelWindow, parts);
    SelectObject(dc, old);
    ReleaseDC(status, dc);
}

// The direction of the entry as an arrow over the panel cell, y up.
void DrawEntryArrow(HDC dc, int cx, int cy, double angle)
{
    static const POINT shape[] = {{13, 0}, {-4, -12}, {0, -3}, {-13, -3}, {-13, 3}, {0, 3}, {-4, 12}};
    POINT at[std::size(shape)];
    const double c = std::cos(angle), s = std::sin(angle);
    for (size_t i = 0; i < std::size(shape); ++i) {
        const long x = std::lround(shape[i].x * c - shape[i].y * s);
        const long y = std::lround(shape[i].x * s + shape[i].y * c);
        at[i] = POINT{cx + x, cy - y};
    }
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Polygon(dc, at, int(std::size(at)));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
}

} // namespace

void WriteDrawInputIndicator()
{
    if (!g_Options.statusVisible)
        return;
    if (g_Options.panelVisible && hGlobalPanel) {
        HDC dc = GetDC(hGlobalPanel);
        const RECT &r = g_ToolCells[CELL_PANEL_COMMAND];
        StatusDrawButtonFace(dc, 0, &r, nullptr);
        const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        if (HICON icon = LoadIconA(g_LanguageModule, "IDI_KEYBOARD"))
            DrawIcon(dc, cx - 16, cy - 16, icon);
        if (g_CoordEntryRecord.angle != CALC_NO_VALUE)
            DrawEntryArrow(dc, cx, cy, g_CoordEntryRecord.angle);
        StatusDrawButtonBorder(dc, 0, &r);
        ReleaseDC(hGlobalPanel, dc);
    }
    if (hGlobalStatus)
        DrawStatusWindow(hGlobalStatus, WRITE_STATUS_ENTRY | WRITE_STATUS_PROMPT);
}

void WriteRefreshFrame()
{
    if (g_CoordEntryWnd) {
        WriteDrawInputIndicator();
        return;
    }
    if (g_Options.panelVisible && hGlobalPanel) {
        HDC dc = GetDC(hGlobalPanel);
        // Every switch cell, not only the duplicate switch: a switch turned
        // from the menu or a key would otherwise keep showing its old state.
        for (int cell : {CELL_PANEL_ORTHO, 94, 96, 97, 98, 99, 100})
            StatusPaintPanelCell(dc, cell);
        StatusPaintPanelCell(dc, CELL_PANEL_COMMAND);
        ReleaseDC(hGlobalPanel, dc);
    }
    if (g_Options.guideVisible && hGlobalGuide)
        WriteDrawGuide();
    if (g_Options.statusVisible && hGlobalStatus)
        WriteDrawStatusWindow(hGlobalStatus);
}

void WriteDrawStatusWindow(HWND status)
{
    // Under the open coordinate entry the bar keeps showing the entry's fields.
    DrawStatusWindow(status, (g_CoordEntryWnd ? WRITE_STATUS_ENTRY : WRITE_STATUS_POSITION) | WRITE_STATUS_PROMPT);
}

// ---------------------------------------------------------------------------
// The guide

uint32_t WriteComputeGuideState(uint32_t flags)
{
    uint32_t state = flags & ~WRITE_GUIDE_COMPUTE;
    if (!(flags & WRITE_GUIDE_COMPUTE) || !g_CommandState)
        return state;
    const CommandState &cs = *g_CommandState;
    const int id = cs.commandId;
    const InputTemplate &t = CommandTemplate();
    const bool entered = cs.pointIndex > 0;
    if (entered)
        state |= 0x1000;
    const bool arcMode = (id >= 548 && id <= 556) || (id >= 563 && id <= 565);
    if (arcMode)
        state |= 0x40;
    static const int BIT32[] = {574, 575, 648, 817, 818, 820, 843};
    if (arcMode || std::find(std::begin(BIT32), std::end(BIT32), id) != std::end(BIT32))
        state |= 0x20;
    if (InputHasParameterDialog(id) || InputHasParameterDialog2(id))
        state |= 0x10; // Shift+Escape asks the command's values
    if (InputUsesCopyMode(id))
        state |= 0x400;
    if (t.mode == TEMPLATE_LIST && cs.pointIndex > t.count - 2)
        state |= 0x4000;
    else if ((t.mode == TEMPLATE_REPEATED && t.count == 1) || entered)
        state |= 0x2000;
    const int k = cs.pointKind;
    if (k >= 0 && k <= 2)
        state = 0;
    else if (k == 134)
        state |= 0x4;
    else if (k >= 135 && k <= 143)
        state = (state & ~0xC00u) | 0x3;
    else if (k == 144)
        state = (state & ~0xC00u) | 0xC;
    else
        state |= (k < 45 && id != COMMAND_TRANSPARENT) ? 0x380 : 0x1;
    if (ShowsPopup(id) || id < 100 || id > 5339)
        state = 0;
    return state;
}

void WriteSetGuideState(uint32_t flags, const char *extra)
{
    const uint32_t state = WriteComputeGuideState(flags);
    if (flags & WRITE_GUIDE_CLEAR_EXTRA) {
        g_GuideState = state;
        g_GuideExtraText = nullptr;
    } else if (!(flags & WRITE_GUIDE_EXTRA)) {
        g_GuideState = (state & ~WRITE_GUIDE_CLEAR_EXTRA) | (g_GuideState & WRITE_GUIDE_EXTRA);
    } else {
        g_GuideState = state;
        g_GuideExtraText = extra;
    }
}

void WriteDrawGuide()
{
    if (!hGlobalGuide)
        return;
    HDC dc = GetDC(hGlobalGuide);
    WriteDrawGuideDC(hGlobalGuide, dc);
    ReleaseDC(hGlobalGuide, dc);
}

void WriteDrawGuideDC(HWND guide, HDC dc)
{
    RECT client{};
    GetClientRect(guide, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetBkMode(dc, OPAQUE);
    RECT room{client.left + GUIDE_MARGIN, client.top, client.right, client.bottom};
    const uint32_t mask = g_GuideState & 0x1FFFFFFF;
    // The step being entered heads the hints: what the next click gives.
    const bool stepping = g_CommandState && g_CommandState->stepCount > 0;
    if (stepping) {
        RECT line = room;
        room.top += DrawTextA(dc, PromptText(), -1, &line, DT_WORDBREAK | DT_NOPREFIX);
    }
    if (!mask && !((g_GuideState & WRITE_GUIDE_EXTRA) && g_GuideExtraText)) {
        if (!stepping)
            DrawTextA(dc, eGuideText[0], -1, &room, DT_WORDBREAK | DT_NOPREFIX);
    } else {
        int entries = 0; // the table ends at its first entry made of the character 4
        while (eGuideText[entries][0] != 4)
            ++entries;
        bool more = true;
        for (int bit = 0; bit < 29 && more && bit + 1 < entries; ++bit) {
            if (!(mask & (1u << bit)))
                continue;
            const char *entry = eGuideText[bit + 1];
            more = DrawGuideLines(dc, entry, room, client.bottom) != 0;
        }
        if (more && (g_GuideState & WRITE_GUIDE_EXTRA) && g_GuideExtraText)
            DrawGuideLines(dc, g_GuideExtraText, room, client.bottom);
    }
    SelectObject(dc, oldFont);
}

void WriteSaveGuideState()
{
    s_SavedGuide = g_GuideState;
    s_SavedExtra = g_GuideExtraText;
}

void WriteRestoreGuideState()
{
    g_GuideState = s_SavedGuide;
    g_GuideExtraText = s_SavedExtra;
    if (g_Options.guideVisible)
        WriteDrawGuide();
}
