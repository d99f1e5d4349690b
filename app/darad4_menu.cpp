// The main window's menu messages.
#include "app/darad4_menu.h"

#include <shellapi.h>

#include <cstring>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_gdi.h"
#include "app/init_menus.h"
#include "app/status.h"
#include "app/system.h"
#include "app/window.h"
#include "commands/command.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "dialogs/alert.h"
#include "display/output_paint.h"
#include "files/file_commands.h"
#include "language/language.h"
#include "language/language_entries.h"

SavedStates g_SavedLayerStates, g_SavedPenStates;
uint32_t g_MenuHelpPending = 0;

namespace {

constexpr int COMMAND_STEP_BACK = 1009;
constexpr int LAYER_COMMAND_BASE = 5864;
constexpr int PEN_COMMAND_BASE = 6866;
constexpr int FREE_SLOT_STATE = 3;

PenDialogWork *g_PenWork = nullptr;
LayerDialogWork *g_LayerWork = nullptr;
uint32_t g_AltAlone = 0;
uint32_t g_PopupOpenedByAlt = 0;

void ShowHelp(int commandId)
{
    ConvertShowCommandHelp(commandId);
    if (CommandMode() == TEMPLATE_HELP_PICK)
        CommandCancel();
    g_MenuHelpPending = 0;
}

void RebuildMenus(HWND window)
{
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    InitDeleteMenus();
    InitCreateMenus(window);
}

LRESULT SystemCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    g_PopupByRightButton = 0;
    switch (LOWORD(wParam)) {
    case MENU_SYSTEM_BAR:
        g_Options.menuVisible = !g_Options.menuVisible;
        RebuildMenus(window);
        PostMessageA(window, MSG_MAIN_RELAYOUT, 0, 0);
        return 0;
    case MENU_SYSTEM_KEEP_PLACE:
        g_Options.appPlacement.keep = !g_Options.appPlacement.keep;
        return 0;
    case MENU_SYSTEM_LONG_NAMES:
        g_Options.menuLongNames = !g_Options.menuLongNames;
        RebuildMenus(window);
        return 0;
    default:
        return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
    }
}

// Alt pressed and released alone with the menu bar hidden opens the
// context menu, centred vertically on the cursor.
void OpenContextMenuByAlt(HWND window)
{
    if (!g_ContextMenu) {
        MessageBeep(0);
        return;
    }
    CommandInitMenuPopup(g_ContextMenu);
    g_PopupOpenedByAlt = 1;
    g_PopupByRightButton = 1;
    POINT cursor{};
    GetCursorPos(&cursor);
    const int half = GetMenuItemCount(g_ContextMenu) * GetSystemMetrics(SM_CYMENU) / 2;
    TrackPopupMenu(g_ContextMenu, TPM_CENTERALIGN, cursor.x, cursor.y - half, 0, window, nullptr);
}

void DropFiles(HWND window, HDROP drop)
{
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count == 1) {
        char path[MAX_PATH] = "";
        if (DragQueryFileA(drop, 0, path, sizeof path) < sizeof path && FileQueryClose())
            FileOpenDrawing(path, 0, g_Options.fileModeLoad, 1, 0);
    } else if (count > 1) {
        AlertOk(window, LANG(eAlertTextSM, OneFileAtATime));
    }
    DragFinish(drop);
}

template <typename Def>
void SaveStates(const Def *defs, int slots, SavedStates *saved)
{
    for (int i = 0; i < slots; ++i)
        saved->states[i] = defs[i].name[0] ? defs[i].state : FREE_SLOT_STATE;
    saved->valid = 1;
}

// A table's working copy becomes the drawing's table, and what depends on it
// is brought up to date, its tree view too; the states before are kept for
// the restore command.
template <typename Def, size_t N>
void TakeTable(Def (&defs)[N], const Def (&work)[N], uint32_t link, uint32_t *linkOut, SavedStates *saved,
               const DefChangeFlags &changes, uint32_t DefChangeFlags::*changed, void (*refillTree)())
{
    SaveStates(defs, static_cast<int>(N), saved);
    std::memcpy(defs, work, sizeof defs);
    *linkOut = link;
    SystemClearChanges();
    g_DefChangeFlags = changes;
    g_DefChangeFlags.*changed = 1;
    SystemApplyChanges(1);
    refillTree();
}

} // namespace

