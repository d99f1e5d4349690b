// The stamp shift near the 32-bit limits, own blocks in the purge and
// temporary units.
#include "undo_fixture.h"

#include <vector>

namespace {

struct Stamps {
    int32_t birth, death;
};

TEST_F(UndoTest, StampShiftKeepsEveryVisibilityAnswer)
{
    // As right after an operation finished at step 1000000000, with history
    // back to four steps before.
    const int32_t step = 1000000000;
    g_UndoStep = step;
    g_UndoOldest = step - 4;
    g_UndoNewest = step;
    const Stamps stamps[] = {
        {UNIT_BIRTH_ALWAYS, UNIT_DEATH_ALIVE}, {UNIT_BIRTH_ALWAYS, step - 2}, {step - 4, UNIT_DEATH_ALIVE},
        {step - 3, step - 1},                  {step, UNIT_DEATH_ALIVE},      {step - 1, step},
        {step - 4, step - 4},                  {UNIT_BIRTH_ALWAYS, step},     {step - 3, step},
    };
    std::vector<Unit *> units;
    for (const Stamps &s : stamps) {
        Unit *u = UndoTestNewLine();
        u->birth = s.birth;
        u->death = s.death;
        units.push_back(u);
    }
    Unit *block = UndoTestNewBlock("B");
    block->birth = step - 2;

    std::vector<std::vector<bool>> before;
    for (int32_t s = g_UndoOldest - 1; s <= g_UndoNewest; ++s) {
        before.emplace_back();
        for (Unit *u : units)
            before.back().push_back(UndoIsVisible(u, s));
    }

    UndoRenormalise();
    const int32_t shifted = step - UNDO_STEP_SHIFT;
    EXPECT_LE(shifted, -999999000);
    EXPECT_EQ(g_UndoStep, shifted);
    EXPECT_EQ(g_UndoOldest, shifted - 4);
    EXPECT_EQ(g_UndoNewest, shifted);
    EXPECT_EQ(block->birth, shifted - 2);
    for (size_t i = 0; i < units.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(units[i]->birth == UNIT_BIRTH_ALWAYS, stamps[i].birth == UNIT_BIRTH_ALWAYS);
        EXPECT_EQ(units[i]->death == UNIT_DEATH_ALIVE, stamps[i].death == UNIT_DEATH_ALIVE);
    }
    int k = 0;
    for (int32_t s = g_UndoOldest - 1; s <= g_UndoNewest; ++s, ++k)
        for (size_t i = 0; i < units.size(); ++i)
            EXPECT_EQ(UndoIsVisible(units[i], s), before[k][i]) << "step " << k << " unit " << i;

    // Inside the range nothing moves.
    const UndoTestGlobals settled = UndoTestSnapshot();
    UndoRenormalise();
    EXPECT_EQ(UndoTestSnapshot(), settled);
}

TEST_F(UndoTest, OperationsAcrossTheUpperLimit)
{
    g_UndoStep = g_UndoOldest = g_UndoNewest = 999999997;
    Unit *a = CreateInStep();                 // step 999999998
    Unit *b = CreateInStep();                 // step 999999999
    UndoInitProcess();
    EXPECT_EQ(g_UndoStep, 1000000000);
    Unit *c = UndoTestNewLine();
    UndoStampCreated(c);
    UndoStampDeleted(a);                      // never stamped with the alive marker
    UndoFinishProcess();                      // shifts everything back
    EXPECT_EQ(g_UndoStep, 1000000000 - UNDO_STEP_SHIFT);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{b, c}));
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a, b}));
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a}));
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_TRUE(UndoTestVisibleUnits().empty());
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{b, c}));

    // The next operation opens well inside the range.
    Unit *d = CreateInStep();
    EXPECT_EQ(d->birth, 1000000001 - UNDO_STEP_SHIFT);
}

TEST_F(UndoTest, UnreachableBlockStaysWhileUsed)
{
    Unit *used = UndoTestNewBlock("Used");
    Unit *unused = UndoTestNewBlock("Unused");
    Unit *nested = UndoTestNewBlock("Nested");
    UndoTestNewInstance("Used");
    // "Used" holds an instance of "Nested".
    Unit *member = UndoTestNewInstance("Nested");
    MemListUnlink(LIST_DRAWING, member);
    ASSERT_NE(MemChainAppend(LIST_OWN_BLOCKS, used, member, member->bytes), nullptr);
    MemSubFree(member);
    g_OwnBlockIndex.blocks[0] = nested;
    g_OwnBlockIndex.blocks[1] = unused;
    g_OwnBlockIndex.blocks[2] = used;
    g_OwnBlockIndex.count = 3;
    Unit *cached = UndoTestNewInstance("Used");
    cached->instance.blockIndex = 2;

    // All three born after the range: unreachable.
    for (Unit *b : {used, unused, nested})
        b->birth = 5;
    UndoPurge(-10, 0);

    const std::set<Unit *> blocks = UndoTestUnitsIn(LIST_OWN_BLOCKS);
    EXPECT_EQ(blocks, (std::set<Unit *>{used, nested}));
    EXPECT_EQ(g_OwnBlockIndex.count, 2);
    EXPECT_EQ(g_OwnBlockIndex.blocks[1], used);
    EXPECT_EQ(cached->instance.blockIndex, 1) << "cached indexes follow the index";
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
}

