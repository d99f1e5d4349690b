// The current drawing's name and recent list, the question before a drawing
// is closed, and new, open, save and save as.
#include "files/file_commands.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/system.h"
#include "app/system_changes.h"
#include "app/system_validate.h"
#include "app/window.h"
#include "app/window_progress.h"
#include "app/window_title.h"
#include "dialogs/alert.h"
#include "dialogs/box15.h"
#include "database/object_flags.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "display/output_paint.h"
#include "files/file.h"
#include "files/file_records.h"
#include "files/image_file.h"
#include "commands/command_state.h"
#include "files/image_list.h"
#include "files/image_names.h"
#include "files/meta.h"
#include "database/object.h"
#include "database/symbol_block.h"
#include "database/undo.h"
#include "files/zvi.h"
#include "plugin/zvi.h"
#include "plugin/zvi_module.h"
#include "language/language.h"
#include "language/language_entries.h"

char g_LockedPath[DRAWING_PATH_SIZE] = "";

namespace {

constexpr int COMMAND_SAVE_AS = 103;
constexpr int DEFAULT_NAME_EXPORTED = 17;
constexpr int DEFAULT_NAME_FILE = 11;
constexpr int TEXT_WMF_HEADER = 9;
constexpr int TEXT_EMBED_BITMAP = 86;
constexpr uint32_t MASK_SELECTED = 4;

HANDLE g_LockHandle = INVALID_HANDLE_VALUE;

bool Untitled() { return g_DrawingInfo.currentPath[0] == '*' || !g_DrawingInfo.currentPath[0]; }

void RenewTitle()
{
    if (g_MainWnd && IsWindow(g_MainWnd))
        WindowUpdateTitle(g_MainWnd);
}

void Wait() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

void ClearModified()
{
    g_DrawingInfo.modified = 0;
    g_DrawingInfo.changed = 0;
}

void Copy(char *out, size_t size, const char *text) { std::snprintf(out, size, "%s", text); }

// The name a drawing imported from (or exported to) path gets: the same
// folder, the name with the marker appended, the drawing extension.
void ExportedName(const char *path, char *out)
{
    char folder[ZVI_PATH_SIZE] = "", name[ZVI_PATH_SIZE] = "";
    ZVI_FileSplitName(path, folder, name);
    if (char *dot = std::strrchr(name, '.'))
        *dot = '\0';
    std::snprintf(out, ZVI_PATH_SIZE, "%s%s%s.zvd", folder, name, eDefaultNames[DEFAULT_NAME_EXPORTED]);
}

// After a read that replaced the drawing: the windows show it.
void ShowDrawing()
{
    if (g_MainWnd && IsWindow(g_MainWnd))
        WindowShowNewDrawing(g_MainWnd);
}

void ViewFromWindow(const DrawWindow &w, DrawingView &v)
{
    v.system = w.system;
    v.displayGrid = int32_t(w.displayGrid);
    v.catchGrid = int32_t(w.catchGrid);
    v.centerX = w.centreX;
    v.centerY = w.centreY;
    v.zoom = w.zoom;
}

void ViewToWindow(const DrawingView &v, DrawWindow &w)
{
    w.system = v.system;
    w.displayGrid = uint32_t(v.displayGrid);
    w.catchGrid = uint32_t(v.catchGrid);
    w.centreX = v.centerX;
    w.centreY = v.centerY;
    if (v.zoom > 0)
        w.zoom = v.zoom;
}

} // namespace

void FileViewsFromWindows()
{
    ViewFromWindow(g_ViewWindow, g_DrawingViews[0]);
    for (int i = 0; i < WINDOW_DRAW_COUNT && i + 1 < FILE_VIEW_COUNT; ++i)
        ViewFromWindow(g_DrawWindows[i], g_DrawingViews[i + 1]);
}

