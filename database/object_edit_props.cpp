// The property sheets of the selection: one object with its own pages, or
// several objects with the fields chosen to be written into each.
#include "database/object_property.h"

#include <cstdio>

#include "app/darad4.h"
#include "app/system.h"
#include "database/object_progress.h"
#include "database/storage.h"
#include "database/symbol_index.h"
#include "dialogs/alert.h"
#include "dialogs/box14.h"
#include "language/language.h"
#include "plugin/zvi.h"

namespace {

constexpr int CAPTION_SIZE = 512;
constexpr int HEADLINE_SINGLE = 4, HEADLINE_MULTI = 5;

bool Editable(const Unit *u)
{
    return u->kind == UNIT_KIND_OBJECT || u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN;
}

// Object types whose sheets differ from the single general page.
constexpr int32_t TYPE_DIMENSION_FIRST = 25, TYPE_DIMENSION_LAST = 32;
constexpr int32_t TYPE_TEXT_STANDARD = 35, TYPE_TEXT_FRAME = 36, TYPE_TEXT_REFERENCE = 37;
constexpr int32_t TYPE_CLIP_SURFACE = 42;

struct SinglePages {
    const char *title0, *title1;
    int instanceMode;
};

// Page 0 edits the general property set, page 1 the annotation set.
SinglePages PagesOf(const Unit *u)
{
    const char *const *t = ePropSheetObjPageTitles;
    if (u->kind != UNIT_KIND_OBJECT)
        return {t[3], nullptr, 1};
    const int32_t type = u->object.type;
    if (type >= TYPE_DIMENSION_FIRST && type <= TYPE_DIMENSION_LAST)
        return {t[5], t[6], 0};
    if (type == TYPE_TEXT_STANDARD || type == TYPE_TEXT_FRAME)
        return {nullptr, t[1], 0};
    if (type == TYPE_TEXT_REFERENCE)
        return {t[0], t[1], 0};
    if (type == TYPE_CLIP_SURFACE)
        return {t[0], t[3], 0};
    return {t[0], nullptr, 0};
}

// Applies an accepted sheet. An instance that now refers to another library
// or block is linked again (its block loaded from a caching library when
// missing); until then it would refer to nothing and vanish.
int ApplyAccepted(const ObjectAttributes *set, uint32_t mask, int copy, int all)
{
    g_ReferencesChanged = 0;
    const int result = ObjectAttributesApplySelection(set, mask, copy, all, 0);
    if (g_ReferencesChanged)
        SymbolLoadAllMissing();
    return result;
}

} // namespace

int ObjectEditPropertiesSingle(ObjectAttributes *set, uint32_t mask)
{
    ObjectAttributesInit(set);
    ObjectAttributesBeginModules(set);
    Unit *object = MemListFirst(LIST_DRAWING, mask | UNIT_USER_FILTER_MASK, mask, 1);
    if (!object || !Editable(object)) {
        AlertSM5(g_MainWnd);
        ObjectAttributesEndModules(set);
        return 0;
    }
    char title[CAPTION_SIZE] = "";
    ZVI_GetUnitTitle(title, object);
    char caption[CAPTION_SIZE];
    snprintf(caption, sizeof caption, eHeadlineText[HEADLINE_SINGLE], title);
    const SinglePages pages = PagesOf(object);
    ObjectAttributesCollect(object, set);
    int copy = int(g_DrawingSettings.displayDuplicate);
    int result = 0;
    if (Box14ObjInfoSingle(g_MainWnd, caption, set, pages.instanceMode, pages.title0, pages.title1, 1, 1, &copy))
        result = ApplyAccepted(set, mask, copy, 1);
    ObjectAttributesEndModules(set);
    return result;
}

int ObjectEditPropertiesMulti(ObjectAttributes *set, uint32_t mask)
{
    ObjectAttributesInit(set);
    ObjectAttributesBeginModules(set);
    ObjectProgressReset();
    int32_t walked = 0;
    bool collected = false;
    for (Unit *u = MemListFirst(LIST_DRAWING, mask | UNIT_USER_FILTER_MASK, mask, 1); u; u = MemListNext(u)) {
        ++walked;
        ObjectProgressCount(OBJECT_PROGRESS_COLLECT);
        if (Editable(u)) {
            ObjectAttributesCollect(u, set);
            collected = true;
        }
    }
    char caption[CAPTION_SIZE];
    snprintf(caption, sizeof caption, eHeadlineText[HEADLINE_MULTI], int(walked));
    int result = 0;
    if (!collected) {
        AlertSM5(g_MainWnd);
    } else {
        int copy = int(g_DrawingSettings.displayDuplicate);
        if (Box14ObjInfoMulti(g_MainWnd, caption, set, 1, &copy))
            result = ApplyAccepted(set, mask, copy, 0);
    }
    ObjectAttributesEndModules(set);
    return result;
}
