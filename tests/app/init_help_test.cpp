// Help requests: a missing help file is reported by the program itself and
// never reaches WinHelp, which would block on a box of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/init_help.h"
#include "dialogs/alert.h"
#include "language/language.h"

namespace {

int s_Alerts = 0;
std::string s_AlertText;

uint32_t RecordAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    ++s_Alerts;
    s_AlertText = text;
    return code1;
}

TEST(InitHelp, AMissingHelpFileIsReportedWithoutCallingWinHelp)
{
    const InitHelpSink savedSink = g_InitHelpSink;
    const AlertAnswerHook savedHook = g_AlertAnswerHook;
    g_InitHelpSink = nullptr; // the real door, but no file: WinHelp must not be reached
    g_AlertAnswerHook = RecordAlert;
    s_Alerts = 0;

    const char *missing = "C:\\no such folder\\darad4.hlp";
    EXPECT_FALSE(InitWinHelp(nullptr, missing, HELP_CONTEXT, 501));
    char expected[600];
    std::snprintf(expected, sizeof expected, eAlertTextOK[143], missing);
    EXPECT_EQ(s_Alerts, 1);
    EXPECT_EQ(s_AlertText, expected);

    EXPECT_FALSE(InitWinHelp(nullptr, nullptr, HELP_CONTENTS, 0));
    EXPECT_EQ(s_Alerts, 2);

    g_InitHelpSink = savedSink;
    g_AlertAnswerHook = savedHook;
}

} // namespace
