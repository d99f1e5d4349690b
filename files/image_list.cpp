#include "files/image_list.h"

#include <cstring>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <new>
#include <utility>

#include "app/system.h"
#include "app/window_progress.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/unit.h"
#include "files/file.h"
#include "files/file_records.h"
#include "files/image_file.h"
#include "files/image_names.h"
#include "files/zvi.h"
#include "geometry/frame.h"
#include "language/language.h"
#include "language/language_entries.h"

BitmapList g_BitmapList = {0, 0, nullptr};

namespace {

// One block for BitmapCount entries, taken at start-up: entries stay in
// place while others are added (callers hold an entry while they draw it).
std::unique_ptr<BitmapEntry[]> s_Block;
int32_t s_Capacity = 0;

BitmapEntry *Begin() { return s_Block.get(); }
BitmapEntry *End() { return s_Block.get() + g_BitmapList.count; }

bool EnsureList() { return s_Block || ImageInitBitmapList(); }

// Releases the entry and moves the later ones down.
void Erase(BitmapEntry *e)
{
    ImageDeleteObjects(e);
    for (BitmapEntry *next = e + 1; next < End(); ++e, ++next)
        *e = std::move(*next);
    *e = BitmapEntry{};
    --g_BitmapList.count;
}

uint32_t Get32(const uint8_t *p) { return uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24; }
void Put32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
void Put16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

BitmapEntry *Find(const char *name)
{
    for (BitmapEntry *e = Begin(); e < End(); ++e)
        if (lstrcmpiA(e->name, name) == 0)
            return e;
    return nullptr;
}

void DropWhere(bool (*drop)(const BitmapEntry &, const char *), const char *name)
{
    for (BitmapEntry *e = Begin(); e < End();) {
        if (drop(*e, name))
            Erase(e);
        else
            ++e;
    }
}

int ScreenBitsPerPixel()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    const int bits = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

BitmapEntry *Add(const char *name, const uint8_t *bytes, size_t size, uint32_t embedded)
{
    if (!EnsureList() || g_BitmapList.count >= s_Capacity)
        return nullptr;
    BitmapEntry e{};
    if (!ImageDecodeDib(bytes, size, &e))
        return nullptr;
    lstrcpynA(e.name, name, sizeof e.name);
    e.embedded = embedded;
    e.palette = ImageChoosePalette(&e, ScreenBitsPerPixel());
    BitmapEntry *slot = End();
    *slot = std::move(e);
    ++g_BitmapList.count;
    return slot;
}

// A linked file made into an entry, its progress shown.
BitmapEntry *AddFromFile(const char *name)
{
    char shortName[MAX_PATH] = "", text[PROGRESS_TEXT_SIZE];
    ZVI_FileShortName(name, shortName);
    std::snprintf(text, sizeof text, LANG_FORMAT(eDialogText, PreparingBitmap, "%s"), shortName);
    WindowShowProgress(LANG(eHeadlineText, BitmapHeadline), text, 1);
    WindowUpdateProgress(nullptr, LANG(eDialogText, ReadingPixels), 0, 1);
    std::vector<uint8_t> bytes;
    BitmapEntry *e = nullptr;
    if (ImageReadFileBytes(name, &bytes)) {
        WindowUpdateProgress(nullptr, LANG(eDialogText, ReadingPixels), 1, 1);
        e = Add(name, bytes.data(), bytes.size(), 0);
    }
    WindowHideProgress();
    return e;
}

} // namespace

int ImageInitBitmapList()
{
    ImageFreeBitmaps(1);
    s_Block.reset();
    s_Capacity = 0;
    g_BitmapList = {0, 0, nullptr};
    int32_t wanted = g_Options.bitmapCount > 0 ? g_Options.bitmapCount : BITMAP_COUNT_DEFAULT;
    s_Block.reset(new (std::nothrow) BitmapEntry[size_t(wanted)]());
    if (!s_Block && wanted != BITMAP_COUNT_DEFAULT) {
        wanted = BITMAP_COUNT_DEFAULT;
        s_Block.reset(new (std::nothrow) BitmapEntry[size_t(wanted)]());
        if (s_Block)
            g_Options.bitmapCount = wanted;
    }
    if (!s_Block)
        return 0;
    s_Capacity = wanted;
    g_BitmapList.entries = s_Block.get();
    return 1;
}

