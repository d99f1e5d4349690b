// The Edit menu, commands 200 to 233: undo and redo, the clipboard, the
// drawing's comments, the drawing details and the variables.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

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
#include "app/darad4.h"
#include "app/init_menus.h"
#include "app/status.h"
#include "app/system_validate.h"
#include "app/window.h"
#include "app/window_title.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "dialogs/box02.h"
#include "dialogs/box09_comment.h"
#include "dialogs/box15.h"
#include "display/output_select.h"
#include "files/file.h"
#include "files/file_onesection.h"
#include "commands/command_state.h"
#include "files/file_records.h"
#include "plugin/zvi.h"

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
constexpr int COMMAND_NEW_COMMENT = 207;
constexpr int COMMAND_COMMENT_LAYOUT = 208;
constexpr int COMMAND_DRAWING_DETAILS = 209;
constexpr int COMMAND_EDIT_COMMENT = 227;
constexpr int COMMAND_DELETE_SELECTED_COMMENTS = 228;
constexpr int COMMAND_SHOW_COMMENTS = 229;
constexpr int COMMAND_COMMENTS_ON_TOP = 230;
constexpr int COMMAND_DELETE_ALL_COMMENTS = 231;
constexpr int COMMAND_LOAD_COMMENTS = 232;
constexpr int COMMAND_SAVE_COMMENTS = 233;
constexpr int PROMPT_AUTHOR = 22;         // eBoxText
constexpr int TEXT_UNTITLED_NAME = 4;     // eDefaultPaths
constexpr int TEXT_COMMENTS_SUFFIX = 18;  // eDefaultNames
constexpr int PANEL_CELL_COMMENTS = 94;
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

struct Title {
    char text[CONVERT_TITLE_SIZE] = "";
    explicit Title(int commandId) { ConvertGetCommandTitle(text, commandId); }
};

// Comments are signed: the author is asked for once; the answer does not
// stop the command.
void AskAuthor(HWND mainWindow, const char *caption)
{
    if (!g_Options.authorName[0])
        Box02EditString(mainWindow, caption, eBoxText[PROMPT_AUTHOR], g_Options.authorName,
                        int(sizeof g_Options.authorName) - 1);
}

CommentDataRecord *NewCommentSettings()
{
    return reinterpret_cast<CommentDataRecord *>(g_LocalData.commandValues + LOCAL_COMMENT_SETTINGS);
}

// 207: at the two accepted points.
void NewComment(HWND mainWindow)
{
    const Title title(COMMAND_NEW_COMMENT);
    AskAuthor(mainWindow, title.text);
    CommentDataRecord *settings = NewCommentSettings();
    ZVI_InitCommentData(settings);
    if (!Box09CommentData(mainWindow, title.text, settings, g_LocalData.texts[LOCAL_COMMENT_TEXT], 1))
        return;
    UndoInitProcess();
    if (!ObjectNewComment()) {
        UndoCancelProcess();
        return;
    }
    UndoFinishProcess();
    if (!g_DrawingSettings.commentDisplay[0])
        PostMessageA(mainWindow, WM_COMMAND, COMMAND_SHOW_COMMENTS, 0);
    else
        OutputRedrawAll(1);
}

void EditCommentLayout(HWND mainWindow)
{
    CommentLayout layout = Box09CommentLayoutOf(g_DrawingSettings);
    if (!Box09CommentLayout(mainWindow, Title(COMMAND_COMMENT_LAYOUT).text, &layout))
        return;
    Box09StoreCommentLayout(layout, &g_DrawingSettings);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    InitDeleteMenus();
    InitCreateMenus(mainWindow);
    ObjectUpdateDisplayFlagsAll(1);
    OutputRedrawAll(1);
}

void EditDrawingDetails(HWND mainWindow)
{
    if (!Box15FileEditDetails(mainWindow, Title(COMMAND_DRAWING_DETAILS).text, g_DrawingInfo.currentPath,
                              &g_DrawingInfo.info, BOX15_DRAWING_SLOT, nullptr))
        return;
    FileSetModified();
    WindowUpdateTitle(mainWindow);
}

// The one selected object of the drawing, or null.
Unit *SelectedObject()
{
    for (Unit *u = MemListFirst(LIST_DRAWING, MASK_SELECTED, MASK_SELECTED, 1); u; u = MemListNext(u))
        return u;
    return nullptr;
}

void DropSelection()
{
    if (g_CommandState->selectionDrawn)
        ObjectDeselectAll();
    else
        ObjectSelectionReset();
    OutputRedrawSelection();
}

// 227: the comment dialog on the one selected comment, replaced by the
// edited copy in one undo step.
void EditComment(HWND mainWindow)
{
    const int count = ObjectExtentsSelected(0, MASK_SELECTED);
    g_CommandState->selectedCount = count;
    if (count == 0)
        return;
    if (count > 1) {
        AlertSM6(mainWindow);
        return;
    }
    const Title title(COMMAND_EDIT_COMMENT);
    AskAuthor(mainWindow, title.text);
    Unit *comment = SelectedObject();
    std::vector<char> text(LOCAL_TEXT_SIZE, 0);
    CommentDataRecord settings{};
    bool done = false;
    if (ObjectCommentOf(comment, text.data(), int(text.size()), &settings) &&
        Box09CommentData(mainWindow, title.text, &settings, text.data(), 0)) {
        UndoInitProcess();
        done = ObjectReplaceComment(comment, text.data(), &settings) != 0;
        if (done) {
            UndoFinishProcess();
            OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
            WindowUpdateTitle(mainWindow);
        } else {
            UndoCancelProcess();
        }
    }
    if (!done)
        DropSelection();
}

