// Views, coordinate systems, page rectangles and the view history of the
// drawing windows.
#include <gtest/gtest.h>

#include <cmath>

#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "geometry/calc.h"

namespace {

constexpr double TOL = 1e-9;

// A 400 x 300 pixel drawing area on a screen of 4 pixels per millimetre both
// ways; the default drawing: one A3 landscape page centred on the zero point.
class WindowView : public testing::Test {
protected:
    void SetUp() override
    {
        SystemInitDrawing(0);
        WindowComputeScreenMetrics(1000, 800, 250.0, 200.0, &g_ScreenMetrics);
        g_DrawWindowCount = 1;
        g_Options.viewVisible = 0;
        WindowInitRecord(&g_DrawWindows[0], nullptr, 0);
        g_DrawWindows[0].areaRect = RECT{0, 0, 400, 300};
        g_ActiveWindow = 0;
        WindowUpdateAllSystems();
    }
    void TearDown() override
    {
        SystemInitDrawing(0);
        WindowInitRecord(&g_DrawWindows[0], nullptr, 0);
        WindowSelectCurrent();
    }
    DrawWindow &W() { return g_DrawWindows[0]; }

    void Pixel(double x, double y, double *px, double *py) { MatrixApply(W().MatrixMMToPixel, x, y, px, py); }
};

TEST_F(WindowView, MatrixMapsCentreToAreaCentreWithYUp)
{
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 10.0, 20.0, 2.0);
    double px, py;
    Pixel(10.0, 20.0, &px, &py);
    EXPECT_NEAR(px, 200.0, TOL);
    EXPECT_NEAR(py, 150.0, TOL);
    Pixel(11.0, 21.0, &px, &py);
    EXPECT_NEAR(px, 208.0, TOL) << "4 px/mm x zoom 2";
    EXPECT_NEAR(py, 142.0, TOL) << "y grows upwards in the drawing";
    double mx, my;
    MatrixApply(W().MatrixPixelToMM, 208.0, 142.0, &mx, &my);
    EXPECT_NEAR(mx, 11.0, TOL);
    EXPECT_NEAR(my, 21.0, TOL);
    EXPECT_NEAR(W().pixelsPerMm, 8.0, TOL);
    EXPECT_EQ(W().repaint, 1u);
    // The visible rectangle is the area widened by half a pixel.
    EXPECT_NEAR(W().visibleRect[0], 10.0 - 200.5 / 8, TOL);
    EXPECT_NEAR(W().visibleRect[3], 20.0 + 150.5 / 8, TOL);
}

TEST_F(WindowView, ZoomFactorsAreClampedBeforeUse)
{
    struct Row {
        double factor, expectedZoom;
    };
    const Row rows[] = {{-2.0, 1e-10}, {1e-20, 1e-10}, {0.5, 0.5}, {1e20, 1e10}};
    for (const Row &r : rows) {
        WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 1.0);
        WindowSetView(0, WINDOW_VIEW_RELATIVE, CALC_NO_VALUE, CALC_NO_VALUE, r.factor);
        EXPECT_NEAR(W().zoom / r.expectedZoom, 1.0, 1e-12) << r.factor;
        EXPECT_GT(W().zoom, 0.0);
    }
}

TEST_F(WindowView, ZoomAboutPointKeepsThatPointInPlace)
{
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 1.0);
    double before[2], after[2];
    Pixel(30.0, -12.0, &before[0], &before[1]);
    const double f = 1.414213562373;
    WindowSetView(0, WINDOW_VIEW_ZOOM_ABOUT, 30.0, -12.0, f);
    Pixel(30.0, -12.0, &after[0], &after[1]);
    EXPECT_NEAR(after[0], before[0], 1e-7);
    EXPECT_NEAR(after[1], before[1], 1e-7);
    EXPECT_NEAR(W().zoom, f, TOL);
    // One value missing: nothing changes, but the matrices are recomputed.
    W().repaint = 0;
    WindowSetView(0, WINDOW_VIEW_ZOOM_ABOUT, 30.0, CALC_NO_VALUE, 2.0);
    EXPECT_NEAR(W().zoom, f, TOL);
    EXPECT_EQ(W().repaint, 1u);
}

