#include "app/system_settings.h"

#include <cstring>

namespace {

constexpr double kDefaultQuality[3] = {2.0, 1.0, 2.0};
constexpr int32_t kDefaultSketchJitter = 30;
constexpr double kDefaultSketchStep = 2.0;

DrawingSettings DefaultDrawingSettings()
{
    DrawingSettings s{};
    for (int i = 0; i < 3; ++i)
        s.displayQuality[i] = kDefaultQuality[i];
    s.commentDisplay = 1;
    s.displayGeometry[0] = 1;
    s.outputGeometry = 0;
    return s;
}

} // namespace

DrawingSettings g_DrawingSettings = DefaultDrawingSettings();
LocalData g_LocalData = {kDefaultSketchJitter, kDefaultSketchStep, {}, {}};

void SystemDefaultDrawingSettings()
{
    g_DrawingSettings = DefaultDrawingSettings();
}

void SystemDefaultLocalData()
{
    std::memset(&g_LocalData, 0, sizeof g_LocalData);
    g_LocalData.sketchJitter = kDefaultSketchJitter;
    g_LocalData.sketchStep = kDefaultSketchStep;
}
