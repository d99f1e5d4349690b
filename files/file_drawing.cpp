// Drawing files as a whole: header recognition, reading by section mask from
// disk or memory, writing in the writer's section order, progress and the
// failures the user is told about.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/darad4.h"
#include "app/init.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/system_validate.h"
#include "app/window_progress.h"
#include "database/object.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "files/file.h"
#include "files/file_internal.h"
#include "files/file_records.h"
#include "files/image_list.h"
#include "files/zvi.h"
#include "files/zvi_internal.h"
#include "language/language_entries.h"

namespace {

constexpr int HEADER_BYTES = FILE_HEADER_LENGTH + 1;
constexpr int OLD_DRAWING = 54;
constexpr int OLD_LIBRARY = 55;
constexpr int FOREIGN_WMF = 56;
constexpr int FOREIGN_BMP = 57;
constexpr int FOREIGN_DXF = 58;
constexpr int FOREIGN_OTHER = 59;
constexpr int MESSAGE_SIZE = 600;

struct KnownHeader {
    const char *text;
    int32_t version;
};
const KnownHeader HEADERS[] = {
    {"Quirn++Valsev CAD 4.60", FILE_VERSION_460},
    {"Quirn++Valsev NUV 4.50", FILE_VERSION_450},
    {"Vulmeridasoft NUV 4.20", FILE_VERSION_420},
    {"Vulmeridasoft NUV 4.00", FILE_VERSION_400},
};

struct OldHeader {
    const char *text;
    int message;
};
const OldHeader OLD_HEADERS[] = {
    {"Vulmeridasoft NUV 3.00", OLD_DRAWING},   {"Vulmeridasoft NUB 3.00", OLD_LIBRARY},
    {"Vulmeridasoft NUV 2.01", FOREIGN_OTHER}, {"Vulmeridasoft NUV 1.00", FOREIGN_OTHER},
    {"Vulmeridasoft NUB 2.01", FOREIGN_OTHER}, {"Vulmeridasoft NUB 1.00", FOREIGN_OTHER},
    {"Vulmeridasoft KWR 1.00", FOREIGN_OTHER},
};

// The first bytes of a file; the count read.
int ReadFirstBytes(const char *path, char *out, int count)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!ZVI_FileOpen(&file, path))
        return 0;
    const int32_t n = ZVI_FileRead(file, out, count);
    ZVI_FileClose(file);
    return n < 0 ? 0 : n;
}

// The password option of the packer and unpacker, when the mode asks for it.
void AppendPassword(char *line, size_t size, uint32_t mode)
{
    constexpr uint32_t MODE_PASSWORD = 0x2000000;
    const size_t used = std::strlen(line);
    if ((mode & MODE_PASSWORD) && g_Options.filePassword[0] && used < size)
        std::snprintf(line + used, size - used, " \"-s%s\"", g_Options.filePassword);
}

bool IsZipStart(const char *bytes, int count)
{
    return count >= 2 && bytes[0] == 'P' && bytes[1] == 'K';
}

// Alerts are kept back while a master progress runs: the caller reports.
uint32_t FileAlert(const char *name, uint32_t code)
{
    if (WindowIsMasterProgress())
        return code;
    return AlertFileError(g_MainWnd, name, code);
}

void ShowText(HWND owner, const char *format, const char *path)
{
    if (WindowIsMasterProgress())
        return;
    char shortName[ZVI_PATH_SIZE] = "";
    ZVI_FileShortName(path, shortName);
    char text[MESSAGE_SIZE];
    std::snprintf(text, sizeof text, format, shortName);
    AlertOk(owner, text);
}

