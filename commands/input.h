// The interactive input: the current input point and its XOR feedback.
#pragma once

#include <cstdint>

// The cursor moved to (x, y) in drawing millimetres.
void InputMove(double x, double y);
// Draw and erase the XOR rubber band; hiding with flag 4 marks it as gone.
void InputFeedbackShow(uint32_t flags);
void InputFeedbackHide(uint32_t flags);
// 1 unless the command is the transparent coordinate command.
int InputIsNotTransparent(int32_t commandId);

// The current input point.
extern double g_InputPoint[2];
