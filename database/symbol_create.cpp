// Blocks made from the selection, instances, attributes, used blocks, purging
// and group names.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window_title.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_attributes.h"
#include "database/object_flags.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box12.h"
#include "display/output.h"
#include "files/file_drawinginfo.h"
#include "files/file_records.h"
#include "geometry/frame.h"
#include "geometry/matrix.h"
#include "language/language.h"
#include "language/language_entries.h"
#include "plugin/zvi.h"

SymbolAttribEditor g_SymbolAttribEditor = nullptr;

namespace {

constexpr uint32_t ATTRIBUTE_HEAD_BYTES = 48; // header and name
constexpr double NO_FRAME = 1e300;
constexpr int GROUP_COUNTER_MASK = 0xFFFF;
constexpr int MARK_PASSES = 20;

bool IsReference(const Unit *u) { return u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN; }

ClipSurfaceData *ClipSurfaceOf(Unit *u)
{
    if (u->kind != UNIT_KIND_OBJECT || u->object.type != OBJTYPE_CLIP)
        return nullptr;
    ClipSurfaceData *found = nullptr;
    UnitForEachElement(u, [&](Element *e) {
        if (!found && e->kind == ELEM_CLIP_SURFACE)
            found = static_cast<ClipSurfaceData *>(ElementPayload(e));
    });
    return found;
}

// Builds a chain at out: elements of the source whose kind keep() accepts,
// then the entries of codes 300-399, then 400-499, then the end element.
// The bytes written, or 0 when they do not fit in room.
template <class Keep>
uint32_t BuildChain(uint8_t *out, uint32_t room, Unit *source, Keep keep, const AttributeEntry *entries, int count,
                    bool definitions)
{
    uint32_t used = 0;
    auto fits = [&](uint32_t n) { return used + n + ELEM_SIZE_END <= room; };
    bool ok = true;
    if (source)
        UnitForEachElement(source, [&](Element *e) {
            if (!ok || !keep(e))
                return;
            if (!fits(e->size)) {
                ok = false;
                return;
            }
            std::memcpy(out + used, e, e->size);
            used += e->size;
        });
    for (int pass = 0; pass < 2 && ok; ++pass)
        for (int i = 0; i < count && ok; ++i) {
            const int code = entries[i].head.kind;
            if (pass == 0 ? !(definitions && AttributeIsDefinition(code)) : !AttributeIsValue(code))
                continue;
            if (!fits(ELEM_SIZE_ATTRIBUTE)) {
                ok = false;
                break;
            }
            used += SymbolStoreAttribute(reinterpret_cast<Element *>(out + used), &entries[i]);
        }
    if (!ok)
        return 0;
    InitElementEnd(reinterpret_cast<Element *>(out + used));
    return used + ELEM_SIZE_END;
}

// Reads the elements of codes in [lo, hi] into entries from n on; the new count.
int ReadAttributes(Unit *u, int lo, int hi, AttributeEntry *out, int n)
{
    if (!u)
        return n;
    UnitForEachElement(u, [&](Element *e) {
        if (n >= ATTRIBUTE_ENTRIES_MAX || e->kind < lo || e->kind > hi)
            return;
        const uint32_t size = std::min<uint32_t>(e->size, ELEM_SIZE_ATTRIBUTE);
        std::memset(&out[n], 0, sizeof out[n]);
        std::memcpy(&out[n], e, size);
        out[n].name[ATTRIBUTE_NAME_SIZE - 1] = 0;
        out[n].value[ATTRIBUTE_TEXT_SIZE - 1] = 0;
        ++n;
    });
    return n;
}

// The default-attribute record of a library: a header up to the kind word,
// then the chain.
Element *LibraryDefaultsChain(void *record)
{
    return reinterpret_cast<Element *>(static_cast<uint8_t *>(record) + UNIT_COMMON_SIZE - sizeof(XProperty));
}
constexpr uint32_t LIBRARY_DEFAULTS_HEAD = UNIT_COMMON_SIZE - sizeof(XProperty);

int ListOf(const char *library, int32_t *index)
{
    *index = SymbolFindLibrary(library);
    return SymbolListOfLibrary(*index);
}

void MarkChanged(int32_t library)
{
    if (library == LIBRARY_INDEX_OWN) {
        FileSetModified();
    } else {
        SymbolMarkModified(library);
    }
}

// The own block named, followed through the own blocks its members use: true
// when the walk from the given units reaches a block of that name.
bool ReachesOwnBlock(const std::vector<const char *> &start, const char *name)
{
    std::vector<const char *> pending = start;
    std::vector<Unit *> seen;
    int steps = 0;
    while (!pending.empty() && steps++ < OWN_BLOCK_INDEX_CAPACITY) {
        const char *n = pending.back();
        pending.pop_back();
        if (lstrcmpA(n, name) == 0)
            return true;
        Unit *b = SymbolFindBlock(SYMBOL_OWN_LIBRARY, n);
        if (!b || std::find(seen.begin(), seen.end(), b) != seen.end())
            continue;
        seen.push_back(b);
        for (Unit *m = b->block.firstMember; m; m = m->next) {
            if (IsReference(m) && lstrcmpA(m->instance.library, SYMBOL_OWN_LIBRARY) == 0)
                pending.push_back(m->instance.block);
            else if (ClipSurfaceData *c = ClipSurfaceOf(m))
                if (lstrcmpA(c->library, SYMBOL_OWN_LIBRARY) == 0)
                    pending.push_back(c->block);
        }
    }
    return false;
}

Unit *FindNamed(int list, const char *name)
{
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
        if (u->kind == UNIT_KIND_BLOCK && lstrcmpA(u->block.name, name) == 0)
            return u;
    return nullptr;
}

// Stores an empty block record with the header settings of a new block.
Unit *StoreBlockRecord(int list, const char *name, const uint8_t *chain, uint32_t chainBytes)
{
    std::vector<uint8_t> record(UNIT_ELEMENTS_BLOCK + chainBytes, 0);
    Unit *u = reinterpret_cast<Unit *>(record.data());
    u->bytes = uint32_t(record.size());
    u->kind = UNIT_KIND_BLOCK;
    std::memcpy(record.data() + UNIT_ELEMENTS_BLOCK, chain, chainBytes);
    Unit *b = MemListNewCopyAfter(list, record.data(), uint32_t(record.size()), nullptr);
    if (!b)
        return nullptr;
    b->module = 0;
    b->block.firstMember = b->block.lastMember = nullptr;
    b->property = XPropertyDefault();
    UndoStampPermanent(b);
    lstrcpynA(b->block.name, name, UNIT_NAME_SIZE);
    FrameSetEmpty(b->block.blockFrame);
    return b;
}

void EnterInIndex(int32_t library, Unit *block)
{
    if (library == LIBRARY_INDEX_OWN)
        SymbolIndexAddOwn(block);
    else
        SymbolIndexAddLibrary(library, block);
}

// Puts the new block in place of the replaced one: the index already points
// to the new one; the old is deleted for good.
void DropReplaced(int list, Unit *replaced)
{
    if (replaced)
        SymbolDeleteBlock(list, replaced);
}

bool Writable(int32_t library)
{
    return library == LIBRARY_INDEX_OWN || g_LibrarySlots.slots[library].save;
}

struct BlockTarget {
    int32_t index;   // library index, 999 for own blocks
    int list;        // its object list
    Unit *replaced;  // the block of that name, whatever its state, or 0
};

// The library and list a new block goes to, and the block it replaces;
// false for an unknown library (entry 18), one not to be changed or a name
// that does not fit.
bool ResolveTarget(const char *library, const char *block, int *replacedOut, BlockTarget *t)
{
    if (replacedOut)
        *replacedOut = 0;
    t->list = ListOf(library, &t->index);
    if (t->list < 0) {
        AlertOk(g_MainWnd, eAlertTextSM[18]);
        return false;
    }
    if (!Writable(t->index) || !block || !block[0] || std::strlen(block) >= size_t(UNIT_NAME_SIZE))
        return false;
    t->replaced = FindNamed(t->list, block);
    if (replacedOut)
        *replacedOut = t->replaced ? 1 : 0;
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// Attributes

uint32_t SymbolStoreAttribute(Element *out, const AttributeEntry *entry)
{
    auto *a = reinterpret_cast<AttributeEntry *>(out);
    char name[ATTRIBUTE_NAME_SIZE];
    char value[ATTRIBUTE_TEXT_SIZE];
    lstrcpynA(name, entry->name, ATTRIBUTE_NAME_MAX + 1);
    lstrcpynA(value, entry->value, ATTRIBUTE_VALUE_MAX + 1);
    InitElementAttribute(out, entry->head.kind);
    std::memset(a->name, 0, sizeof a->name);
    std::strcpy(a->name, name);
    const uint32_t size = ((uint32_t(std::strlen(value)) + 8) & ~7u) + ATTRIBUTE_HEAD_BYTES;
    std::memset(a->value, 0, size - ATTRIBUTE_HEAD_BYTES);
    std::strcpy(a->value, value);
    out->size = size;
    return size;
}

void SymbolMakeAttribute(AttributeEntry *entry, int code, const char *name, const char *value)
{
    std::memset(entry, 0, sizeof *entry);
    InitElementAttribute(&entry->head, int16_t(code));
    lstrcpynA(entry->name, name ? name : "", ATTRIBUTE_NAME_MAX + 1);
    lstrcpynA(entry->value, value ? value : "", ATTRIBUTE_VALUE_MAX + 1);
}

int SymbolGetBlockAttributes(const char *library, const char *block, AttributeEntry *out)
{
    Unit *b = SymbolFindBlock(library, block);
    return b ? ReadAttributes(b, ELEM_ATTR_DEF_FIRST, ELEM_ATTR_VALUE_LAST, out, 0) : -1;
}

int SymbolSetBlockAttributes(const char *library, const char *block, const AttributeEntry *entries, int count)
{
    int32_t index = 0;
    const int list = ListOf(library, &index);
    Unit *old = list < 0 ? nullptr : SymbolFindBlock(library, block);
    if (!old)
        return 0;
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    uint8_t *buffer = g_Universal1;
    std::memcpy(buffer, old, UNIT_ELEMENTS_BLOCK);
    const uint32_t chain = BuildChain(
        buffer + UNIT_ELEMENTS_BLOCK, g_ObjectLimits.scratchSize - UNIT_ELEMENTS_BLOCK, old,
        [](const Element *e) { return e->kind >= 0 && e->kind < ELEM_ATTR_DEF_FIRST; }, entries, count, true);
    if (!chain)
        return 0;
    Unit *record = reinterpret_cast<Unit *>(buffer);
    record->bytes = UNIT_ELEMENTS_BLOCK + chain;
    Unit *fresh = MemListNewCopyAfter(list, buffer, record->bytes, old);
    if (!fresh)
        return 0;
    fresh->block.firstMember = old->block.firstMember;
    fresh->block.lastMember = old->block.lastMember;
    // Same name, same index position: the cached positions stay right.
    const int32_t pos = SymbolFindBlockIndex(index, old->block.name, 1);
    if (index == LIBRARY_INDEX_OWN && pos >= 0 && g_OwnBlockIndex.blocks[pos] == old)
        g_OwnBlockIndex.blocks[pos] = fresh;
    else if (index != LIBRARY_INDEX_OWN && pos >= 0 && g_LibraryBlockIndex.entries[pos].block == old)
        g_LibraryBlockIndex.entries[pos].block = fresh;
    MemListDelete(list, old);
    if (index != LIBRARY_INDEX_OWN)
        fresh->ident = BLOCK_STATE_CHANGED;
    MarkChanged(index);
    return 1;
}

int SymbolGetLibraryAttributes(const char *library, AttributeEntry *out)
{
    const int32_t index = SymbolFindLibrary(library);
    if (index < 0 || index == LIBRARY_INDEX_OWN)
        return -1;
    void *record = g_LibrarySlots.slots[index].attributes;
    if (!record)
        return 0;
    int n = 0;
    for (Element *e = LibraryDefaultsChain(record); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e))
        if (AttributeIsCode(e->kind) && n < ATTRIBUTE_ENTRIES_MAX) {
            std::memset(&out[n], 0, sizeof out[n]);
            std::memcpy(&out[n], e, std::min<uint32_t>(e->size, ELEM_SIZE_ATTRIBUTE));
            ++n;
        }
    return n;
}

int SymbolSetLibraryAttributes(const char *library, const AttributeEntry *entries, int count)
{
    const int32_t index = SymbolFindLibrary(library);
    if (index < 0 || index == LIBRARY_INDEX_OWN)
        return 0;
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    const uint32_t chain = BuildChain(
        g_Universal1, g_ObjectLimits.scratchSize, nullptr, [](const Element *) { return false; }, entries, count,
        true);
    if (!chain)
        return 0;
    auto *record = static_cast<uint8_t *>(MemAllocBlock(LIBRARY_DEFAULTS_HEAD + chain));
    if (!record)
        return 0;
    LibrarySlot &slot = g_LibrarySlots.slots[index];
    if (slot.attributes)
        MemSubFree(slot.attributes);
    Unit *head = reinterpret_cast<Unit *>(record);
    head->kind = UNIT_KIND_BLOCK;
    head->bytes = LIBRARY_DEFAULTS_HEAD + chain;
    std::memcpy(LibraryDefaultsChain(record), g_Universal1, chain);
    slot.attributes = record;
    slot.modified = 1;
    return 1;
}

int SymbolGetInstanceAttributes(Unit *instance, AttributeEntry *out)
{
    if (!instance || !IsReference(instance))
        return 0;
    int n = ReadAttributes(SymbolFindBlock(instance->instance.library, instance->instance.block), ELEM_ATTR_DEF_FIRST,
                           ELEM_ATTR_DEF_LAST, out, 0);
    return ReadAttributes(instance, ELEM_ATTR_VALUE_FIRST, ELEM_ATTR_VALUE_LAST, out, n);
}

int SymbolSetInstanceAttributes(Unit *instance, const AttributeEntry *entries, int count)
{
    if (!instance || !IsReference(instance))
        return 0;
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    const uint32_t head = UnitElementOffset(instance->kind);
    std::memcpy(g_Universal1, instance, head);
    const uint32_t chain = BuildChain(
        g_Universal1 + head, g_ObjectLimits.scratchSize - head, instance,
        [](const Element *e) { return e->kind >= 0 && e->kind < ELEM_ATTR_DEF_FIRST; }, entries, count, false);
    if (!chain)
        return 0;
    Unit *record = reinterpret_cast<Unit *>(g_Universal1);
    record->bytes = head + chain;
    Unit *fresh = MemListNewCopyAfter(LIST_DRAWING, g_Universal1, record->bytes, instance);
    if (!fresh)
        return 0;
    UndoStampCreated(fresh);
    fresh->flags = instance->flags & UNIT_USER_MARK;
    ObjectUpdateDisplayFlags(fresh);
    if (!g_DrawingSettings.displayDuplicate)
        UndoStampDeleted(instance);
    return 1;
}

// ---------------------------------------------------------------------------
// Blocks

int SymbolCreateBlock(const char *library, const char *block, int withDefaults, double refX, double refY,
                      double x1, double y1, double x2, double y2, int *replacedOut)
{
    BlockTarget t;
    if (!ResolveTarget(library, block, replacedOut, &t))
        return 0;
    const int32_t index = t.index;
    const int list = t.list;
    Unit *replaced = t.replaced;

    // What the selection refers to, checked before anything is made.
    std::vector<const char *> ownUses;
    bool refersToOwn = false;
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1); u; u = MemListNext(u)) {
            const char *lib = nullptr, *name = nullptr;
            if (IsReference(u)) {
                lib = u->instance.library;
                name = u->instance.block;
            } else if (ClipSurfaceData *c = ClipSurfaceOf(u)) {
                lib = c->library;
                name = c->block;
            }
            if (!lib || lstrcmpA(lib, SYMBOL_OWN_LIBRARY) != 0)
                continue;
            refersToOwn = true;
            ownUses.push_back(name);
        }
    }
    if (index != LIBRARY_INDEX_OWN && refersToOwn) {
        AlertButton1(g_MainWnd, eAlertTextSM[35]);
        return 0;
    }
    // An own block that would contain itself, directly or through the blocks
    // its members use, would be drawn without end.
    if (index == LIBRARY_INDEX_OWN && ReachesOwnBlock(ownUses, block)) {
        AlertButton1(g_MainWnd, LANG(eAlertTextSM, BlockContainsItself));
        return 0;
    }

    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    uint32_t chainBytes = ELEM_SIZE_END;
    if (index != LIBRARY_INDEX_OWN && withDefaults && g_LibrarySlots.slots[index].attributes) {
        uint8_t *out = g_Universal1;
        uint32_t used = 0;
        for (Element *e = LibraryDefaultsChain(g_LibrarySlots.slots[index].attributes);
             e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE; e = ElementNext(e))
            if (AttributeIsCode(e->kind)) {
                std::memcpy(out + used, e, e->size);
                used += e->size;
            }
        InitElementEnd(reinterpret_cast<Element *>(out + used));
        chainBytes = used + ELEM_SIZE_END;
    } else {
        InitElementEnd(reinterpret_cast<Element *>(g_Universal1));
    }
    ZVI_CreationStart();
    Unit *b = StoreBlockRecord(list, block, g_Universal1, chainBytes);
    if (!b) {
        ZVI_CreationEnd();
        AlertSM2(g_MainWnd);
        return 0;
    }
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, -refX, -refY);
    bool failed = false;
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1); u && !failed;
             u = MemListNext(u)) {
            if (u->bytes > g_ObjectLimits.scratchSize) {
                failed = true;
                break;
            }
            std::memcpy(g_Universal1, u, u->bytes);
            Unit *copy = reinterpret_cast<Unit *>(g_Universal1);
            if (IsReference(copy) && lstrcmpA(copy->instance.library, library) == 0)
                std::strcpy(copy->instance.library, SYMBOL_OWN_LIBRARY);
            else if (ClipSurfaceData *c = ClipSurfaceOf(copy))
                if (lstrcmpA(c->library, library) == 0)
                    std::strcpy(c->library, SYMBOL_OWN_LIBRARY);
            ObjectTransform(copy, &m, 0);
            copy->flags &= ~(UNIT_SELECTED | UNIT_SELECTION_REDRAW | UNIT_TRANSFORM | UNIT_MARKED);
            Unit *member = MemChainAppend(list, b, copy, copy->bytes);
            if (!member)
                failed = true;
            else
                UndoStampPermanent(member);
        }
    }
    if (failed) {
        SymbolDeleteBlock(list, b);
        ZVI_CreationEnd();
        AlertSM2(g_MainWnd);
        return 0;
    }
    // A block of the drawing made inside an undo step belongs to it: undone
    // or cancelled and unused, it goes with the step.
    if (list == LIST_OWN_BLOCKS && UndoIsProcessOpen())
        UndoStampCreated(b);
    else
        UndoStampPermanent(b);
    b->ident = BLOCK_STATE_CHANGED;
    EnterInIndex(index, b);
    DropReplaced(list, replaced);
    FrameCalcBlock(b, 1);
    if (x1 == NO_FRAME || y1 == NO_FRAME || x2 == NO_FRAME || y2 == NO_FRAME) {
        FrameSetEmpty(b->block.blockFrame);
    } else {
        b->block.blockFrame[0] = x1 - refX;
        b->block.blockFrame[1] = y1 - refY;
        b->block.blockFrame[2] = x2 - refX;
        b->block.blockFrame[3] = y2 - refY;
    }
    ZVI_CreationEnd();
    return 1;
}

