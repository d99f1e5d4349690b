// Drawing with the mouse in a real drawing window: the rubber band follows
// the cursor and erases itself without a trace, and the new object appears
// at the pixels the window's matrix gives.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "app/darad4.h"
#include "app/darad4_draw.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_path.h"
#include "common/test_commands.h"
#include "database/storage.h"
#include "database/undo.h"
#include "display/output.h"
#include "display/print.h"
#include "display/screen.h"

namespace {

class DrawWindowTest : public DrawingWindowTest {
protected:
    void SetUp() override
    {
        DrawingWindowTest::SetUp();
        UndoReset();
        g_UndoSteps = UNDO_WINDOW_DEFAULT;
    }
    // The client area of the window, read back as 32-bit pixels.
    static std::vector<uint32_t> Capture(HWND window)
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(AREA_W) * AREA_H);
        HDC screen = GetDC(window);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = AREA_W;
        info.bmiHeader.biHeight = -AREA_H;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void *bits = nullptr;
        HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dib && bits) {
            HGDIOBJ old = SelectObject(memory, dib);
            BitBlt(memory, 0, 0, AREA_W, AREA_H, screen, 0, 0, SRCCOPY);
            GdiFlush();
            std::memcpy(pixels.data(), bits, pixels.size() * sizeof(uint32_t));
            SelectObject(memory, old);
            DeleteObject(dib);
        }
        DeleteDC(memory);
        ReleaseDC(window, screen);
        return pixels;
    }
    void MoveTo(double x, double y)
    {
        const POINT p = Pixel(x, y);
        Send(WM_MOUSEMOVE, p.x, p.y);
    }
    uint32_t At(const std::vector<uint32_t> &pixels, POINT p)
    {
        return pixels[static_cast<size_t>(p.y) * AREA_W + p.x] & 0xFFFFFF;
    }
    // Pixels differing between two captures.
    static int Differences(const std::vector<uint32_t> &a, const std::vector<uint32_t> &b)
    {
        int n = 0;
        for (size_t i = 0; i < a.size(); ++i)
            n += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
        return n;
    }
    static size_t AliveCount()
    {
        size_t n = 0;
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
            ++n;
        return n;
    }

};

TEST_F(DrawWindowTest, AUserDrawsALineSeesTheRubberBandAndUndoesIt)
{
    ASSERT_EQ(g_CommandState->commandId, 501);
    // The probes lie away from the crosshair lines through the cursor.
    const POINT middle = Pixel(10.0, 8.0), quarter = Pixel(5.0, 4.0);
    const std::vector<uint32_t> empty = Capture(hwnd_);
    ASSERT_EQ(At(empty, middle), At(empty, quarter)) << "a plain background";

    ClickAt(0.0, 0.0);
    MoveTo(20.0, 16.0);
    const std::vector<uint32_t> banded = Capture(hwnd_);
    EXPECT_NE(At(banded, middle), At(empty, middle)) << "the rubber band runs to the cursor";
    MoveTo(-20.0, 16.0);
    EXPECT_EQ(At(Capture(hwnd_), middle), At(empty, middle)) << "and leaves no trace when it moves";

    ClickAt(20.0, 16.0);
    ASSERT_EQ(AliveCount(), 1u);
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "ready for the next line";
    MoveTo(-30.0, -20.0); // the crosshair away from the probes
    const std::vector<uint32_t> drawn = Capture(hwnd_);
    EXPECT_NE(At(drawn, middle), At(empty, middle)) << "the new line at the window's matrix position";
    EXPECT_NE(At(drawn, quarter), At(empty, quarter));
    const POINT off = Pixel(10.0, -8.0);
    EXPECT_EQ(At(drawn, off), At(empty, off)) << "and nowhere else";

    ASSERT_EQ(CommandUndoRedo(0), 1);
    TestPumpUntilIdle();
    EXPECT_EQ(AliveCount(), 0u);
    EXPECT_EQ(At(Capture(hwnd_), middle), At(empty, middle)) << "undo repaints the line away";
}

