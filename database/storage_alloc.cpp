// The paragraph sub-allocator: units are carved in 16-byte paragraphs out of
// large chunks of global memory, first fit over one free list that runs
// through all chunks in chunk order and, within a chunk, in address order.
//
// Two side tables keep that first-fit walk and the chunk lookup of a release
// fast with many chunks, without changing which block is chosen:
//  - per chunk (in chunk order) an upper bound of its largest free block, in
//    a max-tree, so the walk starts at the first chunk that may fit;
//  - the chunks sorted by address, so a release finds its chunk by bisection;
//  - per chunk a bitmap of the paragraphs where free blocks start, so a
//    release finds its free-list neighbours without walking the chunk's list.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/init.h"
#include "app/init_trap.h"
#include "database/object_ident.h"
#include "database/storage.h"
#include "database/symbol_index.h"
#include "database/symbol_undo.h"
#include "database/undo.h"
#include "database/undo_step.h"
#include "files/image_list.h"

ObjectList g_ObjectLists[LIST_TABLE_SIZE];

namespace {

const char STORAGE_SOURCE[] = "storage";

// A block header: the first 16 bytes of every allocator block. Free blocks
// link the free list through prev and next; a chunk's header node has 0
// paragraphs and keeps the next chunk's address in its bytes word.
struct MemNode {
    int32_t paragraphs;
    uint32_t bytes;
    MemNode *prev;
    MemNode *next;
};
static_assert(sizeof(MemNode) == PARAGRAPH_SIZE);
static_assert(offsetof(MemNode, prev) == offsetof(Unit, prev));
static_assert(offsetof(MemNode, next) == offsetof(Unit, next));

// 4 GB of address space in chunks of at least 256 KB.
constexpr int MAX_CHUNKS = 16384;

struct ChunkInfo {
    MemNode *base;
    int32_t maxFree;     // upper bound of the chunk's largest free block, paragraphs
    uint32_t *freeStarts; // bit p set: a free block starts at paragraph p; then
                          // one summary bit per word: that word is not 0
    uint32_t *inDrawing;  // bit p set: the unit starting at paragraph p is linked in list 0
};

// Words of the free-start bitmap of a chunk of the given paragraphs, and
// where its summary begins.
uint32_t FreeStartWords(uint32_t paragraphs) { return (paragraphs + 31) / 32; }
uint32_t SummaryWords(uint32_t paragraphs) { return (FreeStartWords(paragraphs) + 31) / 32; }

ChunkInfo g_Chunks[MAX_CHUNKS]; // chunk order
int g_ChunkCount = 0;
int32_t g_ChunkTree[2 * MAX_CHUNKS]; // max-tree over g_Chunks[].maxFree; leaves at MAX_CHUNKS + i
MemNode *g_ChunkByAddress[MAX_CHUNKS];
int g_ChunkOrderOf[MAX_CHUNKS];      // chunk-order index of g_ChunkByAddress[i]
uint32_t g_ChunkBytes = 0;           // size of every chunk, fixed by the first one

ObjectList &ChunkList() { return g_ObjectLists[LIST_CHUNKS]; }
MemNode *FirstChunk() { return reinterpret_cast<MemNode *>(ChunkList().head); }
uint32_t ChunkParagraphs() { return g_ChunkBytes / PARAGRAPH_SIZE; }

MemNode *NextChunk(const MemNode *header) { return reinterpret_cast<MemNode *>(static_cast<uintptr_t>(header->bytes)); }
void SetNextChunk(MemNode *header, MemNode *next) { header->bytes = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(next)); }

MemNode *NodeAt(void *base, uint32_t paragraphs)
{
    return reinterpret_cast<MemNode *>(static_cast<uint8_t *>(base) + static_cast<size_t>(paragraphs) * PARAGRAPH_SIZE);
}

uint32_t ParagraphOf(const ChunkInfo &chunk, const MemNode *node)
{
    return static_cast<uint32_t>((reinterpret_cast<const uint8_t *>(node) - reinterpret_cast<const uint8_t *>(chunk.base)) /
                                 PARAGRAPH_SIZE);
}

uint32_t *Summary(const ChunkInfo &chunk) { return chunk.freeStarts + FreeStartWords(ChunkParagraphs()); }

