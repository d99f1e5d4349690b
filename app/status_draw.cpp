// The 3D look of the program's own buttons.
#include "app/status_draw.h"

namespace {

constexpr int PATTERN_SIZE = 8;

// Draws the two halves of a 3D edge: topLeft along the left and top,
// bottomRight along the right and bottom, inset by `inset` pixels.
void DrawEdgeLines(HDC dc, const RECT &r, int inset, COLORREF topLeft, COLORREF bottomRight)
{
    const int l = r.left + inset, t = r.top + inset, rr = r.right - 1 - inset, b = r.bottom - 1 - inset;
    if (rr <= l || b <= t)
        return;
    HPEN light = CreatePen(PS_SOLID, 1, topLeft);
    HPEN dark = CreatePen(PS_SOLID, 1, bottomRight);
    HGDIOBJ old = SelectObject(dc, light);
    MoveToEx(dc, l, b, nullptr);
    LineTo(dc, l, t);
    LineTo(dc, rr, t);
    SelectObject(dc, dark);
    MoveToEx(dc, rr, t, nullptr);
    LineTo(dc, rr, b);
    LineTo(dc, l - 1, b);
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(dark);
}

} // namespace

int StatusDrawButtonFace(HDC dc, uint32_t style, const RECT *rect, COLORREF *textColour)
{
    FillRect(dc, rect, GetSysColorBrush(COLOR_BTNFACE));
    if (textColour)
        *textColour = GetSysColor((style & STATUS_BUTTON_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    return (style & STATUS_BUTTON_PRESSED) ? 1 : 0;
}

void StatusDrawButtonBorder(HDC dc, uint32_t style, const RECT *rect)
{
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    if (style & STATUS_BUTTON_PRESSED) {
        DrawEdgeLines(dc, *rect, 0, dark, light);
        DrawEdgeLines(dc, *rect, 1, shadow, GetSysColor(COLOR_BTNFACE));
        return;
    }
    if (style & STATUS_BUTTON_FOCUS) {
        DrawEdgeLines(dc, *rect, 0, dark, dark);
        DrawEdgeLines(dc, *rect, 1, light, shadow);
        return;
    }
    DrawEdgeLines(dc, *rect, 0, light, dark);
    DrawEdgeLines(dc, *rect, 1, GetSysColor(COLOR_BTNFACE), shadow);
}

void StatusDrawButtonPattern(HDC dc, const RECT *rect)
{
    // Every other pixel in the highlight colour; callers lay it before the
    // content so that the content stays readable.
    WORD bits[PATTERN_SIZE];
    for (int i = 0; i < PATTERN_SIZE; ++i)
        bits[i] = (i & 1) ? 0xAA : 0x55;
    HBITMAP pattern = CreateBitmap(PATTERN_SIZE, PATTERN_SIZE, 1, 1, bits);
    HBRUSH brush = CreatePatternBrush(pattern);
    const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
    const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT inner = *rect;
    InflateRect(&inner, -2, -2);
    if (inner.right > inner.left && inner.bottom > inner.top)
        FillRect(dc, &inner, brush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DeleteObject(brush);
    DeleteObject(pattern);
}

void StatusDrawFrameSunken(HDC dc, const RECT *rect)
{
    RECT outer = *rect;
    InflateRect(&outer, 1, 1);
    DrawEdgeLines(dc, outer, 0, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
}
