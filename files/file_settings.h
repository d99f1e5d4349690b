// The settings archive: the program's branch of the user's registry exported
// by the registry editor and packed with the zip helper, and the reverse.
#pragma once

// The registry file passed between the registry editor and the zip helpers,
// in the temporary folder.
constexpr const char *FILE_SETTINGS_TEMP_NAME = "ZV45TEMP.REG";

// 1 written; 0 with the file alert (code 9) for the archive.
int FileExportSettings(const char *archivePath);
// 1 merged into the registry; 0 with the file alert (code 3) for the archive.
int FileImportSettings(const char *archivePath);
