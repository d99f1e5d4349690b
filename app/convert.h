// Value texts: numbers, lengths, angles and dates to text and back; tokens,
// abbreviations, folder paths; help for commands and windows.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "geometry/calc.h"

// Marker: no integer (no value is CALC_NO_VALUE, and values beyond
// CALC_COORD_LIMIT are not numbers the program works with).
constexpr int CONVERT_NO_INT = (int)0x80000001;

// Radians per degree as the angle-unit tables store it: not exactly pi/180,
// and every angle suffix, view angle and degree field uses this value.
constexpr double CONVERT_DEGREE_FACTOR = 0.01745329251994;

// Width of a value text when the caller passes 0.
constexpr int CONVERT_DEFAULT_WIDTH = 63;

// Number-format codes (low 16 bits of the caller's word).
enum ConvertFormat : uint32_t {
    CONVERT_DECIMAL = 0,
    CONVERT_FRACTION = 1,
    CONVERT_FEET_INCHES = 2,
    CONVERT_FEET_INCHES_FRACTION = 3,
    CONVERT_YARDS_FEET_INCHES = 4,
    CONVERT_YARDS_FEET_INCHES_FRACTION = 5,
    CONVERT_DEG_MIN_SEC = 6,
    CONVERT_DEG_MIN_SEC_FRACTION = 7,
    CONVERT_METRES = 8,        // metres from 1 m, else centimetres
    CONVERT_METRES_2 = 9,      // 2 decimals / none
    CONVERT_METRES_5MM = 10,   // nearest 5 mm; 3 decimals / 1
    CONVERT_METRES_2_5MM = 11, // nearest 2.5 mm; 4 decimals / 2
    CONVERT_METRES_3 = 12,     // 3 decimals / 1
};

// One unit: its name as terms write it and its factor to the internal unit.
struct ConvertUnit {
    const char *name;
    double factor;
};

// Length units (millimetres per unit) by the index a coordinate system stores.
constexpr int CONVERT_LENGTH_UNIT_COUNT = 17;
extern const ConvertUnit g_ConvertLengthUnits[CONVERT_LENGTH_UNIT_COUNT];
// Angle units (radians per unit).
constexpr int CONVERT_ANGLE_UNIT_COUNT = 6;
extern const ConvertUnit g_ConvertAngleUnits[CONVERT_ANGLE_UNIT_COUNT];
// The angle signs that follow the angle units in the name list: degree,
// minute and second signs.
constexpr int CONVERT_ANGLE_SIGN_COUNT = 3;
extern const char *const g_ConvertAngleSigns[CONVERT_ANGLE_SIGN_COUNT];

// Value to term text (a text the term evaluator reads back). Width 0 means 63.
// out must hold width + 1 characters.
void ConvertLengthToString(char *out, double value, int width, uint32_t format, int digits, double factor);
// The same for line widths and angles: the metre formats become decimal.
void ConvertWidthAngleToString(char *out, double value, int width, uint32_t format, int digits, double factor);
// Value to display text; out2 (may be null) receives the raised digits of the
// metre formats; mode trims zeros: 0 all, 1 down to one decimal, other none.
// The width is taken as passed.
void ConvertValueToString(char *out, char *out2, double value, int width, uint32_t format, int digits,
                          int mode, double factor);
// Decimal text of a double. Width 0 means 63.
void ConvertDoubleToString(char *out, double value, int width, int digits);

// A plain number (decimal comma accepted) followed by nothing but blanks;
// CALC_NO_VALUE otherwise.
double ConvertStringToDouble(const char *text);
void ConvertIntToString(char *out, int n);
void ConvertLongToString(char *out, long n);
// Plain "%d" reading; CONVERT_NO_INT when empty or unreadable.
int ConvertStringToIntPlain(const char *text);
// A term read as a plain number and rounded; CONVERT_NO_INT when it does not
// evaluate or lies outside the 32-bit range.
int ConvertStringToInt(const char *text);

