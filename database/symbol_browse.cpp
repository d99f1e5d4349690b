// Folder and block lists below a prefix, for the library dialogs and the
// symbol window.
#include "database/symbol_browse.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "database/init.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "files/file_library.h"

namespace {

using Name = char[UNIT_NAME_SIZE];

struct BrowseState {
    int32_t library = -1;
    char prefix[UNIT_NAME_SIZE] = {};
    Name *folders = nullptr;
    int32_t folderCount = 0;
    Name *blocks = nullptr;
    int32_t blockCount = 0;
};
BrowseState g_BlockBrowse;

// A working array of full names in ascending order without duplicates.
struct NameArray {
    Name *names;
    int32_t count;
    int32_t capacity;
};

bool Below(const char *prefix, const char *name, bool *found)
{
    const size_t n = std::strlen(prefix);
    if (n && lstrcmpA(name, prefix) == 0)
        *found = true;
    if (std::strlen(name) <= n || std::strncmp(name, prefix, n) != 0)
        return false;
    return true;
}

void InsertName(NameArray &a, const char *name, size_t length)
{
    char key[UNIT_NAME_SIZE];
    if (length >= sizeof key)
        return;
    std::memcpy(key, name, length);
    key[length] = 0;
    const int32_t pos = SymbolNameInsertPos(a.names, a.count, key);
    if (pos < 0 || a.count >= a.capacity)
        return;
    std::memmove(&a.names[pos + 1], &a.names[pos], size_t(a.count - pos) * sizeof(Name));
    std::memcpy(a.names[pos], key, length + 1);
    ++a.count;
}

void RemoveName(NameArray &a, const char *name)
{
    for (int32_t i = 0; i < a.count; ++i)
        if (lstrcmpA(a.names[i], name) == 0) {
            std::memmove(&a.names[i], &a.names[i + 1], size_t(a.count - i - 1) * sizeof(Name));
            --a.count;
            return;
        }
}

void AddFolder(NameArray &a, const char *prefix, const char *name, bool *found)
{
    if (!Below(prefix, name, found))
        return;
    const char *slash = std::strchr(name + std::strlen(prefix), '\\');
    if (slash)
        InsertName(a, name, size_t(slash - name) + 1);
}

void AddBlock(NameArray &a, const char *prefix, const char *name, bool *found)
{
    if (!Below(prefix, name, found))
        return;
    if (!std::strchr(name + std::strlen(prefix), '\\'))
        InsertName(a, name, std::strlen(name));
}

// The working arrays while SymbolBrowseLibrary builds the lists: the names
// a library file hands over go into them.
struct BrowseWork {
    NameArray *folders = nullptr;
    NameArray *blocks = nullptr;
    bool found = false;
};
BrowseWork g_BrowseWork;

// The held copy of a working array, each name without the prefix.
Name *HoldRelative(const NameArray &a, size_t cut, bool *failed)
{
    if (!a.count)
        return nullptr;
    Name *held = static_cast<Name *>(mem_alloc_temp(uint32_t(a.count) * sizeof(Name), __FILE_NAME__, __LINE__));
    if (!held) {
        *failed = true;
        return nullptr;
    }
    for (int32_t i = 0; i < a.count; ++i)
        lstrcpynA(held[i], a.names[i] + cut, UNIT_NAME_SIZE);
    return held;
}

} // namespace

