#include "app/system_objectsize.h"

#include "database/storage.h"

uint32_t SystemObjectSizeFromKilobytes(const uint32_t *kilobytes)
{
    // In 64 bits: a huge registry value must clamp, not wrap to a small size.
    const uint64_t bytes = static_cast<uint64_t>(kilobytes ? *kilobytes : OBJECT_SIZE_KB_DEFAULT) * 1024;
    if (bytes < OBJECT_SIZE_MIN)
        return OBJECT_SIZE_MIN;
    if (bytes > OBJECT_SIZE_MAX)
        return OBJECT_SIZE_MAX;
    return static_cast<uint32_t>(bytes);
}

void SystemApplyObjectSize(const uint32_t *kilobytes)
{
    MemSetLimits(SystemObjectSizeFromKilobytes(kilobytes));
}
