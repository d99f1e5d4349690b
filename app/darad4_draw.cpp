// The drawing-window procedure shared by the four drawing windows and the
// view window, and the wheel zoom of the main window.
#include "app/darad4_draw.h"

#include <cmath>
#include <cstdlib>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/window.h"
#include "commands/command.h"
#include "commands/command_keys.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "database/object_select.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "display/output.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "geometry/calc.h"
#include "plugin/zvi_hooks.h"

namespace {

constexpr double WHEEL_NOTCH = 120.0;
constexpr double WHEEL_BASE = 1.414213562373; // one notch zooms by this factor
constexpr double WHEEL_NONE = 1e-10;
constexpr double SCROLL_LINE = 0.1;
constexpr double SCROLL_PAGE = 0.95;

void ArrowOrHelpCursor()
{
    const bool help = CommandMode() == TEMPLATE_HELP_PICK;
    SetCursor(LoadCursorA(nullptr, help ? IDC_HELP : IDC_ARROW));
}

bool Intersect(const RECT &a, const RECT &b, RECT *out)
{
    return IntersectRect(out, &a, &b) != 0;
}

void Paint(int index, HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (g_StartScreen || g_Closing) {
        EndPaint(hwnd, &ps);
        return;
    }
    SetCursor(nullptr);
    ScreenHideCrosshairs();
    InputFeedbackHide(4);
    ScreenEraseBackground(dc, &ps.rcPaint);
    WindowComputeAreas(index);
    DrawWindow *w = WindowGetRecord(index);
    if (g_RelayoutPending) {
        const int active = g_PageDefs.active >= 0 && g_PageDefs.active < PAGE_SLOTS ? g_PageDefs.active : 0;
        const double *page = g_PageDefs.frames[active];
        WindowSetViewRect(index, page[0], page[1], page[2], page[3]);
    } else {
        WindowSetView(index, WINDOW_VIEW_ABSOLUTE, CALC_NO_VALUE, CALC_NO_VALUE, CALC_NO_VALUE);
    }
    if (index != WINDOW_VIEW)
        ScreenSetScrollPos(index);
    if (WindowHasRulers(index) &&
        (ps.rcPaint.left <= w->rulerLeftRect.right || ps.rcPaint.top <= w->rulerTopRect.bottom)) {
        ScreenDrawRulerCorner(index);
        ScreenDrawRulers(index);
        ScreenDrawMarginIcons(index);
    }
    RECT inside;
    if (Intersect(ps.rcPaint, w->areaRect, &inside))
        OutputPaintWindow(index, &inside);
    for (int button = 0; button < WINDOW_BUTTONS; ++button)
        CommandDrawWindowButton(index, button);
    w->repaint = 0;
    EndPaint(hwnd, &ps);
    if (g_AppActive && g_ModalDepth == 0 && !GetCapture())
        OutputShowCrosshair();
    else
        ArrowOrHelpCursor();
}

void Scroll(int index, bool horizontal, WPARAM wParam)
{
    const double sign = horizontal ? 1.0 : -1.0; // up moves the view up, left moves it left
    double amount = 0.0;
    int mode = WINDOW_VIEW_RELATIVE;
    double position = CALC_NO_VALUE;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: amount = -SCROLL_LINE * sign; break;
    case SB_LINEDOWN: amount = SCROLL_LINE * sign; break;
    case SB_PAGEUP: amount = -SCROLL_PAGE * sign; break;
    case SB_PAGEDOWN: amount = SCROLL_PAGE * sign; break;
    case SB_THUMBPOSITION:
        mode = WINDOW_VIEW_SCROLL;
        position = static_cast<double>(HIWORD(wParam));
        break;
    default: return;
    }
    WindowPushView(index);
    const double value = mode == WINDOW_VIEW_SCROLL ? position : amount;
    if (horizontal)
        WindowSetView(index, mode, value, CALC_NO_VALUE, CALC_NO_VALUE);
    else
        WindowSetView(index, mode, CALC_NO_VALUE, value, CALC_NO_VALUE);
    OutputRedrawWindow(index);
    OutputShowCrosshair();
}

