// Start-up, message loop and shut-down: WinMain, the start-up sequence and
// the main window's start and close messages.
#include "app/darad4.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/init.h"
#include "app/init_menulayout.h"
#include "app/init_help.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "app/darad4_draw.h"
#include "app/darad4_menu.h"
#include "app/darad4_start.h"
#include "app/status.h"
#include "app/window.h"
#include "app/window_layout.h"
#include "app/write_refresh.h"
#include "app/write_tablet.h"
#include "commands/input.h"
#include "app/window_title.h"
#include "database/undo.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "dialogs/box05_pens.h"
#include "dialogs/alert.h"
#include "language/language.h"
#include "plugin/zvi.h"
#include "plugin/zvi_module.h"

HINSTANCE g_Instance = nullptr;
HWND g_MainWnd = nullptr;
uint32_t g_ClosePending = 0;
int32_t g_ScreenColorBits = 0;
int32_t g_ScreenPpiX = 0;
int32_t g_ScreenPpiY = 0;

HACCEL g_Accelerators = nullptr;
uint32_t g_Running = 0;
uint32_t g_StartScreen = 0;
uint32_t g_AppActive = 0;
HWND g_LastActivePopup = nullptr;
uint32_t g_OtherInstance = 0;
uint32_t g_Closing = 0;
uint32_t g_OsBuild = 0, g_OsMajor = 0, g_OsMinor = 0;
uint32_t g_IsWin9x = 0;

char g_StartFile[START_PATH_SIZE] = "";
uint32_t g_StartFileExists = 0;
uint32_t g_StartPrint = 0;
char g_StartTimeText[START_TIME_TEXT_SIZE] = "";

UINT g_ClipboardFormatZvd = 0;
UINT g_MsgInvalid = 0, g_MsgClick = 0, g_MsgLayer1 = 0, g_MsgLayer2 = 0, g_MsgPen1 = 0, g_MsgPen2 = 0;

HWND hGlobalPanel = nullptr, hGlobalProp = nullptr, hGlobalPen = nullptr, hGlobalLayer = nullptr,
     hGlobalSymbol = nullptr, hGlobalStatus = nullptr, hGlobalToolbox = nullptr, hGlobalGuide = nullptr,
     hGlobalTooltip = nullptr;
HWND hGlobalPenDialog = nullptr, hGlobalLayerDialog = nullptr;

LanguageExchangeBlock g_LanguageInitBlock;

namespace {

constexpr DWORD VERSION_INFO_SIZE = 148;
constexpr DWORD MINIMUM_MAJOR_VERSION = 4;
constexpr int TEXT_OLD_WINDOWS = 74;      // eAlertTextSM
constexpr int TEXT_INIT_FAILED = 0;       // eAlertTextSM
constexpr int TEXT_MODAL_OPEN = 23;       // eAlertTextSM
constexpr int TEXT_PROGRAM_CAPTION = 1;   // eStartUpText1
constexpr int TEXT_UNTITLED = 0;          // eDefaultNames
constexpr int TEXT_PROGRAM_TITLE = 12;    // eStatusTexts
constexpr int TITLE_SIZE = 512;
constexpr WORD COMMAND_FIRST = 100;
constexpr WORD COMMAND_LAST = 7903;

// ---------------------------------------------------------------------------
// Command line

// The next blank-separated or double-quoted token; the position behind it, or
// null when none is left. The token is copied whole into out (which has room
// for the whole command line).
const char *NextToken(const char *text, char *out)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    if (!*text)
        return nullptr;
    size_t n = 0;
    if (*text == '"') {
        ++text;
        while (*text && *text != '"')
            out[n++] = *text++;
        if (*text == '"')
            ++text;
    } else {
        while (*text && *text != ' ' && *text != '\t')
            out[n++] = *text++;
    }
    out[n] = 0;
    return text;
}

} // namespace

