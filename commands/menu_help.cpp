// The Help menu, commands 1100 to 1106: help files through WinHelp, and the
// about box.
#include <windows.h>

#include "app/convert.h"
#include "app/init_help.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "commands/menu.h"
#include "dialogs/box07.h"
#include "files/zvi.h"
#include "language/language.h"

namespace {

constexpr int COMMAND_HELP_CONTENTS = 1100;
constexpr int COMMAND_HELP_COMMAND = 1101;
constexpr int COMMAND_HELP_ON_HELP = 1103;
constexpr int COMMAND_HELP_START_UP = 1105;
constexpr int COMMAND_ABOUT = 1106;
constexpr const char *HELP_FILE = "darad4.hlp";
constexpr const char *START_UP_HELP_FILE = "startup.hlp";

void HelpContents(HWND mainWindow, const char *file)
{
    char path[ZVI_PATH_SIZE] = "";
    ZVI_FileApplicationPath(file, path);
    InitWinHelp(mainWindow, path, HELP_CONTENTS, 0);
}

} // namespace

void MenuHelpCommand(HWND mainWindow, int commandId)
{
    switch (commandId) {
    case COMMAND_HELP_CONTENTS: HelpContents(mainWindow, HELP_FILE); return;
    // The command that runs, not the Help command itself.
    case COMMAND_HELP_COMMAND: ConvertShowCommandHelp(g_CommandState ? g_CommandState->commandId : 0); return;
    case COMMAND_HELP_ON_HELP: InitWinHelp(mainWindow, nullptr, HELP_HELPONHELP, 0); return;
    case COMMAND_HELP_START_UP: HelpContents(mainWindow, START_UP_HELP_FILE); return;
    case COMMAND_ABOUT: Box07About(mainWindow, eStartUpText1[1]); return;
    default: CommandShowSubmenu(commandId, nullptr); return;
    }
}
