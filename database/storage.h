// Memory of the drawing database: tracked temporary blocks, the two exclusive
// scratch buffers, the fixed work arrays and the size limits (storage_temp.cpp),
// the paragraph sub-allocator over global-memory chunks (storage_alloc.cpp) and
// the 64 object lists with their one iteration filter (storage_list.cpp).
#pragma once

#include <cstdint>

#include "database/unit.h"

// ---------------------------------------------------------------------------
// Size limits, all derived from the program option ObjectSize.

constexpr uint32_t OBJECT_SIZE_MIN = 131072;   // bytes
constexpr uint32_t OBJECT_SIZE_MAX = 1048576;
constexpr uint32_t OBJECT_SIZE_DEFAULT = 131072;
constexpr uint32_t UNIT_DATA_RESERVE = 2048;   // ObjectSize less this is the largest unit data
constexpr uint32_t PIECE_POINT_LIMIT = 4032;   // most points in one generated piece
constexpr uint32_t SCRATCH_POINT_FACTOR = 40;  // scratch buffers hold 40 bytes per unit point
constexpr uint32_t PATH_POINT_FACTOR = 4;      // path arrays hold 4 units' worth of points
constexpr uint32_t CHUNK_SIZE_MIN = 131072;
constexpr uint32_t PARAGRAPH_SIZE = 16;

struct ObjectLimits {
    uint32_t objectSize;      // S: the unit buffer size (plug-in builder buffers)
    uint32_t maxUnitData;     // S - 2048: the most element bytes behind a unit's header
    uint32_t maxUnitPoints;   // point elements that fit in one unit
    uint32_t maxPathPoints;   // capacity of the path arrays
    uint32_t pieceLimit;      // most points in one generated piece
    uint32_t scratchSize;     // size of Universal1 and of Uni2
    uint32_t chunkSize;       // size of one allocator chunk
    uint32_t chunkParagraphs; // chunk size / 16
};

extern ObjectLimits g_ObjectLimits;
extern uint32_t g_MaxPathPoints;

// The limits for an ObjectSize of the given bytes (clamped to 128 KB .. 1 MB).
ObjectLimits MemComputeLimits(uint32_t objectSize);
// Makes them the program's limits; called by the settings reader at start,
// before MemInitWork and the first chunk.
void MemSetLimits(uint32_t objectSize);

// ---------------------------------------------------------------------------
// Temporary memory and scratch buffers. Every taker passes its source file
// and line; the diagnostics name them.

constexpr int TEMP_SLOT_COUNT = 200;
constexpr int TEMP_FILE_SIZE = 32;   // the file tail kept per slot, NUL included
constexpr int SCRATCH_OWNER_SIZE = 64;

struct TempSlot {
    char file[TEMP_FILE_SIZE]; // from the last backslash on
    int32_t line;
    void *block;               // 0 = free slot
    uint32_t size;
};

struct ScratchOwner {
    char file[SCRATCH_OWNER_SIZE]; // empty when free
    int32_t line;
    uint32_t locked;
};

extern TempSlot g_TempSlots[TEMP_SLOT_COUNT];
extern ScratchOwner g_Universal1Owner;
extern ScratchOwner g_Uni2Owner;

// The two exclusive scratch buffers (scratch size each), allocated by MemInitWork.
extern uint8_t *g_Universal1;
extern uint8_t *g_Uni2;

void mem_init_temp();
void *mem_alloc_temp(uint32_t size, const char *file, int line);
void mem_free_temp(void *block, const char *file, int line);
int mem_lock_uni1(const char *file, int line);
int mem_unlock_uni1(const char *file, int line);
int mem_lock_uni2(const char *file, int line);
int mem_unlock_uni2(const char *file, int line);
void mem_exit_temp();

// A tracked temporary block of count records for the life of a scope; test
// it before use (false when memory was short).
template <typename T>
struct TempBlock {
    TempBlock(uint32_t count, const char *file, int line)
        : block_(static_cast<T *>(mem_alloc_temp(uint32_t(count * sizeof(T)), file, line))), file_(file), line_(line)
    {
    }
    ~TempBlock()
    {
        if (block_)
            mem_free_temp(block_, file_, line_);
    }
    TempBlock(const TempBlock &) = delete;
    TempBlock &operator=(const TempBlock &) = delete;
    explicit operator bool() const { return block_ != nullptr; }
    T *get() const { return block_; }

private:
    T *block_;
    const char *file_;
    int line_;
};

// Holds one scratch buffer for the life of a scope. A refused taker holds
// nothing: it must test the guard and skip its work, and its destructor never
// releases the other holder's lock.
//     ScratchUni1 scratch(__FILE__, __LINE__);
//     if (!scratch) return 0;
template <int (*Lock)(const char *, int), int (*Unlock)(const char *, int)>
struct ScratchGuard {
    ScratchGuard(const char *file, int line) : file_(file), line_(line), held_(Lock(file, line) != 0) {}
    ~ScratchGuard() { Release(); }
    ScratchGuard(const ScratchGuard &) = delete;
    ScratchGuard &operator=(const ScratchGuard &) = delete;
    explicit operator bool() const { return held_; }
    void Release()
    {
        if (held_)
            Unlock(file_, line_);
        held_ = false;
    }

private:
    const char *file_;
    int line_;
    bool held_;
};
using ScratchUni1 = ScratchGuard<mem_lock_uni1, mem_unlock_uni1>;
using ScratchUni2 = ScratchGuard<mem_lock_uni2, mem_unlock_uni2>;

