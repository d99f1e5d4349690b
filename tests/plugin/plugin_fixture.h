// Shared by the plug-in interface tests: the database tests' fresh object
// lists and captured diagnostic boxes, with the interface's messages on, an
// open creation interface and empty module tables.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/init.h"
#include "common/test_support.h"
#include "database/storage.h"
#include "database/storage_fixture.h"
#include "database/undo_step.h"
#include "plugin/zvi.h"

class PluginTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        g_Debugging = DEBUG_INTERFACE;
        InitClearModules();
        ASSERT_EQ(ZVI_CreationStart(), 1);
    }
    void TearDown() override
    {
        ZVI_CreationEnd();
        InitClearModules();
        for (void *p : guarded_)
            VirtualFree(p, 0, MEM_RELEASE);
        guarded_.clear();
        StorageTest::TearDown();
    }

    static std::vector<std::string> &Messages() { return TestCapturedDiagnostics(); }
    // The reason of the last diagnostic ("" when none), and the count cleared.
    static std::string TakeReason()
    {
        std::vector<std::string> &d = Messages();
        if (d.empty())
            return "";
        std::string text = d.back();
        d.clear();
        return text.substr(text.rfind("\n\n") + 2);
    }

    // Puts a module record straight into the table, as the loader does.
    static void AddModule(const ModuleData &m)
    {
        LanguageExchangeBlock &b = g_LanguageInitBlock;
        std::memcpy(&b.modules[b.moduleCount++], &m, sizeof m);
    }

    // A buffer of bytes that ends right before a page that cannot be touched:
    // a probe over more than bytes fails.
    static uint8_t *GuardedBuffer(size_t bytes)
    {
        constexpr size_t PAGE = 4096;
        auto *base = static_cast<uint8_t *>(VirtualAlloc(nullptr, 2 * PAGE, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base + PAGE, PAGE, PAGE_NOACCESS, &old);
        guarded_.push_back(base);
        return base + PAGE - bytes;
    }

    static int ListCount(int list)
    {
        int n = 0;
        for (Unit *u = MemListFirst(list, 0, 0, 0); u; u = MemListNext(u))
            ++n;
        return n;
    }

private:
    static inline std::vector<void *> guarded_;
};
