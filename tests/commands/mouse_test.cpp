// The mouse in a real drawing window: messages sent to the window as the
// system would send them reach the running command, the right button
// finishes, Space turns clicks into zooms, and the margin buttons act on
// release over the button they were pressed on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "app/darad4_draw.h"
#include "app/status.h"
#include "app/system.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_keys.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "common/dialog_driver.h"
#include "common/test_commands.h"
#include "dialogs/box08_editterm.h"
#include "dialogs/box13.h"
#include "display/screen.h"

namespace {

using Mouse = DrawingWindowTest;

TEST_F(Mouse, MovesFeedTheCommandAndTwoClicksDrawALine)
{
    Record(501);
    const POINT p = Pixel(10.0, 5.0);
    Send(WM_MOUSEMOVE, p.x, p.y);
    EXPECT_NEAR(g_InputPoints[0].x, 10.0, 0.5);
    EXPECT_NEAR(g_InputPoints[0].y, 5.0, 0.5);
    EXPECT_NEAR(g_ConstructionPoints[0].x, 10.0, 0.5) << "the construction follows the cursor";

    ClickAt(10.0, 5.0);
    EXPECT_EQ(g_CommandState->pointIndex, 1);
    const POINT q = Pixel(-20.0, 8.0);
    Send(WM_MOUSEMOVE, q.x, q.y);
    EXPECT_NEAR(g_ConstructionPoints[1].x, -20.0, 0.5);
    ClickAt(-20.0, 8.0);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].command, 501);
    EXPECT_EQ(Calls()[0].pointIndex, 2);
    EXPECT_NEAR(Calls()[0].x0, 10.0, 0.5);
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "the line command starts again";
}

namespace {
std::vector<int> s_PaletteModes;
int AnswerPalette(int mode)
{
    s_PaletteModes.push_back(mode);
    return 511;
}
} // namespace

TEST_F(Mouse, TheRightButtonFinishesOrOpensTheMenu)
{
    Record(501);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 640, "line");
    g_CommandContextMenu = menu;
    g_Options.rButtonMode = 1;
    {
        TestPopupAnswer answer(640);
        const POINT p = Pixel(0.0, 0.0);
        Send(WM_RBUTTONDOWN, p.x, p.y, MK_RBUTTON);
        EXPECT_EQ(answer.asked(), 1) << "nothing entered: the right-button menu";
        Send(WM_RBUTTONUP, p.x, p.y); // swallowed after a popup
        EXPECT_EQ(Posted(), std::vector<int>{640});

        ClickAt(1.0, 1.0);
        Send(WM_RBUTTONDOWN, p.x, p.y, MK_RBUTTON);
        Send(WM_RBUTTONUP, p.x, p.y);
        EXPECT_EQ(answer.asked(), 1) << "a point entered: the command is finished instead";
        EXPECT_EQ(g_CommandState->pointIndex, 0);
        EXPECT_TRUE(Calls().empty()) << "a fixed-step command does not run on the right button";
    }
    g_CommandContextMenu = nullptr;
    DestroyMenu(menu);

    // Mode 0: the command palette, offering only enabled commands.
    g_Options.rButtonMode = 0;
    s_PaletteModes.clear();
    g_Box13PopupSink = AnswerPalette;
    {
        const POINT p = Pixel(0.0, 0.0);
        Send(WM_RBUTTONDOWN, p.x, p.y, MK_RBUTTON);
        Send(WM_RBUTTONUP, p.x, p.y);
    }
    g_Box13PopupSink = nullptr;
    EXPECT_EQ(s_PaletteModes, std::vector<int>{1});
    EXPECT_EQ(Posted(), std::vector<int>{511});

    // A symbol insertion (mode 4) gives way to the interrupted command.
    ASSERT_EQ(SymbolCreateEmptyBlock(SYMBOL_OWN_LIBRARY, "B", nullptr), 1);
    lstrcpyA(g_Options.insertSlots[0].nameLibrary, SYMBOL_OWN_LIBRARY);
    lstrcpyA(g_Options.insertSlots[0].nameBlock, "B");
    CommandExecute(5340, 0);
    EXPECT_EQ(g_CommandState->commandId, 5340);
    const POINT p = Pixel(0.0, 0.0);
    Send(WM_RBUTTONDOWN, p.x, p.y, MK_RBUTTON);
    EXPECT_EQ(g_CommandState->commandId, 501);
    g_Options.insertSlots[0].nameLibrary[0] = g_Options.insertSlots[0].nameBlock[0] = '\0';
}

