// The menu layout: the built-in template of the menus and its runtime copy,
// in which the plug-in commands and the import and export formats take the
// places the template keeps for them.
#pragma once

#include <cstdint>

#include "plugin/sdk/zvi_module_records.h" // the places a plug-in names

// One u32 per entry: the command id in the low 16 bits (a menu number 0 to 10
// for a top-level header, a module index for a plug-in header) and flags.
constexpr uint32_t MENU_ID_MASK = 0x0000FFFF;
constexpr uint32_t MENU_TOP_HEADER = 0x00010000;
constexpr uint32_t MENU_TOP_ITEM = 0x00020000;
constexpr uint32_t MENU_POPUP_HEADER = 0x00040000;
constexpr uint32_t MENU_POPUP_ITEM = 0x00080000;
constexpr uint32_t MENU_LEVEL_MASK = 0x00FF0000;
constexpr uint32_t MENU_PALETTE_MARK = 0x01000000; // moved by the command palettes; menus ignore it
constexpr uint32_t MENU_PLACEHOLDER = 0x02000000;  // only in the template
constexpr uint32_t MENU_PLUGIN_HEADER = 0x04000000;
constexpr uint32_t MENU_SEPARATOR = 0x08000000;
constexpr uint32_t MENU_END = 0x80000000;

// The flags of a module command that its own menu keeps, and those an item of
// a module's submenu in a main menu keeps.
constexpr uint32_t MENU_COMMAND_FLAG_MASK = 0x09FF0000;
constexpr uint32_t MENU_ITEM_FLAG_MASK = 0x09000000;

// Placeholder ids of the template.
constexpr uint32_t MENU_PLACE_OWN_MENUS = ZVI_MENU_PLUGINS;
constexpr uint32_t MENU_PLACE_IMPORTS = ZVI_MENU_IMPORTS;
constexpr uint32_t MENU_PLACE_EXPORTS = ZVI_MENU_EXPORTS;

// Room for the template with every module and format spliced in.
constexpr int MENU_LAYOUT_SIZE = 8192;

// The built-in template, ended by MENU_END.
extern const uint32_t *const g_MenuTemplate;
// The runtime layout, ended by MENU_END (only the end entry until it is built).
extern uint32_t g_MenuLayout[MENU_LAYOUT_SIZE];

// Expands the template into out (room for capacity entries): ordinary entries
// are copied, each placeholder gives way to what the module tables place
// there. 1, or 0 when out is too small (out then holds only the end entry).
uint32_t InitBuildMenuLayout(const uint32_t *menuTemplate, uint32_t *out, int capacity);
