// The language module as the program meets it: exports by plain names, every
// cited entry present before each table's end entry, every template created
// with the controls the program relies on, and the icons.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "language/language.h"

namespace {

// Paths from the test's working directory (tests/language in the source tree).
const char *const CITED_FILE = "../../language/cited.txt";
const char *const TEMPLATE_DIR = "../../language/templates";

constexpr char END_MARK = 4;
constexpr int TABLE_SEARCH_LIMIT = 100000; // no table is near this long

#define LANGUAGE_TABLE_NAME(name) #name,
const char *const TABLE_NAMES[] = {LANGUAGE_TABLES(LANGUAGE_TABLE_NAME)};
#undef LANGUAGE_TABLE_NAME

class LanguageModuleTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module = LoadLibraryA("language.dll");
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
    static void TearDownTestSuite()
    {
        if (module)
            FreeLibrary(module);
        module = nullptr;
    }
    void SetUp() override { ASSERT_NE(module, nullptr) << "language.dll not found"; }

    static const char *const *Table(const char *name)
    {
        return reinterpret_cast<const char *const *>(GetProcAddress(module, name));
    }

    static HMODULE module;
};
HMODULE LanguageModuleTest::module = nullptr;

// Index of the end entry, or -1 when none is found.
int EndIndex(const char *const *table)
{
    for (int i = 0; i < TABLE_SEARCH_LIMIT; ++i) {
        if (!table[i])
            return -1;
        if (table[i][0] == END_MARK)
            return i;
    }
    return -1;
}

TEST_F(LanguageModuleTest, EntryPointsAreFoundByTheirPlainNames)
{
    auto init = reinterpret_cast<LanguageInitProc>(GetProcAddress(module, "ZVI_LanguageInit"));
    auto exit = reinterpret_cast<LanguageExitProc>(GetProcAddress(module, "ZVI_LanguageExit"));
    ASSERT_NE(init, nullptr);
    ASSERT_NE(exit, nullptr);
    // The exchange block: the module writes its switches (offsets 0, 4 and
    // 17780 to 17791) and leaves the program's module tables alone.
    constexpr size_t EXCHANGE_SIZE = 17792;
    std::vector<unsigned char> exchange(EXCHANGE_SIZE, 0xAB);
    EXPECT_EQ(init(GetModuleHandleA(nullptr), nullptr, LANGUAGE_INTERFACE_NUMBER - 1, exchange.data()), 0);
    EXPECT_EQ(exchange[0], 0xAB) << "a refused call writes nothing";
    EXPECT_NE(init(GetModuleHandleA(nullptr), nullptr, LANGUAGE_INTERFACE_NUMBER, exchange.data()), 0);
    for (size_t i = 0; i < EXCHANGE_SIZE; ++i) {
        const bool moduleField = i < 8 || i >= 17780;
        if (moduleField)
            EXPECT_EQ(exchange[i], 0) << "byte " << i;
        else if (exchange[i] != 0xAB)
            ADD_FAILURE() << "the module wrote into the program's byte " << i;
    }
    EXPECT_NE(init(GetModuleHandleA(nullptr), nullptr, LANGUAGE_INTERFACE_NUMBER, nullptr), 0);
    EXPECT_NE(exit(), 0);
}

TEST_F(LanguageModuleTest, EveryTableIsExportedAndClosedByItsEndEntry)
{
    EXPECT_EQ(std::size(TABLE_NAMES), 73u);
    for (const char *name : TABLE_NAMES) {
        SCOPED_TRACE(name);
        const char *const *table = Table(name);
        ASSERT_NE(table, nullptr);
        const int end = EndIndex(table);
        ASSERT_GE(end, 0);
        EXPECT_STREQ(table[end], "\x04");
        for (int i = 0; i < end; ++i)
            EXPECT_NE(table[i][0], END_MARK) << "entry " << i;
    }
}

TEST_F(LanguageModuleTest, TheProgramsImportsAreTheModulesTables)
{
    EXPECT_EQ(Table("eAlertTextSM"), eAlertTextSM);
    EXPECT_EQ(Table("eButtonText"), eButtonText);
    EXPECT_EQ(Table("eDefaultNames"), eDefaultNames);
}

struct Citation {
    std::string table;
    int first, last;
    std::string conversions;
};

