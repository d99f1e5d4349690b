// Help for commands and windows: the popup check on the menu layout, the
// context of each window and position, and the end of the help pick.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_menulayout.h"
#include "app/system.h"
#include "app/window.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "common/test_commands.h"
#include "common/test_support.h"

namespace {

// ---------------------------------------------------------------------------
// The menu layout and the popup check

class MenuLayout : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InitBuildMenuLayout(g_MenuTemplate, g_MenuLayout, MENU_LAYOUT_SIZE), 1u); }
};

std::vector<uint32_t> TemplateWithoutPlaceholders()
{
    std::vector<uint32_t> out;
    for (const uint32_t *e = g_MenuTemplate; !(*e & MENU_END); ++e)
        if (!(*e & MENU_PLACEHOLDER))
            out.push_back(*e);
    return out;
}

TEST_F(MenuLayout, WithoutPlugInsTheLayoutIsTheTemplateWithoutPlaceholders)
{
    const std::vector<uint32_t> expected = TemplateWithoutPlaceholders();
    ASSERT_GT(expected.size(), 300u);
    int n = 0;
    while (!(g_MenuLayout[n] & MENU_END))
        ++n;
    ASSERT_EQ(static_cast<size_t>(n), expected.size());
    int placeholders = 0;
    for (const uint32_t *e = g_MenuTemplate; !(*e & MENU_END); ++e)
        placeholders += (*e & MENU_PLACEHOLDER) ? 1 : 0;
    EXPECT_EQ(placeholders, 14) << "two formats, eleven main menus and the own menus of modules";

    std::vector<int> headers;
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(g_MenuLayout[i], expected[i]) << i;
        if (g_MenuLayout[i] & MENU_TOP_HEADER)
            headers.push_back(static_cast<int>(g_MenuLayout[i] & MENU_ID_MASK));
    }
    EXPECT_EQ(headers, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(g_MenuLayout[n - 1], MENU_TOP_ITEM | 1106u) << "the last item of the last menu";
}

TEST_F(MenuLayout, TooLittleRoomLeavesAnEmptyLayout)
{
    uint32_t small[16];
    small[0] = 12345;
    EXPECT_EQ(InitBuildMenuLayout(g_MenuTemplate, small, 16), 0u);
    EXPECT_EQ(small[0], MENU_END);
    EXPECT_EQ(InitBuildMenuLayout(g_MenuTemplate, small, 0), 0u);
    EXPECT_EQ(InitBuildMenuLayout(nullptr, small, 16), 0u);
}

TEST_F(MenuLayout, WhereACommandStands)
{
    const struct {
        int command, popup;
    } rows[] = {
        {1200, CONVERT_POPUP_OPENER},    // the tablet menu
        {105, CONVERT_POPUP_OPENER},     {111, CONVERT_POPUP_OPENER},  {500, CONVERT_POPUP_OPENER},
        {1014, CONVERT_POPUP_OPENER},    {1027, CONVERT_POPUP_OPENER}, {100, CONVERT_POPUP_TOP_LEVEL},
        {125, CONVERT_POPUP_TOP_LEVEL},  {401, CONVERT_POPUP_TOP_LEVEL}, {1009, CONVERT_POPUP_TOP_LEVEL},
        {1102, CONVERT_POPUP_TOP_LEVEL}, {1106, CONVERT_POPUP_TOP_LEVEL}, {106, 105}, {110, 105}, {114, 111},
        {501, 500},                      {514, 500},  {348, 341},  {570, 566},  {571, 566},  {1026, 1014},
        {1040, 1027},                    {451, 447},
        {0, CONVERT_POPUP_NOT_FOUND},    {10, CONVERT_POPUP_NOT_FOUND}, // menu numbers are no commands
        {1201, CONVERT_POPUP_NOT_FOUND}, {1300, CONVERT_POPUP_NOT_FOUND}, {5300, CONVERT_POPUP_NOT_FOUND},
        {7903, CONVERT_POPUP_NOT_FOUND}, {-1, CONVERT_POPUP_NOT_FOUND},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ConvertFindCommandPopup(r.command), r.popup) << r.command;
}

TEST_F(MenuLayout, CommandsThatOpenAPopupHaveNoHelp)
{
    const struct {
        int command;
        bool help;
        ULONG_PTR context;
    } rows[] = {
        {105, false, 0}, {500, false, 0}, {1200, false, 0}, {1350, false, 0}, {5310, false, 0},
        {106, true, 106}, {501, true, 501}, {1201, true, 1201}, {5345, true, 14000},
    };
    for (const auto &r : rows) {
        const int before = g_TestHelp.count;
        ConvertShowCommandHelp(r.command);
        EXPECT_EQ(g_TestHelp.count, before + (r.help ? 1 : 0)) << r.command;
        if (r.help) {
            EXPECT_EQ(g_TestHelp.data, r.context) << r.command;
            EXPECT_EQ(g_TestHelp.command, (UINT)HELP_CONTEXT);
            EXPECT_EQ(g_TestHelp.window, g_MainWnd);
        }
    }
}

