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
#include "app/init_gdi.h"
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
constexpr int ABOUT_PICTURE_SIZE = 308;  // pixels, the picture's side
constexpr int ABOUT_TEXT_WIDTH = 220;    // pixels
constexpr UINT_PTR ABOUT_TIMER = 12345;
constexpr UINT ABOUT_IDLE_MS = 10000;    // the credits start after this long
constexpr DWORD ABOUT_SCROLL_MS = 500;   // one line of text height scrolls in this long
constexpr DWORD ABOUT_END_WAIT_MS = 1000;
constexpr char ABOUT_END_MARK = '\x04';  // the first byte of the table's end entry
constexpr char ABOUT_BITMAP_MARK = '*';

struct AboutRecord {
    DialogHeader header;
    const char *caption;
    uint32_t running;       // the credits sequence is running
    uint32_t stopRequested; // ... and should end at its next step
};

// An area of the box in client coordinates.
RECT ItemRect(HWND dialog, int id)
{
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

// The box's size and its three areas in pixels, from the dialog units of
// its font: the picture at its own size beside a text column of fixed width.
void LayOutAbout(HWND dialog)
{
    RECT units = {0, 0, 2, 2};
    MapDialogRect(dialog, &units);
    const int bx = units.right, by = units.bottom;
    RECT window = {0, 0, 7 * bx + ABOUT_PICTURE_SIZE + ABOUT_TEXT_WIDTH, 4 * by + ABOUT_PICTURE_SIZE};
    AdjustWindowRectEx(&window, DWORD(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongA(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(dialog, &client);
    HWND ok = GetDlgItem(dialog, IDOK);
    RECT button;
    GetWindowRect(ok, &button);
    const int bw = button.right - button.left, bh = button.bottom - button.top;
    MoveWindow(GetDlgItem(dialog, ID_PICTURE), 2 * bx, 2 * by, ABOUT_PICTURE_SIZE, ABOUT_PICTURE_SIZE, FALSE);
    MoveWindow(GetDlgItem(dialog, ID_TEXT), 5 * bx + ABOUT_PICTURE_SIZE, 2 * by, ABOUT_TEXT_WIDTH,
               ABOUT_PICTURE_SIZE - 2 * by - bh, FALSE);
    MoveWindow(ok, client.right - bx - bw, client.bottom - by - bh, bw, bh, FALSE);
}

// A bitmap of the program's resources as a device-independent section, or 0.
HBITMAP LoadProgramBitmap(const char *name, BITMAP *info)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(g_Instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap)
        GetObjectA(bitmap, sizeof *info, info);
    return bitmap;
}

// The about picture drawn at (x, y), 1:1, through the program's palette.
void DrawAboutPicture(HDC dc, int x, int y)
{
    BITMAP info{};
    HBITMAP bitmap = LoadProgramBitmap("IDB_ABOUT", &info);
    if (!bitmap)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HPALETTE palette = g_SharedGdi.palette;
    HPALETTE oldPalette = nullptr, oldMemoryPalette = nullptr;
    if (palette) {
        oldPalette = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        oldMemoryPalette = SelectPalette(memory, palette, FALSE);
        RealizePalette(memory);
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    SelectObject(memory, old);
    if (palette) {
        SelectPalette(memory, oldMemoryPalette, FALSE);
        SelectPalette(dc, oldPalette, FALSE);
    }
    DeleteDC(memory);
    DeleteObject(bitmap);
}

void PaintAbout(HWND dialog)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    const RECT picture = ItemRect(dialog, ID_PICTURE), area = ItemRect(dialog, ID_TEXT);
    DrawAboutPicture(dc, picture.left, picture.top);
    char line[256];
    AppFormatStartVersion(line, sizeof line);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldFont = SelectObject(dc, g_SharedGdi.aboutFont);
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

// The credits sequence: the text area scrolls up pixel by pixel, and the
// entries of the about table come in at its bottom edge.
struct Scroller {
    HWND dialog;
    AboutRecord *record;
    HDC dc;
    RECT area;
    HBRUSH face;
    DWORD stepMs;

    // One pixel up; the freed bottom row cleared. False once a stop was asked.
    bool Step()
    {
        const DWORD start = GetTickCount();
        const int w = area.right - area.left, h = area.bottom - area.top;
        BitBlt(dc, area.left, area.top, w, h - 1, dc, area.left, area.top + 1, SRCCOPY);
        RECT bottom = {area.left, area.bottom - 1, area.right, area.bottom};
        FillRect(dc, &bottom, face);
        // The step time is waited out by polling, handling the box's messages
        // meanwhile; the short sleeps leave the processor to others.
        while (GetTickCount() - start < stepMs) {
            if (!PumpMessages())
                return false;
            Sleep(1);
        }
        return PumpMessages();
    }
    bool Steps(int n)
    {
        for (int i = 0; i < n; ++i)
            if (!Step())
                return false;
        return true;
    }
    // Every pending message of the box; false when a stop was asked.
    bool PumpMessages()
    {
        MSG msg;
        // Stops at a stop request: what came after it (the OK that closes the
        // box) is left for the dialog's own loop.
        while (!record->stopRequested && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        return !record->stopRequested && IsWindow(dialog);
    }
    // A picture of the program's resources, row by row into the freed line.
    bool ScrollBitmap(const char *name)
    {
        BITMAP info{};
        HBITMAP bitmap = LoadProgramBitmap(name, &info);
        if (!bitmap)
            return true;
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        const int x = area.left + (area.right - area.left - info.bmWidth) / 2;
        bool going = true;
        for (int row = 0; row < info.bmHeight && going; ++row) {
            going = Step();
            if (going)
                BitBlt(dc, x, area.bottom - 1, info.bmWidth, 1, memory, 0, row, SRCAND);
        }
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(bitmap);
        return going;
    }
    // A line of text scrolled in as high as it is, its bottom on the area's.
    bool ScrollText(const char *text)
    {
        SIZE size{};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        if (!Steps(size.cy))
            return false;
        RECT band = {area.left, area.bottom - size.cy, area.right, area.bottom};
        DrawTextA(dc, text, -1, &band, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
        return true;
    }
};

} // namespace

void Box07AboutAnimate(HWND dialog)
{
    auto *r = Box01DialogRecordOf<AboutRecord>(dialog);
    if (!r)
        return;
    KillTimer(dialog, ABOUT_TIMER);
    r->running = 1;
    r->stopRequested = 0;
    Scroller s{dialog, r, GetDC(dialog), ItemRect(dialog, ID_TEXT), GetSysColorBrush(COLOR_BTNFACE), 1};
    HGDIOBJ oldFont = SelectObject(s.dc, g_SharedGdi.aboutFont);
    SIZE w{};
    GetTextExtentPoint32A(s.dc, "W", 1, &w);
    const int lineHeight = w.cy > 0 ? w.cy : 1;
    s.stepMs = ABOUT_SCROLL_MS / DWORD(lineHeight);
    SetBkMode(s.dc, TRANSPARENT);
    SetTextColor(s.dc, GetSysColor(COLOR_BTNTEXT));
    FillRect(s.dc, &s.area, s.face);
    bool going = true;
    for (int i = 0; going && eAboutText[i] && eAboutText[i][0] != ABOUT_END_MARK; ++i) {
        const char *entry = eAboutText[i];
        if (entry[0] == ABOUT_BITMAP_MARK)
            going = s.ScrollBitmap(entry + 1);
        else if (!entry[0])
            going = s.Steps(lineHeight / 2);
        else
            going = s.ScrollText(entry);
    }
    if (going && s.Steps(s.area.bottom - s.area.top + 1)) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ABOUT_END_WAIT_MS && s.PumpMessages())
            Sleep(s.stepMs);
    }
    SelectObject(s.dc, oldFont);
    ReleaseDC(dialog, s.dc);
    if (!IsWindow(dialog))
        return;
    r->running = 0;
    InvalidateRect(dialog, nullptr, TRUE);
    SetFocus(GetDlgItem(dialog, IDOK));
    SetTimer(dialog, ABOUT_TIMER, ABOUT_IDLE_MS, nullptr);
}

uint32_t Box07AboutRunning(HWND dialog)
{
    const auto *r = Box01DialogRecordOf<AboutRecord>(dialog);
    return r ? r->running : 0;
}

namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto *r = reinterpret_cast<AboutRecord *>(Box01DialogInit(dialog, lParam));
        LayOutAbout(dialog);
        Box01DialogCenter(dialog);
        if (r->caption && r->caption[0])
            SetWindowTextA(dialog, r->caption);
        // The two statics only mark the areas the box paints itself; shown,
        // they would paint their empty background over the text.
        ShowWindow(GetDlgItem(dialog, ID_PICTURE), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, ID_TEXT), SW_HIDE);
        SetTimer(dialog, ABOUT_TIMER, ABOUT_IDLE_MS, nullptr);
        SetFocus(GetDlgItem(dialog, IDOK));
        return 0;
    }
    case WM_PAINT:
        PaintAbout(dialog);
        return 1;
    case WM_TIMER:
        if (wParam == ABOUT_TIMER) {
            auto *r = Box01DialogRecordOf<AboutRecord>(dialog);
            if (r && !r->running)
                Box07AboutAnimate(dialog);
            return 1;
        }
        return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id != IDOK && id != IDCANCEL)
            return 0;
        auto *r = Box01DialogRecordOf<AboutRecord>(dialog);
        if (r && r->running) {
            // The sequence runs inside a message of its own: it ends first,
            // and OK closes the box once it has.
            r->stopRequested = 1;
            if (id == IDOK)
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            return 1;
        }
        KillTimer(dialog, ABOUT_TIMER);
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    }
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
