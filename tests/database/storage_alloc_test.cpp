// The paragraph sub-allocator: rounding, chunk limits, merging and release.
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "storage_fixture.h"

namespace {

// Allocator nodes share the first 16 bytes of the Unit layout; a chunk's
// header node has 0 paragraphs and the next chunk's address in its bytes word.
Unit *FirstChunkHeader() { return g_ObjectLists[LIST_CHUNKS].head; }
uint8_t *Bytes(void *p) { return static_cast<uint8_t *>(p); }
Unit *Node(void *p) { return static_cast<Unit *>(p); }

// Walks the whole free list and checks its order and that no two free blocks
// of a chunk touch; returns the free paragraphs.
uint64_t CheckFreeList()
{
    uint64_t freeParagraphs = 0;
    Unit *prev = nullptr;
    int headers = 0;
    for (Unit *n = FirstChunkHeader(); n; n = n->next) {
        EXPECT_EQ(n->prev, prev);
        if (n->paragraphs == 0) {
            ++headers;
        } else {
            freeParagraphs += n->paragraphs;
            if (prev && prev->paragraphs > 0) {
                EXPECT_LT(Bytes(prev) + prev->paragraphs * 16u, Bytes(n)) << "free blocks touch or overlap";
            }
            if (prev) {
                EXPECT_LT(Bytes(prev), Bytes(n));
            }
        }
        prev = n;
    }
    EXPECT_EQ(static_cast<uint64_t>(headers) * g_ObjectLimits.chunkSize, g_ObjectLists[LIST_CHUNKS].count);
    return freeParagraphs;
}

int ChunkCount() { return static_cast<int>(g_ObjectLists[LIST_CHUNKS].count / g_ObjectLimits.chunkSize); }

} // namespace

TEST_F(StorageTest, AFreshChunkIsOneHeaderNodeAndOneFreeBlock)
{
    Unit *header = FirstChunkHeader();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(Chunks().tail, header);
    EXPECT_EQ(Chunks().count, ChunkSize());
    EXPECT_EQ(Chunks().bytes, 0u);
    EXPECT_EQ(header->paragraphs, 0u);
    EXPECT_EQ(header->bytes, 0u); // no next chunk
    EXPECT_EQ(header->prev, nullptr);
    Unit *block = header->next;
    ASSERT_EQ(Bytes(block), Bytes(header) + 16);
    EXPECT_EQ(block->paragraphs, ChunkSize() / 16 - 1);
    EXPECT_EQ(block->bytes, ChunkSize() - 16);
    EXPECT_EQ(block->next, nullptr);
}

TEST_F(StorageTest, RequestsRoundUpToWholeParagraphsAndKeepTheExactByteCount)
{
    struct Case {
        uint32_t bytes;
        uint32_t paragraphs;
    };
    const Case cases[] = {{1, 1}, {15, 1}, {16, 1}, {17, 2}, {32, 2}, {33, 3}, {200, 13}, {8016, 501}};
    for (const Case &c : cases) {
        void *block = MemSubAlloc(c.bytes);
        ASSERT_NE(block, nullptr) << c.bytes;
        EXPECT_EQ(Node(block)->paragraphs, c.paragraphs) << c.bytes;
        EXPECT_EQ(Node(block)->bytes, c.bytes);
        EXPECT_EQ(Node(block)->prev, nullptr);
        EXPECT_EQ(Node(block)->next, nullptr);
        // The rest of the chunk stays free directly behind the block.
        Unit *rest = FirstChunkHeader()->next;
        EXPECT_EQ(Bytes(rest), Bytes(block) + 16 * c.paragraphs);
        EXPECT_EQ(rest->paragraphs, ChunkSize() / 16 - 1 - c.paragraphs);
        MemSubFree(block);
        EXPECT_EQ(FirstChunkHeader()->next->paragraphs, ChunkSize() / 16 - 1) << "merged back";
    }
}

TEST_F(StorageTest, TheLargestBlockFillsTheChunkAndOneByteMoreFailsSilently)
{
    // One byte more than any chunk holds: refused at once, no second chunk, no message.
    EXPECT_EQ(MemAllocBlock(ChunkSize() - 15), nullptr);
    EXPECT_EQ(ChunkCount(), 1);
    EXPECT_EQ(Diagnostics(), 0u);

    void *whole = MemAllocBlock(ChunkSize() - 16);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(Bytes(whole), Bytes(FirstChunkHeader()) + 16);
    EXPECT_EQ(ChunkCount(), 1) << "the whole free block fits without a second chunk";
    EXPECT_EQ(FirstChunkHeader()->next, nullptr) << "nothing left free";
    EXPECT_EQ(Diagnostics(), 0u);
    MemSubFree(whole);
    EXPECT_EQ(ChunkCount(), 1) << "the only chunk stays";
}

