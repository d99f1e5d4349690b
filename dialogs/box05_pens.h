// The modeless pen table window and the layer table window: their entry
// points for the main window, the summaries and the hand-over blocks.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/darad4_menu.h"
#include "app/system_defs.h"
#include "dialogs/box05_table.h"

constexpr int BOX05_PEN_TABLE_HELP = 15030;
constexpr int BOX06_LAYER_TABLE_HELP = 15020;

// The working copies the windows hand to the main window (DARAD4_PEN1, DARAD4_LAYER1).
extern PenDialogWork g_PenDialogWork;
extern LayerDialogWork g_LayerDialogWork;
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
