// Keeping the XOR rubber band and the reference mark consistent across the
// drawing windows: what is drawn is erased by drawing it again, in the window
// it was drawn in. The painters draw what the running command shows; a
// command without a rubber band of its own draws nothing.
#include "commands/input.h"

#include "app/window.h"
#include "commands/command_state.h"

int32_t g_InputFeedbackWindow = -1;

namespace {

constexpr uint32_t FEEDBACK_MOVING = 1;
constexpr uint32_t FEEDBACK_FIXED = 2;
constexpr uint32_t FEEDBACK_ALL = 4;

int32_t s_ReferenceWindow = -1; // where the reference mark is drawn

} // namespace

InputFeedbackPainter g_InputFeedbackPainter = nullptr;
InputFeedbackPainter g_InputReferencePainter = nullptr;

int InputFeedbackDraw(int window, uint32_t flags)
{
    return g_InputFeedbackPainter ? g_InputFeedbackPainter(window, flags) : 0;
}

int InputDrawReferenceMark(int window, uint32_t flags)
{
    return g_InputReferencePainter ? g_InputReferencePainter(window, flags) : 0;
}

void InputFeedbackHide(uint32_t flags)
{
    CommandState &cs = *g_CommandState;
    if (cs.feedbackState != FEEDBACK_NONE && InputFeedbackDraw(g_InputFeedbackWindow, flags))
        cs.feedbackState = flags == FEEDBACK_ALL ? FEEDBACK_NONE : FEEDBACK_FIXED_ONLY;
    if (cs.referenceShown && InputDrawReferenceMark(s_ReferenceWindow, flags))
        cs.referenceShown = 0;
}

void InputFeedbackShow(uint32_t flags)
{
    CommandState &cs = *g_CommandState;
    const int32_t active = g_PanelWindow;
    const int32_t old = g_InputFeedbackWindow;
    if (cs.pointValid) {
        int drew = 0;
        switch (cs.feedbackState) {
        case FEEDBACK_FIXED_ONLY:
            if (old == active) {
                drew = InputFeedbackDraw(active, flags);
            } else {
                InputFeedbackDraw(old, flags);
                InputFeedbackDraw(old, FEEDBACK_ALL);
                drew = InputFeedbackDraw(active, FEEDBACK_ALL);
            }
            break;
        case FEEDBACK_DRAWN:
            if (old != active) {
                InputFeedbackDraw(old, FEEDBACK_ALL);
                drew = InputFeedbackDraw(active, FEEDBACK_ALL);
            } else {
                drew = 1; // already on the screen
            }
            break;
        default: drew = InputFeedbackDraw(active, FEEDBACK_ALL); break;
        }
        g_InputFeedbackWindow = active;
        if (drew)
            cs.feedbackState = FEEDBACK_DRAWN;
    } else if (cs.feedbackState != FEEDBACK_NONE) {
        InputFeedbackDraw(g_InputFeedbackWindow, FEEDBACK_FIXED);
        cs.feedbackState = FEEDBACK_NONE;
    }

    if (cs.referenceShown && s_ReferenceWindow == active)
        return;
    if (cs.referenceShown)
        InputDrawReferenceMark(s_ReferenceWindow, FEEDBACK_ALL);
    s_ReferenceWindow = active;
    cs.referenceShown = InputDrawReferenceMark(active, FEEDBACK_ALL) ? 1 : 0;
}

int InputIsNotTransparent(int32_t commandId)
{
    return commandId != COMMAND_TRANSPARENT;
}
