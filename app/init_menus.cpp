// The menu bar, the context menu and the system menu, built from the menu
// layout with the titles and menu texts of the language module.
#include "app/init_menus.h"

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init.h"
#include "app/init_gdi.h"
#include "app/init_menulayout.h"
#include "app/system.h"
#include "commands/snap.h"
#include "commands/command_mouse.h"
#include "commands/command_popup.h"
#include "dialogs/alert.h"
#include "language/language.h"
#include "language/language_entries.h"
#include "plugin/zvi_module.h"

HMENU g_ContextMenu = nullptr;

namespace {

HBITMAP g_CheckBitmaps[2] = {nullptr, nullptr};

bool IsModuleCommand(uint32_t id) { return id >= COMMAND_PLUGIN_FIRST && id <= COMMAND_FILTER_LAST; }

int Failed(HMENU menu, const char *message)
{
    InitErrorBox(__FILE__, __LINE__, message);
    if (menu)
        DestroyMenu(menu);
    return -1;
}

// Plug-in commands and formats show the program's own check marks.
void SetModuleChecks(HMENU menu, UINT position)
{
    SetMenuItemBitmaps(menu, position, MF_BYPOSITION, g_CheckBitmaps[0], g_CheckBitmaps[1]);
}

UINT LastPosition(HMENU menu) { return static_cast<UINT>(GetMenuItemCount(menu) - 1); }

// Appends a command: its menu text, or the text that stands for a missing one.
bool AppendCommand(HMENU menu, UINT flags, UINT_PTR idOrMenu, uint32_t id)
{
    char text[CONVERT_TITLE_SIZE];
    if (!ConvertGetCommandMenuText(text, static_cast<int>(id)))
        lstrcpynA(text, LANG(eDialogText, NoTitle), sizeof text);
    if (!AppendMenuA(menu, flags, idOrMenu, text))
        return false;
    if (IsModuleCommand(id))
        SetModuleChecks(menu, LastPosition(menu));
    return true;
}

} // namespace

int InitAppendMenuItems(HMENU menu, const uint32_t *layout, int index)
{
    for (; !(layout[index] & MENU_END) && (layout[index] & MENU_POPUP_ITEM); ++index) {
        const uint32_t e = layout[index];
        const bool ok = (e & MENU_SEPARATOR) ? AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) != 0
                                             : AppendCommand(menu, MF_STRING, e & MENU_ID_MASK, e & MENU_ID_MASK);
        if (!ok)
            return Failed(nullptr, "AppendMenu() failure.");
    }
    return index;
}

int InitAppendPopup(HMENU menu, const uint32_t *layout, int index)
{
    while (!(layout[index] & MENU_END) && !(layout[index] & MENU_TOP_HEADER)) {
        const uint32_t e = layout[index];
        const uint32_t id = e & MENU_ID_MASK;
        if (e & MENU_SEPARATOR) {
            if (!AppendMenuA(menu, MF_SEPARATOR, 0, nullptr))
                return Failed(nullptr, "AppendMenu() failure.");
            ++index;
        } else if (e & MENU_POPUP_HEADER) {
            HMENU sub = CreateMenu();
            if (!sub)
                return Failed(nullptr, "CreateMenu() failure.");
            index = InitAppendMenuItems(sub, layout, index + 1);
            if (index < 0) {
                DestroyMenu(sub);
                return -1;
            }
            if (!AppendCommand(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), id))
                return Failed(sub, "AppendMenu() failure.");
        } else {
            if (!AppendCommand(menu, MF_STRING, id, id))
                return Failed(nullptr, "AppendMenu() failure.");
            ++index;
        }
    }
    return index;
}

