#include "database/object.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "files/file_drawinginfo.h"
#include "plugin/zvi_module.h"

namespace {

enum class Which { Any, Geo, Comments };

bool Matches(const Unit *u, Which which)
{
    switch (which) {
    case Which::Any: return true;
    case Which::Geo:
        return u->kind == UNIT_KIND_OBJECT && u->object.type >= OBJTYPE_GEO_LINE && u->object.type <= OBJTYPE_GEO_ELLI;
    case Which::Comments: return u->kind == UNIT_KIND_OBJECT && u->object.type == OBJTYPE_COMMENT;
    }
    return false;
}

int DeleteMatching(uint32_t mask, Which which)
{
    UndoMarkBefore();
    int deleted = 0;
    // A plug-in object is first offered to the modules, which may keep it.
    for (Unit *u = MemListFirst(LIST_DRAWING, mask | UNIT_USER_FILTER_MASK, mask, 1); u; u = MemListNext(u)) {
        if (!Matches(u, which))
            continue;
        if (u->kind == UNIT_KIND_PLUGIN && PluginOfferObject(u, PLUGIN_OBJECT_DELETE, nullptr) >= 0)
            continue;
        UndoStampDeleted(u);
        if (which == Which::Comments)
            g_DrawingInfo.commentsChanged = 1;
        deleted = 1;
    }
    UndoCollectChanges();
    return deleted;
}

} // namespace

int ObjectDeleteSelected(uint32_t mask)
{
    return DeleteMatching(mask, Which::Any);
}

int ObjectDeleteGeo(uint32_t mask)
{
    return DeleteMatching(mask, Which::Geo);
}

int ObjectDeleteComments(uint32_t mask)
{
    return DeleteMatching(mask, Which::Comments);
}
