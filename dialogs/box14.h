// Object property dialogs and the property sheets: the copy-properties
// defaults, the one sheet callback, the runner every sheet uses and the
// page-side handling the pages share.
//
// All pages of a sheet share one block whose first word is the result: a
// page sets SHEET_PAGE_OK when it is left without a field error and
// DIALOG_CANCELLED on Cancel. The opener edits a copy and takes it back only
// when the result is SHEET_PAGE_OK.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/object_attributes.h"

constexpr uint32_t SHEET_PAGE_OK = 1;
constexpr int SHEET_MAX_PAGES = 16;

struct Box14Page {
    const char *templateName;
    DLGPROC procedure;
    const char *title;
};

int CALLBACK Box14PropSheetCallback(HWND sheet, UINT message, LPARAM lParam);

// Creates the pages (each with `block` as its parameter) and runs the sheet
// modally with g_ModalDepth raised. A start page beyond the pages becomes 0.
// 1 when the sheet ran; 0 after AlertNoDialog when a page or the sheet could
// not be created.
int Box14RunSheet(HWND parent, const char *caption, const Box14Page *pages, int count, int startPage,
                  uint32_t *block);

// WM_INITDIALOG of a page: keeps the block with the page, centres the sheet.
uint32_t *Box14PageInit(HWND page, LPARAM lParam);
uint32_t *Box14PageBlock(HWND page);

// The WM_NOTIFY handling every page shares: PSN_SETACTIVE calls fill,
// PSN_KILLACTIVE calls check (0 keeps the page open) and sets the result,
// PSN_RESET sets DIALOG_CANCELLED, PSN_HELP opens helpContext. Returns the
// dialog procedure's answer.
INT_PTR Box14PageNotify(HWND page, LPARAM lParam, int helpContext, void (*fill)(HWND page),
                        int (*check)(HWND page));

// "COPYPROPDEFAULT" on the eleven words: 1 after OK (all copied back), else 0.
uint32_t Box14CopyPropDefault(HWND owner, const char *caption, uint32_t defaults[COPY_PROPERTY_WORDS]);

// The property sheet of one object, a pen, a layer or a default set: one
// page per given title on property set 0 (general) and 1 (annotation); with
// no title one page titled "Properties" on set 0. The own-value boxes
// 250 to 257 carry eUniTexts entry 9 + mode. extra (or null) is the switch of
// check box 258. 1 after OK with the record and switch copied back, else 0.
int Box14ObjInfoSingle(HWND parent, const char *caption, ObjectAttributes *attributes, int mode,
                       const char *title0, const char *title1, int maySetLayer, int maySetPen, int *extra);

// The property sheet of several objects: a page for each present property
// set, where change boxes 250 to 257 choose the fields written into every
// object and three-state boxes 258 to 265 the own-flags applied
// (indeterminate: each object keeps its own). 1 after OK, else 0.
int Box14ObjInfoMulti(HWND parent, const char *caption, ObjectAttributes *attributes, int maySetLayer, int *extra);
