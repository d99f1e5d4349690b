// The Change menu: the commands that replace picked or selected objects by
// changed copies, each in one undo step. Numbers that stand for a submenu
// open it.
#include <cstring>

#include "app/init_sound.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "commands/menu.h"
#include "commands/transform.h"
#include "commands/trim.h"
#include "commands/trim_corner.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/undo.h"
#include "geometry/poly.h"
#include "display/output_paint.h"
#include "display/output_select.h"
#include "app/system.h"

namespace {

constexpr uint32_t SELECTED_OBJECTS = 0x4;

// One undo step around the operation; on success the old and new areas are
// repainted, a refusal leaves no step behind.
void RunChange(int (*operation)())
{
    UndoInitProcess();
    if (operation()) {
        UndoFinishProcess();
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
    } else {
        UndoCancelProcess();
    }
}

bool HasSelection()
{
    g_CommandState->selectedCount = ObjectExtentsSelected(LIST_DRAWING, SELECTED_OBJECTS);
    return g_CommandState->selectedCount > 0;
}

void DropSelection()
{
    if (g_CommandState->selectionDrawn)
        ObjectDeselectAll();
    else
        ObjectSelectionReset();
    OutputRedrawSelection();
}

// 718 and 719: the selection joined into one Surface or split into contours.
void RunOnSelection(int (*operation)(uint32_t, int), bool newAreaOnly)
{
    if (!HasSelection())
        return;
    UndoInitProcess();
    if (!operation(SELECTED_OBJECTS, 0)) {
        UndoCancelProcess();
        DropSelection();
        return;
    }
    UndoFinishProcess();
    if (newAreaOnly)
        OutputInvalidateAreaAll(g_ChangedRect);
    else
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
}

// 714: the surfaces the selected objects enclose around each point placed
// after the selection step, joined into one Surface.
void SurfaceAtPoints()
{
    if (!HasSelection())
        return;
    double selection[4];
    std::memcpy(selection, g_ExtentsRect, sizeof selection);
    UndoInitProcess();
    const int points = g_CommandState->pointIndex;
    bool built = points >= 2;
    for (int i = 1; built && i < points; ++i)
        built = PolyGenerateSurface(SELECTED_OBJECTS, g_ConstructionPoints[i].x, g_ConstructionPoints[i].y) != 0;
    ObjectDeselectAll();
    const bool joined = built && TransformSelectionToSurface(UNIT_TEMPORARY, 0);
    if (built)
        UndoDeleteTemporary();
    if (!joined) {
        UndoCancelProcess();
        OutputRedrawSelection();
        return;
    }
    UndoFinishProcess();
    OutputInvalidateTwoAreas(selection, g_ChangedRect);
}

// 735, 745, 746: each object converted in the conversion's own undo step.
void ConvertSelection(int commandId)
{
    if (!HasSelection())
        return;
    if (ObjectConvertSelection(SELECTED_OBJECTS, g_DrawingSettings.displayDuplicate ? 1 : 0, 0, commandId))
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
}

// The numbers of the range that stand for a submenu.
bool IsSubmenu(int id)
{
    return id == 700 || (id >= 709 && id <= 711) || id == 713 || (id >= 715 && id <= 717) || id == 722 ||
           id == 726 || id == 730 || id == 734 || (id >= 736 && id <= 744) || id >= 747;
}

} // namespace

void MenuChangeCommand(HWND mainWindow, int commandId)
{
    (void)mainWindow;
    switch (commandId) {
    case 701: RunChange(TrimCutOut); break;
    case 702: RunChange(TrimSplit); break;
    case 703: RunChange(TrimExplode); break;
    case 704: RunChange(TrimLengthToPoint); break;
    case 705: RunChange(TrimLengthToBoundary); break;
    case 706: RunChange(TrimAngleToPoint); break;
    case 707: RunChange(TrimAngleToBoundary); break;
    case 708: RunChange(TrimReverseDirection); break;
    case 712: RunChange(TransformCutAtVertex); break;
    case 714: SurfaceAtPoints(); break;
    case 718: RunOnSelection(TransformSelectionToSurface, false); break;
    case 719: RunOnSelection(TransformSplitParts, true); break;
    case 720: RunChange(TrimSetStartVertex); break;
    case CMD_CORNER_EXTEND: RunChange([] { return TrimCornerObjects(CMD_CORNER_EXTEND); }); break;
    case CMD_CORNER_CHAMFER: RunChange([] { return TrimCornerObjects(CMD_CORNER_CHAMFER); }); break;
    case CMD_CORNER_FILLET: RunChange([] { return TrimCornerObjects(CMD_CORNER_FILLET); }); break;
    case CMD_CORNER_ARC: RunChange([] { return TrimCornerObjects(CMD_CORNER_ARC); }); break;
    case CMD_VERTEX_CHAMFER: RunChange([] { return TrimVertexCommand(CMD_VERTEX_CHAMFER, 1); }); break;
    case CMD_VERTICES_CHAMFER: RunChange([] { return TrimVertexCommand(CMD_VERTICES_CHAMFER, 0); }); break;
    case CMD_VERTEX_FILLET: RunChange([] { return TrimVertexCommand(CMD_VERTEX_FILLET, 1); }); break;
    case CMD_VERTICES_FILLET: RunChange([] { return TrimVertexCommand(CMD_VERTICES_FILLET, 0); }); break;
    case CMD_VERTEX_ARC: RunChange([] { return TrimVertexCommand(CMD_VERTEX_ARC, 1); }); break;
    case CMD_VERTICES_ARC: RunChange([] { return TrimVertexCommand(CMD_VERTICES_ARC, 0); }); break;
    case 735:
    case 745:
    case 746: ConvertSelection(commandId); break;
    default:
        if (IsSubmenu(commandId))
            CommandShowSubmenu(commandId, nullptr);
        else
            InitBeep();
        break;
    }
}
