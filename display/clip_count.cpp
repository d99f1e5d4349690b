#include "display/clip.h"

#include <cmath>

#include "app/system.h"
#include "display/output.h"
#include "geometry/calc.h"

namespace {

constexpr double kFourPi = 12.566370614359172;
constexpr double kDeviceCircleCap = 360.0;
constexpr double kDevicePieceCap = 100.0;
constexpr double kOtherCircleCap = 60.0;
constexpr double kOtherPieceCap = 50.0;

// sqrt(|size / q|); a divisor that is not positive counts as infinitely fine.
double Fineness(double size, double q)
{
    if (!(q > 0.0))
        return HUGE_VAL;
    return std::sqrt(std::fabs(size / q));
}

int32_t Round(double v, double cap)
{
    if (!(v <= cap)) // also catches NaN
        v = cap;
    return (int32_t)std::floor(v + 0.5);
}

} // namespace

int32_t ClipArcSegmentCount(double r)
{
    const double *q = g_DrawingSettings.displayQuality;
    const double s = g_OutputContext.scale;
    switch (g_OutputContext.outputMode) {
    case OUTPUT_SCREEN:
        return Round(4.0 + CALC_TWO_PI * Fineness(r * s, q[0]), kDeviceCircleCap);
    case OUTPUT_COARSE:
    case OUTPUT_ENUMERATE:
        return Round(16.0 + CALC_TWO_PI * Fineness(r, q[2]), kDeviceCircleCap);
    case OUTPUT_METAFILE:
        return Round(16.0 + CALC_TWO_PI * Fineness(r * s, q[1]), kDeviceCircleCap);
    case OUTPUT_SCREEN_LIKE:
    case OUTPUT_PRINTER:
        return Round(16.0 + kFourPi * Fineness(r * s, q[1]), kDeviceCircleCap);
    default:
        return Round(16.0 + std::sqrt(std::fabs(r)), kOtherCircleCap);
    }
}

int32_t ClipArcSegmentCountEx(double size)
{
    const double *q = g_DrawingSettings.displayQuality;
    const double s = g_OutputContext.scale;
    switch (g_OutputContext.outputMode) {
    case OUTPUT_SCREEN:
        return Round(3.0 + Fineness(size * s, q[0]), kDevicePieceCap);
    case OUTPUT_COARSE:
    case OUTPUT_ENUMERATE:
        return Round(6.0 + Fineness(size, q[2]), kDevicePieceCap);
    case OUTPUT_METAFILE:
        return Round(9.0 + Fineness(size * s, q[1]), kDevicePieceCap);
    case OUTPUT_SCREEN_LIKE:
    case OUTPUT_PRINTER:
        return Round(9.0 + 2.0 * Fineness(size * s, q[1]), kDevicePieceCap);
    default:
        return Round(6.0 + std::sqrt(std::fabs(size)) / 4.0, kOtherPieceCap);
    }
}