TEST_F(WindowView, RelativeMovesAreFractionsOfTheSmallerSide)
{
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 1.0);
    // 300 pixels is the smaller side: 0.95 of it is 285 px = 71.25 mm.
    WindowSetView(0, WINDOW_VIEW_RELATIVE, CALC_NO_VALUE, -0.95, CALC_NO_VALUE);
    EXPECT_NEAR(W().centreX, 0.0, TOL);
    EXPECT_NEAR(W().centreY, -71.25, TOL) << "page down moves the view down";
    WindowSetView(0, WINDOW_VIEW_RELATIVE, 0.1, CALC_NO_VALUE, CALC_NO_VALUE);
    EXPECT_NEAR(W().centreX, 7.5, TOL);
}

TEST_F(WindowView, ScrollPositionsReferToThePage)
{
    const double *page = g_PageDefs.frames[0];
    EXPECT_NEAR(page[0], -210.0, TOL);
    EXPECT_NEAR(page[3], 148.5, TOL);
    struct Row {
        double position, x, y;
    };
    const Row rows[] = {{0, -210.0, 148.5}, {10000, 210.0, -148.5}, {5000, 0.0, 0.0}};
    for (const Row &r : rows) {
        WindowSetView(0, WINDOW_VIEW_SCROLL, r.position, r.position, CALC_NO_VALUE);
        EXPECT_NEAR(W().centreX, r.x, TOL) << r.position;
        EXPECT_NEAR(W().centreY, r.y, TOL) << "0 is the top edge";
    }
}

TEST_F(WindowView, FittingAPointGivesTheLargestZoom)
{
    WindowSetViewRect(0, 5.0, 7.0, 5.0, 7.0);
    EXPECT_EQ(W().zoom, 1e10);
    EXPECT_NEAR(W().centreX, 5.0, TOL);
    EXPECT_NEAR(W().centreY, 7.0, TOL);
    // A rectangle: the narrower fit wins, 98 per cent of the area.
    WindowSetViewRect(0, 0.0, 0.0, 100.0, 10.0);
    EXPECT_NEAR(W().zoom, 400 * 0.98 / (100.0 * 4), TOL);
}

TEST_F(WindowView, HistoryKeepsTwentyViews)
{
    for (int i = 0; i < 21; ++i) {
        WindowSetView(0, WINDOW_VIEW_ABSOLUTE, i, -i, 1.0 + i);
        WindowPushView(0);
    }
    EXPECT_EQ(W().historyCount, 20);
    EXPECT_DOUBLE_EQ(W().historyCentre[0][0], 1.0) << "the first view was pushed out";
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 500.0, 500.0, 3.0);
    ASSERT_EQ(WindowPopView(0), 1);
    EXPECT_DOUBLE_EQ(W().centreX, 20.0);
    EXPECT_DOUBLE_EQ(W().zoom, 21.0);
    EXPECT_EQ(W().historyCount, 19);
    WindowClearViewHistory();
    const double x = W().centreX;
    EXPECT_EQ(WindowPopView(0), 0);
    EXPECT_EQ(W().centreX, x);
}

TEST_F(WindowView, DistortedBySlantedAxesOrRotation)
{
    struct Row {
        int32_t axisMode;
        double angle;
        uint32_t distorted;
    };
    const Row rows[] = {{1, 0.0, 1}, {0, 1e-11, 0}, {0, 0.3, 1}, {9, 0.0, 1}, {0, 0.0, 0}};
    for (const Row &r : rows) {
        g_SystemDefs[0].axisMode = r.axisMode;
        g_SystemDefs[0].angle = r.angle;
        WindowUpdateSystem(0);
        EXPECT_EQ(W().distorted, r.distorted) << r.axisMode << " " << r.angle;
    }
}

