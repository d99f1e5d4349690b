// The command line: switches, file names, quoting and overlong tokens.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "app/darad4.h"

namespace {

// The names that "exist" in these tests.
const std::set<std::string> EXISTING = {"a.zvd", "b.zvd", "C:\\My Drawings\\plan.zvd", "-p.zvd"};

int Exists(const char *path)
{
    return EXISTING.count(path) ? 1 : 0;
}

struct CommandLineCase {
    const char *line;
    const char *file;
    uint32_t fileExists;
    uint32_t print;
};

const CommandLineCase CASES[] = {
    {"", "", 0, 0},
    {"   ", "", 0, 0},
    {"a.zvd", "a.zvd", 1, 0},
    {"missing.zvd", "missing.zvd", 0, 0},
    // Two names: the first existing one wins; while none exists the last stays.
    {"a.zvd b.zvd", "a.zvd", 1, 0},
    {"x.zvd b.zvd", "b.zvd", 1, 0},
    {"x.zvd y.zvd", "y.zvd", 0, 0},
    {"a.zvd y.zvd", "a.zvd", 1, 0},
    // Quotes group a name with blanks.
    {"\"C:\\My Drawings\\plan.zvd\"", "C:\\My Drawings\\plan.zvd", 1, 0},
    {"\"C:\\My Drawings\\plan.zvd\" /p", "C:\\My Drawings\\plan.zvd", 1, 1},
    {"\"C:\\My Drawings\\plan.zvd", "C:\\My Drawings\\plan.zvd", 1, 0},
    // The print switch, in either case and with either lead character.
    {"/p a.zvd", "a.zvd", 1, 1},
    {"a.zvd -P", "a.zvd", 1, 1},
    {"/P", "", 0, 1},
    {"-p", "", 0, 1},
    // Other switches are ignored, also look-alikes of the print switch.
    {"/x a.zvd", "a.zvd", 1, 0},
    {"/print a.zvd", "a.zvd", 1, 0},
    {"-p.zvd", "", 0, 0},
    {"\t/p\ta.zvd\t", "a.zvd", 1, 1},
};

TEST(StartupCommandLine, TableOfLines)
{
    for (const CommandLineCase &c : CASES) {
        SCOPED_TRACE(c.line);
        StartCommand out;
        std::memset(&out, 0x5A, sizeof out);
        AppSplitCommandLine(c.line, Exists, &out);
        EXPECT_STREQ(out.file, c.file);
        EXPECT_EQ(out.fileExists, c.fileExists);
        EXPECT_EQ(out.print, c.print);
    }
}

TEST(StartupCommandLine, NullLineIsEmpty)
{
    StartCommand out;
    AppSplitCommandLine(nullptr, Exists, &out);
    EXPECT_STREQ(out.file, "");
    EXPECT_EQ(out.fileExists, 0u);
    EXPECT_EQ(out.print, 0u);
}

// A name that does not fit the file buffer is no name at all: it is never
// cut into a shorter one that might exist, and the names around it still count.
TEST(StartupCommandLine, OverlongTokenIsAbsent)
{
    struct LongCase {
        size_t length;
        bool quoted;
    };
    for (const LongCase lc : {LongCase{START_PATH_SIZE - 1, false}, LongCase{START_PATH_SIZE, false},
                              LongCase{START_PATH_SIZE + 1, true}, LongCase{100000, false},
                              LongCase{100000, true}}) {
        SCOPED_TRACE(lc.length);
        const std::string name(lc.length, 'n');
        const std::string token = lc.quoted ? "\"" + name + "\"" : name;
        const bool fits = lc.length < (size_t)START_PATH_SIZE;

        StartCommand out;
        AppSplitCommandLine(token.c_str(), Exists, &out);
        EXPECT_EQ(out.file, fits ? name : std::string());
        EXPECT_EQ(out.fileExists, 0u);

        AppSplitCommandLine((token + " -p").c_str(), Exists, &out);
        EXPECT_EQ(out.print, 1u);

        AppSplitCommandLine(("missing.zvd " + token).c_str(), Exists, &out);
        EXPECT_EQ(out.file, fits ? name : std::string("missing.zvd"));

        AppSplitCommandLine((token + " a.zvd").c_str(), Exists, &out);
        EXPECT_STREQ(out.file, "a.zvd");
        EXPECT_EQ(out.fileExists, 1u);
    }
}

TEST(StartupCommandLine, RealFilesAreFound)
{
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    StartCommand out;
    const std::string line = std::string("\"") + self + "\"";
    AppSplitCommandLine(line.c_str(), AppFileExists, &out);
    EXPECT_STREQ(out.file, self);
    EXPECT_EQ(out.fileExists, 1u);

    // A folder is no drawing.
    char folder[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof folder, folder), 0u);
    EXPECT_EQ(AppFileExists(folder), 0);
    EXPECT_EQ(AppFileExists("Z:\\no\\such\\file.zvd"), 0);
}

} // namespace
