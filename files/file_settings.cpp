// Exporting and importing the settings archive through external programs.
#include "files/file_settings.h"

#include <windows.h>

#include <cstdio>

#include "app/darad4.h"
#include "app/system.h"
#include "app/window_progress.h"
#include "dialogs/alert.h"
#include "files/file.h"
#include "files/zvi.h"

namespace {

constexpr int COMMAND_LINE_SIZE = 3 * ZVI_PATH_SIZE + 64;

bool TempRegistryFile(char *out)
{
    char folder[ZVI_PATH_SIZE];
    if (!ZviTempPath(folder))
        return false;
    return std::snprintf(out, ZVI_PATH_SIZE, "%s%s", folder, FILE_SETTINGS_TEMP_NAME) < ZVI_PATH_SIZE;
}

int Run(const char *format, const char *a, const char *b)
{
    char line[COMMAND_LINE_SIZE];
    if (std::snprintf(line, sizeof line, format, a, b) >= int(sizeof line))
        return PROCESS_FAILED;
    return WindowRunProcess(line);
}

} // namespace

int FileExportSettings(const char *archivePath)
{
    char temp[ZVI_PATH_SIZE], branch[SYSTEM_KEY_NAME_SIZE + 32];
    if (!archivePath || !TempRegistryFile(temp)) {
        AlertFileError(g_MainWnd, archivePath ? archivePath : "", FILE_ALERT_CANNOT_WRITE);
        return 0;
    }
    char key[SYSTEM_KEY_NAME_SIZE];
    SystemProgramKeyPath(key);
    std::snprintf(branch, sizeof branch, "HKEY_CURRENT_USER\\%s", key);
    ZVI_FileDelete(temp);
    const bool exported = Run("REGEDIT.EXE /e \"%s\" \"%s\"", temp, branch) == 0;
    const bool packed = exported && Run("ZVZIP.EXE \"%s\" \"%s\" -n -q", archivePath, temp) == 0;
    if (exported)
        ZVI_FileDelete(temp);
    if (packed)
        return 1;
    AlertFileError(g_MainWnd, archivePath, FILE_ALERT_CANNOT_WRITE);
    return 0;
}

int FileImportSettings(const char *archivePath)
{
    char temp[ZVI_PATH_SIZE], folder[ZVI_PATH_SIZE];
    if (!archivePath || !TempRegistryFile(temp) || !ZviTempPath(folder)) {
        AlertFileError(g_MainWnd, archivePath ? archivePath : "", FILE_ALERT_SYNTAX);
        return 0;
    }
    ZVI_FileDelete(temp);
    const bool unpacked = Run("ZVUNZIP.EXE \"%s\" \"%s\" -n -q", archivePath, folder) == 0;
    // The archive must hold the registry file: a foreign one is not merged.
    const bool merged = unpacked && GetFileAttributesA(temp) != INVALID_FILE_ATTRIBUTES &&
                        Run("REGEDIT.EXE \"%s\"%s", temp, "") == 0;
    if (unpacked)
        ZVI_FileDelete(temp);
    if (merged)
        return 1;
    AlertFileError(g_MainWnd, archivePath, FILE_ALERT_SYNTAX);
    return 0;
}
