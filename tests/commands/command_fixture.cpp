#include "command_fixture.h"

#include <cmath>

#include "app/darad4_draw.h"
#include "app/init_gdi.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/symbol_index.h"
#include "display/output.h"
#include "display/screen.h"

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_keys.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "common/test_commands.h"
#include "database/storage.h"
#include "database/undo.h"
#include "language/language.h"

namespace {

std::vector<int> s_Posted;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        s_Posted.push_back(LOWORD(wParam));
        return 0;
    }
    if (message == WM_CLOSE) {
        s_Posted.push_back(POSTED_CLOSE);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RecordCall(HWND, int command)
{
    CommandTest::Calls().push_back(
        {command, g_CommandState->pointIndex, g_ConstructionPoints[0].x, g_ConstructionPoints[0].y});
}

} // namespace

std::vector<HandlerCall> &CommandTest::Calls()
{
    static std::vector<HandlerCall> calls;
    return calls;
}

void CommandTest::SetUp()
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DARAD4_TestMainWClass";
        atom = RegisterClassA(&wc);
    }
    ASSERT_NE(atom, 0);
    main_ = CreateWindowExA(0, "DARAD4_TestMainWClass", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(main_, nullptr);
    g_MainWnd = main_;
    g_Running = 1;
    g_AppActive = 1;
    g_StartScreen = 0;
    g_Closing = 0;
    // No popup is open: a popup a test answered in place of the menu loop
    // never met the loop's idle step that clears this mark.
    g_PopupByRightButton = 0;
    SystemInitCommandDefaults(&g_CommandDefaults);
    SystemInitProgramOptions(&g_Options);
    SystemInitLocalData(&g_LocalData);
    g_CommandDigitEntry = 0;
    g_CommandSpaceZoom = SPACE_ZOOM_IDLE;
    TestStartCommand(501, 501);
    Calls().clear();
    TestPumpUntilIdle();
    s_Posted.clear();
}

void CommandTest::TearDown()
{
    for (auto &r : replaced_)
        r.first->handler = r.second;
    replaced_.clear();
    TestPumpUntilIdle();
    g_MainWnd = nullptr;
    if (main_)
        DestroyWindow(main_);
    g_Running = 0;
    g_AppActive = 0;
    CommandResetStates();
}

void CommandTest::Record(int number)
{
    CommandRange *r = const_cast<CommandRange *>(CommandFindRange(number));
    ASSERT_NE(r, nullptr);
    replaced_.emplace_back(r, r->handler);
    r->handler = RecordCall;
}

std::vector<int> CommandTest::Posted()
{
    TestPumpUntilIdle();
    std::vector<int> out;
    out.swap(s_Posted);
    return out;
}

void CommandTest::PrepareStorage()
{
    if (!g_Universal1) {
        ASSERT_EQ(MemInitWork(), 1);
    }
    mem_init_temp();
    MemFreeChunks();
    MemInitLists();
    // The block indexes pointed into the lists just freed.
    g_OwnBlockIndex.count = 0;
    g_LibraryBlockIndex.count = 0;
    ASSERT_EQ(MemEnlargeList(), 1);
}

void CommandTest::PrepareDrawing()
{
    ASSERT_NO_FATAL_FAILURE(PrepareStorage());
    SystemInitDrawing(0);
    SystemInitDrawingSettings(&g_DrawingSettings);
    UndoReset();
    g_UndoSteps = UNDO_WINDOW_DEFAULT;
}

void CommandTest::FreeStorage()
{
    MemFreeChunks();
    MemInitLists();
}

// ---------------------------------------------------------------------------

void DrawingWindowTest::SetUp()
{
    CommandTest::SetUp();
    SystemInitDrawing(0);
    SystemInitDrawingSettings(&g_DrawingSettings);
    ASSERT_NO_FATAL_FAILURE(PrepareStorage());
    InitCreateGdiResources();
    InitCreateScreenObjects();
    OutputResetAbort();
    g_OutputAbortHook = nullptr;
    g_Options.rulerVisible = 0;
    g_Options.buttonVisible = 0;
    g_Options.scrollVisible = 0;
    g_Options.viewVisible = 0;
    g_CursorPos = CursorPos{0, 0, 0, 0, 0.0, 0.0, 0.0, 0.0};
    WindowComputeScreenMetrics(1600, 1200, 400.0, 300.0, &g_ScreenMetrics);

    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = AppDrawWndProc1;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DARAD4_CommandTestDrawWClass";
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        atom = RegisterClassA(&wc);
    }
    ASSERT_NE(atom, 0);
    g_DrawWindowCount = 1;
    g_ActiveWindow = 0;
    g_PanelWindow = 0;
    RECT r{0, 0, AREA_W, AREA_H};
    AdjustWindowRect(&r, WS_POPUP, FALSE);
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST, "DARAD4_CommandTestDrawWClass", "drawing", WS_POPUP, 0, 0,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hwnd_, nullptr);
    WindowInitRecord(&g_DrawWindows[0], hwnd_, 0);
    WindowUpdateAllSystems();
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 1.0);
    g_RelayoutPending = 0;
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
    TestPumpUntilIdle();
    Posted();
}

void DrawingWindowTest::TearDown()
{
    ScreenHideCrosshairs();
    if (hwnd_)
        DestroyWindow(hwnd_);
    WindowInitRecord(&g_DrawWindows[0], nullptr, 0);
    FreeStorage();
    CommandTest::TearDown();
}

DrawWindow &DrawingWindowTest::W() { return g_DrawWindows[0]; }

POINT DrawingWindowTest::Pixel(double x, double y)
{
    double px, py;
    MatrixApply(W().MatrixMMToPixel, x, y, &px, &py);
    return POINT{static_cast<LONG>(std::floor(px + 0.5)), static_cast<LONG>(std::floor(py + 0.5))};
}

void DrawingWindowTest::Send(UINT message, int x, int y, WPARAM wParam)
{
    SendMessageA(hwnd_, message, wParam, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

void DrawingWindowTest::ClickAt(double x, double y)
{
    const POINT p = Pixel(x, y);
    Send(WM_MOUSEMOVE, p.x, p.y);
    Send(WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
    Send(WM_LBUTTONUP, p.x, p.y);
}

POINT DrawingWindowTest::Centre(const RECT &r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void DialogDrawingWindowTest::SetUp()
{
    DrawingWindowTest::SetUp();
    UndoReset();
    g_UndoSteps = UNDO_WINDOW_DEFAULT;
    savedModule_ = g_LanguageModule;
    g_LanguageModule = GetModuleHandleA("language.dll");
    WindowResetUnits(&g_DrawWindows[0]);
    savedWindow_ = g_ConvertState.window;
    g_ConvertState.window = &g_DrawWindows[0];
}

void DialogDrawingWindowTest::TearDown()
{
    g_LanguageModule = savedModule_;
    g_ConvertState.window = savedWindow_;
    DrawingWindowTest::TearDown();
}
