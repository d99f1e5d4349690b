// The program status dialog and the about box: read-only facts about the
// running program.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

#include "app/darad4.h"
#include "app/darad4_start.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "database/storage.h"
#include "database/symbol_charlib.h"
#include "database/symbol_library.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box07.h"
#include "files/image_list.h"
#include "language/language.h"

namespace {

constexpr int HELP_PROGRAM_STATUS = 15036;
constexpr int LIST_DRAWING = 0, LIST_BLOCKS = 1, LIST_CHARS_FIRST = 3, LIST_CHARS_LAST = 12,
              LIST_SYMBOLS_FIRST = 13, LIST_SYMBOLS_LAST = 62;
constexpr int FORMAT_MEMORY = 14, FORMAT_SYMBOL_LIBRARIES = 15, FORMAT_CHAR_LIBRARIES = 16; // eUniTexts
constexpr int CLIP_OWN = 11, CLIP_EMF = 12, CLIP_WMF = 13, CLIP_DIB = 14, CLIP_NONE = 15; // eDefaultNames
constexpr double INCH_PER_MM = 0.03937007874016;
constexpr int MAX_COLOR_EXPONENT = 24;

struct StatusRecord {
    DialogHeader header;
    const MemStatistics *statistics;
    const char *caption;
};

long Kilobytes(uint64_t bytes)
{
    return static_cast<long>((bytes + 1023) / 1024);
}

void SetLong(HWND dialog, int id, long value)
{
    char text[32];
    snprintf(text, sizeof text, "%ld", value);
    SetDlgItemTextA(dialog, id, text);
}

void SetFixed(HWND dialog, int id, double value)
{
    char text[32];
    snprintf(text, sizeof text, "%.2f", value);
    SetDlgItemTextA(dialog, id, text);
}

void SetListSum(HWND dialog, int countId, int bytesId, const MemStatistics &s, int first, int last)
{
    long count = 0;
    uint64_t bytes = 0;
    for (int i = first; i <= last; ++i) {
        count += static_cast<long>(s.lists[i].count);
        bytes += s.lists[i].bytes;
    }
    SetLong(dialog, countId, count);
    SetLong(dialog, bytesId, Kilobytes(bytes));
}

int ClipboardEntry()
{
    if (g_ClipboardFormatZvd && IsClipboardFormatAvailable(g_ClipboardFormatZvd))
        return CLIP_OWN;
    if (IsClipboardFormatAvailable(CF_ENHMETAFILE))
        return CLIP_EMF;
    if (IsClipboardFormatAvailable(CF_METAFILEPICT))
        return CLIP_WMF;
    if (IsClipboardFormatAvailable(CF_DIB))
        return CLIP_DIB;
    return CLIP_NONE;
}

void FillStatus(HWND dialog, const MemStatistics &s)
{
    const ObjectList &chain = s.lists[LIST_TABLE_SIZE - 1];
    char text[256];
    snprintf(text, sizeof text, eUniTexts[FORMAT_MEMORY], static_cast<int>(Kilobytes(chain.count)),
             static_cast<int>(Kilobytes(chain.count - chain.bytes)));
    SetDlgItemTextA(dialog, 350, text);
    SetListSum(dialog, 352, 353, s, LIST_DRAWING, LIST_DRAWING);
    SetListSum(dialog, 354, 355, s, LIST_BLOCKS, LIST_BLOCKS);
    snprintf(text, sizeof text, eUniTexts[FORMAT_SYMBOL_LIBRARIES], g_LibrarySlots.count);
    SetDlgItemTextA(dialog, 372, text);
    SetListSum(dialog, 362, 363, s, LIST_SYMBOLS_FIRST, LIST_SYMBOLS_LAST);
    snprintf(text, sizeof text, eUniTexts[FORMAT_CHAR_LIBRARIES], g_CharLibrarySlots.count);
    SetDlgItemTextA(dialog, 373, text);
    SetListSum(dialog, 364, 365, s, LIST_CHARS_FIRST, LIST_CHARS_LAST);
    SetLong(dialog, 376, g_BitmapList.count);
    SetLong(dialog, 377, Kilobytes(ImageBytesInUse()));
    SetDlgItemTextA(dialog, 358, eDefaultNames[ClipboardEntry()]);
    snprintf(text, sizeof text, "%d", g_ScreenWidth);
    SetDlgItemTextA(dialog, 366, text);
    snprintf(text, sizeof text, "%d", g_ScreenHeight);
    SetDlgItemTextA(dialog, 369, text);
    SetFixed(dialog, 367, g_MonitorWidth);
    SetFixed(dialog, 370, g_MonitorHeight);
    SetFixed(dialog, 368, g_MonitorWidth * INCH_PER_MM);
    SetFixed(dialog, 371, g_MonitorHeight * INCH_PER_MM);
    HDC dc = GetDC(nullptr);
    const int depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    snprintf(text, sizeof text, "%d", depth);
    SetDlgItemTextA(dialog, 374, text);
    SetLong(dialog, 375, 1L << (depth < MAX_COLOR_EXPONENT ? depth : MAX_COLOR_EXPONENT));
}

INT_PTR CALLBACK StatusProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto *r = reinterpret_cast<StatusRecord *>(Box01DialogInit(dialog, lParam));
        if (r->caption && r->caption[0])
            SetWindowTextA(dialog, r->caption);
        FillStatus(dialog, *r->statistics);
        SetFocus(dialog);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
        return 0;
    default:
        return Box01DialogDefault(dialog, message, wParam, lParam, HELP_PROGRAM_STATUS);
    }
}

