// Default places of the tool windows that were never placed.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/init.h"
#include "app/system.h"

namespace {

constexpr LONG NOT_SET = SYSTEM_NOT_SET;

struct Expected {
    WindowPlacement ProgramOptions::*placement;
    const char *name;
    LONG x, y; // screen coordinates
};

TEST(StartupPlacements, NeverSavedPositionsGetTheirDefaults)
{
    ProgramOptions o;
    SystemInitProgramOptions(&o);
    o.panelVisible = 1;
    o.panelMoveable = 1;
    o.toolboxVisible = 1;
    o.toolboxMoveable = 1;
    o.panelPlacement.size = SIZE{100, 400};
    o.toolboxPlacement.size = SIZE{60, 300};
    const RECT area{10, 20, 810, 620};
    const POINT origin{1000, 2000};
    InitDefaultPlacements(&o, area, origin, SIZE{1200, 960});

    const LONG m = 4; // the free area's inset
    const Expected expected[] = {
        {&ProgramOptions::viewPlacement, "view", 810 - 300, 20 + m},
        {&ProgramOptions::panelPlacement, "panel", 10 + m, 20 + m},
        {&ProgramOptions::propertyPlacement, "property", 10 + m + 104 + 64, 20 + m},
        {&ProgramOptions::penPlacement, "pen tree", 10 + m + 10, 20 + m + 10},
        {&ProgramOptions::penDialogPlacement, "pen table", 10 + m + 5, 20 + m + 5},
        {&ProgramOptions::layerPlacement, "layer tree", 10 + m + 20, 20 + m + 20},
        {&ProgramOptions::layerDialogPlacement, "layer table", 10 + m + 15, 20 + m + 15},
        {&ProgramOptions::toolboxPlacement, "toolbox", 10 + m + 104, 20 + m},
        {&ProgramOptions::guidePlacement, "guide", 810 - 280, 620 - 140},
    };
    for (const Expected &e : expected) {
        SCOPED_TRACE(e.name);
        const WindowPlacement &p = o.*e.placement;
        EXPECT_EQ(p.pos.x, e.x + origin.x);
        EXPECT_EQ(p.pos.y, e.y + origin.y);
    }
    // Sizes that depend on the screen; saved sizes stay.
    EXPECT_EQ(o.viewPlacement.size.cx, 300);
    EXPECT_EQ(o.viewPlacement.size.cy, 240);
    EXPECT_EQ(o.penPlacement.size.cx, 200);
    EXPECT_EQ(o.layerPlacement.size.cy, 240);
    EXPECT_EQ(o.guidePlacement.size.cx, 280);
    EXPECT_EQ(o.panelPlacement.size.cx, 100);
    // The status bar is centred on the free area, its bottom on the area's.
    const WindowPlacement &s = o.statusPlacement;
    EXPECT_EQ(s.pos.x - origin.x, (10 + 810 - s.size.cx) / 2);
    EXPECT_EQ(s.pos.y - origin.y + s.size.cy, 620);
    const WindowPlacement &sym = o.symbolPlacement;
    EXPECT_EQ(sym.pos.x - origin.x + sym.size.cx, 810);
}

TEST(StartupPlacements, SavedPositionsStayAndHalfSetOnesAreDefaulted)
{
    ProgramOptions o;
    SystemInitProgramOptions(&o);
    o.guidePlacement.pos = POINT{-50, 70};   // saved, even partly off screen
    o.guidePlacement.size = SIZE{300, 200};
    o.penPlacement.pos = POINT{NOT_SET, 70}; // x never saved: both defaulted
    o.layerPlacement.pos = POINT{70, NOT_SET};
    InitDefaultPlacements(&o, RECT{0, 0, 800, 600}, POINT{0, 0}, SIZE{1200, 960});
    EXPECT_EQ(o.guidePlacement.pos.x, -50);
    EXPECT_EQ(o.guidePlacement.pos.y, 70);
    EXPECT_EQ(o.guidePlacement.size.cx, 300);
    EXPECT_EQ(o.penPlacement.pos.x, 4 + 10);
    EXPECT_EQ(o.penPlacement.pos.y, 4 + 10);
    EXPECT_EQ(o.layerPlacement.pos.x, 4 + 20);
    EXPECT_EQ(o.layerPlacement.pos.y, 4 + 20);
}

// Tool windows that are docked or hidden do not push the floating ones.
TEST(StartupPlacements, OnlyShownFloatingWindowsShiftTheOthers)
{
    ProgramOptions o;
    SystemInitProgramOptions(&o);
    o.panelVisible = 0;
    o.toolboxVisible = 1;
    o.toolboxMoveable = 0;
    InitDefaultPlacements(&o, RECT{0, 0, 800, 600}, POINT{0, 0}, SIZE{1200, 960});
    EXPECT_EQ(o.toolboxPlacement.pos.x, 4);
    EXPECT_EQ(o.propertyPlacement.pos.x, 4);
}

} // namespace