TEST_F(StorageTest, ARequestNearFourGigabytesFailsInsteadOfWrapping)
{
    for (uint32_t bytes : {0xFFFFFFFFu, 0xFFFFFFF1u, 0xFFFFFFF0u, 0x80000000u}) {
        EXPECT_EQ(MemSubAlloc(bytes), nullptr) << bytes;
        EXPECT_EQ(MemAllocBlock(bytes), nullptr) << bytes;
    }
    EXPECT_EQ(MemSubAlloc(0), nullptr);
    EXPECT_EQ(MemAllocBlock(0), nullptr);
    EXPECT_EQ(ChunkCount(), 1);
    EXPECT_EQ(FirstChunkHeader()->next->paragraphs, ChunkSize() / 16 - 1) << "nothing was carved";
    EXPECT_EQ(Diagnostics(), 0u);
}

TEST_F(StorageTest, FreedBlocksMergeForwardAndBackward)
{
    void *a = MemSubAlloc(100); // 7 paragraphs each
    void *b = MemSubAlloc(100);
    void *c = MemSubAlloc(100);
    ASSERT_TRUE(a && b && c);
    Unit *header = FirstChunkHeader();
    Unit *rest = header->next;
    ASSERT_EQ(Bytes(rest), Bytes(c) + 112);

    MemSubFree(b);
    EXPECT_EQ(header->next, Node(b));
    EXPECT_EQ(Node(b)->next, rest);
    EXPECT_EQ(rest->prev, Node(b));

    MemSubFree(a); // merges forward with b
    EXPECT_EQ(header->next, Node(a));
    EXPECT_EQ(Node(a)->paragraphs, 14u);
    EXPECT_EQ(Node(a)->bytes, 14u * 16);
    EXPECT_EQ(Node(a)->next, rest);
    EXPECT_EQ(rest->prev, Node(a));

    MemSubFree(c); // merges backward with a and forward with the rest
    EXPECT_EQ(header->next, Node(a));
    EXPECT_EQ(Node(a)->paragraphs, ChunkSize() / 16 - 1);
    EXPECT_EQ(Node(a)->next, nullptr);
    EXPECT_EQ(ChunkCount(), 1) << "the only chunk stays when wholly free";
    EXPECT_EQ(CheckFreeList(), ChunkSize() / 16 - 1);
}

TEST_F(StorageTest, AFreedBlockMergesBackwardIntoItsFreeNeighbour)
{
    void *a = MemSubAlloc(100);
    void *b = MemSubAlloc(100);
    void *c = MemSubAlloc(100);
    ASSERT_TRUE(a && b && c);
    MemSubFree(a);
    MemSubFree(b);
    EXPECT_EQ(FirstChunkHeader()->next, Node(a));
    EXPECT_EQ(Node(a)->paragraphs, 14u);
    // First fit: the next small request reuses the front of the merged block.
    EXPECT_EQ(MemSubAlloc(20), a);
    EXPECT_EQ(Node(FirstChunkHeader()->next)->paragraphs, 12u);
    MemSubFree(a);
    MemSubFree(c);
}

TEST_F(StorageTest, AWhollyFreeSecondChunkIsReleasedAndEverythingIsAsBefore)
{
    void *whole = MemAllocBlock(ChunkSize() - 16);
    ASSERT_NE(whole, nullptr);
    Unit *header = FirstChunkHeader();
    const ObjectList before = Chunks();
    ASSERT_EQ(header->next, nullptr);

    void *x = MemAllocBlock(100);
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(ChunkCount(), 2);
    Unit *second = Chunks().tail;
    EXPECT_EQ(header->bytes, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(second)));
    EXPECT_EQ(header->next, second) << "the new header node joins the free list";
    EXPECT_EQ(second->prev, header);
    EXPECT_EQ(Bytes(x), Bytes(second) + 16);
    void *y = MemAllocBlock(200);
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(ChunkCount(), 2);

    MemSubFree(x);
    EXPECT_EQ(ChunkCount(), 2);
    MemSubFree(y);
    EXPECT_EQ(ChunkCount(), 1);
    EXPECT_EQ(Chunks().head, before.head);
    EXPECT_EQ(Chunks().tail, before.tail);
    EXPECT_EQ(Chunks().count, before.count);
    EXPECT_EQ(header->bytes, 0u);
    EXPECT_EQ(header->next, nullptr) << "the free list skips the released chunk";
    EXPECT_EQ(Diagnostics(), 0u);

    MemSubFree(whole);
    EXPECT_EQ(ChunkCount(), 1);
}

