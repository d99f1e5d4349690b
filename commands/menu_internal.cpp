// The internal commands.
#include "app/darad4.h"
#include "commands/menu.h"

namespace {

// The start-up command, run once the message loop is going: it opens the
// drawing named on the command line and prints it on "/p", or shows the
// start dialog. Without a drawing to open nothing happens; opening and the
// start dialog come with the file commands and the dialogs.
void MenuStartUp(HWND mainWindow)
{
    if (!g_StartFileExists)
        return;
}

} // namespace

void MenuInternalCommand(HWND mainWindow, int commandId)
{
    switch (commandId) {
    case COMMAND_START_UP:
        MenuStartUp(mainWindow);
        break;
    default:
        break;
    }
}
