#include "common/test_support.h"

#include "app/init_help.h"
#include "app/init_sound.h"
#include "dialogs/alert.h"

// Answers every alert with its first button without showing it.
static uint32_t AnswerFirstButton(const char *, uint32_t code1, uint32_t, uint32_t)
{
    return code1;
}

// Help and sounds never reach the system: a missing help file opens a box of
// its own that no test could answer.
static void IgnoreHelp(HWND, const char *, UINT, ULONG_PTR) {}
static void IgnoreSound(const char *) {}

void TestSilenceBoxes()
{
    g_AlertAnswerHook = AnswerFirstButton;
    g_InitHelpSink = IgnoreHelp;
    g_InitSoundSink = IgnoreSound;
}
