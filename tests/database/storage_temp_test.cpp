// Temporary blocks and the two exclusive scratch buffers.
#include <cstring>
#include <string>
#include <vector>

#include "storage_fixture.h"

namespace {

class TempTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        mem_init_temp();
    }
    void TearDown() override
    {
        g_Debugging = 0; // leftovers of a failed test go quietly
        mem_exit_temp();
        mem_init_temp();
        StorageTest::TearDown();
    }
    static const std::string &LastDiagnostic() { return TestCapturedDiagnostics().back(); }
};

int UsedSlots()
{
    int used = 0;
    for (const TempSlot &s : g_TempSlots)
        used += s.block != nullptr;
    return used;
}

} // namespace

TEST_F(TempTest, TheTwoHundredFirstBlockIsRefusedUntilOneIsReleased)
{
    std::vector<void *> blocks;
    for (int i = 0; i < TEMP_SLOT_COUNT; ++i) {
        void *b = mem_alloc_temp(16, "loop.cpp", i);
        ASSERT_NE(b, nullptr) << i;
        blocks.push_back(b);
    }
    EXPECT_EQ(Diagnostics(), 0u);
    EXPECT_EQ(mem_alloc_temp(16, "c:\\src\\over.cpp", 77), nullptr);
    ASSERT_EQ(Diagnostics(), 1u);
    EXPECT_EQ(LastDiagnostic().rfind("storage\\", 0), 0u) << "the box names this module";
    EXPECT_NE(LastDiagnostic().find("\n\nmem_alloc_temp( 16 ) called from c:\\src\\over.cpp\\77:\n\nNo free handle."),
              std::string::npos);
    mem_free_temp(blocks[57], "loop.cpp", 1);
    void *again = mem_alloc_temp(24, "x.cpp", 5);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(g_TempSlots[57].block, again) << "the first free slot is reused";
    EXPECT_EQ(g_TempSlots[57].size, 24u);
    blocks[57] = again;
    for (void *b : blocks)
        mem_free_temp(b, "loop.cpp", 2);
    EXPECT_EQ(UsedSlots(), 0);
}

TEST_F(TempTest, ASlotRecordsTheFileFromItsLastSeparatorOnAndTheLine)
{
    struct Case {
        const char *file;
        const char *recorded;
    };
    const Case cases[] = {
        {"e:\\dir\\box.c", "\\box.c"},
        {"box.c", "box.c"},
        {"database/storage_list.cpp", "/storage_list.cpp"},
        {"a_very_long_source_file_name_without_separators.cpp", "a_very_long_source_file_name_wi"},
    };
    for (const Case &c : cases) {
        void *b = mem_alloc_temp(10, c.file, 321);
        ASSERT_NE(b, nullptr);
        EXPECT_STREQ(g_TempSlots[0].file, c.recorded) << c.file;
        EXPECT_EQ(g_TempSlots[0].line, 321);
        EXPECT_EQ(g_TempSlots[0].size, 10u);
        mem_free_temp(b, c.file, 322);
        EXPECT_EQ(g_TempSlots[0].block, nullptr);
        EXPECT_EQ(g_TempSlots[0].file[0], 0);
    }
}

TEST_F(TempTest, ReleasingNullOrAnUnknownBlockReleasesNothing)
{
    mem_free_temp(nullptr, "a.cpp", 3);
    ASSERT_EQ(Diagnostics(), 1u);
    EXPECT_NE(LastDiagnostic().find("mem_free_temp() called from a.cpp\\3:\n\nUnable to free \"NULL\" pointer."),
              std::string::npos);
    void *b = mem_alloc_temp(8, "a.cpp", 4);
    void *keep = mem_alloc_temp(8, "a.cpp", 5);
    mem_free_temp(b, "a.cpp", 6);
    EXPECT_EQ(Diagnostics(), 1u);
    mem_free_temp(b, "a.cpp", 7); // twice
    ASSERT_EQ(Diagnostics(), 2u);
    EXPECT_NE(LastDiagnostic().find("mem_free_temp() called from a.cpp\\7:\n\nUnknown temp memory pointer."),
              std::string::npos);
    EXPECT_EQ(UsedSlots(), 1);
    mem_free_temp(keep, "a.cpp", 8);
}

TEST_F(TempTest, LeftoversAreReportedAndReleasedAtExit)
{
    mem_alloc_temp(1234, "x:\\m\\left.cpp", 99);
    ASSERT_EQ(mem_lock_uni2("x:\\m\\holder.cpp", 12), 1);
    mem_exit_temp();
    ASSERT_EQ(Diagnostics(), 2u);
    EXPECT_NE(TestCapturedDiagnostics()[0].find("mem_exit_temp():\n\nA pointer (1234 bytes) is still assigned to "
                                            "\\left.cpp\\99."),
              std::string::npos);
    EXPECT_NE(TestCapturedDiagnostics()[1].find("mem_exit_temp():\n\nUni2 is still locked\nfrom x:\\m\\holder.cpp\\12."),
              std::string::npos);
    EXPECT_EQ(UsedSlots(), 0);
    EXPECT_EQ(mem_unlock_uni2("t.cpp", 1), 1);
}

