// The drawn buttons of the tool windows and the name-sorted indexes of pens,
// layers and hatches.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/convert.h"
#include "app/init_gdi.h"
#include "app/status.h"
#include "app/status_draw.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "commands/command_popup.h"
#include "dialogs/box13.h"

namespace {

void Line(HDC dc, COLORREF colour, std::initializer_list<POINT> points)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    const POINT *p = points.begin();
    MoveToEx(dc, p->x, p->y, nullptr);
    for (++p; p != points.end(); ++p)
        LineTo(dc, p->x, p->y);
    SelectObject(dc, old);
    DeleteObject(pen);
}

COLORREF Sys(int index) { return GetSysColor(index); }

// Draws a one-bit bitmap: set bits in ink, clear bits in paper, or, when
// transparent, set bits only.
void BlitMono(HDC dc, HBITMAP bitmap, int x, int y, int w, int h, COLORREF ink, COLORREF paper, bool transparent)
{
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    const COLORREF oldText = GetTextColor(dc), oldBack = GetBkColor(dc);
    if (transparent) {
        // AND with the pattern (set bits black), then OR the ink into them.
        SetBkColor(dc, RGB(0, 0, 0));
        SetTextColor(dc, RGB(255, 255, 255));
        BitBlt(dc, x, y, w, h, mem, 0, 0, SRCAND);
        SetBkColor(dc, ink);
        SetTextColor(dc, RGB(0, 0, 0));
        BitBlt(dc, x, y, w, h, mem, 0, 0, SRCPAINT);
    } else {
        SetBkColor(dc, ink);
        SetTextColor(dc, paper);
        BitBlt(dc, x, y, w, h, mem, 0, 0, SRCCOPY);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    SelectObject(mem, old);
    DeleteDC(mem);
}

COLORREF ContentColour(uint32_t state)
{
    if (state & TOOL_DISABLED)
        return Sys(COLOR_GRAYTEXT);
    if (state & TOOL_COLOUR1)
        return InitStandardColor(g_DrawingSettings.colorPopup[0]);
    if (state & TOOL_COLOUR2)
        return InitStandardColor(g_DrawingSettings.colorPopup[1]);
    return Sys(COLOR_BTNTEXT);
}

int SortIndex(int32_t *index, int slots, int (*nameOf)(int, const char **))
{
    if (index[slots - 1] != -1) {
        int last = 0;
        for (int p = 1; p < slots; ++p)
            if (index[p] > 0)
                last = p;
        return last;
    }
    CommandNameEntry list[PEN_SLOTS];
    for (int k = 0; k < slots; ++k) {
        list[k].order = k;
        nameOf(k, &list[k].name);
    }
    const int named = CommandSortNames(list, slots);
    for (int p = 0; p < slots; ++p)
        index[p] = p <= named ? list[p].order : 0;
    return named;
}

int PenName(int k, const char **name) { return *name = g_PenDefs[k].name, 1; }
int LayerName(int k, const char **name) { return *name = g_LayerDefs[k].name, 1; }
int HatchName(int k, const char **name) { return *name = g_HatchDefs[k].name, 1; }

} // namespace

void StatusDrawFrameRaised(HDC dc, int l, int t, int r, int b)
{
    Line(dc, Sys(COLOR_BTNHIGHLIGHT), {{l, b - 1}, {l, t}, {r - 1, t}});
    Line(dc, Sys(COLOR_BTNSHADOW), {{r - 1, t}, {r - 1, b - 1}, {l - 1, b - 1}});
}

void StatusFillFace(HDC dc, int l, int t, int r, int b)
{
    RECT rect{l, t, r, b};
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
}

void StatusDrawSunkenField(HDC dc, int l, int t, int r, int b)
{
    StatusFillFace(dc, l, t, r, b);
    Line(dc, Sys(COLOR_BTNSHADOW), {{l, b - 1}, {l, t}, {r - 1, t}});
    Line(dc, Sys(COLOR_BTNHIGHLIGHT), {{r - 1, t}, {r - 1, b - 1}, {l - 1, b - 1}});
}

int StatusDrawToolFace(HDC dc, uint32_t state, const RECT &r, COLORREF *colour)
{
    if (colour)
        *colour = ContentColour(state);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if ((state & TOOL_CHECKED) && !(state & TOOL_PRESSED)) {
        RECT whole = r;
        InflateRect(&whole, 2, 2); // the pattern keeps two pixels off the edges itself
        StatusDrawButtonPattern(dc, &whole);
        return 0;
    }
    return (state & TOOL_PRESSED) ? 1 : 0;
}

