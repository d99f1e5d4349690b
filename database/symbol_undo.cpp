// The block services the undo purge relies on.
#include "database/symbol_undo.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "database/object_types.h"
#include "database/storage.h"
#include "files/file_drawinginfo.h"
#include "files/file_records.h"

OwnBlockIndex g_OwnBlockIndex;

namespace {

constexpr int NESTING_PASSES = 20;
constexpr const char *OWN_LIBRARY = "*";

ClipSurfaceData *FindClipSurface(Unit *unit)
{
    if (unit->kind != UNIT_KIND_OBJECT || unit->object.type != OBJTYPE_CLIP)
        return nullptr;
    for (Element *e = UnitFirstElement(unit); e->kind != ELEM_END && e->size > 0; e = ElementNext(e))
        if (e->kind == ELEM_CLIP_SURFACE)
            return static_cast<ClipSurfaceData *>(ElementPayload(e));
    return nullptr;
}

// The own block that a unit refers to, or 0.
const char *OwnBlockUsedBy(Unit *unit)
{
    if (unit->kind == UNIT_KIND_INSTANCE || unit->kind == UNIT_KIND_PLUGIN)
        return lstrcmpA(unit->instance.library, OWN_LIBRARY) == 0 ? unit->instance.block : nullptr;
    if (const ClipSurfaceData *clip = FindClipSurface(unit))
        return lstrcmpA(clip->library, OWN_LIBRARY) == 0 ? clip->block : nullptr;
    return nullptr;
}

bool Contains(const std::vector<const char *> &names, const char *name)
{
    for (const char *n : names)
        if (lstrcmpA(n, name) == 0)
            return true;
    return false;
}

void AddName(std::vector<const char *> &names, const char *name)
{
    if (name && !Contains(names, name))
        names.push_back(name);
}

} // namespace

int SymbolIsBlockUsed(const char *blockName)
{
    if (!blockName)
        return 0;
    std::vector<const char *> used;
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
            AddName(used, OwnBlockUsedBy(u));
    }
    // Blocks used by used blocks; each pass reaches one level deeper.
    for (int pass = 0; pass < NESTING_PASSES; ++pass) {
        const size_t before = used.size();
        for (Unit *b = g_ObjectLists[LIST_OWN_BLOCKS].head; b; b = b->next) {
            if (b->kind != UNIT_KIND_BLOCK || !Contains(used, b->block.name))
                continue;
            for (Unit *m = b->block.firstMember; m; m = m->next)
                AddName(used, OwnBlockUsedBy(m));
        }
        if (used.size() == before)
            break;
    }
    return Contains(used, blockName) ? 1 : 0;
}

Unit *SymbolDeleteBlock(int list, Unit *block)
{
    if (!block)
        return nullptr;
    if (block->kind == UNIT_KIND_BLOCK)
        for (Unit *m = block->block.firstMember; m;)
            m = MemChainRemove(list, block, m);
    return MemListDelete(list, block);
}
