// Dimension upkeep and the edit of one object: the four small edits that
// move one defining point of a picked dimension, the regeneration and the
// refresh of dimensions, and the dialog edit of an object's texts. Every
// change is a new unit of the current undo step; the old one dies unless
// copy mode is on.
#include <cstdio>
#include <cstring>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "commands/transform.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_dim.h"
#include "database/object_modify.h"
#include "database/object_modules.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box07.h"
#include "dialogs/box09_comment.h"
#include "dialogs/box11_dimtext.h"
#include "dialogs/box12.h"
#include "display/symbol.h"
#include "files/file_records.h"
#include "geometry/frame.h"
#include "geometry/frame_dim.h"
#include "language/language.h"
#include "language/language_entries.h"
#include "plugin/zvi.h"

namespace {

constexpr int CAPTION_SIZE = 256;
constexpr int VALUE_TEXT = 1, SECOND_VALUE_TEXT = 3; // kept at full size
constexpr uint32_t REGENERATE_MARKS = UNIT_TRANSFORM | 0x200;

bool IsDimension(const Unit *u)
{
    return u->kind == UNIT_KIND_OBJECT && u->object.type >= OBJTYPE_DIM_DIST && u->object.type <= OBJTYPE_DIM_PERI;
}

void Widen(double *rect, const double *frame) { FrameUnion(rect, frame); }

CalcPoint Target() { return {g_ConstructionPoints[1].x, g_ConstructionPoints[1].y}; }

// Fetches the picked dimension into Universal1, lets change work on it when
// its type lies in first..last, and stores it in front of the old one.
template <typename Change>
int EditPicked(int32_t first, int32_t last, Change change)
{
    const int32_t ident = g_InputPoints[0].ident;
    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    Unit *copy = TransformFetchUnit(ident);
    if (!copy || copy->kind != UNIT_KIND_OBJECT || copy->object.type < first || copy->object.type > last)
        return 0;
    DimRoles roles;
    if (!FrameDimensionRoles(copy, &roles))
        return 0;
    change(roles);
    Unit *old = UndoFindIdent(ident);
    if (!TransformStoreUnit(ident, g_DrawingSettings.displayDuplicate ? 1 : 0))
        return 0;
    if (old && old->prev) {
        FrameCalcObject(old->prev, 0);
        std::memcpy(g_ChangedRect, old->prev->frame, sizeof g_ChangedRect);
    }
    return 1;
}

void SetPoint(ElementPoint *p, CalcPoint v)
{
    if (p)
        p->x = v.x, p->y = v.y;
}

DimLargeRecord *Large(const DimRoles &r)
{
    return r.record->kind == ELEM_DIM_LARGE ? static_cast<DimLargeRecord *>(ElementPayload(r.record)) : nullptr;
}

// Copies element e whole behind the writer's position.
bool CopyElement(ChainWriter *w, const Element *e)
{
    Element *d = InitChainRecord(w, e->kind, e->size);
    if (!d)
        return false;
    std::memcpy(d, e, e->size);
    return true;
}

// The working copy of object: its bytes up to (not including) `from`, then
// `write` adds what replaces the rest. Sized from the unit and what may grow.
template <typename Write>
Unit *Rewrite(const Unit *object, const Element *from, uint32_t growth, Write write, void **block)
{
    const uint32_t capacity = object->bytes + growth;
    auto *copy = static_cast<Unit *>(mem_alloc_temp(capacity, __FILE__, __LINE__));
    *block = copy;
    if (!copy)
        return nullptr;
    const uint32_t keep = static_cast<uint32_t>(reinterpret_cast<const uint8_t *>(from) -
                                                reinterpret_cast<const uint8_t *>(object));
    std::memcpy(copy, object, keep);
    ChainWriter w;
    InitChainBegin(&w, copy, capacity);
    w.position = keep;
    if (!write(&w) || !InitChainEnd(&w))
        return nullptr;
    return copy;
}

// The dimension's texts in the dialog; on OK the working copy with the new
// texts, the record (its automatic-value switch from the dialog) and the
// run-time geometry behind them.
Unit *EditDimensionTexts(Unit *object, const char *caption, void **block)
{
    DimRoles roles;
    if (!FrameDimensionRoles(object, &roles))
        return nullptr;
    TempBlock<DimensionText> dialog(1, __FILE__, __LINE__);
    if (!dialog)
        return nullptr;
    DimensionText &d = *dialog.get();
    std::memset(&d, 0, sizeof d);
    const Element *e = roles.firstText;
    for (int i = 0; i < roles.texts; ++i, e = ElementNext(const_cast<Element *>(e))) {
        std::strncpy(d.text[i], static_cast<const char *>(ElementPayload(const_cast<Element *>(e))),
                     DIMENSION_TEXT_SIZE - 1);
    }
    auto *common = static_cast<DimCommon *>(ElementPayload(roles.record));
    d.automatic = common->bools[0] ? 1 : 0;
    const bool seven = roles.texts == DIMENSION_TEXT_COUNT;
    if (!(seven ? Box11EditDimensionText2(g_MainWnd, caption, &d) : Box11EditDimensionText1(g_MainWnd, caption, &d)))
        return nullptr;
    const uint32_t growth = DIMENSION_TEXT_COUNT * TextElementSize(TEXT_CAPACITY_SHORT);
    return Rewrite(object, roles.firstText, growth, [&](ChainWriter *w) {
        for (int i = 0; i < roles.texts; ++i) {
            const bool value = i == VALUE_TEXT || (seven && i == SECOND_VALUE_TEXT);
            if (!InitChainText(w, d.text[i], TEXT_CAPACITY_SHORT, value))
                return false;
        }
        const uint32_t recordAt = w->position;
        if (!CopyElement(w, roles.record) || !CopyElement(w, roles.sub))
            return false;
        auto *record = reinterpret_cast<Element *>(reinterpret_cast<uint8_t *>(w->unit) + recordAt);
        static_cast<DimCommon *>(ElementPayload(record))->bools[0] = d.automatic ? 1 : 0;
        return true;
    }, block);
}

// An object's own text edited by `dialog` (the text in a buffer of the
// longest text; 1 on OK); on OK the working copy with the new text and the
// records that followed it, each passed to `patch` once copied.
template <typename Dialog, typename Patch>
Unit *EditTextAndRecords(Unit *object, void **block, Dialog dialog, Patch patch)
{
    Element *text = nullptr;
    for (Element *e = UnitFirstElement(object); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_TEXT) {
            text = e;
            break;
        }
    if (!text)
        return nullptr;
    // The text dialogs write back a whole buffer of the longest text they edit.
    TempBlock<char> buffer(TEXT_BUFFER_SIZE, __FILE__, __LINE__);
    if (!buffer)
        return nullptr;
    char *t = buffer.get();
    std::memset(t, 0, TEXT_BUFFER_SIZE);
    std::strncpy(t, static_cast<const char *>(ElementPayload(text)), TEXT_CAPACITY_LONG - 1);
    if (!dialog(t))
        return nullptr;
    return Rewrite(object, text, TextElementSize(TEXT_CAPACITY_LONG), [&](ChainWriter *w) {
        if (!InitChainText(w, t, TEXT_CAPACITY_LONG, false))
            return false;
        for (Element *e = ElementNext(text); e->kind != ELEM_END; e = ElementNext(e)) {
            const uint32_t at = w->position;
            if (!CopyElement(w, e))
                return false;
            patch(reinterpret_cast<Element *>(reinterpret_cast<uint8_t *>(w->unit) + at));
        }
        return true;
    }, block);
}

// A text's own text in the text dialog.
Unit *EditObjectText(Unit *object, const char *caption, void **block)
{
    return EditTextAndRecords(
        object, block, [&](char *t) { return Box07TextChange(g_MainWnd, caption, t); }, [](Element *) {});
}

// A comment's text and data (title, category, status) in the comment dialog.
Unit *EditComment(Unit *object, const char *caption, void **block)
{
    const Element *record = UnitFirstElement(object);
    while (record->kind != ELEM_END && record->kind != ELEM_COMMENT)
        record = ElementNext(const_cast<Element *>(record));
    if (record->kind != ELEM_COMMENT)
        return nullptr;
    CommentDataRecord data;
    std::memcpy(&data, ElementPayload(record), sizeof data);
    return EditTextAndRecords(
        object, block, [&](char *t) { return Box09CommentData(g_MainWnd, caption, &data, t, 0) != 0; },
        [&](Element *e) {
            if (e->kind == ELEM_COMMENT)
                std::memcpy(ElementPayload(e), &data, sizeof data);
        });
}

constexpr int32_t NAMED_TYPES = 50;

void Caption(int32_t type, char *out)
{
    const char *name = type >= 0 && type < NAMED_TYPES && eObjectNames[type][0] ? eObjectNames[type]
                                                                                : LANG(eDialogText, NoTitle);
    std::snprintf(out, CAPTION_SIZE, LANG_FORMAT(eHeadlineText, e1, "%s"), name);
}

// An instance's attribute values in the block attribute dialog; on OK a
// new instance with them behind the old one.
int EditInstance(Unit *instance)
{
    TempBlock<AttributeEntry> entries(ATTRIBUTE_ENTRIES_MAX, __FILE__, __LINE__);
    if (!entries)
        return 0;
    int count = SymbolGetInstanceAttributes(instance, entries.get());
    if (count < 0)
        count = 0;
    if (!Box12BlockAttrib(g_MainWnd, LANG(eHeadlineText, e2), instance->instance.library, instance->instance.block,
                          entries.get(), &count, 0))
        return 0;
    if (!SymbolSetInstanceAttributes(instance, entries.get(), count)) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    if (Unit *block = SymbolGetInstanceBlock(instance))
        FrameCalcBlock(block, 1);
    std::memcpy(g_ExtentsRect, instance->frame, sizeof g_ExtentsRect);
    // The new instance stands right behind the old one; its texts may differ.
    Unit *fresh = instance->next;
    FrameCalcInstance(fresh, 0);
    std::memcpy(g_ChangedRect, fresh->frame, sizeof g_ChangedRect);
    return 1;
}

// A plug-in object is edited by the module that answers for it: the module
// rebuilds it in the builder's plug-in buffer, which is then stored behind
// the old object in its place.
int EditPluginObject(Unit *object)
{
    Unit *block = SymbolGetInstanceBlock(object);
    const bool ownBlock = block && std::strcmp(object->instance.library, SYMBOL_OWN_LIBRARY) == 0;
    if (!ZVI_CreationStart())
        return 0;
    HWND window = g_MainWnd;
    int result = 0;
    if (ObjectAskModules(object, MODULE_OBJECT_EDIT, &window, nullptr) == MODULE_ANSWER_REBUILT) {
        ZVI_UserAddEnd();
        if (Unit *fresh = ZVI_UserInsert(0, object)) {
            fresh->flags = (object->flags & UNIT_USER_MARK) | UNIT_MARKED;
            std::memcpy(g_ExtentsRect, object->frame, sizeof g_ExtentsRect);
            FrameCalcInstance(fresh, 0);
            std::memcpy(g_ChangedRect, fresh->frame, sizeof g_ChangedRect);
            if (!g_DrawingSettings.displayDuplicate) {
                // The old object's own block goes with it, unless the new one
                // still draws it; a copy kept in copy mode still needs it.
                if (ownBlock && std::strcmp(fresh->instance.block, object->instance.block) != 0)
                    UndoStampDeleted(block);
                UndoStampDeleted(object);
            }
            result = 1;
        }
        ZVI_UserClose();
    }
    ZVI_CreationEnd();
    return result;
}

} // namespace

