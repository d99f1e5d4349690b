// Shared by the database tests: a fresh allocator with one chunk, empty lists,
// and the diagnostic boxes captured instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/init.h"
#include "common/test_support.h"
#include "database/storage.h"
#include "database/undo_step.h"

class StorageTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedDebugging_ = g_Debugging;
        savedSink_ = g_InitErrorBoxSink;
        g_Debugging = DEBUG_INTERNAL;
        g_InitErrorBoxSink = TestCaptureDiagnostic;
        TestCapturedDiagnostics().clear();
        MemFreeChunks();
        MemInitLists();
        ASSERT_EQ(MemEnlargeList(), 1);
        g_UndoStep = 0;
        g_ListFilter = {0, 0, 0};
    }
    void TearDown() override
    {
        MemFreeChunks();
        MemInitLists();
        g_Debugging = savedDebugging_;
        g_InitErrorBoxSink = savedSink_;
    }

    static uint32_t ChunkSize() { return g_ObjectLimits.chunkSize; }
    static ObjectList &Chunks() { return g_ObjectLists[LIST_CHUNKS]; }
    static size_t Diagnostics() { return TestCapturedDiagnostics().size(); }

    // A unit of the given size in the given list, flags and stamps set.
    static Unit *NewUnit(int list, uint32_t bytes, uint32_t flags = 0, int32_t birth = UNIT_BIRTH_ALWAYS,
                         int32_t death = UNIT_DEATH_ALIVE)
    {
        Unit *u = MemListNewObject(list, bytes, nullptr);
        if (u) {
            u->flags = flags;
            u->birth = birth;
            u->death = death;
            u->kind = UNIT_KIND_OBJECT;
        }
        return u;
    }

private:
    uint32_t savedDebugging_ = 0;
    InitErrorBoxSink savedSink_ = nullptr;
};
