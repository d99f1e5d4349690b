// Owner-drawn buttons, list rows, the progress bar and the colour patch of
// the dialogs. Every painter makes its own pens and brushes and deletes
// them before it returns, so long lists redraw without leaking GDI objects.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/init_gdi.h"
#include "app/status_draw.h"
#include "app/system_defs.h"
#include "database/symbol_library.h"
#include "dialogs/box01_controls.h"
#include "language/language.h"

namespace {

constexpr int EMPTY_LABEL = 20;                   // eUniTexts
constexpr int MARK_OPEN = 39, MARK_CLOSE = 40, MARK_NEW = 43, MARK_SAVE = 46, MARK_RELOAD = 47,
              MARK_MODIFIED = 48;                 // eUniTexts
constexpr int STATE_ICONS = 5;
constexpr int STATE_ICON_STEP = 15;
constexpr int STATE_ICON_HEIGHT = 13;
constexpr int ICON_BUTTON_SIZE = 32;
constexpr int TEXT_LEFT = 4, TEXT_RIGHT = 14;     // text button margins
constexpr int TRIANGLE_WIDTH = 4, TRIANGLE_HEIGHT = 8, TRIANGLE_TIP = 6;
constexpr int ROW_ICON_COLUMN = 78;
constexpr int ROW_BAND = 5;                       // height of the line band of a swatch
constexpr int ICON_NAME_SIZE = 32;

struct Colours {
    COLORREF text;
    int background; // system colour index
};

// Row colours by item state.
Colours RowColours(UINT state)
{
    const bool selected = (state & ODS_SELECTED) != 0, disabled = (state & ODS_DISABLED) != 0;
    Colours c;
    c.background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    c.text = GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    return c;
}

uint32_t ButtonStyle(UINT state, int focus)
{
    uint32_t style = 0;
    if (state & ODS_SELECTED)
        style |= STATUS_BUTTON_PRESSED;
    if (state & ODS_DISABLED)
        style |= STATUS_BUTTON_DISABLED;
    if (focus)
        style |= STATUS_BUTTON_FOCUS;
    return style;
}

// Draws a label transparently in the dialog font; returns its width.
int DrawLabel(HDC dc, RECT r, const char *text, COLORREF colour, UINT align = DT_LEFT)
{
    HGDIOBJ oldFont = hDialogFont ? SelectObject(dc, hDialogFont) : nullptr;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colour);
    DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align);
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    if (oldFont)
        SelectObject(dc, oldFont);
    return size.cx;
}

int TextWidth(HDC dc, const char *text)
{
    HGDIOBJ oldFont = hDialogFont ? SelectObject(dc, hDialogFont) : nullptr;
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    if (oldFont)
        SelectObject(dc, oldFont);
    return size.cx;
}

