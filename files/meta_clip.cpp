// Clipboard copy and paste: the selected objects go on the clipboard as an
// enhanced metafile and as the program's own drawing text; a paste takes the
// richest format there: the program's own, an enhanced metafile, a metafile
// picture, or a device-independent bitmap.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/init.h"
#include "database/object.h"
#include "database/object_select.h"
#include "database/object_transform.h"
#include "database/object_rects.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_index.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "display/output.h"
#include "files/file.h"
#include "files/image_list.h"
#include "files/image_names.h"
#include "files/meta_internal.h"
#include "files/meta.h"
#include "files/zvi.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

constexpr int ALERT_PASTE_NATIVE = 104; // eAlertTextSM
constexpr int ALERT_PASTE_DIB = 107;
constexpr uint32_t MAX_DIB_BITS = 0x7FFFFFFF;

void PasteFailed(HWND owner, int entry) { AlertOk(owner, eAlertTextSM[entry]); }

bool AnySelected()
{
    ListFilterKeeper keep;
    return MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1) != nullptr;
}

std::string ReadWholeFile(const char *path)
{
    std::vector<uint8_t> bytes;
    const char *problem;
    if (!MetaReadFileBytes(path, &bytes, META_FILE_MAX, &problem))
        return std::string();
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

int MetaDibFileHeader(const BITMAPINFOHEADER *dib, size_t size, BITMAPFILEHEADER *out, uint32_t *headerBytes,
                      uint32_t *bitsBytes)
{
    if (!dib || size < sizeof(BITMAPINFOHEADER) || dib->biSize < sizeof(BITMAPINFOHEADER) || dib->biSize > size)
        return 0;
    uint64_t entries = dib->biClrUsed;
    if (entries == 0 && dib->biBitCount <= 8)
        entries = uint64_t(1) << dib->biBitCount;
    uint64_t palette = entries * 4;
    if (dib->biCompression == BI_BITFIELDS && dib->biSize == sizeof(BITMAPINFOHEADER))
        palette += 12;
    uint64_t bits = dib->biSizeImage;
    if (bits == 0) {
        // Rows padded to whole 32-bit words; rows stored top-down count as well.
        const int64_t height = dib->biHeight < 0 ? -int64_t(dib->biHeight) : dib->biHeight;
        bits = ((uint64_t(uint32_t(dib->biWidth)) * dib->biBitCount + 31) / 32) * 4 * uint64_t(height);
    }
    const uint64_t header = dib->biSize + palette;
    if (bits > MAX_DIB_BITS || header + bits > size)
        return 0;
    *headerBytes = uint32_t(header);
    *bitsBytes = uint32_t(bits);
    *out = BITMAPFILEHEADER{};
    out->bfType = 0x4D42;
    out->bfSize = uint32_t(sizeof(BITMAPFILEHEADER) + header + bits);
    out->bfOffBits = uint32_t(sizeof(BITMAPFILEHEADER) + header);
    return 1;
}

HGLOBAL MetaGetNativeData(HWND, uint32_t mask)
{
    // The drawing writer copies the selected objects; with no selection
    // asked for (mask 0) it copies them all.
    return FileWriteDrawingMemory(mask & UNIT_SELECTED ? META_COPY_SECTIONS : META_COPY_SECTIONS & ~FILE_MODE_SELECTION);
}

int MetaCopyToClipboard(HWND owner, uint32_t mask)
{
    // Until the edit commands keep a selection of their own, a copy of the
    // selection with nothing selected copies the whole drawing.
    if ((mask & UNIT_SELECTED) && !AnySelected())
        mask &= ~UNIT_SELECTED;
    double rect[4];
    HENHMETAFILE metafile = nullptr;
    if (OutputGetRectangle(rect, mask) > 0) {
        OutputContextKeeper keep;
        metafile = MetaCreateEmf(owner, nullptr, mask);
        if (!metafile)
            return 0;
    }
    HGLOBAL native = MetaGetNativeData(owner, mask);
    if (!native) {
        if (metafile)
            DeleteEnhMetaFile(metafile);
        return 0;
    }
    bool ok = false;
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        bool stored = true;
        if (metafile) {
            stored = SetClipboardData(CF_ENHMETAFILE, metafile) != nullptr;
            if (!stored) {
                InitErrorBox(__FILE__, __LINE__, "SetClipBoardData( CF_ENHMETAFILE ) failure");
                DeleteEnhMetaFile(metafile);
            }
        }
        if (stored) {
            ok = SetClipboardData(g_ClipboardFormatZvd, native) != nullptr;
            if (!ok)
                InitErrorBox(__FILE__, __LINE__, "SetClipBoardData( CF_ZVD ) failure");
        }
        if (!ok)
            GlobalFree(native);
        CloseClipboard();
    } else {
        if (metafile)
            DeleteEnhMetaFile(metafile);
        GlobalFree(native);
    }
    if (!ok)
        AlertNoDialog(owner);
    return ok ? 1 : 0;
}

