// Status texts: the guide, the status bar and the panel cells that follow the
// running command.
#pragma once

#include <cstdint>

// Repaints the panel, the guide window and the status bar.
void WriteRefreshFrame();
// Repaints the status bar's coordinate fields.
void WriteRefreshStatus();
// Repaints the status bar's cursor-position part.
void WriteRefreshStatusPosition();
// Shows a message in the status bar's message field (text may be null).
void WriteShowStatusText(const char *text, const char *second);
// The status message last shown.
extern char g_StatusMessage[256];
// Computes the guide-state word of the running command (the bits given are
// set besides the computed ones) and repaints the guide when it changed.
void WriteSetGuideState(uint32_t bits, const char *text);
extern uint32_t g_GuideState;