int SymbolCreateEmptyBlock(const char *library, const char *block, int *replacedOut)
{
    BlockTarget t;
    if (!ResolveTarget(library, block, replacedOut, &t))
        return 0;
    const int32_t index = t.index;
    const int list = t.list;
    Unit *replaced = t.replaced;
    uint8_t end[ELEM_SIZE_END];
    InitElementEnd(reinterpret_cast<Element *>(end));
    Unit *b = StoreBlockRecord(list, block, end, sizeof end);
    if (!b) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    b->ident = BLOCK_STATE_CHANGED;
    EnterInIndex(index, b);
    DropReplaced(list, replaced);
    FrameCalcBlock(b, 1);
    return 1;
}

Unit *SymbolEmptyBlock(int list, Unit *block)
{
    if (!block || block->kind != UNIT_KIND_BLOCK)
        return block;
    for (Unit *m = block->block.firstMember; m;)
        m = MemChainRemove(list, block, m);
    block->ident = BLOCK_STATE_DELETED;
    return block;
}

void SymbolClearLibrary(int32_t library)
{
    const int list = SymbolListOfLibrary(library);
    if (list < 0)
        return;
    SymbolClearBlocks(list);
    if (library == LIBRARY_INDEX_OWN)
        return;
    if (g_LibrarySlots.slots[library].attributes) {
        MemSubFree(g_LibrarySlots.slots[library].attributes);
        g_LibrarySlots.slots[library].attributes = nullptr;
    }
    // No index entry may point to a freed block, not even until the caller rebuilds.
    SymbolRebuildLibraryIndex();
}

