// The input aids that switch snapping, its single modes, ortho and duplicate.
#include <gtest/gtest.h>

#include "app/system.h"
#include "command_fixture.h"
#include "commands/menu.h"

namespace {

class InputAidSnap : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        saved_ = g_LocalData.snap;
    }
    void TearDown() override
    {
        g_LocalData.snap = saved_;
        CommandTest::TearDown();
    }
    LocalSnap saved_;
};

TEST_F(InputAidSnap, ExclusiveModesRememberTheGroup)
{
    LocalSnap &snap = g_LocalData.snap;
    snap.switches[1] = 1;
    snap.snapModes = 8 | 16 | 256;
    snap.reserved1 = 0;
    MenuInputAidCommand(nullptr, 1016); // middle alone
    EXPECT_EQ(snap.snapModes, 1 | 256);
    EXPECT_EQ(snap.reserved1, 8 | 16);
    MenuInputAidCommand(nullptr, 1017); // quadrant instead
    EXPECT_EQ(snap.snapModes, 2 | 256);
    MenuInputAidCommand(nullptr, 1019); // end points: the group comes back with it
    EXPECT_EQ(snap.snapModes, 8 | 16 | 256);
    MenuInputAidCommand(nullptr, 1019); // within the group a bit toggles
    EXPECT_EQ(snap.snapModes, 16 | 256);
}

TEST_F(InputAidSnap, ModesToggleWithoutTheExclusiveSwitch)
{
    LocalSnap &snap = g_LocalData.snap;
    snap.switches[1] = 0;
    snap.snapModes = 8;
    MenuInputAidCommand(nullptr, 1016);
    EXPECT_EQ(snap.snapModes, 9);
    MenuInputAidCommand(nullptr, 1019);
    EXPECT_EQ(snap.snapModes, 1);
    MenuInputAidCommand(nullptr, 1024);
    EXPECT_EQ(snap.snapModes, 1 | 256);
}

TEST_F(InputAidSnap, SnappingOnNeedsAMode)
{
    LocalSnap &snap = g_LocalData.snap;
    snap.switches[0] = 0;
    snap.snapModes = 0;
    MenuInputAidCommand(nullptr, 1015);
    EXPECT_EQ(snap.switches[0], 0u);
    snap.snapModes = 8;
    MenuInputAidCommand(nullptr, 1015);
    EXPECT_EQ(snap.switches[0], 1u);
    MenuInputAidCommand(nullptr, 1015);
    EXPECT_EQ(snap.switches[0], 0u);
}

TEST_F(InputAidSnap, OrthoAndDuplicateSwitches)
{
    const uint32_t ortho = g_DrawingSettings.displayOrtho, duplicate = g_DrawingSettings.displayDuplicate;
    MenuInputAidCommand(nullptr, 1012);
    EXPECT_EQ(g_DrawingSettings.displayOrtho, ortho ? 0u : 1u);
    MenuInputAidCommand(nullptr, 1011);
    EXPECT_EQ(g_DrawingSettings.displayDuplicate, duplicate ? 0u : 1u);
    g_DrawingSettings.displayOrtho = ortho;
    g_DrawingSettings.displayDuplicate = duplicate;
}

} // namespace
