// Loading and saving one-section files.
#include "files/file_onesection.h"

#include <windows.h>

#include <cstdio>
#include <functional>

#include "app/darad4.h"
#include "app/init.h"
#include "app/window_progress.h"
#include "dialogs/alert.h"
#include "files/file_internal.h"
#include "files/file_records.h"
#include "files/zvi.h"
#include "files/zvi_internal.h"
#include "language/language.h"
#include "language/language_entries.h"

namespace {

constexpr int TEXT_CANCELLED = 45; // eAlertTextSM

// Reads the header and walks the sections to the wanted one.
int LoadSection(const char *path, int keyword, const std::function<int()> &read)
{
    FileInitIndexMaps();
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!path || !ZVI_FileOpen(&file, path))
        return 0;
    WindowClearCancel();
    constexpr int FAILED = -1, WALKING = -2;
    int result = FAILED;
    if (ZVI_FileReadInitDisk(file) && ZviReadFileHeader(1)) {
        if (ZVI_FileReadLastKeyword() != KEY_DRAWING) {
            InitErrorBox(__FILE_NAME__, __LINE__, "Not a DRAWING file");
        } else {
            result = WALKING;
            while (result == WALKING) {
                if (!ZVI_FileReadNextSection())
                    result = FAILED;
                else if (WindowIsCancelled())
                    result = 0;
                else if (ZVI_FileReadLastKeyword() == KEY_EXIT)
                    result = 1; // no such section: nothing to read
                else if (ZVI_FileReadLastKeyword() == keyword)
                    result = !read() ? FAILED : WindowIsCancelled() ? 0 : 1;
            }
        }
    }
    if (result < 0)
        FileReportReadFailure(path, FILE_ALERT_SYNTAX, FILE_ALERT_WRONG_CONTENT);
    ZVI_FileReadExit();
    ZVI_FileClose(file);
    return result > 0 ? 1 : 0;
}

int SaveSection(const char *path, const std::function<int()> &write)
{
    // Written beside the file, which only a complete one replaces.
    FileReplacement r;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!FileReplaceCreate(&r, path, FILE_REPLACE_EXPORT, &file))
        return 0;
    char name[ZVI_PATH_SIZE], text[ZVI_PATH_SIZE + 64];
    ZVI_FileSplitName(path, nullptr, name);
    std::snprintf(text, sizeof text, LANG_FORMAT(eDialogText, WritingFile, "%s"), name);
    WindowShowProgress(LANG(eHeadlineText, DrawingFile), text, 0);
    int ok = ZVI_FileWriteInitDisk(file) && ZviWriteFileHeader();
    if (ok) {
        ZVI_FileWriteKeyword(KEY_DRAWING);
        ZVI_FileWriteString("");
        ZVI_FileWriteSemi();
        ok = FileWriteSectionEnd("DRAWING");
    }
    ok = ok && write() && ZVI_FileWriteEndOfFile() && ZVI_FileWriteFlush();
    DWORD error = ZviWriteSystemError();
    ZVI_FileWriteExit();
    WindowHideProgress();
    const bool cancelled = WindowIsCancelled() != 0;
    if (!ZVI_FileClose(file) && ok) {
        ok = 0;
        error = GetLastError();
    }
    ok = FileReplaceFinish(&r, ok && !cancelled, error, !cancelled);
    if (cancelled)
        AlertOk(g_MainWnd, eAlertTextSM[TEXT_CANCELLED]);
    return ok;
}

} // namespace

int FileLoadLayers(const char *path, LayerDef *table, uint32_t *linkOut, int32_t *activeOut)
{
    return LoadSection(path, KEY_LAYER, [&] { return FileReadLayers(table, linkOut, activeOut); });
}

int FileLoadPens(const char *path, PenDef *table, uint32_t *linkOut, int32_t *activeOut)
{
    return LoadSection(path, KEY_PEN, [&] { return FileReadPens(table, linkOut, activeOut); });
}

int FileLoadObjects(const char *path)
{
    return LoadSection(path, KEY_OBJECT, FileReadObjects);
}

int FileSaveLayers(const char *path, const LayerDef *table, uint32_t link, int32_t active)
{
    return SaveSection(path, [&] { return FileWriteLayers(table, link, active); });
}

int FileSavePens(const char *path, const PenDef *table, uint32_t link, int32_t active)
{
    return SaveSection(path, [&] { return FileWritePens(table, link, active); });
}

int FileSaveObjects(const char *path)
{
    return SaveSection(path, FileWriteObjects);
}