// ---------------------------------------------------------------------------
// Instances

Unit *SymbolCreateInstance(const BlockInsertSlot *entry, const Matrix *placement, Unit *before)
{
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return nullptr;
    Unit *record = reinterpret_cast<Unit *>(g_Universal1);
    if (!SymbolMakeInstance(record, g_ObjectLimits.scratchSize, entry->nameLibrary, entry->nameBlock, placement))
        return nullptr;
    Unit *block = SymbolFindBlock(entry->nameLibrary, entry->nameBlock);
    if (entry->attribCopy && block) {
        const uint32_t chain = BuildChain(
            g_Universal1 + UNIT_ELEMENTS_INSTANCE, g_ObjectLimits.scratchSize - UNIT_ELEMENTS_INSTANCE, block,
            [](const Element *e) { return AttributeIsValue(e->kind); }, nullptr, 0, false);
        if (chain)
            record->bytes = UNIT_ELEMENTS_INSTANCE + chain;
    }
    Unit *u = before ? MemListNewCopyBefore(LIST_DRAWING, record, record->bytes, before)
                     : MemListNewCopyAfter(LIST_DRAWING, record, record->bytes, nullptr);
    if (!u)
        return nullptr;
    u->module = 0;
    u->kind = UNIT_KIND_INSTANCE;
    u->instance.libraryIndex = u->instance.blockIndex = UNIT_INDEX_UNRESOLVED;
    u->instance.unresolved = 0;
    u->property = XPropertyDefault();
    const int slot = entry->nameBlock[0] == '#' ? 7 : 5;
    ObjectPropertyFromSlots(&u->property, g_ActivePen, g_DefaultLayers[slot] >= 0 ? g_DefaultLayers[slot] : g_ActiveLayer,
                            1);
    u->property.ownFlags &= ~(XPROP_OWN_LAYER | XPROP_OWN_PEN);
    if (entry->transmitLayer)
        u->property.ownFlags |= XPROP_OWN_LAYER;
    if (entry->transmitPen)
        u->property.ownFlags |= XPROP_OWN_PEN;
    if (entry->blockLayer && block)
        u->property.layer = block->property.layer;
    if (entry->blockPen && block)
        u->property.pen = block->property.pen;
    UndoStampCreated(u);
    ObjectUpdateDisplayFlags(u);
    SymbolLinkInstance(u, LIBRARY_INDEX_OWN);
    FrameCalcInstance(u, 0);
    return u;
}

