// Highlights of selected objects and pick candidates in a real window, and
// the redraw abort check.
#include <cmath>
#include <vector>

#include "app/init_gdi.h"
#include "app/system.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "database/object_ident.h"
#include "database/object_select.h"
#include "database/undo.h"
#include "display/output.h"
#include "display/output_paint.h"
#include "display/output_select.h"
#include "geometry/calc.h"
#include "screen_fixture.h"

namespace {

constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr int CHECKS_BEFORE_LOOK = 32;

class Highlight : public ScreenWindowTest {
protected:
    void SetUp() override
    {
        ScreenWindowTest::SetUp();
        g_IdentifyResult.window = -1;
    }
    void TearDown() override
    {
        g_IdentifyResult.window = -1;
        g_CommandSpaceZoom = SPACE_ZOOM_IDLE;
        DrainQueue();
        ScreenWindowTest::TearDown();
    }
    // Colours along the row of a horizontal line from x0 to x1 (drawing mm).
    std::vector<COLORREF> Row(double x0, double x1, double y)
    {
        std::vector<COLORREF> row;
        const POINT a = Pixel(x0, y), b = Pixel(x1, y);
        for (int x = a.x; x <= b.x; ++x)
            row.push_back(PixelColour(x, a.y));
        return row;
    }
    static int CountOf(const std::vector<COLORREF> &row, COLORREF c)
    {
        int n = 0;
        for (COLORREF x : row)
            n += x == c;
        return n;
    }
    static COLORREF Flag(int i) { return InitStandardColor(g_DrawingSettings.colorFlag[i]) & 0xFFFFFF; }
    void DrainQueue()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_MOUSELAST, PM_REMOVE)) {
        }
    }
    // The abort check on the screen output, as a redraw calls it: the
    // number of the call that stopped, 0 when none of `calls` did.
    int ChecksUntilStop(int calls)
    {
        g_OutputContext.mode = OUTPUT_SCREEN;
        OutputResetAbort();
        for (int i = 1; i <= calls; ++i)
            if (OutputCheckAbort())
                return i;
        return 0;
    }
    void PostKey(WPARAM key, bool repeated)
    {
        PostMessageA(hwnd_, WM_KEYDOWN, key, 1 | (repeated ? (1u << 30) : 0));
    }
};

TEST_F(Highlight, SelectedObjectsAreRedrawnInTheSelectionColourAndBack)
{
    Unit *line = TestNewLine(-20.0, 0.0, 20.0, 0.0);
    PaintNow();
    ASSERT_GT(CountOf(Row(-15, 15, 0), BLACK), 0);
    ASSERT_EQ(ObjectSelectByRectangle(-30, -5, 30, 5, -1, 0), 1);
    OutputRedrawSelection();
    const std::vector<COLORREF> selected = Row(-15, 15, 0);
    EXPECT_GT(CountOf(selected, Flag(1)), 0) << "the dotted selection pen";
    EXPECT_EQ(CountOf(selected, BLACK), 0);
    EXPECT_EQ(line->flags & UNIT_SELECTION_REDRAW, 0u) << "the last window of the batch clears the bit";
    EXPECT_EQ(ObjectDeselectAll(), 1);
    OutputRedrawSelection();
    const std::vector<COLORREF> plain = Row(-15, 15, 0);
    EXPECT_EQ(CountOf(plain, Flag(1)), 0);
    EXPECT_EQ(CountOf(plain, BLACK), static_cast<int>(plain.size())) << "its own look again";
    // A repaint keeps the highlight of a selected object.
    ObjectSelectByMask(0, 0);
    PaintNow();
    EXPECT_GT(CountOf(Row(-15, 15, 0), Flag(1)), 0);
}

