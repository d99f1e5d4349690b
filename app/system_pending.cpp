#include "app/system_pending.h"

namespace {

DrawingSettings DefaultDrawingSettings()
{
    DrawingSettings s{};
    s.displayQuality[0] = 2.0;
    s.displayQuality[1] = 1.0;
    s.displayQuality[2] = 2.0;
    s.commentDisplay[0] = 1;
    s.displayGeometry[0] = 1;
    return s;
}

} // namespace

DrawingSettings g_DrawingSettings = DefaultDrawingSettings();
LocalData g_LocalData = {30, 1.0, {}, {}};
int32_t g_FontFillMode = 1;
