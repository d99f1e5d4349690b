// Start-up order, shared GDI objects and the diagnostic boxes.
#pragma once

#include <cstdint>

// The machine setting "Debugging": which diagnostic boxes are shown.
// 0 until the machine settings are read, and when the value is missing.
extern uint32_t g_Debugging;
constexpr uint32_t DEBUG_INTERNAL = 0x1;  // InitErrorBox
constexpr uint32_t DEBUG_INTERFACE = 0x2; // InitErrorBoxInterface
constexpr uint32_t DEBUG_DIALOG = 0x8;    // InitErrorBoxDialog

// Internal faults: a task-modal box "<file>\<line>\n\n<message>", shown only
// when the routine's bit of g_Debugging is set. They never change state.
void InitErrorBox(const char *sourceFile, int line, const char *message);
void InitErrorBoxInterface(const char *sourceFile, int line, const char *message);
void InitErrorBoxDialog(const char *sourceFile, int line, const char *message);

// Test seam: when set, receives the formatted text in place of the message box.
typedef void (*InitErrorBoxSink)(const char *text);
extern InitErrorBoxSink g_InitErrorBoxSink;

// ---------------------------------------------------------------------------
// Start-up order.

#include <windows.h>

// The language module's file name in the program's folder. Tests point it at
// stand-in modules.
extern const char *g_LanguageFileName;

// Sets g_PathServer to the program's folder, loads the language module from
// there and calls its ZVI_LanguageInit; 1 when the module is ready. On any
// failure the module is released again and 0 returned.
uint32_t InitLoadLanguage(HINSTANCE instance, void *exchangeBlock);
// Calls ZVI_LanguageExit and releases the module; 1 on success.
uint32_t InitFreeLanguage();

// The drawing data: 0 on success, 2 on failure (what was set up is undone).
uint32_t InitInit(HINSTANCE instance, HWND mainWindow);
void InitExit();
// The drawing's work tables: emptied for a new drawing; 0 on failure.
uint32_t InitInitDrawing();
void InitExitDrawing();
// Empties the plug-in module, import and export tables of the exchange block.
uint32_t InitClearModules();

// Shared resources of the main window (WM_CREATE): 1 or 0. Starts the
// housekeeping timer. InitDeleteResources stops it and frees the rest.
uint32_t InitCreateResources(HWND mainWindow);
void InitDeleteResources(HWND mainWindow);

// Result codes of InitCreateWindows.
constexpr uint32_t INIT_WINDOWS_DONE = 0;
constexpr uint32_t INIT_WINDOWS_CANCELLED = 1; // the user ended start-up at the default drawing
constexpr uint32_t INIT_WINDOWS_FAILED = 3;    // a window was not created
uint32_t InitCreateWindows(HINSTANCE instance, HWND mainWindow);
// The close questions, the settings and the shared resources: 1 when the
// program may close, 0 when the user cancelled.
uint32_t InitExitWindows();

struct ProgramOptions;
// Gives every tool-window placement whose position was never saved its
// default place, and every unset size its default size. freeArea is the main
// window's free area in its client coordinates, origin that client area's
// screen position, screen the desktop size.
void InitDefaultPlacements(ProgramOptions *options, RECT freeArea, POINT origin, SIZE screen);
