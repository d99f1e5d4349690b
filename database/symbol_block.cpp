// Own blocks, their members and instances; the own-block index.
#include "database/object_rects.h"
#include "geometry/frame.h"
#include "database/symbol_block.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/init.h"
#include "database/init.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "database/symbol_library.h"
#include "database/symbol_undo.h"
#include "database/undo.h"

namespace {

bool FitsName(const char *name)
{
    return name && name[0] && std::strlen(name) < size_t(UNIT_NAME_SIZE);
}

} // namespace

Unit *SymbolNewBlock(int list, const char *name)
{
    if (!FitsName(name))
        return nullptr;
    uint8_t record[UNIT_ELEMENTS_BLOCK + ELEM_SIZE_END] = {};
    Unit *u = reinterpret_cast<Unit *>(record);
    u->kind = UNIT_KIND_BLOCK;
    u->property = XPropertyDefault();
    std::strcpy(u->block.name, name);
    u->bytes = sizeof record;
    InitElementEnd(UnitFirstElement(u));
    Unit *stored = MemListNewCopyAfter(list, record, sizeof record, nullptr);
    if (!stored)
        return nullptr;
    UndoStampPermanent(stored);
    stored->ident = BLOCK_STATE_UNCHANGED;
    stored->block.firstMember = stored->block.lastMember = nullptr;
    for (int i = 0; i < 4; ++i)
        stored->frame[i] = 0.0;
    return stored;
}

Unit *SymbolAddMember(int list, Unit *block, const Unit *record)
{
    if (!block || block->kind != UNIT_KIND_BLOCK || !record)
        return nullptr;
    if (record->kind != UNIT_KIND_OBJECT && record->kind != UNIT_KIND_INSTANCE && record->kind != UNIT_KIND_PLUGIN)
        return nullptr;
    Unit *member = MemChainAppend(list, block, record, record->bytes);
    if (member)
        UndoStampPermanent(member);
    return member;
}

uint32_t SymbolMakeInstance(Unit *buffer, uint32_t capacity, const char *library, const char *blockName,
                            const Matrix *placement)
{
    const uint32_t bytes = UNIT_ELEMENTS_INSTANCE + ELEM_SIZE_END;
    if (capacity < bytes || !FitsName(library) || !FitsName(blockName))
        return 0;
    std::memset(buffer, 0, bytes);
    buffer->kind = UNIT_KIND_INSTANCE;
    buffer->property = XPropertyDefault();
    std::strcpy(buffer->instance.library, library);
    std::strcpy(buffer->instance.block, blockName);
    buffer->instance.placement = *placement;
    buffer->instance.libraryIndex = UNIT_INDEX_UNRESOLVED;
    buffer->instance.blockIndex = UNIT_INDEX_UNRESOLVED;
    FrameSetEmpty(buffer->frame);
    InitElementEnd(UnitFirstElement(buffer));
    buffer->bytes = bytes;
    return bytes;
}

void SymbolRebuildOwnIndex()
{
    // Sorted once, not inserted one by one: a drawing may hold 20000 blocks.
    std::vector<Unit *> blocks;
    blocks.reserve(g_ObjectLists[LIST_OWN_BLOCKS].count);
    for (Unit *u = g_ObjectLists[LIST_OWN_BLOCKS].head; u; u = u->next)
        if (u->kind == UNIT_KIND_BLOCK)
            blocks.push_back(u);
    std::stable_sort(blocks.begin(), blocks.end(),
                     [](const Unit *a, const Unit *b) { return lstrcmpA(a->block.name, b->block.name) < 0; });
    // With duplicate names the first block in list order stays indexed.
    blocks.erase(std::unique(blocks.begin(), blocks.end(),
                             [](const Unit *a, const Unit *b) { return lstrcmpA(a->block.name, b->block.name) == 0; }),
                 blocks.end());
    OwnBlockIndex &index = g_OwnBlockIndex;
    index.count = int32_t(std::min<size_t>(blocks.size(), OWN_BLOCK_INDEX_CAPACITY));
    std::copy(blocks.begin(), blocks.begin() + index.count, index.blocks);
    if (index.count < OWN_BLOCK_INDEX_CAPACITY)
        index.blocks[index.count] = nullptr;
    if (blocks.size() > size_t(OWN_BLOCK_INDEX_CAPACITY))
        InitErrorBox(__FILE_NAME__, __LINE__, "More than 20000 own blocks: the further blocks are not indexed");
}

