#include "app/system_pending.h"

PendingLocalData g_PendingLocalData = {30, 1.0, {}, {}};

namespace {

// The drawing settings the measuring code relies on before a drawing has
// been given its settings.
bool PresetDrawingSettings()
{
    DrawingSettings &s = g_DrawingSettings;
    s.displayQuality[0] = 2.0;
    s.displayQuality[1] = 1.0;
    s.displayQuality[2] = 2.0;
    s.commentDisplay[0] = 1;
    s.displayGeometry[0] = 1;
    return true;
}

const bool s_Preset = PresetDrawingSettings();

} // namespace
