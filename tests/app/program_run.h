// darad4.exe started as a child process, for the tests that look at the
// program as a whole.
#pragma once

#include <windows.h>

#include <string>

constexpr DWORD START_TIMEOUT_MS = 20000;
constexpr DWORD EXIT_TIMEOUT_MS = 20000;

// The folder of the running test program (where darad4.exe lies), with its
// backslash.
std::string ProgramFolder();

// One running instance of the program. A test that fails half-way leaves
// nothing running: the destructor ends a process that is still alive.
struct Program {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
    // Whether the start screen may show (the option decides); off, the
    // program is started with DARAD4_NO_START_SCREEN.
    bool startScreen = false;

    Program() = default;
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    ~Program();

    // Starts darad4.exe with the arguments on its command line; with
    // SW_SHOWDEFAULT the start-up information names no show command, as
    // when a shell starts the program without one.
    bool Start(const std::string &arguments = "", WORD show = SW_SHOWNORMAL);
    // A top-level window of this process of the class (a visible one when
    // asked), or 0.
    HWND Find(const char *className, bool visibleOnly = false) const;
    bool Exited() const;
    // Waits until the first drawing window shows and the loop is idle.
    bool WaitReady();
    // Waits for a visible message box or dialog of this process (the hidden
    // modeless pen and layer tables do not count); 0 after the timeout.
    HWND WaitBox();
    // The exit code, or -1 when the process did not end in time.
    long WaitExit();
    // Closes the main window and waits for the exit code.
    long Close();
    // The same for a changed drawing: the question whether to save it is
    // answered with No.
    long CloseWithoutSaving();
};

// The drawing lists emptied and ready for test objects; the objects built
// afterwards are written by WriteTestDrawing as a drawing file.
void StartTestDrawing();
bool WriteTestDrawing(const std::string &path);

// The first drawing window of a program started on a drawing whose active
// page is A3 landscape centred on the zero point: where the window's
// matrix puts a point of the drawing (square pixels: the monitor size
// cancels out).
struct FittedPage {
    RECT area{};
    double scale = 0.0, cx = 0.0, cy = 0.0;
    POINT Pixel(double x, double y) const;
};
FittedPage FitA3Page(HWND draw);

// Whether the screen shows the window at a client point: tool windows of
// the program may lie over it.
bool ClientPointVisible(HWND window, LONG x, LONG y);
// Whether the screen is black at a client point or a pixel beside it (a
// line may fall on either of two pixels where its position rounds at .5).
// Another process's window surface is read where the screen shows it.
bool ScreenBlackNear(HWND window, HDC screen, LONG x, LONG y);
// The text of a box the program shows, for failure messages.
std::string ProgramBoxText(const Program &run);
