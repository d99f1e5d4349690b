// Settings-change propagation and module notifications.
#include "app/system_changes.h"

#include <windows.h>

#include <initializer_list>

#include "app/darad4.h"
#include "app/window.h"
#include "app/window_title.h"
#include "database/object_flags.h"
#include "display/output_paint.h"
#include "files/file_drawinginfo.h"
#include "plugin/zvi_module.h"

DefChangeFlags g_DefChangeFlags;

namespace {

void RaiseLevel(uint32_t level)
{
    if (g_DefChangeFlags.redrawLevel < level)
        g_DefChangeFlags.redrawLevel = level;
}

bool LineUsable(int32_t index)
{
    return index >= 0 && index < LINE_SLOTS && g_LineDefs[index].name[0] && g_LineDefs[index].pairs > 0;
}

// A pen's line type that is free or has no dashes becomes the solid 0.
void DropUnusableLineTypes()
{
    for (PenDef &pen : g_PenDefs)
        for (Property *set : {&pen.setA, &pen.setB})
            if (set->lineType != 0 && !LineUsable(set->lineType))
                set->lineType = 0;
}

// A window whose coordinate system is free shows system 0 instead.
void ResetFreeWindowSystems()
{
    DrawWindow *windows[DRAW_WINDOWS + 1];
    for (int i = 0; i < DRAW_WINDOWS; ++i)
        windows[i] = &g_DrawWindows[i];
    windows[DRAW_WINDOWS] = &g_ViewWindow;
    for (DrawWindow *w : windows) {
        const int32_t s = w->system;
        if (s < 0 || s >= SYSTEM_SLOTS || !g_SystemDefs[s].name[0]) {
            w->system = 0;
            g_DefChangeFlags.system[0] = 1;
        }
    }
}

void MarkSortStale(int32_t *index, int slots) { index[slots - 1] = -1; }

} // namespace

void SystemClearChanges()
{
    DefChangeFlags &f = g_DefChangeFlags;
    f.pages = f.systems = f.layers = f.lines = f.pens = f.multiLines = f.hatches = 0;
    f.redrawLevel = CHANGE_REDRAW_NONE;
}

int SystemApplyChanges(int redraw)
{
    DefChangeFlags &f = g_DefChangeFlags;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    bool modified = false;
    if (f.pages) {
        WindowUpdateAllSystems();
        RaiseLevel(CHANGE_REDRAW_ALL);
        modified = true;
    }
    if (f.systems) {
        ResetFreeWindowSystems();
        for (int s = 0; s < SYSTEM_SLOTS; ++s)
            if (f.system[s])
                WindowUpdateSystem(s);
        modified = true;
        // Dimensions measure in their systems; they are recomputed when drawn.
        RaiseLevel(CHANGE_REDRAW_ALL);
    }
    if (f.layers) {
        if (!LayerIsDefined(g_ActiveLayer))
            g_ActiveLayer = 0;
        MarkSortStale(g_LayerSortIndex, LAYER_SLOTS);
        f.pens = 1;
        g_LayerListDirty = 1;
    }
    if (f.lines) {
        DropUnusableLineTypes();
        f.pens = 1;
    }
    if (f.pens) {
        if (!PenIsDefined(g_ActivePen))
            g_ActivePen = 0;
        MarkSortStale(g_PenSortIndex, PEN_SLOTS);
        ObjectUpdateDisplayFlagsAll(1);
        ObjectValidateDefaultSlots();
        ObjectResolveAllProperties();
        RaiseLevel(CHANGE_REDRAW_ALL);
        modified = true;
        g_PenListDirty = 1;
    }
    if (f.multiLines)
        f.hatches = 1;
    if (f.hatches) {
        MarkSortStale(g_HatchSortIndex, HATCH_SLOTS);
        modified = true;
    }
    if (modified)
        g_DrawingInfo.modified = 1;
    WindowSelectCurrent();
    WindowSetActive(g_ActiveWindow, 1);
    if (g_MainWnd)
        WindowUpdateTitle(g_MainWnd);

    const uint32_t level = f.redrawLevel;
    if (level == CHANGE_RELAYOUT) {
        g_RelayoutPending = 1;
        OutputRedrawAll(1);
        g_RelayoutPending = 0;
    } else if (redraw && level == CHANGE_REDRAW_MARKED) {
        OutputRedrawAll(0);
    } else if (redraw && level == CHANGE_REDRAW_ALL) {
        OutputRedrawAll(1);
    }
    return redraw ? level >= CHANGE_REDRAW_ALL : level >= CHANGE_REDRAW_MARKED;
}

void SystemNotifyModulesNew() { PluginNotifyDrawing(MODULE_CODE_DRAWING_NEW); }
void SystemNotifyModulesClose() { PluginNotifyDrawing(MODULE_CODE_DRAWING_CLOSE); }
