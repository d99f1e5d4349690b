// Progress windows with an injected clock, the timed flag and external
// processes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/window_progress.h"
#include "database/storage.h"
#include "display/output.h"

namespace {

constexpr UINT MSG_COUNT = WM_APP + 1; // counted by the test window
constexpr UINT MSG_HIDE = WM_APP + 2;  // ends the progress while it reports

DWORD s_Now = 0;
int s_Dispatched = 0;
int s_Saved = 0, s_Restored = 0, s_Unbalanced = 0;
int s_ModalDepth = 0;
HWND s_LastBar = nullptr;
int32_t s_LastDone = -1, s_LastTotal = -1;
uint32_t s_FlagDuration = TIMED_FLAG_DEFAULT_MS;

DWORD WINAPI FakeTicks()
{
    return s_Now;
}

void *SaveState()
{
    ++s_Saved;
    return &s_Saved;
}

void RestoreState(void *snapshot)
{
    ++s_Restored;
    if (snapshot != &s_Saved || s_Restored != s_Saved)
        ++s_Unbalanced;
}

void DrawBar(HWND bar, int32_t done, int32_t total)
{
    s_LastBar = bar;
    s_LastDone = done;
    s_LastTotal = total;
}

void ChangeModalDepth(int delta)
{
    s_ModalDepth += delta;
}

uint32_t FlagDuration()
{
    return s_FlagDuration;
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == MSG_COUNT) {
        ++s_Dispatched;
        return 0;
    }
    if (message == MSG_HIDE) {
        WindowHideProgress();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string ItemText(int id)
{
    char text[PROGRESS_TEXT_SIZE] = {};
    GetDlgItemTextA(g_Progress.dialog, id, text, sizeof text);
    return text;
}

std::string Caption()
{
    char text[PROGRESS_TEXT_SIZE] = {};
    GetWindowTextA(g_Progress.dialog, text, sizeof text);
    return text;
}

void DrainMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ProgressTestOwner";
        RegisterClassA(&wc);
        m_Owner = CreateWindowExA(0, "ProgressTestOwner", "owner", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr,
                                  nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(m_Owner);
        ShowWindow(m_Owner, SW_SHOW);
        SetActiveWindow(m_Owner);
        DrainMessages();
        s_Now = 10000;
        s_Dispatched = s_Saved = s_Restored = s_Unbalanced = 0;
        s_ModalDepth = 0;
        s_LastBar = nullptr;
        s_LastDone = s_LastTotal = -1;
        g_WindowTickCount = FakeTicks;
        m_SavedLinks = g_WindowProgressLinks;
        g_WindowProgressLinks = {};
        g_WindowProgressLinks.saveDispatchState = SaveState;
        g_WindowProgressLinks.restoreDispatchState = RestoreState;
        g_WindowProgressLinks.drawProgressBar = DrawBar;
        g_WindowProgressLinks.changeModalDepth = ChangeModalDepth;
        g_WindowProgressLinks.timedFlagDuration = FlagDuration;
    }
    void TearDown() override
    {
        while (g_Progress.nesting > 0)
            WindowHideProgress();
        WindowHideMasterProgress();
        DestroyWindow(m_Owner);
        DrainMessages();
        g_WindowTickCount = GetTickCount;
        g_WindowProgressLinks = m_SavedLinks;
    }
    HWND m_Owner = nullptr;
    WindowProgressLinks m_SavedLinks{};
};

} // namespace

TEST_F(ProgressTest, ShowOwnsAndDisablesTheActiveWindow)
{
    ASSERT_EQ(WindowShowProgress("Reading", "drawing.zvd", 1), 1);
    ASSERT_TRUE(IsWindow(g_Progress.dialog));
    EXPECT_EQ(g_Progress.owner, m_Owner);
    EXPECT_EQ(GetWindow(g_Progress.dialog, GW_OWNER), m_Owner);
    EXPECT_FALSE(IsWindowEnabled(m_Owner));
    EXPECT_EQ(g_ProgressShown, 1u);
    EXPECT_EQ(s_ModalDepth, 1);
    EXPECT_EQ(Caption(), "Reading");
    EXPECT_EQ(ItemText(IDC_PROGRESS_TEXT), "drawing.zvd");
    EXPECT_TRUE(GetDlgItem(g_Progress.dialog, IDC_PROGRESS_BAR));
    HWND dialog = g_Progress.dialog;
    WindowHideProgress();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(m_Owner));
    EXPECT_EQ(g_ProgressShown, 0u);
    EXPECT_EQ(g_Progress.nesting, 0u);
    EXPECT_EQ(s_ModalDepth, 0);

    // Without a bar: the texts-only template.
    ASSERT_EQ(WindowShowProgress("Writing", "x", 0), 1);
    EXPECT_FALSE(GetDlgItem(g_Progress.dialog, IDC_PROGRESS_BAR));
    WindowHideProgress();
}

