// What the modeless pen and layer tables share: a working copy of one
// 501-slot table shown as a grouped, multi-selection list with state icons
// and property samples, the commands on it, and the hand-over to the main
// window. The pen window (box05_pens.cpp) and the layer window
// (box06_layers.cpp) each describe their table with a TableKind.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/system.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box02.h"
#include "database/object_usage.h"

constexpr int TABLE_SLOTS = 501;
constexpr int TABLE_NAME_SIZE = 64;
constexpr int TABLE_SUMMARY_SIZE = 512;

// The change flags the table hands over with its working copy: the
// table-changed flag and one flag per record.
struct TableChanges {
    uint32_t changed;
    uint32_t record[TABLE_SLOTS];
};

struct TableWindow;

struct TableKind {
    // Resources and texts.
    const char *templateName;
    DLGPROC procedure;
    const char *iconName;
    int captionCommand;
    int help;
    int minWidth, minHeight; // dialog units
    int msgClose, msgTake, msgDeleteOne, msgDeleteOneUsed, msgDeleteSeveral, msgDeleteSeveralUsed, msgFull,
        msgLink;             // eAlertTextOK
    int captionNew, captionRename, captionCopyToGroup, captionFilter; // eCaptionTexts
    bool hasLayerButton;
    bool keepsCopySwitch; // showing the window keeps the copy-to-group switch
    // The drawing's table and its words.
    size_t recordSize;
    void *(*drawingTable)();
    uint32_t *drawingLink;
    int32_t *active;
    uint32_t *listDirty;
    uint32_t *dialogVisible;
    HWND *handle;
    UINT *reloadMessage; // posted by the main window when the drawing's table changed elsewhere
    WindowPlacement *placement; // remembered left, top, width and height
    // Record access on a table of this kind.
    char *(*name)(void *table, int i);
    uint32_t *(*state)(void *table, int i);
    // Copies set A into set B (aToB) or B into A of record i.
    void (*linkCopy)(void *table, int i, bool aToB);
    void (*paintRow)(const DRAWITEMSTRUCT *item, int index, const void *table,
                     const char (*groups)[BOX01_GROUP_NAME_SIZE], int link);
    void (*summary)(TableWindow *w, int i, char *out, const char *separator);
    int (*scanUse)(uint32_t used[USAGE_ENTRIES], int withLibraries);
    // Edits set B (or A) of the given records (count 1: that record whole;
    // more: the fields changed, applied to every one); 1 when something changed.
    int (*editSets)(TableWindow *w, const int *records, int count, bool setB, const char *caption);
    // Sends the working copy (record -1) or the record to activate to the main window.
    void (*handOver)(TableWindow *w, int record);
    // The table's own file: read into or written from a table of this kind.
    int captionLoad, captionSave; // eCaptionTexts
    int (*loadFile)(const char *path, void *table, uint32_t *linkOut, int32_t *activeOut);
    int (*saveFile)(const char *path, const void *table, uint32_t link, int32_t active);
};

struct TableWindow {
    const TableKind *kind;
    HWND hwnd;
    HWND list;
    WNDPROC listProc;
    HMENU loadSave;
    void *work;              // the working records
    uint32_t link;
    int32_t selected;
    TableChanges changes;
    char groups[TABLE_SLOTS][BOX01_GROUP_NAME_SIZE];
    int groupCount;
    int focusedGroup;        // item data of the focused group row, -1 none
    bool modified;
    bool shiftHeld;
    uint32_t copyToGroup;
    int selectedRows[TABLE_SLOTS];
    int selectedData[TABLE_SLOTS];
    int selectedCount;
    NameFilter filter;
    FileDialogState files; // the folder and name of the last table file, while the program runs
};

// Item data of the list rows.
constexpr int TABLE_GROUP_BASE = BOX01_GROUP_ITEM_BASE;

// The working copy from the drawing: records, link switch, selected record;
// change flags and groups cleared.
void Box05TableLoad(TableWindow *w, int32_t selected);
// Creates the window once (CreateDialogParamA on the language module).
void Box05TableCreate(TableWindow *w, HWND owner);
// Reloads and shows the window on `record`.
void Box05TableShow(TableWindow *w, int32_t record);
void Box05TableDestroy(TableWindow *w);
INT_PTR Box05TableProc(TableWindow *w, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The grouped list (groups, filling, selection).
void Box05TableCollectGroups(TableWindow *w);
void Box05TableListFill(TableWindow *w, int record);
int Box05TableGetSelection(TableWindow *w);
// Compares the working copy with the drawing and fills the change flags: 1 when anything differs.
int Box05TableCompare(TableWindow *w);
// Applies the working copy: flags, hand-over, modified flag cleared.
void Box05TableApply(TableWindow *w);
// The name filter: changes the list selection. 1/0.
int Box05TableFilterSelect(TableWindow *w);
// Whether name hits the filter's terms (every term with choice 1).
int Box05TableFilterMatches(const NameFilter *filter, const char *name);
// Writes the report of the listed records to path. 1/0.
int Box05TableReport(TableWindow *w, const char *path);

// Summary pieces: bounded appends (never past TABLE_SUMMARY_SIZE), a colour
// by the name of the first named colour that has it or else as its colour
// text, and a width as number and unit in the current width unit.
void Box05TableAppend(char *out, const char *text);
void Box05TableAppendColour(char *out, COLORREF colour);
// A width in millimetres as text in the current width unit (out holds 64).
void Box05FormatWidth(char *out, double millimetres);
