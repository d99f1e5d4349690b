// The mouse in the drawing windows (index 0 to 3 or 999, client pixels):
// movement feeds the running command and its rubber band, clicks enter
// points, the right button finishes or cancels, Space held turns clicks into
// zooms, and the fourteen margin buttons act on release.
#pragma once

#include <windows.h>

#include <cstdint>

void CommandMouseMove(int window, int x, int y);
void CommandLButtonDown(int window, int x, int y);
void CommandLButtonUp(int window, int x, int y);
void CommandRButtonDown(int window, int x, int y);
void CommandRButtonUp(int window, int x, int y);
void CommandMButtonDown();
void CommandMButtonUp();
// The right-button menu: the command palette or the context menu.
void CommandRButtonMenu();
// Paints one margin button of a window.
void CommandDrawWindowButton(int window, int button);

// The Space zoom word, shared with the keyboard: 0 idle, 1 Space held
// without a zoom click, 2 a zoom click happened while it was held.
constexpr int32_t SPACE_ZOOM_IDLE = 0;
constexpr int32_t SPACE_ZOOM_HELD = 1;
constexpr int32_t SPACE_ZOOM_CLICKED = 2;
extern int32_t g_CommandSpaceZoom;

// The context menu of the drawing area (made with the main menu; null while
// there is none).
extern HMENU g_CommandContextMenu;

// The snap search of a click: replaces (x, y) by a point of the drawing and
// gives the kind found; 0 when nothing is near (the click is refused). Null
// while snapping is not built: the caught cursor position is taken.
typedef int (*CommandSnapFinder)(int window, double rawX, double rawY, double out[2], int *kind);
extern CommandSnapFinder g_CommandSnapFinder;

// The list popups of the margin buttons 0 to 4 (popup: MARGIN_POPUP_* of
// commands/command_tables.h), anchored at the button's rectangle in screen
// coordinates. Null while the popups are not built: those buttons beep.
typedef void (*CommandMarginPopup)(int window, int popup, const RECT &anchor);
extern CommandMarginPopup g_CommandMarginPopup;

// Test seam for popup menus: when set, answers in place of TrackPopupMenu
// (the chosen command, 0 for none).
typedef int (*CommandPopupAnswer)(HMENU menu, int x, int y);
extern CommandPopupAnswer g_CommandPopupAnswer;