int SymbolReplaceSelectionByInstance(const char *library, const char *block, double x, double y)
{
    if (SymbolFindLibrary(library) < 0) {
        AlertOk(g_MainWnd, eAlertTextSM[18]);
        return 0;
    }
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, x, y);
    BlockInsertSlot entry{};
    lstrcpynA(entry.nameLibrary, library, sizeof entry.nameLibrary);
    lstrcpynA(entry.nameBlock, block, sizeof entry.nameBlock);
    Unit *first = nullptr;
    {
        ListFilterKeeper keep;
        first = MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1);
    }
    Unit *instance = SymbolCreateInstance(&entry, &m, first);
    if (!instance) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    double changed[4];
    FrameSetEmpty(changed);
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1); u; u = MemListNext(u)) {
            UndoStampDeleted(u);
            FrameUnion(changed, u->frame);
        }
    }
    instance->flags |= UNIT_SELECTED;
    UndoNoteUnit(instance);
    std::memcpy(g_ChangedRect, changed, sizeof changed);
    return 1;
}

int SymbolPrepareInsert(const char *library, const char *block)
{
    FrameSetEmpty(g_ExtentsRect);
    Unit *b = SymbolFindBlock(library, block);
    if (!b) {
        const int32_t index = SymbolFindLibrary(library);
        if (index >= 0 && index != LIBRARY_INDEX_OWN && g_LibrarySlots.slots[index].caching &&
            g_LibrarySlots.slots[index].load) {
            char libs[1][UNIT_NAME_SIZE], names[1][UNIT_NAME_SIZE];
            lstrcpynA(libs[0], library, UNIT_NAME_SIZE);
            lstrcpynA(names[0], block, UNIT_NAME_SIZE);
            SymbolLoadBlocks(libs, names, 1);
            b = SymbolFindBlock(library, block);
        }
    }
    if (!b)
        return 0;
    std::memcpy(g_ExtentsRect, b->frame, sizeof b->frame);
    return 1;
}

