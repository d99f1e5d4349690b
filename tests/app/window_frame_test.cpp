// The program as a user meets it: the keyboard focus after start and after a
// tool window is closed, windows that show something rather than a black
// rectangle (after start and while an alert is up), the main window resized
// over and over, and where the main window opens.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/system.h"
#include "common/test_files.h"
#include "program_run.h"

namespace {

constexpr DWORD SETTLE_MS = 300;

std::string ProgramKey()
{
    char key[SYSTEM_KEY_NAME_SIZE];
    SystemProgramKeyPath(key);
    return key;
}

// Each test starts from no settings and leaves none behind: what a test
// switches off must not hide a window from the next one.
class WindowFrame : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() { SystemDeleteKeyTree(HKEY_CURRENT_USER, ProgramKey().c_str()); }
};

// Thread focus and activation of the program's interface thread.
GUITHREADINFO ThreadState(const Program &run)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(run.process.dwThreadId, &info);
    return info;
}

// Waits until the program's thread has the main window active and focused.
bool WaitForMainFocus(const Program &run)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < START_TIMEOUT_MS) {
        const GUITHREADINFO info = ThreadState(run);
        if (info.hwndActive == run.main && info.hwndFocus == run.main)
            return true;
        Sleep(20);
    }
    return false;
}

std::string Describe(HWND window)
{
    char name[64] = "", title[128] = "";
    if (window) {
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, title, sizeof title);
    }
    return std::string(name) + " \"" + title + "\"";
}

// The screen's pixels over every visible top-level window of the program:
// the windows that are one solid black rectangle, as "class title" lines.
struct OwnWindows {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectOwn(HWND window, LPARAM lParam)
{
    auto *own = reinterpret_cast<OwnWindows *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == own->pid && IsWindowVisible(window))
        own->windows.push_back(window);
    return TRUE;
}

// Whether the screen shows nothing but black over the part of the rectangle
// that lies on the screen.
bool ScreenAllBlack(HDC screen, RECT r)
{
    RECT desk{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!IntersectRect(&r, &r, &desk))
        return false;
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return false;
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    bool black = true;
    const uint32_t *p = static_cast<const uint32_t *>(bits);
    for (int i = 0; i < w * h && black; ++i)
        black = (p[i] & 0xFFFFFF) == 0;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return black;
}

std::string BlackWindows(const Program &run)
{
    OwnWindows own{run.process.dwProcessId, {}};
    EnumWindows(CollectOwn, reinterpret_cast<LPARAM>(&own));
    std::string black;
    HDC screen = GetDC(nullptr);
    for (HWND w : own.windows) {
        RECT r{};
        GetWindowRect(w, &r);
        if (r.right - r.left > 1 && r.bottom - r.top > 1 && ScreenAllBlack(screen, r))
            black += Describe(w) + "; ";
    }
    ReleaseDC(nullptr, screen);
    return black;
}

TEST_F(WindowFrame, NoWindowIsABlackRectangleAfterStartOrUnderAnAlert)
{
    Program run;
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitReady());
    Sleep(SETTLE_MS);
    EXPECT_EQ(BlackWindows(run), "");
    EXPECT_EQ(run.Close(), 0);

    // A file that is no drawing: the program says so in its message box.
    const TestTempFile refused("darad4-refused.zvd");
    TestWriteFile(refused.Path(), "this is no drawing\r\n");
    Program alerted;
    ASSERT_TRUE(alerted.Start("\"" + std::string(refused.Path()) + "\""));
    HWND box = alerted.WaitBox();
    ASSERT_NE(box, nullptr);
    WaitForInputIdle(alerted.process.hProcess, START_TIMEOUT_MS);
    Sleep(SETTLE_MS);
    EXPECT_EQ(BlackWindows(alerted), "");
    PostMessageA(box, WM_CLOSE, 0, 0);
    alerted.main = alerted.Find("DARAD4_MainWClass");
    ASSERT_TRUE(alerted.WaitReady());
    EXPECT_EQ(alerted.Close(), 0);
}