void FillSolid(HDC dc, const RECT &r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// Draws an icon of the program's resources at its own size (the state
// icons) or at `size`; nothing when the program has no such icon.
void DrawNamedIcon(HDC dc, const char *name, int x, int y, int size)
{
    if (!g_Instance)
        return;
    HICON icon = static_cast<HICON>(LoadImageA(g_Instance, name, IMAGE_ICON, size, size, 0));
    if (!icon)
        return;
    DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
}

void StateIconName(char *out, bool header, int bit)
{
    snprintf(out, ICON_NAME_SIZE, header ? "IDI_LAYER_%d" : "IDI_LAYER%d", bit);
}

void DrawTriangle(HDC dc, const RECT &r, COLORREF colour)
{
    const int tipX = r.right - TRIANGLE_TIP;
    const int midY = (r.top + r.bottom) / 2;
    POINT p[3] = {{tipX - TRIANGLE_WIDTH, midY - TRIANGLE_HEIGHT / 2},
                  {tipX, midY},
                  {tipX - TRIANGLE_WIDTH, midY + TRIANGLE_HEIGHT / 2}};
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    Polygon(dc, p, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

// Text button and layer button share everything but the icons.
void PaintDropDown(HDC dc, const RECT *rect, UINT itemState, const char *text, int focus, uint32_t stateBits,
                   bool withIcons)
{
    const uint32_t style = ButtonStyle(itemState, focus);
    COLORREF textColour = 0;
    const int offset = StatusDrawButtonFace(dc, style, rect, &textColour);
    RECT r = *rect;
    OffsetRect(&r, offset, offset);
    RECT textRect = r;
    textRect.left += TEXT_LEFT;
    textRect.right -= TEXT_RIGHT;
    if (withIcons) {
        const int height = r.bottom - r.top;
        const int y = r.top + 2 + std::min(1, (height - STATE_ICON_HEIGHT) / 2);
        int x = r.left + TEXT_LEFT;
        bool any = false;
        for (int i = 0; i < STATE_ICONS; ++i) {
            if (!(stateBits & (1u << i)))
                continue;
            char name[ICON_NAME_SIZE];
            StateIconName(name, false, i);
            DrawNamedIcon(dc, name, x, y, 0);
            x += STATE_ICON_STEP;
            any = true;
        }
        if (any)
            textRect.left = x + 2;
    }
    const char *label = text && text[0] ? text : eUniTexts[EMPTY_LABEL];
    DrawLabel(dc, textRect, label, textColour);
    DrawTriangle(dc, r, textColour);
    StatusDrawButtonBorder(dc, style, rect);
}

// Cross over both diagonals of a swatch.
void DrawCross(HDC dc, const RECT &s, HPEN pen)
{
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, s.left, s.top, nullptr);
    LineTo(dc, s.right, s.bottom);
    MoveToEx(dc, s.left, s.bottom - 1, nullptr);
    LineTo(dc, s.right, s.top - 1);
    SelectObject(dc, old);
}

// The two swatches of one property set: the line colour and the fill.
void DrawPropertySwatches(HDC dc, const RECT &line, const RECT &fill, int32_t mode, COLORREF colour1,
                          COLORREF colour2)
{
    HPEN textPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    if (mode == 0 || mode == 2 || mode == 4) {
        const int mid = (line.top + line.bottom) / 2;
        RECT band = {line.left, mid - ROW_BAND / 2, line.right, mid - ROW_BAND / 2 + ROW_BAND};
        FillSolid(dc, band, colour2);
    } else {
        DrawCross(dc, line, textPen);
    }
    if (mode == 0) {
        DrawCross(dc, fill, textPen);
    } else if (mode == 3 || mode == 4) {
        // The screen colour: the renderer's drawing-area brush and pen.
        HBRUSH screenBrush = g_SharedGdi.drawAreaBrush;
        if (screenBrush)
            FillRect(dc, &fill, screenBrush);
        HPEN screenPen = g_SharedGdi.drawAreaPen ? g_SharedGdi.drawAreaPen : textPen;
        DrawCross(dc, fill, screenPen);
    } else {
        FillSolid(dc, fill, colour1);
    }
    DeleteObject(textPen);
    StatusDrawFrameSunken(dc, &line);
    StatusDrawFrameSunken(dc, &fill);
}

struct RowRecord {
    const char *name;
    uint32_t state;
    int32_t modeA;
    COLORREF colourA1, colourA2;
    int32_t modeB;
    COLORREF colourB1, colourB2;
};

// One pen or layer row, or a group header (record null, name the group path).
void PaintDefinitionRow(HDC dc, const RECT *rect, UINT itemState, const RowRecord *record, const char *groupName,
                        int link)
{
    const Colours colours = RowColours(itemState);
    const int L = rect->left, T = rect->top, R = rect->right, B = rect->bottom;
    const int h = B - T;
    const int off = std::min(1, (h - STATE_ICON_HEIGHT) / 2);
    const int s = h - 2 * off;
    const int x0 = R - (4 * s + 8);
    const RECT iconColumn = {L, T, L + ROW_ICON_COLUMN, B};
    const RECT nameColumn = {L + ROW_ICON_COLUMN, T, x0 - 3, B};
    const RECT swatchColumn = {x0 - 3, T, R, B};
    const bool header = record == nullptr;
    const char *name = header ? groupName : record->name;

    FillRect(dc, &iconColumn, GetSysColorBrush(COLOR_WINDOW));
    FillRect(dc, &swatchColumn, GetSysColorBrush(COLOR_WINDOW));
    FillRect(dc, &nameColumn, GetSysColorBrush(header ? COLOR_WINDOW : colours.background));

    const int iconY = T + off;
    if (!header) {
        if (itemState & ODS_SELECTED) {
            HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
            FrameRect(dc, &iconColumn, frame);
            FrameRect(dc, &swatchColumn, frame);
            DeleteObject(frame);
        }
        for (int i = 0; i < STATE_ICONS; ++i) {
            if (!(record->state & (1u << i)))
                continue;
            char icon[ICON_NAME_SIZE];
            StateIconName(icon, false, i);
            DrawNamedIcon(dc, icon, L + 2 + STATE_ICON_STEP * i, iconY, 0);
        }
        const int xs[4] = {x0, x0 + s + 1, x0 + 2 * s + 6, x0 + 3 * s + 7};
        RECT sw[4];
        for (int i = 0; i < 4; ++i)
            sw[i] = RECT{xs[i], T + off, xs[i] + s, T + off + s};
        DrawPropertySwatches(dc, sw[0], sw[1], record->modeA, record->colourA1, record->colourA2);
        DrawPropertySwatches(dc, sw[2], sw[3], record->modeB, record->colourB1, record->colourB2);
    } else {
        char icon[ICON_NAME_SIZE];
        for (int i = 0; i < STATE_ICONS; ++i) {
            StateIconName(icon, true, i);
            DrawNamedIcon(dc, icon, L + 2 + STATE_ICON_STEP * i, iconY, 0);
        }
        const int iconWidth = STATE_ICON_STEP - 2;
        const int allMiddle = x0 + (4 * s + 7) / 2;
        const int firstMiddle = x0 + (2 * s + 1) / 2;
        const int secondMiddle = x0 + 2 * s + 6 + (2 * s + 1) / 2;
        StateIconName(icon, true, 0);
        DrawNamedIcon(dc, icon, (link ? allMiddle - iconWidth : firstMiddle - iconWidth / 2), iconY, 0);
        StateIconName(icon, true, 1);
        DrawNamedIcon(dc, icon, (link ? allMiddle + 1 : secondMiddle - iconWidth / 2), iconY, 0);
    }

    // Group path in grey, then the leaf.
    char path[BOX01_GROUP_NAME_SIZE] = "", leaf[BOX01_GROUP_NAME_SIZE] = "";
    if (header) {
        // The header's own trailing backslash belongs to its leaf.
        const size_t n = strlen(name);
        char trimmed[BOX01_GROUP_NAME_SIZE];
        lstrcpynA(trimmed, name, sizeof trimmed);
        if (n > 0 && n < sizeof trimmed)
            trimmed[n - 1] = 0;
        Box01SplitNamePath(trimmed, path, nullptr);
        lstrcpynA(leaf, name + strlen(path), sizeof leaf);
    } else {
        Box01SplitNamePath(name, path, leaf);
    }
    if (!leaf[0]) { // no leaf: the whole name
        lstrcpynA(leaf, name, sizeof leaf);
        path[0] = 0;
    }
    RECT text = {L + ROW_ICON_COLUMN + 1, T, x0 - 4, B};
    if (path[0]) {
        DrawLabel(dc, text, path, GetSysColor(COLOR_GRAYTEXT));
        text.left += TextWidth(dc, path);
    }
    DrawLabel(dc, text, leaf, header ? GetSysColor(COLOR_WINDOWTEXT) : colours.text);
}

RowRecord PenRow(const PenDef &pen)
{
    return RowRecord{pen.name,        pen.state,         pen.setA.fillMode, pen.setA.color1,
                     pen.setA.color2, pen.setB.fillMode, pen.setB.color1,   pen.setB.color2};
}

RowRecord LayerRow(const LayerDef &layer)
{
    return RowRecord{layer.name,        layer.state,         layer.setA.fillMode, layer.setA.color1,
                     layer.setA.color2, layer.setB.fillMode, layer.setB.color1,   layer.setB.color2};
}

bool Skip(const DRAWITEMSTRUCT *item)
{
    return !item || item->itemAction == ODA_FOCUS;
}

} // namespace

// --- Painters ----------------------------------------------------------------

void Box01PaintColorButton(HDC dc, const RECT *rect, UINT itemState, COLORREF colour, int focus)
{
    const uint32_t style = ButtonStyle(itemState, focus);
    const int offset = StatusDrawButtonFace(dc, style, rect, nullptr);
    RECT swatch = *rect;
    OffsetRect(&swatch, offset, offset);
    swatch.left += 2;
    swatch.top += 2;
    swatch.right -= 3;
    swatch.bottom -= 3;
    FillSolid(dc, swatch, colour);
    StatusDrawFrameSunken(dc, &swatch);
    StatusDrawButtonBorder(dc, style, rect);
}

void Box01PaintTextButton(HDC dc, const RECT *rect, UINT itemState, const char *text, int focus)
{
    PaintDropDown(dc, rect, itemState, text, focus, 0, false);
}

void Box01PaintLayerButton(HDC dc, const RECT *rect, UINT itemState, uint32_t state, const char *name, int focus)
{
    PaintDropDown(dc, rect, itemState, name, focus, state, true);
}

void Box01PaintIconButton(HDC dc, const RECT *rect, UINT itemState, const char *iconName, int pressed)
{
    uint32_t style = ButtonStyle(itemState, 0);
    if (pressed)
        style |= STATUS_BUTTON_FOCUS;
    const int offset = StatusDrawButtonFace(dc, style, rect, nullptr);
    if (pressed)
        StatusDrawButtonPattern(dc, rect); // under the icon, so the icon stays clear
    RECT r = *rect;
    OffsetRect(&r, offset, offset);
    DrawNamedIcon(dc, iconName, (r.left + r.right - ICON_BUTTON_SIZE) / 2, (r.top + r.bottom - ICON_BUTTON_SIZE) / 2,
                  ICON_BUTTON_SIZE);
    StatusDrawButtonBorder(dc, style, rect);
}

void Box01PaintColorRow(HDC dc, const RECT *rect, UINT itemState, COLORREF colour, const char *text)
{
    const Colours colours = RowColours(itemState);
    FillRect(dc, rect, GetSysColorBrush(colours.background));
    const int height = rect->bottom - rect->top;
    RECT swatch = {rect->left + 2, rect->top + 1, rect->left + 2 + height * 3 / 2, rect->bottom - 1};
    RECT textRect = *rect;
    textRect.left = swatch.right + 4;
    DrawLabel(dc, textRect, text ? text : "", colours.text);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
    Rectangle(dc, swatch.left, swatch.top, swatch.right, swatch.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void Box01PaintLayerRow(HDC dc, const RECT *rect, UINT itemState, int index, const LayerDef *layers,
                        const char (*groupNames)[BOX01_GROUP_NAME_SIZE], int link)
{
    if (index >= BOX01_GROUP_ITEM_BASE) {
        if (groupNames)
            PaintDefinitionRow(dc, rect, itemState, nullptr, groupNames[index - BOX01_GROUP_ITEM_BASE], link);
        return;
    }
    if (index < 0 || !layers)
        return;
    const RowRecord row = LayerRow(layers[index]);
    PaintDefinitionRow(dc, rect, itemState, &row, nullptr, link);
}

void Box01PaintPenRow(HDC dc, const RECT *rect, UINT itemState, int index, const PenDef *pens,
                      const char (*groupNames)[BOX01_GROUP_NAME_SIZE], int link)
{
    if (index >= BOX01_GROUP_ITEM_BASE) {
        if (groupNames)
            PaintDefinitionRow(dc, rect, itemState, nullptr, groupNames[index - BOX01_GROUP_ITEM_BASE], link);
        return;
    }
    if (index < 0 || !pens)
        return;
    const RowRecord row = PenRow(pens[index]);
    PaintDefinitionRow(dc, rect, itemState, &row, nullptr, link);
}

void Box01PaintTabbedRow(HDC dc, const RECT *rect, UINT itemState, const LibrarySlot *slot)
{
    const Colours colours = RowColours(itemState);
    FillRect(dc, rect, GetSysColorBrush(colours.background));
    if (!slot)
        return;
    const uint32_t marks = slot->further[LIBRARY_MARK_WORD];
    const int column = TextWidth(dc, "W");
    const char *texts[5] = {
        (marks & LIBRARY_MARK_NEW) ? eUniTexts[MARK_NEW] : (marks & LIBRARY_MARK_OPEN) ? eUniTexts[MARK_OPEN] : "",
        (marks & LIBRARY_MARK_CLOSE) ? eUniTexts[MARK_CLOSE] : "",
        (marks & LIBRARY_MARK_SAVE) ? eUniTexts[MARK_SAVE] : "",
        (marks & LIBRARY_MARK_RELOAD) ? eUniTexts[MARK_RELOAD] : "",
        slot->modified ? eUniTexts[MARK_MODIFIED] : "",
    };
    RECT r = *rect;
    r.left += 2;
    for (const char *text : texts) {
        r.right = r.left + column;
        DrawLabel(dc, r, text, colours.text);
        r.left += column;
    }
    r.right = rect->right;
    r.left += 2;
    DrawLabel(dc, r, slot->info.title, colours.text);
}

// --- WM_DRAWITEM handlers ----------------------------------------------------------

void Box01DialogCustomButtonColor(const DRAWITEMSTRUCT *item, COLORREF colour, int focus)
{
    if (!Skip(item))
        Box01PaintColorButton(item->hDC, &item->rcItem, item->itemState, colour, focus);
}

void Box01DialogCustomButtonText(const DRAWITEMSTRUCT *item, const char *text, int focus)
{
    if (!Skip(item))
        Box01PaintTextButton(item->hDC, &item->rcItem, item->itemState, text, focus);
}

void Box01DialogCustomButtonLayer(const DRAWITEMSTRUCT *item, uint32_t state, const char *name, int focus)
{
    if (!Skip(item))
        Box01PaintLayerButton(item->hDC, &item->rcItem, item->itemState, state, name, focus);
}

void Box01DialogCustomButtonIcon(const DRAWITEMSTRUCT *item, const char *iconName, int focus)
{
    if (!Skip(item))
        Box01PaintIconButton(item->hDC, &item->rcItem, item->itemState, iconName, focus);
}

void Box01DialogCustomListboxColor(const DRAWITEMSTRUCT *item, COLORREF colour, const char *text)
{
    if (!Skip(item))
        Box01PaintColorRow(item->hDC, &item->rcItem, item->itemState, colour, text);
}

void Box01DrawItemLayerRow(const DRAWITEMSTRUCT *item, int index, const LayerDef *layers,
                           const char (*groupNames)[BOX01_GROUP_NAME_SIZE], int link)
{
    if (!Skip(item))
        Box01PaintLayerRow(item->hDC, &item->rcItem, item->itemState, index, layers, groupNames, link);
}

void Box01DrawItemPenRow(const DRAWITEMSTRUCT *item, int index, const PenDef *pens,
                         const char (*groupNames)[BOX01_GROUP_NAME_SIZE], int link)
{
    if (!Skip(item))
        Box01PaintPenRow(item->hDC, &item->rcItem, item->itemState, index, pens, groupNames, link);
}

void Box01DrawItemLibraryRow(const DRAWITEMSTRUCT *item, const LibrarySlot *slot)
{
    if (!Skip(item))
        Box01PaintTabbedRow(item->hDC, &item->rcItem, item->itemState, slot);
}

// --- Progress bar and colour patch -------------------------------------------------

int Box01ProgressText(char *out, int outSize, int done, int total, int clientWidth, int *filledWidth)
{
    if (total <= 0)
        return 0;
    const double f = std::clamp(static_cast<double>(done) / total, 0.0, 1.0);
    if (filledWidth)
        *filledWidth = static_cast<int>(std::floor((clientWidth - 1) * f + 0.5));
    if (f < 0.01 && done > 0)
        snprintf(out, outSize, "1%%");
    else if (f > 0.99 && done < total)
        snprintf(out, outSize, "99%%");
    else
        snprintf(out, outSize, "%d%%", static_cast<int>(std::floor(100 * f + 0.5)));
    return 1;
}

void Box01DrawProgressBar(HWND control, int done, int total)
{
    InvalidateRect(control, nullptr, FALSE);
    UpdateWindow(control);
    RECT client;
    GetClientRect(control, &client);
    char text[16];
    int w = 0;
    if (!Box01ProgressText(text, sizeof text, done, total, client.right - client.left, &w))
        return;
    HDC dc = GetDC(control);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldFont = hDialogFont ? SelectObject(dc, hDialogFont) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    RECT filled = {client.left + 1, client.top, client.left + 1 + w, client.bottom};
    FillRect(dc, &filled, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawTextA(dc, text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    RECT rest = {client.left + 1 + w, client.top, client.right, client.bottom};
    FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
    HRGN clip = CreateRectRgnIndirect(&rest);
    SelectClipRgn(dc, clip);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
    HPEN frame = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    SelectObject(dc, frame);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (oldFont)
        SelectObject(dc, oldFont);
    DeleteObject(frame);
    ReleaseDC(control, dc);
}

void Box01PaintColorPreview(HWND control, COLORREF colour)
{
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    RECT upper = client, lower = client;
    upper.bottom = lower.top = (client.top + client.bottom) / 2;
    FillSolid(dc, upper, colour);
    // The screen's own rendering of the colour: the nearest one it can show.
    FillSolid(dc, lower, GetNearestColor(dc, colour));
    HPEN frame = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, frame);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(frame);
    ReleaseDC(control, dc);
}
