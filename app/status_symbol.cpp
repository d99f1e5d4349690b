// The symbol window: a list of the 100 block-insert slots; a left click
// inserts the slot's block, a right click edits the slot.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/status.h"
#include "app/status_track.h"
#include "app/system.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_preview.h"
#include "display/output.h"
#include "language/language.h"

int32_t g_SymbolRunningSlot = -1;

namespace {

constexpr int ROW_BASE = 6;
constexpr int PREVIEW_HEIGHT = 50;
constexpr int INSERT_FIRST = 5340;
constexpr int EDIT_FIRST = 5440;
constexpr int HINT_SYMBOL = -8;
constexpr int EMPTY_SLOT_TEXT = 7; // eDefaultNames
constexpr double DEGREES_PER_RADIAN = 57.29577951308;
constexpr int SCROLL_RANGE = 10000;

struct SymbolState {
    int first = 0, visible = 0, rowHeight = ROW_BASE, lineHeight = 0;
} s_Symbol;
CellTrack s_SymbolTrack;

bool Used(const BlockInsertSlot &s) { return s.nameBlock[0] != 0; }
bool Insertable(const BlockInsertSlot &s) { return s.nameLibrary[0] && s.nameBlock[0]; }

int SlotAt(int y)
{
    if (y < 0 || s_Symbol.rowHeight <= 0)
        return -1;
    const int slot = y / s_Symbol.rowHeight + s_Symbol.first;
    return slot >= 0 && slot < INSERT_SLOTS ? slot : -1;
}

void Repaint(int slot)
{
    if (!hGlobalSymbol)
        return;
    HDC dc = GetDC(hGlobalSymbol);
    StatusPaintSymbolRow(hGlobalSymbol, dc, slot);
    ReleaseDC(hGlobalSymbol, dc);
}

// The slot's block, turned by the slot's rotation, in the box. The preview
// sets the output context up for itself: the drawing windows' is kept.
void PaintPreview(const RECT &box, const BlockInsertSlot &s)
{
    if (!hGlobalSymbol || !s.nameBlock[0])
        return;
    const OutputContext saved = g_OutputContext;
    SymbolDrawPreviewDC(hGlobalSymbol, 1, s.nameLibrary, s.nameBlock, s.rotation, &box);
    g_OutputContext = saved;
}

void Value(char *out, size_t size, double value)
{
    char text[64];
    ConvertValueToString(text, nullptr, value, 8, 0, 4, 1, 1.0);
    std::snprintf(out, size, "%s", text);
}

} // namespace

void StatusLayoutSymbolWindow()
{
    const ProgramOptions &o = g_Options;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32A(dc, "3456eeWi", 8, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    s_Symbol.lineHeight = int(size.cy);
    int h = o.symbolPreview ? ROW_BASE + PREVIEW_HEIGHT : ROW_BASE;
    if (o.symbolIndex || o.symbolScale || o.symbolRotate)
        h += s_Symbol.lineHeight;
    if (o.symbolLibrary)
        h += s_Symbol.lineHeight;
    if (o.symbolBlock)
        h += s_Symbol.lineHeight;
    s_Symbol.rowHeight = h;
}

int StatusSymbolRowHeight() { return s_Symbol.rowHeight; }

int StatusLoadSlotBlocks()
{
    // The names of the slots whose blocks are not in memory, read in one go.
    auto libraries = std::make_unique<char[][UNIT_NAME_SIZE]>(INSERT_SLOTS);
    auto blocks = std::make_unique<char[][UNIT_NAME_SIZE]>(INSERT_SLOTS);
    int count = 0;
    for (const BlockInsertSlot &s : g_Options.insertSlots) {
        if (!Insertable(s) || SymbolFindBlock(s.nameLibrary, s.nameBlock))
            continue;
        std::snprintf(libraries[count], UNIT_NAME_SIZE, "%s", s.nameLibrary);
        std::snprintf(blocks[count], UNIT_NAME_SIZE, "%s", s.nameBlock);
        ++count;
    }
    if (count == 0)
        return 0;
    SymbolLoadBlocks(libraries.get(), blocks.get(), count);
    return 1;
}

void StatusPaintSymbolRow(HWND, HDC dc, int slot)
{
    const ProgramOptions &o = g_Options;
    const int row = slot - s_Symbol.first;
    if (!o.symbolVisible || slot < 0 || slot >= INSERT_SLOTS || row < 0 || row > s_Symbol.visible)
        return;
    const BlockInsertSlot &s = o.insertSlots[slot];
    RECT r{0, row * s_Symbol.rowHeight, 0, (row + 1) * s_Symbol.rowHeight};
    RECT client{};
    GetClientRect(hGlobalSymbol, &client);
    r.right = client.right;
    uint32_t state = slot == s_SymbolTrack.pressed ? TOOL_PRESSED : 0;
    if (slot == g_SymbolRunningSlot)
        state |= TOOL_CHECKED;
    StatusDrawToolFace(dc, state, r, nullptr);
    const int o1 = (state & TOOL_PRESSED) ? 1 : 0;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    int y = r.top + 4 + o1;
    if (o.symbolPreview) {
        RECT box{r.left + 4 + o1, r.top + 4 + o1, r.right - 4 + o1, r.top + 52 + o1};
        PaintPreview(box, s);
        FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNTEXT));
        y += PREVIEW_HEIGHT;
    }
    StatusDrawToolBorder(dc, state, r);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    HRGN clip = CreateRectRgn(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
    SelectClipRgn(dc, clip);
    const char *empty = eDefaultNames[EMPTY_SLOT_TEXT];
    auto line = [&](const char *text) {
        TextOutA(dc, r.left + 4 + o1, y, text, lstrlenA(text));
        y += s_Symbol.lineHeight;
    };
    if (o.symbolIndex || o.symbolScale || o.symbolRotate) {
        char text[160] = "";
        if (Used(s)) {
            char part[64];
            if (o.symbolIndex)
                std::snprintf(text, sizeof text, "%d", slot + 1);
            if (o.symbolScale) {
                Value(part, sizeof part, s.scale);
                std::snprintf(text + std::strlen(text), sizeof text - std::strlen(text), "%s%s",
                              text[0] ? " / " : "", part);
            }
            if (o.symbolRotate) {
                Value(part, sizeof part, s.rotation * DEGREES_PER_RADIAN);
                std::snprintf(text + std::strlen(text), sizeof text - std::strlen(text), "%s%s",
                              text[0] ? " / " : "", part);
            }
            line(text);
        } else {
            line(empty);
        }
    }
    if (o.symbolLibrary)
        line(Used(s) ? s.nameLibrary : empty);
    if (o.symbolBlock)
        line(Used(s) ? s.nameBlock : empty);
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
}