HPALETTE ImageCreateDibPalette(const BITMAPINFOHEADER *header)
{
    if (!header || header->biSize != IMAGE_INFO_HEADER_SIZE)
        return nullptr;
    const uint32_t colors = ImageDibNumColors(header);
    if (!colors || colors > 256)
        return nullptr;
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } palette{0x300, WORD(colors), {}};
    const auto *table = reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const uint8_t *>(header) + header->biSize);
    for (uint32_t i = 0; i < colors; ++i)
        palette.entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    return CreatePalette(reinterpret_cast<const LOGPALETTE *>(&palette));
}

HPALETTE ImageChoosePalette(const BitmapEntry *e, int screenBitsPerPixel)
{
    constexpr int TRUE_COLOUR_BITS = 15;
    if (!e || e->dib.size() < IMAGE_INFO_HEADER_SIZE)
        return nullptr;
    if (e->bitsPerPixel > 1 && e->bitsPerPixel <= 8)
        return ImageCreateDibPalette(reinterpret_cast<const BITMAPINFOHEADER *>(e->dib.data()));
    if (e->bitsPerPixel != 24 || screenBitsPerPixel >= TRUE_COLOUR_BITS)
        return nullptr;
    HDC screen = GetDC(nullptr);
    HPALETTE halftone = screen ? CreateHalftonePalette(screen) : nullptr;
    if (screen)
        ReleaseDC(nullptr, screen);
    return halftone;
}

int ImageDecodeDib(const uint8_t *bytes, size_t size, BitmapEntry *out)
{
    if (!bytes || !out)
        return 0;
    const bool fileHeader = size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    ImageDibInfo info{};
    if (ImageValidateDib(bytes, size, fileHeader, &info) != IMAGE_DIB_OK)
        return 0;
    const uint8_t *h = bytes + (fileHeader ? IMAGE_FILE_HEADER_SIZE : 0);
    const bool masks = !info.core && info.compression == 3;
    const uint32_t tableBytes = info.colors * 4 + (masks ? 12 : 0);
    std::vector<uint8_t> dib(IMAGE_INFO_HEADER_SIZE + tableBytes + info.pixelBytes);
    uint8_t *o = dib.data();
    const int32_t rows = info.height < 0 ? -info.height : info.height;
    Put32(o, IMAGE_INFO_HEADER_SIZE);
    Put32(o + 4, uint32_t(info.width));
    Put32(o + 8, uint32_t(rows));
    Put16(o + 12, 1);
    Put16(o + 14, info.bitCount);
    Put32(o + 16, info.compression);
    Put32(o + 20, info.pixelBytes);
    const uint32_t ppmX = info.core ? 0 : Get32(h + 24), ppmY = info.core ? 0 : Get32(h + 28);
    Put32(o + 24, ppmX);
    Put32(o + 28, ppmY);
    Put32(o + 32, info.colors);
    // The colour table: 3-byte core entries widened to 4 bytes; masks kept.
    uint8_t *table = o + IMAGE_INFO_HEADER_SIZE;
    if (masks)
        std::memcpy(table, h + info.colorOffset, 12);
    uint8_t *colors = table + (masks ? 12 : 0);
    for (uint32_t i = 0; i < info.colors; ++i) {
        const uint8_t *c = h + info.colorOffset + (masks ? 12 : 0) + i * (info.core ? 3 : 4);
        colors[4 * i] = c[0];
        colors[4 * i + 1] = c[1];
        colors[4 * i + 2] = c[2];
    }
    // Pixel rows bottom-up: a top-down image (never compressed) is turned.
    uint8_t *pixels = table + tableBytes;
    const uint8_t *source = h + info.pixelOffset;
    if (info.height < 0) {
        const uint32_t stride = (uint32_t(info.bitCount) * uint32_t(info.width) + 31) / 32 * 4;
        for (int32_t r = 0; r < rows; ++r)
            std::memcpy(pixels + size_t(r) * stride, source + size_t(rows - 1 - r) * stride, stride);
    } else {
        std::memcpy(pixels, source, info.pixelBytes);
    }
    out->dib = std::move(dib);
    out->bitsSize = info.pixelBytes;
    out->colorsUsed = info.colors;
    out->bitsPerPixel = info.bitCount;
    out->width = info.width;
    out->height = rows;
    const bool noResolution = ppmX == 0 || ppmY == 0;
    out->pixelsPerMmX = noResolution ? IMAGE_DEFAULT_PIXELS_PER_MM : ppmX / 1000.0;
    out->pixelsPerMmY = noResolution ? IMAGE_DEFAULT_PIXELS_PER_MM : ppmY / 1000.0;
    out->foreColor = RGB(0, 0, 0);
    out->backColor = RGB(255, 255, 255);
    if (info.bitCount == 1 && info.colors >= 2) {
        out->foreColor = RGB(colors[2], colors[1], colors[0]);
        out->backColor = RGB(colors[6], colors[5], colors[4]);
    }
    return 1;
}

