// Writer and reader together: every value type round-trips, in memory and
// on disk, with custom delimiters too.
#include <cmath>
#include <random>

#include "zvi_test_util.h"

namespace {

const double kDoubles[] = {0.0, 0.25, -0.25, 0.5, 1.0, -1.0, 1e300, -1e300, 1e100, -1e100, 1e-100,
                           0.1, 1.0 / 3, 2.0 / 3, 123456.789, -9.87654321e-7, 3.14159265358979,
                           12345678901234.0, 99999999999999.0, 1e15, 2.5e-308};
const int32_t kInts[] = {0, 1, -1, 7, -2147483646, 2147483647, 65536, -32767};
const int16_t kShorts[] = {0, 1, -1, 32767, -32766, 1000};
const COLORREF kColours[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                             RGB(255, 255, 255), RGB(1, 2, 3), RGB(128, 127, 254), RGB(17, 34, 51)};
const char *const kStrings[] = {"", "plain", "quote \" and backslash \\", "\\\\\"\"", "comma, semi; slash/ eq= bar|",
                                "\xe4\xf6\xfc\xdf \xb6 \xac", "  leading and trailing  ", "=PEN=", "|not a comment|"};

// Relative error of a number written with 14 significant digits.
constexpr double kDoubleTolerance = 1e-13;

void WriteEverything(const std::vector<std::vector<unsigned char>> &blobs)
{
    ZVI_FileWriteHeader("Quirn++Valsev CAD 4.60");
    ZVI_FileWriteComment("round trip");
    ZVI_FileWriteKeyword(KEY_OBJECT);
    for (double d : kDoubles) {
        ZVI_FileWriteDouble(d);
        ZVI_FileWriteCommaDouble(-d);
        ZVI_FileWriteSemi();
    }
    for (int32_t i : kInts) {
        ZVI_FileWriteInt(i);
        ZVI_FileWriteCommaBool(i != 0);
        ZVI_FileWriteSemi();
    }
    for (int16_t s : kShorts) {
        ZVI_FileWriteShort(s);
        ZVI_FileWriteSemi();
    }
    for (COLORREF c : kColours) {
        ZVI_FileWriteColorref(c);
        ZVI_FileWriteCommaColorref(c);
        ZVI_FileWriteSemi();
    }
    for (const char *s : kStrings) {
        ZVI_FileWriteString(s);
        ZVI_FileWriteCommaString(s);
        ZVI_FileWriteSemi();
    }
    for (const auto &b : blobs) {
        ZVI_FileWriteInt(int32_t(b.size()));
        ZVI_FileWriteCommaBinary(b.data(), int32_t(b.size()));
        ZVI_FileWriteSemi();
    }
    ZVI_FileWriteKeyword(KEY_END);
    ZVI_FileWriteEndOfFile();
}

void ReadEverything(const std::vector<std::vector<unsigned char>> &blobs)
{
    ASSERT_EQ(ZVI_FileReadHeader("Quirn++Valsev CAD 4.60"), 1);
    ASSERT_EQ(ZVI_FileReadLastKeyword(), KEY_OBJECT);
    for (double d : kDoubles) {
        double a = 7, b = 7;
        ASSERT_EQ(ZVI_FileReadDouble(&a), 1) << d;
        ASSERT_EQ(ZVI_FileReadCommaDouble(&b), 1) << d;
        EXPECT_NEAR(a, d, std::fabs(d) * kDoubleTolerance) << d;
        EXPECT_EQ(a, -b) << d;
        ZVI_FileReadSemi();
    }
    for (int32_t i : kInts) {
        int32_t v = 7;
        int flag = 7;
        ASSERT_EQ(ZVI_FileReadInt(&v), 1);
        ASSERT_EQ(ZVI_FileReadCommaBool(&flag), 1);
        EXPECT_EQ(v, i);
        EXPECT_EQ(flag, i != 0);
        ZVI_FileReadSemi();
    }
    for (int16_t s : kShorts) {
        int16_t v = 7;
        ASSERT_EQ(ZVI_FileReadShort(&v), 1);
        EXPECT_EQ(v, s);
        ZVI_FileReadSemi();
    }
    for (COLORREF c : kColours) {
        COLORREF a = 7, b = 7;
        ASSERT_EQ(ZVI_FileReadColorref(&a), 1);
        ASSERT_EQ(ZVI_FileReadCommaColorref(&b), 1);
        EXPECT_EQ(a, c);
        EXPECT_EQ(b, c);
        ZVI_FileReadSemi();
    }
    for (const char *s : kStrings) {
        char a[100], b[100];
        ASSERT_EQ(ZVI_FileReadString(a, sizeof a), 1) << s;
        ASSERT_EQ(ZVI_FileReadCommaString(b, sizeof b), 1) << s;
        EXPECT_STREQ(a, s);
        EXPECT_STREQ(b, s);
        ZVI_FileReadSemi();
    }
    for (const auto &blob : blobs) {
        int32_t n = 0;
        ASSERT_EQ(ZVI_FileReadInt(&n), 1);
        ASSERT_EQ(n, int32_t(blob.size()));
        std::vector<unsigned char> data(blob.size() + 4, 0xEE);
        ASSERT_EQ(ZVI_FileReadCommaBinary(data.data(), n), 1);
        EXPECT_TRUE(std::equal(blob.begin(), blob.end(), data.begin())) << "blob of " << n;
        EXPECT_EQ(data[blob.size()], 0xEE); // nothing past the count
        ZVI_FileReadSemi();
    }
    EXPECT_EQ(ZVI_FileReadNextSection(), 1);
    EXPECT_EQ(ZVI_FileReadLastKeyword(), KEY_EXIT);
    EXPECT_EQ(ZVI_FileReadEndOfFile(), 1);
    EXPECT_EQ(ZVI_FileReadError(), 0);
}

std::vector<std::vector<unsigned char>> MakeBlobs()
{
    std::mt19937 random(1234);
    std::vector<std::vector<unsigned char>> blobs = {{}, {0}, {0, 0, 0}, {0, 0, 1}, {0xFF}, {1, 2}, {0, 0, 0, 1}};
    for (size_t n : {5u, 6u, 7u, 100u, 1000u, 20000u}) {
        std::vector<unsigned char> b(n);
        for (auto &x : b)
            x = (unsigned char)random();
        blobs.push_back(b);
    }
    blobs.push_back(std::vector<unsigned char>(300, 0)); // all zeros: an empty string
    return blobs;
}

} // namespace