void FileViewsToWindows()
{
    ViewToWindow(g_DrawingViews[0], g_ViewWindow);
    for (int i = 0; i < WINDOW_DRAW_COUNT && i + 1 < FILE_VIEW_COUNT; ++i)
        ViewToWindow(g_DrawingViews[i + 1], g_DrawWindows[i]);
    WindowSelectCurrent();
}

void FileSetDefaultName()
{
    std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "*%s", LANG(eDefaultNames, Untitled));
    g_DrawingInfo.sectionsFound = 0;
}

void FileSetCurrentName(const char *path, int exported)
{
    if (path[0] == '*') {
        Copy(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, path);
        return;
    }
    char full[ZVI_PATH_SIZE] = "";
    if (!ZVI_FileFullPath(path, full))
        Copy(full, sizeof full, path);
    if (exported) {
        char named[ZVI_PATH_SIZE];
        ExportedName(full, named);
        Copy(full, sizeof full, named);
    }
    Copy(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, full);

    // The file's old entry goes first, so that reopening a file of a full
    // list does not push the oldest one out.
    ProfileLists &r = g_ProfileLists;
    if (r.recentCount > RECENT_DRAWINGS)
        r.recentCount = RECENT_DRAWINGS;
    for (int i = 0; i < r.recentCount; ++i)
        if (!lstrcmpiA(r.recent[i], full)) {
            FileRemoveRecent(i);
            break;
        }
    std::memmove(r.recent[1], r.recent[0], sizeof r.recent[0] * (RECENT_DRAWINGS - 1));
    Copy(r.recent[0], sizeof r.recent[0], full);
    if (r.recentCount < RECENT_DRAWINGS)
        ++r.recentCount;
}

void FileUnlockCurrent()
{
    if (g_LockHandle != INVALID_HANDLE_VALUE)
        ZVI_FileClose(g_LockHandle);
    g_LockHandle = INVALID_HANDLE_VALUE;
    g_LockedPath[0] = '\0';
}

void FileLockCurrent()
{
    FileUnlockCurrent();
    if (Untitled() || g_ReadOnly)
        return;
    if (ZVI_FileOpen(&g_LockHandle, g_DrawingInfo.currentPath))
        Copy(g_LockedPath, sizeof g_LockedPath, g_DrawingInfo.currentPath);
    else
        g_LockHandle = INVALID_HANDLE_VALUE;
}

void FileInitDrawingInfo(DrawingInfo *info)
{
    FileFormatStartTime();
    std::memset(info, 0, sizeof *info);
    std::snprintf(info->title, sizeof info->title, eDefaultNames[5], 1L);
    Copy(info->author, sizeof info->author, g_Options.authorName);
    Copy(info->lastAuthor, sizeof info->lastAuthor, g_Options.authorName);
    Copy(info->created, sizeof info->created, g_StartTimeText);
}

void FileStampDrawingInfo(DrawingInfo *info) { Copy(info->saved, sizeof info->saved, g_StartTimeText); }

int FileQueryClose()
{
    SystemNotifyModulesClose();
    if (!g_DrawingInfo.modified)
        return 1;
    switch (AlertSaveDrawing(g_MainWnd)) {
    case ALERT_NO: return 1;
    case ALERT_YES: break;
    default: return 0;
    }
    if (Untitled() || g_ReadOnly) {
        char title[256] = "";
        ConvertGetCommandTitle(title, COMMAND_SAVE_AS);
        return FileSaveDrawingAs(title);
    }
    Wait();
    if (!FileSaveDrawing(&g_DrawingInfo.info, g_DrawingInfo.currentPath, FILE_KIND_DRAWING,
                         g_DrawingInfo.sectionsFound | g_Options.fileModeSave, 1))
        return 0;
    FileStampDrawingInfo(&g_DrawingInfo.info);
    ClearModified();
    RenewTitle();
    return 1;
}

