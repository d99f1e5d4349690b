// The object lists: links, counts and byte totals after every kind of link
// operation, the member chains of blocks, and the filtered walks.
#include <cstring>
#include <vector>

#include "storage_fixture.h"

namespace {

// The list read from head to tail; checks the back links, the tail, the
// count and the byte total on the way.
std::vector<Unit *> Walk(int list)
{
    std::vector<Unit *> units;
    uint32_t bytes = 0;
    Unit *prev = nullptr;
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next) {
        EXPECT_EQ(u->prev, prev);
        units.push_back(u);
        bytes += u->bytes;
        prev = u;
    }
    EXPECT_EQ(g_ObjectLists[list].tail, prev);
    EXPECT_EQ(g_ObjectLists[list].count, units.size());
    EXPECT_EQ(g_ObjectLists[list].bytes, bytes) << "byte total of list " << list;
    return units;
}

using Units = std::vector<Unit *>;

} // namespace

TEST_F(StorageTest, EveryLinkOperationKeepsOrderCountAndBytes)
{
    Unit *a = NewUnit(0, 200);
    Unit *b = NewUnit(0, 312);
    Unit *c = NewUnit(0, 120);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(Walk(0), (Units{a, b, c})) << "MemListNewObject without a predecessor appends";

    Unit *d = MemListNewObject(0, 40, a);
    EXPECT_EQ(Walk(0), (Units{a, d, b, c})) << "MemListNewObject behind a unit";

    EXPECT_EQ(MemListUnlink(0, d), b);
    EXPECT_EQ(Walk(0), (Units{a, b, c}));
    MemListPushFront(0, d);
    EXPECT_EQ(Walk(0), (Units{d, a, b, c}));
    EXPECT_EQ(MemListUnlink(0, d), a);
    MemListPushBack(0, d);
    EXPECT_EQ(Walk(0), (Units{a, b, c, d}));

    MemListUnlink(0, d);
    MemListInsertBefore(0, a, d);
    EXPECT_EQ(Walk(0), (Units{d, a, b, c})) << "before the head: new head";
    MemListUnlink(0, d);
    MemListInsertBefore(0, c, d);
    EXPECT_EQ(Walk(0), (Units{a, b, d, c}));
    MemListUnlink(0, d);
    MemListInsertAfter(0, c, d);
    EXPECT_EQ(Walk(0), (Units{a, b, c, d})) << "behind the tail: new tail";
    MemListUnlink(0, d);
    MemListInsertAfter(0, a, d);
    EXPECT_EQ(Walk(0), (Units{a, d, b, c}));

    MemListMoveBefore(0, c, a);
    EXPECT_EQ(Walk(0), (Units{c, a, d, b}));
    MemListMoveBefore(0, c, nullptr);
    EXPECT_EQ(Walk(0), (Units{c, a, d, b})) << "the head stays where it is";
    MemListMoveBefore(0, d, nullptr);
    EXPECT_EQ(Walk(0), (Units{d, c, a, b}));
    MemListMoveAfter(0, d, a);
    EXPECT_EQ(Walk(0), (Units{c, a, d, b}));
    MemListMoveAfter(0, b, nullptr);
    EXPECT_EQ(Walk(0), (Units{c, a, d, b})) << "the tail stays where it is";
    MemListMoveAfter(0, c, nullptr);
    EXPECT_EQ(Walk(0), (Units{a, d, b, c}));

    EXPECT_EQ(MemListDelete(0, d), b);
    EXPECT_EQ(Walk(0), (Units{a, b, c}));
    EXPECT_EQ(MemListDelete(0, c), nullptr);
    EXPECT_EQ(MemListDelete(0, a), b);
    EXPECT_EQ(Walk(0), (Units{b}));
    EXPECT_EQ(MemListDelete(0, b), nullptr);
    EXPECT_EQ(Walk(0), Units{});
    EXPECT_EQ(g_ObjectLists[0].head, nullptr);
}

