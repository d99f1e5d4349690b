// Constructions of the transform frames and of the change commands.
#include <gtest/gtest.h>

#include <cmath>

#include "app/system.h"
#include "commands/command_state.h"
#include "commands/input_transform.h"
#include "geometry/calc.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class TransformConstructTest : public testing::Test {
protected:
    void SetUp() override
    {
        CommandResetStates();
        g_CommandState->referenceGeo.type = -1;
    }
    static void Command(int32_t id) { g_CommandState->commandId = id; }
    static void Entered(int i, double x, double y)
    {
        g_InputPoints[i].x = x;
        g_InputPoints[i].y = y;
    }
    static void Rect(double x1, double y1, double x2, double y2)
    {
        double *r = g_CommandState->rect;
        r[0] = x1, r[1] = y1, r[2] = x2, r[3] = y2;
    }
    static void Picked(int32_t type, std::initializer_list<double> d, int direction = 1)
    {
        GeoObject &g = g_CommandState->elementGeo[0];
        g = GeoObject{};
        g.type = type;
        int i = 0;
        for (double v : d)
            g.d[i++] = v;
        g.direction = direction;
    }
    static void ExpectCorner(int k, double x, double y)
    {
        EXPECT_NEAR(g_CommandState->corners[2 * k], x, 1e-12) << "corner " << k;
        EXPECT_NEAR(g_CommandState->corners[2 * k + 1], y, 1e-12) << "corner " << k;
    }
    static void ExpectCp(int i, double x, double y)
    {
        EXPECT_NEAR(g_ConstructionPoints[i].x, x, 1e-9) << "cp " << i;
        EXPECT_NEAR(g_ConstructionPoints[i].y, y, 1e-9) << "cp " << i;
    }
};

TEST_F(TransformConstructTest, MoveRotateAndShearFrames)
{
    Command(405);
    Rect(-1, 0, 3, 0); // empty in y: a segment through the cursor
    Entered(1, 0, 0);
    ASSERT_EQ(InputConstructPlacement(2, 10, 5), 1);
    ExpectCorner(0, 9, 5);
    ExpectCorner(2, 13, 5);

    Command(416);
    Rect(0, 0, 2, 1);
    Entered(1, 5, 5);
    ASSERT_EQ(InputConstructPlacement(2, 5, 5), 1);
    ExpectCorner(2, 7, 6); // the cursor on the reference: not turned
    ASSERT_EQ(InputConstructPlacement(2, 5, 8), 1);
    ExpectCorner(1, 5, 7); // a quarter turn

    Command(424);
    EXPECT_EQ(InputConstructPlacement(2, 5, 9), 0) << "straight above: no shear factor";
    ASSERT_EQ(InputConstructPlacement(2, 6, 7), 1);
    ExpectCorner(1, 7, 9); // (2, 0) sheared by 2
    Command(423);
    EXPECT_EQ(InputConstructPlacement(2, 9, 5), 0) << "level: no shear factor";
}

TEST_F(TransformConstructTest, InsertionFrameTurnedAndShiftedForCentredText)
{
    Command(801);
    Rect(0, 0, 4, 1);
    MatrixInit(&g_CommandState->matrix);
    MatrixRotate(&g_CommandState->matrix, kPi / 2);
    g_DrawingSettings.textStd.mode = 1;
    ASSERT_EQ(InputConstructPlacement(0, 10, 10), 1);
    ExpectCp(0, 10, 10);
    ExpectCorner(0, 10, 8);  // (-2, 0) turned
    ExpectCorner(1, 10, 12); // (2, 0) turned
    g_DrawingSettings.textStd.mode = 0;
}

TEST_F(TransformConstructTest, LengthAndEndOfALine)
{
    Picked(GEO_LINE, {0, 0, 10, 0});
    Entered(0, 1, 0); // picked near the start
    Command(704);
    ASSERT_EQ(InputConstructChange(1, 4, 3), 1);
    ExpectCp(0, 10, 0);
    ExpectCp(2, 4, 0);
    Entered(0, 5, 0); // exactly the middle: the end point moves
    ASSERT_EQ(InputConstructChange(1, 4, 3), 1);
    ExpectCp(0, 0, 0);

    Command(706);
    Entered(0, 9, 0);
    ASSERT_EQ(InputConstructChange(1, 0, 5), 1);
    ExpectCp(0, 0, 0);
    ExpectCp(1, 0, 10); // turned about the far end, keeping its length
    EXPECT_EQ(g_CommandState->referenceGeo.type, GEO_CIRCLE);
    EXPECT_EQ(InputConstructChange(1, 0, 0), 0) << "the cursor on the far end";
}

TEST_F(TransformConstructTest, RadiusAndEndOfAnArc)
{
    Picked(GEO_CIRC_ARC, {0, 0, 1, 0, 0, 0, 1, 0, 0, 1}); // quarter arc from (1, 0) to (0, 1)
    Command(704);
    ASSERT_EQ(InputConstructChange(1, 3, 0), 1);
    ExpectCp(2, 3, 0);
    ExpectCp(3, 0, 3);
    EXPECT_EQ(g_ConstructionPoints[4].x, 1.0);
    EXPECT_NEAR(g_ConstructionPoints[5].x, kPi / 2, 1e-12);

    Command(706);
    Entered(0, 0.1, 1); // near the end point
    ASSERT_EQ(InputConstructChange(1, -5, 0), 1);
    ExpectCp(2, -1, 0);
    EXPECT_NEAR(g_CommandState->referenceGeo.d[6], 0.0, 1e-12);
    EXPECT_NEAR(g_CommandState->referenceGeo.d[7], 1.0, 1e-12);

    Command(702);
    Picked(GEO_LINE, {0, 0, 10, 0});
    g_ConstructionPoints[3] = {};
    ASSERT_EQ(InputConstructChange(2, 5, 5), 1);
    ExpectCp(3, 0, 0); // nothing computed for a line's second position
}

} // namespace