int MetaPasteNative(HWND owner)
{
    if (!OpenClipboard(owner)) {
        PasteFailed(owner, ALERT_PASTE_NATIVE);
        return 0;
    }
    HGLOBAL block = GetClipboardData(g_ClipboardFormatZvd);
    if (!block) {
        InitErrorBox(__FILE__, __LINE__, "GetClipboardData( CF_ZVD ) failure");
        CloseClipboard();
        PasteFailed(owner, ALERT_PASTE_NATIVE);
        return 0;
    }
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    // Only the pasted objects may carry the transform flag.
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        u->flags &= ~UNIT_TRANSFORM;
    UndoInitProcess();
    if (!FileReadDrawingMemory(block, META_PASTE_SECTIONS, 1)) {
        UndoCancelProcess();
        CloseClipboard();
        return 0;
    }
    SymbolRebuildOwnIndex();
    // Library blocks the pasted instances need are read now; own blocks that
    // came along but nothing uses any more go.
    SymbolLoadAllMissing();
    SymbolPurgeUnused(1);
    ObjectMarkByMask(LIST_DRAWING, UNIT_TRANSFORM);
    ObjectExtentsVisible(LIST_DRAWING, UNIT_TRANSFORM);
    std::memcpy(g_ChangedRect, g_ExtentsRect, sizeof g_ChangedRect);
    UndoFinishProcess();
    CloseClipboard();
    return 1;
}

int MetaPasteDib(HWND owner)
{
    if (!OpenClipboard(owner)) {
        PasteFailed(owner, ALERT_PASTE_DIB);
        return 0;
    }
    HGLOBAL block = GetClipboardData(CF_DIB);
    const void *dib = block ? GlobalLock(block) : nullptr;
    if (!dib) {
        InitErrorBox(__FILE__, __LINE__, block ? "GlobalLock() failure" : "GetClipboardData( CF_DIB ) failure");
        CloseClipboard();
        PasteFailed(owner, ALERT_PASTE_DIB);
        return 0;
    }
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    char path[MAX_PATH];
    ImageMakeTempName(path);
    BITMAPFILEHEADER header;
    uint32_t headerBytes = 0, bitsBytes = 0;
    const char *problem = nullptr;
    if (!MetaDibFileHeader(static_cast<const BITMAPINFOHEADER *>(dib), GlobalSize(block), &header, &headerBytes,
                           &bitsBytes)) {
        problem = "Unable to write to bitmap file header\n\"%s\"";
    } else {
        HANDLE file = nullptr;
        if (!ZVI_FileCreate(&file, path)) {
            problem = "Unable to create bitmap temporary file\n\"%s\"";
        } else {
            if (ZVI_FileWrite(file, &header, sizeof header) != int32_t(sizeof header))
                problem = "Unable to write to bitmap file header\n\"%s\"";
            else if (ZVI_FileWrite(file, dib, int32_t(headerBytes + bitsBytes)) != int32_t(headerBytes + bitsBytes))
                problem = "Unable to write to bitmap file data\n\"%s\"";
            if (!ZVI_FileClose(file) && !problem)
                problem = "Unable to close bitmap temporary file\n\"%s\"";
        }
    }
    GlobalUnlock(block);
    CloseClipboard();
    if (problem) {
        char text[MAX_PATH + 128];
        std::snprintf(text, sizeof text, problem, path);
        InitErrorBox(__FILE__, __LINE__, text);
        PasteFailed(owner, ALERT_PASTE_DIB);
        return 0;
    }
    // A name of its own for every paste, so the same bitmap pasted twice
    // gives two images.
    char name[IMAGE_UNIQUE_NAME_SIZE];
    ImageMakeUniqueName(name);
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    UndoInitProcess();
    // The embedded image keeps the file's bytes, so the drawing carries it
    // once the temporary file is gone.
    const std::string bmp = ReadWholeFile(path);
    int made = !bmp.empty() &&
               ImageStoreData(name, reinterpret_cast<const uint8_t *>(bmp.data()), uint32_t(bmp.size()));
    if (made)
        made = ObjectNewBitmapRef(0.0, 0.0, path, name, 1);
    ZVI_FileDelete(path);
    if (made)
        UndoFinishProcess();
    else
        UndoCancelProcess();
    return made;
}

int MetaPasteFromClipboard(HWND owner)
{
    if (g_ClipboardFormatZvd && IsClipboardFormatAvailable(g_ClipboardFormatZvd))
        return MetaPasteNative(owner);
    if (IsClipboardFormatAvailable(CF_ENHMETAFILE))
        return MetaImportEmf(owner, nullptr);
    if (IsClipboardFormatAvailable(CF_METAFILEPICT))
        return MetaImportWmf(owner, nullptr);
    if (IsClipboardFormatAvailable(CF_DIB))
        return MetaPasteDib(owner);
    return 0;
}