void MarkFree(const ChunkInfo &chunk, const MemNode *node)
{
    const uint32_t p = ParagraphOf(chunk, node);
    const uint32_t word = p >> 5;
    chunk.freeStarts[word] |= 1u << (p & 31);
    Summary(chunk)[word >> 5] |= 1u << (word & 31);
}

void MarkUsed(const ChunkInfo &chunk, const MemNode *node)
{
    const uint32_t p = ParagraphOf(chunk, node);
    const uint32_t word = p >> 5;
    chunk.freeStarts[word] &= ~(1u << (p & 31));
    if (!chunk.freeStarts[word])
        Summary(chunk)[word >> 5] &= ~(1u << (word & 31));
}

int HighestBit(uint32_t bits) { return 31 - __builtin_clz(bits); }

bool IsFreeStart(const ChunkInfo &chunk, const MemNode *node)
{
    const uint32_t p = ParagraphOf(chunk, node);
    return (chunk.freeStarts[p >> 5] >> (p & 31)) & 1;
}

// The last free block of the chunk starting below node, or the chunk's header
// node when there is none: the free-list predecessor of a block freed there.
MemNode *FreeBlockBelow(const ChunkInfo &chunk, const MemNode *node)
{
    const uint32_t p = ParagraphOf(chunk, node);
    const uint32_t word = p >> 5;
    if (const uint32_t bits = chunk.freeStarts[word] & ((1u << (p & 31)) - 1))
        return NodeAt(chunk.base, word * 32 + HighestBit(bits));
    // The nearest nonzero word below, found through the summary.
    const uint32_t *summary = Summary(chunk);
    int s = static_cast<int>(word >> 5);
    uint32_t words = summary[s] & ((1u << (word & 31)) - 1);
    while (!words && s > 0)
        words = summary[--s];
    if (!words)
        return chunk.base;
    const uint32_t found = static_cast<uint32_t>(s) * 32 + HighestBit(words);
    return NodeAt(chunk.base, found * 32 + HighestBit(chunk.freeStarts[found]));
}

void TreeSet(int index, int32_t value)
{
    int node = MAX_CHUNKS + index;
    g_ChunkTree[node] = value;
    for (node >>= 1; node >= 1; node >>= 1) {
        const int32_t a = g_ChunkTree[2 * node], b = g_ChunkTree[2 * node + 1];
        g_ChunkTree[node] = a > b ? a : b;
    }
}

void TreeRebuild()
{
    for (int i = 0; i < MAX_CHUNKS; ++i)
        g_ChunkTree[MAX_CHUNKS + i] = i < g_ChunkCount ? g_Chunks[i].maxFree : -1;
    for (int node = MAX_CHUNKS - 1; node >= 1; --node) {
        const int32_t a = g_ChunkTree[2 * node], b = g_ChunkTree[2 * node + 1];
        g_ChunkTree[node] = a > b ? a : b;
    }
}

// The first chunk in chunk order whose bound reaches n, or -1.
int TreeFirstAtLeast(int32_t n)
{
    if (g_ChunkTree[1] < n)
        return -1;
    int node = 1;
    while (node < MAX_CHUNKS)
        node = g_ChunkTree[2 * node] >= n ? 2 * node : 2 * node + 1;
    return node - MAX_CHUNKS;
}

void RaiseBound(int index, int32_t paragraphs)
{
    if (g_Chunks[index].maxFree < paragraphs) {
        g_Chunks[index].maxFree = paragraphs;
        TreeSet(index, paragraphs);
    }
}

