// The current input point. The rubber band joins with the constructions;
// until then there is no feedback to draw or erase.
#include "commands/input.h"

#include "commands/command_state.h"

double g_InputPoint[2];

void InputMove(double x, double y)
{
    g_InputPoint[0] = x;
    g_InputPoint[1] = y;
}

void InputFeedbackShow(uint32_t) {}

void InputFeedbackHide(uint32_t) {}

int InputIsNotTransparent(int32_t commandId)
{
    return commandId != COMMAND_TRANSPARENT;
}
