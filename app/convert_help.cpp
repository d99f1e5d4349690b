// Help for commands and for the window under the mouse pointer.

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_help.h"
#include "app/window.h"
#include "commands/command.h"
#include "display/screen.h"
#include "plugin/zvi_module.h"
#include "files/zvi.h"


namespace {

constexpr char HELP_FILE_NAME[] = "darad4.hlp";
constexpr int NO_CONTEXT = -1;

void ShowHelpPage(int context)
{
    char path[ZVI_PATH_SIZE];
    if (!ZVI_FileApplicationPath(HELP_FILE_NAME, path))
        return;
    InitWinHelp(g_MainWnd, path, HELP_CONTEXT, static_cast<ULONG_PTR>(context));
}

// The context of one of the program's windows; NO_CONTEXT for any other.
int ContextOfWindow(HWND window, POINT screen)
{
    const struct {
        HWND handle;
        int context;
    } tools[] = {
        {hGlobalGuide, HELP_CONTEXT_GUIDE},          {hGlobalToolbox, HELP_CONTEXT_TOOLBOX},
        {hGlobalStatus, HELP_CONTEXT_STATUS_BAR},    {hGlobalSymbol, HELP_CONTEXT_SYMBOL},
        {hGlobalLayer, HELP_CONTEXT_LAYER_TREE},     {hGlobalPen, HELP_CONTEXT_PEN_TREE},
        {hGlobalProp, HELP_CONTEXT_PROPERTY_BAR},    {hGlobalPanel, HELP_CONTEXT_PANEL},
        {hGlobalLayerDialog, HELP_CONTEXT_LAYER_TABLE}, {hGlobalPenDialog, HELP_CONTEXT_PEN_TABLE},
        {g_MainWnd, HELP_CONTEXT_MAIN},
    };
    for (const auto &t : tools)
        if (t.handle == window)
            return t.context;

    // The drawing windows: their drawing area, or everything around it.
    auto drawing = [&](int index, int areaContext) {
        POINT client = screen;
        ScreenToClient(window, &client);
        const int hit = ScreenHitTestMargin(index, client.x, client.y);
        return hit == SCREEN_HIT_AREA || hit == SCREEN_HIT_AREA_TRACKING ? areaContext : HELP_CONTEXT_MARGIN;
    };
    if (g_ViewWindow.hwnd == window)
        return drawing(WINDOW_VIEW, HELP_CONTEXT_VIEW_AREA);
    for (int i = 0; i < WINDOW_DRAW_COUNT; ++i)
        if (g_DrawWindows[i].hwnd == window)
            return drawing(i, HELP_CONTEXT_DRAW_AREA);
    return NO_CONTEXT;
}

} // namespace

int ConvertCommandHelpContext(int commandId)
{
    // The command table holds the contexts, the internal ranges one a range.
    return CommandHelpContext(commandId);
}

void ConvertShowCommandHelp(int commandId)
{
    if (ConvertFindCommandPopup(commandId) == CONVERT_POPUP_OPENER)
        return;
    // Plug-in and filter commands are the modules' own to explain.
    if (commandId >= COMMAND_PLUGIN_FIRST && commandId <= COMMAND_FILTER_LAST) {
        PluginAskHelp(commandId);
        return;
    }
    const int context = ConvertCommandHelpContext(commandId);
    if (context == NO_CONTEXT)
        return;
    ShowHelpPage(context);
}

int ConvertContextHelpAt(HWND window, POINT screen)
{
    // A control inside one of the program's windows (the list of a table, a
    // tree) stands for that window. Only parents are followed, never owners,
    // so a box owned by the main window is not taken for it.
    const HWND desktop = GetDesktopWindow();
    for (HWND w = window; w && w != desktop; w = GetAncestor(w, GA_PARENT)) {
        const int context = ContextOfWindow(w, screen);
        if (context != NO_CONTEXT)
            return context;
    }
    return NO_CONTEXT;
}

void ConvertShowContextHelp()
{
    POINT screen;
    if (!GetCursorPos(&screen))
        return;
    const int context = ConvertContextHelpAt(WindowFromPoint(screen), screen);
    if (context == NO_CONTEXT)
        return;
    ShowHelpPage(context);
    CommandCancel();
}
