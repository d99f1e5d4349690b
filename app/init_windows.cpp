// Creating the windows at start, and the close questions and settings at exit.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "dialogs/box05_pens.h"
#include "app/darad4.h"
#include "app/init.h"
#include "app/init_menus.h"
#include "app/system_validate.h"
#include "app/init_gdi.h"
#include "app/status.h"
#include "app/system.h"
#include "app/window_layout.h"
#include "database/object_flags.h"
#include "database/symbol_block.h"
#include "dialogs/alert.h"
#include "display/symbol.h"
#include "files/file.h"
#include "files/file_charlib.h"
#include "files/file_library.h"
#include "files/file_commands.h"
#include "files/file_drawinginfo.h"
#include "language/language.h"

namespace {

constexpr int32_t FILE_VERSION_CURRENT = 460;
constexpr uint32_t FILE_ERROR_DEFAULT_DRAWING = 8;
constexpr int PLACEMENT_INSET = 4;    // the free area's inset for tool windows
constexpr int PLACEMENT_GAP = 4;      // between floating tool windows side by side
constexpr int GUIDE_WIDTH = 280;
constexpr int GUIDE_HEIGHT = 140;
constexpr int TOOLBOX_FLOATING_HEIGHT = 322;
constexpr int SYMBOL_CLIENT_WIDTH = 96;
constexpr int SCROLL_RANGE = 10000;
constexpr int32_t FIRST_COORDINATE_SYSTEM = 1;

// eHeadlineText entries of the tool-window titles.
constexpr int TITLE_PEN_TREE = 11;
constexpr int TITLE_LAYER_TREE = 12;
constexpr int TITLE_STATUS = 13;
constexpr int TITLE_SYMBOL = 14;
constexpr int TITLE_GUIDE = 19;
constexpr int TITLE_PROPERTY = 20;
constexpr int TITLE_VIEW = 21;
constexpr int NAME_UNTITLED = 0;       // eDefaultNames
constexpr int NAME_TITLE_FORMAT = 5;   // eDefaultNames

constexpr DWORD FLOATING_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr DWORD FLOATING_BAR_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU;
// Docked tool windows are children of the main window: they move with it and
// are painted within it.
constexpr DWORD DOCKED_STYLE = WS_CHILD | WS_CLIPSIBLINGS;

bool IsSet(LONG value)
{
    return value != SYSTEM_NOT_SET;
}

void DefaultSize(WindowPlacement &p, LONG width, LONG height)
{
    if (!IsSet(p.size.cx) || !IsSet(p.size.cy))
        p.size = SIZE{width, height};
}

void DefaultPosition(WindowPlacement &p, LONG x, LONG y, POINT origin)
{
    if (!IsSet(p.pos.x) || !IsSet(p.pos.y))
        p.pos = POINT{x + origin.x, y + origin.y};
}

} // namespace

