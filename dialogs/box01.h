// The dialog protocol and the small functions every dialog calls.
//
// An opener copies the caller's data into a dialog record, runs the dialog
// from a template of the language module (Box01DialogRun) and copies the
// edited fields back only when the record's result is not DIALOG_CANCELLED.
// The dialog procedure calls Box01DialogInit on WM_INITDIALOG, validates on
// IDOK, and ends with Box01DialogEnd; Box01DialogDefault answers help and
// menu-idle messages.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr uint32_t DIALOG_OK = 1;        // closed with OK
constexpr uint32_t DIALOG_CANCELLED = 2; // closed with Cancel, Escape or the close box

constexpr int HELP_CONTEXT_NONE = -1;

// The start of every dialog record: the window that had the focus when the
// dialog opened (it gets the focus back when the dialog closes) and the result.
struct DialogHeader {
    HWND previousFocus;
    uint32_t result;
};
static_assert(sizeof(DialogHeader) == 8);

// Value of a remembered window position that was never set.
constexpr LONG DIALOG_NO_POSITION = static_cast<LONG>(0x80000001);

// Margin in pixels between a placed window and the drawing area's edges.
constexpr int DIALOG_PLACE_MARGIN = 4;

// Help file of every dialog, looked for in g_PathServer.
extern const char *g_HelpFileName;

// --- Opener side -----------------------------------------------------------

// The owner of a modal window (dialog, message box, file chooser) and what
// it holds while that runs. The owner is the requested window's top-level
// window; none, or one not shown, gives the main window, and the main window
// gives the dialog open above it, so a box always stays above the window
// that raised it. A box owned by another window of the program (a table, a
// tool window) would leave the main window usable, and a click there would
// raise it over the box: the main window is disabled too while the box runs.
// When the last modal window has closed and the keyboard went nowhere, it
// goes back to the main window, which hands it to the active drawing window.
struct ModalOwner {
    HWND owner = nullptr;
    bool mainDisabled = false;
    explicit ModalOwner(HWND requested);
    ~ModalOwner();
    ModalOwner(const ModalOwner &) = delete;
    ModalOwner &operator=(const ModalOwner &) = delete;
};

// Runs the modal dialog `templateName` of the language module with `record`
// as its creation parameter. A template that cannot be created is reported
// with AlertNoDialog and gives -1; g_ModalDepth is then unchanged. Otherwise
// lowers g_ModalDepth (raised by Box01DialogInit) and returns EndDialog's value.
INT_PTR Box01DialogRun(HWND owner, const char *templateName, DLGPROC procedure, DialogHeader *record);

// The whole protocol for a record that the dialog edits in place: copies
// `caller` into a working record, runs the dialog and copies the working
// record back only when it was not cancelled. Returns 1 on OK (or the
// dialog's own result code), 0 on cancel or when the dialog cannot be shown.
template <typename Record>
uint32_t Box01DialogEdit(HWND owner, const char *templateName, DLGPROC procedure, Record &caller)
{
    Record work = caller;
    if (Box01DialogRun(owner, templateName, procedure, &work.header) == -1)
        return 0;
    if (work.header.result == DIALOG_CANCELLED)
        return 0;
    caller = work;
    return work.header.result;
}

// --- Procedure side --------------------------------------------------------

// WM_INITDIALOG: keeps the record with the window, raises g_ModalDepth and
// centres the dialog. Returns the record.
DialogHeader *Box01DialogInit(HWND dialog, LPARAM record);

// The record kept by Box01DialogInit (null before it).
DialogHeader *Box01DialogRecord(HWND dialog);

template <typename Record>
Record *Box01DialogRecordOf(HWND dialog)
{
    return reinterpret_cast<Record *>(Box01DialogRecord(dialog));
}

// Stores the result, gives the focus back to the saved window and ends the dialog.
void Box01DialogEnd(HWND dialog, uint32_t result);

// The protocol's answer to the messages every dialog treats alike: WM_HELP
// opens `helpContext`, WM_ENTERIDLE goes to Box01DialogEnterIdle, IDCANCEL
// ends with DIALOG_CANCELLED. Returns 0 for anything else (default processing).
INT_PTR Box01DialogDefault(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, int helpContext);