int SymbolInsert(const BlockInsertSlot *entry, const Matrix *placement)
{
    FrameSetEmpty(g_ChangedRect);
    Unit *u = SymbolCreateInstance(entry, placement, nullptr);
    if (!u)
        return 0;
    std::memcpy(g_ChangedRect, u->frame, sizeof u->frame);
    if (!entry->attribEdit)
        return 1;
    std::vector<AttributeEntry> entries(ATTRIBUTE_ENTRIES_MAX);
    int count = SymbolGetInstanceAttributes(u, entries.data());
    char title[SHORT_NAME_SIZE] = {};
    ConvertGetCommandTitle(title, 901);
    const int confirmed = g_SymbolAttribEditor
                              ? g_SymbolAttribEditor(title, entry->nameLibrary, entry->nameBlock, entries.data(), &count)
                              : int(Box12BlockAttrib(g_MainWnd, title, entry->nameLibrary, entry->nameBlock,
                                                     entries.data(), &count, 0));
    if (confirmed == 1 &&
        !SymbolSetInstanceAttributes(u, entries.data(), count)) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Used blocks, purging, group names

void SymbolMarkUsedBlocks(int mode, int32_t *used, int aliveOnly)
{
    const OwnBlockIndex &ix = g_OwnBlockIndex;
    auto considered = [&](const char *name) {
        switch (mode) {
        case 1: return name[0] == '#';
        case 2: return name[0] == '#' && name[1] == 'P';
        case 3: return true;
        default: return name[0] != '#';
        }
    };
    for (int32_t i = 0; i < ix.count; ++i)
        used[i] = considered(ix.blocks[i]->block.name) ? 0 : 1;
    auto mark = [&](Unit *u) {
        if (IsReference(u)) {
            if (u->instance.libraryIndex == LIBRARY_INDEX_OWN && u->instance.blockIndex >= 0 &&
                u->instance.blockIndex < ix.count)
                used[u->instance.blockIndex] = 1;
        } else if (ClipSurfaceData *c = ClipSurfaceOf(u)) {
            if (c->libraryIndex == LIBRARY_INDEX_OWN && c->blockIndex >= 0 && c->blockIndex < ix.count)
                used[c->blockIndex] = 1;
        }
    };
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, aliveOnly); u; u = MemListNext(u))
            mark(u);
    }
    // Every marked block passes the mark to what its members use; 20 passes
    // follow the deepest nesting the program draws.
    for (int pass = 0; pass < MARK_PASSES; ++pass)
        for (int32_t i = 0; i < ix.count; ++i)
            if (used[i])
                for (Unit *m = ix.blocks[i]->block.firstMember; m; m = m->next)
                    mark(m);
}