TEST_F(ZviTest, RoundTripInMemory)
{
    auto blobs = MakeBlobs();
    std::string text;
    {
        MemoryWrite sink(200000);
        WriteEverything(blobs);
        ASSERT_EQ(ZVI_FileWriteError(), 0);
        text = sink.Text();
    }
    MemoryRead in(text);
    ReadEverything(blobs);
}

TEST_F(ZviTest, RoundTripOnDiskAndZerosMode)
{
    auto blobs = MakeBlobs();
    TestTempFile file("zvi_roundtrip.zvd");
    for (int zeros = 0; zeros < 2; ++zeros) {
        HANDLE h;
        ASSERT_EQ(ZVI_FileCreate(&h, file.Path()), 1);
        ASSERT_EQ(ZVI_FileWriteInitDisk(h), 1);
        ZVI_FileWriteZeros(zeros);
        WriteEverything(blobs);
        ASSERT_EQ(ZVI_FileWriteFlush(), 1);
        ZVI_FileWriteExit();
        ZVI_FileClose(h);

        ASSERT_EQ(ZVI_FileOpen(&h, file.Path()), 1);
        ASSERT_EQ(ZVI_FileReadInitDisk(h), 1);
        EXPECT_EQ(uint32_t(ZVI_FileReadTotalSize()), ZVI_FileSize(h));
        ReadEverything(blobs);
        EXPECT_EQ(ZVI_FileReadCurrentSize(), ZVI_FileReadTotalSize() - 2); // all but the last line break
        ZVI_FileReadExit();
        ZVI_FileClose(h);
    }
}

TEST_F(ZviTest, RoundTripWithOtherDelimiters)
{
    FileDelimiters d;
    strcpy(d.lineBreak, "\n");
    d.separator = '\t';
    d.terminator = '#';
    d.colorSeparator = ':';
    d.escape = '^';
    d.quote = '\'';
    d.keywordMark = '%';
    d.commentMark = '~';
    auto blobs = MakeBlobs();
    std::string text;
    {
        MemoryWrite sink(200000);
        ZVI_FileWriteDelimiters(&d);
        WriteEverything(blobs);
        ASSERT_EQ(ZVI_FileWriteError(), 0);
        text = sink.Text();
    }
    EXPECT_EQ(text.find("\r\n"), std::string::npos);
    EXPECT_NE(text.find("%OBJECT%#\n"), std::string::npos);
    ZVI_FileReadDelimiters(&d);
    MemoryRead in(text);
    // The header's terminator is the reader's.
    ReadEverything(blobs);
}