TEST_F(UndoTest, PurgeClearsTemporaryAndTransformMarks)
{
    Unit *u = UndoTestNewLine();
    u->flags = 0x0FFF;
    UndoPurge(-10, 10);
    EXPECT_EQ(u->flags, 0x0FFFu & ~0x0380u);
}

TEST_F(UndoTest, DeleteTemporaryUnits)
{
    Unit *keep = UndoTestNewLine();
    Unit *temp = UndoTestNewLine();
    temp->flags |= UNIT_TEMPORARY;
    Unit *tempBlock = UndoTestNewBlock("Temp");
    tempBlock->flags |= UNIT_TEMPORARY;
    Unit *block = UndoTestNewBlock("Kept");
    g_OwnBlockIndex.blocks[0] = block;
    g_OwnBlockIndex.blocks[1] = tempBlock;
    g_OwnBlockIndex.count = 2;

    UndoDeleteTemporaryBlocks();
    EXPECT_EQ(UndoTestUnitsIn(LIST_OWN_BLOCKS), (std::set<Unit *>{block}));
    EXPECT_EQ(g_OwnBlockIndex.count, 1);
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).size(), 2u);

    UndoDeleteTemporary();
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING), (std::set<Unit *>{keep}));
    (void)temp;
}

TEST_F(UndoTest, ClearMarks)
{
    Unit *u = UndoTestNewLine();
    Unit *b = UndoTestNewBlock("B");
    u->flags = b->flags = 0xFFFF;
    UndoClearMarks();
    EXPECT_EQ(u->flags, 0xF0FFu);
    EXPECT_EQ(b->flags, 0xF0FFu);
}

} // namespace

namespace {

// The purge visits only what operations touched; these cases are the ways a
// unit can reach or leave list 0 besides the stamps.
TEST_F(UndoTest, PurgeFollowsUnitsThatMoveInAndOutOfTheDrawing)
{
    Unit *kept = UndoTestNewLine();
    CreateInStep(); // settles the units linked outside a bracket

    // A copy of a unit created in the step, made by the list code, goes
    // with the cancelled step like the unit itself.
    UndoInitProcess();
    Unit *fresh = UndoTestNewLine();
    UndoStampCreated(fresh);
    Unit *copy = MemListDuplicate(LIST_DRAWING, fresh);
    ASSERT_NE(copy, nullptr);
    UndoCancelProcess();
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).count(fresh), 0u);
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).count(copy), 0u);

    // A unit stamped deleted and then moved to another list is no longer the
    // purge's business; the drawing keeps its other units.
    UndoInitProcess();
    UndoStampDeleted(kept);
    MemListUnlink(LIST_DRAWING, kept);
    MemListPushBack(LIST_PLUGIN_DATA, kept);
    UndoFinishProcess();
    UndoClearHistory();
    EXPECT_EQ(UndoTestUnitsIn(LIST_PLUGIN_DATA), (std::set<Unit *>{kept}));
    MemListDelete(LIST_PLUGIN_DATA, kept);

    // A unit stamped while outside every list is left alone.
    alignas(8) uint8_t buffer[UNIT_ELEMENTS_OBJECT + ELEM_SIZE_END] = {};
    Unit *loose = reinterpret_cast<Unit *>(buffer);
    const std::set<Unit *> before = UndoTestUnitsIn(LIST_DRAWING);
    UndoInitProcess();
    UndoStampCreated(loose);
    UndoCancelProcess();
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING), before);
    EXPECT_EQ(loose->birth, g_UndoStep + 1);

    // Marks set on a unit that was noted are cleared by the next purge.
    Unit *marked = g_ObjectLists[LIST_DRAWING].head;
    ASSERT_NE(marked, nullptr);
    UndoInitProcess();
    marked->flags |= UNIT_TRANSFORM | UNIT_TEMPORARY;
    UndoNoteUnit(marked);
    UndoFinishProcess();
    EXPECT_EQ(marked->flags & 0x0380u, 0u);
}

// Units linked outside a bracket (a loaded drawing) are all visited by the
// next purge, which clears the marks the reader left on them.
TEST_F(UndoTest, UnitsLinkedOutsideABracketAreWalkedOnce)
{
    CreateInStep();
    std::vector<Unit *> loaded;
    for (int i = 0; i < 5; ++i) {
        loaded.push_back(UndoTestNewLine());
        loaded.back()->flags |= UNIT_TRANSFORM;
    }
    const int32_t unreachable = g_UndoStep + 7;
    loaded[2]->birth = unreachable;
    CreateInStep();
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].count, 6u);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
        EXPECT_NE(u->birth, unreachable);
        EXPECT_EQ(u->flags & UNIT_TRANSFORM, 0u);
    }
}

} // namespace
