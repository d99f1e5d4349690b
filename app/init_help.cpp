// The one door to WinHelp.
#include "app/init_help.h"

InitHelpSink g_InitHelpSink = nullptr;

BOOL InitWinHelp(HWND window, const char *file, UINT command, ULONG_PTR data)
{
    if (g_InitHelpSink) {
        g_InitHelpSink(window, file, command, data);
        return TRUE;
    }
    return WinHelpA(window, file, command, data);
}