void SetState(int32_t command, int32_t resume)
{
    TestStartCommand(command, resume);
}

// ---------------------------------------------------------------------------
// The context of the window under the pointer

const char *const TEST_CLASS = "DARAD4_TestHelpWindow";

ATOM RegisterTestClass()
{
    static ATOM atom = 0;
    if (atom)
        return atom;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = TEST_CLASS;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    atom = RegisterClassA(&wc);
    return atom;
}

constexpr int CELL = 100; // each test window is a square of this size on a grid

// The program's windows as plain squares side by side, so that each screen
// point belongs to one of them.
class ContextHelp : public testing::Test {
protected:
    struct Handle {
        HWND *global;
        int context;
    };
    const std::vector<Handle> tools_ = {
        {&hGlobalGuide, HELP_CONTEXT_GUIDE},        {&hGlobalToolbox, HELP_CONTEXT_TOOLBOX},
        {&hGlobalStatus, HELP_CONTEXT_STATUS_BAR},  {&hGlobalSymbol, HELP_CONTEXT_SYMBOL},
        {&hGlobalLayer, HELP_CONTEXT_LAYER_TREE},   {&hGlobalPen, HELP_CONTEXT_PEN_TREE},
        {&hGlobalProp, HELP_CONTEXT_PROPERTY_BAR},  {&hGlobalPanel, HELP_CONTEXT_PANEL},
        {&hGlobalLayerDialog, HELP_CONTEXT_LAYER_TABLE}, {&hGlobalPenDialog, HELP_CONTEXT_PEN_TABLE},
        {&g_MainWnd, HELP_CONTEXT_MAIN},
    };

    void SetUp() override
    {
        ASSERT_NE(RegisterTestClass(), 0);
        savedOptions_ = g_Options;
        savedState_ = *g_CommandState;
        savedDrawCount_ = g_DrawWindowCount;
        for (const Handle &h : tools_)
            savedTools_.push_back(*h.global);
        g_Options.rulerVisible = 1;
        g_Options.buttonVisible = 0;
        g_Options.viewVisible = 1;
        g_Options.viewSimple = 0; // the view window with rulers as well
        g_DrawWindowCount = 2;
        int cell = 0;
        for (const Handle &h : tools_)
            *h.global = Square(cell++);
        drawing_ = Square(cell++);
        view_ = Square(cell++);
        foreign_ = Square(cell++);
        WindowInitRecord(&g_DrawWindows[1], drawing_, 0);
        WindowInitRecord(&g_ViewWindow, view_, 0);
    }

    void TearDown() override
    {
        WindowInitRecord(&g_DrawWindows[1], nullptr, 0);
        WindowInitRecord(&g_ViewWindow, nullptr, 0);
        for (HWND w : created_)
            DestroyWindow(w);
        for (size_t i = 0; i < tools_.size(); ++i)
            *tools_[i].global = savedTools_[i];
        g_Options = savedOptions_;
        *g_CommandState = savedState_;
        g_DrawWindowCount = savedDrawCount_;
    }

    HWND Square(int cell)
    {
        HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TEST_CLASS, "", WS_POPUP, (cell % 6) * CELL,
                                 (cell / 6) * CELL, CELL, CELL, nullptr, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
        EXPECT_NE(w, nullptr);
        ShowWindow(w, SW_SHOWNOACTIVATE);
        created_.push_back(w);
        return w;
    }

    HWND Child(HWND parent)
    {
        HWND w = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 10, 10, 60, 60, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(w, nullptr);
        return w;
    }

    // A screen point at (x, y) of the window's client area.
    static POINT At(HWND w, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(w, &p);
        return p;
    }
    static POINT Middle(HWND w) { return At(w, CELL / 2, CELL / 2); }

    ProgramOptions savedOptions_{};
    CommandState savedState_{};
    int32_t savedDrawCount_ = 0;
    std::vector<HWND> savedTools_;
    std::vector<HWND> created_;
    HWND drawing_ = nullptr, view_ = nullptr, foreign_ = nullptr;
};

