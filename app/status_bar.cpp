// Clicks on the status bar: a value field starts the coordinate entry.
#include "app/status.h"
#include "app/status_track.h"
#include "commands/command.h"

namespace {

constexpr int COORDINATE_ENTRY = 1008;
constexpr int FIRST_VALUE_FIELD = 1, LAST_VALUE_FIELD = 6;

CellTrack s_Status;
int s_PreselectedField = -1;

int HitTest(int x, int y) { return StatusHitCells(FIRST_VALUE_FIELD, LAST_VALUE_FIELD, x, y); }

void NoRepaint(int) {}

} // namespace

void StatusStatusLButtonDown(HWND, int x, int y)
{
    if (!StatusPressAllowed())
        return;
    const int f = HitTest(x, y);
    StatusTrackPress(s_Status, f, f >= 0, NoRepaint);
}

void StatusStatusLButtonUp(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    const int f = StatusTrackRelease(s_Status, HitTest(x, y), NoRepaint);
    if (f < 0)
        return;
    s_PreselectedField = f - FIRST_VALUE_FIELD;
    StatusRunCommand(COORDINATE_ENTRY);
}

void StatusStatusMouseMove(HWND, int x, int y)
{
    if (!StatusMouseAllowed())
        return;
    StatusTrackMove(s_Status, HitTest(x, y), NoRepaint);
}

int StatusPreselectedField() { return s_PreselectedField; }
