// Typed registry values, binary values split into part subkeys, and the
// machine settings under HKEY_LOCAL_MACHINE.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "app/init.h"
#include "app/system.h"
#include "language/language.h"

uint32_t g_Client = 0;
char g_PathServer[SYSTEM_PATH_SIZE] = "";
char g_PathLocal[SYSTEM_PATH_SIZE] = "";
int32_t g_MonitorWidth = MONITOR_WIDTH_DEFAULT;
int32_t g_MonitorHeight = MONITOR_HEIGHT_DEFAULT;
const void *g_SystemExchangeBlock = nullptr;

const char *const SYSTEM_DEFAULT_DRAWING = "darad4.zvd";
static const char *const PROGRAM_KEY_BASE = "Software\\Quirn++Valsev\\";
// Version line written for other programs that read the machine settings.
static const char *const PROGRAM_VERSION_TEXT = "Quirn++Valsev CAD 4.60";

// Copies with truncation; always terminates.
static void CopyText(char *out, size_t outSize, const char *text)
{
    snprintf(out, outSize, "%s", text ? text : "");
}

void SystemProgramKeyPath(char out[SYSTEM_KEY_NAME_SIZE])
{
    snprintf(out, SYSTEM_KEY_NAME_SIZE, "%s%s", PROGRAM_KEY_BASE, eProfileTitle[1]);
}

void SystemBinaryPartName(char out[SYSTEM_KEY_NAME_SIZE], const char *name, int part)
{
    snprintf(out, SYSTEM_KEY_NAME_SIZE, "%s (Part %d)", name, part);
}

// ---------------------------------------------------------------------------
// Binary values
// ---------------------------------------------------------------------------

// Reads one REG_BINARY value that must hold exactly size bytes.
static int ReadExactBinary(HKEY key, const char *name, uint8_t *buffer, uint32_t size)
{
    DWORD type = 0;
    DWORD stored = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &stored) != ERROR_SUCCESS)
        return 0;
    if (type != REG_BINARY || stored != size)
        return 0;
    DWORD got = size;
    if (RegQueryValueExA(key, name, nullptr, &type, buffer, &got) != ERROR_SUCCESS)
        return 0;
    return type == REG_BINARY && got == size;
}

static uint32_t PartCount(uint32_t size)
{
    return (size + SYSTEM_BINARY_PART_SIZE - 1) / SYSTEM_BINARY_PART_SIZE;
}

static uint32_t PartSize(uint32_t size, uint32_t partIndex)
{
    const uint32_t start = partIndex * SYSTEM_BINARY_PART_SIZE;
    const uint32_t rest = size - start;
    return rest < SYSTEM_BINARY_PART_SIZE ? rest : SYSTEM_BINARY_PART_SIZE;
}

// A value is accepted only whole: every piece must be there with exactly its
// expected size, so a value of another length or a half-written one is absent.
int SystemReadBinary(HKEY key, const char *name, void *buffer, uint32_t size)
{
    if (!key || !name || !buffer || size == 0)
        return 0;
    std::unique_ptr<uint8_t[]> temp(new (std::nothrow) uint8_t[size]);
    if (!temp)
        return 0;
    if (size <= SYSTEM_BINARY_PART_SIZE) {
        if (!ReadExactBinary(key, name, temp.get(), size))
            return 0;
    } else {
        const uint32_t parts = PartCount(size);
        for (uint32_t i = 0; i < parts; ++i) {
            char partName[SYSTEM_KEY_NAME_SIZE];
            SystemBinaryPartName(partName, name, (int)i + 1);
            HKEY partKey = nullptr;
            if (RegOpenKeyExA(key, partName, 0, KEY_READ, &partKey) != ERROR_SUCCESS)
                return 0;
            const int ok = ReadExactBinary(partKey, name, temp.get() + i * SYSTEM_BINARY_PART_SIZE,
                                           PartSize(size, i));
            RegCloseKey(partKey);
            if (!ok)
                return 0;
        }
    }
    memcpy(buffer, temp.get(), size);
    return 1;
}

