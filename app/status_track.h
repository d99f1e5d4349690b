// The mouse rule the drawn tool windows share: a press marks a cell, leaving
// it releases the mark, returning restores it, and only a release over the
// marked cell acts.
#pragma once

#include <windows.h>

// The eStatusTexts entry that labels hover texts.
constexpr int STATUS_TEXT_HINT = 16;

struct CellTrack {
    int down = -1;    // the cell pressed at button-down
    int pressed = -1; // the down cell while the pointer is on it
};

// 1 when the handlers may act at all (no modal dialog open); in help-pick
// mode a press shows help and counts as handled (0).
int StatusMouseAllowed();
int StatusPressAllowed();
// A press: marks the cell and repaints it through repaint, or beeps when the
// cell is not allowed.
void StatusTrackPress(CellTrack &t, int cell, bool allowed, void (*repaint)(int));
void StatusTrackMove(CellTrack &t, int cell, void (*repaint)(int));
// A release: the cell that acts, or -1; the mark is cleared either way.
int StatusTrackRelease(CellTrack &t, int cell, void (*repaint)(int));
// The hover text of a cell in the status bar's message field, written only
// when it changes; hint identifies the text, owner names the window (for an
// empty text).
void StatusShowHint(int hint, int owner, const char *label, const char *text);

// Runs a command chosen in a tool window (CommandExecute, remembered).
void StatusRunCommand(int commandId);
// The sound of a refused click.
void StatusRefuse();
// The first shown cell of first to last that holds the point (inclusive
// rectangles), or -1.
int StatusHitCells(int first, int last, int x, int y);
