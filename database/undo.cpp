// Undo by lifetime stamps.
#include "database/undo.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "geometry/frame.h"

#include "database/object_rects.h"
#include "database/storage.h"
#include "database/symbol_undo.h"
#include "files/file_drawinginfo.h"

int32_t g_UndoOldest = UNDO_STEP_START;
int32_t g_UndoNewest = UNDO_STEP_START;
int32_t g_IdentCounter = UNDO_STEP_START;
int32_t g_UndoSteps = UNDO_WINDOW_DEFAULT;

namespace {


// A set of unit addresses in one open-addressed table (linear probing, a
// free slot is null): noting a unit costs no allocation, as a rectangle
// selection notes tens of thousands of units at once. The table shrinks
// as units leave it, so that going over it costs what it holds.
struct UnitSet {
    std::vector<Unit *> slots; // a power of two of them, or none
    size_t count = 0;
    int shift = 32;            // 32 - log2 of the number of slots
};
constexpr size_t UNIT_SET_MIN_SLOTS = 64;
// At most one slot in two is taken; the table shrinks below one in eight.
constexpr size_t UNIT_SET_GROW_AT = 2, UNIT_SET_SHRINK_AT = 8;

// Fibonacci hashing: the high bits of the address times 2^32 / golden ratio.
size_t SetHome(const UnitSet &set, const Unit *unit)
{
    // Units start on 16-byte paragraphs: the low bits carry nothing.
    const uint64_t a = reinterpret_cast<uintptr_t>(unit);
    const uint32_t key = static_cast<uint32_t>(a >> 4) ^ static_cast<uint32_t>(a >> 36);
    return (key * 0x9E3779B1u) >> set.shift;
}

void SetPlace(UnitSet &set, Unit *unit)
{
    size_t i = SetHome(set, unit);
    while (set.slots[i])
        i = (i + 1) & (set.slots.size() - 1);
    set.slots[i] = unit;
}

void SetResize(UnitSet &set, size_t slots)
{
    std::vector<Unit *> old(slots, nullptr);
    old.swap(set.slots);
    set.shift = 32;
    for (size_t n = slots; n > 1; n >>= 1)
        --set.shift;
    for (Unit *u : old)
        if (u)
            SetPlace(set, u);
}

// The smallest table that holds `count` units with room to grow.
size_t SetSlotsFor(size_t count)
{
    size_t slots = UNIT_SET_MIN_SLOTS;
    while (slots < count * UNIT_SET_GROW_AT * 2)
        slots *= 2;
    return slots;
}

// True when the unit was not in the set.
bool SetInsert(UnitSet &set, Unit *unit)
{
    if (set.slots.empty())
        SetResize(set, UNIT_SET_MIN_SLOTS);
    const size_t mask = set.slots.size() - 1;
    size_t i = SetHome(set, unit);
    for (; set.slots[i]; i = (i + 1) & mask)
        if (set.slots[i] == unit)
            return false;
    set.slots[i] = unit;
    if (++set.count * UNIT_SET_GROW_AT > set.slots.size())
        SetResize(set, set.slots.size() * 2);
    return true;
}

void SetErase(UnitSet &set, const Unit *unit)
{
    if (set.slots.empty())
        return;
    const size_t mask = set.slots.size() - 1;
    size_t i = SetHome(set, unit);
    for (; set.slots[i] != unit; i = (i + 1) & mask)
        if (!set.slots[i])
            return;
    // Moves back the later entries of the run that would no longer be found.
    for (size_t j = (i + 1) & mask; set.slots[j]; j = (j + 1) & mask) {
        const size_t home = SetHome(set, set.slots[j]);
        const bool reachable = i <= j ? (i < home && home <= j) : (i < home || home <= j);
        if (!reachable) {
            set.slots[i] = set.slots[j];
            i = j;
        }
    }
    set.slots[i] = nullptr;
    --set.count;
    if (set.slots.size() > UNIT_SET_MIN_SLOTS && set.count * UNIT_SET_SHRINK_AT < set.slots.size())
        SetResize(set, SetSlotsFor(set.count));
}

void SetClear(UnitSet &set) { set = UnitSet{}; }

template <typename Visit>
void SetForEach(const UnitSet &set, Visit visit)
{
    for (Unit *u : set.slots)
        if (u)
            visit(u);
}

// Depth of the open undo brackets; 0 between operations.
int g_UndoDepth = 0;

// The units of list 0 the next purge must visit: every unit whose stamps are
// not both permanent, or that may carry marks the purge clears. The other
// units of the list are left as they are by a purge, so it never walks them,
// unless units came into the list outside an undo bracket (s_WalkAll). The
// set holds addresses: the purge asks the list code whether each is still
// linked in list 0.
UnitSet s_Touched;
bool s_WalkAll = false;

// Between UndoMarkBefore and UndoCollectChanges: the units marked, or every
// unit of the list when the marking walked it whole.
bool s_Marking = false;
bool s_MarkedAll = false;
std::vector<Unit *> s_Marked;

void MarkBefore(Unit *u) { u->flags |= UndoIsVisible(u, g_UndoStep) ? UNIT_DISAPPEARED : UNIT_APPEARED; }

// Code outside the program (a plug-in) may have set selection flags and
// marks without noting the units: the next selection walk goes over the
// whole list and notes them.
bool s_ForeignFlags = false;

// The units that may carry each ident: the unit it was given to and the
// units linked or noted carrying it (a copy keeps the ident of what it
// copies). Entries go stale as units change or go; a lookup checks each.
// After the list was replaced as a whole the next lookup walks it.
std::unordered_map<int32_t, std::vector<Unit *>> s_IdentHolders;
bool s_IdentsComplete = true;

// Only values the counter handed out name a unit: other words in the ident
// field (none, or what a fresh block held) are never looked up.
void NoteIdent(Unit *unit)
{
    const int32_t ident = unit->ident;
    if (ident == UNIT_NO_IDENT || ident < UNDO_STEP_START || ident >= g_IdentCounter)
        return;
    std::vector<Unit *> &holders = s_IdentHolders[ident];
    if (std::find(holders.begin(), holders.end(), unit) == holders.end())
        holders.push_back(unit);
}

// Notes a unit whose stamps are about to change; while a marking is open, a
// unit it did not reach is marked now, from the stamps it had before.
void Note(Unit *unit)
{
    NoteIdent(unit);
    // While the notes are incomplete the next purge walks the whole list and
    // notes afresh: nothing reads them before.
    if (s_WalkAll && !s_Marking)
        return;
    if (SetInsert(s_Touched, unit) && s_Marking && !s_MarkedAll && MemIsInDrawing(unit))
        MarkBefore(unit);
}

bool IsPermanent(const Unit *unit) { return unit->birth == UNIT_BIRTH_ALWAYS && unit->death == UNIT_DEATH_ALIVE; }

// Whether a purged unit stays noted: its stamps can still change its
// visibility, or it carries a flag the notes follow.
bool KeepsNote(const Unit *unit) { return !IsPermanent(unit) || (unit->flags & UNDO_NOTED_FLAGS); }

void ClearFlags(Unit *unit, uint32_t bits) { unit->flags &= ~bits; }

// Applies the purge's stamp rules; true when the unit lies wholly outside
// [lo, hi] and is to be deleted for good.
bool ClampStamps(Unit *unit, int32_t lo, int32_t hi)
{
    ClearFlags(unit, UNDO_PURGE_CLEARED_FLAGS);
    if (unit->birth < lo)
        unit->birth = UNIT_BIRTH_ALWAYS;
    if (unit->death > hi)
        unit->death = UNIT_DEATH_ALIVE;
    return unit->birth > hi || unit->death < lo;
}

// Wraps instead of overflowing, whatever a damaged stamp holds.
int32_t Shifted(int32_t stamp, int32_t delta) { return (int32_t)((uint32_t)stamp + (uint32_t)delta); }

void ShiftStamps(int list, int32_t delta)
{
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next) {
        if (u->birth != UNIT_BIRTH_ALWAYS)
            u->birth = Shifted(u->birth, delta);
        if (u->death != UNIT_DEATH_ALIVE)
            u->death = Shifted(u->death, delta);
    }
}

