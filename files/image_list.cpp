#include "files/image_list.h"

BitmapList g_BitmapList = {0, 0, nullptr};

uint32_t ImageBytesInUse()
{
    uint32_t total = 0;
    for (int32_t i = 0; i < g_BitmapList.count && g_BitmapList.entries; ++i)
        total += g_BitmapList.entries[i].imageBytes;
    return total;
}

#include <cstring>
#include <vector>

namespace {
std::vector<ImageData> s_ImageData;
}

int ImageStoreData(const char *name, const uint8_t *bytes, uint32_t size)
{
    if (!name || !name[0] || std::strlen(name) >= sizeof(ImageData::name) || (!bytes && size))
        return 0;
    uint8_t *copy = static_cast<uint8_t *>(HeapAlloc(GetProcessHeap(), 0, size ? size : 1));
    if (!copy)
        return 0;
    if (size)
        std::memcpy(copy, bytes, size);
    for (ImageData &d : s_ImageData)
        if (std::strcmp(d.name, name) == 0) {
            HeapFree(GetProcessHeap(), 0, d.bytes);
            d.bytes = copy;
            d.size = size;
            return 1;
        }
    if (s_ImageData.size() >= IMAGE_DATA_MAX_COUNT) {
        HeapFree(GetProcessHeap(), 0, copy);
        return 0;
    }
    ImageData d{};
    std::strcpy(d.name, name);
    d.bytes = copy;
    d.size = size;
    s_ImageData.push_back(d);
    return 1;
}

const ImageData *ImageFindData(const char *name)
{
    for (const ImageData &d : s_ImageData)
        if (name && std::strcmp(d.name, name) == 0)
            return &d;
    return nullptr;
}

int32_t ImageDataCount()
{
    return int32_t(s_ImageData.size());
}

const ImageData *ImageDataAt(int32_t index)
{
    return index >= 0 && index < int32_t(s_ImageData.size()) ? &s_ImageData[size_t(index)] : nullptr;
}

void ImageClearData()
{
    for (ImageData &d : s_ImageData)
        HeapFree(GetProcessHeap(), 0, d.bytes);
    s_ImageData.clear();
}
