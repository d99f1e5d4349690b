#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/matrix.h"
#include "geometry_expect.h"

namespace {

Matrix Identity()
{
    Matrix m;
    MatrixInit(&m);
    return m;
}

CalcPoint Map(const Matrix &m, double x, double y)
{
    CalcPoint p;
    MatrixApply(m, x, y, &p.x, &p.y);
    return p;
}

void ExpectMatrix(const Matrix &got, const Matrix &want, double tolerance, const char *name)
{
    EXPECT_NEAR(got.a, want.a, tolerance) << name;
    EXPECT_NEAR(got.b, want.b, tolerance) << name;
    EXPECT_NEAR(got.c, want.c, tolerance) << name;
    EXPECT_NEAR(got.d, want.d, tolerance) << name;
    EXPECT_NEAR(got.tx, want.tx, tolerance) << name;
    EXPECT_NEAR(got.ty, want.ty, tolerance) << name;
}

Matrix Built(void (*steps)(Matrix *))
{
    Matrix m = Identity();
    steps(&m);
    return m;
}

}  // namespace

// Each appended operation acts after the ones before it.
TEST(Matrix, AppendedOperationsActInTheOrderTheyWereAppended)
{
    struct Case {
        const char *name;
        void (*steps)(Matrix *);
        CalcPoint in, out;
    };
    const Case cases[] = {
        {"scale then move", [](Matrix *m) { MatrixScale(m, 2, 3); MatrixMove(m, 10, 20); }, {1, 1}, {12, 23}},
        {"move then scale", [](Matrix *m) { MatrixMove(m, 10, 20); MatrixScale(m, 2, 3); }, {1, 1}, {22, 63}},
        {"quarter turn", [](Matrix *m) { MatrixRotate(m, CALC_PI / 2); }, {1, 0}, {0, 1}},
        {"move then quarter turn", [](Matrix *m) { MatrixMove(m, 5, 0); MatrixRotate(m, CALC_PI / 2); }, {0, 0}, {0, 5}},
        {"quarter turn then move", [](Matrix *m) { MatrixRotate(m, CALC_PI / 2); MatrixMove(m, 5, 0); }, {0, 0}, {5, 0}},
        {"mirror y", [](Matrix *m) { MatrixMove(m, 1, 2); MatrixMirrorY(m); }, {3, 4}, {4, -6}},
        {"mirror x", [](Matrix *m) { MatrixMove(m, 1, 2); MatrixMirrorX(m); }, {3, 4}, {-4, 6}},
        {"shear x after move", [](Matrix *m) { MatrixMove(m, 0, 1); MatrixShearX(m, 2); }, {1, 1}, {5, 2}},
        {"shear y after move", [](Matrix *m) { MatrixMove(m, 1, 0); MatrixShearY(m, 3); }, {1, 1}, {2, 7}},
        {"scale, rotate, move", [](Matrix *m) { MatrixScale(m, 2, 1); MatrixRotate(m, CALC_PI / 2); MatrixMove(m, 1, 1); }, {1, 0}, {1, 3}},
    };
    for (const Case &c : cases) {
        const Matrix m = Built(c.steps);
        const CalcPoint p = Map(m, c.in.x, c.in.y);
        EXPECT_TRUE(Near(p, c.out, TIGHT)) << c.name << ": (" << p.x << ", " << p.y << ")";
    }
}

TEST(Matrix, MultiplyAppliesTheFirstMatrixFirst)
{
    Matrix move = Identity();
    MatrixMove(&move, 5, 0);
    Matrix turn = Identity();
    MatrixRotate(&turn, CALC_PI / 2);

    Matrix moveThenTurn = move;
    MatrixMultiply(&moveThenTurn, &turn);
    EXPECT_TRUE(Near(Map(moveThenTurn, 0, 0), CalcPoint{0, 5}, TIGHT));

    Matrix turnThenMove = turn;
    MatrixMultiply(&turnThenMove, &move);
    EXPECT_TRUE(Near(Map(turnThenMove, 0, 0), CalcPoint{5, 0}, TIGHT));
    EXPECT_TRUE(Near(Map(turnThenMove, 1, 0), CalcPoint{5, 1}, TIGHT));

    // A product with itself applies the matrix twice, even though both
    // arguments are one record.
    Matrix twice = moveThenTurn;
    MatrixMultiply(&twice, &twice);
    const CalcPoint once = Map(moveThenTurn, 2, 3);
    EXPECT_TRUE(Near(Map(twice, 2, 3), Map(moveThenTurn, once.x, once.y), TIGHT));
}