int SymbolBrowseLibrary(const char *library, const char *prefix, int force)
{
    BrowseState &s = g_BlockBrowse;
    const int32_t index = SymbolFindLibrary(library);
    if (!prefix || std::strlen(prefix) >= UNIT_NAME_SIZE)
        return 0;
    if (!force && index == s.library && std::strcmp(prefix, s.prefix) == 0)
        return 1;
    SymbolBrowseFree();
    const int list = SymbolListOfLibrary(index);
    if (list < 0)
        return 0;
    const int32_t capacity =
        index == LIBRARY_INDEX_OWN ? int32_t(g_ObjectLists[LIST_OWN_BLOCKS].count) : LIBRARY_INDEX_CAPACITY;
    TempBlock<Name> folderWork(uint32_t(capacity ? capacity : 1), __FILE_NAME__, __LINE__);
    TempBlock<Name> blockWork(uint32_t(capacity ? capacity : 1), __FILE_NAME__, __LINE__);
    if (!folderWork || !blockWork)
        return 0;
    NameArray folders{folderWork.get(), 0, capacity};
    NameArray blocks{blockWork.get(), 0, capacity};
    BrowseWork &work = g_BrowseWork;
    work = BrowseWork{&folders, &blocks, false};
    auto add = [&](const char *name) {
        SymbolBrowseAddFolder(prefix, name);
        SymbolBrowseAddBlock(prefix, name);
    };
    if (index == LIBRARY_INDEX_OWN) {
        for (int32_t i = 0; i < g_OwnBlockIndex.count; ++i)
            add(g_OwnBlockIndex.blocks[i]->block.name);
    } else {
        // A caching library lists what its file holds without loading it;
        // a file that cannot be read (said by the reader) gives no names.
        const LibrarySlot &slot = g_LibrarySlots.slots[index];
        if (slot.caching && slot.load && !FileIndexLibraryBlocks(slot.path, prefix, index)) {
            folders.count = blocks.count = 0;
            work.found = false;
        }
        for (int32_t i = 0; i < g_LibraryBlockIndex.count; ++i) {
            const LibraryIndexEntry &e = g_LibraryBlockIndex.entries[i];
            if (e.slot != index)
                continue;
            if (e.block->ident & 0x2)
                RemoveName(blocks, e.block->block.name);
            else
                add(e.block->block.name);
        }
    }
    const bool found = work.found;
    work = BrowseWork{};
    bool failed = false;
    const size_t cut = std::strlen(prefix);
    s.folders = HoldRelative(folders, cut, &failed);
    s.folderCount = s.folders ? folders.count : 0;
    s.blocks = HoldRelative(blocks, cut, &failed);
    s.blockCount = s.blocks ? blocks.count : 0;
    s.library = index;
    std::strcpy(s.prefix, prefix);
    return !failed && (found || s.folderCount || s.blockCount) ? 1 : 0;
}

void SymbolBrowseAddFolder(const char *prefix, const char *name)
{
    BrowseWork &w = g_BrowseWork;
    if (w.folders)
        AddFolder(*w.folders, prefix, name, &w.found);
}

void SymbolBrowseAddBlock(const char *prefix, const char *name)
{
    BrowseWork &w = g_BrowseWork;
    if (w.blocks)
        AddBlock(*w.blocks, prefix, name, &w.found);
}

void SymbolBrowseReset()
{
    g_BlockBrowse = BrowseState{};
}

void SymbolBrowseFree()
{
    if (g_BlockBrowse.folders)
        mem_free_temp(g_BlockBrowse.folders, __FILE_NAME__, __LINE__);
    if (g_BlockBrowse.blocks)
        mem_free_temp(g_BlockBrowse.blocks, __FILE_NAME__, __LINE__);
    SymbolBrowseReset();
}

void SymbolBrowseFreeIfLibrary(int32_t library)
{
    if (g_BlockBrowse.library == library)
        SymbolBrowseFree();
}

int SymbolBrowseFolderCount() { return g_BlockBrowse.folderCount; }
int SymbolBrowseBlockCount() { return g_BlockBrowse.blockCount; }

const char *SymbolBrowseFolderName(int i)
{
    return i >= 0 && i < g_BlockBrowse.folderCount ? g_BlockBrowse.folders[i] : nullptr;
}

const char *SymbolBrowseBlockName(int i)
{
    return i >= 0 && i < g_BlockBrowse.blockCount ? g_BlockBrowse.blocks[i] : nullptr;
}

// ---------------------------------------------------------------------------
// What a library allows, and upkeep

namespace {

const LibrarySlot *SlotOf(const char *library, int32_t *index)
{
    *index = SymbolFindLibrary(library);
    return *index >= 0 && *index != LIBRARY_INDEX_OWN ? &g_LibrarySlots.slots[*index] : nullptr;
}

} // namespace