int FileNewDrawing(const char *templatePath, uint32_t sections)
{
    Wait();
    FileUnlockCurrent();
    g_ReadOnly = 0;
    FileClearDrawing();
    char path[SYSTEM_PATH_SIZE] = "";
    if (templatePath && ZVI_FileExist(templatePath)) {
        Copy(path, sizeof path, templatePath);
    } else {
        SystemDefaultDrawingPath(path);
        sections = g_Options.fileModeNew;
    }
    if (path[0] && ZVI_FileExist(path))
        FileReadDrawing(&g_DrawingInfo.info, path, (sections ? sections : FILE_SECTIONS_ALL) | FILE_MODE_QUIET, 0);
    SymbolPurgeUnusedGroups();
    FileSetDefaultName();
    FileInitDrawingInfo(&g_DrawingInfo.info);
    ClearModified();
    g_DrawingInfo.fileVersion = FILE_VERSION_460;
    SystemValidateReferences();
    ImagePurgeUnused();
    FileViewsToWindows();
    SystemNotifyModulesNew();
    ShowDrawing();
    WindowSetActive(g_ActiveWindow, 1);
    RenewTitle();
    return 1;
}

namespace {

// The native format: replacing or merging.
// The definition tables a merge adds to, kept to put back when it fails.
struct DefinitionTables {
    PenDef pens[PEN_SLOTS];
    LayerDef layers[LAYER_SLOTS];
    LineDef lines[LINE_SLOTS];
    HatchDef hatches[HATCH_SLOTS];
    MultiLineDef multiLines[MULTILINE_SLOTS];
    SystemDef systems[SYSTEM_SLOTS];
    PageTable pages;
    VariableDef variables[VARIABLE_SLOTS];
    ColorDef colors[COLOR_SLOTS];
};

void KeepDefinitions(DefinitionTables *t)
{
    std::memcpy(t->pens, g_PenDefs, sizeof t->pens);
    std::memcpy(t->layers, g_LayerDefs, sizeof t->layers);
    std::memcpy(t->lines, g_LineDefs, sizeof t->lines);
    std::memcpy(t->hatches, g_HatchDefs, sizeof t->hatches);
    std::memcpy(t->multiLines, g_MultiLineDefs, sizeof t->multiLines);
    std::memcpy(t->systems, g_SystemDefs, sizeof t->systems);
    t->pages = g_PageDefs;
    std::memcpy(t->variables, g_VariableDefs, sizeof t->variables);
    std::memcpy(t->colors, g_ColorDefs, sizeof t->colors);
}

void RestoreDefinitions(const DefinitionTables &t)
{
    std::memcpy(g_PenDefs, t.pens, sizeof t.pens);
    std::memcpy(g_LayerDefs, t.layers, sizeof t.layers);
    std::memcpy(g_LineDefs, t.lines, sizeof t.lines);
    std::memcpy(g_HatchDefs, t.hatches, sizeof t.hatches);
    std::memcpy(g_MultiLineDefs, t.multiLines, sizeof t.multiLines);
    std::memcpy(g_SystemDefs, t.systems, sizeof t.systems);
    g_PageDefs = t.pages;
    std::memcpy(g_VariableDefs, t.variables, sizeof t.variables);
    std::memcpy(g_ColorDefs, t.colors, sizeof t.colors);
    g_PenSortIndex[PEN_SLOTS - 1] = -1;
    g_LayerSortIndex[LAYER_SLOTS - 1] = -1;
    g_HatchSortIndex[HATCH_SLOTS - 1] = -1;
    g_PenListDirty = g_LayerListDirty = 1;
}

// A native file merged into the drawing as one undo step: a merge that
// fails leaves objects, blocks and definitions as they were.
int MergeNative(const char *path, uint32_t sections)
{
    const auto kept = std::make_unique<DefinitionTables>();
    KeepDefinitions(kept.get());
    UndoInitProcess();
    const int read = FileReadDrawing(&g_DrawingInfo.info, path, sections, 1);
    if (read) {
        UndoFinishProcess();
        FileSetModified();
    } else {
        UndoCancelProcess();
        RestoreDefinitions(*kept);
        ImagePurgeUnused(); // images only the refused objects named
    }
    SystemValidateReferences();
    ShowDrawing();
    return read ? FILE_OPEN_DONE : FILE_OPEN_FAILED;
}

int LoadNative(const char *path, uint32_t sections, int setName, int merge)
{
    if (!FileCheckDrawingHeader(path))
        return FILE_OPEN_NOT_THIS_KIND;
    int readOnly = 0;
    if (merge)
        return MergeNative(path, sections);
    const bool ownLock = !g_ReadOnly && g_LockedPath[0] && !lstrcmpiA(path, g_LockedPath);
    if (!ownLock && ZVI_FileIsLocked(path)) {
        if (!WindowIsMasterProgress() && AlertYesNoDefNo(g_MainWnd, eAlertTextSM[111]) != ALERT_YES)
            return FILE_OPEN_FAILED;
        readOnly = 1;
    }
    // The lock on the file itself is let go before it is read again.
    FileUnlockCurrent();
    g_ReadOnly = 0;
    DrawingInfo info{};
    const int read = FileReadDrawing(&info, path, sections, 0);
    if (!read) {
        // A file that could not be read leaves a new drawing behind: it must
        // not keep the old name, or saving it would overwrite that file.
        FileNewDrawing(nullptr, 0);
        return FILE_OPEN_FAILED;
    }
    // Groups and positions that nothing uses any more are not carried along.
    SymbolPurgeUnusedGroups();
    g_DrawingInfo.info = info;
    g_DrawingInfo.sectionsFound = g_FileSectionsRead;
    g_DrawingInfo.fileVersion = g_FileVersion;
    SystemValidateReferences();
    if (g_FileSectionsRead & FILE_SECTION_WINDOW)
        FileViewsToWindows();
    SystemNotifyModulesNew();
    if (setName) {
        FileSetCurrentName(path, 0);
        ClearModified();
    }
    ShowDrawing();
    g_ReadOnly = uint32_t(readOnly);
    FileLockCurrent();
    if (g_FileSkippedSection && !WindowIsMasterProgress())
        AlertButton6(g_MainWnd, eAlertTextSM[102]);
    return FILE_OPEN_DONE;
}

} // namespace

