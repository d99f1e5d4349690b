// The least of the block half of the symbol module: creating the drawing's
// own blocks and their members, instances that name them, the name-sorted
// index of the own blocks, and the check that no block contains itself.
#pragma once

struct ObjectAttributes;

#include <cstdint>

#include "database/unit.h"
#include "geometry/matrix.h"

constexpr int32_t SYMBOL_OWN_BLOCKS_MAX = 20000;  // blocks in a drawing
constexpr int SYMBOL_NESTING_MAX = 20;             // levels followed through instances

// A new empty block of that name in the list (list 1: the drawing's own
// blocks), always existing (not undoable), with a zero frame; 0 when the
// name is empty or too long, or memory runs out.
Unit *SymbolNewBlock(int list, const char *name);
// Appends a copy of a prepared unit (kind 0, 1 or 9) to the block's members;
// the stored member, or 0.
Unit *SymbolAddMember(int list, Unit *block, const Unit *record);
// Fills a unit buffer with an instance (kind 1) of the named block, with the
// placement matrix {a, b, c, d, tx, ty}, the default property and an empty
// attribute chain; its byte size, or 0 when the names do not fit.
uint32_t SymbolMakeInstance(Unit *buffer, uint32_t capacity, const char *library, const char *blockName,
                            const Matrix *placement);

// Rebuilds g_OwnBlockIndex from list 1 in ascending name order.
void SymbolRebuildOwnIndex();
// Recomputes the frames of every block of the symbol libraries and of the
// drawing's own blocks, then of every instance and plug-in object of the
// drawing: after a load, whose reader gives instances no frame.
void SymbolRecalcFrames();
// Deletes every block of the list with its members, for good.
void SymbolClearBlocks(int list);
// A block of the list that contains itself through instances of its members,
// directly or through other blocks of the list; 0 when there is none.
// Instances whose cycle was broken no longer count.
Unit *SymbolFindSelfContaining(int list);
// Breaks every such cycle where it closes: the member instance that would
// enter a block it lies in is marked (INSTANCE_CLOSES_CYCLE) and is never
// expanded; it stays in the block and in the file. The number of instances
// marked; the first block entered again goes to firstBlock when not null.
int SymbolBreakCycles(int list, Unit **firstBlock);

// ---------------------------------------------------------------------------
// Attributes: one attribute as the dialogs exchange it and as it is stored
// (an element of kind 300-399, a definition, or 400-499, a value).

constexpr int ATTRIBUTE_ENTRIES_MAX = 200;
constexpr int ATTRIBUTE_NAME_MAX = ATTRIBUTE_NAME_SIZE - 1; // 31 characters
constexpr int ATTRIBUTE_VALUE_MAX = 249;                    // characters kept of a value

struct AttributeEntry {
    Element head; // size, kind (300-499) and the capacity 250
    char name[ATTRIBUTE_NAME_SIZE];
    char value[ATTRIBUTE_TEXT_SIZE];
};
static_assert(sizeof(AttributeEntry) == ELEM_SIZE_ATTRIBUTE);
static_assert(offsetof(AttributeEntry, name) == 16);
static_assert(offsetof(AttributeEntry, value) == 48);

inline bool AttributeIsDefinition(int code) { return code >= ELEM_ATTR_DEF_FIRST && code <= ELEM_ATTR_DEF_LAST; }
inline bool AttributeIsValue(int code) { return code >= ELEM_ATTR_VALUE_FIRST && code <= ELEM_ATTR_VALUE_LAST; }
inline bool AttributeIsCode(int code) { return AttributeIsDefinition(code) || AttributeIsValue(code); }

// Writes the entry as an element at out (name cut at 31, value at 249
// characters, size the header and name plus the value rounded up to 8);
// the element's size.
uint32_t SymbolStoreAttribute(Element *out, const AttributeEntry *entry);
// Fills an entry (code, name, value); the value is cut as when stored.
void SymbolMakeAttribute(AttributeEntry *entry, int code, const char *name, const char *value);

// Counts (at most 200) or -1 for an unknown block or library.
int SymbolGetBlockAttributes(const char *library, const char *block, AttributeEntry *out);
int SymbolSetBlockAttributes(const char *library, const char *block, const AttributeEntry *entries, int count);
int SymbolGetLibraryAttributes(const char *library, AttributeEntry *out);
int SymbolSetLibraryAttributes(const char *library, const AttributeEntry *entries, int count);
// The block's definitions, then the instance's values.
int SymbolGetInstanceAttributes(Unit *instance, AttributeEntry *out);
// Replaces the instance by a copy carrying these values (definitions are
// ignored), the old one stamped deleted unless the copy mode is on; 1/0.
int SymbolSetInstanceAttributes(Unit *instance, const AttributeEntry *entries, int count);

// ---------------------------------------------------------------------------
// Blocks from the selection and instances.

struct BlockInsertSlot;

