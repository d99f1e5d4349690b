// List popups: names sorted, grouped by backslashes into submenus, numbered
// with accelerators, the current entry ticked; continuation when the screen
// is full.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>
#include <cstdio>
#include <cstring>

#include "commands/command_popup.h"
#include "language/language.h"

namespace {

constexpr int BASE = 5864;

std::string Text(HMENU menu, int position)
{
    char text[256] = "";
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

std::string Label(char accel, const char *name)
{
    char text[256];
    std::snprintf(text, sizeof text, eDialogText[53], accel, name);
    return text;
}

std::vector<CommandNameEntry> List(const std::vector<const char *> &names)
{
    std::vector<CommandNameEntry> list;
    for (size_t k = 0; k < names.size(); ++k)
        list.push_back({static_cast<int32_t>(k), names[k]});
    return list;
}

struct Menu {
    HMENU handle = CreatePopupMenu();
    ~Menu() { DestroyMenu(handle); }
};

TEST(ListPopups, SortingKeepsEntryZeroFirstAndEmptyNamesLast)
{
    auto list = List({"Standard", "", "Walls\\Outer", "Doors", "Walls\\Inner", ""});
    EXPECT_EQ(CommandSortNames(list.data(), 6), 3);
    const int expected[] = {0, 3, 4, 2};
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(list[p].order, expected[p]) << p;
}

TEST(ListPopups, BackslashesGroupNamesIntoSubmenus)
{
    auto list = List({"Standard", "Walls\\Outer", "Doors", "Walls\\Inner", "Odd\\"});
    CommandSortNames(list.data(), 5);
    Menu menu;
    ASSERT_EQ(CommandMenuBuildSortedPopup(menu.handle, list.data(), 5, 3, 4, BASE), 1);
    // Standard, separator, Doors, Odd\ (a plain entry with an empty label), Walls.
    ASSERT_EQ(GetMenuItemCount(menu.handle), 5);
    EXPECT_EQ(Text(menu.handle, 0), Label('0', "Standard"));
    EXPECT_EQ(GetMenuItemID(menu.handle, 0), static_cast<UINT>(BASE));
    EXPECT_TRUE(GetMenuState(menu.handle, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(Text(menu.handle, 2), Label('1', "Doors"));
    EXPECT_EQ(GetMenuItemID(menu.handle, 2), static_cast<UINT>(BASE + 2));
    EXPECT_EQ(Text(menu.handle, 3), Label('2', ""));
    EXPECT_EQ(Text(menu.handle, 4), Label('3', "Walls"));
    // The group holds the current entry 3 (Walls\Inner): ticked, as is Inner.
    EXPECT_TRUE(GetMenuState(menu.handle, 4, MF_BYPOSITION) & MF_CHECKED);
    HMENU walls = GetSubMenu(menu.handle, 4);
    ASSERT_NE(walls, nullptr);
    ASSERT_EQ(GetMenuItemCount(walls), 2);
    EXPECT_EQ(Text(walls, 0), Label('0', "Inner"));
    EXPECT_EQ(GetMenuItemID(walls, 0), static_cast<UINT>(BASE + 3));
    EXPECT_TRUE(GetMenuState(walls, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(Text(walls, 1), Label('1', "Outer"));
    EXPECT_FALSE(GetMenuState(walls, 1, MF_BYPOSITION) & MF_CHECKED);
}

TEST(ListPopups, LongListsContinueInASubmenuOrAreCut)
{
    const int rows = GetSystemMetrics(SM_CYSCREEN) / GetSystemMetrics(SM_CYMENU);
    const int reserve = rows - 6; // five rows per menu for the tree, six for the flat list
    std::vector<std::string> names;
    for (int k = 0; k < 12; ++k)
        names.push_back("Name " + std::string(1, static_cast<char>('a' + k)));
    std::vector<const char *> pointers;
    for (const std::string &n : names)
        pointers.push_back(n.c_str());
    auto list = List(pointers);
    CommandSortNames(list.data(), 12);

    Menu tree;
    ASSERT_EQ(CommandMenuBuildSortedPopup(tree.handle, list.data(), 12, 11, reserve, BASE), 1);
    // Five entries and the separator after entry 0, then "More" with the rest.
    ASSERT_EQ(GetMenuItemCount(tree.handle), 7);
    EXPECT_EQ(Text(tree.handle, 6), eDialogText[75]);
    EXPECT_TRUE(GetMenuState(tree.handle, 6, MF_BYPOSITION) & MF_CHECKED); // holds entry 11
    HMENU more = GetSubMenu(tree.handle, 6);
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(GetMenuItemID(more, 0), static_cast<UINT>(BASE + 5));

    // A reserve larger than the screen still shows one entry in each menu.
    Menu narrow;
    ASSERT_EQ(CommandMenuBuildSortedPopup(narrow.handle, list.data(), 12, 11, rows + 50, BASE), 1);
    EXPECT_EQ(GetMenuItemCount(narrow.handle), 3); // entry 0, its separator, "More"

    Menu flat;
    ASSERT_EQ(CommandMenuAppendColumns(flat.handle, list.data(), 12, 11, reserve, BASE), 1);
    EXPECT_EQ(GetMenuItemCount(flat.handle), 7); // six entries and the separator; the rest is dropped
}

} // namespace

#include "app/darad4.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/convert.h"
#include "commands/command_state.h"
#include "commands/command_tables.h"

namespace {

std::vector<std::string> g_Items; // the open popup's items: text, "-" for a separator
std::vector<UINT> g_ItemStates;
std::vector<int> g_ItemIds; // -1 for separators, submenus and items without a number

void CALLBACK ReadPopup(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND popup = FindWindowA("#32768", nullptr);
    HMENU menu = popup ? reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)) : nullptr;
    g_Items.clear();
    g_ItemStates.clear();
    g_ItemIds.clear();
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        g_Items.push_back((state & MF_SEPARATOR) ? "-" : Text(menu, i));
        g_ItemStates.push_back(state);
        const UINT id = GetMenuItemID(menu, i);
        g_ItemIds.push_back(id == 0 || id == UINT(-1) ? -1 : int(id));
    }
    EndMenu();
}

// Opens a popup with the main window standing in, and reads its items while
// it is open (g_Items, g_ItemStates).
template <typename Open> void ShowAndRead(Open open)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(owner);
    const HWND savedMain = g_MainWnd;
    g_MainWnd = owner;
    SetTimer(nullptr, 0, 50, ReadPopup);
    open();
    g_MainWnd = savedMain;
    DestroyWindow(owner);
    g_PopupByRightButton = 0;
}

// A pen table with only its fixed entry 0: that entry, the grey item that
// says there are no others, and the fixed items below.
TEST(ListPopups, APenTableWithOnlyEntryZero)
{
    PenDef saved[PEN_SLOTS];
    std::memcpy(saved, g_PenDefs, sizeof saved);
    const uint32_t penVisible = g_Options.penVisible;
    for (int k = 1; k < PEN_SLOTS; ++k)
        g_PenDefs[k].name[0] = 0;
    std::snprintf(g_PenDefs[0].name, sizeof g_PenDefs[0].name, "Standard");
    g_Options.penVisible = 1;
    const RECT button{100, 100, 120, 120};
    ShowAndRead([&] { CommandPopupPenMenu(&button); });
    std::memcpy(g_PenDefs, saved, sizeof saved);
    g_Options.penVisible = penVisible;

    const std::vector<std::string> expected = {Label('0', "Standard"), "-", eDialogText[74], "-", eDialogText[27],
                                               "-", eDialogText[50]};
    ASSERT_EQ(g_Items, expected);
    EXPECT_TRUE(g_ItemStates[2] & MF_GRAYED);
    EXPECT_TRUE(g_ItemStates[6] & MF_CHECKED);
}

// The line-type popup offers entry 0 and the named line types by name, never
// the free slots between and after them.
TEST(ListPopups, TheLineTypePopupOffersOnlyNamedLineTypes)
{
    std::vector<LineDef> saved(g_LineDefs, g_LineDefs + LINE_SLOTS);
    for (int k = 1; k < LINE_SLOTS; ++k)
        g_LineDefs[k].name[0] = 0;
    std::snprintf(g_LineDefs[0].name, sizeof g_LineDefs[0].name, "Solid");
    const RECT button{100, 100, 120, 120};
    struct Case {
        std::vector<std::pair<int, const char *>> named;
        std::vector<std::string> items;
        std::vector<int> ids; // of the entries, -1 for separators and the grey item
    };
    const Case cases[] = {
        {{}, {Label('0', "Solid"), "-", eDialogText[74]}, {BASE, -1, -1}},
        {{{7, "Dotted"}, {3, "Dashed"}},
         {Label('0', "Solid"), "-", Label('1', "Dashed"), Label('2', "Dotted")},
         {BASE, -1, BASE + 3, BASE + 7}},
    };
    for (const Case &c : cases) {
        for (const auto &[slot, name] : c.named)
            std::snprintf(g_LineDefs[slot].name, sizeof g_LineDefs[slot].name, "%s", name);
        ShowAndRead([&] { CommandPopupSelectLine(g_MainWnd, &button, 0, BASE, 0, 0); });
        EXPECT_EQ(g_Items, c.items);
        EXPECT_EQ(g_ItemIds, c.ids);
    }
    std::copy(saved.begin(), saved.end(), g_LineDefs);
}

} // namespace

namespace {

// The last commands by their titles; the eleventh and twelfth carry A and B.
TEST(ListPopups, TheLastCommandsAreNumberedByTheirPlace)
{
    int32_t saved[LAST_COMMANDS];
    std::memcpy(saved, g_CommandDefaults.lastCommands, sizeof saved);
    const int commands[12] = {501, 506, 507, 508, 509, 510, 512, 514, 516, 519, 520, 521};
    for (int k = 0; k < LAST_COMMANDS; ++k)
        g_CommandDefaults.lastCommands[k] = k < 12 ? commands[k] : -1;
    ShowAndRead(CommandLastCommandsPopup);
    std::memcpy(g_CommandDefaults.lastCommands, saved, sizeof saved);

    ASSERT_EQ(g_Items.size(), 12u);
    char title[256];
    ConvertGetCommandTitle(title, 521);
    EXPECT_EQ(g_Items[11], std::string("&B\t") + title);
    EXPECT_EQ(g_Items[10].substr(0, 3), "&A\t");
    EXPECT_EQ(g_Items[0].substr(0, 3), "&1\t");
    EXPECT_EQ(g_Items[9].substr(0, 3), "&0\t");
}

} // namespace

namespace {

// The first margin button of a drawing window opens the window's view popup.
TEST(ListPopups, TheMarginButtonOpensTheViewPopup)
{
    ShowAndRead([] { CommandMarginPopupShow(2, MARGIN_POPUP_DRAWING, RECT{10, 10, 30, 30}); });
    ASSERT_EQ(g_Items.size(), 7u);
    for (int j = 0; j < 7; ++j)
        EXPECT_EQ(g_Items[j], eDialogText[67 + j]);
}

} // namespace
