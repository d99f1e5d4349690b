// The program as a whole: darad4.exe is started as a child process, closed
// through its main window, and its settings are looked at in the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/init.h"
#include "app/system.h"
#include "common/test_files.h"
#include "program_run.h"

namespace {

const char *const REFERENCE_KEY = "Software\\darad4-tests\\startup-reference";

std::string ProgramKey()
{
    char key[SYSTEM_KEY_NAME_SIZE];
    SystemProgramKeyPath(key);
    return key;
}

bool KeyExists(HKEY root, const std::string &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

HKEY CreateKey(HKEY root, const std::string &path)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

// Every value below a key, by "subkey\name", as type and bytes.
using RegistryDump = std::map<std::string, std::pair<DWORD, std::string>>;

void DumpKey(HKEY key, const std::string &prefix, RegistryDump *out)
{
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        DWORD dataSize = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
            break;
        std::string data(dataSize, '\0');
        nameSize = sizeof name;
        RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &dataSize);
        (*out)[prefix + name] = {type, data};
    }
    for (DWORD i = 0;; ++i) {
        char sub[512];
        DWORD subSize = sizeof sub;
        if (RegEnumKeyExA(key, i, sub, &subSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, sub, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            DumpKey(child, prefix + sub + "\\", out);
            RegCloseKey(child);
        }
    }
}

RegistryDump Dump(HKEY root, const std::string &path)
{
    RegistryDump out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DumpKey(key, "", &out);
        RegCloseKey(key);
    }
    return out;
}

int32_t ReadInt(const std::string &path, const char *name, int32_t fallback)
{
    HKEY key = nullptr;
    int32_t value = fallback;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        SystemReadInt(key, name, &value);
        RegCloseKey(key);
    }
    return value;
}

class StartupProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A child that crashes ends at once instead of waiting in a debugger;
        // the children inherit the error mode.
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
        Clean();
    }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        SystemDeleteKeyTree(HKEY_CURRENT_USER, ProgramKey().c_str());
        SystemDeleteKeyTree(HKEY_LOCAL_MACHINE, ProgramKey().c_str());
        SystemDeleteKeyTree(HKEY_CURRENT_USER, REFERENCE_KEY);
    }
    static std::string General() { return ProgramKey() + "\\General"; }

    // What a program that read nothing writes: every default.
    static RegistryDump DefaultProfile()
    {
        SystemReadMachineSettings();
        SystemReadProfileFrom("Software\\darad4-tests\\startup-none");
        SystemWriteProfileTo(REFERENCE_KEY);
        return Dump(HKEY_CURRENT_USER, REFERENCE_KEY);
    }

    // Starts the program, waits until it runs, closes it: its exit code.
    static long RunOnce(const std::string &arguments = "")
    {
        Program p;
        EXPECT_TRUE(p.Start(arguments));
        EXPECT_TRUE(p.WaitReady());
        return p.Close();
    }
};

TEST_F(StartupProcess, FirstStartWritesEveryDefaultAndExitsWithZero)
{
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, ProgramKey()));
    EXPECT_EQ(RunOnce(), 0);

    const RegistryDump written = Dump(HKEY_CURRENT_USER, ProgramKey());
    const RegistryDump expected = DefaultProfile();
    ASSERT_FALSE(expected.empty());
    // Tool-window places are given from the screen while the program runs.
    auto isPlacement = [](const std::string &name) { return name.find("Placement(") != std::string::npos; };
    for (const auto &entry : written)
        EXPECT_TRUE(expected.count(entry.first) || isPlacement(entry.first)) << "not a default: " << entry.first;
    for (const auto &[name, value] : expected) {
        SCOPED_TRACE(name);
        if (isPlacement(name))
            continue;
        const auto found = written.find(name);
        ASSERT_NE(found, written.end());
        EXPECT_EQ(found->second.first, value.first);
        EXPECT_TRUE(found->second.second == value.second);
    }
    // The machine settings as well: the program's own folder.
    HKEY machine = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProgramKey().c_str(), 0, KEY_READ, &machine), ERROR_SUCCESS);
    char server[SYSTEM_PATH_SIZE] = "";
    EXPECT_EQ(SystemReadString(machine, "PathServer", server, sizeof server), 1);
    RegCloseKey(machine);
    EXPECT_EQ(server, ProgramFolder());
}