TEST_F(StorageTest, ReleasingTheFirstOfTwoChunksMakesTheSecondTheHead)
{
    void *a = MemAllocBlock(ChunkSize() - 16);
    void *b = MemAllocBlock(64);
    ASSERT_TRUE(a && b);
    Unit *second = Chunks().tail;
    MemSubFree(a);
    EXPECT_EQ(ChunkCount(), 1);
    EXPECT_EQ(Chunks().head, second);
    EXPECT_EQ(Chunks().tail, second);
    EXPECT_EQ(second->prev, nullptr);
    MemSubFree(b);
    EXPECT_EQ(ChunkCount(), 1);
}

TEST_F(StorageTest, FreeingForeignOrAlreadyFreeBlocksChangesNothing)
{
    void *a = MemSubAlloc(100);
    void *b = MemSubAlloc(100);
    ASSERT_TRUE(a && b);
    Unit outside{};
    outside.paragraphs = 4;
    MemSubFree(&outside);
    MemSubFree(nullptr);
    MemSubFree(a);
    const uint64_t freeBefore = CheckFreeList();
    MemSubFree(a); // a second release of the same block
    EXPECT_EQ(CheckFreeList(), freeBefore);
    EXPECT_EQ(Diagnostics(), 1u);
    MemSubFree(b);
    EXPECT_EQ(CheckFreeList(), ChunkSize() / 16 - 1);
}

TEST_F(StorageTest, MixedAllocationsKeepTheFreeListSoundAndReleaseAllButOneChunk)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<uint32_t> size(48, 400);
    std::vector<void *> live;
    uint64_t liveParagraphs = 0;
    for (int round = 0; round < 30000; ++round) {
        if (live.empty() || random() % 3 != 0) {
            const uint32_t bytes = size(random);
            void *p = MemAllocBlock(bytes);
            ASSERT_NE(p, nullptr);
            live.push_back(p);
            liveParagraphs += (bytes + 15) / 16;
        } else {
            const size_t i = random() % live.size();
            liveParagraphs -= Node(live[i])->paragraphs;
            MemSubFree(live[i]);
            live[i] = live.back();
            live.pop_back();
        }
    }
    EXPECT_GT(ChunkCount(), 5);
    const uint64_t chunkParagraphs = static_cast<uint64_t>(ChunkCount()) * (ChunkSize() / 16 - 1);
    EXPECT_EQ(CheckFreeList() + liveParagraphs, chunkParagraphs);
    std::shuffle(live.begin(), live.end(), random);
    for (void *p : live)
        MemSubFree(p);
    EXPECT_EQ(ChunkCount(), 1);
    EXPECT_EQ(CheckFreeList(), ChunkSize() / 16 - 1);
    EXPECT_EQ(Diagnostics(), 0u);
}

TEST(StorageLimits, FollowFromTheObjectSize)
{
    struct Case {
        uint32_t objectSize, maxUnitData, maxUnitPoints, maxPathPoints, scratchSize, chunkSize;
    };
    const Case cases[] = {
        {131072, 129024, 4032, 16128, 161280, 262144},
        {1048576, 1046528, 32704, 130816, 1308160, 2097152},
        {65536, 129024, 4032, 16128, 161280, 262144},       // raised to 128 KB
        {4194304, 1046528, 32704, 130816, 1308160, 2097152}, // lowered to 1 MB
        {262144, 260096, 8128, 32512, 325120, 524288},
    };
    for (const Case &c : cases) {
        const ObjectLimits l = MemComputeLimits(c.objectSize);
        EXPECT_EQ(l.maxUnitData, c.maxUnitData) << c.objectSize;
        EXPECT_EQ(l.maxUnitPoints, c.maxUnitPoints) << c.objectSize;
        EXPECT_EQ(l.maxPathPoints, c.maxPathPoints) << c.objectSize;
        EXPECT_EQ(l.scratchSize, c.scratchSize) << c.objectSize;
        EXPECT_EQ(l.chunkSize, c.chunkSize) << c.objectSize;
        EXPECT_EQ(l.chunkParagraphs, c.chunkSize / 16) << c.objectSize;
        EXPECT_EQ(l.pieceLimit, 4032u);
    }
    EXPECT_EQ(g_ObjectLimits.objectSize, 131072u) << "the default before the options are read";
    EXPECT_EQ(g_MaxPathPoints, 16128u);
}
