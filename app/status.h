// The tool windows the program draws itself: the cell table of status bar,
// property bar and panel, their layout, painting and mouse handling, the
// toolbox, the symbol window and the pen and layer trees.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Cells

// One table of client rectangles: 0 to 22 the status-bar fields and frames,
// 23 to 79 the property-bar cells, 80 to 604 the panel cells. A cell whose
// left is negative is not shown.
constexpr int TOOL_CELLS = 605;
extern RECT g_ToolCells[TOOL_CELLS];

constexpr int CELL_STATUS_FIELDS = 11;   // text fields 0 to 10; their frames are field + 12
constexpr int CELL_STATUS_CLIENT = 11;
constexpr int CELL_PROP_FIRST = 23;
constexpr int CELL_PROP_POINTER = 23;
constexpr int CELL_PROP_LINETYPE = 28;
constexpr int CELL_PROP_WIDTHS = 29;     // 29 to 38
constexpr int CELL_PROP_LINE_COLOURS = 39; // 39 to 54
constexpr int CELL_PROP_FILL_MODES = 55; // 55 to 59
constexpr int CELL_PROP_FILL_COLOURS = 60; // 60 to 75
constexpr int CELL_PROP_LAYER = 76;
constexpr int CELL_PROP_PEN = 77;
constexpr int CELL_PROP_HATCH = 78;
constexpr int CELL_PROP_SYSTEM = 79;
constexpr int CELL_PANEL_FIRST = 80;
constexpr int CELL_PANEL_SNAP = 80;
constexpr int CELL_PANEL_ORTHO = 90;
constexpr int CELL_PANEL_COMMAND = 101;
constexpr int CELL_PANEL_UP = 102;
constexpr int CELL_PANEL_DOWN = 103;
constexpr int CELL_PANEL_ROW0 = 104;
constexpr int PANEL_ROWS_MAX = 500;

// Button state bits of the drawn buttons.
constexpr uint32_t TOOL_PRESSED = 1;
constexpr uint32_t TOOL_DISABLED = 2;
constexpr uint32_t TOOL_CHECKED = 4;
constexpr uint32_t TOOL_OUTLINED = 8;
constexpr uint32_t TOOL_COLOUR2 = 16;
constexpr uint32_t TOOL_COLOUR1 = 32;
constexpr uint32_t TOOL_MARK = 64;

constexpr int TOOLBOX_CELL_SIZE = 46;
constexpr int TOOLBOX_MAX_BUTTONS = 100;

// Sizes derived from the fonts (recomputed by the layout functions).
struct ToolMetrics {
    int32_t panelCell, panelMargin, panelRow, panelWidth, panelListTop;
    int32_t panelRows, panelFirst; // list rows shown, first shown sorted position
    int32_t statusHeight, statusTextWidth, statusTextHeight;
    int32_t propCell, propWidthCell, propHeight;
    int32_t presets[3]; // widths, line colours, fill colours shown
    int32_t toolboxColumns, toolboxButtons;
};
extern ToolMetrics g_Tools;

// ---------------------------------------------------------------------------
// Button primitives

void StatusDrawFrameRaised(HDC dc, int left, int top, int right, int bottom);
void StatusFillFace(HDC dc, int left, int top, int right, int bottom);
void StatusDrawSunkenField(HDC dc, int left, int top, int right, int bottom);
// Face of a tool button: 1 when pressed (content offset), else 0; colour
// receives the content colour.
int StatusDrawToolFace(HDC dc, uint32_t state, const RECT &r, COLORREF *colour);
void StatusDrawToolBorder(HDC dc, uint32_t state, const RECT &r);
// A monochrome bitmap centred on a button in the state's look.
void StatusDrawBitmapButton(HDC dc, HBITMAP bitmap, int width, int height, uint32_t state, const RECT &r);
void StatusDrawCommandButton40(HDC dc, int commandId, uint32_t state, const RECT &r);
void StatusDrawCommandButton24(HDC dc, uint32_t menuCode, uint32_t state, const RECT &r);
// The text of a line width on a pen row or a width preset.
void StatusWidthText(char *out, size_t size, double width);

