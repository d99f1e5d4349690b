// Start-up order, shared GDI objects and the diagnostic boxes.
#pragma once

#include <cstdint>

// The machine setting "Debugging": which diagnostic boxes are shown.
// 0 until the machine settings are read, and when the value is missing.
extern uint32_t g_Debugging;
constexpr uint32_t DEBUG_INTERNAL = 0x1;  // InitErrorBox
constexpr uint32_t DEBUG_INTERFACE = 0x2; // InitErrorBoxInterface
constexpr uint32_t DEBUG_DIALOG = 0x8;    // InitErrorBoxDialog

// Internal faults: a task-modal box "<file>\<line>\n\n<message>", shown only
// when the routine's bit of g_Debugging is set. They never change state.
void InitErrorBox(const char *sourceFile, int line, const char *message);
void InitErrorBoxInterface(const char *sourceFile, int line, const char *message);
void InitErrorBoxDialog(const char *sourceFile, int line, const char *message);

// Test seam: when set, receives the formatted text in place of the message box.
typedef void (*InitErrorBoxSink)(const char *text);
extern InitErrorBoxSink g_InitErrorBoxSink;
