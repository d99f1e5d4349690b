// The ObjectSize option and the limits derived from it.
#include <gtest/gtest.h>

#include "app/system_objectsize.h"
#include "database/storage.h"

TEST(ObjectSizeOption, RegistryKilobytesAreClampedWithoutWrapping)
{
    struct Case {
        bool present;
        uint32_t kilobytes;
        uint32_t bytes;
    };
    const Case cases[] = {
        {false, 0, 131072},        {true, 128, 131072},         {true, 64, 131072},
        {true, 0, 131072},         {true, 256, 262144},         {true, 1024, 1048576},
        {true, 4096, 1048576},     {true, 4194304, 1048576},    {true, 0xFFFFFFFFu, 1048576},
        {true, 4194305, 1048576}, // times 1024 wraps to 1024 in 32 bits
    };
    for (const Case &c : cases)
        EXPECT_EQ(SystemObjectSizeFromKilobytes(c.present ? &c.kilobytes : nullptr), c.bytes) << c.kilobytes;
}

TEST(ObjectSizeOption, ApplyingItSetsTheLimits)
{
    const ObjectLimits saved = g_ObjectLimits;
    const uint32_t kb = 1024;
    SystemApplyObjectSize(&kb);
    EXPECT_EQ(g_ObjectLimits.maxUnitData, 1046528u);
    EXPECT_EQ(g_MaxPathPoints, 130816u);
    SystemApplyObjectSize(nullptr);
    EXPECT_EQ(g_ObjectLimits.chunkSize, 262144u);
    g_ObjectLimits = saved;
    g_MaxPathPoints = saved.maxPathPoints;
}