int AppFileExists(const char *path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void AppSplitCommandLine(const char *commandLine, FileExistsProc exists, StartCommand *out)
{
    *out = StartCommand{};
    if (!commandLine)
        return;
    // Every token fits this buffer; only then is its length compared with the
    // file buffer, so a long name is never cut into another name.
    const size_t length = std::strlen(commandLine);
    char *token = new char[length + 1];
    for (const char *p = NextToken(commandLine, token); p; p = NextToken(p, token)) {
        if (token[0] == '/' || token[0] == '-') {
            const char print[3] = {token[0], 'p', 0};
            if (lstrcmpiA(token, print) == 0)
                out->print = 1;
            continue;
        }
        if (out->fileExists || std::strlen(token) >= sizeof out->file)
            continue;
        std::memcpy(out->file, token, std::strlen(token) + 1);
        out->fileExists = exists && exists(out->file) ? 1 : 0;
    }
    delete[] token;
}

// ---------------------------------------------------------------------------
// Classes

namespace {

struct ClassEntry {
    const char *name;
    WNDPROC procedure;
    UINT style;
    const char *icon; // null: none
    bool iconFromLanguage;
    bool arrowCursor;
    int brushColor;   // system colour index; -1: a solid info-background brush
};

constexpr UINT TOOL_STYLE = CS_HREDRAW | CS_VREDRAW;
const ClassEntry CLASSES[] = {
    {"DARAD4_MainWClass", AppMainWndProc, CS_BYTEALIGNWINDOW | CS_HREDRAW | CS_VREDRAW, "IDI_LOGO", true, true,
     COLOR_BTNSHADOW},
    {"DARAD4_PanelWClass", AppPanelWndProc, TOOL_STYLE, "IDI_TPANEL", false, false, COLOR_BTNFACE},
    {"DARAD4_PropWClass", AppPropWndProc, TOOL_STYLE, "IDI_TPROP", false, false, COLOR_BTNFACE},
    {"DARAD4_SymbolWClass", AppSymbolWndProc, TOOL_STYLE, "IDI_TBLOCK", false, false, COLOR_BTNFACE},
    {"DARAD4_PenWClass", AppPenWndProc, TOOL_STYLE, "IDI_TPEN", false, false, COLOR_WINDOW},
    {"DARAD4_LayerWClass", AppLayerWndProc, TOOL_STYLE, "IDI_TLAYER", false, false, COLOR_WINDOW},
    {"DARAD4_StatusWClass", AppStatusWndProc, TOOL_STYLE, "IDI_TSTATUS", false, false, COLOR_BTNFACE},
    {"DARAD4_ToolboxWClass", AppToolboxWndProc, TOOL_STYLE, "IDI_TTOOLBOX", false, false, COLOR_BTNFACE},
    {"DARAD4_GuideWClass", AppGuideWndProc, TOOL_STYLE, "IDI_TGUIDE", false, false, COLOR_WINDOW},
    {"DARAD4_ViewWClass", AppViewWndProc, TOOL_STYLE, "IDI_TVIEW", false, false, COLOR_WINDOW},
    {"DARAD4_DrawWClass1", AppDrawWndProc1, TOOL_STYLE, nullptr, false, false, COLOR_WINDOW},
    {"DARAD4_DrawWClass2", AppDrawWndProc2, TOOL_STYLE, nullptr, false, false, COLOR_WINDOW},
    {"DARAD4_DrawWClass3", AppDrawWndProc3, TOOL_STYLE, nullptr, false, false, COLOR_WINDOW},
    {"DARAD4_DrawWClass4", AppDrawWndProc4, TOOL_STYLE, nullptr, false, false, COLOR_WINDOW},
    {"DARAD4_TimedFlagClass", WindowTimedFlagProc, CS_BYTEALIGNWINDOW | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW,
     nullptr, false, true, -1},
};

struct MessageEntry {
    const char *name;  // registered name
    const char *shown; // name in the failure text
    UINT *id;
};
const MessageEntry MESSAGES[] = {
    {"DARAD4_INVALID", "DARAD4 INVALID", &g_MsgInvalid}, {"DARAD4_CLICK", "DARAD4 CLICK", &g_MsgClick},
    {"DARAD4_LAYER1", "DARAD4 LAYER1", &g_MsgLayer1},    {"DARAD4_LAYER2", "DARAD4 LAYER2", &g_MsgLayer2},
    {"DARAD4_PEN1", "DARAD4 PEN1", &g_MsgPen1},          {"DARAD4_PEN2", "DARAD4 PEN2", &g_MsgPen2},
};

uint32_t RegisterFailed(const char *format, const char *name)
{
    char text[128];
    std::snprintf(text, sizeof text, format, name);
    InitErrorBox(__FILE__, __LINE__, text);
    return 0;
}

uint32_t RegisterOneClass(const ClassEntry &c)
{
    WNDCLASSA wc{};
    wc.style = c.style;
    wc.lpfnWndProc = c.procedure;
    wc.hInstance = g_Instance;
    if (c.icon)
        wc.hIcon = LoadIconA(c.iconFromLanguage ? g_LanguageModule : g_Instance, c.icon);
    if (c.arrowCursor)
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = c.brushColor < 0 ? CreateSolidBrush(GetSysColor(COLOR_INFOBK))
                                        : reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(c.brushColor + 1));
    wc.lpszClassName = c.name;
    if (RegisterClassA(&wc))
        return 1;
    // A second start-up in the same process (tests) finds its classes there.
    if (GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        return 1;
    return RegisterFailed("Unable to register class \"%s\".", c.name);
}

} // namespace

uint32_t AppRegisterClasses()
{
    g_ClipboardFormatZvd = RegisterClipboardFormatA("Quirn++Valsev CAD");
    if (!g_ClipboardFormatZvd)
        return RegisterFailed("Unable to register clipboard format \"%s\".", "Quirn++Valsev CAD");
    for (const MessageEntry &m : MESSAGES) {
        *m.id = RegisterWindowMessageA(m.name);
        if (!*m.id)
            return RegisterFailed("Unable to register private message \"%s\".", m.shown);
    }
    for (const ClassEntry &c : CLASSES)
        if (!RegisterOneClass(c))
            return 0;
    return 1;
}

// ---------------------------------------------------------------------------
// Main window

namespace {

void ReadScreen()
{
    InitReadScreenSize();
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    if (!dc)
        return;
    g_ScreenColorBits = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    g_ScreenPpiX = GetDeviceCaps(dc, LOGPIXELSX);
    g_ScreenPpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(desktop, dc);
}

bool IsNormalShow(int showCommand)
{
    return showCommand == SW_SHOWNORMAL || showCommand == SW_SHOWMAXIMIZED || showCommand == SW_SHOW ||
           showCommand == SW_RESTORE;
}

// Tool windows appear without taking the activation: the keyboard belongs
// to the main window (and its active drawing window) from the start.
void ShowTool(HWND window, uint32_t visible)
{
    if (!window || !visible)
        return;
    ShowWindow(window, SW_SHOWNA);
    UpdateWindow(window);
}

// The show command a program started without one in its start-up
// information gets is SW_SHOWDEFAULT; it means what the start-up
// information says, and without a word there a normal window.
int ResolveShowCommand(int showCommand)
{
    if (showCommand != SW_SHOWDEFAULT)
        return showCommand;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    return (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWNORMAL;
}

// Start-up ended after the main window exists: nothing may be left behind.
// The closing flag keeps the handlers out of what is released.
uint32_t AbandonMainWindow(bool drawingDataReady)
{
    g_Closing = 1;
    InitDeleteResources(g_MainWnd);
    if (drawingDataReady)
        InitExit();
    if (g_MainWnd)
        DestroyWindow(g_MainWnd);
    g_Running = 0;
    return 0;
}

} // namespace

uint32_t AppCreateMainWindow(int showCommand)
{
    g_Accelerators = LoadAcceleratorsA(g_Instance, "ShortMenu");
    g_OtherInstance = FindWindowA("DARAD4_MainWClass", nullptr) ? 1 : 0;
    ReadScreen();

    SystemReadProfile();
    g_UndoSteps = g_Options.undoSteps;
    UndoApplySteps();

    char title[TITLE_SIZE];
    std::snprintf(title, sizeof title, "%s - %s", eDefaultNames[TEXT_UNTITLED], eStatusTexts[TEXT_PROGRAM_TITLE]);
    showCommand = ResolveShowCommand(showCommand);
    const WindowPlacement &p = g_Options.appPlacement;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = CW_USEDEFAULT, h = CW_USEDEFAULT;
    if (p.keep) {
        x = p.pos.x;
        y = p.pos.y;
        w = p.size.cx;
        h = p.size.cy;
        if (IsNormalShow(showCommand))
            showCommand = SW_SHOW;
    } else if (IsNormalShow(showCommand)) {
        showCommand = SW_SHOWMAXIMIZED;
    }
    HWND main = CreateWindowExA(0, "DARAD4_MainWClass", title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, w,
                                h, nullptr, nullptr, g_Instance, nullptr);
    g_MainWnd = main;
    if (!main || !g_Running)
        return AbandonMainWindow(false);

    InitClearModules();
    PluginLoadAll();
    InitBuildMenuLayout(g_MenuTemplate, g_MenuLayout, MENU_LAYOUT_SIZE);
    if (InitInit(g_Instance, g_MainWnd) == 2) {
        AlertOk(g_MainWnd, eAlertTextSM[TEXT_INIT_FAILED]);
        return AbandonMainWindow(false);
    }
    ShowWindow(g_MainWnd, showCommand);
    InvalidateRect(g_MainWnd, nullptr, TRUE);
    UpdateWindow(g_MainWnd);

    switch (InitCreateWindows(g_Instance, g_MainWnd)) {
    case INIT_WINDOWS_DONE: break;
    case INIT_WINDOWS_CANCELLED: return AbandonMainWindow(true);
    default: AlertNoDialog(g_MainWnd); return AbandonMainWindow(true);
    }

    g_AppActive = 0;
    g_StartScreen = 0;
    g_ModalDepth = 0;
    g_PenListDirty = 0;
    g_LayerListDirty = 0;
    WindowArrange(g_MainWnd);
    InvalidateRect(g_MainWnd, nullptr, TRUE);
    UpdateWindow(g_MainWnd);

    const ProgramOptions &o = g_Options;
    ShowTool(hGlobalPanel, o.panelVisible);
    ShowTool(hGlobalProp, o.propertyVisible);
    ShowTool(hGlobalPen, o.penVisible);
    ShowTool(hGlobalLayer, o.layerVisible);
    if (hGlobalSymbol && o.symbolVisible)
        SetWindowPos(hGlobalSymbol, nullptr, o.symbolPlacement.pos.x, o.symbolPlacement.pos.y,
                     o.symbolPlacement.size.cx, o.symbolPlacement.size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowTool(hGlobalSymbol, o.symbolVisible);
    ShowTool(hGlobalStatus, o.statusVisible);
    ShowTool(hGlobalToolbox, o.toolboxVisible);
    ShowTool(hGlobalGuide, o.guideVisible);

    g_RelayoutPending = 1;
    for (int i = 0; i < g_DrawWindowCount && i < DRAW_WINDOWS; ++i)
        ShowTool(g_DrawWindows[i].hwnd, 1);
    ShowTool(g_ViewWindow.hwnd, o.viewVisible);
    g_RelayoutPending = 0;
    if (o.layerDialogVisible)
        Box06LayerDialogShow(g_ActiveLayer);
    if (o.penDialogVisible)
        Box05PenDialogShow(g_ActivePen);
    AppStartFirstCommand();
    AppFocusMainWindow();
    return 1;
}

void AppFocusMainWindow()
{
    if (!g_MainWnd || !IsWindowVisible(g_MainWnd) || IsIconic(g_MainWnd))
        return;
    if (GetActiveWindow() != g_MainWnd)
        SetActiveWindow(g_MainWnd);
    SetFocus(g_MainWnd);
}

namespace {

// Paints what was uncovered while another program was active, before the
// crosshair may be drawn again: the frame, the tool windows and tables, and
// the drawing and view windows (also those whose view changed meanwhile).
void UpdatePendingWindows(HWND mainWindow)
{
    for (HWND w : {mainWindow, hGlobalPanel, hGlobalProp, hGlobalPen, hGlobalPenTree, hGlobalLayer, hGlobalLayerTree,
                   hGlobalSymbol, hGlobalStatus, hGlobalToolbox, hGlobalGuide, hGlobalLayerDialog, hGlobalPenDialog})
        if (w)
            UpdateWindow(w);
    for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i)
        if (g_DrawWindows[i].hwnd)
            UpdateWindow(g_DrawWindows[i].hwnd);
    if (g_Options.viewVisible && g_ViewWindow.hwnd)
        UpdateWindow(g_ViewWindow.hwnd);
    OutputRedrawAll(0);
}

} // namespace

void AppMainActivateApp(HWND mainWindow, BOOL active)
{
    if (!active) {
        g_LastActivePopup = g_ModalDepth > 0 ? GetLastActivePopup(mainWindow) : nullptr;
        g_AppActive = 0;
        OutputHideCrosshair();
        return;
    }
    g_AppActive = 0;
    UpdatePendingWindows(mainWindow);
    g_AppActive = 1;
    if (g_ModalDepth > 0 && g_LastActivePopup && IsWindow(g_LastActivePopup)) {
        if (GetActiveWindow() != g_LastActivePopup)
            SetActiveWindow(g_LastActivePopup);
        SetFocus(g_LastActivePopup);
    } else if (GetActiveWindow() == mainWindow) {
        // Only when the main window itself is being activated: a click that
        // brought the program back through a modeless table leaves it there.
        SetFocus(mainWindow);
    }
    g_LastActivePopup = nullptr;
}

int AppTabletEnableWanted(POINT p, int overClient, int screenWidth, int screenHeight)
{
    const bool wellInside = p.x > 1 && p.y > 1 && p.x < screenWidth - 2 && p.y < screenHeight - 2;
    return wellInside && !overClient ? 0 : 1;
}

void AppMainSetCursor(int hit)
{
    const bool overClient = hit == HTCLIENT;
    if (!overClient) {
        // Outside the drawing the status bar shows no stale coordinates;
        // a crosshair or a rubber band left behind is taken away instead.
        if (g_InputFeedbackWindow < 0 && !g_CursorPos.shown)
            WriteRefreshStatus();
        else
            OutputHideCrosshair();
    }
    if (g_TabletActive) {
        POINT p;
        GetCursorPos(&p);
        WriteWTEnable(g_TabletContext, AppTabletEnableWanted(p, overClient, GetSystemMetrics(SM_CXSCREEN),
                                                             GetSystemMetrics(SM_CYSCREEN)));
    }
    if (WindowIsOwnPopupActive())
        ZVI_DialogPopupMove(GetActiveWindow());
}

void AppMainTimer()
{
    if (g_StartScreen || g_Closing)
        return;
    // The crosshair follows the mouse only inside the drawing windows: once
    // the mouse has left them, nothing else would erase it.
    if (g_CursorPos.shown && ScreenTrackCursor() < 0)
        ScreenCrosshairOff();
    // The modeless tables reload what changed in the drawing meanwhile.
    if (g_PenListDirty && g_Options.penDialogVisible && hGlobalPenDialog) {
        g_PenListDirty = 0;
        PostMessageA(hGlobalPenDialog, g_MsgPen2, 0, 0);
    }
    if (g_LayerListDirty && g_Options.layerDialogVisible && hGlobalLayerDialog) {
        g_LayerListDirty = 0;
        PostMessageA(hGlobalLayerDialog, g_MsgLayer2, 0, 0);
    }
    // Key releases that went to another window.
    AppMainTimerKeys();
    if (g_Options.toolboxVisible && hGlobalToolbox)
        StatusToolboxHoldTimer(hGlobalToolbox);
}

uint32_t AppInit(const char *commandLine, int showCommand)
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = VERSION_INFO_SIZE;
    GetVersionExA(&version);
    g_OsBuild = version.dwBuildNumber;
    g_OsMajor = version.dwMajorVersion;
    g_OsMinor = version.dwMinorVersion;
    g_IsWin9x = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
    if (version.dwPlatformId == VER_PLATFORM_WIN32s || version.dwMajorVersion < MINIMUM_MAJOR_VERSION) {
        MessageBoxA(nullptr, eAlertTextSM[TEXT_OLD_WINDOWS], eStartUpText1[TEXT_PROGRAM_CAPTION], MB_OK);
        return 0;
    }

    if (!InitLoadLanguage(g_Instance, &g_LanguageInitBlock))
        return 0;
    SystemReadMachineSettings();

    StartCommand start;
    AppSplitCommandLine(commandLine, AppFileExists, &start);
    std::memcpy(g_StartFile, start.file, sizeof g_StartFile);
    g_StartFileExists = start.fileExists;
    g_StartPrint = start.print;
    g_SettingsImported = 0;

    g_AppActive = 0;
    g_StartScreen = 1;
    g_Closing = 0;
    g_Running = 1;

    if (!AppRegisterClasses()) {
        InitFreeLanguage();
        return 0;
    }
    InitCommonControls();
    if (!AppCreateMainWindow(showCommand)) {
        InitFreeLanguage();
        return 0;
    }
    g_AppActive = 1;

    char sound[SYSTEM_PATH_SIZE + 16];
    StatusCreateTooltips();
    std::snprintf(sound, sizeof sound, "%szv4init.wav", g_PathServer);
    InitPlaySound(sound);
    return 1;
}

uint32_t AppExit()
{
    StatusDestroyTooltips();
    char sound[SYSTEM_PATH_SIZE + 16];
    std::snprintf(sound, sizeof sound, "%szv4exit.wav", g_PathServer);
    InitPlaySound(sound);
    return InitFreeLanguage();
}

int AppRunMessageLoop()
{
    MSG msg{};
    // The quit message's code, or 0 when the loop ends because the program
    // stopped running (the last message dispatched says nothing about that).
    int exitCode = 0;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1)
            break;
        if (hGlobalPenDialog && IsDialogMessageA(hGlobalPenDialog, &msg))
            continue;
        if (hGlobalLayerDialog && IsDialogMessageA(hGlobalLayerDialog, &msg))
            continue;
        if (!g_Accelerators || !TranslateAcceleratorA(g_MainWnd, g_Accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!g_Running)
            break;
        if (g_ClosePending && g_ModalDepth == 0) {
            g_ClosePending = 0;
            PostMessageA(g_MainWnd, WM_CLOSE, 0, 0);
        }
    }
    return exitCode;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    g_MainWnd = nullptr;
    g_Instance = instance;
    if (!AppInit(commandLine, showCommand))
        return 0;
    PostMessageA(g_MainWnd, WM_COMMAND, COMMAND_START_UP, 0);
    return AppRunMessageLoop();
}

