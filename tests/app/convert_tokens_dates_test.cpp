// Dates and times, tokens, abbreviations, folder paths, help contexts, coordinates.
#include <gtest/gtest.h>

#include <string>

#include "app/convert.h"
#include "common/test_support.h"
#include "app/window.h"

namespace {

const char *const MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char *const DAYS[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char *const HALVES[2] = {"am", "pm"};

class DateTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = g_ConvertDateNames;
        g_ConvertDateNames = {MONTHS, DAYS, HALVES};
    }
    void TearDown() override { g_ConvertDateNames = m_saved; }
    ConvertDateNames m_saved{};
};

SYSTEMTIME Time(int year, int month, int dayOfWeek, int day, int hour, int minute, int second)
{
    SYSTEMTIME t = {};
    t.wYear = (WORD)year;
    t.wMonth = (WORD)month;
    t.wDayOfWeek = (WORD)dayOfWeek;
    t.wDay = (WORD)day;
    t.wHour = (WORD)hour;
    t.wMinute = (WORD)minute;
    t.wSecond = (WORD)second;
    return t;
}

std::string Date(const SYSTEMTIME &t, const char *format)
{
    char out[256] = "unchanged";
    ConvertDateTimeToString(&t, format, out);
    return out;
}

TEST_F(DateTexts, EveryCode)
{
    const SYSTEMTIME t = Time(2005, 3, 2, 8, 14, 7, 9); // Tuesday 8 March 2005, 14:07:09
    const SYSTEMTIME midnight = Time(1999, 12, 5, 31, 0, 5, 0);
    const SYSTEMTIME noon = Time(2000, 1, 6, 1, 12, 0, 0);
    const SYSTEMTIME morning = Time(2000, 1, 6, 1, 11, 59, 59);
    struct {
        const SYSTEMTIME *time;
        const char *format, *text;
    } rows[] = {
        {&t, "#Y-#o-#d", "2005-3-8"},
        {&t, "#y", "05"},
        {&t, "#O #D", "Mar Tue"},
        {&t, "#h:#m:#s", "14:07:09"},
        {&t, "#a #p", "2 pm"},
        {&midnight, "#a:#m #p", "12:05 am"},
        {&midnight, "#D #d #O #Y", "Fri 31 Dec 1999"},
        {&noon, "#a #p", "12 pm"},
        {&morning, "#a #p", "11 am"},
        {&t, "##", "#"},
        {&t, "#x#", "x"}, // an unknown code is copied; a lone "#" at the end drops
        {&t, "abc#", "abc"},
        {&t, "", ""},
        {&t, "at #h o'clock", "at 14 o'clock"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(Date(*r.time, r.format), r.text) << r.format;
}

TEST_F(DateTexts, ALongExpansionIsCutAt255Characters)
{
    const SYSTEMTIME t = Time(2005, 3, 2, 8, 14, 7, 9);
    std::string format;
    for (int i = 0; i < 100; ++i)
        format += "#Y";
    const std::string text = Date(t, format.c_str());
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 8), "20052005");
}

TEST(ConvertTokens, NextToken)
{
    char token[CONVERT_TOKEN_SIZE];
    const char *text = "\"a b\" c";
    const char *next = ConvertNextToken(text, token);
    ASSERT_NE(next, nullptr);
    EXPECT_STREQ(token, "a b");
    next = ConvertNextToken(next, token);
    ASSERT_NE(next, nullptr);
    EXPECT_STREQ(token, "c");
    EXPECT_EQ(ConvertNextToken(next, token), nullptr);

    EXPECT_EQ(ConvertNextToken("\"a b c", token), nullptr) << "missing closing quote";
    EXPECT_EQ(ConvertNextToken("", token), nullptr);
    EXPECT_EQ(ConvertNextToken(nullptr, token), nullptr);

    next = ConvertNextToken("   ", token);
    ASSERT_NE(next, nullptr);
    EXPECT_STREQ(token, "") << "blanks only: one empty token";
    EXPECT_EQ(ConvertNextToken(next, token), nullptr);

    next = ConvertNextToken("  /p  drawing.zvd", token);
    EXPECT_STREQ(token, "/p");
    EXPECT_STREQ(next, "  drawing.zvd") << "the result points at the blank behind the token";
    next = ConvertNextToken(next, token);
    EXPECT_STREQ(token, "drawing.zvd");
    EXPECT_STREQ(next, "");

    next = ConvertNextToken("\"\" x", token);
    EXPECT_STREQ(token, "");
    EXPECT_STREQ(next, " x");
}

TEST(ConvertTokens, ALongTokenIsCutToTheBuffer)
{
    const std::string word(400, 'w');
    char token[CONVERT_TOKEN_SIZE];
    const char *next = ConvertNextToken(word.c_str(), token);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(std::string(token), std::string(CONVERT_TOKEN_SIZE - 1, 'w'));
    EXPECT_EQ(*next, 0) << "the whole token is passed over";
    char small[4];
    ConvertNextToken("\"abcdef\"", small, sizeof small);
    EXPECT_STREQ(small, "abc");
}