// Position in g_ChunkByAddress of the last chunk starting at or below p, or -1.
int AddressPosition(const void *p)
{
    int lo = 0, hi = g_ChunkCount - 1, found = -1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (reinterpret_cast<const uint8_t *>(g_ChunkByAddress[mid]) <= static_cast<const uint8_t *>(p)) {
            found = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return found;
}


void ResetSideTables()
{
    for (int i = 0; i < g_ChunkCount; ++i) {
        free(g_Chunks[i].freeStarts);
        free(g_Chunks[i].inDrawing);
    }
    g_ChunkCount = 0;
    g_ChunkBytes = 0;
    TreeRebuild();
}

// The chunk-order index of the chunk holding block, or -1.
int ChunkOf(const void *block)
{
    const int pos = AddressPosition(block);
    if (pos < 0)
        return -1;
    const auto *base = reinterpret_cast<const uint8_t *>(g_ChunkByAddress[pos]);
    const auto *p = static_cast<const uint8_t *>(block);
    if (p <= base || p >= base + g_ChunkBytes)
        return -1;
    return g_ChunkOrderOf[pos];
}

// Takes a wholly free chunk out of the chunk list, the free list and the side
// tables, and gives its memory back.
void ReleaseChunk(int index)
{
    MemNode *header = g_Chunks[index].base;
    MemNode *freeBlock = header->next;
    MemNode *next = NextChunk(header);
    ObjectList &chunks = ChunkList();
    if (index == 0)
        chunks.head = reinterpret_cast<Unit *>(next);
    else
        SetNextChunk(g_Chunks[index - 1].base, next);
    if (!next)
        chunks.tail = index > 0 ? reinterpret_cast<Unit *>(g_Chunks[index - 1].base) : nullptr;
    // The free list skips both the header node and its one free block.
    MemNode *before = header->prev;
    MemNode *after = freeBlock->next;
    if (before)
        before->next = after;
    if (after)
        after->prev = before;
    chunks.count -= g_ChunkBytes;

    free(g_Chunks[index].freeStarts);
    free(g_Chunks[index].inDrawing);
    memmove(&g_Chunks[index], &g_Chunks[index + 1], (g_ChunkCount - index - 1) * sizeof g_Chunks[0]);
    const int pos = AddressPosition(header);
    memmove(&g_ChunkByAddress[pos], &g_ChunkByAddress[pos + 1], (g_ChunkCount - pos - 1) * sizeof g_ChunkByAddress[0]);
    memmove(&g_ChunkOrderOf[pos], &g_ChunkOrderOf[pos + 1], (g_ChunkCount - pos - 1) * sizeof g_ChunkOrderOf[0]);
    --g_ChunkCount;
    for (int i = 0; i < g_ChunkCount; ++i)
        if (g_ChunkOrderOf[i] > index)
            --g_ChunkOrderOf[i];
    TreeRebuild();
    GlobalFree(header);
}

void SetInDrawingBit(const ChunkInfo &chunk, const MemNode *node, bool on)
{
    const uint32_t p = ParagraphOf(chunk, node);
    if (on)
        chunk.inDrawing[p >> 5] |= 1u << (p & 31);
    else
        chunk.inDrawing[p >> 5] &= ~(1u << (p & 31));
}

} // namespace

void MemSetInDrawing(const void *unit, int on)
{
    const int index = ChunkOf(unit);
    if (index >= 0)
        SetInDrawingBit(g_Chunks[index], static_cast<const MemNode *>(unit), on != 0);
}

int MemIsInDrawing(const void *unit)
{
    const int index = ChunkOf(unit);
    if (index < 0)
        return 0;
    const uint32_t p = ParagraphOf(g_Chunks[index], static_cast<const MemNode *>(unit));
    return (g_Chunks[index].inDrawing[p >> 5] >> (p & 31)) & 1;
}

void MemInitLists()
{
    memset(g_ObjectLists, 0, sizeof g_ObjectLists);
    ResetSideTables();
    UndoNoteListEmptied();
    ObjectIndexForget();
    // The block indexes point into the lists just emptied.
    g_OwnBlockIndex.count = 0;
    g_LibraryBlockIndex.count = 0;
}

