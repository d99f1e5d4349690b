// The reference check after a load or a new drawing: whatever names a free
// slot of its table falls back to slot 0, and nothing else changes.
#include <gtest/gtest.h>

#include <cstring>

#include "app/system.h"
#include "app/system_defs.h"
#include "app/system_validate.h"
#include "app/window.h"
#include "files/file.h"

namespace {

class SystemValidate : public testing::Test {
protected:
    void SetUp() override
    {
        SystemInitDrawing(0);
        g_DrawWindowCount = 1;
        WindowInitRecord(&g_DrawWindows[0], nullptr, 0);
        WindowInitRecord(&g_ViewWindow, nullptr, 0);
        g_ActiveWindow = 0;
    }
    void TearDown() override
    {
        SystemInitDrawing(0);
        WindowInitRecord(&g_DrawWindows[0], nullptr, 0);
        WindowInitRecord(&g_ViewWindow, nullptr, 0);
        g_ActivePen = g_ActiveLayer = g_CurrentHatch = 0;
        WindowSelectCurrent();
    }
    static int FreeSlot(int first, int slots, bool (*used)(int))
    {
        for (int i = first; i < slots; ++i)
            if (!used(i))
                return i;
        return -1;
    }
};

TEST_F(SystemValidate, ReferencesToFreeSlotsFallBackToZero)
{
    const int freePen = FreeSlot(3, PEN_SLOTS, PenIsDefined); // pens 1 and 2 are set below
    const int freeLayer = FreeSlot(1, LAYER_SLOTS, LayerIsDefined);
    const int freeSystem = FreeSlot(1, SYSTEM_SLOTS, [](int i) { return g_SystemDefs[i].name[0] != 0; });
    const int freeHatch = FreeSlot(1, HATCH_SLOTS, [](int i) { return g_HatchDefs[i].name[0] != 0; });
    ASSERT_TRUE(freePen > 0 && freeLayer > 0 && freeSystem > 0 && freeHatch > 0);
    g_ActivePen = freePen;
    g_ActiveLayer = freeLayer;
    g_CurrentHatch = freeHatch;
    g_DrawWindows[0].system = freeSystem;
    g_ViewWindow.system = freeSystem;
    g_DrawingViews[1].system = freeSystem;
    // Line types: 2 dashed, 3 without pairs, 4 free.
    std::strcpy(g_LineDefs[2].name, "Dashed");
    g_LineDefs[2].pairs = 1;
    std::strcpy(g_LineDefs[3].name, "Solid again");
    g_LineDefs[3].pairs = 0;
    g_LineDefs[4].name[0] = 0;
    std::strcpy(g_PenDefs[1].name, "Pen");
    g_PenDefs[1].setA.lineType = 2;
    g_PenDefs[1].setB.lineType = 3;
    g_PenDefs[2] = g_PenDefs[1];
    std::strcpy(g_PenDefs[2].name, "Other");
    g_PenDefs[2].setA.lineType = 4;
    g_PenDefs[2].setB.lineType = 700;

    EXPECT_EQ(SystemValidateReferences(), 0);
    EXPECT_EQ(g_ActivePen, 0);
    EXPECT_EQ(g_ActiveLayer, 0);
    EXPECT_EQ(g_CurrentHatch, 0);
    EXPECT_EQ(g_DrawWindows[0].system, 0);
    EXPECT_EQ(g_ViewWindow.system, 0);
    EXPECT_EQ(g_DrawingViews[1].system, 0);
    EXPECT_EQ(g_PenDefs[1].setA.lineType, 2);
    EXPECT_EQ(g_PenDefs[1].setB.lineType, 0);
    EXPECT_EQ(g_PenDefs[2].setA.lineType, 0);
    EXPECT_EQ(g_PenDefs[2].setB.lineType, 0);
}

TEST_F(SystemValidate, ReferencesToUsedSlotsStay)
{
    std::strcpy(g_PenDefs[5].name, "Five");
    std::strcpy(g_LayerDefs[6].name, "Six");
    std::strcpy(g_HatchDefs[7].name, "Seven");
    std::strcpy(g_SystemDefs[8].name, "Eight");
    g_ActivePen = 5;
    g_ActiveLayer = 6;
    g_CurrentHatch = 7;
    g_DrawWindows[0].system = 8;
    SystemValidateReferences();
    EXPECT_EQ(g_ActivePen, 5);
    EXPECT_EQ(g_ActiveLayer, 6);
    EXPECT_EQ(g_CurrentHatch, 7);
    EXPECT_EQ(g_DrawWindows[0].system, 8);
}

} // namespace