namespace {

int LoadMetafile(const char *path, int kind, int setName, int merge)
{
    const bool emf = kind == FILE_KIND_EMF;
    if (!(emf ? MetaCheckEmfFile(path) : MetaCheckWmfFile(path)))
        return FILE_OPEN_NOT_THIS_KIND;
    if (!merge)
        FileNewDrawing(nullptr, 0);
    if (!(emf ? MetaImportEmf(g_MainWnd, path) : MetaImportWmf(g_MainWnd, path)))
        return FILE_OPEN_NOT_THIS_KIND;
    ObjectUpdateDisplayFlagsAll(0);
    ObjectResolveAllProperties();
    ObjectValidateDefaultSlots();
    OutputInvalidateAreaAll(g_ChangedRect);
    if (setName) {
        FileSetCurrentName(path, 1);
        ClearModified();
    }
    return FILE_OPEN_DONE;
}

// A bitmap file as a new drawing (one Bitmap object at the origin), or
// merged into the drawing at the first construction point; the file is
// embedded. Done only when the object was made.
// Why a bitmap was refused, in the user's words.
const char *BitmapFaultText(ImageDibFault fault)
{
    switch (fault) {
    case IMAGE_DIB_HEADER_SIZE: return LANG(eAlertTextSM, BitmapHeaderSize);
    case IMAGE_DIB_SIZE: return LANG(eAlertTextSM, BitmapSize);
    case IMAGE_DIB_PLANES: return LANG(eAlertTextSM, BitmapPlanes);
    case IMAGE_DIB_BIT_COUNT: return LANG(eAlertTextSM, BitmapBitCount);
    case IMAGE_DIB_COMPRESSION: return LANG(eAlertTextSM, BitmapCompression);
    case IMAGE_DIB_COLORS: return LANG(eAlertTextSM, BitmapColors);
    case IMAGE_DIB_IMAGE_SIZE: return LANG(eAlertTextSM, BitmapImageSize);
    case IMAGE_DIB_MASKS: return LANG(eAlertTextSM, BitmapMasks);
    default: return LANG(eAlertTextSM, BitmapShort);
    }
}

// A file that starts like a bitmap but is not a sound one is named with
// its fault; anything else is for the caller to refuse.
bool RefuseDamagedBitmap(const char *path, const std::vector<uint8_t> &bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const ImageDibFault fault = ImageValidateDib(bytes.data(), bytes.size(), true, nullptr);
    if (fault == IMAGE_DIB_OK || WindowIsMasterProgress())
        return fault != IMAGE_DIB_OK;
    char name[ZVI_PATH_SIZE], text[2 * ZVI_PATH_SIZE];
    ZVI_FileShortName(path, name);
    std::snprintf(text, sizeof text, LANG_FORMAT(eAlertTextSM, BitmapRefused, "%s %s"), name, BitmapFaultText(fault));
    AlertOk(g_MainWnd, text);
    return true;
}

int LoadBitmap(const char *path, int setName, int merge)
{
    std::vector<uint8_t> bytes;
    if (!ImageReadFileBytes(path, &bytes))
        return FILE_OPEN_NOT_THIS_KIND;
    if (RefuseDamagedBitmap(path, bytes))
        return FILE_OPEN_FAILED;
    const bool fileHeader = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    if (ImageValidateDib(bytes.data(), bytes.size(), fileHeader, nullptr) != IMAGE_DIB_OK)
        return FILE_OPEN_NOT_THIS_KIND;
    // A bitmap added to the drawing is embedded or linked as the user says
    // (linked inside a master progress); a new drawing embeds it.
    bool embed = true;
    if (merge && WindowIsMasterProgress()) {
        embed = false;
    } else if (merge) {
        const uint32_t answer = AlertYesNoCancel(g_MainWnd, eAlertTextSM[TEXT_EMBED_BITMAP]);
        if (answer == ALERT_CANCEL)
            return FILE_OPEN_FAILED;
        embed = answer == ALERT_YES;
    }
    if (!merge)
        FileNewDrawing(nullptr, 0);
    // A name of its own: the user's path stays out of the drawing.
    char name[IMAGE_UNIQUE_NAME_SIZE];
    ImageMakeUniqueName(name);
    const double x = merge ? g_ConstructionPoints[0].x : 0.0, y = merge ? g_ConstructionPoints[0].y : 0.0;
    UndoInitProcess();
    const bool stored = !embed || ImageStoreData(name, bytes.data(), uint32_t(bytes.size()));
    if (!stored || !ObjectNewBitmapRef(x, y, path, embed ? name : nullptr, embed ? 1 : 0)) {
        UndoCancelProcess();
        return FILE_OPEN_FAILED;
    }
    UndoFinishProcess();
    if (merge) {
        OutputInvalidateAreaAll(g_ChangedRect);
        FileSetModified();
        return FILE_OPEN_DONE;
    }
    if (setName) {
        FileSetCurrentName(path, 1);
        ClearModified();
    }
    ShowDrawing();
    return FILE_OPEN_DONE;
}

} // namespace

