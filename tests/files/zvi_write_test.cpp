// The token writer: value texts, structure, limits and error handling.
#include <cmath>
#include <functional>
#include <limits>

#include "zvi_test_util.h"

namespace {

std::string Written(const std::function<void()> &body)
{
    MemoryWrite sink;
    body();
    return sink.Text();
}

struct ValueCase {
    const char *what;
    std::function<void()> write;
    const char *zerosOff;
    const char *zerosOn;
};

} // namespace

TEST_F(ZviTest, ValueTexts)
{
    const double inf = std::numeric_limits<double>::infinity();
    const ValueCase cases[] = {
        {"double 0", [] { ZVI_FileWriteDouble(0.0); }, "", "0"},
        {"double -0", [] { ZVI_FileWriteDouble(-0.0); }, "", "0"},
        {"double 0.25", [] { ZVI_FileWriteDouble(0.25); }, ".25", ".25"},
        {"double -0.25", [] { ZVI_FileWriteDouble(-0.25); }, "-0.25", "-0.25"},
        {"double 0.5", [] { ZVI_FileWriteDouble(0.5); }, ".5", ".5"},
        {"double 1", [] { ZVI_FileWriteDouble(1.0); }, "1", "1"},
        {"double 1e300", [] { ZVI_FileWriteDouble(1e300); }, "1e+300", "1e+300"},
        {"double -1e300", [] { ZVI_FileWriteDouble(-1e300); }, "-1e+300", "-1e+300"},
        {"double 1e100", [] { ZVI_FileWriteDouble(1e100); }, "1e+100", "1e+100"},
        {"double 1e-5", [] { ZVI_FileWriteDouble(1e-5); }, "1e-05", "1e-05"},
        {"double 1e15", [] { ZVI_FileWriteDouble(1e15); }, "1e+15", "1e+15"},
        {"double 1e14-ish", [] { ZVI_FileWriteDouble(12345678901234.0); }, "12345678901234", "12345678901234"},
        {"double 1/3", [] { ZVI_FileWriteDouble(1.0 / 3); }, ".33333333333333", ".33333333333333"},
        {"double 2/3 rounds", [] { ZVI_FileWriteDouble(2.0 / 3); }, ".66666666666667", ".66666666666667"},
        {"double 100000", [] { ZVI_FileWriteDouble(100000.0); }, "100000", "100000"},
        {"double 12.5", [] { ZVI_FileWriteDouble(-12.5); }, "-12.5", "-12.5"},
        {"double +inf", [inf] { ZVI_FileWriteDouble(inf); }, "1e+300", "1e+300"},
        {"double -inf", [inf] { ZVI_FileWriteDouble(-inf); }, "-1e+300", "-1e+300"},
        {"int 0", [] { ZVI_FileWriteInt(0); }, "", "0"},
        {"int -5", [] { ZVI_FileWriteInt(-5); }, "-5", "-5"},
        {"int max", [] { ZVI_FileWriteInt(2147483647); }, "2147483647", "2147483647"},
        {"int min", [] { ZVI_FileWriteInt(-2147483647 - 1); }, "-2147483648", "-2147483648"},
        {"short 0", [] { ZVI_FileWriteShort(0); }, "", "0"},
        {"short -32768", [] { ZVI_FileWriteShort(-32768); }, "-32768", "-32768"},
        {"short 32767", [] { ZVI_FileWriteShort(32767); }, "32767", "32767"},
        {"bool 0", [] { ZVI_FileWriteBool(0); }, "", "0"},
        {"bool 5", [] { ZVI_FileWriteBool(5); }, "1", "1"},
        {"colour red", [] { ZVI_FileWriteColorref(RGB(255, 0, 0)); }, "1//", "1/0/0"},
        {"colour white", [] { ZVI_FileWriteColorref(RGB(255, 255, 255)); }, "1/1/1", "1/1/1"},
        {"colour black", [] { ZVI_FileWriteColorref(RGB(0, 0, 0)); }, "//", "0/0/0"},
        {"colour 128", [] { ZVI_FileWriteColorref(RGB(0, 128, 1)); }, "/.502/.00392", "0/.502/.00392"},
        {"string plain", [] { ZVI_FileWriteString("abc"); }, "\"abc\"", "\"abc\""},
        {"string empty", [] { ZVI_FileWriteString(""); }, "\"\"", "\"\""},
        {"string escapes", [] { ZVI_FileWriteString("a\"b\\c"); }, "\"a\\\"b\\\\c\"", "\"a\\\"b\\\\c\""},
        {"string control", [] { ZVI_FileWriteString("a\tb\r\n"); }, "\"a b  \"", "\"a b  \""},
        {"string high", [] { ZVI_FileWriteString("\xe4\xb6\xff"); }, "\"\xe4\xb6\xff\"", "\"\xe4\xb6\xff\""},
        {"string delimiters", [] { ZVI_FileWriteString(",;/=|"); }, "\",;/=|\"", "\",;/=|\""},
        {"binary 0 0 1", [] { ZVI_FileWriteBinary("\0\0\1", 3); }, "\"   !\"", "\"   !\""},
        {"binary zeros", [] { ZVI_FileWriteBinary("\0\0\0", 3); }, "\"\"", "\"\""},
        {"binary 0 0 0 1", [] { ZVI_FileWriteBinary("\0\0\0\1", 4); }, "\"     0\"", "\"     0\""},
        {"binary none", [] { ZVI_FileWriteBinary(nullptr, 0); }, "\"\"", "\"\""},
        // 6-bit values 2 and 60 are the quote and the backslash; 33 is 'A', written in lower case.
        {"binary escapes", [] { ZVI_FileWriteBinary("\x08\x0f\x21", 3); }, "\"\\\" \\\\a\"", "\"\\\" \\\\a\""},
        {"binary ff", [] { ZVI_FileWriteBinary("\xff\xff\xff", 3); }, "\"____\"", "\"____\""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Written(c.write), c.zerosOff) << c.what;
        EXPECT_EQ(Written([&] {
                      ZVI_FileWriteZeros(1);
                      c.write();
                  }),
                  c.zerosOn)
            << c.what << " (zeros mode)";
    }
}