TEST_F(Mouse, EscapeStepsBackAndBeepsAtTheFirstStep)
{
    ClickAt(3.0, 3.0);
    CommandExecute(1009, 1);
    EXPECT_EQ(g_CommandState->pointIndex, 0);
    TestBeeps beeps;
    CommandExecute(1009, 1);
    EXPECT_EQ(beeps.count(), 1u);
}

TEST_F(Mouse, SpaceHeldTurnsClicksIntoZooms)
{
    Record(501);
    const double zoom = W().zoom;
    const int history = W().historyCount;
    CommandKeyDown(VK_SPACE, 0);
    ClickAt(0.0, 0.0);
    ClickAt(0.0, 0.0);
    EXPECT_NEAR(W().zoom, zoom * 4.0, 1e-9) << "two clicks zoom by 4";
    EXPECT_EQ(W().historyCount, history + 1) << "the view is pushed once";
    const POINT p = Pixel(0.0, 0.0);
    Send(WM_RBUTTONDOWN, p.x, p.y, MK_RBUTTON);
    EXPECT_NEAR(W().zoom, zoom * 2.0, 1e-9) << "the right button zooms out";
    CommandKeyUp(VK_SPACE, 0);
    EXPECT_TRUE(Posted().empty()) << "no redraw after a zoom click";
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "no point was entered";
    EXPECT_TRUE(Calls().empty());
}

TEST_F(Mouse, TheWheelZoomsTheWindowUnderTheCursorOrTheActiveOne)
{
    const double zoom = W().zoom;
    AppMainMouseWheel(MAKEWPARAM(0, 120));
    EXPECT_NEAR(W().zoom, zoom * std::sqrt(2.0), 1e-6);
    AppMainMouseWheel(MAKEWPARAM(0, static_cast<WORD>(-120)));
    EXPECT_NEAR(W().zoom, zoom, 1e-6);
}

TEST_F(Mouse, MarginButtonsActOnReleaseOverTheButton)
{
    Record(367);
    const POINT b = Centre(W().buttonRects[7]);
    ASSERT_GE(W().buttonRects[7].left, 0) << "window 0 has its tool toggles";
    Send(WM_LBUTTONDOWN, b.x, b.y, MK_LBUTTON);
    EXPECT_EQ(W().pressedButton, 7);
    Send(WM_MOUSEMOVE, AREA_W / 2, AREA_H / 2, MK_LBUTTON);
    EXPECT_EQ(W().hoverButton, -1) << "moved off: the down look goes";
    Send(WM_LBUTTONUP, AREA_W / 2, AREA_H / 2);
    EXPECT_TRUE(Calls().empty()) << "released elsewhere: nothing runs";
    EXPECT_EQ(W().pressedButton, -1);

    Send(WM_LBUTTONDOWN, b.x, b.y, MK_LBUTTON);
    Send(WM_LBUTTONUP, b.x, b.y);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].command, 367);
    EXPECT_EQ(g_CommandDefaults.lastCommands[0], 501) << "margin buttons are not remembered";

    Record(377);
    Send(WM_RBUTTONDOWN, b.x, b.y, MK_RBUTTON);
    Send(WM_RBUTTONUP, b.x, b.y);
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[1].command, 377);
}

TEST_F(Mouse, AReleaseOutsideTheCapturedWindowHasNegativeCoordinates)
{
    const POINT p = AppMousePoint(MAKELPARAM(static_cast<WORD>(-5), static_cast<WORD>(-7)));
    EXPECT_EQ(p.x, -5);
    EXPECT_EQ(p.y, -7);
    // Pressed on button 0 (bottom left) and released left of the window: no action.
    g_Options.buttonVisible = 1;
    WindowComputeAreas(0);
    Record(1028);
    const POINT b = Centre(W().buttonRects[0]);
    Send(WM_RBUTTONDOWN, b.x, b.y, MK_RBUTTON);
    SendMessageA(hwnd_, WM_RBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-3), static_cast<WORD>(b.y)));
    EXPECT_TRUE(Calls().empty());
}