namespace {

// A plug-in import filter on the file; a file it read becomes the drawing's
// name like any other imported file.
int LoadImported(const char *path, int filter, int setName, int merge)
{
    const int result = PluginImportFile(filter, path, merge);
    if (result == FILE_OPEN_DONE) {
        ObjectUpdateDisplayFlagsAll(0);
        ObjectResolveAllProperties();
        ObjectValidateDefaultSlots();
        OutputRedrawAll(1);
        if (setName) {
            FileSetCurrentName(path, 1);
            ClearModified();
        }
    }
    return result;
}

} // namespace

int FileLoadDrawing(const char *path, int kind, uint32_t sections, int setName, int merge)
{
    int result = FILE_OPEN_NOT_THIS_KIND;
    // Bitmaps and plug-in formats are read by their importers.
    if (kind == FILE_KIND_EMF || kind == FILE_KIND_WMF)
        result = LoadMetafile(path, kind, setName, merge);
    else if (kind == FILE_KIND_BMP || kind == FILE_KIND_BITMAP_OTHER)
        result = LoadBitmap(path, setName, merge);
    else if (kind >= FILE_KIND_IMPORT && kind < FILE_KIND_EXPORT)
        result = LoadImported(path, kind - FILE_KIND_IMPORT, setName, merge);
    else if (kind < FILE_KIND_EMF || (kind > FILE_KIND_BMP && kind < FILE_KIND_IMPORT && kind != FILE_KIND_BITMAP_OTHER))
        result = LoadNative(path, sections, setName, merge);
    WindowSetActive(g_ActiveWindow, 1);
    RenewTitle();
    return result;
}