LRESULT RealisePalette(HWND hwnd)
{
    if (g_ScreenColorBits != HALFTONE_BITS || !g_DrawingSettings.displayPalette) {
        g_OutputContext.palette = nullptr;
        return 0;
    }
    HDC dc = GetDC(hwnd);
    HPALETTE palette = CreateHalftonePalette(dc);
    UINT changed = 0;
    if (palette) {
        HPALETTE old = SelectPalette(dc, palette, FALSE);
        changed = RealizePalette(dc);
        SelectPalette(dc, old, FALSE);
        DeleteObject(palette);
    }
    ReleaseDC(hwnd, dc);
    if (changed)
        InvalidateRect(hwnd, nullptr, FALSE);
    return changed;
}

bool IsRelease(UINT message)
{
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
}

// A second press of the left button within the system's double-click time
// and rectangle. The window class keeps no CS_DBLCLKS: the input machine
// sees every press as a press, and the double click is told from the
// message times here.
struct LastPress {
    int window = -1;
    LONG time = 0;
    POINT at{};
};
LastPress g_LastLeftPress;
bool g_PropertiesOnRelease = false;

bool IsDoubleClick(int index, POINT at)
{
    const LONG now = GetMessageTime();
    const LastPress last = g_LastLeftPress;
    g_LastLeftPress = LastPress{index, now, at};
    if (last.window != index)
        return false;
    const bool inTime = static_cast<DWORD>(now - last.time) <= GetDoubleClickTime();
    const bool inPlace = std::abs(at.x - last.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                         std::abs(at.y - last.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (inTime && inPlace)
        g_LastLeftPress.window = -1; // a third press starts anew
    return inTime && inPlace;
}

// In the pointer the first click selected the object; the second press of
// a double click does not start a move but, with its release, runs the
// property command (or, for a text, its editor) on that object: the command asks for the object, and
// the same click, posted behind it, answers.
bool DoubleClickPress(int index, POINT at)
{
    if (!IsDoubleClick(index, at) || g_CommandState->commandId != COMMAND_POINTER || !g_MainWnd)
        return false;
    // A double click on nothing: the first click emptied the selection.
    if (ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED) == 0)
        return false;
    g_PropertiesOnRelease = true;
    return true;
}

// What a text or a comment holds is its text: a double click edits that,
// as Edit Object does; every other object gets its property sheet.
int32_t DoubleClickCommand()
{
    const Unit *one = MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1);
    if (!one || one->kind != UNIT_KIND_OBJECT || ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED) != 1)
        return COMMAND_OBJECT_PROPERTIES;
    switch (one->object.type) {
    case OBJTYPE_STD_TEXT:
    case OBJTYPE_FRAME_TEXT:
    case OBJTYPE_REF_TEXT:
    case OBJTYPE_COMMENT: return COMMAND_EDIT_OBJECT;
    default: return COMMAND_OBJECT_PROPERTIES;
    }
}

bool DoubleClickRelease(HWND hwnd, LPARAM lParam)
{
    if (!g_PropertiesOnRelease)
        return false;
    g_PropertiesOnRelease = false;
    PostMessageA(g_MainWnd, WM_COMMAND, DoubleClickCommand(), 0);
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, lParam);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, lParam);
    return true;
}

