// View changes through the drawing-window procedure: scroll bars, the wheel
// zoom about the cursor, and the class procedures beyond the window count.
#include <cmath>

#include "app/darad4.h"
#include "app/darad4_draw.h"
#include "app/system_defs.h"
#include "display/screen.h"
#include "screen_fixture.h"

namespace {

constexpr double TOL = 1e-7;

class ScreenView : public ScreenWindowTest {};

TEST_F(ScreenView, WheelFactor)
{
    EXPECT_NEAR(AppWheelFactor(120), 1.414213562373, 1e-12);
    EXPECT_NEAR(AppWheelFactor(-120), 1.0 / 1.414213562373, 1e-12);
    EXPECT_NEAR(AppWheelFactor(240), 1.414213562373 * 1.414213562373, 1e-12);
    EXPECT_EQ(AppWheelFactor(0), 0.0);
}

TEST_F(ScreenView, WheelZoomsAboutTheCursor)
{
    POINT screen{150, 90};
    ClientToScreen(hwnd_, &screen);
    ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
    POINT check;
    GetCursorPos(&check);
    if (check.x != screen.x || check.y != screen.y)
        GTEST_SKIP() << "the pointer cannot be moved here";
    double mx, my;
    MatrixApply(W().MatrixPixelToMM, 150.0, 90.0, &mx, &my);
    const int before = W().historyCount;
    AppMainMouseWheel(MAKEWPARAM(0, 120));
    EXPECT_NEAR(W().zoom, 1.414213562373, 1e-12);
    EXPECT_EQ(W().historyCount, before + 1);
    double px, py;
    MatrixApply(W().MatrixMMToPixel, mx, my, &px, &py);
    EXPECT_NEAR(px, 150.0, TOL) << "the point under the cursor stays put";
    EXPECT_NEAR(py, 90.0, TOL);
    AppMainMouseWheel(MAKEWPARAM(0, static_cast<WORD>(-120)));
    EXPECT_NEAR(W().zoom, 1.0, 1e-12);
    // No movement: nothing changes, nothing is pushed.
    AppMainMouseWheel(MAKEWPARAM(0, 0));
    EXPECT_EQ(W().historyCount, before + 2);
}

TEST_F(ScreenView, ScrollBarsMoveTheView)
{
    // 300 pixels is the smaller side of the area: at 4 px/mm, 75 mm.
    struct Row {
        UINT message;
        WORD code;
        double dx, dy;
    };
    const Row rows[] = {
        {WM_VSCROLL, SB_PAGEDOWN, 0.0, -0.95 * 75}, {WM_VSCROLL, SB_LINEUP, 0.0, 0.1 * 75},
        {WM_HSCROLL, SB_PAGERIGHT, 0.95 * 75, 0.0}, {WM_HSCROLL, SB_LINELEFT, -0.1 * 75, 0.0},
        {WM_VSCROLL, SB_THUMBTRACK, 0.0, 0.0},      {WM_HSCROLL, SB_ENDSCROLL, 0.0, 0.0},
    };
    for (const Row &r : rows) {
        WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 1.0);
        const int history = W().historyCount;
        SendMessageA(hwnd_, r.message, MAKEWPARAM(r.code, 0), 0);
        EXPECT_NEAR(W().centreX, r.dx, TOL) << r.message << " " << r.code;
        EXPECT_NEAR(W().centreY, r.dy, TOL) << r.message << " " << r.code;
        const bool moves = r.dx != 0.0 || r.dy != 0.0;
        EXPECT_EQ(W().historyCount, history + (moves ? 1 : 0));
    }
    // The thumb position: 0 is the page's top edge.
    SendMessageA(hwnd_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    EXPECT_NEAR(W().centreY, 148.5, TOL);
}

TEST_F(ScreenView, ClassProceduresBeyondTheCountOnlyDoDefaults)
{
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 1.0);
    g_DrawWindowCount = 1;
    // The class procedure of the second window with one window shown.
    AppDrawWndProc2(hwnd_, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(W().centreY, 0.0);
    EXPECT_EQ(g_DrawWindows[1].historyCount, 0);
    AppDrawWndProc1(hwnd_, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_NE(W().centreY, 0.0);
}

TEST_F(ScreenView, ARightButtonPopupSwallowsThePressAndRelease)
{
    g_PopupByRightButton = 1;
    EXPECT_EQ(SendMessageA(hwnd_, WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10)), 0);
    EXPECT_EQ(g_PopupByRightButton, 1u);
    SendMessageA(hwnd_, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(g_PopupByRightButton, 0u);
}

TEST_F(ScreenView, PaletteMessagesRealiseNothingAboveEightBits)
{
    g_ScreenColorBits = 24;
    EXPECT_EQ(SendMessageA(hwnd_, WM_QUERYNEWPALETTE, 0, 0), 0);
}

} // namespace

namespace {

TEST_F(ScreenView, ANewDrawingShowsTheActivePage)
{
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 77.0, 33.0, 5.0);
    WindowPushView(0);
    // The page becomes 100 x 50 mm with its bottom left corner at (10, 20).
    g_PageDefs.pages[0].format = 0;
    g_PageDefs.pages[0].anchor = 7;
    g_PageDefs.pages[0].refX = 10;
    g_PageDefs.pages[0].refY = 20;
    g_PageDefs.pages[0].width = 100;
    g_PageDefs.pages[0].height = 50;
    // Without a main window nothing is re-arranged; the next paint that
    // finds a relayout pending fits the page.
    WindowShowNewDrawing(nullptr);
    EXPECT_EQ(W().historyCount, 0);
    EXPECT_EQ(g_RelayoutPending, 0u);
    g_RelayoutPending = 1;
    PaintNow();
    g_RelayoutPending = 0;
    EXPECT_NEAR(W().centreX, 60.0, 1e-9);
    EXPECT_NEAR(W().centreY, 45.0, 1e-9);
    EXPECT_NEAR(W().zoom, TEST_AREA_WIDTH * 0.98 / (100.0 * 4), 1e-12);
    EXPECT_EQ(W().historyCount, 0);
}

} // namespace