// The step an operation may not undo beyond: `UndoSteps` behind the step,
// never moving back.
void AdvanceOldest()
{
    const int32_t oldest = g_UndoStep - g_UndoSteps;
    if (oldest >= g_UndoOldest)
        g_UndoOldest = oldest;
}

int MoveStep(int32_t delta)
{
    UndoMarkBefore();
    g_UndoStep += delta;
    UndoPurge(g_UndoOldest, g_UndoNewest);
    UndoRenormalise();
    UndoCollectChanges();
    return 1;
}

bool IsOwnIndexed(const Unit *block)
{
    for (int32_t i = 0; i < g_OwnBlockIndex.count; ++i)
        if (g_OwnBlockIndex.blocks[i] == block)
            return true;
    return false;
}

} // namespace

void UndoReset()
{
    g_UndoStep = g_UndoOldest = g_UndoNewest = g_IdentCounter = UNDO_STEP_START;
    g_UndoDepth = 0;
}

bool UndoIsProcessOpen() { return g_UndoDepth > 0; }

void UndoInitProcess()
{
    if (g_UndoDepth++ > 0)
        return;
    // Drops the redo branch: what was created after the current step goes
    // for good, what was deleted after it is alive again.
    UndoPurge(g_UndoOldest, g_UndoStep);
    UndoRenormalise();
    // The dropped redo steps can no longer be reached, also when this
    // operation is cancelled.
    g_UndoNewest = g_UndoStep;
    ++g_UndoStep;
}