// "name.ext" of a path for the progress texts.
void NameAndExtension(const char *path, char *out)
{
    const char *name = path;
    for (const char *p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    std::snprintf(out, ZVI_PATH_SIZE, "%s", name);
}

bool Quiet(uint32_t sections)
{
    return (sections & FILE_MODE_QUIET) != 0;
}

void StartProgress(uint32_t sections, const char *format, const char *name, int withBar)
{
    if (Quiet(sections)) {
        WindowClearCancel();
        return;
    }
    char text[MESSAGE_SIZE];
    std::snprintf(text, sizeof text, format, name);
    WindowShowProgress(LANG(eHeadlineText, DrawingFile), text, withBar);
}

void EndProgress(uint32_t sections)
{
    if (!Quiet(sections))
        WindowHideProgress();
}

// The sections after the first keyword, in file order, until EXIT. 1 when
// the file was read to its end or the user cancelled, 0 on failure.
int ReadSections(uint32_t sections, int merge)
{
    for (;;) {
        if (!ZVI_FileReadNextSection())
            return 0;
        if (WindowIsCancelled())
            return 1;
        int ok = 1;
        switch (ZVI_FileReadLastKeyword()) {
        case KEY_EXIT: return 1;
        case KEY_DRAWING: ok = FileReadSectionDrawing(nullptr, 0, sections & ~FILE_SECTION_DRAWING); break;
        case KEY_DEFAULT: ok = FileReadSectionDefault(sections); break;
        case KEY_PROFILE: ok = FileReadSectionProfile(0, sections); break;
        case KEY_MODULE: ok = FileReadSectionModule(LIST_PLUGIN_DATA, sections); break;
        case KEY_PAGE: ok = FileReadSectionPage(sections); break;
        case KEY_COLOR: ok = FileReadSectionColor(sections); break;
        case KEY_HATCH: ok = FileReadSectionHatch(sections); break;
        case KEY_MULTILINE: ok = FileReadSectionMultiLine(sections); break;
        case KEY_SYSTEM: ok = FileReadSectionSystem(sections); break;
        case KEY_PEN: ok = FileReadSectionPen(sections); break;
        case KEY_LINE: ok = FileReadSectionLine(sections); break;
        case KEY_LAYER: ok = FileReadSectionLayer(sections); break;
        case KEY_WINDOW: ok = FileReadSectionWindow(sections); break;
        case KEY_BITMAP: ok = FileReadSectionBitmap(0, sections); break;
        case KEY_VARIABLE: ok = FileReadSectionVariable(sections); break;
        case KEY_BLOCK: ok = FileReadSectionBlock(LIST_OWN_BLOCKS, sections, merge); break;
        case KEY_OBJECT: ok = FileReadSectionObject(LIST_DRAWING, sections, merge); break;
        default: break; // LIBRARY, ATTRIB, PREVIEW: not read in drawings
        }
        if (!ok)
            return 0;
        if (WindowIsCancelled())
            return 1;
    }
}

// The whole read behind the header: the DRAWING record, the sections, the
// end of the file. 1 read, 2 cancelled, 0 failed.
int ReadBody(DrawingInfo *info, uint32_t sections, int merge)
{
    if (ZVI_FileReadLastKeyword() != KEY_DRAWING) {
        InitErrorBox(__FILE_NAME__, __LINE__, "Not a DRAWING file");
        return 0;
    }
    if (!FileReadSectionDrawing(info, 0, sections))
        return 0;
    if (!ReadSections(sections, merge))
        return 0;
    if (WindowIsCancelled())
        return 2;
    return ZVI_FileReadEndOfFile() ? 1 : 0;
}

// The name a failure names: the file and the line where reading stopped.
void FailureName(const char *name, char *out)
{
    int32_t line = ZviReadLastErrorLine();
    if (line <= 0)
        line = ZVI_FileReadCurrentLine() + 1;
    std::snprintf(out, ZVI_PATH_SIZE, "%s, line %ld", name, long(line));
}

void ReportFailure(const char *name, uint32_t syntaxCode, uint32_t contentCode)
{
    char where[ZVI_PATH_SIZE];
    FailureName(name, where);
    if (ZVI_FileReadError()) {
        char text[96];
        int32_t line = ZviReadLastErrorLine();
        if (line <= 0)
            line = ZVI_FileReadCurrentLine() + 1;
        std::snprintf(text, sizeof text, "Syntax error in line %ld of ZVD file", long(line));
        InitErrorBox(__FILE_NAME__, __LINE__, text);
        FileAlert(where, syntaxCode);
    } else {
        FileAlert(where, contentCode);
    }
}

// Why a file with an unknown header was refused.
void RefuseHeader(const char *path)
{
    char bytes[HEADER_BYTES] = {};
    const int n = ReadFirstBytes(path, bytes, HEADER_BYTES);
    if (FileRejectOldFormat(path))
        return;
    if (IsZipStart(bytes, n)) {
        FileAlert(path, FILE_ALERT_UNPACK);
        return;
    }
    InitErrorBox(__FILE_NAME__, __LINE__, "Not a ZVD file");
    FileAlert(path, FILE_ALERT_READ);
}

// Writes the header and every section in the writer's order, then EXIT.
int WriteAll(const DrawingInfo *info, uint32_t sections)
{
    return ZviWriteFileHeader() && FileWriteSectionDrawing(info, 0, sections) && FileWriteSectionDefault(sections) &&
           FileWriteSectionProfile(0, sections) && FileWriteSectionModule(LIST_PLUGIN_DATA, sections) &&
           FileWriteSectionPage(sections) && FileWriteSectionColor(sections) && FileWriteSectionHatch(sections) &&
           FileWriteSectionMultiLine(sections) && FileWriteSectionSystem(sections) && FileWriteSectionPen(sections) &&
           FileWriteSectionLine(sections) && FileWriteSectionLayer(sections) && FileWriteSectionWindow(sections) &&
           FileWriteSectionBitmap(0, sections, 0) && FileWriteSectionVariable(sections) &&
           FileWriteSectionBlock(LIST_OWN_BLOCKS, sections) && FileWriteSectionObject(LIST_DRAWING, sections) &&
           ZVI_FileWriteEndOfFile() && ZVI_FileWriteFlush();
}

// Why a save failed, as far as it was found.
enum class SaveCause { Locked, NoRoom, NoPermission, ReadOnly, Other };

SaveCause SaveFailureCause(DWORD error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return SaveCause::Locked;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return SaveCause::NoRoom;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return SaveCause::NoPermission;
    default: return SaveCause::Other;
    }
}

