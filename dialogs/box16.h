// The options and settings property sheets: the program-wide options and the
// settings of the open drawing, each edited on a copy that is taken back only
// after OK and only when it differs byte for byte.
#pragma once

#include <windows.h>

#include <cstdint>

struct ProgramOptions;
struct DrawingSettings;

// Pages of the options sheet, in order (the start page of Box16Options).
enum Box16OptionsPage {
    BOX16_OPT_WINDOWS, BOX16_OPT_GENERAL, BOX16_OPT_PATHS, BOX16_OPT_FILEOPTIONS, BOX16_OPT_TIMEFORMAT,
    BOX16_OPT_MOUSE, BOX16_OPT_BLOCKLIST, BOX16_OPT_KEYBOARD, BOX16_OPT_PAGES
};

// Page mask bits of the settings sheet; BOX16_SET_ALL shows all four.
constexpr int BOX16_SET_SCREEN = 1, BOX16_SET_OUTPUT = 2, BOX16_SET_ACCURACY = 4, BOX16_SET_COLORS = 8;
constexpr int BOX16_SET_ALL = -1;

// 1 when closed with OK and the record changed (copied back), else 0.
int Box16Options(HWND parent, const char *caption, ProgramOptions *options, int startPage);
int Box16Settings(HWND parent, const char *caption, DrawingSettings *settings, int pageMask, int startPage);

// The default file modes the file options page restores.
constexpr uint32_t BOX16_FILE_MODES_DEFAULT = 0x40FFFFFF;
constexpr uint32_t BOX16_TEMPLATE_MODES_DEFAULT = 0x40CFFFFF;

// The keyboard page's list: one row per assigned key, "<key>\t<command title>".
void Box16KeyListFill(HWND list, const int32_t *keys);
// Writes those rows as a text file ("%s%s\r\n"); 1 on success, else 0 after
// AlertFileError (4 cannot create, 3 write error).
int Box16KeyListWrite(HWND owner, const char *fileName, const int32_t *keys);

// Each settings colour button with its default index of the standard colours.
constexpr int BOX16_COLOR_BUTTONS = 18;
void Box16SettingsDefaultColors(DrawingSettings *settings);
