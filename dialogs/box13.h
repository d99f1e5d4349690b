// Command icons (the 40 x 40 icon of every command, the 24 x 24 icons of the
// menus and the corner mark of flyout buttons), read once from the icon file
// beside the program.
#pragma once

#include <windows.h>

#include <cstddef>
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

// Cell sizes of the palettes: the menu groups' strip and the command icons.
constexpr int BOX13_GROUP_CELL = 28;
constexpr int BOX13_COMMAND_CELL = 46;

// The palette's geometry: groups shown, cells per row, the rows of items and
// of members, and the client size.
struct Box13PaletteLayout {
    int groups, cellsPerRow, itemRows, memberRows, width, height;
};
// 1, or 0 after the alert that the layout is too large (a group of more than
// 60 items or a popup of more than 40 members).
int Box13PopupLayout(const uint32_t *layout, Box13PaletteLayout *out);
// A flyout of n members: its lines, cells per line and client size.
struct Box13FlyoutLayout {
    int members, lines, cellsPerLine, width, height;
};
int Box13Popup2Layout(int members, Box13FlyoutLayout *out);
// The number of members of the popup that holds (or is headed by) the command.
int Box13PopupGroupMembers(const uint32_t *layout, int commandId);
// The entry of the popup head that holds (or is) the command, or -1.
int Box13PopupHead(const uint32_t *layout, int commandId);

// The command palette over the main menu's groups, opened at the cursor.
// Mode 1 refuses disabled commands, mode 0 offers all. The chosen command,
// or -1 (cancelled, layout too large, no window). A choice keeps the new
// current group, item and member in g_MenuLayout; a cancel restores them.
int Box13Popup(HWND parent, int mode);
// Test seam: when set, Box13Popup asks it (with the mode) instead of
// opening the window.
extern int (*g_Box13PopupSink)(int mode);
// The flyout of one popup's members beside a toolbox button (screen
// rectangle); the chosen member's command, or -1.
int Box13PopupGroup(HWND parent, int groupCommand, int currentMember, const RECT *button);
// The group head carrying the current mark (group 0 marked when none does).
int Box13PopupCurrentItem();
void Box13PopupSetCurrentItem(int n);
// The open flyout, so that a press in the toolbox can cancel it; else null.
extern HWND g_Box13FlyoutWindow;

// The KEYBOARD dialog for a command: a key button assigns it (after asking
// when another key has it). 1 when the dialog ran, 0 when it could not.
int Box13Keyboard(HWND parent, const char *caption, int commandId);
// What the key at index does, in the KEYINFO box. 1, or 0 without a dialog.
int Box13KeyInfo(HWND parent, const char *caption, int keyIndex);

// Keyboard assignment: the command of a key (digits, letters, Backspace,
// Enter, plain or with Shift), or -1.
int Box13KeyCommand(int virtualKey, int shift);
// A key's name in quotation marks ("A", "+A", "Backspace").
void Box13KeyDescription(char *out, size_t size, int index);
// A key's name without them; Backspace and Enter are named by the eUniTexts
// entries given.
void Box13KeyName(char *out, size_t size, int index, int backspaceText, int enterText);
// Puts the command on the key; when another key already has it, asks first
// (No: nothing changes, 0). 1 when assigned.
int Box13AssignKey(HWND dialog, int keyIndex, int commandId);