TEST_F(ProgressTest, UpdatesAreThrottledTo200Milliseconds)
{
    ASSERT_EQ(WindowShowProgress("Reading", "file", 1), 1);
    HWND bar = GetDlgItem(g_Progress.dialog, IDC_PROGRESS_BAR);

    // The first report refreshes at once (the last refresh was "never").
    WindowUpdateProgress("line a", "line b", 5, 10);
    EXPECT_EQ(ItemText(IDC_PROGRESS_TEXT1), "line a");
    EXPECT_EQ(ItemText(IDC_PROGRESS_TEXT2), "line b");
    EXPECT_EQ(s_LastBar, bar);
    EXPECT_EQ(s_LastDone, 5);
    EXPECT_EQ(s_LastTotal, 10);

    // The first refresh pumped whatever was pending (the new dialog's paint
    // arrives when the display gets to it): count from here.
    s_Dispatched = s_Saved = s_Restored = 0;

    // 150 ms later: the values are kept but nothing is shown or dispatched.
    PostMessageA(m_Owner, MSG_COUNT, 0, 0);
    s_Now += 150;
    s_LastBar = nullptr;
    WindowUpdateProgress("line c", nullptr, 7, -1);
    EXPECT_EQ(g_Progress.pos, 7);
    EXPECT_STREQ(g_Progress.text1, "line c");
    EXPECT_EQ(ItemText(IDC_PROGRESS_TEXT1), "line a");
    EXPECT_EQ(s_LastBar, nullptr);
    EXPECT_EQ(s_Dispatched, 0);
    EXPECT_EQ(s_Saved, 0);

    // 199 ms after the refresh: still closed.
    s_Now += 49;
    WindowUpdateProgress(nullptr, nullptr, -1, -1);
    EXPECT_EQ(s_Dispatched, 0);

    // 200 ms: refreshed and pumped; a null text and -1 keep what was there.
    s_Now += 1;
    WindowUpdateProgress(nullptr, nullptr, -1, -1);
    EXPECT_EQ(s_Dispatched, 1);
    EXPECT_EQ(ItemText(IDC_PROGRESS_TEXT1), "line c");
    EXPECT_EQ(ItemText(IDC_PROGRESS_TEXT2), "line b");
    EXPECT_EQ(s_LastDone, 7);
    EXPECT_EQ(s_LastTotal, 10);
    // The output state and list filter were saved and restored around the dispatch.
    EXPECT_GE(s_Saved, 1);
    EXPECT_EQ(s_Saved, s_Restored);
    EXPECT_EQ(s_Unbalanced, 0);
    EXPECT_EQ(g_Progress.lastUpdate, s_Now);
}

TEST_F(ProgressTest, NestingAndCancel)
{
    ASSERT_EQ(WindowShowProgress("Outer", "outer text", 1), 1);
    HWND dialog = g_Progress.dialog;
    WindowUpdateProgress("detail", nullptr, 3, 9);
    ASSERT_EQ(WindowShowProgress("Inner", "inner text", 0), 1);
    EXPECT_EQ(g_Progress.nesting, 2u);
    EXPECT_EQ(g_Progress.dialog, dialog); // the same dialog shows the inner operation
    EXPECT_EQ(Caption(), "Inner");
    EXPECT_EQ(ItemText(IDC_PROGRESS_TEXT), "inner text");
    EXPECT_EQ(ItemText(IDC_PROGRESS_TEXT1), "");
    EXPECT_EQ(g_Progress.pos, 0);
    EXPECT_EQ(g_Progress.max, 0);

    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WindowIsCancelled(), 1);
    WindowHideProgress();
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(WindowIsCancelled(), 1); // the outer operation sees it too
    WindowHideProgress();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(WindowIsCancelled(), 1); // survives the hide
    WindowHideProgress();              // nothing shown: nothing happens
    EXPECT_EQ(g_Progress.nesting, 0u);
    EXPECT_EQ(s_ModalDepth, 0);

    ASSERT_EQ(WindowShowProgress("Next", "", 1), 1);
    EXPECT_EQ(WindowIsCancelled(), 0); // a new top-level show clears it
    SendMessageA(g_Progress.dialog, WM_COMMAND, IDCANCEL, 0);
    WindowClearCancel();
    EXPECT_EQ(WindowIsCancelled(), 0);
}