static HKEY CreateSubKey(HKEY parent, const char *name)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name, 0, const_cast<char *>(""), REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// A split value is written with its first part last, after the old first part
// was removed: until the write completes the value reads as missing, so an
// interrupted write never leaves a readable mixture of old and new parts.
void SystemWriteBinary(HKEY key, const char *name, const void *data, uint32_t size)
{
    if (!key || !name)
        return;
    if (size == 0 || !data) {
        RegDeleteValueA(key, name);
        return;
    }
    if (size <= SYSTEM_BINARY_PART_SIZE) {
        RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE *>(data), size);
        return;
    }
    RegDeleteValueA(key, name);
    char partName[SYSTEM_KEY_NAME_SIZE];
    SystemBinaryPartName(partName, name, 1);
    if (!SystemDeleteKeyTree(key, partName))
        return;
    const auto *bytes = static_cast<const uint8_t *>(data);
    const uint32_t parts = PartCount(size);
    for (uint32_t n = parts; n >= 1; --n) {
        const uint32_t i = n - 1;
        SystemBinaryPartName(partName, name, (int)n);
        HKEY partKey = CreateSubKey(key, partName);
        if (!partKey)
            return;
        const LONG rc = RegSetValueExA(partKey, name, 0, REG_BINARY, bytes + i * SYSTEM_BINARY_PART_SIZE,
                                       PartSize(size, i));
        RegCloseKey(partKey);
        if (rc != ERROR_SUCCESS)
            return;
    }
}

int SystemDeleteKeyTree(HKEY parent, const char *subKey)
{
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(parent, subKey, 0, KEY_READ | KEY_WRITE, &key);
    if (rc == ERROR_FILE_NOT_FOUND)
        return 1;
    if (rc != ERROR_SUCCESS)
        return 0;
    // Delete children first: RegDeleteKeyA removes only empty keys.
    char child[SYSTEM_KEY_NAME_SIZE];
    for (;;) {
        DWORD length = sizeof child;
        if (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (!SystemDeleteKeyTree(key, child))
            break;
    }
    RegCloseKey(key);
    rc = RegDeleteKeyA(parent, subKey);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

// ---------------------------------------------------------------------------
// Strings, numbers, points and rectangles
// ---------------------------------------------------------------------------

int SystemReadString(HKEY key, const char *name, char *out, uint32_t outSize)
{
    if (!key || !name || !out || outSize == 0)
        return 0;
    char text[SYSTEM_STRING_MAX_BYTES + 1];
    DWORD type = 0;
    DWORD size = SYSTEM_STRING_MAX_BYTES;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(text), &size) != ERROR_SUCCESS)
        return 0; // missing, or longer than any text the program stores
    if (type != REG_SZ)
        return 0;
    text[size] = 0; // a stored text need not carry its terminator
    const size_t length = strlen(text);
    if (length == 0)
        return 1;
    if (length + 1 > outSize)
        return 0; // would not fit: treated as absent rather than cut
    memcpy(out, text, length + 1);
    return 1;
}

void SystemWriteString(HKEY key, const char *name, const char *text)
{
    if (!key || !name)
        return;
    if (!text || !*text) {
        RegDeleteValueA(key, name);
        return;
    }
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), (DWORD)strlen(text) + 1);
}

int SystemReadInt(HKEY key, const char *name, int32_t *out)
{
    if (!key || !name || !out)
        return 0;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size) != ERROR_SUCCESS)
        return 0;
    if (type != REG_DWORD || size != sizeof value)
        return 0;
    *out = (int32_t)value;
    return 1;
}

void SystemWriteInt(HKEY key, const char *name, int32_t value)
{
    if (!key || !name)
        return;
    const DWORD v = (DWORD)value;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v), sizeof v);
}

int SystemReadBool(HKEY key, const char *name, uint32_t *out)
{
    int32_t value = 0;
    if (!out || !SystemReadInt(key, name, &value))
        return 0;
    *out = value != 0;
    return 1;
}

void SystemWriteBool(HKEY key, const char *name, uint32_t flag)
{
    SystemWriteInt(key, name, flag ? 1 : 0);
}

