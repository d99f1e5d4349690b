// Drawing windows and the view window: their records, views and the matrices
// between drawing millimetres, client pixels and coordinate-system values;
// the arrangement of the drawing windows in the main window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "geometry/calc.h"
#include "geometry/matrix.h"

struct SystemDef;
struct PageDef;

// Drawing windows 0 to 3 and the view window.
constexpr int WINDOW_DRAW_COUNT = 4;
constexpr int DRAW_WINDOWS = WINDOW_DRAW_COUNT;
constexpr int WINDOW_VIEW = 999;
constexpr int32_t VIEW_WINDOW_INDEX = WINDOW_VIEW;
constexpr int VIEW_HISTORY_SIZE = 20;
constexpr int WINDOW_BUTTONS = 14;        // 0 to 4 corner buttons, 5 to 13 tool toggles
constexpr int WINDOW_CORNER_BUTTONS = 5;
constexpr int WINDOW_FIRST_TOGGLE = 5;
constexpr int WINDOW_TOGGLES = 9;

// View limits: a zoom outside these bounds and centres beyond the coordinate
// clamp (CALC_COORD_LIMIT) would make the matrices singular or overflow. An
// argument of WindowSetView left out is CALC_NO_VALUE.
constexpr double WINDOW_ZOOM_MIN = 1e-10;
constexpr double WINDOW_ZOOM_MAX = 1e10;
constexpr double WINDOW_FIT_SHARE = 0.98;  // a fitted rectangle fills this much of the area
constexpr int32_t WINDOW_SCROLL_RANGE = 10000;

// View modes of WindowSetView.
constexpr int WINDOW_VIEW_RELATIVE = 0;
constexpr int WINDOW_VIEW_ABSOLUTE = 1;
constexpr int WINDOW_VIEW_SCROLL = 2;
constexpr int WINDOW_VIEW_ZOOM_ABOUT = 3;

struct DrawWindow {
    HWND hwnd;
    uint32_t repaint;   // matrices recomputed since the last repaint
    uint32_t distorted; // the system has slanted axes or a rotation
    double centreX, centreY;    // view centre in drawing millimetres
    double visibleRect[4];      // drawing area (half a pixel wider) in millimetres
    double pageRectSystem[4];   // active page in system values: the scroll extents
    double safeRect[4];         // safePixelRect in millimetres
    int32_t safePixelRect[4];   // where output may place device coordinates
    RECT rulerTopRect, rulerLeftRect, areaRect;
    RECT frameRect;             // in the main window's client coordinates
    uint32_t paintPending;      // a paint arrived while another ran
    RECT pendingRect;           // what such paints still have to draw
    double angleFactor;  // radians per angle unit of the window's system
    double widthFactor;  // millimetres per width unit
    double pixelsPerMm;  // mean screen pixels per millimetre times zoom
    double lengthFactor; // millimetres per length unit
    double pixelsPerUnitX, pixelsPerUnitY;
    double mmPerUnit;    // the system's scale times lengthFactor
    int32_t crossCaughtX, crossCaughtY, crossRawX, crossRawY; // -1: not in this window
    Matrix MatrixMMToPixel, MatrixPixelToMM;
    Matrix MatrixMMToSystem, MatrixSystemToMM;
    Matrix MatrixPixelToSystem, MatrixSystemToPixel;
    Matrix MatrixOrientInverse, MatrixOrient;
    double historyCentre[VIEW_HISTORY_SIZE][2]; // oldest first
    double historyZoom[VIEW_HISTORY_SIZE];
    int32_t historyCount;
    int32_t system;       // 0 to 50
    uint32_t displayGrid; // the system's display grid shown
    uint32_t catchGrid;   // the cursor catches to the system's catch grid
    double zoom;          // 1.0: true size on the monitor
    RECT buttonRects[WINDOW_BUTTONS]; // -1 in all four: the window has no such button
    int32_t hoverButton, pressedButton;
};
static_assert(offsetof(DrawWindow, repaint) == 4);
static_assert(offsetof(DrawWindow, centreX) == 16);
static_assert(offsetof(DrawWindow, visibleRect) == 32);
static_assert(offsetof(DrawWindow, safePixelRect) == 128);
static_assert(offsetof(DrawWindow, rulerTopRect) == 144);
static_assert(offsetof(DrawWindow, frameRect) == 192);
static_assert(offsetof(DrawWindow, paintPending) == 208);
static_assert(offsetof(DrawWindow, angleFactor) == 232);
static_assert(offsetof(DrawWindow, mmPerUnit) == 280);
static_assert(offsetof(DrawWindow, crossCaughtX) == 288);
static_assert(offsetof(DrawWindow, MatrixMMToPixel) == 304);
static_assert(offsetof(DrawWindow, MatrixOrient) == 640);
static_assert(offsetof(DrawWindow, historyCentre) == 688);
static_assert(offsetof(DrawWindow, historyCount) == 1168);
static_assert(offsetof(DrawWindow, zoom) == 1184);
static_assert(offsetof(DrawWindow, buttonRects) == 1192);
static_assert(sizeof(DrawWindow) == 1424);

extern DrawWindow g_DrawWindows[WINDOW_DRAW_COUNT];
extern DrawWindow g_ViewWindow;
extern int32_t g_DrawWindowCount; // drawing windows shown by the arrangement, 1 to 4
// The window (0 to 3 or 999) that commands and conversions address.
extern int32_t g_ActiveWindow;
// The window whose state the panel shows.
extern int32_t g_PanelWindow;