void InitDefaultPlacements(ProgramOptions *options, RECT a, POINT origin, SIZE screen)
{
    ProgramOptions &o = *options;
    const int frameX = GetSystemMetrics(SM_CXFRAME);
    const int frameY = GetSystemMetrics(SM_CYFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const LONG m = PLACEMENT_INSET;

    DefaultSize(o.viewPlacement, screen.cx / 4, screen.cy / 4);
    // An unset panel height: its list top and three rows below the caption.
    StatusLayoutPanel();
    DefaultSize(o.panelPlacement, g_Tools.panelWidth + 2 * frameX,
                g_Tools.panelListTop + caption + 2 * (frameY + 3 * g_Tools.panelRow));
    DefaultSize(o.penPlacement, screen.cx / 6, screen.cy / 4);
    DefaultSize(o.layerPlacement, screen.cx / 6, screen.cy / 4);
    DefaultSize(o.statusPlacement, screen.cx * 9 / 10 + 2 * frameX, StatusDockedStatusHeight() + caption + 2 * frameY);
    DefaultSize(o.toolboxPlacement, 2 * frameX + 2 * TOOLBOX_CELL_SIZE,
                2 * frameY + TOOLBOX_FLOATING_HEIGHT + caption);
    DefaultSize(o.guidePlacement, GUIDE_WIDTH, GUIDE_HEIGHT);
    DefaultSize(o.symbolPlacement, 2 * frameX + SYMBOL_CLIENT_WIDTH, screen.cy * 3 / 4 + 2 * frameY + caption);

    const bool panelFloating = o.panelVisible && o.panelMoveable;
    const bool toolboxFloating = o.toolboxVisible && o.toolboxMoveable;
    const LONG panelShift = panelFloating ? o.panelPlacement.size.cx + PLACEMENT_GAP : 0;
    const LONG toolboxShift = toolboxFloating ? o.toolboxPlacement.size.cx + PLACEMENT_GAP : 0;

    DefaultPosition(o.viewPlacement, a.right - o.viewPlacement.size.cx, a.top + m, origin);
    DefaultPosition(o.panelPlacement, a.left + m, a.top + m, origin);
    DefaultPosition(o.propertyPlacement, a.left + m + panelShift + toolboxShift, a.top + m, origin);
    DefaultPosition(o.penPlacement, a.left + m + 10, a.top + m + 10, origin);
    DefaultPosition(o.penDialogPlacement, a.left + m + 5, a.top + m + 5, origin);
    DefaultPosition(o.layerPlacement, a.left + m + 20, a.top + m + 20, origin);
    DefaultPosition(o.layerDialogPlacement, a.left + m + 15, a.top + m + 15, origin);
    DefaultPosition(o.statusPlacement, (a.left + a.right - o.statusPlacement.size.cx) / 2,
                    a.bottom - o.statusPlacement.size.cy, origin);
    DefaultPosition(o.toolboxPlacement, a.left + m + panelShift, a.top + m, origin);
    DefaultPosition(o.guidePlacement, a.right - GUIDE_WIDTH, a.bottom - GUIDE_HEIGHT, origin);
    DefaultPosition(o.symbolPlacement, a.right - o.symbolPlacement.size.cx, a.top + m, origin);
}

// ---------------------------------------------------------------------------
// Shared resources

uint32_t InitCreateResources(HWND mainWindow)
{
    // The pens, brushes and fonts the drawing output shares.
    if (!InitCreateGdiResources())
        return 0;
    InitCreateScreenObjects();
    return SetTimer(mainWindow, MAIN_TIMER_ID, MAIN_TIMER_PERIOD, nullptr) ? 1 : 0;
}

void InitDeleteResources(HWND mainWindow)
{
    if (mainWindow)
        KillTimer(mainWindow, MAIN_TIMER_ID);
    InitDestroyMenus(mainWindow);
    InitDeleteScreenObjects();
    InitDeleteGdiResources();
    SymbolFreeFonts();
}

// ---------------------------------------------------------------------------
// Start

namespace {

// The default drawing serves as the template of the first drawing. 1 when
// start-up goes on, 0 when the user cancelled at the file alert.
int PrepareFirstDrawing(HWND mainWindow)
{
    char path[SYSTEM_PATH_SIZE];
    SystemDefaultDrawingPath(path);
    // Read silently: a missing or damaged template gets the one file alert
    // below, and start-up goes on with the empty drawing InitInit prepared.
    const bool read = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES &&
                      FileReadDrawing(&g_DrawingInfo.info, path, g_Options.fileModeLoad | FILE_MODE_QUIET, 0);
    if (read) {
        ObjectValidateDefaultSlots();
        SymbolRecalcFrames();
    } else {
        if (AlertFileError(mainWindow, path, FILE_ERROR_DEFAULT_DRAWING) == ALERT_CANCEL)
            return 0;
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    }
    // Whatever was read becomes a new, untitled drawing.
    CurrentDrawing &d = g_DrawingInfo;
    std::memset(&d.info, 0, sizeof d.info);
    std::snprintf(d.info.title, sizeof d.info.title, eDefaultNames[NAME_TITLE_FORMAT], (long)std::time(nullptr));
    std::snprintf(d.currentPath, sizeof d.currentPath, "*%s", eDefaultNames[NAME_UNTITLED]);
    d.modified = 0;
    d.changed = 0;
    d.fileVersion = FILE_VERSION_CURRENT;
    return 1;
}

uint32_t CreateFailed(const char *name)
{
    char text[128];
    std::snprintf(text, sizeof text, "Unable to create \"%s\".", name);
    InitErrorBox(__FILE__, __LINE__, text);
    return 0;
}

// A tool window owned by the main window, hidden, at its placement.
HWND CreateTool(HWND *handle, const char *name, const char *className, const char *title, DWORD style,
                const WindowPlacement &p, HWND owner, HINSTANCE instance)
{
    *handle = CreateWindowExA(0, className, title, style, p.pos.x, p.pos.y, p.size.cx, p.size.cy, owner,
                              nullptr, instance, nullptr);
    if (!*handle)
        CreateFailed(name);
    return *handle;
}

void SetScrollRanges(HWND window)
{
    SetScrollRange(window, SB_HORZ, 0, SCROLL_RANGE, FALSE);
    SetScrollRange(window, SB_VERT, 0, SCROLL_RANGE, FALSE);
}

} // namespace

uint32_t InitCreateWindows(HINSTANCE instance, HWND mainWindow)
{
    if (!PrepareFirstDrawing(mainWindow))
        return INIT_WINDOWS_CANCELLED;

    for (DrawWindow &w : g_DrawWindows)
        w = DrawWindow{};
    g_ViewWindow = DrawWindow{};
    g_ActiveWindow = 0;

    WindowComputeLayout(mainWindow);
    POINT origin{0, 0};
    ClientToScreen(mainWindow, &origin);
    InitDefaultPlacements(&g_Options, g_WindowLayout.freeArea, origin, SIZE{g_ScreenWidth, g_ScreenHeight});

    ProgramOptions &o = g_Options;
    const DWORD propStyle = o.propertyMoveable ? FLOATING_BAR_STYLE : DOCKED_STYLE;
    if (!CreateTool(&hGlobalProp, "hGlobalProp", "DARAD4_PropWClass",
                    o.propertyMoveable ? eHeadlineText[TITLE_PROPERTY] : "", propStyle, o.propertyPlacement,
                    mainWindow, instance))
        return INIT_WINDOWS_FAILED;
    if (!CreateTool(&hGlobalPen, "hGlobalPen", "DARAD4_PenWClass", eHeadlineText[TITLE_PEN_TREE], FLOATING_STYLE,
                    o.penPlacement, mainWindow, instance))
        return INIT_WINDOWS_FAILED;
    if (!CreateTool(&hGlobalLayer, "hGlobalLayer", "DARAD4_LayerWClass", eHeadlineText[TITLE_LAYER_TREE],
                    FLOATING_STYLE, o.layerPlacement, mainWindow, instance))
        return INIT_WINDOWS_FAILED;
    if (!CreateTool(&hGlobalPanel, "hGlobalPanel", "DARAD4_PanelWClass", "",
                    o.panelMoveable ? FLOATING_STYLE : DOCKED_STYLE, o.panelPlacement, mainWindow, instance))
        return INIT_WINDOWS_FAILED;
    if (!CreateTool(&hGlobalStatus, "hGlobalStatus", "DARAD4_StatusWClass",
                    o.statusMoveable ? eHeadlineText[TITLE_STATUS] : "",
                    o.statusMoveable ? FLOATING_STYLE : DOCKED_STYLE, o.statusPlacement, mainWindow, instance))
        return INIT_WINDOWS_FAILED;
    if (!CreateTool(&hGlobalToolbox, "hGlobalToolbox", "DARAD4_ToolboxWClass", "",
                    o.toolboxMoveable ? FLOATING_STYLE : DOCKED_STYLE, o.toolboxPlacement, mainWindow, instance))
        return INIT_WINDOWS_FAILED;
    if (!CreateTool(&hGlobalGuide, "hGlobalGuide", "DARAD4_GuideWClass", eHeadlineText[TITLE_GUIDE],
                    FLOATING_STYLE, o.guidePlacement, mainWindow, instance))
        return INIT_WINDOWS_FAILED;
    if (!CreateTool(&hGlobalSymbol, "hGlobalSymbol", "DARAD4_SymbolWClass", eHeadlineText[TITLE_SYMBOL],
                    FLOATING_STYLE | WS_VSCROLL, o.symbolPlacement, mainWindow, instance))
        return INIT_WINDOWS_FAILED;
    SetScrollRange(hGlobalSymbol, SB_VERT, 0, SCROLL_RANGE, FALSE);

    HWND view = nullptr;
    if (!CreateTool(&view, "hViewWnd", "DARAD4_ViewWClass", eHeadlineText[TITLE_VIEW], FLOATING_STYLE,
                    o.viewPlacement, mainWindow, instance))
        return INIT_WINDOWS_FAILED;
    WindowInitRecord(&g_ViewWindow, view, FIRST_COORDINATE_SYSTEM);

    static const char *const DRAW_CLASSES[DRAW_WINDOWS] = {"DARAD4_DrawWClass1", "DARAD4_DrawWClass2",
                                                           "DARAD4_DrawWClass3", "DARAD4_DrawWClass4"};
    static const char *const DRAW_NAMES[DRAW_WINDOWS] = {"hDrawWnd[0]", "hDrawWnd[1]", "hDrawWnd[2]",
                                                         "hDrawWnd[3]"};
    const DWORD drawStyle = WS_CHILD | WS_CLIPSIBLINGS | (o.scrollVisible ? WS_HSCROLL | WS_VSCROLL : 0);
    for (int i = 0; i < DRAW_WINDOWS; ++i) {
        const RECT &f = g_WindowLayout.freeArea;
        HWND w = CreateWindowExA(0, DRAW_CLASSES[i], "", drawStyle, f.left, f.top, f.right - f.left,
                                 f.bottom - f.top, mainWindow, nullptr, instance, nullptr);
        if (!w)
            return CreateFailed(DRAW_NAMES[i]), INIT_WINDOWS_FAILED;
        WindowInitRecord(&g_DrawWindows[i], w, FIRST_COORDINATE_SYSTEM);
        g_DrawWindows[i].frameRect = f;
        if (o.scrollVisible)
            SetScrollRanges(w);
    }
    g_DrawWindowCount = 1;
    FileLoadProfileCharLibraries();
    FileLoadProfileLibraries();
    if (o.symbolVisible)
        StatusLoadSlotBlocks();
    // References into free slots repaired; pages, systems and the windows'
    // matrices of the first drawing computed.
    SystemValidateReferences();
    InitCreateMenus(mainWindow);
    // The modeless pen and layer tables exist from now on; they are shown on request.
    Box06LayerDialogCreate(mainWindow);
    Box05PenDialogCreate(mainWindow);
    return INIT_WINDOWS_DONE;
}

// ---------------------------------------------------------------------------
// Exit

uint32_t InitExitWindows()
{
    // The save question may keep the program running; from then on it is
    // closing.
    if (!FileQueryClose() || !FileQueryCloseLibraries())
        return 0;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    g_Closing = 1;
    InitDeleteResources(g_MainWnd);
    if (!g_OtherInstance) {
        SystemWriteMachineSettings();
        FileStoreProfileCharLibraries();
        FileStoreProfileLibraries();
        SystemWriteProfile();
    }
    return 1;
}
