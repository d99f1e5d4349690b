// The running program takes mouse and keyboard input in its drawing window:
// clicks, the right button, Escape, Space zoom clicks and typed command
// numbers, sent as the system would send them, and still closes normally.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/system.h"
#include "program_run.h"

namespace {

class CommandInputProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
        Clean();
    }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        char key[SYSTEM_KEY_NAME_SIZE];
        SystemProgramKeyPath(key);
        SystemDeleteKeyTree(HKEY_CURRENT_USER, key);
        SystemDeleteKeyTree(HKEY_LOCAL_MACHINE, key);
    }
};

LPARAM At(LONG x, LONG y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void Click(HWND draw, UINT down, UINT up, WPARAM button, LONG x, LONG y)
{
    SendMessageA(draw, WM_MOUSEMOVE, 0, At(x, y));
    SendMessageA(draw, down, button, At(x, y));
    SendMessageA(draw, up, 0, At(x, y));
}

void Key(HWND main, WPARAM key)
{
    SendMessageA(main, WM_KEYDOWN, key, 1);
    SendMessageA(main, WM_KEYUP, key, 0xC0000001);
}

TEST_F(CommandInputProgram, ClicksKeysAndZoomsLeaveTheProgramRunning)
{
    Program p;
    ASSERT_TRUE(p.Start(""));
    ASSERT_TRUE(p.WaitReady());
    HWND draw = FindWindowExA(p.main, nullptr, "DARAD4_DrawWClass1", nullptr);
    ASSERT_NE(draw, nullptr);
    RECT client{};
    GetClientRect(draw, &client);
    const LONG cx = client.right / 2, cy = client.bottom / 2;

    Click(draw, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, cx, cy);           // the line's first point
    Click(draw, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, cx + 40, cy + 30); // its second
    Click(draw, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, cx - 20, cy);
    Click(draw, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, cx, cy);           // finishes
    Key(p.main, VK_ESCAPE);                                                 // nothing to step back
    SendMessageA(p.main, WM_KEYDOWN, VK_SPACE, 1);
    Click(draw, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, cx, cy);           // zooms in
    Click(draw, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, cx, cy);           // and out
    SendMessageA(p.main, WM_KEYUP, VK_SPACE, 0xC0000001);
    for (WPARAM k : {WPARAM(VK_TAB), WPARAM('5'), WPARAM('0'), WPARAM('1'), WPARAM(VK_TAB), WPARAM(VK_TAB),
                     WPARAM('9'), WPARAM('9'), WPARAM(VK_TAB)})
        Key(p.main, k);
    // A release far outside the window, as it comes while the mouse is captured.
    SendMessageA(draw, WM_LBUTTONUP, 0, At(-30, -40));

    EXPECT_FALSE(p.Exited());
    EXPECT_EQ(p.CloseWithoutSaving(), 0) << "the two clicks drew a line";
}

// How long a real click may go unanswered before the test clicks again.
constexpr DWORD RECLICK_AFTER_MS = 5000;
// How many checks 50 ms apart must find the cursor in place before a press.
constexpr int CURSOR_STEADY_CHECKS = 3;

// A real click (through the system's input, as the user's mouse gives it)
// at a point of the screen. The button goes down only once the cursor is
// seen there: a late motion event from the display can put the cursor back
// where the previous program left it, and the press would land there.
void RealClick(POINT at)
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    for (INPUT &i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = at.x * 65535 / (w - 1);
        i.mi.dy = at.y * 65535 / (h - 1);
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    int seen = 0;
    for (DWORD t0 = GetTickCount(); seen < CURSOR_STEADY_CHECKS && GetTickCount() - t0 < START_TIMEOUT_MS; Sleep(50)) {
        POINT now{};
        GetCursorPos(&now);
        if (now.x == at.x && now.y == at.y) {
            ++seen;
        } else {
            seen = 0;
            SendInput(1, &in[0], sizeof(INPUT));
        }
    }
    SendInput(2, &in[1], sizeof(INPUT));
}

// Whether the status bar floats (a window of its own) or is docked in the
// main window, which the open entry disables.
class StatusFieldClick : public CommandInputProgram, public ::testing::WithParamInterface<bool> {
protected:
    static void SetStatusMoveable(DWORD floating)
    {
        char key[SYSTEM_KEY_NAME_SIZE];
        SystemProgramKeyPath(key);
        const std::string path = std::string(key) + "\\General";
        HKEY general = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &general,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(general, "StatusMoveable", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&floating),
                       sizeof floating);
        RegCloseKey(general);
    }
};

