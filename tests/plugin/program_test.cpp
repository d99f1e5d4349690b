// The program with the test plug-in: started from a folder of its own with
// the DLL in its plugins folder, it loads the plug-in, which drives the
// interface and reports (also that its commands are in the program's menus).
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr DWORD REPORT_TIMEOUT_MS = 30000;
constexpr DWORD POLL_MS = 100;

std::string Folder()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string folder(self);
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PluginProgram, TheProgramLoadsTheTestPluginWhichReportsItsChecks)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string root = std::string(temp) + "darad4_plugin_test\\";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "plugins").c_str(), nullptr);
    for (const char *file : {"darad4.exe", "language.dll", "darad4.zvd", "darad4.bld"})
        ASSERT_TRUE(CopyFileA((Folder() + file).c_str(), (root + file).c_str(), FALSE)) << file;
    ASSERT_TRUE(CopyFileA((Folder() + "zvitest.dll").c_str(), (root + "plugins\\zvitest.dll").c_str(), FALSE));
    const std::string report = root + "report.txt";
    DeleteFileA(report.c_str());
    SetEnvironmentVariableA("DARAD4_PLUGIN_REPORT", report.c_str());
    SetEnvironmentVariableA("DARAD4_NO_START_SCREEN", "1");

    std::string line = "\"" + root + "darad4.exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, root.c_str(), &si, &pi));
    SetEnvironmentVariableA("DARAD4_PLUGIN_REPORT", nullptr);
    SetEnvironmentVariableA("DARAD4_NO_START_SCREEN", nullptr);

    std::string text;
    for (DWORD waited = 0; waited < REPORT_TIMEOUT_MS; waited += POLL_MS) {
        text = ReadFile(report);
        if (text.find("done\n") != std::string::npos || text.find("failed\n") != std::string::npos)
            break;
        if (WaitForSingleObject(pi.hProcess, POLL_MS) == WAIT_OBJECT_0)
            break;
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);

    EXPECT_NE(text.find("done\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("FAILED"), std::string::npos) << text;
}

} // namespace