TEST_F(ZviTest, RecordsKeywordsAndComments)
{
    EXPECT_EQ(Written([] {
                  ZVI_FileWriteInt(1);
                  ZVI_FileWriteCommaInt(0);
                  ZVI_FileWriteCommaInt(2);
                  ZVI_FileWriteSemi();
              }),
              "1,,2;\r\n");
    EXPECT_EQ(Written([] {
                  ZVI_FileWriteZeros(1);
                  ZVI_FileWriteInt(1);
                  ZVI_FileWriteCommaInt(0);
                  ZVI_FileWriteCommaInt(2);
                  ZVI_FileWriteSemi();
              }),
              "1,0,2;\r\n");
    EXPECT_EQ(Written([] {
                  ZVI_FileWriteHeader("Quirn++Valsev CAD 4.60");
                  ZVI_FileWriteKeyword(KEY_PEN);
                  ZVI_FileWriteKeyword(KEY_END);
                  ZVI_FileWriteComment("a|b\tc");
                  ZVI_FileWriteEndOfFile();
              }),
              "Quirn++Valsev CAD 4.60;\r\n\r\n=PEN=;\r\n=END=;\r\n|a b c|\r\n\r\n=EXIT=;\r\n");
    EXPECT_EQ(Written([] { ZVI_FileWriteProfileEntry(0); }), "\"PropFillColor\"");
    EXPECT_EQ(Written([] { ZVI_FileWriteProfileEntry(108); }), "\"ZigZagIndent\"");
    // Each keyword's text, index by index.
    for (int i = 0; i < ZVI_KEYWORD_COUNT; ++i) {
        std::string expected = std::string(i == KEY_END ? "" : "\r\n") + "=" + ZviKeywordText(i) + "=;\r\n";
        EXPECT_EQ(Written([i] { ZVI_FileWriteKeyword(i); }), expected);
    }
}

