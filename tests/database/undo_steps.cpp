// The undo bracket, undo and redo, and the purge of old steps.
#include "undo_fixture.h"

#include "database/object_rects.h"

namespace {

void ExpectRect(const double rect[4], double x1, double y1, double x2, double y2)
{
    EXPECT_DOUBLE_EQ(rect[0], x1);
    EXPECT_DOUBLE_EQ(rect[1], y1);
    EXPECT_DOUBLE_EQ(rect[2], x2);
    EXPECT_DOUBLE_EQ(rect[3], y2);
}

void ExpectEmpty(const double rect[4]) { ExpectRect(rect, 1e300, 1e300, -1e300, -1e300); }

TEST_F(UndoTest, ResetValues)
{
    g_UndoStep = 5;
    UndoReset();
    EXPECT_EQ(UndoTestSnapshot(), (UndoTestGlobals{-1000000000, -1000000000, -1000000000, -1000000000}));
}

TEST_F(UndoTest, StepThatCreatesIsUndoneAndRedone)
{
    Unit *old = UndoTestNewLine();
    Unit *line = nullptr;
    UndoInitProcess();
    EXPECT_EQ(g_UndoStep, UNDO_STEP_START + 1);
    line = UndoTestNewLine(10, 20, 30, 40);
    UndoStampCreated(line);
    EXPECT_EQ(line->birth, g_UndoStep);
    EXPECT_EQ(line->death, UNIT_DEATH_ALIVE);
    EXPECT_EQ(line->ident, UNIT_NO_IDENT);
    UndoFinishProcess();
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
    EXPECT_EQ(g_UndoNewest, g_UndoStep);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{old, line}));

    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{old}));
    ExpectRect(g_ExtentsRect, 10, 20, 30, 40);
    ExpectEmpty(g_ChangedRect);
    EXPECT_EQ(line->flags & UNIT_SHORT_MARKS, 0u);

    ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{old, line}));
    ExpectEmpty(g_ExtentsRect);
    ExpectRect(g_ChangedRect, 10, 20, 30, 40);
}

TEST_F(UndoTest, StepThatDeletesIsUndoneAndRedone)
{
    Unit *a = UndoTestNewLine(0, 0, 1, 1);
    Unit *b = UndoTestNewLine(5, 5, 6, 7);
    DeleteInStep(b);
    EXPECT_EQ(b->death, g_UndoStep);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a}));
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].count, 2u) << "a deleted unit stays for undo";

    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a, b}));
    ExpectEmpty(g_ExtentsRect);
    ExpectRect(g_ChangedRect, 5, 5, 6, 7);
    ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a}));
}

TEST_F(UndoTest, UndoThenRedoRestoresExactlyTheUnitsAliveBefore)
{
    Unit *a = UndoTestNewLine();
    Unit *b = UndoTestNewLine();
    Unit *c = CreateInStep();
    UndoInitProcess(); // a changed object: dead copy of the old state, new unit
    UndoStampDeleted(a);
    Unit *a2 = UndoTestNewLine();
    UndoStampCreated(a2);
    UndoStampDeleted(c);
    UndoFinishProcess();
    const std::set<Unit *> after = UndoTestVisibleUnits();
    EXPECT_EQ(after, (std::set<Unit *>{b, a2}));
    const std::set<Unit *> stored = UndoTestUnitsIn(LIST_DRAWING);

    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a, b, c}));
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a, b}));
    ASSERT_EQ(UndoStepForward(), 1);
    ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), after);
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING), stored) << "undo and redo free nothing";
    EXPECT_EQ(UndoStepForward(), 0);
}