// The text that tells the user, formatted with the file's name.
const char *SaveCauseText(SaveCause cause, int what)
{
    if (what == FILE_REPLACE_EXPORT) {
        switch (cause) {
        case SaveCause::Locked: return LANG_FORMAT(eAlertErrorText, ExportLocked, "%s");
        case SaveCause::NoRoom: return LANG_FORMAT(eAlertErrorText, ExportNoRoom, "%s");
        case SaveCause::NoPermission: return LANG_FORMAT(eAlertErrorText, ExportNoPermission, "%s");
        case SaveCause::ReadOnly: return LANG_FORMAT(eAlertErrorText, ExportReadOnly, "%s");
        default: return LANG_FORMAT(eAlertErrorText, ExportFailed, "%s");
        }
    }
    switch (cause) {
    case SaveCause::Locked: return LANG_FORMAT(eAlertErrorText, SaveLocked, "%s");
    case SaveCause::NoRoom: return LANG_FORMAT(eAlertErrorText, SaveNoRoom, "%s");
    case SaveCause::NoPermission: return LANG_FORMAT(eAlertErrorText, SaveNoPermission, "%s");
    case SaveCause::ReadOnly: return LANG_FORMAT(eAlertErrorText, SaveReadOnly, "%s");
    default: return LANG_FORMAT(eAlertErrorText, SaveFailed, "%s");
    }
}

