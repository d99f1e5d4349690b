// main() of every test program.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>

#include "common/test_support.h"

unsigned short g_FpuControlWordAtStart = 0;

static unsigned short ReadFpuControlWord()
{
    unsigned short cw = 0;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

// The first window or GDI call of a process may start Wine's desktop
// process, which would inherit the test's output handles and keep the test
// runner waiting for them: they are made non-inheritable first.
static void KeepOutputHandlesToThisProcess()
{
    for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE, STD_INPUT_HANDLE}) {
        HANDLE h = GetStdHandle(which);
        if (h && h != INVALID_HANDLE_VALUE)
            SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    }
}

int main(int argc, char **argv)
{
    // Read before anything can touch the FPU: the program relies on the
    // precision it is given at start.
    g_FpuControlWordAtStart = ReadFpuControlWord();
    KeepOutputHandlesToThisProcess();
    testing::InitGoogleTest(&argc, argv);
    TestSilenceBoxes();
    return RUN_ALL_TESTS();
}
