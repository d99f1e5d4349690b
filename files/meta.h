// Windows metafiles and the clipboard: the drawing exported as WMF and EMF,
// WMF and EMF files and clipboard pictures imported as drawing objects, and
// copy and paste between running programs.
//
// The entry points the file and edit commands call:
//   MetaWriteWmfFile / MetaExportEmf   export to a named file
//   MetaImportWmf / MetaImportEmf      import from a named file (null: the
//                                      clipboard) in one undo step
//   MetaCopyToClipboard / MetaPasteFromClipboard
// Object masks select objects by their flags: objects whose flags hold every
// bit of the mask are taken; 0 takes all, UNIT_SELECTED the selected ones.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Export.

constexpr int32_t META_WMF_RANGE = 32000;        // logical units of the longer side
constexpr double META_WMF_SCALE_CAP = 2580.0;    // units per mm: units per inch stays below 65536
constexpr uint32_t META_PLACEABLE_KEY = 0x9AC6CDD7;
constexpr uint32_t META_PLACEABLE_SIZE = 22;
// Figures one PolyPolygon call of the WMF export takes; an area of more is
// drawn in batches of this many.
constexpr int32_t META_WMF_MAX_FIGURES = 10000;
// Style bits of the output marks the WMF export draws.
constexpr int32_t META_MARK_PLUS = 0x1;
constexpr int32_t META_MARK_CROSS = 0x2;
constexpr int32_t META_MARK_CIRCLE = 0x4;

#pragma pack(push, 2)
struct MetaPlaceableHeader {
    uint32_t key;
    uint16_t handle;
    int16_t left, top, right, bottom;
    uint16_t inch;
    uint32_t reserved;
    uint16_t checksum;
};
#pragma pack(pop)
static_assert(sizeof(MetaPlaceableHeader) == META_PLACEABLE_SIZE);
static_assert(offsetof(MetaPlaceableHeader, right) == 10);
static_assert(offsetof(MetaPlaceableHeader, inch) == 14);
static_assert(offsetof(MetaPlaceableHeader, checksum) == 20);

// The logical space of an export of dx x dy millimetres spanning `range`
// units on its longer side.
struct MetaExtent {
    double scale;    // logical units per millimetre
    int32_t width;   // W
    int32_t height;  // H
};
MetaExtent MetaComputeExtent(double dx, double dy, double range, double scaleCap);
// The placeable header of a WMF of that extent, checksum included.
MetaPlaceableHeader MetaMakePlaceableHeader(const MetaExtent &extent);

int MetaWriteWmfFile(HWND owner, const char *path, uint32_t mask, int withHeader);
HMETAFILE MetaCreateWmf(HWND owner, const char *path, uint32_t mask, MetaPlaceableHeader *header);
HENHMETAFILE MetaCreateEmf(HWND owner, const char *path, uint32_t mask);
int MetaExportEmf(HWND owner, const char *path, uint32_t mask);
// Set the output context for a metafile of the output rectangle already in
// g_OutputContext.outputRect and give its logical extent (and the EMF's
// picture frame in 0.01 mm).
int MetaCalcExtents(MetaExtent *extent);
int MetaCalcEmfExtents(MetaExtent *extent, RECT *frame);

// ---------------------------------------------------------------------------
// Import. Every import is one undo step; its objects carry UNIT_TRANSFORM and
// are moved so that the centre of their extents lies at the origin, which
// leaves their extents in g_ChangedRect. A metafile that cannot be opened or
// played is reported (alert 105 for WMF, 106 for EMF) and gives 0 with
// nothing kept.

constexpr int32_t META_TEXT_MAX = 8000;          // characters of one imported text
constexpr double META_WIDTH_MAX = 100.0;         // mm, widest imported line
constexpr double META_DEFAULT_PICTURE = 128.0;   // mm, when a metafile gives no size
constexpr uint32_t META_FILE_MAX = 0x10000000;   // bytes: larger metafiles are refused

int MetaCheckWmfFile(const char *path);
int MetaImportWmf(HWND owner, const char *path);
int MetaCheckEmfFile(const char *path);
int MetaImportEmf(HWND owner, const char *path);

// The players behind them, on metafile bytes in memory: a WMF (with or
// without the placeable header; pictureMm gives the size of a bare one, null
// for the default) and an EMF. 1 imported, 0 refused or failed (reported).
int MetaImportWmfBits(HWND owner, const uint8_t *bytes, size_t size, const double *pictureMm);
int MetaImportEmfBits(HWND owner, const uint8_t *bytes, size_t size);

// ---------------------------------------------------------------------------
// Clipboard.

constexpr uint32_t META_COPY_SECTIONS = 0x20300001;  // drawing info, blocks, objects, selection only
constexpr uint32_t META_PASTE_SECTIONS = 0x40300000; // blocks, objects, merged

// The objects of the mask as an enhanced metafile and as drawing text; with
// UNIT_SELECTED in the mask and no object selected, the whole drawing.
int MetaCopyToClipboard(HWND owner, uint32_t mask);
HGLOBAL MetaGetNativeData(HWND owner, uint32_t mask);
int MetaPasteFromClipboard(HWND owner);
int MetaPasteNative(HWND owner);
int MetaPasteDib(HWND owner);

// The BMP file of a packed DIB: the 14-byte file header and the sizes of the
// header with its colour table (H + P) and of the bits (S). 0 when the DIB
// header is unusable or larger than `size`.
int MetaDibFileHeader(const BITMAPINFOHEADER *dib, size_t size, BITMAPFILEHEADER *out, uint32_t *headerBytes,
                      uint32_t *bitsBytes);