// Whether another program holds the file open so that it cannot be
// replaced: the system then refuses the replacement as "access denied" too.
bool HeldByAnotherProgram(const char *path)
{
    HANDLE h = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

// Why replacing the drawing failed.
SaveCause ReplaceFailureCause(DWORD error, const char *path)
{
    if (error == ERROR_ACCESS_DENIED && HeldByAnotherProgram(path))
        return SaveCause::Locked;
    return SaveFailureCause(error);
}

bool IsReadOnly(const char *path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Tells the user that the drawing was not saved and why; the drawing is
// named, never the temporary copy, and the file on disk is left alone.
void ReportSaveFailure(const char *path, SaveCause cause, int what = FILE_REPLACE_DRAWING)
{
    ShowText(g_MainWnd, SaveCauseText(cause, what), path);
}

// A new file in the folder of path, for writing before the original is replaced.
bool MakeSiblingTemp(const char *path, char *out)
{
    char folder[ZVI_PATH_SIZE];
    std::snprintf(folder, sizeof folder, "%s", path);
    char *cut = nullptr;
    for (char *p = folder; *p; ++p)
        if (*p == '\\' || *p == '/')
            cut = p;
    if (cut)
        cut[1] = 0;
    else
        std::strcpy(folder, ".");
    return GetTempFileNameA(folder, "zvd", 0, out) != 0;
}

// A drawing read without merging replaces the objects, blocks and bitmaps;
// the tables and settings keep what the file does not carry.
void ClearObjects()
{
    ObjectPurgeAll();
    SymbolClearBlocks(LIST_OWN_BLOCKS);
    ImageClearData();
}

} // namespace

void FileReportReadFailure(const char *name, uint32_t syntaxCode, uint32_t contentCode)
{
    ReportFailure(name, syntaxCode, contentCode);
}

// ---------------------------------------------------------------------------
// Headers

int32_t FileHeaderVersion(const char *text)
{
    for (const KnownHeader &h : HEADERS)
        if (std::memcmp(text, h.text, FILE_HEADER_LENGTH) == 0)
            return h.version;
    return 0;
}

int ZviReadFileHeader(int readKeyword)
{
    char header[HEADER_BYTES];
    if (!ZVI_FileReadData(header, HEADER_BYTES))
        return 0;
    const int32_t version = header[FILE_HEADER_LENGTH] == ';' ? FileHeaderVersion(header) : 0;
    if (!version)
        return 0;
    g_FileVersion = version;
    return readKeyword ? ZVI_FileReadKeyword() : 1;
}

int ZviWriteFileHeader()
{
    return ZVI_FileWriteHeader(FILE_HEADER_CURRENT);
}

int FileCheckDrawingHeader(const char *path)
{
    char bytes[HEADER_BYTES] = {};
    const int n = ReadFirstBytes(path, bytes, HEADER_BYTES);
    if (n == HEADER_BYTES && bytes[FILE_HEADER_LENGTH] == ';') {
        const int32_t version = FileHeaderVersion(bytes);
        if (version) {
            g_FileVersion = version;
            return 1;
        }
    }
    return IsZipStart(bytes, n) ? 1 : 0;
}

int FileRejectOldFormat(const char *path)
{
    char bytes[HEADER_BYTES] = {};
    if (ReadFirstBytes(path, bytes, HEADER_BYTES) != HEADER_BYTES)
        return 0;
    bytes[FILE_HEADER_LENGTH] = 0;
    for (const OldHeader &h : OLD_HEADERS)
        if (std::strcmp(bytes, h.text) == 0) {
            ShowText(g_MainWnd, eAlertTextSM[h.message], path);
            return 1;
        }
    return 0;
}

int FileCheckLibraryHeader(const char *path)
{
    char bytes[HEADER_BYTES] = {};
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!path || !ZVI_FileOpen(&file, path))
        return 0;
    const int32_t n = ZVI_FileRead(file, bytes, HEADER_BYTES);
    ZVI_FileClose(file);
    if (n < HEADER_BYTES) {
        InitErrorBox(__FILE_NAME__, __LINE__, "Cannot load any HEADER");
        return 0;
    }
    if (const int32_t version = FileHeaderVersion(bytes)) {
        g_FileVersion = version;
        return 1;
    }
    // Older files of the program's own and foreign files get their own alerts.
    bytes[FILE_HEADER_LENGTH] = 0;
    for (const OldHeader &h : OLD_HEADERS)
        if (h.message != FOREIGN_OTHER && std::strcmp(bytes, h.text) == 0) {
            ShowText(g_MainWnd, eAlertTextSM[h.message], path);
            return 0;
        }
    FileRejectForeignType(path);
    return 0;
}

int FileRejectForeignType(const char *path)
{
    char extension[ZVI_PATH_SIZE] = "";
    ZVI_FileGetExtension(path, extension);
    int message = FOREIGN_OTHER;
    if (lstrcmpiA(extension, "WMF") == 0)
        message = FOREIGN_WMF;
    else if (lstrcmpiA(extension, "BMP") == 0)
        message = FOREIGN_BMP;
    else if (lstrcmpiA(extension, "DXF") == 0)
        message = FOREIGN_DXF;
    ShowText(g_MainWnd, eAlertTextSM[message], path);
    return 0;
}

