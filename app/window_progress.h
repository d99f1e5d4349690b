// Progress windows, the timed flag and external processes.
//
// Long operations run on the one thread; they show a modeless progress
// dialog, report into it and dispatch pending messages themselves (at most
// every 200 ms), so the program stays responsive and the user can cancel.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int PROGRESS_TEXT_SIZE = 516;           // each text: at most 515 characters
constexpr uint32_t PROGRESS_REFRESH_MS = 200;     // dialog refresh and message pumping
constexpr uint32_t PROCESS_WAIT_STEP_MS = 100;    // WindowRunProcess waits in steps
constexpr int PROCESS_FAILED = 100;               // WindowRunProcess: not started or no exit code
constexpr uint32_t TIMED_FLAG_MIN_MS = 100;       // shorter durations show no flag
constexpr uint32_t TIMED_FLAG_DEFAULT_MS = 1000;

// Dialog items of the three templates.
constexpr int IDC_PROGRESS_TEXT = 400;
constexpr int IDC_PROGRESS_TEXT1 = 401;
constexpr int IDC_PROGRESS_TEXT2 = 402;
constexpr int IDC_PROGRESS_BAR = 403;
constexpr int IDC_PROGRESS_MASTER_TEXT1 = 404;
constexpr int IDC_PROGRESS_MASTER_TEXT2 = 405;
constexpr int IDC_PROGRESS_MASTER_BAR = 406;
constexpr int IDC_PROGRESS_ITEM_TITLE = 407;
constexpr int IDC_PROGRESS_SKIP = 550;

struct ProgressState {
    uint32_t nesting;    // 0 no dialog, 1 shown, more while nested
    uint32_t master;     // the two-level form
    uint32_t withBar;    // the item bar is shown
    uint32_t lastUpdate; // tick count of the last refresh; 0 after a show
    int32_t pos, max;
    int32_t masterPos, masterMax;
    uint32_t cancelled, skipped;
    HWND dialog;
    HWND owner;
    char title[PROGRESS_TEXT_SIZE];
    char text[PROGRESS_TEXT_SIZE];
    char text1[PROGRESS_TEXT_SIZE];
    char text2[PROGRESS_TEXT_SIZE];
    char masterTitle[PROGRESS_TEXT_SIZE];
    char masterText1[PROGRESS_TEXT_SIZE];
    char masterText2[PROGRESS_TEXT_SIZE];
};

extern ProgressState g_Progress;
// 1 from the creation to the destruction of the progress dialog; window
// painting consults it.
extern uint32_t g_ProgressShown;

int WindowShowProgress(const char *title, const char *text, int withBar);
void WindowUpdateProgress(const char *text1, const char *text2, int32_t pos, int32_t max);
void WindowHideProgress();
int WindowIsCancelled();
void WindowClearCancel();
int WindowShowMasterProgress(const char *masterTitle);
void WindowUpdateMasterProgress(const char *masterText1, const char *masterText2, int32_t masterPos,
                                int32_t masterMax);
void WindowHideMasterProgress();
int WindowMasterIsCancelled(); // skipped or cancelled
int WindowIsMasterProgress();  // a dialog is shown and it is the two-level one
INT_PTR CALLBACK WindowProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The timed flag: a small popup near the mouse that disappears by itself.
extern const char TIMED_FLAG_CLASS[]; // "DARAD4_TimedFlagClass"
int WindowRegisterTimedFlagClass(HINSTANCE instance);
void WindowShowTimedFlag(const char *text, const POINT *point);
LRESULT CALLBACK WindowTimedFlagProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Starts a program hidden and waits for its end; its exit code, or 100.
int WindowRunProcess(const char *commandLine);

// The clock of the refresh gate; tests put their own clock here.
typedef DWORD(WINAPI *WindowTickSource)();
extern WindowTickSource g_WindowTickCount;

// Services of other modules the progress window relies on. Their owners set
// them at start-up; a null entry does without (or uses the simple fallback
// named).
struct WindowProgressLinks {
    // Saves what a dispatched message could disturb (the output context, the
    // object-list filter) and puts it back; the snapshot is the owner's.
    void *(*saveDispatchState)();
    void (*restoreDispatchState)(void *snapshot);
    // The dialog toolkit's bar painter; fallback: a plain filled bar.
    void (*drawProgressBar)(HWND bar, int32_t done, int32_t total);
    // Centring over the parent; fallback: centred over the parent window here.
    void (*centerDialog)(HWND dialog);
    // The plug-in interface's popup cursor handling.
    void (*popupSetCursor)(HWND window, WPARAM wParam, LPARAM lParam);
    // 1 for the program's own tool windows and modeless tables: a progress
    // dialog is then owned by the main window instead.
    int (*isToolWindow)(HWND window);
    // The frame's count of open modal dialogs.
    void (*changeModalDepth)(int delta);
    // 1 while the start screen is still shown.
    int (*startScreenShown)();
    // The timed-flag duration of the remembered working values, in ms.
    uint32_t (*timedFlagDuration)();
    // The small font of the about box.
    HFONT (*aboutFont)();
};
extern WindowProgressLinks g_WindowProgressLinks;