void ImageSearchFile(char *path, int size)
{
    if (!path || !path[0] || path[0] == IMAGE_EMBEDDED_PREFIX[0] || ZVI_FileExist(path))
        return;
    char leaf[ZVI_PATH_SIZE];
    if (!ZVI_FileSplitName(path, nullptr, leaf) || !leaf[0])
        return;
    // The remembered bitmap folders first, then the drawing folders.
    for (int purpose : {FD_BMP, FD_ZVD})
        for (const char *folder : g_Options.fileDialogs[purpose].folders) {
            if (!folder[0])
                continue;
            char candidate[ZVI_PATH_SIZE];
            const size_t n = std::strlen(folder);
            const bool slash = n && (folder[n - 1] == '\\' || folder[n - 1] == '/');
            if (std::snprintf(candidate, sizeof candidate, "%s%s%s", folder, slash ? "" : "\\", leaf) >=
                int(sizeof candidate))
                continue;
            if (ZVI_FileExist(candidate)) {
                lstrcpynA(path, candidate, size);
                return;
            }
        }
}

namespace {

// The entry a name stands for, also when a linked file moved: then the name
// where it was found; name receives that name.
BitmapEntry *Lookup(const char *requested, char (&name)[BITMAP_ENTRY_NAME_SIZE])
{
    lstrcpynA(name, requested, sizeof name);
    if (BitmapEntry *e = Find(requested))
        return e;
    ImageSearchFile(name, sizeof name);
    return lstrcmpiA(name, requested) ? Find(name) : nullptr;
}

} // namespace

BitmapEntry *ImageFindBitmap(const char *requested, int load)
{
    if (!requested || !requested[0])
        return nullptr;
    // A linked file that moved is kept under the name where it was found.
    char name[BITMAP_ENTRY_NAME_SIZE];
    if (BitmapEntry *e = Lookup(requested, name))
        return e;
    if (!EnsureList() || g_BitmapList.count >= s_Capacity)
        return nullptr;
    if (name[0] == IMAGE_EMBEDDED_PREFIX[0]) {
        const ImageData *d = ImageFindData(name);
        return d ? Add(name, d->bytes, d->size, 1) : nullptr;
    }
    return load && ZVI_FileExist(name) ? AddFromFile(name) : nullptr;
}

BitmapEntry *ImageEntryAt(int32_t index)
{
    return index >= 0 && index < g_BitmapList.count ? &s_Block[size_t(index)] : nullptr;
}

int ImageRemoveEntry(int32_t index)
{
    BitmapEntry *e = ImageEntryAt(index);
    if (!e)
        return 0;
    Erase(e);
    return 1;
}