// Date and time by a format of '#' codes. out must hold 256 characters.
void ConvertDateTimeToString(const SYSTEMTIME *time, const char *format, char *out);
// The same in the format the option DateTimeFormat chooses (the first for an
// out-of-range choice).
void ConvertDateTimeByOption(const SYSTEMTIME *time, char *out);
// The name tables the date codes read (month, weekday, day half); they point
// at the language module's tables and may be replaced by tests.
struct ConvertDateNames {
    const char *const *months;    // 12 entries, January first
    const char *const *days;      // 7 entries, Sunday first
    const char *const *dayHalves; // before noon, from noon
};
extern ConvertDateNames g_ConvertDateNames;

// Buffer size a token is cut to when the caller does not say.
constexpr size_t CONVERT_TOKEN_SIZE = 260;
// Next blank-separated or double-quoted token of text into out (cut to fit
// outSize). Returns the position behind the token, or null when there is none.
const char *ConvertNextToken(const char *text, char *out, size_t outSize = CONVERT_TOKEN_SIZE);
// 0 when equal, 1 when abbrev is a proper leading part of name, -1 otherwise.
int ConvertCompareAbbrev(const char *name, const char *abbrev, int caseSensitive);
// Appends "\" to a folder path unless it is empty, starts with "*", is 259
// characters or longer, or ends in "\" or "/". path holds 260 characters.
void ConvertAppendBackslash(char *path);

// Help context of a command, or -1 for commands without a context of their own
// (plug-in and filter commands).
int ConvertCommandHelpContext(int commandId);
// Help for a command: nothing for a command that opens a popup, the module's
// or filter's own help for plug-in and filter commands, else the command's
// page of the help file.
void ConvertShowCommandHelp(int commandId);

// Help contexts of the windows (ConvertShowContextHelp).
constexpr int HELP_CONTEXT_MAIN = 12000;
constexpr int HELP_CONTEXT_DRAW_AREA = 12001;
constexpr int HELP_CONTEXT_VIEW_AREA = 12002;
constexpr int HELP_CONTEXT_PANEL = 12003;
constexpr int HELP_CONTEXT_PROPERTY_BAR = 12004;
constexpr int HELP_CONTEXT_PEN_TREE = 12005;
constexpr int HELP_CONTEXT_LAYER_TREE = 12006;
constexpr int HELP_CONTEXT_MARGIN = 12007; // rulers, margin buttons, margins
constexpr int HELP_CONTEXT_STATUS_BAR = 12008;
constexpr int HELP_CONTEXT_SYMBOL = 12009;
constexpr int HELP_CONTEXT_TOOLBOX = 12010;
constexpr int HELP_CONTEXT_GUIDE = 12011;
constexpr int HELP_CONTEXT_LAYER_TABLE = 309; // the pages of the table commands
constexpr int HELP_CONTEXT_PEN_TABLE = 338;

// The help context of the program window under a screen point: window is the
// window there (a control inside one of the program's windows counts as that
// window); -1 when it is none of the program's windows.
int ConvertContextHelpAt(HWND window, POINT screen);
// Help for the window under the mouse pointer; with a page to show, the
// running command is cancelled, which ends the help pick.
void ConvertShowContextHelp();


// Where a command stands in the menu layout: CONVERT_POPUP_OPENER when it
// opens a popup (also the tablet menu command 1200), CONVERT_POPUP_TOP_LEVEL
// for an item of a main menu, CONVERT_POPUP_NOT_FOUND when the layout lacks
// it, else the id of the popup that holds it.
constexpr int CONVERT_POPUP_OPENER = -3;
constexpr int CONVERT_POPUP_TOP_LEVEL = -2;
constexpr int CONVERT_POPUP_NOT_FOUND = -1;
int ConvertFindCommandPopup(int commandId);

// Coordinates between drawing millimetres and a window's coordinate system;
// CALC_NO_VALUE when an input is CALC_NO_VALUE, the window does not
// exist or the result lies outside +-1e100.
double ConvertWorldToSystemX(int window, double x, double y);
double ConvertWorldToSystemY(int window, double x, double y);
double ConvertSystemToWorldX(int window, double x, double y);
double ConvertSystemToWorldY(int window, double x, double y);

