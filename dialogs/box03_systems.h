// The coordinate-system definitions editor and its pages.
#pragma once

#include <windows.h>

#include <cstdint>

struct SystemDef;

constexpr int BOX03_TAKEN = 28; // the editor ended by taking a system

// Edits the 51 systems on a working copy. On OK or take the changed records
// are written back and flagged (1); *index enters as the system to select and
// leaves as the taken one, or -1 after OK. 0 on cancel.
int Box03EditSystemDefs(HWND owner, const char *caption, SystemDef *table, int32_t *index);
// The pages: 1 on OK with the record replaced, 0 otherwise.
int Box03EditSystemDisplay(HWND owner, const char *caption, SystemDef *system);
int Box03EditSystemOrigin(HWND owner, const char *caption, SystemDef *system);
int Box03EditSystemUnit(HWND owner, const char *caption, SystemDef *system);
int Box03EditSystemNumber(HWND owner, const char *caption, SystemDef *system);
int Box03EditSystemGrid(HWND owner, const char *caption, SystemDef *system);
int Box03EditSystemGrid2(HWND owner, const char *caption, SystemDef *system);
// The one-line summary of a system (out holds 512 bytes).
void Box03FormatSystemSummary(const SystemDef *system, char *out);
