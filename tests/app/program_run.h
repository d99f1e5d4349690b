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

    Program() = default;
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    ~Program();

    // Starts darad4.exe with the arguments on its command line.
    bool Start(const std::string &arguments = "", WORD show = SW_SHOWNORMAL);
    // A top-level window of this process of the class (a visible one when
    // asked), or 0.
    HWND Find(const char *className, bool visibleOnly = false) const;
    bool Exited() const;
    // Waits until the first drawing window shows and the loop is idle.
    bool WaitReady();
    // Waits for a message box or dialog of this process; 0 after the timeout.
    HWND WaitBox();
    // The exit code, or -1 when the process did not end in time.
    long WaitExit();
    // Closes the main window and waits for the exit code.
    long Close();
};
