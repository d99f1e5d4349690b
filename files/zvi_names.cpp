// File names, temporary files and raw file access over the platform's file
// functions.
#include <cstring>
#include <string>

#include "app/convert.h"
#include "files/zvi_internal.h"

const char *g_ZviServerFolder = nullptr;

namespace {

constexpr size_t SHORT_NAME_LIMIT = 40;  // names this long or longer are shortened
constexpr int SHORT_NAME_BUDGET = 36;    // characters the shortened form aims at
constexpr char UNTITLED_MARK = '*';      // an untitled drawing's name begins with it

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

struct NameParts {
    std::string drive;  // "C:" or empty
    std::string folder; // up to and with the last separator
    std::string name;   // without extension
    std::string ext;    // with its dot, or empty
};

NameParts SplitParts(const char *full)
{
    NameParts parts;
    std::string s(full);
    size_t start = 0;
    if (s.size() >= 2 && s[1] == ':') {
        parts.drive = s.substr(0, 2);
        start = 2;
    }
    size_t lastSep = std::string::npos;
    for (size_t i = start; i < s.size(); ++i)
        if (IsSeparator(s[i]))
            lastSep = i;
    size_t nameStart = lastSep == std::string::npos ? start : lastSep + 1;
    parts.folder = s.substr(start, nameStart - start);
    std::string file = s.substr(nameStart);
    size_t dot = file.rfind('.');
    if (dot == std::string::npos) {
        parts.name = file;
    } else {
        parts.name = file.substr(0, dot);
        parts.ext = file.substr(dot);
    }
    return parts;
}

// Copies text into a path buffer; false (and an empty buffer) when it does not fit.
bool CopyPath(char *out, const std::string &text)
{
    if (text.size() >= size_t(ZVI_PATH_SIZE)) {
        out[0] = 0;
        return false;
    }
    memcpy(out, text.c_str(), text.size() + 1);
    return true;
}

// The program's folder-path rule (ConvertAppendBackslash) on a string: a path
// too long for a path buffer gets no backslash, as that rule says.
void AppendBackslash(std::string &path)
{
    if (path.size() >= size_t(ZVI_PATH_SIZE - 1))
        return;
    char buffer[ZVI_PATH_SIZE];
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    ConvertAppendBackslash(buffer);
    path = buffer;
}

std::string ProgramFolder()
{
    char path[ZVI_PATH_SIZE];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return std::string();
    NameParts parts = SplitParts(path);
    return parts.drive + parts.folder;
}

int TempName(char *out, const char *name)
{
    char folder[ZVI_PATH_SIZE];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) {
        out[0] = 0;
        return 0;
    }
    NameParts parts = SplitParts(folder);
    std::string path = parts.drive + parts.folder + parts.name + parts.ext;
    AppendBackslash(path);
    return CopyPath(out, path + name) ? 1 : 0;
}

} // namespace

// --- names -------------------------------------------------------------------

extern "C" int ZVI_FileSetExtension(const char *oldName, char *newName, const char *extension)
{
    if (!ZviCanReadString(oldName, "ZVI_FileSetExtension", "OldName") ||
        !ZviCanWrite(newName, ZVI_PATH_SIZE, "ZVI_FileSetExtension", "NewName") ||
        (extension && !ZviCanReadString(extension, "ZVI_FileSetExtension", "Extension")))
        return 0;
    std::string result(oldName);
    if (oldName[0] != UNTITLED_MARK) {
        NameParts parts = SplitParts(oldName);
        result = parts.drive + parts.folder + parts.name;
        if (extension && extension[0]) {
            if (extension[0] != '.')
                result += '.';
            result += extension;
        }
    }
    return CopyPath(newName, result) ? 1 : 0;
}

extern "C" int ZVI_FileGetExtension(const char *fullName, char *extension)
{
    if (!ZviCanReadString(fullName, "ZVI_FileGetExtension", "FullName") ||
        !ZviCanWrite(extension, 1, "ZVI_FileGetExtension", "Extension"))
        return 0;
    std::string ext;
    if (fullName[0] != UNTITLED_MARK) {
        ext = SplitParts(fullName).ext;
        if (!ext.empty())
            ext.erase(0, 1);
    }
    CopyPath(extension, ext);
    return 1;
}

extern "C" int ZVI_FileShortName(const char *fullName, char *shortName)
{
    if (!ZviCanReadString(fullName, "ZVI_FileShortName", "FullName") ||
        !ZviCanWrite(shortName, ZVI_PATH_SIZE, "ZVI_FileShortName", "ShortName"))
        return 0;
    std::string full(fullName[0] == UNTITLED_MARK ? fullName + 1 : fullName);
    std::string result = full;
    if (fullName[0] != UNTITLED_MARK && full.size() >= SHORT_NAME_LIMIT) {
        NameParts parts = SplitParts(fullName);
        int budget = SHORT_NAME_BUDGET - int(parts.drive.size() + parts.name.size() + parts.ext.size());
        // Keep the trailing folders that fit the budget, from a separator on.
        size_t tailStart = parts.folder.size();
        for (size_t i = parts.folder.size(); i-- > 0 && budget > 0;) {
            --budget;
            if (IsSeparator(parts.folder[i]))
                tailStart = i;
        }
        std::string shortened = parts.drive + "\\..." + parts.folder.substr(tailStart);
        if (!IsSeparator(shortened.back()))
            shortened += '\\';
        shortened += parts.name + parts.ext;
        if (shortened.size() < full.size())
            result = shortened;
    }
    if (result.size() >= size_t(ZVI_PATH_SIZE))
        result.resize(ZVI_PATH_SIZE - 1);
    CopyPath(shortName, result);
    return 1;
}

