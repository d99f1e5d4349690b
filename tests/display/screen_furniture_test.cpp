// Rulers and the screen grid: the steps of ruler ticks and labels, and the
// bounded cost of the grid.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/system_defs.h"
#include "app/window.h"
#include "display/screen.h"
#include "geometry/matrix.h"

namespace {

TEST(ScreenRuler, StepsFollowThePixelsPerUnit)
{
    struct Case {
        double p;
        int labelWidth;
        bool inch;
        int64_t label, medium, tick;
    } cases[] = {
        {30, 25, false, 20, 10, 2},   // ceil(500 / 30) = 17: labels every 2 units
        {18, 9, false, 10, 10, 5},    // a unit holds two labels; below 20 pixels ticks at halves
        {35, 15, false, 10, 10, 2},
        {90, 25, false, 10, 5, 1},
        {40, 25, true, 32, 16, 4},    // ceil(800 / 40) = 20: labels every 2 inches, quarter ticks
        {0.001, 25, false, 500000, 100000, 50000},
        {6e-7, 25, false, 1000000000, 500000000, 100000000}, // the last row
        {1.0, 25, false, 500, 100, 50},
    };
    for (const Case &c : cases) {
        ScreenRulerSteps s{};
        ASSERT_EQ(ScreenRulerChooseSteps(c.p, c.labelWidth, c.inch, &s), 1) << c.p;
        EXPECT_EQ(s.label, c.label) << c.p;
        EXPECT_EQ(s.medium, c.medium) << c.p;
        EXPECT_EQ(s.tick, c.tick) << c.p;
    }
    ScreenRulerSteps s{};
    EXPECT_EQ(ScreenRulerChooseSteps(1e-7, 25, false, &s), 0) << "beyond a billion tenths: no ticks";
}

TEST(ScreenGrid, SpacingIsEnlargedToFivePixelsOrDropped)
{
    EXPECT_DOUBLE_EQ(ScreenGridEnlarge(0.8), 8.0) << "every 10th point";
    EXPECT_DOUBLE_EQ(ScreenGridEnlarge(2.0), 10.0);
    EXPECT_DOUBLE_EQ(ScreenGridEnlarge(3.0), 6.0);
    EXPECT_DOUBLE_EQ(ScreenGridEnlarge(7.0), 7.0);
    EXPECT_DOUBLE_EQ(ScreenGridEnlarge(0.4), 0.0) << "no grid";
}

class ScreenGridPointsTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = g_DrawWindows[0];
        savedSystem_ = g_SystemDefs[0];
        DrawWindow &w = g_DrawWindows[0];
        w.displayGrid = 1;
        w.system = 0;
        w.areaRect = {0, 0, 2000, 1500};
    }
    void TearDown() override
    {
        g_DrawWindows[0] = saved_;
        g_SystemDefs[0] = savedSystem_;
    }
    // k pixels per system unit, y up, the origin at the area's lower left.
    void Scale(double k)
    {
        DrawWindow &w = g_DrawWindows[0];
        MatrixInit(&w.MatrixSystemToPixel);
        w.MatrixSystemToPixel.a = k;
        w.MatrixSystemToPixel.d = -k;
        w.MatrixSystemToPixel.ty = w.areaRect.bottom;
        MatrixInit(&w.MatrixPixelToSystem);
        w.MatrixPixelToSystem.a = 1 / k;
        w.MatrixPixelToSystem.d = -1 / k;
        w.MatrixPixelToSystem.ty = w.areaRect.bottom / k;
    }
    void Grid(int32_t kind, double spacing)
    {
        g_SystemDefs[0].displayGridKind = kind;
        g_SystemDefs[0].displayGridX = g_SystemDefs[0].displayGridY = spacing;
    }
    DrawWindow saved_{};
    SystemDef savedSystem_{};
};

TEST_F(ScreenGridPointsTest, NoPaintSetsMoreDotsThanTheLimit)
{
    for (int32_t kind = 1; kind <= 4; ++kind) {
        Grid(kind, 1.0);
        Scale(10.0); // 200 x 150 dots fit the limit
        const RECT small = {0, 0, 1000, 1000};
        const int n = ScreenGridPoints(0, &small, nullptr, 0);
        EXPECT_GT(n, 0) << "kind " << kind;
        EXPECT_LE(n, SCREEN_GRID_MAX_POINTS) << "kind " << kind;
        Scale(6.0); // 2000 / 6 = 333 columns: more than the limit
        EXPECT_EQ(ScreenGridPoints(0, nullptr, nullptr, 0), 0) << "kind " << kind << ": no partial grid";
    }
}

TEST_F(ScreenGridPointsTest, RectangularDotsLieOnTheGridFromTheOrigin)
{
    Grid(1, 1.0);
    Scale(0.8); // every 10th unit, 8 pixels apart
    POINT p[4];
    const RECT r = {0, 0, 20, 1500};
    const int n = ScreenGridPoints(0, &r, p, 4);
    ASSERT_GE(n, 4);
    EXPECT_EQ(p[1].x - p[0].x, 8);
    EXPECT_EQ(p[0].x % 8, 0);
    Scale(0.4);
    EXPECT_EQ(ScreenGridPoints(0, nullptr, nullptr, 0), 0);
}

} // namespace
