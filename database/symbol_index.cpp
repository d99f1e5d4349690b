// The sorted block indexes, the cached positions of references, linking.
#include "database/symbol_index.h"

#include <windows.h>

#include <cstring>

#include "app/init.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_browse.h"
#include "database/symbol_charlib.h"
#include "database/symbol_find.h"
#include "database/symbol_library.h"
#include "files/file_drawinginfo.h"
#include "files/file_library.h"
#include "files/file_records.h"
#include "geometry/frame.h"

LibraryBlockIndex g_LibraryBlockIndex;

namespace {

bool IsReference(const Unit *u) { return u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN; }

bool ValidSlot(int32_t library) { return library >= 0 && library < g_LibrarySlots.count && library < SYMBOL_LIBRARY_SLOTS; }

bool IsStub(const Unit *block) { return (block->ident & 0x2) != 0; }

// Compares (name, slot) keys of the library index.
int CompareLibraryKey(const LibraryIndexEntry &e, int32_t slot, const char *name)
{
    const int c = lstrcmpA(e.block->block.name, name);
    if (c)
        return c;
    return e.slot < slot ? -1 : (e.slot > slot ? 1 : 0);
}

// Binary search: position of the first entry not less than the key, and
// whether it equals the key.
template <class Compare>
int32_t LowerBound(int32_t count, Compare compare, bool *equal)
{
    int32_t lo = 0, hi = count;
    while (lo < hi) {
        const int32_t mid = (lo + hi) / 2;
        if (compare(mid) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    *equal = lo < count && compare(lo) == 0;
    return lo;
}

// Calls visit(unit, insideLibrary) for every unit that may hold a cached
// reference: members of library blocks, of own blocks, then list 0.
template <class Visit>
void ForEachReferenceUnit(Visit visit)
{
    auto blocksOf = [&](int list, bool inLibrary) {
        for (Unit *b = g_ObjectLists[list].head; b; b = b->next)
            if (b->kind == UNIT_KIND_BLOCK)
                for (Unit *m = b->block.firstMember; m; m = m->next)
                    visit(m, inLibrary);
    };
    for (int slot = 0; slot < g_LibrarySlots.count && slot < SYMBOL_LIBRARY_SLOTS; ++slot)
        blocksOf(LIST_SYMBOL_LIBRARY_FIRST + slot, true);
    blocksOf(LIST_OWN_BLOCKS, false);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        visit(u, false);
}

// Calls visit(libraryIndex, blockIndex, insideLibrary) for every cached reference.
template <class Visit>
void ForEachReference(Visit visit)
{
    ForEachReferenceUnit([&](Unit *u, bool inLibrary) {
        if (IsReference(u)) {
            visit(u->instance.libraryIndex, u->instance.blockIndex, inLibrary);
        } else if (u->kind == UNIT_KIND_OBJECT) {
            UnitForEachElement(u, [&](Element *e) {
                if (e->kind == ELEM_CLIP_SURFACE) {
                    auto *c = static_cast<ClipSurfaceData *>(ElementPayload(e));
                    visit(c->libraryIndex, c->blockIndex, inLibrary);
                }
            });
        }
    });
}

void Shift(int32_t &blockIndex, int32_t position)
{
    if (blockIndex >= 0 && blockIndex >= position)
        ++blockIndex;
}

void Unshift(int32_t &blockIndex, int32_t position)
{
    if (blockIndex == position)
        blockIndex = UNIT_INDEX_UNRESOLVED;
    else if (blockIndex > position)
        --blockIndex;
}

// Own positions: references whose library is 999, outside library blocks.
template <class Op>
void OwnIndexShift(int32_t position, Op op)
{
    ForEachReference([&](int32_t library, int32_t &blockIndex, bool inLibrary) {
        if (!inLibrary && library == LIBRARY_INDEX_OWN)
            op(blockIndex, position);
    });
}

// Library positions: every reference inside library blocks, elsewhere those
// not into the own blocks.
template <class Op>
void LibIndexShift(int32_t position, Op op)
{
    ForEachReference([&](int32_t library, int32_t &blockIndex, bool inLibrary) {
        if (inLibrary || library != LIBRARY_INDEX_OWN)
            op(blockIndex, position);
    });
}

bool g_RebuildReported = false;

void ReportIndexFull(const char *which)
{
    if (g_RebuildReported)
        return;
    g_RebuildReported = true;
    InitErrorBox(__FILE_NAME__, __LINE__, which);
}

} // namespace

void SymbolMarkModified(int32_t library)
{
    if (library == LIBRARY_INDEX_OWN)
        FileSetModified();
    else if (ValidSlot(library))
        g_LibrarySlots.slots[library].modified = 1;
}

int SymbolListOfLibrary(int32_t library)
{
    if (library == LIBRARY_INDEX_OWN)
        return LIST_OWN_BLOCKS;
    return ValidSlot(library) ? LIST_SYMBOL_LIBRARY_FIRST + library : -1;
}

int32_t SymbolFindBlockIndex(int32_t library, const char *name, int withDeleted)
{
    if (!name)
        return -1;
    bool equal = false;
    if (library == LIBRARY_INDEX_OWN) {
        const OwnBlockIndex &ix = g_OwnBlockIndex;
        const int32_t pos =
            LowerBound(ix.count, [&](int32_t i) { return lstrcmpA(ix.blocks[i]->block.name, name); }, &equal);
        return equal ? pos : -1;
    }
    if (!ValidSlot(library))
        return -1;
    const LibraryBlockIndex &ix = g_LibraryBlockIndex;
    const int32_t pos =
        LowerBound(ix.count, [&](int32_t i) { return CompareLibraryKey(ix.entries[i], library, name); }, &equal);
    if (!equal || (!withDeleted && IsStub(ix.entries[pos].block)))
        return -1;
    return pos;
}

Unit *SymbolGetBlockByIndex(int32_t library, int32_t blockIndex)
{
    if (blockIndex < 0)
        return nullptr;
    if (library == LIBRARY_INDEX_OWN)
        return blockIndex < g_OwnBlockIndex.count ? g_OwnBlockIndex.blocks[blockIndex] : nullptr;
    if (!ValidSlot(library) || blockIndex >= g_LibraryBlockIndex.count)
        return nullptr;
    return g_LibraryBlockIndex.entries[blockIndex].block;
}

int SymbolOwnBlockExists(const char *name) { return SymbolFindBlockIndex(LIBRARY_INDEX_OWN, name, 0) >= 0; }

int SymbolLibraryBlockExists(int32_t library, const char *name)
{
    return SymbolFindBlockIndex(library, name, 0) >= 0;
}

int SymbolProbeLibraryBlock(int32_t library, const char *name)
{
    return ValidSlot(library) && SymbolFindBlockIndex(library, name, 1) >= 0;
}

int32_t SymbolNameInsertPos(const char (*names)[UNIT_NAME_SIZE], int32_t count, const char *name)
{
    bool equal = false;
    const int32_t pos = LowerBound(count, [&](int32_t i) { return lstrcmpA(names[i], name); }, &equal);
    return equal ? -1 : pos;
}

int32_t SymbolOwnIndexInsertPos(const char *name)
{
    const OwnBlockIndex &ix = g_OwnBlockIndex;
    bool equal = false;
    const int32_t pos =
        LowerBound(ix.count, [&](int32_t i) { return lstrcmpA(ix.blocks[i]->block.name, name); }, &equal);
    return equal ? pos - SYMBOL_INDEX_PRESENT : pos;
}

int32_t SymbolLibraryIndexInsertPos(int32_t slot, const char *name)
{
    const LibraryBlockIndex &ix = g_LibraryBlockIndex;
    bool equal = false;
    const int32_t pos =
        LowerBound(ix.count, [&](int32_t i) { return CompareLibraryKey(ix.entries[i], slot, name); }, &equal);
    return equal ? pos - SYMBOL_INDEX_PRESENT : pos;
}

void SymbolRebuildLibraryIndex()
{
    LibraryBlockIndex &ix = g_LibraryBlockIndex;
    ix.count = 0;
    bool full = false;
    for (int slot = 0; slot < g_LibrarySlots.count && slot < SYMBOL_LIBRARY_SLOTS; ++slot)
        for (Unit *u = g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST + slot].head; u; u = u->next) {
            if (u->kind != UNIT_KIND_BLOCK)
                continue;
            const int32_t pos = SymbolLibraryIndexInsertPos(slot, u->block.name);
            if (pos < 0)
                continue;
            if (ix.count >= LIBRARY_INDEX_CAPACITY) {
                full = true;
                continue;
            }
            std::memmove(&ix.entries[pos + 1], &ix.entries[pos], size_t(ix.count - pos) * sizeof ix.entries[0]);
            ix.entries[pos] = {slot, u};
            ++ix.count;
        }
    if (ix.count < LIBRARY_INDEX_CAPACITY)
        ix.entries[ix.count] = {-1, nullptr};
    if (full)
        ReportIndexFull("More than 20000 library blocks: the further blocks are not indexed");
}

void SymbolIndexAddOwn(Unit *block)
{
    FileSetModified();
    SymbolBrowseFreeIfLibrary(LIBRARY_INDEX_OWN);
    OwnBlockIndex &ix = g_OwnBlockIndex;
    int32_t pos = SymbolOwnIndexInsertPos(block->block.name);
    if (pos < 0) {
        ix.blocks[pos + SYMBOL_INDEX_PRESENT] = block;
    } else {
        if (ix.count >= OWN_BLOCK_INDEX_CAPACITY)
            return;
        std::memmove(&ix.blocks[pos + 1], &ix.blocks[pos], size_t(ix.count - pos) * sizeof ix.blocks[0]);
        ix.blocks[pos] = block;
        ++ix.count;
        OwnIndexShift(pos, Shift);
    }
    SymbolLinkBlockMembers(block, LIBRARY_INDEX_OWN);
}

void SymbolIndexAddLibrary(int32_t slot, Unit *block)
{
    SymbolMarkModified(slot);
    SymbolBrowseFreeIfLibrary(slot);
    LibraryBlockIndex &ix = g_LibraryBlockIndex;
    const int32_t pos = SymbolLibraryIndexInsertPos(slot, block->block.name);
    if (pos < 0) {
        ix.entries[pos + SYMBOL_INDEX_PRESENT] = {slot, block};
    } else {
        if (ix.count >= LIBRARY_INDEX_CAPACITY)
            return;
        std::memmove(&ix.entries[pos + 1], &ix.entries[pos], size_t(ix.count - pos) * sizeof ix.entries[0]);
        ix.entries[pos] = {slot, block};
        ++ix.count;
        LibIndexShift(pos, Shift);
    }
    SymbolLinkBlockMembers(block, slot);
}

void SymbolIndexRemoveOwn(Unit *block)
{
    OwnBlockIndex &ix = g_OwnBlockIndex;
    for (int32_t i = 0; i < ix.count; ++i) {
        if (ix.blocks[i] != block)
            continue;
        FileSetModified();
        SymbolBrowseFreeIfLibrary(LIBRARY_INDEX_OWN);
        std::memmove(&ix.blocks[i], &ix.blocks[i + 1], size_t(ix.count - i - 1) * sizeof ix.blocks[0]);
        --ix.count;
        ix.blocks[ix.count] = nullptr;
        OwnIndexShift(i, Unshift);
        return;
    }
}

void SymbolIndexRemoveLibrary(int32_t slot, Unit *block)
{
    LibraryBlockIndex &ix = g_LibraryBlockIndex;
    for (int32_t i = 0; i < ix.count; ++i) {
        if (ix.entries[i].slot != slot || lstrcmpA(ix.entries[i].block->block.name, block->block.name) != 0)
            continue;
        SymbolMarkModified(slot);
        SymbolBrowseFreeIfLibrary(slot);
        std::memmove(&ix.entries[i], &ix.entries[i + 1], size_t(ix.count - i - 1) * sizeof ix.entries[0]);
        --ix.count;
        ix.entries[ix.count] = {-1, nullptr};
        LibIndexShift(i, Unshift);
        return;
    }
}

void SymbolLinkInstance(Unit *unit, int32_t owner)
{
    if (!IsReference(unit))
        return;
    UnitInstancePart &r = unit->instance;
    int32_t library = SymbolFindLibrary(r.library);
    if (owner != LIBRARY_INDEX_OWN && lstrcmpA(r.library, SYMBOL_OWN_LIBRARY) == 0)
        library = owner;
    r.libraryIndex = library;
    r.blockIndex = library < 0 ? UNIT_INDEX_UNRESOLVED : SymbolFindBlockIndex(library, r.block, 0);
    if (r.unresolved != INSTANCE_CLOSES_CYCLE)
        r.unresolved = r.blockIndex < 0 ? 1 : 0;
}

void SymbolLinkObjectElements(Unit *object, int32_t owner)
{
    if (object->kind != UNIT_KIND_OBJECT)
        return;
    bool reframe = false;
    UnitForEachElement(object, [&](Element *e) {
        if (e->kind == ELEM_CLIP_SURFACE) {
            auto *c = static_cast<ClipSurfaceData *>(ElementPayload(e));
            int32_t library = SymbolFindLibrary(c->library);
            if (owner != LIBRARY_INDEX_OWN && lstrcmpA(c->library, SYMBOL_OWN_LIBRARY) == 0)
                library = owner;
            c->libraryIndex = library;
            c->blockIndex = library < 0 ? UNIT_INDEX_UNRESOLVED : SymbolFindBlockIndex(library, c->block, 0);
            c->unresolved = c->blockIndex < 0 ? 1 : 0;
        } else if (e->kind == ELEM_DIM_LARGE || e->kind == ELEM_DIM_SMALL || e->kind == ELEM_TEXT_STANDARD) {
            reframe = true;
        }
    });
    if (reframe)
        FrameCalcObject(object, 1);
}

void SymbolLinkBlockMembers(Unit *block, int32_t library)
{
    for (Unit *m = block->block.firstMember; m; m = m->next) {
        if (m->kind == UNIT_KIND_OBJECT)
            SymbolLinkObjectElements(m, library);
        else
            SymbolLinkInstance(m, library);
    }
}

void SymbolLinkAll()
{
    for (int slot = 0; slot < g_LibrarySlots.count && slot < SYMBOL_LIBRARY_SLOTS; ++slot)
        for (Unit *b = g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST + slot].head; b; b = b->next)
            if (b->kind == UNIT_KIND_BLOCK)
                SymbolLinkBlockMembers(b, slot);
    for (Unit *b = g_ObjectLists[LIST_OWN_BLOCKS].head; b; b = b->next)
        if (b->kind == UNIT_KIND_BLOCK)
            SymbolLinkBlockMembers(b, LIBRARY_INDEX_OWN);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
        if (u->kind == UNIT_KIND_OBJECT)
            SymbolLinkObjectElements(u, LIBRARY_INDEX_OWN);
        else
            SymbolLinkInstance(u, LIBRARY_INDEX_OWN);
    }
}

