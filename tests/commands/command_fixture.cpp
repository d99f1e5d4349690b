#include "command_fixture.h"

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_keys.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "common/test_commands.h"
#include "database/storage.h"

namespace {

std::vector<int> s_Posted;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        s_Posted.push_back(LOWORD(wParam));
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
    ASSERT_EQ(MemEnlargeList(), 1);
}

void CommandTest::FreeStorage()
{
    MemFreeChunks();
    MemInitLists();
}
