// A memory DIB of 200 x 200 pixels under a world window of 100 x 100 mm
// (2 pixels per millimetre, world y up), with a fresh drawing: default
// definition tables and settings, the work arrays and an object allocator.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/init.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "common/test_objects.h"
#include "common/test_support.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "display/clip.h"
#include "display/output.h"
#include "geometry/matrix.h"
#include "test_dib.h"

constexpr int DIB_SIZE = 200;
constexpr double WORLD_SIZE = 100.0;
constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);

class RenderTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The pixel at device (x, y) as a COLORREF.
    COLORREF Pixel(int x, int y) const;
    // The device pixel of a world point under the base matrix.
    void Device(double x, double y, int *px, int *py) const;
    COLORREF WorldPixel(double x, double y) const;
    void Clear(COLORREF colour = WHITE);
    int CountPixels(COLORREF colour) const;

    // A unit copy appended to a block's member chain.
    Unit *AddMember(Unit *block, const Unit *member);
    Unit *NewBlock(const char *name);
    Unit *NewInstance(int list, const char *block, const Matrix &placement, const double frame[4]);
    // A path object (Curve 12, Surface 13, Clip 42) from contours of points.
    Unit *NewPath(int list, int32_t type, const std::vector<std::vector<double>> &contours);

    std::unique_ptr<TestDib> dib_;
    HDC dc_ = nullptr; // the DIB's
    DrawingSettings savedSettings_{};
};