TEST(Matrix, InvertGivesTheInverseOrLeavesTheOutputAlone)
{
    struct Case {
        const char *name;
        Matrix m;
        int result;
        Matrix inverse;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"scale and move", {2, 0, 0, 4, 6, 8}, 1, {0.5, 0, 0, 0.25, -3, -2}},
        {"mirror", {-1, 0, 0, 1, 3, 0}, 1, {-1, 0, 0, 1, 3, 0}},
        {"quarter turn", {0, 1, -1, 0, 0, 0}, 1, {0, -1, 1, 0, 0, 0}},
        {"singular", {1, 2, 2, 4, 0, 0}, 0, {}},
        {"zero", {0, 0, 0, 0, 1, 1}, 0, {}},
        {"not a number", {nan, 0, 0, 1, 0, 0}, 0, {}},
        {"inverse overflows", {1e-200, 0, 0, 1e-200, 1e200, 0}, 0, {}},
    };
    const Matrix untouched{7, 7, 7, 7, 7, 7};
    for (const Case &c : cases) {
        Matrix out = untouched;
        EXPECT_EQ(MatrixInvert(&c.m, &out), c.result) << c.name;
        ExpectMatrix(out, c.result ? c.inverse : untouched, TIGHT, c.name);
    }
}

TEST(Matrix, InvertInPlaceAndRoundTrip)
{
    Matrix m = Identity();
    MatrixScale(&m, 2, -3);
    MatrixRotate(&m, 0.7);
    MatrixShearX(&m, 0.4);
    MatrixMove(&m, -5, 11);
    const Matrix original = m;
    ASSERT_EQ(MatrixInvert(&m, &m), 1);
    Matrix product = original;
    MatrixMultiply(&product, &m);
    ExpectMatrix(product, Identity(), TIGHT, "m * inverse");
    const CalcPoint there = Map(original, 3, 4);
    EXPECT_TRUE(Near(Map(m, there.x, there.y), CalcPoint{3, 4}, TIGHT));
}