void UndoFinishProcess()
{
    if (g_UndoDepth == 0 || --g_UndoDepth > 0)
        return;
    AdvanceOldest();
    g_UndoNewest = g_UndoStep;
    UndoPurge(g_UndoOldest, g_UndoStep);
    UndoRenormalise();
    FileSetModified();
}

void UndoCancelProcess()
{
    if (g_UndoDepth == 0 || --g_UndoDepth > 0)
        return;
    // Units born in the cancelled step now lie beyond the range and go;
    // units it deleted have a death beyond the range and live again.
    --g_UndoStep;
    UndoPurge(g_UndoOldest, g_UndoStep);
    UndoRenormalise();
}

int UndoStepBack()
{
    if (g_UndoDepth > 0 || g_UndoStep <= g_UndoOldest)
        return 0;
    return MoveStep(-1);
}

int UndoStepForward()
{
    if (g_UndoDepth > 0 || g_UndoStep >= g_UndoNewest)
        return 0;
    return MoveStep(1);
}

void UndoClearHistory()
{
    g_UndoOldest = g_UndoNewest = g_UndoStep;
    UndoPurge(g_UndoStep, g_UndoStep);
    UndoRenormalise();
}

void UndoApplySteps()
{
    AdvanceOldest();
    const int32_t newest = g_UndoStep + g_UndoSteps;
    if (newest <= g_UndoNewest)
        g_UndoNewest = newest;
    UndoPurge(g_UndoOldest, g_UndoNewest);
}

namespace {

// The purge of list 0 over every unit; afterwards the units with ordinary
// stamps are the touched ones.
void PurgeWholeList(int32_t lo, int32_t hi)
{
    SetClear(s_Touched);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u;) {
        if (ClampStamps(u, lo, hi)) {
            u = MemListDelete(LIST_DRAWING, u);
            continue;
        }
        if (KeepsNote(u))
            SetInsert(s_Touched, u);
        u = u->next;
    }
    s_WalkAll = false;
}

// The purge of list 0 over the touched units only: a unit with both stamps
// permanent and no marks is what the whole walk would leave as it is.
void PurgeTouched(int32_t lo, int32_t hi)
{
    std::vector<Unit *> units;
    units.reserve(s_Touched.count);
    SetForEach(s_Touched, [&](Unit *u) { units.push_back(u); });
    for (Unit *u : units) {
        // A noted address may since have been freed, moved to another list or
        // reused: only what is linked in list 0 now is purged.
        if (!MemIsInDrawing(u)) {
            SetErase(s_Touched, u);
        } else if (ClampStamps(u, lo, hi)) {
            SetErase(s_Touched, u);
            MemListDelete(LIST_DRAWING, u);
        } else if (!KeepsNote(u)) {
            SetErase(s_Touched, u);
        }
    }
}

} // namespace