TEST_F(StorageTest, NewCopiesKeepTheirOwnHeaderWords)
{
    alignas(8) uint8_t record[200];
    memset(record, 0xAB, sizeof record);
    Unit *anchor = NewUnit(2, 120);
    ASSERT_NE(anchor, nullptr);

    Unit *after = MemListNewCopyAfter(2, record, 200, nullptr);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->paragraphs, 13u);
    EXPECT_EQ(after->bytes, 200u);
    EXPECT_EQ(after->prev, anchor);
    EXPECT_EQ(after->next, nullptr);
    EXPECT_EQ(reinterpret_cast<uint8_t *>(after)[16], 0xAB);
    EXPECT_EQ(reinterpret_cast<uint8_t *>(after)[199], 0xAB);

    Unit *before = MemListNewCopyBefore(2, record, 64, nullptr);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->bytes, 64u);
    EXPECT_EQ(before->paragraphs, 4u);
    Unit *middle = MemListNewCopyBefore(2, record, 48, after);
    Unit *last = MemListNewCopyAfter(2, record, 32, after);
    EXPECT_EQ(Walk(2), (Units{before, anchor, middle, after, last}));
    EXPECT_EQ(g_ObjectLists[2].bytes, 120u + 200 + 64 + 48 + 32);
}

TEST_F(StorageTest, ADuplicateStandsDirectlyInFrontOfItsOriginal)
{
    Unit *a = NewUnit(0, 100);
    Unit *b = NewUnit(0, 200, UNIT_SELECTED);
    ASSERT_TRUE(a && b);
    memset(reinterpret_cast<uint8_t *>(b) + 120, 0x5A, 80);
    Unit *copy = MemListDuplicate(0, b);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Walk(0), (Units{a, copy, b}));
    EXPECT_EQ(g_ObjectLists[0].bytes, 500u);
    EXPECT_EQ(copy->bytes, 200u);
    EXPECT_EQ(copy->flags, UNIT_SELECTED);
    EXPECT_EQ(memcmp(reinterpret_cast<uint8_t *>(copy) + 16, reinterpret_cast<uint8_t *>(b) + 16, 184), 0);
}

TEST_F(StorageTest, MemberChainsChangeOnlyTheListsBytes)
{
    alignas(8) uint8_t member[200] = {};
    Unit *block = NewUnit(1, UNIT_ELEMENTS_BLOCK + 16);
    ASSERT_NE(block, nullptr);
    block->kind = UNIT_KIND_BLOCK;
    block->block.firstMember = block->block.lastMember = nullptr;

    Unit *m1 = MemChainAppend(1, block, member, 200);
    ASSERT_NE(m1, nullptr);
    EXPECT_EQ(block->block.firstMember, m1);
    EXPECT_EQ(block->block.lastMember, m1);
    EXPECT_EQ(m1->prev, nullptr);
    EXPECT_EQ(m1->next, nullptr);
    EXPECT_EQ(g_ObjectLists[1].count, 1u);
    EXPECT_EQ(g_ObjectLists[1].bytes, 232u + 200);

    Unit *m2 = MemChainAppend(1, block, member, 136);
    Unit *m3 = MemChainAppend(1, block, member, 168);
    ASSERT_TRUE(m2 && m3);
    EXPECT_EQ(m1->next, m2);
    EXPECT_EQ(m3->prev, m2);
    EXPECT_EQ(block->block.lastMember, m3);
    EXPECT_EQ(g_ObjectLists[1].count, 1u);
    EXPECT_EQ(g_ObjectLists[1].bytes, 232u + 200 + 136 + 168);

    EXPECT_EQ(MemChainRemove(1, block, m2), m3);
    EXPECT_EQ(m1->next, m3);
    EXPECT_EQ(m3->prev, m1);
    EXPECT_EQ(MemChainRemove(1, block, m3), nullptr);
    EXPECT_EQ(block->block.lastMember, m1);
    EXPECT_EQ(MemChainRemove(1, block, m1), nullptr);
    EXPECT_EQ(block->block.firstMember, nullptr);
    EXPECT_EQ(block->block.lastMember, nullptr);
    EXPECT_EQ(g_ObjectLists[1].bytes, 232u);
    EXPECT_EQ(g_ObjectLists[1].count, 1u);
}