// ---------------------------------------------------------------------------
// Sorted indexes of pens, layers and hatches: position 0 is record 0, then
// the named records by name.

// The indexes are g_PenSortIndex, g_LayerSortIndex and g_HatchSortIndex; each
// sort rebuilds its index when it is marked stale and returns the last
// position holding a named record.
int StatusSortPens();
int StatusSortLayers();
int StatusSortHatches();

// ---------------------------------------------------------------------------
// Layout

// The fonts of the panel and property bar and of the status bar (the GUI font
// when the options name none that can be made).
HFONT StatusPanelFont();
HFONT StatusStatusFont();

void StatusLayoutPanel();
void StatusLayoutPanelList(HWND panel);
void StatusLayoutStatusBar();
void StatusLayoutStatusFields(HWND status);
void StatusLayoutPropertyBar();
void StatusLayoutPropertyFields(HWND property);
void StatusLayoutToolbox();
void StatusSizeToolbox(HWND toolbox);
// The docked sizes (the panel and toolbox widths, the bar heights).
int StatusDockedPanelWidth();
// The extent of a text in a font (the default GUI font when null).
SIZE StatusTextExtent(HFONT font, const char *text);
int StatusDockedStatusHeight();
int StatusDockedPropertyHeight();

// ---------------------------------------------------------------------------
// Painting

void StatusPaintPanelCell(HDC dc, int cell);
void StatusPaintPanel(HWND panel, HDC dc);
void StatusPaintPropertyCell(HDC dc, int cell);
void StatusPaintPropertyBar(HWND property, HDC dc);
void StatusPaintToolboxButton(HWND toolbox, HDC dc, int button);
void StatusPaintToolbox(HWND toolbox, HDC dc);
void StatusRefreshActiveCells();
// Repaints one cell of the panel, the property bar or the status bar.
void StatusRepaintCell(int cell);

// ---------------------------------------------------------------------------
// Mouse (client coordinates)

int StatusPanelHitTest(int x, int y);
int StatusPropertyHitTest(int x, int y);
int StatusToolboxHitTest(int x, int y);
void StatusPanelLButtonDown(HWND w, int x, int y);
void StatusPanelLButtonUp(HWND w, int x, int y);
void StatusPanelRButtonDown(HWND w, int x, int y);
void StatusPanelRButtonUp(HWND w, int x, int y);
void StatusPanelMouseMove(HWND w, int x, int y);
void StatusPropertyLButtonDown(HWND w, int x, int y);
void StatusPropertyLButtonUp(HWND w, int x, int y);
void StatusPropertyRButtonDown(HWND w, int x, int y);
void StatusPropertyRButtonUp(HWND w, int x, int y);
void StatusPropertyMouseMove(HWND w, int x, int y);
// WM_COMMAND of the property bar: a line type chosen from its popup; 1 when
// the id was one.
int StatusPropertyCommand(int id);
void StatusToolboxLButtonDown(HWND w, int x, int y);
void StatusToolboxLButtonUp(HWND w, int x, int y);
void StatusToolboxRButtonDown(HWND w, int x, int y);
void StatusToolboxRButtonUp(HWND w, int x, int y);
void StatusToolboxMouseMove(HWND w, int x, int y);
void StatusToolboxHoldTimer(HWND w);
void StatusStatusLButtonDown(HWND w, int x, int y);
void StatusStatusLButtonUp(HWND w, int x, int y);
void StatusStatusRButtonDown(HWND w, int x, int y);
void StatusStatusRButtonUp(HWND w, int x, int y);
// The value field (0 x to 5 angle) pressed to start the coordinate entry,
// or -1 when the entry was not started from a field.
int StatusPreselectedField();
// A left press that the disabled main window refused (WM_SETCURSOR with
// HTERROR) while the coordinate entry is open: over the docked status bar
// it is the bar's own press. True when it was taken so.
bool StatusPressOnDisabledFrame();

