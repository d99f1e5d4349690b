// Owner-drawn controls and the shared chores of the dialogs: colour swatch,
// text, layer and icon buttons, pen and layer rows, library rows, colour
// rows, the progress bar and colour patch; colour texts, spin fields,
// three-state boxes, combo-box heights, the tool dialogs' system menu, the
// popup menus of recent names, stored filters and insertable texts, the
// variable sort, and the group paths of pen and layer names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "dialogs/box01.h"

struct PenDef;
struct LayerDef;
struct LibrarySlot;
struct VariableDef;
struct SelectionFilter;

// The rows of the pen and layer lists: item n below this is record n, from
// it on group header n - BOX01_GROUP_ITEM_BASE.
constexpr int BOX01_GROUP_ITEM_BASE = 501;
constexpr int BOX01_GROUP_NAME_SIZE = 64;

// --- WM_DRAWITEM handlers (ODA_FOCUS alone is ignored) ----------------------

void Box01DialogCustomButtonColor(const DRAWITEMSTRUCT *item, COLORREF colour, int focus);
void Box01DialogCustomButtonText(const DRAWITEMSTRUCT *item, const char *text, int focus);
void Box01DialogCustomButtonLayer(const DRAWITEMSTRUCT *item, uint32_t state, const char *name, int focus);
void Box01DialogCustomButtonIcon(const DRAWITEMSTRUCT *item, const char *iconName, int focus);
void Box01DialogCustomListboxColor(const DRAWITEMSTRUCT *item, COLORREF colour, const char *text);
void Box01DrawItemLayerRow(const DRAWITEMSTRUCT *item, int index, const LayerDef *layers,
                           const char (*groupNames)[BOX01_GROUP_NAME_SIZE], int link);
void Box01DrawItemPenRow(const DRAWITEMSTRUCT *item, int index, const PenDef *pens,
                         const char (*groupNames)[BOX01_GROUP_NAME_SIZE], int link);
void Box01DrawItemLibraryRow(const DRAWITEMSTRUCT *item, const LibrarySlot *slot);

// --- Painters ---------------------------------------------------------------

void Box01PaintColorButton(HDC dc, const RECT *rect, UINT itemState, COLORREF colour, int focus);
void Box01PaintTextButton(HDC dc, const RECT *rect, UINT itemState, const char *text, int focus);
void Box01PaintLayerButton(HDC dc, const RECT *rect, UINT itemState, uint32_t state, const char *name, int focus);
void Box01PaintIconButton(HDC dc, const RECT *rect, UINT itemState, const char *iconName, int pressed);
void Box01PaintColorRow(HDC dc, const RECT *rect, UINT itemState, COLORREF colour, const char *text);
void Box01PaintLayerRow(HDC dc, const RECT *rect, UINT itemState, int index, const LayerDef *layers,
                        const char (*groupNames)[BOX01_GROUP_NAME_SIZE], int link);
void Box01PaintPenRow(HDC dc, const RECT *rect, UINT itemState, int index, const PenDef *pens,
                      const char (*groupNames)[BOX01_GROUP_NAME_SIZE], int link);
void Box01PaintTabbedRow(HDC dc, const RECT *rect, UINT itemState, const LibrarySlot *slot);

// The progress bar's text and filled width: "1%" while under 1 % but
// started, "99%" while over 99 % but not done. 0 when total <= 0 (nothing
// is drawn then).
int Box01ProgressText(char *out, int outSize, int done, int total, int clientWidth, int *filledWidth);
void Box01DrawProgressBar(HWND control, int done, int total);
// Upper half the exact colour, lower half the colour as the screen shows it.
void Box01PaintColorPreview(HWND control, COLORREF colour);

// --- Texts and values ---------------------------------------------------------

constexpr int BOX01_COLOR_TEXT_SIZE = 64;
// Three percentages, RGB or CMY as the colour-model option says.
char *Box01FormatColorText(char *out, COLORREF colour);
// A drawing point (millimetres) in the active window's coordinate system;
// an invalid coordinate becomes 0.
void Box01ConvertPointToSystem(double *x, double *y);

// --- Controls ------------------------------------------------------------------

constexpr int BOX01_SPIN_FIRST = 190, BOX01_SPIN_LAST = 199;
constexpr int BOX01_SPIN_FIELD_OFFSET = 10; // the number field of a spin bar
// WM_VSCROLL of a spin bar 190 .. 199: steps its field 200 .. 209 up or down
// within min .. max. Other bars and codes are ignored.
void Box01DialogSpinEdit(HWND dialog, int code, HWND scrollBar, double min, double max, double step);
// Unchecked -> checked -> indeterminate (or unchecked) -> unchecked.
int Box01DialogCycleTriState(HWND dialog, int id, int twoStateOnly);
// Makes a combo box reach down to the screen bottom less two field heights.
void Box01DialogFitComboBox(HWND dialog, int id);
// The system menu of the tool dialogs (move, close, position submenu, hide)
// and back to the default one.
constexpr int BOX01_SYSMENU_FIRST = 5006;
void Box01DialogSetSystemMenu(HWND window);
void Box01DialogResetSystemMenu(HWND window);