void SymbolRefreshList(int list)
{
    if (list == LIST_OWN_BLOCKS) {
        SymbolRebuildOwnIndex();
        FileSetModified();
    } else {
        SymbolRebuildLibraryIndex();
        SymbolMarkModified(list - LIST_SYMBOL_LIBRARY_FIRST);
    }
    SymbolLinkAll();
    SymbolRecalcFrames();
}

void SymbolSortLibraries()
{
    LibraryTable &t = g_LibrarySlots;
    auto swap = [&](int i, int j) {
        if (i == j)
            return;
        const LibrarySlot keep = t.slots[i];
        t.slots[i] = t.slots[j];
        t.slots[j] = keep;
        MemSwapLists(LIST_SYMBOL_LIBRARY_FIRST + i, LIST_SYMBOL_LIBRARY_FIRST + j);
    };
    const int n = t.count < SYMBOL_LIBRARY_SLOTS ? t.count : SYMBOL_LIBRARY_SLOTS;
    int named = 0;
    for (int i = 0; i < n; ++i) {
        int best = -1;
        for (int j = i; j < n; ++j)
            if (t.slots[j].info.title[0] && (best < 0 || lstrcmpA(t.slots[j].info.title, t.slots[best].info.title) < 0))
                best = j;
        if (best < 0)
            break;
        swap(i, best);
        ++named;
    }
    t.count = named;
    SymbolBrowseFree();
    FileExitNameCache();
}

