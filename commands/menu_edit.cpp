// The Edit menu, commands 200 to 233. Built: undo, redo, clearing the undo
// history, the clipboard, the last-commands popup and deleting comments; the
// dialog commands beep until their dialog modules come.
#include <windows.h>

#include "app/convert.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "commands/command.h"
#include "commands/command_menu.h"
#include "commands/command_popup.h"
#include "commands/menu.h"
#include "database/object.h"
#include "database/object_rects.h"
#include "database/object_modify.h"
#include "database/symbol_block.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box05_defs.h"
#include "database/object_flags.h"
#include "display/output_paint.h"
#include "files/file_drawinginfo.h"
#include "files/meta.h"
#include "language/language.h"

namespace {

constexpr int COMMAND_UNDO = 200;
constexpr int COMMAND_REDO = 201;
constexpr int COMMAND_CLEAR_HISTORY = 202;
constexpr int COMMAND_CUT = 203;
constexpr int COMMAND_COPY = 204;
constexpr int COMMAND_PASTE = 205;
constexpr int COMMAND_LAST_COMMANDS = 210;
constexpr int COMMAND_VARIABLES = 211;
constexpr int TEXT_CLIPBOARD_FAILED = 3;
constexpr int COMMAND_DELETE_SELECTED_COMMENTS = 228;
constexpr int COMMAND_DELETE_ALL_COMMENTS = 231;
constexpr int SUBMENU_FIRST = 212;
constexpr int SUBMENU_LAST = 226;
constexpr int SUBMENU_OTHER = 206;
constexpr int TEXT_CLEAR_HISTORY = 49;
constexpr uint32_t MASK_SELECTED = 4;

// Cut and copy: the selection to the clipboard; cut deletes it only when the
// clipboard took it.
void CopySelection(HWND mainWindow, bool cut)
{
    if (!MetaCopyToClipboard(mainWindow, MASK_SELECTED)) {
        AlertOk(mainWindow, eAlertTextSM[TEXT_CLIPBOARD_FAILED]);
        return;
    }
    if (!cut)
        return;
    UndoInitProcess();
    if (ObjectDeleteSelected(MASK_SELECTED)) {
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
        UndoFinishProcess();
    } else {
        UndoCancelProcess();
    }
}

void Paste(HWND mainWindow)
{
    if (!MetaPasteFromClipboard(mainWindow))
        return;
    ObjectUpdateDisplayFlagsAll(0);
    ObjectResolveAllProperties();
    ObjectValidateDefaultSlots();
    OutputInvalidateAreaAll(g_ChangedRect);
}

// 211: texts that show variables change with them, so every frame is
// recomputed and every window repainted.
void EditVariables(HWND mainWindow)
{
    char title[CONVERT_TITLE_SIZE];
    ConvertGetCommandTitle(title, COMMAND_VARIABLES);
    if (!Box05EditVariableDefs(mainWindow, title, g_VariableDefs))
        return;
    SymbolRecalcFrames();
    ObjectRecalcAllFrames();
    OutputRedrawAll(1);
    FileSetModified();
}

void DeleteComments(uint32_t mask)
{
    UndoInitProcess();
    if (ObjectDeleteComments(mask)) {
        UndoFinishProcess();
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
    } else {
        UndoCancelProcess();
    }
}

} // namespace

void MenuEditCommand(HWND mainWindow, int commandId)
{
    switch (commandId) {
    // The running command's input starts again: no step of it may keep an
    // object that the undo step removed.
    case COMMAND_UNDO: CommandUndoRedo(0); return;
    case COMMAND_REDO: CommandUndoRedo(1); return;
    case COMMAND_CLEAR_HISTORY:
        if (AlertYesNo(mainWindow, eAlertTextSM[TEXT_CLEAR_HISTORY]) == ALERT_YES) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            UndoClearHistory();
        }
        return;
    case COMMAND_CUT: CopySelection(mainWindow, true); return;
    case COMMAND_COPY: CopySelection(mainWindow, false); return;
    case COMMAND_PASTE: Paste(mainWindow); return;
    case COMMAND_LAST_COMMANDS: CommandLastCommandsPopup(); return;
    case COMMAND_VARIABLES: EditVariables(mainWindow); return;
    case COMMAND_DELETE_SELECTED_COMMENTS: DeleteComments(MASK_SELECTED); return;
    case COMMAND_DELETE_ALL_COMMENTS: DeleteComments(0); return;
    default: break;
    }
    if (commandId == SUBMENU_OTHER || (commandId >= SUBMENU_FIRST && commandId <= SUBMENU_LAST))
        CommandShowSubmenu(commandId, nullptr);
    else
        InitBeep();
}
