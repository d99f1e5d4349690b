// The bitmap list: the fields the drawing database relies on. The full entry
// layout belongs to the bitmap module (image.cpp).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

constexpr uint32_t BITMAP_ENTRY_SIZE = 336;

struct BitmapEntry {
    uint8_t head[296];
    uint32_t imageBytes;   // byte size of the entry's image data
    uint8_t middle[20];
    COLORREF colorWord2;   // copied into colour 2 of a new Bitmap object
    COLORREF colorWord1;   // copied into colour 1
    uint8_t tail[8];
};
static_assert(sizeof(BitmapEntry) == BITMAP_ENTRY_SIZE);
static_assert(offsetof(BitmapEntry, imageBytes) == 296);
static_assert(offsetof(BitmapEntry, colorWord2) == 320);
static_assert(offsetof(BitmapEntry, colorWord1) == 324);

struct BitmapList {
    int32_t count;
    int32_t reserved;
    BitmapEntry *entries; // count entries
};
extern BitmapList g_BitmapList;

// The image bytes of all loaded bitmaps (the memory display adds them).
uint32_t ImageBytesInUse();

// Embedded bitmaps as the drawing file carries them: a name and the bytes of
// a complete .BMP file. Kept whole so that a drawing is written back as it
// was read; showing them is the bitmap module's work.
constexpr uint32_t IMAGE_DATA_MAX_COUNT = 1001;
struct ImageData {
    char name[256];
    uint8_t *bytes; // size bytes from the process heap
    uint32_t size;
};
// Stores a copy under the name, replacing one of the same name; 1 or 0.
int ImageStoreData(const char *name, const uint8_t *bytes, uint32_t size);
// The stored bitmap of that name, or 0.
const ImageData *ImageFindData(const char *name);
int32_t ImageDataCount();
const ImageData *ImageDataAt(int32_t index);
void ImageClearData();