int FileOpenDrawing(const char *path, int kind, uint32_t sections, int setName, int merge)
{
    Wait();
    if (kind != FILE_KIND_ANY) {
        const int result = FileLoadDrawing(path, kind, sections, setName, merge);
        if (result == FILE_OPEN_NOT_THIS_KIND && !WindowIsMasterProgress())
            FileRejectForeignType(path);
        return result;
    }
    if (FileRejectOldFormat(path))
        return FILE_OPEN_NOT_THIS_KIND;
    for (int kind : {FILE_KIND_ANY, FILE_KIND_EMF, FILE_KIND_WMF, FILE_KIND_BMP}) {
        const int result = FileLoadDrawing(path, kind, sections, setName, merge);
        if (result != FILE_OPEN_NOT_THIS_KIND)
            return result;
    }
    // Then the plug-ins' import filters, in table order.
    for (int n = 0; n < ZviImportCount(); ++n) {
        const int result = FileLoadDrawing(path, FILE_KIND_IMPORT + n, sections, setName, merge);
        if (result != FILE_OPEN_NOT_THIS_KIND)
            return result;
    }
    FileRejectForeignType(path);
    return FILE_OPEN_NOT_THIS_KIND;
}

int FileSaveDrawing(const DrawingInfo *info, const char *path, int kind, uint32_t sections, int purge)
{
    SystemNotifyModulesClose();
    const uint32_t selection = (sections & FILE_MODE_SELECTION) ? MASK_SELECTED : 0;
    if (kind == FILE_KIND_EMF || kind == FILE_KIND_WMF) {
        int header = 1;
        if (kind == FILE_KIND_WMF && !WindowIsMasterProgress()) {
            const uint32_t answer = AlertYesNoCancel(g_MainWnd, eAlertTextSM[TEXT_WMF_HEADER]);
            if (answer == ALERT_CANCEL)
                return 0;
            header = answer == ALERT_YES;
        }
        Wait();
        ObjectExtentsSelected(0, selection);
        // The exporters tell the user of every failure themselves, once.
        if (kind == FILE_KIND_EMF)
            MetaExportEmf(g_MainWnd, path, selection);
        else
            MetaWriteWmfFile(g_MainWnd, path, selection, header);
        return 0; // an export does not save the drawing
    }
    if (kind >= FILE_KIND_EXPORT)
        return PluginExportFile(kind - FILE_KIND_EXPORT, path, selection);
    if (kind >= FILE_KIND_IMPORT)
        return 0;
    Wait();
    // Group and position blocks that no unit uses, not even one kept for
    // undo, are not written.
    if (purge)
        SymbolPurgeUnusedGroups();
    ObjectExtentsSelected(0, selection);
    FileViewsFromWindows();
    if (kind == FILE_KIND_ZIPPED)
        sections |= FILE_MODE_ZIPPED;
    FileUnlockCurrent();
    const int written = FileWriteDrawing(info, path, sections);
    if (written)
        g_DrawingInfo.fileVersion = FILE_VERSION_460;
    FileLockCurrent();
    return written;
}

