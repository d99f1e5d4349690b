// Progress windows, the timed flag and external processes.
#include "app/window_progress.h"

#include <cstring>
#include <string>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "database/storage.h"
#include "dialogs/box01.h"
#include "display/output.h"

ProgressState g_Progress = {};
uint32_t g_ProgressShown = 0;
WindowTickSource g_WindowTickCount = GetTickCount;
namespace {

// What a message dispatched while an operation reports progress may disturb:
// the output context and the object-list filter of the operation.
struct DispatchSnapshot {
    OutputContext output;
    uint32_t filter[3];
};
DispatchSnapshot s_DispatchSnapshot;

void *SaveDispatchState()
{
    s_DispatchSnapshot.output = g_OutputContext;
    MemListSaveFilter(s_DispatchSnapshot.filter);
    return &s_DispatchSnapshot;
}

void RestoreDispatchState(void *snapshot)
{
    const auto *saved = static_cast<const DispatchSnapshot *>(snapshot);
    g_OutputContext = saved->output;
    MemListRestoreFilter(saved->filter);
}

void ChangeProgramModalDepth(int delta)
{
    g_ModalDepth += delta;
}

int StartScreenShown()
{
    return g_StartScreen != 0;
}

uint32_t RememberedFlagDuration()
{
    return g_LocalData.snap.flagDuration > 0 ? uint32_t(g_LocalData.snap.flagDuration) : TIMED_FLAG_DEFAULT_MS;
}

} // namespace

// The program's own services; tests put observers in their place.
WindowProgressLinks g_WindowProgressLinks = {
    SaveDispatchState, RestoreDispatchState, nullptr, Box01DialogCenter, nullptr,
    nullptr, ChangeProgramModalDepth, StartScreenShown, RememberedFlagDuration, nullptr,
};

const char TIMED_FLAG_CLASS[] = "DARAD4_TimedFlagClass";

namespace {

const char *const TEMPLATE_WITH_BAR = "PROGRESS1";
const char *const TEMPLATE_TEXTS_ONLY = "PROGRESS2";
const char *const TEMPLATE_MASTER = "PROGRESSMASTER";
const char *const LANGUAGE_MODULE = "language.dll";

// The dialog templates live in the language module.
HINSTANCE TemplateModule()
{
    HMODULE module = GetModuleHandleA(LANGUAGE_MODULE);
    return module ? module : g_Instance;
}

void CopyText(char *destination, const char *source)
{
    if (!source)
        source = "";
    strncpy(destination, source, PROGRESS_TEXT_SIZE - 1);
    destination[PROGRESS_TEXT_SIZE - 1] = 0;
}

// The active window owns the dialog, unless it is one of the program's tool
// windows: then the main window does.
HWND ChooseOwner()
{
    HWND active = GetActiveWindow();
    if (!active)
        return g_MainWnd;
    const auto &links = g_WindowProgressLinks;
    if (links.isToolWindow && links.isToolWindow(active) && g_MainWnd)
        return g_MainWnd;
    return active;
}

void ChangeModalDepth(int delta)
{
    if (g_WindowProgressLinks.changeModalDepth)
        g_WindowProgressLinks.changeModalDepth(delta);
}

// A plain bar for as long as the dialog toolkit's painter is not linked in.
void DrawBarFallback(HWND bar, int32_t done, int32_t total)
{
    if (total < 1) {
        InvalidateRect(bar, nullptr, TRUE);
        UpdateWindow(bar);
        return;
    }
    RECT r;
    GetClientRect(bar, &r);
    double share = double(done) / double(total);
    if (share < 0)
        share = 0;
    if (share > 1)
        share = 1;
    int split = r.left + int((r.right - r.left) * share + 0.5);
    HDC dc = GetDC(bar);
    RECT filled = {r.left, r.top, split, r.bottom};
    RECT empty = {split, r.top, r.right, r.bottom};
    FillRect(dc, &filled, GetSysColorBrush(COLOR_HIGHLIGHT));
    FillRect(dc, &empty, GetSysColorBrush(COLOR_BTNFACE));
    ReleaseDC(bar, dc);
}

void PaintBar(HWND dialog, int id, int32_t done, int32_t total)
{
    HWND bar = GetDlgItem(dialog, id);
    if (!bar)
        return;
    if (g_WindowProgressLinks.drawProgressBar)
        g_WindowProgressLinks.drawProgressBar(bar, done, total);
    else
        DrawBarFallback(bar, done, total);
}

void CenterOverParent(HWND dialog)
{
    if (g_WindowProgressLinks.centerDialog) {
        g_WindowProgressLinks.centerDialog(dialog);
        return;
    }
    HWND parent = GetWindow(dialog, GW_OWNER);
    RECT outer, own;
    if (!parent || !GetWindowRect(parent, &outer))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &outer, 0);
    GetWindowRect(dialog, &own);
    int w = own.right - own.left, h = own.bottom - own.top;
    int x = (outer.left + outer.right - w) / 2, y = (outer.top + outer.bottom - h) / 2;
    SetWindowPos(dialog, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetItemTexts(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT, g_Progress.text);
    SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT1, g_Progress.text1);
    SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT2, g_Progress.text2);
}