TEST_F(ZviTest, LineAndByteCounts)
{
    MemoryWrite sink;
    ZVI_FileWriteHeader("H");      // one line
    ZVI_FileWriteKeyword(KEY_PEN); // two
    ZVI_FileWriteKeyword(KEY_END); // one
    ZVI_FileWriteComment("x");     // one
    ZVI_FileWriteNewline();        // one
    EXPECT_EQ(ZVI_FileWriteCurrentLine(), 6);
    EXPECT_EQ(sink.Text().size(), size_t(ZVI_FileWriteCurrentSize()));
}

TEST_F(ZviTest, CommentIsCutAtItsLimit)
{
    std::string text(2000, 'c');
    std::string out = Written([&] { ZVI_FileWriteComment(text.c_str()); });
    EXPECT_EQ(out, "|" + std::string(ZVI_MAX_COMMENT, 'c') + "|\r\n");
}

TEST_F(ZviTest, NullSinkCountsWhatMemoryStores)
{
    auto body = [] {
        ZVI_FileWriteHeader("Quirn++Valsev CAD 4.60");
        ZVI_FileWriteKeyword(KEY_OBJECT);
        for (int i = 0; i < 50; ++i) {
            ZVI_FileWriteInt(i);
            ZVI_FileWriteCommaDouble(i * 0.1);
            ZVI_FileWriteCommaColorref(RGB(i, 2 * i, 3 * i));
            ZVI_FileWriteCommaString("text \"quoted\"");
            ZVI_FileWriteCommaBinary("\x01\x02\x03\x04\x05", 5);
            ZVI_FileWriteSemi();
        }
        ZVI_FileWriteKeyword(KEY_END);
        ZVI_FileWriteEndOfFile();
    };
    ZVI_FileWriteInitNull();
    body();
    int32_t measured = ZVI_FileWriteCurrentSize();
    int32_t lines = ZVI_FileWriteCurrentLine();
    ZVI_FileWriteExit();
    std::string stored = Written(body);
    EXPECT_EQ(size_t(measured), stored.size());
    // A block of exactly the measured size takes the whole write.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, measured);
    ASSERT_EQ(ZVI_FileWriteInitMemory(block, measured), 1);
    body();
    EXPECT_EQ(ZVI_FileWriteError(), 0);
    EXPECT_EQ(ZVI_FileWriteCurrentLine(), lines);
    ZVI_FileWriteExit();
    GlobalFree(block);
}

TEST_F(ZviTest, ErrorStopsEveryFurtherWrite)
{
    DiagnosticCatcher catcher;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 10);
    ASSERT_EQ(ZVI_FileWriteInitMemory(block, 10), 1);
    EXPECT_EQ(ZVI_FileWriteTextData("12345678"), 1);
    EXPECT_EQ(ZVI_FileWriteTextData("abc"), 0); // would pass the capacity: nothing stored
    EXPECT_EQ(ZVI_FileWriteError(), 1);
    EXPECT_EQ(ZVI_FileWriteTextData("x"), 0);
    EXPECT_EQ(ZVI_FileWriteInt(5), 0);
    EXPECT_EQ(ZVI_FileWriteFlush(), 0);
    EXPECT_EQ(ZVI_FileWriteEndOfFile(), 0);
    ZVI_FileWriteExit();
    const char *p = static_cast<const char *>(GlobalLock(block));
    EXPECT_EQ(std::string(p, 10), std::string("12345678\0\0", 10));
    GlobalUnlock(block);
    GlobalFree(block);

    // A new start clears the flag.
    MemoryWrite sink;
    EXPECT_EQ(ZVI_FileWriteError(), 0);
    EXPECT_EQ(ZVI_FileWriteEndOfFile(), 1);
}

