// The start screen of the main window.
#pragma once

#include <windows.h>

#include <cstddef>

// Paints the start screen: the background picture, the logo, the version
// line and the language module's icon.
void AppPaintStartScreen(HWND window, HDC dc, const RECT &update);
// The version line: the program's version, the build date and Windows'.
void AppFormatStartVersion(char *out, size_t size);
