// Metafile export: the drawing (or the objects a mask selects) drawn by the
// normal object renderer into an enhanced metafile, to a file or to memory
// for the clipboard, with the grid when the output settings ask for it; the
// logical space and placeable header shared with the 16-bit Windows
// metafile (meta_export_wmf.cpp), and the writing of that file.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "app/window.h"
#include "app/window_progress.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "display/output.h"
#include "display/screen.h"
#include "files/file.h"
#include "files/meta.h"
#include "files/meta_internal.h"
#include "files/zvi.h"
#include "language/language.h"

namespace {

constexpr int32_t EMF_CLIP_MARGIN = 1000;
constexpr int TEXT_EXPORTING = 33;     // eDialogText: "Exporting %s"
constexpr int TEXT_EXPORT_PLAIN = 0;   // eDialogText without a file
constexpr int TEXT_OBJECT_OF = 3;      // eDialogText: object i of n
constexpr int TEXT_GRID = 37;
constexpr int TEXT_PAGE_FRAME = 44;

void OutputRectSize(double *dx, double *dy)
{
    const double *r = g_OutputContext.outputRect;
    *dx = std::fabs(r[2] - r[0]);
    *dy = std::fabs(r[3] - r[1]);
}

// While it lives, the renderer draws as on Windows 95/98: paths as single
// moves, lines and Beziers, and dashes cut by the program with solid pens.
// Metafiles are recorded so because not every writer keeps user-styled pens
// (Wine's EMF recorder drops their dash entries) and not every reader draws
// them, while cut dashes look the same everywhere.
struct ProgramDashing {
    ProgramDashing() : saved_(g_IsWin9x) { g_IsWin9x = 1; }
    ~ProgramDashing() { g_IsWin9x = saved_; }
    ProgramDashing(const ProgramDashing &) = delete;
    ProgramDashing &operator=(const ProgramDashing &) = delete;

private:
    uint32_t saved_;
};

// Draws the printable objects of the mask into a metafile device context, in
// list order, with the progress bar; 0 when the user cancelled.
int DrawObjects(HDC dc, uint32_t mask, int count)
{
    int i = 0;
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_DRAWING, mask, mask, 1); u; u = MemListNext(u)) {
        if (!(u->flags & UNIT_NOT_PRINTABLE)) {
            ++i;
            char text[PROGRESS_TEXT_SIZE];
            std::snprintf(text, sizeof text, eDialogText[TEXT_OBJECT_OF], i, count);
            WindowUpdateProgress(text, nullptr, i, count);
            OutputDrawObject(dc, u);
        }
        if (WindowIsCancelled())
            return 0;
    }
    return 1;
}

// Recorders differ in the header's device bounds (Wine's leaves them empty
// or covering a few pixels only), and a reader that sizes the picture by
// them then disagrees with one that reads the frame. The bounds are set to
// the frame in the reference device's pixels, so that both say the same
// size. The result, held in memory, replaces h; h itself when it could not
// be made.
HENHMETAFILE WithBoundsOfFrame(HENHMETAFILE h)
{
    const UINT size = GetEnhMetaFileBits(h, 0, nullptr);
    std::vector<uint8_t> bits(size);
    ENHMETAHEADER header;
    if (size < sizeof header || GetEnhMetaFileBits(h, size, bits.data()) != size)
        return h;
    std::memcpy(&header, bits.data(), sizeof header);
    const RECTL &f = header.rclFrame;
    if (header.szlMillimeters.cx <= 0 || header.szlMillimeters.cy <= 0)
        return h;
    const double px = double(header.szlDevice.cx) / header.szlMillimeters.cx / 100.0;
    const double py = double(header.szlDevice.cy) / header.szlMillimeters.cy / 100.0;
    auto pixel = [](double v) { return LONG(std::floor(v + 0.5)); };
    // Device bounds are inclusive: the last pixel is one before the frame's end.
    header.rclBounds.left = pixel(f.left * px);
    header.rclBounds.top = pixel(f.top * py);
    header.rclBounds.right = std::max(header.rclBounds.left, pixel(f.right * px) - 1);
    header.rclBounds.bottom = std::max(header.rclBounds.top, pixel(f.bottom * py) - 1);
    std::memcpy(bits.data(), &header, sizeof header);
    HENHMETAFILE memory = SetEnhMetaFileBits(size, bits.data());
    if (!memory)
        return h;
    DeleteEnhMetaFile(h);
    return memory;
}

} // namespace