// Test seam: when set, the commands the tool windows run go here instead of
// to the dispatcher.
extern void (*g_StatusCommandSeam)(int commandId);
// Test seam: when set, the toolbox's flyout is asked through it instead of
// the flyout window (popup id, current member, button rectangle) -> command.
extern int (*g_StatusFlyout)(int popupId, int current, const RECT *button);

// ---------------------------------------------------------------------------
// Symbol window

// The slot whose insert command runs (shown checked), or -1.
extern int32_t g_SymbolRunningSlot;
void StatusLayoutSymbolWindow();
int StatusSymbolRowHeight();
// Reads the blocks the insert slots name that are not in memory yet; 1 when
// any were asked for.
int StatusLoadSlotBlocks();
void StatusPaintSymbolRow(HWND symbol, HDC dc, int slot);
void StatusPaintSymbolWindow(HWND symbol, HDC dc);
void StatusSymbolScroll(HWND symbol);
void StatusSymbolVScroll(HWND symbol, int code, int thumb);
// Moves used slots over empty ones and sorts them as SymbolSortMode says;
// 1 when a slot moved.
int StatusSortSymbolList();
void StatusSymbolButtonDown(HWND w, int x, int y);
void StatusSymbolLButtonUp(HWND w, int x, int y);
void StatusSymbolRButtonUp(HWND w, int x, int y);
void StatusSymbolMouseMove(HWND w, int x, int y);

// ---------------------------------------------------------------------------
// Pen and layer trees: items carry 6866 + pen or 5864 + layer as their data
// (0 for groups).

extern HWND hGlobalPenTree, hGlobalLayerTree;
extern HIMAGELIST hGlobalImage;
// One pair per sorted position (its record) and per record (its name).
struct StatusTreePair {
    int32_t index;
    const char *name;
};
int StatusCreateTreeImages();
int StatusCreatePenTree(HWND window);
int StatusCreateLayerTree(HWND window);
void StatusFillPenTree(HWND tree);
void StatusFillLayerTree(HWND tree);
void StatusRefillPenTree();
void StatusRefillLayerTree();
void StatusDestroyPenTree();
void StatusDestroyLayerTree();
void StatusTreeInsertItem(HWND tree, HTREEITEM parent, HTREEITEM *insertAfter, const char *text, int depth,
                          int command);
// Inserts the names from sorted position start on that begin with prefix;
// the position of the first name outside the group.
int StatusTreeAddSorted(HWND tree, HTREEITEM parent, HTREEITEM *insertAfter, const StatusTreePair *pairs, int depth,
                        int end, int baseCommand, int start, const char *prefix);
// WM_NOTIFY of the pen and layer windows.
LRESULT StatusTreeNotify(HWND window, const NMHDR *header);

// ---------------------------------------------------------------------------
// Tooltips

int StatusCreateTooltips();
void StatusDestroyTooltips();
void StatusRelayTooltip(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The number of tools the tooltip window holds (0 without one).
int StatusTooltipCount();

// ---------------------------------------------------------------------------
// Coordinate calculator

struct CoordEntryRecord;
// The record the coordinate entry hands to the calculator.
extern CoordEntryRecord g_CoordEntryRecord;
// Lays the calculator's boxes over the value fields, sets the frame and the
// references the running command offers (or the given point, when not null)
// and runs it: 1 with the point in record->result, 0 when cancelled.
int StatusRunTermCalculator(HWND owner, CoordEntryRecord *record, const double *point);
// References from the command's reference geometry: its first segment, that
// direction carried to its last point, or two of its points.
void StatusCalcRefPoint(CoordEntryRecord *record);
void StatusCalcRefLastPoint(CoordEntryRecord *record);
void StatusCalcRefView1(CoordEntryRecord *record);
void StatusCalcRefView2(CoordEntryRecord *record);
