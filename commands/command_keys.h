// Keyboard command entry: Tab, digits and Tab run a command by its number;
// Shift and Ctrl held invert snapping and the copy mode; Space held turns
// clicks into zooms; navigation keys scroll; other keys run their assignment.
#pragma once

#include <windows.h>

#include <cstdint>

// WM_KEYDOWN and WM_KEYUP of the main window (data: the message's lParam).
void CommandKeyDown(int key, LPARAM data);
void CommandKeyUp(int key, LPARAM data);
// The main window's 100 ms timer: key states that were missed are reset.
void CommandKeyTimer();

// Digit entry: on while a number is being typed, and the number so far.
extern int32_t g_CommandDigitEntry;
extern int32_t g_CommandDigits;

// MButtonMode values in which the middle button stands for Shift and for Ctrl.
constexpr int MBUTTON_AS_SHIFT = 2;
constexpr int MBUTTON_AS_CTRL = 3;

// 1 while the key (a virtual key, or VK_MBUTTON) is held down.
int CommandIsKeyDown(int key);
// Test seam: when set, answers CommandIsKeyDown in place of the keyboard.
typedef int (*CommandKeyStateProc)(int key);
extern CommandKeyStateProc g_CommandKeyState;
// The command assigned to a letter, digit, Backspace or Enter key (shifted:
// the second set), or -1.
int CommandAssignedKey(int key, int shifted);