// ---------------------------------------------------------------------------
// On-demand loading

namespace {

constexpr int LOAD_LIST_CAPACITY = 1000;

struct LoadList {
    char (*names)[UNIT_NAME_SIZE];
    int count;
    int32_t slot; // the round's library, -1 none yet
};
LoadList g_LoadList{nullptr, 0, -1};

bool CanLoad(int32_t slot)
{
    return ValidSlot(slot) && g_LibrarySlots.slots[slot].caching && g_LibrarySlots.slots[slot].load;
}

// Adds the name to the round when the reference misses a loadable block.
void CollectName(const char *library, const char *block, int32_t container, int32_t &unresolved)
{
    int32_t index = SymbolFindLibrary(library);
    if (lstrcmpA(library, SYMBOL_OWN_LIBRARY) == 0) {
        if (container < LIST_SYMBOL_LIBRARY_FIRST)
            return; // the drawing's own blocks are never loaded
        index = container - LIST_SYMBOL_LIBRARY_FIRST;
    }
    if (index < 0 || index == LIBRARY_INDEX_OWN || unresolved == 1 || unresolved == INSTANCE_CLOSES_CYCLE ||
        SymbolFindBlockIndex(index, block, 1) >= 0)
        return;
    LoadList &l = g_LoadList;
    if (l.slot < 0) {
        if (!CanLoad(index))
            return;
        l.slot = index;
    }
    if (index != l.slot || l.count >= LOAD_LIST_CAPACITY)
        return;
    for (int i = 0; i < l.count; ++i)
        if (lstrcmpA(l.names[i], block) == 0)
            return;
    lstrcpynA(l.names[l.count++], block, UNIT_NAME_SIZE);
    unresolved = 1;
}

void CollectUnit(Unit *u, int32_t container)
{
    if (IsReference(u)) {
        CollectName(u->instance.library, u->instance.block, container, u->instance.unresolved);
    } else if (u->kind == UNIT_KIND_OBJECT) {
        UnitForEachElement(u, [&](Element *e) {
            if (e->kind == ELEM_CLIP_SURFACE) {
                auto *c = static_cast<ClipSurfaceData *>(ElementPayload(e));
                CollectName(c->library, c->block, container, c->unresolved);
            }
        });
    }
}

} // namespace