TEST(ConvertTokens, CompareAbbrev)
{
    struct {
        const char *name, *abbrev;
        int caseSensitive, result;
    } rows[] = {
        {"Block", "bl", 0, 1},  {"bl", "bl", 0, 0},   {"bl", "Block", 0, -1}, {"A", "a", 1, -1},
        {"A", "a", 0, 0},       {"", "", 0, 0},       {"", "x", 0, -1},       {"Block", "", 0, 1},
        {"Block", "bx", 0, -1}, {"BLOCK", "Bl", 1, -1}, {"Block", "Bl", 1, 1},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ConvertCompareAbbrev(r.name, r.abbrev, r.caseSensitive), r.result)
            << r.name << " / " << r.abbrev;
}

TEST(ConvertTokens, AppendBackslash)
{
    struct {
        std::string in, out;
    } rows[] = {
        {"c:\\x", "c:\\x\\"},
        {"", ""},
        {"*abc", "*abc"},
        {"c:\\x\\", "c:\\x\\"},
        {"c:/x/", "c:/x/"},
        {std::string(259, 'a'), std::string(259, 'a')},
        {std::string(258, 'a'), std::string(258, 'a') + "\\"},
    };
    for (const auto &r : rows) {
        char path[MAX_PATH + 1];
        std::snprintf(path, sizeof path, "%s", r.in.c_str());
        ConvertAppendBackslash(path);
        EXPECT_EQ(std::string(path), r.out) << r.in.size();
    }
}

TEST(ConvertHelp, CommandContexts)
{
    struct {
        int command, context;
    } rows[] = {
        {501, 501},     {1200, 1200},   {1299, 1299},   {1300, -1},     {5299, -1},     {5300, -1},
        {5339, -1},     {5340, 14000},  {5439, 14000},  {5440, 14001},  {5539, 14001},  {5540, 14002},
        {5559, 14002},  {5560, 14003},  {5610, 14003},  {5611, 5611},   {6365, 14008},  {6865, 14008},
        {6866, 14009},  {7366, 14009},  {7367, 14010},  {7867, 14010},  {7868, 14011},  {7872, 14011},
        {7873, 14012},  {7877, 14012},  {7878, 14013},  {7882, 14013},  {7883, 7883},   {7887, 7887},
        {7888, 14014},  {7892, 14014},  {7893, 14015},  {7897, 14015},  {7898, 14016},  {7902, 14016},
        {7903, 7903},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ConvertCommandHelpContext(r.command), r.context) << r.command;

    const int before = g_TestHelp.count;
    ConvertShowCommandHelp(7890);
    EXPECT_EQ(g_TestHelp.count, before + 1);
    EXPECT_EQ(g_TestHelp.command, (UINT)HELP_CONTEXT);
    EXPECT_EQ(g_TestHelp.data, 14014u);
    ASSERT_GE(g_TestHelp.file.size(), 11u);
    EXPECT_EQ(g_TestHelp.file.substr(g_TestHelp.file.size() - 11), "\\darad4.hlp");
    ConvertShowCommandHelp(1350);
    EXPECT_EQ(g_TestHelp.count, before + 1) << "plug-in commands have no page in the help file";
}

TEST(ConvertCoordinates, WorldAndSystem)
{
    DrawWindow &w = g_DrawWindows[1];
    // System: origin at (10, 20), centimetres: system = (mm - origin) / 10.
    w.MatrixMMToSystem = Matrix{0.1, 0, 0, 0.1, -1.0, -2.0};
    w.MatrixSystemToMM = Matrix{10, 0, 0, 10, 10, 20};
    EXPECT_DOUBLE_EQ(ConvertWorldToSystemX(1, 30, 40), 2.0);
    EXPECT_DOUBLE_EQ(ConvertWorldToSystemY(1, 30, 40), 2.0);
    EXPECT_DOUBLE_EQ(ConvertSystemToWorldX(1, 2, 2), 30.0);
    EXPECT_DOUBLE_EQ(ConvertSystemToWorldY(1, 2, 2), 40.0);
    EXPECT_EQ(ConvertWorldToSystemX(1, 30, 1e300), 1e300) << "even where the matrix ignores y";
    EXPECT_EQ(ConvertWorldToSystemY(1, 1e300, 40), 1e300);
    EXPECT_EQ(ConvertWorldToSystemX(1, 1e102, 0), 1e300) << "result beyond 1e100";
    EXPECT_EQ(ConvertWorldToSystemX(5, 0, 0), 1e300) << "no such window";
    EXPECT_DOUBLE_EQ(ConvertWorldToSystemX(WINDOW_VIEW, 3, 4), 3.0);
    WindowResetUnits(&w);
}

} // namespace
