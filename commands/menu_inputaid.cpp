// The input-aid commands 1000 to 1043 that help the running command. Built so
// far: stepping back (Escape), asking the parameters again, the redraw of the
// window under the cursor and the scrolling of its view; the other numbers of
// the range beep until their cases are written.
#include "app/init_sound.h"
#include "app/window.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_prepare_dialogs.h"
#include "commands/menu.h"
#include "display/output_paint.h"
#include "display/screen.h"

namespace {

constexpr int COMMAND_STEP_BACK = 1009;
constexpr int COMMAND_ASK_PARAMETERS = 1010;
constexpr int COMMAND_REDRAW = 1028;
constexpr int COMMAND_SCROLL_FIRST = 1033;
constexpr int COMMAND_SCROLL_LAST = 1040;
constexpr double SCROLL_LINE = 0.1;
constexpr double SCROLL_PAGE = 0.95;

// Horizontal and vertical moves of 1033 to 1040, in window sides.
constexpr double SCROLL_MOVES[][2] = {
    {-SCROLL_LINE, CALC_NO_VALUE}, {SCROLL_LINE, CALC_NO_VALUE}, {CALC_NO_VALUE, SCROLL_LINE},
    {CALC_NO_VALUE, -SCROLL_LINE}, {-SCROLL_PAGE, CALC_NO_VALUE}, {SCROLL_PAGE, CALC_NO_VALUE},
    {CALC_NO_VALUE, SCROLL_PAGE},  {CALC_NO_VALUE, -SCROLL_PAGE},
};
static_assert(sizeof SCROLL_MOVES / sizeof SCROLL_MOVES[0] == COMMAND_SCROLL_LAST - COMMAND_SCROLL_FIRST + 1);

// The drawing window under the cursor, else the active one.
int TargetWindow()
{
    const int window = ScreenTrackCursor();
    return window >= 0 ? window : g_ActiveWindow;
}

void StepBack()
{
    const int code = InputStepBack();
    if (code == INPUT_CANCEL)
        InitBeep();
    else if (code == INPUT_ASK_NEXT)
        CommandCancel();
}

} // namespace

void MenuInputAidCommand(HWND, int commandId)
{
    if (commandId == COMMAND_STEP_BACK) {
        StepBack();
    } else if (commandId == COMMAND_ASK_PARAMETERS) {
        // New values take effect from the first step.
        if (InputAskParameters())
            CommandEndInput();
    } else if (commandId == COMMAND_REDRAW) {
        OutputRedrawWindow(TargetWindow());
    } else if (commandId >= COMMAND_SCROLL_FIRST && commandId <= COMMAND_SCROLL_LAST) {
        const int window = TargetWindow();
        const double *move = SCROLL_MOVES[commandId - COMMAND_SCROLL_FIRST];
        WindowPushView(window);
        WindowSetView(window, WINDOW_VIEW_RELATIVE, move[0], move[1], CALC_NO_VALUE);
        OutputRedrawWindow(window);
        OutputShowCrosshair();
    } else {
        InitBeep();
    }
}
