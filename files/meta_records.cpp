// Metafile records: the structure checks of EMF and WMF data in memory and
// the file reader.
#include <cmath>

#include "files/meta.h"
#include "files/meta_internal.h"
#include "files/zvi.h"

namespace {

constexpr uint32_t EMF_SIGNATURE = 0x464D4520; // " EMF"
constexpr uint32_t EMF_HEADER_MIN = 88;
constexpr uint32_t WMF_HEADER_SIZE = 18;

} // namespace

int MetaCheckEmfBits(const uint8_t *bytes, size_t size, MetaEmfHeaderInfo *info, const char **problem)
{
    *problem = "GetEnhMetaFileHeader() failure";
    if (!bytes || size < EMF_HEADER_MIN || size > META_FILE_MAX)
        return 0;
    MetaRecord h;
    h.bytes = bytes;
    std::memcpy(&h.type, bytes, 4);
    std::memcpy(&h.size, bytes + 4, 4);
    uint32_t signature = 0, total = 0, handles16 = 0;
    if (h.type != EMR_HEADER || h.size < EMF_HEADER_MIN || h.size > size || !h.U32(40, &signature) ||
        signature != EMF_SIGNATURE || !h.U32(48, &total))
        return 0;
    uint16_t handles = 0;
    h.U16(56, &handles);
    handles16 = handles;
    MetaEmfHeaderInfo i{};
    h.Copy(24, &i.frame, sizeof i.frame);
    h.Copy(72, &i.device, sizeof i.device);
    h.Copy(80, &i.millimetres, sizeof i.millimetres);
    i.handles = handles16;
    *problem = "GetEnhMetaFile() failure";
    if (total < h.size || total > size)
        return 0;
    // The records must tile the data up to EMR_EOF.
    size_t offset = 0;
    for (;;) {
        if (offset + 8 > total)
            return 0;
        uint32_t type, rsize;
        std::memcpy(&type, bytes + offset, 4);
        std::memcpy(&rsize, bytes + offset + 4, 4);
        if (rsize < 8 || (rsize & 3) || uint64_t(offset) + rsize > total)
            return 0;
        if (type == EMR_EOF)
            break;
        offset += rsize;
    }
    *info = i;
    *problem = nullptr;
    return 1;
}

int MetaCheckWmfBits(const uint8_t *bytes, size_t size, MetaWmfInfo *info, const char **problem)
{
    MetaWmfInfo i{};
    *problem = "Unable to read header";
    if (!bytes || size < META_PLACEABLE_SIZE || size > META_FILE_MAX)
        return 0;
    uint32_t key;
    std::memcpy(&key, bytes, 4);
    if (key == META_PLACEABLE_KEY) {
        i.placeable = 1;
        i.start = META_PLACEABLE_SIZE;
        std::memcpy(i.box, bytes + 6, 8);
        std::memcpy(&i.inch, bytes + 14, 2);
    }
    *problem = "Invalid metafile header";
    if (size < i.start + WMF_HEADER_SIZE)
        return 0;
    const uint8_t *h = bytes + i.start;
    uint16_t type, headerWords, objects;
    uint32_t words;
    std::memcpy(&type, h, 2);
    std::memcpy(&headerWords, h + 2, 2);
    std::memcpy(&words, h + 6, 4);
    std::memcpy(&objects, h + 10, 2);
    *problem = "Invalid metafile ID";
    if (type != 1 && type != 2)
        return 0;
    *problem = "File read error";
    if (headerWords != 9 || uint64_t(words) * 2 < WMF_HEADER_SIZE)
        return 0;
    // Some writers count the placeable header in the size as well: the
    // records are held to the data there is, and end with the end record.
    const size_t end = uint64_t(words) * 2 > size - i.start ? size : i.start + size_t(words) * 2;
    size_t offset = i.start + WMF_HEADER_SIZE;
    for (;;) {
        if (offset + 6 > end)
            return 0;
        uint32_t recordWords;
        uint16_t function;
        std::memcpy(&recordWords, bytes + offset, 4);
        std::memcpy(&function, bytes + offset + 4, 2);
        if (recordWords < 3 || uint64_t(offset) + uint64_t(recordWords) * 2 > end)
            return 0;
        if (function == 0)
            break;
        offset += size_t(recordWords) * 2;
    }
    i.objects = objects;
    *info = i;
    *problem = nullptr;
    return 1;
}

int MetaReadFileBytes(const char *path, std::vector<uint8_t> *out, size_t limit, const char **problem)
{
    *problem = "File not found";
    HANDLE file = nullptr;
    if (!path || !ZVI_FileOpen(&file, path))
        return 0;
    const uint32_t size = ZVI_FileSize(file);
    *problem = "File read error";
    int ok = 0;
    if (size != 0xFFFFFFFF && size <= limit) {
        out->resize(size);
        ok = size == 0 || ZVI_FileRead(file, out->data(), int32_t(size)) == int32_t(size);
    }
    ZVI_FileClose(file);
    if (ok)
        *problem = nullptr;
    return ok;
}