// The redraw after a change of the selection takes the changed objects from
// the undo notes and draws them in list order, each over the ones before
// it, as the walk of the list does; it also finds what a plug-in flagged
// without noting it.
TEST_F(Highlight, TheSelectionRedrawDrawsWhatTheWalkDraws)
{
    // Enough objects beyond the window for the pick index to serve.
    constexpr int FAR_LINES = 24000;
    for (int i = 0; i < FAR_LINES; ++i)
        TestNewLine(1e5 + (i % 200) * 10.0, (i / 200) * 10.0, 1e5 + (i % 200) * 10.0 + 5.0, (i / 200) * 10.0);
    // Lines through one point.
    constexpr int STAR = 6;
    std::vector<Unit *> star;
    for (int k = 0; k < STAR; ++k) {
        const double a = k * CALC_PI / STAR, dx = 20.0 * std::cos(a), dy = 20.0 * std::sin(a);
        star.push_back(TestNewLine(-dx, -dy, dx, dy));
        UndoAssignIdent(star.back());
    }
    UndoInitProcess(); // the loaded lines settle: from now on the notes serve
    UndoFinishProcess();
    std::vector<uint32_t> shown[2];
    for (int walked = 0; walked < 2; ++walked) {
        PaintNow();
        // The walk is what follows a call into a plug-in.
        auto redraw = [&] {
            if (walked)
                UndoNoteForeignFlags();
            OutputRedrawSelection();
        };
        for (int k = 0; k < STAR; k += 2)
            ObjectSelectByIdent(star[k]->ident);
        redraw();
        // Every other one off, the others on: plain and highlighted lines
        // are drawn over each other at the centre.
        ASSERT_EQ(ObjectSelectByRectangle(-30, -30, 30, 30, -1, 0), 1);
        redraw();
        shown[walked] = Grab();
        ObjectDeselectAll();
        redraw();
        EXPECT_EQ(CountOf(Row(-15, 15, 0), Flag(1)), 0) << walked;
    }
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_NE(shown[0], Grab()) << "something was highlighted";

    UndoNoteForeignFlags();
    star[0]->flags |= UNIT_SELECTED | UNIT_SELECTION_REDRAW; // as a plug-in may
    OutputRedrawSelection();
    EXPECT_GT(CountOf(Row(-15, 15, 0), Flag(1)), 0) << "the plug-in's selection drawn";
    EXPECT_EQ(star[0]->flags & UNIT_SELECTION_REDRAW, 0u);
    EXPECT_EQ(ObjectSelectionReset(), 1);
}

TEST_F(Highlight, TheCandidateHighlightTogglesAndHandlesShowPoints)
{
    Unit *line = TestNewLine(-20.0, 5.0, 20.0, 5.0);
    PaintNow();
    const std::vector<uint32_t> before = Grab();
    line->flags |= UNIT_HIGHLIGHTED;
    g_IdentifyResult.window = 0;
    OutputDrawSelectionInWindow(0, line, 1);
    EXPECT_NE(Grab(), before) << "drawn";
    OutputDrawSelectionInWindow(0, line, 1);
    EXPECT_EQ(Grab(), before) << "drawn twice: removed";
    line->flags &= ~UNIT_HIGHLIGHTED;

    UnitElementAt(line, 1)->pointFlags |= POINT_SELECTED;
    line->flags |= UNIT_POINTS_SELECTED;
    PaintNow();
    const POINT p = Pixel(-20.0, 5.0);
    EXPECT_EQ(PixelColour(p.x + 1, p.y + 1) & 0xFFFFFF, Flag(3)) << "the box of a selected point";
    EXPECT_EQ(g_CommandState->handlesDrawn, 1);
}

TEST_F(Highlight, AFirstKeyPressStopsAtTheThirtyThirdCheck)
{
    DrainQueue();
    EXPECT_EQ(ChecksUntilStop(100), 0) << "an empty queue";
    PostKey('A', false);
    EXPECT_EQ(ChecksUntilStop(100), CHECKS_BEFORE_LOOK + 1);
    EXPECT_EQ(OutputAborted(), 1);
    DrainQueue();
    PostKey('A', true);
    EXPECT_EQ(ChecksUntilStop(100), 0) << "an auto-repeated letter does not stop";
    DrainQueue();
    PostKey(VK_RIGHT, true);
    EXPECT_EQ(ChecksUntilStop(100), CHECKS_BEFORE_LOOK + 1) << "a held arrow key does";
    DrainQueue();
    PostMessageA(hwnd_, WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(ChecksUntilStop(40), CHECKS_BEFORE_LOOK + 1);
    DrainQueue();
}

TEST_F(Highlight, SpaceZoomAndDevicesKeepDrawing)
{
    g_CommandSpaceZoom = SPACE_ZOOM_HELD;
    PostKey('A', false);
    EXPECT_EQ(ChecksUntilStop(100), 0) << "keys do not stop while Space zooms";
    PostMessageA(hwnd_, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(ChecksUntilStop(100), CHECKS_BEFORE_LOOK + 1) << "a click does";
    g_CommandSpaceZoom = SPACE_ZOOM_IDLE;
    DrainQueue();
    PostKey('A', false);
    g_OutputContext.mode = OUTPUT_PRINTER;
    OutputResetAbort();
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(OutputCheckAbort(), 0);
    DrainQueue();
}

TEST_F(Highlight, AKeyStopsTheRedrawOfManyObjects)
{
    constexpr int OBJECTS = 100000;
    for (int i = 0; i < OBJECTS; ++i)
        TestNewLine(-40.0 + (i % 800) * 0.1, -30.0, -40.0 + (i % 800) * 0.1, 30.0);
    DrainQueue();
    PostKey(VK_ESCAPE, false);
    const RECT all{0, 0, TEST_AREA_WIDTH, TEST_AREA_HEIGHT};
    EXPECT_EQ(OutputPaintWindow(0, &all), 0) << "stopped";
    EXPECT_EQ(OutputAborted(), 0) << "the stop ends with its paint";
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << "the key stays for the program";
}

} // namespace