void MetaExportProgressText(const char *path, char *out, size_t size)
{
    char name[ZVI_PATH_SIZE] = "";
    if (path && ZVI_FileSplitName(path, nullptr, name))
        std::snprintf(out, size, eDialogText[TEXT_EXPORTING], name);
    else
        std::snprintf(out, size, "%s", eDialogText[TEXT_EXPORT_PLAIN]);
}

void MetaSetMetafileContext(const MetaExtent &e, int32_t clipRange, int32_t margin)
{
    OutputContext &c = g_OutputContext;
    OutputUseWhiteBackground();
    c.zoom = c.widthZoom = e.scale;
    c.scale = c.widthScale = 1.0;
    c.window = OUTPUT_WINDOW_NONE;
    c.mode = OUTPUT_METAFILE;
    c.palette = nullptr;
    c.pageNumber = c.pageCount = 1;
    c.lastOfBatch = 0;
    c.depth = 0;
    c.passMask = PASS_ALL;
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, -c.outputRect[0], -c.outputRect[3]);
    MatrixScale(&m, e.scale, -e.scale);
    c.base = c.current = m;
    const int32_t r[4] = {-margin, -margin, clipRange + margin, clipRange + margin};
    for (int i = 0; i < 4; ++i) {
        c.pixelClipRect[i] = c.safePixelRect[i] = r[i];
        c.visibleRect[i] = c.noClipRect[i] = c.outputRect[i];
    }
}

int MetaPrintableCount(HWND owner, uint32_t mask)
{
    const int count = OutputGetRectangle(g_OutputContext.outputRect, mask);
    if (count < 1)
        AlertSM7(owner);
    return count;
}

MetaExtent MetaComputeExtent(double dx, double dy, double range, double scaleCap)
{
    MetaExtent e{};
    const double longer = std::fmax(dx, dy);
    e.scale = longer > 0.0 ? range / longer : range;
    if (scaleCap > 0.0 && !(e.scale <= scaleCap))
        e.scale = scaleCap;
    e.width = int32_t(std::floor(dx * e.scale + 0.5));
    e.height = int32_t(std::floor(dy * e.scale + 0.5));
    return e;
}

MetaPlaceableHeader MetaMakePlaceableHeader(const MetaExtent &e)
{
    MetaPlaceableHeader h{};
    h.key = META_PLACEABLE_KEY;
    h.right = int16_t(e.width);
    h.bottom = int16_t(e.height);
    h.inch = uint16_t(std::floor(e.scale * 25.4 + 0.5));
    uint16_t words[10];
    std::memcpy(words, &h, sizeof words);
    uint16_t sum = 0;
    for (uint16_t w : words)
        sum ^= w;
    h.checksum = sum;
    return h;
}

int MetaCalcEmfExtents(MetaExtent *extent, RECT *frame)
{
    double dx, dy;
    OutputRectSize(&dx, &dy);
    const int32_t range = g_Options.coordRangeEMF > 0 ? g_Options.coordRangeEMF : META_WMF_RANGE;
    *extent = MetaComputeExtent(dx, dy, range, 0.0);
    *frame = RECT{0, 0, LONG(std::floor(dx * 100.0 + 0.5)), LONG(std::floor(dy * 100.0 + 0.5))};
    MetaSetMetafileContext(*extent, range, EMF_CLIP_MARGIN);
    return 1;
}

