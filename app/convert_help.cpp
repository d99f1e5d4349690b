// Help for commands and for the window under the mouse pointer.

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_help.h"
#include "app/window.h"
#include "commands/command.h"
#include "display/screen.h"
#include "files/zvi.h"


namespace {

constexpr char HELP_FILE_NAME[] = "darad4.hlp";
constexpr int FIRST_PLUGIN_COMMAND = 1300;
constexpr int LAST_FILTER_COMMAND = 5339;

// Internal command ranges that share one help page.
struct HelpRange {
    int first, last, context;
};
constexpr HelpRange HELP_RANGES[] = {
    {5340, 5439, 14000}, {5440, 5539, 14001}, {5540, 5559, 14002}, {5560, 5610, 14003},
    {6365, 6865, 14008}, {6866, 7366, 14009}, {7367, 7867, 14010}, {7868, 7872, 14011},
    {7873, 7877, 14012}, {7878, 7882, 14013}, {7888, 7892, 14014}, {7893, 7897, 14015},
    {7898, 7902, 14016},
};

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
    if (commandId >= FIRST_PLUGIN_COMMAND && commandId <= LAST_FILTER_COMMAND)
        return NO_CONTEXT;
    for (const HelpRange &r : HELP_RANGES)
        if (commandId >= r.first && commandId <= r.last)
            return r.context;
    return commandId;
}

void ConvertShowCommandHelp(int commandId)
{
    if (ConvertFindCommandPopup(commandId) == CONVERT_POPUP_OPENER)
        return;
    // Plug-in and filter commands are the modules' own to explain; the
    // program reads no module records yet, so they get no help here.
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