// About box.
constexpr int ID_PICTURE = 350, ID_TEXT = 351;
constexpr int ABOUT_LINE_GAP = 5;

struct AboutRecord {
    DialogHeader header;
    const char *caption;
};

// The program's logo, as large as the picture area allows.
void PaintPicture(HWND dialog, HDC dc)
{
    RECT area;
    GetWindowRect(GetDlgItem(dialog, ID_PICTURE), &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&area), 2);
    const int size = std::min(area.right - area.left, area.bottom - area.top);
    HICON logo = static_cast<HICON>(LoadImageA(g_LanguageModule, "IDI_LOGO", IMAGE_ICON, size, size, 0));
    if (!logo)
        return;
    DrawIconEx(dc, area.left, area.top, logo, size, size, 0, nullptr, DI_NORMAL);
    DestroyIcon(logo);
}

void PaintAbout(HWND dialog)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    PaintPicture(dialog, dc);
    RECT area;
    GetWindowRect(GetDlgItem(dialog, ID_TEXT), &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&area), 2);
    char line[256];
    AppFormatStartVersion(line, sizeof line);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    RECT textRect = area;
    const int height = DrawTextA(dc, line, -1, &textRect, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    textRect = area;
    DrawTextA(dc, line, -1, &textRect, DT_WORDBREAK | DT_NOPREFIX);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const int y = area.top + height + ABOUT_LINE_GAP;
    MoveToEx(dc, area.left, y, nullptr);
    LineTo(dc, area.right, y);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    SelectObject(dc, oldFont);
    EndPaint(dialog, &ps);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto *r = reinterpret_cast<AboutRecord *>(Box01DialogInit(dialog, lParam));
        if (r->caption && r->caption[0])
            SetWindowTextA(dialog, r->caption);
        // The two statics only mark the areas the box paints itself; shown,
        // they would paint their empty background over the text.
        ShowWindow(GetDlgItem(dialog, ID_PICTURE), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, ID_TEXT), SW_HIDE);
        SetFocus(GetDlgItem(dialog, IDOK));
        return 0;
    }
    case WM_PAINT:
        PaintAbout(dialog);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
        return 0;
    default:
        return Box01DialogDefault(dialog, message, wParam, lParam, HELP_CONTEXT_NONE);
    }
}

} // namespace

uint32_t Box07ProgramStatus(HWND owner, const char *caption)
{
    std::unique_ptr<MemStatistics> statistics(new (std::nothrow) MemStatistics);
    if (!statistics)
        return 0;
    MemGetStatistics(statistics.get());
    StatusRecord record = {};
    record.statistics = statistics.get();
    record.caption = caption;
    if (Box01DialogRun(owner, "PROGRAMSTATUS", StatusProc, &record.header) == -1)
        return 0;
    return 1;
}

uint32_t Box07About(HWND owner, const char *caption)
{
    AboutRecord record = {};
    record.caption = caption;
    if (Box01DialogRun(owner, "ABOUTBOX", AboutProc, &record.header) == -1)
        return 0;
    return 1;
}