void StatusDrawToolBorder(HDC dc, uint32_t state, const RECT &rc)
{
    const int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    const COLORREF frame = Sys(COLOR_WINDOWFRAME), shadow = Sys(COLOR_BTNSHADOW), face = Sys(COLOR_BTNFACE),
                   light = Sys(COLOR_BTNHIGHLIGHT);
    if (state & TOOL_PRESSED) {
        Line(dc, frame, {{l, b - 2}, {l, t}, {r - 1, t}});
        Line(dc, shadow, {{l + 1, b - 2}, {l + 1, t + 1}, {r - 1, t + 1}});
        Line(dc, shadow, {{l + 2, b - 2}, {l + 2, t + 2}, {r - 1, t + 2}});
        Line(dc, light, {{l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1}});
    } else if (state & TOOL_CHECKED) {
        Line(dc, frame, {{l, b - 2}, {l, t}, {r - 1, t}});
        Line(dc, shadow, {{l + 1, b - 3}, {l + 1, t + 1}, {r - 2, t + 1}});
        Line(dc, face, {{l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t}});
        Line(dc, light, {{l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1}});
    } else if (state & TOOL_OUTLINED) {
        Line(dc, light, {{l + 1, b - 3}, {l + 1, t + 1}, {r - 2, t + 1}});
        Line(dc, face, {{l + 2, b - 4}, {l + 2, t + 2}, {r - 3, t + 2}});
        Line(dc, shadow, {{l + 2, b - 3}, {r - 3, b - 3}, {r - 3, t + 1}});
        Line(dc, frame, {{l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t}});
        Line(dc, frame, {{l, t}, {r - 1, t}, {r - 1, b - 1}, {l, b - 1}, {l, t}});
    } else {
        Line(dc, light, {{l, b - 2}, {l, t}, {r - 1, t}});
        Line(dc, face, {{l + 1, b - 3}, {l + 1, t + 1}, {r - 2, t + 1}});
        Line(dc, shadow, {{l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t}});
        Line(dc, frame, {{l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1}});
    }
    if (state & TOOL_MARK) {
        HBITMAP mark = Box13CommandBitmap16();
        const int o = (state & TOOL_PRESSED) ? 1 : 0;
        BlitMono(dc, mark, r - 18 + o, b - 18 + o, BOX13_MARK_SIZE, BOX13_MARK_SIZE,
                 InitStandardColor(g_DrawingSettings.colorColorText), 0, true);
        DeleteObject(mark);
    }
}

void StatusDrawBitmapButton(HDC dc, HBITMAP bitmap, int width, int height, uint32_t state, const RECT &r)
{
    COLORREF colour = 0;
    const int o = StatusDrawToolFace(dc, state, r, &colour);
    if (bitmap) {
        const int x = (r.left + r.right + 1) / 2 + o - width / 2;
        const int y = (r.top + r.bottom + 1) / 2 + o - height / 2;
        const bool transparent = (state & TOOL_CHECKED) && !(state & TOOL_PRESSED);
        BlitMono(dc, bitmap, x, y, width, height, colour, Sys(COLOR_BTNFACE), transparent);
    }
    StatusDrawToolBorder(dc, state, r);
}

void StatusDrawCommandButton40(HDC dc, int commandId, uint32_t state, const RECT &r)
{
    HBITMAP icon = ConvertCommandToIcon(commandId);
    StatusDrawBitmapButton(dc, icon, BOX13_ICON_SIZE, BOX13_ICON_SIZE, state, r);
    if (icon)
        DeleteObject(icon);
}

void StatusDrawCommandButton24(HDC dc, uint32_t menuCode, uint32_t state, const RECT &r)
{
    HBITMAP icon = ConvertCommandToIcon24(menuCode);
    StatusDrawBitmapButton(dc, icon, BOX13_SMALL_SIZE, BOX13_SMALL_SIZE, state, r);
    if (icon)
        DeleteObject(icon);
}

int StatusSortPens() { return SortIndex(g_PenSortIndex, PEN_SLOTS, PenName); }
int StatusSortLayers() { return SortIndex(g_LayerSortIndex, LAYER_SLOTS, LayerName); }
int StatusSortHatches() { return SortIndex(g_HatchSortIndex, HATCH_SLOTS, HatchName); }

void StatusWidthText(char *out, size_t size, double width)
{
    // Wide lines show their whole millimetres; a leading "0." loses its 0.
    char text[32];
    if (width < 0.001)
        std::snprintf(text, sizeof text, "0");
    else if (width >= 100)
        std::snprintf(text, sizeof text, "%.0f", width);
    else
        std::snprintf(text, sizeof text, "%.3g", width);
    std::snprintf(out, size, "%s", std::strncmp(text, "0.", 2) == 0 ? text + 1 : text);
}
