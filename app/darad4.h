// Start-up, message loop and window procedures: the program's global handles
// and the frame-wide flags.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

extern HINSTANCE g_Instance; // the program's instance
extern HWND g_MainWnd;       // the main window; 0 until it exists

// The language module, the modal-dialog count and the screen size.
#include "app/init_dialogs.h"
#include "plugin/zvi_module.h"

// The desktop, read while the main window is created.
extern int32_t g_ScreenColorBits;
// A screen of this many bits per pixel draws through a palette.
constexpr int HALFTONE_BITS = 8;
extern int32_t g_ScreenPpiX;
extern int32_t g_ScreenPpiY;

extern HACCEL g_Accelerators; // "ShortMenu"; may be 0
extern uint32_t g_Running;    // the message loop ends when this is 0
extern uint32_t g_StartScreen; // 1 while the start screen is shown
extern uint32_t g_AppActive;  // the program is active and may draw its crosshair
// The popup that was active when the program lost activation while a modal
// dialog was open; it gets the activation back.
extern HWND g_LastActivePopup;
extern uint32_t g_OtherInstance; // another instance ran at start: no settings written at exit
// Set once closing is decided (the questions answered), before anything is
// freed: from then on timer, activation and paint handlers do nothing, since
// destroying the windows still sends them messages.
extern uint32_t g_Closing;
// A close request that came while an operation ran; the message loop repeats it.
extern uint32_t g_ClosePending;

extern uint32_t g_OsBuild, g_OsMajor, g_OsMinor;
extern uint32_t g_IsWin9x; // Windows 95/98

constexpr int START_PATH_SIZE = 260;
constexpr int START_TIME_TEXT_SIZE = 64;
extern char g_StartFile[START_PATH_SIZE]; // the drawing named on the command line
extern uint32_t g_StartFileExists;
extern uint32_t g_StartPrint;             // "/p" or "-p" on the command line
extern char g_StartTimeText[START_TIME_TEXT_SIZE];
// The installation's own text: the unique hidden names of groups and
// embedded bitmaps begin with it.
constexpr const char *INSTALLATION_TEXT = "darad4";

// Registered clipboard format and window messages.
extern UINT g_ClipboardFormatZvd;
extern UINT g_MsgInvalid, g_MsgClick, g_MsgLayer1, g_MsgLayer2, g_MsgPen1, g_MsgPen2;

// The tool windows, tables, view and drawing windows.
extern HWND hGlobalPanel, hGlobalProp, hGlobalPen, hGlobalLayer, hGlobalSymbol, hGlobalStatus,
    hGlobalToolbox, hGlobalGuide, hGlobalTooltip;
extern HWND hGlobalPenDialog, hGlobalLayerDialog; // the modeless pen and layer tables
// The system commands that move a floating tool window into a corner of the
// main window's client area.
constexpr int TOOL_CORNER_TOP_LEFT = 5002, TOOL_CORNER_TOP_RIGHT = 5003, TOOL_CORNER_BOTTOM_LEFT = 5004,
              TOOL_CORNER_BOTTOM_RIGHT = 5005;

// ---------------------------------------------------------------------------
// The exchange block handed to the language module. Its layout is seen by code
// outside the program and is fixed.

constexpr int MODULE_RECORD_SIZE = 216;
constexpr int MODULE_SLOTS = ZVI_MAX_MODULES;
constexpr int FORMAT_SLOTS = ZVI_MAX_IMPORTS;
static_assert(ZVI_MAX_EXPORTS == FORMAT_SLOTS);
constexpr int MODULE_ARRAY_WORDS = 40;

static_assert(sizeof(ModuleData) == MODULE_RECORD_SIZE);

struct LanguageExchangeBlock {
    uint32_t localeSwitch;  // decimal conventions of the settings defaults
    uint32_t inchSwitch;    // non-zero: inch units and the 11 x 17 inch page
    uint32_t moduleArrays[3][MODULE_ARRAY_WORDS];
    ModuleData modules[MODULE_SLOTS];
    int32_t moduleCount;
    ModuleData importFormats[FORMAT_SLOTS];
    int32_t importCount;
    ModuleData exportFormats[FORMAT_SLOTS];
    int32_t exportCount;
    uint32_t languageSwitches[3]; // the language module's own; the third is read by the file code
};
static_assert(offsetof(LanguageExchangeBlock, inchSwitch) == 4);
static_assert(offsetof(LanguageExchangeBlock, moduleArrays) == 8);
static_assert(offsetof(LanguageExchangeBlock, modules) == 488);
static_assert(offsetof(LanguageExchangeBlock, moduleCount) == 9128);
static_assert(offsetof(LanguageExchangeBlock, importFormats) == 9132);
static_assert(offsetof(LanguageExchangeBlock, importCount) == 13452);
static_assert(offsetof(LanguageExchangeBlock, exportFormats) == 13456);
static_assert(offsetof(LanguageExchangeBlock, exportCount) == 17776);
static_assert(offsetof(LanguageExchangeBlock, languageSwitches) == 17780);
static_assert(sizeof(LanguageExchangeBlock) == 17792);

extern LanguageExchangeBlock g_LanguageInitBlock;

// ---------------------------------------------------------------------------
// Start-up and shut-down.

constexpr UINT COMMAND_START_UP = 7903; // posted once the windows exist
constexpr UINT_PTR MAIN_TIMER_ID = 23567;
constexpr UINT MAIN_TIMER_PERIOD = 100; // milliseconds

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
uint32_t AppInit(const char *commandLine, int showCommand);
uint32_t AppRegisterClasses();
uint32_t AppCreateMainWindow(int showCommand);
uint32_t AppExit();
// Runs until g_Running is cleared or the quit message arrives; the wParam
// of the last message retrieved.
int AppRunMessageLoop();
// Activates the main window and gives it the keyboard focus (after start-up
// and when a tool window that had the activation is closed).
void AppFocusMainWindow();
// The main window's 100 ms housekeeping.
void AppMainTimer();

// What the command line asks for.
struct StartCommand {
    char file[START_PATH_SIZE];
    uint32_t fileExists;
    uint32_t print;
};
// Tells whether a file exists; the command-line split takes it as an argument
// so that tests can say which names exist.
typedef int (*FileExistsProc)(const char *path);
int AppFileExists(const char *path);
// Splits a command line: blanks separate tokens, double quotes group a token
// with blanks. "/p" and "-p" (any case) set print; other switches are
// ignored. The first plain token naming an existing file wins; while none
// has, each plain token replaces the previous one. A token that does not fit
// the file buffer is no file name at all and is skipped.
void AppSplitCommandLine(const char *commandLine, FileExistsProc exists, StartCommand *out);

LRESULT CALLBACK AppMainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppPanelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppPropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppSymbolWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppPenWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppLayerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppStatusWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppToolboxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppGuideWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppDrawWndProc1(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppDrawWndProc2(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppDrawWndProc3(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AppDrawWndProc4(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Activation of the program as a whole (WM_ACTIVATEAPP of the main window).
void AppMainActivateApp(HWND mainWindow, BOOL active);
// The cursor over the main window or its children (WM_SETCURSOR); hit is
// the hit-test code.
void AppMainSetCursor(int hit);
// Whether the tablet context stays enabled with the cursor at p: everywhere
// but outside the client areas well inside the screen, where the mouse is
// meant rather than the tablet.
int AppTabletEnableWanted(POINT p, int overClient, int screenWidth, int screenHeight);
