// The mouse in the drawing windows: the crosshair follows it over the drawing
// area. Clicks join with point input and the margin buttons.
#include "commands/command_mouse.h"

#include "display/screen.h"

void CommandMouseMove(int window, int x, int y)
{
    ScreenHideCrosshairs();
    const int hit = ScreenHitTestMargin(window, x, y);
    if (hit == SCREEN_HIT_AREA_TRACKING)
        ScreenCrosshairOn(window);
    else
        ScreenCrosshairOff();
}

void CommandLButtonDown(int, int, int) {}
void CommandLButtonUp(int, int, int) {}
void CommandRButtonDown(int, int, int) {}
void CommandRButtonUp(int, int, int) {}
void CommandMButtonDown(int, int, int) {}
void CommandMButtonUp(int, int, int) {}