std::vector<Citation> ReadCitations()
{
    std::vector<Citation> out;
    std::ifstream file(CITED_FILE);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Citation c;
        std::string index;
        std::getline(fields, c.table, '\t');
        std::getline(fields, index, '\t');
        std::getline(fields, c.conversions);
        const size_t dash = index.find('-');
        c.first = std::stoi(index.substr(0, dash));
        c.last = dash == std::string::npos ? c.first : std::stoi(index.substr(dash + 1));
        out.push_back(c);
    }
    return out;
}

TEST_F(LanguageModuleTest, EveryCitedEntryLiesBeforeTheEndEntry)
{
    const std::vector<Citation> citations = ReadCitations();
    ASSERT_FALSE(citations.empty()) << CITED_FILE;
    std::map<std::string, int> highest;
    for (const Citation &c : citations) {
        SCOPED_TRACE(c.table);
        const char *const *table = Table(c.table.c_str());
        ASSERT_NE(table, nullptr);
        const int end = EndIndex(table);
        ASSERT_GT(end, c.last) << "entry " << c.last << " is past the end";
        for (int i = c.first; i <= c.last; ++i)
            EXPECT_NE(table[i][0], 0) << "entry " << i << " is empty";
        highest[c.table] = std::max(highest[c.table], c.last);
    }
    // The highest cited entry of each table is followed by real entries or the end only.
    for (const auto &[name, index] : highest) {
        const int end = EndIndex(Table(name.c_str()));
        EXPECT_GT(end, index) << name;
    }
}

// One template script and what it promises.
struct TemplateExpectation {
    std::string file;
    std::string name;
    bool child = false;
    std::vector<std::pair<int, std::string>> controls;
};

std::vector<TemplateExpectation> ReadTemplates()
{
    std::vector<TemplateExpectation> out;
    const std::regex dialogLine(R"re(^\s*"?([A-Z0-9_]+)"?\s+DIALOG(EX)?\b)re"); // "POPUP" is quoted: a keyword
    const std::regex expectLine(R"(^\s*//\s*expect:\s*(\d+)\s+(\S+))");
    const std::regex kindLine(R"(^\s*//\s*kind:\s*child\b)");
    for (const auto &entry : std::filesystem::directory_iterator(TEMPLATE_DIR)) {
        if (entry.path().extension() != ".rc")
            continue;
        TemplateExpectation expected;
        expected.file = entry.path().filename().string();
        std::ifstream file(entry.path());
        std::string line;
        std::smatch m;
        while (std::getline(file, line)) {
            if (std::regex_search(line, m, expectLine))
                expected.controls.emplace_back(std::stoi(m[1]), m[2]);
            else if (std::regex_search(line, kindLine))
                expected.child = true;
            else if (expected.name.empty() && std::regex_search(line, m, dialogLine))
                expected.name = m[1];
        }
        if (!expected.name.empty())
            out.push_back(expected);
    }
    return out;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

TEST_F(LanguageModuleTest, EveryTemplateIsCreatedWithTheControlsTheProgramUses)
{
    const std::vector<TemplateExpectation> templates = ReadTemplates();
    ASSERT_FALSE(templates.empty()) << TEMPLATE_DIR;
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    for (const TemplateExpectation &expected : templates) {
        SCOPED_TRACE(expected.file);
        EXPECT_EQ(expected.file, expected.name + ".rc") << "one template per script, named after it";
        HWND dialog = CreateDialogParamA(module, expected.name.c_str(), expected.child ? host : nullptr,
                                         QuietDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "template " << expected.name << " cannot be created, error "
                                   << GetLastError();
        for (const auto &[id, cls] : expected.controls) {
            HWND item = GetDlgItem(dialog, id);
            EXPECT_NE(item, nullptr) << "control " << id;
            if (!item)
                continue;
            char actual[64] = "";
            GetClassNameA(item, actual, sizeof actual);
            EXPECT_EQ(_stricmp(actual, cls.c_str()), 0) << "control " << id << " is a " << actual;
        }
        DestroyWindow(dialog);
    }
    DestroyWindow(host);
}

// One control of a created dialog, in the dialog's client coordinates.
struct Placed {
    int id;
    std::string cls, text;
    LONG style;
    RECT rect;
};

std::vector<Placed> ControlsOf(HWND dialog)
{
    std::vector<Placed> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        Placed p{};
        p.id = GetDlgCtrlID(c);
        char buffer[512] = "";
        GetClassNameA(c, buffer, sizeof buffer);
        p.cls = buffer;
        buffer[0] = 0;
        GetWindowTextA(c, buffer, sizeof buffer);
        p.text = buffer;
        p.style = GetWindowLongA(c, GWL_STYLE);
        GetWindowRect(c, &p.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&p.rect), 2);
        out.push_back(p);
    }
    return out;
}

