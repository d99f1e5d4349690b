// Tracked temporary memory, the two exclusive scratch buffers, the fixed work
// arrays and the size limits that follow from the ObjectSize option.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/darad4.h"
#include "app/init.h"
#include "database/storage.h"
#include "dialogs/alert.h"

// The diagnostics of this module name it, not the caller's file.
static const char STORAGE_SOURCE[] = "storage";
constexpr int DIAG_TEXT_SIZE = 512;

ObjectLimits g_ObjectLimits = MemComputeLimits(OBJECT_SIZE_DEFAULT);
uint32_t g_MaxPathPoints = g_ObjectLimits.maxPathPoints;

TempSlot g_TempSlots[TEMP_SLOT_COUNT];
ScratchOwner g_Universal1Owner;
ScratchOwner g_Uni2Owner;
uint8_t *g_Universal1 = nullptr;
uint8_t *g_Uni2 = nullptr;
WorkArrays g_WorkArrays;

// ---------------------------------------------------------------------------
// Size limits

static uint32_t SmallestPowerOfTwoAbove(uint32_t value)
{
    uint32_t p = 1;
    while (p <= value && p < 0x80000000u)
        p <<= 1;
    return p;
}

ObjectLimits MemComputeLimits(uint32_t objectSize)
{
    const uint32_t s = objectSize < OBJECT_SIZE_MIN ? OBJECT_SIZE_MIN
                       : objectSize > OBJECT_SIZE_MAX ? OBJECT_SIZE_MAX
                                                      : objectSize;
    ObjectLimits limits{};
    limits.objectSize = s;
    limits.maxUnitData = s - UNIT_DATA_RESERVE;
    limits.maxUnitPoints = limits.maxUnitData / ELEM_SIZE_POINT;
    limits.maxPathPoints = PATH_POINT_FACTOR * limits.maxUnitPoints;
    limits.pieceLimit = PIECE_POINT_LIMIT;
    const uint32_t scratchByPoints = SCRATCH_POINT_FACTOR * limits.maxUnitPoints;
    limits.scratchSize = s > scratchByPoints ? s : scratchByPoints;
    limits.chunkSize = s < CHUNK_SIZE_MIN ? CHUNK_SIZE_MIN : SmallestPowerOfTwoAbove(s);
    limits.chunkParagraphs = limits.chunkSize / PARAGRAPH_SIZE;
    return limits;
}

void MemSetLimits(uint32_t objectSize)
{
    g_ObjectLimits = MemComputeLimits(objectSize);
    g_MaxPathPoints = g_ObjectLimits.maxPathPoints;
}

// ---------------------------------------------------------------------------
// Temporary blocks

// Copies at most size - 1 characters and always terminates.
static void CopyCut(char *dest, size_t size, const char *src)
{
    if (!src)
        src = "";
    size_t n = strlen(src);
    if (n > size - 1)
        n = size - 1;
    memcpy(dest, src, n);
    dest[n] = 0;
}

// The file name from its last path separator on, the separator included.
// Windows paths use the backslash; the compiler's own paths may use '/'.
static const char *FileTail(const char *file)
{
    if (!file)
        return "";
    const char *tail = file;
    for (const char *p = file; *p; ++p)
        if (*p == '\\' || *p == '/')
            tail = p;
    return tail;
}

static const char *Safe(const char *s) { return s ? s : ""; }

void mem_init_temp()
{
    memset(g_TempSlots, 0, sizeof g_TempSlots);
    memset(&g_Universal1Owner, 0, sizeof g_Universal1Owner);
    memset(&g_Uni2Owner, 0, sizeof g_Uni2Owner);
}

void *mem_alloc_temp(uint32_t size, const char *file, int line)
{
    char text[DIAG_TEXT_SIZE];
    int slot = 0;
    while (slot < TEMP_SLOT_COUNT && g_TempSlots[slot].block)
        ++slot;
    if (slot == TEMP_SLOT_COUNT) {
        snprintf(text, sizeof text, "mem_alloc_temp( %ld ) called from %s\\%d:\n\nNo free handle.",
                 static_cast<long>(size), Safe(file), line);
        InitErrorBox(STORAGE_SOURCE, __LINE__, text);
        return nullptr;
    }
    // A zero-byte request still gets a block of its own, so that it can be tracked.
    void *block = malloc(size ? size : 1);
    if (!block) {
        snprintf(text, sizeof text, "mem_alloc_temp( %ld ) called from %s\\%d:\n\nUnable to allocate memory.",
                 static_cast<long>(size), Safe(file), line);
        InitErrorBox(STORAGE_SOURCE, __LINE__, text);
        AlertNoDialog(g_MainWnd);
        return nullptr;
    }
    TempSlot &s = g_TempSlots[slot];
    CopyCut(s.file, sizeof s.file, FileTail(file));
    s.line = line;
    s.block = block;
    s.size = size;
    return block;
}

void mem_free_temp(void *block, const char *file, int line)
{
    char text[DIAG_TEXT_SIZE];
    if (!block) {
        snprintf(text, sizeof text, "mem_free_temp() called from %s\\%d:\n\nUnable to free \"NULL\" pointer.",
                 Safe(file), line);
        InitErrorBox(STORAGE_SOURCE, __LINE__, text);
        return;
    }
    for (TempSlot &s : g_TempSlots) {
        if (s.block == block) {
            free(block);
            memset(&s, 0, sizeof s);
            return;
        }
    }
    snprintf(text, sizeof text, "mem_free_temp() called from %s\\%d:\n\nUnknown temp memory pointer.", Safe(file),
             line);
    InitErrorBox(STORAGE_SOURCE, __LINE__, text);
}

