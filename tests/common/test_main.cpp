// main() of every test program.
#include <gtest/gtest.h>
#include <cstdint>

#include "common/test_support.h"

unsigned short g_FpuControlWordAtStart = 0;

static unsigned short ReadFpuControlWord()
{
    unsigned short cw = 0;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

int main(int argc, char **argv)
{
    // Read before anything can touch the FPU: the program relies on the
    // precision it is given at start.
    g_FpuControlWordAtStart = ReadFpuControlWord();
    testing::InitGoogleTest(&argc, argv);
    TestSilenceBoxes();
    return RUN_ALL_TESTS();
}