void SetMasterTexts(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_PROGRESS_MASTER_TEXT1, g_Progress.masterText1);
    SetDlgItemTextA(dialog, IDC_PROGRESS_MASTER_TEXT2, g_Progress.masterText2);
}

// The item bar shows the item's position, or stays empty in a master dialog
// whose current item has no bar.
void PaintItemBar(HWND dialog)
{
    if (g_Progress.withBar)
        PaintBar(dialog, IDC_PROGRESS_BAR, g_Progress.pos, g_Progress.max);
    else if (g_Progress.master)
        PaintBar(dialog, IDC_PROGRESS_BAR, 0, 0);
}

void RefreshDialog()
{
    HWND dialog = g_Progress.dialog;
    SetItemTexts(dialog);
    if (!g_Progress.withBar && !g_Progress.master)
        return;
    PaintItemBar(dialog);
    if (g_Progress.master) {
        SetMasterTexts(dialog);
        PaintBar(dialog, IDC_PROGRESS_MASTER_BAR, g_Progress.masterPos, g_Progress.masterMax);
    }
}

// The 200 ms gate of the refresh: true when the dialog may be refreshed now.
bool RefreshDue()
{
    uint32_t now = g_WindowTickCount();
    if (now - g_Progress.lastUpdate < PROGRESS_REFRESH_MS)
        return false;
    g_Progress.lastUpdate = now;
    return true;
}

// Dispatches every pending message of the thread; with saveState the state a
// dispatched message could disturb is saved and restored around each one.
void PumpMessages(bool saveState)
{
    const auto &links = g_WindowProgressLinks;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Left for the message loop, which ends the program.
            PostQuitMessage(int(msg.wParam));
            break;
        }
        void *snapshot = saveState && links.saveDispatchState ? links.saveDispatchState() : nullptr;
        if (!(g_Progress.dialog && IsDialogMessageA(g_Progress.dialog, &msg))) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (saveState && links.restoreDispatchState)
            links.restoreDispatchState(snapshot);
    }
}

bool CreateProgressDialog(const char *templateName)
{
    HWND owner = ChooseOwner();
    g_Progress.owner = owner;
    HWND dialog = CreateDialogParamA(TemplateModule(), templateName, owner, WindowProgressProc, 0);
    if (!dialog) {
        g_Progress.dialog = nullptr;
        return false;
    }
    g_Progress.dialog = dialog;
    g_Progress.lastUpdate = 0;
    g_Progress.nesting = 1;
    ShowWindow(dialog, SW_SHOWNORMAL);
    UpdateWindow(dialog);
    if (owner)
        EnableWindow(owner, FALSE);
    g_ProgressShown = 1;
    return true;
}

