// The object lists: intrusive doubly linked lists through the units' own
// prev and next words, with counts and byte totals kept on every link
// operation, and the one global filter through which they are walked.
#include <cstring>

#include "app/init_trap.h"
#include "database/object_ident.h"
#include "database/storage.h"
#include "database/undo.h"
#include "database/undo_step.h"

ListFilter g_ListFilter = {0, 0, 0};

namespace {

bool ValidList(int list)
{
    if (list >= 0 && list < OBJECT_LIST_COUNT)
        return true;
    INIT_TRAP("no object list has this number");
    return false;
}

void Attach(ObjectList &l, Unit *object)
{
    ++l.count;
    l.bytes += object->bytes;
    if (&l == &g_ObjectLists[LIST_DRAWING]) {
        MemSetInDrawing(object, 1);
        UndoNoteLinked(object);
        ObjectIndexNoteLinked(object);
    }
}

bool Passes(const Unit *u)
{
    if ((u->flags & g_ListFilter.mask) != g_ListFilter.value)
        return false;
    return !g_ListFilter.aliveOnly || (u->birth <= g_UndoStep && g_UndoStep < u->death);
}

Unit *ForwardFrom(Unit *u)
{
    while (u && !Passes(u))
        u = u->next;
    return u;
}

Unit *BackwardFrom(Unit *u)
{
    while (u && !Passes(u))
        u = u->prev;
    return u;
}

// Copies a record over a new block, keeping the block's own header words
// (paragraphs, bytes and links).
void CopyKeepingHeader(Unit *block, const void *record, uint32_t bytes)
{
    const uint32_t paragraphs = block->paragraphs, ownBytes = block->bytes;
    memcpy(block, record, bytes);
    block->paragraphs = paragraphs;
    block->bytes = ownBytes;
    block->prev = nullptr;
    block->next = nullptr;
}

} // namespace

Unit *MemListUnlink(int list, Unit *object)
{
    if (!ValidList(list) || !object)
        return nullptr;
    ObjectList &l = g_ObjectLists[list];
    Unit *next = object->next;
    Unit *prev = object->prev;
    if (prev)
        prev->next = next;
    else
        l.head = next;
    if (next)
        next->prev = prev;
    else
        l.tail = prev;
    --l.count;
    l.bytes -= object->bytes;
    if (list == LIST_DRAWING) {
        MemSetInDrawing(object, 0);
        ObjectIndexNoteUnlinked(object);
    }
    return next;
}

void MemListPushFront(int list, Unit *object)
{
    if (!ValidList(list) || !object)
        return;
    ObjectList &l = g_ObjectLists[list];
    object->prev = nullptr;
    object->next = l.head;
    if (l.head)
        l.head->prev = object;
    else
        l.tail = object;
    l.head = object;
    Attach(l, object);
}

void MemListPushBack(int list, Unit *object)
{
    if (!ValidList(list) || !object)
        return;
    ObjectList &l = g_ObjectLists[list];
    object->next = nullptr;
    object->prev = l.tail;
    if (l.tail)
        l.tail->next = object;
    else
        l.head = object;
    l.tail = object;
    Attach(l, object);
}

// Without a unit to insert at, the object goes to the front.
void MemListInsertBefore(int list, Unit *before, Unit *object)
{
    if (!before)
        return MemListPushFront(list, object);
    if (!ValidList(list) || !object)
        return;
    ObjectList &l = g_ObjectLists[list];
    object->next = before;
    object->prev = before->prev;
    if (before->prev)
        before->prev->next = object;
    else
        l.head = object;
    before->prev = object;
    Attach(l, object);
}

// Without a unit to insert at, the object goes to the back.
void MemListInsertAfter(int list, Unit *after, Unit *object)
{
    if (!after)
        return MemListPushBack(list, object);
    if (!ValidList(list) || !object)
        return;
    ObjectList &l = g_ObjectLists[list];
    object->prev = after;
    object->next = after->next;
    if (after->next)
        after->next->prev = object;
    else
        l.tail = object;
    after->next = object;
    Attach(l, object);
}

void MemListMoveBefore(int list, Unit *object, Unit *before)
{
    if (!ValidList(list) || !object || object == before)
        return;
    if (before) {
        MemListUnlink(list, object);
        MemListInsertBefore(list, before, object);
    } else if (g_ObjectLists[list].head != object) {
        MemListUnlink(list, object);
        MemListPushFront(list, object);
    }
}