int ObjectRefreshDimensions()
{
    FrameSetEmpty(g_ExtentsRect);
    FrameSetEmpty(g_ChangedRect);
    int found = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u)) {
        if (!IsDimension(u))
            continue;
        Widen(g_ExtentsRect, u->frame);
        FrameCalcObject(u, 0);
        Widen(g_ChangedRect, u->frame);
        found = 1;
    }
    return found;
}

int ObjectSetDimensionDirection()
{
    return EditPicked(OBJTYPE_DIM_DIST, OBJTYPE_DIM_DIA, [](DimRoles &r) {
        SetPoint(r.direction, Target());
        Large(r)->ints3[0] = 1; // measure square to the direction
    });
}

int ObjectMoveDimensionLine()
{
    return EditPicked(OBJTYPE_DIM_DIST, OBJTYPE_DIM_ARC, [](DimRoles &r) {
        SetPoint(r.line, Target());
        Large(r)->ints3[2] = 0; // the position is used as it stands
    });
}

int ObjectSetDimensionTextDirection()
{
    return EditPicked(OBJTYPE_DIM_DIST, OBJTYPE_DIM_PERI, [](DimRoles &r) {
        SetPoint(r.textDirection, Target());
        if (DimLargeRecord *large = Large(r))
            large->bool1 = 1;
        else
            static_cast<DimCommon *>(ElementPayload(r.record))->bools[1] = 1;
    });
}