void DestroyProgressDialog()
{
    g_ProgressShown = 0;
    // The owner is enabled first, so that it, not another program, becomes active.
    if (g_Progress.owner)
        EnableWindow(g_Progress.owner, TRUE);
    if (g_Progress.dialog)
        DestroyWindow(g_Progress.dialog);
    g_Progress.dialog = nullptr;
    g_Progress.nesting = 0;
    ChangeModalDepth(-1);
    if (g_WindowProgressLinks.startScreenShown && g_WindowProgressLinks.startScreenShown() && g_Progress.owner)
        UpdateWindow(g_Progress.owner);
    // The caller usually has more to do.
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

uint32_t TimedFlagDuration()
{
    return g_WindowProgressLinks.timedFlagDuration ? g_WindowProgressLinks.timedFlagDuration()
                                                   : TIMED_FLAG_DEFAULT_MS;
}

HFONT TimedFlagFont()
{
    if (g_WindowProgressLinks.aboutFont)
        return g_WindowProgressLinks.aboutFont();
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace

// --- the progress dialog -------------------------------------------------------

int WindowShowProgress(const char *title, const char *text, int withBar)
{
    if (g_Progress.nesting > 0) {
        // Nested: the running dialog shows the inner operation.
        HWND dialog = g_Progress.dialog;
        g_Progress.pos = g_Progress.max = 0;
        CopyText(g_Progress.title, title);
        CopyText(g_Progress.text, text);
        g_Progress.text1[0] = g_Progress.text2[0] = 0;
        if (g_Progress.master)
            SetDlgItemTextA(dialog, IDC_PROGRESS_ITEM_TITLE, g_Progress.title);
        else
            SetWindowTextA(dialog, g_Progress.title);
        SetItemTexts(dialog);
        PaintItemBar(dialog);
        ++g_Progress.nesting;
        return 1;
    }
    g_Progress.master = 0;
    g_Progress.withBar = withBar ? 1 : 0;
    g_Progress.cancelled = 0;
    g_Progress.pos = g_Progress.max = 0;
    CopyText(g_Progress.title, title);
    CopyText(g_Progress.text, text);
    g_Progress.text1[0] = g_Progress.text2[0] = 0;
    return CreateProgressDialog(withBar ? TEMPLATE_WITH_BAR : TEMPLATE_TEXTS_ONLY) ? 1 : 0;
}

void WindowUpdateProgress(const char *text1, const char *text2, int32_t pos, int32_t max)
{
    if (g_Progress.nesting == 0)
        return;
    if (text1)
        CopyText(g_Progress.text1, text1);
    if (text2)
        CopyText(g_Progress.text2, text2);
    if (pos >= 0)
        g_Progress.pos = pos;
    if (max >= 0)
        g_Progress.max = max;
    if (!RefreshDue())
        return;
    PumpMessages(true);
    // A dispatched message may have ended the progress.
    if (g_Progress.nesting == 0 || !g_Progress.dialog)
        return;
    RefreshDialog();
}

void WindowHideProgress()
{
    if (g_Progress.nesting == 0)
        return;
    if (g_Progress.nesting != 1) {
        --g_Progress.nesting;
        return;
    }
    DestroyProgressDialog();
}

int WindowIsCancelled()
{
    return int(g_Progress.cancelled);
}

void WindowClearCancel()
{
    g_Progress.cancelled = 0;
}

int WindowShowMasterProgress(const char *masterTitle)
{
    if (g_Progress.nesting > 0)
        return 0;
    g_Progress.cancelled = g_Progress.skipped = 0;
    g_Progress.withBar = 1;
    g_Progress.masterPos = g_Progress.masterMax = 0;
    g_Progress.pos = g_Progress.max = 0;
    g_Progress.master = 1;
    CopyText(g_Progress.masterTitle, masterTitle);
    g_Progress.masterText1[0] = g_Progress.masterText2[0] = 0;
    g_Progress.title[0] = g_Progress.text[0] = g_Progress.text1[0] = g_Progress.text2[0] = 0;
    if (!CreateProgressDialog(TEMPLATE_MASTER)) {
        g_Progress.master = 0;
        return 0;
    }
    return 1;
}

void WindowUpdateMasterProgress(const char *masterText1, const char *masterText2, int32_t masterPos,
                                int32_t masterMax)
{
    if (g_Progress.nesting == 0)
        return;
    if (masterText1)
        CopyText(g_Progress.masterText1, masterText1);
    if (masterText2)
        CopyText(g_Progress.masterText2, masterText2);
    if (masterPos >= 0)
        g_Progress.masterPos = masterPos;
    if (masterMax >= 0)
        g_Progress.masterMax = masterMax;
    if (!RefreshDue())
        return;
    PumpMessages(true);
    if (g_Progress.nesting == 0 || !g_Progress.dialog)
        return;
    HWND dialog = g_Progress.dialog;
    SetItemTexts(dialog);
    if (g_Progress.withBar || g_Progress.master)
        PaintItemBar(dialog);
    SetMasterTexts(dialog);
    PaintBar(dialog, IDC_PROGRESS_MASTER_BAR, g_Progress.masterPos, g_Progress.masterMax);
}

void WindowHideMasterProgress()
{
    if (g_Progress.nesting > 0)
        DestroyProgressDialog();
    g_Progress.master = 0;
}

int WindowMasterIsCancelled()
{
    return g_Progress.skipped || g_Progress.cancelled ? 1 : 0;
}

int WindowIsMasterProgress()
{
    return g_Progress.nesting > 0 && g_Progress.master ? 1 : 0;
}

INT_PTR CALLBACK WindowProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        g_Progress.dialog = dialog;
        ChangeModalDepth(+1);
        CenterOverParent(dialog);
        if (g_Progress.master) {
            SetDlgItemTextA(dialog, IDC_PROGRESS_ITEM_TITLE, g_Progress.title);
            SetWindowTextA(dialog, g_Progress.masterTitle);
        } else {
            SetWindowTextA(dialog, g_Progress.title);
        }
        SetItemTexts(dialog);
        SetMasterTexts(dialog);
        if (g_Progress.master) {
            SendMessageA(dialog, DM_SETDEFID, IDC_PROGRESS_SKIP, 0);
            SetFocus(GetDlgItem(dialog, IDC_PROGRESS_SKIP));
        } else {
            SetFocus(GetDlgItem(dialog, IDCANCEL));
        }
        return FALSE; // the focus is set
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            g_Progress.cancelled = 1;
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_PROGRESS_SKIP) {
            g_Progress.skipped = 1;
            return TRUE;
        }
        return FALSE;
    case WM_DRAWITEM:
        // The bars are owner-drawn, so they keep their state when uncovered.
        if (wParam == IDC_PROGRESS_BAR) {
            if (g_Progress.withBar)
                PaintBar(dialog, IDC_PROGRESS_BAR, g_Progress.pos, g_Progress.max);
            return TRUE;
        }
        if (wParam == IDC_PROGRESS_MASTER_BAR) {
            PaintBar(dialog, IDC_PROGRESS_MASTER_BAR, g_Progress.masterPos, g_Progress.masterMax);
            return TRUE;
        }
        return FALSE;
    case WM_SETCURSOR:
        if (g_WindowProgressLinks.popupSetCursor)
            g_WindowProgressLinks.popupSetCursor(dialog, wParam, lParam);
        return FALSE;
    }
    return FALSE;
}