// Makes a block of the selected alive objects of the drawing, moved so that
// the reference point is the block's origin; a block of that name is
// replaced (replaced := 1). The frame x1..y2 (1e300 = none) becomes the
// block frame. Refused: an unknown library (entry 18), a library not to be
// changed, a library block referring to the drawing's own blocks (entry 35),
// a block that would contain itself.
int SymbolCreateBlock(const char *library, const char *block, int withDefaults, double refX, double refY,
                      double x1, double y1, double x2, double y2, int *replaced);
int SymbolCreateEmptyBlock(const char *library, const char *block, int *replaced);
// A new instance placed by the matrix, before `before` or at the tail of the
// drawing; 0 when memory ran out (no message).
Unit *SymbolCreateInstance(const BlockInsertSlot *entry, const Matrix *placement, Unit *before);
int SymbolReplaceSelectionByInstance(const char *library, const char *block, double x, double y);
int SymbolPrepareInsert(const char *library, const char *block);
int SymbolInsert(const BlockInsertSlot *entry, const Matrix *placement);
// The attribute dialog SymbolInsert opens when the entry asks for it: the
// caller's title, names, entries and count (in and out); 1 when confirmed.
// Tests set it; 0 = the block attribute dialog (Box12BlockAttrib, mode 0).
using SymbolAttribEditor = int (*)(const char *title, const char *library, const char *block,
                                   AttributeEntry *entries, int *count);
extern SymbolAttribEditor g_SymbolAttribEditor;

// Frees every member and keeps the record as a deleted stub (state 3).
Unit *SymbolEmptyBlock(int list, Unit *block);
// Deletes every block of a library (999: own blocks) and its default attributes.
void SymbolClearLibrary(int32_t library);

// used[i] for each own-index entry: 1 used or kept by the mode (0: names not
// beginning with "#", 1: "#", 2: "#P", 3: all are considered).
void SymbolMarkUsedBlocks(int mode, int32_t *used, int aliveOnly = 1);
int SymbolPurgeUnused(int mode, int aliveOnly = 1);
// The group and position blocks that no unit of the drawing uses, alive or
// kept for undo and redo, deleted for good; 1 when any was.
int SymbolPurgeUnusedGroups();

// What the drawing's objects (those whose flags hold every bit of mask) use,
// through instances, plug-in objects and clip surfaces at every nesting
// depth below 21: SYMBOL_USED_MARK at the index position of each used own
// block (ownUsed, OWN_BLOCK_INDEX_CAPACITY bytes) and library block
// (libraryUsed, LIBRARY_INDEX_CAPACITY bytes), limited to one library when
// one is named; the names of the bitmaps (each once, case aside) in the
// front slots of bitmapNames (SYMBOL_USED_BITMAPS full-length names). Any
// array may be null; those given are cleared first.
constexpr uint8_t SYMBOL_USED_MARK = 'U';
constexpr int SYMBOL_USED_BITMAPS = 1000;
constexpr int SYMBOL_USED_NAME_SIZE = 256; // a whole bitmap name: shorter slots cut long paths
constexpr int SYMBOL_USED_DEPTH = 21;
void SymbolCollectUsed(uint32_t mask, uint8_t *ownUsed, uint8_t *libraryUsed, char (*bitmapNames)[SYMBOL_USED_NAME_SIZE],
                       const char *library);
// "#G\" followed by a unique part.
void SymbolMakeGroupName(char *out);

// Block properties pass down to members that own none of their own.
void SymbolMergeProperty(const XProperty *block, const XProperty *member, XProperty *out);
void SymbolApplyPropertyToObject(Unit *member, const XProperty *block);
void SymbolApplyPropertyToInstance(Unit *member, const XProperty *block);
int SymbolApplyBlockProperty(const char *library, const char *block);
// The block's own property as the general group of a set (present, no
// difference); 0 for an unknown block.
int SymbolGetBlockProperty(const char *library, const char *block, ObjectAttributes *set);
// Writes the set's general group (when present) as the block's property and
// marks the block's library or the drawing modified; 0 for an unknown block.
int SymbolSetBlockProperty(const char *library, const char *block, const ObjectAttributes *set);

// Calls visit(XProperty *) for the records inside a plain object's elements
// that carry one: DimLarge, DimSmall, TextStandard, TextFrame, ClipSurface.
template <class Visit>
void SymbolForEachElementProperty(Unit *unit, Visit visit)
{
    UnitForEachElement(unit, [&](Element *e) {
        if (e->kind == ELEM_DIM_LARGE || e->kind == ELEM_DIM_SMALL || e->kind == ELEM_TEXT_STANDARD ||
            e->kind == ELEM_TEXT_FRAME || e->kind == ELEM_CLIP_SURFACE)
            visit(reinterpret_cast<XProperty *>(static_cast<uint8_t *>(ElementPayload(e)) +
                                                (e->kind == ELEM_CLIP_SURFACE ? 0 : RECORD_XPROPERTY_OFFSET)));
    });
}
