// The three diagnostic boxes for internal faults.
#include <windows.h>

#include <cstdio>

#include "app/darad4.h"
#include "app/init.h"
#include "language/language.h"

uint32_t g_Debugging = 0;
InitErrorBoxSink g_InitErrorBoxSink = nullptr;

// Text buffer size of one box; a longer text is cut to fit.
constexpr int ERROR_BOX_TEXT_SIZE = 516;

static void ShowErrorBox(uint32_t bit, const char *sourceFile, int line, const char *message)
{
    if (!(g_Debugging & bit))
        return;
    char text[ERROR_BOX_TEXT_SIZE];
    snprintf(text, sizeof text, "%s\\%d\n\n%s", sourceFile ? sourceFile : "", line, message ? message : "");
    if (g_InitErrorBoxSink) {
        g_InitErrorBoxSink(text);
        return;
    }
    MessageBoxA(g_MainWnd, text, eStartUpText2[0], MB_OK | MB_TASKMODAL);
}

void InitErrorBox(const char *sourceFile, int line, const char *message)
{
    ShowErrorBox(DEBUG_INTERNAL, sourceFile, line, message);
}

void InitErrorBoxInterface(const char *sourceFile, int line, const char *message)
{
    ShowErrorBox(DEBUG_INTERFACE, sourceFile, line, message);
}

void InitErrorBoxDialog(const char *sourceFile, int line, const char *message)
{
    ShowErrorBox(DEBUG_DIALOG, sourceFile, line, message);
}