// Measures of the drawing as texts of a coordinate system. system < 0 means
// the current system, an unused one system 0; format < 0 the system's own
// format. A system whose unit index lies outside the unit tables, or whose
// scale is 0, gives empty texts.
void ConvertPointToStrings(char *outX, char *outY, double x, double y, int system, int format, int digits);
// In system units before the length unit (the matrix's linear part only).
double ConvertSystemDistance(double x1, double y1, double x2, double y2, int system);
// out2 (may be null) receives the raised digits of the metre formats.
void ConvertDistanceToString(char *out, char *out2, double x1, double y1, double x2, double y2, int system,
                             int format, int digits);
// The angle at P1 from P1-P2 to P1-P3 (direction 0) or back, in [0, 2 pi).
double ConvertPointAngle(double x1, double y1, double x2, double y2, double x3, double y3, int direction,
                         int system);
void ConvertPointAngleToString(char *out, double x1, double y1, double x2, double y2, double x3, double y3,
                               int direction, int system, int format, int digits);
void ConvertAreaToString(char *out, double area, int system, int format, int digits);
void ConvertSystemLengthToString(char *out, double length, int system, int format, int digits);

// Colour models: percentages 0 to 100, hue in degrees. Null outputs are skipped.
void ConvertColorToPercent(COLORREF color, double *red, double *green, double *blue);
void ConvertColorToCMY(COLORREF color, double *cyan, double *magenta, double *yellow);
void ConvertColorToHSB(COLORREF color, double *hue, double *saturation, double *brightness);
// The colour chooser's order: by hue, then brightness, then saturation.
double ConvertColorSortKey(COLORREF color);
COLORREF ConvertPercentToColor(double red, double green, double blue);
COLORREF ConvertCMYToColor(double cyan, double magenta, double yellow);
COLORREF ConvertHSBToColor(double hue, double saturation, double brightness);

// ---------------------------------------------------------------------------
// Command names, titles and icons.

struct ModuleCommand;
// Room for a command title or menu text.
constexpr size_t CONVERT_TITLE_SIZE = 256;

// Cells of the command-icon strip; cell 0 is empty.
int ConvertGetIconCount();
int ConvertCommandToIconIndex(int commandId);
// One-bit pictures that the caller deletes. A module command's 40 x 40 icon
// by its entry's icon choice (groupId's cell when it has none); a command's
// icon (a plug-in, import or export command's own); a menu's 24 x 24 icon
// (a menu code as ConvertGetMenuName takes it).
HBITMAP ConvertModuleIcon40(const ModuleCommand *entry, int groupId);
HBITMAP ConvertCommandToIcon(int commandId);
HBITMAP ConvertCommandToIcon24(uint32_t menuCode);
// The cellSize cell at (x, y) of a bitmap drawn dark on light, centred in a
// new one-bit iconSize picture; its dark pixels are set bits when inkSet,
// else clear bits on a set ground. Outside the bitmap stays ground.
HBITMAP ConvertCutCell(HBITMAP strip, int x, int y, int cellSize, int iconSize, bool inkSet);
// '1' to '9' and '0' for 0 to 9, 'A' to 'Z' for 10 to 35, else a blank.
char ConvertIndexToAccelChar(int index);
// Menu codes: 0 to 10 the main menus, MENU_PLUGIN_HEADER | module a module's
// own menu. 1, or 0 when a module menu has no name (out then holds the
// text that stands for a missing title).
int ConvertGetMenuName(char *out, uint32_t menuCode);
int ConvertGetMenuTitle(char *out, uint32_t menuCode, int longNames);
// The 33-word command entry: a module's own, or a blank one. Always 1.
int ConvertGetCommandInfo(ModuleCommand *info, int commandId);
// The title with the keys assigned to the command ("Open [A/+B]"); 0 with an
// empty text when the command has none. out holds CONVERT_TITLE_SIZE.
int ConvertGetCommandTitle(char *out, int commandId);
// The menu text with the keys right-aligned; 0 when there is none.
int ConvertGetCommandMenuText(char *out, int commandId);
// The submenu of menu (a menu bar or context menu built from the layout)
// that the command opens, or null when it opens none.
HMENU ConvertFindCommandSubmenu(HMENU menu, int commandId);
