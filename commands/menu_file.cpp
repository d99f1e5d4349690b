// The File menu, commands 100 to 126: new, open, merge, save, save as, the
// recent files, the selection saved to a file and leaving the program.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "commands/command.h"
#include "commands/command_menu.h"
#include "commands/command_popup.h"
#include "commands/input_points.h"
#include "commands/menu.h"
#include "dialogs/alert.h"
#include "dialogs/box15.h"
#include "display/output_paint.h"
#include "display/print.h"
#include "files/file.h"
#include "files/file_commands.h"
#include "files/image_list.h"
#include "commands/command_state.h"
#include "database/object.h"
#include "database/object_select.h"
#include "files/file_drawinginfo.h"
#include "database/object_modify.h"
#include "files/zvi.h"
#include "app/window_title.h"
#include "language/language.h"

namespace {

constexpr int COMMAND_NEW = 100;
constexpr int COMMAND_OPEN = 101;
constexpr int COMMAND_SAVE = 102;
constexpr int COMMAND_SAVE_AS = 103;
constexpr int COMMAND_RECENT = 104;
constexpr int COMMAND_MERGE = 106;
constexpr int COMMAND_IMPORT_EMF = 107;
constexpr int COMMAND_IMPORT_WMF = 108;
constexpr int COMMAND_IMPORT_BMP = 109;
constexpr int COMMAND_RELOAD_BITMAPS = 110;
constexpr int COMMAND_SAVE_SELECTION = 112;
constexpr int COMMAND_EMBED_BITMAPS = 126;
constexpr uint32_t MASK_SELECTED = 4;
constexpr int COMMAND_EXPORT_EMF = 113;
constexpr int COMMAND_EXPORT_WMF = 114;
constexpr int COMMAND_EXIT = 125;
constexpr int COMMAND_PRINT = 123;
constexpr int COMMAND_PRINT_AREA = 124;
constexpr int TEXT_NOT_PRINTED = 24; // eAlertTextSM
// Numbers that stand for a submenu.
constexpr int SUBMENU_COMMANDS[] = {105, 111, 115, 116, 117, 118, 119, 120, 121, 122};

constexpr int BEGIN_EMPTY = 16;
constexpr int BEGIN_TEMPLATE = 17;
constexpr int TEXT_HOW_TO_BEGIN = 101;
constexpr int TEXT_OLDER_FORMAT = 61;
constexpr int LABEL_EMPTY = 86;
constexpr int LABEL_TEMPLATE = 87;
constexpr uint32_t FILE_EXISTS_QUESTION = 2;

struct Title {
    char text[256] = "";
    explicit Title(int commandId) { ConvertGetCommandTitle(text, commandId); }
};

// The running command ends: the drawing it worked on was replaced.
void EndRunningCommand()
{
    OutputHideCrosshair();
    CommandCancel();
    OutputShowCrosshair();
}

bool Untitled() { return g_DrawingInfo.currentPath[0] == '*' || !g_DrawingInfo.currentPath[0]; }

void NewDrawing(HWND mainWindow)
{
    if (!FileQueryClose())
        return;
    const uint32_t how = AlertBoxTexts(mainWindow, eAlertTextSM[TEXT_HOW_TO_BEGIN], BEGIN_EMPTY, BEGIN_TEMPLATE,
                                       ALERT_CANCEL, 1, eDialogText[LABEL_EMPTY], eDialogText[LABEL_TEMPLATE],
                                       eButtonText[1]);
    if (how == BEGIN_TEMPLATE) {
        FileDialogState &state = g_Options.fileDialogs[FD_INF];
        state.option = g_Options.fileModeNew;
        const FileTypeSelection request{0x45, 0, 0, FILE_KIND_TEMPLATE, 6, CHOOSER_OPEN};
        if (!Box15FileGetName(mainWindow, Title(COMMAND_NEW).text, &state, request))
            return;
        FileNewDrawing(state.current, state.option);
    } else if (how == BEGIN_EMPTY) {
        FileNewDrawing(nullptr, 0);
    } else {
        return;
    }
    EndRunningCommand();
}

// Open (replacing) and merge (adding): both ask about a changed drawing.
void OpenDrawing(HWND mainWindow, int commandId)
{
    if (!FileQueryClose())
        return;
    const bool merge = commandId == COMMAND_MERGE;
    FileDialogState &state = g_Options.fileDialogs[FD_ZVD];
    state.option = g_Options.fileModeLoad;
    const FileTypeSelection request = merge ? FileTypeSelection{0x8B, 0, 0, FILE_KIND_DRAWING, 31, CHOOSER_OPEN}
                                            : FileTypeSelection{0xE8B, 0xFFFFFFFF, 0, FILE_KIND_DRAWING, 1, CHOOSER_OPEN};
    if (!Box15FileGetName(mainWindow, Title(commandId).text, &state, request))
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    FileOpenDrawing(state.current, int(state.type), state.option, merge ? 0 : 1, merge ? 1 : 0);
    EndRunningCommand();
}

void SaveDrawing(HWND mainWindow)
{
    if (Untitled() || g_ReadOnly) {
        FileSaveDrawingAs(Title(COMMAND_SAVE_AS).text);
        return;
    }
    if (g_DrawingInfo.fileVersion && g_DrawingInfo.fileVersion < FILE_VERSION_460) {
        const uint32_t answer = AlertYesNoCancelDefNo(mainWindow, eAlertTextSM[TEXT_OLDER_FORMAT]);
        if (answer == ALERT_NO) {
            FileSaveDrawingAs(Title(COMMAND_SAVE_AS).text);
            return;
        }
        if (answer != ALERT_YES)
            return;
    }
    char path[SYSTEM_PATH_SIZE];
    std::snprintf(path, sizeof path, "%s", g_DrawingInfo.currentPath);
    if (ZVI_FileExist(path) && AlertFileError(mainWindow, path, FILE_EXISTS_QUESTION) != ALERT_GO_ON_6)
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (!FileSaveDrawing(&g_DrawingInfo.info, path, FILE_KIND_DRAWING,
                         g_DrawingInfo.sectionsFound | g_Options.fileModeSave, 1))
        return;
    FileStampDrawingInfo(&g_DrawingInfo.info);
    g_DrawingInfo.modified = 0;
    g_DrawingInfo.changed = 0;
    g_DrawingInfo.commentsChanged = 0;
    WindowUpdateTitle(mainWindow);
}

void SaveSelection(HWND mainWindow)
{
    FileDialogState &state = g_Options.fileDialogs[FD_ZVD];
    state.option = g_Options.fileModeSave;
    const FileTypeSelection request{0xF, 0, 0, FILE_KIND_DRAWING, 1, CHOOSER_SAVE};
    if (!Box15FileGetName(mainWindow, Title(COMMAND_SAVE_SELECTION).text, &state, request))
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    FileSaveDrawing(&g_DrawingInfo.info, state.current, int(state.type), state.option | FILE_MODE_SELECTION, 0);
}

// A metafile added to the drawing; the running command goes on.
void ImportMetafile(HWND mainWindow, int commandId)
{
    const bool emf = commandId == COMMAND_IMPORT_EMF;
    FileDialogState &state = g_Options.fileDialogs[emf ? FD_EMF : FD_WMF];
    const FileTypeSelection request = emf ? FileTypeSelection{0x201, 0, 0, FILE_KIND_EMF, -1, CHOOSER_OPEN}
                                          : FileTypeSelection{0x401, 0, 0, FILE_KIND_WMF, -1, CHOOSER_OPEN};
    if (!Box15FileGetName(mainWindow, Title(commandId).text, &state, request))
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    FileOpenDrawing(state.current, emf ? FILE_KIND_EMF : FILE_KIND_WMF, g_Options.fileDialogs[FD_ZVD].option, 0, 1);
}

// A bitmap placed at the point the command's insertion step accepted.
void ImportBitmap(HWND mainWindow)
{
    FileDialogState &state = g_Options.fileDialogs[FD_BMP];
    const FileTypeSelection request{0x801, 0, 0, FILE_KIND_BMP, -1, CHOOSER_OPEN};
    if (!Box15FileGetName(mainWindow, Title(COMMAND_IMPORT_BMP).text, &state, request))
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    FileOpenDrawing(state.current, FILE_KIND_BMP, g_Options.fileDialogs[FD_ZVD].option, 0, 1);
}

// Linked bitmap files are read again; images no object uses any more go.
void ReloadBitmaps()
{
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ImageFreeBitmaps(0);
    ImagePurgeUnused();
    ObjectRecalcAllFrames();
    OutputRedrawAll(1);
}

// The selected Bitmap objects take their linked files into the drawing.
void EmbedBitmaps()
{
    g_CommandState->selectedCount = ObjectExtentsSelected(0, MASK_SELECTED);
    if (g_CommandState->selectedCount <= 0)
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ImageFreeBitmaps(0);
    if (ObjectEmbedBitmaps(MASK_SELECTED))
        FileSetModified();
    ImagePurgeUnused();
    OutputRedrawAll(1);
}

// The selection written as a metafile.
void ExportMetafile(HWND mainWindow, int commandId)
{
    const bool emf = commandId == COMMAND_EXPORT_EMF;
    FileDialogState &state = g_Options.fileDialogs[emf ? FD_EMF : FD_WMF];
    const FileTypeSelection request = emf ? FileTypeSelection{0x201, 0, 0, FILE_KIND_EMF, 9, CHOOSER_SAVE}
                                          : FileTypeSelection{0x401, 0, 0, FILE_KIND_WMF, 10, CHOOSER_SAVE};
    if (!Box15FileGetName(mainWindow, Title(commandId).text, &state, request))
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    FileSaveDrawing(nullptr, state.current, emf ? FILE_KIND_EMF : FILE_KIND_WMF, FILE_MODE_SELECTION, 0);
}

// The drawing, or with `area` the rectangle of the two accepted corners, on
// the printer; a failure is reported here, whatever its cause.
void Print(HWND mainWindow, bool area)
{
    PrintSettings &s = g_DrawingSettings.print;
    s.userArea = area ? 1 : 0;
    if (area) {
        const ConstructionPoint &a = g_ConstructionPoints[0], &b = g_ConstructionPoints[1];
        s.userRect[0] = std::min(a.x, b.x);
        s.userRect[1] = std::min(a.y, b.y);
        s.userRect[2] = std::max(a.x, b.x);
        s.userRect[3] = std::max(a.y, b.y);
    }
    OutputHideCrosshair();
    if (!PrintCommand(mainWindow, g_DrawingInfo.currentPath))
        AlertOk(mainWindow, eAlertTextSM[TEXT_NOT_PRINTED]);
    // The area's corners are still the entered points here: shown now, their
    // marks would outlive the input that starts again after this handler,
    // which brings the crosshair back itself.
    if (!area)
        OutputShowCrosshair();
}

// Printed from "/p" on the command line: the program closes afterwards, the
// way the close box closes it (the save question, the settings).
void PrintAndClose(HWND mainWindow)
{
    Print(mainWindow, false);
    if (!g_StartPrint)
        return;
    g_StartPrint = 0;
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
}

bool IsSubmenu(int commandId)
{
    for (int id : SUBMENU_COMMANDS)
        if (id == commandId)
            return true;
    return false;
}

} // namespace

