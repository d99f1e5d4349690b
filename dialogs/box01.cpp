// The dialog protocol and the basic dialog functions.
#include "dialogs/box01.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/init_help.h"
#include "dialogs/alert.h"

const char *g_HelpFileName = "darad4.hlp";

namespace {

bool Shown(HWND w) { return w && IsWindow(w) && IsWindowVisible(w); }

bool IsDialogWindow(HWND w)
{
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    return std::strcmp(cls, "#32770") == 0;
}

} // namespace

ModalOwner::ModalOwner(HWND requested)
{
    owner = requested && IsWindow(requested) ? GetAncestor(requested, GA_ROOT) : nullptr;
    if (!Shown(owner) && Shown(g_MainWnd))
        owner = g_MainWnd;
    if (!owner)
        owner = requested;
    if (owner == g_MainWnd && Shown(g_MainWnd)) {
        HWND top = GetLastActivePopup(g_MainWnd);
        if (top && top != g_MainWnd && Shown(top) && IsWindowEnabled(top) && IsDialogWindow(top))
            owner = top;
    }
    if (owner && owner != g_MainWnd && Shown(g_MainWnd) && IsWindowEnabled(g_MainWnd) &&
        GetWindowThreadProcessId(owner, nullptr) == GetCurrentThreadId()) {
        EnableWindow(g_MainWnd, FALSE);
        mainDisabled = true;
    }
}

ModalOwner::~ModalOwner()
{
    if (mainDisabled)
        EnableWindow(g_MainWnd, TRUE);
    if (g_ModalDepth > 0 || !Shown(g_MainWnd) || !IsWindowEnabled(g_MainWnd))
        return;
    HWND focus = GetFocus();
    if (!focus || !IsWindowVisible(focus))
        AppFocusMainWindow();
}

INT_PTR Box01DialogRun(HWND requested, const char *templateName, DLGPROC procedure, DialogHeader *record)
{
    const ModalOwner modal(requested);
    HWND owner = modal.owner;
    const INT_PTR ended = DialogBoxParamA(g_LanguageModule, templateName, owner, procedure,
                                          reinterpret_cast<LPARAM>(record));
    if (ended == -1) {
        // Never created: the depth was not raised, so it is not lowered.
        AlertNoDialog(owner);
        return -1;
    }
    if (g_ModalDepth > 0)
        --g_ModalDepth;
    return ended;
}

DialogHeader *Box01DialogInit(HWND dialog, LPARAM record)
{
    auto *header = reinterpret_cast<DialogHeader *>(record);
    SetWindowLongPtrA(dialog, DWLP_USER, record);
    ++g_ModalDepth;
    Box01DialogCenter(dialog);
    if (header)
        header->previousFocus = GetFocus();
    return header;
}