int FileReadDrawingInfo(const char *path, DrawingInfo *out)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!out || !ZVI_FileOpen(&file, path))
        return 0;
    int ok = 0;
    if (ZVI_FileReadInitDisk(file) && ZviReadFileHeader(1)) {
        const int keyword = ZVI_FileReadLastKeyword();
        if (keyword != KEY_DRAWING && keyword != KEY_LIBRARY) {
            InitErrorBox(__FILE_NAME__, __LINE__, "Not a ZVD file");
        } else {
            DrawingInfo info{};
            ok = FileReadSectionDrawing(&info, 0, FILE_SECTION_DRAWING);
            if (ok)
                *out = info;
            else
                InitErrorBox(__FILE_NAME__, __LINE__, "Error in section =DRAWING= / =LIBRARY=");
        }
    }
    ZVI_FileReadExit();
    ZVI_FileClose(file);
    return ok;
}

// ---------------------------------------------------------------------------
// Progress

void FileShowReadProgress(const char *format, int32_t number)
{
    if (!g_Progress.nesting)
        return;
    char text1[PROGRESS_TEXT_SIZE], text2[PROGRESS_TEXT_SIZE];
    std::snprintf(text1, sizeof text1, format ? format : "", number);
    const int32_t done = ZVI_FileReadCurrentSize();
    std::snprintf(text2, sizeof text2, eDialogText[FILE_PROGRESS_KILOBYTES], (done + 1023) / 1024);
    WindowUpdateProgress(text1, text2, done, ZVI_FileReadTotalSize());
}

void FileShowWriteProgress(const char *format, int32_t number)
{
    if (!g_Progress.nesting)
        return;
    char text1[PROGRESS_TEXT_SIZE], text2[PROGRESS_TEXT_SIZE];
    std::snprintf(text1, sizeof text1, format ? format : "", number);
    const int32_t done = ZVI_FileWriteCurrentSize();
    std::snprintf(text2, sizeof text2, eDialogText[FILE_PROGRESS_KILOBYTES], (done + 1023) / 1024);
    WindowUpdateProgress(text1, text2, done, 0);
}

// ---------------------------------------------------------------------------
// A new, empty drawing

void FileClearDrawing()
{
    ObjectPurgeAll();
    SymbolClearBlocks(LIST_OWN_BLOCKS);
    SystemInitDrawing(SystemLocaleInchSwitch());
    for (VariableDef &v : g_VariableDefs)
        v = VariableDef{};
    SystemInitDrawingSettings(&g_DrawingSettings);
    ImageClearData();
    FileInitDrawingViews();
    UndoReset();
    SystemValidateActiveSlots();
}

// ---------------------------------------------------------------------------
// Reading

namespace {

// Reads the plain drawing file at path; alerts name the file shown.
int ReadDrawingPlain(DrawingInfo *info, const char *path, const char *shown, uint32_t sections, int merge)
{
    FileInitIndexMaps();
    if (!merge)
        sections |= FILE_MODE_REPLACE;
    else
        sections &= ~(FILE_MODE_REPLACE | FILE_SECTION_DRAWING);
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!path || !ZVI_FileOpen(&file, path)) {
        FileAlert(shown ? shown : "", FILE_ALERT_CANNOT_OPEN);
        if (!merge)
            FileClearDrawing();
        return 0;
    }
    if (!ZVI_FileReadInitDisk(file) || !ZviReadFileHeader(1)) {
        const bool known = ZVI_FileReadError() != 0; // a known header, then a damaged first keyword
        ZVI_FileReadExit();
        ZVI_FileClose(file);
        if (known)
            ReportFailure(shown, FILE_ALERT_SYNTAX, FILE_ALERT_READ);
        else
            RefuseHeader(path);
        if (!merge)
            FileClearDrawing();
        return 0;
    }
    if (!merge)
        ClearObjects();
    char name[ZVI_PATH_SIZE];
    NameAndExtension(shown, name);
    StartProgress(sections, LANG_FORMAT(eDialogText, ReadingFile, "%s"), name, 1);
    DrawingInfo read{};
    const int result = ReadBody(&read, sections, merge);
    EndProgress(sections);
    if (!result) {
        ReportFailure(shown, FILE_ALERT_SYNTAX, FILE_ALERT_READ);
        ZVI_FileReadExit();
        ZVI_FileClose(file);
        if (!merge)
            FileClearDrawing();
        return 0;
    }
    ZVI_FileReadExit();
    ZVI_FileClose(file);
    if (info && !merge && (g_FileSectionsRead & FILE_SECTION_DRAWING))
        *info = read;
    if (g_FileBrokenCycles)
        ShowText(g_MainWnd, LANG_FORMAT(eAlertErrorText, BlockContainsItself, "%s"), shown);
    if (!merge)
        SystemValidateActiveSlots(); // a slot named by the file, or kept from before, may be free now
    return result == 1 ? 1 : 0;
}

