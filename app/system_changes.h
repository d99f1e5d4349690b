// Settings-change propagation: the change flags that editors of the
// definition tables set, and the one function that brings everything that
// depends on the definitions up to date; the notifications that tell
// plug-in modules about a new drawing and one about to be closed.
#pragma once

#include <cstdint>

#include "app/system_defs.h"

// Redraw levels.
constexpr uint32_t CHANGE_REDRAW_NONE = 0;
constexpr uint32_t CHANGE_REDRAW_MARKED = 1; // the windows marked for repainting
constexpr uint32_t CHANGE_REDRAW_ALL = 2;
constexpr uint32_t CHANGE_RELAYOUT = 3;      // relayout and repaint all

// The editors set a table's word and the flags of its changed items and
// raise the redraw level; only the words and the level are cleared between
// two applications.
struct DefChangeFlags {
    uint32_t pages;
    uint32_t systems;
    uint32_t system[SYSTEM_SLOTS];
    uint32_t layers;
    uint32_t layer[LAYER_SLOTS];
    uint32_t lines;
    uint32_t line[LINE_SLOTS];
    uint32_t pens;
    uint32_t pen[PEN_SLOTS];
    uint32_t multiLines;
    uint32_t multiLine[MULTILINE_SLOTS];
    uint32_t hatches;
    uint32_t hatch[HATCH_SLOTS];
    uint32_t redrawLevel;
};
static_assert(sizeof(DefChangeFlags) == 4 * (7 + SYSTEM_SLOTS + LAYER_SLOTS + LINE_SLOTS + PEN_SLOTS +
                                             MULTILINE_SLOTS + HATCH_SLOTS + 1));
extern DefChangeFlags g_DefChangeFlags;

void SystemClearChanges();
// Applies the flags. With redraw it repaints as the level asks and returns 1
// when the level was 2 or 3; without, it repaints only at level 3 and
// returns 1 when the level was at least 1 (the caller repaints).
int SystemApplyChanges(int redraw);

// Calls every plug-in module's command callback with (0, 3): a drawing was
// created or loaded; and with (0, 4): it is about to be saved or replaced.
void SystemNotifyModulesNew();
void SystemNotifyModulesClose();