// The coordinate entry lies over the bar's x field; a click on the y field
// while it is open (the main window disabled under it) moves the entry
// there, and the floating tool windows stay above the main window. Closed,
// the entry gives the activation back to the main window.
TEST_P(StatusFieldClick, MovesTheOpenCoordinateEntryThere)
{
    const bool floating = GetParam();
    SetStatusMoveable(floating ? 1 : 0);
    Program p;
    ASSERT_TRUE(p.Start(""));
    ASSERT_TRUE(p.WaitReady());
    HWND status = floating ? p.Find("DARAD4_StatusWClass", true)
                           : FindWindowExA(p.main, nullptr, "DARAD4_StatusWClass", nullptr);
    ASSERT_NE(status, nullptr) << (floating ? "no floating status bar" : "no docked status bar");
    ASSERT_EQ((GetWindowLongA(status, GWL_STYLE) & WS_CHILD) != 0, !floating);
    RECT bar{};
    GetClientRect(status, &bar);
    POINT xField = {60, bar.bottom / 2};
    ClientToScreen(status, &xField);
    // Under emulation on a loaded machine a real click now and then never
    // reaches the program; click again when nothing answered for a while.
    HWND entry = nullptr;
    for (DWORD t0 = GetTickCount(); !entry && GetTickCount() - t0 < START_TIMEOUT_MS;) {
        RealClick(xField);
        for (DWORD t1 = GetTickCount(); !entry && GetTickCount() - t1 < RECLICK_AFTER_MS; Sleep(50))
            entry = p.Find("#32770", true);
    }
    ASSERT_NE(entry, nullptr);
    RECT onX{};
    GetWindowRect(entry, &onX);
    ASSERT_TRUE(IsWindowEnabled(p.main) == FALSE) << "the entry is modal";

    const POINT yField = {onX.right + 40, (onX.top + onX.bottom) / 2}; // right of x
    RECT now = onX;
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < START_TIMEOUT_MS && now.left < onX.right;) {
        RealClick(yField);
        for (DWORD t1 = GetTickCount(); GetTickCount() - t1 < RECLICK_AFTER_MS && now.left < onX.right; Sleep(50)) {
            entry = p.WaitBox();
            if (entry)
                GetWindowRect(entry, &now);
        }
    }
    EXPECT_GE(now.left, onX.right) << "the entry moved to the y field";

    if (HWND panel = p.Find("DARAD4_PanelWClass", true)) {
        RECT r{};
        GetClientRect(panel, &r);
        POINT face = {r.right / 2, r.bottom - 6}; // below the panel's cells
        ClientToScreen(panel, &face);
        HDC screen = GetDC(nullptr);
        bool shown = false;
        for (DWORD t0 = GetTickCount(); !shown && GetTickCount() - t0 < START_TIMEOUT_MS; Sleep(50))
            shown = GetPixel(screen, face.x, face.y) == GetSysColor(COLOR_BTNFACE);
        ReleaseDC(nullptr, screen);
        EXPECT_TRUE(shown) << "the panel is not covered by the main window";
    }
    if (entry)
        PostMessageA(entry, WM_COMMAND, IDCANCEL, 0);
    bool mainActive = false;
    for (DWORD t0 = GetTickCount(); !mainActive && GetTickCount() - t0 < START_TIMEOUT_MS; Sleep(50))
        mainActive = IsWindowEnabled(p.main) && GetForegroundWindow() == p.main;
    EXPECT_TRUE(mainActive) << "the main window is not active after the entry closed";
    EXPECT_FALSE(p.Exited());
    EXPECT_EQ(p.Close(), 0);
}

INSTANTIATE_TEST_SUITE_P(Bar, StatusFieldClick, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return std::string(info.param ? "Floating" : "Docked");
                         });

} // namespace
