// Value texts: every number format in term and display form, and back.
#include <gtest/gtest.h>

#include <string>

#include "app/convert.h"
#include "app/system_current.h"
#include "dialogs/box08_term.h"

namespace {

struct FormatRow {
    double value;
    uint32_t format;
    int digits;
    double factor;
    const char *term;    // ConvertLengthToString, width 63
    const char *display; // ConvertValueToString, width 63, mode 0
};

std::string Term(double value, uint32_t format, int digits, double factor, int width = 63)
{
    char out[600];
    ConvertLengthToString(out, value, width, format, digits, factor);
    return out;
}

std::string Display(double value, uint32_t format, int digits, double factor, int mode = 0, int width = 63,
                    std::string *raised = nullptr)
{
    char out[600], out2[64] = "keep";
    ConvertValueToString(out, raised ? out2 : nullptr, value, width, format, digits, mode, factor);
    if (raised)
        *raised = out2;
    return out;
}

class ValueTexts : public ::testing::Test {
protected:
    void SetUp() override { g_DisplayDecimal = 0; }
    void TearDown() override { g_DisplayDecimal = 0; }
};

TEST_F(ValueTexts, EveryFormatInTermAndDisplayForm)
{
    const FormatRow rows[] = {
        // decimal
        {0, 0, 3, 1, "0.0", "0"},
        {3.14159, 0, 3, 1, "3.142", "3.142"},
        {3.0, 0, 3, 1, "3.0", "3"},
        {-2.25, 0, 3, 1, "-2.25", "-2.25"},
        {1234.5678, 0, 2, 1, "1234.57", "1234.57"},
        {2000000, 0, 3, 1, "2.000e+06", "2.000e+06"},
        {1234.5, 13, 3, 1, "1234.5", "1234.5"}, // codes from 13 on are decimal
        {1234.5, 0x10000, 3, 1, "1234.5", "1234.5"}, // only the low 16 bits count
        // whole and fraction
        {2.5, 1, 3, 1, "(2+1/2)", "2 1/2"},
        {0.25, 1, 3, 1, "1/4", "1/4"},
        {3, 1, 3, 1, "3", "3"},
        {2.999, 1, 3, 1, "3", "3"},
        {0, 1, 3, 1, "0", "0"},
        {-2.5, 1, 3, 1, "-(2+1/2)", "-2 1/2"},
        {2000000.5, 1, 3, 1, "2.000e+06", "2.000e+06"},
        // feet and decimal inches
        {1000, 2, 3, 1, "3ft+3.37in", "3'3.37\""},
        {12, 2, 3, 25.4, "1ft", "1'"}, // no decimal inches behind whole feet
        // 304.8 / 25.4 leaves a trace of an inch, which counts as present.
        {304.8, 2, 3, 1, "1ft+0.0in", "1'0\""},
        {2, 2, 3, 25.4, "2.0in", "2\""},
        // feet, whole inches and fraction
        {0, 3, 3, 1, "0", "0"},
        {1000, 3, 4, 1, "3ft+(3+3/8)in", "3'3 3/8\""},
        {-1000, 3, 4, 1, "-(3ft+(3+3/8)in)", "-3'3 3/8\""},
        {11.999, 3, 3, 25.4, "1ft", "1'"},
        {12.01, 3, 3, 25.4, "1ft", "1'"},
        {0.5, 3, 3, 25.4, "1/2in", "1/2\""},
        {-0.5, 3, 3, 25.4, "-1/2in", "-1/2\""},
        // yards, feet and decimal inches
        {1000, 4, 3, 1, "1yd+3.37in", "1yd3.37\""},
        {48, 4, 3, 25.4, "1yd+1ft", "1yd1'"},
        // yards, feet, whole inches and fraction
        {1000, 5, 4, 1, "1yd+(3+3/8)in", "1yd3 3/8\""},
        {35.99, 5, 3, 25.4, "1yd", "1yd"}, // inches carry into feet, feet into yards
        {50.5, 5, 3, 25.4, "1yd+1ft+(2+1/2)in", "1yd1'2 1/2\""},
        // degrees, minutes and decimal seconds
        {30.26, 6, 3, 1, "30deg+15min+36.0sec", "30\xB0" "15'36\""},
        {30, 6, 3, 1, "30deg", "30\xB0"},
        {0.5, 6, 3, 1, "30min", "30'"},
        // degrees, minutes, whole seconds and fraction
        {30.2601, 7, 2, 1, "30deg+15min+(36+1/4)sec", "30\xB0" "15'36 1/4\""},
        {10.999999, 7, 0, 1, "10deg+59min+59sec", "10\xB0" "59'59\""},
        {10.999999, 7, 2, 1, "11deg", "11\xB0"}, // seconds carry into minutes and degrees
        // metre formats: decimal in term form
        {3255, 8, 3, 1, "3255.0", "3.255"},
        {255, 8, 3, 1, "255.0", "25.5"},
        {3256, 9, 3, 1, "3256.0", "3.26"},
        {254, 9, 3, 1, "254.0", "25"},
        {3253, 10, 3, 1, "3253.0", "3.255"},
        {3253, 11, 3, 1, "3253.0", "3.2525"},
        {123.4, 12, 3, 1, "123.4", "12.3"},
        {3.255, 8, 3, 1000, "3.255", "3.255"},
    };
    for (const FormatRow &r : rows) {
        SCOPED_TRACE("value " + std::to_string(r.value) + " format " + std::to_string(r.format));
        EXPECT_EQ(Term(r.value, r.format, r.digits, r.factor), r.term);
        EXPECT_EQ(Display(r.value, r.format, r.digits, r.factor), r.display);
    }
}

TEST_F(ValueTexts, TermTextsReadBackThroughTheEvaluator)
{
    struct {
        double value;
        uint32_t format;
        int digits;
    } rows[] = {{1000, 3, 4}, {-1000, 3, 4}, {1000, 2, 3}, {304.8, 2, 3}, {1000, 5, 4}, {1219.2, 4, 3},
                {2.5, 1, 3},  {-2.5, 1, 3},  {12.25, 0, 3}, {2000000, 0, 3}};
    for (const auto &r : rows) {
        const std::string text = Term(r.value, r.format, r.digits, 1.0);
        double back = 0;
        ASSERT_EQ(Box08TermCalculate(nullptr, 1.0, 0.01745329251994, text.c_str(), &back), 1) << text;
        EXPECT_NEAR(back, r.value, 0.2) << text; // within the format's resolution
    }
}

TEST_F(ValueTexts, ZeroTrimmingModesOfTheDisplayForm)
{
    EXPECT_EQ(Display(3.0, 0, 3, 1, 0), "3");
    EXPECT_EQ(Display(3.0, 0, 3, 1, 1), "3.0");
    EXPECT_EQ(Display(3.0, 0, 3, 1, 2), "3.000");
    EXPECT_EQ(Display(3.1, 0, 3, 1, 0), "3.1");
    EXPECT_EQ(Display(3.1, 0, 3, 1, 1), "3.1");
    EXPECT_EQ(Display(3.1, 0, 3, 1, 2), "3.100");
    EXPECT_EQ(Display(30, 0, 0, 1, 0), "30") << "no point: no zeros to trim";
    EXPECT_EQ(Term(30, 0, 0, 1), "30");
}

TEST_F(ValueTexts, RaisedDigitsOfTheMetreFormats)
{
    std::string raised;
    EXPECT_EQ(Display(3255, 8, 3, 1, 0, 63, &raised), "3.25");
    EXPECT_EQ(raised, "5");
    EXPECT_EQ(Display(255, 8, 3, 1, 0, 63, &raised), "25");
    EXPECT_EQ(raised, "5");
    EXPECT_EQ(Display(3253, 10, 3, 1, 0, 63, &raised), "3.25");
    EXPECT_EQ(raised, "5");
    EXPECT_EQ(Display(3253, 11, 3, 1, 0, 63, &raised), "3.25");
    EXPECT_EQ(raised, "25");
    EXPECT_EQ(Display(123.4, 12, 3, 1, 0, 63, &raised), "12");
    EXPECT_EQ(raised, "3");
    EXPECT_EQ(Display(252, 10, 3, 1, 2, 63, &raised), "25");
    EXPECT_EQ(raised, "") << "split-off zeros are removed";
    EXPECT_EQ(Display(3256, 9, 3, 1, 0, 63, &raised), "3.26");
    EXPECT_EQ(raised, "keep") << "nothing split off: out2 keeps what the caller put there";
    EXPECT_EQ(Display(252, 10, 3, 1, 0, 63, &raised), "25");
    EXPECT_EQ(raised, "keep");
}

TEST_F(ValueTexts, DecimalCommaButNeverInTheExponentForm)
{
    g_DisplayDecimal = 1;
    EXPECT_EQ(Term(2.5, 0, 3, 1), "2,5");
    EXPECT_EQ(Display(2.5, 0, 3, 1), "2,5");
    EXPECT_EQ(Display(2.5, 0, 3, 1, 2), "2,500");
    EXPECT_EQ(Term(2000000, 0, 3, 1), "2.000e+06");
    EXPECT_EQ(Term(1000, 2, 3, 1), "3ft+3,37in");
    char out[64];
    ConvertDoubleToString(out, 2.5, 0, 3);
    EXPECT_STREQ(out, "2,5");
    EXPECT_EQ(ConvertStringToDouble(out), 2.5);
    double back = 0;
    ASSERT_EQ(Box08TermCalculate(nullptr, 1.0, 1.0, out, &back), 1);
    EXPECT_EQ(back, 2.5);
}

TEST_F(ValueTexts, NoValueGivesAnEmptyText)
{
    EXPECT_EQ(Term(1e300, 0, 3, 1), "");
    EXPECT_EQ(Term(1e300, 3, 3, 1), "");
    EXPECT_EQ(Display(1e300, 8, 3, 1), "");
    char out[64] = "x";
    ConvertDoubleToString(out, 1e300, 0, 3);
    EXPECT_STREQ(out, "");
}

TEST_F(ValueTexts, WidthsAndCutting)
{
    EXPECT_EQ(Term(1.0 / 3.0, 0, 10, 1, 8), "0.33333") << "precision limited by the width";
    EXPECT_EQ(Term(123456.789, 0, 3, 1, 8), "123457");
    EXPECT_EQ(Term(1.0 / 3.0, 0, 10, 1, 4), "0.33") << "the text is cut at the width";
    EXPECT_EQ(Term(1.0 / 3.0, 0, 10, 1, 0), "0.3333333333") << "width 0 means 63";
    EXPECT_EQ(Display(1.0 / 3.0, 0, 3, 1, 0, 0), "") << "the display width is taken as passed";
    EXPECT_EQ(Term(2000000, 0, 3, 1, 8), "2e+06");
    // A narrow width lowers the fraction's power of two.
    EXPECT_EQ(Term(12.2, 1, 6, 1, 8), "(12+1/4)");
    EXPECT_EQ(Term(12.2, 1, 6, 1, 63), "(12+13/64)");
    EXPECT_EQ(Term(1234.2, 1, 6, 1, 8), "1234") << "no room for a fraction";
    char out[80];
    ConvertDoubleToString(out, 1.0 / 3.0, 0, 4);
    EXPECT_STREQ(out, "0.3333");
    ConvertDoubleToString(out, 2.0, 0, 4);
    EXPECT_STREQ(out, "2.0");
    ConvertDoubleToString(out, -0.125, 0, 4);
    EXPECT_STREQ(out, "-0.125");
    ConvertDoubleToString(out, 12345.678, 5, 4);
    EXPECT_STREQ(out, "12345");
}

TEST_F(ValueTexts, WidthAndAngleTextsTreatMetreFormatsAsDecimal)
{
    char out[80];
    ConvertWidthAngleToString(out, 3255, 0, 8, 3, 1);
    EXPECT_STREQ(out, "3255.0");
    ConvertWidthAngleToString(out, 30.5, 0, 6, 3, 1);
    EXPECT_STREQ(out, "30deg+30min");
}

TEST(ConvertStringToNumber, DoublesAndIntegers)
{
    struct {
        const char *text;
        double value;
    } doubles[] = {
        {"2,5", 2.5},     {"  -3  ", -3},  {"1.5", 1.5},   {"3.", 3},       {".5", 0.5},
        {"1e100", 1e100}, {"1e-5", 1e-5},  {"1.5 x", 1e300}, {"1e101", 1e300}, {"", 1e300},
        {"abc", 1e300},   {"0x10", 1e300}, {"nan", 1e300},   {"inf", 1e300},   {"1 2", 1e300},
        {"2cm", 1e300},
    };
    for (const auto &d : doubles)
        EXPECT_EQ(ConvertStringToDouble(d.text), d.value) << d.text;

    struct {
        const char *text;
        int value;
    } ints[] = {
        {"2+3", 5},
        {"2.5", 3},
        {"-2.5", -2},
        {"1cm", 10},
        {"2147483647", 2147483647},
        {"-2147483647", -2147483647},
        {"2147483648", CONVERT_NO_INT},
        {"-2147483648", CONVERT_NO_INT},
        {"x", CONVERT_NO_INT},
        {"5/0", CONVERT_NO_INT},
    };
    for (const auto &i : ints)
        EXPECT_EQ(ConvertStringToInt(i.text), i.value) << i.text;

    EXPECT_EQ(ConvertStringToIntPlain(""), CONVERT_NO_INT);
    EXPECT_EQ(ConvertStringToIntPlain("abc"), CONVERT_NO_INT);
    EXPECT_EQ(ConvertStringToIntPlain("12abc"), 12);
    EXPECT_EQ(ConvertStringToIntPlain(" -7"), -7);

    char out[32];
    ConvertIntToString(out, -42);
    EXPECT_STREQ(out, "-42");
    ConvertLongToString(out, 2147483647L);
    EXPECT_STREQ(out, "2147483647");
}

} // namespace