void SymbolLoadMissingBlocks(char (*libraries)[UNIT_NAME_SIZE], char (*blocks)[UNIT_NAME_SIZE], int count)
{
    for (int i = 0; i < g_CharLibrarySlots.count && i < CHAR_LIBRARY_SLOTS; ++i)
        for (Unit *b = g_ObjectLists[LIST_CHAR_LIBRARY_FIRST + i].head; b; b = b->next)
            if (b->kind == UNIT_KIND_BLOCK)
                FrameCalcBlock(b, 1);
    TempBlock<char[UNIT_NAME_SIZE]> names(LOAD_LIST_CAPACITY, __FILE_NAME__, __LINE__);
    if (!names)
        return;
    LoadList &l = g_LoadList;
    l.names = names.get();
    for (;;) {
        l.count = 0;
        l.slot = -1;
        for (int i = 0; libraries && blocks && i < count; ++i) {
            if (!libraries[i][0] || !blocks[i][0])
                continue;
            const int32_t index = SymbolFindLibrary(libraries[i]);
            if (l.slot < 0 && CanLoad(index))
                l.slot = index;
            if (l.slot < 0 || index != l.slot || l.count >= LOAD_LIST_CAPACITY)
                continue;
            lstrcpynA(l.names[l.count++], blocks[i], UNIT_NAME_SIZE);
            libraries[i][0] = blocks[i][0] = 0;
        }
        for (int slot = 0; slot < g_LibrarySlots.count && slot < SYMBOL_LIBRARY_SLOTS; ++slot)
            for (Unit *b = g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST + slot].head; b; b = b->next)
                if (b->kind == UNIT_KIND_BLOCK)
                    for (Unit *m = b->block.firstMember; m; m = m->next)
                        CollectUnit(m, LIST_SYMBOL_LIBRARY_FIRST + slot);
        for (Unit *b = g_ObjectLists[LIST_OWN_BLOCKS].head; b; b = b->next)
            if (b->kind == UNIT_KIND_BLOCK)
                for (Unit *m = b->block.firstMember; m; m = m->next)
                    CollectUnit(m, LIST_OWN_BLOCKS);
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            CollectUnit(u, -1);
        if (!l.count || !ValidSlot(l.slot))
            break;
        if (!FileLoadLibraryBlocks(l.slot, l.names, l.count))
            break;
        SymbolRebuildLibraryIndex();
    }
    l.names = nullptr;
    l.count = 0;
    SymbolLinkAll();
    SymbolRecalcFrames();
}