void MemListMoveAfter(int list, Unit *object, Unit *after)
{
    if (!ValidList(list) || !object || object == after)
        return;
    if (after) {
        MemListUnlink(list, object);
        MemListInsertAfter(list, after, object);
    } else if (g_ObjectLists[list].tail != object) {
        MemListUnlink(list, object);
        MemListPushBack(list, object);
    }
}

Unit *MemListNewObject(int list, uint32_t bytes, Unit *after)
{
    if (!ValidList(list))
        return nullptr;
    auto *unit = static_cast<Unit *>(MemAllocBlock(bytes));
    if (unit)
        MemListInsertAfter(list, after, unit);
    return unit;
}

Unit *MemListNewCopyBefore(int list, const void *record, uint32_t bytes, Unit *before)
{
    if (!ValidList(list) || !record)
        return nullptr;
    auto *unit = static_cast<Unit *>(MemAllocBlock(bytes));
    if (!unit)
        return nullptr;
    CopyKeepingHeader(unit, record, bytes);
    MemListInsertBefore(list, before, unit);
    return unit;
}

Unit *MemListNewCopyAfter(int list, const void *record, uint32_t bytes, Unit *after)
{
    if (!ValidList(list) || !record)
        return nullptr;
    auto *unit = static_cast<Unit *>(MemAllocBlock(bytes));
    if (!unit)
        return nullptr;
    CopyKeepingHeader(unit, record, bytes);
    MemListInsertAfter(list, after, unit);
    return unit;
}

Unit *MemListDelete(int list, Unit *object)
{
    if (!ValidList(list) || !object)
        return nullptr;
    Unit *next = MemListUnlink(list, object);
    MemSubFree(object);
    return next;
}

Unit *MemListDuplicate(int list, Unit *object)
{
    if (!ValidList(list) || !object)
        return nullptr;
    auto *copy = static_cast<Unit *>(MemAllocBlock(object->bytes));
    if (!copy)
        return nullptr;
    CopyKeepingHeader(copy, object, object->bytes);
    MemListInsertBefore(list, object, copy);
    return copy;
}

Unit *MemChainAppend(int list, Unit *block, const void *record, uint32_t bytes)
{
    if (!ValidList(list) || !block || !record)
        return nullptr;
    auto *member = static_cast<Unit *>(MemAllocBlock(bytes));
    if (!member)
        return nullptr;
    CopyKeepingHeader(member, record, bytes);
    member->prev = block->block.lastMember;
    member->next = nullptr;
    if (block->block.lastMember)
        block->block.lastMember->next = member;
    else
        block->block.firstMember = member;
    block->block.lastMember = member;
    g_ObjectLists[list].bytes += member->bytes;
    return member;
}

Unit *MemChainRemove(int list, Unit *block, Unit *member)
{
    if (!ValidList(list) || !block || !member)
        return nullptr;
    Unit *next = member->next;
    Unit *prev = member->prev;
    if (prev)
        prev->next = next;
    else
        block->block.firstMember = next;
    if (next)
        next->prev = prev;
    else
        block->block.lastMember = prev;
    g_ObjectLists[list].bytes -= member->bytes;
    MemSubFree(member);
    return next;
}

// ---------------------------------------------------------------------------
// Iteration

Unit *MemListFirst(int list, uint32_t mask, uint32_t value, uint32_t aliveOnly)
{
    if (!ValidList(list) || !g_ObjectLists[list].head)
        return nullptr; // the stored filter stays as it was
    g_ListFilter = {mask, value, aliveOnly};
    return ForwardFrom(g_ObjectLists[list].head);
}

Unit *MemListNext(Unit *unit) { return unit ? ForwardFrom(unit->next) : nullptr; }

Unit *MemListLast(int list, uint32_t mask, uint32_t value, uint32_t aliveOnly)
{
    if (!ValidList(list) || !g_ObjectLists[list].tail)
        return nullptr;
    g_ListFilter = {mask, value, aliveOnly};
    return BackwardFrom(g_ObjectLists[list].tail);
}

Unit *MemListPrev(Unit *unit) { return unit ? BackwardFrom(unit->prev) : nullptr; }

void MemListSaveFilter(uint32_t saved[3])
{
    saved[0] = g_ListFilter.mask;
    saved[1] = g_ListFilter.value;
    saved[2] = g_ListFilter.aliveOnly;
}

void MemListRestoreFilter(const uint32_t saved[3])
{
    g_ListFilter = {saved[0], saved[1], saved[2]};
}
