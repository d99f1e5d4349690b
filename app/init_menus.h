// The menu bar, the context menu (the main menus as one popup, always with
// the long titles) and the main window's system menu.
#pragma once

#include <windows.h>

#include <cstdint>

// The items the program adds to the main window's system menu.
constexpr UINT MENU_SYSTEM_BAR = 5000;        // menu bar on or off
constexpr UINT MENU_SYSTEM_KEEP_PLACE = 5009; // keep the main window's placement
constexpr UINT MENU_SYSTEM_LONG_NAMES = 5010; // long or short menu titles

extern HMENU g_ContextMenu;

// Appends one popup per main menu of the layout to menu; 1, or 0 on failure.
uint32_t InitBuildMainMenu(HMENU menu, int longNames);
// Fill one main menu from the entry after its header, and one submenu from
// its first item; the index of the next entry, or -1 on failure (reported).
int InitAppendPopup(HMENU menu, const uint32_t *layout, int index);
int InitAppendMenuItems(HMENU menu, const uint32_t *layout, int index);

// The screen-colour objects, the menu bar (when MenuVisible), the context
// menu and the system menu, rebuilt from the options and the layout.
void InitCreateMenus(HWND mainWindow);
// The screen-colour objects; the menus stay until they are rebuilt.
void InitDeleteMenus();
// The menus and the check marks, when the main window goes.
void InitDestroyMenus(HWND mainWindow);