// A value changed between two runs comes back: the program read it at start
// (the options key is rewritten from what is in memory at exit).
TEST_F(StartupProcess, SecondStartReadsTheSettingsBack)
{
    EXPECT_EQ(RunOnce(), 0);
    HKEY general = CreateKey(HKEY_CURRENT_USER, General());
    SystemWriteInt(general, "UndoSteps", 7);
    SystemWriteString(general, "PanelFontName", "Courier New");
    SystemWriteBool(general, "GuideVisible", 0);
    RegCloseKey(general);

    EXPECT_EQ(RunOnce(), 0);
    EXPECT_EQ(ReadInt(General(), "UndoSteps", -1), 7);
    EXPECT_EQ(ReadInt(General(), "GuideVisible", -1), 0);
    general = CreateKey(HKEY_CURRENT_USER, General());
    char font[64] = "";
    SystemReadString(general, "PanelFontName", font, sizeof font);
    RegCloseKey(general);
    EXPECT_STREQ(font, "Courier New");
}

// A damaged remembered-values record gives way to the defaults; the options
// beside it survive.
TEST_F(StartupProcess, DamagedInitValueLeavesTheDefaultsAndLosesNothingElse)
{
    const RegistryDump expected = DefaultProfile();
    HKEY user = CreateKey(HKEY_CURRENT_USER, ProgramKey());
    const std::string garbage(1000, '\x7F');
    RegSetValueExA(user, "Init", 0, REG_BINARY, reinterpret_cast<const BYTE *>(garbage.data()),
                   (DWORD)garbage.size());
    RegCloseKey(user);
    HKEY general = CreateKey(HKEY_CURRENT_USER, General());
    SystemWriteInt(general, "UndoSteps", 9);
    RegCloseKey(general);

    EXPECT_EQ(RunOnce(), 0);
    const RegistryDump written = Dump(HKEY_CURRENT_USER, ProgramKey());
    int parts = 0;
    for (const auto &[name, value] : expected) {
        if (name.rfind("Init", 0) != 0)
            continue;
        SCOPED_TRACE(name);
        ++parts;
        ASSERT_TRUE(written.count(name));
        EXPECT_TRUE(written.at(name) == value);
    }
    EXPECT_GT(parts, 0);
    EXPECT_EQ(ReadInt(General(), "UndoSteps", -1), 9);
}

// The second instance finds the first one's window and leaves the settings
// to it.
TEST_F(StartupProcess, SecondInstanceWritesNoSettings)
{
    Program first;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(first.WaitReady());
    Program second;
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitReady());
    ASSERT_NE(first.main, second.main);

    EXPECT_EQ(second.Close(), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ProgramKey()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProgramKey()));

    EXPECT_EQ(first.Close(), 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, General()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, ProgramKey()));
}

// A main window that was minimised keeps the place it had before.
TEST_F(StartupProcess, MinimisedWindowKeepsItsSavedPlacement)
{
    const std::string general = General();
    HKEY key = CreateKey(HKEY_CURRENT_USER, general);
    const POINT pos{40, 30};
    const SIZE size{600, 450};
    SystemWriteRect(key, "AppPlacement", &pos, &size);
    RegCloseKey(key);

    Program p;
    ASSERT_TRUE(p.Start("", SW_SHOWMINIMIZED));
    ASSERT_TRUE(p.WaitReady());
    EXPECT_TRUE(IsIconic(p.main));
    EXPECT_EQ(p.Close(), 0);

    EXPECT_EQ(ReadInt(general, "AppPlacement(x)", -1), 40);
    EXPECT_EQ(ReadInt(general, "AppPlacement(y)", -1), 30);
    EXPECT_EQ(ReadInt(general, "AppPlacement(w)", -1), 600);
    EXPECT_EQ(ReadInt(general, "AppPlacement(h)", -1), 450);
}

