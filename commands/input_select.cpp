// The selection steps of the input (kinds 135 to 144): one object by a click,
// several with Ctrl held (an additive selection, ended by a click without
// Ctrl or by releasing it), a rectangle with Shift held (this click its first
// corner, the next one its second). The middle button may stand in for Ctrl
// or Shift (MButtonMode 3 and 2).
#include "app/init_sound.h"
#include "app/system.h"
#include "app/write_refresh.h"
#include "commands/command_keys.h"
#include "commands/command_state.h"
#include "commands/input.h"

namespace {

constexpr int32_t TEMPLATE_POINT_SELECTION = 88;

bool MiddleActsAs(int mode) { return g_Options.mButtonMode == mode && CommandIsKeyDown(VK_MBUTTON); }
bool AdditiveHeld() { return CommandIsKeyDown(VK_CONTROL) || MiddleActsAs(MBUTTON_AS_CTRL); }
bool RectangleHeld() { return CommandIsKeyDown(VK_SHIFT) || MiddleActsAs(MBUTTON_AS_SHIFT); }

// Selection steps that complete the command at once skip the redraw of a
// plain (not additive) selection: the command runs and redraws anyway.
bool RunsAtOnce(int32_t templ, int points)
{
    if (points)
        return templ == TEMPLATE_POINT_SELECTION;
    return (templ >= 66 && templ <= 71) || templ == 74;
}

void Redraw(int points)
{
    const CommandState &cs = *g_CommandState;
    if (cs.additive || !RunsAtOnce(cs.templateNumber, points))
        InputRedrawSelection(points);
}

} // namespace

int InputSelectionStep(int kind, int window, double x, double y)
{
    CommandState &cs = *g_CommandState;
    const int points = kind == POINT_KIND_POINT_SELECTION ? 1 : 0;
    const bool additive = AdditiveHeld();
    const bool rectangle = RectangleHeld();
    if (cs.additive && !CommandIsKeyDown(VK_CONTROL)) {
        // The first click without Ctrl ends the additive selection: what was
        // selected so far is the step's result.
        cs.additive = 0;
        cs.rectanglePending = 0;
        return 1;
    }
    int taken = 0;
    if (cs.rectanglePending) {
        cs.rect[2] = x;
        cs.rect[3] = y;
        // 1004 and 1005 choose by the user mark (the database reads the
        // running command for it); points always count as selected.
        taken = InputSelectInRectangle(kind, cs.rect) > 0 || points;
        if (additive)
            cs.additive = 1;
        Redraw(points);
        cs.rectanglePending = 0;
    } else if (rectangle) {
        cs.rect[0] = x;
        cs.rect[1] = y;
        cs.rectanglePending = 1;
    } else {
        if (!InputSelectPicked(kind, window, x, y)) {
            if (!points)
                InitBeep();
            return 0;
        }
        taken = 1;
        if (additive)
            cs.additive = 1;
        Redraw(points);
    }
    if (taken && !cs.additive && additive) {
        cs.additive = 1;
        WriteRefreshFrame();
    }
    if (cs.additive || cs.rectanglePending)
        return INPUT_SELECTION_OPEN;
    return taken;
}

int InputSelectionCommand(uint32_t mask)
{
    CommandState &cs = *g_CommandState;
    const int32_t kind = cs.pointKind;
    if (kind < POINT_KIND_FIRST_SELECTION || kind > POINT_KIND_POINT_SELECTION)
        return 0;
    const bool additive = AdditiveHeld();
    if (cs.additive && !CommandIsKeyDown(VK_CONTROL)) {
        cs.additive = 0;
        cs.rectanglePending = 0;
        return 0;
    }
    if (InputSelectByMenu(kind, mask) <= 0) {
        InitBeep();
        return 0;
    }
    if (additive)
        cs.additive = 1;
    const int32_t t = cs.templateNumber;
    const int points = kind == POINT_KIND_POINT_SELECTION ? 1 : 0;
    // Below 66, 72, 73, 75 to 87 and above 90: always; 66 to 71, 74 and 88
    // only when additive; 89 and 90 (point handles): always.
    const bool runsAtOnce = (t >= 66 && t <= 71) || t == 74 || t == TEMPLATE_POINT_SELECTION;
    if (cs.additive || !runsAtOnce)
        InputRedrawSelection(points || t == 89 || t == 90);
    return !cs.additive && !cs.rectanglePending ? 1 : 0;
}
