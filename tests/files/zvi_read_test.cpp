// The token reader: tokens, typed values and their ranges, records, sections,
// line numbers and failures.
#include <cmath>
#include <functional>

#include "files/zvi_internal.h"
#include "zvi_test_util.h"

namespace {

struct IntCase {
    const char *text;
    int ok;
    int32_t value;
};

struct DoubleCase {
    const char *text;
    int ok;
    double value;
};

} // namespace

TEST_F(ZviTest, ReadsRecordFieldsAndEmptyFields)
{
    MemoryRead in("5,,7;\r\n1 2,12abc, -3 ;");
    int32_t a = -1, b = -1, c = -1;
    EXPECT_EQ(ZVI_FileReadInt(&a), 1);
    EXPECT_EQ(ZVI_FileReadContinue(), 1);
    EXPECT_EQ(ZVI_FileReadCommaInt(&b), 1);
    EXPECT_EQ(ZVI_FileReadCommaInt(&c), 1);
    EXPECT_EQ(ZVI_FileReadContinue(), 0);
    EXPECT_EQ(ZVI_FileReadSemi(), 1);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, 0); // an empty field is the number 0
    EXPECT_EQ(c, 7);
    EXPECT_EQ(ZVI_FileReadInt(&a), 1);
    EXPECT_EQ(ZVI_FileReadCommaInt(&b), 1);
    EXPECT_EQ(ZVI_FileReadCommaInt(&c), 1);
    EXPECT_EQ(a, 12); // blanks inside a field are dropped
    EXPECT_EQ(b, 12); // text behind a number is ignored
    EXPECT_EQ(c, -3);
    EXPECT_EQ(ZVI_FileReadError(), 0);
}

