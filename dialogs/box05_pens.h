// The modeless pen table window and the layer table window: their entry
// points for the main window, the summaries and the hand-over blocks.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/system_defs.h"
#include "dialogs/box05_table.h"

constexpr int BOX05_PEN_TABLE_HELP = 15030;
constexpr int BOX06_LAYER_TABLE_HELP = 15020;

// The words of the definition change flags that go with a hand-over, in the
// order the main window reads them: pages, systems (1 + 51), layers
// (1 + 501), line types (1 + 501), pens (1 + 501), multilines (1 + 51),
// hatches (1 + 101) and the redraw level.
constexpr int HANDOVER_CHANGE_WORDS =
    1 + (1 + SYSTEM_SLOTS) + (1 + LAYER_SLOTS) + (1 + LINE_SLOTS) + (1 + PEN_SLOTS) + (1 + MULTILINE_SLOTS) +
    (1 + HATCH_SLOTS) + 1;
constexpr int HANDOVER_LAYER_WORDS = 1 + (1 + SYSTEM_SLOTS);                 // where the layer flags start
constexpr int HANDOVER_PEN_WORDS = HANDOVER_LAYER_WORDS + 2 * (1 + LAYER_SLOTS); // where the pen flags start

// What the pen window hands the main window with DARAD4_PEN1 (wParam -1).
struct PenTableBlock {
    PenDef pens[PEN_SLOTS];
    uint32_t link;
    int32_t selected;
    uint32_t changes[HANDOVER_CHANGE_WORDS];
};
struct LayerTableBlock {
    LayerDef layers[LAYER_SLOTS];
    uint32_t link;
    int32_t selected;
    uint32_t changes[HANDOVER_CHANGE_WORDS];
};
extern PenTableBlock g_PenTableBlock;
extern LayerTableBlock g_LayerTableBlock;
extern TableWindow g_PenTable;
extern TableWindow g_LayerTable;

void Box05PenDialogCreate(HWND mainWindow);
void Box05PenDialogShow(int32_t pen);
void Box05PenDialogDestroy();
void Box06LayerDialogCreate(HWND mainWindow);
void Box06LayerDialogShow(int32_t layer);
void Box06LayerDialogDestroy();

// Summaries of one record of the window's working copy (out holds
// TABLE_SUMMARY_SIZE bytes), and the summary line under the list.
void Box05FormatPenSummary(TableWindow *w, int pen, char *out, const char *separator);
void Box06FormatLayerSummary(TableWindow *w, int layer, char *out, const char *separator);