int MemEnlargeList()
{
    if (g_ChunkCount == MAX_CHUNKS)
        return 0;
    const uint32_t chunkBytes = g_ChunkCount ? g_ChunkBytes : g_ObjectLimits.chunkSize;
    auto *freeStarts = static_cast<uint32_t *>(calloc(FreeStartWords(chunkBytes / PARAGRAPH_SIZE) + SummaryWords(chunkBytes / PARAGRAPH_SIZE), sizeof(uint32_t)));
    auto *inDrawing = static_cast<uint32_t *>(calloc(FreeStartWords(chunkBytes / PARAGRAPH_SIZE), sizeof(uint32_t)));
    auto *header = freeStarts && inDrawing ? static_cast<MemNode *>(GlobalAlloc(GPTR, chunkBytes)) : nullptr;
    if (!header) {
        free(freeStarts);
        free(inDrawing);
        return 0;
    }
    g_ChunkBytes = chunkBytes;
    const uint32_t paragraphs = ChunkParagraphs();

    ObjectList &chunks = ChunkList();
    MemNode *lastFree = nullptr;
    if (auto *last = reinterpret_cast<MemNode *>(chunks.tail)) {
        SetNextChunk(last, header);
        lastFree = last;
        while (lastFree->next)
            lastFree = lastFree->next;
        lastFree->next = header;
    } else {
        chunks.head = reinterpret_cast<Unit *>(header);
    }
    chunks.tail = reinterpret_cast<Unit *>(header);

    MemNode *block = NodeAt(header, 1);
    header->paragraphs = 0;
    SetNextChunk(header, nullptr);
    header->prev = lastFree;
    header->next = block;
    block->paragraphs = static_cast<int32_t>(paragraphs - 1);
    block->bytes = chunkBytes - PARAGRAPH_SIZE;
    block->prev = header;
    block->next = nullptr;
    chunks.count += chunkBytes;

    const int index = g_ChunkCount;
    g_Chunks[index] = {header, block->paragraphs, freeStarts, inDrawing};
    MarkFree(g_Chunks[index], block);
    const int pos = AddressPosition(header) + 1;
    memmove(&g_ChunkByAddress[pos + 1], &g_ChunkByAddress[pos], (g_ChunkCount - pos) * sizeof g_ChunkByAddress[0]);
    memmove(&g_ChunkOrderOf[pos + 1], &g_ChunkOrderOf[pos], (g_ChunkCount - pos) * sizeof g_ChunkOrderOf[0]);
    g_ChunkByAddress[pos] = header;
    g_ChunkOrderOf[pos] = index;
    ++g_ChunkCount;
    TreeSet(index, block->paragraphs);
    return 1;
}

void MemFreeChunks()
{
    MemNode *chunk = FirstChunk();
    while (chunk) {
        MemNode *next = NextChunk(chunk);
        GlobalFree(chunk);
        chunk = next;
    }
    // No header may point into released memory.
    ChunkList() = ObjectList{};
    ResetSideTables();
    UndoNoteListEmptied();
    ObjectIndexForget();
    // The block indexes point into the lists just emptied.
    g_OwnBlockIndex.count = 0;
    g_LibraryBlockIndex.count = 0;
}

void *MemSubAlloc(uint32_t bytes)
{
    if (bytes == 0 || g_ChunkCount == 0)
        return nullptr;
    // Computed in 64 bits: a request near 4 GB must not wrap to a few paragraphs.
    const uint64_t wanted = (static_cast<uint64_t>(bytes) + PARAGRAPH_SIZE - 1) / PARAGRAPH_SIZE;
    if (wanted >= ChunkParagraphs())
        return nullptr;
    const auto n = static_cast<int32_t>(wanted);

    for (;;) {
        const int index = TreeFirstAtLeast(n);
        if (index < 0)
            return nullptr;
        int32_t largest = 0;
        MemNode *node = g_Chunks[index].base->next;
        // The chunk's free blocks end at the next chunk's header node (0 paragraphs).
        for (; node && node->paragraphs > 0; node = node->next) {
            if (node->paragraphs >= n)
                break;
            if (node->paragraphs > largest)
                largest = node->paragraphs;
        }
        if (!node || node->paragraphs == 0) {
            // The bound was stale: now it is exact, and the search moves on.
            g_Chunks[index].maxFree = largest;
            TreeSet(index, largest);
            continue;
        }
        const ChunkInfo &chunk = g_Chunks[index];
        MarkUsed(chunk, node);
        if (node->paragraphs == n) {
            node->prev->next = node->next;
            if (node->next)
                node->next->prev = node->prev;
        } else {
            MemNode *rest = NodeAt(node, n);
            rest->paragraphs = node->paragraphs - n;
            rest->bytes = static_cast<uint32_t>(rest->paragraphs) * PARAGRAPH_SIZE;
            rest->prev = node->prev;
            rest->next = node->next;
            rest->prev->next = rest;
            if (rest->next)
                rest->next->prev = rest;
            MarkFree(chunk, rest);
            node->paragraphs = n;
        }
        node->prev = nullptr;
        node->next = nullptr;
        node->bytes = bytes;
        return node;
    }
}

void *MemAllocBlock(uint32_t bytes)
{
    if (void *block = MemSubAlloc(bytes))
        return block;
    const uint32_t chunkBytes = g_ChunkCount ? g_ChunkBytes : g_ObjectLimits.chunkSize;
    if (bytes == 0 || bytes > chunkBytes - PARAGRAPH_SIZE)
        return nullptr;
    if (!MemEnlargeList())
        return nullptr;
    void *block = MemSubAlloc(bytes);
    if (!block)
        InitErrorBox(STORAGE_SOURCE, __LINE__, "Unexpected failure of MemSubAlloc()");
    return block;
}