void AppRegisterPenWork(PenDialogWork *work) { g_PenWork = work; }
void AppRegisterLayerWork(LayerDialogWork *work) { g_LayerWork = work; }

void AppMainCommand(int commandId)
{
    g_PopupByRightButton = 0;
    if (commandId < COMMAND_MENU_FIRST || commandId > COMMAND_INTERNAL_LAST)
        return;
    if (commandId < COMMAND_INTERNAL_FIRST) {
        if (CommandMode() == TEMPLATE_HELP_PICK) {
            if (commandId == COMMAND_STEP_BACK) {
                OutputHideCrosshair();
                CommandCancel();
                OutputShowCrosshair();
            } else {
                ShowHelp(commandId);
            }
            return;
        }
        if (g_MenuHelpPending) {
            ShowHelp(commandId);
            return;
        }
    }
    CommandExecute(commandId, 1);
}

int AppMainMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    *result = 0;
    switch (message) {
    case WM_SYSCOMMAND:
        *result = SystemCommand(window, wParam, lParam);
        return 1;
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
        CommandInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 1;
    case WM_MENUSELECT:
        if (HIWORD(wParam) == 0xFFFF && !lParam && g_PopupOpenedByAlt) {
            g_PopupOpenedByAlt = 0;
            g_PopupByRightButton = 1;
        }
        return 1;
    case WM_ENTERIDLE:
        if (wParam != MSGF_MENU)
            return 0;
        if (GetAsyncKeyState(VK_F1) & 0x8000) {
            g_MenuHelpPending = 1;
            PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
        }
        if (GetAsyncKeyState(VK_RBUTTON) & 0x8000) {
            if (!g_PopupByRightButton)
                PostMessageA(window, WM_KEYDOWN, VK_MENU, 0);
        } else {
            g_PopupByRightButton = 0;
        }
        return 1;
    case WM_SYSKEYDOWN:
        if (!g_Options.menuVisible && wParam == VK_MENU) {
            g_AltAlone = 1;
            return 1;
        }
        g_AltAlone = 0;
        return 0;
    case WM_SYSKEYUP:
        if (!g_Options.menuVisible && wParam == VK_MENU && g_AltAlone) {
            g_AltAlone = 0;
            OpenContextMenuByAlt(window);
            return 1;
        }
        g_AltAlone = 0;
        g_PopupByRightButton = 0;
        return 0;
    case WM_SYSCOLORCHANGE:
        InitCreateSysColorObjects();
        WindowRelayout(window);
        return 1;
    case WM_DROPFILES:
        DropFiles(window, reinterpret_cast<HDROP>(wParam));
        return 1;
    default:
        break;
    }
    if (message == g_MsgPen1 && g_MsgPen1) {
        const auto *work = reinterpret_cast<const PenDialogWork *>(lParam);
        if (work && work == g_PenWork)
            TakeTable(g_PenDefs, work->pens, work->link, &g_PenLink, &g_SavedPenStates, work->changes,
                      &DefChangeFlags::pens, StatusRefillPenTree);
        if (wParam < PEN_SLOTS)
            CommandExecute(PEN_COMMAND_BASE + static_cast<int>(wParam), 0);
        return 1;
    }
    if (message == g_MsgLayer1 && g_MsgLayer1) {
        const auto *work = reinterpret_cast<const LayerDialogWork *>(lParam);
        if (work && work == g_LayerWork)
            TakeTable(g_LayerDefs, work->layers, work->link, &g_LayerLink, &g_SavedLayerStates, work->changes,
                      &DefChangeFlags::layers, StatusRefillLayerTree);
        if (wParam < LAYER_SLOTS)
            CommandExecute(LAYER_COMMAND_BASE + static_cast<int>(wParam), 0);
        return 1;
    }
    return 0;
}