TEST_F(WindowFrame, MainWindowHasTheFocusAtStartAndAfterAToolWindowCloses)
{
    Program run;
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitReady());
    EXPECT_TRUE(WaitForMainFocus(run)) << "active " << Describe(ThreadState(run).hwndActive) << ", focus "
                                       << Describe(ThreadState(run).hwndFocus);

    // The guide, activated by a click and then closed.
    HWND guide = run.Find("DARAD4_GuideWClass", true);
    ASSERT_NE(guide, nullptr);
    SendMessageA(guide, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(guide), MAKELPARAM(HTCAPTION, WM_LBUTTONDOWN));
    SetForegroundWindow(guide);
    const DWORD start = GetTickCount();
    while (ThreadState(run).hwndActive != guide && GetTickCount() - start < START_TIMEOUT_MS)
        Sleep(20);
    ASSERT_EQ(ThreadState(run).hwndActive, guide);
    SendMessageA(guide, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(guide));
    EXPECT_TRUE(WaitForMainFocus(run)) << "active " << Describe(ThreadState(run).hwndActive) << ", focus "
                                       << Describe(ThreadState(run).hwndFocus);
    EXPECT_EQ(run.Close(), 0);

    // Closed, the guide is switched off, and so it is kept.
    HKEY general = nullptr;
    int32_t guideVisible = -1;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (ProgramKey() + "\\General").c_str(), 0, KEY_READ, &general) ==
        ERROR_SUCCESS) {
        SystemReadInt(general, "GuideVisible", &guideVisible);
        RegCloseKey(general);
    }
    EXPECT_EQ(guideVisible, 0);
}

// The screen's pixels of a short vertical band: what the crosshair's
// vertical line crosses at that x.
std::vector<COLORREF> Band(POINT at, int length)
{
    std::vector<COLORREF> band;
    HDC screen = GetDC(nullptr);
    for (int dx = -1; dx <= 1; ++dx)
        for (int y = at.y + 20; y < at.y + 20 + length; y += 4)
            band.push_back(GetPixel(screen, at.x + dx, y));
    ReleaseDC(nullptr, screen);
    return band;
}

// Waits until the band equals (or, with `equal` false, differs from) the
// pixels given.
bool WaitForBand(POINT at, const std::vector<COLORREF> &pixels, bool equal)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < START_TIMEOUT_MS / 4) {
        if ((Band(at, static_cast<int>(pixels.size() / 3) * 4) == pixels) == equal)
            return true;
        Sleep(20);
    }
    return false;
}

TEST_F(WindowFrame, CrosshairGoesWhenTheMouseLeavesTheDrawingWindows)
{
    Program run;
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitReady());
    ASSERT_TRUE(WaitForMainFocus(run));
    HWND draw = FindWindowExA(run.main, nullptr, "DARAD4_DrawWClass1", nullptr);
    ASSERT_NE(draw, nullptr);
    RECT client{};
    GetClientRect(draw, &client);
    POINT inside{(client.left + client.right) / 2 + 37, (client.top + client.bottom) / 2 - 53};
    ClientToScreen(draw, &inside);
    ASSERT_TRUE(ClientPointVisible(draw, (client.left + client.right) / 2 + 37, (client.top + client.bottom) / 2 - 53));
    // The caption of the main window lies outside every drawing window.
    RECT frame{};
    GetWindowRect(run.main, &frame);
    const POINT outside{(frame.left + frame.right) / 2, frame.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 1};

    SetCursorPos(outside.x, outside.y);
    Sleep(SETTLE_MS);
    const std::vector<COLORREF> without = Band(inside, 40);
    SetCursorPos(inside.x, inside.y);
    ASSERT_TRUE(WaitForBand(inside, without, false)) << "no crosshair appeared under the mouse";
    SetCursorPos(outside.x, outside.y);
    EXPECT_TRUE(WaitForBand(inside, without, true)) << "the crosshair stayed after the mouse left";
    EXPECT_EQ(run.Close(), 0);
}

TEST_F(WindowFrame, MainWindowSurvivesBeingResizedAgainAndAgain)
{
    Program run;
    ASSERT_TRUE(run.Start("", SW_SHOWNORMAL));
    ASSERT_TRUE(run.WaitReady());
    ShowWindow(run.main, SW_RESTORE);
    const SIZE sizes[] = {{700, 500}, {300, 200}, {900, 700}, {120, 90}, {640, 480}, {1000, 740}, {500, 600}};
    for (const SIZE &s : sizes) {
        SetWindowPos(run.main, nullptr, 20, 20, s.cx, s.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        WaitForInputIdle(run.process.hProcess, START_TIMEOUT_MS);
        Sleep(SETTLE_MS / 3);
        ASSERT_FALSE(run.Exited()) << "ended after the resize to " << s.cx << " x " << s.cy;
        RECT r{};
        GetWindowRect(run.main, &r);
        EXPECT_EQ(r.right - r.left, s.cx);
    }
    // Maximised and back, as the caption buttons do.
    ShowWindow(run.main, SW_MAXIMIZE);
    WaitForInputIdle(run.process.hProcess, START_TIMEOUT_MS);
    ShowWindow(run.main, SW_RESTORE);
    WaitForInputIdle(run.process.hProcess, START_TIMEOUT_MS);
    Sleep(SETTLE_MS);
    ASSERT_FALSE(run.Exited());
    EXPECT_EQ(run.Close(), 0);
}

} // namespace
