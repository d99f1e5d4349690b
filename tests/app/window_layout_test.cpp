// The arrangement of the drawing windows, the screen metrics and each
// window's rulers, drawing area and margin buttons.
#include <gtest/gtest.h>

#include "app/system.h"
#include "app/window.h"

namespace {

bool Same(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT &r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST(WindowLayout, ArrangementTable)
{
    // Work area 0..1200 x 0..900, borders 1: mid 600/450, thirds 400/800 and
    // 300/600, three quarters 900/675.
    const RECT work{0, 0, 1200, 900};
    const RECT W = work;
    struct Row {
        int32_t arrangement;
        int count;
        RECT frames[4];
    };
    const Row rows[] = {
        {0, 1, {W, W, W, W}},
        {8, 1, {W, W, W, W}},
        {1, 2, {{0, 0, 600, 900}, {601, 0, 1200, 900}, W, W}},
        {2, 2, {{0, 0, 1200, 450}, {0, 451, 1200, 900}, W, W}},
        {3, 3, {{0, 0, 800, 900}, {801, 0, 1200, 450}, {801, 451, 1200, 900}, W}},
        {4, 3, {{0, 0, 1200, 600}, {0, 601, 600, 900}, {601, 601, 1200, 900}, W}},
        {5, 4, {{0, 0, 600, 450}, {601, 0, 1200, 450}, {0, 451, 600, 900}, {601, 451, 1200, 900}}},
        {6, 4, {{0, 0, 900, 900}, {901, 0, 1200, 300}, {901, 301, 1200, 600}, {901, 601, 1200, 900}}},
        {7, 4, {{0, 0, 1200, 675}, {0, 676, 400, 900}, {401, 676, 800, 900}, {801, 676, 1200, 900}}},
    };
    for (const Row &r : rows) {
        RECT frames[4];
        EXPECT_EQ(WindowTile(work, r.arrangement, 1, 1, frames), r.count) << r.arrangement;
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(Same(frames[i], r.frames[i]))
                << "arrangement " << r.arrangement << " window " << i << ": " << Text(frames[i]);
    }
}

TEST(WindowLayout, TilingOfAnOffsetWorkAreaTruncates)
{
    const RECT work{104, 26, 1001, 700};
    RECT frames[4];
    ASSERT_EQ(WindowTile(work, 6, 2, 3, frames), 4);
    // x34 = 3 * 897 / 4 + 104 = 776; y13 = 674 / 3 + 26 = 250; y23 = 1348 / 3 + 26 = 475.
    EXPECT_TRUE(Same(frames[0], RECT{104, 26, 776, 700})) << Text(frames[0]);
    EXPECT_TRUE(Same(frames[1], RECT{778, 26, 1001, 250})) << Text(frames[1]);
    EXPECT_TRUE(Same(frames[2], RECT{778, 253, 1001, 475})) << Text(frames[2]);
    EXPECT_TRUE(Same(frames[3], RECT{778, 478, 1001, 700})) << Text(frames[3]);
}

TEST(WindowLayout, SquarePixelsOnlyStrictlyInsideTheBounds)
{
    struct Row {
        int32_t widthPixels; // on 100 mm; the height is 10000 pixels on 100 mm
        bool square;
    };
    const Row rows[] = {{9000, false}, {11000, false}, {10999, true}, {10000, true}, {9001, true}};
    for (const Row &r : rows) {
        ScreenMetrics m;
        WindowComputeScreenMetrics(r.widthPixels, 10000, 100.0, 100.0, &m);
        const double px = r.widthPixels / 100.0, py = 100.0, mean = (px + py) / 2;
        EXPECT_NEAR(m.pixelsPerMm, mean, 1e-12);
        if (r.square) {
            EXPECT_EQ(m.pixelsPerMmX, m.pixelsPerMmY) << r.widthPixels;
            EXPECT_EQ(m.aspectX, 1.0);
        } else {
            EXPECT_NEAR(m.pixelsPerMmX, px, 1e-12) << r.widthPixels;
            EXPECT_NEAR(m.pixelsPerMmY, py, 1e-12);
            EXPECT_NEAR(m.aspectX, px / mean, 1e-12);
        }
    }
}

class WindowAreas : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = g_Options;
        WindowInitRecord(&g_DrawWindows[0], nullptr, 0);
        WindowInitRecord(&g_DrawWindows[1], nullptr, 0);
        WindowComputeAreasFrom(0, RECT{0, 0, 10, 10}); // measures the furniture
        W = g_WindowLayout.rulerWidth;
        s = g_WindowLayout.buttonSize;
    }
    void TearDown() override { g_Options = saved_; }
    ProgramOptions saved_;
    LONG W = 0, s = 0;
};