TEST_F(StorageTest, SwappedListsExchangeTheirHeadersWhole)
{
    Unit *a = NewUnit(13, 100);
    Unit *b = NewUnit(14, 300);
    Unit *c = NewUnit(14, 50);
    MemSwapLists(13, 14);
    EXPECT_EQ(Walk(13), (Units{b, c}));
    EXPECT_EQ(Walk(14), (Units{a}));
    EXPECT_EQ(MemGetListTable(), g_ObjectLists);
}

TEST_F(StorageTest, BytesInUseAndStatistics)
{
    NewUnit(0, 200, 0, UNIT_BIRTH_ALWAYS, UNIT_DEATH_ALIVE);
    NewUnit(0, 200, 0, UNIT_BIRTH_ALWAYS, 0); // deleted in step 0: not alive at step 0
    NewUnit(0, 200, 0, 1, UNIT_DEATH_ALIVE);  // born in a later step
    NewUnit(1, 232);
    NewUnit(20, 100);
    EXPECT_EQ(MemBytesInUse(), 932u);

    MemListFirst(5, 0x4, 0x4, 0); // an empty list leaves the filter alone
    g_ListFilter = {0x1234, 0x34, 1};
    MemStatistics stats;
    MemGetStatistics(&stats);
    EXPECT_EQ(stats.lists[0].count, 1u) << "only the units alive now";
    EXPECT_EQ(stats.lists[0].bytes, 600u);
    EXPECT_EQ(stats.lists[1].count, 1u);
    EXPECT_EQ(stats.lists[LIST_CHUNKS].count, ChunkSize());
    EXPECT_EQ(stats.lists[LIST_CHUNKS].bytes, ChunkSize() - 932u) << "free bytes";
    EXPECT_EQ(g_ListFilter.mask, 0x1234u) << "the walk restored the filter";
    EXPECT_EQ(g_ListFilter.aliveOnly, 1u);
}

// ---------------------------------------------------------------------------
// Filtered walks

TEST_F(StorageTest, TheUserFilterPassesOnlyVisibleUnlockedUnitsAliveNow)
{
    struct Case {
        uint32_t flags;
        int32_t birth, death;
        bool passes; // at step 5 with mask 0x5000, value 0, alive only
    };
    const Case cases[] = {
        {0, UNIT_BIRTH_ALWAYS, UNIT_DEATH_ALIVE, true},
        {UNIT_HIDDEN, UNIT_BIRTH_ALWAYS, UNIT_DEATH_ALIVE, false},
        {UNIT_LOCKED, UNIT_BIRTH_ALWAYS, UNIT_DEATH_ALIVE, false},
        {UNIT_SELECTED | UNIT_NOT_PRINTABLE, UNIT_BIRTH_ALWAYS, UNIT_DEATH_ALIVE, true},
        {0, 5, UNIT_DEATH_ALIVE, true},  // born in this step
        {0, 6, UNIT_DEATH_ALIVE, false}, // born in a step undone
        {0, 2, 5, false},                // deleted in this step
        {0, 2, 6, true},                 // deleted in a later, undone step
        {0, -7, -3, false},              // negative stamps compare signed
        {0, -7, 100, true},
    };
    std::vector<Unit *> expected;
    for (const Case &c : cases) {
        Unit *u = NewUnit(0, 120, c.flags, c.birth, c.death);
        ASSERT_NE(u, nullptr);
        if (c.passes)
            expected.push_back(u);
    }
    g_UndoStep = 5;
    std::vector<Unit *> forward;
    for (Unit *u = MemListFirst(0, UNIT_USER_FILTER_MASK, 0, 1); u; u = MemListNext(u))
        forward.push_back(u);
    EXPECT_EQ(forward, expected);

    std::vector<Unit *> backward;
    for (Unit *u = MemListLast(0, UNIT_USER_FILTER_MASK, 0, 1); u; u = MemListPrev(u))
        backward.insert(backward.begin(), u);
    EXPECT_EQ(backward, expected);

    // Without aliveOnly the stamps do not matter.
    int all = 0;
    for (Unit *u = MemListFirst(0, UNIT_USER_FILTER_MASK, 0, 0); u; u = MemListNext(u))
        ++all;
    EXPECT_EQ(all, 8);
    EXPECT_EQ(MemListNext(nullptr), nullptr);
}