// ---------------------------------------------------------------------------
// Scratch buffers

static int LockScratch(ScratchOwner &owner, const char *function, const char *bufferName, const char *file,
                       int line)
{
    if (owner.locked) {
        char text[DIAG_TEXT_SIZE];
        snprintf(text, sizeof text, "%s() called from %s\\%d:\n\n%s is still locked to %s\\%d.", function,
                 Safe(file), line, bufferName, owner.file, owner.line);
        InitErrorBox(STORAGE_SOURCE, __LINE__, text);
        return 0;
    }
    CopyCut(owner.file, sizeof owner.file, file);
    owner.line = line;
    owner.locked = 1;
    return 1;
}

static int UnlockScratch(ScratchOwner &owner, const char *function, const char *bufferName, const char *file,
                         int line)
{
    if (!owner.locked) {
        char text[DIAG_TEXT_SIZE];
        snprintf(text, sizeof text, "%s() called from %s\\%d:\n\n%s is already unlocked.", function, Safe(file),
                 line, bufferName);
        InitErrorBox(STORAGE_SOURCE, __LINE__, text);
        return 0;
    }
    memset(&owner, 0, sizeof owner);
    return 1;
}

int mem_lock_uni1(const char *file, int line)
{
    return LockScratch(g_Universal1Owner, "mem_lock_uni1", "Universal1", file, line);
}

int mem_unlock_uni1(const char *file, int line)
{
    return UnlockScratch(g_Universal1Owner, "mem_unlock_uni1", "Universal1", file, line);
}

int mem_lock_uni2(const char *file, int line)
{
    return LockScratch(g_Uni2Owner, "mem_lock_uni2", "Uni2", file, line);
}

int mem_unlock_uni2(const char *file, int line)
{
    return UnlockScratch(g_Uni2Owner, "mem_unlock_uni2", "Uni2", file, line);
}

void mem_exit_temp()
{
    char text[DIAG_TEXT_SIZE];
    for (TempSlot &s : g_TempSlots) {
        if (!s.block)
            continue;
        snprintf(text, sizeof text, "mem_exit_temp():\n\nA pointer (%ld bytes) is still assigned to %s\\%d.",
                 static_cast<long>(s.size), s.file, s.line);
        InitErrorBox(STORAGE_SOURCE, __LINE__, text);
        free(s.block);
        memset(&s, 0, sizeof s);
    }
    if (g_Universal1Owner.locked) {
        snprintf(text, sizeof text, "mem_exit_temp():\n\nUniversal1 is still locked\nfrom %s\\%d.",
                 g_Universal1Owner.file, g_Universal1Owner.line);
        InitErrorBox(STORAGE_SOURCE, __LINE__, text);
    }
    if (g_Uni2Owner.locked) {
        snprintf(text, sizeof text, "mem_exit_temp():\n\nUni2 is still locked\nfrom %s\\%d.", g_Uni2Owner.file,
                 g_Uni2Owner.line);
        InitErrorBox(STORAGE_SOURCE, __LINE__, text);
    }
}

// ---------------------------------------------------------------------------
// Work memory

static void *GlobalZeroed(uint32_t bytes) { return GlobalAlloc(GPTR, bytes); }

static void GlobalRelease(void *block)
{
    if (block)
        GlobalFree(block);
}

int MemInitWork()
{
    // The scratch buffers are kept for the life of the process: a second
    // start-up reuses them instead of leaking the first pair.
    if (!g_Universal1)
        g_Universal1 = static_cast<uint8_t *>(GlobalZeroed(g_ObjectLimits.scratchSize));
    if (!g_Uni2)
        g_Uni2 = static_cast<uint8_t *>(GlobalZeroed(g_ObjectLimits.scratchSize));
    memset(&g_WorkArrays, 0, sizeof g_WorkArrays);
    if (!g_Universal1 || !g_Uni2)
        return MemExitWork(), 0;
    const uint32_t pathEntries = g_MaxPathPoints + 1;
    WorkArrays &w = g_WorkArrays;
    if (!(w.pathPoints = static_cast<WorkPoint *>(GlobalZeroed(pathEntries * sizeof(WorkPoint)))) ||
        !(w.pathTypes = static_cast<uint32_t *>(GlobalZeroed(pathEntries * sizeof(uint32_t)))) ||
        !(w.devicePoints1 = static_cast<WorkPoint *>(GlobalZeroed(DEVICE_POINT_COUNT * sizeof(WorkPoint)))) ||
        !(w.deviceTypes1 = static_cast<uint32_t *>(GlobalZeroed(DEVICE_POINT_COUNT * sizeof(uint32_t)))) ||
        !(w.devicePoints2 = static_cast<WorkPoint *>(GlobalZeroed(DEVICE_POINT_COUNT * sizeof(WorkPoint)))) ||
        !(w.deviceTypes2 = static_cast<uint32_t *>(GlobalZeroed(DEVICE_POINT_COUNT * sizeof(uint32_t))))) {
        MemExitWork();
        return 0;
    }
    return 1;
}

int MemResizeWork(uint32_t objectSize)
{
    MemExitWork();
    GlobalRelease(g_Universal1);
    GlobalRelease(g_Uni2);
    g_Universal1 = g_Uni2 = nullptr;
    MemSetLimits(objectSize);
    return MemInitWork();
}

void MemExitWork()
{
    WorkArrays &w = g_WorkArrays;
    GlobalRelease(w.pathPoints);
    GlobalRelease(w.pathTypes);
    GlobalRelease(w.devicePoints1);
    GlobalRelease(w.deviceTypes1);
    GlobalRelease(w.devicePoints2);
    GlobalRelease(w.deviceTypes2);
    memset(&w, 0, sizeof w);
}
