// Copying blocks between symbol libraries and the drawing's own blocks.
#pragma once

#include <windows.h>

// Copies every block directly in the source block's folder into the target
// block's folder under its leaf name. When targets exist, one question
// decides for all: Yes replaces them, No keeps them. Stops at the first
// failure (with its message). The number of blocks really copied.
int Box08CopyFolder(HWND owner, const char *sourceLibrary, const char *sourceBlock, const char *targetLibrary,
                    const char *targetBlock);
