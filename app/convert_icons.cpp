// The 40 x 40 and 24 x 24 one-bit pictures of commands and menus: the
// program's own cells, or a plug-in's own cell cut from its bitmap.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/convert.h"
#include "app/init_menulayout.h"
#include "dialogs/box13.h"
#include "plugin/zvi_module.h"

namespace {

constexpr int GROUP_PLUGINS = 1300, GROUP_IMPORTS = 5300, GROUP_EXPORTS = 5320;
constexpr int SMALL_PLUGIN_MENU = 11; // the small cell of a plug-in menu without its own

// A plug-in's handle may be stale: only a live bitmap is cut from.
bool LiveBitmap(HBITMAP bitmap) { return bitmap && GetObjectType(bitmap) == OBJ_BITMAP; }

} // namespace

HBITMAP ConvertCutCell(HBITMAP strip, int x, int y, int cellSize, int iconSize, bool inkSet)
{
    constexpr int LIGHT = 3 * 128; // the sum of red, green and blue from which a pixel is light
    BITMAP info{};
    if (iconSize < cellSize || !GetObjectA(strip, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight; // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(size_t(info.bmWidth) * size_t(info.bmHeight));
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, strip, 0, UINT(info.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight)
        return nullptr;
    const int rowBytes = (iconSize + 15) / 16 * 2; // rows of a bitmap end on a word
    const int margin = (iconSize - cellSize) / 2;
    std::vector<uint8_t> bits(size_t(rowBytes) * size_t(iconSize), inkSet ? 0x00 : 0xff);
    for (int row = 0; row < cellSize; ++row)
        for (int column = 0; column < cellSize; ++column) {
            const int sx = x + column, sy = y + row;
            if (sx < 0 || sy < 0 || sx >= info.bmWidth || sy >= info.bmHeight)
                continue;
            const uint32_t p = pixels[size_t(sy) * size_t(info.bmWidth) + size_t(sx)];
            if (int(p & 0xff) + int((p >> 8) & 0xff) + int((p >> 16) & 0xff) >= LIGHT)
                continue;
            const int ix = margin + column;
            uint8_t &byte = bits[size_t(margin + row) * size_t(rowBytes) + size_t(ix / 8)];
            const uint8_t bit = uint8_t(0x80 >> (ix % 8));
            byte = inkSet ? uint8_t(byte | bit) : uint8_t(byte & ~bit);
        }
    return CreateBitmap(iconSize, iconSize, 1, 1, bits.data());
}

namespace {

// A module's own cell: the program's cells hold their drawn pixels as set bits.
HBITMAP CutCell(HBITMAP strip, int x, int y, int size) { return ConvertCutCell(strip, x, y, size, size, true); }

int GroupOf(int commandId)
{
    if (commandId >= IMPORT_COMMAND_FIRST && commandId < EXPORT_COMMAND_FIRST)
        return GROUP_IMPORTS;
    if (commandId >= EXPORT_COMMAND_FIRST)
        return GROUP_EXPORTS;
    return GROUP_PLUGINS;
}

} // namespace

HBITMAP ConvertModuleIcon40(const ModuleCommand *entry, int groupId)
{
    if (!entry || entry->iconChoice == MODULE_ICON_NONE)
        return Box13CommandBitmap40(groupId);
    if (entry->iconChoice == MODULE_ICON_OWN_CELL) {
        if (!LiveBitmap(entry->bitmap))
            return Box13CommandBitmap40(groupId);
        return CutCell(entry->bitmap, entry->cellX, entry->cellY, BOX13_ICON_SIZE);
    }
    return Box13CommandBitmap40(entry->iconChoice);
}

HBITMAP ConvertCommandToIcon(int commandId)
{
    if (commandId >= COMMAND_PLUGIN_FIRST && commandId <= COMMAND_FILTER_LAST) {
        if (const ModuleCommand *entry = ZviCommandEntry(commandId))
            return ConvertModuleIcon40(entry, GroupOf(commandId));
    }
    return Box13CommandBitmap40(commandId);
}

HBITMAP ConvertCommandToIcon24(uint32_t menuCode)
{
    if (!(menuCode & MENU_PLUGIN_HEADER))
        return Box13CommandBitmap24(int(menuCode & MENU_ID_MASK));
    const ModuleData *module = ZviModuleRecord(int(menuCode & MENU_ID_MASK));
    if (module && module->defaultEntry.iconChoice == MODULE_ICON_OWN_CELL && LiveBitmap(module->defaultEntry.bitmap))
        return CutCell(module->defaultEntry.bitmap, module->defaultEntry.cellX, module->defaultEntry.cellY,
                       BOX13_SMALL_SIZE);
    return Box13CommandBitmap24(SMALL_PLUGIN_MENU);
}