int ObjectMoveDimensionText()
{
    return EditPicked(OBJTYPE_DIM_DIST, OBJTYPE_DIM_PERI, [](DimRoles &r) {
        const CalcPoint t = Target();
        const double dx = t.x - r.computedText.x, dy = t.y - r.computedText.y;
        SetPoint(r.text, t);
        if (r.textDirection)
            SetPoint(r.textDirection, {r.textDirection->x + dx, r.textDirection->y + dy});
        if (DimLargeRecord *large = Large(r))
            large->common.bools[1] = 0; // the text is no longer centred
    });
}

int ObjectRegenerateDimensions(uint32_t mask)
{
    UndoInitProcess();
    FrameSetEmpty(g_ChangedRect);
    if (!ObjectBackupForModify(LIST_DRAWING, mask, 0, 0)) {
        UndoCancelProcess();
        FrameSetEmpty(g_ChangedRect);
        return 0;
    }
    // Any dimension regenerated is a success, whatever else the selection holds.
    int result = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_TRANSFORM, UNIT_TRANSFORM, 1); u; u = MemListNext(u)) {
        if (IsDimension(u)) {
            FrameCalcObject(u, 1);
            Widen(g_ChangedRect, u->frame);
            result = 1;
        }
        u->flags &= ~REGENERATE_MARKS;
    }
    UndoFinishProcess();
    return result;
}

