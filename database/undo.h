// Undo by lifetime stamps. Every unit carries the step in which it came into
// existence and the step in which it was deleted; one counter says which
// moment of the drawing's history is shown, and a unit is visible at step s
// when birth <= s < death. Undo and redo move the counter; a purge at the
// start and end of every operation deletes for good what can no longer be
// reached.
#pragma once

#include <cstdint>
#include <vector>

#include "database/storage.h"
#include "database/undo_step.h" // g_UndoStep
#include "database/unit.h"

constexpr int32_t UNDO_STEP_START = -1000000000;
// When the step reaches the limit, the step and every ordinary stamp shift
// back by UNDO_STEP_SHIFT. The shift stops short of the full 2000000000 so
// that no ordinary stamp of the undo window ever lands on one of the two
// markers (-1000000001 always existed, 1000000001 alive), and the limit is
// reached before a step could be stamped with the alive marker itself.
constexpr int32_t UNDO_STEP_LIMIT = 1000000000;
constexpr int32_t UNDO_SHIFT_MARGIN = 200;        // wider than any undo window
constexpr int32_t UNDO_STEP_SHIFT = 2000000000 - UNDO_SHIFT_MARGIN;

extern int32_t g_UndoOldest;     // the oldest step undo may go back to
extern int32_t g_UndoNewest;     // the newest step redo may go forward to
extern int32_t g_IdentCounter;   // the next object ident
// The number of operations that can be undone: the option UndoSteps (1 to
// 99, 3 unless set), copied here by whoever reads or changes the options.
extern int32_t g_UndoSteps;
constexpr int32_t UNDO_WINDOW_DEFAULT = 3;

inline bool UndoIsVisible(const Unit *unit, int32_t step)
{
    return unit->birth <= step && step < unit->death;
}

void UndoReset();

// The bracket around every change of the drawing. A bracket opened inside an
// open bracket joins it: only the outermost finish or cancel acts. Finish or
// cancel without an open bracket does nothing.
void UndoInitProcess();
void UndoFinishProcess();
void UndoCancelProcess();
bool UndoIsProcessOpen();

// The Undo and Redo commands: 1 done, 0 nothing to do (also while a bracket
// is open). The frames of what disappeared go to g_ExtentsRect, those of
// what appeared to g_ChangedRect.
int UndoStepBack();
int UndoStepForward();

void UndoClearHistory();
void UndoApplySteps();
void UndoPurge(int32_t lo, int32_t hi);
void UndoRenormalise();
void UndoMarkBefore();
void UndoCollectChanges();

void UndoStampCreated(Unit *unit);
void UndoStampDeleted(Unit *unit);
void UndoStampPermanent(Unit *unit);
void UndoAssignIdent(Unit *unit);
// The unit of list 0 alive now with that ident (the first in list order),
// or null. Idents are looked up in a table that follows what is linked,
// noted and given an ident; after the list was replaced as a whole the
// list is walked once.
Unit *UndoFindIdent(int32_t ident);

// The purge visits only the units of list 0 an operation touched: those
// stamped created or deleted, those linked into the list inside an undo
// bracket, and those noted here. Code that sets one of the flags below on a
// unit it neither stamps nor links must note it: the selection, the redraw
// marks of the selection (0x10, 0x20), UNIT_MARKED and the temporary and
// transformation marks (0x380). Then the next purge clears the marks, and
// the modify walks, the selection's count, deselection and redraw find the
// unit among the notes instead of walking the list. Units linked outside a
// bracket (a loaded drawing) make the next purge walk the whole list once;
// that walk notes every unit that carries one of the flags again.
constexpr uint32_t UNDO_PURGE_CLEARED_FLAGS = 0x0380;
constexpr uint32_t UNDO_NOTED_FLAGS =
    UNIT_SELECTED | UNIT_CHANGED | UNIT_SELECTION_REDRAW | UNIT_MARKED | UNDO_PURGE_CLEARED_FLAGS;
void UndoNoteUnit(Unit *unit);
// Notes the unit when it carries one of UNDO_NOTED_FLAGS.
void UndoNoteFlagged(Unit *unit);
// The units of list 0 alive now that carry every bit of `mask`, gathered
// from the notes (in no particular order): false when the notes may miss
// some (the whole list must be walked) or the mask holds bits other than
// UNDO_NOTED_FLAGS.
bool UndoNotedUnitsWith(uint32_t mask, std::vector<Unit *> *out);
// Every noted unit of list 0, of any lifetime and with any flags (in no
// particular order): a superset of the units that carry one of
// UNDO_NOTED_FLAGS. False when the notes may miss some: the list must be
// walked.
bool UndoNotedUnits(std::vector<Unit *> *out);
// A plug-in may write the flag words of the units it was shown without
// noting them: every call into one says so, and the next selection walk
// goes over the whole list, notes what it finds flagged and then says the
// notes are complete again.
void UndoNoteForeignFlags();
void UndoForeignFlagsNoted();

// Visits every unit of list 0, of any lifetime, that may carry one of
// UNDO_NOTED_FLAGS: the noted units, in no particular order, or when the
// notes may miss some every unit along the list; after such a walk whatever
// still carries one of the flags is noted and the notes are trusted again.
// True when the notes served.
template <typename Visit>
bool UndoForEachFlagged(Visit visit)
{
    std::vector<Unit *> noted;
    if (UndoNotedUnits(&noted)) {
        for (Unit *u : noted)
            visit(u);
        return true;
    }
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
        visit(u);
        UndoNoteFlagged(u);
    }
    UndoForeignFlagsNoted();
    return false;
}
// Called by the list code for every unit linked into list 0, and when the
// list as a whole is replaced or emptied.
void UndoNoteLinked(Unit *unit);
void UndoNoteListReplaced();
void UndoNoteListEmptied();

void UndoClearMarks();
void UndoDeleteTemporary();
void UndoDeleteTemporaryBlocks();
