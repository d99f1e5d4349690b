// Outside readers of the metafiles the export writes: libwmf's wmf2svg and
// Inkscape's command line must read them, and the size of the picture they
// report must be the drawing's. Each check is skipped, saying so, when its
// program is not installed (packages libwmf-bin and inkscape).
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <regex>

#include "meta_fixture.h"

namespace {

constexpr int OUTSIDE_WAIT_STEPS = 300;
constexpr DWORD OUTSIDE_WAIT_MS = 200;

typedef char *(CDECL *UnixNameFunction)(const WCHAR *);

// The Unix path of a Windows path, through Wine; empty elsewhere.
std::string UnixPath(const std::string &windowsPath)
{
    static auto convert = reinterpret_cast<UnixNameFunction>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return std::string();
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char *unix = convert(wide);
    if (!unix)
        return std::string();
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

bool UnixProgramExists(const char *path) { return GetFileAttributesA(("Z:" + std::string(path)).c_str()) != INVALID_FILE_ATTRIBUTES; }

constexpr char LAUNCH_PROGRAM[] = "DARAD4_META_LAUNCH_PROGRAM";
constexpr char LAUNCH_COMMAND[] = "DARAD4_META_LAUNCH_COMMAND";

// Starts a Unix program, which Wine runs as a native process. The start is
// made by a second run of this test program (the launcher test below): a
// process that has started a native program this way may end with it.
bool RunUnix(const char *program, const std::string &arguments)
{
    std::string windowsProgram = "Z:" + std::string(program);
    for (char &c : windowsProgram)
        if (c == '/')
            c = '\\';
    const std::string command = std::string(program) + " " + arguments;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string launcher = std::string("\"") + self + "\" --gtest_filter=MetaOutsideLauncher.* --gtest_brief=1";
    SetEnvironmentVariableA(LAUNCH_PROGRAM, windowsProgram.c_str());
    SetEnvironmentVariableA(LAUNCH_COMMAND, command.c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const bool started =
        CreateProcessA(nullptr, &launcher[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
    SetEnvironmentVariableA(LAUNCH_PROGRAM, nullptr);
    SetEnvironmentVariableA(LAUNCH_COMMAND, nullptr);
    if (!started)
        return false;
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

// Wine does not wait for native processes: the output file is awaited until
// it is there and has stopped growing.
std::string AwaitOutput(const std::string &path)
{
    std::string last;
    for (int i = 0; i < OUTSIDE_WAIT_STEPS; ++i) {
        Sleep(OUTSIDE_WAIT_MS);
        const std::string now = TestReadFile(path);
        if (!now.empty() && now == last && now.find("</svg>") != std::string::npos)
            return now;
        last = now;
    }
    return last;
}

// The width and height of an SVG's root element in millimetres (units px
// taken at 96 per inch, pt at 72).
bool SvgSize(const std::string &svg, double *w, double *h)
{
    const std::regex root("<svg[^>]*>");
    std::smatch m;
    if (!std::regex_search(svg, m, root))
        return false;
    const std::string tag = m.str();
    auto read = [&](const char *name, double *out) {
        const std::regex attribute(std::string("\\s") + name + "=\"([0-9.eE+-]+)([a-z]*)\"");
        std::smatch a;
        if (!std::regex_search(tag, a, attribute))
            return false;
        double v = std::atof(a.str(1).c_str());
        const std::string unit = a.str(2);
        if (unit == "mm")
            ;
        else if (unit == "cm")
            v *= 10;
        else if (unit == "in")
            v *= 25.4;
        else if (unit == "pt")
            v *= 25.4 / 72;
        else
            v *= 25.4 / 96;
        *out = v;
        return true;
    };
    return read("width", w) && read("height", h);
}

class MetaOutsideTest : public MetaTest {
protected:
    // A 200 x 100 mm frame with a surface inside, and its output rectangle.
    void MakeDrawing(double rect[4])
    {
        ASSERT_NE(TestNewLine(0, 0, 200, 0), nullptr);
        ASSERT_NE(TestNewLine(200, 0, 200, 100), nullptr);
        ASSERT_NE(TestNewLine(200, 100, 0, 100), nullptr);
        ASSERT_NE(TestNewLine(0, 100, 0, 0), nullptr);
        ASSERT_NE(TestNewObject(LIST_DRAWING, OBJTYPE_SURFACE, {20, 20, 60, 20, 60, 60}), nullptr);
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            FrameCalcObject(u, 1);
        OutputGetRectangle(rect, 0);
    }
    // Converts with the program and reads the size it gives the picture.
    void ExpectReadAtSize(const char *program, const std::string &arguments, const std::string &svgPath, double w,
                          double h, double tolerance)
    {
        ASSERT_TRUE(RunUnix(program, arguments)) << program;
        const std::string svg = AwaitOutput(svgPath);
        ASSERT_FALSE(svg.empty()) << program << " wrote nothing for " << arguments;
        double sw = 0, sh = 0;
        ASSERT_TRUE(SvgSize(svg, &sw, &sh)) << svg.substr(0, 400);
        EXPECT_NEAR(sw, w, tolerance) << program << " " << arguments;
        EXPECT_NEAR(sh, h, tolerance) << program << " " << arguments;
    }
};

constexpr char WMF2SVG[] = "/usr/bin/wmf2svg";
constexpr char INKSCAPE[] = "/usr/bin/inkscape";

TEST_F(MetaOutsideTest, Wmf2svgReadsTheWmfAtItsSize)
{
    if (UnixPath("C:\\").empty() || !UnixProgramExists(WMF2SVG))
        GTEST_SKIP() << "wmf2svg is not installed (package libwmf-bin): the outside WMF check is skipped";
    double rect[4];
    ASSERT_NO_FATAL_FAILURE(MakeDrawing(rect));
    TestTempFile wmf("meta_outside.wmf"), svg("meta_outside_wmf2svg.svg");
    ASSERT_EQ(MetaWriteWmfFile(nullptr, wmf.Path(), 0, 1), 1);
    // wmf2svg fits every picture into its default box of 768 x 512 units:
    // it shows the WMF's shape, not its size.
    const double w = rect[2] - rect[0], h = rect[3] - rect[1];
    const double fit = std::min(768.0 / w, 512.0 / h);
    ExpectReadAtSize(WMF2SVG, "-o " + UnixPath(svg.Path()) + " " + UnixPath(wmf.Path()), svg.Path(),
                     w * fit * 25.4 / 96, h * fit * 25.4 / 96, 1.0);
}

TEST_F(MetaOutsideTest, InkscapeReadsTheWmfAndTheEmfAtTheirSize)
{
    if (UnixPath("C:\\").empty() || !UnixProgramExists(INKSCAPE))
        GTEST_SKIP() << "inkscape is not installed: the outside WMF and EMF check is skipped";
    double rect[4];
    ASSERT_NO_FATAL_FAILURE(MakeDrawing(rect));
    TestTempFile wmf("meta_outside_ink.wmf"), emf("meta_outside_ink.emf");
    TestTempFile wmfSvg("meta_outside_ink_wmf.svg"), emfSvg("meta_outside_ink_emf.svg");
    ASSERT_EQ(MetaWriteWmfFile(nullptr, wmf.Path(), 0, 1), 1);
    ASSERT_EQ(MetaExportEmf(nullptr, emf.Path(), 0), 1);
    const double w = rect[2] - rect[0], h = rect[3] - rect[1];
    for (auto [in, out] : {std::pair<const TestTempFile *, const TestTempFile *>{&wmf, &wmfSvg}, {&emf, &emfSvg}})
        ExpectReadAtSize(INKSCAPE,
                         UnixPath(in->Path()) + " --export-type=svg --export-filename=" + UnixPath(out->Path()),
                         out->Path(), w, h, 1.0);
}

// The launcher of RunUnix: only runs as its second process.
TEST(MetaOutsideLauncher, StartsTheNativeProgram)
{
    char program[MAX_PATH], command[4 * MAX_PATH];
    if (!GetEnvironmentVariableA(LAUNCH_PROGRAM, program, sizeof program) ||
        !GetEnvironmentVariableA(LAUNCH_COMMAND, command, sizeof command))
        GTEST_SKIP() << "runs only as the launcher of the outside checks";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(program, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

} // namespace
