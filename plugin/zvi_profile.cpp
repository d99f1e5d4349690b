// Profile and settings: a plug-in's values in the registry below the
// program's plug-in key, its data records filed with the drawing (list 2),
// and a fixed set of the program's display and snap settings.
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "database/object_flags.h"
#include "database/storage.h"
#include "database/unit.h"
#include "files/file_drawinginfo.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr const char *PLUGIN_KEY_BASE = "Software\\Quirn++Valsev\\Plug-Ins\\";
constexpr int PROFILE_MAX_DATA = 64000;
constexpr int REGISTRY_STRING_SIZE = 250;

HKEY s_ReadKey = nullptr;
HKEY s_WriteKey = nullptr;

// The key path of a plug-in's key name; false for a name that is empty,
// unreadable or too long for a key path.
bool KeyPath(const char *keyName, char path[SYSTEM_KEY_NAME_SIZE])
{
    const int base = (int)std::strlen(PLUGIN_KEY_BASE);
    const int length = ZviTextLength(keyName, SYSTEM_KEY_NAME_SIZE - base - 1);
    if (length <= 0 || length >= SYSTEM_KEY_NAME_SIZE - base)
        return false;
    std::snprintf(path, SYSTEM_KEY_NAME_SIZE, "%s%s", PLUGIN_KEY_BASE, keyName);
    return true;
}

HKEY Root(int machine) { return machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

bool ValueNameValid(const char *name)
{
    const int length = ZviTextLength(name, SYSTEM_KEY_NAME_SIZE - 1);
    return length >= 0 && length < SYSTEM_KEY_NAME_SIZE;
}

// --- drawing profile records

bool IsProfileRecord(const Unit *u, short module, int key)
{
    return u->kind == UNIT_KIND_OBJECT && u->module == module && u->object.type == key;
}

// The data bytes of a record's elements, -1 when its chain is damaged.
int RecordDataBytes(const Unit *u)
{
    const auto *p = reinterpret_cast<const uint8_t *>(u) + UNIT_ELEMENTS_OBJECT;
    const auto *end = reinterpret_cast<const uint8_t *>(u) + u->bytes;
    int total = 0;
    for (;;) {
        const Element *e = ZviChainElement(p, end);
        if (!e)
            return -1;
        if (e->kind == ELEM_END)
            return total;
        total += (int)(e->size - ELEMENT_HEADER_SIZE);
        p += e->size;
    }
}

Unit *FindProfile(short module, int key)
{
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_PLUGIN_DATA, 0, 0, 0); u; u = MemListNext(u))
        if (IsProfileRecord(u, module, key))
            return u;
    return nullptr;
}