// ---------------------------------------------------------------------------
// The main window's start and close messages

namespace {

// The help files of the program's folder.
void QuitHelp(HWND window)
{
    static const char *const HELP_FILES[] = {"darad4.hlp", "startup.hlp"};
    for (const char *file : HELP_FILES) {
        char path[SYSTEM_PATH_SIZE + 16];
        std::snprintf(path, sizeof path, "%s%s", g_PathServer, file);
        InitWinHelp(window, path, HELP_QUIT, 0);
    }
}

void DestroyTool(HWND *handle)
{
    if (*handle && IsWindow(*handle))
        DestroyWindow(*handle);
    *handle = nullptr;
}

void OnDestroy(HWND window)
{
    QuitHelp(window);
    for (HWND *tool : {&hGlobalPanel, &hGlobalProp, &hGlobalPen, &hGlobalLayer, &hGlobalSymbol, &hGlobalStatus,
                       &hGlobalToolbox, &hGlobalGuide, &hGlobalLayerDialog, &hGlobalPenDialog})
        DestroyTool(tool);
    DragAcceptFiles(window, FALSE);
    AppExit();
    PostQuitMessage(0);
}

// The main window's place is kept for the next start, but never a
// minimised window's: its iconic position lies off every screen. force lays
// the windows out again even when the rectangle did not change.
void RememberPlacement(HWND window, bool force)
{
    if (IsIconic(window))
        return;
    RECT r{};
    GetWindowRect(window, &r);
    WindowPlacement &p = g_Options.appPlacement;
    const POINT pos{r.left, r.top};
    const SIZE size{r.right - r.left, r.bottom - r.top};
    const bool same = p.pos.x == pos.x && p.pos.y == pos.y && p.size.cx == size.cx && p.size.cy == size.cy;
    if (same && !force)
        return;
    p.pos = pos;
    p.size = size;
    if (!g_StartScreen && !g_Closing)
        WindowArrange(window);
}

void PaintMain(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!g_Closing) {
        if (g_StartScreen) {
            AppPaintStartScreen(window, dc, ps.rcPaint);
        } else {
            FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
            WindowUpdateTitle(window);
        }
    }
    EndPaint(window, &ps);
}