const char *ImageNameOf(Unit *u)
{
    if (!u || u->kind != UNIT_KIND_OBJECT || u->object.type != OBJTYPE_BITMAP)
        return nullptr;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE; e = ElementNext(e))
        if (e->kind == ELEM_BITMAP_REF)
            return static_cast<BitmapRefData *>(ElementPayload(e))->name;
    return nullptr;
}

namespace {

// Every Bitmap object of the drawing, of the own blocks and of the library
// blocks, alive or not.
template <class F> void ForEachBitmapObject(F f)
{
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (const char *name = ImageNameOf(u))
            f(u, name);
    auto blocks = [&](int list) {
        for (Unit *b = g_ObjectLists[list].head; b; b = b->next)
            if (b->kind == UNIT_KIND_BLOCK)
                for (Unit *m = b->block.firstMember; m; m = m->next)
                    if (const char *name = ImageNameOf(m))
                        f(m, name);
    };
    blocks(LIST_OWN_BLOCKS);
    for (int slot = 0; slot < SYMBOL_LIBRARY_SLOTS; ++slot)
        blocks(LIST_SYMBOL_LIBRARY_FIRST + slot);
}

} // namespace

void ImagePurgeUnused()
{
    std::vector<char> keep(size_t(g_BitmapList.count), 0);
    ForEachBitmapObject([&](Unit *, const char *requested) {
        char name[BITMAP_ENTRY_NAME_SIZE];
        if (const BitmapEntry *e = Lookup(requested, name))
            keep[size_t(e - Begin())] = 1;
    });
    // The kept ones move down in order.
    for (int32_t i = int32_t(keep.size()) - 1; i >= 0; --i)
        if (!keep[size_t(i)])
            Erase(Begin() + i);
    ForEachBitmapObject([](Unit *u, const char *name) {
        ImageFindBitmap(name, 1);
        FrameCalcObject(u, 0);
    });
}

int32_t ImageMarkUsed(uint32_t sections, std::vector<char> *flags)
{
    flags->assign(size_t(ImageDataCount()), 0);
    int32_t marked = 0;
    auto mark = [&](Unit *u) {
        const char *name = ImageNameOf(u);
        for (int32_t i = 0; name && i < ImageDataCount(); ++i)
            if (!(*flags)[size_t(i)] && std::strcmp(ImageDataAt(i)->name, name) == 0) {
                (*flags)[size_t(i)] = 1;
                ++marked;
            }
    };
    ListFilterKeeper keep;
    // Every own block, as the BLOCK section writes them all: a block written
    // without its image would lose it.
    if (sections & FILE_SECTION_BLOCK)
        for (Unit *b = g_ObjectLists[LIST_OWN_BLOCKS].head; b; b = b->next)
            if (b->kind == UNIT_KIND_BLOCK)
                for (Unit *m = b->block.firstMember; m; m = m->next)
                    mark(m);
    if (sections & FILE_SECTION_OBJECT) {
        const uint32_t selected = (sections & FILE_MODE_SELECTION) ? UNIT_SELECTED : 0;
        for (Unit *u = MemListFirst(LIST_DRAWING, selected, selected, 1); u; u = MemListNext(u))
            mark(u);
    }
    return marked;
}

void ImageFreeBitmaps(int all)
{
    // Embedded images are decoded again from their stored bytes when next drawn.
    if (all)
        DropWhere([](const BitmapEntry &, const char *) { return true; }, nullptr);
    else
        DropWhere([](const BitmapEntry &e, const char *) { return e.embedded == 0; }, nullptr);
}

int ImageSizeMm(const char *name, double *width, double *height)
{
    const BitmapEntry *e = ImageFindBitmap(name, 1);
    if (!e)
        return 0;
    *width = e->width / e->pixelsPerMmX;
    *height = e->height / e->pixelsPerMmY;
    return 1;
}

