// Which input template each command of the menus runs: the index into the
// command module's template table, 0 for a command without its own.
#pragma once

#include <cstdint>

constexpr int TEMPLATE_MAP_FIRST = 100;
constexpr int TEMPLATE_MAP_LAST = 5339;
extern int16_t g_CommandTemplateMap[TEMPLATE_MAP_LAST - TEMPLATE_MAP_FIRST + 1];

// Fills the map (at start, when the windows are created).
void InitCommandTemplateMap();
// The template index of a command; 0 outside the map.
int InitCommandTemplateIndex(int commandId);
