#include <gtest/gtest.h>

#include "common/test_support.h"

// The program computes in extended precision: the x87 precision-control field
// (bits 8-9) must say 64-bit mantissa (binary 11) when the process starts.
TEST(Fpu, RunsWithA64BitMantissaAtStart)
{
    EXPECT_EQ(g_FpuControlWordAtStart & 0x0300, 0x0300) << std::hex << g_FpuControlWordAtStart;
    volatile long double one = 1.0L, tiny = 1.0L / (1ULL << 62);
    EXPECT_NE(one + tiny, one) << "long double arithmetic lost the low mantissa bits";
}