TEST_F(StorageTest, TheUndoStepIsReadAtEveryTest)
{
    Unit *u = NewUnit(0, 120, 0, 3, UNIT_DEATH_ALIVE);
    Unit *v = NewUnit(0, 120, 0, 3, UNIT_DEATH_ALIVE);
    g_UndoStep = 3;
    EXPECT_EQ(MemListFirst(0, 0, 0, 1), u);
    g_UndoStep = 2; // undone while walking
    EXPECT_EQ(MemListNext(u), nullptr);
    g_UndoStep = 3;
    EXPECT_EQ(MemListNext(u), v);
}

TEST_F(StorageTest, AnEmptyListKeepsTheFilterOfTheWalkBefore)
{
    Unit *plain = NewUnit(0, 120, 0);
    Unit *selected = NewUnit(0, 120, UNIT_SELECTED);
    Unit *selected2 = NewUnit(0, 120, UNIT_SELECTED);
    EXPECT_EQ(MemListFirst(0, UNIT_SELECTED, UNIT_SELECTED, 0), selected);
    EXPECT_EQ(MemListFirst(7, 0, 0, 0), nullptr);
    EXPECT_EQ(MemListLast(7, 0, 0, 0), nullptr);
    EXPECT_EQ(g_ListFilter.mask, UNIT_SELECTED);
    EXPECT_EQ(MemListNext(selected), selected2) << "still the selection filter";
    EXPECT_EQ(MemListPrev(selected2), selected);
    EXPECT_EQ(MemListPrev(selected), nullptr) << "the plain unit does not pass";
    (void)plain;
}

TEST_F(StorageTest, ANestedWalkRestoresTheOuterFilter)
{
    Unit *a = NewUnit(0, 120, UNIT_MARKED);
    NewUnit(0, 120, 0);
    Unit *c = NewUnit(0, 120, UNIT_MARKED);
    NewUnit(1, 232, 0);
    NewUnit(1, 232, 0);

    std::vector<Unit *> outer;
    int inner = 0;
    for (Unit *u = MemListFirst(0, UNIT_MARKED, UNIT_MARKED, 0); u; u = MemListNext(u)) {
        outer.push_back(u);
        ListFilterKeeper keep;
        for (Unit *b = MemListFirst(1, 0, 0, 0); b; b = MemListNext(b))
            ++inner;
    }
    EXPECT_EQ(outer, (Units{a, c}));
    EXPECT_EQ(inner, 4);

    uint32_t saved[3];
    g_ListFilter = {1, 2, 3};
    MemListSaveFilter(saved);
    g_ListFilter = {0, 0, 0};
    MemListRestoreFilter(saved);
    EXPECT_EQ(g_ListFilter.mask, 1u);
    EXPECT_EQ(g_ListFilter.value, 2u);
    EXPECT_EQ(g_ListFilter.aliveOnly, 3u);
}

TEST_F(StorageTest, ADeletingWalkContinuesFromTheUnitTheDeleteReturns)
{
    for (int i = 0; i < 6; ++i)
        NewUnit(0, 120, i % 2 ? UNIT_TEMPORARY : 0);
    for (Unit *u = g_ObjectLists[0].head; u;)
        u = (u->flags & UNIT_TEMPORARY) ? MemListDelete(0, u) : u->next;
    EXPECT_EQ(Walk(0).size(), 3u);
    for (Unit *u : Walk(0))
        EXPECT_EQ(u->flags & UNIT_TEMPORARY, 0u);
}