void UndoNoteUnit(Unit *unit)
{
    if (unit)
        Note(unit);
}

bool UndoNotedUnitsWith(uint32_t mask, std::vector<Unit *> *out)
{
    out->clear();
    if (s_WalkAll || mask == 0 || (mask & ~UNDO_NOTED_FLAGS))
        return false;
    SetForEach(s_Touched, [&](Unit *u) {
        if (MemIsInDrawing(u) && (u->flags & mask) == mask && UndoIsVisible(u, g_UndoStep))
            out->push_back(u);
    });
    return true;
}

bool UndoNotedUnits(std::vector<Unit *> *out)
{
    out->clear();
    if (s_WalkAll || s_ForeignFlags)
        return false;
    SetForEach(s_Touched, [&](Unit *u) {
        if (MemIsInDrawing(u))
            out->push_back(u);
    });
    return true;
}

void UndoNoteFlagged(Unit *unit)
{
    if (unit->flags & UNDO_NOTED_FLAGS)
        Note(unit);
}

void UndoNoteForeignFlags() { s_ForeignFlags = true; }

void UndoForeignFlagsNoted() { s_ForeignFlags = false; }

void UndoNoteLinked(Unit *unit)
{
    NoteIdent(unit);
    if (s_WalkAll)
        return;
    if (g_UndoDepth > 0)
        SetInsert(s_Touched, unit);
    else
        s_WalkAll = true;
}

void UndoNoteListReplaced()
{
    SetClear(s_Touched);
    s_WalkAll = true;
    s_IdentHolders.clear();
    s_IdentsComplete = false;
}

void UndoNoteListEmptied()
{
    SetClear(s_Touched);
    s_WalkAll = false;
    s_IdentHolders.clear();
    s_IdentsComplete = true;
}

void UndoPurge(int32_t lo, int32_t hi)
{
    if (s_WalkAll)
        PurgeWholeList(lo, hi);
    else
        PurgeTouched(lo, hi);

    // An unreachable block stays while something still uses it. The walk
    // keeps its own position: the used-block test walks the drawing itself.
    for (Unit *b = g_ObjectLists[LIST_OWN_BLOCKS].head; b;) {
        Unit *next = b->next;
        if (ClampStamps(b, lo, hi) && !SymbolIsBlockUsed(b->block.name)) {
            SymbolIndexRemoveOwn(b);
            next = SymbolDeleteBlock(LIST_OWN_BLOCKS, b);
        }
        b = next;
    }
}

void UndoRenormalise()
{
    int32_t delta = 0;
    if (g_UndoStep >= UNDO_STEP_LIMIT)
        delta = -UNDO_STEP_SHIFT;
    else if (g_UndoStep < -UNDO_STEP_LIMIT)
        delta = UNDO_STEP_SHIFT;
    else
        return;
    g_UndoStep += delta;
    g_UndoOldest += delta;
    g_UndoNewest += delta;
    ShiftStamps(LIST_OWN_BLOCKS, delta);
    ShiftStamps(LIST_DRAWING, delta);
}

// Only the units with ordinary stamps can change their visibility with a
// step (a unit with both stamps permanent is visible at every step), and the
// purge keeps them noted: the marking and the collection visit those alone,
// or the whole list when the notes are not complete.
void UndoMarkBefore()
{
    s_Marking = true;
    s_MarkedAll = s_WalkAll;
    s_Marked.clear();
    if (s_MarkedAll) {
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            MarkBefore(u);
        return;
    }
    SetForEach(s_Touched, [](Unit *u) {
        if (MemIsInDrawing(u)) // a noted address may since have left the list
            s_Marked.push_back(u);
    });
    for (Unit *u : s_Marked)
        MarkBefore(u);
}