TEST_F(DrawWindowTest, CirclesAndArcsAreDrawnWithTheMouse)
{
    g_DrawingSettings.displayArcs = 1;
    g_DrawingSettings.displayArcsMode = 0;
    CommandExecute(536, 1);
    ClickAt(-15.0, 0.0);
    ClickAt(-5.0, 0.0);
    CommandExecute(548, 1);
    ASSERT_EQ(g_CommandState->commandId, 548);
    const double clicks[4][2] = {{15, 0}, {25, 0}, {30, 0}, {15, 10}};
    for (const auto &p : clicks)
        ClickAt(p[0], p[1]);
    EXPECT_EQ(AliveCount(), 2u);
    MoveTo(-30.0, -20.0);
    const std::vector<uint32_t> drawn = Capture(hwnd_);
    const double h = 10 * std::sqrt(0.5);
    const POINT onCircle = Pixel(-15.0 + h, h), onArc = Pixel(15.0 + h, h), offArc = Pixel(15.0 - h, -h);
    EXPECT_NE(At(drawn, onCircle), At(drawn, offArc));
    EXPECT_NE(At(drawn, onArc), At(drawn, offArc)) << "the quarter arc counter-clockwise, not the rest";
}

// Drawing and erasing the rubber band again and again, with valid and
// invalid constructions, gives the window back pixel for pixel.
TEST_F(DrawWindowTest, RandomRubberBandCyclesLeaveNoTrace)
{
    g_DrawingSettings.displayArcsMode = 1; // sectors: fixed and moving shapes
    ScreenHideCrosshairs();
    std::mt19937 random(42);
    std::uniform_real_distribution<double> coordinate(-60.0, 60.0);
    for (int command : {548, 550, 512, 559}) {
        SCOPED_TRACE(command);
        TestStartCommand(command, command);
        const std::vector<double> points = {0, 0, 30, 0, 20, 20};
        for (size_t k = 0; k + 1 < points.size() && g_CommandState->pointIndex < 2; k += 2)
            ASSERT_EQ(InputPoint(points[k], points[k + 1], 1), INPUT_CONTINUE);
        InputMove(20.0, 20.0);
        TestPumpUntilIdle();
        const std::vector<uint32_t> before = Capture(hwnd_);
        InputFeedbackShow(4);
        EXPECT_GT(Differences(before, Capture(hwnd_)), 0) << "something is shown";
        for (int i = 0; i < 200; ++i) {
            InputFeedbackHide(1);
            // Every seventh position lies on the chord: no circle through it.
            const double x = coordinate(random), y = i % 7 == 0 ? 0.0 : coordinate(random);
            InputMove(x, y);
            InputFeedbackShow(1);
        }
        InputFeedbackHide(4);
        EXPECT_EQ(Differences(before, Capture(hwnd_)), 0);
    }
}

// The path commands' rubber band: the segment at the cursor moves, the
// path entered so far stays, and both go without a trace.
TEST_F(DrawWindowTest, PathRubberBandLeavesNoTrace)
{
    ScreenHideCrosshairs();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-40.0, 40.0);
    struct Case {
        int command;
        int32_t segments;
        int entered; // points entered before the cursor's step
    };
    for (const Case c : {Case{574, PATH_SEGMENT_BEZIER, 5}, Case{575, PATH_SEGMENT_THREE_POINT_ARC, 4},
                         Case{575, PATH_SEGMENT_LINES, 3}, Case{574, PATH_SEGMENT_BEZIER, 6}}) {
        SCOPED_TRACE(c.command);
        TestStartCommand(c.command, c.command);
        ASSERT_EQ(InputPolylineApplySegment(1, c.segments, 0.0), INPUT_CONTINUE);
        for (int i = 0; i < c.entered; ++i) {
            g_InputPoints[i].x = -30.0 + 12.0 * i;
            g_InputPoints[i].y = i % 2 ? 10.0 : -10.0;
        }
        InputSetIndex(c.entered);
        InputMove(25.0, 20.0);
        TestPumpUntilIdle();
        // A timer run while pumping may already have shown the band: start from a clean window.
        InputFeedbackHide(4);
        const std::vector<uint32_t> before = Capture(hwnd_);
        InputFeedbackShow(4);
        EXPECT_GT(Differences(before, Capture(hwnd_)), 0) << "the path is shown";
        for (int i = 0; i < 100; ++i) {
            InputFeedbackHide(1);
            InputMove(coordinate(random), coordinate(random));
            InputFeedbackShow(1);
        }
        InputFeedbackHide(4);
        EXPECT_EQ(Differences(before, Capture(hwnd_)), 0);
    }
}

