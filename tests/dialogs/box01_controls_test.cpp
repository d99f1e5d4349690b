// Owner-drawn controls and the shared dialog utilities: name order and
// group paths, the progress text, colour texts, painters checked pixel by
// pixel, the popup menus, and a spin field and three-state box driven in a
// live dialog.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/convert.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/system_records.h"
#include "common/dialog_driver.h"
#include "common/test_support.h"
#include "database/symbol_library.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "language/language.h"

namespace {

TEST(NamePaths, ListOrderPutsOwnEntriesAndSubgroupsFirst)
{
    struct Case {
        const char *a, *b;
        int expected;
    };
    const Case cases[] = {
        {"*std", "a", -1},       {"a", "*std", 1},           {"~x", "b", -1},
        {"g\\sub\\x", "g\\y", -1}, {"g\\y", "g\\sub\\x", 1},   {"g\\", "g\\y", -1},
        {"g\\y", "g\\", 1},       {"g\\a", "g\\b", -1},        {"g\\b", "g\\b", 0},
        {"a", "b", -1},           {"g\\sub\\", "g\\y", -1},    {"h\\x", "g\\y", 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Box01CompareNamePaths(c.a, c.b), c.expected) << c.a << " against " << c.b;
}

TEST(NamePaths, SplitAndJoin)
{
    char path[64], leaf[64];
    Box01SplitNamePath("walls\\inner\\north", path, leaf);
    EXPECT_STREQ(path, "walls\\inner\\");
    EXPECT_STREQ(leaf, "north");
    Box01SplitNamePath("plain", path, leaf);
    EXPECT_STREQ(path, "");
    EXPECT_STREQ(leaf, "plain");
    Box01SplitNamePath("group\\", path, nullptr);
    EXPECT_STREQ(path, "group\\");

    char joined[64];
    Box01JoinNamePath(joined, "walls", "inner");
    EXPECT_STREQ(joined, "walls\\inner");
    Box01JoinNamePath(joined, "walls\\", "inner");
    EXPECT_STREQ(joined, "walls\\inner");
    Box01JoinNamePath(joined, nullptr, "x");
    EXPECT_STREQ(joined, "x");
    const std::string longLeaf(80, 'L');
    Box01JoinNamePath(joined, "g", longLeaf.c_str());
    EXPECT_EQ(strlen(joined), 63u) << "cut to 63 characters";
}

TEST(ProgressBar, TextShowsStartedAndUnfinishedWork)
{
    struct Case {
        int done, total;
        const char *text;
    };
    const Case cases[] = {{0, 10, "0%"},     {1, 1000, "1%"},   {999, 1000, "99%"},
                          {10, 10, "100%"},  {5, 10, "50%"},    {20, 10, "100%"}};
    for (const Case &c : cases) {
        char text[16] = "";
        int width = -1;
        ASSERT_EQ(Box01ProgressText(text, sizeof text, c.done, c.total, 101, &width), 1);
        EXPECT_STREQ(text, c.text) << c.done << " of " << c.total;
    }
    char text[16] = "unchanged";
    EXPECT_EQ(Box01ProgressText(text, sizeof text, 0, 0, 100, nullptr), 0) << "total 0 draws nothing";
    int width = 0;
    Box01ProgressText(text, sizeof text, 5, 10, 101, &width);
    EXPECT_EQ(width, 50);
}

TEST(ColorText, PercentagesByTheColourModel)
{
    const int32_t saved = g_Options.colorDefinition;
    char text[BOX01_COLOR_TEXT_SIZE];
    g_Options.colorDefinition = 0;
    EXPECT_STREQ(Box01FormatColorText(text, RGB(255, 128, 0)), "R 100.0%   G 50.2%   B 0.0%");
    g_Options.colorDefinition = 1;
    EXPECT_STREQ(Box01FormatColorText(text, RGB(255, 128, 0)), "C 0.0%   M 49.8%   Y 100.0%");
    g_Options.colorDefinition = saved;
}

// A 32-bit DIB to paint into and read back.
class Canvas {
public:
    Canvas(int width, int height) : width_(width)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const
    {
        GdiFlush();
        const uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    uint32_t *bits_ = nullptr;
};

TEST(Painters, ColourButtonSwatchMovesWhenPressed)
{
    Canvas canvas(40, 20);
    const RECT r = {0, 0, 40, 20};
    const COLORREF red = RGB(255, 0, 0);
    Box01PaintColorButton(canvas.dc(), &r, 0, red, 0);
    EXPECT_EQ(canvas.at(2, 2), red);
    EXPECT_EQ(canvas.at(36, 16), red);
    EXPECT_NE(canvas.at(37, 17), red) << "3 pixels in at the right and bottom";
    Box01PaintColorButton(canvas.dc(), &r, ODS_SELECTED, red, 0);
    EXPECT_NE(canvas.at(2, 2), red) << "pressed: moved by one pixel";
    EXPECT_EQ(canvas.at(3, 3), red);
}

TEST(Painters, PenRowSwatchesFollowTheFillMode)
{
    // Row 300 x 17: swatch size 15 at y 1, swatches at x 232, 248, 268, 284.
    Canvas canvas(300, 17);
    const RECT r = {0, 0, 300, 17};
    std::vector<PenDef> pens(2);
    strcpy(pens[1].name, "walls\\inner");
    const COLORREF green = RGB(0, 200, 0), blue = RGB(0, 0, 220);
    pens[1].setA = {1, green, blue, 0, 0.25, 0x2200, 0};
    pens[1].setB = {0, green, blue, 0, 0.25, 0x2200, 0};
    Box01PaintPenRow(canvas.dc(), &r, 0, 1, pens.data(), nullptr, 0);
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT), paper = GetSysColor(COLOR_WINDOW);
    // Mode 1: a cross in the first swatch, colour 1 in the second.
    EXPECT_EQ(canvas.at(232 + 7, 1 + 7), ink);
    EXPECT_EQ(canvas.at(232 + 2, 1 + 7), paper);
    EXPECT_EQ(canvas.at(248 + 7, 1 + 7), green);
    // Mode 0: the band of colour 2, and a cross.
    EXPECT_EQ(canvas.at(268 + 2, 1 + 7), blue);
    EXPECT_EQ(canvas.at(284 + 7, 1 + 7), ink);
    EXPECT_EQ(canvas.at(284 + 2, 1 + 7), paper);
}

TEST(Painters, SelectedRowsUseTheHighlightAndFrameTheirColumns)
{
    Canvas canvas(300, 17);
    const RECT r = {0, 0, 300, 17};
    std::vector<LayerDef> layers(1);
    strcpy(layers[0].name, "Standard");
    Box01PaintLayerRow(canvas.dc(), &r, ODS_SELECTED, 0, layers.data(), nullptr, 0);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(canvas.at(100, 1), highlight) << "name column";
    EXPECT_EQ(canvas.at(0, 8), highlight) << "frame of the icon column";
    EXPECT_EQ(canvas.at(40, 8), GetSysColor(COLOR_WINDOW)) << "inside the icon column";

    // A group header stays on the window colour even when selected.
    const char groups[1][BOX01_GROUP_NAME_SIZE] = {"walls\\inner\\"};
    Box01PaintLayerRow(canvas.dc(), &r, ODS_SELECTED, BOX01_GROUP_ITEM_BASE, layers.data(), groups, 1);
    EXPECT_EQ(canvas.at(200, 1), GetSysColor(COLOR_WINDOW));
}

// A library row gives each mark a column one "W" wide: a mark text wider
// than that would be cut (a new library once showed "ne").
TEST(Painters, LibraryMarksFitTheirOneLetterColumns)
{
    const int marks[] = {39, 40, 43, 46, 47, 48}; // open, close, new, save, reload, changed
    Canvas canvas(300, 17);
    for (HGDIOBJ font : {GetStockObject(DEFAULT_GUI_FONT), GetStockObject(SYSTEM_FONT)}) {
        HGDIOBJ old = SelectObject(canvas.dc(), font);
        SIZE w{};
        GetTextExtentPoint32A(canvas.dc(), "W", 1, &w);
        for (int entry : marks) {
            const char *text = eUniTexts[entry];
            SIZE size{};
            GetTextExtentPoint32A(canvas.dc(), text, int(strlen(text)), &size);
            EXPECT_GT(size.cx, 0) << "entry " << entry << " is empty";
            EXPECT_LE(size.cx, w.cx) << "entry " << entry << " \"" << text << "\" is wider than its column";
        }
        SelectObject(canvas.dc(), old);
    }

    // Marked new and changed: ink in the first and fifth columns, none in
    // the three between.
    LibrarySlot slot{};
    strcpy(slot.info.title, "newlib");
    slot.further[LIBRARY_MARK_WORD] = LIBRARY_MARK_NEW;
    slot.modified = 1;
    const RECT r = {0, 0, 300, 17};
    Box01PaintTabbedRow(canvas.dc(), &r, 0, &slot);
    SIZE w{};
    GetTextExtentPoint32A(canvas.dc(), "W", 1, &w);
    const COLORREF paper = GetSysColor(COLOR_WINDOW);
    auto inked = [&](int column) {
        for (int x = 2 + column * w.cx; x < 2 + (column + 1) * w.cx; ++x)
            for (int y = 0; y < 17; ++y)
                if (canvas.at(x, y) != paper)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(0));
    EXPECT_FALSE(inked(1) || inked(2) || inked(3));
    EXPECT_TRUE(inked(4));
}

TEST(Painters, ProgressBarFillsToTheFraction)
{
    // A real control: the bar paints its own client area.
    HWND control = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 101, 20, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    Box01DrawProgressBar(control, 5, 10);
    HDC dc = GetDC(control);
    EXPECT_EQ(GetPixel(dc, 10, 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, 90, 2), GetSysColor(COLOR_WINDOW));
    ReleaseDC(control, dc);
    DestroyWindow(control);
}

TEST(Menus, RecentNamesGreyEmptySlots)
{
    char names[BOX01_RECENT_NAMES][BOX01_RECENT_PATH_SIZE] = {};
    strcpy(names[0], "c:\\a.zvd");
    for (int noThird = 0; noThird <= 1; ++noThird) {
        HMENU menu = Box01MenuRecentPaths(nullptr, names, noThird);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(GetMenuItemCount(menu), noThird ? 10 : 11);
        EXPECT_EQ(GetMenuItemID(menu, 0), UINT(BOX01_MENU_RECENT));
        EXPECT_EQ((GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED) != 0, noThird == 0);
        HMENU second = GetSubMenu(menu, 9);
        ASSERT_NE(second, nullptr);
        EXPECT_NE(GetMenuState(second, 0, MF_BYPOSITION) & MF_GRAYED, 0u) << "first always greyed";
        EXPECT_NE(GetMenuState(second, 1, MF_BYPOSITION) & MF_GRAYED, 0u);
        EXPECT_EQ(GetMenuItemID(second, 1), UINT(BOX01_MENU_RECENT + 9));
        if (!noThird) {
            HMENU third = GetSubMenu(menu, 10);
            EXPECT_EQ(GetMenuState(third, 1, MF_BYPOSITION) & MF_GRAYED, 0u) << "none greyed";
            EXPECT_EQ(GetMenuItemID(third, 0), UINT(BOX01_MENU_RECENT + 16));
        }
        DestroyMenu(menu);
    }
    std::vector<SelectionFilter> filters(LOCAL_FILTERS);
    strcpy(filters[2].name, "walls");
    HMENU menu = Box01MenuStoredFilters(nullptr, filters.data());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemID(menu, 2), UINT(BOX01_MENU_FILTERS + 2));
    char text[64] = "";
    GetMenuStringA(menu, 2, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&3  walls");
    DestroyMenu(menu);
}

// The spin and three-state test dialog.
constexpr int ID_SPIN_FIELD = 200, ID_SPIN_BAR = 190, ID_OTHER_FIELD = 201, ID_OTHER_BAR = 180, ID_THREE = 250;
constexpr double SPIN_MIN = -10, SPIN_MAX = 10, SPIN_STEP = -2.5; // the step's sign does not matter

INT_PTR CALLBACK SpinProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        Box01DialogInit(dialog, lParam);
        return 1;
    case WM_VSCROLL:
        Box01DialogSpinEdit(dialog, LOWORD(wParam), reinterpret_cast<HWND>(lParam), SPIN_MIN, SPIN_MAX, SPIN_STEP);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
        break;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_CONTEXT_NONE);
}

