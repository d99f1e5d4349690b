// Menu state on a real menu read back with GetMenuState, the flag table, and
// the placement of popups.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/darad4.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "database/undo.h"

namespace {

// A menu holding every command the rules name, and the state they read.
class MenuStateTest : public ::testing::Test {
protected:
    HMENU menu = nullptr;
    int32_t savedCount = 0, savedMode = 0, savedStep = 0, savedOldest = 0, savedNewest = 0;
    ProgramOptions savedOptions{};
    DrawingSettings savedSettings{};
    void SetUp() override
    {
        menu = CreatePopupMenu();
        for (UINT id = 100; id < 1110; ++id)
            AppendMenuA(menu, MF_STRING, id, "x");
        savedCount = g_DrawWindowCount;
        savedMode = CommandTemplateWords().mode;
        savedStep = g_UndoStep;
        savedOldest = g_UndoOldest;
        savedNewest = g_UndoNewest;
        savedOptions = g_Options;
        savedSettings = g_DrawingSettings;
        CommandTemplateWords().mode = TEMPLATE_FIXED_STEPS;
    }
    void TearDown() override
    {
        DestroyMenu(menu);
        g_DrawWindowCount = savedCount;
        CommandTemplateWords().mode = savedMode;
        g_UndoStep = savedStep;
        g_UndoOldest = savedOldest;
        g_UndoNewest = savedNewest;
        g_Options = savedOptions;
        g_DrawingSettings = savedSettings;
    }
    bool Grey(UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED; }
    bool Ticked(UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED; }
};

TEST_F(MenuStateTest, WindowArrangementsNeedMoreWindows)
{
    struct Row {
        int32_t windows;
        int32_t mode;
        bool grey364, grey365, grey366;
    };
    const Row rows[] = {
        {1, TEMPLATE_FIXED_STEPS, true, true, true},  {2, TEMPLATE_FIXED_STEPS, false, true, true},
        {3, TEMPLATE_FIXED_STEPS, false, false, true}, {4, TEMPLATE_FIXED_STEPS, false, false, false},
        {1, TEMPLATE_HELP_PICK, false, false, false},
    };
    for (const Row &r : rows) {
        g_DrawWindowCount = r.windows;
        CommandTemplateWords().mode = r.mode;
        CommandInitMenuPopup(menu);
        EXPECT_EQ(Grey(364), r.grey364) << r.windows << " " << r.mode;
        EXPECT_EQ(Grey(365), r.grey365) << r.windows << " " << r.mode;
        EXPECT_EQ(Grey(366), r.grey366) << r.windows << " " << r.mode;
        CommandFlagTable table;
        CommandGetFlags(&table);
        EXPECT_EQ((table.flags[364] & COMMAND_FLAG_DISABLED) != 0, r.grey364);
    }
}

TEST_F(MenuStateTest, UndoRedoAndPasteFollowTheirState)
{
    g_UndoOldest = g_UndoNewest = g_UndoStep = 10;
    CommandInitMenuPopup(menu);
    EXPECT_TRUE(Grey(200));
    EXPECT_TRUE(Grey(201));
    EXPECT_TRUE(Grey(202));
    g_UndoNewest = 11;
    CommandInitMenuPopup(menu);
    EXPECT_FALSE(Grey(201));
    EXPECT_FALSE(Grey(202));

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    CommandInitMenuPopup(menu);
    EXPECT_TRUE(Grey(205));

    HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + 4);
    auto *h = static_cast<BITMAPINFOHEADER *>(GlobalLock(dib));
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = h->biHeight = 1;
    h->biPlanes = 1;
    h->biBitCount = 32;
    GlobalUnlock(dib);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_DIB, dib);
    CloseClipboard();
    CommandInitMenuPopup(menu);
    EXPECT_FALSE(Grey(205));
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
}

TEST_F(MenuStateTest, SwitchesAreTicked)
{
    g_Options.toolboxVisible = 1;
    g_Options.guideVisible = 0;
    g_DrawingSettings.displayArcsMode = 1;
    g_DrawingSettings.displayOrtho = 1;
    g_LocalData.snap.snapModes = 0x5;
    CommandInitMenuPopup(menu);
    EXPECT_TRUE(Ticked(372));
    EXPECT_FALSE(Ticked(375));
    EXPECT_FALSE(Ticked(567));
    EXPECT_TRUE(Ticked(568));
    EXPECT_TRUE(Ticked(1012));
    EXPECT_TRUE(Ticked(1016));
    EXPECT_FALSE(Ticked(1017));
    EXPECT_TRUE(Ticked(1018));
    CommandFlagTable table;
    CommandGetFlags(&table);
    EXPECT_EQ(table.flags[568], COMMAND_FLAG_CHECKED);
    EXPECT_EQ(table.flags[101], 0);
}

} // namespace

namespace {

RECT g_PopupRect{};
int32_t g_CommandDuringPopup = 0;

void CALLBACK MeasurePopup(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND popup = FindWindowA("#32768", nullptr);
    if (popup)
        GetWindowRect(popup, &g_PopupRect);
    g_CommandDuringPopup = g_CommandState->commandId;
    EndMenu();
}

// Shows a three-item popup anchored at the rectangle; the popup's place.
RECT TrackAt(HWND owner, const RECT &anchor, int title)
{
    HMENU menu = CreatePopupMenu();
    for (UINT id = 1; id <= 3; ++id)
        AppendMenuA(menu, MF_STRING, id, "item");
    g_PopupRect = RECT{};
    SetTimer(nullptr, 0, 50, MeasurePopup);
    CommandTrackPopup(owner, menu, title, &anchor);
    DestroyMenu(menu);
    return g_PopupRect;
}

TEST(PopupPlacement, APopupOpensAwayFromTheNearScreenEdge)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(owner);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const RECT right{width - 100, 300, width - 80, 320};
    const int32_t running = g_CommandState->commandId;
    const RECT r = TrackAt(owner, right, 337);
    EXPECT_EQ(r.right, right.left);        // to the left of a button in the right half
    EXPECT_EQ(g_CommandDuringPopup, 337);  // the popup's own command meanwhile
    EXPECT_EQ(g_CommandState->commandId, running);
    const RECT left{80, 300, 100, 320};
    const RECT l = TrackAt(owner, left, 0);
    EXPECT_EQ(l.left, left.right);         // to the right of one in the left half
    EXPECT_EQ(g_CommandDuringPopup, running);
    DestroyWindow(owner);
    g_PopupByRightButton = 0;
}

} // namespace
