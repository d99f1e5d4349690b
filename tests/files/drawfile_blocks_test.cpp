// Own blocks, their members and the self-containment check.
#include "database/symbol_find.h"
#include "database/symbol_undo.h"
#include "drawfile_fixture.h"

namespace {

class DrawFileBlocks : public DrawFileTest {
protected:
    static void AddInstance(Unit *block, const char *name)
    {
        const Matrix m{1, 0, 0, 1, 0, 0};
        Unit *u = reinterpret_cast<Unit *>(Buffer().data());
        ASSERT_NE(SymbolMakeInstance(u, 4096, "*", name, &m), 0u);
        ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, block, u), nullptr);
    }
    // Blocks A, B and C, with A using B and B using C.
    static void Chain(Unit **a, Unit **b, Unit **c)
    {
        *a = SymbolNewBlock(LIST_OWN_BLOCKS, "A");
        *b = SymbolNewBlock(LIST_OWN_BLOCKS, "B");
        *c = SymbolNewBlock(LIST_OWN_BLOCKS, "C");
        ASSERT_TRUE(*a && *b && *c);
        AddInstance(*a, "B");
        AddInstance(*b, "C");
    }
};

TEST_F(DrawFileBlocks, BlocksThatContainThemselvesAreFound)
{
    Unit *a, *b, *c;
    ASSERT_NO_FATAL_FAILURE(Chain(&a, &b, &c));
    AddInstance(a, "Missing");
    EXPECT_EQ(SymbolFindSelfContaining(LIST_OWN_BLOCKS), nullptr);
    AddInstance(c, "A"); // A -> B -> C -> A
    EXPECT_NE(SymbolFindSelfContaining(LIST_OWN_BLOCKS), nullptr);
}

TEST_F(DrawFileBlocks, ABlockNamingItselfIsFound)
{
    Unit *a = SymbolNewBlock(LIST_OWN_BLOCKS, "A");
    ASSERT_NE(a, nullptr);
    AddInstance(a, "A");
    EXPECT_EQ(SymbolFindSelfContaining(LIST_OWN_BLOCKS), a);
}

TEST_F(DrawFileBlocks, ACycleIsBrokenWhereItClosesAndOnlyThere)
{
    Unit *a, *b, *c;
    ASSERT_NO_FATAL_FAILURE(Chain(&a, &b, &c));
    AddInstance(c, "A"); // closes A -> B -> C -> A
    AddInstance(c, "C"); // and C -> C
    Unit *first = nullptr;
    EXPECT_EQ(SymbolBreakCycles(LIST_OWN_BLOCKS, &first), 2);
    EXPECT_EQ(first, a);
    EXPECT_EQ(SymbolFindSelfContaining(LIST_OWN_BLOCKS), nullptr);
    EXPECT_EQ(SymbolBreakCycles(LIST_OWN_BLOCKS, nullptr), 0);
    // The uses that close a cycle are kept but lead nowhere; the others still do.
    EXPECT_EQ(SymbolGetInstanceBlock(a->block.firstMember), b);
    EXPECT_EQ(SymbolGetInstanceBlock(b->block.firstMember), c);
    EXPECT_EQ(SymbolGetInstanceBlock(c->block.firstMember), nullptr);
    EXPECT_EQ(SymbolGetInstanceBlock(c->block.lastMember), nullptr);
}

// A drawing whose block contains itself opens, says so once, and is written
// back as it was read: the instance that closes the cycle stays in the file.
TEST_F(DrawFileBlocks, DrawingsWithABlockThatContainsItselfOpen)
{
    for (const char *name : {"fixtures/self_block_direct.zvd", "fixtures/self_block_indirect.zvd"}) {
        SCOPED_TRACE(name);
        FileClearDrawing();
        DrawLog() = DrawFileLog{};
        ASSERT_EQ(FileReadDrawing(nullptr, name, kAll, 0), 1);
        ASSERT_EQ(DrawLog().alerts.size(), 1u);
        EXPECT_NE(DrawLog().alerts[0].find("contains itself"), std::string::npos);
        EXPECT_EQ(SymbolFindSelfContaining(LIST_OWN_BLOCKS), nullptr);
        // Every frame was computed, and is finite, without following the cycle.
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            if (u->kind == UNIT_KIND_INSTANCE) {
                EXPECT_LT(u->frame[2] - u->frame[0], 1e6);
            }
        const std::string original = TestReadFile(name);
        const std::string written = DrawFileWrittenText();
        EXPECT_TRUE(written == original) << "written differently from what was read";
    }
}

TEST_F(DrawFileBlocks, OwnIndexIsInNameOrder)
{
    for (const char *name : {"b", "C", "a"})
        ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, name), nullptr);
    SymbolRebuildOwnIndex();
    ASSERT_EQ(g_OwnBlockIndex.count, 3);
    for (int i = 1; i < 3; ++i)
        EXPECT_LT(lstrcmpA(g_OwnBlockIndex.blocks[i - 1]->block.name, g_OwnBlockIndex.blocks[i]->block.name), 0);
    EXPECT_EQ(SymbolNewBlock(LIST_OWN_BLOCKS, ""), nullptr);
}

} // namespace