// --- Basic functions -------------------------------------------------------

void Box01DialogCenter(HWND window);
void Box01DialogPlace(HWND window, int mode, POINT *position);
void Box01DialogMove(HWND window, int x, int y, int width, int height);
void Box01DialogHelp(HWND window, int context);
uint32_t Box01DialogEnterIdle(HWND window, WPARAM wParam, LPARAM lParam);
void Box01DialogCheck(HWND dialog, int id, uint32_t value);
void Box01DialogRedrawItem(HWND dialog, int id);
void Box01DialogRedrawItems(HWND dialog, int firstId, int lastId);
void Box01DialogShowItem(HWND dialog, int id, int show);
HWND Box01DialogFocusEdit(HWND dialog, int id);

// --- Texts and fonts (box01_text.cpp) --------------------------------------

struct FontDef;
// Styles one font family offers at most.
constexpr int BOX01_FONT_STYLES = 32;

// A stored text (0xB6 ends a line) as edit-control text with CR LF; other
// control characters are dropped; at most dstSize - 2 characters.
void Box01TextToMultiline(char *dst, const char *src, int dstSize);
// Edit-control text back to a stored text: LF becomes 0xB6, CR and other
// control characters are dropped; at most maxLen characters. 0 when the text
// did not fit and was cut.
int Box01MultilineToText(char *dst, const char *src, int maxLen);
// The text of the selected item of a combo box (size bytes); 0 after telling
// the user to select an entry (eAlertTextOK entry 3) when none is selected.
int Box01ComboSelection(HWND dialog, int id, char *out, int size);
// Types text at the caret of a control (replacing its selection) and focuses it.
void Box01DialogTypeText(HWND dialog, int id, const char *text);
// Fits the drop-down height of a combo box to its items and the screen.
void Box01DialogComboboxAdjust(HWND dialog, int id);
// Adds the scalable font families of the display, each once, to a combo box
// (ids 180 to 189) or list box.
void Box01FillFontList(HWND dialog, int id);
// The styles of a family into records (kind, style bits, weight, display
// name in the face) and the combo box, sorted by weight and style bits, the
// first selected; each item's data is its record index. 0 when the family
// has no styles: the box then shows one disabled placeholder.
int Box01FillFontStyles(HWND dialog, int id, const char *faceName, FontDef records[BOX01_FONT_STYLES]);

// --- Owner-drawn controls (box01_draw.cpp) ---------------------------------

struct CharLibrarySlot;
// A button of a radio-like group of icon buttons with ids base, base + 1 ...:
// the icon named by format and (id - base), drawn pressed when (id - base)
// equals current. Without the icon resource the number stands in for it.
void Box01DrawItemNumberedIcon(const DRAWITEMSTRUCT *item, const char *format, int baseId, int current);
// A row of the character-library list: the new and remove marks, then the name.
void Box01DrawItemFontRow(const DRAWITEMSTRUCT *item, const CharLibrarySlot *slot);

// --- Insert menu of the text dialogs (box01_text.cpp) -----------------------

struct VariableDef;
constexpr int BOX01_INSERT_TEXT1 = 13821;    // + entry of eInsertText1
constexpr int BOX01_INSERT_TEXT2 = 13872;    // + entry of eInsertText2
constexpr int BOX01_INSERT_VARIABLE = 13923; // + position in the sorted variable table
constexpr int BOX01_INSERT_ENTRIES = 50;     // items of each display list at most

// Sorts a variable table by name without regard to case and packs the named
// entries to the front, clearing the others.
void Box01SortVariables(VariableDef *table);
// The insert menu: the insertion texts, the variables of `sorted` (a table
// sorted by Box01SortVariables; greyed when empty) and the values; null
// after AlertNoDialog when it cannot be made. The caller tracks and destroys it.
HMENU Box01MenuInsertText(HWND owner, const VariableDef *sorted);
// The text a command of the insert menu types ("~name~" for a variable), or
// empty for none; out holds 256 bytes.
void Box01InsertTextFor(int command, const VariableDef *sorted, char *out);
