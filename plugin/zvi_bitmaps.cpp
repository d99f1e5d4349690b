// The bitmap list as plug-ins see it: entries by index in load order, a
// bitmap file read in as an embedded image, an entry written out as a .BMP
// file, and entries removed.
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "dialogs/alert.h"
#include "files/file.h"
#include "files/image_file.h"
#include "files/image_list.h"
#include "files/image_names.h"
#include "files/zvi.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

// The highest number tried for a unique name before the read gives up.
constexpr int UNIQUE_NAME_TRIES = 10000;

bool NameTaken(const char *name) { return ImageFindData(name) || ImageFindBitmap(name, 0); }

// An embedded name no bitmap has yet, made from the file's name, that fits
// a plug-in's name buffer with room for a number behind it.
bool MakeUniqueName(const char *fileName, char (&name)[ZVI_TEXT_SIZE])
{
    constexpr int NUMBER_ROOM = 8; // " (9999)"
    char base[ZVI_TEXT_SIZE - NUMBER_ROOM];
    char leaf[ZVI_PATH_SIZE] = "";
    ZVI_FileSplitName(fileName, nullptr, leaf);
    ZviCopyText(base, leaf[0] ? leaf : fileName, sizeof base);
    ImageMakeEmbeddedName(base, sizeof base);
    ZviCopyText(name, base, sizeof name);
    for (int n = 2; NameTaken(name); ++n) {
        if (n > UNIQUE_NAME_TRIES)
            return false;
        std::snprintf(name, sizeof name, "%s (%d)", base, n);
    }
    return true;
}

// Writes the file header and the entry's DIB; 1, or 0 after the file-error
// alert (the file is closed either way).
int WriteBmp(const BitmapEntry &entry, const char *fileName)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!ZVI_FileCreate(&file, fileName)) {
        AlertFileError(g_MainWnd, fileName, FILE_ALERT_CANNOT_CREATE);
        return 0;
    }
    // The DIB is the 40-byte header, the colour table (and masks) and the
    // pixel rows, so the rows begin behind everything else it holds.
    const uint32_t dibSize = uint32_t(entry.dib.size());
    const uint32_t fileSize = IMAGE_FILE_HEADER_SIZE + dibSize;
    const uint32_t bitsOffset = fileSize - entry.bitsSize;
    uint8_t header[IMAGE_FILE_HEADER_SIZE] = {'B', 'M'};
    std::memcpy(header + 2, &fileSize, 4);
    std::memcpy(header + 10, &bitsOffset, 4);
    const bool written = ZVI_FileWrite(file, header, sizeof header) == int32_t(sizeof header) &&
                         ZVI_FileWrite(file, entry.dib.data(), int32_t(dibSize)) == int32_t(dibSize);
    const bool closed = ZVI_FileClose(file) != 0;
    if (!written || !closed) {
        AlertFileError(g_MainWnd, fileName, FILE_ALERT_CANNOT_WRITE);
        return 0;
    }
    return 1;
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_BitmapGetNumber() { return g_BitmapList.count; }

int ZVI_CALL ZVI_BitmapGetName(int, int index, char *name)
{
    if (!ZviWritable(name, ZVI_TEXT_SIZE))
        return ZVI_REFUSE("BitmapName address invalid!");
    const BitmapEntry *entry = ImageEntryAt(index);
    if (!entry)
        return ZVI_REFUSE("BitmapIndex out of range!");
    // A cut name would name another bitmap or none.
    if (std::strlen(entry->name) >= (size_t)ZVI_TEXT_SIZE)
        return ZVI_REFUSE("BitmapName too long!");
    ZviCopyText(name, entry->name, ZVI_TEXT_SIZE);
    return 1;
}

int ZVI_CALL ZVI_BitmapReadFromFile(int, const char *fileName, char *name)
{
    if (!ZviWritable(name, ZVI_TEXT_SIZE))
        return ZVI_REFUSE("BitmapName address invalid!");
    const int length = ZviTextLength(fileName, ZVI_NAME_SIZE - 1);
    if (length <= 0 || length >= ZVI_NAME_SIZE)
        return ZVI_REFUSE("FileName address invalid!");
    std::vector<uint8_t> bytes;
    if (!ImageReadFileBytes(fileName, &bytes) ||
        ImageValidateDib(bytes.data(), bytes.size(), true, nullptr) != IMAGE_DIB_OK)
        return ZVI_REFUSE("Bitmap file invalid!");
    char unique[ZVI_TEXT_SIZE];
    if (!MakeUniqueName(fileName, unique) || !ImageStoreData(unique, bytes.data(), uint32_t(bytes.size())) ||
        !ImageFindBitmap(unique, 1))
        return 0;
    ZviCopyText(name, unique, ZVI_TEXT_SIZE);
    return 1;
}

int ZVI_CALL ZVI_BitmapWriteToFile(int, int index, const char *fileName)
{
    const BitmapEntry *entry = ImageEntryAt(index);
    if (!entry)
        return ZVI_REFUSE("BitmapIndex out of range!");
    const int length = ZviTextLength(fileName, ZVI_NAME_SIZE - 1);
    if (length <= 0 || length >= ZVI_NAME_SIZE)
        return ZVI_REFUSE("FileName address invalid!");
    return WriteBmp(*entry, fileName);
}

int ZVI_CALL ZVI_BitmapDelete(int, int index)
{
    if (!ImageRemoveEntry(index))
        return ZVI_REFUSE("BitmapIndex out of range!");
    return 1;
}

} // extern "C"
