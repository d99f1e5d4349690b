// Support shared by the test programs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The x87 control word as main() found it.
extern unsigned short g_FpuControlWordAtStart;

// Routes every box the program can show (diagnostic boxes, alerts, help,
// sounds) to seams that answer at once, so no test can block on a modal box,
// and gives the settings the values a started program has before it reads
// the registry.
void TestPrepareProgram();

// How often the start-up command asked for the start screen (answered as
// closed without a choice).
extern int g_TestStartScreens;

// The help requests that TestPrepareProgram caught, the last one kept.
struct TestHelpRequest {
    int count;
    HWND window;
    std::string file;
    UINT command;
    ULONG_PTR data;
};
extern TestHelpRequest g_TestHelp;

// Sets the drawing switches that decide what is shown, printed and pickable.
void TestSetDisplaySwitches(uint32_t displayExtern, uint32_t outputIntern, uint32_t outputGeometry,
                            uint32_t commentShown, uint32_t geometryShown, uint32_t geometryFrozen);

// The diagnostic boxes caught by TestCaptureDiagnostic, oldest first. A test
// that sets g_InitErrorBoxSink to TestCaptureDiagnostic clears them first.
std::vector<std::string> &TestCapturedDiagnostics();
void TestCaptureDiagnostic(const char *text);

// While alive, the dialog templates and texts come from the language module
// (language.dll), as in the started program; the module before comes back.
class TestLanguageModule {
public:
    TestLanguageModule();
    ~TestLanguageModule();
    TestLanguageModule(const TestLanguageModule &) = delete;
    TestLanguageModule &operator=(const TestLanguageModule &) = delete;

private:
    HMODULE saved_;
};