TEST_F(ProgressTest, MasterForm)
{
    ASSERT_EQ(WindowShowProgress("Plain", "", 1), 1);
    HWND plain = g_Progress.dialog;
    EXPECT_EQ(WindowShowMasterProgress("Batch"), 0); // refused, nothing changed
    EXPECT_EQ(g_Progress.dialog, plain);
    EXPECT_EQ(g_Progress.master, 0u);
    EXPECT_EQ(WindowIsMasterProgress(), 0);
    WindowHideProgress();

    ASSERT_EQ(WindowShowMasterProgress("Batch"), 1);
    EXPECT_EQ(WindowIsMasterProgress(), 1);
    EXPECT_EQ(Caption(), "Batch");
    ASSERT_EQ(WindowShowProgress("Item one", "reading", 0), 1);
    EXPECT_EQ(ItemText(IDC_PROGRESS_ITEM_TITLE), "Item one");
    EXPECT_EQ(Caption(), "Batch");
    EXPECT_EQ(g_Progress.nesting, 2u);

    WindowUpdateMasterProgress("1 of 3", "file1", 1, 3);
    EXPECT_EQ(ItemText(IDC_PROGRESS_MASTER_TEXT1), "1 of 3");
    EXPECT_EQ(ItemText(IDC_PROGRESS_MASTER_TEXT2), "file1");
    EXPECT_EQ(s_LastBar, GetDlgItem(g_Progress.dialog, IDC_PROGRESS_MASTER_BAR));
    EXPECT_EQ(s_LastDone, 1);
    EXPECT_EQ(s_LastTotal, 3);

    SendMessageA(g_Progress.dialog, WM_COMMAND, IDC_PROGRESS_SKIP, 0);
    EXPECT_EQ(WindowMasterIsCancelled(), 1);
    EXPECT_EQ(WindowIsCancelled(), 0);
    WindowHideProgress(); // the item ends; the batch dialog stays
    EXPECT_EQ(g_Progress.nesting, 1u);
    EXPECT_TRUE(IsWindow(g_Progress.dialog));

    // The master hide ends the dialog whatever the nesting.
    ASSERT_EQ(WindowShowProgress("Item two", "", 1), 1);
    WindowHideMasterProgress();
    EXPECT_EQ(g_Progress.nesting, 0u);
    EXPECT_EQ(g_Progress.master, 0u);
    EXPECT_EQ(WindowIsMasterProgress(), 0);
    EXPECT_TRUE(IsWindowEnabled(m_Owner));
    EXPECT_EQ(s_ModalDepth, 0);
    EXPECT_EQ(WindowMasterIsCancelled(), 1); // skipped is cleared only by the next master show
    ASSERT_EQ(WindowShowMasterProgress("Again"), 1);
    EXPECT_EQ(WindowMasterIsCancelled(), 0);
}

TEST_F(ProgressTest, ADispatchedMessageMayEndTheProgress)
{
    ASSERT_EQ(WindowShowProgress("Reading", "", 1), 1);
    PostMessageA(m_Owner, MSG_HIDE, 0, 0);
    WindowUpdateProgress("a", "b", 1, 2);
    EXPECT_EQ(g_Progress.nesting, 0u);
    EXPECT_EQ(g_Progress.dialog, nullptr);
    WindowUpdateProgress("c", "d", 1, 2); // nothing shown: nothing happens
}

