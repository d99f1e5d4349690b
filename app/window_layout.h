// Drawing windows, the view window and the arrangement of the main window's
// client area: the docked tool windows along its edges, the drawing windows
// in the free area between them.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int DRAW_WINDOWS = 4;
constexpr int32_t VIEW_WINDOW_INDEX = 999;
constexpr int VIEW_HISTORY_SIZE = 20;

// One drawing window or the view window.
struct DrawWindow {
    HWND window;
    double centreX, centreY; // view centre in drawing millimetres
    double scale;
    int32_t historyCount;    // entries of the view history in use
    int32_t system;          // the coordinate system shown
    uint32_t repaintPending;
    int32_t lastIndexes[2];  // -1: none
    RECT frame;              // in client coordinates of the main window
};

extern DrawWindow g_DrawWindows[DRAW_WINDOWS];
extern int32_t g_DrawWindowCount; // drawing windows shown by the arrangement
extern DrawWindow g_ViewWindow;
extern int32_t g_ActiveWindow;    // the active drawing window
extern uint32_t g_RelayoutPending;

// A fresh record for a window just created: centre (0, 0), scale 1, empty
// history, the given coordinate system, nothing pending.
void WindowInitRecord(DrawWindow *record, HWND window, int32_t system);

// Fixed extents of the docked tool windows, in pixels.
constexpr int TOOLBOX_CELL = 46;
constexpr int STATUS_BAR_HEIGHT = 26;
constexpr int PROPERTY_BAR_HEIGHT = 26;
constexpr int PANEL_WIDTH = 104;

// The main window's free area (client coordinates) after the docked visible
// tool windows took their edges, and the docked windows' rectangles.
struct WindowLayout {
    RECT freeArea;
    RECT panel, toolbox, status, property; // client coordinates; used when docked
};
extern WindowLayout g_WindowLayout;

void WindowComputeLayout(HWND mainWindow);
// Moves the docked tool windows and the drawing windows to the layout.
void WindowArrange(HWND mainWindow);

LRESULT CALLBACK WindowTimedFlagProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