uint32_t InitBuildMainMenu(HMENU menu, int longNames)
{
    int index = 0;
    while (!(g_MenuLayout[index] & MENU_END)) {
        const uint32_t header = g_MenuLayout[index];
        if (!(header & MENU_TOP_HEADER)) {
            ++index;
            continue;
        }
        HMENU popup = CreateMenu();
        if (!popup)
            return Failed(nullptr, "CreateMenu() failure."), 0;
        char title[CONVERT_TITLE_SIZE];
        ConvertGetMenuTitle(title, header & (MENU_PLUGIN_HEADER | MENU_ID_MASK), longNames);
        index = InitAppendPopup(popup, g_MenuLayout, index + 1);
        if (index < 0) {
            DestroyMenu(popup);
            return 0;
        }
        if (!AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), title))
            return Failed(popup, "AppendMenu() failure."), 0;
        if (header & MENU_PLUGIN_HEADER)
            SetModuleChecks(menu, LastPosition(menu));
    }
    return 1;
}

namespace {

void ReplaceMenuBar(HWND mainWindow, HMENU bar)
{
    HMENU old = GetMenu(mainWindow);
    SetMenu(mainWindow, bar);
    if (old && old != bar)
        DestroyMenu(old);
}

void BuildSystemMenu(HWND mainWindow)
{
    GetSystemMenu(mainWindow, TRUE);
    HMENU system = GetSystemMenu(mainWindow, FALSE);
    if (!system)
        return;
    AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(system, MF_STRING, MENU_SYSTEM_BAR, LANG(eSystemCommands, MenuBar));
    AppendMenuA(system, MF_STRING, MENU_SYSTEM_LONG_NAMES, LANG(eSystemCommands, LongMenuNames));
    AppendMenuA(system, MF_STRING, MENU_SYSTEM_KEEP_PLACE, LANG(eSystemCommands, KeepPlacement));
}

} // namespace

void InitCreateMenus(HWND mainWindow)
{
    if (!g_CheckBitmaps[0]) {
        g_CheckBitmaps[0] = LoadBitmapA(g_Instance, "IDB_CHECK0");
        g_CheckBitmaps[1] = LoadBitmapA(g_Instance, "IDB_CHECK1");
    }
    InitCreateSysColorObjects();
    InitCreateScreenObjects();

    bool barBuilt = false;
    if (g_Options.menuVisible) {
        HMENU bar = CreateMenu();
        if (bar && InitBuildMainMenu(bar, static_cast<int>(g_Options.menuLongNames))) {
            ReplaceMenuBar(mainWindow, bar);
            barBuilt = true;
        } else {
            if (bar)
                DestroyMenu(bar);
            ReplaceMenuBar(mainWindow, nullptr);
        }
    } else {
        ReplaceMenuBar(mainWindow, nullptr);
    }

    if (g_ContextMenu)
        DestroyMenu(g_ContextMenu);
    g_ContextMenu = CreatePopupMenu();
    if (g_ContextMenu && !InitBuildMainMenu(g_ContextMenu, 1)) {
        DestroyMenu(g_ContextMenu);
        g_ContextMenu = nullptr;
    }
    if (!barBuilt && !g_ContextMenu)
        AlertNoDialog(mainWindow);
    // The drawing windows open the same menus with the right button, and
    // their margin buttons the list popups.
    g_CommandContextMenu = g_ContextMenu;
    g_CommandMarginPopup = CommandMarginPopupShow;
    // Clicks in the drawing catch points of the drawing while snapping is on.
    SnapInstall();

    BuildSystemMenu(mainWindow);
    DrawMenuBar(mainWindow);
}

void InitDeleteMenus()
{
    InitDeleteSysColorObjects();
    InitDeleteScreenObjects();
}

void InitDestroyMenus(HWND mainWindow)
{
    if (g_ContextMenu)
        DestroyMenu(g_ContextMenu);
    g_ContextMenu = nullptr;
    g_CommandContextMenu = nullptr;
    if (mainWindow && IsWindow(mainWindow))
        ReplaceMenuBar(mainWindow, nullptr);
    InitDeleteSysColorObjects();
    for (HBITMAP &b : g_CheckBitmaps) {
        if (b)
            DeleteObject(b);
        b = nullptr;
    }
}