void MenuFileCommand(HWND mainWindow, int commandId)
{
    switch (commandId) {
    case COMMAND_NEW: NewDrawing(mainWindow); return;
    case COMMAND_OPEN:
    case COMMAND_MERGE: OpenDrawing(mainWindow, commandId); return;
    case COMMAND_SAVE: SaveDrawing(mainWindow); return;
    case COMMAND_SAVE_AS: FileSaveDrawingAs(Title(COMMAND_SAVE_AS).text); return;
    case COMMAND_RECENT: CommandRecentFilesPopup(); return;
    case COMMAND_IMPORT_EMF:
    case COMMAND_IMPORT_WMF: ImportMetafile(mainWindow, commandId); return;
    case COMMAND_IMPORT_BMP: ImportBitmap(mainWindow); return;
    case COMMAND_RELOAD_BITMAPS: ReloadBitmaps(); return;
    case COMMAND_SAVE_SELECTION: SaveSelection(mainWindow); return;
    case COMMAND_EMBED_BITMAPS: EmbedBitmaps(); return;
    case COMMAND_EXPORT_EMF:
    case COMMAND_EXPORT_WMF: ExportMetafile(mainWindow, commandId); return;
    // The same way as the close box: the save question and the settings.
    case COMMAND_EXIT: PostMessageA(mainWindow, WM_CLOSE, 0, 0); return;
    case COMMAND_PRINT: PrintAndClose(mainWindow); return;
    case COMMAND_PRINT_AREA: Print(mainWindow, true); return;
    default: break;
    }
    if (IsSubmenu(commandId))
        CommandShowSubmenu(commandId, nullptr);
    else
        InitBeep();
}