TEST_F(TempTest, DiagnosticsStayHiddenWithoutTheirBit)
{
    g_Debugging = DEBUG_INTERFACE | DEBUG_DIALOG;
    mem_free_temp(nullptr, "a.cpp", 1);
    EXPECT_EQ(mem_unlock_uni1("a.cpp", 2), 0);
    EXPECT_EQ(Diagnostics(), 0u);
}

TEST_F(TempTest, ASecondTakerOfAScratchBufferIsToldWhoHoldsIt)
{
    struct Buffer {
        int (*lock)(const char *, int);
        int (*unlock)(const char *, int);
        const ScratchOwner *owner;
        const char *refused;
        const char *unlocked;
    };
    const Buffer buffers[] = {
        {mem_lock_uni1, mem_unlock_uni1, &g_Universal1Owner,
         "mem_lock_uni1() called from b.cpp\\20:\n\nUniversal1 is still locked to d:\\src\\a.cpp\\10.",
         "mem_unlock_uni1() called from b.cpp\\30:\n\nUniversal1 is already unlocked."},
        {mem_lock_uni2, mem_unlock_uni2, &g_Uni2Owner,
         "mem_lock_uni2() called from b.cpp\\20:\n\nUni2 is still locked to d:\\src\\a.cpp\\10.",
         "mem_unlock_uni2() called from b.cpp\\30:\n\nUni2 is already unlocked."},
    };
    for (const Buffer &b : buffers) {
        TestCapturedDiagnostics().clear();
        ASSERT_EQ(b.lock("d:\\src\\a.cpp", 10), 1);
        EXPECT_STREQ(b.owner->file, "d:\\src\\a.cpp") << "the whole path";
        EXPECT_EQ(b.owner->line, 10);
        EXPECT_EQ(b.lock("b.cpp", 20), 0);
        ASSERT_EQ(Diagnostics(), 1u);
        EXPECT_NE(LastDiagnostic().find(b.refused), std::string::npos) << LastDiagnostic();
        EXPECT_STREQ(b.owner->file, "d:\\src\\a.cpp") << "the holder keeps it";
        EXPECT_EQ(b.lock("d:\\src\\a.cpp", 11), 0) << "no nesting, not even for the holder";
        EXPECT_EQ(b.unlock("a.cpp", 12), 1);
        EXPECT_EQ(b.owner->locked, 0u);
        EXPECT_EQ(b.owner->file[0], 0);
        EXPECT_EQ(b.unlock("b.cpp", 30), 0);
        EXPECT_NE(LastDiagnostic().find(b.unlocked), std::string::npos) << LastDiagnostic();
        EXPECT_EQ(b.lock("b.cpp", 40), 1) << "free again";
        EXPECT_EQ(b.unlock("b.cpp", 41), 1);
    }
}

TEST_F(TempTest, ARefusedGuardNeitherWorksNorFreesTheHoldersLock)
{
    ScratchUni1 holder("holder.cpp", 1);
    ASSERT_TRUE(holder);
    {
        ScratchUni1 second("second.cpp", 2);
        EXPECT_FALSE(second);
        ScratchUni2 other("second.cpp", 3);
        EXPECT_TRUE(other) << "the other buffer is free";
    } // the refused guard goes out of scope here
    EXPECT_EQ(g_Universal1Owner.locked, 1u);
    EXPECT_STREQ(g_Universal1Owner.file, "holder.cpp");
    EXPECT_EQ(g_Uni2Owner.locked, 0u);
    holder.Release();
    EXPECT_EQ(g_Universal1Owner.locked, 0u);
    EXPECT_EQ(Diagnostics(), 1u) << "only the refused lock was reported";
}

TEST_F(TempTest, WorkMemoryHasTheSizesOfTheLimits)
{
    ASSERT_EQ(MemInitWork(), 1);
    ASSERT_NE(g_Universal1, nullptr);
    ASSERT_NE(g_Uni2, nullptr);
    EXPECT_GE(GlobalSize(GlobalHandle(g_Universal1)), g_ObjectLimits.scratchSize);
    EXPECT_EQ(g_Universal1[g_ObjectLimits.scratchSize - 1], 0);
    ASSERT_NE(g_WorkArrays.pathPoints, nullptr);
    EXPECT_GE(GlobalSize(GlobalHandle(g_WorkArrays.pathPoints)), (g_MaxPathPoints + 1) * sizeof(WorkPoint));
    EXPECT_GE(GlobalSize(GlobalHandle(g_WorkArrays.deviceTypes2)), DEVICE_POINT_COUNT * sizeof(uint32_t));
    MemExitWork();
    EXPECT_EQ(g_WorkArrays.pathPoints, nullptr);
    EXPECT_NE(g_Universal1, nullptr) << "the scratch buffers stay until the process ends";
}
