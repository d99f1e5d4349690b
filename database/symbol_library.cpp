#include "database/symbol_library.h"

#include <cstring>

static LibraryTable MakeEmptyTable()
{
    LibraryTable table{};
    for (LibrarySlot &slot : table.slots)
        SymbolFreeLibrarySlot(&slot);
    return table;
}

LibraryTable g_LibrarySlots = MakeEmptyTable();

void SymbolFreeLibrarySlot(LibrarySlot *slot)
{
    std::memset(slot, 0, sizeof *slot);
    slot->caching = slot->load = slot->save = 1;
}