void MemSubFree(void *address)
{
    if (!address)
        return;
    const int index = ChunkOf(address);
    if (index < 0) {
        INIT_TRAP("MemSubFree: the block does not lie in the allocator's memory");
        return;
    }
    auto *block = static_cast<MemNode *>(address);
    if (block->paragraphs <= 0) {
        INIT_TRAP("MemSubFree: the block's size is not one the allocator gave out");
        return;
    }
    const ChunkInfo &chunk = g_Chunks[index];
    // Free blocks of a chunk are listed in address order behind its header
    // node: the new block goes behind the last free block below it.
    MemNode *prev = FreeBlockBelow(chunk, block);
    MemNode *next = prev->next;
    // A block already on the free list, or inside a free block, is not freed twice.
    if (IsFreeStart(chunk, block) || (prev->paragraphs > 0 && NodeAt(prev, prev->paragraphs) > block)) {
        InitErrorBox(STORAGE_SOURCE, __LINE__, "MemSubFree(): the block is already free.");
        return;
    }
    SetInDrawingBit(chunk, block, false);
    block->prev = prev;
    block->next = next;
    prev->next = block;
    if (next)
        next->prev = block;
    block->bytes = static_cast<uint32_t>(block->paragraphs) * PARAGRAPH_SIZE;
    MarkFree(chunk, block);

    if (next && next->paragraphs > 0 && NodeAt(block, block->paragraphs) == next) {
        MarkUsed(chunk, next);
        block->paragraphs += next->paragraphs;
        block->bytes = static_cast<uint32_t>(block->paragraphs) * PARAGRAPH_SIZE;
        block->next = next->next;
        if (block->next)
            block->next->prev = block;
    }
    MemNode *merged = block;
    if (prev->paragraphs > 0 && NodeAt(prev, prev->paragraphs) == block) {
        MarkUsed(chunk, block);
        prev->paragraphs += block->paragraphs;
        prev->bytes = static_cast<uint32_t>(prev->paragraphs) * PARAGRAPH_SIZE;
        prev->next = block->next;
        if (prev->next)
            prev->next->prev = prev;
        merged = prev;
    }
    RaiseBound(index, merged->paragraphs);

    const bool wholeChunk = merged == NodeAt(g_Chunks[index].base, 1) &&
                            static_cast<uint32_t>(merged->paragraphs) == ChunkParagraphs() - 1;
    if (wholeChunk && g_ChunkCount > 1)
        ReleaseChunk(index);
}

uint32_t MemBytesInUse()
{
    uint32_t total = 0;
    for (int list = 0; list < OBJECT_LIST_COUNT; ++list)
        total += g_ObjectLists[list].bytes;
    return total + ImageBytesInUse();
}

void MemGetStatistics(MemStatistics *out)
{
    ListFilterKeeper keep;
    memcpy(out->lists, g_ObjectLists, sizeof out->lists);
    uint32_t used = 0;
    for (int list = 0; list < OBJECT_LIST_COUNT; ++list)
        used += g_ObjectLists[list].bytes;
    out->lists[LIST_CHUNKS].bytes = ChunkList().count - used;
    uint32_t alive = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
        ++alive;
    out->lists[LIST_DRAWING].count = alive;
}

ObjectList *MemGetListTable() { return g_ObjectLists; }

void MemSwapLists(int a, int b)
{
    if (a < 0 || b < 0 || a >= OBJECT_LIST_COUNT || b >= OBJECT_LIST_COUNT) {
        INIT_TRAP("MemSwapLists: no object list has this number");
        return;
    }
    if (a == b)
        return;
    const ObjectList t = g_ObjectLists[a];
    g_ObjectLists[a] = g_ObjectLists[b];
    g_ObjectLists[b] = t;
    if (a == LIST_DRAWING || b == LIST_DRAWING) {
        for (Unit *u = g_ObjectLists[a == LIST_DRAWING ? b : a].head; u; u = u->next)
            MemSetInDrawing(u, 0);
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            MemSetInDrawing(u, 1);
        UndoNoteListReplaced();
        ObjectIndexForget();
    }
}
