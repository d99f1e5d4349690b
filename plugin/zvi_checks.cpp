// Refusals, probes and the look-up of handed-out units.
#include "plugin/zvi_checks.h"

#include <cstdio>
#include <cstring>

#include "app/init.h"
#include <cstddef>
#include "database/storage.h"
#include "database/unit.h"

namespace {

constexpr int MESSAGE_SIZE = 512;
constexpr uintptr_t PAGE_SIZE_PROBE = 4096;

int Refuse(const char *file, const char *function, int line, const char *reason, const char *separator)
{
    char message[MESSAGE_SIZE];
    std::snprintf(message, sizeof message, "%s()%s%s", function, separator, reason);
    // The file's own name, as the box shows it, without the build's folders.
    const char *name = file ? file : "";
    for (const char *c = name; *c; ++c)
        if (*c == '/' || *c == '\\')
            name = c + 1;
    InitErrorBoxInterface(name, line, message);
    return 0;
}

} // namespace

int ZviRefuseAt(const char *file, const char *function, int line, const char *reason)
{
    return Refuse(file, function, line, reason, "\n\n");
}

int ZviRefuseShortAt(const char *file, const char *function, int line, const char *reason)
{
    return Refuse(file, function, line, reason, "\n");
}

// The probes ask the memory manager about every region the range touches
// instead of touching the memory (as IsBad*Ptr do): no fault is raised, so
// they behave the same natively and under an emulator, where a fault inside
// the system's probe ended the process.
namespace {

bool RangeHas(const void *p, size_t bytes, DWORD wanted)
{
    if (!p)
        return false;
    uintptr_t at = reinterpret_cast<uintptr_t>(p);
    const uintptr_t end = at + (bytes ? bytes : 1);
    if (end < at)
        return false; // the range wraps round the address space
    while (at < end) {
        MEMORY_BASIC_INFORMATION info;
        if (!VirtualQuery(reinterpret_cast<const void *>(at), &info, sizeof info))
            return false;
        if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) || !(info.Protect & wanted))
            return false;
        at = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    }
    return true;
}

constexpr DWORD PROTECT_READ = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                               PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD PROTECT_WRITE = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD PROTECT_EXECUTE = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

} // namespace

bool ZviReadable(const void *p, size_t bytes)
{
    return RangeHas(p, bytes, PROTECT_READ);
}

bool ZviWritable(void *p, size_t bytes)
{
    return RangeHas(p, bytes, PROTECT_WRITE);
}

bool ZviCallable(const void *p)
{
    return RangeHas(p, 1, PROTECT_EXECUTE);
}

int ZviTextLength(const char *text, int limit)
{
    if (!ZviReadable(text, 1))
        return -1;
    // Probe once per page: the text may end right before a page that is not there.
    for (int i = 0; i <= limit; ++i) {
        const char *c = text + i;
        if (i > 0 && (reinterpret_cast<uintptr_t>(c) % PAGE_SIZE_PROBE) == 0 && !ZviReadable(c, 1))
            return limit + 1;
        if (*c == 0)
            return i;
    }
    return limit + 1;
}

void ZviCopyText(char *field, const char *text, size_t size)
{
    if (!size)
        return;
    const size_t n = strnlen(text, size - 1);
    std::memcpy(field, text, n);
    field[n] = 0;
}

Unit *ZviLiveUnit(int list, const void *p)
{
    if (!p)
        return nullptr;
    ListFilterKeeper keep;
    Unit *found = nullptr;
    for (Unit *u = MemListFirst(list, 0, 0, 1); u; u = MemListNext(u))
        if (u == p) {
            found = u;
            break;
        }
    return found;
}

Unit *ZviLiveModuleObject(const void *p)
{
    Unit *u = ZviLiveUnit(0, p);
    return u && u->kind == UNIT_KIND_PLUGIN ? u : nullptr;
}

bool ZviUnitReadable(const Unit *unit)
{
    if (!ZviReadable(unit, offsetof(Unit, property)))
        return false;
    switch (unit->kind) {
    case UNIT_KIND_OBJECT: return ZviReadable(unit, UNIT_ELEMENTS_OBJECT);
    case UNIT_KIND_INSTANCE:
    case UNIT_KIND_PLUGIN: return ZviReadable(unit, UNIT_ELEMENTS_PLUGIN);
    case UNIT_KIND_BLOCK: return ZviReadable(unit, UNIT_ELEMENTS_BLOCK);
    default: return ZviReadable(unit, offsetof(Unit, property));
    }
}

const Element *ZviChainElement(const uint8_t *p, const uint8_t *end)
{
    const auto *e = reinterpret_cast<const Element *>(p);
    if (p + ELEMENT_HEADER_SIZE > end || e->size < ELEMENT_HEADER_SIZE || e->size > (uint32_t)(end - p))
        return nullptr;
    return e;
}
