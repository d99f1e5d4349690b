// Repairing references into the drawing's tables after a load or a new
// drawing, so that nothing goes on naming a slot that is empty.
#include "app/system_validate.h"

#include <initializer_list>

#include "app/system_defs.h"
#include "app/window.h"
#include "database/object_flags.h"
#include "files/file.h"

namespace {

bool SystemIsDefined(int index)
{
    return index >= 0 && index < SYSTEM_SLOTS && g_SystemDefs[index].name[0] != 0;
}

bool HatchIsDefined(int index)
{
    return index >= 0 && index < HATCH_SLOTS && g_HatchDefs[index].name[0] != 0;
}

// A line type that draws dashes: defined and with at least one pair.
bool LineTypeIsDashed(int index)
{
    return index > 0 && index < LINE_SLOTS && g_LineDefs[index].name[0] && g_LineDefs[index].pairs > 0;
}

void ValidateSystem(int32_t *system)
{
    if (!SystemIsDefined(*system))
        *system = 0;
}

} // namespace

void SystemValidateActiveSlots()
{
    if (!LayerIsDefined(g_ActiveLayer))
        g_ActiveLayer = 0;
    if (!PenIsDefined(g_ActivePen))
        g_ActivePen = 0;
    if (!HatchIsDefined(g_CurrentHatch))
        g_CurrentHatch = 0;
}

int SystemValidateReferences()
{
    for (DrawWindow &w : g_DrawWindows)
        ValidateSystem(&w.system);
    ValidateSystem(&g_ViewWindow.system);
    for (DrawingView &v : g_DrawingViews)
        ValidateSystem(&v.system);
    WindowSelectCurrent();
    SystemValidateActiveSlots();
    for (PenDef &pen : g_PenDefs)
        for (Property *set : {&pen.setA, &pen.setB})
            if (!LineTypeIsDashed(set->lineType))
                set->lineType = 0;
    WindowUpdateAllSystems();
    return ObjectUpdateDisplayFlagsAll(0);
}