TEST_F(ZviTest, FailuresAndTheirMessages)
{
    struct Case {
        const char *what;
        std::function<int()> write;
        const char *message;
        int errorFlag;
    };
    const Case cases[] = {
        {"keyword -1", [] { return ZVI_FileWriteKeyword(-1); }, "ZVI_FileWriteKeyword()\n\nInvalid KeyNum!", 1},
        {"keyword 22", [] { return ZVI_FileWriteKeyword(22); }, "ZVI_FileWriteKeyword()\n\nInvalid KeyNum!", 1},
        {"profile 109", [] { return ZVI_FileWriteProfileEntry(109); },
         "ZVI_FileWriteProfileEntry()\n\nUndefined Profilt Entry!", 0},
        {"null string", [] { return ZVI_FileWriteString(nullptr); }, "ZVI_FileWriteString()\n\nValue address invalid!", 1},
        {"nan", [] { return ZVI_FileWriteDouble(std::nan("")); }, "not a number", 1},
        {"negative count", [] { return ZVI_FileWriteBinary("", -1); }, "Count invalid!", 1},
    };
    for (const auto &c : cases) {
        DiagnosticCatcher catcher;
        MemoryWrite sink;
        EXPECT_EQ(c.write(), 0) << c.what;
        EXPECT_TRUE(catcher.Saw(c.message)) << c.what << ": " << catcher.All();
        EXPECT_EQ(ZVI_FileWriteError(), c.errorFlag) << c.what;
        EXPECT_EQ(sink.Text(), "") << c.what;
    }
}

TEST_F(ZviTest, StringAndBinaryLimits)
{
    DiagnosticCatcher catcher;
    {
        // The longest string: 32759 characters between the quotes.
        std::string longest(ZVI_MAX_STRING_TEXT, 's');
        MemoryWrite sink;
        EXPECT_EQ(ZVI_FileWriteString(longest.c_str()), 1);
        EXPECT_EQ(sink.Text(), "\"" + longest + "\"");
    }
    {
        std::string tooLong(ZVI_MAX_STRING_TEXT + 1, 's');
        MemoryWrite sink;
        EXPECT_EQ(ZVI_FileWriteString(tooLong.c_str()), 0);
        EXPECT_EQ(ZVI_FileWriteError(), 1);
        EXPECT_EQ(sink.Text(), "");
        EXPECT_TRUE(catcher.Saw("Resulting string too long"));
    }
    {
        // Escapes count: 16380 quotes become 32760 characters.
        std::string quotes(16380, '"');
        MemoryWrite sink;
        EXPECT_EQ(ZVI_FileWriteString(quotes.c_str()), 0);
    }
    {
        // 8189 groups (24567 bytes of 0x41) give 32756 digits: the longest that fits.
        std::vector<unsigned char> data(24567, 0x41);
        MemoryWrite sink;
        EXPECT_EQ(ZVI_FileWriteBinary(data.data(), int32_t(data.size())), 1);
        EXPECT_EQ(sink.Text().size(), 32756u + 2);
    }
    {
        std::vector<unsigned char> data(24570, 0x41);
        MemoryWrite sink;
        EXPECT_EQ(ZVI_FileWriteBinary(data.data(), int32_t(data.size())), 0);
        EXPECT_EQ(ZVI_FileWriteError(), 1);
        EXPECT_TRUE(catcher.Saw("Resulting hexadecimal string too long"));
    }
    {
        // Escaped digits fill the text faster: every group of 0x22 0x88 0x22 bytes... all quotes.
        std::vector<unsigned char> data(30000);
        for (size_t i = 0; i < data.size(); i += 3) {
            // 6-bit values 2, 2, 2, 2: four quotes, each escaped.
            data[i] = 0x08;
            if (i + 1 < data.size())
                data[i + 1] = 0x20;
            if (i + 2 < data.size())
                data[i + 2] = 0x82;
        }
        MemoryWrite sink;
        EXPECT_EQ(ZVI_FileWriteBinary(data.data(), int32_t(data.size())), 0);
    }
}