// --- Popup menus (the caller tracks and destroys them; null on failure) --------
// (The insert-text menu and the variable sort are with the text utilities.)

constexpr int BOX01_RECENT_NAMES = 8;
constexpr int BOX01_RECENT_PATH_SIZE = 260;
constexpr int BOX01_MENU_RECENT = 12000;         // + 8 per submenu
constexpr int BOX01_MENU_FILTERS = 12026;        // + 8 per submenu
HMENU Box01MenuRecentPaths(HWND owner, const char (*names)[BOX01_RECENT_PATH_SIZE], int noThirdSubmenu);
HMENU Box01MenuStoredFilters(HWND owner, const SelectionFilter *filters);

// --- Pen and layer names -----------------------------------------------------------

void Box01SplitNamePath(const char *name, char *pathOut, char *leafOut);
void Box01JoinNamePath(char *dst, const char *path, const char *leaf);
// -1, 0 or 1: the order of the pen and layer lists (own entries first,
// subgroups before the plain entries of their group).
int Box01CompareNamePaths(const char *a, const char *b);

// Marks of a library slot that the library slots dialog sets and the
// library list shows: bits of the slot's first further word.
constexpr int LIBRARY_MARK_WORD = 0;
constexpr uint32_t LIBRARY_MARK_NEW = 0x1;    // a library to be created
constexpr uint32_t LIBRARY_MARK_OPEN = 0x2;   // a file to be read
constexpr uint32_t LIBRARY_MARK_CLOSE = 0x4;
constexpr uint32_t LIBRARY_MARK_SAVE = 0x8;
constexpr uint32_t LIBRARY_MARK_RELOAD = 0x10;
// The dialog's values of the slot's three options, in the further words.
constexpr int LIBRARY_VALUE_CACHING = 1, LIBRARY_VALUE_LOAD = 2, LIBRARY_VALUE_SAVE = 3;

// --- List popups of the dialogs ------------------------------------------------

// The drop-down buttons of the dialogs open the command module's list popups
// of line types, layers and pens below themselves; the choice of entry i
// arrives at the dialog as command firstCommand + i, the top item (when
// topCommand is not 0) as topCommand and stands for -1. The popups are
// modal menus: tests put a scripted stand-in here (null: no popup).
enum Box01ListPopupKind { BOX01_POPUP_LINES, BOX01_POPUP_LAYERS, BOX01_POPUP_PENS, BOX01_POPUP_SYSTEMS };
typedef void (*Box01ListPopupProc)(Box01ListPopupKind kind, HWND owner, const RECT *button, int current,
                                   int firstCommand, int topCommand);
extern Box01ListPopupProc g_Box01ListPopup;
void Box01OpenListPopup(Box01ListPopupKind kind, HWND owner, HWND button, int current, int firstCommand,
                        int topCommand);

// --- Definition list editors ----------------------------------------------------

// eAlertTextOK entry `message` formatted with a name: a notice, or a Yes/No
// question (the message box's answer).
void Box01SayName(HWND dialog, int message, const char *name);
uint32_t Box01AskName(HWND dialog, int message, const char *name);
// entry as given; when it is -1 the user is asked to select an entry first.
int Box01NeedEntry(HWND dialog, int entry);
// Asks for a name (prompt "Name"); one that another entry has (findName
// gives its index or -1; entry `self` may keep its own) is refused with the
// name-in-use notice. 1 with name replaced.
int Box01AskFreeName(HWND dialog, const char *caption, char *name, int size,
                     const std::function<int(const char *)> &findName, int self);
// Deletes the selected row of a list box and selects the row before it (or
// the first). The newly selected row.
int Box01ListDeleteSelection(HWND dialog, int id);
// The row of a list box whose text, up to its first tab, is exactly `name`
// (case counts; list boxes' own searches ignore case), or -1.
int Box01ListFindExact(HWND dialog, int id, const char *name);
// The text of a row up to its first tab (size bytes); 0 when there is none or it does not fit.
int Box01ListRowName(HWND dialog, int id, int row, char *out, int size);
// Height of the text "W" in the window's font.
int Box01TextHeight(HWND window);

// The protocol for a dialog record with a caption and one value `work`:
// copied in, edited, copied back on OK. 1 on OK, 0 otherwise.
template <typename Record, typename Value>
int Box01EditValue(HWND owner, const char *templateName, DLGPROC procedure, const char *caption, Value *value)
{
    Record record = {};
    lstrcpynA(record.caption, caption ? caption : "", sizeof record.caption);
    record.work = *value;
    if (!Box01DialogEdit(owner, templateName, procedure, record))
        return 0;
    *value = record.work;
    return 1;
}
