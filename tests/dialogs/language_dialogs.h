// A fixture for tests that run dialogs from the language module's
// templates: the module's templates, the first window's units, and every
// message box answered at once and recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/init_dialogs.h"
#include "app/window.h"
#include "dialogs/alert.h"

class LanguageDialogTest : public testing::Test {
protected:
    // The texts of the message boxes shown, oldest first.
    static std::vector<std::string> &Alerts()
    {
        static std::vector<std::string> alerts;
        return alerts;
    }
    // What the boxes answer: 0 their first button, else this code.
    static uint32_t &AlertAnswer()
    {
        static uint32_t answer = 0;
        return answer;
    }

    void SetUp() override
    {
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = Record;
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        ASSERT_NE(g_LanguageModule, nullptr);
        InitReadScreenSize();
        g_ActiveWindow = 0;
        WindowResetUnits(&g_DrawWindows[0]);
        WindowSelectCurrent();
        Alerts().clear();
        AlertAnswer() = 0;
    }
    void TearDown() override
    {
        g_AlertAnswerHook = savedHook_;
        g_LanguageModule = savedModule_;
    }

private:
    static uint32_t Record(const char *text, uint32_t code1, uint32_t, uint32_t)
    {
        Alerts().push_back(text ? text : "");
        return AlertAnswer() ? AlertAnswer() : code1;
    }
    AlertAnswerHook savedHook_ = nullptr;
    HMODULE savedModule_ = nullptr;
};