int ImagePlacedCorners(const BitmapRefData *ref, int load, double corners[4][2])
{
    const BitmapEntry *e = ImageFindBitmap(ref->name, load);
    if (!e || e->width <= 0 || e->height <= 0 || !(e->pixelsPerMmX > 0.0) || !(e->pixelsPerMmY > 0.0))
        return 0;
    const double w = e->width / e->pixelsPerMmX, h = e->height / e->pixelsPerMmY;
    const Matrix &m = ref->placement;
    const double along[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    for (int i = 0; i < 4; ++i) {
        corners[i][0] = m.tx + along[i][0] * m.a + along[i][1] * m.c;
        corners[i][1] = m.ty + along[i][0] * m.b + along[i][1] * m.d;
    }
    return 1;
}

namespace {

// A 1-bit image becomes a monochrome copy whose bits are its pixel values:
// its colour table is read as black and white, whatever colours it holds.
HBITMAP MonochromeCopy(HDC screen, const BitmapEntry &e)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    std::memcpy(&info.header, e.dib.data(), sizeof info.header);
    info.header.biClrUsed = 2;
    info.header.biClrImportant = 0;
    info.colors[1] = RGBQUAD{255, 255, 255, 0};
    HBITMAP copy = CreateBitmap(e.width, e.height, 1, 1, nullptr);
    const void *pixels = e.dib.data() + e.dib.size() - e.bitsSize;
    if (copy && !SetDIBits(screen, copy, 0, UINT(e.height), pixels, reinterpret_cast<BITMAPINFO *>(&info),
                           DIB_RGB_COLORS)) {
        DeleteObject(copy);
        copy = nullptr;
    }
    return copy;
}

HBITMAP ColourCopy(HDC screen, const BitmapEntry &e)
{
    HBITMAP copy = CreateCompatibleBitmap(screen, e.width, e.height);
    const void *pixels = e.dib.data() + e.dib.size() - e.bitsSize;
    if (copy && !SetDIBits(screen, copy, 0, UINT(e.height), pixels, reinterpret_cast<const BITMAPINFO *>(e.dib.data()),
                           DIB_RGB_COLORS)) {
        DeleteObject(copy);
        copy = nullptr;
    }
    return copy;
}

} // namespace

HBITMAP ImageDeviceBitmap(BitmapEntry *e)
{
    if (!e || e->deviceBitmap || !g_Options.outputRotatedBitmap)
        return e ? e->deviceBitmap : nullptr;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    const bool mono = e->bitsPerPixel == 1;
    e->deviceBitmap = mono ? MonochromeCopy(screen, *e) : ColourCopy(screen, *e);
    e->screenBitsPerPixel =
        e->deviceBitmap && !mono ? uint32_t(GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL)) : 0;
    ReleaseDC(nullptr, screen);
    return e->deviceBitmap;
}

int ImageDeleteObjects(BitmapEntry *e)
{
    if (!e || (!e->deviceBitmap && !e->palette))
        return 0;
    if (e->deviceBitmap)
        DeleteObject(e->deviceBitmap);
    if (e->palette)
        DeleteObject(e->palette);
    e->deviceBitmap = nullptr;
    e->palette = nullptr;
    e->screenBitsPerPixel = 0;
    return 1;
}

uint32_t ImageBytesInUse()
{
    uint32_t total = 0;
    for (const BitmapEntry *e = Begin(); e < End(); ++e)
        total += uint32_t(e->dib.size());
    return total;
}

namespace {
std::vector<ImageData> s_ImageData;

bool SameName(const BitmapEntry &e, const char *name)
{
    return lstrcmpiA(e.name, name) == 0;
}
} // namespace

int ImageStoreData(const char *name, const uint8_t *bytes, uint32_t size)
{
    if (!name || !name[0] || std::strlen(name) >= sizeof(ImageData::name) || (!bytes && size))
        return 0;
    uint8_t *copy = static_cast<uint8_t *>(HeapAlloc(GetProcessHeap(), 0, size ? size : 1));
    if (!copy)
        return 0;
    if (size)
        std::memcpy(copy, bytes, size);
    DropWhere(SameName, name); // decoded again from the new bytes
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
    DropWhere([](const BitmapEntry &e, const char *) { return e.embedded != 0; }, nullptr);
}
