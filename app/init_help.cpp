// The one door to WinHelp.
#include "app/init_help.h"

#include <cstdio>

#include "dialogs/alert.h"
#include "language/language.h"

InitHelpSink g_InitHelpSink = nullptr;

namespace {

constexpr int HELP_FILE_MISSING_TEXT = 143; // eAlertTextOK, with the file name
constexpr int HELP_MESSAGE_SIZE = 516;

bool FileExists(const char *file)
{
    const DWORD attributes = GetFileAttributesA(file);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

BOOL InitWinHelp(HWND window, const char *file, UINT command, ULONG_PTR data)
{
    if (g_InitHelpSink) {
        g_InitHelpSink(window, file, command, data);
        return TRUE;
    }
    // WinHelp on a missing file may open its own error box and never return:
    // the program says so itself. Closing help needs no file.
    if (command != HELP_QUIT && (!file || !FileExists(file))) {
        char message[HELP_MESSAGE_SIZE];
        std::snprintf(message, sizeof message, eAlertTextOK[HELP_FILE_MISSING_TEXT], file ? file : "");
        AlertOk(window, message);
        return FALSE;
    }
    return WinHelpA(window, file, command, data);
}
