// The bitmap list: every image in use, decoded once into a device-independent
// bitmap ready for output, found by its name (an embedded "#B ..." name or the
// path of a linked .BMP file, compared without regard to case).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Entries of the list when the option BitmapCount is unusable or its block
// cannot be had.
constexpr int32_t BITMAP_COUNT_DEFAULT = 50;
constexpr int BITMAP_ENTRY_NAME_SIZE = 260;
// Resolution of an image whose header gives none: 300 dots per inch.
constexpr double IMAGE_DEFAULT_PIXELS_PER_MM = 11.811023622048;

// One loaded image. `dib` holds a 40-byte header, the colour table (or the
// three BITFIELDS masks) and the pixel rows bottom-up, whatever the file had.
struct BitmapEntry {
    char name[BITMAP_ENTRY_NAME_SIZE];
    uint32_t bitsSize;  // bytes of the pixel rows
    std::vector<uint8_t> dib;
    uint32_t colorsUsed;
    uint32_t bitsPerPixel;
    int32_t width;
    int32_t height;
    double pixelsPerMmX;
    double pixelsPerMmY;
    COLORREF foreColor; // 1-bit images: colour table entries 0 and 1
    COLORREF backColor;
    uint32_t embedded;
    // A device copy for turned output, made on the first turned draw while
    // the option `outputRotatedBitmap` is on and kept until the entry is
    // released: monochrome for 1-bit images (drawn in the text and
    // background colours of the target), else compatible with the screen.
    HBITMAP deviceBitmap;
    uint32_t screenBitsPerPixel; // of the screen the colour copy was made for; 0 otherwise
    // Selected and realised wherever the image is drawn: the DIB's own colours
    // for 4 and 8 bits, a halftone palette for 24 bits on a palette screen.
    HPALETTE palette;
};

struct BitmapList {
    int32_t count;
    int32_t reserved;
    BitmapEntry *entries; // count entries used, room for BitmapCount
};
extern BitmapList g_BitmapList;

// Start-up: room for BitmapCount entries; when that cannot be had, for
// BITMAP_COUNT_DEFAULT (and the option becomes that). 0 when even those
// cannot be had. The list is empty afterwards.
int ImageInitBitmapList();

// The logical palette of a DIB with a 40-byte header and a colour table (one
// entry per colour), or null.
HPALETTE ImageCreateDibPalette(const BITMAPINFOHEADER *header);
// The palette an entry is drawn with on a screen of that many bits per pixel.
HPALETTE ImageChoosePalette(const BitmapEntry *entry, int screenBitsPerPixel);

// The device copy of the entry, made when missing; null when the option
// `outputRotatedBitmap` is off or the copy cannot be made.
HBITMAP ImageDeviceBitmap(BitmapEntry *entry);
// Releases the entry's device copy and palette; 1 when there was one.
int ImageDeleteObjects(BitmapEntry *entry);

// The image bytes of all loaded bitmaps (the memory display adds them).
uint32_t ImageBytesInUse();

// Decodes a bitmap held in memory (with or without its "BM" file header)
// into an entry; 1 or 0 for bytes that are no sound bitmap.
int ImageDecodeDib(const uint8_t *bytes, size_t size, BitmapEntry *out);
// The entry of that name, or null. Embedded images are decoded from their
// stored bytes; a linked file is read only with load.
BitmapEntry *ImageFindBitmap(const char *name, int load);
// The entries in load order (the plug-in interface counts them): the one at
// index, or null; removing one moves the later ones up. 1 or 0.
BitmapEntry *ImageEntryAt(int32_t index);
int ImageRemoveEntry(int32_t index);
// A linked file that is not where its name says is looked for by its file
// name in the remembered bitmap folders, then the drawing folders; the
// first one found replaces path. Embedded names and existing files stay.
void ImageSearchFile(char *path, int size);
// all = 1 empties the list; 0 drops only the linked images.
void ImageFreeBitmaps(int all);
// Keeps only the images that Bitmap objects of the drawing, of its own
// blocks or of the library blocks name (alive or not), then has every such
// object find its image again (loading a linked file) and its frame redone.
void ImagePurgeUnused();
// The image name of a Bitmap object; null for any other unit.
struct Unit;
const char *ImageNameOf(Unit *unit);
// Per stored embedded bitmap (ImageDataAt), whether the BITMAP section must
// write it: named by a member of an own block (FILE_SECTION_BLOCK) or
// by an alive drawing object (FILE_SECTION_OBJECT; only the selected ones
// with FILE_MODE_SELECTION). Returns the number marked.
int32_t ImageMarkUsed(uint32_t sections, std::vector<char> *flags);
// The size of the named image in millimetres; 0 when it is not available.
int ImageSizeMm(const char *name, double *width, double *height);
// The four corners of a placed image (origin, along its width, opposite,
// along its height) from its placement matrix and the size of its image;
// 0 when the image is not in the list (a linked file is read only with
// load) or holds no pixels.
struct BitmapRefData;
int ImagePlacedCorners(const BitmapRefData *ref, int load, double corners[4][2]);

// Embedded bitmaps as the drawing file carries them: a name and the bytes of
// a complete .BMP file. Kept whole so that a drawing is written back as it
// was read; the list above decodes them for output.
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
