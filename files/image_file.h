// Bitmap files: recognising and validating Windows bitmaps (DIBs) before any
// of their bytes are used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t IMAGE_CORE_HEADER_SIZE = 12;
constexpr uint32_t IMAGE_INFO_HEADER_SIZE = 40;
constexpr uint32_t IMAGE_FILE_HEADER_SIZE = 14;
constexpr int32_t IMAGE_MAX_SIDE = 32768; // pixels of a side
constexpr uint64_t IMAGE_MAX_PIXEL_BYTES = 0x10000000;

// What a valid DIB holds, in the 40-byte header's terms (a core header is
// converted; a top-down image has a negative height).
struct ImageDibInfo {
    int32_t width;
    int32_t height;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t colors;       // entries of the colour table
    uint32_t colorOffset;  // of the colour table (or the masks), from the DIB start
    uint32_t pixelOffset;  // of the pixels, from the DIB start
    uint32_t pixelBytes;   // the pixels' size
    bool core;
};

// Why a DIB was refused; IMAGE_DIB_OK when it is sound.
enum ImageDibFault {
    IMAGE_DIB_OK,
    IMAGE_DIB_SHORT,        // the bytes end inside the header, table or pixels
    IMAGE_DIB_HEADER_SIZE,  // neither a core nor a 40-byte header
    IMAGE_DIB_SIZE,         // width or height zero, negative or too large
    IMAGE_DIB_PLANES,
    IMAGE_DIB_BIT_COUNT,
    IMAGE_DIB_COMPRESSION,  // unknown, or not allowed with the bit count
    IMAGE_DIB_COLORS,       // more colours than the bit count can use
    IMAGE_DIB_IMAGE_SIZE,   // biSizeImage smaller than the rows need
    IMAGE_DIB_MASKS,        // BITFIELDS masks empty or overlapping
};

// Validates a DIB (header, colour table and pixels) of size bytes; with
// fileHeader the bytes begin with the "BM" file header.
ImageDibFault ImageValidateDib(const uint8_t *bytes, size_t size, bool fileHeader, ImageDibInfo *out);
// The colour-table entries of a 40-byte header: biClrUsed, else 2, 16 or 256
// for 1, 4 or 8 bits, else 0; and their bytes (4 each).
struct tagBITMAPINFOHEADER;
uint32_t ImageDibNumColors(const tagBITMAPINFOHEADER *header);
uint32_t ImageDibPaletteSize(const tagBITMAPINFOHEADER *header);
// 1 when the file holds a sound bitmap, with or without its file header.
int ImageCheckFile(const char *path);
// The header of a bitmap file with its "BM" file header (the file-open
// preview and the file information); 1 when the file is sound.
int ImageReadFileInfo(const char *path, ImageDibInfo *out);
// The whole of a file no larger than a bitmap can be; false when it cannot
// be read.
bool ImageReadFileBytes(const char *path, std::vector<uint8_t> *bytes);
