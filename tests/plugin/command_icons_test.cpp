// The pictures of plug-in commands and menus: a module's own cell cut from
// its bitmap, the program's cell the entry chooses, or its group's cell.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "app/convert.h"
#include "app/init_menulayout.h"
#include "dialogs/box13.h"
#include "plugin/zvi_module.h"
#include "plugin_fixture.h"

namespace {

// A white strip of w x h pixels with black squares at the given places.
HBITMAP Strip(int w, int h, std::initializer_list<RECT> squares)
{
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, strip);
    PatBlt(dc, 0, 0, w, h, WHITENESS);
    for (const RECT &r : squares)
        PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, BLACKNESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    return strip;
}

// Whether the one-bit picture has the bit of pixel (x, y) set.
bool Set(HBITMAP picture, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c == RGB(255, 255, 255);
}

std::vector<uint8_t> Bits(HBITMAP picture)
{
    BITMAP info{};
    GetObjectA(picture, sizeof info, &info);
    std::vector<uint8_t> bits(size_t(info.bmWidthBytes) * size_t(info.bmHeight));
    GetBitmapBits(picture, LONG(bits.size()), bits.data());
    return bits;
}

int Width(HBITMAP picture)
{
    BITMAP info{};
    GetObjectA(picture, sizeof info, &info);
    return info.bmWidth;
}

class CommandIcons : public PluginTest {
protected:
    ModuleCommand commands[3]{};
    HBITMAP strip = nullptr;
    void SetUp() override
    {
        PluginTest::SetUp();
        ASSERT_EQ(Box13InitPopup(), 1) << "the command-icon file";
        // Cell (40, 0): a 40 x 40 square 10..19; cell (0, 40): the menu's
        // 24 x 24 picture with a square 4..7.
        strip = Strip(80, 64, {{50, 10, 60, 20}, {4, 44, 8, 48}});
        commands[0].idFlags = 1;
        commands[0].bitmap = strip;
        commands[0].cellX = 40;
        commands[0].iconChoice = MODULE_ICON_OWN_CELL;
        commands[1].idFlags = 2;
        commands[1].iconChoice = 501; // the program's line icon
        commands[2].idFlags = MODULE_COMMAND_LAST;
        ModuleData m{};
        m.defaultEntry.idFlags = MENU_PLACE_OWN_MENUS;
        m.defaultEntry.bitmap = strip;
        m.defaultEntry.cellY = 40;
        m.defaultEntry.iconChoice = MODULE_ICON_OWN_CELL;
        m.list = commands;
        AddModule(m);
    }
    void TearDown() override
    {
        DeleteObject(strip);
        Box13ExitPopup();
        PluginTest::TearDown();
    }
};

constexpr int FIRST = COMMAND_PLUGIN_FIRST + 1, SECOND = COMMAND_PLUGIN_FIRST + 2;

TEST_F(CommandIcons, AModuleCommandShowsItsOwnCellOfItsBitmap)
{
    HBITMAP icon = ConvertCommandToIcon(FIRST);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(Width(icon), BOX13_ICON_SIZE);
    EXPECT_TRUE(Set(icon, 15, 15)) << "the square the plug-in drew";
    EXPECT_FALSE(Set(icon, 5, 5));
    EXPECT_FALSE(Set(icon, 25, 25));
    DeleteObject(icon);
}

TEST_F(CommandIcons, AnEntryChoosingAProgramIconShowsThatIcon)
{
    HBITMAP chosen = ConvertCommandToIcon(SECOND), line = Box13CommandBitmap40(501);
    EXPECT_EQ(Bits(chosen), Bits(line));
    DeleteObject(chosen);
    DeleteObject(line);
}

TEST_F(CommandIcons, WithoutItsOwnPictureACommandShowsItsGroupsCell)
{
    commands[0].iconChoice = MODULE_ICON_NONE;
    HBITMAP icon = ConvertCommandToIcon(FIRST), group = Box13CommandBitmap40(COMMAND_PLUGIN_FIRST);
    EXPECT_EQ(Bits(icon), Bits(group));
    DeleteObject(icon);
    // A bitmap the plug-in has deleted is not read either.
    commands[0].iconChoice = MODULE_ICON_OWN_CELL;
    commands[0].bitmap = reinterpret_cast<HBITMAP>(0x1234);
    icon = ConvertCommandToIcon(FIRST);
    EXPECT_EQ(Bits(icon), Bits(group));
    DeleteObject(icon);
    DeleteObject(group);
}

TEST_F(CommandIcons, AModulesMenuShowsItsOwn24PixelCellAndMainMenusTheirs)
{
    HBITMAP menu = ConvertCommandToIcon24(MENU_PLUGIN_HEADER | 0);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Width(menu), BOX13_SMALL_SIZE);
    EXPECT_TRUE(Set(menu, 5, 5));
    EXPECT_FALSE(Set(menu, 12, 12));
    DeleteObject(menu);
    HBITMAP draw = ConvertCommandToIcon24(4), cell = Box13CommandBitmap24(4);
    EXPECT_EQ(Bits(draw), Bits(cell));
    DeleteObject(draw);
    DeleteObject(cell);
}

} // namespace