TEST_F(WindowAreas, RulersButtonsAndToggles)
{
    ASSERT_GT(W, 5);
    ASSERT_GT(s, 0);
    g_Options.rulerVisible = 1;
    g_Options.buttonVisible = 1;
    const RECT client{0, 0, 800, 600};
    WindowComputeAreasFrom(0, client);
    const DrawWindow &w0 = g_DrawWindows[0];
    EXPECT_TRUE(Same(w0.areaRect, RECT{W, W, 800, 600}));
    EXPECT_TRUE(Same(w0.buttonRects[4], RECT{0, 600 - s, W, 600}));
    EXPECT_TRUE(Same(w0.buttonRects[0], RECT{0, 600 - 5 * s, W, 600 - 4 * s}));
    EXPECT_EQ(w0.rulerLeftRect.bottom, 600 - 5 * s - 1);
    EXPECT_TRUE(Same(w0.buttonRects[6], RECT{800 - 9 * W, 0, 800 - 8 * W, W})) << "toggle 6 stands first";
    EXPECT_TRUE(Same(w0.buttonRects[5], RECT{800 - 8 * W, 0, 800 - 7 * W, W}));
    EXPECT_TRUE(Same(w0.buttonRects[13], RECT{800 - W, 0, 800, W}));
    EXPECT_EQ(w0.rulerTopRect.right, 800 - 9 * W - 1);

    WindowComputeAreasFrom(1, client);
    const DrawWindow &w1 = g_DrawWindows[1];
    EXPECT_TRUE(Same(w1.buttonRects[1], RECT{0, 600 - s, W, 600}));
    EXPECT_EQ(w1.buttonRects[2].left, -1) << "only window 0 has five corner buttons";
    EXPECT_EQ(w1.buttonRects[9].left, -1) << "only window 0 has the toggles";
    EXPECT_EQ(w1.rulerLeftRect.bottom, 600 - 2 * s - 1);
}

TEST_F(WindowAreas, WithoutRulersTheAreaIsTheClient)
{
    g_Options.rulerVisible = 0;
    g_Options.buttonVisible = 0;
    WindowComputeAreasFrom(0, RECT{0, 0, 640, 480});
    const DrawWindow &w0 = g_DrawWindows[0];
    EXPECT_TRUE(Same(w0.areaRect, RECT{0, 0, 640, 480}));
    EXPECT_EQ(w0.buttonRects[0].left, -1);
    EXPECT_EQ(w0.buttonRects[13].right, 640) << "the toggles are laid out whatever ButtonVisible says";
}

} // namespace

namespace {

TEST(WindowPopups, ResetForgetsThePlugInPopups)
{
    g_PopupWindows.windows[20] = reinterpret_cast<HWND>(0x1234);
    g_PopupWindows.count = 21;
    WindowResetPopups();
    EXPECT_EQ(g_PopupWindows.count, WINDOW_OWN_POPUPS);
    EXPECT_EQ(g_PopupWindows.windows[20], nullptr);
    EXPECT_EQ(WindowIsOwnPopupActive(), 0) << "no tool window exists here";
}

} // namespace