// Without a saved placement the main window opens maximised, also when the
// program is started without a show command.
TEST_F(StartupProcess, FirstStartOpensMaximised)
{
    for (WORD show : {WORD(SW_SHOWNORMAL), WORD(SW_SHOWDEFAULT)}) {
        SCOPED_TRACE(show);
        Program p;
        ASSERT_TRUE(p.Start("", show));
        ASSERT_TRUE(p.WaitReady());
        EXPECT_TRUE(IsZoomed(p.main));
        EXPECT_EQ(p.Close(), 0);
        Clean();
    }
}

TEST_F(StartupProcess, SavedPlacementIsUsed)
{
    HKEY key = CreateKey(HKEY_CURRENT_USER, General());
    const POINT pos{50, 60};
    const SIZE size{640, 480};
    SystemWriteRect(key, "AppPlacement", &pos, &size);
    RegCloseKey(key);

    Program p;
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(p.WaitReady());
    RECT r{};
    GetWindowRect(p.main, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 480);
    EXPECT_EQ(p.Close(), 0);
}

// Start-up ends at the file alert about the missing default drawing before
// any tool window exists, and writes no settings.
// The file alert's texts come from the language module's file-error table.
bool FileErrorTextsPresent()
{
    const HANDLE file = CreateFileA("..\\..\\language\\tables\\eAlertErrorText.txt", GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char text[4096] = "";
    DWORD got = 0;
    ReadFile(file, text, sizeof text - 1, &got, nullptr);
    CloseHandle(file);
    return std::string(text, got).find("\n7\t") != std::string::npos;
}

TEST_F(StartupProcess, MissingDefaultDrawingAndCancelEndStartUp)
{
    if (!FileErrorTextsPresent())
        GTEST_SKIP() << "the language module has no file-error texts yet";
    const std::string empty = TestTempPath("darad4-no-default\\");
    CreateDirectoryA(empty.c_str(), nullptr);
    HKEY machine = CreateKey(HKEY_LOCAL_MACHINE, ProgramKey());
    SystemWriteString(machine, "PathServer", empty.c_str());
    SystemWriteString(machine, "PathLocal", empty.c_str());
    RegCloseKey(machine);

    Program p;
    ASSERT_TRUE(p.Start());
    HWND box = p.WaitBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(p.Find("DARAD4_PenWClass"), nullptr);
    EXPECT_EQ(p.Find("DARAD4_GuideWClass"), nullptr);
    // Closing the box answers it with cancel.
    PostMessageA(box, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ProgramKey()));
    RemoveDirectoryA(empty.c_str());
}

// Names and switches on the command line do not disturb start-up, also a
// token far longer than any path. "/p" runs the print command, whose dialog
// (or, without a printer, its message) the test closes.
TEST_F(StartupProcess, CommandLinesStartAndClose)
{
    const std::string drawing = ProgramFolder() + "darad4.zvd";
    const struct {
        std::string line;
        bool prints;
    } runs[] = {
        {"\"" + drawing + "\"", false},
        {"\"" + drawing + "\" /p", true},
        {"-P \"C:\\no such folder\\plan.zvd\"", true},
        {std::string(5000, 'x') + " -p", true},
    };
    for (const auto &run : runs) {
        SCOPED_TRACE(run.line.substr(0, 80));
        Program p;
        EXPECT_TRUE(p.Start(run.line));
        EXPECT_TRUE(p.WaitReady());
        if (run.prints) {
            HWND box = p.WaitBox();
            ASSERT_NE(box, nullptr) << "the print command runs";
            PostMessageA(box, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(p.Close(), 0);
    }
}

} // namespace