void SymbolLoadAllMissing() { SymbolLoadMissingBlocks(nullptr, nullptr, 0); }

void SymbolLoadBlocks(char (*libraries)[UNIT_NAME_SIZE], char (*blocks)[UNIT_NAME_SIZE], int count)
{
    SymbolLoadMissingBlocks(libraries, blocks, count);
}

Unit *SymbolFindBlockLoading(const char *library, const char *block)
{
    Unit *found = SymbolFindBlock(library, block);
    if (found || !CanLoad(SymbolFindLibrary(library)))
        return found;
    char libraries[1][UNIT_NAME_SIZE], blocks[1][UNIT_NAME_SIZE];
    lstrcpynA(libraries[0], library, UNIT_NAME_SIZE);
    lstrcpynA(blocks[0], block, UNIT_NAME_SIZE);
    SymbolLoadMissingBlocks(libraries, blocks, 1);
    return SymbolFindBlock(library, block);
}

void SymbolResetLoadFlags()
{
    ForEachReferenceUnit([](Unit *u, bool) {
        if (IsReference(u)) {
            if (u->instance.unresolved == 1)
                u->instance.unresolved = 0;
        } else {
            UnitForEachElement(u, [](Element *e) {
                if (e->kind == ELEM_CLIP_SURFACE)
                    static_cast<ClipSurfaceData *>(ElementPayload(e))->unresolved = 0;
            });
        }
    });
}
