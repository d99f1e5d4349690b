// Copying blocks between symbol libraries and the drawing's own blocks.
#pragma once

#include <windows.h>

#include <cstdint>

// Copies every block directly in the source block's folder into the target
// block's folder under its leaf name. When targets exist, one question
// decides for all: Yes replaces them, No keeps them. Stops at the first
// failure (with its message). The number of blocks really copied.
int Box08CopyFolder(HWND owner, const char *sourceLibrary, const char *sourceBlock, const char *targetLibrary,
                    const char *targetBlock);

// The source and target of the block copy dialog.
struct BlockFolderCopy {
    char sourceLibrary[64]; // "*" for the drawing's own blocks
    char sourceBlock[64];
    char targetLibrary[64];
    char targetBlock[64];
    uint32_t sourcePreview;
    uint32_t targetPreview;
};
static_assert(sizeof(BlockFolderCopy) == 264);

// "BLOCKFOLDERCOPY": copies one block or a folder of blocks at once, while
// the dialog is open. After OK the record is overwritten and the result is 1
// when something was copied; after Cancel 0 and the record unchanged. The
// blocks copied stay copied either way: copied (or null) receives how many
// really were, also after Cancel or a failure.
uint32_t Box08BlockFolderCopy(HWND owner, const char *caption, BlockFolderCopy *record, int *copied);