TEST_F(ContextHelp, EachToolWindowHasItsPage)
{
    for (const Handle &h : tools_)
        EXPECT_EQ(ConvertContextHelpAt(*h.global, Middle(*h.global)), h.context) << h.context;
    EXPECT_EQ(ConvertContextHelpAt(foreign_, Middle(foreign_)), -1) << "a window of nobody we know";
    EXPECT_EQ(ConvertContextHelpAt(nullptr, POINT{0, 0}), -1);
    EXPECT_EQ(ConvertContextHelpAt(GetDesktopWindow(), POINT{0, 0}), -1);
}

TEST_F(ContextHelp, AControlCountsAsTheWindowThatHoldsIt)
{
    EXPECT_EQ(ConvertContextHelpAt(Child(hGlobalPenDialog), Middle(hGlobalPenDialog)), HELP_CONTEXT_PEN_TABLE);
    EXPECT_EQ(ConvertContextHelpAt(Child(hGlobalLayer), Middle(hGlobalLayer)), HELP_CONTEXT_LAYER_TREE);
    EXPECT_EQ(ConvertContextHelpAt(Child(foreign_), Middle(foreign_)), -1);
    // A box owned by the main window is not the main window.
    HWND owned = CreateWindowExA(0, TEST_CLASS, "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, g_MainWnd, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owned, nullptr);
    created_.push_back(owned);
    EXPECT_EQ(ConvertContextHelpAt(owned, POINT{5, 5}), -1);
}

TEST_F(ContextHelp, DrawingAreasAndTheirMargins)
{
    const RECT area = g_DrawWindows[1].areaRect;
    ASSERT_GT(area.left, 0) << "the rulers are shown";
    ASSERT_GT(area.top, 0);
    const RECT viewArea = g_ViewWindow.areaRect;
    const struct {
        HWND window;
        int x, y, context;
    } rows[] = {
        {drawing_, area.left + 20, area.top + 20, HELP_CONTEXT_DRAW_AREA},
        {drawing_, area.right - 1, area.bottom - 1, HELP_CONTEXT_DRAW_AREA},
        {drawing_, area.left + 20, area.top / 2, HELP_CONTEXT_MARGIN},  // top ruler
        {drawing_, area.left / 2, area.top + 20, HELP_CONTEXT_MARGIN},  // left ruler
        {drawing_, 1, 1, HELP_CONTEXT_MARGIN},                          // the corner
        {view_, viewArea.left + 20, viewArea.top + 20, HELP_CONTEXT_VIEW_AREA},
        {view_, viewArea.left + 20, viewArea.top / 2, HELP_CONTEXT_MARGIN},
    };
    for (const auto &r : rows) {
        TestStartCommand(501, 501);
        EXPECT_EQ(ConvertContextHelpAt(r.window, At(r.window, r.x, r.y)), r.context) << r.x << "," << r.y;
        TestStartCommand(1102, 501); // the area does not depend on cursor tracking
        EXPECT_EQ(ConvertContextHelpAt(r.window, At(r.window, r.x, r.y)), r.context) << r.x << "," << r.y;
    }
    // A drawing window that is not one of the program's any more.
    WindowInitRecord(&g_DrawWindows[1], nullptr, 0);
    EXPECT_EQ(ConvertContextHelpAt(drawing_, At(drawing_, area.left + 20, area.top + 20)), -1);
}

TEST_F(ContextHelp, HelpUnderThePointerEndsTheHelpPick)
{
    const POINT cell = Middle(hGlobalToolbox);
    ASSERT_TRUE(SetCursorPos(cell.x, cell.y));
    POINT now;
    ASSERT_TRUE(GetCursorPos(&now));
    if (WindowFromPoint(now) != hGlobalToolbox)
        GTEST_SKIP() << "the pointer cannot be placed on this display";

    SetState(1102, 501);
    const int before = g_TestHelp.count;
    ConvertShowContextHelp();
    EXPECT_EQ(g_TestHelp.count, before + 1);
    EXPECT_EQ(g_TestHelp.data, static_cast<ULONG_PTR>(HELP_CONTEXT_TOOLBOX));
    EXPECT_EQ(g_TestHelp.command, (UINT)HELP_CONTEXT);
    EXPECT_EQ(g_CommandState->commandId, 501) << "the interrupted command resumes";
    EXPECT_EQ(CommandMode(), TEMPLATE_FIXED_STEPS);

    // Over a window of nobody we know: no help, and the pick goes on.
    const POINT other = Middle(foreign_);
    ASSERT_TRUE(SetCursorPos(other.x, other.y));
    SetState(1102, 501);
    ConvertShowContextHelp();
    EXPECT_EQ(g_TestHelp.count, before + 1);
    EXPECT_EQ(g_CommandState->commandId, 1102);
    EXPECT_EQ(CommandMode(), TEMPLATE_HELP_PICK);
}

} // namespace