// Fixed work arrays for paths and clipping, kept from start to exit.
constexpr uint32_t DEVICE_POINT_COUNT = 10001;

struct WorkPoint {
    double x;
    double y;
};
static_assert(sizeof(WorkPoint) == 16);

struct WorkArrays {
    WorkPoint *pathPoints;       // g_MaxPathPoints + 1
    uint32_t *pathTypes;         // g_MaxPathPoints + 1
    WorkPoint *devicePoints1;    // DEVICE_POINT_COUNT
    uint32_t *deviceTypes1;
    WorkPoint *devicePoints2;
    uint32_t *deviceTypes2;
};
extern WorkArrays g_WorkArrays;

int MemInitWork();
void MemExitWork();
// The limits of another object size, with the work memory and both scratch
// buffers made again at their sizes (neither scratch buffer may be locked,
// and the chunks of the old size should be freed first); 0 when memory ran
// out.
int MemResizeWork(uint32_t objectSize);

// ---------------------------------------------------------------------------
// Object lists.

constexpr int OBJECT_LIST_COUNT = 63;       // object lists 0 to 62
constexpr int LIST_TABLE_SIZE = 64;         // followed by the chunk list
constexpr int LIST_DRAWING = 0;             // the drawing's objects
constexpr int LIST_OWN_BLOCKS = 1;          // the drawing's own blocks
constexpr int LIST_PLUGIN_DATA = 2;         // plug-in data records
constexpr int LIST_CHAR_LIBRARY_FIRST = 3;  // 10 character libraries
constexpr int CHAR_LIBRARY_SLOTS = 10;
constexpr int LIST_SYMBOL_LIBRARY_FIRST = 13; // 50 symbol libraries
constexpr int SYMBOL_LIBRARY_SLOTS = 50;
constexpr int LIST_CHUNKS = 63;             // the chunk list's header

struct ObjectList {
    Unit *head;     // drawn first; 0 when empty
    Unit *tail;
    uint32_t count; // units linked in the list
    uint32_t bytes; // byte words of those units and of their blocks' members
};
static_assert(sizeof(ObjectList) == 16);
static_assert(offsetof(ObjectList, head) == 0);
static_assert(offsetof(ObjectList, tail) == 4);
static_assert(offsetof(ObjectList, count) == 8);
static_assert(offsetof(ObjectList, bytes) == 12);

extern ObjectList g_ObjectLists[LIST_TABLE_SIZE];

// The one iteration filter of MemListFirst / MemListNext.
struct ListFilter {
    uint32_t mask;
    uint32_t value;
    uint32_t aliveOnly;
};
static_assert(sizeof(ListFilter) == 12);
extern ListFilter g_ListFilter;

// The list headers for the program-status dialog: list 0's count is the
// number of units alive now, the last word the free bytes.
struct MemStatistics {
    ObjectList lists[LIST_TABLE_SIZE];
};
static_assert(sizeof(MemStatistics) == 1024);

// Allocator.
void MemInitLists();
int MemEnlargeList();
void MemFreeChunks();
void *MemSubAlloc(uint32_t bytes);
void *MemAllocBlock(uint32_t bytes);
void MemSubFree(void *block);
uint32_t MemBytesInUse();
void MemGetStatistics(MemStatistics *out);
ObjectList *MemGetListTable();
// Whether the unit at this address is linked in list 0 (the drawing): kept
// by the list code in a bitmap beside each chunk, so that the undo purge can
// test an address it noted earlier without walking the list.
void MemSetInDrawing(const void *unit, int on);
int MemIsInDrawing(const void *unit);
void MemSwapLists(int a, int b);

// Lists.
Unit *MemListUnlink(int list, Unit *object);
void MemListPushFront(int list, Unit *object);
void MemListPushBack(int list, Unit *object);
void MemListInsertBefore(int list, Unit *before, Unit *object);
void MemListInsertAfter(int list, Unit *after, Unit *object);
void MemListMoveBefore(int list, Unit *object, Unit *before);
void MemListMoveAfter(int list, Unit *object, Unit *after);
Unit *MemListNewObject(int list, uint32_t bytes, Unit *after);
Unit *MemListNewCopyBefore(int list, const void *record, uint32_t bytes, Unit *before);
Unit *MemListNewCopyAfter(int list, const void *record, uint32_t bytes, Unit *after);
Unit *MemListDelete(int list, Unit *object);
Unit *MemListDuplicate(int list, Unit *object);
Unit *MemChainAppend(int list, Unit *block, const void *record, uint32_t bytes);
Unit *MemChainRemove(int list, Unit *block, Unit *member);

// Iteration through the one global filter. A unit passes when
// (flags & mask) == value and, with aliveOnly, birth <= g_UndoStep < death.
Unit *MemListFirst(int list, uint32_t mask, uint32_t value, uint32_t aliveOnly);
Unit *MemListNext(Unit *unit);
Unit *MemListLast(int list, uint32_t mask, uint32_t value, uint32_t aliveOnly);
Unit *MemListPrev(Unit *unit);
void MemListSaveFilter(uint32_t saved[3]);
void MemListRestoreFilter(const uint32_t saved[3]);

// Keeps the stored filter across a scope that may walk lists of its own
// (nested walks, plug-in callbacks, dispatched messages).
struct ListFilterKeeper {
    ListFilterKeeper() { MemListSaveFilter(saved_); }
    ~ListFilterKeeper() { MemListRestoreFilter(saved_); }
    ListFilterKeeper(const ListFilterKeeper &) = delete;
    ListFilterKeeper &operator=(const ListFilterKeeper &) = delete;

private:
    uint32_t saved_[3];
};