TEST_F(ZviTest, IntegerAndShortRanges)
{
    const IntCase ints[] = {
        {"2.5;", 1, 3},           {"-2.5;", 1, -2},          {"2.49;", 1, 2},
        {"-2147483646;", 1, -2147483646}, {"-2147483646.49;", 1, -2147483646},
        {"-2147483646.5;", 0, 0}, {"-2147483647;", 0, 0},   {"2147483647.49;", 1, 2147483647},
        {"2147483647.5;", 0, 0},  {"1e3;", 1, 1000},         {"+7;", 1, 7},
        {".5e1;", 1, 5},          {";", 1, 0},               {"1e400;", 0, 0},
        {"\"5\";", 0, 0},         {"=PEN=;", 0, 0},          {"abc;", 0, 0},
    };
    for (const auto &c : ints) {
        DiagnosticCatcher catcher;
        MemoryRead in(c.text);
        int32_t v = -99;
        EXPECT_EQ(ZVI_FileReadInt(&v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -99) << c.text; // a failure leaves the destination
        EXPECT_EQ(ZVI_FileReadError(), c.ok ? 0 : 1) << c.text;
    }
    const IntCase shorts[] = {
        {"32767.49;", 1, 32767}, {"32767.5;", 0, 0},   {"32767.51;", 0, 0}, {"-32766;", 1, -32766},
        {"-32766.49;", 1, -32766}, {"-32767;", 0, 0},  {"-32768;", 0, 0},   {"0;", 1, 0},
    };
    for (const auto &c : shorts) {
        DiagnosticCatcher catcher;
        MemoryRead in(c.text);
        int16_t v = -99;
        EXPECT_EQ(ZVI_FileReadShort(&v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -99) << c.text;
        if (!c.ok) {
            EXPECT_TRUE(catcher.Saw("expecting INT16 (-32766 .. 32767)")) << c.text << catcher.All();
        }
    }
    const IntCase bools[] = {{"1;", 1, 1}, {";", 1, 0}, {"0;", 1, 0}, {"2;", 0, 0}, {"0.5;", 0, 0}, {"-1;", 0, 0}};
    for (const auto &c : bools) {
        DiagnosticCatcher catcher;
        MemoryRead in(c.text);
        int v = -99;
        EXPECT_EQ(ZVI_FileReadBool(&v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -99) << c.text;
    }
}

TEST_F(ZviTest, DoubleRangesAndNumberForms)
{
    const DoubleCase cases[] = {
        {".25;", 1, 0.25},       {"-.25;", 1, -0.25},     {"1e+300;", 1, 1e300},    {"-1e300;", 1, -1e300},
        {"1e100;", 1, 1e100},    {"-1e100;", 1, -1e100},  {"1.0000001e100;", 0, 0}, {"2e300;", 0, 0},
        {"1e301;", 0, 0},        {"1e999;", 0, 0},        {"-1e999;", 0, 0},        {"1e-999;", 1, 0.0},
        {"nan;", 0, 0},          {"inf;", 0, 0},          {"-;", 0, 0},             {".;", 0, 0},
        {"1.5e;", 1, 1.5},       {"1.5E-2;", 1, 0.015},   {"0x10;", 1, 0.0},        {"12.5.3;", 1, 12.5},
        {"  3 . 2 5 ;", 1, 3.25}, {"1e+0300;", 1, 1e300},
    };
    for (const auto &c : cases) {
        DiagnosticCatcher catcher;
        MemoryRead in(c.text);
        double v = -99;
        EXPECT_EQ(ZVI_FileReadDouble(&v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -99) << c.text;
    }
}

// Small integers take a way of their own through the reader; every typed
// reader must give for them exactly what the general number conversion
// gives (to the bit for doubles, a minus zero included), and the fields
// around that way's limits must read as before.
TEST_F(ZviTest, EveryNumberReadsToTheBitsOfTheGeneralConversion)
{
    const char *const texts[] = {
        "0", "-0", "+0", "00", "-000", "1", "-1", "+1", "2", "7", "007", "-007", "32767", "32768", "-32766",
        "-32767", "65535", "123456789", "-123456789", "999999999", "-999999999", "0999999999", "1000000000",
        "-1000000000", "2147483647", "-2147483646", "2147483648", "000000001", "0000000001", "1.", "-0.",
        "1.0", "-0.0", ".5", "0.5", "-.5", "1e3", "-1e0", "1E2", "0.1", "0.30000000000000004",
        "523.45623412312331", "-0.000001", "4.9406564584124654e-324", "2.2250738585072014e-308",
        "9.9999999999999999e99", "9007199254740993", "1 2", "- 5", "12abc", "1.5e", "1e+0300",
    };
    for (const char *t : texts) {
        std::string compact;
        for (const char *c = t; *c; ++c)
            if (*c != ' ')
                compact += *c;
        double reference = 0;
        ASSERT_EQ(ZviParseNumber(compact.c_str(), &reference), 1) << t;
        const std::string field = std::string(t) + ";";
        {
            DiagnosticCatcher catcher;
            MemoryRead in(field.c_str());
            double v = -99;
            ASSERT_EQ(ZVI_FileReadDouble(&v), 1) << t;
            EXPECT_EQ(std::memcmp(&v, &reference, sizeof v), 0) << t << ": " << v << " vs " << reference;
        }
        const double rounded = std::floor(reference + 0.5);
        {
            DiagnosticCatcher catcher;
            MemoryRead in(field.c_str());
            int32_t v = -99;
            const bool fits = reference >= -2147483646.49 && reference <= 2147483647.49;
            EXPECT_EQ(ZVI_FileReadInt(&v), fits ? 1 : 0) << t;
            EXPECT_EQ(v, fits ? int32_t(rounded) : -99) << t;
        }
        {
            DiagnosticCatcher catcher;
            MemoryRead in(field.c_str());
            int16_t v = -99;
            const bool fits = reference >= -32766.49 && reference <= 32767.49;
            EXPECT_EQ(ZVI_FileReadShort(&v), fits ? 1 : 0) << t;
            EXPECT_EQ(v, fits ? int16_t(rounded) : -99) << t;
        }
        {
            DiagnosticCatcher catcher;
            MemoryRead in(field.c_str());
            int v = -99;
            const bool fits = reference == 0.0 || reference == 1.0;
            EXPECT_EQ(ZVI_FileReadBool(&v), fits ? 1 : 0) << t;
            EXPECT_EQ(v, fits ? int(reference) : -99) << t;
        }
        {
            DiagnosticCatcher catcher;
            const std::string colour = std::string(t) + "/" + t + "/" + t + ";";
            MemoryRead in(colour.c_str());
            COLORREF v = 7;
            const bool fits = reference >= 0.0 && reference <= 1.0;
            const unsigned part = fits ? unsigned(std::floor(reference * 255 + 0.5)) : 0;
            EXPECT_EQ(ZVI_FileReadColorref(&v), fits ? 1 : 0) << t;
            EXPECT_EQ(v, fits ? RGB(part, part, part) : COLORREF(7)) << t;
        }
    }
}

TEST_F(ZviTest, ColoursStringsAndBinary)
{
    MemoryRead in("1//,1/1/1,//,.502/.00392/1;\"a\\\"b\\\\c\\d\" \"ef\";\"   !\",\"\",\"     0\",\"\\\" \\\\a\";");
    COLORREF c1 = 1, c2 = 1, c3 = 1, c4 = 1;
    EXPECT_EQ(ZVI_FileReadColorref(&c1), 1);
    EXPECT_EQ(ZVI_FileReadCommaColorref(&c2), 1);
    EXPECT_EQ(ZVI_FileReadCommaColorref(&c3), 1);
    EXPECT_EQ(ZVI_FileReadCommaColorref(&c4), 1);
    EXPECT_EQ(c1, RGB(255, 0, 0));
    EXPECT_EQ(c2, RGB(255, 255, 255));
    EXPECT_EQ(c3, RGB(0, 0, 0));
    EXPECT_EQ(c4, RGB(128, 1, 255));
    EXPECT_EQ(ZVI_FileReadSemi(), 1);
    char text[40];
    EXPECT_EQ(ZVI_FileReadString(text, sizeof text), 1);
    EXPECT_STREQ(text, "a\"b\\cdef"); // escapes stored once; two strings read as one
    EXPECT_EQ(ZVI_FileReadSemi(), 1);
    unsigned char bytes[5];
    EXPECT_EQ(ZVI_FileReadBinary(bytes, 3), 1);
    EXPECT_EQ(std::string((char *)bytes, 3), std::string("\0\0\1", 3));
    memset(bytes, 0x55, sizeof bytes);
    EXPECT_EQ(ZVI_FileReadCommaBinary(bytes, 3), 1);
    EXPECT_EQ(std::string((char *)bytes, 5), std::string("\0\0\0\x55\x55", 5)); // nothing past count
    EXPECT_EQ(ZVI_FileReadCommaBinary(bytes, 4), 1);
    EXPECT_EQ(std::string((char *)bytes, 4), std::string("\0\0\0\1", 4));
    EXPECT_EQ(ZVI_FileReadCommaBinary(bytes, 3), 1);
    EXPECT_EQ(std::string((char *)bytes, 3), std::string("\x08\x0f\x21", 3));
    EXPECT_EQ(ZVI_FileReadError(), 0);
}

TEST_F(ZviTest, TypedFailuresAndMessages)
{
    struct Case {
        const char *text;
        std::function<int()> read;
        const char *message;
    };
    static char buffer[8];
    static unsigned char bytes[8];
    const Case cases[] = {
        {"abc;", [] { int32_t v; return ZVI_FileReadInt(&v); }, "Invalid numeric value"},
        {"\"x\";", [] { int32_t v; return ZVI_FileReadInt(&v); }, "Invalid data type,\nexpecting numeric value"},
        {"5;", [] { return ZVI_FileReadString(buffer, 8); }, "Invalid data,\nexpecting character string"},
        {"5;", [] { return ZVI_FileReadBinary(bytes, 3); }, "Invalid data,\nexpecting hexadecimal string"},
        {"\"abcdefgh\";", [] { return ZVI_FileReadString(buffer, 8); }, "String too long (> 8 bytes)"},
        {"\"ab{d\";", [] { return ZVI_FileReadBinary(bytes, 3); }, "Illegal digit '{' in hexadecimal string"},
        {"3;", [] { int v; return ZVI_FileReadBool(&v); }, "Invalid number 3.000000,\nexpecting BOOL (0 or 1)"},
        {"1e101;", [] { double v; return ZVI_FileReadDouble(&v); }, "expecting DOUBLE (-1e100 .. 1e100)"},
        {"3000000000;", [] { int32_t v; return ZVI_FileReadInt(&v); },
         "expecting INT32 (-2147483646 .. 2147483647)"},
        {"1,2,3;", [] { COLORREF v; return ZVI_FileReadColorref(&v); }, "Invalid character ',',\nexpecting '/'"},
        {"1/2/3;", [] { COLORREF v; return ZVI_FileReadColorref(&v); }, "expecting GVALUE (0.0 .. 1.0)"},
        {"1/1/-1;", [] { COLORREF v; return ZVI_FileReadColorref(&v); }, "expecting BVALUE (0.0 .. 1.0)"},
        {"5;6,", [] { int32_t v; ZVI_FileReadInt(&v); return ZVI_FileReadCommaInt(&v); },
         "Invalid character ';',\nexpecting ','"},
        {"5\\;", [] { int32_t v; return ZVI_FileReadInt(&v); }, "Invalid character '\\'\noutside a string"},
        {"5\"a\";", [] { int32_t v; return ZVI_FileReadInt(&v); }, "Invalid character '\"'\ninside a numeric value"},
        {"\"a\"=B=;", [] { return ZVI_FileReadKeyword(); }, "Invalid character '='\ninside a numeric value"},
        {"5;", [] { return ZVI_FileReadKeyword(); }, "Invalid data type,\nexpecting keyword"},
        {"\"abc", [] { return ZVI_FileReadString(buffer, 8); }, "End of file within a token"},
        {"|comment", [] { int32_t v; return ZVI_FileReadInt(&v); }, "End of file within a comment"},
        {"5,\"a;b", [] { return ZVI_FileReadSemi(); }, "End of file while searching for ';'"},
        {"\"PEN\";", [] { return ZVI_FileReadNextSection(); }, "End of file within a token"},
        {"=PEN=;", [] { return ZVI_FileReadNextSection(); }, "Unexpected section end,\nno =END= keyword found"},
        {"5;", [] { return ZVI_FileReadProfileEntry() == -1 && ZVI_FileReadError() ? 0 : 1; },
         "Invalid data,\nexpecting character string"},
        {"5;", [] { return ZVI_FileReadDouble(nullptr); }, "ZVI_FileReadDouble()\n\nValue address invalid!"},
        {"\"a\";", [] { return ZVI_FileReadString(nullptr, 8); }, "ZVI_FileReadString()\n\nValue address invalid!"},
    };
    for (const auto &c : cases) {
        DiagnosticCatcher catcher;
        MemoryRead in(c.text);
        EXPECT_EQ(c.read(), 0) << c.text;
        EXPECT_EQ(ZVI_FileReadError(), 1) << c.text;
        EXPECT_TRUE(catcher.Saw(c.message)) << c.text << " -> " << catcher.All();
        // Once failed, every read does nothing.
        int32_t v = 42;
        EXPECT_EQ(ZVI_FileReadInt(&v), 0);
        EXPECT_EQ(v, 42);
    }
}

TEST_F(ZviTest, KeywordsAndSections)
{
    std::string k30(30, 'K'), k31(31, 'K');
    {
        MemoryRead in("=  pen =;=" + k30 + "=;=" + k31 + "=;");
        EXPECT_EQ(ZVI_FileReadKeyword(), 1);
        EXPECT_EQ(ZVI_FileReadLastKeyword(), KEY_PEN);
        EXPECT_EQ(ZVI_FileReadKeyword(), 1);
        EXPECT_EQ(ZVI_FileReadLastKeyword(), -1); // unknown: no error
        EXPECT_EQ(ZVI_FileReadError(), 0);
        DiagnosticCatcher catcher;
        EXPECT_EQ(ZVI_FileReadKeyword(), 0);
        EXPECT_TRUE(catcher.Saw("Keyword too long (> 32 bytes)"));
    }
    {
        // An unknown section is skipped whole, keywords inside it too.
        MemoryRead in("=PEN=;1,2;=END=;\r\n=FOO=;\"x\",=LAYER=;abc;\\;=END=;\r\n=LAYER=;5;=END=;=EXIT=;");
        EXPECT_EQ(ZVI_FileReadKeyword(), 1);
        EXPECT_EQ(ZVI_FileReadLastKeyword(), KEY_PEN);
        EXPECT_EQ(ZVI_FileReadNextSection(), 1);
        EXPECT_EQ(ZVI_FileReadLastKeyword(), KEY_LAYER);
        int32_t v = 0;
        EXPECT_EQ(ZVI_FileReadInt(&v), 1);
        EXPECT_EQ(v, 5);
        EXPECT_EQ(ZVI_FileReadNextSection(), 1);
        EXPECT_EQ(ZVI_FileReadLastKeyword(), KEY_EXIT);
        EXPECT_EQ(ZVI_FileReadEndOfFile(), 1);
    }
    {
        MemoryRead in("1,2;=DRAWING=;");
        EXPECT_EQ(ZVI_FileReadNextKeyword(), 1);
        EXPECT_EQ(ZVI_FileReadLastKeyword(), KEY_DRAWING);
    }
    {
        DiagnosticCatcher catcher;
        MemoryRead in("=END=;");
        ZVI_FileReadKeyword();
        EXPECT_EQ(ZVI_FileReadEndOfFile(), 1);
        EXPECT_TRUE(catcher.Saw("Unexpected end of file,\n=EXIT= missing"));
    }
}

TEST_F(ZviTest, ProfileEntries)
{
    MemoryRead in("\"displaytexts\",1;\"NoSuchKey\",2;\"ZigZagIndent\";=end=;");
    EXPECT_EQ(ZVI_FileReadProfileEntry(), 9);
    ZVI_FileReadSemi();
    EXPECT_EQ(ZVI_FileReadProfileEntry(), -1);
    EXPECT_EQ(ZVI_FileReadError(), 0);
    ZVI_FileReadSemi();
    EXPECT_EQ(ZVI_FileReadProfileEntry(), 108);
    EXPECT_EQ(ZVI_FileReadProfileEntry(), ZVI_PROFILE_END);
    EXPECT_EQ(ZVI_FileReadLastKeyword(), KEY_END);
}

TEST_F(ZviTest, HeaderRawDataAndLines)
{
    {
        MemoryRead in("Quirn++Valsev CAD 4.60;\r\n=DRAWING=;");
        EXPECT_EQ(ZVI_FileReadHeader("Quirn++Valsev CAD 4.60"), 1);
        EXPECT_EQ(ZVI_FileReadLastKeyword(), KEY_DRAWING);
        EXPECT_EQ(ZVI_FileReadCurrentLine(), 1);
    }
    {
        DiagnosticCatcher catcher;
        MemoryRead in("Quirn++Valsev CAD 4.50;\r\n=DRAWING=;");
        EXPECT_EQ(ZVI_FileReadHeader("Quirn++Valsev CAD 4.60"), 0);
        EXPECT_EQ(ZVI_FileReadError(), 1);
        EXPECT_TRUE(catcher.Messages().empty()); // a mismatch is no message
    }
    {
        MemoryRead in("Quirn++Valsev CAD 4.60X\r\n");
        EXPECT_EQ(ZVI_FileReadHeader("Quirn++Valsev CAD 4.60"), 0);
    }
    {
        MemoryRead in("one\r\ntwo\n\rthree\nfour\rlong line\nend");
        char line[8];
        EXPECT_EQ(ZVI_FileReadLine(line, sizeof line), 1);
        EXPECT_STREQ(line, "one");
        EXPECT_EQ(ZVI_FileReadLine(line, sizeof line), 1);
        EXPECT_STREQ(line, "two");
        EXPECT_EQ(ZVI_FileReadLine(line, sizeof line), 1);
        EXPECT_STREQ(line, "three");
        EXPECT_EQ(ZVI_FileReadLine(line, sizeof line), 1);
        EXPECT_STREQ(line, "four");
        EXPECT_EQ(ZVI_FileReadCurrentLine(), 4);
        EXPECT_EQ(ZVI_FileReadLine(line, sizeof line), 0); // "long line" does not fit 7 characters
        EXPECT_STREQ(line, "long li");
        EXPECT_EQ(ZVI_FileReadChar(), 'n');
    }
    {
        MemoryRead in("ab");
        char data[3] = {};
        EXPECT_EQ(ZVI_FileReadData(data, 2), 1);
        EXPECT_EQ(ZVI_FileReadCurrentSize(), 2);
        EXPECT_EQ(ZVI_FileReadTotalSize(), 2);
        EXPECT_EQ(ZVI_FileReadChar(), 0); // the end of the data
        EXPECT_EQ(ZVI_FileReadError(), 1);
    }
}

TEST_F(ZviTest, LineNumbersInMessages)
{
    // The count after n line breaks is n; breaks inside comments and strings
    // count too, so that a message names the line the fault is on.
    const char *text = "1;\r\n|comment\r\nstill comment|2;\r\n3;\r\n\"s\r\ntring\";\r\n4,x;";
    DiagnosticCatcher catcher;
    MemoryRead in(text);
    int32_t v;
    char s[20];
    EXPECT_EQ(ZVI_FileReadInt(&v), 1);
    EXPECT_EQ(ZVI_FileReadCurrentLine(), 0);
    EXPECT_EQ(ZVI_FileReadSemi(), 1);
    EXPECT_EQ(ZVI_FileReadInt(&v), 1);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(ZVI_FileReadCurrentLine(), 2);
    EXPECT_EQ(ZVI_FileReadInt(&v), 1);
    EXPECT_EQ(ZVI_FileReadCurrentLine(), 3);
    EXPECT_EQ(ZVI_FileReadString(s, sizeof s), 1);
    EXPECT_STREQ(s, "s\r\ntring");
    EXPECT_EQ(ZVI_FileReadCurrentLine(), 5);
    EXPECT_EQ(ZVI_FileReadInt(&v), 1);
    EXPECT_EQ(ZVI_FileReadCommaInt(&v), 0);
    EXPECT_EQ(ZviReadLastErrorLine(), 7);
    EXPECT_STREQ(ZviReadLastErrorText(), "Invalid numeric value");
    EXPECT_TRUE(catcher.Saw("Invalid numeric value\n(line 7)")) << catcher.All();

    // Lines ended by LF alone count as well.
    MemoryRead lf("1;\n2;\n\nx;");
    ZVI_FileReadInt(&v);
    ZVI_FileReadInt(&v);
    EXPECT_EQ(ZVI_FileReadInt(&v), 0);
    EXPECT_EQ(ZviReadLastErrorLine(), 4);
}

TEST_F(ZviTest, ExtraTrailingFieldsAreSkipped)
{
    MemoryRead in("1,2,\"x;y\",|c;|,3/4/5,\"\\\";\";7;");
    int32_t v;
    EXPECT_EQ(ZVI_FileReadInt(&v), 1);
    EXPECT_EQ(ZVI_FileReadSemi(), 1);
    EXPECT_EQ(ZVI_FileReadInt(&v), 1);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(ZVI_FileReadError(), 0);
}

TEST_F(ZviTest, LongestToken)
{
    std::string longest(ZVI_MAX_TOKEN - 1, 'q');
    {
        MemoryRead in("\"" + longest + "\";");
        std::vector<char> buffer(ZVI_MAX_TOKEN + 10, 0x55);
        EXPECT_EQ(ZVI_FileReadString(buffer.data(), ZVI_MAX_TOKEN), 1);
        EXPECT_EQ(std::string(buffer.data()), longest);
    }
    {
        DiagnosticCatcher catcher;
        MemoryRead in("\"" + longest + "q\";");
        std::vector<char> buffer(ZVI_MAX_TOKEN + 10, 0x55);
        EXPECT_EQ(ZVI_FileReadString(buffer.data(), ZVI_MAX_TOKEN + 10), 0);
        EXPECT_TRUE(catcher.Saw("Token too long (>32700 bytes)"));
        EXPECT_EQ(buffer[0], 0x55);
    }
    {
        // A number token may not exceed the limit either.
        DiagnosticCatcher catcher;
        MemoryRead in(std::string(ZVI_MAX_TOKEN + 100, '1') + ";");
        double v;
        EXPECT_EQ(ZVI_FileReadDouble(&v), 0);
        EXPECT_TRUE(catcher.Saw("Token too long"));
    }
}

TEST_F(ZviTest, ReaderDelimiters)
{
    FileDelimiters d = {};
    d.separator = '\t';
    d.terminator = '!';
    ASSERT_EQ(ZVI_FileReadDelimiters(&d), 1);
    {
        MemoryRead in("1\t2!3,4!");
        int32_t a, b;
        EXPECT_EQ(ZVI_FileReadInt(&a), 1);
        EXPECT_EQ(ZVI_FileReadCommaInt(&b), 1);
        EXPECT_EQ(ZVI_FileReadContinue(), 0);
        EXPECT_EQ(ZVI_FileReadInt(&a), 1);
        EXPECT_EQ(a, 3); // the comma is an ordinary character now: "3,4" reads as 3
    }
    // A start keeps the reader's delimiters; null restores the defaults.
    ASSERT_EQ(ZVI_FileReadDelimiters(nullptr), 1);
    MemoryRead in("1,2;");
    int32_t a, b;
    EXPECT_EQ(ZVI_FileReadInt(&a), 1);
    EXPECT_EQ(ZVI_FileReadCommaInt(&b), 1);
    EXPECT_EQ(b, 2);
}

TEST_F(ZviTest, FieldsAcrossTheDiskBufferReadAsInOnePiece)
{
    // Numbers of every length, empty fields, blanks inside and around them and
    // CR LF line breaks, long enough to cross several refills of the disk
    // buffer at every offset a field can have: each value, the line it is on
    // and the bytes consumed after its delimiter are as the text has them.
    struct Field {
        double value;
        int32_t line;
        int32_t consumedAfter;
    };
    std::string text;
    std::vector<Field> fields;
    int32_t line = 0;
    for (int i = 0; text.size() < 3u * ZVI_DISK_BUFFER_SIZE; ++i) {
        std::string field;
        double value = 0;
        switch (i % 6) {
        case 0: field = std::to_string(i), value = i; break;
        case 1: field = "-" + std::to_string(i) + ".25", value = -(i + 0.25); break;
        case 2: field = "", value = 0; break;
        case 3: field = "  " + std::to_string(i % 100), value = i % 100; break;
        case 4: field = "1 2", value = 12; break; // a blank inside a field is skipped
        default: field = "1.5e" + std::to_string(i % 7), value = 1.5 * std::pow(10.0, i % 7); break;
        }
        const bool lineEnds = i % 5 == 4;
        text += field + (lineEnds ? ";\r\n" : ",");
        fields.push_back({value, line, int32_t(text.size()) - (lineEnds ? 2 : 0)});
        if (lineEnds)
            ++line;
    }
    TestTempFile file("zvi_across_buffer.zvd");
    HANDLE h;
    ASSERT_EQ(ZVI_FileCreate(&h, file.Path()), 1);
    ASSERT_EQ(ZVI_FileWrite(h, text.data(), int32_t(text.size())), int32_t(text.size()));
    ZVI_FileClose(h);
    ASSERT_EQ(ZVI_FileOpen(&h, file.Path()), 1);
    ASSERT_EQ(ZVI_FileReadInitDisk(h), 1);
    for (size_t i = 0; i < fields.size(); ++i) {
        double v = -1;
        ASSERT_EQ(ZVI_FileReadDouble(&v), 1) << "field " << i;
        EXPECT_EQ(v, fields[i].value) << "field " << i;
        EXPECT_EQ(ZVI_FileReadCurrentLine(), fields[i].line) << "field " << i;
        EXPECT_EQ(ZVI_FileReadCurrentSize(), fields[i].consumedAfter) << "field " << i;
    }
    ZVI_FileReadExit();
    ZVI_FileClose(h);
}