void UndoCollectChanges()
{
    FrameSetEmpty(g_ExtentsRect);
    FrameSetEmpty(g_ChangedRect);
    auto collect = [](Unit *u) {
        // What stays marked changed its visibility with the step.
        ClearFlags(u, UndoIsVisible(u, g_UndoStep) ? UNIT_DISAPPEARED : UNIT_APPEARED);
        if (u->flags & UNIT_DISAPPEARED)
            FrameUnion(g_ExtentsRect, u->frame);
        if (u->flags & UNIT_APPEARED)
            FrameUnion(g_ChangedRect, u->frame);
        ClearFlags(u, UNIT_SHORT_MARKS);
    };
    if (s_MarkedAll || s_WalkAll || !s_Marking) {
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            collect(u);
    } else {
        // A unit visited twice is left as the first visit left it. The purge
        // may have freed marked units or made them permanent since.
        for (Unit *u : s_Marked)
            if (MemIsInDrawing(u))
                collect(u);
        SetForEach(s_Touched, [&](Unit *u) {
            if (MemIsInDrawing(u))
                collect(u);
        });
    }
    s_Marking = s_MarkedAll = false;
    s_Marked.clear();
}

void UndoStampCreated(Unit *unit)
{
    Note(unit);
    unit->birth = g_UndoStep;
    unit->death = UNIT_DEATH_ALIVE;
    unit->ident = UNIT_NO_IDENT;
    unit->flags &= UNIT_POINTS_SELECTED;
}

void UndoStampDeleted(Unit *unit)
{
    Note(unit);
    unit->death = g_UndoStep;
}

void UndoStampPermanent(Unit *unit)
{
    unit->birth = UNIT_BIRTH_ALWAYS;
    unit->death = UNIT_DEATH_ALIVE;
    unit->ident = UNIT_NO_IDENT;
    unit->flags = 0;
}

void UndoAssignIdent(Unit *unit)
{
    unit->ident = g_IdentCounter++;
    NoteIdent(unit);
}

Unit *UndoFindIdent(int32_t ident)
{
    // Units without an ident all carry the same value: it names none of them.
    if (ident == UNIT_NO_IDENT)
        return nullptr;
    if (s_IdentsComplete) {
        const auto it = s_IdentHolders.find(ident);
        if (it == s_IdentHolders.end())
            return nullptr;
        std::vector<Unit *> &holders = it->second;
        holders.erase(std::remove_if(holders.begin(), holders.end(),
                                     [&](Unit *u) { return !MemIsInDrawing(u) || u->ident != ident; }),
                      holders.end());
        Unit *alive = nullptr;
        int count = 0;
        for (Unit *u : holders)
            if (UndoIsVisible(u, g_UndoStep))
                alive = u, ++count;
        if (holders.empty())
            s_IdentHolders.erase(it);
        // Several alive: the first in list order, as the walk below finds it.
        if (count <= 1)
            return alive;
    }
    Unit *found = nullptr;
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u && !found; u = MemListNext(u))
        if (u->ident == ident)
            found = u;
    if (!s_IdentsComplete) {
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            NoteIdent(u);
        s_IdentsComplete = true;
    }
    return found;
}

void UndoClearMarks()
{
    for (Unit *u = g_ObjectLists[LIST_OWN_BLOCKS].head; u; u = u->next)
        ClearFlags(u, UNIT_SHORT_MARKS);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        ClearFlags(u, UNIT_SHORT_MARKS);
}

void UndoDeleteTemporaryBlocks()
{
    for (Unit *b = g_ObjectLists[LIST_OWN_BLOCKS].head; b;) {
        if (!(b->flags & UNIT_TEMPORARY)) {
            b = b->next;
            continue;
        }
        if (IsOwnIndexed(b))
            SymbolIndexRemoveOwn(b);
        b = SymbolDeleteBlock(LIST_OWN_BLOCKS, b);
    }
}

void UndoDeleteTemporary()
{
    UndoDeleteTemporaryBlocks();
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u;)
        u = (u->flags & UNIT_TEMPORARY) ? MemListDelete(LIST_DRAWING, u) : u->next;
}