static_assert(SYMBOL_USED_NAME_SIZE == BITMAP_NAME_SIZE);

namespace {

// The state of one collection of used blocks and bitmaps.
struct UsedCollector {
    uint8_t *own;
    uint8_t *library;
    char (*bitmaps)[SYMBOL_USED_NAME_SIZE];
    int32_t filter; // -1 every library, 999 the own blocks, else a slot
    int depth;
};

void SymbolCollectUsedObject(UsedCollector &c, Unit *object);

// Marks the block at its index position and walks its members.
void SymbolCollectUsedBlock(UsedCollector &c, int32_t libraryIndex, int32_t blockIndex)
{
    if (c.depth >= SYMBOL_USED_DEPTH)
        return;
    Unit *block = SymbolGetBlockByIndex(libraryIndex, blockIndex);
    if (!block)
        return;
    ++c.depth;
    const bool own = libraryIndex == LIBRARY_INDEX_OWN;
    if (c.filter == -1 || c.filter == libraryIndex) {
        uint8_t *used = own ? c.own : c.library;
        const int32_t count = own ? g_OwnBlockIndex.count : g_LibraryBlockIndex.count;
        if (used && blockIndex >= 0 && blockIndex < count)
            used[blockIndex] = SYMBOL_USED_MARK;
    }
    for (Unit *m = block->block.firstMember; m; m = m->next) {
        if (IsReference(m))
            SymbolCollectUsedBlock(c, m->instance.libraryIndex, m->instance.blockIndex);
        else
            SymbolCollectUsedObject(c, m);
    }
    --c.depth;
}

// A bitmap name goes into the first empty slot unless a slot holds it.
void SymbolCollectUsedBitmap(UsedCollector &c, const char *name)
{
    for (int i = 0; i < SYMBOL_USED_BITMAPS; ++i) {
        if (!c.bitmaps[i][0]) {
            lstrcpynA(c.bitmaps[i], name, SYMBOL_USED_NAME_SIZE);
            return;
        }
        if (lstrcmpiA(c.bitmaps[i], name) == 0)
            return;
    }
}

void SymbolCollectUsedObject(UsedCollector &c, Unit *object)
{
    if (object->kind != UNIT_KIND_OBJECT)
        return;
    if (ClipSurfaceData *clip = ClipSurfaceOf(object)) {
        SymbolCollectUsedBlock(c, clip->libraryIndex, clip->blockIndex);
        return;
    }
    if (object->object.type != OBJTYPE_BITMAP || !c.bitmaps)
        return;
    UnitForEachElement(object, [&](Element *e) {
        if (e->kind == ELEM_BITMAP_REF) {
            const auto *ref = static_cast<const BitmapRefData *>(ElementPayload(e));
            char name[BITMAP_NAME_SIZE];
            lstrcpynA(name, ref->name, sizeof name); // a damaged name ends here
            if (name[0])
                SymbolCollectUsedBitmap(c, name);
        }
    });
}

} // namespace

