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

struct Search {
    DWORD process;
    const char *className;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND w, LPARAM data)
{
    auto *s = reinterpret_cast<Search *>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    if (process == s->process && IsWindowVisible(w) && (!s->className || std::string(name) == s->className)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process (of the class when given), or 0.
HWND WaitForWindow(DWORD process, const char *className, HWND other = nullptr)
{
    for (DWORD waited = 0; waited < REPORT_TIMEOUT_MS; waited += POLL_MS) {
        Search s{process, className, nullptr};
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&s));
        if (s.found && s.found != other)
            return s.found;
        Sleep(POLL_MS);
    }
    return nullptr;
}

bool WaitForText(const std::string &path, const char *text, HANDLE process)
{
    for (DWORD waited = 0; waited < REPORT_TIMEOUT_MS; waited += POLL_MS) {
        if (ReadFile(path).find(text) != std::string::npos)
            return true;
        if (WaitForSingleObject(process, POLL_MS) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

// Runs a filter command from the main window's menu and answers its file
// chooser with the file name.
void RunFilterCommand(HWND main, DWORD process, int command, const std::string &file)
{
    constexpr int FILE_NAME_BOX = 0x47c; // the chooser's file name combo box
    PostMessageA(main, WM_COMMAND, command, 0);
    HWND chooser = WaitForWindow(process, "#32770");
    ASSERT_NE(chooser, nullptr) << command;
    SendDlgItemMessageA(chooser, FILE_NAME_BOX, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
}

LPARAM At(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

// Whether the screen shows the colour at the client point of the window
// within the wait: the X server shows what the program drew a little later.
bool ShowsColourAt(HWND window, POINT p, COLORREF colour, DWORD wait = REPORT_TIMEOUT_MS)
{
    ClientToScreen(window, &p);
    HDC screen = GetDC(nullptr);
    bool shown = false;
    for (DWORD waited = 0;; waited += POLL_MS) {
        shown = GetPixel(screen, p.x, p.y) == colour;
        if (shown || waited >= wait)
            break;
        Sleep(POLL_MS);
    }
    ReleaseDC(nullptr, screen);
    return shown;
}

// The plug-in's square command takes one point in the drawing window, as a
// click, and the module's own object appears there: a square filled with
// its first colour whose lower left corner is the point.
void PlaceSquareByClick(HWND main)
{
    constexpr int SQUARE_COMMAND = 1304; // the module's fourth command
    constexpr COLORREF SQUARE_FILL = RGB(0, 128, 255);
    HWND draw = FindWindowExA(main, nullptr, "DARAD4_DrawWClass1", nullptr);
    ASSERT_NE(draw, nullptr);
    RECT client;
    GetClientRect(draw, &client);
    // Away from the tool windows at the top left and the guide at the bottom
    // right, and from the objects the plug-in built around the zero point.
    const POINT corner = {client.right / 3, client.bottom * 3 / 4};
    const POINT inside = {corner.x + 12, corner.y - 12}; // off the crosshair lines
    SendMessageA(main, WM_ACTIVATEAPP, TRUE, 0);
    SendMessageA(main, WM_COMMAND, SQUARE_COMMAND, 0);
    SendMessageA(draw, WM_MOUSEMOVE, 0, At(corner));
    SendMessageA(draw, WM_LBUTTONDOWN, MK_LBUTTON, At(corner));
    SendMessageA(draw, WM_LBUTTONUP, 0, At(corner));
    EXPECT_TRUE(ShowsColourAt(draw, inside, SQUARE_FILL)) << "the square above and right of the click";
    EXPECT_FALSE(ShowsColourAt(draw, {corner.x - 12, corner.y + 12}, SQUARE_FILL, 0)) << "and nothing below left of it";
}

// The program copied into a folder of its own with the test plug-in in its
// plugins folder, started with the report file named; its report text once
// the plug-in has finished its checks (or the process ended).
struct PluginProgram {
    std::string root;
    std::string report;
    PROCESS_INFORMATION pi{};
    std::string text;

    PluginProgram()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        root = std::string(temp) + "darad4_plugin_test\\";
        report = root + "report.txt";
    }
    ~PluginProgram()
    {
        if (!pi.hProcess)
            return;
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    void Start()
    {
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA((root + "plugins").c_str(), nullptr);
        for (const char *file : {"darad4.exe", "language.dll", "darad4.zvd", "darad4.bld"})
            ASSERT_TRUE(CopyFileA((Folder() + file).c_str(), (root + file).c_str(), FALSE)) << file;
        ASSERT_TRUE(CopyFileA((Folder() + "zvitest.dll").c_str(), (root + "plugins\\zvitest.dll").c_str(), FALSE));
        DeleteFileA(report.c_str());
        SetEnvironmentVariableA("DARAD4_PLUGIN_REPORT", report.c_str());
        SetEnvironmentVariableA("DARAD4_NO_START_SCREEN", "1");
        std::string line = "\"" + root + "darad4.exe\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, root.c_str(), &si, &pi));
        SetEnvironmentVariableA("DARAD4_PLUGIN_REPORT", nullptr);
        SetEnvironmentVariableA("DARAD4_NO_START_SCREEN", nullptr);
        for (DWORD waited = 0; waited < REPORT_TIMEOUT_MS; waited += POLL_MS) {
            text = ReadFile(report);
            if (text.find("done\n") != std::string::npos || text.find("failed\n") != std::string::npos)
                break;
            if (WaitForSingleObject(pi.hProcess, POLL_MS) == WAIT_OBJECT_0)
                break;
        }
    }
    // The main window once the checks are done, or 0.
    HWND Main() const
    {
        return text.find("done\n") != std::string::npos ? WaitForWindow(pi.dwProcessId, "DARAD4_MainWClass")
                                                          : nullptr;
    }
};

TEST(PluginProgram, TheProgramLoadsTheTestPluginWhichReportsItsChecks)
{
    PluginProgram program;
    ASSERT_NO_FATAL_FAILURE(program.Start());
    const std::string &root = program.root, &report = program.report;
    const PROCESS_INFORMATION &pi = program.pi;
    std::string &text = program.text;
    // The drawing goes out through the export filter and comes back through
    // the import filter, both from the File menu's filter commands.
    constexpr int EXPORT_FIRST = 5320, IMPORT_FIRST = 5300;
    const std::string exported = root + "drawing.zvt";
    DeleteFileA(exported.c_str());
    HWND main = program.Main();
    if (main) {
        RunFilterCommand(main, pi.dwProcessId, EXPORT_FIRST, exported);
        EXPECT_TRUE(WaitForText(report, "exported\n", pi.hProcess)) << ReadFile(report);
        RunFilterCommand(main, pi.dwProcessId, IMPORT_FIRST, exported);
        EXPECT_TRUE(WaitForText(report, "imported\n", pi.hProcess)) << ReadFile(report);
        text = ReadFile(report);
        PlaceSquareByClick(main);
    }

    EXPECT_NE(text.find("done\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("FAILED"), std::string::npos) << text;
}

// A library file titled as given that holds the block "Zvi block 1", a square
// with its diagonal, as an earlier run of the plug-in's first command leaves it.
void WriteLibraryWithFirstBlock(const std::string &path, const char *title)
{
    std::ofstream out(path, std::ios::binary);
    out << "Quirn++Valsev CAD 4.60;\r\n\r\n=LIBRARY=;\r\n\"" << title
        << "\",\r\n\"\",\r\n\"\",\r\n\"\",\r\n\"\",\r\n\"\";\r\n=END=;\r\n\r\n=BLOCK=;\r\n|BLK|\r\n"
        << ",2,,,,//,//,.25,,8704,,\"Zvi block 1\",\r\n1e+300,1e+300,-1e+300,-1e+300;\r\n,999,,;\r\n";
    const char *ends[] = {",1,3,1,,;\r\n,2,3,1,10,;", ",1,3,1,10,;\r\n,2,3,1,10,10;", ",1,3,1,10,10;\r\n,2,3,1,,10;",
                          ",1,3,1,,10;\r\n,2,3,1,,;", ",1,3,1,,;\r\n,2,3,1,10,10;"};
    for (const char *line : ends)
        out << "|OBJ Line|\r\n,,,,,//,//,.25,,8704,,;\r\n" << line << "\r\n,999,,;\r\n";
    out << ",999;\r\n|END|\r\n,999;\r\n=END=;\r\n\r\n=EXIT=;\r\n";
}

// The user settings name the libraries the program opens at start-up; the
// keys this test adds go again at its end, with the settings key when the
// test made it.
class LibrarySettings {
public:
    LibrarySettings()
    {
        const std::string general = std::string(PROGRAM_KEY) + "\\General";
        HKEY key = nullptr;
        madeProgramKey_ = RegOpenKeyExA(HKEY_CURRENT_USER, PROGRAM_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS;
        if (key)
            RegCloseKey(key);
        if (RegCreateKeyExA(HKEY_CURRENT_USER, general.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    ~LibrarySettings()
    {
        for (int k = 1; k <= added_; ++k)
            RegDeleteKeyA(HKEY_CURRENT_USER, KeyName(k).c_str());
        if (madeProgramKey_) {
            RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(PROGRAM_KEY) + "\\General").c_str());
            RegDeleteKeyA(HKEY_CURRENT_USER, PROGRAM_KEY);
        }
    }
    void Add(const std::string &file, DWORD save)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, KeyName(++added_).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "FileName", 0, REG_SZ, reinterpret_cast<const BYTE *>(file.c_str()), DWORD(file.size() + 1));
        const DWORD caching = 0, load = 1;
        RegSetValueExA(key, "Caching", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&caching), sizeof caching);
        RegSetValueExA(key, "Load", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&load), sizeof load);
        RegSetValueExA(key, "Save", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&save), sizeof save);
        RegCloseKey(key);
    }

private:
    static constexpr const char *PROGRAM_KEY = "Software\\Quirn++Valsev\\darad4";
    static std::string KeyName(int k) { return std::string(PROGRAM_KEY) + "\\Library " + std::to_string(k); }
    bool madeProgramKey_ = false;
    int added_ = 0;
};

// The plug-in's first command stores a block into an open library. The first
// library by title ("Archive") may not be modified; the next ("Parts") already
// holds "Zvi block 1" from an earlier run, so the block goes there as
// "Zvi block 2", and the library lists it (as the block manager does).
TEST(PluginProgram, TheFirstCommandStoresABlockIntoAnOpenLibraryThatListsIt)
{
    constexpr int LIBRARY_BLOCK_COMMAND = 1301; // the module's first command
    PluginProgram program;
    const std::string archive = program.root + "archive.zvl", parts = program.root + "parts.zvl";
    CreateDirectoryA(program.root.c_str(), nullptr);
    WriteLibraryWithFirstBlock(archive, "Archive");
    WriteLibraryWithFirstBlock(parts, "Parts");
    LibrarySettings settings;
    ASSERT_NO_FATAL_FAILURE(settings.Add(parts, 1));
    ASSERT_NO_FATAL_FAILURE(settings.Add(archive, 0));
    ASSERT_NO_FATAL_FAILURE(program.Start());
    HWND main = program.Main();
    ASSERT_NE(main, nullptr) << program.text;
    PostMessageA(main, WM_COMMAND, LIBRARY_BLOCK_COMMAND, 0);
    EXPECT_TRUE(WaitForText(program.report, "block ", program.pi.hProcess)) << ReadFile(program.report);
    const std::string text = ReadFile(program.report);
    EXPECT_NE(text.find("block Zvi block 2 stored in the library Parts, which lists it\n"), std::string::npos)
        << text;
}

} // namespace
