// The command-icon file and the bitmaps made from it.
#include "dialogs/box13.h"

#include <cstring>
#include <string>

#include "app/convert.h"
#include "dialogs/alert.h"
#include "files/zvi.h"

uint8_t *g_CommandIcons = nullptr;
const char *g_Box13IconPath = nullptr;

namespace {

constexpr uint32_t FILE_ERROR_OPEN = 0;
constexpr uint32_t FILE_ERROR_READ = 3;
constexpr int SMALL_ROW_BYTES = 4; // 3 bytes of pixels, one always 0
constexpr int MARK_ROW_BYTES = 2;
constexpr int MARK_COLUMN = 51;
constexpr int CELL0_COLUMN = 54;

uint8_t s_SmallIcons[BOX13_SMALL_ICONS][BOX13_SMALL_SIZE * SMALL_ROW_BYTES];
uint8_t s_CornerMark[BOX13_MARK_SIZE * MARK_ROW_BYTES];

std::string IconPath()
{
    if (g_Box13IconPath)
        return g_Box13IconPath;
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return BOX13_ICON_FILE;
    std::string folder(path, n);
    const size_t slash = folder.find_last_of("\\/");
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    return folder + BOX13_ICON_FILE;
}

// Copies rows of `bytes` bytes from a picture column into rows of `stride`.
void CopyRows(uint8_t *to, int stride, const uint8_t *picture, int column, int rows, int bytes)
{
    for (int y = 0; y < rows; ++y)
        std::memcpy(to + y * stride, picture + y * BOX13_PICTURE_ROW_BYTES + column, bytes);
}

HBITMAP Mono(int size, const void *bits) { return CreateBitmap(size, size, 1, 1, bits); }

} // namespace

int Box13LoadIconFile()
{
    const std::string path = IconPath();
    HANDLE file = nullptr;
    if (!ZVI_FileOpen(&file, path.c_str())) {
        AlertFileError(nullptr, path.c_str(), FILE_ERROR_OPEN);
        return 0;
    }
    HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    static uint8_t picture[BOX13_PICTURE_BYTES];
    bool ok = ZVI_FileSetPointer(file, BOX13_ICON_HEADER, FILE_BEGIN) != 0 &&
              ZVI_FileRead(file, picture, BOX13_PICTURE_BYTES) == BOX13_PICTURE_BYTES;
    if (ok) {
        for (int k = 0; k < BOX13_SMALL_ICONS; ++k)
            CopyRows(s_SmallIcons[k], SMALL_ROW_BYTES, picture, 4 * k, BOX13_SMALL_SIZE, 3);
        CopyRows(s_CornerMark, MARK_ROW_BYTES, picture, MARK_COLUMN, BOX13_MARK_SIZE, MARK_ROW_BYTES);
        CopyRows(g_CommandIcons, BOX13_ICON_ROW_BYTES, picture, CELL0_COLUMN, BOX13_ICON_SIZE,
                 BOX13_ICON_ROW_BYTES);
    }
    for (int r = 1; ok && r < BOX13_PICTURES; ++r) {
        ok = ZVI_FileRead(file, picture, BOX13_PICTURE_BYTES) == BOX13_PICTURE_BYTES;
        for (int j = 0; ok && j < 10; ++j)
            CopyRows(g_CommandIcons + (10 * r + j) * BOX13_CELL_BYTES, BOX13_ICON_ROW_BYTES, picture,
                     BOX13_ICON_ROW_BYTES * j, BOX13_ICON_SIZE, BOX13_ICON_ROW_BYTES);
    }
    SetCursor(old ? old : LoadCursorA(nullptr, IDC_ARROW));
    ZVI_FileClose(file);
    if (!ok) {
        AlertFileError(nullptr, path.c_str(), FILE_ERROR_READ);
        return 0;
    }
    return 1;
}

int Box13InitPopup()
{
    Box13ExitPopup();
    g_CommandIcons = static_cast<uint8_t *>(GlobalAlloc(GPTR, BOX13_ICON_CELLS * BOX13_CELL_BYTES));
    if (!g_CommandIcons)
        return 0;
    if (!Box13LoadIconFile()) {
        Box13ExitPopup();
        return 0;
    }
    return 1;
}

int Box13ExitPopup()
{
    if (g_CommandIcons)
        GlobalFree(g_CommandIcons);
    g_CommandIcons = nullptr;
    return 1;
}

HBITMAP Box13CommandBitmap40(int32_t commandId)
{
    // A 40-pixel row of a one-bit bitmap is padded to 6 bytes, as the cells are.
    static const uint8_t blank[BOX13_CELL_BYTES] = {};
    const int cell = ConvertCommandToIconIndex(commandId);
    const uint8_t *bits = g_CommandIcons && cell >= 0 && cell < BOX13_ICON_CELLS
                              ? g_CommandIcons + cell * BOX13_CELL_BYTES
                              : blank;
    return Mono(BOX13_ICON_SIZE, bits);
}

HBITMAP Box13CommandBitmap24(int32_t group)
{
    static const uint8_t blank[BOX13_SMALL_SIZE * SMALL_ROW_BYTES] = {};
    return Mono(BOX13_SMALL_SIZE, group >= 0 && group < BOX13_SMALL_ICONS ? s_SmallIcons[group] : blank);
}

HBITMAP Box13CommandBitmap16() { return Mono(BOX13_MARK_SIZE, s_CornerMark); }