int SystemReadDouble(HKEY key, const char *name, double *out)
{
    if (!key || !name || !out)
        return 0;
    char text[SYSTEM_STRING_MAX_BYTES + 1];
    DWORD type = 0;
    DWORD size = SYSTEM_STRING_MAX_BYTES;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(text), &size) != ERROR_SUCCESS)
        return 0;
    if (type != REG_SZ)
        return 0;
    text[size] = 0;
    double value = 0;
    if (sscanf(text, "%lf", &value) == 1)
        *out = value;
    return 1;
}

void SystemWriteDouble(HKEY key, const char *name, double value)
{
    char text[64];
    snprintf(text, sizeof text, "%.14lg", value);
    SystemWriteString(key, name, text);
}

static void SuffixName(char *out, size_t outSize, const char *name, const char *suffix)
{
    snprintf(out, outSize, "%s%s", name, suffix);
}

int SystemReadPoint(HKEY key, const char *name, POINT *point)
{
    if (!name || !point)
        return 0;
    char nx[SYSTEM_KEY_NAME_SIZE], ny[SYSTEM_KEY_NAME_SIZE];
    SuffixName(nx, sizeof nx, name, "(x)");
    SuffixName(ny, sizeof ny, name, "(y)");
    int32_t x = 0, y = 0;
    if (!SystemReadInt(key, nx, &x) || !SystemReadInt(key, ny, &y))
        return 0;
    point->x = x;
    point->y = y;
    return 1;
}

void SystemWritePoint(HKEY key, const char *name, const POINT *point)
{
    if (!name || !point)
        return;
    char n[SYSTEM_KEY_NAME_SIZE];
    SuffixName(n, sizeof n, name, "(x)");
    SystemWriteInt(key, n, point->x);
    SuffixName(n, sizeof n, name, "(y)");
    SystemWriteInt(key, n, point->y);
}

int SystemReadRect(HKEY key, const char *name, POINT *position, SIZE *size)
{
    if (!name || !position || !size)
        return 0;
    static const char *const suffixes[4] = {"(x)", "(y)", "(w)", "(h)"};
    int32_t v[4] = {};
    for (int i = 0; i < 4; ++i) {
        char n[SYSTEM_KEY_NAME_SIZE];
        SuffixName(n, sizeof n, name, suffixes[i]);
        if (!SystemReadInt(key, n, &v[i]))
            return 0;
    }
    *position = POINT{v[0], v[1]};
    *size = SIZE{v[2], v[3]};
    return 1;
}

void SystemWriteRect(HKEY key, const char *name, const POINT *position, const SIZE *size)
{
    if (!name || !position || !size)
        return;
    SystemWritePoint(key, name, position);
    char n[SYSTEM_KEY_NAME_SIZE];
    SuffixName(n, sizeof n, name, "(w)");
    SystemWriteInt(key, n, size->cx);
    SuffixName(n, sizeof n, name, "(h)");
    SystemWriteInt(key, n, size->cy);
}

// ---------------------------------------------------------------------------
// Machine settings
// ---------------------------------------------------------------------------

// The folder of the program's file, with its backslash.
static void ProgramFolder(char out[SYSTEM_PATH_SIZE])
{
    char path[SYSTEM_PATH_SIZE] = "";
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) {
        out[0] = 0;
        return;
    }
    char *slash = strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    else
        path[0] = 0;
    CopyText(out, SYSTEM_PATH_SIZE, path);
}

// Folders are used by appending file names: make sure one ends with a backslash.
static void EndWithBackslash(char folder[SYSTEM_PATH_SIZE])
{
    const size_t length = strlen(folder);
    if (length > 0 && folder[length - 1] != '\\' && length + 1 < SYSTEM_PATH_SIZE) {
        folder[length] = '\\';
        folder[length + 1] = 0;
    }
}

static int MonitorSizeValid(int32_t millimetres)
{
    return millimetres >= MONITOR_SIZE_MIN && millimetres <= MONITOR_SIZE_MAX;
}