// A folder of its own inside the temporary folder for one unpacking, so that
// no entry of the archive stays behind and none of an earlier one is read.
bool MakeUnpackFolder(char *folder)
{
    char temp[ZVI_PATH_SIZE];
    if (!ZviTempPath(temp) || !GetTempFileNameA(temp, "zvu", 0, folder)) {
        folder[0] = 0;
        return false;
    }
    DeleteFileA(folder); // the name was reserved as a file
    if (!CreateDirectoryA(folder, nullptr)) {
        folder[0] = 0;
        return false;
    }
    std::strncat(folder, "\\", ZVI_PATH_SIZE - std::strlen(folder) - 1);
    return true;
}

// Deletes the unpacking folder with every file the unpacker put there.
void RemoveUnpackFolder(const char *folder)
{
    WIN32_FIND_DATAA found;
    const std::string pattern = std::string(folder) + "*";
    HANDLE h = FindFirstFileA(pattern.c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((std::string(folder) + found.cFileName).c_str());
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(folder);
}

// Unpacks a zipped drawing into a folder of its own (made here) in the
// temporary folder; the unpacked file's path, or false with the alert shown.
// The caller removes the folder in either case.
bool UnpackDrawing(const char *path, char *folder, char *unpacked)
{
    int (*const names[])(char *) = {ZviTempNameDrawing, ZviTempNameOld2, ZviTempNameOld1};
    if (!MakeUnpackFolder(folder)) {
        FileAlert(path, FILE_ALERT_UNPACK);
        return false;
    }
    char line[3 * ZVI_PATH_SIZE + 64];
    std::snprintf(line, sizeof line, "ZVUNZIP.EXE \"%s\" \"%s\" -n -q", path, folder);
    AppendPassword(line, sizeof line, g_Options.fileModeLoad);
    if (WindowRunProcess(line) != 0) {
        InitErrorBox(__FILE_NAME__, __LINE__, "Error executing ZVUNZIP");
        FileAlert(path, FILE_ALERT_UNPACK);
        return false;
    }
    // The drawing under the names the packer used, newest first.
    for (auto name : names) {
        char temp[ZVI_PATH_SIZE];
        if (!name(temp))
            continue;
        const char *base = std::strrchr(temp, '\\');
        std::snprintf(unpacked, ZVI_PATH_SIZE, "%s%s", folder, base ? base + 1 : temp);
        if (ZVI_FileExist(unpacked))
            return true;
    }
    FileAlert(path, FILE_ALERT_UNPACK);
    return false;
}

} // namespace

int FileReadDrawing(DrawingInfo *info, const char *path, uint32_t sections, int merge)
{
    char bytes[HEADER_BYTES] = {};
    if (!path || !IsZipStart(bytes, ReadFirstBytes(path, bytes, HEADER_BYTES)))
        return ReadDrawingPlain(info, path, path, sections, merge);
    char folder[ZVI_PATH_SIZE] = "", unpacked[ZVI_PATH_SIZE];
    if (!UnpackDrawing(path, folder, unpacked)) {
        if (folder[0])
            RemoveUnpackFolder(folder);
        FileInitIndexMaps();
        if (!merge)
            FileClearDrawing();
        return 0;
    }
    const int read = ReadDrawingPlain(info, unpacked, path, sections, merge);
    RemoveUnpackFolder(folder);
    g_FileSectionsRead |= FILE_MODE_ZIPPED;
    return read;
}

