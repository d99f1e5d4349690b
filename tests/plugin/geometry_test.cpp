// Matrices and the geometry kernel as plug-ins see them.
#include "plugin_fixture.h"

#include <cmath>

#include "geometry/calc.h"

namespace {

class Geometry : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        if (!g_WorkArrays.pathPoints) {
            ASSERT_EQ(MemInitWork(), 1);
        }
    }
};

TEST_F(Geometry, RotationLimitsAndRefusalsLeaveTheMatrix)
{
    Matrix m;
    ZVI_MatrixInit(&m);
    ZVI_MatrixRotate(&m, 13.0);
    EXPECT_EQ(TakeReason(), "Angle out of range!");
    EXPECT_EQ(m.a, 1.0);
    EXPECT_EQ(m.b, 0.0);
    ZVI_MatrixRotate(&m, 12.5);
    EXPECT_TRUE(Messages().empty());
    EXPECT_NEAR(m.a, std::cos(12.5), 1e-12);
    ZVI_MatrixMove(&m, 2e100, 0);
    EXPECT_EQ(TakeReason(), "OffsetX out of range!");
    ZVI_MatrixScale(&m, 1, -2e100);
    EXPECT_EQ(TakeReason(), "FactorY out of range!");
    ZVI_MatrixInit(reinterpret_cast<Matrix *>(GuardedBuffer(40)));
    EXPECT_EQ(TakeReason(), "Matrix address invalid!");
    Matrix inverse;
    const Matrix zero{};
    EXPECT_EQ(ZVI_MatrixInvert(&zero, &inverse), 0);
}

TEST_F(Geometry, SeparateThenAssembleGivesTheMatrixBack)
{
    struct Case {
        const char *name;
        Matrix m;
    } cases[] = {
        {"identity", {1, 0, 0, 1, 0, 0}},
        {"rotated and moved", {0, 1, -1, 0, 5, -3}},
        {"scaled", {2, 0, 0, 3, 1, 1}},
        {"mirrored in x", {-1, 0, 0, 1, 0, 0}},
        {"mirrored and rotated", {0, -2, -2, 0, 4, 4}},
        {"sheared", {1, 0, 0.5, 1, 0, 0}},
        {"mirrored, turned and sheared", {-1, -1, 0.5, -1, 2, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        double sx, sy, r, d, x, y;
        ASSERT_EQ(ZVI_MatrixSeparate(&c.m, &sx, &sy, &r, &d, &x, &y), 1);
        if (c.m.a * c.m.d - c.m.b * c.m.c < 0)
            EXPECT_LT(sx, 0.0);
        Matrix back;
        ZVI_MatrixAssemble(&back, sx, sy, r, d, x, y);
        const double *a = &c.m.a, *b = &back.a;
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(a[i], b[i], 1e-9) << i;
    }
    // The zero matrix: 0, no scale, the translation.
    const Matrix zero{0, 0, 0, 0, 7, 8};
    double sx = 5, sy = 5, x = 0, y = 0;
    EXPECT_EQ(ZVI_MatrixSeparate(&zero, &sx, &sy, nullptr, nullptr, &x, &y), 0);
    EXPECT_EQ(sx, 0.0);
    EXPECT_EQ(sy, 0.0);
    EXPECT_EQ(x, 7.0);
    EXPECT_EQ(y, 8.0);
}

TEST_F(Geometry, ConstructionsCopyOnlyTheirSolutions)
{
    GeoObject a{}, b{};
    a.type = b.type = 0;
    a.d[2] = 10;           // (0,0)-(10,0)
    b.d[1] = b.d[3] = 1;   // (0,1)-(10,1)
    b.d[2] = 10;
    double points[8];
    for (double &p : points)
        p = -7.0;
    EXPECT_EQ(ZVI_GeoIntersection(&a, &b, points), 0);
    for (double p : points)
        EXPECT_EQ(p, -7.0);
    b.d[0] = 5, b.d[1] = -5, b.d[2] = 5, b.d[3] = 5; // crossing at (5, 0)
    ASSERT_EQ(ZVI_GeoIntersection(&a, &b, points), 1);
    EXPECT_NEAR(points[0], 5.0, 1e-9);
    EXPECT_NEAR(points[1], 0.0, 1e-9);
    double result = 1;
    EXPECT_EQ(ZVI_CalcObjectArea(reinterpret_cast<const Unit *>(&a), &result), 0);
    EXPECT_EQ(result, 0.0);
    const double p1[2] = {0, 0}, p2[2] = {2, 0}, p3[2] = {0, 2};
    double centre[2];
    EXPECT_EQ(ZVI_GeoCircumcircle(p1, p2, p3, centre), 1);
    EXPECT_NEAR(centre[0], 1.0, 1e-9);
    EXPECT_NEAR(centre[1], 1.0, 1e-9);
    double frame[4];
    EXPECT_EQ(ZVI_CalcBlockFrame(0, "none", "*", nullptr, frame, 0), 0);
    EXPECT_EQ(frame[0], 1e300);
    EXPECT_EQ(frame[2], -1e300);
}

TEST_F(Geometry, TheOffsetOfALineLiesOnTheSideOfTheReference)
{
    ASSERT_NE(ZVI_ObjectOpen(0), nullptr);
    ZVI_ObjectAddPoint(1, 0, 0);
    ZVI_ObjectAddPoint(2, 10, 0);
    ZVI_ObjectAddEnd();
    auto *target = static_cast<Unit *>(ZVI_UnitBuffer());
    ASSERT_NE(target, nullptr);
    const double reference[2] = {5, 5};
    EXPECT_EQ(ZVI_GeoEquidistant(ZVI_ObjectGetAddress(), target, 1.0, 0, reference), 1);
    const ElementPoint *p = UnitPointAt(target, 0);
    ASSERT_NE(p, nullptr);
    EXPECT_NEAR(p->y, 1.0, 1e-9);
    // A target smaller than a unit buffer is refused before anything is written.
    EXPECT_EQ(ZVI_GeoEquidistant(ZVI_ObjectGetAddress(), reinterpret_cast<Unit *>(GuardedBuffer(4000)), 1.0, 0,
                                 reference),
              0);
    EXPECT_EQ(TakeReason(), "ObjPtr2 address invalid!");
    ZVI_ObjectClose();
    GlobalFree(target);
}

TEST_F(Geometry, FeedbackWithoutADeviceContextDrawsNothing)
{
    ZVI_InputDrawLine(nullptr, 0, 0, 1, 1);
    EXPECT_EQ(TakeReason(), "hDrawDC invalid!");
    ZVI_InputDrawCircleArc(nullptr, 0, 0, 1, 0, 1, 0, 0, 1, 1);
    EXPECT_EQ(TakeReason(), "hDrawDC invalid!");
    HDC dc = CreateCompatibleDC(nullptr);
    ZVI_InputDrawReference(dc, reinterpret_cast<const GeoObject *>(GuardedBuffer(100)));
    EXPECT_EQ(TakeReason(), "GeoObject address invalid!");
    DeleteDC(dc);
}

} // namespace