void StatusPaintSymbolWindow(HWND symbol, HDC dc)
{
    if (!g_Options.symbolVisible)
        return;
    StatusLayoutSymbolWindow();
    RECT client{};
    GetClientRect(symbol, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    s_Symbol.visible = s_Symbol.rowHeight > 0 ? int(client.bottom) / s_Symbol.rowHeight : 0;
    for (int slot = s_Symbol.first; slot <= s_Symbol.first + s_Symbol.visible; ++slot)
        StatusPaintSymbolRow(symbol, dc, slot);
}

void StatusSymbolScroll(HWND symbol)
{
    const int visible = s_Symbol.visible;
    double position = visible < INSERT_SLOTS ? s_Symbol.first * double(SCROLL_RANGE) / (INSERT_SLOTS - visible) : 0;
    position = std::clamp(position, 0.0, double(SCROLL_RANGE));
    SetScrollPos(symbol, SB_VERT, int(std::floor(position + 0.5)), TRUE);
}

void StatusSymbolVScroll(HWND symbol, int code, int thumb)
{
    const int most = std::max(0, INSERT_SLOTS - s_Symbol.visible);
    int first = s_Symbol.first;
    switch (code) {
    case SB_LINEUP: --first; break;
    case SB_LINEDOWN: ++first; break;
    case SB_PAGEUP: first -= std::max(1, s_Symbol.visible); break;
    case SB_PAGEDOWN: first += std::max(1, s_Symbol.visible); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: first = int(std::lround(double(thumb) * most / SCROLL_RANGE)); break;
    case SB_TOP: first = 0; break;
    case SB_BOTTOM: first = most; break;
    default: return;
    }
    s_Symbol.first = std::clamp(first, 0, most);
    StatusSymbolScroll(symbol);
    InvalidateRect(symbol, nullptr, FALSE);
}

int StatusSortSymbolList()
{
    const ProgramOptions &o = g_Options;
    if (!o.symbolVisible || o.symbolSortMode == 0)
        return 0;
    BlockInsertSlot *slots = g_Options.insertSlots;
    int moved = 0, used = 0;
    for (int k = 0; k < INSERT_SLOTS; ++k) {
        if (!Used(slots[k]))
            continue;
        if (k != used) {
            slots[used] = slots[k];
            slots[k].nameBlock[0] = 0;
            moved = 1;
        }
        ++used;
    }
    if (o.symbolSortMode != 2 && o.symbolSortMode != 3)
        return moved;
    const bool libraryFirst = o.symbolSortMode == 2;
    for (int i = 0; i < used; ++i) {
        int best = i;
        for (int j = i + 1; j < used; ++j) {
            const BlockInsertSlot &a = slots[j], &b = slots[best];
            int c = libraryFirst ? lstrcmpA(a.nameLibrary, b.nameLibrary) : lstrcmpA(a.nameBlock, b.nameBlock);
            if (c == 0)
                c = libraryFirst ? lstrcmpA(a.nameBlock, b.nameBlock) : lstrcmpA(a.nameLibrary, b.nameLibrary);
            if (c < 0)
                best = j;
        }
        if (best != i) {
            std::swap(slots[i], slots[best]);
            moved = 1;
        }
    }
    return moved;
}

void StatusSymbolButtonDown(HWND, int, int y)
{
    if (!StatusPressAllowed())
        return;
    const int slot = SlotAt(y);
    StatusTrackPress(s_SymbolTrack, slot, slot >= 0, Repaint);
}

void StatusSymbolLButtonUp(HWND, int, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int slot = StatusTrackRelease(s_SymbolTrack, SlotAt(y), Repaint);
    if (slot < 0)
        return;
    if (Insertable(g_Options.insertSlots[slot]))
        StatusRunCommand(INSERT_FIRST + slot);
    else
        StatusRefuse();
}

void StatusSymbolRButtonUp(HWND, int, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int slot = StatusTrackRelease(s_SymbolTrack, SlotAt(y), Repaint);
    if (slot >= 0)
        StatusRunCommand(EDIT_FIRST + slot);
}

void StatusSymbolMouseMove(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int slot = SlotAt(y);
    StatusTrackMove(s_SymbolTrack, slot, Repaint);
    if (x < 0 || y < 0)
        return;
    if (slot < 0) {
        StatusShowHint(0, HINT_SYMBOL, nullptr, nullptr);
        return;
    }
    char title[256];
    ConvertGetCommandTitle(title, INSERT_FIRST + slot);
    StatusShowHint(2000 + slot, HINT_SYMBOL, eStatusTexts[STATUS_TEXT_HINT], title);
}