void SymbolRecalcFrames()
{
    auto blocksOf = [](int list) {
        for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
            if (u->kind == UNIT_KIND_BLOCK)
                FrameCalcBlock(u, 1);
    };
    for (int slot = 0; slot < g_LibrarySlots.count && slot < SYMBOL_LIBRARY_SLOTS; ++slot)
        blocksOf(LIST_SYMBOL_LIBRARY_FIRST + slot);
    blocksOf(LIST_OWN_BLOCKS);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN)
            FrameCalcInstance(u, 0);
}

void SymbolClearBlocks(int list)
{
    Unit *u = g_ObjectLists[list].head;
    while (u)
        u = SymbolDeleteBlock(list, u);
    if (list == LIST_OWN_BLOCKS)
        g_OwnBlockIndex.count = 0;
}

namespace {

// An instance member of a block that names a block of the same list.
struct BlockUse {
    int to;
    Unit *member;
};

// Walks the graph block -> the blocks its members' instances name, depth
// first from each block in list order, and calls closes(block entered again,
// the member instance that enters it) for every use that re-enters a block on
// the current path. Uses already broken are not followed. Stops early when
// closes returns false.
template <class Closes>
void WalkCycles(int list, Closes closes)
{
    std::vector<Unit *> blocks;
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
        if (u->kind == UNIT_KIND_BLOCK)
            blocks.push_back(u);
    const size_t n = blocks.size();
    // Names looked up through a sorted copy: thousands of blocks each with
    // many instances must not cost a scan per member.
    std::vector<int> byName(n);
    for (size_t i = 0; i < n; ++i)
        byName[i] = int(i);
    std::stable_sort(byName.begin(), byName.end(),
                     [&](int a, int b) { return std::strcmp(blocks[a]->block.name, blocks[b]->block.name) < 0; });
    auto indexOf = [&](const char *name) -> int {
        auto it = std::lower_bound(byName.begin(), byName.end(), name,
                                   [&](int i, const char *key) { return std::strcmp(blocks[i]->block.name, key) < 0; });
        return it != byName.end() && std::strcmp(blocks[*it]->block.name, name) == 0 ? *it : -1;
    };
    std::vector<std::vector<BlockUse>> uses(n);
    for (size_t i = 0; i < n; ++i)
        for (Unit *m = blocks[i]->block.firstMember; m; m = m->next)
            if ((m->kind == UNIT_KIND_INSTANCE || m->kind == UNIT_KIND_PLUGIN) &&
                m->instance.unresolved != INSTANCE_CLOSES_CYCLE &&
                (list != LIST_OWN_BLOCKS || lstrcmpA(m->instance.library, SYMBOL_OWN_LIBRARY) == 0)) {
                const int j = indexOf(m->instance.block);
                if (j >= 0)
                    uses[i].push_back({j, m});
            }
    // Without recursion; colour 1 = on the current path, 2 = done.
    std::vector<int> colour(n, 0);
    for (size_t start = 0; start < n; ++start) {
        if (colour[start])
            continue;
        std::vector<std::pair<int, size_t>> stack{{int(start), 0}};
        colour[start] = 1;
        while (!stack.empty()) {
            auto &[node, next] = stack.back();
            if (next < uses[node].size()) {
                const BlockUse use = uses[node][next++];
                if (colour[use.to] == 1) {
                    if (!closes(blocks[use.to], use.member))
                        return;
                } else if (colour[use.to] == 0) {
                    colour[use.to] = 1;
                    stack.push_back({use.to, 0});
                }
            } else {
                colour[node] = 2;
                stack.pop_back();
            }
        }
    }
}

} // namespace

Unit *SymbolFindSelfContaining(int list)
{
    Unit *found = nullptr;
    WalkCycles(list, [&](Unit *block, Unit *) {
        found = block;
        return false;
    });
    return found;
}

int SymbolBreakCycles(int list, Unit **firstBlock)
{
    int broken = 0;
    WalkCycles(list, [&](Unit *block, Unit *member) {
        if (!broken && firstBlock)
            *firstBlock = block;
        member->instance.unresolved = INSTANCE_CLOSES_CYCLE;
        ++broken;
        return true;
    });
    return broken;
}
