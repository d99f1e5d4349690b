#include "common/test_support.h"

#include "app/init_dialogs.h"
#include "app/init_help.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "dialogs/alert.h"
#include "dialogs/box09.h"

TestHelpRequest g_TestHelp = {0, nullptr, "", 0, 0};

// Answers every alert with its first button without showing it.
static uint32_t AnswerFirstButton(const char *, uint32_t code1, uint32_t, uint32_t)
{
    return code1;
}

// Sounds never reach the system.
static void IgnoreSound(const char *) {}

// Keeps a help request instead of starting WinHelp.
static void RecordHelp(HWND window, const char *file, UINT command, ULONG_PTR data)
{
    ++g_TestHelp.count;
    g_TestHelp.window = window;
    g_TestHelp.file = file ? file : "";
    g_TestHelp.command = command;
    g_TestHelp.data = data;
}

int g_TestStartScreens = 0;

namespace {
int AnswerStartScreen(HWND, const char *, uint32_t *, int *)
{
    ++g_TestStartScreens;
    return BOX09_CLOSED;
}
} // namespace

void TestPrepareProgram()
{
    // The settings a started program has before it reads the registry.
    SystemInitDrawingSettings(&g_DrawingSettings);
    SystemInitLocalData(&g_LocalData);

    g_AlertAnswerHook = AnswerFirstButton;
    g_InitHelpSink = RecordHelp;
    g_InitSoundSink = IgnoreSound;
    g_Box09StartScreenSink = AnswerStartScreen;
}

void TestSetDisplaySwitches(uint32_t displayExtern, uint32_t outputIntern, uint32_t outputGeometry,
                            uint32_t commentShown, uint32_t geometryShown, uint32_t geometryFrozen)
{
    g_DrawingSettings.displayExtern = displayExtern;
    g_DrawingSettings.outputIntern = outputIntern;
    g_DrawingSettings.outputGeometry = outputGeometry;
    g_DrawingSettings.commentDisplay[0] = commentShown;
    g_DrawingSettings.displayGeometry[0] = geometryShown;
    g_DrawingSettings.displayGeometry[1] = geometryFrozen;
}

std::vector<std::string> &TestCapturedDiagnostics()
{
    static std::vector<std::string> texts;
    return texts;
}

void TestCaptureDiagnostic(const char *text)
{
    TestCapturedDiagnostics().push_back(text);
}

TestLanguageModule::TestLanguageModule() : saved_(g_LanguageModule)
{
    g_LanguageModule = GetModuleHandleA("language.dll");
}

TestLanguageModule::~TestLanguageModule() { g_LanguageModule = saved_; }