void ToggleComments()
{
    g_DrawingSettings.commentDisplay[0] = !g_DrawingSettings.commentDisplay[0];
    if (g_Options.panelVisible && hGlobalPanel) {
        HDC dc = GetDC(hGlobalPanel);
        StatusPaintPanelCell(dc, PANEL_CELL_COMMENTS);
        ReleaseDC(hGlobalPanel, dc);
    }
    ObjectUpdateDisplayFlagsAll(1);
    OutputRedrawAll(1);
}

void LoadComments(HWND mainWindow)
{
    FileDialogState &state = g_Options.fileDialogs[FD_ZVD];
    state.option = g_Options.fileModeLoad;
    const FileTypeSelection request{0x8B, 0, 0, FILE_KIND_DRAWING, -1, CHOOSER_OPEN};
    if (Box15FileGetName(mainWindow, Title(COMMAND_LOAD_COMMENTS).text, &state, request)) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        UndoInitProcess();
        if (FileLoadObjects(state.current)) {
            UndoFinishProcess();
            SystemValidateReferences();
            ObjectUpdateDisplayFlagsAll(0);
            ObjectResolveAllProperties();
            ObjectValidateDefaultSlots();
            OutputRedrawAll(1);
            FileSetModified();
            g_DrawingInfo.commentsChanged = 1;
            WindowRelayout(mainWindow);
            WindowSetActive(g_ActiveWindow, 1);
            WindowUpdateTitle(mainWindow);
        } else {
            UndoCancelProcess();
        }
    }
    OutputHideCrosshair();
    CommandCancel();
    OutputShowCrosshair();
}

} // namespace

void MenuEditCommentsFileName(const char *drawingPath, const char *folder, char *out, int size)
{
    const char *suffix = eDefaultNames[TEXT_COMMENTS_SUFFIX];
    if (!drawingPath[0] || drawingPath[0] == '*') {
        // "untitled." without its dot: the extension follows.
        std::string base = eDefaultPaths[TEXT_UNTITLED_NAME];
        if (!base.empty() && base.back() == '.')
            base.pop_back();
        std::snprintf(out, size_t(size), "%s%s%s.zvd", folder, base.c_str(), suffix);
        return;
    }
    // The suffix goes behind the name, also when the name has it already:
    // the proposal is never the drawing's own file.
    const std::string path = drawingPath;
    const size_t leaf = path.find_last_of("\\/:") == std::string::npos ? 0 : path.find_last_of("\\/:") + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < leaf)
        dot = path.size();
    std::snprintf(out, size_t(size), "%s%s%s", path.substr(0, dot).c_str(), suffix, path.substr(dot).c_str());
}

namespace {

void SaveComments(HWND mainWindow)
{
    FileDialogState &state = g_Options.fileDialogs[FD_ZVD];
    MenuEditCommentsFileName(g_DrawingInfo.currentPath, state.folders[0], state.current, sizeof state.current);
    state.option = g_Options.fileModeSave;
    const bool zipped = (state.option & FILE_MODE_ZIPPED) != 0;
    if (zipped && (state.type == FILE_KIND_DRAWING || state.type == FILE_KIND_BACKUP))
        state.type = FILE_KIND_ZIPPED;
    else if (!zipped && state.type == FILE_KIND_ZIPPED)
        state.type = FILE_KIND_DRAWING;
    const FileTypeSelection request{0xB, 0, 0, FILE_KIND_DRAWING, -1, CHOOSER_SAVE};
    if (!Box15FileGetName(mainWindow, Title(COMMAND_SAVE_COMMENTS).text, &state, request))
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (FileSaveObjects(state.current)) {
        g_DrawingInfo.commentsChanged = 0;
        WindowUpdateTitle(mainWindow);
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
    case COMMAND_NEW_COMMENT: NewComment(mainWindow); return;
    case COMMAND_COMMENT_LAYOUT: EditCommentLayout(mainWindow); return;
    case COMMAND_DRAWING_DETAILS: EditDrawingDetails(mainWindow); return;
    case COMMAND_EDIT_COMMENT: EditComment(mainWindow); return;
    case COMMAND_DELETE_SELECTED_COMMENTS: DeleteComments(MASK_SELECTED); return;
    case COMMAND_SHOW_COMMENTS: ToggleComments(); return;
    case COMMAND_COMMENTS_ON_TOP:
        g_DrawingSettings.commentDisplay[1] = !g_DrawingSettings.commentDisplay[1];
        return;
    case COMMAND_DELETE_ALL_COMMENTS: DeleteComments(0); return;
    case COMMAND_LOAD_COMMENTS: LoadComments(mainWindow); return;
    case COMMAND_SAVE_COMMENTS: SaveComments(mainWindow); return;
    default: break;
    }
    if (commandId == SUBMENU_OTHER || (commandId >= SUBMENU_FIRST && commandId <= SUBMENU_LAST))
        CommandShowSubmenu(commandId, nullptr);
    else
        InitBeep();
}
