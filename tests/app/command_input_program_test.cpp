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

} // namespace
