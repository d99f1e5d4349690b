// Under Wine the first process that needs a window starts the desktop
// process, which inherits that process's output pipe and keeps it open; the
// test runner would then wait for the pipe until its timeout. The test run
// starts a window-owning helper for this; before the first window is made
// here, wait (through the process list, without touching windows) until the
// desktop process exists.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr DWORD DESKTOP_WAIT_MS = 20000;
constexpr DWORD DESKTOP_POLL_MS = 50;

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool DesktopProcessExists()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return true; // cannot tell: do not wait
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = _stricmp(entry.szExeFile, "explorer.exe") == 0;
    CloseHandle(snapshot);
    return found;
}

class DesktopWait : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!RunningUnderWine())
            return;
        DWORD start = GetTickCount();
        while (!DesktopProcessExists() && GetTickCount() - start < DESKTOP_WAIT_MS)
            Sleep(DESKTOP_POLL_MS);
    }
};

const auto *const s_DesktopWait = ::testing::AddGlobalTestEnvironment(new DesktopWait);

} // namespace