TEST_F(UndoTest, CancelLeavesTheDrawingAsBefore)
{
    Unit *keep = UndoTestNewLine();
    Unit *victim = UndoTestNewLine();
    const UndoTestGlobals before = UndoTestSnapshot();
    const std::set<Unit *> stored = UndoTestUnitsIn(LIST_DRAWING);

    UndoInitProcess();
    UndoStampCreated(UndoTestNewLine());
    UndoStampCreated(UndoTestNewLine());
    UndoStampDeleted(victim);
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].count, 4u);
    UndoCancelProcess();

    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING), stored) << "the two new units are freed";
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{keep, victim}));
    EXPECT_EQ(victim->death, UNIT_DEATH_ALIVE);
    EXPECT_EQ(UndoTestSnapshot(), before);
    EXPECT_EQ(g_DrawingInfo.modified, 0u);
}

TEST_F(UndoTest, OldestStepIsPurgedWhenUndoStepsIsReached)
{
    g_UndoSteps = 3;
    Unit *first = UndoTestNewLine();
    Unit *second = UndoTestNewLine();
    Unit *createdFirst = CreateInStep();                 // operation 1 creates
    DeleteInStep(first);                                 // operation 2 deletes
    DeleteInStep(second);                                // operation 3 deletes
    CreateInStep();                                      // operation 4
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).count(first), 1u);
    Unit *last = CreateInStep();                         // operation 5
    // The oldest reachable step is now the one after operation 2: what
    // operation 1 created is permanent, what operation 2 deleted is kept
    // although no reachable step shows it.
    EXPECT_EQ(g_UndoOldest, g_UndoStep - 3);
    EXPECT_EQ(createdFirst->birth, UNIT_BIRTH_ALWAYS);
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).count(first), 1u);
    EXPECT_EQ(first->death, g_UndoOldest);

    EXPECT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoTestVisibleUnits().count(second), 1u);
    EXPECT_EQ(UndoTestVisibleUnits().count(first), 0u);
    const UndoTestGlobals atOldest = UndoTestSnapshot();
    EXPECT_EQ(UndoStepBack(), 0);
    EXPECT_EQ(UndoTestSnapshot(), atOldest);

    // Back at the newest step, one more operation pushes operation 2 out.
    while (UndoStepForward()) {
    }
    EXPECT_EQ(UndoTestVisibleUnits().count(last), 1u);
    CreateInStep();
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).count(first), 0u) << "freed once out of reach";
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).count(second), 1u);
}

TEST_F(UndoTest, NewOperationDropsTheRedoBranch)
{
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel);
        UndoTestClearDrawing();
        Unit *line = CreateInStep();
        ASSERT_EQ(UndoStepBack(), 1);
        UndoInitProcess();
        EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).count(line), 0u) << "the undone object is freed";
        if (cancel)
            UndoCancelProcess();
        else
            UndoFinishProcess();
        EXPECT_EQ(UndoStepForward(), 0);
    }
}

TEST_F(UndoTest, ClearHistoryAndApplySteps)
{
    Unit *a = UndoTestNewLine();
    DeleteInStep(a);
    Unit *b = CreateInStep();
    ASSERT_EQ(UndoStepBack(), 1); // b undone, redo possible
    UndoClearHistory();
    EXPECT_EQ(UndoStepBack(), 0);
    EXPECT_EQ(UndoStepForward(), 0);
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).count(b), 0u) << "the redo branch is gone";
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING).count(a), 1u) << "dead at the oldest step: kept";
    EXPECT_EQ(UndoTestVisibleUnits().count(a), 0u);

    g_UndoSteps = 5;
    for (int i = 0; i < 5; ++i)
        CreateInStep();
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(UndoStepBack(), 1);
    g_UndoSteps = 1;
    UndoApplySteps();
    EXPECT_EQ(g_UndoOldest, g_UndoStep - 1);
    EXPECT_EQ(g_UndoNewest, g_UndoStep + 1);
    EXPECT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoStepBack(), 0);
    EXPECT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(UndoStepForward(), 0);
}