std::vector<uint8_t> BuildProfile(short module, int key, const uint8_t *data, int size)
{
    const int pieces = (size + (int)ELEM_BINARY_MAX_PAYLOAD - 1) / (int)ELEM_BINARY_MAX_PAYLOAD;
    std::vector<uint8_t> record(UNIT_ELEMENTS_OBJECT + pieces * ELEMENT_HEADER_SIZE + size + ELEM_SIZE_END);
    auto *u = reinterpret_cast<Unit *>(record.data());
    u->bytes = (uint32_t)record.size();
    u->frame[0] = u->frame[1] = 1e300;
    u->frame[2] = u->frame[3] = -1e300;
    u->birth = UNIT_BIRTH_ALWAYS;
    u->death = UNIT_DEATH_ALIVE;
    u->module = module;
    u->kind = UNIT_KIND_OBJECT;
    u->property = XPropertyDefault();
    u->object.type = key;
    u->object.reserved = -1;
    uint8_t *p = record.data() + UNIT_ELEMENTS_OBJECT;
    for (int done = 0; done < size;) {
        const int n = size - done < (int)ELEM_BINARY_MAX_PAYLOAD ? size - done : (int)ELEM_BINARY_MAX_PAYLOAD;
        auto *e = reinterpret_cast<Element *>(p);
        e->size = ELEMENT_HEADER_SIZE + n;
        e->module = (uint16_t)module;
        e->valueType = VALUE_BINARY;
        e->count = (int16_t)n;
        std::memcpy(p + ELEMENT_HEADER_SIZE, data + done, n);
        p += e->size;
        done += n;
    }
    auto *end = reinterpret_cast<Element *>(p);
    end->size = ELEM_SIZE_END;
    end->kind = ELEM_END;
    return record;
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_ProfileReadKeyOpen(const char *keyName, int machine)
{
    if (s_ReadKey)
        return ZVI_REFUSE("Key already open!");
    char path[SYSTEM_KEY_NAME_SIZE];
    if (!KeyPath(keyName, path))
        return ZVI_REFUSE("KeyName address invalid!");
    HKEY key = nullptr;
    if (RegOpenKeyExA(Root(machine), path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    s_ReadKey = key;
    return 1;
}

int ZVI_CALL ZVI_ProfileReadInt(const char *valueName, int *value)
{
    if (!s_ReadKey)
        return ZVI_REFUSE("Key not open!");
    if (!ValueNameValid(valueName))
        return ZVI_REFUSE("ValueName address invalid!");
    if (!ZviWritable(value, sizeof(int)))
        return ZVI_REFUSE("Value address invalid!");
    int32_t v = 0;
    if (!SystemReadInt(s_ReadKey, valueName, &v))
        return 0;
    *value = v;
    return 1;
}

int ZVI_CALL ZVI_ProfileReadString(const char *valueName, char *value)
{
    if (!s_ReadKey)
        return ZVI_REFUSE("Key not open!");
    if (!ValueNameValid(valueName))
        return ZVI_REFUSE("ValueName address invalid!");
    if (!ZviWritable(value, REGISTRY_STRING_SIZE))
        return ZVI_REFUSE("Value address invalid!");
    char text[REGISTRY_STRING_SIZE] = "";
    if (!SystemReadString(s_ReadKey, valueName, text, sizeof text))
        return 0;
    ZviCopyText(value, text, REGISTRY_STRING_SIZE);
    return 1;
}

int ZVI_CALL ZVI_ProfileReadData(const char *valueName, void *data, int size)
{
    if (!s_ReadKey)
        return ZVI_REFUSE("Key not open!");
    if (!ValueNameValid(valueName))
        return ZVI_REFUSE("ValueName address invalid!");
    if (size <= 0 || !ZviWritable(data, size))
        return ZVI_REFUSE("Value address invalid!");
    return SystemReadBinary(s_ReadKey, valueName, data, (uint32_t)size);
}

void ZVI_CALL ZVI_ProfileReadKeyClose()
{
    if (!s_ReadKey) {
        ZVI_REFUSE("Key not open!");
        return;
    }
    RegCloseKey(s_ReadKey);
    s_ReadKey = nullptr;
}

int ZVI_CALL ZVI_ProfileWriteKeyOpen(const char *keyName, int machine)
{
    if (s_WriteKey)
        return ZVI_REFUSE("Key already open!");
    char path[SYSTEM_KEY_NAME_SIZE];
    if (!KeyPath(keyName, path))
        return ZVI_REFUSE("KeyName address invalid!");
    HKEY key = nullptr;
    // Read access too: a binary value is read back to tell whether it was written.
    if (RegCreateKeyExA(Root(machine), path, 0, const_cast<char *>(""), REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_READ, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 0;
    s_WriteKey = key;
    return 1;
}

int ZVI_CALL ZVI_ProfileWriteInt(const char *valueName, int value)
{
    if (!s_WriteKey)
        return ZVI_REFUSE("Key not open!");
    if (!ValueNameValid(valueName))
        return ZVI_REFUSE("ValueName address invalid!");
    const DWORD v = (DWORD)value;
    return RegSetValueExA(s_WriteKey, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v), sizeof v) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

int ZVI_CALL ZVI_ProfileWriteString(const char *valueName, const char *value)
{
    if (!s_WriteKey)
        return ZVI_REFUSE("Key not open!");
    if (!ValueNameValid(valueName))
        return ZVI_REFUSE("ValueName address invalid!");
    const int length = ZviTextLength(value, REGISTRY_STRING_SIZE - 1);
    if (length < 0 || length >= REGISTRY_STRING_SIZE)
        return ZVI_REFUSE("Value address invalid!");
    if (length == 0) {
        const LONG rc = RegDeleteValueA(s_WriteKey, valueName);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? 1 : 0;
    }
    return RegSetValueExA(s_WriteKey, valueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(value), length + 1) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

int ZVI_CALL ZVI_ProfileWriteData(const char *valueName, const void *data, int size)
{
    if (!s_WriteKey)
        return ZVI_REFUSE("Key not open!");
    if (!ValueNameValid(valueName))
        return ZVI_REFUSE("ValueName address invalid!");
    if (size < 0 || (size > 0 && !ZviReadable(data, size)))
        return ZVI_REFUSE("Value address invalid!");
    SystemWriteBinary(s_WriteKey, valueName, data, (uint32_t)size);
    if (size == 0)
        return 1;
    std::vector<uint8_t> back(size);
    return SystemReadBinary(s_WriteKey, valueName, back.data(), (uint32_t)size) &&
                   std::memcmp(back.data(), data, size) == 0
               ? 1
               : 0;
}

void ZVI_CALL ZVI_ProfileWriteKeyClose()
{
    if (!s_WriteKey) {
        ZVI_REFUSE("Key not open!");
        return;
    }
    RegCloseKey(s_WriteKey);
    s_WriteKey = nullptr;
}

int ZVI_CALL ZVI_ProfileDeleteKey(const char *keyName, int machine)
{
    char path[SYSTEM_KEY_NAME_SIZE];
    if (!KeyPath(keyName, path))
        return ZVI_REFUSE("KeyName address invalid!");
    HKEY root = nullptr;
    if (RegOpenKeyExA(Root(machine), "", 0, KEY_READ | KEY_WRITE, &root) != ERROR_SUCCESS)
        return 0;
    HKEY probe = nullptr;
    const bool exists = RegOpenKeyExA(root, path, 0, KEY_READ, &probe) == ERROR_SUCCESS;
    if (probe)
        RegCloseKey(probe);
    const int ok = exists && SystemDeleteKeyTree(root, path);
    RegCloseKey(root);
    return ok ? 1 : 0;
}

int ZVI_CALL ZVI_ProfileGetDrawing(int, short module, int key, void *data, int size)
{
    if (data && (size <= 0 || !ZviWritable(data, size)))
        return ZVI_REFUSE("ProfileData address invalid!");
    const Unit *u = FindProfile(module, key);
    if (!u)
        return 0;
    const int total = RecordDataBytes(u);
    if (total < 0)
        return 0;
    if (!data)
        return total;
    if (total > size)
        return -1;
    const auto *p = reinterpret_cast<const uint8_t *>(u) + UNIT_ELEMENTS_OBJECT;
    auto *out = static_cast<uint8_t *>(data);
    for (const auto *e = reinterpret_cast<const Element *>(p); e->kind != ELEM_END;
         p += e->size, e = reinterpret_cast<const Element *>(p)) {
        const uint32_t n = e->size - ELEMENT_HEADER_SIZE;
        std::memcpy(out, p + ELEMENT_HEADER_SIZE, n);
        out += n;
    }
    return total;
}

int ZVI_CALL ZVI_ProfileSetDrawing(int, short module, int key, const void *data, int size)
{
    if (data && (size < 1 || size > PROFILE_MAX_DATA))
        return ZVI_REFUSE("Size exceeds valid range!");
    if (data && !ZviReadable(data, size))
        return ZVI_REFUSE("ProfileData address invalid!");
    Unit *stored = nullptr;
    if (data) {
        // The new record is stored before the old ones go: a failed store loses nothing.
        const std::vector<uint8_t> record = BuildProfile(module, key, static_cast<const uint8_t *>(data), size);
        stored = MemListNewCopyAfter(LIST_PLUGIN_DATA, record.data(), (uint32_t)record.size(), nullptr);
        if (!stored)
            return 0;
    }
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_PLUGIN_DATA, 0, 0, 0); u;) {
            Unit *next = MemListNext(u);
            if (u != stored && IsProfileRecord(u, module, key))
                MemListDelete(LIST_PLUGIN_DATA, u);
            u = next;
        }
    }
    if (data)
        FileSetModified();
    return 1;
}

} // extern "C"