TEST_F(ProgressTest, QuitMessageSurvivesThePumping)
{
    ASSERT_EQ(WindowShowProgress("Reading", "", 1), 1);
    PostQuitMessage(7);
    WindowUpdateProgress("a", nullptr, -1, -1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(ProgressTest, TimedFlag)
{
    const char *text = "Snap: endpoint";
    s_FlagDuration = 99;
    POINT at = {200, 300};
    WindowShowTimedFlag(text, &at);
    EXPECT_FALSE(FindWindowA(TIMED_FLAG_CLASS, text));

    s_FlagDuration = 100;
    WindowShowTimedFlag(text, &at);
    HWND flag = FindWindowA(TIMED_FLAG_CLASS, text);
    ASSERT_TRUE(flag);
    EXPECT_TRUE(IsWindowVisible(flag));
    RECT r;
    GetWindowRect(flag, &r);
    EXPECT_EQ(r.left, 208);
    // Its height is the text's plus 2; it stands that text height and 8 pixels above the point.
    EXPECT_EQ(r.top, 300 - (r.bottom - r.top - 2) - 8);
    // It disappears by itself after its paint and timer.
    DWORD start = GetTickCount();
    while (IsWindow(flag) && GetTickCount() - start < 10000) {
        DrainMessages();
        Sleep(10);
    }
    EXPECT_FALSE(IsWindow(flag));
    s_FlagDuration = TIMED_FLAG_DEFAULT_MS;
}

TEST_F(ProgressTest, RunProcess)
{
    EXPECT_EQ(WindowRunProcess("no_such_program_darad4.exe"), PROCESS_FAILED);
    EXPECT_EQ(WindowRunProcess("cmd.exe /c exit 3"), 3);
    // While a progress dialog is shown, the wait keeps dispatching messages.
    ASSERT_EQ(WindowShowProgress("Packing", "", 0), 1);
    PostMessageA(m_Owner, MSG_COUNT, 0, 0);
    EXPECT_EQ(WindowRunProcess("cmd.exe /c ping -n 2 127.0.0.1 >nul & exit 0"), 0);
    EXPECT_EQ(s_Dispatched, 1);
    EXPECT_EQ(s_Saved, 0); // the wait saves nothing around its dispatches
}

// With the program's own services linked in: a message dispatched while an
// operation reports progress cannot change the operation's output context or
// list filter, and the progress counts as a modal dialog for as long as it runs.
namespace {

LRESULT CALLBACK DisturbingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        g_OutputContext.mode = 0x5A5A;
        g_ListFilter = {0xFFFF, 0x1234, 0};
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD s_Ticks = 0;
DWORD WINAPI ProgramTicks()
{
    return s_Ticks;
}

} // namespace

TEST(ProgressWithProgramServices, DispatchedMessagesLeaveTheOperationsStateAndCountAsModal)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DisturbingWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ProgressDisturber";
    RegisterClassA(&wc);
    HWND disturber = CreateWindowExA(0, "ProgressDisturber", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     wc.hInstance, nullptr);
    ASSERT_TRUE(disturber);
    g_WindowTickCount = ProgramTicks;
    s_Ticks = 50000;

    const uint32_t depthBefore = g_ModalDepth;
    g_OutputContext.mode = 7;
    g_ListFilter = {0x5000, 0, 1};
    ASSERT_EQ(WindowShowProgress("Reading", "drawing.zvd", 1), 1);
    EXPECT_EQ(g_ModalDepth, depthBefore + 1);

    PostMessageA(disturber, WM_APP, 0, 0);
    s_Ticks += 1000; // past the refresh gate: the update pumps messages
    WindowUpdateProgress("", "", 1, 10);
    EXPECT_EQ(g_OutputContext.mode, 7u);
    EXPECT_EQ(g_ListFilter.mask, 0x5000u);
    EXPECT_EQ(g_ListFilter.value, 0u);
    EXPECT_EQ(g_ListFilter.aliveOnly, 1u);

    WindowHideProgress();
    EXPECT_EQ(g_ModalDepth, depthBefore);
    g_WindowTickCount = GetTickCount;
    DestroyWindow(disturber);
}

// A close request that arrives while a modal dialog or a progress window runs
// an operation waits: the operation's state must not be freed under it.
TEST(ProgressWithProgramServices, TheMainWindowDefersACloseWhileAnOperationRuns)
{
    const uint32_t depthBefore = g_ModalDepth;
    const uint32_t runningBefore = g_Running;
    g_Running = 1;
    g_ModalDepth = depthBefore + 1;
    HWND window = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(AppMainWndProc(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(g_Running, 1u);
    EXPECT_EQ(g_Closing, 0u);
    EXPECT_EQ(g_ClosePending, 1u) << "the message loop repeats the close once the operation is over";
    g_ClosePending = 0;
    DestroyWindow(window);
    g_ModalDepth = depthBefore;
    g_Running = runningBefore;
}