int FileReadDrawingMemory(HGLOBAL block, uint32_t sections, int merge)
{
    FileInitIndexMaps();
    if (!merge)
        sections |= FILE_MODE_REPLACE;
    else
        sections &= ~FILE_SECTION_DRAWING;
    const char *name = LANG(eHeadlineText, ClipboardData);
    if (!ZVI_FileReadInitMemory(block) || !ZviReadFileHeader(1)) {
        ReportFailure(name, FILE_ALERT_SYNTAX, FILE_ALERT_WRONG_CONTENT);
        ZVI_FileReadExit();
        if (!merge)
            FileClearDrawing();
        return 0;
    }
    if (!merge)
        ClearObjects();
    if (Quiet(sections)) {
        WindowClearCancel();
    } else {
        WindowShowProgress(LANG(eHeadlineText, DrawingFile), LANG(eDialogText, ReadingCopy), 1);
    }
    DrawingInfo dropped{};
    const int result = ReadBody(&dropped, sections, merge);
    EndProgress(sections);
    if (!result) {
        ReportFailure(name, FILE_ALERT_SYNTAX, FILE_ALERT_WRONG_CONTENT);
        ZVI_FileReadExit();
        if (!merge)
            FileClearDrawing();
        return 0;
    }
    ZVI_FileReadExit();
    if (g_FileBrokenCycles)
        ShowText(g_MainWnd, LANG_FORMAT(eAlertErrorText, BlockContainsItself, "%s"), name);
    if (!merge)
        SystemValidateActiveSlots();
    return result == 1 ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Writing

namespace {

// Writes the whole drawing into the file at path; shown names it in the
// progress. 1 when every write and the close succeeded; else 0 with the
// system's code of the failure. Tells the user nothing.
int WriteDrawingInto(const DrawingInfo *info, const char *path, const char *shown, uint32_t sections, DWORD *error)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!ZVI_FileCreate(&file, path)) {
        *error = GetLastError();
        return 0;
    }
    char name[ZVI_PATH_SIZE];
    NameAndExtension(shown, name);
    StartProgress(sections, LANG_FORMAT(eDialogText, WritingFile, "%s"), name, 0);
    int ok = ZVI_FileWriteInitDisk(file) && WriteAll(info, sections);
    *error = ZviWriteSystemError();
    ZVI_FileWriteExit();
    EndProgress(sections);
    if (!ZVI_FileClose(file) && ok) {
        ok = 0;
        *error = GetLastError();
    }
    return ok;
}

// The original is replaced only by a complete file; a cancel is told as such.
int FinishSave(FileReplacement *r, int ok, DWORD error)
{
    const bool cancelled = WindowIsCancelled() != 0;
    const int replaced = FileReplaceFinish(r, ok && !cancelled, error, !cancelled);
    if (cancelled && !WindowIsMasterProgress())
        AlertButton1(g_MainWnd, LANG(eAlertTextSM, WriteCancelled));
    return replaced;
}

// The zipped drawing: written plain into the temporary folder, packed into a
// file beside path and moved over path only when the packer succeeded. No
// temporary file stays behind, a failure leaves path as it was, and every
// message names the drawing.
int WriteZipped(const DrawingInfo *info, const char *path, uint32_t sections)
{
    FileReplacement r;
    if (!FileReplaceBegin(&r, path, FILE_REPLACE_DRAWING))
        return 0;
    char plain[ZVI_PATH_SIZE];
    if (!ZviTempNameDrawing(plain)) {
        ZVI_FileDelete(r.temp);
        FileAlert(path, FILE_ALERT_CANNOT_CREATE);
        return 0;
    }
    ZVI_FileDelete(plain);
    DWORD error = 0;
    int ok = WriteDrawingInto(info, plain, path, sections, &error);
    if (ok && !WindowIsCancelled()) {
        // The packer makes a new archive: the empty file reserved the name.
        ZVI_FileDelete(r.temp);
        char line[3 * ZVI_PATH_SIZE + 64];
        std::snprintf(line, sizeof line, "ZVZIP.EXE \"%s\" \"%s\" -n -q", r.temp, plain);
        AppendPassword(line, sizeof line, g_Options.fileModeSave);
        ok = WindowRunProcess(line) == 0;
        if (!ok)
            InitErrorBox(__FILE_NAME__, __LINE__, "Error executing ZVZIP");
    }
    ZVI_FileDelete(plain);
    return FinishSave(&r, ok, error);
}

} // namespace

