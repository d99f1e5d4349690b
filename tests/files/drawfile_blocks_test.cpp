// Own blocks, their members and the self-containment check.
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
};

TEST_F(DrawFileBlocks, BlocksThatContainThemselvesAreFound)
{
    Unit *a = SymbolNewBlock(LIST_OWN_BLOCKS, "A");
    Unit *b = SymbolNewBlock(LIST_OWN_BLOCKS, "B");
    Unit *c = SymbolNewBlock(LIST_OWN_BLOCKS, "C");
    ASSERT_TRUE(a && b && c);
    AddInstance(a, "B");
    AddInstance(b, "C");
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
