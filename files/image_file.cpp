// Recognising and validating bitmap files.
#include "files/image_file.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "files/zvi.h"

namespace {

constexpr uint32_t COMPRESSION_RGB = 0;
constexpr uint32_t COMPRESSION_RLE8 = 1;
constexpr uint32_t COMPRESSION_RLE4 = 2;
constexpr uint32_t COMPRESSION_BITFIELDS = 3;
constexpr uint32_t MASK_COUNT = 3;

uint16_t Get16(const uint8_t *p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t *p) { return uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24; }

bool KnownBitCount(uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool CompressionFits(uint32_t compression, uint16_t bits)
{
    switch (compression) {
    case COMPRESSION_RGB: return true;
    case COMPRESSION_RLE8: return bits == 8;
    case COMPRESSION_RLE4: return bits == 4;
    case COMPRESSION_BITFIELDS: return bits == 16 || bits == 32;
    default: return false;
    }
}

// Three masks, none empty, no bit in two of them, none wider than a pixel.
bool MasksSound(const uint8_t *p, uint16_t bits)
{
    uint32_t seen = 0;
    const uint32_t pixel = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    for (uint32_t i = 0; i < MASK_COUNT; ++i) {
        const uint32_t m = Get32(p + 4 * i);
        if (!m || (m & seen) || (m & ~pixel))
            return false;
        seen |= m;
    }
    return true;
}

} // namespace

ImageDibFault ImageValidateDib(const uint8_t *bytes, size_t size, bool fileHeader, ImageDibInfo *out)
{
    ImageDibInfo info{};
    size_t start = 0;
    uint32_t fileOffset = 0;
    if (fileHeader) {
        if (size < IMAGE_FILE_HEADER_SIZE || bytes[0] != 'B' || bytes[1] != 'M')
            return IMAGE_DIB_SHORT;
        fileOffset = Get32(bytes + 10);
        start = IMAGE_FILE_HEADER_SIZE;
    }
    const uint8_t *h = bytes + start;
    const size_t dibSize = size - start;
    if (dibSize < 4)
        return IMAGE_DIB_SHORT;
    const uint32_t headerSize = Get32(h);
    if (headerSize != IMAGE_CORE_HEADER_SIZE && headerSize != IMAGE_INFO_HEADER_SIZE)
        return IMAGE_DIB_HEADER_SIZE;
    if (dibSize < headerSize)
        return IMAGE_DIB_SHORT;
    uint16_t planes;
    uint32_t colorsUsed = 0, sizeImage = 0;
    info.core = headerSize == IMAGE_CORE_HEADER_SIZE;
    if (info.core) {
        info.width = Get16(h + 4);
        info.height = Get16(h + 6);
        planes = Get16(h + 8);
        info.bitCount = Get16(h + 10);
    } else {
        info.width = int32_t(Get32(h + 4));
        info.height = int32_t(Get32(h + 8));
        planes = Get16(h + 12);
        info.bitCount = Get16(h + 14);
        info.compression = Get32(h + 16);
        sizeImage = Get32(h + 20);
        colorsUsed = Get32(h + 32);
    }
    // Top-down rows (a negative height) only without compression.
    const int64_t rows = info.height < 0 ? -int64_t(info.height) : info.height;
    if (info.width <= 0 || info.width > IMAGE_MAX_SIDE || rows == 0 || rows > IMAGE_MAX_SIDE)
        return IMAGE_DIB_SIZE;
    if (planes != 1)
        return IMAGE_DIB_PLANES;
    if (!KnownBitCount(info.bitCount))
        return IMAGE_DIB_BIT_COUNT;
    if (!CompressionFits(info.compression, info.bitCount) ||
        (info.height < 0 && (info.compression == COMPRESSION_RLE4 || info.compression == COMPRESSION_RLE8)))
        return IMAGE_DIB_COMPRESSION;
    const uint32_t tableMax = info.bitCount <= 8 ? (1u << info.bitCount) : 256;
    if (colorsUsed > tableMax)
        return IMAGE_DIB_COLORS;
    info.colors = colorsUsed ? colorsUsed : (info.bitCount <= 8 ? tableMax : 0);

    const uint64_t stride = (uint64_t(info.bitCount) * uint64_t(info.width) + 31) / 32 * 4;
    const uint64_t needed = stride * uint64_t(rows);
    const bool compressed = info.compression == COMPRESSION_RLE4 || info.compression == COMPRESSION_RLE8;
    uint64_t pixelBytes = needed;
    if (compressed) {
        if (!sizeImage)
            return IMAGE_DIB_IMAGE_SIZE;
        pixelBytes = sizeImage;
    } else if (sizeImage && sizeImage < needed) {
        return IMAGE_DIB_IMAGE_SIZE;
    }
    if (pixelBytes > IMAGE_MAX_PIXEL_BYTES)
        return IMAGE_DIB_SIZE;

    info.colorOffset = headerSize;
    uint64_t tableBytes = uint64_t(info.colors) * (info.core ? 3 : 4);
    if (info.compression == COMPRESSION_BITFIELDS) {
        if (dibSize < headerSize + 4 * MASK_COUNT)
            return IMAGE_DIB_SHORT;
        if (!MasksSound(h + headerSize, info.bitCount))
            return IMAGE_DIB_MASKS;
        tableBytes += 4 * MASK_COUNT;
    }
    uint64_t pixelOffset = headerSize + tableBytes;
    if (fileOffset) {
        // The file header places the pixels: never inside the header or table.
        if (fileOffset < start + pixelOffset)
            return IMAGE_DIB_SHORT;
        pixelOffset = fileOffset - start;
    }
    if (pixelOffset + pixelBytes > dibSize)
        return IMAGE_DIB_SHORT;
    info.pixelOffset = uint32_t(pixelOffset);
    info.pixelBytes = uint32_t(pixelBytes);
    if (out)
        *out = info;
    return IMAGE_DIB_OK;
}

bool ImageReadFileBytes(const char *path, std::vector<uint8_t> *bytes)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!path || !ZVI_FileOpen(&file, path))
        return false;
    const uint32_t size = ZVI_FileSize(file);
    bool read = size > 0 && size <= IMAGE_MAX_PIXEL_BYTES + (1u << 20);
    if (read) {
        bytes->resize(size);
        read = ZVI_FileRead(file, bytes->data(), int32_t(size)) == int32_t(size);
    }
    ZVI_FileClose(file);
    return read;
}

uint32_t ImageDibNumColors(const BITMAPINFOHEADER *header)
{
    if (!header)
        return 0;
    if (header->biClrUsed)
        return header->biClrUsed;
    switch (header->biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

uint32_t ImageDibPaletteSize(const BITMAPINFOHEADER *header) { return ImageDibNumColors(header) * sizeof(RGBQUAD); }

int ImageCheckFile(const char *path)
{
    std::vector<uint8_t> bytes;
    if (!ImageReadFileBytes(path, &bytes))
        return 0;
    const bool fileHeader = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    return ImageValidateDib(bytes.data(), bytes.size(), fileHeader, nullptr) == IMAGE_DIB_OK ? 1 : 0;
}

int ImageReadFileInfo(const char *path, ImageDibInfo *out)
{
    std::vector<uint8_t> bytes;
    return ImageReadFileBytes(path, &bytes) && ImageValidateDib(bytes.data(), bytes.size(), true, out) == IMAGE_DIB_OK;
}