int SymbolLibraryIsEditable(const char *library)
{
    int32_t index;
    const LibrarySlot *s = SlotOf(library, &index);
    if (index == LIBRARY_INDEX_OWN)
        return 1;
    return s && s->save && !s->caching ? 1 : 0;
}

int SymbolCanEditBlock(const char *library, const char *block)
{
    return SymbolLibraryIsEditable(library) && SymbolFindBlock(library, block) ? 1 : 0;
}

int SymbolLibraryIsCaching(const char *library)
{
    int32_t index;
    const LibrarySlot *s = SlotOf(library, &index);
    return s ? int(s->caching) : 0;
}

int SymbolLibraryIsWritable(const char *library)
{
    int32_t index;
    const LibrarySlot *s = SlotOf(library, &index);
    if (index == LIBRARY_INDEX_OWN)
        return 1;
    return s ? int(s->save) : 0;
}

int SymbolBlockExists(const char *library, const char *block)
{
    return SymbolFindBlockIndex(SymbolFindLibrary(library), block, 0) >= 0 ? 1 : 0;
}

int SymbolDeleteBlockByName(const char *library, const char *block)
{
    int32_t index;
    const LibrarySlot *s = SlotOf(library, &index);
    Unit *b = SymbolFindBlock(library, block);
    if (!b)
        return 0;
    if (index == LIBRARY_INDEX_OWN) {
        if (SymbolIsBlockUsed(block))
            return 0;
        SymbolIndexRemoveOwn(b);
        SymbolDeleteBlock(LIST_OWN_BLOCKS, b);
        return 1;
    }
    const int list = SymbolListOfLibrary(index);
    SymbolIndexRemoveLibrary(index, b);
    if (s->caching) {
        // The stub stays findable "with deleted", so that saving drops the block from the file.
        SymbolEmptyBlock(list, b);
        SymbolIndexAddLibrary(index, b);
    } else {
        SymbolDeleteBlock(list, b);
    }
    return 1;
}

int SymbolRenameBlock(const char *library, const char *oldName, const char *newName)
{
    int32_t index;
    const LibrarySlot *s = SlotOf(library, &index);
    const int list = SymbolListOfLibrary(index);
    Unit *b = SymbolFindBlock(library, oldName);
    if (!b || !newName || !newName[0] || std::strlen(newName) >= size_t(UNIT_NAME_SIZE))
        return 0;
    if (SymbolFindBlockIndex(index, newName, 1) >= 0)
        return 0;
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
        if (u->kind == UNIT_KIND_BLOCK && lstrcmpA(u->block.name, newName) == 0)
            return 0;
    if (s && s->caching) {
        std::vector<uint8_t> stub(UNIT_ELEMENTS_BLOCK + ELEM_SIZE_END);
        std::memcpy(stub.data(), b, UNIT_ELEMENTS_BLOCK);
        Unit *record = reinterpret_cast<Unit *>(stub.data());
        record->bytes = uint32_t(stub.size());
        InitElementEnd(UnitFirstElement(record));
        Unit *copy = MemListNewCopyAfter(list, stub.data(), record->bytes, nullptr);
        if (!copy)
            return 0;
        copy->block.firstMember = copy->block.lastMember = nullptr;
        copy->ident = BLOCK_STATE_DELETED;
    }
    lstrcpynA(b->block.name, newName, UNIT_NAME_SIZE);
    b->ident = BLOCK_STATE_CHANGED;
    SymbolRefreshList(list);
    return 1;
}

