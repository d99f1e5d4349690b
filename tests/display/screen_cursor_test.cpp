// The cursor position with grid and ortho catch, the XOR crosshair, the
// scroll positions and the margin hit test.
#include <cmath>

#include "app/system.h"
#include "app/system_defs.h"
#include "commands/command_state.h"
#include "commands/input_points.h"
#include "display/output.h"
#include "display/screen.h"
#include "screen_fixture.h"
#include "geometry/calc.h"

namespace {

constexpr double TOL = 1e-9;

class ScreenCursor : public ScreenWindowTest {
protected:
    SystemDef &S() { return g_SystemDefs[0]; }
    void Catch(double x, double y, double *outX, double *outY)
    {
        double p[2] = {x, y};
        ScreenGridCatch(0, p);
        *outX = p[0];
        *outY = p[1];
    }
};

TEST_F(ScreenCursor, RawAndCaughtPositions)
{
    // Zoom 1 at 4 px/mm: pixel (200, 150) is the centre (0, 0).
    ScreenSetCursorPos(0, 208, 146);
    EXPECT_NEAR(g_CursorPos.rawX, 2.0, TOL);
    EXPECT_NEAR(g_CursorPos.rawY, 1.0, TOL);
    EXPECT_NEAR(g_CursorPos.x, 2.0, TOL) << "no catch: caught = raw";
    EXPECT_EQ(g_CursorPos.xChanged, 1);
    EXPECT_EQ(g_CursorPos.yChanged, 1);
    ScreenSetCursorPos(0, 208, 150);
    EXPECT_EQ(g_CursorPos.xChanged, 0);
    EXPECT_EQ(g_CursorPos.yChanged, 1);

    W().catchGrid = 1;
    S().catchGridKind = 1;
    S().catchGridX = S().catchGridY = 5.0;
    ScreenSetCursorPos(0, 211, 143); // (2.75, 1.75)
    EXPECT_NEAR(g_CursorPos.rawX, 2.75, TOL);
    EXPECT_NEAR(g_CursorPos.x, 5.0, TOL);
    EXPECT_NEAR(g_CursorPos.y, 0.0, TOL);
}

TEST_F(ScreenCursor, RectangularGridCatch)
{
    W().catchGrid = 1;
    S().catchGridKind = 1;
    S().catchGridX = 10.0;
    S().catchGridY = -4.0; // the spacing's sign does not matter
    struct Row {
        double x, y, cx, cy;
    };
    // Visible: x -50 .. 50, y -37.5 .. 37.5.
    const Row rows[] = {
        {5.0, 2.0, 10.0, 4.0},    // half-way goes to the upper line
        {-5.0, -2.0, 0.0, 0.0},   // floor(-0.5 + 0.5) = 0
        {14.9, 5.9, 10.0, 4.0},
        {49.0, 0.0, 50.0, 0.0},
        {56.0, 0.0, 50.0, 0.0},   // beyond the area: stepped inwards
        {0.0, 37.0, 0.0, 36.0},   // 36 is the last line inside
    };
    for (const Row &r : rows) {
        double x, y;
        Catch(r.x, r.y, &x, &y);
        EXPECT_NEAR(x, r.cx, TOL) << r.x;
        EXPECT_NEAR(y, r.cy, TOL) << r.y;
    }
    // Zero spacing in x leaves x alone.
    S().catchGridX = 0.0;
    double x, y;
    Catch(3.3, 3.3, &x, &y);
    EXPECT_NEAR(x, 3.3, TOL);
    EXPECT_NEAR(y, 4.0, TOL);
}

TEST_F(ScreenCursor, GridCatchConditions)
{
    S().catchGridKind = 1;
    S().catchGridX = S().catchGridY = 10.0;
    struct Row {
        uint32_t windowSwitch;
        uint32_t snapping, keepGrid;
        int32_t pointKind, command;
        bool caught;
    };
    const Row rows[] = {
        {1, 0, 0, 0, 501, true},   {0, 0, 0, 0, 501, false}, {1, 1, 0, 0, 501, false},
        {1, 1, 1, 0, 501, true},   {1, 0, 0, 45, 501, false}, {1, 0, 0, 0, COMMAND_TRANSPARENT, false},
    };
    for (const Row &r : rows) {
        W().catchGrid = r.windowSwitch;
        g_LocalData.snap.switches[0] = r.snapping;
        g_LocalData.snap.switches[2] = r.keepGrid;
        g_CommandState->pointKind = r.pointKind;
        g_CommandState->commandId = r.command;
        double x, y;
        Catch(3.0, 3.0, &x, &y);
        EXPECT_EQ(x == 0.0, r.caught) << r.windowSwitch << r.snapping << r.keepGrid << " " << r.pointKind;
    }
    g_LocalData.snap.switches[0] = g_LocalData.snap.switches[2] = 0;
}

TEST_F(ScreenCursor, SlantedGridCatch)
{
    W().catchGrid = 1;
    S().catchGridKind = 2; // 30 degrees
    S().catchGridX = 10.0;
    S().catchGridY = 10.0;
    double x, y;
    Catch(9.0, 1.0, &x, &y);
    // Column k = round(9 / 8.66) = 1: x = 8.660254037844, row offset 5.
    EXPECT_NEAR(x, 8.660254037844, 1e-9);
    EXPECT_NEAR(y, 5.0, 1e-9);
    // Zero column spacing: k = X / c and the row offset follows continuously.
    S().catchGridX = 0.0;
    Catch(8.660254037844, 1.0, &x, &y);
    EXPECT_NEAR(x, 8.660254037844, 1e-9);
    EXPECT_NEAR(y, 5.0, 1e-9);
}

TEST_F(ScreenCursor, OrthoCatch)
{
    DrawingSettings &ds = g_DrawingSettings;
    ds.displayOrtho = 1;
    ds.orthoModes[0] = 1; // 90 degrees
    ds.orthoExtra = 0.0;
    g_ConstructionPoints[0] = ConstructionPoint{10.0, 10.0, CPOINT_START, 0};
    g_CommandState->referenceIndex = 0;
    g_CommandState->pointIndex = 1;
    double p[2] = {20.0, 12.0};
    ScreenOrthoCatch(0, p);
    EXPECT_NEAR(p[0], 20.0, 1e-9);
    EXPECT_NEAR(p[1], 10.0, 1e-9) << "nearest is the horizontal ray";
    double q[2] = {11.0, 30.0};
    ScreenOrthoCatch(0, q);
    EXPECT_NEAR(q[0], 10.0, 1e-9);
    EXPECT_NEAR(q[1], 30.0, 1e-9);
    // With a tolerance of 10 degrees a direction of 45 degrees is left alone.
    ds.orthoExtra = 0.1745329;
    double r[2] = {15.0, 15.0};
    ScreenOrthoCatch(0, r);
    EXPECT_EQ(r[0], 15.0);
    EXPECT_EQ(r[1], 15.0);
    // The first point of a command is never caught.
    ds.orthoExtra = 0.0;
    g_CommandState->pointIndex = 0;
    double s[2] = {20.0, 12.0};
    ScreenOrthoCatch(0, s);
    EXPECT_EQ(s[1], 12.0);
    ds.displayOrtho = 0;
    g_CommandState->referenceIndex = -1;
}

TEST_F(ScreenCursor, CrosshairXorLeavesIdenticalPixels)
{
    g_LocalData.snap.switches[0] = 1; // aperture marks too
    g_LocalData.snap.pickAperture = 10;
    const std::vector<uint32_t> before = Grab();
    ScreenSetCursorPos(0, 123, 77);
    ScreenShowCrosshairs();
    EXPECT_EQ(g_CursorPos.shown, 1);
    EXPECT_EQ(W().crossCaughtX, 123);
    EXPECT_EQ(W().crossCaughtY, 77);
    const std::vector<uint32_t> shown = Grab();
    EXPECT_NE(shown[77 * TEST_AREA_WIDTH + 10], before[77 * TEST_AREA_WIDTH + 10]) << "horizontal arm";
    EXPECT_NE(shown[5 * TEST_AREA_WIDTH + 123], before[5 * TEST_AREA_WIDTH + 123]) << "vertical arm";
    // Showing again first hides: one crosshair on the screen.
    ScreenShowCrosshairs();
    EXPECT_EQ(Grab(), shown);
    ScreenHideCrosshairs();
    EXPECT_EQ(g_CursorPos.shown, 0);
    EXPECT_EQ(Grab(), before);
    ScreenHideCrosshairs(); // hiding twice erases once
    EXPECT_EQ(Grab(), before);
    g_LocalData.snap.switches[0] = 0;
}

TEST_F(ScreenCursor, CrosshairOutsideTheAreaIsNotDrawn)
{
    const std::vector<uint32_t> before = Grab();
    ScreenSetCursorPos(0, 200, 150);
    g_CursorPos.x = g_CursorPos.rawX = 1e6; // 4e6 pixels away
    ScreenShowCrosshairs();
    EXPECT_EQ(W().crossCaughtX, -1);
    EXPECT_EQ(W().crossCaughtY, 150);
    EXPECT_EQ(Grab(), before);
    ScreenHideCrosshairs();
    // A mark exactly on the right edge still counts as inside.
    g_CursorPos.x = 50.0;
    g_CursorPos.y = 0.0;
    ScreenShowCrosshairs();
    EXPECT_EQ(W().crossCaughtX, TEST_AREA_WIDTH);
    ScreenHideCrosshairs();
}

TEST_F(ScreenCursor, ScrollPositionsFollowTheView)
{
    struct Row {
        double x, y;
        int h, v;
    };
    // The page runs from (-210, -148.5) to (210, 148.5).
    const Row rows[] = {{0, 0, 5000, 5000}, {-210, 148.5, 0, 0}, {210, -148.5, 10000, 10000},
                        {-500, 500, 0, 0},  {500, -500, 10000, 10000}, {-105, 0, 2500, 5000}};
    for (const Row &r : rows) {
        WindowSetView(0, WINDOW_VIEW_ABSOLUTE, r.x, r.y, CALC_NO_VALUE);
        int h, v;
        ScreenScrollPositions(0, &h, &v);
        EXPECT_EQ(h, r.h) << r.x;
        EXPECT_EQ(v, r.v) << r.y;
    }
}

TEST_F(ScreenCursor, HitTestOfTheMargin)
{
    EXPECT_EQ(ScreenHitTestMargin(0, 100, 100), SCREEN_HIT_AREA_TRACKING);
    CommandTemplateWords().mode = TEMPLATE_ONE_POINT;
    EXPECT_EQ(ScreenHitTestMargin(0, 100, 100), SCREEN_HIT_AREA);
    CommandTemplateWords().mode = TEMPLATE_FIXED_STEPS;
    EXPECT_EQ(ScreenHitTestMargin(0, TEST_AREA_WIDTH, 100), SCREEN_HIT_ELSEWHERE);
    EXPECT_EQ(ScreenHitTestMargin(0, 2, 2), SCREEN_HIT_ELSEWHERE) << "the corner square without rulers";
    // Window 0 always has its tool toggles in the top right corner.
    const RECT &t = W().buttonRects[13];
    EXPECT_EQ(ScreenHitTestMargin(0, t.left + 1, t.top + 1), 13);
}

TEST_F(ScreenCursor, OutputSetUpForAWindow)
{
    const RECT update{100, 50, 500, 120};
    ScreenSetupOutput(nullptr, 0, &update, OUTPUT_SCREEN);
    const OutputContext &o = g_OutputContext;
    const int32_t clip[4] = {100, 50, TEST_AREA_WIDTH, 120};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(o.pixelClipRect[i], clip[i]) << i;
    // The clip rectangle widened by half a pixel, in millimetres.
    const double visible[4] = {-25.125, 7.375, 50.125, 25.125};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(o.visibleRect[i], visible[i], TOL) << i;
    EXPECT_NEAR(o.zoom, 4.0, TOL);
    EXPECT_NEAR(o.scale, 1.0, TOL);
    EXPECT_EQ(o.mode, OUTPUT_SCREEN);
    EXPECT_EQ(o.window, 0);
    EXPECT_EQ(o.base.tx, W().MatrixMMToPixel.tx);
    EXPECT_EQ(o.backgroundColour, RGB(255, 255, 255));
    EXPECT_EQ(o.safePixelRect[2], W().safePixelRect[2]);

    ScreenSetupOutput(nullptr, 0, nullptr, OUTPUT_SCREEN);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(o.visibleRect[i], W().visibleRect[i]);
    EXPECT_EQ(o.pixelClipRect[2], TEST_AREA_WIDTH);
}

} // namespace