// The coordinate system and grid switches of the panel's window.
struct CurrentSystem {
    int32_t system;
    uint32_t displayGrid;
    uint32_t catchGrid;
};
extern CurrentSystem g_CurrentSystem;

// The current conversion state; its first field points to the current window.
constexpr int WINDOW_UNIT_LABEL_SIZE = 16;
struct ConvertState {
    DrawWindow *window;
    SystemDef *systemDef;
    uint32_t decimals;     // digits after the point
    uint32_t lengthFormat; // number-format code of lengths
    uint32_t angleFormat;  // number-format code of angles
    char widthLabel[WINDOW_UNIT_LABEL_SIZE];
    char lengthLabel[WINDOW_UNIT_LABEL_SIZE];
    char angleLabel[WINDOW_UNIT_LABEL_SIZE];
};
extern ConvertState g_ConvertState;

// Screen metrics, recomputed by WindowComputeLayout.
struct ScreenMetrics {
    int32_t widthPixels, heightPixels;
    double widthMm, heightMm;
    double pixelsPerMmX, pixelsPerMmY, pixelsPerMm; // the last is their mean
    double aspectX, aspectY;                        // each divided by the mean
};
extern ScreenMetrics g_ScreenMetrics;

// Set by whoever re-arranges the windows or loads a drawing: the next paint
// of a drawing window fits the active page. WindowRelayout clears it.
extern uint32_t g_RelayoutPending;

// ---------------------------------------------------------------------------
// Records, systems and views (window.cpp).

// The record of window 0 to 3 or 999; nullptr for any other number.
DrawWindow *WindowGetRecord(int window);
// A fresh record for a window just created: centre (0, 0), zoom 1, empty
// history, the given coordinate system, nothing pending; its areas computed.
void WindowInitRecord(DrawWindow *record, HWND window, int32_t system);
// Gives a window millimetres, degrees, scale 1 and an identity mapping.
void WindowResetUnits(DrawWindow *window);

void WindowSelectCurrent();
void WindowSetActive(int window, int force);
void WindowCacheSystem(int window, int system);
void WindowUpdateSystem(int system);
void WindowUpdateAllSystems();
void WindowSetView(int window, int mode, double a, double b, double c);
void WindowSetViewRect(int window, double x1, double y1, double x2, double y2);
void WindowPushView(int window);
int WindowPopView(int window);
void WindowClearViewHistory();

// The rectangle of a page (paper table, orientation, anchor), written back
// into the page when its free size had to be limited.
void WindowComputePageRect(PageDef *page, double out[4]);
// Appends the axis transformation of an axis mode; 1 when the mode slants.
int WindowAppendAxisMode(Matrix *m, int32_t axisMode);
// Paper sizes in millimetres, portrait, by format index.
constexpr int WINDOW_PAPER_FORMATS = 39;
extern const double g_PaperSizes[WINDOW_PAPER_FORMATS][2];

// ---------------------------------------------------------------------------
// Layout and arrangement (window_layout.cpp).

// The main window's work area (client coordinates) after the docked visible
// tool windows took their edges, and the docked windows' rectangles.
struct WindowLayout {
    RECT freeArea;
    RECT panel, toolbox, status, property; // client coordinates; used when docked
    int32_t rulerWidth; // ruler thickness in pixels
    int32_t buttonSize; // margin-button height in pixels
};
extern WindowLayout g_WindowLayout;

// Screen metrics, work rectangle, number of drawing windows and their frames.
void WindowComputeLayout(HWND mainWindow);
// Pure part of the tiling, for the given work rectangle and arrangement:
// the window count, and the frames of windows 0 to 3 (unused ones get the
// whole work rectangle).
int WindowTile(const RECT &work, int32_t arrangement, int borderX, int borderY, RECT frames[WINDOW_DRAW_COUNT]);
// The screen metrics from pixel and millimetre sizes.
void WindowComputeScreenMetrics(int32_t widthPixels, int32_t heightPixels, double widthMm, double heightMm,
                                ScreenMetrics *out);
// Rulers, drawing area and margin buttons from the window's client rectangle.
void WindowComputeAreas(int window);
void WindowComputeAreasFrom(int window, const RECT &client);
void WindowArrange(HWND mainWindow);
void WindowRelayout(HWND mainWindow);
// 1 when the window has rulers (view window: only while ViewSimple is off).
int WindowHasRulers(int window);
int WindowHasButtons(int window);

// ---------------------------------------------------------------------------
// Tool windows and the popup registry (window_tools.cpp).

constexpr int WINDOW_POPUP_SLOTS = 100;
constexpr int WINDOW_OWN_POPUPS = 11; // entries 0 to 10 are the program's own tool windows
struct PopupRegistry {
    HWND windows[WINDOW_POPUP_SLOTS];
    int32_t count;
};
extern PopupRegistry g_PopupWindows;

struct ProgramOptions;
void WindowRepaintTools();
// Puts the visible floating tool windows back above the main window.
void WindowRaiseFloatingTools();
// Applies changed tool-window options; oldOptions is a copy from before the change.
void WindowApplyPanels(const ProgramOptions &oldOptions, const ProgramOptions &newOptions, int relayout);
void WindowListOwn();
void WindowResetPopups();
int WindowIsOwnPopupActive();

// A drawing was loaded or started: pages and systems recomputed, the view
// histories emptied, and every drawing window re-arranged to show the
// active page.
void WindowShowNewDrawing(HWND mainWindow);
