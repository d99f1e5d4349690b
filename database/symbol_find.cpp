#include "database/symbol_find.h"

#include <windows.h>

#include "database/storage.h"
#include "database/symbol_library.h"

Unit *SymbolFindBlock(const char *library, const char *blockName)
{
    if (!library || !blockName || lstrcmpA(library, SYMBOL_OWN_LIBRARY) != 0)
        return nullptr; // libraries are not loaded by this lookup yet
    for (Unit *u = g_ObjectLists[LIST_OWN_BLOCKS].head; u; u = u->next)
        if (u->kind == UNIT_KIND_BLOCK && u->ident != BLOCK_STATE_DELETED && lstrcmpA(u->block.name, blockName) == 0)
            return u;
    return nullptr;
}

Unit *SymbolGetInstanceBlock(Unit *instance)
{
    if (!instance || (instance->kind != UNIT_KIND_INSTANCE && instance->kind != UNIT_KIND_PLUGIN) ||
        instance->instance.unresolved == INSTANCE_CLOSES_CYCLE)
        return nullptr;
    return SymbolFindBlock(instance->instance.library, instance->instance.block);
}

int SymbolFindLibrary(const char *library)
{
    if (!library)
        return -1;
    if (lstrcmpA(library, SYMBOL_OWN_LIBRARY) == 0)
        return LIBRARY_INDEX_OWN;
    for (int i = 0; i < g_LibrarySlots.count && i < SYMBOL_LIBRARY_SLOTS; ++i)
        if (g_LibrarySlots.slots[i].info.title[0] && lstrcmpA(g_LibrarySlots.slots[i].info.title, library) == 0)
            return i;
    return -1;
}
