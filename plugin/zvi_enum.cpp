// Enumeration entry points: the drawing, one unit, a block, the blocks of a
// library or one character through the enumeration stream; and the walks
// without it over attributes, selected objects and selected points.
#include <cstring>

#include "database/storage.h"
#include "database/symbol_find.h"
#include "database/undo_step.h"
#include "plugin/stream.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr const char *BUSY = "Another enumeration is still in process!";

// The refusals every stream entry point starts with; 1 when it may go on.
int MayStart(const void *callback, const char *function, int line)
{
    if (StreamBusy())
        return ZviRefuse(function, line, BUSY);
    if (!ZviCallable(callback))
        return ZviRefuse(function, line, "CallBack address invalid!");
    return 1;
}

// Runs walk inside one enumeration; 1 when it was not aborted.
template <typename Walk> int Enumerate(uint32_t mask, uint32_t value, uint32_t flags, EnumCallback cb, Walk walk)
{
    if (!StreamBeginEnumeration(mask, value, flags, cb))
        return 0;
    walk();
    const int result = StreamAborted() ? 0 : 1;
    StreamEndEnumeration();
    return result;
}

// A block or library name a plug-in passes: readable and terminated within
// a unit's name field.
bool NameValid(const char *name)
{
    const int length = ZviTextLength(name, UNIT_NAME_SIZE - 1);
    return length >= 0 && length < UNIT_NAME_SIZE;
}

int AttributeWalk(const Unit *unit, uint32_t first, ZviAttributeCallback cb)
{
    int count = 0;
    const uint8_t *p = reinterpret_cast<const uint8_t *>(unit) + first;
    const uint8_t *end = reinterpret_cast<const uint8_t *>(unit) + unit->bytes;
    for (const Element *e; (e = ZviChainElement(p, end)) && e->kind != ELEM_END; p += e->size) {
        if (e->kind < ELEM_ATTR_DEF_FIRST || e->kind > ELEM_ATTR_VALUE_LAST)
            continue;
        ++count;
        if (!cb)
            continue;
        // A name of 32 characters fills its field: the callback gets a terminated copy.
        char name[ATTRIBUTE_NAME_SIZE + 1] = {};
        const auto *payload = static_cast<const char *>(ElementPayload(e));
        std::memcpy(name, payload, ATTRIBUTE_NAME_SIZE);
        ListFilterKeeper keep;
        if (!cb(e->kind, name, payload + ATTRIBUTE_NAME_SIZE))
            return -1;
    }
    return count;
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_EnumerateAll(int, uint32_t mask, uint32_t value, uint32_t flags, EnumCallback cb)
{
    if (!MayStart(reinterpret_cast<const void *>(cb), __func__, __LINE__))
        return 0;
    return Enumerate(mask, value, flags, cb, [&] {
        // Objects the callback appends are not walked: the walk ends at the tail it started with.
        Unit *last = g_ObjectLists[LIST_DRAWING].tail;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u && !StreamAborted(); u = u->next) {
            if ((u->flags & mask) == value && u->birth <= g_UndoStep && g_UndoStep < u->death)
                StreamEnumerateUnit(u);
            if (u == last)
                break;
        }
    });
}

int ZVI_CALL ZVI_EnumerateUnit(int drawing, const Unit *unit, uint32_t flags, EnumCallback cb)
{
    if (!MayStart(reinterpret_cast<const void *>(cb), __func__, __LINE__))
        return 0;
    if (!ZviUnitReadable(unit))
        return ZVI_REFUSE("UnitPtr invalid!");
    return Enumerate(0, 0, flags, cb, [&] { StreamEnumerateUnit(const_cast<Unit *>(unit)); });
}

int ZVI_CALL ZVI_EnumerateBlock(int drawing, const char *blockName, const char *libraryName, uint32_t flags,
                                EnumCallback cb)
{
    if (!MayStart(reinterpret_cast<const void *>(cb), __func__, __LINE__))
        return 0;
    if (!NameValid(blockName))
        return ZVI_REFUSE("BlockName address invalid!");
    if (!NameValid(libraryName))
        return ZVI_REFUSE("LibraryName address invalid!");
    Unit *block = SymbolFindBlock(libraryName, blockName);
    if (!block)
        return 1;
    return Enumerate(0, 0, flags, cb, [&] {
        StreamSetUpContext();
        const XProperty none = XPropertyDefault();
        Matrix identity;
        MatrixInit(&identity);
        StreamEmitBlock(block, &none, &none, &identity);
    });
}