int FileReplaceBegin(FileReplacement *r, const char *path, int what)
{
    r->what = what;
    r->temp[0] = 0;
    std::snprintf(r->path, sizeof r->path, "%s", path ? path : "");
    if (!path) {
        FileAlert("", FILE_ALERT_CANNOT_CREATE);
        return 0;
    }
    // A read-only file is not replaced, as Windows refuses to write it.
    if (IsReadOnly(path)) {
        ReportSaveFailure(path, SaveCause::ReadOnly, what);
        return 0;
    }
    if (MakeSiblingTemp(path, r->temp))
        return 1;
    const DWORD error = GetLastError();
    r->temp[0] = 0;
    if (SaveFailureCause(error) == SaveCause::Other)
        FileAlert(path, FILE_ALERT_CANNOT_CREATE); // the folder is missing
    else
        ReportSaveFailure(path, SaveFailureCause(error), what);
    return 0;
}

int FileReplaceFinish(FileReplacement *r, int ok, DWORD error, int report)
{
    SaveCause failure = SaveFailureCause(error);
    if (ok && !MoveFileExA(r->temp, r->path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = 0;
        failure = ReplaceFailureCause(GetLastError(), r->path);
    }
    if (ok)
        return 1;
    ZVI_FileDelete(r->temp);
    if (report)
        ReportSaveFailure(r->path, failure, r->what);
    return 0;
}

int FileReplaceCreate(FileReplacement *r, const char *path, int what, HANDLE *file)
{
    if (!FileReplaceBegin(r, path, what))
        return 0;
    if (ZVI_FileCreate(file, r->temp))
        return 1;
    FileReplaceFinish(r, 0, GetLastError(), 1);
    return 0;
}

int FileReplaceWithData(const char *path, int what, const void *head, uint32_t headSize, const void *data,
                        uint32_t size)
{
    FileReplacement r;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!FileReplaceCreate(&r, path, what, &file))
        return 0;
    DWORD error = 0;
    auto write = [&](const void *bytes, uint32_t count) {
        DWORD done = 0;
        if (count && (!WriteFile(file, bytes, count, &done, nullptr) || done != count)) {
            error = GetLastError();
            if (!error)
                error = ERROR_DISK_FULL; // a short write without a code
            return false;
        }
        return true;
    };
    bool ok = write(head, headSize) && write(data, size);
    if (!CloseHandle(file) && ok) {
        ok = false;
        error = GetLastError();
    }
    return FileReplaceFinish(&r, ok, error, 1);
}

int FileWriteDrawing(const DrawingInfo *info, const char *path, uint32_t sections)
{
    if (sections & FILE_MODE_ZIPPED)
        return WriteZipped(info, path, sections & ~FILE_MODE_ZIPPED);
    FileReplacement r;
    if (!FileReplaceBegin(&r, path, FILE_REPLACE_DRAWING))
        return 0;
    DWORD error = 0;
    const int ok = WriteDrawingInto(info, r.temp, path, sections, &error);
    return FinishSave(&r, ok, error);
}

HGLOBAL FileWriteDrawingMemory(uint32_t sections)
{
    const DrawingInfo *info = &g_DrawingInfo.info;
    if (Quiet(sections))
        WindowClearCancel();
    else
        WindowShowProgress(LANG(eHeadlineText, DrawingFile), LANG(eDialogText, MeasuringCopy), 0);
    int ok = ZVI_FileWriteInitNull() && WriteAll(info, sections);
    const int32_t size = ZVI_FileWriteCurrentSize();
    ZVI_FileWriteExit();
    EndProgress(sections);
    if (!ok || size <= 0)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(size));
    if (!block)
        return nullptr;
    if (!Quiet(sections))
        WindowShowProgress(LANG(eHeadlineText, DrawingFile), LANG(eDialogText, WritingCopy), 1);
    ok = ZVI_FileWriteInitMemory(block, size) && WriteAll(info, sections);
    ZVI_FileWriteExit();
    EndProgress(sections);
    if (WindowIsCancelled()) {
        GlobalFree(block);
        if (!WindowIsMasterProgress())
            AlertButton1(g_MainWnd, LANG(eAlertTextSM, WriteCancelled));
        return nullptr;
    }
    if (!ok) {
        GlobalFree(block);
        AlertNoDialog(g_MainWnd);
        return nullptr;
    }
    return block;
}