void SymbolCollectUsed(uint32_t mask, uint8_t *ownUsed, uint8_t *libraryUsed, char (*bitmapNames)[SYMBOL_USED_NAME_SIZE],
                       const char *library)
{
    if (ownUsed)
        std::memset(ownUsed, 0, OWN_BLOCK_INDEX_CAPACITY);
    if (libraryUsed)
        std::memset(libraryUsed, 0, LIBRARY_INDEX_CAPACITY);
    if (bitmapNames)
        std::memset(bitmapNames, 0, size_t(SYMBOL_USED_BITMAPS) * SYMBOL_USED_NAME_SIZE);
    UsedCollector c{ownUsed, libraryUsed, bitmapNames, library && library[0] ? SymbolFindLibrary(library) : -1, 0};
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_DRAWING, mask, mask, 1); u; u = MemListNext(u)) {
        c.depth = 0;
        if (IsReference(u))
            SymbolCollectUsedBlock(c, u->instance.libraryIndex, u->instance.blockIndex);
        else
            SymbolCollectUsedObject(c, u);
    }
}

int SymbolPurgeUnused(int mode, int aliveOnly)
{
    const int32_t count = g_OwnBlockIndex.count;
    if (!count)
        return 0;
    std::vector<int32_t> used(size_t(count), 0);
    SymbolLinkAll();
    SymbolMarkUsedBlocks(mode, used.data(), aliveOnly);
    std::vector<Unit *> doomed;
    for (int32_t i = 0; i < count; ++i)
        if (!used[size_t(i)])
            doomed.push_back(g_OwnBlockIndex.blocks[i]);
    for (Unit *b : doomed)
        SymbolDeleteBlock(LIST_OWN_BLOCKS, b);
    if (doomed.empty())
        return 0;
    SymbolRebuildOwnIndex();
    SymbolLinkAll();
    return 1;
}