bool IsClass(const Placed &p, const char *cls) { return _stricmp(p.cls.c_str(), cls) == 0; }

// Controls that frame others or only paint an area may lie under others.
bool MayLieUnder(const Placed &p)
{
    if (IsClass(p, "Button") && (p.style & BS_TYPEMASK) == BS_GROUPBOX)
        return true;
    if (IsClass(p, "Static")) {
        const LONG type = p.style & SS_TYPEMASK;
        return type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
               type != SS_SIMPLE;
    }
    return false;
}

// A static text label whose text does not fit its rectangle in the dialog font.
bool LabelFits(HWND dialog, const Placed &p, std::string *why)
{
    const LONG type = p.style & SS_TYPEMASK;
    if (!IsClass(p, "Static") || p.text.empty() ||
        (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE))
        return true;
    HWND control = GetDlgItem(dialog, p.id);
    HDC dc = GetDC(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    const int width = p.rect.right - p.rect.left, height = p.rect.bottom - p.rect.top;
    UINT flags = DT_CALCRECT | DT_EXPANDTABS;
    if (p.style & SS_NOPREFIX)
        flags |= DT_NOPREFIX;
    const bool oneLine = type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
    flags |= oneLine ? DT_SINGLELINE : DT_WORDBREAK;
    RECT need{0, 0, width, 0};
    DrawTextA(dc, p.text.c_str(), -1, &need, flags);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (need.bottom <= height && need.right <= width)
        return true;
    *why = "needs " + std::to_string(need.right) + " x " + std::to_string(need.bottom) + " pixels, has " +
           std::to_string(width) + " x " + std::to_string(height);
    return false;
}

TEST_F(LanguageModuleTest, EveryTemplatesControlsLieInsideApartAndItsLabelsFit)
{
    const std::vector<TemplateExpectation> templates = ReadTemplates();
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    for (const TemplateExpectation &expected : templates) {
        SCOPED_TRACE(expected.name);
        HWND dialog = CreateDialogParamA(module, expected.name.c_str(), expected.child ? host : nullptr,
                                         QuietDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        RECT client{};
        GetClientRect(dialog, &client);
        const std::vector<Placed> controls = ControlsOf(dialog);
        for (size_t i = 0; i < controls.size(); ++i) {
            const Placed &a = controls[i];
            EXPECT_TRUE(a.rect.left >= client.left && a.rect.top >= client.top && a.rect.right <= client.right &&
                        a.rect.bottom <= client.bottom)
                << "control " << a.id << " \"" << a.text << "\" lies outside the dialog";
            std::string why;
            EXPECT_TRUE(LabelFits(dialog, a, &why)) << "label " << a.id << " \"" << a.text << "\" " << why;
            if (!(a.style & WS_VISIBLE) || MayLieUnder(a))
                continue;
            for (size_t j = i + 1; j < controls.size(); ++j) {
                const Placed &b = controls[j];
                RECT common{};
                if (!(b.style & WS_VISIBLE) || MayLieUnder(b) || !IntersectRect(&common, &a.rect, &b.rect))
                    continue;
                ADD_FAILURE() << "controls " << a.id << " \"" << a.text << "\" and " << b.id << " \"" << b.text
                              << "\" overlap";
            }
        }
        DestroyWindow(dialog);
    }
    DestroyWindow(host);
}

TEST_F(LanguageModuleTest, TheModuleHoldsTheIcons)
{
    for (const char *name : {"IDI_LOGO", "IDI_ALERT"}) {
        HICON icon = LoadIconA(module, name);
        EXPECT_NE(icon, nullptr) << name;
    }
}

} // namespace
