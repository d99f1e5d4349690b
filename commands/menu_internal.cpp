// The internal commands.
#include <cstdio>

#include "app/darad4.h"
#include "app/window.h"
#include "app/window_title.h"
#include "commands/menu.h"
#include "files/file.h"

namespace {

// The start-up command, run once the message loop is going: it opens the
// drawing named on the command line and prints it on "/p", or shows the
// start dialog. Printing and the start dialog come with the print command
// and the dialogs.
void MenuStartUp(HWND mainWindow)
{
    if (!g_StartFileExists)
        return;
    // With a progress window: a close request that arrives while it pumps
    // messages waits until the read is over (the main window ignores it while
    // the progress counts as a modal dialog).
    if (FileReadDrawing(&g_DrawingInfo.info, g_StartFile, FILE_SECTIONS_ALL, 0))
        std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "%s", g_StartFile);
    if (!g_Running || !IsWindow(mainWindow))
        return;
    // Shown either way: a file that cannot be read leaves a new drawing.
    WindowUpdateTitle(mainWindow);
    WindowShowNewDrawing(mainWindow);
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
