#include "database/symbol_charlib.h"

#include <windows.h>

#include <cstring>

#include "app/convert.h"
#include "database/symbol_block.h"

CharLibraryTable g_CharLibrarySlots;

namespace {

int ListOf(int slot)
{
    return LIST_CHAR_LIBRARY_FIRST + slot;
}

bool ValidLibrary(int library)
{
    return library >= 0 && library < g_CharLibrarySlots.count && library < CHAR_LIBRARY_SLOTS;
}

void SwapSlots(int i, int j)
{
    if (i == j)
        return;
    CharLibrarySlot t = g_CharLibrarySlots.slots[i];
    g_CharLibrarySlots.slots[i] = g_CharLibrarySlots.slots[j];
    g_CharLibrarySlots.slots[j] = t;
    MemSwapLists(ListOf(i), ListOf(j));
}

} // namespace

void SymbolInitCharLibraries()
{
    std::memset(&g_CharLibrarySlots, 0, sizeof g_CharLibrarySlots);
}

int SymbolFindCharLibrary(const FontDef *font)
{
    for (int i = 0; i < g_CharLibrarySlots.count && i < CHAR_LIBRARY_SLOTS; ++i)
        if (g_CharLibrarySlots.slots[i].info.title[0] && lstrcmpA(g_CharLibrarySlots.slots[i].info.title, font->face) == 0)
            return i;
    return -1;
}

int SymbolFindCharLibraryName(const char *name)
{
    for (int i = 0; i < g_CharLibrarySlots.count && i < CHAR_LIBRARY_SLOTS; ++i)
        if (g_CharLibrarySlots.slots[i].info.title[0] && lstrcmpiA(g_CharLibrarySlots.slots[i].info.title, name) == 0)
            return i;
    return -1;
}

Unit *SymbolGetCharBlock(int library, int code)
{
    if (!ValidLibrary(library) || code < CHAR_CODE_FIRST || code > CHAR_CODE_LAST)
        return nullptr;
    return g_CharLibrarySlots.slots[library].characters[code - CHAR_CODE_FIRST];
}

void SymbolIndexCharLibraries()
{
    for (int i = 0; i < CHAR_LIBRARY_SLOTS; ++i) {
        CharLibrarySlot &slot = g_CharLibrarySlots.slots[i];
        std::memset(slot.characters, 0, sizeof slot.characters);
        if (i >= g_CharLibrarySlots.count)
            continue;
        for (Unit *u = g_ObjectLists[ListOf(i)].head; u; u = u->next) {
            if (u->kind != UNIT_KIND_BLOCK)
                continue;
            const int code = ConvertStringToIntPlain(u->block.name);
            if (code >= CHAR_CODE_FIRST && code <= CHAR_CODE_LAST)
                slot.characters[code - CHAR_CODE_FIRST] = u;
        }
    }
}

void SymbolSortCharLibraries()
{
    int named = 0;
    for (int i = 0; i < CHAR_LIBRARY_SLOTS; ++i) {
        if (!g_CharLibrarySlots.slots[i].info.title[0])
            continue;
        SwapSlots(named, i);
        ++named;
    }
    for (int i = 0; i < named; ++i) {
        int least = i;
        for (int j = i + 1; j < named; ++j)
            if (lstrcmpA(g_CharLibrarySlots.slots[j].info.title, g_CharLibrarySlots.slots[least].info.title) < 0)
                least = j;
        SwapSlots(i, least);
    }
    g_CharLibrarySlots.count = named;
}

void SymbolClearCharLibrary(int slot)
{
    if (slot < 0 || slot >= CHAR_LIBRARY_SLOTS)
        return;
    SymbolClearBlocks(ListOf(slot));
    std::memset(g_CharLibrarySlots.slots[slot].characters, 0, sizeof g_CharLibrarySlots.slots[slot].characters);
}