HENHMETAFILE MetaCreateEmf(HWND owner, const char *path, uint32_t mask)
{
    const int count = MetaPrintableCount(owner, mask);
    if (count < 1)
        return nullptr;
    MetaExtent e;
    RECT frame;
    MetaCalcEmfExtents(&e, &frame);
    char text[PROGRESS_TEXT_SIZE];
    MetaExportProgressText(path, text, sizeof text);
    WindowShowProgress(eHeadlineText[META_TITLE_METAFILE], text, 1);

    HDC reference = GetDC(owner);
    // Recorded in memory: the file is written by the exporter, beside its
    // target, so that a failed write leaves the old file as it was.
    HDC dc = CreateEnhMetaFileA(reference, nullptr, &frame, nullptr);
    if (!dc) {
        ReleaseDC(owner, reference);
        WindowHideProgress();
        return nullptr;
    }
    const double px = double(GetDeviceCaps(reference, HORZRES)) / std::fmax(1, GetDeviceCaps(reference, HORZSIZE));
    const double py = double(GetDeviceCaps(reference, VERTRES)) / std::fmax(1, GetDeviceCaps(reference, VERTSIZE));
    double dx, dy;
    OutputRectSize(&dx, &dy);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, e.width, e.height, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetViewportExtEx(dc, int(std::floor(dx * px + 0.5)), int(std::floor(dy * py + 0.5)), nullptr);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));

    ProgramDashing dashing;
    if (g_DrawingSettings.outputFrame.on) {
        WindowUpdateProgress(eDialogText[TEXT_PAGE_FRAME], nullptr, 0, 1);
        OutputBeginDevicePage(dc, mask, 1);
    } else {
        OutputBeginDevicePage(dc, mask, 0);
    }
    int done = DrawObjects(dc, mask, count);
    if (done && g_DrawingSettings.outputGrid.on) {
        WindowUpdateProgress(eDialogText[TEXT_GRID], nullptr, 1, 1);
        ScreenDrawGridDevice(dc, g_ActiveWindow, mask);
        done = !WindowIsCancelled();
    }
    WindowHideProgress();
    HENHMETAFILE handle = CloseEnhMetaFile(dc);
    ReleaseDC(owner, reference);
    if (handle && done)
        handle = WithBoundsOfFrame(handle); // the exporter writes the file
    return MetaFinishRecording(owner, handle, done, DeleteEnhMetaFile);
}

int MetaExportEmf(HWND owner, const char *path, uint32_t mask)
{
    OutputContextKeeper keep;
    HENHMETAFILE h = MetaCreateEmf(owner, path, mask);
    if (!h)
        return 0;
    std::vector<uint8_t> bits(GetEnhMetaFileBits(h, 0, nullptr));
    const bool got = !bits.empty() && GetEnhMetaFileBits(h, UINT(bits.size()), bits.data()) == bits.size();
    DeleteEnhMetaFile(h);
    if (!got) {
        AlertNoDialog(owner);
        return 0;
    }
    return FileReplaceWithData(path, FILE_REPLACE_EXPORT, nullptr, 0, bits.data(), uint32_t(bits.size()));
}

int MetaWriteWmfFile(HWND owner, const char *path, uint32_t mask, int withHeader)
{
    OutputContextKeeper keep;
    MetaPlaceableHeader header;
    HMETAFILE h = MetaCreateWmf(owner, path, mask, &header);
    if (!h)
        return 0;
    const UINT size = GetMetaFileBitsEx(h, 0, nullptr);
    std::vector<uint8_t> bits;
    bits.resize(size);
    if (size == 0 || GetMetaFileBitsEx(h, size, bits.data()) != size) {
        DeleteMetaFile(h);
        AlertNoDialog(owner);
        return 0;
    }
    DeleteMetaFile(h);
    return FileReplaceWithData(path, FILE_REPLACE_EXPORT, &header, withHeader ? META_PLACEABLE_SIZE : 0, bits.data(),
                               size);
}