DialogHeader *Box01DialogRecord(HWND dialog)
{
    return reinterpret_cast<DialogHeader *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void Box01DialogEnd(HWND dialog, uint32_t result)
{
    if (DialogHeader *header = Box01DialogRecord(dialog)) {
        header->result = result;
        if (header->previousFocus && IsWindow(header->previousFocus))
            SetFocus(header->previousFocus);
    }
    EndDialog(dialog, 1);
}

INT_PTR Box01DialogDefault(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, int helpContext)
{
    switch (message) {
    case WM_HELP:
        if (helpContext != HELP_CONTEXT_NONE)
            Box01DialogHelp(dialog, helpContext);
        return 1;
    case WM_ENTERIDLE:
        return Box01DialogEnterIdle(dialog, wParam, lParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            Box01DialogEnd(dialog, DIALOG_CANCELLED);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

// Gives the window the program's small icon (none when the program has none).
static void SetSmallIcon(HWND window)
{
    HICON icon = g_Instance ? LoadIconA(g_Instance, "IDI_LOGO") : nullptr;
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// Keeps a window inside the screen at its right and bottom edges, and its
// caption on the screen when it is larger than the screen.
static void PullIntoScreen(int &x, int &y, int width, int height)
{
    if (g_ScreenWidth > 0 && x + width > g_ScreenWidth)
        x = g_ScreenWidth - width;
    if (g_ScreenHeight > 0 && y + height > g_ScreenHeight)
        y = g_ScreenHeight - height;
    x = std::max(x, 0);
    y = std::max(y, 0);
}

void Box01DialogCenter(HWND window)
{
    RECT own;
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;

    HWND parent = GetParent(window);
    if (!parent)
        parent = g_MainWnd;
    RECT around;
    if (!parent || !GetWindowRect(parent, &around))
        SetRect(&around, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;
    if (x < 1)
        x = 0;
    if (y < 1)
        y = 0;
    PullIntoScreen(x, y, width, height);
    MoveWindow(window, x, y, width, height, TRUE);
    SetSmallIcon(window);
}

void Box01DialogPlace(HWND window, int mode, POINT *position)
{
    RECT own;
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;

    const bool remembered = mode == 3 && position && position->x != DIALOG_NO_POSITION &&
                            position->y != DIALOG_NO_POSITION;
    if (remembered) {
        MoveWindow(window, position->x, position->y, width, height, TRUE);
        SetSmallIcon(window);
        return;
    }

    const RECT &area = g_DrawingArea;
    const int areaWidth = std::abs(area.right - area.left - DIALOG_PLACE_MARGIN);
    const int areaHeight = std::abs(area.bottom - area.top - DIALOG_PLACE_MARGIN);
    POINT at;
    at.x = area.left + std::max(0, (areaWidth - width) / 2) + DIALOG_PLACE_MARGIN;
    if (mode == 0)
        at.y = area.top + DIALOG_PLACE_MARGIN;
    else if (mode == 1)
        at.y = area.top + std::max(0, (areaHeight - height) / 2) + DIALOG_PLACE_MARGIN;
    else
        at.y = area.bottom - height - DIALOG_PLACE_MARGIN;

    if (g_MainWnd)
        ClientToScreen(g_MainWnd, &at);
    if (position)
        *position = at;
    MoveWindow(window, at.x, at.y, width, height, TRUE);
    SetSmallIcon(window);
}

void Box01DialogMove(HWND window, int x, int y, int width, int height)
{
    MoveWindow(window, x, y, width, height, TRUE);
    SetSmallIcon(window);
}

void Box01DialogHelp(HWND window, int context)
{
    char file[PATH_SIZE];
    snprintf(file, sizeof file, "%s%s", g_PathServer, g_HelpFileName);
    InitWinHelp(window, file, HELP_CONTEXT, static_cast<ULONG_PTR>(context));
}

uint32_t Box01DialogEnterIdle(HWND window, WPARAM wParam, LPARAM)
{
    if (wParam != MSGF_MENU)
        return 0;
    const bool rightDown = (GetAsyncKeyState(VK_RBUTTON) & 0x8000) != 0;
    if (!rightDown)
        g_PopupByRightButton = 0;
    else if (g_PopupByRightButton == 0)
        PostMessageA(window, WM_KEYDOWN, VK_MENU, 0); // Alt closes the menu
    return 1;
}

void Box01DialogCheck(HWND dialog, int id, uint32_t value)
{
    CheckDlgButton(dialog, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void Box01DialogRedrawItem(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return;
    InvalidateRect(item, nullptr, FALSE);
    UpdateWindow(item);
}

void Box01DialogRedrawItems(HWND dialog, int firstId, int lastId)
{
    for (int id = firstId; id <= lastId; ++id)
        Box01DialogRedrawItem(dialog, id);
}

void Box01DialogShowItem(HWND dialog, int id, int show)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return;
    EnableWindow(item, show ? TRUE : FALSE);
    ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

HWND Box01DialogFocusEdit(HWND dialog, int id)
{
    if (id < 0 || !dialog)
        return nullptr;
    SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
    return SetFocus(GetDlgItem(dialog, id));
}