int ZVI_CALL ZVI_EnumerateLibrary(int drawing, const char *libraryName, uint32_t flags, EnumCallback cb)
{
    if (!MayStart(reinterpret_cast<const void *>(cb), __func__, __LINE__))
        return 0;
    if (!NameValid(libraryName))
        return ZVI_REFUSE("LibraryName address invalid!");
    const int slot = SymbolFindLibrary(libraryName);
    if (slot < 0)
        return ZVI_REFUSE("Unknown library name!");
    return Enumerate(0, 0, flags, cb, [&] {
        if (slot == LIBRARY_INDEX_OWN)
            StreamEnumerateOwnBlocks();
        else if (StreamEnumerateLibraryFile(slot))
            StreamEnumerateLibraryBlocks(slot);
    });
}

int ZVI_CALL ZVI_EnumerateChar(int drawing, const FontDef *font, int charCode, const Matrix *m, uint32_t flags,
                               EnumCallback cb)
{
    if (!MayStart(reinterpret_cast<const void *>(cb), __func__, __LINE__))
        return 0;
    if (!ZviReadable(font, sizeof(FontDef)))
        return ZVI_REFUSE("Font address invalid!");
    if (m && !ZviReadable(m, sizeof(Matrix)))
        return ZVI_REFUSE("Matrix address invalid!");
    Matrix placement;
    MatrixInit(&placement);
    if (m)
        placement = *m;
    const FontDef f = *font;
    return Enumerate(0, 0, flags, cb, [&] {
        StreamSetUpContext();
        StreamEmitChar(&f, charCode, &placement);
    });
}

int ZVI_CALL ZVI_EnumerateInstanceAttrib(int drawing, const Unit *instance, ZviAttributeCallback cb)
{
    // Only a live instance of the drawing: its chain is then known to be sound.
    const Unit *u = ZviLiveUnit(LIST_DRAWING, instance);
    if (!u || (u->kind != UNIT_KIND_INSTANCE && u->kind != UNIT_KIND_PLUGIN))
        return ZVI_REFUSE("InstObj address invalid!") - 1;
    if (cb && !ZviCallable(reinterpret_cast<const void *>(cb)))
        return ZVI_REFUSE("CallBack address invalid!") - 1;
    return AttributeWalk(u, u->kind == UNIT_KIND_PLUGIN ? UNIT_ELEMENTS_PLUGIN : UNIT_ELEMENTS_INSTANCE, cb);
}

int ZVI_CALL ZVI_EnumerateBlockAttrib(int drawing, const char *blockName, const char *libraryName,
                                      ZviAttributeCallback cb)
{
    if (!NameValid(blockName))
        return ZVI_REFUSE("BlockName address invalid!") - 1;
    if (!NameValid(libraryName))
        return ZVI_REFUSE("LibraryName address invalid!") - 1;
    if (cb && !ZviCallable(reinterpret_cast<const void *>(cb)))
        return ZVI_REFUSE("CallBack address invalid!") - 1;
    const Unit *block = SymbolFindBlock(libraryName, blockName);
    return block ? AttributeWalk(block, UNIT_ELEMENTS_BLOCK, cb) : 0;
}

int ZVI_CALL ZVI_EnumerateIdent(int drawing, ZviObjectWalkCallback cb, int backwards)
{
    if (!ZviCallable(reinterpret_cast<const void *>(cb)))
        return ZVI_REFUSE("CallBack address invalid!");
    ListFilterKeeper keep;
    Unit *u = backwards ? MemListLast(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1)
                        : MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1);
    while (u) {
        uint32_t filter[3];
        MemListSaveFilter(filter);
        const int goOn = cb(u);
        MemListRestoreFilter(filter);
        if (!goOn)
            return 0;
        u = backwards ? MemListPrev(u) : MemListNext(u);
    }
    return 1;
}

int ZVI_CALL ZVI_EnumeratePoints(int drawing, ZviPointCallback cb)
{
    if (!ZviCallable(reinterpret_cast<const void *>(cb)))
        return ZVI_REFUSE("CallBack address invalid!");
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_POINTS_SELECTED | UNIT_HIDDEN | UNIT_LOCKED, UNIT_POINTS_SELECTED, 1);
         u; u = MemListNext(u)) {
        if (u->kind != UNIT_KIND_OBJECT && u->kind != UNIT_KIND_PLUGIN)
            continue;
        const uint8_t *p = reinterpret_cast<const uint8_t *>(u) + UnitElementOffset(u->kind);
        const uint8_t *end = reinterpret_cast<const uint8_t *>(u) + u->bytes;
        for (const Element *c; (c = ZviChainElement(p, end)) && c->kind != ELEM_END; p += c->size) {
            auto *e = const_cast<Element *>(c);
            if (!ElementIsPoint(e))
                continue;
            if (e->pointFlags & POINT_SELECTED) {
                uint32_t filter[3];
                MemListSaveFilter(filter);
                const int goOn = cb(u, e);
                MemListRestoreFilter(filter);
                if (!goOn)
                    return 0;
            }
            e->pointFlags &= static_cast<uint16_t>(~POINT_REDRAW);
        }
    }
    return 1;
}

} // extern "C"
