// The running command's construction points, handed to the creators by index.
#pragma once

#include <cstdint>

// Construction point types.
constexpr int32_t CPOINT_START = 1;
constexpr int32_t CPOINT_LINE = 2;
constexpr int32_t CPOINT_CONTROL1 = 7;
constexpr int32_t CPOINT_CONTROL2 = 8;
constexpr int32_t CPOINT_ARC_END = 9;
constexpr int32_t CPOINT_ARC_PARAMETER = 102;

struct ConstructionPoint {
    double x;
    double y;
    int32_t type;
    int32_t spare;
};
static_assert(sizeof(ConstructionPoint) == 24);

// Enough for the points of the largest unit.
constexpr int INPUT_MAX_CONSTRUCTION_POINTS = 32768;
extern ConstructionPoint g_ConstructionPoints[INPUT_MAX_CONSTRUCTION_POINTS];