TEST(Matrix, ShapeTests)
{
    struct Case {
        const char *name;
        Matrix m;
        int mirrored, rotated, distorted;
    };
    const double c30 = std::cos(CALC_PI / 6), s30 = std::sin(CALC_PI / 6);
    const Case cases[] = {
        {"identity", {1, 0, 0, 1, 0, 0}, 0, 0, 0},
        {"scaled by 1000", {1000, 0, 0, 1000, 5, 5}, 0, 0, 0},
        {"b small", {1, 0.005, 0, 1, 0, 0}, 0, 0, 0},
        {"b beyond the share", {1, 0.02, 0, 1, 0, 0}, 0, 1, 1},
        {"quarter turn", {0, 1, -1, 0, 0, 0}, 0, 1, 0},
        {"rotation by 30 degrees", {c30, s30, -s30, c30, 0, 0}, 0, 1, 0},
        {"ratio 1.005", {1, 0, 0, 1.005, 0, 0}, 0, 0, 0},
        {"ratio 1.02", {1, 0, 0, 1.02, 0, 0}, 0, 0, 1},
        {"ratio 1/1.02", {1.02, 0, 0, 1, 0, 0}, 0, 0, 1},
        {"shear", {1, 0, 0.02, 1, 0, 0}, 0, 1, 1},
        {"mirror in x", {-1, 0, 0, 1, 0, 0}, 1, 0, 0},
        {"mirror in y", {1, 0, 0, -1, 0, 0}, 1, 0, 0},
        {"half turn", {-1, 0, 0, -1, 0, 0}, 0, 0, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(MatrixIsMirrored(&c.m), c.mirrored) << c.name;
        EXPECT_EQ(MatrixIsRotated(&c.m), c.rotated) << c.name;
        EXPECT_EQ(MatrixIsDistorted(&c.m), c.distorted) << c.name;
    }
}

TEST(Matrix, SeparateDecomposesScaleRatioRotationDistortionAndMove)
{
    struct Case {
        const char *name;
        Matrix m;
        int result;
        double scaleY, ratioXY, rotation, distortion, moveX, moveY;
    };
    auto build = [](double sx, double sy, double angle, double dx, double dy) {
        Matrix m = Identity();
        MatrixScale(&m, sx, sy);
        MatrixRotate(&m, angle);
        MatrixMove(&m, dx, dy);
        return m;
    };
    const Case cases[] = {
        {"identity", Identity(), 1, 1, 1, 0, 0, 0, 0},
        {"ratio 2, 30 degrees, moved", build(2, 1, CALC_PI / 6, 3, 4), 1, 1, 2, CALC_PI / 6, 0, 3, 4},
        {"mirrored ratio -2", build(-2, 1, CALC_PI / 6, 0, 0), 1, 1, -2, CALC_PI / 6, 0, 0, 0},
        {"mirrored in y", build(1, -1, 0, 0, 0), 1, 1, -1, CALC_PI, 0, 0, 0},
        {"scaled 3, 200 degrees", build(3, 3, CALC_PI * 200 / 180, 0, 0), 1, 3, 1, CALC_PI * 200 / 180, 0, 0, 0},
        {"shear", {1, 0, 1, 1, 0, 0}, 1, 1, 1, 0, -CALC_PI / 4, 0, 0},
        {"zero row", {0, 0, 0, 1, 7, 8}, 0, 0, 1, 0, 0, 7, 8},
        {"singular", {1, 2, 2, 4, 7, 8}, 0, 0, 1, 0, 0, 7, 8},
    };
    for (const Case &c : cases) {
        double sy = -1, ratio = -1, rot = -1, dist = -1, mx = -1, my = -1;
        EXPECT_EQ(MatrixSeparate(&c.m, &sy, &ratio, &rot, &dist, &mx, &my), c.result) << c.name;
        EXPECT_NEAR(sy, c.scaleY, TIGHT) << c.name;
        EXPECT_NEAR(ratio, c.ratioXY, TIGHT) << c.name;
        EXPECT_NEAR(rot, c.rotation, TIGHT) << c.name;
        EXPECT_NEAR(dist, c.distortion, TIGHT) << c.name;
        EXPECT_NEAR(mx, c.moveX, TIGHT) << c.name;
        EXPECT_NEAR(my, c.moveY, TIGHT) << c.name;
    }
    // The stored right angle differs from pi/2 by far less than the zero
    // limit, so an undistorted matrix reports exactly 0.
    double dist = -1, rot = -1;
    MatrixSeparate(&cases[0].m, nullptr, nullptr, &rot, &dist, nullptr, nullptr);
    EXPECT_EQ(dist, 0.0);
    EXPECT_EQ(rot, 0.0);
}

TEST(Matrix, TransformRectBoundsTheFourCorners)
{
    struct Case {
        const char *name;
        Matrix m;
        double rect[4], out[4];
    };
    Matrix turn = Identity();
    MatrixRotate(&turn, CALC_PI / 2);
    Matrix eighth = Identity();
    MatrixRotate(&eighth, CALC_PI / 4);
    const double h = std::sqrt(2.0) / 2;
    const Case cases[] = {
        {"quarter turn", turn, {0, 0, 2, 1}, {-1, 0, 0, 2}},
        {"eighth turn", eighth, {0, 0, 1, 1}, {-h, 0, h, 2 * h}},
        {"mirror and move", {-1, 0, 0, 1, 10, 0}, {1, 2, 3, 4}, {7, 2, 9, 4}},
    };
    for (const Case &c : cases) {
        double out[4];
        MatrixTransformRect(&c.m, c.rect, out);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(out[i], c.out[i], TIGHT) << c.name << " side " << i;
    }
    // The output may be the rectangle itself.
    double rect[4] = {0, 0, 2, 1};
    MatrixTransformRect(&turn, rect, rect);
    EXPECT_NEAR(rect[0], -1, TIGHT);
    EXPECT_NEAR(rect[3], 2, TIGHT);
}
