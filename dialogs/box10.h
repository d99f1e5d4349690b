// The transform parameter dialogs: scale factors, rotation angle and
// displacement of the selection, each with the copy switch. Each returns 1
// after OK (the caller's values and switch then hold the edited ones), 0 on
// Cancel or when the dialog cannot be shown.
#pragma once

#include <windows.h>

#include <cstdint>

uint32_t Box10ScaleFactor(HWND owner, const char *caption, double *sx, double *sy, uint32_t *copy);
uint32_t Box10RotateMidpoint(HWND owner, const char *caption, double *angle, uint32_t *copy);
uint32_t Box10MoveRelative(HWND owner, const char *caption, double *dx, double *dy, uint32_t *copy);
