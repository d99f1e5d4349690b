#include "common/test_support.h"

#include "app/init_help.h"
#include "app/init_sound.h"
#include "dialogs/alert.h"

TestHelpRequest g_TestHelp = {0, nullptr, "", 0, 0};

// Answers every alert with its first button without showing it.
static uint32_t AnswerFirstButton(const char *, uint32_t code1, uint32_t, uint32_t)
{
    return code1;
}

// Keeps a help request instead of starting WinHelp.
static void RecordHelp(HWND window, const char *file, UINT command, ULONG_PTR data)
{
    ++g_TestHelp.count;
    g_TestHelp.window = window;
    g_TestHelp.file = file ? file : "";
    g_TestHelp.command = command;
    g_TestHelp.data = data;
}

// Sounds never reach the system.
static void IgnoreSound(const char *) {}

void TestSilenceBoxes()
{
    g_AlertAnswerHook = AnswerFirstButton;
    g_InitHelpSink = RecordHelp;
    g_InitSoundSink = IgnoreSound;
}
