// Owner-drawn icon buttons and list rows of the dialogs.
#include <windows.h>

#include <cstdio>

#include "app/darad4.h"
#include "database/symbol_charlib.h"
#include "dialogs/box01.h"
#include "language/language.h"

namespace {

constexpr int kIconSize = 32;
constexpr int kIconNameSize = 64;
constexpr int kMarkNew = 39, kMarkRemove = 40; // eUniTexts
constexpr int kTextMargin = 2;

// Row colours by item state: text and background.
void RowColours(UINT state, COLORREF *text, int *background)
{
    const bool selected = (state & ODS_SELECTED) != 0, disabled = (state & ODS_DISABLED) != 0;
    *background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    *text = GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
}

void DrawRowText(HDC dc, RECT r, const char *text, COLORREF colour)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
}

} // namespace

void Box01DrawItemNumberedIcon(const DRAWITEMSTRUCT *item, const char *format, int baseId, int current)
{
    if (!item || item->itemAction == ODA_FOCUS)
        return;
    const int n = int(item->CtlID) - baseId;
    const bool pressed = n == current || (item->itemState & ODS_SELECTED);
    RECT r = item->rcItem;
    HDC dc = item->hDC;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    char name[kIconNameSize];
    std::snprintf(name, sizeof name, format, n);
    const int offset = pressed ? 1 : 0;
    HICON icon = static_cast<HICON>(LoadImageA(g_Instance, name, IMAGE_ICON, kIconSize, kIconSize, 0));
    if (icon) {
        DrawIconEx(dc, (r.left + r.right - kIconSize) / 2 + offset, (r.top + r.bottom - kIconSize) / 2 + offset, icon,
                   kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    } else {
        char number[16];
        std::snprintf(number, sizeof number, "%d", n);
        OffsetRect(&r, offset, offset);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor((item->itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        DrawTextA(dc, number, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
}

void Box01DrawItemFontRow(const DRAWITEMSTRUCT *item, const CharLibrarySlot *slot)
{
    if (!item || item->itemAction == ODA_FOCUS || !slot)
        return;
    HDC dc = item->hDC;
    COLORREF text;
    int background;
    RowColours(item->itemState, &text, &background);
    RECT r = item->rcItem;
    FillRect(dc, &r, GetSysColorBrush(background));
    SIZE w{};
    GetTextExtentPoint32A(dc, "W", 1, &w);
    RECT column = r;
    column.left += kTextMargin;
    column.right = column.left + w.cx;
    if (slot->added)
        DrawRowText(dc, column, eUniTexts[kMarkNew], text);
    OffsetRect(&column, w.cx, 0);
    if (slot->remove)
        DrawRowText(dc, column, eUniTexts[kMarkRemove], text);
    RECT name = r;
    name.left = column.right + kTextMargin;
    DrawRowText(dc, name, slot->info.title, text);
}
