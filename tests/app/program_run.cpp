#include "program_run.h"

#include <cmath>

#include "app/init.h"
#include "app/system.h"
#include "app/window.h"
#include "database/storage.h"
#include "files/file.h"
#include "files/zvi.h"

std::string ProgramFolder()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string folder(self);
    return folder.substr(0, folder.rfind('\\') + 1);
}

namespace {

struct Search {
    DWORD pid;
    const char *className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindOwn(HWND window, LPARAM lParam)
{
    auto *s = reinterpret_cast<Search *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (pid == s->pid && lstrcmpA(name, s->className) == 0 && (!s->visibleOnly || IsWindowVisible(window))) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

Program::~Program()
{
    if (process.hProcess) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

bool Program::Start(const std::string &arguments, WORD show)
{
    const std::string exe = ProgramFolder() + "darad4.exe";
    std::string line = "\"" + exe + "\" " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (show != SW_SHOWDEFAULT) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = show;
    }
    // The child inherits the variable.
    SetEnvironmentVariableA("DARAD4_NO_START_SCREEN", startScreen ? nullptr : "1");
    return CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process) !=
           0;
}

HWND Program::Find(const char *className, bool visibleOnly) const
{
    Search s{process.dwProcessId, className, visibleOnly, nullptr};
    EnumWindows(FindOwn, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool Program::Exited() const
{
    return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
}

bool Program::WaitReady()
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < START_TIMEOUT_MS && !Exited()) {
        main = Find("DARAD4_MainWClass");
        HWND draw = main ? FindWindowExA(main, nullptr, "DARAD4_DrawWClass1", nullptr) : nullptr;
        if (draw && IsWindowVisible(draw)) {
            WaitForInputIdle(process.hProcess, START_TIMEOUT_MS);
            return true;
        }
        Sleep(20);
    }
    return false;
}

HWND Program::WaitBox()
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < START_TIMEOUT_MS && !Exited()) {
        if (HWND box = Find("#32770", true))
            return box;
        Sleep(20);
    }
    return nullptr;
}

long Program::WaitExit()
{
    if (WaitForSingleObject(process.hProcess, EXIT_TIMEOUT_MS) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return (long)code;
}

long Program::Close()
{
    PostMessageA(main, WM_CLOSE, 0, 0);
    return WaitExit();
}

long Program::CloseWithoutSaving()
{
    constexpr int ANSWER_NO = 552; // the second button of the save question
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (HWND box = WaitBox())
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(ANSWER_NO, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, ANSWER_NO)));
    return WaitExit();
}

void StartTestDrawing()
{
    g_Debugging = 0;
    ZVI_InitFileBuffers();
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    if (!g_Universal1)
        MemInitWork();
    g_ListFilter = {0, 0, 0};
    FileClearDrawing();
}

bool WriteTestDrawing(const std::string &path)
{
    const bool written = FileWriteDrawing(nullptr, path.c_str(), FILE_SECTIONS_ALL | FILE_MODE_QUIET) == 1;
    FileClearDrawing();
    MemFreeChunks();
    MemInitLists();
    return written;
}

POINT FittedPage::Pixel(double x, double y) const
{
    return POINT{static_cast<LONG>(std::floor(cx + x * scale + 0.5)),
                 static_cast<LONG>(std::floor(cy - y * scale + 0.5))};
}

FittedPage FitA3Page(HWND draw)
{
    constexpr double PAGE_WIDTH = 420.0, PAGE_HEIGHT = 297.0;
    SystemReadProfile();
    RECT client;
    GetClientRect(draw, &client);
    g_DrawWindows[0].hwnd = nullptr;
    WindowComputeAreasFrom(0, client);
    FittedPage f;
    f.area = g_DrawWindows[0].areaRect;
    const RECT &a = f.area;
    f.scale = std::fmin((a.right - a.left) * WINDOW_FIT_SHARE / PAGE_WIDTH,
                        (a.bottom - a.top) * WINDOW_FIT_SHARE / PAGE_HEIGHT);
    f.cx = (a.left + a.right) * 0.5;
    f.cy = (a.top + a.bottom) * 0.5;
    return f;
}

bool ClientPointVisible(HWND window, LONG x, LONG y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    return WindowFromPoint(p) == window;
}

bool ScreenBlackNear(HWND window, HDC screen, LONG x, LONG y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    for (LONG dx = -1; dx <= 1; ++dx)
        for (LONG dy = -1; dy <= 1; ++dy)
            if (GetPixel(screen, p.x + dx, p.y + dy) == RGB(0, 0, 0))
                return true;
    return false;
}

std::string ProgramBoxText(const Program &run)
{
    HWND box = run.Find("#32770", true);
    if (!box)
        return "";
    char text[512] = "";
    GetDlgItemTextA(box, 700, text, sizeof text);
    return text;
}
