// The main window's menu messages: commands from menus and accelerators, the
// system-menu switches, menu state, the Alt context menu, dropped files and
// the hand-over of the modeless pen and layer tables.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/system_changes.h"

// Posted to the main window to lay it out again although its rectangle
// did not change (the menu bar came or went).
constexpr UINT MSG_MAIN_RELAYOUT = WM_APP + 0x100;

// The working copy a modeless pen or layer table hands back with
// DARAD4_PEN1 or DARAD4_LAYER1.
struct PenDialogWork {
    PenDef pens[PEN_SLOTS];
    uint32_t link;
    int32_t selected;
    DefChangeFlags changes;
};
struct LayerDialogWork {
    LayerDef layers[LAYER_SLOTS];
    uint32_t link;
    int32_t selected;
    DefChangeFlags changes;
};

// The tables register their working blocks while they exist (null when they
// close): the main window takes only these, since any process can post the
// messages with any address.
void AppRegisterPenWork(PenDialogWork *work);
void AppRegisterLayerWork(LayerDialogWork *work);

// The state words of all pens or layers before the last change that came
// from the tables; restored on request by the bulk commands.
struct SavedStates {
    uint32_t states[PEN_SLOTS];
    uint32_t valid;
};
extern SavedStates g_SavedLayerStates, g_SavedPenStates;

extern uint32_t g_MenuHelpPending; // F1 in an open menu: the next command shows help

// WM_COMMAND of the main window with command id.
void AppMainCommand(int commandId);
// Handles the messages named above; 1 with *result set when it did.
int AppMainMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
