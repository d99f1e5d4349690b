// Value conversions and titles.
#include "plugin_fixture.h"

#include "app/system_current.h"
#include "app/window.h"

namespace {

class Conversions : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        saved_ = g_ConvertState;
        savedDecimal_ = g_DisplayDecimal;
        g_ConvertState.window = nullptr; // unit factors 1
        g_ConvertState.decimals = 4;
        g_DisplayDecimal = 0;
    }
    void TearDown() override
    {
        g_ConvertState = saved_;
        g_DisplayDecimal = savedDecimal_;
        PluginTest::TearDown();
    }
    static std::string Text(double v)
    {
        char text[64] = "junk";
        EXPECT_EQ(ZVI_ConvertDoubleString(text, v), 1);
        return text;
    }

private:
    ConvertState saved_{};
    int32_t savedDecimal_ = 0;
};

TEST_F(Conversions, NumbersBecomeTextsOfTheCurrentDecimals)
{
    EXPECT_EQ(Text(2.5), "2.5");
    EXPECT_EQ(Text(3.0), "3.0");
    EXPECT_EQ(Text(-2.5), "-2.5");
    EXPECT_NE(Text(2e6).find("e+"), std::string::npos);
    EXPECT_EQ(Text(1e300), "");
    g_DisplayDecimal = 1;
    EXPECT_EQ(Text(2.5), "2,5");
}

TEST_F(Conversions, OutputBuffersAreProbedForTheirFullSize)
{
    EXPECT_EQ(ZVI_ConvertDoubleString(reinterpret_cast<char *>(GuardedBuffer(1)), 12345.678), 0);
    EXPECT_EQ(TakeReason(), "Text address invalid!");
    EXPECT_EQ(ZVI_ConvertIntString(reinterpret_cast<char *>(GuardedBuffer(6)), -2000000000), 0);
    EXPECT_EQ(ZVI_GetBuildDate("Feb  4 1999", reinterpret_cast<char *>(GuardedBuffer(6))), 0); // dates need 12
    char *date = reinterpret_cast<char *>(GuardedBuffer(12));
    EXPECT_EQ(ZVI_GetBuildDate("Feb  4 1999", date), 1);
    EXPECT_STREQ(date, "1999-Feb-04");
}

TEST_F(Conversions, TextsBecomeNumbers)
{
    // A window whose angles are in degrees.
    DrawWindow degrees{};
    degrees.angleFactor = 0.01745329251994;
    degrees.widthFactor = degrees.lengthFactor = degrees.mmPerUnit = 1.0;
    g_ConvertState.window = &degrees;
    double v = 0.0;
    EXPECT_EQ(ZVI_ConvertStringAngle(&v, "400", nullptr), 1);
    EXPECT_NEAR(v, 40 * 0.01745329251994, 1e-9);
    EXPECT_EQ(ZVI_ConvertStringAngle(&v, "360", nullptr), 1);
    EXPECT_NEAR(v, 360 * 0.01745329251994, 1e-9);
    EXPECT_EQ(ZVI_ConvertStringLength(&v, "1e101", nullptr), 0);
    int n = 77;
    EXPECT_EQ(ZVI_ConvertStringInt(&n, "abc"), 0);
    EXPECT_EQ(n, 77);
    EXPECT_EQ(ZVI_ConvertStringInt(&n, "6*7"), 1);
    EXPECT_EQ(n, 42);
    EXPECT_EQ(ZVI_ConvertStringInt(nullptr, "1"), 0);
    EXPECT_EQ(TakeReason(), "Value address invalid!");
}

TEST_F(Conversions, TitlesByKind)
{
    char title[ZVI_TITLE_SIZE];
    ASSERT_NE(ZVI_ObjectOpen(0), nullptr);
    ASSERT_EQ(ZVI_ObjectAddEnd(), 1);
    EXPECT_EQ(ZVI_GetUnitTitle(title, ZVI_ObjectGetAddress()), 1);
    EXPECT_STREQ(title, "Line");
    EXPECT_EQ(ZVI_GetUnitTitle(title, nullptr), 0);
    EXPECT_EQ(TakeReason(), "UnitPtr invalid!");
}

} // namespace