TEST_F(WindowView, SystemOriginsAndMatrices)
{
    SystemDef &s = g_SystemDefs[0];
    struct Row {
        int32_t anchor;
        double x, y;
    };
    // Page 0 is (-210, -148.5) to (210, 148.5).
    const Row rows[] = {{1, -210, 148.5}, {3, 210, 148.5}, {5, 0, 0}, {8, 0, -148.5}, {9, 210, -148.5}};
    for (const Row &r : rows) {
        s.anchor = r.anchor;
        WindowUpdateSystem(0);
        EXPECT_NEAR(s.originX, r.x, TOL) << r.anchor;
        EXPECT_NEAR(s.originY, r.y, TOL) << r.anchor;
    }
    // Another anchor keeps the stored origin.
    s.anchor = 0;
    s.originX = 3;
    s.originY = 4;
    s.lengthUnit = 2; // cm
    s.scale = 2.0;
    WindowUpdateSystem(0);
    EXPECT_NEAR(s.toSystem.a, 1.0 / 20, TOL);
    EXPECT_NEAR(s.toSystem.tx, -3.0 / 20, TOL);
    EXPECT_NEAR(W().mmPerUnit, 20.0, TOL);
    EXPECT_NEAR(W().lengthFactor, 10.0, TOL);
    double sx, sy;
    MatrixApply(W().MatrixPixelToSystem, 200.0, 150.0, &sx, &sy);
    EXPECT_NEAR(sx, (W().centreX - 3) / 20, TOL);
    EXPECT_NEAR(sy, (W().centreY - 4) / 20, TOL);
}

TEST_F(WindowView, PageRectangles)
{
    struct Row {
        int32_t format, orientation, anchor;
        double refX, refY, width, height;
        double rect[4];
    };
    const Row rows[] = {
        {1, 1, 7, 0, 0, 0, 0, {0, 0, 210, 297}},
        {1, 2, 1, 0, 0, 0, 0, {0, -210, 297, 0}},
        {2, 1, 9, 10, 10, 0, 0, {-287, 10, 10, 430}},
        {0, 0, 5, 0, 0, 5, 30000, {-5, -12500, 5, 12500}},
        {0, 0, 42, 0, 0, 100, 50, {-50, -25, 50, 25}},
        {0, 0, 6, 0, 0, 100, 50, {-100, -25, 0, 25}},
    };
    for (const Row &r : rows) {
        PageDef p{};
        p.format = r.format;
        p.orientation = r.orientation;
        p.anchor = r.anchor;
        p.refX = r.refX;
        p.refY = r.refY;
        p.width = r.width;
        p.height = r.height;
        double out[4];
        WindowComputePageRect(&p, out);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(out[i], r.rect[i], TOL) << "format " << r.format << " anchor " << r.anchor << " side " << i;
    }
    PageDef free{};
    free.anchor = 5;
    free.width = 5;
    free.height = 30000;
    double out[4];
    WindowComputePageRect(&free, out);
    EXPECT_EQ(free.width, 10.0) << "a free size is written back";
    EXPECT_EQ(free.height, 25000.0);
}

TEST_F(WindowView, ConversionStateFollowsTheActiveWindow)
{
    g_SystemDefs[1] = g_SystemDefs[0];
    std::snprintf(g_SystemDefs[1].name, sizeof g_SystemDefs[1].name, "inch");
    g_SystemDefs[1].lengthUnit = 7;
    g_SystemDefs[1].decimals = 5;
    g_DrawWindows[0].system = 1;
    WindowUpdateAllSystems();
    EXPECT_EQ(g_ConvertState.window, &g_DrawWindows[0]);
    EXPECT_EQ(g_ConvertState.systemDef, &g_SystemDefs[1]);
    EXPECT_EQ(g_ConvertState.decimals, 5u);
    EXPECT_STREQ(g_ConvertState.lengthLabel, "[in]");
    EXPECT_NEAR(W().lengthFactor, 25.4, TOL);
    WindowSetActive(0, 1);
    EXPECT_EQ(g_CurrentSystem.system, 1);
}

} // namespace