double FieldValue(HWND dialog, int id)
{
    return ConvertStringToDouble(TestItemText(dialog, id).c_str());
}

void Scroll(HWND dialog, int bar, int code)
{
    // What the scroll bar sends its parent when an arrow is clicked.
    SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(GetDlgItem(dialog, bar)));
}

TEST(DialogControls, SpinFieldsStepWithinTheirRangeAndThreeStateBoxesCycle)
{
    const HMODULE savedModule = g_LanguageModule;
    g_LanguageModule = GetModuleHandleA(nullptr);
    std::vector<double> values;
    std::vector<int> states;
    std::string other;
    DialogDriver driver({[&](HWND dialog) {
        SetDlgItemTextA(dialog, ID_SPIN_FIELD, "nonsense");
        Scroll(dialog, ID_SPIN_BAR, SB_LINEDOWN);
        values.push_back(FieldValue(dialog, ID_SPIN_FIELD)); // from 0
        SetDlgItemTextA(dialog, ID_SPIN_FIELD, "-9");
        Scroll(dialog, ID_SPIN_BAR, SB_LINEDOWN);
        values.push_back(FieldValue(dialog, ID_SPIN_FIELD)); // min exactly
        SetDlgItemTextA(dialog, ID_SPIN_FIELD, "4+5"); // a term
        Scroll(dialog, ID_SPIN_BAR, SB_LINEUP);
        values.push_back(FieldValue(dialog, ID_SPIN_FIELD)); // max
        SetDlgItemTextA(dialog, ID_OTHER_FIELD, "5");
        Scroll(dialog, ID_OTHER_BAR, SB_LINEUP);
        other = TestItemText(dialog, ID_OTHER_FIELD);
        for (int i = 0; i < 3; ++i)
            states.push_back(Box01DialogCycleTriState(dialog, ID_THREE, 0));
        states.push_back(Box01DialogCycleTriState(dialog, ID_THREE, 1));
        states.push_back(Box01DialogCycleTriState(dialog, ID_THREE, 1));
        TestClickButton(dialog, IDOK);
    }});
    DialogHeader record = {};
    Box01DialogRun(nullptr, "TESTSPIN", SpinProc, &record);
    g_LanguageModule = savedModule;
    EXPECT_EQ(record.result, DIALOG_OK);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_DOUBLE_EQ(values[0], -2.5);
    EXPECT_DOUBLE_EQ(values[1], SPIN_MIN);
    EXPECT_DOUBLE_EQ(values[2], SPIN_MAX);
    EXPECT_EQ(other, "5") << "a scroll bar outside 190 to 199 is not a spin bar";
    EXPECT_EQ(states, (std::vector<int>{BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED}));
}

} // namespace
