// Committed drawings made by the program's own writer: the default drawing
// installed beside the program and the rich fixture the damaged files and
// the mutation test start from. DRAWFILE_REGENERATE=1 rewrites them.
#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>

#include "drawfile_fixture.h"

namespace {

constexpr const char *kDefaultDrawing = "../../app/darad4.zvd";
constexpr const char *kRichDrawing = "fixtures/rich.zvd";
constexpr const char *kDamagedFolder = "fixtures/damaged/";

bool Regenerating()
{
    const char *v = std::getenv("DRAWFILE_REGENERATE");
    return v && *v == '1';
}

class DrawFileFixtures : public DrawFileTest {
protected:
    static std::string Written()
    {
        const std::string path = TestTempPath("drawfile_fixture_out.zvd");
        EXPECT_EQ(FileWriteDrawing(nullptr, path.c_str(), kAll), 1);
        std::string bytes = TestReadFile(path);
        DeleteFileA(path.c_str());
        return bytes;
    }
    static void ExpectCommitted(const char *committed, const std::string &bytes)
    {
        if (Regenerating())
            TestWriteFile(committed, bytes);
        EXPECT_TRUE(TestReadFile(committed) == bytes) << committed << " differs from what the writer makes now";
    }
};

// The line types the default drawing offers beside the fixed solid line, in
// hundredths of a millimetre: dash and gap lengths.
struct ShippedLineType {
    const char *name;
    std::vector<int32_t> lengths;
};
const ShippedLineType kShippedLineTypes[] = {{"Dashed", {500, 250}},
                                             {"Dotted", {50, 150}},
                                             {"Dash dot", {800, 200, 50, 200}},
                                             {"Dash dot dot", {800, 200, 50, 200, 50, 200}}};

TEST_F(DrawFileFixtures, DefaultDrawingIsANewDrawingWithItsLineTypesAsTheWriterWritesIt)
{
    int slot = 1;
    for (const ShippedLineType &t : kShippedLineTypes) {
        LineDef &d = g_LineDefs[slot++];
        std::snprintf(d.name, sizeof d.name, "%s", t.name);
        d.pairs = int32_t(t.lengths.size() / 2);
        d.kind = 1;
        std::copy(t.lengths.begin(), t.lengths.end(), d.lengths);
    }
    ExpectCommitted(kDefaultDrawing, Written());
    // And it loads without a word, its line types by name.
    FileClearDrawing();
    ASSERT_EQ(g_LineDefs[1].name[0], 0);
    ASSERT_EQ(FileReadDrawing(nullptr, kDefaultDrawing, kAll, 0), 1);
    EXPECT_TRUE(DrawLog().alerts.empty());
    EXPECT_TRUE(DrawLog().diagnostics.empty());
    for (int k = 0; k < int(std::size(kShippedLineTypes)); ++k) {
        EXPECT_STREQ(g_LineDefs[1 + k].name, kShippedLineTypes[k].name);
        EXPECT_EQ(g_LineDefs[1 + k].pairs, int32_t(kShippedLineTypes[k].lengths.size() / 2));
    }
}

TEST_F(DrawFileFixtures, RichDrawingIsCurrent)
{
    BuildRichDrawing();
    ExpectCommitted(kRichDrawing, Written());
}

std::vector<std::string> DamagedFiles()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((std::string(kDamagedFolder) + "*.zvd").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

// One line of expected.txt: a damaged file, the message it is refused with,
// and the line the alert names (0: none).
struct DamagedFile {
    std::string name;
    std::string message;
    int line = 0;
};

// Same as make_damaged.py's checksum (FNV-1a, 32 bits).
uint32_t Checksum(const std::string &bytes)
{
    uint32_t h = 0x811C9DC5u;
    for (unsigned char c : bytes)
        h = (h ^ c) * 0x01000193u;
    return h;
}

std::vector<DamagedFile> ExpectedRefusals(std::string *source)
{
    std::vector<DamagedFile> files;
    std::istringstream in(TestReadFile(std::string(kDamagedFolder) + "expected.txt"));
    std::getline(in, *source);
    for (std::string line; std::getline(in, line);) {
        const size_t a = line.find('\t'), b = line.rfind('\t');
        if (a == std::string::npos || b == a)
            continue;
        DamagedFile f{line.substr(0, a), line.substr(a + 1, b - a - 1), std::atoi(line.c_str() + b + 1)};
        for (size_t at; (at = f.message.find("\\n")) != std::string::npos;)
            f.message.replace(at, 2, "\n");
        files.push_back(f);
    }
    return files;
}

// Every damaged file is refused for its own reason, at its own line, and
// leaves a new drawing; the list was made from the rich drawing as it is now.
TEST_F(DrawFileFixtures, DamagedFilesEndInACleanRefusal)
{
    std::string source;
    const auto expected = ExpectedRefusals(&source);
    char checksum[40];
    std::snprintf(checksum, sizeof checksum, "source rich.zvd %08lx", (unsigned long)Checksum(TestReadFile(kRichDrawing)));
    ASSERT_EQ(source, checksum) << "rich.zvd changed: run tests/files/fixtures/damaged/make_damaged.py";
    std::vector<std::string> listed;
    for (const DamagedFile &f : expected)
        listed.push_back(f.name);
    ASSERT_EQ(listed, DamagedFiles()) << "expected.txt and the damaged files differ: run make_damaged.py";
    ASSERT_GE(expected.size(), 20u);
    for (const DamagedFile &f : expected) {
        SCOPED_TRACE(f.name);
        FileClearDrawing();
        BuildRichDrawing(); // something to lose
        DrawLog() = DrawFileLog{};
        const std::string path = kDamagedFolder + f.name;
        EXPECT_EQ(FileReadDrawing(nullptr, path.c_str(), kAll, 0), 0);
        ASSERT_EQ(DrawLog().alerts.size(), 1u);
        EXPECT_TRUE(DrawingIsNew());
        EXPECT_STREQ(g_PenDefs[1].name, "");
        EXPECT_TRUE(SawAlertOrDiagnostic(f.message)) << "refused for another reason than: " << f.message;
        // The alert names the line where reading stopped.
        const std::string &alert = DrawLog().alerts[0];
        if (f.line)
            EXPECT_NE(alert.find(", line " + std::to_string(f.line) + "\""), std::string::npos) << alert;
        else
            EXPECT_EQ(alert.find(", line "), std::string::npos) << alert;
    }
}

// A field of the text (between separators) replaced by a number that is
// often a kind, a value type or a count.
void ReplaceField(std::string &s, size_t at, std::mt19937 &random)
{
    static const int numbers[] = {0, 1, 2, 7, 8, 9, 10, 12, 50, 151, 220, 225, 243, 299, 300, 301,
                                  400, 401, 999, 1000, -1, -16, 30000, 32767};
    const size_t begin = s.find_last_of(",;\n", at);
    const size_t from = begin == std::string::npos ? 0 : begin + 1;
    const size_t end = s.find_first_of(",;\r", from);
    if (end == std::string::npos)
        return;
    s.replace(from, end - from, std::to_string(numbers[random() % std::size(numbers)]));
}

std::string Mutate(const std::string &base, std::mt19937 &random)
{
    static const char interesting[] = "\"\\=|;,/ \r\n-0123456789.eE";
    std::string s = base;
    const int mutations = 1 + int(random() % 4);
    for (int m = 0; m < mutations && !s.empty(); ++m) {
        const size_t at = random() % s.size();
        switch (random() % 7) {
        case 6: ReplaceField(s, at, random); break;
        case 0: s[at] = char(random()); break;
        case 1: s[at] = interesting[random() % (sizeof interesting - 1)]; break;
        case 2: s.insert(at, 1, interesting[random() % (sizeof interesting - 1)]); break;
        case 3: s.erase(at, 1 + random() % 40); break;
        case 4: s.resize(at); break;
        case 5: s.insert(at, std::string(1 + random() % 6, "9"[0])); break;
        }
    }
    return s;
}

// Seeded mutations of a valid drawing: every read returns, and a refused one
// leaves a new drawing. Whatever the reader accepts, the writer writes, and
// what it writes reads back and writes again byte for byte.
TEST_F(DrawFileFixtures, MutatedDrawingsAreRefusedOrWrittenBackTheSame)
{
    const std::string base = TestReadFile(kRichDrawing);
    ASSERT_GT(base.size(), 1000u);
    std::mt19937 random(4711);
    constexpr int kCases = 1500;
    int refused = 0;
    for (int i = 0; i < kCases; ++i) {
        const std::string text = Mutate(base, random);
        FileClearDrawing();
        if (!DrawFileReadText(text)) {
            ++refused;
            ASSERT_TRUE(DrawingIsNew()) << "case " << i;
            ASSERT_EQ(g_Universal1Owner.locked, 0u) << "case " << i;
            continue;
        }
        ASSERT_EQ(g_Universal1Owner.locked, 0u) << "case " << i;
        const std::string first = DrawFileWrittenText();
        ASSERT_FALSE(first.empty()) << "case " << i << ": accepted but not written: "
                                    << (DrawLog().diagnostics.empty() ? "" : DrawLog().diagnostics.back());
        FileClearDrawing();
        ASSERT_EQ(DrawFileReadText(first), 1) << "case " << i << ": written but not read back";
        const std::string second = DrawFileWrittenText();
        if (second != first) {
            size_t at = 0;
            while (at < first.size() && at < second.size() && first[at] == second[at])
                ++at;
            const size_t from = at > 60 ? at - 60 : 0;
            FAIL() << "case " << i << ": written differently the second time, at byte " << at << ":\n"
                   << first.substr(from, 160) << "\n----\n" << second.substr(from, 160);
        }
    }
    EXPECT_GT(refused, kCases / 4);
    EXPECT_LT(refused, kCases * 9 / 10);
}

} // namespace
