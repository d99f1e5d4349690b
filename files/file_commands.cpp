// The question before a drawing is closed, and opening a drawing.
#include "files/file_commands.h"

#include <windows.h>

#include <cstdio>

#include "app/darad4.h"
#include "app/system.h"
#include "app/system_changes.h"
#include "app/system_validate.h"
#include "app/window.h"
#include "app/window_title.h"
#include "dialogs/alert.h"
#include "files/file.h"
#include "files/file_drawinginfo.h"
#include "language/language.h"
#include "language/language_entries.h"

namespace {

constexpr int KIND_RECOGNISE = 0;
constexpr int KIND_NATIVE = 1;

bool Untitled() { return g_DrawingInfo.currentPath[0] == '*' || !g_DrawingInfo.currentPath[0]; }

void RenewTitle()
{
    if (g_MainWnd)
        WindowUpdateTitle(g_MainWnd);
}

} // namespace

void FileSetDefaultName()
{
    std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "*%s", LANG(eDefaultNames, Untitled));
    g_DrawingInfo.sectionsFound = 0;
}

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
    if (Untitled() || g_ReadOnly)
        return 0;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (!FileWriteDrawing(&g_DrawingInfo.info, g_DrawingInfo.currentPath,
                          g_DrawingInfo.sectionsFound | g_Options.fileModeSave))
        return 0;
    g_DrawingInfo.modified = 0;
    g_DrawingInfo.changed = 0;
    RenewTitle();
    return 1;
}

int FileOpenDrawing(const char *path, int kind, uint32_t sections, int setName, int merge)
{
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (kind != KIND_RECOGNISE && kind != KIND_NATIVE)
        return FILE_OPEN_NOT_THIS_KIND;
    if (FileRejectOldFormat(path))
        return FILE_OPEN_NOT_THIS_KIND;
    if (!FileCheckDrawingHeader(path)) {
        FileRejectForeignType(path);
        return FILE_OPEN_NOT_THIS_KIND;
    }
    const int read = FileReadDrawing(&g_DrawingInfo.info, path, sections, merge);
    // A failed read leaves a new drawing: its references are checked as well.
    SystemValidateReferences();
    if (!merge && (!read || setName)) {
        // A file that could not be read leaves a new drawing behind: it must
        // not keep the old name, or saving it would overwrite that file.
        if (read)
            std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "%s", path);
        else
            FileSetDefaultName();
        g_DrawingInfo.modified = 0;
        g_DrawingInfo.changed = 0;
    }
    SystemNotifyModulesNew();
    if (g_MainWnd && IsWindow(g_MainWnd))
        WindowShowNewDrawing(g_MainWnd);
    WindowSetActive(g_ActiveWindow, 1);
    RenewTitle();
    return read ? FILE_OPEN_DONE : FILE_OPEN_FAILED;
}