int SymbolPurgeUnusedGroups()
{
    constexpr int GROUPS_AND_POSITIONS = 1;
    return SymbolPurgeUnused(GROUPS_AND_POSITIONS, 0);
}

void SymbolMakeGroupName(char *out)
{
    static int counter = 0;
    std::snprintf(out, UNIT_NAME_SIZE, "#G\\%s-%08lx%04lx", INSTALLATION_TEXT, static_cast<unsigned long>(std::time(nullptr)),
                  static_cast<unsigned long>(counter));
    counter = (counter + 1) & GROUP_COUNTER_MASK;
}

// ---------------------------------------------------------------------------
// Block properties

void SymbolMergeProperty(const XProperty *block, const XProperty *member, XProperty *out)
{
    OutputFillXProperty(member, block, out);
    OutputPenXProperty(out, out);
    out->ownFlags = 0;
    out->pen = 0;
    out->layer = 0;
}

void SymbolApplyPropertyToInstance(Unit *member, const XProperty *block)
{
    XProperty merged;
    SymbolMergeProperty(block, &member->property, &merged);
    member->property = merged;
}

void SymbolApplyPropertyToObject(Unit *member, const XProperty *block)
{
    SymbolApplyPropertyToInstance(member, block);
    SymbolForEachElementProperty(member, [&](XProperty *p) {
        XProperty merged;
        SymbolMergeProperty(block, p, &merged);
        *p = merged;
    });
}

int SymbolGetBlockProperty(const char *library, const char *block, ObjectAttributes *set)
{
    ObjectAttributesInit(set);
    const Unit *b = SymbolFindBlock(library, block);
    if (!b)
        return 0;
    AttrPropertyGroup &g = set->general;
    g.ownMask = g.fieldMask = 0;
    g.values = b->property;
    set->present[ATTR_GENERAL] = 1;
    return 1;
}

int SymbolSetBlockProperty(const char *library, const char *block, const ObjectAttributes *set)
{
    Unit *b = SymbolFindBlock(library, block);
    if (!b)
        return 0;
    if (set->present[ATTR_GENERAL])
        b->property = set->general.values;
    const int32_t index = SymbolFindLibrary(library);
    if (index != LIBRARY_INDEX_OWN)
        b->ident = BLOCK_STATE_CHANGED; // the update of a caching library writes it
    SymbolMarkModified(index);
    if (index == LIBRARY_INDEX_OWN)
        WindowUpdateTitle(g_MainWnd);
    return 1;
}

int SymbolApplyBlockProperty(const char *library, const char *block)
{
    Unit *b = SymbolFindBlock(library, block);
    if (!b)
        return 0;
    for (Unit *m = b->block.firstMember; m; m = m->next) {
        if (m->kind == UNIT_KIND_OBJECT)
            SymbolApplyPropertyToObject(m, &b->property);
        else
            SymbolApplyPropertyToInstance(m, &b->property);
    }
    return 1;
}
