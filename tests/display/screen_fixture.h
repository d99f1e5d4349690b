// A real drawing window of 400 x 300 pixels (drawing window 0, no rulers, no
// scroll bars) on a screen of 4 pixels per millimetre, showing a fresh
// drawing with the view centred on the zero point at zoom 1.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "app/window.h"
#include "common/test_objects.h"
#include "database/unit.h"

constexpr int TEST_AREA_WIDTH = 400;
constexpr int TEST_AREA_HEIGHT = 300;

class ScreenWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    DrawWindow &W() { return g_DrawWindows[0]; }
    // The client pixel of a drawing point, rounded as the display rounds.
    POINT Pixel(double x, double y);
    // The client area's pixels (0x00RRGGBB, row by row) as the screen shows them.
    std::vector<uint32_t> Grab();
    COLORREF PixelColour(int x, int y);
    // Paints the whole window now.
    void PaintNow();

    HWND hwnd_ = nullptr;
    uint32_t savedAppActive_ = 0;
};
