// The library slots dialog.
#pragma once

#include <windows.h>

#include <cstdint>

// "LIBRARYHANDLING" on the live library table: new and opened libraries are
// entered at once (marked new or open), the rest are marks in the slots and
// the dialog's option values, which the library command carries out. 1 when
// the dialog ran (OK or Close).
uint32_t Box06LibraryHandling(HWND owner, const char *caption);