// --- the timed flag --------------------------------------------------------------

int WindowRegisterTimedFlagClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(instance, TIMED_FLAG_CLASS, &wc))
        return 1;
    wc.lpfnWndProc = WindowTimedFlagProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
    wc.lpszClassName = TIMED_FLAG_CLASS;
    return RegisterClassA(&wc) ? 1 : 0;
}

void WindowShowTimedFlag(const char *text, const POINT *point)
{
    if (TimedFlagDuration() < TIMED_FLAG_MIN_MS || !text)
        return;
    POINT at;
    if (point)
        at = *point;
    else
        GetCursorPos(&at);
    HINSTANCE instance = g_Instance ? g_Instance : GetModuleHandleA(nullptr);
    if (!WindowRegisterTimedFlagClass(instance))
        return;
    // A tool window: a popup without owner would otherwise show in the taskbar.
    HWND flag = CreateWindowExA(WS_EX_TOOLWINDOW, TIMED_FLAG_CLASS, text, WS_POPUP | WS_BORDER, 0, 0, 1, 1,
                                nullptr, nullptr, instance, nullptr);
    if (!flag)
        return;
    HDC dc = GetDC(flag);
    HGDIOBJ oldFont = SelectObject(dc, TimedFlagFont());
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, int(strlen(text)), &extent);
    SelectObject(dc, oldFont);
    ReleaseDC(flag, dc);
    SetWindowPos(flag, HWND_TOP, at.x + 8, at.y - extent.cy - 8, extent.cx + 5, extent.cy + 2,
                 SWP_NOACTIVATE);
    ShowWindow(flag, SW_SHOWNOACTIVATE);
}

LRESULT CALLBACK WindowTimedFlagProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        char text[PROGRESS_TEXT_SIZE];
        int n = GetWindowTextA(window, text, sizeof text);
        HGDIOBJ oldFont = SelectObject(dc, TimedFlagFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        TextOutA(dc, 2, 0, text, n);
        SelectObject(dc, oldFont);
        EndPaint(window, &ps);
        // Each paint restarts the time the flag stays.
        SetTimer(window, reinterpret_cast<UINT_PTR>(window), TimedFlagDuration(), nullptr);
        return 0;
    }
    case WM_TIMER:
        KillTimer(window, wParam);
        ShowWindow(window, SW_HIDE);
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// --- external programs ---------------------------------------------------------

int WindowRunProcess(const char *commandLine)
{
    if (!commandLine)
        return PROCESS_FAILED;
    // CreateProcessA may write into its command line.
    std::string line(commandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                        &startup, &process))
        return PROCESS_FAILED;
    CloseHandle(process.hThread);
    while (WaitForSingleObject(process.hProcess, PROCESS_WAIT_STEP_MS) == WAIT_TIMEOUT) {
        if (g_Progress.nesting > 0)
            PumpMessages(false);
    }
    DWORD code = 0;
    int result = GetExitCodeProcess(process.hProcess, &code) ? int(code) : PROCESS_FAILED;
    CloseHandle(process.hProcess);
    return result;
}
