// The start screen: what the main window shows while the program starts.
#include "app/darad4_start.h"

#include <cstdio>

#include "app/darad4.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "language/language.h"

namespace {

constexpr int TEXT_PROGRAM_CAPTION = 1; // eStartUpText1
constexpr int TEXT_SERVICE_LEVEL = 3;   // eProfileTitle
constexpr int LOGO_MARGIN = 10;
constexpr int LOGO_SHADOW = 2;
constexpr int ICON_INSET = 42;
constexpr COLORREF VERSION_COLOR = 0x0299FFFF; // palette-relative light yellow

// The bitmap of the program's resources drawn at (x, y) with rop, when the
// program has it.
void DrawResourceBitmap(HDC dc, const char *name, int x, int y, DWORD rop)
{
    HBITMAP bitmap = LoadBitmapA(g_Instance, name);
    if (!bitmap)
        return;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, rop);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

void FillBackground(HDC dc, const RECT &client)
{
    HBITMAP rainbow = static_cast<HBITMAP>(
        LoadImageA(g_Instance, "IDB_RAINBOW", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!rainbow) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    BITMAP info{};
    GetObjectA(rainbow, sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    HPALETTE palette = g_SharedGdi.palette;
    HPALETTE oldPalette = palette ? SelectPalette(dc, palette, FALSE) : nullptr;
    if (palette) {
        SelectPalette(memory, palette, FALSE);
        RealizePalette(dc);
    }
    HGDIOBJ old = SelectObject(memory, rainbow);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    if (oldPalette)
        SelectPalette(dc, oldPalette, FALSE);
    DeleteDC(memory);
    DeleteObject(rainbow);
}

} // namespace

void AppFormatStartVersion(char *out, size_t size)
{
    char date[SYSTEM_BUILD_DATE_SIZE];
    SystemGetBuildDate(date);
    std::snprintf(out, size,
                  g_IsWin9x ? "Version 4.7%s Service Pack 4, %s, Win95/98 %d.%d"
                            : "Version 4.7%s Service Pack 4, %s, NT %d.%d",
                  eProfileTitle[TEXT_SERVICE_LEVEL], date, static_cast<int>(g_OsMajor),
                  static_cast<int>(g_OsMinor));
}

void AppPaintStartScreen(HWND window, HDC dc, const RECT &update)
{
    SetWindowTextA(window, eStartUpText1[TEXT_PROGRAM_CAPTION]);
    RECT client{};
    GetClientRect(window, &client);
    FillBackground(dc, client);

    BITMAP logo{};
    if (HBITMAP probe = LoadBitmapA(g_Instance, "IDB_ZVLOGO")) {
        GetObjectA(probe, sizeof logo, &logo);
        DeleteObject(probe);
    }
    if (update.top <= logo.bmHeight + LOGO_MARGIN + LOGO_SHADOW) {
        DrawResourceBitmap(dc, "IDB_ZVLOGO", LOGO_MARGIN + LOGO_SHADOW, LOGO_MARGIN + LOGO_SHADOW, SRCAND);
        DrawResourceBitmap(dc, "IDB_ZVLOGO", LOGO_MARGIN, LOGO_MARGIN, MERGEPAINT);
    }

    char version[160];
    AppFormatStartVersion(version, sizeof version);
    HGDIOBJ oldFont = g_SharedGdi.aboutFont ? SelectObject(dc, g_SharedGdi.aboutFont) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    SetTextColor(dc, VERSION_COLOR);
    TextOutA(dc, client.left + LOGO_MARGIN, client.bottom - LOGO_MARGIN, version, lstrlenA(version));
    if (oldFont)
        SelectObject(dc, oldFont);

    if (HICON icon = LoadIconA(g_LanguageModule, "IDI_LOGO"))
        DrawIcon(dc, client.right - ICON_INSET, client.bottom - ICON_INSET, icon);
}
