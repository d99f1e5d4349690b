// The start screen: tour, tutorial or help contents, and whether it shows at
// the next start.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int BOX09_TOUR = 550, BOX09_TUTORIAL = 551, BOX09_HELP = 552, BOX09_CLOSED = 27;
// The ways into a drawing: a new one, the file chooser, or a recent drawing
// (its index in the recent list goes to *recent).
constexpr int BOX09_NEW = 553, BOX09_OPEN = 554, BOX09_RECENT = 555;
extern const char *const BOX09_TOUR_PROGRAM;  // below g_PathServer
extern const char *const BOX09_TUTORIAL_FILE; // below g_PathServer

// The choice (BOX09_*), 0 when the dialog cannot be shown. Whenever it was
// shown, *showAtStart holds the check box's state afterwards.
int Box09Startup(HWND owner, const char *caption, uint32_t *showAtStart, int *recent = nullptr);

// The start screen as the start-up command shows it: opens it on the option
// StartUpDisplay and carries out the choice (starts the tour program, opens
// the tutorial at its contents or runs the help contents command).
// The environment variable DARAD4_NO_START_SCREEN (any value) keeps the
// screen away for one run, for scripted runs of the program.
void Box09RunStartScreen(HWND mainWindow);

// Test seam: when set, the start-up command asks it instead of showing the
// start screen (same arguments and answer as Box09Startup).
extern int (*g_Box09StartScreenSink)(HWND owner, const char *caption, uint32_t *showAtStart, int *recent);
