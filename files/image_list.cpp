#include "files/image_list.h"

BitmapList g_BitmapList = {0, 0, nullptr};

uint32_t ImageBytesInUse()
{
    uint32_t total = 0;
    for (int32_t i = 0; i < g_BitmapList.count && g_BitmapList.entries; ++i)
        total += g_BitmapList.entries[i].imageBytes;
    return total;
}