void SystemReadMachineSettings()
{
    g_Debugging = 0;
    g_Client = 0;
    ProgramFolder(g_PathServer);
    CopyText(g_PathLocal, sizeof g_PathLocal, g_PathServer);
    g_MonitorWidth = MONITOR_WIDTH_DEFAULT;
    g_MonitorHeight = MONITOR_HEIGHT_DEFAULT;

    char keyPath[SYSTEM_KEY_NAME_SIZE];
    SystemProgramKeyPath(keyPath);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    int32_t value = 0;
    if (SystemReadInt(key, "Debugging", &value))
        g_Debugging = (uint32_t)value;
    SystemReadBool(key, "Client", &g_Client);
    SystemReadString(key, "PathServer", g_PathServer, sizeof g_PathServer);
    SystemReadString(key, "PathLocal", g_PathLocal, sizeof g_PathLocal);
    EndWithBackslash(g_PathServer);
    EndWithBackslash(g_PathLocal);
    if (SystemReadInt(key, "MonitorWidth", &value) && MonitorSizeValid(value))
        g_MonitorWidth = value;
    if (SystemReadInt(key, "MonitorHeight", &value) && MonitorSizeValid(value))
        g_MonitorHeight = value;
    RegCloseKey(key);
}

void SystemWriteMachineSettings()
{
    char keyPath[SYSTEM_KEY_NAME_SIZE];
    SystemProgramKeyPath(keyPath);
    // Recreated from scratch: values this program does not write are dropped.
    SystemDeleteKeyTree(HKEY_LOCAL_MACHINE, keyPath);
    HKEY key = CreateSubKey(HKEY_LOCAL_MACHINE, keyPath);
    if (!key)
        return;
    SystemWriteString(key, "Version", PROGRAM_VERSION_TEXT);
    SystemWriteInt(key, "Debugging", (int32_t)g_Debugging);
    SystemWriteBool(key, "Client", g_Client);
    SystemWriteString(key, "PathServer", g_PathServer);
    SystemWriteString(key, "PathLocal", g_PathLocal);
    SystemWriteInt(key, "MonitorWidth", g_MonitorWidth);
    SystemWriteInt(key, "MonitorHeight", g_MonitorHeight);
    RegCloseKey(key);
}

// ---------------------------------------------------------------------------
// Build date, default drawing, locale switches
// ---------------------------------------------------------------------------

int SystemFormatBuildDate(const char *compilerDate, char out[SYSTEM_BUILD_DATE_SIZE])
{
    if (!compilerDate || !out)
        return 0;
    char month[4] = "";
    char day[3] = "";
    char year[5] = "";
    // "Mmm dd yyyy", the day padded with a blank.
    if (strlen(compilerDate) != 11 || compilerDate[3] != ' ' || compilerDate[6] != ' ')
        return 0;
    memcpy(month, compilerDate, 3);
    memcpy(day, compilerDate + 4, 2);
    memcpy(year, compilerDate + 7, 4);
    if (day[0] == ' ')
        day[0] = '0';
    month[0] = (char)toupper((unsigned char)month[0]);
    month[1] = (char)tolower((unsigned char)month[1]);
    month[2] = (char)tolower((unsigned char)month[2]);
    snprintf(out, SYSTEM_BUILD_DATE_SIZE, "%s-%s-%s", year, month, day);
    return 1;
}

void SystemGetBuildDate(char out[SYSTEM_BUILD_DATE_SIZE])
{
    if (!SystemFormatBuildDate(__DATE__, out))
        out[0] = 0;
}

static void FolderFile(char out[SYSTEM_PATH_SIZE], const char *folder, const char *file)
{
    snprintf(out, SYSTEM_PATH_SIZE, "%s%s", folder, file);
}

void SystemDefaultDrawingPath(char out[SYSTEM_PATH_SIZE])
{
    FolderFile(out, g_PathLocal, SYSTEM_DEFAULT_DRAWING);
    if (GetFileAttributesA(out) != INVALID_FILE_ATTRIBUTES)
        return;
    FolderFile(out, g_PathServer, SYSTEM_DEFAULT_DRAWING);
}

void SystemDefaultDrawingLocal(char out[SYSTEM_PATH_SIZE])
{
    FolderFile(out, g_PathLocal, SYSTEM_DEFAULT_DRAWING);
}

uint32_t SystemLocaleDecimalSwitch()
{
    return g_SystemExchangeBlock ? static_cast<const uint32_t *>(g_SystemExchangeBlock)[0] : 0;
}

uint32_t SystemLocaleInchSwitch()
{
    return g_SystemExchangeBlock ? static_cast<const uint32_t *>(g_SystemExchangeBlock)[1] : 0;
}