TEST_F(Mouse, TheMiddleButtonRunsItsCommand)
{
    g_Options.mButtonMode = 4;
    g_Options.mButtonCommand = 1028;
    Send(WM_MBUTTONDOWN, 10, 10, MK_MBUTTON);
    Send(WM_MBUTTONUP, 10, 10);
    EXPECT_EQ(Posted(), std::vector<int>{1028});
}

TEST_F(Mouse, AModalDialogKeepsTheMouseAway)
{
    Record(501);
    g_ModalDepth = 1;
    ClickAt(1.0, 1.0);
    g_ModalDepth = 0;
    EXPECT_EQ(g_CommandState->pointIndex, 0);
}

} // namespace

namespace {

int s_PopupAsked = -1;
RECT s_PopupAnchor;
void RecordPopup(int, int popup, const RECT &anchor)
{
    s_PopupAsked = popup;
    s_PopupAnchor = anchor;
}

TEST_F(Mouse, TheCornerButtonsOpenTheirPopupsAtTheButton)
{
    g_Options.buttonVisible = 1;
    WindowComputeAreas(0);
    const POINT b = Centre(W().buttonRects[1]);
    {
        TestBeeps beeps;
        Send(WM_LBUTTONDOWN, b.x, b.y, MK_LBUTTON);
        Send(WM_LBUTTONUP, b.x, b.y);
        EXPECT_EQ(beeps.count(), 1u) << "no popups yet";
    }
    g_CommandMarginPopup = RecordPopup;
    Send(WM_LBUTTONDOWN, b.x, b.y, MK_LBUTTON);
    Send(WM_LBUTTONUP, b.x, b.y);
    g_CommandMarginPopup = nullptr;
    EXPECT_EQ(s_PopupAsked, MARGIN_POPUP_SYSTEM);
    POINT origin{0, 0};
    ClientToScreen(hwnd_, &origin);
    EXPECT_EQ(s_PopupAnchor.left, W().buttonRects[1].left + origin.x);
    EXPECT_EQ(s_PopupAnchor.bottom, W().buttonRects[1].bottom + origin.y);
}

} // namespace

namespace {

using SnapCalculator = DialogDrawingWindowTest;

// With the calculator's snap bit a click in a coordinate step opens the
// point-entry calculator on the clicked point: Cancel refuses the click, OK
// takes the calculator's point.
TEST_F(SnapCalculator, AClickOpensTheCalculatorOnItsPoint)
{
    if (!g_MsgClick)
        g_MsgClick = RegisterWindowMessageA("DARAD4_CLICK");
    struct KeepSnap {
        LocalSnap saved = g_LocalData.snap;
        std::vector<uint8_t> record = std::vector<uint8_t>(reinterpret_cast<uint8_t *>(&g_CoordEntryRecord),
                                                           reinterpret_cast<uint8_t *>(&g_CoordEntryRecord + 1));
        ~KeepSnap()
        {
            g_LocalData.snap = saved;
            std::memcpy(&g_CoordEntryRecord, record.data(), record.size());
        }
    } keep;
    g_LocalData.snap.switches[0] = 1;
    g_LocalData.snap.snapModes = 0x100; // no snap mode, only the calculator
    TestStartCommand(501, 501);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDCANCEL); }});
        ClickAt(10.0, 5.0);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "cancelled: the click is refused";
    {
        // The first field, Tab to the second, Return.
        DialogDriver driver({[](HWND d) {
                                 SetDlgItemTextA(d, 200, "12");
                                 TestPressKey(d, VK_TAB);
                             },
                             [](HWND d) {
                                 SetDlgItemTextA(d, 200, "7");
                                 TestClickButton(d, IDOK);
                             }});
        ClickAt(10.0, 5.0);
        EXPECT_EQ(driver.stepsDone(), 2);
    }
    // The calculator starts from the clicked point: the typed values are offsets from it.
    EXPECT_EQ(g_CommandState->pointIndex, 1) << "the calculator's point is taken";
    EXPECT_NEAR(g_InputPoints[0].x, 10.0 + 12.0, 0.5);
    EXPECT_NEAR(g_InputPoints[0].y, 5.0 + 7.0, 0.5);
}

} // namespace
