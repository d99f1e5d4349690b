// The pointer's handles and drags, and the matrices of the Object menu.
#include <gtest/gtest.h>

#include <cmath>

#include "commands/input_pointer.h"
#include "commands/menu_object_matrix.h"

namespace {

// 1 mm = 4 pixels, y downwards, the origin at pixel (100, 500).
Matrix ToPixel()
{
    Matrix m;
    MatrixInit(&m);
    MatrixScale(&m, 4, -4);
    MatrixMove(&m, 100, 500);
    return m;
}

void ExpectMaps(const Matrix &m, double x, double y, double ex, double ey)
{
    double ox, oy;
    MatrixApply(m, x, y, &ox, &oy);
    EXPECT_NEAR(ox, ex, 1e-9) << x << "," << y;
    EXPECT_NEAR(oy, ey, 1e-9) << x << "," << y;
}

TEST(PointerHandles, HandlesAroundTheFrame)
{
    const double r[4] = {0, 0, 40, 20};
    const Matrix px = ToPixel();
    struct {
        double x, y;
        int32_t code;
    } cases[] = {
        {1, 1, 0x8008},         // inner corner at c1: scale
        {-1, -1, 0x8000},       // outer corner at c1: rotate
        {1, -1, POINTER_DELETE},  // below the corner
        {1, 10, 0x800C},        {-1, 10, 0x8004},   {20, 1, 0x800F}, {20, -1, 0x8007},
        {20, 19, 0x800D},       {20, 21, 0x8005},   {39, 19, 0x800A}, {41, 21, 0x8002},
        {39, 21, POINTER_DELETE}, // above the corner at c3
        {20, 10, POINTER_MOVE}, {60, 60, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(InputPointerHandleAt(r, px, c.x, c.y), c.code) << c.x << "," << c.y;
    const double line[4] = {10, 0, 10, 20}; // zero width: the first box in order wins
    EXPECT_EQ(InputPointerHandleAt(line, px, 11, 10), 0x800C);
}

TEST(PointerHandles, DragsByHandle)
{
    const double r[4] = {0, 0, 40, 20};
    Matrix m;
    InputPointerDragMatrix(0x8002, r, 40, 20, -20, 40, &m); // rotate about (0, 0) by a quarter
    ExpectMaps(m, 40, 0, 0, 40);
    InputPointerDragMatrix(0x800A, r, 40, 20, 80, 40, &m); // scale about (0, 0) by 2
    ExpectMaps(m, 40, 20, 80, 40);
    InputPointerDragMatrix(0x800A, r, 40, 20, -40, 20, &m); // across in x only: a mirror
    ExpectMaps(m, 40, 20, -40, 20);
    InputPointerDragMatrix(0x800A, r, 0, 0, 5, 5, &m); // picked on the pivot: unchanged
    ExpectMaps(m, 40, 20, 40, 20);
    InputPointerDragMatrix(0x800E, r, 40, 10, 80, 10, &m); // stretch in x about xmin
    ExpectMaps(m, 40, 20, 80, 20);
    InputPointerDragMatrix(POINTER_MOVE, r, 10, 10, 13, 14, &m);
    ExpectMaps(m, 0, 0, 3, 4);
}

TEST(ObjectMatrix, FitShearCentreAndScale)
{
    ObjectMatrixInput in{};
    in.extents[0] = 0, in.extents[1] = 0, in.extents[2] = 10, in.extents[3] = 10;
    in.cp1[0] = 0, in.cp1[1] = 0, in.cp2[0] = 5, in.cp2[1] = 40; // tall and thin
    Matrix m;
    ASSERT_EQ(MenuObjectMatrix(411, in, &m), 1);
    ExpectMaps(m, 10, 10, 5, 22.5); // the smaller factor, 0.5
    ASSERT_EQ(MenuObjectMatrix(412, in, &m), 1);
    ExpectMaps(m, 10, 10, 5, 40);
    in.extents[2] = 0; // zero width: the x factor is 1
    ASSERT_EQ(MenuObjectMatrix(412, in, &m), 1);
    ExpectMaps(m, 0, 10, 2.5, 40);

    in.cp2[1] = 0;
    EXPECT_EQ(MenuObjectMatrix(423, in, &m), 0) << "no change in y: no solution";
    in.cp2[0] = 0, in.cp2[1] = 3;
    EXPECT_EQ(MenuObjectMatrix(424, in, &m), 0) << "no change in x: no solution";

    in.extents[2] = 10;
    in.page[0] = 100, in.page[1] = 50;
    ASSERT_EQ(MenuObjectMatrix(426, in, &m), 1);
    ExpectMaps(m, 5, 5, 100, 5);
    ASSERT_EQ(MenuObjectMatrix(427, in, &m), 1);
    ExpectMaps(m, 5, 5, 5, 50);

    EXPECT_EQ(MenuObjectScaleMatrix(in.extents, 0, 1, &m), 0) << "a zero factor would collapse the selection";
    ASSERT_EQ(MenuObjectScaleMatrix(in.extents, -1, 1, &m), 1);
    ExpectMaps(m, 0, 0, 10, 0);
}

} // namespace