int FileSaveDrawingAs(const char *caption)
{
    FileDialogState &state = g_Options.fileDialogs[FD_ZVD];
    if (Untitled()) {
        char name[ZVI_PATH_SIZE];
        std::snprintf(name, sizeof name, "%s%s.zvd", state.folders[0], eDefaultNames[DEFAULT_NAME_FILE]);
        Copy(state.current, sizeof state.current, name);
    } else {
        Copy(state.current, sizeof state.current, g_DrawingInfo.currentPath);
    }
    uint32_t mode = g_DrawingInfo.sectionsFound | g_Options.fileModeSave;
    const bool zipped = (mode & FILE_MODE_ZIPPED) != 0;
    if (state.type == FILE_KIND_DRAWING && zipped)
        state.type = FILE_KIND_ZIPPED;
    else if (state.type == FILE_KIND_ZIPPED && !zipped)
        state.type = FILE_KIND_DRAWING;
    else if (state.type == FILE_KIND_BACKUP && zipped)
        state.type = FILE_KIND_ZIPPED;
    state.option = mode;
    const FileTypeSelection selection{0x60F, 0, 0, FILE_KIND_DRAWING, FILE_KIND_DRAWING, CHOOSER_SAVE};
    if (!Box15FileGetName(g_MainWnd, caption, &state, selection))
        return 0;
    const int kind = int(state.type);
    char path[ZVI_PATH_SIZE];
    Copy(path, sizeof path, state.current);
    const CurrentDrawing before = g_DrawingInfo;
    int exported = 0, saved = 0;
    mode = state.option;
    if (kind == FILE_KIND_EMF || kind == FILE_KIND_WMF || kind == FILE_KIND_BMP || kind == FILE_KIND_BITMAP_OTHER ||
        kind >= FILE_KIND_EXPORT) {
        exported = 1;
        saved = FileSaveDrawing(nullptr, path, kind, 0, 1);
    } else if (kind < FILE_KIND_IMPORT) {
        mode = kind == FILE_KIND_ZIPPED ? (mode | FILE_MODE_ZIPPED) : (mode & ~FILE_MODE_ZIPPED);
        Copy(g_DrawingInfo.info.lastAuthor, sizeof g_DrawingInfo.info.lastAuthor, g_Options.authorName);
        // The user confirms the drawing's details before it is written; Cancel saves nothing.
        saved = Box15FileEditDetails(g_MainWnd, caption, path, &g_DrawingInfo.info, BOX15_DRAWING_SLOT, nullptr) &&
                FileSaveDrawing(&g_DrawingInfo.info, path, kind, mode, 1);
    }
    if (!saved) {
        g_DrawingInfo = before;
        return 0;
    }
    if (!WindowIsMasterProgress() && !Untitled() && lstrcmpiA(path, before.currentPath) &&
        AlertYesNo(g_MainWnd, eAlertTextSM[16]) != ALERT_YES) {
        // The drawing keeps its name and state: the file written is a copy.
        g_DrawingInfo = before;
        FileLockCurrent();
        RenewTitle();
        return 1;
    }
    if (exported)
        return 1; // an export leaves the drawing's name and state alone
    FileStampDrawingInfo(&g_DrawingInfo.info);
    FileSetCurrentName(path, 0);
    ClearModified();
    g_ReadOnly = 0;
    FileLockCurrent();
    g_DrawingInfo.sectionsFound = mode;
    g_DrawingInfo.fileVersion = FILE_VERSION_460;
    RenewTitle();
    return 1;
}
