// The debug-build trap of the can't-happen checks.
#include "app/init_trap.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

void InitTrap(const char *file, int line, const char *reason)
{
    char text[512];
    std::snprintf(text, sizeof text, "%s(%d): can't happen: %s\n", file ? file : "?", line, reason ? reason : "");
    OutputDebugStringA(text);
    std::fputs(text, stderr);
    std::fflush(stderr);
    if (IsDebuggerPresent())
        DebugBreak();
    std::abort();
}
