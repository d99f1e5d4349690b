// Measures in coordinate systems and the colour models.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "app/convert.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"

namespace {

constexpr double PI = 3.14159265358979323846;

// Systems 0 and 3 in millimetres; system 3 twice as large and turned by 90
// degrees. The tables are restored afterwards.
class MeasureTest : public ::testing::Test {
protected:
    SystemDef saved0{}, saved3{}, saved4{};
    int32_t savedCurrent = 0;
    void SetUp() override
    {
        saved0 = g_SystemDefs[0];
        saved3 = g_SystemDefs[3];
        saved4 = g_SystemDefs[4];
        savedCurrent = g_CurrentSystem.system;
        g_SystemDefs[0] = SystemDef{};
        std::strcpy(g_SystemDefs[0].name, "World");
        g_SystemDefs[0].scale = 1.0;
        g_SystemDefs[0].lengthUnit = UNIT_CODE_MILLIMETRE;
        g_SystemDefs[0].toSystem = Matrix{1, 0, 0, 1, 0, 0};
        g_SystemDefs[3] = g_SystemDefs[0];
        std::strcpy(g_SystemDefs[3].name, "Turned");
        g_SystemDefs[3].toSystem = Matrix{0, 2, -2, 0, 10, 0};
        g_SystemDefs[4] = SystemDef{};
        g_CurrentSystem.system = 3;
    }
    void TearDown() override
    {
        g_SystemDefs[0] = saved0;
        g_SystemDefs[3] = saved3;
        g_SystemDefs[4] = saved4;
        g_CurrentSystem.system = savedCurrent;
    }
};

TEST_F(MeasureTest, DistancesUseTheLinearPartOfTheChosenSystem)
{
    EXPECT_DOUBLE_EQ(ConvertSystemDistance(0, 0, 3, 4, 0), 5.0);
    EXPECT_DOUBLE_EQ(ConvertSystemDistance(0, 0, 3, 4, 3), 10.0);
    EXPECT_DOUBLE_EQ(ConvertSystemDistance(0, 0, 3, 4, -1), 10.0); // the current system
    EXPECT_DOUBLE_EQ(ConvertSystemDistance(0, 0, 3, 4, 4), 5.0);   // an unused system measures in system 0
}

TEST_F(MeasureTest, AnglesAreFoldedIntoOneTurnAndAZeroLegCountsAsZero)
{
    EXPECT_NEAR(ConvertPointAngle(0, 0, 1, 0, 0, 1, 1, 0), PI / 2, 1e-12);
    EXPECT_NEAR(ConvertPointAngle(0, 0, 1, 0, 0, 1, 0, 0), 3 * PI / 2, 1e-12);
    EXPECT_NEAR(ConvertPointAngle(0, 0, 0, 0, 0, 1, 1, 0), PI / 2, 1e-12);
}

TEST_F(MeasureTest, TextsOfPointsLengthsAndAreas)
{
    char x[256], y[256];
    ConvertPointToStrings(x, y, 1, 2, 3, 0, 2);
    EXPECT_STREQ(x, "6");
    EXPECT_STREQ(y, "2");
    char out[256];
    ConvertAreaToString(out, 400.0, 0, 0, 2);
    EXPECT_STREQ(out, "400");
    g_SystemDefs[0].scale = 2.0;
    ConvertSystemLengthToString(out, 10.0, 0, 0, 2);
    EXPECT_STREQ(out, "5");
}

TEST_F(MeasureTest, AUnitOutsideTheTableOrAScaleOfZeroGivesEmptyTexts)
{
    char out[256] = "x", out2[256] = "x";
    g_SystemDefs[0].lengthUnit = 999;
    ConvertDistanceToString(out, out2, 0, 0, 3, 4, 0, 0, 2);
    EXPECT_STREQ(out, "");
    g_SystemDefs[0].lengthUnit = -5;
    ConvertSystemLengthToString(out, 10.0, 0, 0, 2);
    EXPECT_STREQ(out, "");
    g_SystemDefs[0].lengthUnit = UNIT_CODE_MILLIMETRE;
    g_SystemDefs[0].angleUnit = 77;
    ConvertPointAngleToString(out, 0, 0, 1, 0, 0, 1, 1, 0, 0, 2);
    EXPECT_STREQ(out, "");
    g_SystemDefs[0].scale = 0.0;
    std::strcpy(out, "x");
    ConvertAreaToString(out, 400.0, 0, 0, 2);
    EXPECT_STREQ(out, "");
    ConvertSystemLengthToString(out, 10.0, 0, 0, 2);
    EXPECT_STREQ(out, "");
}

struct HsbRow {
    COLORREF color;
    double hue, saturation, brightness;
};

TEST(ColorModels, HsbOfTheCornersOfTheCube)
{
    const HsbRow rows[] = {
        {RGB(255, 255, 255), 0, 0, 100},
        {RGB(255, 0, 0), 0, 100, 100},
        {RGB(0, 0, 255), 240, 100, 100},
        {RGB(0, 255, 0), 120, 100, 100},
        {RGB(0, 0, 0), 0, 0, 0},
    };
    for (const HsbRow &r : rows) {
        double h, s, v;
        ConvertColorToHSB(r.color, &h, &s, &v);
        EXPECT_NEAR(h, r.hue, 1e-9) << std::hex << r.color;
        EXPECT_NEAR(s, r.saturation, 1e-9) << std::hex << r.color;
        EXPECT_NEAR(v, r.brightness, 1e-9) << std::hex << r.color;
        EXPECT_EQ(ConvertHSBToColor(h, s, v), r.color);
    }
    ConvertColorToHSB(RGB(1, 2, 3), nullptr, nullptr, nullptr); // null outputs are skipped
}

TEST(ColorModels, BackToColours)
{
    EXPECT_EQ(ConvertHSBToColor(360, 100, 100), RGB(255, 0, 0));
    EXPECT_EQ(ConvertHSBToColor(0, 0, 50), RGB(128, 128, 128));
    EXPECT_EQ(ConvertCMYToColor(0, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(ConvertPercentToColor(100, 50, 0), RGB(255, 128, 0));
    double c, m, y;
    ConvertColorToCMY(RGB(255, 0, 51), &c, &m, &y);
    EXPECT_DOUBLE_EQ(c, 0.0);
    EXPECT_DOUBLE_EQ(m, 100.0);
    EXPECT_DOUBLE_EQ(y, 80.0);
    // Hue orders first, then brightness.
    EXPECT_LT(ConvertColorSortKey(RGB(255, 0, 0)), ConvertColorSortKey(RGB(0, 255, 0)));
    EXPECT_LT(ConvertColorSortKey(RGB(128, 128, 128)), ConvertColorSortKey(RGB(200, 200, 200)));
}

} // namespace