TEST_F(UndoTest, StampsAndIdents)
{
    Unit *u = UndoTestNewLine();
    u->flags = 0x4C;
    u->ident = 7;
    UndoStampCreated(u);
    EXPECT_EQ(u->flags, 0x8u);
    EXPECT_EQ(u->ident, UNIT_NO_IDENT);
    u->flags = 0xFFFF;
    UndoStampPermanent(u);
    EXPECT_EQ(u->flags, 0u);
    EXPECT_EQ(u->birth, UNIT_BIRTH_ALWAYS);

    UndoAssignIdent(u);
    const int32_t ident = u->ident;
    EXPECT_EQ(ident, UNDO_STEP_START);
    EXPECT_EQ(g_IdentCounter, UNDO_STEP_START + 1);
    EXPECT_EQ(UndoFindIdent(ident), u);

    // A backup: the dead copy keeps the ident, the changed unit is stamped new.
    UndoInitProcess();
    Unit *copy = MemListDuplicate(LIST_DRAWING, u);
    ASSERT_NE(copy, nullptr);
    UndoStampDeleted(copy);
    UndoStampCreated(u);
    UndoFinishProcess();
    EXPECT_EQ(copy->ident, ident);
    EXPECT_EQ(UndoFindIdent(ident), nullptr) << "never the dead copy";
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoFindIdent(ident), copy) << "the picked state is alive again";

    // Units without an ident are not found by the no-ident value.
    EXPECT_EQ(UndoFindIdent(UNIT_NO_IDENT), nullptr);
}

TEST_F(UndoTest, FindIdentKeepsTheStoredFilter)
{
    Unit *u = UndoTestNewLine();
    UndoAssignIdent(u);
    ASSERT_EQ(MemListFirst(LIST_DRAWING, 0x5000, 0, 1), u);
    uint32_t before[3], after[3];
    MemListSaveFilter(before);
    UndoFindIdent(u->ident);
    MemListSaveFilter(after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
}

// ---------------------------------------------------------------------------
// Bad input: nothing happens, nothing is lost.

TEST_F(UndoTest, UndoOrRedoWithNothingToDo)
{
    Unit *a = UndoTestNewLine();
    const UndoTestGlobals before = UndoTestSnapshot();
    EXPECT_EQ(UndoStepBack(), 0);
    EXPECT_EQ(UndoStepForward(), 0);
    EXPECT_EQ(UndoTestSnapshot(), before);
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING), (std::set<Unit *>{a}));
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a}));
}

TEST_F(UndoTest, BracketOpenedTwiceIsOneStep)
{
    Unit *a = UndoTestNewLine();
    UndoInitProcess();
    const int32_t step = g_UndoStep;
    UndoInitProcess();
    EXPECT_EQ(g_UndoStep, step);
    Unit *b = UndoTestNewLine();
    UndoStampCreated(b);
    UndoStampDeleted(a);
    UndoFinishProcess(); // the inner finish commits nothing yet
    EXPECT_TRUE(UndoIsProcessOpen());
    EXPECT_EQ(g_DrawingInfo.modified, 0u);
    EXPECT_EQ(UndoStepBack(), 0) << "no undo inside an operation";
    UndoFinishProcess();
    EXPECT_FALSE(UndoIsProcessOpen());
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{b}));
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a}));
    EXPECT_EQ(UndoStepBack(), 0);
}

TEST_F(UndoTest, CancelOrFinishWithoutBracket)
{
    Unit *a = UndoTestNewLine();
    Unit *b = CreateInStep();
    g_DrawingInfo.modified = 0;
    const UndoTestGlobals before = UndoTestSnapshot();
    const std::set<Unit *> stored = UndoTestUnitsIn(LIST_DRAWING);
    UndoCancelProcess();
    UndoFinishProcess();
    EXPECT_EQ(UndoTestSnapshot(), before);
    EXPECT_EQ(UndoTestUnitsIn(LIST_DRAWING), stored);
    EXPECT_EQ(UndoTestVisibleUnits(), (std::set<Unit *>{a, b}));
    EXPECT_EQ(g_DrawingInfo.modified, 0u);
    EXPECT_EQ(UndoStepBack(), 1) << "the history is intact";
}

} // namespace
