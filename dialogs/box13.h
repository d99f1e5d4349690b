// Command icons (the 40 x 40 icon of every command, the 24 x 24 icons of the
// menus and the corner mark of flyout buttons), read once from the icon file
// beside the program.
#pragma once

#include <windows.h>

#include <cstdint>

// The icon file and its layout: a 4-byte header, then pictures of 48 rows of
// 60 bytes of one-bit pixels (most significant bit leftmost).
constexpr int BOX13_ICON_HEADER = 4;
constexpr int BOX13_PICTURE_ROWS = 48;
constexpr int BOX13_PICTURE_ROW_BYTES = 60;
constexpr int BOX13_PICTURE_BYTES = BOX13_PICTURE_ROWS * BOX13_PICTURE_ROW_BYTES;
constexpr int BOX13_ICON_CELLS = 600;
constexpr int BOX13_PICTURES = BOX13_ICON_CELLS / 10;
constexpr int BOX13_ICON_FILE_SIZE = BOX13_ICON_HEADER + BOX13_PICTURES * BOX13_PICTURE_BYTES;
constexpr int BOX13_ICON_SIZE = 40;
constexpr int BOX13_ICON_ROW_BYTES = 6; // 5 bytes of pixels and one pad byte
constexpr int BOX13_CELL_BYTES = BOX13_ICON_SIZE * BOX13_ICON_ROW_BYTES;
constexpr int BOX13_SMALL_ICONS = 12;
constexpr int BOX13_SMALL_SIZE = 24;
constexpr int BOX13_MARK_SIZE = 16;
constexpr const char *BOX13_ICON_FILE = "darad4.bld";

// The icon cells (600 x 240 bytes), null while not loaded.
extern uint8_t *g_CommandIcons;

// Loads the icons; 1, or 0 (the memory given back) when the file is missing
// (file alert, code 0) or short (file alert, code 3), or memory ran out.
int Box13InitPopup();
int Box13ExitPopup();
int Box13LoadIconFile();
// New monochrome bitmaps; the caller deletes them.
HBITMAP Box13CommandBitmap40(int32_t commandId);
HBITMAP Box13CommandBitmap24(int32_t group);
HBITMAP Box13CommandBitmap16();

// Test seam: when set, the icon file is read from this path instead of the
// program's folder.
extern const char *g_Box13IconPath;