// 1 when the window was closed, 0 when the user kept the program running.
int CloseMain(HWND window)
{
    ScreenCrosshairOff();
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (!InitExitWindows()) {
        // The user kept the program: the windows the question covered come
        // back, and the active drawing window takes the keyboard again.
        OutputRedrawAll(1);
        WindowSetActive(g_ActiveWindow, 0);
        return 0;
    }
    InitExit();
    DestroyWindow(window);
    g_Running = 0;
    return 1;
}

} // namespace

LRESULT CALLBACK AppMainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g_MainWnd = window;
        if (!InitCreateResources(window)) {
            AlertNoDialog(window);
            g_Running = 0;
        }
        DragAcceptFiles(window, TRUE);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_NCDESTROY:
        if (g_MainWnd == window)
            g_MainWnd = nullptr;
        break;
    case WM_MOVE:
    case WM_SIZE:
        RememberPlacement(window, false);
        return 0;
    case MSG_MAIN_RELAYOUT:
        RememberPlacement(window, true);
        return 0;
    case WM_ACTIVATE:
        if (g_StartScreen || g_Closing)
            return 0;
        if (LOWORD(wParam) != WA_INACTIVE) {
            g_AppActive = 1;
            WindowRaiseFloatingTools();
            SetFocus(window);
        } else {
            g_AppActive = 0;
            OutputHideCrosshair();
        }
        return 0;
    case WM_ACTIVATEAPP:
        if (!g_StartScreen && !g_Closing)
            AppMainActivateApp(window, BOOL(wParam));
        return 0;
    case WM_SETCURSOR:
        if (short(LOWORD(lParam)) == HTERROR && HIWORD(lParam) == WM_LBUTTONDOWN && StatusPressOnDisabledFrame())
            return TRUE;
        if (!g_StartScreen && !g_Closing)
            AppMainSetCursor(LOWORD(lParam));
        break;
    case WM_PAINT:
        PaintMain(window);
        return 0;
    case WM_MOUSEWHEEL:
        if (!g_StartScreen && !g_Closing)
            AppMainMouseWheel(wParam);
        return 0;
    case WM_CLOSE:
        // A modal dialog or a progress window is running an operation whose
        // state the close would free under it: the close is carried out when
        // the message loop has the program to itself again.
        if (g_ModalDepth > 0) {
            g_ClosePending = 1;
            return 0;
        }
        CloseMain(window);
        return 0;
    case WM_QUERYENDSESSION:
        if (g_ModalDepth > 0) {
            MessageBoxA(window, eAlertTextSM[TEXT_MODAL_OPEN], eStartUpText1[TEXT_PROGRAM_CAPTION],
                        MB_ICONSTOP | MB_TASKMODAL);
            return 0;
        }
        return CloseMain(window);
    case WM_TIMER:
        AppMainTimer();
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (!g_StartScreen && !g_Closing)
            AppMainKey(message, wParam, lParam);
        return 0;
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id < COMMAND_FIRST || id > COMMAND_LAST)
            break;
        if (!g_Closing)
            AppMainCommand(id);
        return 0;
    }
    default: {
        LRESULT result = 0;
        if (!g_Closing && AppMainMenuMessage(window, message, wParam, lParam, &result))
            return result;
        break;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
