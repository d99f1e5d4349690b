#include "database/symbol_find.h"

#include <windows.h>

#include <cstring>

#include "database/storage.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"

namespace {

// Blocks created by a reader before its rebuild are not indexed yet: such a
// list is searched by name.
Unit *FindUnindexed(int list, const char *blockName)
{
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
        if (u->kind == UNIT_KIND_BLOCK && !(u->ident & 0x2) && lstrcmpA(u->block.name, blockName) == 0)
            return u;
    return nullptr;
}

uint32_t LibraryBlockCount()
{
    uint32_t n = 0;
    for (int slot = 0; slot < g_LibrarySlots.count && slot < SYMBOL_LIBRARY_SLOTS; ++slot)
        n += g_ObjectLists[LIST_SYMBOL_LIBRARY_FIRST + slot].count;
    return n;
}

bool IndexComplete(int32_t library)
{
    if (library == LIBRARY_INDEX_OWN)
        return g_ObjectLists[LIST_OWN_BLOCKS].count == uint32_t(g_OwnBlockIndex.count);
    return LibraryBlockCount() == uint32_t(g_LibraryBlockIndex.count);
}

// The cached reference still names the block it points to.
bool CacheHolds(int32_t library, int32_t blockIndex, const char *blockName, Unit **block)
{
    Unit *b = SymbolGetBlockByIndex(library, blockIndex);
    if (!b || std::strcmp(b->block.name, blockName) != 0)
        return false;
    if (library != LIBRARY_INDEX_OWN && g_LibraryBlockIndex.entries[blockIndex].slot != library)
        return false;
    *block = b;
    return true;
}

} // namespace

Unit *SymbolFindBlock(const char *library, const char *blockName)
{
    if (!library || !blockName)
        return nullptr;
    const int32_t index = SymbolFindLibrary(library);
    const int list = SymbolListOfLibrary(index);
    if (list < 0)
        return nullptr;
    const int32_t pos = SymbolFindBlockIndex(index, blockName, 0);
    if (pos >= 0)
        return SymbolGetBlockByIndex(index, pos);
    return IndexComplete(index) ? nullptr : FindUnindexed(list, blockName);
}

Unit *SymbolGetInstanceBlock(Unit *instance)
{
    if (!instance || (instance->kind != UNIT_KIND_INSTANCE && instance->kind != UNIT_KIND_PLUGIN) ||
        instance->instance.unresolved == INSTANCE_CLOSES_CYCLE)
        return nullptr;
    UnitInstancePart &r = instance->instance;
    Unit *block = nullptr;
    if (CacheHolds(r.libraryIndex, r.blockIndex, r.block, &block))
        return block;
    // Not linked yet, or linked before the index changed: resolve by name
    // ("*" inside a library block keeps the library it was linked to).
    int32_t library = r.libraryIndex;
    if (library < 0 || library == LIBRARY_INDEX_OWN || lstrcmpA(r.library, SYMBOL_OWN_LIBRARY) != 0)
        library = SymbolFindLibrary(r.library);
    const int list = SymbolListOfLibrary(library);
    if (list < 0)
        return nullptr;
    const int32_t pos = SymbolFindBlockIndex(library, r.block, 0);
    if (pos >= 0) {
        r.libraryIndex = library;
        r.blockIndex = pos;
        return SymbolGetBlockByIndex(library, pos);
    }
    return IndexComplete(library) ? nullptr : FindUnindexed(list, r.block);
}

int SymbolFindLibrary(const char *library)
{
    if (!library)
        return -1;
    if (lstrcmpA(library, SYMBOL_OWN_LIBRARY) == 0)
        return LIBRARY_INDEX_OWN;
    const int count = g_LibrarySlots.count < SYMBOL_LIBRARY_SLOTS ? g_LibrarySlots.count : SYMBOL_LIBRARY_SLOTS;
    for (int i = 0; i < count; ++i)
        if (g_LibrarySlots.slots[i].info.title[0] && lstrcmpA(g_LibrarySlots.slots[i].info.title, library) == 0)
            return i;
    return -1;
}
