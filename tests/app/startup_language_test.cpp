// Loading the language module, and start-up ending cleanly without it.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/darad4.h"
#include "app/init.h"
#include "app/system.h"
#include "program_run.h"

namespace {

class LanguageLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedName_ = g_LanguageFileName;
        savedModule_ = g_LanguageModule;
        g_LanguageModule = nullptr;
    }
    void TearDown() override
    {
        g_LanguageFileName = savedName_;
        g_LanguageModule = savedModule_;
    }

private:
    const char *savedName_ = nullptr;
    HMODULE savedModule_ = nullptr;
};

struct FailureCase {
    const char *file;
    const char *message;
};

// Each failure names its step in the diagnostic box, keeps no module and
// leaves no module loaded.
TEST_F(LanguageLoading, FailuresEndStartUpWithoutAModule)
{
    static std::string lastBox;
    const FailureCase cases[] = {
        {"nosuch.dll", "LoadLibrary() failure"},
        {"langbare.dll", "GetProcAddress( \"ZVI_LanguageExit\" ) failure"},
        {"langfail.dll", "ZVI_LanguageInit() failure"},
    };
    const uint32_t savedDebugging = g_Debugging;
    const InitErrorBoxSink savedSink = g_InitErrorBoxSink;
    g_Debugging = DEBUG_INTERNAL;
    g_InitErrorBoxSink = [](const char *text) { lastBox = text; };
    for (const FailureCase &c : cases) {
        SCOPED_TRACE(c.file);
        lastBox.clear();
        g_LanguageFileName = c.file;
        EXPECT_EQ(InitLoadLanguage(GetModuleHandleA(nullptr), &g_LanguageInitBlock), 0u);
        EXPECT_EQ(g_LanguageModule, nullptr);
        EXPECT_EQ(GetModuleHandleA(c.file), nullptr);
        EXPECT_NE(lastBox.find(c.message), std::string::npos) << lastBox;
    }
    g_Debugging = savedDebugging;
    g_InitErrorBoxSink = savedSink;
}

// With the diagnostic switch still 0 (the machine settings are not read yet)
// a failing module ends start-up without any box.
TEST_F(LanguageLoading, AppInitEndsSilentlyWhenTheModuleRefuses)
{
    static int boxes = 0;
    const InitErrorBoxSink savedSink = g_InitErrorBoxSink;
    const uint32_t savedDebugging = g_Debugging;
    g_Debugging = 0;
    g_InitErrorBoxSink = [](const char *) { ++boxes; };
    boxes = 0;
    g_LanguageFileName = "langfail.dll";
    EXPECT_EQ(AppInit("", SW_HIDE), 0u);
    EXPECT_EQ(boxes, 0);
    EXPECT_EQ(g_MainWnd, nullptr);
    EXPECT_EQ(FindWindowA("DARAD4_MainWClass", nullptr), nullptr);
    g_InitErrorBoxSink = savedSink;
    g_Debugging = savedDebugging;
}

TEST_F(LanguageLoading, LoadAndFreeTheRealModule)
{
    EXPECT_EQ(InitLoadLanguage(GetModuleHandleA(nullptr), &g_LanguageInitBlock), 1u);
    ASSERT_NE(g_LanguageModule, nullptr);
    // The program's folder, with its backslash.
    const std::string folder = ProgramFolder();
    EXPECT_STREQ(g_PathServer, folder.c_str());
    EXPECT_EQ(InitFreeLanguage(), 1u);
    EXPECT_EQ(g_LanguageModule, nullptr);
    // Nothing left to free.
    EXPECT_EQ(InitFreeLanguage(), 0u);
}

} // namespace