extern "C" int ZVI_FileSplitName(const char *fullName, char *path, char *name)
{
    if (!ZviCanReadString(fullName, "ZVI_FileSplitName", "FullName") ||
        (path && !ZviCanWrite(path, ZVI_PATH_SIZE, "ZVI_FileSplitName", "Path")) ||
        (name && !ZviCanWrite(name, ZVI_PATH_SIZE, "ZVI_FileSplitName", "Name")))
        return 0;
    std::string folder, file;
    if (fullName[0] == UNTITLED_MARK) {
        folder = "*";
        file = fullName + 1;
    } else {
        NameParts parts = SplitParts(fullName);
        folder = parts.drive + parts.folder;
        AppendBackslash(folder);
        file = parts.name + parts.ext;
    }
    if (path)
        CopyPath(path, folder);
    if (name)
        CopyPath(name, file);
    return 1;
}

extern "C" int ZVI_FileFullPath(const char *name, char *fullPath)
{
    if (!ZviCanReadString(name, "ZVI_FileFullPath", "OldName") ||
        !ZviCanWrite(fullPath, ZVI_PATH_SIZE, "ZVI_FileFullPath", "NewName"))
        return 0;
    DWORD n = GetFullPathNameA(name, ZVI_PATH_SIZE, fullPath, nullptr);
    if (n == 0 || n >= DWORD(ZVI_PATH_SIZE)) {
        fullPath[0] = 0;
        return 0;
    }
    return 1;
}

extern "C" int ZVI_FileApplicationPath(const char *name, char *out)
{
    if (!ZviCanReadString(name, "ZVI_FileApplicationPath", "OldName") ||
        !ZviCanWrite(out, ZVI_PATH_SIZE, "ZVI_FileApplicationPath", "NewName"))
        return 0;
    std::string folder = g_ZviServerFolder ? std::string(g_ZviServerFolder) : ProgramFolder();
    AppendBackslash(folder);
    NameParts parts = SplitParts(name);
    return CopyPath(out, folder + parts.name + parts.ext) ? 1 : 0;
}

// --- files ---------------------------------------------------------------------

extern "C" int ZVI_FileExist(const char *name)
{
    if (!ZviCanReadString(name, "ZVI_FileExist", "FileName"))
        return 0;
    // Attributes rather than OpenFile, which fails on paths over 128 characters.
    DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

extern "C" int ZVI_FileDelete(const char *name)
{
    if (!ZviCanReadString(name, "ZVI_FileDelete", "FileName"))
        return 0;
    return DeleteFileA(name) ? 1 : 0;
}

extern "C" int ZVI_FileIsLocked(const char *name)
{
    if (!ZviCanReadString(name, "ZVI_FileIsLocked", "FileName"))
        return 0;
    HANDLE h = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(h);
    return 0;
}

extern "C" int ZVI_FileCopy(const char *source, const char *destination)
{
    if (!ZviCanReadString(source, "ZVI_FileCopy", "SourceName") ||
        !ZviCanReadString(destination, "ZVI_FileCopy", "DestinName"))
        return 0;
    return CopyFileA(source, destination, FALSE) ? 1 : 0;
}

extern "C" int ZVI_FileOpen(HANDLE *file, const char *name)
{
    if (!ZviCanWrite(file, sizeof *file, "ZVI_FileOpen", "FileHandle") ||
        !ZviCanReadString(name, "ZVI_FileOpen", "FileName"))
        return 0;
    *file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return *file != INVALID_HANDLE_VALUE ? 1 : 0;
}

extern "C" int ZVI_FileCreate(HANDLE *file, const char *name)
{
    if (!ZviCanWrite(file, sizeof *file, "ZVI_FileCreate", "FileHandle") ||
        !ZviCanReadString(name, "ZVI_FileCreate", "FileName"))
        return 0;
    *file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
    return *file != INVALID_HANDLE_VALUE ? 1 : 0;
}

extern "C" uint32_t ZVI_FileSize(HANDLE file)
{
    return GetFileSize(file, nullptr);
}

extern "C" int32_t ZVI_FileRead(HANDLE file, void *buffer, int32_t count)
{
    if (count <= 0 || !ZviCanWrite(buffer, uint32_t(count), "ZVI_FileRead", "Data"))
        return 0;
    DWORD done = 0;
    if (!ReadFile(file, buffer, DWORD(count), &done, nullptr))
        return 0;
    return int32_t(done);
}

extern "C" int32_t ZVI_FileWrite(HANDLE file, const void *buffer, int32_t count)
{
    if (count <= 0 || !ZviCanRead(buffer, uint32_t(count), "ZVI_FileWrite", "Data"))
        return 0;
    DWORD done = 0;
    if (!WriteFile(file, buffer, DWORD(count), &done, nullptr))
        return 0;
    return int32_t(done);
}

extern "C" int ZVI_FileSetPointer(HANDLE file, int32_t offset, int32_t method)
{
    return SetFilePointer(file, offset, nullptr, DWORD(method)) != INVALID_SET_FILE_POINTER ? 1 : 0;
}

extern "C" int ZVI_FileClose(HANDLE file)
{
    return CloseHandle(file) ? 1 : 0;
}

// --- temporary names -----------------------------------------------------------

int ZviTempNameDrawing(char *out)
{
    return TempName(out, "ORVYNTMP.ZVD");
}

int ZviTempNameOld2(char *out)
{
    return TempName(out, "ZV45TEMP.N4V");
}

int ZviTempNameOld1(char *out)
{
    return TempName(out, "PLRQ4TMP.N4V");
}

int ZviTempPath(char *out)
{
    return TempName(out, "");
}