// The pointer's frame with its nine handle pictures inverts the screen and
// gives it back.
TEST_F(DrawWindowTest, HandlesLeaveNoTrace)
{
    ScreenHideCrosshairs();
    TestStartCommand(403, 403);
    CommandState &cs = *g_CommandState;
    const double rect[4] = {-20.0, -10.0, 20.0, 10.0};
    std::memcpy(cs.rect, rect, sizeof rect);
    InputSetIndex(1);
    cs.pointValid = 1;
    TestPumpUntilIdle();
    const std::vector<uint32_t> before = Capture(hwnd_);
    InputFeedbackShow(4);
    const std::vector<uint32_t> shown = Capture(hwnd_);
    EXPECT_GT(Differences(before, shown), 9 * 20) << "the frame and nine pictures";
    const POINT corner = Pixel(-20.0, -10.0);
    EXPECT_NE(At(shown, {corner.x + 5, corner.y}), At(before, {corner.x + 5, corner.y})) << "a corner's box";
    for (int i = 0; i < 50; ++i) {
        InputFeedbackHide(1);
        InputMove(i * 0.5, -i * 0.25);
        InputFeedbackShow(1);
    }
    InputFeedbackHide(4);
    EXPECT_EQ(Differences(before, Capture(hwnd_)), 0);
}

uint32_t CancelPrintLayout(HWND, const char *) { return 0; }

// The print area's two corners leave no marks once its dialog closes: the
// input starts again and only then are the crosshair and band shown.
TEST_F(DrawWindowTest, APrintAreaLeavesNoCornerMarks)
{
    const PrintLayoutDialog saved = g_PrintLayoutDialog;
    g_PrintLayoutDialog = CancelPrintLayout;
    // The real cursor rests in the window, away from the corners: the
    // crosshair comes back there after each click.
    POINT savedCursor{};
    GetCursorPos(&savedCursor);
    const POINT rest = Pixel(-30.0, -20.0);
    POINT screen = rest;
    ClientToScreen(hwnd_, &screen);
    SetCursorPos(screen.x, screen.y);
    CommandExecute(124, 1);
    ASSERT_EQ(g_CommandState->commandId, 124);
    Send(WM_MOUSEMOVE, rest.x, rest.y);
    TestPumpUntilIdle();
    const std::vector<uint32_t> before = Capture(hwnd_);
    ClickAt(-20.0, 10.0);
    ClickAt(20.0, -10.0);
    Send(WM_MOUSEMOVE, rest.x, rest.y);
    TestPumpUntilIdle();
    g_PrintLayoutDialog = saved;
    SetCursorPos(savedCursor.x, savedCursor.y);
    EXPECT_EQ(g_CommandState->commandId, 124);
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "ready for the next area";
    const std::vector<uint32_t> after = Capture(hwnd_);
    for (const POINT corner : {Pixel(-20.0, 10.0), Pixel(20.0, -10.0)})
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                const POINT p{corner.x + dx, corner.y + dy};
                ASSERT_EQ(At(after, p), At(before, p)) << "a mark left at " << p.x << "," << p.y;
            }
}

} // namespace
