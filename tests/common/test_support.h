// Support shared by the test programs.
#pragma once

#include <windows.h>

#include <string>

// The x87 control word as main() found it.
extern unsigned short g_FpuControlWordAtStart;

// Routes every box the program can show (diagnostic boxes, alerts, help,
// sounds) to seams that answer at once, so no test can block on a modal box.
void TestSilenceBoxes();

// The help requests that TestSilenceBoxes caught, the last one kept.
struct TestHelpRequest {
    int count;
    HWND window;
    std::string file;
    UINT command;
    ULONG_PTR data;
};
extern TestHelpRequest g_TestHelp;
