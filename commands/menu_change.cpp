// The Change menu: the commands that replace picked objects by changed
// copies, each in one undo step. Numbers whose operation is not here beep.
#include "app/init_sound.h"
#include "commands/menu.h"
#include "commands/trim.h"
#include "commands/trim_corner.h"
#include "database/object_rects.h"
#include "database/undo.h"
#include "display/output_paint.h"

namespace {

constexpr int CMD_CUT_OUT = 701;
constexpr int CMD_SPLIT = 702;

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

} // namespace

void MenuChangeCommand(HWND mainWindow, int commandId)
{
    (void)mainWindow;
    switch (commandId) {
    case CMD_CUT_OUT: RunChange(TrimCutOut); break;
    case CMD_SPLIT: RunChange(TrimSplit); break;
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
    default: InitBeep(); break;
    }
}