LRESULT Mouse(HWND hwnd, int index, UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT p = AppMousePoint(lParam);
    const int x = p.x, y = p.y;
    if (g_PopupByRightButton) {
        if (IsRelease(message))
            g_PopupByRightButton = 0;
        return 0;
    }
    if (IsRelease(message)) {
        ZVI_HookMouseEnd(index, message, wParam, x, y);
        switch (message) {
        case WM_LBUTTONUP:
            if (!DoubleClickRelease(hwnd, lParam))
                CommandLButtonUp(index, x, y);
            break;
        case WM_RBUTTONUP: CommandRButtonUp(index, x, y); break;
        default: CommandMButtonUp(); break;
        }
        return 0;
    }
    if (g_StartScreen || !g_AppActive || GetCapture()) {
        ArrowOrHelpCursor();
        return 0;
    }
    WindowSetActive(index, 0);
    ZVI_HookMouseEnd(index, message, wParam, x, y);
    switch (message) {
    case WM_MOUSEMOVE: CommandMouseMove(index, x, y); break;
    case WM_LBUTTONDOWN:
        if (!DoubleClickPress(index, p))
            CommandLButtonDown(index, x, y);
        break;
    case WM_RBUTTONDOWN: CommandRButtonDown(index, x, y); break;
    default: CommandMButtonDown(); break;
    }
    return 0;
}

} // namespace

LRESULT AppDrawWndProc(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(index, hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint fills its own background
    case WM_SIZE:
        WindowComputeAreas(index);
        break;
    case WM_SETCURSOR:
        if (!g_StartScreen) {
            WindowSetActive(index, 0);
            if (LOWORD(lParam) == HTCLIENT && WindowIsOwnPopupActive() && g_MainWnd)
                SetActiveWindow(g_MainWnd);
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        Scroll(index, message == WM_HSCROLL, wParam);
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return Mouse(hwnd, index, message, wParam, lParam);
    case WM_QUERYNEWPALETTE:
        return RealisePalette(hwnd);
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != hwnd && RealisePalette(hwnd)) {
            HDC dc = GetDC(hwnd);
            UpdateColors(dc);
            ReleaseDC(hwnd, dc);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

namespace {

LRESULT ClassProc(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY && g_DrawWindows[index].hwnd == hwnd)
        g_DrawWindows[index].hwnd = nullptr; // no stale handle behind
    if (index < g_DrawWindowCount)
        return AppDrawWndProc(index, hwnd, message, wParam, lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK AppDrawWndProc1(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ClassProc(0, w, m, wp, lp); }
LRESULT CALLBACK AppDrawWndProc2(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ClassProc(1, w, m, wp, lp); }
LRESULT CALLBACK AppDrawWndProc3(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ClassProc(2, w, m, wp, lp); }
LRESULT CALLBACK AppDrawWndProc4(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ClassProc(3, w, m, wp, lp); }

double AppWheelFactor(int delta)
{
    const double n = delta / WHEEL_NOTCH;
    if (std::fabs(n) < WHEEL_NONE)
        return 0.0;
    return std::exp(std::log(WHEEL_BASE) * n);
}

void AppMainMouseWheel(WPARAM wParam)
{
    const double f = AppWheelFactor(static_cast<int16_t>(HIWORD(wParam)));
    if (f == 0.0)
        return;
    int window = ScreenTrackCursor();
    if (window >= 0) {
        WindowPushView(window);
        WindowSetView(window, WINDOW_VIEW_ZOOM_ABOUT, g_CursorPos.x, g_CursorPos.y, f);
    } else {
        window = g_ActiveWindow;
        WindowPushView(window);
        WindowSetView(window, WINDOW_VIEW_RELATIVE, CALC_NO_VALUE, CALC_NO_VALUE, f);
    }
    OutputRedrawWindow(window);
    OutputShowCrosshair();
}

POINT AppMousePoint(LPARAM lParam)
{
    // Signed: a release outside a window that holds the capture comes with
    // negative coordinates.
    return POINT{static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
}

void AppMainKey(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
        CommandKeyDown(static_cast<int>(wParam), lParam);
    else
        CommandKeyUp(static_cast<int>(wParam), lParam);
}

void AppMainTimerKeys()
{
    CommandKeyTimer();
}

void AppStartFirstCommand()
{
    CommandSelectState(0);
    InputStart(g_CommandState->resumeId);
}
