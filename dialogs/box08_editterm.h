// The coordinate calculator: a one-line term editor laid over the status
// bar's coordinate fields, in which the next input point is typed as
// absolute x and y, relative dx and dy, or length and angle, all in the
// current coordinate system.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The six fields, in the order of the status bar.
enum CoordEntryField { COORD_X, COORD_Y, COORD_DX, COORD_DY, COORD_LENGTH, COORD_ANGLE, COORD_FIELD_COUNT };
// Reference kinds 0 to 6 (which reference the running command offers).
constexpr int COORD_KIND_COUNT = 7;
constexpr int COORD_TERM_SIZE = 256;

// One field: its term, its box over the status-bar field (status-bar client
// coordinates), whether the status bar offers it and whether it is shown as
// being edited; the texts remembered per reference kind belong to the status bar.
struct CoordEntrySlot {
    char term[COORD_TERM_SIZE];
    RECT box;
    uint32_t present;
    uint32_t marked;
    char remembered[COORD_KIND_COUNT][COORD_TERM_SIZE];
};
static_assert(sizeof(CoordEntrySlot) == 2072);

// What the status bar hands to the calculator and gets back.
struct CoordEntryRecord {
    double frame[4];  // x1, y1, x2, y2 of the selection (drawing millimetres)
    double point1[2]; // the reference point
    double point2[2]; // the segment's other end
    double result[2]; // the entered point (drawing millimetres)
    uint32_t alternate; // inverted when a field is confirmed with Ctrl
    CoordEntrySlot slots[COORD_FIELD_COUNT];
    int32_t rememberedField[COORD_KIND_COUNT]; // the status bar's
    uint32_t currentField;                     // 0 .. 5
    int32_t mode;                              // reference kind 0 .. 6, -1 when idle
    double angle;                              // the status bar's reference angle
};
static_assert(sizeof(CoordEntryRecord) == 12560);
static_assert(offsetof(CoordEntryRecord, slots) == 84);
static_assert(offsetof(CoordEntryRecord, currentField) == 12544);
static_assert(offsetof(CoordEntryRecord, mode) == 12548);

// The calculator's editor while it is open, else 0; the status bar posts
// g_MsgClick (wParam = field) to it when a coordinate field is clicked.
extern HWND g_CoordEntryWnd;

// Runs the calculator on the record: 1 with the point in record->result,
// 0 when cancelled or failed (the user was told why).
int Box08EditTerm(HWND owner, CoordEntryRecord *record);
INT_PTR CALLBACK Box08EditTermProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Evaluates the current pair of fields of the running calculator into the
// record's result (system coordinates): 1, or 0 after a message.
int Box08EditTermCheck(HWND owner);