int ObjectEditIdentified(uint32_t mask)
{
    Unit *object = MemListFirst(LIST_DRAWING, mask, mask, 1);
    if (!object)
        return 0;
    if (object->kind == UNIT_KIND_INSTANCE)
        return EditInstance(object);
    if (object->kind == UNIT_KIND_PLUGIN)
        return EditPluginObject(object);
    if (object->kind != UNIT_KIND_OBJECT)
        return 0;
    const int32_t type = object->object.type;
    char caption[CAPTION_SIZE];
    Caption(type, caption);
    void *block = nullptr;
    Unit *edited = nullptr;
    if (IsDimension(object))
        edited = EditDimensionTexts(object, caption, &block);
    else if (type == OBJTYPE_STD_TEXT || type == OBJTYPE_FRAME_TEXT || type == OBJTYPE_REF_TEXT)
        edited = EditObjectText(object, caption, &block);
    else if (type == OBJTYPE_COMMENT)
        edited = EditComment(object, caption, &block);
    int result = 0;
    if (edited) {
        Unit *unit = MemListNewCopyBefore(LIST_DRAWING, edited, edited->bytes, object);
        if (!unit) {
            AlertSM2(g_MainWnd);
        } else {
            UndoStampCreated(unit);
            unit->flags = (object->flags & UNIT_USER_MARK) | UNIT_MARKED;
            std::memcpy(g_ExtentsRect, object->frame, sizeof g_ExtentsRect);
            FrameCalcObject(unit, 0);
            std::memcpy(g_ChangedRect, unit->frame, sizeof g_ChangedRect);
            if (!g_DrawingSettings.displayDuplicate)
                UndoStampDeleted(object);
            result = 1;
        }
    }
    if (block)
        mem_free_temp(block, __FILE__, __LINE__);
    return result;
}