TEST_F(ZviTest, DelimiterChanges)
{
    FileDelimiters d = {};
    strcpy(d.lineBreak, "\n");
    d.separator = '\t';
    d.quote = '\'';
    std::string out = Written([&] {
        ZVI_FileWriteDelimiters(&d);
        ZVI_FileWriteInt(1);
        ZVI_FileWriteCommaString("it's");
        ZVI_FileWriteSemi();
    });
    EXPECT_EQ(out, "1\t'it\\'s';\n");
    // Null restores the defaults; each start does as well.
    out = Written([&] {
        ZVI_FileWriteDelimiters(&d);
        ZVI_FileWriteDelimiters(nullptr);
        ZVI_FileWriteInt(1);
        ZVI_FileWriteCommaInt(2);
        ZVI_FileWriteSemi();
    });
    EXPECT_EQ(out, "1,2;\r\n");
}

TEST_F(ZviTest, DiskWriteWholeAndInOrder)
{
    TestTempFile file("zvi_disk_write.zvd");
    auto writeAll = [&](std::string &text) {
        HANDLE h;
        ASSERT_EQ(ZVI_FileCreate(&h, file.Path()), 1);
        ASSERT_EQ(ZVI_FileWriteInitDisk(h), 1);
        ZVI_FileWriteHeader("Quirn++Valsev CAD 4.60");
        std::string big(ZVI_MAX_STRING_TEXT, 'b'); // larger than the disk buffer
        for (int i = 0; i < 3; ++i) {
            ZVI_FileWriteKeyword(KEY_OBJECT);
            for (int k = 0; k < 1000; ++k) {
                ZVI_FileWriteInt(k);
                ZVI_FileWriteCommaDouble(k / 7.0);
                ZVI_FileWriteSemi();
            }
            ZVI_FileWriteString(big.c_str());
            ZVI_FileWriteSemi();
            ZVI_FileWriteKeyword(KEY_END);
        }
        ZVI_FileWriteEndOfFile();
        EXPECT_EQ(ZVI_FileWriteFlush(), 1);
        int32_t size = ZVI_FileWriteCurrentSize();
        ZVI_FileWriteExit();
        ZVI_FileClose(h);
        text = file.Contents();
        EXPECT_EQ(text.size(), size_t(size));
    };
    std::string first, second;
    writeAll(first);
    writeAll(second);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, second); // byte-identical
    std::string expectedStart = "Quirn++Valsev CAD 4.60;\r\n\r\n=OBJECT=;\r\n,;\r\n1,.14285714285714;\r\n";
    EXPECT_EQ(first.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(first.substr(first.size() - 11), "\r\n=EXIT=;\r\n");
}

TEST_F(ZviTest, ShortDiskWriteSetsTheErrorFlag)
{
    TestTempFile file("zvi_readonly.zvd");
    HANDLE h;
    ASSERT_EQ(ZVI_FileCreate(&h, file.Path()), 1);
    ZVI_FileClose(h);
    // A handle open for reading only: every write to it fails.
    ASSERT_EQ(ZVI_FileOpen(&h, file.Path()), 1);
    ASSERT_EQ(ZVI_FileWriteInitDisk(h), 1);
    EXPECT_EQ(ZVI_FileWriteTextData("text"), 1); // buffered
    EXPECT_EQ(ZVI_FileWriteFlush(), 0);
    EXPECT_EQ(ZVI_FileWriteError(), 1);
    EXPECT_EQ(ZVI_FileWriteTextData("more"), 0);
    ZVI_FileWriteExit();
    ZVI_FileClose(h);
    EXPECT_EQ(file.Contents(), "");
}
