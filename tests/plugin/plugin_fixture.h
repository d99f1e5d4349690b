// Shared by the plug-in interface tests: fresh object lists, an open
// creation interface, empty module tables and the diagnostic boxes captured.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/init.h"
#include "common/test_support.h"
#include "database/storage.h"
#include "database/undo_step.h"
#include "plugin/zvi.h"

class PluginTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedDebugging_ = g_Debugging;
        savedSink_ = g_InitErrorBoxSink;
        g_Debugging = DEBUG_INTERFACE;
        g_InitErrorBoxSink = TestCaptureDiagnostic;
        TestCapturedDiagnostics().clear();
        MemFreeChunks();
        MemInitLists();
        ASSERT_EQ(MemEnlargeList(), 1);
        g_UndoStep = 0;
        g_ListFilter = {0, 0, 0};
        InitClearModules();
        ASSERT_EQ(ZVI_CreationStart(), 1);
    }
    void TearDown() override
    {
        ZVI_CreationEnd();
        InitClearModules();
        MemFreeChunks();
        MemInitLists();
        g_Debugging = savedDebugging_;
        g_InitErrorBoxSink = savedSink_;
    }

    static std::vector<std::string> &Diagnostics() { return TestCapturedDiagnostics(); }
    // The reason of the last diagnostic ("" when none), and the count cleared.
    static std::string TakeReason()
    {
        std::vector<std::string> &d = Diagnostics();
        if (d.empty())
            return "";
        std::string text = d.back();
        d.clear();
        return text.substr(text.find("\n\n") + 2);
    }

    // Puts a module record straight into the table, as the loader does.
    static void AddModule(const ModuleData &m)
    {
        LanguageExchangeBlock &b = g_LanguageInitBlock;
        std::memcpy(&b.modules[b.moduleCount++], &m, sizeof m);
    }

    static int ListCount(int list)
    {
        int n = 0;
        for (Unit *u = MemListFirst(list, 0, 0, 0); u; u = MemListNext(u))
            ++n;
        return n;
    }

private:
    uint32_t savedDebugging_ = 0;
    InitErrorBoxSink savedSink_ = nullptr;
};
