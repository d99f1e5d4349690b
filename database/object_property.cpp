// Property commands over the attribute collection.
#include "database/object_property.h"

#include <cstring>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "database/object_flags.h"
#include "database/object_modify.h"
#include "database/object_progress.h"
#include "database/object_modules.h"
#include "database/object_rects.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/frame.h"
#include "plugin/zvi_create.h"

ObjectPropertySheet g_ObjectMultiSheet = nullptr;

namespace {

bool Editable(const Unit *u)
{
    return u->kind == UNIT_KIND_OBJECT || u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN;
}

// The alive units of list 0 carrying mask that the user can touch.
int32_t CountTargets(uint32_t mask)
{
    int32_t count = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, mask | UNIT_USER_FILTER_MASK, mask, 1); u; u = MemListNext(u)) {
        ++count;
        ObjectProgressCount(OBJECT_PROGRESS_COLLECT);
    }
    return count;
}

// A block's unit and its members, or every unit of a list and its members.
template <typename Visit>
void ForBlockAndMembers(Unit *block, Visit visit)
{
    visit(block);
    if (block->kind == UNIT_KIND_BLOCK)
        for (Unit *m = block->block.firstMember; m; m = m->next)
            visit(m);
}

int ListOfLibrary(const char *library)
{
    const int index = SymbolFindLibrary(library);
    if (index < 0)
        return -1;
    return index == LIBRARY_INDEX_OWN ? LIST_OWN_BLOCKS : LIST_SYMBOL_LIBRARY_FIRST + index;
}

} // namespace

namespace {

int AskEntryModule(HWND window, ObjectAttributes *set, int entry, int code)
{
    if (!set->pluginArea || entry < 0 || entry >= set->pluginCount)
        return 0;
    const AttrPluginEntry &e = static_cast<AttrPluginEntry *>(set->pluginArea)[entry];
    ObjectModulePage page = {window, set, entry};
    return ObjectCallModule(e.module, e.unit, code, &page) == MODULE_ANSWER_REBUILT ? 1 : 0;
}

} // namespace

int ObjectModuleCollect(HWND window, ObjectAttributes *set, int entry)
{
    return AskEntryModule(window, set, entry, MODULE_PAGE_FILL);
}

int ObjectModuleApply(HWND window, ObjectAttributes *set, int entry)
{
    return AskEntryModule(window, set, entry, MODULE_PAGE_READ);
}

uint32_t *ObjectCopyPropertyWords()
{
    return reinterpret_cast<uint32_t *>(reinterpret_cast<uint8_t *>(&g_LocalData) + LOCAL_OFS_COPY_PROPERTIES);
}

int ObjectAttributesApplySelection(const ObjectAttributes *set, uint32_t mask, int keepCopy, int all,
                                   int keepSelection)
{
    UndoInitProcess();
    if (!ObjectBackupForModify(LIST_DRAWING, mask, keepCopy, keepSelection && !keepCopy)) {
        UndoCancelProcess();
        return 0;
    }
    ObjectProgressReset();
    FrameSetEmpty(g_ChangedRect);
    {
        ZviCreationBracket builders; // the modules may rebuild their objects
        for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_TRANSFORM, UNIT_TRANSFORM, 1); u; u = MemListNext(u)) {
            ObjectAttributesApply(u, set, all, keepSelection);
            ObjectProgressCount(OBJECT_PROGRESS_CHANGE);
        }
    }
    ObjectProgressEnd(OBJECT_PROGRESS_CHANGE);
    UndoFinishProcess();
    // A new layer or pen may have hidden or locked objects.
    ObjectUpdateDisplayFlagsAll(1);
    return 1;
}

int ObjectCopyProperties(ObjectAttributes *set, uint32_t mask)
{
    ObjectAttributesInit(set);
    ObjectAttributesBeginModules(set);
    ObjectProgressReset();
    bool collected = false;
    if (g_InputPoints && g_InputPointLimit > 1) {
        Unit *source = UndoFindIdent(g_InputPoints[1].ident);
        if (source && Editable(source)) {
            ObjectAttributesCollect(source, set);
            collected = true;
        }
    }
    const uint32_t *words = ObjectCopyPropertyWords();
    ObjectAttributesCopyDefaults(set, words);
    // The attributes of a text go to a line, and those of a line to a text.
    if (set->present[ATTR_ANNOTATION] && !set->present[ATTR_GENERAL]) {
        set->general = set->annotation;
        set->present[ATTR_GENERAL] = 1;
    } else if (set->present[ATTR_GENERAL] && !set->present[ATTR_ANNOTATION]) {
        set->annotation = set->general;
        set->present[ATTR_ANNOTATION] = 1;
    }
    const int32_t count = CountTargets(mask);
    int copy = int(g_DrawingSettings.displayDuplicate);
    int result = 0;
    if (!collected) {
        AlertSM5(g_MainWnd);
    } else if (!(words[0] & COPY_PROPERTY_SHOW_SHEET) || !g_ObjectMultiSheet ||
               g_ObjectMultiSheet(set, count, &copy)) {
        g_ReferencesChanged = 0;
        result = ObjectAttributesApplySelection(set, mask, copy, 0, 0);
        if (g_ReferencesChanged)
            SymbolLoadAllMissing();
    }
    ObjectAttributesEndModules(set);
    return result;
}

int ObjectGetBlockProperties(const char *library, const char *block, ObjectAttributes *set)
{
    ObjectAttributesInit(set);
    Unit *b = SymbolFindBlock(library, block);
    if (!b)
        return 0;
    ForBlockAndMembers(b, [&](Unit *u) { ObjectAttributesCollect(u, set); });
    return 1;
}

int ObjectSetBlockProperties(const char *library, const char *block, const ObjectAttributes *set)
{
    Unit *b = SymbolFindBlock(library, block);
    if (!b)
        return 0;
    ForBlockAndMembers(b, [&](Unit *u) { ObjectAttributesApply(u, set, 0, 0); });
    return 1;
}

int ObjectGetLibraryProperties(const char *library, ObjectAttributes *set)
{
    ObjectAttributesInit(set);
    const int list = ListOfLibrary(library);
    if (list < 0)
        return 0;
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
        ForBlockAndMembers(u, [&](Unit *m) { ObjectAttributesCollect(m, set); });
    return 1;
}

int ObjectSetLibraryProperties(const char *library, const ObjectAttributes *set)
{
    const int list = ListOfLibrary(library);
    if (list < 0)
        return 0;
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
        ForBlockAndMembers(u, [&](Unit *m) { ObjectAttributesApply(m, set, 0, 0); });
    return 1;
}