int SymbolCopyBlock(const char *sourceLibrary, const char *targetLibrary, const char *sourceName,
                    const char *targetName, int overwrite)
{
    if (lstrcmpA(sourceLibrary, targetLibrary) == 0 && lstrcmpA(sourceName, targetName) == 0)
        return 1;
    const int32_t target = SymbolFindLibrary(targetLibrary);
    const int list = SymbolListOfLibrary(target);
    if (list < 0 || !targetName || !targetName[0] || std::strlen(targetName) >= size_t(UNIT_NAME_SIZE))
        return 0;
    Unit *existing = SymbolFindBlock(targetLibrary, targetName);
    if (existing && !overwrite)
        return 1;
    Unit *source = SymbolFindBlock(sourceLibrary, sourceName);
    if (!source)
        return 0;
    Unit *copy = MemListNewCopyAfter(list, source, source->bytes, nullptr);
    if (!copy)
        return 0;
    copy->block.firstMember = copy->block.lastMember = nullptr;
    for (Unit *m = source->block.firstMember; m; m = m->next)
        if (!MemChainAppend(list, copy, m, m->bytes)) {
            SymbolDeleteBlock(list, copy);
            return 0;
        }
    lstrcpynA(copy->block.name, targetName, UNIT_NAME_SIZE);
    copy->ident = BLOCK_STATE_CHANGED;
    if (existing) {
        if (target == LIBRARY_INDEX_OWN)
            SymbolIndexRemoveOwn(existing);
        else
            SymbolIndexRemoveLibrary(target, existing);
        SymbolDeleteBlock(list, existing);
    }
    if (target == LIBRARY_INDEX_OWN)
        SymbolIndexAddOwn(copy);
    else
        SymbolIndexAddLibrary(target, copy);
    return 1;
}

namespace {

bool Begins(const char *name, const char *prefix) { return std::strncmp(name, prefix, std::strlen(prefix)) == 0; }

} // namespace

int SymbolDeleteFolder(const char *library, const char *prefix)
{
    const int32_t index = SymbolFindLibrary(library);
    const int list = SymbolListOfLibrary(index);
    if (list < 0 || !prefix)
        return 0;
    // Own blocks that the drawing uses would vanish from it: refused.
    if (index == LIBRARY_INDEX_OWN)
        for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
            if (u->kind == UNIT_KIND_BLOCK && Begins(u->block.name, prefix) && SymbolIsBlockUsed(u->block.name))
                return 0;
    bool any = false;
    for (Unit *u = g_ObjectLists[list].head; u;) {
        if (u->kind == UNIT_KIND_BLOCK && Begins(u->block.name, prefix)) {
            u = SymbolDeleteBlock(list, u);
            any = true;
        } else {
            u = u->next;
        }
    }
    if (any)
        SymbolRefreshList(list);
    return 1;
}

int SymbolCanRenameFolder(const char *library, const char *oldPrefix, const char *newPrefix)
{
    if (std::strcmp(oldPrefix, newPrefix) == 0)
        return 1;
    const int list = SymbolListOfLibrary(SymbolFindLibrary(library));
    if (list < 0)
        return 0;
    const size_t oldLength = std::strlen(oldPrefix), newLength = std::strlen(newPrefix);
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next) {
        if (u->kind != UNIT_KIND_BLOCK)
            continue;
        if (Begins(u->block.name, newPrefix))
            return 0;
        if (Begins(u->block.name, oldPrefix) && std::strlen(u->block.name) - oldLength + newLength >= size_t(UNIT_NAME_SIZE))
            return 0;
    }
    return 1;
}

int SymbolRenameFolder(const char *library, const char *oldPrefix, const char *newPrefix)
{
    if (std::strcmp(oldPrefix, newPrefix) == 0)
        return 1;
    const int list = SymbolListOfLibrary(SymbolFindLibrary(library));
    if (list < 0 || !SymbolCanRenameFolder(library, oldPrefix, newPrefix))
        return 0;
    const size_t oldLength = std::strlen(oldPrefix);
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next) {
        if (u->kind != UNIT_KIND_BLOCK || !Begins(u->block.name, oldPrefix))
            continue;
        char renamed[UNIT_NAME_SIZE];
        std::snprintf(renamed, sizeof renamed, "%s%s", newPrefix, u->block.name + oldLength);
        std::strcpy(u->block.name, renamed);
        u->ident = BLOCK_STATE_CHANGED;
    }
    SymbolRefreshList(list);
    return 1;
}
